#pragma once
// Plain texture record: pixels of every mip level, RGBA8 (bytes R, G, B, A per texel, rows top to
// bottom) or DXT1 (8-byte blocks of 4x4 texels, rows of blocks top to bottom).

#include <cstdint>
#include <vector>

enum class TextureFormat : uint16_t {
    Rgba8 = 1,
    Dxt1 = 2,
};

struct TextureLevel {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
    bool operator==(const TextureLevel&) const = default;
};

struct TextureData {
    TextureFormat format = TextureFormat::Rgba8;
    uint32_t width = 0;
    uint32_t height = 0;
    // levels[0] is width x height; each next level halves both sizes (at least 1).
    std::vector<TextureLevel> levels;
    bool operator==(const TextureData&) const = default;

    // Bytes of one level of the given size in the given format; 0 for an unknown format.
    static size_t LevelByteSize(TextureFormat format, uint32_t width, uint32_t height) {
        switch (format) {
            case TextureFormat::Rgba8:
                return size_t(width) * height * 4;
            case TextureFormat::Dxt1:
                return size_t((width + 3) / 4) * ((height + 3) / 4) * 8;
        }
        return 0;
    }
};

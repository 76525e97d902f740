#pragma once
// A device font: a FreeType raster of a face at a pixel height, and textures of the lines drawn
// with it (cached, since the same labels are drawn every frame).

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <unordered_map>

#include "engine/core/Text.h"
#include "engine/render/Texture.h"

namespace platform {
class FontRaster;
}
class RenderDevice;

class Font {
public:
    ~Font();
    // Null when no font file is found. height < 0 is a character height as in the system's
    // font descriptions; the magnitude is used.
    static std::unique_ptr<Font> Create(RenderDevice* device, const WString& face, std::int32_t height,
                                        std::int32_t weight, std::uint32_t style);

    void Measure(WStringView text, int& width, int& height);
    // A white texture whose alpha is the text's coverage; owned by the font.
    Texture* TextTexture(WStringView text);
    const WString& Face() const { return face_; }

    static constexpr std::size_t kCachedLines = 64;
    static constexpr std::size_t kCachedSizes = 512;

private:
    Font() = default;
    RenderDevice* device_ = nullptr;
    WString face_;
    std::unique_ptr<platform::FontRaster> raster_;
    std::list<WString> recent_;  // most recent first
    std::map<WString, std::pair<TexturePtr, std::list<WString>::iterator>> lines_;
    // Line sizes: measuring walks every glyph, and the widgets measure the same labels each frame.
    std::unordered_map<WString, std::pair<int, int>> sizes_;
};

#include "tools/resgen/Images.h"

#include <algorithm>
#include <cmath>

namespace {

// 3x5 digit glyphs, one row per 3 bits (top row first). The 7 falls straight: a bent stem reads as "?".
constexpr uint16_t kDigits[10] = {
    0b111101101101111, 0b010110010010111, 0b111001111100111, 0b111001111001111, 0b101101111001001,
    0b111100111001111, 0b111100111101111, 0b111001001001001, 0b111101111101111, 0b111101111001111,
};

uint8_t Clamp(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

Image::Image(uint32_t width, uint32_t height, Rgba fill) : width_(width), height_(height) {
    pixels_.resize(size_t(width) * height * 4);
    FillRect(0, 0, int(width), int(height), fill);
}

void Image::Set(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= int(width_) || y >= int(height_)) return;
    uint8_t* p = &pixels_[(size_t(y) * width_ + x) * 4];
    p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
}

Rgba Image::Get(int x, int y) const {
    const uint8_t* p = &pixels_[(size_t(y) * width_ + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

void Image::FillRect(int x, int y, int w, int h, Rgba c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Image::FillCircle(float cx, float cy, float radius, Rgba c) {
    for (int j = int(cy - radius) - 1; j <= int(cy + radius) + 1; ++j) {
        for (int i = int(cx - radius) - 1; i <= int(cx + radius) + 1; ++i) {
            const float dx = i + 0.5f - cx, dy = j + 0.5f - cy;
            if (dx * dx + dy * dy <= radius * radius) Set(i, j, c);
        }
    }
}

void Image::Gradient(int x, int y, int w, int h, Rgba top, Rgba bottom) {
    for (int j = 0; j < h; ++j) {
        const float t = h > 1 ? float(j) / float(h - 1) : 0.0f;
        const Rgba c{Clamp(int(top.r + (bottom.r - top.r) * t)), Clamp(int(top.g + (bottom.g - top.g) * t)),
                     Clamp(int(top.b + (bottom.b - top.b) * t)), Clamp(int(top.a + (bottom.a - top.a) * t))};
        FillRect(x, y + j, w, 1, c);
    }
}

void Image::Frame(int x, int y, int w, int h, int t, Rgba c) {
    FillRect(x, y, w, t, c);
    FillRect(x, y + h - t, w, t, c);
    FillRect(x, y, t, h, c);
    FillRect(x + w - t, y, t, h, c);
}

void Image::DrawNumber(int cx, int cy, std::string_view digits, int scale, Rgba c) {
    const int glyphW = 3 * scale, gap = scale;
    const int totalW = int(digits.size()) * glyphW + (int(digits.size()) - 1) * gap;
    int x = cx - totalW / 2;
    const int y = cy - 5 * scale / 2;
    for (char d : digits) {
        if (d < '0' || d > '9') continue;
        const uint16_t glyph = kDigits[d - '0'];
        for (int row = 0; row < 5; ++row) {
            for (int col = 0; col < 3; ++col) {
                if (glyph & (1 << (14 - (row * 3 + col)))) {
                    FillRect(x + col * scale, y + row * scale, scale, scale, c);
                }
            }
        }
        x += glyphW + gap;
    }
}

void Image::Noise(uint32_t seed, int amplitude) {
    uint32_t state = seed;
    for (size_t i = 0; i < pixels_.size(); i += 4) {
        state = state * 1103515245u + 12345u;
        const int d = int((state >> 16) % uint32_t(2 * amplitude + 1)) - amplitude;
        for (int k = 0; k < 3; ++k) pixels_[i + k] = Clamp(pixels_[i + k] + d);
    }
}

TextureData Image::ToTexture(bool mipmaps) const {
    TextureData t;
    t.format = TextureFormat::Rgba8;
    t.width = width_, t.height = height_;
    t.levels.push_back({width_, height_, pixels_});
    while (mipmaps && (t.levels.back().width > 1 || t.levels.back().height > 1)) {
        const TextureLevel& src = t.levels.back();
        TextureLevel dst;
        dst.width = std::max(1u, src.width / 2);
        dst.height = std::max(1u, src.height / 2);
        dst.pixels.resize(size_t(dst.width) * dst.height * 4);
        for (uint32_t y = 0; y < dst.height; ++y) {
            for (uint32_t x = 0; x < dst.width; ++x) {
                for (int k = 0; k < 4; ++k) {
                    int sum = 0;
                    for (uint32_t dy = 0; dy < 2; ++dy) {
                        for (uint32_t dx = 0; dx < 2; ++dx) {
                            const uint32_t sx = std::min(src.width - 1, x * 2 + dx);
                            const uint32_t sy = std::min(src.height - 1, y * 2 + dy);
                            sum += src.pixels[(size_t(sy) * src.width + sx) * 4 + k];
                        }
                    }
                    dst.pixels[(size_t(y) * dst.width + x) * 4 + k] = uint8_t(sum / 4);
                }
            }
        }
        t.levels.push_back(std::move(dst));
    }
    return t;
}

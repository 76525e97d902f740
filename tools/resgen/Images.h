#pragma once
// RGBA images drawn by code for the generated textures: fills, circles, bands, frames and digits.

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/resource/TextureData.h"

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

class Image {
public:
    Image(uint32_t width, uint32_t height, Rgba fill = {});

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    void Set(int x, int y, Rgba c);
    Rgba Get(int x, int y) const;

    void FillRect(int x, int y, int w, int h, Rgba c);
    void FillCircle(float cx, float cy, float radius, Rgba c);
    // Vertical gradient from top to bottom colour.
    void Gradient(int x, int y, int w, int h, Rgba top, Rgba bottom);
    void Frame(int x, int y, int w, int h, int thickness, Rgba c);
    // Decimal digits in a 3x5 block font, each cell `scale` pixels, centred on (cx, cy).
    void DrawNumber(int cx, int cy, std::string_view digits, int scale, Rgba c);
    // Deterministic speckle for cloth and wood grain.
    void Noise(uint32_t seed, int amplitude);

    // A texture with the whole mip chain (box filtered).
    TextureData ToTexture(bool mipmaps = true) const;

private:
    uint32_t width_, height_;
    std::vector<uint8_t> pixels_;
};

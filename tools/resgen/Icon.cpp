#include "tools/resgen/Icon.h"

#include <cstdio>
#include <fstream>

namespace {

constexpr float kUnits = 64.0f;
constexpr int kSamples = 4;  // per pixel and axis
constexpr int kSizes[] = {48, 64, 128, 256};

struct Circle {
    float cx, cy, radius;
    Rgba colour;
};

// Painted in order: the ball, its highlight, the white spot.
constexpr Circle kCircles[] = {
    {32, 32, 30, {20, 20, 24, 255}},
    {22, 20, 5, {90, 90, 100, 255}},
    {32, 32, 13, {245, 245, 240, 255}},
};

// The eight on the spot: two rings, the lower one larger.
struct Ring {
    float cx, cy, outer, inner;
};
constexpr Ring kEight[] = {{32, 26.9f, 4.4f, 2.0f}, {32, 36.7f, 5.2f, 2.5f}};
constexpr Rgba kEightColour{20, 20, 24, 255};

// The colour at a point of the 64-unit square; alpha 0 outside the ball.
Rgba ColourAt(float x, float y) {
    Rgba colour{0, 0, 0, 0};
    for (const Circle& c : kCircles) {
        const float dx = x - c.cx, dy = y - c.cy;
        if (dx * dx + dy * dy <= c.radius * c.radius) colour = c.colour;
    }
    for (const Ring& ring : kEight) {
        const float dx = x - ring.cx, dy = y - ring.cy, d2 = dx * dx + dy * dy;
        if (d2 <= ring.outer * ring.outer && d2 >= ring.inner * ring.inner) colour = kEightColour;
    }
    return colour;
}

std::string Hex(Rgba c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

std::string Number(float v) {
    char text[16];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

}  // namespace

platform::Image RenderIcon(int size) {
    platform::Image image;
    image.width = image.height = size;
    image.rgba.reserve(static_cast<std::size_t>(size) * size * 4);
    const float unitsPerSample = kUnits / static_cast<float>(size * kSamples);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            // Averaged with premultiplied alpha, so the transparent border does not darken the edge.
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Rgba c = ColourAt((px * kSamples + sx + 0.5f) * unitsPerSample,
                                            (py * kSamples + sy + 0.5f) * unitsPerSample);
                    const float alpha = c.a / 255.0f;
                    r += c.r * alpha;
                    g += c.g * alpha;
                    b += c.b * alpha;
                    a += alpha;
                }
            }
            const auto channel = [a](float premultiplied) {
                return static_cast<std::uint8_t>(a > 0 ? premultiplied / a + 0.5f : 0);
            };
            image.rgba.insert(image.rgba.end(),
                              {channel(r), channel(g), channel(b),
                               static_cast<std::uint8_t>(a * 255.0f / (kSamples * kSamples) + 0.5f)});
        }
    }
    return image;
}

std::string IconSvg() {
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n";
    for (const Circle& c : kCircles)
        svg += "  <circle cx=\"" + Number(c.cx) + "\" cy=\"" + Number(c.cy) + "\" r=\"" + Number(c.radius) +
               "\" fill=\"" + Hex(c.colour) + "\"/>\n";
    for (const Ring& ring : kEight)
        svg += "  <circle cx=\"" + Number(ring.cx) + "\" cy=\"" + Number(ring.cy) + "\" r=\"" +
               Number((ring.outer + ring.inner) / 2) + "\" fill=\"none\" stroke=\"" + Hex(kEightColour) +
               "\" stroke-width=\"" + Number(ring.outer - ring.inner) + "\"/>\n";
    svg += "</svg>\n";
    return svg;
}

bool WriteIcons(const std::filesystem::path& folder) {
    const auto fail = [](const std::filesystem::path& path) {
        std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
        return false;
    };
    std::error_code error;
    for (int size : kSizes) {
        const std::filesystem::path dir = folder / (std::to_string(size) + "x" + std::to_string(size));
        std::filesystem::create_directories(dir, error);
        if (!platform::SavePng((dir / "marvenlot.png").string(), RenderIcon(size)))
            return fail(dir / "marvenlot.png");
    }
    const std::filesystem::path scalable = folder / "scalable";
    std::filesystem::create_directories(scalable, error);
    std::ofstream svg(scalable / "marvenlot.svg", std::ios::binary | std::ios::trunc);
    svg << IconSvg();
    return svg.flush() ? true : fail(scalable / "marvenlot.svg");
}

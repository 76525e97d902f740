#pragma once
// What the GL tests share: a render device over the GL backend (SDL's offscreen driver on Mesa when
// there is no display) and the comparison of a frame with a reference image.

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/render/RenderDevice.h"
#include "platform/video/GlBackend.h"
#include "platform/video/ImageFile.h"

namespace gl_test {

struct GlDevice {
    std::unique_ptr<RenderDevice> device;
    std::string error;
    GlDevice(std::uint16_t width, std::uint16_t height) {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        auto backend = std::make_unique<platform::GlBackend>();
        auto* gl = backend.get();
        device = std::make_unique<RenderDevice>(std::move(backend));
        platform::DisplayMode mode;
        mode.width = width;
        mode.height = height;
        device->SetDisplayMode(mode);
        if (device->ApplyDisplayMode() != 0) {
            error = gl->LastError();
            device.reset();
        }
    }
};

// Per channel difference above tolerance counts a pixel; returns the share of such pixels.
inline double DifferingShare(const platform::Image& a, const platform::Image& b, int tolerance,
                             double* meanError = nullptr) {
    std::size_t differing = 0, total = std::size_t{a.width} * a.height;
    double sum = 0;
    for (std::size_t i = 0; i < total; ++i) {
        bool differs = false;
        for (int c = 0; c < 3; ++c) {
            int d = std::abs(int(a.rgba[i * 4 + c]) - int(b.rgba[i * 4 + c]));
            sum += d;
            differs = differs || d > tolerance;
        }
        differing += differs;
    }
    if (meanError) *meanError = sum / (total * 3.0);
    return static_cast<double>(differing) / static_cast<double>(total);
}

}  // namespace gl_test

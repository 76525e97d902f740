#pragma once
// What the GL tests share: a render device over the GL backend (SDL's offscreen driver on Mesa when
// there is no display) and the comparison of a frame with a reference image.

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/render/RenderDevice.h"
#include "platform/video/GlBackend.h"
#include "platform/video/ImageFile.h"
#include "tests/common/ImageCompare.h"

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

using testsupport::DifferingShare;

}  // namespace gl_test

#pragma once
// The render device of the gl-labelled tests: OpenGL in an SDL window, offscreen (Mesa's software
// renderer) when there is no display.

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/render/RenderDevice.h"
#include "platform/video/GlBackend.h"

namespace testsupport {

// A device of the given size, or null with the reason in `error` when there is no GL context.
inline std::unique_ptr<RenderDevice> MakeGlDevice(std::uint16_t width, std::uint16_t height,
                                                  std::string& error) {
    if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    auto backend = std::make_unique<platform::GlBackend>();
    platform::GlBackend* gl = backend.get();
    auto device = std::make_unique<RenderDevice>(std::move(backend));
    platform::DisplayMode mode;
    mode.width = width;
    mode.height = height;
    device->SetDisplayMode(mode);
    if (device->ApplyDisplayMode() != 0) {
        error = gl->LastError();
        return nullptr;
    }
    return device;
}

}  // namespace testsupport

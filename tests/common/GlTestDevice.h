#pragma once
// The render device of the gl-labelled tests: OpenGL in an SDL window, offscreen (Mesa's software
// renderer) when there is no display; and the UI image sets widgets draw with.

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/UiResourceSet.h"
#include "tests/common/GlTestSupport.h"

namespace testsupport {

// A device of the given size, or null with the reason in `error` when there is no GL context.
inline std::unique_ptr<RenderDevice> MakeGlDevice(std::uint16_t width, std::uint16_t height,
                                                  std::string& error) {
    gl_test::GlDevice gl(width, height);
    error = gl.error;
    return std::move(gl.device);
}

// The UI image sets of the generated packages, for tests that draw widgets.
struct UiSets {
    ResourceManager resources;
    gui::UiResourceSet sets{&resources, 0};
    bool Open() {
        resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources.SetDataFolder(u"data");
        sets.InitSets();
        return sets.OpenTree() == 1;
    }
};

}  // namespace testsupport

#pragma once
// What the screenshot tests share: a GL render device of a given size (offscreen when no display is
// set) and the generated UI image sets to draw widgets with.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/UiResourceSet.h"
#include "platform/video/GlBackend.h"

namespace testsupport {

class GlScreen {
public:
    GlScreen(std::uint16_t width, std::uint16_t height) {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        auto backend = std::make_unique<platform::GlBackend>();
        gl_ = backend.get();
        device_ = std::make_unique<RenderDevice>(std::move(backend));
        platform::DisplayMode mode;
        mode.width = width;
        mode.height = height;
        device_->SetDisplayMode(mode);
        open_ = device_->ApplyDisplayMode() == 0;
    }
    // False without a GL context; Error() says why.
    bool Open() const { return open_; }
    std::string Error() const { return gl_->LastError(); }
    RenderDevice& Device() { return *device_; }
    // The generated packages' UI image sets; false when they are missing.
    bool OpenUiSets() {
        if (!std::filesystem::exists(std::string(MARVENLOT_BINARY_DIR) + "/data/UIEn.mpk")) return false;
        resources_.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources_.SetDataFolder(u"data");
        sets_ = std::make_unique<gui::UiResourceSet>(&resources_, 0);
        sets_->InitSets();
        return sets_->OpenTree() == 1;
    }

private:
    platform::GlBackend* gl_ = nullptr;
    std::unique_ptr<RenderDevice> device_;
    bool open_ = false;
    ResourceManager resources_;
    std::unique_ptr<gui::UiResourceSet> sets_;
};

}  // namespace testsupport

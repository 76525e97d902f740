#pragma once
// What the scenes' screen tests share: the widget tree drawn once through the GL device, saved under
// test-output/<name>.png and compared with its reference image (UPDATE_GOLDEN=1 rewrites it).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/render/RenderDevice.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Overlays.h"
#include "gui/TextInput.h"
#include "gui/UiResourceSet.h"
#include "gui/Widget.h"
#include "platform/video/ImageFile.h"
#include "tests/common/GlTestSupport.h"

// A GL device of the client size with the generated UI image sets open.
struct GlScreen {
    gl_test::GlDevice gl;
    ResourceManager resources;
    gui::UiResourceSet sets{&resources, 0};
    GlScreen(std::uint16_t width, std::uint16_t height) : gl(width, height) {}
    // False when the generated packages are missing.
    bool OpenUiSets() {
        resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources.SetDataFolder(u"data");
        sets.InitSets();
        return sets.OpenTree() == 1;
    }
};

// Keeps the frame as test-output/<name>.png and compares it with the reference (UPDATE_GOLDEN=1 rewrites
// it).
inline void ExpectFrameMatchesReference(const platform::Image& frame, const std::string& name,
                                        const std::string& referencePath) {
    const std::string output = std::string(MARVENLOT_BINARY_DIR) + "/test-output";
    std::filesystem::create_directories(output);
    platform::SavePng(output + "/" + name + ".png", frame);
    if (std::getenv("UPDATE_GOLDEN")) {
        ASSERT_TRUE(platform::SavePng(referencePath, frame));
    }
    platform::Image reference;
    ASSERT_TRUE(platform::LoadPng(referencePath, reference)) << "missing " << referencePath;
    ASSERT_EQ(reference.width, frame.width);
    ASSERT_EQ(reference.height, frame.height);
    EXPECT_LE(gl_test::DifferingShare(frame, reference, 3), 0.005) << "reference " << referencePath;
}

// Draws the widget tree once on black and reads the frame back (empty when drawing failed).
inline platform::Image DrawScreenFrame(RenderDevice& device, gui::Widget& root) {
    platform::Image frame;
    device.SetClearColor(0xFF000000);
    if (!device.BeginFrame() || !device.BeginScene()) return frame;
    gui::DrawWidgetScreen(root, &device);
    device.EndScene();
    device.Present();
    if (!device.ReadBack(frame)) frame = {};
    gui::TextInputManager::ClearFocus();
    gui::ClearGuiPointers();
    return frame;
}

// Draws the widget tree once and compares the frame as above.
inline void ExpectScreenMatchesReference(RenderDevice& device, gui::Widget& root, const std::string& name,
                                         const std::string& referencePath) {
    const platform::Image frame = DrawScreenFrame(device, root);
    ASSERT_GT(frame.width, 0u) << "the frame could not be drawn";
    ExpectFrameMatchesReference(frame, name, referencePath);
}

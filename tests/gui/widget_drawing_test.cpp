#include <gtest/gtest.h>

#include "engine/render/RenderDevice.h"
#include "engine/resource/PackageBuilder.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/ImageWidget.h"
#include "gui/NumberDisplay.h"
#include "gui/UiResourceSet.h"
#include "platform/video/RecordingBackend.h"

using namespace gui;

namespace {

// A UI package whose "Image" group holds only set 3 (a 4 x 4 texture), and a "Gallery" group with
// its 2 x 2 "Gallery" image.
std::vector<uint8_t> PackageWithSetThree() {
    PackageBuilder builder;
    TextureData texture;
    texture.format = TextureFormat::Rgba8;
    texture.width = texture.height = 4;
    texture.levels.push_back({4, 4, std::vector<uint8_t>(64, 200)});
    builder.AddGroup(u"Image").Add(u"3", texture, 3);
    texture.width = texture.height = 2;
    texture.levels = {{2, 2, std::vector<uint8_t>(16, 90)}};
    builder.AddGroup(u"Gallery").Add(u"Gallery", texture);
    return builder.Build();
}

struct DrawingFixture : ::testing::Test {
    DrawingFixture() {
        auto recording = std::make_unique<platform::RecordingBackend>();
        backend = recording.get();
        device = std::make_unique<RenderDevice>(std::move(recording));
        device->SetDisplayMode(platform::DisplayMode{});
        device->ApplyDisplayMode();
        resources.OpenPackageFromMemory(u"UIEn", PackageWithSetThree());
        sets.InitSets();
        EXPECT_EQ(sets.OpenTree(), 1);
        root.Create(0, 0, 1024, 768);
        root.Show(true);
    }
    // Draws the tree and returns the texture handles bound to stage 0, in order.
    std::vector<std::string> Draw() {
        backend->ClearLog();
        Painter painter(device.get(), &sets);
        root.DrawTree(painter, 0, 0);
        calls = painter.Calls();
        return backend->Lines("TEX 0");
    }
    platform::RecordingBackend* backend = nullptr;
    std::unique_ptr<RenderDevice> device;
    ResourceManager resources;
    UiResourceSet sets{&resources, 0};
    Panel root;
    std::uint32_t calls = 0;
};

TEST_F(DrawingFixture, ImageFromAnExistingSetIsDrawnAndAMissingSetFallsBackToFlatShapes) {
    Button* pictured = root.AddButton(0, 0, 40, 20, 1, 0, {3, 0, 0, 4, 4});
    ASSERT_NE(sets.GetTexture(3, device.get()), nullptr);
    EXPECT_EQ(sets.GetTexture(5, device.get()), nullptr);
    EXPECT_EQ(sets.GetTexture(34, device.get()), nullptr);
    Draw();
    EXPECT_EQ(calls, 1u);  // one picture

    pictured->SetImage({5, 0, 0, 4, 4});  // a set the package lacks
    Draw();
    EXPECT_GT(calls, 1u);  // face and bevel edges
    EXPECT_GE(backend->Count("DIP"), 1);
}

TEST_F(DrawingFixture, ANamedSetDrawsItsGroupsImageAndItsStandInWhileThePackageLacksIt) {
    RenderDevice* d = device.get();
    EXPECT_EQ(sets.GetTexture(UiResourceSet::kSetCount, d), nullptr) << "not loaded yet";
    EXPECT_FALSE(sets.LoadNamedSet(3, u"Gallery", 3)) << "a numbered set stays the Image group's";
    EXPECT_FALSE(sets.LoadNamedSet(UiResourceSet::kSetCount + UiResourceSet::kNamedSetCount, u"Gallery", 3));

    ASSERT_TRUE(sets.LoadNamedSet(UiResourceSet::kSetCount, u"Gallery", 3));
    Texture* gallery = sets.GetTexture(UiResourceSet::kSetCount, d);
    ASSERT_NE(gallery, nullptr);
    EXPECT_EQ(gallery->Width(), 2u);
    root.AddImage(0, 0, 2, 2, {UiResourceSet::kSetCount, 0, 0, 2, 2});
    Draw();
    EXPECT_EQ(calls, 1u) << "drawn as a picture, not as flat shapes";

    EXPECT_EQ(sets.GetTexture(UiResourceSet::kFlatSet, d), nullptr) << "the flat pictures stay flat";

    EXPECT_FALSE(sets.LoadNamedSet(UiResourceSet::kSetCount, u"Absent", 3));
    EXPECT_EQ(sets.GetTexture(UiResourceSet::kSetCount, d), sets.GetTexture(3, d)) << "the stand-in";
}

TEST_F(DrawingFixture, HiddenWidgetsAndTheirChildrenAreNotDrawnAndAlphaMultipliesDown) {
    Widget* group = root.AddPanel(0, 0, 100, 100);
    group->AddButton(0, 0, 40, 20, 1, 0, {3, 0, 0, 4, 4});
    group->Show(false);
    Draw();
    EXPECT_EQ(calls, 0u);

    group->Show(true);
    group->SetAlpha(0.5f);
    struct Probe : Widget {
        float seen = -1;
        void Draw(Painter& painter, int, int) override { seen = painter.alpha; }
    };
    auto* probe = group->Make<Probe>();
    probe->SetAlpha(0.5f);
    Draw();
    EXPECT_FLOAT_EQ(probe->seen, 0.25f);
}

TEST_F(DrawingFixture, ModalDialogDimsTheScreenBeforeItDraws) {
    auto* dialog = root.Make<Dialog>();
    dialog->Create(100, 100, 200, 100);
    Draw();
    const std::uint32_t plain = calls;
    dialog->SetModal(true);
    Draw();
    EXPECT_EQ(calls, plain + 1);
}

TEST_F(DrawingFixture, ScaledPictureIsDrawnAtItsSourceSizeTimesTheScale) {
    Widget* image = root.AddImage(10, 10, 200, 200, {3, 0, 0, 4, 4});
    image->SetScale(8.0f, 4.0f);
    EXPECT_EQ(image->ImageWidth(), 32);
    EXPECT_EQ(image->ImageHeight(), 16);
    image->SetScale(1.0f, 1.0f);
    EXPECT_EQ(image->ImageWidth(), 200);
}

TEST(NumberDisplayDigits, DigitsAreCutPaddedAndSignedToTheCellCount) {
    struct Case {
        std::int64_t value;
        bool zeros;
        const char16_t* shown;
    };
    const Case cases[] = {{0, false, u"0"},
                          {12500, false, u"12500"},
                          {7, true, u"00007"},
                          {1234567, false, u"34567"},
                          {-42, false, u"-42"},
                          {-42, true, u"-0042"},
                          {INT64_MIN, false, u"-5808"}};
    for (const Case& c : cases) {
        NumberDisplay display;
        display.Create(0, 0, 16, 24, 5, 0, 0, 0, 10);
        display.SetLeadingZeros(c.zeros);
        display.SetValue(c.value);
        EXPECT_EQ(display.Digits(), c.shown) << c.value;
    }
}

}  // namespace

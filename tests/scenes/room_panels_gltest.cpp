// The replay panel's mini view on a GL device: the table world draws into the panel's viewport and
// leaves the rest of the frame and the device's viewport as they were.
#include <gtest/gtest.h>

#include <set>

#include "engine/core/Options.h"
#include "engine/resource/ResourceManager.h"
#include "gui/ItemPreview.h"
#include "gui/Painter.h"
#include "net/ItemEntry.h"
#include "net/RoomInfo.h"
#include "scenes/room/hud/ItemWidgets.h"
#include "scenes/room/hud/ReplayControlPanel.h"
#include "table/TableWorld.h"
#include "tests/common/GlTestSupport.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

constexpr std::uint16_t kWidth = 480, kHeight = 360;
constexpr std::uint32_t kClear = 0xFFFF0000;

TEST(ReplayPanelGl, MiniViewDrawsTheTableInsideThePanelOnly) {
    gl_test::GlDevice gl{kWidth, kHeight};
    ASSERT_TRUE(gl.device) << gl.error;
    ResourceManager resources;
    resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
    resources.SetDataFolder(u"data");
    FakeSceneHost host;
    scenes::hud::ReplayControlPanel panel(&host);
    panel.Create(100, 50);
    net::RoomInfo room;
    room.gameType = 4;
    panel.CreateWorld(gl.device.get(), &resources, room, Options{});
    panel.Show(true);
    for (std::uint32_t tick = 1; tick < 300; ++tick) panel.Update(tick, 0, 0);

    RenderDevice& device = *gl.device;
    device.SetClearColor(kClear);
    device.BeginFrame();
    device.BeginScene();
    device.Begin2D();
    const platform::Viewport screen = device.GetViewport();
    gui::Painter painter(&device, nullptr);
    panel.Draw(painter, panel.X(), panel.Y());
    EXPECT_EQ(device.GetViewport(), screen) << "the panel gives the screen's viewport back";
    device.EndScene();
    device.Present();
    platform::Image frame;
    ASSERT_TRUE(device.ReadBack(frame));
    ASSERT_EQ(frame.width, kWidth);

    auto pixel = [&](int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * frame.width + x) * 4;
        return (frame.rgba[at] << 16) | (frame.rgba[at + 1] << 8) | frame.rgba[at + 2];
    };
    for (auto [x, y] : {std::pair{5, 5}, std::pair{470, 5}, std::pair{5, 350}, std::pair{470, 350}})
        EXPECT_EQ(pixel(x, y), 0xFF0000) << "outside the panel at " << x << "," << y;
    std::set<int> colours;
    for (int y = 70; y < 290; y += 2)
        for (int x = 110; x < 270; x += 2) colours.insert(pixel(x, y));
    EXPECT_GT(colours.size(), 20u) << "the table, lit, and not a flat fill";
}

TEST(ItemSlotGl, AChalkInTheItemStripFillsItsSlotInsteadOfShowingADot) {
    gl_test::GlDevice gl{120, 80};
    ASSERT_TRUE(gl.device) << gl.error;
    RenderDevice& device = *gl.device;
    scenes::hud::ItemSlot slot;
    slot.Create(40, 20, std::uint32_t{1}, false);
    net::ItemEntry chalk;
    chalk.serial = 9;
    chalk.itemId = 4903;
    chalk.type = 5;
    slot.SetItem(&chalk);
    slot.Preview()->BuildModel(&device);
    ASSERT_TRUE(slot.Preview()->HasModel());
    device.SetClearColor(0xFF000000);
    device.BeginFrame();
    device.BeginScene();
    device.Begin2D();
    gui::Painter painter(&device, nullptr);
    slot.Preview()->Draw(painter, slot.X() + slot.Preview()->X(), slot.Y() + slot.Preview()->Y());
    device.EndScene();
    platform::Image frame;
    ASSERT_TRUE(device.ReadBack(frame));
    int lit = 0;
    for (std::size_t at = 0; at + 3 < frame.rgba.size(); at += 4)
        lit += (frame.rgba[at] | frame.rgba[at + 1] | frame.rgba[at + 2]) != 0;
    EXPECT_GT(lit, 150) << "of the slot's 900 pixels";
}

}  // namespace

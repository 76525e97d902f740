// What a player sees of the game room's frame at the smallest window: the texts of the title bar
// side by side, the clocks beside it, the digits taken from whole cells of their strip, and the HUD
// pieces of a running game apart from each other and on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/Button.h"
#include "gui/GameTypeName.h"
#include "gui/NumberDisplay.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "scenes/room/RoomCodes.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/RoomStatusPanels.h"
#include "scenes/room/hud/StartReadyButton.h"
#include "table/TableWorld.h"
#include "tests/scenes/support/LayoutBoxes.h"
#include "tests/scenes/support/RoomSceneFixture.h"

namespace {

using namespace room_test;
using namespace layout_test;
namespace room = scenes::room;

Box ControlBox(const std::string& name, const table::ControlRect& r) {
    return {name, r.left, r.top, r.right, r.bottom};
}

class RoomLayoutTest : public RoomSceneTest {
protected:
    template <class T>
    T& Find(std::uint32_t id) {
        return *static_cast<T*>(scene.FindById(id));
    }
    // The room state on entry, as EnterRoom(0, 0) sends it, with this room title.
    void EnterRoomTitled(const std::u16string& title) {
        Deliver(2001, [&](net::Packet& p) {
            p.WriteU64(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(7).WriteU8(0).WriteU8(1);
            p.WriteU32(0).WriteU8(0).WriteU8(0).WriteU32(10000).WriteU32(0).WriteU32(0);
            p.WriteU8(0).WriteU8(0).WriteU8(2).WriteU8(2).WriteU8(0).WriteU8(0).WriteU8(0);
            p.WriteString(title).WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0).WriteU32(0);
        });
    }
};

class RoomHudPlacesTest : public RoomSceneTest, public ::testing::WithParamInterface<bool> {};

TEST_F(RoomLayoutTest, TitleBarTextsOfEveryGameKindStayApartAndALongTitleIsShortened) {
    const std::u16string longTitle(60, u'W');
    for (std::uint8_t type : {0, 2, 3, 4, 5, 6, 10, 12, 13, 16}) {
        for (const std::u16string& title : {std::u16string(u"room"), longTitle}) {
            host.session->GetRoom().gameType = type;
            scene.Enter();
            EnterRoomTitled(title);
            scene.Render(nullptr, false);
            const auto& kind = Find<gui::TextLabel>(room::control::kGameKind);
            const auto& titleLabel = Find<gui::TextLabel>(room::control::kRoomTitle);
            const auto& count = Find<gui::TextLabel>(room::control::kPlayerCount);
            const std::string context =
                "game type " + std::to_string(type) + ", title of " + std::to_string(title.size());
            ASSERT_EQ(kind.Text(), gui::GameTypeName(type)) << context;
            ExpectApart(
                {TextBox("game kind", kind), TextBox("title", titleLabel), TextBox("player count", count)},
                context);
            EXPECT_LE(TextBox("title", titleLabel).right, titleLabel.ScreenX() + titleLabel.Width())
                << context;
            if (title.size() < 10)
                EXPECT_EQ(titleLabel.Text(), title) << context << ": a short title is shown whole";
            else
                EXPECT_EQ(titleLabel.Text().substr(titleLabel.Text().size() - 3), u"...") << context;
        }
    }
}

TEST_F(RoomLayoutTest, DigitDisplaysDrawEachDigitFromItsWholeCellOfTheStrip) {
    const std::vector<std::pair<std::string, gui::Widget*>> displays = {
        {"room number", scene.FindById(room::control::kRoomNumber)},
        {"clock minutes", scene.Clock()->Minutes()},
        {"status panel amount", scene.StatusPanel()->Amount()},
    };
    for (const auto& [name, widget] : displays) {
        ASSERT_NE(widget, nullptr) << name;
        for (int digit = 0; digit < 10; ++digit) {
            const gui::UiImage drawn = widget->Image().Frame(digit), cell = gui::atlas::kDigits.Frame(digit);
            EXPECT_TRUE(drawn.x == cell.x && drawn.y == cell.y && drawn.w == cell.w && drawn.h == cell.h)
                << name << " digit " << digit;
        }
    }
}

TEST_P(RoomHudPlacesTest, HudPiecesDoNotCoverEachOtherAndStayOnTheScreen) {
    const bool running = GetParam();
    EnterRoom(0, 0);
    if (running) StartGame(0);
    scene.Render(nullptr, false);
    ASSERT_EQ(scene.GameRunning(), running);
    std::vector<Box> boxes = {{"title bar", 10, 4, 10 + 392, 4 + 30},
                              ScreenBox("chalk gauge", *scene.Chalk()),
                              ControlBox("tip control", scene.World()->TipControl()),
                              ControlBox("elevation control", scene.World()->ElevationControl()),
                              ScreenBox("shop tab", *scene.FindById(room::join_msg::kShopTabControl))};
    // The power bar stands 16 pixels left of the elevation bar.
    const table::ControlRect elevation = scene.World()->ElevationControl();
    boxes.push_back({"power bar", elevation.left - 16, elevation.top, elevation.left - 6, elevation.bottom});
    for (int i = 0; i < scene.PlayerList()->RowCount(); ++i)
        boxes.push_back(ScreenBox("player row " + std::to_string(i), *scene.PlayerList()->RowAt(i).button));
    if (running) {
        // The clock's box reaches under the countdown's warning picture; its digits do not.
        for (const gui::Widget* w : {static_cast<const gui::Widget*>(scene.Clock()->Hours()),
                                     static_cast<const gui::Widget*>(scene.Clock()->Minutes()),
                                     static_cast<const gui::Widget*>(scene.Countdown())})
            boxes.push_back(ScreenBox(w == scene.Countdown() ? "turn countdown" : "clock digits", *w));
    } else {
        // The team panel's buttons as one strip; its blinking glow only frames the start button.
        Box panel{"start/ready buttons", 1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
        for (const gui::Widget* child : scene.StartReady()->Children()) {
            if (!child->IsVisible() || child == scene.StartReady()->Highlight()) continue;
            const Box b = ScreenBox("", *child);
            panel = {panel.name, std::min(panel.left, b.left), std::min(panel.top, b.top),
                     std::max(panel.right, b.right), std::max(panel.bottom, b.bottom)};
        }
        boxes.push_back(panel);
    }
    ExpectApart(boxes, running ? "running game" : "waiting room");
    // On the screen, but for the countdown's flashing picture reaching over the top.
    for (const Box& box : boxes) {
        EXPECT_TRUE(box.left >= 0 && box.right <= host.ClientWidth() && box.bottom <= host.ClientHeight())
            << box.name;
        EXPECT_GE(box.top, box.name == "turn countdown" ? -2 : 0) << box.name;
    }
    // The gauge's text ("No Chalk" without a chalk) reads whole.
    const gui::TextLabel* level = scene.Chalk()->LevelLabel();
    const int textWidth = gui::MeasureTextWidth(level->Font(), level->Text());
    EXPECT_GE(level->ScreenX() + (level->Width() - textWidth) / 2, 0) << ToUtf8(level->Text());
}

INSTANTIATE_TEST_SUITE_P(WaitingAndRunning, RoomHudPlacesTest, ::testing::Bool());

}  // namespace

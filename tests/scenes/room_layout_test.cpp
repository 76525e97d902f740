// What a player sees of the game room's frame at the smallest window: the texts of the title bar
// side by side, the clocks beside it, the digits taken from whole cells of their strip, and the HUD
// pieces of a running game apart from each other and on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "gui/Button.h"
#include "gui/GameTypeName.h"
#include "gui/NumberDisplay.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "scenes/room/RoomCodes.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/ItemWidgets.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/RoomStatusPanels.h"
#include "scenes/room/hud/SlidingPanels.h"
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
    // `count` players with the longest nicknames at the highest level, all ready, in teams 1 and 2.
    void SeatLongNames(int count) {
        Deliver(2011, [&](net::Packet& p) {
            p.WriteU8(static_cast<std::uint8_t>(count));
            for (std::uint8_t seat = 0; seat < count; ++seat) {
                p.WriteU8(seat).WriteU64(seat + 1u).WriteU8(0).WriteString(u"WWWWWWWWWWWWW").WriteU32(0);
                p.WriteU16(99).WriteU32(0).WriteU16(20).WriteU64(123456789).WriteU8(0).WriteU8(0).WriteU16(0);
                p.WriteU8(0)
                    .WriteU32(0)
                    .WriteU8(0)
                    .WriteU16(3000)
                    .WriteU8(0)
                    .WriteU8(seat % 2 + 1)
                    .WriteU8(0);
                p.WriteU8(1).WriteU8(0).WriteU32(0).WriteU8(0);
            }
        });
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

// A three-cushion or 8-ball room of eight places, played for a stake with its point rule: waiting, or
// a game running (8-ball with the groups given out); seen behind the cue ball or from above.
class RoomHudPlacesTest : public RoomLayoutTest,
                          public ::testing::WithParamInterface<std::tuple<std::uint8_t, bool, bool>> {
protected:
    RoomHudPlacesTest() { gameType = std::get<0>(GetParam()); }
};

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

TEST_F(RoomLayoutTest, TheCueTabKeepsEachCueNameInItsCardAndEveryButtonInsideThePanel) {
    // Two personal cues with names far wider than a card, between two cues of the item tables.
    std::uint64_t serial = 40;
    for (const char16_t* name : {u"", u"International tuning cue", u"WWWWWWWWWWWWWWWW", u""}) {
        net::ItemEntry* cue = host.session->AllocItemEntry();
        cue->itemId = *name ? 3100 : 3000;
        cue->type = static_cast<std::uint32_t>(net::ItemType::Cue);
        cue->personal = *name ? 1 : 0;
        cue->cueName = name;
        ASSERT_TRUE(host.session->own.AddItem(cue->serial = serial++, cue));
    }
    scene.Show(true);
    EnterRoom(0, 0);
    scenes::hud::PlayerInfoPanel& panel = *scene.CuePanel();
    scene.OnCommand({scene.CueTab(), room::join_msg::kCueTabControl, 0, gui::CommandCode::Event});
    for (std::uint64_t t = 0; panel.Slide().state != scenes::hud::PanelSlide::kResting; t += 20)
        panel.Tick(t);
    ASSERT_TRUE(panel.Card(3)->IsShownOnScreen());
    for (const auto& [width, height] : {std::pair{1024, 768}, std::pair{1920, 1080}}) {
        scene.gui::Widget::Resize(width, height);
        scene.LayoutChildren(width, height);
        scene.Resize(width, height);
        ExpectTidy(panel, std::to_string(width) + " wide");
        EXPECT_TRUE(Inside(ScreenBox("cue panel", panel), {"screen", 0, 0, width, height})) << width;
        // It rests above the chalk gauge and the friend request bar, which stands over the gauge.
        ExpectApart({ScreenBox("cue panel", panel), ScreenBox("chalk gauge", *scene.Chalk()),
                     ScreenBox("friend bar", *scene.FindById(room::join_msg::kFriendBarControl))},
                    std::to_string(width) + " wide");
    }
    std::vector<Box> arrows;  // the page bar's, both to be seen and pressed
    ForEachShown(panel, [&](const gui::Widget& w) {
        if (dynamic_cast<const gui::ScrollBar*>(w.GetParent())) arrows.push_back(ScreenBox("arrow", w));
    });
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_FALSE(Overlap(arrows[0], arrows[1])) << "one page arrow lies on the other";
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

TEST_P(RoomHudPlacesTest, HudPiecesDoNotCoverEachOtherTextsStayInTheirRowsAndFromAboveTheTableIsClear) {
    const auto [type, running, topView] = GetParam();
    scene.Show(true);
    Deliver(2001, [&](net::Packet& p) {
        p.WriteU64(0).WriteU8(3).WriteU32(100).WriteU32(200).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(7);
        p.WriteU8(0).WriteU8(1).WriteU32(0).WriteU8(0).WriteU8(1).WriteU32(0).WriteU32(10000).WriteU32(0);
        p.WriteU32(0).WriteU8(0).WriteU8(0).WriteU8(2).WriteU8(8).WriteU8(0).WriteU8(0).WriteU8(0);
        p.WriteString(u"room").WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0).WriteU32(0);
    });
    SeatLongNames(2);
    if (running) StartGame(0, 77, type == 10);
    scene.World()->SetTopView(topView);
    Run(1000);
    scene.Render(nullptr, false);
    // The tournament's score board, as if the channel were one.
    scene.Scores()->Show(running);
    scene.Render(nullptr, false);
    ASSERT_EQ(scene.GameRunning(), running);
    const std::string context = "game type " + std::to_string(type) + (running ? ", running" : ", waiting") +
                                (topView ? ", top view" : ", behind the cue ball");
    const gui::Widget &amount = *scene.StatusPanel()->AmountImage(),
                      &rule = *scene.StatusPanel()->RuleImage();
    ASSERT_TRUE(amount.IsShownOnScreen() && rule.IsShownOnScreen());
    std::vector<Box> boxes = {{"title bar", 10, 4, 10 + 392, 4 + 30},
                              ScreenBox("chalk gauge", *scene.Chalk()),
                              ScreenBox("item strip", *scene.ItemStrip()),
                              ScreenBox("key guide", *scene.FindById(room::info_panel::kControl)),
                              ScreenBox("chat line", *scene.FindById(50)),
                              ControlBox("tip control", scene.World()->TipControl()),
                              ControlBox("elevation control", scene.World()->ElevationControl()),
                              ScreenBox("shop tab", *scene.FindById(room::join_msg::kShopTabControl)),
                              // The room status panel's two pictures overlap a little: one panel.
                              {"room status", amount.ScreenX(), amount.ScreenY(),
                               rule.ScreenX() + rule.Width(), rule.ScreenY() + rule.Height()}};
    for (std::uint32_t id : {1u, 2u, 3u, 4u, 5u, 6u, room::join_msg::kInviteControl})
        boxes.push_back(ScreenBox("corner button " + std::to_string(id), *scene.FindById(id)));
    // The power bar stands 16 pixels left of the elevation bar.
    const table::ControlRect elevation = scene.World()->ElevationControl();
    boxes.push_back({"power bar", elevation.left - 16, elevation.top, elevation.left - 6, elevation.bottom});
    const scenes::hud::PlayerMenu& list = *scene.PlayerList();
    for (int i = 0; i < list.RowCount(); ++i)
        boxes.push_back(ScreenBox("player row " + std::to_string(i), *list.RowAt(i).button));
    if (list.MatchLabel()->IsShownOnScreen()) boxes.push_back(TextBox("match line", *list.MatchLabel()));
    // The chat panel: the mute toggle and the scroll bar over the left end of the lines' strips.
    Box chat = ScreenBox("chat panel", *scene.FindById(room::control::kChatScroll));
    for (int k = -1; k < static_cast<int>(room::kOverlayLines); ++k) {
        const gui::Widget& w = k < 0 ? *scene.FindById(room::control::kMuteChat)
                                     : static_cast<const gui::Widget&>(*scene.ChatRowStrip(k));
        if (!w.IsShownOnScreen()) continue;
        const Box b = ScreenBox("", w);
        chat = {chat.name, std::min(chat.left, b.left), std::min(chat.top, b.top),
                std::max(chat.right, b.right), std::max(chat.bottom, b.bottom)};
    }
    boxes.push_back(chat);
    if (running) {
        // The clock's box reaches under the countdown's warning picture; its digits do not.
        for (const gui::Widget* w : {static_cast<const gui::Widget*>(scene.Clock()->Hours()),
                                     static_cast<const gui::Widget*>(scene.Clock()->Minutes()),
                                     static_cast<const gui::Widget*>(scene.Countdown())})
            boxes.push_back(ScreenBox(w == scene.Countdown() ? "turn countdown" : "clock digits", *w));
        Box board = ScreenBox("score board", *scene.Scores());
        board.bottom = board.top + 121;  // its button hangs under the picture
        boxes.push_back(board);
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
        ASSERT_TRUE(scene.FindById(room::control::kStartPrompt)->IsShownOnScreen()) << "all are ready";
        boxes.push_back(ScreenBox("start prompt", *scene.FindById(room::control::kStartPrompt)));
    }
    ExpectApart(boxes, context);
    // On the screen, but for the countdown's flashing picture reaching over the top.
    for (const Box& box : boxes) {
        EXPECT_TRUE(box.left >= 0 && box.right <= host.ClientWidth() && box.bottom <= host.ClientHeight())
            << context << ": " << box.name;
        EXPECT_GE(box.top, box.name == "turn countdown" ? -2 : 0) << context << ": " << box.name;
    }
    // The rows' texts ("SOLID", "GA:0.00", "( 0/ 0)", the cut names), the crown and the ready mark stay
    // inside their rows.
    for (int i = 0; i < list.RowCount(); ++i) {
        const scenes::hud::PlayerMenu::Row& row = list.RowAt(i);
        const Box frame = ScreenBox("row", *row.button);
        for (const gui::TextLabel* label : {row.name, row.money, row.score, row.status})
            EXPECT_TRUE(Inside(TextBox("", *label), frame)) << context << ": " << Name(label->Text());
        EXPECT_TRUE(!row.ready->IsShownOnScreen() || Inside(ScreenBox("", *row.ready), frame)) << context;
        EXPECT_TRUE(i > 0 || Inside(ScreenBox("", *list.Crown()), frame)) << context;
    }
    // The gauge's text ("No Chalk" without a chalk) reads whole.
    const gui::TextLabel* level = scene.Chalk()->LevelLabel();
    const int textWidth = gui::MeasureTextWidth(level->Font(), level->Text());
    EXPECT_GE(level->ScreenX() + (level->Width() - textWidth) / 2, 0) << ToUtf8(level->Text());
    if (topView) {
        // From above the whole table, its pockets and spots, lies in the room the HUD leaves.
        const Box table = TableOnScreen(*scene.World());
        EXPECT_TRUE(Inside(table, {"screen", 0, 0, host.ClientWidth(), host.ClientHeight()})) << context;
        for (const Box& box : boxes) EXPECT_FALSE(Overlap(table, box)) << context << ": " << box.name;
        EXPECT_GT((table.right - table.left) * 2, host.ClientWidth()) << "the table is drawn small";
    }
    // Eight players: the list reaches up into the key guide's room, and the guide gives way.
    EXPECT_TRUE(scene.FindById(room::info_panel::kControl)->IsShownOnScreen());
    SeatLongNames(8);
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.FindById(room::info_panel::kControl)->IsShownOnScreen()) << context;
}

INSTANTIATE_TEST_SUITE_P(ThreeCushionAndEightBallWaitingAndRunningInBothViews, RoomHudPlacesTest,
                         ::testing::Combine(::testing::Values(4, 10), ::testing::Bool(), ::testing::Bool()));

}  // namespace

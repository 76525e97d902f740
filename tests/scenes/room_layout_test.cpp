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
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "scenes/room/RoomCodes.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/PlayerPanel.h"
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
    // `count` players with the longest nicknames at the highest level in teams 1 and 2 by turns, every
    // one ready but `notReady`.
    void SeatLongNames(int count = 2, int notReady = -1) {
        Deliver(2011, [&](net::Packet& p) {
            p.WriteU8(static_cast<std::uint8_t>(count));
            for (std::uint8_t seat = 0; seat < count; ++seat) {
                p.WriteU8(seat).WriteU64(seat + 1u).WriteU8(0).WriteString(seat % 2 ? u"MMMMMMMMMMMMM"
                                                                                    : u"WWWWWWWWWWWWW");
                p.WriteU32(0).WriteU16(99).WriteU32(0).WriteU16(20).WriteU64(123456789).WriteU8(0).WriteU8(0);
                p.WriteU16(0).WriteU8(0).WriteU32(0).WriteU8(0).WriteU16(3000).WriteU8(0);
                p.WriteU8(seat % 2 + 1)
                    .WriteU8(0)
                    .WriteU8(seat == notReady ? 0 : 1)
                    .WriteU8(0)
                    .WriteU32(0)
                    .WriteU8(0);
            }
        });
    }
    void SeatTwoLongNames() { SeatLongNames(); }
    // A room of eight places played for a stake, with its point rule; seat 0 holds it.
    void EnterStakeRoomWithPointRule(std::uint8_t own, std::uint8_t players) {
        Deliver(2001, [&](net::Packet& p) {
            p.WriteU64(0).WriteU8(3).WriteU32(100).WriteU32(200).WriteU16(0).WriteU16(0).WriteU16(0);
            p.WriteU16(7).WriteU8(0).WriteU8(1).WriteU32(0).WriteU8(0).WriteU8(1).WriteU32(0);
            p.WriteU32(10000).WriteU32(0).WriteU32(0).WriteU8(0).WriteU8(0).WriteU8(players).WriteU8(8);
            p.WriteU8(0).WriteU8(own).WriteU8(0).WriteString(u"room").WriteU8(0).WriteU8(0).WriteU8(0);
            p.WriteU32(0).WriteU32(0);
        });
    }
    // Every row's texts inside the row and apart; the crown and the ready marks inside their rows.
    void ExpectPlayerRowsTidy(const std::string& context) {
        const scenes::hud::PlayerMenu& list = *scene.PlayerList();
        bool crownInRow = false;
        for (int i = 0; i < list.RowCount(); ++i) {
            const scenes::hud::PlayerMenu::Row& row = list.RowAt(i);
            const Box frame = ScreenBox("row", *row.button);
            std::vector<Box> texts;
            for (const gui::TextLabel* label : {row.name, row.money, row.score, row.status}) {
                if (!label->IsShownOnScreen() || label->Text().find_first_not_of(u' ') == WString::npos)
                    continue;
                texts.push_back(TextBox(Name(label->Text()), *label));
                EXPECT_TRUE(Inside(texts.back(), frame))
                    << context << ": " << texts.back().name << " runs out of its row";
            }
            ExpectApart(texts, context);
            if (row.ready->IsShownOnScreen()) {
                EXPECT_TRUE(Inside(ScreenBox("ready mark", *row.ready), frame)) << context << ": row " << i;
                EXPECT_LE(gui::MeasureTextWidth(gui::kFont12Bold, u"Ready"), row.ready->Width());
            }
            crownInRow = crownInRow || Inside(ScreenBox("crown", *list.Crown()), frame);
        }
        if (list.Crown()->IsShownOnScreen()) {
            EXPECT_TRUE(crownInRow) << context << ": the crown stands outside the rows";
        }
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

// An 8-ball room: waiting, or a game running with the groups given out; seen behind the cue ball or
// from above.
class RoomHudPlacesTest : public RoomLayoutTest,
                          public ::testing::WithParamInterface<std::tuple<bool, bool>> {
protected:
    RoomHudPlacesTest() { gameType = 10; }
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

TEST_P(RoomHudPlacesTest, HudPiecesDoNotCoverEachOtherAndFromAboveTheTableLiesClearOfThem) {
    const auto [running, topView] = GetParam();
    scene.Show(true);
    EnterRoom(0, 0);
    SeatTwoLongNames();
    if (running) StartGame(0, 77, true);
    scene.World()->SetTopView(topView);
    Run(1000);
    scene.Render(nullptr, false);
    ASSERT_EQ(scene.GameRunning(), running);
    const std::string context = std::string(running ? "running game" : "waiting room") +
                                (topView ? ", top view" : ", behind the cue ball");
    std::vector<Box> boxes = {{"title bar", 10, 4, 10 + 392, 4 + 30},
                              ScreenBox("chalk gauge", *scene.Chalk()),
                              ScreenBox("item strip", *scene.ItemStrip()),
                              ScreenBox("key guide", *scene.FindById(room::info_panel::kControl)),
                              ScreenBox("chat line", *scene.FindById(50)),
                              ControlBox("tip control", scene.World()->TipControl()),
                              ControlBox("elevation control", scene.World()->ElevationControl()),
                              ScreenBox("shop tab", *scene.FindById(room::join_msg::kShopTabControl))};
    for (std::uint32_t id = 1; id <= 6; ++id)
        boxes.push_back(ScreenBox("corner button " + std::to_string(id), *scene.FindById(id)));
    for (const gui::Widget* image : {scene.StatusPanel()->AmountImage(), scene.StatusPanel()->RuleImage()})
        if (image->IsShownOnScreen()) boxes.push_back(ScreenBox("room status", *image));
    // The power bar stands 16 pixels left of the elevation bar.
    const table::ControlRect elevation = scene.World()->ElevationControl();
    boxes.push_back({"power bar", elevation.left - 16, elevation.top, elevation.left - 6, elevation.bottom});
    for (int i = 0; i < scene.PlayerList()->RowCount(); ++i)
        boxes.push_back(ScreenBox("player row " + std::to_string(i), *scene.PlayerList()->RowAt(i).button));
    // The chat panel: the mute toggle and the scroll bar over the left end of the lines' strips.
    Box chat = ScreenBox("chat panel", *scene.FindById(room::control::kMuteChat));
    for (int k = 0; k < static_cast<int>(room::kOverlayLines); ++k) {
        const gui::Widget& strip = *scene.ChatRowStrip(k);
        for (const gui::Widget* w :
             {&strip, static_cast<const gui::Widget*>(scene.FindById(room::control::kChatScroll))}) {
            if (!w->IsShownOnScreen()) continue;
            const Box b = ScreenBox("", *w);
            chat = {chat.name, std::min(chat.left, b.left), std::min(chat.top, b.top),
                    std::max(chat.right, b.right), std::max(chat.bottom, b.bottom)};
        }
    }
    boxes.push_back(chat);
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
    ExpectApart(boxes, context);
    // On the screen, but for the countdown's flashing picture reaching over the top.
    for (const Box& box : boxes) {
        EXPECT_TRUE(box.left >= 0 && box.right <= host.ClientWidth() && box.bottom <= host.ClientHeight())
            << context << ": " << box.name;
        EXPECT_GE(box.top, box.name == "turn countdown" ? -2 : 0) << context << ": " << box.name;
    }
    ExpectPlayerRowsTidy(context);
    // The gauge's text ("No Chalk" without a chalk) reads whole.
    const gui::TextLabel* level = scene.Chalk()->LevelLabel();
    const int textWidth = gui::MeasureTextWidth(level->Font(), level->Text());
    EXPECT_GE(level->ScreenX() + (level->Width() - textWidth) / 2, 0) << ToUtf8(level->Text());
    if (!topView) return;
    // From above the whole table, its pockets and spots, lies in the room the HUD leaves.
    const Box table = TableOnScreen(*scene.World());
    EXPECT_TRUE(Inside(table, {"screen", 0, 0, host.ClientWidth(), host.ClientHeight()}))
        << context << ": " << table.left << "," << table.top << " - " << table.right << "," << table.bottom;
    for (const Box& box : boxes)
        EXPECT_FALSE(Overlap(table, box)) << context << ": " << box.name << " covers the table";
    EXPECT_GT((table.right - table.left) * 2, host.ClientWidth()) << "the table is drawn small";
}

TEST_F(RoomLayoutTest, EveryPlayerRowKeepsItsTextsAndMarksInsideForEveryGameKind) {
    scene.Show(true);
    for (std::uint8_t type : {0, 2, 4, 6, 10, 12, 13, 16}) {
        for (const bool running : {false, true}) {
            host.session->GetRoom().gameType = type;
            scene.Enter();
            EnterRoom(0, 0);
            SeatTwoLongNames();
            if (running) StartGame(1, 77, type == 10);
            scene.Render(nullptr, false);
            ASSERT_EQ(scene.PlayerList()->RowCount(), 2);
            ExpectPlayerRowsTidy("game type " + std::to_string(type) + (running ? ", running" : ", waiting"));
        }
    }
}

TEST_F(RoomLayoutTest, TheRightColumnStandsItsPanelsBelowEachOtherWhateverTheRoomHolds) {
    scene.Show(true);
    for (const int players : {2, 5, 8}) {
        for (const std::uint8_t own : {0, 1}) {
            for (const bool running : {false, true}) {
                const std::string context = std::to_string(players) + " players, own seat " +
                                            std::to_string(own) + (running ? ", running" : ", waiting");
                scene.Enter();
                EnterStakeRoomWithPointRule(own, static_cast<std::uint8_t>(players));
                // The master waits for the last one to be ready; a guest is asked to get ready.
                SeatLongNames(players, own == 0 ? -1 : own);
                if (running) StartGame(0);
                scene.Render(nullptr, false);
                // The tournament's score board, as if the channel were one.
                if (running) scene.Scores()->Show(true);
                scene.Render(nullptr, false);
                std::vector<Box> boxes;
                for (std::uint32_t id : {1u, 2u, 3u, 4u, 5u, 6u, room::join_msg::kInviteControl})
                    if (const gui::Widget* b = scene.FindById(id); b && b->IsShownOnScreen())
                        boxes.push_back(ScreenBox("corner button " + std::to_string(id), *b));
                // The room status panel's two pictures overlap a little: one panel.
                const gui::Widget& amount = *scene.StatusPanel()->AmountImage();
                const gui::Widget& rule = *scene.StatusPanel()->RuleImage();
                ASSERT_TRUE(amount.IsShownOnScreen() && rule.IsShownOnScreen()) << context;
                boxes.push_back({"room status", amount.ScreenX(), amount.ScreenY(),
                                 rule.ScreenX() + rule.Width(), rule.ScreenY() + rule.Height()});
                if (running) {
                    Box board = ScreenBox("score board", *scene.Scores());
                    board.bottom = board.top + 121;  // its button hangs under the picture
                    boxes.push_back(board);
                }
                for (std::uint32_t id :
                     {room::info_panel::kControl, room::control::kStartPrompt, room::control::kReadyPrompt})
                    if (const gui::Widget* w = scene.FindById(id); w->IsShownOnScreen())
                        boxes.push_back(
                            ScreenBox(id == room::info_panel::kControl ? "key guide" : "prompt", *w));
                const scenes::hud::PlayerMenu& list = *scene.PlayerList();
                if (list.MatchLabel()->IsShownOnScreen())
                    boxes.push_back(TextBox("match line", *list.MatchLabel()));
                // The header picture and the rows, overlapping a little: one list.
                const gui::Widget& header = *list.Children().front();
                const gui::Widget& last = *list.RowAt(list.RowCount() - 1).button;
                boxes.push_back({"player list", header.ScreenX(), header.ScreenY(),
                                 last.ScreenX() + last.Width(), last.ScreenY() + last.Height()});
                ExpectApart(boxes, context);
                for (const Box& box : boxes)
                    EXPECT_TRUE(Inside(box, {"screen", 0, 0, host.ClientWidth(), host.ClientHeight()}))
                        << context << ": " << box.name;
                // A long list takes the key guide's room; two players leave it.
                if (players == 2) {
                    EXPECT_TRUE(scene.FindById(room::info_panel::kControl)->IsShownOnScreen()) << context;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(WaitingAndRunningInBothViews, RoomHudPlacesTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace

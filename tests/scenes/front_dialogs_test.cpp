// The front end's small dialogs: nickname rules and the nickname change dialog's commands, the room
// settings check, the practice set-up's result and the help window's pages.
#include <gtest/gtest.h>

#include "gui/ComboBox.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "net/GameTypes.h"
#include "net/PlayerRecord.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/HelpWindow.h"
#include "scenes/front/NickChangeDialog.h"
#include "scenes/front/PracticeSetupDialog.h"
#include "scenes/front/RoomOptionDialog.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

using scenes::NickChangeDialog;

TEST(NickChangeRules, RefuseEmptyShortLongBlankAndForeignCharacters) {
    struct Case {
        WString nickname;
        bool valid;
    } cases[] = {
        {u"", false},
        {u"A", false},
        {u"Al", true},
        {u"TwelveLetter", true},
        {u"ThirteenChars", false},
        {u"two words", false},
        {u"\ub2f9\uad6c\uc655", true},  // Hangul syllables
        {u"Al\u2605", true},            // a special character beside letters
        {u"\u2605\u2606", false},       // special characters alone
        {u"tab\tname", false},
        {u"semi;colon", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NickChangeDialog::Check(c.nickname).empty(), c.valid) << ToUtf8(c.nickname);
}

class NickChangeDialogTest : public ::testing::Test {
protected:
    bool Press(std::uint32_t id) {
        gui::Widget* source = dialog.FindById(id);
        gui::Widget stray;
        stray.SetId(id);
        return dialog.OnCommand({source ? source : &stray, id, 0});
    }
    FakeSceneHost host;
    NickChangeDialog dialog{&host};
};

TEST_F(NickChangeDialogTest, SpecialButtonsInsertAtTheCaretWithinTheLimit) {
    dialog.Show(true);
    EXPECT_TRUE(dialog.Edit()->HasFocus()) << "showing gives the nickname box the focus";
    dialog.Edit()->SetText(u"Al");
    EXPECT_TRUE(Press(NickChangeDialog::kFirstSpecial + 0));
    EXPECT_EQ(dialog.Edit()->GetText(), WString(u"Al") + NickChangeDialog::SpecialCharacter(0));
    dialog.Edit()->SetText(u"TwelveLetter");
    EXPECT_TRUE(Press(NickChangeDialog::kFirstSpecial + 57));
    EXPECT_EQ(dialog.Edit()->GetText(), u"TwelveLetter") << "a full box takes no more";
    EXPECT_EQ(NickChangeDialog::SpecialCharacter(58), 0);
}

TEST_F(NickChangeDialogTest, ValidOkPostsTheLowSerialWordAndInvalidOkStaysOpen) {
    dialog.SetItemSerial(0x1234567890ABCDEFull);
    dialog.Show(true);
    dialog.Edit()->SetText(u"x");
    EXPECT_TRUE(Press(scenes::front_button::kOk));
    EXPECT_TRUE(dialog.IsVisible());
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_TRUE(host.posted.empty());

    dialog.Edit()->SetText(u"NewName");
    EXPECT_TRUE(Press(scenes::front_button::kOk));
    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_EQ(dialog.AcceptedNickname(), u"NewName");
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, scenes::front_message::kNickChangeOk);
    EXPECT_EQ(host.posted[0].a, 0x90ABCDEFu);

    EXPECT_FALSE(Press(3000)) << "ids of other controls are passed on";
    dialog.Show(true);
    EXPECT_TRUE(Press(scenes::front_button::kCancel));
    EXPECT_FALSE(dialog.IsVisible());
}

TEST(RoomSettingsCheck, RefusesWhatTheServerWouldRefuse) {
    net::RoomInfo room;
    room.title = u"Friendly game";
    room.gameType = 4;
    room.maxPlayers = 2;
    EXPECT_TRUE(scenes::RoomOptionDialog::Check(room, u"").empty());
    EXPECT_TRUE(scenes::RoomOptionDialog::Check(room, u"abc123").empty());
    EXPECT_FALSE(scenes::RoomOptionDialog::Check(room, u"a b").empty());
    room.title = u"   ";
    EXPECT_FALSE(scenes::RoomOptionDialog::Check(room, u"").empty()) << "a blank title";
    room.title = u"Game";
    room.gameType = 7;
    EXPECT_FALSE(scenes::RoomOptionDialog::Check(room, u"").empty()) << "a game type without rules";
    room.gameType = 4;
    room.maxPlayers = 9;
    EXPECT_FALSE(scenes::RoomOptionDialog::Check(room, u"").empty());
}

TEST(PracticeSetup, OkPostsTheChosenGameTypeAndFallsBackForTypesWithoutRules) {
    FakeSceneHost host;
    scenes::PracticeSetupDialog dialog;
    EXPECT_EQ(dialog.Types().size(), 11u);
    dialog.Open(7);
    EXPECT_EQ(dialog.GameType(), dialog.Types().front());
    dialog.Open(12);
    EXPECT_EQ(dialog.GameType(), 12);
    gui::Widget* eightBall = dialog.FindById(3300 + 10);
    ASSERT_NE(eightBall, nullptr);
    dialog.OnCommand({eightBall, eightBall->Id(), 0});
    dialog.OnCommand({dialog.FindById(scenes::front_button::kOk), scenes::front_button::kOk, 0});
    EXPECT_FALSE(dialog.IsVisible());
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, scenes::front_message::kPracticeSetupOk);
    EXPECT_EQ(host.posted[0].b, 10u);
    EXPECT_EQ(dialog.GameType(), 10);
}

TEST(HelpPages, RulesModeShowsTheGameTypeAndOtherModesTheirPage) {
    scenes::HelpWindow help;
    help.Open(scenes::HelpWindow::kRules, 10);
    EXPECT_EQ(help.Line(0), u"8-Ball");
    EXPECT_NE(help.Line(1).find(u"Solids"), WString::npos);
    help.Open(scenes::HelpWindow::kRules, 7);
    EXPECT_EQ(help.GameType(), 4) << "a type without rules shows 3-Cushion";
    help.Open(9, 0);
    EXPECT_EQ(help.Mode(), scenes::HelpWindow::kControls);
    EXPECT_EQ(help.Line(0), u"Aiming");
    // The controls as the table takes them: the right drag turns the camera, the left button's release
    // strikes.
    EXPECT_NE(help.Line(2).find(u"right button and move the mouse to turn the camera"), WString::npos);
    EXPECT_NE(help.Line(5).find(u"left button and draw the mouse down for power; let go to strike"),
              WString::npos);
    // One key, one action: the tip's centring and the last shot's replay have keys of their own.
    EXPECT_NE(help.Line(3).find(u"W, A, S, D move the tip on the ball, Q centres it."), WString::npos);
    EXPECT_EQ(help.Line(11).find(u"  R: the last shot again on the replay panel"), 0u);
}

}  // namespace

namespace {

TEST(RoomSettingsInRoom, OnlyTheMasterChangesTheSettingsAndOnlyValidOnesArePosted) {
    FakeSceneHost host;
    scenes::RoomOptionDialog dialog(&host);
    net::RoomInfo room;
    room.number = 12;
    room.title = u"Evening game";
    room.gameType = 10;
    room.maxPlayers = 2;
    room.inningTime = 30;
    net::PlayerRecord master, guest;
    master.nickname = u"Alice";
    const net::PlayerRecord* seats[net::kMaxSeats] = {&master, &guest};
    auto press = [&](std::uint32_t id) { dialog.OnCommand({dialog.FindById(id), id, 0}); };

    dialog.SetRoomInfo(room, false, seats, 0);
    dialog.Show(true);
    EXPECT_FALSE(dialog.FindById(3601)->IsEnabled()) << "a guest cannot edit the title";
    press(scenes::front_button::kOk);
    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_TRUE(host.posted.empty()) << "a guest's OK only closes";

    dialog.SetRoomInfo(room, true, seats, 0);
    dialog.Show(true);
    auto* title = dynamic_cast<gui::EditBox*>(dialog.FindById(3601));
    ASSERT_NE(title, nullptr);
    title->SetText(u"  ");
    press(scenes::front_button::kOk);
    EXPECT_TRUE(dialog.IsVisible()) << "a blank title is refused";
    ASSERT_EQ(host.errors.size(), 1u);
    title->SetText(u"Late game");
    // The room's settings message carries no game: even the master sees the game fixed, and a choice
    // made anyway (a stale list) does not reach the settings.
    EXPECT_FALSE(dialog.GameChoice()->IsEnabled());
    EXPECT_TRUE(dialog.GameNote()->IsVisible());
    dialog.GameChoice()->Select(0);
    press(scenes::front_button::kOk);
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, scenes::front_message::kRoomOptionsOk);
    EXPECT_EQ(dialog.Room().title, u"Late game");
    EXPECT_EQ(dialog.Room().number, 12) << "the room keeps its number";
    EXPECT_EQ(dialog.Room().gameType, 10);
    EXPECT_EQ(dialog.Room().inningTime, 30);
    EXPECT_EQ(dialog.Room().maxPlayers, 2) << "pocket games seat two";
    // ... and say so: the Players list shows 2, greyed, with the reason.
    EXPECT_FALSE(dialog.PlayersChoice()->IsEnabled());
    EXPECT_EQ(dialog.PlayersChoice()->TooltipText(), scenes::RoomOptionDialog::kPocketPlayersText);

    // A new room: the Players list follows the game chosen, and a carom game gets back its count.
    dialog.OpenForCreate(u"New room", 10);
    EXPECT_FALSE(dialog.GameNote()->IsVisible()) << "a new room chooses its game";
    const auto choose = [&](gui::ComboBox* list, int row) {
        list->Select(row);
        press(list->Id());
    };
    int eightBall = 0;  // the row of 8-ball (type 10): one per game with rules before it
    for (int t = 0; t < 10; ++t) eightBall += net::GameTypeHasRules(t) ? 1 : 0;
    choose(dialog.GameChoice(), 0);
    choose(dialog.PlayersChoice(), 2);
    choose(dialog.GameChoice(), eightBall);
    EXPECT_EQ(dialog.PlayersChoice()->Selected(), 0);
    choose(dialog.GameChoice(), 0);
    press(scenes::front_button::kOk);
    EXPECT_EQ(dialog.Room().gameType, 0);
    EXPECT_EQ(dialog.Room().maxPlayers, 4);
}

}  // namespace

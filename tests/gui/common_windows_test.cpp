#include <gtest/gtest.h>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/CommonDialogs.h"
#include "gui/GameTypeName.h"
#include "gui/PlayerInfoWindows.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "support/WidgetTestSupport.h"

using namespace gui;
using namespace gui_test;

namespace {

TEST(NoticeBoxButtons, EachLayoutPostsItsButtonIdsWithTheParameterWord) {
    struct Case {
        int layout;
        std::vector<std::uint32_t> ids;
    };
    const Case cases[] = {{0, {2049}}, {1, {2050, 2051}}, {2, {2052, 2053}}, {3, {}}};
    for (const Case& c : cases) {
        PostRecorder recorder;
        RecordingRoot root;
        NoticeBox box;
        root.AddChild(&box, false);
        for (std::size_t i = 0; i < c.ids.size(); ++i) {
            box.Reset();
            box.SetLayout(c.layout);
            box.SetResultCode(1087);
            box.SetParam(0xDEADBEEF);
            box.Show(true);
            Button* button = box.LayoutButton(static_cast<int>(i));
            ASSERT_NE(button, nullptr);
            Click(root, button->ScreenX() + 5, button->ScreenY() + 5);
            EXPECT_FALSE(box.IsVisible());
        }
        box.SetLayout(c.layout);
        EXPECT_EQ(box.LayoutButton(static_cast<int>(c.ids.size())), nullptr);
        ASSERT_EQ(recorder.posted.size(), c.ids.size()) << "layout " << c.layout;
        for (std::size_t i = 0; i < c.ids.size(); ++i)
            EXPECT_EQ(recorder.posted[i], (Posted{1087, c.ids[i], 0xDEADBEEF, 0})) << "layout " << c.layout;
    }
}

TEST(NoticeBoxButtons, ResetForgetsTheParameterOfThePreviousConfirmation) {
    PostRecorder recorder;
    NoticeBox box;
    box.SetParam(77);
    box.SetLayout(2);
    box.Reset();
    box.SetLayout(2);
    box.Press(0);
    ASSERT_EQ(recorder.posted.size(), 1u);
    EXPECT_EQ(recorder.posted[0], (Posted{1024, 2052, 0, 0}));
    box.SetLayout(9);  // unknown layouts are ignored
    EXPECT_EQ(box.Layout(), 2);
}

TEST(NoticeBoxButtons, EnterAndEscapePressTheLayoutsButtons) {
    PostRecorder recorder;
    RecordingRoot root;
    NoticeBox box;
    root.AddChild(&box, false);
    box.SetLayout(2);
    box.Show(true);
    Key(root, platform::kWmKeyDown, platform::kVkEscape);
    box.Show(true);
    Key(root, platform::kWmKeyDown, platform::kVkReturn);
    ASSERT_EQ(recorder.posted.size(), 2u);
    EXPECT_EQ(recorder.posted[0].a, 2053u);
    EXPECT_EQ(recorder.posted[1].a, 2052u);
}

TEST(CommonPopups, ConfirmationsPostTheCodesTheScenesHandle) {
    PostRecorder recorder;
    RecordingRoot root;
    QuitGameDialog quit;
    WithdrawDialog withdraw;
    GameRequestDialog request;
    GameRequestAnswerDialog answer;
    ReportBadDialog report;
    InviteDialog invite;
    withdraw.SetPenalty(u"You lose 100 gold.", 1);
    request.SetKind(2);
    answer.SetRequest(u"상대", 1);
    report.SetPlayer(5001, u"player");
    invite.SetInvitation(u"친구", 17, u"come", 4);
    MessageDialog* dialogs[] = {&quit, &withdraw, &request, &answer, &report, &invite};
    for (MessageDialog* dialog : dialogs) {
        root.AddChild(dialog, false);
        dialog->Open();
        Key(root, platform::kWmKeyDown, platform::kVkReturn);
        EXPECT_FALSE(dialog->IsVisible());
    }
    answer.Open();
    Key(root, platform::kWmKeyDown, platform::kVkEscape);  // the refusal of a request is posted too
    quit.Open();
    Key(root, platform::kWmKeyDown, platform::kVkEscape);  // a plain refusal only closes
    EXPECT_EQ(recorder.posted, (std::vector<Posted>{{1040, 2052, 0, 0},
                                                    {1093, 2052, 1, 0},
                                                    {1094, 2052, 2, 0},
                                                    {1106, 2052, 1, 0},
                                                    {1051, 2052, 5001, 0},
                                                    {1110, 2052, 17, 0},
                                                    {1106, 2053, 1, 0}}));
    EXPECT_EQ(invite.Line(1), u"come");
    EXPECT_EQ(invite.Line(2), u"[3-Cushion] Do you want to join?");
    invite.SetInvitation(u"친구", 18, {}, -1);
    EXPECT_EQ(invite.Line(2), u"Do you want to join?") << "a room the lobby does not list names no game";
}

TEST(CommonPopups, ShownPopupsAreJournalledLikeNoticeBoxesAndOtherDialogsByTheirTitle) {
    std::vector<WString> journal;
    NoticeBox::SetJournal([&](const WString& line) { journal.push_back(line); });
    RecordingRoot root;
    InProgressNotice progress;
    NotEnoughGoldDialog gold;
    root.AddChild(&progress, false);
    root.AddChild(&gold, false);
    progress.Open();
    progress.Open();  // already shown: no second line
    gold.SetShortfall(12, 2500);
    gold.Open();
    // Any other dialog names itself by its title each time it shows, once it has the focus.
    Dialog plain;
    plain.SetTitle(u"Create Nick");
    plain.SetVisible(false);
    root.AddChild(&plain, false);
    plain.Show(true);
    EXPECT_EQ(GetGuiState().focus, &plain);
    plain.Show(true);
    plain.Show(false);
    plain.Show(true);
    NoticeBox::SetJournal(nullptr);
    EXPECT_EQ(journal, (std::vector<WString>{
                           u"BOX Notice|In progress. Please wait a moment.",
                           u"BOX Notice|You need more gold to play 9-Ball here.|Short by 2,500 Gold.",
                           u"DIALOG Create Nick", u"DIALOG Create Nick"}));
}

TEST(CommonPopups, ReportWithoutAChosenPlayerCannotBeConfirmed) {
    PostRecorder recorder;
    RecordingRoot root;
    ReportBadDialog report;
    root.AddChild(&report, false);
    report.SetPlayer(9, u"x");
    report.Clear();
    report.Open();
    Key(root, platform::kWmKeyDown, platform::kVkReturn);
    EXPECT_TRUE(recorder.posted.empty());
    EXPECT_TRUE(report.IsVisible());
}

TEST(CommonPopups, GameTypeNamesCoverEveryGameAndNothingElse) {
    EXPECT_EQ(GameTypeName(0), u"4-Ball");
    EXPECT_EQ(GameTypeName(16), u"Snooker");
    for (int type : {-1, 1, 7, 14, 17, 255}) EXPECT_TRUE(GameTypeName(type).empty()) << type;
}

// A profile reply body after the found byte, with `count` records.
void WriteProfile(net::Packet& p, std::uint8_t count, std::uint8_t type = 4) {
    p.Init(211);
    p.WriteU64(77).WriteString(u"상대방닉네임이아주아주긴이름입니다").WriteU16(31).WriteU32(1234);
    p.WriteI64(1234567).WriteString(u"Clan").WriteU8(10).WriteU32(2345).WriteU8(3).WriteU8(count);
    for (std::uint8_t i = 0; i < count; ++i)
        p.WriteU8(i == 0 ? type : i).WriteU32(10).WriteU32(6).WriteU32(4);
    p.Finish();
}
bool Read(UserInfoWindow& window, net::Packet& written) {
    net::Packet received;
    if (!received.SetFrames(written.Data(), written.Size())) return false;
    return window.ReadProfile(received);
}

TEST(UserInfo, ProfileReplyIsReadWithItsBounds) {
    UserInfoWindow window;
    net::PlayerRecord record;
    record.nickname = u"first";
    record.money = 5;
    window.BeginLoad(record);
    EXPECT_TRUE(window.IsLoaded()) << "a record held whole waits for no reply";
    EXPECT_EQ(window.Profile().money, 5);

    net::Packet good;
    WriteProfile(good, 2);
    ASSERT_TRUE(Read(window, good));
    EXPECT_EQ(window.Profile().playerId, 77u);
    EXPECT_EQ(window.Profile().nickname.size(), PlayerProfile::kMaxNameUnits);
    EXPECT_EQ(window.Profile().records[4].wins, 6u);
    EXPECT_EQ(window.Profile().money, 1234567);

    net::Packet tooMany, badType, shortReply;
    WriteProfile(tooMany, 18);
    WriteProfile(badType, 1, 17);
    shortReply.Init(211);
    shortReply.WriteU64(1).WriteString(u"cut");
    shortReply.Finish();
    for (net::Packet* bad : {&tooMany, &badType, &shortReply}) {
        EXPECT_FALSE(Read(window, *bad));
        EXPECT_EQ(window.Profile().playerId, 77u);  // the window keeps the last good profile
    }
}

TEST(MyInfo, ApplyKeepsTheChosenCueAsTheValueAndPostsIt) {
    PostRecorder recorder;
    RecordingRoot root;
    MyInfoWindow window;
    root.AddChild(&window, false);
    net::PlayerRecord record;
    net::ItemEntry cue, chalk;
    cue.serial = 0x0102030405060708ull;
    cue.itemId = 3043;
    cue.type = static_cast<std::uint32_t>(net::ItemType::Cue);
    chalk.serial = 15;
    chalk.type = 5;
    record.AddItem(chalk.serial, &chalk);
    record.AddItem(cue.serial, &cue);
    window.SetRecord(&record);
    window.Show(true);
    Button* apply = static_cast<Button*>(window.FindById(MyInfoWindow::kApplyId));
    ASSERT_TRUE(apply->IsEnabled());
    apply->Click();
    EXPECT_TRUE(recorder.posted.empty());  // nothing chosen yet
    static_cast<ComboBox*>(window.FindById(MyInfoWindow::kCueChoiceId))->Select(0);
    apply->Click();
    EXPECT_EQ(recorder.posted, (std::vector<Posted>{{1088, 2052, 0, 0}}));
    EXPECT_EQ(window.Value(), (std::array<std::uint8_t, 8>{8, 7, 6, 5, 4, 3, 2, 1}));
    window.SetRecord(nullptr);
}

}  // namespace

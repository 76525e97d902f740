// The shot gallery scene, its list window and its shot window, fetching from the loopback stand-in.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/GameTypeName.h"
#include "gui/ImageWidget.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiResourceSet.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "platform/window/WindowCodes.h"
#include "scenes/room/gallery/GalleryCodes.h"
#include "scenes/room/gallery/SceneShotGallery.h"
#include "scenes/room/gallery/ShotGalleryListWindow.h"
#include "scenes/room/gallery/ShotViewWindow.h"
#include "tests/e2e/gallery/GalleryTestServer.h"
#include "tests/e2e/gallery/RecordedShots.h"
#include "tests/scenes/support/FakeSceneHost.h"
#include "tests/scenes/support/LayoutBoxes.h"

using namespace scenes;
using gallery_test::Answer;
using gallery_test::Fields;
using gallery_test::GalleryTestServer;

namespace {

class NoticeHost : public FakeSceneHost {
public:
    void ShowNotice(gui::Widget*, const WString& line1, const WString& line2, const WString&) override {
        notices.push_back(line1 + (line2.empty() ? u"" : u"|" + line2));
    }
    std::vector<WString> notices;
};

// A list reply of `rows` rows for the page asked for; the dates run 2009-3-1, 2009-3-2...
std::string ListReply(int pages, int page, int rows, const std::string& lastDate = {}) {
    std::vector<std::string> fields{std::to_string(pages), std::to_string(page), std::to_string(rows)};
    for (int i = 0; i < rows; ++i) {
        const std::string date =
            i + 1 == rows && !lastDate.empty() ? lastDate : "2009-3-" + std::to_string(i + 1);
        for (const std::string& f :
             {std::to_string(7001 + i), std::string("Shot"), std::string("nick"),
              std::to_string(i == 1 ? 99 : 0), date, std::string("x"), std::string("10")})
            fields.push_back(f);
    }
    return Fields(fields);
}

gui::CommandEvent Click(gui::Widget* source) {
    return {source, source ? source->Id() : 0, 0, gui::CommandCode::Event};
}

struct ListFixture {
    explicit ListFixture(gallery_test::Handler handler)
        : server(std::move(handler)), client(server.HostSetting()) {
        client.SetTimeouts(2000, 3000);
    }
    std::string LastBody() {
        const auto requests = server.Requests();
        return requests.empty() ? std::string() : requests.back().body;
    }
    NoticeHost host;
    GalleryTestServer server;
    GalleryClient client;
    ShotGalleryListWindow window{client};
};

}  // namespace

TEST(ShotGalleryList, PageBlocksFollowTheReportedPageAndNeverLeaveTheTotal) {
    const PageBlock wide = ComputePageBlock(37, 23, 23);
    EXPECT_EQ(wide.first, 21);
    EXPECT_EQ(wide.captions[0], 21);
    EXPECT_EQ(wide.captions[9], 30);
    EXPECT_EQ(wide.selected, 2);
    EXPECT_TRUE(wide.backEnabled);
    EXPECT_TRUE(wide.forwardEnabled);

    const PageBlock few = ComputePageBlock(8, 1, 1);
    EXPECT_TRUE(few.shown[7]);
    EXPECT_FALSE(few.shown[8]);
    EXPECT_FALSE(few.backEnabled || few.forwardEnabled);

    const PageBlock tail = ComputePageBlock(25, 25, 25);
    EXPECT_EQ(tail.first, 21);
    EXPECT_TRUE(tail.shown[4]);
    EXPECT_FALSE(tail.shown[5]);
    EXPECT_FALSE(tail.forwardEnabled);

    // Hostile reported pages: no overflow, the block stays inside 1..total.
    for (std::int32_t reported : {std::numeric_limits<std::int32_t>::min(), -500, 0, 9999,
                                  std::numeric_limits<std::int32_t>::max()}) {
        const PageBlock b = ComputePageBlock(37, reported, 1);
        EXPECT_GE(b.first, 1) << reported;
        EXPECT_LE(b.first, 37) << reported;
    }
}

TEST(ShotGalleryList, BestShotsPageShowsRanksPrizesAndReadsTheDateBack) {
    ListFixture f([](const gallery_test::Request&) {
        return Answer{Answer::Kind::Reply, 200, ListReply(4, 0, 4), true};
    });
    f.window.Reset();
    f.window.Refresh();
    EXPECT_EQ(f.LastBody(), "Page_list=0");
    for (int i = 0; i < 4; ++i) {
        ShotListRow* row = f.window.Row(i);
        EXPECT_TRUE(row->IsVisible());
        EXPECT_EQ(row->NumberLabel()->Text(), Format(u"%d", i + 1)) << "ranks, not sequence numbers";
    }
    EXPECT_EQ(f.window.Row(0)->PrizeLabel()->Text(), u"50,000");
    EXPECT_EQ(f.window.Row(1)->PrizeLabel()->Text(), u"30,000");
    EXPECT_EQ(f.window.Row(2)->PrizeLabel()->Text(), u"10,000");
    EXPECT_FALSE(f.window.Row(3)->PrizeLabel()->IsVisible());
    EXPECT_EQ(f.window.Row(1)->GameTypeLabel()->Text(), u"[]") << "an unknown game type names nothing";
    EXPECT_FALSE(f.window.Row(4)->IsVisible());
    EXPECT_TRUE(f.window.TodaysBest()->IsVisible());
    EXPECT_FALSE(f.window.NoBestLine()->IsVisible());
    EXPECT_EQ(f.window.Year(), 2009);
    EXPECT_EQ(f.window.Month(), 3);
    EXPECT_EQ(f.window.Day(), 4);
    EXPECT_EQ(f.window.DateList(1)->Selected(), 2);
    EXPECT_EQ(f.window.DateList(2)->Selected(), 3);
}

TEST(ShotGalleryList, DatesTheListsCannotShowLeaveTheFilterAlone) {
    for (const char* date : {"2009-13-5", "2009-0-5", "2009-3-32", "garbage"}) {
        ListFixture f([date](const gallery_test::Request&) {
            return Answer{Answer::Kind::Reply, 200, ListReply(1, 0, 2, date), true};
        });
        f.window.Reset();
        f.window.Refresh();
        EXPECT_EQ(f.window.Year(), 0) << date;
        EXPECT_EQ(f.window.Month(), 0) << date;
    }
}

TEST(ShotGalleryList, EmptyBestPageSaysSoAndNumberedPagesShowSeqAndPageLine) {
    // The stand-in reports the page it was asked for, as the gallery does; 37 pages in all.
    std::atomic<int> status{200};
    ListFixture f([&status](const gallery_test::Request& r) {
        const int page = std::atoi(r.Form("Page_list").c_str());
        return Answer{Answer::Kind::Reply, status.load(),
                      page == 0 ? Fields({"5", "0", "0"}) : ListReply(37, page, 2), true};
    });
    f.window.Reset();
    f.window.Refresh();
    EXPECT_TRUE(f.window.NoBestLine()->IsVisible());
    EXPECT_FALSE(f.window.Row(0)->IsVisible());

    f.window.OnCommand(Click(f.window.PageButton(2)));
    EXPECT_EQ(f.LastBody(), "Page_list=3");
    EXPECT_FALSE(f.window.NoBestLine()->IsVisible());
    EXPECT_EQ(f.window.PageLine()->Text(), u"Page : 3");
    EXPECT_EQ(f.window.Row(0)->NumberLabel()->Text(), u"7001");
    EXPECT_TRUE(f.window.PageButton(2)->IsChecked());
    // Two blocks on: page 21 opens the block 21..30.
    f.window.OnCommand(Click(f.window.BlockButton(gallery::kBlockForward10)));
    f.window.OnCommand(Click(f.window.BlockButton(gallery::kBlockForward10)));
    EXPECT_EQ(f.LastBody(), "Page_list=21");
    EXPECT_EQ(f.window.FirstPage(), 21);
    EXPECT_EQ(f.window.PageButton(0)->Caption(), u"21");

    const std::size_t before = f.server.Requests().size();
    f.window.OnCommand(Click(f.window.BlockButton(gallery::kBlockForward100)));
    EXPECT_EQ(f.server.Requests().size(), before) << "21 + 100 > 37 is refused";
    f.window.OnCommand(Click(f.window.BlockButton(gallery::kBlockForward10)));
    EXPECT_EQ(f.LastBody(), "Page_list=31");
    EXPECT_TRUE(f.window.PageButton(0)->IsChecked());
    EXPECT_FALSE(f.window.BlockButton(gallery::kBlockForward10)->IsEnabled()) << "31 + 10 is past 37";

    // A failing gallery says so on any page, on the best shots' too, until it answers again.
    status = 500;
    f.window.OnCommand(Click(f.window.PageButton(1)));
    EXPECT_TRUE(f.window.UnreachableLine()->IsVisible() && !f.window.Row(0)->IsVisible());
    EXPECT_EQ(f.window.UnreachableLine()->Text(), u"The shot gallery could not be reached.");
    for (int answer : {500, 200}) {
        status = answer;
        f.window.OnCommand({nullptr, gallery::kBestShotsId, 0, gui::CommandCode::Event});
        EXPECT_EQ(f.window.UnreachableLine()->IsVisible(), answer != 200);
        EXPECT_EQ(f.window.NoBestLine()->IsVisible(), answer == 200);
    }
}

TEST(ShotGalleryList, ARowClickHidesTheListAndPostsItsSeqAndTheDayListAsksForThatDate) {
    ListFixture f([](const gallery_test::Request&) {
        return Answer{Answer::Kind::Reply, 200, ListReply(1, 0, 3), true};
    });
    f.window.Reset();
    f.window.Show(true);
    f.window.OnCommand(Click(f.window.Row(2)));
    EXPECT_FALSE(f.window.IsVisible());
    ASSERT_FALSE(f.host.posted.empty());
    EXPECT_EQ(f.host.posted.back().code, gallery::kOpenShotMessage);
    EXPECT_EQ(f.host.posted.back().a, 7003u) << "the sequence number, not the rank";

    f.window.DateList(2)->Select(4);
    f.window.OnCommand(Click(f.window.DateList(2)));
    EXPECT_EQ(f.LastBody().substr(0, 20), "Page_list=0&getdate=");
    EXPECT_EQ(f.LastBody().substr(f.LastBody().size() - 2), "05");
    EXPECT_TRUE(f.window.TodaysBest()->IsVisible());
}

TEST(ShotGalleryShot, RepliesScrollFiveAtATimeAndTheVoteRuleKeepsOthersToOneVote) {
    std::vector<std::string> fields{"0", "alice", "Bank shot", "info", "120", "ABCD", "7"};
    for (int i = 0; i < 7; ++i) {
        fields.push_back(i == 3 ? "me" : "r" + std::to_string(i));
        fields.push_back(std::to_string(i));
        fields.push_back("text");
    }
    std::string reply = Fields(fields);
    NoticeHost host;
    GalleryTestServer server([&reply](const gallery_test::Request&) {
        return Answer{Answer::Kind::Reply, 200, reply, true};
    });
    GalleryClient client(server.HostSetting());
    ShotViewWindow window(client);
    net::PlayerRecord me;
    me.nickname = u"me";
    me.stickerCount = 3;
    window.SetContext(&host, &me);
    window.SetShotSeq(5001);
    window.Show(true);
    ASSERT_TRUE(window.Loaded());
    EXPECT_EQ(server.Requests().back().body, "shot_seq=5001");
    EXPECT_TRUE(host.Posted(gallery::kPlayShotMessage));
    EXPECT_EQ(window.TitleLabel()->Text(), u"Bank shot");
    EXPECT_EQ(window.ReplyScroll()->Range(), 3);
    EXPECT_EQ(window.ReplyRowNickname(0), u"r0");

    window.OnCommand({window.ReplyScroll(), gallery::kReplyScrollId, 9, gui::CommandCode::Event});
    EXPECT_EQ(window.FirstReply(), 3) << "clamped to count - 4";
    EXPECT_EQ(window.ReplyRowNickname(0), u"r2");

    EXPECT_TRUE(window.HasVotedElsewhere());
    EXPECT_EQ(host.notices.back(), u"You can only vote once.");
    me.nickname = u"alice";  // the owner may reply to his own shot again
    EXPECT_FALSE(window.HasVotedElsewhere());

    reply = Fields({"0", "alice", "T", "I", "1", "AB", "0"});
    window.Reload();
    EXPECT_EQ(window.ReplyCount(), 0u);
    for (int i = 0; i < ShotViewWindow::kReplyRows; ++i) EXPECT_FALSE(window.ReplyRow(i)->IsVisible());
}

TEST(ShotGalleryShot, ReplyDialogChecksStickersThenTextAndNeverWrapsTheCount) {
    NoticeHost host;
    net::PlayerRecord me;
    ShotReplyDialog dialog;
    dialog.SetContext(&host, &me);

    dialog.Prepare(true, 5001);
    dialog.Show(true);
    EXPECT_EQ(dialog.Prompt()->Text(), u"You can only reply to your own shots.");
    EXPECT_EQ(dialog.Points(), 0);
    EXPECT_FALSE(dialog.PointsList()->IsEnabled());

    // Each point costs a sticker: the first choice is what the player holds, at most 10.
    for (const auto& [stickers, points] : {std::pair{5, 5}, std::pair{30, 10}, std::pair{0, 1}}) {
        me.stickerCount = static_cast<std::uint16_t>(stickers);
        dialog.Show(false);
        dialog.Prepare(false, 5001);
        dialog.Show(true);
        EXPECT_EQ(dialog.Points(), points) << stickers << " stickers";
    }
    EXPECT_EQ(dialog.Prompt()->Text(), u"Select the recommended points.");
    gui::Widget* send = dialog.FindById(gallery::kReplySendId);
    dialog.TextEdit()->SetText(u"great");
    dialog.OnCommand(Click(send));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], u"There are no recommended stickers available.");
    EXPECT_TRUE(dialog.IsVisible());

    me.stickerCount = 4;
    dialog.TextEdit()->SetText(u"g");
    dialog.OnCommand(Click(send));
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_EQ(host.errors[1], u"Enter title more than 4 bytes.");

    // Not connected: nothing went out, so no sticker is spent.
    dialog.TextEdit()->SetText(u"great");
    dialog.OnCommand(Click(send));
    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_EQ(me.stickerCount, 4);
}

TEST(ShotGalleryShot, ReplyMessageCarriesSeqPointsAndTextCutToThirty) {
    net::Packet packet;
    packet.Init(gallery::kReplyPacket);
    WriteShotReply(packet, 5001, 14, WString(40, u'x'));
    packet.Finish();
    net::Packet in;
    ASSERT_TRUE(in.SetFrames(packet.Data(), packet.Size()));
    EXPECT_EQ(in.U32(), 5001u);
    EXPECT_EQ(in.U8(), 10) << "points stay within 0..10";
    WString text;
    in.ReadString(text);
    EXPECT_EQ(text, WString(30, u'x'));
    EXPECT_FALSE(in.IsBad());
}

namespace {

struct SceneFixture {
    explicit SceneFixture(std::vector<gallery_test::GalleryShot> shots)
        : server(gallery_test::CatalogueHandler(std::move(shots))) {
        setenv("MARVENLOT_GALLERY_HOST", server.HostSetting().c_str(), 1);
        scene = std::make_unique<SceneShotGallery>();
        unsetenv("MARVENLOT_GALLERY_HOST");
        scene->SetHost(&host);
        scene->Load3D(nullptr, nullptr);  // no renderer: the world stands without models
        scene->Enter();
    }
    // Ticks the world until the running playback rests; the rest message goes to the scene.
    void RunToRest() {
        table::TableWorld* world = scene->World();
        for (int n = 0; world->ShotExecuting() && n < 400000; ++n) scene->Update(0, 0);
        scene->OnMessage(static_cast<std::uint32_t>(table::WorldMessage::ShotAtRest), 0, 0);
        scene->Render(nullptr, false);
    }
    NoticeHost host;
    GalleryTestServer server;
    std::unique_ptr<SceneShotGallery> scene;
};

std::vector<gallery_test::GalleryShot> Recorded() {
    static const std::vector<gallery_test::GalleryShot> shots =
        gallery_test::ShotsFromJournal(gallery_test::RecordShotLines());
    return shots;
}

}  // namespace

TEST(ShotGalleryScene, AGalleryShotReplaysToTheRestOfItsRecordAtEverySpeed) {
    const auto shots = Recorded();
    ASSERT_GE(shots.size(), 2u);
    SceneFixture f(shots);
    EXPECT_TRUE(f.scene->ListWindow()->IsVisible());
    // The windows and their controls draw from the "Gallery" set.
    EXPECT_EQ(f.scene->ListWindow()->Image().set, gui::UiResourceSet::kSetCount);
    const gui::Widget* play = f.scene->ShotWindow()->FindById(gallery::kPlayShotId);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->Image().set, gui::UiResourceSet::kSetCount);
    EXPECT_FALSE(f.scene->SpeedPlate()->IsVisible()) << "no shot plays yet";
    for (const auto& shot : {shots[0], shots[2]}) {
        f.scene->OnMessage(gallery::kOpenShotMessage, static_cast<std::uint32_t>(shot.seq), 0);
        ASSERT_TRUE(f.scene->ShotWindow()->Loaded());
        EXPECT_EQ(f.scene->ShotWindow()->InfoLabel()->Text(), WString(gui::GameTypeName(shot.gameType)))
            << "the stand-in names the game (it said \"game type 0\")";
        f.scene->OnMessage(gallery::kPlayShotMessage, 0, 0);
        EXPECT_TRUE(f.scene->SetupPending());
        f.scene->Render(nullptr, false);
        const WString labels[] = {u"Normal Speed", u"½ Speed", u"¼ Speed", u"Normal Speed"};
        for (const WString& label : labels) {
            EXPECT_EQ(f.scene->SpeedText(), label);
            // Its own plate keeps the speed legible over the table, wherever the camera puts it.
            EXPECT_TRUE(f.scene->SpeedPlate()->IsVisible());
            EXPECT_TRUE(layout_test::Inside(layout_test::TextBox("speed", *f.scene->SpeedLabel()),
                                            layout_test::ScreenBox("plate", *f.scene->SpeedPlate())));
            ASSERT_TRUE(f.scene->World()->ShotExecuting());
            f.RunToRest();
            EXPECT_EQ(Format(u"%08x", f.scene->World()->LastShotHash()), FromUtf8(shot.restHash))
                << "shot " << shot.seq;
        }
    }
}

// A record that cannot be played (cut short, sixteen balls on 9-ball, a ball where no number is) once
// left the shot window up with nothing playing and no word why; the table keeps the shot it plays.
TEST(ShotGalleryScene, RestsBeforeAnyShotAndUnplayableRecordsSaySoAndGoBackToTheList) {
    auto shots = Recorded();
    ASSERT_EQ(shots.size(), 4u);
    shots[1].recordHex = "0A0B";
    shots[2].recordHex.replace(16, 2, "0C");        // 8-ball's sixteen balls as 9-ball
    shots[3].recordHex.replace(70, 8, "0000C07F");  // the first ball's x is no number
    SceneFixture f(shots);
    f.scene->OnMessage(static_cast<std::uint32_t>(table::WorldMessage::ShotAtRest), 0, 0);
    EXPECT_EQ(f.scene->SpeedIndex(), -1);
    EXPECT_FALSE(f.scene->World()->ShotExecuting());

    f.scene->OnMessage(gallery::kOpenShotMessage, static_cast<std::uint32_t>(shots[0].seq), 0);
    f.scene->OnMessage(gallery::kPlayShotMessage, 0, 0);
    f.scene->Render(nullptr, false);
    ASSERT_TRUE(f.scene->World()->ShotExecuting());
    for (std::size_t i = 1; i < shots.size(); ++i) {
        f.scene->OnMessage(gallery::kOpenShotMessage, static_cast<std::uint32_t>(shots[i].seq), 0);
        ASSERT_TRUE(f.scene->ShotWindow()->IsVisible());
        f.scene->OnMessage(gallery::kPlayShotMessage, 0, 0);
        ASSERT_EQ(f.host.notices.size(), i) << "shot " << i;
        EXPECT_EQ(f.host.notices.back(), u"This shot cannot be played.|Its record is damaged.");
        EXPECT_FALSE(f.scene->ShotWindow()->IsVisible()) << "shot " << i;
        EXPECT_TRUE(f.scene->ListWindow()->IsVisible()) << "shot " << i;
        EXPECT_FALSE(f.scene->SetupPending());
        EXPECT_EQ(f.scene->SpeedIndex(), 0);
        EXPECT_EQ(table::ShotRecordToHex(f.scene->Shot()), shots[0].recordHex) << "shot " << i;
        EXPECT_TRUE(f.scene->World()->ShotExecuting()) << "the shot shown plays on";
    }
}

TEST(ShotGalleryScene, EscapeWalksShotWindowListAndBack) {
    SceneFixture f(Recorded());
    f.scene->OnMessage(gallery::kOpenShotMessage, 5001, 0);
    f.scene->ListWindow()->Show(false);
    ASSERT_TRUE(f.scene->ShotWindow()->IsVisible());
    const auto esc = [&f] { f.scene->OnMessage(platform::kWmChar, 27, 0); };
    esc();
    EXPECT_FALSE(f.scene->ShotWindow()->IsVisible());
    EXPECT_TRUE(f.scene->ListWindow()->IsVisible());
    esc();
    EXPECT_FALSE(f.scene->ListWindow()->IsVisible());
    esc();
    EXPECT_TRUE(f.scene->ListWindow()->IsVisible());
}

TEST(ShotGalleryScene, VoteRepliesReachTheMainThreadAsNoticesAndToLobbySends1140) {
    SceneFixture f(Recorded());
    f.host.posted.clear();
    for (std::uint8_t result : {0, 1, 7}) {
        net::Packet packet;
        packet.Init(gallery::kVoteReplyPacket);
        packet.WriteU8(result);
        packet.Finish();
        net::Packet in;
        ASSERT_TRUE(in.SetFrames(packet.Data(), packet.Size()));
        EXPECT_EQ(f.scene->OnPacket(gallery::kVoteReplyPacket, &in), 1);
        EXPECT_TRUE(f.host.notices.empty() || f.host.notices.size() < 3u);
        ASSERT_FALSE(f.host.posted.empty());
        const PostedMessage posted = f.host.posted.back();
        EXPECT_EQ(posted.code, gallery::kVoteReplyMessage) << "handed to the main thread";
        f.scene->OnMessage(posted.code, posted.a, 0);
    }
    ASSERT_EQ(f.host.notices.size(), 3u);
    EXPECT_EQ(f.host.notices[0], u"한표 던졌습니다.");
    EXPECT_EQ(f.host.notices[1], u"추천 스티커가 부족합니다.");
    EXPECT_EQ(f.host.notices[2], u"DB error.|운영자에게 문의하세요.");

    f.scene->OnCommand(Click(f.scene->FindById(gallery::kToLobbyId)));
    ASSERT_FALSE(f.host.sentBytes.empty());
    EXPECT_EQ(f.host.sentBytes.back(), (std::pair<std::uint16_t, std::uint8_t>{1140, 0}));
}

TEST(ShotGalleryScene, ChatKeepsTwoHundredLinesAndFillsTheRowsFromTheBottom) {
    SceneFixture f(Recorded());
    for (int i = 1; i <= 3; ++i) f.scene->PushChatLine(Format(u"line %d", i), 0xFFFF0000);
    f.scene->RefreshChat();
    for (int row = 0; row < 5; ++row) EXPECT_FALSE(f.scene->ChatRow(row)->IsVisible()) << row;
    EXPECT_EQ(f.scene->ChatRowText(5), u"line 1");
    EXPECT_EQ(f.scene->ChatRowText(7), u"line 3");
    for (int i = 4; i <= 201; ++i) f.scene->PushChatLine(Format(u"line %d", i), 0xFFFFFFFF);
    f.scene->RefreshChat();
    EXPECT_EQ(f.scene->ChatLineCount(), 200u);
    EXPECT_EQ(f.scene->ChatRowText(0), u"line 194");
    EXPECT_EQ(f.scene->ChatRowText(7), u"line 201");
}

TEST(ShotGalleryScene, EveryVisitReadsTheBestShotsAgainAndForgetsTheLastShot) {
    SceneFixture f(Recorded());
    f.scene->OnMessage(gallery::kOpenShotMessage, 5001, 0);
    f.scene->OnMessage(gallery::kPlayShotMessage, 0, 0);
    const std::size_t before = f.server.Requests().size();
    f.scene->Leave(nullptr, nullptr);
    f.scene->Load3D(nullptr, nullptr);
    f.scene->Enter();
    ASSERT_EQ(f.server.Requests().size(), before + 1);
    EXPECT_EQ(f.server.Requests().back().body, "Page_list=0");
    EXPECT_EQ(f.scene->SpeedIndex(), -1);
    EXPECT_FALSE(f.scene->SetupPending());
    EXPECT_FALSE(f.scene->ShotWindow()->IsVisible());
}

TEST(ShotGalleryShot, AReplyTheServerRefusesGivesItsStickersBackSoThePlayerIsNotLockedOut) {
    NoticeHost host;
    net::PlayerRecord me;
    me.stickerCount = 5;
    ShotReplyDialog dialog;
    dialog.SetContext(&host, &me);
    dialog.Spend(10);  // more points than stickers: the count stops at 0
    EXPECT_EQ(me.stickerCount, 0);
    dialog.Spend(0);  // a reply to an own shot
    dialog.Answered(1);
    EXPECT_EQ(me.stickerCount, 5) << "refused for want of stickers, the count stayed at 0";
    EXPECT_EQ(dialog.Stickers()->Text(), u"5");
    dialog.Answered(0);
    EXPECT_EQ(me.stickerCount, 5);
    dialog.Spend(3);
    dialog.Answered(0);
    EXPECT_EQ(me.stickerCount, 2) << "a reply taken keeps its stickers spent";
    dialog.Answered(1);  // an answer to nothing sent
    EXPECT_EQ(me.stickerCount, 2);
}

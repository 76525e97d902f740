// The lobby's pending action on entry, its answers to refused room entries, and the login scene's
// channel choice and waits on the server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/MessageDialog.h"
#include "gui/TextInput.h"
#include "net/NetConstants.h"
#include "platform/net/TcpSocket.h"
#include "platform/sys/Journal.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/NickChangeDialog.h"
#include "scenes/front/PracticeSetupDialog.h"
#include "scenes/front/RoomPasswordDialog.h"
#include "scenes/front/SceneLobby.h"
#include "scenes/front/SceneLogin.h"
#include "tests/common/Patience.h"
#include "tests/net/support/RecordingSink.h"
#include "tests/scenes/support/DeliverPacket.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

using scenes::SceneLobby;

class LobbyTest : public ::testing::Test {
protected:
    void SetUp() override { lobby.SetHost(&host); }
    FakeSceneHost host;
    SceneLobby lobby;
};

TEST_F(LobbyTest, PendingPracticeActionAppliesTheOverrideSends1139AndGoesToThePracticeRoom) {
    net::GameSession& session = *host.session;
    session.GetRoom().gameType = 4;
    session.lobbyAction = {1, 0, net::kLobbyTargetPractice, 0, 1, 10};
    EXPECT_TRUE(lobby.RunPendingAction(session));
    EXPECT_EQ(session.GetRoom().gameType, 10);
    ASSERT_EQ(host.sentBytes.size(), 1u);
    EXPECT_EQ(host.sentBytes[0], (std::pair<std::uint16_t, std::uint8_t>{1139, 0}));
    EXPECT_EQ(lobby.NextId(), scenes::scene_id::kPractice);
    EXPECT_EQ(session.lobbyAction.active, 0) << "the action is carried out once";
    EXPECT_FALSE(lobby.RunPendingAction(session));
}

TEST_F(LobbyTest, PendingShopActionSends1145AndOverrideOffKeepsTheGameType) {
    net::GameSession& session = *host.session;
    session.GetRoom().gameType = 4;
    session.lobbyAction = {1, 0, net::kLobbyTargetShop, 0, 0, 12};
    EXPECT_TRUE(lobby.RunPendingAction(session));
    EXPECT_EQ(session.GetRoom().gameType, 4);
    ASSERT_EQ(host.sentBytes.size(), 1u);
    EXPECT_EQ(host.sentBytes[0].first, 1145);
    EXPECT_EQ(lobby.NextId(), scenes::scene_id::kShop);

    session.lobbyAction = {1, 0, net::kLobbyTargetPractice, 0, 1, 99};
    EXPECT_TRUE(lobby.RunPendingAction(session));
    EXPECT_EQ(session.GetRoom().gameType, 4) << "an override outside the game types is not applied";
}

TEST_F(LobbyTest, RefusedEntryShowsTheServersReasonAndFreesTheLobby) {
    const std::uint32_t answer = scenes::front_message::kLoginFlowAnswer;
    struct Case {
        std::uint32_t result;
        const char16_t* text;
    } cases[] = {{1, u"The room no longer exists."},
                 {2, u"The password is wrong."},
                 {3, u"The room is full."},
                 {4, u"The room settings are not valid."},
                 {200, u"The room cannot be entered now."},
                 {SceneLobby::kJoinUnshowable, u"You cannot enter that room with this client."}};
    for (const Case& c : cases) {
        host.errors.clear();
        lobby.OnMessage(answer, net::Id(net::MessageId::JoinRoomResult), c.result);
        ASSERT_EQ(host.errors.size(), 1u);
        EXPECT_EQ(host.errors[0], c.text);
        EXPECT_FALSE(lobby.Busy());
    }
    EXPECT_TRUE(SceneLobby::JoinErrorText(0).empty());
}

// The server's packets as the dispatch thread hands them over.
void Deliver(net::GameSession& session, scenes::SceneLobby& lobby, const std::vector<net::Packet*>& packets) {
    net::BasicSceneGate gate;
    gate.SetCurrent(&lobby);
    session.SetSceneGate(&gate);
    ASSERT_TRUE(session.StartDispatchThread());
    for (net::Packet* p : packets) session.InjectPacket(p);
    testsupport::WaitUntil([&] { return session.PendingPackets() == 0; }, std::chrono::seconds(1),
                           std::chrono::milliseconds(2));
    session.StopDispatchThread();
    session.SetSceneGate(nullptr);
}

net::Packet* Invitation(net::GameSession& session, std::uint16_t room, const WString& from) {
    net::Packet* p = session.AllocPacket();
    p->Init(net::Id(net::MessageId::Invitation));
    p->WriteU16(room).WriteString(from).WriteString(u"come and play");
    p->Finish();
    p->Rewind();
    return p;
}

// Rooms 5 and 6 (6 locked); with `unshowable`, room 7 between them, of a game type this client lacks.
net::Packet* TwoRooms(net::GameSession& session, bool unshowable = false) {
    net::Packet* p = session.AllocPacket();
    p->Init(net::Id(net::MessageId::RoomList));
    p->WriteU16(unshowable ? 3 : 2);
    for (std::uint16_t number : {5, 7, 6}) {
        if (number == 7 && !unshowable) continue;
        net::RoomInfo room;
        room.number = number;
        room.state = 1;
        room.gameType = number == 7 ? 20 : 4;
        room.playerCount = 1;
        room.maxPlayers = 2;
        room.hasPassword = number == 6;
        room.title = u"come and play";
        room.Write(*p);
    }
    p->Finish();
    p->Rewind();
    return p;
}

// Channels 1 (full), 2 (the player's, full too) and 3 are greyed in the channel choice but the player's
// own; choosing a full one shows, without asking the server, the box of the server's refusal.
TEST_F(LobbyTest, AFullChannelIsGreyedAndChoosingItShowsTheBoxOfTheServersRefusal) {
    net::GameSession& session = *host.session;
    session.currentChannel = 2;
    net::Packet* p = session.AllocPacket();
    p->Init(net::MessageId::ChannelList);
    p->WriteU8(3);
    for (std::uint16_t id : {1, 2, 3})
        p->WriteU16(id).WriteU16(0).WriteU16(id == 3 ? 0 : 2).WriteU16(2).WriteString(u"Free");
    p->Finish();
    p->Rewind();
    Deliver(session, lobby, {p});
    lobby.OpenChannelChoice(true);
    for (std::uint32_t id : {3760u, 3761u, 3762u})
        EXPECT_EQ(static_cast<gui::Button*>(lobby.FindById(id))->CaptionColour(),
                  id == 3760 ? gui::skin::kTextDisabled : gui::skin::kText)
            << id;
    lobby.ChooseChannel(1);
    EXPECT_FALSE(lobby.Busy()) << "the server was asked for a full channel";
    lobby.ChooseChannel(3);
    lobby.OnMessage(scenes::front_message::kLoginFlowAnswer, net::Id(net::MessageId::ChooseChannelResult), 1);
    const WString box = u"The channel is full.|Please choose another channel.";
    EXPECT_EQ(host.errorBoxes, (std::vector<WString>{box, box}));
}

bool PasswordAsked(SceneLobby& lobby) {
    for (gui::Widget* child : lobby.Children())
        if (dynamic_cast<scenes::RoomPasswordDialog*>(child) && child->IsVisible()) return true;
    return false;
}

TEST_F(LobbyTest, AnInvitationIsAskedAboutAndItsYesEntersTheRoomAskingAPasswordFirst) {
    gui::InviteDialog invite;
    host.inviteDialog = &invite;
    net::GameSession& session = *host.session;
    lobby.Enter();
    const std::uint32_t changed = scenes::front_message::kLobbyListsChanged;

    Deliver(session, lobby,
            {TwoRooms(session), Invitation(session, 9, u"Early"), Invitation(session, 5, u"Alice")});
    lobby.OnMessage(changed, 0, 0);
    ASSERT_TRUE(invite.IsVisible()) << "the invitation reaches the player";
    EXPECT_EQ(invite.Line(0), u"Alice invites you to room 5.") << "the newest of two is asked about";
    EXPECT_EQ(invite.Line(1), u"come and play");
    EXPECT_EQ(invite.Line(2), u"[3-Cushion] Do you want to join?");
    invite.OnCommand({invite.ConfirmButton(), invite.ConfirmButton()->Id(), 0});
    ASSERT_TRUE(host.Posted(gui::result_code::kInviteAccepted));
    lobby.OnMessage(gui::result_code::kInviteAccepted, 2052, 5);
    EXPECT_TRUE(lobby.Busy()) << "Yes asks to enter the room";

    // While the lobby waits for a room, a further invitation is not asked about.
    Deliver(session, lobby, {Invitation(session, 6, u"Bob")});
    lobby.OnMessage(changed, 0, 0);
    EXPECT_FALSE(invite.IsVisible());
    lobby.OnMessage(scenes::front_message::kLoginFlowAnswer, net::Id(net::MessageId::JoinRoomResult), 3);
    EXPECT_FALSE(lobby.Busy());

    // A locked room asks its password before anything is sent.
    Deliver(session, lobby, {Invitation(session, 6, u"Bob")});
    lobby.OnMessage(changed, 0, 0);
    ASSERT_TRUE(invite.IsVisible());
    invite.Show(false);
    lobby.OnMessage(gui::result_code::kInviteAccepted, 2052, 6);
    EXPECT_TRUE(PasswordAsked(lobby));
    EXPECT_FALSE(lobby.Busy());

    // Invitations that came while the player was elsewhere are not asked about on the way back.
    Deliver(session, lobby, {Invitation(session, 5, u"Alice")});
    lobby.Enter();
    lobby.OnMessage(changed, 0, 0);
    EXPECT_FALSE(invite.IsVisible());
}

TEST_F(LobbyTest, AnInvitationToARoomNotListedYetWaitsForTheRoomListToNameItsGame) {
    gui::InviteDialog invite;
    host.inviteDialog = &invite;
    net::GameSession& session = *host.session;
    lobby.Enter();
    const std::uint32_t changed = scenes::front_message::kLobbyListsChanged;
    const std::uintptr_t listed = SceneLobby::kRoomListArrived;

    // The room was opened after the lobby's last list: the question waits for a fresh one (of several).
    Deliver(session, lobby, {Invitation(session, 5, u"Alice")});
    lobby.OnMessage(changed, 0, 0);
    EXPECT_FALSE(invite.IsVisible()) << "asked before the list shows the room's game and password";
    std::string logged;
    GetLog().SetObserver([&](const std::string& line) { logged += line; });
    for (bool leftOut : {true, true, false, true}) Deliver(session, lobby, {TwoRooms(session, leftOut)});
    GetLog().SetObserver(nullptr);
    std::vector<std::uint16_t> listedRooms;
    for (const net::RoomInfo& room : session.LobbyRooms()) listedRooms.push_back(room.number);
    EXPECT_EQ(listedRooms, (std::vector<std::uint16_t>{5, 6})) << "the room it cannot show took the list";
    const std::string warning =
        "leaves out 1 of its 3 rooms, which this client cannot show (the first: room 7";
    ASSERT_NE(logged.find(warning), std::string::npos) << logged;
    EXPECT_EQ(logged.find("leaves out", logged.find(warning) + 1), logged.rfind("leaves out"))
        << "logged once for each change of what the list leaves out: " << logged;
    lobby.OnMessage(changed, listed, 0);
    ASSERT_TRUE(invite.IsVisible()) << "the held invitation is asked about once the list came";
    EXPECT_EQ(invite.Line(0), u"Alice invites you to room 5.");
    EXPECT_EQ(invite.Line(2), u"[3-Cushion] Do you want to join?");
    invite.Show(false);

    // A room the fresh list does not show either (gone, or hidden) is still asked about.
    Deliver(session, lobby, {Invitation(session, 9, u"Bob")});
    lobby.OnMessage(changed, 0, 0);
    EXPECT_FALSE(invite.IsVisible());
    lobby.OnMessage(changed, listed, 0);
    ASSERT_TRUE(invite.IsVisible());
    EXPECT_EQ(invite.Line(2), u"Do you want to join?");
    invite.Show(false);
    lobby.OnMessage(changed, listed, 0);
    EXPECT_FALSE(invite.IsVisible()) << "an invitation is asked about once";
}

// "Practice" asks for the game: the setup opens on the last room's game until one was chosen there,
// then on that one; its OK enters the practice room on the game.
TEST_F(LobbyTest, PracticeAsksForTheGameRemembersTheChoiceAndEntersOnIt) {
    net::GameSession& session = *host.session;
    session.GetRoom().gameType = 3;
    lobby.Enter();
    scenes::PracticeSetupDialog& setup = *lobby.PracticeSetup();
    gui::Widget* practice = lobby.FindById(3711);
    lobby.OnCommand({practice, practice->Id(), 0});
    ASSERT_TRUE(setup.IsVisible()) << "Practice went on without asking for the game";
    EXPECT_EQ(setup.GameType(), 3) << "the last room's game before any choice";
    gui::Widget* eightBall = setup.FindById(3300 + 10);
    setup.OnCommand({eightBall, eightBall->Id(), 0});
    setup.OnCommand({setup.FindById(scenes::front_button::kOk), scenes::front_button::kOk, 0});
    ASSERT_FALSE(host.posted.empty());
    lobby.OnMessage(host.posted.back().code, host.posted.back().a, host.posted.back().b);
    EXPECT_EQ(session.GetRoom().gameType, 10);
    EXPECT_EQ(lobby.NextId(), scenes::scene_id::kPractice);
    session.GetRoom().gameType = 0;  // a four-ball room since
    lobby.OnCommand({practice, practice->Id(), 0});
    EXPECT_EQ(setup.GameType(), 10) << "the game chosen last";
}

// A server floods the lobby chat faster than the main thread shows it: the lines wait in a bounded
// list (the newest kept), and one notice journals them and shows the newest on the rows.
TEST_F(LobbyTest, AChatFloodWaitsInABoundedListAndOneNoticeShowsTheNewestLines) {
    std::vector<std::string> journal;
    const std::uint64_t observer = platform::Journal::Subscribe([&](std::uint64_t, std::string_view line) {
        if (line.starts_with("CHAT")) journal.emplace_back(line);
    });
    constexpr int kFlood = 2000;
    for (int n = 0; n < kFlood; ++n)
        DeliverPacket(lobby, scenes::front_net::kLobbyChatLine,
                      [&](net::Packet& p) { p.WriteString(u"Flood").WriteString(Format(u"line %d", n)); });
    EXPECT_TRUE(journal.empty()) << "the dispatch thread touches no widget";
    EXPECT_EQ(host.posted.size(), static_cast<std::size_t>(kFlood));
    lobby.OnMessage(scenes::front_message::kLobbyListsChanged, 0, 0);
    platform::Journal::Unsubscribe(observer);

    ASSERT_EQ(journal.size(), SceneLobby::kMaxIncomingChat);
    EXPECT_EQ(journal.front(),
              "CHAT 0xFFFFFFFF Flood: line " + std::to_string(kFlood - SceneLobby::kMaxIncomingChat));
    EXPECT_EQ(journal.back(), "CHAT 0xFFFFFFFF Flood: line " + std::to_string(kFlood - 1));
    for (int row = 0; row < SceneLobby::kChatLines; ++row)
        EXPECT_EQ(lobby.ChatLine(row), Format(u"Flood: line %d", kFlood - SceneLobby::kChatLines + row));
}

TEST(LoginChannelChoice, FirstOpenOrdinaryChannelElseAnOpenTournamentChannel) {
    auto channel = [](std::uint16_t id, std::uint16_t type, std::uint16_t users) {
        net::ChannelInfo c;
        c.id = id;
        c.type = type;
        c.users = users;
        c.capacity = 200;
        return c;
    };
    using scenes::SceneLogin;
    EXPECT_EQ(SceneLogin::ChooseChannel({channel(3, 8, 0), channel(1, 0, 10), channel(2, 0, 0)}), 1);
    EXPECT_EQ(SceneLogin::ChooseChannel({channel(1, 0, 200), channel(2, 0, 5)}), 2)
        << "a full channel is skipped";
    EXPECT_EQ(SceneLogin::ChooseChannel({channel(1, 0, 200), channel(3, 8, 5)}), 3);
    EXPECT_EQ(SceneLogin::ChooseChannel({channel(1, 0, 200)}), 0);
    EXPECT_EQ(SceneLogin::ChooseChannel({}), 0);
}

}  // namespace

namespace {

TEST(LoginResult, TheServersOptionWordSetsTheVoiceChannelAndIsReapplied) {
    FakeSceneHost host;
    scenes::SceneLogin login;
    login.SetHost(&host);
    host.session->own.serverOptionWord = 0x100 | 0x200 | 32;  // voice off, no mask, volume 68
    login.OnLoginResult();
    const Options options = host.options.Get();
    EXPECT_EQ(options.voice, 0);
    EXPECT_EQ(options.voiceVolume, 68);
    EXPECT_EQ(options.maskBadLanguage, 0);
    EXPECT_EQ(options.serverMode, 2) << "bit 0x800 clear: server mode 2";
    ASSERT_EQ(host.posted.size(), 2u);
    EXPECT_EQ(host.posted[0].code, static_cast<std::uint32_t>(scenes::AppMessage::SoundVolume));
    EXPECT_EQ(host.posted[0].a, 2u);
    EXPECT_EQ(host.posted[0].b, 68u);
    EXPECT_EQ(host.posted[1].code, static_cast<std::uint32_t>(scenes::AppMessage::SoundEnable));
    EXPECT_EQ(host.posted[1].b, 0u);
    EXPECT_EQ(login.CurrentStage(), scenes::SceneLogin::Stage::ChoosingChannel);
}

TEST(LoginNickname, ASignInAskingANicknameStartsEmptyAndARefusedNicknameStaysToBeMended) {
    FakeSceneHost host;
    scenes::SceneLogin login;
    login.SetHost(&host);
    const std::uint32_t answer = scenes::front_message::kLoginFlowAnswer;
    const std::uint32_t signIn = net::Id(net::MessageId::SignInResult);
    login.OnMessage(answer, signIn, 2);
    ASSERT_TRUE(login.NickDialog()->IsVisible());
    login.NickDialog()->Edit()->SetText(u"Alice");
    login.OnMessage(answer, net::Id(net::MessageId::CreateNickResult), 1);
    EXPECT_EQ(login.NickDialog()->Edit()->GetText(), u"Alice") << "the taken name is there to change";
    // The connection was lost and the player signs in again on a server that asks anew.
    login.NickDialog()->Show(false);
    login.OnMessage(answer, signIn, 2);
    EXPECT_EQ(login.NickDialog()->Edit()->GetText(), u"") << "typing must not append to the last name";
}

// The update thread's now can be older than a start the main thread's tick stamped: a start after
// the now given is no time waited, neither for the connection nor for the sign-in's answer.
TEST(LoginWait, AStartStampedAfterTheNowGivenIsNoTimeWaited) {
    using Stage = scenes::SceneLogin::Stage;
    platform::TcpListener server;
    ASSERT_TRUE(server.Listen("127.0.0.1", 0));
    ::setenv("MARVENLOT_SERVER", ("127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
    FakeSceneHost host;
    scenes::SceneLogin login;
    login.SetHost(&host);
    login.Enter();
    ::unsetenv("MARVENLOT_SERVER");
    const auto failed = [&] { return host.Posted(scenes::front_message::kLoginFlowAnswer); };
    // Until Hello comes the client is connecting.
    login.Update(50'000, 0);
    login.Update(49'990, 0);
    login.Update(50'000 + net::kConnectTimeoutMs, 0);
    EXPECT_FALSE(failed()) << "the connect time-out wrapped";
    platform::TcpSocket peer =
        server.Accept(static_cast<std::uint32_t>(testsupport::Patient(std::chrono::seconds(5)).count()));
    ASSERT_TRUE(peer.IsOpen());
    net::Packet hello;
    hello.Init(net::MessageId::Hello);
    hello.WriteU8(0).WriteU64(0x5EED);
    hello.Finish();
    ASSERT_TRUE(peer.SendAll(hello.Data(), hello.Size()));
    ASSERT_TRUE(host.session->WaitConnected(
        static_cast<std::uint32_t>(testsupport::Patient(std::chrono::seconds(5)).count())));
    login.Update(60'000, 0);
    ASSERT_EQ(login.CurrentStage(), Stage::SigningIn);
    login.Update(59'990, 0);
    login.Update(60'000 + scenes::SceneLogin::kAnswerTimeoutMs, 0);
    EXPECT_EQ(login.CurrentStage(), Stage::SigningIn) << "the answer's wait wrapped";
    EXPECT_FALSE(failed());
    login.Update(60'001 + scenes::SceneLogin::kAnswerTimeoutMs, 0);
    EXPECT_EQ(login.CurrentStage(), Stage::Failed) << "a silent server still ends the sign-in";
}

TEST(MessengerQuestions, FriendRequestsAreAskedOneByOneAndUnknownKindsAreIgnored) {
    FakeSceneHost host;
    gui::Panel scene;
    scenes::Messenger messenger(&host);
    scene.AddChild(&messenger, false);
    net::GameSession& session = *host.session;
    session.friendRequests.push_back({7, 1, 0, u"CueMaster"});
    session.friendRequests.push_back({8, 1, 0, u"Banker"});
    messenger.ShowNextFriendRequest();
    ASSERT_TRUE(messenger.QuestionBox()->IsVisible());
    EXPECT_EQ(messenger.QuestionBox()->Line(1), u"CueMaster wants to be your friend. Accept?");
    EXPECT_EQ(session.friendRequests.size(), 1u) << "a request is asked about once";
    messenger.ShowNextFriendRequest();
    EXPECT_EQ(messenger.QuestionBox()->Line(1), u"CueMaster wants to be your friend. Accept?")
        << "the open question is not replaced";

    // The answer asks about the next request.
    gui::Widget* no = messenger.QuestionBox()->OtherButton();
    messenger.QuestionBox()->OnCommand({no, no->Id(), 0});
    EXPECT_TRUE(messenger.QuestionBox()->IsVisible());
    EXPECT_EQ(messenger.QuestionBox()->Line(1), u"Banker wants to be your friend. Accept?");
    EXPECT_TRUE(session.friendRequests.empty());

    messenger.QuestionBox()->Show(false);
    net::PlayerRecord player;
    player.nickname = u"Rail Rider";
    messenger.ShowQuestion(player, 3);
    EXPECT_FALSE(messenger.QuestionBox()->IsVisible()) << "3 is not a question kind";
    messenger.ShowQuestion(player, scenes::Messenger::kKick);
    EXPECT_EQ(messenger.QuestionBox()->Line(1), u"Send Rail Rider out of the room?");
    scene.RemoveChild(&messenger);
}

}  // namespace

namespace {
// Hands session-wide messages to the session as its receive path would, and waits until they were read.
void DeliverToSession(net::GameSession& session, const std::vector<net::Packet*>& packets) {
    net::BasicSceneGate gate;
    RecordingSink sink;
    gate.SetCurrent(&sink);
    session.SetSceneGate(&gate);
    ASSERT_TRUE(session.StartDispatchThread());
    for (net::Packet* p : packets) session.InjectPacket(p);
    net::Packet* marker = session.AllocPacket();
    marker->Init(2006);
    marker->Finish();
    marker->Rewind();
    session.InjectPacket(marker);
    ASSERT_TRUE(sink.WaitFor(1));
    session.StopDispatchThread();
    session.SetSceneGate(nullptr);
}

net::Packet* Whisper(net::GameSession& session, const WString& sender, const WString& text) {
    net::Packet* p = session.AllocPacket();
    p->Init(net::MessageId::Whisper);
    p->WriteString(sender).WriteString(text);
    p->Finish();
    p->Rewind();
    return p;
}
}  // namespace

TEST(MessengerConversation, ALineArrivingWhileTheMessengerIsHiddenLightsItsMarkAndOpeningItShowsAndReadsIt) {
    FakeSceneHost host;
    gui::Panel scene;
    scene.SetVisible(true);
    scenes::Messenger messenger(&host);
    messenger.MoveToScene(scene);
    gui::Button button;
    messenger.AttachAlertIcon(&button);
    net::GameSession& session = *host.session;
    scene.TickTree(1);
    EXPECT_EQ(button.CaptionColour(), gui::skin::kText);

    net::Packet* notice = session.AllocPacket();
    notice->Init(net::MessageId::MessengerNotice);
    notice->WriteU8(2).WriteString(u"Beta");
    notice->Finish();
    notice->Rewind();
    DeliverToSession(session, {Whisper(session, u"Alpha", u"rack them up"), notice});
    scene.TickTree(2);
    EXPECT_NE(button.CaptionColour(), gui::skin::kText) << "the hidden messenger's mark stays dark";

    messenger.Show(true);
    EXPECT_EQ(button.CaptionColour(), gui::skin::kText) << "the lines were read when it opened";
    EXPECT_EQ(messenger.ConversationLine(0), u"Alpha: rack them up");
    EXPECT_EQ(messenger.ConversationLine(1), u"Beta is not online.");
    EXPECT_EQ(messenger.ConversationLine(2), u"");
    EXPECT_EQ(messenger.WhisperTarget(), u"Alpha") << "with nobody chosen, a reply has nowhere to go";
    messenger.Show(false);
    scene.TickTree(3);
    EXPECT_EQ(button.CaptionColour(), gui::skin::kText) << "lines already read light the mark again";
    scene.RemoveChild(&messenger);
}

TEST(MessengerConversation, AClickedFriendIsWhomWhispersGoToAndAWhisperThatCannotGoKeepsItsText) {
    FakeSceneHost host;
    gui::Panel scene;
    scene.SetVisible(true);
    scenes::Messenger messenger(&host);
    messenger.MoveToScene(scene);
    net::GameSession& session = *host.session;
    {
        platform::ScopedLock lock(session.listLock);
        session.friends.push_back({11, 1, 0, u"Alpha"});
        session.friends.push_back({12, 0, 0, u"Beta"});
    }
    ++session.listVersion;
    messenger.Show(true);
    EXPECT_EQ(messenger.Row(0), u"Alpha  (online)");
    EXPECT_EQ(messenger.Row(1), u"Beta");

    messenger.WhisperInput()->SetText(u"hello");
    messenger.SendWhisper();
    EXPECT_EQ(messenger.WhisperInput()->GetText(), u"hello") << "with nobody chosen the text was dropped";
    messenger.ChooseRow(1);
    EXPECT_EQ(messenger.WhisperTarget(), u"Beta");
    messenger.ChooseRow(5);  // an empty row
    EXPECT_EQ(messenger.WhisperTarget(), u"Beta");
    EXPECT_TRUE(messenger.WhisperInput()->HasFocus()) << "a chosen friend is whispered to at once";
    messenger.SendWhisper();  // the session has no connection
    EXPECT_EQ(messenger.WhisperInput()->GetText(), u"hello") << "a whisper that did not go was lost";
    EXPECT_EQ(messenger.ConversationLine(0), u"") << "a whisper that did not go shows as sent";
    messenger.WhisperInput()->SetFocus(false);
    scene.RemoveChild(&messenger);
}

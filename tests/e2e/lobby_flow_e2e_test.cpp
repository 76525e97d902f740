// Sign-in, nickname, channel, room creation and entry, and room traffic between two clients through the
// test server's lobby mode, in process and as the marvenlot-testserver program.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/GameSession.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"
#include "tests/net/support/RecordingSink.h"

using namespace net;
using testsupport::WaitUntil;

namespace {

struct Client {
    GameSession session;
    BasicSceneGate gate;
    RecordingSink scene;

    bool Connect(std::uint16_t port) {
        gate.SetCurrent(&scene);
        session.SetSceneGate(&gate);
        session.StartDispatchThread();
        return session.Connect("127.0.0.1", port) && session.WaitConnected(5000);
    }
    // Waits until the scene was handed a packet of this id; returns its index or -1.
    int WaitId(std::uint16_t id) { return scene.WaitId(id); }
    std::uint8_t FirstByte(std::uint16_t id) {
        const int i = WaitId(id);
        return i < 0 ? 0xEE : scene.At(i).body.at(0);
    }
    ~Client() {
        session.StopDispatchThread();
        session.Disconnect();
    }
};

void SignInAndEnterChannel(Client& c, const WString& login, const WString& nick) {
    ASSERT_TRUE(c.session.SendSignIn(login, u"secret", 1));
    ASSERT_EQ(c.FirstByte(Id(MessageId::SignInResult)), 2) << "a new account has no nickname yet";
    ASSERT_TRUE(c.session.SendCreateNick(nick));
    ASSERT_EQ(c.FirstByte(Id(MessageId::CreateNickResult)), 0);
    EXPECT_EQ(c.session.own.nickname, nick);
    EXPECT_EQ(c.session.own.money, 100000);
    ASSERT_TRUE(c.session.SendEmpty(Id(MessageId::ChannelListRequest)));
    ASSERT_GE(c.WaitId(Id(MessageId::ChannelList)), 0);
    ASSERT_EQ(c.session.Channels().size(), 3u);
    ASSERT_TRUE(c.session.SendChooseChannel(3));
    ASSERT_EQ(c.FirstByte(Id(MessageId::ChooseChannelResult)), 0);
    EXPECT_EQ(c.session.GetChannelType(), 8) << "channel 3 is the tournament channel";
}

// The master creates a three-cushion room of `places` with `title`, and `guest` enters it.
void CreateAndJoin(Client& master, Client& guest, const WString& title, std::uint8_t places) {
    RoomInfo room;
    room.gameType = 4;
    room.maxPlayers = places;
    room.title = title;
    ASSERT_TRUE(master.session.SendCreateRoom(room, u""));
    ASSERT_EQ(master.FirstByte(Id(MessageId::JoinRoomResult)), 0);
    ASSERT_TRUE(guest.session.SendJoinRoom(master.session.GetRoom().number, u""));
    ASSERT_EQ(guest.FirstByte(Id(MessageId::JoinRoomResult)), 0);
}

void RunTwoPlayerFlow(std::uint16_t port) {
    Client a, b;
    ASSERT_TRUE(a.Connect(port));
    ASSERT_TRUE(b.Connect(port));
    SignInAndEnterChannel(a, u"alice", u"Alice");
    SignInAndEnterChannel(b, u"bob", u"Bob");

    RoomInfo room;
    room.gameType = 4;
    room.maxPlayers = 2;
    room.inningTime = 40;
    room.title = u"three cushion";
    ASSERT_TRUE(a.session.SendCreateRoom(room, u""));
    ASSERT_EQ(a.FirstByte(Id(MessageId::JoinRoomResult)), 0);
    const std::uint16_t number = a.session.GetRoom().number;
    EXPECT_NE(number, 0);
    EXPECT_EQ(a.session.GetRoom().title, u"three cushion");

    ASSERT_TRUE(b.session.SendEmpty(Id(MessageId::RoomListRequest)));
    ASSERT_GE(b.WaitId(Id(MessageId::RoomList)), 0);
    ASSERT_EQ(b.session.LobbyRooms().size(), 1u);
    EXPECT_EQ(b.session.LobbyRooms()[0].number, number);
    ASSERT_TRUE(b.session.SendJoinRoom(number, u""));
    ASSERT_EQ(b.FirstByte(Id(MessageId::JoinRoomResult)), 0);
    EXPECT_EQ(b.session.GetRoom().number, number);

    // A room chat line reaches the members as the room's chat line, the speaker's text last.
    PooledPacket chat = a.session.NewPacket(2005);
    chat->WriteU8(0).WriteString(u"hello");
    ASSERT_TRUE(a.session.Send(*chat));
    const int at = b.WaitId(2006);
    ASSERT_GE(at, 0);
    const auto& line = b.scene.At(at).body;
    const std::vector<std::uint8_t> hello = {10, 0, 'h', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0, 0, 0};
    ASSERT_GE(line.size(), 2 + hello.size());
    EXPECT_TRUE(std::equal(hello.rbegin(), hello.rend(), line.rbegin()));

    ASSERT_TRUE(b.session.SendByteMessage(2008, 0));
    EXPECT_EQ(b.FirstByte(2009), 0);
}

}  // namespace

TEST(LobbyFlow, AStoppingServerTellsNoPlayerThatTheOthersLeft) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    // Two in a room (whose game a departure would end) and two in the lobby of the same channel.
    constexpr int kPlayers = 4;
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < kPlayers; ++i) {
        clients.push_back(std::make_unique<Client>());
        ASSERT_TRUE(clients.back()->Connect(server.Port()));
        const std::u16string n(1, static_cast<char16_t>(u'a' + i));
        SignInAndEnterChannel(*clients.back(), u"login" + n, u"Player" + n);
    }
    Client& a = *clients[0];
    ASSERT_NO_FATAL_FAILURE(CreateAndJoin(a, *clients[1], u"both", 2));
    std::this_thread::sleep_for(testsupport::Patient(std::chrono::milliseconds(300)));  // the lists settle
    std::vector<std::size_t> seen;
    for (auto& c : clients) seen.push_back(c->scene.Count());
    server.Stop();
    for (auto& c : clients) WaitUntil([&] { return !c->session.IsConnected(); }, std::chrono::seconds(2));
    std::this_thread::sleep_for(testsupport::Patient(std::chrono::milliseconds(100)));
    for (int i = 0; i < kPlayers; ++i)
        EXPECT_EQ(clients[i]->scene.Count(), seen[i])
            << "player " << i
            << ": a room would end its game and name a winner, a lobby list the others gone";
}

TEST(LobbyFlow, TwoPlayersSignInCreateAndJoinARoomWithCipher) {
    testserver::ServerOptions options;
    options.lobby = true;
    options.cipher = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    RunTwoPlayerFlow(server.Port());
    server.Stop();
}

TEST(LobbyFlow, TheTestServerProgramServesTheSameFlow) {
    const testsupport::TempDir dir;
    const std::string log = dir.File("testserver.txt");
    const std::string command =
        std::string("'") + MARVENLOT_TESTSERVER_PATH +
        "' --port 0 --turn-grace 15000 --turn-cap 300000 --channel-capacity 200 --verbose > '" + log +
        "' 2>&1 & echo $!";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    long pid = 0;
    ASSERT_EQ(std::fscanf(pipe, "%ld", &pid), 1);
    ::pclose(pipe);

    unsigned port = 0;
    ASSERT_TRUE(WaitUntil([&] {
        std::ifstream in(log);
        std::string line;
        return std::getline(in, line) && std::sscanf(line.c_str(), "listening on 127.0.0.1:%u", &port) == 1;
    }));
    RunTwoPlayerFlow(static_cast<std::uint16_t>(port));
    // The verbose lines reach the file as they are printed: the last, both players gone, is there
    // while the server runs.
    const auto bothClosed = [&] {
        std::ifstream in(log);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        return text.find("client 0 closed\n") != std::string::npos &&
               text.find("client 1 closed\n") != std::string::npos;
    };
    EXPECT_TRUE(WaitUntil(bothClosed)) << "the verbose lines wait in a buffer";
    EXPECT_EQ(std::system(("kill " + std::to_string(pid)).c_str()), 0);
}

TEST(LobbyFlow, SignInCarriesTheEquippedCueAndTheOptionWordTheServerKept) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    constexpr std::uint32_t kChangedWord = 0x800 | 0x100 | 25;  // voice off at volume 75
    {
        Client first;
        ASSERT_TRUE(first.Connect(server.Port()));
        ASSERT_TRUE(first.session.SendSignIn(u"carol", u"secret", 1));
        ASSERT_EQ(first.FirstByte(Id(MessageId::SignInResult)), 2);
        EXPECT_EQ(first.session.own.serverOptionWord, 0x800u) << "a new account has the default word";
        PooledPacket word = first.session.NewPacket(261);
        word->WriteU32(kChangedWord).WriteU8(3);
        ASSERT_TRUE(first.session.Send(*word));
        ASSERT_TRUE(first.session.SendCreateNick(u"Carol"));
        ASSERT_EQ(first.FirstByte(Id(MessageId::CreateNickResult)), 0);

        // The own items follow the sign-in: the equipped cue of every game type is among them. The
        // dispatch thread fills the list; the nickname reply, handed over after it, means it is done.
        const ItemEntry* cue = first.session.own.FindItem(first.session.own.equipment[4].cueSerial);
        ASSERT_NE(cue, nullptr) << "the equipped cue is not among the own items";
        EXPECT_EQ(cue->itemId, first.session.own.equipment[4].cueId);
        EXPECT_EQ(first.session.own.equipment[16].cueSerial, first.session.own.equipment[4].cueSerial);
    }
    Client again;
    ASSERT_TRUE(again.Connect(server.Port()));
    ASSERT_TRUE(again.session.SendSignIn(u"carol", u"secret", 1));
    ASSERT_EQ(again.FirstByte(Id(MessageId::SignInResult)), 0);
    EXPECT_EQ(again.session.own.nickname, u"Carol");
    EXPECT_EQ(again.session.own.serverOptionWord, kChangedWord) << "the server keeps the word it was sent";
    server.Stop();
}

TEST(LobbyFlow, TheInviteListNamesThePlayersInTheLobbyAndTheInvitationAndANewCueReachWhomTheyConcern) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    Client a, b, c;
    ASSERT_TRUE(a.Connect(server.Port()));
    ASSERT_TRUE(b.Connect(server.Port()));
    ASSERT_TRUE(c.Connect(server.Port()));
    SignInAndEnterChannel(a, u"alice", u"Alice");
    SignInAndEnterChannel(b, u"bob", u"Bob");
    SignInAndEnterChannel(c, u"carol", u"Carol");
    ASSERT_NO_FATAL_FAILURE(CreateAndJoin(a, c, u"come", 4));

    // Only Bob is in the lobby: u16 count, u32 key, u64 player id, u16 level, nickname, u16 count.
    ASSERT_TRUE(a.session.SendByteMessage(2042, 0));
    const int listed = a.WaitId(2043);
    ASSERT_GE(listed, 0);
    const std::vector<std::uint8_t> bob = {1, 0, 2, 0, 0,   0, 2,   0, 0,   0, 0, 0, 0, 0,
                                           1, 0, 6, 0, 'B', 0, 'o', 0, 'b', 0, 0, 0, 0, 0};
    EXPECT_EQ(a.scene.At(listed).body, bob);
    PooledPacket invite = a.session.NewPacket(2044);
    invite->WriteU8(1).WriteU64(2);
    ASSERT_TRUE(a.session.Send(*invite));
    WaitUntil([&] { return !b.session.Invitations().empty(); });
    ASSERT_EQ(b.session.Invitations().size(), 1u);
    EXPECT_EQ(b.session.Invitations()[0].roomNumber, a.session.GetRoom().number);
    EXPECT_EQ(b.session.Invitations()[0].sender, u"Alice");
    EXPECT_EQ(b.session.Invitations()[0].title, u"come");

    // A cue chosen in the room is the others' to see: the seat, the item, no parts.
    PooledPacket cue = a.session.NewPacket(544);
    cue->WriteU64(100).WriteU32(3010);
    ASSERT_TRUE(a.session.Send(*cue));
    const int changed = c.WaitId(545);
    ASSERT_GE(changed, 0);
    EXPECT_EQ(c.scene.At(changed).body, (std::vector<std::uint8_t>{0, 0xC2, 0x0B, 0, 0, 0}));
    // One who enters later learns it too: Alice's entry in his member list carries the cue, no parts.
    ASSERT_TRUE(b.session.SendJoinRoom(a.session.GetRoom().number, u""));
    ASSERT_EQ(b.FirstByte(Id(MessageId::JoinRoomResult)), 0);
    ASSERT_TRUE(b.session.SendByteMessage(2007, 0));
    const int members = b.WaitId(2011);
    ASSERT_GE(members, 0);
    const std::vector<std::uint8_t>& list = b.scene.At(members).body;
    const std::uint8_t alicesCue[] = {0xC2, 0x0B, 0};
    EXPECT_NE(std::search(list.begin(), list.end(), std::begin(alicesCue), std::end(alicesCue)), list.end());
    server.Stop();
}

TEST(LobbyFlow, RoomRequestsAnswersSettingsAndBanCancelsReachWhomARealServerWouldTell) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    Client a, b;
    ASSERT_TRUE(a.Connect(server.Port()));
    ASSERT_TRUE(b.Connect(server.Port()));
    SignInAndEnterChannel(a, u"alice", u"Alice");
    SignInAndEnterChannel(b, u"bob", u"Bob");
    ASSERT_NO_FATAL_FAILURE(CreateAndJoin(a, b, u"requests", 2));

    ASSERT_TRUE(a.session.SendByteMessage(2032, 2));
    const int asked = b.WaitId(2033);
    ASSERT_GE(asked, 0);
    EXPECT_EQ(b.scene.At(asked).body,
              (std::vector<std::uint8_t>{10, 0, 'A', 0, 'l', 0, 'i', 0, 'c', 0, 'e', 0, 0, 0, 2}));
    PooledPacket answer = b.session.NewPacket(2034);
    answer->WriteU8(1).WriteU8(2);
    ASSERT_TRUE(b.session.Send(*answer));
    const int answered = a.WaitId(2035);
    ASSERT_GE(answered, 0);
    EXPECT_EQ(a.scene.At(answered).body, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_LT(b.WaitId(2035), 0) << "the answer goes to the asker only";

    // The master's new settings reach every member.
    PooledPacket settings = a.session.NewPacket(2003);
    settings->WriteString(u"renamed").WriteU16(0).WriteU16(0).WriteU8(2).WriteString(u"").WriteU8(4);
    settings->WriteU8(1).WriteU8(30).WriteU8(0).WriteU8(0).WriteU16(0).WriteU16(0);
    ASSERT_TRUE(a.session.Send(*settings));
    const int changed = b.WaitId(2004);
    ASSERT_GE(changed, 0);
    const auto body = b.scene.At(changed).body;
    ASSERT_GE(body.size(), 7u + 16u + 4u);
    EXPECT_EQ(body[6], 2) << "the maximum";
    EXPECT_EQ(body[7], 14) << "the title's length";
    EXPECT_EQ(body[7 + 2 + 16 + 2], 30) << "the inning time";

    PooledPacket cancel = a.session.NewPacket(246);
    cancel->WriteU8(25).WriteString(u"Bob");
    ASSERT_TRUE(a.session.Send(*cancel));
    const int told = a.WaitId(246);
    ASSERT_GE(told, 0);
    EXPECT_EQ(a.scene.At(told).body[0], 25);
    EXPECT_EQ(a.scene.At(told).body[1], 1) << "nobody was blocked";
    server.Stop();
}

namespace {
// Waits until `done` holds (up to five seconds, or `seconds`, times the patience).
template <class F>
bool Eventually(F done, int seconds = 5) {
    return WaitUntil(done, std::chrono::seconds(seconds));
}

void SendPlayerRequest(Client& c, std::uint8_t kind, const WString& nickname) {
    PooledPacket p = c.session.NewPacket(166);
    p->WriteU8(kind).WriteU64(0).WriteString(nickname);
    ASSERT_TRUE(c.session.Send(*p));
}

bool HasLine(const GameSession& s, ChatMessage::Kind kind, const WString& name, MessengerNotice notice = {}) {
    for (const ChatMessage& m : s.Whispers())
        if (m.kind == kind && m.sender == name && (kind != ChatMessage::Kind::Notice || m.notice == notice))
            return true;
    return false;
}

bool FriendShown(GameSession& s, const WString& nickname, std::uint8_t online) {
    platform::ScopedLock lock(s.listLock);
    return std::any_of(s.friends.begin(), s.friends.end(),
                       [&](const FriendEntry& f) { return f.nickname == nickname && f.online == online; });
}
}  // namespace

TEST(LobbyFlow, FriendRequestsWhispersAndTheirRefusalsReachThePlayersTheyConcern) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    Client a, c;
    auto b = std::make_unique<Client>();
    ASSERT_TRUE(a.Connect(server.Port()));
    ASSERT_TRUE(b->Connect(server.Port()));
    ASSERT_TRUE(c.Connect(server.Port()));
    SignInAndEnterChannel(a, u"alice", u"Alice");
    SignInAndEnterChannel(*b, u"bob", u"Bob");
    SignInAndEnterChannel(c, u"carol", u"Carol");

    // Asked and accepted: both lists show the other online.
    SendPlayerRequest(a, 1, u"Bob");
    ASSERT_TRUE(Eventually([&] {
        platform::ScopedLock lock(b->session.listLock);
        return !b->session.friendRequests.empty();
    })) << "the request never reached the player asked";
    {
        platform::ScopedLock lock(b->session.listLock);
        EXPECT_EQ(b->session.friendRequests.front().nickname, u"Alice");
    }
    SendPlayerRequest(*b, 2, u"Alice");
    EXPECT_TRUE(Eventually([&] { return FriendShown(a.session, u"Bob", 1); }));
    EXPECT_TRUE(Eventually([&] { return FriendShown(b->session, u"Alice", 1); }));

    // A whisper reaches the friend; the sender keeps it as sent.
    ASSERT_TRUE(a.session.SendWhisper(u"Bob", u"rack them up"));
    EXPECT_TRUE(HasLine(a.session, ChatMessage::Kind::Sent, u"Bob"));
    ASSERT_TRUE(Eventually([&] { return HasLine(b->session, ChatMessage::Kind::Received, u"Alice"); }));
    EXPECT_EQ(b->session.Whispers().back().text, u"rack them up");

    // What cannot be done is told to whoever tried.
    SendPlayerRequest(a, 1, u"Bob");
    EXPECT_TRUE(Eventually([&] {
        return HasLine(a.session, ChatMessage::Kind::Notice, u"Bob", MessengerNotice::AlreadyFriends);
    }));
    ASSERT_TRUE(a.session.SendWhisper(u"Nobody", u"hello?"));
    EXPECT_TRUE(Eventually([&] {
        return HasLine(a.session, ChatMessage::Kind::Notice, u"Nobody", MessengerNotice::NoSuchPlayer);
    }));
    {
        PooledPacket options = b->session.NewPacket(261);
        options->WriteU32(0x800).WriteU8(1);  // "Accept whispers" (flag B) off
        ASSERT_TRUE(b->session.Send(*options));
    }
    ASSERT_TRUE(WaitUntil([&] { return server.CountReceived(1, 261) == 1; }))
        << "Bob's options were not taken";
    ASSERT_TRUE(a.session.SendWhisper(u"Bob", u"still there?"));
    EXPECT_TRUE(Eventually([&] {
        return HasLine(a.session, ChatMessage::Kind::Notice, u"Bob", MessengerNotice::RefusesWhispers);
    }));
    SendPlayerRequest(c, 1, u"Alice");
    ASSERT_TRUE(Eventually([&] {
        platform::ScopedLock lock(a.session.listLock);
        return !a.session.friendRequests.empty();
    }));
    SendPlayerRequest(a, 3, u"Carol");
    EXPECT_TRUE(Eventually([&] {
        return HasLine(c.session, ChatMessage::Kind::Notice, u"Alice", MessengerNotice::RequestRefused);
    }));

    // Bob goes: Alice sees him offline, whispers to him are told so, and a request waits for him.
    b.reset();
    EXPECT_TRUE(Eventually([&] { return FriendShown(a.session, u"Bob", 0); }));
    ASSERT_TRUE(a.session.SendWhisper(u"Bob", u"gone?"));
    EXPECT_TRUE(Eventually(
        [&] { return HasLine(a.session, ChatMessage::Kind::Notice, u"Bob", MessengerNotice::NotOnline); }));
    const int requests = server.CountReceived(2, 166);
    SendPlayerRequest(c, 1, u"Bob");
    ASSERT_TRUE(WaitUntil([&] { return server.CountReceived(2, 166) > requests; }));
    Client back;
    ASSERT_TRUE(back.Connect(server.Port()));
    ASSERT_TRUE(back.session.SendSignIn(u"bob", u"secret", 1));
    ASSERT_EQ(back.FirstByte(Id(MessageId::SignInResult)), 0);
    EXPECT_TRUE(Eventually([&] { return FriendShown(back.session, u"Alice", 1); }))
        << "the friend list does not come with the sign-in";
    EXPECT_TRUE(Eventually([&] {
        platform::ScopedLock lock(back.session.listLock);
        return !back.session.friendRequests.empty() &&
               back.session.friendRequests.front().nickname == u"Carol";
    })) << "a request made while he was away is lost";
    server.Stop();
}

TEST(LobbyFlow, AShotRecommendationIsPaidWithStickersAndOneBeyondThemIsRefusedAndNotKept) {
    struct Taken {
        std::uint32_t seq;
        std::u16string nickname;
        int points;
        std::u16string text;
    };
    std::mutex mutex;
    std::vector<Taken> taken;
    testserver::ServerOptions options;
    options.lobby = true;
    options.onShotReply = [&](std::uint32_t seq, const std::u16string& nickname, int points,
                              const std::u16string& text) {
        std::lock_guard lock(mutex);
        taken.push_back({seq, nickname, points, text});
    };
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    Client a;
    ASSERT_TRUE(a.Connect(server.Port()));
    SignInAndEnterChannel(a, u"alice", u"Alice");
    auto recommend = [&](int points, const WString& text) {
        const std::size_t before = a.scene.Count();
        PooledPacket p = a.session.NewPacket(255);
        p->WriteU32(7).WriteU8(static_cast<std::uint8_t>(points)).WriteString(text);
        EXPECT_TRUE(a.session.Send(*p));
        EXPECT_TRUE(Eventually([&] { return a.scene.Count() > before; }));
        const RecordedPacket& answer = a.scene.At(before);
        return answer.id == 256 && !answer.body.empty() ? answer.body[0] : 0xEE;
    };
    EXPECT_EQ(recommend(3, WString(40, u'x')), 0) << "five stickers pay for three points";
    EXPECT_EQ(recommend(3, u"again"), 1) << "two stickers left cannot pay for three";
    EXPECT_EQ(recommend(2, u"last"), 0);
    std::lock_guard lock(mutex);
    ASSERT_EQ(taken.size(), 2u) << "a refused recommendation reached the gallery";
    EXPECT_EQ(taken[0].seq, 7u);
    EXPECT_EQ(taken[0].nickname, u"Alice");
    EXPECT_EQ(taken[0].points, 3);
    EXPECT_EQ(taken[0].text.size(), 30u) << "the gallery keeps at most 30 units";
    EXPECT_EQ(taken[1].text, u"last");
    server.Stop();
}

// The messenger of a whole client: F8 in the lobby, a friend request by nickname that the other player
// accepts, his whisper (journalled as it arrives) and a reply typed with Enter, which goes to him
// without a row being chosen and without the lobby's chat taking the Return.
TEST(MessengerRun, F8AFriendRequestAWhisperAndTheReplyTypedInTheLobbyReachTheOtherPlayer) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    Client bob;
    ASSERT_TRUE(bob.Connect(server.Port()));
    SignInAndEnterChannel(bob, u"bob", u"Bob");

    // The messenger opens at (350, 25) of the 1024 x 768 client, clear of the lobby's menu.
    auto click = [](const char* at) { return std::string("move ") + at + "\ndown left\nup left\n"; };
    const std::string script =
        "wait-journal DIALOG Create Nick\ntext Alice\nkey Return\nwait-journal SCENE 4\n"
        "key F8\nwait-journal DIALOG Messenger\n" +
        click("442 454") + "text Bob\n" + click("593 454") + "wait-journal CHAT 0xFFFFFFFF Bob: \n" +
        click("442 418") + "text see you at the table\nkey Return\nwait 1000\nquit\n";
    testsupport::ScriptedClient alice(testsupport::TempPath("messenger_e2e"), script);
    ASSERT_TRUE(alice.Start({"launcher", "alice", "secret"}, server.Port()));

    ASSERT_TRUE(Eventually(
        [&] {
            platform::ScopedLock lock(bob.session.listLock);
            return !bob.session.friendRequests.empty();
        },
        60))
        << "the request typed in the messenger never came: " << alice.Journal();
    SendPlayerRequest(bob, 2, u"Alice");
    ASSERT_TRUE(Eventually([&] { return FriendShown(bob.session, u"Alice", 1); }));
    ASSERT_TRUE(bob.session.SendWhisper(u"Alice", u"rack them up"));
    EXPECT_EQ(alice.Wait(std::chrono::seconds(120)), std::optional<int>(0)) << alice.Journal() << alice.Log();
    EXPECT_NE(alice.Journal().find("CHAT 0xFFFFFFFF Bob: rack them up"), std::string::npos)
        << alice.Journal();
    EXPECT_TRUE(Eventually([&] {
        const std::vector<ChatMessage> lines = bob.session.Whispers();
        return std::any_of(lines.begin(), lines.end(), [](const ChatMessage& m) {
            return m.kind == ChatMessage::Kind::Received && m.sender == u"Alice" &&
                   m.text == u"see you at the table";
        });
    })) << "the reply never reached Bob: "
        << alice.Journal();
    server.Stop();
}

// The room shows each member's gold as his account holds it: a player with 1,234 gold is not shown
// the 100,000 of a new account.
// A pocket room's two places go to the first two who enter; those who come later watch only, in the
// seats left of the room's eight, and count in no list; a ninth is refused. With no player left, the room
// closes on its watchers.
TEST(LobbyFlow, APocketRoomSeatsWatchersPastItsPlacesUpToEightSeatsAndClosesWithoutPlayers) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    std::array<Client, 9> clients;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        ASSERT_TRUE(clients[i].Connect(server.Port()));
        const WString name = u"P" + WString(1, static_cast<char16_t>(u'0' + i));
        ASSERT_NO_FATAL_FAILURE(SignInAndEnterChannel(clients[i], name, name));
    }
    RoomInfo room;
    room.gameType = 10;
    room.maxPlayers = 2;
    room.title = u"eight";
    ASSERT_TRUE(clients[0].session.SendCreateRoom(room, u""));
    ASSERT_EQ(clients[0].FirstByte(Id(MessageId::JoinRoomResult)), 0);
    const std::uint16_t number = clients[0].session.GetRoom().number;
    for (std::size_t i = 1; i < clients.size(); ++i) {
        ASSERT_TRUE(clients[i].session.SendJoinRoom(number, u""));
        EXPECT_EQ(clients[i].FirstByte(Id(MessageId::JoinRoomResult)), i < 8 ? 0 : 3) << "entrant " << i;
    }
    ASSERT_TRUE(clients[8].session.SendEmpty(Id(MessageId::RoomListRequest)));
    ASSERT_GE(clients[8].WaitId(Id(MessageId::RoomList)), 0);
    ASSERT_EQ(clients[8].session.LobbyRooms().size(), 1u);
    EXPECT_EQ(clients[8].session.LobbyRooms()[0].playerCount, 2) << "the players, not the watchers";
    EXPECT_EQ(clients[8].session.LobbyRooms()[0].maxPlayers, 2);

    // The room state (2001) carries the watch-only flag behind the room number. A place Bob frees goes to
    // the next who enters, not to a watcher, and so does the master's part once Alice leaves.
    const auto watchOnly = [&](int i) {
        EXPECT_TRUE(clients[i].session.SendByteMessage(2007, 0));
        const int at = clients[i].WaitId(2001);
        return at < 0 ? -1 : clients[i].scene.At(at).body.at(17);
    };
    EXPECT_EQ(watchOnly(1), 0);
    EXPECT_EQ(watchOnly(2), 1);
    ASSERT_TRUE(clients[1].session.SendByteMessage(2008, 0));
    ASSERT_EQ(clients[1].FirstByte(2009), 0);
    ASSERT_TRUE(clients[8].session.SendJoinRoom(number, u""));
    ASSERT_TRUE(Eventually([&] {
        RecordingSink& scene = clients[8].scene;
        for (std::size_t i = 0; i < scene.Count(); ++i)
            if (scene.At(i).id == Id(MessageId::JoinRoomResult) && scene.At(i).body.at(0) == 0) return true;
        return false;
    })) << "a seat and a place are free";
    EXPECT_EQ(watchOnly(8), 0);
    ASSERT_TRUE(clients[0].session.SendByteMessage(2008, 0));
    const int master = clients[2].WaitId(2016);
    ASSERT_GE(master, 0);
    EXPECT_EQ(clients[2].scene.At(master).body.at(0), 1) << "the newcomer's seat, not a watcher's";
    // With no player left the room closes on its watchers.
    ASSERT_TRUE(clients[8].session.SendByteMessage(2008, 0));
    for (int i = 2; i < 8; ++i) EXPECT_GE(clients[i].WaitId(2010), 0) << "watcher " << i;
    ASSERT_TRUE(clients[8].session.SendEmpty(Id(MessageId::RoomListRequest)));
    EXPECT_TRUE(Eventually([&] { return clients[8].session.LobbyRooms().empty(); }));
    server.Stop();
}

TEST(LobbyFlow, RoomMembersShowTheGoldTheirAccountsHold) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    Client a, b;
    ASSERT_TRUE(a.Connect(server.Port()));
    ASSERT_TRUE(b.Connect(server.Port()));
    SignInAndEnterChannel(a, u"alice", u"Alice");
    SignInAndEnterChannel(b, u"bob", u"Bob");
    server.SetGold(u"bob", 1234);
    ASSERT_NO_FATAL_FAILURE(CreateAndJoin(a, b, u"gold", 2));
    ASSERT_TRUE(b.session.SendEmpty(2007));  // the room scene is ready

    // Bob's member list (2011): per member seat, id, a byte, nickname, u32, u16, u32, u16, the gold,
    // then 22 bytes of state.
    const int at = b.WaitId(2011);
    ASSERT_GE(at, 0);
    const std::vector<std::uint8_t>& body = b.scene.At(at).body;
    std::size_t pos = 0;
    auto le = [&](int bytes) {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes && pos < body.size(); ++i) v |= std::uint64_t{body[pos++]} << (8 * i);
        return v;
    };
    ASSERT_EQ(le(1), 2u);
    std::map<WString, std::uint64_t> gold;
    for (int member = 0; member < 2; ++member) {
        pos += 1 + 8 + 1;
        WString nickname(le(2) / 2, u' ');
        for (char16_t& ch : nickname) ch = static_cast<char16_t>(le(2));
        pos += 2 + 4 + 2 + 4 + 2;
        gold[nickname] = le(8);
        pos += 22;
    }
    ASSERT_EQ(pos, body.size()) << "the member list's layout changed";
    EXPECT_EQ(gold[u"Bob"], 1234u);
    EXPECT_EQ(gold[u"Alice"], 100000u);

    // Alice's "View Info" on Bob: his profile shows that gold too; a nickname nobody has is not found.
    for (const WString& name : {WString(u"Bob"), WString(u"Nobody")}) {
        PooledPacket ask = a.session.NewPacket(210);
        ask->WriteU8(255).WriteU64(2).WriteString(name);
        ASSERT_TRUE(a.session.Send(*ask));
    }
    std::vector<std::vector<std::uint8_t>> replies;
    ASSERT_TRUE(Eventually([&] {
        replies.clear();
        for (std::size_t i = 0; i < a.scene.Count(); ++i)
            if (a.scene.At(i).id == 211) replies.push_back(a.scene.At(i).body);
        return replies.size() == 2;
    }));
    net::Packet bobs;
    bobs.Init(211);
    bobs.WriteU8(1).WriteU64(2).WriteString(u"Bob").WriteU16(1).WriteU32(0).WriteI64(1234);
    bobs.WriteString(u"").WriteU8(0).WriteU32(0).WriteU8(0).WriteU8(0);
    EXPECT_EQ(replies[0], std::vector<std::uint8_t>(bobs.Data() + 4, bobs.Data() + bobs.Size()));
    EXPECT_EQ(replies[1], std::vector<std::uint8_t>{0});
    server.Stop();
}

#pragma once
// The scripted test game server: listens on 127.0.0.1, accepts several clients, greets each with Hello
// (cipher on or off), and lets a test expect, send and relay messages, split frames across writes, pack
// many into one write and send malformed bytes. With the lobby option it also answers the sign-in and
// lobby flow, keeps rooms, relays room traffic and runs the item shop, which is what the marvenlot-testserver
// program runs.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "platform/net/TcpSocket.h"
#include "platform/sys/Clock.h"
#include "tests/e2e/server/ShopLedger.h"
#include "tests/e2e/server/WireCodec.h"

namespace testserver {

struct OutPiece;

struct ServerOptions {
    bool cipher = false;
    std::uint64_t keySeed = 0x5EED;
    bool lobby = false;         // answer the sign-in and lobby flow and relay room traffic by itself
    bool roomFlow = true;       // with the lobby: run the room flow too (off: the test scripts the room)
    bool verbose = false;       // print one line per frame (the program)
    bool personalCues = false;  // new accounts start with a worn tuning cue and a worn custom cue
    // Received frames kept per client for Expect, Next and the counts: the newest frameLimit of
    // each kind (0: none, as the program runs, which no script reads).
    std::size_t frameLimit = 16384;
    // Bytes that may wait to be sent to one client. Past it, a client that has taken nothing for
    // stallMs is not reading and is dropped; one that reads, only slower than the others write to
    // it, is left out of their messages (chat, whispers, aims, relayed room messages) instead, and
    // the server's own wait for it up to twice the limit. A reader that reads can leave its writer
    // waiting a second or two while the kernel's send buffer drains.
    std::size_t sendLimit = 1 << 20;
    std::int64_t stallMs = 10000;
    // What one connection may make the server pass on to others (chat, whispers, requests, moves
    // between channels and rooms, room messages): relayBurst at once, relayPerSecond a second after
    // that; a message costs 1 and 1 more for each 256 bytes of its body. What goes past it is
    // dropped, and a connection kFloodLimit messages over it is disconnected. 0 a second: no limit.
    double relayBurst = 100;
    double relayPerSecond = 20;
    // How long the answers (2053 and 2050) of a running shot are waited for after the first came:
    // every client plays the same shot, so the players' answers come close together. Then the turn
    // goes on with the answers that came (a player who left is not waited for at all).
    std::int64_t answerWaitMs = 30000;
    // The server's own turn clock: a shooter who neither shoots nor sends his time-out (a hung client
    // with its socket open) loses his turn as his time-out would, once the room's turn time and
    // turnGraceMs have passed since the turn began, or turnCapMs in a room without a turn time.
    std::int64_t turnGraceMs = 15000;
    std::int64_t turnCapMs = 300000;
    // The players a channel takes (the channel list announces it); a join past it is refused (158).
    std::uint16_t channelCapacity = 200;
    std::int64_t startGold = kDefaultStartGold;  // the gold of a new account
    // A test's say in a granted room entry (163 with 0): given the room block the server would send,
    // it returns the block sent (a room the client cannot show, for one). The player is seated as ever.
    std::function<Bytes(const Bytes& block)> enteredRoomBlock;
    // A recommendation of a gallery shot (255) that was taken: the shot, the player, the points and
    // the text (the program hands it to its gallery stand-in).
    std::function<void(std::uint32_t seq, const std::u16string& nickname, int points,
                       const std::u16string& text)>
        onShotReply;
};

// Recommendation stickers a new account holds for the shot gallery.
constexpr std::uint16_t kStartStickers = 5;

// What the lobby mode keeps of an account's practice-room missions and instant charges.
struct PracticeRecord {
    std::vector<Bytes> missionReports;  // the bodies of 1149, in order
    std::uint8_t dailyCounter = 0;      // 1 once the day's mission is paid
    int instantCharges = 0;
};

// What the lobby mode keeps of an account's school visits.
struct SchoolRecord {
    std::uint32_t progress = 0;  // the furthest page reported
    int courseEnds = 0;          // course-end pages shown
};

class TestGameServer {
public:
    explicit TestGameServer(ServerOptions options = {});
    ~TestGameServer();
    TestGameServer(const TestGameServer&) = delete;
    TestGameServer& operator=(const TestGameServer&) = delete;

    bool Start(std::uint16_t port = 0);
    void Stop();
    std::uint16_t Port() const { return listener_.Port(); }

    // Connections made so far (closed and forgotten ones included).
    bool WaitForClients(int count, std::uint32_t timeoutMs);
    int ClientCount() const;

    // Script steps. Client indices count from 0 in order of connection. A wait's timeoutMs is a safety
    // net, multiplied by the suite's patience (tests/common/Patience.h).
    bool Send(int client, std::uint16_t id, const Bytes& body);
    // Every frame in one write.
    bool SendFrames(int client, const std::vector<Frame>& frames);
    // One frame written `piece` bytes at a time.
    bool SendSplit(int client, std::uint16_t id, const Bytes& body, std::size_t piece);
    // Bytes exactly as given (no cipher): malformed frames.
    bool SendRaw(int client, const Bytes& bytes);
    // The first received frame with this id (ignored ids skipped), taken out of the inbox.
    std::optional<Frame> Expect(int client, std::uint16_t id, std::uint32_t timeoutMs);
    // The next received frame that is not ignored, in order of arrival.
    std::optional<Frame> Next(int client, std::uint32_t timeoutMs);
    // Waits for a frame of this id from one client and sends its body to every client (the sender too).
    bool Relay(int from, std::uint16_t id, std::uint32_t timeoutMs);
    void Ignore(std::uint16_t id);
    // Frames of this id received so far (ignored ones included), without taking them.
    int CountReceived(int client, std::uint16_t id) const;
    // True once the client's connection ended.
    bool WaitClosed(int client, std::uint32_t timeoutMs);
    // Frames kept of every client (inbox and history), the connections still open and the records
    // kept (open connections and the newest closed ones): what the server holds on to.
    std::size_t KeptFrames() const;
    int OpenConnections() const;
    std::size_t ConnectionRecords() const;
    // Other clients' messages left out for a client that read slower than it was sent to.
    std::uint64_t LeftOut(int client) const;

    // A closed connection's record (its received frames for Expect, Received and the counts) is kept
    // while it is one of the newest kKeptClosed closed ones or closed less than kClosedGraceMs ago;
    // then it is forgotten, and its index reads as a closed connection that received nothing.
    static constexpr std::size_t kKeptClosed = 64;
    static constexpr std::int64_t kClosedGraceMs = 2000;
    // Messages over the relay limit (since the budget was last full) that disconnect a connection.
    static constexpr int kFloodLimit = 500;

    // Lobby mode: the school record of an account (empty for an unknown one).
    SchoolRecord School(const std::u16string& loginId);

    // Lobby mode, the practice room (PracticeFlow.cpp): what an account reported and was paid, and
    // the account's gold and items set before it signs in.
    PracticeRecord Practice(const std::u16string& loginId);
    void SetGold(const std::u16string& loginId, std::int64_t gold);
    void GiveItem(const std::u16string& loginId, const LedgerItem& item);

    // Scripts that run on virtual time advance the clock the client reads.
    void SetClock(platform::VirtualClock* clock) { clock_ = clock; }
    void Advance(std::uint64_t ms) {
        if (clock_) clock_->AdvanceMs(ms);
    }

private:
    struct Client;
    struct Room;
    void AcceptLoop();
    void ReadLoop(Client& c);
    void WriteLoop(Client& c);
    // Queues bytes for the client's writer; false when the connection ended or was just dropped
    // for not reading. `relayedFrom`: another client whose message this passes on (left out for a
    // reader that reads slower than it is sent to).
    bool Write(Client& c, Bytes bytes, bool encipher, const Client* relayedFrom = nullptr);
    bool Enqueue(Client& c, OutPiece piece, const Client* relayedFrom = nullptr);  // under c.writeMutex
    void DropUnread(Client& c);                                                    // under c.writeMutex
    // Drops the clients whose writers have taken nothing for stallMs while others' messages were
    // left out for them or more than the limit waited.
    void DropStalled();
    // Whether the relay budget lets the client's frame be handled (it is dropped otherwise).
    bool Admit(Client& c, const Frame& f);
    void Keep(Client& c, Frame f);  // under mutex_
    // Joins the readers of closed connections and forgets the records past what is kept.
    void ReapClosed();
    std::shared_ptr<Client> Get(int index) const;
    std::shared_ptr<Client> FindLocked(int index) const;  // under mutex_; null once forgotten
    void HandleLobby(Client& c, const Frame& f);
    // Takes the client out of its room; the others learn it (2015, kind 3 when the connection
    // closed) and a game it played in ends (2031).
    void LeaveRoom(Client& c, bool disconnected = false);
    // A message for one client; `relayedFrom` as in Write.
    struct Outgoing {
        Outgoing(Client* to, Bytes bytes, const Client* relayedFrom = nullptr)
            : to(to), bytes(std::move(bytes)), relayedFrom(relayedFrom) {}
        Client* to;
        Bytes bytes;
        const Client* relayedFrom;
    };
    using Outbox = std::vector<Outgoing>;
    // Writes what was gathered under mutex_, once it is released.
    void Send(Outbox& out);
    // Under mutex_: the game of the room ends because of the player of `seat` who played for
    // `team` (2031 to every member): end kind 2 a withdrawal, 8 an invalid game, 0 a lost connection.
    void EndGame(Room& room, int seat, std::uint8_t team, const std::u16string& name, std::uint8_t endKind,
                 Outbox& out);
    // Under mutex_: the game of the room ends by play (2046 to every member): the team of `shooter`
    // won or lost, the others the other way. Every seat watches after it.
    void EndGameByPlay(Room& room, int shooter, bool shooterWon, Outbox& out);
    // Under mutex_: the turn result (2056) of a shot that scored `points` with result `code`, and
    // unless the game ended the new turn (2051) built from the room's last table state.
    void AnnounceTurn(Room& room, std::uint16_t code, int points, bool stays, bool freeBall, bool gameOver,
                      Outbox& out);
    // Under mutex_: the shooter's turn ran out (his time-out, the master's or the server's clock): the
    // turn passes with the room's table, and a room with none asks the clients for it first.
    void EndTurnByTime(Room& room, Outbox& out);
    // Under mutex_: the running shot is answered (or its wait is over): judges it from the shooter's
    // result and announces the turn or the game's end.
    void DecideShot(Room& room, Outbox& out);
    // Decides the shots whose answers took longer than ServerOptions::answerWaitMs, and ends the turns
    // whose shooter has not shot within the room's turn time and ServerOptions::turnGraceMs.
    void CheckRoomClocks();
    // Under mutex_: the gold a client's account holds (what the room shows of him).
    std::uint64_t GoldOf(const Client& c);
    // The room flow: entry, seats, readiness, game start, relayed aims and shots, collected
    // results and table states, turns (RoomFlow.cpp).
    void HandleRoom(Client& c, const Frame& f);
    // The practice room's mission report and instant charge; false when the frame is none.
    bool HandlePractice(Client& c, const Frame& f);
    // The messenger's friend requests and whispers and the gallery's recommendations
    // (MessengerFlow.cpp); false when the frame is none.
    bool HandleMessenger(Client& c, const Frame& f);
    // Sends the friend list of the account to each of its connections, and to the friends online the
    // lists that show its state (after a sign-in, a nickname or a connection that closed).
    void SendFriendLists(const std::u16string& loginId);
    // The friend requests that wait for the account's answer, to its connection.
    void SendWaitingRequests(Client& c);

public:
    // The bodies of every frame of this id the client sent, in order.
    std::vector<Bytes> Received(int client, std::uint16_t id) const;

private:
    ServerOptions options_;
    platform::TcpListener listener_;
    std::thread acceptThread_;
    bool running_ = false;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // In order of index; shared, so that a script step still holding a record outlives its forgetting.
    std::vector<std::shared_ptr<Client>> clients_;
    int connections_ = 0;  // connections made, the next index
    std::set<std::uint16_t> ignored_;
    std::vector<std::unique_ptr<Room>> rooms_;
    std::uint16_t nextRoom_ = 1;
    struct Account {
        std::u16string loginId;
        std::u16string nickname;
        std::uint32_t optionWord = 0x800;  // server mode 1 chosen, voice on at full volume
        // The flags of the last 261: bit 0, invitations are delivered; bit 1, whispers are accepted.
        std::uint8_t optionFlags = 3;
        std::uint32_t schoolProgress = 0;
        int courseEnds = 0;
        std::vector<std::u16string> friends;  // login ids
        std::vector<std::u16string> askers;   // login ids of friend requests waiting for an answer
        std::uint16_t stickers = kStartStickers;
    };
    Account* FindAccountByNickname(const std::u16string& nickname);  // under mutex_
    // The open connection of a login id, signed in with a nickname; null when none.
    Client* OnlineClient(const std::u16string& loginId) const;  // under mutex_
    Account* FindAccount(const std::u16string& loginId);        // under mutex_
    void SendOwnItems(Client& c);
    // Answers a request of the item shop; false when the frame is none.
    bool HandleShop(Client& c, const Frame& f);
    ShopLedger shop_;  // under mutex_
    void SendChannelPlayers(std::uint16_t channel);
    int ChannelUsers(std::uint16_t channel) const;  // under mutex_: the open connections in it
    std::vector<Account> accounts_;
    std::map<std::u16string, PracticeRecord> practice_;  // under mutex_
    platform::VirtualClock* clock_ = nullptr;
    std::atomic<std::uint64_t> lastRefused_{0};  // the id and size of the last message too long to send
};

}  // namespace testserver

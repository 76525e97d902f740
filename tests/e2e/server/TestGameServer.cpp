#include "tests/e2e/server/TestGameServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "tests/common/Patience.h"
#include "tests/e2e/server/RoomCodes.h"
#include "tests/e2e/server/ServerState.h"

namespace testserver {

namespace {
constexpr std::uint16_t kHello = 150;
constexpr std::uint32_t kAcceptWaitMs = 50;

std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}
}  // namespace

TestGameServer::TestGameServer(ServerOptions options)
    : options_(options), shop_(options.personalCues, options.startGold) {}

TestGameServer::~TestGameServer() {
    Stop();
}

bool TestGameServer::Start(std::uint16_t port) {
    if (!listener_.Listen("127.0.0.1", port)) return false;
    running_ = true;
    acceptThread_ = std::thread([this] { AcceptLoop(); });
    return true;
}

void TestGameServer::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        running_ = false;
    }
    if (acceptThread_.joinable()) acceptThread_.join();
    listener_.Close();
    std::vector<Client*> all;
    {
        std::lock_guard lock(mutex_);
        for (auto& c : clients_) all.push_back(c.get());
    }
    // What a script sent just before stopping still goes out, unless the client does not read.
    for (Client* c : all) {
        std::unique_lock lock(c->writeMutex);
        c->outChanged.wait_for(lock, std::chrono::seconds(2),
                               [&] { return c->sendClosed || c->outBytes == 0; });
    }
    // Every connection stops sending before any closes: a server going down tells nobody that the
    // others left (their rooms would end games and name winners that nobody won).
    for (Client* c : all) {
        std::lock_guard lock(c->writeMutex);
        c->sendClosed = true;
        c->outChanged.notify_all();
    }
    for (Client* c : all) {
        std::lock_guard lock(c->writeMutex);
        c->socket.Shutdown();
    }
    for (Client* c : all) {
        if (c->reader.joinable()) c->reader.join();
        if (c->writer.joinable()) c->writer.join();
    }
}

void TestGameServer::AcceptLoop() {
    std::chrono::steady_clock::time_point checked{};
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (!running_) return;
        }
        // The checks walk every connection: run before each accept, they made a storm's backlog of
        // connections cost time as its size squared, and a newcomer waits behind that backlog. They
        // run at most once per accept time-out.
        const auto now = std::chrono::steady_clock::now();
        if (now - checked >= std::chrono::milliseconds(kAcceptWaitMs)) {
            checked = now;
            ReapClosed();
            DropStalled();
            if (options_.lobby && options_.roomFlow) CheckRoomClocks();
        }
        platform::TcpSocket s = listener_.Accept(kAcceptWaitMs);
        if (!s.IsOpen()) continue;
        Client* c;
        {
            std::lock_guard lock(mutex_);
            clients_.push_back(std::make_shared<Client>());
            c = clients_.back().get();
            c->index = connections_++;
            c->socket = std::move(s);
        }
        // Hello goes out in clear; both directions are enciphered from the next frame on.
        Writer hello;
        hello.u8(options_.cipher ? 1 : 0).u64(options_.keySeed);
        Write(*c, EncodeFrame(kHello, hello.bytes()), false);
        if (options_.cipher) {
            std::lock_guard w(c->writeMutex);
            c->sendCipher.Key(options_.keySeed);
            c->receiveCipher.Key(options_.keySeed);
        }
        if (options_.verbose) std::printf("client %d connected\n", c->index);
        c->writer = std::thread([this, c] { WriteLoop(*c); });
        c->reader = std::thread([this, c] { ReadLoop(*c); });
        changed_.notify_all();
    }
}

void TestGameServer::ReadLoop(Client& c) {
    Bytes buffer;
    std::size_t start = 0;  // frames before it are taken; the buffer is compacted now and then
    std::uint8_t chunk[2048];
    for (;;) {
        const long n = c.socket.Receive(chunk, sizeof chunk);
        if (n <= 0) break;
        if (start > 0 && start * 2 >= buffer.size()) {
            buffer.erase(buffer.begin(), buffer.begin() + static_cast<long>(start));
            start = 0;
        }
        buffer.insert(buffer.end(), chunk, chunk + n);
        bool bad = false;
        while (buffer.size() - start >= 4) {
            const std::uint8_t* at = buffer.data() + start;
            const std::size_t length = at[0] | (at[1] << 8);
            if (length < 4 || length > kMaxFrame) {
                bad = true;
                break;
            }
            if (buffer.size() - start < length) break;
            Bytes frame(at, at + length);
            start += length;
            c.receiveCipher.Apply(frame.data(), frame.size(), false);
            Frame f;
            f.id = static_cast<std::uint16_t>(frame[2] | (frame[3] << 8));
            f.body.assign(frame.begin() + 4, frame.end());
            if (options_.verbose) std::printf("client %d -> %u (%zu bytes)\n", c.index, f.id, f.body.size());
            if (options_.lobby && Admit(c, f)) HandleLobby(c, f);
            if (c.overLimit >= kFloodLimit)
                std::fprintf(stderr,
                             "marvenlot-testserver: client %d disconnected: %d messages over the limit\n",
                             c.index, c.overLimit);
            if (c.overLimit >= kFloodLimit || c.cutOff) {
                bad = true;
                break;
            }
            if (options_.frameLimit > 0) {
                {
                    std::lock_guard lock(mutex_);
                    Keep(c, std::move(f));
                }
                changed_.notify_all();
            }
        }
        if (bad) break;
    }
    if (options_.lobby) LeaveRoom(c, true);
    // The connection is done with: the writer stops, the socket closes (its record stays for a while,
    // so a script's client index keeps meaning the same connection; ReapClosed forgets it later).
    {
        std::lock_guard lock(c.writeMutex);
        c.sendClosed = true;
        c.outbox.clear();
        c.outChanged.notify_all();
        c.socket.Shutdown();
    }
    if (c.writer.joinable()) c.writer.join();
    {
        std::lock_guard lock(c.writeMutex);
        c.socket.Close();
    }
    std::uint16_t channel = 0;
    {
        std::lock_guard lock(mutex_);
        c.closed = true;
        c.closedAt = std::chrono::steady_clock::now();
        channel = c.channel;
    }
    // The others of the channel see him go, and his friends see him offline.
    if (options_.lobby && channel != 0) SendChannelPlayers(channel);
    if (options_.lobby && !c.loginId.empty()) SendFriendLists(c.loginId);
    if (options_.verbose) std::printf("client %d closed\n", c.index);
    changed_.notify_all();
}

void TestGameServer::Keep(Client& c, Frame f) {
    if (c.history.size() >= options_.frameLimit) c.history.pop_front();
    if (c.inbox.size() >= options_.frameLimit) {
        c.inbox.pop_front();
        ++c.dropped;
    }
    c.history.push_back(f);
    c.inbox.push_back(std::move(f));
}

void TestGameServer::ReapClosed() {
    // Joins the reader of every connection that ended (its thread and stack go with it).
    std::vector<Client*> ended;
    {
        std::lock_guard lock(mutex_);
        for (auto& c : clients_)
            if (c->closed && c->reader.joinable()) ended.push_back(c.get());
    }
    for (Client* c : ended) c->reader.join();
    // Only this thread joins readers, so a record whose reader is joined has no thread left. The
    // grace leaves a handler that picked the record as a target under the lock time to write to it.
    std::lock_guard lock(mutex_);
    const auto done = [](const std::shared_ptr<Client>& c) { return c->closed && !c->reader.joinable(); };
    std::size_t closed = static_cast<std::size_t>(std::count_if(clients_.begin(), clients_.end(), done));
    if (closed <= kKeptClosed) return;
    const auto before = std::chrono::steady_clock::now() - std::chrono::milliseconds(kClosedGraceMs);
    std::erase_if(clients_, [&](const std::shared_ptr<Client>& c) {
        if (closed <= kKeptClosed || !done(c) || c->closedAt > before) return false;
        --closed;
        return true;
    });
}

void TestGameServer::WriteLoop(Client& c) {
    std::unique_lock lock(c.writeMutex);
    for (;;) {
        c.outChanged.wait(lock, [&] { return c.sendClosed || !c.outbox.empty(); });
        if (c.sendClosed) return;
        OutPiece piece = std::move(c.outbox.front());
        c.outbox.pop_front();
        lock.unlock();
        const bool sent = c.socket.SendAll(piece.bytes.data(), piece.bytes.size());
        if (piece.pause) std::this_thread::sleep_for(std::chrono::microseconds(200));
        lock.lock();
        c.outBytes -= piece.bytes.size();
        c.lastTaken = std::chrono::steady_clock::now();
        c.skipped = 0;
        if (c.outBytes == 0) c.skipLogged = false;
        c.outChanged.notify_all();
        if (!sent) {
            c.sendClosed = true;
            c.socket.Shutdown();
            return;
        }
    }
}

bool TestGameServer::Write(Client& c, Bytes bytes, bool encipher, const Client* relayedFrom) {
    // The client cuts frames out of a 4,096-byte buffer and drops the connection on a longer one: a
    // message that outgrew it is not sent (nor are those written with it), and the server says so, once
    // for the same message to several clients.
    for (std::size_t at = 0; encipher && at < bytes.size();) {
        const std::size_t length = bytes.size() - at >= 4 ? bytes[at] | (bytes[at + 1] << 8) : 0;
        if (length < 4 || length > kMaxFrame || at + length > bytes.size()) {
            const unsigned id = bytes.size() - at >= 4 ? bytes[at + 2] | (bytes[at + 3] << 8) : 0;
            const std::uint64_t refused = std::uint64_t{id} << 32 | (bytes.size() - at);
            if (lastRefused_.exchange(refused) != refused)
                std::fprintf(stderr,
                             "marvenlot-testserver: message %u of %zu bytes not sent to client %d: a frame "
                             "holds %zu\n",
                             id, bytes.size() - at, c.index, kMaxFrame);
            return false;
        }
        at += length;
    }
    std::lock_guard lock(c.writeMutex);
    if (c.sendClosed) return false;
    if (encipher) {
        for (std::size_t at = 0; at + 4 <= bytes.size();) {
            const std::size_t length = bytes[at] | (bytes[at + 1] << 8);
            if (length < 4 || at + length > bytes.size()) break;
            c.sendCipher.Apply(bytes.data() + at, length, true);
            at += length;
        }
    }
    return Enqueue(c, OutPiece{std::move(bytes), false}, relayedFrom);
}

void TestGameServer::Send(Outbox& out) {
    for (Outgoing& o : out) Write(*o.to, std::move(o.bytes), true, o.relayedFrom);
    out.clear();
}

std::shared_ptr<TestGameServer::Client> TestGameServer::FindLocked(int index) const {
    const auto at = std::lower_bound(clients_.begin(), clients_.end(), index,
                                     [](const std::shared_ptr<Client>& c, int i) { return c->index < i; });
    return at != clients_.end() && (*at)->index == index ? *at : nullptr;
}

std::shared_ptr<TestGameServer::Client> TestGameServer::Get(int index) const {
    std::lock_guard lock(mutex_);
    return FindLocked(index);
}

bool TestGameServer::WaitForClients(int count, std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, testsupport::Patient(std::chrono::milliseconds(timeoutMs)),
                             [&] { return connections_ >= count; });
}

int TestGameServer::ClientCount() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

bool TestGameServer::Send(int client, std::uint16_t id, const Bytes& body) {
    const std::shared_ptr<Client> c = Get(client);
    return c && Write(*c, EncodeFrame(id, body), true);
}

bool TestGameServer::SendFrames(int client, const std::vector<Frame>& frames) {
    const std::shared_ptr<Client> c = Get(client);
    if (!c) return false;
    Bytes all;
    for (const Frame& f : frames) {
        const Bytes one = EncodeFrame(f.id, f.body);
        all.insert(all.end(), one.begin(), one.end());
    }
    return Write(*c, std::move(all), true);
}

bool TestGameServer::SendSplit(int client, std::uint16_t id, const Bytes& body, std::size_t piece) {
    const std::shared_ptr<Client> c = Get(client);
    if (!c || piece == 0) return false;
    Bytes frame = EncodeFrame(id, body);
    std::lock_guard lock(c->writeMutex);
    if (c->sendClosed) return false;
    c->sendCipher.Apply(frame.data(), frame.size(), true);
    for (std::size_t at = 0; at < frame.size(); at += piece) {
        const auto from = frame.begin() + static_cast<long>(at);
        // The writer pauses after each piece so that each arrives on its own.
        if (!Enqueue(*c, OutPiece{Bytes(from, from + static_cast<long>(std::min(piece, frame.size() - at))),
                                  true}))
            return false;
    }
    return true;
}

bool TestGameServer::SendRaw(int client, const Bytes& bytes) {
    const std::shared_ptr<Client> c = Get(client);
    return c && Write(*c, bytes, false);
}

std::optional<Frame> TestGameServer::Expect(int client, std::uint16_t id, std::uint32_t timeoutMs) {
    const std::shared_ptr<Client> c = Get(client);
    if (!c) return std::nullopt;
    std::unique_lock lock(mutex_);
    std::optional<Frame> found;
    changed_.wait_for(lock, testsupport::Patient(std::chrono::milliseconds(timeoutMs)), [&] {
        auto it = std::find_if(c->inbox.begin(), c->inbox.end(), [&](const Frame& f) { return f.id == id; });
        if (it == c->inbox.end()) return false;
        found = std::move(*it);
        c->inbox.erase(it);
        return true;
    });
    return found;
}

std::optional<Frame> TestGameServer::Next(int client, std::uint32_t timeoutMs) {
    const std::shared_ptr<Client> c = Get(client);
    if (!c) return std::nullopt;
    std::unique_lock lock(mutex_);
    std::optional<Frame> found;
    changed_.wait_for(lock, testsupport::Patient(std::chrono::milliseconds(timeoutMs)), [&] {
        while (!c->inbox.empty()) {
            Frame f = std::move(c->inbox.front());
            c->inbox.pop_front();
            if (!ignored_.count(f.id)) {
                found = std::move(f);
                return true;
            }
        }
        return false;
    });
    return found;
}

bool TestGameServer::Relay(int from, std::uint16_t id, std::uint32_t timeoutMs) {
    const auto f = Expect(from, id, timeoutMs);
    if (!f) return false;
    bool ok = true;
    for (int i = 0; i < ClientCount(); ++i) ok = Send(i, id, f->body) && ok;
    return ok;
}

void TestGameServer::Ignore(std::uint16_t id) {
    std::lock_guard lock(mutex_);
    ignored_.insert(id);
}

int TestGameServer::CountReceived(int client, std::uint16_t id) const {
    const std::shared_ptr<Client> c = Get(client);
    if (!c) return 0;
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(c->history.begin(), c->history.end(), [&](const Frame& f) { return f.id == id; }));
}

std::size_t TestGameServer::KeptFrames() const {
    std::lock_guard lock(mutex_);
    std::size_t kept = 0;
    for (const auto& c : clients_) kept += c->inbox.size() + c->history.size();
    return kept;
}

int TestGameServer::OpenConnections() const {
    std::lock_guard lock(mutex_);
    int open = 0;
    for (const auto& c : clients_) open += c->socket.IsOpen() ? 1 : 0;
    return open;
}

std::size_t TestGameServer::ConnectionRecords() const {
    std::lock_guard lock(mutex_);
    return clients_.size();
}

bool TestGameServer::WaitClosed(int client, std::uint32_t timeoutMs) {
    const std::shared_ptr<Client> c = Get(client);
    if (!c) return client >= 0 && client < ClientCount();  // forgotten: it closed
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, testsupport::Patient(std::chrono::milliseconds(timeoutMs)),
                             [&] { return c->closed; });
}

// ---------------------------------------------------------------------------------------------------------
// The lobby flow (docs/protocol.md)

namespace {
enum : std::uint16_t {
    kSignIn = 151,
    kSignInResult,
    kCreateNick,
    kCreateNickResult,
    kChannelListRequest,
    kChannelList,
    kChooseChannel,
    kChooseChannelResult,
    kRoomListRequest,
    kRoomList,
    kCreateRoom,
    kJoinRoom,
    kJoinRoomResult,
    kLobbyChat = 164,
    kLobbyChatLine = 165,
    kUserList = 180,
    kItemList = 187,
    kKeepAlive = 202,
    kServerOptions = 261,
    kCourseEnd = 528,
    kSchoolStep = 530,
    kSchoolLeft = 1138,
    kLeaveRoom = 2008,
    kLeaveAnswer = 2009,
    kRoomClosed = 2010,
    kExitRefused = 2036,
};

struct ChannelDef {
    std::uint16_t id, type;
    const char16_t* name;
};
constexpr ChannelDef kChannels[] = {{1, 0, u"Free 1"}, {2, 0, u"Free 2"}, {3, 8, u"Tournament"}};

// Every account's cue (kOwnCueItem) is equipped for every game type; tables and ball sets are the
// defaults.

void WriteAccount(Writer& w, std::uint64_t id, const std::u16string& nickname, std::uint32_t optionWord,
                  std::uint16_t stickers, const LedgerAccount& shop) {
    // Level 1, the shop's money and cash.
    w.u64(id).str(nickname).u16(1).u32(0).u64(static_cast<std::uint64_t>(shop.money)).u32(shop.cash);
    w.u8(0).u8(shop.membership).u8(0);  // account kind, membership, chat state
    w.u32(0).str(u"").u8(0);            // no clan
    w.u32(0).u16(0);
    for (int i = 0; i < 5; ++i) w.u32(10);
    w.u8(0).u32(0).u16(stickers);
    for (int i = 0; i < 17; ++i) w.u16(i == 4 ? 20 : 0);  // three-cushion handicap 20
    for (int i = 0; i < 17; ++i) w.u64(kOwnCueSerial).u16(kOwnCueItem).u64(0).u16(0).u64(0).u16(0);
    w.u32(optionWord);
}
}  // namespace

void TestGameServer::HandleLobby(Client& c, const Frame& f) {
    Reader r(f.body);
    Writer w;
    std::uint16_t left = 0;  // the channel a player moved out of
    bool entered = false;    // the player is in the channel he chose
    auto reply = [&](std::uint16_t id) { Write(c, EncodeFrame(id, w.bytes()), true); };
    switch (f.id) {
        case kSignIn: {
            const std::u16string id = r.str();
            r.str();  // the password is not checked
            if (!r.ok || id.empty()) {
                w.u8(1);
                reply(kSignInResult);
                return;
            }
            {
                std::lock_guard lock(mutex_);
                c.loginId = id;
                Account* account = FindAccount(id);
                if (!account) {
                    accounts_.emplace_back();
                    accounts_.back().loginId = id;
                    account = &accounts_.back();
                }
                c.nickname = account->nickname;
                w.u8(c.nickname.empty() ? 2 : 0);
                WriteAccount(w, static_cast<std::uint64_t>(c.index) + 1, c.nickname, account->optionWord,
                             account->stickers, shop_.Account(id));
            }
            reply(kSignInResult);
            SendOwnItems(c);
            SendFriendLists(id);
            SendWaitingRequests(c);
            return;
        }
        case kCreateNick: {
            const std::u16string nick = r.str();
            {
                std::lock_guard lock(mutex_);
                bool taken = false;
                for (const Account& a : accounts_) taken = taken || a.nickname == nick;
                Account* account = FindAccount(c.loginId);
                if (!r.ok || nick.empty() || nick.size() > 12 || !account) {
                    w.u8(2);
                } else if (taken) {
                    w.u8(1);
                } else {
                    c.nickname = nick;
                    account->nickname = nick;
                    w.u8(0);
                    WriteAccount(w, static_cast<std::uint64_t>(c.index) + 1, nick, account->optionWord,
                                 account->stickers, shop_.Account(c.loginId));
                }
            }
            reply(kCreateNickResult);
            SendFriendLists(c.loginId);
            return;
        }
        case kLobbyChat: {
            // A channel line goes to every signed-in client of the channel outside the rooms, the
            // speaker included.
            const std::u16string text = r.str();
            if (!r.ok || text.empty()) return;
            std::vector<Client*> targets;
            {
                std::lock_guard lock(mutex_);
                if (c.nickname.empty()) return;
                w.str(c.nickname).str(text);
                for (auto& other : clients_)
                    if (!other->closed && other->channel == c.channel && other->room < 0 &&
                        !other->nickname.empty())
                        targets.push_back(other.get());
            }
            for (Client* t : targets) Write(*t, EncodeFrame(kLobbyChatLine, w.bytes()), true, &c);
            return;
        }
        case kServerOptions: {
            const std::uint32_t word = r.u32();
            const std::uint8_t flags = r.u8();
            std::lock_guard lock(mutex_);
            if (Account* account = FindAccount(c.loginId); account && r.ok) {
                account->optionWord = word;
                account->optionFlags = flags;
            }
            return;
        }
        case kCourseEnd:
        case kSchoolStep:
        case kSchoolLeft: {
            // The school's progress only grows; a malformed body changes nothing.
            const std::uint32_t step = f.id == kCourseEnd ? 0 : r.u32();
            r.u8();
            if (!r.ok) return;
            std::lock_guard lock(mutex_);
            if (Account* account = FindAccount(c.loginId)) {
                account->schoolProgress = std::max(account->schoolProgress, step);
                if (f.id == kCourseEnd) ++account->courseEnds;
            }
            return;
        }
        case kChannelListRequest: {
            std::lock_guard lock(mutex_);
            w.u8(static_cast<std::uint8_t>(std::size(kChannels)));
            for (const ChannelDef& ch : kChannels) {
                w.u16(ch.id)
                    .u16(ch.type)
                    .u16(static_cast<std::uint16_t>(ChannelUsers(ch.id)))
                    .u16(options_.channelCapacity)
                    .str(ch.name);
            }
            break;
        }
        case kChooseChannel: {
            const std::uint16_t id = r.u16();
            const ChannelDef* found = nullptr;
            for (const ChannelDef& ch : kChannels)
                if (ch.id == id) found = &ch;
            std::lock_guard lock(mutex_);
            // A player in a room stays where he is, and so does one who asks for a full channel.
            const bool full = found && c.channel != id && ChannelUsers(id) >= options_.channelCapacity;
            if (full)
                std::fprintf(stderr, "marvenlot-testserver: client %d cannot enter channel %u: it is full\n",
                             c.index, id);
            if (found && c.room < 0 && !full) {
                left = c.channel != id ? c.channel : 0;
                c.channel = id;
            }
            entered = found && c.channel == id;
            w.u8(entered ? 0 : 1).u16(id).u16(found ? found->type : 0);
            break;
        }
        case kRoomListRequest: {
            std::lock_guard lock(mutex_);
            std::vector<Bytes> blocks;
            for (auto& room : rooms_)
                if (room->channel == c.channel && !room->members.empty()) {
                    Writer block;
                    room->Write(block);
                    blocks.push_back(block.bytes());
                }
            w.raw(FittedList("room list", c.index, 2, blocks, kMaxListCount));
            break;
        }
        case kCreateRoom: {
            auto room = std::make_unique<Room>();
            r.u16();
            r.u8();
            room->gameType = r.u8();
            r.u8();
            room->maxPlayers = std::clamp<std::uint8_t>(r.u8(), 2, 8);
            r.u8();
            room->moneyClass = r.u8();
            room->gameOption = r.u8();
            room->inningTime = r.u8();
            r.u8();
            room->title = r.str();
            room->seedMoney = static_cast<std::int32_t>(r.u32());
            room->table = r.u16();
            room->ballSet = r.u16();
            room->password = r.str();
            const char* problem = r.ok ? room::RoomSettingsProblem(room->gameType, room->maxPlayers,
                                                                   room->title, room->password)
                                       : "a short message";
            if (problem) {
                std::fprintf(stderr, "marvenlot-testserver: client %d's new room refused: %s\n", c.index,
                             problem);
                w.u8(4);
                break;
            }
            LeaveRoom(c);
            std::lock_guard lock(mutex_);
            room->number = nextRoom_++;
            room->channel = c.channel;
            room->members.push_back(&c);
            room->seats[0] = &c;
            room->master = 0;
            c.seat = 0;
            c.room = static_cast<int>(rooms_.size());
            w.u8(0);
            room->Write(w);
            rooms_.push_back(std::move(room));
            break;
        }
        case kJoinRoom: {
            const std::uint16_t number = r.u16();
            const std::u16string password = r.str();
            LeaveRoom(c);
            std::lock_guard lock(mutex_);
            Room* room = nullptr;
            int index = -1;
            for (std::size_t i = 0; i < rooms_.size(); ++i)
                if (rooms_[i]->number == number && !rooms_[i]->members.empty()) {
                    room = rooms_[i].get();
                    index = static_cast<int>(i);
                }
            int seat = 0;
            while (room && seat < kRoomSeats && !room->SeatFree(seat)) ++seat;
            if (!room) {
                w.u8(1);
            } else if (room->password != password) {
                w.u8(2);
            } else if (seat == kRoomSeats) {
                w.u8(3);
            } else {
                // One who comes when every place to play is taken watches only.
                const bool placeLeft = room->Players() < room->maxPlayers;
                room->members.push_back(&c);
                c.seat = seat;
                room->seats[c.seat] = &c;
                room->playing[c.seat] = room->ready[c.seat] = 0;
                room->watchOnly[c.seat] = placeLeft ? 0 : 1;
                c.room = index;
                w.u8(0);
                Writer block;
                room->Write(block);
                w.raw(options_.enteredRoomBlock ? options_.enteredRoomBlock(block.bytes()) : block.bytes());
            }
            break;
        }
        case kLeaveRoom: {
            // A player of a running game must withdraw first (the room's menu); the server says so.
            bool playing = false;
            {
                std::lock_guard lock(mutex_);
                playing =
                    c.room >= 0 && c.seat >= 0 && rooms_[c.room]->running && rooms_[c.room]->playing[c.seat];
            }
            if (playing && options_.roomFlow) {
                reply(kExitRefused);
                return;
            }
            LeaveRoom(c);
            w.u8(0);
            reply(kLeaveAnswer);
            SendChannelPlayers(c.channel);
            return;
        }
        case kKeepAlive:
            return;
        default:
            if (HandleMessenger(c, f)) return;
            if (HandleShop(c, f)) return;
            if (HandlePractice(c, f)) return;
            // Room messages, and the room's ban cancels, reports, cue choices and cue wear.
            const bool roomMessage = (f.id >= 2000 && f.id < 3000) || f.id == 244 || f.id == 246 ||
                                     f.id == 258 || f.id == 544 || f.id == 546;
            if (roomMessage && options_.roomFlow) HandleRoom(c, f);
            return;
    }
    if (options_.verbose)
        std::printf("reply to client %d for %u (%s)\n", c.index, f.id, Narrow(c.nickname).c_str());
    switch (f.id) {
        case kChannelListRequest:
            reply(kChannelList);
            break;
        case kChooseChannel:
            reply(kChooseChannelResult);
            if (entered) SendChannelPlayers(c.channel);
            if (left != 0) SendChannelPlayers(left);
            break;
        case kRoomListRequest:
            reply(kRoomList);
            break;
        default:
            // Entering a room changes where the player is on everybody's list.
            reply(kJoinRoomResult);
            SendChannelPlayers(c.channel);
            break;
    }
}

SchoolRecord TestGameServer::School(const std::u16string& loginId) {
    std::lock_guard lock(mutex_);
    const Account* account = FindAccount(loginId);
    return account ? SchoolRecord{account->schoolProgress, account->courseEnds} : SchoolRecord{};
}

TestGameServer::Account* TestGameServer::FindAccount(const std::u16string& loginId) {
    for (Account& a : accounts_)
        if (a.loginId == loginId) return &a;
    return nullptr;
}

TestGameServer::Account* TestGameServer::FindAccountByNickname(const std::u16string& nickname) {
    for (Account& a : accounts_)
        if (!nickname.empty() && a.nickname == nickname) return &a;
    return nullptr;
}

TestGameServer::Client* TestGameServer::OnlineClient(const std::u16string& loginId) const {
    for (const auto& other : clients_)
        if (!other->closed && other->loginId == loginId && !other->nickname.empty()) return other.get();
    return nullptr;
}

int TestGameServer::ChannelUsers(std::uint16_t channel) const {
    return static_cast<int>(std::count_if(clients_.begin(), clients_.end(), [&](const auto& other) {
        return !other->closed && other->channel == channel;
    }));
}

void TestGameServer::SendChannelPlayers(std::uint16_t channel) {
    // Every signed-in player of the channel learns who is in it (level 1, location 0 the lobby). A list
    // longer than a frame takes is cut, each player's with himself in it.
    std::vector<Client*> members;
    std::vector<Bytes> lists;
    {
        std::lock_guard lock(mutex_);
        for (auto& other : clients_)
            if (!other->closed && other->channel == channel && !other->nickname.empty())
                members.push_back(other.get());
        std::vector<Bytes> entries;
        for (Client* m : members) {
            Writer entry;
            entry.u64(static_cast<std::uint64_t>(m->index) + 1)
                .u16(1)
                .u16(m->room < 0 ? 0 : 1)
                .str(m->nickname);
            entries.push_back(entry.bytes());
        }
        const auto write = [&](const std::vector<std::size_t>& kept) {
            return EncodeFrame(kUserList, ListBody(2, entries, kept));
        };
        const auto all = EntriesThatFit(2, entries, kMaxListCount);
        if (all.size() < entries.size())
            std::fprintf(
                stderr,
                "marvenlot-testserver: the player list of channel %u holds %zu players: each gets about "
                "%zu of them, a frame takes no more\n",
                channel, entries.size(), all.size());
        for (std::size_t i = 0; i < members.size(); ++i) {
            if (all.size() == entries.size())
                lists.push_back(i == 0 ? write(all) : lists.front());
            else
                lists.push_back(write(EntriesThatFit(2, entries, kMaxListCount, i)));
        }
    }
    for (std::size_t i = 0; i < members.size(); ++i) Write(*members[i], std::move(lists[i]), true);
}

bool TestGameServer::HandleShop(Client& c, const Frame& f) {
    std::vector<Frame> replies;
    {
        std::lock_guard lock(mutex_);
        if (c.loginId.empty()) return false;
        LedgerHooks hooks;
        hooks.loginOf = [this](const std::u16string& nickname) -> std::optional<std::u16string> {
            for (const Account& a : accounts_)
                if (!nickname.empty() && a.nickname == nickname) return a.loginId;
            return std::nullopt;
        };
        hooks.rename = [this, &c](const std::u16string& loginId, const std::u16string& nickname) {
            if (nickname.empty() || nickname.size() > 12) return false;
            for (const Account& a : accounts_)
                if (a.nickname == nickname) return false;
            Account* account = FindAccount(loginId);
            if (!account) return false;
            account->nickname = nickname;
            c.nickname = nickname;
            return true;
        };
        if (!shop_.Handle(c.loginId, c.nickname, f, hooks, replies)) return false;
    }
    for (const Frame& reply : replies) Write(c, EncodeFrame(reply.id, reply.body), true);
    return true;
}

void TestGameServer::SendOwnItems(Client& c) {
    // The bought items, then the cue every account owns (equipped, so always listed). The client
    // replaces its list with this one: items past what a frame (or the u8 count) takes are left out.
    std::vector<Bytes> entries;
    {
        std::lock_guard lock(mutex_);
        for (const LedgerItem& item : shop_.Account(c.loginId).items) {
            Writer entry;
            ShopLedger::WriteItem(entry, item);
            entries.push_back(entry.bytes());
        }
    }
    Writer cue;
    cue.u64(kOwnCueSerial).u32(kOwnCueItem).u32(1);  // type 1: cue
    cue.u8(0).u8(1).u8(0).u8(1);                     // kind, active, not personal, limited time
    cue.u32(30).u32(30).u64(0);
    for (int i = 0; i < 5; ++i) cue.u8(0);
    for (int i = 0; i < 5; ++i) cue.u16(0);
    cue.str(u"").str(u"");
    entries.push_back(cue.bytes());
    Write(c, EncodeFrame(kItemList, FittedList("item list", c.index, 1, entries, 255, entries.size() - 1)),
          true);
}

void TestGameServer::LeaveRoom(Client& c, bool disconnected) {
    Outbox out;
    std::uint16_t closedIn = 0;  // the channel of a room that closed
    {
        std::lock_guard lock(mutex_);
        if (c.room < 0) return;
        Room& room = *rooms_[c.room];
        auto& members = room.members;
        members.erase(std::remove(members.begin(), members.end(), &c), members.end());
        const int seat = c.seat;
        std::uint8_t team = 0;
        if (seat >= 0 && seat < kRoomSeats) {
            team = room.playing[seat];
            room.seats[seat] = nullptr;
            room.playing[seat] = room.ready[seat] = room.watchOnly[seat] = 0;
            room.results[seat].reset();
            room.states[seat].reset();
        }
        c.room = -1;
        c.seat = -1;
        constexpr std::uint8_t kKindDisconnected = 3;
        Writer left;
        left.u8(room.Players()).u8(static_cast<std::uint8_t>(seat)).u8(0);
        left.u8(disconnected ? kKindDisconnected : 0);
        for (Client* m : members) out.emplace_back(m, EncodeFrame(2015, left.bytes()));
        // The master's part goes to the first who holds a place; with none left nobody can play: the room
        // closes and its watchers are back in the lobby (2010).
        const auto holder = std::find_if(members.begin(), members.end(),
                                         [&](const Client* m) { return !room.watchOnly[m->seat]; });
        if (holder == members.end() && !members.empty()) {
            for (Client* m : members) {
                out.emplace_back(m, EncodeFrame(kRoomClosed, {}));
                room.seats[m->seat] = nullptr;
                room.watchOnly[m->seat] = 0;
                m->room = m->seat = -1;
            }
            members.clear();
            closedIn = room.channel;
        } else if (seat == room.master && !members.empty()) {
            room.master = (*holder)->seat;
            Writer master;
            master.u8(static_cast<std::uint8_t>(room.master)).u16(0).u16(0);
            for (Client* m : members) out.emplace_back(m, EncodeFrame(2016, master.bytes()));
        }
        if (room.running && team != 0) EndGame(room, seat, team, c.nickname, 0, out);
        room.PassTurnFrom(seat, team);
        if (team != 0) room.CloseUpTeams();
        // He is waited for no longer: the others' answers may be all the running shot needs.
        if (room.running && room.shotPending && room.ShotAnswered() && options_.roomFlow)
            DecideShot(room, out);
    }
    Send(out);
    if (closedIn != 0) SendChannelPlayers(closedIn);
}

}  // namespace testserver

#include "net/GameSession.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "platform/net/TcpSocket.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Fpu.h"

namespace net {

GameSession::GameSession(int packetBlocks) : pool_(packetBlocks), socket_(pool_, *this) {
    itemStorage_.reserve(kItemEntryPoolSize);
    freeItems_.reserve(kItemEntryPoolSize);
    for (int i = 0; i < kItemEntryPoolSize; ++i) {
        itemStorage_.push_back(std::make_unique<ItemEntry>());
        freeItems_.push_back(itemStorage_.back().get());
    }
    RegisterHandlers();
}

GameSession::~GameSession() {
    StopDispatchThread();
    socket_.Disconnect();
    platform::ScopedLock lock(queueLock_);
    for (Packet* p : queue_) pool_.Free(p);
    queue_.clear();
}

// ---------------------------------------------------------------------------------------------------------
// Connection

bool GameSession::ResolveServerAddress(const std::string& setting, std::string& host, std::uint16_t& port) {
    if (const char* env = std::getenv("MARVENLOT_SERVER"); env && *env) {
        if (platform::ParseHostPort(env, host, port)) return true;
        LogWrite(u"WARNING : MARVENLOT_SERVER IS NOT HOST:PORT, IGNORED\n");
    }
    if (!setting.empty() && platform::ParseHostPort(setting, host, port)) return true;
    host = kDefaultServerHost;
    port = kDefaultServerPort;
    return true;
}

bool GameSession::Connect(const std::string& host, std::uint16_t port) {
    connectFailed_ = false;
    const bool started = socket_.Connect(host, port);
    connectionLost_ = false;
    if (!started) connectFailed_ = true;
    return started;
}

void GameSession::Disconnect() {
    socket_.Disconnect();
    connectionLost_ = false;
}

void GameSession::OnConnected(bool ok) {
    connectFailed_ = !ok;
    if (ok) lastSendMs_ = std::max<std::uint64_t>(platform::NowMs(), 1);
}

void GameSession::OnDisconnected() {
    LogWrite(u"Disconnected from the game server\n");
    // What the server told about the channel is stale from now on; a new sign-in asks again.
    {
        platform::ScopedLock lock(dataLock_);
        lobbyRooms_.clear();
        lobbyPlayers_.clear();
    }
    ++listVersion;
    connectionLost_ = true;
    wake_.Set();
}

// ---------------------------------------------------------------------------------------------------------
// Packets

Packet* GameSession::AllocPacket() {
    return pool_.Alloc();
}

void GameSession::FreePacket(Packet* packet) {
    pool_.Free(packet);
}

PooledPacket GameSession::NewPacket(std::uint16_t id) {
    PooledPacket p(pool_, pool_.Alloc());
    if (p) p->Init(id);
    return p;
}

bool GameSession::Send(Packet& packet) {
    if (!socket_.Send(packet)) return false;
    lastSendMs_ = platform::NowMs();
    return true;
}

bool GameSession::SendByteMessage(std::uint16_t id, std::uint8_t value) {
    PooledPacket p = NewPacket(id);
    if (!p) return false;
    p->WriteU8(value);
    return Send(*p);
}

bool GameSession::SendEmpty(std::uint16_t id) {
    PooledPacket p = NewPacket(id);
    return p && Send(*p);
}

bool GameSession::KeepAlive(std::uint64_t nowMs) {
    // lastSend is 0 until the connection's start was stamped.
    const std::uint64_t last = lastSendMs_.load();
    if (!IsConnected() || last == 0 || nowMs < last + kKeepAliveIntervalMs) return false;
    return SendEmpty(Id(MessageId::KeepAlive));
}

// ---------------------------------------------------------------------------------------------------------
// Dispatch

void GameSession::SetSceneGate(SceneGate* gate) {
    gate_ = gate;
    wake_.Set();
}

void GameSession::OnPacketReceived(Packet* packet) {
    {
        platform::ScopedLock lock(queueLock_);
        ++unhandled_;
        queue_.push_back(packet);
    }
    wake_.Set();
}

std::size_t GameSession::PendingPackets() const {
    platform::ScopedLock lock(queueLock_);
    return queue_.size();
}

bool GameSession::AllReceivedHandled() const {
    // Looked at in the order a packet moves, so one on its way is found where it was or where it went.
    return !socket_.HoldsUnread() && unhandled_.load() == 0;
}

bool GameSession::StartDispatchThread() {
    if (dispatchRunning_.exchange(true)) return false;
    return dispatchThread_.Start("net-dispatch", [this] { DispatchThread(); });
}

void GameSession::StopDispatchThread() {
    if (!dispatchRunning_.exchange(false)) return;
    wake_.Set();
    dispatchThread_.Join();
}

void GameSession::DispatchThread() {
    platform::SetFpuControl();
    // Packets wait while the gate is closed; a closed gate is asked again every few milliseconds and at
    // every wake (a packet arrived or the shell reported a scene change).
    constexpr std::uint32_t kGatePollMs = 5;
    while (dispatchRunning_.load()) {
        Packet* packet = nullptr;
        {
            platform::ScopedLock lock(queueLock_);
            if (!queue_.empty()) packet = queue_.front();
        }
        if (!packet) {
            wake_.WaitFor(50);
            continue;
        }
        SceneGate* gate = gate_.load();
        PacketSink* scene = gate ? gate->AcquireCurrentScene() : nullptr;
        if (!scene) {
            wake_.WaitFor(kGatePollMs);
            continue;
        }
        {
            platform::ScopedLock lock(queueLock_);
            queue_.pop_front();
        }
        Deliver(*packet, *scene);
        --unhandled_;
        gate->ReleaseCurrentScene(scene);
        pool_.Free(packet);
    }
}

void GameSession::Deliver(Packet& packet, PacketSink& scene) {
    const auto it = handlers_.find(packet.GetId());
    HandlerResult result = HandlerResult::PassOn;
    if (it != handlers_.end()) result = (this->*(it->second))(packet);
    if (result == HandlerResult::PassOn) {
        if (recorder_.IsRecording() && packet.GetId() >= 2000 && packet.GetId() < 3000)
            recorder_.Record(packet);
        packet.Rewind();  // the scene reads from the start
        scene.OnPacket(packet);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Records

std::uint16_t GameSession::GetChannelType(int channelId) const {
    const int wanted = channelId < 0 ? currentChannel : channelId;
    platform::ScopedLock lock(dataLock_);
    for (const ChannelInfo& c : channels_)
        if (c.id == wanted) return c.type;
    return 0;
}

std::vector<ChannelInfo> GameSession::Channels() const {
    platform::ScopedLock lock(dataLock_);
    return channels_;
}
std::vector<RoomInfo> GameSession::LobbyRooms() const {
    platform::ScopedLock lock(dataLock_);
    return lobbyRooms_;
}
std::vector<LobbyPlayer> GameSession::LobbyPlayers() const {
    platform::ScopedLock lock(dataLock_);
    return lobbyPlayers_;
}
std::vector<ChatMessage> GameSession::Whispers() const {
    platform::ScopedLock lock(dataLock_);
    return whispers_;
}
std::vector<ChatMessage> GameSession::Whispers(std::uint32_t& linesAdded) const {
    platform::ScopedLock lock(dataLock_);
    linesAdded = conversationLines.load();
    return whispers_;
}
std::vector<RoomInvitation> GameSession::Invitations() const {
    platform::ScopedLock lock(dataLock_);
    return invitations_;
}
std::vector<RoomInvitation> GameSession::TakeInvitations() {
    platform::ScopedLock lock(dataLock_);
    return std::exchange(invitations_, {});
}

void GameSession::ClearItemEffects() {
    platform::ScopedLock lock(dataLock_);
    effects_ = {};
}

bool GameSession::SetItemEffect(int slot, std::uint32_t word1, std::uint32_t word2, std::uint8_t flag) {
    if (slot < 0 || slot >= kItemEffectSlots) return false;
    platform::ScopedLock lock(dataLock_);
    effects_[slot] = {word1, word2, flag};
    return true;
}

std::uint8_t GameSession::GetItemEffectFlag(int slot) const {
    if (slot < 0 || slot >= kItemEffectSlots) return 0;
    platform::ScopedLock lock(dataLock_);
    return effects_[slot].flag;
}

ItemEntry* GameSession::AllocItemEntry() {
    platform::ScopedLock lock(itemLock_);
    if (freeItems_.empty()) {
        LogWrite(u"ERROR : ITEM ENTRY POOL EXHAUSTED\n");
        return nullptr;
    }
    ItemEntry* e = freeItems_.back();
    freeItems_.pop_back();
    e->Clear();
    return e;
}

void GameSession::FreeItemEntry(ItemEntry* entry) {
    if (!entry) return;
    platform::ScopedLock lock(itemLock_);
    entry->Clear();
    freeItems_.push_back(entry);
}

int GameSession::FreeItemEntries() const {
    platform::ScopedLock lock(itemLock_);
    return static_cast<int>(freeItems_.size());
}

void GameSession::ReleaseOwnItems() {
    own.ReleaseItems([this](ItemEntry* e) { FreeItemEntry(e); });
}

namespace {
constexpr std::uint64_t kMembershipCueSerial = 1;
constexpr std::uint64_t kMembershipChalkSerial = 2;
constexpr std::uint32_t kMembershipCue[] = {0, 3041, 3042, 3043};  // by membership kind
constexpr std::uint32_t kMembershipChalk = 4903;
}  // namespace

void GameSession::RefreshDefaultItems() {
    // Built-in entries follow the membership: dropped when it ends, re-made when it changes.
    for (std::uint64_t serial : {kMembershipCueSerial, kMembershipChalkSerial})
        if (ItemEntry* e = own.RemoveItem(serial)) FreeItemEntry(e);
    if (clubMembership == 0 || clubMembership > 3) return;
    if (ItemEntry* cue = AllocItemEntry()) {
        cue->itemId = kMembershipCue[clubMembership];
        cue->type = static_cast<std::uint32_t>(ItemType::Cue);
        cue->state = static_cast<std::uint8_t>(ItemState::Active);
        cue->usageKind = static_cast<std::uint8_t>(UsageKind::LimitedTime);
        cue->expiry = membershipExpiry;
        if (!own.AddItem(kMembershipCueSerial, cue)) FreeItemEntry(cue);
    }
    if (ItemEntry* chalk = AllocItemEntry()) {
        chalk->itemId = kMembershipChalk;
        chalk->type = static_cast<std::uint32_t>(ItemType::Chalk);
        chalk->kind = 3;
        chalk->state = static_cast<std::uint8_t>(ItemState::Active);
        chalk->usageKind = static_cast<std::uint8_t>(UsageKind::LimitedTime);
        chalk->expiry = membershipExpiry;
        if (!own.AddItem(kMembershipChalkSerial, chalk)) FreeItemEntry(chalk);
    }
}

void GameSession::SetAccountFlag(std::uint8_t membershipKind, const WString& expiry, std::uint16_t value) {
    clubMembership = membershipKind <= 3 ? membershipKind : 0;
    membershipExpiry = expiry;
    membershipValue = value;
    own.membershipGrade = static_cast<std::int8_t>(clubMembership);
    RefreshDefaultItems();
}

void GameSession::SetOfflineEquipment() {
    ReleaseOwnItems();
    struct Offline {
        std::uint64_t serial;
        std::uint32_t itemId;
        ItemType type;
        std::uint8_t kind;
        std::uint32_t uses;
    };
    constexpr Offline kSet[] = {
        {0, 3043, ItemType::Cue, 0, 0},
        {15, 4903, ItemType::Chalk, 3, 1000},
        {16, 4510, ItemType::Effect, 0, 100},
    };
    for (const Offline& o : kSet) {
        ItemEntry* e = AllocItemEntry();
        if (!e) return;
        e->itemId = o.itemId;
        e->type = static_cast<std::uint32_t>(o.type);
        e->kind = o.kind;
        e->state = static_cast<std::uint8_t>(ItemState::Active);
        if (o.uses) {
            e->usageKind = static_cast<std::uint8_t>(UsageKind::LimitedCount);
            e->initialValue = e->remainingValue = o.uses;
        }
        if (!own.AddItem(o.serial, e)) FreeItemEntry(e);
    }
    for (GameTypeEquipment& eq : own.equipment) {
        eq.cueId = 3043;
        eq.cueSerial = 0;
    }
}

void GameSession::SetSchoolProgress(std::uint32_t step, std::uint8_t flag) {
    schoolProgress = step;
    schoolFlag = flag;
}

// ---------------------------------------------------------------------------------------------------------
// Front-end requests

bool GameSession::SendSignIn(const WString& id, const WString& pass, std::uint32_t build) {
    loginId = id;
    password = pass;
    PooledPacket p = NewPacket(Id(MessageId::SignIn));
    if (!p) return false;
    p->WriteString(id).WriteString(pass).WriteU32(build);
    return Send(*p);
}

bool GameSession::SendCreateNick(const WString& nickname) {
    PooledPacket p = NewPacket(Id(MessageId::CreateNick));
    if (!p) return false;
    p->WriteString(nickname);
    return Send(*p);
}

bool GameSession::SendChooseChannel(std::uint16_t channelId) {
    PooledPacket p = NewPacket(Id(MessageId::ChooseChannel));
    if (!p) return false;
    p->WriteU16(channelId);
    return Send(*p);
}

bool GameSession::SendCreateRoom(const RoomInfo& room, const WString& pass) {
    PooledPacket p = NewPacket(Id(MessageId::CreateRoom));
    if (!p) return false;
    room.Write(*p);
    p->WriteString(pass);
    return Send(*p);
}

bool GameSession::SendJoinRoom(std::uint16_t roomNumber, const WString& pass) {
    PooledPacket p = NewPacket(Id(MessageId::JoinRoom));
    if (!p) return false;
    p->WriteU16(roomNumber).WriteString(pass);
    return Send(*p);
}

bool GameSession::SendWhisper(const WString& nickname, const WString& text) {
    if (nickname.empty() || text.empty()) return false;
    PooledPacket p = NewPacket(Id(MessageId::WhisperSend));
    if (!p) return false;
    p->WriteString(nickname).WriteString(text);
    if (!Send(*p)) return false;
    AddConversationLine({nickname, text, ChatMessage::Kind::Sent});
    return true;
}

namespace {
std::atomic<GameSession*> gCurrentSession{nullptr};
}

GameSession* CurrentSession() {
    return gCurrentSession.load(std::memory_order_acquire);
}

void SetCurrentSession(GameSession* session) {
    gCurrentSession.store(session, std::memory_order_release);
}

void GameSession::SetTournamentFee(std::int64_t fee) {
    tournamentFee = fee < 0 ? 0 : fee;
    own.tournamentFeeText = FormatNumber(tournamentFee);
}

}  // namespace net

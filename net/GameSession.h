#pragma once
// The game session: the connection to the game server, the pools of packets and item entries, the
// dispatch thread that hands received packets to the session-wide handlers or the current scene, the
// keep-alive, and the session's records (own player, room, channels, friends, clans).
//
// Threads: received packets are queued by the receive thread and handled on the dispatch thread; Send
// runs on the caller's thread; KeepAlive on the update thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/ClSocket.h"
#include "net/GameRoom.h"
#include "net/ItemTable.h"
#include "net/PacketPool.h"
#include "net/PacketRecorder.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "net/SceneGate.h"
#include "platform/sys/CriticalSection.h"
#include "platform/sys/Event.h"
#include "platform/sys/Thread.h"

namespace net {

struct ChannelInfo {
    std::uint16_t id = 0;
    std::uint16_t type = 0;  // 8 tournament, 9 without table ownership notices
    std::uint16_t users = 0;
    std::uint16_t capacity = 0;
    WString name;
};

struct FriendEntry {
    std::uint64_t playerId = 0;
    std::uint8_t online = 0;
    std::uint16_t location = 0;
    WString nickname;
};

struct ClanMember {
    std::uint64_t playerId = 0;
    std::uint8_t grade = 0;
    std::uint8_t online = 0;
    WString nickname;
};

struct LobbyPlayer {
    std::uint64_t playerId = 0;
    std::uint16_t level = 0;
    std::uint16_t location = 0;
    WString nickname;
};

// What the server says about a whisper or a friend request (MessengerNotice).
enum class MessengerNotice : std::uint8_t {
    NoSuchPlayer = 1,
    NotOnline = 2,
    RefusesWhispers = 3,
    RequestRefused = 4,
    AlreadyFriends = 5,
};

// A line of the messenger's conversation: a whisper received (sender and text), a whisper sent
// (`sender` holds the recipient) or the server's notice about the player named in `sender`.
struct ChatMessage {
    enum class Kind : std::uint8_t { Received, Sent, Notice };
    WString sender;
    WString text;
    Kind kind = Kind::Received;
    MessengerNotice notice = MessengerNotice::NoSuchPlayer;
};

struct RoomInvitation {
    std::uint16_t roomNumber = 0;
    WString sender;
    WString title;
};

// What the lobby does when it is entered next.
struct PendingLobbyAction {
    std::uint8_t active = 0;
    std::uint8_t second = 0;
    std::uint16_t target = 0;  // 65534 practice room, 65533 shop, other values a room
    std::uint8_t further = 0;
    std::uint32_t gameTypeOverride = 0;
    std::uint32_t gameType = 0;
};

struct LobbyRequest {
    std::uint8_t flag = 0;
    std::uint8_t second = 0;
    std::uint8_t kind = 0;  // 1 earn gold
    std::int16_t value = -999;
};

struct ItemEffectSlot {
    std::uint32_t word1 = 0;
    std::uint32_t word2 = 0;
    std::uint8_t flag = 0;
};

enum class HandlerResult { Consumed, PassOn };

constexpr std::uint16_t kRoomWordShop = 0xFFFA;
constexpr std::uint16_t kRoomWordGallery = 0xFFFC;
constexpr std::uint16_t kLobbyTargetPractice = 65534;
constexpr std::uint16_t kLobbyTargetShop = 65533;

class GameSession : public ConnectionListener {
public:
    // packetBlocks: the size of the packet pool (tools and tests that hold few packets at once).
    explicit GameSession(int packetBlocks = kPacketPoolBlocks);
    ~GameSession() override;
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // --- connection
    // host:port from MARVENLOT_SERVER when set and valid, else the setting, else the default.
    static bool ResolveServerAddress(const std::string& setting, std::string& host, std::uint16_t& port);
    bool Connect(const std::string& host, std::uint16_t port);
    bool WaitConnected(std::uint32_t timeoutMs) { return socket_.WaitConnected(timeoutMs); }
    void Disconnect();
    bool IsConnected() const { return socket_.IsConnected(); }
    // The last connection attempt failed (no socket or no Hello).
    bool ConnectFailed() const { return connectFailed_.load(); }
    // True once after an established connection dropped by itself (the server closed it or a send
    // failed); a Disconnect of our own is not a loss.
    bool TakeConnectionLost() { return connectionLost_.exchange(false); }
    bool EncryptionOn() const { return socket_.EncryptionOn(); }
    int InvalidFrames() const { return socket_.InvalidFrames(); }

    // --- packets
    Packet* AllocPacket();
    void FreePacket(Packet* packet);
    PooledPacket NewPacket(std::uint16_t id);
    // Sends on the caller's thread and stamps the last-send time; false when not sent.
    bool Send(Packet& packet);
    bool SendByteMessage(std::uint16_t id, std::uint8_t value);
    bool SendEmpty(std::uint16_t id);
    // Update thread: message 202 once 5000 ms passed without a send. True when it sent.
    bool KeepAlive(std::uint64_t nowMs);
    std::uint64_t LastSendMs() const { return lastSendMs_.load(); }

    // --- dispatch
    void SetSceneGate(SceneGate* gate);
    bool StartDispatchThread();
    void StopDispatchThread();
    // Wakes the dispatch thread, e.g. when a scene became current.
    void WakeDispatch() { wake_.Set(); }
    // Packets received and not yet handled.
    std::size_t PendingPackets() const;
    // Nothing the server sent waits: no byte in the socket or the frame cutter, no packet in the queue or
    // in its handler. What the server sent before a decision is read before it when this holds.
    bool AllReceivedHandled() const;
    // Queues a packet as if it had arrived (tools, tests and replays); the session takes ownership.
    void InjectPacket(Packet* packet) { OnPacketReceived(packet); }
    // The dispatch thread's work on one packet: the session's own handler reads it, and unless the
    // handler consumed it the scene gets it from the start. Tests and tools call it directly.
    void Deliver(Packet& packet, PacketSink& scene);

    // --- front-end requests (docs/protocol.md)
    bool SendSignIn(const WString& loginId, const WString& password, std::uint32_t build);
    bool SendCreateNick(const WString& nickname);
    bool SendChooseChannel(std::uint16_t channelId);
    bool SendCreateRoom(const RoomInfo& room, const WString& password);
    bool SendJoinRoom(std::uint16_t roomNumber, const WString& password);
    // A whisper to a player by nickname; once sent it joins the conversation as a sent line.
    bool SendWhisper(const WString& nickname, const WString& text);

    // True when the last room entry the server granted (163 with 0) named a room this client cannot show
    // (RoomInfo::BlockRead::Unshowable); the room record is then unchanged. Set on the dispatch thread
    // before the scene is handed the answer.
    bool JoinedRoomUnshowable() const { return joinedUnshowable_.load(); }

    // --- records
    GameRoom& Room() { return GetGameRoom(); }
    RoomInfo& GetRoom() { return roomInfo_; }
    // The type of a channel (-1 = the current one); 0 for an unknown channel.
    std::uint16_t GetChannelType(int channelId = -1) const;
    std::vector<ChannelInfo> Channels() const;
    std::vector<RoomInfo> LobbyRooms() const;
    std::vector<LobbyPlayer> LobbyPlayers() const;
    std::vector<ChatMessage> Whispers() const;
    // The kept conversation and, read with it, the count of lines added since the sign-in.
    std::vector<ChatMessage> Whispers(std::uint32_t& linesAdded) const;
    std::vector<RoomInvitation> Invitations() const;
    // The invitations kept so far, oldest first; the session keeps none after.
    std::vector<RoomInvitation> TakeInvitations();
    PacketRecorder& Recorder() { return recorder_; }

    void ClearItemEffects();
    // False for a slot out of range.
    bool SetItemEffect(int slot, std::uint32_t word1, std::uint32_t word2, std::uint8_t flag);
    std::uint8_t GetItemEffectFlag(int slot) const;

    ItemEntry* AllocItemEntry();
    void FreeItemEntry(ItemEntry* entry);
    int FreeItemEntries() const;
    // Re-derives the own record's built-in entries (serials 0..9: membership cue and chalk).
    void RefreshDefaultItems();
    void SetAccountFlag(std::uint8_t membershipKind, const WString& expiry, std::uint16_t value);
    // The fixed item set of offline play.
    void SetOfflineEquipment();
    void SetSchoolProgress(std::uint32_t step, std::uint8_t flag);
    // Returns every own item entry to the pool.
    void ReleaseOwnItems();

    // Session fields the scenes read and write (Part of the system's session record).
    PlayerRecord own;
    WString loginId;
    WString password;
    std::uint8_t accountKind = 0;            // 2 hides cash items in the shop
    std::atomic<std::uint8_t> startFlag{0};  // 0 or 2
    std::uint8_t ownPlaying = 0;
    std::uint8_t tournamentFlag1 = 0;
    std::uint8_t tournamentFlag2 = 0;
    std::uint8_t raceStartHour = 0;
    std::uint8_t raceStartMinute = 0;
    // The gold a tournament game costs (the own record's fee text shows it); see SetTournamentFee.
    std::int64_t tournamentFee = 0;
    void SetTournamentFee(std::int64_t fee);
    std::uint8_t gameEffect1 = 0;
    std::uint8_t gameEffect2 = 0;
    std::int16_t gameEffect3 = -999;
    std::uint8_t clubMembership = 0;  // 0 none, 1 basic, 2 standard, 3 plus; 1 or more may kick
    WString membershipExpiry;
    std::uint16_t membershipValue = 0;
    std::uint8_t inClan = 0;
    std::int64_t clanMoney = 0;
    WString clanName;
    std::uint8_t clanRank = 0;  // 10 or more = clan master
    std::uint16_t currentRoom = 0;
    std::uint32_t schoolProgress = 0;
    std::uint8_t schoolFlag = 0;
    std::uint8_t basicCourseRewards = 0;
    std::uint16_t currentChannel = 0;
    std::uint8_t signInResult = 0xFF;  // 0xFF until the server answered
    PendingLobbyAction lobbyAction;
    // The chat macros the room sends with 1045 (empty: nothing is sent).
    std::array<WString, kChatMacroCount> chatMacros;
    LobbyRequest lobbyRequest;

    // Friend and clan lists: read under listLock (a re-entrant lock; its use count is the nesting).
    mutable platform::CriticalSection listLock;
    std::vector<FriendEntry> friends;
    std::vector<ClanMember> clanMembers;
    std::vector<FriendEntry> friendRequests;
    std::atomic<std::uint32_t> listVersion{0};  // raised whenever a session list changes
    // Lines added to the conversation over the session (the kept list stops growing at its cap);
    // raised under the same lock as the list, so Whispers(linesAdded) reads both as one.
    std::atomic<std::uint32_t> conversationLines{0};

    void ResetItemEffectValues() {
        gameEffect1 = 0;
        gameEffect2 = 0;
        gameEffect3 = -999;
    }

    // ConnectionListener
    void OnConnected(bool ok) override;
    void OnPacketReceived(Packet* packet) override;
    void OnDisconnected() override;

private:
    using Handler = HandlerResult (GameSession::*)(Packet&);
    void RegisterHandlers();
    void DispatchThread();

    HandlerResult OnSignInResult(Packet& p);
    HandlerResult OnCreateNickResult(Packet& p);
    HandlerResult OnChannelList(Packet& p);
    HandlerResult OnChooseChannelResult(Packet& p);
    HandlerResult OnRoomList(Packet& p);
    HandlerResult OnJoinRoomResult(Packet& p);
    HandlerResult OnRoomClosed(Packet& p);
    HandlerResult OnUserList(Packet& p);
    HandlerResult OnFriendList(Packet& p);
    HandlerResult OnFriendState(Packet& p);
    HandlerResult OnFriendRequest(Packet& p);
    HandlerResult OnClanMemberList(Packet& p);
    HandlerResult OnWhisper(Packet& p);
    HandlerResult OnMessengerNotice(Packet& p);
    void AddConversationLine(ChatMessage line);
    HandlerResult OnInvitation(Packet& p);
    HandlerResult OnItemList(Packet& p);
    HandlerResult OnMoneyUpdate(Packet& p);

    PacketPool pool_;
    ClSocket socket_;
    PacketRecorder recorder_;
    RoomInfo roomInfo_;

    mutable platform::CriticalSection queueLock_;
    std::deque<Packet*> queue_;
    std::atomic<std::size_t> unhandled_{0};  // queued, or in the dispatch thread's hands
    platform::Event wake_;
    platform::Thread dispatchThread_;
    std::atomic<bool> dispatchRunning_{false};
    std::atomic<SceneGate*> gate_{nullptr};
    std::unordered_map<std::uint16_t, Handler> handlers_;  // filled once in the constructor

    std::atomic<std::uint64_t> lastSendMs_{0};
    std::atomic<bool> connectFailed_{false};
    std::atomic<bool> connectionLost_{false};
    std::atomic<bool> joinedUnshowable_{false};
    // Dispatch thread: why each room of the last room list was left out, in list order.
    std::vector<WString> roomsLeftOut_;

    mutable platform::CriticalSection dataLock_;  // channels, lobby lists, whispers, invitations, effects
    std::vector<ChannelInfo> channels_;
    std::vector<RoomInfo> lobbyRooms_;
    std::vector<LobbyPlayer> lobbyPlayers_;
    std::vector<ChatMessage> whispers_;
    std::vector<RoomInvitation> invitations_;
    std::array<ItemEffectSlot, kItemEffectSlots> effects_{};

    mutable platform::CriticalSection itemLock_;
    std::vector<std::unique_ptr<ItemEntry>> itemStorage_;
    std::vector<ItemEntry*> freeItems_;
};

// The session of the running client, or nullptr. The shell registers the session it owns; scenes
// and the table world reach it through their host.
GameSession* CurrentSession();
void SetCurrentSession(GameSession* session);

}  // namespace net

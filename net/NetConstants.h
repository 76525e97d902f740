#pragma once
// Sizes, limits and message ids of the game-server connection, in one place so a grep finds every use.

#include <cstddef>
#include <cstdint>

namespace net {

// Frame: u16 length (whole frame, header included), u16 message id, little-endian body.
constexpr std::size_t kFrameHeaderSize = 4;
constexpr std::size_t kMaxFrameSize = 4096;  // also the size of the receive ring buffer
constexpr std::size_t kRingBufferSize = 4096;
constexpr std::size_t kPacketCapacity = 4096;  // bytes one pooled packet holds (all its messages)
constexpr std::size_t kMaxStringBytes = 3066;  // longest string body on the wire, terminator excluded

constexpr int kPacketPoolBlocks = 1000;
constexpr int kPacketSendReserve = 100;  // of the pool, left to the senders by the receive thread
constexpr int kItemEntryPoolSize = 500;
constexpr std::uint64_t kRecordKeySeed = 0x4D56524543ull;  // packet recordings: obfuscated, not secret

constexpr std::uint32_t kKeepAliveIntervalMs = 5000;
constexpr std::uint32_t kConnectTimeoutMs = 10000;

constexpr std::uint16_t kDefaultServerPort = 24680;
constexpr const char* kDefaultServerHost = "127.0.0.1";

constexpr int kGameTypeCount = 17;
constexpr std::size_t kChatMacroCount = 10;

// Message ids the session itself sends or handles. The scenes keep their own ids next to their handlers;
// the flows here are the ones the session and the front end need to reach a room (docs/protocol.md).
enum class MessageId : std::uint16_t {
    ShotRecordingEnd = 20,  // end-marker record of a recording file (never sent)

    // Session set-up, sign-in and the way into a room (the project's own flows)
    Hello = 150,               // S->C u8 cipher on, u64 key seed
    SignIn = 151,              // C->S str login id, str password, u32 client build
    SignInResult = 152,        // S->C u8 result, [player block]
    CreateNick = 153,          // C->S str nickname
    CreateNickResult = 154,    // S->C u8 result, [player block]
    ChannelListRequest = 155,  // C->S empty
    ChannelList = 156,    // S->C u8 count, per channel: u16 id, u16 type, u16 users, u16 capacity, str name
    ChooseChannel = 157,  // C->S u16 channel id
    ChooseChannelResult = 158,  // S->C u8 result, u16 channel id, u16 channel type
    RoomListRequest = 159,      // C->S empty
    RoomList = 160,             // S->C u16 count, room summaries
    CreateRoom = 161,           // C->S room settings
    JoinRoom = 162,             // C->S u16 room number, str password
    JoinRoomResult = 163,       // S->C u8 result, [room settings]

    // Session-wide messages: lists, friends, clans, whispers, invitations, items
    UserList = 180,         // S->C u16 count, per player: u64 id, u16 level, u16 location, str nickname
    FriendList = 181,       // S->C u8 count, per friend: u64 id, u8 online, u16 location, str nickname
    FriendState = 182,      // S->C u64 id, u8 online, u16 location
    FriendRequest = 183,    // S->C u64 id, str nickname
    ClanMemberList = 184,   // S->C u8 count, per member: u64 id, u8 grade, u8 online, str nickname
    Whisper = 185,          // S->C str sender, str text
    Invitation = 186,       // S->C u16 room number, str sender, str title
    ItemList = 187,         // S->C u8 count, item entries
    MoneyUpdate = 188,      // S->C i64 money, u32 cash
    WhisperSend = 189,      // C->S str nickname, str text
    MessengerNotice = 190,  // S->C u8 notice, str nickname

    KeepAlive = 202,  // C->S empty body

    RoomClosed = 2010,  // S->C empty: the room the player is in has closed

    // Game room messages whose bodies the project defines
    ShotState = 2050,
    TurnStart = 2051,
    Shot = 2052,
    ShotResult = 2053,
    AimUpdate = 2058,
    BallPlacement = 2063,
};

constexpr std::uint16_t Id(MessageId id) {
    return static_cast<std::uint16_t>(id);
}

}  // namespace net

// Every message id through the session's handlers and on to the current scene, one session per input
// so that later messages meet the state earlier ones left.
//
// Input: messages back to back, each a selector byte, a u16 body length and the body. A selector
// below the number of known ids picks one of them; any other selector and the next byte form a raw
// id, so unknown ids are covered as well.
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "net/GameSession.h"
#include "net/NetConstants.h"
#include "net/Packet.h"
#include "scenes/base/GameScene.h"

namespace {
using net::MessageId;

constexpr MessageId kKnownIds[] = {
    MessageId::ShotRecordingEnd,
    MessageId::Hello,
    MessageId::SignIn,
    MessageId::SignInResult,
    MessageId::CreateNick,
    MessageId::CreateNickResult,
    MessageId::ChannelListRequest,
    MessageId::ChannelList,
    MessageId::ChooseChannel,
    MessageId::ChooseChannelResult,
    MessageId::RoomListRequest,
    MessageId::RoomList,
    MessageId::CreateRoom,
    MessageId::JoinRoom,
    MessageId::JoinRoomResult,
    MessageId::UserList,
    MessageId::FriendList,
    MessageId::FriendState,
    MessageId::FriendRequest,
    MessageId::ClanMemberList,
    MessageId::Whisper,
    MessageId::Invitation,
    MessageId::ItemList,
    MessageId::MoneyUpdate,
    MessageId::KeepAlive,
    MessageId::ShotState,
    MessageId::Shot,
    MessageId::AimUpdate,
    MessageId::BallPlacement,
};
constexpr std::size_t kKnownCount = std::size(kKnownIds);
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    net::GameSession session(4);  // one packet at a time; a small pool keeps each input cheap
    scenes::GameScene scene(0);
    std::size_t at = 0;
    while (size - at >= 3) {
        std::uint16_t id = 0;
        if (data[at] < kKnownCount) {
            id = net::Id(kKnownIds[data[at]]);
            at += 1;
        } else {
            id = static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
            at += 2;
        }
        if (size - at < 2) break;
        std::size_t length = data[at] | (data[at + 1] << 8);
        at += 2;
        if (length > size - at) length = size - at;
        if (length > net::kMaxFrameSize - net::kFrameHeaderSize)
            length = net::kMaxFrameSize - net::kFrameHeaderSize;
        net::Packet* packet = session.AllocPacket();
        if (!packet) break;
        packet->Init(id);
        packet->WriteBytes(data + at, length);
        packet->Finish();
        packet->Rewind();
        at += length;
        session.Deliver(*packet, scene);
        session.FreePacket(packet);
    }
    session.Channels();
    session.LobbyRooms();
    session.LobbyPlayers();
    session.Whispers();
    session.Invitations();
    session.GetChannelType();
    session.RefreshDefaultItems();
    session.ReleaseOwnItems();
    return 0;
}

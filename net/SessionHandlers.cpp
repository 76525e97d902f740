// The session-wide message handlers: sign-in and lobby flow results, lists, friends, clans, whispers,
// invitations and items. Each reads its message whole before it changes a record, so a short or malformed
// message changes nothing. Flow results are kept here and passed on to the scene that asked; list updates
// are kept here only (the scenes read them, watching listVersion).

#include "engine/core/Log.h"
#include "net/GameSession.h"

namespace net {

namespace {
constexpr std::size_t kMaxListEntries = 1000;  // more than any lobby shows; bounds a hostile count

HandlerResult Malformed(const Packet& p) {
    LogWrite(u"ERROR : MALFORMED MESSAGE %d\n", static_cast<int>(p.GetId()));
    return HandlerResult::Consumed;
}
}  // namespace

void GameSession::RegisterHandlers() {
    handlers_ = {
        {Id(MessageId::SignInResult), &GameSession::OnSignInResult},
        {Id(MessageId::CreateNickResult), &GameSession::OnCreateNickResult},
        {Id(MessageId::ChannelList), &GameSession::OnChannelList},
        {Id(MessageId::ChooseChannelResult), &GameSession::OnChooseChannelResult},
        {Id(MessageId::RoomList), &GameSession::OnRoomList},
        {Id(MessageId::JoinRoomResult), &GameSession::OnJoinRoomResult},
        {Id(MessageId::RoomClosed), &GameSession::OnRoomClosed},
        {Id(MessageId::UserList), &GameSession::OnUserList},
        {Id(MessageId::FriendList), &GameSession::OnFriendList},
        {Id(MessageId::FriendState), &GameSession::OnFriendState},
        {Id(MessageId::FriendRequest), &GameSession::OnFriendRequest},
        {Id(MessageId::ClanMemberList), &GameSession::OnClanMemberList},
        {Id(MessageId::Whisper), &GameSession::OnWhisper},
        {Id(MessageId::MessengerNotice), &GameSession::OnMessengerNotice},
        {Id(MessageId::Invitation), &GameSession::OnInvitation},
        {Id(MessageId::ItemList), &GameSession::OnItemList},
        {Id(MessageId::MoneyUpdate), &GameSession::OnMoneyUpdate},
    };
}

HandlerResult GameSession::OnSignInResult(Packet& p) {
    std::uint8_t result = p.U8();
    if (p.IsBad()) return Malformed(p);
    // 0 signed in, 2 signed in without a nickname yet: both carry the account block.
    if ((result == 0 || result == 2) && !own.ReadAccount(p)) return Malformed(p);
    signInResult = result;
    return HandlerResult::PassOn;
}

HandlerResult GameSession::OnCreateNickResult(Packet& p) {
    std::uint8_t result = p.U8();
    if (p.IsBad()) return Malformed(p);
    if (result == 0 && !own.ReadAccount(p)) return Malformed(p);
    if (result == 0) signInResult = 0;
    return HandlerResult::PassOn;
}

HandlerResult GameSession::OnChannelList(Packet& p) {
    const std::uint8_t count = p.U8();
    std::vector<ChannelInfo> list;
    for (int i = 0; i < count && !p.IsBad(); ++i) {
        ChannelInfo c;
        p.ReadU16(c.id).ReadU16(c.type).ReadU16(c.users).ReadU16(c.capacity).ReadString(c.name);
        list.push_back(std::move(c));
    }
    if (p.IsBad()) return Malformed(p);
    {
        platform::ScopedLock lock(dataLock_);
        channels_ = std::move(list);
    }
    ++listVersion;
    return HandlerResult::PassOn;
}

HandlerResult GameSession::OnChooseChannelResult(Packet& p) {
    std::uint8_t result = 0;
    std::uint16_t channel = 0, type = 0;
    p.ReadU8(result).ReadU16(channel).ReadU16(type);
    if (p.IsBad()) return Malformed(p);
    if (result == 0) {
        currentChannel = channel;
        platform::ScopedLock lock(dataLock_);
        bool known = false;
        for (ChannelInfo& c : channels_)
            if (c.id == channel) {
                c.type = type;
                known = true;
            }
        if (!known) channels_.push_back({channel, type, 0, 0, {}});
    }
    return HandlerResult::PassOn;
}

HandlerResult GameSession::OnRoomList(Packet& p) {
    const std::uint16_t count = p.U16();
    if (count > kMaxListEntries) return Malformed(p);
    std::vector<RoomInfo> list;
    // A room this client cannot show is left out; the others still list. The log gets one line when
    // what is left out changes, not one per room nor one per list (the lobby asks every few seconds).
    std::vector<WString> leftOut;
    for (int i = 0; i < count; ++i) {
        RoomInfo r;
        WString why;
        switch (r.ReadBlock(p, &why)) {
            case RoomInfo::BlockRead::Taken:
                list.push_back(std::move(r));
                break;
            case RoomInfo::BlockRead::Unshowable:
                leftOut.push_back(std::move(why));
                break;
            case RoomInfo::BlockRead::Broken:
                return Malformed(p);
        }
    }
    if (!leftOut.empty() && leftOut != roomsLeftOut_)
        LogWrite(
            u"WARNING : the room list leaves out %d of its %d rooms, which this client cannot show "
            u"(the first: %s)\n",
            static_cast<int>(leftOut.size()), static_cast<int>(count), leftOut.front());
    roomsLeftOut_ = std::move(leftOut);
    {
        platform::ScopedLock lock(dataLock_);
        lobbyRooms_ = std::move(list);
    }
    ++listVersion;
    return HandlerResult::PassOn;
}

HandlerResult GameSession::OnRoomClosed(Packet&) {
    // The lobby's list was kept from before the room was entered and still holds the room; the lobby
    // shows it first on the way back, before the next list comes.
    {
        platform::ScopedLock lock(dataLock_);
        std::erase_if(lobbyRooms_, [this](const RoomInfo& r) { return r.number == roomInfo_.number; });
    }
    ++listVersion;
    return HandlerResult::PassOn;
}

HandlerResult GameSession::OnJoinRoomResult(Packet& p) {
    const std::uint8_t result = p.U8();
    if (p.IsBad()) return Malformed(p);
    joinedUnshowable_ = false;
    if (result == 0) {
        RoomInfo r;
        WString why;
        switch (r.ReadBlock(p, &why)) {
            case RoomInfo::BlockRead::Taken:
                roomInfo_ = std::move(r);
                currentRoom = roomInfo_.number;
                break;
            case RoomInfo::BlockRead::Unshowable:
                // The server seated the player where this client cannot follow: the scene refuses the
                // entry, and the room record stays the last one shown.
                LogWrite(
                    u"WARNING : the room entered cannot be shown by this client (%s); the entry is refused\n",
                    why);
                joinedUnshowable_ = true;
                break;
            case RoomInfo::BlockRead::Broken:
                return Malformed(p);
        }
    }
    return HandlerResult::PassOn;
}

HandlerResult GameSession::OnUserList(Packet& p) {
    const std::uint16_t count = p.U16();
    if (count > kMaxListEntries) return Malformed(p);
    std::vector<LobbyPlayer> list;
    for (int i = 0; i < count && !p.IsBad(); ++i) {
        LobbyPlayer u;
        p.ReadU64(u.playerId).ReadU16(u.level).ReadU16(u.location).ReadString(u.nickname);
        list.push_back(std::move(u));
    }
    if (p.IsBad()) return Malformed(p);
    {
        platform::ScopedLock lock(dataLock_);
        lobbyPlayers_ = std::move(list);
    }
    ++listVersion;
    return HandlerResult::Consumed;
}

HandlerResult GameSession::OnFriendList(Packet& p) {
    const std::uint8_t count = p.U8();
    std::vector<FriendEntry> list;
    for (int i = 0; i < count && !p.IsBad(); ++i) {
        FriendEntry f;
        p.ReadU64(f.playerId).ReadU8(f.online).ReadU16(f.location).ReadString(f.nickname);
        list.push_back(std::move(f));
    }
    if (p.IsBad()) return Malformed(p);
    {
        platform::ScopedLock lock(listLock);
        friends = std::move(list);
    }
    ++listVersion;
    return HandlerResult::Consumed;
}

HandlerResult GameSession::OnFriendState(Packet& p) {
    std::uint64_t id = 0;
    std::uint8_t online = 0;
    std::uint16_t location = 0;
    p.ReadU64(id).ReadU8(online).ReadU16(location);
    if (p.IsBad()) return Malformed(p);
    {
        platform::ScopedLock lock(listLock);
        for (FriendEntry& f : friends)
            if (f.playerId == id) {
                f.online = online;
                f.location = location;
            }
        for (ClanMember& m : clanMembers)
            if (m.playerId == id) m.online = online;
    }
    ++listVersion;
    return HandlerResult::Consumed;
}

HandlerResult GameSession::OnFriendRequest(Packet& p) {
    FriendEntry f;
    p.ReadU64(f.playerId).ReadString(f.nickname);
    if (p.IsBad()) return Malformed(p);
    {
        platform::ScopedLock lock(listLock);
        if (friendRequests.size() < kMaxListEntries) friendRequests.push_back(std::move(f));
    }
    ++listVersion;
    return HandlerResult::Consumed;
}

HandlerResult GameSession::OnClanMemberList(Packet& p) {
    const std::uint8_t count = p.U8();
    std::vector<ClanMember> list;
    for (int i = 0; i < count && !p.IsBad(); ++i) {
        ClanMember m;
        p.ReadU64(m.playerId).ReadU8(m.grade).ReadU8(m.online).ReadString(m.nickname);
        list.push_back(std::move(m));
    }
    if (p.IsBad()) return Malformed(p);
    {
        platform::ScopedLock lock(listLock);
        clanMembers = std::move(list);
    }
    ++listVersion;
    return HandlerResult::Consumed;
}

void GameSession::AddConversationLine(ChatMessage line) {
    {
        platform::ScopedLock lock(dataLock_);
        constexpr std::size_t kKeptWhispers = 100;
        if (whispers_.size() >= kKeptWhispers) whispers_.erase(whispers_.begin());
        whispers_.push_back(std::move(line));
        ++conversationLines;
    }
    ++listVersion;
}

HandlerResult GameSession::OnWhisper(Packet& p) {
    ChatMessage m;
    p.ReadString(m.sender).ReadString(m.text);
    if (p.IsBad()) return Malformed(p);
    AddConversationLine(std::move(m));
    return HandlerResult::Consumed;
}

HandlerResult GameSession::OnMessengerNotice(Packet& p) {
    ChatMessage m;
    m.kind = ChatMessage::Kind::Notice;
    const std::uint8_t notice = p.U8();
    p.ReadString(m.sender);
    if (p.IsBad()) return Malformed(p);
    if (notice < static_cast<std::uint8_t>(MessengerNotice::NoSuchPlayer) ||
        notice > static_cast<std::uint8_t>(MessengerNotice::AlreadyFriends))
        return Malformed(p);
    m.notice = static_cast<MessengerNotice>(notice);
    AddConversationLine(std::move(m));
    return HandlerResult::Consumed;
}

HandlerResult GameSession::OnInvitation(Packet& p) {
    RoomInvitation inv;
    p.ReadU16(inv.roomNumber).ReadString(inv.sender).ReadString(inv.title);
    if (p.IsBad()) return Malformed(p);
    {
        platform::ScopedLock lock(dataLock_);
        constexpr std::size_t kKeptInvitations = 20;
        if (invitations_.size() >= kKeptInvitations) invitations_.erase(invitations_.begin());
        invitations_.push_back(std::move(inv));
    }
    ++listVersion;
    return HandlerResult::Consumed;
}

HandlerResult GameSession::OnItemList(Packet& p) {
    // u8 count, per entry: u64 serial, u32 item id, u32 type, u8 kind, u8 state, u8 personal, u8 usage,
    // u32 initial, u32 remaining, u64 upgrade, 5 x u8 performance, 5 x u16 parts, str expiry, str cue name.
    const std::uint8_t count = p.U8();
    std::vector<ItemEntry> read(count);
    for (ItemEntry& e : read) {
        p.ReadU64(e.serial).ReadU32(e.itemId).ReadU32(e.type).ReadU8(e.kind).ReadU8(e.state).ReadU8(
            e.personal);
        p.ReadU8(e.usageKind).ReadI32(e.initialValue).ReadI32(e.remainingValue).ReadU64(e.upgradeValue);
        for (auto& v : e.performance) p.ReadU8(v);
        for (auto& v : e.parts) p.ReadU16(v);
        p.ReadString(e.expiry).ReadString(e.cueName);
        if (p.IsBad()) return Malformed(p);
    }
    // Server entries replace the own list; the built-in entries (serials 0..9) stay.
    std::vector<ItemEntry*> keep;
    own.ReleaseItems([&](ItemEntry* e) {
        if (e->serial <= kLastBuiltInSerial)
            keep.push_back(e);
        else
            FreeItemEntry(e);
    });
    for (ItemEntry* e : keep) own.AddItem(e->serial, e);
    for (ItemEntry& r : read) {
        if (r.serial <= kLastBuiltInSerial) continue;
        ItemEntry* e = own.FindItem(r.serial);
        const bool fresh = e == nullptr;
        if (fresh && !(e = AllocItemEntry())) break;
        const std::uint64_t serial = r.serial;
        *e = std::move(r);
        if (fresh && !own.AddItem(serial, e)) FreeItemEntry(e);
    }
    ++listVersion;
    return HandlerResult::Consumed;
}

HandlerResult GameSession::OnMoneyUpdate(Packet& p) {
    std::int64_t money = 0;
    std::uint32_t cash = 0;
    p.ReadI64(money).ReadU32(cash);
    if (p.IsBad()) return Malformed(p);
    own.money = money;
    own.cash = cash;
    ++listVersion;
    return HandlerResult::Consumed;
}

}  // namespace net

// The test server's messenger: friend requests by nickname (166) go to the player asked (183), now
// or at his next sign-in; an accepted one makes both friends, and each side's friend list (181) is
// sent again whenever a friend signs in or goes. Whispers (189) reach a player online who accepts
// them as 185. What cannot be done is answered with 190. The shot gallery's recommendation (255) is
// paid with the account's stickers and answered with 256. A profile request (210, "View Info" in a room)
// is answered with what the server keeps of the player named (211).
#include <algorithm>
#include <optional>
#include <tuple>

#include "tests/e2e/server/ServerState.h"

namespace testserver {

namespace {

enum : std::uint16_t {
    kProfileRequest = 210,
    kProfileReply = 211,
    kPlayerRequest = 166,
    kFriendList = 181,
    kFriendRequest = 183,
    kWhisper = 185,
    kWhisperSend = 189,
    kMessengerNotice = 190,
    kShotReply = 255,
    kShotReplyResult = 256,
};

enum : std::uint8_t { kAsk = 1, kAccept = 2, kRefuse = 3 };
enum : std::uint8_t {
    kNoSuchPlayer = 1,
    kNotOnline = 2,
    kRefusesWhispers = 3,
    kRequestRefused = 4,
    kAlreadyFriends = 5
};

constexpr std::size_t kMaxFriends = 100;
constexpr std::size_t kMaxReplyUnits = 30;

bool Holds(const std::vector<std::u16string>& list, const std::u16string& id) {
    return std::find(list.begin(), list.end(), id) != list.end();
}

void Drop(std::vector<std::u16string>& list, const std::u16string& id) {
    list.erase(std::remove(list.begin(), list.end(), id), list.end());
}

Bytes Notice(std::uint8_t notice, const std::u16string& nickname) {
    Writer w;
    w.u8(notice).str(nickname);
    return EncodeFrame(kMessengerNotice, w.bytes());
}

// The player id the server gives a connection (as in the sign-in's account block); 0 offline.
template <typename C>
std::uint64_t PlayerId(const C* online) {
    return online ? static_cast<std::uint64_t>(online->index) + 1 : 0;
}

// 211 for a player found: his id, nickname, level 1 and no experience, his gold, no clan, no average
// and no portrait, and no record of games (the server keeps none, as the sign-in's account shows).
Bytes Profile(std::uint64_t id, const std::u16string& nickname, std::int64_t gold) {
    Writer w;
    w.u8(1).u64(id).str(nickname).u16(1).u32(0).u64(static_cast<std::uint64_t>(gold));
    w.str(u"").u8(0).u32(0).u8(0).u8(0);
    return EncodeFrame(kProfileReply, w.bytes());
}

}  // namespace

bool TestGameServer::HandleMessenger(Client& c, const Frame& f) {
    if (f.id != kPlayerRequest && f.id != kWhisperSend && f.id != kShotReply && f.id != kProfileRequest)
        return false;
    Reader r(f.body);
    std::vector<std::pair<Client*, Bytes>> out;
    std::vector<std::u16string> listsToSend;
    std::optional<std::tuple<std::uint32_t, std::u16string, int, std::u16string>> reply;
    {
        std::lock_guard lock(mutex_);
        Account* self = FindAccount(c.loginId);
        if (!self || c.nickname.empty()) return true;
        switch (f.id) {
            case kPlayerRequest: {
                const std::uint8_t kind = r.u8();
                r.u64();  // the player id: the test server goes by nickname
                const std::u16string nickname = r.str();
                if (!r.ok) return true;
                Account* other = FindAccountByNickname(nickname);
                if (kind == kAsk) {
                    if (!other) {
                        out.emplace_back(&c, Notice(kNoSuchPlayer, nickname));
                    } else if (Holds(self->friends, other->loginId)) {
                        out.emplace_back(&c, Notice(kAlreadyFriends, nickname));
                    } else if (other != self && !Holds(other->askers, self->loginId) &&
                               other->askers.size() < kMaxFriends) {
                        other->askers.push_back(self->loginId);
                        if (Client* to = OnlineClient(other->loginId)) {
                            Writer w;
                            w.u64(PlayerId(&c)).str(c.nickname);
                            out.emplace_back(to, EncodeFrame(kFriendRequest, w.bytes()));
                        }
                    }
                } else if ((kind == kAccept || kind == kRefuse) && other &&
                           Holds(self->askers, other->loginId)) {
                    Drop(self->askers, other->loginId);
                    if (kind == kAccept && self->friends.size() < kMaxFriends &&
                        other->friends.size() < kMaxFriends) {
                        self->friends.push_back(other->loginId);
                        other->friends.push_back(self->loginId);
                        listsToSend = {self->loginId, other->loginId};
                    } else if (kind == kRefuse) {
                        if (Client* to = OnlineClient(other->loginId))
                            out.emplace_back(to, Notice(kRequestRefused, c.nickname));
                    }
                }
                break;
            }
            case kProfileRequest: {
                r.u8();  // 255: a player's profile
                const std::uint64_t id = r.u64();
                const std::u16string nickname = r.str();
                if (!r.ok) return true;
                const Account* other = FindAccountByNickname(nickname);
                const Client* online = other ? OnlineClient(other->loginId) : nullptr;
                if (other)
                    out.emplace_back(&c,
                                     Profile(online ? PlayerId(online) : id, other->nickname,
                                             std::max<std::int64_t>(0, shop_.Account(other->loginId).money)));
                else
                    out.emplace_back(&c, EncodeFrame(kProfileReply, {0}));
                break;
            }
            case kWhisperSend: {
                const std::u16string nickname = r.str();
                const std::u16string text = r.str();
                if (!r.ok || text.empty()) return true;
                const Account* other = FindAccountByNickname(nickname);
                Client* to = other ? OnlineClient(other->loginId) : nullptr;
                if (!other) {
                    out.emplace_back(&c, Notice(kNoSuchPlayer, nickname));
                } else if (!to) {
                    out.emplace_back(&c, Notice(kNotOnline, nickname));
                } else if (!(other->optionFlags & 2)) {
                    out.emplace_back(&c, Notice(kRefusesWhispers, nickname));
                } else {
                    Writer w;
                    w.str(c.nickname).str(text);
                    out.emplace_back(to, EncodeFrame(kWhisper, w.bytes()));
                }
                break;
            }
            default: {
                const std::uint32_t seq = r.u32();
                const std::uint8_t points = r.u8();
                std::u16string text = r.str();
                if (!r.ok || points > 10) return true;
                // Result 1: not enough stickers; the recommendation is not taken.
                const bool paid = points <= self->stickers;
                if (paid) {
                    self->stickers = static_cast<std::uint16_t>(self->stickers - points);
                    if (text.size() > kMaxReplyUnits) text.resize(kMaxReplyUnits);
                    reply.emplace(seq, c.nickname, points, std::move(text));
                }
                Writer w;
                w.u8(paid ? 0 : 1);
                out.emplace_back(&c, EncodeFrame(kShotReplyResult, w.bytes()));
                break;
            }
        }
    }
    // The gallery takes the recommendation before the player hears of it, so his reload shows it.
    if (reply && options_.onShotReply)
        options_.onShotReply(std::get<0>(*reply), std::get<1>(*reply), std::get<2>(*reply),
                             std::get<3>(*reply));
    for (auto& [to, bytes] : out) Write(*to, std::move(bytes), true, &c);
    for (const std::u16string& id : listsToSend) SendFriendLists(id);
    return true;
}

void TestGameServer::SendFriendLists(const std::u16string& loginId) {
    std::vector<std::pair<Client*, Bytes>> out;
    {
        std::lock_guard lock(mutex_);
        const Account* account = FindAccount(loginId);
        if (!account) return;
        // The account's own list, then the lists of its friends online, which show it.
        std::vector<const Account*> owners{account};
        for (const std::u16string& id : account->friends)
            if (const Account* f = FindAccount(id)) owners.push_back(f);
        for (const Account* owner : owners) {
            Client* to = OnlineClient(owner->loginId);
            if (!to) continue;
            Writer w;
            w.u8(static_cast<std::uint8_t>(std::min(owner->friends.size(), kMaxFriends)));
            std::size_t written = 0;
            for (const std::u16string& id : owner->friends) {
                if (written++ == kMaxFriends) break;
                const Account* f = FindAccount(id);
                const Client* online = OnlineClient(id);
                w.u64(PlayerId(online))
                    .u8(online ? 1 : 0)
                    .u16(online && online->room >= 0 ? 1 : 0)
                    .str(f ? f->nickname : std::u16string());
            }
            out.emplace_back(to, EncodeFrame(kFriendList, w.bytes()));
        }
    }
    for (auto& [to, bytes] : out) Write(*to, std::move(bytes), true);
}

void TestGameServer::SendWaitingRequests(Client& c) {
    std::vector<Bytes> out;
    {
        std::lock_guard lock(mutex_);
        const Account* account = FindAccount(c.loginId);
        if (!account || c.nickname.empty()) return;
        for (const std::u16string& id : account->askers) {
            const Account* asker = FindAccount(id);
            if (!asker) continue;
            const Client* online = OnlineClient(id);
            Writer w;
            w.u64(PlayerId(online)).str(asker->nickname);
            out.push_back(EncodeFrame(kFriendRequest, w.bytes()));
        }
    }
    for (Bytes& bytes : out) Write(c, std::move(bytes), true);
}

}  // namespace testserver

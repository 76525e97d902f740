// The room's messages that open popups or answer the player's requests: room bans and their
// cancellation, the opponent's game request, the withdraw offer, the invite list, a player profile,
// and the chat commands that ask the server to lift a ban. Handlers run on the dispatch thread and
// hand widget work to the main thread.
#include <memory>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/CommonDialogs.h"
#include "gui/PlayerInfoWindows.h"
#include "net/ChatCommand.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/SceneRoomGame.h"

namespace scenes {

using namespace room;

namespace {

constexpr std::uint8_t kRoomBan = 24, kChatBan = 25;
constexpr std::uint8_t kInvalidGame = 1, kWithdrawal = 2;

}  // namespace

void SceneRoomGame::OnBannedFromRoom(net::Packet& p) {
    const std::uint8_t result = p.U8();
    if (p.IsBad()) return;
    if (result != 0) {
        RunOnMainThread([this] {
            if (Host()) Host()->ShowError(this, u"A player playing in the game cannot be banned.");
        });
        return;
    }
    const WString name = p.Str();
    if (p.IsBad()) return;
    AddChatLine(Format(u"%s %s", name, WString(u"has been banned.")), colour::kRed);
    if (ownSeat_.load() == masterSeat_.load())
        AddChatLine(u"Enter '/unban nickname' to cancel.", colour::kRed);
}

void SceneRoomGame::OnBanResult(net::Packet& p) {
    const std::uint8_t kind = p.U8();
    const std::uint8_t result = p.U8();
    p.Str();
    if (p.IsBad()) return;
    if (kind == kRoomBan)
        AddChatLine(result == 1 ? u"Ban is cancelled." : u"The user is not banned from this room.",
                    colour::kRed);
    else if (kind == kChatBan)
        AddChatLine(result == 0   ? u"Chatting ban has been removed."
                    : result == 1 ? u"Not a banned user."
                                  : u"Cancellation is not allowed if the user has not logged on.",
                    colour::kRed);
}

void SceneRoomGame::OnGameRequest(net::Packet& p) {
    const WString name = p.Str();
    const std::uint8_t kind = p.U8();
    if (p.IsBad() || (kind != kInvalidGame && kind != kWithdrawal)) return;
    RunOnMainThread([this, name, kind] {
        if (!answerDialog_) return;
        answerDialog_->SetRequest(name, kind);
        answerDialog_->Open();
    });
}

void SceneRoomGame::OnWithdrawOffer(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint8_t value = p.U8();
    if (p.IsBad() || !SeatValid(seat)) {
        LogWrite(u"ERROR : room message 2039 dropped: seat %d\n", static_cast<int>(seat));
        return;
    }
    const RoomSeat s = SeatCopy(seat);
    if (s.occupied) Hud().ShowWithdrawQuestion(s.record, value);
}

void SceneRoomGame::OnInviteList(net::Packet& p) {
    Hud().FillInviteList(p);
}

void SceneRoomGame::OnMessage2002(net::Packet& p) {
    p.Skip(6);
}

void SceneRoomGame::OnProfileReply(net::Packet& p) {
    const std::uint8_t found = p.U8();
    if (p.IsBad() || found == 0) return;
    // The window reads its profile on the main thread, from a copy of the rest of the message.
    std::vector<std::uint8_t> rest(p.Remaining());
    p.ReadBytes(rest.data(), rest.size());
    auto copy = std::make_shared<net::Packet>();
    copy->Init(room::Id(RoomMsg::ProfileReply));
    copy->WriteBytes(rest.data(), rest.size());
    copy->Finish();
    copy->Rewind();
    const int gameType = World() ? World()->GameType() : RoomCopy().gameType;
    RunOnMainThread([this, copy, gameType] {
        gui::UserInfoWindow* window = Host() ? Host()->GetUserInfoWindow() : nullptr;
        if (!window) return;
        window->gameType = gameType;
        if (window->ReadProfile(*copy))
            window->Show(true);
        else
            LogWrite(u"ERROR : room message 211 dropped: bad profile\n");
    });
}

bool SceneRoomGame::SendChatCommand(const WString& text) {
    const std::optional<net::ChatCommand> command = net::ParseChatCommand(text);
    if (!command) return false;
    SendMessage(RoomMsg::BanCancel, [&](net::Packet& p) { net::WriteChatCommand(p, *command); });
    return true;
}

}  // namespace scenes

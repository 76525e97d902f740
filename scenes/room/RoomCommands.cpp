// The room's commands from the in-game menu, its dialogs and the keys: game requests and their
// answers, chat macros and reports of bad chat.
#include "engine/core/Format.h"
#include "gui/CommonDialogs.h"
#include "gui/GuiConstants.h"
#include "gui/PlayerInfoWindows.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/TableSceneUi.h"

namespace scenes {

using namespace room;

namespace {

constexpr std::uint8_t kInvalidGame = 1, kWithdrawal = 2;
constexpr std::uint8_t kAcceptedWithdrawal = 7, kAcceptedInvalidGame = 8;
constexpr const char16_t* kReportSeparator = u"\n";
constexpr const char16_t* kOnlyWhilePlaying = u"This feature is allowed when playing the game.";

}  // namespace

bool SceneRoomGame::HandleCommand(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    table::TableWorld* world = World();
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    const bool ownTurnFree = IsOwnTurn() && world && !world->ShotExecuting();
    switch (code) {
        case app_code::kGameRequest: {
            if (a != kInvalidGame && a != kWithdrawal) return true;
            bool playing = false, oneOnOne = false;
            {
                platform::ScopedLock lock(seatLock_);
                platform::ScopedLock roomLock(game_.lock);
                const int own = ownSeat_.load();
                playing = SeatValid(own) && seats_[own].record.game.playing != 0;
                oneOnOne = game_.teamCount == 2 && game_.membersPerTeam == 1;
            }
            if (!playing || !gameRunning_.load())
                ShowBox(kOnlyWhilePlaying);
            else if (!oneOnOne)
                ShowBox(u"This feature is only allowed in the 1:1 game.");
            else if (requestsRefused_[a].load() > 0)
                ShowBox(u"Only one request per game is allowed.");
            else if (!ownTurnFree)
                ShowBox(u"A request can only be made in your turn.");
            else {
                requestKind_ = static_cast<int>(a);
                if (requestDialog_) {
                    requestDialog_->SetKind(static_cast<int>(a));
                    requestDialog_->Open();
                }
            }
            return true;
        }
        case app_code::kRequestConfirmed:
            if (!ownTurnFree) {
                ShowBox(u"A request can only be made in your turn.");
                return true;
            }
            if (requestKind_.load() != 0) {
                if (waitNotice_) waitNotice_->Open();
                SendByte(RoomMsg::GameRequest, static_cast<std::uint8_t>(requestKind_.load()));
            }
            return true;
        case app_code::kRequestReply: {
            if (a == 0) enableToLobby_ = true;
            if (a == gui::button_id::kYes) leaveAfterGame_ = withdrawToLeave_.exchange(false);
            const std::uint8_t gameType = RoomCopy().gameType;
            SendByte(RoomMsg::RequestReply,
                     gameType == 2 || gameType == 5 ? static_cast<std::uint8_t>(b) : 1);
            return true;
        }
        case app_code::kRequestDeclined:
            SendByte(RoomMsg::RequestReply, 0);
            return true;
        case app_code::kShortcut:
            if (session && a < session->chatMacros.size() && !session->chatMacros[a].empty())
                SendChat(session->chatMacros[a], true, platform::NowMs());
            return true;
        case app_code::kReportOpen:
        case app_code::kReportPlayer: {
            if (session && session->own.IsChatBanned()) {
                ShowBox(u"Report function is now allowed when chatting is banned.");
                return true;
            }
            reportTarget_ = 0;
            if (reportDialog_) reportDialog_->Clear();
            if (code == app_code::kReportPlayer && SeatValid(static_cast<int>(a))) {
                const RoomSeat seat = SeatCopy(static_cast<int>(a));
                reportTarget_ = static_cast<std::uint32_t>(seat.record.playerId);
                if (reportDialog_) reportDialog_->SetPlayer(reportTarget_, seat.record.nickname);
            }
            if (reportDialog_) reportDialog_->Open();
            return true;
        }
        case app_code::kReportSend:
            // The report dialog's Yes carries the chosen player.
            if (a == gui::button_id::kYes && b != 0) reportTarget_ = static_cast<std::uint32_t>(b);
            SendReport();
            return true;
        case app_code::kWithdrawMenu:
            if (IsOwnSeatPlaying())
                PostToSelf(app_code::kWithdrawOpen, 1, 0);
            else
                ShowBox(kOnlyWhilePlaying);
            return true;
        case app_code::kWithdrawOpen:
            withdrawToLeave_ = false;
            if (!IsOwnSeatPlaying()) {
                ShowBox(kOnlyWhilePlaying);
            } else if (withdrawDialog_) {
                withdrawDialog_->SetPenalty(WithdrawPenaltyText(), WithdrawPenaltyFlag() ? 1 : 0);
                withdrawDialog_->Open();
            }
            return true;
        case app_code::kMyInfo:
            if (gui::MyInfoWindow* info = Host() ? Host()->GetMyInfoWindow() : nullptr) {
                info->gameType = RoomCopy().gameType;
                info->SetRecord(session ? &session->own : nullptr);
                info->Show(true);
            }
            return true;
        case app_code::kOptions:
            OpenOptionDialog(Host() ? Host()->GetOptionDialog() : nullptr, gameRunning_.load(),
                             IsOwnSeatPlaying());
            return true;
        case app_code::kControlOptions:
            if (world) world->ApplyControlOptions(CurrentOptions());
            return true;
        case app_code::kSend2076:
            if (IsOwnTurn())
                SendMessage(RoomMsg::Value2076,
                            [&](net::Packet& p) { p.WriteU16(static_cast<std::uint16_t>(a)); });
            return true;
        case app_code::kJoinGold:
            CheckJoinGold();
            return true;
        case app_code::kHelp:
            OpenHelp();
            return true;
        case app_code::kBackToLobby:
            // A player in a game stays: only the game's item effect values are dropped.
            if (!IsOwnSeatPlaying())
                LeaveRoom();
            else if (session)
                session->ResetItemEffectValues();
            return true;
        case app_code::kEnteringTime:
            enteredMs_ = platform::NowMs();
            return true;
        default:
            return false;
    }
}

void SceneRoomGame::SendReport() {
    WString text;
    {
        platform::ScopedLock lock(chatLock_);
        for (const WString& line : reportHistory_) text += line + kReportSeparator;
    }
    if (text.empty()) {
        if (Host()) Host()->ShowError(nullptr, u"No messages.");
        return;
    }
    if (text.size() > kReportChars) {
        text.resize(kReportChars);
        if (text.back() >= 0xD800 && text.back() < 0xDC00) text.pop_back();  // never half a character
    }
    const std::uint32_t target = reportTarget_;
    // The report and the name of the reported player leave together.
    SendMessage(RoomMsg::Report, [&](net::Packet& p) {
        p.WriteU32(target).WriteString(text);
        p.BeginNextMessage(room::Id(RoomMsg::ReportTarget));
        p.WriteU32(target);
    });
    ShowBox(u"Your report has been sent.", u"Opponent's messages will be blocked.");
}

void SceneRoomGame::PostToSelf(std::uint32_t code, std::uint32_t a, std::uint32_t b) {
    if (Host()) Host()->PostUiMessage(code, a, b, 0);
}

WString SceneRoomGame::WithdrawPenaltyText() {
    const std::uint8_t gameType = RoomCopy().gameType;
    return gameType == 2 || gameType == 5 ? u"Your fee and bet are lost when you withdraw."
                                          : u"A withdrawal counts as a lost game.";
}

// In the gamble games a withdrawal costs the stake once the game is under way: on the own turn when
// the first team is at the table after a shot or a later team (not the last) is; on another's turn
// unless the first team is at the table with at most one shot made.
bool SceneRoomGame::WithdrawPenaltyFlag() {
    const std::uint8_t gameType = RoomCopy().gameType;
    if (gameType != 2 && gameType != 5) return false;
    int team = -1, teams = 0;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        team = game_.currentTeam;
        teams = game_.teamCount;
    }
    const std::uint32_t shots = shotCount_.load();
    if (IsOwnTurn()) return (team == 0 && shots >= 1) || (team > 0 && team < teams - 1);
    return !(team == 0 && shots <= 1);
}

void SceneRoomGame::OnRequestAnswer(net::Packet& p) {
    const std::uint8_t accepted = p.U8();
    const std::uint8_t kind = p.U8();
    if (p.IsBad() || (kind != kInvalidGame && kind != kWithdrawal)) return;
    hideWaitNotice_ = true;
    if (accepted) {
        SendByte(RoomMsg::RequestReply, kind == kWithdrawal ? kAcceptedWithdrawal : kAcceptedInvalidGame);
    } else {
        ShowBox(u"The opponent didn't accept the request.");
        ++requestsRefused_[kind];
    }
}

}  // namespace scenes

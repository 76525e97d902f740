#include "gui/CommonDialogs.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/GameTypeName.h"

namespace gui {

namespace {
constexpr int kWidth = 340, kHeight = 170;
constexpr int kNoticeHeight = 110;
}  // namespace

InProgressNotice::InProgressNotice() : MessageDialog(u"Notice", kWidth, kNoticeHeight) {
    SetLine(0, u"In progress. Please wait a moment.");
    SetSounds(0, 0);
}

WaitResponseNotice::WaitResponseNotice() : MessageDialog(u"Notice", kWidth, kNoticeHeight) {
    SetLine(0, u"Waiting for the opponent's answer.");
    SetSounds(0, 0);
}

FunctionNotUsableNotice::FunctionNotUsableNotice() : MessageDialog(u"Notice", kWidth, kHeight) {
    SetLine(0, u"This function is not available here.");
    SetButtons(button_id::kOk, u"OK", 0, {});
}

NotEnoughGoldDialog::NotEnoughGoldDialog() : MessageDialog(u"Notice", kWidth, kHeight) {
    SetButtons(button_id::kOk, u"OK", 0, {});
}

void NotEnoughGoldDialog::SetShortfall(int gameType, std::int64_t shortfall) {
    SetLine(0, Format(u"You need more gold to play %s here.", GameTypeName(gameType)));
    SetLine(1, Format(u"Short by %s Gold.", FormatNumber(shortfall)));
}

QuitGameDialog::QuitGameDialog() : MessageDialog(u"Leave", kWidth, kHeight) {
    SetLine(0, u"Do you want to leave the game room?");
    SetButtons(button_id::kYes, u"Yes", button_id::kNo, u"No");
    SetResult(result_code::kLeaveRoom, 0);
}

WithdrawDialog::WithdrawDialog() : MessageDialog(u"Withdraw", kWidth, kHeight) {
    SetLine(0, u"Do you want to withdraw from the game?");
    SetButtons(button_id::kYes, u"Yes", button_id::kNo, u"No");
    SetResult(result_code::kWithdraw, 0);
}

void WithdrawDialog::SetPenalty(const WString& penalty, std::uint32_t flag) {
    SetLine(1, penalty);
    SetParam(flag);
}

GameRequestDialog::GameRequestDialog() : MessageDialog(u"Request", kWidth, kHeight) {
    SetButtons(button_id::kYes, u"Yes", button_id::kNo, u"No");
    SetResult(result_code::kGameRequest, 1);
    SetKind(1);
}

void GameRequestDialog::SetKind(int kind) {
    SetParam(static_cast<std::uint32_t>(kind));
    SetLine(0, kind == 2 ? u"Ask the opponent to accept your withdrawal?"
                         : u"Ask the opponent to call this game invalid?");
}

GameRequestAnswerDialog::GameRequestAnswerDialog() : MessageDialog(u"Request", kWidth, kHeight) {
    SetButtons(button_id::kYes, u"Yes", button_id::kNo, u"No");
    SetResult(result_code::kGameRequestAnswer, 0, true);
}

void GameRequestAnswerDialog::SetRequest(const WString& nickname, int kind) {
    SetParam(static_cast<std::uint32_t>(kind));
    SetLine(0,
            Format(kind == 2 ? u"%s asks to withdraw from the game." : u"%s asks to call this game invalid.",
                   nickname));
    SetLine(1, u"Do you accept?");
}

ReportBadDialog::ReportBadDialog() : MessageDialog(u"Report", kWidth, kHeight) {
    SetButtons(button_id::kYes, u"Report", button_id::kNo, u"Cancel");
    SetResult(result_code::kReportBad, 0);
    Clear();
}

void ReportBadDialog::Clear() {
    SetParam(0);
    SetLine(0, u"Choose a player in the player list");
    SetLine(1, u"to report bad language.");
    ConfirmButton()->SetEnabled(false);
}

void ReportBadDialog::SetPlayer(std::uint32_t playerId, const WString& nickname) {
    SetParam(playerId);
    SetLine(0, Format(u"Report %s for bad language?", nickname));
    SetLine(1, u"The recent chat is sent with the report.");
    ConfirmButton()->SetEnabled(true);
}

InviteDialog::InviteDialog() : MessageDialog(u"Invitation", kWidth, kHeight) {
    SetButtons(button_id::kYes, u"Join", button_id::kNo, u"Refuse");
    SetResult(result_code::kInviteAccepted, 0);
}

void InviteDialog::SetInvitation(const WString& nickname, std::uint32_t roomNumber, const WString& title,
                                 int gameType) {
    SetParam(roomNumber);
    SetLine(0, Format(u"%s invites you to room %u.", nickname, roomNumber));
    SetLine(1, title);
    SetLine(2, gameType < 0 ? WString(u"Do you want to join?")
                            : Format(u"[%s] Do you want to join?", GameTypeName(gameType)));
}

}  // namespace gui

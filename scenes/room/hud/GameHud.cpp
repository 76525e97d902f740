#include "scenes/room/hud/GameHud.h"

#include "scenes/room/hud/GameMenuWidgets.h"

namespace scenes::hud {

namespace {
// What answers a call nobody else takes.
RoomHud& Silent() {
    static RoomHud silent;
    return silent;
}
}  // namespace

GameHud::GameHud(ScoreBoard* scoreBoard, WithdrawQuestion* withdraw, OneHourLimitNotice* hourLimit,
                 RoomHud* next)
    : scoreBoard_(scoreBoard), withdraw_(withdraw), hourLimit_(hourLimit), next_(next ? next : &Silent()) {}

void GameHud::SetUpScoreBoard(int count, const std::array<std::uint8_t, 4>& values, bool tournament) {
    if (scoreBoard_) scoreBoard_->ResetForGame();
    next_->SetUpScoreBoard(count, values, tournament);
}

void GameHud::ShowWithdrawQuestion(const net::PlayerRecord& record, int turns) {
    if (!withdraw_) return next_->ShowWithdrawQuestion(record, turns);
    withdraw_->SetPlayer(record, turns);
    withdraw_->Show(true);
}

void GameHud::ShowOneHourNotice() {
    if (!hourLimit_) return next_->ShowOneHourNotice();
    hourLimit_->Show(true);
}

}  // namespace scenes::hud

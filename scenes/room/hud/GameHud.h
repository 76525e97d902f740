#pragma once
// The room's HUD calls answered by this HUD's widgets: the score board set up for a game, the
// withdraw question and the one-hour notice. The calls it does not answer, and the score board's
// set-up as well, go on to the HUD installed before it, so other widgets can take them.

#include "scenes/room/RoomHud.h"

namespace scenes::hud {

class OneHourLimitNotice;
class ScoreBoard;
class WithdrawQuestion;

class GameHud : public RoomHud {
public:
    GameHud(ScoreBoard* scoreBoard, WithdrawQuestion* withdraw, OneHourLimitNotice* hourLimit, RoomHud* next);

    void SetUpScoreBoard(int count, const std::array<std::uint8_t, 4>& values, bool tournament) override;
    void UpdateScores(const RoomScoreUpdate& update) override { next_->UpdateScores(update); }
    void ShowWithdrawQuestion(const net::PlayerRecord& record, int turns) override;
    void FillInviteList(net::Packet& packet) override { next_->FillInviteList(packet); }
    void ShowOneHourNotice() override;
    void ShowGameResult(int mode, const std::vector<RoomResultRow>& rows) override {
        next_->ShowGameResult(mode, rows);
    }
    void ShowRankResult(std::uint16_t rank, std::uint16_t a, std::uint16_t b) override {
        next_->ShowRankResult(rank, a, b);
    }

private:
    ScoreBoard* scoreBoard_;
    WithdrawQuestion* withdraw_;
    OneHourLimitNotice* hourLimit_;
    RoomHud* next_;
};

}  // namespace scenes::hud

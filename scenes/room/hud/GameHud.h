#pragma once
// The room's HUD calls answered by this HUD's widgets: the score board set up for a game, the
// withdraw question, the one-hour notice and the game result list. The calls it does not answer, and the
// score board's set-up as well, go on to the HUD installed before it, so other widgets can take them.

#include <functional>

#include "engine/core/Text.h"
#include "scenes/room/RoomHud.h"

namespace scenes::hud {

class GameResultList;
class OneHourLimitNotice;
class ScoreBoard;
class WithdrawQuestion;

class GameHud : public RoomHud {
public:
    GameHud(ScoreBoard* scoreBoard, WithdrawQuestion* withdraw, OneHourLimitNotice* hourLimit, RoomHud* next);

    // A seat's nickname and level as the result list shows them; false for an empty seat.
    using SeatLookup = std::function<bool(int seat, WString& name, int& level)>;
    void SetResultList(GameResultList* list, SeatLookup lookup) {
        resultList_ = list;
        lookup_ = std::move(lookup);
    }

    void SetUpScoreBoard(int count, const std::array<std::uint8_t, 4>& values, bool tournament) override;
    void UpdateScores(const RoomScoreUpdate& update) override { next_->UpdateScores(update); }
    void ShowWithdrawQuestion(const net::PlayerRecord& record, int turns) override;
    void FillInviteList(net::Packet& packet) override { next_->FillInviteList(packet); }
    void ShowOneHourNotice() override;
    // One row per member, teams in the order they come, members in the order of their team.
    void ShowGameResult(int mode, const std::vector<RoomResultRow>& rows) override;
    void ShowRankResult(std::uint16_t rank, std::uint16_t a, std::uint16_t b) override {
        next_->ShowRankResult(rank, a, b);
    }

private:
    ScoreBoard* scoreBoard_;
    WithdrawQuestion* withdraw_;
    OneHourLimitNotice* hourLimit_;
    RoomHud* next_;
    GameResultList* resultList_ = nullptr;
    SeatLookup lookup_;
};

}  // namespace scenes::hud

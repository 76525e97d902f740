#include "scenes/room/hud/GameHud.h"

#include <algorithm>

#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/ResultWidgets.h"

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

void GameHud::ShowGameResult(int mode, const std::vector<RoomResultRow>& rows) {
    if (resultList_ && !rows.empty()) {
        std::vector<std::uint8_t> slots;
        std::vector<int> counts;
        for (const RoomResultRow& row : rows) {
            const auto at = std::find(slots.begin(), slots.end(), row.teamSlot);
            if (at == slots.end()) {
                slots.push_back(row.teamSlot);
                counts.push_back(1);
            } else {
                ++counts[static_cast<std::size_t>(at - slots.begin())];
            }
        }
        const int perTeam = *std::max_element(counts.begin(), counts.end());
        resultList_->SetLayout(static_cast<int>(slots.size()), perTeam);
        std::vector<int> filled(slots.size(), 0);
        for (const RoomResultRow& row : rows) {
            const auto team =
                static_cast<std::size_t>(std::find(slots.begin(), slots.end(), row.teamSlot) - slots.begin());
            WString name;
            int level = 0;
            if (lookup_) lookup_(row.seat, name, level);
            // The first value is the game's points, sent unsigned; a loss comes as its two's complement.
            resultList_->SetRow(static_cast<int>(team), filled[team]++, name, row.teamResult,
                                static_cast<std::int32_t>(row.first), row.money, level);
        }
        resultList_->SetFeeRate(0);
        resultList_->Show(true);
    }
    next_->ShowGameResult(mode, rows);
}

void GameHud::ShowOneHourNotice() {
    if (!hourLimit_) return next_->ShowOneHourNotice();
    hourLimit_->Show(true);
}

}  // namespace scenes::hud

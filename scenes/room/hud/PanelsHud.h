#pragma once
// The room's HUD calls answered by the status panels' half of the HUD: the invite list's candidates
// and the rank result window. The other calls go on to the HUD installed before it.

#include "scenes/room/RoomHud.h"

namespace scenes::hud {

class InviteListDialog;
class RankResultWindow;

class PanelsHud : public RoomHud {
public:
    PanelsHud(InviteListDialog* inviteList, RankResultWindow* rankWindow, RoomHud* next)
        : inviteList_(inviteList), rankWindow_(rankWindow), next_(next) {}

    void SetUpScoreBoard(int count, const std::array<std::uint8_t, 4>& values, bool tournament) override {
        next_->SetUpScoreBoard(count, values, tournament);
    }
    void UpdateScores(const RoomScoreUpdate& update) override { next_->UpdateScores(update); }
    void ShowWithdrawQuestion(const net::PlayerRecord& record, int turns) override {
        next_->ShowWithdrawQuestion(record, turns);
    }
    void FillInviteList(net::Packet& packet) override;
    void ShowOneHourNotice() override { next_->ShowOneHourNotice(); }
    void ShowGameResult(int mode, const std::vector<RoomResultRow>& rows) override {
        next_->ShowGameResult(mode, rows);
    }
    // The rank is the first value; the window opens with it.
    void ShowRankResult(std::uint16_t rank, std::uint16_t a, std::uint16_t b) override;

private:
    InviteListDialog* inviteList_;
    RankResultWindow* rankWindow_;
    RoomHud* next_;
};

}  // namespace scenes::hud

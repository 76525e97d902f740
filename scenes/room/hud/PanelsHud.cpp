#include "scenes/room/hud/PanelsHud.h"

#include "scenes/room/hud/InviteList.h"
#include "scenes/room/hud/ResultWindows.h"

namespace scenes::hud {

void PanelsHud::FillInviteList(net::Packet& packet) {
    if (inviteList_) inviteList_->FillFromPacket(packet);
}

void PanelsHud::ShowRankResult(std::uint16_t rank, std::uint16_t a, std::uint16_t b) {
    if (!rankWindow_) {
        next_->ShowRankResult(rank, a, b);
        return;
    }
    rankWindow_->SetRank(rank);
    // Shown again when it already was: the text follows the newest rank.
    rankWindow_->Show(false);
    rankWindow_->Show(true);
}

}  // namespace scenes::hud

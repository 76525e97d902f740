// The game room's status panels, result windows, replay panel and invite list: their creation, the
// messages that feed them and the application messages they post back.
#include <algorithm>
#include <utility>

#include "engine/core/Log.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/ResourcePackage.h"
#include "engine/sound/SoundManager.h"
#include "gui/CommonDialogs.h"
#include "gui/UiResourceSet.h"
#include "gui/WidgetRouter.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/HelpWindow.h"
#include "scenes/front/RoomOptionDialog.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/EffectPanel.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/InviteList.h"
#include "scenes/room/hud/PanelsHud.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/ReplayControlPanel.h"
#include "scenes/room/hud/ResultWidgets.h"
#include "scenes/room/hud/ResultWindows.h"
#include "scenes/room/hud/RoomStatusPanels.h"

namespace scenes {

using namespace room;

namespace {
constexpr std::uint32_t kReplayKey = 'R';
constexpr int kTurnLabelHalfWidth = 60;
// The right column, top down: the corner buttons end 38 pixels down; the room status panel stands
// under them, the score board (its button hangs under its picture) under that, then the key guide and
// the player list, each 4 pixels below the one above. The replay panel stands left of the column.
constexpr int kStatusPanelTop = 40;
constexpr int kCornerButtonsBottom = 38, kScoreBoardTop = 80, kScoreBoardHeight = 121, kGuideTop = 100;
constexpr int kPanelGap = 4;
constexpr int kListHeaderTop = 30;  // the player list's header picture, under its match line
}  // namespace

void SceneRoomGame::CreateHudPanels() {
    SceneHost* host = Host();
    statusPanel_ = Make<hud::RoomStatusPanel>();
    statusPanel_->Create(0, 0);
    statusPanel_->SetAnchor(gui::AnchorH::Right, -180, gui::AnchorV::Top, kStatusPanelTop);
    statusPanel_->Show(true);
    replayPanel_ = Make<hud::ReplayControlPanel>(host);
    replayPanel_->Create();
    replayPanel_->SetAnchor(gui::AnchorH::Right, hud::ReplayControlPanel::kNormalAnchor, gui::AnchorV::None,
                            0);
    seatInfo_ = Make<hud::SeatInfoPanel>();
    seatInfo_->Create(0, 0);
    seatInfo_->SetAnchor(gui::AnchorH::Center, -336, gui::AnchorV::Top, 42);
    seatInfo_->playSound = [this](int id, float) { PlaySound(id); };
    seatInfo_->SetVisible(false);
    inviteList_ = Make<hud::InviteListDialog>(host);
    inviteList_->Create();
    inviteList_->SetSender([this](net::Packet& p) { SendPacket(p); });
    rankWindow_ = Make<hud::RankResultWindow>();
    rankWindow_->Create();
    levelUpWindow_ = Make<hud::LevelUpWindow>(host, &Record());
    levelUpWindow_->Create();
    jackpotBanner_ = Make<hud::JackpotBanner>();
    jackpotBanner_->Create(0, 0);
    jackpotBanner_->SetAnchor(gui::AnchorH::Center, -64, gui::AnchorV::Top, 120);
    for (hud::TurnTimer*& label : turnTimers_) {
        label = Make<hud::TurnTimer>();
        label->Create(0, 0);
        label->SetVisible(false);
    }
    panelsHud_ = std::make_unique<hud::PanelsHud>(inviteList_, rankWindow_, &Hud());
    SetHud(panelsHud_.get());
}

void SceneRoomGame::CreateReplayWorld(RenderDevice* renderer, ResourceManager* resources,
                                      const net::RoomInfo& room) {
    if (replayPanel_) replayPanel_->CreateWorld(renderer, resources, room, CurrentOptions());
}

void SceneRoomGame::ResetHudPanels() {
    for (hud::TurnTimer* label : turnTimers_)
        if (label) label->SetVisible(false);
    if (replayPanel_) replayPanel_->Show(false);
    pendingLevelUp_ = false;
    // The widgets live as long as the scene: what the last room left open (the result of its last
    // game, a question, a menu) would otherwise greet the player in the next room.
    gui::Widget* const leftOpen[] = {resultList_,     groupNotice_,   withdrawQuestion_, hourLimitNotice_,
                                     inGameMenu_,     rankWindow_,    levelUpWindow_,    inviteList_,
                                     jackpotBanner_,  requestDialog_, answerDialog_,     waitNotice_,
                                     withdrawDialog_, reportDialog_,  goldDialog_,       roomOptions_,
                                     Help(),          gains_[0],      gains_[1]};
    for (gui::Widget* widget : leftOpen)
        if (widget) widget->Show(false);
}

void SceneRoomGame::CreateEffectPanel(ResourceManager* resources) {
    // The "Effect" group of the UI package in the language in use.
    const gui::UiResourceSet* sets = gui::UiResourceSet::Current();
    ResourcePackage* ui =
        resources ? resources->OpenPackage(sets ? sets->Folder() : WString(u"UIEn")) : nullptr;
    const ResourceGroup* group = ui ? ui->FindOrLoadGroup(u"Effect", true) : nullptr;
    if (resources && !group) LogWrite(u"ERROR : the group Effect of the game room is missing\n");
    effects_ = std::make_unique<hud::EffectPanel>(group);
}

void SceneRoomGame::LeaveHudPanels() {
    // The player's menus (of a player in the list, the in-game menu) close with the room.
    gui::WidgetRouter::ClosePopups(*this, nullptr);
    effects_.reset();
    if (replayPanel_) {
        replayPanel_->Show(false);
        replayPanel_->DestroyWorld();
    }
}

void SceneRoomGame::UpdateHudPanels() {
    // A hidden panel's world stands still (hiding flips its running flag, so a paused replay would
    // otherwise play on unseen).
    if (replayPanel_ && replayPanel_->IsVisible()) replayPanel_->Update(tick_, 0, 0);
}

void SceneRoomGame::PlayEffect(hud::GameAni ani) {
    if (effects_) effects_->Play(ani, platform::NowMs());
}

int SceneRoomGame::PlayResultSound(int highRunPoints, int resultKind, int resultCode) {
    table::TableWorld* world = World();
    const int answer = world ? world->Rules().PickResultSound(highRunPoints, resultKind, resultCode) : 0;
    if (answer == 1) {
        PlayEffect(hud::GameAni::Result);
        PlaySound(sound::kResult);
    }
    return answer;
}

void SceneRoomGame::QueueLevelUp() {
    pendingLevelUp_ = true;
}

void SceneRoomGame::QueueTurnLabel(int seat, float x, float y) {
    if (!SeatValid(seat)) return;
    platform::ScopedLock lock(chatLock_);
    pendingTurnLabels_.push_back({seat, x, y});
}

void SceneRoomGame::StackRightColumn() {
    if (!statusPanel_ || !keyGuide_ || !replayPanel_ || !playerMenu_) return;
    int bottom = kCornerButtonsBottom;
    for (const gui::Widget* image : {statusPanel_->AmountImage(), statusPanel_->RuleImage()})
        if (image->IsVisible()) bottom = std::max(bottom, image->ScreenY() + image->Height());
    if (scoreBoard_ && scoreBoard_->IsVisible()) {
        scoreBoard_->MoveTo(scoreBoard_->X(), std::max(kScoreBoardTop, bottom + kPanelGap));
        bottom = scoreBoard_->Y() + kScoreBoardHeight;
    }
    const int guideTop = std::max(kGuideTop, bottom + kPanelGap);
    keyGuide_->MoveTo(keyGuide_->X(), guideTop);
    // The key guide gives way where a long player list reaches up to it.
    const gui::Widget* match = playerMenu_->MatchLabel();
    const int listTop = playerMenu_->Y() + (match && match->IsVisible() ? 0 : kListHeaderTop);
    keyGuide_->Show(keyGuideOn_ && !replayPanel_->IsVisible() &&
                    guideTop + keyGuide_->Height() + kPanelGap <= listTop);
}

void SceneRoomGame::RenderHudPanels() {
    StackRightColumn();
    FrameTopView(replayPanel_, kTopViewTop, kTopViewBottom, false);
    if (pendingLevelUp_.exchange(false) && levelUpWindow_) {
        // Shown again when it already was: the texts follow the newest level.
        levelUpWindow_->Show(false);
        levelUpWindow_->Show(true);
    }
    std::vector<PendingTurnLabel> labels;
    {
        platform::ScopedLock lock(chatLock_);
        labels.swap(pendingTurnLabels_);
    }
    for (const PendingTurnLabel& at : labels) {
        hud::TurnTimer* label = turnTimers_[at.seat];
        if (!label) continue;
        label->SetPlainText(SeatCopy(at.seat).record.nickname);
        label->MoveTo(static_cast<int>(at.x) - kTurnLabelHalfWidth, static_cast<int>(at.y));
        label->Show(true);
    }
}

void SceneRoomGame::ShowRoomStatus(std::uint64_t jackpot, const net::RoomInfo& info, bool running) {
    if (statusPanel_) {
        statusPanel_->SetAmount(static_cast<std::int64_t>(jackpot));
        statusPanel_->SetPointRule(info.gameType, info.pointTrackMode);
        statusPanel_->ShowRuleImage(info.pointTrackMode >= 1);
        // The stake marker (the amount's picture) marks a room played for a stake outside the gamble
        // and bet games and the tournaments.
        const bool gamble = info.gameType == 2 || info.gameType == 5 || info.gameType == 6;
        statusPanel_->ShowAmountImage(channelType_.load() != kTournamentChannel && !gamble &&
                                      !info.IsOpenNonGamble());
    }
    if (!seatInfo_ || !running || info.pointTrackMode == 0) return;
    const auto& track = info.pointTrack;  // position, label value, second marker, third marker, offset
    seatInfo_->SetTrack(info.gameType, info.pointTrackMode, track[0], track[1], track[2], 0);
    seatInfo_->Show(track[1] != 0);
}

void SceneRoomGame::ShowPointTrack(std::uint8_t mode, const std::array<std::uint8_t, 4>& marks) {
    const int gameType = RoomCopy().gameType;
    if (seatInfo_) seatInfo_->SetTrack(gameType, mode, marks[0], marks[1], marks[2], marks[3]);
    if (statusPanel_) statusPanel_->SetPointRule(gameType, mode);
}

void SceneRoomGame::ShowJackpot(std::uint32_t amount, const WString& winner) {
    if (jackpotBanner_) jackpotBanner_->Show(amount, winner);
    if (seatInfo_)
        seatInfo_->HideJackpotMarker();
    else
        PlaySound(hud::SeatInfoPanel::kJackpotSound);
}

bool SceneRoomGame::ReplayLastShot() {
    table::TableWorld* world = World();
    if (!world || !replayPanel_) return false;
    const table::ShotStateBlock block = world->LastShotState();
    if (block[0] == 0) return false;
    // The panel takes the key guide's place while it is open.
    if (keyGuide_) keyGuide_->Show(false);
    replayPanel_->Show(true);
    replayPanel_->ReplayShot(block);
    return true;
}

void SceneRoomGame::CloseReplayPanel() {
    if (replayPanel_) replayPanel_->Show(false);
    if (keyGuide_) keyGuide_->Show(keyGuideOn_);
}

bool SceneRoomGame::HandleReplayMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t) {
    switch (code) {
        case platform::kWmKeyDown:
            if (a == kReplayKey) replayKeyDown_ = true;
            return false;
        case platform::kWmKeyUp:
            // Only an R pressed in the room counts: not one let go after typing or a scene change.
            if (a != kReplayKey || !std::exchange(replayKeyDown_, false) || !replayPanel_) return false;
            if (replayPanel_->IsVisible())
                CloseReplayPanel();
            else
                ReplayLastShot();
            return true;
        case static_cast<std::uint32_t>(hud::HudMessage::ReplayClosed):
            CloseReplayPanel();
            return true;
        case static_cast<std::uint32_t>(hud::HudMessage::ReplayLastShot):
            ReplayLastShot();
            return true;
        default:
            return false;
    }
}

}  // namespace scenes

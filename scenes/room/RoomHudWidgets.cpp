// The game room's HUD: the team and ready panel, the player list, the in-game menu, the clocks, the
// score board, the result list and the notices. The handlers change the room's state on the
// dispatch thread; the widgets follow it on the main thread (RefreshRoomHud when the state changed,
// UpdateRoomHudClocks every frame).
#include <utility>

#include "gui/Button.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/EdgeAnchor.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/GameHud.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/ReplayControlPanel.h"
#include "scenes/room/hud/ResultWidgets.h"
#include "scenes/room/hud/RoomWidgetCodes.h"
#include "scenes/room/hud/StartReadyButton.h"

namespace scenes {

using namespace room;

namespace {
constexpr float kResultListAlpha = 0.9f;
// The bottom right belongs to the player list and the start/ready panel, the bottom left to the chat and
// the item tabs: the table's tip, elevation and power control stands between them.
constexpr int kTableControlsRightInset = 358;
constexpr int kCaptionWidth = 90, kCaptionHeight = 15, kCaptionTop = 29;
constexpr std::uint32_t kCaptionColour = 0xFFD0D0D0, kCaptionShadow = 0xFF000000;
constexpr auto kSolidsStatus = static_cast<std::uint8_t>(net::TeamStatus::Solids);
constexpr auto kStripesStatus = static_cast<std::uint8_t>(net::TeamStatus::Stripes);
}  // namespace

void SceneRoomGame::CreateRoomHud() {
    const hud::RoomSender sender = [this](std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
        SendMessage(static_cast<RoomMsg>(id), fill);
    };
    gameClock_ = Make<hud::GameClock>();
    gameClock_->Create(0, 0);
    AnchorByEdges(*gameClock_, gui::AnchorH::Center, -43, gui::AnchorV::Top, 10);
    turnCountdown_ = Make<hud::TurnCountdown>();
    turnCountdown_->Create(0, 0);
    AnchorByEdges(*turnCountdown_, gui::AnchorH::Center, 55, gui::AnchorV::Top, -2);
    turnCountdown_->playSound = [this](int id) { PlaySound(id); };
    // The two clocks' digits say nothing by themselves: a caption under each, centred on its digits.
    clockCaption_ = AddLabel(0, 0, kCaptionWidth, kCaptionHeight, gui::kFont12, 0,
                             gui::align::kCenter | gui::align::kVCenter);
    clockCaption_->SetPlainText(u"Game time");
    clockCaption_->SetColors(kCaptionColour, kCaptionShadow);
    AnchorByEdges(*clockCaption_, gui::AnchorH::Center, -32, gui::AnchorV::Top, kCaptionTop);
    countdownCaption_ = AddLabel(0, 0, kCaptionWidth, kCaptionHeight, gui::kFont12, 0,
                                 gui::align::kCenter | gui::align::kVCenter);
    countdownCaption_->SetPlainText(u"Turn time");
    countdownCaption_->SetColors(kCaptionColour, kCaptionShadow);
    AnchorByEdges(*countdownCaption_, gui::AnchorH::Center, 74, gui::AnchorV::Top, kCaptionTop);

    scoreBoard_ = Make<hud::ScoreBoard>();
    scoreBoard_->Create(0, 0);
    AnchorByEdges(*scoreBoard_, gui::AnchorH::Right, -190, gui::AnchorV::Top, 80);
    scoreBoard_->send = sender;
    scoreBoard_->ResetForRoom();
    startReady_ = Make<hud::StartReadyButton>(Host());
    startReady_->Create(0, 0);
    startReady_->roomSource = [this] { return RoomCopy(); };
    startReady_->Resize(Width(), Height());
    startReady_->Show(true);
    playerMenu_ = Make<hud::PlayerMenu>(Host());
    playerMenu_->Create(0, 0);
    playerMenu_->send = sender;
    playerMenu_->Attach(&room_, &game_);  // read under the seat lock, in RefreshRoomHud
    playerMenu_->Show(true);

    inGameMenu_ = Make<hud::InGameMenu>(Host());
    inGameMenu_->Create(0, 0);
    withdrawQuestion_ = Make<hud::WithdrawQuestion>();
    withdrawQuestion_->Create();
    withdrawQuestion_->send = sender;
    resultList_ = Make<hud::GameResultList>();
    resultList_->Create();
    resultList_->SetAlpha(kResultListAlpha);
    groupNotice_ = Make<hud::GroupNotice>();
    groupNotice_->Create(0, 0);
    hourLimitNotice_ = Make<hud::OneHourLimitNotice>(Host());
    hourLimitNotice_->Create();
    gains_[0] = Make<hud::FloatingGain>(true, true);
    gains_[1] = Make<hud::FloatingGain>(false, false);
    for (hud::FloatingGain* gain : gains_) gain->Create(0, 0);
    gameHud_ = std::make_unique<hud::GameHud>(scoreBoard_, withdrawQuestion_, hourLimitNotice_, &Hud());
    gameHud_->SetResultList(resultList_, [this](int seat, WString& name, int& level) {
        if (!SeatValid(seat)) return false;
        platform::ScopedLock lock(seatLock_);
        const RoomSeat& s = seats_[static_cast<std::size_t>(seat)];
        const LeftPlayer& left = leftPlayers_[static_cast<std::size_t>(seat)];
        if (s.occupied) {
            name = s.record.nickname;
            level = s.record.level;
        } else if (!left.nickname.empty()) {
            name = left.nickname;
            level = left.level;
        } else {
            return false;
        }
        return true;
    });
    SetHud(gameHud_.get());
    Resize(Width(), Height());
}

void SceneRoomGame::Resize(int width, int height) {
    if (World()) World()->SetHudRightInset(kTableControlsRightInset);
    TableScene::Resize(width, height);
    FrameTopView(replayPanel_, kTopViewTop, kTopViewBottom, true);
    if (startReady_) startReady_->Resize(width, height);
    if (playerMenu_) playerMenu_->Layout();
    if (inGameMenu_)
        inGameMenu_->MoveTo((width - inGameMenu_->Width()) / 2, (height - inGameMenu_->Height()) / 2);
    if (groupNotice_) groupNotice_->MoveTo((width - groupNotice_->Width()) / 2, 120);
}

void SceneRoomGame::RefreshRoomHud() {
    if (!startReady_ || !playerMenu_) return;
    const bool running = gameRunning_.load();
    const int own = ownSeat_.load();
    const int master = masterSeat_.load();
    const bool ownMaster = own == master;

    // A game starting or ending moves the list and swaps the team panel for the clocks.
    if (running != hudGameShown_) {
        hudGameShown_ = running;
        if (running) {
            startReady_->EnterGame();
            playerMenu_->OnGameStart();
            // The last game's results close when the next game starts.
            if (resultList_) resultList_->Show(false);
        } else {
            startReady_->LeaveGame();
            playerMenu_->OnGameEnd();
            hudTeamSeen_ = -1;
        }
    }
    scoreBoard_->Show(running && channelType_.load() == kTournamentChannel);
    gameClock_->Show(running);
    clockCaption_->Show(running);
    turnCountdown_->Show(running && turnLimit_.load() > 0);
    countdownCaption_->Show(running && turnLimit_.load() > 0);

    int playing = 0;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        if (SeatValid(own)) playing = seats_[own].record.game.playing;
        const net::PlayerRecord* masterRecord =
            SeatValid(master) && seats_[master].occupied ? &seats_[master].record : nullptr;
        playerMenu_->SetRoomMaster(masterRecord, ownMaster);
        playerMenu_->Refresh(game_);
    }
    ShowGroupsOnce();
    startReady_->SetOwnMaster(ownMaster);
    startReady_->Refresh(false);
    // The panel follows the server's team only when that changes: a choice on its way keeps showing.
    const int team = playing < hud::StartReadyButton::kTeamCount ? playing : 0;
    if (team != hudTeamSeen_) {
        hudTeamSeen_ = team;
        startReady_->SetTeam(team);
        startReady_->RefreshTeams();
    }
    UpdateStartPrompt();
    startReady_->Show(!running && !watchOnly_.load());
}

void SceneRoomGame::ShowGroupsOnce() {
    // The 8-ball groups once they are decided (a team holds the stripes): the solids' team in the
    // first column, the stripes' in the second.
    std::uint32_t groups = 0;
    bool decided = false;
    std::array<std::array<WString, 2>, 2> names;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        for (std::size_t t = 0; t < game_.teams.size(); ++t) {
            const net::RoomTeam& team = game_.teams[t];
            const std::uint8_t status = team.GetStatus();
            if (team.memberCount == 0 || (status != kSolidsStatus && status != kStripesStatus)) continue;
            const std::size_t group = status == kSolidsStatus ? 0 : 1;
            decided = decided || group == 1;
            groups |= static_cast<std::uint32_t>(group + 1) << (2 * t);
            for (std::size_t m = 0; m < 2 && m < team.memberCount; ++m)
                if (team.members[m]) names[group][m] = team.members[m]->nickname;
        }
    }
    if (!decided) groups = 0;
    if (!gameRunning_.load()) groups = 0;
    if (groups == hudGroupsShown_) return;
    hudGroupsShown_ = groups;
    if (groups == 0) return;
    groupNotice_->Clear();
    for (int g = 0; g < 2; ++g)
        for (int m = 0; m < 2; ++m)
            groupNotice_->SetName(g, m, names[static_cast<std::size_t>(g)][static_cast<std::size_t>(m)]);
    groupNotice_->Show(true);
}

void SceneRoomGame::UpdateRoomHudClocks(std::uint64_t nowMs) {
    if (!gameClock_ || !gameRunning_.load()) return;
    const std::uint64_t base = gameClockBaseMs_.load();
    gameClock_->SetTime(platform::ElapsedMs(base, nowMs));
    scoreBoard_->SetTime(static_cast<std::int64_t>(platform::ElapsedMs(base, nowMs)));
    const int limit = turnLimit_.load();
    if (limit != hudLimitShown_) {
        hudLimitShown_ = limit;
        turnCountdown_->SetLimit(limit);
    }
    if (limit <= 0) return;
    const std::uint64_t start = turnStartMs_.load();
    turnCountdown_->Update(static_cast<int>(platform::ElapsedMs(start, nowMs) / 1000));
}

bool SceneRoomGame::HandleHudMessage(std::uint32_t code, std::uintptr_t a, bool typing) {
    switch (code) {
        case platform::kWmKeyDown:
            // An Escape key that reaches the room (a shown menu takes it as its Close) opens the menu
            // with its character.
            if (a == platform::kVkEscape) hudEscapeDown_ = !typing;
            return false;
        case platform::kWmChar:
            if (a != platform::kVkEscape || !std::exchange(hudEscapeDown_, false) || typing || !inGameMenu_ ||
                inGameMenu_->IsVisible())
                return false;
            inGameMenu_->Show(true);
            return true;
        default:
            return false;
    }
}

}  // namespace scenes

#include "scenes/room/practice/PracticeReplay.h"

#include "gui/NoticeBox.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/room/practice/PracticeCodes.h"
#include "scenes/room/replay/ShotPlayback.h"
#include "table/TableWorld.h"

namespace scenes {

using namespace practice;

namespace {
constexpr int kNormalSpeedPercent = 100;
}

PracticeReplay::PracticeReplay() {
    SetUpDialog(*this, kWidth, kHeight, u"Replay", false);
    AddTextLine(*this, 12, 40, kWidth - 24, 20, u"The last shot");
    AddTextButton(*this, 12, kHeight - 80, kWidth - 24, 30, control::kReplayAgain, u"Replay last shot");
    AddTextButton(*this, 12, kHeight - 42, kWidth - 24, 30, control::kReplayClose, u"Close");
    SetVisible(false);
}

PracticeReplay::~PracticeReplay() = default;

bool PracticeReplay::ReplayShot(const table::ShotStateBlock& block) {
    table::ShotState state;
    if (!table::UnpackShotState(block, state)) return false;
    platform::ScopedLock guard(lock_);
    if (!world_) world_ = std::make_unique<table::TableWorld>();
    table::TableWorld& world = *world_;
    world.StopShotInProgress();
    // A world of its own beside the room's: its own physics model, and no end-of-shot message.
    if (world.GameType() != state.gameType || world.BallCount() != state.ballCount) {
        if (!world.SetGameType(state.gameType)) return false;
    }
    world.SetGameItems(state.tableItem, state.ballSetItem);
    if (!world.SetPhysicsModel(state.physicsModelId, true)) return false;
    world.SetPlayState(table::PlayState::MiniView);
    if (!world.RestoreShotState(block)) return false;
    const PlaybackView& view = PlaybackViewAt(0);
    world.SetTimeScale(view.timeScale);
    if (!world.ExecuteShot(table::ShotMode::Replay, false)) return false;
    running_ = true;
    return true;
}

void PracticeReplay::Close() {
    {
        platform::ScopedLock guard(lock_);
        if (world_) world_->StopShotInProgress();
        running_ = false;
    }
    Show(false);
}

void PracticeReplay::UpdatePlayback() {
    platform::ScopedLock guard(lock_);
    if (!world_ || !running_.load()) return;
    world_->Update(++tick_, 0, 0, false);
    if (world_->ShotExecuting()) return;
    running_ = false;
    lastHash_ = world_->LastShotHash();
    JournalPlaybackEnd(++playbacks_, kNormalSpeedPercent, lastHash_.load());
}

void PracticeReplay::DestroyWorld() {
    platform::ScopedLock guard(lock_);
    running_ = false;
    world_.reset();
}

bool PracticeReplay::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    switch (event.source->Id()) {
        case control::kReplayClose:
            Close();
            gui::NoticeBox::Post(static_cast<std::uint32_t>(PracticeUi::ReplayClosed), 0, 0, 0);
            return true;
        case control::kReplayAgain:
            gui::NoticeBox::Post(static_cast<std::uint32_t>(PracticeUi::ReplayLastShot), 0, 0, 0);
            return true;
        default:
            return false;
    }
}

}  // namespace scenes

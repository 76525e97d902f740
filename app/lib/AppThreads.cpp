// The update thread, the two message queues and the application message filter.
#include <algorithm>

#include "app/lib/App.h"
#include "engine/core/Log.h"
#include "engine/input/InputDevice.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSequence.h"
#include "gui/NoticeBox.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Fpu.h"
#include "platform/sys/Shell.h"
#include "platform/sys/Thread.h"

namespace {
constexpr std::uint32_t kSoundUpdateEvery = 10;
}  // namespace

void App::StartUpdateThread() {
    timer_.UseMilliseconds();
    timer_.SetRenderRate(kUpdateRate);
    timer_.SetUpdateRate(kUpdateRate);
    updateThread_.Start("update", [this] { UpdateThread(); });
}

void App::UpdateThread() {
    startEvent_.Wait();
    if (!platform::RaiseCurrentThreadPriority())
        LogWrite(u"WARNING : the update thread's timer slack could not be lowered\n");
    timer_.RestartUpdate();
    platform::SetFpuControl();
    if (!running_.load(std::memory_order_acquire)) {
        exitEvent_.Set();
        return;
    }
    std::uint32_t ticks = 0;
    while (running_.load(std::memory_order_acquire)) {
        scenes::GameScene* scene = scenes_.Current();
        if (!scene) {
            platform::SleepMs(1);
            continue;
        }
        // Sleeps until the next tick falls due instead of spinning; with the thread's least timer
        // slack it wakes within a fraction of a millisecond of it.
        if (!timer_.IsUpdateDue()) {
            platform::SleepMs(std::max<std::uint32_t>(timer_.UpdateDueInMs(), 1));
            continue;
        }
        if (!scene->IsActive() || scene->ChangeRequested()) continue;
        const std::uint64_t time100us = timer_.GetTime100us();
        const std::uint64_t now = platform::NowMs();
        DrainUpdateQueue();
        if (input_ && renderingActive_.load(std::memory_order_acquire) &&
            windowActive_.load(std::memory_order_acquire))
            input_->Poll();
        scenes_.Tick(now, time100us);
        session_->KeepAlive(now);
        if (session_->TakeConnectionLost())
            PostUiMessage(static_cast<std::uint32_t>(scenes::AppMessage::ConnectionLost), 0, 0, 0);
        updateTicks_.fetch_add(1, std::memory_order_relaxed);
        if (++ticks % kSoundUpdateEvery == 0) {
            if (sound_) sound_->Update();
            SoundSequence::Instance().Update();
        }
    }
    exitEvent_.Set();
}

void App::PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    if (!uiQueue_) return;
    uiQueue_->Post(code, a, b, c);
    windows_.Wake();
}

void App::PostUiNotice(std::uint32_t code, std::uint32_t a) {
    if (!uiQueue_) return;
    uiQueue_->PostUnique(code, a, 0, 0);
    windows_.Wake();
}

void App::PostUpdateMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    if (updateQueue_) updateQueue_->Post(code, a, b, c);
}

void App::PostQuit() {
    windows_.PostQuit();
}

void App::PostMouseMove() {
    windows_.PostMessage({platform::kWmMouseMove, 0, platform::MakeLParam(lastMouseX_, lastMouseY_)});
}

// A drain takes only the records queued when it starts: what other threads post meanwhile waits for
// the next drain, so a flood of posts never keeps the main loop from its window messages and frames.
void App::DrainUiQueue() {
    if (!uiQueue_) return;
    ShowLostConnectionNotice();
    ReportShellOpenFailures();
    scenes_.DeliverHeld(uiHeld_);
    for (std::size_t left = uiQueue_->Count(); left > 0; --left) {
        EventRecord* record = uiQueue_->Pop();
        if (!record) break;
        if (!FilterMessage(*record, true)) scenes_.OnAppMessage(record->code, record->a, record->b, uiHeld_);
        uiQueue_->Free(record);
    }
}

void App::DrainUpdateQueue() {
    if (!updateQueue_) return;
    scenes_.DeliverHeld(updateHeld_);
    for (std::size_t left = updateQueue_->Count(); left > 0; --left) {
        EventRecord* record = updateQueue_->Pop();
        if (!record) break;
        if (!FilterMessage(*record, false))
            scenes_.OnAppMessage(record->code, record->a, record->b, updateHeld_);
        updateQueue_->Free(record);
    }
}

int App::FilterMessage(const EventRecord& record, bool onMainThread) {
    const auto code = static_cast<scenes::AppMessage>(record.code);
    if (!onMainThread &&
        (code == scenes::AppMessage::CursorStyle || code == scenes::AppMessage::ApplyVideoSettings)) {
        // The window and the display belong to the main thread.
        PostUiMessage(record.code, record.a, record.b, record.c);
        return 1;
    }
    switch (code) {
        case scenes::AppMessage::CursorStyle:
            cursorStyle_ = record.a;
            if (window_) {
                window_->SetCursor(record.a == 1 ? platform::CursorShape::GameAim
                                                 : platform::CursorShape::GameNormal);
            }
            return 1;
        case scenes::AppMessage::ApplyVideoSettings:
            // Settings that arrive while a window change is pending are applied once it is done.
            if (!ApplyVideoSettings(record.a)) deferredVideoFlags_ |= record.a;
            return 1;
        case scenes::AppMessage::SoundVolume:
        case scenes::AppMessage::SoundEnable: {
            const SoundCategory category = record.a == 0   ? SoundCategory::Music
                                           : record.a == 1 ? SoundCategory::Effects
                                                           : SoundCategory::Voice;
            if (sound_) {
                if (record.code == static_cast<std::uint32_t>(scenes::AppMessage::SoundVolume)) {
                    sound_->SetCategoryVolume(category, static_cast<float>(record.b / 100.0));
                } else {
                    sound_->SetCategoryEnabled(category, record.b != 0);
                }
            }
            return 1;
        }
        case scenes::AppMessage::ConnectionLost:
            return OnConnectionLost() ? 0 : 1;
        case scenes::AppMessage::SignInAgain:
            if (scenes::GameScene* scene = scenes_.Current()) scene->RequestScene(scenes::scene_id::kLogin);
            return 1;
        default:
            return 0;
    }
}

bool App::OnConnectionLost() {
    // The sign-in tells its own failures; offline and replay modes have no server.
    const int id = scenes_.CurrentId();
    if (mode_ != StartMode::Normal || id == scenes::scene_id::kLogin || id == scenes::scene_id::kIntro)
        return false;
    LogWrite(u"Connection lost in scene %d\n", id);
    lostNoticePending_ = true;
    ShowLostConnectionNotice();
    return true;
}

void App::ReportShellOpenFailures() {
    for (const platform::ShellOpenFailure& failure : platform::TakeShellOpenFailures()) {
        LogWrite(u"ERROR : %s could not be opened: %s\n", FromUtf8(failure.target), FromUtf8(failure.why));
        openFailureNotice_ = failure.noBrowser ? OpenFailure::NoBrowser : OpenFailure::Failed;
    }
    scenes::GameScene* scene = scenes_.Current();
    if (openFailureNotice_ == OpenFailure::None || !scene || !scene->IsActive() || scene->ChangeRequested())
        return;
    scenes_.ShowSecondNotice(nullptr, u"The page could not be opened.",
                             openFailureNotice_ == OpenFailure::NoBrowser
                                 ? u"No web browser was found to show it."
                                 : u"The reason is in StartLog.log.");
    openFailureNotice_ = OpenFailure::None;
}

void App::ShowLostConnectionNotice() {
    // During a scene change the notice would have no scene to show on: it waits for the next one.
    scenes::GameScene* scene = scenes_.Current();
    if (!lostNoticePending_ || !scene || !scene->IsActive() || scene->ChangeRequested()) return;
    lostNoticePending_ = false;
    scenes_.ShowNotice(nullptr, u"The connection to the game server was lost.",
                       u"Press OK to sign in again.");
    if (gui::NoticeBox* box = scenes_.GetNoticeBox())
        box->SetResultCode(static_cast<std::uint32_t>(scenes::AppMessage::SignInAgain));
}

// The main loop, the render step and the pending window and display changes.
#include <algorithm>

#include "app/lib/App.h"
#include "app/lib/SceneFactory.h"
#include "engine/core/EngineSettings.h"
#include "engine/core/Log.h"
#include "engine/render/Font.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/SceneManager.h"
#include "gui/Widget.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Fpu.h"

namespace {
constexpr std::uint32_t kSlowStartFrames = 37;
}  // namespace

int App::Run() {
    if (!InitRenderer()) return 0;
    CreateScenes();
    scenes_.Broadcast(ClientWidth(), ClientHeight());
    session_->StartDispatchThread();
    running_ = true;
    renderingActive_ = true;
    ready_ = true;
    SetEngineActive(true);
    startEvent_.Set();
    timer_.RestartRender();
    scenes_.InitSharedResources(resources_, renderer_);
    if (window_) window_->BringToFront();
    if (fullscreen_ && renderer_) renderer_->SetGamma(static_cast<float>(options_.Get().gamma / 100.0));
    platform::SetFpuControl();

    while (running_.load(std::memory_order_acquire)) {
        if (pumpHook_) pumpHook_();
        platform::Message message;
        if (windows_.PeekMessage(message)) {
            if (message.message == platform::kWmQuit) {
                running_ = false;
                break;
            }
            WndProc(message);
            continue;
        }
        DrainUiQueue();
        scenes_.OnIdle();
        if (timer_.IsRenderDue()) {
            if (!RenderFrame()) break;
            if (deferredVideoFlags_ && ApplyVideoSettings(deferredVideoFlags_)) deferredVideoFlags_ = 0;
            if (timer_.RenderTickCount() < kSlowStartFrames) platform::SleepMs(1);
            continue;
        }
        // Nothing to do before the next frame: sleep until it falls due or a window event, a
        // posted message or a UI queue record arrives, instead of spinning.
        windows_.WaitMessage(timer_.RenderDueInMs());
    }
    running_ = false;
    return 1;
}

bool App::RenderFrame() {
    platform::ScopedLock appLock(lock_);
    if (!renderingActive_) {
        gui::SetGuiRendering(false);
        if (ApplyPendingWindowChanges()) return true;
    } else {
        gui::SetGuiRendering(true);
    }
    int loaded = 0;
    {
        platform::ScopedLock sceneLock(scenes_.SceneLock());
        {
            platform::ScopedLock messageLock(scenes_.MessageLock());
            scenes_.SwitchIfRequested();
            loaded = scenes_.LoadCurrentScene();
        }
        if (loaded == 1) {
            scenes_.Tick(platform::NowMs(), timer_.GetTime100us());
            return true;
        }
        if (loaded == -1) {
            PostQuit();
            return false;
        }
        if (!renderingActive_) {
            scenes_.RenderCurrentScene(false);
            return true;
        }
    }
    if (!renderer_ || !renderer_->BeginFrame()) return true;
    if (renderer_->BeginScene()) {
        if (engineScenes_) engineScenes_->UpdateCurrentScene();
        scenes_.RenderCurrentScene(true);
        if (statusTime_ != 0) {
            if (platform::ElapsedMs(statusTime_, platform::NowMs()) < kStatusTextMs) {
                if (Font* font = renderer_->CreateFont(u"Tahoma", 12, 700, 0)) {
                    int width = 0, height = 0;
                    font->Measure(statusText_, width, height);
                    const platform::Rect at = StatusTextRect(ClientWidth(), ClientHeight(), width);
                    Rect rect{at.left, at.top, at.right, at.bottom};
                    renderer_->DrawText(font, statusText_, rect, text_format::kLeft, 0xFFFFFF00u);
                }
            } else {
                statusTime_ = 0;
            }
        }
        renderer_->EndScene();
    }
    renderer_->Present();
    return true;
}

bool App::ApplyPendingWindowChanges() {
    const std::uint32_t pending = pending_.load();
    if (pending == 0) return false;
    const Options options = options_.Get();
    if (pending & pending::kTextureFilter) ApplyTextureFilter();
    const bool displayChange = (pending & (pending::kDisplayMode | pending::kDeviceSettings)) != 0;
    if (displayChange) {
        if (fullscreen_) {
            const bool sized = options.width > 0 && options.height > 0;
            fullscreenWidth_ = sized ? static_cast<std::uint32_t>(options.width) : kWindowedWidth;
            fullscreenHeight_ = sized ? static_cast<std::uint32_t>(options.height) : kWindowedHeight;
            clientWidth_ = static_cast<int>(fullscreenWidth_);
            clientHeight_ = static_cast<int>(fullscreenHeight_);
        } else {
            clientWidth_ = static_cast<int>(windowedWidth_);
            clientHeight_ = static_cast<int>(windowedHeight_);
        }
        if (pending & pending::kDisplayMode) MoveWindowForMode();
        ApplyDisplayRecord();
        if (renderer_) renderer_->ResetDevice();
        if (pending & pending::kDisplayMode) {
            SetEngineAspect();
            scenes_.Broadcast(ClientWidth(), ClientHeight());
        }
        if (fullscreen_ && renderer_) renderer_->SetGamma(static_cast<float>(options.gamma / 100.0));
    } else if (pending & pending::kResized) {
        if (window_) {
            windowRect_ = window_->GetWindowRect();
            const platform::Rect client = window_->GetClientRect();
            clientWidth_ = client.Width();
            clientHeight_ = client.Height();
        }
        ApplyDisplayRecord();
        if (renderer_) renderer_->ResetDevice();
        SetEngineAspect();
        scenes_.Broadcast(ClientWidth(), ClientHeight());
    }
    if (pending & pending::kSceneEffects) scenes_.ApplyOptions();
    if (pending & pending::kDialogBoxMode) SetDialogBoxMode(dialogBoxModeWanted_);
    pending_ = 0;
    changedDuringSizeMove_ = false;
    if (ready_) {
        SetEngineActive(true);
        renderingActive_ = true;
    }
    if (window_) window_->SetKeyboardGrab(fullscreen_);
    return true;
}

int App::ApplyVideoSettings(std::uint32_t flags) {
    if (!renderingActive_ || pending_ != 0) return 0;
    PauseRendering();
    const bool wasFullscreen = fullscreen_;
    changedDuringSizeMove_ = true;
    const VideoSettings& s = videoSettings_;
    fullscreen_ = s.fullscreen;
    if (fullscreen_) {
        fullscreenWidth_ = s.width;
        fullscreenHeight_ = s.height;
        options_.Update([&](Options& o) {
            o.width = static_cast<std::int32_t>(s.width);
            o.height = static_cast<std::int32_t>(s.height);
        });
    }
    if (!fullscreen_ && s.windowWidth > 0 && s.windowHeight > 0) {
        // A size chosen in a window sizes it, within the desktop as the edges do, and keeps it on
        // the desktop.
        int width = 0, height = 0;
        SizingResult(sizing::kCorner, 0, 0, 0, 0, static_cast<int>(s.windowWidth),
                     static_cast<int>(s.windowHeight), desktop_.width, desktop_.height, width, height);
        windowedWidth_ = static_cast<std::uint32_t>(width);
        windowedHeight_ = static_cast<std::uint32_t>(height);
        windowX_ = std::clamp(windowX_, 0, std::max(0, desktop_.width - width));
        windowY_ = std::clamp(windowY_, 0, std::max(0, desktop_.height - height));
    }
    bitsPerPixel_ = s.bitsPerPixel;
    refreshRate_ = s.refreshRate;
    multisample_ = s.multisample;
    vsync_ = s.vsync;
    GetEngineSettings().textureDetail = static_cast<std::uint16_t>(s.textureDetail);
    std::uint32_t bits = flags & (pending::kSceneEffects | pending::kTextureFilter);
    if (flags & pending::kDisplayMode) {
        if (wasFullscreen != fullscreen_) MoveWindowForMode();
        bits |= pending::kDisplayMode;
    } else if (flags & pending::kDeviceSettings) {
        bits |= pending::kDeviceSettings;
    }
    pending_ |= bits;
    return 1;
}

void App::ToggleFullscreen() {
    {
        platform::ScopedLock lock(lock_);
        renderingActive_ = false;
        SetEngineActive(false);
    }
    fullscreen_ = !fullscreen_.load();
    options_.Update([&](Options& o) { o.fullscreen = fullscreen_ ? 1 : 0; });
    SetOptionDialogFullscreen(scenes_.GetOptionDialog(), fullscreen_);
    pending_ |= pending::kDisplayMode;
    // The player's choice holds for the next start, as one made in the options dialog does.
    SaveOptions(options_.Get());
}

void App::RequestDialogBoxMode(bool on) {
    dialogBoxModeWanted_ = on;
    pending_ |= pending::kDialogBoxMode;
    renderingActive_ = false;
}

void App::SetDialogBoxMode(bool on) {
    platform::ScopedLock lock(lock_);
    if (renderer_) renderer_->SetDialogBoxMode(on);
    pending_ &= ~pending::kDialogBoxMode;
    renderingActive_ = true;
}

void App::PauseRendering() {
    platform::ScopedLock lock(lock_);
    renderingActive_ = false;
    SetEngineActive(false);
    if (window_) window_->SetKeyboardGrab(false);
}

void App::ResumeRendering() {
    if (!ready_) return;
    SetEngineActive(true);
    renderingActive_ = true;
}

void App::SetEngineAspect() {
    if (engineScenes_ && ClientWidth() > 0)
        engineScenes_->SetAspect(static_cast<float>(ClientHeight()) / static_cast<float>(ClientWidth()));
}

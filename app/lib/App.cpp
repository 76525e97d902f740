#include "app/lib/App.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/lib/AppFolders.h"
#include "app/lib/AppResources.h"
#include "app/lib/DeviceCheckDialog.h"
#include "app/lib/GameEngineFactory.h"
#include "app/lib/GameSessionLink.h"
#include "app/lib/SceneFactory.h"
#include "engine/core/DeviceError.h"
#include "engine/core/Engine.h"
#include "engine/core/EngineSettings.h"
#include "engine/core/Log.h"
#include "engine/input/InputDevice.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSequence.h"
#include "gui/NoticeBox.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/UiResourceSet.h"
#include "net/GameSession.h"
#include "platform/crash/CrashHook.h"
#include "platform/sys/IniFile.h"
#include "platform/sys/Journal.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/NamedEvent.h"
#include "platform/sys/RegularFile.h"
#include "platform/web/WebView.h"
#include "scenes/base/SceneLighting.h"

namespace {

std::atomic<App*> gApp{nullptr};

}  // namespace

int App::RestoreWorkingDirectory(bool skip) {
    if (!skip) {
        std::error_code error;
        std::filesystem::current_path(startDir_, error);
    }
    return 1;
}

App* App::Get() {
    return gApp.load(std::memory_order_acquire);
}

App::App(std::vector<WString> args, StartMode mode, platform::WindowSystem& windows)
    : args_(std::move(args)), mode_(mode), windows_(windows), session_(std::make_unique<SessionLink>()) {
    gApp.store(this, std::memory_order_release);
    // From here on a crash report may go through the application: dialog and upload.
    platform::SetCrashReportAppPresent(true);
}

App::~App() {
    // A crash during the exit steps must not find a dead application object.
    platform::SetCrashReportAppPresent(false);
    gApp.store(nullptr, std::memory_order_release);
    gui::NoticeBox::SetPoster(nullptr);
    gui::NoticeBox::SetJournal(nullptr);
}

void App::SetSession(std::unique_ptr<SessionLink> session) {
    session_ = session ? std::move(session) : std::make_unique<SessionLink>();
}

void App::Init() {
    std::error_code error;
    startDir_ = std::filesystem::current_path(error).string();
    const AppFolders folders = CurrentAppFolders();
    packagesDir_ = folders.packages;
    configPathA_ = (std::filesystem::path(folders.config) / "config.ini").string();

    // A save killed before its rename leaves its temporary file beside config.ini for good.
    for (const std::string& name : platform::RemoveStaleSaves(configPathA_))
        LogWrite(u"%s, left by a save that was cut off, is removed\n", FromUtf8(name));
    // A client killed while the browser had its sign-in form left the form, and the password in it.
    for (const std::string& name : platform::RemoveLeftFormFiles())
        LogWrite(u"%s, a sign-in form left by a client that was cut off, is removed\n", FromUtf8(name));
    Options options;
    std::vector<ReplacedOption> replaced;
    int readError = 0;
    if (!options.Load(configPathA_, &replaced, &readError)) {
        LogWrite(u"WARNING : config.ini could not be read (%s); the defaults are used\n",
                 FromUtf8(platform::FileErrorText(readError)));
    }
    // At most one line per key the options know, each naming its own value: none is left to the
    // repeat limiter, which would name ten and count the rest.
    for (const ReplacedOption& r : replaced) {
        const char16_t* why = r.why == ReplacedOption::Why::kNoNumber   ? u"is no number"
                              : r.why == ReplacedOption::Why::kEmpty    ? u"is empty"
                              : r.why == ReplacedOption::Why::kNotWhole ? u"is no whole number"
                                                                        : u"is out of range";
        GetLog().WriteLine(Format(u"WARNING : config.ini [%s] %s=%s %s; %d is used\n", FromUtf8(r.section),
                                  FromUtf8(r.key), FromUtf8(r.stored), why, r.used));
    }
    desktop_ = windows_.GetDesktopMode();
    if (mode_ == StartMode::Replay) {
        options.fullscreen = 0;
        options.width = kWindowedWidth;
        options.height = kWindowedHeight;
    }
    if (options.width == 0 || options.height == 0) {
        // No size chosen yet: the size the options take and the next start uses, not the
        // desktop's, so the screens made for 1024 x 768 fill the screen on the first start too.
        fullscreenWidth_ = kWindowedWidth;
        fullscreenHeight_ = kWindowedHeight;
        options.width = kWindowedWidth;
        options.height = kWindowedHeight;
    } else {
        fullscreenWidth_ = static_cast<std::uint32_t>(options.width);
        fullscreenHeight_ = static_cast<std::uint32_t>(options.height);
    }
    fullscreen_ = options.fullscreen != 0;
    windowedWidth_ = kWindowedWidth;
    windowedHeight_ = kWindowedHeight;
    clientWidth_ = static_cast<int>(fullscreen_ ? fullscreenWidth_ : windowedWidth_);
    clientHeight_ = static_cast<int>(fullscreen_ ? fullscreenHeight_ : windowedHeight_);
    multisample_ = static_cast<std::uint32_t>(options.fsaa);
    vsync_ = options.vsync != 0;
    if (options.refreshRate == 0) options.refreshRate = 60;
    if (options.bpp == 0) options.bpp = desktop_.bitsPerPixel;
    bitsPerPixel_ = static_cast<std::uint32_t>(options.bpp);
    refreshRate_ = static_cast<std::uint32_t>(options.refreshRate);
    // No place is stored between starts: the window opens in the middle of the desktop, and a start in
    // full screen leaves it there too, where Alt+Enter brings it.
    windowX_ = std::max(0, (desktop_.width - static_cast<int>(windowedWidth_)) / 2);
    windowY_ = std::max(0, (desktop_.height - static_cast<int>(windowedHeight_)) / 2);
    options_.Set(options);
}

bool App::Create() {
    session_ = std::make_unique<GameSessionLink>(&scenes_);
    if (!InitWindow()) {
        failed_ = true;
        return false;
    }
    session_->SetStartFlag(0);
    if (args_.size() >= 5 && args_[4] == u"2") session_->SetStartFlag(2);
    input_ = std::make_unique<InputDevice>();
    // Both window backends feed the mouse sink (the null one with scripted input), so the device
    // always takes the events of the window's pump.
    const std::uint32_t inputResult =
        input_->Init(window_.get(), std::make_unique<platform::MouseDevice>(platform::MouseBackend::Sdl));
    if (inputResult != 0) {
        const WString text = Format(u"Mouse input could not be started (code 0x%08X).", inputResult);
        LogWrite(u"ERROR : %s\n", text);
        platform::MessageBox("Marvenlot", ToUtf8(text), platform::MB_OK | platform::MB_ICONWARNING);
        input_.reset();
    }
    return true;
}

void App::CreateScenes() {
    updateQueue_ = std::make_unique<EventQueue>(kQueueCapacity);
    uiQueue_ = std::make_unique<EventQueue>(kQueueCapacity);
    gui::NoticeBox::SetPoster([this](std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        PostUiMessage(code, a, b, c);
    });
    gui::NoticeBox::SetJournal([](const WString& line) { platform::Journal::Write(ToUtf8(line)); });
    gui::Dialog::SetSoundPlayer([](int id) {
        if (SoundManager* sound = scenes::GetGlobalSoundManager()) sound->PlayDefault(id);
    });
    scenes_.SetOwner(this);
    for (int id : SceneIdsForMode(mode_))
        scenes_.AddScene(sceneFactory_ ? sceneFactory_(id) : CreateGameScene(id, *this));
    WString ids;
    for (int id : scenes_.SceneIds()) ids += Format(u" %d", id);
    LogWrite(u"Start mode %u, scenes%s\n", static_cast<unsigned>(mode_), ids);
    scenes_.SetScene(mode_ == StartMode::Replay ? scenes::scene_id::kReplay : scenes::scene_id::kIntro);
    scenes_.CreateWindows();
    scenes_.AdoptOptionDialog(CreateOptionDialog(*this));
    scenes_.AdoptMessenger(CreateMessenger(*this));
    scenesCreated_ = true;
}

bool App::InitRenderer() {
    ReleaseEngine();
    factory_ = std::make_unique<GameEngineFactory>(windows_, window_.get());
    engine_ = factory_->CreateEngine();
    if (fullscreen_) updaterMinimised_ = true;  // no separate updater window runs beside this client
    factory_->SetDisplayMode(DisplayRecord());
    GetEngineSettings().textureDetail = static_cast<std::uint16_t>(options_.Get().textureDetail);
    if (!engine_->Initialize()) {
        LogWrite(u"ERROR : the engine could not be initialised\n");
        FailStart();
        return false;
    }
    renderer_ = GetRenderDevice(engine_.get());
    resources_ = GetResourceManager(engine_.get());
    sound_ = GetSoundManager(engine_.get());
    engineScenes_ = GetEngineSceneManager(engine_.get());
    if (!renderer_ || !resources_ || !engineScenes_) {
        LogWrite(u"ERROR : the engine has no render device, resource manager or scene manager\n");
        FailStart();
        return false;
    }

    scenes::SetGlobalSoundManager(sound_);
    SoundSequence::Instance().SetSoundManager(sound_);
    ApplySoundOptions();
    LogWrite(u"renderer : %X\n", static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(renderer_)));
    renderer_->SetDeviceResetCallback(nullptr, nullptr);

    const int capsResult = renderer_->CheckDeviceCaps(caps_);
    if (capsResult != 0) {
        const WString text(GetDeviceErrorMessage(capsResult, 0));
        LogWrite(u"Renderer error: %s\n", text);
        SystemCheckDialog(capsResult);
        FailStart();
        return false;
    }

    Options options = options_.Get();
    std::vector<platform::ModeRecord> modes;
    renderer_->EnumDisplayModes(modes);
    BuildDisplayModeList(options, modes);
    bool changed = false;
    for (std::uint16_t level : caps_.multisampleTypes) options.MarkMultisampleSupported(level);
    if (options.fsaa != 0 && !options.IsMultisampleSupported(options.fsaa)) {
        options.fsaa = options.HighestMultisampleUpTo(options.fsaa);
        multisample_ = static_cast<std::uint32_t>(options.fsaa);
        changed = true;
    }
    options.deviceMaxAnisotropy = caps_.capabilityWord;
    if (!options.ClampAnisotropy()) changed = true;
    if (!options.FitToDevice(caps_)) changed = true;
    const bool modeChanged = FitDisplayMode(options);
    if (modeChanged || changed) {
        SaveOptions(options);
        // A full-screen fit has set the depth it applies.
        if (!fullscreen_ || !modeChanged) bitsPerPixel_ = static_cast<std::uint32_t>(options.bpp);
    }
    options_.Set(options);
    ApplyDisplayRecord();

    resources_->SetRootFolder(FromUtf8(packagesDir_));
    resources_->SetDataFolder(u"");
    uiResources_ = std::make_unique<gui::UiResourceSet>(resources_, options.lang);
    uiResources_->InitSets();

    const int applyResult = renderer_->ApplyDisplayMode();
    if (applyResult != 0) {
        const WString text(GetDeviceErrorMessage(applyResult, 0));
        LogWrite(u"Renderer error: %s\n", text);
        platform::MessageBox("Marvenlot", ToUtf8(text),
                             platform::MB_OK | platform::MB_ICONERROR | platform::MB_TASKMODAL);
        FailStart();
        return false;
    }
    deviceInitialised_ = true;
    std::uint32_t textureKb = 0;
    std::uint64_t total = 0, free = 0;
    const bool memoryKnown = renderer_->GetVideoMemoryInfo(textureKb, total, free);
    LogWrite(u"Initial Free Video Memory : %.2fMB / %.2fMB\n", memoryKnown ? free / 1024.0 / 1024.0 : 0.0,
             memoryKnown ? total / 1024.0 / 1024.0 : 0.0);
    if (memoryKnown) LogWrite(u"AGP Memory : %.2fMB\n", textureKb / 1024.0);

    ResourceFailure damaged;
    const bool treeOpen = uiResources_->OpenTree() != 0;
    if (!treeOpen || !CheckClientPackages(*resources_, uiResources_->Folder(), damaged)) {
        renderer_->SetDialogBoxMode(true);
        const WString text = treeOpen ? LoadingErrorText(damaged, 1) : LoadingErrorText(resources_, 1);
        LogWrite(u"ERROR : %s\n", text);
        platform::MessageBox("Marvenlot", ToUtf8(text),
                             platform::MB_OK | platform::MB_ICONERROR | platform::MB_TASKMODAL);
        // The process ends through the orderly shutdown, so no thread outlives what it uses.
        FailStart();
        return false;
    }

    ApplyTextureFilter();
    SetEngineAspect();
    renderer_->frameFlag = 0;
    LogWrite(u"Init done...\n");
    platform::NamedEvent::Open(ToUtf8(kInitEventName)).Set();
    return true;
}

bool App::FitDisplayMode(Options& options) {
    const bool wasSized = options.width != 0 && options.height != 0;
    // Load kept every side within what a mode can have, so the sizes fit the record's 16 bits.
    std::uint16_t w = static_cast<std::uint16_t>(fullscreen_ || !wasSized ? ClientWidth() : options.width);
    std::uint16_t h = static_cast<std::uint16_t>(fullscreen_ || !wasSized ? ClientHeight() : options.height);
    std::uint8_t bits = static_cast<std::uint8_t>(options.bpp);
    std::uint32_t refresh = refreshRate_;
    std::uint8_t vsync = vsync_ ? 1 : 0;
    const WString wanted = Format(u"%d x %d (%d bits, %d Hz)", w, h, bits, refresh);
    if (!fullscreen_) {
        // A window is no display mode: fitting the windowed 1024 x 768 would write it over the
        // full-screen size on a display without that mode. The stored full-screen size, which the
        // next switch to full screen uses, is fitted on a copy, and only the size is taken.
        if (!wasSized) return false;
        Options copy = options;
        copy.ValidateDisplayMode(w, h, bits, refresh, vsync);
        if (w == options.width && h == options.height) return false;
        LogWrite(u"WARNING : the full-screen size %d x %d is no display mode; %d x %d is stored\n",
                 options.width, options.height, w, h);
        options.width = w;
        options.height = h;
        return true;
    }
    if (!options.ValidateDisplayMode(w, h, bits, refresh, vsync)) return false;
    const WString used = Format(u"%d x %d (%d bits, %d Hz)", w, h, bits, refresh);
    if (used != wanted) LogWrite(u"WARNING : the display mode %s is not offered; %s is used\n", wanted, used);
    clientWidth_ = w;
    clientHeight_ = h;
    refreshRate_ = refresh;
    vsync_ = vsync != 0;
    bitsPerPixel_ = bits;
    MoveWindowForMode();
    return true;
}

void App::SaveOptions(const Options& options) {
    if (mode_ == StartMode::Replay) return;
    int error = 0;
    if (!options.Save(configPathA_, &error))
        LogWrite(u"ERROR : config.ini could not be written (%s)\n", FromUtf8(platform::FileErrorText(error)));
}

platform::DisplayMode App::DisplayRecord() const {
    platform::DisplayMode record;
    record.fullscreen = fullscreen_ ? 1 : 0;
    record.vsync = vsync_ ? 1 : 0;
    record.width = static_cast<std::uint16_t>(ClientWidth());
    record.height = static_cast<std::uint16_t>(ClientHeight());
    record.bits = static_cast<std::uint16_t>(bitsPerPixel_);
    record.refresh = static_cast<std::uint16_t>(refreshRate_);
    record.multisample = static_cast<std::uint16_t>(multisample_);
    return record;
}

void App::ApplyDisplayRecord() {
    if (renderer_) renderer_->SetDisplayMode(DisplayRecord());
}

void App::SetEngineActive(bool active) {
    if (engine_) engine_->SetActive(active);
}

void App::ShowError(gui::Widget* parent, const WString& line1, const WString& line2, const WString& line3) {
    scenes_.ShowError(parent, line1, line2, line3);
}

void App::OpenClanDialog() {
    OpenMessengerClanPage(scenes_.GetMessenger());
}

void App::RequestVideoSettings(const VideoSettings& settings, std::uint32_t changes) {
    SetPendingVideoSettings(settings);
    PostUiMessage(static_cast<std::uint32_t>(scenes::AppMessage::ApplyVideoSettings), changes, 0, 0);
}

void App::ShowNotice(gui::Widget* parent, const WString& line1, const WString& line2, const WString& line3) {
    scenes_.ShowNotice(parent, line1, line2, line3);
}

net::GameSession* App::CurrentSession() {
    return net::CurrentSession();
}

bool App::WaterEffect() const {
    return options_.Get().waterEffect != 0;
}

// The engine releases its scene manager, sound manager, resource manager and render device in that
// order; the factory goes after the engine that refers to it.
void App::ReleaseEngine() {
    scenes::SetGlobalSoundManager(nullptr);
    SoundSequence::Instance().SetSoundManager(nullptr);
    renderer_ = nullptr;
    resources_ = nullptr;
    sound_ = nullptr;
    engineScenes_ = nullptr;
    engine_.reset();
    factory_.reset();
}

void App::ApplyTextureFilter() {
    if (!renderer_) return;
    const Options options = options_.Get();
    TextureFilter filter = renderer_->GetTextureFilter();
    filter.filter = options.textureFilter == 2 ? 2 : (options.textureFilter == 3 ? 3 : 1);
    filter.level = filter.filter == 3 ? static_cast<std::uint16_t>(options.anisotropic) : 1;
    filter.flag = 1;
    filter.enable = (options.environmentEffect && scenes::EffectsSupported(caps_)) ? 1 : 0;
    filter.third = 2;
    renderer_->SetTextureFilter(filter);
}

void App::Shutdown() {
    {
        platform::ScopedLock lock(lock_);
        renderingActive_ = false;
        SetEngineActive(false);
    }
    running_ = false;
    // A start that failed before the start event leaves the update thread waiting for it: wake it
    // so that it takes its exit at once.
    startEvent_.Set();
    if (updateThread_.Running()) {
        updateThreadJoined_ = updateThread_.Join(kUpdateThreadWaitMs);
        if (!updateThreadJoined_) {
            // Freeing what the thread may still use would crash at exit; end without destructors.
            LogWrite(u"WARNING : update thread did not end; exiting\n");
            GetLog().Flush();
            std::_Exit(0);
        }
        LogWrite(u"Update thread ended\n");
    }
    session_->StopDispatchThread();
    scenes_.DestroyAll();
    SoundSequence::Instance().SetSoundManager(nullptr);
    SoundSequence::Instance().Clear();
    session_ = std::make_unique<SessionLink>();
    if (input_) input_->Shutdown();
    input_.reset();
    gui::NoticeBox::SetPoster(nullptr);
    gui::Dialog::SetSoundPlayer(nullptr);
    updateQueue_.reset();
    uiQueue_.reset();
    uiResources_.reset();
    ReleaseEngine();
    if (window_) window_->SetKeyboardGrab(false);
    window_.reset();
}

void App::ApplySoundOptions() {
    if (!sound_) return;
    const Options options = options_.Get();
    const struct {
        SoundCategory category;
        bool on;
        std::int32_t volume;
    } channels[] = {{SoundCategory::Music, options.bgm != 0, options.bgmVolume},
                    {SoundCategory::Effects, options.fx != 0, options.fxVolume},
                    {SoundCategory::Voice, options.voice != 0, options.voiceVolume}};
    for (const auto& channel : channels) {
        sound_->SetCategoryEnabled(channel.category, channel.on);
        if (channel.on)
            sound_->SetCategoryVolume(channel.category, static_cast<float>(channel.volume / 100.0));
    }
}

void App::SendServerOptions() {
    const Options options = options_.Get();
    session_->SendServerOptions(options.ServerOptionWord(), options.ServerFlagByte());
}

void App::SendByteMessage(std::uint16_t id, std::uint8_t value) {
    session_->SendByteMessage(id, value);
}

void App::SendMyInfoValue() {
    const gui::MyInfoWindow* window = scenes_.GetMyInfoWindow();
    if (!window) return;
    const std::array<std::uint8_t, 8> value = window->Value();
    session_->SendBlockMessage(shell_message::kMyInfoValue, value.data(),
                               static_cast<std::uint32_t>(value.size()));
}

void App::OnSceneCurrent(int id) {
    LogWrite(u"Scene %d\n", id);
    platform::JournalScene(id);
}

void App::FailStart() {
    failed_ = true;
    PostQuit();
}

void App::ShowLoadingError(int code) {
    failed_ = true;
    if (renderer_) renderer_->SetDialogBoxMode(true);
    const WString text = LoadingErrorText(resources_, -code);
    platform::MessageBox("Marvenlot", ToUtf8(text), platform::MB_OK);
}

#include "scenes/room/TableScene.h"

#include "engine/core/Log.h"
#include "engine/core/Options.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Scene.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSequence.h"
#include "gui/Widget.h"
#include "net/GameSession.h"
#include "net/ItemEntry.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "platform/sys/Journal.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/HelpWindow.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/room/TableSceneUi.h"

namespace scenes {

namespace {

constexpr std::uint32_t kFirstAppMessage = 1024;
constexpr std::uint16_t kOfflineCue = 3000;
constexpr std::uint32_t kOfflineCounter = 100000;
constexpr std::uint8_t kEightBall = 10;
constexpr std::uint32_t kDefaultModelId = 0x10014;
constexpr float kSetUpCameraSeconds = 0.5f;
constexpr float kSetUpPitch = 30.0f;
// The way back from the shot's overview, as the camera rig's own after a shot.
constexpr float kCueBackSeconds = 1.0f;
constexpr std::array<std::int32_t, 5> kNoParts{-1, -1, -1, -1, -1};

struct OfflineItems {
    int gameType;
    std::uint16_t table;
    std::uint16_t ballSet;
};
constexpr OfflineItems kOfflineItems[] = {
    {0, 1020, 2003},  {3, 1027, 2004},  {4, 1024, 2004},  {5, 1025, 2004},  {6, 1027, 2008},
    {10, 1030, 2006}, {12, 1032, 2006}, {13, 1033, 2006}, {16, 1035, 2007},
};

}  // namespace

TableScene::TableScene(int id) : GameScene(id) {}

TableScene::~TableScene() = default;

net::PlayerRecord& TableScene::Record() {
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr) return session->own;
    if (!ownRecord_) ownRecord_ = std::make_unique<net::PlayerRecord>();
    return *ownRecord_;
}

net::RoomInfo& TableScene::Room() {
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr) return session->GetRoom();
    if (!ownRoom_) ownRoom_ = std::make_unique<net::RoomInfo>();
    return *ownRoom_;
}

bool TableScene::BeginUI(const WString& title) {
    if (uiCreated_) return false;
    uiCreated_ = true;
    gui::Widget::Create(0, 0, Host() ? Host()->ClientWidth() : 1024, Host() ? Host()->ClientHeight() : 768);
    AddTitleBar(*this, title);
    exitButton_ = AddCornerButton(*this, kExitId, -35, 0, u"X", u"Exit Marvenlot");
    AddCornerButton(*this, kSettingsId, -68, platform::kVkF1 + 2, u"S", u"Settings(F3)");
    AddCornerButton(*this, kHelpId, -101, platform::kVkF1, u"?", u"Help(F1)");
    // Children are adopted shown; the help waits hidden for its button.
    help_ = Make<HelpWindow>();
    help_->SetVisible(false);
    return true;
}

bool TableScene::OnCornerButton(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    switch (event.id) {
        case kExitId:
            if (Host()) Host()->PostQuit();
            return true;
        case kSettingsId:
            OpenOptionDialog(Host() ? Host()->GetOptionDialog() : nullptr);
            return true;
        case kHelpId:
            OpenHelp();
            return true;
        default:
            return false;
    }
}

void TableScene::OpenHelp() {
    if (help_) help_->Open(HelpWindow::kRules, Room().gameType);
}

table::TableWorld& TableScene::CreateWorld() {
    world_ = std::make_unique<table::TableWorld>();
    // The shot records the world writes carry the build that wrote them.
    if (Host()) world_->SetClientBuild(Host()->ClientBuild());
    world_->SetMessageSink([this](table::WorldMessage code, std::uint32_t a, std::uint32_t b) {
        if (Host()) Host()->PostUiMessage(static_cast<std::uint32_t>(code), a, b, 0);
    });
    world_->SetSoundSink([this](int id, float volume) {
        if (SoundManager* sound = Host() ? Host()->Sound() : nullptr) sound->Play(id, volume);
    });
    return *world_;
}

void TableScene::FrameTopView(const gui::Widget* replayPanel, int top, int bottom, bool force) {
    const int right = TopViewRightInset(replayPanel, Host() ? Host()->ClientWidth() : Width());
    if (!world_ || (!force && right == topViewRight_)) return;
    topViewRight_ = right;
    world_->SetTopViewInsets(kChalkGaugeColumn, top, right, bottom);
}

void TableScene::QueueSound(int id) {
    SoundSequence::Instance().Enqueue(id, 1.0f);
}

void TableScene::DestroyWorld() {
    world_.reset();
    // The table's announcements end with it: a room left mid-announcement says no more in the lobby.
    SoundSequence::Instance().Clear();
}

void TableScene::DestroyWorld(table::CueObject*& cue) {
    if (world_ && cue) world_->ReleaseCueObject(cue);
    cue = nullptr;
    DestroyWorld();
}

bool TableScene::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    // The world's nodes go before the engine scenes that hold them.
    if (world_) world_->ReleaseLoadedResources();
    JournalWhenReady({});
    return GameScene::Leave(resources, engineScenes);
}

void TableScene::Update(std::uint64_t, std::uint64_t) {
    if (!world_) return;
    // Before the world steps: a shot that got under way before the table was ready (another player's,
    // reaching a busy client) takes the line with it, still ahead of the shot's SHOT line.
    std::string line;
    {
        platform::ScopedLock lock(readyLock_);
        if (!readyLine_.empty() && (world_->ShotUnderWay() || world_->ReadyForShot())) line.swap(readyLine_);
    }
    if (!line.empty()) platform::Journal::Write(line);
    world_->Update(++tick_, 0, 0, paused_.load());
}

void TableScene::JournalWhenReady(std::string line) {
    platform::ScopedLock lock(readyLock_);
    readyLine_ = std::move(line);
}

void TableScene::ApplyOptions() {
    if (world_) world_->ApplyOptions(CurrentOptions());
}

void TableScene::Resize(int width, int height) {
    if (world_) world_->LayoutHud(width, height);
}

void TableScene::OnActivate(bool active) {
    if (!world_) return;
    world_->SetForeground(active);
    if (!active) world_->ReleaseHeldKeys();
}

bool TableScene::PollKeyboard() {
    platform::KeyboardState* keys = Host() ? Host()->Keyboard() : nullptr;
    if (world_ && keys) world_->PollKeyboard(*keys);
    return true;
}

void TableScene::SetUpFreePractice(std::uint32_t seed) {
    table::TableWorld* world = world_.get();
    if (!world) return;
    SceneManager* engineScenes = Host() ? Host()->EngineScenes() : nullptr;
    if (Scene* scene = CurrentEngineScene(engineScenes)) world->AttachToScene(*scene);
    world->SetPhysicsModel(kDefaultModelId, false);
    world->ResetGame(seed);
    const Options options = CurrentOptions();
    world->ApplyOptions(options);
    world->ApplyControlOptions(options);
    world->SetTimeScale(table::kTimeScaleNormal);
    world->GetCameraRig().SetSetUpFlag(true);
    world->MoveCamera(kSetUpCameraSeconds, table::kKeepValue, kSetUpPitch);
    world->SetPlayState(table::PlayState::FreePractice);
    world->trailDisplay = true;
    world->SetOwnTurn(true);
    world->OnKeyCommand('Z', false);
    world->SetTurnFlag(true);
    world->LayoutHud(Width(), Height());
    JournalFreeTableReady();
}

bool TableScene::GiveCueBack(bool inHand) {
    table::TableWorld* world = world_.get();
    if (!world) return false;
    // A scratch leaves the cue ball in its pocket, where no strike moves it.
    const bool cameBack = world->RespotCueBallIfOutOfPlay();
    if (cameBack && inHand) world->BeginBallInHand(world->CurrentBall());
    world->ReturnCameraBehindCue(kCueBackSeconds);
    world->SetSceneVisible(true);
    world->SetTurnFlag(true);
    JournalFreeTableReady();
    return cameBack;
}

table::CueObject* TableScene::ReplaceCue(table::CueObject* previous, std::uint16_t item,
                                         const net::ItemEntry* personal) {
    if (!world_) return previous;
    std::array<std::int32_t, 5> parts = kNoParts;
    if (personal)
        for (std::size_t i = 0; i < parts.size(); ++i) parts[i] = personal->parts[i];
    table::CueObject* cue = world_->AcquireCueObject(item, parts);
    world_->SetShooter(cue);
    // The old object goes only after the shooter holds the new one.
    if (previous) world_->ReleaseCueObject(previous);
    return cue;
}

bool TableScene::RouteMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    // A widget that hides lets go of the pointer: none under it before this move means the widget the
    // last move was on went away (a window closed by a key or by the game), not that a sweep left it.
    const bool widgetBefore = gui::GetGuiState().hot != nullptr;
    const bool taken = GameScene::RouteMessage(message, wParam, lParam);
    if (message == platform::kWmMouseMove && world_) {
        if (taken)
            world_->PointerOnWidget();
        else if (pointerOnWidget_ && !widgetBefore)
            world_->WidgetGoneUnderPointer();
        pointerOnWidget_ = taken;
    }
    return taken;
}

bool TableScene::OfferWindowMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    return code < kFirstAppMessage && world_ && world_->HandleWindowMessage(code, a, b);
}

void TableScene::RenderTable(RenderDevice* renderer) {
    if (!renderer || !world_) return;
    world_->ProcessViewEvents();
    SceneManager* engineScenes = Host() ? Host()->EngineScenes() : nullptr;
    if (engineScenes && engineScenes->GetCurrentScene()) {
        renderer->SetClearColor(engineScenes->GetCurrentScene()->clearColor);
        engineScenes->RenderCurrentScene();
    }
    world_->RenderBalls(*renderer);
    world_->Render(*renderer);
    world_->DrawHud(*renderer);
}

bool TableScene::LoadMapScene(ResourceManager* resources, const char16_t* group) {
    SceneManager* engineScenes = Host() ? Host()->EngineScenes() : nullptr;
    ResourcePackage* data = resources ? resources->OpenPackage(u"data") : nullptr;
    ResourceGroup* map = data ? data->FindGroup(group) : nullptr;
    if (!engineScenes || !map) return false;
    const auto& infos = map->GetSceneInfoManager().All();
    if (infos.empty()) return false;
    const std::size_t first = engineScenes->SceneCount();
    for (const auto& info : infos) engineScenes->AddSceneFromInfo(info->data, *map);
    TrackEngineScene([engineScenes] { engineScenes->DestroyScenes(); });
    return engineScenes->SetCurrentScene(first);
}

int TableScene::LoadTable(ResourceManager* resources, RenderDevice* renderer, const char16_t* what,
                          const char16_t* mapGroup) {
    if (!LoadMapScene(resources, mapGroup)) {
        LogWrite(u"ERROR : the map scene of the %s is missing\n", what);
        return 1;
    }
    if (!renderer || !resources || !world_ || world_->LoadModels(*renderer, *resources) != 0) return 1;
    LoadSounds(resources, {}, kMusicStream);
    LoadTextures(resources, renderer);
    return 0;
}

void TableScene::FillChalk(net::ItemEntry& entry, std::uint32_t item, std::uint32_t uses) {
    entry.itemId = item;
    entry.type = static_cast<std::uint32_t>(net::ItemType::Chalk);
    entry.kind = 3;
    entry.state = static_cast<std::uint8_t>(net::ItemState::Active);
    entry.usageKind = static_cast<std::uint8_t>(net::UsageKind::LimitedCount);
    entry.initialValue = entry.remainingValue = uses;
}

bool TableScene::CreateEmptyScene(const char* name) {
    SceneManager* engineScenes = Host() ? Host()->EngineScenes() : nullptr;
    if (!engineScenes) return false;
    Scene* scene = engineScenes->CreateScene(name);
    if (!scene) return false;
    scene->clearColor = 0xFF000000;
    TrackEngineScene([engineScenes] { engineScenes->DestroyScenes(); });
    return engineScenes->SetCurrentScene(engineScenes->SceneCount() - 1);
}

Options TableScene::CurrentOptions() const {
    OptionsStore* store = Host() ? Host()->UserOptions() : nullptr;
    return store ? store->Get() : Options{};
}

void TableScene::WriteOfflineDefaults(bool withType16) {
    net::PlayerRecord& record = Record();
    for (net::GameTypeEquipment& equipment : record.equipment) equipment.cueId = kOfflineCue;
    for (const OfflineItems& items : kOfflineItems) {
        if (items.gameType == 16 && !withType16) continue;
        record.equipment[static_cast<std::size_t>(items.gameType)].tableId = items.table;
        record.equipment[static_cast<std::size_t>(items.gameType)].ballSetId = items.ballSet;
    }
    record.abilities.fill(kOfflineCounter);
    Room().gameType = kEightBall;
}

}  // namespace scenes

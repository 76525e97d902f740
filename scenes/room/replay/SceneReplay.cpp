#include "scenes/room/replay/SceneReplay.h"

#include <random>

#include "engine/core/Log.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/UiAtlas.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/replay/ShotPlayback.h"
#include "scenes/shared/SharedWindows.h"

namespace scenes {

namespace {

constexpr std::uint32_t kModelId = 0x10014;
constexpr std::uint32_t kOptionsChanged = 1058;
constexpr std::array<std::int32_t, 5> kNoParts{-1, -1, -1, -1, -1};
struct BarButton {
    std::uint32_t id;
    int x;
    const char16_t* caption;
    const char16_t* tooltip;
};
constexpr BarButton kBarButtons[] = {
    {106, 0, u"|<", u"처음으로"},
    {103, 42, u"<<", u"이전으로"},
    {SceneReplay::kPlayId, 84, u">", u"재생"},
    {SceneReplay::kPauseId, 84, u"||", u"일시정지"},
    {SceneReplay::kStopId, 126, u"[]", u"중지"},
    {105, 168, u">>", u"다음으로"},
    {107, 210, u">|", u"마지막으로"},
};
constexpr int kBarButtonSize = 42;
constexpr int kBarWidth = 252;
constexpr int kBarFromBottom = 76;
constexpr int kUiSet = 32;

}  // namespace

SceneReplay::SceneReplay() : TableScene(scene_id::kReplay) {}

SceneReplay::~SceneReplay() = default;

void SceneReplay::CreateUI() {
    if (!BeginUI(u"리플레이")) return;
    const int width = Width(), height = Height();

    gui::Panel* bar = AddPanel(0, 0, kBarWidth, kBarButtonSize);
    bar->SetAnchor(gui::AnchorH::Center, kBarWidth / 2 - 126, gui::AnchorV::Bottom,
                   kBarButtonSize - kBarFromBottom);
    for (const BarButton& b : kBarButtons) {
        gui::Button* button = bar->AddButton(b.x, 0, kBarButtonSize, kBarButtonSize, b.id, 0,
                                             gui::atlas::InSet(gui::atlas::kTextButton, kUiSet));
        button->SetFrameCount(gui::atlas::kTextButtonFrames);
        button->SetCaption(b.caption);
        button->SetTooltip(b.tooltip);
        if (b.id == kPlayId) play_ = button;
        if (b.id == kPauseId) pause_ = button;
    }
    const struct {
        std::uint32_t id;
        int fromRight;
        const char16_t* caption;
        const char16_t* tooltip;
    } views[] = {{kSideViewId, -180, u"Side", u"옆에서 보기"}, {kTopViewId, -100, u"Top", u"위에서 보기"}};
    for (const auto& v : views) {
        gui::Button* button =
            AddButton(0, 0, 78, 51, v.id, 0, gui::atlas::InSet(gui::atlas::kTextButton, kUiSet));
        button->SetFrameCount(gui::atlas::kTextButtonFrames);
        button->SetCaption(v.caption);
        button->SetTooltip(v.tooltip);
        button->SetAnchor(gui::AnchorH::Right, v.fromRight + 78, gui::AnchorV::Bottom, 51 - kBarFromBottom);
    }
    keyGuide_ = AddKeyGuide(*this, false);
    WriteOfflineDefaults(false);
    LayoutChildren(width, height);
}

bool SceneReplay::ReadRecord(const WString& text) {
    std::string ascii;
    ascii.reserve(std::min(text.size(), kMaxRecordText));
    for (std::size_t i = 0; i < text.size() && i < kMaxRecordText; ++i)
        ascii.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    table::ShotRecord parsed;
    const table::ShotRecord::ParseResult result = parsed.ParseHex(ascii);
    if (result != table::ShotRecord::ParseResult::Ok) {
        LogWrite(u"ERROR : the replay's shot record cannot be read: %s\n",
                 FromUtf8(table::ParseResultText(result)));
        return false;
    }
    if (const WString problem = table::ShotRecordProblem(parsed); !problem.empty()) {
        LogWrite(u"ERROR : the replay's shot record cannot be played: %s\n", problem);
        return false;
    }
    LogWrite(u"Replay of a shot record of build %u (revision %d)\n", parsed.clientBuild,
             table::BuildRevision(parsed.clientBuild));
    record_ = parsed;
    return true;
}

int SceneReplay::Load3D(ResourceManager* resources, RenderDevice* renderer) {
    CreateUI();
    AttachSharedWindows(*this, nullptr);
    table::TableWorld& world = CreateWorld();
    if (!ReadRecord(Host() ? Host()->CommandLineArgument(kRecordArgument) : WString{})) return 1;
    TakeCue(record_.cueItem);
    net::RoomInfo& room = Room();
    room.gameType = record_.gameType;
    room.tableItem = record_.tableItem;
    room.ballSetItem = record_.ballSetItem;
    world.SetGameType(record_.gameType);
    world.SetGameItems(record_.tableItem, record_.ballSetItem);
    LoadSounds(resources, {27, 1, 0}, -1);
    if (!renderer || !resources || world.LoadModels(*renderer, *resources) != 0) return 1;
    // The map's scene gives the table its lights; without it an empty black scene stands in.
    if (!LoadMapScene(resources) && !CreateEmptyScene("aa")) return 1;
    LoadTextures(resources, renderer);
    return 0;
}

void SceneReplay::TakeCue(std::uint16_t item) {
    table::TableWorld* world = World();
    table::CueObject* previous = cueObject_;
    cueObject_ = world->AcquireCueObject(item, kNoParts);
    world->SetShooter(cueObject_);
    if (previous) world->ReleaseCueObject(previous);
}

void SceneReplay::Enter() {
    table::TableWorld* world = World();
    if (Scene* scene = CurrentEngineScene(Host() ? Host()->EngineScenes() : nullptr))
        world->AttachToScene(*scene);
    world->SetPhysicsModel(kModelId, false);
    static std::random_device device;
    world->ResetGame(device());
    const Options options = CurrentOptions();
    world->ApplyOptions(options);
    world->ApplyControlOptions(options);
    world->SetTimeScale(table::kTimeScaleNormal);
    world->GetCameraRig().SetSetUpFlag(true);
    world->SetPlayState(table::PlayState::Replay);
    world->trailDisplay = true;
    world->SetTurnFlag(true);
    world->LayoutHud(Width(), Height());
    // The record's cue gives way to the default cue of the game type, as the viewer always shows it.
    TakeCue(TableScene::Record().equipment[record_.gameType % net::kGameTypeCount].cueId);
    if (keyGuide_) keyGuide_->Show(false);
    shotRunning_ = false;
    viewMode_ = 0;
    SetPaused(false);
    world->SetPhysicsModel(record_.physicsModelId, false);
    world->SetTopView(true);
    StartPlayback();
    SetActive(true);
}

void SceneReplay::ShowPlaying(bool playing) {
    if (play_) play_->Show(!playing);
    if (pause_) pause_->Show(playing);
}

void SceneReplay::StartPlayback() {
    table::TableWorld* world = World();
    const PlaybackView& view = PlaybackViewAt(viewMode_);
    speedPercent_ = view.speedPercent;
    if (!StrikeRecordedShot(*world, record_, viewMode_, false)) {
        LogWrite(u"ERROR : the replay's shot record does not fit its table\n");
        shotRunning_ = false;
        ShowPlaying(false);
        return;
    }
    shotRunning_ = true;
    SetPaused(false);
    ShowPlaying(true);
    viewMode_ = (viewMode_ + 1) % kPlaybackViewCount;
}

void SceneReplay::Render(RenderDevice* renderer, bool draw) {
    if (draw) RenderTable(renderer);
}

bool SceneReplay::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    table::TableWorld* world = World();
    if (!world) return false;
    const bool used = OfferWindowMessage(code, a, b);
    tableWorldUnhandled = !used;
    if (code == kOptionsChanged) {
        world->ApplyControlOptions(CurrentOptions());
        return true;
    }
    if (code == static_cast<std::uint32_t>(table::WorldMessage::ShotAtRest)) {
        shotRunning_ = false;
        ++playbacks_;
        JournalPlaybackEnd(playbacks_, speedPercent_, world->LastShotHash());
        world->SetSceneVisible(true);
        StartPlayback();
        return true;
    }
    return used;
}

bool SceneReplay::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    if (OnCornerButton(event)) return true;
    table::TableWorld* world = World();
    switch (event.id) {
        case kPlayId:
            if (!world) return true;
            if (Paused()) {
                SetPaused(false);
            } else if (!shotRunning_) {
                // Stopped: the shot is struck again from its start, with the current view.
                shotRunning_ = world->ExecuteShot(table::ShotMode::Replay, false);
            }
            ShowPlaying(true);
            return true;
        case kPauseId:
            SetPaused(true);
            ShowPlaying(false);
            return true;
        case kStopId:
            if (!world) return true;
            world->StopShotInProgress();
            shotRunning_ = false;
            SetPaused(false);
            world->ResetBallsToShotState();
            ShowPlaying(false);
            return true;
        case kTopViewId:
            if (world) world->SetTopView(true);
            return true;
        case kSideViewId:
            if (world) world->SetTopView(false);
            return true;
        default:
            return false;
    }
}

bool SceneReplay::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    TableScene::Leave(resources, engineScenes);
    if (World() && cueObject_) World()->ReleaseCueObject(cueObject_);
    cueObject_ = nullptr;
    DestroyWorld();
    return true;
}

}  // namespace scenes

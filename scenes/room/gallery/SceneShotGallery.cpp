#include "scenes/room/gallery/SceneShotGallery.h"

#include <algorithm>
#include <random>

#include "engine/core/Log.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "gui/UiResourceSet.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/gallery/GalleryCodes.h"
#include "scenes/room/gallery/ShotGalleryListWindow.h"
#include "scenes/room/gallery/ShotViewWindow.h"
#include "scenes/room/replay/ShotPlayback.h"
#include "scenes/shared/SharedWindows.h"

namespace scenes {

namespace {

constexpr std::uint32_t kModelId = 0x10014;
constexpr std::uint16_t kTableItem = 1020;
constexpr std::uint16_t kBallSetItem = 2003;
constexpr std::uint16_t kDefaultCue = 3000;
constexpr std::array<std::int32_t, 5> kNoParts{-1, -1, -1, -1, -1};
constexpr float kEnterCameraSeconds = 0.5f;
constexpr float kEnterPitch = 30.0f;
constexpr float kLowestPitch = 20.0f;
constexpr float kHighestPitch = 60.0f;
constexpr int kPitchMoveTicks = 600;
constexpr int kSpeedPlateWidth = 120, kSpeedPlateHeight = 28;
// The gallery's windows draw from the UI package's "Gallery" image, the first named set; a package
// without it leaves them set 24, which holds the same cells.
constexpr int kGallerySet = gui::UiResourceSet::kSetCount;
constexpr char16_t kGallerySetName[] = u"Gallery";
constexpr int kGalleryStandInSet = 24;
constexpr char16_t kUnplayableShot[] = u"This shot cannot be played.";
constexpr char16_t kUnplayableShotReason[] = u"Its record is damaged.";
// Private: the user info window read a profile on the dispatch thread and is shown on the main one.
constexpr std::uint32_t kShowUserInfoMessage = 1098;

// Moves the pictures of a window and of its children from the common set 0 (the front end's helpers
// build from it) to `set`.
void DrawFromSet(gui::Widget& widget, int set) {
    gui::UiImage image = widget.Image();
    if (image.set == 0) {
        image.set = set;
        widget.SetImage(image);
    }
    for (gui::Widget* child : widget.Children()) DrawFromSet(*child, set);
}

std::uint32_t RandomSeed() {
    static std::random_device device;
    return device();
}

}  // namespace

SceneShotGallery::SceneShotGallery() : TableScene(scene_id::kShotGallery) {}

SceneShotGallery::~SceneShotGallery() = default;

void SceneShotGallery::CreateUI() {
    if (!BeginUI(u"Shot Gallery")) return;
    if (auto* exit = dynamic_cast<gui::Button*>(FindById(gallery::kToLobbyId))) {
        exit->SetCaption(u"L");
        exit->SetTooltip(u"To Lobby");
    }
    AddCornerButton(*this, gallery::kMyInfoId, -134, platform::kVkF4, u"I", u"MyInfo(F4)");
    messengerButton_ =
        AddCornerButton(*this, gallery::kMessengerId, -167, platform::kVkF4 + 4, u"M", u"Messanger(F8)");

    chatPanel_ = AddPanel(0, 0, kChatRowMaxWidth, 18 * (kChatRows - 1) + 30);
    chatPanel_->SetAnchor(gui::AnchorH::None, 0, gui::AnchorV::Bottom, -188);
    for (int i = 0; i < kChatRows; ++i) {
        ChatRowWidgets& row = chatRows_[static_cast<std::size_t>(i)];
        row.panel = chatPanel_->AddPanel(4, 18 * i, kChatRowWidth, 30);
        row.label = AddTextLine(*row.panel, 20, 13, 440, 18, {}, gui::kFont12,
                                gui::align::kLeft | gui::align::kVCenter, 0xFFFFFFFF);
        row.panel->SetVisible(false);
    }
    // The speed stands on a plate of its own, as the key guide does, so it reads over the cloth, the
    // cushions and the floor alike wherever the camera puts the table; its bottom edge 51 above the
    // screen's, the label's 55.
    speedPlate_ =
        AddImage(0, 0, kSpeedPlateWidth, kSpeedPlateHeight, gui::atlas::InSet(gui::atlas::kDarkPanel, 15));
    speedPlate_->SetAnchor(gui::AnchorH::Center, 0, gui::AnchorV::Bottom, -51);
    speedPlate_->SetAlpha(0.8f);
    speedLabel_ = AddTextLine(*speedPlate_, (kSpeedPlateWidth - 100) / 2, 4, 100, 20, {}, gui::kFont14Bold,
                              gui::align::kCenter | gui::align::kVCenter);
    ShowSpeed({});

    list_ = Make<ShotGalleryListWindow>(client_);
    list_->SetVisible(false);
    DrawFromSet(*list_, kGallerySet);
    shotWindow_ = Make<ShotViewWindow>(client_);
    shotWindow_->SetVisible(false);
    DrawFromSet(*shotWindow_, kGallerySet);
    LayoutChildren(Width(), Height());
}

int SceneShotGallery::Load3D(ResourceManager* resources, RenderDevice* renderer) {
    CreateUI();
    resources_ = resources;
    AttachSharedWindows(*this, messengerButton_);
    table::TableWorld& world = CreateWorld();
    world.SetGameType(0);
    world.SetGameItems(kTableItem, kBallSetItem);
    gui::UiResourceSet* sets = gui::UiResourceSet::Current();
    if (!sets || !sets->LoadNamedSet(kGallerySet, kGallerySetName, kGalleryStandInSet))
        LogWrite(
            u"WARNING : the UI image set \"Gallery\" is missing; the gallery draws set %d in its place\n",
            kGalleryStandInSet);
    if (!LoadMapScene(resources)) {
        LogWrite(u"ERROR : the shot gallery's map scene is missing\n");
        return 1;
    }
    if (!renderer || !resources || world.LoadModels(*renderer, *resources) != 0) return 1;
    LoadTextures(resources, renderer);
    return 0;
}

void SceneShotGallery::Enter() {
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
        session->currentRoom = gallery::kGalleryRoomWord;
    table::TableWorld* world = World();
    if (world) {
        if (Scene* scene = CurrentEngineScene(Host() ? Host()->EngineScenes() : nullptr))
            world->AttachToScene(*scene);
        world->SetPhysicsModel(kModelId, false);
        world->ResetGame(RandomSeed());
        world->SetCameraModeFlags(false, false, true, false);
        const Options options = CurrentOptions();
        world->ApplyOptions(options);
        world->ApplyControlOptions(options);
        world->SetTimeScale(table::kTimeScaleNormal);
        world->GetCameraRig().SetSetUpFlag(true);
        world->MoveCamera(kEnterCameraSeconds, table::kKeepValue, kEnterPitch);
        world->SetPlayState(table::PlayState::Replay);
        world->LayoutHud(Width(), Height());
        TakeCue(kDefaultCue, kNoParts);
    }
    {
        platform::ScopedLock lock(chatLock_);
        chat_.clear();
    }
    shotWindow_->SetContext(Host(), &Record());
    list_->Reset();
    shotWindow_->Show(false);
    // A list still shown from the last visit reads today's best shots again where it stands.
    if (list_->IsVisible())
        list_->Refresh();
    else
        list_->Show(true);
    RefreshChat();
    setupPending_ = false;
    cameraAdjusted_ = false;
    speed_ = -1;
    ShowSpeed({});
    SetActive(true);
}

void SceneShotGallery::TakeCue(std::uint16_t item, const std::array<std::int32_t, 5>& parts) {
    table::TableWorld* world = World();
    if (!world) return;
    table::CueObject* previous = cueObject_;
    cueObject_ = world->AcquireCueObject(item, parts);
    world->SetShooter(cueObject_);
    if (previous) world->ReleaseCueObject(previous);
}

void SceneShotGallery::OpenGalleryShot(std::int32_t shotSeq) {
    shotWindow_->Clear();
    shotWindow_->SetShotSeq(shotSeq);
    // A window still open from the last shot loads the new one where it stands.
    if (shotWindow_->IsVisible())
        shotWindow_->Reload();
    else
        shotWindow_->Show(true);
}

bool SceneShotGallery::PlayGalleryShot() {
    table::ShotRecord parsed;
    const table::ShotRecord::ParseResult result = parsed.ParseHex(shotWindow_->RecordHex());
    const WString problem = result != table::ShotRecord::ParseResult::Ok
                                ? FromUtf8(table::ParseResultText(result))
                                : table::ShotRecordProblem(parsed);
    if (!problem.empty()) {
        // The table keeps what it showed; the player learns why nothing plays and is back at the list.
        LogWrite(u"ERROR : the gallery shot %d cannot be played: %s\n", shotWindow_->ShotSeq(), problem);
        shotWindow_->Show(false);
        list_->Show(true);
        // After the list, so that the notice lies over it.
        if (Host()) Host()->ShowNotice(this, kUnplayableShot, kUnplayableShotReason);
        return false;
    }
    speed_ = 0;
    if (table::TableWorld* world = World()) world->StopShotInProgress();
    record_ = parsed;
    setupPending_ = true;
    // A personal cue carries its parts in the record; any other cue is shown bare.
    std::array<std::int32_t, 5> parts = kNoParts;
    const bool hasParts = std::any_of(record_.cuePartItems.begin(), record_.cuePartItems.end(),
                                      [](std::uint16_t id) { return id != 0; });
    if (hasParts)
        for (std::size_t i = 0; i < parts.size(); ++i) parts[i] = record_.cuePartItems[i];
    TakeCue(record_.cueItem, parts);
    return true;
}

void SceneShotGallery::SetUpPendingShot(RenderDevice* renderer) {
    table::TableWorld* world = World();
    if (!setupPending_ || !world) return;
    setupPending_ = false;
    world->DestroyBallObjects();
    world->SetGameType(record_.gameType);
    world->SetGameItems(record_.tableItem, record_.ballSetItem);
    if (renderer && resources_ && world->LoadModels(*renderer, *resources_) != 0)
        LogWrite(u"WARNING : the models of the gallery shot's table could not be loaded\n");
    StartGalleryPlayback();
    world->SnapshotBalls();
}

void SceneShotGallery::StartGalleryPlayback() {
    table::TableWorld* world = World();
    cameraAdjusted_ = false;
    if (!world || speed_ < 0 || speed_ >= kPlaybackViewCount) return;
    world->ResetGame(RandomSeed());
    // A new rack leaves the world in its rack state; the playback is a replay.
    world->SetPlayState(table::PlayState::Replay);
    world->SetGameType(record_.gameType);
    world->SetPhysicsModel(record_.physicsModelId, false);
    ShowSpeed(PlaybackViewAt(speed_).label);
    if (!StrikeRecordedShot(*world, record_, speed_, true))
        LogWrite(u"ERROR : the gallery shot does not fit its table\n");
}

void SceneShotGallery::ShowSpeed(const WString& text) {
    speedLabel_->SetPlainText(text);
    speedPlate_->SetVisible(!text.empty());
}

const WString& SceneShotGallery::SpeedText() const {
    return speedLabel_->Text();
}

void SceneShotGallery::AdjustCameraAfterShot() {
    table::TableWorld* world = World();
    if (!world || speed_ < 0) return;
    cameraAdjusted_ = true;
    table::CameraRig& rig = world->GetCameraRig();
    const float pitch = rig.GetPitchDegrees();
    if (pitch < kLowestPitch || pitch > kHighestPitch) {
        rig.SetTargetView(table::kKeepValue, pitch < kLowestPitch ? kLowestPitch : kHighestPitch,
                          table::kKeepValue, table::kKeepValue);
        rig.BeginMove(kPitchMoveTicks);
    }
}

void SceneShotGallery::Render(RenderDevice* renderer, bool draw) {
    SetUpPendingShot(renderer);
    if (chatChanged_.exchange(false)) RefreshChat();
    if (draw && World()) RenderTable(renderer);
}

void SceneShotGallery::HandleEscape() {
    if (shotWindow_->IsVisible()) {
        shotWindow_->Show(false);
        list_->Show(true);
    } else if (list_->IsVisible()) {
        list_->Show(false);
    } else {
        list_->Show(true);
    }
}

bool SceneShotGallery::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    table::TableWorld* world = World();
    const bool used = world ? OfferWindowMessage(code, a, b) : false;
    if (code == platform::kWmChar && a == 27) {
        HandleEscape();
        return true;
    }
    switch (code) {
        case gallery::kOpenShotMessage:
            OpenGalleryShot(static_cast<std::int32_t>(a));
            return true;
        case gallery::kPlayShotMessage:
            PlayGalleryShot();
            return true;
        case gallery::kToLobbyMessage:
            ToLobby();
            return true;
        case gallery::kOptionsChangedMessage:
            if (world) world->ApplyControlOptions(CurrentOptions());
            return true;
        case gallery::kVoteReplyMessage:
            ShowVoteReply(static_cast<int>(a));
            return true;
        case kShowUserInfoMessage:
            if (gui::UserInfoWindow* info = Host() ? Host()->GetUserInfoWindow() : nullptr) info->Show(true);
            return true;
        default:
            break;
    }
    if (code == static_cast<std::uint32_t>(table::WorldMessage::ShotAtRest)) {
        // Nothing to play again before a shot was loaded.
        if (speed_ < 0 || !world) return true;
        JournalPlaybackEnd(++playbacks_, PlaybackViewAt(speed_).speedPercent, world->LastShotHash());
        cameraAdjusted_ = false;
        speed_ = (speed_ + 1) % kPlaybackViewCount;
        world->SetCurrentPlayer(0, true);
        world->SetSceneVisible(true);
        if (!setupPending_) StartGalleryPlayback();
        return true;
    }
    if (code == static_cast<std::uint32_t>(table::WorldMessage::ShotRunning)) {
        if (!cameraAdjusted_) AdjustCameraAfterShot();
        return true;
    }
    return used;
}

void SceneShotGallery::ShowVoteReply(int result) {
    shotWindow_->ReplyDialog()->Answered(result);
    if (Host()) {
        if (result == 0)
            Host()->ShowNotice(this, u"한표 던졌습니다.");
        else if (result == 1)
            Host()->ShowNotice(this, u"추천 스티커가 부족합니다.");
        else
            Host()->ShowNotice(this, u"DB error.", u"운영자에게 문의하세요.");
    }
    shotWindow_->Reload();
}

void SceneShotGallery::ToLobby() {
    if (Host()) Host()->SendByteMessage(gallery::kLeaveGalleryPacket, 0);
    RequestScene(scene_id::kLobby);
}

bool SceneShotGallery::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    const std::uint32_t id = event.source->Id();
    if (id < 1 || id > 99) return false;
    switch (id) {
        case gallery::kToLobbyId:
            ToLobby();
            return true;
        case gallery::kSettingsId:
            OpenOptionDialog(Host() ? Host()->GetOptionDialog() : nullptr);
            return true;
        case gallery::kMyInfoId:
            if (gui::MyInfoWindow* info = Host() ? Host()->GetMyInfoWindow() : nullptr) {
                info->page = 0;
                info->Show(true);
            }
            return true;
        case gallery::kMessengerId:
            if (gui::Dialog* messenger = Host() ? Host()->GetMessenger() : nullptr)
                messenger->Show(!messenger->IsVisible());
            return true;
        case gallery::kPlayShotId:
            PlayGalleryShot();
            return true;
        case gallery::kViewListId:
            shotWindow_->Show(false);
            list_->Show(true);
            return true;
        default:
            return false;
    }
}

int SceneShotGallery::OnPacket(std::uint16_t messageId, net::Packet* packet) {
    if (!packet) return 0;
    switch (messageId) {
        case gallery::kUserInfoPacket: {
            const std::uint8_t flag = packet->U8();
            gui::UserInfoWindow* info = Host() ? Host()->GetUserInfoWindow() : nullptr;
            if (flag != 0 && info && !packet->IsBad() && info->ReadProfile(*packet) && Host())
                Host()->PostUiNotice(kShowUserInfoMessage);
            return 1;
        }
        case gallery::kServerChatPacket: {
            WString text;
            packet->ReadString(text);
            if (!packet->IsBad()) AddChatLine(text, gallery::kRed);
            return 1;
        }
        case gallery::kVoteReplyPacket: {
            // The notice and the reload (a blocking fetch) belong to the main thread.
            const std::uint8_t result = packet->U8();
            if (!packet->IsBad() && Host()) Host()->PostUiNotice(gallery::kVoteReplyMessage, result);
            return 1;
        }
        default:
            return 0;
    }
}

void SceneShotGallery::AddChatLine(const WString& text, std::uint32_t argb) {
    PushChatLine(text, argb);
}

void SceneShotGallery::PushChatLine(const WString& text, std::uint32_t argb) {
    {
        platform::ScopedLock lock(chatLock_);
        chat_.push_back({text, argb, platform::NowMs()});
        while (chat_.size() > kMaxChatLines) chat_.pop_front();
    }
    // Server lines arrive on the dispatch thread: the rows follow on the next frame.
    chatChanged_ = true;
}

std::size_t SceneShotGallery::ChatLineCount() {
    platform::ScopedLock lock(chatLock_);
    return chat_.size();
}

const WString& SceneShotGallery::ChatRowText(int index) const {
    return chatRows_[static_cast<std::size_t>(index)].label->Text();
}

void SceneShotGallery::RefreshChat() {
    if (!chatPanel_) return;
    platform::ScopedLock lock(chatLock_);
    const int lines = static_cast<int>(std::min<std::size_t>(chat_.size(), kChatRows));
    const std::size_t firstLine = chat_.size() - static_cast<std::size_t>(lines);
    const int firstRow = kChatRows - lines;
    for (int i = 0; i < kChatRows; ++i) {
        ChatRowWidgets& row = chatRows_[static_cast<std::size_t>(i)];
        if (i < firstRow) {
            row.panel->SetVisible(false);
            continue;
        }
        const ChatLine& line = chat_[firstLine + static_cast<std::size_t>(i - firstRow)];
        row.label->SetPlainText(line.text);
        row.label->SetColors(line.argb, 0xFF000000);
        // The background follows the text, up to the widest a row may be.
        row.panel->Resize(std::min(row.label->MeasureText() + 40, kChatRowMaxWidth), 30);
        row.panel->SetVisible(true);
    }
}

bool SceneShotGallery::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    TableScene::Leave(resources, engineScenes);
    if (World() && cueObject_) World()->ReleaseCueObject(cueObject_);
    cueObject_ = nullptr;
    setupPending_ = false;
    speed_ = -1;
    DestroyWorld();
    return true;
}

}  // namespace scenes

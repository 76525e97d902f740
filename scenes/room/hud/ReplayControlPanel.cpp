#include "scenes/room/hud/ReplayControlPanel.h"

#include "engine/core/Options.h"
#include "engine/render/RenderDevice.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "net/ItemTable.h"
#include "net/RoomInfo.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/HudImages.h"
#include "table/TableWorld.h"

namespace scenes::hud {

namespace {

constexpr std::uint32_t kModelId = 0x10014;
constexpr float kCameraSeconds = 0.5f;
constexpr std::uint32_t kAimKey = 'Z';
constexpr float kAmbientAlpha = 0.35f;
constexpr int kBottomY = 258;
constexpr std::array<std::int32_t, 5> kNoParts{-1, -1, -1, -1, -1};
// The background is as wide as the panel, so that doubling its scale doubles the panel's picture.
constexpr gui::UiImage kBackground{14, gui::atlas::kDarkPanel.x, gui::atlas::kDarkPanel.y,
                                   ReplayControlPanel::kWidth, gui::atlas::kDarkPanel.h};
constexpr gui::UiImage kBottomImage{images::kFlatSet, 0, 400, ReplayControlPanel::kWidth, 51};
constexpr gui::UiImage kSmallButton{images::kFlatSet, 0, 460, 34, 18};
constexpr gui::UiImage kCameraImage{images::kFlatSet, 0, 480, 45, 35};
constexpr gui::UiImage kSizeImage{images::kFlatSet, 0, 520, 36, 39};

// The UI sets hold no pictures for these buttons, so each names itself with a short caption; the
// tooltip says the rest.
gui::Button* PanelButton(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t id,
                         const gui::UiImage& image, const WString& caption, const WString& tooltip) {
    gui::Button* b = parent.AddButton(x, y, w, h, id, 0, gui::UiImage{image.set, image.x, image.y, w, h});
    b->SetFrameCount(4);
    b->SetCaption(caption);
    b->SetCaptionFont(gui::kFont10);
    b->SetTooltip(tooltip);
    return b;
}

// The block's items: table (offset 4), ball set (6) and cue (8).
std::uint16_t BlockWord(const table::ShotStateBlock& block, std::size_t at) {
    return static_cast<std::uint16_t>(block[at] | (block[at + 1] << 8));
}
constexpr std::size_t kBallSetOffset = table::shot_state_offset::kTableItem + 2;
constexpr std::size_t kCurrentBallOffset = 2;
constexpr std::size_t kPartsOffset = table::shot_state_offset::kCueItem + 2;

}  // namespace

ReplayControlPanel::ReplayControlPanel(SceneHost* host) : host_(host) {}

ReplayControlPanel::~ReplayControlPanel() {
    DestroyWorld();
}

bool ReplayControlPanel::Create(int x, int y, int w, int h, std::uint32_t, std::uint32_t) {
    gui::Widget::Create(x, y, w, h);
    SetImage(kBackground);
    SetModal(false);
    bottom_ = AddImage(0, kBottomY, kWidth, 51, kBottomImage);
    PanelButton(*bottom_, 10, 7, 34, 18, kPlayId, kSmallButton, u">", u"Play");
    PanelButton(*bottom_, 50, 7, 34, 18, kPauseId, kSmallButton, u"||", u"Pause");
    PanelButton(*bottom_, 10, 28, 114, 18, kSaveId, kSmallButton, u"Save to gallery",
                u"Save to shot-gallery");
    PanelButton(*bottom_, 130, 7, 34, 18, kLastShotId, kSmallButton, u"Again", u"Replay last shot");
    // The view's corner buttons stand inside the panel's top edge, side by side.
    bottom_->AddButton(154, -251, 22, 22, kCloseId, 0, gui::atlas::kCloseButton);
    cameraToggle_ = PanelButton(*bottom_, 68, -255, 45, 35, kCameraId, kCameraImage, u"Cam", u"Camera mode");
    cameraToggle_->SetToggleMode(true);
    sizeToggle_ = PanelButton(*bottom_, 115, -255, 36, 39, kSizeId, kSizeImage, u"Size", u"Window size");
    sizeToggle_->SetToggleMode(true);
    // The sticker of a saved shot: the gallery save is not offered here, so it stays hidden.
    sticker_ = Make<gui::Dialog>();
    sticker_->gui::Widget::Create(0, 0, 200, 120);
    sticker_->SetVisible(false);
    SetVisible(false);
    return true;
}

// ---- World -----------------------------------------------------------------------------------------

void ReplayControlPanel::CreateWorld(RenderDevice* device, ResourceManager* resources,
                                     const net::RoomInfo& room, const Options& options) {
    DestroyWorld();
    auto world = std::make_unique<table::TableWorld>();
    if (host_) world->SetClientBuild(host_->ClientBuild());
    world->SetGameType(room.gameType);
    world->SetGameItems(room.tableItem, room.ballSetItem);
    if (device && resources) world->LoadModels(*device, *resources);
    // A world of its own beside the room's: its own physics model.
    world->SetPhysicsModel(kModelId, true);
    world->ResetGame(0);
    world->SetGameType(room.gameType);
    world->SetCameraModeFlags(true, true, false, false);
    world->SetPlayState(table::PlayState::MiniView);
    world->OnKeyCommand(kAimKey, false);
    world->ApplyOptions(options);
    world->LayoutHud(kViewWidth, kViewHeight);
    platform::ScopedLock lock(lock_);
    world_ = std::move(world);
    device_ = device;
    resources_ = resources;
    cue_ = nullptr;
    reloadPending_ = false;
    running_ = false;
}

void ReplayControlPanel::DestroyWorld() {
    platform::ScopedLock lock(lock_);
    if (world_) {
        world_->StopShotInProgress();
        world_->SetShooter(nullptr);
        if (cue_) world_->ReleaseCueObject(cue_);
    }
    cue_ = nullptr;
    world_.reset();
    running_ = false;
}

void ReplayControlPanel::PlayStoredBlock() {
    table::TableWorld& world = *world_;
    if (!world.RestoreShotState(block_)) {
        running_ = false;
        return;
    }
    world.SetCurrentBall(block_[kCurrentBallOffset]);
    if (cameraMode_ == 1) world.RetargetCameraOnCurrentBall();
    world.SnapshotBalls();
    // The block's cue with its tuning parts; an item the catalogue does not know is a plain cue.
    const std::uint16_t cueItem = BlockWord(block_, table::shot_state_offset::kCueItem);
    std::array<std::int32_t, 5> parts = kNoParts;
    const net::CatalogRecord* record = net::GetItemCatalog().Find(cueItem);
    if (record && record->tuningCue)
        for (std::size_t i = 0; i < parts.size(); ++i) parts[i] = BlockWord(block_, kPartsOffset + 2 * i);
    table::CueObject* cue = world.AcquireCueObject(cueItem, parts);
    // The panel holds one use of one cue object: the one before is let go once the new one is held
    // (the same object again keeps its count).
    if (cue_) world.ReleaseCueObject(cue_);
    cue_ = cue;
    world.SetShooter(cue_);
    world.ExecuteShot(table::ShotMode::Replay, false);
}

void ReplayControlPanel::ReplayShot(table::ShotStateBlock block) {
    platform::ScopedLock lock(lock_);
    block_ = block;
    reloadPending_ = false;
    if (!world_) return;
    const bool sameItems = BlockWord(block_, table::shot_state_offset::kTableItem) == world_->TableItem() &&
                           BlockWord(block_, kBallSetOffset) == world_->BallSetItem();
    if (!sameItems) {
        reloadPending_ = true;
        return;
    }
    world_->StopShotInProgress();
    running_ = true;
    PlayStoredBlock();
}

void ReplayControlPanel::ReloadAndPlay() {
    table::TableWorld& world = *world_;
    world.StopShotInProgress();
    world.DestroyBallObjects();
    world.SetGameItems(BlockWord(block_, table::shot_state_offset::kTableItem),
                       BlockWord(block_, kBallSetOffset));
    if (device_ && resources_) world.LoadModels(*device_, *resources_);
    running_ = true;
    PlayStoredBlock();
}

void ReplayControlPanel::Update(std::uint32_t tick, int mouseDx, int mouseDy) {
    // Under the panel's lock: the world is not destroyed or rebuilt while it advances.
    platform::ScopedLock lock(lock_);
    if (world_) world_->Update(tick, mouseDx, mouseDy, !running_.load());
}

// ---- Showing and commands --------------------------------------------------------------------------

void ReplayControlPanel::Close(bool show) {
    {
        platform::ScopedLock lock(lock_);
        shown_ = show;
    }
    Show(show);
    if (host_) host_->PostUiMessage(static_cast<std::uint32_t>(HudMessage::ReplayClosed), 0, 0, 0);
}

void ReplayControlPanel::OnShow() {
    gui::Dialog::OnShow();
    {
        platform::ScopedLock lock(lock_);
        shown_ = true;
        viewDirty_ = true;
        ApplyCameraMode();
    }
    if (sizeToggle_) sizeToggle_->SetEnabled(true);
}

void ReplayControlPanel::OnHide() {
    gui::Dialog::OnHide();
    running_ = !running_.load();
    platform::ScopedLock lock(lock_);
    shown_ = false;
}

void ReplayControlPanel::ApplyCameraMode() {
    if (!world_) return;
    if (cameraMode_ == 1) {
        world_->SetCameraModeFlags(true, true, false, false);
        world_->MoveCamera(kCameraSeconds, table::kKeepValue, table::kKeepValue);
    } else {
        world_->SetCameraModeFlags(false, false, false, false);
        world_->CenterCamera(kCameraSeconds);
    }
}

void ReplayControlPanel::ChangeSize() {
    platform::ScopedLock lock(lock_);
    viewDirty_ = true;
    const int shift = enlarged_ ? kWidth : -kWidth;
    const float scale = enlarged_ ? 2.0f : 1.0f;
    SetScale(scale, 1.0f);
    MoveBy(-shift, 0);
    if (bottom_) bottom_->MoveBy(shift, 0);
    SetHitArea(0, 0, enlarged_ ? 2 * kWidth : kWidth, kHeight);
    SetAnchor(gui::AnchorH::Right, enlarged_ ? kEnlargedAnchor : kNormalAnchor, gui::AnchorV::None, 0);
}

bool ReplayControlPanel::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    switch (event.id) {
        case kCloseId:
            Close(false);
            return true;
        case kPlayId: {
            table::ShotStateBlock block;
            {
                platform::ScopedLock lock(lock_);
                block = block_;
            }
            ReplayShot(block);
            return true;
        }
        case kPauseId:
            running_ = !running_.load();
            return true;
        case kSaveId:
            if (host_) host_->ShowNotice(this, u"This feature is not allowed currently.");
            return true;
        case kLastShotId:
            if (host_) host_->PostUiMessage(static_cast<std::uint32_t>(HudMessage::ReplayLastShot), 0, 0, 0);
            return true;
        case kCameraId: {
            platform::ScopedLock lock(lock_);
            cameraMode_ = cameraToggle_ && cameraToggle_->IsChecked() ? 2 : 1;
            ApplyCameraMode();
            return true;
        }
        case kSizeId: {
            // A change still waiting for its first draw refuses the next one: the toggle then shows the
            // size the panel really has, and the view keeps the width of that size.
            const bool wanted = sizeToggle_ && sizeToggle_->IsChecked();
            bool change = false;
            {
                platform::ScopedLock lock(lock_);
                change = wanted != enlarged_ && !viewDirty_;
                if (change) enlarged_ = wanted;
            }
            if (change) {
                sizeToggle_->SetEnabled(false);
                ChangeSize();
                sizeToggle_->SetEnabled(true);
            } else if (sizeToggle_) {
                sizeToggle_->SetChecked(Enlarged());
            }
            return true;
        }
        default:
            return false;
    }
}

bool ReplayControlPanel::OnMouse(const gui::MouseEvent& event) {
    table::TableWorld* world = World();
    const bool press = event.message == platform::kWmLButtonDown ||
                       event.message == platform::kWmRButtonDown || event.message == platform::kWmMouseWheel;
    const std::intptr_t at = static_cast<std::intptr_t>((event.screenY << 16) | (event.screenX & 0xFFFF));
    if (press) {
        const int right = Enlarged() ? 2 * kWidth : kWidth;
        if (event.x < 0 || event.y < 0 || event.x >= right || event.y >= kHeight) return false;
        if (world) world->HandleWindowMessage(event.message, event.buttons, at);
        gui::Dialog::OnMouse(event);
        return true;
    }
    const bool used = world && world->HandleWindowMessage(event.message, event.buttons, at);
    return gui::Dialog::OnMouse(event) || used;
}

// ---- Drawing ---------------------------------------------------------------------------------------

void ReplayControlPanel::Draw(gui::Painter& painter, int x, int y) {
    gui::Dialog::Draw(painter, x, y);
    platform::ScopedLock lock(lock_);
    if (!world_) return;
    RenderDevice* device = painter.Device();
    const int width = enlarged_ ? 2 * kViewWidth : kViewWidth;
    if (viewDirty_) {
        viewDirty_ = false;
        world_->LayoutHud(width, kViewHeight);
    }
    if (reloadPending_) {
        reloadPending_ = false;
        ReloadAndPlay();
    }
    if (!device) return;
    const platform::Viewport screen = device->GetViewport();
    device->SetViewport(x + kViewInset, y + kViewInset, static_cast<std::uint32_t>(width), kViewHeight);
    device->Clear();
    // One white light straight down and a soft ambient, whatever the room's map lights.
    platform::LightRecord light;
    light.diffuse = {1, 1, 1, 1};
    light.direction[2] = -1;
    device->DisableAllLights();
    device->AddDirectionalLight(light);
    device->SetAmbientColor(1, 1, 1, kAmbientAlpha);
    world_->RenderMiniView(*device);
    device->SetViewport(screen.x, screen.y, screen.width, screen.height);
    device->Begin2D();
    device->DisableAllLights();
}

bool ReplayControlPanel::Enlarged() const {
    platform::ScopedLock lock(lock_);
    return enlarged_;
}

bool ReplayControlPanel::ReloadPending() const {
    platform::ScopedLock lock(lock_);
    return reloadPending_;
}

bool ReplayControlPanel::ViewDirty() const {
    platform::ScopedLock lock(lock_);
    return viewDirty_;
}

int ReplayControlPanel::CameraMode() const {
    platform::ScopedLock lock(lock_);
    return cameraMode_;
}

}  // namespace scenes::hud

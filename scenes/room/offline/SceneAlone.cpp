#include "scenes/room/offline/SceneAlone.h"

#include <random>

#include "engine/core/Log.h"
#include "engine/core/Options.h"
#include "engine/sound/SoundManager.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/PracticeSetupDialog.h"
#include "scenes/room/OwnItems.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/shared/SharedWindows.h"

namespace scenes {

namespace {

constexpr std::uint32_t kModelId = 0x10014;
constexpr std::uint32_t kOptionsChanged = 1058;
constexpr std::uint32_t kRackSound = 27;
constexpr float kCameraSeconds = 0.5f;
constexpr std::uint16_t kRecordField = 20;
constexpr std::uint64_t kExtraChalkSerial = 1;
constexpr std::uint32_t kExtraChalkItem = 4903;
constexpr std::uint32_t kExtraChalkUses = 100;
// The item strip's top above the bottom edge, and the band of the title bar and the corner buttons.
constexpr int kStripFromBottom = 32;
constexpr int kTitleBand = 42;

std::uint32_t RandomSeed() {
    static std::random_device device;
    return device();
}

}  // namespace

SceneAlone::SceneAlone() : TableScene(scene_id::kOffline) {}

SceneAlone::~SceneAlone() = default;

void SceneAlone::CreateUI() {
    if (!BeginUI(u"Offline")) return;
    const int width = Width(), height = Height();
    AddCornerButton(*this, kRoomSettingId, -200, 0, u"R", u"Room setting");
    keyGuide_ = AddKeyGuide(*this, true);

    net::PlayerRecord* record = &Record();
    // At the bottom edge, as in the practice room: the top view's table takes the room above it.
    strip_ = AddItemStrip(*this, record, kItemStripLeft, -kStripFromBottom);
    gauge_ = Make<hud::ChalkGauge>(Host(), record, Id());
    gauge_->Create(0, 0);
    gauge_->SetAnchor(gui::AnchorH::Left, kChalkGaugeLeft, gui::AnchorV::Bottom, -300 + gauge_->Height());
    // Children are adopted shown; the room setting waits hidden for its button.
    roomSetting_ = Make<PracticeSetupDialog>();
    roomSetting_->SetVisible(false);
    WriteOfflineDefaults(true);
    LayoutChildren(width, height);
}

int SceneAlone::Load3D(ResourceManager* resources, RenderDevice* renderer) {
    CreateUI();
    resources_ = resources;
    AttachSharedWindows(*this, nullptr);
    net::RoomInfo& room = Room();
    const net::GameTypeEquipment& items = Record().equipment[room.gameType % net::kGameTypeCount];
    room.tableItem = items.tableId;
    room.ballSetItem = items.ballSetId;
    table::TableWorld& world = CreateWorld();
    world.SetGameType(room.gameType);
    world.SetGameItems(room.tableItem, room.ballSetItem);
    world.SetTopViewInsets(kChalkGaugeColumn, kTitleBand, kKeyGuideColumn, kStripFromBottom + 8);
    LoadSounds(resources, {kRackSound, 1, 0}, -1);
    return LoadTable(resources, renderer, u"offline table");
}

void SceneAlone::Enter() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (session) session->SetOfflineEquipment();
    net::PlayerRecord& record = Record();
    record.location = kRecordField;
    // One more chalk, counted by uses, selected from the start.
    if (session) {
        if (net::ItemEntry* chalk = session->AllocItemEntry()) {
            FillChalk(*chalk, kExtraChalkItem, kExtraChalkUses);
            if (!record.AddItem(kExtraChalkSerial, chalk)) session->FreeItemEntry(chalk);
        }
    }
    record.SelectItem(kExtraChalkSerial);
    SetUpFreePractice(RandomSeed());

    const int gameType = Room().gameType % net::kGameTypeCount;
    const net::GameTypeEquipment& equipment = record.equipment[static_cast<std::size_t>(gameType)];
    TakeCue(record.FindItem(equipment.cueSerial), equipment.cueId);

    ShowGuide(true);
    strip_->Show(true);
    strip_->Fill();
    gauge_->Reset();
    gauge_->UpdateDisplay();
    gameTypeChanged_ = false;
    SetActive(true);
}

void SceneAlone::TakeCue(const net::ItemEntry* entry, std::uint16_t item) {
    if (!World()) return;
    cueObject_ = ReplaceCue(cueObject_, entry ? static_cast<std::uint16_t>(entry->itemId) : item,
                            entry && entry->IsPersonalCue() ? entry : nullptr);
    currentCue_ = entry;
}

void SceneAlone::ShowGuide(bool on) {
    guideShown_ = on;
    if (keyGuide_) keyGuide_->Show(on);
}

void SceneAlone::Render(RenderDevice* renderer, bool draw) {
    if (!draw || !World()) return;
    if (gameTypeChanged_.exchange(false)) RebuildForGameType(renderer);
    strip_->BuildModels(renderer);
    gauge_->BuildPreview(renderer);
    RenderTable(renderer);
}

void SceneAlone::RebuildForGameType(RenderDevice* renderer) {
    table::TableWorld* world = World();
    net::RoomInfo& room = Room();
    const net::GameTypeEquipment& items = Record().equipment[room.gameType % net::kGameTypeCount];
    room.tableItem = items.tableId;
    room.ballSetItem = items.ballSetId;
    world->DestroyBallObjects();
    world->SetGameType(room.gameType);
    world->SetGameItems(room.tableItem, room.ballSetItem);
    if (renderer && resources_ && world->LoadModels(*renderer, *resources_) != 0)
        LogWrite(u"WARNING : the models of game type %d could not be loaded\n",
                 static_cast<int>(room.gameType));
    world->SetPhysicsModel(kModelId, false);
    world->RackBalls();
    world->SnapshotBalls();
    world->SetTurnFlag(true);
    world->SetSceneVisible(true);
    // The camera of the old table may stand anywhere (a stopped shot leaves it in its overview):
    // it comes back behind the cue ball of the new rack.
    world->ReturnCameraBehindCue(kCameraSeconds);
    if (room.gameType >= table::kFirstPocketGameType)
        if (SoundManager* sound = Host() ? Host()->Sound() : nullptr) sound->PlayDefault(kRackSound);
    JournalFreeTableReady();
}

bool SceneAlone::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    table::TableWorld* world = World();
    if (!world) return false;
    const bool used = OfferWindowMessage(code, a, b);
    tableWorldUnhandled = !used;
    if (code == platform::kWmKeyUp && a == platform::kVkF1 + 1) {
        ShowGuide(!guideShown_);
        return true;
    }
    switch (code) {
        case front_message::kPracticeSetupOk: {
            const int chosen = roomSetting_->GameType();
            if (chosen == Room().gameType || chosen < 0 || chosen >= net::kGameTypeCount) return true;
            world->StopShotInProgress();
            Room().gameType = static_cast<std::uint8_t>(chosen);
            gameTypeChanged_ = true;
            return true;
        }
        case kOptionsChanged:
            world->ApplyControlOptions(CurrentOptions());
            return true;
        case static_cast<std::uint32_t>(hud::HudMessage::ChalkApplied):
            world->chalkValue = static_cast<float>(gauge_->Level()) / hud::ChalkGauge::kFullLevel;
            world->UpdateGuideObject();
            gauge_->Refresh();
            return true;
        case static_cast<std::uint32_t>(hud::HudMessage::ItemChosen):
            UseItem(static_cast<std::uint32_t>(a));
            return true;
        case static_cast<std::uint32_t>(table::WorldMessage::CueStruck):
            gauge_->Consume(static_cast<int>(b));
            gauge_->Refresh();
            return true;
        case static_cast<std::uint32_t>(table::WorldMessage::ShotAtRest):
            EndOfShot();
            return true;
        default:
            return used;
    }
}

void SceneAlone::UseItem(std::uint32_t kind) {
    const net::ItemEntry* entry = strip_->SelectedEntry();
    if (!entry) return;
    net::PlayerRecord& record = Record();
    if (kind == static_cast<std::uint32_t>(net::ItemType::Cue)) {
        if (entry == currentCue_) return;
        TakeCue(entry, static_cast<std::uint16_t>(entry->itemId));
        net::GameTypeEquipment& equipment = record.equipment[Room().gameType % net::kGameTypeCount];
        equipment.cueId = static_cast<std::uint16_t>(entry->itemId);
        equipment.cueSerial = entry->serial;
    } else if (kind == static_cast<std::uint32_t>(net::ItemType::Chalk)) {
        if (!SelectChalkEntry(record, *entry, World())) return;
        strip_->Fill();
        gauge_->Refresh();
    }
}

void SceneAlone::EndOfShot() {
    table::TableWorld* world = World();
    world->Rerack(RandomSeed(), false);
    world->SetCurrentPlayer(0, true);
    // No chat box says that a ball is in hand here: a scratched cue ball waits on the head spot.
    GiveCueBack(false);
}

bool SceneAlone::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    if (OnCornerButton(event)) return true;
    switch (event.id) {
        case kRoomSettingId:
            roomSetting_->Open(Room().gameType);
            return true;
        default:
            return false;
    }
}

bool SceneAlone::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    TableScene::Leave(resources, engineScenes);
    StopMusic();
    currentCue_ = nullptr;
    DestroyWorld(cueObject_);
    strip_->ReleaseModels();
    gauge_->ReleasePreview();
    return true;
}

}  // namespace scenes

#include "scenes/room/practice/SceneRoomPractice.h"

#include <random>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "engine/core/Options.h"
#include "engine/sound/SoundManager.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/ImageWidget.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "net/ItemEntry.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/HelpWindow.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/room/OwnItems.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/ReplayControlPanel.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "scenes/room/practice/EarnGoldDialogs.h"
#include "scenes/room/practice/PracticeCodes.h"
#include "scenes/shared/SharedWindows.h"

namespace scenes {

using namespace practice;

namespace {

constexpr std::uint64_t kPracticeChalkSerial = 1;
constexpr std::uint32_t kPracticeChalkItem = 4904;
constexpr std::uint32_t kPracticeChalkUses = 100;
constexpr std::uint32_t kLaserGuideItem = 4150;
constexpr std::uint32_t kGuideSignInLimit = 300;
constexpr std::uint32_t kTenInTheMorning = 36000;  // seconds of the day the room is lit for
constexpr int kChatRowImageWidth = 382;
constexpr int kChatRowStep = 18;
// The earn-gold button ends 96 pixels down; the chat box starts 218 above the bottom edge.
constexpr int kTopViewTop = 100, kTopViewBottom = 222;
// The replay panel's top (the free table's key guide stands at the same height), and the gap of the
// mission's key guide and the replay panel below the mission's status panel, which stands in the guide's
// column and reaches into the replay panel's.
constexpr int kReplayTop = 100, kMissionPanelTop = 80, kBelowMissionPanel = 4;

}  // namespace

std::uint32_t SceneRoomPractice::RandomSeed() {
    static std::random_device device;
    return device();
}

SceneRoomPractice::SceneRoomPractice() : TableScene(scene_id::kPractice) {}

SceneRoomPractice::~SceneRoomPractice() {
    // Leaving without the base leave: the lent chalk goes back, the world goes.
    if (replay_) replay_->DestroyWorld();
    ReturnPracticeChalk();
    DestroyWorld(cueObject_);
}

void SceneRoomPractice::CreateUI() {
    if (uiBuilt_) return;
    uiBuilt_ = true;
    const int width = Host() ? Host()->ClientWidth() : 1024, height = Host() ? Host()->ClientHeight() : 768;
    gui::Widget::Create(0, 0, width, height);
    AddTitleBar(*this, u"Practice / Earn Gold");
    AddCornerButton(*this, control::kToLobby, -35, 0, u"L", u"To Lobby");
    AddCornerButton(*this, control::kSettings, -68, platform::kVkF1 + 2, u"S", u"Settings(F3)");
    AddCornerButton(*this, control::kHelp, -101, platform::kVkF1, u"?", u"Help(F1)");
    AddCornerButton(*this, control::kMyInfo, -134, platform::kVkF1 + 3, u"I", u"MyInfo(F4)");
    messengerButton_ =
        AddCornerButton(*this, control::kMessenger, -167, platform::kVkF1 + 7, u"M", u"Messanger(F8)");

    net::PlayerRecord* record = &Record();
    strip_ = AddItemStrip(*this, record, kItemStripLeft, -32);
    gauge_ = Make<hud::ChalkGauge>(Host(), record, Id());
    gauge_->Create(0, 0);
    gauge_->SetAnchor(gui::AnchorH::Left, kChalkGaugeLeft, gui::AnchorV::Bottom, -300 + gauge_->Height());
    cueSelector_ = Make<hud::PlayerInfoPanel>(Host(), record);
    cueSelector_->Create(0, 0);
    cueSelector_->SetAnchor(gui::AnchorH::Left, 10, gui::AnchorV::Bottom, -290 + cueSelector_->Height());
    cueSelector_->SetVisible(false);
    playerInfo_ = AddButton(360, 0, 81, 19, control::kPlayerInfo, 0, gui::atlas::kTextButton);
    playerInfo_->SetFrameCount(gui::atlas::kTextButtonFrames);
    playerInfo_->SetCaption(u"My cues");
    playerInfo_->SetAnchor(gui::AnchorH::None, 0, gui::AnchorV::Bottom, -24 + 19);
    playerInfo_->SetVisible(false);
    earnGold_ = AddButton(10, 70, 99, 26, control::kEarnGold, 0, gui::atlas::kTextButton);
    earnGold_->SetFrameCount(gui::atlas::kTextButtonFrames);
    earnGold_->SetCaption(u"Earn Gold");

    // The chat box: eight rows, filled from the bottom.
    chatBox_ = AddImage(0, 0, 460, kChatRowStep * (kChatRows - 1) + 30, gui::UiImage{});
    chatBox_->SetAnchor(gui::AnchorH::Left, 0, gui::AnchorV::Bottom, -218 + chatBox_->Height());
    for (int k = 0; k < kChatRows; ++k) {
        const auto i = static_cast<std::size_t>(k);
        chatImages_[i] = chatBox_->AddImage(4, kChatRowStep * k, kChatRowImageWidth, 30,
                                            gui::atlas::InSet(gui::atlas::kDarkPanel, 15));
        chatImages_[i]->SetAlpha(0.5f);
        chatLabels_[i] = chatBox_->AddLabel(20, kChatRowStep * k + 13 - 8, 440, 18, gui::kFont12);
        chatLabels_[i]->SetColors(0xFFFFFFFF, 0xFF000000);
        chatImages_[i]->SetVisible(false);
        chatLabels_[i]->SetVisible(false);
    }

    keyGuide_ = AddKeyGuide(*this, true, true);
    missionGuide_ = AddKeyGuide(*this, false, true);
    missionGuide_->SetVisible(false);
    guideInForce_ = keyGuide_;
    help_ = Make<HelpWindow>();
    help_->SetVisible(false);
    replay_ = Make<hud::ReplayControlPanel>(Host());
    replay_->Create(0, kReplayTop);
    replay_->SetAnchor(gui::AnchorH::Right, hud::ReplayControlPanel::kNormalAnchor, gui::AnchorV::None, 0);
    replay_->SetVisible(false);
    rules_ = Make<EarnGoldRulesDialog>(Host(), record);
    rules_->SetVisible(false);
    status_ = Make<EarnGoldStatusPanel>();
    status_->MoveTo(width - kKeyGuideRightMargin - EarnGoldStatusPanel::kWidth, kMissionPanelTop);
    status_->SetAnchor(gui::AnchorH::Right, -kKeyGuideRightMargin, gui::AnchorV::None, 0);
    status_->SetVisible(false);
    inProgress_ = Make<gui::InProgressNotice>();
    inProgress_->SetVisible(false);
    LayoutChildren(width, height);
}

int SceneRoomPractice::Load3D(ResourceManager* resources, RenderDevice* renderer) {
    CreateUI();
    AttachSharedWindows(*this, messengerButton_);
    net::RoomInfo& room = Room();
    table::TableWorld& world = CreateWorld();
    world.SetGameType(room.gameType);
    world.SetGameItems(room.tableItem, room.ballSetItem);
    FrameTopView(replay_, kTopViewTop, kTopViewBottom, true);
    world.laserGuide = false;
    for (const net::ItemEntry* entry : Record().Items())
        if (entry && entry->itemId == kLaserGuideItem &&
            entry->state == static_cast<std::uint8_t>(net::ItemState::Active))
            world.laserGuide = true;
    LoadSounds(resources, {sound::kMissionStart, sound::kRack, 1, 0, sound::kScored, sound::kCharged}, -1);
    if (LoadTable(resources, renderer, u"practice room", u"Map0002") != 0) return 1;
    replay_->CreateWorld(renderer, resources, room, CurrentOptions());
    return 0;
}

void SceneRoomPractice::Enter() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    net::PlayerRecord& record = Record();
    record.location = kPracticeLocation;
    if (session) session->ClearItemEffects();
    replayShown_ = false;
    heldKey_ = 0;
    currentCue_ = nullptr;
    LendPracticeChalk();
    SetUpFreePractice(RandomSeed());

    const int gameType = Room().gameType % net::kGameTypeCount;
    const net::GameTypeEquipment& equipment = record.equipment[static_cast<std::size_t>(gameType)];
    const net::ItemEntry* cue = record.FindItem(equipment.cueSerial);
    if (cue && cue->IsPersonalCue())
        TakeCue(cue, static_cast<std::uint16_t>(cue->itemId), true);
    else
        TakeCue(nullptr, equipment.cueId, false);
    currentCue_ = cue;

    ShowGuide(record.signInCounter < kGuideSignInLimit);
    if (guideShown_) World()->trailDisplay = true;

    strip_->Fill();
    gauge_->Reset();
    gauge_->UpdateDisplay();
    gauge_->SetActive(true);
    ShowMissionPanel(false);
    cueSelector_->Show(false);
    replay_->Show(false);
    inProgress_->Show(false);
    earnGold_->Show(true);

    mission_.Stop();
    {
        platform::ScopedLock lock(chatLock_);
        chat_.clear();
        firstShown_ = 0;
    }
    AddChatLine(u"You can move the ball freely in the practice room.", colour::kMagenta);
    AddChatLine(u"Hold Ctrl and drag a ball with the left button to move it.", colour::kMagenta);
    AddChatLine(u"Press 'U' to repeat the previous shot.", colour::kMagenta);
    SetActive(true);
    RedrawChat();

    if (session) {
        net::LobbyRequest& request = session->lobbyRequest;
        if (request.flag && request.kind == kEarnGoldRequest) RequestMission(true);
        request.flag = 0;
        request.second = 0;
        request.value = kRequestTaken;
    }
}

void SceneRoomPractice::TakeCue(const net::ItemEntry* entry, std::uint16_t item, bool withParts) {
    cueObject_ = ReplaceCue(cueObject_, item, withParts ? entry : nullptr);
}

void SceneRoomPractice::LendPracticeChalk() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (practiceChalk_ || !session) return;
    net::ItemEntry* chalk = session->AllocItemEntry();
    if (!chalk) return;
    net::PlayerRecord& record = Record();
    FillChalk(*chalk, kPracticeChalkItem, kPracticeChalkUses);
    // Serial 1 belongs to the built-in defaults; an entry that holds it steps aside until Leave.
    selectionBefore_ = record.currentItemSerial;
    displacedEntry_ = record.RemoveItem(kPracticeChalkSerial);
    chalk->serial = kPracticeChalkSerial;
    if (!record.AddItem(kPracticeChalkSerial, chalk)) {
        session->FreeItemEntry(chalk);
        if (displacedEntry_) record.AddItem(kPracticeChalkSerial, displacedEntry_);
        displacedEntry_ = nullptr;
        return;
    }
    practiceChalk_ = chalk;
    // Without another chalk chosen, the practice chalk is the one on the tip.
    const net::ItemEntry* current = record.GetCurrentItem();
    if (!current || current->type != static_cast<std::uint32_t>(net::ItemType::Chalk))
        record.SelectItem(kPracticeChalkSerial);
}

void SceneRoomPractice::ReturnPracticeChalk() {
    if (!practiceChalk_) return;
    net::PlayerRecord& record = Record();
    const bool wasSelected = record.GetCurrentItem() == practiceChalk_;
    record.RemoveItemEntry(practiceChalk_);
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
        session->FreeItemEntry(practiceChalk_);
    practiceChalk_ = nullptr;
    if (displacedEntry_ && !record.AddItem(kPracticeChalkSerial, displacedEntry_))
        LogWrite(u"WARNING : the entry of serial 1 could not be put back\n");
    displacedEntry_ = nullptr;
    if (wasSelected) record.SelectItem(record.FindItem(selectionBefore_) ? selectionBefore_ : 0);
}

void SceneRoomPractice::ShowGuide(bool on) {
    guideShown_ = on;
    const bool shown = on && !replayShown_.load();
    keyGuide_->Show(shown && guideInForce_ == keyGuide_);
    missionGuide_->Show(shown && guideInForce_ == missionGuide_);
}

void SceneRoomPractice::ShowMissionPanel(bool on) {
    status_->Show(on);
    const int below = status_->Y() + status_->Height() + kBelowMissionPanel;
    missionGuide_->MoveTo(missionGuide_->X(), below);
    replay_->MoveTo(replay_->X(), on ? below : kReplayTop);
    guideInForce_ = on ? missionGuide_ : keyGuide_;
    ShowGuide(guideShown_);
}

void SceneRoomPractice::Render(RenderDevice* renderer, bool draw) {
    UpdateTimeOfDay(kTenInTheMorning);
    RunQueuedWork();
    if (chatDirty_.exchange(false)) RedrawChat();
    FrameTopView(replay_, kTopViewTop, kTopViewBottom, false);
    if (!draw || !World()) return;
    strip_->BuildModels(renderer);
    gauge_->BuildPreview(renderer);
    cueSelector_->BuildModels(renderer);
    RenderTable(renderer);
}

void SceneRoomPractice::Update(std::uint64_t nowMs, std::uint64_t time100us) {
    TableScene::Update(nowMs, time100us);
    if (replayShown_.load() && replay_) replay_->Update(++replayTick_, 0, 0);
}

void SceneRoomPractice::Queue(std::function<void()> work) {
    platform::ScopedLock lock(workLock_);
    work_.push_back(std::move(work));
}

void SceneRoomPractice::RunQueuedWork() {
    std::vector<std::function<void()>> taken;
    {
        platform::ScopedLock lock(workLock_);
        taken.swap(work_);
    }
    for (auto& work : taken) work();
}

bool SceneRoomPractice::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    RunQueuedWork();
    table::TableWorld* world = World();
    if (!world) return false;
    tableWorldUnhandled = !OfferWindowMessage(code, a, b);
    switch (code) {
        case platform::kWmKeyDown: {
            platform::KeyboardState* keys = Host() ? Host()->Keyboard() : nullptr;
            heldKey_ = (keys && keys->IsDown('R')) || heldKey_ == 'R' ? 'R' : static_cast<std::uint32_t>(a);
            break;
        }
        case platform::kWmKeyUp:
            if (a == 'R' && heldKey_ == 'R') ToggleReplay();
            if (a == platform::kVkF1 + 1) ShowGuide(!guideShown_);
            heldKey_ = 0;
            break;
        case platform::kWmLButtonDown:
        case platform::kWmRButtonDown:
            if (Host())
                if (auto* m = dynamic_cast<Messenger*>(Host()->GetMessenger())) m->ReleaseChatFocus();
            break;
        case static_cast<std::uint32_t>(PracticeUi::MissionStartOrCancel):
            if (a != 0)
                StartMission();
            else
                CancelMission();
            break;
        case static_cast<std::uint32_t>(PracticeUi::OptionsChanged):
            world->ApplyControlOptions(CurrentOptions());
            break;
        case static_cast<std::uint32_t>(hud::HudMessage::ReplayClosed):
            CloseReplay();
            break;
        case static_cast<std::uint32_t>(hud::HudMessage::ReplayLastShot):
            ReplayLastShot();
            break;
        case static_cast<std::uint32_t>(PracticeUi::BackToLobby):
            LeaveToLobby();
            break;
        case static_cast<std::uint32_t>(hud::HudMessage::ChalkApplied):
            world->chalkValue = static_cast<float>(gauge_->Level()) / hud::ChalkGauge::kFullLevel;
            world->UpdateGuideObject();
            gauge_->Refresh();
            break;
        case static_cast<std::uint32_t>(hud::HudMessage::CueChosen):
            UseItem(static_cast<std::uint32_t>(a), true);
            break;
        case static_cast<std::uint32_t>(hud::HudMessage::ItemChosen):
            UseItem(static_cast<std::uint32_t>(a), false);
            break;
        case static_cast<std::uint32_t>(PracticeUi::ActivateConfirmed):
            if (a == kYesButton) ActivateItem(static_cast<std::uint32_t>(b));
            break;
        case static_cast<std::uint32_t>(PracticeUi::InstantChargeRequest):
            SendInstantCharge();
            break;
        case static_cast<std::uint32_t>(table::WorldMessage::CueStruck):
            gauge_->Consume(static_cast<int>(b));
            gauge_->Refresh();
            // An effect item lasts one shot.
            if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
                session->ClearItemEffects();
            break;
        case static_cast<std::uint32_t>(table::WorldMessage::ShotAtRest):
            EndOfShot();
            break;
        default:
            break;
    }
    return false;
}

void SceneRoomPractice::ToggleReplay() {
    if (replay_->IsVisible()) {
        CloseReplay();
        return;
    }
    table::ShotStateBlock block{};
    if (!World()->CopyLastShotState(block)) return;
    replayShown_ = true;
    replay_->Show(true);
    ShowGuide(guideShown_);
    replay_->ReplayShot(block);
}

void SceneRoomPractice::ReplayLastShot() {
    table::ShotStateBlock block{};
    if (World()->CopyLastShotState(block)) replay_->ReplayShot(block);
}

void SceneRoomPractice::CloseReplay() {
    replayShown_ = false;
    replay_->Show(false);
    ShowGuide(guideShown_);
}

void SceneRoomPractice::EndOfShot() {
    table::TableWorld* world = World();
    world->Rerack(RandomSeed(), true);
    // The mission judges the shot as it ended, a scratch included; then the cue ball comes back.
    if (mission_.Active())
        JudgeMissionShot();
    else
        world->SetCurrentPlayer(0, true);
    if (GiveCueBack(true)) AddChatLine(kFreeBallLine, colour::kWhite);
}

bool SceneRoomPractice::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    switch (event.id) {
        case control::kToLobby:
            LeaveToLobby();
            return true;
        case control::kSettings:
            OpenOptionDialog(Host() ? Host()->GetOptionDialog() : nullptr);
            return true;
        case control::kHelp:
            help_->Open(HelpWindow::kRules, Room().gameType);
            return true;
        case control::kMyInfo:
            if (Host() && Host()->GetMyInfoWindow()) Host()->GetMyInfoWindow()->Show(true);
            return true;
        case control::kMessenger:
            if (gui::Dialog* m = Host() ? Host()->GetMessenger() : nullptr) m->Show(!m->IsVisible());
            return true;
        case control::kEarnGold:
            RequestMission(false);
            return true;
        case control::kPlayerInfo:
            if (!cueSelector_->IsVisible()) {
                cueSelector_->SetSelectionSlot(Room().gameType % net::kGameTypeCount);
                cueSelector_->Show(true);
            } else {
                cueSelector_->SlideOut();
            }
            return true;
        default:
            return false;
    }
}

void SceneRoomPractice::LeaveToLobby() {
    // A running mission ends here without a report.
    mission_.Stop();
    SendMessage(MsgId(PracticeMsg::LeavePractice), [](net::Packet& p) { p.WriteU8(0); });
    RequestScene(scene_id::kLobby);
}

bool SceneRoomPractice::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    replay_->Show(false);
    replay_->DestroyWorld();
    replayShown_ = false;
    mission_.Stop();
    TableScene::Leave(resources, engineScenes);
    ReturnPracticeChalk();
    currentCue_ = nullptr;
    DestroyWorld(cueObject_);
    strip_->ReleaseModels();
    gauge_->ReleasePreview();
    cueSelector_->ReleaseModels();
    {
        platform::ScopedLock lock(chatLock_);
        chat_.clear();
        firstShown_ = 0;
    }
    RunQueuedWork();
    return true;
}

// ---- Chat box ------------------------------------------------------------------------------------

void SceneRoomPractice::AddChatLine(const WString& text, std::uint32_t argb) {
    platform::JournalChat(argb, ToUtf8(text));
    {
        platform::ScopedLock lock(chatLock_);
        chat_.push_back({text, argb, platform::NowMs()});
        if (chat_.size() > kMaxChatLines) chat_.pop_front();
        firstShown_ = chat_.size() > kChatRows ? chat_.size() - kChatRows : 0;
    }
    chatDirty_ = true;
}

std::vector<PracticeChatLine> SceneRoomPractice::ChatLines() const {
    platform::ScopedLock lock(chatLock_);
    return {chat_.begin(), chat_.end()};
}

std::size_t SceneRoomPractice::FirstShownLine() const {
    platform::ScopedLock lock(chatLock_);
    return firstShown_;
}

void SceneRoomPractice::RedrawChat() {
    chatDirty_ = false;
    platform::ScopedLock lock(chatLock_);
    const std::size_t shown = std::min<std::size_t>(chat_.size() - firstShown_, kChatRows);
    // The newest line sits on the bottom row; rows above the oldest shown line stay hidden.
    for (std::size_t row = 0; row < kChatRows; ++row) {
        const std::size_t fromBottom = kChatRows - 1 - row;
        const bool used = fromBottom < shown;
        chatImages_[row]->SetVisible(used);
        chatLabels_[row]->SetVisible(used);
        if (!used) continue;
        const PracticeChatLine& line = chat_[firstShown_ + shown - 1 - fromBottom];
        chatLabels_[row]->SetPlainText(line.text);
        chatLabels_[row]->SetColors(line.argb, 0xFF000000);
        StretchChatRow(*chatImages_[row], chatLabels_[row]->MeasureText());
    }
}

// ---- Sends and notices ---------------------------------------------------------------------------

bool SceneRoomPractice::SendMessage(std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    net::PooledPacket pooled;
    net::Packet local;
    net::Packet* packet = &local;
    if (session) {
        pooled = session->NewPacket(id);
        if (!pooled.get()) {
            LogWrite(u"ERROR : no packet for practice message %d\n", static_cast<int>(id));
            return false;
        }
        packet = pooled.get();
    } else {
        local.Init(id);
    }
    fill(*packet);
    packet->Finish();
    if (sendTap_) sendTap_(*packet);
    if (!session) return static_cast<bool>(sendTap_);
    if (!session->Send(*packet)) {
        LogWrite(u"WARNING : practice message %d not sent (no connection)\n", static_cast<int>(id));
        return false;
    }
    return true;
}

void SceneRoomPractice::Notice(const WString& line1, const WString& line2, const WString& line3) {
    if (Host()) Host()->ShowNotice(this, line1, line2, line3);
}

void SceneRoomPractice::Error(const WString& line1, const WString& line2) {
    if (Host()) Host()->ShowError(this, line1, line2);
}

void SceneRoomPractice::PlaySound(int id) {
    if (SoundManager* sound = Host() ? Host()->Sound() : nullptr) sound->PlayDefault(id);
}

// ---- Network messages (dispatch thread) ------------------------------------------------------------

int SceneRoomPractice::OnPacket(std::uint16_t id, net::Packet* packet) {
    if (!packet) return 0;
    switch (static_cast<PracticeMsg>(id)) {
        case PracticeMsg::UserProfile: {
            std::uint8_t found = 0;
            packet->ReadU8(found);
            gui::UserInfoWindow* window = Host() ? Host()->GetUserInfoWindow() : nullptr;
            if (found && window && !packet->IsBad() && window->ReadProfile(*packet))
                Queue([window] { window->Show(true); });
            break;
        }
        case PracticeMsg::ServerNotice: {
            WString text;
            packet->ReadString(text);
            if (!packet->IsBad()) AddChatLine(text, colour::kRed);
            break;
        }
        case PracticeMsg::GalleryRegistered:
            Queue([this] { Notice(u"It is registered to the Shot gallery."); });
            break;
        case PracticeMsg::InstantChargeResult:
            OnInstantChargeResult(*packet);
            break;
        case PracticeMsg::ActivateResult:
            OnActivateResult(*packet);
            break;
        case PracticeMsg::MissionReward:
            OnMissionReward(*packet);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace scenes

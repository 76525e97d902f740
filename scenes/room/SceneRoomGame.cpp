#include "scenes/room/SceneRoomGame.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "engine/sound/SoundManager.h"
#include "gui/Button.h"
#include "gui/GuiConstants.h"
#include "gui/ImageWidget.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/EffectPanel.h"
#include "scenes/room/hud/GameHud.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/PanelsHud.h"
#include "scenes/room/hud/ReplayControlPanel.h"
#include "scenes/room/hud/ResultWidgets.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shared/SharedWindows.h"

namespace scenes {

using namespace room;

namespace {

constexpr std::uint32_t kModelId = 0x10014;
constexpr int kLoopSoundA = 1, kLoopSoundB = 0;
constexpr float kCameraSeconds = 0.5f;
constexpr float kStartPitch = 30.0f;
constexpr std::array<std::int32_t, 5> kNoParts{-1, -1, -1, -1, -1};
constexpr int kOverlayX = 10, kOverlayY = 480, kOverlayW = 382, kOverlayRowH = 18;
constexpr int kOverlayRowImageW = 382, kOverlayRowImageH = 30;
constexpr float kOverlayRowAlpha = 0.5f;
constexpr int kChatEditMax = 50;
constexpr std::uint64_t kBlinkMs = 600, kSteadyMs = 30000;
constexpr std::uint64_t kChatSpamShortMs = 3000, kChatSpamMiddleMs = 5000, kChatSpamLongMs = 10000;

// The overlay line alpha by age: blinking while new, steady, then fading to half.
float ChatAlpha(std::uint64_t age) {
    if (age < kBlinkMs) return (age / 100) % 2 ? 0.5f : 1.0f;
    if (age < kSteadyMs) return 1.0f;
    const float a = static_cast<float>(kSteadyMs) - static_cast<float>(age - kSteadyMs);
    return std::max(0.5f, a / static_cast<float>(kSteadyMs));
}

}  // namespace

SceneRoomGame::SceneRoomGame() : TableScene(scene_id::kGameRoom) {}

SceneRoomGame::~SceneRoomGame() = default;

// ---- Screen -----------------------------------------------------------------------------------

void SceneRoomGame::CreateUI() {
    // The room line (number, game kind, title, player count) fills the title bar.
    if (!BeginUI({})) {
        LogWrite(u"BREAK : SceneRoomGame  114\n");
        return;
    }
    // The exit corner button leaves the room for the lobby here.
    toLobby_ = ExitButton();
    if (toLobby_) toLobby_->SetTooltip(u"To Lobby");
    // Each chat line has a dark strip behind it, stretched to the line's text.
    for (gui::ImageWidget*& row : overlayRows_) {
        row = AddImage(0, 0, kOverlayRowImageW, kOverlayRowImageH,
                       gui::atlas::InSet(gui::atlas::kDarkPanel, 15));
        row->Show(false);
    }
    for (std::size_t i = 0; i < overlay_.size(); ++i) {
        gui::TextLabel* label = AddLabel(kOverlayX, kOverlayY + static_cast<int>(i) * kOverlayRowH, kOverlayW,
                                         kOverlayRowH, gui::kFont12);
        label->Show(false);
        overlay_[i] = label;
    }
    chatEdit_ = Make<gui::EditBox>();
    chatEdit_->Create(kOverlayX, kOverlayY + static_cast<int>(kOverlayLines) * kOverlayRowH + 4, kOverlayW,
                      24, control::kChatEdit);
    chatEdit_->SetSkin(gui::atlas::kEditField);
    chatEdit_->Setup(gui::kFont12, kChatEditMax, gui::skin::kText);
    chatEdit_->Show(true);

    receivingLabel_ = AddLabel(20, 100, 230, 20, gui::kFont12Bold);
    receivingLabel_->SetPlainText(u"receiving game data...");
    receivingLabel_->SetColors(0xFF00FF00, receivingLabel_->SecondColour());
    receivingLabel_->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
    receivingLabel_->SetAlpha(0.7f);
    receivingLabel_->Show(false);
    turnLabel_ = AddLabel(420, 44, 300, 20, gui::kFont12);
    CreateRoomScreen();
    CreateRoomHud();
    CreateHudPanels();
    CreateJoinWidgets();
    LayoutChildren(Width(), Height());
}

void SceneRoomGame::UpdateWaitingWidgets() {
    if (!turnLabel_) return;
    const bool running = gameRunning_.load();
    RefreshRoomHud();
    const int shooter = shooter_.load();
    if (running && SeatValid(shooter)) {
        const RoomSeat seat = SeatCopy(shooter);
        turnLabel_->SetText(u"Turn: %s", seat.record.nickname);
    } else {
        turnLabel_->SetPlainText(running ? WString() : WString(u"Waiting"));
    }
}

// ---- Loading, entering and leaving --------------------------------------------------------------

int SceneRoomGame::Load3D(ResourceManager* resources, RenderDevice* renderer) {
    // The widgets are built on the first entry and kept: a second build is a fault of the code.
    if (!UiCreated()) CreateUI();
    AttachSharedWindows(*this, messengerButton_);
    net::RoomInfo copy;
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr) copy = session->GetRoom();
    {
        platform::ScopedLock lock(seatLock_);
        room_ = copy;
    }
    table::TableWorld& world = CreateWorld();
    world.SetGameType(copy.gameType);
    world.SetGameItems(copy.tableItem, copy.ballSetItem);
    world.SetShotSender([this](const table::ShotMessage& shot) { SendShot(shot); });
    Resize(Width(), Height());
    CreateReplayWorld(renderer, resources, copy);
    // Without an engine (tools, tests) the panel runs its animations without pictures.
    if (!resources) CreateEffectPanel(nullptr);
    LoadSounds(resources,
               {sound::kGameStart, sound::kOwnTurn, sound::kRack, 28, sound::kResult, sound::kGameResults, 35,
                1, 0, 40, 41, 42},
               -1);
    // The other sounds the room plays.
    LoadSounds(
        resources,
        {sound::kChalk, sound::kPocketCall, sound::kChatLine, sound::kGameEnd, sound::kPlayerEntered,
         sound::kCentreAmount, sound::kAfterResults, sound::kStartVoice, sound::kStartVoice + 1,
         sound::kEightBallShot, sound::kFirstWarning, sound::kFirstWarning + 1, sound::kFirstWarning + 2},
        -1);
    if (!LoadMapScene(resources, u"Map0002")) {
        LogWrite(u"ERROR : the game room's map scene is missing\n");
        return 1;
    }
    if (!renderer || !resources || world.LoadModels(*renderer, *resources) != 0) return 1;
    CreateEffectPanel(resources);
    LoadSounds(resources, {}, kMusicStream);
    return 0;
}

void SceneRoomGame::EnterTable() {
    table::TableWorld* world = World();
    if (!world) return;
    SceneManager* engineScenes = Host() ? Host()->EngineScenes() : nullptr;
    if (Scene* scene = CurrentEngineScene(engineScenes)) world->AttachToScene(*scene);
    world->SetPhysicsModel(kModelId, false);
    world->ResetGame(0);
    world->ClearMarkedNumbers();
    const Options options = CurrentOptions();
    world->ApplyOptions(options);
    world->ApplyControlOptions(options);
    world->SetTimeScale(table::kTimeScaleNormal);
    world->MoveCamera(kCameraSeconds, table::kKeepValue, kStartPitch);
    world->SetPlayState(table::PlayState::Waiting);
    world->trailDisplay = true;
    world->LayoutHud(Width(), Height());
    world->SetSceneVisible(true);
    // The own equipped cue of the room's game type.
    net::PlayerRecord& record = Record();
    const net::GameTypeEquipment& equipment = record.equipment[world->GameType() % net::kGameTypeCount];
    cueObject_ = world->AcquireCueObject(equipment.cueId ? equipment.cueId : 3000, kNoParts);
    world->SetShooter(cueObject_);
}

void SceneRoomGame::Enter() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (session) {
        session->ClearItemEffects();
        session->ResetItemEffectValues();
        channelType_ = session->GetChannelType();
    }
    {
        platform::ScopedLock lock(chatLock_);
        firstShown_ = 1;
    }
    int limit = kDefaultTurnLimitSeconds;
    {
        platform::ScopedLock lock(seatLock_);
        if (session) room_ = session->GetRoom();
        // The inning time travels as a u8: 0 means no limit, never "every turn is over at once".
        limit = room_.inningTime;
        game_.ResetTeams();
        game_.SetOptions(room_.gameType, 1);
        for (RoomSeat& seat : seats_) seat = RoomSeat{};
        leftPlayers_ = {};
        held_.clear();
    }
    turnLimit_ = limit;
    gameRunning_ = shotRunning_ = turnTimedOut_ = warningPlayed_ = attachTableState_ = connectionLost_ =
        showReceiving_ = false;
    defaultShotDone_ = tournamentLimitSent_ = leaveRequested_ = withdrawToLeave_ = leaveAfterGame_ = false;
    tableDiffers_ = tableChangePending_ = tableNoticeTold_ = false;
    for (auto& told : durabilityTold_) told = false;
    shooter_ = kNoSeat;
    turnTableItem_ = turnBallSet_ = 0;
    shotCount_ = 0;
    EnterTable();
    ResetHudPanels();
    if (chatEdit_) chatEdit_->SetText({});

    // Space charges and strikes here; Tab is the key of the view over the whole table.
    static constexpr const char16_t* kTips[] = {u"▶ View entire table : press Tab key",
                                                u"▶ Cut other's chat : click player name",
                                                u"▶ Slow frame? : Setting -> Graphics"};
    const int r = static_cast<int>(cosmetic_() % 100);
    AddChatLine(kTips[r < 50 ? 0 : r < 80 ? 1 : 2], colour::kMagenta);
    if (chalkGauge_) chalkGauge_->Reset();
    FillItemWidgets();
    CheckDurabilityNotice();
    // Newer players see the keys until they have signed in often enough.
    ShowKeyGuide(session && session->own.signInCounter < kKeyGuideSignIns);
    widgetsDirty_ = true;
    // A friend request that waited, or came while the room loaded, shows at once.
    RefreshFriendBar();
    roomStateRead_ = memberListRead_ = false;
    SetActive(true);
    // The player can write at once; a click on the table or Esc gives the keys back to the table.
    if (chatEdit_) chatEdit_->SetFocus(true);
    enteredMs_ = platform::NowMs();
    SendByte(RoomMsg::EnterDone, 0);
}

bool SceneRoomGame::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    TableScene::Leave(resources, engineScenes);
    LeaveHudPanels();
    StopMusic();
    // The room's looping sounds end with the room.
    if (SoundManager* sound = Host() ? Host()->Sound() : nullptr)
        for (const int id : {kLoopSoundA, kLoopSoundB}) sound->Stop(id);
    DropUsedUpChalk();
    if (table::TableWorld* world = World()) {
        world->StopShotInProgress();
        world->SetShooter(nullptr);
        if (cueObject_) world->ReleaseCueObject(cueObject_);
        world->ReleaseLoadedResources();
    }
    cueObject_ = nullptr;
    {
        // The seats' cue objects go with the world: a seat of the next visit names its own.
        platform::ScopedLock lock(seatLock_);
        seatCues_ = {};
    }
    if (chalkGauge_) chalkGauge_->ReleasePreview();
    ReleaseItemModels();
    DestroyWorld();
    platform::ScopedLock lock(chatLock_);
    chat_.clear();
    // Nothing of this room reaches the next one: its work, boxes and name labels for the next frame.
    mainThreadWork_.clear();
    pendingBoxes_.clear();
    pendingErrors_.clear();
    pendingTurnLabels_.clear();
    firstShown_ = 1;
    for (gui::TextLabel* label : overlay_)
        if (label) label->Show(false);
    return true;
}

// ---- Frame and tick ------------------------------------------------------------------------------

void SceneRoomGame::Render(RenderDevice* renderer, bool draw) {
    UpdateTimeOfDay(kTimeOfDaySeconds);
    SwapTurnTable(renderer);
    if (releaseKeysQueued_.exchange(false))
        if (table::TableWorld* world = World()) world->ReleaseHeldKeys();
    // Both read before the widgets follow them: the entry is complete once they are shown.
    const bool entryRead = roomStateRead_.load() && memberListRead_.load();
    if (widgetsDirty_.exchange(false)) {
        UpdateWaitingWidgets();
        if (entryRead) EntryComplete();
    }
    RefreshFriendBar();
    RenderHudPanels();
    // Widgets change on the main thread only: the chat overlay and the boxes the handlers asked for.
    RefreshChatOverlay(platform::NowMs());
    std::vector<std::pair<WString, WString>> boxes;
    {
        platform::ScopedLock lock(chatLock_);
        boxes.swap(pendingBoxes_);
    }
    for (const auto& [line1, line2] : boxes)
        if (Host()) Host()->ShowNotice(nullptr, line1, line2);
    std::vector<std::pair<WString, WString>> errors;
    {
        platform::ScopedLock lock(chatLock_);
        errors.swap(pendingErrors_);
    }
    for (const auto& [line1, line2] : errors)
        if (Host()) Host()->ShowError(nullptr, line1, line2);
    if (hidePurchase_.exchange(false) && purchase_) purchase_->Show(false);
    if (enableToLobby_.exchange(false) && toLobby_) toLobby_->SetEnabled(true);
    if (receivingLabel_) receivingLabel_->Show(showReceiving_.load());
    RefreshRoomScreen(platform::NowMs());
    UpdateRoomHudClocks(platform::NowMs());
    // The game is over under its results: no cue stands at the table while they show.
    if (table::TableWorld* world = World()) world->SetCueHidden(resultList_ && resultList_->IsVisible());
    if (!draw || !World()) return;
    if (chalkGauge_) chalkGauge_->BuildPreview(renderer);
    BuildItemModels(renderer);
    RenderTable(renderer);
    if (effects_) effects_->Draw(renderer, Width(), Height(), platform::NowMs());
}

void SceneRoomGame::Update(std::uint64_t nowMs, std::uint64_t time100us) {
    TableScene::Update(nowMs, time100us);
    ++tick_;
    UpdateHudPanels();
    if (tick_ % kBobTicks == 0) BobStartPrompt(nowMs);
    if (tick_ % 10 != 0) return;
    table::TableWorld* world = World();
    if (world && (IsOwnTurn() || (!gameRunning_ && ownSeat_.load() == masterSeat_.load()))) SendAim(nowMs);
    TickTurnTimers(nowMs);
    if (gameRunning_.load()) {
        const std::uint64_t base = gameClockBaseMs_.load();
        const std::uint64_t played = platform::ElapsedMs(base, nowMs);
        gameSeconds_ = static_cast<std::uint32_t>(played / 1000);
        // Only the shooter's client ends a tournament game that ran out of time.
        if (channelType_.load() == kTournamentChannel && played >= kTournamentLimitMs && world &&
            IsOwnTurn() && !world->ShotExecuting() && !tournamentLimitSent_.exchange(true)) {
            world->SetTurnFlag(false);
            SendByte(RoomMsg::TimeLimit, 1);
        }
    }
}

void SceneRoomGame::TickTurnTimers(std::uint64_t nowMs) {
    table::TableWorld* world = World();
    if (!world || !gameRunning_.load() || shotRunning_.load()) return;
    const int limit = turnLimit_.load();
    // A limit of 0 is no limit: no warning, no default shot, no time-out.
    if (limit <= 0) return;
    // The clock decides on the turn the server last named: what it sent meanwhile (a turn result that
    // came while this client was stopped or starved) is read first, so no time-out or default shot goes
    // out for a turn the server has passed.
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
        session && !session->AllReceivedHandled())
        return;
    const std::uint64_t start = turnStartMs_.load();
    const int elapsed = static_cast<int>(platform::ElapsedMs(start, nowMs) / 1000);
    if (elapsed > limit - kWarningFromEnd && elapsed < limit - kWarningUntilEnd && !world->ShotExecuting() &&
        !warningPlayed_.exchange(true)) {
        QueueSound(sound::kFirstWarning + static_cast<int>(cosmetic_() % 3));
        // The turn is nearly over: a withdraw question still open has lost its moment.
        RunOnMainThread([this] {
            if (withdrawQuestion_) withdrawQuestion_->Show(false);
        });
    }
    // The own turn counts while the own cue may still strike: aiming, or calling the 8-ball's pocket.
    const bool ownTurn = IsOwnTurn() && (world->TurnFlag() || world->pocketCallPending());
    const std::int32_t gameType = world->GameType();
    if (ownTurn && (gameType == 3 || gameType == 5) && world->timeOutCount == 0 &&
        elapsed >= limit - kDefaultShotBeforeEnd && !defaultShotDone_.exchange(true) &&
        !turnTimedOut_.load()) {
        releaseKeysQueued_ = true;
        world->SetTurnFlag(false);
        world->MakeDefaultShot();
        SendShot(world->CurrentShot());
        return;
    }
    if (turnTimedOut_.load() || elapsed < limit) return;
    bool droppedShooter = false;
    {
        platform::ScopedLock lock(seatLock_);
        const int shooter = shooter_.load();
        droppedShooter = SeatValid(shooter) && seats_[shooter].record.game.dropped != 0;
    }
    if (!ownTurn && !(ownSeat_.load() == masterSeat_.load() && droppedShooter)) return;
    turnTimedOut_ = true;
    releaseKeysQueued_ = true;
    world->SetTurnFlag(false);
    world->ClearBallInHand();
    PlayEffect(hud::GameAni::TimeOut);
    SendByte(RoomMsg::TurnTimeOver, 0);
}

bool SceneRoomGame::IsOwnTurn() const {
    const int own = ownSeat_.load();
    if (gameRunning_.load()) return shooter_.load() == own;
    return own == masterSeat_.load() || own == shooter_.load();
}

// ---- Chat ----------------------------------------------------------------------------------------

void SceneRoomGame::AddChatLine(const WString& text, std::uint32_t argb) {
    ChatLine line;
    line.argb = argb;
    line.text = text.substr(0, kChatLineChars);
    line.arrivalMs = platform::NowMs();
    platform::JournalChat(argb, ToUtf8(text));
    platform::ScopedLock lock(chatLock_);
    const std::size_t visible = kOverlayLines - 1;
    const std::size_t endBefore = chat_.size() > visible ? chat_.size() - visible : 1;
    const bool atEnd = firstShown_ >= endBefore;
    chat_.push_back(std::move(line));
    if (chat_.size() > kMaxChatLines) {
        chat_.pop_front();
        // The reader who scrolled up keeps his lines in view.
        if (!atEnd && firstShown_ > 1) --firstShown_;
    }
    if (atEnd) firstShown_ = chat_.size() > visible ? chat_.size() - visible : 1;
}

std::vector<ChatLine> SceneRoomGame::ChatLines() const {
    platform::ScopedLock lock(chatLock_);
    return {chat_.begin(), chat_.end()};
}

std::size_t SceneRoomGame::FirstShownLine() const {
    platform::ScopedLock lock(chatLock_);
    return firstShown_;
}

void SceneRoomGame::ScrollChatTo(std::size_t firstLine) {
    platform::ScopedLock lock(chatLock_);
    firstShown_ = std::clamp<std::size_t>(firstLine, 1, std::max<std::size_t>(1, chat_.size()));
}

void SceneRoomGame::RefreshChatOverlay(std::uint64_t nowMs) {
    platform::ScopedLock lock(chatLock_);
    for (std::size_t i = 0; i < overlay_.size(); ++i) {
        gui::TextLabel* label = overlay_[i];
        gui::ImageWidget* row = overlayRows_[i];
        if (!label || !row) continue;
        const std::size_t index = firstShown_ - 1 + i;
        if (index >= chat_.size()) {
            label->Show(false);
            row->Show(false);
            continue;
        }
        const ChatLine& line = chat_[index];
        label->SetPlainText(line.text);
        label->SetColors(line.argb, 0xFF000000);
        const float alpha = ChatAlpha(platform::ElapsedMs(line.arrivalMs, nowMs));
        label->SetAlpha(alpha);
        label->Show(true);
        StretchChatRow(*row, label->MeasureText());
        row->SetAlpha(alpha * kOverlayRowAlpha);
        row->Show(true);
    }
}

bool SceneRoomGame::ChatAllowed(std::uint64_t nowMs) {
    platform::ScopedLock lock(chatLock_);
    // Counting back from the newest send: the 2nd and 3rd must be 3 s old, the 4th and 5th 5 s, older
    // ones 10 s.
    if (chatSendTimes_.size() >= 2) {
        std::size_t rank = 1;
        for (auto it = chatSendTimes_.rbegin(); it != chatSendTimes_.rend(); ++it, ++rank) {
            if (rank == 1) continue;
            const std::uint64_t need = rank <= 3   ? kChatSpamShortMs
                                       : rank <= 5 ? kChatSpamMiddleMs
                                                   : kChatSpamLongMs;
            if (platform::ElapsedMs(*it, nowMs) <= need) return false;
        }
    }
    while (!chatSendTimes_.empty() && platform::ElapsedMs(chatSendTimes_.front(), nowMs) > kChatSpamLongMs)
        chatSendTimes_.pop_front();
    return true;
}

void SceneRoomGame::RecordChatSend(std::uint64_t nowMs) {
    platform::ScopedLock lock(chatLock_);
    chatSendTimes_.push_back(nowMs);
    while (chatSendTimes_.size() > kChatSendTimes) chatSendTimes_.pop_front();
}

bool SceneRoomGame::SendChat(const WString& text, bool typed, std::uint64_t nowMs) {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (session && session->own.IsChatBanned()) {
        AddChatLine(u"Due to language abuse, chatting has been banned.", colour::kRed);
        return true;
    }
    if (!ChatAllowed(nowMs) && typed) {
        AddChatLine(u"No Spamming!", colour::kYellow);
        return false;
    }
    bool blank = true;
    for (char16_t c : text) blank = blank && (c == u' ' || c == 0x3000);
    if (blank) return true;
    if (Online()) {
        if (Host()) Host()->PostUiMessage(app_code::kEnteringTime, 0, 0, 0);
        if (SendChatCommand(text)) {
            RecordChatSend(nowMs);
            return true;
        }
        const bool team = text[0] == u'@';
        // A team line needs text after the sign; a shorter one is not sent but counts as a send.
        if (!team || text.size() >= 3) {
            const WString body = team ? text.substr(1) : text;
            SendMessage(RoomMsg::ChatSend,
                        [&](net::Packet& p) { p.WriteU8(team ? 1 : 0).WriteString(body); });
        }
    }
    RecordChatSend(nowMs);
    return true;
}

// ---- Input ---------------------------------------------------------------------------------------

bool SceneRoomGame::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    table::TableWorld* world = World();
    // A click anywhere leaves the chat lines (the room's and the messenger's); keys go to the room's
    // chat line while it has the focus.
    if (code == platform::kWmLButtonDown || code == platform::kWmRButtonDown) {
        if (chatEdit_ && chatEdit_->HasFocus()) chatEdit_->SetFocus(false);
        if (Messenger* messenger = Host() ? dynamic_cast<Messenger*>(Host()->GetMessenger()) : nullptr)
            messenger->ReleaseChatFocus();
    }
    const bool typing = chatEdit_ && chatEdit_->HasFocus();
    if (world) world->SetKeyboardBlocked(typing);
    const bool keyMessage = code >= platform::kWmKeyDown && code <= platform::kWmSysChar;
    const bool placing = world && world->ballInHandMode == 1;
    const bool calling = world && world->pocketCallPending();
    const bool used = !(typing && keyMessage) && OfferWindowMessage(code, a, b);
    // The ball set down by hand goes to the others before the shot that follows it; a strike straight
    // from the ball in hand leaves the ball where every table has it.
    if (placing && world->ballInHandMode == 0 && IsOwnTurn() && !world->ShotUnderWay())
        OnMessage(app_code::kSendPlacement, 0, 0);
    // The pocket called for the 8 goes to the others, who hear it as the caller does.
    if (calling && world->CalledPocket() != table::kNoPocket && IsOwnTurn()) {
        PlaySound(sound::kPocketCall);
        OnMessage(app_code::kSendPlacement, 0, 0);
    }
    tableWorldUnhandled = !used;
    if (code == platform::kWmKeyUp && a == platform::kVkF1 + 1 && !typing) {
        // The replay panel stands where the guide does: F2 waits until it is closed.
        if (!replayPanel_ || !replayPanel_->IsVisible()) ShowKeyGuide(!keyGuideOn_);
        return true;
    }
    if (code == platform::kWmKeyDown && a == platform::kVkReturn && chatEdit_ && !typing &&
        !gui::TextInputManager::IsTypingOnScreen()) {
        chatEdit_->SetFocus(true);
        return true;
    }
    switch (code) {
        case app_code::kCueStruck:
            // The shot left with the strike (the world's shot sender); here chalk and cue wear.
            AfterShotConsumption(static_cast<int>(b));
            return true;
        case app_code::kChalkApplied:
            ApplyChalk();
            return true;
        case app_code::kChalkRefresh:
            if (chalkGauge_) chalkGauge_->Refresh();
            return true;
        case app_code::kShotAtRest:
            if (world &&
                static_cast<int>(world->GetPlayState()) >= static_cast<int>(table::PlayState::Waiting) &&
                !watchOnly_.load())
                SendShotResult();
            TakeHeldMessages();
            return true;
        case app_code::kSeatChoice:
            // A team slot needs the channel's level; a player over it is seated as a watcher.
            if (a <= 6 && !gameRunning_.load())
                SendByte(RoomMsg::PlayChoice,
                         a != 0 && CheckChannelLevel() ? static_cast<std::uint8_t>(a) : 0);
            return true;
        case app_code::kReadyPressed:
            SendByte(RoomMsg::Ready, static_cast<std::uint8_t>(a));
            return true;
        case app_code::kStartPressed: {
            // Start is pressable only while the room can start; a press still on its way when that
            // ended (the connection went down, a player left) sends nothing.
            if (!StartPossible()) return true;
            net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
            if (session && channelType_.load() == kTournamentChannel &&
                session->own.money < session->tournamentFee) {
                if (Host()) Host()->ShowNotice(this, u"You are falling short of gold to join.");
                return true;
            }
            SendByte(RoomMsg::Start, 0);
            return true;
        }
        case app_code::kSend2060:
            SendByte(RoomMsg::ByteValue2060, static_cast<std::uint8_t>(a));
            return true;
        case app_code::kSendPlacement:
            SendPlacement();
            return true;
        case app_code::kLeave:
            // Posted by the quit question (Yes) or the menu: the same as "To Lobby".
            if (a == 0 || a == gui::button_id::kYes) LeaveRoom();
            return true;
        case static_cast<std::uint32_t>(AppMessage::ConnectionLost):
            StopOnLostConnection();
            return true;
        default:
            return HandleHudMessage(code, a, typing) || HandleCommand(code, a, b) ||
                   HandlePopupCommand(code, a, b) || HandleJoinMessage(code, a, b) ||
                   HandleItemUseMessage(code, a, b) ||
                   (!(typing && keyMessage) && HandleReplayMessage(code, a, b)) || used;
    }
}

bool SceneRoomGame::RouteMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    // A player who has typed nothing plays: the table's key leaves the empty chat line for the table.
    if (ChatLineYieldsKey(message, wParam)) chatEdit_->SetFocus(false);
    return TableScene::RouteMessage(message, wParam, lParam);
}

void SceneRoomGame::SendPlacement() {
    table::TableWorld* world = World();
    if (!world) return;
    if (!world->BallPositionSendable()) {
        LogWrite(u"WARNING : ball placement not sent: the ball is not on the table\n");
        return;
    }
    SendMessage(RoomMsg::BallPlacement, [&](net::Packet& p) { world->WriteBallPositionMessage(p); });
}

void SceneRoomGame::StopOnLostConnection() {
    // No turn, result or game end can come any more: the game and its clocks stop here, nobody
    // shoots, and a running shot only comes to rest. The shell's notice leads back to the sign-in.
    gameRunning_ = false;
    connectionLost_ = true;
    leaveRequested_ = withdrawToLeave_ = leaveAfterGame_ = false;
    if (table::TableWorld* world = World()) {
        world->ClearBallInHand();
        world->ClearPocketCall();
    }
    ApplyOwnTurn(false);
    widgetsDirty_ = true;
}

void SceneRoomGame::LeaveRoom() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    const bool connected = session && session->IsConnected();
    // A player of a running game is asked to withdraw first (the server would refuse the leave);
    // agreeing ends his game and then takes him out of the room.
    if (connected && IsOwnSeatPlaying()) {
        OnMessage(app_code::kWithdrawOpen, 1, 0);
        withdrawToLeave_ = true;
        return;
    }
    // Without a connection (or when the send fails) the lobby comes at once.
    if (!connected || !SendByte(RoomMsg::ToLobby, 0)) {
        RequestScene(scene_id::kLobby);
        return;
    }
    leaveRequested_ = true;
    if (toLobby_) toLobby_->SetEnabled(false);
}

bool SceneRoomGame::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    switch (event.id) {
        case control::kToLobby:
            LeaveRoom();
            return true;
        case control::kSettings:
            OpenOptionDialog(Host() ? Host()->GetOptionDialog() : nullptr, gameRunning_.load(),
                             IsOwnSeatPlaying());
            return true;
        case control::kChatEdit:
            // A line handed to the chat sender gives the keys back to the table (a refused one stays
            // in the line); Enter on an empty line keeps the focus.
            if (event.value == static_cast<std::int32_t>(platform::kVkReturn) && chatEdit_ &&
                !chatEdit_->GetText().empty()) {
                if (SendChat(chatEdit_->GetText(), true, platform::NowMs())) chatEdit_->SetText({});
                chatEdit_->SetFocus(false);
            }
            if (event.value == static_cast<std::int32_t>(platform::kVkEscape) && chatEdit_)
                chatEdit_->SetFocus(false);
            return true;
        default:
            return OnRoomScreenCommand(event) || OnJoinCommand(event);
    }
}

// ---- Sends ---------------------------------------------------------------------------------------

bool SceneRoomGame::Online() const {
    if (connectionLost_.load()) return false;
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    return sendTap_ || (session && session->IsConnected());
}

bool SceneRoomGame::SendPacket(net::Packet& packet) {
    packet.Finish();
    if (sendTap_) sendTap_(packet);
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return static_cast<bool>(sendTap_);
    if (!session->Send(packet)) {
        LogWrite(u"WARNING : room message %d not sent (no connection)\n", static_cast<int>(packet.GetId()));
        return false;
    }
    return true;
}

bool SceneRoomGame::SendMessage(RoomMsg id, const std::function<void(net::Packet&)>& fill) {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    net::PooledPacket pooled;
    std::unique_ptr<net::Packet> local;
    net::Packet* packet = nullptr;
    if (session) {
        pooled = session->NewPacket(room::Id(id));
        packet = pooled.get();
        if (!packet) {
            LogWrite(u"ERROR : no packet for room message %d\n", static_cast<int>(room::Id(id)));
            return false;
        }
    } else {
        local = std::make_unique<net::Packet>();
        local->Init(room::Id(id));
        packet = local.get();
    }
    fill(*packet);
    return SendPacket(*packet);
}

bool SceneRoomGame::SendByte(RoomMsg id, std::uint8_t value) {
    return SendMessage(id, [value](net::Packet& p) { p.WriteU8(value); });
}

void SceneRoomGame::SendShot(const table::ShotMessage& shot) {
    shotRunning_ = true;
    SendMessage(RoomMsg::Shot, [&](net::Packet& p) { table::WriteShotMessage(p, shot); });
}

void SceneRoomGame::NoteSound(int id) {
    // Bounded: a player may sit in one room for hours.
    constexpr std::size_t kSoundLogLength = 256;
    platform::ScopedLock lock(chatLock_);
    playedSounds_.push_back(id);
    if (playedSounds_.size() > kSoundLogLength) playedSounds_.pop_front();
}

void SceneRoomGame::PlaySound(int id) {
    NoteSound(id);
    if (SoundManager* sound = Host() ? Host()->Sound() : nullptr) sound->Play(id, 1.0f);
}

void SceneRoomGame::QueueSound(int id) {
    NoteSound(id);
    TableScene::QueueSound(id);
}

std::vector<int> SceneRoomGame::PlayedSounds() const {
    platform::ScopedLock lock(chatLock_);
    return {playedSounds_.begin(), playedSounds_.end()};
}

void SceneRoomGame::ShowBox(const WString& line1, const WString& line2) {
    platform::ScopedLock lock(chatLock_);
    pendingBoxes_.emplace_back(line1, line2);
}

RoomSeat SceneRoomGame::SeatCopy(int seat) const {
    platform::ScopedLock lock(seatLock_);
    return SeatValid(seat) ? seats_[seat] : RoomSeat{};
}

const table::CueObject* SceneRoomGame::SeatCue(int seat) const {
    platform::ScopedLock lock(seatLock_);
    return SeatValid(seat) ? seatCues_[seat] : nullptr;
}

net::RoomInfo SceneRoomGame::RoomCopy() const {
    platform::ScopedLock lock(seatLock_);
    return room_;
}

// ---- Dispatch ------------------------------------------------------------------------------------

int SceneRoomGame::OnPacket(std::uint16_t id, net::Packet* packet) {
    if (!packet || !IsActive() || HoldBehindShot(id, *packet)) return 0;
    Dispatch(id, *packet);
    return 0;
}

void SceneRoomGame::Dispatch(std::uint16_t id, net::Packet& p) {
    for (const HandlerEntry& entry : Handlers())
        if (room::Id(entry.id) == id) {
            (this->*entry.handler)(p);
            if (p.IsBad()) LogWrite(u"ERROR : room message %d is short\n", static_cast<int>(id));
            widgetsDirty_ = true;
            return;
        }
}

const std::vector<SceneRoomGame::HandlerEntry>& SceneRoomGame::Handlers() {
    static const std::vector<HandlerEntry> table = {
        {RoomMsg::GameStart, &SceneRoomGame::OnGameStart},
        {RoomMsg::Aim, &SceneRoomGame::OnAim},
        {RoomMsg::Shot, &SceneRoomGame::OnShot},
        {RoomMsg::TurnResult, &SceneRoomGame::OnTurnResult},
        {RoomMsg::NewTurn, &SceneRoomGame::OnNewTurn},
        {RoomMsg::BreakFoul, &SceneRoomGame::OnBreakFoul},
        {RoomMsg::Groups, &SceneRoomGame::OnGroups},
        {RoomMsg::EightBallShot, &SceneRoomGame::OnEightBallShot},
        {RoomMsg::GameEnd, &SceneRoomGame::OnGameEnd},
        {RoomMsg::GameResults, &SceneRoomGame::OnGameResults},
        {RoomMsg::RoomState, &SceneRoomGame::OnRoomState},
        {RoomMsg::MemberList, &SceneRoomGame::OnMemberList},
        {RoomMsg::Playing, &SceneRoomGame::OnPlaying},
        {RoomMsg::ReadyChanged, &SceneRoomGame::OnReadyChanged},
        {RoomMsg::SeatStatus, &SceneRoomGame::OnSeatStatus},
        {RoomMsg::NewMaster, &SceneRoomGame::OnNewMaster},
        {RoomMsg::TeamLineup, &SceneRoomGame::OnTeamLineup},
        {RoomMsg::PlayerEntered, &SceneRoomGame::OnPlayerEntered},
        {RoomMsg::PlayerLeft, &SceneRoomGame::OnPlayerLeft},
        {RoomMsg::WithdrawnLost, &SceneRoomGame::OnWithdrawnLost},
        {RoomMsg::PlayerDropped, &SceneRoomGame::OnPlayerDropped},
        {RoomMsg::PlayerBack, &SceneRoomGame::OnPlayerBack},
        {RoomMsg::LeaveAnswer, &SceneRoomGame::OnLeaveAnswer},
        {RoomMsg::RoomClosed, &SceneRoomGame::OnRoomClosed},
        {RoomMsg::RankResult, &SceneRoomGame::OnRankResult},
        {RoomMsg::ExitRefused, &SceneRoomGame::OnExitRefused},
        {RoomMsg::ChatLine, &SceneRoomGame::OnChatLine},
        {RoomMsg::RequestAnswer, &SceneRoomGame::OnRequestAnswer},
        {RoomMsg::Notice, &SceneRoomGame::OnNotice},
        {RoomMsg::ChatBanned, &SceneRoomGame::OnChatBanned},
        {RoomMsg::ChatBlockedBy, &SceneRoomGame::OnChatBlockedBy},
        {RoomMsg::ChatBannedHour, &SceneRoomGame::OnChatBannedHour},
        {RoomMsg::ChatBannedName, &SceneRoomGame::OnChatBannedName},
        {RoomMsg::Reported, &SceneRoomGame::OnReported},
        {RoomMsg::RaceTournament, &SceneRoomGame::OnRaceTournament},
        {RoomMsg::GalleryRegistered, &SceneRoomGame::OnGalleryRegistered},
        {RoomMsg::TableStateRequest, &SceneRoomGame::OnTableStateRequest},
        {RoomMsg::PlacedBall, &SceneRoomGame::OnPlacedBall},
        {RoomMsg::CalledPocket, &SceneRoomGame::OnCalledPocket},
        {RoomMsg::MarkedNumbers, &SceneRoomGame::OnMarkedNumbers},
        {RoomMsg::GuideRefresh, &SceneRoomGame::OnGuideRefresh},
        {RoomMsg::LinePoint, &SceneRoomGame::OnLinePoint},
        {RoomMsg::BannedFromRoom, &SceneRoomGame::OnBannedFromRoom},
        {RoomMsg::BanCancel, &SceneRoomGame::OnBanResult},
        {RoomMsg::OpponentRequest, &SceneRoomGame::OnGameRequest},
        {RoomMsg::WithdrawOffer, &SceneRoomGame::OnWithdrawOffer},
        {RoomMsg::InviteList, &SceneRoomGame::OnInviteList},
        {RoomMsg::Message2002, &SceneRoomGame::OnMessage2002},
        {RoomMsg::ProfileReply, &SceneRoomGame::OnProfileReply},
        {RoomMsg::ClanChanged, &SceneRoomGame::OnClanChanged},
        {RoomMsg::SeatMoney, &SceneRoomGame::OnSeatMoney},
        // Joining, seats and bets; items, money and announcements
        {RoomMsg::RoomOptions, &SceneRoomGame::OnRoomOptions},
        {join_msg::kPlayerJoinedGame, &SceneRoomGame::OnPlayerJoinedGame},
        {join_msg::kAllIn, &SceneRoomGame::OnAllIn},
        {join_msg::kPurchaseResult, &SceneRoomGame::OnPurchaseResult},
        {join_msg::kItemUseResult, &SceneRoomGame::OnItemUseResult},
        {join_msg::kCueChanged, &SceneRoomGame::OnCueChanged},
        {join_msg::kItemValues, &SceneRoomGame::OnItemValues},
        {join_msg::kItemCount, &SceneRoomGame::OnItemCount},
        {join_msg::kPointsUpdate, &SceneRoomGame::OnPointsUpdate},
        {join_msg::kPointTrack, &SceneRoomGame::OnPointTrack},
        {join_msg::kHighRun, &SceneRoomGame::OnHighRun},
        {join_msg::kHandicapChange, &SceneRoomGame::OnHandicapChange},
        {join_msg::kLevelUp, &SceneRoomGame::OnLevelUp},
        {join_msg::kOwnStats, &SceneRoomGame::OnOwnStats},
        {join_msg::kOwnCounter, &SceneRoomGame::OnOwnCounter},
        {join_msg::kJackpot, &SceneRoomGame::OnJackpot},
        {join_msg::kJackpotBroadcast, &SceneRoomGame::OnJackpotBroadcast},
    };
    return table;
}

}  // namespace scenes

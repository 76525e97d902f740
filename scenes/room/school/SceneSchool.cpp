#include "scenes/room/school/SceneSchool.h"

#include <algorithm>
#include <random>

#include "engine/core/Log.h"
#include "engine/core/Options.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundManager.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/ImageWidget.h"
#include "gui/ItemPreview.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "gui/WidgetRouter.h"
#include "net/GameSession.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/front/HelpWindow.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/room/TableSceneUi.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/school/TutorialIndex.h"
#include "scenes/shared/SharedWindows.h"

namespace scenes {

namespace {

using namespace school;

constexpr std::uint32_t kModelId = 0x10014;
constexpr std::uint32_t kResetSeed = 1234;
constexpr std::uint8_t kEightBall = 10;
constexpr std::uint16_t kTableItem = 1501;
constexpr int kHudTopFromBottom = 460;  // the shot controls' top, above the tutorial index
// The course end's ways out: a column this far from the right edge, unless the shot controls stand there.
constexpr int kNavigationRight = 150;
// Between the shot controls and the widgets around them.
constexpr int kControlsGap = 8;
// The top view's table keeps this far from the widgets around it.
constexpr int kTopViewGap = 8;
constexpr std::uint16_t kBallSetItem = 2200;
constexpr std::uint32_t kSchoolAbility = 100000;
constexpr std::uint64_t kLoanChalkSerial = 1;
constexpr std::uint32_t kLoanChalkItem = 4903;
constexpr std::uint32_t kLoanChalkUses = 100;
constexpr int kGoalSound = 33;
constexpr int kRackSound = 27;
constexpr int kBlinkPeriod = 1500;
constexpr int kBlinkOn = 1200;
constexpr float kOrbitDegreesPerTick = 0.003f;
constexpr int kLastOrbitStep = 3;
// The practice view: 300 cm behind the cue ball, 12.5 degrees above the bed (the first pages' pitch).
constexpr float kPracticeDistance = 300.0f;
constexpr float kViewPitch = 12.5f;
constexpr float kCameraBackSeconds = 1.0f;
constexpr std::array<std::int32_t, 5> kNoParts{-1, -1, -1, -1, -1};

// Messages to the server and the application.
constexpr std::uint16_t kCourseEndMessage = 528;
constexpr std::uint16_t kStepReachedMessage = 530;
constexpr std::uint16_t kSchoolLeftMessage = 1138;
constexpr std::uint32_t kMouseLeftDown = 513;
constexpr std::uint32_t kMouseRightDown = 516;
constexpr std::uint32_t kOptionsChanged = 1058;
constexpr std::uint32_t kGoToLobby = 1071;
constexpr std::uint32_t kChalkChanged = 1085;
constexpr std::uint16_t kGiftCueItem = 3050;

constexpr FixedLighting kSchoolLighting{0x40FFCB87u, true, true, false, 0.015f};

constexpr std::uint32_t kHeaderColour = 0xFF00FF00u;
constexpr std::uint32_t kStepLabelColour = 0xFFFFFF00u;
constexpr std::uint32_t kArrowColour = 0xFF00B000u;

std::uint32_t RandomSeed() {
    static std::random_device device;
    return device();
}

gui::TextLabel* AddColouredLine(gui::Widget& parent, int x, int y, int w, int h, const WString& text,
                                std::uint32_t colour) {
    gui::TextLabel* label = AddTextLine(parent, x, y, w, h, text);
    label->SetColors(colour, 0xFF000000u);
    return label;
}

}  // namespace

SceneSchool::SceneSchool() : TableScene(scene_id::kSchool) {}

SceneSchool::~SceneSchool() = default;

void SceneSchool::CreateUI() {
    if (uiBuilt_) return;
    uiBuilt_ = true;
    const int width = Host() ? Host()->ClientWidth() : 1024, height = Host() ? Host()->ClientHeight() : 768;
    gui::Widget::Create(0, 0, width, height);
    // The title strip stays hidden behind the guide panel until the scene's title is asked for.
    gui::ImageWidget* titleBar = AddTitleBar(*this, u"Cue school");
    titleBar->SetVisible(false);
    titleBar->SetAlpha(0.5f);
    namespace images = gui::atlas::school;
    panel_ = AddImage(0, 10, 1024, 285, images::kGuidePanel);
    shotPicture_ = panel_->AddImage(860, 130, 112, 120, images::kShotPicture);
    title_ = AddColouredLine(*panel_, 220, 85, 360, 20, u"", kWhite);
    for (int k = 0; k < kLineCount; ++k)
        lines_[static_cast<std::size_t>(k)] =
            AddColouredLine(*panel_, 230, 140 + 25 * k, 730, 18, u"", kWhite);
    for (int k = 0; k < kGoalLineCount; ++k)
        goals_[static_cast<std::size_t>(k)] =
            AddColouredLine(*this, 70, 340 + 20 * k, 700, 18, u"", kGoalDone);
    goalHeader_ = AddColouredLine(*this, 70, 318, 200, 18, u"[Trouble]", kHeaderColour);

    stepStrip_ = AddPanel(190, 40, 440, 20);
    const char16_t* const stepNames[] = {u"[Camera]", u"[Shot]", u"[Aiming]", u"[Spin]"};
    for (int k = 0; k < 4; ++k) {
        stepLabels_[static_cast<std::size_t>(k)] =
            AddColouredLine(*stepStrip_, 40 + 100 * k, 0, 80, 20, stepNames[k], kStepLabelColour);
        if (k < 3) AddColouredLine(*stepStrip_, 120 + 100 * k, 0, 20, 20, u"\u25B6", kArrowColour);
    }
    clickToTry_ = AddColouredLine(*panel_, 400, 248, 100, 20, u"Click to Try", kYellow);
    // The arrow takes clicks a little to its left and over the label beside it.
    continue_ = panel_->AddButton(370, 240, 24, 27, kContinueId, 0, images::kContinue);
    continue_->SetFrameCount(images::kButtonFrames);
    continue_->SetHitArea(-5, 0, 70, 27);
    continue_->SetTooltip(u"Continue");
    previousButton_ = panel_->AddButton(250, 240, 23, 27, kPreviousId, 0, images::kPrevious);
    previousButton_->SetFrameCount(images::kButtonFrames);
    previousButton_->SetTooltip(u"Previous");
    previousButton_->SetAlpha(0.5f);
    const char16_t* const navigation[] = {u"Practice room", u"Shop", u"Lobby"};
    for (int k = 0; k < 3; ++k) {
        gui::Button* b = AddTextButton(*this, 0, 300 + 40 * k, 138, 29,
                                       kPracticeRoomId + static_cast<std::uint32_t>(k), navigation[k]);
        b->SetImage(images::kWayOut);
        b->SetAnchor(gui::AnchorH::Right, -kNavigationRight + 138, gui::AnchorV::None, 0);
        navigation_[static_cast<std::size_t>(k)] = b;
    }
    AddCornerButton(*this, kHelpId, -101, platform::kVkF1, u"?", u"Help(F1)");
    AddCornerButton(*this, kSettingsId, -68, platform::kVkF1 + 2, u"S", u"Settings(F3)");
    AddCornerButton(*this, kMyInfoId, -134, platform::kVkF1 + 3, u"I", u"MyInfo(F4)");
    AddCornerButton(*this, kToLobbyId, -35, 0, u"L", u"To Lobby");
    messengerButton_ =
        AddCornerButton(*this, kMessengerId, -167, platform::kVkF1 + 7, u"M", u"Messanger(F8)");
    openIndex_ = AddTextButton(*this, 0, 0, 59, 18, kOpenIndexId, u"Index");
    openIndex_->SetTooltip(u"Open index");
    openIndex_->SetAnchor(gui::AnchorH::Right, -65 + 59, gui::AnchorV::Bottom, -24 + 18);

    net::PlayerRecord* record = &Record();
    gauge_ = Make<hud::ChalkGauge>(Host(), record, Id());
    gauge_->Create(0, 0);
    gauge_->SetAnchor(gui::AnchorH::Left, kChalkGaugeLeft, gui::AnchorV::Bottom, -260 + gauge_->Height());
    help_ = Make<HelpWindow>();
    help_->SetVisible(false);
    index_ = Make<TutorialIndex>(Host());
    gift_ = Make<gui::Dialog>();
    SetUpDialog(*gift_, 500, 300, u"Gift");
    gift_->SetImage(gui::atlas::InSet(gui::atlas::kPanel, 22));
    giftPreview_ = gift_->Make<gui::ItemPreview>(21, 52, 115, 219);
    giftPreview_->SetItem(kGiftCueItem);
    AddTextLine(*gift_, 150, 60, 330, 20, u"A gift from Vudaz: a cue that raises your shot power.");
    AddTextButton(*gift_, 350, 243, 85, 32, TutorialIndex::kCloseId, u"OK", 13);
    gift_->SetVisible(false);
    LayoutChildren(width, height);
}

gui::Button* SceneSchool::Button(std::uint32_t id) const {
    switch (id) {
        case kContinueId:
            return continue_;
        case kPreviousId:
            return previousButton_;
        case kPracticeRoomId:
        case kShopId:
        case kLobbyId:
            return navigation_[id - kPracticeRoomId];
        case kOpenIndexId:
            return openIndex_;
        default:
            return nullptr;
    }
}

int SceneSchool::Load3D(ResourceManager* resources, RenderDevice* renderer) {
    CreateUI();
    AttachSharedWindows(*this, messengerButton_);
    table::TableWorld& world = CreateWorld();
    world.SetGameType(kEightBall);
    world.SetGameItems(kTableItem, kBallSetItem);
    Room().gameType = kEightBall;
    LoadSounds(resources, {kRackSound, kGoalSound}, -1);
    if (LoadTable(resources, renderer, u"cue school", u"Map0002") != 0) return 1;
    // The guide's images; the pages still read without them.
    ResourcePackage* ui = resources->OpenPackage(u"UIEn");
    tutorialImages_ = ui ? ui->FindGroup(u"Tut") : nullptr;
    if (!tutorialImages_) LogWrite(u"ERROR : the group Tut of the cue school is missing\n");
    return 0;
}

void SceneSchool::Enter() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    net::PlayerRecord& record = Record();
    for (int k = 0; k < kGoalLineCount; ++k) goals_[static_cast<std::size_t>(k)]->SetVisible(false);
    savedAbilities_ = record.abilities;
    abilitiesSaved_ = true;
    record.abilities.fill(kSchoolAbility);
    if (!record.GetCurrentItem()) LendChalk();

    std::uint32_t stored = session ? session->schoolProgress : 0;
    if (stored >= static_cast<std::uint32_t>(kLastStep) && session) {
        stored = kLastStep;
        session->SetSchoolProgress(stored, 0);
    }
    {
        platform::ScopedLock lock(pageLock_);
        step_ = (stored < 11 ? kFirstStep : static_cast<int>(stored)) - 1;
        previous_ = step_;
        marks_ = {};
        shots_ = 0;
        lastShotPower_ = 0;
        lastShotTip_ = {};
        goalCount_ = currentGoal_ = lineCount_ = highest_ = 0;
    }

    if (table::TableWorld* world = World()) {
        if (Scene* scene = CurrentEngineScene(Host() ? Host()->EngineScenes() : nullptr))
            world->AttachToScene(*scene);
        world->SetPhysicsModel(kModelId, false);
        world->ResetGame(kResetSeed);
        world->ApplyControlOptions(CurrentOptions());
        world->SetCameraModeFlags(false, false, true, false);
        world->aimDisplay = true;
        world->OnKeyCommand('Z', false);
        world->SetTurnFlag(true);
        world->SetPlayState(table::PlayState::SchoolPage);
        world->trailDisplay = true;
        SetControlMask(control_mask::kNone);
        FitToControls(Width(), Height());
        const int gameType = kEightBall;
        const net::GameTypeEquipment& equipment = record.equipment[static_cast<std::size_t>(gameType)];
        const net::ItemEntry* cue = record.FindItem(equipment.cueSerial);
        std::array<std::int32_t, 5> parts = kNoParts;
        std::uint16_t cueItem = equipment.cueId;
        if (cue && cue->IsPersonalCue()) {
            cueItem = static_cast<std::uint16_t>(cue->itemId);
            for (std::size_t i = 0; i < parts.size(); ++i) parts[i] = cue->parts[i];
        }
        cueObject_ = world->AcquireCueObject(cueItem, parts);
        world->SetShooter(cueObject_);
    }
    openIndex_->SetVisible(false);
    navigation_[0]->SetVisible(false);
    clickToTry_->SetVisible(false);
    stepStrip_->SetVisible(false);
    continue_->SetVisible(true);
    gauge_->Reset();
    gauge_->UpdateDisplay();
    // The school keeps one warm evening light: lamps on, a faint far fog, no daylight fade.
    GetTimeOfDay().SetFixed(kSchoolLighting);
    SetupSceneLights(CurrentEngineScene(Host() ? Host()->EngineScenes() : nullptr));
    SchoolStep(+1);
    index_->Open();
    FrameSchoolTopView();
    SetActive(true);
}

void SceneSchool::LendChalk() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    net::ItemEntry* chalk = session ? session->AllocItemEntry() : nullptr;
    if (!chalk) return;
    FillChalk(*chalk, kLoanChalkItem, kLoanChalkUses);
    // A record that already holds the serial keeps its own entry: no loan rather than a duplicate.
    if (!Record().AddItem(kLoanChalkSerial, chalk)) {
        session->FreeItemEntry(chalk);
        return;
    }
    Record().SelectItem(kLoanChalkSerial);
    loanChalk_ = chalk;
}

void SceneSchool::ReturnChalk() {
    if (!loanChalk_) return;
    net::PlayerRecord& record = Record();
    // The loan goes by identity, and the selection does not outlive it.
    if (record.GetCurrentItem() == loanChalk_) record.SelectItem(0);
    record.RemoveItemEntry(loanChalk_);
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
        session->FreeItemEntry(loanChalk_);
    loanChalk_ = nullptr;
}

bool SceneSchool::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    ReturnChalk();
    TableScene::Leave(resources, engineScenes);
    StopMusic();
    DestroyWorld(cueObject_);
    gauge_->ReleasePreview();
    giftPreview_->ReleaseModel();
    if (abilitiesSaved_) Record().abilities = savedAbilities_;
    abilitiesSaved_ = false;
    return true;
}

void SceneSchool::SetAimDisplay(bool on) {
    if (table::TableWorld* world = World()) {
        world->aimDisplay = on;
        world->OnKeyCommand('Z', false);
    }
}

void SceneSchool::SetControlMask(std::uint32_t mask) {
    table::TableWorld* world = World();
    if (!world || world->controlMask == mask) return;
    world->controlMask = mask;
    // A drag or key held under the old mask ends here: its release may no longer reach the table.
    world->ReleaseHeldKeys();
}

void SceneSchool::ClearPage() {
    for (gui::TextLabel* line : lines_) {
        line->SetPlainText({});
        line->SetVisible(false);
    }
    for (gui::TextLabel* goal : goals_) {
        goal->SetPlainText({});
        goal->SetVisible(false);
    }
    goalHeader_->SetVisible(false);
    lineCount_ = 0;
}

void SceneSchool::AddGoal(const WString& text) {
    if (goalCount_ >= kGoalLineCount) return;
    goals_[static_cast<std::size_t>(goalCount_)]->SetPlainText(text);
    goalCount_ = std::min(goalCount_ + 1, kGoalLineCount);
}

void SceneSchool::ShowPage(const Page& page) {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    const WString nickname = Record().nickname;
    const bool rewardedBefore = session && session->basicCourseRewards > 0;
    title_->SetPlainText(PageTitle(page, nickname));
    title_->SetVisible(true);
    for (const ShownLine& line : PageLines(page, nickname, rewardedBefore)) {
        if (lineCount_ >= kLineCount) break;
        gui::TextLabel* label = lines_[static_cast<std::size_t>(lineCount_++)];
        // Page texts are shown as written: a "%" in them is a percent sign, not a format.
        label->SetPlainText(line.text);
        label->SetColors(line.colour, 0xFF000000u);
        label->SetVisible(true);
    }
    for (int g = 0; g < school::GoalCount(page); ++g) AddGoal(page.goals[static_cast<std::size_t>(g)]);
    FrameSchoolTopView();
    if (page.step == 1) IntroCamera();
    if (page.step == 11) SetControlMask(control_mask::kWithSpace);
    if (page.step == kCourseEndStep) CourseEnd();
}

void SceneSchool::CourseEnd() {
    for (gui::Button* b : navigation_) b->Show(true);
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (session && session->basicCourseRewards == 0) {
        if (OptionsStore* store = Host()->UserOptions()) {
            Options options = store->Get();
            options.serverMode = 1;
            options.modeChosen = 1;
            store->Set(options);
        }
        Host()->SendServerOptions();
        gift_->CenterOnScreen();
        gift_->Show(true);
        // The gift covers the pointer: the widget under it (Continue, clicked to get here) drops its
        // hover and tooltip.
        if (gui::Widget* hovered = gui::GetGuiState().hot) hovered->ReleaseFocus();
    }
    if (Host()) Host()->SendByteMessage(kCourseEndMessage, 0);
    // The counter stops at its top instead of wrapping back to the first-visit reward.
    if (session && session->basicCourseRewards < 0xFF) ++session->basicCourseRewards;
}

void SceneSchool::IntroCamera() {
    table::TableWorld* world = World();
    if (!world) return;
    // A close, level view over the table centre with a fixed field of view.
    world->SetCameraDistanceFov(10.0f, 30.0f, 1000.0f, 30.0f);
    world->SetCameraMinDistance(10.0f);
    table::CameraView view = world->GetCameraRig().View();
    view.yaw = 0;
    view.pitch = kViewPitch;
    view.distance = 50;
    world->SetCameraView(view, Vector3f{});
    world->RackBalls();
    world->SnapshotBalls();
    world->SetSceneVisible(false);
    SetControlMask(control_mask::kNone);
}

// The practice view: the field of view narrows as the camera comes close, which never comes nearer
// than 130 cm; the camera backs out to 300 cm over 2 s.
void SceneSchool::PracticeCamera() {
    table::TableWorld* world = World();
    if (!world) return;
    world->SetCameraDistanceFov(100.0f, 20.0f, 520.0f, 50.0f);
    world->SetCameraMinDistance(130.0f);
    world->MoveCamera(2.0f, kPracticeDistance, table::kKeepValue);
}

void SceneSchool::CameraBehindCueBall(float seconds) {
    table::TableWorld* world = World();
    if (!world) return;
    world->SetTopView(false);
    // The pitch at once, then one move for the rest: a second move would start from where this stands.
    world->MoveCamera(0.0f, table::kKeepValue, kViewPitch);
    world->TurnCameraToCueLine(kPracticeDistance, seconds, false, true);
    // The rest of the drag or scroll that met a goal does not undo the return.
    world->HoldCameraInput();
    JournalFreeTableReady();
}

void SceneSchool::JumpCamera() {
    table::TableWorld* world = World();
    if (!world) return;
    PracticeCamera();
    world->SetSceneVisible(true);
    SetAimDisplay(true);
}

void SceneSchool::HighlightControlStep(int index) {
    for (int k = 0; k < 4; ++k) stepLabels_[static_cast<std::size_t>(k)]->SetAlpha(k == index ? 1.0f : 0.5f);
}

void SceneSchool::ColourGoals() {
    for (int k = 0; k < kGoalLineCount; ++k)
        goals_[static_cast<std::size_t>(k)]->SetColors(k == currentGoal_ ? kGoalCurrent : kGoalDone,
                                                       0xFF000000u);
}

void SceneSchool::SchoolStep(int delta) {
    platform::ScopedLock lock(pageLock_);
    ClearPage();
    SetAimDisplay(false);
    if (table::TableWorld* world = World()) world->SetTurnFlag(false);
    practising_ = false;
    goalCount_ = 0;
    highest_ = std::max(highest_, step_);
    step_ = NextShownStep(step_, delta);
    currentGoal_ = 0;
    for (gui::Button* b : navigation_) b->Show(false);
    const Page* page = FindPage(step_);
    if (page) ShowPage(*page);
    index_->SelectStep(step_);
    if (previous_ <= kLastOrbitStep && step_ > kLastBasicStep) JumpCamera();
    previous_ = step_;
    if (step_ < 9) HighlightControlStep(step_ <= 4 ? 0 : step_ <= 6 ? 1 : step_ == 7 ? 2 : 3);
    continue_->Show(step_ < kLastStep);
    if (step_ >= kLastStep)
        if (table::TableWorld* world = World()) world->trailDisplay = true;
    clickToTry_->SetVisible(goalCount_ > 0);
    previousButton_->Show(step_ != kFirstStep);
    stepStrip_->SetVisible(step_ >= 3 && step_ <= 8);
    gauge_->Show(step_ > 8);
    shotPicture_->SetVisible(step_ == 5);
    ColourGoals();
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (session && static_cast<std::uint32_t>(step_) > session->schoolProgress) {
        session->SetSchoolProgress(static_cast<std::uint32_t>(step_), 0);
        index_->Refresh();
        if (step_ < kLastStep) SendStepMessage(kStepReachedMessage, static_cast<std::uint32_t>(step_));
    }
}

void SceneSchool::StartPractice() {
    platform::ScopedLock lock(pageLock_);
    for (int k = 0; k < goalCount_; ++k) goals_[static_cast<std::size_t>(k)]->SetVisible(true);
    goalHeader_->SetVisible(true);
    clickToTry_->SetVisible(false);
    practising_ = true;
    // Only the shots of this exercise count (a shot struck on an earlier page ticks nothing here).
    shots_ = 0;
    lastShotTip_ = {};
    continue_->Show(false);
    // The arrow goes from under the pointer that clicked it, which stays on the guide's panel: its way
    // down onto the table comes off a panel, and turns no aim until it rests there.
    const gui::GuiState& pointer = gui::GetGuiState();
    if (!pointer.hot)
        gui::WidgetRouter::SetHot(gui::WidgetRouter::HitWidget(*this, pointer.mouseX, pointer.mouseY, false));
    table::TableWorld* world = World();
    if (world) {
        goalAimYaw_ = world->Aim().YawDegrees();
        SetAimDisplay(true);
        world->RetargetCameraOnCurrentBall();
        world->SetTurnFlag(true);
        world->SetSceneVisible(true);
        if (step_ == 4)
            PracticeCamera();
        else
            CameraBehindCueBall(kCameraBackSeconds);
        if (step_ == 50 || step_ == 51) world->ApplyControlOptions(CurrentOptions());
    }
    std::uint32_t mask = 0;
    if (PracticeControlMask(step_, mask)) SetControlMask(mask);
}

school::GoalInputs SceneSchool::ReadGoalInputs() const {
    GoalInputs in;
    in.shots = shots_;
    in.lastShotPower = lastShotPower_;
    table::TableWorld* world = World();
    if (!world) return in;
    table::CameraRig& rig = world->GetCameraRig();
    in.yawDegrees = rig.GetYawDegrees();
    in.pitchDegrees = rig.GetPitchDegrees();
    in.cameraDistance = rig.View().distance;
    in.aimYawDegrees = world->Aim().YawDegrees();
    in.aimTurned = in.aimYawDegrees != goalAimYaw_;
    for (std::size_t i = 0; i < world->BallCount(); ++i) {
        std::array<float, 3> p{};
        world->BallPosition(i, p[0], p[1], p[2]);
        in.balls.push_back(p);
    }
    in.tipSide = world->Aim().TipSide();
    in.tipVertical = world->Aim().TipVertical();
    in.elevationDegrees = world->Aim().ElevationDegrees();
    in.shotRunning = world->ShotExecuting();
    in.lastShotTipSide = lastShotTip_[0];
    in.lastShotTipVertical = lastShotTip_[1];
    return in;
}

void SceneSchool::CheckStepGoals() {
    if (!practising_ || currentGoal_ >= goalCount_) return;
    if (GoalHolds(step_, currentGoal_, ReadGoalInputs(), marks_)) CompleteGoal();
}

void SceneSchool::CompleteGoal() {
    if (SoundManager* sound = Host() ? Host()->Sound() : nullptr) sound->Play(kGoalSound, 1.0f);
    const int allGoals = goalCount_;
    currentGoal_ = std::min(currentGoal_ + 1, goalCount_);
    shots_ = 0;
    SetAimDisplay(true);
    if (table::TableWorld* world = World()) {
        world->SetSceneVisible(true);
        goalAimYaw_ = world->Aim().YawDegrees();
        // The next goal starts from the usual view, whatever this one asked of the camera.
        CameraBehindCueBall(kCameraBackSeconds);
    }
    ColourGoals();
    if (currentGoal_ == allGoals) {
        continue_->Show(true);
        AddGoal(kAllGoalsDone);
        goals_[static_cast<std::size_t>(goalCount_ - 1)]->SetVisible(true);
    }
}

void SceneSchool::Update(std::uint64_t nowMs, std::uint64_t time100us) {
    const std::uint32_t t = ++tick_;
    const bool blinkOn = t % kBlinkPeriod < kBlinkOn;
    continue_->SetAlpha(blinkOn ? 1.0f : 0.2f);
    TableScene::Update(nowMs, time100us);
    platform::ScopedLock lock(pageLock_);
    if (step_ <= kLastOrbitStep && World()) World()->RotateCamera(kOrbitDegreesPerTick, 0.0f);
    if (!practising_) return;
    for (int k = 0; k < goalCount_; ++k)
        goals_[static_cast<std::size_t>(k)]->SetVisible(k != currentGoal_ || blinkOn);
    CheckStepGoals();
}

void SceneSchool::BallsAtRest() {
    if (table::TableWorld* world = World()) {
        if (world->GameType() >= table::kFirstPocketGameType) world->Rerack(RandomSeed(), true);
        // The pages do not teach the ball in hand: a scratched cue ball waits on the head spot.
        GiveCueBack(false);
    }
    platform::ScopedLock lock(pageLock_);
    ++shots_;
}

void SceneSchool::Render(RenderDevice* renderer, bool draw) {
    if (!draw || !World()) return;
    gauge_->BuildPreview(renderer);
    if (gift_->IsVisible()) giftPreview_->BuildModel(renderer);
    RenderTable(renderer);
}

bool SceneSchool::PollKeyboard() {
    platform::KeyboardState* keys = Host() ? Host()->Keyboard() : nullptr;
    if (World() && keys) World()->PollKeyboard(*keys);
    return true;
}

void SceneSchool::Resize(int width, int height) {
    TableScene::Resize(width, height);
    FitToControls(width, height);
    if (index_)
        index_->MoveTo(width - TutorialIndex::kWidth - TutorialIndex::kRightMargin,
                       height - TutorialIndex::kHeight - TutorialIndex::kBottomMargin);
    FrameSchoolTopView();
}

void SceneSchool::FitToControls(int width, int height) {
    table::TableWorld* world = World();
    if (!world || !panel_) return;
    // The tutorial index keeps the lower right corner: the shot controls stand above it. On a client
    // lower than 768 pixels they rise under the guide's panel; there they come down below it when they
    // still fit above the index (1280 x 720).
    world->SetHudTopFromBottom(kHudTopFromBottom);
    const table::ControlRect area = world->ControlArea();
    const int belowPanel = height - (panel_->Y() + panel_->Height() + kControlsGap);
    const int aboveIndex = TutorialIndex::kHeight + TutorialIndex::kBottomMargin + kControlsGap;
    if (belowPanel < kHudTopFromBottom && belowPanel - (area.bottom - area.top) >= aboveIndex)
        world->SetHudTopFromBottom(belowPanel);
    world->LayoutHud(width, height);
    const table::ControlRect controls = world->ControlArea();
    const int buttonWidth = navigation_.front()->Width();
    const int top = navigation_.front()->Y(), bottom = navigation_.back()->Y() + navigation_.back()->Height();
    int right = width - kNavigationRight + buttonWidth;
    if (top < controls.bottom + kControlsGap && bottom + kControlsGap > controls.top &&
        right - buttonWidth < controls.right + kControlsGap && right + kControlsGap > controls.left)
        right = controls.left - kControlsGap;
    for (gui::Button* b : navigation_) b->MoveTo(right - b->Width(), b->Y());
}

void SceneSchool::FrameSchoolTopView() {
    table::TableWorld* world = World();
    if (!world || !panel_) return;
    const int width = Host() ? Host()->ClientWidth() : Width();
    // Below the guide's panel and the page's goal lines, the line that says all are done included.
    int top = panel_->Y() + panel_->Height();
    if (goalCount_ > 0) {
        const gui::TextLabel* last =
            goals_[static_cast<std::size_t>(std::min(goalCount_, kGoalLineCount - 1))];
        top = std::max(top, last->Y() + last->Height());
    }
    top += kTopViewGap;
    const int controls = width - world->ControlArea().left;
    const int index = index_->IsVisible()
                          ? TutorialIndex::kTabsLeft + TutorialIndex::kWidth + TutorialIndex::kRightMargin
                          : 0;
    world->SetTopViewInsets(kChalkGaugeColumn, top, std::max(controls, index) + kTopViewGap, kTopViewGap);
}

void SceneSchool::SendStepMessage(std::uint16_t id, std::uint32_t value) {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session || !session->IsConnected()) return;
    net::PooledPacket p = session->NewPacket(id);
    if (!p) return;
    p->WriteU32(value).WriteU8(0);
    session->Send(*p);
}

void SceneSchool::SendProgress() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    std::uint32_t progress = 0;
    {
        platform::ScopedLock lock(pageLock_);
        progress = static_cast<std::uint32_t>(std::max({step_, highest_, 0}));
    }
    if (session) {
        progress = std::max(progress, session->schoolProgress);
        session->SetSchoolProgress(progress, 0);
    }
    SendStepMessage(kSchoolLeftMessage, progress);
}

void SceneSchool::LeaveTo(int scene) {
    SendProgress();
    RequestScene(scene);
}

bool SceneSchool::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    switch (event.id) {
        case kToLobbyId:
        case kLobbyId:
            LeaveTo(scene_id::kLobby);
            return true;
        case kSettingsId:
            OpenOptionDialog(Host() ? Host()->GetOptionDialog() : nullptr);
            return true;
        case kHelpId:
            help_->Open(HelpWindow::kRules, 0);
            return true;
        case kMyInfoId:
            if (Host() && Host()->GetMyInfoWindow()) Host()->GetMyInfoWindow()->Show(true);
            return true;
        case kMessengerId:
            if (gui::Dialog* m = Host() ? Host()->GetMessenger() : nullptr) m->Show(!m->IsVisible());
            return true;
        case kPreviousId:
            SchoolStep(-1);
            return true;
        case kContinueId: {
            bool start = false;
            {
                platform::ScopedLock lock(pageLock_);
                start = goalCount_ > 0 && !practising_;
            }
            if (start)
                StartPractice();
            else
                SchoolStep(+1);
            return true;
        }
        case kPracticeRoomId:
            if (session) {
                session->GetRoom().gameType = kEightBall;
                session->lobbyAction = {};
                session->lobbyAction.active = 1;
                session->lobbyAction.target = net::kLobbyTargetPractice;
                session->lobbyAction.gameTypeOverride = 0;
            }
            LeaveTo(scene_id::kLobby);
            return true;
        case kShopId:
            if (session) {
                session->lobbyAction = {};
                session->lobbyAction.active = 1;
                session->lobbyAction.target = net::kLobbyTargetShop;
            }
            LeaveTo(scene_id::kLobby);
            return true;
        case kOpenIndexId:
            openIndex_->Show(false);
            index_->Open();
            FrameSchoolTopView();
            return true;
        case TutorialIndex::kCloseId:
            gift_->Show(false);
            return true;
        default:
            return false;
    }
}

bool SceneSchool::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    // The table takes only the controls the lessons have opened so far.
    const bool used =
        (!World() || TableTakesMessage(World()->controlMask, code)) && OfferWindowMessage(code, a, b);
    tableWorldUnhandled = !used;
    table::TableWorld* world = World();
    switch (code) {
        case kMouseLeftDown:
        case kMouseRightDown:
            if (Host())
                if (auto* m = dynamic_cast<Messenger*>(Host()->GetMessenger())) m->ReleaseChatFocus();
            return used;
        case kOptionsChanged:
            if (world) world->ApplyControlOptions(CurrentOptions());
            return true;
        case school_message::kTopicChosen:
            if (world) world->StopShotInProgress();
            {
                platform::ScopedLock lock(pageLock_);
                step_ = std::clamp(static_cast<int>(a), kFirstStep, kLastStep) - 1;
            }
            SchoolStep(+1);
            return true;
        case school_message::kIndexHidden:
            openIndex_->Show(true);
            FrameSchoolTopView();
            return true;
        case kGoToLobby:
            LeaveTo(scene_id::kLobby);
            return true;
        case static_cast<std::uint32_t>(hud::HudMessage::ChalkApplied):
            if (world) {
                world->chalkValue = static_cast<float>(gauge_->Level()) / hud::ChalkGauge::kFullLevel;
                world->UpdateGuideObject();
            }
            gauge_->Refresh();
            return true;
        case kChalkChanged:
            gauge_->Refresh();
            return true;
        case static_cast<std::uint32_t>(table::WorldMessage::CueStruck): {
            platform::ScopedLock lock(pageLock_);
            lastShotPower_ = static_cast<float>(static_cast<std::uint32_t>(a)) / 100.0f;
            // The aim holds still while the shot runs: its tip is the one struck with.
            if (world) lastShotTip_ = {world->Aim().TipSide(), world->Aim().TipVertical()};
            gauge_->Consume(static_cast<int>(b));
            gauge_->Refresh();
            return true;
        }
        case static_cast<std::uint32_t>(table::WorldMessage::ShotAtRest):
            BallsAtRest();
            return true;
        default:
            return used;
    }
}

}  // namespace scenes

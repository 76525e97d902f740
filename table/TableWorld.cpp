// The world's set-up: game type, items, physics model, racks, play state, ball in hand.
#include "table/TableWorld.h"

#include <cmath>
#include <cstring>

#include "engine/core/Log.h"
#include "physics/PhysicsEntry.h"
#include "table/BallPlaces.h"
#include "table/TableView.h"

namespace table {

namespace {

float FloatOfBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace

TableWorld::TableWorld() : view_(std::make_unique<TableView>(*this)) {
    controls_.SetViewport(viewportWidth_, viewportHeight_);
    ApplyItems();
}

TableWorld::~TableWorld() = default;

void TableWorld::SetMessageSink(MessageSink sink) {
    platform::ScopedLock guard(lock_);
    messageSink_ = std::move(sink);
}

void TableWorld::SetShotSender(ShotSender sender) {
    platform::ScopedLock guard(lock_);
    shotSender_ = std::move(sender);
}

void TableWorld::SetSoundSink(SoundSink sink) {
    platform::ScopedLock guard(lock_);
    soundSink_ = std::move(sink);
}

void TableWorld::Post(WorldMessage code, std::uint32_t a, std::uint32_t b) {
    if (messageSink_) messageSink_(code, a, b);
}

bool TableWorld::SetGameType(std::int32_t gameType) {
    platform::ScopedLock guard(lock_);
    if (gameType < 0 || gameType >= kGameTypeCount || shotExecuting_) return false;
    if (!rules_.SetGameType(gameType)) return false;
    gameType_ = gameType;
    ApplyItems();
    return true;
}

void TableWorld::SetGameItems(std::uint16_t tableItem, std::uint16_t ballSetItem) {
    platform::ScopedLock guard(lock_);
    if (shotExecuting_) return;
    tableItem_ = tableItem;
    ballSetItem_ = ballSetItem;
    ApplyItems();
}

// Resolves the items against the game type and hands the table type to the rules; the model is
// made again when the table type changed.
void TableWorld::ApplyItems() {
    const GameTypeItems items = ResolveGameItems(gameType_, tableItem_, ballSetItem_);
    tableItem_ = items.tableItem;
    ballSetItem_ = items.ballSetItem;
    const std::uint32_t tableType = TableTypeOfGame(gameType_, tableItem_);
    if (tableType != rules_.TableKind()) {
        rules_.SetTableKind(tableType);
        if (rules_.Model()) rules_.CreateModel(modelId_, noCache_);
    }
    if (rules_.Model()) clearance_ = MakeClearanceTable(rules_.Model()->Table());
    // The views frame the whole table, rails included.
    if (rules_.Model())
        camera_.SetTableSize(std::abs(rules_.Model()->Geometry().frame.xMax.Value()),
                             std::abs(rules_.Model()->Geometry().frame.yMax.Value()));
    if (view_) view_->ItemsChanged();
}

bool TableWorld::SetPhysicsModel(std::uint32_t modelId, bool noCache) {
    platform::ScopedLock guard(lock_);
    if (shotExecuting_) return false;
    if (!rules_.CreateModel(modelId, noCache)) return false;
    modelId_ = rules_.Model()->ModelId();
    noCache_ = noCache;
    ApplyItems();
    return true;
}

void TableWorld::ApplyOptions(const Options& o) {
    platform::ScopedLock guard(lock_);
    options_.tableEffect = o.tableEffect != 0;
    options_.environmentEffect = o.environmentEffect != 0;
    options_.traceAll = o.traceAll != 0;
}

void TableWorld::ApplyControlOptions(const Options& o) {
    platform::ScopedLock guard(lock_);
    CameraOptions c;
    c.cameraMode = o.cameraMode;
    c.shotZoom = o.shotZoom != 0;
    c.turnZoom = o.turnZoom != 0;
    c.horizontalSensitivity = static_cast<float>(o.horizontalSensitive) / 100.0f;
    c.verticalSensitivity = static_cast<float>(o.verticalSensitive) / 100.0f;
    c.shotSensitivity = static_cast<float>(o.shotSensitive) / 100.0f;
    c.horizontalInverse = o.horizontalInverse != 0;
    c.verticalInverse = o.verticalInverse != 0;
    camera_.ApplyOptions(c);
    controls_.SetShotSensitivity(c.shotSensitivity);
    mouseFix_ = o.mouseFix != 0;
    serverModeOne_ = o.serverMode == 1;
}

void TableWorld::ResetGame(std::uint32_t seed) {
    platform::ScopedLock guard(lock_);
    StopShotInProgress();
    controls_.ReleaseHeldKeys(aim_);
    shotStartPending_ = false;
    ownCueStruck_ = false;
    turnFlag_ = false;
    placedBall_ = kNoPlacedBall;
    ballInHandMode = 0;
    ClearPocketCall();
    shotStateBlock_.fill(0);
    StartNewRack(seed);
}

void TableWorld::StartNewRack(std::uint32_t seed) {
    platform::ScopedLock guard(lock_);
    StopShotInProgress();
    rules_.SeedRandom(seed);
    RackBalls();
    playState_ = PlayState::NewRack;
    camera_.SetSetUpFlag(true);
}

void TableWorld::RackBalls() {
    platform::ScopedLock guard(lock_);
    if (shotExecuting_) return;
    rules_.RackBalls();
    DropCarry();
    currentBall_ = 0;
    for (auto& trail : trails_) trail.clear();
    MakeDefaultShot();
    UpdateAimObjects();
}

void TableWorld::Rerack(std::uint32_t seed, bool force, bool withSound) {
    platform::ScopedLock guard(lock_);
    if (shotExecuting_ || !rules_.Rerack(seed, force, static_cast<int>(playState_))) return;
    for (auto& trail : trails_) trail.clear();
    for (const SoundRequest& sound : rules_.TakeSoundRequests())
        if (soundSink_ && withSound) soundSink_(sound.id, sound.volume);
}

bool TableWorld::BallsFitTable(std::uint16_t tableItem) {
    platform::ScopedLock guard(lock_);
    const TableItemEntry* entry = FindTableItem(tableItem);
    if (!entry || !rules_.Model()) return false;
    physics::TableGeometry geometry{};
    physics::BuildTableGeometry(entry->tableType, geometry);
    physics::PhysicsEntry physicsEntry;
    for (std::uint16_t i = 0; i < BallCount(); ++i) {
        const physics::Ball& ball = rules_.GetBall(i);
        if (ball.outOfPlay) continue;
        if (!physics::IsBallInsideCushions(ball, geometry, physics::F32(0.0f))) return false;
    }
    return true;
}

std::uint16_t TableWorld::BallCount() const {
    platform::ScopedLock guard(lock_);
    return rules_.Model() ? rules_.BallCount() : 0;
}

bool TableWorld::BallPosition(std::size_t i, float& x, float& y, float& z) const {
    platform::ScopedLock guard(lock_);
    if (i >= BallCount()) return false;
    const physics::Ball& ball = rules_.GetBall(i);
    x = ball.position.x.Value();
    y = ball.position.y.Value();
    z = ball.position.z.Value();
    return true;
}

bool TableWorld::BallOutOfPlay(std::size_t i) const {
    platform::ScopedLock guard(lock_);
    return i >= BallCount() || rules_.GetBall(i).outOfPlay != 0;
}

physics::Vector3 TableWorld::CueBallPosition() const {
    if (static_cast<std::size_t>(currentBall_) >= BallCount()) return {};
    return rules_.GetBall(static_cast<std::size_t>(currentBall_)).position;
}

int TableWorld::LoadModels(RenderDevice& device, ResourceManager& resources) {
    platform::ScopedLock guard(lock_);
    return view_->LoadModels(device, resources);
}

void TableWorld::AttachToScene(Scene& scene) {
    platform::ScopedLock guard(lock_);
    view_->AttachToScene(scene);
    camera_.SetSetUpFlag(true);
}

void TableWorld::ProcessViewEvents() {
    view_->ProcessViewEvents();
}

void TableWorld::Render(RenderDevice& device) {
    view_->Render(device);
}

void TableWorld::RenderBalls(RenderDevice& device) {
    view_->RenderBalls(device);
}

void TableWorld::RenderMiniView(RenderDevice& device) {
    view_->RenderOwnView(device);
}

void TableWorld::DrawHud(RenderDevice& device) {
    view_->DrawHud(device);
}

void TableWorld::SetPlayState(PlayState state) {
    platform::ScopedLock guard(lock_);
    // A ball moved freely is free practice's alone: it stays where it was last put.
    if (state != PlayState::FreePractice && carriedFreely_) DropCarry();
    playState_ = state;
}

void TableWorld::SetCurrentBall(std::int32_t ball) {
    platform::ScopedLock guard(lock_);
    if (ball < 0 || ball >= BallCount()) return;
    currentBall_ = ball;
    UpdateAimObjects();
}

void TableWorld::SetCurrentPlayer(std::int32_t index, bool noCamera) {
    platform::ScopedLock guard(lock_);
    currentPlayer_ = index;
    if (index == 0 && !noCamera && !camera_.InTopView()) {
        const physics::Vector3 p = CueBallPosition();
        camera_.TurnCameraToCueLine({p.x.Value(), p.y.Value(), p.z.Value()}, aim_.YawDegrees(), 0.0f,
                                    kKeepValue, kFollowSeconds, false, false);
    }
}

void TableWorld::SetShooter(CueObject* cue) {
    platform::ScopedLock guard(lock_);
    const std::uint8_t before = shooter_ ? shooter_->model : 0;
    shooter_ = cue;
    if ((cue ? cue->model : 0) != before) view_->ItemsChanged();
}

void TableWorld::DestroyBallObjects() {
    platform::ScopedLock guard(lock_);
    view_->ItemsChanged();
}

void TableWorld::ReleaseLoadedResources() {
    platform::ScopedLock guard(lock_);
    view_->Release();
}

void TableWorld::SetTimeScale(float scale) {
    platform::ScopedLock guard(lock_);
    // Only the three speeds of the replay views; anything else runs at normal speed.
    if (scale != kTimeScaleHalf && scale != kTimeScaleQuarter) scale = kTimeScaleNormal;
    timeScale_ = scale;
    rules_.SetSpeedFactor(scale);
}

void TableWorld::SetSceneVisible(bool visible) {
    platform::ScopedLock guard(lock_);
    sceneVisible_ = visible;
}

void TableWorld::ClearBallInHand() {
    platform::ScopedLock guard(lock_);
    ballInHandMode = 0;
    placedBall_ = kNoPlacedBall;
    // A ball carried when placing ends is set down: the next ball in hand waits for its own press.
    DropCarry();
}

void TableWorld::BeginBallInHand(std::int32_t ball) {
    platform::ScopedLock guard(lock_);
    if (ball < 0 || ball >= BallCount() || shotExecuting_) return;
    ballInHandMode = 1;
    placedBall_ = ball;
}

bool TableWorld::PlaceBall(std::int32_t ball, std::uint32_t xBits, std::uint32_t yBits, std::uint32_t zBits) {
    return PlaceBallAt(ball, FloatOfBits(xBits), FloatOfBits(yBits), FloatOfBits(zBits));
}

bool TableWorld::PlaceBallAt(std::int32_t ball, float x, float y, float z) {
    platform::ScopedLock guard(lock_);
    if (!PutBall(ball, x, y, z)) return false;
    if (ball == currentBall_ && !camera_.InTopView())
        camera_.TurnCameraToCueLine({x, y, z}, aim_.YawDegrees(), 0.0f, kKeepValue, kFollowSeconds, false,
                                    false);
    return true;
}

bool TableWorld::PutBall(std::int32_t ball, float x, float y, float z) {
    if (ball < 0 || ball >= BallCount() || shotExecuting_) return false;
    if (!BallPlaceProblem(rules_.TableKind(), ball, true, x, y, z).empty()) return false;
    physics::Ball& b = rules_.GetBall(static_cast<std::size_t>(ball));
    const physics::Vector3 before = b.position;
    const std::uint8_t outBefore = b.outOfPlay;
    b.position = {physics::F32(x), physics::F32(y), physics::F32(z)};
    b.outOfPlay = 0;
    if (!b.IsInsideCushions(physics::F32(0.0f)) || !rules_.IsSpotFree(static_cast<std::size_t>(ball), x, y)) {
        b.position = before;
        b.outOfPlay = outBefore;
        return false;
    }
    b.ResetMotion();
    // Any ball moved may stand in the cue's way or leave it.
    UpdateAimObjects();
    return true;
}

void TableWorld::RespotCueBall() {
    platform::ScopedLock guard(lock_);
    if (shotExecuting_ || !rules_.Model() || BallCount() == 0) return;
    // The head spot, a quarter of the table from the head cushion; moved across the table until free.
    rules_.PlaceNearSpot(static_cast<std::size_t>(currentBall_),
                         rules_.Model()->Geometry().cushion.xMin.Value() * 0.5f, 0.0f);
    UpdateAimObjects();
}

bool TableWorld::RespotCueBallIfOutOfPlay() {
    platform::ScopedLock guard(lock_);
    if (gameType_ < kFirstPocketGameType || shotExecuting_ || currentBall_ < 0 ||
        currentBall_ >= BallCount() || !rules_.GetBall(static_cast<std::size_t>(currentBall_)).outOfPlay)
        return false;
    RespotCueBall();
    return !rules_.GetBall(static_cast<std::size_t>(currentBall_)).outOfPlay;
}

void TableWorld::ClearPocketCall() {
    platform::ScopedLock guard(lock_);
    pocketCallPending_ = false;
    calledPocket_ = kNoPocket;
}

bool TableWorld::SetCalledPocket(std::uint8_t pocket) {
    platform::ScopedLock guard(lock_);
    if (pocket != kNoPocket && (pocket < 1 || pocket > 6)) return false;
    calledPocket_ = pocket;
    pocketCallPending_ = false;
    return true;
}

void TableWorld::MoveCamera(float seconds, float distance, float pitch) {
    platform::ScopedLock guard(lock_);
    // The top view frames the table by itself: a scene's move would tilt it.
    if (camera_.InTopView()) return;
    camera_.MoveCamera(seconds, distance, pitch);
}

void TableWorld::ResetCamera() {
    platform::ScopedLock guard(lock_);
    SetTopView(false);
    camera_.ResetView();
}

void TableWorld::ReturnCameraBehindCue(float seconds) {
    platform::ScopedLock guard(lock_);
    const physics::Vector3 p = CueBallPosition();
    camera_.ReturnBehindCue({p.x.Value(), p.y.Value(), p.z.Value()}, aim_.YawDegrees(), seconds);
}

void TableWorld::CenterCamera(float seconds) {
    platform::ScopedLock guard(lock_);
    // The top view frames the table by itself.
    if (camera_.InTopView()) return;
    camera_.SetTargetFocus({0, 0, 0});
    camera_.BeginMove(static_cast<int>(seconds * kTicksPerSecond));
}

void TableWorld::RetargetCameraOnCurrentBall() {
    platform::ScopedLock guard(lock_);
    if (camera_.InTopView()) return;
    const physics::Vector3 p = CueBallPosition();
    camera_.SetTargetFocus({p.x.Value(), p.y.Value(), p.z.Value()});
    camera_.BeginMove(static_cast<int>(kFollowSeconds * kTicksPerSecond));
}

void TableWorld::SetCameraDistanceFov(float distance0, float fov0Degrees, float distance1,
                                      float fov1Degrees) {
    platform::ScopedLock guard(lock_);
    camera_.SetDistanceFov(distance0, fov0Degrees, distance1, fov1Degrees);
}

void TableWorld::SetCameraMinDistance(float distance) {
    platform::ScopedLock guard(lock_);
    camera_.SetMinDistance(distance);
}

void TableWorld::RotateCamera(float yawDegrees, float pitchDegrees) {
    platform::ScopedLock guard(lock_);
    camera_.Rotate(yawDegrees, pitchDegrees);
}

void TableWorld::TurnCameraToHeading(float yawDegrees) {
    platform::ScopedLock guard(lock_);
    camera_.TurnToHeading(yawDegrees);
}

void TableWorld::LoadConsumable(std::uint64_t serial, std::int32_t count) {
    platform::ScopedLock guard(lock_);
    consumableSerial_ = count < 0 ? 0 : serial;
    consumableLeft_ = count < 0 ? -1 : count;
}

bool TableWorld::UseConsumable() {
    platform::ScopedLock guard(lock_);
    if (consumableLeft_ <= 0) return false;
    --consumableLeft_;
    return true;
}

std::uint64_t TableWorld::ConsumableSerial() const {
    platform::ScopedLock guard(lock_);
    return consumableSerial_;
}

std::int32_t TableWorld::ConsumableLeft() const {
    platform::ScopedLock guard(lock_);
    return consumableLeft_;
}

void TableWorld::SetCameraView(const CameraView& view, const Vector3f& focus) {
    platform::ScopedLock guard(lock_);
    camera_.SetView(view, focus);
}

float TableWorld::FieldOfView() const {
    platform::ScopedLock guard(lock_);
    return camera_.FieldOfViewDegrees() * kViewFieldOfView / CameraRig::kDefaultFovDegrees;
}

void TableWorld::SetTopView(bool on) {
    platform::ScopedLock guard(lock_);
    const physics::Vector3 p = CueBallPosition();
    camera_.SetTopView(on, {p.x.Value(), p.y.Value(), p.z.Value()}, aim_.YawDegrees());
}

void TableWorld::SetCameraModeFlags(bool first, bool second, bool shotZoom, bool fixedView) {
    platform::ScopedLock guard(lock_);
    camera_.SetCameraModeFlags(first, second, shotZoom, fixedView);
}

void TableWorld::TurnCameraToCueLine(float distance, float seconds, bool pitchFromCue, bool force) {
    platform::ScopedLock guard(lock_);
    const physics::Vector3 p = CueBallPosition();
    camera_.TurnCameraToCueLine({p.x.Value(), p.y.Value(), p.z.Value()}, aim_.YawDegrees(),
                                aim_.ElevationDegrees(), distance, seconds, pitchFromCue, force);
}

void TableWorld::SnapshotBalls() {
    platform::ScopedLock guard(lock_);
    platform::ScopedLock rulesGuard(rules_.GetLock());
    rules_.SnapshotBalls();
}

CueObject* TableWorld::AcquireCueObject(std::uint16_t cueItem, const std::array<std::int32_t, 5>& parts) {
    return cues_.Acquire(cueItem, parts);
}

bool TableWorld::ReleaseCueObject(const CueObject* cue) {
    platform::ScopedLock guard(lock_);
    // The shooter never points at a freed cue.
    if (cue == shooter_ && cue && cue->useCount == 1) shooter_ = nullptr;
    return cues_.Release(cue);
}

}  // namespace table

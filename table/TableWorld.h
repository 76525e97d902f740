#pragma once
// The in-game world of one 3D scene: the table, up to 22 balls and the cue, the own aim and its
// controls, the shot that runs on the physics every update tick, trails and guide lines, and the
// table messages. It owns the rules controller (with the physics model) and the camera rig.
//
// Threads: Update runs on the update thread, the message readers on the dispatch thread, the
// window messages and drawing on the main thread; every public member takes the world's lock.
// Lock order: the world's lock before the rules controller's.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Options.h"
#include "platform/input/KeyboardState.h"
#include "platform/sys/CriticalSection.h"
#include "table/AimControls.h"
#include "table/AimState.h"
#include "table/CameraRig.h"
#include "table/CuePose.h"
#include "table/CueRegistry.h"
#include "table/ShotRecord.h"
#include "table/ShotStateBlock.h"
#include "table/TableClearance.h"
#include "table/TableItems.h"
#include "table/TableMessages.h"
#include "table/TableRules.h"
#include "table/WorldConstants.h"

class RenderDevice;
class ResourceManager;
class Scene;

namespace table {

class TableView;

// The display options the world copies from the options store (ApplyOptions).
struct WorldOptions {
    bool tableEffect = true;        // "tableeffect": shadows
    bool environmentEffect = true;  // the environment effect flag
    bool traceAll = false;          // "traceall": trails of every ball, not only the struck one
};

class TableWorld {
public:
    // (code, a, b) to the host's application message queue.
    using MessageSink = std::function<void(WorldMessage code, std::uint32_t a, std::uint32_t b)>;
    // Sends the own shot to the server (message 2052); without one the world plays it at once.
    using ShotSender = std::function<void(const ShotMessage& shot)>;
    using SoundSink = std::function<void(int soundId, float volume)>;

    TableWorld();
    ~TableWorld();
    TableWorld(const TableWorld&) = delete;
    TableWorld& operator=(const TableWorld&) = delete;

    void SetMessageSink(MessageSink sink);
    void SetShotSender(ShotSender sender);
    void SetSoundSink(SoundSink sink);
    void SetClientBuild(std::uint32_t build) { clientBuild_ = build; }

    // ---- Set-up --------------------------------------------------------------------------------
    // False (nothing changes) for a game type outside 0..16.
    bool SetGameType(std::int32_t gameType);
    std::int32_t GameType() const { return gameType_; }
    // 0 or 1, or an item the world cannot load for this game type, stand for the defaults.
    void SetGameItems(std::uint16_t tableItem, std::uint16_t ballSetItem);
    std::uint16_t TableItem() const { return tableItem_; }
    std::uint16_t BallSetItem() const { return ballSetItem_; }
    // Creates the rules' physics model for the table and ball set (0x10014 when the id has none).
    // The factory shares one model per id in the process; a world that runs beside another one
    // (a replay panel's) passes noCache and gets a model of its own. Until then the world has none.
    bool SetPhysicsModel(std::uint32_t modelId, bool noCache);
    // The display options, and the control options: the three sensitivities / 100, the two inverse
    // flags, "cameramode", "shotzoom", "turnzoom", "mousefix" and whether the server mode is 1.
    void ApplyOptions(const Options& options);
    void ApplyControlOptions(const Options& options);
    // Clears shot, turn and input state and racks anew.
    void ResetGame(std::uint32_t seed);
    void StartNewRack(std::uint32_t seed);
    void RackBalls();
    // Racks anew when the rules ask for it (or always, with `force`); the rack's sound plays unless
    // `withSound` is false.
    void Rerack(std::uint32_t seed, bool force, bool withSound = true);
    // True when every ball of the current set lies inside the table of that item.
    bool BallsFitTable(std::uint16_t tableItem);

    // ---- Drawing (main thread) -----------------------------------------------------------------
    // Loads the table, ball and cue models of the current items from the packages "Tables",
    // "Balls" and "Cues"; 0 on success, non-zero when a package or model is missing.
    int LoadModels(RenderDevice& device, ResourceManager& resources);
    // Creates the world's scene nodes and camera in the engine scene (called on every Enter).
    void AttachToScene(Scene& scene);
    // Moves the nodes to the balls and the cue and the camera to the rig (before the scene draws).
    void ProcessViewEvents();
    // Draws what the scene graph does not: shadows, trails, guide lines, the laser guide (after the
    // scene), and the tip and elevation control (2D).
    void Render(RenderDevice& device);
    // Draws the balls and the cue (after the scene, before Render).
    void RenderBalls(RenderDevice& device);
    void DrawHud(RenderDevice& device);
    // Draws the world through a camera of its own into the current viewport (LayoutHud gave its
    // size), for a world that stands in no scene.
    void RenderMiniView(RenderDevice& device);
    void LayoutHud(int width, int height);
    // Keeps the tip and elevation control this many pixels left of the right edge (next layout on).
    void SetHudRightInset(int pixels);
    // Stands the tip and elevation control (and the power bar beside them) with their top this many
    // pixels above the bottom edge; 0 keeps them in the corner (next layout on).
    void SetHudTopFromBottom(int pixels);
    // Keeps the table of the top view this many pixels clear of each edge of the viewport (the HUD's
    // columns and bands); all 0, the default, frames it in the whole viewport.
    void SetTopViewInsets(int left, int top, int right, int bottom);
    // Where the tip and elevation control lie on the screen.
    ControlRect TipControl() const { return controls_.TipControl(); }
    ControlRect ElevationControl() const { return controls_.ElevationControl(); }
    // The three shot controls together (tip, elevation and power bar).
    ControlRect ControlArea() const { return controls_.ControlArea(); }
    void SetSceneVisible(bool visible);
    // Hides the cue and its guide line (a window over the table that ends the play, such as a game's
    // results) or shows them again where the aim puts them.
    void SetCueHidden(bool hidden) { cueHidden_ = hidden; }
    bool CueHidden() const { return cueHidden_; }
    // Drops the ball and cue models (a table change follows; the next frame loads them again).
    void DestroyBallObjects();
    // Drops every loaded model and leaves the scene (scene exit).
    void ReleaseLoadedResources();

    // ---- Ticks and input -----------------------------------------------------------------------
    // One update tick: held keys, camera move, a queued shot, the physics of a running shot
    // (posts 1120), the end of a shot (posts 1112 once, not in play state 6, and the SHOT line).
    void Update(std::uint32_t tick, int mouseDx, int mouseDy, bool paused);
    // Window messages offered by the scene; true when the world used it.
    bool HandleWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    void OnKeyCommand(std::uint32_t virtualKey, bool down);
    // A widget over the table took the pointer: the aim swept on the way there turns back.
    void PointerOnWidget();
    // The widget that had the pointer went away under it: the pointer is on the table again without
    // a sweep back, and its next moves aim.
    void WidgetGoneUnderPointer();
    // Polls the held keys: a key the keyboard no longer holds is let go (unless the keys are
    // blocked), so a key-up lost to another window never leaves the aim turning or the power
    // charging.
    void PollKeyboard(platform::KeyboardState& keys);
    void ReleaseHeldKeys();
    // The window gained or lost the focus: the mouse aims only in the foreground (AimControls).
    void SetForeground(bool foreground);
    // The camera's move under way is not the player's to undo with the stroke he is making: the
    // right-button drag held turns the camera no further until it is released, and the wheel zooms
    // nothing until the move has ended.
    void HoldCameraInput();
    // A text field holds the keys or the world is inactive: key messages are not taken.
    void SetKeyboardBlocked(bool blocked) { keyboardBlocked_ = blocked; }

    // ---- Turn and play state -------------------------------------------------------------------
    void SetPlayState(PlayState state);
    PlayState GetPlayState() const { return playState_; }
    // False while the world only plays stored shots (a replay, a replay panel's view): the own aim,
    // its on-screen controls and the strike are not in play there; the camera controls are.
    bool OwnAimInPlay() const { return playState_ != PlayState::Replay && playState_ != PlayState::MiniView; }
    void SetTurnFlag(bool on) { turnFlag_ = on; }
    bool TurnFlag() const { return turnFlag_; }
    void SetOwnTurn(bool on) { ownTurn_ = on; }
    bool OwnTurn() const { return ownTurn_; }
    void SetCurrentBall(std::int32_t ball);
    std::int32_t CurrentBall() const { return currentBall_; }
    void SetCurrentPlayer(std::int32_t index, bool noCamera);
    // The cue drawn for the shot; a cue of another model is loaded at the next frame.
    void SetShooter(CueObject* cue);
    CueObject* Shooter() const { return shooter_; }
    void SetTimeScale(float scale);
    float TimeScale() const { return timeScale_; }

    // Ball in hand: the placed ball follows PlaceBall until it is cleared.
    void ClearBallInHand();
    void BeginBallInHand(std::int32_t ball);
    std::int32_t PlacedBall() const { return placedBall_; }
    // The ball the left button carries (in hand, or moved freely on a free practice table), or
    // kNoPlacedBall.
    std::int32_t CarriedBall() const {
        platform::ScopedLock guard(lock_);
        return carriedBall_;
    }
    // The ball in play drawn under client pixel (x, y), the nearest to the eye; kNoPlacedBall for none.
    std::int32_t BallAtScreen(int x, int y) const;
    // Puts a ball at a position (f32 bits); refused (false) for a ball outside the set, a position
    // that is not finite or one outside the cushions or on another ball.
    bool PlaceBall(std::int32_t ball, std::uint32_t xBits, std::uint32_t yBits, std::uint32_t zBits);
    void RespotCueBall();
    // A pocket game's turn never starts with its cue ball out of play: such a cue ball is respotted
    // (RespotCueBall, the same spot on every client for the same table); true when it was.
    bool RespotCueBallIfOutOfPlay();
    void ClearPocketCall();
    void SetPocketCallPending(bool on) { pocketCallPending_ = on; }
    bool SetCalledPocket(std::uint8_t pocket);

    // ---- Aim and shots -------------------------------------------------------------------------
    AimState& Aim() { return aim_; }
    // The aim a table starts with: along +x (toward the rack from the head), the tip centred, the cue
    // as low as the balls let it, no power drawn.
    void ResetAim();
    const CuePose& Pose() const { return pose_; }
    // The current shot becomes the default shot toward the aim.
    void MakeDefaultShot();
    // Refreshes the aim point, the cue's least elevation and the pose others see.
    void UpdateAimObjects();
    // The shot words of the own aim: tip offset with a small spread drawn here (both pairs equal).
    ShotWords ShotFromAim();
    // Queues the own strike: sent to the server when a sender is set, else played at once.
    bool StrikeFromAim();
    // Starts the local simulation of the current shot (ShotMode). False when a shot runs, no
    // model exists or the shot's cue ball is out of play.
    bool ExecuteShot(ShotMode mode, bool ownCue);
    void StopShotInProgress();
    bool ShotExecuting() const { return shotExecuting_; }
    // A shot runs, or the own strike went to the server and its shot has not come back yet.
    bool ShotUnderWay() const {
        platform::ScopedLock guard(lock_);
        return shotExecuting_ || shotStartPending_;
    }
    // No shot is under way and the camera has done its set-up and its moves: the view a shot is aimed
    // and a ball is placed from stands still.
    bool ReadyForShot() const {
        platform::ScopedLock guard(lock_);
        return !shotExecuting_ && !shotStartPending_ && !camera_.Moving() && !camera_.SetUpFlag() &&
               !camera_.AfterShotFlag();
    }
    int GetShotResultCode() const;
    // The ball positions where the last shot started.
    void ResetBallsToShotState();
    const ShotStateBlock& LastShotState() const { return shotStateBlock_; }
    // A copy of the block under the world's lock (another thread may strike meanwhile); false when
    // no shot is stored.
    bool CopyLastShotState(ShotStateBlock& out) const;
    // Puts the balls where the block's shot started and drops the trails. False (nothing changes)
    // for a block that is not present or not sound.
    bool RestoreShotState(const ShotStateBlock& block);
    // Places the balls and the shot of a record; false (nothing changes) for a record whose ball
    // count differs from its game type's, whose values are not finite, whose shot words lie outside
    // the limits of a client's shot (ShotWordLimits) or whose balls lie off the table.
    bool ApplyShotRecord(const ShotRecord& record);
    // The record of the last shot, as the writer takes it.
    ShotRecord MakeShotRecord() const;

    // ---- Messages ------------------------------------------------------------------------------
    // 2052: fills the current shot, each word outside the limits of a client's shot taken to the
    // nearer bound (logged); false for a body that is not sound (nothing changes).
    bool ReadShotMessage(net::Packet& packet);
    void WriteShotMessage(net::Packet& packet) const;
    // 2050 / 2051 ball-state block; false for a block that does not fit the game (nothing changes).
    bool ReadBallStateMessage(net::Packet& packet);
    void WriteBallStateMessage(net::Packet& packet, bool append) const;
    // 2053 of the last shot.
    void WriteShotResultMessage(net::Packet& packet) const;
    void WriteBallPositionMessage(net::Packet& packet) const;
    // Whether that message says something the others can take: a called pocket, or a ball on the
    // table (a ball still in a pocket can be placed by nobody).
    bool BallPositionSendable() const;
    bool ReadBallPositionMessage(net::Packet& packet);
    // 2058: the own aim when it changed since it was last sent, at most every tenth tick.
    bool WriteAimMessageIfDue(net::Packet& packet, std::uint64_t nowMs);
    bool ApplyRemoteAim(const std::array<std::uint32_t, 5>& values);
    bool ReadMarkedNumbersMessage(net::Packet& packet);
    void ClearMarkedNumbers();
    const MarkedNumbers& GetMarkedNumbers() const { return markedNumbers_; }
    // Reads a line point and gives its place on the screen (pixels of the last laid-out size).
    bool ReadLinePointMessage(int seat, net::Packet& packet, float& screenX, float& screenY);

    // ---- Camera (the rig, under the world's lock) ------------------------------------------------
    // -100000.0 (kKeepValue) keeps a value.
    void MoveCamera(float seconds, float distance, float pitch);
    // Out of the top view, back to the aim view a table starts with (the rig's starting distance and
    // pitch, no move, overview or follow under way), behind the current ball at the next update.
    void ResetCamera();
    // Behind the current ball along the aim over `seconds`, out of a shot's overview (a new table:
    // the camera of the old one may still stand anywhere); in top view, the view it returns to.
    void ReturnCameraBehindCue(float seconds);
    void CenterCamera(float seconds);
    void RetargetCameraOnCurrentBall();
    // On: from above, framing the table in the room the top view's insets leave. Off: behind the
    // current ball along the aim.
    void SetTopView(bool on);
    void SetCameraModeFlags(bool first, bool second, bool shotZoom, bool fixedView);
    // Unless in top view, behind the cue line onto the current ball over `seconds`.
    void TurnCameraToCueLine(float distance, float seconds, bool pitchFromCue, bool force);
    // The rig's distance-dependent field of view, nearest distance, turn and set view (see CameraRig).
    void SetCameraDistanceFov(float distance0, float fov0Degrees, float distance1, float fov1Degrees);
    void SetCameraMinDistance(float distance);
    void RotateCamera(float yawDegrees, float pitchDegrees);
    // Turns the current camera to a heading (yaw, degrees) at once; distance, pitch and focus stay, and
    // a pending set-up behind the cue ball keeps the heading.
    void TurnCameraToHeading(float yawDegrees);
    void SetCameraView(const CameraView& view, const Vector3f& focus);
    // The vertical field of view the table is drawn with, radians.
    float FieldOfView() const;
    // Where a point of the table (cm) shows in the laid-out viewport (pixels, y down); false
    // behind the eye.
    bool TableToScreen(const Vector3f& point, float& screenX, float& screenY) const;

    // ---- Other services the scenes call ------------------------------------------------------
    void SnapshotBalls();
    void UpdateGuideObject() { UpdateAimObjects(); }
    // The item key works while the mode is above 0.
    void SetItemKeyMode(int mode) { itemKeyMode_ = mode; }
    int ItemKeyMode() const { return itemKeyMode_; }

    // ---- The counted item in play (the chalk in use) ---------------------------------------------
    // Loads the uses left of the item of that serial; a count below 0 unloads it.
    void LoadConsumable(std::uint64_t serial, std::int32_t count);
    // One use of the loaded item, never below 0; false when none is loaded or none is left.
    bool UseConsumable();
    std::uint64_t ConsumableSerial() const;
    // Uses left of the loaded item; -1 when none is loaded.
    std::int32_t ConsumableLeft() const;

    // ---- Cue objects ---------------------------------------------------------------------------
    CueObject* AcquireCueObject(std::uint16_t cueItem, const std::array<std::int32_t, 5>& parts);
    bool ReleaseCueObject(const CueObject* cue);
    std::size_t CueObjectCount() const { return cues_.Count(); }

    // ---- Access --------------------------------------------------------------------------------
    TableRules& Rules() { return rules_; }
    CameraRig& GetCameraRig() { return camera_; }
    const TableView& View() const { return *view_; }
    std::uint16_t BallCount() const;
    // Ball i (0 = cue ball) position in cm, false outside the set.
    bool BallPosition(std::size_t i, float& x, float& y, float& z) const;
    bool BallOutOfPlay(std::size_t i) const;
    const ShotMessage& CurrentShot() const { return shot_; }
    std::uint32_t LastShotCalls() const { return lastShotCalls_; }
    std::uint32_t LastShotHash() const { return lastShotHash_; }
    std::uint32_t ShotsAtRest() const { return shotsAtRest_; }
    const std::string& LastJournalLine() const { return lastJournalLine_; }
    const std::vector<Vector3f>& Trail(std::size_t ball) const { return trails_[ball]; }

    // Display flags (the scenes read and write them).
    bool trailDisplay = false;
    bool aimDisplay = true;
    bool laserGuide = false;
    std::uint32_t controlMask = 0xFFFFFFFFu;
    float chalkValue = 1.0f;
    bool chalkReload = false;
    std::uint8_t lastChalkUsed = 0;
    std::int32_t timeOutCount = 0;
    std::uint8_t breakFoul = 0;
    bool practiceKit = false;
    bool mouseCameraControl = true;
    std::uint8_t ballInHandMode = 0;  // 0 none, 1 placing
    bool pocketCallPending() const { return pocketCallPending_; }
    std::uint8_t CalledPocket() const { return calledPocket_; }

private:
    friend class TableView;

    void ApplyItems();
    void EndShot();
    std::string RecordHexOfLastShot() const;
    void Post(WorldMessage code, std::uint32_t a = 0, std::uint32_t b = 0);
    void StoreShotState();
    void RefreshPose();
    // The view and projection the table is drawn with (the laid-out viewport's aspect).
    Matrix4f ViewProjection() const;
    // The point of the plane `height` above the bed under client pixel (x, y); false when none.
    bool PointerOnTable(int x, int y, float height, float& px, float& py) const;
    // Puts a ball at rest at a position where it may lie (PlaceBall's checks) and refreshes the aim
    // objects; false (nothing changes) otherwise.
    bool PutBall(std::int32_t ball, float x, float y, float z);
    // PlaceBall at a position in cm: PutBall, and the aim camera follows the current player's ball.
    bool PlaceBallAt(std::int32_t ball, float x, float y, float z);
    // Free practice, the own turn and no shot under way: a Ctrl press on a ball picks it up.
    bool FreePlacementOpen() const;
    // The carried ball to the table point under the mouse (client pixels), its grip kept; false when
    // the point is off the table or the ball may not lie there.
    bool CarryTo(int x, int y);
    // The carried ball stays where it lies; a ball in hand is set down and placing ends.
    void SetDownCarried();
    // Drops a carry without moving the ball (a shot, a new rack, the keys let go, another play state).
    void DropCarry();
    // The pocket whose hole lies under client pixel (x, y) or within its radius of it; kNoPocket.
    std::uint8_t PocketAtScreen(int x, int y) const;
    // While a shot runs, another player aims or a stored shot plays, the own aim is not in play: what
    // the controls did to it since `before` (a mouse move, a held arrow, W/A/S/D, Q, Space) is undone
    // and nothing strikes; the camera and view requests stay.
    void KeepAimUnlessInPlay(const AimState& before, ControlRequests& requests);
    // yawTurned: how far the aim turned with these requests; the aim view turns with it.
    void ApplyRequests(const ControlRequests& requests, float yawTurned);
    void RecordTrails();
    physics::Vector3 CueBallPosition() const;

    mutable platform::CriticalSection lock_;
    TableRules rules_;
    CameraRig camera_;
    CueRegistry cues_;
    AimState aim_;
    AimControls controls_;
    CuePose pose_;
    std::unique_ptr<TableView> view_;

    MessageSink messageSink_;
    ShotSender shotSender_;
    SoundSink soundSink_;
    WorldOptions options_;
    bool mouseFix_ = true;
    bool serverModeOne_ = true;
    std::uint32_t clientBuild_ = 0;

    std::int32_t gameType_ = 0;
    std::uint16_t tableItem_ = 0;
    std::uint16_t ballSetItem_ = 0;
    std::uint32_t modelId_ = kDefaultModelId;
    bool noCache_ = false;
    PlayState playState_ = PlayState::Waiting;
    bool turnFlag_ = false;
    bool ownTurn_ = true;
    bool shotExecuting_ = false;
    bool shotStartPending_ = false;
    bool ownCueStruck_ = false;
    std::int32_t currentBall_ = 0;
    std::int32_t currentPlayer_ = 0;
    CueObject* shooter_ = nullptr;
    float timeScale_ = kTimeScaleNormal;
    bool keyboardBlocked_ = false;
    bool wheelHeld_ = false;
    bool sceneVisible_ = true;
    std::atomic<bool> cueHidden_{false};
    int itemKeyMode_ = 0;
    std::uint64_t consumableSerial_ = 0;
    std::int32_t consumableLeft_ = -1;
    // The carry: the ball, whether it is moved freely (not in hand), its centre's offset from the
    // table point under the pointer, and where it was picked up.
    std::int32_t carriedBall_ = kNoPlacedBall;
    bool carriedFreely_ = false;
    float carryOffsetX_ = 0, carryOffsetY_ = 0;
    float carryFromX_ = 0, carryFromY_ = 0;

    std::int32_t placedBall_ = kNoPlacedBall;
    bool pocketCallPending_ = false;
    std::uint8_t calledPocket_ = kNoPocket;

    ShotMessage shot_;
    ShotStateBlock shotStateBlock_{};
    std::uint32_t shotSeed_ = 1;
    std::uint32_t lastShotCalls_ = 0;
    std::uint32_t lastShotHash_ = 0;
    std::uint32_t shotsAtRest_ = 0;
    std::string lastJournalLine_;
    std::uint32_t ticksSinceAimSent_ = 0;
    std::array<std::vector<Vector3f>, kMaxBalls> trails_;
    std::uint32_t trailTick_ = 0;
    ClearanceTable clearance_;
    MarkedNumbers markedNumbers_;
    RemoteAim remoteAim_;
    bool remoteAimShown_ = false;
    int viewportWidth_ = 1024, viewportHeight_ = 768;
    int hudRightInset_ = 0;
    int hudTopFromBottom_ = 0;
    std::array<int, 4> topViewInsets_{};  // left, top, right, bottom

    // The top view's frame from its insets and the viewport.
    void FrameTopView();
};

}  // namespace table

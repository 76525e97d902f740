#pragma once
// The screen of an online game room: the eight seats, the room settings, the teams and turns, the
// table world on which every client simulates every shot, the chat and the room's messages.
//
// Threads: OnPacket on the dispatch thread (the scene gate keeps Leave out while a handler runs),
// Update on the update thread, everything else on the main thread. Work the update or dispatch thread
// hands to the main thread goes through the scene's own queue (release of the held keys). The
// turn and game flags that several threads read are atomics; the seats and the room copy are read
// and written under the seat lock; the chat list under the chat lock; the world locks itself.

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "net/GameRoom.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "platform/sys/CriticalSection.h"
#include "scenes/room/RoomCodes.h"
#include "scenes/room/RoomHud.h"
#include "scenes/room/TableScene.h"

namespace gui {
class Button;
class EditBox;
class GameRequestAnswerDialog;
class GameRequestDialog;
class ImageWidget;
class InProgressNotice;
class NotEnoughGoldDialog;
class NumberDisplay;
class Padlock;
class ReportBadDialog;
class ScrollBar;
class TextLabel;
class WaitResponseNotice;
class WithdrawDialog;
}  // namespace gui
namespace net {
class Packet;
}

namespace scenes {
namespace hud {
class FloatingGain;
class GameClock;
class GameHud;
class GameResultList;
class GroupNotice;
class InGameMenu;
class OneHourLimitNotice;
class PlayerMenu;
class ScoreBoard;
class StartReadyButton;
class TurnCountdown;
class WithdrawQuestion;
}  // namespace hud

namespace hud {
class BuyOrGiftDialog;
class PlayerInfoPanel;
class PlayerPanel;
}  // namespace hud

class PurchaseDialog;
class RoomOptionDialog;
namespace hud {
class ChalkGauge;
}

namespace hud {
class InviteListDialog;
class PanelsHud;
class JackpotBanner;
class LevelUpWindow;
class RankResultWindow;
class ReplayControlPanel;
class RoomStatusPanel;
class SeatInfoPanel;
class TurnTimer;
class EffectPanel;
enum class GameAni;
}  // namespace hud

// One line of the room chat.
struct ChatLine {
    std::uint32_t argb = 0;
    WString text;  // at most 79 characters
    std::uint64_t arrivalMs = 0;
};

// A seat of the room: the member's record (with its seat fields) while someone sits there.
struct RoomSeat {
    net::PlayerRecord record;
    bool occupied = false;
};

class SceneRoomGame : public TableScene {
public:
    // Sees every packet the scene sends, before it goes out (tests and the journal).
    using SendTap = std::function<void(const net::Packet& packet)>;

    SceneRoomGame();
    ~SceneRoomGame() override;

    void CreateUI() override;
    void Enter() override;
    int Load3D(ResourceManager* resources, RenderDevice* renderer) override;
    bool BeginLoad() override { return SceneBeginLoad(); }
    void Update(std::uint64_t nowMs, std::uint64_t time100us) override;
    void Render(RenderDevice* renderer, bool draw) override;
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;
    // The empty chat line gives the table its keys before the widgets see them (ChatLineYieldsKey).
    bool RouteMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    bool OnCommand(const gui::CommandEvent& event) override;
    bool PollKeyboard() override { return true; }
    // The world takes the options; the chat lines take the large font when it is chosen.
    void ApplyOptions() override;
    int OnPacket(std::uint16_t id, net::Packet* packet) override;
    void AddChatLine(const WString& text, std::uint32_t argb) override;

    // ---- For the room's parts and for tests --------------------------------------------------
    // While a game runs: the current shooter is the own seat; otherwise also the room master.
    bool IsOwnTurn() const;
    int OwnSeat() const { return ownSeat_.load(); }
    int MasterSeat() const { return masterSeat_.load(); }
    int CurrentShooter() const { return shooter_.load(); }
    bool GameRunning() const { return gameRunning_.load(); }
    bool ShotRunning() const { return shotRunning_.load(); }
    bool AttachTableState() const { return attachTableState_.load(); }
    bool TurnTimedOut() const { return turnTimedOut_.load(); }
    int TurnLimitSeconds() const { return turnLimit_.load(); }
    std::uint32_t ShotCount() const { return shotCount_.load(); }
    std::uint32_t GameSeed() const { return gameSeed_.load(); }
    bool Watching() const { return watchOnly_.load(); }
    RoomSeat SeatCopy(int seat) const;
    // The cue object the world holds for another seat's cue (null when none is held).
    const table::CueObject* SeatCue(int seat) const;
    net::RoomInfo RoomCopy() const;
    std::vector<ChatLine> ChatLines() const;
    std::size_t FirstShownLine() const;
    // Scrolls the chat view (1-based first line; the reader is no longer at the end).
    void ScrollChatTo(std::size_t firstLine);
    // The latest sounds the scene asked to play, at once or queued, in the order asked.
    std::vector<int> PlayedSounds() const;
    void SetSendTap(SendTap tap) { sendTap_ = std::move(tap); }
    // The chat sender: false when the spam guard refused a typed text (the chat line then keeps it).
    bool SendChat(const WString& text, bool typed, std::uint64_t nowMs);
    // Own aim: 2058 at most once a second and only on change.
    bool SendAim(std::uint64_t nowMs);
    void SendShotResult();
    // Update-thread timers of the turn, exposed for tests that step virtual time.
    void TickTurnTimers(std::uint64_t nowMs);

    // ---- HUD widgets (RoomHudWidgets.cpp) --------------------------------------------------------
    void Resize(int width, int height) override;
    hud::StartReadyButton* StartReady() const { return startReady_; }
    const gui::TextLabel* ReceivingLabel() const { return receivingLabel_; }
    hud::PlayerMenu* PlayerList() const { return playerMenu_; }
    hud::InGameMenu* GameMenu() const { return inGameMenu_; }
    hud::GameClock* Clock() const { return gameClock_; }
    hud::TurnCountdown* Countdown() const { return turnCountdown_; }
    gui::TextLabel* ClockCaption() const { return clockCaption_; }
    gui::TextLabel* CountdownCaption() const { return countdownCaption_; }
    hud::ScoreBoard* Scores() const { return scoreBoard_; }
    hud::GameResultList* ResultList() const { return resultList_; }
    hud::GroupNotice* Groups() const { return groupNotice_; }
    hud::WithdrawQuestion* WithdrawAsk() const { return withdrawQuestion_; }
    hud::OneHourLimitNotice* HourLimitNotice() const { return hourLimitNotice_; }

    // ---- Room screen: the room line, the join and start state, popups and the HUD ---------------
    // The HUD widgets the room drives (not owned; null restores the silent default).
    void SetHud(RoomHud* hud) { hud_ = hud ? hud : &silentHud_; }
    RoomHud& Hud() const { return *hud_.load(); }
    // The own level against the level limit of the channel; false (with a notice) when over it.
    bool CheckChannelLevel();
    // Whether the own player may be offered to join the running game (the "Join" button).
    bool JoinAllowed();
    // Whether the room master can start now (a valid line-up, every player ready); false for anyone
    // but the master, during a game and without a connection.
    bool StartPossible();
    // The master's Start is pressable, and the "Start please~" bubble asks for it, exactly while the
    // room can start; anyone else's bubble is hidden.
    void UpdateStartPrompt();
    // Whether a message can go out: the session is connected (or a test taps the sends) and no loss
    // of the connection was told.
    bool Online() const;
    bool ChatSoundOn() const { return chatSound_.load(); }
    bool KeyGuideShown() const { return keyGuideOn_; }
    // Chat line k of the screen (0 the top one) and the strip behind it.
    const gui::TextLabel* ChatRow(int k) const { return overlay_[static_cast<std::size_t>(k)]; }
    const gui::ImageWidget* ChatRowStrip(int k) const { return overlayRows_[static_cast<std::size_t>(k)]; }
    hud::ChalkGauge* Chalk() const { return chalkGauge_; }
    // The room's settings window (the "Room setting" button opens it with the room's settings).
    RoomOptionDialog* RoomOptions() const { return roomOptions_; }
    // The amount shown in the centre of the screen (0 = none) and since when (ms).
    std::uint32_t CentreAmount() const { return centreAmount_.load(); }
    // True while a game runs and the own seat plays in it.
    bool IsOwnSeatPlaying();
    // After a cue change: the durability warnings may be told again, and are checked now.
    void RecheckDurability();

    // ---- Status panels, result windows, replay panel and invite list (RoomHudPanels.cpp) -------------
    hud::RoomStatusPanel* StatusPanel() const { return statusPanel_; }
    hud::SeatInfoPanel* SeatInfo() const { return seatInfo_; }
    hud::JackpotBanner* JackpotBanner() const { return jackpotBanner_; }
    hud::TurnTimer* TurnLabel(int seat) const { return SeatValid(seat) ? turnTimers_[seat] : nullptr; }
    hud::RankResultWindow* RankWindow() const { return rankWindow_; }
    hud::LevelUpWindow* LevelUpWindow() const { return levelUpWindow_; }
    hud::ReplayControlPanel* ReplayPanel() const { return replayPanel_; }
    hud::InviteListDialog* InviteList() const { return inviteList_; }
    // Any thread: the window opens at the next frame.
    void QueueLevelUp();
    // Any thread: the seat's name shows at a screen point for two seconds from the next frame.
    void QueueTurnLabel(int seat, float x, float y);
    // Opens the replay panel with the world's last shot; false when the world keeps none.
    bool ReplayLastShot();
    // The room state's jackpot amount, point rule and (in a running game) point track.
    void ShowRoomStatus(std::uint64_t jackpot, const net::RoomInfo& info, bool running);
    // The point track (2078): mode, position, label value, second and third marker.
    void ShowPointTrack(std::uint8_t mode, const std::array<std::uint8_t, 4>& marks);
    // A jackpot won in this room (2085): the banner, and the seat info panel's marker goes.
    void ShowJackpot(std::uint32_t amount, const WString& winner);
    // The effect panel (between Load3D and Leave; null otherwise).
    hud::EffectPanel* Effects() const { return effects_.get(); }

private:
    using Handler = void (SceneRoomGame::*)(net::Packet& p);
    struct HandlerEntry {
        room::RoomMsg id;
        Handler handler;
    };
    static const std::vector<HandlerEntry>& Handlers();

    // ---- Sends
    bool SendMessage(room::RoomMsg id, const std::function<void(net::Packet&)>& fill);
    bool SendPacket(net::Packet& packet);
    bool SendByte(room::RoomMsg id, std::uint8_t value);
    void SendTableState(bool append, net::Packet* packet);
    void SendShot(const table::ShotMessage& shot);
    // 2063: the ball set down or the pocket called; nothing for a ball that is off the table.
    void SendPlacement();
    void NoteSound(int id);  // for PlayedSounds
    void PlaySound(int id);
    // Plays the sound after those queued before it (TableScene::QueueSound), noting it as PlaySound does.
    void QueueSound(int id);
    // Any thread: a notice box, shown by the next Render.
    void ShowBox(const WString& line1, const WString& line2 = {});

    // ---- Handlers (dispatch thread)
    // Shot and turn flow
    void OnGameStart(net::Packet& p);
    void OnAim(net::Packet& p);
    void OnShot(net::Packet& p);
    void OnTurnResult(net::Packet& p);
    void OnNewTurn(net::Packet& p);
    // What the server says after a shot (its turn, placements, the game's end) that comes while this
    // client still simulates the shot waits for the balls to rest, and every message behind it waits
    // too, so all are taken in order; false when the message is to be handled now. TakeHeldMessages
    // handles the held ones once the balls rest (or before a shot that comes first).
    bool HoldBehindShot(std::uint16_t id, net::Packet& p);
    void TakeHeldMessages();
    // The message's handler (the packet positioned behind its id).
    void Dispatch(std::uint16_t id, net::Packet& p);
    void OnBreakFoul(net::Packet& p);
    void OnGroups(net::Packet& p);
    void OnEightBallShot(net::Packet& p);
    void OnGameEnd(net::Packet& p);
    void OnGameResults(net::Packet& p);
    // Room state, seats and master
    void OnRoomState(net::Packet& p);
    void OnMemberList(net::Packet& p);
    void OnPlaying(net::Packet& p);
    void OnReadyChanged(net::Packet& p);
    void OnSeatStatus(net::Packet& p);
    void OnNewMaster(net::Packet& p);
    void OnTeamLineup(net::Packet& p);
    void OnPlayerEntered(net::Packet& p);
    void OnPlayerLeft(net::Packet& p);
    void OnWithdrawnLost(net::Packet& p);
    void OnPlayerDropped(net::Packet& p);
    void OnPlayerBack(net::Packet& p);
    void OnLeaveAnswer(net::Packet& p);
    void OnRoomClosed(net::Packet& p);
    void OnRankResult(net::Packet& p);
    void OnExitRefused(net::Packet& p);
    // Chat and notices
    void OnChatLine(net::Packet& p);
    void OnNotice(net::Packet& p);
    void OnChatBanned(net::Packet& p);
    void OnChatBlockedBy(net::Packet& p);
    void OnChatBannedHour(net::Packet& p);
    void OnChatBannedName(net::Packet& p);
    void OnReported(net::Packet& p);
    void OnRaceTournament(net::Packet& p);
    void OnGalleryRegistered(net::Packet& p);
    // Table messages
    void OnTableStateRequest(net::Packet& p);
    void OnPlacedBall(net::Packet& p);
    void OnCalledPocket(net::Packet& p);
    void OnMarkedNumbers(net::Packet& p);
    void OnGuideRefresh(net::Packet& p);
    void OnLinePoint(net::Packet& p);

    // Commands of the in-game menu, the dialogs and the keys (main thread); true when handled.
    bool HandleCommand(std::uint32_t code, std::uintptr_t a, std::intptr_t b);
    void SendReport();
    void PostToSelf(std::uint32_t code, std::uint32_t a, std::uint32_t b);
    // The withdraw dialog's penalty line and flag for the room's game type.
    WString WithdrawPenaltyText();
    bool WithdrawPenaltyFlag();
    void OnRequestAnswer(net::Packet& p);

    // Room screen and popups (main thread unless named a handler).
    void CreateRoomScreen();
    void ShowKeyGuide(bool on);
    // Update thread (every fourth tick): the master's "Start please~" bubble bobs.
    void BobStartPrompt(std::uint64_t nowMs);
    // "To Lobby": 2008 and wait for the answer, or the lobby at once without a connection.
    void LeaveRoom();
    // Main thread: the connection to the server dropped.
    void StopOnLostConnection();
    // 2003 from the room options dialog; refused with an error while a game runs and the game or its
    // option would change.
    void SendRoomOptions();
    // The own gold against the room's requirement; short: the not-enough-gold dialog and false.
    bool CheckJoinGold();
    // The room's settings as chat lines once the entry's room state is read: point rule, seed money,
    // half game.
    void WriteRoomLines(const net::RoomInfo& info);
    // A point rule other than the one told (2001 again, 2004) gets its "changed" line; before the
    // entry's room state, which tells the rule in force, nothing is told.
    void TellPointRuleChange(int gameType, int before, int after);
    // The own shot was played: the chalk it used (`chalkUsed`, 0..100), the cue's durability (546)
    // and its warnings.
    void AfterShotConsumption(int chalkUsed);
    // Leaving: the first used-up chalk leaves the own record and goes back to the session's pool.
    void DropUsedUpChalk();
    // The chalk gauge was used: its level goes to the table; a counted chalk loses a use in a game.
    void ApplyChalk();
    void CheckDurabilityNotice();
    // Any thread: the item keys of the own items; the notice that the turn's table and balls are
    // the room master's.
    void UpdateItemKeys();
    void UpdateTableOwnership();
    void RefreshRoomScreen(std::uint64_t nowMs);
    bool OnRoomScreenCommand(const gui::CommandEvent& event);
    bool HandlePopupCommand(std::uint32_t code, std::uintptr_t a, std::intptr_t b);
    // Any thread: `work` runs on the main thread at the next Render.
    void RunOnMainThread(std::function<void()> work);
    void OnBannedFromRoom(net::Packet& p);
    void OnBanResult(net::Packet& p);
    void OnGameRequest(net::Packet& p);
    void OnWithdrawOffer(net::Packet& p);
    void OnInviteList(net::Packet& p);
    void OnMessage2002(net::Packet& p);
    void OnProfileReply(net::Packet& p);
    void OnClanChanged(net::Packet& p);
    void OnSeatMoney(net::Packet& p);
    // A chat line that is a command goes to the server as its request; false for chat.
    bool SendChatCommand(const WString& text);
    // The turn result's finishing-shot lines and point voices (dispatch thread).
    void AnnounceTurnResult(std::uint8_t kind, std::uint16_t tableTeamResult);
    bool OneHourPassed(std::uint64_t nowMs);
    void KeepOwnSeatAfterGame();
    int ResultMode();

    // ---- Helpers
    // Reads team blocks of 2029 / 2030 into `game_`; false (nothing changes) when a bound breaks.
    bool ReadTeams(net::Packet& p, bool gameStart);
    void ApplyOwnTurn(bool own);
    void SetShooterSeat(int seat);
    // "TURN <shooter's seat> <1 when the own cue has the turn, else 0>" once the table is ready for it.
    void JournalTurn();
    void StartTurnClock(std::uint64_t nowMs);
    // The shooter left the game (he left the room or withdrew): the turn, and a new turn clock, go to
    // `next`, as the server passes them.
    void PassTurnFromLeaver(int next);
    void RefreshChatOverlay(std::uint64_t nowMs);
    void UpdateWaitingWidgets();
    void ResetAfterGame();
    bool ChatAllowed(std::uint64_t nowMs);
    void RecordChatSend(std::uint64_t nowMs);
    void EnterTable();
    static bool SeatValid(int seat) { return seat >= 0 && seat < room::kSeats; }

    // ---- Status panels, result windows, replay panel and invite list (RoomHudPanels.cpp)
    void CreateHudPanels();
    void CreateReplayWorld(RenderDevice* renderer, ResourceManager* resources, const net::RoomInfo& room);
    void ResetHudPanels();
    void LeaveHudPanels();
    // Opens the UI package's "Effect" group and builds the effect panel of its pictures (Load3D).
    void CreateEffectPanel(ResourceManager* resources);
    void RenderHudPanels();
    // Stands the right column's panels below each other (RoomHudPanels.cpp).
    void StackRightColumn();
    // The top view's table stands below the room line, the clocks and the point track (to y 80) and
    // above the item strip (250 above the bottom edge), between the chalk gauge's and the key guide's
    // columns.
    static constexpr int kTopViewTop = 84, kTopViewBottom = 254;
    void UpdateHudPanels();
    bool HandleReplayMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b);
    // The replay panel closes and the key guide comes back when its flag is set.
    void CloseReplayPanel();
    struct PendingTurnLabel {
        int seat;
        float x, y;
    };
    hud::RoomStatusPanel* statusPanel_ = nullptr;
    hud::SeatInfoPanel* seatInfo_ = nullptr;
    hud::JackpotBanner* jackpotBanner_ = nullptr;
    std::array<hud::TurnTimer*, room::kSeats> turnTimers_{};
    hud::RankResultWindow* rankWindow_ = nullptr;
    hud::LevelUpWindow* levelUpWindow_ = nullptr;
    hud::ReplayControlPanel* replayPanel_ = nullptr;
    hud::InviteListDialog* inviteList_ = nullptr;
    std::unique_ptr<hud::PanelsHud> panelsHud_;
    std::unique_ptr<hud::EffectPanel> effects_;
    // Any thread: the effect panel plays that animation from now on.
    void PlayEffect(hud::GameAni ani);
    // The rules pick whether the shot earns the result sound; when they do, the result animation and
    // sound 20 play. The rules' answer.
    int PlayResultSound(int highRunPoints, int resultKind, int resultCode);
    std::atomic<bool> pendingLevelUp_{false};
    std::vector<PendingTurnLabel> pendingTurnLabels_;  // under chatLock_

    // Seats and room copy, under seatLock_.
    mutable platform::CriticalSection seatLock_;
    std::array<RoomSeat, room::kSeats> seats_{};
    // The players who left the running game, by seat, so its result still names them.
    struct LeftPlayer {
        WString nickname;
        int level = 0;
    };
    std::array<LeftPlayer, room::kSeats> leftPlayers_{};
    // Messages held until the own simulation of the last shot rests, in the order they came: a watcher's
    // client is not waited for, and may still be running the shot when its turn or the game's end comes.
    struct HeldMessage {
        std::uint16_t id = 0;
        std::vector<std::uint8_t> body;
    };
    std::deque<HeldMessage> held_;
    net::RoomInfo room_;
    net::GameRoom game_;

    std::atomic<int> ownSeat_{0};
    std::atomic<int> masterSeat_{0};
    std::atomic<int> shooter_{room::kNoSeat};
    std::atomic<bool> watchOnly_{false};
    std::atomic<bool> gameRunning_{false};
    std::atomic<bool> shotRunning_{false};
    std::atomic<bool> turnTimedOut_{false};
    std::atomic<bool> warningPlayed_{false};
    std::atomic<bool> resultSoundHeld_{true};
    std::atomic<bool> attachTableState_{false};
    std::atomic<bool> defaultShotDone_{false};
    std::atomic<bool> tournamentLimitSent_{false};
    std::atomic<bool> leaveRequested_{false};
    // "To Lobby" in a running game opened the withdraw question; its Yes leaves after the game end.
    std::atomic<bool> withdrawToLeave_{false};
    std::atomic<bool> leaveAfterGame_{false};
    std::atomic<std::uint64_t> turnStartMs_{0};
    std::atomic<std::uint64_t> gameClockBaseMs_{0};
    std::atomic<std::uint32_t> gameSeconds_{0};
    std::atomic<int> turnLimit_{room::kDefaultTurnLimitSeconds};
    std::atomic<std::uint32_t> shotCount_{0};
    std::atomic<std::uint32_t> gameSeed_{0};
    // A pocket table's re-rack takes the last turn result's seed, or the game's.
    std::atomic<std::uint32_t> rackSeed_{0};
    std::atomic<std::uint16_t> turnTableItem_{0};
    std::atomic<std::uint16_t> turnBallSet_{0};
    std::atomic<std::uint16_t> channelType_{0};
    std::atomic<std::uint64_t> lastAimCheckMs_{0};
    std::atomic<bool> releaseKeysQueued_{false};
    std::uint32_t tick_ = 0;

    // Chat, under chatLock_.
    mutable platform::CriticalSection chatLock_;
    std::deque<ChatLine> chat_;
    std::size_t firstShown_ = 1;
    std::deque<WString> reportHistory_;
    std::deque<std::uint64_t> chatSendTimes_;
    std::deque<int> playedSounds_;                           // the newest few hundred, for PlayedSounds
    std::vector<std::pair<WString, WString>> pendingBoxes_;  // shown by Render
    std::array<gui::TextLabel*, room::kOverlayLines> overlay_{};
    std::array<gui::ImageWidget*, room::kOverlayLines> overlayRows_{};  // behind the lines

    // Widgets (main thread).
    gui::Button* toLobby_ = nullptr;
    gui::Button* messengerButton_ = nullptr;
    gui::TextLabel* receivingLabel_ = nullptr;
    gui::TextLabel* turnLabel_ = nullptr;
    gui::TextLabel* clockLabel_ = nullptr;
    gui::EditBox* chatEdit_ = nullptr;
    std::atomic<bool> widgetsDirty_{true};
    // The entry is complete once the server's room state and member list are on the widgets.
    bool EntryWaitsForServer() const override { return true; }
    std::atomic<bool> roomStateRead_{false}, memberListRead_{false};
    std::atomic<bool> connectionLost_{false};  // nothing the room offers can reach the server
    std::atomic<bool> showReceiving_{false};
    std::atomic<bool> enableToLobby_{false};

    // HUD widgets (RoomHudWidgets.cpp; main thread). The room's state reaches them in RefreshRoomHud.
    void CreateRoomHud();
    void RefreshRoomHud();
    void UpdateRoomHudClocks(std::uint64_t nowMs);
    void ShowGroupsOnce();
    bool HandleHudMessage(std::uint32_t code, std::uintptr_t a, bool typing);
    hud::StartReadyButton* startReady_ = nullptr;
    hud::PlayerMenu* playerMenu_ = nullptr;
    hud::InGameMenu* inGameMenu_ = nullptr;
    hud::GameClock* gameClock_ = nullptr;
    hud::TurnCountdown* turnCountdown_ = nullptr;
    gui::TextLabel* clockCaption_ = nullptr;
    gui::TextLabel* countdownCaption_ = nullptr;
    hud::ScoreBoard* scoreBoard_ = nullptr;
    hud::GameResultList* resultList_ = nullptr;
    hud::GroupNotice* groupNotice_ = nullptr;
    hud::WithdrawQuestion* withdrawQuestion_ = nullptr;
    hud::OneHourLimitNotice* hourLimitNotice_ = nullptr;
    std::array<hud::FloatingGain*, 2> gains_{};
    std::unique_ptr<hud::GameHud> gameHud_;  // installed as the room's HUD, ahead of the one before
    int hudTeamSeen_ = -1;                   // the own playing byte last given to the team panel
    bool hudGameShown_ = false;              // the HUD shows a running game
    int hudLimitShown_ = -1;
    bool hudEscapeDown_ = false;        // the Escape key came to the room, not to a widget
    std::uint32_t hudGroupsShown_ = 0;  // two bits a team: the group it holds, as last shown

    table::CueObject* cueObject_ = nullptr;
    std::minstd_rand cosmetic_{0x5EED};  // warning sound and tips; never the simulation's generator
    SendTap sendTap_;
    // Game requests (1 invalid game, 2 withdrawal): the kind chosen and the refusals this game.
    std::atomic<int> requestKind_{0};
    std::array<std::atomic<int>, 3> requestsRefused_{};
    std::uint32_t reportTarget_ = 0;

    // ---- Room screen (main thread) and the state its handlers leave for it
    RoomHud silentHud_;
    std::atomic<RoomHud*> hud_{&silentHud_};
    gui::NumberDisplay* roomNumber_ = nullptr;
    gui::TextLabel* gameKindLabel_ = nullptr;
    gui::TextLabel* titleLabel_ = nullptr;
    gui::TextLabel* playerCountLabel_ = nullptr;
    gui::Padlock* lockIcon_ = nullptr;
    gui::Widget* moneyIcon_ = nullptr;
    gui::TextLabel* moneyLabel_ = nullptr;
    gui::TextLabel* handicapLabel_ = nullptr;
    gui::TextLabel* halfGameLabel_ = nullptr;
    gui::Button* joinButton_ = nullptr;
    gui::ImageWidget* startPrompt_ = nullptr;
    gui::ImageWidget* readyPrompt_ = nullptr;
    gui::ScrollBar* chatScroll_ = nullptr;
    gui::TextLabel* centreLabel_ = nullptr;
    gui::GameRequestDialog* requestDialog_ = nullptr;
    gui::GameRequestAnswerDialog* answerDialog_ = nullptr;
    gui::WaitResponseNotice* waitNotice_ = nullptr;
    gui::WithdrawDialog* withdrawDialog_ = nullptr;
    gui::ReportBadDialog* reportDialog_ = nullptr;
    gui::NotEnoughGoldDialog* goldDialog_ = nullptr;
    gui::ImageWidget* keyGuide_ = nullptr;
    RoomOptionDialog* roomOptions_ = nullptr;
    hud::ChalkGauge* chalkGauge_ = nullptr;
    bool keyGuideOn_ = false;                  // main thread
    bool replayKeyDown_ = false;               // main thread: R went down in the room
    std::atomic<std::uint64_t> enteredMs_{0};  // the entering time: on entry and at each own chat send
    std::atomic<bool> chatSound_{true};
    std::atomic<std::uint32_t> centreAmount_{0};
    std::atomic<std::uint64_t> centreShownMs_{0};
    std::atomic<bool> hideWaitNotice_{false};
    std::vector<std::function<void()>> mainThreadWork_;  // under chatLock_
    std::array<std::atomic<bool>, 3> durabilityTold_{};  // at 0, 5 % and 10 %
    std::atomic<bool> tableDiffers_{false};
    // The turn's table or ball set differs from the room's: the render step swaps them in.
    std::atomic<bool> tableChangePending_{false};
    void SwapTurnTable(RenderDevice* renderer);
    std::atomic<bool> tableNoticeTold_{false};
    std::atomic<std::uint32_t> bettingValue_{0};  // the pot of a gamble game, from the game start

    // ---- Joining, seats and bets; item, money and announcement messages (RoomJoin.cpp,
    // RoomItemMessages.cpp)
public:
    // The pot of a gamble game (grows as players join), shown on the player panel.
    std::uint32_t BettingValue() const { return bettingValue_.load(); }
    std::uint64_t Jackpot() const { return jackpot_.load(); }
    // The join question: the first-turn rule, the gold check, then the yes/no box (main thread).
    void AskToJoin();
    bool JoinButtonShown() const;
    // The purchase window on the product of that item id, for oneself (1) or as a gift (2).
    void OpenPurchase(int mode, std::uint32_t itemId);
    PurchaseDialog* Purchase() const { return purchase_; }
    bool GoldDialogShown() const;

private:
    void CreateJoinWidgets();
    // The world's cue object for a seat's cue (the default cue for none), with its tuning parts when
    // they came; null without a world.
    table::CueObject* AcquireSeatCue(const net::SeatFields& seat, bool hasParts);
    bool OnJoinCommand(const gui::CommandEvent& event);
    bool HandleJoinMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b);
    // The own playing byte follows the own seat; a player short of the room's gold stops playing (2012).
    void CheckOwnGoldAfterBet();
    void OnPlayerJoinedGame(net::Packet& p);
    void OnAllIn(net::Packet& p);
    void OnRoomOptions(net::Packet& p);
    void OnPurchaseResult(net::Packet& p);
    void OnItemUseResult(net::Packet& p);
    void OnCueChanged(net::Packet& p);
    void OnItemValues(net::Packet& p);
    void OnItemCount(net::Packet& p);
    void OnPointsUpdate(net::Packet& p);
    void OnPointTrack(net::Packet& p);
    void OnHighRun(net::Packet& p);
    void OnHandicapChange(net::Packet& p);
    void OnLevelUp(net::Packet& p);
    void OnOwnStats(net::Packet& p);
    void OnOwnCounter(net::Packet& p);
    void OnJackpot(net::Packet& p);
    void OnJackpotBroadcast(net::Packet& p);
    // The own cue becomes the entry's (544 tells the server); the chalk becomes the entry's.
    void ChangeCue(const net::ItemEntry& entry);
    bool SelectChalk(const net::ItemEntry& entry);
    void ShowError(const WString& line1, const WString& line2 = {});

    std::atomic<std::uint64_t> jackpot_{0};
    std::array<table::CueObject*, room::kSeats> seatCues_{};  // under seatLock_
    PurchaseDialog* purchase_ = nullptr;
    std::atomic<bool> hidePurchase_{false};  // a purchase reply came: the window goes at the next frame
    std::vector<std::pair<WString, WString>> pendingErrors_;  // under chatLock_, shown by Render

    // ---- The cue and shop panels, the friend request bar and the wait box (RoomItemPanels.cpp)
public:
    hud::PlayerPanel* ItemStrip() const { return itemStrip_; }
    hud::PlayerInfoPanel* CuePanel() const { return cuePanel_; }
    gui::Button* CueTab() const { return cueTab_; }
    hud::BuyOrGiftDialog* ShopPanel() const { return shopPanel_; }
    gui::Button* FriendBar() const { return friendBar_; }
    gui::InProgressNotice* InProgress() const { return inProgress_; }

private:
    void CreateItemPanels();
    bool OnItemPanelCommand(const gui::CommandEvent& event);
    // Friend requests and the chat line's Tab key (main thread); true when handled.
    bool HandleItemPanelMessage(std::uint32_t code, std::uintptr_t a);
    // Main thread, every frame and on entering: the friend request bar shows, naming the oldest friend
    // request the session holds, while one waits and the messenger asks no question.
    void RefreshFriendBar();
    // A table key (Space, an arrow, Tab while the messenger is hidden) pressed on the chat line while
    // nothing is typed in it: the line gives up the focus, so the key and those after it play.
    bool ChatLineYieldsKey(std::uint32_t code, std::uintptr_t key);
    // Any thread: a purchase or item-use reply came; the wait box goes and the item keys follow.
    void AfterItemReply();
    // Any thread: at the next frame the item strip, the open cue panel and the chalk gauge show the
    // own items as they are now, and the cue tab shows while the own record holds a cue.
    void RefreshItemStrip();
    void FillItemWidgets();
    // The own items' 3D previews of the strip and the two panels (main thread).
    void BuildItemModels(RenderDevice* renderer);
    void ReleaseItemModels();
    // Main thread at the next frame: the player list shows the pot of the gamble game.
    void ShowPot();
    // Main thread at the next frame: the player list's header shows the room's two stake values.
    void ShowStake();

    hud::PlayerPanel* itemStrip_ = nullptr;
    hud::PlayerInfoPanel* cuePanel_ = nullptr;
    hud::BuyOrGiftDialog* shopPanel_ = nullptr;
    gui::Button* cueTab_ = nullptr;
    gui::Button* shopTab_ = nullptr;
    gui::Button* friendBar_ = nullptr;
    gui::InProgressNotice* inProgress_ = nullptr;

    // ---- Item use and the counted items an own shot uses (RoomItemUse.cpp)
public:
    // The entry a use request names: the item strip's choice (kFromItemStrip) or the cue panel's
    // (kFromCuePanel). The panels that hold the choices install it; without one the own selected item
    // and the own cue of the room's game type stand in.
    using ItemSelection = std::function<const net::ItemEntry*(int source)>;
    void SetItemSelection(ItemSelection selection) { itemSelection_ = std::move(selection); }
    // Main thread: message 512 for the chosen entry; false (nothing sent) without one.
    bool SendItemUse(int source);
    // Main thread: the entry chosen in the strip or the cue panel (`source`) of that item type is used:
    // after the level and activation steps a cue becomes the own cue, a chalk the chalk and an effect
    // item is switched on or off.
    void UseItem(std::uint32_t kind, int source);

private:
    struct UseRecord {
        std::uint32_t itemId = 0;
        std::uint64_t serial = 0;
        std::uint32_t value = 0;
    };
    bool HandleItemUseMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b);
    const net::ItemEntry* SelectedForUse(int source);
    // After an own shot: the counted item in use takes the count the table reports; a lowered count
    // adds a record, a count of 0 takes the entry out of the inventory.
    void CountConsumableUse(std::vector<UseRecord>& records);
    // The after-shot records as one packet of 546 messages; nothing is sent without a record.
    void SendUseRecords(const std::vector<UseRecord>& records);
    ItemSelection itemSelection_;
};

}  // namespace scenes

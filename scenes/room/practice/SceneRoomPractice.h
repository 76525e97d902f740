#pragma once
// The practice room: one player alone on a table of the game type chosen in the lobby. Every shot
// runs on the local table world without server turns; when the balls rest the cue comes back
// (free ball placement and 'U', the previous shot again, are the world's own in free practice).
// 'R' watches the last shot again on the replay panel, the item strip and the cue selector switch cues,
// chalks and effect items, and the room hosts the earn-gold mission. "To Lobby" leaves with 1140.
//
// Threads: OnPacket on the dispatch thread reads its message and hands what it changes to the main
// thread through the scene's work queue (run by Render and OnMessage); Update on the update thread;
// everything else on the main thread. The chat list has its own lock; the world locks itself.

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "platform/sys/CriticalSection.h"
#include "scenes/room/TableScene.h"
#include "scenes/room/practice/EarnGoldMission.h"

namespace gui {
class Button;
class ImageWidget;
class InProgressNotice;
class TextLabel;
}  // namespace gui
namespace net {
class Packet;
struct ItemEntry;
}  // namespace net
namespace table {
struct CueObject;
}

namespace scenes {

class EarnGoldRulesDialog;
class HelpWindow;
class EarnGoldStatusPanel;
namespace hud {
class ChalkGauge;
class PlayerInfoPanel;
class PlayerPanel;
class ReplayControlPanel;
}  // namespace hud

struct PracticeChatLine {
    WString text;
    std::uint32_t argb = 0;
    std::uint64_t timeMs = 0;
};

class SceneRoomPractice : public TableScene {
public:
    using SendTap = std::function<void(const net::Packet& packet)>;
    static constexpr std::size_t kMaxChatLines = 200;
    static constexpr int kChatRows = 8;

    SceneRoomPractice();
    ~SceneRoomPractice() override;

    void CreateUI() override;
    void Enter() override;
    int Load3D(ResourceManager* resources, RenderDevice* renderer) override;
    bool BeginLoad() override { return SceneBeginLoad(); }
    void Render(RenderDevice* renderer, bool draw) override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    void Update(std::uint64_t nowMs, std::uint64_t time100us) override;
    int OnPacket(std::uint16_t id, net::Packet* packet) override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void AddChatLine(const WString& text, std::uint32_t argb) override;

    // Runs what the dispatch thread handed to the main thread (Render and OnMessage run it too).
    void RunQueuedWork();

    // ---- For tests ---------------------------------------------------------------------------
    void SetSendTap(SendTap tap) { sendTap_ = std::move(tap); }
    std::vector<PracticeChatLine> ChatLines() const;
    std::size_t FirstShownLine() const;
    const gui::TextLabel* ChatRow(int k) const { return chatLabels_[static_cast<std::size_t>(k)]; }
    const practice::EarnGoldMission& Mission() const { return mission_; }
    EarnGoldRulesDialog* RulesDialog() const { return rules_; }
    EarnGoldStatusPanel* StatusPanel() const { return status_; }
    hud::ReplayControlPanel* Replay() const { return replay_; }
    gui::Button* EarnGoldButton() const { return earnGold_; }
    gui::InProgressNotice* InProgress() const { return inProgress_; }
    hud::ChalkGauge* Gauge() const { return gauge_; }
    hud::PlayerPanel* ItemStrip() const { return strip_; }
    // The key guide of the table's state: the free table's, or the mission's without the keys that move
    // balls by hand (its table is a game's). Only this one shows, while the guide is on.
    gui::ImageWidget* KeyGuide() const { return guideInForce_; }
    hud::PlayerInfoPanel* CueSelector() const { return cueSelector_; }
    const net::ItemEntry* PracticeChalk() const { return practiceChalk_; }
    const net::ItemEntry* CurrentCue() const { return currentCue_; }
    bool GuideShown() const { return guideShown_; }
    bool ReplayShown() const { return replayShown_; }
    std::uint32_t HeldKey() const { return heldKey_; }

private:
    // Scene (SceneRoomPractice.cpp)
    static std::uint32_t RandomSeed();
    void TakeCue(const net::ItemEntry* entry, std::uint16_t item, bool withParts);
    void EndOfShot();
    // The key guide on or off (F2); it stays hidden while the replay panel shows.
    void ShowGuide(bool on);
    // The mission's status panel on or off; the mission's key guide stands below it while it shows.
    void ShowMissionPanel(bool on);
    void ToggleReplay();
    void ReplayLastShot();
    void CloseReplay();
    void LeaveToLobby();
    void LendPracticeChalk();
    void ReturnPracticeChalk();
    void RedrawChat();
    void Queue(std::function<void()> work);
    bool SendMessage(std::uint16_t id, const std::function<void(net::Packet&)>& fill);
    void Notice(const WString& line1, const WString& line2 = {}, const WString& line3 = {});
    void Error(const WString& line1, const WString& line2 = {});
    void PlaySound(int id);

    // Earn-gold mission (PracticeMission.cpp)
    void RequestMission(bool fromLobby);
    void StartMission();
    void CancelMission();
    void JudgeMissionShot();
    void FinishMission();
    void ShowMissionCounters();
    void OnMissionReward(net::Packet& p);
    void OnInstantChargeResult(net::Packet& p);
    void SendInstantCharge();

    // Item use (PracticeItems.cpp)
    void UseItem(std::uint32_t kind, bool fromCueSelector);
    void ChangeCue(net::ItemEntry& entry);
    bool SelectChalk(const net::ItemEntry& entry);
    void ActivateItem(std::uint32_t kind);
    void OnActivateResult(net::Packet& p);

    SendTap sendTap_;

    // Chat, under chatLock_.
    mutable platform::CriticalSection chatLock_;
    std::deque<PracticeChatLine> chat_;
    std::size_t firstShown_ = 0;
    std::atomic<bool> chatDirty_{false};

    // Work for the main thread, under workLock_.
    platform::CriticalSection workLock_;
    std::vector<std::function<void()>> work_;

    // Main thread.
    practice::EarnGoldMission mission_;
    net::ItemEntry* practiceChalk_ = nullptr;
    net::ItemEntry* displacedEntry_ = nullptr;  // the record's own serial-1 entry while the chalk is lent
    std::uint64_t selectionBefore_ = 0;
    const net::ItemEntry* currentCue_ = nullptr;
    table::CueObject* cueObject_ = nullptr;
    bool guideShown_ = true;
    std::atomic<bool> replayShown_{false};
    std::uint32_t heldKey_ = 0;
    bool uiBuilt_ = false;

    gui::ImageWidget* keyGuide_ = nullptr;
    gui::ImageWidget* missionGuide_ = nullptr;
    gui::ImageWidget* guideInForce_ = nullptr;
    hud::PlayerPanel* strip_ = nullptr;
    hud::ChalkGauge* gauge_ = nullptr;
    hud::PlayerInfoPanel* cueSelector_ = nullptr;
    gui::Button* playerInfo_ = nullptr;
    gui::Button* earnGold_ = nullptr;
    gui::Button* messengerButton_ = nullptr;
    gui::Widget* chatBox_ = nullptr;
    std::array<gui::ImageWidget*, kChatRows> chatImages_{};
    std::array<gui::TextLabel*, kChatRows> chatLabels_{};
    EarnGoldRulesDialog* rules_ = nullptr;
    EarnGoldStatusPanel* status_ = nullptr;
    hud::ReplayControlPanel* replay_ = nullptr;
    std::uint32_t replayTick_ = 0;  // update thread
    gui::InProgressNotice* inProgress_ = nullptr;
    HelpWindow* help_ = nullptr;
};

}  // namespace scenes

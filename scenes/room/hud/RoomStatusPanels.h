#pragma once
// The small passive displays of the game room: the jackpot amount with the point rule of the game
// type, the point track of the seat (20 numbered cells with a blinking current-cell marker), the
// jackpot win banner (five seconds) and the shooter's name over a seat (two seconds). The room
// creates them and feeds them from its message handlers.
//
// Main thread: set-up and the setters; update thread: Tick under the scene manager's widget lock.

#include <array>
#include <cstdint>
#include <functional>

#include "gui/ImageWidget.h"
#include "gui/TextLabel.h"

namespace gui {
class NumberDisplay;
}

namespace scenes {

class SceneHost;

namespace hud {

// The point rule of a game type: `points` for every `step` balls (or hits).
struct PointRule {
    int step = 1;
    int points = 0;
};
PointRule PointRuleOf(int gameType);
// The cells between two highlighted cells of the point track.
int TrackStep(int gameType);

class RoomStatusPanel : public gui::ImageWidget {
public:
    bool Create(int x, int y, int w = 2, int h = 2, std::uint32_t id = 0, std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    // The rule of the game type; option 1 counts hits, any other steps.
    void SetPointRule(int gameType, int ruleOption);
    void ShowRuleImage(bool show);
    void ShowAmountImage(bool show);
    void SetAmount(std::int64_t amount);

    const PointRule& Rule() const { return rule_; }
    gui::TextLabel* RuleLabel() const { return ruleLabel_; }
    gui::NumberDisplay* Amount() const { return amount_; }
    gui::ImageWidget* AmountImage() const { return amountImage_; }
    gui::ImageWidget* RuleImage() const { return ruleImage_; }

private:
    PointRule rule_;
    gui::ImageWidget* amountImage_ = nullptr;
    gui::ImageWidget* ruleImage_ = nullptr;
    gui::NumberDisplay* amount_ = nullptr;
    gui::TextLabel* ruleLabel_ = nullptr;
};

class SeatInfoPanel : public gui::ImageWidget {
public:
    static constexpr int kCells = 20;
    static constexpr int kCellSize = 32;
    static constexpr int kJackpotSound = 41;

    SeatInfoPanel();
    bool Create(int x, int y, int w = 2, int h = 2, std::uint32_t id = 0, std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    // The point track the server sent: highlights every step-th cell up to the position (mode 2),
    // the multiplier beside the position and the three markers.
    void SetTrack(int gameType, int mode, int position, int multiplier, int secondMarker, int thirdMarker);
    void SetCurrentCell(int cell);
    void HideJackpotMarker();
    // Every second call: the current-cell marker pulses once a second.
    void Tick(std::uint64_t nowMs) override;

    int Mode() const { return mode_; }
    int Position() const { return position_; }
    int CurrentCell() const { return currentCell_; }
    gui::ImageWidget* Highlight(int cell) const { return highlights_[cell]; }
    gui::ImageWidget* Marker(int which) const { return markers_[which]; }
    gui::ImageWidget* CurrentMarker() const { return currentMarker_; }
    gui::TextLabel* MultiplierLabel() const { return multiplier_; }

    // Plays a sound by id at a volume; by default nothing (the room routes it to its sound manager).
    std::function<void(int, float)> playSound;

private:
    int mode_ = 0;
    int position_ = 0;
    int secondPosition_ = 0;
    int currentCell_ = 0;
    std::uint32_t ticks_ = 0;
    std::array<gui::ImageWidget*, kCells> highlights_{};
    std::array<gui::ImageWidget*, 3> markers_{};
    gui::ImageWidget* currentMarker_ = nullptr;
    gui::TextLabel* multiplier_ = nullptr;
};

class JackpotBanner : public gui::ImageWidget {
public:
    static constexpr std::uint64_t kShownMs = 5000;

    bool Create(int x, int y, int w = 222, int h = 142, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    // Shows the banner from now with the amount (thousands separated) and the winner's text.
    void Show(std::int64_t amount, const WString& winner);
    bool OnCommand(const gui::CommandEvent& event) override;
    void Tick(std::uint64_t nowMs) override;

    gui::TextLabel* WinnerLabel() const { return winner_; }
    gui::TextLabel* AmountLabel() const { return amount_; }

private:
    using gui::Widget::Show;
    std::uint64_t shownMs_ = 0;
    gui::TextLabel* winner_ = nullptr;
    gui::TextLabel* amount_ = nullptr;
};

// The name of the player whose turn begins, over his seat for two seconds.
class TurnTimer : public gui::TextLabel {
public:
    static constexpr std::uint64_t kShownMs = 2000;

    bool Create(int x, int y, int w = 120, int h = 20, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    // Takes the time it was shown from the clock.
    void OnShow() override;
    void Tick(std::uint64_t nowMs) override;

private:
    std::uint64_t shownMs_ = 0;
};

}  // namespace hud
}  // namespace scenes

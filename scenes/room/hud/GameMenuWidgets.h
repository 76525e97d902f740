#pragma once
// The smaller widgets of the game room: the in-game menu, the game clock and the turn countdown,
// the score board of a timed game, the floating gain popups, the withdraw question and the notice
// of the one-hour limit. The room feeds them every frame or from its handlers; their buttons reach
// the room as application messages or as commands of its own.

#include <array>
#include <cstdint>
#include <functional>

#include "gui/Dialog.h"
#include "gui/ImageWidget.h"
#include "scenes/room/hud/RoomWidgetCodes.h"

namespace gui {
class Button;
class NumberDisplay;
class TextLabel;
}  // namespace gui
namespace net {
class PlayerRecord;
}

namespace scenes {

class SceneHost;

namespace hud {

class InGameMenu : public gui::Dialog {
public:
    static constexpr int kItems = 5;
    explicit InGameMenu(SceneHost* host);
    bool Create(int x, int y, int w = 185, int h = 226, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Dialog::Create;
    bool OnCommand(const gui::CommandEvent& event) override;
    gui::Button* Item(int index) const { return items_[static_cast<std::size_t>(index)]; }

private:
    SceneHost* host_;
    std::array<gui::Button*, kItems> items_{};
};

// Hours and minutes since the game started, with a colon that blinks each second.
class GameClock : public gui::Widget {
public:
    bool Create(int x, int y, int w = 113, int h = 24, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;
    void SetTime(std::uint64_t ms);
    gui::NumberDisplay* Hours() const { return hours_; }
    gui::NumberDisplay* Minutes() const { return minutes_; }
    gui::ImageWidget* Colon() const { return colon_; }

private:
    gui::ImageWidget* colon_ = nullptr;
    gui::NumberDisplay* hours_ = nullptr;
    gui::NumberDisplay* minutes_ = nullptr;
};

// The seconds left in the turn; the last nine tick and flash a warning.
class TurnCountdown : public gui::Widget {
public:
    static constexpr int kWarnBelow = 10;
    TurnCountdown();
    bool Create(int x, int y, int w = 87, int h = 42, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;
    void SetLimit(int seconds);
    // Called every frame with the whole seconds gone in the turn.
    void Update(int elapsedSeconds);
    void Tick(std::uint64_t nowMs) override;
    int Left() const { return left_; }
    int Limit() const { return limit_; }
    gui::ImageWidget* Warning() const { return warning_; }
    gui::NumberDisplay* Seconds() const { return seconds_; }
    // Plays a sound by id; the room routes it to its sound player.
    std::function<void(int)> playSound;

private:
    int limit_ = 0;
    int left_ = 0;
    int previous_ = 0;
    std::uint32_t tickCount_ = 0;
    gui::ImageWidget* warning_ = nullptr;
    gui::NumberDisplay* seconds_ = nullptr;
};

// Time left of a fifteen-minute game, points, innings and the average per inning.
class ScoreBoard : public gui::ImageWidget {
public:
    static constexpr std::int64_t kGameMs = 900000;
    bool Create(int x, int y, int w = 188, int h = 99, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::ImageWidget::Create;
    void SetTime(std::int64_t ms);
    void SetScore(int innings, int points);
    // On entering the room: no values, the button hidden, the clock at 15:00.
    void ResetForRoom();
    // At the start of a game: the button shown, one inning, no points.
    void ResetForGame();
    // The button ends the timed game: 2084 with 0.
    bool OnCommand(const gui::CommandEvent& event) override;
    gui::Button* EndButton() const { return button_; }
    RoomSender send;
    gui::NumberDisplay* Minutes() const { return minutes_; }
    gui::NumberDisplay* Seconds() const { return seconds_; }
    gui::ImageWidget* Colon() const { return colon_; }
    gui::TextLabel* Points() const { return points_; }
    gui::TextLabel* Innings() const { return innings_; }
    gui::TextLabel* Average() const { return average_; }

private:
    gui::ImageWidget* colon_ = nullptr;
    gui::NumberDisplay* minutes_ = nullptr;
    gui::NumberDisplay* seconds_ = nullptr;
    gui::TextLabel* points_ = nullptr;
    gui::TextLabel* innings_ = nullptr;
    gui::TextLabel* average_ = nullptr;
    gui::Button* button_ = nullptr;
};

// A gain that rises from where it was scored and fades away.
class FloatingGain : public gui::ImageWidget {
public:
    // `plusSign`: positive values read "+..."; `icon`: a picture behind the text.
    FloatingGain(bool plusSign, bool icon);
    bool Create(int x, int y, int w = 95, int h = 74, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::ImageWidget::Create;
    void Show(std::int64_t value, const WString& text, int x, int y, std::uint32_t argb);
    using gui::ImageWidget::Show;
    void Tick(std::uint64_t nowMs) override;
    gui::TextLabel* Label() const { return label_; }
    float Rise() const { return rise_; }
    std::int64_t Value() const { return value_; }

private:
    bool plusSign_;
    bool icon_;
    std::int64_t value_ = 0;
    float rise_ = 0.0f;
    float fade_ = 1.0f;
    int baseX_ = 0, baseY_ = 0;
    gui::TextLabel* label_ = nullptr;
};

// Asks the opponent of a player who has run past the turn limit whether to end the game by
// withdrawal: Yes sends the answer (2040) with the player's seat and serial, No only closes.
class WithdrawQuestion : public gui::Dialog {
public:
    WithdrawQuestion();
    bool Create(int x = 200, int y = 200, int w = 400, int h = 250, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Dialog::Create;
    void SetPlayer(const net::PlayerRecord& record, int turnCount);
    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    gui::TextLabel* Line(int index) const { return lines_[static_cast<std::size_t>(index)]; }
    RoomSender send;
    std::uint64_t PlayerId() const { return playerId_; }
    int Seat() const { return seat_; }
    int TurnCount() const { return turns_; }

private:
    std::array<gui::TextLabel*, 3> lines_{};
    WString nickname_;
    std::uint64_t playerId_ = 0;
    int seat_ = 0;
    int turns_ = 0;
};

class OneHourLimitNotice : public gui::Dialog {
public:
    explicit OneHourLimitNotice(SceneHost* host);
    bool Create(int x = 200, int y = 200, int w = 400, int h = 250, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Dialog::Create;
    bool OnCommand(const gui::CommandEvent& event) override;
    gui::TextLabel* Line(int index) const { return lines_[static_cast<std::size_t>(index)]; }

private:
    SceneHost* host_;
    std::array<gui::TextLabel*, 3> lines_{};
};

}  // namespace hud
}  // namespace scenes

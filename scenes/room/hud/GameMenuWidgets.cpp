#include "scenes/room/hud/GameMenuWidgets.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/sound/SoundManager.h"
#include "gui/Button.h"
#include "gui/NumberDisplay.h"
#include "gui/TextLabel.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/HudImages.h"
#include "scenes/room/hud/HudMarks.h"
#include "scenes/room/hud/RoomWidgetCodes.h"

namespace scenes::hud {

namespace {
constexpr int kDigitSize = 14;
constexpr gui::UiImage kColon{images::kFlatSet, 0, 0, 3, 14};
constexpr gui::UiImage kWarning = gui::atlas::InSet(gui::atlas::kTurnWarning, images::kHudSet);
constexpr gui::UiImage kGainIcon{images::kFlatSet, 0, 0, 95, 74};
constexpr gui::UiImage kSmallButton = images::kButton;

gui::ImageWidget* AddColon(gui::Widget& parent, int x, int y) {
    auto* colon = parent.Make<ColonMark>();
    colon->Create(x, y, kColon.w, kColon.h);
    colon->SetImage(kColon);
    return colon;
}

gui::NumberDisplay* AddDigits(gui::Widget& parent, int x, int y, bool leadingZeros) {
    auto* digits = parent.Make<gui::NumberDisplay>();
    digits->Create(x, y, kDigitSize, kDigitSize, 2, gui::atlas::InSet(gui::atlas::kDigits, images::kHudSet),
                   gui::atlas::kDigitCells);
    digits->SetLeadingZeros(leadingZeros);
    digits->Show(true);
    return digits;
}

gui::Button* AddCaptionButton(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t id,
                              std::uint32_t hotkey, const WString& caption) {
    gui::Button* b = parent.AddButton(x, y, w, h, id, hotkey, kSmallButton);
    b->SetFrameCount(gui::atlas::kTextButtonFrames);
    b->SetCaption(caption);
    b->SetCaptionFont(gui::kFont12Bold);
    return b;
}

// A box's centred caption and its three lines of text from `firstY` on.
std::array<gui::TextLabel*, 3> AddTextBox(gui::Widget& box, const WString& caption, int firstY,
                                          int lineWidth) {
    gui::TextLabel* title = box.AddLabel(14, 7, box.Width() - 28, 20, gui::kFont16Bold);
    title->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
    title->SetPlainText(caption);
    std::array<gui::TextLabel*, 3> lines{};
    for (int i = 0; i < 3; ++i)
        lines[static_cast<std::size_t>(i)] =
            box.AddLabel(18, firstY + 24 * i, lineWidth, 20, gui::kFont14Bold);
    return lines;
}

// A clock colon shows in the first half of every second.
bool ColonOn(std::int64_t ms) {
    return ((ms % 1000) + 1000) % 1000 < 500;
}
}  // namespace

// ---- In-game menu ----------------------------------------------------------------------------------

InGameMenu::InGameMenu(SceneHost* host) : host_(host) {
    SetImage(images::kPanel);
    SetPopupStyle(true);
}

bool InGameMenu::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Dialog::Create(x, y, w, h, id, hotkey);
    static constexpr const char16_t* kCaptions[kItems] = {u"Help(F1)", u"Report bad", u"Withdraw",
                                                          u"Setting(F3)", u"Close"};
    static constexpr std::uint32_t kKeys[kItems] = {room_key::kF1, 0, 0, room_key::kF3, room_key::kEscape};
    for (int i = 0; i < kItems; ++i)
        items_[static_cast<std::size_t>(i)] =
            AddCaptionButton(*this, 50, 70 + 23 * i, 86, 20, static_cast<std::uint32_t>(i),
                             kKeys[static_cast<std::size_t>(i)], kCaptions[static_cast<std::size_t>(i)]);
    SetVisible(false);
    return true;
}

bool InGameMenu::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || event.id >= kItems) return false;
    if (event.source && event.source != items_[event.id]) return false;
    Show(false);
    const auto post = [this](std::uint32_t code) {
        if (host_) host_->PostUiMessage(code, 0, 0, 0);
    };
    switch (event.id) {
        case 0:
            post(room_message::kHelp);
            break;
        case 1:
            if (host_) host_->ShowNotice(nullptr, kNotAllowedNow);
            break;
        case 2:
            post(room_message::kWithdraw);
            break;
        case 3:
            post(room_message::kSettings);
            break;
        default:
            break;
    }
    return true;
}

// ---- Clocks ----------------------------------------------------------------------------------------

bool GameClock::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    colon_ = AddColon(*this, 54, 2);
    hours_ = AddDigits(*this, 23, 5, false);
    minutes_ = AddDigits(*this, 62, 5, true);
    SetTime(0);
    return true;
}

void GameClock::SetTime(std::uint64_t ms) {
    colon_->Show(ms % 1000 < 500);
    hours_->SetValue(static_cast<std::int64_t>(ms / 3600000));
    minutes_->SetValue(static_cast<std::int64_t>((ms / 60000) % 60));
}

TurnCountdown::TurnCountdown() {
    playSound = [](int) {};
}

bool TurnCountdown::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    warning_ = AddImage(0, 0, 36, 42, kWarning);
    warning_->Show(false);
    warning_->SetAlpha(0.0f);
    seconds_ = AddDigits(*this, 38, 17, false);
    return true;
}

void TurnCountdown::SetLimit(int seconds) {
    limit_ = left_ = previous_ = seconds;
    if (seconds_) seconds_->SetValue(std::max(0, seconds));
}

void TurnCountdown::Update(int elapsedSeconds) {
    int left = limit_ - elapsedSeconds;
    // One tick a second through the last nine seconds; none at zero.
    if (left != previous_ && left >= 1 && left < kWarnBelow && playSound)
        playSound(room_sound::kCountdownTick);
    left = std::max(0, left);
    left_ = left;
    if (seconds_) seconds_->SetValue(left);
    if (warning_) warning_->Show(left < kWarnBelow);
    previous_ = left;
}

void TurnCountdown::Tick(std::uint64_t nowMs) {
    gui::Widget::Tick(nowMs);
    if (++tickCount_ % 4 != 0 || !warning_) return;
    // A double flash every one and a half seconds.
    const std::uint64_t t = nowMs % 1500;
    const bool on = left_ < kWarnBelow && (t < 200 || (t >= 400 && t < 600));
    warning_->SetAlpha(on ? 1.0f : 0.0f);
}

// ---- Score board -----------------------------------------------------------------------------------

bool ScoreBoard::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::ImageWidget::Create(x, y, w, h, id, hotkey);
    SetImage(images::kPanel);
    static constexpr const char16_t* kCaptions[] = {u"Time", u"Point", u"Inning", u"Average"};
    for (int i = 0; i < 4; ++i) {
        gui::TextLabel* caption = AddLabel(15, 30 + 16 * i, 80, 16, gui::kFont12Bold);
        caption->SetColors(colour::kYellow, colour::kBlack);
        caption->SetPlainText(kCaptions[i]);
    }
    points_ = AddLabel(104, 46, 80, 16, gui::kFont12Bold);
    innings_ = AddLabel(104, 62, 80, 16, gui::kFont12Bold);
    average_ = AddLabel(104, 78, 80, 16, gui::kFont12Bold);
    colon_ = AddColon(*this, 126, 25);
    minutes_ = AddDigits(*this, 96, 27, false);
    seconds_ = AddDigits(*this, 134, 27, true);
    button_ = AddButton(125, 102, 55, 19, room_control::kScoreBoardButton, 0, kSmallButton);
    button_->SetFrameCount(gui::atlas::kTextButtonFrames);
    SetTime(0);
    SetScore(0, 0);
    return true;
}

void ScoreBoard::SetTime(std::int64_t ms) {
    const std::int64_t remaining = ms >= 0 && ms <= kGameMs ? kGameMs - ms : 0;
    colon_->Show(ColonOn(ms));
    minutes_->SetValue((remaining / 60000) % 60);
    seconds_->SetValue((remaining / 1000) % 60);
}

void ScoreBoard::SetScore(int innings, int points) {
    innings_->SetText(u"%d", innings);
    points_->SetText(u"%d pts", points);
    average_->SetText(u"%.1f", innings < 1 ? 0.0 : static_cast<double>(points) / innings);
}

void ScoreBoard::ResetForRoom() {
    button_->Show(false);
    for (gui::TextLabel* label : {points_, innings_, average_}) label->SetPlainText({});
    colon_->Show(true);
    minutes_->SetValue(15);
    seconds_->SetValue(0);
}

void ScoreBoard::ResetForGame() {
    button_->Show(true);
    SetScore(1, 0);
}

bool ScoreBoard::OnCommand(const gui::CommandEvent& event) {
    if (event.id != room_control::kScoreBoardButton || event.code != gui::CommandCode::Event) return false;
    if (send) send(room_send::kTimeLimit, [](net::Packet& p) { p.WriteU8(0); });
    return true;
}

// ---- Floating gain ---------------------------------------------------------------------------------

FloatingGain::FloatingGain(bool plusSign, bool icon) : plusSign_(plusSign), icon_(icon) {}

bool FloatingGain::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::ImageWidget::Create(x, y, w, h, id, hotkey);
    if (icon_) SetImage(kGainIcon);
    SetHitArea(0, 0, 0, 0);  // it floats over the table without taking its clicks
    label_ = AddLabel(0, 36, 95, 20, gui::kFont16BoldExtra);
    label_->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
    label_->SetColors(colour::kYellow, colour::kBlack);
    label_->SetStyle(gui::label_style::kOutline);
    SetVisible(false);
    return true;
}

void FloatingGain::Show(std::int64_t value, const WString& text, int x, int y, std::uint32_t argb) {
    value_ = value;
    rise_ = 0.0f;
    fade_ = 1.0f;
    SetAlpha(fade_);
    label_->SetText(value > 0 && plusSign_ ? u"+%s %s" : u"%s %s", FormatNumber(value), text);
    label_->SetColors(argb, colour::kBlack);
    baseX_ = x;
    baseY_ = y;
    MoveTo(x, y);
    gui::ImageWidget::Show(true);
}

void FloatingGain::Tick(std::uint64_t nowMs) {
    gui::ImageWidget::Tick(nowMs);
    if (!IsVisible()) return;
    rise_ += 0.6f;
    fade_ -= 0.006f;
    if (fade_ < 0.5f) fade_ -= 0.006f;
    SetAlpha(fade_);
    MoveTo(baseX_, baseY_ - static_cast<int>(std::lround(rise_)));
    if (fade_ < 0.0f) gui::ImageWidget::Show(false);
}

// ---- Withdraw question and one-hour notice -----------------------------------------------------------

WithdrawQuestion::WithdrawQuestion() {
    SetImage(images::kPanel);
    SetSounds(room_sound::kDialogOpen, 0);
}

bool WithdrawQuestion::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Dialog::Create(x, y, w, h, id, hotkey);
    lines_ = AddTextBox(*this, u"Question", 60, 360);
    AddCaptionButton(*this, 77, 200, 85, 32, room_control::kWithdrawYes, room_key::kReturn, u"Yes");
    AddCaptionButton(*this, 237, 200, 85, 32, room_control::kWithdrawNo, room_key::kEscape, u"No");
    SetVisible(false);
    return true;
}

void WithdrawQuestion::SetPlayer(const net::PlayerRecord& record, int turnCount) {
    nickname_ = record.nickname;
    playerId_ = record.playerId;
    seat_ = record.game.gameSlot;
    turns_ = turnCount;
}

void WithdrawQuestion::OnShow() {
    gui::Dialog::OnShow();
    lines_[0]->SetText(u"%s has exceeded a total of %d turns.", nickname_, turns_);
    lines_[1]->SetPlainText(u"You can choose to lose opponent by withdrawal");
    lines_[2]->SetPlainText(u"Do you want to quit this game?");
}

bool WithdrawQuestion::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    if (event.id == room_control::kWithdrawYes) {
        const auto seat = static_cast<std::uint8_t>(seat_);
        const std::uint64_t serial = playerId_;
        if (send)
            send(room_send::kWithdrawAnswer,
                 [&](net::Packet& p) { p.WriteU8(1).WriteU8(seat).WriteU64(serial); });
        Show(false);
        return true;
    }
    if (event.id == room_control::kWithdrawNo) {
        Show(false);
        return true;
    }
    return false;
}

OneHourLimitNotice::OneHourLimitNotice(SceneHost* host) : host_(host) {
    SetImage(images::kPanel);
    SetSounds(room_sound::kDialogOpen, 0);
}

bool OneHourLimitNotice::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Dialog::Create(x, y, w, h, id, hotkey);
    lines_ = AddTextBox(*this, u"Notice", 52, 375);
    lines_[0]->SetPlainText(u"The game will be ended as it has exceeded the time limit of an hour.");
    AddCaptionButton(*this, 157, 200, 85, 32, room_control::kHourLimitOk, room_key::kReturn, u"OK");
    SetVisible(false);
    return true;
}

bool OneHourLimitNotice::OnCommand(const gui::CommandEvent& event) {
    if (event.id != room_control::kHourLimitOk || event.code != gui::CommandCode::Event) return false;
    if (host_) host_->PostUiMessage(room_message::kHourLimitSeen, 0, 0, 0);
    Show(false);
    return true;
}

}  // namespace scenes::hud

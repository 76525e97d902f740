#include "scenes/room/hud/RoomStatusPanels.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "gui/NumberDisplay.h"
#include "platform/sys/Clock.h"
#include "scenes/room/hud/HudImages.h"

namespace scenes::hud {

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWinnerGreen = 0xFF80FF80;
constexpr int kMarkerSize = 38;
constexpr int kAmountDigits = 8;
constexpr float kMarkerMaxAlpha = 0.9f;
constexpr int kBlinkPeriodMs = 1000;

// Pictures of the status widgets: the frames of set 15, the rest drawn flat at their size.
constexpr gui::UiImage kAmountBack{images::kFlatSet, 0, 0, 172, 40};
constexpr gui::UiImage kRuleBack{images::kFlatSet, 0, 0, 149, 40};
constexpr gui::UiImage kCell{images::kFlatSet, 0, 0, 32, 32};
constexpr gui::UiImage kCellLit{images::kFlatSet, 32, 0, 32, 32};
constexpr gui::UiImage kCellMarker{images::kFlatSet, 64, 0, 32, 32};
constexpr gui::UiImage kTrackMarker{images::kFlatSet, 96, 0, kMarkerSize, kMarkerSize};
constexpr gui::UiImage kBanner{images::kFlatSet, 0, 40, 222, 142};
constexpr gui::UiImage kPanelFrame = images::kPanel;

gui::TextLabel* CentredLabel(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t text,
                             std::uint32_t second) {
    gui::TextLabel* label = parent.AddLabel(x, y, w, h, gui::kFont12Bold, gui::label_style::kShadow);
    label->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
    label->SetColors(text, second);
    return label;
}

}  // namespace

PointRule PointRuleOf(int gameType) {
    switch (gameType) {
        case 0:
        case 10:
        case 12:
            return {3, 1};
        case 3:
            return {3, 2};
        case 13:
            return {5, 1};
        default:
            return {1, 0};
    }
}

int TrackStep(int gameType) {
    switch (gameType) {
        case 0:
        case 3:
        case 10:
        case 12:
            return 3;
        case 13:
            return 5;
        default:
            return 1;
    }
}

// ---- RoomStatusPanel -------------------------------------------------------------------------------

bool RoomStatusPanel::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    SetImage(kPanelFrame);
    amountImage_ = AddImage(0, 0, 172, 40, kAmountBack);
    amount_ = amountImage_->Make<gui::NumberDisplay>();
    amount_->Create(135, 18, 14, 14, kAmountDigits, gui::atlas::kDigits, gui::atlas::kDigitCells);
    amount_->SetAlign(gui::align::kLeft);
    amount_->SetValue(0);
    amount_->Show(true);
    ruleImage_ = AddImage(25, 35, 149, 40, kRuleBack);
    ruleLabel_ = ruleImage_->AddLabel(50, 21, 120, 20, gui::kFont12);
    SetPointRule(-1, 0);
    return true;
}

void RoomStatusPanel::SetPointRule(int gameType, int ruleOption) {
    rule_ = PointRuleOf(gameType);
    if (!ruleLabel_) return;
    ruleLabel_->SetText(ruleOption == 1 ? u"%dpts each %dhit" : u"%dpts each %dstep", rule_.points,
                        rule_.step);
}

void RoomStatusPanel::ShowRuleImage(bool show) {
    if (ruleImage_) ruleImage_->Show(show);
}

void RoomStatusPanel::ShowAmountImage(bool show) {
    if (amountImage_) amountImage_->Show(show);
}

void RoomStatusPanel::SetAmount(std::int64_t amount) {
    if (amount_) amount_->SetValue(amount);
}

// ---- SeatInfoPanel ---------------------------------------------------------------------------------

SeatInfoPanel::SeatInfoPanel() {
    playSound = [](int, float) {};
}

bool SeatInfoPanel::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    SetImage(kPanelFrame);
    for (int k = 0; k < kCells; ++k) {
        AddImage(kCellSize * k, 0, kCellSize, kCellSize, kCell);
        highlights_[k] = AddImage(kCellSize * k, 0, kCellSize, kCellSize, kCellLit);
        highlights_[k]->Show(false);
        gui::TextLabel* number = CentredLabel(*this, kCellSize * k + 4, 11, 22, 20, 0xFFFFFFFF, kBlue);
        number->SetText(u"%d", k);
    }
    currentMarker_ = AddImage(0, 0, kCellSize, kCellSize, kCellMarker);
    for (int m = 0; m < 3; ++m) {
        markers_[m] = AddImage(0, 0, kMarkerSize, kMarkerSize, kTrackMarker);
        markers_[m]->Show(m == 0);
    }
    for (int k = 0; k < 2; ++k) AddImage(0, 0, kCellSize, kCellSize, kCell)->Show(false);
    multiplier_ = AddLabel(5, 0, 30, 20, gui::kFont12Bold);
    multiplier_->SetColors(kRed, 0xFFFFFF00);
    return true;
}

void SeatInfoPanel::SetTrack(int gameType, int mode, int position, int multiplier, int secondMarker,
                             int thirdMarker) {
    mode_ = mode;
    position_ = position;
    secondPosition_ = secondMarker;
    const int step = TrackStep(gameType);
    for (gui::ImageWidget* highlight : highlights_)
        if (highlight) highlight->Show(false);
    // The position comes from the server: only cells of the track light up.
    if (mode == 2 && position >= 1)
        for (int k = 1; k <= std::min(position, kCells - 1); ++k)
            if (k % step == 0 && highlights_[k]) highlights_[k]->Show(true);
    if (multiplier_) {
        multiplier_->SetText(u"x%d", multiplier);
        multiplier_->MoveTo(kCellSize * position + 2, 9);
    }
    const int at[3] = {position, secondMarker, thirdMarker};
    for (int m = 0; m < 3; ++m) {
        if (!markers_[m]) continue;
        markers_[m]->MoveTo(kCellSize * at[m] - 3, -3);
        markers_[m]->Show(at[m] >= 1);
    }
}

void SeatInfoPanel::SetCurrentCell(int cell) {
    currentCell_ = cell;
    if (currentMarker_) currentMarker_->MoveTo(kCellSize * cell, 0);
}

void SeatInfoPanel::HideJackpotMarker() {
    if (markers_[1]) markers_[1]->Show(false);
    playSound(kJackpotSound, 1.0f);
}

void SeatInfoPanel::Tick(std::uint64_t nowMs) {
    gui::ImageWidget::Tick(nowMs);
    if (++ticks_ % 2 != 0 || !currentMarker_) return;
    const int half = kBlinkPeriodMs / 2;
    const int t = static_cast<int>(nowMs % kBlinkPeriodMs);
    const float a = t < half ? static_cast<float>(t) / half : static_cast<float>(kBlinkPeriodMs - t) / half;
    currentMarker_->SetAlpha(std::min(a, kMarkerMaxAlpha));
}

// ---- JackpotBanner ---------------------------------------------------------------------------------

bool JackpotBanner::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    SetImage(kBanner);
    winner_ = CentredLabel(*this, 40, 55, 210, 20, kWinnerGreen, 0xFF000000);
    amount_ = CentredLabel(*this, 40, 75, 210, 20, 0xFFFFFF00, 0xFF000000);
    SetVisible(false);
    return true;
}

void JackpotBanner::Show(std::int64_t amount, const WString& winner) {
    shownMs_ = platform::NowMs();
    if (amount_) amount_->SetPlainText(FormatNumber(amount));
    if (winner_) winner_->SetPlainText(winner);
    gui::Widget::Show(true);
}

bool JackpotBanner::OnCommand(const gui::CommandEvent&) {
    return true;
}

void JackpotBanner::Tick(std::uint64_t nowMs) {
    gui::ImageWidget::Tick(nowMs);
    if (nowMs > shownMs_ + kShownMs) SetVisible(false);
}

// ---- TurnTimer -------------------------------------------------------------------------------------

bool TurnTimer::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    SetFont(gui::kFont12Bold);
    SetStyle(gui::label_style::kShadow);
    return true;
}

void TurnTimer::OnShow() {
    shownMs_ = platform::NowMs();
}

void TurnTimer::Tick(std::uint64_t nowMs) {
    gui::TextLabel::Tick(nowMs);
    if (nowMs > shownMs_ + kShownMs) SetVisible(false);
}

}  // namespace scenes::hud

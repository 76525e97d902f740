#include "scenes/room/hud/StartReadyButton.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "net/GameSession.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/HudImages.h"
#include "scenes/room/hud/HudMarks.h"
#include "scenes/room/hud/RoomWidgetCodes.h"

namespace scenes::hud {

namespace {
constexpr int kRightMargin = 370, kBottomMargin = 80;
constexpr std::uint16_t kTournamentChannel = 8;
constexpr gui::UiImage kTeamButton = gui::atlas::InSet(gui::atlas::kRadioButton, images::kHudSet);
constexpr gui::UiImage kBigButton = images::kButton;
constexpr gui::UiImage kHighlight{images::kFlatSet, 0, 0, 232, 170};
constexpr int kStartGlowW = 124, kStartGlowH = 67;  // just round the 112 x 55 start button
}  // namespace

StartReadyButton::StartReadyButton(SceneHost* host) : host_(host) {
    roomSource = [this]() {
        net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
        return session ? session->GetRoom() : net::RoomInfo{};
    };
}

bool StartReadyButton::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::ImageWidget::Create(x, y, w, h, id, hotkey);
    // Positions 0..5 are teams 1..6, position 6 watches.
    for (int position = 0; position < kTeamCount; ++position) {
        const int index = position == kTeamCount - 1 ? 0 : position + 1;
        gui::Button* b =
            AddButton(32 * position, 8, 36, 36,
                      room_control::kWatchButton + static_cast<std::uint32_t>(index), 0, kTeamButton);
        b->SetRadioMode(0);
        b->SetFrameCount(gui::Button::kMaxFrames);
        b->SetCaption(index == 0 ? WString(u"W") : Format(u"%d", index));
        teams_[static_cast<std::size_t>(index)] = b;
    }
    start_ = AddButton(240, -2, 112, 55, room_control::kStart, room_key::kF5, kBigButton);
    start_->SetFrameCount(gui::atlas::kTextButtonFrames);
    start_->SetCaption(u"Start");
    start_->SetTooltip(u"Start(F5)");
    start_->SetEnabled(false);
    start_->Show(false);
    ready_ = AddButton(240, -2, 112, 55, room_control::kReady, room_key::kF5, kBigButton);
    ready_->SetFrameCount(gui::atlas::kTextButtonFrames);
    ready_->SetCaption(u"Ready");
    ready_->SetTooltip(u"Ready(F5)");
    ready_->SetToggleMode(true);
    highlight_ = Make<RingMark>(kStartGlowW, kStartGlowH);
    highlight_->Create(176, -62, 232, 170);
    highlight_->SetImage(kHighlight);
    highlight_->Show(false);
    highlight_->SetHitArea(0, 0, 0, 0);  // it only draws the eye: clicks reach the buttons under it
    return true;
}

void StartReadyButton::Resize(int width, int height) {
    MoveTo(width - kRightMargin, height - kBottomMargin);
}

void StartReadyButton::ShowHighlight(bool on) {
    highlight_->Show(on);
}

void StartReadyButton::CheckOnly(int index) {
    for (int i = 0; i < kTeamCount; ++i) teams_[static_cast<std::size_t>(i)]->SetChecked(i == index);
}

void StartReadyButton::Refresh(bool uncheck) {
    if (!ownMaster_) {
        start_->Show(false);
        ready_->Show(true);
        if (uncheck) ready_->SetChecked(false);
        if (selected_ > 0) ShowHighlight(!ready_->IsChecked());
        if (selected_ == 0) ready_->SetEnabled(false);
        return;
    }
    start_->Show(true);
    start_->SetChecked(false);
    ready_->Show(false);
    ShowHighlight(false);
}

void StartReadyButton::SetStartEnabled(bool enabled) {
    start_->SetEnabled(enabled);
    ShowHighlight(enabled);
}

void StartReadyButton::SetTeam(int index) {
    if (index < 0 || index >= kTeamCount) return;
    selected_ = index;
    CheckOnly(index);
    if (ready_->IsVisible()) {
        ready_->SetChecked(false);
        ready_->SetEnabled(index != 0);
        ShowHighlight(index != 0);
    }
    if (index == 0)
        for (gui::Button* b : teams_) b->SetEnabled(true);
}

void StartReadyButton::RefreshTeams() {
    ready_->SetEnabled(selected_ > 0);
    CheckOnly(selected_);
    if (selected_ > 0 && ready_->IsVisible()) ShowHighlight(!ready_->IsChecked());
}

void StartReadyButton::EnterGame() {
    inGame_ = true;
    ready_->SetChecked(false);
    for (gui::Button* b : teams_) b->SetEnabled(true);
    Show(false);
    ShowHighlight(false);
}

void StartReadyButton::LeaveGame() {
    inGame_ = false;
    start_->SetEnabled(false);
    ShowHighlight(false);
}

void StartReadyButton::EnableAll() {
    for (gui::Button* b : teams_) b->SetEnabled(true);
    ready_->SetEnabled(true);
}

bool StartReadyButton::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    const auto post = [this](std::uint32_t code, std::uint32_t a) {
        if (host_) host_->PostUiMessage(code, a, 0, 0);
    };
    if (event.id >= room_control::kWatchButton && event.id <= room_control::kLastTeamId) {
        const int index = static_cast<int>(event.id - room_control::kWatchButton);
        // Id 87 names no button: taken, without effect.
        if (index >= kTeamCount) return true;
        int chosen = index;
        if (selected_ == 0 && index != 0) {
            net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
            const std::uint16_t channelType = session ? session->GetChannelType() : 0;
            if (channelType == kTournamentChannel && session && session->own.tournamentMaster == 1 &&
                !start_->IsVisible()) {
                if (host_) host_->ShowNotice(nullptr, u"방장만 참여할 수 있는 대회입니다.");
                chosen = selected_;
            }
            const std::int64_t money = session ? session->own.money : 0;
            const std::int64_t shortfall = roomSource ? roomSource().RequiredGold(money, channelType) : 0;
            if (shortfall > 0) {
                post(room_message::kGoldShort, static_cast<std::uint32_t>(shortfall));
                chosen = selected_;
            }
        }
        CheckOnly(chosen);
        ready_->SetEnabled(chosen > 0);
        if (chosen != selected_) {
            selected_ = chosen;
            ShowHighlight(chosen != 0);
            post(room_message::kTeamChosen, static_cast<std::uint32_t>(chosen));
        }
        return true;
    }
    if (event.id == room_control::kReady) {
        const bool checked = ready_->IsChecked();
        // The team is locked while ready.
        for (int i = 0; i < kTeamCount; ++i)
            teams_[static_cast<std::size_t>(i)]->SetEnabled(!checked || i == selected_);
        ShowHighlight(!checked);
        post(room_message::kReadyToggled, checked ? 1 : 0);
        return true;
    }
    if (event.id == room_control::kStart) {
        post(room_message::kStartClicked, 1);
        return true;
    }
    return false;
}

void StartReadyButton::Tick(std::uint64_t nowMs) {
    gui::ImageWidget::Tick(nowMs);
    highlight_->SetAlpha(nowMs % 1000 < 500 ? 1.0f : 0.0f);
}

}  // namespace scenes::hud

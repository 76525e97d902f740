#include "scenes/room/hud/ChalkGauge.h"

#include <algorithm>

#include "engine/sound/SoundManager.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/ItemPreview.h"
#include "gui/TextLabel.h"
#include "net/PlayerRecord.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/HudImages.h"

namespace scenes::hud {

namespace {
constexpr float kButtonAlpha = 0.7f;
constexpr float kCoverAlpha = 0.5f;
constexpr float kBlinkDim = 0.3f;
constexpr float kBlinkBright = 0.7f;
constexpr int kBlinkBelowLevel = 75;
constexpr float kPreviewTurnSpeed = 40.0f;
}  // namespace

ChalkGauge::ChalkGauge(SceneHost* host, net::PlayerRecord* record, int sceneId)
    : host_(host), record_(record), sceneId_(sceneId) {
    playSound = [this](int id) {
        if (SoundManager* sound = host_ ? host_->Sound() : nullptr) sound->PlayDefault(id);
    };
}

bool ChalkGauge::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    button_ = AddButton(0, 0, 67, 67, control_id::kChalkButton, kChalkKey, images::kChalkButton);
    button_->SetFrameCount(2);
    button_->SetAlpha(kButtonAlpha);
    button_->SetTooltip(u"usage : 'C' or click");
    preview_ = button_->Make<gui::ItemPreview>(9, 7, 48, 48);
    preview_->Show(true);
    levelImage_ = AddImage(1, 0, kGaugeSize, kGaugeSize, images::kChalkLevelStrip);
    levelImage_->SetAlpha(kCoverAlpha);
    levelLabel_ = AddLabel(2, 44, 60, 20, gui::kFont12Bold);
    levelLabel_->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
    levelLabel_->SetStyle(gui::label_style::kOutline);
    usesLabel_ = AddLabel(2, 62, 66, 20, gui::kFont12);
    usesLabel_->SetFormat(gui::align::kCenter | gui::align::kVCenter, 0, 0);
    usesLabel_->SetColors(colour::kYellow, 0xFF000000);
    UpdateDisplay();
    return true;
}

void ChalkGauge::Refresh() {
    chalk_ = record_ ? record_->GetCurrentItem() : nullptr;
    if (const net::ItemEntry* chalk = chalk_.load()) {
        if (preview_) {
            preview_->SetItem(chalk->itemId);
            preview_->rotationSpeed = kPreviewTurnSpeed;
        }
    } else {
        if (preview_) preview_->SetItem(0);
        level_ = 0;
    }
    UpdateDisplay();
}

void ChalkGauge::Reset() {
    level_ = 0;
    active_ = false;
    Refresh();
}

void ChalkGauge::Consume(int amount) {
    level_ = std::max(0, level_.load() - std::clamp(amount, 0, kFullLevel));
    UpdateDisplay();
}

void ChalkGauge::UpdateDisplay() {
    const int level = std::clamp(level_.load(), 0, kFullLevel);
    level_ = level;
    if (!levelLabel_) return;
    if (const net::ItemEntry* chalk = chalk_.load()) {
        levelLabel_->SetText(u"%d%%", level);
        usesLabel_->Show(true);
        if (IsCountedUnit(chalk->usageKind))
            usesLabel_->SetText(u"(%d/%d)", static_cast<int>(chalk->remainingValue),
                                static_cast<int>(chalk->initialValue));
        else
            usesLabel_->SetPlainText(u" ");
    } else {
        levelLabel_->SetPlainText(u"No Chalk");
        usesLabel_->Show(false);
    }
    // Red when empty, fading to white when full; the outline the other way round.
    const auto r = static_cast<std::uint32_t>(level * 2.55 + 0.5);
    const auto g = static_cast<std::uint32_t>((kFullLevel - level) * 2.55 + 0.5);
    levelLabel_->SetColors(0xFFFF0000u | (r << 8) | r, 0xFFFFFF00u | g);
    // The cover hides the used part from the bottom up.
    const int h = static_cast<int>((kFullLevel - level) * kGaugeSize * 0.01);
    levelImage_->SetRect(1, kGaugeSize - h, kGaugeSize, h);
    levelImage_->SetSourceRect(images::kChalkLevelStrip.x, images::kChalkLevelStripBottom - h, kGaugeSize, h);
}

void ChalkGauge::BuildPreview(RenderDevice* device) {
    if (preview_) preview_->BuildModel(device);
}

void ChalkGauge::ReleasePreview() {
    if (preview_) preview_->ReleaseModel();
}

bool ChalkGauge::OnCommand(const gui::CommandEvent& event) {
    if (event.id != control_id::kChalkButton || event.code != gui::CommandCode::Event) return false;
    const net::ItemEntry* chalk = chalk_.load();
    if (chalk && IsCountedUnit(chalk->usageKind) && chalk->remainingValue == 0) {
        if (host_) host_->ShowNotice(nullptr, u"Selected chalk is exhausted..", u"Change to other chalk..");
        return true;
    }
    if (chalk) {
        if (level_ >= kFullLevel) return true;
        level_ = std::min(kFullLevel, level_.load() + kChalkingAmount);
        if (playSound) playSound(kChalkSound);
        UpdateDisplay();
        if (host_)
            host_->PostUiMessage(static_cast<std::uint32_t>(HudMessage::ChalkApplied),
                                 static_cast<std::uint32_t>(level_.load()), 0, 0);
        return true;
    }
    if (host_ && (sceneId_ == scene_id::kGameRoom || sceneId_ == scene_id::kPractice))
        host_->ShowNotice(nullptr, u"Default chalk is not selected..",
                          u"Select a chalk from Inventory to Use chalk..");
    return true;
}

void ChalkGauge::Tick(std::uint64_t nowMs) {
    if (++tickCount_ % 2 != 0 || !levelImage_) return;
    if (!active_) {
        levelImage_->SetAlpha(kCoverAlpha);
        return;
    }
    const int level = level_.load();
    if (!chalk_.load() || level >= kBlinkBelowLevel) return;
    // The lower the chalk, the faster the cover blinks.
    const std::uint64_t period = static_cast<std::uint64_t>(level + 25) * 100;
    levelImage_->SetAlpha(nowMs % period < period / 2 ? kBlinkDim : kBlinkBright);
}

}  // namespace scenes::hud

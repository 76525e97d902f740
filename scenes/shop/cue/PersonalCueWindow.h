#pragma once
// The personal cue window: up to four owned personal cues with a turning preview each, the details
// of the selected cue, and a small manage menu that opens the repair dialog, the performance reset
// dialog (custom cue) or the upgrade dialog (tuning cue).
//
// The window and its dialogs name cues by serial and look the entry up in the own record whenever
// they need it, so an entry the shop frees is never read; RefreshSlots (run by the shop whenever
// its owned list changes) also closes a dialog whose cue is gone.
//
// Threads: main thread only (widget events, the shop's reply handlers and its application
// messages).

#include <array>
#include <cstdint>
#include <optional>

#include "engine/core/Text.h"
#include "gui/Dialog.h"
#include "net/ItemEntry.h"
#include "scenes/shop/cue/CueRules.h"

class RenderDevice;
class ResourceManager;

namespace gui {
class Button;
class ItemPreview;
class NoticeBox;
class TextLabel;
}  // namespace gui
namespace net {
class GameSession;
class Packet;
}  // namespace net

namespace scenes {

class CuePartsPurchaseDialog;
class ItemPreviewPanel;
class SceneHost;

namespace cue_control {
constexpr std::uint32_t kFirstSlot = 100;
constexpr std::uint32_t kMenuRepair = 40;
constexpr std::uint32_t kMenuParts = 41;
constexpr std::uint32_t kMenuThird = 42;
constexpr std::uint32_t kFirstMinus = 200;  // 200 + 2k minus, 201 + 2k plus
constexpr std::uint32_t kFirstUpgrade = 100;
constexpr std::uint32_t kClose = 2049;
constexpr std::uint32_t kOk = 2050;
constexpr std::uint32_t kAdvanced = 2052;
constexpr std::uint32_t kUpgradeMode = 1;
}  // namespace cue_control

// Confirmation codes the cue dialogs' notice boxes post (parameter in the third word).
namespace cue_message {
constexpr std::uint32_t kPartsPurchaseOk = 1100;
constexpr std::uint32_t kUpgradeOrResetOk = 1101;  // parameter 1 reset, 2 upgrade
constexpr std::uint32_t kRepairOk = 1102;          // parameter 1 normal or restoration, 2 advanced
constexpr std::uint32_t kResetParam = 1;
constexpr std::uint32_t kUpgradeParam = 2;
}  // namespace cue_message

// What every cue dialog shares: the host, the cue's serial and the own record's entry of it.
class CueDialogBase : public gui::Dialog {
public:
    explicit CueDialogBase(SceneHost* host) : host_(host) {}
    std::uint64_t Serial() const { return serial_; }
    // The own record's entry of the cue, or null once it has left the record.
    net::ItemEntry* Cue() const;
    // OK (2050) runs OnConfirm, close (2049, Esc) hides the dialog.
    bool OnCommand(const gui::CommandEvent& event) override;

protected:
    virtual void OnConfirm() {}
    net::GameSession* Session() const;
    void Notice(const WString& l1, const WString& l2 = {}, const WString& l3 = {});
    // Shows a confirmation on the first (or second) shared notice box; false without one.
    bool Confirm(bool second, const WString& caption, std::initializer_list<std::pair<int, WString>> lines,
                 std::uint32_t code, std::uint32_t param);

    SceneHost* host_;
    std::uint64_t serial_ = 0;
};

class CueRepairDialog : public CueDialogBase {
public:
    static constexpr int kWidth = 185, kHeight = 414;
    explicit CueRepairDialog(SceneHost* host);
    void SetCue(const net::ItemEntry& cue);
    bool OnCommand(const gui::CommandEvent& event) override;
    // Writes 538 for the kind chosen last; false when the cue is gone.
    bool WriteRequest(net::Packet& packet) const;

    RepairKind Kind() const { return kind_; }
    const RepairQuote& Quote() const { return quote_; }
    gui::TextLabel* DurabilityLabel() const { return durability_; }
    gui::TextLabel* NormalCostLabel() const { return normalCost_; }
    gui::TextLabel* AdvancedCostLabel() const { return advancedCost_; }
    gui::Button* AdvancedButton() const { return advancedButton_; }

private:
    void OnConfirm() override { ConfirmRepair(RepairKind::Normal); }
    void ConfirmRepair(RepairKind kind);

    RepairKind kind_ = RepairKind::Normal;
    RepairQuote quote_;
    gui::TextLabel* name_ = nullptr;
    gui::TextLabel* durability_ = nullptr;
    gui::TextLabel* normalCost_ = nullptr;
    gui::TextLabel* advancedCaption_ = nullptr;
    gui::TextLabel* advancedCost_ = nullptr;
    gui::Button* advancedButton_ = nullptr;
};

class CuePerformanceResetDialog : public CueDialogBase {
public:
    static constexpr int kWidth = 623, kHeight = 383;
    explicit CuePerformanceResetDialog(SceneHost* host);
    void SetCue(const net::ItemEntry& cue);
    void OnShow() override;
    void Refresh();
    bool OnCommand(const gui::CommandEvent& event) override;
    bool WriteRequest(net::Packet& packet) const;
    gui::ItemPreview* Preview() const { return preview_; }

    const PointDistribution& Points() const { return points_; }
    gui::TextLabel* RemainingLabel() const { return remaining_; }
    gui::TextLabel* EffectLabel(int k) const { return effects_[static_cast<std::size_t>(k)]; }

private:
    void OnConfirm() override;

    PointDistribution points_;
    gui::TextLabel* name_ = nullptr;
    gui::ItemPreview* preview_ = nullptr;
    gui::TextLabel* remaining_ = nullptr;
    gui::TextLabel* cash_ = nullptr;
    std::array<gui::TextLabel*, net::kCueOptions> values_{};
    std::array<gui::TextLabel*, net::kCueOptions> effects_{};
};

class CueUpgradeDialog : public CueDialogBase {
public:
    static constexpr int kWidth = 389, kHeight = 450;
    explicit CueUpgradeDialog(SceneHost* host);
    void SetOption(const net::ItemEntry& cue, int option);
    // Reads the cue again (after an upgrade reply).
    void RefreshOption();
    bool OnCommand(const gui::CommandEvent& event) override;
    bool WriteRequest(net::Packet& packet) const;

    int Option() const { return option_; }
    const UpgradeQuote& Quote() const { return quote_; }
    gui::TextLabel* RateLabel() const { return rate_; }
    gui::TextLabel* CostLabel() const { return cost_; }
    gui::TextLabel* MaximumLabel() const { return maximum_; }
    gui::TextLabel* NextLabel() const { return next_; }
    gui::TextLabel* PointsLabel() const { return pointsHeld_; }

private:
    void OnConfirm() override;

    int option_ = 0;
    UpgradeQuote quote_;
    gui::TextLabel* title_ = nullptr;
    gui::TextLabel* maximum_ = nullptr;
    gui::TextLabel* current_ = nullptr;
    gui::TextLabel* currentEffect_ = nullptr;
    gui::TextLabel* next_ = nullptr;
    gui::TextLabel* nextEffect_ = nullptr;
    gui::TextLabel* pointsHeld_ = nullptr;
    gui::TextLabel* pointsNeeded_ = nullptr;
    gui::TextLabel* rate_ = nullptr;
    gui::TextLabel* cost_ = nullptr;
};

// The upgrade window: the tuning cue's five options with one upgrade button each.
class CueUpgradeWindow : public CueDialogBase {
public:
    static constexpr int kWidth = 623, kHeight = 383;
    explicit CueUpgradeWindow(SceneHost* host);
    void SetCue(const net::ItemEntry& cue);
    bool OnCommand(const gui::CommandEvent& event) override;
    CueUpgradeDialog* Dialog() const { return dialog_; }
    gui::ItemPreview* Preview() const { return preview_; }
    gui::TextLabel* EffectLabel(int k) const { return effects_[static_cast<std::size_t>(k)]; }

private:
    gui::ItemPreview* preview_ = nullptr;
    std::array<gui::TextLabel*, net::kCueOptions> values_{};
    std::array<gui::TextLabel*, net::kCueOptions> effects_{};
    CueUpgradeDialog* dialog_ = nullptr;
};

// One slot of the window: a clickable cue with its preview and name.
class PersonalCueSlot : public gui::Widget {
public:
    PersonalCueSlot(int x, int y, std::uint32_t id);
    void SetEntry(const net::ItemEntry* entry);
    std::optional<std::uint64_t> Serial() const { return serial_; }
    gui::ItemPreview* Preview() const { return preview_; }
    gui::TextLabel* NameLabel(int line = 0) const { return names_[static_cast<std::size_t>(line)]; }
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    std::optional<std::uint64_t> serial_;
    gui::Button* face_ = nullptr;
    gui::ItemPreview* preview_ = nullptr;
    std::array<gui::TextLabel*, 2> shadows_{};
    std::array<gui::TextLabel*, 2> names_{};
};

class PersonalCueWindow : public CueDialogBase {
public:
    static constexpr int kWidth = 541, kHeight = 448;
    static constexpr int kSlots = 4;

    explicit PersonalCueWindow(SceneHost* host);

    void OnShow() override;
    // The dialogs it opened close with it.
    void OnHide() override;
    // Fills the slots from the end of the own item list, keeps the selection only while its cue is
    // still held and closes any dialog whose cue is gone.
    void RefreshSlots();
    void RefreshDetails();
    bool OnCommand(const gui::CommandEvent& event) override;

    // The shop's shared cue preview, also used by the parts purchase dialog.
    void SetPreviewPanel(ItemPreviewPanel* panel);
    // The resource pass (from the shop's render step): makes the models of the slots and of the
    // owned dialogs' previews that changed; the release frees them until the next pass.
    void BuildModels(RenderDevice* device, ResourceManager* resources);
    void ReleaseModels();

    // Reply hooks (after the shop updated the entry).
    void OnPartsBought();
    void OnRepaired();
    void OnPerformanceReset();
    void OnUpgraded();
    // Confirmation hooks: write the request the confirmed dialog asked for; false when its cue is
    // gone (nothing is sent then).
    bool WriteRepair(net::Packet& packet) const;
    bool WritePartsPurchase(net::Packet& packet) const;
    bool WriteUpgradeOrReset(net::Packet& packet, std::uint32_t param) const;

    std::optional<int> SelectedSlot() const { return selected_; }
    int ListedCount() const { return listed_; }
    PersonalCueSlot* Slot(int i) const { return slots_[static_cast<std::size_t>(i)]; }
    gui::TextLabel* EmptyLabel() const { return empty_; }
    gui::Widget* DetailPanel() const { return detail_; }
    gui::TextLabel* DetailValue(int k) const { return optionValues_[static_cast<std::size_t>(k)]; }
    gui::TextLabel* DurabilityLabel() const { return durability_; }
    gui::TextLabel* PointsLabel() const { return points_; }
    gui::TextLabel* PointsCaption() const { return pointsCaption_; }
    gui::Widget* Menu() const { return menu_; }
    gui::Button* MenuThird() const { return menuThird_; }
    CueRepairDialog* Repair() const { return repair_; }
    CuePerformanceResetDialog* Reset() const { return reset_; }
    CueUpgradeWindow* Upgrade() const { return upgrade_; }
    CuePartsPurchaseDialog* Parts() const { return parts_; }

private:
    net::ItemEntry* SelectedCue() const;
    void OpenDialog(gui::Dialog* dialog, int dy);

    std::array<PersonalCueSlot*, kSlots> slots_{};
    std::optional<int> selected_;
    int listed_ = 0;
    gui::TextLabel* empty_ = nullptr;
    gui::Widget* detail_ = nullptr;
    gui::TextLabel* name_ = nullptr;
    std::array<gui::TextLabel*, net::kCueOptions> optionValues_{};
    gui::TextLabel* pointsCaption_ = nullptr;
    gui::TextLabel* points_ = nullptr;
    gui::TextLabel* durability_ = nullptr;
    gui::Widget* menu_ = nullptr;
    gui::Button* menuThird_ = nullptr;
    CueRepairDialog* repair_ = nullptr;
    CuePerformanceResetDialog* reset_ = nullptr;
    CueUpgradeWindow* upgrade_ = nullptr;
    CuePartsPurchaseDialog* parts_ = nullptr;
    ItemPreviewPanel* panel_ = nullptr;
};

}  // namespace scenes

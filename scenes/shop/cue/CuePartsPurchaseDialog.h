#pragma once
// Buying new parts for an owned personal cue: a part per group picked from pages of four cards, its
// price, limits and required level, the totals in cash and cue money, and one request with every
// changed group. Only parts the part table has are listed.
//
// Threads: main thread only.

#include <array>
#include <cstdint>
#include <vector>

#include "scenes/shop/cue/CuePartPreview.h"
#include "scenes/shop/cue/PersonalCueWindow.h"

namespace scenes {

class ItemPreviewPanel;

namespace parts_control {
constexpr std::uint32_t kCurrentParts = 4;
constexpr std::uint32_t kPageBack = 14, kPageForward = 15;
constexpr std::uint32_t kGuide = 28;
constexpr std::uint32_t kFirstTab = 30;
constexpr std::uint32_t kFirstCard = 100;
}  // namespace parts_control

class CuePartsPurchaseDialog : public CueDialogBase {
public:
    static constexpr int kWidth = 623, kHeight = 383;
    static constexpr int kCards = 4;
    // How many parts each group offers at most (the table may have fewer).
    static constexpr std::array<int, net::kCueParts> kListSizes{8, 36, 8, 8, 8};

    explicit CuePartsPurchaseDialog(SceneHost* host);
    void SetPreviewPanel(ItemPreviewPanel* panel) { panel_ = panel; }
    void SetCue(const net::ItemEntry& cue);
    void OnShow() override;
    void OnHide() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void FillCards();
    void RefreshDetails();
    void RefreshPreview();
    bool WriteRequest(net::Packet& packet) const;
    // The resource pass over the big preview and the cards; the release frees their models until
    // the next pass.
    void BuildModels(RenderDevice* device, ResourceManager* resources);
    void ReleaseModels();

    int CurrentGroup() const { return group_; }
    int Selected(int group) const { return selected_[static_cast<std::size_t>(group)]; }
    int PageStart(int group) const { return pageStart_[static_cast<std::size_t>(group)]; }
    int Listed(int group) const { return static_cast<int>(lists_[static_cast<std::size_t>(group)].size()); }
    const PartsTotals& Totals() const { return totals_; }
    CuePartCard* Card(int i) const { return cards_[static_cast<std::size_t>(i)]; }
    gui::Button* BackButton() const { return back_; }
    gui::Button* ForwardButton() const { return forward_; }
    gui::TextLabel* PriceLabel() const { return price_; }
    gui::TextLabel* OptionLabel(int i) const { return options_[static_cast<std::size_t>(i)]; }
    gui::TextLabel* LevelLabel() const { return level_; }
    gui::TextLabel* TitleLabel() const { return title_; }
    CuePartPreview* PartPreview() const { return preview_; }

protected:
    // Turns the dialog into a read-only list of every part for the item: no totals, no buying.
    void Browse(std::uint32_t itemId);

private:
    void OnConfirm() override;
    void FillLists();

    ItemPreviewPanel* panel_ = nullptr;
    bool browsing_ = false;
    int group_ = 0;
    std::uint32_t itemId_ = 0;
    std::array<std::uint16_t, net::kCueParts> current_{};
    std::array<int, net::kCueParts> selected_{};
    std::array<int, net::kCueParts> pageStart_{1, 1, 1, 1, 1};
    std::array<std::vector<int>, net::kCueParts> lists_;
    PartsTotals totals_;
    CuePartPreview* preview_ = nullptr;
    std::array<gui::Button*, net::kCueParts> tabs_{};
    gui::TextLabel* groupTitle_ = nullptr;
    std::array<CuePartCard*, kCards> cards_{};
    gui::Button* back_ = nullptr;
    gui::Button* forward_ = nullptr;
    gui::TextLabel* title_ = nullptr;
    gui::TextLabel* price_ = nullptr;
    gui::TextLabel* level_ = nullptr;
    std::array<gui::TextLabel*, 2> options_{};
    std::array<gui::TextLabel*, 4> totalLabels_{};
    std::vector<gui::Widget*> buying_;
};

// The part catalogue: every part of every group with its price, limits and required level, shown
// from the new cue purchase window; nothing is bought here.
class CuePartCatalogDialog : public CuePartsPurchaseDialog {
public:
    explicit CuePartCatalogDialog(SceneHost* host) : CuePartsPurchaseDialog(host) {}
    void SetCatalogue(std::uint32_t itemId) { Browse(itemId); }
    bool OnCommand(const gui::CommandEvent& event) override;
};

}  // namespace scenes

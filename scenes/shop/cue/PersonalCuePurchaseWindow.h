#pragma once
// Buying a new personal cue: the player spreads the starting performance points over the five
// options, picks a design part per group from pages of four cards and asks for the cue. A tuning
// cue offers few designs and 20 points (10 per option); a custom cue offers every part of the
// part table and 150 points (40 per option), and its price grows with expensive parts.
//
// Threads: main thread only.

#include <array>
#include <cstdint>
#include <vector>

#include "scenes/shop/cue/CuePartPreview.h"
#include "scenes/shop/cue/CuePartsPurchaseDialog.h"
#include "scenes/shop/cue/PersonalCueWindow.h"

namespace net {
struct ItemRecord;
}

namespace scenes {

namespace cue_purchase_control {
constexpr std::uint32_t kBack = 10, kNext = 11;
constexpr std::uint32_t kCatalogue = 13;
constexpr std::uint32_t kGuide = 28;
constexpr std::uint32_t kFirstPageBack = 14, kLastPageForward = 17;
constexpr std::uint32_t kBuy = 30;
constexpr std::uint32_t kFirstMinus = 200, kLastPlus = 209;
constexpr std::uint32_t kFirstCard = 100;
}  // namespace cue_purchase_control

class PersonalCuePurchaseWindow : public CueDialogBase {
public:
    static constexpr int kWidth = 635, kHeight = 463;
    static constexpr int kPages = 6;
    static constexpr int kCards = 4;

    // Page 1's description: the two repair lines, then lines 1 to 14 (3, 8 and 12 blank, the last
    // two in light red).
    static constexpr int kDescriptionLines = 16;

    explicit PersonalCuePurchaseWindow(SceneHost* host);
    // The shop's shared whole-cue preview, also shown by the part catalogue.
    void SetPreviewPanel(ItemPreviewPanel* panel);
    // Restarts the window for the catalogue record of a tuning or custom cue.
    void SetCueType(const net::ItemRecord& record);
    void OnShow() override;
    void OnHide() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void ShowPage();
    void FillCards(int group);
    void RefreshPoints();
    void RefreshPrice();
    // The resource pass: makes the models of the part previews asked for since the last pass; the
    // release frees them all (they are made again on the next pass).
    void BuildModels(RenderDevice* device, ResourceManager* resources);
    void ReleaseModels();
    // Writes the purchase request of the current choices; false before a cue type is set.
    bool WriteRequest(net::Packet& packet) const;

    int Page() const { return page_; }
    std::uint32_t ItemId() const { return itemId_; }
    const PointDistribution& Points() const { return points_; }
    int Part(int group) const { return parts_[static_cast<std::size_t>(group)]; }
    int PageStart(int group) const { return pageStart_[static_cast<std::size_t>(group)]; }
    int Listed(int group) const { return static_cast<int>(lists_[static_cast<std::size_t>(group)].size()); }
    std::int64_t Price() const { return price_; }
    CuePartCard* Card(int group, int card) const {
        return cards_[static_cast<std::size_t>(group)][static_cast<std::size_t>(card)];
    }
    // The price of the choices on every page, and the summary's own line of it on page 6.
    gui::TextLabel* PriceLabel() const { return priceLabel_; }
    gui::TextLabel* SummaryPrice() const { return summaryPrice_; }
    gui::TextLabel* SummaryPart(int group) const { return summaryParts_[static_cast<std::size_t>(group)]; }
    gui::TextLabel* SummaryOption(int k) const { return summaryOptions_[static_cast<std::size_t>(k)]; }
    gui::TextLabel* DurabilityLabel() const { return durabilityLabel_; }
    gui::Widget* PagePanel(int page) const { return panels_[static_cast<std::size_t>(page - 1)]; }
    gui::TextLabel* AfterLabel() const { return afterLabel_; }
    CuePartCatalogDialog* Catalogue() const { return catalogue_; }
    CuePartPreview* PartPreview() const { return preview_; }
    gui::TextLabel* DescriptionLine(int i) const { return description_[static_cast<std::size_t>(i)]; }
    // The card hover panel and its two lines (title, price).
    gui::Widget* HoverPanel() const { return hover_; }
    gui::TextLabel* HoverLine(int i) const { return hoverLines_[static_cast<std::size_t>(i)]; }
    gui::Button* CatalogueButton() const { return catalogueButton_; }

private:
    void OnConfirm() override;
    void RefreshSummary();
    void Refresh();
    bool CashPriced() const;
    void WriteDescription();
    void RefreshWholeCue();
    void OnCardHover(int group, int card, bool enter);

    std::uint32_t itemId_ = 0;
    std::uint8_t currency_ = 0;
    std::int64_t listPrice_ = 0;
    std::uint32_t durability_ = 0;
    WString name_;
    int page_ = 1;
    PointDistribution points_;
    std::array<int, net::kCueParts> parts_{};
    std::array<int, net::kCueParts> pageStart_{1, 1, 1, 1, 1};
    std::array<std::vector<int>, net::kCueParts> lists_;
    std::int64_t price_ = 0;
    CuePartPreview* preview_ = nullptr;
    gui::TextLabel* title_ = nullptr;
    std::array<gui::Widget*, kPages> panels_{};
    std::array<std::array<CuePartCard*, kCards>, net::kCueParts> cards_{};
    std::array<gui::Button*, 4> pageButtons_{};
    std::array<gui::TextLabel*, net::kCueOptions> optionLabels_{};
    gui::TextLabel* remainingLabel_ = nullptr;
    gui::TextLabel* priceLabel_ = nullptr;
    gui::TextLabel* summaryPrice_ = nullptr;
    std::array<gui::TextLabel*, net::kCueParts> summaryParts_{};
    std::array<gui::TextLabel*, net::kCueOptions> summaryOptions_{};
    gui::TextLabel* durabilityLabel_ = nullptr;
    gui::TextLabel* heldLabel_ = nullptr;
    gui::TextLabel* afterLabel_ = nullptr;
    gui::Button* back_ = nullptr;
    gui::Button* next_ = nullptr;
    gui::Button* catalogueButton_ = nullptr;
    CuePartCatalogDialog* catalogue_ = nullptr;
    ItemPreviewPanel* panel_ = nullptr;
    std::array<gui::TextLabel*, kDescriptionLines> description_{};
    gui::Widget* hover_ = nullptr;
    std::array<gui::TextLabel*, 2> hoverLines_{};
    const CuePartCard* hoverCard_ = nullptr;
};

}  // namespace scenes

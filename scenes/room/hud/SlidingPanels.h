#pragma once
// The two item panels that slide in from the left edge: the cue selector (the player's cues with
// their ability bars; a click picks the cue to play with) and the buy-or-gift choice (shop items
// offered for purchase). Each pages four cards with a scroll bar and reports the player's choice to
// the owning scene through an application message.

#include <array>
#include <cstdint>
#include <vector>

#include "gui/Dialog.h"

namespace gui {
class Button;
class ScrollBar;
class TextLabel;
}  // namespace gui
namespace net {
class PlayerRecord;
struct CatalogRecord;
struct ItemEntry;
}  // namespace net

namespace scenes {

class SceneHost;

namespace hud {

class AbilityBars;
class CueCard;
class ItemCard;

// The slide of a panel: x runs 0..476 and the panel is drawn at x - 476.
struct PanelSlide {
    enum State : int { kResting = 0, kIn = 1, kOut = 2 };
    static constexpr int kWidth = 476;
    static constexpr int kStep = 25;
    static constexpr int kCardLeft = 9;

    int state = kResting;
    int x = 0;
    // One step; true when the panel has slid out and must hide.
    bool Step();
    int DrawnX() const { return x - kWidth; }
    // A card is shown only once its left edge is on the screen.
    bool CardOnScreen() const { return DrawnX() + kCardLeft >= 0; }
};

// Scroll range of a list of `count` items shown `visible` at a time: at least 1.
int PageRange(int count, int visible);

class SlidingPanel : public gui::Dialog {
public:
    static constexpr int kCards = 4;

    explicit SlidingPanel(SceneHost* host) : host_(host) {}
    const PanelSlide& Slide() const { return slide_; }
    int FirstPosition() const { return first_; }
    std::uint64_t ShownTime() const { return shownMs_; }
    void SlideOut() { slide_.state = PanelSlide::kOut; }
    void Tick(std::uint64_t nowMs) override;

protected:
    // Sets up the panel's frame: 478 x 232, close button, scroll bar of the given id.
    void CreateFrame(int x, int y, std::uint32_t scrollId);
    void BeginSlideIn();
    virtual void ShowCards() = 0;
    // True when handled: the scroll bar pages, the close button slides out.
    bool HandleFrameCommand(const gui::CommandEvent& event);
    virtual void Fill() = 0;

    SceneHost* host_;
    PanelSlide slide_;
    int first_ = 1;
    std::uint64_t lastMs_ = 0;
    std::uint64_t shownMs_ = 0;
    gui::ScrollBar* scroll_ = nullptr;
    std::uint32_t scrollId_ = 0;
};

// The player's cues, four at a time; the one equipped for the game type is ticked.
class PlayerInfoPanel : public SlidingPanel {
public:
    PlayerInfoPanel(SceneHost* host, net::PlayerRecord* record);
    bool Create(int x, int y, int w = 478, int h = 232, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    void Fill() override;
    // The ability bars show the entry, or hide for none.
    void ShowAbility(const net::ItemEntry* entry);
    void OnShow() override;
    void OnHide() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void BuildModels(RenderDevice* device);
    void ReleaseModels();

    // The slot (game type) whose equipped cue is the selected one; -1 none.
    void SetSelectionSlot(int slot) { equippedSlot_ = slot; }
    const net::ItemEntry* SelectedCue() const { return selected_; }
    int CueCount() const { return cueCount_; }
    CueCard* Card(int k) const { return cards_[k]; }
    AbilityBars* Abilities() const { return abilities_; }

private:
    void ShowCards() override;

    net::PlayerRecord* record_;
    std::array<CueCard*, kCards> cards_{};
    AbilityBars* abilities_ = nullptr;
    int hovered_ = -1;
    int cueCount_ = 0;
    int equippedSlot_ = -1;
    const net::ItemEntry* selected_ = nullptr;
};

// Shop items offered for purchase, four at a time.
class BuyOrGiftDialog : public SlidingPanel {
public:
    BuyOrGiftDialog(SceneHost* host, net::PlayerRecord* record);
    bool Create(int x, int y, int w = 478, int h = 232, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    void Fill() override;
    // The two hint lines for the item of that name, else for the selected one; hidden for neither.
    void SetBuyHint(const WString* name);
    void OnShow() override;
    void OnHide() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    void BuildModels(RenderDevice* device);
    void ReleaseModels();

    const std::vector<const net::CatalogRecord*>& Offers() const { return offers_; }
    const net::CatalogRecord* SelectedRecord() const { return selected_; }
    int ListedCount() const { return listed_; }
    ItemCard* Card(int k) const { return cards_[k]; }
    gui::Button* PurchaseButton() const { return purchase_; }
    gui::Button* GiftButton() const { return gift_; }
    gui::TextLabel* HintLine(int i) const { return hints_[i]; }

private:
    void ShowCards() override;
    bool Listed(const net::CatalogRecord& record) const;

    net::PlayerRecord* record_;
    std::vector<const net::CatalogRecord*> offers_;
    std::array<ItemCard*, kCards> cards_{};
    std::array<gui::TextLabel*, 2> hints_{};
    gui::Button* purchase_ = nullptr;
    gui::Button* gift_ = nullptr;
    int listed_ = 0;
    const net::CatalogRecord* selected_ = nullptr;
};

}  // namespace hud
}  // namespace scenes

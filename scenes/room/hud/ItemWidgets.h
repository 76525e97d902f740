#pragma once
// The small HUD widgets that show one item each over a turning 3D preview: the card of an offered
// catalogue item, the card of an owned cue, the slot of the item strip, and the ability bars that
// list a cue's five performance values with its endurance and upgrade points. They are created
// hidden; setting an item shows them.

#include <array>
#include <cstdint>

#include "gui/ImageWidget.h"

namespace gui {
class Button;
class ItemPreview;
class TextLabel;
}  // namespace gui
namespace net {
struct CatalogRecord;
struct ItemEntry;
}  // namespace net

namespace scenes::hud {

// The name the item tables give an item id; empty for an unknown id.
WString ItemNameOf(std::uint32_t itemId);
// An owned entry's name: a personal cue's own name, else the item tables'.
WString EntryNameOf(const net::ItemEntry& entry);
// Points a preview at an entry: a personal cue with its five tuning parts, other items by id.
void ShowEntryInPreview(gui::ItemPreview& preview, const net::ItemEntry& entry);

// What the three item widgets share: a button over the whole widget and a preview of the item.
class PreviewCard : public gui::Widget {
public:
    gui::Button* GetButton() const { return button_; }
    gui::ItemPreview* Preview() const { return preview_; }

protected:
    // The widget of w x h with its button (a two-frame strip at (bx, by)) and preview (px, py, pw, ph).
    void CreateCard(int x, int y, int w, int h, std::uint32_t buttonId, bool toggle, int bx, int by, int px,
                    int py, int pw, int ph);
    // No item: the preview empty, the button unticked, the widget hidden.
    void ClearCard();

    gui::Button* button_ = nullptr;
    gui::ItemPreview* preview_ = nullptr;
};

// 103 x 148: an offered item with its name, price and currency.
class ItemCard : public PreviewCard {
public:
    bool Create(int x, int y, std::uint32_t buttonId);
    using gui::Widget::Create;
    void SetItem(const net::CatalogRecord* record);
    const net::CatalogRecord* Item() const { return record_; }
    void Clear();
    gui::TextLabel* TagLabel() const { return tag_; }
    gui::TextLabel* LevelLabel() const { return level_; }
    gui::TextLabel* NameLabel() const { return name_; }
    gui::TextLabel* CurrencyLabel() const { return currency_; }
    gui::TextLabel* PriceLabel() const { return price_; }

private:
    const net::CatalogRecord* record_ = nullptr;
    gui::TextLabel* tag_ = nullptr;
    gui::TextLabel* level_ = nullptr;
    gui::TextLabel* name_ = nullptr;
    gui::TextLabel* currency_ = nullptr;
    gui::TextLabel* price_ = nullptr;
};

// 73 x 178: an owned cue with its name.
class CueCard : public PreviewCard {
public:
    bool Create(int x, int y, std::uint32_t buttonId, bool toggle);
    using gui::Widget::Create;
    // Only cue entries are taken; others (and null) clear the card.
    void SetItem(const net::ItemEntry* entry);
    const net::ItemEntry* Item() const { return entry_; }
    void Clear();
    gui::TextLabel* NameLabel() const { return name_; }

private:
    const net::ItemEntry* entry_ = nullptr;
    gui::TextLabel* shadow_ = nullptr;
    gui::TextLabel* name_ = nullptr;
};

// 30 x 30: one slot of the item strip. Hovering its button turns the preview.
class ItemSlot : public PreviewCard {
public:
    static constexpr float kHoverTurnSpeed = 5.0f;
    static constexpr float kCueZoom = 200.0f;
    static constexpr float kItemZoom = 60.0f;

    bool Create(int x, int y, std::uint32_t buttonId, bool toggle);
    using gui::Widget::Create;
    void SetItem(const net::ItemEntry* entry);
    const net::ItemEntry* Item() const { return entry_; }
    void Clear();
    // The own button's events turn the preview and go on to the parent unchanged.
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    const net::ItemEntry* entry_ = nullptr;
};

// A cue's five performance values, its upgrade points and endurance.
class AbilityBars : public gui::ImageWidget {
public:
    static constexpr int kRows = 5;

    bool Create(int x, int y, int w = 130, int h = 182, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;
    void SetItem(const net::ItemEntry& entry);
    gui::TextLabel* Title() const { return title_; }
    gui::TextLabel* RowName(int i) const { return names_[i]; }
    gui::TextLabel* RowValue(int i) const { return values_[i]; }
    gui::TextLabel* UpPointName() const { return upName_; }
    gui::TextLabel* UpPointValue() const { return upValue_; }
    gui::TextLabel* EnduranceName() const { return enduranceName_; }
    gui::TextLabel* EnduranceValue() const { return enduranceValue_; }

private:
    gui::TextLabel* title_ = nullptr;
    std::array<gui::TextLabel*, kRows> names_{};
    std::array<gui::TextLabel*, kRows> values_{};
    gui::TextLabel* upName_ = nullptr;
    gui::TextLabel* upValue_ = nullptr;
    gui::TextLabel* enduranceName_ = nullptr;
    gui::TextLabel* enduranceValue_ = nullptr;
};

}  // namespace scenes::hud

#pragma once
// The pieces of the shop that show items: the text of the detail panel, the card of a catalogue
// item, the card of an owned item, the detail panel with its buy, use and delete buttons and the
// preview panel. Cards and panels copy what they show when they are filled, so none of them keeps
// a pointer to an owned entry that a reply may free.
//
// Threads: main thread only.

#include <array>
#include <cstdint>
#include <functional>

#include "engine/core/Text.h"
#include "gui/Placement.h"
#include "gui/Widget.h"
#include "net/ItemEntry.h"
#include "net/ItemTable.h"
#include "scenes/shop/ItemDescriptionTable.h"

namespace gui {
class Button;
class ItemPreview;
class TextLabel;
}  // namespace gui

namespace scenes {

class SceneHost;

// One owned item as the shop lists it: its description (null when the table has none) and the
// entry of the own record.
struct OwnedItemRef {
    const ItemDescription* description = nullptr;
    net::ItemEntry* entry = nullptr;
};

// The rows of the detail panel for a catalogue item (owned null) or an owned entry.
struct DetailText {
    std::array<WString, 6> description;
    WString dimension;
    std::array<WString, 2> function;
    WString game;
    WString require;
    std::array<WString, 2> etc;
    std::array<WString, 3> prices;  // catalogue layout
    std::array<WString, 3> bonus;   // catalogue layout
    WString status;                 // owned layout
    WString expire;                 // owned layout
    WString bottom;                 // the gift line of a received item; empty hides it
};
DetailText BuildDetailText(const ItemDescription* description, const net::ItemRecord* record,
                           const net::ItemEntry* owned);
// The price line of one period of a catalogue record (index 0..2).
WString PriceLine(const net::ItemRecord& record, int index);
// The status label of an inventory card ("개인큐", "Activated", "Inactivated"; empty hides it).
WString CardStatus(const net::ItemEntry& entry);

// The card of a catalogue item (120 x 145).
class ShopItemCard : public gui::Widget {
public:
    ShopItemCard(int x, int y, std::uint32_t id);
    void Fill(const ItemDescription& description);
    void Clear();
    const ItemDescription* Description() const { return description_; }
    gui::Button* Face() const { return face_; }
    gui::TextLabel* NameLabel() const { return name_; }
    gui::TextLabel* LevelLabel() const { return level_; }
    gui::TextLabel* GameLabel() const { return game_; }
    gui::TextLabel* PriceLabel() const { return price_; }
    gui::TextLabel* CurrencyLabel() const { return currency_; }
    gui::ItemPreview* Preview() const { return preview_; }
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    const ItemDescription* description_ = nullptr;  // the scene's table outlives the card
    gui::Button* face_ = nullptr;
    gui::ItemPreview* preview_ = nullptr;
    gui::TextLabel* game_ = nullptr;
    gui::TextLabel* level_ = nullptr;
    gui::TextLabel* name_ = nullptr;
    gui::TextLabel* currency_ = nullptr;
    gui::TextLabel* price_ = nullptr;
};

// The card of an owned item (120 x 145).
class InventoryItemCard : public gui::Widget {
public:
    InventoryItemCard(int x, int y, std::uint32_t id);
    void Fill(const OwnedItemRef& owned);
    void Clear();
    std::uint64_t Serial() const { return serial_; }
    std::uint32_t ItemId() const { return itemId_; }
    gui::Button* Face() const { return face_; }
    gui::TextLabel* NameLabel() const { return name_; }
    gui::TextLabel* StatusLabel() const { return status_; }
    gui::Widget* GiftMark() const { return gift_; }
    gui::ItemPreview* Preview() const { return preview_; }
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    std::uint64_t serial_ = 0;
    std::uint32_t itemId_ = 0;
    gui::Button* face_ = nullptr;
    gui::ItemPreview* preview_ = nullptr;
    gui::TextLabel* name_ = nullptr;
    gui::Widget* gift_ = nullptr;
    gui::TextLabel* status_ = nullptr;
};

enum class DetailLayout { Catalogue, Owned };

// The rows of the item under the mouse or selected, with the buttons of its layout. Its buttons
// post application messages to the scene: use 1080, delete 1081, picture 1107, buy / gift / clan
// gift 1098 with mode 1 / 2 / 3.
class ItemDetailPanel : public gui::Widget {
public:
    static constexpr int kWidth = 434, kHeight = 392;
    ItemDetailPanel(int x, int y, SceneHost* host);
    // Fills the rows; hides all six buttons.
    void Fill(const ItemDescription* description, const net::ItemRecord* record, const net::ItemEntry* owned,
              DetailLayout layout);
    // The buttons of the layout, as on a click.
    void ShowButtons(DetailLayout layout);
    DetailLayout Layout() const { return layout_; }
    std::uint32_t ItemId() const { return itemId_; }
    const ItemDescription* Description() const { return description_; }
    std::uint64_t Serial() const { return serial_; }  // owned layout
    const DetailText& Text() const { return text_; }
    // The labels as drawn: the item's name over the description, its lines, the row values.
    gui::TextLabel* NameLine() const { return name_; }
    gui::TextLabel* DescriptionLine(int i) const { return descriptionLines_[static_cast<std::size_t>(i)]; }
    gui::TextLabel* ValueLine(int i) const { return valueLines_[static_cast<std::size_t>(i)]; }
    static constexpr int kValueLines = 13;
    gui::Button* ButtonById(std::uint32_t id) const;
    // The rows of the prices (or the owned item's status) and the buttons under them, in client
    // coordinates.
    gui::ScreenRect PricesAndButtons() const;
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    DetailLayout layout_ = DetailLayout::Catalogue;
    std::uint32_t itemId_ = 0;
    const ItemDescription* description_ = nullptr;
    std::uint64_t serial_ = 0;
    DetailText text_;
    gui::TextLabel* name_ = nullptr;
    std::array<gui::TextLabel*, 6> descriptionLines_{};
    std::array<gui::TextLabel*, 14> valueLines_{};
    std::array<gui::TextLabel*, 2> ownedCaptions_{};
    gui::TextLabel* priceCaption_ = nullptr;
    gui::TextLabel* bottom_ = nullptr;
    std::array<gui::Button*, 6> buttons_{};
    SceneHost* host_;
};

// The turning 3D view of the item under the mouse or pinned by a selection. Its home is the shop's
// corner under the detail panel; a personal cue window borrows it and shows its cue under itself.
class ItemPreviewPanel : public gui::Widget {
public:
    ItemPreviewPanel(int x, int y, int w, int h);
    void ShowItem(std::uint32_t itemId, const std::array<std::uint16_t, net::kCueParts>* parts);
    void ClearItem();
    std::uint32_t Item() const;
    gui::ItemPreview* Preview() const { return preview_; }
    // The shop's place for the panel (it moves there at once unless a window has borrowed it, whose
    // own place it then takes again: the window may have moved with the client's size).
    void SetHome(int x, int y, int w, int h);
    // A window borrows the panel: it stands under the window (or above it, where there is more
    // room) until ReturnHome, which also gives back the shop's camera and turning speed and lets
    // the shop show its own item in it again.
    void PlaceBelow(const gui::Widget& window);
    void ReturnHome();
    void SetOnReturnHome(std::function<void()> refill) { onReturnHome_ = std::move(refill); }
    bool IsAway() const { return away_; }

private:
    struct Rect {
        int x = 0, y = 0, w = 0, h = 0;
    };
    static constexpr int kInset = 6;
    static constexpr float kHomeSpeed = 1.0f;
    void Place(const Rect& r);

    gui::ItemPreview* preview_ = nullptr;
    Rect home_;
    bool away_ = false;
    const gui::Widget* window_ = nullptr;  // the window that borrowed the panel
    std::function<void()> onReturnHome_;
};

}  // namespace scenes

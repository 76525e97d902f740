#include "scenes/room/hud/ItemWidgets.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ItemPreview.h"
#include "gui/TextLabel.h"
#include "net/ItemTable.h"
#include "scenes/room/hud/HudImages.h"

namespace scenes::hud {

namespace {

constexpr std::uint32_t kCueType = static_cast<std::uint32_t>(net::ItemType::Cue);
// The custom cue shows no upgrade points.
constexpr std::uint32_t kCustomCueItem = 3100;

gui::TextLabel* Label(gui::Widget& parent, int x, int y, int w, const gui::FontDesc& font, std::uint32_t argb,
                      std::uint32_t align = gui::align::kLeft) {
    gui::TextLabel* label = parent.AddLabel(x, y, w, 20, font);
    label->SetColors(argb, colour::kBlack);
    label->SetFormat(align | gui::align::kVCenter, 0, 0);
    return label;
}

}  // namespace

WString ItemNameOf(std::uint32_t itemId) {
    const net::ItemRecord* record = net::GetItemTable().Find(itemId);
    return record ? record->name : WString{};
}

WString EntryNameOf(const net::ItemEntry& entry) {
    return entry.IsPersonalCue() && !entry.cueName.empty() ? entry.cueName : ItemNameOf(entry.itemId);
}

void ShowEntryInPreview(gui::ItemPreview& preview, const net::ItemEntry& entry) {
    if (entry.IsPersonalCue()) {
        const gui::ItemPreview::PartIds parts = entry.parts;
        preview.SetItemRecord(entry.itemId, &parts);
    } else {
        preview.SetItem(entry.itemId);
    }
}

// ---- PreviewCard ----------------------------------------------------------------------------------

void PreviewCard::CreateCard(int x, int y, int w, int h, std::uint32_t buttonId, bool toggle, int bx, int by,
                             int px, int py, int pw, int ph) {
    gui::Widget::Create(x, y, w, h);
    button_ = AddButton(bx, by, w, h, buttonId, 0, {images::kFlatSet, 0, 0, w, h});
    button_->SetFrameCount(2);
    button_->SetToggleMode(toggle);
    button_->SetReportHover(true);
    preview_ = Make<gui::ItemPreview>(px, py, pw, ph);
    preview_->Show(true);
}

void PreviewCard::ClearCard() {
    if (preview_) preview_->SetItem(0);
    if (button_) button_->SetChecked(false);
    Show(false);
}

// ---- ItemCard -------------------------------------------------------------------------------------

bool ItemCard::Create(int x, int y, std::uint32_t buttonId) {
    CreateCard(x, y, 103, 148, buttonId, true, 0, 0, 2, 1, 99, 135);
    tag_ = Label(*this, 4, 8, 112, gui::kFont12, colour::kYellow);
    level_ = Label(*this, 48, 5, 60, gui::kFont12, colour::kYellow, gui::align::kRight);
    name_ = Label(*this, 0, 110, 100, gui::kFont12, colour::kWhite, gui::align::kCenter);
    name_->SetColors(colour::kWhite, colour::kNameShadow);
    name_->SetStyle(gui::label_style::kShadow);
    currency_ = Label(*this, 8, 122, 40, gui::kFont12, colour::kYellow);
    price_ = Label(*this, 30, 122, 62, gui::kFont12, colour::kWhite, gui::align::kRight);
    price_->SetColors(colour::kWhite, colour::kPriceShadow);
    price_->SetStyle(gui::label_style::kShadow);
    SetVisible(false);
    return true;
}

void ItemCard::SetItem(const net::CatalogRecord* record) {
    if (!record) {
        Clear();
        return;
    }
    record_ = record;
    Show(true);
    preview_->SetItem(record->itemId);
    const net::ItemRecord* sale = net::GetItemTable().Find(record->itemId);
    const std::uint32_t kind = sale ? sale->type : 0;
    tag_->SetText(u"[%s]", record->extraText);
    tag_->Show(kind == 2 || kind == 3);
    level_->SetText(u"Lv.%d", static_cast<int>(record->level));
    level_->Show(kind == 1 && record->level > 1);
    name_->SetPlainText(record->name);
    price_->SetPlainText(FormatNumber(record->price));
    currency_->SetPlainText(record->currency == 1 ? u"CC" : u"Gold");
}

void ItemCard::Clear() {
    record_ = nullptr;
    ClearCard();
}

// ---- CueCard --------------------------------------------------------------------------------------

bool CueCard::Create(int x, int y, std::uint32_t buttonId, bool toggle) {
    CreateCard(x, y, 73, 178, buttonId, toggle, 0, 0, 2, 2, 69, 174);
    // The name stands under the card's face and keeps to its width: the cards stand 3 pixels apart.
    shadow_ = Label(*this, 1, 179, 73, gui::kFont12, colour::kBlack, gui::align::kCenter);
    name_ = Label(*this, 0, 178, 73, gui::kFont12, colour::kWhite, gui::align::kCenter);
    name_->SetColors(colour::kWhite, colour::kNameShadow);
    SetVisible(false);
    return true;
}

void CueCard::SetItem(const net::ItemEntry* entry) {
    if (!entry || entry->type != kCueType) {
        Clear();
        return;
    }
    entry_ = entry;
    Show(true);
    ShowEntryInPreview(*preview_, *entry);
    const WString name = EntryNameOf(*entry);
    shadow_->SetFittedText(name);
    name_->SetFittedText(name);
}

void CueCard::Clear() {
    entry_ = nullptr;
    ClearCard();
}

// ---- ItemSlot -------------------------------------------------------------------------------------

bool ItemSlot::Create(int x, int y, std::uint32_t buttonId, bool toggle) {
    CreateCard(x, y, 30, 30, buttonId, toggle, 1, 1, -1, -1, 32, 32);
    SetVisible(false);
    return true;
}

void ItemSlot::SetItem(const net::ItemEntry* entry) {
    if (!entry) {
        Clear();
        return;
    }
    entry_ = entry;
    Show(true);
    ShowEntryInPreview(*preview_, *entry);
    preview_->rotationSpeed = 0.0f;
    preview_->viewDistance = entry->type == kCueType ? kCueZoom : kItemZoom;
}

void ItemSlot::Clear() {
    entry_ = nullptr;
    ClearCard();
}

bool ItemSlot::OnCommand(const gui::CommandEvent& event) {
    if (!button_ || event.source != button_) return false;
    if (event.code == gui::CommandCode::MouseEnter) preview_->rotationSpeed = kHoverTurnSpeed;
    if (event.code == gui::CommandCode::MouseLeave) preview_->rotationSpeed = 0.0f;
    gui::Widget* parent = GetParent();
    return parent && parent->OnCommand(event);
}

// ---- AbilityBars ----------------------------------------------------------------------------------

bool AbilityBars::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    SetImage(images::kPanel);
    title_ = Label(*this, 1, 10, 116, gui::kFont12Bold, colour::kYellow, gui::align::kCenter);
    for (int i = 0; i < kRows; ++i) {
        names_[i] = Label(*this, 5, 34 + 20 * i, 80, gui::kFont12Bold, colour::kYellow);
        values_[i] = Label(*this, 88, 34 + 20 * i, 40, gui::kFont12Bold, colour::kWhite);
    }
    upName_ = Label(*this, 5, 138, 40, gui::kFont12Bold, colour::kUpPoint);
    upValue_ = Label(*this, 80, 138, 40, gui::kFont12Bold, colour::kWhite);
    enduranceName_ = Label(*this, 5, 160, 80, gui::kFont12Bold, colour::kCyan);
    enduranceValue_ = Label(*this, 55, 160, 60, gui::kFont12Bold, colour::kWhite, gui::align::kRight);
    SetVisible(false);
    return true;
}

void AbilityBars::SetItem(const net::ItemEntry& entry) {
    title_->SetFittedText(EntryNameOf(entry));
    upName_->Show(false);
    upValue_->Show(false);
    if (entry.type == kCueType) {
        static constexpr const char16_t* kNames[kRows] = {u"Shot Power", u"Power Bal.", u"Spin up",
                                                          u"Miscue dec.", u"Squirt dec."};
        static constexpr const char16_t* kFormats[kRows] = {u"+%d", u"%d%%", u"+%d", u"%d%%", u"%d%%"};
        for (int i = 0; i < kRows; ++i) {
            names_[i]->SetPlainText(kNames[i]);
            const int value = static_cast<int>(static_cast<std::int8_t>(entry.performance[i]) + 0.4);
            values_[i]->SetText(kFormats[i], value);
        }
        if (!entry.IsPersonalCue()) {
            enduranceName_->SetPlainText(u"Limited time");
            enduranceValue_->SetPlainText(u" ");
        } else {
            if (entry.itemId != kCustomCueItem) {
                upName_->SetPlainText(u"Up Point");
                upValue_->SetText(u"%I64d", static_cast<std::int64_t>(entry.upgradeValue / 1000));
                upName_->Show(true);
                upValue_->Show(true);
            }
            enduranceName_->SetPlainText(u"Endurance");
            enduranceValue_->SetText(u"%d/%d", static_cast<int>(entry.remainingValue / 1000),
                                     static_cast<int>(entry.initialValue / 1000));
        }
    }
    for (int i = 0; i < kRows; ++i) {
        names_[i]->Show(true);
        values_[i]->Show(true);
    }
    Show(true);
}

}  // namespace scenes::hud

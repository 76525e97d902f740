#include "scenes/shop/ShopItemWidgets.h"

#include <algorithm>
#include <utility>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/ItemPreview.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/shop/ShopCodes.h"

namespace scenes {

namespace {
constexpr std::uint32_t kYellow = 0xFFFFFF60;
constexpr int kCardWidth = 120, kCardHeight = 145;
constexpr int kCardInset = 4, kCardTextWidth = kCardWidth - 2 * kCardInset;  // a name keeps off the edges

bool IsType(const net::ItemRecord* r, net::ItemType t) {
    return r && r->type == static_cast<std::uint32_t>(t);
}

WString UnitText(std::uint8_t usageKind, std::uint32_t itemId, int quantity, const WString& price,
                 const WString& suffix) {
    switch (usageKind) {
        case 1:
            return Format(u"%s / %dDays %s", price, quantity, suffix);
        case 2:
        case 3:
            if (itemId == shop_item::kPracticeTime)
                return Format(u"%s / %d시간 %s", price, quantity / 60, suffix);
            return Format(u"%s / %dTimes %s", price, quantity, suffix);
        default:
            return Format(u"%s %s", price, suffix);
    }
}

void SplitLines(const WString& text, std::array<WString, 6>& lines) {
    std::size_t at = 0;
    for (WString& line : lines) {
        if (at >= text.size()) break;
        const std::size_t end = text.find(u'\n', at);
        line = text.substr(at, end == WString::npos ? WString::npos : end - at);
        at = end == WString::npos ? text.size() : end + 1;
    }
}

void FunctionLines(DetailText& t, const net::ItemRecord* r, const net::ItemEntry* owned, bool catalogue) {
    const net::CatalogRecord* c = r ? net::GetItemCatalog().Find(r->itemId) : nullptr;
    t.function = {u"None", {}};
    if (!r) return;
    if (IsType(r, net::ItemType::Chalk)) {
        t.function[0] =
            Format(u"English : +%d  Miscue : -%d%%", c ? c->chalkEnglish : 0, c ? c->chalkMiscue : 0);
    } else if (r->itemId == shop_item::kAllSkills) {
        t.function = {u"모든 스킬 증가 : +15", u"미스큐 감소 : 30%"};
    } else if (IsType(r, net::ItemType::Cue)) {
        if (catalogue && c && c->customCue) {
            t.function = {u"큐의 성능과 디자인 업그레이드 가능",
                          Format(u"최대 내구도 : %d", static_cast<int>(c->maxDurability / 1000))};
        } else {
            std::array<int, net::kCueOptions> p{};
            if (owned && owned->IsPersonalCue()) {
                for (int i = 0; i < net::kCueOptions; ++i) p[i] = owned->performance[i];
            } else if (c) {
                for (int i = 0; i < net::kCueOptions; ++i) p[i] = c->performance[i];
            }
            t.function = {Format(u"Power +%2d  Pow-Acc. : +%d%%", p[0], p[1]),
                          Format(u"English +%2d  Miscue : -%d%%  Squirt : -%d%%", p[2], p[3], p[4])};
        }
    }
    // Bonus and etc rows; each later step may overwrite the first function line.
    if (r->usageKind == 1) t.etc[0] = u"Limited time items are applied after activating it.";
    WString bonus;
    if (r->moneyBonus > 0) {
        bonus += Format(u"획득머니 +%d%%. ", static_cast<int>(r->moneyBonus));
        if (IsType(r, net::ItemType::BallSet) || IsType(r, net::ItemType::Table))
            t.etc = {u"머니증가는 사용중인 종목에만 적용", u"동일기능 중복 사용시 합산 적용"};
    }
    if (r->winningPointBonus > 0) bonus += Format(u"승점 +%d%% ", static_cast<int>(r->winningPointBonus));
    if (!bonus.empty()) t.function[0] = bonus;
    if (r->skillSpeedBonus > 0) {
        t.function[0] = Format(u"스킬숙련속도 +%d%%", static_cast<int>(r->skillSpeedBonus));
        if (r->winningPointBonus != 0)
            t.function[1] = Format(u"획득승점 +%d%%", static_cast<int>(r->winningPointBonus));
    }
    if (r->itemId == 4106 || r->itemId == 4107) t.function[0] = u"모든스킬 +10";
    if (r->itemId == 4520 || r->itemId == 4526)
        t.function[0] = Format(u"Bridge Abil. +%d", c ? c->bridge : 0);
}

void OwnedRows(DetailText& t, const net::ItemEntry& e) {
    const bool practiceTime = e.itemId == shop_item::kPracticeTime;
    if (e.IsPersonalCue()) {
        t.status = e.remainingValue >= 1000 ? u"Available" : u"성능 적용 안됨";
        t.expire = Format(u"내구도 (%d/%d)", e.remainingValue / 1000, e.initialValue / 1000);
    } else if (e.usageKind == 2) {
        t.status = u"Available";
        t.expire = u"1 회";
    } else if (e.usageKind == 3) {
        if (practiceTime) {
            t.status = u"Available(Limited time)";
            t.expire = Format(u"%d시간 %d분 남음", e.remainingValue / 60, e.remainingValue % 60);
        } else {
            t.status = u"Available(Limited usage)";
            t.expire = Format(u"%d times remained", e.remainingValue);
        }
    } else if (e.state == static_cast<std::uint8_t>(net::ItemState::Active)) {
        t.status = u"Activated";
        t.expire = e.initialValue == 0 ? WString(u"-") : e.expiry;
    } else if (e.state == static_cast<std::uint8_t>(net::ItemState::Expired)) {
        t.status = u"Expired";
        t.expire = e.expiry;
    } else {
        t.status = u"Inactivated";
        if (e.usageKind == 1)
            t.expire = Format(u"%dDays", e.initialValue);
        else if (practiceTime)
            t.expire = Format(u"%d시간 %d분", e.initialValue / 60, e.initialValue % 60);
        else
            t.expire = Format(u"%dTimes", e.initialValue);
    }
    if (e.newMark == 2 || e.newMark == 3)
        t.bottom = e.giftSender + u" \"" + e.giftMessage + u"\"";
    else if (e.newMark == 4 || e.newMark == 5)
        t.bottom = u"\"" + e.giftMessage + u"\"";
}
}  // namespace

WString PriceLine(const net::ItemRecord& r, int i) {
    if (i < 0 || i > 2) return {};
    if (i > 0 && r.periods[i] == net::kNoPeriod) return {};
    WString suffix = r.priceKind == static_cast<std::uint8_t>(net::PriceKind::Cash) ? u"(CC)" : u"(Gold)";
    if (r.bonusGold[0] > 0) suffix = u" ";
    return UnitText(r.usageKind, r.itemId, r.periods[i], FormatNumber(r.prices[i]), suffix);
}

DetailText BuildDetailText(const ItemDescription* d, const net::ItemRecord* r, const net::ItemEntry* owned) {
    DetailText t;
    if (d) {
        SplitLines(d->description, t.description);
        t.dimension = d->dimension;
        t.game = d->game;
    } else {
        t.dimension = u"-";
        t.game = u"-";
    }
    t.require = !r || r->requiredLevel <= 0 ? WString(u"None")
                                            : Format(u"Lv. %d", static_cast<int>(r->requiredLevel));
    if (!owned && r) {
        for (int i = 0; i < 3; ++i) {
            t.prices[i] = PriceLine(*r, i);
            if (r->bonusGoldFlag == 1 && r->bonusGold[i] > 0 && !t.prices[i].empty())
                t.bonus[i] = Format(u"(bonus gold %s)", FormatNumber(r->bonusGold[i]));
        }
    }
    FunctionLines(t, r, owned, owned == nullptr);
    if (owned) OwnedRows(t, *owned);
    return t;
}

WString CardStatus(const net::ItemEntry& e) {
    if (e.IsPersonalCue()) return u"개인큐";
    if (e.state == static_cast<std::uint8_t>(net::ItemState::Active)) return u"Activated";
    if ((e.usageKind == 2 || e.usageKind == 3) && e.itemId != shop_item::kPracticeTime) return {};
    return u"Inactivated";
}

// --- cards ----------------------------------------------------------------------------------------

namespace {
gui::Button* CardFace(gui::Widget& card) {
    gui::Button* face = card.AddButton(0, 0, kCardWidth, kCardHeight, card.Id(), 0, gui::UiImage{});
    face->SetFrameCount(7);
    face->SetRadioMode(1);
    face->SetReportHover(true);
    return face;
}

// The event of a card's face, passed up as the card's own with the hover codes as values.
bool ForwardCardEvent(gui::Widget& card, const gui::CommandEvent& event, gui::Button* face) {
    if (event.source != face) return false;
    switch (event.code) {
        case gui::CommandCode::MouseEnter:
            card.Notify(1028);
            return true;
        case gui::CommandCode::MouseLeave:
            card.Notify(1029);
            return true;
        default:
            card.Notify(event.value);
            return true;
    }
}
}  // namespace

ShopItemCard::ShopItemCard(int x, int y, std::uint32_t id) {
    Create(x, y, kCardWidth, kCardHeight, id);
    face_ = CardFace(*this);
    preview_ = Make<gui::ItemPreview>(3, 3, 114, 139);
    preview_->Show(true);
    game_ = AddTextLine(*this, 4, 8, 110, 16, {}, gui::kFont12, gui::align::kLeft | gui::align::kVCenter,
                        kYellow);
    level_ = AddTextLine(*this, 48, 5, 68, 16, {}, gui::kFont12, gui::align::kRight | gui::align::kVCenter);
    name_ = AddTextLine(*this, kCardInset, 110, kCardTextWidth, 16, {}, gui::kFont12,
                        gui::align::kCenter | gui::align::kVCenter);
    currency_ = AddTextLine(*this, 10, 127, 30, 16, {});
    price_ = AddTextLine(*this, 30, 127, 80, 16, {}, gui::kFont12, gui::align::kRight | gui::align::kVCenter);
    SetVisible(false);
}

void ShopItemCard::Fill(const ItemDescription& d) {
    Show(true);
    description_ = &d;
    preview_->SetItem(d.itemId);
    const net::ItemRecord* r = d.record;
    const bool ballOrTable = IsType(r, net::ItemType::BallSet) || IsType(r, net::ItemType::Table);
    game_->SetVisible(ballOrTable);
    // Names and game lists longer than the card end in "..."; the detail panel shows them whole.
    if (ballOrTable) game_->SetFittedText(u"[" + d.game + u"]");
    const bool levelShown = IsType(r, net::ItemType::Cue) && r->requiredLevel > 1;
    level_->SetVisible(levelShown);
    if (levelShown) level_->SetText(u"Lv.%d", static_cast<int>(r->requiredLevel));
    name_->SetFittedText(r ? r->name : WString{});
    currency_->SetPlainText(r && r->priceKind == static_cast<std::uint8_t>(net::PriceKind::Cash) ? u"CC"
                                                                                                 : u"Gold");
    price_->SetPlainText(r ? FormatNumber(r->prices[0]) : WString{});
}

void ShopItemCard::Clear() {
    description_ = nullptr;
    preview_->SetItem(0);
    face_->SetChecked(false);
    SetVisible(false);
}

bool ShopItemCard::OnCommand(const gui::CommandEvent& event) {
    return ForwardCardEvent(*this, event, face_);
}

InventoryItemCard::InventoryItemCard(int x, int y, std::uint32_t id) {
    Create(x, y, kCardWidth, kCardHeight, id);
    face_ = CardFace(*this);
    preview_ = Make<gui::ItemPreview>(3, 3, 114, 139);
    preview_->Show(true);
    name_ = AddTextLine(*this, kCardInset, 125, kCardTextWidth, 16, {}, gui::kFont12,
                        gui::align::kCenter | gui::align::kVCenter);
    gift_ = AddTextLine(*this, 82, 3, 36, 16, u"Gift", gui::kFont12Bold,
                        gui::align::kRight | gui::align::kVCenter, kYellow);
    status_ = AddTextLine(*this, 8, 6, 100, 16, {});
    SetVisible(false);
}

void InventoryItemCard::Fill(const OwnedItemRef& owned) {
    Show(true);
    const net::ItemEntry& e = *owned.entry;
    serial_ = e.serial;
    itemId_ = e.itemId;
    if (e.IsPersonalCue())
        preview_->SetItemRecord(e.itemId, &e.parts);
    else
        preview_->SetItem(e.itemId);
    const net::ItemRecord* r = owned.description && owned.description->record
                                   ? owned.description->record
                                   : net::GetItemTable().Find(e.itemId);
    name_->SetFittedText(e.IsPersonalCue() && !e.cueName.empty() ? e.cueName : r ? r->name : WString{});
    gift_->SetVisible(e.newMark >= 2 && e.newMark <= 5);
    const WString status = CardStatus(e);
    status_->SetVisible(!status.empty());
    status_->SetPlainText(status);
}

void InventoryItemCard::Clear() {
    serial_ = 0;
    itemId_ = 0;
    preview_->SetItem(0);
    face_->SetChecked(false);
    SetVisible(false);
}

bool InventoryItemCard::OnCommand(const gui::CommandEvent& event) {
    return ForwardCardEvent(*this, event, face_);
}

// --- detail panel ---------------------------------------------------------------------------------

namespace {
// The buttons of the panel, in the order of buttons_.
constexpr std::uint32_t kPanelButtons[] = {shop_control::kImagePanel, shop_control::kBuy,
                                           shop_control::kGift,       shop_control::kClanGift,
                                           shop_control::kUse,        shop_control::kDelete};
constexpr const char16_t* kPanelCaptions[] = {u"Picture", u"Buy", u"Gift", u"Clan Gift", u"Use", u"Delete"};
// Value lines: dimension, function x2, game, require, etc x2, prices x3, bonus x3, status/expire reuse
// the price lines in the owned layout.
enum Value {
    kDim,
    kFunc1,
    kFunc2,
    kGame,
    kRequire,
    kEtc1,
    kEtc2,
    kPrice1,
    kPrice2,
    kPrice3,
    kBonus1,
    kBonus2,
    kBonus3,
    kValueCount
};
static_assert(kValueCount <= 14);
constexpr int kMargin = 10;
constexpr int kValueX = 80;   // the values right of the row captions
constexpr int kBonusX = 260;  // the bonus gold beside each price
}  // namespace

ItemDetailPanel::ItemDetailPanel(int x, int y, SceneHost* host) : host_(host) {
    Create(x, y, kWidth, kHeight);
    SetImage(gui::atlas::kDarkPanel);
    name_ = AddTextLine(*this, kMargin, 8, kWidth - 2 * kMargin, 18, {}, gui::kFont12Bold,
                        gui::align::kLeft | gui::align::kVCenter, kYellow);
    for (int i = 0; i < 6; ++i)
        descriptionLines_[i] = AddTextLine(*this, kMargin, 30 + 17 * i, kWidth - 2 * kMargin, 16, {});
    const struct {
        const char16_t* caption;
        int y;
    } rows[] = {{u"    Dim. :", 138},
                {u"    Func :", 156},
                {u"    Game :", 192},
                {u"Require :", 210},
                {u"    Etc. :", 228}};
    for (const auto& row : rows) AddTextLine(*this, kMargin, row.y, kValueX - kMargin, 16, row.caption);
    const int valueY[] = {138, 156, 174, 192, 210, 228, 246, 270, 288, 306, 270, 288, 306};
    for (int i = 0; i < kValueCount; ++i) {
        const int xLine = i >= kBonus1 ? kBonusX : kValueX;
        const int right = i >= kPrice1 && i < kBonus1 ? kBonusX - 6 : kWidth - kMargin;
        valueLines_[i] = AddTextLine(*this, xLine, valueY[i], right - xLine, 16, {});
    }
    priceCaption_ = AddTextLine(*this, kMargin, 270, kValueX - kMargin, 16, u"   Price :");
    ownedCaptions_[0] = AddTextLine(*this, kMargin, 270, kValueX - kMargin, 16, u"  Status : ");
    ownedCaptions_[1] = AddTextLine(*this, kMargin, 288, kValueX - kMargin, 16, u"  Expire :");
    bottom_ = AddTextLine(*this, kMargin, 328, kWidth - 2 * kMargin, 16, {});
    // The two layouts share the button row: buy and its neighbours, or use and delete.
    for (int i = 0; i < 6; ++i) {
        buttons_[i] = AddTextButton(*this, kMargin + (i % 3) * 100, kHeight - 40, 90, 28, kPanelButtons[i],
                                    kPanelCaptions[i]);
        buttons_[i]->SetVisible(false);
    }
    SetVisible(false);
}

void ItemDetailPanel::Fill(const ItemDescription* d, const net::ItemRecord* r, const net::ItemEntry* owned,
                           DetailLayout layout) {
    layout_ = layout;
    description_ = d;
    itemId_ = owned ? owned->itemId : d ? d->itemId : 0;
    serial_ = owned ? owned->serial : 0;
    text_ = BuildDetailText(d, r, owned);
    // Every text keeps inside the panel: the description wraps over its six lines, a row too
    // long for its place ends in "...".
    name_->SetFittedText(owned && owned->IsPersonalCue() && !owned->cueName.empty() ? owned->cueName
                         : r                                                        ? r->name
                                                                                    : WString{});
    WString description;
    for (const WString& line : text_.description) {
        if (line.empty()) continue;
        if (!description.empty()) description += u'\n';
        description += line;
    }
    const gui::TextLabel& first = *descriptionLines_[0];
    const std::vector<WString> wrapped = gui::WrapTextToWidth(first.Font(), description, first.Width(), 6);
    for (std::size_t i = 0; i < descriptionLines_.size(); ++i)
        descriptionLines_[i]->SetPlainText(i < wrapped.size() ? wrapped[i] : WString{});
    valueLines_[kDim]->SetFittedText(text_.dimension);
    valueLines_[kFunc1]->SetFittedText(text_.function[0]);
    valueLines_[kFunc2]->SetFittedText(text_.function[1]);
    valueLines_[kGame]->SetFittedText(text_.game);
    valueLines_[kRequire]->SetFittedText(text_.require);
    valueLines_[kEtc1]->SetFittedText(text_.etc[0]);
    valueLines_[kEtc2]->SetFittedText(text_.etc[1]);
    const bool catalogue = layout == DetailLayout::Catalogue;
    priceCaption_->SetVisible(catalogue);
    ownedCaptions_[0]->SetVisible(!catalogue);
    ownedCaptions_[1]->SetVisible(!catalogue);
    for (int i = 0; i < 3; ++i) {
        valueLines_[kPrice1 + i]->SetFittedText(catalogue ? text_.prices[i] : WString{});
        valueLines_[kBonus1 + i]->SetFittedText(catalogue ? text_.bonus[i] : WString{});
    }
    if (!catalogue) {
        // Status and expiry take the price column and the bonus column beside it.
        for (int i : {kPrice1, kPrice2})
            valueLines_[i]->SetRect(kValueX, valueLines_[i]->Y(), kWidth - kMargin - kValueX, 16);
        valueLines_[kPrice1]->SetFittedText(text_.status);
        valueLines_[kPrice2]->SetFittedText(text_.expire);
    } else {
        for (int i : {kPrice1, kPrice2})
            valueLines_[i]->SetRect(kValueX, valueLines_[i]->Y(), kBonusX - 6 - kValueX, 16);
    }
    bottom_->SetVisible(!text_.bottom.empty());
    bottom_->SetFittedText(text_.bottom);
    for (gui::Button* b : buttons_) b->SetVisible(false);
}

gui::ScreenRect ItemDetailPanel::PricesAndButtons() const {
    const int x = ScreenX(), y = ScreenY();
    return {x, y + priceCaption_->Y(), x + Width(), y + buttons_[0]->Y() + buttons_[0]->Height()};
}

void ItemDetailPanel::ShowButtons(DetailLayout layout) {
    const bool catalogue = layout == DetailLayout::Catalogue;
    ButtonById(shop_control::kBuy)->SetVisible(catalogue);
    ButtonById(shop_control::kUse)->SetVisible(!catalogue);
    ButtonById(shop_control::kDelete)->SetVisible(!catalogue);
    ButtonById(shop_control::kImagePanel)->SetVisible(catalogue && itemId_ >= 10 && itemId_ <= 14);
    // No path offers the gift buttons: gifts go through the purchase window's modes.
    ButtonById(shop_control::kGift)->SetVisible(false);
    ButtonById(shop_control::kClanGift)->SetVisible(false);
}

gui::Button* ItemDetailPanel::ButtonById(std::uint32_t id) const {
    for (int i = 0; i < 6; ++i)
        if (kPanelButtons[i] == id) return buttons_[i];
    return nullptr;
}

bool ItemDetailPanel::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.code != gui::CommandCode::Event || !host_) return false;
    switch (event.source->Id()) {
        case shop_control::kUse:
            host_->PostUiMessage(shop_message::kCheckUse, 0, 0, 0);
            return true;
        case shop_control::kDelete:
            host_->PostUiMessage(shop_message::kCheckDelete, 0, 0, 0);
            return true;
        case shop_control::kImagePanel:
            host_->PostUiMessage(shop_message::kShowImagePanel, 0, 0, 0);
            return true;
        case shop_control::kBuy:
            host_->PostUiMessage(shop_message::kOpenPurchase, 1, 0, 0);
            return true;
        case shop_control::kGift:
            host_->PostUiMessage(shop_message::kOpenPurchase, 2, 0, 0);
            return true;
        case shop_control::kClanGift:
            host_->PostUiMessage(shop_message::kOpenPurchase, 3, 0, 0);
            return true;
        default:
            return false;
    }
}

ItemPreviewPanel::ItemPreviewPanel(int x, int y, int w, int h) {
    Create(x, y, w, h);
    SetImage(gui::atlas::kDarkPanel);
    preview_ = Make<gui::ItemPreview>(kInset, kInset, w - 2 * kInset, h - 2 * kInset);
    preview_->rotationSpeed = kHomeSpeed;
    preview_->Show(true);
    home_ = {x, y, w, h};
    SetVisible(false);
}

void ItemPreviewPanel::Place(const Rect& r) {
    SetRect(r.x, r.y, r.w, r.h);
    preview_->SetRect(kInset, kInset, std::max(0, r.w - 2 * kInset), std::max(0, r.h - 2 * kInset));
}

void ItemPreviewPanel::SetHome(int x, int y, int w, int h) {
    home_ = {x, y, w, h};
    if (!away_)
        Place(home_);
    else if (window_)
        PlaceBelow(*window_);
}

void ItemPreviewPanel::PlaceBelow(const gui::Widget& window) {
    // Under the window across its width, or above it when the room below is too small. The panel
    // is a child of the scene, whose origin is the screen's.
    constexpr int kGap = 6, kMinHeight = 60, kMaxHeight = 140;
    const int screenWidth = GetParent() ? GetParent()->Width() : gui::GetGuiState().screenWidth;
    const int screenHeight = GetParent() ? GetParent()->Height() : gui::GetGuiState().screenHeight;
    const int top = window.ScreenY(), bottom = top + window.Height();
    const int below = screenHeight - 10 - (bottom + kGap);
    const int above = top - kGap - 10;
    const int height = std::min(kMaxHeight, std::max(below, above));
    const int y = below >= kMinHeight || below >= above ? bottom + kGap : top - kGap - height;
    const int x = std::max(0, window.ScreenX()), w = std::min(window.Width(), screenWidth - x);
    away_ = true;
    window_ = &window;
    Place({x, y, w, std::max(0, height)});
}

void ItemPreviewPanel::ReturnHome() {
    away_ = false;
    window_ = nullptr;
    // Home, it lies behind the shop's panels again, under the messenger that opens over them.
    SendToBack();
    preview_->viewDistance = 0.0f;
    preview_->rotationSpeed = kHomeSpeed;
    Place(home_);
    if (onReturnHome_) onReturnHome_();
}

void ItemPreviewPanel::ShowItem(std::uint32_t itemId,
                                const std::array<std::uint16_t, net::kCueParts>* parts) {
    if (parts)
        preview_->SetItemRecord(itemId, parts);
    else
        preview_->SetItem(itemId);
    Show(true);
}

void ItemPreviewPanel::ClearItem() {
    preview_->SetItem(0);
}

std::uint32_t ItemPreviewPanel::Item() const {
    return preview_->Item();
}

}  // namespace scenes

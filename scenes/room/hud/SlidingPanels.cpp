#include "scenes/room/hud/SlidingPanels.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ItemPreview.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "net/ItemTable.h"
#include "net/PlayerRecord.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/HudImages.h"
#include "scenes/room/hud/ItemWidgets.h"

namespace scenes::hud {

namespace {
constexpr std::uint32_t kOfferedItems[] = {4903, 3050};
constexpr std::uint32_t kCueType = static_cast<std::uint32_t>(net::ItemType::Cue);
}  // namespace

bool PanelSlide::Step() {
    if (state == kIn) {
        x += kStep;
        if (x >= kWidth) {
            x = kWidth;
            state = kResting;
        }
    } else if (state == kOut) {
        x -= kStep;
        if (x <= 0) {
            x = 0;
            state = kResting;
            return true;
        }
    }
    return false;
}

int PageRange(int count, int visible) {
    return count - (visible - 1) > 1 ? count - (visible - 1) : 1;
}

// ---- SlidingPanel ---------------------------------------------------------------------------------

void SlidingPanel::CreateFrame(int x, int y, std::uint32_t scrollId) {
    gui::Widget::Create(x, y, 478, 232);
    SetImage(images::kPanel);
    SetModal(false);
    scrollId_ = scrollId;
    // The pages run left and right along the top edge, over the cards and left of the close button:
    // both arrows can be seen and pressed (a bar of one button's size holds only one of them).
    scroll_ = Make<gui::ScrollBar>();
    scroll_->Create(10, 6, 300, 20, scrollId, gui::Orientation::Horizontal, 2);
    scroll_->Show(true);
    gui::Button* close = AddButton(420, 0, 52, 19, control_id::kClose, kCloseKey, images::kButton);
    close->SetFrameCount(gui::atlas::kTextButtonFrames);
    close->SetCaption(u"Close");
    close->SetTooltip(u"Close(~)");
    SetVisible(false);
}

void SlidingPanel::BeginSlideIn() {
    slide_.x = 0;
    slide_.state = PanelSlide::kIn;
    MoveTo(slide_.DrawnX(), Y());
    shownMs_ = lastMs_;
}

void SlidingPanel::Tick(std::uint64_t nowMs) {
    lastMs_ = nowMs;
    gui::Dialog::Tick(nowMs);
    const bool slidOut = slide_.Step();
    MoveTo(slide_.DrawnX(), Y());
    ShowCards();
    if (slidOut) Show(false);
}

bool SlidingPanel::HandleFrameCommand(const gui::CommandEvent& event) {
    if (event.id == scrollId_ && event.code == gui::CommandCode::Event) {
        first_ = event.value > 0 ? event.value : 1;
        Fill();
        if (host_) host_->PostMouseMove();
        return true;
    }
    if (event.id == control_id::kClose && event.code == gui::CommandCode::Event) {
        SlideOut();
        return true;
    }
    return false;
}

// ---- PlayerInfoPanel ------------------------------------------------------------------------------

PlayerInfoPanel::PlayerInfoPanel(SceneHost* host, net::PlayerRecord* record)
    : SlidingPanel(host), record_(record) {}

bool PlayerInfoPanel::Create(int x, int y, int, int, std::uint32_t, std::uint32_t) {
    CreateFrame(x, y, control_id::kCueScrollBar);
    for (int k = 0; k < kCards; ++k) {
        cards_[k] = Make<CueCard>();
        cards_[k]->Create(10 + 76 * k, 33, control_id::kFirstCueCard + static_cast<std::uint32_t>(k), true);
    }
    abilities_ = Make<AbilityBars>();
    abilities_->Create(320, 35);
    return true;
}

void PlayerInfoPanel::Fill() {
    selected_ = record_ ? record_->GetSlotItem(equippedSlot_) : nullptr;
    cueCount_ = 0;
    int k = 0;
    if (record_) {
        const auto& items = record_->Items();
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if (!*it || (*it)->type != kCueType) continue;
            ++cueCount_;
            if (cueCount_ >= first_ && k < kCards) {
                cards_[k]->SetItem(*it);
                cards_[k]->GetButton()->SetChecked(*it == selected_);
                ++k;
            }
        }
    }
    for (; k < kCards; ++k) cards_[k]->Clear();
    scroll_->SetRange(PageRange(cueCount_, kCards));
    ShowCards();
    // The card under a resting cursor shows the cue it holds now.
    if (hovered_ >= 0) ShowAbility(cards_[hovered_]->Item() ? cards_[hovered_]->Item() : selected_);
}

void PlayerInfoPanel::ShowCards() {
    for (CueCard* card : cards_) card->SetVisible(card->Item() && slide_.CardOnScreen());
}

void PlayerInfoPanel::ShowAbility(const net::ItemEntry* entry) {
    if (entry)
        abilities_->SetItem(*entry);
    else
        abilities_->Show(false);
}

void PlayerInfoPanel::OnShow() {
    SlidingPanel::OnShow();
    BeginSlideIn();
    abilities_->Show(false);
    Fill();
    if (selected_) ShowAbility(selected_);
}

void PlayerInfoPanel::OnHide() {
    SlidingPanel::OnHide();
    ReleaseModels();
}

void PlayerInfoPanel::BuildModels(RenderDevice* device) {
    if (!IsVisible()) return;
    for (CueCard* card : cards_) card->Preview()->BuildModel(device);
}

void PlayerInfoPanel::ReleaseModels() {
    for (CueCard* card : cards_) card->Preview()->ReleaseModel();
}

bool PlayerInfoPanel::OnCommand(const gui::CommandEvent& event) {
    if (HandleFrameCommand(event)) return true;
    if (event.id < control_id::kFirstCueCard || event.id >= control_id::kFirstCueCard + kCards) return false;
    const int k = static_cast<int>(event.id - control_id::kFirstCueCard);
    const net::ItemEntry* entry = cards_[k]->Item();
    switch (event.code) {
        case gui::CommandCode::MouseEnter:
            hovered_ = k;
            ShowAbility(entry);
            return true;
        case gui::CommandCode::MouseLeave:
            if (k == hovered_) {
                hovered_ = -1;
                ShowAbility(selected_);
            }
            return true;
        case gui::CommandCode::Event:
            if (!entry) return true;
            selected_ = entry;
            ShowAbility(selected_);
            for (int i = 0; i < kCards; ++i) cards_[i]->GetButton()->SetChecked(i == k);
            if (host_) host_->PostUiMessage(static_cast<std::uint32_t>(HudMessage::CueChosen), 1, 0, 0);
            SlideOut();
            return true;
    }
    return false;
}

// ---- BuyOrGiftDialog ------------------------------------------------------------------------------

BuyOrGiftDialog::BuyOrGiftDialog(SceneHost* host, net::PlayerRecord* record)
    : SlidingPanel(host), record_(record) {
    for (std::uint32_t item : kOfferedItems)
        if (const net::CatalogRecord* r = net::GetItemCatalog().Find(item)) offers_.push_back(r);
}

bool BuyOrGiftDialog::Create(int x, int y, int, int, std::uint32_t, std::uint32_t) {
    CreateFrame(x, y, control_id::kOfferScrollBar);
    for (int k = 0; k < kCards; ++k) {
        cards_[k] = Make<ItemCard>();
        cards_[k]->Create(15 + 108 * k, 33, control_id::kFirstOfferCard + static_cast<std::uint32_t>(k));
    }
    for (int i = 0; i < 2; ++i) {
        hints_[i] = AddLabel(20, 190 + 18 * i, 400, 20, gui::kFont12);
        hints_[i]->Show(false);
    }
    purchase_ = AddButton(374, 180, 86, 20, control_id::kPurchase, 0, images::kButton);
    gift_ = AddButton(374, 200, 86, 20, control_id::kMakeGift, 0, images::kButton);
    purchase_->SetCaption(u"Purchase");
    gift_->SetCaption(u"Make a gift");
    for (gui::Button* b : {purchase_, gift_}) {
        b->SetFrameCount(gui::atlas::kTextButtonFrames);
        b->SetCaptionColour(colour::kYellow);
        b->Show(false);
    }
    return true;
}

bool BuyOrGiftDialog::Listed(const net::CatalogRecord& record) const {
    // Accounts of kind 2 cannot pay with cash.
    return !(record_ && record_->accountKind == 2 && record.currency == 1);
}

void BuyOrGiftDialog::Fill() {
    listed_ = 0;
    int k = 0;
    for (const net::CatalogRecord* offer : offers_) {
        if (!Listed(*offer)) continue;
        ++listed_;
        if (listed_ >= first_ && k < kCards) {
            cards_[k]->SetItem(offer);
            cards_[k]->GetButton()->SetChecked(offer == selected_);
            ++k;
        }
    }
    for (; k < kCards; ++k) cards_[k]->Clear();
    scroll_->SetRange(PageRange(listed_, kCards));
    ShowCards();
}

void BuyOrGiftDialog::ShowCards() {
    for (ItemCard* card : cards_) card->SetVisible(card->Item() && slide_.CardOnScreen());
}

void BuyOrGiftDialog::SetBuyHint(const WString* name) {
    const WString* shown = name ? name : selected_ ? &selected_->name : nullptr;
    for (gui::TextLabel* hint : hints_) hint->Show(shown != nullptr);
    if (!shown) return;
    hints_[0]->SetText(u"Buy %s item..", *shown);
    hints_[1]->SetPlainText(u"Please refer to the item shop to see the details.");
}

void BuyOrGiftDialog::OnShow() {
    SlidingPanel::OnShow();
    selected_ = nullptr;
    BeginSlideIn();
    purchase_->Show(false);
    gift_->Show(false);
    Fill();
    SetBuyHint(nullptr);
}

void BuyOrGiftDialog::OnHide() {
    SlidingPanel::OnHide();
    ReleaseModels();
}

void BuyOrGiftDialog::BuildModels(RenderDevice* device) {
    if (!IsVisible()) return;
    for (ItemCard* card : cards_) card->Preview()->BuildModel(device);
}

void BuyOrGiftDialog::ReleaseModels() {
    for (ItemCard* card : cards_) card->Preview()->ReleaseModel();
}

bool BuyOrGiftDialog::OnCommand(const gui::CommandEvent& event) {
    if (HandleFrameCommand(event)) return true;
    if (event.id == control_id::kPurchase && event.code == gui::CommandCode::Event) {
        // The chosen item's id travels with the mode, so the room can open its purchase window on it.
        if (host_)
            host_->PostUiMessage(static_cast<std::uint32_t>(HudMessage::PurchaseChosen), 1,
                                 selected_ ? selected_->itemId : 0, 0);
        return true;
    }
    if (event.id < control_id::kFirstOfferCard || event.id >= control_id::kFirstOfferCard + kCards)
        return false;
    const int k = static_cast<int>(event.id - control_id::kFirstOfferCard);
    const net::CatalogRecord* record = cards_[k]->Item();
    switch (event.code) {
        case gui::CommandCode::MouseEnter:
            SetBuyHint(record ? &record->name : nullptr);
            return true;
        case gui::CommandCode::MouseLeave:
            SetBuyHint(nullptr);
            return false;
        case gui::CommandCode::Event:
            if (!record) return true;
            selected_ = record;
            SetBuyHint(nullptr);
            for (int i = 0; i < kCards; ++i) cards_[i]->GetButton()->SetChecked(i == k);
            purchase_->Show(true);
            return true;
    }
    return false;
}

}  // namespace scenes::hud

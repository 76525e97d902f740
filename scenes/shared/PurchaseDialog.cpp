#include "scenes/shared/PurchaseDialog.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/WavCodec.h"
#include "gui/Button.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/CriticalSection.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/shared/PurchaseRules.h"

namespace scenes {

namespace {
constexpr std::uint32_t kGreen = 0xFF80FF80;
constexpr std::uint32_t kYellow = 0xFFFFFF60;
constexpr std::uint32_t kLightRed = 0xFFFFB0B0;
constexpr std::uint32_t kNoteColour = 0xFFBB44BB;
constexpr int kBeepSoundId = 9001;  // generated on first use
constexpr std::uint32_t kOwnedLimit = 2;

gui::TextLabel* Line(gui::Widget& parent, int x, int y, int w, const WString& text,
                     const gui::FontDesc& font = gui::kFont12Bold, std::uint32_t argb = gui::skin::kText) {
    return AddTextLine(parent, x, y, w, 18, text, font, gui::align::kLeft | gui::align::kVCenter, argb);
}

// "%s / %dDays", "%s / %d시간", "%s / %dTimes" or "%s" for one period of the record.
WString PeriodText(const net::ItemRecord& r, int i) {
    const WString price = FormatNumber(r.prices[i]);
    const int quantity = r.periods[i];
    if (r.periodKind == 1) return Format(u"%s / %dDays", price, quantity);
    if (r.periodKind == 2 || r.periodKind == 3) {
        if (r.itemId == purchase_item::kPracticeTime) return Format(u"%s / %d시간", price, quantity / 60);
        return Format(u"%s / %dTimes", price, quantity);
    }
    return price;
}
}  // namespace

// --- RecipientList --------------------------------------------------------------------------------

RecipientList::RecipientList(SceneHost* host) : host_(host) {
    Create(0, 0, 104, kRows * 20 + 4);
    SetPopupStyle(true);
    for (int i = 0; i < kRows; ++i) {
        rows_[i] =
            AddTextButton(*this, 2, 2 + i * 20, 84, 20, kFirstName + static_cast<std::uint32_t>(i), {});
        rows_[i]->SetCaptionFont(gui::kFont12);
    }
    up_ = AddButton(2, -20, 84, 20, kUp, platform::kVkUp, gui::atlas::kArrowUp);
    down_ = AddButton(2, kReach - 20, 84, 20, kDown, platform::kVkDown, gui::atlas::kArrowDown);
    scroll_ = Make<gui::ScrollBar>();
    scroll_->Create(88, 2, 13, kRows * 20, kScroll, gui::Orientation::Vertical, 1);
    scroll_->Show(true);
    SetVisible(false);
}

void RecipientList::Open() {
    picked_.clear();
    first_ = 1;
    scroll_->SetPos(0, false);
    Fill();
    if (names_.empty()) {
        if (host_) host_->ShowNotice(GetParent(), u"목록이 없습니다.");
        return;
    }
    Show(true);
}

void RecipientList::Fill() {
    names_.clear();
    if (net::GameSession* s = host_ ? host_->CurrentSession() : nullptr) {
        platform::ScopedLock lock(s->listLock);
        if (source_ == 2) {
            for (const net::ClanMember& m : s->clanMembers) names_.push_back(m.nickname);
        } else {
            for (const net::FriendEntry& f : s->friends) names_.push_back(f.nickname);
        }
    }
    const int count = Count();
    first_ = std::clamp(first_, 1, std::max(1, count - kRows + 1));
    for (int i = 0; i < kRows; ++i) {
        const int entry = first_ - 1 + i;
        rows_[i]->SetVisible(entry < count);
        rows_[i]->SetCaption(entry < count ? names_[entry] : WString{});
    }
    scroll_->SetRange(std::max(1, count - (kRows - 1)));
    const bool paged = count >= kRows;
    up_->SetVisible(paged);
    down_->SetVisible(paged);
    up_->SetEnabled(first_ >= 2);
    down_->SetEnabled(first_ < count - (kRows - 1));
}

bool RecipientList::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.code != gui::CommandCode::Event) return false;
    const std::uint32_t id = event.source->Id();
    if (id >= kFirstName && id < kFirstName + kRows) {
        const int entry = first_ - 1 + static_cast<int>(id - kFirstName);
        if (entry >= Count()) return true;
        picked_ = names_[entry];
        Show(false);
        const gui::CommandEvent picked{this, kPicked, 0, gui::CommandCode::Event};
        if (GetParent()) GetParent()->OnCommand(picked);
        return true;
    }
    switch (id) {
        case kScroll:
            first_ = std::max(1, event.value);
            break;
        case kUp:
            first_ = std::max(1, first_ - 1);
            break;
        case kDown:
            if (first_ < Count() - (kRows - 1)) ++first_;
            break;
        default:
            return false;
    }
    Fill();
    return true;
}

// --- PurchaseDialog -------------------------------------------------------------------------------

PurchaseDialog::PurchaseDialog(SceneHost* host) : host_(host) {
    SetUpDialog(*this, kWidth, kHeight, u"Purchase Item");
    SetTitle({});  // the title is a label of its own
    title_ = Line(*this, 15, 9, 300, u"Purchase Item", gui::kFont14Bold);
    kind_ = AddTextLine(*this, 380, 10, 140, 20, u"Gold Product.", gui::kFont14Bold,
                        gui::align::kRight | gui::align::kVCenter);
    Line(*this, 20, 50, 80, u"Product :", gui::kFont14Bold);
    name_ = Line(*this, 100, 50, 400, {}, gui::kFont14Bold, kYellow);
    Line(*this, 20, 85, 60, u"Price :", gui::kFont12Bold, kGreen);
    for (int i = 0; i < 3; ++i) {
        const int y = 78 + 24 * i;
        periodButtons_[i] =
            AddCheckBox(*this, 80, y, 31, kFirstPeriod + static_cast<std::uint32_t>(i), {}, i == 0);
        periodButtons_[i]->SetToggleMode(false);
        periodButtons_[i]->SetRadioMode(1);
        // Each price right of its radio box, the bonus gold right of the longest price.
        periodLabels_[i] = Line(*this, 118, y + 2, 120, {}, gui::kFont12Bold, kGreen);
        bonusLabels_[i] = Line(*this, 244, y + 2, 290, {}, gui::kFont12Bold, kLightRed);
    }
    balanceCaptions_[0] = Line(*this, 20, 165, 116, {});
    balanceValues_[0] = Line(*this, 140, 165, 150, {});
    balanceCaptions_[1] = Line(*this, 20, 185, 116, {});
    balanceValues_[1] = Line(*this, 140, 185, 150, {});
    discountHeader_ = Line(*this, 20, 230, 400, {});
    discountLine_ = Line(*this, 20, 250, 400, {});
    discountHeader_->SetVisible(false);
    discountLine_->SetVisible(false);

    sendPanel_ = AddPanel(200, 160, 340, 80);
    Line(*sendPanel_, 20, 5, 80, u"Send to :");
    Line(*sendPanel_, 20, 29, 80, u"Message");
    recipient_ = AddEditField(*sendPanel_, 105, 6, 90, 18, 0, 12);
    message_ = AddEditField(*sendPanel_, 105, 30, 230, 18, 0, 37);
    friendList_ = AddTextButton(*sendPanel_, 220, 3, 82, 22, kFriendList, u"Friends");
    clanList_ = AddTextButton(*sendPanel_, 220, 3, 82, 22, kClanList, u"Clan");
    bonusCaption_ = Line(*sendPanel_, 100, 56, 100, u"Bonus Gold");
    bonusBox_ = AddCheckBox(*sendPanel_, 80, 50, 20, kBonusGold, {}, false);
    bonusBox_->SetTooltip(u"체크하지 않으면 보너스 큐머니는 내 계정으로 충전됩니다.");

    // The two note lines stand 16 pixels apart: each as tall as its text.
    notes_[0] = AddTextLine(*this, 20, 319, 500, 16,
                            u"주) 관계 법령에 따라 캐시 상품의 소유권한이 보장되는 기간은 구입후 1년간이며",
                            gui::kFont12Bold, gui::align::kLeft | gui::align::kVCenter, kNoteColour);
    notes_[1] = AddTextLine(*this, 20, 335, 500, 16, u"    별도의 변경이 없는한 계속해서 사용할 수 있습니다.",
                            gui::kFont12Bold, gui::align::kLeft | gui::align::kVCenter, kNoteColour);
    buy_ = AddTextButton(*this, 300, 270, 91, 33, kBuyId, u"Buy");
    AddTextButton(*this, 430, 270, 91, 33, kCloseId, u"Close", platform::kVkEscape);
    list_ = Make<RecipientList>(host_);
    list_->SetVisible(false);
    SetVisible(false);
}

net::GameSession* PurchaseDialog::Session() const {
    return host_ ? host_->CurrentSession() : nullptr;
}

bool PurchaseDialog::CashProduct() const {
    return record_ && record_->priceKind == static_cast<std::uint8_t>(net::PriceKind::Cash);
}

void PurchaseDialog::SetMode(PurchaseMode mode) {
    mode_ = mode;
    // The list buttons show in the modes that have a recipient: friends for a gift, clan members
    // for a clan gift.
    friendList_->SetVisible(mode == PurchaseMode::Gift);
    clanList_->SetVisible(mode == PurchaseMode::ClanGift);
    switch (mode) {
        case PurchaseMode::Purchase:
            sendPanel_->SetVisible(false);
            break;
        case PurchaseMode::Gift:
            discountHeader_->SetVisible(false);
            discountLine_->SetVisible(false);
            sendPanel_->SetVisible(true);
            message_->SetEnabled(true);
            message_->SetText(u"This is for you~");
            break;
        case PurchaseMode::ClanGift: {
            discountHeader_->SetVisible(false);
            discountLine_->SetVisible(false);
            sendPanel_->SetVisible(true);
            balanceCaptions_[0]->SetPlainText(u"보유 클랜머니 :");
            balanceCaptions_[1]->SetPlainText(u"구입후 클랜머니 :");
            const net::GameSession* s = Session();
            message_->SetText(Format(u"%s Clan Gift", s ? s->clanName : WString{}));
            message_->SetEnabled(false);
            break;
        }
    }
}

void PurchaseDialog::SetProduct(const net::ItemRecord* record) {
    record_ = record;
    if (!record) return;
    const bool cash = CashProduct();
    kind_->SetPlainText(cash ? u"캐시 상품입니다." : u"Gold Product.");
    if (mode_ != PurchaseMode::ClanGift) {
        balanceCaptions_[0]->SetPlainText(cash ? u"  보유 캐시 :" : u" Current Gold :");
        balanceCaptions_[1]->SetPlainText(cash ? u"구입후 캐시 :" : u"After Purchase :");
    }
    notes_[0]->SetVisible(cash);
    notes_[1]->SetVisible(cash);
    for (int i = 1; i < 3; ++i) periodButtons_[i]->SetVisible(record->prices[i] != net::kNotSold);
    for (int i = 0; i < 3; ++i) {
        bonusLabels_[i]->SetPlainText({});
        if (record->bonusGoldFlag != 1) continue;
        const bool shown = i == 0 ? record->bonusGold[0] > 0
                                  : record->bonusGold[i] >= 1 && record->periods[i] != net::kNoPeriod;
        if (shown) bonusLabels_[i]->SetText(u"(bonus gold %s)", FormatNumber(record->bonusGold[i]));
    }
}

void PurchaseDialog::OnShow() {
    gui::Dialog::OnShow();
    period_ = 1;
    for (int i = 0; i < 3; ++i) periodButtons_[i]->SetChecked(i == 0);
    static const char16_t* const kTitles[] = {u"Purchase Item", u"Gift", u"Clan Gift"};
    title_->SetPlainText(kTitles[static_cast<int>(mode_) - 1]);
    if (mode_ != PurchaseMode::Purchase) recipient_->SetFocus(true);
    bonusBox_->SetChecked(false);
    CenterOnScreen();
    list_->SetVisible(false);
    if (!record_) return;
    name_->SetPlainText(record_->name);
    const bool bonus = record_->bonusGold[0] >= 1;
    bonusCaption_->SetVisible(bonus);
    bonusBox_->SetVisible(bonus);
    balanceValues_[0]->SetPlainText(FormatNumber(Balance()));
    periodLabels_[0]->SetPlainText(PeriodText(*record_, 0));
    for (int i = 1; i < 3; ++i)
        periodLabels_[i]->SetPlainText(record_->periods[i] == net::kNoPeriod ? WString{}
                                                                             : PeriodText(*record_, i));
    const bool membershipItem = record_->itemId >= 10 && record_->itemId <= 14;
    if (membershipItem) bonusBox_->SetChecked(true);
    bonusBox_->SetEnabled(!membershipItem);
    buy_->SetEnabled(true);
    UpdatePrice();
}

std::int64_t PurchaseDialog::Balance() const {
    const net::GameSession* s = Session();
    if (!s) return 0;
    if (mode_ == PurchaseMode::ClanGift) return s->clanMoney;
    return CashProduct() ? static_cast<std::int64_t>(s->own.cash) : s->own.money;
}

void PurchaseDialog::UpdatePrice() {
    if (!record_) return;
    price_ = record_->prices[std::clamp(period_, 1, 3) - 1];
    if (mode_ == PurchaseMode::Purchase) {
        const bool cash = CashProduct();
        const net::GameSession* s = Session();
        const std::uint8_t level = s ? s->clubMembership : 0;
        discountHeader_->SetText(cash ? u"마르베클럽 멤버십 20%% 할인 적용"
                                      : u"마르베클럽 멤버십 10%% 할인 적용");
        const int percent = DiscountPercent(level, cash);
        if (percent == 0) {
            discountLine_->SetPlainText(u"마르베클럽 미가입 상태입니다.");
        } else {
            const std::int64_t discounted = DiscountedPrice(price_, level, cash);
            discountLine_->SetText(u"%s -> %s", FormatNumber(price_), FormatNumber(discounted));
            price_ = discounted;
        }
        // The discount is shown where it applies, so the player sees why the price changed.
        discountHeader_->SetVisible(true);
        discountLine_->SetVisible(true);
    }
    balanceValues_[1]->SetPlainText(FormatNumber(Balance() - price_));
}

bool PurchaseDialog::IsBonusGoldChecked() const {
    return bonusBox_->IsChecked();
}

WString PurchaseDialog::Recipient() const {
    return recipient_->GetText();
}

WString PurchaseDialog::Message() const {
    return message_->GetText();
}

bool PurchaseDialog::Validate() {
    net::GameSession* s = Session();
    if (!s || !record_) return false;
    auto error = [&](const WString& line) {
        if (host_) host_->ShowError(this, line);
        return false;
    };
    if (mode_ != PurchaseMode::ClanGift) {
        if (CashProduct()) {
            if (static_cast<std::int64_t>(s->own.cash) < price_) return error(u"Not enough cash.");
        } else {
            if (mode_ == PurchaseMode::Purchase) {
                if (static_cast<int>(s->own.level) < record_->requiredLevel) {
                    if (host_)
                        host_->ShowNotice(this, Format(u"This item can only be used from level %d.",
                                                       static_cast<int>(record_->requiredLevel)));
                    return false;
                }
                std::uint32_t owned = 0;
                for (const net::ItemEntry* e : s->own.Items())
                    if (e && e->itemId == record_->itemId) ++owned;
                const bool partsCue = record_->itemId >= purchase_item::kFirstCustomCue &&
                                      record_->itemId <= purchase_item::kLastCustomCue;
                if (owned >= kOwnedLimit && !partsCue) {
                    if (host_)
                        host_->ShowNotice(this, u"You already own two of the same kind of item.",
                                          u"Limit : 2 items ");
                    return false;
                }
            }
            if (s->own.money < price_) return error(u"Not enough money.");
        }
    } else {
        if (s->clanRank < 10) return error(u"Clan master only allowed");
        if (s->clanMoney < price_) return error(u"Not enough money.");
    }
    if (mode_ != PurchaseMode::Purchase) {
        const WString recipient = Recipient();
        if (recipient.empty()) return error(u"받을 사람의 닉네임을 입력하세요.");
        if (mode_ == PurchaseMode::Gift && recipient == s->own.nickname)
            return error(u"자기 자신에게는 선물을 보낼 수 없습니다.");
        if (mode_ == PurchaseMode::ClanGift) {
            bool member = false;
            {
                platform::ScopedLock lock(s->listLock);
                for (const net::ClanMember& m : s->clanMembers) member = member || m.nickname == recipient;
            }
            if (!member) return error(u"클랜원에게만 선물할 수 있습니다.");
        }
        if (Message().empty()) return error(u"선물 메시지를 입력하세요.");
    }
    return true;
}

void PurchaseDialog::Beep() {
    SoundManager* sound = host_ ? host_->Sound() : nullptr;
    if (!sound) return;
    if (!sound->IsLoaded(kBeepSoundId)) sound->LoadStatic(kBeepSoundId, GenerateToneWav(kBeepHz, kBeepMs));
    sound->PlayDefault(kBeepSoundId);
}

bool PurchaseDialog::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.code != gui::CommandCode::Event) return false;
    if (event.source == recipient_ || event.source == message_) {
        // Enter in the recipient or the message buys, as Buy does; Escape closes the window by its
        // Close button's key.
        if (event.value == static_cast<std::int32_t>(platform::kVkReturn)) Buy();
        return true;
    }
    const std::uint32_t id = event.source == list_ ? event.id : event.source->Id();
    if (id >= kFirstPeriod && id < kFirstPeriod + 3) {
        period_ = static_cast<int>(id - kFirstPeriod) + 1;
        for (int i = 0; i < 3; ++i) periodButtons_[i]->SetChecked(i == period_ - 1);
        UpdatePrice();
        return true;
    }
    switch (id) {
        case kFriendList:
        case kClanList: {
            // Under the button, or higher where the screen ends before the list's down arrow: on a
            // 768-high client the list ran past the bottom.
            gui::Button* button = id == kFriendList ? friendList_ : clanList_;
            const int screenHeight = host_ ? host_->ClientHeight() : gui::GetGuiState().screenHeight;
            list_->MoveTo(sendPanel_->X() + button->X(),
                          std::min(sendPanel_->Y() + button->Y() + button->Height(),
                                   screenHeight - ScreenY() - RecipientList::kReach));
            list_->SetSource(id == kFriendList ? 1 : 2);
            list_->Open();
            return true;
        }
        case RecipientList::kPicked:
            recipient_->SetText(list_->Picked());
            return true;
        case kBeepClose:
            Show(false);
            Beep();
            return true;
        case kCloseId:
            Show(false);
            return true;
        case kBuyId:
            Buy();
            return true;
        default:
            return false;
    }
}

void PurchaseDialog::Buy() {
    // A request goes once: the button stays disabled until the window opens again.
    if (!buy_->IsEnabled() || !Validate()) return;
    buy_->SetEnabled(false);
    if (host_) host_->PostUiMessage(purchase_message::kPurchaseConfirmed, 0, 0, 0);
}

bool PurchaseDialog::WriteRequest(net::Packet& p) const {
    constexpr std::uint16_t kPurchase = 507, kGift = 508, kClanGift = 509;
    if (!record_) return false;
    p.Init(mode_ == PurchaseMode::Gift ? kGift : mode_ == PurchaseMode::ClanGift ? kClanGift : kPurchase);
    p.WriteU32(record_->itemId).WriteU8(static_cast<std::uint8_t>(period_)).WriteString(record_->name);
    if (mode_ == PurchaseMode::Gift) p.WriteU8(IsBonusGoldChecked() ? 1 : 0);
    if (mode_ != PurchaseMode::Purchase) p.WriteString(Recipient()).WriteString(Message());
    return true;
}

}  // namespace scenes

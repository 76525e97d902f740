#include "scenes/shop/MembershipDialog.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopDialogs.h"
#include "scenes/shop/ShopText.h"

namespace scenes {

namespace {
gui::TextLabel* Line(gui::Widget& parent, int x, int y, int w, const WString& text,
                     const gui::FontDesc& font = gui::kFont14Bold) {
    return AddTextLine(parent, x, y, w, 20, text, font);
}
gui::Button* Radio(gui::Widget& parent, int x, int y, std::uint32_t id, int group) {
    gui::Button* b = AddCheckBox(parent, x, y, 22, id, {}, false);
    b->SetToggleMode(false);
    b->SetRadioMode(group);
    return b;
}
constexpr char16_t kCannotChange[] = u"변경할 수 없습니다.";
}  // namespace

MembershipDialog::MembershipDialog(SceneHost* host) : CentredDialog(host) {
    SetUpDialog(*this, kWidth, kHeight, u"마르베클럽 멤버십 가입");
    SetTitle({});  // the title is a label of its own
    Line(*this, 15, 8, 320, u"마르베클럽 멤버십 가입", gui::kFont16Bold);
    standard_ = Radio(*this, 22, 45, kStandard, 1);
    Line(*this, 44, 50, 140, u"마르베클럽 스탠다드");
    plus_ = Radio(*this, 183, 45, kPlus, 1);
    Line(*this, 205, 50, 140, u"마르베클럽 플러스");
    Line(*this, 20, 85, 94, u"보유 캐시 :");
    cash_ = Line(*this, 114, 85, 200, {});
    Line(*this, 20, 115, 60, u"기간 :");
    days30_ = Radio(*this, 80, 110, kDays30, 2);
    price30_ = Line(*this, 105, 115, 220, {});
    days90_ = Radio(*this, 80, 130, kDays90, 2);
    price90_ = Line(*this, 105, 135, 220, {});
    Line(*this, 20, 165, 110, u"구입후 캐시 :");
    after_ = Line(*this, 130, 165, 200, {});
    Line(*this, 20, 185, 110, u"큐머니 지급 :");
    cueMoney_ = Line(*this, 130, 185, 200, {});
    giftBox_ = AddCheckBox(*this, 20, 210, 100, kGiftBox, u"선물하기", false);
    recipient_ = AddEditField(*this, 130, 215, 200, 18, 0, 12);
    recipient_->Setup(gui::kFont14, 12, gui::skin::kText);
    Line(*this, 30, 245, 300, u"※ 멤버십 종류 변경과 연장 기능은");
    Line(*this, 30, 265, 300, u"   당분간 사용이 불가능합니다.");
    AddTextButton(*this, 50, 295, 82, 22, kBuy, u"Buy");
    AddTextButton(*this, 200, 295, 82, 22, shop_control::kClose, u"Close", platform::kVkEscape);
    // The guide picture of the kinds, which the dialog itself leaves without a control.
    AddTextButton(*this, 260, 8, 82, 22, kPicture, u"Guide");
    SetVisible(false);
}

net::GameSession* MembershipDialog::Session() const {
    return host_ ? host_->CurrentSession() : nullptr;
}

std::uint8_t MembershipDialog::Level() const {
    const net::GameSession* s = Session();
    return s ? s->clubMembership : 0;
}

WString MembershipDialog::Recipient() const {
    return recipient_->GetText();
}

void MembershipDialog::OnShow() {
    CentredDialog::OnShow();
    period_ = 1;
    kind_ = 1;
    upgrade_ = 0;
    giftBox_->SetChecked(false);
    giftMode_ = 1;
    recipient_->SetText({});
    recipient_->SetEnabled(false);
    days30_->SetChecked(true);
    days90_->SetChecked(false);
    SetDefaultKind();
    UpdatePrice();
}

void MembershipDialog::SetDefaultKind() {
    const std::uint8_t level = Level();
    kind_ = level == 2 ? 2 : level == 1 ? 1 : 3;
    standard_->SetChecked(kind_ == 2);
    plus_->SetChecked(kind_ == 3);
    const net::GameSession* s = Session();
    cash_->SetPlainText(FormatNumber(s ? static_cast<std::int64_t>(s->own.cash) : 0));
}

void MembershipDialog::UpdatePrice() {
    const bool days90 = days90_->IsChecked();
    const std::int64_t p30 = MembershipPrice(kind_, 1), p90 = MembershipPrice(kind_, 2);
    price_ = days90 ? p90 : p30;
    const std::int64_t cueMoney = MembershipCueMoney(kind_, days90 ? 2 : 1);
    price30_->SetText(u"%6s 원 : 30일", FormatNumber(p30));
    price90_->SetText(u"%6s 원 : 90일", FormatNumber(p90));
    days30_->SetVisible(true);
    days90_->SetVisible(true);
    const net::GameSession* s = Session();
    const std::int64_t cash = s ? static_cast<std::int64_t>(s->own.cash) : 0;
    after_->SetPlainText(FormatNumber(cash - price_));
    if (cueMoney > 0)
        cueMoney_->SetText(u"%s 즉시 지급", FormatNumber(cueMoney));
    else
        cueMoney_->SetPlainText(u"없음");
}

void MembershipDialog::PlusGiftNotice() {
    if (host_)
        host_->ShowNotice(this, u"받는 사람에게 큐머니는 지급되지 않습니다.",
                          u"큐머니는 본인 계정으로 지급되므로 유의하세요.");
}

void MembershipDialog::ChooseKind(std::uint32_t id) {
    if (giftMode_ == 1) {
        const std::uint8_t level = Level();
        const char16_t* refusal = nullptr;
        bool standardOn = false, plusOn = false;
        if (level == 1 && (id == kStandard || id == kPlus)) {
            refusal = u"베이직 멤버십은 상위 멤버십으로";
        } else if (level == 2 && id == kBasic) {
            refusal = u"스탠다드 멤버십에서 하위 멤버십으로";
            standardOn = true;
        } else if (level == 2 && id == kPlus) {
            refusal = u"스탠다드 멤버십에서 상위 멤버십으로";
            standardOn = true;
        } else if (level == 3 && (id == kBasic || id == kStandard)) {
            refusal = u"플러스 멤버십에서 하위 멤버십으로";
            plusOn = true;
        }
        if (refusal) {
            standard_->SetChecked(standardOn);
            plus_->SetChecked(plusOn);
            if (host_) host_->ShowNotice(this, refusal, kCannotChange);
            return;
        }
    }
    kind_ = id == kPlus ? 3 : id == kStandard ? 2 : 1;
    standard_->SetChecked(kind_ == 2);
    plus_->SetChecked(kind_ == 3);
    upgrade_ = 0;
    if (giftMode_ == 2 && kind_ == 3) PlusGiftNotice();
    UpdatePrice();
}

void MembershipDialog::Buy() {
    if (kind_ == 3) {
        if (host_) host_->ShowNotice(this, u"플러스 멤버십은 당분간 결제불가능합니다.");
        return;
    }
    const net::GameSession* s = Session();
    if (giftMode_ == 2) {
        const WString recipient = Recipient();
        if (recipient.size() < 2) {
            if (host_) host_->ShowError(this, u"선물 받을 사람의 닉네임을 입력하세요.");
            return;
        }
        if (s && recipient == s->own.nickname) {
            if (host_) host_->ShowError(this, u"자기 자신에게 선물할 수 없습니다.");
            return;
        }
    } else if (Level() > 0) {
        if (host_) host_->ShowNotice(this, u"변경/연장 기능은 당분간 사용불가능합니다.");
        return;
    }
    const std::int64_t cash = s ? static_cast<std::int64_t>(s->own.cash) : 0;
    if (cash < price_) {
        if (host_) host_->ShowError(this, u"Not enough cash.");
        return;
    }
    if (host_) host_->PostUiMessage(shop_message::kMembershipConfirmed, 0, 0, 0);
    Show(false);
}

bool MembershipDialog::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.code != gui::CommandCode::Event) return false;
    if (event.source == recipient_) {
        // Enter in the name buys, as Buy does; Escape closes the window by its Close button's key.
        if (event.value == static_cast<std::int32_t>(platform::kVkReturn)) Buy();
        return true;
    }
    const std::uint32_t id = event.source->Id();
    switch (id) {
        case kGiftBox:
            giftMode_ = giftBox_->IsChecked() ? 2 : 1;
            if (giftMode_ == 1) {
                recipient_->SetText({});
                recipient_->SetEnabled(false);
                SetDefaultKind();
            } else {
                recipient_->SetEnabled(true);
            }
            UpdatePrice();
            if (giftMode_ == 2 && kind_ == 3) PlusGiftNotice();
            return true;
        case kDays30:
        case kDays90:
            period_ = static_cast<int>(id - kDays30) + 1;
            days30_->SetChecked(period_ == 1);
            days90_->SetChecked(period_ == 2);
            UpdatePrice();
            return true;
        case kBasic:
        case kStandard:
        case kPlus:
            ChooseKind(id);
            return true;
        case kPicture:
            if (host_) host_->PostUiMessage(shop_message::kShowImagePanel, 0, 0, 0);
            return true;
        case kBuy:
            Buy();
            return true;
        case shop_control::kClose:
            Show(false);
            return true;
        default:
            return false;
    }
}

ImagePanelDialog::ImagePanelDialog(SceneHost* host) : CentredDialog(host) {
    SetUpDialog(*this, 579, 423, {});
    AddTextButton(*this, 254, 391, 67, 24, shop_control::kClose, u"Close", platform::kVkReturn);
    SetVisible(false);
}

bool ImagePanelDialog::OnCommand(const gui::CommandEvent& event) {
    if (!event.source || event.source->Id() != shop_control::kClose) return false;
    Show(false);
    return true;
}

}  // namespace scenes

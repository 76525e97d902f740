#include "scenes/shop/cue/CuePartsPurchaseDialog.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ItemPreview.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopItemWidgets.h"

namespace scenes {

namespace {
constexpr std::uint32_t kRed = 0xFFFF2020;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr const char16_t* kPanelTitles[net::kCueParts] = {u"상대 선택", u"하대 선택", u"조인트 선택",
                                                          u"범퍼 선택", u"큐팁 선택"};

gui::TextLabel* Line(gui::Widget& parent, int x, int y, int w, const WString& text) {
    return AddTextLine(parent, x, y, w, 18, text, gui::kFont12Bold);
}

// The detail texts of the parts purchase and of the read-only catalogue.
struct DetailWords {
    const char16_t* title;
    const char16_t* cashPrice;
    const char16_t* moneyPrice;
    const char16_t* limit[net::kCueParts];  // shaft, butt, joint, bumper (limit 2), tip (limit 1)
    const char16_t* tipSecond;              // tip (limit 2)
    const char16_t* noBumperGain;
    const char16_t* missingRow;
};
constexpr DetailWords kPurchaseWords{
    u"%s %d번",
    u"%s (캐시)",
    u"%s (큐머니)",
    {u"스쿼트 상한 %d", u"파워 상한 %d", u"밸런스 상한 %d", u"총내구도 %d 증가", u"스핀 상한 %d"},
    u"미스큐 상한 %d",
    u"없음",
    u"알수없음"};
constexpr DetailWords kCatalogueWords{
    u"%s %d",
    u"%s (CC)",
    u"%s (Gold)",
    {u"squirt limit %d", u"power limit %d", u"balance limit %d", u"총내구도 %d 복원", u"spin limit %d"},
    u"miscue limit %d",
    u"없음",
    u"no option"};
}  // namespace

CuePartsPurchaseDialog::CuePartsPurchaseDialog(SceneHost* host) : CueDialogBase(host) {
    SetUpDialog(*this, kWidth, kHeight, {});
    preview_ = Make<CuePartPreview>(20, 50, 147, 242, true);
    preview_->Show(true);
    for (int g = 0; g < net::kCueParts; ++g) {
        gui::Button* tab =
            AddCheckBox(*this, 180 + 68 * g, 40, 66, parts_control::kFirstTab + static_cast<std::uint32_t>(g),
                        WString(net::CuePartTable::GroupName(g)), g == 0);
        tab->SetToggleMode(false);
        tab->SetRadioMode(6);
        tabs_[static_cast<std::size_t>(g)] = tab;
    }
    groupTitle_ = Line(*this, 180, 66, 200, {});
    for (int c = 0; c < kCards; ++c)
        cards_[static_cast<std::size_t>(c)] = Make<CuePartCard>(
            200 + 84 * c, 86, parts_control::kFirstCard + static_cast<std::uint32_t>(c), false);
    back_ = AddTextButton(*this, 180, 140, 18, 24, parts_control::kPageBack, u"<");
    forward_ = AddTextButton(*this, 540, 140, 18, 24, parts_control::kPageForward, u">");
    Line(*this, 180, 220, 80, u"부품명칭 :");
    title_ = Line(*this, 260, 220, 150, {});
    Line(*this, 180, 240, 80, u"가    격 :");
    price_ = Line(*this, 260, 240, 150, {});
    Line(*this, 180, 260, 80, u"요구사항 :");
    level_ = Line(*this, 260, 260, 150, {});
    Line(*this, 180, 280, 80, u"기    능 :");
    options_[0] = Line(*this, 260, 280, 150, {});
    options_[1] = Line(*this, 260, 298, 150, {});
    const char16_t* captions[4] = {u"보유캐시 :", u"캐시비용 :", u"보유큐머니 :", u"큐머니비용 :"};
    for (int i = 0; i < 4; ++i) {
        buying_.push_back(Line(*this, 420, 220 + 20 * i, 90, captions[i]));
        totalLabels_[static_cast<std::size_t>(i)] = Line(*this, 510, 220 + 20 * i, 100, {});
    }
    buying_.push_back(AddTextButton(*this, 180, 340, 91, 26, parts_control::kCurrentParts, u"원래대로"));
    buying_.push_back(AddTextButton(*this, 280, 340, 91, 26, parts_control::kGuide, u"가이드"));
    buying_.push_back(AddTextButton(*this, 420, 340, 91, 26, cue_control::kOk, u"구입"));
    for (gui::TextLabel* label : totalLabels_) buying_.push_back(label);
    AddTextButton(*this, 520, 340, 91, 26, cue_control::kClose, u"닫기", platform::kVkEscape);
}

void CuePartsPurchaseDialog::SetCue(const net::ItemEntry& cue) {
    serial_ = cue.serial;
    itemId_ = cue.itemId;
    current_ = cue.parts;
    for (int g = 0; g < net::kCueParts; ++g) {
        const auto i = static_cast<std::size_t>(g);
        selected_[i] = cue.parts[i];
    }
    FillLists();
    RefreshPreview();
    FillCards();
}

void CuePartsPurchaseDialog::FillLists() {
    for (int g = 0; g < net::kCueParts; ++g) {
        const auto i = static_cast<std::size_t>(g);
        // Only rows the table has are offered, so no detail or total reads a missing row.
        lists_[i].clear();
        const int count = std::min(kListSizes[i], net::GetCuePartTable().RowCount(g));
        for (int p = 0; p < count; ++p) lists_[i].push_back(p);
        pageStart_[i] = std::clamp(pageStart_[i], 1, std::max(1, static_cast<int>(lists_[i].size())));
    }
}

void CuePartsPurchaseDialog::Browse(std::uint32_t itemId) {
    browsing_ = true;
    serial_ = 0;
    itemId_ = itemId;
    // No owned part: every part shows its price.
    current_.fill(0xFFFF);
    selected_ = {};
    pageStart_ = {1, 1, 1, 1, 1};
    for (gui::Widget* w : buying_) w->SetVisible(false);
    FillLists();
    RefreshPreview();
    FillCards();
}

bool CuePartCatalogDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.id == parts_control::kCurrentParts || event.id == parts_control::kGuide ||
        event.id == cue_control::kOk)
        return true;
    return CuePartsPurchaseDialog::OnCommand(event);
}

void CuePartsPurchaseDialog::OnShow() {
    gui::Dialog::OnShow();
    for (int g = 0; g < net::kCueParts; ++g) tabs_[static_cast<std::size_t>(g)]->SetChecked(g == group_);
    FillCards();
    // The whole cue stands clear of the dialog where it opened, not where the dialog was when its
    // cue was set.
    RefreshPreview();
}

void CuePartsPurchaseDialog::OnHide() {
    CueDialogBase::OnHide();
    if (!panel_) return;
    panel_->Show(false);
    panel_->ReturnHome();
}

void CuePartsPurchaseDialog::FillCards() {
    const auto g = static_cast<std::size_t>(group_);
    groupTitle_->SetPlainText(kPanelTitles[g]);
    int position = 0, shown = 0;
    for (int part : lists_[g]) {
        ++position;
        if (position < pageStart_[g] || shown >= kCards) continue;
        CuePartCard* card = cards_[static_cast<std::size_t>(shown++)];
        card->SetPart(group_, part);
        card->SetPressed(part == selected_[g]);
    }
    for (int c = shown; c < kCards; ++c) cards_[static_cast<std::size_t>(c)]->Clear();
    const int listed = static_cast<int>(lists_[g].size());
    back_->SetVisible(pageStart_[g] != 1);
    forward_->SetVisible(pageStart_[g] + kCards <= listed);
    RefreshDetails();
    preview_->SetPart(group_, selected_[g]);
}

void CuePartsPurchaseDialog::RefreshPreview() {
    if (panel_) {
        std::array<std::uint16_t, net::kCueParts> parts{};
        for (std::size_t g = 0; g < parts.size(); ++g) parts[g] = static_cast<std::uint16_t>(selected_[g]);
        panel_->PlaceBelow(*this);
        panel_->ShowItem(itemId_, &parts);
        panel_->Preview()->viewDistance = 170.0f;
        panel_->Preview()->rotationSpeed = 4.0f;
        panel_->Show(true);
        panel_->BringToFront();
    }
    preview_->SetPart(group_, selected_[static_cast<std::size_t>(group_)]);
}

void CuePartsPurchaseDialog::RefreshDetails() {
    const DetailWords& words = browsing_ ? kCatalogueWords : kPurchaseWords;
    const auto g = static_cast<std::size_t>(group_);
    const int part = selected_[g];
    const net::CuePartRow* row = net::GetCuePartTable().Find(group_, part);
    title_->SetText(words.title, WString(net::CuePartTable::GroupName(group_)), part + 1);
    if (part == current_[g])
        price_->SetPlainText(u"변경 안함");
    else if (row)
        price_->SetText(row->currency == 1 ? words.cashPrice : words.moneyPrice, FormatNumber(row->price));
    else
        price_->SetPlainText(FormatNumber(0));
    options_[1]->SetVisible(false);
    if (!row) {
        options_[0]->SetPlainText(words.missingRow);
    } else if (group_ == static_cast<int>(net::CuePartGroup::Bumper)) {
        if (row->limit2 >= 1)
            options_[0]->SetText(words.limit[g], row->limit2);
        else
            options_[0]->SetPlainText(words.noBumperGain);
    } else {
        options_[0]->SetText(words.limit[g], row->limit1);
        if (group_ == static_cast<int>(net::CuePartGroup::Tip)) {
            options_[1]->SetText(words.tipSecond, row->limit2);
            options_[1]->SetVisible(true);
        }
    }
    net::GameSession* s = Session();
    const int playerLevel = s ? s->own.level : 0;
    if (row && row->requiredLevel >= 1) {
        level_->SetText(u"레벨 %d", static_cast<int>(row->requiredLevel));
        level_->SetColors(playerLevel < row->requiredLevel ? kRed : kWhite, level_->SecondColour());
    } else {
        level_->SetPlainText(u"없음");
        level_->SetColors(kWhite, level_->SecondColour());
    }
    totals_ = TotalParts(current_, selected_);
    totalLabels_[0]->SetPlainText(FormatNumber(s ? s->own.cash : 0));
    totalLabels_[1]->SetPlainText(FormatNumber(totals_.cash));
    totalLabels_[2]->SetPlainText(FormatNumber(s ? s->own.money : 0));
    totalLabels_[3]->SetPlainText(FormatNumber(totals_.cueMoney));
}

bool CuePartsPurchaseDialog::OnCommand(const gui::CommandEvent& event) {
    const std::uint32_t id = event.id;
    const auto g = static_cast<std::size_t>(group_);
    if (id >= parts_control::kFirstCard && id < parts_control::kFirstCard + kCards) {
        if (event.code != gui::CommandCode::Event) return true;
        CuePartCard* clicked = cards_[id - parts_control::kFirstCard];
        if (!clicked->IsVisible() || clicked->Index() < 0) return true;
        selected_[g] = clicked->Index();
        RefreshPreview();
        for (CuePartCard* card : cards_) card->SetPressed(card == clicked);
        RefreshDetails();
        return true;
    }
    if (id >= parts_control::kFirstTab && id < parts_control::kFirstTab + net::kCueParts) {
        group_ = static_cast<int>(id - parts_control::kFirstTab);
        for (int t = 0; t < net::kCueParts; ++t) tabs_[static_cast<std::size_t>(t)]->SetChecked(t == group_);
        FillCards();
        return true;
    }
    switch (id) {
        case parts_control::kCurrentParts:
            for (std::size_t i = 0; i < selected_.size(); ++i) selected_[i] = current_[i];
            FillCards();
            RefreshPreview();
            return true;
        case parts_control::kPageBack:
            if (pageStart_[g] - kCards > 0) {
                pageStart_[g] -= kCards;
                FillCards();
            }
            return true;
        case parts_control::kPageForward:
            if (pageStart_[g] + kCards <= Listed(group_)) {
                pageStart_[g] += kCards;
                FillCards();
            }
            return true;
        case parts_control::kGuide:
            if (host_) host_->PostUiMessage(shop_message::kShowPicture, 0, 0, 0);
            return true;
        default:
            return CueDialogBase::OnCommand(event);
    }
}

void CuePartsPurchaseDialog::OnConfirm() {
    net::GameSession* s = Session();
    if (!Cue() || !s) return;
    totals_ = TotalParts(current_, selected_);
    if (totals_.cash == 0 && totals_.cueMoney == 0) {
        Notice(u"변경 내용이 없습니다.");
        return;
    }
    for (int g : totals_.changedGroups) {
        const net::CuePartRow* row = net::GetCuePartTable().Find(g, selected_[static_cast<std::size_t>(g)]);
        if (row && row->requiredLevel > static_cast<int>(s->own.level)) {
            Notice(
                Format(u"선택한 %s 파트는 레벨이 맞지 않아 구입이", WString(net::CuePartTable::GroupName(g))),
                u"불가능합니다.", u"요구사항에 맞는 파트만 구입이 가능합니다.");
            return;
        }
    }
    if (static_cast<std::int64_t>(s->own.cash) < totals_.cash) {
        Notice(u"Not enough cash.");
        return;
    }
    if (s->own.money < totals_.cueMoney) {
        Notice(u"Not enough money.");
        return;
    }
    Confirm(false, u"파츠 구입",
            {{0, u"개인큐의 파츠를 교체하면 기존의 파츠는"},
             {1, u"완전히 사라지며 복구가 불가능합니다."},
             {2, u"교환이나 환불이 불가능하므로 주의하세요"},
             {3, u"선택한 모든 파츠를 구입하시겠습니까?"}},
            cue_message::kPartsPurchaseOk, 0);
}

void CuePartsPurchaseDialog::BuildModels(RenderDevice* device, ResourceManager* resources) {
    preview_->BuildModel(device, resources);
    for (CuePartCard* card : cards_) card->Preview()->BuildModel(device, resources);
}

void CuePartsPurchaseDialog::ReleaseModels() {
    preview_->ReleaseModel();
    for (CuePartCard* card : cards_) card->Preview()->ReleaseModel();
}

bool CuePartsPurchaseDialog::WriteRequest(net::Packet& packet) const {
    if (!Cue()) return false;
    const PartsTotals totals = TotalParts(current_, selected_);
    WritePartsRequest(packet, serial_, selected_, totals.changedGroups);
    return true;
}

}  // namespace scenes

#include "scenes/shop/cue/PersonalCuePurchaseWindow.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/ItemTable.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopItemWidgets.h"

namespace scenes {

namespace {
// Total durability in thousandths: 100 points for a tuning cue, 1,000 for a custom cue.
constexpr std::uint32_t kTuningDurability = 100000;
constexpr std::uint32_t kCustomDurability = 1000000;
constexpr int kCustomPoints = 150;
constexpr const char16_t* kOptionNames[net::kCueOptions] = {u"파워", u"밸런스", u"스핀", u"미스큐 감소",
                                                            u"스쿼트 감소"};
constexpr const char16_t* kPageTitles[PersonalCuePurchaseWindow::kPages] = {
    u"", u"성능 선택", u"디자인 선택", u"디자인 선택", u"디자인 선택", u"구입 요청"};

// Page 1's description per cue type: the two repair lines, then lines 1 to 14 (empty = blank).
constexpr int kRedLines = 2;
constexpr std::uint32_t kLightRed = 0xFFFFA0A0;
constexpr std::array<const char16_t*, PersonalCuePurchaseWindow::kDescriptionLines> kTuningDescription = {
    u"일반수리 : 내구1당 150(큐머니)",
    u"고급수리 : 내구1당 450(큐머니)",
    u"튜닝큐는 대여형 큐와 달리 기간 제한이 없으며,",
    u"성능 업그레이드와 디자인 변경이 가능합니다.",
    u"",
    u"[구입시 성능 최대치]",
    u"파워 +5, 밸런스 25%%",
    u"스핀 +5, 미스큐 감소 +5%%, 스쿼트 감소 25%%",
    u"총 내구도 : 100",
    u"",
    u"구입시 성능 포인트 : 20 (구입후 업그레이드 가능)",
    u"옵션별 선택 가능 포인트 : 10 (파츠 구입시 최대 30)",
    u"수리 : 내구가 떨어진 만큼 큐머니로 수리",
    u"",
    u"업그레이드 : 사용량에 따라 누적된 포인트 필요",
    u"파츠 구입 : 업그레이드 최대값 상향",
};
constexpr std::array<const char16_t*, PersonalCuePurchaseWindow::kDescriptionLines> kCustomDescription = {
    u"내구도 전체 복원 : 8,800 (캐시)",
    u"(큐머니 수리 불가)",
    u"커스텀 큐는 대여형 큐와 달리 기간 제한이 없으며,",
    u"구입시에 성능과 디자인을 마음대로 선택가능합니다.",
    u"",
    u"[성능 최대치 - 구입시 선택]",
    u"파워 +20, 밸런스 100%%",
    u"스핀 +20, 미스큐 감소 +20%%, 스쿼트 감소 100%%",
    u"총 내구도 : 1,000",
    u"",
    u"구입시 성능 포인트 : 150",
    u"각 옵션 최대 포인트 : 40",
    u"연장 비용 : 8,800 (캐시)",
    u"",
    u"커스텀 큐는 구입 후 성능 업그레이드가 불가능하며",
    u"파츠 아이템을 구입하여 디자인 변경만 가능합니다.",
};
// The hover panel's place below and right of the card it describes.
constexpr int kHoverDx = 60, kHoverDy = 30;

gui::TextLabel* Line(gui::Widget& parent, int x, int y, int w, const WString& text) {
    return AddTextLine(parent, x, y, w, 18, text, gui::kFont12Bold);
}

// The design page that shows a group, and the group of a page's first or second card row.
constexpr int PageOfGroup(int group) {
    return 3 + group / 2;
}
constexpr int GroupOnPage(int page, bool second) {
    return 2 * page - 6 + (second ? 1 : 0);
}
}  // namespace

PersonalCuePurchaseWindow::PersonalCuePurchaseWindow(SceneHost* host) : CueDialogBase(host) {
    SetUpDialog(*this, kWidth, kHeight, {});
    title_ = Line(*this, 20, 12, 300, {});
    preview_ = Make<CuePartPreview>(20, 50, 147, 242, true);
    preview_->Show(true);
    for (int p = 0; p < kPages; ++p) {
        gui::Widget* panel = Make<gui::Widget>();
        panel->SetRect(180, 40, 440, 360);
        panels_[static_cast<std::size_t>(p)] = panel;
    }
    gui::Widget& about = *panels_[0];
    for (int i = 0; i < kDescriptionLines; ++i) {
        // The two repair lines sit under the fourteen description lines.
        const int y = i < 2 ? 270 + 18 * i : 18 * (i - 2);
        description_[static_cast<std::size_t>(i)] =
            AddTextLine(about, 0, y, 440, 18, {}, gui::kFont12, gui::align::kLeft | gui::align::kVCenter,
                        i >= kDescriptionLines - kRedLines ? kLightRed : gui::skin::kText);
    }
    gui::Widget& points = *panels_[1];
    for (int k = 0; k < net::kCueOptions; ++k) {
        const int y = 20 + 30 * k;
        const auto id = cue_purchase_control::kFirstMinus + 2 * static_cast<std::uint32_t>(k);
        Line(points, 0, y, 120, kOptionNames[k]);
        optionLabels_[static_cast<std::size_t>(k)] = Line(points, 130, y, 120, {});
        AddTextButton(points, 260, y, 24, 22, id, u"-");
        AddTextButton(points, 290, y, 24, 22, id + 1, u"+");
    }
    Line(points, 0, 190, 120, u"남은 포인트 :");
    remainingLabel_ = Line(points, 130, 190, 120, {});
    Line(points, 0, 220, 120, u"총 내구도 :");
    durabilityLabel_ = Line(points, 130, 220, 120, {});
    for (int g = 0; g < net::kCueParts; ++g) {
        gui::Widget& panel = *panels_[static_cast<std::size_t>(PageOfGroup(g) - 1)];
        const int y = g % 2 == 0 ? 0 : 170;
        for (int c = 0; c < kCards; ++c)
            cards_[static_cast<std::size_t>(g)][static_cast<std::size_t>(c)] = panel.Make<CuePartCard>(
                30 + 84 * c, y + 20,
                cue_purchase_control::kFirstCard + static_cast<std::uint32_t>(10 * g + c), true);
    }
    for (int b = 0; b < 4; ++b) {
        const bool forward = b % 2 == 1;
        pageButtons_[static_cast<std::size_t>(b)] = AddTextButton(
            *this, forward ? 600 : 184, b < 2 ? 110 : 280, 18, 24,
            cue_purchase_control::kFirstPageBack + static_cast<std::uint32_t>(b), forward ? u">" : u"<");
    }
    // Page 6: the price and the money, then the chosen part of each group beside the effect of
    // each option.
    gui::Widget& summary = *panels_[5];
    Line(summary, 0, 20, 100, u"가격 :");
    summaryPrice_ = Line(summary, 110, 20, 300, {});
    heldLabel_ = Line(summary, 0, 40, 300, {});
    afterLabel_ = Line(summary, 0, 60, 300, {});
    for (int k = 0; k < net::kCueParts; ++k) {
        const int y = 100 + 22 * k;
        Line(summary, 0, y, 90, WString(net::CuePartTable::GroupName(k)));
        summaryParts_[static_cast<std::size_t>(k)] = Line(summary, 95, y, 100, {});
        Line(summary, 220, y, 120, kOptionNames[k]);
        summaryOptions_[static_cast<std::size_t>(k)] = Line(summary, 345, y, 90, {});
    }
    // The price of the choices so far, on every page.
    priceLabel_ =
        AddTextLine(*this, 330, 12, 280, 18, {}, gui::kFont12Bold, gui::align::kRight | gui::align::kVCenter);
    AddTextButton(summary, 300, 320, 91, 26, cue_purchase_control::kBuy, u"구입");
    back_ = AddTextButton(*this, 180, 420, 91, 26, cue_purchase_control::kBack, u"이전");
    next_ = AddTextButton(*this, 280, 420, 91, 26, cue_purchase_control::kNext, u"다음");
    catalogueButton_ = AddTextButton(*this, 380, 420, 91, 26, cue_purchase_control::kCatalogue, u"파츠 보기");
    AddTextButton(*this, 20, 420, 91, 26, cue_purchase_control::kGuide, u"가이드");
    hover_ = AddPanel(0, 0, 150, 40);
    hoverLines_[0] = Line(*hover_, 4, 2, 142, {});
    hoverLines_[1] = Line(*hover_, 4, 20, 142, {});
    hover_->SetVisible(false);
    catalogue_ = Make<CuePartCatalogDialog>(host);
    catalogue_->SetVisible(false);
    AddTextButton(*this, 520, 420, 91, 26, cue_control::kClose, u"닫기", platform::kVkEscape);
}

void PersonalCuePurchaseWindow::SetCueType(const net::ItemRecord& record) {
    itemId_ = record.itemId;
    currency_ = record.priceKind;
    listPrice_ = record.prices[0];
    name_ = record.name;
    const bool custom = IsCustomCue(itemId_);
    durability_ = custom ? kCustomDurability : kTuningDurability;
    parts_ = {};
    pageStart_ = {1, 1, 1, 1, 1};
    for (int g = 0; g < net::kCueParts; ++g) {
        auto& list = lists_[static_cast<std::size_t>(g)];
        list.clear();
        // A tuning cue offers the first two shafts and butts and the first part of the rest; only
        // rows the part table has are offered, so no price or preview reads a missing row.
        const int offered = custom ? net::GetCuePartTable().RowCount(g) : (g < 2 ? 2 : 1);
        const int count = std::min(offered, net::GetCuePartTable().RowCount(g));
        for (int p = 0; p < count; ++p) list.push_back(p);
    }
    if (custom)
        points_.Start(kCustomPoints, cue_rule::kCustomOptionCap);
    else
        points_.Start(cue_rule::kTuningPurchasePoints, cue_rule::kTuningOptionCap);
    page_ = 1;
    WriteDescription();
    // A cue picked while the window is open starts over on screen too.
    if (IsVisible()) Refresh();
}

void PersonalCuePurchaseWindow::WriteDescription() {
    const auto& lines = IsCustomCue(itemId_) ? kCustomDescription : kTuningDescription;
    // The lines pass through the formatter, so "%%" shows as one percent sign.
    for (std::size_t i = 0; i < lines.size(); ++i) description_[i]->SetText(lines[i]);
}

void PersonalCuePurchaseWindow::SetPreviewPanel(ItemPreviewPanel* panel) {
    panel_ = panel;
    catalogue_->SetPreviewPanel(panel);
}

void PersonalCuePurchaseWindow::OnShow() {
    gui::Dialog::OnShow();
    CenterOnScreen();
    Refresh();
}

void PersonalCuePurchaseWindow::OnHide() {
    gui::Dialog::OnHide();
    hover_->SetVisible(false);
    hoverCard_ = nullptr;
    if (!panel_) return;
    panel_->Show(false);
    panel_->ReturnHome();
}

void PersonalCuePurchaseWindow::RefreshWholeCue() {
    if (!panel_ || itemId_ == 0) return;
    std::array<std::uint16_t, net::kCueParts> parts{};
    for (std::size_t g = 0; g < parts.size(); ++g) parts[g] = static_cast<std::uint16_t>(parts_[g]);
    panel_->PlaceBelow(*this);
    panel_->ShowItem(itemId_, &parts);
    panel_->BringToFront();
}

void PersonalCuePurchaseWindow::OnCardHover(int group, int card, bool enter) {
    const CuePartCard* c = cards_[static_cast<std::size_t>(group)][static_cast<std::size_t>(card)];
    if (!enter) {
        // A late leave of another card must not hide the panel of the card under the mouse.
        if (hoverCard_ == c) {
            hover_->SetVisible(false);
            hoverCard_ = nullptr;
        }
        return;
    }
    if (!c->IsVisible() || c->Index() < 0) return;
    const net::CuePartRow* row = net::GetCuePartTable().Find(group, c->Index());
    hoverLines_[0]->SetText(u"%s %d 번", WString(net::CuePartTable::GroupName(group)), c->Index() + 1);
    if (row)
        hoverLines_[1]->SetText(row->currency == 1 ? u"가격 : %s(캐시)" : u"가격 : %s(큐머니)",
                                FormatNumber(row->price));
    else
        hoverLines_[1]->SetPlainText({});
    hover_->MoveTo(c->ScreenX() - ScreenX() + kHoverDx, c->ScreenY() - ScreenY() + kHoverDy);
    hover_->Show(true);
    hover_->BringToFront();
    hoverCard_ = c;
}

void PersonalCuePurchaseWindow::Refresh() {
    for (int g = 0; g < net::kCueParts; ++g) {
        const auto i = static_cast<std::size_t>(g);
        pageStart_[i] = (parts_[i] / kCards) * kCards + 1;
        FillCards(g);
    }
    ShowPage();
    RefreshPrice();
    RefreshWholeCue();
}

bool PersonalCuePurchaseWindow::CashPriced() const {
    return IsCustomCue(itemId_) || currency_ == 1;
}

void PersonalCuePurchaseWindow::ShowPage() {
    for (int p = 0; p < kPages; ++p) panels_[static_cast<std::size_t>(p)]->SetVisible(p + 1 == page_);
    back_->SetVisible(page_ > 1);
    next_->SetVisible(page_ < kPages);
    catalogueButton_->SetVisible(page_ == 1 && !IsCustomCue(itemId_));
    title_->SetPlainText(page_ == 1 ? (IsCustomCue(itemId_) ? u"커스텀큐 설명" : u"튜닝큐 설명")
                                    : kPageTitles[page_ - 1]);
    const bool design = page_ >= 3 && page_ <= 5;
    for (int b = 0; b < 4; ++b) {
        const int g = GroupOnPage(page_, b >= 2);
        gui::Button* button = pageButtons_[static_cast<std::size_t>(b)];
        if (!design || g >= net::kCueParts) {
            button->SetVisible(false);
            continue;
        }
        const bool forward = b % 2 == 1;
        const auto i = static_cast<std::size_t>(g);
        button->SetVisible(forward ? pageStart_[i] + kCards <= Listed(g) : pageStart_[i] != 1);
    }
    if (page_ == 2) RefreshPoints();
    if (page_ == kPages) RefreshSummary();
}

void PersonalCuePurchaseWindow::FillCards(int group) {
    const auto g = static_cast<std::size_t>(group);
    int position = 0, shown = 0;
    for (int part : lists_[g]) {
        ++position;
        if (position < pageStart_[g] || shown >= kCards) continue;
        CuePartCard* card = cards_[g][static_cast<std::size_t>(shown++)];
        card->SetPart(group, part);
        card->SetPressed(part == parts_[g]);
        card->SetVisible(true);
    }
    for (int c = shown; c < kCards; ++c) cards_[g][static_cast<std::size_t>(c)]->Clear();
    if (page_ == PageOfGroup(group)) ShowPage();
}

void PersonalCuePurchaseWindow::RefreshPoints() {
    remainingLabel_->SetText(u"%d", points_.remaining);
    for (int k = 0; k < net::kCueOptions; ++k)
        optionLabels_[static_cast<std::size_t>(k)]->SetPlainText(
            Format(u"%d  ", points_.options[static_cast<std::size_t>(k)]) +
            OptionEffectText(k, points_.options[static_cast<std::size_t>(k)], true));
    durabilityLabel_->SetText(u"%d", static_cast<int>(durability_ / 1000));
}

void PersonalCuePurchaseWindow::RefreshPrice() {
    price_ = IsCustomCue(itemId_) ? CustomCuePrice(parts_) : listPrice_;
    priceLabel_->SetPlainText(FormatNumber(price_) + (CashPriced() ? u" (캐시)" : u" (큐머니)"));
    summaryPrice_->SetPlainText(FormatNumber(price_) + (CashPriced() ? u"  (캐시)" : u"  (큐머니)"));
}

void PersonalCuePurchaseWindow::RefreshSummary() {
    RefreshPrice();
    net::GameSession* s = Session();
    const bool cash = CashPriced();
    const std::int64_t held = !s ? 0 : cash ? static_cast<std::int64_t>(s->own.cash) : s->own.money;
    heldLabel_->SetPlainText(WString(cash ? u"보유 캐시 : " : u"보유 큐머니 : ") + FormatNumber(held));
    const std::int64_t after = held - price_;
    afterLabel_->SetPlainText(WString(cash ? u"구입후 캐시 : " : u"구입후 큐머니 : ") +
                              (after < 0 ? WString(u"금액이 부족합니다.") : FormatNumber(after)));
    for (int k = 0; k < net::kCueParts; ++k)
        summaryParts_[static_cast<std::size_t>(k)]->SetText(u"%d 번",
                                                            parts_[static_cast<std::size_t>(k)] + 1);
    for (int k = 0; k < net::kCueOptions; ++k)
        summaryOptions_[static_cast<std::size_t>(k)]->SetPlainText(
            OptionEffectText(k, points_.options[static_cast<std::size_t>(k)], false));
}

bool PersonalCuePurchaseWindow::OnCommand(const gui::CommandEvent& event) {
    const std::uint32_t id = event.id;
    if (id >= cue_purchase_control::kFirstMinus && id <= cue_purchase_control::kLastPlus) {
        const int option = static_cast<int>(id - cue_purchase_control::kFirstMinus) / 2;
        if (points_.Step(option, (id - cue_purchase_control::kFirstMinus) % 2 == 1)) {
            RefreshPoints();
            RefreshPrice();
        }
        return true;
    }
    if (id >= cue_purchase_control::kFirstCard &&
        id < cue_purchase_control::kFirstCard + 10 * net::kCueParts) {
        const int group = static_cast<int>(id - cue_purchase_control::kFirstCard) / 10;
        const int c = static_cast<int>(id - cue_purchase_control::kFirstCard) % 10;
        if (c >= kCards) return true;
        if (event.code == gui::CommandCode::MouseEnter || event.code == gui::CommandCode::MouseLeave) {
            OnCardHover(group, c, event.code == gui::CommandCode::MouseEnter);
            return true;
        }
        if (event.code != gui::CommandCode::Event) return true;
        const auto g = static_cast<std::size_t>(group);
        CuePartCard* clicked = cards_[g][static_cast<std::size_t>(c)];
        if (!clicked->IsVisible() || clicked->Index() < 0) return true;
        parts_[g] = clicked->Index();
        for (CuePartCard* card : cards_[g]) card->SetPressed(card == clicked);
        preview_->SetPart(group, parts_[g]);
        RefreshWholeCue();
        RefreshPrice();
        return true;
    }
    if (id >= cue_purchase_control::kFirstPageBack && id <= cue_purchase_control::kLastPageForward) {
        const int offset = static_cast<int>(id - cue_purchase_control::kFirstPageBack);
        const int group = GroupOnPage(page_, offset >= 2);
        // Only the design pages have card rows, and page 5 only its first: any other page
        // would name a group that does not exist.
        if (group < 0 || group >= net::kCueParts) return true;
        const auto g = static_cast<std::size_t>(group);
        if (offset % 2 == 0 && pageStart_[g] - kCards > 0)
            pageStart_[g] -= kCards;
        else if (offset % 2 == 1 && pageStart_[g] + kCards <= Listed(group))
            pageStart_[g] += kCards;
        else
            return true;
        FillCards(group);
        return true;
    }
    switch (id) {
        case cue_purchase_control::kBack:
            if (page_ > 1) {
                --page_;
                ShowPage();
            }
            return true;
        case cue_purchase_control::kNext:
            if (page_ == 2 && points_.remaining > 0) {
                Notice(u"성능 포인트가 아직 남아 있습니다.", u"모든 성능 포인트를 배분해 주세요.");
                return true;
            }
            if (page_ < kPages) {
                ++page_;
                ShowPage();
            }
            return true;
        case cue_purchase_control::kCatalogue:
            catalogue_->SetCatalogue(itemId_);
            catalogue_->MoveTo(3, 77);
            catalogue_->Show(true);
            catalogue_->BringToFront();
            return true;
        case cue_purchase_control::kBuy:
            OnConfirm();
            return true;
        case cue_purchase_control::kGuide:
            if (host_) host_->PostUiMessage(shop_message::kShowPicture, 0, 0, 0);
            return true;
        default:
            return CueDialogBase::OnCommand(event);
    }
}

void PersonalCuePurchaseWindow::OnConfirm() {
    net::GameSession* s = Session();
    if (!s || itemId_ == 0) return;
    const auto& items = s->own.Items();
    if (static_cast<int>(items.size()) >= cue_rule::kMaxOwnedItems) {
        Notice(u"아이템을 더 이상 구입할 수 없습니다.", u"인벤토리를 비우시기 바랍니다.");
        return;
    }
    const int cues = static_cast<int>(std::count_if(
        items.begin(), items.end(), [](const net::ItemEntry* e) { return e && e->IsPersonalCue(); }));
    if (itemId_ >= shop_item::kFirstCustomCue && itemId_ <= shop_item::kLastCustomCue &&
        cues >= cue_rule::kMaxOwnedPersonalCues) {
        Notice(u"개인큐는 4개 까지만 보유 가능합니다.");
        return;
    }
    RefreshPrice();
    if (IsCustomCue(itemId_) && static_cast<std::int64_t>(s->own.cash) < price_) {
        Notice(u"캐시가 부족합니다.");
        return;
    }
    if (!IsCustomCue(itemId_) && s->own.money < listPrice_) {
        Notice(u"큐머니가 부족합니다.");
        return;
    }
    Confirm(false, u"Purchase",
            {{0, u"Once purchased, no refund or exchange is allowed."},
             {1, u"큐의 속성과 기능을 충분히 확인하고"},
             {2, u"구입하시기 바랍니다."},
             {3, u"아이템을 구입하시겠습니까?"}},
            shop_message::kCuePurchaseOk, 0);
}

void PersonalCuePurchaseWindow::BuildModels(RenderDevice* device, ResourceManager* resources) {
    preview_->BuildModel(device, resources);
    for (const auto& row : cards_)
        for (CuePartCard* card : row) card->Preview()->BuildModel(device, resources);
    catalogue_->BuildModels(device, resources);
}

void PersonalCuePurchaseWindow::ReleaseModels() {
    preview_->ReleaseModel();
    for (const auto& row : cards_)
        for (CuePartCard* card : row) card->Preview()->ReleaseModel();
    catalogue_->ReleaseModels();
}

bool PersonalCuePurchaseWindow::WriteRequest(net::Packet& packet) const {
    if (itemId_ == 0) return false;
    WriteCuePurchaseRequest(packet, itemId_, durability_, name_, points_.options, parts_);
    return true;
}

}  // namespace scenes

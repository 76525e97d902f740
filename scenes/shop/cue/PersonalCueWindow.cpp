#include "scenes/shop/cue/PersonalCueWindow.h"

#include <vector>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ItemPreview.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/ItemTable.h"
#include "net/Packet.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/shop/ShopItemWidgets.h"
#include "scenes/shop/cue/CuePartsPurchaseDialog.h"

namespace scenes {

namespace {
constexpr std::uint32_t kYellow = 0xFFFFFF60;
constexpr std::uint32_t kShadow = 0xFF000000;
constexpr float kHoverSpeed = 5.0f;
constexpr int kSlotX[PersonalCueWindow::kSlots] = {51, 128, 357, 434};
constexpr int kSlotY = 123, kSlotW = 58, kSlotH = 258;
// The details' captions on the left, their values at the right edge: an option's value right of
// the longest option name, the points and the durability ("1000/1000") right of their short captions.
constexpr int kDetailX = 194, kDetailW = 158, kValueX = 112, kShortCaptionW = 40;
// The option formats of the detail rows.
constexpr const char16_t* kDetailFormat[net::kCueOptions] = {u"+%d", u"%d%%", u"+%d", u"%d%%", u"%d%%"};

gui::TextLabel* Line(gui::Widget& parent, int x, int y, int w, const WString& text,
                     std::uint32_t argb = gui::skin::kText) {
    return AddTextLine(parent, x, y, w, 18, text, gui::kFont12Bold, gui::align::kLeft | gui::align::kVCenter,
                       argb);
}

gui::TextLabel* ValueAtRight(gui::Widget& details, int x, int y) {
    return AddTextLine(details, x, y, kDetailW - x, 18, {}, gui::kFont12Bold,
                       gui::align::kRight | gui::align::kVCenter);
}

// "%d/%d" of the durability in whole points.
WString DurabilityText(const net::ItemEntry& e) {
    return Format(u"%d/%d", static_cast<int>(e.remainingValue / 1000),
                  static_cast<int>(e.initialValue / 1000));
}

int OptionValue(const net::ItemEntry& e, int k) {
    return static_cast<std::int8_t>(e.performance[static_cast<std::size_t>(k)]);
}

std::uint64_t WholePoints(const net::ItemEntry& e) {
    return e.upgradeValue / 1000;
}

void ShowCueIn(gui::ItemPreview* preview, const net::ItemEntry& e) {
    const gui::ItemPreview::PartIds parts = e.parts;
    preview->SetItemRecord(e.itemId, &parts);
}
}  // namespace

// --- CueDialogBase -------------------------------------------------------------------------------

net::GameSession* CueDialogBase::Session() const {
    return host_ ? host_->CurrentSession() : nullptr;
}

net::ItemEntry* CueDialogBase::Cue() const {
    net::GameSession* s = Session();
    net::ItemEntry* e = s && serial_ ? s->own.FindItem(serial_) : nullptr;
    return e && e->IsPersonalCue() ? e : nullptr;
}

bool CueDialogBase::OnCommand(const gui::CommandEvent& event) {
    switch (event.id) {
        case cue_control::kOk:
            OnConfirm();
            return true;
        case cue_control::kClose:
            Show(false);
            return true;
        default:
            return gui::Dialog::OnCommand(event);
    }
}

void CueDialogBase::Notice(const WString& l1, const WString& l2, const WString& l3) {
    if (host_) host_->ShowNotice(this, l1, l2, l3);
}

bool CueDialogBase::Confirm(bool second, const WString& caption,
                            std::initializer_list<std::pair<int, WString>> lines, std::uint32_t code,
                            std::uint32_t param) {
    gui::NoticeBox* box = !host_ ? nullptr : second ? host_->GetSecondNoticeBox() : host_->GetNoticeBox();
    if (!box) return false;
    if (box->GetParent() != this) AddChild(box, false);
    box->Reset();
    box->SetLayout(1);
    box->CenterOnScreen();
    box->SetCaption(caption);
    for (const auto& [index, text] : lines) box->SetLine(index, text);
    box->SetResultCode(code);
    box->SetParam(param);
    box->Show(true);
    box->BringToFront();
    return true;
}

// --- CueRepairDialog -----------------------------------------------------------------------------

CueRepairDialog::CueRepairDialog(SceneHost* host) : CueDialogBase(host) {
    SetUpDialog(*this, kWidth, kHeight, {});
    name_ = AddTextLine(*this, 0, 40, kWidth, 18, {}, gui::kFont12Bold,
                        gui::align::kCenter | gui::align::kVCenter, kYellow);
    Line(*this, 20, 250, 60, u"내구");
    durability_ = Line(*this, 80, 250, 90, {});
    Line(*this, 20, 275, 70, u"수리 비용");
    normalCost_ = Line(*this, 20, 293, 150, {});
    advancedCaption_ = Line(*this, 20, 315, 70, u"고급수리");
    advancedCost_ = Line(*this, 20, 333, 150, {});
    AddTextButton(*this, 42, 355, 101, 26, cue_control::kOk, u"수리");
    advancedButton_ = AddTextButton(*this, 42, 383, 101, 26, cue_control::kAdvanced, u"고급수리");
    AddTextButton(*this, 160, 5, 20, 20, cue_control::kClose, u"X", platform::kVkEscape);
}

void CueRepairDialog::SetCue(const net::ItemEntry& cue) {
    serial_ = cue.serial;
    name_->SetPlainText(cue.cueName);
    durability_->SetPlainText(DurabilityText(cue));
    quote_ = QuoteRepair(cue);
    const bool custom = IsCustomCue(cue.itemId);
    if (custom)
        normalCost_->SetText(u"%s (캐시)", FormatNumber(quote_.normalCost));
    else
        normalCost_->SetText(u"%s (큐머니)", FormatNumber(quote_.normalCost));
    advancedCost_->SetText(u"%s (큐머니)", FormatNumber(quote_.advancedCost));
    advancedCaption_->SetVisible(!custom);
    advancedCost_->SetVisible(!custom);
    advancedButton_->SetVisible(!custom);
}

bool CueRepairDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.id != cue_control::kAdvanced) return CueDialogBase::OnCommand(event);
    ConfirmRepair(RepairKind::Advanced);
    return true;
}

void CueRepairDialog::ConfirmRepair(RepairKind kind) {
    kind_ = kind;
    const net::ItemEntry* cue = Cue();
    net::GameSession* s = Session();
    if (!cue || !s) return;
    quote_ = QuoteRepair(*cue);
    const bool custom = IsCustomCue(cue->itemId);
    if (custom && kind == RepairKind::Advanced) return;  // the button is hidden for custom cues
    if (cue->remainingValue > quote_.threshold) {
        Notice(custom ? u"내구도가 10% 미만일 때만 수리 가능합니다."
                      : u"내구도가 80% 미만일 때만 수리 가능합니다.");
        return;
    }
    if (custom) {
        if (static_cast<std::int64_t>(s->own.cash) < quote_.normalCost) {
            Notice(u"Not enough cash.");
            return;
        }
        Confirm(false, u"커스텀큐 수리",
                {{0, u"내구도가 완전하게 복원됩니다."}, {1, u"내구도 복원을 진행하시겠습니까?"}},
                cue_message::kRepairOk, 1);
        return;
    }
    const std::int64_t cost = kind == RepairKind::Advanced ? quote_.advancedCost : quote_.normalCost;
    if (s->own.money < cost) {
        Notice(u"Not enough money.");
        return;
    }
    if (kind == RepairKind::Advanced)
        Confirm(false, u"고급 수리",
                {{0, u"내구도 감소 없이 완전히 수리됩니다."}, {2, u"고급수리 기능으로 수리하시겠습니까?"}},
                cue_message::kRepairOk, 2);
    else
        Confirm(false, u"튜닝큐 수리",
                {{0, u"수리시에 최대 내구도가 깎일 수 있습니다."},
                 {1, u"내구도 감소는 1~6까지 적용됩니다."},
                 {2, u"고급수리 기능을 사용하면 수리 실패없이"},
                 {3, u"전체 내구도를 복원할 수 있습니다."}},
                cue_message::kRepairOk, 1);
}

bool CueRepairDialog::WriteRequest(net::Packet& packet) const {
    if (!Cue()) return false;
    WriteRepairRequest(packet, kind_, serial_);
    return true;
}

// --- CuePerformanceResetDialog -------------------------------------------------------------------

CuePerformanceResetDialog::CuePerformanceResetDialog(SceneHost* host) : CueDialogBase(host) {
    SetUpDialog(*this, kWidth, kHeight, {});
    name_ = Line(*this, 20, 40, 200, {}, kYellow);
    preview_ = Make<gui::ItemPreview>(20, 70, 147, 242);
    preview_->Show(true);
    Line(*this, 200, 60, 120, u"남은 포인트");
    remaining_ = Line(*this, 330, 60, 60, {});
    for (int k = 0; k < net::kCueOptions; ++k) {
        const int y = 100 + 36 * k;
        const auto i = static_cast<std::size_t>(k);
        Line(*this, 200, y, 110, WString(net::CuePartTable::OptionName(k)));
        values_[i] = Line(*this, 320, y, 40, {});
        effects_[i] = Line(*this, 370, y, 60, {});
        const auto id = cue_control::kFirstMinus + 2 * static_cast<std::uint32_t>(k);
        AddTextButton(*this, 440, y, 24, 20, id, u"-");
        AddTextButton(*this, 470, y, 24, 20, id + 1, u"+");
    }
    Line(*this, 200, 290, 120, u"성능 재조정 비용 :");
    Line(*this, 330, 290, 120, u"8,800 (캐시)");
    Line(*this, 200, 310, 120, u"보유캐시 : ");
    cash_ = Line(*this, 330, 310, 120, {});
    AddTextButton(*this, 420, 340, 91, 26, cue_control::kOk, u"확인");
    AddTextButton(*this, 520, 340, 91, 26, cue_control::kClose, u"닫기", platform::kVkEscape);
}

void CuePerformanceResetDialog::SetCue(const net::ItemEntry& cue) {
    serial_ = cue.serial;
    name_->SetPlainText(cue.cueName);
    ShowCueIn(preview_, cue);
}

void CuePerformanceResetDialog::OnShow() {
    gui::Dialog::OnShow();
    points_.Start(cue_rule::kResetPoints, cue_rule::kCustomOptionCap);
    Refresh();
}

void CuePerformanceResetDialog::Refresh() {
    remaining_->SetText(u"%d", points_.remaining);
    for (int k = 0; k < net::kCueOptions; ++k) {
        const auto i = static_cast<std::size_t>(k);
        values_[i]->SetText(u"%d", points_.options[i]);
        effects_[i]->SetPlainText(OptionEffectText(k, points_.options[i], true));
    }
    net::GameSession* s = Session();
    cash_->SetPlainText(FormatNumber(s ? s->own.cash : 0));
}

bool CuePerformanceResetDialog::OnCommand(const gui::CommandEvent& event) {
    const std::uint32_t id = event.id;
    if (id >= cue_control::kFirstMinus && id < cue_control::kFirstMinus + 2 * net::kCueOptions) {
        const int k = static_cast<int>(id - cue_control::kFirstMinus) / 2;
        if (points_.Step(k, (id - cue_control::kFirstMinus) % 2 == 1)) Refresh();
        return true;
    }
    return CueDialogBase::OnCommand(event);
}

void CuePerformanceResetDialog::OnConfirm() {
    if (points_.remaining > 0) {
        Notice(u"성능 포인트가 아직 남아 있습니다.", u"모든 성능 포인트를 배분해 주세요.");
        return;
    }
    Confirm(true, u"성능 재조정",
            {{0, u"선택한 성능으로 재조정됩니다."},
             {1, u"재조정 후에는 원래 값으로 복원할수 없습니다."},
             {2, u"비용은 8,800 캐시입니다."},
             {4, u"지금 시도하시겠습니까?"}},
            cue_message::kUpgradeOrResetOk, cue_message::kResetParam);
}

bool CuePerformanceResetDialog::WriteRequest(net::Packet& packet) const {
    if (!Cue() || points_.remaining != 0) return false;
    WriteResetRequest(packet, serial_, points_.options);
    return true;
}

// --- CueUpgradeDialog ----------------------------------------------------------------------------

CueUpgradeDialog::CueUpgradeDialog(SceneHost* host) : CueDialogBase(host) {
    SetUpDialog(*this, kWidth, kHeight, {});
    gui::Button* mode = AddCheckBox(*this, 20, 40, 120, cue_control::kUpgradeMode, u"일반 업그레이드", true);
    mode->SetRadioMode(5);
    title_ = Line(*this, 160, 80, 200, {}, kYellow);
    maximum_ = Line(*this, 160, 100, 200, {});
    Line(*this, 20, 230, 100, u"현재");
    current_ = Line(*this, 120, 230, 50, {});
    currentEffect_ = Line(*this, 180, 230, 80, {});
    Line(*this, 20, 250, 100, u"다음");
    next_ = Line(*this, 120, 250, 50, {});
    nextEffect_ = Line(*this, 180, 250, 80, {});
    Line(*this, 20, 280, 100, u"보유 포인트");
    pointsHeld_ = Line(*this, 120, 280, 80, {});
    Line(*this, 20, 300, 100, u"필요 포인트");
    pointsNeeded_ = Line(*this, 120, 300, 80, {});
    Line(*this, 20, 320, 100, u"성공 확률");
    rate_ = Line(*this, 120, 320, 200, {});
    Line(*this, 20, 340, 100, u"비용");
    cost_ = Line(*this, 120, 340, 200, {});
    AddTextButton(*this, 90, 400, 91, 26, cue_control::kOk, u"업그레이드");
    AddTextButton(*this, 200, 400, 91, 26, cue_control::kClose, u"닫기", platform::kVkEscape);
}

void CueUpgradeDialog::SetOption(const net::ItemEntry& cue, int option) {
    serial_ = cue.serial;
    option_ = option;
    RefreshOption();
}

void CueUpgradeDialog::RefreshOption() {
    static constexpr const char16_t* kMaximum[net::kCueOptions] = {u"파워옵션 최대 %d", u"밸런스옵션 최대 %d",
                                                                   u"스핀옵션 최대 %d", u"미스큐옵션 최대 %d",
                                                                   u"스쿼트옵션 최대 %d"};
    const net::ItemEntry* cue = Cue();
    if (!cue || option_ < 0 || option_ >= net::kCueOptions) return;
    quote_ = QuoteUpgrade(*cue, option_);
    title_->SetText(u"%s %d번", WString(net::CuePartTable::GroupName(quote_.group)), quote_.part + 1);
    maximum_->SetText(kMaximum[option_], quote_.maximum);
    const bool plus = option_ == 0 || option_ == 2;
    const WStringView effect = plus ? u"+%2.1f" : u"%2.1f%%";
    current_->SetText(u"%d", quote_.current);
    currentEffect_->SetText(effect, quote_.current * 1.0);
    next_->SetText(u"%d", quote_.next);
    nextEffect_->SetText(effect, quote_.next * 1.0);
    pointsHeld_->SetText(u"%d", static_cast<int>(WholePoints(*cue)));
    pointsNeeded_->SetText(u"%d", quote_.pointsNeeded);
    rate_->SetText(u"%d%% (마르베클럽 %d%%)", quote_.rate, quote_.memberRate);
    cost_->SetText(u"%s (큐머니)", FormatNumber(quote_.cost));
}

bool CueUpgradeDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.id != cue_control::kUpgradeMode) return CueDialogBase::OnCommand(event);
    RefreshOption();
    return true;
}

void CueUpgradeDialog::OnConfirm() {
    const net::ItemEntry* cue = Cue();
    net::GameSession* s = Session();
    if (!cue || !s) return;
    quote_ = QuoteUpgrade(*cue, option_);
    if (quote_.current >= quote_.maximum) {
        Notice(u"이 옵션은 더 이상 업그레이드 할 수 없습니다.", u"상위 등급의 파츠가 필요합니다.");
        return;
    }
    if (s->own.money < quote_.cost) {
        Notice(u"업그레이드에 필요한 큐머니가 부족합니다.");
        return;
    }
    if (WholePoints(*cue) < static_cast<std::uint64_t>(quote_.pointsNeeded)) {
        Notice(u"큐의 업그레이드 포인트가 부족합니다.", u"업그레이드 포인트는 큐 내구도 사용 1 당",
               u"1 포인트씩 누적됩니다.");
        return;
    }
    Confirm(false, u"튜닝큐 업그레이드",
            {{0, u"업그레이드는 실패할 수도 있으며,"},
             {1, u"성공시 +1, 실패시 0 또는 1/4 확률로 -1"},
             {2, u"업그레이드 실패시 사용된 포인트와 큐머니는"},
             {3, u"반환되지 않습니다."},
             {4, u"업그레이드를 시도하시겠습니까?"}},
            cue_message::kUpgradeOrResetOk, cue_message::kUpgradeParam);
}

bool CueUpgradeDialog::WriteRequest(net::Packet& packet) const {
    if (!Cue()) return false;
    WriteUpgradeRequest(packet, serial_, option_);
    return true;
}

// --- CueUpgradeWindow ----------------------------------------------------------------------------

CueUpgradeWindow::CueUpgradeWindow(SceneHost* host) : CueDialogBase(host) {
    SetUpDialog(*this, kWidth, kHeight, {});
    preview_ = Make<gui::ItemPreview>(20, 70, 147, 242);
    preview_->Show(true);
    for (int k = 0; k < net::kCueOptions; ++k) {
        const int y = 70 + 36 * k;
        const auto i = static_cast<std::size_t>(k);
        Line(*this, 200, y, 110, WString(net::CuePartTable::OptionName(k)));
        values_[i] = Line(*this, 320, y, 40, {});
        effects_[i] = Line(*this, 370, y, 70, {});
        AddTextButton(*this, 460, y, 80, 20, cue_control::kFirstUpgrade + static_cast<std::uint32_t>(k),
                      u"업그레이드");
    }
    static constexpr const char16_t* kHelp[] = {u"성능 업그레이드는 각 파츠의 업그레이드 최대치까지만",
                                                u"가능하며 파츠 교체를 통해 최대치를 높일 수 있습니다.",
                                                u"업그레이드를 하기 위해서는 큐의 업그레이드 포인트가",
                                                u"필요하며 이 포인트는 큐를 많이 사용하면 누적됩니다.",
                                                u"옵션 수치가 높아질수록 업그레이드 성공률이 낮아집니다."};
    for (int i = 0; i < 5; ++i) Line(*this, 200, 260 + 18 * i, 400, kHelp[i]);
    AddTextButton(*this, 598, 5, 20, 20, cue_control::kClose, u"X", platform::kVkEscape);
    dialog_ = Make<CueUpgradeDialog>(host);
    dialog_->SetVisible(false);
}

void CueUpgradeWindow::SetCue(const net::ItemEntry& cue) {
    serial_ = cue.serial;
    ShowCueIn(preview_, cue);
    for (int k = 0; k < net::kCueOptions; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const int v = OptionValue(cue, k);
        values_[i]->SetText(u"%d", v);
        effects_[i]->SetText(k == 0 || k == 2 ? u"+%2.1f" : u"%2.1f%%", v * 1.0);
    }
}

bool CueUpgradeWindow::OnCommand(const gui::CommandEvent& event) {
    if (event.id >= cue_control::kFirstUpgrade && event.id < cue_control::kFirstUpgrade + net::kCueOptions) {
        const net::ItemEntry* cue = Cue();
        if (!cue) return true;
        if (dialog_->GetParent() != this) AddChild(dialog_, false);
        dialog_->CenterOnScreen();
        dialog_->SetOption(*cue, static_cast<int>(event.id - cue_control::kFirstUpgrade));
        dialog_->Show(true);
        return true;
    }
    return CueDialogBase::OnCommand(event);
}

// --- PersonalCueSlot -----------------------------------------------------------------------------

PersonalCueSlot::PersonalCueSlot(int x, int y, std::uint32_t id) {
    Create(x, y, kSlotW, kSlotH, id);
    face_ = AddTextButton(*this, 0, 0, kSlotW, kSlotH, id, {});
    face_->SetReportHover(true);
    preview_ = Make<gui::ItemPreview>(2, 2, kSlotW - 4, kSlotH - 40);
    preview_->Show(true);
    // The name in up to two lines under the cue, each over its shadow.
    for (std::size_t line = 0; line < names_.size(); ++line) {
        const int y = kSlotH - 37 + 16 * static_cast<int>(line);
        shadows_[line] = AddTextLine(*this, 3, y + 1, kSlotW - 4, 15, {}, gui::kFont12,
                                     gui::align::kCenter | gui::align::kVCenter, kShadow);
        names_[line] = AddTextLine(*this, 2, y, kSlotW - 4, 15, {}, gui::kFont12,
                                   gui::align::kCenter | gui::align::kVCenter);
    }
    SetVisible(false);
}

void PersonalCueSlot::SetEntry(const net::ItemEntry* entry) {
    if (!entry) {
        serial_.reset();
        preview_->SetItem(0);
        preview_->rotationSpeed = 0.0f;
        SetVisible(false);
        return;
    }
    Show(true);
    serial_ = entry->serial;
    preview_->rotationSpeed = 0.0f;
    if (entry->type != static_cast<std::uint32_t>(net::ItemType::Cue)) return;
    ShowCueIn(preview_, *entry);
    const std::vector<WString> lines = gui::WrapTextToWidth(
        names_[0]->Font(), entry->cueName, names_[0]->Width(), static_cast<int>(names_.size()));
    for (std::size_t line = 0; line < names_.size(); ++line) {
        const WString text = line < lines.size() ? lines[line] : WString{};
        shadows_[line]->SetPlainText(text);
        names_[line]->SetPlainText(text);
    }
}

bool PersonalCueSlot::OnCommand(const gui::CommandEvent& event) {
    if (event.source == face_ && event.code == gui::CommandCode::MouseEnter) {
        preview_->rotationSpeed = kHoverSpeed;
        return true;
    }
    if (event.source == face_ && event.code == gui::CommandCode::MouseLeave) {
        preview_->rotationSpeed = 0.0f;
        return true;
    }
    gui::Widget* parent = GetParent();
    return parent ? parent->OnCommand({this, Id(), event.value, event.code}) : false;
}

// --- PersonalCueWindow ---------------------------------------------------------------------------

PersonalCueWindow::PersonalCueWindow(SceneHost* host) : CueDialogBase(host) {
    SetUpDialog(*this, kWidth, kHeight, {});
    // The details stand between the two pairs of slots: captions, then their values.
    detail_ = AddPanel(kDetailX, 100, kDetailW, 280);
    name_ = Line(*detail_, 0, 0, kDetailW, {}, kYellow);
    for (int k = 0; k < net::kCueOptions; ++k) {
        Line(*detail_, 0, 30 + 22 * k, kValueX - 4, WString(net::CuePartTable::OptionName(k)));
        optionValues_[static_cast<std::size_t>(k)] = ValueAtRight(*detail_, kValueX, 30 + 22 * k);
    }
    pointsCaption_ = Line(*detail_, 0, 150, kShortCaptionW - 4, u"포인트");
    points_ = ValueAtRight(*detail_, kShortCaptionW, 150);
    Line(*detail_, 0, 172, kShortCaptionW - 4, u"내구");
    durability_ = ValueAtRight(*detail_, kShortCaptionW, 172);
    detail_->SetVisible(false);
    for (int i = 0; i < kSlots; ++i)
        slots_[static_cast<std::size_t>(i)] =
            Make<PersonalCueSlot>(kSlotX[i], kSlotY, cue_control::kFirstSlot + static_cast<std::uint32_t>(i));
    empty_ = AddTextLine(*this, 0, 220, kWidth, 18, u"- 보유중인 개인큐가 없습니다 -", gui::kFont12Bold,
                         gui::align::kCenter | gui::align::kVCenter);
    // The hint under the details, above the window's lower edge.
    Line(*this, kDetailX, 384, kDetailW, u"큐를 클릭하면 관리");
    Line(*this, kDetailX, 402, kDetailW, u"메뉴를 사용할 수");
    Line(*this, kDetailX, 420, kDetailW, u"있습니다.");
    AddTextButton(*this, 516, 5, 20, 20, cue_control::kClose, u"X", platform::kVkEscape);
    menu_ = AddPanel(0, 0, 80, 60);
    AddTextButton(*menu_, 0, 0, 80, 20, cue_control::kMenuRepair, u"수      리");
    AddTextButton(*menu_, 0, 20, 80, 20, cue_control::kMenuParts, u"파츠  구입");
    menuThird_ = AddTextButton(*menu_, 0, 40, 80, 20, cue_control::kMenuThird, u"업그레이드");
    menu_->SetVisible(false);
    repair_ = Make<CueRepairDialog>(host);
    reset_ = Make<CuePerformanceResetDialog>(host);
    upgrade_ = Make<CueUpgradeWindow>(host);
    parts_ = Make<CuePartsPurchaseDialog>(host);
    parts_->SetVisible(false);
    repair_->SetVisible(false);
    reset_->SetVisible(false);
    upgrade_->SetVisible(false);
}

void PersonalCueWindow::OnShow() {
    gui::Dialog::OnShow();
    CenterOnScreen();
    RefreshSlots();
    RefreshDetails();
    if (!selected_ && listed_ > 0) {
        selected_ = 0;
        RefreshDetails();
    }
}

void PersonalCueWindow::OnHide() {
    CueDialogBase::OnHide();
    // A dialog left open would come back with the window; the parts dialog also gives the shop its
    // whole-cue preview back. The window's close sound is the only one.
    for (gui::Dialog* dialog :
         std::initializer_list<gui::Dialog*>{repair_, reset_, upgrade_->Dialog(), upgrade_, parts_})
        dialog->HideQuietly();
}

void PersonalCueWindow::RefreshSlots() {
    net::GameSession* s = Session();
    int shown = 0;
    listed_ = 0;
    if (s) {
        const std::vector<net::ItemEntry*>& items = s->own.Items();
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            const net::ItemEntry* e = *it;
            if (!e || !e->IsPersonalCue()) continue;
            ++listed_;
            if (shown < kSlots) slots_[static_cast<std::size_t>(shown++)]->SetEntry(e);
        }
    }
    for (int i = shown; i < kSlots; ++i) slots_[static_cast<std::size_t>(i)]->SetEntry(nullptr);
    empty_->SetVisible(listed_ == 0);
    // A selection whose cue left the list goes, and so do the dialogs of cues no longer held.
    if (selected_ && !slots_[static_cast<std::size_t>(*selected_)]->Serial()) selected_.reset();
    for (CueDialogBase* d :
         std::initializer_list<CueDialogBase*>{repair_, reset_, upgrade_, upgrade_->Dialog(), parts_})
        if (d->IsVisible() && !d->Cue()) d->Show(false);
}

net::ItemEntry* PersonalCueWindow::SelectedCue() const {
    if (!selected_) return nullptr;
    const std::optional<std::uint64_t> serial = slots_[static_cast<std::size_t>(*selected_)]->Serial();
    net::GameSession* s = Session();
    net::ItemEntry* e = serial && s ? s->own.FindItem(*serial) : nullptr;
    return e && e->IsPersonalCue() ? e : nullptr;
}

void PersonalCueWindow::RefreshDetails() {
    for (PersonalCueSlot* slot : slots_) slot->Preview()->rotationSpeed = 0.0f;
    const net::ItemEntry* cue = SelectedCue();
    if (!cue) {
        detail_->SetVisible(false);
        return;
    }
    serial_ = cue->serial;
    name_->SetFittedText(cue->cueName);
    for (int k = 0; k < net::kCueOptions; ++k)
        optionValues_[static_cast<std::size_t>(k)]->SetText(kDetailFormat[k],
                                                            OptionEffect(OptionValue(*cue, k)));
    points_->SetText(u"%d", static_cast<int>(WholePoints(*cue)));
    durability_->SetPlainText(DurabilityText(*cue));
    const bool tuning = !IsCustomCue(cue->itemId);
    pointsCaption_->SetVisible(tuning);
    points_->SetVisible(tuning);
    detail_->SetVisible(true);
}

void PersonalCueWindow::OpenDialog(gui::Dialog* dialog, int dy) {
    if (dialog->GetParent() != this) AddChild(dialog, false);
    dialog->CenterOnScreen();
    dialog->MoveBy(0, dy);
    dialog->Show(true);
}

bool PersonalCueWindow::OnCommand(const gui::CommandEvent& event) {
    const std::uint32_t id = event.id;
    if (id >= cue_control::kFirstSlot && id < cue_control::kFirstSlot + kSlots) {
        selected_ = static_cast<int>(id - cue_control::kFirstSlot);
        RefreshDetails();
        const net::ItemEntry* cue = SelectedCue();
        if (!cue) return true;
        // Under the slot, reaching away from the details between the pairs of slots, so that it
        // covers no detail row, no other slot and no hint line.
        const int slotX = kSlotX[*selected_];
        menu_->MoveTo(slotX < kDetailX ? slotX + kSlotW - menu_->Width() : slotX, kSlotY + kSlotH + 2);
        menuThird_->SetCaption(IsCustomCue(cue->itemId) ? u"성능재설정" : u"업그레이드");
        menu_->Show(true);
        menu_->BringToFront();
        return true;
    }
    switch (id) {
        case cue_control::kMenuRepair:
        case cue_control::kMenuParts:
        case cue_control::kMenuThird: {
            menu_->Show(false);
            const net::ItemEntry* cue = SelectedCue();
            if (!cue) return true;
            if (id == cue_control::kMenuRepair) {
                repair_->SetCue(*cue);
                OpenDialog(repair_, 40);
            } else if (id == cue_control::kMenuParts) {
                parts_->SetCue(*cue);
                if (parts_->GetParent() != this) AddChild(parts_, false);
                parts_->MoveTo(-40, 70);
                parts_->Show(true);
            } else if (id == cue_control::kMenuThird && IsCustomCue(cue->itemId)) {
                reset_->SetCue(*cue);
                OpenDialog(reset_, 44);
            } else if (id == cue_control::kMenuThird) {
                upgrade_->SetCue(*cue);
                OpenDialog(upgrade_, 0);
            }
            return true;
        }
        case 91:
        case 92:
        case 93:
            return true;
        default:
            return CueDialogBase::OnCommand(event);
    }
}

void PersonalCueWindow::SetPreviewPanel(ItemPreviewPanel* panel) {
    panel_ = panel;
    parts_->SetPreviewPanel(panel);
}

void PersonalCueWindow::BuildModels(RenderDevice* device, ResourceManager* resources) {
    for (PersonalCueSlot* slot : slots_) slot->Preview()->BuildModel(device);
    upgrade_->Preview()->BuildModel(device);
    reset_->Preview()->BuildModel(device);
    parts_->BuildModels(device, resources);
}

void PersonalCueWindow::ReleaseModels() {
    for (PersonalCueSlot* slot : slots_) slot->Preview()->ReleaseModel();
    upgrade_->Preview()->ReleaseModel();
    reset_->Preview()->ReleaseModel();
    parts_->ReleaseModels();
}

void PersonalCueWindow::OnPartsBought() {
    RefreshSlots();
    RefreshDetails();
    parts_->Show(false);
}

void PersonalCueWindow::OnRepaired() {
    RefreshSlots();
    RefreshDetails();
    repair_->Show(false);
}

void PersonalCueWindow::OnPerformanceReset() {
    RefreshDetails();
    if (const net::ItemEntry* cue = reset_->Cue()) reset_->SetCue(*cue);
    reset_->Show(false);
}

void PersonalCueWindow::OnUpgraded() {
    RefreshDetails();
    if (const net::ItemEntry* cue = upgrade_->Cue()) upgrade_->SetCue(*cue);
    upgrade_->Dialog()->RefreshOption();
}

bool PersonalCueWindow::WriteRepair(net::Packet& packet) const {
    return repair_->WriteRequest(packet);
}

bool PersonalCueWindow::WritePartsPurchase(net::Packet& packet) const {
    return parts_->WriteRequest(packet);
}

bool PersonalCueWindow::WriteUpgradeOrReset(net::Packet& packet, std::uint32_t param) const {
    if (param == cue_message::kResetParam) return reset_->WriteRequest(packet);
    return upgrade_->Dialog()->WriteRequest(packet);
}

}  // namespace scenes

// The shop's reply handlers: they run on the main thread, read every field of a reply before they
// change anything, and update the own record, the money and the owned items.

#include <memory>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/CommonDialogs.h"
#include "gui/NoticeBox.h"
#include "gui/PlayerInfoWindows.h"
#include "net/Packet.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/NickChangeDialog.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopText.h"
#include "scenes/shop/cue/PersonalCueWindow.h"

namespace scenes {

namespace {
bool IsShopReply(std::uint16_t id) {
    switch (id) {
        case shop_net::kProfile:
        case shop_net::kMembershipResult:
        case shop_net::kShopNothing:
        case shop_net::kPurchaseResult:
        case shop_net::kActivateResult:
        case shop_net::kNickChangeResult:
        case shop_net::kUseResult:
        case shop_net::kUseDefaultResult:
        case shop_net::kDefaultItem:
        case shop_net::kDeleteResult:
        case shop_net::kPartsResult:
        case shop_net::kUpgradeResult:
        case shop_net::kRepairResult:
        case shop_net::kResetResult:
        case shop_net::kRemainingCount:
            return true;
        default:
            return false;
    }
}

// The fields of an entry's state after an activation or a designation.
struct EntryState {
    std::uint64_t serial = 0;
    std::uint32_t itemId = 0;
    std::uint8_t state = 0;
    WString expiry;

    void Read(net::Packet& p) {
        serial = p.U64();
        itemId = p.U32();
        state = p.U8();
        p.U8();
        if (serial != 0) expiry = p.Str();
    }
};

bool Malformed(net::Packet& p) {
    if (!p.IsBad()) return false;
    LogWrite(u"SceneShop: reply %d dropped, it is shorter than its fields\n", static_cast<int>(p.GetId()));
    return true;
}
}  // namespace

int SceneShop::OnPacket(std::uint16_t messageId, net::Packet* packet) {
    if (!packet || !IsShopReply(messageId)) return 0;
    std::vector<std::uint8_t> copy(packet->Data(), packet->Data() + packet->Size());
    {
        platform::ScopedLock lock(replyLock_);
        replies_.push_back(std::move(copy));
    }
    if (Host()) Host()->PostUiNotice(shop_message::kRepliesQueued);
    return 0;
}

void SceneShop::DrainReplies() {
    std::vector<std::vector<std::uint8_t>> pending;
    {
        platform::ScopedLock lock(replyLock_);
        pending.swap(replies_);
    }
    auto packet = std::make_unique<net::Packet>();
    for (const std::vector<std::uint8_t>& bytes : pending) {
        if (!packet->SetFrames(bytes.data(), bytes.size())) continue;
        HandleReply(*packet);
    }
}

void SceneShop::HandleReply(net::Packet& p) {
    if (!built_) return;
    const std::uint16_t id = p.GetId();
    if (id != shop_net::kProfile && id != shop_net::kRemainingCount) inProgress_->Show(false);
    switch (id) {
        case shop_net::kProfile: {
            gui::UserInfoWindow* window = Host() ? Host()->GetUserInfoWindow() : nullptr;
            std::uint8_t found = 0;
            p.ReadU8(found);
            // The profile follows the found byte.
            if (window && found && !p.IsBad() && window->ReadProfile(p)) window->Show(true);
            return;
        }
        case shop_net::kMembershipResult:
            OnMembershipResult(p);
            return;
        case shop_net::kPurchaseResult:
            OnPurchaseResult(p);
            return;
        case shop_net::kActivateResult:
        case shop_net::kUseDefaultResult:
        case shop_net::kDefaultItem:
            OnEntryState(p, id);
            return;
        case shop_net::kNickChangeResult:
            OnUseResult(p, true);
            return;
        case shop_net::kUseResult:
            OnUseResult(p, false);
            return;
        case shop_net::kDeleteResult:
            OnDeleteResult(p);
            return;
        case shop_net::kPartsResult:
        case shop_net::kUpgradeResult:
        case shop_net::kRepairResult:
        case shop_net::kResetResult:
            OnCueReply(p, id);
            return;
        case shop_net::kRemainingCount:
            OnRemainingCount(p);
            return;
        default:
            return;
    }
}

namespace {
// Shows the text of a non-zero result; true when the result was an error.
bool ShowResult(SceneHost* host, gui::Widget* parent, std::uint16_t id, std::uint8_t result,
                const std::function<void(const WString&)>& second) {
    if (result == 0) return false;
    const ReplyText text = ReplyErrorText(id, result);
    if (!host) return true;
    switch (text.box) {
        case ReplyBox::Error:
            host->ShowError(parent, text.line1, text.line2);
            break;
        case ReplyBox::Notice:
            host->ShowNotice(parent, text.line1, text.line2);
            break;
        case ReplyBox::SecondNotice:
            second(text.line1);
            break;
        case ReplyBox::None:
            break;
    }
    return true;
}
}  // namespace

void SceneShop::OnMembershipResult(net::Packet& p) {
    const std::uint8_t result = p.U8();
    if (Malformed(p) || ShowResult(Host(), this, shop_net::kMembershipResult, result,
                                   [this](const WString& l) { SecondNotice(l); }))
        return;
    const std::uint32_t cash = p.U32();
    const std::uint64_t money = p.U64();
    const std::uint32_t bonus = p.U32();
    const std::uint8_t kind = p.U8();
    WString expiry;
    std::uint16_t value = 0;
    if (kind > 0) {
        expiry = p.Str();
        value = p.U16();
    }
    net::GameSession* session = Session();
    if (Malformed(p) || !session) return;
    session->own.cash = cash;
    session->own.money = static_cast<std::int64_t>(money);
    session->SetAccountFlag(kind, expiry, value);
    RefreshMoney();
    RefreshMembership();
    if (kind > 0) {
        Notice(u"성공적으로 처리되었습니다.", Format(u"만료 일자는 %s 입니다.", expiry),
               Format(u"보너스 큐머니 %s 원이 충전되었습니다.", FormatNumber(bonus)));
        RebuildOwnedList();
        RefreshInventoryView();
    }
}

void SceneShop::OnPurchaseResult(net::Packet& p) {
    const std::uint8_t mode = p.U8();
    const std::uint8_t result = p.U8();
    if (Malformed(p) || ShowResult(Host(), this, shop_net::kPurchaseResult, result,
                                   [this](const WString& l) { SecondNotice(l); }))
        return;
    std::uint32_t cash = 0, coins = 0, bonus = 0;
    std::uint64_t money = 0;
    if (mode != 3) {
        cash = p.U32();
        money = p.U64();
        coins = p.U32();
        bonus = p.U32();
    }
    net::ItemEntry bought;
    if (mode != 2 && mode != 3) {
        bought.serial = p.U64();
        bought.itemId = p.U32();
        bought.personal = p.U8();
        bought.state = p.U8();
        const net::ItemRecord* r = net::GetItemTable().Find(bought.itemId);
        bought.type = r ? r->type : 0;
        bought.usageKind = r ? r->usageKind : 0;
        if (bought.IsPersonalCue()) {
            const std::uint32_t durability = p.U32();
            bought.cueName = p.Str();
            // A new cue is at full durability: its maximum is what it has.
            bought.initialValue = bought.remainingValue = bought.copyValue = durability;
            bought.upgradeValue = 0;
            for (std::uint16_t& part : bought.parts) part = p.U16();
            for (std::uint8_t& v : bought.performance) v = p.U8();
        } else {
            bought.initialValue = p.U32();
            bought.remainingValue = p.U32();
            bought.copyValue = bought.initialValue;
            if (bought.type == static_cast<std::uint32_t>(net::ItemType::Cue)) {
                if (const net::CatalogRecord* c = net::GetItemCatalog().Find(bought.itemId))
                    for (int i = 0; i < net::kCueOptions; ++i)
                        bought.performance[i] = static_cast<std::uint8_t>(c->performance[i]);
            }
        }
        bought.newMark = 1;
    }
    net::GameSession* session = Session();
    if (Malformed(p) || !session) return;
    purchase_->Show(false);
    if (mode != 3) {
        session->own.cash = cash;
        session->own.money = static_cast<std::int64_t>(money);
        RefreshMoney();
    }
    if (mode == 2 || mode == 3) {
        Notice(u"The item was given to your friend as a gift.");
        return;
    }
    net::ItemEntry* entry = session->own.FindItem(bought.serial);
    if (!entry && session->own.ItemCount() < net::kMaxOwnedItems) {
        entry = session->AllocItemEntry();
        if (entry && !session->own.AddItem(bought.serial, entry)) {
            session->FreeItemEntry(entry);
            entry = nullptr;
        }
    }
    if (!entry) {
        // Bought on the server, but the client has no room to hold it: a new sign-in lists it.
        Notice(u"Successfully purchased.", kReconnectLine);
        return;
    }
    *entry = bought;
    inventoryPageStart_ = 1;
    RebuildOwnedList();
    RefreshInventoryView();
    WString third;
    if (coins > 0)
        third = Format(u"게임코인 %s원이 충전되었습니다.", FormatNumber(coins));
    else if (bonus > 0)
        third = Format(u"큐머니 %s원이 추가로 지급되었습니다.", FormatNumber(bonus));
    Notice(u"Successfully purchased.", u"Check the item in [My Item].", third);
}

void SceneShop::Designate(int gameType, std::uint8_t kind, std::uint64_t serial, std::uint32_t itemId) {
    net::GameSession* session = Session();
    if (!session || gameType < 0 || gameType >= net::kGameTypeCount) return;
    net::GameTypeEquipment& eq = session->own.equipment[gameType];
    const std::uint16_t id = static_cast<std::uint16_t>(itemId);
    switch (kind) {
        case 1:
        case 2:
            eq.cueSerial = serial;
            eq.cueId = id;
            break;
        case 3:
            eq.tableSerial = serial;
            eq.tableId = id;
            break;
        case 4:
            eq.ballSetSerial = serial;
            eq.ballSetId = id;
            break;
        default:
            break;
    }
}

void SceneShop::OnEntryState(net::Packet& p, std::uint16_t id) {
    const std::uint8_t result = p.U8();
    if (Malformed(p) || ShowResult(Host(), this, id, result, [this](const WString& l) { SecondNotice(l); }))
        return;
    std::uint8_t gameType = 0, kind = 0;
    if (id == shop_net::kDefaultItem) gameType = p.U8();
    if (id != shop_net::kActivateResult) kind = p.U8();
    EntryState s;
    s.Read(p);
    net::GameSession* session = Session();
    if (Malformed(p) || !session) return;
    if (net::ItemEntry* e = session->own.FindItem(s.serial)) {
        e->state = s.state;
        if (s.serial != 0) e->expiry = s.expiry;
    }
    if (id == shop_net::kDefaultItem) {
        // A game type the client does not know designates nothing.
        if (gameType < net::kGameTypeCount) Designate(gameType, kind, s.serial, s.itemId);
        RefreshInventoryView();
        return;
    }
    WString line = u"아이템을 사용하였습니다.(오류-1)";
    if (id == shop_net::kUseDefaultResult) {
        const net::ItemRecord* r = net::GetItemTable().Find(s.itemId);
        for (int type = 10; type < net::kGameTypeCount && r; ++type) {
            if (!r->usable[type]) continue;
            Designate(type, kind, s.serial, s.itemId);
            if (kind == 1)
                line = u"It is designated as a default cue.";
            else if (kind == 3)
                line = u"해당 종목에 기본당구대로 지정되었습니다.";
            else if (kind == 4)
                line = u"해당 종목에 기본공으로 지정되었습니다.";
        }
    }
    session->RefreshDefaultItems();
    RebuildOwnedList();
    RefreshInventoryView();
    if (id == shop_net::kUseDefaultResult) SecondNotice(line);
}

void SceneShop::ShowReconnectNotice(bool fromNickChange) {
    if (fromNickChange) nickChange_->Show(false);
    gui::NoticeBox* box = Host() ? Host()->GetNoticeBox() : nullptr;
    if (!box) {
        Notice(u"아이템을 사용하였습니다.", u"적용을 위해 재접속하여야 합니다.");
        return;
    }
    box->Reset();
    box->SetCaption(u"Notice");
    box->SetLine(0, u"아이템을 사용하였습니다.");
    box->SetLine(1, u"적용을 위해 재접속하여야 합니다.");
    if (box->GetParent() != this) AddChild(box, false);
    box->CenterOnScreen();
    box->SetResultCode(gui::result_code::kReconnectItem);
    box->Show(true);
    box->BringToFront();
}

void SceneShop::OnUseResult(net::Packet& p, bool nickChange) {
    const std::uint8_t result = p.U8();
    if (Malformed(p)) return;
    if (result != 0) {
        const ReplyText text = ReplyErrorText(p.GetId(), result);
        if (text.box == ReplyBox::SecondNotice)
            SecondNotice(text.line1);
        else if (nickChange)
            nickChange_->Show(false);
        return;
    }
    ShowReconnectNotice(nickChange);
}

void SceneShop::FreeOwnEntry(std::uint64_t serial) {
    net::GameSession* session = Session();
    if (!session) return;
    if (net::ItemEntry* e = session->own.RemoveItem(serial)) {
        {
            // The list holds the entry until it is rebuilt: drop it first so nothing reads it freed.
            platform::ScopedLock lock(ownedLock_);
            std::erase_if(owned_, [e](const OwnedItemRef& r) { return r.entry == e; });
        }
        session->FreeItemEntry(e);
    }
}

void SceneShop::OnDeleteResult(net::Packet& p) {
    const std::uint8_t result = p.U8();
    if (Malformed(p) || ShowResult(Host(), this, shop_net::kDeleteResult, result,
                                   [this](const WString& l) { SecondNotice(l); }))
        return;
    const std::uint64_t serial = p.U64();
    net::GameSession* session = Session();
    if (Malformed(p) || !session) return;
    FreeOwnEntry(serial);
    session->RefreshDefaultItems();
    RebuildOwnedList();
    RefreshInventoryView();
}

void SceneShop::OnCueReply(net::Packet& p, std::uint16_t id) {
    const std::uint8_t result = p.U8();
    if (Malformed(p) || ShowResult(Host(), this, id, result, [this](const WString& l) { SecondNotice(l); }))
        return;
    const std::uint32_t cash = p.U32();
    std::uint64_t money = 0;
    if (id != shop_net::kResetResult) money = p.U64();
    const std::uint64_t serial = p.U64();
    std::array<std::uint16_t, net::kCueParts> parts{};
    std::array<std::uint8_t, net::kCueOptions> performance{};
    std::uint32_t remaining = 0, initial = 0, durability = 0;
    std::uint8_t outcome = 0;
    std::uint64_t upgrade = 0;
    switch (id) {
        case shop_net::kPartsResult:
            for (std::uint16_t& v : parts) v = p.U16();
            for (std::uint8_t& v : performance) v = p.U8();
            remaining = p.U32();
            initial = p.U32();
            break;
        case shop_net::kUpgradeResult:
            outcome = p.U8();
            upgrade = p.U64();
            for (std::uint8_t& v : performance) v = p.U8();
            break;
        case shop_net::kRepairResult:
            durability = p.U32();
            break;
        default:
            for (std::uint8_t& v : performance) v = p.U8();
            break;
    }
    net::GameSession* session = Session();
    if (Malformed(p) || !session) return;
    session->own.cash = cash;
    if (id != shop_net::kResetResult) session->own.money = static_cast<std::int64_t>(money);
    RefreshMoney();
    net::ItemEntry* e = session->own.FindItem(serial);
    switch (id) {
        case shop_net::kPartsResult:
            if (e) {
                e->parts = parts;
                e->performance = performance;
                e->remainingValue = e->copyValue = remaining;
                e->initialValue = initial;
            }
            RefreshInventoryView();
            cueWindow_->OnPartsBought();
            Notice(u"파츠 구입을 성공적으로 수행하였습니다.");
            return;
        case shop_net::kUpgradeResult:
            if (e) {
                e->upgradeValue = upgrade;
                e->performance = performance;
            }
            cueWindow_->OnUpgraded();
            Notice(outcome == 1     ? u"업그레이드에 성공하였습니다. (+1)"
                   : outcome == 255 ? u"업그레이드에 실패하였습니다. (-1)"
                                    : u"업그레이드에 실패하였습니다.");
            return;
        case shop_net::kRepairResult: {
            const std::uint32_t oldInitial = e ? e->initialValue : durability;
            const int loss = RepairLoss(oldInitial, durability);
            if (loss == 0)
                Notice(u"수리를 성공적으로 수행하였습니다.", u"내구도가 완전히 복원되었습니다.");
            else
                Notice(u"수리를 마쳤으나 수리시 실패가 있었습니다.",
                       Format(u"전체 내구도가 %d만큼 감소하였습니다.", loss),
                       u"고급 수리를 사용하면 실패하지 않습니다.");
            if (e) e->initialValue = e->remainingValue = e->copyValue = durability;
            RefreshInventoryView();
            cueWindow_->OnRepaired();
            return;
        }
        default:
            if (e) e->performance = performance;
            cueWindow_->OnPerformanceReset();
            Notice(u"성능 옵션이 재설정되었습니다.");
            return;
    }
}

void SceneShop::OnRemainingCount(net::Packet& p) {
    const std::uint8_t result = p.U8();
    const std::uint64_t serial = p.U64();
    const std::uint32_t value = p.U32();
    net::GameSession* session = Session();
    if (Malformed(p) || result != 0 || !session) return;
    if (net::ItemEntry* e = session->own.FindItem(serial)) {
        e->remainingValue = value;
        if (value == 0) FreeOwnEntry(serial);
    }
    RebuildOwnedList();
    RefreshInventoryView();
}

}  // namespace scenes

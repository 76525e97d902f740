#pragma once
// The purchase and gift window: one catalogue item bought for oneself (mode 1), given to another
// player (mode 2) or given from the clan's money to a clan member (mode 3), with its periods,
// prices, bonus gold, balances, the club discount, the recipient and the message. A request that
// passes the local checks posts 1103 to the owner, which sends it; the recipient list is a popup
// of the friends or clan members.
//
// Threads: main thread only; the session's friend and clan lists are read under their lock.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "gui/Dialog.h"
#include "net/ItemTable.h"

namespace gui {
class Button;
class EditBox;
class ScrollBar;
class TextLabel;
}  // namespace gui
namespace net {
class GameSession;
class Packet;
}  // namespace net

namespace scenes {

class SceneHost;

enum class PurchaseMode : int { Purchase = 1, Gift = 2, ClanGift = 3 };

// The friends (source 1) or clan members (source 2) to pick a recipient from. The nicknames are
// copied when the list fills, so a member leaving the session's list later changes nothing here.
class RecipientList : public gui::Dialog {
public:
    static constexpr int kRows = 20;
    static constexpr std::uint32_t kFirstName = 100;
    static constexpr std::uint32_t kScroll = 97, kUp = 98, kDown = 99;
    static constexpr std::uint32_t kPicked = 65535;
    // How far below its top the list reaches: its rows and the down arrow under them.
    static constexpr int kReach = kRows * 20 + 20;

    explicit RecipientList(SceneHost* host);
    void SetSource(int source) { source_ = source; }
    // Shows the list from its first entry, or the notice "목록이 없습니다." when it is empty.
    void Open();
    void Fill();
    int FirstShown() const { return first_; }
    int Count() const { return static_cast<int>(names_.size()); }
    const WString& Picked() const { return picked_; }
    gui::Button* NameButton(int row) const { return rows_[row]; }

    bool OnCommand(const gui::CommandEvent& event) override;

private:
    SceneHost* host_;
    int source_ = 1;
    int first_ = 1;
    std::vector<WString> names_;
    WString picked_;
    std::array<gui::Button*, kRows> rows_{};
    gui::Button* up_ = nullptr;
    gui::Button* down_ = nullptr;
    gui::ScrollBar* scroll_ = nullptr;
};

class PurchaseDialog : public gui::Dialog {
public:
    static constexpr int kWidth = 554, kHeight = 360;
    static constexpr std::uint32_t kFirstPeriod = 150;
    static constexpr std::uint32_t kFriendList = 71, kClanList = 72;
    static constexpr std::uint32_t kBonusGold = 135;
    static constexpr std::uint32_t kBeepClose = 110;
    static constexpr int kBeepHz = 3000, kBeepMs = 200;
    static constexpr std::uint32_t kBuyId = 130, kCloseId = 2049;

    explicit PurchaseDialog(SceneHost* host);

    void SetMode(PurchaseMode mode);
    void SetProduct(const net::ItemRecord* record);
    void UpdatePrice();
    bool IsBonusGoldChecked() const;

    // The confirmed request: 507 (purchase), 508 (gift) or 509 (clan gift) with the product, the period
    // and, for gifts, the recipient and the message. False (nothing written) without a product.
    bool WriteRequest(net::Packet& packet) const;

    PurchaseMode Mode() const { return mode_; }
    const net::ItemRecord* Product() const { return record_; }
    int Period() const { return period_; }
    std::int64_t Price() const { return price_; }
    WString Recipient() const;
    WString Message() const;

    // Widgets the owner and tests read.
    gui::TextLabel* TitleLabel() const { return title_; }
    gui::TextLabel* KindLabel() const { return kind_; }
    gui::TextLabel* PeriodLabel(int i) const { return periodLabels_[i]; }
    gui::TextLabel* BonusLabel(int i) const { return bonusLabels_[i]; }
    gui::TextLabel* BalanceCaption(int i) const { return balanceCaptions_[i]; }
    gui::TextLabel* BalanceValue(int i) const { return balanceValues_[i]; }
    gui::TextLabel* DiscountHeader() const { return discountHeader_; }
    gui::TextLabel* DiscountLine() const { return discountLine_; }
    gui::Button* PeriodButton(int i) const { return periodButtons_[i]; }
    gui::Button* BuyButton() const { return buy_; }
    gui::Button* BonusBox() const { return bonusBox_; }
    gui::EditBox* RecipientEdit() const { return recipient_; }
    gui::EditBox* MessageEdit() const { return message_; }
    gui::Widget* SendPanel() const { return sendPanel_; }
    RecipientList* Recipients() const { return list_; }

    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    net::GameSession* Session() const;
    bool CashProduct() const;
    // The balance the price is taken from: cash, gold or the clan's money.
    std::int64_t Balance() const;
    // The first failed check shown, or true when the request may go.
    bool Validate();
    // Buy (and Enter in a field): the checks, then 1103 to the owner and the button disabled.
    void Buy();
    void Beep();

    SceneHost* host_;
    PurchaseMode mode_ = PurchaseMode::Purchase;
    const net::ItemRecord* record_ = nullptr;
    int period_ = 1;
    std::int64_t price_ = 0;
    gui::TextLabel* title_ = nullptr;
    gui::TextLabel* kind_ = nullptr;
    gui::TextLabel* name_ = nullptr;
    std::array<gui::Button*, 3> periodButtons_{};
    std::array<gui::TextLabel*, 3> periodLabels_{};
    std::array<gui::TextLabel*, 3> bonusLabels_{};
    std::array<gui::TextLabel*, 2> balanceCaptions_{};
    std::array<gui::TextLabel*, 2> balanceValues_{};
    gui::TextLabel* discountHeader_ = nullptr;
    gui::TextLabel* discountLine_ = nullptr;
    gui::Widget* sendPanel_ = nullptr;
    gui::EditBox* recipient_ = nullptr;
    gui::EditBox* message_ = nullptr;
    gui::Button* friendList_ = nullptr;
    gui::Button* clanList_ = nullptr;
    gui::TextLabel* bonusCaption_ = nullptr;
    gui::Button* bonusBox_ = nullptr;
    std::array<gui::TextLabel*, 2> notes_{};
    gui::Button* buy_ = nullptr;
    RecipientList* list_ = nullptr;
};

}  // namespace scenes

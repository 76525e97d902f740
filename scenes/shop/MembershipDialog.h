#pragma once
// The club membership window: 30 or 90 days of a membership kind bought with cash, for oneself or
// as a gift. It refuses changes and extensions of a running membership and the plus kind; a
// request that passes posts 1104 to the shop, which sends it. Also the plain picture window the
// shop shows on 1107.
//
// Threads: main thread only.

#include <cstdint>

#include "engine/core/Text.h"
#include "scenes/shop/ShopDialogs.h"

namespace gui {
class Button;
class EditBox;
class TextLabel;
}  // namespace gui
namespace net {
class GameSession;
}

namespace scenes {

class SceneHost;

class MembershipDialog : public CentredDialog {
public:
    static constexpr int kWidth = 350, kHeight = 338;
    static constexpr std::uint32_t kBuy = 30, kGiftBox = 31;
    static constexpr std::uint32_t kDays30 = 50, kDays90 = 51;
    static constexpr std::uint32_t kBasic = 61, kStandard = 62, kPlus = 63;
    static constexpr std::uint32_t kPicture = 69;

    explicit MembershipDialog(SceneHost* host);

    void SetDefaultKind();
    void UpdatePrice();

    int Period() const { return period_; }
    int Kind() const { return kind_; }
    int GiftMode() const { return giftMode_; }
    std::uint8_t UpgradeFlag() const { return upgrade_; }
    std::int64_t Price() const { return price_; }
    WString Recipient() const;

    gui::Button* KindButton(int kind) const { return kind == 2 ? standard_ : kind == 3 ? plus_ : nullptr; }
    gui::Button* PeriodButton(int period) const { return period == 2 ? days90_ : days30_; }
    gui::Button* GiftBox() const { return giftBox_; }
    gui::EditBox* RecipientEdit() const { return recipient_; }
    gui::TextLabel* CashLabel() const { return cash_; }
    gui::TextLabel* AfterLabel() const { return after_; }
    gui::TextLabel* CueMoneyLabel() const { return cueMoney_; }
    gui::TextLabel* PeriodLabel(int period) const { return period == 2 ? price90_ : price30_; }

    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    net::GameSession* Session() const;
    std::uint8_t Level() const;
    void ChooseKind(std::uint32_t id);
    void Buy();
    void PlusGiftNotice();

    int period_ = 1;
    int kind_ = 1;
    int giftMode_ = 1;
    std::uint8_t upgrade_ = 0;
    std::int64_t price_ = 0;
    gui::Button* standard_ = nullptr;
    gui::Button* plus_ = nullptr;
    gui::Button* days30_ = nullptr;
    gui::Button* days90_ = nullptr;
    gui::Button* giftBox_ = nullptr;
    gui::EditBox* recipient_ = nullptr;
    gui::TextLabel* cash_ = nullptr;
    gui::TextLabel* price30_ = nullptr;
    gui::TextLabel* price90_ = nullptr;
    gui::TextLabel* after_ = nullptr;
    gui::TextLabel* cueMoney_ = nullptr;
};

// A picture of the shop's guide filling the window; it only hides itself.
class ImagePanelDialog : public CentredDialog {
public:
    explicit ImagePanelDialog(SceneHost* host);
    bool OnCommand(const gui::CommandEvent& event) override;
};

}  // namespace scenes

// The purchase and gift window, its recipient list, and the membership window: prices, discounts
// and the order of their checks; the keys a player gives the shop's windows.

#include <gtest/gtest.h>

#include "engine/sound/SoundManager.h"
#include "gui/Button.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "platform/audio/NullAudioDevice.h"
#include "platform/sys/CriticalSection.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/NickChangeDialog.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shop/MembershipDialog.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopDialogs.h"
#include "scenes/shop/cue/PersonalCuePurchaseWindow.h"
#include "scenes/shop/cue/PersonalCueWindow.h"
#include "tests/scenes/shop/ShopTestHost.h"

using namespace scenes;

namespace {

net::ItemRecord Record(std::uint32_t id, bool cash, std::int32_t price, std::int8_t level = 0) {
    net::ItemRecord r;
    r.itemId = id;
    r.type = 1;
    r.priceKind = cash ? 1 : 0;
    r.name = u"Item";
    r.usageKind = 1;
    r.periodKind = 1;
    r.periods = {30, 90, net::kNoPeriod};
    r.prices = {price, price * 2, net::kNotSold};
    r.requiredLevel = level;
    return r;
}

class PurchaseDialogTest : public testing::Test {
protected:
    void SetUp() override {
        s().own.nickname = u"Me";
        s().own.level = 5;
        s().own.money = 1000;
        s().own.cash = 1000;
    }
    net::GameSession& s() { return *host.session; }
    void Open(PurchaseMode mode, const net::ItemRecord& record) {
        dialog.Show(false);
        dialog.SetMode(mode);
        dialog.SetProduct(&record);
        dialog.Show(true);
    }
    // Presses buy; the text of the box it showed, or "posted" when it posted 1103.
    WString Buy() {
        host.boxes.clear();
        host.posted.clear();
        gui::Button* buy = dialog.BuyButton();
        dialog.OnCommand({buy, buy->Id(), 0, gui::CommandCode::Event});
        if (host.Posted(shop_message::kPurchaseConfirmed)) return u"posted";
        return host.LastBox();
    }

    ShopTestHost host;
    PurchaseDialog dialog{&host};
};

TEST_F(PurchaseDialogTest, DiscountAppliesToOwnPurchasesOnly) {
    s().clubMembership = 2;
    const net::ItemRecord gold = Record(3001, false, 1000);
    Open(PurchaseMode::Purchase, gold);
    EXPECT_EQ(dialog.Price(), 900);
    EXPECT_TRUE(dialog.DiscountLine()->Text() == u"1,000 -> 900");
    EXPECT_TRUE(dialog.DiscountHeader()->Text() == u"마르베클럽 멤버십 10% 할인 적용");
    EXPECT_TRUE(dialog.BalanceValue(1)->Text() == u"100");
    Open(PurchaseMode::Gift, gold);
    EXPECT_EQ(dialog.Price(), 1000) << "gifts are never discounted";
    s().clubMembership = 1;
    Open(PurchaseMode::Purchase, gold);
    EXPECT_EQ(dialog.Price(), 1000);
    EXPECT_TRUE(dialog.DiscountLine()->Text() == u"마르베클럽 미가입 상태입니다.");
}

TEST_F(PurchaseDialogTest, PeriodsPricesAndBonusLines) {
    net::ItemRecord r = Record(3001, false, 1500);
    r.bonusGoldFlag = 1;
    r.bonusGold = {2000, 0, 0};
    Open(PurchaseMode::Purchase, r);
    EXPECT_TRUE(dialog.PeriodLabel(0)->Text() == u"1,500 / 30Days");
    EXPECT_TRUE(dialog.PeriodLabel(1)->Text() == u"3,000 / 90Days");
    EXPECT_TRUE(dialog.PeriodLabel(2)->Text().empty());
    EXPECT_FALSE(dialog.PeriodButton(2)->IsVisible()) << "an unsold period has no button";
    EXPECT_TRUE(dialog.BonusLabel(0)->Text() == u"(bonus gold 2,000)");
    EXPECT_TRUE(dialog.BonusLabel(1)->Text().empty());
    gui::Button* second = dialog.PeriodButton(1);
    dialog.OnCommand({second, second->Id(), 1, gui::CommandCode::Event});
    EXPECT_EQ(dialog.Period(), 2);
    EXPECT_EQ(dialog.Price(), 3000);
    EXPECT_TRUE(dialog.BalanceValue(1)->Text() == u"-2,000") << "the balance after may be negative";
}

TEST_F(PurchaseDialogTest, ChecksRunInOrderAndOnlyAPassPosts) {
    const net::ItemRecord cash = Record(3050, true, 1000);
    Open(PurchaseMode::Purchase, cash);
    EXPECT_TRUE(Buy() == u"posted") << "cash equal to the price is enough";
    EXPECT_FALSE(dialog.BuyButton()->IsEnabled()) << "a request goes once";
    s().own.cash = 999;
    Open(PurchaseMode::Purchase, cash);
    EXPECT_TRUE(Buy() == u"Error|Not enough cash.");

    const net::ItemRecord highLevel = Record(3004, false, 100, 8);
    Open(PurchaseMode::Purchase, highLevel);
    EXPECT_TRUE(Buy() == u"Notice|This item can only be used from level 8.");

    host.Own(100, 3000, 1, 0);
    host.Own(101, 3000, 1, 0);
    const net::ItemRecord basic = Record(3000, false, 100);
    Open(PurchaseMode::Purchase, basic);
    EXPECT_TRUE(Buy() == u"Notice|You already own two of the same kind of item.|Limit : 2 items ");
    host.Own(102, 3105, 1, 0);
    host.Own(103, 3105, 1, 0);
    const net::ItemRecord tuning = Record(3105, false, 100);
    Open(PurchaseMode::Purchase, tuning);
    EXPECT_TRUE(Buy() == u"posted") << "parts cues have no limit of two";

    const net::ItemRecord gold = Record(3001, false, 100);
    Open(PurchaseMode::Gift, gold);
    dialog.RecipientEdit()->SetText({});
    EXPECT_TRUE(Buy() == u"Error|받을 사람의 닉네임을 입력하세요.");
    dialog.RecipientEdit()->SetText(u"Me");
    dialog.MessageEdit()->SetText({});
    EXPECT_TRUE(Buy() == u"Error|자기 자신에게는 선물을 보낼 수 없습니다.")
        << "refused before the message check";
    dialog.RecipientEdit()->SetText(u"Friend");
    EXPECT_TRUE(Buy() == u"Error|선물 메시지를 입력하세요.");
    dialog.MessageEdit()->SetText(u"hi");
    EXPECT_TRUE(Buy() == u"posted");

    s().clanMoney = 5000;
    Open(PurchaseMode::ClanGift, gold);
    EXPECT_TRUE(Buy() == u"Error|Clan master only allowed");
    s().clanRank = 10;
    dialog.RecipientEdit()->SetText(u"Stranger");
    EXPECT_TRUE(Buy() == u"Error|클랜원에게만 선물할 수 있습니다.");
    s().clanMembers.push_back({9, 1, 1, u"Member"});
    dialog.RecipientEdit()->SetText(u"Member");
    EXPECT_TRUE(Buy() == u"posted");
}

TEST_F(PurchaseDialogTest, RecipientListKeepsItsOwnCopyOfTheNames) {
    for (int i = 0; i < 25; ++i)
        s().friends.push_back({static_cast<std::uint64_t>(i), 1, 0, Format(u"F%d", i)});
    Open(PurchaseMode::Gift, Record(3001, false, 100));
    RecipientList* list = dialog.Recipients();
    list->SetSource(1);
    list->Open();
    ASSERT_TRUE(list->IsVisible());
    EXPECT_EQ(list->Count(), 25);
    gui::Button down;
    down.Create(0, 0, 1, 1, RecipientList::kDown);
    for (int i = 0; i < 10; ++i) list->OnCommand({&down, RecipientList::kDown, 0, gui::CommandCode::Event});
    EXPECT_EQ(list->FirstShown(), 6) << "paging stops at the last full page";
    {
        platform::ScopedLock lock(s().listLock);
        s().friends.clear();  // the dispatch thread dropped them meanwhile
    }
    gui::Button* name = list->NameButton(19);
    list->OnCommand({name, name->Id(), 0, gui::CommandCode::Event});
    EXPECT_TRUE(dialog.RecipientEdit()->GetText() == u"F24");
    EXPECT_FALSE(list->IsVisible());
    list->Open();
    EXPECT_TRUE(host.LastBox() == u"Notice|목록이 없습니다.");
    EXPECT_FALSE(list->IsVisible());
}

// A host with a sound manager on the null device.
class SoundHost : public ShopTestHost {
public:
    SoundHost() { sound.Initialize(std::make_unique<platform::NullAudioDevice>()); }
    SoundManager* Sound() override { return &sound; }
    SoundManager sound;
};

TEST(PurchaseDialogBeep, CloseWithBeepPlaysAGeneratedTone) {
    SoundHost host;
    std::vector<int> played;
    host.sound.SetPlayObserver([&](int id) { played.push_back(id); });
    PurchaseDialog dialog(&host);
    dialog.Show(true);
    gui::Button beep;
    beep.Create(0, 0, 1, 1, PurchaseDialog::kBeepClose);
    dialog.OnCommand({&beep, beep.Id(), 0, gui::CommandCode::Event});
    EXPECT_FALSE(dialog.IsVisible());
    ASSERT_EQ(played.size(), 1u);
    EXPECT_TRUE(host.sound.IsLoaded(played[0]));
    dialog.Show(true);
    dialog.OnCommand({&beep, beep.Id(), 0, gui::CommandCode::Event});
    EXPECT_EQ(played.size(), 2u) << "the tone is made once and played again";
    host.sound.Shutdown();
}

class MembershipDialogTest : public testing::Test {
protected:
    void SetUp() override {
        s().own.nickname = u"Me";
        s().own.cash = 100000;
    }
    net::GameSession& s() { return *host.session; }
    void Press(std::uint32_t id) {
        gui::Button b;
        b.Create(0, 0, 1, 1, id);
        host.boxes.clear();
        dialog.OnCommand({&b, id, 0, gui::CommandCode::Event});
    }

    ShopTestHost host;
    MembershipDialog dialog{&host};
};

TEST_F(MembershipDialogTest, OpensOnTheCurrentKindAndRefusesPlus) {
    dialog.Show(true);
    EXPECT_EQ(dialog.Kind(), 3);
    EXPECT_TRUE(dialog.KindButton(3)->IsChecked());
    EXPECT_TRUE(dialog.CueMoneyLabel()->Text() == u"300,000 즉시 지급");
    Press(MembershipDialog::kBuy);
    EXPECT_TRUE(host.LastBox() == u"Notice|플러스 멤버십은 당분간 결제불가능합니다.");
    Press(MembershipDialog::kStandard);
    Press(MembershipDialog::kBuy);
    EXPECT_TRUE(host.Posted(shop_message::kMembershipConfirmed));
    EXPECT_FALSE(dialog.IsVisible());
}

TEST_F(MembershipDialogTest, ChangesOfARunningMembershipAreRefused) {
    struct Case {
        std::uint8_t level;
        std::uint32_t choice;
        bool standardOn, plusOn;
        WString line;
    } cases[] = {
        {1, MembershipDialog::kStandard, false, false, u"베이직 멤버십은 상위 멤버십으로"},
        {1, MembershipDialog::kPlus, false, false, u"베이직 멤버십은 상위 멤버십으로"},
        {2, MembershipDialog::kBasic, true, false, u"스탠다드 멤버십에서 하위 멤버십으로"},
        {2, MembershipDialog::kPlus, true, false, u"스탠다드 멤버십에서 상위 멤버십으로"},
        {3, MembershipDialog::kBasic, false, true, u"플러스 멤버십에서 하위 멤버십으로"},
        {3, MembershipDialog::kStandard, false, true, u"플러스 멤버십에서 하위 멤버십으로"},
    };
    for (const Case& c : cases) {
        s().clubMembership = c.level;
        dialog.Show(true);
        Press(c.choice);
        SCOPED_TRACE(testing::Message() << "level " << int(c.level) << " choice " << c.choice);
        EXPECT_TRUE(host.LastBox() == u"Notice|" + c.line + u"|변경할 수 없습니다.");
        EXPECT_EQ(dialog.KindButton(2)->IsChecked(), c.standardOn);
        EXPECT_EQ(dialog.KindButton(3)->IsChecked(), c.plusOn);
        dialog.Show(false);
    }
    s().clubMembership = 2;
    dialog.Show(true);
    Press(MembershipDialog::kBuy);
    EXPECT_TRUE(host.LastBox() == u"Notice|변경/연장 기능은 당분간 사용불가능합니다.");
}

TEST_F(MembershipDialogTest, GiftsCheckTheRecipientAndCash) {
    s().clubMembership = 2;
    s().own.cash = 25000;
    dialog.Show(true);
    dialog.GiftBox()->SetChecked(true);
    Press(MembershipDialog::kGiftBox);
    Press(MembershipDialog::kDays90);
    EXPECT_EQ(dialog.Price(), 26000);
    EXPECT_TRUE(dialog.AfterLabel()->Text() == u"-1,000");
    EXPECT_TRUE(dialog.PeriodLabel(2)->Text() == u"26,000 원 : 90일");
    dialog.RecipientEdit()->SetText(u"F");
    Press(MembershipDialog::kBuy);
    EXPECT_TRUE(host.LastBox() == u"Error|선물 받을 사람의 닉네임을 입력하세요.");
    dialog.RecipientEdit()->SetText(u"Me");
    Press(MembershipDialog::kBuy);
    EXPECT_TRUE(host.LastBox() == u"Error|자기 자신에게 선물할 수 없습니다.");
    dialog.RecipientEdit()->SetText(u"Friend");
    Press(MembershipDialog::kBuy);
    EXPECT_TRUE(host.LastBox() == u"Error|Not enough cash.");
    s().own.cash = 26000;
    Press(MembershipDialog::kBuy);
    EXPECT_TRUE(host.Posted(shop_message::kMembershipConfirmed));
}

// The shop with its windows as a player works them: clicks, typing and keys go to the widgets first
// and then to the scene, the key-down, the character and the key-up of each key, as the scene manager
// passes them on; notices and errors show in a real box.
class ShopWindowKeysTest : public testing::Test {
protected:
    void SetUp() override {
        s().own.nickname = u"Me";
        s().own.cash = 100000;
        s().own.money = 100000;
        host.shownBox = &box;
        shop.SetHost(&host);
        shop.Show(true);
        shop.Enter();
    }
    void TearDown() override {
        gui::TextInputManager::ClearFocus();
        gui::ClearGuiPointers();
    }
    net::GameSession& s() { return *host.session; }
    void Route(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam = 1) {
        if (!shop.RouteMessage(message, wParam, lParam)) shop.OnMessage(message, wParam, lParam);
    }
    void Press(std::uint32_t key) {
        for (std::uint32_t message : {platform::kWmKeyDown, platform::kWmChar, platform::kWmKeyUp})
            Route(message, key);
    }
    // A click in the middle of the widget, then the text typed.
    void ClickOn(const gui::Widget& w, const WString& text = {}) {
        const std::intptr_t at =
            platform::MakeLParam(w.ScreenX() + w.Width() / 2, w.ScreenY() + w.Height() / 2);
        for (std::uint32_t message :
             {platform::kWmMouseMove, platform::kWmLButtonDown, platform::kWmLButtonUp})
            Route(message, message == platform::kWmLButtonDown, at);
        for (char16_t c : text) Route(platform::kWmChar, c);
    }
    void OpenMembership() { shop.OnCommand({&shop, shop_control::kMembership, 0, gui::CommandCode::Event}); }
    // The shop was left: "To Lobby" sends 1146 and asks for the lobby.
    bool Left() const { return shop.ChangeRequested() || !host.sentBytes.empty(); }

    ShopTestHost host;
    gui::NoticeBox box;
    SceneShop shop;
};

TEST_F(ShopWindowKeysTest, EnterAndEscapeInEveryFieldOfTheShopsWindowsKeepThePlayerInTheShop) {
    // Membership as a gift: the gift box's notice and the plus kind's refusal close on Enter and leave
    // the window as it was, the name still in its field; Enter in the name is Buy.
    MembershipDialog& membership = *shop.Membership();
    OpenMembership();
    ClickOn(*membership.GiftBox());
    ASSERT_TRUE(box.IsVisible());
    Press(platform::kVkReturn);
    ClickOn(*membership.RecipientEdit(), u"Bob");
    Press(platform::kVkReturn);
    EXPECT_TRUE(host.LastBox() == u"Notice|플러스 멤버십은 당분간 결제불가능합니다.");
    const std::size_t shown = host.boxes.size();
    Press(platform::kVkReturn);
    EXPECT_FALSE(box.IsVisible());
    EXPECT_EQ(host.boxes.size(), shown) << "the Enter that closed the notice was Enter in the name once more";
    EXPECT_TRUE(membership.IsVisible() && membership.GiftMode() == 2 && membership.Recipient() == u"Bob");
    ClickOn(*membership.KindButton(2));
    ClickOn(*membership.RecipientEdit());
    Press(platform::kVkReturn);
    EXPECT_TRUE(host.Posted(shop_message::kMembershipConfirmed));
    EXPECT_FALSE(membership.IsVisible());
    // Escape in the name closes the window; it opens again for oneself with an empty name, and so it
    // does after the shop was left with it open.
    for (bool leave : {false, true}) {
        OpenMembership();
        ClickOn(*membership.GiftBox());
        Press(platform::kVkReturn);
        ClickOn(*membership.RecipientEdit(), u"Bob");
        if (leave) {
            shop.Leave(nullptr, nullptr);
            shop.Enter();
            EXPECT_FALSE(membership.IsVisible()) << "a window of the last visit came back";
        } else {
            Press(platform::kVkEscape);
            EXPECT_FALSE(membership.IsVisible());
        }
        OpenMembership();
        EXPECT_TRUE(membership.GiftMode() == 1 && membership.Recipient().empty() &&
                    !membership.GiftBox()->IsChecked() && !membership.RecipientEdit()->HasFocus());
        membership.Show(false);
    }
    EXPECT_FALSE(Left());

    // A gift: Enter in the name or the message is Buy, refused or posted; the refusal's Enter keeps
    // the window and what was typed; Escape closes it.
    PurchaseDialog& purchase = *shop.Purchase();
    shop.OnCommand({&shop, shop_control::kFirstShopCard, 0, gui::CommandCode::Event});
    for (gui::EditBox* field : {purchase.RecipientEdit(), purchase.MessageEdit()}) {
        shop.OnMessage(shop_message::kOpenPurchase, 2, 0);
        ASSERT_TRUE(purchase.IsVisible());
        ClickOn(*field);
        Press(platform::kVkReturn);
        EXPECT_TRUE(host.LastBox() == u"Error|받을 사람의 닉네임을 입력하세요.");
        Press(platform::kVkReturn);
        EXPECT_TRUE(purchase.IsVisible() && !box.IsVisible());
        EXPECT_TRUE(purchase.MessageEdit()->GetText() == u"This is for you~");
        Press(platform::kVkEscape);
        EXPECT_FALSE(purchase.IsVisible());
    }
    shop.OnMessage(shop_message::kOpenPurchase, 2, 0);
    ClickOn(*purchase.RecipientEdit(), u"Friend");
    Press(platform::kVkReturn);
    EXPECT_TRUE(host.Posted(shop_message::kPurchaseConfirmed));
    host.posted.clear();
    Press(platform::kVkReturn);
    EXPECT_FALSE(host.Posted(shop_message::kPurchaseConfirmed)) << "a request goes once";
    purchase.Show(false);

    // The other windows (the nickname's field has the focus): Enter and Escape press their buttons of
    // those keys or do nothing.
    for (gui::Dialog* window : std::initializer_list<gui::Dialog*>{
             shop.NickChange(), shop.Activate(), shop.DeleteDialog(), shop.Picture(), shop.ImagePanel(),
             shop.CueWindow(), shop.CuePurchase()}) {
        window->Show(true);
        Press(platform::kVkReturn);
        Press(platform::kVkEscape);
        window->Show(false);
    }
    EXPECT_FALSE(Left()) << "a key in a window of the shop took the player to the lobby";
    // A control of a window that the window leaves to others is no control of the shop's, whatever
    // its id: 0 is "To Lobby".
    shop.OnCommand({purchase.RecipientEdit(), 0, platform::kVkReturn, gui::CommandCode::Event});
    EXPECT_FALSE(Left());
}

}  // namespace

TEST(ActivateItemDialogSound, TheQuestionOpensWithItsSoundAndClosesSilently) {
    std::vector<int> played;
    gui::Dialog::SetSoundPlayer([&played](int id) { played.push_back(id); });
    ShopTestHost host;
    ActivateItemDialog dialog(&host);
    dialog.SetItem(42, 1);
    dialog.Show(true);
    EXPECT_EQ(played, std::vector<int>{32});
    gui::Button cancel;
    cancel.Create(0, 0, 1, 1, shop_control::kCancel);
    dialog.OnCommand({&cancel, shop_control::kCancel, 0, gui::CommandCode::Event});
    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_EQ(played, std::vector<int>{32}) << "closing played a sound";
    gui::Dialog::SetSoundPlayer(nullptr);
}

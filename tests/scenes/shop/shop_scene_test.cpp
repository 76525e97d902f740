// The shop scene: catalogue and inventory views, selection, the checks before each request and the
// reply handlers' changes to the own record (faults of the system's replies included).

#include <gtest/gtest.h>

#include <thread>

#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/WidgetRouter.h"
#include "scenes/front/NickChangeDialog.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopDialogs.h"
#include "scenes/shop/cue/PersonalCuePurchaseWindow.h"
#include "tests/scenes/shop/ShopTestHost.h"

using namespace scenes;

namespace {

class ShopSceneTest : public testing::Test {
protected:
    void SetUp() override {
        s().own.money = 100000;
        s().own.cash = 50000;
        s().own.level = 1;
        s().own.nickname = u"Me";
        shop.SetHost(&host);
        shop.SetSendTap([this](const net::Packet& p) { sent.push_back(ReadBack(p)); });
    }
    net::GameSession& s() { return *host.session; }
    void Command(std::uint32_t id, std::int32_t value = 0) {
        shop.OnCommand({&shop, id, value, gui::CommandCode::Event});
    }
    void Reply(std::uint16_t id, const std::function<void(net::Packet&)>& write) {
        auto p = MakeReply(id, write);
        shop.HandleReply(*p);
    }
    // Selects the owned entry of this serial as a click on its card would.
    void SelectOwned(std::uint64_t serial) {
        Command(shop_control::kInventoryTab);
        for (int i = 0; i < kCardsPerGrid; ++i)
            if (shop.InventoryCard(i)->IsVisible() && shop.InventoryCard(i)->Serial() == serial) {
                Command(shop_control::kFirstInventoryCard + static_cast<std::uint32_t>(i));
                return;
            }
        FAIL() << "no card for serial " << serial;
    }

    ShopTestHost host;
    SceneShop shop;
    std::vector<std::unique_ptr<net::Packet>> sent;
};

TEST_F(ShopSceneTest, CategoriesFilterTheCatalogueAndSetTheScrollRange) {
    shop.Enter();
    ASSERT_EQ(shop.ShopCategory(), shop_category::kAll);
    const int all = shop.ShopTotal();
    EXPECT_EQ(all, static_cast<int>(shop.SaleList().size()));
    EXPECT_EQ(shop.ShopScroll()->Range(), std::max(1, static_cast<int>(all / 4.0f + 0.5f)));

    struct Case {
        int category;
        std::uint32_t type;
    } cases[] = {{shop_category::kCues, 1}, {shop_category::kTables, 3}, {shop_category::kItems, 5}};
    for (const Case& c : cases) {
        Command(shop_control::kShopCategoryBase + static_cast<std::uint32_t>(c.category));
        ASSERT_GT(shop.ShopTotal(), 0);
        for (int i = 0; i < kCardsPerGrid; ++i) {
            const ItemDescription* d = shop.ShopCard(i)->Description();
            if (d) {
                EXPECT_EQ(d->record->type, c.type)
                    << "category " << c.category << " shows item " << d->itemId;
            }
        }
    }
    Command(shop_control::kShopCategoryBase + shop_category::kSpecial);
    EXPECT_EQ(shop.ShopTotal(), 5);
    EXPECT_EQ(shop.ShopScroll()->Range(), 1);
    EXPECT_EQ(shop.ShopCard(0)->Description()->itemId, 4903u);

    // A page start beyond the total shows no card.
    Command(shop_control::kShopCategoryBase + shop_category::kAll);
    Command(shop_control::kShopScroll, 9);
    EXPECT_EQ(shop.ShopPageStart(), 33);
    for (int i = 0; i < kCardsPerGrid; ++i) EXPECT_FALSE(shop.ShopCard(i)->IsVisible());
}

TEST_F(ShopSceneTest, EveryCategoryOffersItemsAndThePersonalCueCardsLeadToTheirPurchase) {
    shop.Enter();
    // The first page of each category (none holds more than 8).
    auto shown = [&](int category) {
        Command(shop_control::kShopCategoryBase + static_cast<std::uint32_t>(category));
        std::vector<std::uint32_t> ids;
        for (int i = 0; i < kCardsPerGrid; ++i)
            if (const ItemDescription* d = shop.ShopCard(i)->Description()) ids.push_back(d->itemId);
        return ids;
    };
    EXPECT_FALSE(shown(shop_category::kCues).empty());
    EXPECT_FALSE(shown(shop_category::kItems).empty());
    using Ids = std::vector<std::uint32_t>;
    EXPECT_EQ(shown(shop_category::kBalls), (Ids{2003, 2004, 2008, 2006}));
    EXPECT_EQ(shown(shop_category::kTables), (Ids{1020, 1027, 1024, 1028, 1026, 1030, 1032, 1033}));

    // A card, then the detail panel's buy button, as the player clicks them.
    auto buy = [&](std::uint32_t itemId) {
        Command(shop_control::kShopCategoryBase + shop_category::kCues);
        for (int i = 0; i < kCardsPerGrid; ++i) {
            const ItemDescription* d = shop.ShopCard(i)->Description();
            if (!d || d->itemId != itemId) continue;
            Command(shop_control::kFirstShopCard + static_cast<std::uint32_t>(i));
            gui::Widget* button = shop.Detail()->FindById(shop_control::kBuy);
            if (!button || !button->IsVisible()) return false;
            host.posted.clear();
            shop.Detail()->OnCommand({button, shop_control::kBuy, 0, gui::CommandCode::Event});
            for (const PostedMessage& m : host.posted) shop.OnMessage(m.code, m.a, m.b);
            return true;
        }
        return false;
    };
    ASSERT_TRUE(buy(3104)) << "the tuning cue has a card with a buy button";
    EXPECT_EQ(host.LastBox(), u"Notice|판매가 일시 중단된 상품입니다.");
    EXPECT_FALSE(shop.CuePurchase()->IsVisible());
    ASSERT_TRUE(buy(3100)) << "the custom cue has a card with a buy button";
    EXPECT_TRUE(shop.CuePurchase()->IsVisible()) << "the custom cue opens its purchase window";
}

TEST_F(ShopSceneTest, RestrictedAccountsSeeNoCashItemsAnywhere) {
    s().accountKind = 2;
    shop.Enter();
    EXPECT_FALSE(shop.CashChargeButton()->IsVisible());
    for (int category : {8, 7, 1, 2, 3, 4}) {
        Command(shop_control::kShopCategoryBase + static_cast<std::uint32_t>(category));
        for (int i = 0; i < kCardsPerGrid; ++i)
            if (const ItemDescription* d = shop.ShopCard(i)->Description()) {
                EXPECT_NE(d->record->priceKind, 1)
                    << "cash item " << d->itemId << " in category " << category;
            }
    }
}

TEST_F(ShopSceneTest, InUseAndNotInUseFollowUsageKinds) {
    host.Own(100, 3001, 1, 1, 1);            // limited time, active
    host.Own(101, 3002, 1, 1, 0);            // limited time, inactive
    host.Own(102, 4101, 4, 2);               // single use
    host.Own(103, 4903, 5, 3, 0, 100, 40);   // count, used
    host.Own(104, 4901, 5, 3, 0, 100, 100);  // count, unused
    host.Own(105, 1020, 3, 0);               // no usage kind
    shop.Enter();
    Command(shop_control::kInventoryTab);
    auto shown = [&] {
        std::vector<std::uint64_t> serials;
        for (int i = 0; i < kCardsPerGrid; ++i)
            if (shop.InventoryCard(i)->IsVisible()) serials.push_back(shop.InventoryCard(i)->Serial());
        return serials;
    };
    Command(shop_control::kInventoryCategoryBase + shop_category::kInUse);
    EXPECT_EQ(shown(), (std::vector<std::uint64_t>{100, 103, 105}));
    Command(shop_control::kInventoryCategoryBase + shop_category::kNotInUse);
    EXPECT_EQ(shown(), (std::vector<std::uint64_t>{101, 102, 104}));
    Command(shop_control::kInventoryCategoryBase + shop_category::kAll);
    EXPECT_EQ(shop.InventoryTotal(), 6);
}

TEST_F(ShopSceneTest, SelectingInOneGridClearsTheOther) {
    host.Own(100, 3001, 1, 1);
    shop.Enter();
    Command(shop_control::kFirstShopCard);
    ASSERT_NE(shop.SelectedCatalogue(), nullptr);
    SelectOwned(100);
    EXPECT_EQ(shop.SelectedCatalogue(), nullptr);
    EXPECT_EQ(shop.SelectedOwned(), 100u);
    Command(shop_control::kShopTab);
    Command(shop_control::kFirstShopCard);
    EXPECT_FALSE(shop.SelectedOwned().has_value());
    EXPECT_TRUE(shop.Detail()->ButtonById(shop_control::kBuy)->IsVisible());
    EXPECT_FALSE(shop.Detail()->ButtonById(shop_control::kUse)->IsVisible());
}

// A shop selection's detail, "Buy" and all, once stayed under "My Item" (an owned one's "Use" in the shop).
TEST_F(ShopSceneTest, EachTabShowsOnlyItsOwnSelectionSoMyItemNeverOffersBuy) {
    host.Own(100, 3001, 1, 1);
    shop.Enter();
    const auto offers = [this](std::uint32_t button) {
        return shop.Detail()->IsVisible() && shop.Detail()->ButtonById(button)->IsVisible();
    };
    Command(shop_control::kFirstShopCard);
    Command(shop_control::kInventoryTab);
    EXPECT_FALSE(shop.Detail()->IsVisible());
    Command(shop_control::kFirstInventoryCard, kCardMouseEnter);
    Command(shop_control::kFirstInventoryCard, kCardMouseLeave);
    EXPECT_FALSE(offers(shop_control::kBuy)) << "after a hover over an owned card";
    Command(shop_control::kShopTab);
    EXPECT_TRUE(offers(shop_control::kBuy)) << "the selection comes back with its tab";
    SelectOwned(100);
    Command(shop_control::kShopTab);
    EXPECT_FALSE(shop.Detail()->IsVisible());
}

TEST_F(ShopSceneTest, PurchaseSuccessAddsTheEntryAndShowsOnlyTheCoinLine) {
    shop.Enter();
    Command(shop_control::kFirstShopCard);
    shop.OnMessage(shop_message::kOpenPurchase, 1, 0);
    ASSERT_TRUE(shop.Purchase()->IsVisible());
    Reply(shop_net::kPurchaseResult, [](net::Packet& p) {
        p.WriteU8(1).WriteU8(0).WriteU32(40000).WriteU64(95000).WriteU32(1000).WriteU32(500);
        p.WriteU64(7000).WriteU32(3001).WriteU8(0).WriteU8(0).WriteU32(30).WriteU32(30);
    });
    EXPECT_FALSE(shop.Purchase()->IsVisible());
    EXPECT_EQ(s().own.cash, 40000u);
    EXPECT_EQ(s().own.money, 95000);
    const net::ItemEntry* e = s().own.FindItem(7000);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->type, 1u);
    EXPECT_EQ(e->usageKind, 1);
    EXPECT_EQ(e->newMark, 1);
    EXPECT_EQ(e->initialValue, 30u);
    EXPECT_EQ(shop.InventoryTotal(), 1);
    EXPECT_TRUE(
        host.LastBox() ==
        u"Notice|Successfully purchased.|Check the item in [My Item].|게임코인 1,000원이 충전되었습니다.");
}

TEST_F(ShopSceneTest, BoughtPersonalCueStartsAtFullDurability) {
    shop.Enter();
    Reply(shop_net::kPurchaseResult, [](net::Packet& p) {
        p.WriteU8(1).WriteU8(0).WriteU32(1).WriteU64(2).WriteU32(0).WriteU32(0);
        p.WriteU64(7001).WriteU32(3100).WriteU8(1).WriteU8(0).WriteU32(50000).WriteString(u"My cue");
        for (int i = 0; i < 5; ++i) p.WriteU16(static_cast<std::uint16_t>(10 + i));
        for (int i = 0; i < 5; ++i) p.WriteU8(static_cast<std::uint8_t>(i));
    });
    const net::ItemEntry* e = s().own.FindItem(7001);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->initialValue, 50000u) << "the maximum durability of a new cue is what it has";
    EXPECT_EQ(e->remainingValue, 50000u);
    EXPECT_EQ(e->parts[4], 14);
    EXPECT_TRUE(e->cueName == u"My cue");
}

TEST_F(ShopSceneTest, PurchaseIntoAFullRecordAddsNothingAndSaysSo) {
    for (std::uint64_t i = 0; i < net::kMaxOwnedItems; ++i) ASSERT_NE(host.Own(100 + i, 3001, 1, 1), nullptr);
    shop.Enter();
    const int freeBefore = s().FreeItemEntries();
    Reply(shop_net::kPurchaseResult, [](net::Packet& p) {
        p.WriteU8(1).WriteU8(0).WriteU32(1).WriteU64(2).WriteU32(0).WriteU32(0);
        p.WriteU64(9000).WriteU32(3001).WriteU8(0).WriteU8(0).WriteU32(30).WriteU32(30);
    });
    EXPECT_EQ(s().own.ItemCount(), net::kMaxOwnedItems);
    EXPECT_EQ(s().own.FindItem(9000), nullptr);
    EXPECT_EQ(s().FreeItemEntries(), freeBefore) << "no pool entry is lost";
    EXPECT_NE(host.LastBox().find(u"Successfully purchased."), WString::npos);
}

TEST_F(ShopSceneTest, ClanGiftSuccessReadsNoMoneyAndGiftErrorsKeepTheDialog) {
    shop.Enter();
    Command(shop_control::kFirstShopCard);
    shop.OnMessage(shop_message::kOpenPurchase, 2, 0);
    Reply(shop_net::kPurchaseResult, [](net::Packet& p) { p.WriteU8(2).WriteU8(4); });
    EXPECT_TRUE(shop.Purchase()->IsVisible()) << "an error leaves the dialog open";
    EXPECT_TRUE(host.LastBox() == u"Error|The user does not exist. Check nickname.");
    Reply(shop_net::kPurchaseResult, [](net::Packet& p) { p.WriteU8(3).WriteU8(0); });
    EXPECT_EQ(s().own.cash, 50000u);
    EXPECT_EQ(s().own.money, 100000);
    EXPECT_TRUE(host.LastBox() == u"Notice|The item was given to your friend as a gift.");
}

TEST_F(ShopSceneTest, TruncatedReplyChangesNothing) {
    shop.Enter();
    const std::size_t boxes = host.boxes.size();
    Reply(shop_net::kPurchaseResult, [](net::Packet& p) { p.WriteU8(1).WriteU8(0).WriteU32(1).WriteU64(2); });
    Reply(shop_net::kMembershipResult, [](net::Packet& p) { p.WriteU8(0).WriteU32(7); });
    EXPECT_EQ(s().own.cash, 50000u);
    EXPECT_EQ(s().own.money, 100000);
    EXPECT_EQ(s().own.ItemCount(), 0);
    EXPECT_EQ(host.boxes.size(), boxes);
}

TEST_F(ShopSceneTest, DeletedEntryLeavesSelectionDetailAndPool) {
    host.Own(100, 3001, 1, 1);
    shop.Enter();
    SelectOwned(100);
    shop.OnMessage(shop_message::kCheckDelete, 0, 0);
    ASSERT_TRUE(shop.DeleteDialog()->IsVisible());
    EXPECT_EQ(shop.DeleteDialog()->Serial(), 100u);
    shop.OnMessage(shop_message::kDeleteConfirmed, 0, 0);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]->GetId(), shop_net::kDeleteItem);
    EXPECT_EQ(sent[0]->U64(), 100u);
    const int freeBefore = s().FreeItemEntries();
    Reply(shop_net::kDeleteResult, [](net::Packet& p) { p.WriteU8(0).WriteU64(100); });
    EXPECT_EQ(s().own.FindItem(100), nullptr);
    EXPECT_EQ(s().FreeItemEntries(), freeBefore + 1);
    EXPECT_FALSE(shop.SelectedOwned().has_value());
    EXPECT_FALSE(shop.Detail()->IsVisible());
    EXPECT_EQ(shop.InventoryTotal(), 0);
    EXPECT_FALSE(shop.InventoryCard(0)->IsVisible());
}

TEST_F(ShopSceneTest, RemainingCountOfZeroRemovesTheItem) {
    host.Own(100, 4903, 5, 3, 0, 100, 1);
    shop.Enter();
    Reply(shop_net::kRemainingCount, [](net::Packet& p) { p.WriteU8(0).WriteU64(100).WriteU32(0); });
    EXPECT_EQ(s().own.FindItem(100), nullptr);
    EXPECT_EQ(shop.InventoryTotal(), 0);
}

TEST_F(ShopSceneTest, DesignationsStayInsideTheGameTypes) {
    host.Own(100, 3001, 1, 1);
    shop.Enter();
    const auto before = s().own.equipment;
    Reply(shop_net::kDefaultItem, [](net::Packet& p) {
        p.WriteU8(0).WriteU8(200).WriteU8(1).WriteU64(100).WriteU32(3001).WriteU8(1).WriteU8(0).WriteString(
            u"x");
    });
    for (int t = 0; t < net::kGameTypeCount; ++t)
        EXPECT_EQ(s().own.equipment[t].cueSerial, before[t].cueSerial);
    EXPECT_EQ(s().own.FindItem(100)->state, 1) << "the entry update still applies";

    Reply(shop_net::kUseDefaultResult, [](net::Packet& p) {
        p.WriteU8(0).WriteU8(1).WriteU64(100).WriteU32(3001).WriteU8(1).WriteU8(0).WriteString(u"x");
    });
    for (int t = 0; t < 10; ++t) EXPECT_EQ(s().own.equipment[t].cueSerial, before[t].cueSerial) << t;
    for (int t = 10; t < net::kGameTypeCount; ++t) EXPECT_EQ(s().own.equipment[t].cueSerial, 100u) << t;
}

TEST_F(ShopSceneTest, UseChecksRunInOrder) {
    host.Own(100, 4903, 5, 3);     // count item
    host.Own(101, 4103, 4, 1);     // "Not implemented." then the question
    host.Own(102, 4011, 4, 1, 1);  // already active
    host.Own(103, 4011, 4, 1, 0);  // same kind already active
    host.Own(104, 3005, 1, 1, 0);  // level 10 cue
    shop.Enter();
    SelectOwned(100);
    shop.OnMessage(shop_message::kCheckUse, 0, 0);
    EXPECT_TRUE(
        host.LastBox() ==
        u"Notice|It has a limited number of uses|which will be consumed every time you use the item.");
    EXPECT_FALSE(shop.Activate()->IsVisible());
    SelectOwned(102);
    shop.OnMessage(shop_message::kCheckUse, 0, 0);
    EXPECT_TRUE(host.LastBox() == u"Notice|This item is already activated.");
    SelectOwned(103);
    shop.OnMessage(shop_message::kCheckUse, 0, 0);
    EXPECT_TRUE(host.LastBox() == u"Error|같은 종류의 아이템이 이미 사용중입니다.");
    SelectOwned(104);
    shop.OnMessage(shop_message::kCheckUse, 0, 0);
    EXPECT_TRUE(host.LastBox() == u"Notice|This item can only be used from level 10.");
    SelectOwned(101);
    shop.OnMessage(shop_message::kCheckUse, 0, 0);
    EXPECT_TRUE(host.LastBox() == u"Notice|Not implemented.");
    EXPECT_TRUE(shop.Activate()->IsVisible());
    EXPECT_TRUE(sent.empty()) << "no check sends anything";
}

TEST_F(ShopSceneTest, ActivationCarriesTheWholeSerial) {
    const std::uint64_t serial = 0x100000005ull;
    host.Own(serial, 4011, 4, 1, 0);
    host.Own(5, 4012, 4, 1, 0);  // the same low half, held too
    shop.Enter();
    SelectOwned(serial);
    shop.OnMessage(shop_message::kCheckUse, 0, 0);
    ASSERT_TRUE(shop.Activate()->IsVisible());
    gui::Button ok;
    ok.Create(0, 0, 1, 1, shop_control::kYes);
    shop.Activate()->OnCommand({&ok, shop_control::kYes, 0, gui::CommandCode::Event});
    ASSERT_TRUE(host.Posted(shop_message::kUseItem));
    const PostedMessage& m = host.posted.back();
    EXPECT_EQ(m.a, 5u);
    EXPECT_EQ(m.b, 1u);
    shop.OnMessage(m.code, m.a, m.b);
    ASSERT_EQ(sent.size(), 1u);
    net::Packet& p = *sent[0];
    EXPECT_EQ(p.GetId(), shop_net::kUseItem);
    EXPECT_EQ(p.U32(), 4011u);
    EXPECT_EQ(p.U8(), 4);
    EXPECT_EQ(p.U64(), serial);
    // The reply shows at once in the detail panel of the selection, which keeps its buttons.
    EXPECT_TRUE(shop.Detail()->Text().status == u"Inactivated");
    Reply(shop_net::kActivateResult, [&](net::Packet& r) {
        r.WriteU8(0).WriteU64(serial).WriteU32(4011).WriteU8(1).WriteU8(0).WriteString(u"2026-02-01");
    });
    EXPECT_TRUE(shop.Detail()->Text().status == u"Activated" &&
                shop.Detail()->Text().expire == u"2026-02-01");
    EXPECT_TRUE(shop.Detail()->IsVisible() && shop.Detail()->ButtonById(shop_control::kUse)->IsVisible());

    shop.OnMessage(shop_message::kUseItem, 77, 1);
    EXPECT_TRUE(host.LastBox() == u"Error|Item info mismatched.|Re-login please..");
    EXPECT_EQ(sent.size(), 1u);
}

TEST_F(ShopSceneTest, BuiltInAndEquippedItemsCannotBeDeleted) {
    host.Own(5, 3000, 1, 0);
    host.Own(100, 3001, 1, 1);
    s().own.equipment[4].cueSerial = 100;
    shop.Enter();
    SelectOwned(5);
    shop.OnMessage(shop_message::kCheckDelete, 0, 0);
    EXPECT_TRUE(host.LastBox() == u"Notice|This item cannot be deleted.");
    SelectOwned(100);
    shop.OnMessage(shop_message::kCheckDelete, 0, 0);
    EXPECT_NE(host.LastBox().find(u"종목에 사용중이어서 삭제할 수 없습니다."), WString::npos);
    EXPECT_FALSE(shop.DeleteDialog()->IsVisible());
}

TEST_F(ShopSceneTest, RepliesWaitForTheMainThread) {
    shop.Enter();
    auto reply = MakeReply(shop_net::kMembershipResult, [](net::Packet& p) {
        p.WriteU8(0)
            .WriteU32(100)
            .WriteU64(200)
            .WriteU32(0)
            .WriteU8(2)
            .WriteString(u"2027-01-01 00:00")
            .WriteU16(30);
    });
    std::thread dispatch([&] { shop.OnPacket(shop_net::kMembershipResult, reply.get()); });
    dispatch.join();
    EXPECT_EQ(s().own.cash, 50000u) << "the dispatch thread changes nothing itself";
    ASSERT_TRUE(host.Posted(shop_message::kRepliesQueued));
    shop.OnMessage(shop_message::kRepliesQueued, 0, 0);
    EXPECT_EQ(s().own.cash, 100u);
    EXPECT_EQ(s().clubMembership, 2);
    EXPECT_TRUE(shop.MembershipLabel(0)->Text() == u"Std. Membership :");
    EXPECT_TRUE(shop.MembershipLabel(1)->Text() == u"2027-01-01 00:00 까지");
}

TEST_F(ShopSceneTest, RequestsCarryTheDialogsChoices) {
    s().friends.push_back({1, 1, 0, u"Friend"});
    shop.Enter();
    Command(shop_control::kFirstShopCard);
    const ItemDescription* item = shop.SelectedCatalogue();
    ASSERT_NE(item, nullptr);
    shop.OnMessage(shop_message::kOpenPurchase, 2, 0);
    PurchaseDialog& dialog = *shop.Purchase();
    dialog.RecipientEdit()->SetText(u"Friend");
    gui::Button* second = dialog.PeriodButton(1);
    dialog.OnCommand({second, second->Id(), 1, gui::CommandCode::Event});
    shop.OnMessage(shop_message::kPurchaseConfirmed, 0, 0);
    ASSERT_EQ(sent.size(), 1u);
    net::Packet& gift = *sent[0];
    EXPECT_EQ(gift.GetId(), shop_net::kGift);
    EXPECT_EQ(gift.U32(), item->itemId);
    EXPECT_EQ(gift.U8(), 2);
    EXPECT_TRUE(gift.Str() == item->record->name);
    EXPECT_EQ(gift.U8(), 0) << "bonus gold unchecked";
    EXPECT_TRUE(gift.Str() == u"Friend");
    EXPECT_TRUE(gift.Str() == u"This is for you~");
    EXPECT_TRUE(gift.AtEnd());
    // Without a connection no reply will come: the wait notice does not stay up for ever.
    EXPECT_FALSE(shop.InProgress()->IsVisible());
    EXPECT_EQ(host.LastBox().rfind(u"Error|The request could not be sent.", 0), 0u);

    shop.OnCommand({&shop, shop_control::kMembership, 0, gui::CommandCode::Event});
    shop.OnMessage(shop_message::kMembershipConfirmed, 0, 0);
    ASSERT_EQ(sent.size(), 2u);
    net::Packet& membership = *sent[1];
    EXPECT_EQ(membership.GetId(), shop_net::kMembership);
    EXPECT_EQ(membership.U8(), 1) << "for oneself";
    EXPECT_EQ(membership.U8(), 0);
    EXPECT_EQ(membership.U8(), 3) << "a player without membership starts on plus";
    EXPECT_EQ(membership.U8(), 1);
    EXPECT_TRUE(membership.Str().empty());
    EXPECT_TRUE(membership.AtEnd());
}

TEST_F(ShopSceneTest, ASecondVisitLoadsAgain) {
    EXPECT_EQ(shop.Load3D(nullptr, nullptr), 0);
    shop.Enter();
    shop.Leave(nullptr, nullptr);
    EXPECT_EQ(shop.Load3D(nullptr, nullptr), 0);
    shop.Enter();
    EXPECT_TRUE(shop.ShopCard(0)->IsVisible());
}

// The shop's host with the shared info windows.
struct InfoWindowsHost : ShopTestHost {
    gui::MyInfoWindow* GetMyInfoWindow() override { return &myInfo; }
    gui::UserInfoWindow* GetUserInfoWindow() override { return &userInfo; }
    gui::MyInfoWindow myInfo;
    gui::UserInfoWindow userInfo;
};

TEST(ShopInfoWindows, TheProfileReplyAndMyInfoOpenTheirWindowsInTheShopWithEveryFieldInPlace) {
    InfoWindowsHost host;
    SceneShop shop;
    shop.SetHost(&host);
    shop.Enter();
    auto profile = [](std::uint8_t found) {
        return MakeReply(211, [found](net::Packet& p) {
            p.WriteU8(found).WriteU64(77).WriteString(u"Rival").WriteU16(31).WriteU32(1234);
            p.WriteI64(1234567).WriteString(u"Clan").WriteU8(10).WriteU32(2345).WriteU8(3).WriteU8(1);
            p.WriteU8(4).WriteU32(10).WriteU32(6).WriteU32(4);
        });
    };
    shop.HandleReply(*profile(0));
    EXPECT_FALSE(host.userInfo.IsVisible()) << "a player not found opens nothing";
    shop.HandleReply(*profile(1));
    ASSERT_TRUE(host.userInfo.IsVisible());
    EXPECT_TRUE(gui::WidgetRouter::IsWithin(&host.userInfo, &shop)) << "shown but never drawn";
    EXPECT_EQ(host.userInfo.Profile().playerId, 77u) << "the profile starts after the found byte";
    EXPECT_EQ(host.userInfo.Profile().nickname, u"Rival");
    EXPECT_EQ(host.userInfo.Profile().money, 1234567);
    EXPECT_EQ(host.userInfo.Profile().records[4].wins, 6u);

    shop.OnCommand({&shop, shop_control::kMyInfo, 0, gui::CommandCode::Event});
    EXPECT_TRUE(host.myInfo.IsVisible());
    EXPECT_EQ(host.myInfo.Record(), &host.session->own) << "the own info window shows the signed-in player";
    EXPECT_TRUE(gui::WidgetRouter::IsWithin(&host.myInfo, &shop));
    shop.RemoveChild(&host.myInfo);
    shop.RemoveChild(&host.userInfo);
}

}  // namespace

// The item shop against the test server: a purchase from the card to "Successfully purchased.", the
// use and deletion of the bought item, a gift to another player and a club membership, each with
// the money and the owned items the replies leave.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "platform/window/WindowCodes.h"
#include "scenes/shared/PurchaseDialog.h"
#include "scenes/shop/MembershipDialog.h"
#include "scenes/shop/SceneShop.h"
#include "scenes/shop/ShopCodes.h"
#include "scenes/shop/ShopDialogs.h"
#include "scenes/shop/cue/CuePartsPurchaseDialog.h"
#include "scenes/shop/cue/PersonalCuePurchaseWindow.h"
#include "scenes/shop/cue/PersonalCueWindow.h"
#include "tests/common/Patience.h"
#include "tests/e2e/server/TestGameServer.h"
#include "tests/net/support/RecordingSink.h"
#include "tests/scenes/shop/ShopTestHost.h"

using namespace scenes;

namespace {

// The shop on a connected session; posted messages wait in a queue that Pump hands to the scene,
// as the application's user-interface queue does on the main thread.
class ShopClient : public ShopTestHost {
public:
    void PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) override {
        std::lock_guard lock(queueMutex_);
        queue_.push_back({code, a, b, c});
    }

    bool SignIn(std::uint16_t port, const WString& login, const WString& nick) {
        gate.SetCurrent(&sink);
        session->SetSceneGate(&gate);
        session->StartDispatchThread();
        if (!session->Connect("127.0.0.1", port) || !session->WaitConnected(5000)) return false;
        if (!session->SendSignIn(login, u"secret", 1)) return false;
        if (!WaitSink(net::Id(net::MessageId::SignInResult))) return false;
        if (session->own.nickname.empty()) {
            if (!session->SendCreateNick(nick) || !WaitSink(net::Id(net::MessageId::CreateNickResult)))
                return false;
        }
        // The item list goes to the session's own handler; it raises the list version.
        if (!testsupport::WaitUntil([&] { return session->listVersion.load() > 0; })) return false;
        shop.SetHost(this);
        shop.Show(true);
        shop.Enter();
        gate.SetCurrent(&shop);
        return true;
    }
    ~ShopClient() override {
        gate.SetCurrent(nullptr);
        session->StopDispatchThread();
        session->Disconnect();
    }

    // Hands the queued messages to the shop until `done` holds (at most 5 s times the patience).
    bool PumpUntil(const std::function<bool()>& done) {
        return testsupport::WaitUntil([&] {
            std::vector<PostedMessage> batch;
            {
                std::lock_guard lock(queueMutex_);
                batch.swap(queue_);
            }
            for (const PostedMessage& m : batch) {
                posted.push_back(m);
                shop.OnMessage(m.code, m.a, m.b);
            }
            return done();
        });
    }
    bool WaitBox(const WString& prefix) {
        return PumpUntil([&] { return LastBox().rfind(prefix, 0) == 0; });
    }
    void Press(gui::Widget& dialog, gui::Widget* control) {
        dialog.OnCommand({control, control->Id(), 0, gui::CommandCode::Event});
    }
    // A key pressed and released, to the widgets and then to the scene, as the scene manager passes it.
    void Key(std::uint32_t key) {
        for (std::uint32_t message : {platform::kWmKeyDown, platform::kWmChar, platform::kWmKeyUp})
            if (!shop.RouteMessage(message, key, 1)) shop.OnMessage(message, key, 1);
    }
    void PressId(gui::Widget& dialog, std::uint32_t id) {
        gui::Button b;
        b.Create(0, 0, 1, 1, id);
        Press(dialog, &b);
    }
    // Clicks the card of the item in the catalogue (every category) or in the owned items.
    bool ClickShopCard(std::uint32_t itemId) {
        shop.OnCommand({&shop, shop_control::kShopTab, 0, gui::CommandCode::Event});
        for (int i = 0; i < kCardsPerGrid; ++i)
            if (const ItemDescription* d = shop.ShopCard(i)->Description(); d && d->itemId == itemId) {
                shop.OnCommand({&shop, shop_control::kFirstShopCard + static_cast<std::uint32_t>(i), 0,
                                gui::CommandCode::Event});
                return true;
            }
        return false;
    }
    bool ClickOwnedCard(std::uint64_t serial) {
        shop.OnCommand({&shop, shop_control::kInventoryTab, 0, gui::CommandCode::Event});
        for (int i = 0; i < kCardsPerGrid; ++i)
            if (shop.InventoryCard(i)->IsVisible() && shop.InventoryCard(i)->Serial() == serial) {
                shop.OnCommand({&shop, shop_control::kFirstInventoryCard + static_cast<std::uint32_t>(i), 0,
                                gui::CommandCode::Event});
                return true;
            }
        return false;
    }
    // The serial of the first owned entry of the item, or 0.
    std::uint64_t OwnedSerial(std::uint32_t itemId) {
        for (const OwnedItemRef& r : shop.OwnedItems())
            if (r.entry->itemId == itemId) return r.entry->serial;
        return 0;
    }

    net::BasicSceneGate gate;
    RecordingSink sink;
    SceneShop shop;

private:
    bool WaitSink(std::uint16_t id) { return sink.WaitId(id) >= 0; }
    std::mutex queueMutex_;
    std::vector<PostedMessage> queue_;
};

class ShopE2eTest : public testing::Test {
protected:
    void SetUp() override {
        testserver::ServerOptions options;
        options.lobby = true;
        server = std::make_unique<testserver::TestGameServer>(options);
        ASSERT_TRUE(server->Start());
    }
    std::unique_ptr<testserver::TestGameServer> server;
};

TEST_F(ShopE2eTest, PurchaseUseAndDeletionUpdateMoneyAndOwnedItems) {
    ShopClient a;
    ASSERT_TRUE(a.SignIn(server->Port(), u"buyer", u"Buyer"));
    const std::int64_t money = a.session->own.money;
    ASSERT_TRUE(a.ClickShopCard(3001));
    a.shop.OnMessage(shop_message::kOpenPurchase, 1, 0);
    PurchaseDialog& dialog = *a.shop.Purchase();
    ASSERT_TRUE(dialog.IsVisible());
    a.Press(dialog, dialog.BuyButton());
    ASSERT_TRUE(a.WaitBox(u"Notice|Successfully purchased.|Check the item in [My Item]."));
    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_EQ(a.session->own.money, money - 5000);
    const std::uint64_t serial = a.OwnedSerial(3001);
    ASSERT_NE(serial, 0u) << "the owned items list the new cue";
    EXPECT_TRUE(a.shop.MoneyLabel(1)->Text() == FormatNumber(money - 5000));

    ASSERT_TRUE(a.ClickOwnedCard(serial));
    a.shop.OnMessage(shop_message::kCheckUse, 0, 0);
    ASSERT_TRUE(a.shop.Activate()->IsVisible());
    a.PressId(*a.shop.Activate(), shop_control::kYes);
    ASSERT_TRUE(a.PumpUntil([&] {
        const net::ItemEntry* e = a.session->own.FindItem(serial);
        return e && e->state == 1;
    }));
    EXPECT_FALSE(a.session->own.FindItem(serial)->expiry.empty());

    a.shop.OnMessage(shop_message::kCheckDelete, 0, 0);
    ASSERT_TRUE(a.shop.DeleteDialog()->IsVisible());
    a.PressId(*a.shop.DeleteDialog(), shop_control::kYes);
    ASSERT_TRUE(a.PumpUntil([&] { return a.session->own.FindItem(serial) == nullptr; }));
    EXPECT_EQ(a.OwnedSerial(3001), 0u);
    EXPECT_FALSE(a.shop.InProgress()->IsVisible());
}

TEST_F(ShopE2eTest, ABallSetFromTheBallCategoryIsSoldForGoodByTheServer) {
    ShopClient a;
    ASSERT_TRUE(a.SignIn(server->Port(), u"baller", u"Baller"));
    const std::int64_t money = a.session->own.money;
    a.shop.OnCommand(
        {&a.shop, shop_control::kShopCategoryBase + shop_category::kBalls, 0, gui::CommandCode::Event});
    ASSERT_GT(a.shop.ShopTotal(), 0) << "the ball category is empty";
    for (int i = 0; i < kCardsPerGrid; ++i)
        if (const ItemDescription* d = a.shop.ShopCard(i)->Description(); d && d->itemId == 2004)
            a.shop.OnCommand({&a.shop, shop_control::kFirstShopCard + static_cast<std::uint32_t>(i), 0,
                              gui::CommandCode::Event});
    a.shop.OnMessage(shop_message::kOpenPurchase, 1, 0);
    PurchaseDialog& dialog = *a.shop.Purchase();
    ASSERT_TRUE(dialog.IsVisible()) << "no ball set card was chosen";
    a.Press(dialog, dialog.BuyButton());
    ASSERT_TRUE(a.WaitBox(u"Notice|Successfully purchased."));
    EXPECT_EQ(a.session->own.money, money - 4000);
    const std::uint64_t serial = a.OwnedSerial(2004);
    ASSERT_NE(serial, 0u);
    EXPECT_EQ(a.session->own.FindItem(serial)->usageKind, 0) << "kept for good";
}

TEST_F(ShopE2eTest, GiftReachesTheOtherPlayer) {
    {
        ShopClient b;
        ASSERT_TRUE(b.SignIn(server->Port(), u"friend", u"Friend"));
    }
    ShopClient a;
    ASSERT_TRUE(a.SignIn(server->Port(), u"giver", u"Giver"));
    ASSERT_TRUE(a.ClickShopCard(3002));
    a.shop.OnMessage(shop_message::kOpenPurchase, 2, 0);
    PurchaseDialog& dialog = *a.shop.Purchase();
    dialog.RecipientEdit()->SetText(u"Nobody");
    a.Press(dialog, dialog.BuyButton());
    ASSERT_TRUE(a.WaitBox(u"Error|The user does not exist. Check nickname."));
    EXPECT_TRUE(dialog.IsVisible());

    dialog.Show(false);
    a.shop.OnMessage(shop_message::kOpenPurchase, 2, 0);
    dialog.RecipientEdit()->SetText(u"Friend");
    a.Press(dialog, dialog.BuyButton());
    ASSERT_TRUE(a.WaitBox(u"Notice|The item was given to your friend as a gift."));
    EXPECT_EQ(a.session->own.money, 100000 - 8000);
    EXPECT_EQ(a.OwnedSerial(3002), 0u) << "a gift is not the giver's";

    ShopClient b;
    ASSERT_TRUE(b.SignIn(server->Port(), u"friend", u"Friend"));
    EXPECT_NE(b.OwnedSerial(3002), 0u);
}

TEST_F(ShopE2eTest, MembershipPurchaseAndRefusals) {
    ShopClient a;
    ASSERT_TRUE(a.SignIn(server->Port(), u"member", u"Member"));
    const std::uint32_t cash = a.session->own.cash;
    a.shop.OnCommand({&a.shop, shop_control::kMembership, 0, gui::CommandCode::Event});
    MembershipDialog& dialog = *a.shop.Membership();
    ASSERT_TRUE(dialog.IsVisible());
    a.PressId(dialog, MembershipDialog::kBuy);
    EXPECT_TRUE(a.LastBox() == u"Notice|플러스 멤버십은 당분간 결제불가능합니다.");
    a.PressId(dialog, MembershipDialog::kStandard);
    a.PressId(dialog, MembershipDialog::kBuy);
    ASSERT_TRUE(a.WaitBox(u"Notice|성공적으로 처리되었습니다.|만료 일자는 "));
    EXPECT_EQ(a.session->own.cash, cash - 9800);
    EXPECT_EQ(a.session->clubMembership, 2);

    dialog.Show(true);
    a.PressId(dialog, MembershipDialog::kPlus);
    EXPECT_TRUE(a.LastBox() == u"Notice|스탠다드 멤버십에서 상위 멤버십으로|변경할 수 없습니다.");
    a.PressId(dialog, MembershipDialog::kBuy);
    EXPECT_TRUE(a.LastBox() == u"Notice|변경/연장 기능은 당분간 사용불가능합니다.");

    // A member may give one, but not to himself.
    dialog.GiftBox()->SetChecked(true);
    a.PressId(dialog, MembershipDialog::kGiftBox);
    a.PressId(dialog, MembershipDialog::kStandard);
    dialog.RecipientEdit()->SetText(u"Member");
    a.PressId(dialog, MembershipDialog::kBuy);
    EXPECT_TRUE(a.LastBox() == u"Error|자기 자신에게 선물할 수 없습니다.");
    // Enter in the name is Buy: the gift to a player the server does not know comes back refused, and
    // the player stays in the shop.
    dialog.RecipientEdit()->SetText(u"Nobody");
    dialog.RecipientEdit()->SetFocus(true);
    a.Key(platform::kVkReturn);
    ASSERT_TRUE(a.WaitBox(u"Error|데이터가 잘못되었습니다."));
    EXPECT_FALSE(a.shop.ChangeRequested());
    EXPECT_EQ(a.session->own.cash, cash - 9800);
}

// Personal cues against a server that sells parts and gives every new account a worn tuning cue (50 of 100
// points, 12 upgrade points) and a worn custom cue (50 of 1,000 points).
class CueClient : public ShopClient {
public:
    gui::NoticeBox* GetNoticeBox() override { return &first; }
    gui::NoticeBox* GetSecondNoticeBox() override { return &second; }

    PersonalCueWindow& OpenCues() {
        shop.OnCommand({&shop, shop_control::kPersonalCue, 0, gui::CommandCode::Event});
        return *shop.CueWindow();
    }
    // Selects the slot of the item and picks a menu entry.
    bool Manage(std::uint32_t itemId, std::uint32_t menu) {
        PersonalCueWindow& w = *shop.CueWindow();
        for (int i = 0; i < PersonalCueWindow::kSlots; ++i) {
            const std::optional<std::uint64_t> serial = w.Slot(i)->Serial();
            const net::ItemEntry* e = serial ? session->own.FindItem(*serial) : nullptr;
            if (!e || e->itemId != itemId) continue;
            PressId(w, cue_control::kFirstSlot + static_cast<std::uint32_t>(i));
            PressId(w, menu);
            return true;
        }
        return false;
    }
    std::uint64_t Serial(std::uint32_t itemId) { return OwnedSerial(itemId); }

    gui::NoticeBox first, second;
};

class CueE2eTest : public testing::Test {
protected:
    void SetUp() override {
        testserver::ServerOptions options;
        options.lobby = true;
        options.personalCues = true;
        server = std::make_unique<testserver::TestGameServer>(options);
        ASSERT_TRUE(server->Start());
    }
    // The body the server received for the request, little-endian as the client wrote it.
    testserver::Bytes Received(std::uint16_t id) {
        const std::optional<testserver::Frame> f = server->Expect(0, id, 5000);
        return f ? f->body : testserver::Bytes{};
    }
    static testserver::Bytes SerialBytes(std::uint64_t serial) {
        testserver::Bytes b;
        for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(serial >> (8 * i)));
        return b;
    }
    std::unique_ptr<testserver::TestGameServer> server;
};

TEST_F(CueE2eTest, RepairUpgradeAndResetReachTheServerAndUpdateTheCues) {
    CueClient a;
    ASSERT_TRUE(a.SignIn(server->Port(), u"cues", u"Cues"));
    const std::uint64_t tuning = a.Serial(3104), custom = a.Serial(3100);
    ASSERT_NE(tuning, 0u);
    ASSERT_NE(custom, 0u);
    PersonalCueWindow& window = a.OpenCues();
    ASSERT_TRUE(window.IsVisible());
    EXPECT_EQ(window.ListedCount(), 2);
    const std::int64_t money = a.session->own.money;
    const std::uint32_t cash = a.session->own.cash;

    // A normal repair of 50 points lost: 7,500 cue money; the test server takes one point of maximum.
    ASSERT_TRUE(a.Manage(3104, cue_control::kMenuRepair));
    a.PressId(*window.Repair(), cue_control::kOk);
    ASSERT_TRUE(a.first.IsVisible());
    a.first.Press(0);
    ASSERT_TRUE(
        a.WaitBox(u"Notice|수리를 마쳤으나 수리시 실패가 있었습니다.|전체 내구도가 1만큼 감소하였습니다."));
    testserver::Bytes expected{0};
    for (std::uint8_t b : SerialBytes(tuning)) expected.push_back(b);
    EXPECT_EQ(Received(538), expected);
    EXPECT_EQ(a.session->own.money, money - 7500);
    EXPECT_EQ(a.session->own.FindItem(tuning)->remainingValue, 99000u);
    EXPECT_EQ(window.DurabilityLabel()->Text(), u"99/99");
    EXPECT_FALSE(window.Repair()->IsVisible());

    // Power 7 needs one point and 4,400 cue money; the test server's upgrades succeed.
    ASSERT_TRUE(a.Manage(3104, cue_control::kMenuThird));
    a.PressId(*window.Upgrade(), cue_control::kFirstUpgrade);
    a.PressId(*window.Upgrade()->Dialog(), cue_control::kOk);
    ASSERT_TRUE(a.first.IsVisible());
    a.first.Press(0);
    ASSERT_TRUE(a.WaitBox(u"Notice|업그레이드에 성공하였습니다. (+1)"));
    expected = {1};
    for (std::uint8_t b : SerialBytes(tuning)) expected.push_back(b);
    expected.push_back(0);
    EXPECT_EQ(Received(536), expected);
    EXPECT_EQ(a.session->own.money, money - 7500 - 4400);
    EXPECT_EQ(a.session->own.FindItem(tuning)->performance[0], 8);
    EXPECT_EQ(window.Upgrade()->Dialog()->Quote().current, 8) << "the dialog reads the upgraded cue";

    // The custom cue's points spread anew for 8,800 cash.
    ASSERT_TRUE(a.Manage(3100, cue_control::kMenuThird));
    CuePerformanceResetDialog& reset = *window.Reset();
    ASSERT_TRUE(reset.IsVisible());
    const int spend[net::kCueOptions] = {40, 40, 40, 30, 0};
    for (int k = 0; k < net::kCueOptions; ++k)
        for (int i = 0; i < spend[k]; ++i) a.PressId(reset, cue_control::kFirstMinus + 2 * k + 1);
    a.PressId(reset, cue_control::kOk);
    ASSERT_TRUE(a.second.IsVisible());
    a.second.Press(0);
    ASSERT_TRUE(a.WaitBox(u"Notice|성능 옵션이 재설정되었습니다."));
    expected = SerialBytes(custom);
    for (int v : spend) expected.push_back(static_cast<std::uint8_t>(v));
    EXPECT_EQ(Received(540), expected);
    EXPECT_EQ(a.session->own.cash, cash - 8800);
    EXPECT_EQ(a.session->own.FindItem(custom)->performance[3], 30);
    EXPECT_FALSE(reset.IsVisible());

    // A new tip (index 4, 1,000 cash) and butt (index 1, 30,000 cue money) in one request.
    ASSERT_TRUE(a.Manage(3104, cue_control::kMenuParts));
    CuePartsPurchaseDialog& parts = *window.Parts();
    ASSERT_TRUE(parts.IsVisible());
    a.PressId(parts, parts_control::kFirstTab + 4);
    a.PressId(parts, parts_control::kPageForward);
    a.Press(parts, parts.Card(0));
    a.PressId(parts, parts_control::kFirstTab + 1);
    a.Press(parts, parts.Card(1));
    a.session->own.level = 10;
    a.PressId(parts, cue_control::kOk);
    ASSERT_TRUE(a.first.IsVisible());
    a.first.Press(0);
    ASSERT_TRUE(a.WaitBox(u"Notice|파츠 구입을 성공적으로 수행하였습니다."));
    expected = SerialBytes(tuning);
    for (std::uint8_t b : {2, 1, 1, 0, 4, 4, 0}) expected.push_back(b);
    EXPECT_EQ(Received(534), expected);
    EXPECT_EQ(a.session->own.cash, cash - 8800 - 1000);
    EXPECT_EQ(a.session->own.money, money - 7500 - 4400 - 30000);
    EXPECT_EQ(a.session->own.FindItem(tuning)->parts[4], 4);
    EXPECT_FALSE(parts.IsVisible());
    EXPECT_FALSE(a.shop.InProgress()->IsVisible());
}

TEST_F(CueE2eTest, ANewCustomCueIsDesignedBoughtAndListedWithItsPartsAndPoints) {
    CueClient a;
    ASSERT_TRUE(a.SignIn(server->Port(), u"designer", u"Designer"));
    const std::uint32_t cash = a.session->own.cash;
    // The custom cue's card and the detail panel's buy button, as the player clicks them.
    ASSERT_TRUE(a.ClickShopCard(3100)) << "the custom cue has a card";
    gui::Widget* buy = a.shop.Detail()->FindById(shop_control::kBuy);
    ASSERT_TRUE(buy && buy->IsVisible());
    a.Press(*a.shop.Detail(), buy);
    PersonalCuePurchaseWindow& window = *a.shop.CuePurchase();
    ASSERT_TRUE(a.PumpUntil([&] { return window.IsVisible(); }));

    namespace pc = cue_purchase_control;
    const int spend[net::kCueOptions] = {40, 40, 40, 30, 0};
    for (std::uint32_t k = 0; k < net::kCueOptions; ++k)
        for (int i = 0; i < spend[k]; ++i) a.PressId(window, pc::kFirstMinus + 2 * k + 1);
    a.PressId(window, pc::kNext);
    a.PressId(window, pc::kNext);
    // Part 5 of every group (index 4, a cash part within the allowance): the first card of the
    // second page of cards.
    for (int g = 0; g < net::kCueParts; ++g) {
        while (window.Page() < 3 + g / 2) a.PressId(window, pc::kNext);
        a.PressId(window, pc::kFirstPageBack + (g % 2 == 0 ? 1 : 3));
        a.Press(window, window.Card(g, 0));
        ASSERT_EQ(window.Part(g), 4) << "group " << g;
    }
    while (window.Page() < 6) a.PressId(window, pc::kNext);
    EXPECT_EQ(window.Price(), 17500);
    a.PressId(window, pc::kBuy);
    ASSERT_TRUE(a.first.IsVisible());
    a.first.Press(0);
    ASSERT_TRUE(a.WaitBox(u"Notice|Successfully purchased."));

    const net::ItemRecord* record = net::GetItemTable().Find(3100);
    ASSERT_NE(record, nullptr);
    net::Packet expected;
    expected.Init(0);
    expected.WriteU32(3100).WriteU32(1000000).WriteString(record->name);
    for (int v : spend) expected.WriteU8(static_cast<std::uint8_t>(v));
    for (int g = 0; g < net::kCueParts; ++g) expected.WriteU16(4);
    expected.Finish();
    // The body behind the 4-byte message header.
    EXPECT_EQ(Received(531), testserver::Bytes(expected.Data() + 4, expected.Data() + expected.Size()))
        << "the request carries the item, durability, name, points and parts";

    EXPECT_EQ(a.session->own.cash, cash - 17500);
    EXPECT_FALSE(window.IsVisible());
    EXPECT_FALSE(a.shop.InProgress()->IsVisible());
    PersonalCueWindow& cues = a.OpenCues();
    EXPECT_EQ(cues.ListedCount(), 3) << "the new cue joins the two the account had";
    const net::ItemEntry* bought = nullptr;
    for (const net::ItemEntry* e : a.session->own.Items())
        if (e && e->IsPersonalCue() && e->itemId == 3100 && e->parts[0] == 4) bought = e;
    ASSERT_NE(bought, nullptr);
    EXPECT_EQ(bought->remainingValue, 1000000u);
    for (int g = 0; g < net::kCueParts; ++g) EXPECT_EQ(bought->parts[static_cast<std::size_t>(g)], 4);
    for (int k = 0; k < net::kCueOptions; ++k)
        EXPECT_EQ(bought->performance[static_cast<std::size_t>(k)], spend[k]);
}

}  // namespace

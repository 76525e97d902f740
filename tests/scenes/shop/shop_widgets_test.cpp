// What the item cards and the detail panel show: the rows built from the description table, the
// sale record and an owned entry.

#include <gtest/gtest.h>

#include "gui/TextLabel.h"
#include "scenes/shop/ItemDescriptionTable.h"
#include "scenes/shop/ShopItemWidgets.h"

using namespace scenes;

namespace {

net::ItemRecord Sale(std::uint32_t id, std::uint8_t usage, std::int16_t period, std::int32_t price) {
    net::ItemRecord r;
    r.itemId = id;
    r.type = 4;
    r.usageKind = usage;
    r.periods = {period, net::kNoPeriod, net::kNoPeriod};
    r.prices = {price, net::kNotSold, net::kNotSold};
    return r;
}

TEST(ShopDescriptionTable, HoldsEveryRecordWithItsSaleRecord) {
    const ItemDescriptionTable table;
    EXPECT_EQ(table.Records().size(), 76u);
    int listed = 0;
    for (const ItemDescription& d : table.Records()) listed += d.listed;
    EXPECT_EQ(listed, 20);
    EXPECT_TRUE(table.Find(3100)->listed && table.Find(3104)->listed) << "the personal cues have cards";
    const ItemDescription* chalk = table.Find(4903);
    ASSERT_NE(chalk, nullptr);
    ASSERT_NE(chalk->record, nullptr);
    EXPECT_TRUE(chalk->dimension == u"-");
    EXPECT_TRUE(table.Find(2004)->game == u"3쿠션,3쿠션갬블,3쿠션프로");
    EXPECT_EQ(table.Find(9999), nullptr);
}

TEST(ShopDetailText, PriceLinesFollowUsageAndHideUnsoldPeriods) {
    struct Case {
        net::ItemRecord record;
        WString first;
    } cases[] = {
        {Sale(4011, 1, 7, 1000), u"1,000 / 7Days (Gold)"},
        {Sale(4106, 3, 10, 500), u"500 / 10Times (Gold)"},
        {Sale(4111, 3, 600, 1000), u"1,000 / 10시간 (Gold)"},
        {Sale(1020, 0, -1, 2500), u"2,500 (Gold)"},
    };
    for (Case& c : cases) {
        const DetailText t = BuildDetailText(nullptr, &c.record, nullptr);
        EXPECT_TRUE(t.prices[0] == c.first) << c.record.itemId;
        EXPECT_TRUE(t.prices[1].empty()) << "an absent period shows no line";
    }
    net::ItemRecord cash = Sale(4011, 1, 7, 1000);
    cash.priceKind = 1;
    EXPECT_TRUE(PriceLine(cash, 0) == u"1,000 / 7Days (CC)");
    cash.bonusGold = {100, 0, 0};
    EXPECT_TRUE(PriceLine(cash, 0) == u"1,000 / 7Days  ") << "bonus gold replaces the currency";
}

TEST(ShopDetailText, RequireFunctionAndStatusRows) {
    const ItemDescriptionTable table;
    const ItemDescription* cue = table.Find(3001);
    DetailText t = BuildDetailText(cue, cue->record, nullptr);
    EXPECT_TRUE(t.require == u"Lv. 1");
    EXPECT_TRUE(t.description[0] == u"Low quality beginner's cue.");
    EXPECT_TRUE(t.function[0] == u"Power +12  Pow-Acc. : +50%");
    EXPECT_TRUE(t.etc[0] == u"Limited time items are applied after activating it.");

    net::ItemRecord free = Sale(4101, 2, 1, 3000);
    EXPECT_TRUE(BuildDetailText(nullptr, &free, nullptr).require == u"None");

    net::ItemEntry personal;
    personal.itemId = 3100;
    personal.type = 1;
    personal.personal = 1;
    personal.initialValue = 50000;
    personal.remainingValue = 999;
    t = BuildDetailText(table.Find(3100), table.Find(3100)->record, &personal);
    EXPECT_TRUE(t.status == u"성능 적용 안됨");
    EXPECT_TRUE(t.expire == u"내구도 (0/50)");

    net::ItemEntry practice;
    practice.itemId = 4111;
    practice.usageKind = 3;
    practice.remainingValue = 125;
    t = BuildDetailText(table.Find(4111), table.Find(4111)->record, &practice);
    EXPECT_TRUE(t.status == u"Available(Limited time)");
    EXPECT_TRUE(t.expire == u"2시간 5분 남음");

    net::ItemEntry gift;
    gift.itemId = 4011;
    gift.usageKind = 1;
    gift.initialValue = 7;
    gift.newMark = 2;
    gift.giftSender = u"Friend";
    gift.giftMessage = u"100% for you";
    t = BuildDetailText(nullptr, nullptr, &gift);
    EXPECT_TRUE(t.status == u"Inactivated");
    EXPECT_TRUE(t.expire == u"7Days");
    EXPECT_TRUE(t.bottom == u"Friend \"100% for you\"") << "gift texts are never formats";
    EXPECT_TRUE(t.dimension == u"-") << "an item without a description still shows its rows";
}

TEST(ShopCards, LabelsFollowTheItemKind) {
    const ItemDescriptionTable table;
    ShopItemCard card(0, 0, 300);
    card.Fill(*table.Find(3001));
    EXPECT_FALSE(card.LevelLabel()->IsVisible()) << "level 1 shows no level label";
    EXPECT_FALSE(card.GameLabel()->IsVisible());
    EXPECT_TRUE(card.PriceLabel()->Text() == u"5,000");
    EXPECT_TRUE(card.CurrencyLabel()->Text() == u"Gold");
    card.Fill(*table.Find(3005));
    EXPECT_TRUE(card.LevelLabel()->IsVisible());
    EXPECT_TRUE(card.LevelLabel()->Text() == u"Lv.10");
    EXPECT_TRUE(card.CurrencyLabel()->Text() == u"CC");
    card.Fill(*table.Find(1024));
    EXPECT_TRUE(card.GameLabel()->Text() == u"[3쿠션]");

    net::ItemEntry count;
    count.itemId = 4903;
    count.usageKind = 3;
    EXPECT_TRUE(CardStatus(count).empty());
    count.itemId = 4111;
    EXPECT_TRUE(CardStatus(count) == u"Inactivated");
    count.state = 1;
    EXPECT_TRUE(CardStatus(count) == u"Activated");
}

}  // namespace

// The figures of personal cues: repair costs and thresholds, point distribution bounds, upgrade
// costs and rates, part totals and the custom cue's price, and the bytes of the cue requests.

#include <gtest/gtest.h>

#include <vector>

#include "net/Packet.h"
#include "scenes/shop/cue/CueRules.h"

using namespace scenes;

namespace {

net::ItemEntry Cue(std::uint32_t itemId, std::uint32_t maximum, std::uint32_t durability) {
    net::ItemEntry e;
    e.serial = 0x0102030405060708ull;
    e.itemId = itemId;
    e.type = 1;
    e.personal = 1;
    e.initialValue = maximum;
    e.remainingValue = durability;
    return e;
}

std::vector<std::uint8_t> Bytes(net::Packet& p) {
    p.Finish();
    return {p.Data(), p.Data() + p.Size()};
}

TEST(CueRepairQuote, CostsAndThresholdsFollowWholePointsLostAndTheCueKind) {
    const struct {
        std::uint32_t itemId, maximum, durability;
        std::int64_t normal, advanced, threshold;
    } cases[] = {
        {3104, 100000, 80000, 20 * 150, 20 * 450, 80000},  // at the threshold: allowed
        {3104, 100000, 87001, 12 * 150, 12 * 450, 80000},  // 12,999 lost: partial points are free
        {3104, 100000, 100000, 0, 0, 80000},
        {3100, 1000000, 100000, 8800, 0, 100000},  // restoration costs the same whatever the wear
        {3100, 1000000, 5000, 8800, 0, 100000},
        {3104, 99999, 0, 99 * 150, 99 * 450, 79999},  // threshold rounds half up
    };
    for (const auto& c : cases) {
        const RepairQuote q = QuoteRepair(Cue(c.itemId, c.maximum, c.durability));
        EXPECT_EQ(q.normalCost, c.normal) << c.itemId << " " << c.durability;
        EXPECT_EQ(q.advancedCost, c.advanced) << c.itemId << " " << c.durability;
        EXPECT_EQ(q.threshold, c.threshold) << c.maximum;
    }
}

TEST(CueRepairQuote, DurabilityAboveMaximumCostsNothingInsteadOfWrapping) {
    const RepairQuote q = QuoteRepair(Cue(3104, 100000, 150000));
    EXPECT_EQ(q.lostPoints, 0);
    EXPECT_EQ(q.normalCost, 0);
    EXPECT_EQ(q.advancedCost, 0);
}

TEST(CuePointDistribution, StepsStayWithinTheBudgetAndTheOptionCap) {
    PointDistribution d;
    d.Start(150, 40);
    EXPECT_FALSE(d.Step(0, false)) << "minus on an option at 0";
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(d.Step(1, true));
    EXPECT_FALSE(d.Step(1, true)) << "plus on an option at 40";
    EXPECT_EQ(d.remaining, 110);
    EXPECT_FALSE(d.Step(5, true)) << "an option that does not exist";
    EXPECT_FALSE(d.Step(-1, false));

    PointDistribution tuning;
    tuning.Start(20, 10);
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 10; ++i) ASSERT_TRUE(tuning.Step(k, true));
    EXPECT_EQ(tuning.remaining, 0);
    EXPECT_FALSE(tuning.Step(2, true)) << "no point left";
    EXPECT_TRUE(tuning.Step(0, false));
    EXPECT_EQ(tuning.remaining, 1);
}

TEST(CueUpgradeQuote, FiguresFollowTheCurrentValue) {
    const struct {
        int current, next, needed, rate, memberRate;
        std::int64_t cost;
    } cases[] = {
        {0, 1, 1, 100, 100, 3000},  {7, 8, 1, 89, 95, 4400},    {10, 11, 2, 85, 93, 5000},
        {20, 21, 3, 70, 85, 9000},  {25, 26, 3, 62, 81, 12000}, {29, 30, 3, 56, 78, 14400},
        {30, 30, 4, 55, 78, 15000},
    };
    for (const auto& c : cases) {
        net::ItemEntry e = Cue(3104, 100000, 100000);
        e.performance[2] = static_cast<std::uint8_t>(c.current);
        const UpgradeQuote q = QuoteUpgrade(e, 2);
        EXPECT_EQ(q.next, c.next) << c.current;
        EXPECT_EQ(q.pointsNeeded, c.needed) << c.current;
        EXPECT_EQ(q.rate, c.rate) << c.current;
        EXPECT_EQ(q.memberRate, c.memberRate) << c.current;
        EXPECT_EQ(q.cost, c.cost) << c.current;
    }
}

TEST(CueUpgradeQuote, MaximumComesFromTheBoundingPartAndAMissingRowBoundsAtZero) {
    net::ItemEntry e = Cue(3104, 100000, 100000);
    e.parts = {1, 2, 3, 0, 4};  // shaft, butt, joint, bumper, tip
    const int expected[net::kCueOptions] = {20 + 5 * 2, 20 + 5 * 3, 20 + 5 * 4, 10 + 5 * 4, 20 + 5 * 1};
    for (int k = 0; k < net::kCueOptions; ++k) EXPECT_EQ(QuoteUpgrade(e, k).maximum, expected[k]) << k;
    e.parts[1] = 200;
    EXPECT_EQ(QuoteUpgrade(e, 0).maximum, 0);
}

TEST(CuePartsTotals, ChangedGroupsSplitByCurrencyAndMissingRowsCostNothing) {
    const std::array<std::uint16_t, net::kCueParts> current{0, 0, 0, 0, 0};
    PartsTotals t = TotalParts(current, {5, 2, 0, 0, 0});
    EXPECT_EQ(t.cash, 1500);
    EXPECT_EQ(t.cueMoney, 40000);
    EXPECT_EQ(t.changedGroups, (std::vector<int>{0, 1}));
    t = TotalParts(current, {0, 0, 0, 0, 0});
    EXPECT_TRUE(t.changedGroups.empty());
    t = TotalParts(current, {0, 35, 0, 0, 0});
    EXPECT_EQ(t.cash + t.cueMoney, 0);
}

TEST(CustomCuePrice, PartsAboveTheAllowanceRaiseTheBasePrice) {
    EXPECT_EQ(CustomCuePrice({4, 5, 6, 7, 4}), 17500);
    EXPECT_EQ(CustomCuePrice({0, 4, 4, 4, 4}), 17500 + 17000);
    EXPECT_EQ(CustomCuePrice({99, 4, 4, 4, 4}), 17500);
}

TEST(CueRequests, BytesCarryTheFieldsInOrderLittleEndian) {
    net::Packet p;
    WriteRepairRequest(p, RepairKind::Advanced, 0x0102030405060708ull);
    EXPECT_EQ(Bytes(p), (std::vector<std::uint8_t>{13, 0, 0x1A, 0x02, 1, 8, 7, 6, 5, 4, 3, 2, 1}));
    WriteResetRequest(p, 0x10, {40, 40, 30, 20, 20});
    EXPECT_EQ(Bytes(p),
              (std::vector<std::uint8_t>{17, 0, 0x1C, 0x02, 0x10, 0, 0, 0, 0, 0, 0, 0, 40, 40, 30, 20, 20}));
    WriteUpgradeRequest(p, 0x10, 3);
    EXPECT_EQ(Bytes(p), (std::vector<std::uint8_t>{14, 0, 0x18, 0x02, 1, 0x10, 0, 0, 0, 0, 0, 0, 0, 3}));
    WritePartsRequest(p, 0x10, {5, 2, 0, 0, 0}, {0, 1});
    EXPECT_EQ(Bytes(p),
              (std::vector<std::uint8_t>{19, 0, 0x16, 0x02, 0x10, 0, 0, 0, 0, 0, 0, 0, 2, 0, 5, 0, 1, 2, 0}));
    WriteCuePurchaseRequest(p, 3104, 100000, u"Q", {10, 10, 0, 0, 0}, {1, 1, 0, 0, 0});
    EXPECT_EQ(Bytes(p), (std::vector<std::uint8_t>{33, 0, 0x13, 0x02, 0x20, 0x0C, 0, 0,  0xA0, 0x86, 0x01,
                                                   0,  2, 0,    'Q',  0,    0,    0, 10, 10,   0,    0,
                                                   0,  1, 0,    1,    0,    0,    0, 0,  0,    0,    0}));
}

}  // namespace

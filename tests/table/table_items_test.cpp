#include <gtest/gtest.h>

#include "table/CueRegistry.h"
#include "table/GameTypes.h"
#include "table/TableItems.h"

using namespace table;

TEST(TableItems, EveryGameTypesDefaultItemsGiveTheRulesTableKindAndAMatchingBallFamily) {
    for (int type = 0; type < game::kCount; ++type) {
        const GameTypeItems items = DefaultItemsOfGameType(type);
        const TableItemEntry* table = FindTableItem(items.tableItem);
        const BallSetEntry* set = FindBallSetItem(items.ballSetItem);
        ASSERT_TRUE(table && set) << "game type " << type;
        EXPECT_EQ(table->tableType, GameTypeOf(type).tableKind) << "game type " << type;
        EXPECT_EQ(TableHasPockets(table->tableType), IsPocketGame(type)) << "game type " << type;
        EXPECT_EQ(set->family == BallFamily::Snooker, type == game::kSnooker) << "game type " << type;
    }
}

TEST(TableItems, UnknownOrMismatchedItemsFallBackToTheGameTypesDefaults) {
    struct Case {
        const char* name;
        int gameType;
        std::uint16_t table, balls;
        GameTypeItems expected;
    };
    const Case cases[] = {
        {"defaults by 0", 10, 0, 0, {1030, 2006}},
        {"defaults by 1", 4, 1, 1, {1024, 2004}},
        {"another carom table", 4, 1026, 2003, {1026, 2003}},
        {"a pocket table for a carom game", 4, 1030, 2004, {1024, 2004}},
        {"carom balls for a pocket game", 12, 1033, 2004, {1033, 2006}},
        {"an unknown item", 16, 1999, 2999, {1035, 2007}},
        {"a game type out of range", 99, 1020, 2003, {1020, 2003}},
        {"the school's practice table and balls", 10, 1501, 2200, {1501, 2200}},
    };
    for (const Case& c : cases) {
        const GameTypeItems got = ResolveGameItems(c.gameType, c.table, c.balls);
        EXPECT_EQ(got.tableItem, c.expected.tableItem) << c.name;
        EXPECT_EQ(got.ballSetItem, c.expected.ballSetItem) << c.name;
    }
    EXPECT_EQ(BallModelName(BallFamily::Snooker, 21), u"Snooker7");
    EXPECT_EQ(BallModelName(BallFamily::Snooker, 15), u"Snooker1");
}

TEST(CueRegistry, SharesOneObjectPerItemAndPartsAndFreesItWithItsLastUser) {
    CueRegistry cues;
    const std::array<std::int32_t, 5> none{-1, -1, -1, -1, -1};
    const std::array<std::int32_t, 5> tuned{1, -1, -1, -1, -1};
    CueObject* a = cues.Acquire(3000, none);
    CueObject* b = cues.Acquire(3000, none);
    CueObject* c = cues.Acquire(3000, tuned);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(a->useCount, 2u);
    EXPECT_TRUE(cues.Release(a));
    EXPECT_EQ(cues.Count(), 2u);
    EXPECT_TRUE(cues.Release(b));
    EXPECT_EQ(cues.Count(), 1u);
    EXPECT_FALSE(cues.Release(a)) << "a freed object is not released twice";
    CueObject stranger;
    EXPECT_FALSE(cues.Release(&stranger));
    EXPECT_EQ(cues.Count(), 1u);
}

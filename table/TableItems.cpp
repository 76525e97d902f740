#include "table/TableItems.h"

#include <array>

#include "engine/core/Text.h"
#include "table/WorldConstants.h"

namespace table {

namespace {

// Carom tables: types 0 and 2 to 5 are the 2.4 m tables (four-ball and the cushion games with
// their cushion heights), 6 to 8 the 2.84 m match tables. Pocket tables: 1, 9 and 10 are 9-foot
// tables, 11 the 12-foot snooker table. The default item of every game type has the table kind
// the rules controller gives that game type. 1501 is the practice table of the school, a 9-foot
// pocket table.
constexpr std::array<TableItemEntry, 17> kTableItems = {{
    {1020, 0},
    {1021, 2},
    {1022, 4},
    {1023, 5},
    {1024, 6},
    {1025, 5},
    {1026, 7},
    {1027, 3},
    {1028, 8},
    {1029, 6},
    {1030, 9},
    {1031, 1},
    {1032, 9},
    {1033, 10},
    {1034, 9},
    {1035, 11},
    {1501, 9},
}};

// The family only chooses the models; sizes and masses come from the game type's ball kind.
constexpr std::array<BallSetEntry, 7> kBallSets = {{
    {2003, BallFamily::Carom},
    {2004, BallFamily::Carom},
    {2005, BallFamily::Carom},
    {2006, BallFamily::Pool},
    {2007, BallFamily::Snooker},
    {2008, BallFamily::Pool},  // six balls: a white cue ball and five coloured ones
    {2200, BallFamily::Pool},  // the school's practice balls
}};

constexpr std::array<CueItemEntry, 8> kCueItems = {{
    {3000, 0},
    {3043, 1},
    {3050, 2},
    {3100, 3},
    {3001, 4},
    {3002, 5},
    {3003, 6},
    {3004, 7},
}};

// Per game type 0..16; the unused types 1, 7-9 and 14-15 take the four-ball table or 8-ball's.
constexpr std::array<GameTypeItems, kGameTypeCount> kGameDefaults = {{
    {1020, 2003},  // 0 four-ball
    {1020, 2004},  // 1
    {1021, 2004},  // 2 one-cushion gamble
    {1027, 2004},  // 3 three-cushion, Korean rules
    {1024, 2004},  // 4 three-cushion
    {1025, 2004},  // 5 three-cushion gamble
    {1027, 2008},  // 6 six balls
    {1020, 2004},  // 7
    {1020, 2004},  // 8
    {1020, 2004},  // 9
    {1030, 2006},  // 10 8-ball
    {1034, 2006},  // 11 card ball
    {1032, 2006},  // 12 9-ball
    {1033, 2006},  // 13 14-1 straight
    {1030, 2006},  // 14
    {1030, 2006},  // 15
    {1035, 2007},  // 16 snooker
}};

template <class Table>
const typename Table::value_type* FindItem(const Table& table, std::uint16_t item) {
    for (const auto& entry : table)
        if (entry.item == item) return &entry;
    return nullptr;
}

}  // namespace

const TableItemEntry* FindTableItem(std::uint16_t item) {
    return FindItem(kTableItems, item);
}

const BallSetEntry* FindBallSetItem(std::uint16_t item) {
    return FindItem(kBallSets, item);
}

std::uint8_t CueModelOfItem(std::uint16_t item) {
    const CueItemEntry* entry = FindItem(kCueItems, item);
    return entry ? entry->cueModel : 0;
}

GameTypeItems DefaultItemsOfGameType(std::int32_t gameType) {
    if (gameType < 0 || gameType >= kGameTypeCount) gameType = 0;
    return kGameDefaults[static_cast<std::size_t>(gameType)];
}

GameTypeItems ResolveGameItems(std::int32_t gameType, std::uint16_t tableItem, std::uint16_t ballSetItem) {
    GameTypeItems items = DefaultItemsOfGameType(gameType);
    const TableItemEntry* table = FindTableItem(tableItem);
    const TableItemEntry* defaultTable = FindTableItem(items.tableItem);
    // A pocket game keeps a pocket table and a carom game a carom table: balls of one kind of game
    // cannot be played on the other.
    if (table && defaultTable &&
        TableHasPockets(table->tableType) == TableHasPockets(defaultTable->tableType))
        items.tableItem = tableItem;
    const BallSetEntry* set = FindBallSetItem(ballSetItem);
    const BallSetEntry* defaultSet = FindBallSetItem(items.ballSetItem);
    if (set && defaultSet && set->family == defaultSet->family) items.ballSetItem = ballSetItem;
    return items;
}

std::uint8_t TableTypeOfGame(std::int32_t gameType, std::uint16_t tableItem) {
    // Every game type's default table item is in the map, so the resolved item always is.
    return FindTableItem(ResolveGameItems(gameType, tableItem, 0).tableItem)->tableType;
}

bool TableHasPockets(std::uint8_t tableType) {
    return tableType == 1 || tableType >= 9;
}

std::u16string TableModelName(std::uint8_t tableType) {
    return u"Table" + FromUtf8(std::to_string(tableType));
}

std::u16string CueModelName(std::uint8_t cueModel) {
    return u"Cue" + FromUtf8(std::to_string(cueModel));
}

std::u16string BallModelName(BallFamily family, int ballIndex) {
    switch (family) {
        case BallFamily::Carom:
            return u"Carom" + FromUtf8(std::to_string(ballIndex % 4));
        case BallFamily::Pool:
            return u"Pool" + FromUtf8(std::to_string(ballIndex % 16));
        case BallFamily::Snooker:
            // Ball 0 the cue ball, 1-15 the reds, 16-21 the six colours.
            return u"Snooker" + FromUtf8(std::to_string(ballIndex == 0    ? 0
                                                        : ballIndex <= 15 ? 1
                                                                          : ballIndex - 14));
    }
    return u"Pool0";
}

}  // namespace table

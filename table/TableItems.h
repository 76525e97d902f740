#pragma once
// The one map from catalogue items to what the world loads: a table item gives the physics table
// type and the table model, a ball-set item the family of ball models, a cue item the cue model.
// docs/resources.md lists the same table.

#include <cstdint>
#include <optional>
#include <string>

namespace table {

enum class BallFamily : std::uint8_t { Carom, Pool, Snooker };

struct TableItemEntry {
    std::uint16_t item;
    std::uint8_t tableType;  // physics table type 0..11, also the model "Table<type>"
};
struct BallSetEntry {
    std::uint16_t item;
    BallFamily family;
};
struct CueItemEntry {
    std::uint16_t item;
    std::uint8_t cueModel;  // the model "Cue<n>"
};
struct GameTypeItems {
    std::uint16_t tableItem;
    std::uint16_t ballSetItem;
};

// Null for an item the map does not know.
const TableItemEntry* FindTableItem(std::uint16_t item);
const BallSetEntry* FindBallSetItem(std::uint16_t item);
// Every cue item has a model: an item the map does not list draws as model 0.
std::uint8_t CueModelOfItem(std::uint16_t item);

// The table and ball set a game type uses when its items are 0 or 1 (or unknown). A game type
// outside 0..16 gives those of game type 0.
GameTypeItems DefaultItemsOfGameType(std::int32_t gameType);
// The table item and ball-set item a world takes: the given ones when the map knows them, else
// the game type's defaults.
GameTypeItems ResolveGameItems(std::int32_t gameType, std::uint16_t tableItem, std::uint16_t ballSetItem);
// The physics table type a world of the game type plays on with the table item (ResolveGameItems).
std::uint8_t TableTypeOfGame(std::int32_t gameType, std::uint16_t tableItem);

// Tables 1 and 9 to 11 have pockets.
bool TableHasPockets(std::uint8_t tableType);

// Names of the generated models (docs/resources.md): "Table<type>", "Cue<n>", and per ball the
// model of its family ("Carom<i>", "Pool<i>", "Snooker<i>").
std::u16string TableModelName(std::uint8_t tableType);
std::u16string CueModelName(std::uint8_t cueModel);
std::u16string BallModelName(BallFamily family, int ballIndex);

}  // namespace table

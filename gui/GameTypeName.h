#pragma once
// The short names of the game types, as lists and titles show them ("[%s]").

#include "engine/core/Text.h"

namespace gui {

// Game type 0 to 16 -> its short name; empty for a number without a game.
WStringView GameTypeName(int gameType);

}  // namespace gui

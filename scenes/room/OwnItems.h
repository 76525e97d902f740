#pragma once
// What the table scenes in which the player uses his own items share: the item strip built at its
// place, item names, and the first steps of using an item chosen in the strip or the cue selector (the
// level a cue asks for, the question before a limited-time item starts counting its time), the effect
// items switched on and off and the chalk chosen, before each scene acts on the item its own way.
// Main thread.

#include <cstdint>

#include "engine/core/Text.h"
#include "scenes/room/TableSceneUi.h"

namespace net {
class GameSession;
class PlayerRecord;
struct ItemEntry;
}  // namespace net
namespace table {
class TableWorld;
}

namespace scenes {

namespace hud {
class PlayerPanel;
}

// Chat lines about the own items.
constexpr std::uint32_t kItemLineColour = 0xFFFFFF00;

// The strip of the own usable items with its left edge at `left` and its top `top` pixels from the
// bottom edge (negative), filled from the record.
hud::PlayerPanel* AddItemStrip(GameScene& scene, net::PlayerRecord* record, int left, int top);

// The item's name, or "Item <id>" for an item the item table does not know.
WString OwnItemName(std::uint32_t itemId);

// What is left to do after the first steps of using an item.
enum class ItemStep { Refused, Asked, Use };
// A cue (kind 1) that is no personal cue needs the level of its item (a notice tells it: Refused); a
// limited-time item not yet active asks whether its time should start (the question's "Yes" posts
// `activation` with the kind as parameter: Asked); anything else is the scene's to use (Use).
ItemStep FirstItemSteps(GameScene& scene, const net::ItemEntry& entry, std::uint32_t kind, int ownLevel,
                        std::uint32_t activation);
// The activation question: its "Yes" posts `result` with `param`.
SharedBoxText ActivationQuestion(std::uint32_t result, std::uint32_t param);

// An effect item switches its effect slot of the session on ("Use item : %s") or off ("%s : Canceled")
// with a chat line of the scene, and the strip's label shows its counts; an item with no use left is
// refused with an error. Nothing happens for an item without an effect slot.
void ToggleEffectItem(GameScene& scene, net::GameSession& session, const net::ItemEntry& entry,
                      hud::PlayerPanel* strip);
// The chalk becomes the record's selected item and the world loads it at the next chalking; false
// when it already was the selected item.
bool SelectChalkEntry(net::PlayerRecord& record, const net::ItemEntry& entry, table::TableWorld* world);

}  // namespace scenes

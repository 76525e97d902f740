#pragma once
// Codes of the table scenes' HUD widgets: their control ids and the application messages they post
// to the scene that owns them.

#include <cstdint>

namespace scenes::hud {

// Application messages posted by the HUD (code, a, b, c).
enum class HudMessage : std::uint32_t {
    OpenOwnInfo = 1047,     // the level-up window's shortcut to spend ability points
    ReplayClosed = 1060,    // the replay panel was closed
    ReplayLastShot = 1064,  // the replay panel asks for the last shot
    ChalkApplied = 1083,    // a = the gauge's level
    CueChosen = 1084,       // a = 1
    ItemChosen = 1086,      // a = the chosen entry's item type
    PurchaseChosen = 1098,  // a = 1, b = the item id
};

namespace control_id {
constexpr std::uint32_t kChalkButton = 20;
constexpr std::uint32_t kStripScrollBar = 90;
constexpr std::uint32_t kOfferScrollBar = 91;
constexpr std::uint32_t kCueScrollBar = 92;
constexpr std::uint32_t kPurchase = 93;
constexpr std::uint32_t kMakeGift = 94;
constexpr std::uint32_t kFirstCueCard = 100;
constexpr std::uint32_t kFirstSlot = 150;
constexpr std::uint32_t kFirstOfferCard = 200;
constexpr std::uint32_t kClose = 2049;
}  // namespace control_id

// The virtual keys of the HUD's hot keys.
constexpr std::uint32_t kChalkKey = 'C';
constexpr std::uint32_t kCloseKey = 192;  // the ~ key

// Sound of a chalking.
constexpr int kChalkSound = 6;

// Unit bytes of items counted by uses: their remaining uses are shown and can run out.
constexpr bool IsCountedUnit(std::uint8_t unit) {
    return unit == 2 || unit == 3;
}

}  // namespace scenes::hud

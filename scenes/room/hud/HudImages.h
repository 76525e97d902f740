#pragma once
// Pictures and colours of the HUD widgets. The panels come from UI image set 15; pictures the sets
// do not hold (the chalk gauge's level strip) name a set without texture, so they draw as flat
// shapes of the same size.

#include <cstdint>

#include "gui/UiAtlas.h"
#include "gui/UiResourceSet.h"

namespace scenes::hud {

namespace colour {
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kCyan = 0xFF00FFFF;
constexpr std::uint32_t kNameShadow = 0xFFC04000;
constexpr std::uint32_t kPriceShadow = 0xFF4040FF;
constexpr std::uint32_t kUpPoint = 0xFFA0A0FF;
}  // namespace colour

namespace images {
constexpr int kHudSet = 15;
constexpr int kFlatSet = gui::UiResourceSet::kFlatSet;  // drawn flat, whatever named set a scene loaded
constexpr gui::UiImage kPanel = gui::atlas::InSet(gui::atlas::kDarkPanel, kHudSet);
constexpr gui::UiImage kButton = gui::atlas::InSet(gui::atlas::kTextButton, kHudSet);
constexpr gui::UiImage kChalkButton{kFlatSet, 0, 0, 67, 67};
// The gauge's cover: the bottom h pixels of the strip that ends at y = 1017.
constexpr gui::UiImage kChalkLevelStrip{kFlatSet, 524, 951, 66, 66};
constexpr int kChalkLevelStripBottom = 1017;
constexpr gui::UiImage kSlot{kFlatSet, 0, 0, 30, 30};
constexpr gui::UiImage kCard{kFlatSet, 0, 0, 103, 148};
}  // namespace images

}  // namespace scenes::hud

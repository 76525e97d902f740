#pragma once
// The 37-word geometry of a table type and the record a model keeps of it.

#include <array>
#include <cstdint>

#include "physics/Numeric.h"

namespace physics {

class PhysicsModel;

struct Rect {
    F32 xMin, xMax, yMin, yMax;
};

// Words 17 and 33 to 36 are unsigned integers, the others f32 in cm.
// clang-format off
struct TableGeometry {
    Rect outer;             // 0-3
    F32 frameWidth;         // 4
    F32 railTop;            // 5
    Rect frame;             // 6-9
    Rect cushion;           // 10-13
    F32 cushionWidth;       // 14
    F32 cushionHeight;      // 15
    F32 reserved16;         // 16, the bed level
    std::uint32_t tableFlagB;  // 17
    F32 cornerZone;         // 18
    F32 pocketShape[5];     // 19-23
    F32 cornerPocketOffset; // 24
    F32 cornerPocketRadius; // 25
    F32 sidePocketOffset;   // 26
    F32 sidePocketRadius;   // 27
    F32 cornerHoleOffset;   // 28
    F32 cornerHoleRadius;   // 29
    F32 sideHoleOffset;     // 30
    F32 sideHoleRadius;     // 31
    F32 pocketDepth;        // 32
    std::uint32_t tableType;   // 33
    std::uint32_t tableFlagA;  // 34
    std::uint32_t clothKind;   // 35
    std::uint32_t cushionKind; // 36

    F32 PocketShape(int word) const { return pocketShape[word - 19]; }
    // The block as its 37 raw words.
    std::array<std::uint32_t, 37> Words() const;
};
// clang-format on
static_assert(sizeof(TableGeometry) == 37 * 4);

struct TableRecord {
    PhysicsModel* model = nullptr;
    std::uint8_t hasPockets = 0;
    TableGeometry geometry{};
};

// Fills g for table types 0 to 11 and returns hasPockets. Type 8 is read as 7 for model ids
// below 0x10012 (the id of the model set up last). A type of 12 or more zeroes the block,
// logs an error and returns 0.
std::uint8_t BuildTableGeometry(std::uint32_t tableType, TableGeometry& g);
// The same as model `modelId` reads it, whatever model was set up last.
std::uint8_t BuildTableGeometry(std::uint32_t tableType, TableGeometry& g, std::uint32_t modelId);

// The hole of pocket 1 to 6 (1, 2, 3 along y min from x min, 4, 5, 6 along y max): its centre and
// radius in cm; pocket 0 and zeros for any other number.
struct PocketHole {
    std::uint8_t pocket;
    F32 cx, cy, radius;
};
PocketHole HoleOfPocket(const TableGeometry& g, int pocket);

// Model id that BuildTableGeometry consults: the model set up last (0x10014 before any).
std::uint32_t LastSetUpModelId();
void SetLastSetUpModelId(std::uint32_t id);

}  // namespace physics

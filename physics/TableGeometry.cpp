#include "physics/TableGeometry.h"

#include <atomic>
#include <cstddef>
#include <cstring>

#include "engine/core/Log.h"
#include "physics/PhysicsConstants.h"
#include "physics/PhysicsEntry.h"

namespace physics {

namespace {

std::atomic<std::uint32_t> lastSetUpModelId{kDefaultPhysicsModelId};

struct TableValues {
    F32 cushionX, cushionY, cushionWidth, cushionHeight, frameWidth, railTop;
    std::uint32_t flagB;
    F32 words18to32[15];
    std::uint32_t flagA, clothKind, cushionKind;
};

constexpr F32 z = F32(0.0f);

// Carom tables: types 0 and 2 to 5 share 240 x 120, types 6 to 8 284.48 x 142.24.
constexpr TableValues Carom(F32 x, F32 y, F32 height, std::uint32_t flagA, std::uint32_t cloth,
                            std::uint32_t cushion) {
    return TableValues{x, y, F32(5.03f), height, F32(10.87f), F32(5.25f), 0, {}, flagA, cloth, cushion};
}

// clang-format off
PHYSICS_BEHIND_ENTRY TableValues Values(std::uint32_t type) {
    TableValues v{};
    switch (type) {
        case 0: v = Carom(F32(120.0f), F32(60.0f), F32(4.2f), 0, 1, 0); break;
        case 2: v = Carom(F32(120.0f), F32(60.0f), F32(3.95f), 0, 1, 0); break;
        case 3: v = Carom(F32(120.0f), F32(60.0f), F32(3.7f), 0, 4, 0); break;
        case 4: v = Carom(F32(120.0f), F32(60.0f), F32(3.7f), 1, 3, 1); break;
        case 5: v = Carom(F32(120.0f), F32(60.0f), F32(3.95f), 0, 0, 1); break;
        case 6: v = Carom(F32(142.24f), F32(71.12f), F32(3.7f), 1, 4, 0); break;
        case 7: v = Carom(F32(142.24f), F32(71.12f), F32(3.7f), 1, 4, 2); break;
        case 8: v = Carom(F32(142.24f), F32(71.12f), F32(3.7f), 1, 3, 2); break;
        case 1:
        case 9:
        case 10:
            v = TableValues{F32(127.5f), F32(63.75f), F32(4.7f), type == 1 ? F32(4.1f) : F32(3.5f), F32(11.5f),
                            F32(4.7f), 0,
                            // 18..32
                            {F32(3.2f), F32(8.9f), z, F32(5.1f), F32(6.8f), z, F32(2.29f), F32(5.2f),
                             type == 1 ? F32(5.4499969482421875f) : F32(5.45f), F32(5.1f), F32(4.5f), F32(8.8f),
                             type == 1 ? F32(5.4499969482421875f) : F32(5.45f), F32(5.1f), F32(-15.0f)},
                            0, 1, 0};
            break;
        case 11:
            v = TableValues{F32(177.8f), F32(88.9f), F32(4.7f), F32(3.14f), F32(11.5f), F32(4.7f), 1,
                            {F32(2.522f), F32(9.799f), F32(8.59100055694580078125f), F32(4.35f), F32(9.05f),
                             F32(5.0f), F32(2.29f), F32(5.799999713897705078125f), F32(5.45f), F32(5.4f),
                             F32(4.5f), F32(9.40000057220458984375f), F32(5.45f), F32(5.4f), F32(-15.0f)},
                            0, 1, 0};
            break;
        default: break;
    }
    return v;
}
// clang-format on

}  // namespace

std::array<std::uint32_t, 37> TableGeometry::Words() const {
    std::array<std::uint32_t, 37> words;
    std::memcpy(words.data(), this, sizeof *this);
    return words;
}

std::uint32_t LastSetUpModelId() {
    return lastSetUpModelId.load(std::memory_order_relaxed);
}
void SetLastSetUpModelId(std::uint32_t id) {
    lastSetUpModelId.store(id, std::memory_order_relaxed);
}

namespace {
PHYSICS_BEHIND_ENTRY std::uint8_t BuildGeometry(std::uint32_t tableType, TableGeometry& g,
                                                std::uint32_t modelId);
}

std::uint8_t BuildTableGeometry(std::uint32_t tableType, TableGeometry& g) {
    return BuildTableGeometry(tableType, g, LastSetUpModelId());
}

std::uint8_t BuildTableGeometry(std::uint32_t tableType, TableGeometry& g, std::uint32_t modelId) {
    PhysicsEntry entry;
    return BuildGeometry(tableType, g, modelId);
}

namespace {
std::uint8_t BuildGeometry(std::uint32_t tableType, TableGeometry& g, std::uint32_t modelId) {
    g = TableGeometry{};
    if (tableType >= kTableTypeCount) {
        LogWrite(u"physics: table type %u is not a table (0 to 11)\n", tableType);
        return 0;
    }
    if (modelId < 0x10012 && tableType == 8) tableType = 7;
    const TableValues v = Values(tableType);
    g.tableType = tableType;
    g.cushion = Rect{St(-v.cushionX), v.cushionX, St(-v.cushionY), v.cushionY};
    g.cushionWidth = v.cushionWidth;
    g.cushionHeight = v.cushionHeight;
    g.frameWidth = v.frameWidth;
    g.railTop = v.railTop;
    g.tableFlagB = v.flagB;
    static_assert(offsetof(TableGeometry, pocketDepth) - offsetof(TableGeometry, cornerZone) == 14 * 4);
    std::memcpy(reinterpret_cast<char*>(&g) + offsetof(TableGeometry, cornerZone), v.words18to32,
                sizeof v.words18to32);
    g.tableFlagA = v.flagA;
    g.clothKind = v.clothKind;
    g.cushionKind = v.cushionKind;

    g.outer.xMin = St(g.cushion.xMin - g.cushionWidth);
    g.outer.xMax = St(g.cushion.xMax + g.cushionWidth);
    g.outer.yMin = St(g.cushion.yMin - g.cushionWidth);
    g.outer.yMax = St(g.cushion.yMax + g.cushionWidth);
    g.frame.xMin = St(g.outer.xMin - g.frameWidth);
    g.frame.xMax = St(g.outer.xMax + g.frameWidth);
    g.frame.yMin = St(g.outer.yMin - g.frameWidth);
    g.frame.yMax = St(g.outer.yMax + g.frameWidth);
    return (tableType == 1 || tableType >= 9) ? 1 : 0;
}
}  // namespace

}  // namespace physics

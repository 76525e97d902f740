#include "table/RackLayout.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "physics/PhysicsEntry.h"

namespace table {

using physics::Ext;
using physics::F32;
using physics::St;
using physics::TableGeometry;
using physics::Vector3;

namespace {

constexpr F32 kHalfSqrt3(0.8660254f);

// base + k x step, stored once.
F32 Along(F32 base, float k, F32 step) {
    return St(Ext(base) + Ext(F32(k)) * Ext(step));
}
// length x fraction, stored once.
F32 Part(F32 length, float fraction) {
    return St(Ext(length) * Ext(F32(fraction)));
}

struct Frame {
    F32 halfLength, halfWidth, r, spacing;
    F32 headX, footX;
};

Frame FrameOf(const TableGeometry& g, F32 r) {
    Frame f;
    f.halfLength = g.cushion.xMax;
    f.halfWidth = g.cushion.yMax;
    f.r = r;
    f.spacing = St(Ext(r) * Ext(F32(2.0f)) + Ext(F32(kRackGap)));
    f.headX = Part(f.halfLength, -0.5f);
    f.footX = Part(f.halfLength, 0.5f);
    return f;
}

Vector3 At(const Frame& f, F32 x, F32 y) {
    return Vector3(x, y, f.r);
}

// Rows of `counts` balls from x0 outward along +x, each row centred on y = 0.
void Rows(const Frame& f, F32 x0, const int* counts, int rowCount, std::vector<Vector3>& out) {
    const F32 rowStep = St(Ext(f.spacing) * Ext(kHalfSqrt3));
    for (int k = 0; k < rowCount; ++k) {
        const F32 x = Along(x0, static_cast<float>(k), rowStep);
        for (int j = 0; j < counts[k]; ++j) {
            const float offset = static_cast<float>(j) - static_cast<float>(counts[k] - 1) * 0.5f;
            out.push_back(At(f, x, Along(F32(0.0f), offset, f.spacing)));
        }
    }
}

std::vector<Vector3> Triangle(const Frame& f, F32 apexX) {
    static constexpr int kCounts[] = {1, 2, 3, 4, 5};
    std::vector<Vector3> slots;
    Rows(f, apexX, kCounts, 5, slots);
    return slots;
}

// Draws a uniform order of `ids` from the generator (Fisher-Yates, last slot first).
void Shuffle(std::vector<std::uint16_t>& ids, Lcg& random) {
    for (std::size_t i = ids.size(); i > 1; --i) {
        const std::size_t j = random.Next() % i;
        std::swap(ids[i - 1], ids[j]);
    }
}

// Object balls 1..last in slot order: `fixed` pins (slot, ball) pairs, the rest are shuffled.
std::vector<std::uint16_t> SlotOrder(int slotCount,
                                     std::initializer_list<std::pair<int, std::uint16_t>> fixed,
                                     Lcg& random) {
    std::vector<std::uint16_t> order(static_cast<std::size_t>(slotCount), 0);
    std::vector<bool> taken(static_cast<std::size_t>(slotCount) + 1, false);
    for (const auto& [slot, ball] : fixed) {
        order[static_cast<std::size_t>(slot)] = ball;
        taken[ball] = true;
    }
    std::vector<std::uint16_t> rest;
    for (int ball = 1; ball <= slotCount; ++ball)
        if (!taken[static_cast<std::size_t>(ball)]) rest.push_back(static_cast<std::uint16_t>(ball));
    Shuffle(rest, random);
    std::size_t next = 0;
    for (auto& ball : order)
        if (ball == 0) ball = rest[next++];
    return order;
}

PHYSICS_BEHIND_ENTRY std::vector<Vector3> RackBody(RackKind kind, int gameType, std::uint16_t ballCount,
                                                   const TableGeometry& g, F32 r, Lcg& random) {
    const Frame f = FrameOf(g, r);
    std::vector<Vector3> p(ballCount, At(f, F32(0.0f), F32(0.0f)));
    auto put = [&](std::size_t id, const Vector3& v) {
        if (id < p.size()) p[id] = v;
    };
    const F32 stringOffset(15.25f);  // cue ball beside the head spot on the head string
    switch (kind) {
        case RackKind::ThreeBall:
            put(0, At(f, f.headX, St(-Ext(stringOffset))));
            put(1, At(f, f.headX, F32(0.0f)));
            put(2, At(f, f.footX, F32(0.0f)));
            break;
        case RackKind::FourBall:
            put(0, At(f, f.headX, St(-Ext(stringOffset))));
            put(1, At(f, f.headX, stringOffset));
            put(2, At(f, f.footX, F32(0.0f)));
            put(3, At(f, F32(0.0f), F32(0.0f)));
            break;
        case RackKind::SixBall: {
            const F32 spread = St(Ext(f.spacing) * Ext(F32(3.0f)));
            put(0, At(f, f.headX, F32(0.0f)));
            put(1, At(f, f.footX, F32(0.0f)));
            put(2, At(f, St(Ext(f.footX) - Ext(spread)), F32(0.0f)));
            put(3, At(f, St(Ext(f.footX) + Ext(spread)), F32(0.0f)));
            put(4, At(f, f.footX, St(-Ext(spread))));
            put(5, At(f, f.footX, spread));
            break;
        }
        case RackKind::Triangle: {
            const std::vector<Vector3> slots = Triangle(f, f.footX);
            // 8-ball: the 8 in the middle of the third row, a solid and a stripe in the back corners.
            std::vector<std::uint16_t> order;
            if (gameType == game::kEightBall) {
                order = SlotOrder(15, {{0, 1}, {4, 8}}, random);
                auto placeAt = [&order](std::size_t target, bool (*wanted)(std::uint16_t)) {
                    if (wanted(order[target])) return;
                    for (std::size_t s = 1; s < order.size(); ++s)
                        if (s != 4 && s != 10 && s != target && wanted(order[s])) {
                            std::swap(order[s], order[target]);
                            return;
                        }
                };
                placeAt(10, [](std::uint16_t b) { return b < 8; });
                placeAt(14, [](std::uint16_t b) { return b > 8; });
            } else {
                order = SlotOrder(15, {{0, 1}}, random);
            }
            put(0, At(f, f.headX, F32(0.0f)));
            for (std::size_t s = 0; s < slots.size(); ++s) put(order[s], slots[s]);
            break;
        }
        case RackKind::Diamond: {
            static constexpr int kCounts[] = {1, 2, 3, 2, 1};
            std::vector<Vector3> slots;
            Rows(f, f.footX, kCounts, 5, slots);
            const std::vector<std::uint16_t> order = SlotOrder(9, {{0, 1}, {4, 9}}, random);
            put(0, At(f, f.headX, F32(0.0f)));
            for (std::size_t s = 0; s < slots.size(); ++s) put(order[s], slots[s]);
            break;
        }
        case RackKind::Snooker: {
            // Spots as fractions of the half length of the 356 cm table: baulk line 73.7 cm from
            // the baulk cushion, D radius 29.2 cm, black 32.4 cm from the top cushion, pink
            // half-way between the centre and the top cushion.
            const F32 baulkX = Part(f.halfLength, -0.58548f);
            const F32 dRadius = Part(f.halfLength, 0.16423f);
            const F32 pinkX = f.footX;
            const std::vector<Vector3> reds = Triangle(f, St(Ext(pinkX) + Ext(f.spacing)));
            for (std::size_t s = 0; s < reds.size(); ++s) put(1 + s, reds[s]);
            // Seen from the baulk end (looking along +x, where +y is on the right of the drawn
            // table) the yellow stands on the right-hand corner of the D, the green on the left.
            put(16, At(f, baulkX, dRadius));
            put(17, At(f, baulkX, St(-Ext(dRadius))));
            put(18, At(f, baulkX, F32(0.0f)));
            put(19, At(f, F32(0.0f), F32(0.0f)));
            put(20, At(f, pinkX, F32(0.0f)));
            put(21, At(f, Part(f.halfLength, 0.81777f), F32(0.0f)));
            put(0, At(f, St(Ext(baulkX) - Ext(Part(dRadius, 0.35f))), Part(dRadius, 0.4f)));
            break;
        }
    }
    return p;
}

PHYSICS_BEHIND_ENTRY std::vector<Vector3> TriangleBody(const TableGeometry& g, F32 r) {
    const Frame f = FrameOf(g, r);
    return Triangle(f, f.footX);
}

PHYSICS_BEHIND_ENTRY Vector3 HeadSpotBody(const TableGeometry& g, F32 r) {
    const Frame f = FrameOf(g, r);
    return At(f, f.headX, F32(0.0f));
}

}  // namespace

std::vector<Vector3> RackPositions(RackKind kind, int gameType, std::uint16_t ballCount,
                                   const TableGeometry& geometry, F32 radiusCm, Lcg& random) {
    physics::PhysicsEntry entry;
    return RackBody(kind, gameType, ballCount, geometry, radiusCm, random);
}

std::vector<Vector3> TriangleSlots(const TableGeometry& geometry, F32 radiusCm) {
    physics::PhysicsEntry entry;
    return TriangleBody(geometry, radiusCm);
}

Vector3 HeadSpot(const TableGeometry& geometry, F32 radiusCm) {
    physics::PhysicsEntry entry;
    return HeadSpotBody(geometry, radiusCm);
}

}  // namespace table

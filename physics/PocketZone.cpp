// Bed impact, pocket holes, pocket jaws, bed landing and pocket fall: operations of the base
// class that every model id uses.
#include "physics/PhysicsModel.h"

namespace physics {

namespace {

void PushEvent(EventType type, const Ball& ball, F32 intensity, std::uint16_t tag = 0) {
    PhysicsEvent e;
    e.type = type;
    e.ballId = ball.id;
    e.intensity = intensity;
    e.tag = tag;
    PushPhysicsEvent(e);
}

using Hole = PocketHole;

// The pocket hole under zone bits 4, 8, 5, 6, 9 or 10 (pocket 0 for the others).
Hole HoleOfZone(std::uint8_t bits, const TableGeometry& g) {
    // clang-format off
    switch (bits) {
        case 4: return HoleOfPocket(g, 2);
        case 8: return HoleOfPocket(g, 5);
        case 5: return HoleOfPocket(g, 1);
        case 6: return HoleOfPocket(g, 3);
        case 9: return HoleOfPocket(g, 4);
        case 10: return HoleOfPocket(g, 6);
        default: return {0, F32(0.0f), F32(0.0f), F32(0.0f)};
    }
    // clang-format on
}

std::uint8_t ZoneBits(const Ball& ball, const TableGeometry& g) {
    const F32 r = ball.radiusCm;
    const F32 x = ball.position.x, y = ball.position.y;
    std::uint8_t bits = 0;
    if (r + g.cushion.xMin > x)
        bits = 1;
    else if (g.cushion.xMax - r < x)
        bits = 2;
    if (r + g.cushion.yMin > y)
        bits |= 4;
    else if (g.cushion.yMax - r < y)
        bits |= 8;
    return bits;
}

}  // namespace

PocketHole HoleOfPocket(const TableGeometry& g, int pocket) {
    // Only the centre of the hole asked for is computed: most balls are in no zone at all.
    const auto mid = [&g] { return St((g.cushion.xMax + g.cushion.xMin) / 2.0f); };
    const auto left = [&g] { return St(g.cushion.xMin - g.cornerHoleOffset); };
    const auto right = [&g] { return St(g.cushion.xMax + g.cornerHoleOffset); };
    const auto near = [&g] { return St(g.cushion.yMin - g.cornerHoleOffset); };
    const auto far = [&g] { return St(g.cushion.yMax + g.cornerHoleOffset); };
    // clang-format off
    switch (pocket) {
        case 1: return {1, left(), near(), g.cornerHoleRadius};
        case 2: return {2, mid(), St(g.cushion.yMin - g.sideHoleOffset), g.sideHoleRadius};
        case 3: return {3, right(), near(), g.cornerHoleRadius};
        case 4: return {4, left(), far(), g.cornerHoleRadius};
        case 5: return {5, mid(), St(g.sideHoleOffset + g.cushion.yMax), g.sideHoleRadius};
        case 6: return {6, right(), far(), g.cornerHoleRadius};
        default: return {0, F32(0.0f), F32(0.0f), F32(0.0f)};
    }
    // clang-format on
}

bool PhysicsModel::CollidePocketZone(Ball& ball, F32 h) {
    const TableGeometry& g = tableRecord_->geometry;
    const TableParams& p = Params().table;
    const F32 r = ball.radiusCm;
    Vector3 v = ball.velocity;
    ball.inPocketZone = 0;
    const F32 x = ball.position.x, y = ball.position.y, z = ball.position.z;
    if (!(g.outer.xMin <= x && x <= g.outer.xMax && g.outer.yMin <= y && y <= g.outer.yMax && z <= r))
        return false;
    const bool eventsAllowed = ball.railState[0] == F32(0.0f) && ball.railState[1] == F32(0.0f);

    if (tableRecord_->hasPockets != 0) {
        const Hole hole = HoleOfZone(ZoneBits(ball, g), g);
        if (hole.pocket != 0) {
            Vector3 d;
            d.y = St(y - hole.cy);
            d.x = St(x - hole.cx);
            F32 len;
            d.Normalize(&len);
            if (len < hole.radius) {
                if (z < g.cushionHeight && z >= g.pocketDepth) {
                    d *= St(hole.radius - len);
                    if (z > F32(0.0f)) d.z = St(-z);
                    if (r * r > d.LengthSquared()) {
                        Vector3 n = d;
                        n.Normalize();
                        const F32 vn = St((v.y * n.y + v.x * n.x) + v.z * n.z);
                        if (vn > F32(0.0f)) {
                            if (eventsAllowed && h > F32(0.0f) && (p.pocketZoneSpeed * h) * 4.0f < vn)
                                PushEvent(EventType::PocketZone, ball, St(ball.mass * vn));
                            const F32 k = St((p.bounceFactor * 0.5f + 1.0f) * vn);
                            Vector3 push;
                            Vec3Scale(push, n, k);
                            v -= push;
                            ball.velocity = v;
                        }
                    }
                    ball.inPocketZone = 1;
                }
                if (r + g.pocketDepth > z) DropIntoPocket(ball, hole.pocket, h);
                return false;
            }
        }
    }

    bool result = false;
    if (z > F32(0.0f) && v.z < F32(0.0f)) {
        if (h > F32(0.0f)) {
            ApplyClothFriction(ball, h, 0);
            v = ball.velocity;
        }
        const F32 t = St(p.pocketZoneSpeed * h);
        if (-t < v.z) {
            v.z = F32(0.0f);
            result = true;
        } else {
            if (eventsAllowed && h > F32(0.0f) && t * -4.0f > v.z)
                PushEvent(EventType::PocketZone, ball, St(-(ball.mass * v.z)));
            v.z = St(-(v.z * p.bounceFactor));
        }
        ball.position.z = r;
        ball.velocity = v;
        ball.inPocketZone = 1;
    }
    return result;
}

bool PhysicsModel::IsOverPocketHole(const Ball& ball) const {
    if (tableRecord_->hasPockets == 0) return false;
    const TableGeometry& g = tableRecord_->geometry;
    const Hole hole = HoleOfZone(ZoneBits(ball, g), g);
    if (hole.pocket == 0) return false;
    Vector3 d(St(ball.position.x - hole.cx), St(ball.position.y - hole.cy), F32(0.0f));
    return d.Length() < hole.radius;
}

bool PhysicsModel::CollidePocket(Ball& ball, std::uint8_t pocket, F32 h) {
    const TableGeometry& g = tableRecord_->geometry;
    const TableParams& p = Params().table;
    const F32 r = ball.radiusCm;
    const F32 x = ball.position.x, y = ball.position.y, z = ball.position.z;
    if (z < g.pocketDepth || r + g.railTop < z) return false;

    const F32 diag = St(SqrtF(Opq(Ext(2.0f))) / 2.0f);
    const F32 q = St(g.cushionWidth + g.cornerZone);
    const F32 qLen = SqrtDouble(q * q + q * q);
    const F32 k = qLen > F32(0.0f) ? St(q / qLen) : F32(0.0f);
    bool result = false;

    // Mouth geometry.
    F32 cx, cy, radius, px(0.0f), py(0.0f), sx(0.0f), sy(0.0f);
    bool side = false, back = false;
    switch (pocket) {
        case 1:
        case 3:
        case 4:
        case 6: {
            const bool right = pocket == 3 || pocket == 6;
            const bool far = pocket == 4 || pocket == 6;
            cx =
                right ? St(g.cornerPocketOffset + g.cushion.xMax) : St(g.cushion.xMin - g.cornerPocketOffset);
            cy = far ? St(g.cushion.yMax + g.cornerPocketOffset) : St(g.cushion.yMin - g.cornerPocketOffset);
            radius = g.cornerPocketRadius;
            px = right ? St(g.cushion.xMax + g.cushionWidth) : St(g.cushion.xMin - g.cushionWidth);
            py = far ? St(g.cushion.yMax - g.cornerZone) : St(g.cornerZone + g.cushion.yMin);
            sx = right ? F32(-1.0f) : F32(1.0f);
            sy = far ? F32(1.0f) : F32(-1.0f);
            const Ext zero(0.0f);
            if (pocket == 1) back = (y - cy) + (x - cx) < zero;
            if (pocket == 3) back = (y - cy) + (cx - x) < zero;
            if (pocket == 4) back = (x - cx) + (cy - y) < zero;
            if (pocket == 6) back = (cy - y) + (cx - x) < zero;
            break;
        }
        case 2:
        case 5:
            side = true;
            cx = St((g.cushion.xMax + g.cushion.xMin) / 2.0f);
            cy = pocket == 2 ? St(g.cushion.yMin - g.sidePocketOffset)
                             : St(g.sidePocketOffset + g.cushion.yMax);
            radius = g.sidePocketRadius;
            back = pocket == 2 ? y < cy : y > cy;
            break;
        default:
            if (r + g.pocketDepth > z) DropIntoPocket(ball, pocket, h);
            return false;
    }

    F32 nx(0.0f), ny(0.0f), w(0.0f);
    bool wall = false;
    if (back) {
        F32 ux = St(x - cx), uy = St(y - cy), dist;
        Normalize2D(ux, uy, &dist);
        w = St(radius - dist);
        if (dist > radius) {
            result = false;
        } else if (dist <= radius - r) {
            result = true;
        } else {
            nx = ux;
            ny = uy;
            wall = true;
        }
    } else if (side) {
        const F32 dx = St(x - cx);
        if (radius - r < dx) {
            if (dx > radius) {
                result = false;
            } else {
                nx = F32(1.0f);
                w = St(radius - dx);
                wall = true;
            }
        } else if (r - radius <= dx) {
            result = true;
        } else if (dx < -radius) {
            result = false;
        } else {
            nx = F32(-1.0f);
            w = St(dx + radius);
            wall = true;
        }
    } else {
        const F32 d = St((sy * (y - py) + sx * (x - px)) * k);
        if (d < r) {
            if (d < F32(0.0f)) {
                result = false;
            } else {
                nx = St(-(sx * diag));
                ny = St(-(sy * diag));
                w = d;
                wall = true;
            }
        } else {
            const F32 w2 = St(radius + radius);
            if (d <= w2 - r) {
                result = true;
            } else if (d > w2) {
                result = false;
            } else {
                nx = St(sx * diag);
                ny = St(sy * diag);
                w = St(w2 - d);
                wall = true;
            }
        }
    }

    if (wall) {
        result = true;
        F32 e = St(z - g.railTop);
        if (e <= F32(0.0f)) e = F32(0.0f);
        const F32 s = St(e * e + w * w);
        if (r * r > s) {
            const F32 len = SqrtF(s);
            ScaleByInverse2D(len, w, e);
            const Vector3 n(St(w * nx), St(w * ny), St(-e));
            Vector3 v = ball.velocity;
            const F32 vn = St((v.z * n.z + v.y * n.y) + v.x * n.x);
            if (vn > F32(0.0f)) {
                if (vn > F32(0.08f)) PushEvent(EventType::PocketJaw, ball, St(vn * ball.mass), pocket);
                if (e == F32(0.0f)) {
                    Vector3 t = n;
                    t *= vn;
                    t -= v;
                    const F32 tl = t.Length();
                    const F32 lim = St((vn * p.pocketDropA) * h);
                    if (lim * 3.5f < tl)
                        t *= DivF(lim, tl);
                    else
                        t *= F32(0.0f);
                    v = Vector3(St(t.x + v.x), St(t.y + v.y), St(t.z + v.z));
                }
                const F32 kk = St((p.pocketDropB + 1.0f) * vn);
                Vector3 scaled;
                Vec3Scale(scaled, n, kk);
                v -= scaled;
                ball.velocity = v;
            }
        }
    }
    if (r + g.pocketDepth > z) DropIntoPocket(ball, pocket, h);
    return result;
}

bool PhysicsModel::LandOnBed(Ball& ball, F32 dt) {
    const TableParams& p = Params().table;
    const F32 rest = St(ball.radiusCm + tableRecord_->geometry.reserved16);
    if (ball.position.z > rest) return false;
    if (!(ball.velocity.z < F32(0.0f))) return false;
    ApplyClothFriction(ball, dt, 1);
    const F32 g = St(p.bedSettleRate * dt);
    Vector3 v = ball.velocity;
    bool result;
    if (-g < v.z) {
        v.z = F32(0.0f);
        result = true;
    } else {
        if (v.z < g * -4.0f) PushEvent(EventType::BedImpact, ball, St(-(v.z * ball.mass)));
        v.z = St(-(p.bedRestitution * v.z));
        result = false;
    }
    ball.position.z = St(ball.radiusCm + tableRecord_->geometry.reserved16);
    ball.velocity = v;
    if (ball.IsAtRest()) PushEvent(EventType::BedRest, ball, F32(0.0f));
    return result;
}

void PhysicsModel::DropIntoPocket(Ball& ball, std::uint8_t pocket, F32 dt) {
    const TableParams& p = Params().table;
    Vector3& v = ball.velocity;
    if (ball.outOfPlay == 0) {
        PushEvent(EventType::PocketDrop, ball, St(-(ball.mass * v.z)), pocket);
        ball.outOfPlay = pocket;
    }
    const F32 a = St(p.pocketFloorFriction * 9.8f);
    F32 ux = v.x, uy = v.y;
    Normalize2D(ux, uy);
    const F32 sum = St(v.y * v.y + v.x * v.x);
    const F32 speed = sum > F32(0.0f) ? SqrtF(sum) : F32(0.0f);
    if (a * dt <= speed) {
        v.x = St(v.x - (ux * a) * dt);
        v.y = St(v.y - (uy * a) * dt);
    } else {
        v.x = v.y = F32(0.0f);
    }
    ball.position.z = St(ball.radiusCm + tableRecord_->geometry.pocketDepth);
    v.z = F32(0.0f);
}

bool Ball::FindPocketEntry(std::uint8_t* pocket, F32* ratio) const {
    PhysicsEntry entry;
    const TableGeometry& g = table->geometry;
    const F32 mid = St((g.cushion.xMax + g.cushion.xMin) / 2.0f);
    const F32 left = St(g.cushion.xMin - g.cornerPocketOffset);
    const F32 right = St(g.cushion.xMax + g.cornerPocketOffset);
    const F32 near = St(g.cushion.yMin - g.cornerPocketOffset);
    const F32 far = St(g.cushion.yMax + g.cornerPocketOffset);
    const Hole mouths[6] = {{1, left, near, g.cornerPocketRadius},
                            {2, mid, St(g.cushion.yMin - g.sidePocketOffset), g.sidePocketRadius},
                            {3, right, near, g.cornerPocketRadius},
                            {4, left, far, g.cornerPocketRadius},
                            {5, mid, St(g.sidePocketOffset + g.cushion.yMax), g.sidePocketRadius},
                            {6, right, far, g.cornerPocketRadius}};
    for (const Hole& m : mouths) {
        F32 dx = St(m.cx - position.x), dy = St(m.cy - position.y), len;
        Normalize2D(dx, dy, &len);
        const F32 rt = St(((len - m.radius) / radiusCm) * 2.0f);
        if (rt < F32(1.0f) && St(dy * velocity.y + dx * velocity.x) > F32(0.0f)) {
            if (pocket) *pocket = m.pocket;
            if (ratio) *ratio = rt;
            return true;
        }
    }
    return false;
}

}  // namespace physics

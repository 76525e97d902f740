// The rail contact of the base model: the cushion as a spring with damping whose compression per
// rail axis (railState) lives in the ball from sub-step to sub-step. A contact reports its event
// only when it starts at zero compression; its contact height climbs toward half the rail-top
// height as the cushion compresses. The base contact geometry is shared with 0x10001-0x10004.
#include "physics/PhysicsModel.h"
#include "physics/RailTouch.h"

namespace physics {

namespace {

constexpr int kMaxRailPasses = 20;

F32 Approach(const Vector3& v, const Vector3& n) {
    return St(-((v.y * n.y + v.x * n.x) + v.z * n.z));
}

// One axis of a response pass: the unit direction, the contact's offset below or above the
// centre and its horizontal reach, for a contact at height `height` (cm).
struct AxisContact {
    Vector3 d;
    F32 offset, reach, dirX, dirY, horizontal;
};

AxisContact ContactAt(Vector3 d, F32 height, F32 z, F32 radius) {
    AxisContact a;
    a.offset = St((height - z) / 100.0f);
    a.reach = AbsF(a.offset) < radius ? SqrtDouble(radius * radius - a.offset * a.offset) : F32(0.0f);
    d.Normalize();
    a.d = d;
    a.dirX = d.x;
    a.dirY = d.y;
    Normalize2D(a.dirX, a.dirY, &a.horizontal);
    return a;
}

}  // namespace

bool PhysicsModel::CollideRailZone(Vector3& position, const Vector3&, F32 radiusCm, Vector3& normal,
                                   RailZoneState& state, std::uint8_t railMask) {
    return CollideRailZoneShared(position, radiusCm, normal, state, railMask, RailZoneForm::From10000);
}

void PhysicsModel::CollideRails(Ball& ball, F32 dt) {
    const TableGeometry& g = tableRecord_->geometry;
    const TableParams& params = Params().table;
    const F32 r = ball.radiusCm;
    std::uint8_t bits = RailsTouched(g, ball.position, r, ball.railContact);
    if (bits == 0) return;

    auto end = [&ball, &bits](bool clearCompression) {
        if (clearCompression) ball.railState[0] = ball.railState[1] = F32(0.0f);
        ball.railContact = bits;
    };

    // Geometry: one call per rail axis; a corner whose x call finds nothing is a lone y rail,
    // handled as a single rail with normal 0.
    const Vector3 v = ball.velocity;
    Vector3 position = ball.position;
    Vector3 normal0, normal1;
    RailZoneState zone;
    const bool corner = (bits & 3) != 0 && (bits & 12) != 0;
    if (!corner) {
        if (!CollideRailZone(position, v, r, normal0, zone, bits)) bits = 0;
    } else if (CollideRailZone(position, v, r, normal0, zone, bits & 3)) {
        if (!CollideRailZone(position, v, r, normal1, zone, bits & 12)) bits &= 3;
    } else {
        bits &= 12;
        if (!CollideRailZone(position, v, r, normal0, zone, bits)) bits = 0;
    }
    if (bits == 0) return end(true);

    const F32 hHalf = St(g.railTop * 0.5f);
    const F32 cw = St(g.cushionWidth / 100.0f);
    const F32 dtStep = St(dt / 20.0f);
    const F32 floor = St(params.cushionParamC * dtStep);
    const F32 damping = zone.jawNumber != 0 ? params.cushionParamB : params.cushionParamA;

    // Impact events: only a contact that starts at zero compression reports.
    if ((bits & 3) == 0 || (bits & 12) == 0) {
        const F32 approach = Approach(v, normal0);
        const F32 c = (bits & 3) != 0 ? ball.railState[0] : ball.railState[1];
        if (c == F32(0.0f)) {
            if (approach > F32(0.0f))
                PushCushionEvent(ball, approach, normal0,
                                 static_cast<std::uint16_t>(zone.jawNumber * 16 + bits));
            else
                bits = 0;
        }
    } else {
        const F32 approachX = Approach(v, normal0);
        const F32 approachY = Approach(v, normal1);
        if (ball.railState[1] == F32(0.0f)) {
            if (approachY > F32(0.0f))
                PushCushionEvent(ball, approachY, normal1, bits & 12);
            else
                bits &= 3;
        }
        if (ball.railState[0] == F32(0.0f)) {
            if (approachX > F32(0.0f)) {
                PushCushionEvent(ball, approachX, normal0, bits & 3);
            } else {
                normal0 = normal1;
                bits &= 12;
            }
        }
    }
    if (bits == 0) return end(true);

    const F32 radius = ball.radius;
    auto respond = [&](const AxisContact& a, F32 approach, F32 compression, Vector3& vv, Vector3& ww) {
        const F32 force = St((approach * damping + params.cushionStiffness * compression) / ball.mass);
        const CushionContact contact{a.d,     a.dirX, a.dirY,    a.horizontal,    force,  approach, a.offset,
                                     a.reach, radius, ball.mass, ball.inertiaArm, dtStep, &params};
        ResolveCushionImpact(vv, ww, contact);
    };

    if ((bits & 3) == 0 || (bits & 12) == 0) {
        const bool xRail = (bits & 3) != 0;
        F32 c = xRail ? ball.railState[0] : ball.railState[1];
        for (int pass = 0; pass < kMaxRailPasses; ++pass) {
            const F32 z = ball.position.z;
            Vector3 d = normal0;
            F32 ch = zone.contactHeight;
            if (zone.heightFlag != 0) {
                ch = St(((hHalf - zone.contactHeight) * c) / cw + zone.contactHeight);
                d.z = St(z - ch);
            }
            const AxisContact a = ContactAt(d, ch, z, radius);
            Vector3 vv = ball.velocity, ww = ball.spin;
            const F32 approach = Approach(vv, a.d);
            c = St(approach * dtStep + c);
            if (approach <= F32(0.0f) && c < floor) {
                // Element 0 is the one cleared, also for a y rail.
                bits = 0;
                ball.railState[0] = F32(0.0f);
                return end(false);
            }
            respond(a, approach, c, vv, ww);
            ball.velocity = vv;
            ball.spin = ww;
            CollidePocketZone(ball, F32(0.0f));
        }
        if (bits == kRailLowX || bits == kRailHighX)
            ball.railState[0] = c;
        else
            ball.railState[1] = c;
        return end(false);
    }

    F32 cx = ball.railState[0], cy = ball.railState[1];
    for (int pass = 0; pass < kMaxRailPasses; ++pass) {
        const F32 z = ball.position.z;
        Vector3 d0 = normal0, d1 = normal1;
        F32 ch0 = zone.contactHeight, ch1 = zone.contactHeight;
        if (zone.heightFlag != 0) {
            const F32 k = St(hHalf - zone.contactHeight);
            ch0 = St((cx / cw) * k + zone.contactHeight);
            ch1 = St((cy / cw) * k + zone.contactHeight);
            d0.z = St(z - ch0);
            d1.z = St(z - ch1);
        }
        const AxisContact a0 = ContactAt(d0, ch0, z, radius);
        const AxisContact a1 = ContactAt(d1, ch1, z, radius);
        Vector3 vv = ball.velocity, ww = ball.spin;
        const F32 approachX = Approach(vv, a0.d);
        const F32 approachY = Approach(vv, a1.d);
        cx = St(approachX * dtStep + cx);
        cy = St(approachY * dtStep + cy);
        if (approachX <= F32(0.0f) && cx < floor) {
            bits &= 12;
            cx = F32(0.0f);
        } else {
            respond(a0, approachX, cx, vv, ww);
        }
        if (approachY <= F32(0.0f) && cy < floor) {
            bits &= 3;
            cy = F32(0.0f);
        } else {
            respond(a1, approachY, cy, vv, ww);
        }
        if (cx == F32(0.0f) && cy == F32(0.0f)) {
            bits = 0;
            return end(true);
        }
        ball.velocity = vv;
        ball.spin = ww;
        CollidePocketZone(ball, F32(0.0f));
    }
    ball.railState[0] = cx;
    ball.railState[1] = cy;
    end(false);
}

}  // namespace physics

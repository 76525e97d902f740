// The rail contact of 0x10001-0x10004: the cushion is a spring whose
// compression per rail axis lives in Ball::railState between sub-steps; each response pass hands
// its force to ResolveCushionImpact. A corner reports the y axis before the x axis.
#include "physics/PhysicsModel.h"
#include "physics/RailTouch.h"

namespace physics {

namespace {

constexpr int kMaxRailPasses = 20;
constexpr std::uint8_t kAxisMask[2] = {3, 12};

}  // namespace

void PhysicsModel::CollideRails10001(Ball& ball, F32 dt) {
    const TableGeometry& g = tableRecord_->geometry;
    const F32 r = ball.radiusCm;
    const Vector3 position = ball.position;
    std::uint8_t flags = RailsTouched(g, position, r, ball.railContact);
    if (flags == 0) return;

    auto finish = [&] {
        ball.position = position;
        ball.railContact = flags;
    };
    auto endContact = [&] {
        ball.railState[0] = ball.railState[1] = F32(0.0f);
        finish();
    };

    Vector3 pos = position;
    Vector3 normals[2];
    RailZoneState zone;
    const bool singleBit = flags == 1 || flags == 2 || flags == 4 || flags == 8;
    if (singleBit) {
        const int k = (flags & 3) != 0 ? 0 : 1;
        if (!CollideRailZone(pos, ball.velocity, r, normals[k], zone, flags)) flags = 0;
    } else {
        if (!CollideRailZone(pos, ball.velocity, r, normals[0], zone, flags & 3)) flags &= ~std::uint8_t{3};
        if (!CollideRailZone(pos, ball.velocity, r, normals[1], zone, flags & 12)) flags &= ~std::uint8_t{12};
    }
    if (flags == 0) return endContact();

    TableParams params = Params().table;
    if (zone.noseFlag != 0) params.cushionFrictionShare = F32(1.0f);
    const F32 damping = zone.jawNumber != 0 ? params.cushionParamB : params.cushionParamA;
    const F32 dtStep = St(dt / 20.0f);
    const F32 floor = St(dtStep * params.cushionParamC);
    const F32 R = ball.radius;

    // One response of axis k: false when its contact ends (the compression falls below the floor
    // while the ball moves away).
    auto respond = [&](Vector3& v, Vector3& w, const Vector3& normal, F32& compression) {
        Vector3 d = normal;
        const F32 ch = zone.contactHeight;
        if (zone.heightFlag != 0) d.z = St(pos.z - ch);
        const F32 offset = St((ch - pos.z) / 100.0f);
        const F32 reach = AbsF(offset) < R ? SqrtDouble(R * R - offset * offset) : F32(0.0f);
        d.Normalize();
        F32 dirX = d.x, dirY = d.y, horizontal;
        Normalize2D(dirX, dirY, &horizontal);
        const F32 approach = CushionApproach(v, d);
        compression = St(approach * dtStep + compression);
        if (approach <= F32(0.0f) && compression < floor) return false;
        const F32 force = St((compression * params.cushionStiffness + approach * damping) / ball.mass);
        const CushionContact contact{d,     dirX, dirY,      horizontal,      force,  approach, offset,
                                     reach, R,    ball.mass, ball.inertiaArm, dtStep, &params};
        ResolveCushionImpact(v, w, contact);
        return true;
    };

    const bool corner = (flags & 3) != 0 && (flags & 12) != 0;
    if (!corner) {
        const int k = (flags & 3) != 0 ? 0 : 1;
        const Vector3& n = normals[k];
        const F32 approach = CushionApproach(ball.velocity, n);
        const bool considered =
            ball.railState[k] == F32(0.0f) || ball.RailContactRearmedV1(static_cast<std::uint8_t>(k), n);
        if (considered) {
            if (approach > F32(0.0f)) {
                PushCushionEvent(ball, approach, n, static_cast<std::uint16_t>(zone.jawNumber * 16 + flags));
                ball.touchFlag[0] = 0;
                ball.touchDone[0] = 0;
            } else {
                flags = 0;
                return endContact();
            }
        }
        F32 c = ball.railState[k];
        for (int pass = 0; pass < kMaxRailPasses; ++pass) {
            Vector3 v = ball.velocity;
            Vector3 w = ball.spin;
            if (!respond(v, w, n, c)) {
                // Element 0 is cleared also for a y rail (whose element 1 keeps its value).
                flags = 0;
                ball.railState[0] = F32(0.0f);
                return finish();
            }
            ball.velocity = v;
            ball.spin = w;
            CollidePocketZone(ball, F32(0.0f));
        }
        ball.railState[(flags & 3) != 0 ? 0 : 1] = c;
        return finish();
    }

    const F32 approachX = CushionApproach(ball.velocity, normals[0]);
    const F32 approachY = CushionApproach(ball.velocity, normals[1]);
    F32 cx = ball.railState[0], cy = ball.railState[1];
    bool pushed = false;
    // The re-arm tests of a corner pair the y axis with element 0 and the x axis with element 1.
    if (!(ball.railState[1] != F32(0.0f) && !ball.RailContactRearmedV1(0, normals[0]))) {
        if (approachY > F32(0.0f)) {
            PushCushionEvent(ball, approachY, normals[1], flags & 12);
            pushed = true;
        } else {
            flags &= ~std::uint8_t{12};
        }
        cy = F32(0.0f);
    }
    if (!(ball.railState[0] != F32(0.0f) && !ball.RailContactRearmedV1(1, normals[1]))) {
        if (approachX > F32(0.0f)) {
            PushCushionEvent(ball, approachX, normals[0], flags & 3);
            pushed = true;
        } else {
            normals[0] = normals[1];
            flags &= ~std::uint8_t{3};
        }
        cx = F32(0.0f);
    }
    if (pushed) {
        ball.touchFlag[0] = 0;
        ball.touchDone[0] = 0;
    }
    if (flags == 0) return endContact();

    F32* compression[2] = {&cx, &cy};
    for (int pass = 0; pass < kMaxRailPasses; ++pass) {
        Vector3 v = ball.velocity;
        Vector3 w = ball.spin;
        for (int k = 0; k < 2; ++k) {
            if ((flags & kAxisMask[k]) == 0) continue;
            if (!respond(v, w, normals[k], *compression[k])) {
                flags &= static_cast<std::uint8_t>(~kAxisMask[k]);
                *compression[k] = F32(0.0f);
            }
        }
        if (cx == F32(0.0f) && cy == F32(0.0f)) {
            flags = 0;
            return endContact();
        }
        ball.velocity = v;
        ball.spin = w;
        CollidePocketZone(ball, F32(0.0f));
    }
    ball.railState[0] = cx;
    ball.railState[1] = cy;
    finish();
}

}  // namespace physics

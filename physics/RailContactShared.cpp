// The rail contact of branch A from 0x10005 and of branch B: find the rails a
// ball touches, report new impacts, and run the cushion response passes.
#include "physics/PhysicsModel.h"
#include "physics/RailTouch.h"

namespace physics {

namespace {

constexpr int kMaxRailPasses = 20;
constexpr std::uint8_t kAxisMask[2] = {3, 12};

}  // namespace

void PhysicsModel::CollideRailsShared(Ball& ball, F32 dt, RailForm form) {
    const TableGeometry& g = tableRecord_->geometry;
    const bool late = form == RailForm::From10010;
    const bool third = form == RailForm::From1000D || late;
    const F32 r = ball.radiusCm;
    const Vector3 position = ball.position;
    std::uint8_t flags = RailsTouched(g, position, r, ball.railContact);
    if (flags == 0) return;

    auto finish = [&](bool clearVectors) {
        if (clearVectors) ball.railVectors[0] = ball.railVectors[1] = Vector3();
        ball.position = position;
        ball.railContact = flags;
    };

    Vector3 pos = position;
    Vector3 normals[2];
    RailZoneState zone;
    if (!CollideRailZone(pos, ball.velocity, r, normals[0], zone, flags & 3)) flags &= ~std::uint8_t{3};
    if (!CollideRailZone(pos, ball.velocity, r, normals[1], zone, flags & 12)) flags &= ~std::uint8_t{12};
    if (flags == 0) return finish(true);

    TableParams params = Params().table;
    if (zone.noseFlag != 0) params.cushionFrictionShare = F32(1.0f);
    if (zone.jawNumber != 0) {
        if (late && zone.heightFlag != 0) {
            params.cushionParamA = St((params.cushionParamA + params.cushionParamB) * 0.5f);
            params.railParamA = St((params.railParamC + params.railParamA) * 0.5f);
            params.railParamB = St((params.railParamD + params.railParamB) * 0.5f);
        } else {
            params.cushionParamA = params.cushionParamB;
            if (third) {
                params.railParamA = params.railParamC;
                params.railParamB = params.railParamD;
            }
        }
    }
    const F32 dtStep = St(dt / 20.0f);

    for (int k = 0; k < 2; ++k) {
        const Vector3& n = normals[k];
        const F32 approach = CushionApproach(ball.velocity, n);
        if ((flags & kAxisMask[k]) == 0) continue;
        if (!ball.railVectors[k].IsZero() && !ball.RailContactRearmed(static_cast<std::uint8_t>(k), n))
            continue;
        if (approach > F32(0.0f)) {
            PushCushionEvent(
                ball, approach, n,
                static_cast<std::uint16_t>((flags & kAxisMask[k]) | (third ? zone.noseFlag << 8 : 0)));
            ball.touchFlag[k] = 0;
            ball.touchDone[k] = 0;
        } else {
            flags &= static_cast<std::uint8_t>(~kAxisMask[k]);
        }
    }
    if (flags == 0) return finish(true);

    Vector3 railVectors[2] = {ball.railVectors[0], ball.railVectors[1]};
    Vector3 velocity = ball.velocity;
    Vector3 spin = ball.spin;
    for (int pass = 0; pass < kMaxRailPasses; ++pass) {
        if (!late) {
            velocity = ball.velocity;
            spin = ball.spin;
        }
        for (int k = 0; k < 2; ++k) {
            if ((flags & kAxisMask[k]) == 0) continue;
            Vector3 direction = normals[k];
            F32 height = zone.contactHeight;
            if (zone.heightFlag != 0) {
                if (late) {
                    const Vector3& nk = normals[k];
                    const F32 lh = SqrtF(St((nk.y * nk.y + nk.z * nk.z) + nk.x * nk.x));
                    const F32 t = St(ball.radius - lh);
                    const F32 tp = F32(0.0f) < t ? t : F32(0.0f);
                    F32 s = SqrtDouble(ball.radius * ball.radius - tp * tp);
                    s = St(s + ball.radius);
                    const F32 m = zone.contactHeight < s ? s : zone.contactHeight;
                    height = St((m - zone.contactHeight) + height);
                }
                direction.z = St(pos.z - height);
            }
            F32 offset = St((height - pos.z) / F32(100.0f));
            if (offset < -ball.radius) offset = St(-ball.radius);
            if (offset > ball.radius) offset = ball.radius;
            const F32 reach = SqrtDouble(ball.radius * ball.radius - offset * offset);
            const F32 length = SqrtF(
                St((direction.y * direction.y + direction.x * direction.x) + direction.z * direction.z));
            if (AbsF(length) < kFltEpsilon) {
                direction = Vector3();
            } else {
                const F32 inv = DivF(F32(1.0f), length);
                direction = Vector3(St(direction.x * inv), St(direction.y * inv), St(direction.z * inv));
            }
            F32 dirX = direction.x, dirY = direction.y, horizontal;
            Normalize2D(dirX, dirY, &horizontal);
            CushionContact contact{direction,       dirX,   dirY,   horizontal,  F32(0.0f),
                                   F32(0.0f),       offset, reach,  ball.radius, ball.mass,
                                   ball.inertiaArm, dtStep, &params};
            if (!RailImpulse(velocity, spin, railVectors[k], contact)) {
                flags &= static_cast<std::uint8_t>(~kAxisMask[k]);
                railVectors[k] = Vector3();
                ball.touchTime[k] = F32(0.0f);
            }
        }
        if (flags == 0) break;
        if (!late) {
            ball.velocity = velocity;
            ball.spin = spin;
            CollidePocketZone(ball, F32(0.0f));
        }
    }
    if (late) {
        ball.velocity = velocity;
        ball.spin = spin;
    }

    const Vector3& v = ball.velocity;
    if ((flags & 3) != 0) {
        const Vector3& n = normals[0];
        if (form == RailForm::From10005)
            ball.touchTime[0] = St((n.z * v.z + n.y * v.y) + n.x * v.x);
        else
            ball.touchTime[0] = St((n.y * v.y + n.z * v.z) + n.x * v.x);
    }
    if ((flags & 12) != 0) {
        const Vector3& n = normals[1];
        ball.touchTime[1] = St((n.y * v.y + n.z * v.z) + n.x * v.x);
    }
    ball.railVectors[0] = railVectors[0];
    ball.railVectors[1] = railVectors[1];
    finish(false);
}

}  // namespace physics

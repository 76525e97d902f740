// The cue strike of 0x10001-0x10004 has no contact simulation:
// after the common steps, a downward pulse of a ball lying on the table bounces off the bed.
// The strike leaves the velocity alone and does not set cueActive.
#include "physics/PhysicsModelA.h"

namespace physics {

void PhysicsModelA::StrikeBedBounce(Ball& ball, const StrikeSetUpResult& s) {
    const TableGeometry& g = tableRecord_->geometry;
    const Vector3& pos = ball.position;
    if (!(pos.x >= g.outer.xMin && pos.x <= g.outer.xMax && pos.y >= g.outer.yMin && pos.y <= g.outer.yMax &&
          pos.z <= ball.radiusCm && ball.cueLinear.z < F32(0.0f)))
        return;
    const F32 bounce = Params().table.bounceFactor;
    const F32 spinLen = s.spinLength;
    const F32 c2 = SqrtF(St(Ext(1.0f) - spinLen * spinLen));
    // N = (D c2 - (Rt tS + Vt tV) spinLen) c2, every vector operation stored per component.
    auto normal = [&](F32 rt, F32 vt, F32 d) {
        const F32 q = St(St(rt * s.tipSide) + St(vt * s.tipVertical));
        const F32 qs = St(q * spinLen);
        const F32 dc = St(d * c2);
        return St(St(dc - qs) * c2);
    };
    const Vector3& rt = s.sideAxis;
    const Vector3& vt = s.upAxis;
    const Vector3& d = s.direction;
    Vector3 n(normal(rt.x, vt.x, d.x), normal(rt.y, vt.y, d.y), normal(rt.z, vt.z, d.z));
    n.Normalize();

    const F32 vUp = St(-(bounce * ball.cueLinear.z));
    const F32 h = St((Length2D(n.x, n.y) * n.z) * 2.0f + 1.0f);
    const F32 q = St((n.z * n.z) * 2.0f);
    const F32 k1 = St(Ext(1.0f) - q);
    F32 vz = St(k1 * vUp);
    F32 vh = St(h * vUp);
    F32 ka = q;
    if (vz < F32(0.0f)) {
        vz = F32(0.0f);
        const F32 w = St((k1 * bounce) * -0.5f);
        const F32 dd = St(Ext(1.0f) - w);
        vh = St(vh / dd);
        ka = St(ka / dd);
    }
    ball.cueLinear = Vector3(St(vh * n.x + ball.cueLinear.x), St(vh * n.y + ball.cueLinear.y), vz);
    ka = St(ka + 1.0f);
    ball.cueAngular =
        Vector3(St(ball.cueAngular.x * ka), St(ball.cueAngular.y * ka), St(ball.cueAngular.z * ka));
}

}  // namespace physics

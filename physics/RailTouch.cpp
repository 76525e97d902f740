#include "physics/RailTouch.h"

#include "physics/PhysicsConstants.h"
#include "physics/PhysicsParams.h"

namespace physics {

std::uint8_t RailsTouched(const TableGeometry& g, const Vector3& p, F32 r, std::uint8_t bits) {
    const F32 x = p.x, y = p.y, z = p.z;
    if (x >= g.outer.xMin && x <= g.outer.xMax && y >= g.outer.yMin && y <= g.outer.yMax &&
        z < r + g.railTop && z >= F32(0.0f)) {
        if (x < r + g.cushion.xMin) bits |= kRailLowX;
        if (x > g.cushion.xMax - r) bits |= kRailHighX;
        if (y < r + g.cushion.yMin) bits |= kRailLowY;
        if (y > g.cushion.yMax - r) bits |= kRailHighY;
    }
    return bits;
}

F32 CushionApproach(const Vector3& v, const Vector3& n) {
    return St(-((v.y * n.y + v.z * n.z) + v.x * n.x));
}

void PushCushionEvent(const Ball& ball, F32 approach, const Vector3& normal, std::uint16_t tag) {
    PhysicsEvent e;
    e.type = EventType::Cushion;
    e.ballId = ball.id;
    e.intensity = St(approach * ball.mass);
    e.vector[0] = normal.x;
    e.vector[1] = normal.y;
    e.vector[2] = normal.z;
    e.tag = tag;
    PushPhysicsEvent(e);
}

}  // namespace physics

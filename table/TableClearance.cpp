#include "table/TableClearance.h"

#include <utility>

namespace table {

namespace {

// Orders a jaw so that its right-hand perpendicular faces the table's centre: the clearance only
// counts a cue that comes to the jaw from the playing side.
std::array<Vector3f, 2> Jaw(Vector3f a, Vector3f b) {
    const Vector3f right{b.y - a.y, -(b.x - a.x), 0};
    const Vector3f middle = (a + b) * 0.5f;
    if (Dot(right, Vector3f{0, 0, 0} - middle) < 0) std::swap(a, b);
    return {a, b};
}

}  // namespace

// Axis 1 cushions lie on x = const (the short ones), axis 0 on y = const (the long ones, with the
// middle pockets). The inner line is the cushion nose, the outer line the rail's outer edge; on a
// pocket table each cushion ends a corner pocket's radius before the corner, where its jaw runs
// diagonally out to the rail.
ClearanceTable MakeClearanceTable(const physics::TableRecord& record) {
    const physics::TableGeometry& g = record.geometry;
    ClearanceTable t;
    t.cushionHeight = g.cushionHeight.Value();
    t.cornerPocketRadius = g.cornerPocketRadius.Value();
    t.middlePocketRadius = g.sidePocketRadius.Value();
    t.pockets = record.hasPockets != 0;
    const float x0 = g.cushion.xMin.Value(), x1 = g.cushion.xMax.Value();
    const float y0 = g.cushion.yMin.Value(), y1 = g.cushion.yMax.Value();
    const float fx0 = g.frame.xMin.Value(), fx1 = g.frame.xMax.Value();
    const float fy0 = g.frame.yMin.Value(), fy1 = g.frame.yMax.Value();
    const float mouth = t.pockets ? t.cornerPocketRadius : 0.0f;
    const float corner = g.cornerHoleOffset.Value() * 0.70710678f;
    const float side = g.sidePocketRadius.Value();

    for (int k = 0; k < 2; ++k) {
        ClearanceCushion& c = t.cushions[static_cast<std::size_t>(k)];
        const float line = k == 0 ? x0 : x1, outer = k == 0 ? fx0 : fx1, out = k == 0 ? -1.0f : 1.0f;
        c.axis = 1;
        c.innerLine = line;
        c.outerLine = outer;
        c.spanFrom = y0 + mouth;
        c.spanTo = y1 - mouth;
        c.endJaws = {Jaw({line, c.spanFrom, 0}, {outer, y0, 0}), Jaw({line, c.spanTo, 0}, {outer, y1, 0})};
        c.jawRightNormal = true;
        c.cornerCentres = {Vector3f{line + out * corner, y0 - corner, 0},
                           Vector3f{line + out * corner, y1 + corner, 0}};
    }
    for (int k = 0; k < 2; ++k) {
        ClearanceCushion& c = t.cushions[static_cast<std::size_t>(2 + k)];
        const float line = k == 0 ? y0 : y1, outer = k == 0 ? fy0 : fy1, out = k == 0 ? -1.0f : 1.0f;
        c.axis = 0;
        c.innerLine = line;
        c.outerLine = outer;
        c.spanFrom = x0 + mouth;
        c.spanTo = x1 - mouth;
        c.endJaws = {Jaw({c.spanFrom, line, 0}, {x0, outer, 0}), Jaw({c.spanTo, line, 0}, {x1, outer, 0})};
        c.middleFrom = -side;
        c.middleTo = side;
        c.middleJaws = {Jaw({-side, line, 0}, {-side * 0.8f, outer, 0}),
                        Jaw({side, line, 0}, {side * 0.8f, outer, 0})};
        c.jawRightNormal = true;
        c.cornerCentres = {Vector3f{x0 - corner, line + out * corner, 0},
                           Vector3f{x1 + corner, line + out * corner, 0}};
        c.middleCentre = {0, line + out * g.sideHoleOffset.Value(), 0};
    }
    return t;
}

}  // namespace table

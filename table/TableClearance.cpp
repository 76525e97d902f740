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

    for (std::size_t k = 0; k < t.cushions.size(); ++k) {
        ClearanceCushion& c = t.cushions[k];
        c.axis = k < 2 ? 1 : 0;
        const bool low = k % 2 == 0;
        // A point by its coordinate across the cushion's line and along it.
        auto at = [&](float across, float along) {
            return c.axis == 1 ? Vector3f{across, along, 0} : Vector3f{along, across, 0};
        };
        const float line = c.axis == 1 ? (low ? x0 : x1) : (low ? y0 : y1);
        const float outer = c.axis == 1 ? (low ? fx0 : fx1) : (low ? fy0 : fy1);
        const float from = c.axis == 1 ? y0 : x0, to = c.axis == 1 ? y1 : x1;
        const float out = low ? -1.0f : 1.0f;
        c.innerLine = line;
        c.outerLine = outer;
        c.spanFrom = from + mouth;
        c.spanTo = to - mouth;
        c.endJaws = {Jaw(at(line, c.spanFrom), at(outer, from)), Jaw(at(line, c.spanTo), at(outer, to))};
        c.jawRightNormal = true;
        c.cornerCentres = {at(line + out * corner, from - corner), at(line + out * corner, to + corner)};
        if (c.axis == 0) {
            c.middleFrom = -side;
            c.middleTo = side;
            c.middleJaws = {Jaw(at(line, -side), at(outer, -side * 0.8f)),
                            Jaw(at(line, side), at(outer, side * 0.8f))};
            c.middleCentre = at(line + out * g.sideHoleOffset.Value(), 0);
        }
    }
    return t;
}

}  // namespace table

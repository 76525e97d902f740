// Where the cushion of one rail touches a ball: the straight face, its slanted nose, or a pocket
// jaw. One body for every model, in four forms (of 0x10000, 0x10005, 0x1000D and 0x10010); they
// differ in which flags are cleared on entry, in the rounded jaws, and in branch B's rules.
#include "physics/PhysicsModel.h"

namespace physics {

namespace {

struct Jaw {
    std::uint32_t number = 0;
    F32 p1x, p1y, p2x, p2y;
    F32 sigma;
    bool side = false;
};

}  // namespace

bool PhysicsModel::CollideRailZoneShared(const Vector3& position, F32 r, Vector3& normal,
                                         RailZoneState& state, std::uint8_t railMask, RailZoneForm form) {
    const TableGeometry& g = tableRecord_->geometry;
    const bool late = form == RailZoneForm::From10010;
    if (!late) {
        state.heightFlag = 0;
        state.noseFlag = 0;
        if (form == RailZoneForm::From10000 || form == RailZoneForm::From10005) state.jawNumber = 0;
    }
    const F32 x = position.x, y = position.y, z = position.z;
    if (z > r + g.railTop || z < -r) return false;

    F32 ux(0.0f), uy(0.0f), d;
    // clang-format off
    switch (railMask) {
        case 1: ux = F32(1.0f); d = St(x - g.cushion.xMin); break;
        case 2: ux = F32(-1.0f); d = St(g.cushion.xMax - x); break;
        case 4: uy = F32(1.0f); d = St(y - g.cushion.yMin); break;
        case 8: uy = F32(-1.0f); d = St(g.cushion.yMax - y); break;
        default: return false;
    }
    // clang-format on

    // Pocket jaws of this rail.
    Jaw jaw;
    if (tableRecord_->hasPockets != 0) {
        const F32 zone = g.PocketShape(19);
        const F32 mouth = St(g.cornerZone - g.cushionWidth);
        const bool alongY = railMask == 1 || railMask == 2;
        // Corners of this rail: (corner x, corner y, pocket number, sigma).
        struct Corner {
            bool high;  // the corner at the high end of the rail
            std::uint32_t number;
            F32 sigma;
        };
        Corner corners[2];
        switch (railMask) {
            case 1:
                corners[0] = {false, 1, F32(1.0f)};
                corners[1] = {true, 4, F32(-1.0f)};
                break;
            case 2:
                corners[0] = {false, 3, F32(-1.0f)};
                corners[1] = {true, 6, F32(1.0f)};
                break;
            case 4:
                corners[0] = {false, 1, F32(-1.0f)};
                corners[1] = {true, 3, F32(1.0f)};
                break;
            default:
                corners[0] = {false, 4, F32(1.0f)};
                corners[1] = {true, 6, F32(-1.0f)};
                break;
        }
        const F32 railLineX = railMask == 2 ? g.cushion.xMax : g.cushion.xMin;
        const F32 railLineY = railMask == 8 ? g.cushion.yMax : g.cushion.yMin;
        const F32 behind = railMask == 1 || railMask == 4 ? F32(-1.0f) : F32(1.0f);
        for (const Corner& c : corners) {
            // Position along the rail measured from the corner.
            const F32 along = alongY ? (c.high ? St(g.cushion.yMax - y) : St(y - g.cushion.yMin))
                                     : (c.high ? St(g.cushion.xMax - x) : St(x - g.cushion.xMin));
            if (!(along < zone)) continue;
            const F32 cornerX = (c.number == 3 || c.number == 6) ? g.cushion.xMax : g.cushion.xMin;
            const F32 cornerY = c.number >= 4 ? g.cushion.yMax : g.cushion.yMin;
            const F32 toX = cornerX == g.cushion.xMin ? St(x - g.cushion.xMin) : St(g.cushion.xMax - x);
            const F32 toY = cornerY == g.cushion.yMin ? St(y - g.cushion.yMin) : St(g.cushion.yMax - y);
            if (toX + toY < mouth) return false;
            const F32 toward = c.high ? F32(-1.0f) : F32(1.0f);
            jaw.number = c.number;
            jaw.sigma = c.sigma;
            if (alongY) {
                jaw.p1x = railLineX;
                jaw.p1y = St(cornerY + toward * zone);
                jaw.p2x = St(railLineX + behind * g.cushionWidth);
                jaw.p2y = St(cornerY + toward * g.cornerZone);
            } else {
                jaw.p1x = St(cornerX + toward * zone);
                jaw.p1y = railLineY;
                jaw.p2x = St(cornerX + toward * g.cornerZone);
                jaw.p2y = St(railLineY + behind * g.cushionWidth);
            }
            break;
        }
        if (jaw.number == 0 && !alongY) {
            const F32 centre = St((g.cushion.xMin + g.cushion.xMax) / 2.0f);
            if (AbsE(x - centre) < g.PocketShape(22)) {
                if (d < -g.cushionWidth) return false;
                const bool upper = x >= centre;
                const F32 sign = upper ? F32(1.0f) : F32(-1.0f);
                jaw.number = railMask == 4 ? 2 : 5;
                jaw.side = true;
                jaw.sigma = (railMask == 4) == !upper ? F32(1.0f) : F32(-1.0f);
                jaw.p1x = St(centre + sign * g.PocketShape(22));
                jaw.p1y = railLineY;
                jaw.p2x = St(centre + sign * g.PocketShape(21));
                jaw.p2y = St(railLineY + behind * g.cushionWidth);
            }
        }
    }

    F32 h;
    bool nose = false;
    if (jaw.number == 0) {
        const F32 slope = St((g.railTop - g.cushionHeight) / g.cushionWidth);
        h = St(z - g.cushionHeight);
        if (h > F32(0.0f) && d / h < slope) {
            nose = true;
        } else {
            state.contactHeight = g.cushionHeight;
            state.heightFlag = 1;
        }
    } else {
        state.jawNumber = jaw.number;
        F32 tx = St(jaw.p2x - jaw.p1x), ty = St(jaw.p2y - jaw.p1y), segment;
        Normalize2D(tx, ty, &segment);
        const F32 ax = St(x - jaw.p1x), ay = St(y - jaw.p1y);
        F32 top, bottom, vx, vy;
        auto between = [&] {
            const F32 proj = St(ay * ty + ax * tx);
            const F32 reach = Length2D(ax, ay);
            // At the jaw's first point the slope formula is 0/0; its limit is the nose height.
            top = reach > F32(0.0f) ? St((proj * (g.railTop - g.cushionHeight)) / reach + g.cushionHeight)
                                    : g.cushionHeight;
            bottom = St((Ext(1.0f) - (proj / segment) / 0.2f) * g.cushionHeight);
            if (bottom < F32(0.0f)) bottom = F32(0.0f);
            return proj;
        };
        enum class Region { BeyondP2, BeforeP1, Between, Arc } region;
        const bool rounded = form != RailZoneForm::From10000 && g.tableFlagB == 1;
        F32 pcx(0.0f), pcy(0.0f);
        if (rounded) {
            const F32 rad = jaw.side ? g.PocketShape(23) : g.PocketShape(20);
            pcx = St(jaw.p1x - rad * ux);
            pcy = St(jaw.p1y - rad * uy);
            // The ball faces the arc when it lies between the rays from the arc centre through
            // P1 and P2; the orientation comes from the two points (see docs/decisions/physics.md).
            const Ext crossP2 = (jaw.p2x - pcx) * (y - pcy) - (jaw.p2y - pcy) * (x - pcx);
            const Ext crossP1 = (jaw.p1x - pcx) * (y - pcy) - (jaw.p1y - pcy) * (x - pcx);
            const Ext turn = (jaw.p1x - pcx) * (jaw.p2y - pcy) - (jaw.p1y - pcy) * (jaw.p2x - pcx);
            const F32 orientation = turn < Ext(0.0f) ? F32(-1.0f) : F32(1.0f);
            if (orientation * crossP2 > Ext(0.0f))
                region = Region::BeyondP2;
            else if (orientation * crossP1 < Ext(0.0f))
                region = Region::BeforeP1;
            else
                region = Region::Arc;
            (void)rad;
        } else if ((x - jaw.p2x) * tx + (y - jaw.p2y) * ty > Ext(0.0f)) {
            region = Region::BeyondP2;
        } else if (ax * tx + ay * ty < Ext(0.0f)) {
            region = Region::BeforeP1;
        } else {
            region = Region::Between;
        }
        switch (region) {
            case Region::BeyondP2:
                top = g.railTop;
                bottom = F32(0.0f);
                vx = St(x - jaw.p2x);
                vy = St(y - jaw.p2y);
                break;
            case Region::BeforeP1:
                top = bottom = g.cushionHeight;
                vx = ax;
                vy = ay;
                if (late && !rounded) state.heightFlag = 1;
                break;
            case Region::Between: {
                const F32 proj = between();
                vx = St(ax - proj * tx);
                vy = St(ay - proj * ty);
                break;
            }
            case Region::Arc:
                between();
                vx = St(x - pcx);
                vy = St(y - pcy);
                break;
        }
        if (rounded) {
            d = Length2D(vx, vy);
            if (region == Region::Arc) d = St(d - (jaw.side ? g.PocketShape(23) : g.PocketShape(20)));
        } else {
            d = St(jaw.sigma * (vy * tx) - jaw.sigma * (vx * ty));
        }
        if (d >= r) return false;
        if (d > F32(0.0f)) {
            // vec / d is the unit normal except at the arc, where vec reaches the arc centre.
            const F32 span = region == Region::Arc ? Length2D(vx, vy) : d;
            ux = St(vx / span);
            uy = St(vy / span);
            if (z > top) {
                h = St(z - top);
                state.contactHeight = St(z - h);
            } else if (z < bottom) {
                h = St(z - bottom);
                state.contactHeight = St(z - h);
            } else {
                h = F32(0.0f);
                state.contactHeight = z;
            }
        } else {
            ux = uy = F32(0.0f);
            h = St(z - top);
            d = F32(0.0f);
            nose = true;
        }
    }

    if (nose) {
        state.noseFlag = 1;
        const F32 rise = St(g.railTop - g.cushionHeight);
        const F32 slant = Length2D(g.cushionWidth, rise);
        F32 a = rise, b = g.cushionWidth;
        Normalize2D(a, b);
        const F32 proj = St(h * b + a * d);
        const F32 term = St(h * a - b * d);
        state.contactHeight = St((term * rise) / slant + g.cushionHeight);
        d = St(proj * a);
        h = St(proj * b);
    }

    if (!(r * r > St(h * h + d * d))) return false;
    if (state.heightFlag != 0 && d < r) d = r;
    normal = Vector3(St(d * ux), St(d * uy), h);
    return true;
}

}  // namespace physics

#include "gui/Placement.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"

namespace gui {

namespace {

// The room left between a window and a control it keeps clear of.
constexpr int kGap = 4;

bool IsControl(const Widget& w) {
    return dynamic_cast<const Button*>(&w) || dynamic_cast<const EditBox*>(&w) ||
           dynamic_cast<const ScrollBar*>(&w) || dynamic_cast<const ComboBox*>(&w);
}

void CollectControls(const Widget& parent, std::vector<ScreenRect>& out) {
    for (const Widget* child : parent.Children()) {
        if (!child->IsVisible() || dynamic_cast<const Dialog*>(child)) continue;
        if (IsControl(*child)) {
            const int x = child->ScreenX(), y = child->ScreenY();
            out.push_back({x, y, x + child->Width(), y + child->Height()});
            continue;
        }
        CollectControls(*child, out);
    }
}

std::int64_t CoveredArea(const ScreenRect& window, const std::vector<ScreenRect>& rects, int margin) {
    std::int64_t area = 0;
    for (const ScreenRect& r : rects) {
        const int w = std::min(window.right, r.right + margin) - std::max(window.left, r.left - margin);
        const int h = std::min(window.bottom, r.bottom + margin) - std::max(window.top, r.top - margin);
        if (w > 0 && h > 0) area += static_cast<std::int64_t>(w) * h;
    }
    return area;
}

// The starts worth trying along one axis: the preferred one, both ends of the area, and each start
// where the window's edge meets a control's edge, or comes within kGap of it. The area covered changes
// linearly between these, so its least is at one of them.
std::vector<int> Starts(int preferred, int low, int high, int size, const std::vector<ScreenRect>& rects,
                        bool horizontal) {
    std::vector<int> starts{preferred, low, high - size};
    for (const ScreenRect& r : rects) {
        const int nearEdge = horizontal ? r.left : r.top, farEdge = horizontal ? r.right : r.bottom;
        for (int margin : {0, kGap})
            for (int edge : {nearEdge - margin, farEdge + margin}) {
                starts.push_back(edge);
                starts.push_back(edge - size);
            }
    }
    for (int& s : starts) s = std::max(low, std::min(s, high - size));
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

}  // namespace

std::vector<ScreenRect> ShownControls(const Widget& root) {
    std::vector<ScreenRect> controls;
    CollectControls(root, controls);
    return controls;
}

ScreenPoint ClearPlace(int width, int height, const ScreenRect& area, ScreenPoint preferred,
                       const std::vector<ScreenRect>& keepClear) {
    return ClearPlace(width, height, area, preferred, {}, keepClear);
}

ScreenPoint ClearPlace(int width, int height, const ScreenRect& area, ScreenPoint preferred,
                       const std::vector<ScreenRect>& first, const std::vector<ScreenRect>& keepClear) {
    std::vector<ScreenRect> all = first;
    all.insert(all.end(), keepClear.begin(), keepClear.end());
    // Least of `first` covered, then least of the rest, then least within kGap of any, then nearest.
    ScreenPoint best{};
    std::array<std::int64_t, 4> bestCost{-1, 0, 0, 0};
    for (int x : Starts(preferred.x, area.left, area.right, width, all, true)) {
        for (int y : Starts(preferred.y, area.top, area.bottom, height, all, false)) {
            const ScreenRect window{x, y, x + width, y + height};
            const std::int64_t dx = x - preferred.x, dy = y - preferred.y;
            const std::array<std::int64_t, 4> cost{CoveredArea(window, first, 0),
                                                   CoveredArea(window, keepClear, 0),
                                                   CoveredArea(window, all, kGap), dx * dx + dy * dy};
            if (bestCost[0] < 0 || cost < bestCost) {
                best = {x, y};
                bestCost = cost;
            }
        }
    }
    return best;
}

}  // namespace gui

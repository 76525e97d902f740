#pragma once
// Where a window opens over a screen: clear of the controls a player reaches for, as near as it can
// be to the place it prefers.

#include <vector>

namespace gui {

class Widget;

// A rectangle in client coordinates, right and bottom excluded.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct ScreenPoint {
    int x = 0, y = 0;
};

// The client rectangles of the controls shown in `root` (buttons, edit boxes, scroll bars and
// drop-down lists; a control's own parts are its rectangle), dialogs left out.
std::vector<ScreenRect> ShownControls(const Widget& root);

// The top-left corner for a window of `width` x `height` inside `area`, chosen by, in turn: the least
// area of `keepClear` it covers, the least of the 4 px margin around them it covers, and the least
// distance from `preferred`. So `preferred` is kept only when the window there covers none of them and
// comes no nearer than 4 px to any; one that would come nearer moves to the nearest place that keeps
// the gap, however short the move, when there is one. A window larger than the area keeps to its top
// left.
ScreenPoint ClearPlace(int width, int height, const ScreenRect& area, ScreenPoint preferred,
                       const std::vector<ScreenRect>& keepClear);

// As above with `first` kept clear before `keepClear`: of two places, the one that covers less of
// `first` wins, whatever it covers of `keepClear`.
ScreenPoint ClearPlace(int width, int height, const ScreenRect& area, ScreenPoint preferred,
                       const std::vector<ScreenRect>& first, const std::vector<ScreenRect>& keepClear);

}  // namespace gui

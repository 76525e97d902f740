#pragma once
// Input routing of a widget tree: mouse capture first, then the topmost shown modal widget (which
// keeps everything outside it from the mouse and the keys), then the widget under the mouse with
// hover reports; keys go to the focused edit box and then to the hot keys of enabled widgets. An
// Enter or Escape that a hot key, a list or a popup took takes its character with it.
// Popup-style dialogs close when they lose the focus: a button pressed anywhere outside them closes
// them before the press goes on to what it hit, and Escape closes the topmost one (its own Escape
// hot key, where it has one, does the closing). An open drop-down list takes Escape before them.

#include <cstdint>

namespace gui {

class Widget;

class WidgetRouter {
public:
    static bool Route(Widget& root, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // Whether `widget` is `ancestor` or lies below it.
    static bool IsWithin(const Widget* widget, const Widget* ancestor);
    // Whether `widget` lies in a dialog below `root`: a control of one of root's windows (or the
    // window itself), not one of root's own.
    static bool IsInDialog(const Widget* widget, const Widget* root);
    // The modal widget shown last in the tree (deepest first), or null.
    static Widget* TopModal(Widget& root);
    // The deepest shown widget under the client point, below `scope` (scope itself when
    // `includeScope`); null when none. Disabled widgets are hit but not entered.
    static Widget* HitWidget(Widget& scope, int x, int y, bool includeScope);
    // Moves the hover to `target` (or clears it), with the reports of hover-reporting widgets.
    static void SetHot(Widget* target);
    // Hides every shown popup-style dialog of the tree that does not hold `keep` (null: every one):
    // the focus went to `keep`, or away from the window.
    static void ClosePopups(Widget& root, const Widget* keep);

private:
    static bool RouteMouse(Widget& root, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    static bool RouteKey(Widget& root, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    static Widget* FindHotkey(Widget& scope, std::uint32_t vk);
    // The popup-style dialog shown last in the tree (deepest first), or null.
    static Widget* TopPopup(Widget& root);
    // Escape for the open drop-down list of the tree, else for the topmost popup of `scope`: true
    // when one took it (its character is then taken too).
    static bool TopTakesEscape(Widget& root, Widget& scope, std::uint32_t message, std::uintptr_t wParam);
};

}  // namespace gui

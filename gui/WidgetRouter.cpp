#include "gui/WidgetRouter.h"

#include <utility>
#include <vector>

#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/Overlays.h"
#include "gui/TextInput.h"
#include "gui/Widget.h"
#include "platform/window/WindowCodes.h"

namespace gui {

namespace {

bool IsMouseMessage(std::uint32_t message) {
    return message >= platform::kWmMouseMove && message <= platform::kWmMouseWheel;
}

bool IsButtonDown(std::uint32_t message) {
    return message == platform::kWmLButtonDown || message == platform::kWmLButtonDblClk ||
           message == platform::kWmRButtonDown || message == platform::kWmMButtonDown;
}

bool IsPopup(const Widget& widget) {
    const auto* dialog = dynamic_cast<const Dialog*>(&widget);
    return dialog && dialog->IsPopupStyle();
}

// The shown widget that `match` takes and that was shown last in the tree (deepest first), or null.
Widget* LastShown(Widget& root, bool (*match)(const Widget&)) {
    const auto& children = root.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Widget* child = *it;
        if (!child->IsVisible()) continue;
        if (Widget* inner = LastShown(*child, match)) return inner;
        if (match(*child)) return child;
    }
    return nullptr;
}

// The keys whose key-down, when the widgets took it (a hot key, an open list, a popup), takes the
// character that follows it too (GuiState::takenKey): the key that pressed a button or closed
// something neither reaches an edit box (an Enter that closed a notice would be Enter once more in the
// field under it) nor the scene.
bool HasTakenCharacter(std::uint32_t key) {
    return key == platform::kVkReturn || key == platform::kVkEscape;
}

bool IsKeyMessage(std::uint32_t message) {
    return (message >= platform::kWmKeyDown && message <= platform::kWmSysChar) ||
           (message >= platform::kWmImeStartComposition && message <= platform::kWmImeComposition);
}

MouseEvent LocalEvent(const Widget& target, std::uint32_t message, std::uintptr_t wParam, int x, int y,
                      int wheel) {
    MouseEvent event;
    event.message = message;
    event.screenX = x;
    event.screenY = y;
    event.x = x - target.ScreenX();
    event.y = y - target.ScreenY();
    event.buttons = wParam;
    event.wheel = wheel;
    return event;
}

// Offers the event to the target and then to its parents up to (not including) the root.
bool Deliver(Widget& root, Widget* target, std::uint32_t message, std::uintptr_t wParam, int x, int y,
             int wheel) {
    for (Widget* w = target; w && w != &root; w = w->GetParent()) {
        if (!w->IsEnabled()) return false;
        if (w->OnMouse(LocalEvent(*w, message, wParam, x, y, wheel))) return true;
    }
    return false;
}

}  // namespace

bool WidgetRouter::IsWithin(const Widget* widget, const Widget* ancestor) {
    for (const Widget* w = widget; w; w = w->GetParent()) {
        if (w == ancestor) return true;
    }
    return false;
}

bool WidgetRouter::IsInDialog(const Widget* widget, const Widget* root) {
    for (const Widget* w = widget; w && w != root; w = w->GetParent()) {
        if (dynamic_cast<const Dialog*>(w)) return true;
    }
    return false;
}

Widget* WidgetRouter::TopModal(Widget& root) {
    return LastShown(root, [](const Widget& w) { return w.IsModal(); });
}

Widget* WidgetRouter::HitWidget(Widget& scope, int x, int y, bool includeScope) {
    if (!scope.IsVisible()) return nullptr;
    const int lx = x - scope.ScreenX(), ly = y - scope.ScreenY();
    if (scope.IsEnabled()) {
        const auto& children = scope.Children();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (Widget* hit = HitWidget(**it, x, y, true)) return hit;
        }
    }
    return includeScope && !scope.IsMouseTransparent() && scope.HitTest(lx, ly) ? &scope : nullptr;
}

Widget* WidgetRouter::TopPopup(Widget& root) {
    return LastShown(root, IsPopup);
}

void WidgetRouter::ClosePopups(Widget& root, const Widget* keep) {
    // A copy: hiding a popup may change the tree it walks.
    const std::vector<Widget*> children = root.Children();
    for (Widget* child : children) {
        if (!child->IsVisible()) continue;
        if (IsPopup(*child) && !(keep && IsWithin(keep, child)))
            child->Show(false);
        else
            ClosePopups(*child, keep);
    }
}

void WidgetRouter::SetHot(Widget* target) {
    GuiState& state = GetGuiState();
    Widget* old = state.hot;
    if (old == target) return;
    state.hot = target;
    if (old) {
        if (!old->HasCapture()) old->SetState(WidgetState::Normal);
        if (old->ReportsHover())
            old->Notify(static_cast<std::int32_t>(CommandCode::MouseLeave), CommandCode::MouseLeave);
    }
    Tooltip* tip = Tooltip::Instance();
    if (target) {
        if (target->IsEnabled() && !target->HasCapture()) target->SetState(WidgetState::Hover);
        if (target->ReportsHover())
            target->Notify(static_cast<std::int32_t>(CommandCode::MouseEnter), CommandCode::MouseEnter);
        if (tip) {
            if (!target->TooltipText().empty())
                tip->ShowText(target->TooltipText(), state.mouseX, state.mouseY);
            else
                tip->Show(false);
        }
    } else if (tip) {
        tip->Show(false);
    }
}

bool WidgetRouter::Route(Widget& root, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!root.IsVisible()) return false;
    if (IsMouseMessage(message)) return RouteMouse(root, message, wParam, lParam);
    if (IsKeyMessage(message)) return RouteKey(root, message, wParam, lParam);
    return false;
}

bool WidgetRouter::RouteMouse(Widget& root, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
    GuiState& state = GetGuiState();
    int wheel = 0;
    if (message == platform::kWmMouseWheel) {
        // The wheel carries screen coordinates; the widgets use the last client position.
        wheel = static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
    } else {
        state.mouseX = platform::LParamX(lParam);
        state.mouseY = platform::LParamY(lParam);
    }
    const int x = state.mouseX, y = state.mouseY;

    // A press outside a popup takes its focus away: it closes, and the press goes on to what lies
    // under it.
    const auto under = [&root, x, y](Widget* modal) {
        return modal ? HitWidget(*modal, x, y, true) : HitWidget(root, x, y, false);
    };
    if (IsButtonDown(message)) ClosePopups(root, under(TopModal(root)));

    // A widget holding the capture gets every mouse message while it is shown.
    if (Widget* captured = state.active) {
        if (IsWithin(captured, &root) && captured->IsShownOnScreen()) {
            captured->OnMouse(LocalEvent(*captured, message, wParam, x, y, wheel));
            return true;
        }
    }

    Widget* modal = TopModal(root);
    Widget* target = under(modal);
    SetHot(target);
    if (!target) return modal != nullptr;  // a modal widget keeps the rest of the screen from the mouse
    if (Tooltip* tip = Tooltip::Instance(); tip && tip->IsVisible() && message == platform::kWmMouseMove)
        tip->MoveNear(x, y);
    Deliver(root, target, message, wParam, x, y, wheel);
    return true;
}

bool WidgetRouter::RouteKey(Widget& root, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    const auto key = static_cast<std::uint32_t>(wParam);
    std::uint32_t& taken = GetGuiState().takenKey;
    if (message == platform::kWmChar && HasTakenCharacter(key)) {
        if (std::exchange(taken, 0) == key) return true;
    } else if (message == platform::kWmKeyDown) {
        taken = 0;
    }
    Widget* modal = TopModal(root);
    Widget& scope = modal ? *modal : root;
    if (TopTakesEscape(root, scope, message, wParam)) {
        taken = platform::kVkEscape;
        return true;
    }
    EditBox* edit = TextInputManager::GetFocusedEdit();
    if (edit && IsWithin(edit, &scope) && edit->IsShownOnScreen() && edit->IsEnabled() &&
        edit->OnKey(message, wParam, lParam))
        return true;
    if (message == platform::kWmKeyDown || message == platform::kWmSysKeyDown) {
        if (Widget* hot = FindHotkey(scope, key)) {
            // A button pressed by Enter or Escape takes the character too, so neither the scene (the
            // shot gallery hides its list on Escape) nor an edit box acts on the same key once more.
            if (message == platform::kWmKeyDown && HasTakenCharacter(key)) taken = key;
            hot->OnHotkey();
            return true;
        }
    }
    // A modal widget keeps the keys from everything behind it, the scene included.
    return modal != nullptr;
}

bool WidgetRouter::TopTakesEscape(Widget& root, Widget& scope, std::uint32_t message, std::uintptr_t wParam) {
    if (wParam != platform::kVkEscape || message != platform::kWmKeyDown) return false;
    // An open drop-down list lies above every window: Escape closes the list alone, never the
    // dialog it belongs to.
    if (ComboBox* list = GetGuiState().dropDown; list && IsWithin(list, &root) && list->IsShownOnScreen()) {
        list->Open(false);
        return true;
    }
    Widget* popup = TopPopup(scope);
    if (!popup) return false;
    if (Widget* close = FindHotkey(*popup, platform::kVkEscape))
        close->OnHotkey();
    else
        popup->Show(false);
    return true;
}

Widget* WidgetRouter::FindHotkey(Widget& scope, std::uint32_t vk) {
    const auto& children = scope.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Widget* child = *it;
        if (!child->IsVisible() || !child->IsEnabled()) continue;
        if (Widget* inner = FindHotkey(*child, vk)) return inner;
        if (child->Hotkey() == vk && vk != 0) return child;
    }
    return nullptr;
}

}  // namespace gui

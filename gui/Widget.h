#pragma once
// The widget toolkit's base: a node of a widget tree with a rectangle relative to its parent, a
// control id and hot key, an anchor, alpha, enable and visible flags, an optional image, and
// children drawn and offered input last added first. Events go up as command records to the
// parent's OnCommand, and further up while nobody handles them.
//
// Threads: widgets are made, drawn and given input on the main thread; the update thread ticks
// the tree under the scene manager's widget lock.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/core/Text.h"
#include "gui/FontDesc.h"
#include "gui/GuiConstants.h"
#include "gui/Painter.h"

class ResourceManager;
class RenderDevice;

namespace gui {

class Widget;
class ImageWidget;
class Button;
class TextLabel;
class ComboBox;
class Panel;

// What a widget reports to its parent: the source, its control id and a value (the checked
// state or the mouse button of a click, a radio index, a scroll position + 1, a list choice).
struct CommandEvent {
    Widget* source = nullptr;
    std::uint32_t id = 0;
    std::int32_t value = 0;
    CommandCode code = CommandCode::Event;
};

// A mouse message in the widget's own coordinates.
struct MouseEvent {
    std::uint32_t message = 0;
    int x = 0, y = 0;              // relative to the widget
    int screenX = 0, screenY = 0;  // client coordinates
    std::uintptr_t buttons = 0;
    int wheel = 0;
};

// Interaction state used to pick a frame or a flat colour.
enum class WidgetState : int { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

class Widget {
public:
    Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // --- Virtual operations, in the window class's slot order ----------------------------------
    // The client area (or the parent) now has this size: the widget re-anchors its children.
    virtual void OnResize(int width, int height);
    // Binds what the widget draws with (textures of its images).
    virtual void ApplyResources(ResourceManager* resources, RenderDevice* renderer);
    virtual void OnMoved() {}
    virtual Widget* GetParent() const { return parent_; }
    virtual void SetState(WidgetState state) { state_ = state; }
    // Draws this widget alone at its client position (x, y).
    virtual void Draw(Painter& painter, int x, int y);
    // Draws this widget and then its visible children.
    virtual void DrawTree(Painter& painter, int originX, int originY);
    // Mouse input that hit the widget (or that it captured); true when used.
    virtual bool OnMouse(const MouseEvent& event);
    // Key and character input offered to the widget; true when used.
    virtual bool OnKey(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // Moves the widget to the end of its parent's children: drawn last, offered input first.
    virtual void BringToFront();
    // Moves the widget to the start of its parent's children: drawn first, offered input last.
    void SendToBack();
    // An event of a child (or of a deeper descendant nobody below handled); true when handled.
    virtual bool OnCommand(const CommandEvent& event);
    virtual void OnShow() {}
    virtual void OnHide() {}
    // Runs on visible widgets only, with the time in milliseconds.
    virtual void Tick(std::uint64_t nowMs);
    virtual void OnEnable(bool /*enabled*/) {}
    // The widget loses the mouse capture and the hover (hidden, disabled or destroyed).
    virtual void ReleaseFocus();
    virtual void SetTooltip(const WString& text) { tooltip_ = text; }
    // Shows or hides the widget; its children keep their own flags.
    virtual void Show(bool visible);
    virtual bool Create(int x, int y, int w, int h, std::uint32_t id = 0, std::uint32_t hotkey = 0);
    virtual ~Widget();

    // --- Tree -----------------------------------------------------------------------------------
    // Attaches a child that this widget does not own (shared windows move between scenes).
    void AddChild(Widget* child, bool visible);
    void AddChild(Widget* child) { AddChild(child, child ? child->IsVisible() : false); }
    void RemoveChild(Widget* child);
    // Attaches and owns a child.
    Widget* AdoptChild(std::unique_ptr<Widget> child);
    template <class T, class... A>
    T* Make(A&&... args) {
        return static_cast<T*>(AdoptChild(std::make_unique<T>(std::forward<A>(args)...)));
    }
    const std::vector<Widget*>& Children() const { return children_; }
    Widget* Root();
    // The first descendant with the control id (depth first), or null.
    Widget* FindById(std::uint32_t id);

    // --- Child factories: each makes a child, adds it shown and returns it ----------------------
    ImageWidget* AddImage(int x, int y, int w, int h, const UiImage& image);
    Button* AddButton(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey,
                      const UiImage& image);
    TextLabel* AddLabel(int x, int y, int w, int h, const FontDesc& font, std::uint32_t style = 0,
                        std::uint32_t flags = 0);
    ComboBox* AddComboBox(int x, int y, int w, int h, std::uint32_t id, const FontDesc& font = kFont12);
    Panel* AddPanel(int x, int y, int w, int h);

    // --- Geometry -------------------------------------------------------------------------------
    void MoveTo(int x, int y);
    void MoveBy(int dx, int dy) { MoveTo(x_ + dx, y_ + dy); }
    void Resize(int width, int height);
    void SetSize(int width, int height) { Resize(width, height); }
    void SetRect(int x, int y, int width, int height);
    int X() const { return x_; }
    int Y() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Position in client coordinates (the sum of the parents' positions).
    int ScreenX() const;
    int ScreenY() const;
    // The part of the widget that takes the mouse, relative to it; by default the whole widget.
    void SetHitArea(int x, int y, int width, int height);
    bool HitTest(int localX, int localY) const;
    // A container that shows nothing itself lets the mouse through to what lies behind it (its
    // children still take it); pictures, controls and dialogs do not.
    virtual bool IsMouseTransparent() const { return false; }
    bool HasHitArea() const { return hitW_ >= 0; }
    // Keeps the widget at a side or the centre of its parent (or the client area) on resize.
    void SetAnchor(AnchorH h, int hOffset, AnchorV v, int vOffset);
    void SetAnchor(int hMode, int hOffset, int vMode, int vOffset) {
        SetAnchor(static_cast<AnchorH>(hMode), hOffset, static_cast<AnchorV>(vMode), vOffset);
    }
    // Places every anchored child for a parent of this size, then lays out their children.
    void LayoutChildren(int width, int height);

    // --- Flags and looks ------------------------------------------------------------------------
    // Not recursive and without the show and hide notifications.
    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }
    // Visible itself and every parent.
    bool IsShownOnScreen() const;
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return enabled_; }
    void SetAlpha(float alpha) { alpha_ = alpha < 0 ? 0 : alpha > 1 ? 1 : alpha; }
    float Alpha() const { return alpha_; }
    void SetScale(float sx, float sy) { image_.scaleX = sx, image_.scaleY = sy; }
    void SetImage(const UiImage& image) { image_ = image; }
    void SetImage(int set, int sx, int sy, int sw, int sh, float scaleX = 1.0f, float scaleY = 1.0f) {
        image_ = {set, sx, sy, sw, sh, scaleX, scaleY};
    }
    void SetSourceRect(int sx, int sy, int sw, int sh) {
        image_.x = sx, image_.y = sy, image_.w = sw, image_.h = sh;
    }
    const UiImage& Image() const { return image_; }
    // Size the picture is drawn at: the widget's size, or the source size times a scale other than 1.
    int ImageWidth() const;
    int ImageHeight() const;
    void SetId(std::uint32_t id) { id_ = id; }
    std::uint32_t Id() const { return id_; }
    void SetHotkey(std::uint32_t vk) { hotkey_ = vk; }
    std::uint32_t Hotkey() const { return hotkey_; }
    const WString& TooltipText() const { return tooltip_; }
    WidgetState State() const { return enabled_ ? state_ : WidgetState::Disabled; }
    // A modal widget takes all input while it is shown (dialogs set it).
    bool IsModal() const { return modal_; }
    // Reports mouse enter and leave to the parent (CommandCode::MouseEnter / MouseLeave).
    void SetReportHover(bool on) { reportHover_ = on; }
    bool ReportsHover() const { return reportHover_; }

    // --- Input and time -------------------------------------------------------------------------
    // Offers a window message to this tree: capture first, then the topmost modal widget, then the
    // tree under the mouse; keys go to the focused edit box and then to hot keys. True when used.
    virtual bool RouteMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // Ticks this widget and its visible children.
    void TickTree(std::uint64_t nowMs);
    // ApplyResources on the whole tree.
    void LoadTextures(ResourceManager* resources, RenderDevice* renderer);
    // Sends an event to the parent chain, starting with the parent.
    bool Notify(std::int32_t value, CommandCode code = CommandCode::Event);
    // Takes or gives up the mouse: while captured, every mouse message goes to this widget.
    void SetCapture(bool on);
    bool HasCapture() const;
    // The widget that takes a key press as its hot key; a click by key.
    virtual bool OnHotkey() { return false; }

protected:
    bool modal_ = false;
    // Called by RouteMessage for messages that are neither mouse nor key (default: unused).
    virtual bool OnWidgetMessage(std::uint32_t, std::uintptr_t, std::intptr_t) { return false; }
    // Draws the widget's image, or a flat panel when the image is missing.
    void DrawBackground(Painter& painter, int x, int y, std::uint32_t flatColour, bool border);

private:
    friend class WidgetRouter;
    Widget* parent_ = nullptr;
    std::vector<Widget*> children_;
    std::vector<std::unique_ptr<Widget>> owned_;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    int hitX_ = 0, hitY_ = 0, hitW_ = -1, hitH_ = -1;
    AnchorH anchorH_ = AnchorH::None;
    AnchorV anchorV_ = AnchorV::None;
    int anchorHOffset_ = 0, anchorVOffset_ = 0;
    bool visible_ = false;
    bool enabled_ = true;
    bool reportHover_ = false;
    float alpha_ = 1.0f;
    std::uint32_t id_ = 0;
    std::uint32_t hotkey_ = 0;
    UiImage image_;
    WidgetState state_ = WidgetState::Normal;
    WString tooltip_;
};

// The widget window class: the root of a scene's widget tree and the base of dialogs.
class Panel : public Widget {
public:
    void Draw(Painter& painter, int x, int y) override;
    bool IsMouseTransparent() const override { return Image().set < 0 && !HasHitArea(); }
};

// The toolkit's process-wide pointers: the widget under the mouse (hot), the widget holding the
// mouse capture (active) and the active window (the last dialog shown). Cleared when a scene is
// left so that none points into the old scene's widgets (which lose their hover and pressed looks
// with them); a widget clears them when it goes away.
struct GuiState {
    Widget* hot = nullptr;
    Widget* active = nullptr;
    Widget* focus = nullptr;
    ComboBox* dropDown = nullptr;  // the open drop-down list, drawn above everything
    int mouseX = 0, mouseY = 0;
    int screenWidth = 1024, screenHeight = 768;  // the root's last layout size
    CommandEvent lastCommand;                    // the last command record sent up (read by tests and tools)
    // The Enter or Escape whose key-down the widgets took: its character goes with it.
    std::uint32_t takenKey = 0;
};
GuiState& GetGuiState();
void ClearGuiPointers();
// Set while the render step draws, read by the toolkit.
void SetGuiRendering(bool on);
bool IsGuiRendering();

}  // namespace gui

#pragma once
// Least form of the widget toolkit's base: a node of a widget tree with a position, a size, a
// visible flag and children. The toolkit extends it; the application shell relies only on this.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/Text.h"

class ResourceManager;
class RenderDevice;

namespace gui {

class Widget {
public:
    Widget() = default;
    virtual ~Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // Attaches a child that this widget does not own (it detaches itself when destroyed).
    void AddChild(Widget* child);
    void RemoveChild(Widget* child);
    // Attaches and owns a child.
    Widget* AdoptChild(std::unique_ptr<Widget> child);
    Widget* GetParent() const { return parent_; }
    const std::vector<Widget*>& Children() const { return children_; }

    void MoveTo(int x, int y);
    void SetSize(int width, int height);
    int X() const { return x_; }
    int Y() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    virtual void Show(bool visible);
    bool IsVisible() const { return visible_; }

    // Re-anchors the children for a new client size.
    virtual void LayoutChildren(int width, int height);
    // Offers a window message to the visible children, last added first; true when one took it.
    virtual bool RouteMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // Ticks this widget and its children.
    virtual void TickTree(std::uint64_t nowMs);
    virtual void LoadTextures(ResourceManager* resources, RenderDevice* renderer);

protected:
    virtual bool OnWidgetMessage(std::uint32_t, std::uintptr_t, std::intptr_t) { return false; }
    virtual void Tick(std::uint64_t) {}

private:
    Widget* parent_ = nullptr;
    std::vector<Widget*> children_;
    std::vector<std::unique_ptr<Widget>> owned_;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    bool visible_ = false;
};

// The widget window class: the root of a scene's widget tree and the base of dialogs.
class Panel : public Widget {};

// The toolkit's process-wide pointers; cleared when a scene is left so that none points into
// the old scene's widgets.
struct GuiState {
    Widget* hot = nullptr;
    Widget* active = nullptr;
    Widget* focus = nullptr;
};
GuiState& GetGuiState();
void ClearGuiPointers();
// Set while the render step draws, read by the toolkit.
void SetGuiRendering(bool on);
bool IsGuiRendering();

}  // namespace gui

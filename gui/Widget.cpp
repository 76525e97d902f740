#include "gui/Widget.h"

#include <algorithm>
#include <atomic>

namespace gui {

Widget::~Widget() {
    if (parent_) parent_->RemoveChild(this);
    for (Widget* child : children_) child->parent_ = nullptr;
    children_.clear();
    GuiState& state = GetGuiState();
    if (state.hot == this) state.hot = nullptr;
    if (state.active == this) state.active = nullptr;
    if (state.focus == this) state.focus = nullptr;
}

void Widget::AddChild(Widget* child) {
    if (!child || child == this) return;
    if (child->parent_) child->parent_->RemoveChild(child);
    child->parent_ = this;
    children_.push_back(child);
}

void Widget::RemoveChild(Widget* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return;
    children_.erase(it);
    child->parent_ = nullptr;
}

Widget* Widget::AdoptChild(std::unique_ptr<Widget> child) {
    Widget* raw = child.get();
    AddChild(raw);
    owned_.push_back(std::move(child));
    return raw;
}

void Widget::MoveTo(int x, int y) {
    x_ = x;
    y_ = y;
}

void Widget::SetSize(int width, int height) {
    width_ = width;
    height_ = height;
}

void Widget::Show(bool visible) {
    visible_ = visible;
}

void Widget::LayoutChildren(int width, int height) {
    for (Widget* child : children_) child->LayoutChildren(width, height);
}

bool Widget::RouteMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if ((*it)->IsVisible() && (*it)->RouteMessage(message, wParam, lParam)) return true;
    }
    return OnWidgetMessage(message, wParam, lParam);
}

void Widget::TickTree(std::uint64_t nowMs) {
    Tick(nowMs);
    for (Widget* child : children_) child->TickTree(nowMs);
}

void Widget::LoadTextures(ResourceManager* resources, RenderDevice* renderer) {
    for (Widget* child : children_) child->LoadTextures(resources, renderer);
}

GuiState& GetGuiState() {
    static GuiState state;
    return state;
}

void ClearGuiPointers() {
    GetGuiState() = GuiState{};
}

namespace {
std::atomic<bool> gGuiRendering{false};
}

void SetGuiRendering(bool on) {
    gGuiRendering.store(on, std::memory_order_relaxed);
}
bool IsGuiRendering() {
    return gGuiRendering.load(std::memory_order_relaxed);
}

}  // namespace gui

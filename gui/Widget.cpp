#include "gui/Widget.h"

#include <algorithm>
#include <atomic>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/ImageWidget.h"
#include "gui/Overlays.h"
#include "gui/TextLabel.h"
#include "gui/WidgetRouter.h"

namespace gui {

namespace {

// The sides of one axis that an anchor keeps a widget at.
enum class Side { Kept, Near, Far, Middle };

Side AnchorSide(AnchorH mode) {
    return mode == AnchorH::Left     ? Side::Near
           : mode == AnchorH::Right  ? Side::Far
           : mode == AnchorH::Center ? Side::Middle
                                     : Side::Kept;
}
Side AnchorSide(AnchorV mode) {
    return mode == AnchorV::Top      ? Side::Near
           : mode == AnchorV::Bottom ? Side::Far
           : mode == AnchorV::Center ? Side::Middle
                                     : Side::Kept;
}

int AnchorPosition(Side side, int current, int offset, int parentSize, int ownSize) {
    switch (side) {
        case Side::Near:
            return offset;
        case Side::Far:
            return parentSize - ownSize + offset;
        case Side::Middle:
            return (parentSize - ownSize) / 2 + offset;
        case Side::Kept:
            break;
    }
    return current;
}

}  // namespace

Widget::Widget() = default;

Widget::~Widget() {
    ReleaseFocus();
    GuiState& state = GetGuiState();
    if (state.focus == this) state.focus = nullptr;
    if (state.lastCommand.source == this) state.lastCommand = {};
    if (parent_) parent_->RemoveChild(this);
    for (Widget* child : children_) child->parent_ = nullptr;
    children_.clear();
    // Owned children go with their owner; detach them first so none reaches back into it.
    for (auto& child : owned_) child->parent_ = nullptr;
}

void Widget::OnResize(int width, int height) {
    LayoutChildren(width, height);
}

void Widget::ApplyResources(ResourceManager*, RenderDevice*) {}

void Widget::Draw(Painter& painter, int x, int y) {
    if (image_.Valid()) painter.Image(image_, x, y, ImageWidth(), ImageHeight());
}

void Widget::DrawTree(Painter& painter, int originX, int originY) {
    if (!visible_) return;
    const float saved = painter.alpha;
    painter.alpha *= alpha_;
    const int x = originX + x_, y = originY + y_;
    Draw(painter, x, y);
    for (std::size_t i = 0; i < children_.size(); ++i) children_[i]->DrawTree(painter, x, y);
    painter.alpha = saved;
}

void Widget::DrawBackground(Painter& painter, int x, int y, std::uint32_t flatColour, bool border) {
    if (painter.Image(image_, x, y, ImageWidth(), ImageHeight())) return;
    painter.Fill(x, y, width_, height_, flatColour);
    if (border) painter.Border(x, y, width_, height_, skin::kPanelBorder);
}

bool Widget::OnMouse(const MouseEvent&) {
    return false;
}

bool Widget::OnKey(std::uint32_t, std::uintptr_t, std::intptr_t) {
    return false;
}

void Widget::BringToFront() {
    if (!parent_) return;
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end()) std::rotate(it, it + 1, siblings.end());
}

void Widget::SendToBack() {
    if (!parent_) return;
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end()) std::rotate(siblings.begin(), it, it + 1);
}

bool Widget::OnCommand(const CommandEvent&) {
    return false;
}

void Widget::Tick(std::uint64_t) {}

void Widget::ReleaseFocus() {
    GuiState& state = GetGuiState();
    if (state.hot == this) {
        state.hot = nullptr;
        if (Tooltip* tip = Tooltip::Instance()) tip->Show(false);
    }
    if (state.active == this) state.active = nullptr;
    if (state_ != WidgetState::Normal) state_ = WidgetState::Normal;
}

void Widget::Show(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (visible) {
        OnShow();
        return;
    }
    // The hover and the capture never stay on a hidden widget or inside it.
    GuiState& state = GetGuiState();
    if (state.hot && WidgetRouter::IsWithin(state.hot, this)) state.hot->ReleaseFocus();
    if (state.active && WidgetRouter::IsWithin(state.active, this)) state.active->ReleaseFocus();
    OnHide();
}

bool Widget::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    SetRect(x, y, w, h);
    id_ = id;
    hotkey_ = hotkey;
    return true;
}

void Widget::AddChild(Widget* child, bool visible) {
    if (!child || child == this || WidgetRouter::IsWithin(this, child)) return;
    if (child->parent_) child->parent_->RemoveChild(child);
    child->parent_ = this;
    child->visible_ = visible;
    children_.push_back(child);
}

void Widget::RemoveChild(Widget* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return;
    children_.erase(it);
    child->parent_ = nullptr;
    GuiState& state = GetGuiState();
    if (state.hot && WidgetRouter::IsWithin(state.hot, child)) state.hot->ReleaseFocus();
    if (state.active && WidgetRouter::IsWithin(state.active, child)) state.active->ReleaseFocus();
}

Widget* Widget::AdoptChild(std::unique_ptr<Widget> child) {
    Widget* raw = child.get();
    if (!raw) return nullptr;
    AddChild(raw, true);
    owned_.push_back(std::move(child));
    return raw;
}

Widget* Widget::Root() {
    Widget* w = this;
    while (w->parent_) w = w->parent_;
    return w;
}

Widget* Widget::FindById(std::uint32_t id) {
    for (Widget* child : children_) {
        if (child->id_ == id) return child;
        if (Widget* found = child->FindById(id)) return found;
    }
    return nullptr;
}

ImageWidget* Widget::AddImage(int x, int y, int w, int h, const UiImage& image) {
    auto* widget = Make<ImageWidget>();
    widget->Create(x, y, w, h);
    widget->SetImage(image);
    return widget;
}

Button* Widget::AddButton(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey,
                          const UiImage& image) {
    auto* button = Make<Button>();
    button->Create(x, y, w, h, id, hotkey);
    button->SetImage(image);
    return button;
}

TextLabel* Widget::AddLabel(int x, int y, int w, int h, const FontDesc& font, std::uint32_t style,
                            std::uint32_t flags) {
    auto* label = Make<TextLabel>();
    label->Create(x, y, w, h);
    label->SetFont(font);
    label->SetStyle(style);
    label->SetFormat(flags, 0, 0);
    return label;
}

ComboBox* Widget::AddComboBox(int x, int y, int w, int h, std::uint32_t id, const FontDesc& font) {
    auto* combo = Make<ComboBox>();
    combo->Create(x, y, w, h, id, 0);
    combo->SetFont(font);
    return combo;
}

Panel* Widget::AddPanel(int x, int y, int w, int h) {
    auto* panel = Make<Panel>();
    panel->Create(x, y, w, h);
    return panel;
}

void Widget::MoveTo(int x, int y) {
    if (x == x_ && y == y_) return;
    x_ = x;
    y_ = y;
    OnMoved();
}

void Widget::Resize(int width, int height) {
    width_ = width;
    height_ = height;
}

void Widget::SetRect(int x, int y, int width, int height) {
    Resize(width, height);
    MoveTo(x, y);
}

int Widget::ImageWidth() const {
    return image_.scaleX == 1.0f ? width_
                                 : static_cast<int>(static_cast<float>(image_.w) * image_.scaleX + 0.5f);
}

int Widget::ImageHeight() const {
    return image_.scaleY == 1.0f ? height_
                                 : static_cast<int>(static_cast<float>(image_.h) * image_.scaleY + 0.5f);
}

int Widget::ScreenX() const {
    int x = x_;
    for (const Widget* p = parent_; p; p = p->parent_) x += p->x_;
    return x;
}

int Widget::ScreenY() const {
    int y = y_;
    for (const Widget* p = parent_; p; p = p->parent_) y += p->y_;
    return y;
}

void Widget::SetHitArea(int x, int y, int width, int height) {
    hitX_ = x, hitY_ = y, hitW_ = width, hitH_ = height;
}

bool Widget::HitTest(int localX, int localY) const {
    if (hitW_ < 0) return localX >= 0 && localY >= 0 && localX < width_ && localY < height_;
    return localX >= hitX_ && localY >= hitY_ && localX < hitX_ + hitW_ && localY < hitY_ + hitH_;
}

void Widget::SetAnchor(AnchorH h, int hOffset, AnchorV v, int vOffset) {
    anchorH_ = h;
    anchorV_ = v;
    anchorHOffset_ = hOffset;
    anchorVOffset_ = vOffset;
}

void Widget::LayoutChildren(int width, int height) {
    if (!parent_) {
        GetGuiState().screenWidth = width;
        GetGuiState().screenHeight = height;
    }
    for (Widget* child : children_) {
        const int x = AnchorPosition(AnchorSide(child->anchorH_), child->x_, child->anchorHOffset_, width,
                                     child->width_);
        const int y = AnchorPosition(AnchorSide(child->anchorV_), child->y_, child->anchorVOffset_, height,
                                     child->height_);
        child->MoveTo(x, y);
        child->OnResize(child->width_, child->height_);
    }
}

bool Widget::IsShownOnScreen() const {
    for (const Widget* w = this; w; w = w->parent_) {
        if (!w->visible_) return false;
    }
    return true;
}

void Widget::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled) ReleaseFocus();
    OnEnable(enabled);
}

bool Widget::RouteMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return WidgetRouter::Route(*this, message, wParam, lParam);
}

void Widget::TickTree(std::uint64_t nowMs) {
    if (!visible_) return;
    Tick(nowMs);
    // A tick may hide or re-order widgets; walk a copy.
    const std::vector<Widget*> children = children_;
    for (Widget* child : children) child->TickTree(nowMs);
}

void Widget::LoadTextures(ResourceManager* resources, RenderDevice* renderer) {
    ApplyResources(resources, renderer);
    for (Widget* child : children_) child->LoadTextures(resources, renderer);
}

bool Widget::Notify(std::int32_t value, CommandCode code) {
    const CommandEvent event{this, id_, value, code};
    GetGuiState().lastCommand = event;
    for (Widget* p = parent_; p; p = p->parent_) {
        if (p->OnCommand(event)) return true;
    }
    return false;
}

void Widget::SetCapture(bool on) {
    GuiState& state = GetGuiState();
    if (on)
        state.active = this;
    else if (state.active == this)
        state.active = nullptr;
}

bool Widget::HasCapture() const {
    return GetGuiState().active == this;
}

void Panel::Draw(Painter& painter, int x, int y) {
    // A panel that names no picture is a bare container (a scene's root, a group of controls);
    // one whose picture is missing draws as a flat panel.
    if (Image().set < 0) return;
    DrawBackground(painter, x, y, skin::kPanel, true);
}

GuiState& GetGuiState() {
    static GuiState state;
    return state;
}

void ClearGuiPointers() {
    GuiState& state = GetGuiState();
    // The widgets the pointers leave lose their hover and pressed looks too: a button clicked to change
    // the scene would still look lit when its scene comes back.
    for (Widget* widget : {state.hot, state.active})
        if (widget) widget->ReleaseFocus();
    if (Tooltip* tip = Tooltip::Instance()) tip->Show(false);
    const int w = state.screenWidth, h = state.screenHeight;
    state = GuiState{};
    state.screenWidth = w;
    state.screenHeight = h;
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

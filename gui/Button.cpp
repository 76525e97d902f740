#include "gui/Button.h"

#include <algorithm>

#include "gui/TextLabel.h"
#include "platform/window/WindowCodes.h"

namespace gui {

TextLabel* Button::AddCaption(const WString& text, const FontDesc& font, std::uint32_t argb) {
    TextLabel* label =
        AddLabel(0, 0, Width(), Height(), font, label_style::kShadow, align::kCenter | align::kVCenter);
    label->SetPlainText(text);
    label->SetColors(argb, 0xC0000000);
    return label;
}

void Button::SetRadioMode(int group) {
    group_ = group;
    SetFrameCount(kMaxFrames);
}

void Button::SetChecked(bool checked) {
    checked_ = checked;
    if (!checked || group_ < 0 || !GetParent()) return;
    for (Widget* sibling : GetParent()->Children()) {
        auto* other = dynamic_cast<Button*>(sibling);
        if (other && other != this && other->group_ == group_) other->checked_ = false;
    }
}

int Button::RadioIndex() const {
    if (group_ < 0 || !GetParent()) return 0;
    int index = 0;
    for (Widget* sibling : GetParent()->Children()) {
        if (sibling == this) return index;
        auto* other = dynamic_cast<Button*>(sibling);
        if (other && other->group_ == group_) ++index;
    }
    return index;
}

int Button::CurrentFrame() const {
    const WidgetState state = State();
    const bool checked = checked_ && (toggle_ || group_ >= 0);
    if (frames_ >= 7 && checked) {
        if (state == WidgetState::Disabled) return 6;
        if (state == WidgetState::Pressed) return 2;
        return state == WidgetState::Hover ? 5 : 4;
    }
    if (checked) return frames_ >= 3 ? 2 : frames_ - 1;
    switch (state) {
        case WidgetState::Normal:
            return 0;
        case WidgetState::Hover:
            return frames_ >= 2 ? 1 : 0;
        case WidgetState::Pressed:
            return frames_ >= 3 ? 2 : frames_ - 1;
        case WidgetState::Disabled:
            return frames_ >= 4 ? 3 : 0;
    }
    return 0;
}

void Button::Click(int mouseButton) {
    if (!IsEnabled()) return;
    std::int32_t value = mouseButton;
    if (group_ >= 0) {
        SetChecked(true);
        value = RadioIndex();
    } else if (toggle_) {
        checked_ = !checked_;
        value = checked_ ? 1 : 0;
    }
    Notify(value);
}

void Button::DrawCheckMarkBox(Painter& painter, int x, int y) {
    const WidgetState state = State();
    const int size = std::min(16, Height() - 4);
    const int bx = x + 2, by = y + (Height() - size) / 2;
    painter.Fill(bx, by, size, size, state == WidgetState::Disabled ? skin::kButtonDisabled : skin::kEdit);
    painter.Border(
        bx, by, size, size,
        state == WidgetState::Hover || state == WidgetState::Pressed ? skin::kEditFocus : skin::kPanelBorder);
    if (checked_)
        painter.Text(kFont14Bold, u"\u2714", bx, by, size, size, align::kCenter | align::kVCenter,
                     state == WidgetState::Disabled ? skin::kTextDisabled : skin::kChecked);
    const int textX = bx + size + 6;
    painter.Text(font_, caption_, textX, y, x + Width() - textX, Height(), align::kVCenter,
                 state == WidgetState::Disabled ? skin::kTextDisabled : captionColour_, 0xC0000000);
}

void Button::Draw(Painter& painter, int x, int y) {
    const WidgetState state = State();
    const bool checked = checked_ && (toggle_ || group_ >= 0);
    const bool pictured = Image().Valid() && painter.HasImage(Image());
    if (checkMark_ && toggle_ && !pictured) {
        DrawCheckMarkBox(painter, x, y);
        return;
    }
    if (!pictured) {
        // Flat stand-in: a bevelled face coloured by state, sunken while pressed or checked.
        std::uint32_t face = state == WidgetState::Hover      ? skin::kButtonHover
                             : state == WidgetState::Pressed  ? skin::kButtonPressed
                             : state == WidgetState::Disabled ? skin::kButtonDisabled
                                                              : skin::kButton;
        if (checked && state != WidgetState::Disabled) face = skin::kChecked;
        painter.Bevel(x, y, Width(), Height(), face, state == WidgetState::Pressed || checked);
    } else {
        const float saved = painter.alpha;
        // A strip without a disabled frame shows its normal frame dimmed.
        if (state == WidgetState::Disabled && frames_ < 4) painter.alpha *= 0.5f;
        painter.Image(Image().Frame(CurrentFrame()), x, y, Width(), Height());
        painter.alpha = saved;
    }
    if (!caption_.empty()) {
        const int shift = state == WidgetState::Pressed ? 1 : 0;
        painter.Text(font_, caption_, x + shift, y + shift, Width(), Height(),
                     align::kCenter | align::kVCenter,
                     state == WidgetState::Disabled ? skin::kTextDisabled : captionColour_, 0xC0000000);
    }
}

bool Button::OnMouse(const MouseEvent& event) {
    switch (event.message) {
        case platform::kWmLButtonDown:
        case platform::kWmLButtonDblClk:
        case platform::kWmRButtonDown:
            pressedButton_ = event.message == platform::kWmRButtonDown ? 1 : 0;
            SetCapture(true);
            SetState(WidgetState::Pressed);
            return true;
        case platform::kWmLButtonUp:
        case platform::kWmRButtonUp: {
            const int button = event.message == platform::kWmRButtonUp ? 1 : 0;
            if (!HasCapture() || pressedButton_ != button) return false;
            SetCapture(false);
            pressedButton_ = -1;
            const bool inside = HitTest(event.x, event.y);
            SetState(inside ? WidgetState::Hover : WidgetState::Normal);
            if (inside) Click(button);
            return true;
        }
        case platform::kWmMouseMove:
            if (HasCapture())
                SetState(HitTest(event.x, event.y) ? WidgetState::Pressed : WidgetState::Normal);
            return true;
        default:
            return false;
    }
}

bool Button::OnHotkey() {
    Click(0);
    return true;
}

}  // namespace gui

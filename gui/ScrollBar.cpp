#include "gui/ScrollBar.h"

#include <algorithm>

#include "gui/Button.h"
#include "platform/window/WindowCodes.h"

namespace gui {

namespace {
constexpr std::uint32_t kDecId = 1, kIncId = 2;
constexpr int kMinThumb = 12;
}  // namespace

ScrollBar::ScrollBar() = default;

bool ScrollBar::Create(int x, int y, int w, int h, std::uint32_t id, Orientation orientation, int range,
                       int) {
    Widget::Create(x, y, w, h, id, 0);
    orientation_ = orientation;
    if (!dec_) dec_ = AddButton(0, 0, 1, 1, kDecId, 0, {});
    if (!inc_) inc_ = AddButton(0, 0, 1, 1, kIncId, 0, {});
    // Without pictures the buttons carry arrow captions.
    const bool vertical = orientation == Orientation::Vertical;
    dec_->SetCaption(vertical ? u"\u25B2" : u"\u25C0");
    inc_->SetCaption(vertical ? u"\u25BC" : u"\u25B6");
    dec_->SetCaptionFont(kFont10);
    inc_->SetCaptionFont(kFont10);
    PlaceButtons();
    SetRange(range);
    return true;
}

namespace {
// A pictured arrow button needs no arrow caption.
Button* SetArrowPicture(Button* button, const UiImage& image) {
    if (button) {
        button->SetImage(image);
        button->SetFrameCount(4);
        button->SetCaption({});
    }
    return button;
}
}  // namespace

Button* ScrollBar::AddDecButton(const UiImage& image) {
    return SetArrowPicture(dec_, image);
}

Button* ScrollBar::AddIncButton(const UiImage& image) {
    return SetArrowPicture(inc_, image);
}

int ScrollBar::ButtonSize() const {
    return orientation_ == Orientation::Vertical ? Width() : Height();
}

int ScrollBar::TrackLength() const {
    const int length = orientation_ == Orientation::Vertical ? Height() : Width();
    return std::max(0, length - 2 * ButtonSize());
}

int ScrollBar::ThumbLength() const {
    const int track = TrackLength();
    return std::min(track, std::max(kMinThumb, track / range_));
}

void ScrollBar::PlaceButtons() {
    const int s = ButtonSize();
    if (orientation_ == Orientation::Vertical) {
        dec_->SetRect(0, 0, s, s);
        inc_->SetRect(0, Height() - s, s, s);
    } else {
        dec_->SetRect(0, 0, s, s);
        inc_->SetRect(Width() - s, 0, s, s);
    }
}

void ScrollBar::OnResize(int width, int height) {
    if (dec_ && inc_) PlaceButtons();
    Widget::OnResize(width, height);
}

void ScrollBar::SetRange(int range) {
    range_ = std::max(1, range);
    if (pos_ > range_ - 1) pos_ = range_ - 1;
}

void ScrollBar::SetPos(int pos, bool notify) {
    pos = std::clamp(pos, 0, range_ - 1);
    const bool changed = pos != pos_;
    pos_ = pos;
    if (notify && changed) Notify(pos_ + 1);
}

void ScrollBar::ThumbRect(int& x, int& y, int& w, int& h) const {
    const int span = TrackLength() - ThumbLength();
    const int offset = ButtonSize() + (range_ > 1 ? span * pos_ / (range_ - 1) : 0);
    if (orientation_ == Orientation::Vertical) {
        x = 0, y = offset, w = Width(), h = ThumbLength();
    } else {
        x = offset, y = 0, w = ThumbLength(), h = Height();
    }
}

int ScrollBar::PosFromOffset(int offset) const {
    const int span = TrackLength() - ThumbLength();
    if (span <= 0 || range_ <= 1) return 0;
    const int along = std::clamp(offset - ButtonSize(), 0, span);
    return (along * (range_ - 1) + span / 2) / span;
}

void ScrollBar::Draw(Painter& painter, int x, int y) {
    if (!painter.Image(Image(), x, y, Width(), Height())) {
        painter.Fill(x, y, Width(), Height(), skin::kTrack);
        painter.Border(x, y, Width(), Height(), skin::kDark);
    }
    int tx, ty, tw, th;
    ThumbRect(tx, ty, tw, th);
    if (!painter.Image(thumbImage_, x + tx, y + ty, tw, th))
        painter.Bevel(x + tx + 1, y + ty, tw - 2, th, dragging_ ? skin::kButtonHover : skin::kButton);
}

bool ScrollBar::OnMouse(const MouseEvent& event) {
    const int along = orientation_ == Orientation::Vertical ? event.y : event.x;
    int tx, ty, tw, th;
    ThumbRect(tx, ty, tw, th);
    const int thumbStart = orientation_ == Orientation::Vertical ? ty : tx;
    switch (event.message) {
        case platform::kWmLButtonDown:
        case platform::kWmLButtonDblClk:
            if (along >= thumbStart && along < thumbStart + ThumbLength()) {
                dragging_ = true;
                dragGrab_ = along - thumbStart;
                SetCapture(true);
            } else {
                SetPos(pos_ + (along < thumbStart ? -1 : 1), true);
            }
            return true;
        case platform::kWmMouseMove:
            if (dragging_) SetPos(PosFromOffset(along - dragGrab_), true);
            return true;
        case platform::kWmLButtonUp:
            if (dragging_) {
                dragging_ = false;
                SetCapture(false);
            }
            return true;
        case platform::kWmMouseWheel:
            SetPos(pos_ - event.wheel / platform::kWheelDelta, true);
            return true;
        default:
            return false;
    }
}

bool ScrollBar::OnCommand(const CommandEvent& event) {
    if (event.source == dec_ && event.code == CommandCode::Event) {
        SetPos(pos_ - 1, true);
        return true;
    }
    if (event.source == inc_ && event.code == CommandCode::Event) {
        SetPos(pos_ + 1, true);
        return true;
    }
    return false;
}

}  // namespace gui

#pragma once
// A scroll bar over `range` positions (at least 1): a decrease button, a track with a thumb that
// can be dragged or clicked beside, and an increase button. A change is reported to the parent
// with the position + 1 (1-based), as the lists page with a 1-based first row.

#include "gui/Widget.h"

namespace gui {

class Button;

enum class Orientation : int { Vertical = 0, Horizontal = 1 };

class ScrollBar : public Widget {
public:
    ScrollBar();

    bool Create(int x, int y, int w, int h, std::uint32_t id, Orientation orientation, int range,
                int flag = 0);
    using Widget::Create;
    // Pictures of the parts (four-frame strips for the buttons); without them they draw flat.
    Button* AddDecButton(const UiImage& image);
    Button* AddIncButton(const UiImage& image);
    void AddThumb(const UiImage& image) { thumbImage_ = image; }
    void SetTrackImage(const UiImage& image) { SetImage(image); }

    // Number of positions, at least 1; the position is kept inside.
    void SetRange(int range);
    int Range() const { return range_; }
    // 0-based position; notify reports the change (position + 1) to the parent.
    void SetPos(int pos, bool notify);
    int Pos() const { return pos_; }
    Orientation GetOrientation() const { return orientation_; }

    // Thumb rectangle relative to the bar (tests and drawing).
    void ThumbRect(int& x, int& y, int& w, int& h) const;

    void Draw(Painter& painter, int x, int y) override;
    bool OnMouse(const MouseEvent& event) override;
    bool OnCommand(const CommandEvent& event) override;
    void OnResize(int width, int height) override;

private:
    int ButtonSize() const;
    int TrackLength() const;
    int ThumbLength() const;
    int PosFromOffset(int offset) const;
    void PlaceButtons();

    Orientation orientation_ = Orientation::Vertical;
    int range_ = 1;
    int pos_ = 0;
    Button* dec_ = nullptr;
    Button* inc_ = nullptr;
    UiImage thumbImage_;
    bool dragging_ = false;
    int dragGrab_ = 0;  // where on the thumb it was taken, along the bar
};

}  // namespace gui

#pragma once
// A number drawn with digit pictures from an image strip (cells 0 to 9 left to right), aligned in
// its digit cells, with optional leading zeros; as text where the strip is missing.

#include "gui/Widget.h"

namespace gui {

class NumberDisplay : public Widget {
public:
    // x, y, the size of one digit, the number of digit cells, and the strip (set, u, v, cells).
    bool Create(int x, int y, int digitWidth, int digitHeight, int digitCount, int set, int u, int v,
                int cells);
    // The same with a strip whose cells have a size of their own (one cell given); each digit is
    // scaled from its whole cell into the digit size.
    bool Create(int x, int y, int digitWidth, int digitHeight, int digitCount, const UiImage& cell,
                int cells);
    using Widget::Create;
    // align::kLeft, kCenter or kRight.
    void SetAlign(std::uint32_t flags) { align_ = flags; }
    void SetValue(std::int64_t value) { value_ = value; }
    std::int64_t Value() const { return value_; }
    void SetLeadingZeros(bool on) { leadingZeros_ = on; }
    // The digits shown: the value's last digitCount digits ("-" first for a negative value),
    // padded with zeros to the cell count when leading zeros are on.
    WString Digits() const;

    void Draw(Painter& painter, int x, int y) override;

private:
    int digitWidth_ = 0, digitHeight_ = 0, digitCount_ = 1, cells_ = 10;
    std::uint32_t align_ = align::kRight;
    std::int64_t value_ = 0;
    bool leadingZeros_ = false;
};

}  // namespace gui

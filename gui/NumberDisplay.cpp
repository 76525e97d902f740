#include "gui/NumberDisplay.h"

namespace gui {

bool NumberDisplay::Create(int x, int y, int digitWidth, int digitHeight, int digitCount, int set, int u,
                           int v, int cells) {
    digitWidth_ = digitWidth;
    digitHeight_ = digitHeight;
    digitCount_ = digitCount < 1 ? 1 : digitCount;
    cells_ = cells;
    Widget::Create(x, y, digitWidth_ * digitCount_, digitHeight_, 0, 0);
    SetImage(set, u, v, digitWidth, digitHeight);
    return true;
}

bool NumberDisplay::Create(int x, int y, int digitWidth, int digitHeight, int digitCount, const UiImage& cell,
                           int cells) {
    Create(x, y, digitWidth, digitHeight, digitCount, cell.set, cell.x, cell.y, cells);
    SetImage(cell.set, cell.x, cell.y, cell.w, cell.h);
    return true;
}

WString NumberDisplay::Digits() const {
    const bool negative = value_ < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value_) : static_cast<std::uint64_t>(value_);
    WString digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    const std::size_t room = static_cast<std::size_t>(digitCount_) - (negative ? 1 : 0);
    if (digits.size() > room) digits.erase(0, digits.size() - room);
    if (leadingZeros_) digits.insert(0, room - digits.size(), u'0');
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

void NumberDisplay::Draw(Painter& painter, int x, int y) {
    const WString digits = Digits();
    const int used = static_cast<int>(digits.size()) * digitWidth_;
    int left = x;
    if (align_ & align::kRight) left = x + Width() - used;
    if (align_ & align::kCenter) left = x + (Width() - used) / 2;
    if (!painter.HasImage(Image()) || cells_ < 10) {
        painter.Text(FontDesc{u"Tahoma", digitHeight_, 700, 0}, digits, left, y, used, digitHeight_,
                     align::kVCenter, skin::kText, 0xC0000000);
        return;
    }
    for (char16_t c : digits) {
        // A strip of ten cells has no minus sign; the minus draws as text.
        if (c == u'-')
            painter.Text(kFont12Bold, u"-", left, y, digitWidth_, digitHeight_,
                         align::kCenter | align::kVCenter, skin::kText);
        else
            painter.Image(Image().Frame(c - u'0'), left, y, digitWidth_, digitHeight_);
        left += digitWidth_;
    }
}

}  // namespace gui

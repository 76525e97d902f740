#pragma once
// One line of text in a rectangle: printf-style text, a colour and a second colour (the shadow or
// outline of the style), alignment with offsets. Labels let the mouse through to what lies under
// them unless given a hit area.

#include "engine/core/Format.h"
#include "gui/Widget.h"

namespace gui {

// Label styles.
namespace label_style {
constexpr std::uint32_t kPlain = 0;
constexpr std::uint32_t kShadow = 1;   // the second colour one pixel below right
constexpr std::uint32_t kOutline = 2;  // the second colour around the text
}  // namespace label_style

class TextLabel : public Widget {
public:
    TextLabel();

    // The system's wide printf formats ("%s", "%d", "%%" ...).
    template <class... A>
    void SetText(WStringView format, const A&... args) {
        SetPlainText(Format(format, args...));
    }
    void SetPlainText(WString text) { text_ = std::move(text); }
    // The text, cut to the label's width and closed with "..." when it is wider.
    void SetFittedText(const WString& text) { text_ = FitTextToWidth(font_, text, Width()); }
    const WString& Text() const { return text_; }
    void SetColors(std::uint32_t text, std::uint32_t second) { colour_ = text, second_ = second; }
    std::uint32_t Colour() const { return colour_; }
    std::uint32_t SecondColour() const { return second_; }
    // Alignment flags (align::) and offsets of the text inside the rectangle.
    void SetFormat(std::uint32_t flags, int dx, int dy) { flags_ = flags, dx_ = dx, dy_ = dy; }
    std::uint32_t Flags() const { return flags_; }
    void SetStyle(std::uint32_t style) { style_ = style; }
    void SetFont(const FontDesc& font) { font_ = font; }
    const FontDesc& Font() const { return font_; }
    // Width of the text in pixels.
    int MeasureText() const { return MeasureTextWidth(font_, text_); }

    void Draw(Painter& painter, int x, int y) override;

private:
    WString text_;
    FontDesc font_ = kFont12;
    std::uint32_t colour_ = skin::kText;
    std::uint32_t second_ = 0xFF000000;
    std::uint32_t flags_ = align::kVCenter;
    std::uint32_t style_ = label_style::kPlain;
    int dx_ = 0, dy_ = 0;
};

}  // namespace gui

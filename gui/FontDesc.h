#pragma once
// Font descriptions of the toolkit and the fixed descriptors the screens use. Text is drawn and
// measured through the render device's fonts; without a device a measuring font of the same
// description stands in, so layouts computed headless match the drawn ones.

#include <cstdint>
#include <vector>

#include "engine/core/Text.h"

namespace gui {

struct FontDesc {
    const char16_t* face = u"Tahoma";
    std::int32_t height = 12;  // pixels
    std::int32_t weight = 400;
    std::uint32_t flag = 0;  // an extra style bit some descriptors carry (drawn like the plain one)
};

inline bool operator==(const FontDesc& a, const FontDesc& b) {
    return WStringView(a.face) == WStringView(b.face) && a.height == b.height && a.weight == b.weight &&
           a.flag == b.flag;
}

// The process's fixed font descriptions, all of them: every screen takes its fonts from here.
inline constexpr FontDesc kFont10{u"Tahoma", 10, 400, 0};
inline constexpr FontDesc kFont12{u"Tahoma", 12, 400, 0};
inline constexpr FontDesc kFont12Bold{u"Tahoma", 12, 700, 0};
inline constexpr FontDesc kFont14{u"Tahoma", 14, 400, 0};
inline constexpr FontDesc kFont14Bold{u"Tahoma", 14, 700, 0};
inline constexpr FontDesc kFont16{u"Tahoma", 16, 400, 0};
inline constexpr FontDesc kFont16Bold{u"Tahoma", 16, 700, 0};
inline constexpr FontDesc kFont12BoldExtra{u"Tahoma", 12, 700, 1};
inline constexpr FontDesc kFont14BoldExtra{u"Tahoma", 14, 700, 1};
inline constexpr FontDesc kFont16BoldExtra{u"Tahoma", 16, 700, 1};
inline constexpr FontDesc kFont18BoldExtra{u"Tahoma", 18, 700, 1};
inline constexpr FontDesc kFont20BoldExtra{u"Tahoma", 20, 700, 1};

// Width in pixels of one line of text; any thread. Without a font file: an estimate of 0.6 x height per
// Latin character and 1 x height per wide (Hangul) character.
int MeasureTextWidth(const FontDesc& desc, WStringView text);

// The text, cut at the end and closed with "..." when it is wider than `width` pixels.
WString FitTextToWidth(const FontDesc& font, const WString& text, int width);
// The text broken into lines no wider than `width` pixels: at its line breaks, then between words
// (inside a word only where the word alone is wider). With more than `maxLines` lines the last one
// kept ends in "...".
std::vector<WString> WrapTextToWidth(const FontDesc& font, WStringView text, int width, int maxLines);

}  // namespace gui

#include "gui/FontDesc.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <utility>

#include "engine/render/Font.h"

namespace gui {

namespace {
// Labels are measured from the main thread and, through widget ticks, from the update thread.
std::mutex gMeasureMutex;

// A font of the description without a device (measuring only); null when no font file exists.
Font* MeasuringFont(const FontDesc& desc) {
    std::lock_guard lock(gMeasureMutex);
    using Key = std::tuple<WString, std::int32_t, std::int32_t>;
    static std::map<Key, std::unique_ptr<Font>> fonts;
    const Key key{WString(desc.face), desc.height, desc.weight};
    auto it = fonts.find(key);
    if (it == fonts.end())
        it = fonts.emplace(key, Font::Create(nullptr, desc.face, desc.height, desc.weight, 0)).first;
    return it->second.get();
}

}  // namespace

int MeasureTextWidth(const FontDesc& desc, WStringView text) {
    if (text.empty()) return 0;
    if (Font* font = MeasuringFont(desc)) {
        int width = 0, height = 0;
        std::lock_guard lock(gMeasureMutex);
        font->Measure(text, width, height);
        return width;
    }
    int width = 0;
    for (char16_t c : text) width += c >= 0x1100 ? desc.height : desc.height * 6 / 10;
    return width;
}

WString FitTextToWidth(const FontDesc& font, const WString& text, int width) {
    if (MeasureTextWidth(font, text) <= width) return text;
    const WString dots = u"...";
    WString cut = text;
    while (!cut.empty()) {
        cut.pop_back();
        if (MeasureTextWidth(font, cut + dots) <= width) return cut + dots;
    }
    return MeasureTextWidth(font, dots) <= width ? dots : WString();
}

std::vector<WString> WrapTextToWidth(const FontDesc& font, WStringView text, int width, int maxLines) {
    std::vector<WString> lines;
    bool cut = false;
    const auto push = [&](WString line) {
        if (static_cast<int>(lines.size()) < maxLines)
            lines.push_back(std::move(line));
        else
            cut = true;
    };
    std::size_t at = 0;
    while (at <= text.size() && !cut) {
        const std::size_t end = std::min(text.find(u'\n', at), text.size());
        const WStringView paragraph = text.substr(at, end - at);
        WString line;
        std::size_t word = 0;
        while (word < paragraph.size()) {
            std::size_t next = paragraph.find(u' ', word);
            if (next == WStringView::npos) next = paragraph.size();
            const WString piece(paragraph.substr(word, next - word));
            const WString joined = line.empty() ? piece : line + u' ' + piece;
            if (MeasureTextWidth(font, joined) <= width) {
                line = joined;
            } else {
                if (!line.empty()) push(std::exchange(line, {}));
                // A word wider than a whole line is broken between its characters.
                for (char16_t c : piece) {
                    if (!line.empty() && MeasureTextWidth(font, line + c) > width)
                        push(std::exchange(line, {}));
                    line += c;
                }
            }
            word = next + 1;
        }
        // A trailing line break ends the text; it opens no empty line.
        if (!line.empty() || end < text.size()) push(std::move(line));
        if (end >= text.size()) break;
        at = end + 1;
        if (at == text.size()) break;
    }
    if (cut && !lines.empty()) {
        WString& last = lines.back();
        while (!last.empty() && MeasureTextWidth(font, last + u"...") > width) last.pop_back();
        last += u"...";
    }
    return lines;
}

}  // namespace gui

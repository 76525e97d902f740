#include "gui/FontDesc.h"

#include <map>
#include <memory>
#include <mutex>
#include <tuple>

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

}  // namespace gui

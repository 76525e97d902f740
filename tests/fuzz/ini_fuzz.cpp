// Profile files come from the user's disk: reading any text must never crash, an untouched file is
// written back byte for byte, a value set through SetString reads back unchanged whatever the file
// looked like before, and saving what was read again writes the same bytes. The options read from
// any file are each within their range, and every value the options did not take as stored is
// listed with the value used.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/Options.h"
#include "platform/sys/IniFile.h"

namespace {

bool In(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

bool OptionsInRange(const Options& o) {
    const bool sides = (o.width == 0 || In(o.width, kMinModeWidth, kMaxModeSide)) &&
                       (o.height == 0 || In(o.height, kMinModeHeight, kMaxModeSide));
    const bool flags = o.fullscreen <= 1 && o.vsync <= 1 && o.tableEffect <= 1 && o.waterEffect <= 1 &&
                       o.traceAll <= 1 && o.chatFontSize <= 1 && o.bgm <= 1 && o.fx <= 1 &&
                       o.verticalInverse <= 1 && o.horizontalInverse <= 1 && o.shotZoom <= 1 &&
                       o.turnZoom <= 1 && In(o.lang, 0, 1);
    return sides && flags && (o.bpp == 0 || o.bpp == 16 || o.bpp == 24 || o.bpp == 32) &&
           In(o.refreshRate, 0, kMaxRefreshRate) && In(o.textureDetail, 0, 2) && In(o.meshDetail, 0, 2) &&
           In(o.textureFilter, 1, 3) && In(o.anisotropic, 0, 16) && In(o.fsaa, 0, 8) &&
           In(o.gamma, 50, 150) && In(o.bgmVolume, 0, 100) && In(o.fxVolume, 0, 100) &&
           In(o.shotSensitive, 10, 300) && In(o.verticalSensitive, 10, 200) &&
           In(o.horizontalSensitive, 10, 200) && In(o.cameraMode, 1, 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::IniFile ini;
    ini.Parse(text);
    if (ini.Text() != text) std::abort();
    ini.GetInt("Video", "width", 7);
    ini.GetString("Audio", "BGM", "");
    platform::ParseProfileInt(text);
    platform::ParseProfileValue(text);

    Options options;
    std::vector<ReplacedOption> replaced;
    options.Read(ini, &replaced);
    if (!OptionsInRange(options)) std::abort();
    for (const ReplacedOption& r : replaced) {
        const std::optional<std::string> stored = ini.Find(r.section, r.key);
        if (!stored || *stored != r.stored) std::abort();
        if ((r.why == ReplacedOption::Why::kNoNumber) != !platform::ParseProfileValue(r.stored)) std::abort();
    }

    if (ini.SetString("Video", "width", " 1280") && ini.SetString("Audio", "BGM", "a b")) {
        if (ini.GetInt("Video", "width", 0) != 1280 || ini.GetString("Audio", "BGM", "") != "a b")
            std::abort();
        const std::string saved = ini.Text();
        platform::IniFile again;
        again.Parse(saved);
        if (again.GetInt("video", "WIDTH", 0) != 1280 || again.GetString("audio", "bgm", "") != "a b")
            std::abort();
        if (!again.SetString("Video", "width", " 1280") || again.Text() != saved) std::abort();
    }
    return 0;
}

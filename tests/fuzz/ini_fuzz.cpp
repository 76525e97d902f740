// Profile files come from the user's disk: reading any text must never crash, an untouched file is
// written back byte for byte, a value set through SetString reads back unchanged whatever the file
// looked like before, and saving what was read again writes the same bytes; options read stay in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/Options.h"
#include "platform/sys/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::IniFile ini;
    ini.Parse(text);
    if (ini.Text() != text) std::abort();
    ini.GetInt("Video", "width", 7);
    ini.GetString("Audio", "BGM", "");
    platform::ParseProfileInt(text);
    platform::ParseProfileValue(text);
    Options o;
    std::vector<ReplacedOption> replaced;
    o.Read(ini, &replaced);
    // A sample of each kind of option: mode sides, flags, listed values, rates, volumes, sensitivities.
    const auto in = [](std::int32_t v, std::int32_t low, std::int32_t high) { return v >= low && v <= high; };
    if (!((o.width == 0 || in(o.width, kMinModeWidth, kMaxModeSide)) &&
          (o.height == 0 || in(o.height, kMinModeHeight, kMaxModeSide)) && in(o.fullscreen, 0, 1) &&
          (o.bpp == 0 || o.bpp == 16 || o.bpp == 24 || o.bpp == 32) &&
          in(o.refreshRate, 0, kMaxRefreshRate) && in(o.gamma, 50, 150) && in(o.fxVolume, 0, 100) &&
          in(o.shotSensitive, 10, 300) && in(o.cameraMode, 1, 3)))
        std::abort();
    for (const ReplacedOption& r : replaced)
        if (ini.Find(r.section, r.key) != r.stored) std::abort();

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

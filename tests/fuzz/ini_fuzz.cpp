// Profile files come from the user's disk: reading any text must never crash, an untouched file is
// written back byte for byte, a value set through SetString reads back unchanged whatever the file
// looked like before, and saving what was read again writes the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sys/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::IniFile ini;
    ini.Parse(text);
    if (ini.Text() != text) std::abort();
    ini.GetInt("Video", "width", 7);
    ini.GetString("Audio", "BGM", "");
    platform::ParseProfileInt(text);

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

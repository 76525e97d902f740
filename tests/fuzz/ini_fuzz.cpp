// Profile files come from the user's disk: reading any text must never crash, and a value set
// through SetString must read back unchanged whatever the file looked like before.
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
    ini.GetInt("Video", "width", 7);
    ini.GetString("Audio", "BGM", "");
    platform::ParseProfileInt(text);

    if (ini.SetString("Video", "width", " 1280")) {
        if (ini.GetInt("Video", "width", 0) != 1280) std::abort();
        platform::IniFile again;
        again.Parse(ini.Text());
        if (again.GetInt("video", "WIDTH", 0) != 1280) std::abort();
    }
    return 0;
}

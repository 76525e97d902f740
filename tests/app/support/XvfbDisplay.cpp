#include "XvfbDisplay.h"

#include <unistd.h>

#include <filesystem>

#include "AppHarness.h"

namespace fs = std::filesystem;

bool XvfbDisplay::Start(const std::string& size, const std::string& windowManager) {
    if (!fs::exists("/usr/bin/Xvfb")) return false;
    if (!windowManager.empty() && !fs::exists(windowManager)) return false;
    for (int n = 100 + ::getpid() % 300; n < 1000; ++n) {
        const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (fs::exists(socket) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
        name_ = ":" + std::to_string(n);
        if (!server_.Start("/usr/bin/Xvfb", {name_, "-screen", "0", size, "-nolisten", "tcp"}, {}, "/"))
            return false;
        if (!AppHarness::WaitFor([&] { return fs::exists(socket); }, 5000)) return false;
        if (windowManager.empty()) return true;
        return manager_.Start(windowManager, {}, {"DISPLAY=" + name_}, "/");
    }
    return false;
}

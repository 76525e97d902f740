#include "tests/common/XvfbDisplay.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace testsupport {

namespace {

bool WaitForFile(const std::filesystem::path& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace

bool XvfbDisplay::Start(const std::string& size, const std::string& windowManager) {
    namespace fs = std::filesystem;
    if (!fs::exists("/usr/bin/Xvfb")) return false;
    if (!windowManager.empty() && !fs::exists(windowManager)) return false;
    for (int n = 100 + ::getpid() % 300; n < 1000; ++n) {
        const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (fs::exists(socket) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
        name_ = ":" + std::to_string(n);
        if (!server_.Start("/usr/bin/Xvfb", {name_, "-screen", "0", size, "-nolisten", "tcp"}, {}, "/"))
            return false;
        if (!WaitForFile(socket)) return false;
        if (windowManager.empty()) return true;
        return manager_.Start(windowManager, {}, {"DISPLAY=" + name_}, "/");
    }
    return false;
}

}  // namespace testsupport

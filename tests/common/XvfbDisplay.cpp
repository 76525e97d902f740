#include "tests/common/XvfbDisplay.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace testsupport {

bool XvfbDisplay::Start() {
    namespace fs = std::filesystem;
    if (!fs::exists("/usr/bin/Xvfb")) return false;
    for (int n = 100 + ::getpid() % 300; n < 1000; ++n) {
        const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (fs::exists(socket) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
        name_ = ":" + std::to_string(n);
        if (!server_.Start("/usr/bin/Xvfb", {name_, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {},
                           "/"))
            return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            if (fs::exists(socket)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    return false;
}

}  // namespace testsupport

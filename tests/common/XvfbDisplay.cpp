#include "tests/common/XvfbDisplay.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "tests/common/Patience.h"

namespace testsupport {

namespace {

// True once the server we started owns display n: Xvfb writes its pid into the display's lock
// file. Two tests may pick the same free number at once; the loser's Xvfb exits at the lock, and the
// winner's socket must not be taken for its own.
bool OwnsDisplay(ChildProcess& server, int n) {
    const std::filesystem::path socket = "/tmp/.X11-unix/X" + std::to_string(n);
    const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    bool exited = false;
    const bool owns = WaitUntil(
        [&] {
            std::ifstream in(lock);
            long owner = 0;
            if (in >> owner && owner == server.Pid() && std::filesystem::exists(socket)) return true;
            exited = server.Wait(std::chrono::milliseconds(0)).has_value();
            return exited;  // it exited: display taken
        },
        std::chrono::seconds(5));
    return owns && !exited;
}

// Ends a server started for display n. Xvfb removes its lock file and socket when it ends on SIGTERM;
// one that does not end in time is killed, and what it leaves under its own pid is removed here.
void StopServer(ChildProcess& server, int n) {
    server.Terminate();
    if (server.Wait(std::chrono::seconds(5))) return;
    const pid_t pid = server.Pid();
    server.Signal(SIGKILL);
    server.Wait();
    const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    std::ifstream in(lock);
    long owner = 0;
    if (!(in >> owner) || owner != pid) return;
    std::error_code ignored;
    std::filesystem::remove("/tmp/.X11-unix/X" + std::to_string(n), ignored);
    std::filesystem::remove(lock, ignored);
}

}  // namespace

XvfbDisplay::~XvfbDisplay() {
    manager_.Terminate();
    manager_.Wait(std::chrono::seconds(2));
    if (server_) StopServer(*server_, display_);
}

bool XvfbDisplay::Start(const std::string& size, const std::string& windowManager) {
    namespace fs = std::filesystem;
    if (!fs::exists("/usr/bin/Xvfb")) return false;
    if (!windowManager.empty() && !fs::exists(windowManager)) return false;
    for (int n = 100 + ::getpid() % 300; n < 1000; ++n) {
        const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (fs::exists(socket) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
        name_ = ":" + std::to_string(n);
        auto server = std::make_unique<ChildProcess>();
        if (!server->Start("/usr/bin/Xvfb", {name_, "-screen", "0", size, "-nolisten", "tcp"}, {}, "/"))
            return false;
        if (!OwnsDisplay(*server, n)) {
            StopServer(*server, n);
            continue;
        }
        server_ = std::move(server);
        display_ = n;
        if (windowManager.empty()) return true;
        return manager_.Start(windowManager, {}, {"DISPLAY=" + name_}, "/");
    }
    return false;
}

}  // namespace testsupport

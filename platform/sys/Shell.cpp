#include "platform/sys/Shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "platform/sys/Env.h"
#include "platform/sys/Journal.h"
#include "platform/sys/RegularFile.h"

extern char** environ;

namespace platform {

namespace {

// A user-dirs.dirs is a few lines; more is no such file.
constexpr std::size_t kMaxUserDirsBytes = 1u << 16;

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string FindProgram(const std::string& name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
    const std::string path = GetEnv("PATH");
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string folder = end > start ? path.substr(start, end - start) : std::string(".");
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

bool SpawnDetached(const std::string& program, const std::vector<std::string>& args) {
    // Everything the children need is built before fork: between fork and exec only
    // async-signal-safe calls are allowed in a process with threads.
    std::vector<char*> argv;
    std::string arg0 = program;
    argv.push_back(arg0.data());
    std::vector<std::string> copies = args;
    for (auto& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);

    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return false;

    // The intermediate child starts the program and ends at once, so the program is adopted by
    // init and nobody has to reap it; waiting for the intermediate child takes no time.
    const pid_t child = fork();
    if (child < 0) {
        close(ready[0]);
        close(ready[1]);
        return false;
    }
    if (child == 0) {
        close(ready[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            execve(argv[0], argv.data(), environ);
            const int error = errno;
            (void)!::write(ready[1], &error, sizeof error);  // exec failed: report why
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(ready[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec (close-on-exec) and carries errno when exec failed.
    int error = 0;
    ssize_t n;
    do n = ::read(ready[0], &error, sizeof error);
    while (n < 0 && errno == EINTR);
    close(ready[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

bool ShellOpen(std::string_view target) {
    if (target.empty() || target.front() == '-' || target.find_first_of("\r\n") != std::string_view::npos ||
        target.find('\0') != std::string_view::npos)
        return false;
    const std::string text(target);
    if (IsHeadless()) {
        std::fprintf(stderr, "open: %s\n", text.c_str());
        Journal::Write("OPEN " + text);
        return true;
    }
    const std::string opener = FindProgram("xdg-open");
    return !opener.empty() && SpawnDetached(opener, {text});
}

bool StartLauncher() {
    constexpr const char* kLauncher = "marvenlot-launcher";
    std::string program;
    const std::string beside = ExecutableDir();
    if (!beside.empty() && IsExecutableFile(beside + "/" + kLauncher)) program = beside + "/" + kLauncher;
    if (program.empty()) program = FindProgram(kLauncher);
    return !program.empty() && SpawnDetached(program, {});
}

std::string ParseUserDirsDesktop(std::string_view text, const std::string& home) {
    std::istringstream lines{std::string(text)};
    std::string result;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        line = line.substr(first);
        constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
        if (line.compare(0, kKey.size(), kKey) != 0) continue;
        std::string value = line.substr(kKey.size());
        const auto end = value.find_last_not_of(" \t");
        value = end == std::string::npos ? std::string() : value.substr(0, end + 1);
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
        value = value.substr(1, value.size() - 2);
        if (value == "$HOME")
            result = home;
        else if (value.compare(0, 6, "$HOME/") == 0)
            result = home + value.substr(5);
        else if (!value.empty() && value.front() == '/')
            result = value;
        // Later entries override earlier ones, as when the shell sources the file.
    }
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

bool IsHomeFolder(const std::string& folder) {
    const auto trimmed = [](std::string path) {
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        return path;
    };
    const std::string home = trimmed(HomeDir());
    return !home.empty() && trimmed(folder) == home;
}

std::string DesktopDir() {
    std::string dir = GetEnv("MARVENLOT_DESKTOP_DIR");
    if (!dir.empty()) return dir;

    const std::string home = HomeDir();
    std::string config = GetEnv("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::string text;
    int error = 0;
    if (ReadRegularFile(config + "/user-dirs.dirs", text, error, kMaxUserDirsBytes)) {
        dir = ParseUserDirsDesktop(text, home);
        if (!dir.empty()) return dir;
    }
    dir = GetEnv("XDG_DESKTOP_DIR");
    if (!dir.empty()) return dir;
    if (IsFolder(home + "/Desktop")) return home + "/Desktop";
    return home;
}

}  // namespace platform

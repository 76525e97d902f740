#include "platform/sys/Env.h"

#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {

std::string GetEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool IsHeadless() {
    const std::string value = GetEnv("MARVENLOT_HEADLESS");
    return !value.empty() && value != "0";
}

namespace {

// Creates every missing component of path with the given mode; true when path is a folder.
bool MakeFolders(const std::string& path, mode_t mode) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), mode)) return false;
    if (mkdir(path.c_str(), mode) == 0 || errno == EEXIST)
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return false;
}

// A folder in a place every user can write to must be ours alone, or another user could read or
// replace the lock and the raise channel.
bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return st.st_uid == getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::string RuntimeDir() {
    std::string dir = GetEnv("MARVENLOT_RUNTIME_DIR");
    if (!dir.empty()) return MakeFolders(dir, 0700) ? dir : std::string();

    dir = GetEnv("XDG_RUNTIME_DIR");
    if (!dir.empty() && IsPrivateFolder(dir)) return dir;

    dir = "/tmp/marvenlot-" + std::to_string(getuid());
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
    if (!IsPrivateFolder(dir)) {
        std::fprintf(stderr, "runtime folder %s is not private to this user; not used\n", dir.c_str());
        return {};
    }
    return dir;
}

std::string ExecutableDir() {
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    std::string path(buffer.data(), static_cast<std::size_t>(n));
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string HomeDir() {
    std::string home = GetEnv("HOME");
    if (!home.empty()) return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

}  // namespace platform

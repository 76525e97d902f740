#include "platform/sys/RegularFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>

namespace platform {

namespace {

template <class Bytes>
bool ReadAll(const std::string& path, Bytes& out, int& error, std::size_t maxBytes) {
    out.clear();
    const int fd = OpenRegularFile(path, O_RDONLY, error);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) == 0 && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        close(fd);
        error = EFBIG;
        return false;
    }
    // The size is a hint only: files such as those of /proc report 0 and still have text.
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            close(fd);
            return false;
        }
        if (n == 0) break;
        if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
            close(fd);
            error = EFBIG;
            return false;
        }
        out.insert(out.end(), buffer, buffer + n);
    }
    close(fd);
    return true;
}

}  // namespace

std::string FileErrorText(int error) {
    if (error == kNotRegularFile) return "not a regular file";
    char buffer[128];
    return strerror_r(error, buffer, sizeof buffer);
}

int OpenRegularFile(const std::string& path, int flags, int& error, mode_t mode) {
    // Refused before the open, so that a FIFO without a reader gives this reason rather than ENXIO.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = kNotRegularFile;
        return -1;
    }
    int fd;
    do fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // And after it, for what was put there in between.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = kNotRegularFile;
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    error = 0;
    return fd;
}

std::FILE* OpenRegularFileStream(const std::string& path, const char* mode, int& error) {
    const std::string_view m(mode);
    int flags = O_RDONLY;
    if (m.starts_with("r+"))
        flags = O_RDWR;
    else if (m.starts_with('w'))
        flags = O_WRONLY | O_CREAT | O_TRUNC;
    else if (m.starts_with('a'))
        flags = O_WRONLY | O_CREAT | O_APPEND;
    const int fd = OpenRegularFile(path, flags, error);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, mode);
    if (!file) {
        error = errno;
        close(fd);
    }
    return file;
}

bool ReadRegularFile(const std::string& path, std::string& out, int& error, std::size_t maxBytes) {
    return ReadAll(path, out, error, maxBytes);
}

bool ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& out, int& error,
                     std::size_t maxBytes) {
    return ReadAll(path, out, error, maxBytes);
}

bool IsTemplateName(std::string_view name, std::string_view prefix, std::string_view suffix) {
    constexpr std::size_t kRandom = 6;
    if (name.size() != prefix.size() + kRandom + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix))
        return false;
    for (const char c : name.substr(prefix.size(), kRandom))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    return true;
}

std::vector<std::string> RemoveLeftFiles(const std::string& folder,
                                         const std::function<bool(std::string_view name)>& matches,
                                         int minAgeSeconds) {
    std::vector<std::string> removed;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return removed;
    // File times are wall-clock times, and may be finer than time()'s coarse clock: a file written
    // just now can carry the next second while time() still gives this one.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::time_t newest = now.tv_sec - minAgeSeconds;
    while (const dirent* entry = readdir(dir)) {
        struct stat st {};
        if (!matches(entry->d_name) || fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_mtime > newest)
            continue;
        if (unlinkat(dirfd(dir), entry->d_name, 0) == 0) removed.emplace_back(entry->d_name);
    }
    closedir(dir);
    return removed;
}

}  // namespace platform

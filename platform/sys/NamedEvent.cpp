#include "platform/sys/NamedEvent.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sys/Env.h"

namespace platform {

NamedEvent NamedEvent::Open(const std::string& name) {
    NamedEvent event;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos)
        return event;
    const std::string folder = RuntimeDir();
    if (!folder.empty()) event.path_ = folder + "/" + name + ".event";
    return event;
}

bool NamedEvent::Set() const {
    if (!Valid()) return false;
    std::string temp = path_ + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const std::string pid = std::to_string(getpid()) + "\n";
    bool ok = ::write(fd, pid.data(), pid.size()) == static_cast<ssize_t>(pid.size());
    ok = close(fd) == 0 && ok;
    if (ok) ok = rename(temp.c_str(), path_.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok;
}

bool NamedEvent::Reset() const {
    if (!Valid()) return false;
    return unlink(path_.c_str()) == 0 || errno == ENOENT;
}

bool NamedEvent::IsSet() const {
    struct stat st {};
    return Valid() && stat(path_.c_str(), &st) == 0;
}

}  // namespace platform

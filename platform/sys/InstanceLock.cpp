#include "platform/sys/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/sys/Env.h"
#include "platform/sys/RegularFile.h"

namespace platform {

namespace {

constexpr std::string_view kRaiseRequest = "RAISE";

// A name may not leave the runtime folder.
std::string FileNameFor(const std::string& name) {
    std::string file = name.empty() ? std::string("instance") : name;
    for (char& c : file)
        if (c == '/' || c == '\0') c = '_';
    if (file == "." || file == "..") file = "_";
    return file;
}

// Socket address of the channel: the path when it fits, else an abstract name derived from it
// (runtime folders of tests can be longer than a socket path may be).
socklen_t ChannelAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    }
    const std::string abstractName =
        "marvenlot-" + std::to_string(getuid()) + "-" + std::to_string(std::hash<std::string>{}(path));
    std::memcpy(address.sun_path + 1, abstractName.data(), abstractName.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size());
}

}  // namespace

InstanceLock::InstanceLock(std::string name) : name_(std::move(name)) {}

InstanceLock::~InstanceLock() {
    Release();
}

InstanceLock::Result InstanceLock::Acquire() {
    if (Held()) return Result::Acquired;
    const std::string folder = RuntimeDir();
    failure_.clear();
    if (folder.empty()) {
        failure_ = "no runtime folder can be used";
        return Result::Failed;
    }
    const std::string base = folder + "/" + FileNameFor(name_);
    lockPath_ = base + ".lock";
    channelPath_ = base + ".sock";

    // Close-on-exec, so that programs we start (the launcher, a browser) never inherit the lock.
    int error = 0;
    const int fd = OpenRegularFile(lockPath_, O_RDWR | O_CREAT | O_NOFOLLOW, error, 0600);
    if (fd < 0) {
        failure_ = lockPath_ + ": " + FileErrorText(error);
        return Result::Failed;
    }
    int rc;
    do rc = flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = errno == EWOULDBLOCK;
        if (!held) failure_ = lockPath_ + ": " + FileErrorText(errno);
        close(fd);
        return held ? Result::AlreadyRunning : Result::Failed;
    }
    lockFd_ = fd;
    OpenChannel();  // without a channel the lock still works; raise requests are then lost
    return Result::Acquired;
}

bool InstanceLock::OpenChannel() {
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address;
    const socklen_t length = ChannelAddress(channelPath_, address);
    // Only the lock holder binds, so a socket file left here belongs to a client that is gone.
    if (address.sun_path[0] != '\0') unlink(channelPath_.c_str());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        close(fd);
        return false;
    }
    channelFd_ = fd;
    return true;
}

void InstanceLock::Release() {
    if (channelFd_ >= 0) {
        sockaddr_un address;
        ChannelAddress(channelPath_, address);
        if (address.sun_path[0] != '\0') unlink(channelPath_.c_str());
        close(channelFd_);
        channelFd_ = -1;
    }
    if (lockFd_ >= 0) {
        // The lock file stays: removing it would let a third process lock a new file while a
        // second one still waits on the old one.
        flock(lockFd_, LOCK_UN);
        close(lockFd_);
        lockFd_ = -1;
    }
}

bool InstanceLock::RequestRaise() const {
    std::string path = channelPath_;
    if (path.empty()) {
        const std::string folder = RuntimeDir();
        if (folder.empty()) return false;
        path = folder + "/" + FileNameFor(name_) + ".sock";
    }
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address;
    const socklen_t length = ChannelAddress(path, address);
    const ssize_t sent = sendto(fd, kRaiseRequest.data(), kRaiseRequest.size(), MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&address), length);
    close(fd);
    return sent == static_cast<ssize_t>(kRaiseRequest.size());
}

int InstanceLock::PollRaiseRequests() {
    if (channelFd_ < 0) return 0;
    int requests = 0;
    char buffer[64];
    for (;;) {
        const ssize_t n = recv(channelFd_, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        // Anything else written to the socket is not a request and is dropped.
        if (std::string_view(buffer, static_cast<std::size_t>(n)) == kRaiseRequest) ++requests;
    }
    if (requests > 0 && onRaise_) onRaise_();
    return requests;
}

}  // namespace platform

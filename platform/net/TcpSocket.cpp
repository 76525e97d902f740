#include "platform/net/TcpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace platform {

TcpSocket::~TcpSocket() {
    Close();
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_.exchange(-1);
    }
    return *this;
}

namespace {
constexpr std::uint32_t kConnectSliceMs = 20;

// Waits for a connect in progress; false on its failure, the time-out or `keepTrying` turning false.
bool WaitWritable(int fd, std::uint32_t timeoutMs, const std::atomic<bool>* keepTrying) {
    pollfd p{fd, POLLOUT, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (keepTrying && !keepTrying->load()) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0) return false;
        const int r =
            ::poll(&p, 1, static_cast<int>(keepTrying ? std::min<long>(left, kConnectSliceMs) : left));
        if (r > 0) break;
        if (r < 0 && errno != EINTR) return false;
    }
    int error = 0;
    socklen_t len = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
}
}  // namespace

bool TcpSocket::Connect(const std::string& host, std::uint16_t port, std::uint32_t timeoutMs,
                        const std::atomic<bool>* keepTrying) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return false;
    int fd = -1;
    for (addrinfo* a = found; a && (!keepTrying || keepTrying->load()); a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        const int flags = ::fcntl(fd, F_GETFL, 0);
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
        int r = ::connect(fd, a->ai_addr, a->ai_addrlen);
        if (r == 0 || (errno == EINPROGRESS && WaitWritable(fd, timeoutMs, keepTrying))) {
            ::fcntl(fd, F_SETFL, flags);
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            break;
        }
        ::close(fd);
        fd = -1;
    }
    ::freeaddrinfo(found);
    fd_ = fd;
    return fd >= 0;
}

bool TcpSocket::SendAll(const void* data, std::size_t size) {
    const int fd = fd_.load();
    if (fd < 0) return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

long TcpSocket::Receive(void* buffer, std::size_t capacity) {
    const int fd = fd_.load();
    if (fd < 0) return -1;
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, capacity, 0);
        if (n < 0 && errno == EINTR) continue;
        return static_cast<long>(n);
    }
}

bool TcpSocket::WaitReadable() {
    const int fd = fd_.load();
    if (fd < 0) return false;
    pollfd entry{fd, POLLIN, 0};
    while (::poll(&entry, 1, -1) < 0)
        if (errno != EINTR) return true;  // Receive reports the error
    return true;
}

std::size_t TcpSocket::Unread() const {
    int count = 0;
    const int fd = fd_.load();
    return fd >= 0 && ::ioctl(fd, FIONREAD, &count) == 0 && count > 0 ? static_cast<std::size_t>(count) : 0;
}

void TcpSocket::Shutdown() {
    const int fd = fd_.load();
    if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
}

void TcpSocket::Close() {
    const int fd = fd_.exchange(-1);
    if (fd >= 0) ::close(fd);
}

TcpListener::~TcpListener() {
    Close();
}

bool TcpListener::Listen(const std::string& host, std::uint16_t port) {
    Close();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    fd_ = fd;
    return true;
}

TcpSocket TcpListener::Accept(std::uint32_t timeoutMs) {
    const int fd = fd_.load();
    if (fd < 0) return TcpSocket();
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeoutMs)) <= 0) return TcpSocket();
    const int client = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
        // Out of descriptors or memory, the connection stays pending and the listener readable, so
        // the next poll would return at once: wait out the timeout before the caller tries again.
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return TcpSocket();
    }
    int one = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return TcpSocket(client);
}

void TcpListener::Close() {
    const int fd = fd_.exchange(-1);
    if (fd >= 0) ::close(fd);
}

bool ParseHostPort(const std::string& text, std::string& host, std::uint16_t& port) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
    const std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    const long value = std::strtol(digits.c_str(), nullptr, 10);
    if (value < 1 || value > 65535) return false;
    host = text.substr(0, colon);
    port = static_cast<std::uint16_t>(value);
    return true;
}

}  // namespace platform

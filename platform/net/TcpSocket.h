#pragma once
// TCP over POSIX sockets: the stand-in for the system's Winsock connection. Blocking calls; another
// thread ends a blocked Receive with Shutdown.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class TcpSocket {
public:
    TcpSocket() = default;
    explicit TcpSocket(int fd) : fd_(fd) {}
    ~TcpSocket();
    TcpSocket(TcpSocket&& other) noexcept : fd_(other.fd_.exchange(-1)) {}
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Resolves host (name or address) and connects within timeoutMs. With `keepTrying`, the attempt
    // also ends within a few milliseconds of it turning false, so a thread that joins the connecting
    // one never waits out the time-out (a name lookup still runs to its end).
    bool Connect(const std::string& host, std::uint16_t port, std::uint32_t timeoutMs,
                 const std::atomic<bool>* keepTrying = nullptr);
    // Sends every byte or fails; never raises SIGPIPE.
    bool SendAll(const void* data, std::size_t size);
    // Waits for data: the byte count, 0 when the peer closed, -1 on error or after Shutdown.
    long Receive(void* buffer, std::size_t capacity);
    // Waits until Receive would return at once (data, the peer's close, an error or Shutdown); false on
    // a closed socket.
    bool WaitReadable();
    // The bytes received and not yet taken by Receive.
    std::size_t Unread() const;
    // Ends both directions; a Receive blocked on another thread returns.
    void Shutdown();
    void Close();
    bool IsOpen() const { return fd_.load() >= 0; }

private:
    std::atomic<int> fd_{-1};
};

class TcpListener {
public:
    TcpListener() = default;
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // Listens on host:port; port 0 picks a free one (see Port).
    bool Listen(const std::string& host, std::uint16_t port);
    std::uint16_t Port() const { return port_; }
    // Waits up to timeoutMs for a client; the returned socket is closed when none came. Out of
    // descriptors it also waits timeoutMs, so a caller's accept loop does not spin.
    TcpSocket Accept(std::uint32_t timeoutMs);
    void Close();

private:
    std::atomic<int> fd_{-1};
    std::uint16_t port_ = 0;
};

// Splits "host:port"; false when the text is not of that form or the port is not 1..65535.
bool ParseHostPort(const std::string& text, std::string& host, std::uint16_t& port);

}  // namespace platform

#pragma once
// The connection to the game server: a connect thread that opens the socket and then a receive thread
// that reads it into the frame cutter, deciphers each whole frame once encryption is on and hands it over
// in a pooled packet. Sends run on the caller's thread under the connection's lock.
//
// The server speaks first: its Hello frame (in clear) says whether encryption is on and carries the key
// seed. The connection counts as established only once Hello has arrived, so nothing is ever sent before
// both sides agree on the cipher.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "net/FrameCipher.h"
#include "net/FrameCutter.h"
#include "net/PacketPool.h"
#include "platform/net/TcpSocket.h"
#include "platform/sys/CriticalSection.h"
#include "platform/sys/Event.h"
#include "platform/sys/Thread.h"

namespace net {

class ConnectionListener {
public:
    virtual ~ConnectionListener() = default;
    // Receive or connect thread: the socket opened and Hello arrived (true), or the attempt failed (false).
    // Runs before WaitConnected returns.
    virtual void OnConnected(bool ok) = 0;
    // Receive thread: a whole frame; the listener owns the packet and returns it to the pool.
    virtual void OnPacketReceived(Packet* packet) = 0;
    // Any thread: the connection dropped (once per connection).
    virtual void OnDisconnected() = 0;
};

class ClSocket {
public:
    ClSocket(PacketPool& pool, ConnectionListener& listener);
    ~ClSocket();
    ClSocket(const ClSocket&) = delete;
    ClSocket& operator=(const ClSocket&) = delete;

    // Starts the connect thread, closing any earlier connection first.
    bool Connect(const std::string& host, std::uint16_t port);
    // Waits (real time) until the attempt ended; true when connected.
    bool WaitConnected(std::uint32_t timeoutMs);
    // Closes the socket and joins both threads; an attempt still connecting ends at once (a name
    // lookup runs to its end). Not to be called from the receive thread.
    void Disconnect();
    // Time a connect attempt may take (kConnectTimeoutMs unless changed; tests lengthen it).
    void SetConnectTimeout(std::uint32_t ms) { connectTimeoutMs_ = ms; }

    // Enciphers (when on) and writes every message of the packet in one write. False when not connected
    // or the write failed; a failed write drops the connection.
    bool Send(Packet& packet);

    bool IsConnected() const { return connected_.load(); }
    bool EncryptionOn() const { return encrypted_.load(); }
    // Frames rejected for a bad length over the connection's life (tests read it).
    int InvalidFrames() const { return invalidFrames_.load(); }
    // Whether bytes the server sent wait in the socket or are being cut into frames: received, and not
    // yet handed to the listener.
    bool HoldsUnread() const;

    // The receive thread's work on bytes read from the socket: cuts frames, takes the first as Hello,
    // deciphers the rest once encryption is on and hands them to the listener. False when the
    // connection must drop (a bad frame length or a bad Hello). Tests feed it directly.
    bool ReceiveBytes(const std::uint8_t* data, std::size_t size);

private:
    void ConnectThread(std::string host, std::uint16_t port);
    void ReceiveThread();
    bool HandleHello(Packet& packet);
    void Drop();

    PacketPool& pool_;
    ConnectionListener& listener_;
    platform::TcpSocket socket_;
    platform::CriticalSection sendLock_;
    platform::Thread connectThread_;
    platform::Thread receiveThread_;
    platform::Event attemptDone_{platform::Event::Reset::Manual};
    FrameCutter cutter_;
    FrameCipher sendCipher_;     // under sendLock_
    FrameCipher receiveCipher_;  // receive thread only
    std::atomic<bool> running_{false};
    std::atomic<std::uint32_t> connectTimeoutMs_{kConnectTimeoutMs};
    std::atomic<bool> connected_{false};
    std::atomic<bool> dropped_{false};
    std::atomic<bool> encrypted_{false};
    std::atomic<int> invalidFrames_{0};
    std::atomic<bool> helloSeen_{false};
    std::atomic<bool> reading_{false};  // the receive thread takes bytes from the socket
    std::vector<std::uint8_t> frame_ = std::vector<std::uint8_t>(kMaxFrameSize);  // receive thread only
};

}  // namespace net

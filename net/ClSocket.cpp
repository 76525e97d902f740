#include "net/ClSocket.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/core/Log.h"

namespace net {

ClSocket::ClSocket(PacketPool& pool, ConnectionListener& listener) : pool_(pool), listener_(listener) {}

ClSocket::~ClSocket() {
    Disconnect();
}

bool ClSocket::Connect(const std::string& host, std::uint16_t port) {
    Disconnect();
    running_ = true;
    dropped_ = false;
    helloSeen_ = false;
    encrypted_ = false;
    cutter_.Clear();
    receiveCipher_.Disable();
    {
        platform::ScopedLock lock(sendLock_);
        sendCipher_.Disable();
    }
    attemptDone_.ResetEvent();
    return connectThread_.Start("net-connect", [this, host, port] { ConnectThread(host, port); });
}

bool ClSocket::WaitConnected(std::uint32_t timeoutMs) {
    return attemptDone_.WaitFor(timeoutMs) && connected_.load();
}

void ClSocket::ConnectThread(std::string host, std::uint16_t port) {
    // Disconnect ends the attempt by clearing running_: its caller (the main thread) never waits out
    // the time-out of a server that does not answer.
    if (!socket_.Connect(host, port, connectTimeoutMs_, &running_)) {
        if (running_.load()) LogWrite(u"ERROR : CONNECT FAILED %S:%d\n", host, static_cast<int>(port));
        running_ = false;
        listener_.OnConnected(false);
        attemptDone_.Set();
        return;
    }
    // The receive thread reports the end of the attempt when Hello arrives or the socket closes.
    receiveThread_.Start("net-receive", [this] { ReceiveThread(); });
}

bool ClSocket::HandleHello(Packet& packet) {
    if (packet.GetId() != Id(MessageId::Hello)) {
        LogWrite(u"ERROR : EXPECTED HELLO, GOT %d\n", static_cast<int>(packet.GetId()));
        return false;
    }
    std::uint8_t cipherOn = 0;
    std::uint64_t seed = 0;
    packet.ReadU8(cipherOn).ReadU64(seed);
    if (packet.IsBad()) return false;
    if (cipherOn) {
        const DesKey key = FrameCipher::DeriveKey(seed);
        platform::ScopedLock lock(sendLock_);
        if (!sendCipher_.SetKey(key) || !receiveCipher_.SetKey(key)) return false;
        encrypted_ = true;
    }
    return true;
}

bool ClSocket::ReceiveBytes(const std::uint8_t* data, std::size_t size) {
    do {
        const std::size_t n = std::min(size, cutter_.FreeSpace());
        if (n == 0 && size > 0) return false;  // cannot happen: a full ring always holds a whole frame
        cutter_.Push(data, n);
        data += n;
        size -= n;
        for (;;) {
            std::size_t length = 0;
            int badLength = 0;
            const auto result = cutter_.Next(frame_.data(), length, badLength);
            if (result == FrameCutter::Result::NeedMore) break;
            if (result == FrameCutter::Result::InvalidSize) {
                LogWrite(u"ERROR : INVALID PACKET SIZE %d\n", badLength);
                ++invalidFrames_;
                return false;
            }
            receiveCipher_.DecryptFrame(frame_.data(), length);
            if (!helloSeen_) {
                Packet hello;
                if (!hello.SetFrames(frame_.data(), length) || !HandleHello(hello)) return false;
                helloSeen_ = true;
                connected_ = true;
                // The listener sets up first, so a waiter that wakes finds the session ready.
                listener_.OnConnected(true);
                attemptDone_.Set();
                continue;
            }
            Packet* packet = pool_.AllocForReceive(running_);
            if (!packet) return false;  // the connection is closing
            packet->SetFrames(frame_.data(), length);
            listener_.OnPacketReceived(packet);
        }
    } while (size > 0);
    return true;
}

void ClSocket::ReceiveThread() {
    std::vector<std::uint8_t> chunk(kRingBufferSize);
    while (running_.load() && socket_.WaitReadable()) {
        // Marked before the bytes leave the socket, so HoldsUnread finds them in one place or the other.
        reading_ = true;
        const long n = socket_.Receive(chunk.data(), cutter_.FreeSpace());
        const bool taken = n > 0 && ReceiveBytes(chunk.data(), static_cast<std::size_t>(n));
        reading_ = false;
        if (!taken) break;
    }
    const bool wasConnected = connected_.load();
    Drop();
    if (!wasConnected && !attemptDone_.IsSet()) {
        listener_.OnConnected(false);
        attemptDone_.Set();
    }
}

bool ClSocket::HoldsUnread() const {
    return socket_.Unread() > 0 || reading_.load();
}

void ClSocket::Drop() {
    connected_ = false;
    socket_.Shutdown();
    if (!dropped_.exchange(true) && helloSeen_) listener_.OnDisconnected();
}

void ClSocket::Disconnect() {
    running_ = false;
    socket_.Shutdown();
    connectThread_.Join();
    // The connect thread may have opened the socket after the first shutdown.
    socket_.Shutdown();
    receiveThread_.Join();
    const bool wasConnected = connected_.exchange(false);
    if (wasConnected && !dropped_.exchange(true)) listener_.OnDisconnected();
    socket_.Close();
    attemptDone_.Set();
}

bool ClSocket::Send(Packet& packet) {
    packet.Finish();
    if (packet.IsBad() || packet.Size() == 0) {
        LogWrite(u"ERROR : PACKET NOT SENT, ID %d TOO LONG\n", static_cast<int>(packet.GetId()));
        return false;
    }
    std::uint8_t wire[kPacketCapacity];
    const std::size_t size = packet.Size();
    bool sent;
    {
        platform::ScopedLock lock(sendLock_);
        if (!connected_.load()) return false;
        std::memcpy(wire, packet.Data(), size);
        for (std::size_t at = 0; at + kFrameHeaderSize <= size;) {
            const std::size_t length = wire[at] | (wire[at + 1] << 8);
            if (length < kFrameHeaderSize || at + length > size) break;
            sendCipher_.EncryptFrame(wire + at, length);
            at += length;
        }
        sent = socket_.SendAll(wire, size);
    }
    if (!sent) {
        LogWrite(u"ERROR : SEND FAILED, CONNECTION DROPPED\n");
        Drop();
    }
    return sent;
}

}  // namespace net

#pragma once
// A scene stand-in that records the id and first byte of every packet it is handed.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "net/Packet.h"
#include "net/SceneGate.h"

struct RecordedPacket {
    std::uint16_t id;
    std::vector<std::uint8_t> body;
};

class RecordingSink : public net::PacketSink {
public:
    int OnPacket(net::Packet& packet) override {
        RecordedPacket r{packet.GetId(), {}};
        while (!packet.AtEnd()) r.body.push_back(packet.U8());
        {
            std::lock_guard lock(mutex_);
            packets_.push_back(std::move(r));
        }
        changed_.notify_all();
        return 0;
    }
    bool WaitFor(std::size_t count, std::uint32_t timeoutMs = 5000) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return packets_.size() >= count; });
    }
    std::vector<RecordedPacket> Packets() {
        std::lock_guard lock(mutex_);
        return packets_;
    }
    std::size_t Count() {
        std::lock_guard lock(mutex_);
        return packets_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RecordedPacket> packets_;
};

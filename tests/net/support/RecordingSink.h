#pragma once
// A scene stand-in that records the id and body of every packet it is handed, on the session's
// dispatch thread, for a test thread to read. A record never moves or changes once made, so a
// reference to one (or into its body) stays good as long as the sink lives, whatever arrives later.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "net/Packet.h"
#include "net/SceneGate.h"
#include "tests/common/Patience.h"

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
    // The waits give up after timeoutMs times the patience.
    bool WaitFor(std::size_t count, std::uint32_t timeoutMs = 5000) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, testsupport::Patient(std::chrono::milliseconds(timeoutMs)),
                                 [&] { return packets_.size() >= count; });
    }
    // Waits until a packet of this id is recorded; the index of the first, or -1.
    int WaitId(std::uint16_t id, std::uint32_t timeoutMs = 5000) {
        std::unique_lock lock(mutex_);
        int found = -1;
        changed_.wait_for(lock, testsupport::Patient(std::chrono::milliseconds(timeoutMs)),
                          [&] { return (found = Find(id)) >= 0; });
        return found;
    }
    bool Has(std::uint16_t id) {
        std::lock_guard lock(mutex_);
        return Find(id) >= 0;
    }
    // The record at `index`, good for the sink's life.
    const RecordedPacket& At(std::size_t index) {
        std::lock_guard lock(mutex_);
        return packets_.at(index);
    }
    std::size_t Count() {
        std::lock_guard lock(mutex_);
        return packets_.size();
    }

private:
    int Find(std::uint16_t id) const {
        for (std::size_t i = 0; i < packets_.size(); ++i)
            if (packets_[i].id == id) return static_cast<int>(i);
        return -1;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    // A deque keeps its elements in place as it grows.
    std::deque<RecordedPacket> packets_;
};

#pragma once
// Records the game packets of a room to a file: each message is enciphered on its own and appended as a
// record of u16 length and the enciphered frame; the IV of a record is its offset in the file, so a file
// appended to over several games stays readable. Finish appends the end-marker record (id 20).

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "net/FrameCipher.h"
#include "platform/sys/CriticalSection.h"

namespace net {

class Packet;

class PacketRecorder {
public:
    PacketRecorder();
    ~PacketRecorder();
    PacketRecorder(const PacketRecorder&) = delete;
    PacketRecorder& operator=(const PacketRecorder&) = delete;

    // Opens the file for appending and starts recording; false when it cannot be opened.
    bool Start(const std::string& path);
    // Appends every message of the packet while recording.
    void Record(const Packet& packet);
    // Stops recording without an end marker.
    void Disable();
    // Appends the end-marker record and stops; nothing when not recording.
    void Finish();
    bool IsRecording() const;

    // Reads a recording: calls back with each deciphered frame (end markers included). False when the
    // file is missing or a record is cut short or malformed; frames before the fault were delivered.
    static bool Read(const std::string& path,
                     const std::function<void(const std::uint8_t*, std::size_t)>& frame);
    // The same over a recording already in memory.
    static bool ReadBytes(const std::uint8_t* data, std::size_t size,
                          const std::function<void(const std::uint8_t*, std::size_t)>& frame);

private:
    void Append(const std::uint8_t* frame, std::size_t size);

    mutable platform::CriticalSection lock_;
    FrameCipher cipher_;
    std::FILE* file_ = nullptr;
    bool recording_ = false;
};

}  // namespace net

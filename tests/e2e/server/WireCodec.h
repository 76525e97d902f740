#pragma once
// The test server's own frame codec, written apart from the client's Packet so that a fault in one cannot
// hide in both: frames of u16 length (header included), u16 id and little-endian fields; strings as u16
// byte length, UTF-16 text and a 2-byte terminator; DES-CFB64 on id and body with the frame counter as IV.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testserver {

using Bytes = std::vector<std::uint8_t>;

// The longest frame either side takes, its 4-byte header included (the client's receive buffer).
constexpr std::size_t kMaxFrame = 4096;
constexpr std::size_t kMaxBody = kMaxFrame - 4;

struct Frame {
    std::uint16_t id = 0;
    Bytes body;
};

class Writer {
public:
    Writer& u8(std::uint8_t v) { return put(v, 1); }
    Writer& u16(std::uint16_t v) { return put(v, 2); }
    Writer& u32(std::uint32_t v) { return put(v, 4); }
    Writer& u64(std::uint64_t v) { return put(v, 8); }
    Writer& str(const std::u16string& s);
    Writer& raw(const Bytes& b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Writer& put(std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes bytes_;
};

// Reads fields; a short read sets ok = false and yields zeros.
class Reader {
public:
    explicit Reader(const Bytes& b) : b_(b) {}
    std::uint8_t u8() { return static_cast<std::uint8_t>(get(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(get(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(get(4)); }
    std::uint64_t u64() { return get(8); }
    std::u16string str();
    bool ok = true;
    std::size_t left() const { return b_.size() - at_; }

private:
    std::uint64_t get(int n);
    const Bytes& b_;
    std::size_t at_ = 0;
};

// A body too long for the u16 length gets length 0 (which the server's send refuses).
Bytes EncodeFrame(std::uint16_t id, const Bytes& body);

// A list message the client takes whole and replaces its list with: the indices of the entries that go
// in one frame after `header` bytes, in their order. Room for the entry at `always` (if not npos) is set
// aside first, so it is always kept; the others are taken in order while they fit, and those that do not
// are left out. At most `limit` go in (the reach of the list's count).
std::vector<std::size_t> EntriesThatFit(std::size_t header, const std::vector<Bytes>& entries,
                                        std::size_t limit, std::size_t always = static_cast<std::size_t>(-1));
// The body of such a list: the count (a u8 or a u16: `countBytes`), then the entries at `kept`.
Bytes ListBody(std::size_t countBytes, const std::vector<Bytes>& entries,
               const std::vector<std::size_t>& kept);

// One direction's cipher.
class WireCipher {
public:
    WireCipher();
    ~WireCipher();
    void Key(std::uint64_t seed);
    bool on() const { return on_; }
    void Apply(std::uint8_t* frame, std::size_t size, bool encrypt);

private:
    struct State;
    std::unique_ptr<State> state_;
    bool on_ = false;
    std::uint64_t counter_ = 0;
};

}  // namespace testserver

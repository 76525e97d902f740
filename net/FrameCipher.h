#pragma once
// DES encryption of frames, one instance per direction. The 2-byte length stays clear so that the
// receiver can cut frames; the id and body are enciphered in 64-bit CFB mode, which keeps the length.
// The IV of each frame is the direction's frame counter, so equal frames never encipher alike.
// Keys are derived from a seed by SHA-256 with odd parity; weak keys are refused by the checked key
// schedule and the derivation moves on to the next candidate (docs/protocol.md).

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace net {

using DesKey = std::array<std::uint8_t, 8>;

class FrameCipher {
public:
    FrameCipher();
    ~FrameCipher();
    FrameCipher(const FrameCipher&) = delete;
    FrameCipher& operator=(const FrameCipher&) = delete;

    // The first key derived from seed that has odd parity and is not weak.
    static DesKey DeriveKey(std::uint64_t seed);
    // Installs the key schedule and resets the counter; false (and encryption off) for a weak or
    // badly-parity key.
    bool SetKey(const DesKey& key);
    void Disable();
    bool Enabled() const { return enabled_; }

    // Enciphers or deciphers bytes 2..size of one frame in place and advances the counter.
    void EncryptFrame(std::uint8_t* frame, std::size_t size);
    void DecryptFrame(std::uint8_t* frame, std::size_t size);
    // Whole-buffer forms with an explicit IV (the recorder uses them per record).
    void Encrypt(std::uint8_t* data, std::size_t size, std::uint64_t iv);
    void Decrypt(std::uint8_t* data, std::size_t size, std::uint64_t iv);

    std::uint64_t Counter() const { return counter_; }

private:
    void Run(std::uint8_t* data, std::size_t size, std::uint64_t iv, bool encrypt);

    struct Schedule;
    std::unique_ptr<Schedule> schedule_;
    bool enabled_ = false;
    std::uint64_t counter_ = 0;
};

}  // namespace net

// The low-level DES interface is deprecated in OpenSSL 3 but is the one that offers the checked key
// schedule with its weak-key test.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "net/FrameCipher.h"

#include <openssl/des.h>
#include <openssl/sha.h>

#include <cstring>

#include "net/NetConstants.h"

namespace net {

struct FrameCipher::Schedule {
    DES_key_schedule ks;
};

FrameCipher::FrameCipher() : schedule_(std::make_unique<Schedule>()) {}
FrameCipher::~FrameCipher() = default;

DesKey FrameCipher::DeriveKey(std::uint64_t seed) {
    static constexpr char kSalt[] = "marvenlot frame key";
    for (std::uint32_t round = 0;; ++round) {
        std::uint8_t input[8 + 4 + sizeof kSalt];
        for (int i = 0; i < 8; ++i) input[i] = static_cast<std::uint8_t>(seed >> (8 * i));
        for (int i = 0; i < 4; ++i) input[8 + i] = static_cast<std::uint8_t>(round >> (8 * i));
        std::memcpy(input + 12, kSalt, sizeof kSalt);
        std::uint8_t digest[SHA256_DIGEST_LENGTH];
        SHA256(input, sizeof input, digest);
        DES_cblock block;
        std::memcpy(block, digest, 8);
        DES_set_odd_parity(&block);
        if (DES_is_weak_key(&block)) continue;
        DesKey key;
        std::memcpy(key.data(), block, 8);
        return key;
    }
}

bool FrameCipher::SetKey(const DesKey& key) {
    DES_cblock block;
    std::memcpy(block, key.data(), 8);
    enabled_ = DES_set_key_checked(&block, &schedule_->ks) == 0;
    counter_ = 0;
    return enabled_;
}

void FrameCipher::Disable() {
    enabled_ = false;
    counter_ = 0;
}

void FrameCipher::Run(std::uint8_t* data, std::size_t size, std::uint64_t iv, bool encrypt) {
    if (!enabled_ || size == 0) return;
    DES_cblock ivec;
    for (int i = 0; i < 8; ++i) ivec[i] = static_cast<std::uint8_t>(iv >> (8 * i));
    int num = 0;
    DES_cfb64_encrypt(data, data, static_cast<long>(size), &schedule_->ks, &ivec, &num,
                      encrypt ? DES_ENCRYPT : DES_DECRYPT);
}

void FrameCipher::Encrypt(std::uint8_t* data, std::size_t size, std::uint64_t iv) {
    Run(data, size, iv, true);
}
void FrameCipher::Decrypt(std::uint8_t* data, std::size_t size, std::uint64_t iv) {
    Run(data, size, iv, false);
}

void FrameCipher::EncryptFrame(std::uint8_t* frame, std::size_t size) {
    if (!enabled_ || size <= 2) return;
    Run(frame + 2, size - 2, counter_++, true);
}

void FrameCipher::DecryptFrame(std::uint8_t* frame, std::size_t size) {
    if (!enabled_ || size <= 2) return;
    Run(frame + 2, size - 2, counter_++, false);
}

}  // namespace net

#define OPENSSL_SUPPRESS_DEPRECATED
#include "tests/e2e/server/WireCodec.h"

#include <openssl/des.h>
#include <openssl/sha.h>

#include <algorithm>
#include <cstring>

namespace testserver {

Writer& Writer::str(const std::u16string& s) {
    u16(static_cast<std::uint16_t>(s.size() * 2));
    for (char16_t c : s) u16(c);
    return u16(0);
}

std::uint64_t Reader::get(int n) {
    if (!ok || left() < static_cast<std::size_t>(n)) {
        ok = false;
        return 0;
    }
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint64_t{b_[at_ + i]} << (8 * i);
    at_ += n;
    return v;
}

std::u16string Reader::str() {
    const std::size_t bytes = u16();
    if (!ok || bytes % 2 || left() < bytes + 2) {
        ok = false;
        return {};
    }
    std::u16string s;
    for (std::size_t i = 0; i < bytes / 2; ++i) s.push_back(static_cast<char16_t>(u16()));
    u16();
    return s;
}

Bytes EncodeFrame(std::uint16_t id, const Bytes& body) {
    Writer w;
    // A body past what the u16 length can say gets length 0, which no reader takes.
    const std::size_t length = body.size() + 4;
    w.u16(length <= 0xFFFF ? static_cast<std::uint16_t>(length) : 0).u16(id).raw(body);
    return w.bytes();
}

std::vector<std::size_t> EntriesThatFit(std::size_t header, const std::vector<Bytes>& entries,
                                        std::size_t limit, std::size_t always) {
    const bool reserved = always < entries.size() && limit > 0;
    std::size_t room = kMaxBody - std::min(header, kMaxBody);
    if (reserved) room -= std::min(room, entries[always].size());
    std::size_t left = reserved ? limit - 1 : limit;
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (reserved && i == always) {
            kept.push_back(i);
        } else if (left > 0 && entries[i].size() <= room) {
            room -= entries[i].size();
            --left;
            kept.push_back(i);
        }
    }
    return kept;
}

Bytes ListBody(std::size_t countBytes, const std::vector<Bytes>& entries,
               const std::vector<std::size_t>& kept) {
    Writer w;
    if (countBytes == 1)
        w.u8(static_cast<std::uint8_t>(kept.size()));
    else
        w.u16(static_cast<std::uint16_t>(kept.size()));
    for (std::size_t i : kept) w.raw(entries[i]);
    return w.bytes();
}

struct WireCipher::State {
    DES_key_schedule ks;
};

WireCipher::WireCipher() : state_(std::make_unique<State>()) {}
WireCipher::~WireCipher() = default;

void WireCipher::Key(std::uint64_t seed) {
    // SHA-256 of (seed, round, salt); first eight bytes with odd parity; weak keys skipped.
    static const char salt[] = "marvenlot frame key";
    for (std::uint32_t round = 0;; ++round) {
        Writer w;
        w.u64(seed).u32(round);
        Bytes in = w.bytes();
        in.insert(in.end(), salt, salt + sizeof salt);
        unsigned char digest[32];
        SHA256(in.data(), in.size(), digest);
        DES_cblock key;
        std::memcpy(key, digest, 8);
        DES_set_odd_parity(&key);
        if (DES_is_weak_key(&key)) continue;
        DES_set_key_unchecked(&key, &state_->ks);
        break;
    }
    on_ = true;
    counter_ = 0;
}

void WireCipher::Apply(std::uint8_t* frame, std::size_t size, bool encrypt) {
    if (!on_ || size <= 2) return;
    DES_cblock iv;
    for (int i = 0; i < 8; ++i) iv[i] = static_cast<std::uint8_t>(counter_ >> (8 * i));
    ++counter_;
    int num = 0;
    DES_cfb64_encrypt(frame + 2, frame + 2, static_cast<long>(size - 2), &state_->ks, &iv, &num,
                      encrypt ? DES_ENCRYPT : DES_DECRYPT);
}

}  // namespace testserver

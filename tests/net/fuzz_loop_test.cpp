// A deterministic mutation loop over the receive path, short enough for every test run; the libFuzzer
// target in tests/fuzz runs the same harness for as long as one likes (docs/developing.md, "Long runs").

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "net/Packet.h"
#include "tests/net/support/FuzzHarness.h"

namespace {
// Seeds that look like real traffic: valid frames with strings and numbers, several per input.
std::vector<std::vector<std::uint8_t>> Seeds() {
    std::vector<std::vector<std::uint8_t>> seeds;
    for (int k = 0; k < 4; ++k) {
        std::vector<std::uint8_t> s = {static_cast<std::uint8_t>(k * 13)};
        for (int m = 0; m <= k; ++m) {
            net::Packet p;
            p.Init(static_cast<std::uint16_t>(2000 + m));
            p.WriteU16(1)
                .WriteU8(1)
                .WriteU8(4)
                .WriteU8(2)
                .WriteU8(8)
                .WriteU8(0)
                .WriteU8(1)
                .WriteU8(0)
                .WriteU8(40);
            p.WriteU8(0).WriteString(u"room title").WriteU32(1000).WriteU16(1024).WriteU16(2004);
            p.Finish();
            s.insert(s.end(), p.Data(), p.Data() + p.Size());
        }
        seeds.push_back(std::move(s));
    }
    return seeds;
}
}  // namespace

TEST(FuzzLoop, AMillionMutatedInputsThroughCutterAndReaders) {
    std::mt19937 rng(20240601);
    const auto seeds = Seeds();
    std::vector<std::uint8_t> input;
    constexpr int kInputs = 1'000'000;
    for (int i = 0; i < kInputs; ++i) {
        input = seeds[rng() % seeds.size()];
        const int mutations = 1 + static_cast<int>(rng() % 8);
        for (int m = 0; m < mutations; ++m) {
            switch (rng() % 5) {
                case 0:
                    input[rng() % input.size()] = static_cast<std::uint8_t>(rng());
                    break;
                case 1:
                    input[rng() % input.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
                    break;
                case 2:
                    input.insert(input.begin() + rng() % input.size(), static_cast<std::uint8_t>(rng()));
                    break;
                case 3:
                    if (input.size() > 2) input.erase(input.begin() + rng() % input.size());
                    break;
                default: {
                    // Interesting lengths at a frame header position.
                    static constexpr std::uint16_t kLengths[] = {0, 3, 4, 5, 3066, 3068, 4096, 4097, 0xFFFF};
                    const std::size_t at = rng() % input.size();
                    const std::uint16_t v = kLengths[rng() % std::size(kLengths)];
                    input[at] = static_cast<std::uint8_t>(v);
                    if (at + 1 < input.size()) input[at + 1] = static_cast<std::uint8_t>(v >> 8);
                }
            }
        }
        fuzz::RunInput(input.data(), input.size());
    }
    SUCCEED() << kInputs << " inputs";
}

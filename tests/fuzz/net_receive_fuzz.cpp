// libFuzzer entry over the receive path: frame cutter and packet readers.

#include <cstddef>
#include <cstdint>

#include "tests/net/support/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::RunInput(data, size);
    return 0;
}

// Crash dumps are read back from disk by the dump reader: any bytes are either refused or read into
// a dump whose parts lie within the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/crash/CrashDump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto dump = platform::ParseCrashDump(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!dump) return 0;
    const std::size_t parts = sizeof platform::kCrashDumpMagic + 3 * 4 + 3 * 8 + 4 +
                              dump->registers.size() * 8 + 8 + 4 + dump->stack.size() + 4 +
                              dump->modules.size();
    if (parts > size) std::abort();
    return 0;
}

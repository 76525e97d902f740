#pragma once
// The crash dump file: what the crash hook writes and the dump reader takes back.
//
// Layout, little-endian:
//   "MVDUMP01"                     8 bytes
//   u32 signal, u32 signalCode, u32 exceptionCode (Windows-style code the report names)
//   u64 faultAddress (the data address of the fault), u64 instructionAddress, u64 threadId
//   u32 registerCount, then registerCount x u64 (the general registers of the crashing thread)
//   u64 stackAddress, u32 stackLength, then stackLength bytes read upward from the stack pointer
//   u32 modulesLength, then modulesLength bytes of the process's memory map text (loaded modules)

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

constexpr char kCrashDumpMagic[8] = {'M', 'V', 'D', 'U', 'M', 'P', '0', '1'};

struct CrashDump {
    std::uint32_t signal = 0;
    std::uint32_t signalCode = 0;
    std::uint32_t exceptionCode = 0;
    std::uint64_t faultAddress = 0;
    std::uint64_t instructionAddress = 0;
    std::uint64_t threadId = 0;
    std::vector<std::uint64_t> registers;
    std::uint64_t stackAddress = 0;
    std::vector<std::uint8_t> stack;
    std::string modules;
};

// Names of the general registers in the order they are stored.
const std::vector<std::string_view>& CrashDumpRegisterNames();

// Parses a dump; nullopt for a truncated or foreign file.
std::optional<CrashDump> ParseCrashDump(std::string_view bytes);

// Reads a dump file's bytes (at most kMaxCrashDumpFileSize). False with a one-line reason in *error
// for a path that is missing, unreadable, a folder or anything but a regular file, or too large.
constexpr std::size_t kMaxCrashDumpFileSize = 64u << 20;
bool ReadCrashDumpFile(const std::string& path, std::string& bytes, std::string* error);

}  // namespace platform

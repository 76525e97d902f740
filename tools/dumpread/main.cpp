// Prints what a crash dump holds: the signal, the exception, the addresses, the registers, the stack
// bytes and the loaded modules. Usage: marvenlot-dumpread [ErrorDump.dmp]
#include <cstdio>
#include <string>

#include "platform/crash/CrashDump.h"
#include "platform/crash/CrashHook.h"

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "ErrorDump.dmp";
    std::string bytes;
    std::string error;
    if (!platform::ReadCrashDumpFile(path, bytes, &error)) {
        std::fprintf(stderr, "dumpread: cannot read %s: %s\n", path, error.c_str());
        return 2;
    }
    const auto dump = platform::ParseCrashDump(bytes);
    if (!dump) {
        std::fprintf(stderr, "dumpread: %s is not a crash dump or is truncated\n", path);
        return 2;
    }
    std::printf("signal %u code %d\n", dump->signal, static_cast<int>(dump->signalCode));
    std::printf("exception 0x%08X %s\n", dump->exceptionCode, platform::ExceptionName(dump->exceptionCode));
    std::printf("fault address 0x%016llX\n", static_cast<unsigned long long>(dump->faultAddress));
    std::printf("instruction address 0x%016llX\n", static_cast<unsigned long long>(dump->instructionAddress));
    std::printf("thread %llu\n", static_cast<unsigned long long>(dump->threadId));
    const auto& names = platform::CrashDumpRegisterNames();
    for (size_t i = 0; i < dump->registers.size(); ++i)
        std::printf("  %-8s 0x%016llX\n", i < names.size() ? std::string(names[i]).c_str() : "?",
                    static_cast<unsigned long long>(dump->registers[i]));
    std::printf("stack at 0x%016llX, %zu bytes\n", static_cast<unsigned long long>(dump->stackAddress),
                dump->stack.size());
    for (size_t i = 0; i < dump->stack.size(); i += 16) {
        std::printf("  %016llX ", static_cast<unsigned long long>(dump->stackAddress + i));
        for (size_t j = i; j < i + 16 && j < dump->stack.size(); ++j) std::printf(" %02X", dump->stack[j]);
        std::printf("\n");
    }
    std::printf("modules\n");
    size_t start = 0;
    while (start < dump->modules.size()) {
        size_t end = dump->modules.find('\n', start);
        if (end == std::string::npos) end = dump->modules.size();
        const std::string line = dump->modules.substr(start, end - start);
        // Executable mappings of files are the loaded modules.
        if (line.find(" r-xp ") != std::string::npos && line.find('/') != std::string::npos)
            std::printf("  %s\n", line.c_str());
        start = end + 1;
    }
    return 0;
}

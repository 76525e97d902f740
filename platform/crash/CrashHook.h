#pragma once
// The crash hook: a handler for the fatal signals that writes the dump, names the exception in the
// Windows style the report uses, and hands the report (dialog and upload) to a separate reporter
// process, since nothing but async-signal-safe work may run inside the handler.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct CrashHookSettings {
    std::string dumpPath = "ErrorDump.dmp";
    // The reporter program and its first arguments; the hook appends "--line" <report line>
    // and "--app" or "--no-app". Empty: the hook writes the line on stderr itself.
    std::string reporterPath;
    std::vector<std::string> reporterArgs;
};

// Installs the handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP and SIGABRT on an alternate
// stack. Call once, early, on the main thread. False, with nothing installed, when a path or an
// argument is longer than a path may be or there are more than 16 reporter arguments.
bool InstallCrashHook(const CrashHookSettings& settings);
// Gives the calling thread an alternate signal stack, so a stack overflow can still be reported.
void InstallCrashAltStack();
// Frees the calling thread's alternate stack; called as a thread ends.
void RemoveCrashAltStack();
// Whether the application object exists: with it the reporter shows the report dialog and uploads,
// without it only a plain message box.
void SetCrashReportAppPresent(bool present);

// The Windows-style exception code for a signal (si_code and addresses decide between neighbours).
std::uint32_t ExceptionCodeForSignal(int signal, int signalCode, std::uint64_t faultAddress,
                                     std::uint64_t stackPointer);
// "ACCESS_VIOLATION" and the other names of the report; "UNKNOWN" for any other code.
const char* ExceptionName(std::uint32_t exceptionCode);
// "Exception: <name> at 0x<address>", the address in at least eight upper-case hex digits.
std::string CrashReportLine(std::uint32_t exceptionCode, std::uint64_t address);

}  // namespace platform

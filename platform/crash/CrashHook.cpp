#include "platform/crash/CrashHook.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "platform/crash/CrashDump.h"

namespace platform {

namespace {

struct NamedCode {
    std::uint32_t code;
    const char* name;
};

constexpr NamedCode kExceptionNames[] = {
    {0x80000002, "DATATYPE_MISALIGNMENT"},
    {0x80000003, "BREAKPOINT"},
    {0x80000004, "SINGLE_STEP"},
    {0xC0000005, "ACCESS_VIOLATION"},
    {0xC0000006, "IN_PAGE_ERROR"},
    {0xC000001D, "ILLEGAL_INSTRUCTION"},
    {0xC0000025, "NONCONTINUABLE_EXCEPTION"},
    {0xC0000026, "INVALID_DISPOSITION"},
    {0xC000008C, "ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008D, "FLT_DENORMAL_OPERAND"},
    {0xC000008E, "FLT_DIVIDE_BY_ZERO"},
    {0xC000008F, "FLT_INEXACT_RESULT"},
    {0xC0000090, "FLT_INVALID_OPERATION"},
    {0xC0000091, "FLT_OVERFLOW"},
    {0xC0000092, "FLT_STACK_CHECK"},
    {0xC0000093, "FLT_UNDERFLOW"},
    {0xC0000094, "INT_DIVIDE_BY_ZERO"},
    {0xC0000095, "INT_OVERFLOW"},
    {0xC0000096, "PRIV_INSTRUCTION"},
    {0xC00000FD, "STACK_OVERFLOW"},
};

// What abort() raises: a fatal application exit, a code outside the report's table.
constexpr std::uint32_t kFatalAppExit = 0x40000015;
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGABRT};
constexpr size_t kAltStackSize = 64 * 1024;
constexpr size_t kStackBytes = 8 * 1024;
constexpr size_t kModulesBytes = 64 * 1024;
constexpr size_t kMaxReporterArgs = 16;
// Room for a whole path (PATH_MAX) with its terminator.
constexpr size_t kMaxPathBytes = 4096;

// Everything the handler needs is prepared at install time: it allocates nothing.
struct HookState {
    char dumpPath[kMaxPathBytes] = {};
    char reporterPath[kMaxPathBytes] = {};
    char reporterArgs[kMaxReporterArgs][kMaxPathBytes] = {};
    size_t reporterArgCount = 0;
    char line[128] = {};
    std::uint8_t stack[kStackBytes] = {};
    char modules[kModulesBytes] = {};
};

HookState gState;
// The crash lock: a plain atomic, never destroyed, so a crash during static destruction still works.
std::atomic<int> gCrashOwner{0};
std::atomic<bool> gAppPresent{false};

// Async-signal-safe helpers.
size_t CopyText(char* out, size_t capacity, const char* text) {
    size_t n = 0;
    while (text[n] && n + 1 < capacity) {
        out[n] = text[n];
        ++n;
    }
    out[n] = 0;
    return n;
}

size_t FormatHex(char* out, std::uint64_t value, int minDigits) {
    char digits[16];
    int count = 0;
    do {
        digits[count++] = "0123456789ABCDEF"[value & 15];
        value >>= 4;
    } while (value != 0);
    while (count < minDigits) digits[count++] = '0';
    for (int i = 0; i < count; ++i) out[i] = digits[count - 1 - i];
    out[count] = 0;
    return static_cast<size_t>(count);
}

void BuildLine(char* out, size_t capacity, std::uint32_t code, std::uint64_t address) {
    size_t n = CopyText(out, capacity, "Exception: ");
    n += CopyText(out + n, capacity - n, ExceptionName(code));
    n += CopyText(out + n, capacity - n, " at 0x");
    if (capacity - n > 17) FormatHex(out + n, address, 8);
}

void WriteAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(fd, p, size);
        if (written <= 0) return;
        p += written;
        size -= static_cast<size_t>(written);
    }
}

template <class T>
void WriteValue(int fd, const T& value) {
    WriteAll(fd, &value, sizeof value);
}

// Reads our own memory without faulting: unreadable pages end the copy.
size_t ReadOwnMemory(std::uint64_t address, std::uint8_t* out, size_t size) {
    size_t done = 0;
    const pid_t pid = getpid();
    while (done < size) {
        const std::uint64_t at = address + done;
        const size_t toPageEnd = 4096 - (at & 4095);
        const size_t chunk = size - done < toPageEnd ? size - done : toPageEnd;
        iovec local{out + done, chunk};
        iovec remote{reinterpret_cast<void*>(at), chunk};
        ssize_t got = process_vm_readv(pid, &local, 1, &remote, 1, 0);
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

void WriteDump(int signal, const siginfo_t* info, const ucontext_t* context, std::uint32_t code) {
    // Never waits on a FIFO or device in the dump's place, and writes only into a regular file
    // (a FIFO is refused before O_TRUNC could matter; only async-signal-safe calls here).
    struct stat st {};
    if (stat(gState.dumpPath, &st) == 0 && !S_ISREG(st.st_mode)) return;
    const int fd = open(gState.dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) return;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return;
    }
    const auto& regs = context->uc_mcontext.gregs;
    WriteAll(fd, kCrashDumpMagic, sizeof kCrashDumpMagic);
    WriteValue(fd, static_cast<std::uint32_t>(signal));
    WriteValue(fd, static_cast<std::uint32_t>(info->si_code));
    WriteValue(fd, code);
    WriteValue(fd, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(info->si_addr)));
    WriteValue(fd, static_cast<std::uint64_t>(regs[REG_RIP]));
    WriteValue(fd, static_cast<std::uint64_t>(syscall(SYS_gettid)));
    WriteValue(fd, static_cast<std::uint32_t>(NGREG));
    for (int i = 0; i < NGREG; ++i) WriteValue(fd, static_cast<std::uint64_t>(regs[i]));

    const auto stackPointer = static_cast<std::uint64_t>(regs[REG_RSP]);
    const size_t stackLength = ReadOwnMemory(stackPointer, gState.stack, kStackBytes);
    WriteValue(fd, stackPointer);
    WriteValue(fd, static_cast<std::uint32_t>(stackLength));
    WriteAll(fd, gState.stack, stackLength);

    size_t modulesLength = 0;
    const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps >= 0) {
        ssize_t got;
        while (modulesLength < kModulesBytes &&
               (got = read(maps, gState.modules + modulesLength, kModulesBytes - modulesLength)) > 0)
            modulesLength += static_cast<size_t>(got);
        close(maps);
    }
    WriteValue(fd, static_cast<std::uint32_t>(modulesLength));
    WriteAll(fd, gState.modules, modulesLength);
    close(fd);
}

void RunReporter() {
    if (gState.reporterPath[0] == 0) {
        WriteAll(2, "Marvenlot: ", 11);
        WriteAll(2, gState.line, strlen(gState.line));
        WriteAll(2, "\n", 1);
        return;
    }
    char* argv[kMaxReporterArgs + 6] = {};
    size_t n = 0;
    argv[n++] = gState.reporterPath;
    for (size_t i = 0; i < gState.reporterArgCount; ++i) argv[n++] = gState.reporterArgs[i];
    static char lineFlag[] = "--line";
    static char appFlag[] = "--app";
    static char noAppFlag[] = "--no-app";
    argv[n++] = lineFlag;
    argv[n++] = gState.line;
    argv[n++] = gAppPresent.load() ? appFlag : noAppFlag;
    argv[n] = nullptr;
    const pid_t child = vfork();
    if (child == 0) {
        execve(gState.reporterPath, argv, environ);
        _exit(127);
    }
    if (child > 0) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

void CrashHandler(int signal, siginfo_t* info, void* rawContext) {
    const int self = static_cast<int>(syscall(SYS_gettid));
    int expected = 0;
    if (!gCrashOwner.compare_exchange_strong(expected, self)) {
        // A fault inside the report itself ends the process; another thread waits for the report.
        if (expected == self) _exit(128 + signal);
        for (;;) pause();
    }
    const auto* context = static_cast<const ucontext_t*>(rawContext);
    const auto& regs = context->uc_mcontext.gregs;
    const std::uint32_t code =
        ExceptionCodeForSignal(signal, info->si_code, reinterpret_cast<std::uintptr_t>(info->si_addr),
                               static_cast<std::uint64_t>(regs[REG_RSP]));
    WriteDump(signal, info, context, code);
    BuildLine(gState.line, sizeof gState.line, code, static_cast<std::uint64_t>(regs[REG_RIP]));
    RunReporter();

    // End the process the way the signal would have.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(signal);
    _exit(128 + signal);
}

}  // namespace

const char* ExceptionName(std::uint32_t exceptionCode) {
    for (const auto& entry : kExceptionNames)
        if (entry.code == exceptionCode) return entry.name;
    return "UNKNOWN";
}

std::string CrashReportLine(std::uint32_t exceptionCode, std::uint64_t address) {
    char line[128];
    BuildLine(line, sizeof line, exceptionCode, address);
    return line;
}

std::uint32_t ExceptionCodeForSignal(int signal, int signalCode, std::uint64_t faultAddress,
                                     std::uint64_t stackPointer) {
    switch (signal) {
        case SIGSEGV:
            // A fault just below the stack pointer is the guard page of an overflowing stack.
            if (signalCode != SI_USER && faultAddress <= stackPointer + 256 &&
                stackPointer - faultAddress < 65536)
                return 0xC00000FD;
            return 0xC0000005;
        case SIGBUS:
            return signalCode == BUS_ADRALN ? 0x80000002 : 0xC0000006;
        case SIGILL:
            return signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG ? 0xC0000096 : 0xC000001D;
        case SIGFPE:
            switch (signalCode) {
                case FPE_INTDIV:
                    return 0xC0000094;
                case FPE_INTOVF:
                    return 0xC0000095;
                case FPE_FLTDIV:
                    return 0xC000008E;
                case FPE_FLTOVF:
                    return 0xC0000091;
                case FPE_FLTUND:
                    return 0xC0000093;
                case FPE_FLTRES:
                    return 0xC000008F;
                case FPE_FLTSUB:
                    return 0xC000008C;
                default:
                    return 0xC0000090;
            }
        case SIGTRAP:
            return signalCode == TRAP_TRACE ? 0x80000004 : 0x80000003;
        default:
            return kFatalAppExit;
    }
}

namespace {
thread_local void* tAltStack = nullptr;
}  // namespace

void InstallCrashAltStack() {
    if (tAltStack) return;
    void* memory = mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return;
    stack_t stack{};
    stack.ss_sp = memory;
    stack.ss_size = kAltStackSize;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(memory, kAltStackSize);
        return;
    }
    tAltStack = memory;
}

void RemoveCrashAltStack() {
    if (!tAltStack) return;
    stack_t disable{};
    disable.ss_flags = SS_DISABLE;
    sigaltstack(&disable, nullptr);
    munmap(tAltStack, kAltStackSize);
    tAltStack = nullptr;
}

void SetCrashReportAppPresent(bool present) {
    gAppPresent.store(present);
}

bool InstallCrashHook(const CrashHookSettings& settings) {
    if (settings.reporterArgs.size() > kMaxReporterArgs) return false;
    // A path cut to fit would write the dump, or start the reporter, somewhere else.
    if (settings.dumpPath.size() >= kMaxPathBytes || settings.reporterPath.size() >= kMaxPathBytes)
        return false;
    for (const std::string& arg : settings.reporterArgs)
        if (arg.size() >= kMaxPathBytes) return false;
    CopyText(gState.dumpPath, sizeof gState.dumpPath, settings.dumpPath.c_str());
    CopyText(gState.reporterPath, sizeof gState.reporterPath, settings.reporterPath.c_str());
    gState.reporterArgCount = settings.reporterArgs.size();
    for (size_t i = 0; i < settings.reporterArgs.size(); ++i)
        CopyText(gState.reporterArgs[i], sizeof gState.reporterArgs[i], settings.reporterArgs[i].c_str());
    InstallCrashAltStack();
    struct sigaction action {};
    action.sa_sigaction = CrashHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kFatalSignals)
        if (sigaction(signal, &action, nullptr) != 0) return false;
    return true;
}

}  // namespace platform

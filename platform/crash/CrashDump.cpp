#include "platform/crash/CrashDump.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/sys/RegularFile.h"

namespace platform {

const std::vector<std::string_view>& CrashDumpRegisterNames() {
    // The order of the kernel's x86-64 ucontext general registers.
    static const std::vector<std::string_view> names = {
        "r8",  "r9",  "r10", "r11", "r12", "r13",    "r14",    "r15", "rdi",    "rsi",     "rbp", "rbx",
        "rdx", "rax", "rcx", "rsp", "rip", "eflags", "csgsfs", "err", "trapno", "oldmask", "cr2"};
    return names;
}

namespace {
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    template <class T>
    bool Read(T& value) {
        if (bytes_.size() - pos_ < sizeof(T)) return false;
        std::memcpy(&value, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return true;
    }
    bool Take(size_t n, std::string_view& out) {
        if (bytes_.size() - pos_ < n) return false;
        out = bytes_.substr(pos_, n);
        pos_ += n;
        return true;
    }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};
}  // namespace

std::optional<CrashDump> ParseCrashDump(std::string_view bytes) {
    Reader in(bytes);
    std::string_view magic;
    if (!in.Take(sizeof kCrashDumpMagic, magic) ||
        std::memcmp(magic.data(), kCrashDumpMagic, sizeof kCrashDumpMagic) != 0)
        return std::nullopt;
    CrashDump dump;
    std::uint32_t registerCount = 0;
    if (!in.Read(dump.signal) || !in.Read(dump.signalCode) || !in.Read(dump.exceptionCode) ||
        !in.Read(dump.faultAddress) || !in.Read(dump.instructionAddress) || !in.Read(dump.threadId) ||
        !in.Read(registerCount) || registerCount > 256)
        return std::nullopt;
    dump.registers.resize(registerCount);
    for (auto& r : dump.registers)
        if (!in.Read(r)) return std::nullopt;
    std::uint32_t stackLength = 0;
    std::string_view stack;
    if (!in.Read(dump.stackAddress) || !in.Read(stackLength) || !in.Take(stackLength, stack))
        return std::nullopt;
    dump.stack.assign(stack.begin(), stack.end());
    std::uint32_t modulesLength = 0;
    std::string_view modules;
    if (!in.Read(modulesLength) || !in.Take(modulesLength, modules)) return std::nullopt;
    dump.modules = std::string(modules);
    return dump;
}

bool ReadCrashDumpFile(const std::string& path, std::string& bytes, std::string* error) {
    bytes.clear();
    const auto fail = [error](std::string reason) {
        if (error) *error = std::move(reason);
        return false;
    };
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return fail("is a folder");
    int openError = 0;
    const int fd = OpenRegularFile(path, O_RDONLY, openError);
    if (fd < 0)
        return fail(openError == kNotRegularFile ? "is not a regular file" : FileErrorText(openError));
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int code = errno;
            close(fd);
            return fail(std::strerror(code));
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxCrashDumpFileSize) {
            close(fd);
            return fail("is too large for a crash dump");
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return true;
}

}  // namespace platform

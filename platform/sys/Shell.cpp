#include "platform/sys/Shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <sstream>
#include <utility>

#include "platform/sys/Clock.h"
#include "platform/sys/Env.h"
#include "platform/sys/Journal.h"
#include "platform/sys/RegularFile.h"

extern char** environ;

namespace platform {

namespace {

// A user-dirs.dirs is a few lines; more is no such file.
constexpr std::size_t kMaxUserDirsBytes = 1u << 16;

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The argument vector of an exec: built before fork, since between fork and exec only
// async-signal-safe calls are allowed in a process with threads.
class Arguments {
public:
    Arguments(const std::string& program, const std::vector<std::string>& args) : strings_(args) {
        strings_.insert(strings_.begin(), program);
        for (std::string& s : strings_) pointers_.push_back(s.data());
        pointers_.push_back(nullptr);
    }
    char** Get() { return pointers_.data(); }

private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};

// The opener's end as its watcher reports it: a wait status, or that it still runs.
constexpr int kStillRunning = -1;

// An opener under watch: its watcher process, the pipe the watcher reports through, what it opens
// and the file handed over to be removed after use (empty when none).
struct WatchedOpener {
    pid_t watcher;
    int report;
    std::string target;
    std::string handed;
};

struct HandedFile {
    std::string path;
    std::uint64_t handedMs;
};

struct OpenerRecords {
    ~OpenerRecords() {
        for (const HandedFile& file : handed) unlink(file.path.c_str());
    }
    std::mutex mutex;
    std::vector<WatchedOpener> watched;
    std::vector<ShellOpenFailure> failures;
    std::vector<HandedFile> handed;
};

OpenerRecords& Openers() {
    static OpenerRecords records;
    return records;
}

void AddFailure(const std::string& target, std::string why, bool noBrowser) {
    OpenerRecords& records = Openers();
    std::lock_guard lock(records.mutex);
    records.failures.push_back({target, std::move(why), noBrowser});
}

// Removes a handed file and forgets it; the records' lock is held.
void RemoveHanded(OpenerRecords& records, const std::string& path) {
    unlink(path.c_str());
    std::erase_if(records.handed, [&](const HandedFile& file) { return file.path == path; });
}

// xdg-open's exit codes: 1 bad arguments, 2 no such file, 3 no program for it, 4 the program
// failed; 127 is the watcher's for an exec that failed.
std::string OpenerEndText(int status) {
    if (WIFSIGNALED(status)) return "xdg-open was ended by signal " + std::to_string(WTERMSIG(status));
    const int code = WEXITSTATUS(status);
    const char* what = code == 1     ? "it was not understood"
                       : code == 2   ? "there is no such file"
                       : code == 3   ? "no program to open it was found"
                       : code == 4   ? "the program for it failed"
                       : code == 127 ? "xdg-open could not be started"
                                     : "it failed";
    return "xdg-open ended with exit code " + std::to_string(code) + " (" + what + ")";
}

// Starts the opener in a new session under a watcher process, which waits up to
// kShellOpenWatchMs for the opener's end, reports it (or that it still runs) through a pipe and
// ends, leaving a longer-running opener (one that waits for the browser it started) detached.
bool StartWatchedOpener(const std::string& opener, const std::string& target, const std::string& named,
                        const std::string& handed, std::string& why) {
    Arguments argv(opener, {target});
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        why = std::strerror(errno);
        return false;
    }
    const pid_t watcher = fork();
    if (watcher < 0) {
        why = std::strerror(errno);
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (watcher == 0) {
        setsid();
        // The watcher outlives no exec: it lets go of every file the client holds (the instance
        // lock among them), so that a client started again while it waits is not refused.
        const unsigned keep = static_cast<unsigned>(report[1]);
        if (keep > 3) close_range(3, keep - 1, 0);
        close_range(keep + 1, ~0u, 0);
        const pid_t child = fork();
        if (child == 0) {
            execve(argv.Get()[0], argv.Get(), environ);
            _exit(127);
        }
        int status = child < 0 ? 127 << 8 : kStillRunning;
        const timespec step{0, 20 * 1000 * 1000};
        for (int waited = 0; child > 0 && waited < kShellOpenWatchMs; waited += 20) {
            int ended = 0;
            if (waitpid(child, &ended, WNOHANG) == child) {
                status = ended;
                break;
            }
            nanosleep(&step, nullptr);
        }
        (void)!::write(report[1], &status, sizeof status);
        _exit(0);
    }
    close(report[1]);
    fcntl(report[0], F_SETFL, O_NONBLOCK);
    OpenerRecords& records = Openers();
    std::lock_guard lock(records.mutex);
    records.watched.push_back({watcher, report[0], named, handed});
    if (!handed.empty()) records.handed.push_back({handed, NowMs()});
    return true;
}

}  // namespace

std::string FindProgram(const std::string& name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
    const std::string path = GetEnv("PATH");
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string folder = end > start ? path.substr(start, end - start) : std::string(".");
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return {};
}

bool SpawnDetached(const std::string& program, const std::vector<std::string>& args) {
    Arguments argv(program, args);
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return false;

    // The intermediate child starts the program and ends at once, so the program is adopted by
    // init and nobody has to reap it; waiting for the intermediate child takes no time.
    const pid_t child = fork();
    if (child < 0) {
        close(ready[0]);
        close(ready[1]);
        return false;
    }
    if (child == 0) {
        close(ready[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            execve(argv.Get()[0], argv.Get(), environ);
            const int error = errno;
            (void)!::write(ready[1], &error, sizeof error);  // exec failed: report why
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(ready[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec (close-on-exec) and carries errno when exec failed.
    int error = 0;
    ssize_t n;
    do n = ::read(ready[0], &error, sizeof error);
    while (n < 0 && errno == EINTR);
    close(ready[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

bool ShellOpen(std::string_view target, std::string_view what, HandOver file) {
    const std::string text(target);
    const std::string handed = file == HandOver::RemoveAfterUse ? text : std::string();
    const auto notOpened = [&] {
        if (!handed.empty()) unlink(handed.c_str());
        return false;
    };
    if (target.empty() || target.front() == '-' || target.find_first_of("\r\n") != std::string_view::npos ||
        target.find('\0') != std::string_view::npos)
        return notOpened();
    if (IsHeadless()) {
        std::fprintf(stderr, "open: %s\n", text.c_str());
        Journal::Write("OPEN " + text);
        if (!handed.empty()) {
            OpenerRecords& records = Openers();
            std::lock_guard lock(records.mutex);
            records.handed.push_back({handed, NowMs()});
        }
        return true;
    }
    const std::string opener = FindProgram("xdg-open");
    const std::string named(what.empty() ? target : what);
    std::string why;
    if (opener.empty()) {
        AddFailure(named, "xdg-open is not installed", true);
        return notOpened();
    }
    if (!StartWatchedOpener(opener, text, named, handed, why)) {
        AddFailure(named, "xdg-open could not be started: " + why, false);
        return notOpened();
    }
    return true;
}

void RemoveHandedFiles() {
    OpenerRecords& records = Openers();
    std::lock_guard lock(records.mutex);
    for (const HandedFile& file : records.handed) unlink(file.path.c_str());
    records.handed.clear();
}

void ReportShellOpenFailure(ShellOpenFailure failure) {
    OpenerRecords& records = Openers();
    std::lock_guard lock(records.mutex);
    records.failures.push_back(std::move(failure));
}

std::vector<ShellOpenFailure> TakeShellOpenFailures() {
    OpenerRecords& records = Openers();
    std::lock_guard lock(records.mutex);
    for (auto it = records.watched.begin(); it != records.watched.end();) {
        int status = kStillRunning;
        const ssize_t n = ::read(it->report, &status, sizeof status);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            ++it;
            continue;
        }
        // The watcher has reported (or died) and ends at once.
        close(it->report);
        while (waitpid(it->watcher, nullptr, 0) < 0 && errno == EINTR) {
        }
        const bool opened = n != static_cast<ssize_t>(sizeof status) || status == kStillRunning ||
                            (WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (!opened) {
            records.failures.push_back(
                {it->target, OpenerEndText(status), WIFEXITED(status) && WEXITSTATUS(status) == 3});
            if (!it->handed.empty()) RemoveHanded(records, it->handed);
        }
        it = records.watched.erase(it);
    }
    const std::uint64_t now = NowMs();
    std::erase_if(records.handed, [&](const HandedFile& file) {
        if (ElapsedMs(file.handedMs, now) < kHandedFileKeepMs) return false;
        unlink(file.path.c_str());
        return true;
    });
    return std::exchange(records.failures, {});
}

bool StartLauncher() {
    constexpr const char* kLauncher = "marvenlot-launcher";
    std::string program;
    const std::string beside = ExecutableDir();
    if (!beside.empty() && IsExecutableFile(beside + "/" + kLauncher)) program = beside + "/" + kLauncher;
    if (program.empty()) program = FindProgram(kLauncher);
    return !program.empty() && SpawnDetached(program, {});
}

std::string ParseUserDirsDesktop(std::string_view text, const std::string& home) {
    std::istringstream lines{std::string(text)};
    std::string result;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        line = line.substr(first);
        constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
        if (line.compare(0, kKey.size(), kKey) != 0) continue;
        std::string value = line.substr(kKey.size());
        const auto end = value.find_last_not_of(" \t");
        value = end == std::string::npos ? std::string() : value.substr(0, end + 1);
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
        value = value.substr(1, value.size() - 2);
        if (value == "$HOME")
            result = home;
        else if (value.compare(0, 6, "$HOME/") == 0)
            result = home + value.substr(5);
        else if (!value.empty() && value.front() == '/')
            result = value;
        // Later entries override earlier ones, as when the shell sources the file.
    }
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

bool IsHomeFolder(const std::string& folder) {
    const auto trimmed = [](std::string path) {
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        return path;
    };
    const std::string home = trimmed(HomeDir());
    return !home.empty() && trimmed(folder) == home;
}

std::string DesktopDir() {
    std::string dir = GetEnv("MARVENLOT_DESKTOP_DIR");
    if (!dir.empty()) return dir;

    const std::string home = HomeDir();
    std::string config = GetEnv("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::string text;
    int error = 0;
    if (ReadRegularFile(config + "/user-dirs.dirs", text, error, kMaxUserDirsBytes)) {
        dir = ParseUserDirsDesktop(text, home);
        if (!dir.empty()) return dir;
    }
    dir = GetEnv("XDG_DESKTOP_DIR");
    if (!dir.empty()) return dir;
    if (IsFolder(home + "/Desktop")) return home + "/Desktop";
    return home;
}

}  // namespace platform

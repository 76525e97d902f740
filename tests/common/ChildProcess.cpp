#include "tests/common/ChildProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"

extern char** environ;

namespace testsupport {

namespace {

constexpr int kReportFd = 3;
constexpr const char* kModeVariable = "MARVENLOT_TEST_CHILD";

// The test's environment with the given "NAME=value" entries added or replacing its own; of two
// entries with one name the later wins.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) environment.emplace_back(*e);
    for (const std::string& added : extra) {
        const std::string prefix = added.substr(0, added.find('=')) + "=";
        std::erase_if(environment, [&prefix](const std::string& entry) { return entry.starts_with(prefix); });
        environment.push_back(added);
    }
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

std::map<std::string, std::function<int()>>& ChildModes() {
    static std::map<std::string, std::function<int()>> modes;
    return modes;
}

ChildMode::ChildMode(const std::string& name, std::function<int()> body) {
    ChildModes()[name] = std::move(body);
}

void Report(const std::string& line) {
    const std::string text = line + "\n";
    (void)!::write(kReportFd, text.data(), text.size());
}

std::string WaitForParent() {
    std::string line;
    char c;
    while (::read(0, &c, 1) == 1 && c != '\n') line.push_back(c);
    return line;
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (reportFd_ >= 0) ::close(reportFd_);
    CloseInput();
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env, const std::string& folder) {
    return Spawn(program, args, env, folder, false);
}

bool ChildProcess::StartMode(const std::string& mode) {
    return Spawn("/proc/self/exe", {"--gtest_filter=ChildProcess.Entry"},
                 {std::string(kModeVariable) + "=" + mode}, "", true);
}

bool ChildProcess::Spawn(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env, const std::string& folder, bool mode) {
    if (pid_ > 0) return false;
    int report[2] = {-1, -1}, input[2] = {-1, -1};
    if (mode && (pipe2(report, O_CLOEXEC) != 0 || pipe2(input, O_CLOEXEC) != 0)) {
        for (int fd : {report[0], report[1], input[0], input[1]})
            if (fd >= 0) ::close(fd);
        return false;
    }
    std::vector<std::string> environment = ChildEnvironment(env);
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> envp = Pointers(environment);
    std::vector<char*> argv = Pointers(argStrings);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    if (mode) {
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, report[1], kReportFd);
    }
    if (!stderrPath_.empty())
        posix_spawn_file_actions_addopen(&actions, 2, stderrPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    pid_t pid = -1;
    const int result = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (mode) {
        ::close(report[1]);
        ::close(input[0]);
        reportFd_ = report[0];
        inputFd_ = input[1];
    }
    if (result != 0) return false;
    pid_ = pid;
    return true;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + Patient(timeout);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return -WTERMSIG(status);
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void ChildProcess::Terminate() {
    Signal(SIGTERM);
}

void ChildProcess::Signal(int signal) {
    if (pid_ > 0) ::kill(pid_, signal);
}

std::string ChildProcess::ReadLine(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + Patient(std::chrono::milliseconds(timeoutMs));
    for (;;) {
        const auto newline = pending_.find('\n');
        if (newline != std::string::npos) {
            std::string line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            return line;
        }
        if (reportFd_ < 0) return {};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return {};
        pollfd p{reportFd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
        char buffer[256];
        const ssize_t n = ::read(reportFd_, buffer, sizeof buffer);
        if (n <= 0) return {};
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

void ChildProcess::CloseInput() {
    if (inputFd_ >= 0) ::close(inputFd_);
    inputFd_ = -1;
}

}  // namespace testsupport

// The entry of every child mode: skipped in a normal run.
TEST(ChildProcess, Entry) {
    const char* mode = std::getenv("MARVENLOT_TEST_CHILD");
    if (!mode) GTEST_SKIP() << "runs only as a child process of another test";
    auto& modes = testsupport::ChildModes();
    const auto found = modes.find(mode);
    const int code = found == modes.end() ? 99 : found->second();
    testsupport::RemoveProcessTempFolder();
    std::fflush(nullptr);
    _exit(code);
}

#include "tests/platform/support/ChildProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/sys/Clock.h"

extern char** environ;

namespace testsupport {

namespace {
constexpr int kReportFd = 3;
constexpr const char* kModeVariable = "MARVENLOT_TEST_CHILD";
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

ChildProcess::ChildProcess(const std::string& mode) {
    int report[2], input[2];
    if (pipe2(report, O_CLOEXEC) != 0) return;
    if (pipe2(input, O_CLOEXEC) != 0) {
        close(report[0]);
        close(report[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, report[1], kReportFd);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, kModeVariable, std::strlen(kModeVariable)) != 0) env.emplace_back(*e);
    env.push_back(std::string(kModeVariable) + "=" + mode);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    std::string exe = "/proc/self/exe";
    std::string filter = "--gtest_filter=ChildProcess.Entry";
    char* argv[] = {exe.data(), filter.data(), nullptr};
    if (posix_spawn(&pid_, exe.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(report[1]);
    close(input[0]);
    reportFd_ = report[0];
    inputFd_ = input[1];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && Wait(0) == -1) {
        kill(pid_, SIGKILL);
        Wait(10000);
    }
    if (reportFd_ >= 0) close(reportFd_);
    CloseInput();
}

std::string ChildProcess::ReadLine(int timeoutMs) {
    const std::uint64_t deadline = platform::NowMs() + static_cast<std::uint64_t>(timeoutMs);
    for (;;) {
        const auto newline = pending_.find('\n');
        if (newline != std::string::npos) {
            std::string line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            return line;
        }
        const std::uint64_t now = platform::NowMs();
        if (now >= deadline) return {};
        pollfd p{reportFd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(deadline - now)) <= 0) return {};
        char buffer[256];
        const ssize_t n = ::read(reportFd_, buffer, sizeof buffer);
        if (n <= 0) return {};
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

void ChildProcess::CloseInput() {
    if (inputFd_ >= 0) close(inputFd_);
    inputFd_ = -1;
}

int ChildProcess::Wait(int timeoutMs) {
    if (pid_ <= 0) return -1;
    const std::uint64_t deadline = platform::NowMs() + static_cast<std::uint64_t>(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (done < 0 || platform::NowMs() >= deadline) return -1;
        platform::SleepMs(5);
    }
}

}  // namespace testsupport

// The entry of every child: skipped in a normal run.
TEST(ChildProcess, Entry) {
    const char* mode = std::getenv("MARVENLOT_TEST_CHILD");
    if (!mode) GTEST_SKIP() << "runs only as a child process of another test";
    auto& modes = testsupport::ChildModes();
    const auto found = modes.find(mode);
    std::fflush(nullptr);
    _exit(found == modes.end() ? 99 : found->second());
}

#pragma once
// A child process of a test, in one of two forms:
// - a program (the client, a tool, a display server) started with extra environment variables in
//   a folder of its own;
// - the test binary itself again, with only the test ChildProcess.Entry selected, which runs the
//   child mode named in its environment. Such a child reports through Report() (a pipe the parent
//   reads line by line) and can wait for the parent by reading its standard input until the parent
//   calls CloseInput().
// Either is signalled and waited for with a time limit; the destructor kills a child still running.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Registers a child mode at static initialisation: the function's return value is the exit code.
struct ChildMode {
    ChildMode(const std::string& name, std::function<int()> body);
};
std::map<std::string, std::function<int()>>& ChildModes();

// Child side of a mode.
void Report(const std::string& line);
// Blocks until the parent closes the child's input (or writes a line); returns that line.
std::string WaitForParent();

class ChildProcess {
public:
    ChildProcess() = default;
    // Starts the mode at once; the child sees the parent's environment at this moment.
    explicit ChildProcess(const std::string& mode) { StartMode(mode); }
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // env entries are "NAME=value" added to (or replacing) the test's own environment; a later entry
    // replaces an earlier one of the same name.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env, const std::string& folder);
    bool StartMode(const std::string& mode);
    // The next Start sends the child's stderr to this file (created or truncated).
    void SetStderrFile(std::string path) { stderrPath_ = std::move(path); }

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // The exit code, -signal when a signal ended the child, nullopt when it still runs after the
    // timeout times the patience (or was never started).
    std::optional<int> Wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void Terminate();  // SIGTERM
    void Signal(int signal);

    // A mode's next reported line; empty when the child ended or nothing came within timeoutMs (times
    // the patience).
    std::string ReadLine(int timeoutMs = 10000);
    void CloseInput();

private:
    bool Spawn(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env, const std::string& folder, bool mode);

    pid_t pid_ = -1;
    int reportFd_ = -1;
    int inputFd_ = -1;
    std::string pending_;
    std::string stderrPath_;
};

}  // namespace testsupport

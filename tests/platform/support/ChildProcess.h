#pragma once
// Runs a piece of test code in a second process: the test binary starts itself again with only
// the test ChildProcess.Entry selected, and that test runs the mode named in its environment.
// The child reports through Report() (a pipe the parent reads line by line) and can wait for the
// parent by reading its standard input until the parent calls CloseInput().

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>

namespace testsupport {

// Registers a child mode at static initialisation: the function's return value is the exit code.
struct ChildMode {
    ChildMode(const std::string& name, std::function<int()> body);
};
std::map<std::string, std::function<int()>>& ChildModes();

// Child side.
void Report(const std::string& line);
// Blocks until the parent closes the child's input (or writes a line); returns that line.
std::string WaitForParent();

class ChildProcess {
public:
    // Starts the mode; the child sees the parent's environment at this moment.
    explicit ChildProcess(const std::string& mode);
    ~ChildProcess();  // kills a child that is still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // Next reported line; empty when the child ended or nothing came within timeoutMs.
    std::string ReadLine(int timeoutMs = 10000);
    void CloseInput();
    // Exit code, or 128 + signal when the child was killed; -1 when it is still running after
    // timeoutMs.
    int Wait(int timeoutMs = 10000);

private:
    pid_t pid_ = -1;
    int reportFd_ = -1;
    int inputFd_ = -1;
    std::string pending_;
};

}  // namespace testsupport

#pragma once
// A child process for the scripted runs of the client: started with extra environment variables in
// a folder of its own, signalled, and waited for with a time limit.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();  // kills a child that still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // env entries are "NAME=value" added to (or replacing) the test's own environment.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env, const std::string& folder);
    // The exit code, or nullopt when the child did not end in time (or ended by a signal: -signal).
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    void Terminate();  // SIGTERM
    void Signal(int signal);
    // The next Start sends the child's stderr to this file (created or truncated).
    void SetStderrFile(std::string path) { stderrPath_ = std::move(path); }
    bool Running() const { return pid_ > 0; }

private:
    int pid_ = -1;
    std::string stderrPath_;
};

#pragma once
// Helpers every test binary shares: a private temporary folder removed with everything in it when
// the test ends, whole-file reads and writes, environment overrides and command output.

#include <filesystem>
#include <string>

namespace testsupport {

// Every temporary file and folder of a test process lies in one folder of its own,
// <temp>/marvenlot-tests-<uid>/<pid>-<process start time>, made on first use and removed when the
// process ends. A process that is killed cannot remove it: the next test process that makes its own
// removes every folder there whose process is gone (SweepStaleTempFolders).
const std::filesystem::path& ProcessTempFolder();
// Removes it at once, for a process that ends without running destructors (a child mode).
void RemoveProcessTempFolder();
// `name` in the process's temporary folder (not created).
std::filesystem::path TempPath(const std::string& name);
// Removes the folders in `root` named for a process that no longer runs; returns how many.
int SweepStaleTempFolders(const std::filesystem::path& root);
// The name of the running process `pid`'s temporary folder; empty when no such process runs.
std::string ProcessFolderName(int pid);

// A new folder in the process's temporary folder.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
// Runs a shell command and returns what it wrote on standard output.
std::string RunAndCapture(const std::string& command);

// Sets an environment variable for the lifetime of the object and restores the old value.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);  // value nullptr: unset
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string old_;
    bool hadOld_;
};

}  // namespace testsupport

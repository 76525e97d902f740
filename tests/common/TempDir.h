#pragma once
// Helpers every test binary shares: a private temporary folder removed with everything in it when
// the test ends, whole-file reads and writes, environment overrides and command output.

#include <string>

namespace testsupport {

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

#include "tests/common/TempDir.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace testsupport {

namespace fs = std::filesystem;

namespace {

// Removes `path` and everything in it, folders a test made read-only included.
void RemoveTree(const fs::path& path) {
    std::error_code ignored;
    for (auto& entry : fs::recursive_directory_iterator(path, ignored))
        if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) chmod(entry.path().c_str(), 0700);
    fs::remove_all(path, ignored);
}

// The user's folder of test folders in the shared temporary folder: made private, or refused when it
// is not the user's own private folder.
bool PrivateFolder(const fs::path& root) {
    if (mkdir(root.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (lstat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return false;
    return (st.st_mode & 077) == 0 || chmod(root.c_str(), 0700) == 0;
}

struct ProcessFolder {
    fs::path root;
    fs::path path;
    pid_t owner = getpid();

    ProcessFolder() {
        const fs::path temp = fs::temp_directory_path();
        root = temp / ("marvenlot-tests-" + std::to_string(getuid()));
        // Another process may remove the root, found empty, between its check and the mkdir.
        for (int attempt = 0; attempt < 3 && PrivateFolder(root); ++attempt) {
            SweepStaleTempFolders(root);
            path = root / ProcessFolderName(owner);
            if (mkdir(path.c_str(), 0700) == 0) return;
        }
        std::fprintf(stderr, "test folders: %s is not usable; this process's folder is not swept\n",
                     root.c_str());
        std::string pattern = (temp / "marvenlot-tests-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? fs::path(pattern) : temp;
        root.clear();
    }
    ~ProcessFolder() { Remove(); }
    // A forked child (a death test) shares the parent's folder and leaves it alone. The root goes
    // with the last process's folder.
    void Remove() {
        if (getpid() != owner || path.empty() || path == fs::temp_directory_path()) return;
        RemoveTree(path);
        if (!root.empty()) rmdir(root.c_str());
        path.clear();
    }
};

ProcessFolder& TheProcessFolder() {
    static ProcessFolder folder;
    return folder;
}
std::atomic<bool> gFolderMade{false};

}  // namespace

std::string ProcessFolderName(int pid) {
    // The start time (field 22 of the process's stat line, in clock ticks since boot) tells a process
    // from a later one that was given the same number.
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(in, stat);
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return {};
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int number = 3; number <= 22; ++number)
        if (!(fields >> field)) return {};
    return std::to_string(pid) + "-" + field;
}

int SweepStaleTempFolders(const fs::path& root) {
    std::vector<fs::path> entries;
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(root, ignored))
        entries.push_back(entry.path());
    int removed = 0;
    for (const fs::path& entry : entries) {
        const std::string name = entry.filename().string();
        const std::size_t dash = name.find('-');
        if (dash == 0 || dash == std::string::npos || dash + 1 == name.size() ||
            name.find_first_not_of("0123456789-") != std::string::npos)
            continue;  // not a process's folder
        if (ProcessFolderName(std::atoi(name.c_str())) == name) continue;
        RemoveTree(entry);
        ++removed;
    }
    return removed;
}

const fs::path& ProcessTempFolder() {
    ProcessFolder& folder = TheProcessFolder();
    gFolderMade = true;
    return folder.path;
}

void RemoveProcessTempFolder() {
    if (gFolderMade) TheProcessFolder().Remove();
}

fs::path TempPath(const std::string& name) {
    return ProcessTempFolder() / name;
}

TempDir::TempDir() {
    std::string pattern = (ProcessTempFolder() / "dir-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
}

TempDir::~TempDir() {
    if (!path_.empty()) RemoveTree(path_);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string RunAndCapture(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, got);
    pclose(pipe);
    return output;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = getenv(name);
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (hadOld_)
        setenv(name_.c_str(), old_.c_str(), 1);
    else
        unsetenv(name_.c_str());
}

}  // namespace testsupport

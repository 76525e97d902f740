#include "app/lib/AppFolders.h"

#include <filesystem>
#include <system_error>

#include "platform/sys/Env.h"

namespace fs = std::filesystem;

namespace {

// The installed packages relative to the program's folder (from the build's install layout).
constexpr char kInstalledPackages[] = MARVENLOT_INSTALLED_PACKAGES;

constexpr char kAppName[] = "marvenlot";

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

// An XDG base folder: the variable when it holds an absolute path (relative ones are invalid and
// ignored), else the default below the home folder.
fs::path XdgFolder(const std::string& variable, const std::string& home, const char* fallback) {
    if (!variable.empty() && fs::path(variable).is_absolute()) return variable;
    if (home.empty()) return {};
    return fs::path(home) / fallback;
}

// Without "." and ".." parts and without a trailing separator.
fs::path Clean(const fs::path& path) {
    fs::path clean = path.lexically_normal();
    if (clean.has_relative_path() && !clean.has_filename()) clean = clean.parent_path();
    return clean;
}

AppFolders InOneFolder(const fs::path& root) {
    return {(root / "data").string(), root.string(), root.string()};
}

}  // namespace

AppFolders ResolveAppFolders(const FolderInputs& in) {
    if (!in.marvenlotHome.empty()) return InOneFolder(Clean(in.marvenlotHome));

    if (!in.executableDir.empty()) {
        const fs::path exe = Clean(in.executableDir);
        const fs::path installed = Clean(exe / kInstalledPackages);
        if (IsFolder(installed)) {
            const fs::path config = XdgFolder(in.xdgConfigHome, in.userHome, ".config");
            const fs::path state = XdgFolder(in.xdgStateHome, in.userHome, ".local/state");
            if (!config.empty() && !state.empty())
                return {installed.string(), Clean(config / kAppName).string(),
                        Clean(state / kAppName).string()};
        }
        const fs::path tree = exe.parent_path();
        if (IsFolder(tree / "data")) return InOneFolder(tree);
    }
    return InOneFolder(in.currentDir.empty() ? fs::path(".") : Clean(in.currentDir));
}

AppFolders CurrentAppFolders() {
    FolderInputs in;
    in.executableDir = platform::ExecutableDir();
    std::error_code error;
    in.currentDir = fs::current_path(error).string();
    in.marvenlotHome = platform::GetEnv("MARVENLOT_HOME");
    in.xdgConfigHome = platform::GetEnv("XDG_CONFIG_HOME");
    in.xdgStateHome = platform::GetEnv("XDG_STATE_HOME");
    in.userHome = platform::HomeDir();
    return ResolveAppFolders(in);
}

bool CreateAppFolders(const AppFolders& folders) {
    for (const std::string& folder : {folders.config, folders.state}) {
        std::error_code error;
        if (IsFolder(folder)) continue;
        fs::create_directories(folder, error);
        if (error || !IsFolder(folder)) return false;
        fs::permissions(folder, fs::perms::owner_all, error);
    }
    return true;
}

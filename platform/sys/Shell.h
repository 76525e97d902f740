#pragma once
// What the desktop shell does for the client: open a web page or file with the user's program,
// start the launcher, and name the desktop folder that screenshots go to.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Opens a URL or path with xdg-open in a detached process and returns at once; true when the
// program was started. Headless (MARVENLOT_HEADLESS), nothing is started: the line
// "open: <target>" goes to stderr and "OPEN <target>" to the journal, and the result is true.
// An empty target, one beginning with '-' (it would read as an option) or one holding a line
// break is refused (false). An opener that cannot start (none installed), or that ends with a
// failure within kShellOpenWatchMs (no browser to hand the page to), is a failure that
// TakeShellOpenFailures reports, naming `what` (the target when empty: a page's address where the
// target is a file standing for it); an opener still running then is taken as having opened it.
enum class HandOver { Keep, RemoveAfterUse };
bool ShellOpen(std::string_view target, std::string_view what = {}, HandOver file = HandOver::Keep);

constexpr int kShellOpenWatchMs = 5000;

// A file written for the opener alone (a web page's sign-in form, which holds the password) is
// handed over with RemoveAfterUse and removed: at once when it cannot be opened; as soon as
// TakeShellOpenFailures takes its opener's failure; by the first TakeShellOpenFailures from
// kHandedFileKeepMs after the hand-over on (time enough for a browser to load it; the process
// clock); by RemoveHandedFiles; at the latest when the process ends.
constexpr std::uint64_t kHandedFileKeepMs = 45000;
void RemoveHandedFiles();

struct ShellOpenFailure {
    std::string target;      // what was to be opened
    std::string why;         // for the log: "xdg-open is not installed", "xdg-open ended with ..."
    bool noBrowser = false;  // no program to open it was found
};

// The failures of ShellOpen since the last call, the openers' ends collected first (and the handed
// files they concern removed). Never waits longer than an opener that has reported takes to end.
std::vector<ShellOpenFailure> TakeShellOpenFailures();

// A failure of what was to be opened before any opener ran (a file that could not be written),
// reported with the openers' own.
void ReportShellOpenFailure(ShellOpenFailure failure);

// Starts "marvenlot-launcher" detached, in the current folder, taken from beside the program or
// else from PATH; false when it is found nowhere or cannot be started. Never waits for it.
bool StartLauncher();

// Starts program (an absolute path) with args in a detached process, in the current folder.
bool SpawnDetached(const std::string& program, const std::vector<std::string>& args);

// Finds an executable file: a name with '/' is taken as it is, else each PATH entry is tried.
// Empty when not found.
std::string FindProgram(const std::string& name);

// The desktop folder: MARVENLOT_DESKTOP_DIR; else XDG_DESKTOP_DIR from user-dirs.dirs in
// $XDG_CONFIG_HOME (default ~/.config), then from the environment, as xdg-user-dir reads it;
// else $HOME/Desktop when it exists; else $HOME.
std::string DesktopDir();

// True when `folder` is the home folder (trailing slashes aside): where DesktopDir ends without a
// desktop folder, or what a desktop entry naming the home gives.
bool IsHomeFolder(const std::string& folder);

// The XDG_DESKTOP_DIR entry of a user-dirs.dirs text ("$HOME/..." or an absolute path, in
// double quotes), with $HOME replaced by home; empty when there is no usable entry.
std::string ParseUserDirsDesktop(std::string_view text, const std::string& home);

}  // namespace platform

#pragma once
// The environment the client runs in: variables, the headless switch and the folders the
// platform layer keeps its files in.

#include <string>

namespace platform {

// Value of an environment variable; empty when it is unset.
std::string GetEnv(const char* name);

// MARVENLOT_HEADLESS set to anything but "" or "0": every box and dialog becomes a line on stderr.
bool IsHeadless();

// Folder of the instance lock and the named events: MARVENLOT_RUNTIME_DIR, else $XDG_RUNTIME_DIR,
// else /tmp/marvenlot-<uid>. The folder is created (mode 0700) when missing. A shared default that
// another user owns, or that others may write to, is refused: the result is then empty.
std::string RuntimeDir();

// Folder of the running program (from /proc/self/exe); empty when it cannot be read.
std::string ExecutableDir();

// Home folder: $HOME, else the password database entry; empty when neither is known.
std::string HomeDir();

}  // namespace platform

#pragma once
// Opening the files the client reads and writes (config.ini, the logs, the journal, packages, the
// input script, the lock file) so that no open ever waits: a FIFO, a device or a folder in a
// file's place would block the open or the reads for good. Every open here is non-blocking and
// takes only a regular file; anything else is refused with a reason the caller can log.

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The reason of a refused or failed open: an errno value, or this one for "not a regular file".
inline constexpr int kNotRegularFile = -1;

// The reason in words, as strerror gives it ("No such file or directory", "not a regular file").
std::string FileErrorText(int error);

// open(2) of a regular file: `flags` as open takes them (O_CLOEXEC is added); what exists at
// `path` and is not a regular file is refused before and after the open. The descriptor reads
// and writes blocking as usual. -1 and `error` set when refused or failed.
int OpenRegularFile(const std::string& path, int flags, int& error, mode_t mode = 0644);

// The same as a stdio stream: `mode` "rb", "wb", "ab" or "r+b" as for fopen.
std::FILE* OpenRegularFileStream(const std::string& path, const char* mode, int& error);

// Reads a whole regular file of at most `maxBytes` (a larger one is EFBIG).
bool ReadRegularFile(const std::string& path, std::string& out, int& error, std::size_t maxBytes = 1u << 30);
bool ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& out, int& error,
                     std::size_t maxBytes = 1u << 30);

// Whether `name` is one that mkstemp makes of the template prefix + "XXXXXX" + suffix: the six
// characters are letters or digits.
bool IsTemplateName(std::string_view name, std::string_view prefix, std::string_view suffix = {});

// Removes what a process cut off left behind: the regular files of `folder` that `matches` names and
// whose last change is at least minAgeSeconds old (younger ones may belong to a process still at
// work). Anything else (another name, a link, a folder) is left. Returns the names removed.
std::vector<std::string> RemoveLeftFiles(const std::string& folder,
                                         const std::function<bool(std::string_view name)>& matches,
                                         int minAgeSeconds);

}  // namespace platform

#pragma once
// Private-profile INI files as the options store reads and writes them: sections and keys found
// without regard to case, missing things answered with the caller's default, numbers read the way
// the system's profile reader reads them, values written verbatim, every other line (comments,
// unknown keys, blank lines) kept as it was, and every save one atomic replacement of the file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
public:
    // Reads path. A missing file loads as an empty one (true, `error` ENOENT); a file that exists
    // but cannot be read, is not a regular file or is over 1 MiB gives false and leaves the object
    // empty. `error` gets the reason (see RegularFile.h).
    bool Load(const std::string& path, int* error = nullptr);
    // Replaces the contents with text (tests, and files read by other means).
    void Parse(std::string_view text);

    // Value of the first key named key in the first section named section, with surrounding
    // blanks removed and one pair of enclosing quotes dropped; nullopt when either is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;
    // The number read like the system's profile reader (see ParseProfileInt); def when the key is
    // missing or its value is empty.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    // Sets key to value exactly as given (" 1" is written "key= 1"). An existing key is changed
    // on its own line; a new key goes after the last entry of its section; a new section is
    // added at the end of the file. Refuses (false) names and values that would break the line
    // structure: empty names, line breaks, '=' in a key, ']' in a section name.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);

    // Writes the whole file through a temporary file in the same folder ("<name>.saving-XXXXXX") and
    // a rename, so readers see either the old or the new file. False when anything fails (the old file is
    // then intact); `error` gets the reason. What is in the file's place and is not a regular file stays.
    bool Save(const std::string& path, int* error = nullptr) const;
    std::string Text() const;

private:
    // Index of the section header line, or npos.
    std::size_t FindSection(std::string_view section) const;
    // Index of the key line inside the section starting at header, or npos.
    std::size_t FindKey(std::size_t header, std::string_view key) const;

    // The content with the file's line break style: a carriage return is kept on the line itself.
    std::string NewLine(std::string content) const;
    // Gives a last line that has no line break the file's own, before lines are added after it.
    void EndLastLine();

    std::vector<std::string> lines_;  // as read, without the '\n'
    bool crlf_ = true;
    bool finalNewline_ = true;
};

// The profile reader's number rule: leading blanks, one optional sign, a base prefix "0x" (16),
// "0o" (8) or "0b" (2), then digits up to the first other character; the value wraps modulo 2^32.
// No digits give 0 ("abc" -> 0, "0x" -> 0, "42A" -> 42, "0x1A" -> 26).
int ParseProfileInt(std::string_view text);
// The number a stored value is when the whole value, blanks around it aside, is one number: one
// optional sign, then digits with a base prefix "0x", "0o" or "0b", or decimal digits with an
// optional fraction and an optional exponent ("768", "0x300", "1.5e2", ".5", "1e40"). The value is
// exact where a double holds it; one beyond a double's range is infinite. Nullopt for any other
// text: trailing text ("32abc", "1 2"), a prefix or exponent without digits ("0x", "1e"), "inf".
std::optional<double> ParseProfileValue(std::string_view text);

// A save cut off between its temporary file and the rename (the process killed) leaves that file
// beside the one it replaces. This removes such leftovers of saves of path: regular files named as
// IniFile::Save names its temporary file ("config.ini.saving-" and six letters or digits) whose last
// change is at least minAgeSeconds old, so that a save under way in another process keeps its file.
// Nothing else is touched. Returns the names removed.
constexpr int kStaleSaveSeconds = 60;
std::vector<std::string> RemoveStaleSaves(const std::string& path, int minAgeSeconds = kStaleSaveSeconds);

// One-call forms, each reading (and, for writes, saving) the file once.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int def, const std::string& path);
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view def,
                                    const std::string& path);
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path);

}  // namespace platform

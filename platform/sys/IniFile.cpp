#include "platform/sys/IniFile.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "platform/sys/RegularFile.h"

namespace platform {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Far beyond any settings file; a larger file is no config.ini and is not read into memory.
constexpr std::size_t kMaxIniBytes = 1u << 20;

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The base the letter of a "0x", "0o" or "0b" prefix names; 0 for any other character.
unsigned PrefixBase(char c) {
    switch (Lower(c)) {
        case 'x':
            return 16;
        case 'o':
            return 8;
        case 'b':
            return 2;
        default:
            return 0;
    }
}

// The value of a digit of a base up to 36; 36 for a character that is no digit.
unsigned DigitValue(char c) {
    c = Lower(c);
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 10);
    return 36;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

enum class LineKind { Blank, Comment, Section, Key, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value as written after '=', untrimmed
    bool hasValue = false;   // the key line has an '='
};

// The carriage returns that end a stored line: part of the line break, never of a name or a value.
std::string_view TrailingReturns(std::string_view raw) {
    const auto last = raw.find_last_not_of('\r');
    return raw.substr(last == std::string_view::npos ? 0 : last + 1);
}

ParsedLine ParseLine(std::string_view raw, bool firstLine) {
    if (firstLine && raw.substr(0, kUtf8Bom.size()) == kUtf8Bom) raw.remove_prefix(kUtf8Bom.size());
    raw.remove_suffix(TrailingReturns(raw).size());
    ParsedLine line;
    const std::string_view text = Trim(raw);
    if (text.empty()) {
        line.kind = LineKind::Blank;
    } else if (text.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (text.front() == '[') {
        line.kind = LineKind::Section;
        std::string_view name = text.substr(1);
        const auto close = name.find(']');
        if (close != std::string_view::npos) name = name.substr(0, close);
        line.name = Trim(name);
    } else {
        line.kind = LineKind::Key;
        const auto eq = text.find('=');
        line.name = Trim(text.substr(0, eq));
        if (eq != std::string_view::npos) {
            line.hasValue = true;
            line.value = text.substr(eq + 1);
        }
    }
    return line;
}

std::string UnquotedValue(std::string_view value) {
    value = Trim(value);
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// The file a save of path replaces: path itself, or the file its symbolic link points to. False
// (with errno) for a link that cannot be resolved.
bool SaveTarget(const std::string& path, std::string& target) {
    target = path;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return false;
    target = resolved;
    std::free(resolved);
    return true;
}

std::string FolderOf(const std::string& file) {
    const auto slash = file.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
}

// The temporary file of a save: the target's name, this marker and the six letters or digits that
// mkostemp puts in place of "XXXXXX". The marker keeps a name the player gave a copy of his own
// ("config.ini.backup") from ever looking like one.
constexpr std::string_view kTempMarker = ".saving-";
constexpr std::string_view kTempRandom = "XXXXXX";

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && PrefixBase(text[i + 1]) != 0) {
        base = PrefixBase(text[i + 1]);
        i += 2;
    }
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const unsigned digit = DigitValue(text[i]);
        if (digit >= base) break;
        value = value * base + digit;
    }
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

std::optional<double> ParseProfileValue(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    double sign = 1.0;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        if (text.front() == '-') sign = -1.0;
        text.remove_prefix(1);
    }
    if (text.size() >= 2 && text[0] == '0' && PrefixBase(text[1]) != 0) {
        const unsigned base = PrefixBase(text[1]);
        if (text.size() == 2) return std::nullopt;
        double value = 0.0;
        for (const char c : text.substr(2)) {
            const unsigned digit = DigitValue(c);
            if (digit >= base) return std::nullopt;
            value = value * base + digit;
        }
        return sign * value;
    }
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i - from;
    };
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    // The text is checked above; strtod in the "C" locale reads it whatever the process's locale
    // is, giving HUGE_VAL past a double's range and 0 below it.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string copy(text);
    return sign * strtod_l(copy.c_str(), nullptr, cLocale);
}

void IniFile::Parse(std::string_view text) {
    lines_.clear();
    const auto firstBreak = text.find('\n');
    crlf_ = firstBreak == std::string_view::npos || (firstBreak > 0 && text[firstBreak - 1] == '\r');
    finalNewline_ = text.empty() || text.back() == '\n';
    // Lines keep their carriage returns, so what is read is written back byte for byte; the reader
    // treats the returns at a line's end as part of its break.
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines_.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string IniFile::NewLine(std::string content) const {
    if (crlf_) content += '\r';
    return content;
}

void IniFile::EndLastLine() {
    if (finalNewline_) return;
    if (crlf_ && !lines_.empty() && (lines_.back().empty() || lines_.back().back() != '\r'))
        lines_.back() += '\r';
    finalNewline_ = true;
}

bool IniFile::Load(const std::string& path, int* error) {
    lines_.clear();
    std::string text;
    int reason = 0;
    if (!ReadRegularFile(path, text, reason, kMaxIniBytes)) {
        if (error) *error = reason;
        if (reason != ENOENT) return false;
    }
    Parse(text);
    return true;
}

std::size_t IniFile::FindSection(std::string_view section) const {
    section = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = ParseLine(lines_[i], i == 0);
        if (line.kind == LineKind::Section && SameName(line.name, section)) return i;
    }
    return std::string::npos;
}

std::size_t IniFile::FindKey(std::size_t header, std::string_view key) const {
    key = Trim(key);
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        const ParsedLine line = ParseLine(lines_[i], false);
        if (line.kind == LineKind::Section) break;
        if (line.kind == LineKind::Key && SameName(line.name, key)) return i;
    }
    return std::string::npos;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) return std::nullopt;
    const std::size_t at = FindKey(header, key);
    if (at == std::string::npos) return std::nullopt;
    const ParsedLine line = ParseLine(lines_[at], false);
    if (!line.hasValue) return std::nullopt;
    return UnquotedValue(line.value);
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view def) const {
    auto value = Find(section, key);
    return value ? *value : std::string(def);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) const {
    const auto value = Find(section, key);
    if (!value || value->empty()) return def;
    return ParseProfileInt(*value);
}

bool IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';' ||
        section.find(']') != std::string_view::npos)
        return false;

    std::string entry(key);
    entry += '=';
    entry += value;

    const std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        EndLastLine();
        lines_.push_back(NewLine("[" + std::string(section) + "]"));
        lines_.push_back(NewLine(entry));
        finalNewline_ = true;
        return true;
    }
    const std::size_t at = FindKey(header, key);
    if (at != std::string::npos) {
        // Keep the key as the file spells it and the line's indentation; only the value changes.
        const std::string& old = lines_[at];
        const auto indent = old.find_first_not_of(kBlanks);
        const ParsedLine line = ParseLine(old, false);  // a key line follows its header
        std::string updated = old.substr(0, indent);
        updated += line.name;
        updated += '=';
        updated += value;
        updated += TrailingReturns(old);
        lines_[at] = std::move(updated);
        return true;
    }
    std::size_t last = header;
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        const ParsedLine line = ParseLine(lines_[i], false);
        if (line.kind == LineKind::Section) break;
        if (line.kind != LineKind::Blank) last = i;
    }
    if (last + 1 == lines_.size()) EndLastLine();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), NewLine(std::move(entry)));
    return true;
}

std::string IniFile::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (i + 1 < lines_.size() || finalNewline_) text += '\n';
    }
    return text;
}

bool IniFile::Save(const std::string& path, int* error) const {
    int unused = 0;
    int& reason = error ? *error : unused;
    reason = 0;
    if (path.empty()) {
        reason = ENOENT;
        return false;
    }
    // Replace the file a symbolic link points to, not the link.
    std::string target;
    if (!SaveTarget(path, target)) {
        reason = errno;
        return false;
    }
    struct stat st {};
    mode_t mode = 0644;
    if (stat(target.c_str(), &st) == 0) {
        // A FIFO or device in the file's place is left as it is, never replaced.
        if (!S_ISREG(st.st_mode)) {
            reason = kNotRegularFile;
            return false;
        }
        mode = st.st_mode & 07777;
    }

    std::string temp = target;
    temp += kTempMarker;
    temp += kTempRandom;
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        reason = errno;
        return false;
    }
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, Text()) && fsync(fd) == 0;
    if (!ok) reason = errno;
    if (close(fd) != 0 && ok) {
        reason = errno;
        ok = false;
    }
    if (ok && rename(temp.c_str(), target.c_str()) != 0) {
        reason = errno;
        ok = false;
    }
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    const int dirFd = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

std::vector<std::string> RemoveStaleSaves(const std::string& path, int minAgeSeconds) {
    std::string target;
    if (path.empty() || !SaveTarget(path, target)) return {};
    const std::string prefix = target.substr(target.find_last_of('/') + 1) + std::string(kTempMarker);
    return RemoveLeftFiles(
        FolderOf(target), [&](std::string_view name) { return IsTemplateName(name, prefix); }, minAgeSeconds);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int def, const std::string& path) {
    IniFile file;
    if (!file.Load(path)) return def;
    return file.GetInt(section, key, def);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view def,
                                    const std::string& path) {
    IniFile file;
    if (!file.Load(path)) return std::string(def);
    return file.GetString(section, key, def);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path) {
    IniFile file;
    // A file that exists but cannot be read is never overwritten with only the new key.
    return file.Load(path) && file.SetString(section, key, value) && file.Save(path);
}

}  // namespace platform

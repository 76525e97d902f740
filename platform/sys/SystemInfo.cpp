#include "platform/sys/SystemInfo.h"

#include <sys/utsname.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/sys/RegularFile.h"

namespace platform {

namespace {

// The system files read here are a few KiB; more is no such file.
constexpr std::size_t kMaxSystemFileBytes = 1u << 20;

std::string ReadText(const char* path) {
    std::string text;
    int error = 0;
    return ReadRegularFile(path, text, error, kMaxSystemFileBytes) ? text : std::string();
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// An os-release value: quoted with " or ' (backslash escapes inside double quotes) or bare.
std::string Unquote(std::string_view value) {
    value = Trim(value);
    if (value.empty()) return {};
    const char quote = value.front();
    if (quote != '"' && quote != '\'') return std::string(value);
    std::string out;
    for (std::size_t i = 1; i < value.size(); ++i) {
        char c = value[i];
        if (c == quote) break;
        if (c == '\\' && quote == '"' && i + 1 < value.size()) c = value[++i];
        out.push_back(c);
    }
    return out;
}

struct AdapterName {
    std::mutex mutex;
    std::string name = "Unknown";
};

AdapterName& Adapter() {
    static AdapterName adapter;
    return adapter;
}

}  // namespace

std::string ParseOsReleaseName(std::string_view text) {
    std::string pretty, name;
    for (std::string_view line : SplitLines(text)) {
        line = Trim(line);
        if (line.substr(0, 12) == "PRETTY_NAME=")
            pretty = Unquote(line.substr(12));
        else if (line.substr(0, 5) == "NAME=")
            name = Unquote(line.substr(5));
    }
    return pretty.empty() ? name : pretty;
}

std::string ParseCpuInfo(std::string_view text) {
    std::string model;
    int count = 0;
    for (std::string_view line : SplitLines(text)) {
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, colon));
        if (key == "processor")
            ++count;
        else if (key == "model name" && model.empty())
            model = std::string(Trim(line.substr(colon + 1)));
    }
    if (model.empty()) model = "Unknown processor";
    if (count <= 0) return model;
    return model + " (" + std::to_string(count) +
           (count == 1 ? " logical processor)" : " logical processors)");
}

int ParseMemTotalMB(std::string_view text) {
    for (std::string_view line : SplitLines(text)) {
        if (line.substr(0, 9) != "MemTotal:") continue;
        const std::string rest(Trim(line.substr(9)));
        char* end = nullptr;
        const unsigned long long kb = std::strtoull(rest.c_str(), &end, 10);
        if (end == rest.c_str()) return 0;
        const unsigned long long mb = kb / 1024;
        return mb > 0x7FFFFFFFull ? 0x7FFFFFFF : static_cast<int>(mb);
    }
    return 0;
}

std::string GetOSName() {
    std::string name = ParseOsReleaseName(ReadText("/etc/os-release"));
    if (name.empty()) name = ParseOsReleaseName(ReadText("/usr/lib/os-release"));
    utsname uts{};
    if (uname(&uts) != 0) return name.empty() ? std::string("Unknown") : name;
    const std::string kernel = std::string(uts.sysname) + " " + uts.release + " " + uts.machine;
    return name.empty() ? kernel : name + " (" + kernel + ")";
}

std::string GetCPUInfo() {
    return ParseCpuInfo(ReadText("/proc/cpuinfo"));
}

int GetMemoryStatusMB() {
    return ParseMemTotalMB(ReadText("/proc/meminfo"));
}

std::string GetDisplayAdapterName() {
    AdapterName& adapter = Adapter();
    std::lock_guard lock(adapter.mutex);
    return adapter.name;
}

void SetDisplayAdapterName(std::string name) {
    AdapterName& adapter = Adapter();
    std::lock_guard lock(adapter.mutex);
    adapter.name = name.empty() ? std::string("Unknown") : std::move(name);
}

std::string GetIEVersion() {
    return "none";
}

}  // namespace platform

#pragma once
// The texts of the system information block in the start-up log.

#include <string>
#include <string_view>

namespace platform {

// "<PRETTY_NAME of os-release> (<kernel name> <release> <machine>)", e.g.
// "Debian GNU/Linux 12 (bookworm) (Linux 6.1.0-18-amd64 x86_64)".
std::string GetOSName();
// "<model name> (<n> logical processors)" from /proc/cpuinfo.
std::string GetCPUInfo();
// Total physical memory in MB (MemTotal of /proc/meminfo); 0 when unknown.
int GetMemoryStatusMB();
// The renderer's name as the render layer reported it through SetDisplayAdapterName;
// "Unknown" until then.
std::string GetDisplayAdapterName();
void SetDisplayAdapterName(std::string name);
// The embedded web view's name and version: there is none.
std::string GetIEVersion();

// Parsers of the files above, given their text.
std::string ParseOsReleaseName(std::string_view text);  // PRETTY_NAME, else NAME; empty when neither
std::string ParseCpuInfo(std::string_view text);        // as GetCPUInfo
int ParseMemTotalMB(std::string_view text);             // as GetMemoryStatusMB

}  // namespace platform

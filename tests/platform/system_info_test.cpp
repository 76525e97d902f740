#include <gtest/gtest.h>

#include "platform/sys/SystemInfo.h"

TEST(SystemInfo, OsReleaseNamePrefersPrettyNameAndUnquotes) {
    EXPECT_EQ(platform::ParseOsReleaseName(
                  "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(platform::ParseOsReleaseName("NAME=Arch\n"), "Arch");
    EXPECT_EQ(platform::ParseOsReleaseName("PRETTY_NAME='Single quoted'\n"), "Single quoted");
    EXPECT_EQ(platform::ParseOsReleaseName("PRETTY_NAME=\"Say \\\"hi\\\"\"\n"), "Say \"hi\"");
    EXPECT_EQ(platform::ParseOsReleaseName("PRETTY_NAME=\"unterminated\n"), "unterminated");
    EXPECT_EQ(platform::ParseOsReleaseName("ID=debian\n"), "");
    EXPECT_EQ(platform::ParseOsReleaseName(""), "");
}

TEST(SystemInfo, CpuTextNamesTheModelAndCountsLogicalProcessors) {
    const char* x86 =
        "processor\t: 0\nmodel name\t: Example CPU @ 3.00GHz\nflags\t\t: fpu\n\n"
        "processor\t: 1\nmodel name\t: Example CPU @ 3.00GHz\n\n";
    EXPECT_EQ(platform::ParseCpuInfo(x86), "Example CPU @ 3.00GHz (2 logical processors)");
    EXPECT_EQ(platform::ParseCpuInfo("processor : 0\nBogoMIPS : 50\n"),
              "Unknown processor (1 logical processor)");
    EXPECT_EQ(platform::ParseCpuInfo(""), "Unknown processor");
    EXPECT_EQ(platform::ParseCpuInfo("garbage without colons\n:::\n"), "Unknown processor");
}

TEST(SystemInfo, TotalMemoryIsMemTotalInWholeMegabytes) {
    EXPECT_EQ(platform::ParseMemTotalMB("MemTotal:       16318412 kB\nMemFree: 1 kB\n"), 15935);
    EXPECT_EQ(platform::ParseMemTotalMB("MemFree: 1 kB\n"), 0);
    EXPECT_EQ(platform::ParseMemTotalMB("MemTotal: lots\n"), 0);
    EXPECT_EQ(platform::ParseMemTotalMB("MemTotal: 99999999999999999999 kB\n"), 0x7FFFFFFF);
}

TEST(SystemInfo, LiveTextsDescribeThisMachine) {
    EXPECT_NE(platform::GetOSName().find("Linux"), std::string::npos) << platform::GetOSName();
    EXPECT_GT(platform::GetMemoryStatusMB(), 0);
    EXPECT_FALSE(platform::GetCPUInfo().empty());
    EXPECT_EQ(platform::GetIEVersion(), "none");
}

TEST(SystemInfo, AdapterNameIsWhatTheRenderLayerSetElseUnknown) {
    EXPECT_EQ(platform::GetDisplayAdapterName(), "Unknown");
    platform::SetDisplayAdapterName("llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_EQ(platform::GetDisplayAdapterName(), "llvmpipe (LLVM 15.0.6, 256 bits)");
    platform::SetDisplayAdapterName("");
    EXPECT_EQ(platform::GetDisplayAdapterName(), "Unknown");
}

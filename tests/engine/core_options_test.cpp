#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "engine/core/Options.h"
#include "tests/common/TempDir.h"

namespace {

class OptionsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testsupport::TempPath(std::string("options_test_") +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "config.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    Options LoadFrom(const std::string& text) {
        Write(text);
        Options o;
        EXPECT_TRUE(o.Load(path_));
        return o;
    }

    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(OptionsFileTest, OneKeyKeepsEveryOtherDefault) {
    const Options o = LoadFrom("[Video]\r\nwidth=1280\r\n");
    Options defaults;
    defaults.width = 1280;
    EXPECT_EQ(o.width, 1280);
    EXPECT_FALSE(o.DisplayModeChanged(defaults) || o.DeviceSettingsChanged(defaults) ||
                 o.ControlsChanged(defaults));
    EXPECT_EQ(o.fullscreen, 1);
    EXPECT_EQ(o.gamma, 100);
}

TEST_F(OptionsFileTest, MissingFileKeepsDefaults) {
    Options o;
    EXPECT_TRUE(o.Load((dir_ / "none.ini").string()));
    EXPECT_EQ(o.textureFilter, 2);
}

TEST_F(OptionsFileTest, ClampsAndFlagsAtLoad) {
    const Options o = LoadFrom(
        "[Video]\ntexturefilter=0\nanisotropic=99\nfsaa=7\ngamma=10\nfullscreen=5\n"
        "[Control]\ncameramode=0\nmousefix=0\nshotsensitive=1000\n[Game]\nlang=5\n[Audio]\nFXVolume=-4\n");
    EXPECT_EQ(o.textureFilter, 1);
    EXPECT_EQ(o.anisotropic, 16);
    EXPECT_EQ(o.fsaa, 6);
    EXPECT_EQ(o.gamma, 50);
    EXPECT_EQ(o.fullscreen, 1);
    EXPECT_EQ(o.cameraMode, 1);
    EXPECT_EQ(o.mouseFix, 1);
    EXPECT_EQ(o.shotSensitive, 300);
    EXPECT_EQ(o.lang, 1);
    EXPECT_EQ(o.fxVolume, 0);
    EXPECT_EQ(o.voiceVolume, 0);  // the voice channel follows the effects until the server says otherwise
    EXPECT_EQ(LoadFrom("[Video]\ntexturefilter=9\nfsaa=-3\n[Control]\ncameramode=3\n").textureFilter, 3);
    EXPECT_EQ(LoadFrom("[Video]\nfsaa=-3\n").fsaa, 0);
    EXPECT_EQ(LoadFrom("[Control]\ncameramode=3\n").cameraMode, 3);
}

// A value not wholly a number or out of its range takes the default (a clamped key its bound), a fraction
// the nearest whole number, and the load lists it for the log; usable values are not listed.
TEST_F(OptionsFileTest, ValuesOutOfRangeOrWithoutANumberTakeTheDefaultAndAreListed) {
    using Why = ReplacedOption::Why;
    struct Case {
        const char* text;  // one key of [Video]
        std::int32_t Options::*field;
        std::int32_t expected;
        bool listed;
        Why why = Why::kOutOfRange;
    } cases[] = {
        {"width= 99999", &Options::width, 0, true},
        {"height= -5", &Options::height, 0, true},
        {"width= 800", &Options::width, 0, true},
        {"width= abc", &Options::width, 0, true, Why::kNoNumber},
        {"width= 0", &Options::width, 0, false},
        {"height= 720", &Options::height, 720, false},
        {"width= 0x500", &Options::width, 1280, false},
        {"height= 0x300", &Options::height, 768, false},
        {"width= ", &Options::width, 0, true, Why::kEmpty},
        {"width= 4294968576", &Options::width, 0, true},  // 2^32 + 1280 does not wrap to 1280
        {"bpp= 8", &Options::bpp, 0, true},
        {"bpp= 24", &Options::bpp, 24, false},
        {"bpp= 32abc", &Options::bpp, 0, true, Why::kNoNumber},
        {"bpp= 31.6", &Options::bpp, 32, true, Why::kNotWhole},
        {"refreshrate= -3", &Options::refreshRate, 60, true},
        {"refreshrate= 0", &Options::refreshRate, 0, false},
        {"refreshrate= 1e40", &Options::refreshRate, 60, true},
        {"meshdetail= 9", &Options::meshDetail, 1, true},
        {"gamma= 10", &Options::gamma, 50, true},
        {"gamma= x", &Options::gamma, 100, true, Why::kNoNumber},
        {"gamma= \"\"", &Options::gamma, 100, true, Why::kEmpty},
        {"gamma= 120", &Options::gamma, 120, false},
        {"gamma= 1.5e2", &Options::gamma, 150, false},
        {"gamma= 99.5", &Options::gamma, 100, true, Why::kNotWhole},
        {"gamma= 150.6", &Options::gamma, 150, true},
        {"gamma= 1e400", &Options::gamma, 150, true},
    };
    for (const Case& c : cases) {
        Write(std::string("[Video]\r\n") + c.text + "\r\n");
        Options o;
        std::vector<ReplacedOption> replaced;
        ASSERT_TRUE(o.Load(path_, &replaced)) << c.text;
        EXPECT_EQ(o.*c.field, c.expected) << c.text;
        ASSERT_EQ(replaced.size(), c.listed ? 1u : 0u) << c.text;
        if (!c.listed) continue;
        EXPECT_EQ(replaced[0].section, "Video");
        EXPECT_EQ(std::string(c.text).find(replaced[0].key + "= " + replaced[0].stored), 0u) << c.text;
        EXPECT_EQ(replaced[0].used, c.expected) << c.text;
        EXPECT_EQ(replaced[0].why, c.why) << c.text;
    }
    // A flag without a number takes its default too, instead of reading as off; a fraction rounds; a
    // number other than 0 and 1 reads as on and is listed, and so is a mouse fix other than 1.
    Write(
        "[Video]\nfullscreen=on\nvsync= 0.4\ntableeffect= 2\n[Audio]\nBGM=yes\nFX=\nFXVolume=\n"
        "[Control]\nmousefix= 7\n");
    Options o;
    o.fx = 0;
    o.fxVolume = 20;
    std::vector<ReplacedOption> replaced;
    ASSERT_TRUE(o.Load(path_, &replaced));
    EXPECT_EQ(o.fullscreen, 1);
    EXPECT_EQ(o.vsync, 0);
    EXPECT_EQ(o.bgm, 1);
    EXPECT_EQ(o.fx, 1);
    EXPECT_EQ(o.fxVolume, 100);
    EXPECT_EQ(o.tableEffect, 1);
    EXPECT_EQ(o.mouseFix, 1);
    ASSERT_EQ(replaced.size(), 7u);
    EXPECT_EQ(replaced[2].key, "tableeffect");
    EXPECT_EQ(replaced[2].why, ReplacedOption::Why::kOutOfRange);
    EXPECT_EQ(replaced[6].key, "mousefix");
    EXPECT_EQ(replaced[6].used, 1);
    EXPECT_EQ(replaced[6].why, ReplacedOption::Why::kOutOfRange);
}

TEST_F(OptionsFileTest, SaveWritesEveryKeyWithBlankAndKeepsOtherLines) {
    Write("; kept\r\n[Video]\r\nunknown=7\r\n");
    Options o;
    o.mouseFix = 0;
    ASSERT_TRUE(o.Save(path_));
    const std::string text = Read();
    EXPECT_NE(text.find("; kept"), std::string::npos);
    EXPECT_NE(text.find("unknown=7"), std::string::npos);
    EXPECT_NE(text.find("fullscreen= 1"), std::string::npos);
    EXPECT_NE(text.find("mousefix= 0"), std::string::npos);
    Options back;
    ASSERT_TRUE(back.Load(path_));
    EXPECT_EQ(back.mouseFix, 1);
    EXPECT_LT(text.find("[Video]"), text.find("[Game]"));
    EXPECT_LT(text.find("[Game]"), text.find("[Audio]"));
    EXPECT_LT(text.find("[Audio]"), text.find("[Control]"));
}

TEST_F(OptionsFileTest, SaveIntoUnwritableFolderReportsFailure) {
    Options o;
    EXPECT_FALSE(o.Save((dir_ / "missing" / "config.ini").string()));
}

TEST(OptionsServerWord, ReadsBitsAndClampsVolume) {
    Options o;
    o.SetFromServerWord(0x100 | 0x400 | 30);
    EXPECT_EQ(o.voice, 0);
    EXPECT_EQ(o.maskBadLanguage, 1);
    EXPECT_EQ(o.autoGreetings, 1);
    EXPECT_EQ(o.voiceVolume, 70);
    EXPECT_EQ(o.serverMode, 2);
    EXPECT_EQ(o.modeChosen, 0);
    o.SetFromServerWord(0x800 | 0xFF);  // a low byte above 100 from the server
    EXPECT_EQ(o.voiceVolume, 0);
    EXPECT_EQ(o.serverMode, 1);
    EXPECT_EQ(o.ServerOptionWord(), 100u + 0x1000 + 0x800);
}

TEST(OptionsServerWord, PacksFlagByte) {
    Options o;
    EXPECT_EQ(o.ServerFlagByte(), 3);
    o.serverFlagB = 0;
    EXPECT_EQ(o.ServerFlagByte(), 1);
}

TEST(OptionsDevice, HighestMultisampleUpTo) {
    Options o;
    o.MarkMultisampleSupported(0);
    EXPECT_EQ(o.HighestMultisampleUpTo(8), 0);
    o.MarkMultisampleSupported(2);
    o.MarkMultisampleSupported(4);
    EXPECT_EQ(o.HighestMultisampleUpTo(8), 4);
    EXPECT_EQ(o.HighestMultisampleUpTo(0), 0);
    EXPECT_EQ(o.HighestMultisampleUpTo(99), 4);
}

TEST(OptionsDevice, DeviceWithoutDxt1) {
    Options o;
    platform::DeviceCaps caps;
    caps.bumpEnvMap = caps.cubeTextures = 1;
    caps.maxTextureWidth = 4096;
    EXPECT_FALSE(o.FitToDevice(caps));
    EXPECT_EQ(o.textureDetail, 2);
    EXPECT_EQ(o.bpp, 16);
    std::uint16_t w = 1280, h = 1024;
    std::uint8_t bits = 32, vsync = 1;
    std::uint32_t refresh = 75;
    EXPECT_TRUE(o.ValidateDisplayMode(w, h, bits, refresh, vsync));
    EXPECT_EQ(o.width, 1024);
    EXPECT_EQ(o.height, 768);
    EXPECT_EQ(o.refreshRate, 60);
    EXPECT_EQ(o.bpp, 16);
    EXPECT_EQ(o.vsync, 0);
}

TEST(OptionsDevice, ListedModeKeepsStoreAndFixesUnlistedRefresh) {
    DisplayModeList::Instance().Rebuild({{1024, 768, 32, 60}, {1024, 768, 32, 75}, {1280, 700, 32, 60}});
    Options o;
    o.caps.dxt1 = o.caps.hardwareTnL = 1;
    std::uint16_t w = 1152, h = 864;
    std::uint8_t bits = 24, vsync = 0;
    std::uint32_t refresh = 60;
    EXPECT_TRUE(o.ValidateDisplayMode(w, h, bits, refresh, vsync));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(bits, 32);
    EXPECT_EQ(o.width, 0);  // the store keeps its values on this path
    refresh = 85;
    EXPECT_TRUE(o.ValidateDisplayMode(w, h, bits, refresh, vsync));
    EXPECT_EQ(refresh, 60u);
    EXPECT_FALSE(o.ValidateDisplayMode(w, h, bits, refresh, vsync));
    DisplayModeList::Instance().Clear();
}

TEST(DisplayModeListTest, KeepsLargeThirtyTwoBitModesMergedAndSorted) {
    Options o;
    BuildDisplayModeList(o, {{1280, 720, 32, 75},
                             {1280, 700, 32, 60},
                             {1920, 1080, 16, 60},
                             {1280, 720, 32, 60},
                             {1024, 768, 32, 60},
                             {1280, 720, 32, 60},
                             {800, 600, 32, 60}});
    const auto list = DisplayModeList::Instance().Snapshot();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].width, 1024u);
    EXPECT_EQ(list[1].height, 720u);
    EXPECT_EQ(list[1].refreshRates, (std::vector<std::uint32_t>{60, 60, 75}));
    EXPECT_EQ(o.modesListed, 1);
    DisplayModeList::Instance().Clear();
}

TEST(OptionsChange, TestsCompareTheirFields) {
    Options a, b;
    b.anisotropic = 4;
    EXPECT_FALSE(a.TextureFilterChanged(b));
    a.textureFilter = b.textureFilter = 3;
    EXPECT_TRUE(a.TextureFilterChanged(b));
    b = a;
    b.serverMode = 2;
    EXPECT_TRUE(a.ControlsChanged(b));
    EXPECT_TRUE(a.ServerModeChanged(b));
    EXPECT_FALSE(a.DisplayModeChanged(b));
}

TEST(OptionsStoreTest, ConcurrentUpdatesAndReadsSeeWholeStores) {
    OptionsStore store;
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) store.Update([i](Options& o) { o.width = o.height = i; });
    });
    for (int i = 0; i < 2000; ++i) {
        const Options o = store.Get();
        ASSERT_EQ(o.width, o.height);
    }
    writer.join();
}

}  // namespace

TEST(DisplayModes, GcdOfDisplaySizesTerminatesForEveryInput) {
    EXPECT_EQ(Gcd(1280, 720), 80);
    EXPECT_EQ(Gcd(0, 5), 5);
    EXPECT_EQ(Gcd(5, 0), 5);   // repeated subtraction would never end here
    EXPECT_EQ(Gcd(-4, 6), 0);  // nor here
    EXPECT_EQ(Gcd(1920, 1080), 120);
}

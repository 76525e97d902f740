// Scripted runs of the client binary with the null backends: the command line and its errors, start
// modes, the launcher hand-off, no display, the single instance, the start-up log, config.ini, and the
// orderly end on SIGTERM.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
#include "tests/common/XvfbDisplay.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

using testsupport::ChildProcess;
using testsupport::ReadFile;
using testsupport::WaitUntil;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ShellRun : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = testsupport::TempPath(std::string("shell_e2e_") +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "run");
        fs::create_directories(folder_ / "bin");
        fs::create_directory_symlink(MARVENLOT_DATA_DIR, folder_ / "data");
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    std::vector<std::string> Env() const {
        std::vector<std::string> env{"MARVENLOT_VIDEO=" + video_,
                                     "MARVENLOT_AUDIO=null",
                                     "MARVENLOT_HEADLESS=1",
                                     "MARVENLOT_HOME=" + folder_.string(),
                                     "MARVENLOT_RUNTIME_DIR=" + (folder_ / "run").string(),
                                     "MARVENLOT_JOURNAL=" + (folder_ / "journal.txt").string(),
                                     "MARVENLOT_DESKTOP_DIR=" + folder_.string(),
                                     "PATH=" + (folder_ / "bin").string() + ":/usr/bin:/bin",
                                     "MARVENLOT_INPUT=" + inputScript_,
                                     "MARVENLOT_SERVER=127.0.0.1:" + std::to_string(serverPort_)};
        env.insert(env.end(), extraEnv_.begin(), extraEnv_.end());
        if (noDisplay_) {
            env.emplace_back("DISPLAY=");
            env.emplace_back("WAYLAND_DISPLAY=");
            env.push_back("SDL_VIDEODRIVER=" + sdlDriver_);
            // Mesa's allocations live to the end of the process, after its modules are unloaded.
            if (!sdlDriver_.empty()) env.emplace_back("LSAN_OPTIONS=detect_leaks=0");
        }
        return env;
    }
    bool Start(ChildProcess& child, const std::vector<std::string>& args) {
        return child.Start(MARVENLOT_CLIENT_PATH, args, Env(), folder_.string());
    }
    struct Outcome {
        int code = -1;
        std::string out;
        std::string err;
    };
    // Runs the client to its end with the standard output and error in files.
    Outcome RunToEnd(const std::vector<std::string>& args) {
        std::string command = "exec '" MARVENLOT_CLIENT_PATH "'";
        for (const std::string& arg : args) command += " " + Quoted(arg);
        command += " >'" + (folder_ / "out.txt").string() + "' 2>'" + (folder_ / "err.txt").string() + "'";
        ChildProcess shell;
        EXPECT_TRUE(shell.Start("/bin/sh", {"-c", command}, Env(), folder_.string()));
        Outcome outcome;
        outcome.code = shell.Wait(20s).value_or(-1);
        outcome.out = ReadFile(folder_ / "out.txt");
        outcome.err = ReadFile(folder_ / "err.txt");
        return outcome;
    }
    static std::string Quoted(const std::string& arg) {
        std::string quoted = "'";
        for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }
    std::string Log() const { return ReadFile(folder_ / "StartLog.log"); }
    std::string Journal() const { return ReadFile(folder_ / "journal.txt"); }
    bool WaitForJournal(const std::string& line, std::chrono::milliseconds timeout = 10s) const {
        return WaitUntil([&] { return Journal().find(line) != std::string::npos; }, timeout);
    }
    // Starts the client, waits until its first scene is current, then ends it with SIGTERM.
    std::string RunUntilScene(const std::vector<std::string>& args, const std::string& scene) {
        ChildProcess client;
        EXPECT_TRUE(Start(client, args));
        EXPECT_TRUE(WaitForJournal("SCENE " + scene));
        client.Terminate();
        EXPECT_EQ(client.Wait(3s), std::optional<int>(0));
        return Log();
    }

    fs::path folder_;
    std::string inputScript_;     // MARVENLOT_INPUT; empty: no script
    std::string video_ = "null";  // MARVENLOT_VIDEO
    bool noDisplay_ = false;      // DISPLAY and WAYLAND_DISPLAY emptied, SDL_VIDEODRIVER = sdlDriver_
    std::string sdlDriver_;
    std::vector<std::string> extraEnv_;  // added to the client's environment, replacing the above
    std::uint16_t serverPort_ = 1;
};

// A three-cushion record of three balls, the cue ball struck toward (40, 10), as the writer makes it.
const std::string kRecord =
    "9A0B000014000100040000000000000000000000000000000000000000000000000300000048C20000E0C0CDCC44400000"
    "204200002041CDCC44400000A0410000E0C0CDCC44400000000000000000000000000000803F00000000000000000000"
    "00000000803F0000000000000000000000000000803F0000803F9A99193F00000000000020420000204100000000000000"
    "000000000000000000000000000000803F000000000000000000000000";
constexpr std::uint16_t kSignIn = 151;

TEST_F(ShellRun, AloneStartsTheLauncherAndEndsWithoutWindowOrLock) {
    const fs::path marker = folder_ / "launcher-started";
    {
        std::ofstream script(folder_ / "bin" / "marvenlot-launcher");
        script << "#!/bin/sh\ntouch '" << marker.string() << "'\n";
    }
    fs::permissions(folder_ / "bin" / "marvenlot-launcher", fs::perms::owner_all);
    ChildProcess client;
    ASSERT_TRUE(Start(client, {}));
    EXPECT_EQ(client.Wait(3s), std::optional<int>(0));
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(marker); }, 2s));
    EXPECT_FALSE(fs::exists(folder_ / "run" / "Marvenlot.lock"));
    EXPECT_FALSE(fs::exists(folder_ / "StartLog.log"));
    EXPECT_FALSE(fs::exists(folder_ / "journal.txt"));
}

TEST_F(ShellRun, EachFormOfTheCommandLineStartsItsMode) {
    struct Case {
        std::vector<std::string> args;
        std::string modeLine;
        std::string firstScene;
    } cases[] = {
        {{"offline"}, "Start mode 1, scenes 11 2 1", "2"},
        {{"launcher", "id", "pw"}, "Start mode 0, scenes 10 9 8 7 5 4 2 1", "2"},
        {{"replay", "a", "b", kRecord}, "Start mode 2, scenes 12", "12"},
    };
    for (const Case& c : cases) {
        fs::remove(folder_ / "journal.txt");
        const std::string log = RunUntilScene(c.args, c.firstScene);
        EXPECT_NE(log.find(c.modeLine), std::string::npos) << c.args[0] << " " << c.args.size() << "\n"
                                                           << log;
    }
}

// Help, usage errors and a start without a launcher answer with the usage and start nothing.
TEST_F(ShellRun, CommandLineAnswersWithTheUsageAndAnExitCodeAndStartsNothing) {
    const std::string usage = "Usage: marvenlot offline\n       marvenlot <entry> <login id> <password>";
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out;  // the start of stdout
        std::string err;  // the start of stderr
    } cases[] = {
        {{"--help"}, 0, usage, ""},
        {{"-h"}, 0, usage, ""},
        {{}, 1, "", "marvenlot: no launcher (marvenlot-launcher) is installed"},
        {{"OFFLINE"}, 2, "", "marvenlot: unknown mode \"OFFLINE\""},
        {{"offline", "x"}, 2, "", "marvenlot: offline takes no further arguments"},
        {{"replay", "a", "b"}, 2, "", "marvenlot: replay takes three arguments"},
        {{"replay", "-", "-", "ZZZZ"}, 2, "", "marvenlot: the shot record cannot be read: its length is not"},
        {{"replay", "-", "-", std::string(kRecord).replace(16, 2, "00")},
         2,
         "",
         "marvenlot: the shot record cannot be played: it holds 3 balls where its game type 0 has 4"},
        {{"launcher", "id", "pw", "2", "extra"}, 2, "", "marvenlot: too many arguments"},
        {{"--verbose"}, 2, "", "marvenlot: unknown option \"--verbose\""},
    };
    for (const Case& c : cases) {
        const Outcome outcome = RunToEnd(c.args);
        EXPECT_EQ(outcome.code, c.code) << c.err;
        EXPECT_EQ(outcome.out.rfind(c.out, 0), 0u) << outcome.out;
        EXPECT_EQ(outcome.err.rfind(c.err, 0), 0u) << outcome.err;
        EXPECT_NE((c.code == 0 ? outcome.out : outcome.err).find(usage), std::string::npos) << c.err;
        EXPECT_EQ(c.code == 0 ? outcome.err : outcome.out, "") << c.err;
        EXPECT_FALSE(fs::exists(folder_ / "StartLog.log")) << c.err;
        EXPECT_FALSE(fs::exists(folder_ / "journal.txt")) << c.err;
        EXPECT_FALSE(fs::exists(folder_ / "run" / "Marvenlot.lock")) << c.err;
    }
}

TEST_F(ShellRun, NoDisplayIsAnErrorUnlessTheNullBackendOrSdlsOffscreenDriverIsAskedFor) {
    noDisplay_ = true;
    video_ = "";
    Outcome outcome = RunToEnd({"offline"});
    EXPECT_EQ(outcome.code, 1) << outcome.err;
    EXPECT_NE(outcome.err.find("marvenlot: no display can be opened"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("MARVENLOT_VIDEO=null"), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(folder_ / "journal.txt"));
    EXPECT_NE(Log().find("ERROR : no display can be opened"), std::string::npos) << Log();

    video_ = "sdl";
    outcome = RunToEnd({"offline"});
    EXPECT_EQ(outcome.code, 1) << "a named sdl backend finds no display either";
    EXPECT_NE(outcome.err.find("marvenlot: no display can be opened"), std::string::npos) << outcome.err;

    // SDL's offscreen driver asked for by name draws without a display (the GL tests run so).
    sdlDriver_ = "offscreen";
    RunUntilScene({"offline"}, "2");
}

TEST_F(ShellRun, ArgumentsReachTheServerAsGivenWithQuotesAndBlanks) {
    testserver::TestGameServer server;
    ASSERT_TRUE(server.Start());
    serverPort_ = server.Port();
    ChildProcess client;
    ASSERT_TRUE(Start(client, {"x", "id one", "pa\"ss 'w", "2"}));
    ASSERT_TRUE(server.WaitForClients(1, 20000));
    const std::optional<testserver::Frame> signIn = server.Expect(0, kSignIn, 20000);
    ASSERT_TRUE(signIn);
    testserver::Reader fields(signIn->body);
    EXPECT_EQ(fields.str(), u"id one");
    EXPECT_EQ(fields.str(), u"pa\"ss 'w");
    client.Terminate();
    EXPECT_EQ(client.Wait(5s), std::optional<int>(0));
}

TEST_F(ShellRun, StartLogHoldsStartUpInOrderAndConfigGetsDefaultsAndClamps) {
    {
        std::ofstream config(folder_ / "config.ini");
        config << "[Video]\r\ngamma=10\r\ntexturefilter=9\r\nwidth=99999\r\nheight=-5\r\nbpp=32abc\r\n"
                  "refreshrate=1e40\r\nfsaa=20\r\ntexturedetail=5\r\nmeshdetail=high\r\nanisotropic=99\r\n"
                  "[Game]\r\npracticegame=99\r\n[Audio]\r\nFXVolume=49.5\r\n"
                  "[Control]\r\nverticalsensitive=500\r\nmousefix=0\r\ncameramode=7\r\nshotzoom=\r\n"
                  "shotsensitive=1\r\n";
    }
    // What an options save killed before its rename left.
    std::ofstream(folder_ / "config.ini.saving-Ab3dE9") << "[Video]\r\n";
    fs::last_write_time(folder_ / "config.ini.saving-Ab3dE9",
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    // What a client killed while the browser had its sign-in form left, beside a file of other name.
    std::ofstream(folder_ / "run" / "marvenlot-page-Ab3dE9.html") << "login_pass";
    std::ofstream(folder_ / "run" / "marvenlot-page.html") << "kept";
    const std::string log = RunUntilScene({"offline"}, "2");
    std::size_t at = 0;
    for (const char* line : {"[App ver]", "  ver : 09042801", "[Operating System]", "[Memory]",
                             "[Display Adapter]", "InitWindow...", "Class Registered...", "Window Created...",
                             "Accelerators loaded...", "Input set...", "Show Window...", "renderer : ",
                             "Initial Free Video Memory : ", "Init done...", "Update thread ended", "Exit"}) {
        const std::size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << log;
        at = found;
    }
    for (const char* line : {"config.ini [Video] gamma=10 is out of range; 50 is used",
                             "config.ini [Video] width=99999 is out of range; 0 is used",
                             "config.ini [Video] height=-5 is out of range; 0 is used",
                             "config.ini [Video] bpp=32abc is no number; 0 is used",
                             "config.ini [Video] refreshrate=1e40 is out of range; 60 is used",
                             "config.ini [Audio] FXVolume=49.5 is no whole number; 50 is used",
                             "config.ini [Control] shotzoom= is empty; 1 is used",
                             "config.ini [Video] meshdetail=high is no number; 1 is used",
                             "config.ini [Control] verticalsensitive=500 is out of range; 200 is used",
                             "config.ini [Control] shotsensitive=1 is out of range; 10 is used",
                             "config.ini [Control] mousefix=0 is out of range; 1 is used"})
        EXPECT_NE(log.find(std::string("WARNING : ") + line), std::string::npos) << line << "\n" << log;
    // Every value that was not used is named, more than the repeat limiter lets through of one format.
    std::size_t named = 0;
    for (std::size_t i = log.find("WARNING : config.ini ["); i != std::string::npos;
         i = log.find("WARNING : config.ini [", i + 1))
        ++named;
    EXPECT_EQ(named, 17u) << log;
    EXPECT_EQ(log.find("were left out"), std::string::npos) << log;
    const std::string config = ReadFile(folder_ / "config.ini");
    for (const char* entry : {"gamma= 50", "texturefilter= 3", "mousefix= 1", "cameramode= 3", "width= 1024",
                              "height= 768", "bpp= 32", "fullscreen= 1", "BGMVolume= 100", "FXVolume= 50",
                              "refreshrate= 60", "horizentalsensitive= 100", "lang= 0"}) {
        EXPECT_NE(config.find(entry), std::string::npos) << entry << "\n" << config;
    }
    EXPECT_TRUE(fs::exists(folder_ / "run" / "Marvenlot Init.event"));
    EXPECT_FALSE(fs::exists(folder_ / "config.ini.saving-Ab3dE9"));
    EXPECT_FALSE(fs::exists(folder_ / "run" / "marvenlot-page-Ab3dE9.html"));
    EXPECT_TRUE(fs::exists(folder_ / "run" / "marvenlot-page.html"));
    EXPECT_NE(
        log.find("marvenlot-page-Ab3dE9.html, a sign-in form left by a client that was cut off, is removed"),
        std::string::npos)
        << log;
}

// What is not a regular file in config.ini's or the input script's place is refused at once, with
// its reason in the log; the start goes on with the defaults and leaves the FIFO as it was.
TEST_F(ShellRun, AFifoAsConfigOrInputScriptStartsWithDefaultsInsteadOfHanging) {
    ASSERT_EQ(::mkfifo((folder_ / "config.ini").c_str(), 0600), 0);
    inputScript_ = (folder_ / "input.txt").string();
    ASSERT_EQ(::mkfifo(inputScript_.c_str(), 0600), 0);
    ChildProcess client;
    client.SetStderrFile((folder_ / "stderr.txt").string());
    ASSERT_TRUE(Start(client, {"offline"}));
    EXPECT_TRUE(WaitForJournal("SCENE 2", 20s)) << Log();
    client.Terminate();
    EXPECT_EQ(client.Wait(10s), std::optional<int>(0));
    const std::string log = Log();
    for (const std::string& line : std::vector<std::string>{
             "WARNING : config.ini could not be read (not a regular file); the defaults are used",
             "ERROR : config.ini could not be written (not a regular file)",
             "input script " + inputScript_ + " cannot be read (not a regular file); no scripted input"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_TRUE(fs::is_fifo(folder_ / "config.ini"));
}

// SIGTERM at any step of the start ends the client in order with exit code 0, also before its
// window exists.
TEST_F(ShellRun, SigtermDuringTheStartEndsTheClientWithZero) {
    for (const char* step : {"[App ver]", "InitWindow...", "renderer : ", "Init done..."}) {
        fs::remove(folder_ / "StartLog.log");
        ChildProcess client;
        ASSERT_TRUE(Start(client, {"offline"}));
        WaitUntil([&] { return Log().find(step) != std::string::npos; }, 2s, 1ms);
        client.Terminate();
        EXPECT_EQ(client.Wait(20s), std::optional<int>(0)) << step;
        EXPECT_NE(Log().find("Exit"), std::string::npos) << step << "\n" << Log();
    }
}

// A script's wait for a journal line gives up in its time also while the sign-in's error box
// waits for an answer, so a scripted client never waits until it is killed.
TEST_F(ShellRun, AJournalWaitUnderTheSignInErrorBoxTimesOutAndTheScriptGoesOn) {
    inputScript_ = (folder_ / "input.txt").string();
    std::ofstream(inputScript_)
        << "journal-limit 1000\nwait-journal BOX Error|The game server cannot be reached.\n"
           "wait-journal SCENE 4\nquit\n";
    ChildProcess client;
    ASSERT_TRUE(Start(client, {"launcher", "id", "pw"}));  // no server listens on port 1
    EXPECT_EQ(client.Wait(30s), std::optional<int>(0)) << Journal();
    EXPECT_NE(Journal().find("BOX Error|The game server cannot be reached."), std::string::npos) << Journal();
    EXPECT_NE(Log().find("input script line 3: no journal line \"SCENE 4\" within 1 s; going on"),
              std::string::npos)
        << Log();
}

// A box on the display holds the message pump until it is answered: the script plays on under it,
// its wait gives up after its limit, and its quit closes the box and ends the client in order.
TEST_F(ShellRun, TheScriptPlaysOnUnderABoxOnTheDisplayAndItsQuitClosesTheBox) {
    testsupport::XvfbDisplay display;
    if (!display.Start()) GTEST_SKIP() << "Xvfb is not available";
    fs::remove(folder_ / "data");  // the packages but the balls': the loading error box
    fs::create_directory(folder_ / "data");
    for (const fs::directory_entry& entry : fs::directory_iterator(MARVENLOT_DATA_DIR))
        if (entry.path().filename() != "Balls.mpk")
            fs::create_symlink(entry.path(), folder_ / "data" / entry.path().filename());
    inputScript_ = (folder_ / "input.txt").string();
    std::ofstream(inputScript_) << "journal-limit 1000\nwait-journal SCENE\nquit\n";
    video_ = "sdl";
    extraEnv_ = {"MARVENLOT_HEADLESS=", "SDL_VIDEODRIVER=", "DISPLAY=" + display.Name(),
                 "LSAN_OPTIONS=detect_leaks=0"};
    ChildProcess client;
    ASSERT_TRUE(Start(client, {"offline"}));
    EXPECT_EQ(client.Wait(60s), std::optional<int>(1)) << Log();
    EXPECT_EQ(Journal().rfind("BOX Marvenlot|Loading error", 0), 0u) << Journal();
    EXPECT_NE(Log().find("input script line 2: no journal line \"SCENE\" within 1 s; going on"),
              std::string::npos)
        << Log();
    EXPECT_NE(Log().find("Exit"), std::string::npos) << Log();
}

TEST_F(ShellRun, ReplayNeverWritesConfig) {
    RunUntilScene({"replay", "a", "b", kRecord}, "12");
    EXPECT_FALSE(fs::exists(folder_ / "config.ini"));
    EXPECT_NE(Log().find("Init done..."), std::string::npos);
}

TEST_F(ShellRun, SecondStartRaisesTheFirstAndBothEndWithZero) {
    ChildProcess first;
    ASSERT_TRUE(Start(first, {"offline"}));
    ASSERT_TRUE(WaitForJournal("ENTERED 2"));
    ChildProcess second;
    ASSERT_TRUE(Start(second, {"offline"}));
    EXPECT_EQ(second.Wait(3s), std::optional<int>(0));
    std::string log;
    WaitUntil([&] { return (log = Log()).find("Brought to front by a second start") != std::string::npos; },
              3s);
    EXPECT_NE(log.find("Brought to front by a second start"), std::string::npos) << log;
    EXPECT_NE(log.find("Init done..."), std::string::npos);  // the second start did not truncate the log
    EXPECT_EQ(Journal(), "SCENE 2\nENTERED 2\n");            // the second start showed nothing
    first.Terminate();
    EXPECT_EQ(first.Wait(3s), std::optional<int>(0));
}

}  // namespace

TEST_F(ShellRun, InputScriptWaitsForTheFirstSceneAndQuitsTheClientByItself) {
    inputScript_ = (folder_ / "input.txt").string();
    {
        std::ofstream script(inputScript_);
        script << "# a person at the keyboard\n"
                  "wait-journal SCENE 2\n"
                  "press the any key\n"
                  "move 300 200\ndown left\nup left\nkey Escape\ntext hi\nwait 50\n"
                  "quit\n";
    }
    // OpenAL as a player has it: on a machine without a sound output the client says so in one line
    // of its own, and the sound libraries' messages stay off stderr.
    extraEnv_ = {"MARVENLOT_AUDIO=openal", "ALSOFT_LOGLEVEL="};
    ChildProcess client;
    client.SetStderrFile((folder_ / "stderr.txt").string());
    ASSERT_TRUE(Start(client, {"offline"}));
    EXPECT_EQ(client.Wait(20s), std::optional<int>(0)) << "the script's quit ends the client";
    EXPECT_EQ(Journal().rfind("SCENE 2\n", 0), 0u) << Journal();
    const std::string log = Log();
    EXPECT_NE(log.find("input script line 3: unknown command \"press\""), std::string::npos) << log;
    EXPECT_EQ(log.find("no journal line"), std::string::npos) << log;
    EXPECT_NE(log.find("Exit"), std::string::npos) << log;
    const std::string err = ReadFile(folder_ / "stderr.txt");
    EXPECT_NE(err.find("input script line 3"), std::string::npos);
    const std::string noSound = "OpenAL found no sound output; the game goes on without sound\n";
    const bool silent = log.find("Sound device : null") != std::string::npos;
    EXPECT_EQ(log.find("WARNING : " + noSound) != std::string::npos, silent) << log;
    EXPECT_EQ(err.find("marvenlot: " + noSound) != std::string::npos, silent) << err;
    for (const char* noise : {"ALSA lib", "AL lib", "ALSOFT"})
        EXPECT_EQ(err.find(noise), std::string::npos) << err;
}

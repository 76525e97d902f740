// The client program in full screen on an X server larger than its 1024 x 768 screens, without and
// with a window manager: on the first start, on a start with the stored setting and on one with a
// stored size no display has, the window covers the display, the frame fills it, and a click lands
// on what is drawn under the pointer. Alt+Enter from the first start gives a window in the middle of
// the display, whose size hints claim no place of the user's. Under the window manager a client in a
// window also acts on the click that takes the focus back from another window, and lets the window
// manager size it: its smallest size is 1024 x 768 with no largest, a resize is followed by the
// picture, and a maximise switches to full screen, from where Alt+Enter gives the window back as it was.
// Skipped when Xvfb (or, for the second case, openbox) is not installed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
#include "tests/common/XvfbDisplay.h"

// Last: the X headers define macros (None, Bool, Status) that clash with names in the others.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::XvfbDisplay;

constexpr int kScreenWidth = 1280, kScreenHeight = 960;  // 1.25 times the client's 1024 x 768
// The offline table's exit button ("X", the rightmost of the top-right corner buttons), in client
// pixels, and where it shows on the screen.
constexpr int kExitX = 1006, kExitY = 21;
constexpr int kExitScreenX = kExitX * 5 / 4, kExitScreenY = kExitY * 5 / 4;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return testsupport::WaitUntil(condition, timeout, 20ms);
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Geometry&) const = default;
    friend void PrintTo(const Geometry& g, std::ostream* os) {
        *os << g.width << "x" << g.height << "+" << g.x << "+" << g.y;
    }
};

// The shown window titled "Marvenlot", in root coordinates (a window manager's frame is skipped).
bool FindClientWindow(Display* display, Window window, Geometry& out, Window* found = nullptr) {
    XWindowAttributes attributes{};
    char* name = nullptr;
    const bool titled = XFetchName(display, window, &name) && name && std::string(name) == "Marvenlot";
    if (name) XFree(name);
    if (titled && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) {
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &out.x, &out.y, &child);
        out.width = attributes.width;
        out.height = attributes.height;
        if (found) *found = window;
        return true;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
    bool seen = false;
    for (unsigned i = 0; i < count && !seen; ++i) seen = FindClientWindow(display, children[i], out, found);
    if (children) XFree(children);
    return seen;
}

// Share of the pixels of a screen rectangle that show something (not black).
double DrawnShare(Display* display, int x, int y, int width, int height) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return 0;
    long drawn = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            if ((pixel & 0xF0) || (pixel & 0xF000) || (pixel & 0xF00000)) ++drawn;
        }
    }
    XDestroyImage(image);
    return static_cast<double>(drawn) / (static_cast<double>(width) * height);
}

class FullScreenClient : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = testsupport::TempPath("window_xvfb");
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "run");
        fs::create_directory_symlink(fs::path(MARVENLOT_BINARY_DIR) / "data", folder_ / "data");
    }
    void TearDown() override {
        if (display_) XCloseDisplay(display_);
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    bool StartDisplay(const std::string& windowManager) {
        if (!server_.Start(std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24",
                           windowManager))
            return false;
        WaitFor([&] { return (display_ = XOpenDisplay(server_.Name().c_str())) != nullptr; }, 5000ms);
        return display_ != nullptr;
    }

    // Starts the client offline (with an input script when one is given) and waits until the
    // offline table shows; false when it did not come.
    bool StartClient(const std::string& script = {}) {
        fs::remove(folder_ / "journal.txt");
        std::vector<std::string> env{"DISPLAY=" + server_.Name(), "SDL_VIDEODRIVER=x11",
                                     "MARVENLOT_VIDEO=sdl", "MARVENLOT_AUDIO=null", "MARVENLOT_HEADLESS=1",
                                     "MARVENLOT_HOME=" + folder_.string(),
                                     "MARVENLOT_RUNTIME_DIR=" + (folder_ / "run").string(),
                                     "MARVENLOT_JOURNAL=" + (folder_ / "journal.txt").string(),
                                     // The X client libraries (D-Bus among them) keep allocations to
                                     // the end of the process; the client's own leaks are checked
                                     // by the runs without a display.
                                     "LSAN_OPTIONS=detect_leaks=0"};
        if (!script.empty()) {
            std::ofstream(folder_ / "input.txt") << script;
            env.push_back("MARVENLOT_INPUT=" + (folder_ / "input.txt").string());
        }
        client_ = std::make_unique<testsupport::ChildProcess>();
        client_->SetStderrFile((folder_ / "stderr.txt").string());
        if (!client_->Start(MARVENLOT_BINARY_DIR "/app/marvenlot", {"offline"}, env, folder_.string()))
            return false;
        return WaitFor(
            [&] { return ReadFile(folder_ / "journal.txt").find("SCENE 11") != std::string::npos; }, 40s);
    }

    // The window covers the display and the frame fills it: the parts of the screen beyond the
    // client's 1024 x 768 show the table scene, not black. The table's first frames may take a
    // while on a loaded machine, so the picture is given time to come.
    void ExpectWindowAndFrameCoverTheScreen(const char* run) {
        SCOPED_TRACE(run);
        Geometry window;
        ASSERT_TRUE(
            WaitFor([&] { return FindClientWindow(display_, DefaultRootWindow(display_), window); }, 10s));
        EXPECT_TRUE(WaitFor(
            [&] {
                return FindClientWindow(display_, DefaultRootWindow(display_), window) &&
                       window == Geometry{0, 0, kScreenWidth, kScreenHeight};
            },
            10s));
        EXPECT_EQ(window, (Geometry{0, 0, kScreenWidth, kScreenHeight}));
        const auto drawn = [&] {
            return DrawnShare(display_, 1024, 0, kScreenWidth - 1024, kScreenHeight) > 0.9 &&
                   DrawnShare(display_, 0, 768, 1024, kScreenHeight - 768) > 0.9;
        };
        EXPECT_TRUE(WaitFor(drawn, 20s)) << "beyond 1024 x 768 the screen stays black";
    }

    void ClickOnScreen(int x, int y) {
        XTestFakeMotionEvent(display_, -1, x, y, 0);
        XTestFakeButtonEvent(display_, 1, True, 0);
        XTestFakeButtonEvent(display_, 1, False, 50);
        XFlush(display_);
    }

    // The click on the exit button ends the client by itself.
    void ExpectClientEndsAfterTheClick(const char* run) {
        SCOPED_TRACE(run);
        const std::optional<int> code = client_->Wait(20s);
        ASSERT_TRUE(code.has_value()) << "the click did not reach the exit button";
        EXPECT_EQ(*code, 0) << ReadFile(folder_ / "stderr.txt");
    }

    void RunEachStart() {
        // First start: no config.ini, full screen by default.
        ASSERT_TRUE(StartClient()) << ReadFile(folder_ / "stderr.txt");
        ExpectWindowAndFrameCoverTheScreen("first start");
        // Alt+Enter gives a window in the middle of the screen, whose hints call its place the
        // program's; a second one covers the screen again.
        PressAltEnter();
        const Geometry middle{(kScreenWidth - 1024) / 2, (kScreenHeight - 768) / 2, 1024, 768};
        Geometry window;
        Window handle = 0;
        EXPECT_TRUE(WaitFor(
            [&] {
                return FindClientWindow(display_, DefaultRootWindow(display_), window, &handle) &&
                       window == middle;
            },
            10s))
            << testing::PrintToString(window);
        ExpectSizeHints(handle, middle);
        XTestFakeMotionEvent(display_, -1, kScreenWidth / 2, kScreenHeight / 2, 0);
        PressAltEnter();
        ExpectWindowAndFrameCoverTheScreen("first start, Alt+Enter twice");
        std::this_thread::sleep_for(2s * testsupport::kSlowdown);  // the client lays itself out again
        ClickOnScreen(kExitScreenX, kExitScreenY);
        ExpectClientEndsAfterTheClick("first start");
        const std::string config = ReadFile(folder_ / "config.ini");
        EXPECT_NE(config.find("fullscreen= 1"), std::string::npos) << config;
        EXPECT_NE(config.find("width= 1024"), std::string::npos) << config;
        EXPECT_NE(config.find("height= 768"), std::string::npos) << config;

        // Later start with the stored setting; the click comes from the input script, in client
        // pixels, after the checks above had their time (they end as soon as the picture is there).
        ASSERT_TRUE(StartClient("wait-journal SCENE 11\nwait " + std::to_string(15000) + "\nmove " +
                                std::to_string(kExitX) + " " + std::to_string(kExitY) +
                                "\ndown left\nwait 50\nup left\n"))
            << ReadFile(folder_ / "stderr.txt");
        ExpectWindowAndFrameCoverTheScreen("stored setting");
        ExpectClientEndsAfterTheClick("stored setting");

        // A stored size that no display has (it stopped the start at the window) is replaced, named
        // in the log, and the start covers the screen as with the default.
        std::ofstream(folder_ / "config.ini") << "[Video]\r\nfullscreen= 1\r\nwidth= 99999\r\nheight= -5\r\n";
        ASSERT_TRUE(StartClient("wait-journal SCENE 11\nwait " + std::to_string(15000) + "\nmove " +
                                std::to_string(kExitX) + " " + std::to_string(kExitY) +
                                "\ndown left\nwait 50\nup left\n"))
            << ReadFile(folder_ / "stderr.txt") << ReadFile(folder_ / "StartLog.log");
        ExpectWindowAndFrameCoverTheScreen("absurd size");
        ExpectClientEndsAfterTheClick("absurd size");
        const std::string log = ReadFile(folder_ / "StartLog.log");
        EXPECT_NE(log.find("WARNING : config.ini [Video] width=99999 is out of range; 0 is used"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("WARNING : config.ini [Video] height=-5 is out of range; 0 is used"),
                  std::string::npos)
            << log;
        const std::string fitted = ReadFile(folder_ / "config.ini");
        EXPECT_NE(fitted.find("width= 1024"), std::string::npos) << fitted;
        EXPECT_NE(fitted.find("height= 768"), std::string::npos) << fitted;
    }

    // In a window, the click that takes the focus back acts too (the window manager gives the focus
    // right before it passes the press on): one click on the exit button ends the client.
    void RunWindowedClickThatTakesTheFocus() {
        std::ofstream(folder_ / "config.ini") << "[Video]\r\nfullscreen= 0\r\n";
        ASSERT_TRUE(StartClient()) << ReadFile(folder_ / "stderr.txt");
        Geometry client;
        ASSERT_TRUE(
            WaitFor([&] { return FindClientWindow(display_, DefaultRootWindow(display_), client); }, 10s));
        XSetInputFocus(display_, DefaultRootWindow(display_), RevertToPointerRoot, CurrentTime);
        XSync(display_, False);
        ClickOnScreen(client.x + kExitX, client.y + kExitY);
        ExpectClientEndsAfterTheClick("click into the window without the focus");
    }

    // In a window the window manager sizes the client as its edges do: the size hints give the
    // smallest size and no largest; a resize to another shape is drawn unscaled (no black bars
    // where a 4:3 frame would be fitted) and a resize below 1024 x 768 is refused. A maximise
    // switches to full screen as Alt+Enter does, and Alt+Enter gives the window back where it was,
    // unmaximised and with its hints, so that the next maximise switches again. Back at 1024 x 768,
    // the exit button lies where it did.
    void RunWindowedSizedByTheWindowManager() {
        std::ofstream(folder_ / "config.ini") << "[Video]\r\nfullscreen= 0\r\n";
        ASSERT_TRUE(StartClient()) << ReadFile(folder_ / "stderr.txt");
        Geometry client;
        Window window = 0;
        const Window root = DefaultRootWindow(display_);
        ASSERT_TRUE(WaitFor([&] { return FindClientWindow(display_, root, client, &window); }, 10s));
        EXPECT_EQ(client, (Geometry{(kScreenWidth - 1024) / 2, (kScreenHeight - 768) / 2, 1024, 768}));
        ExpectSizeHints(window, client);

        const auto sizedTo = [&](int width, int height) {
            return WaitFor(
                [&] {
                    return FindClientWindow(display_, root, client) && client.width == width &&
                           client.height == height;
                },
                10s);
        };
        XResizeWindow(display_, window, kScreenWidth, 800);
        XFlush(display_);
        ASSERT_TRUE(sizedTo(kScreenWidth, 800)) << "the resize was refused";
        // The server keeps the old picture in the grown window until the client draws the next one.
        std::this_thread::sleep_for(2s * testsupport::kSlowdown);
        EXPECT_TRUE(WaitFor([&] { return DrawnShare(display_, client.x, client.y, 100, 800) > 0.9; }, 20s))
            << "the picture is a 1024 x 768 frame fitted into the resized window";
        XResizeWindow(display_, window, 800, 600);
        XFlush(display_);
        EXPECT_TRUE(sizedTo(1024, 768)) << client.width << " x " << client.height;

        const Geometry windowed = client;

        for (const char* round : {"first maximise", "second maximise"}) {
            Maximise(window, true);
            ExpectWindowAndFrameCoverTheScreen(round);
            EXPECT_TRUE(WaitFor([&] { return WmState(window) == "_NET_WM_STATE_FULLSCREEN "; }, 10s))
                << round << ": " << WmState(window);
            EXPECT_NE(ReadFile(folder_ / "config.ini").find("fullscreen= 1"), std::string::npos) << round;
            PressAltEnter();
            EXPECT_TRUE(
                WaitFor([&] { return FindClientWindow(display_, root, client) && client == windowed; }, 10s))
                << round << ": " << testing::PrintToString(client);
            EXPECT_TRUE(WaitFor([&] { return WmState(window).empty(); }, 10s))
                << round << ": " << WmState(window);
            ExpectSizeHints(window, windowed);
        }
        std::this_thread::sleep_for(2s * testsupport::kSlowdown);  // the client lays itself out again
        ClickOnScreen(client.x + kExitX, client.y + kExitY);
        ExpectClientEndsAfterTheClick("click on the exit button after the way back");
    }

    // A window the size hints let the window manager size down to 1024 x 768 and up without end, at a
    // place they call the program's (the client stores none, so none is the user's): where it is.
    void ExpectSizeHints(Window window, const Geometry& place) {
        XSizeHints hints{};
        long supplied = 0;
        ASSERT_TRUE(XGetWMNormalHints(display_, window, &hints, &supplied));
        EXPECT_TRUE(hints.flags & PMinSize);
        EXPECT_EQ(std::make_pair(hints.min_width, hints.min_height), std::make_pair(1024, 768));
        EXPECT_FALSE(hints.flags & PMaxSize) << hints.max_width << " x " << hints.max_height;
        EXPECT_FALSE(hints.flags & USPosition) << "a place of the user's at " << hints.x << ", " << hints.y;
        EXPECT_TRUE(hints.flags & PPosition);
        EXPECT_EQ(std::make_pair(hints.x, hints.y), std::make_pair(place.x, place.y));
    }

    // The states the window manager lists in the window's _NET_WM_STATE, each followed by a blank.
    std::string WmState(Window window) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        std::string names;
        XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_STATE", False), 0, 32, False,
                           XA_ATOM, &type, &format, &count, &left, &data);
        for (unsigned long i = 0; data && i < count; ++i) {
            char* name = XGetAtomName(display_, reinterpret_cast<const Atom*>(data)[i]);
            names += std::string(name ? name : "?") + " ";
            if (name) XFree(name);
        }
        if (data) XFree(data);
        return names;
    }

    // Alt+Enter as the keyboard gives it to the window with the focus.
    void PressAltEnter() {
        const KeyCode alt = XKeysymToKeycode(display_, XK_Alt_L);
        const KeyCode enter = XKeysymToKeycode(display_, XK_Return);
        XTestFakeKeyEvent(display_, alt, True, 0);
        XTestFakeKeyEvent(display_, enter, True, 50);
        XTestFakeKeyEvent(display_, enter, False, 50);
        XTestFakeKeyEvent(display_, alt, False, 50);
        XFlush(display_);
    }

    // The window manager's maximise, as a desktop's title bar asks for it (_NET_WM_STATE).
    void Maximise(Window window, bool on) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display_, "_NET_WM_STATE", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = on ? 1 : 0;
        event.xclient.data.l[1] =
            static_cast<long>(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_VERT", False));
        event.xclient.data.l[2] =
            static_cast<long>(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
        event.xclient.data.l[3] = 1;
        XSendEvent(display_, DefaultRootWindow(display_), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(display_);
    }

    XvfbDisplay server_;
    Display* display_ = nullptr;
    fs::path folder_;
    std::unique_ptr<testsupport::ChildProcess> client_;
};

TEST_F(FullScreenClient, WindowFrameAndClicksAgreeOnEveryStartWithoutWindowManager) {
    if (!StartDisplay({})) GTEST_SKIP() << "Xvfb is not available";
    RunEachStart();
}

TEST_F(FullScreenClient, WindowFrameAndClicksAgreeOnEveryStartUnderWindowManager) {
    if (!StartDisplay("/usr/bin/openbox")) GTEST_SKIP() << "Xvfb or openbox is not available";
    RunEachStart();
    RunWindowedClickThatTakesTheFocus();
    RunWindowedSizedByTheWindowManager();
}

}  // namespace

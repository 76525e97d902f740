// The main thread's wait between frames: it ends for a post or a wake from another thread, also
// one that came before the wait began, and otherwise when its time is up.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/window/Window.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

// Long enough that a wait which misses its wake fails the test instead of passing by its timeout.
constexpr std::uint32_t kLongWaitMs = 20000;

std::chrono::milliseconds TimeOf(const std::function<void()>& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

void ExpectWaitEndsForPostsAndWakes(WindowSystem& windows) {
    // A post from another thread while the main thread waits.
    std::thread poster([&] {
        std::this_thread::sleep_for(50ms);
        windows.PostMessage({kWmCommand, 1, 0});
    });
    EXPECT_LT(TimeOf([&] { windows.WaitMessage(kLongWaitMs); }), 10000ms);
    poster.join();
    Message message;
    ASSERT_TRUE(windows.PeekMessage(message));
    EXPECT_EQ(message.message, kWmCommand);

    // A wake for a queue of the caller's own, before the wait begins.
    windows.Wake();
    EXPECT_LT(TimeOf([&] { windows.WaitMessage(kLongWaitMs); }), 10000ms);
    while (windows.PeekMessage(message)) {
    }

    // Nothing comes: the wait takes its time (and no wake is left over from above).
    EXPECT_GE(TimeOf([&] { windows.WaitMessage(30); }), 25ms);
}

TEST(MessageWait, NullBackendEndsTheWaitForPostsAndWakes) {
    std::unique_ptr<WindowSystem> windows = WindowSystem::Create(VideoBackend::Null);
    ExpectWaitEndsForPostsAndWakes(*windows);
}

TEST(MessageWait, SdlBackendEndsTheWaitForPostsAndWakes) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::unique_ptr<WindowSystem> windows = WindowSystem::Create(VideoBackend::Sdl);
    if (!windows) GTEST_SKIP() << "no SDL video driver";
    auto window = windows->CreateMainWindow(WindowDesc{u"test", Rect{0, 0, 1024, 768}, false, false});
    ASSERT_NE(window, nullptr);
    window->Show(ShowCommand::Show);
    ExpectWaitEndsForPostsAndWakes(*windows);
}

}  // namespace

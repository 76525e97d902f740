#include <gtest/gtest.h>

#include <memory>

#include "engine/input/InputDevice.h"
#include "platform/window/Window.h"

namespace {

using platform::MouseBackend;
using platform::MouseDevice;
using platform::MouseRecord;
using platform::MouseResult;

// A window that only knows its cursor and counts the moves the game makes.
class CursorWindow final : public platform::Window {
public:
    void SetBounds(const platform::Rect&, bool) override {}
    platform::Rect GetWindowRect() const override { return {}; }
    platform::Rect GetClientRect() const override { return {}; }
    bool IsFullscreen() const override { return false; }
    void Show(platform::ShowCommand) override {}
    void BringToFront() override {}
    std::u16string Title() const override { return {}; }
    void ShowCursor(bool) override {}
    void SetCursor(platform::CursorShape) override {}
    void ClipCursor(const platform::Rect*) override {}
    void SetCapture(bool) override {}
    bool GetCursorPos(int& x, int& y) const override {
        x = x_;
        y = y_;
        return true;
    }
    void SetCursorPos(int x, int y) override {
        x_ = x;
        y_ = y;
        ++moves;
    }
    void SetKeyboardGrab(bool) override {}
    std::intptr_t DefWindowProc(const platform::Message&) override { return 0; }
    void* NativeHandle() const override { return nullptr; }

    void UserMoves(int x, int y) {
        x_ = x;
        y_ = y;
    }
    int moves = 0;

private:
    int x_ = 0, y_ = 0;
};

MouseRecord Record(std::uint32_t offset, std::int32_t data, std::uint32_t sequence = 0) {
    MouseRecord record;
    record.offset = offset;
    record.data = data;
    record.sequence = sequence;
    return record;
}

struct DeviceInput {
    DeviceInput() {
        auto device = std::make_unique<MouseDevice>(MouseBackend::Null);
        mouse = device.get();
        EXPECT_EQ(input.Init(nullptr, std::move(device)), 0u);
    }
    InputDevice input;
    MouseDevice* mouse;
};

}  // namespace

TEST(InputDeviceBuffered, RecordsOfOneTickAreSummedPerAxisAndButtonsOnlyCounted) {
    DeviceInput d;
    d.mouse->Inject(Record(platform::kMouseOffsetX, 3));
    d.mouse->Inject(Record(platform::kMouseOffsetX, -5));
    d.mouse->Inject(Record(platform::kMouseOffsetZ, 120));
    d.input.Poll();
    EXPECT_EQ(d.input.Dx(), -2);
    EXPECT_EQ(d.input.Dy(), 0);
    EXPECT_EQ(d.input.Wheel(), 120);
    EXPECT_EQ(d.input.RecordsRead(), 3u);

    d.mouse->OnMouseButton(0, true);
    d.mouse->OnMouseMotion(4, -7);
    d.input.Poll();
    EXPECT_EQ(d.input.Dx(), 4);
    EXPECT_EQ(d.input.Dy(), -7);
    EXPECT_EQ(d.input.Wheel(), 0);
    EXPECT_EQ(d.input.RecordsRead(), 3u);

    d.input.Poll();  // a tick without events
    EXPECT_EQ(d.input.Dx(), 0);
    EXPECT_EQ(d.input.Dy(), 0);
    EXPECT_EQ(d.input.Wheel(), 0);
    EXPECT_EQ(d.input.RecordsRead(), 0u);
}

TEST(InputDeviceBuffered, SequenceOrderSurvivesTheWrapAndTheBufferHoldsSixtyFour) {
    DeviceInput d;
    d.mouse->Inject(Record(platform::kMouseOffsetY, 1, 0x00000002));
    d.mouse->Inject(Record(platform::kMouseOffsetY, 2, 0xFFFFFFFF));
    d.input.Poll();
    EXPECT_EQ(d.input.Dy(), 3);
    EXPECT_EQ(d.input.RecordsRead(), 2u);

    for (int i = 0; i < 100; ++i) d.mouse->OnMouseMotion(1, 0);
    d.input.Poll();
    EXPECT_EQ(d.input.Dx(), 64);
    EXPECT_EQ(d.input.RecordsRead(), 64u);
}

TEST(InputDeviceBuffered, UnbufferedDeviceCountsOneRecordAndSumsNothing) {
    InputDevice input;
    input.SetBuffered(false);
    auto device = std::make_unique<MouseDevice>(MouseBackend::Null);
    MouseDevice* mouse = device.get();
    input.Init(nullptr, std::move(device));
    mouse->SetBufferSize(8);
    mouse->OnMouseMotion(5, 5);
    input.Poll();
    EXPECT_EQ(input.RecordsRead(), 1u);
    EXPECT_EQ(input.Dx(), 0);
}

// A lost foreground must not spin the update thread: the re-acquisition is bounded, the sums are 0,
// and the device works again once the window has the focus back.
TEST(InputDeviceBuffered, LostFocusReacquiresABoundedNumberOfTimesAndRecovers) {
    DeviceInput d;
    d.mouse->OnMouseMotion(9, 9);
    d.mouse->OnMouseFocus(false);
    d.mouse->OnMouseMotion(9, 9);  // not collected while in the background
    const std::uint32_t before = d.mouse->AcquireCalls();
    d.input.Poll();
    EXPECT_EQ(d.mouse->AcquireCalls() - before, static_cast<std::uint32_t>(input_device::kMaxAcquireRetries));
    EXPECT_EQ(d.input.Dx(), 0);
    EXPECT_EQ(d.input.RecordsRead(), 0u);

    d.mouse->OnMouseFocus(true);
    d.mouse->RefuseAcquire(1, MouseResult::OtherAppHasPriority);
    d.input.Poll();  // fails to read, the second try acquires
    EXPECT_TRUE(d.mouse->Acquired());
    d.mouse->OnMouseMotion(2, 0);
    d.input.Poll();
    EXPECT_EQ(d.input.Dx(), 2);
}

TEST(InputDeviceBuffered, ShutdownStopsPollsAndSdlDeviceTakesWindowEventsOnlyWhileAlive) {
    DeviceInput d;
    d.mouse->Inject(Record(platform::kMouseOffsetX, 4));
    d.input.Shutdown();
    d.input.Poll();
    EXPECT_EQ(d.input.Dx(), 0);

    {
        InputDevice input;
        ASSERT_EQ(input.Init(nullptr, std::make_unique<MouseDevice>(MouseBackend::Sdl)), 0u);
        platform::PostMouseMotion(6, 0);
        platform::PostMouseWheel(-120);
        input.Poll();
        EXPECT_EQ(input.Dx(), 6);
        EXPECT_EQ(input.Wheel(), -120);
    }
    platform::PostMouseMotion(1, 1);  // no device registered any more: nothing happens
}

TEST(InputDevicePlainCursor, MovementIsMeasuredFromTheLastPointAndTheCursorGoesBackToTheAnchor) {
    CursorWindow window;
    InputDevice input;
    input.SetDirectInputMode(false);
    ASSERT_EQ(input.Init(&window, nullptr), 0u);
    input.SetCaptureOn(true);
    input.SetCursorPos(512, 384);
    input.Poll();  // from (0, 0), where the last position started, to the anchor
    EXPECT_EQ(input.Dx(), 512);
    EXPECT_EQ(input.Dy(), 384);

    window.UserMoves(520, 380);
    const int moves = window.moves;
    input.Poll();
    EXPECT_EQ(input.Dx(), 8);
    EXPECT_EQ(input.Dy(), -4);
    EXPECT_EQ(window.moves, moves + 1);
    int x = 0, y = 0;
    window.GetCursorPos(x, y);
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 384);

    input.Poll();
    EXPECT_EQ(input.Dx(), 0);
    EXPECT_EQ(input.Dy(), 0);
    EXPECT_EQ(window.moves, moves + 1);

    input.SetCaptureSuspended(true);
    window.UserMoves(600, 600);
    input.Poll();
    EXPECT_EQ(input.Dx(), 0);
    EXPECT_EQ(window.moves, moves + 1);
}

TEST(InputDevicePlainCursor, SetCursorPosInDeviceModeChangesNothing) {
    CursorWindow window;
    InputDevice input;
    input.Init(&window, std::make_unique<MouseDevice>(MouseBackend::Null));
    input.SetCursorPos(100, 100);
    EXPECT_EQ(window.moves, 0);
}

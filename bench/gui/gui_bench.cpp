// The CPU cost of the widget toolkit on a busy screen: drawing 200 widgets (panels, buttons with
// captions, labels, edit fields, scroll bars) through the recording backend with the generated-
// style image sets absent (flat shapes and text, the heavier path), and routing one mouse move
// and one click through that tree. Run by hand:
//   build/release/bench/bench_gui

#include <benchmark/benchmark.h>

#include "engine/render/RenderDevice.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/Overlays.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "platform/video/RecordingBackend.h"
#include "platform/window/WindowCodes.h"

namespace {

struct Screen {
    std::unique_ptr<RenderDevice> device;
    platform::RecordingBackend* backend;
    gui::Panel root;
    int widgets = 0;

    Screen() {
        auto recording = std::make_unique<platform::RecordingBackend>();
        recording->SetLogging(false);
        backend = recording.get();
        device = std::make_unique<RenderDevice>(std::move(recording));
        device->ApplyDisplayMode();
        root.Create(0, 0, 1024, 768);
        root.Show(true);
        // Ten panels of 19 widgets each (eight buttons with captions, seven labels, an edit field
        // and a scroll bar with its two buttons) plus the panels: 200 widgets.
        for (int p = 0; p < 10; ++p) {
            gui::Widget* panel = root.AddImage((p % 5) * 200, (p / 5) * 380, 196, 376, {0, 0, 236, 256, 192});
            ++widgets;
            for (int b = 0; b < 8; ++b) {
                gui::Button* button = panel->AddButton(8, 8 + b * 30, 120, 26, 100 + b, 0, {});
                button->SetCaption(u"Button 버튼");
                ++widgets;
            }
            for (int l = 0; l < 7; ++l) {
                gui::TextLabel* label = panel->AddLabel(130, 8 + l * 30, 60, 26, gui::kFont12);
                label->SetText(u"%d Gold", l * 1000);
                ++widgets;
            }
            auto* edit = panel->Make<gui::EditBox>();
            edit->Create(8, 260, 180, 22);
            edit->SetText(u"채팅 chat");
            ++widgets;
            auto* bar = panel->Make<gui::ScrollBar>();
            bar->Create(170, 290, 16, 80, 50, gui::Orientation::Vertical, 10);
            widgets += 3;  // the bar and its two buttons
        }
        root.LayoutChildren(1024, 768);
    }
};

void BM_DrawScreenOf200Widgets(benchmark::State& state) {
    Screen screen;
    for (auto _ : state) {
        gui::DrawWidgetScreen(screen.root, screen.device.get());
    }
    state.counters["widgets"] = screen.widgets;
}
BENCHMARK(BM_DrawScreenOf200Widgets);

void BM_RouteMouseMoveThrough200Widgets(benchmark::State& state) {
    Screen screen;
    int i = 0;
    for (auto _ : state) {
        // Alternates between two buttons so every move changes the hover.
        const int x = 20, y = (i++ & 1) ? 400 + 8 + 5 * 30 : 8 + 2 * 30;
        benchmark::DoNotOptimize(
            screen.root.RouteMessage(platform::kWmMouseMove, 0, platform::MakeLParam(x, y)));
    }
    gui::ClearGuiPointers();
}
BENCHMARK(BM_RouteMouseMoveThrough200Widgets);

void BM_RouteClickThrough200Widgets(benchmark::State& state) {
    Screen screen;
    const std::intptr_t at = platform::MakeLParam(900, 400 + 8 + 7 * 30);
    for (auto _ : state) {
        screen.root.RouteMessage(platform::kWmLButtonDown, 0, at);
        screen.root.RouteMessage(platform::kWmLButtonUp, 0, at);
    }
    gui::ClearGuiPointers();
}
BENCHMARK(BM_RouteClickThrough200Widgets);

}  // namespace

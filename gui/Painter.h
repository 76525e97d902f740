#pragma once
// Drawing of the widgets through the render device: images from the UI image sets, and the flat
// shapes with text that stand in where an image is missing. Coordinates are client pixels.

#include <cstdint>

#include "engine/core/Text.h"
#include "gui/FontDesc.h"
#include "gui/UiImage.h"

class RenderDevice;

namespace gui {

class UiResourceSet;

// Colours of the flat shapes, by role.
namespace skin {
constexpr std::uint32_t kPanel = 0xF0223047;
constexpr std::uint32_t kPanelBorder = 0xFF8AA4C8;
constexpr std::uint32_t kTitle = 0xFF34618F;
constexpr std::uint32_t kButton = 0xFF3D6E9E;
constexpr std::uint32_t kButtonHover = 0xFF5289BF;
constexpr std::uint32_t kButtonPressed = 0xFF2A4D70;
constexpr std::uint32_t kButtonDisabled = 0xFF505560;
constexpr std::uint32_t kChecked = 0xFFC89A32;
constexpr std::uint32_t kLight = 0xFFB8D0EC;
constexpr std::uint32_t kDark = 0xFF121A26;
constexpr std::uint32_t kEdit = 0xFF0E1520;
constexpr std::uint32_t kEditFocus = 0xFFE8C060;
constexpr std::uint32_t kTrack = 0xFF1A2433;
constexpr std::uint32_t kText = 0xFFFFFFFF;
constexpr std::uint32_t kTextDisabled = 0xFF9098A4;
constexpr std::uint32_t kOverlay = 0x80000000;
constexpr std::uint32_t kTooltip = 0xF0FFF6C8;
constexpr std::uint32_t kTooltipText = 0xFF202020;
}  // namespace skin

// Text alignment flags of labels and captions.
namespace align {
constexpr std::uint32_t kLeft = 0x0;
constexpr std::uint32_t kCenter = 0x1;
constexpr std::uint32_t kRight = 0x2;
constexpr std::uint32_t kVCenter = 0x4;
}  // namespace align

class Painter {
public:
    // Without a device nothing is drawn (headless); sets may be null (flat shapes only).
    Painter(RenderDevice* device, UiResourceSet* sets);

    RenderDevice* Device() const { return device_; }
    // The alpha that multiplies every colour drawn (a widget's alpha times its parents').
    float alpha = 1.0f;
    // Draws the image stretched over the rectangle; false when its set has no texture.
    bool Image(const UiImage& image, int x, int y, int w, int h, std::uint32_t argb = 0xFFFFFFFF);
    bool HasImage(const UiImage& image) const;
    void Fill(int x, int y, int w, int h, std::uint32_t argb);
    void Border(int x, int y, int w, int h, std::uint32_t argb);
    // A raised (or sunken) face with a light and a dark edge.
    void Bevel(int x, int y, int w, int h, std::uint32_t face, bool sunken = false);
    // One line of text aligned in the rectangle; an optional shadow colour (0 = none).
    void Text(const FontDesc& font, WStringView text, int x, int y, int w, int h, std::uint32_t flags,
              std::uint32_t argb, std::uint32_t shadow = 0);
    // Number of draw calls issued (the benchmark and tests read it).
    std::uint32_t Calls() const { return calls_; }

private:
    std::uint32_t Tint(std::uint32_t argb) const;
    RenderDevice* device_;
    UiResourceSet* sets_;
    std::uint32_t calls_ = 0;
};

}  // namespace gui

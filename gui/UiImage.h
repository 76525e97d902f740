#pragma once
// A picture in a UI image set, as widgets address it.

namespace gui {

// A picture in a UI image set: the set number and a source rectangle, drawn scaled.
struct UiImage {
    constexpr UiImage() = default;
    constexpr UiImage(int s, int ux, int uy, int uw, int uh, float sx = 1.0f, float sy = 1.0f)
        : set(s), x(ux), y(uy), w(uw), h(uh), scaleX(sx), scaleY(sy) {}
    int set = -1;
    int x = 0, y = 0, w = 0, h = 0;
    float scaleX = 1.0f, scaleY = 1.0f;
    constexpr bool Valid() const { return set >= 0 && w > 0 && h > 0; }
    // Frame k of a strip laid out left to right.
    constexpr UiImage Frame(int k) const {
        UiImage f = *this;
        f.x += k * w;
        return f;
    }
};

}  // namespace gui

#include "tools/resgen/UiImages.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "gui/UiAtlas.h"

namespace {

using gui::UiImage;
namespace atlas = gui::atlas;

uint8_t Mix(int a, int b, float t) {
    return static_cast<uint8_t>(std::clamp(int(std::lround(a + (b - a) * t)), 0, 255));
}

Rgba Lerp(Rgba a, Rgba b, float t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t), Mix(a.a, b.a, t)};
}

// Source-over blend of c onto the pixel.
void Blend(Image& img, int x, int y, Rgba c, float coverage = 1.0f) {
    if (x < 0 || y < 0 || x >= int(img.Width()) || y >= int(img.Height())) return;
    const float a = c.a / 255.0f * coverage;
    const Rgba d = img.Get(x, y);
    const float da = d.a / 255.0f;
    const float oa = a + da * (1 - a);
    if (oa <= 0) return;
    auto ch = [&](int s, int t) {
        return uint8_t(std::clamp(int((s * a + t * da * (1 - a)) / oa + 0.5f), 0, 255));
    };
    img.Set(x, y,
            {ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), uint8_t(std::clamp(int(oa * 255 + 0.5f), 0, 255))});
}

// Coverage of a pixel by a rounded rectangle (soft edge of one pixel).
float RoundCoverage(int px, int py, int x, int y, int w, int h, float r) {
    const float cx = std::clamp(px + 0.5f, x + r, x + w - r);
    const float cy = std::clamp(py + 0.5f, y + r, y + h - r);
    const float dx = px + 0.5f - cx, dy = py + 0.5f - cy;
    const float d = std::sqrt(dx * dx + dy * dy);
    return std::clamp(r + 0.5f - d, 0.0f, 1.0f);
}

// A rounded rectangle with a vertical gradient, a border and a light line under the top edge.
void RoundBox(Image& img, int x, int y, int w, int h, float r, Rgba top, Rgba bottom, Rgba border,
              Rgba shine) {
    for (int j = y; j < y + h; ++j) {
        const Rgba fill = Lerp(top, bottom, h > 1 ? float(j - y) / float(h - 1) : 0.0f);
        for (int i = x; i < x + w; ++i) {
            const float outer = RoundCoverage(i, j, x, y, w, h, r);
            if (outer <= 0) continue;
            const float inner = RoundCoverage(i, j, x + 1, y + 1, w - 2, h - 2, std::max(0.0f, r - 1));
            Blend(img, i, j, border, outer);
            if (inner > 0) Blend(img, i, j, j == y + 1 ? shine : fill, inner);
        }
    }
}

void Triangle(Image& img, float x0, float y0, float x1, float y1, float x2, float y2, Rgba c) {
    const int minX = int(std::floor(std::min({x0, x1, x2}))), maxX = int(std::ceil(std::max({x0, x1, x2})));
    const int minY = int(std::floor(std::min({y0, y1, y2}))), maxY = int(std::ceil(std::max({y0, y1, y2})));
    auto edge = [](float ax, float ay, float bx, float by, float px, float py) {
        return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    };
    for (int j = minY; j <= maxY; ++j) {
        for (int i = minX; i <= maxX; ++i) {
            int inside = 0;
            for (int s = 0; s < 4; ++s) {  // 2x2 samples for a smooth edge
                const float px = i + 0.25f + 0.5f * (s % 2), py = j + 0.25f + 0.5f * (s / 2);
                const float e0 = edge(x0, y0, x1, y1, px, py), e1 = edge(x1, y1, x2, y2, px, py);
                const float e2 = edge(x2, y2, x0, y0, px, py);
                inside += (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
            }
            if (inside) Blend(img, i, j, c, inside / 4.0f);
        }
    }
}

void Line(Image& img, float x0, float y0, float x1, float y1, float width, Rgba c) {
    const int minX = int(std::min(x0, x1) - width), maxX = int(std::max(x0, x1) + width);
    const int minY = int(std::min(y0, y1) - width), maxY = int(std::max(y0, y1) + width);
    const float vx = x1 - x0, vy = y1 - y0, len2 = vx * vx + vy * vy;
    for (int j = minY; j <= maxY; ++j) {
        for (int i = minX; i <= maxX; ++i) {
            const float px = i + 0.5f - x0, py = j + 0.5f - y0;
            const float t = std::clamp((px * vx + py * vy) / len2, 0.0f, 1.0f);
            const float dx = px - t * vx, dy = py - t * vy;
            const float cover = std::clamp(width / 2 + 0.5f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
            if (cover > 0) Blend(img, i, j, c, cover);
        }
    }
}

void Disc(Image& img, float cx, float cy, float radius, Rgba c) {
    for (int j = int(cy - radius) - 1; j <= int(cy + radius) + 1; ++j) {
        for (int i = int(cx - radius) - 1; i <= int(cx + radius) + 1; ++i) {
            const float dx = i + 0.5f - cx, dy = j + 0.5f - cy;
            const float cover = std::clamp(radius + 0.5f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
            if (cover > 0) Blend(img, i, j, c, cover);
        }
    }
}

// Faces by state: normal, hover, pressed, disabled; checked faces are gold.
struct Face {
    Rgba top, bottom;
};
constexpr Face kFaces[4] = {{{78, 132, 200, 255}, {34, 70, 128, 255}},
                            {{108, 166, 232, 255}, {50, 98, 166, 255}},
                            {{30, 58, 104, 255}, {62, 104, 162, 255}},
                            {{112, 114, 120, 255}, {74, 76, 82, 255}}};
constexpr Face kCheckedFaces[3] = {{{240, 200, 96, 255}, {172, 120, 30, 255}},
                                   {{255, 222, 128, 255}, {196, 142, 44, 255}},
                                   {{150, 140, 110, 255}, {104, 98, 80, 255}}};
constexpr Rgba kBorder{14, 22, 40, 255};
constexpr Rgba kShine{170, 205, 245, 200};
constexpr Rgba kWhite{250, 250, 250, 255};

void ButtonFace(Image& img, const UiImage& cell, int frame, const Face& face, float radius) {
    const UiImage f = cell.Frame(frame);
    RoundBox(img, f.x, f.y, f.w, f.h, radius, face.top, face.bottom, kBorder, frame == 2 ? face.top : kShine);
}

void DrawButtons(Image& img) {
    for (int k = 0; k < atlas::kTextButtonFrames; ++k) ButtonFace(img, atlas::kTextButton, k, kFaces[k], 6);
    // Close: a red square with a white cross.
    for (int k = 0; k < 4; ++k) {
        const UiImage f = atlas::kCloseButton.Frame(k);
        const float light = k == 1 ? 1.2f : k == 2 ? 0.75f : 1.0f;
        const Rgba top = k == 3 ? Rgba{120, 120, 125, 255}
                                : Rgba{Mix(0, 230, light), Mix(0, 80, light), Mix(0, 70, light), 255};
        const Rgba bottom = k == 3 ? Rgba{80, 80, 85, 255}
                                   : Rgba{Mix(0, 150, light), Mix(0, 30, light), Mix(0, 30, light), 255};
        RoundBox(img, f.x + 1, f.y + 1, f.w - 2, f.h - 2, 4, top, bottom, kBorder, {255, 190, 180, 180});
        Line(img, f.x + 7.5f, f.y + 7.5f, f.x + f.w - 7.5f, f.y + f.h - 7.5f, 2.2f, kWhite);
        Line(img, f.x + f.w - 7.5f, f.y + 7.5f, f.x + 7.5f, f.y + f.h - 7.5f, 2.2f, kWhite);
    }
    // Radio: a tab face with a round indicator at the left; checked frames are gold with a dot.
    for (int k = 0; k < 7; ++k) {
        const UiImage f = atlas::kRadioButton.Frame(k);
        const Face& face = k < 4 ? kFaces[k] : kCheckedFaces[k - 4];
        RoundBox(img, f.x, f.y, f.w, f.h, 5, face.top, face.bottom, kBorder, kShine);
        const float cx = f.x + 12.0f, cy = f.y + f.h / 2.0f;
        Disc(img, cx, cy, 6.5f, kBorder);
        Disc(img, cx, cy, 5.5f, {235, 240, 248, 255});
        if (k >= 4) Disc(img, cx, cy, 3.0f, k == 6 ? Rgba{110, 110, 110, 255} : Rgba{30, 60, 120, 255});
    }
}

void DrawScrollParts(Image& img) {
    const UiImage arrows[4] = {atlas::kArrowUp, atlas::kArrowDown, atlas::kArrowLeft, atlas::kArrowRight};
    for (int a = 0; a < 4; ++a) {
        for (int k = 0; k < 4; ++k) {
            const UiImage f = arrows[a].Frame(k);
            RoundBox(img, f.x, f.y, f.w, f.h, 3, kFaces[k].top, kFaces[k].bottom, kBorder, kShine);
            const float x = float(f.x), y = float(f.y), s = float(f.w);
            const Rgba c = k == 3 ? Rgba{170, 170, 170, 255} : kWhite;
            switch (a) {
                case 0:
                    Triangle(img, x + s / 2, y + 4, x + s - 4, y + s - 5, x + 4, y + s - 5, c);
                    break;
                case 1:
                    Triangle(img, x + 4, y + 5, x + s - 4, y + 5, x + s / 2, y + s - 4, c);
                    break;
                case 2:
                    Triangle(img, x + 4, y + s / 2, x + s - 5, y + 4, x + s - 5, y + s - 4, c);
                    break;
                default:
                    Triangle(img, x + 5, y + 4, x + s - 4, y + s / 2, x + 5, y + s - 4, c);
                    break;
            }
        }
    }
    const Rgba grooveTop{8, 12, 22, 255}, grooveBottom{26, 36, 56, 255};
    for (const UiImage& t : {atlas::kTrackVertical, atlas::kTrackHorizontal})
        RoundBox(img, t.x, t.y, t.w, t.h, 4, grooveTop, grooveBottom, {60, 78, 108, 255}, grooveTop);
    const UiImage tv = atlas::kThumbVertical, th = atlas::kThumbHorizontal;
    RoundBox(img, tv.x + 1, tv.y, tv.w - 2, tv.h, 5, kFaces[1].top, kFaces[0].bottom, kBorder, kShine);
    RoundBox(img, th.x, th.y + 1, th.w, th.h - 2, 5, kFaces[1].top, kFaces[0].bottom, kBorder, kShine);
    for (int g = -1; g <= 1; ++g) {  // grip lines
        Line(img, tv.x + 4.5f, tv.y + tv.h / 2.0f + 4 * g, tv.x + tv.w - 4.5f, tv.y + tv.h / 2.0f + 4 * g, 1,
             kShine);
        Line(img, th.x + th.w / 2.0f + 4 * g, th.y + 4.5f, th.x + th.w / 2.0f + 4 * g, th.y + th.h - 4.5f, 1,
             kShine);
    }
}

void DrawFields(Image& img) {
    const Rgba inset{8, 12, 20, 255}, insetBottom{20, 28, 44, 255}, edge{96, 122, 160, 255};
    for (const UiImage& f : {atlas::kEditField, atlas::kComboHeader})
        RoundBox(img, f.x, f.y, f.w, f.h, 3, inset, insetBottom, edge, {0, 0, 0, 255});
    const UiImage c = atlas::kComboHeader;
    RoundBox(img, c.x + c.w - c.h, c.y, c.h, c.h, 3, kFaces[0].top, kFaces[0].bottom, kBorder, kShine);
    Triangle(img, c.x + c.w - c.h + 6.0f, c.y + 9.0f, c.x + c.w - 6.0f, c.y + 9.0f, c.x + c.w - c.h / 2.0f,
             c.y + c.h - 7.0f, kWhite);
    const UiImage row = atlas::kListRow;
    RoundBox(img, row.x, row.y, row.w, row.h, 2, {70, 120, 200, 190}, {40, 80, 150, 190},
             {120, 160, 220, 220}, {120, 170, 230, 200});
    for (int d = 0; d < atlas::kDigitCells; ++d) {
        const UiImage f = atlas::kDigits.Frame(d);
        img.DrawNumber(f.x + f.w / 2 + 1, f.y + f.h / 2 + 1, std::to_string(d), 3, {20, 10, 0, 255});
        img.DrawNumber(f.x + f.w / 2, f.y + f.h / 2, std::to_string(d), 3, {255, 226, 120, 255});
    }
}

void DrawTurnWarning(Image& img) {
    const UiImage w = atlas::kTurnWarning;
    const float x = float(w.x), y = float(w.y), cx = x + w.w / 2.0f;
    const Rgba rim{60, 20, 0, 255}, amber{255, 176, 32, 255}, mark{40, 16, 0, 255};
    Triangle(img, cx, y + 4, x + w.w - 1, y + w.h - 5, x + 1, y + w.h - 5, rim);
    Triangle(img, cx, y + 8, x + w.w - 4.5f, y + w.h - 7, x + 4.5f, y + w.h - 7, amber);
    Line(img, cx, y + 17, cx, y + w.h - 17, 3.5f, mark);
    Disc(img, cx, y + w.h - 11.5f, 2.2f, mark);
}

Rgba SetTint(int set) {
    // Navy, teal, plum and bronze panels in turn, so screens of different sets differ a little.
    static constexpr Rgba kTints[4] = {
        {24, 36, 62, 240}, {18, 48, 54, 240}, {44, 30, 60, 240}, {54, 40, 24, 240}};
    return kTints[set % 4];
}

void DrawPanels(Image& img, int set) {
    const UiImage t = atlas::kTitleBar;
    RoundBox(img, t.x, t.y, t.w, t.h, 3, {76, 128, 196, 255}, {30, 62, 112, 255}, kBorder,
             {190, 220, 250, 230});
    const Rgba tint = SetTint(set);
    const UiImage p = atlas::kPanel;
    const Rgba deep{uint8_t(tint.r / 2), uint8_t(tint.g / 2), uint8_t(tint.b / 2), 245};
    RoundBox(img, p.x, p.y, p.w, p.h, 6, tint, deep, {150, 176, 214, 255}, {110, 140, 190, 255});
    img.Frame(p.x + 3, p.y + 3, p.w - 6, p.h - 6, 1, {8, 12, 20, 160});
    const UiImage d = atlas::kDarkPanel;
    RoundBox(img, d.x, d.y, d.w, d.h, 6, {14, 16, 22, 215}, {6, 8, 12, 215}, {84, 90, 104, 255},
             {60, 66, 80, 255});
}

// ---- the cue school's pictures (set 21)

// The page band: a dark glass strip framed in light blue, the guide standing at its left with his cue.
void DrawGuidePanel(Image& img) {
    const UiImage p = atlas::school::kGuidePanel;
    RoundBox(img, p.x, p.y, p.w, p.h, 10, {16, 30, 58, 225}, {6, 10, 22, 235}, {150, 176, 214, 255},
             {110, 140, 190, 255});
    // The page under the title and the lines.
    RoundBox(img, p.x + 205, p.y + 72, p.w - 230, p.h - 82, 8, {26, 44, 78, 200}, {14, 24, 44, 200},
             {80, 104, 140, 255}, {60, 84, 124, 255});
    // The guide: body, collar, head with cap and eyes, and a cue held upright.
    const float gx = float(p.x) + 110.0f, gy = float(p.y);
    RoundBox(img, int(gx) - 52, int(gy) + 150, 104, 128, 24, {188, 40, 44, 255}, {118, 20, 26, 255},
             {40, 10, 12, 255}, {220, 90, 90, 255});
    Triangle(img, gx - 18, gy + 150, gx + 18, gy + 150, gx, gy + 176, {245, 245, 245, 255});
    Disc(img, gx, gy + 110, 38, {60, 36, 24, 255});
    Disc(img, gx, gy + 112, 35, {240, 200, 160, 255});
    RoundBox(img, int(gx) - 40, int(gy) + 66, 80, 26, 12, {40, 60, 120, 255}, {24, 36, 80, 255},
             {10, 14, 30, 255}, {90, 120, 190, 255});
    Disc(img, gx - 12, gy + 112, 4, {30, 30, 40, 255});
    Disc(img, gx + 12, gy + 112, 4, {30, 30, 40, 255});
    Line(img, gx - 10, gy + 130, gx + 10, gy + 130, 2, {150, 70, 60, 255});
    Line(img, gx + 70, gy + 60, gx + 58, gy + 280, 5, {214, 176, 120, 255});
    Line(img, gx + 70, gy + 60, gx + 69, gy + 72, 5, {60, 110, 200, 255});
}

// Cue, cue ball and a rising power gauge.
void DrawShotPicture(Image& img) {
    const UiImage p = atlas::school::kShotPicture;
    RoundBox(img, p.x, p.y, p.w, p.h, 6, {20, 70, 46, 255}, {10, 44, 28, 255}, {150, 176, 214, 255},
             {60, 120, 90, 255});
    const float x = float(p.x), y = float(p.y);
    Disc(img, x + 78, y + 38, 12, {250, 250, 250, 255});
    Line(img, x + 10, y + 92, x + 62, y + 50, 5, {214, 176, 120, 255});
    Line(img, x + 58, y + 53, x + 63, y + 49, 5, {60, 110, 200, 255});
    for (int k = 0; k < 5; ++k) {
        const int h = 4 + 3 * k;
        const Rgba c{uint8_t(80 + 40 * k), uint8_t(230 - 40 * k), 60, 255};
        img.FillRect(int(x) + 14 + 18 * k, int(y) + 114 - h, 12, h, c);
    }
}

void DrawSchoolButtons(Image& img) {
    using namespace atlas::school;
    const Rgba gold[4] = {
        {240, 200, 96, 255}, {255, 226, 140, 255}, {196, 150, 50, 255}, {150, 150, 150, 255}};
    for (int k = 0; k < kButtonFrames; ++k) {
        const UiImage c = kContinue.Frame(k);
        const float cx = float(c.x), cy = float(c.y);
        Triangle(img, cx + 4, cy + 4, cx + c.w - 3, cy + c.h / 2.0f, cx + 4, cy + c.h - 4, gold[k]);
        const UiImage b = kPrevious.Frame(k);
        const float bx = float(b.x), by = float(b.y);
        Triangle(img, bx + b.w - 4, by + 4, bx + 3, by + b.h / 2.0f, bx + b.w - 4, by + b.h - 4, gold[k]);
        const UiImage w = kWayOut.Frame(k);
        const Face teal[4] = {{{60, 170, 150, 255}, {20, 96, 84, 255}},
                              {{90, 200, 180, 255}, {36, 124, 110, 255}},
                              {{20, 90, 80, 255}, {50, 150, 132, 255}},
                              {{112, 114, 120, 255}, {74, 76, 82, 255}}};
        RoundBox(img, w.x, w.y, w.w, w.h, 8, teal[k].top, teal[k].bottom, kBorder, kShine);
    }
}

// The index window: a dark panel with a title band; its rows, topics in blue and sub-topics in slate,
// the chosen one gold.
void DrawIndex(Image& img) {
    using namespace atlas::school;
    const UiImage p = kIndexPanel;
    RoundBox(img, p.x, p.y, p.w, p.h, 8, {20, 30, 52, 245}, {8, 12, 24, 245}, {150, 176, 214, 255},
             {110, 140, 190, 255});
    RoundBox(img, p.x + 4, p.y + 4, p.w - 8, 34, 6, {70, 110, 170, 255}, {30, 56, 100, 255}, kBorder,
             {170, 205, 245, 200});
    const Face slate[2] = {{{70, 84, 108, 255}, {40, 50, 68, 255}}, {{96, 112, 140, 255}, {56, 68, 90, 255}}};
    for (int k = 0; k < kButtonFrames; ++k) {
        const Face& topic = k == 2 ? kCheckedFaces[0] : kFaces[k];
        ButtonFace(img, kTopicRow, k, topic, 5);
        const Face& sub = k == 2 ? kCheckedFaces[0] : k == 3 ? kFaces[3] : slate[k];
        ButtonFace(img, kSubTopicRow, k, sub, 5);
        const UiImage s = kSubTopicRow.Frame(k);
        Disc(img, s.x + 10.0f, s.y + s.h / 2.0f, 3.0f, kWhite);
    }
}

// ---- the shop's background tile (set 25): dark felt with a faint diamond lattice that meets itself at
// the tile's edges, so the tiles join without a seam.
void DrawShopTile(Image& img) {
    const UiImage t = atlas::shop::kBackgroundTile;
    for (int y = 0; y < t.h; ++y) {
        for (int x = 0; x < t.w; ++x) {
            const int d1 = (x + y) % 64, d2 = (x - y + 256) % 64;
            const bool line = d1 == 0 || d2 == 0;
            const int shade = 6 * ((x / 32 + y / 32) % 2);
            const Rgba c = line ? Rgba{34, 58, 64, 255}
                                : Rgba{uint8_t(14 + shade), uint8_t(30 + shade), uint8_t(36 + shade), 255};
            img.Set(t.x + x, t.y + y, c);
        }
    }
}

void DrawSchool(Image& img) {
    DrawGuidePanel(img);
    DrawShotPicture(img);
    DrawSchoolButtons(img);
    DrawIndex(img);
}

}  // namespace

Image BuildUiImageSet(int set) {
    const bool school = set == atlas::school::kSet;
    Image img(atlas::kSetWidth, school ? atlas::school::kSetHeight : atlas::kSetHeight, {0, 0, 0, 0});
    DrawButtons(img);
    DrawScrollParts(img);
    DrawFields(img);
    DrawTurnWarning(img);
    DrawPanels(img, set);
    if (school) DrawSchool(img);
    if (set == atlas::shop::kSet) DrawShopTile(img);
    return img;
}

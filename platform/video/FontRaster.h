#pragma once
// Text rasterising with FreeType: a primary face for Latin text and a fallback face for
// characters the primary one lacks (Hangul). Lines are rendered into 8-bit coverage bitmaps.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Font file for a face name ("Tahoma", "Arial", "굴림"...): the system's faces map to DejaVu
// Sans (bold when weight >= 700). hangul asks for the Hangul face (NanumGothic). Empty when no
// file is found under /usr/share/fonts.
std::string FindFontFile(const std::u16string& face, bool bold, bool hangul);

class FontRaster {
public:
    ~FontRaster();
    FontRaster(const FontRaster&) = delete;
    FontRaster& operator=(const FontRaster&) = delete;

    // Null when the primary file cannot be opened; a missing fallback is allowed.
    static std::unique_ptr<FontRaster> Open(const std::string& primaryPath, const std::string& fallbackPath,
                                            int pixelHeight);

    // Width and height in pixels of one line (height = the face's line height).
    void Measure(const std::u16string& text, int& width, int& height);
    // Renders one line; coverage has width x height bytes, rows from the top.
    bool Render(const std::u16string& text, std::vector<std::uint8_t>& coverage, int& width, int& height);

    struct Impl;

private:
    explicit FontRaster(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform

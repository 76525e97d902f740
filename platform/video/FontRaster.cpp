#include "platform/video/FontRaster.h"

#include <ft2build.h>

#include <algorithm>
#include <filesystem>
#include FT_FREETYPE_H

namespace platform {

namespace {

constexpr const char* kFontRoot = "/usr/share/fonts";

std::string SearchFontFile(const std::string& fileName) {
    std::error_code error;
    std::filesystem::recursive_directory_iterator it(kFontRoot, error), end;
    for (; !error && it != end; it.increment(error))
        if (it->path().filename() == fileName && it->is_regular_file(error)) return it->path().string();
    return {};
}

std::string Locate(const std::string& folder, const std::string& fileName) {
    std::string fixed = std::string(kFontRoot) + "/truetype/" + folder + "/" + fileName;
    std::error_code error;
    if (std::filesystem::is_regular_file(fixed, error)) return fixed;
    return SearchFontFile(fileName);
}

// Decodes UTF-16 into code points; unpaired surrogates become U+FFFD.
std::vector<char32_t> CodePoints(const std::u16string& text) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        points.push_back(c);
    }
    return points;
}

}  // namespace

std::string FindFontFile(const std::u16string&, bool bold, bool hangul) {
    if (hangul) return Locate("nanum", bold ? "NanumGothicBold.ttf" : "NanumGothic.ttf");
    return Locate("dejavu", bold ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf");
}

struct FontRaster::Impl {
    FT_Library library = nullptr;
    FT_Face primary = nullptr;
    FT_Face fallback = nullptr;
    int pixelHeight = 12;
    int ascender = 0;
    int lineHeight = 0;

    ~Impl() {
        if (fallback) FT_Done_Face(fallback);
        if (primary) FT_Done_Face(primary);
        if (library) FT_Done_FreeType(library);
    }

    // The face that has the character (primary first) and its glyph index.
    FT_Face FaceFor(char32_t c, FT_UInt& glyph) {
        glyph = FT_Get_Char_Index(primary, c);
        if (glyph || !fallback) return primary;
        FT_UInt other = FT_Get_Char_Index(fallback, c);
        if (!other) return primary;
        glyph = other;
        return fallback;
    }

    // Walks the line; draw receives each rendered glyph bitmap and its pen position.
    template <class Draw>
    int Walk(const std::vector<char32_t>& points, Draw draw) {
        int pen = 0;
        for (char32_t c : points) {
            FT_UInt glyph;
            FT_Face face = FaceFor(c, glyph);
            if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) continue;
            draw(face->glyph, pen);
            pen += static_cast<int>(face->glyph->advance.x >> 6);
        }
        return pen;
    }
};

FontRaster::FontRaster(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FontRaster::~FontRaster() = default;

std::unique_ptr<FontRaster> FontRaster::Open(const std::string& primaryPath, const std::string& fallbackPath,
                                             int pixelHeight) {
    auto impl = std::make_unique<Impl>();
    impl->pixelHeight = std::clamp(pixelHeight, 4, 256);
    if (FT_Init_FreeType(&impl->library) != 0) return nullptr;
    if (primaryPath.empty() || FT_New_Face(impl->library, primaryPath.c_str(), 0, &impl->primary) != 0)
        return nullptr;
    FT_Set_Pixel_Sizes(impl->primary, 0, static_cast<FT_UInt>(impl->pixelHeight));
    if (!fallbackPath.empty() && FT_New_Face(impl->library, fallbackPath.c_str(), 0, &impl->fallback) == 0)
        FT_Set_Pixel_Sizes(impl->fallback, 0, static_cast<FT_UInt>(impl->pixelHeight));
    else
        impl->fallback = nullptr;
    impl->ascender = static_cast<int>(impl->primary->size->metrics.ascender >> 6);
    impl->lineHeight = static_cast<int>(impl->primary->size->metrics.height >> 6);
    return std::unique_ptr<FontRaster>(new FontRaster(std::move(impl)));
}

void FontRaster::Measure(const std::u16string& text, int& width, int& height) {
    width = impl_->Walk(CodePoints(text), [](FT_GlyphSlot, int) {});
    height = impl_->lineHeight;
}

bool FontRaster::Render(const std::u16string& text, std::vector<std::uint8_t>& coverage, int& width,
                        int& height) {
    auto points = CodePoints(text);
    Measure(text, width, height);
    width = std::max(width, 1);
    height = std::max(height, 1);
    coverage.assign(static_cast<std::size_t>(width) * height, 0);
    impl_->Walk(points, [&](FT_GlyphSlot slot, int pen) {
        const FT_Bitmap& bitmap = slot->bitmap;
        int left = pen + slot->bitmap_left;
        int top = impl_->ascender - slot->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            int y = top + static_cast<int>(row);
            if (y < 0 || y >= height) continue;
            for (unsigned column = 0; column < bitmap.width; ++column) {
                int x = left + static_cast<int>(column);
                if (x < 0 || x >= width) continue;
                std::uint8_t value = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + column];
                auto& target = coverage[static_cast<std::size_t>(y) * width + x];
                target = std::max(target, value);
            }
        }
    });
    return true;
}

}  // namespace platform

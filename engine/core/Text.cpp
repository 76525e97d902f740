#include "engine/core/Text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

std::string ToUtf8(WStringView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

WString FromUtf8(std::string_view text) {
    WString out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80         ? 0
                    : (lead >> 5) == 6  ? 1
                    : (lead >> 4) == 14 ? 2
                    : (lead >> 3) == 30 ? 3
                                        : -1;
        char32_t c = extra == 0   ? lead
                     : extra == 1 ? (lead & 0x1F)
                     : extra == 2 ? (lead & 0x0F)
                                  : (lead & 0x07);
        bool ok = extra >= 0 && i + extra < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) ok = false;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms are rejected: they would let a byte such as '/' or NUL hide in a longer one.
        static constexpr char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
        if (ok && c < kMinimum[extra]) ok = false;
        if (!ok || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

namespace {

// Converts with iconv one character at a time past failures, replacing each with '?'.
std::string Convert(const char* to, const char* from, const char* data, size_t size, size_t unitSize,
                    const char* replacement, size_t replacementSize) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out;
    std::vector<char> buffer(size * 4 + 16);
    char* in = const_cast<char*>(data);
    size_t inLeft = size;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), outPtr - buffer.data());
        if (result == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // Invalid or incomplete sequence: skip one character and write the replacement. A UTF-16
            // surrogate pair is one character, so it gives one replacement, not two.
            size_t skip = inLeft < unitSize ? inLeft : unitSize;
            if (unitSize == 2 && inLeft >= 4) {
                const auto unit = [&](size_t at) {
                    return static_cast<unsigned>(static_cast<unsigned char>(in[at]) |
                                                 (static_cast<unsigned char>(in[at + 1]) << 8));
                };
                if (unit(0) >= 0xD800 && unit(0) <= 0xDBFF && unit(2) >= 0xDC00 && unit(2) <= 0xDFFF)
                    skip = 4;
            }
            in += skip;
            inLeft -= skip;
            out.append(replacement, replacementSize);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string WideToMulti(WStringView text) {
    return Convert("CP949", "UTF-16LE", reinterpret_cast<const char*>(text.data()), text.size() * 2, 2, "?",
                   1);
}

WString MultiToWide(std::string_view text) {
    static const char16_t question = u'?';
    std::string bytes = Convert("UTF-16LE", "CP949", text.data(), text.size(), 1,
                                reinterpret_cast<const char*>(&question), 2);
    WString out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

std::size_t WideToMulti(WStringView text, char* out, std::size_t outBytes) {
    if (!out || outBytes == 0) return 0;
    std::fill(out, out + outBytes, '\0');
    const std::string converted = WideToMulti(text);
    // Keep whole characters only: a CP949 lead byte (0x81..0xFE) always has its trail byte.
    std::size_t length = 0;
    while (length < converted.size()) {
        const std::size_t width = static_cast<unsigned char>(converted[length]) >= 0x81 ? 2 : 1;
        if (length + width > outBytes - 1 || length + width > converted.size()) break;
        length += width;
    }
    std::copy(converted.begin(), converted.begin() + static_cast<std::ptrdiff_t>(length), out);
    return length;
}

std::size_t MultiToWide(std::string_view text, char16_t* out, std::size_t outUnits) {
    if (!out || outUnits == 0) return 0;
    std::fill(out, out + outUnits, u'\0');
    const WString converted = MultiToWide(text);
    std::size_t length = std::min(converted.size(), outUnits - 1);
    // Never end on the first half of a surrogate pair.
    if (length > 0 && length < converted.size() && converted[length - 1] >= 0xD800 &&
        converted[length - 1] <= 0xDBFF)
        --length;
    std::copy(converted.begin(), converted.begin() + static_cast<std::ptrdiff_t>(length), out);
    return length;
}

std::string NextToken(std::string_view& cursor, std::string_view delimiter) {
    std::string lower(delimiter);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const size_t n = delimiter.size();
    size_t i = 0;
    // Bounded by the text's end: a text without the delimiter ends the token there.
    while (i < cursor.size()) {
        const std::string_view rest = cursor.substr(i);
        if (n > 0 && (rest.substr(0, n) == delimiter || rest.substr(0, n) == lower)) break;
        ++i;
    }
    std::string token(cursor.substr(0, i));
    cursor.remove_prefix(i + n <= cursor.size() ? i + n : cursor.size());
    return token;
}

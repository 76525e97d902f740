#include "engine/core/Format.h"

#include <cstdio>
#include <string>

namespace {

struct Directive {
    std::string flags;
    int width = -1;
    int precision = -1;
    bool longLong = false;
    char letter = 0;
};

void AppendAscii(WString& out, std::string_view text) {
    for (char c : text) out += static_cast<char16_t>(static_cast<unsigned char>(c));
}

void AppendPadded(WString& out, WStringView text, const Directive& directive) {
    const bool left = directive.flags.find('-') != std::string::npos;
    const size_t width = directive.width > 0 ? static_cast<size_t>(directive.width) : 0;
    const size_t pad = text.size() < width ? width - text.size() : 0;
    if (!left) out.append(pad, u' ');
    out.append(text);
    if (left) out.append(pad, u' ');
}

std::string NumberFormat(const Directive& directive, const char* lengthAndConversion) {
    std::string f = "%" + directive.flags;
    if (directive.width >= 0) f += std::to_string(directive.width);
    if (directive.precision >= 0) f += "." + std::to_string(directive.precision);
    return f + lengthAndConversion;
}

// Widths and precisions beyond this are clamped: a hostile or mistaken format cannot overflow the
// counters or ask for megabytes of padding.
constexpr int kMaxWidth = 1024;

int ClampWidth(std::int64_t value) {
    return static_cast<int>(value < -kMaxWidth ? -kMaxWidth : value > kMaxWidth ? kMaxWidth : value);
}

bool IsIntegral(FormatArg::Kind k) {
    return k == FormatArg::Kind::Signed || k == FormatArg::Kind::Unsigned;
}

}  // namespace

WString FormatArgs(WStringView format, std::initializer_list<FormatArg> args) {
    WString out;
    out.reserve(format.size() + 16);
    const FormatArg* next = args.begin();
    const FormatArg* end = args.end();
    auto take = [&]() -> const FormatArg* { return next != end ? next++ : nullptr; };
    const WStringView bad = u"<?>";

    for (size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        Directive directive;
        size_t j = i + 1;
        while (j < format.size() && (format[j] == u'-' || format[j] == u'+' || format[j] == u' ' ||
                                     format[j] == u'0' || format[j] == u'#'))
            directive.flags += static_cast<char>(format[j++]);
        if (j < format.size() && format[j] == u'*') {
            const FormatArg* w = take();
            directive.width = w && IsIntegral(w->kind()) ? ClampWidth(w->AsSigned()) : 0;
            if (directive.width < 0) {
                directive.flags += '-';
                directive.width = -directive.width;
            }
            ++j;
        } else {
            while (j < format.size() && format[j] >= u'0' && format[j] <= u'9')
                directive.width = ClampWidth(std::int64_t{directive.width < 0 ? 0 : directive.width} * 10 +
                                             (format[j++] - u'0'));
        }
        if (j < format.size() && format[j] == u'.') {
            ++j;
            directive.precision = 0;
            if (j < format.size() && format[j] == u'*') {
                const FormatArg* p = take();
                directive.precision = p && IsIntegral(p->kind()) ? ClampWidth(p->AsSigned()) : 0;
                if (directive.precision < 0) directive.precision = -1;  // a negative precision is none
                ++j;
            } else {
                while (j < format.size() && format[j] >= u'0' && format[j] <= u'9')
                    directive.precision =
                        ClampWidth(std::int64_t{directive.precision} * 10 + (format[j++] - u'0'));
            }
        }
        // Length modifiers: I64, I32, ll, l, h, hh, L.
        if (format.substr(j, 3) == u"I64") {
            directive.longLong = true;
            j += 3;
        } else if (format.substr(j, 3) == u"I32") {
            j += 3;
        } else {
            while (j < format.size() && (format[j] == u'l' || format[j] == u'h' || format[j] == u'L')) {
                if (format[j] == u'l' && j + 1 < format.size() && format[j + 1] == u'l')
                    directive.longLong = true;
                ++j;
            }
        }
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        directive.letter = static_cast<char>(format[j]);
        i = j;

        const FormatArg* arg = take();
        char buffer[2048];  // holds the widest clamped field of any number
        switch (directive.letter) {
            case 'd':
            case 'i':
                if (!arg || !IsIntegral(arg->kind())) {
                    out.append(bad);
                    break;
                }
                // A 32-bit conversion shows the value as the system's 32-bit int would.
                if (directive.longLong)
                    std::snprintf(buffer, sizeof buffer, NumberFormat(directive, "lld").c_str(),
                                  static_cast<long long>(arg->AsSigned()));
                else
                    std::snprintf(buffer, sizeof buffer, NumberFormat(directive, "d").c_str(),
                                  static_cast<int>(static_cast<std::int32_t>(arg->AsSigned())));
                AppendAscii(out, buffer);
                break;
            case 'u':
            case 'x':
            case 'X':
            case 'o': {
                if (!arg || !IsIntegral(arg->kind())) {
                    out.append(bad);
                    break;
                }
                const char conv[2] = {directive.letter, 0};
                if (directive.longLong)
                    std::snprintf(buffer, sizeof buffer,
                                  NumberFormat(directive, (std::string("ll") + conv).c_str()).c_str(),
                                  static_cast<unsigned long long>(arg->AsUnsigned()));
                else
                    std::snprintf(buffer, sizeof buffer, NumberFormat(directive, conv).c_str(),
                                  static_cast<unsigned>(static_cast<std::uint32_t>(arg->AsUnsigned())));
                AppendAscii(out, buffer);
                break;
            }
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G': {
                if (!arg || arg->kind() != FormatArg::Kind::Float) {
                    out.append(bad);
                    break;
                }
                const char conv[2] = {directive.letter, 0};
                std::snprintf(buffer, sizeof buffer, NumberFormat(directive, conv).c_str(), arg->AsFloat());
                AppendAscii(out, buffer);
                break;
            }
            case 'c':
                if (!arg || !IsIntegral(arg->kind())) {
                    out.append(bad);
                    break;
                }
                AppendPadded(out, WString(1, static_cast<char16_t>(arg->AsUnsigned())), directive);
                break;
            case 's':
            case 'S': {
                if (!arg) {
                    out.append(bad);
                    break;
                }
                WString text;
                if (arg->kind() == FormatArg::Kind::Wide)
                    text = WString(arg->AsWide());
                else if (arg->kind() == FormatArg::Kind::Narrow)
                    text = FromUtf8(arg->AsNarrow());
                else {
                    out.append(bad);
                    break;
                }
                if (directive.precision >= 0 && text.size() > static_cast<size_t>(directive.precision))
                    text.resize(directive.precision);
                AppendPadded(out, text, directive);
                break;
            }
            case 'p':
                if (!arg) {
                    out.append(bad);
                    break;
                }
                std::snprintf(buffer, sizeof buffer, "%08llX",
                              static_cast<unsigned long long>(arg->AsUnsigned()));
                AppendAscii(out, buffer);
                break;
            default:
                // Unknown conversion: shown as written, its argument left for the next one.
                if (arg) --next;
                out += u'%';
                out += static_cast<char16_t>(directive.letter);
                break;
        }
    }
    return out;
}

WString FormatNumber(std::int64_t value) {
    const bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    WString out = negative ? u"-" : u"";
    AppendAscii(out, grouped);
    return out;
}

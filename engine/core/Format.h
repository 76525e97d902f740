#pragma once
// The one formatter for the system's printf-style wide formats, with the Windows meaning:
// "%s" is a wide string, "%S" a narrow one, "%d" "%u" "%x" "%X" "%c" "%I64d" "%I64u" "%lld" "%f" "%e"
// "%g" "%p" "%%", with flags "-+ 0#", width and precision (also "*"). Arguments are checked
// against their conversion at run time: a mismatch prints "<?>" instead of reading garbage.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "engine/core/Text.h"

class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Float, Wide, Narrow, Pointer };

    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T>, int> = 0>
    FormatArg(T v) : kind_(Kind::Signed), i_(v) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T>, int> = 0>
    FormatArg(T v) : kind_(Kind::Unsigned), u_(v) {}
    template <class T, std::enable_if_t<std::is_enum_v<T>, int> = 0>
    FormatArg(T v) : FormatArg(static_cast<std::underlying_type_t<T>>(v)) {}
    FormatArg(double v) : kind_(Kind::Float), f_(v) {}
    FormatArg(float v) : kind_(Kind::Float), f_(v) {}
    FormatArg(long double v) : kind_(Kind::Float), f_(static_cast<double>(v)) {}
    FormatArg(const char16_t* v) : kind_(Kind::Wide), w_(v ? WStringView(v) : WStringView(u"(null)")) {}
    FormatArg(const WString& v) : kind_(Kind::Wide), w_(v) {}
    FormatArg(WStringView v) : kind_(Kind::Wide), w_(v) {}
    FormatArg(const char* v)
        : kind_(Kind::Narrow), n_(v ? std::string_view(v) : std::string_view("(null)")) {}
    FormatArg(const std::string& v) : kind_(Kind::Narrow), n_(v) {}
    FormatArg(std::string_view v) : kind_(Kind::Narrow), n_(v) {}
    FormatArg(const void* v) : kind_(Kind::Pointer), u_(reinterpret_cast<std::uintptr_t>(v)) {}

    Kind kind() const { return kind_; }
    std::int64_t AsSigned() const { return kind_ == Kind::Signed ? i_ : static_cast<std::int64_t>(u_); }
    std::uint64_t AsUnsigned() const { return kind_ == Kind::Signed ? static_cast<std::uint64_t>(i_) : u_; }
    double AsFloat() const { return f_; }
    WStringView AsWide() const { return w_; }
    std::string_view AsNarrow() const { return n_; }

private:
    Kind kind_;
    union {
        std::int64_t i_;
        std::uint64_t u_;
        double f_;
    };
    WStringView w_;
    std::string_view n_;
};

WString FormatArgs(WStringView format, std::initializer_list<FormatArg> args);

template <class... A>
WString Format(WStringView format, const A&... args) {
    return FormatArgs(format, {FormatArg(args)...});
}

// Thousands separators with ",": 1234567 -> "1,234,567", -1000 -> "-1,000".
WString FormatNumber(std::int64_t value);

#include "core/debug.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include <utf8proc.h>

namespace tarvo::core::debug {

namespace {

// Decodes one UTF-8 code point at s[i]; invalid bytes come back as themselves (as U+FFFD-free
// raw values) so that nothing is lost from the text.
char32_t decode(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 1;
    if (i + len > s.size()) len = 1;
    char32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += len;
    return cp;
}

template <typename F>
std::string format_float(F v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    if (v == 0) return std::signbit(v) ? "-0.0" : "0.0";
    char buf[64];
    const F mag = std::fabs(v);
    // Plain decimal notation between 1e-4 and 1e16, scientific outside.
    const bool sci = mag < F(1e-4) || mag >= F(1e16);
    auto res = std::to_chars(buf, buf + sizeof buf, v,
                             sci ? std::chars_format::scientific : std::chars_format::fixed);
    std::string s(buf, res.ptr);
    if (sci) {
        // to_chars writes "1.5e-05" / "1e+16": drop the plus sign and leading exponent zeros.
        auto e = s.find('e');
        std::string mant = s.substr(0, e), exp = s.substr(e + 1);
        bool neg = !exp.empty() && exp[0] == '-';
        if (!exp.empty() && (exp[0] == '-' || exp[0] == '+')) exp.erase(0, 1);
        while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
        return mant + "e" + (neg ? "-" : "") + exp;
    }
    if (s.find('.') == std::string::npos) s += ".0";
    return s;
}

// Characters a debug string shows as \u{hex}: control, format, private-use, unassigned,
// surrogate and separator characters (the plain space excepted), and characters that extend
// the grapheme before them (combining marks and the like), which would otherwise merge with
// the quote or the previous escape.
bool needs_escape(char32_t cp) {
    if (cp < 0x20 || cp == 0x7F) return true;
    if (cp < 0x7F) return false;
    if (cp > 0x10FFFF) return true;
    const utf8proc_property_t* p = utf8proc_get_property(static_cast<utf8proc_int32_t>(cp));
    switch (p->category) {
        case UTF8PROC_CATEGORY_CC: case UTF8PROC_CATEGORY_CF: case UTF8PROC_CATEGORY_CS:
        case UTF8PROC_CATEGORY_CO: case UTF8PROC_CATEGORY_CN: case UTF8PROC_CATEGORY_ZL:
        case UTF8PROC_CATEGORY_ZP: case UTF8PROC_CATEGORY_ZS: case UTF8PROC_CATEGORY_MN:
        case UTF8PROC_CATEGORY_ME:
            return true;
        default:
            return p->boundclass == UTF8PROC_BOUNDCLASS_EXTEND;
    }
}

}  // namespace

std::string quoted(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    out += '"';
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t start = i;
        const char32_t cp = decode(s, i);
        switch (cp) {
            case '"': out += "\\\""; continue;
            case '\\': out += "\\\\"; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            case '\0': out += "\\0"; continue;
            default: break;
        }
        if (needs_escape(cp)) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "\\u{%x}", static_cast<unsigned>(cp));
            out += buf;
        } else {
            out.append(s.substr(start, i - start));
        }
    }
    out += '"';
    return out;
}

std::string f64(double v) { return format_float(v); }
std::string f32(float v) { return format_float(v); }

}  // namespace tarvo::core::debug

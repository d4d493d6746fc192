#include "core/color.hpp"

#include <array>
#include <cmath>
#include <limits>

#include "core/numeric.hpp"

namespace tarvo::core {

namespace {

constexpr std::array<std::string_view, 17> kVariantNames = {
    "Reset", "Black", "Red", "Green", "Yellow", "Blue", "Magenta", "Cyan", "Gray", "DarkGray",
    "LightRed", "LightGreen", "LightYellow", "LightBlue", "LightMagenta", "LightCyan", "White",
};

constexpr std::array<std::string_view, 17> kSnakeNames = {
    "", "black", "red", "green", "yellow", "blue", "magenta", "cyan", "gray", "dark_gray",
    "light_red", "light_green", "light_yellow", "light_blue", "light_magenta", "light_cyan",
    "white",
};

// The names as they read after normalisation, indexed by tag.
constexpr std::array<std::string_view, 17> kParseNames = {
    "reset", "black", "red", "green", "yellow", "blue", "magenta", "cyan", "gray", "darkgray",
    "lightred", "lightgreen", "lightyellow", "lightblue", "lightmagenta", "lightcyan", "white",
};

// Stands in for any character that is not ASCII after lower-casing; no colour name contains it.
constexpr char kForeign = '\x80';

// Lower-cases by the full Unicode mapping as far as it matters for matching ASCII names: the only
// non-ASCII character whose lower case is ASCII is KELVIN SIGN (U+212A -> "k"). Every other
// non-ASCII character (and any malformed byte) becomes kForeign. Blanks, hyphens and underscores
// are dropped on the way.
std::string fold_name(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            ++i;
            if (b0 == ' ' || b0 == '-' || b0 == '_') continue;
            out += (b0 >= 'A' && b0 <= 'Z') ? static_cast<char>(b0 + 32) : static_cast<char>(b0);
            continue;
        }
        // KELVIN SIGN is E2 84 AA.
        if (b0 == 0xE2 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x84 &&
            static_cast<unsigned char>(s[i + 2]) == 0xAA) {
            out += 'k';
            i += 3;
            continue;
        }
        out += kForeign;
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return out;
}

void replace_all(std::string& s, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t hit = s.find(from, pos);
        if (hit == std::string::npos) break;
        out.append(s, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    if (pos == 0) return;
    out.append(s, pos, std::string::npos);
    s = std::move(out);
}

std::optional<Color> parse_name(std::string_view text) {
    std::string s = fold_name(text);
    replace_all(s, "bright", "light");
    replace_all(s, "grey", "gray");
    replace_all(s, "silver", "gray");
    replace_all(s, "lightblack", "darkgray");
    replace_all(s, "lightwhite", "white");
    replace_all(s, "lightgray", "white");
    for (std::size_t t = 0; t < kParseNames.size(); ++t)
        if (s == kParseNames[t]) return Color::named(static_cast<Color::Tag>(t));
    return std::nullopt;
}

// An unsigned 8-bit decimal number: optional "+", then one or more digits, at most 255.
std::optional<std::uint8_t> parse_u8_decimal(std::string_view s) {
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    unsigned v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return std::nullopt;
        v = v * 10 + static_cast<unsigned>(ch - '0');
        if (v > 255) return std::nullopt;
    }
    return static_cast<std::uint8_t>(v);
}

// A two-byte base-16 field: two digits, or "+" and one digit.
std::optional<std::uint8_t> parse_hex_field(char a, char b) {
    const int lo = hex_digit(b);
    if (lo < 0) return std::nullopt;
    if (a == '+') return static_cast<std::uint8_t>(lo);
    const int hi = hex_digit(a);
    if (hi < 0) return std::nullopt;
    return static_cast<std::uint8_t>(hi * 16 + lo);
}

float clamp_unit(float v) noexcept {
    // NaN passes through unchanged, like a comparison-based clamp.
    if (v < 0.0f) return 0.0f;
    if (v > 1.0f) return 1.0f;
    return v;
}

}  // namespace

std::string_view color_variant_name(Color c) noexcept {
    return c.tag < kVariantNames.size() ? kVariantNames[c.tag] : std::string_view{};
}

std::string_view color_snake_name(Color c) noexcept {
    return c.tag < kSnakeNames.size() ? kSnakeNames[c.tag] : std::string_view{};
}

std::string color_repr(Color c) {
    if (c.tag == Color::Rgb)
        return "Rgb(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
    if (c.tag == Color::Indexed) return "Indexed(" + std::to_string(c.r) + ")";
    return std::string(color_variant_name(c));
}

std::int64_t color_hash(Color c) {
    std::uint64_t h = 0;
    for (unsigned char ch : color_repr(c)) h = h * 31u + ch;
    const auto v = static_cast<std::int64_t>(h);
    return v == -1 ? -2 : v;
}

std::optional<Color> parse_color(std::string_view text) {
    if (auto c = parse_name(text)) return c;
    if (auto i = parse_u8_decimal(text)) return Color::indexed(*i);
    if (text.size() == 7 && text[0] == '#') {
        auto r = parse_hex_field(text[1], text[2]);
        auto g = parse_hex_field(text[3], text[4]);
        auto b = parse_hex_field(text[5], text[6]);
        if (r && g && b) return Color::rgb(*r, *g, *b);
    }
    return std::nullopt;
}

UnitRgb hsl_to_unit_rgb(float h, float s, float l) noexcept {
    const float c = s * (1.0f - std::fabs(2.0f * l - 1.0f));
    const float hp = (h - std::floor(h / 360.0f) * 360.0f) / 60.0f;
    const float x = c * (1.0f - std::fabs(hp - 2.0f * std::floor(hp / 2.0f) - 1.0f));
    const float m = l - c / 2.0f;
    float r, g, b;
    if (hp >= 0.0f && hp < 1.0f) {
        r = c, g = x, b = 0.0f;
    } else if (hp >= 1.0f && hp < 2.0f) {
        r = x, g = c, b = 0.0f;
    } else if (hp >= 2.0f && hp < 3.0f) {
        r = 0.0f, g = c, b = x;
    } else if (hp >= 3.0f && hp < 4.0f) {
        r = 0.0f, g = x, b = c;
    } else if (hp >= 4.0f && hp < 5.0f) {
        r = x, g = 0.0f, b = c;
    } else {
        r = c, g = 0.0f, b = x;
    }
    return {clamp_unit(r + m), clamp_unit(g + m), clamp_unit(b + m)};
}

namespace {
// Scale a fraction to a byte: cap at 255 (a NaN fraction counts as the cap), then round to
// nearest with ties to even.
std::uint8_t unit_to_byte_even(float v) noexcept {
    return sat_cast<std::uint8_t>(round_half_even(std::fmin(v * 255.0f, 255.0f)));
}
}  // namespace

Color color_from_hsl(float h, float s, float l) noexcept {
    const UnitRgb u = hsl_to_unit_rgb(h, clamp_unit(s), clamp_unit(l));
    return Color::rgb(unit_to_byte_even(u.r), unit_to_byte_even(u.g), unit_to_byte_even(u.b));
}

}  // namespace tarvo::core

#include "core/palette.hpp"

#include <array>
#include <cmath>

#include "core/numeric.hpp"

namespace tarvo::core {

namespace {

constexpr std::array<std::uint16_t, 11> kShades = {50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 950};

struct Family {
    std::string_view name;
    std::array<std::uint32_t, 11> rgb;  // 0xRRGGBB per shade, in kShades order
};

constexpr std::array<Family, 22> kFamilies = {{
    {"slate", {0xf8fafc, 0xf1f5f9, 0xe2e8f0, 0xcbd5e1, 0x94a3b8, 0x64748b, 0x475569, 0x334155, 0x1e293b, 0x0f172a, 0x020617}},
    {"gray", {0xf9fafb, 0xf3f4f6, 0xe5e7eb, 0xd1d5db, 0x9ca3af, 0x6b7280, 0x4b5563, 0x374151, 0x1f2937, 0x111827, 0x030712}},
    {"zinc", {0xfafafa, 0xf4f4f5, 0xe4e4e7, 0xd4d4d8, 0xa1a1aa, 0x71717a, 0x52525b, 0x3f3f46, 0x27272a, 0x18181b, 0x09090b}},
    {"neutral", {0xfafafa, 0xf5f5f5, 0xe5e5e5, 0xd4d4d4, 0xa3a3a3, 0x737373, 0x525252, 0x404040, 0x262626, 0x171717, 0x0a0a0a}},
    {"stone", {0xfafaf9, 0xf5f5f4, 0xe7e5e4, 0xd6d3d1, 0xa8a29e, 0x78716c, 0x57534e, 0x44403c, 0x292524, 0x1c1917, 0x0c0a09}},
    {"red", {0xfef2f2, 0xfee2e2, 0xfecaca, 0xfca5a5, 0xf87171, 0xef4444, 0xdc2626, 0xb91c1c, 0x991b1b, 0x7f1d1d, 0x450a0a}},
    {"orange", {0xfff7ed, 0xffedd5, 0xfed7aa, 0xfdba74, 0xfb923c, 0xf97316, 0xea580c, 0xc2410c, 0x9a3412, 0x7c2d12, 0x431407}},
    {"amber", {0xfffbeb, 0xfef3c7, 0xfde68a, 0xfcd34d, 0xfbbf24, 0xf59e0b, 0xd97706, 0xb45309, 0x92400e, 0x78350f, 0x451a03}},
    {"yellow", {0xfefce8, 0xfef9c3, 0xfef08a, 0xfde047, 0xfacc15, 0xeab308, 0xca8a04, 0xa16207, 0x854d0e, 0x713f12, 0x422006}},
    {"lime", {0xf7fee7, 0xecfccb, 0xd9f99d, 0xbef264, 0xa3e635, 0x84cc16, 0x65a30d, 0x4d7c0f, 0x3f6212, 0x365314, 0x1a2e05}},
    {"green", {0xf0fdf4, 0xdcfce7, 0xbbf7d0, 0x86efac, 0x4ade80, 0x22c55e, 0x16a34a, 0x15803d, 0x166534, 0x14532d, 0x052e16}},
    {"emerald", {0xecfdf5, 0xd1fae5, 0xa7f3d0, 0x6ee7b7, 0x34d399, 0x10b981, 0x059669, 0x047857, 0x065f46, 0x064e3b, 0x022c22}},
    {"teal", {0xf0fdfa, 0xccfbf1, 0x99f6e4, 0x5eead4, 0x2dd4bf, 0x14b8a6, 0x0d9488, 0x0f766e, 0x115e59, 0x134e4a, 0x042f2e}},
    {"cyan", {0xecfeff, 0xcffafe, 0xa5f3fc, 0x67e8f9, 0x22d3ee, 0x06b6d4, 0x0891b2, 0x0e7490, 0x155e75, 0x164e63, 0x083344}},
    {"sky", {0xf0f9ff, 0xe0f2fe, 0xbae6fd, 0x7dd3fc, 0x38bdf8, 0x0ea5e9, 0x0284c7, 0x0369a1, 0x075985, 0x0c4a6e, 0x082f49}},
    {"blue", {0xeff6ff, 0xdbeafe, 0xbfdbfe, 0x93c5fd, 0x60a5fa, 0x3b82f6, 0x2563eb, 0x1d4ed8, 0x1e40af, 0x1e3a8a, 0x172554}},
    {"indigo", {0xeef2ff, 0xe0e7ff, 0xc7d2fe, 0xa5b4fc, 0x818cf8, 0x6366f1, 0x4f46e5, 0x4338ca, 0x3730a3, 0x312e81, 0x1e1b4b}},
    {"violet", {0xf5f3ff, 0xede9fe, 0xddd6fe, 0xc4b5fd, 0xa78bfa, 0x8b5cf6, 0x7c3aed, 0x6d28d9, 0x5b21b6, 0x4c1d95, 0x2e1065}},
    {"purple", {0xfaf5ff, 0xf3e8ff, 0xe9d5ff, 0xd8b4fe, 0xc084fc, 0xa855f7, 0x9333ea, 0x7e22ce, 0x6b21a8, 0x581c87, 0x3b0764}},
    {"fuchsia", {0xfdf4ff, 0xfae8ff, 0xf5d0fe, 0xf0abfc, 0xe879f9, 0xd946ef, 0xc026d3, 0xa21caf, 0x86198f, 0x701a75, 0x4a044e}},
    {"pink", {0xfdf2f8, 0xfce7f3, 0xfbcfe8, 0xf9a8d4, 0xf472b6, 0xec4899, 0xdb2777, 0xbe185d, 0x9d174d, 0x831843, 0x500724}},
    {"rose", {0xfff1f2, 0xffe4e6, 0xfecdd3, 0xfda4af, 0xfb7185, 0xf43f5e, 0xe11d48, 0xbe123c, 0x9f1239, 0x881337, 0x4c0519}},
}};

std::string ascii_lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    return out;
}

// Comparison-based clamp: NaN passes through.
float clamp_unit(float v) noexcept {
    if (v < 0.0f) return 0.0f;
    if (v > 1.0f) return 1.0f;
    return v;
}

// Bring a hue (or hue difference) into (-180, 180].
float wrap_half_turn(float h) noexcept { return h - std::ceil((h + 180.0f) / 360.0f - 1.0f) * 360.0f; }

Color unit_to_color(UnitRgb u) noexcept {
    return Color::rgb(unit_to_byte(u.r), unit_to_byte(u.g), unit_to_byte(u.b));
}

// Six characters as one unsigned base-16 number; a leading "+" is allowed as the integer reading
// allows it.
std::optional<std::uint32_t> parse_hex24(std::string_view s) {
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    std::uint32_t v = 0;
    for (char ch : s) {
        const int d = hex_digit(ch);
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return v;
}

}  // namespace

UnitRgb color_to_unit_rgb(Color c) noexcept {
    switch (c.tag) {
        case Color::Rgb:
            return {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f};
        case Color::Indexed: {
            const Color packed = color_from_u32(c.index());
            return {packed.r / 255.0f, packed.g / 255.0f, packed.b / 255.0f};
        }
        default:
            return {0.5f, 0.5f, 0.5f};
    }
}

UnitHsl unit_rgb_to_hsl(UnitRgb c, bool wrap_hue) noexcept {
    const float r = c.r < 0.0f ? 0.0f : c.r;
    const float g = c.g < 0.0f ? 0.0f : c.g;
    const float b = c.b < 0.0f ? 0.0f : c.b;
    const float mx = std::fmax(r, std::fmax(g, b));
    const float mn = std::fmin(r, std::fmin(g, b));
    UnitHsl out;
    out.l = (mx + mn) / 2.0f;
    if (mx != mn) {
        const float d = mx - mn;
        out.s = (mx + mn <= 1.0f) ? d / (mx + mn) : d / (2.0f - mx - mn);
        const float rg = std::fmax(r, g);
        if (b > rg)
            out.h = 60.0f * (4.0f + (r - g) / d);
        else if (r > g)
            out.h = 60.0f * ((g - b) / d);
        else
            out.h = 60.0f * (2.0f + (b - r) / d);
    }
    if (wrap_hue) {
        out.h = wrap_half_turn(out.h);
        out.s = clamp_unit(out.s);
        out.l = clamp_unit(out.l);
    }
    return out;
}

std::uint8_t unit_to_byte(float v) noexcept { return sat_cast<std::uint8_t>(round_half_away(v * 255.0f)); }

Color color_lerp(Color a, Color b, float t) noexcept {
    t = clamp_unit(t);
    const UnitRgb x = color_to_unit_rgb(a), y = color_to_unit_rgb(b);
    return unit_to_color({x.r + t * (y.r - x.r), x.g + t * (y.g - x.g), x.b + t * (y.b - x.b)});
}

ColorResult interpolate_colors(Color a, Color b, float t, std::string_view space) {
    t = clamp_unit(t);
    const std::string mode = ascii_lower(space);
    if (mode == "rgb") return {color_lerp(a, b, t), {}};
    if (mode != "hsl") return {{}, "unsupported color space: " + mode + " (expected 'rgb' or 'hsl')"};
    const UnitHsl x = unit_rgb_to_hsl(color_to_unit_rgb(a), false);
    const UnitHsl y = unit_rgb_to_hsl(color_to_unit_rgb(b), false);
    const float dh = wrap_half_turn(y.h - x.h);
    const float h = x.h + t * dh;
    const float s = x.s + t * (y.s - x.s);
    const float l = x.l + t * (y.l - x.l);
    return {unit_to_color(hsl_to_unit_rgb(h, s, l)), {}};
}

UnitHsl color_to_hsl(Color c) noexcept { return unit_rgb_to_hsl(color_to_unit_rgb(c), true); }

ColorResult color_from_hex(std::string_view value) {
    std::string_view rest = value;
    while (!rest.empty() && rest[0] == '#') rest.remove_prefix(1);
    std::optional<std::uint32_t> v;
    if (rest.size() == 6) {
        v = parse_hex24(rest);
    } else if (rest.size() == 3) {
        const char doubled[6] = {rest[0], rest[0], rest[1], rest[1], rest[2], rest[2]};
        v = parse_hex24(std::string_view(doubled, 6));
    }
    if (!v) return {{}, "invalid hex color: " + std::string(value)};
    return {color_from_u32(*v), {}};
}

ColorResult tailwind_color(std::string_view name, std::uint16_t shade) {
    const std::string key = ascii_lower(name);
    if (key == "black") return {Color::rgb(0, 0, 0), {}};
    if (key == "white") return {Color::rgb(255, 255, 255), {}};
    for (const Family& f : kFamilies) {
        if (f.name != key) continue;
        for (std::size_t i = 0; i < kShades.size(); ++i)
            if (kShades[i] == shade) return {color_from_u32(f.rgb[i]), {}};
        return {{}, "invalid tailwind shade: " + std::to_string(shade)};
    }
    return {{}, "unknown tailwind palette: " + key};
}

}  // namespace tarvo::core

// The colour arithmetic of the effects: every terminal colour as RGB, RGB to and from HSL and
// HSV, blending in a colour space, lightening, darkening and saturation, and the small
// per-step caches the colour effects share. These follow the effects' own rounding rules, which
// differ from the colour functions of the module (core/color.hpp); keep the two apart.
#pragma once

#include <array>
#include <cstdint>

#include "core/color.hpp"
#include "core/fx/enums.hpp"

namespace tarvo::core::fx {

struct Rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(const Rgb8&, const Rgb8&) = default;
};

// Hue in degrees, the other two in percent.
struct Hsx {
    float h = 0.0f, s = 0.0f, x = 0.0f;
};

// Any colour as RGB: Reset counts as black, the named colours use the standard VGA-like values,
// the palette follows the xterm cube and grey ramp.
Rgb8 to_rgb(Color c) noexcept;

Hsx rgb_to_hsl(Rgb8 c) noexcept;
Rgb8 hsl_to_rgb(float h, float s, float l) noexcept;
// hsl_to_rgb as an Rgb colour.
Color hsl_to_color(float h, float s, float l) noexcept;
Hsx rgb_to_hsv(Rgb8 c) noexcept;
Rgb8 hsv_to_rgb(float h, float s, float v) noexcept;
// A hue in degrees brought into 0..360 as fmod(fmod(h, 360) + 360, 360) does, bit for bit.
float wrap_degrees(float h) noexcept;

// A blend target with its conversions done once, for blending many colours toward it.
struct BlendTarget {
    Color color;
    Rgb8 rgb;
    Hsx hsl;
    Hsx hsv;
    explicit BlendTarget(Color c) noexcept;
};

// The colour `a` of the way from `from` to `to`, blended in `space`. `a` is clamped to 0..1;
// 0 gives `from` and 1 gives `to` unchanged, anything between an Rgb colour.
Color lerp(Color from, Color to, float a, ColorSpace space) noexcept;
Color lerp(Color from, const BlendTarget& to, float a, ColorSpace space) noexcept;

// out[i] = lerp(from[i], to, a, space) for i < n, several colours at a time: eight where the
// processor can and `wide` allows it (the tests turn it off to check the four-colour path), four
// otherwise.
void lerp_many(const Color* from, Color* out, std::size_t n, const BlendTarget& to, float a, ColorSpace space,
               bool wide = true) noexcept;

// The colour with its HSL hue, saturation and lightness moved by d[0..2] times a (hue wrapped,
// the other two held to 0..100); the result is Rgb.
Color hsl_shift_color(Color c, const std::array<float, 3>& d, float a) noexcept;
// out[i] = hsl_shift_color(from[i], d, a) for i < n, several colours at a time (`wide` as above).
void hsl_shift_many(const Color* from, Color* out, std::size_t n, const std::array<float, 3>& d, float a,
                    bool wide = true) noexcept;

// Moves every channel toward white (amount > 0) or black (amount < 0); amount is clamped to
// -1..1. The result is Rgb.
Color lighten_rgb(Color c, float amount) noexcept;
// Scales the distance of every channel from the colour's luminance: 0 grey, 1 unchanged,
// above 1 more vivid. The result is Rgb.
Color saturate_rgb(Color c, float factor) noexcept;

// Before blending, a Reset foreground is taken as White and a Reset background as Black.
constexpr Color fg_or_white(Color c) noexcept {
    return c.tag == Color::Reset ? Color::named(Color::White) : c;
}
constexpr Color bg_or_black(Color c) noexcept {
    return c.tag == Color::Reset ? Color::named(Color::Black) : c;
}

// Eight most recently used results keyed by (colour, context), for one drawing step. Two cells
// whose key matches share the result computed for the first of them, even where the exact
// inputs that produced the key differed (effects key by a quantised alpha): that sharing is
// part of the effects' look.
template <typename Context>
class ColorCache {
public:
    template <typename F>
    Color get(Color color, Context ctx, F&& compute) {
        for (std::size_t i = 0; i < kSize; ++i) {
            if (color_equal(keys_[i].color, color) && keys_[i].ctx == ctx) {
                const std::uint8_t slot = slots_[i];
                to_front(i, keys_[i], slot);
                return values_[slot];
            }
        }
        const std::uint8_t slot = slots_[kSize - 1];
        values_[slot] = compute();
        to_front(kSize - 1, Key{color, ctx}, slot);
        return values_[slot];
    }

private:
    static constexpr std::size_t kSize = 8;
    struct Key {
        Color color;
        Context ctx{};
    };
    void to_front(std::size_t i, Key key, std::uint8_t slot) noexcept {
        for (std::size_t j = i; j > 0; --j) {
            keys_[j] = keys_[j - 1];
            slots_[j] = slots_[j - 1];
        }
        keys_[0] = key;
        slots_[0] = slot;
    }

    std::array<Key, kSize> keys_{};
    std::array<std::uint8_t, kSize> slots_{0, 1, 2, 3, 4, 5, 6, 7};
    std::array<Color, kSize> values_{};
};

// Results of a pure function of the colour alone (the context fixed for a whole step), in a
// direct-mapped table keyed by the packed colour: unlike ColorCache it never shares a result
// between different inputs, so it may hold as many colours as is convenient.
class ColorMemo {
public:
    ColorMemo() noexcept { keys_.fill(kEmpty); }

    template <typename F>
    Color get(Color color, F&& compute) {
        const std::uint32_t key = pack(color);
        const std::size_t i = slot(key);
        if (keys_[i] != key) {
            values_[i] = compute();
            keys_[i] = key;
        }
        return values_[i];
    }

    // The remembered result for `color` into `out`, if there is one.
    bool find(Color color, Color& out) const noexcept {
        const std::uint32_t key = pack(color);
        const std::size_t i = slot(key);
        if (keys_[i] != key) return false;
        out = values_[i];
        return true;
    }
    void put(Color color, Color value) noexcept {
        const std::uint32_t key = pack(color);
        const std::size_t i = slot(key);
        keys_[i] = key;
        values_[i] = value;
    }

private:
    static constexpr std::size_t slot(std::uint32_t key) noexcept { return (key * 0x9E3779B1u) >> (32 - kBits); }
    static constexpr unsigned kBits = 8;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // no colour packs to this: tags stop at 18
    // The variant and only the payload bytes that variant uses, as color_equal compares them.
    static constexpr std::uint32_t pack(Color c) noexcept {
        const std::uint32_t tag = std::uint32_t{c.tag} << 24;
        if (c.tag == Color::Rgb) return tag | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
        if (c.tag == Color::Indexed) return tag | c.r;
        return tag;
    }

    std::array<std::uint32_t, std::size_t{1} << kBits> keys_;
    std::array<Color, std::size_t{1} << kBits> values_{};
};

// Recolours a step's cells by a function of the colour alone: results are remembered by colour,
// and the colours not seen yet go to `many(from, out, n)` several at a time, so a result reaches
// its destination either at once or at the latest by flush().
template <typename Many>
class StepBatch {
public:
    explicit StepBatch(Many many) noexcept : many_(many) {}
    StepBatch(const StepBatch&) = delete;
    StepBatch& operator=(const StepBatch&) = delete;

    void recolour(Color& dst, Color from) noexcept {
        if (memo_.find(from, dst)) return;
        from_[n_] = from;
        dst_[n_] = &dst;
        if (++n_ == kBatch) flush();
    }

    void flush() noexcept {
        if (n_ == 0) return;
        std::array<Color, kBatch> out;
        many_(from_.data(), out.data(), n_);
        for (std::size_t i = 0; i < n_; ++i) {
            *dst_[i] = out[i];
            memo_.put(from_[i], out[i]);
        }
        n_ = 0;
    }

private:
    static constexpr std::size_t kBatch = 64;
    Many many_;
    ColorMemo memo_;
    std::size_t n_ = 0;
    std::array<Color, kBatch> from_;
    std::array<Color*, kBatch> dst_;
};

}  // namespace tarvo::core::fx

#include "core/style.hpp"

#include <array>
#include <cstdio>
#include <string_view>

namespace tarvo::core {

namespace {

constexpr std::array<std::string_view, 9> kModifierNames = {
    "BOLD", "DIM", "ITALIC", "UNDERLINED", "SLOW_BLINK", "RAPID_BLINK", "REVERSED", "HIDDEN",
    "CROSSED_OUT",
};

constexpr std::array<std::string_view, 9> kModifierCalls = {
    "bold", "dim", "italic", "underlined", "slow_blink", "rapid_blink", "reversed", "hidden",
    "crossed_out",
};

std::string hex_lower(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", v);
    return buf;
}

void append_color_call(std::string& out, std::string_view call, Color c) {
    out += '.';
    out += call;
    out += "(Color::";
    out += color_repr(c);
    out += ')';
}

void append_modifier_calls(std::string& out, std::uint16_t bits, std::string_view prefix,
                           std::string_view unnamed_call) {
    for (std::size_t i = 0; i < kModifierCalls.size(); ++i) {
        if (bits & (1u << i)) {
            out += '.';
            out += prefix;
            out += kModifierCalls[i];
            out += "()";
        }
    }
    const std::uint16_t rest = bits & static_cast<std::uint16_t>(~modifier::ALL);
    if (rest) {
        out += '.';
        out += unnamed_call;
        out += "(Modifier::";
        out += modifier_repr(rest);
        out += ')';
    }
}

}  // namespace

std::string modifier_repr(std::uint16_t bits) {
    if (bits == 0) return "NONE";
    std::string out;
    auto item = [&](std::string_view s) {
        if (!out.empty()) out += " | ";
        out += s;
    };
    for (std::size_t i = 0; i < kModifierNames.size(); ++i)
        if (bits & (1u << i)) item(kModifierNames[i]);
    const unsigned rest = bits & ~unsigned{modifier::ALL};
    if (rest) item(hex_lower(rest));
    return out;
}

std::string style_repr(const Style& style) {
    std::string out = "Style::new()";
    if (style.fg) {
        if (style.fg->is_named()) {
            out += '.';
            out += color_snake_name(*style.fg);
            out += "()";
        } else {
            append_color_call(out, "fg", *style.fg);
        }
    }
    if (style.bg) {
        if (style.bg->is_named()) {
            out += ".on_";
            out += color_snake_name(*style.bg);
            out += "()";
        } else {
            append_color_call(out, "bg", *style.bg);
        }
    }
    if (style.underline_color) append_color_call(out, "underline_color", *style.underline_color);
    append_modifier_calls(out, style.add_modifier, "", "add_modifier");
    append_modifier_calls(out, style.sub_modifier, "not_", "remove_modifier");
    return out;
}

}  // namespace tarvo::core

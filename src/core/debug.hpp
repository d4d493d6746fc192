// Structure-form debug texts, as the reprs print values:
//   Name { field: value, other: value }   Some(x) / None   [a, b]   "escaped"   1.0
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::core::debug {

// A double-quoted string literal with backslash escapes for quotes, backslashes and control
// characters (\n, \r, \t, \0, others as \u{hex}).
std::string quoted(std::string_view s);
// Floats the way the reprs print them: shortest round-trip digits, always with a fraction or
// an exponent ("1.0", "0.25", "1e16", "1e-5", "NaN", "inf").
std::string f64(double v);
std::string f32(float v);
inline std::string boolean(bool b) { return b ? "true" : "false"; }

template <typename T, typename F>
std::string option(const std::optional<T>& v, F&& fmt) {
    return v ? "Some(" + fmt(*v) + ")" : std::string("None");
}

template <typename T, typename F>
std::string list(const std::vector<T>& items, F&& fmt) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ", ";
        out += fmt(items[i]);
    }
    return out + "]";
}

// Builds "Name { a: x, b: y }" (or "Name" when it has no fields).
class Struct {
public:
    explicit Struct(std::string_view name) : out_(name) {}
    Struct& field(std::string_view name, const std::string& value) {
        out_ += first_ ? " { " : ", ";
        first_ = false;
        out_ += name;
        out_ += ": ";
        out_ += value;
        return *this;
    }
    std::string finish() { return first_ ? std::move(out_) : std::move(out_) + " }"; }

private:
    std::string out_;
    bool first_ = true;
};

// Builds "Name(a, b)".
class Tuple {
public:
    explicit Tuple(std::string_view name) : out_(name) { out_ += '('; }
    Tuple& item(const std::string& value) {
        if (!first_) out_ += ", ";
        first_ = false;
        out_ += value;
        return *this;
    }
    std::string finish() { return std::move(out_) + ")"; }

private:
    std::string out_;
    bool first_ = true;
};

}  // namespace tarvo::core::debug

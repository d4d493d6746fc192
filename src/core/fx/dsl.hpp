// The text form of an effect: an expression tree of calls, literals, options, arrays, effect
// lists and struct literals, and the writer that lays it out within an 80-column budget.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/color.hpp"
#include "core/style.hpp"

namespace tarvo::core::fx::dsl {

// An effect that has no text form, or refuses to give one. The message is shown as it is.
class DslError : public std::runtime_error {
public:
    explicit DslError(const std::string& message) : std::runtime_error(message) {}
};

// "The effect '{name}' cannot be converted to DSL format."
[[noreturn]] void fail_no_text(std::string_view effect_name);
// "The effect '{name}' can not be instantiated by the DSL."
[[noreturn]] void fail_not_instantiable(std::string_view effect_name);

struct Expr;
using ExprPtr = std::shared_ptr<const Expr>;

struct Method {
    std::string name;
    std::vector<ExprPtr> args;
};

struct Field {
    std::string name;
    ExprPtr value;
};

struct Expr {
    enum class Kind : std::uint8_t {
        Atom,      // a literal or a bare name, written as its text
        Call,      // name(args) with an optional method chain
        Some,      // Some(x)
        Array,     // [a, b, c]
        Effects,   // fx::sequence(&[..]) / fx::parallel(&[..]); `text` holds the call's name
        Struct,    // Name { x: .., y: .., }
    };
    Kind kind = Kind::Atom;
    std::string text;               // atom text, call / effects / struct name
    std::vector<ExprPtr> items;     // call arguments, array or effect-list items, Some's value
    std::vector<Method> chain;      // method chain of a call
    std::vector<Field> fields;      // struct fields
};

// ---- building expressions ----
ExprPtr atom(std::string text);
ExprPtr call(std::string name, std::vector<ExprPtr> args);
ExprPtr call_chain(std::string name, std::vector<ExprPtr> args, std::vector<Method> chain);
ExprPtr some(ExprPtr value);
ExprPtr array(std::vector<ExprPtr> items);
ExprPtr sequence(std::vector<ExprPtr> effects);
ExprPtr parallel(std::vector<ExprPtr> effects);
ExprPtr structure(std::string name, std::vector<Field> fields);

// ---- the values effects write ----
ExprPtr integer(std::int64_t v);
// A 32-bit float: a whole value is written as an integer ("1", "-3", "0" for -0.0), others in
// the shortest text that reads back to the same float ("0.5", "12.5", "5e-7"); "NaN", "inf",
// "-inf".
ExprPtr real(float v);
ExprPtr boolean(bool v);
ExprPtr none();
// Color::Red, Color::Indexed(n), Color::from_u32(decimal rrggbb)
ExprPtr color(Color c);
// Style::new() with .fg(..), .bg(..), .add_modifier(M).., .remove_modifier(M)..
ExprPtr style(const Style& s);
// EffectTimer::from_ms(total, Interpolation::{name})
ExprPtr timer(std::uint32_t total_ms, std::string_view interpolation_name);
// Duration::from_millis(ms)
ExprPtr duration(std::uint32_t ms);
// A path literal such as Motion::LeftToRight or RepeatMode::Forever.
ExprPtr path(std::string_view prefix, std::string_view name);

// The float text on its own (used by `real` and by tests).
std::string float_text(float v);

// ---- layout ----
inline constexpr std::size_t kIndentStep = 4;
inline constexpr std::size_t kLineBudget = 80;

// The estimated length of an expression, used only for layout decisions.
std::size_t estimate(const Expr& e);
// Whether an expression forces its parent's list onto several lines.
bool is_complex(const Expr& e);
// The laid-out text, no trailing newline.
std::string write(const Expr& e);

}  // namespace tarvo::core::fx::dsl

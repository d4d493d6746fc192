#include "core/fx/dsl.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace tarvo::core::fx::dsl {

void fail_no_text(std::string_view effect_name) {
    throw DslError("The effect '" + std::string(effect_name) + "' cannot be converted to DSL format.");
}

void fail_not_instantiable(std::string_view effect_name) {
    throw DslError("The effect '" + std::string(effect_name) + "' can not be instantiated by the DSL.");
}

// ---- building ----

namespace {

ExprPtr make(Expr e) { return std::make_shared<const Expr>(std::move(e)); }

}  // namespace

ExprPtr atom(std::string text) {
    Expr e;
    e.kind = Expr::Kind::Atom;
    e.text = std::move(text);
    return make(std::move(e));
}

ExprPtr call(std::string name, std::vector<ExprPtr> args) { return call_chain(std::move(name), std::move(args), {}); }

ExprPtr call_chain(std::string name, std::vector<ExprPtr> args, std::vector<Method> chain) {
    Expr e;
    e.kind = Expr::Kind::Call;
    e.text = std::move(name);
    e.items = std::move(args);
    e.chain = std::move(chain);
    return make(std::move(e));
}

ExprPtr some(ExprPtr value) {
    Expr e;
    e.kind = Expr::Kind::Some;
    e.items.push_back(std::move(value));
    return make(std::move(e));
}

ExprPtr array(std::vector<ExprPtr> items) {
    Expr e;
    e.kind = Expr::Kind::Array;
    e.items = std::move(items);
    return make(std::move(e));
}

namespace {

ExprPtr effect_list(const char* name, std::vector<ExprPtr> effects) {
    Expr e;
    e.kind = Expr::Kind::Effects;
    e.text = name;
    e.items = std::move(effects);
    return make(std::move(e));
}

}  // namespace

ExprPtr sequence(std::vector<ExprPtr> effects) { return effect_list("fx::sequence", std::move(effects)); }
ExprPtr parallel(std::vector<ExprPtr> effects) { return effect_list("fx::parallel", std::move(effects)); }

ExprPtr structure(std::string name, std::vector<Field> fields) {
    Expr e;
    e.kind = Expr::Kind::Struct;
    e.text = std::move(name);
    e.fields = std::move(fields);
    return make(std::move(e));
}

// ---- values ----

ExprPtr integer(std::int64_t v) { return atom(std::to_string(v)); }

std::string float_text(float v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    // A whole value reads as an integer token; -0.0 has no sign of its own there.
    if (v == 0.0f) return "0";
    std::array<char, 64> buf{};
    // Shortest round-trip digits and their decimal exponent.
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(v), std::chars_format::scientific);
    const std::string_view sci(buf.data(), static_cast<std::size_t>(end - buf.data()));
    const std::size_t epos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, epos))
        if (c != '.') digits.push_back(c);
    const int exp10 = std::atoi(std::string(sci.substr(epos + 1)).c_str());
    const int n = static_cast<int>(digits.size());
    const int k = exp10 + 1;  // digits before the decimal point
    std::string out = v < 0 ? "-" : "";
    if (k > 0) {
        if (k >= n) {
            out += digits;
            out.append(static_cast<std::size_t>(k - n), '0');
        } else {
            out += digits.substr(0, static_cast<std::size_t>(k));
            out += '.';
            out += digits.substr(static_cast<std::size_t>(k));
        }
    } else if (k > -6) {
        out += "0.";
        out.append(static_cast<std::size_t>(-k), '0');
        out += digits;
    } else {
        out += digits[0];
        if (n > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'e';
        out += std::to_string(k - 1);
    }
    return out;
}

ExprPtr real(float v) { return atom(float_text(v)); }
ExprPtr boolean(bool v) { return atom(v ? "true" : "false"); }
ExprPtr none() { return atom("None"); }

ExprPtr color(Color c) {
    if (c.tag == Color::Rgb) return call("Color::from_u32", {integer(color_to_u32(c))});
    if (c.tag == Color::Indexed) return call("Color::Indexed", {integer(c.index())});
    return atom("Color::" + std::string(color_variant_name(c)));
}

namespace {

constexpr std::array<const char*, 9> kModifierNames = {
    "BOLD", "DIM", "ITALIC", "UNDERLINED", "SLOW_BLINK", "RAPID_BLINK", "REVERSED", "HIDDEN", "CROSSED_OUT",
};

}  // namespace

ExprPtr style(const Style& s) {
    std::vector<Method> chain;
    if (s.fg) chain.push_back({"fg", {color(*s.fg)}});
    if (s.bg) chain.push_back({"bg", {color(*s.bg)}});
    for (std::size_t i = 0; i < kModifierNames.size(); ++i)
        if (s.add_modifier & (1u << i)) chain.push_back({"add_modifier", {atom(kModifierNames[i])}});
    for (std::size_t i = 0; i < kModifierNames.size(); ++i)
        if (s.sub_modifier & (1u << i)) chain.push_back({"remove_modifier", {atom(kModifierNames[i])}});
    return call_chain("Style::new", {}, std::move(chain));
}

ExprPtr timer(std::uint32_t total_ms, std::string_view interpolation_name) {
    return call("EffectTimer::from_ms", {integer(total_ms), path("Interpolation", interpolation_name)});
}

ExprPtr duration(std::uint32_t ms) { return call("Duration::from_millis", {integer(ms)}); }

ExprPtr path(std::string_view prefix, std::string_view name) {
    std::string t(prefix);
    t += "::";
    t += name;
    return atom(std::move(t));
}

// ---- layout ----

namespace {

constexpr std::size_t kComplexDepth = 20;

std::size_t sum_estimates(const std::vector<ExprPtr>& items) {
    std::size_t n = 0;
    for (const auto& i : items) n += estimate(*i);
    return n;
}

bool complex_at(const Expr& e, std::size_t depth) {
    if (depth > kComplexDepth) return true;
    switch (e.kind) {
        case Expr::Kind::Effects:
        case Expr::Kind::Struct: return true;
        case Expr::Kind::Call:
            if (!e.chain.empty() || e.items.size() > 2) return true;
            for (const auto& a : e.items)
                if (complex_at(*a, depth + 1)) return true;
            return false;
        case Expr::Kind::Array:
            if (e.items.size() > 3) return true;
            for (const auto& a : e.items)
                if (complex_at(*a, depth + 1)) return true;
            return false;
        default: return false;
    }
}

class Writer {
public:
    std::string out;

    void expr(const Expr& e) {
        switch (e.kind) {
            case Expr::Kind::Atom: out += e.text; break;
            case Expr::Kind::Call:
                out += e.text;
                list('(', e.items, ')');
                chain(e.chain);
                break;
            case Expr::Kind::Some:
                out += "Some(";
                expr(*e.items.front());
                out += ')';
                break;
            case Expr::Kind::Array: list('[', e.items, ']'); break;
            case Expr::Kind::Effects:
                out += e.text;
                out += "(&";
                list('[', e.items, ']');
                out += ')';
                break;
            case Expr::Kind::Struct: structure(e); break;
        }
    }

private:
    std::size_t indent_ = 0;

    void pad() { out.append(indent_, ' '); }

    // The budget left on a line; past the line's width the difference wraps, which leaves
    // every list that is otherwise simple enough on one line.
    std::size_t budget() const { return kLineBudget - indent_; }

    void list(char open, const std::vector<ExprPtr>& items, char close) {
        out += open;
        if (items.empty()) {
            out += close;
            return;
        }
        bool inline_list = items.size() <= 3;
        if (inline_list)
            for (const auto& i : items)
                if (is_complex(*i)) {
                    inline_list = false;
                    break;
                }
        if (inline_list && sum_estimates(items) + 2 * items.size() > budget()) inline_list = false;
        if (inline_list) {
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (i) out += ", ";
                expr(*items[i]);
            }
        } else {
            indent_ += kIndentStep;
            out += '\n';
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (i) out += ",\n";
                pad();
                expr(*items[i]);
            }
            indent_ -= kIndentStep;
            out += '\n';
            pad();
        }
        out += close;
    }

    void chain(const std::vector<Method>& methods) {
        if (methods.empty()) return;
        bool simple = methods.size() <= 2;
        for (const auto& m : methods)
            if (!m.args.empty()) simple = false;
        if (simple) {
            for (const auto& m : methods) {
                out += '.';
                out += m.name;
                out += "()";
            }
            return;
        }
        indent_ += kIndentStep;
        for (const auto& m : methods) {
            out += '\n';
            pad();
            out += '.';
            out += m.name;
            list('(', m.args, ')');
        }
        indent_ -= kIndentStep;
    }

    void structure(const Expr& e) {
        out += e.text;
        out += " {";
        indent_ += kIndentStep;
        out += '\n';
        for (std::size_t i = 0; i < e.fields.size(); ++i) {
            pad();
            out += e.fields[i].name;
            out += ": ";
            expr(*e.fields[i].value);
            out += ',';
            if (i + 1 < e.fields.size()) out += '\n';
        }
        indent_ -= kIndentStep;
        out += '\n';
        pad();
        out += '}';
    }
};

}  // namespace

std::size_t estimate(const Expr& e) {
    switch (e.kind) {
        case Expr::Kind::Atom: return e.text.size();
        case Expr::Kind::Call: {
            std::size_t n = e.text.size() + 2 + sum_estimates(e.items);
            for (const auto& m : e.chain) n += m.name.size() + 2 + sum_estimates(m.args);
            return n;
        }
        case Expr::Kind::Some: return 5 + estimate(*e.items.front());
        default: return kLineBudget;
    }
}

bool is_complex(const Expr& e) { return complex_at(e, 0); }

std::string write(const Expr& e) {
    Writer w;
    w.expr(e);
    return std::move(w.out);
}

}  // namespace tarvo::core::fx::dsl

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/fx/dsl.hpp"

namespace {

using namespace tarvo::core;
using namespace tarvo::core::fx;

dsl::ExprPtr linear(std::uint32_t ms) { return dsl::timer(ms, "Linear"); }
dsl::ExprPtr fx_call(const char* name, std::vector<dsl::ExprPtr> args) {
    return dsl::call(std::string("fx::") + name, std::move(args));
}
dsl::ExprPtr dissolve(std::uint32_t ms) { return fx_call("dissolve", {linear(ms)}); }

TEST(FxDsl, FloatTexts) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float value;
        const char* text;
    } cases[] = {
        {1.0f, "1"},        {-3.0f, "-3"},          {-0.0f, "0"},         {100.0f, "100"},
        {0.5f, "0.5"},      {0.25f, "0.25"},        {-0.3f, "-0.3"},      {12.5f, "12.5"},
        {1234.5678f, "1234.5677"}, {0.2f, "0.2"},    {0.000001f, "0.000001"}, {5e-7f, "5e-7"},
        {1.25e-7f, "1.25e-7"}, {1e-45f, "1e-45"},   {0.1f, "0.1"},        {-0.000012f, "-0.000012"},
        {std::nanf(""), "NaN"}, {inf, "inf"},       {-inf, "-inf"},       {1e10f, "10000000000"},
        {16777216.0f, "16777216"}, {-2147483648.0f, "-2147483600"}, {3.4028235e38f, "340282350000000000000000000000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(dsl::float_text(c.value), c.text) << c.text;
}

TEST(FxDsl, ValueTexts) {
    Style full;
    full.fg = Color::named(Color::Red);
    full.bg = Color::rgb(29, 32, 33);
    full.underline_color = Color::named(Color::Blue);  // never written
    full.add_modifier = modifier::BOLD | modifier::CROSSED_OUT;
    full.sub_modifier = modifier::DIM;
    struct Case {
        dsl::ExprPtr expr;
        const char* text;
    } cases[] = {
        {dsl::color(Color::named(Color::DarkGray)), "Color::DarkGray"},
        {dsl::color(Color::named(Color::Reset)), "Color::Reset"},
        {dsl::color(Color::indexed(42)), "Color::Indexed(42)"},
        {dsl::color(Color::rgb(0, 0, 0)), "Color::from_u32(0)"},
        {dsl::color(Color::rgb(255, 127, 63)), "Color::from_u32(16744255)"},
        {dsl::style(Style{}), "Style::new()"},
        {dsl::style(full),
         "Style::new()\n    .fg(Color::Red)\n    .bg(Color::from_u32(1908769))\n    .add_modifier(BOLD)\n"
         "    .add_modifier(CROSSED_OUT)\n    .remove_modifier(DIM)"},
        {dsl::timer(500, "QuadOut"), "EffectTimer::from_ms(500, Interpolation::QuadOut)"},
        {dsl::duration(7), "Duration::from_millis(7)"},
        {dsl::path("RepeatMode", "Forever"), "RepeatMode::Forever"},
        {dsl::call("RepeatMode::Times", {dsl::integer(4294967295)}), "RepeatMode::Times(4294967295)"},
        {dsl::some(dsl::real(0.2f)), "Some(0.2)"},
        {dsl::boolean(false), "false"},
        {dsl::none(), "None"},
        {dsl::integer(-10), "-10"},
        {dsl::array({}), "[]"},
        {dsl::sequence({}), "fx::sequence(&[])"},
        {dsl::call("fx::consume_tick", {}), "fx::consume_tick()"},
        // Two argument-less methods stay on the line; a third breaks the chain.
        {dsl::call_chain("a", {}, {{"b", {}}, {"c", {}}}), "a().b().c()"},
        {dsl::call_chain("a", {}, {{"b", {}}, {"c", {}}, {"d", {}}}), "a()\n    .b()\n    .c()\n    .d()"},
    };
    for (const auto& c : cases) EXPECT_EQ(dsl::write(*c.expr), c.text);
}

TEST(FxDsl, EstimatesAndComplexity) {
    struct Case {
        dsl::ExprPtr expr;
        std::size_t estimate;
        bool complex;
    } cases[] = {
        {dsl::color(Color::named(Color::Red)), 10, false},
        {linear(300), 46, false},
        {linear(1000), 47, false},
        {dsl::call("fx::consume_tick", {}), 18, false},
        {dsl::style(Style{}), 12, false},
        {dsl::duration(250), 26, false},
        {dsl::color(Color::rgb(29, 32, 33)), 24, false},
        {dsl::some(dsl::real(0.5f)), 8, false},
        {dsl::some(dsl::array({dsl::integer(1), dsl::integer(2), dsl::integer(3)})), 85, false},
        {dsl::array({dsl::integer(1), dsl::integer(2), dsl::integer(3), dsl::integer(4)}), 80, true},
        {dsl::sequence({}), 80, true},
        {dsl::structure("Offset", {{"x", dsl::integer(1)}}), 80, true},
        {fx_call("paint", {dsl::color(Color{}), dsl::color(Color{}), linear(1)}), 79, true},
        {dsl::style(Style{}.with_added(modifier::BOLD)), 30, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dsl::estimate(*c.expr), c.estimate) << dsl::write(*c.expr);
        EXPECT_EQ(dsl::is_complex(*c.expr), c.complex) << dsl::write(*c.expr);
    }
    // Nesting past twenty calls counts as complex whatever the calls are.
    dsl::ExprPtr deep = dsl::call("fx::consume_tick", {});
    for (int i = 0; i < 20; ++i) deep = fx_call("run_once", {deep});
    EXPECT_FALSE(dsl::is_complex(*deep));
    EXPECT_TRUE(dsl::is_complex(*fx_call("run_once", {deep})));
}

TEST(FxDsl, Layouts) {
    Style bold;
    bold.fg = Color::named(Color::Red);
    bold.bg = Color::named(Color::Blue);
    bold.add_modifier = modifier::BOLD;
    auto hsl = [](float h, float s, float l) { return dsl::some(dsl::array({dsl::real(h), dsl::real(s), dsl::real(l)})); };
    struct Case {
        const char* name;
        dsl::ExprPtr expr;
        const char* text;
    } cases[] = {
        {"nested lists",
         dsl::sequence({dissolve(100), dsl::parallel({dissolve(200), dissolve(300), fx_call("sleep", {dsl::integer(400)})}),
                        fx_call("repeat", {dissolve(500), dsl::path("RepeatMode", "Forever")})}),
         "fx::sequence(&[\n"
         "    fx::dissolve(EffectTimer::from_ms(100, Interpolation::Linear)),\n"
         "    fx::parallel(&[\n"
         "        fx::dissolve(EffectTimer::from_ms(200, Interpolation::Linear)),\n"
         "        fx::dissolve(EffectTimer::from_ms(300, Interpolation::Linear)),\n"
         "        fx::sleep(400)\n"
         "    ]),\n"
         "    fx::repeat(\n"
         "        fx::dissolve(EffectTimer::from_ms(500, Interpolation::Linear)),\n"
         "        RepeatMode::Forever\n"
         "    )\n"
         "])"},
        {"short list of two effects stays inline",
         dsl::sequence({dissolve(100), fx_call("sleep", {dsl::integer(400)})}),
         "fx::sequence(&[fx::dissolve(EffectTimer::from_ms(100, Interpolation::Linear)), fx::sleep(400)])"},
        {"three long arguments break",
         fx_call("fade_to", {dsl::color(Color::rgb(0, 0, 0)), dsl::color(Color::rgb(0, 0, 0)), dsl::timer(1000, "QuadOut")}),
         "fx::fade_to(\n"
         "    Color::from_u32(0),\n"
         "    Color::from_u32(0),\n"
         "    EffectTimer::from_ms(1000, Interpolation::QuadOut)\n"
         ")"},
        {"a style in a list",
         fx_call("dissolve_to", {dsl::style(bold), dsl::timer(500, "CircOut")}),
         "fx::dissolve_to(\n"
         "    Style::new()\n"
         "        .fg(Color::Red)\n"
         "        .bg(Color::Blue)\n"
         "        .add_modifier(BOLD),\n"
         "    EffectTimer::from_ms(500, Interpolation::CircOut)\n"
         ")"},
        {"an empty style stays inline",
         fx_call("dissolve_to", {dsl::style(Style{}), dsl::timer(100, "SineOut")}),
         "fx::dissolve_to(Style::new(), EffectTimer::from_ms(100, Interpolation::SineOut))"},
        {"options of arrays",
         dsl::call("hsl_shift", {hsl(180, 0.5f, -20), dsl::none(), linear(800)}),
         "hsl_shift(\n"
         "    Some([180, 0.5, -20]),\n"
         "    None,\n"
         "    EffectTimer::from_ms(800, Interpolation::Linear)\n"
         ")"},
        {"a struct",
         fx_call("translate", {fx_call("fade_to_fg", {dsl::color(Color::named(Color::Red)), linear(500)}),
                               dsl::structure("Offset", {{"x", dsl::integer(3)}, {"y", dsl::integer(-2)}}), linear(400)}),
         "fx::translate(\n"
         "    fx::fade_to_fg(Color::Red, EffectTimer::from_ms(500, Interpolation::Linear)),\n"
         "    Offset {\n"
         "        x: 3,\n"
         "        y: -2,\n"
         "    },\n"
         "    EffectTimer::from_ms(400, Interpolation::Linear)\n"
         ")"},
        {"a child that breaks breaks its parent",
         fx_call("ping_pong", {fx_call("lighten", {dsl::none(), dsl::some(dsl::real(0.2f)), linear(100)})}),
         "fx::ping_pong(\n"
         "    fx::lighten(None, Some(0.2), EffectTimer::from_ms(100, Interpolation::Linear))\n"
         ")"},
        {"estimate of 78 fits",
         fx_call("fade_from", {dsl::color(Color::named(Color::Black)), dsl::color(Color::named(Color::Black)),
                               dsl::timer(1000, "CircOut")}),
         "fx::fade_from(Color::Black, Color::Black, EffectTimer::from_ms(1000, Interpolation::CircOut))"},
        {"estimate over the budget",
         fx_call("with_duration",
                 {dsl::duration(1000), fx_call("never_complete", {dissolve(2000)})}),
         "fx::with_duration(\n"
         "    Duration::from_millis(1000),\n"
         "    fx::never_complete(fx::dissolve(EffectTimer::from_ms(2000, Interpolation::Linear)))\n"
         ")"},
    };
    for (const auto& c : cases) EXPECT_EQ(dsl::write(*c.expr), c.text) << c.name;
}

TEST(FxDsl, DeepNestingPastTheLineWidthStaysOnOneLine) {
    // A list too long for any line breaks at the top, but past twenty levels of broken lists
    // the budget wraps around and a list of simple items stays on one line.
    const dsl::ExprPtr tick = dsl::call("fx::consume_tick", {});
    const dsl::ExprPtr wide = dsl::parallel({tick, tick, dissolve(100)});
    const char* flat =
        "fx::parallel(&[fx::consume_tick(), fx::consume_tick(), fx::dissolve(EffectTimer::from_ms(100, "
        "Interpolation::Linear))])";
    EXPECT_EQ(dsl::write(*wide).find('\n') != std::string::npos, true);
    dsl::ExprPtr e = wide;
    for (int i = 0; i < 25; ++i) e = dsl::sequence({e});
    const std::string text = dsl::write(*e);
    EXPECT_NE(text.find(std::string(25 * 4, ' ') + flat + "\n"), std::string::npos) << text;
}

TEST(FxDsl, Errors) {
    struct Case {
        void (*fail)(std::string_view);
        const char* name;
        const char* message;
    } cases[] = {
        {dsl::fail_no_text, "evolve", "The effect 'evolve' cannot be converted to DSL format."},
        {dsl::fail_no_text, "unique", "The effect 'unique' cannot be converted to DSL format."},
        {dsl::fail_not_instantiable, "glitch", "The effect 'glitch' can not be instantiated by the DSL."},
    };
    for (const auto& c : cases) {
        try {
            c.fail(c.name);
            ADD_FAILURE() << "no error";
        } catch (const dsl::DslError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace

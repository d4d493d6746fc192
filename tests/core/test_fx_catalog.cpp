// Every effect behind the constructor functions: names, text forms, stored timers, what they
// draw over a buffer, how the wrappers share out time, and the limits on nesting.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/fade.hpp"
#include "core/fx/effects/paint.hpp"
#include "core/fx/manager.hpp"
#include "core/panic.hpp"
#include "widget_screen.hpp"

using namespace tarvo::core;
using namespace tarvo::core::fx;

namespace {

using I = Interpolation;
const Color kRed = Color::named(Color::Red);
const Color kBlue = Color::named(Color::Blue);
const Color kBlack = Color::named(Color::Black);
const Color kCyan = Color::named(Color::Cyan);

EffectTimer ms(std::uint32_t t, I curve = I::Linear) { return EffectTimer::from_ms(t, curve); }
Effect dis(std::uint32_t t, I curve = I::Linear) { return dissolve(std::nullopt, ms(t, curve)); }

Style style_of(std::optional<Color> fg, std::optional<Color> bg, std::uint16_t add = 0) {
    Style s;
    s.fg = fg;
    s.bg = bg;
    s.add_modifier = add;
    return s;
}

std::string text(const Effect& e) {
    try {
        return e.dsl_text();
    } catch (const dsl::DslError& err) {
        return std::string("error: ") + err.what();
    }
}

// One row of "abcdef" on grey-on-dark Rgb colours, width 6.
Buffer row_buffer(std::uint16_t height = 1) {
    Buffer b = Buffer::empty(Rect{0, 0, 6, height});
    for (std::uint16_t y = 0; y < height; ++y)
        for (std::uint16_t x = 0; x < 6; ++x) {
            Cell& c = *b.cell_at(x, y);
            c.set_char(static_cast<char>('a' + x));
            c.fg = Color::rgb(100, 100, 100);
            c.bg = Color::rgb(200, 100, 0);
        }
    return b;
}

Buffer run(Effect e, std::vector<std::uint32_t> steps, Buffer b = row_buffer()) {
    for (std::uint32_t s : steps) e.process(s, b, b.area);
    return b;
}

TEST(FxCatalog, NamesAndTexts) {
    Style bold = style_of(kRed, kBlue, modifier::BOLD);
    struct Row {
        std::function<Effect()> make;
        const char* name;
        const char* text;
    };
    const Row rows[] = {
        {[] { return paint(kRed, kBlue, ms(300)); }, "paint",
         "fx::paint(Color::Red, Color::Blue, EffectTimer::from_ms(300, Interpolation::Linear))"},
        {[] { return paint(kRed, std::nullopt, ms(300)); }, "paint_fg",
         "fx::paint_fg(Color::Red, EffectTimer::from_ms(300, Interpolation::Linear))"},
        {[] { return paint(kRed, Color::rgb(29, 32, 33), ms(300)); }, "paint",
         "fx::paint(\n    Color::Red,\n    Color::from_u32(1908769),\n"
         "    EffectTimer::from_ms(300, Interpolation::Linear)\n)"},
        {[] { return fade_to(Color::rgb(0, 0, 0), std::nullopt, ms(1000, I::QuadOut)); }, "fade_to",
         "fx::fade_to_fg(Color::from_u32(0), EffectTimer::from_ms(1000, Interpolation::QuadOut))"},
        {[] { return fade_from(Color::rgb(0, 0, 0), std::nullopt, ms(1000, I::QuadOut)); }, "fade_from",
         "fx::fade_from_fg(Color::from_u32(0), EffectTimer::from_ms(1000, Interpolation::QuadOut))"},
        {[] { return fade_from(kBlack, kBlack, ms(1000, I::CircOut)); }, "fade_from",
         "fx::fade_from(Color::Black, Color::Black, EffectTimer::from_ms(1000, Interpolation::CircOut))"},
        {[] { return lighten(0.5f, std::nullopt, ms(1000)); }, "lighten_fg",
         "fx::lighten_fg(0.5, EffectTimer::from_ms(1000, Interpolation::Linear))"},
        {[] { return lighten(2.5f, std::nullopt, ms(100)); }, "lighten_fg",
         "fx::lighten_fg(1, EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return lighten(std::nullopt, 0.2f, ms(100)); }, "lighten_bg",
         "fx::lighten(None, Some(0.2), EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return darken(0.25f, std::nullopt, ms(100)); }, "darken_fg",
         "fx::darken_fg(0.25, EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return darken(std::nullopt, 3.0f, ms(100)); }, "darken_bg",
         "fx::darken(None, Some(1), EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return darken(0.6f, 0.4f, ms(500, I::QuadOut)); }, "darken",
         "fx::darken(Some(0.6), Some(0.4), EffectTimer::from_ms(500, Interpolation::QuadOut))"},
        {[] { return lighten(0.5f, -0.3f, ms(100)); }, "darken",
         "fx::darken(Some(0.5), Some(0.3), EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return lighten(0.5f, 0.3f, ms(100)); }, "lighten",
         "fx::lighten(Some(0.5), Some(0.3), EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return lighten(-0.3f, std::nullopt, ms(100)); }, "darken_fg",
         "fx::darken_fg(0.3, EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return darken(0.0f, std::nullopt, ms(100)); }, "lighten_fg",
         "fx::lighten_fg(0, EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return saturate(3.0f, std::nullopt, ms(100)); }, "saturate_fg",
         "fx::saturate_fg(3, EffectTimer::from_ms(100, Interpolation::Linear))"},
        {[] { return saturate(std::nullopt, -0.5f, ms(1000)); }, "saturate_bg",
         "fx::saturate(None, Some(-0.5), EffectTimer::from_ms(1000, Interpolation::Linear))"},
        {[] { return saturate(-1.0f, -1.0f, ms(1000)); }, "saturate",
         "fx::saturate(Some(-1), Some(-1), EffectTimer::from_ms(1000, Interpolation::Linear))"},
        {[] { return hsl_shift(HslShift{120, 25, -10}, std::nullopt, ms(1000)); }, "hsl_shift",
         "hsl_shift(\n    Some([120, 25, -10]),\n    None,\n    EffectTimer::from_ms(1000, Interpolation::Linear)\n)"},
        {[] { return hsl_shift(std::nullopt, HslShift{180, 0.5f, -20}, ms(800, I::SineInOut)); }, "hsl_shift",
         "hsl_shift(\n    None,\n    Some([180, 0.5, -20]),\n    EffectTimer::from_ms(800, Interpolation::SineInOut)\n)"},
        {[] { return dis(1000); }, "dissolve", "fx::dissolve(EffectTimer::from_ms(1000, Interpolation::Linear))"},
        {[] { return coalesce(std::nullopt, ms(500, I::QuadOut)); }, "coalesce",
         "fx::coalesce(EffectTimer::from_ms(500, Interpolation::QuadOut))"},
        {[] { return dissolve(Style{}, ms(100, I::SineOut)); }, "dissolve_to",
         "fx::dissolve_to(Style::new(), EffectTimer::from_ms(100, Interpolation::SineOut))"},
        {[] { return coalesce(Style{}, ms(1000)); }, "coalesce_from",
         "fx::coalesce_from(Style::new(), EffectTimer::from_ms(1000, Interpolation::Linear))"},
        {[bold] { return dissolve(bold, ms(500, I::CircOut)); }, "dissolve_to",
         "fx::dissolve_to(\n    Style::new()\n        .fg(Color::Red)\n        .bg(Color::Blue)\n        .add_modifier(BOLD),\n"
         "    EffectTimer::from_ms(500, Interpolation::CircOut)\n)"},
        {[] { return slide_in(Motion::LeftToRight, 10, 5, Color::rgb(0, 0, 0), ms(1000)); }, "slide_in",
         "fx::slide_in(\n    Motion::LeftToRight,\n    10,\n    5,\n    Color::from_u32(0),\n"
         "    EffectTimer::from_ms(1000, Interpolation::Linear)\n)"},
        {[] { return slide_in(Motion::RightToLeft, 2, 0, kBlack, ms(300, I::QuadOut)); }, "slide_in",
         "fx::slide_in(\n    Motion::RightToLeft,\n    2,\n    0,\n    Color::Black,\n"
         "    EffectTimer::from_ms(300, Interpolation::QuadIn)\n)"},
        {[] { return slide_out(Motion::DownToUp, 2, 0, kBlack, ms(300, I::QuadOut)); }, "slide_out",
         "fx::slide_out(\n    Motion::DownToUp,\n    2,\n    0,\n    Color::Black,\n"
         "    EffectTimer::from_ms(300, Interpolation::QuadOut)\n)"},
        {[] { return sweep_in(Motion::UpToDown, 15, 5, kCyan, ms(2000, I::QuadOut)); }, "sweep_in",
         "fx::sweep_in(\n    Motion::UpToDown,\n    15,\n    5,\n    Color::Cyan,\n"
         "    EffectTimer::from_ms(2000, Interpolation::QuadOut)\n)"},
        {[] { return sweep_out(Motion::LeftToRight, 15, 5, kCyan, ms(2000, I::QuadOut)); }, "sweep_out",
         "fx::sweep_out(\n    Motion::LeftToRight,\n    15,\n    5,\n    Color::Cyan,\n"
         "    EffectTimer::from_ms(2000, Interpolation::QuadOut)\n)"},
        {[] { return sweep_out(Motion::DownToUp, 1, 0, kCyan, ms(20, I::BackIn)); }, "sweep_out",
         "fx::sweep_out(\n    Motion::DownToUp,\n    1,\n    0,\n    Color::Cyan,\n"
         "    EffectTimer::from_ms(20, Interpolation::BackIn)\n)"},
        {[] { return sequence({dis(100), parallel({dis(200), dis(300), sleep_effect(400)}), repeat(dis(500), {})}); },
         "sequence",
         "fx::sequence(&[\n    fx::dissolve(EffectTimer::from_ms(100, Interpolation::Linear)),\n    fx::parallel(&[\n"
         "        fx::dissolve(EffectTimer::from_ms(200, Interpolation::Linear)),\n"
         "        fx::dissolve(EffectTimer::from_ms(300, Interpolation::Linear)),\n        fx::sleep(400)\n    ]),\n"
         "    fx::repeat(\n        fx::dissolve(EffectTimer::from_ms(500, Interpolation::Linear)),\n"
         "        RepeatMode::Forever\n    )\n])"},
        {[] { return parallel({consume_tick(), consume_tick()}); }, "parallel",
         "fx::parallel(&[fx::consume_tick(), fx::consume_tick()])"},
        {[] { return sequence({}); }, "sequence", "fx::sequence(&[])"},
        {[] { return repeat(consume_tick(), {RepeatMode::Times, 2}); }, "repeat",
         "fx::repeat(fx::consume_tick(), RepeatMode::Times(2))"},
        {[] { return repeat(consume_tick(), {RepeatMode::Duration, 1}); }, "repeat",
         "fx::repeat(fx::consume_tick(), RepeatMode::Duration(Duration::from_millis(1)))"},
        {[] { return repeat(fade_to(kRed, std::nullopt, ms(1000)), {}); }, "repeat",
         "fx::repeat(\n    fx::fade_to_fg(Color::Red, EffectTimer::from_ms(1000, Interpolation::Linear)),\n"
         "    RepeatMode::Forever\n)"},
        {[] { return run_once(consume_tick()); }, "run_once", "fx::run_once(fx::consume_tick())"},
        {[] { return never_complete(consume_tick()); }, "never_complete", "fx::never_complete(fx::consume_tick())"},
        {[] { return ping_pong(coalesce(std::nullopt, ms(1500, I::QuintIn))); }, "ping_pong",
         "fx::ping_pong(fx::coalesce(EffectTimer::from_ms(1500, Interpolation::QuintIn)))"},
        {[] { return ping_pong(lighten(std::nullopt, 0.2f, ms(100))); }, "ping_pong",
         "fx::ping_pong(\n    fx::lighten(None, Some(0.2), EffectTimer::from_ms(100, Interpolation::Linear))\n)"},
        {[] { return freeze_at(0.5f, false, dis(1000)); }, "freeze_at",
         "fx::freeze_at(0.5, false, fx::dissolve(EffectTimer::from_ms(1000, Interpolation::Linear)))"},
        {[] { return freeze_at(1.7f, true, dis(1000)); }, "freeze_at",
         "fx::freeze_at(1, true, fx::dissolve(EffectTimer::from_ms(1000, Interpolation::Linear)))"},
        {[] { return remap_alpha(-0.5f, 2.0f, dis(1000)); }, "remap_alpha",
         "fx::remap_alpha(0, 1, fx::dissolve(EffectTimer::from_ms(1000, Interpolation::Linear)))"},
        {[] { return remap_alpha(0.8f, 0.2f, dis(1000)); }, "remap_alpha",
         "fx::remap_alpha(0.8, 0.2, fx::dissolve(EffectTimer::from_ms(1000, Interpolation::Linear)))"},
        {[] { return sleep_effect(1000); }, "sleep", "fx::sleep(1000)"},
        {[] { return delay(250, fade_to(kRed, std::nullopt, ms(500))); }, "sequence",
         "fx::sequence(&[\n    fx::sleep(250),\n"
         "    fx::fade_to_fg(Color::Red, EffectTimer::from_ms(500, Interpolation::Linear))\n])"},
        {[] { return prolong_start(100, consume_tick()); }, "prolong_start",
         "fx::prolong_start(EffectTimer::from_ms(100, Interpolation::Linear), fx::consume_tick())"},
        {[] { return prolong_end(100, consume_tick()); }, "prolong_end",
         "fx::prolong_end(EffectTimer::from_ms(100, Interpolation::Linear), fx::consume_tick())"},
        {[] { return with_duration(1000, sleep_effect(100)); }, "with_duration",
         "fx::with_duration(Duration::from_millis(1000), fx::sleep(100))"},
        {[] { return timed_never_complete(1000, dis(2000)); }, "with_duration",
         "fx::with_duration(\n    Duration::from_millis(1000),\n"
         "    fx::never_complete(fx::dissolve(EffectTimer::from_ms(2000, Interpolation::Linear)))\n)"},
        {[] { return consume_tick(); }, "consume_tick", "fx::consume_tick()"},
        {[] { return resize_area(std::nullopt, Size{2, 2}, ms(100)); }, "resize_area",
         "error: The effect 'resize_area' can not be instantiated by the DSL."},
        {[] { return resize_area(dis(5), Size{2, 2}, ms(100)); }, "resize_area",
         "error: The effect 'resize_area' can not be instantiated by the DSL."},
        {[] { return evolve(EvolveForm::Plain, EvolveSymbolSet::Shaded, ms(100), std::nullopt); }, "evolve",
         "error: The effect 'evolve' cannot be converted to DSL format."},
        {[] { return evolve(EvolveForm::Into, EvolveSymbolSet::Circles, ms(100), Style{}); }, "evolve_into",
         "error: The effect 'evolve_into' cannot be converted to DSL format."},
        {[] { return evolve(EvolveForm::From, EvolveSymbolSet::Squares, ms(100), std::nullopt); }, "evolve_from",
         "error: The effect 'evolve_from' cannot be converted to DSL format."},
        {[] { return expand(ExpandDirection::Horizontal, style_of(std::nullopt, kCyan), ms(1000)); }, "Expand",
         "fx::expand(\n    ExpandDirection::Horizontal,\n    Style::new()\n        .bg(Color::Cyan),\n"
         "    EffectTimer::from_ms(1000, Interpolation::Linear)\n)"},
        {[] { return stretch(Motion::LeftToRight, Style{}, ms(300)); }, "stretch",
         "fx::stretch(\n    Motion::LeftToRight,\n    Style::new(),\n    EffectTimer::from_ms(300, Interpolation::Linear)\n)"},
        {[] { return explode(2.0f, 0.5f, ms(800)); }, "explode",
         "fx::explode(EffectTimer::from_ms(800, Interpolation::Linear), 2, 0.5)"},
        {[] { return explode(1e10f, 2.0f, ms(1000, I::QuadOut)); }, "explode",
         "fx::explode(EffectTimer::from_ms(1000, Interpolation::QuadOut), 10000000000, 2)"},
        {[] { return glitch(0.3f, 0, 100, 50, 200, std::nullopt, Rng(7)); }, "glitch",
         "error: The effect 'glitch' can not be instantiated by the DSL."},
        {[] { return translate(fade_to(kRed, std::nullopt, ms(500)), 3.0f, -2.0f, ms(400)); }, "translate_by",
         "fx::translate(\n    fx::fade_to_fg(Color::Red, EffectTimer::from_ms(500, Interpolation::Linear)),\n"
         "    Offset {\n        x: 3,\n        y: -2,\n    },\n    EffectTimer::from_ms(400, Interpolation::Linear)\n)"},
        // A child without a text form fails its parent with its own error.
        {[] { return sequence({dis(5), glitch(1, 0, 1, 1, 2, std::nullopt, Rng(1))}); }, "sequence",
         "error: The effect 'glitch' can not be instantiated by the DSL."},
        {[] { return repeat(evolve(EvolveForm::Plain, EvolveSymbolSet::Shaded, ms(1), std::nullopt), {}); }, "repeat",
         "error: The effect 'evolve' cannot be converted to DSL format."},
        {[] {
             EffectManager m(Rng(1));
             return never_complete(m.unique("k", dis(5)));
         },
         "never_complete", "error: The effect 'unique' cannot be converted to DSL format."},
    };
    for (const Row& row : rows) {
        const Effect e = row.make();
        EXPECT_EQ(e.name(), row.name) << row.text;
        EXPECT_EQ(text(e), row.text);
    }
}

TEST(FxCatalog, TextAfterReversalAndRunning) {
    struct Row {
        std::function<Effect()> make;
        std::vector<std::uint32_t> steps;
        bool reverse;
        const char* name;
        const char* text;
    };
    const Row rows[] = {
        {[] { return fade_to(kRed, std::nullopt, ms(500, I::QuadIn)); }, {}, true, "fade_from",
         "fx::fade_from_fg(Color::Red, EffectTimer::from_ms(500, Interpolation::QuadOut))"},
        {[] { return dis(300); }, {}, true, "coalesce", "fx::coalesce(EffectTimer::from_ms(300, Interpolation::Linear))"},
        {[] { return paint(kRed, std::nullopt, ms(300, I::CubicIn)); }, {}, true, "paint_fg",
         "fx::paint_fg(Color::Red, EffectTimer::from_ms(300, Interpolation::CubicOut))"},
        {[] { return sweep_in(Motion::LeftToRight, 1, 0, kCyan, ms(20)); }, {}, true, "sweep_out",
         "fx::sweep_out(\n    Motion::LeftToRight,\n    1,\n    0,\n    Color::Cyan,\n"
         "    EffectTimer::from_ms(20, Interpolation::Linear)\n)"},
        {[] { return slide_in(Motion::UpToDown, 1, 0, kCyan, ms(20, I::QuadIn)); }, {}, true, "slide_out",
         "fx::slide_out(\n    Motion::DownToUp,\n    1,\n    0,\n    Color::Cyan,\n"
         "    EffectTimer::from_ms(20, Interpolation::QuadIn)\n)"},
        // A reversed sequence lists its children backwards, each reversed.
        {[] { return sequence({dis(100), sleep_effect(20)}); }, {}, true, "sequence",
         "fx::sequence(&[fx::sleep(20), fx::coalesce(EffectTimer::from_ms(100, Interpolation::Linear))])"},
        {[] { return parallel({dis(100), sleep_effect(20)}); }, {}, true, "parallel",
         "fx::parallel(&[fx::coalesce(EffectTimer::from_ms(100, Interpolation::Linear)), fx::sleep(20)])"},
        // Counts and durations left are what the text shows.
        {[] { return repeat(sleep_effect(10), {RepeatMode::Times, 3}); }, {15}, false, "repeat",
         "fx::repeat(fx::sleep(10), RepeatMode::Times(2))"},
        {[] { return repeat(sleep_effect(10), {RepeatMode::Duration, 100}); }, {30}, false, "repeat",
         "fx::repeat(fx::sleep(10), RepeatMode::Duration(Duration::from_millis(70)))"},
        // After turning, a ping-pong holds its child reversed.
        {[] { return ping_pong(dis(10)); }, {15}, false, "ping_pong",
         "fx::ping_pong(fx::coalesce(EffectTimer::from_ms(10, Interpolation::Linear)))"},
    };
    for (const Row& row : rows) {
        Effect e = row.make();
        Buffer b = row_buffer();
        for (std::uint32_t s : row.steps) e.process(s, b, b.area);
        if (row.reverse) e.reverse();
        EXPECT_EQ(e.name(), row.name) << row.text;
        EXPECT_EQ(text(e), row.text);
    }
}

TEST(FxCatalog, StoredTimers) {
    struct Row {
        const char* what;
        Effect e;
        std::optional<EffectTimer> want;
    };
    auto rev = [](EffectTimer t) {
        t.reversed = true;
        return t;
    };
    const Row rows[] = {
        {"lighten as given", lighten(0.2f, std::nullopt, ms(300, I::QuadIn)), ms(300, I::QuadIn)},
        {"dissolve as given", dis(300), ms(300)},
        {"coalesce mirrored", coalesce(std::nullopt, ms(300, I::QuadIn)), rev(ms(300, I::QuadOut))},
        {"slide_out LeftToRight", slide_out(Motion::LeftToRight, 1, 0, kRed, ms(300, I::QuadIn)), ms(300, I::QuadIn)},
        {"slide_out RightToLeft", slide_out(Motion::RightToLeft, 1, 0, kRed, ms(300, I::QuadIn)), rev(ms(300, I::QuadOut))},
        {"slide_in LeftToRight", slide_in(Motion::LeftToRight, 1, 0, kRed, ms(300, I::QuadIn)), ms(300, I::QuadOut)},
        {"slide_in DownToUp", slide_in(Motion::DownToUp, 1, 0, kRed, ms(300, I::QuadIn)), rev(ms(300, I::QuadIn))},
        {"sweep_in UpToDown", sweep_in(Motion::UpToDown, 1, 0, kRed, ms(300, I::QuadIn)), ms(300, I::QuadIn)},
        {"sweep_in DownToUp", sweep_in(Motion::DownToUp, 1, 0, kRed, ms(300, I::QuadIn)), rev(ms(300, I::QuadOut))},
        {"sweep_out UpToDown", sweep_out(Motion::UpToDown, 1, 0, kRed, ms(300, I::QuadIn)), rev(ms(300, I::QuadOut))},
        {"sweep_out RightToLeft", sweep_out(Motion::RightToLeft, 1, 0, kRed, ms(300, I::QuadIn)), ms(300, I::QuadIn)},
        {"stretch", stretch(Motion::UpToDown, Style{}, ms(300)), ms(300)},
        {"expand reports none", expand(ExpandDirection::Vertical, Style{}, ms(300)), std::nullopt},
        {"glitch reports none", glitch(0.3f, 0, 100, 50, 200, std::nullopt, Rng(1)), std::nullopt},
        {"translate", translate(dis(5), 1, 1, ms(40, I::SineIn)), ms(40, I::SineIn)},
        {"sequence sums", sequence({dis(100), consume_tick(), sleep_effect(50)}), ms(150)},
        {"empty sequence none", sequence({}), std::nullopt},
        {"parallel longest", parallel({dis(100), sleep_effect(250)}), ms(250)},
        {"repeat times", repeat(dis(100), {RepeatMode::Times, 3}), ms(300)},
        {"repeat times saturates", repeat(dis(4000000), {RepeatMode::Times, 4000000}), ms(4294967295u)},
        {"repeat duration", repeat(dis(100), {RepeatMode::Duration, 250}), ms(250)},
        {"repeat forever", repeat(dis(100, I::QuadIn), {}), ms(100, I::QuadIn)},
        {"ping-pong doubles", ping_pong(dis(100)), ms(200)},
        {"prolong adds", prolong_end(50, dis(100)), ms(150)},
        {"freeze reports its child's", freeze_at(0.5f, false, dis(100)), ms(100)},
        {"remap copies its child's", remap_alpha(0.2f, 0.8f, coalesce(std::nullopt, ms(100))), rev(ms(100))},
        {"remap of a timerless child", remap_alpha(0.2f, 0.8f, consume_tick()), ms(0)},
        {"with duration", with_duration(70, dis(100)), ms(70)},
        {"never complete none", never_complete(dis(100)), std::nullopt},
        {"run once none", run_once(dis(100)), std::nullopt},
        {"sleep", sleep_effect(40), ms(40)},
        {"resize", resize_area(std::nullopt, Size{1, 1}, ms(40, I::BounceIn)), ms(40, I::BounceIn)},
    };
    for (const Row& row : rows) EXPECT_EQ(row.e.timer(), row.want) << row.what;
}

TEST(FxCatalog, RefusalsAndLimits) {
    EXPECT_THROW(lighten(std::nullopt, std::nullopt, ms(1)), Panic);
    EXPECT_THROW(darken(std::nullopt, std::nullopt, ms(1)), Panic);
    EXPECT_THROW(saturate(std::nullopt, std::nullopt, ms(1)), Panic);
    EXPECT_THROW(hsl_shift(std::nullopt, std::nullopt, ms(1)), Panic);
    EXPECT_EQ(glitch_range_error(0, 1, 1, 2), std::nullopt);
    EXPECT_EQ(glitch_range_error(5, 5, 1, 2), "action_start_delay_min_ms must be less than action_start_delay_max_ms");
    EXPECT_EQ(glitch_range_error(0, 1, 3, 2), "action_min_ms must be less than action_max_ms");

    Effect e = consume_tick();
    for (std::uint32_t i = 1; i < kMaxNesting; ++i) {
        ASSERT_EQ(nesting_error({&e}), std::nullopt) << i;
        e = (i % 3 == 0) ? never_complete(std::move(e)) : (i % 3 == 1) ? run_once(std::move(e)) : repeat(std::move(e), {});
    }
    EXPECT_EQ(e.shader().depth(), kMaxNesting);
    EXPECT_EQ(nesting_error({&e}), "effects cannot be nested more than 1000 deep");
    // As deep as allowed, it still copies, runs and writes out.
    Effect copy = e;
    Buffer b = row_buffer();
    copy.process(10, b, b.area);
    EXPECT_NE(text(copy).find("fx::consume_tick()"), std::string::npos);

    Effect wide = sleep_effect(1);
    for (int i = 0; i < 9; ++i) wide = sequence({wide, wide});
    EXPECT_EQ(wide.shader().node_count(), 1023u);
    EXPECT_EQ(wide.shader().depth(), 10u);
    std::vector<const Effect*> many(1024, &wide);
    EXPECT_EQ(nesting_error(many), std::nullopt);
    many.resize(1026, &wide);
    EXPECT_EQ(nesting_error(many), "an effect cannot hold more than 1048576 effects");
}


// ---- what the effects draw ----

struct CellCheck {
    std::uint16_t x;
    std::optional<Color> fg, bg;
};

TEST(FxCatalog, CellsOverABuffer) {
    const Color grey = Color::rgb(100, 100, 100), rust = Color::rgb(200, 100, 0);
    const Style on_blue = style_of(std::nullopt, kBlue);
    struct Row {
        const char* what;
        std::function<Effect()> make;
        std::vector<std::uint32_t> steps;
        const char* symbols;
        std::vector<CellCheck> cells;
    };
    const Row rows[] = {
        {"lighten fg half way", [] { return lighten(0.5f, std::nullopt, ms(100)); }, {50}, "abcdef",
         {{0, Color::rgb(138, 138, 138), rust}}},
        {"lighten fg at the end", [] { return lighten(0.5f, std::nullopt, ms(100)); }, {100}, "abcdef",
         {{5, Color::rgb(177, 177, 177), rust}}},
        {"darken bg", [] { return darken(std::nullopt, 0.5f, ms(100)); }, {100}, "abcdef",
         {{2, grey, Color::rgb(100, 50, 0)}}},
        {"saturate bg to grey", [] { return saturate(std::nullopt, -1.0f, ms(100)); }, {100}, "abcdef",
         {{1, grey, Color::rgb(118, 118, 118)}}},
        {"hsl shift of the hue", [] { return hsl_shift(std::nullopt, HslShift{120, 0, 0}, ms(100)); }, {100}, "abcdef",
         {{0, grey, Color::rgb(0, 200, 100)}}},
        {"hsl shift at the start keeps the colour as Rgb",
         [] { return hsl_shift(HslShift{120, 0, 0}, std::nullopt, ms(100)); }, {0}, "abcdef",
         {{0, grey, rust}}},
        {"dissolve at the end", [] { return dis(100); }, {100}, "      ", {{0, grey, rust}}},
        {"dissolve to a style", [on_blue] { return dissolve(on_blue, ms(100)); }, {100}, "      ", {{3, grey, kBlue}}},
        {"coalesce at the end", [] { return coalesce(std::nullopt, ms(100)); }, {100}, "abcdef", {}},
        {"coalesce at the start", [] { return coalesce(std::nullopt, ms(100)); }, {0}, "      ", {}},
        {"slide out half way", [] { return slide_out(Motion::LeftToRight, 2, 0, kBlue, ms(100)); }, {50},
         "   \u258Cef", {{0, rust, kBlue}, {3, rust, kBlue}, {4, grey, rust}}},
        {"slide out at the end", [] { return slide_out(Motion::LeftToRight, 2, 0, kBlue, ms(100)); }, {100},
         "      ", {{5, rust, kBlue}}},
        {"slide in at the start", [] { return slide_in(Motion::LeftToRight, 2, 0, kBlue, ms(100)); }, {0},
         "      ", {{5, rust, kBlue}}},
        {"slide in at the end", [] { return slide_in(Motion::LeftToRight, 2, 0, kBlue, ms(100)); }, {100},
         "abcdef", {{0, grey, rust}}},
        {"slide without a gradient", [] { return slide_out(Motion::RightToLeft, 0, 0, kBlue, ms(100)); }, {50},
         "abc\u2588  ", {{2, grey, rust}, {3, rust, kBlue}}},
        {"sweep in half way", [] { return sweep_in(Motion::LeftToRight, 2, 0, kBlue, ms(100)); }, {50}, "abcdef",
         {{2, grey, rust}, {4, kBlue, kBlue}}},
        {"sweep in at the end", [] { return sweep_in(Motion::LeftToRight, 2, 0, kBlue, ms(100)); }, {100}, "abcdef",
         {{5, grey, rust}}},
        {"sweep out ends faded", [] { return sweep_out(Motion::LeftToRight, 2, 0, kBlue, ms(100)); }, {100}, "abcdef",
         {{0, kBlue, kBlue}, {5, kBlue, kBlue}}},
        {"sweep out starts clear", [] { return sweep_out(Motion::RightToLeft, 2, 0, kBlue, ms(100)); }, {0}, "abcdef",
         {{0, grey, rust}}},
        {"stretch half way", [on_blue] { return stretch(Motion::LeftToRight, on_blue, ms(100)); }, {50},
         "   \u258F  ", {{0, kBlue, rust}, {3, grey, kBlue}, {5, grey, kBlue}}},
        {"stretch at the end", [on_blue] { return stretch(Motion::LeftToRight, on_blue, ms(100)); }, {100}, "      ",
         {{2, kBlue, rust}}},
        {"expand half way", [on_blue] { return expand(ExpandDirection::Horizontal, on_blue, ms(100)); }, {50},
         " \u258C  \u258B ", {{0, grey, kBlue}, {1, kBlue, rust}, {3, kBlue, rust}, {4, grey, kBlue}}},
        {"evolve half way", [] { return evolve(EvolveForm::Plain, EvolveSymbolSet::Shaded, ms(100), std::nullopt); },
         {50}, "\u2592\u2592\u2592\u2592\u2592\u2592", {}},
        {"evolve at the end", [] { return evolve(EvolveForm::Plain, EvolveSymbolSet::Circles, ms(100), std::nullopt); },
         {100}, "\u25CF\u25CF\u25CF\u25CF\u25CF\u25CF", {}},
        {"evolve into leaves the end alone",
         [on_blue] { return evolve(EvolveForm::Into, EvolveSymbolSet::Shaded, ms(100), on_blue); }, {100}, "abcdef",
         {{0, grey, rust}}},
        {"evolve from leaves the start alone",
         [] { return evolve(EvolveForm::From, EvolveSymbolSet::Shaded, ms(100), std::nullopt); }, {0}, "abcdef", {}},
        {"evolve with a style", [on_blue] { return evolve(EvolveForm::Plain, EvolveSymbolSet::Squares, ms(100), on_blue); },
         {100}, "\u2588\u2588\u2588\u2588\u2588\u2588", {{0, grey, kBlue}}},
        {"translate at the end", [] { return translate(paint(std::nullopt, kBlue, ms(100)), 4, 0, ms(100)); }, {100},
         "abcdef", {{3, grey, rust}, {4, grey, kBlue}, {5, grey, kBlue}}},
        {"translate half way", [] { return translate(paint(std::nullopt, kBlue, ms(100)), 4, 0, ms(100)); }, {50},
         "abcdef", {{1, grey, rust}, {2, grey, kBlue}}},
        {"translate off the buffer", [] { return translate(paint(std::nullopt, kBlue, ms(100)), 9, 0, ms(100)); },
         {100}, "abcdef", {{5, grey, rust}}},
        {"resize area first step", [] { return resize_area(paint(std::nullopt, kBlue, ms(100)), Size{2, 1}, ms(100)); },
         {50}, "ab  ef", {{1, grey, rust}, {2, Color{}, kBlue}}},
        {"resize area grows", [] { return resize_area(paint(std::nullopt, kBlue, ms(100)), Size{2, 1}, ms(100)); },
         {50, 10}, "a    f", {{1, Color{}, kBlue}, {5, grey, rust}}},
        {"freeze holds one minus alpha", [] { return freeze_at(0.25f, false, lighten(1.0f, std::nullopt, ms(100))); },
         {10}, "abcdef", {{0, Color::rgb(216, 216, 216), rust}}},
        {"remap starts at its start", [] { return remap_alpha(0.5f, 1.0f, lighten(1.0f, std::nullopt, ms(100))); },
         {0}, "abcdef", {{0, Color::rgb(177, 177, 177), rust}}},
        {"explode at the end blackens every background", [] { return explode(2, 0.5f, ms(100)); }, {100}, nullptr,
         {{0, std::nullopt, kBlack}, {2, std::nullopt, kBlack}, {5, std::nullopt, kBlack}}},
        {"sequence draws its current part",
         [] { return sequence({paint(std::nullopt, kRed, ms(10)), paint(std::nullopt, kBlue, ms(10))}); }, {15},
         "abcdef", {{0, grey, kBlue}}},
        {"parallel draws in list order",
         [] { return parallel({paint(std::nullopt, kRed, ms(10)), paint(kBlue, std::nullopt, ms(20))}); }, {5},
         "abcdef", {{0, kBlue, kRed}}},
    };
    for (const Row& row : rows) {
        const Buffer b = run(row.make(), row.steps);
        if (row.symbols) {
            EXPECT_EQ(widget_test::rows(b)[0], row.symbols) << row.what;
        }
        for (const CellCheck& c : row.cells) {
            const Cell& cell = *b.cell_at(c.x, 0);
            if (c.fg) {
                EXPECT_TRUE(color_equal(cell.fg, *c.fg)) << row.what << " fg at " << c.x;
            }
            if (c.bg) {
                EXPECT_TRUE(color_equal(cell.bg, *c.bg)) << row.what << " bg at " << c.x;
            }
        }
    }
}

// Random effects draw the same cells from the same seed, and different ones from another.
TEST(FxCatalog, SeededEffectsRepeat) {
    struct Row {
        const char* what;
        std::function<Effect()> make;
        std::vector<std::uint32_t> steps;
    };
    const Row rows[] = {
        {"dissolve", [] { return dis(100); }, {40}},
        {"coalesce from", [] { return coalesce(style_of(kRed, std::nullopt), ms(100)); }, {30, 20}},
        {"slide", [] { return slide_in(Motion::UpToDown, 2, 3, kBlue, ms(100)); }, {50}},
        {"sweep", [] { return sweep_out(Motion::RightToLeft, 1, 4, kBlue, ms(100)); }, {30}},
        {"explode from the centre",
         [] {
             Effect e = explode(1, 2, ms(100));
             e.set_pattern(Pattern::of(RadialPattern::center()));
             return e;
         },
         {50}},
        {"glitch", [] { return glitch(0.5f, 0, 20, 50, 100, std::nullopt, Rng(3)); }, {10, 15, 30}},
    };
    auto dump = [](const Buffer& b) {
        std::string out;
        for (const Cell& c : b.content) out += std::string(c.symbol.text()) + color_repr(c.fg) + color_repr(c.bg) + ";";
        return out;
    };
    for (const Row& row : rows) {
        Effect a = row.make(), b = row.make(), other = row.make();
        a.set_rng(Rng(7));
        b.set_rng(Rng(7));
        other.set_rng(Rng(8));
        const std::string first = dump(run(a, row.steps, row_buffer(5)));
        EXPECT_EQ(first, dump(run(b, row.steps, row_buffer(5)))) << row.what;
        EXPECT_NE(first, dump(run(other, row.steps, row_buffer(5)))) << row.what;
        EXPECT_NE(first, dump(row_buffer(5))) << row.what;
    }
}

TEST(FxCatalog, GlitchCells) {
    // Every glitching cell either swaps the case of its letter or moves its byte by under ten.
    Effect g = glitch(1.0f, 0, 1, 1000, 1001, std::nullopt, Rng(11));
    const Buffer b = run(g, {5}, row_buffer(4));
    int changed = 0;
    for (std::uint16_t y = 0; y < 4; ++y)
        for (std::uint16_t x = 0; x < 6; ++x) {
            const std::string_view s = b.cell_at(x, y)->symbol.text();
            ASSERT_EQ(s.size(), 1u);  // the letters stay within ASCII
            ASSERT_GE(s[0], ' ');
            changed += s[0] != 'a' + x;
        }
    EXPECT_GT(changed, 0);
    // A filter limits it, an area past the buffer and absurd ratios are harmless.
    Effect only_first = glitch(1.0f, 0, 1, 1000, 1001, CellFilter::area(Rect{0, 0, 1, 4}), Rng(11));
    const Buffer f = run(only_first, {5}, row_buffer(4));
    for (std::uint16_t y = 0; y < 4; ++y)
        for (std::uint16_t x = 1; x < 6; ++x) EXPECT_EQ(f.cell_at(x, y)->symbol.text(), std::string(1, char('a' + x)));
    for (float ratio : {1e30f, std::numeric_limits<float>::infinity(), std::nanf(""), -3.0f}) {
        Effect wild = glitch(ratio, 0, 1, 1, 2, std::nullopt, Rng(1));
        Buffer small = row_buffer(2);
        EXPECT_EQ(wild.process(5, small, Rect{0, 0, 60000, 60000}), std::nullopt);
        EXPECT_FALSE(wild.done());
    }
}

// ---- time ----

TEST(FxCatalog, Timing) {
    struct Step {
        std::uint32_t ms;
        Leftover rest;
        bool done;
    };
    struct Row {
        const char* what;
        std::function<Effect()> make;
        std::vector<Step> steps;
    };
    const Leftover none;
    const Row rows[] = {
        {"sleep", [] { return sleep_effect(50); }, {{30, none, false}, {30, 10, true}}},
        {"zero sleep", [] { return sleep_effect(0); }, {{10, 10, true}}},
        {"sequence", [] { return sequence({sleep_effect(100), sleep_effect(50)}); },
         {{120, none, false}, {30, none, true}, {10, 10, true}}},
        {"empty sequence", [] { return sequence({}); }, {{10, 10, true}}},
        {"sequence stops at a part that used nothing",
         [] { return sequence({repeat(sleep_effect(0), {RepeatMode::Times, 4294967295u}), sleep_effect(5)}); },
         {{10, 10, false}, {10, 10, false}}},
        {"parallel", [] { return parallel({sleep_effect(100), sleep_effect(50)}); },
         {{60, none, false}, {50, 10, true}}},
        {"empty parallel", [] { return parallel({}); }, {{10, 10, true}}},
        {"repeat twice", [] { return repeat(sleep_effect(100), {RepeatMode::Times, 2}); },
         {{150, 50, false}, {100, none, false}, {10, 10, true}}},
        {"repeat in a sequence uses its leftovers",
         [] { return sequence({repeat(sleep_effect(100), {RepeatMode::Times, 2}), sleep_effect(10)}); },
         {{250, 40, true}}},
        {"repeat zero times stays done", [] { return repeat(sleep_effect(100), {RepeatMode::Times, 0}); },
         {{0, none, true}, {150, 50, true}, {150, 150, true}}},
        {"repeat for a duration", [] { return repeat(sleep_effect(30), {RepeatMode::Duration, 100}); },
         {{50, 20, false}, {60, 30, true}}},
        {"repeat forever", [] { return repeat(sleep_effect(10), {}); }, {{25, none, false}, {1000, none, false}}},
        {"ping-pong", [] { return ping_pong(sleep_effect(100)); },
         {{150, none, false}, {100, none, true}, {5, 5, true}}},
        {"delay", [] { return delay(50, sleep_effect(10)); }, {{55, none, false}, {10, 5, true}}},
        {"prolong start", [] { return prolong_start(50, sleep_effect(20)); }, {{60, none, false}, {15, 5, true}}},
        {"prolong end", [] { return prolong_end(50, sleep_effect(20)); }, {{30, none, false}, {45, 5, true}}},
        {"freeze holds forever", [] { return freeze_at(0.5f, false, sleep_effect(100)); }, {{1000, none, false}}},
        {"freeze of an effect without a timer", [] { return freeze_at(0.5f, true, consume_tick()); }, {{10, none, true}}},
        {"remap to half the time", [] { return remap_alpha(0, 0.5f, sleep_effect(100)); },
         {{100, none, true}, {10, 10, true}}},
        {"with duration cuts short", [] { return with_duration(30, sleep_effect(100)); }, {{40, 10, true}}},
        {"with duration ends with its effect", [] { return with_duration(100, sleep_effect(20)); }, {{30, none, true}}},
        {"never complete", [] { return never_complete(sleep_effect(10)); }, {{20, none, false}}},
        {"timed never complete", [] { return timed_never_complete(30, sleep_effect(10)); },
         {{20, none, false}, {10, none, true}}},
        {"run once", [] { return run_once(sleep_effect(100)); }, {{10, none, true}, {10, none, true}}},
        {"consume tick", [] { return consume_tick(); }, {{10, none, true}}},
        {"glitch never ends", [] { return glitch(0.5f, 0, 2, 1, 5, std::nullopt, Rng(1)); }, {{100000, none, false}}},
        {"translate ends with its effect", [] { return translate(sleep_effect(50), 1, 1, ms(20)); },
         {{30, none, false}, {30, 10, true}}},
        {"resize without an effect", [] { return resize_area(std::nullopt, Size{1, 1}, ms(20)); }, {{25, 5, true}}},
        {"expand", [] { return expand(ExpandDirection::Vertical, Style{}, ms(20)); }, {{15, none, false}, {10, 5, true}}},
    };
    for (const Row& row : rows) {
        Effect e = row.make();
        Buffer b = row_buffer(2);
        int i = 0;
        for (const Step& s : row.steps) {
            EXPECT_EQ(e.process(s.ms, b, b.area), s.rest) << row.what << " step " << i;
            EXPECT_EQ(e.done(), s.done) << row.what << " step " << i;
            ++i;
        }
    }
}

TEST(FxCatalog, ReversedParallelEndsTogether) {
    Effect p = parallel({sleep_effect(100), sleep_effect(40)});
    p.reverse();
    Buffer b = row_buffer();
    EXPECT_EQ(p.process(70, b, b.area), std::nullopt);
    // The shorter part waited 60 ms and has 30 left, like the longer one.
    EXPECT_EQ(p.process(30, b, b.area), std::nullopt);
    EXPECT_TRUE(p.done());
    // Reversing again drops the waits.
    Effect q = parallel({sleep_effect(100), sleep_effect(40)});
    q.reverse();
    q.reverse();
    EXPECT_EQ(q.process(50, b, b.area), std::nullopt);
    EXPECT_FALSE(q.done());
}

TEST(FxCatalog, WrappersPassThrough) {
    const Rect r{1, 0, 2, 1};
    struct Row {
        const char* what;
        std::function<Effect(Effect)> wrap;
        bool forwards;  // a container reports neither area nor filter of its own
    };
    const Row rows[] = {
        {"repeat", [](Effect e) { return repeat(std::move(e), {}); }, true},
        {"ping-pong", [](Effect e) { return ping_pong(std::move(e)); }, true},
        {"run once", [](Effect e) { return run_once(std::move(e)); }, true},
        {"freeze", [](Effect e) { return freeze_at(0.5f, false, std::move(e)); }, true},
        {"prolong", [](Effect e) { return prolong_end(5, std::move(e)); }, true},
        {"remap", [](Effect e) { return remap_alpha(0, 1, std::move(e)); }, true},
        {"with duration", [](Effect e) { return with_duration(5, std::move(e)); }, true},
        {"never complete", [](Effect e) { return never_complete(std::move(e)); }, true},
        {"sequence", [](Effect e) { return sequence({std::move(e)}); }, false},
        {"parallel", [](Effect e) { return parallel({std::move(e)}); }, false},
    };
    for (const Row& row : rows) {
        // A filter and an area set on the wrapper reach the wrapped effect, which keeps a filter
        // of its own.
        Effect plain = row.wrap(paint(std::nullopt, kBlue, ms(100)));
        EXPECT_EQ(plain.cell_filter(), nullptr) << row.what;
        plain.install_filter(CellFilter::area(Rect{0, 0, 1, 1}));
        plain.set_area(r);
        EXPECT_EQ(plain.area(), row.forwards ? std::optional<Rect>(r) : std::nullopt) << row.what;
        Buffer b = run(plain, {1});
        // The area and the filter's cell do not meet: nothing is painted.
        for (std::uint16_t x = 0; x < 6; ++x) EXPECT_FALSE(color_equal(b.cell_at(x, 0)->bg, kBlue)) << row.what << x;

        Effect filtered = paint(std::nullopt, kBlue, ms(100));
        filtered.install_filter(CellFilter::area(Rect{2, 0, 3, 1}));
        Effect w = row.wrap(filtered);
        w.install_filter(CellFilter::area(Rect{0, 0, 1, 1}));
        EXPECT_EQ(w.cell_filter() != nullptr, row.forwards) << row.what;
        const Buffer c = run(w, {1});
        EXPECT_EQ(widget_test::rows(c)[0], "abcdef");
        EXPECT_TRUE(color_equal(c.cell_at(2, 0)->bg, kBlue)) << row.what;
        EXPECT_FALSE(color_equal(c.cell_at(0, 0)->bg, kBlue)) << row.what;
    }
}


// Over an empty area nothing is drawn, whatever the effect.
TEST(FxCatalog, EmptyAreasDrawNothing) {
    const Style on_blue = style_of(std::nullopt, kBlue);
    const std::vector<std::function<Effect()>> makers = {
        [] { return lighten(0.5f, 0.5f, ms(10)); },
        [] { return hsl_shift(HslShift{1, 2, 3}, std::nullopt, ms(10)); },
        [] { return dis(10); },
        [] { return slide_in(Motion::LeftToRight, 1, 3, kBlue, ms(10)); },
        [] { return sweep_out(Motion::DownToUp, 1, 3, kBlue, ms(10)); },
        [] { return evolve(EvolveForm::Plain, EvolveSymbolSet::Shaded, ms(10), std::nullopt); },
        [on_blue] { return stretch(Motion::LeftToRight, on_blue, ms(10)); },
        [on_blue] { return stretch(Motion::DownToUp, on_blue, ms(10)); },
        [on_blue] { return expand(ExpandDirection::Vertical, on_blue, ms(10)); },
        [] { return explode(2, 1, ms(10)); },
        [] { return glitch(1, 0, 1, 5, 6, std::nullopt, Rng(2)); },
        [] { return sequence({dis(5), paint(kRed, kRed, ms(5))}); },
    };
    for (const Rect area : {Rect{2, 0, 0, 1}, Rect{2, 0, 3, 0}, Rect{40, 40, 5, 5}}) {
        for (std::size_t i = 0; i < makers.size(); ++i) {
            Effect e = makers[i]();
            Buffer b = row_buffer();
            for (std::uint32_t step : {0u, 5u, 5u}) e.process(step, b, area);
            EXPECT_TRUE(b == row_buffer()) << i << " " << area.x << "," << area.width << "x" << area.height;
        }
    }
}

}  // namespace

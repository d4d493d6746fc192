// Every kind of effect stepping a 200x50 buffer of coloured text, in nanoseconds per cell
// (bench/run.py prints them as one table). Each step draws the effect half way through a long
// timer over a fresh copy of the buffer; "copy_only" is the cost of that copy alone. The screen
// is drawn as interfaces are, in a few styles (six foreground and three background colours);
// the rows ending "_every_cell_its_colour" are the worst case of the colour effects, a screen
// where no two cells share a colour (fades in each colour space, the colour shifts, paint).
#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/fade.hpp"
#include "core/fx/effects/paint.hpp"
#include "core/fx/manager.hpp"

using namespace tarvo::core;
using namespace tarvo::core::fx;

namespace {

constexpr Rect kScreen{0, 0, 200, 50};
constexpr std::uint32_t kLong = 1000000;  // ms: every effect stays in its middle while measured

Buffer screen(bool every_cell_its_colour = false) {
    const Color fgs[] = {Color::named(Color::White), Color::rgb(200, 180, 40), Color::named(Color::Cyan),
                         Color::rgb(90, 200, 90), Color::named(Color::Reset), Color::indexed(202)};
    const Color bgs[] = {Color::named(Color::Reset), Color::rgb(20, 30, 60), Color::named(Color::DarkGray)};
    Buffer b = Buffer::empty(kScreen);
    for (std::uint16_t y = 0; y < kScreen.height; ++y)
        for (std::uint16_t x = 0; x < kScreen.width; ++x) {
            Cell& c = *b.cell_at(x, y);
            c.set_char(static_cast<char>('!' + (x * 7 + y) % 90));
            c.fg = fgs[(x / 12 + y) % 6];
            c.bg = bgs[(x / 40 + y / 10) % 3];
            if (every_cell_its_colour) {
                c.fg = Color::rgb(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y * 5), 120);
                c.bg = Color::rgb(static_cast<std::uint8_t>(y), 30, static_cast<std::uint8_t>(x));
            }
        }
    return b;
}

EffectTimer timer() { return EffectTimer::from_ms(kLong, Interpolation::QuadInOut); }
Effect fade() { return fade_to(Color::named(Color::Blue), Color::rgb(10, 20, 30), timer()); }
Effect tint() { return lighten(0.4f, -0.3f, timer()); }
Style style() {
    Style s;
    s.fg = Color::named(Color::Yellow);
    s.bg = Color::rgb(40, 0, 60);
    return s;
}

struct Kind {
    const char* name;
    std::function<Effect()> make;
};

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> k = {
        {"paint", [] { return paint(Color::named(Color::Red), Color::named(Color::Blue), timer()); }},
        {"fade_to", fade},
        {"fade_from", [] { return fade_from(Color::named(Color::Blue), Color::rgb(10, 20, 30), timer()); }},
        {"lighten", [] { return lighten(0.4f, 0.4f, timer()); }},
        {"darken", [] { return darken(0.4f, 0.4f, timer()); }},
        {"saturate", [] { return saturate(1.5f, -0.5f, timer()); }},
        {"hsl_shift", [] { return hsl_shift(HslShift{120, 10, -10}, HslShift{-40, 0, 5}, timer()); }},
        {"dissolve", [] { return dissolve(std::nullopt, timer()); }},
        {"dissolve_to", [] { return dissolve(style(), timer()); }},
        {"coalesce", [] { return coalesce(std::nullopt, timer()); }},
        {"slide_in", [] { return slide_in(Motion::LeftToRight, 8, 4, Color::named(Color::Blue), timer()); }},
        {"slide_out", [] { return slide_out(Motion::UpToDown, 8, 4, Color::named(Color::Blue), timer()); }},
        {"sweep_in", [] { return sweep_in(Motion::RightToLeft, 15, 5, Color::rgb(0, 0, 40), timer()); }},
        {"sweep_out", [] { return sweep_out(Motion::DownToUp, 15, 5, Color::rgb(0, 0, 40), timer()); }},
        {"evolve", [] { return evolve(EvolveForm::Plain, EvolveSymbolSet::Quadrants, timer(), style()); }},
        {"evolve_into", [] { return evolve(EvolveForm::Into, EvolveSymbolSet::Shaded, timer(), std::nullopt); }},
        {"evolve_from", [] { return evolve(EvolveForm::From, EvolveSymbolSet::Circles, timer(), std::nullopt); }},
        {"expand", [] { return expand(ExpandDirection::Horizontal, style(), timer()); }},
        {"stretch", [] { return stretch(Motion::RightToLeft, style(), timer()); }},
        {"explode", [] { return explode(4, 1, timer()); }},
        {"glitch", [] { return glitch(0.3f, 0, 200, 50, 400, std::nullopt, Rng(7)); }},
        {"translate", [] { return translate(fade(), 30, -10, timer()); }},
        {"resize_area", [] { return resize_area(fade(), Size{20, 5}, timer()); }},
        {"sequence", [] { return sequence({fade(), tint()}); }},
        {"parallel", [] { return parallel({fade(), tint()}); }},
        {"repeat", [] { return repeat(fade(), {RepeatMode::Times, 3}); }},
        {"ping_pong", [] { return ping_pong(fade()); }},
        {"freeze_at", [] { return freeze_at(0.5f, false, fade()); }},
        {"delay", [] { return delay(10, fade()); }},
        {"prolong_start", [] { return prolong_start(10, fade()); }},
        {"prolong_end", [] { return prolong_end(10, fade()); }},
        {"remap_alpha", [] { return remap_alpha(0.2f, 0.8f, fade()); }},
        {"with_duration", [] { return with_duration(kLong, fade()); }},
        {"never_complete", [] { return never_complete(fade()); }},
        {"timed_never_complete", [] { return timed_never_complete(kLong, fade()); }},
        {"sleep", [] { return sleep_effect(kLong); }},
        {"consume_tick", [] { return never_complete(consume_tick()); }},
        {"run_once", [] { return never_complete(run_once(fade())); }},
    };
    return k;
}

void per_cell(benchmark::State& state) {
    state.counters["ns_per_cell"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kScreen.area(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FxEffect_copy_only(benchmark::State& state) {
    const Buffer pristine = screen();
    Buffer b = pristine;
    for (auto _ : state) {
        b = pristine;
        benchmark::ClobberMemory();
    }
    per_cell(state);
}
BENCHMARK(BM_FxEffect_copy_only);

void run_kind(benchmark::State& state, const Kind& kind, bool every_cell_its_colour) {
    const Buffer pristine = screen(every_cell_its_colour);
    Buffer b = pristine;
    Effect e = kind.make();
    e.process(kLong / 2, b, kScreen);  // to the middle
    for (auto _ : state) {
        b = pristine;
        e.process(1, b, kScreen);
        benchmark::ClobberMemory();
    }
    per_cell(state);
}

const bool registered = [] {
    for (const Kind& k : kinds())
        benchmark::RegisterBenchmark((std::string("BM_FxEffect_") + k.name).c_str(),
                                     [&k](benchmark::State& s) { run_kind(s, k, false); });
    benchmark::RegisterBenchmark("BM_FxEffect_fade_to_every_cell_its_colour",
                                 [](benchmark::State& s) { run_kind(s, kinds()[1], true); });
    static const std::vector<Kind> worst = {
        {"fade_to_hsv", [] { Effect e = fade(); e.set_color_space(ColorSpace::Hsv); return e; }},
        {"fade_to_rgb", [] { Effect e = fade(); e.set_color_space(ColorSpace::Rgb); return e; }},
        {"fade_from", kinds()[2].make}, {"paint", kinds()[0].make},   {"lighten", kinds()[3].make},
        {"darken", kinds()[4].make},    {"saturate", kinds()[5].make}, {"hsl_shift", kinds()[6].make},
    };
    for (const Kind& k : worst)
        benchmark::RegisterBenchmark((std::string("BM_FxEffect_") + k.name + "_every_cell_its_colour").c_str(),
                                     [&k](benchmark::State& s) { run_kind(s, k, true); });
    return true;
}();

}  // namespace

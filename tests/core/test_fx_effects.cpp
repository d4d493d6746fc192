// Cell filters, the paint and fade effects over buffers, and the effect manager.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fx/cell_filter.hpp"
#include "core/fx/effects/fade.hpp"
#include "core/fx/effects/paint.hpp"
#include "core/fx/manager.hpp"
#include "core/panic.hpp"

using namespace tarvo::core;
using namespace tarvo::core::fx;

namespace {

const Color kRed = Color::named(Color::Red);
const Color kBlue = Color::named(Color::Blue);

// A 6x4 grid at (0, 0): rows of text, with a blue background on the "#" cells.
Buffer grid() {
    Buffer b = Buffer::empty(Rect{0, 0, 6, 4});
    const char* rows[] = {"ab  12", "# #..x", "  ##  ", "()?-!z"};
    for (std::uint16_t y = 0; y < 4; ++y)
        for (std::uint16_t x = 0; x < 6; ++x) {
            Cell& c = *b.cell_at(x, y);
            c.set_char(rows[y][x]);
            if (rows[y][x] == '#') c.bg = kBlue;
        }
    b.cell_at(1, 1)->bg = kBlue;  // a space on blue
    return b;
}

// "x" where the filter selects, "." elsewhere, one string per row, over the grid's area.
std::vector<std::string> selection(const CellFilter& f, Rect area = Rect{0, 0, 6, 4}) {
    Buffer b = grid();
    FilterProcessor fp(f);
    fp.refresh(b, area);
    std::vector<std::string> out;
    for (std::uint16_t y = 0; y < 4; ++y) {
        std::string row;
        for (std::uint16_t x = 0; x < 6; ++x) row += fp.accepts({x, y}, *b.cell_at(x, y)) ? 'x' : '.';
        out.push_back(row);
    }
    return out;
}

class ColumnIs final : public PositionPredicate {
public:
    explicit ColumnIs(std::uint16_t x) : x_(x) {}
    bool operator()(Position p) const override { return p.x == x_; }

private:
    std::uint16_t x_;
};

}  // namespace

TEST(FxFilter, EachKindOverAGrid) {
    using V = std::vector<std::string>;
    Layout halves;
    halves.direction = Direction::Horizontal;
    halves.constraints = {Constraint::percentage(50), Constraint::percentage(50)};
    struct Row {
        const char* what;
        CellFilter f;
        V want;
    };
    const Row rows[] = {
        {"all", CellFilter::all(), {"xxxxxx", "xxxxxx", "xxxxxx", "xxxxxx"}},
        {"area", CellFilter::area(Rect{1, 1, 2, 2}), {"......", ".xx...", ".xx...", "......"}},
        {"area past the grid", CellFilter::area(Rect{4, 3, 9, 9}), {"......", "......", "......", "....xx"}},
        {"inner", CellFilter::inner(Margin{1, 1}), {"......", ".xxxx.", ".xxxx.", "......"}},
        {"outer", CellFilter::outer(Margin{2, 1}), {"xxxxxx", "xx..xx", "xx..xx", "xxxxxx"}},
        {"too wide a margin", CellFilter::inner(Margin{4, 0}), {"......", "......", "......", "......"}},
        {"text", CellFilter::text(), {"xxxxxx", ".x.xxx", "xx..xx", "xxx.xx"}},
        {"non-empty", CellFilter::non_empty(), {"xx..xx", "x.xxxx", "..xx..", "xxxxxx"}},
        {"bg colour", CellFilter::bg_color(kBlue), {"......", "xxx...", "..xx..", "......"}},
        {"fg colour Reset", CellFilter::fg_color(Color::named(Color::Reset)), {"xxxxxx", "xxxxxx", "xxxxxx", "xxxxxx"}},
        {"fg colour Black is not Reset", CellFilter::fg_color(Color::named(Color::Black)),
         {"......", "......", "......", "......"}},
        {"all of", CellFilter::all_of({CellFilter::text(), CellFilter::inner(Margin{1, 1})}),
         {"......", ".x.xx.", ".x..x.", "......"}},
        {"any of", CellFilter::any_of({CellFilter::bg_color(kBlue), CellFilter::area(Rect{5, 0, 1, 4})}),
         {".....x", "xxx..x", "..xx.x", ".....x"}},
        {"none of", CellFilter::none_of({CellFilter::text(), CellFilter::area(Rect{0, 0, 3, 4})}),
         {"......", "......", "...x..", "...x.."}},
        {"empty all of", CellFilter::all_of({}), {"xxxxxx", "xxxxxx", "xxxxxx", "xxxxxx"}},
        {"empty none of", CellFilter::none_of({}), {"xxxxxx", "xxxxxx", "xxxxxx", "xxxxxx"}},
        {"empty any of", CellFilter::any_of({}), {"......", "......", "......", "......"}},
        {"not", CellFilter::negation(CellFilter::area(Rect{0, 0, 5, 3})), {".....x", ".....x", ".....x", "xxxxxx"}},
        {"not not", CellFilter::negation(CellFilter::negation(CellFilter::non_empty())),
         {"xx..xx", "x.xxxx", "..xx..", "xxxxxx"}},
        {"layout segment", CellFilter::layout_segment(halves, 1), {"...xxx", "...xxx", "...xxx", "...xxx"}},
        {"position callback", CellFilter::position(std::make_shared<ColumnIs>(3)),
         {"...x..", "...x..", "...x..", "...x.."}},
        {"background", CellFilter::eval_cell(background_predicate()), {"......", "xxx...", "..xx..", "......"}},
        {"background only", CellFilter::eval_cell(background_only_predicate()),
         {"......", ".x....", "......", "......"}},
        {"static text", CellFilter::into_static(CellFilter::text()), {"xxxxxx", ".x.xxx", "xx..xx", "xxx.xx"}},
        // Inside a cell-testing filter, a negated margin applies the margin twice over.
        {"dynamic not inner", CellFilter::all_of({CellFilter::text(), CellFilter::negation(CellFilter::inner(Margin{1, 1}))}),
         {"xxxxxx", ".x.xxx", "xx..xx", "xxx.xx"}},
    };
    for (const Row& row : rows) EXPECT_EQ(selection(row.f), row.want) << row.what;
}

TEST(FxFilter, WorksInTheStepAreaAndFollowsRefRects) {
    // Margins are taken from the area of the step, not the buffer's.
    EXPECT_EQ(selection(CellFilter::inner(Margin{1, 0}), Rect{2, 1, 4, 2}),
              (std::vector<std::string>{"......", "...xx.", "...xx.", "......"}));

    RefRect shared(Rect{0, 0, 2, 1});
    const CellFilter f = CellFilter::ref_area(shared);
    Buffer b = grid();
    FilterProcessor fp(f);
    EXPECT_FALSE(fp.accepts({0, 0}, *b.cell_at(0, 0)));  // nothing before the first refresh
    fp.refresh(b, b.area);
    EXPECT_TRUE(fp.accepts({1, 0}, *b.cell_at(1, 0)));
    EXPECT_FALSE(fp.accepts({3, 3}, *b.cell_at(3, 3)));
    shared.set(Rect{3, 3, 10, 10});  // seen by every holder at the next refresh
    fp.refresh(b, b.area);
    EXPECT_FALSE(fp.accepts({1, 0}, *b.cell_at(1, 0)));
    EXPECT_TRUE(fp.accepts({3, 3}, *b.cell_at(3, 3)));
    EXPECT_EQ(shared.get(), (Rect{3, 3, 10, 10}));

    RefRect edge(Rect{65530, 0, 100, 1});
    EXPECT_EQ(edge.get().width, 5);
    EXPECT_FALSE(RefRect().contains(0, 0));
}

TEST(FxFilter, TextMeansLettersDigitsSpacesAndSomePunctuation) {
    struct Row {
        const char* symbol;
        bool text;
    };
    const Row rows[] = {
        {"a", true},  {"Z", true},   {"7", true},   {"\u00bd", true}, {"\u0416", true}, {"\u65e5", true},
        {"\u24b6", true}, {"\U0001f170", true}, {" ", true}, {"?", true}, {"(", true}, {";", true},
        {"-", false}, {"#", false}, {"\u2588", false}, {"\U0001f600", false}, {"", false}, {"\u2192x", false},
    };
    for (const Row& row : rows) {
        Cell c;
        c.set_symbol(row.symbol);
        EXPECT_EQ(CellFilter::text().test(Rect{0, 0, 1, 1}, {0, 0}, c), row.text) << row.symbol;
    }
}

TEST(FxFilter, BadLayoutSegmentPanics) {
    Layout one;
    one.constraints = {Constraint::fill(1)};
    EXPECT_THROW(selection(CellFilter::layout_segment(one, 3)), Panic);
}

TEST(FxFilter, HugeAreasCostOnlyTheBufferPart) {
    Buffer b = grid();
    FilterProcessor fp(CellFilter::negation(CellFilter::area(Rect{0, 0, 1, 1})));
    fp.refresh(b, Rect{0, 0, 65535, 65535});
    EXPECT_FALSE(fp.accepts({0, 0}, *b.cell_at(0, 0)));
    EXPECT_TRUE(fp.accepts({5, 3}, *b.cell_at(5, 3)));
}

TEST(FxEffect, PaintEveryStepAndLeftoverTime) {
    Buffer b = grid();
    Effect e = paint(kRed, std::nullopt, EffectTimer::from_ms(100, Interpolation::Linear));
    EXPECT_EQ(e.name(), "paint_fg");
    EXPECT_EQ(e.process(40, b, Rect{0, 0, 2, 1}), std::nullopt);
    EXPECT_EQ(b.cell_at(0, 0)->fg, kRed);
    EXPECT_EQ(b.cell_at(2, 0)->fg, Color{});
    EXPECT_EQ(e.process(60, b, b.area), std::nullopt);  // exactly used up
    EXPECT_TRUE(e.done());
    EXPECT_EQ(e.process(25, b, b.area), 25u);
    EXPECT_EQ(paint(std::nullopt, kBlue, EffectTimer{}).name(), "paint_bg");
    EXPECT_EQ(paint(kRed, kBlue, EffectTimer{}).name(), "paint");
    try {
        paint(std::nullopt, std::nullopt, EffectTimer{});
        ADD_FAILURE();
    } catch (const Panic& p) {
        EXPECT_STREQ(p.what(), "At least one of fg or bg must be Some");
    }
}

TEST(FxEffect, FadeEndsAtTheTargetAndStartsFromSubstitutedColours) {
    Buffer b = Buffer::empty(Rect{0, 0, 3, 1});
    Effect e = fade_to(kRed, Color::rgb(0, 0, 255), EffectTimer::from_ms(100, Interpolation::Linear));
    e.process(0, b, b.area);  // alpha 0: Reset taken as White / Black and kept so
    EXPECT_EQ(b.cell_at(0, 0)->fg, Color::named(Color::White));
    EXPECT_EQ(b.cell_at(0, 0)->bg, Color::named(Color::Black));
    e.process(50, b, b.area);
    EXPECT_EQ(b.cell_at(1, 0)->fg.tag, Color::Rgb);
    e.process(50, b, b.area);
    EXPECT_EQ(b.cell_at(2, 0)->fg, kRed);
    EXPECT_EQ(b.cell_at(2, 0)->bg, Color::rgb(0, 0, 255));
    EXPECT_EQ(e.name(), "fade_to");

    Effect from = fade_from(kRed, std::nullopt, EffectTimer::from_ms(100, Interpolation::QuadIn));
    EXPECT_EQ(from.name(), "fade_from");
    EXPECT_EQ(from.timer()->interpolation, Interpolation::QuadOut);
    Buffer c = Buffer::empty(Rect{0, 0, 1, 1});
    from.process(1, c, c.area);  // starts (almost) at the target
    EXPECT_EQ(c.cell_at(0, 0)->fg.tag, Color::Rgb);
    Buffer fresh = Buffer::empty(Rect{0, 0, 1, 1});  // as redrawn for the next frame
    from.process(99, fresh, fresh.area);
    EXPECT_EQ(fresh.cell_at(0, 0)->fg, Color::named(Color::White));
}

TEST(FxEffect, OwnAreaFilterInstallCloneAndReverse) {
    Buffer b = grid();
    Effect e = paint(std::nullopt, kRed, EffectTimer::from_ms(10, Interpolation::Linear));
    e.set_area(Rect{4, 0, 2, 1});
    e.install_filter(CellFilter::non_empty());
    e.install_filter(CellFilter::all());  // kept: the effect already has a filter
    ASSERT_NE(e.cell_filter(), nullptr);
    EXPECT_EQ(e.cell_filter()->kind, CellFilter::Kind::NonEmpty);
    Effect copy = e;
    e.process(5, b, b.area);  // own area wins over the one given
    EXPECT_EQ(b.cell_at(4, 0)->bg, kRed);
    EXPECT_EQ(b.cell_at(3, 0)->bg, Color{});  // a space: filtered out
    EXPECT_EQ(b.cell_at(0, 0)->bg, Color{});
    EXPECT_EQ(copy.timer()->remaining, 10u);  // the copy is its own effect
    e.reverse();
    EXPECT_TRUE(e.timer()->reversed);
    EXPECT_FALSE(copy.timer()->reversed);
    e.reset_timer();
    EXPECT_EQ(e.timer()->remaining, 10u);
    try {
        Effect::make<UniqueShader>(e, std::make_shared<KeyContext>()).dsl_text();
        ADD_FAILURE() << "a unique effect has no text form";
    } catch (const dsl::DslError& err) {
        EXPECT_STREQ(err.what(), "The effect 'unique' cannot be converted to DSL format.");
    }
    EXPECT_EQ(consume_tick().dsl_text(), "fx::consume_tick()");
}

TEST(FxManager, OrderSupersessionAndCancel) {
    Buffer b = Buffer::empty(Rect{0, 0, 2, 1});
    EffectManager m(Rng(7));
    EXPECT_FALSE(m.is_running());
    // Later effects work on what earlier ones drew.
    m.add(paint(kRed, std::nullopt, EffectTimer::from_ms(10, Interpolation::Linear)));
    m.add(fade_to(kBlue, std::nullopt, EffectTimer::from_ms(10, Interpolation::Linear)));
    m.process(10, b, b.area);
    EXPECT_EQ(b.cell_at(0, 0)->fg, kBlue);
    EXPECT_FALSE(m.is_running());

    // A superseded effect draws one more step.
    Buffer c = Buffer::empty(Rect{0, 0, 2, 1});
    m.add_unique("k", paint(std::nullopt, kRed, EffectTimer::from_ms(1000, Interpolation::Linear)));
    m.add_unique("k", paint(kBlue, std::nullopt, EffectTimer::from_ms(1000, Interpolation::Linear)));
    EXPECT_EQ(m.size(), 2u);
    m.process(10, c, c.area);
    EXPECT_EQ(c.cell_at(0, 0)->bg, kRed);
    EXPECT_EQ(c.cell_at(0, 0)->fg, kBlue);
    EXPECT_EQ(m.size(), 1u);
    EXPECT_EQ(m.key_count(), 1u);

    // unique() supersedes at once, without listing.
    Effect held = m.unique("k", paint(kRed, std::nullopt, EffectTimer::from_ms(1000, Interpolation::Linear)));
    EXPECT_EQ(held.name(), "unique");
    EXPECT_TRUE(held.running());
    m.process(10, c, c.area);
    EXPECT_FALSE(m.is_running());
    EXPECT_EQ(m.key_count(), 1u);  // the held copy still refers to the key

    // Cancel: one consume-tick step, then nothing.
    m.add_unique("t", paint(kRed, std::nullopt, EffectTimer::from_ms(1000, Interpolation::Linear)));
    m.cancel("t");
    m.process(1, c, c.area);
    EXPECT_FALSE(m.is_running());
    m.cancel("nothing");
    EXPECT_TRUE(m.is_running());
    m.process(1, c, c.area);
    EXPECT_FALSE(m.is_running());
    held = paint(kRed, std::nullopt, EffectTimer{});
    m.process(1, c, c.area);
    EXPECT_EQ(m.key_count(), 0u);

    // A unique effect registered again under its own key ends after one step.
    Effect u = m.unique("again", paint(kRed, std::nullopt, EffectTimer::from_ms(1000, Interpolation::Linear)));
    m.add_unique("again", u);
    m.process(1, c, c.area);
    EXPECT_FALSE(m.is_running());
}

TEST(FxManager, AFailedStepKeepsTheRestListed) {
    Layout one;
    one.constraints = {Constraint::fill(1)};
    EffectManager m(Rng(3));
    Effect bad = paint(kRed, std::nullopt, EffectTimer::from_ms(100, Interpolation::Linear));
    bad.install_filter(CellFilter::layout_segment(one, 2));  // no third segment
    m.add(paint(kBlue, std::nullopt, EffectTimer::from_ms(5, Interpolation::Linear)));
    m.add(bad);
    m.add(paint(std::nullopt, kRed, EffectTimer::from_ms(100, Interpolation::Linear)));
    Buffer b = Buffer::empty(Rect{0, 0, 2, 1});
    EXPECT_THROW(m.process(5, b, b.area), Panic);
    EXPECT_EQ(m.size(), 2u);  // the first ended; the failing one and the one after it stay
    EXPECT_EQ(b.cell_at(0, 0)->fg, kBlue);
    EXPECT_EQ(b.cell_at(0, 0)->bg, Color{});
}

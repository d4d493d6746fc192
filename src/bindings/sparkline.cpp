// SparklineBar and Sparkline: immutable builders over the core sparkline.

#include "bindings/plot_args.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "core/widgets/sparkline.hpp"

namespace tarvo::bindings {

namespace {

struct SparklineBarClass {
    using Value = core::SparklineBar;
    static constexpr const char* name = "SparklineBar";
    static PyTypeObject* create();
};

struct SparklineClass {
    using Value = core::Sparkline;
    static constexpr const char* name = "Sparkline";
    static PyTypeObject* create();
};

// Plain bars (a value, no style) from a sequence of unsigned 64-bit integers.
struct ValuesArg {
    static std::vector<core::SparklineBar> read(const Args& a, std::size_t i) {
        const std::vector<std::uint64_t> values =
            with_note(a.name(i), [&] { return sequence_to_vector<std::uint64_t>(a[i]); });
        std::vector<core::SparklineBar> bars;
        bars.reserve(values.size());
        for (std::uint64_t v : values) bars.push_back(core::SparklineBar{v, std::nullopt});
        return bars;
    }
};

// Copies of the bars of a list of SparklineBar objects.
struct BarsArg {
    static std::vector<core::SparklineBar> read(const Args& a, std::size_t i) {
        return values_from_list<SparklineBarClass>(a, i, "expected SparklineBar");
    }
};

PyTypeObject* SparklineBarClass::create() {
    using core::SparklineBar;
    return ClassBuilder<SparklineBarClass>()
        .static_method("new", "(value)",
                       [](Args& a) {
                           return make<SparklineBarClass>(SparklineBar{a.get<std::uint64_t>(0), std::nullopt});
                       })
        .method("style", "($self, style)", SetField<SparklineBarClass, &SparklineBar::style, StyleArg>{})
        .build();
}

PyTypeObject* SparklineClass::create() {
    using core::Sparkline;
    using S = SparklineClass;
    return ClassBuilder<SparklineClass>()
        .static_method("default", "()", [](Args&) { return make<SparklineClass>(Sparkline{}); })
        .static_method("new", "(data)",
                       [](Args& a) {
                           Sparkline s;
                           s.data = ValuesArg::read(a, 0);
                           return make<SparklineClass>(std::move(s));
                       })
        .static_method("from_bars", "(bars)",
                       [](Args& a) {
                           Sparkline s;
                           s.data = BarsArg::read(a, 0);
                           return make<SparklineClass>(std::move(s));
                       })
        .method("data", "($self, data)", SetField<S, &Sparkline::data, ValuesArg>{})
        .method("bars", "($self, bars)", SetField<S, &Sparkline::data, BarsArg>{})
        .method("block", "($self, block)", SetField<S, &Sparkline::block, BlockArg>{})
        .method("style", "($self, style)", SetField<S, &Sparkline::style, StyleArg>{})
        .method("max", "($self, value)", SetField<S, &Sparkline::max, PlainArg<std::uint64_t>>{})
        .method("absent_value_style", "($self, style)", SetField<S, &Sparkline::absent_value_style, StyleArg>{})
        .method("absent_value_symbol", "($self, symbol)",
                SetField<S, &Sparkline::absent_value_symbol, PlainArg<std::string>>{})
        .build();
}

TARVO_REGISTER_CLASS(SparklineBarClass);
TARVO_REGISTER_CLASS(SparklineClass);

[[maybe_unused]] const bool sparkline_drawn = register_widget_renderer<SparklineClass>();

}  // namespace

}  // namespace tarvo::bindings

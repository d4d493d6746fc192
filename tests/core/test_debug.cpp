#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/debug.hpp"

using namespace tarvo::core;

TEST(Debug, Floats) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0.0"},        {1.0, "1.0"},     {0.5, "0.5"},   {-2.25, "-2.25"},
        {1e16, "1e16"},      {1e15, "1000000000000000.0"},     {0.0001, "0.0001"},
        {0.00001, "1e-5"},   {1.5e-7, "1.5e-7"}, {0.1, "0.1"}, {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"}, {std::nan(""), "NaN"},
    };
    for (auto [v, text] : cases) EXPECT_EQ(debug::f64(v), text) << v;
    EXPECT_EQ(debug::f32(0.1f), "0.1");
}

TEST(Debug, QuotedStrings) {
    EXPECT_EQ(debug::quoted("plain"), "\"plain\"");
    EXPECT_EQ(debug::quoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(debug::quoted("\n\t\r"), "\"\\n\\t\\r\"");
    EXPECT_EQ(debug::quoted(std::string("\0\x1b", 2)), "\"\\0\\u{1b}\"");
    EXPECT_EQ(debug::quoted("日本"), "\"日本\"");
    EXPECT_EQ(debug::quoted("e\u0301"), "\"e\\u{301}\"");     // combining acute accent
    EXPECT_EQ(debug::quoted("a\u200bb"), "\"a\\u{200b}b\"");  // zero width space (format)
    EXPECT_EQ(debug::quoted("\u00a0 x"), "\"\\u{a0} x\"");    // no-break space, plain space kept
    EXPECT_EQ(debug::quoted("\u00e9"), "\"\u00e9\"");          // precomposed letters print as they are
}

TEST(Debug, Structures) {
    EXPECT_EQ(debug::Struct("Wrap").field("trim", debug::boolean(true)).finish(), "Wrap { trim: true }");
    EXPECT_EQ(debug::Struct("Unit").finish(), "Unit");
    EXPECT_EQ(debug::Tuple("Length").item("5").finish(), "Length(5)");
    std::optional<int> some = 3, nothing;
    auto num = [](int v) { return std::to_string(v); };
    EXPECT_EQ(debug::option(some, num), "Some(3)");
    EXPECT_EQ(debug::option(nothing, num), "None");
    EXPECT_EQ(debug::list(std::vector<int>{1, 2}, num), "[1, 2]");
}

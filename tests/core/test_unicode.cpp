#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "core/unicode.hpp"

namespace {

using namespace tarvo::core;

std::string utf8(std::initializer_list<char32_t> cps) {
    std::string out;
    for (char32_t c : cps) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::vector<std::size_t> cluster_widths(std::string_view s) {
    std::vector<std::size_t> out;
    for (std::string_view g : unicode::graphemes(s)) out.push_back(unicode::str_width(g));
    return out;
}

// Cells a single-line writer advances: graphemes with control characters and graphemes of
// width 0 are dropped, the others take their cell width.
std::size_t cells(std::string_view s) {
    std::size_t n = 0;
    unicode::for_each_grapheme(s, [&](std::string_view g) {
        if (!unicode::has_control(g)) n += unicode::grapheme_width(g);
    });
    return n;
}

struct Row {
    const char* what;
    std::string text;
    std::size_t width;
    std::vector<std::size_t> clusters;
    std::size_t cells;
};

std::vector<std::size_t> ones(std::size_t n) { return std::vector<std::size_t>(n, 1); }

TEST(Unicode, DataLibraryIsTheOneTheTablesAreDeltasAgainst) {
    EXPECT_STREQ(unicode::data_library_version(), "2.8.0");
}

TEST(Unicode, WidthsClustersAndCells) {
    const std::vector<Row> rows = {
        {"empty", "", 0, {}, 0},
        {"a", "a", 1, {1}, 1},
        {"tab", "\t", 1, {1}, 0},
        {"LF", "\n", 1, {1}, 0},
        {"CR LF", "\r\n", 1, {1}, 0},
        {"NUL", std::string(1, '\0'), 1, {1}, 0},
        {"NEL", utf8({0x85}), 1, {1}, 0},
        {"mixed controls", utf8({'1', 9, '2', 13, 10, '3', 0x85, '4'}), 7, ones(7), 4},
        {"LF inside", "test\ncontent", 12, ones(12), 11},
        {"nihon", utf8({0x65E5, 0x672C}), 4, {2, 2}, 4},
        {"fullwidth hello", utf8({0xFF48, 0xFF45, 0xFF4C, 0xFF4C, 0xFF4F}), 10, {2, 2, 2, 2, 2}, 10},
        {"ka + halfwidth dakuten", utf8({0xFF76, 0xFF9E}), 1, {1}, 2},
        {"halfwidth dakuten", utf8({0xFF9E}), 0, {0}, 1},
        {"ka + combining dakuten", utf8({0x30AB, 0x3099}), 2, {2}, 2},
        {"e acute", utf8({0x65, 0x301}), 1, {1}, 1},
        {"acute alone", utf8({0x301}), 0, {0}, 0},
        {"middle dot", utf8({0xB7}), 1, {1}, 1},
        {"quote + VS2", utf8({0x201C, 0xFE01}), 2, {2}, 2},
        {"woman", utf8({0x1F469}), 2, {2}, 2},
        {"woman scientist", utf8({0x1F469, 0x200D, 0x1F52C}), 2, {2}, 2},
        {"family", utf8({0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467, 0x200D, 0x1F466}), 2, {2}, 2},
        {"polar bear", utf8({0x1F43B, 0x200D, 0x2744, 0xFE0F}), 2, {2}, 2},
        {"thumbs up medium", utf8({0x1F44D, 0x1F3FD}), 2, {2}, 2},
        {"skin tone alone", utf8({0x1F3FB}), 2, {2}, 2},
        {"a + skin tone", utf8({'a', 0x1F3FF}), 3, {3}, 3},
        {"family zwj zwj tone", utf8({0x1F46A, 0x200D, 0x200D, 0x1F3FB}), 4, {4}, 4},
        {"flag JP", utf8({0x1F1EF, 0x1F1F5}), 2, {2}, 2},
        {"three RIs", utf8({0x1F1E6, 0x1F1E7, 0x1F1E8}), 3, {2, 1}, 3},
        {"flag Wales", utf8({0x1F3F4, 0xE0067, 0xE0062, 0xE0077, 0xE006C, 0xE0073, 0xE007F}), 2, {2}, 2},
        {"keycap #", utf8({'#', 0xFE0F, 0x20E3}), 2, {2}, 2},
        {"* + keycap", utf8({'*', 0x20E3}), 1, {1}, 1},
        {"# + VS16", utf8({'#', 0xFE0F}), 2, {2}, 2},
        {"heavy heart", utf8({0x2764}), 1, {1}, 1},
        {"heart + VS16", utf8({0x2764, 0xFE0F}), 2, {2}, 2},
        {"Aries", utf8({0x2648}), 2, {2}, 2},
        {"Aries + VS15", utf8({0x2648, 0xFE0E}), 1, {1}, 1},
        {"a + VS16", utf8({'a', 0xFE0F}), 1, {1}, 1},
        {"enclosed ideograph + VS15", utf8({0x1F21A, 0xFE0E}), 2, {2}, 2},
        {"han", utf8({0xD55C}), 2, {2}, 2},
        {"jamo L V T", utf8({0x1112, 0x1161, 0x11AB}), 2, {2}, 2},
        {"jungseong filler", utf8({0x1160}), 0, {0}, 0},
        {"hangul filler", utf8({0x3164}), 0, {0}, 0},
        {"ksa conjunct", utf8({0x915, 0x94D, 0x937}), 2, {2}, 2},
        {"ki", utf8({0x915, 0x93F}), 2, {2}, 2},
        {"namaste", utf8({0x928, 0x92E, 0x938, 0x94D, 0x924, 0x947}), 4, {1, 1, 2}, 4},
        {"soft hyphen", utf8({0xAD}), 0, {0}, 0},
        {"zero width space", utf8({0x200B}), 0, {0}, 0},
        {"a zwj a", utf8({'a', 0x200D, 'a'}), 2, {1, 1}, 2},
        {"lam-alef", utf8({0x644, 0x627}), 1, {1, 1}, 2},
        {"line separator", utf8({0x2028}), 1, {1}, 1},
        {"khmer beyyal", utf8({0x17D8}), 3, {3}, 3},
        {"scissors zwj scissors", utf8({0x2701, 0x200D, 0x2701}), 2, {1, 1}, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(unicode::str_width(r.text), r.width);
        EXPECT_EQ(cluster_widths(r.text), r.clusters);
        EXPECT_EQ(cells(r.text), r.cells);
    }
}

TEST(Unicode, SequenceRules) {
    struct W {
        const char* what;
        std::string text;
        std::size_t width;
    };
    const std::vector<W> rows = {
        {"four RIs are two flags", utf8({0x1F1E6, 0x1F1E7, 0x1F1E8, 0x1F1E9}), 4},
        {"tone after a non-base", utf8({0x2764, 0x1F3FB}), 3},
        {"VS16 on a wide emoji", utf8({0x1F600, 0xFE0F}), 2},
        {"hash keycap without VS16", utf8({'#', 0x20E3}), 1},
        {"digit + VS16", utf8({'1', 0xFE0F}), 2},
        {"lam + fatha + alef", utf8({0x644, 0x64E, 0x627}), 1},
        {"alef + lam (wrong order)", utf8({0x627, 0x644}), 2},
        {"alef zwj lamed", utf8({0x5D0, 0x200D, 0x5DC}), 1},
        {"alef lamed without zwj", utf8({0x5D0, 0x5DC}), 2},
        {"khmer coeng ka", utf8({0x1780, 0x17D2, 0x1780}), 1},
        {"tifinagh bi-consonant", utf8({0x2D31, 0x2D7F, 0x2D31}), 1},
        {"lisu tone pair", utf8({0xA4F8, 0xA4FC}), 1},
        {"CR CR LF", "\r\r\n", 2},
        {"LF CR", "\n\r", 2},
        {"CR LF around wide", utf8({'\r', '\n', 0x4E00}), 3},
        {"emoji zwj emoji zwj emoji", utf8({0x1F3F3, 0xFE0F, 0x200D, 0x1F308}), 2},
        {"text selector on a narrow base", utf8({0x2764, 0xFE0E}), 1},
        {"quote + VS2 inside text", utf8({'x', 0x2019, 0xFE01, 'y'}), 4},
        {"new wide symbol (Unicode 16)", utf8({0x2630}), 2},
        {"prepend letter", utf8({0x113D1}), 0},
        {"kannada vowel sign now extend", utf8({0xCC0}), 0},
        {"spacing mark", utf8({0x903}), 1},
        {"arabic number sign", utf8({0x600}), 1},
    };
    for (const W& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(unicode::str_width(r.text), r.width);
    }
}

TEST(Unicode, ClusterBoundaries) {
    struct C {
        const char* what;
        std::string text;
        std::vector<std::string> clusters;
    };
    const std::vector<C> rows = {
        {"ascii", "ab", {"a", "b"}},
        {"CR LF stays together", "a\r\nb", {"a", "\r\n", "b"}},
        {"LF CR splits", "\n\r", {"\n", "\r"}},
        {"mark after LF stands alone", utf8({'\n', 0x308}), {"\n", utf8({0x308})}},
        {"mark joins ascii", utf8({'a', 0x308, 'b'}), {utf8({'a', 0x308}), "b"}},
        {"prepend joins", utf8({0x600, 0x661}), {utf8({0x600, 0x661})}},
        {"prepend joins even a space", utf8({0x600, ' ', 'a'}), {utf8({0x600, ' '}), "a"}},
        {"prepend does not join a control", utf8({0x600, '\n'}), {utf8({0x600}), "\n"}},
        {"zwj then pictograph after an extender", utf8({'a', 0x308, 0x200D, 0x2701}),
         {utf8({'a', 0x308, 0x200D}), utf8({0x2701})}},
        {"hangul LV T", utf8({0xAC00, 0x11A8, 0x1100}), {utf8({0xAC00, 0x11A8}), utf8({0x1100})}},
        {"four RIs", utf8({0x1F1E6, 0x1F1E7, 0x1F1E8, 0x1F1E9}),
         {utf8({0x1F1E6, 0x1F1E7}), utf8({0x1F1E8, 0x1F1E9})}},
        {"conjunct with two linkers", utf8({0x915, 0x94D, 0x937, 0x94D, 0x930}),
         {utf8({0x915, 0x94D, 0x937, 0x94D, 0x930})}},
        {"zwnj ends the conjunct", utf8({0x915, 0x94D, 0x200C, 0x937}),
         {utf8({0x915, 0x94D, 0x200C}), utf8({0x937})}},
        {"extend between pictographs", utf8({0x1F468, 0x1F3FB, 0x200D, 0x1F469}),
         {utf8({0x1F468, 0x1F3FB, 0x200D, 0x1F469})}},
        {"reserved emoji code point is pictographic", utf8({0x1F468, 0x200D, 0x1FABA}),
         {utf8({0x1F468, 0x200D, 0x1FABA})}},
        {"new extender (Unicode 16)", utf8({'a', 0x1ACF}), {utf8({'a', 0x1ACF})}},
        {"kirat rai vowel joins as V", utf8({0x16D63, 0x16D67}), {utf8({0x16D63, 0x16D67})}},
    };
    for (const C& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<std::string> got;
        for (auto g : unicode::graphemes(r.text)) got.emplace_back(g);
        EXPECT_EQ(got, r.clusters);
    }
}

TEST(Unicode, ForEachGraphemeStopsWhenTheCallbackSaysSo) {
    std::vector<std::string> seen;
    unicode::for_each_grapheme("abcd", [&](std::string_view g) {
        seen.emplace_back(g);
        return seen.size() < 2;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
}

TEST(Unicode, InvalidBytesReadAsReplacementCharacters) {
    struct I {
        const char* what;
        std::string text;
        std::size_t width;
        std::vector<std::string> clusters;
    };
    const std::vector<I> rows = {
        {"lone 0xFF", "\xFF", 1, {"\xFF"}},
        {"truncated sequence at the end", "a\xE2\x82", 3, {"a", "\xE2", "\x82"}},
        {"lead byte at the end", "ab\xC3", 3, {"a", "b", "\xC3"}},
        {"encoded surrogate", "\xED\xA0\x80", 3, {"\xED", "\xA0", "\x80"}},
        {"overlong slash", "\xC0\xAF", 2, {"\xC0", "\xAF"}},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 4, {"\xF4", "\x90", "\x80", "\x80"}},
        {"nothing joins an invalid byte", "e\xCC\x81\xFF\xCC\x81",
         2, {"e\xCC\x81", "\xFF", "\xCC\x81"}},
        {"stray continuation before a wide char", "\x80\xE4\xB8\x80", 3, {"\x80", "\xE4\xB8\x80"}},
    };
    for (const I& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(unicode::str_width(r.text), r.width);
        std::vector<std::string> got;
        for (auto g : unicode::graphemes(r.text)) got.emplace_back(g);
        EXPECT_EQ(got, r.clusters);
    }
    const auto d = unicode::decode("\xED\xA0\x80", 0);
    EXPECT_EQ(d.cp, U'\uFFFD');
    EXPECT_EQ(d.len, 1);
    EXPECT_FALSE(d.valid);
}

TEST(Unicode, Truncation) {
    struct T {
        const char* what;
        std::string text;
        std::size_t max;
        std::string end;
        std::size_t end_width;
        std::string start;
        std::size_t start_width;
    };
    const std::string nihao = utf8({0x4F60, 0x597D, 0x5417});
    const std::vector<T> rows = {
        {"wide chars cannot be split", nihao, 5, utf8({0x4F60, 0x597D}), 4, utf8({0x597D, 0x5417}), 4},
        {"fits", "abc", 3, "abc", 3, "abc", 3},
        {"zero width", "abc", 0, "", 0, "", 0},
        {"combining mark goes with its base", utf8({'a', 'b', 0x301, 'c'}), 2, utf8({'a', 'b', 0x301}),
         2, utf8({'b', 0x301, 'c'}), 2},
        {"zero-width graphemes at the cut are kept", utf8({'x', 0x200B, 'a', 'b', 0x200B, 'y'}), 3,
         utf8({'x', 0x200B, 'a', 'b', 0x200B}), 3, utf8({0x200B, 'a', 'b', 0x200B, 'y'}), 3},
        {"empty", "", 4, "", 0, "", 0},
        // lam and alef are two graphemes of one column each but draw as one ligature column; the
        // cut counts the graphemes, and so does the width reported with it
        {"ligature across graphemes", utf8({'a', 'a', 0x644, 0x627}), 2, "aa", 2, utf8({0x644, 0x627}), 2},
        {"ligature fits by its graphemes", utf8({0x644, 0x627, 'b'}), 2, utf8({0x644, 0x627}), 2, utf8({0x627, 'b'}),
         2},
    };
    for (const T& r : rows) {
        SCOPED_TRACE(r.what);
        const auto e = unicode::truncate_end(r.text, r.max);
        EXPECT_EQ(std::string(e.text), r.end);
        EXPECT_EQ(e.width, r.end_width);
        const auto s = unicode::truncate_start(r.text, r.max);
        EXPECT_EQ(std::string(s.text), r.start);
        EXPECT_EQ(s.width, r.start_width);
    }
}

TEST(Unicode, GraphemeWidthAndControls) {
    EXPECT_EQ(unicode::grapheme_width("\t"), 1u);  // one byte: one cell
    EXPECT_EQ(unicode::grapheme_width(utf8({0x1F469, 0x200D, 0x1F52C})), 2u);
    EXPECT_EQ(unicode::grapheme_width(utf8({0xFF76, 0xFF9F})), 2u);
    EXPECT_TRUE(unicode::has_control("\r\n"));
    EXPECT_TRUE(unicode::has_control(utf8({0x9F})));
    EXPECT_FALSE(unicode::has_control(utf8({0xA0})));
    EXPECT_FALSE(unicode::has_control(utf8({0x2028})));
    EXPECT_FALSE(unicode::has_control(utf8({0x200B})));
}

}  // namespace

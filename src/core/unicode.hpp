// Display width of strings and graphemes, extended grapheme clusters and width-bounded
// truncation, measured the way terminal widgets measure text.
//
// Text is UTF-8. Bytes that do not form well-formed UTF-8 (stray continuation bytes, truncated
// sequences, overlong forms, encoded surrogates, values above U+10FFFF) never fail: each such
// byte reads as one U+FFFD REPLACEMENT CHARACTER of width 1 and forms a grapheme cluster of its
// own (nothing joins to it). The views handed out always keep the original bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tarvo::core::unicode {

// One decoded code point: `cp` is U+FFFD and `valid` false for a byte that is not part of
// well-formed UTF-8 (then `len` is 1).
struct Decoded {
    char32_t cp;
    std::uint8_t len;
    bool valid;
};

// Decodes the code point that starts at byte `i` (< s.size()).
Decoded decode(std::string_view s, std::size_t i) noexcept;

// Display width of a whole string in terminal columns: the sum of the code points' widths with
// the sequence rules applied (emoji ZWJ sequences, modifiers, flags, keycaps, variation
// selectors, "\r\n" as one column, ligatures such as lam-alef). Control characters count 1.
std::size_t str_width(std::string_view utf8) noexcept;

// Width of one grapheme cluster as it is written into a cell: 1 for a one-byte grapheme,
// otherwise its string width plus one per halfwidth (semi-)voiced sound mark U+FF9E/U+FF9F,
// capped at 65535.
std::size_t grapheme_width(std::string_view grapheme) noexcept;

// True when the text holds a control character (U+0000-001F, U+007F-009F). Writers drop such
// graphemes: by the segmentation rules that is a lone control character or "\r\n".
bool has_control(std::string_view grapheme) noexcept;

// End (byte offset) of the extended grapheme cluster that starts at byte `start` < s.size().
std::size_t grapheme_end(std::string_view s, std::size_t start) noexcept;

// Calls f(std::string_view grapheme) for each extended grapheme cluster of s, in order.
// When f returns bool, returning false stops the walk.
template <class F>
void for_each_grapheme(std::string_view s, F&& f) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t end;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80 && (i + 1 == n || (static_cast<unsigned char>(s[i + 1]) < 0x80 &&
                                         !(c == '\r' && s[i + 1] == '\n')))) {
            end = i + 1;  // an ASCII byte before another ASCII byte (or the end) stands alone
        } else {
            end = grapheme_end(s, i);
        }
        const std::string_view g = s.substr(i, end - i);
        i = end;
        if constexpr (std::is_same_v<std::invoke_result_t<F&, std::string_view>, bool>) {
            if (!f(g)) return;
        } else {
            f(g);
        }
    }
}

// All extended grapheme clusters of s, as views into s.
std::vector<std::string_view> graphemes(std::string_view s);

// A piece of a string with the sum of its graphemes' widths. That sum is what the cut is decided
// on; it exceeds the string width of the piece where a ligature spans graphemes (lam-alef).
struct Truncated {
    std::string_view text;
    std::size_t width;
};

// The longest prefix of s, cut at a grapheme boundary, whose graphemes' widths sum to at most
// max_width. Zero-width graphemes right after the cut are kept.
Truncated truncate_end(std::string_view s, std::size_t max_width);

// The longest suffix of s, cut at a grapheme boundary, whose graphemes' widths sum to at most
// max_width. Zero-width graphemes right before the cut are kept.
Truncated truncate_start(std::string_view s, std::size_t max_width);

// The version string of the segmentation data library in use ("2.8.0" expected).
const char* data_library_version() noexcept;

}  // namespace tarvo::core::unicode

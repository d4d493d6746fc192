// A wide table of splits pinned by their digest: thousands of layouts drawn from a fixed
// sequence over every flex mode, every kind of constraint, gaps and overlaps, margins, both
// directions and many area sizes. Any change in any rect of any of them changes the digest of
// its block of layouts. Set TARVO_LAYOUT_TABLE=<file> to write the whole table out instead (one
// layout and its rects per line), to see which layouts moved.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/layout.hpp"

namespace tarvo::core {
namespace {

struct Draw {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
};

Constraint any_constraint(Draw& d, std::uint32_t scale) {
    switch (d.below(6)) {
        case 0: return Constraint::min(static_cast<std::uint16_t>(d.below(scale)));
        case 1: return Constraint::max(static_cast<std::uint16_t>(d.below(scale)));
        case 2: return Constraint::length(static_cast<std::uint16_t>(d.below(scale)));
        case 3: return Constraint::percentage(static_cast<std::uint16_t>(d.below(121)));
        case 4: return Constraint::ratio(d.below(6), d.below(7));
        default: return Constraint::fill(static_cast<std::uint16_t>(d.below(4)));
    }
}

// Layout number `i` of the table and the area it splits.
std::pair<Layout, Rect> table_entry(std::uint64_t i) {
    Draw d{i * 0x2545f4914f6cdd1dull + 17};
    static const std::uint16_t widths[] = {0, 1, 2, 7, 10, 13, 33, 50, 80, 100, 123, 200, 1000};
    Layout l;
    l.direction = d.below(5) == 0 ? Direction::Vertical : Direction::Horizontal;
    l.flex = static_cast<Flex>(d.below(7));
    const std::uint32_t sp = d.below(10);
    l.spacing = sp < 4 ? Spacing::space(0) : sp < 7 ? Spacing::space(static_cast<std::uint16_t>(sp - 3))
                                                   : Spacing::overlap(static_cast<std::uint16_t>(sp - 6));
    if (d.below(8) == 0) l.margin = Margin{static_cast<std::uint16_t>(d.below(3)), static_cast<std::uint16_t>(d.below(3))};
    // Mostly a handful of constraints; every 16th layout has up to 40.
    const std::uint32_t n = i % 16 == 15 ? 9 + d.below(32) : d.below(9);
    const std::uint16_t w = widths[d.below(13)];
    const std::uint32_t scale = 1 + (w > 0 ? w : 10) / (n > 0 ? n : 1) * 2;
    for (std::uint32_t k = 0; k < n; ++k) l.constraints.push_back(any_constraint(d, scale));
    const auto x = static_cast<std::uint16_t>(d.below(4));
    const Rect area = l.direction == Direction::Horizontal ? Rect{x, 1, w, 3} : Rect{1, x, 3, w};
    return {l, area};
}

std::string rects_text(const Split& s) {
    std::string out;
    for (const auto* list : {&s.segments, &s.spacers}) {
        out += " |";
        for (const Rect& r : *list) {
            const char* sep = " ";
            for (const std::uint16_t v : {r.x, r.y, r.width, r.height}) {
                out += sep;
                out += std::to_string(v);
                sep = ",";
            }
        }
    }
    return out;
}

std::uint64_t fnv(std::uint64_t h, const std::string& text) {
    for (const unsigned char c : text) h = (h ^ c) * 0x100000001b3ull;
    return h;
}

constexpr std::uint64_t kBlock = 250;
constexpr std::uint64_t kBlocks = 16;

// The digest of every block, from the splits as they were pinned.
constexpr std::uint64_t kDigests[kBlocks] = {
    0x6f5b6d342cf9af38ull,
    0xb44f19fa4b93351aull,
    0xd3010d58a23b1722ull,
    0x593d8dce326bd86dull,
    0xbfa22beca14a56e6ull,
    0x1a52671eb14ec6abull,
    0x750cf2ec428ca620ull,
    0x86ef77a2f76b3f85ull,
    0xaf9be06c5a966072ull,
    0x2c2b75918c4d5c01ull,
    0x3c50d0ff33dba54cull,
    0xb92c0cca8a95f0bcull,
    0x858381da13f58495ull,
    0x55b769162db3afd9ull,
    0x9a7c333cb7ceeaa1ull,
    0x97c8ab2da977b516ull,
};

TEST(LayoutTable, EveryBlockKeepsItsDigest) {
    const char* out_path = std::getenv("TARVO_LAYOUT_TABLE");
    std::FILE* out = out_path ? std::fopen(out_path, "w") : nullptr;
    for (std::uint64_t b = 0; b < kBlocks; ++b) {
        std::uint64_t h = 0xcbf29ce484222325ull;
        for (std::uint64_t i = b * kBlock; i < (b + 1) * kBlock; ++i) {
            const auto [layout, area] = table_entry(i);
            const std::string line = std::to_string(i) + " " + std::to_string(area.x) + "," + std::to_string(area.y) +
                                     "," + std::to_string(area.width) + "," + std::to_string(area.height) + " " +
                                     layout.debug() +
                                     rects_text(solve_split(layout, area));
            h = fnv(h, line);
            if (out) std::fprintf(out, "%s\n", line.c_str());
        }
        if (out) std::fprintf(out, "block %llu digest 0x%016llxull\n", static_cast<unsigned long long>(b),
                              static_cast<unsigned long long>(h));
        else EXPECT_EQ(h, kDigests[b]) << "block " << b;
    }
    if (out) std::fclose(out);
}

}  // namespace
}  // namespace tarvo::core

// The glyph tables the shape effects draw with.
#pragma once

#include <array>
#include <string_view>

#include "core/fx/enums.hpp"

namespace tarvo::core::fx::glyphs {

// A cell sliding out of view, from full (index 0) to gone (index 8).
inline constexpr std::array<std::string_view, 9> kShrinkHorizontal{
    "\u2588", "\u2589", "\u258A", "\u258B", "\u258C", "\u258D", "\u258E", "\u258F", " "};
inline constexpr std::array<std::string_view, 9> kShrinkVertical{
    "\u2588", "\u2587", "\u2586", "\u2585", "\u2584", "\u2583", "\u2582", "\u2581", " "};

// The moving edge of a stretch, from thinnest to full.
inline constexpr std::array<std::string_view, 8> kEdgeHorizontal{
    "\u258F", "\u258E", "\u258D", "\u258C", "\u258B", "\u258A", "\u2589", "\u2588"};
inline constexpr std::array<std::string_view, 8> kEdgeVertical{
    "\u2581", "\u2582", "\u2583", "\u2584", "\u2585", "\u2586", "\u2587", "\u2588"};

// Debris of an explosion, from fresh (index 0) to faded out.
inline constexpr std::array<std::string_view, 18> kDebris{
    "\u2589", "\u2589", "\u2593", "\u2599", "\u259C", "\u259B", "\u2591", "\u259A", "\u2597",
    "\u2598", "\u259D", "\u2594", "\u2822", "\u280C", "\u2810", "\u2801", " ", " "};

// The glyphs of an evolve effect's set, from empty (index 0) to full.
struct SymbolSet {
    const std::string_view* symbols;
    std::size_t size;
    std::string_view operator[](std::size_t i) const noexcept { return symbols[i]; }
};

inline constexpr std::array<std::string_view, 9> kBlocksHorizontal{
    " ", "\u258F", "\u258E", "\u258D", "\u258C", "\u258B", "\u258A", "\u2589", "\u2588"};
inline constexpr std::array<std::string_view, 9> kBlocksVertical{
    " ", "\u2581", "\u2582", "\u2583", "\u2584", "\u2585", "\u2586", "\u2587", "\u2588"};
inline constexpr std::array<std::string_view, 5> kCircleFill{" ", "\u25CC", "\u25CE", "\u25CD", "\u25CF"};
inline constexpr std::array<std::string_view, 5> kCircles{" ", "\u00B7", "\u2022", "\u25C9", "\u25CF"};
inline constexpr std::array<std::string_view, 12> kQuadrants{
    " ", "\u2596", "\u2598", "\u2597", "\u259D", "\u259A", "\u259E", "\u2599", "\u259B", "\u259C", "\u259F", "\u2588"};
inline constexpr std::array<std::string_view, 5> kShaded{" ", "\u2591", "\u2592", "\u2593", "\u2588"};
inline constexpr std::array<std::string_view, 6> kSquares{" ", "\u00B7", "\u25AB", "\u25AA", "\u25FC", "\u2588"};

constexpr SymbolSet symbol_set(EvolveSymbolSet s) noexcept {
    switch (s) {
        case EvolveSymbolSet::BlocksHorizontal: return {kBlocksHorizontal.data(), kBlocksHorizontal.size()};
        case EvolveSymbolSet::BlocksVertical: return {kBlocksVertical.data(), kBlocksVertical.size()};
        case EvolveSymbolSet::CircleFill: return {kCircleFill.data(), kCircleFill.size()};
        case EvolveSymbolSet::Circles: return {kCircles.data(), kCircles.size()};
        case EvolveSymbolSet::Quadrants: return {kQuadrants.data(), kQuadrants.size()};
        case EvolveSymbolSet::Shaded: return {kShaded.data(), kShaded.size()};
        case EvolveSymbolSet::Squares: break;
    }
    return {kSquares.data(), kSquares.size()};
}

}  // namespace tarvo::core::fx::glyphs

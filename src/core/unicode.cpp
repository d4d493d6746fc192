#include "core/unicode.hpp"

#include <utf8proc.h>

#include <algorithm>
#include <cstdint>

// Widths and grapheme classes start from utf8proc's character data (Unicode 15.0) and are
// brought to Unicode 17 with the tables below: emoji properties, the Indic conjunct classes,
// the code points whose width or break class changed, and the code points assigned since.

namespace tarvo::core::unicode {

namespace {

struct Range {
    char32_t lo;
    char32_t hi;
};

struct WidthRange {
    char32_t lo;
    char32_t hi;
    std::uint8_t width;
};

// ---- Unicode 17 data ----

constexpr Range kEmojiPresentation[] = {
    {0x231A, 0x231B}, {0x23E9, 0x23EC}, {0x23F0, 0x23F0}, {0x23F3, 0x23F3}, {0x25FD, 0x25FE},
    {0x2614, 0x2615}, {0x2648, 0x2653}, {0x267F, 0x267F}, {0x2693, 0x2693}, {0x26A1, 0x26A1},
    {0x26AA, 0x26AB}, {0x26BD, 0x26BE}, {0x26C4, 0x26C5}, {0x26CE, 0x26CE}, {0x26D4, 0x26D4},
    {0x26EA, 0x26EA}, {0x26F2, 0x26F3}, {0x26F5, 0x26F5}, {0x26FA, 0x26FA}, {0x26FD, 0x26FD},
    {0x2705, 0x2705}, {0x270A, 0x270B}, {0x2728, 0x2728}, {0x274C, 0x274C}, {0x274E, 0x274E},
    {0x2753, 0x2755}, {0x2757, 0x2757}, {0x2795, 0x2797}, {0x27B0, 0x27B0}, {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C}, {0x2B50, 0x2B50}, {0x2B55, 0x2B55}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F201, 0x1F201}, {0x1F21A, 0x1F21A},
    {0x1F22F, 0x1F22F}, {0x1F232, 0x1F236}, {0x1F238, 0x1F23A}, {0x1F250, 0x1F251},
    {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393},
    {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4},
    {0x1F3F8, 0x1F3FA}, {0x1F400, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC},
    {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A},
    {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5},
    {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D8}, {0x1F6DC, 0x1F6DF},
    {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0},
    {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FA7C},
    {0x1FA80, 0x1FA8A}, {0x1FA8E, 0x1FAC6}, {0x1FAC8, 0x1FAC8}, {0x1FACD, 0x1FADC},
    {0x1FADF, 0x1FAEA}, {0x1FAEF, 0x1FAF8},
};

constexpr Range kVs16Bases[] = {
    {0x23, 0x23}, {0x2A, 0x2A}, {0x30, 0x39}, {0xA9, 0xA9}, {0xAE, 0xAE}, {0x203C, 0x203C},
    {0x2049, 0x2049}, {0x2122, 0x2122}, {0x2139, 0x2139}, {0x2194, 0x2199}, {0x21A9, 0x21AA},
    {0x231A, 0x231B}, {0x2328, 0x2328}, {0x23CF, 0x23CF}, {0x23E9, 0x23F3}, {0x23F8, 0x23FA},
    {0x24C2, 0x24C2}, {0x25AA, 0x25AB}, {0x25B6, 0x25B6}, {0x25C0, 0x25C0}, {0x25FB, 0x25FE},
    {0x2600, 0x2604}, {0x260E, 0x260E}, {0x2611, 0x2611}, {0x2614, 0x2615}, {0x2618, 0x2618},
    {0x261D, 0x261D}, {0x2620, 0x2620}, {0x2622, 0x2623}, {0x2626, 0x2626}, {0x262A, 0x262A},
    {0x262E, 0x262F}, {0x2638, 0x263A}, {0x2640, 0x2640}, {0x2642, 0x2642}, {0x2648, 0x2653},
    {0x265F, 0x2660}, {0x2663, 0x2663}, {0x2665, 0x2666}, {0x2668, 0x2668}, {0x267B, 0x267B},
    {0x267E, 0x267F}, {0x2692, 0x2697}, {0x2699, 0x2699}, {0x269B, 0x269C}, {0x26A0, 0x26A1},
    {0x26A7, 0x26A7}, {0x26AA, 0x26AB}, {0x26B0, 0x26B1}, {0x26BD, 0x26BE}, {0x26C4, 0x26C5},
    {0x26C8, 0x26C8}, {0x26CE, 0x26CF}, {0x26D1, 0x26D1}, {0x26D3, 0x26D4}, {0x26E9, 0x26EA},
    {0x26F0, 0x26F5}, {0x26F7, 0x26FA}, {0x26FD, 0x26FD}, {0x2702, 0x2702}, {0x2705, 0x2705},
    {0x2708, 0x270D}, {0x270F, 0x270F}, {0x2712, 0x2712}, {0x2714, 0x2714}, {0x2716, 0x2716},
    {0x271D, 0x271D}, {0x2721, 0x2721}, {0x2728, 0x2728}, {0x2733, 0x2734}, {0x2744, 0x2744},
    {0x2747, 0x2747}, {0x274C, 0x274C}, {0x274E, 0x274E}, {0x2753, 0x2755}, {0x2757, 0x2757},
    {0x2763, 0x2764}, {0x2795, 0x2797}, {0x27A1, 0x27A1}, {0x27B0, 0x27B0}, {0x27BF, 0x27BF},
    {0x2934, 0x2935}, {0x2B05, 0x2B07}, {0x2B1B, 0x2B1C}, {0x2B50, 0x2B50}, {0x2B55, 0x2B55},
    {0x3030, 0x3030}, {0x303D, 0x303D}, {0x3297, 0x3297}, {0x3299, 0x3299}, {0x1F004, 0x1F004},
    {0x1F170, 0x1F171}, {0x1F17E, 0x1F17F}, {0x1F202, 0x1F202}, {0x1F21A, 0x1F21A},
    {0x1F22F, 0x1F22F}, {0x1F237, 0x1F237}, {0x1F30D, 0x1F30F}, {0x1F315, 0x1F315},
    {0x1F31C, 0x1F31C}, {0x1F321, 0x1F321}, {0x1F324, 0x1F32C}, {0x1F336, 0x1F336},
    {0x1F378, 0x1F378}, {0x1F37D, 0x1F37D}, {0x1F393, 0x1F393}, {0x1F396, 0x1F397},
    {0x1F399, 0x1F39B}, {0x1F39E, 0x1F39F}, {0x1F3A7, 0x1F3A7}, {0x1F3AC, 0x1F3AE},
    {0x1F3C2, 0x1F3C2}, {0x1F3C4, 0x1F3C4}, {0x1F3C6, 0x1F3C6}, {0x1F3CA, 0x1F3CE},
    {0x1F3D4, 0x1F3E0}, {0x1F3ED, 0x1F3ED}, {0x1F3F3, 0x1F3F3}, {0x1F3F5, 0x1F3F5},
    {0x1F3F7, 0x1F3F7}, {0x1F408, 0x1F408}, {0x1F415, 0x1F415}, {0x1F41F, 0x1F41F},
    {0x1F426, 0x1F426}, {0x1F43F, 0x1F43F}, {0x1F441, 0x1F442}, {0x1F446, 0x1F449},
    {0x1F44D, 0x1F44E}, {0x1F453, 0x1F453}, {0x1F46A, 0x1F46A}, {0x1F47D, 0x1F47D},
    {0x1F4A3, 0x1F4A3}, {0x1F4B0, 0x1F4B0}, {0x1F4B3, 0x1F4B3}, {0x1F4BB, 0x1F4BB},
    {0x1F4BF, 0x1F4BF}, {0x1F4CB, 0x1F4CB}, {0x1F4DA, 0x1F4DA}, {0x1F4DF, 0x1F4DF},
    {0x1F4E4, 0x1F4E6}, {0x1F4EA, 0x1F4ED}, {0x1F4F7, 0x1F4F7}, {0x1F4F9, 0x1F4FB},
    {0x1F4FD, 0x1F4FD}, {0x1F508, 0x1F508}, {0x1F50D, 0x1F50D}, {0x1F512, 0x1F513},
    {0x1F549, 0x1F54A}, {0x1F550, 0x1F567}, {0x1F56F, 0x1F570}, {0x1F573, 0x1F579},
    {0x1F587, 0x1F587}, {0x1F58A, 0x1F58D}, {0x1F590, 0x1F590}, {0x1F5A5, 0x1F5A5},
    {0x1F5A8, 0x1F5A8}, {0x1F5B1, 0x1F5B2}, {0x1F5BC, 0x1F5BC}, {0x1F5C2, 0x1F5C4},
    {0x1F5D1, 0x1F5D3}, {0x1F5DC, 0x1F5DE}, {0x1F5E1, 0x1F5E1}, {0x1F5E3, 0x1F5E3},
    {0x1F5E8, 0x1F5E8}, {0x1F5EF, 0x1F5EF}, {0x1F5F3, 0x1F5F3}, {0x1F5FA, 0x1F5FA},
    {0x1F610, 0x1F610}, {0x1F687, 0x1F687}, {0x1F68D, 0x1F68D}, {0x1F691, 0x1F691},
    {0x1F694, 0x1F694}, {0x1F698, 0x1F698}, {0x1F6AD, 0x1F6AD}, {0x1F6B2, 0x1F6B2},
    {0x1F6B9, 0x1F6BA}, {0x1F6BC, 0x1F6BC}, {0x1F6CB, 0x1F6CB}, {0x1F6CD, 0x1F6CF},
    {0x1F6E0, 0x1F6E5}, {0x1F6E9, 0x1F6E9}, {0x1F6F0, 0x1F6F0}, {0x1F6F3, 0x1F6F3},
};

constexpr Range kModifierBases[] = {
    {0x261D, 0x261D}, {0x26F9, 0x26F9}, {0x270A, 0x270D}, {0x1F385, 0x1F385}, {0x1F3C2, 0x1F3C4},
    {0x1F3C7, 0x1F3C7}, {0x1F3CA, 0x1F3CC}, {0x1F442, 0x1F443}, {0x1F446, 0x1F450},
    {0x1F466, 0x1F478}, {0x1F47C, 0x1F47C}, {0x1F481, 0x1F483}, {0x1F485, 0x1F487},
    {0x1F48F, 0x1F48F}, {0x1F491, 0x1F491}, {0x1F4AA, 0x1F4AA}, {0x1F574, 0x1F575},
    {0x1F57A, 0x1F57A}, {0x1F590, 0x1F590}, {0x1F595, 0x1F596}, {0x1F645, 0x1F647},
    {0x1F64B, 0x1F64F}, {0x1F6A3, 0x1F6A3}, {0x1F6B4, 0x1F6B6}, {0x1F6C0, 0x1F6C0},
    {0x1F6CC, 0x1F6CC}, {0x1F90C, 0x1F90C}, {0x1F90F, 0x1F90F}, {0x1F918, 0x1F91F},
    {0x1F926, 0x1F926}, {0x1F930, 0x1F939}, {0x1F93C, 0x1F93E}, {0x1F977, 0x1F977},
    {0x1F9B5, 0x1F9B6}, {0x1F9B8, 0x1F9B9}, {0x1F9BB, 0x1F9BB}, {0x1F9CD, 0x1F9CF},
    {0x1F9D1, 0x1F9DD}, {0x1FAC3, 0x1FAC5}, {0x1FAF0, 0x1FAF8},
};

constexpr Range kIncbConsonant[] = {
    {0x915, 0x939}, {0x958, 0x95F}, {0x978, 0x97F}, {0x995, 0x9A8}, {0x9AA, 0x9B0}, {0x9B2, 0x9B2},
    {0x9B6, 0x9B9}, {0x9DC, 0x9DD}, {0x9DF, 0x9DF}, {0x9F0, 0x9F1}, {0xA95, 0xAA8}, {0xAAA, 0xAB0},
    {0xAB2, 0xAB3}, {0xAB5, 0xAB9}, {0xAF9, 0xAF9}, {0xB15, 0xB28}, {0xB2A, 0xB30}, {0xB32, 0xB33},
    {0xB35, 0xB39}, {0xB5C, 0xB5D}, {0xB5F, 0xB5F}, {0xB71, 0xB71}, {0xC15, 0xC28}, {0xC2A, 0xC39},
    {0xC58, 0xC5A}, {0xD15, 0xD3A}, {0x1000, 0x102A}, {0x103F, 0x103F}, {0x1050, 0x1055},
    {0x105A, 0x105D}, {0x1061, 0x1061}, {0x1065, 0x1066}, {0x106E, 0x1070}, {0x1075, 0x1081},
    {0x108E, 0x108E}, {0x1780, 0x17B3}, {0x1A20, 0x1A54}, {0x1B0B, 0x1B0C}, {0x1B13, 0x1B33},
    {0x1B45, 0x1B4C}, {0x1B83, 0x1BA0}, {0x1BAE, 0x1BAF}, {0x1BBB, 0x1BBD}, {0xA989, 0xA98B},
    {0xA98F, 0xA9B2}, {0xA9E0, 0xA9E4}, {0xA9E7, 0xA9EF}, {0xA9FA, 0xA9FE}, {0xAA60, 0xAA6F},
    {0xAA71, 0xAA73}, {0xAA7A, 0xAA7A}, {0xAA7E, 0xAA7F}, {0xAAE0, 0xAAEA}, {0xABC0, 0xABDA},
    {0x10A00, 0x10A00}, {0x10A10, 0x10A13}, {0x10A15, 0x10A17}, {0x10A19, 0x10A35},
    {0x11103, 0x11126}, {0x11144, 0x11144}, {0x11147, 0x11147}, {0x11380, 0x11389},
    {0x1138B, 0x1138B}, {0x1138E, 0x1138E}, {0x11390, 0x113B5}, {0x11900, 0x11906},
    {0x11909, 0x11909}, {0x1190C, 0x11913}, {0x11915, 0x11916}, {0x11918, 0x1192F},
    {0x11A00, 0x11A00}, {0x11A0B, 0x11A32}, {0x11A50, 0x11A50}, {0x11A5C, 0x11A83},
    {0x11F04, 0x11F10}, {0x11F12, 0x11F33},
};

constexpr WidthRange kWidthOverrides[] = {
    {0xAD, 0xAD, 0}, {0x600, 0x604, 1}, {0x6DD, 0x6DD, 1}, {0x897, 0x897, 0}, {0x17A4, 0x17A4, 2},
    {0x17D8, 0x17D8, 3}, {0x1ACF, 0x1ADD, 0}, {0x1AE0, 0x1AEB, 0}, {0x2028, 0x2028, 1},
    {0x2029, 0x2029, 1}, {0x2065, 0x2065, 0}, {0x2630, 0x2637, 2}, {0x268A, 0x268F, 2},
    {0x2D7F, 0x2D7F, 1}, {0x2FFC, 0x2FFF, 2}, {0x302E, 0x302F, 0}, {0x3164, 0x3164, 0},
    {0x31E4, 0x31E5, 2}, {0x31EF, 0x31EF, 2}, {0x4DC0, 0x4DFF, 2}, {0xA8FA, 0xA8FA, 0},
    {0xFA6E, 0xFA6F, 2}, {0xFADA, 0xFAFF, 2}, {0xFF9E, 0xFF9F, 0}, {0xFFA0, 0xFFA0, 0},
    {0xFFF0, 0xFFF8, 0}, {0xFFF9, 0xFFFB, 1}, {0x10D69, 0x10D6D, 0}, {0x10EFA, 0x10EFC, 0},
    {0x110BD, 0x110BD, 1}, {0x110CD, 0x110CD, 1}, {0x113B8, 0x113B8, 0}, {0x113BB, 0x113C0, 0},
    {0x113C2, 0x113C2, 0}, {0x113C5, 0x113C5, 0}, {0x113C7, 0x113C9, 0}, {0x113CE, 0x113D2, 0},
    {0x113E1, 0x113E2, 0}, {0x1171E, 0x1171E, 1}, {0x11A3A, 0x11A3A, 1}, {0x11B60, 0x11B60, 0},
    {0x11B62, 0x11B64, 0}, {0x11B66, 0x11B66, 0}, {0x11F5A, 0x11F5A, 0}, {0x13430, 0x1343F, 1},
    {0x1611E, 0x16129, 0}, {0x1612D, 0x1612F, 0}, {0x16FF0, 0x16FF1, 0}, {0x16FF2, 0x16FF6, 2},
    {0x187F8, 0x187FF, 2}, {0x18CFF, 0x18CFF, 2}, {0x18D09, 0x18D1E, 2}, {0x18D80, 0x18DF2, 2},
    {0x1D300, 0x1D356, 2}, {0x1D360, 0x1D376, 2}, {0x1E5EE, 0x1E5EF, 0}, {0x1E6E3, 0x1E6E3, 0},
    {0x1E6E6, 0x1E6E6, 0}, {0x1E6EE, 0x1E6EF, 0}, {0x1E6F5, 0x1E6F5, 0}, {0x1F6D8, 0x1F6D8, 2},
    {0x1FA89, 0x1FA8A, 2}, {0x1FA8E, 0x1FA8F, 2}, {0x1FABE, 0x1FABE, 2}, {0x1FAC6, 0x1FAC6, 2},
    {0x1FAC8, 0x1FAC8, 2}, {0x1FACD, 0x1FACD, 2}, {0x1FADC, 0x1FADC, 2}, {0x1FADF, 0x1FADF, 2},
    {0x1FAE9, 0x1FAEA, 2}, {0x1FAEF, 0x1FAEF, 2}, {0x2A6E0, 0x2A6FF, 2}, {0x2B73A, 0x2B73F, 2},
    {0x2B81E, 0x2B81F, 2}, {0x2CEA2, 0x2CEAF, 2}, {0x2EBE1, 0x2F7FF, 2}, {0x2FA1E, 0x2FFFD, 2},
    {0x3134B, 0x3134F, 2}, {0x323B0, 0x3FFFD, 2}, {0xE0000, 0xE0000, 0}, {0xE0002, 0xE001F, 0},
    {0xE0080, 0xE00FF, 0}, {0xE01F0, 0xE0FFF, 0},
};

// Spacing marks that are grapheme extenders since Unicode 16.
constexpr Range kNowExtend[] = {
    {0x0CC0, 0x0CC0}, {0x0CC7, 0x0CC8}, {0x0CCA, 0x0CCB}, {0x1715, 0x1715}, {0x1734, 0x1734},
    {0x1B3B, 0x1B3B}, {0x1B3D, 0x1B3D}, {0x1B43, 0x1B44}, {0x1BAA, 0x1BAA}, {0x1BF2, 0x1BF3},
    {0xA953, 0xA953}, {0xA9C0, 0xA9C0}, {0x111C0, 0x111C0}, {0x11235, 0x11235},
    {0x1134D, 0x1134D}, {0x116B6, 0x116B6}, {0x1193D, 0x1193D}, {0x11F41, 0x11F41},
    {0x16FF0, 0x16FF1}, {0x1D166, 0x1D166}, {0x1D16D, 0x1D16D},
};

// Grapheme break classes.
enum Gcb : std::uint8_t {
    kOther, kCR, kLF, kControl, kExtend, kZWJ, kRI, kPrepend, kSpacingMark, kL, kV, kT, kLV, kLVT,
    kExtPict,
};

struct ClassRange {
    char32_t lo;
    char32_t hi;
    Gcb cls;
};

// Break classes that differ from utf8proc's data: code points assigned after Unicode 15 and
// the reclassified ones (the spacing marks of kNowExtend are handled separately).
constexpr ClassRange kClassOverrides[] = {
    {0x0897, 0x0897, kExtend},      {0x1ACF, 0x1ADD, kExtend},     {0x1AE0, 0x1AEB, kExtend},
    {0x2065, 0x2065, kControl},     {0xFFF0, 0xFFF8, kControl},    {0x10D69, 0x10D6D, kExtend},
    {0x10EFA, 0x10EFC, kExtend},    {0x113B8, 0x113B8, kExtend},   {0x113B9, 0x113BA, kSpacingMark},
    {0x113BB, 0x113C0, kExtend},    {0x113C2, 0x113C2, kExtend},   {0x113C5, 0x113C5, kExtend},
    {0x113C7, 0x113C9, kExtend},    {0x113CA, 0x113CA, kSpacingMark},
    {0x113CC, 0x113CD, kSpacingMark}, {0x113CE, 0x113D0, kExtend}, {0x113D1, 0x113D1, kPrepend},
    {0x113D2, 0x113D2, kExtend},    {0x113E1, 0x113E2, kExtend},   {0x1171E, 0x1171E, kSpacingMark},
    {0x11A3A, 0x11A3A, kOther},     {0x11B60, 0x11B60, kExtend},   {0x11B61, 0x11B61, kSpacingMark},
    {0x11B62, 0x11B64, kExtend},    {0x11B65, 0x11B65, kSpacingMark}, {0x11B66, 0x11B66, kExtend},
    {0x11B67, 0x11B67, kSpacingMark}, {0x11F5A, 0x11F5A, kExtend}, {0x1611E, 0x16129, kExtend},
    {0x1612A, 0x1612C, kSpacingMark}, {0x1612D, 0x1612F, kExtend}, {0x16D63, 0x16D63, kV},
    {0x16D67, 0x16D6A, kV},         {0x1E5EE, 0x1E5EF, kExtend},   {0x1E6E3, 0x1E6E3, kExtend},
    {0x1E6E6, 0x1E6E6, kExtend},    {0x1E6EE, 0x1E6EF, kExtend},   {0x1E6F5, 0x1E6F5, kExtend},
    {0xE0000, 0xE0000, kControl},   {0xE0002, 0xE001F, kControl},  {0xE0080, 0xE00FF, kControl},
    {0xE01F0, 0xE0FFF, kControl},
};

// Newly assigned extenders that do not count as transparent for the Arabic ligature rule.
constexpr Range kNewExtendOpaque[] = {
    {0x113B8, 0x113B8}, {0x113C2, 0x113C2}, {0x113C5, 0x113C5}, {0x113C7, 0x113C9},
    {0x113CF, 0x113CF},
};

// Reserved emoji-block code points that are not extended pictographic.
constexpr Range kReservedNotPictographic[] = {
    {0x1F777, 0x1F77A}, {0x1F8B2, 0x1F8BB}, {0x1F8C0, 0x1F8C1}, {0x1F8D0, 0x1F8D8},
    {0x1FA54, 0x1FA57},
};

// Indic conjunct break: the virama-like linkers.
constexpr char32_t kIncbLinkers[] = {
    0x094D, 0x09CD, 0x0ACD, 0x0B4D, 0x0C4D, 0x0D4D, 0x1039, 0x17D2, 0x1A60, 0x1B44,
    0x1BAB, 0xA9C0, 0xAAF6, 0x10A3F, 0x11133, 0x113D0, 0x1193E, 0x11A47, 0x11A99, 0x11F42,
};

// Letters of Joining_Group Alef and Lam.
constexpr Range kAlef[] = {
    {0x0622, 0x0623}, {0x0625, 0x0625}, {0x0627, 0x0627}, {0x0671, 0x0673}, {0x0675, 0x0675},
    {0x0773, 0x0774}, {0x0870, 0x0882},
};
constexpr Range kLam[] = {
    {0x0644, 0x0644}, {0x06B5, 0x06B8}, {0x076A, 0x076A}, {0x08A6, 0x08A6}, {0x08C7, 0x08C7},
};

// Khmer letters that take a subscript form after the coeng sign.
constexpr Range kKhmerSubscriptable[] = {
    {0x1780, 0x1782}, {0x1784, 0x1787}, {0x1789, 0x178C}, {0x178E, 0x1793}, {0x1795, 0x1798},
    {0x179B, 0x179D}, {0x17A0, 0x17A0}, {0x17A2, 0x17A2}, {0x17A7, 0x17A7}, {0x17AB, 0x17AC},
    {0x17AF, 0x17AF},
};

// Code points that a non-Arabic ligature looks through.
constexpr Range kLigatureTransparent[] = {
    {0x034F, 0x034F}, {0x17B4, 0x17B5}, {0x180B, 0x180D}, {0x180F, 0x180F}, {0x200D, 0x200D},
    {0xFE00, 0xFE0F}, {0xE0100, 0xE01EF},
};

template <class R, std::size_t N>
const R* find_range(const R (&table)[N], char32_t c) noexcept {
    const R* it = std::upper_bound(table, table + N, c,
                                   [](char32_t v, const R& r) { return v < r.lo; });
    if (it == table) return nullptr;
    --it;
    return c <= it->hi ? it : nullptr;
}

template <class R, std::size_t N>
bool in(const R (&table)[N], char32_t c) noexcept {
    return find_range(table, c) != nullptr;
}

// Code points that stand for an invalid byte.
constexpr char32_t kInvalid = 0x110000;

inline bool is_ri(char32_t c) noexcept { return c >= 0x1F1E6 && c <= 0x1F1FF; }
inline bool is_skin_tone(char32_t c) noexcept { return c >= 0x1F3FB && c <= 0x1F3FF; }
inline bool is_emoji_presentation(char32_t c) noexcept {
    return c >= 0x231A && in(kEmojiPresentation, c);
}
inline bool is_vs16_base(char32_t c) noexcept { return in(kVs16Bases, c); }
inline bool is_vs15_narrow(char32_t c) noexcept {
    return !(c >= 0x1F200 && c <= 0x1F2FF) && is_emoji_presentation(c) && is_vs16_base(c);
}

inline const utf8proc_property_t* prop(char32_t c) noexcept {
    return utf8proc_get_property(static_cast<utf8proc_int32_t>(c));
}

// ---- width of one code point above U+00A0 ----

int base_width_slow(char32_t c) noexcept {
    if (c == kInvalid) return 1;
    if (const WidthRange* r = find_range(kWidthOverrides, c)) return r->width;
    const utf8proc_property_t* p = prop(c);
    const int bc = p->boundclass;
    if (p->category == UTF8PROC_CATEGORY_MC &&
        (bc == UTF8PROC_BOUNDCLASS_SPACINGMARK || bc == UTF8PROC_BOUNDCLASS_OTHER) &&
        !in(kNowExtend, c))
        return 1;
    if (bc == UTF8PROC_BOUNDCLASS_V || bc == UTF8PROC_BOUNDCLASS_T) return 0;
    if (bc == UTF8PROC_BOUNDCLASS_PREPEND && p->category != UTF8PROC_CATEGORY_CF) return 0;
    return utf8proc_charwidth(static_cast<utf8proc_int32_t>(c));
}

// ---- grapheme classes ----

Gcb grapheme_class_slow(char32_t c) noexcept {
    if (c < 0x80) {
        if (c == '\r') return kCR;
        if (c == '\n') return kLF;
        return (c < 0x20 || c == 0x7F) ? kControl : kOther;
    }
    if (c == kInvalid) return kControl;
    if (in(kNowExtend, c)) return kExtend;
    if (const ClassRange* r = find_range(kClassOverrides, c)) return r->cls;
    const utf8proc_property_t* p = prop(c);
    switch (p->boundclass) {
        case UTF8PROC_BOUNDCLASS_CR: return kCR;
        case UTF8PROC_BOUNDCLASS_LF: return kLF;
        case UTF8PROC_BOUNDCLASS_CONTROL: return kControl;
        case UTF8PROC_BOUNDCLASS_EXTEND:
        case UTF8PROC_BOUNDCLASS_E_MODIFIER: return kExtend;
        case UTF8PROC_BOUNDCLASS_ZWJ: return kZWJ;
        case UTF8PROC_BOUNDCLASS_REGIONAL_INDICATOR: return kRI;
        case UTF8PROC_BOUNDCLASS_PREPEND: return kPrepend;
        case UTF8PROC_BOUNDCLASS_SPACINGMARK: return kSpacingMark;
        case UTF8PROC_BOUNDCLASS_L: return kL;
        case UTF8PROC_BOUNDCLASS_V: return kV;
        case UTF8PROC_BOUNDCLASS_T: return kT;
        case UTF8PROC_BOUNDCLASS_LV: return kLV;
        case UTF8PROC_BOUNDCLASS_LVT: return kLVT;
        case UTF8PROC_BOUNDCLASS_EXTENDED_PICTOGRAPHIC:
        case UTF8PROC_BOUNDCLASS_E_BASE:
        case UTF8PROC_BOUNDCLASS_GLUE_AFTER_ZWJ:
        case UTF8PROC_BOUNDCLASS_E_BASE_GAZ:
            // Symbols that stopped being pictographic in Unicode 17.
            return (is_emoji_presentation(c) || is_vs16_base(c)) ? kExtPict : kOther;
        default: break;
    }
    // Reserved code points of the emoji blocks are pictographic in advance.
    if (p->category == UTF8PROC_CATEGORY_CN &&
        ((c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0x1FC00 && c <= 0x1FFFD)) &&
        !in(kReservedNotPictographic, c))
        return kExtPict;
    return kOther;
}

enum Incb : std::uint8_t { kIncbNone, kIncbConsonantCls, kIncbLinker, kIncbExtend };

Incb incb_class_slow(char32_t c, Gcb cls) noexcept {
    if (c >= 0x0915 && c <= 0x11F42) {
        if (std::binary_search(std::begin(kIncbLinkers), std::end(kIncbLinkers), c)) return kIncbLinker;
        if (in(kIncbConsonant, c)) return kIncbConsonantCls;
    }
    if ((cls == kExtend || cls == kZWJ) && c != 0x200C) return kIncbExtend;
    return kIncbNone;
}

// ---- the string pass ----

// What the text to the right of the current code point is, as far as the sequence rules care.
enum Kind : std::uint8_t {
    K_NONE, K_LF, K_RI_1, K_RI_N, K_RIZ_1, K_RIZ_EVEN, K_RIZ_ODD, K_MOD, K_EMOJI, K_ZWJ_EMOJI,
    K_ZWJ_E16, K_ZWJ_KEYCAP, K_KEYCAP_E16, K_SEL_E, K_SEL_T, K_SEL_Q,
    K_TAG_L0, K_TAG_L1, K_TAG_L2, K_TAG_L3, K_TAG_L4, K_TAG_L5, K_TAG_L6,
    K_TAG_D1, K_TAG_D2, K_TAG_D3, K_KR_E, K_KR_AI,
    // Ligature kinds (they carry pending selector flags); the Arabic one first.
    K_ALEF, K_HEB_LAMED, K_HEB_ZWJ_LAMED, K_BUG_YA, K_BUG_ZWJ_YA, K_BUG_I_ZWJ_YA, K_TIF,
    K_TIF_ZWJ, K_TIF_JOINER, K_LISU, K_OT_I, K_OT_ZWJ_I, K_KHMER,
};

constexpr std::uint8_t kFlagE = 1, kFlagT = 2, kFlagQ = 4;

inline bool is_ligature(Kind k) noexcept { return k >= K_ALEF; }

Kind tag_of_slow(char32_t c) noexcept {
    if (c == 0x05DC) return K_HEB_LAMED;
    if (c < 0x0622) return K_NONE;
    if (c <= 0x0882) return in(kAlef, c) ? K_ALEF : K_NONE;
    if (c >= 0x1780 && c <= 0x17AF) return in(kKhmerSubscriptable, c) ? K_KHMER : K_NONE;
    if (c == 0x1A10) return K_BUG_YA;
    if ((c >= 0x2D31 && c <= 0x2D65) || c == 0x2D6F) return K_TIF;
    if (c == 0xA4FC || c == 0xA4FD) return K_LISU;
    if (c == 0xFE0F) return K_SEL_E;
    if (c == 0xFE0E) return K_SEL_T;
    if (c == 0xFE01) return K_SEL_Q;
    if (c == 0x10C03) return K_OT_I;
    if (c == 0x16D67) return K_KR_E;
    if (c == 0x16D68) return K_KR_AI;
    if (is_ri(c)) return K_RI_1;
    if (is_skin_tone(c)) return K_MOD;
    if (is_emoji_presentation(c)) return K_EMOJI;
    return K_NONE;
}

// Properties of the Basic Multilingual Plane, computed once on first use: bits 0-1 the width,
// 2-5 the break class, 6-7 the conjunct class, bit 8 set when the code point has a tag.
class BmpTable {
public:
    BmpTable() {
        for (char32_t c = 0; c < 0x10000; ++c) {
            const Gcb g = grapheme_class_slow(c);
            v_[c] = static_cast<std::uint16_t>(base_width_slow(c) | (g << 2) | (incb_class_slow(c, g) << 6) |
                                               (tag_of_slow(c) != K_NONE ? 0x100 : 0));
        }
    }
    std::uint16_t operator[](char32_t c) const noexcept { return v_[c]; }

private:
    std::uint16_t v_[0x10000];
};

const BmpTable& bmp() noexcept {
    static const BmpTable table;
    return table;
}

inline int base_width(char32_t c) noexcept { return c < 0x10000 ? bmp()[c] & 3 : base_width_slow(c); }
inline Gcb grapheme_class(char32_t c) noexcept {
    return c < 0x10000 ? static_cast<Gcb>((bmp()[c] >> 2) & 0xF) : grapheme_class_slow(c);
}
inline Incb incb_class(char32_t c, Gcb cls) noexcept {
    return c < 0x10000 ? static_cast<Incb>((bmp()[c] >> 6) & 3) : incb_class_slow(c, cls);
}
inline Kind tag_of(char32_t c) noexcept {
    if (c < 0x10000 && !(bmp()[c] & 0x100)) return K_NONE;
    return tag_of_slow(c);
}

// Zero-width code points that an Alef looks through on its way to a Lam.
bool is_alef_transparent(char32_t c) noexcept {
    if (c == kInvalid || base_width(c) != 0) return false;
    const utf8proc_property_t* p = prop(c);
    if (p->category == UTF8PROC_CATEGORY_MN || p->category == UTF8PROC_CATEGORY_ME) return true;
    if (p->category == UTF8PROC_CATEGORY_CF)
        return !(c == 0x0605 || c == 0x0890 || c == 0x0891 || c == 0x08E2 || c == 0x180E ||
                 c == 0x200C || c == 0x200D || (c >= 0x2066 && c <= 0x2069));
    // Extenders assigned since Unicode 15 (Cn in utf8proc's data).
    if (p->category == UTF8PROC_CATEGORY_CN) {
        const ClassRange* r = find_range(kClassOverrides, c);
        return r && r->cls == kExtend && !in(kNewExtendOpaque, c);
    }
    return false;
}

// The pair rules: with the context `k` to the right and the code point c, the amount to add and
// the new context. Returns false when no rule applies.
bool pair_rule(Kind k, char32_t c, int& add, Kind& next) noexcept {
    add = 0;
    switch (k) {
        case K_ALEF:
            if (in(kLam, c)) { next = K_NONE; return true; }
            if (is_alef_transparent(c)) { next = K_ALEF; return true; }
            return false;
        case K_HEB_ZWJ_LAMED:
            if (c == 0x05D0) { next = K_NONE; return true; }
            return false;
        case K_KHMER:
            if (c == 0x17D2) { add = -1; next = K_NONE; return true; }
            return false;
        case K_BUG_ZWJ_YA:
            if (c == 0x1A17) { next = K_BUG_I_ZWJ_YA; return true; }
            return false;
        case K_BUG_I_ZWJ_YA:
            if (c == 0x1A15) { next = K_NONE; return true; }
            return false;
        case K_TIF:
            if (c == 0x2D7F) { add = 1; next = K_TIF_JOINER; return true; }
            return false;
        case K_TIF_ZWJ:
            if (c == 0x2D7F) { add = 1; next = K_TIF_JOINER; return true; }
            if ((c >= 0x2D31 && c <= 0x2D65) || c == 0x2D6F) { next = K_NONE; return true; }
            return false;
        case K_TIF_JOINER:
            if ((c >= 0x2D31 && c <= 0x2D65) || c == 0x2D6F) { add = -1; next = K_NONE; return true; }
            return false;
        case K_LISU:
            if (c >= 0xA4F8 && c <= 0xA4FB) { next = K_NONE; return true; }
            return false;
        case K_OT_ZWJ_I:
            if (c == 0x10C32) { next = K_NONE; return true; }
            return false;
        case K_MOD:
            if (in(kModifierBases, c)) { next = K_EMOJI; return true; }
            if (c == 0x200D) { next = K_ZWJ_EMOJI; return true; }
            return false;
        case K_RI_1:
            if (is_ri(c)) { add = 1; next = K_RI_N; return true; }
            return false;
        case K_RI_N:
            if (is_ri(c)) { add = 1; next = K_RI_N; return true; }
            if (c == 0x200D) { next = K_ZWJ_EMOJI; return true; }
            return false;
        case K_EMOJI:
            if (c == 0x200D) { next = K_ZWJ_EMOJI; return true; }
            return false;
        case K_RIZ_EVEN:
            if (is_ri(c)) { add = 3; next = K_RIZ_ODD; return true; }
            if (c == 0x200D) { next = K_ZWJ_EMOJI; return true; }
            return false;
        case K_RIZ_ODD:
            if (is_ri(c)) { add = -1; next = K_RIZ_EVEN; return true; }
            if (c == 0x200D) { next = K_ZWJ_EMOJI; return true; }
            return false;
        case K_RIZ_1:
            if (is_ri(c)) { add = -1; next = K_RIZ_EVEN; return true; }
            return false;
        case K_ZWJ_EMOJI:
            if (c == 0x20E3) { next = K_ZWJ_KEYCAP; return true; }
            if (is_skin_tone(c)) { next = K_MOD; return true; }
            if (c == 0xE007F) { next = K_TAG_L0; return true; }
            if (is_ri(c)) { add = 1; next = K_RIZ_1; return true; }
            if (tag_of(c) == K_EMOJI) { next = K_EMOJI; return true; }
            return false;
        case K_TAG_L0: case K_TAG_L1: case K_TAG_L2: case K_TAG_L3: case K_TAG_L4:
        case K_TAG_L5: case K_TAG_L6: {
            const int n = k - K_TAG_L0;
            if (n <= 5 && c >= 0xE0061 && c <= 0xE007A) {
                next = static_cast<Kind>(k + 1);
                return true;
            }
            if (n <= 4 && c >= 0xE0030 && c <= 0xE0039) { next = K_TAG_D1; return true; }
            if (n >= 3 && c == 0x1F3F4) { next = K_EMOJI; return true; }
            return false;
        }
        case K_TAG_D1:
            if (c >= 0xE0030 && c <= 0xE0039) { next = K_TAG_D2; return true; }
            return false;
        case K_TAG_D2:
            if (c >= 0xE0030 && c <= 0xE0039) { next = K_TAG_D3; return true; }
            return false;
        case K_TAG_D3:
            if (c == 0x1F3F4) { next = K_EMOJI; return true; }
            return false;
        case K_KR_E:
            if (c == 0x16D63 || c == 0x16D69) { next = K_NONE; return true; }
            if (c == 0x16D67) { next = K_KR_AI; return true; }
            if (c == 0x16D68) { add = 1; next = K_KR_E; return true; }
            return false;
        case K_KR_AI:
            if (c == 0x16D63) { next = K_NONE; return true; }
            return false;
        default:
            return false;
    }
}

// Well-formed sequence length for a lead byte and its second byte, or 0.
inline int sequence_length(unsigned char b0, unsigned char b1) noexcept {
    if (b0 < 0x80) return 1;
    if (b0 < 0xC2) return 0;
    if (b0 < 0xE0) return (b1 & 0xC0) == 0x80 ? 2 : 0;
    if (b0 < 0xF0) {
        const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80, hi = b0 == 0xED ? 0x9F : 0xBF;
        return (b1 >= lo && b1 <= hi) ? 3 : 0;
    }
    if (b0 < 0xF5) {
        const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80, hi = b0 == 0xF4 ? 0x8F : 0xBF;
        return (b1 >= lo && b1 <= hi) ? 4 : 0;
    }
    return 0;
}

// Like decode(), but an invalid byte comes back as kInvalid.
inline Decoded decode_raw(std::string_view s, std::size_t i) noexcept {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return {b0, 1, true};
    const std::size_t n = s.size();
    const int len = i + 1 < n ? sequence_length(b0, static_cast<unsigned char>(s[i + 1])) : 0;
    if (len == 0 || i + len > n) return {kInvalid, 1, false};
    char32_t cp = b0 & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if (k > 1 && (b & 0xC0) != 0x80) return {kInvalid, 1, false};
        cp = (cp << 6) | (b & 0x3F);
    }
    return {cp, static_cast<std::uint8_t>(len), true};
}

// Decodes the code point that ends at byte `end` (> 0); `len` tells where it starts.
inline Decoded decode_back(std::string_view s, std::size_t end) noexcept {
    const auto last = static_cast<unsigned char>(s[end - 1]);
    if (last < 0x80) return {last, 1, true};
    if ((last & 0xC0) != 0x80) return {kInvalid, 1, false};  // a lead byte with nothing after it
    for (std::size_t k = 2; k <= 4 && k <= end; ++k) {
        const auto b = static_cast<unsigned char>(s[end - k]);
        if ((b & 0xC0) != 0x80) {
            const Decoded d = decode_raw(s, end - k);
            if (d.valid && d.len == k) return d;
            break;
        }
    }
    return {kInvalid, 1, false};
}

}  // namespace

Decoded decode(std::string_view s, std::size_t i) noexcept {
    Decoded d = decode_raw(s, i);
    if (!d.valid) d.cp = 0xFFFD;
    return d;
}

std::size_t str_width(std::string_view s) noexcept {
    // ASCII: one column per byte, a "\r\n" pair counts once.
    std::size_t i = 0, crlf = 0;
    const std::size_t n = s.size();
    for (; i < n; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b >= 0x80) break;
        if (b == '\r' && i + 1 < n && s[i + 1] == '\n') ++crlf;
    }
    if (i == n) return n - crlf;

    // The sequence rules look to the right, so the pass runs from the last code point.
    std::int64_t total = 0;
    Kind k = K_NONE;
    std::uint8_t flags = 0;
    std::size_t end = n;
    while (end > 0) {
        const Decoded d = decode_back(s, end);
        end -= d.len;
        const char32_t c = d.cp;

        // A pending emoji-presentation selector.
        if (k == K_SEL_E || k == K_ZWJ_E16 || k == K_KEYCAP_E16 || (flags & kFlagE)) {
            if (is_vs16_base(c)) {
                total += (k == K_ZWJ_E16 || k == K_KEYCAP_E16) ? 0 : 2;
                k = K_EMOJI;
                flags = 0;
                continue;
            }
            if (is_ligature(k)) flags &= ~kFlagE;
            else k = K_NONE;
        }

        if (c <= 0xA0) {
            if (c == '\n') {
                total += 1;
                k = K_LF;
            } else if (c == '\r' && k == K_LF) {
                k = K_NONE;
            } else {
                total += 1;
                k = K_NONE;
            }
            flags = 0;
            continue;
        }

        if (k != K_NONE) {
            if (c == 0xFE0F || c == 0xFE01 || c == 0xFE0E) {
                if (is_ligature(k)) {
                    flags |= c == 0xFE0F ? kFlagE : c == 0xFE01 ? kFlagQ : kFlagT;
                } else if (c == 0xFE0F) {
                    k = k == K_ZWJ_EMOJI ? K_ZWJ_E16 : k == K_ZWJ_KEYCAP ? K_KEYCAP_E16 : K_SEL_E;
                } else {
                    k = c == 0xFE01 ? K_SEL_Q : K_SEL_T;
                }
                continue;
            }
            if (k == K_SEL_T || (flags & kFlagT)) {
                if (is_vs15_narrow(c)) {
                    total += 1;
                    k = K_NONE;
                    flags = 0;
                    continue;
                }
                if (k == K_SEL_T) k = K_NONE;
                else flags &= ~kFlagT;
            } else if (k == K_SEL_Q || (flags & kFlagQ)) {
                if (c == 0x2018 || c == 0x2019 || c == 0x201C || c == 0x201D) {
                    total += 2;
                    k = K_NONE;
                    flags = 0;
                    continue;
                }
                if (k == K_SEL_Q) k = K_NONE;
                else flags &= ~kFlagQ;
            }
            if (is_ligature(k) && k != K_ALEF) {
                if (c == 0x200D) {
                    if (k == K_HEB_LAMED) k = K_HEB_ZWJ_LAMED;
                    else if (k == K_BUG_YA) k = K_BUG_ZWJ_YA;
                    else if (k == K_TIF) k = K_TIF_ZWJ;
                    else if (k == K_OT_I) k = K_OT_ZWJ_I;
                    continue;
                }
                if (in(kLigatureTransparent, c)) continue;
            }
            int add;
            Kind next;
            if (flags == 0 && pair_rule(k, c, add, next)) {
                total += add;
                k = next;
                continue;
            }
        }

        total += base_width(c);
        k = c == kInvalid ? K_NONE : tag_of(c);
        flags = 0;
    }
    return total > 0 ? static_cast<std::size_t>(total) : 0;
}

std::size_t grapheme_width(std::string_view g) noexcept {
    if (g.size() == 1) return 1;
    std::size_t w = str_width(g);
    // U+FF9E / U+FF9F are EF BE 9E / EF BE 9F.
    for (std::size_t i = 0; i + 2 < g.size(); ++i) {
        if (static_cast<unsigned char>(g[i]) == 0xEF && static_cast<unsigned char>(g[i + 1]) == 0xBE &&
            (static_cast<unsigned char>(g[i + 2]) == 0x9E || static_cast<unsigned char>(g[i + 2]) == 0x9F)) {
            ++w;
            i += 2;
        }
    }
    return w > 0xFFFF ? 0xFFFF : w;
}

bool has_control(std::string_view g) noexcept {
    for (std::size_t i = 0; i < g.size(); ++i) {
        const auto b = static_cast<unsigned char>(g[i]);
        if (b < 0x20 || b == 0x7F) return true;
        // U+0080-009F are C2 80 .. C2 9F.
        if (b == 0xC2 && i + 1 < g.size()) {
            const auto b1 = static_cast<unsigned char>(g[i + 1]);
            if (b1 >= 0x80 && b1 <= 0x9F) return true;
        }
    }
    return false;
}

std::size_t grapheme_end(std::string_view s, std::size_t start) noexcept {
    const std::size_t n = s.size();
    Decoded d = decode_raw(s, start);
    Gcb prev = grapheme_class(d.cp);
    // Break state: the run of regional indicators ending at prev; whether prev ends
    // "ExtPict Extend*" (1) or "ExtPict Extend* ZWJ" (2); whether prev ends
    // "Consonant (Extend|Linker)*" without (1) or with (2) a linker.
    unsigned ri_run = prev == kRI ? 1 : 0;
    int pict = prev == kExtPict ? 1 : 0;
    int conj = incb_class(d.cp, prev) == kIncbConsonantCls ? 1 : 0;
    std::size_t pos = start + d.len;
    while (pos < n) {
        d = decode_raw(s, pos);
        const Gcb cur = grapheme_class(d.cp);
        const Incb incb = incb_class(d.cp, cur);
        bool join;
        if (prev == kCR && cur == kLF) join = true;
        else if (prev == kControl || prev == kCR || prev == kLF || cur == kControl || cur == kCR ||
                 cur == kLF)
            join = false;
        else if (prev == kL && (cur == kL || cur == kV || cur == kLV || cur == kLVT)) join = true;
        else if ((prev == kLV || prev == kV) && (cur == kV || cur == kT)) join = true;
        else if ((prev == kLVT || prev == kT) && cur == kT) join = true;
        else if (cur == kExtend || cur == kZWJ || cur == kSpacingMark || prev == kPrepend) join = true;
        else if (incb == kIncbConsonantCls && conj == 2) join = true;
        else if (cur == kExtPict && pict == 2) join = true;
        else join = prev == kRI && cur == kRI && (ri_run & 1);
        if (!join) break;

        ri_run = cur == kRI ? ri_run + 1 : 0;
        if (cur == kExtPict) pict = 1;
        else if (cur == kExtend && pict == 1) pict = 1;
        else if (cur == kZWJ && pict == 1) pict = 2;
        else pict = 0;
        if (incb == kIncbConsonantCls) conj = 1;
        else if (incb == kIncbLinker && conj >= 1) conj = 2;
        else if (!(incb == kIncbExtend && conj >= 1)) conj = 0;
        prev = cur;
        pos += d.len;
    }
    return pos;
}

std::vector<std::string_view> graphemes(std::string_view s) {
    std::vector<std::string_view> out;
    for_each_grapheme(s, [&](std::string_view g) { out.push_back(g); });
    return out;
}

Truncated truncate_end(std::string_view s, std::size_t max_width) {
    std::size_t sum = 0, cut = 0;
    bool over = false;
    for_each_grapheme(s, [&](std::string_view g) {
        const std::size_t w = str_width(g);
        if (sum + w > max_width) {
            over = true;
            return false;
        }
        sum += w;
        cut = static_cast<std::size_t>(g.data() + g.size() - s.data());
        return true;
    });
    if (!over) cut = s.size();
    return {s.substr(0, cut), sum};
}

Truncated truncate_start(std::string_view s, std::size_t max_width) {
    // Grapheme boundaries are found going forward; the widths are then summed from the end.
    std::vector<std::string_view> gs = graphemes(s);
    std::size_t sum = 0, cut = s.size();
    for (auto it = gs.rbegin(); it != gs.rend(); ++it) {
        const std::size_t w = str_width(*it);
        if (sum + w > max_width) break;
        sum += w;
        cut = static_cast<std::size_t>(it->data() - s.data());
    }
    return {s.substr(cut), sum};
}

const char* data_library_version() noexcept { return utf8proc_version(); }

}  // namespace tarvo::core::unicode

// One fuzz case of the input decoder: the first byte picks raw mode and a split pattern, the rest
// is terminal input. Decoding it whole and in pieces must give the same items, and the bytes held
// between calls must stay bounded. Used by the libFuzzer target and by the C++ tests, which
// replay the corpus and random cases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/terminal/decoder.hpp"

namespace tarvo_fuzz {

inline bool decode_case(const std::uint8_t* data, std::size_t size) {
    using tarvo::core::terminal::Decoder;
    using tarvo::core::terminal::InputItem;
    if (size == 0) return true;
    const std::uint8_t head = data[0];
    const bool raw = head & 1;
    const std::size_t step = 1 + (head >> 1);  // piece length 1..128
    const std::uint8_t* bytes = data + 1;
    const std::size_t n = size - 1;

    Decoder whole;
    std::vector<InputItem> a;
    whole.feed(bytes, n, false, raw, a);

    Decoder pieces;
    std::vector<InputItem> b;
    for (std::size_t at = 0; at < n; at += step) {
        const std::size_t len = at + step < n ? step : n - at;
        pieces.feed(bytes + at, len, at + len < n, raw, b);
        if (pieces.pending() > Decoder::kMaxSequence + Decoder::kMaxPaste) return false;
    }
    return a == b && whole.pending() == pieces.pending();
}

}  // namespace tarvo_fuzz

// The effects' random generator: SplitMix32 over a 32-bit state, seeded from the clock unless
// given a seed. Effects that must draw the same thresholds every frame copy it before a step.
#pragma once

#include <cstdint>

namespace tarvo::core::fx {

// Nanoseconds since the Unix epoch (seconds times 10^9 plus nanoseconds), low 32 bits.
std::uint32_t clock_seed() noexcept;

class Rng {
public:
    Rng() noexcept : state_(clock_seed()) {}
    explicit constexpr Rng(std::uint32_t seed) noexcept : state_(seed) {}

    constexpr std::uint32_t next() noexcept {
        state_ += 0x9E3779B9u;
        std::uint32_t z = state_;
        z = (z ^ (z >> 15)) * 0x85EBCA6Bu;
        z = (z ^ (z >> 13)) * 0xC2B2AE35u;
        return z ^ (z >> 16);
    }
    // Uniform in [0, 1).
    float next_f32() noexcept;

    // Draws in start..end (end excluded). An empty range panics with the generator's message
    // "range.end must be greater than range.start".
    std::uint32_t range_u32(std::uint32_t start, std::uint32_t end);
    std::uint16_t range_u16(std::uint16_t start, std::uint16_t end);
    std::int16_t range_i16(std::int16_t start, std::int16_t end);
    std::int32_t range_i32(std::int32_t start, std::int32_t end);
    // Two draws: the first gives the high half of a 64-bit value.
    std::uint64_t range_usize(std::uint64_t start, std::uint64_t end);
    float range_f32(float start, float end);

    constexpr std::uint32_t state() const noexcept { return state_; }
    friend constexpr bool operator==(const Rng&, const Rng&) = default;

private:
    std::uint32_t state_;
};

}  // namespace tarvo::core::fx

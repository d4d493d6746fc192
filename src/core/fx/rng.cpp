#include "core/fx/rng.hpp"

#include <bit>
#include <chrono>
#include <cmath>

#include "core/panic.hpp"

namespace tarvo::core::fx {

namespace {
[[noreturn]] void empty_range() { panic("range.end must be greater than range.start"); }
}  // namespace

std::uint32_t clock_seed() noexcept {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

float Rng::next_f32() noexcept {
    const std::uint32_t m = next() >> 9;
    return std::bit_cast<float>(0x3F800000u | m) - 1.0f;
}

std::uint32_t Rng::range_u32(std::uint32_t start, std::uint32_t end) {
    const std::uint32_t size = end - start;
    if (size == 0) empty_range();
    return start + next() % size;
}

std::uint16_t Rng::range_u16(std::uint16_t start, std::uint16_t end) {
    const auto size = static_cast<std::uint16_t>(end - start);
    if (size == 0) empty_range();
    return static_cast<std::uint16_t>(start + static_cast<std::uint16_t>(next() >> 16) % size);
}

std::int16_t Rng::range_i16(std::int16_t start, std::int16_t end) {
    const auto size = static_cast<std::int16_t>(static_cast<std::uint16_t>(end) - static_cast<std::uint16_t>(start));
    if (size <= 0) empty_range();
    return static_cast<std::int16_t>(start + static_cast<std::int16_t>(next() % static_cast<std::uint32_t>(size)));
}

std::int32_t Rng::range_i32(std::int32_t start, std::int32_t end) {
    const auto size = static_cast<std::int32_t>(static_cast<std::uint32_t>(end) - static_cast<std::uint32_t>(start));
    if (size <= 0) empty_range();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(start) + next() % static_cast<std::uint32_t>(size));
}

std::uint64_t Rng::range_usize(std::uint64_t start, std::uint64_t end) {
    const std::uint64_t size = end - start;
    if (size == 0) empty_range();
    const std::uint64_t hi = next();
    const std::uint64_t lo = next();
    return ((hi << 32) | lo) % size + start;
}

float Rng::range_f32(float start, float end) {
    const float size = end - start;
    if (!(size > 0.0f)) empty_range();
    return start + std::fmod(next_f32(), size);
}

}  // namespace tarvo::core::fx

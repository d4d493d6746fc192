// A summary of a widget's contents (the largest value, the number of columns, ...) worked out
// on the first draw and kept with the widget, so that drawing the same widget again costs only
// what is shown. Widgets are values: a copy starts without the summary, so a widget copied and
// then changed (as every builder does) works it out afresh. Changing a widget's contents in
// place after it has been drawn is not supported.
#pragma once

#include <atomic>
#include <cstdint>

namespace tarvo::core {

class Memo {
public:
    Memo() = default;
    Memo(const Memo&) noexcept {}
    Memo& operator=(const Memo&) noexcept {
        ready_.store(false, std::memory_order_relaxed);
        return *this;
    }

    // The kept value, computed by `compute()` (returning std::uint64_t) on first use. Two
    // threads drawing at once may both compute it; they store the same value.
    template <typename F>
    std::uint64_t get(F&& compute) const {
        if (ready_.load(std::memory_order_acquire)) return value_.load(std::memory_order_relaxed);
        const std::uint64_t v = compute();
        value_.store(v, std::memory_order_relaxed);
        ready_.store(true, std::memory_order_release);
        return v;
    }

private:
    mutable std::atomic<std::uint64_t> value_{0};
    mutable std::atomic<bool> ready_{false};
};

}  // namespace tarvo::core

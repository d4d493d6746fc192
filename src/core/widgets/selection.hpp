// What the list and the table share about selecting and scrolling: stepping an optional index
// with saturating arithmetic, the selected row together with the index of the first row shown,
// and the window of entries that fits into a number of screen rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/numeric.hpp"
#include "core/widgets/enums.hpp"

namespace tarvo::core {

// Steps of an optional index. Going forward from nothing gives the first index; going back
// from nothing gives the largest index, which a render bounds to the last entry.
inline std::uint64_t index_after(std::optional<std::uint64_t> index) noexcept {
    return index ? sat_add<std::uint64_t>(*index, 1) : 0;
}
inline std::uint64_t index_before(std::optional<std::uint64_t> index) noexcept {
    return index ? sat_sub<std::uint64_t>(*index, 1) : UINT64_MAX;
}
inline std::uint64_t index_plus(std::optional<std::uint64_t> index, std::uint16_t amount) noexcept {
    return sat_add<std::uint64_t>(index.value_or(0), amount);
}
inline std::uint64_t index_minus(std::optional<std::uint64_t> index, std::uint16_t amount) noexcept {
    return sat_sub<std::uint64_t>(index.value_or(0), amount);
}

// Whether the symbol column before the rows is drawn: always, only while a row is selected,
// or never.
inline bool highlight_spacing_applies(HighlightSpacing spacing, bool has_selection) noexcept {
    switch (spacing) {
        case HighlightSpacing::Always: return true;
        case HighlightSpacing::WhenSelected: return has_selection;
        case HighlightSpacing::Never: return false;
    }
    return false;
}

// An index bounded to `count` entries: past the end it becomes the last one, and with no
// entries there is nothing to select.
inline std::optional<std::uint64_t> bounded_index(std::optional<std::uint64_t> index, std::size_t count) noexcept {
    if (count == 0) return std::nullopt;
    if (index && *index >= count) return static_cast<std::uint64_t>(count - 1);
    return index;
}

// The selected row and the first row shown. The stepping methods never look at the widget:
// its render bounds the selection and moves the offset.
struct RowSelection {
    std::optional<std::uint64_t> selected;
    std::uint64_t offset = 0;

    // Selecting nothing also scrolls back to the top.
    void select(std::optional<std::uint64_t> index) noexcept {
        selected = index;
        if (!index) offset = 0;
    }
    void select_next() noexcept { select(index_after(selected)); }
    void select_previous() noexcept { select(index_before(selected)); }
    void select_first() noexcept { select(std::uint64_t{0}); }
    // The largest index stands for the last row.
    void select_last() noexcept { select(UINT64_MAX); }
    void scroll_down_by(std::uint16_t amount) noexcept { select(index_plus(selected, amount)); }
    void scroll_up_by(std::uint16_t amount) noexcept { select(index_minus(selected, amount)); }

    // Keeps the selection among `count` rows (no rows: nothing selected, back at the top).
    void bound_to(std::size_t count) noexcept {
        if (count == 0 || (selected && *selected >= count)) select(bounded_index(selected, count));
    }
};

// The entries shown, [first, last), and the screen rows they take. Entries are measured by a
// callable giving the rows entry i takes; sums are kept in 64 bits so that no height wraps.
struct RowWindow {
    std::size_t first = 0;
    std::size_t last = 0;
    std::uint64_t used = 0;

    // From `start`, the entries that fit into `room` rows: an entry is taken while its `fits`
    // rows still fit, and then takes its `takes` rows (an entry's margins need not fit).
    template <typename Fits, typename Takes>
    static RowWindow fill(std::size_t start, std::size_t count, std::uint64_t room, Fits fits, Takes takes) {
        RowWindow w{start, start, 0};
        while (w.last < count && w.used + fits(w.last) <= room) w.used += takes(w.last++);
        return w;
    }

    // Scrolls down until entry `target` is the last one shown, dropping entries from the top.
    template <typename Takes>
    void scroll_down_to(std::size_t target, std::uint64_t room, Takes takes) {
        while (target >= last) {
            used += takes(last++);
            while (used > room) used -= takes(first++);
        }
    }

    // Scrolls up until entry `target` is the first one shown, dropping entries from the bottom.
    template <typename Takes>
    void scroll_up_to(std::size_t target, std::uint64_t room, Takes takes) {
        while (target < first) {
            used += takes(--first);
            while (used > room) used -= takes(--last);
        }
    }
};

}  // namespace tarvo::core

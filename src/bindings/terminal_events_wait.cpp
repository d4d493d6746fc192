// Waiting for terminal events (poll_event, read_event) and the two queries that read replies
// from the terminal (get_cursor_position, supports_keyboard_enhancement).

#include <cstdint>
#include <limits>

#include "bindings/geometry.hpp"
#include "bindings/runtime/gil.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/terminal_events.hpp"
#include "core/terminal/input.hpp"
#include "core/terminal/queries.hpp"

namespace tarvo::bindings {

namespace term = core::terminal;

std::optional<term::EventRecord> poll_terminal_event(std::uint64_t timeout_ms) {
    term::InputReader& in = term::input_reader();
    const term::Deadline deadline = term::Deadline::after_ms(timeout_ms);
    bool ready = false;
    {
        // A signal that comes after this check and before the wait starts still ends the wait.
        term::SignalsHeld held;
        check_signals();
        ready = without_gil([&] { return in.poll(deadline, term::Want::Event, true, held.previous()); });
    }
    // Signal handlers run after every wait; an event that is ready stays queued for the next call.
    check_signals();
    if (!ready) return std::nullopt;
    std::optional<term::InputItem> item = in.try_take(term::Want::Event);
    if (!item) return std::nullopt;  // another thread took it
    return term::to_record(std::move(item->event));
}

namespace {

constexpr std::uint64_t kReadForever = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

}  // namespace

TARVO_FUNCTION(poll_event, "(timeout_ms)", [](Args& a) -> PyObject* {
    const auto timeout = a.get<std::uint64_t>(0);
    std::optional<term::EventRecord> record = poll_terminal_event(timeout);
    if (!record) return none();
    return make_core_event(std::move(*record));
});

TARVO_FUNCTION(read_event, "()", [](Args&) -> PyObject* {
    while (true) {
        std::optional<term::EventRecord> record = poll_terminal_event(kReadForever);
        if (record) return make_core_event(std::move(*record));
    }
});

TARVO_FUNCTION(get_cursor_position, "()", [](Args&) -> PyObject* {
    const term::CursorPosition p = term::cursor_position();
    return make<PositionClass>(core::Position{p.column, p.row});
});

TARVO_FUNCTION(supports_keyboard_enhancement, "()",
               [](Args&) -> PyObject* { return to_py(term::supports_keyboard_enhancement()); });

}  // namespace tarvo::bindings

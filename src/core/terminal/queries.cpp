#include "core/terminal/queries.hpp"

#include <exception>
#include <string_view>

#include "core/io_error.hpp"
#include "core/terminal/input.hpp"
#include "core/terminal/output.hpp"
#include "core/terminal/raw_mode.hpp"

namespace tarvo::core::terminal {

namespace {

template <typename F>
auto with_raw_mode(F&& f) -> decltype(f()) {
    const bool switched = !term::is_raw_mode_enabled();
    if (switched) term::enable_raw_mode();
    try {
        auto result = f();
        if (switched) term::disable_raw_mode();
        return result;
    } catch (...) {
        if (switched) term::disable_raw_mode();  // its failure replaces the query's
        throw;
    }
}

// Drops stale `reply` items, writes `request` and gives the time its answer may take.
Deadline send_query(InputReader& in, Want reply, std::string_view request) {
    if (!in.has_source()) throw IoError::other("Failed to initialize input reader");
    in.discard(reply);
    term::stdout_stream().send(request);
    return Deadline::after_ms(static_cast<std::uint64_t>(kQueryWait.count()));
}

}  // namespace

CursorPosition cursor_position() {
    return with_raw_mode([] {
        InputReader& in = input_reader();
        const Deadline deadline = send_query(in, Want::CursorReport, "\x1b[6n");
        while (in.poll(deadline, Want::CursorReport, false)) {
            if (auto item = in.try_take(Want::CursorReport)) return CursorPosition{item->column, item->row};
        }
        throw IoError::other("The cursor position could not be read within a normal duration");
    });
}

bool supports_keyboard_enhancement() {
    return with_raw_mode([] {
        InputReader& in = input_reader();
        const Deadline deadline = send_query(in, Want::FlagsOrAttributes, "\x1b[?u\x1b[c");
        while (in.poll(deadline, Want::FlagsOrAttributes, false)) {
            auto item = in.try_take(Want::FlagsOrAttributes);
            if (!item) continue;
            if (item->kind == InputItem::Kind::DeviceAttributes) return false;
            // The device-attributes reply follows the flags; take it too, within the same time.
            while (in.poll(deadline, Want::DeviceAttributes, false))
                if (in.try_take(Want::DeviceAttributes)) break;
            return true;
        }
        throw IoError::other("The keyboard enhancement status could not be read within a normal duration");
    });
}

}  // namespace tarvo::core::terminal

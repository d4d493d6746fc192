// The terminal input reader: one per process, shared by event waits and by the queries.
//
// Decoded items wait in one queue in arrival order. A wait names what it is looking for (a user
// event, a cursor report, a keyboard-flags or device-attributes reply); items it is not looking
// for stay queued for whoever wants them, so input that arrives while a query waits is kept in
// order, and replies never reach an event wait.
//
//   auto& in = input_reader();                       // created on first use
//   if (in.poll(Deadline::after_ms(16), Want::Event, true))   // interrupted by a signal: false
//       if (auto item = in.try_take(Want::Event)) use(item->event);
//
// The reader waits with poll(2) on the terminal and the window-change pipe, reads what one
// readiness offers (at most 1024 bytes) and decodes it. A terminal that cannot be opened leaves
// the reader without a source: every wait then fails with "Failed to initialize input reader".
// A hung-up terminal fails the wait with an I/O error instead of spinning.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "core/terminal/decoder.hpp"
#include "core/terminal/event.hpp"
#include "core/terminal/event_source.hpp"

namespace tarvo::core::terminal {

enum class Want : std::uint8_t { Event, CursorReport, FlagsOrAttributes, DeviceAttributes, Nothing };

bool wanted(const InputItem& item, Want want) noexcept;

class InputReader {
public:
    struct Hooks {
        std::function<std::pair<std::uint16_t, std::uint16_t>()> size;  // columns, rows for Resize
        std::function<bool()> raw;                                        // raw mode, for decoding
    };
    static constexpr std::size_t kReadSize = 1024;

    // A reader over `source` (none: every wait fails as described above).
    InputReader(std::optional<EventSource> source, Hooks hooks);

    // Waits until an item of the wanted kind is queued or `deadline` passes (time spent waiting
    // for another waiter counts). `interruptible`: a signal ends the wait with false. Throws
    // IoError for terminal failures.
    // `signal_mask`: the thread's signal mask during the system's waits (see SignalsHeld).
    bool poll(const Deadline& deadline, Want want, bool interruptible, const sigset_t* signal_mask = nullptr);
    // Removes and returns the first queued item of the wanted kind, if any; never waits.
    std::optional<InputItem> try_take(Want want);
    // Drops every queued item of the wanted kind, after taking in what the terminal has ready.
    void discard(Want want);

    std::size_t queued();
    bool has_source() const noexcept { return source_.has_value(); }

private:
    bool poll_locked(const Deadline& deadline, Want want, bool interruptible, const sigset_t* signal_mask);
    bool queued_locked(Want want) const;
    // One wait and what it brought in.
    enum class Step { Found, Other, Timeout, Interrupted };
    Step step(const Deadline& deadline, Want want, const sigset_t* signal_mask);

    std::timed_mutex mutex_;
    std::optional<EventSource> source_;
    Hooks hooks_;
    Decoder decoder_;
    std::deque<InputItem> queue_;
    std::vector<InputItem> fresh_;
    std::uint8_t buf_[kReadSize];
};

// The process's reader on the terminal, created on first use and never destroyed.
InputReader& input_reader();

}  // namespace tarvo::core::terminal

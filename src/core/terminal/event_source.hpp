// Where terminal input comes from: the terminal's descriptor and the window-change signal.
//
// The terminal is descriptor 0 when it is a terminal, otherwise "/dev/tty" opened once and kept
// open. Its blocking mode is left alone (the flag belongs to a file description the parent shell
// shares): a wait polls for readiness, and one read of what is there follows each readiness.
//
// The window-change signal (SIGWINCH) is turned into a byte on a non-blocking self-pipe by a
// handler installed once per process; it first calls the handler that was there before it, so a
// handler of the language runtime keeps working. The wait watches the pipe beside the terminal.
#pragma once

#include <signal.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tarvo::core::terminal {

using Clock = std::chrono::steady_clock;

// A point in time to wait until; `never` for an unbounded wait. Built from a millisecond count
// with saturating arithmetic, so any 64-bit timeout is safe.
struct Deadline {
    Clock::time_point at{};
    bool never = false;

    static Deadline after_ms(std::uint64_t ms);
    static Deadline forever() { return Deadline{{}, true}; }
    bool passed() const { return !never && Clock::now() >= at; }
    // Milliseconds left for poll(2): rounded up, at most INT_MAX; -1 for an unbounded wait.
    int poll_timeout() const;
};

class EventSource {
public:
    enum class Wake { Input, Resize, Timeout, Interrupted };

    // Opens the terminal and installs the window-change hook. Throws IoError.
    static EventSource open();
    // A source over given descriptors (tests): `input` is read, `wake` is the read end of a
    // pipe treated like the window-change pipe. Neither is closed.
    EventSource(int input, int wake, bool owns_input) : input_(input), wake_(wake), owns_input_(owns_input) {}
    EventSource(EventSource&& o) noexcept;
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;
    ~EventSource();

    // Waits for input or a window change until `deadline`. A wait cut short by a signal returns
    // Interrupted. Resize is returned (and the pipe drained) when a window change was signalled.
    // A terminal that hung up or failed throws IoError. `signal_mask`, when given, is the
    // thread's signal mask during the wait (see SignalsHeld).
    Wake wait(const Deadline& deadline, const sigset_t* signal_mask = nullptr);

    // One read of at most `cap` bytes (after wait() said Input). Returns the count, 0 when the
    // read was interrupted or would block; end of input and read errors throw IoError.
    std::size_t read(std::uint8_t* buf, std::size_t cap);

    int input_fd() const noexcept { return input_; }

private:
    int input_;
    int wake_;
    bool owns_input_;
};

// Holds back asynchronous signals on the calling thread while it lives. A signal that arrives
// between a check for signals and the start of a wait would otherwise not cut the wait short:
// with the signals held, the wait is given the previous mask, so such a signal is delivered the
// moment the wait starts and ends it at once.
class SignalsHeld {
public:
    SignalsHeld() noexcept;
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;
    const sigset_t* previous() const noexcept { return &previous_; }

private:
    sigset_t previous_;
};

// The read end of the process's window-change pipe (installing the hook on first use). Throws
// IoError when the pipe or the handler cannot be set up.
int window_change_pipe();
// Whether a window change was signalled since the last call (clears the mark).
bool take_window_change() noexcept;

}  // namespace tarvo::core::terminal

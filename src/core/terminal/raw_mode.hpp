// Raw mode: the process-wide saved terminal attributes.
//
// "Raw mode is enabled" means exactly "saved attributes are held"; nothing is read back from
// the terminal, so a mode changed behind this layer's back is not noticed. Enabling saves the
// terminal's attributes once (the first enable after a disable) and switches to raw; disabling
// puts the saved attributes back bit for bit and forgets them. Each is a no-op when there is
// nothing to do, so the terminal is changed exactly once per switch.
//
// The terminal is descriptor 0 when it is a terminal, otherwise "/dev/tty" opened for the call
// (see open_tty). Failures throw core::IoError with the system's text; a failed enable saves
// nothing, a failed disable keeps the saved attributes (raw mode stays "enabled").
#pragma once

#include <termios.h>

#include <optional>

namespace tarvo::core::term {

void enable_raw_mode();
void disable_raw_mode();
bool is_raw_mode_enabled() noexcept;

// The attributes saved by enable_raw_mode, if any (for checks and for the input side).
std::optional<termios> saved_terminal_attributes() noexcept;

// The raw form of `t`: no input translation or flow control, no output processing (a "\n" is a
// bare line feed), no echo, no canonical lines, no signals from keys (Ctrl-C is byte 0x03),
// 8-bit characters, reads return after one byte.
termios make_raw(const termios& t) noexcept;

// The terminal's descriptor: 0 when standard input is a terminal (borrowed, never closed),
// otherwise "/dev/tty" opened read-write and close-on-exec (owned: closed by the destructor).
// Throws IoError when /dev/tty cannot be opened.
class TtyFd {
public:
    static TtyFd open();
    TtyFd(TtyFd&& o) noexcept : fd_(o.fd_), owned_(o.owned_) { o.owned_ = false; }
    TtyFd(const TtyFd&) = delete;
    TtyFd& operator=(const TtyFd&) = delete;
    ~TtyFd();

    int get() const noexcept { return fd_; }
    bool owned() const noexcept { return owned_; }
    // Gives up ownership (the caller keeps the descriptor open).
    int release() noexcept {
        owned_ = false;
        return fd_;
    }

private:
    TtyFd(int fd, bool owned) : fd_(fd), owned_(owned) {}
    int fd_;
    bool owned_;
};

}  // namespace tarvo::core::term

#include "core/terminal/raw_mode.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "core/io_error.hpp"

namespace tarvo::core::term {

namespace {

struct RawState {
    std::mutex mutex;
    std::optional<termios> saved;
};

RawState& state() {
    static RawState* s = new RawState();  // never destroyed: usable during exit
    return *s;
}

termios get_attributes(int fd) {
    termios t{};
    while (::tcgetattr(fd, &t) != 0) {
        if (errno != EINTR) throw IoError::os(errno);
    }
    return t;
}

void set_attributes(int fd, const termios& t) {
    while (::tcsetattr(fd, TCSANOW, &t) != 0) {
        if (errno != EINTR) throw IoError::os(errno);
    }
}

}  // namespace

TtyFd TtyFd::open() {
    if (::isatty(STDIN_FILENO)) return TtyFd(STDIN_FILENO, false);
    int fd;
    do {
        fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) throw IoError::os(errno);
    return TtyFd(fd, true);
}

TtyFd::~TtyFd() {
    if (owned_) ::close(fd_);
}

termios make_raw(const termios& src) noexcept {
    termios t = src;
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    t.c_cflag |= CS8;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return t;
}

void enable_raw_mode() {
    RawState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.saved) return;
    TtyFd tty = TtyFd::open();
    const termios original = get_attributes(tty.get());
    set_attributes(tty.get(), make_raw(original));
    s.saved = original;
}

void disable_raw_mode() {
    RawState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.saved) return;
    TtyFd tty = TtyFd::open();
    set_attributes(tty.get(), *s.saved);
    s.saved.reset();
}

bool is_raw_mode_enabled() noexcept {
    RawState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.saved.has_value();
}

std::optional<termios> saved_terminal_attributes() noexcept {
    RawState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.saved;
}

}  // namespace tarvo::core::term

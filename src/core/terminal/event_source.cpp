#include "core/terminal/event_source.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <mutex>

#include "core/io_error.hpp"
#include "core/terminal/raw_mode.hpp"

namespace tarvo::core::terminal {

// ---- deadlines ----

Deadline Deadline::after_ms(std::uint64_t ms) {
    // Beyond about a century the wait is unbounded for every practical purpose, and the clock's
    // arithmetic would overflow.
    constexpr std::uint64_t kCentury = std::uint64_t{100} * 365 * 24 * 3600 * 1000;
    if (ms >= kCentury) return forever();
    return Deadline{Clock::now() + std::chrono::milliseconds(static_cast<std::int64_t>(ms)), false};
}

int Deadline::poll_timeout() const {
    if (never) return -1;
    const auto left = at - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// ---- the window-change hook ----

namespace {

std::atomic<int> g_pipe_write{-1};
std::atomic<bool> g_window_changed{false};
struct sigaction g_previous {};

void on_window_change(int sig, siginfo_t* info, void* context) {
    const int saved_errno = errno;
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) g_previous.sa_sigaction(sig, info, context);
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN && g_previous.sa_handler) {
        g_previous.sa_handler(sig);
    }
    g_window_changed.store(true, std::memory_order_relaxed);
    const int fd = g_pipe_write.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);  // a full pipe already wakes the wait
    }
    errno = saved_errno;
}

int install_hook() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) throw IoError::last_os_error();
    g_pipe_write.store(fds[1]);
    struct sigaction sa {};
    sa.sa_sigaction = &on_window_change;
    sa.sa_flags = SA_RESTART | SA_SIGINFO;
    sigemptyset(&sa.sa_mask);
    if (::sigaction(SIGWINCH, &sa, &g_previous) != 0) {
        const IoError e = IoError::last_os_error();
        g_pipe_write.store(-1);
        ::close(fds[0]);
        ::close(fds[1]);
        throw e;
    }
    return fds[0];
}

void drain(int fd) {
    char buf[64];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
}

}  // namespace

int window_change_pipe() {
    static std::mutex m;
    static int read_end = -1;
    std::lock_guard<std::mutex> lock(m);
    if (read_end < 0) read_end = install_hook();
    return read_end;
}

bool take_window_change() noexcept { return g_window_changed.exchange(false, std::memory_order_relaxed); }

// ---- signals held back around a check and a wait ----

SignalsHeld::SignalsHeld() noexcept {
    sigset_t held;
    sigfillset(&held);
    // Faults are never held back.
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS}) sigdelset(&held, sig);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

// ---- the source ----

EventSource EventSource::open() {
    const int wake = window_change_pipe();
    term::TtyFd tty = term::TtyFd::open();
    const bool owned = tty.owned();
    return EventSource(tty.release(), wake, owned);
}

EventSource::EventSource(EventSource&& o) noexcept : input_(o.input_), wake_(o.wake_), owns_input_(o.owns_input_) {
    o.owns_input_ = false;
}

EventSource::~EventSource() {
    if (owns_input_) ::close(input_);
}

EventSource::Wake EventSource::wait(const Deadline& deadline, const sigset_t* signal_mask) {
    while (true) {
        pollfd fds[2] = {{input_, POLLIN, 0}, {wake_, POLLIN, 0}};
        const int ms = deadline.poll_timeout();
        const timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
        const int n = ::ppoll(fds, wake_ >= 0 ? 2 : 1, ms < 0 ? nullptr : &ts, signal_mask);
        if (n < 0) {
            if (errno == EINTR) return Wake::Interrupted;
            throw IoError::last_os_error();
        }
        if (n > 0 && wake_ >= 0 && (fds[1].revents & POLLIN)) {
            drain(wake_);
            take_window_change();
            return Wake::Resize;
        }
        if (n > 0) {
            if (fds[0].revents & POLLIN) return Wake::Input;
            if (fds[0].revents & POLLNVAL) throw IoError::os(EBADF);
            if (fds[0].revents & (POLLHUP | POLLERR)) throw IoError::os(EIO);
        }
        if (deadline.passed()) return Wake::Timeout;
    }
}

std::size_t EventSource::read(std::uint8_t* buf, std::size_t cap) {
    const ssize_t n = ::read(input_, buf, cap);
    if (n > 0) return static_cast<std::size_t>(n);
    if (n == 0) throw IoError::os(EIO);  // end of input: the terminal hung up
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    throw IoError::last_os_error();
}

}  // namespace tarvo::core::terminal

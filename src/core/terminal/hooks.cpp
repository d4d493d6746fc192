#include "core/terminal/hooks.hpp"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace tarvo::core::terminal {

namespace {

struct Chain {
    std::mutex lock;
    std::vector<std::shared_ptr<std::function<void()>>> hooks;
};

Chain& chain() {
    static Chain* c = new Chain;  // never destroyed: hooks may run while the process exits
    return *c;
}

}  // namespace

std::size_t push_restore_hook(std::function<void()> hook) {
    auto p = std::make_shared<std::function<void()>>(std::move(hook));
    Chain& c = chain();
    std::lock_guard g(c.lock);
    c.hooks.push_back(std::move(p));
    return c.hooks.size() - 1;
}

void truncate_restore_hooks(std::size_t depth) noexcept {
    Chain& c = chain();
    std::vector<std::shared_ptr<std::function<void()>>> dropped;
    {
        std::lock_guard g(c.lock);
        if (depth < c.hooks.size()) {
            dropped.assign(c.hooks.begin() + static_cast<std::ptrdiff_t>(depth), c.hooks.end());
            c.hooks.resize(depth);
        }
    }
}

std::size_t restore_hook_depth() noexcept {
    Chain& c = chain();
    std::lock_guard g(c.lock);
    return c.hooks.size();
}

void run_restore_hooks() noexcept {
    std::vector<std::shared_ptr<std::function<void()>>> hooks;
    try {
        Chain& c = chain();
        std::lock_guard g(c.lock);
        hooks = c.hooks;
    } catch (...) {
        return;
    }
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        try {
            (**it)();
        } catch (...) {
        }
    }
}

// ---- last resort on SIGTERM ----

namespace {

constexpr std::size_t kMaxBytes = 1024;

struct Emergency {
    char bytes[kMaxBytes];
    std::atomic<std::size_t> len{0};
    struct termios saved;
    std::atomic<int> saved_fd{-1};
    std::atomic<int> armed{0};
    struct sigaction previous;
    bool installed = false;
    std::mutex lock;  // arming and disarming only; never taken by the handler
};

Emergency& emergency() {
    static Emergency* e = new Emergency;
    return *e;
}

void write_all(int fd, const char* p, std::size_t n) noexcept {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

void on_terminate(int sig) {
    const int saved_errno = errno;
    Emergency& e = emergency();
    if (e.armed.load() > 0) {
        write_all(1, e.bytes, e.len.load());
        const int fd = e.saved_fd.load();
        if (fd >= 0) ::tcsetattr(fd, TCSANOW, &e.saved);
    }
    errno = saved_errno;
    // End the process as the signal would have without us.
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(sig);
}

}  // namespace

void arm_termination_restore(std::string_view bytes) noexcept {
    Emergency& e = emergency();
    std::lock_guard g(e.lock);
    if (e.armed.load() == 0) {
        const std::size_t n = std::min(bytes.size(), kMaxBytes);
        e.len.store(0);
        std::memcpy(e.bytes, bytes.data(), n);
        e.len.store(n);
    }
    if (e.armed.fetch_add(1) == 0 && !e.installed) {
        struct sigaction current;
        if (::sigaction(SIGTERM, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
            current.sa_handler == SIG_DFL) {
            struct sigaction sa;
            std::memset(&sa, 0, sizeof sa);
            sa.sa_handler = on_terminate;
            sigemptyset(&sa.sa_mask);
            if (::sigaction(SIGTERM, &sa, &e.previous) == 0) e.installed = true;
        }
    }
}

void disarm_termination_restore() noexcept {
    Emergency& e = emergency();
    std::lock_guard g(e.lock);
    if (e.armed.load() == 0) return;
    if (e.armed.fetch_sub(1) == 1 && e.installed) {
        struct sigaction current;
        // Put the default back only when nobody replaced our handler meanwhile.
        if (::sigaction(SIGTERM, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
            current.sa_handler == on_terminate)
            ::sigaction(SIGTERM, &e.previous, nullptr);
        e.installed = false;
    }
}

bool termination_restore_armed() noexcept { return emergency().armed.load() > 0; }

void set_termination_attributes(int fd, const struct termios& attributes) noexcept {
    Emergency& e = emergency();
    std::lock_guard g(e.lock);
    e.saved_fd.store(-1);
    e.saved = attributes;
    e.saved_fd.store(fd);
}

}  // namespace tarvo::core::terminal

#include "core/terminal/size.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "core/io_error.hpp"

extern char** environ;

namespace tarvo::core::term {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int open_retrying(const char* path, int flags) {
    int fd;
    do {
        fd = ::open(path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

void close_quietly(int fd) {
    if (fd >= 0) ::close(fd);
}

}  // namespace

WindowSize window_size() {
    const int tty = open_retrying("/dev/tty", O_RDONLY | O_CLOEXEC);
    const int fd = tty >= 0 ? tty : STDOUT_FILENO;
    winsize ws{};
    int rc;
    do {
        rc = ::ioctl(fd, TIOCGWINSZ, &ws);
    } while (rc != 0 && errno == EINTR);
    const int err = errno;
    close_quietly(tty);
    if (rc != 0) throw IoError::os(err);
    return WindowSize{ws.ws_col, ws.ws_row, ws.ws_xpixel, ws.ws_ypixel};
}

std::optional<std::uint16_t> parse_tput_number(std::string_view text) noexcept {
    while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::uint32_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<std::uint32_t>(c - '0');
        if (n > 65535) return std::nullopt;
    }
    return static_cast<std::uint16_t>(n);
}

std::optional<std::string> run_tput(const char* capability) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char prog[] = "tput";
    std::string cap(capability);
    char* argv[] = {prog, cap.data(), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, "tput", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) {
        ::close(out[0]);
        return std::nullopt;
    }
    std::string text;
    char buf[256];
    for (;;) {
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n > 0) {
            if (text.size() < 4096) text.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    ::close(out[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return text;
}

CellSize terminal_size() {
    try {
        const WindowSize ws = window_size();
        return CellSize{ws.columns, ws.rows};
    } catch (const IoError& e) {
        std::optional<std::uint16_t> cols, lines;
        if (auto text = run_tput("cols")) cols = parse_tput_number(*text);
        if (auto text = run_tput("lines")) lines = parse_tput_number(*text);
        if (cols && lines) return CellSize{*cols, *lines};
        throw;
    }
}

}  // namespace tarvo::core::term

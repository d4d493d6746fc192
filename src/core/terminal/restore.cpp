#include "core/terminal/restore.hpp"

#include <unistd.h>

#include <string>

#include "core/terminal/commands.hpp"
#include "core/io_error.hpp"
#include "core/terminal/output.hpp"
#include "core/terminal/raw_mode.hpp"

namespace tarvo::core::term {

namespace {

constexpr std::string_view kSoftResetBlock =
    "\x1b[!p"
    "\x0f"
    "\x1b(B\x1b)B"
    "\x1b[0m\x1b[39m\x1b[49m\x1b[59m"
    "\x1b[?25h\x1b[0 q\x1b[?7h"
    "\x1b[?1000l\x1b[?1002l\x1b[?1003l\x1b[?1005l\x1b[?1006l\x1b[?1015l"
    "\x1b[?1004l\x1b[?2004l\x1b[?2026l";
static_assert(kSoftResetBlock.size() == 118);

}  // namespace

const std::array<std::string_view, 12> kResetSteps = {
    seq::kEndSynchronizedUpdate,
    seq::kEndSynchronizedUpdate,
    seq::kDisableMouseCapture,
    seq::kDisableBracketedPaste,
    seq::kDisableFocusChange,
    seq::kPopKeyboardFlags,
    seq::kShowCursor,
    "\x1b[0 q",
    seq::kEnableLineWrap,
    seq::kResetColor,
    "\x1b[0m",
    kSoftResetBlock,
};

void write_stderr(std::string_view text) noexcept {
    try {
        write_all_fd(STDERR_FILENO, text);
    } catch (...) {
    }
}

void reset_terminal_modes() noexcept {
    OutputStream* out = nullptr;
    try {
        out = &stdout_stream();
    } catch (...) {
        return;
    }
    for (std::size_t i = 0; i < kResetSteps.size(); ++i) {
        try {
            auto w = out->lock();
            bool written = true;
            try {
                w.write(kResetSteps[i]);
            } catch (...) {
                written = false;
            }
            // The last step flushes whatever happened; the others only after a good write.
            if (written || i + 1 == kResetSteps.size()) w.flush();
        } catch (...) {
        }
    }
}

void restore_terminal() noexcept {
    try {
        disable_raw_mode();
        stdout_stream().send(seq::kLeaveAlternateScreen);
    } catch (const std::exception& e) {
        std::string line = "Failed to restore terminal: ";
        line.append(e.what()).append("\n");
        write_stderr(line);
    } catch (...) {
        write_stderr("Failed to restore terminal: unknown error\n");
    }
}

}  // namespace tarvo::core::term

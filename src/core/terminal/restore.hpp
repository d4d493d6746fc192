// Putting the terminal back after the system changed it.
//
// reset_terminal_modes(): every mode the system's own commands can switch on is switched off
// again, and cursor, colours and attributes go back to their defaults. Twelve writes to
// standard output, each flushed when it was written; every error is ignored. It never touches
// raw mode or the alternate screen, takes no lock besides the stream's own, and is safe to call
// from a failure path.
//
// restore_terminal(): leave raw mode, then leave the alternate screen ("\x1b[?1049l", written
// even when it was never entered) and flush. The first failure is reported on standard error
// as "Failed to restore terminal: {text}" and ends it. Never throws.
#pragma once

#include <array>
#include <string_view>

namespace tarvo::core::term {

void reset_terminal_modes() noexcept;
void restore_terminal() noexcept;

// The writes of reset_terminal_modes, in order (the last is one 118-byte block: a soft reset
// and every mode again).
extern const std::array<std::string_view, 12> kResetSteps;

// Writes `text` to standard error (descriptor 2) directly, ignoring errors.
void write_stderr(std::string_view text) noexcept;

}  // namespace tarvo::core::term

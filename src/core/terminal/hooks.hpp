// Giving the terminal back when things go wrong: a process-wide chain of restore hooks that
// runs before an internal failure reaches the caller, and a last-resort restore when the
// process is told to terminate while a live terminal holds the screen.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

struct termios;

namespace tarvo::core::terminal {

// Adds a hook to the chain and returns the depth the chain had before, the token that removes
// it (and every hook added after it) again.
std::size_t push_restore_hook(std::function<void()> hook);
// Drops every hook at or above `depth`.
void truncate_restore_hooks(std::size_t depth) noexcept;
std::size_t restore_hook_depth() noexcept;
// Runs the hooks, newest first, on the calling thread. A hook that throws is passed over; the
// others still run. Hooks run outside the chain's lock, so a hook may add or drop hooks.
void run_restore_hooks() noexcept;

// The last-resort restore for SIGTERM. While at least one holder has armed it, a SIGTERM whose
// disposition was the default writes `bytes` to descriptor 1, puts back the terminal attributes
// given to `set_termination_attributes` and then ends the process by the same signal. Nothing in the
// handler allocates or locks. Arming is counted; the handler is installed by the first arm
// (only when SIGTERM had its default disposition) and removed when the count returns to 0.
void arm_termination_restore(std::string_view bytes) noexcept;
void disarm_termination_restore() noexcept;
bool termination_restore_armed() noexcept;
// The attributes the last-resort restore puts back on terminal descriptor `fd` (which must stay
// open).
void set_termination_attributes(int fd, const struct termios& attributes) noexcept;

}  // namespace tarvo::core::terminal

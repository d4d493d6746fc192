// Questions put to the terminal, answered through the input reader: the cursor position and
// whether the terminal speaks the enhanced keyboard protocol.
//
// Each switches raw mode on for its duration when it is off (a failure to switch it off again
// wins over the answer), forgets replies of the same kind left over from earlier questions,
// writes its request to standard output and waits up to two seconds for the reply. Input that
// arrives meanwhile stays queued for the event waits. Failures throw core::IoError.
#pragma once

#include <chrono>
#include <cstdint>

namespace tarvo::core::terminal {

inline constexpr std::chrono::milliseconds kQueryWait{2000};

struct CursorPosition {
    std::uint16_t column = 0;  // 0-based
    std::uint16_t row = 0;
};

CursorPosition cursor_position();
bool supports_keyboard_enhancement();

}  // namespace tarvo::core::terminal

// The terminal's size in cells.
//
// window_size(): the window-size request (TIOCGWINSZ) on "/dev/tty", or on descriptor 1 when
// /dev/tty cannot be opened; no second try when /dev/tty opened but the request failed.
// terminal_size(): the request, and when it fails the numbers printed by "tput cols" and
// "tput lines" (both run). Failures throw core::IoError with the system's text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::core::term {

struct WindowSize {
    std::uint16_t columns = 0;
    std::uint16_t rows = 0;
    std::uint16_t width = 0;   // pixels, 0 when the terminal does not say
    std::uint16_t height = 0;  // pixels
    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

struct CellSize {
    std::uint16_t columns = 0;
    std::uint16_t rows = 0;
    friend bool operator==(const CellSize&, const CellSize&) = default;
};

WindowSize window_size();
CellSize terminal_size();

// The number a "tput" run printed: the text trimmed of white space, then an unsigned 16-bit
// decimal number (an optional "+" sign, digits only, no overflow); nullopt otherwise.
std::optional<std::uint16_t> parse_tput_number(std::string_view text) noexcept;

// Runs "tput <capability>" (found through PATH, standard input empty, standard error
// discarded) and returns its standard output; nullopt when it cannot be started.
std::optional<std::string> run_tput(const char* capability);

}  // namespace tarvo::core::term

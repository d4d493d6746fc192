#include "core/io_error.hpp"

#include <cerrno>
#include <cstring>
#include <type_traits>

namespace tarvo::core {

namespace {

// strerror_r comes in two forms: the XSI one returns an int and fills the buffer, the GNU one
// returns the text (which may or may not be the buffer).
[[maybe_unused]] const char* strerror_result(int rc, const char* buf) { return rc == 0 ? buf : nullptr; }
[[maybe_unused]] const char* strerror_result(const char* text, const char*) { return text; }

}  // namespace

std::string system_error_text(int code) {
    char buf[256] = {};
    const char* text = strerror_result(strerror_r(code, buf, sizeof buf), buf);
    if (!text || !*text) return "Unknown error " + std::to_string(code);
    return text;
}

IoError IoError::os(int code) {
    return IoError(code, system_error_text(code) + " (os error " + std::to_string(code) + ")");
}

IoError IoError::last_os_error() { return os(errno); }

IoError IoError::other(std::string message) { return IoError(0, std::move(message)); }

}  // namespace tarvo::core

#include "core/terminal/os_error.hpp"

#include <cstring>

namespace tarvo::core {

std::string os_error_text(int code) {
    char buf[256];
    buf[0] = '\0';
    // The GNU strerror_r returns the text (possibly a static string); the XSI one fills buf.
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    const char* text = strerror_r(code, buf, sizeof buf);
#else
    const char* text = strerror_r(code, buf, sizeof buf) == 0 ? buf : "Unknown error";
#endif
    std::string out(text ? text : "Unknown error");
    out.append(" (os error ").append(std::to_string(code)).append(")");
    return out;
}

IoError IoError::from_errno(int code) { return IoError(os_error_text(code), code); }

}  // namespace tarvo::core

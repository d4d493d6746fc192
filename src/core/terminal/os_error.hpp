// The terminal layer's I/O failure: an operating-system error number, or a message of our own,
// with the display text that callers see ("Broken pipe (os error 32)").
#pragma once

#include <stdexcept>
#include <string>

namespace tarvo::core {

class IoError : public std::runtime_error {
public:
    // An operating-system error: strerror's text followed by " (os error N)".
    static IoError from_errno(int code);
    // An error that carries only a message of its own.
    static IoError message(const std::string& text) { return IoError(text, 0); }

    // The error number, 0 for an error built from a message.
    int code() const noexcept { return code_; }

private:
    IoError(const std::string& text, int code) : std::runtime_error(text), code_(code) {}
    int code_;
};

// The display text of error number `code`, as IoError::from_errno words it.
std::string os_error_text(int code);

}  // namespace tarvo::core

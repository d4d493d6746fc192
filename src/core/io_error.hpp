// An input/output failure of the core: an operating-system error number with the system's text,
// or a message of our own. Its text is what the bindings show in the OSError they raise:
// "No such device or address (os error 6)" for error number 6, the message itself otherwise.
#pragma once

#include <exception>
#include <string>

namespace tarvo::core {

class IoError : public std::exception {
public:
    // From an error number (errno), e.g. IoError::os(ENXIO).
    static IoError os(int code);
    // From the current value of errno.
    static IoError last_os_error();
    // A failure that has no error number, e.g. a reply that never came.
    static IoError other(std::string message);

    // The error number; 0 for a failure built from a message.
    int code() const noexcept { return code_; }
    // The display text (see above).
    const std::string& text() const noexcept { return text_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    IoError(int code, std::string text) : code_(code), text_(std::move(text)) {}
    int code_;
    std::string text_;
};

// The system's message for an error number, as strerror gives it ("Unknown error 4242" for a
// number it does not know).
std::string system_error_text(int code);

}  // namespace tarvo::core

// A failure of the core that is reported to callers as the panic exception.
#pragma once

#include <stdexcept>
#include <string>

namespace tarvo::core {

class Panic : public std::runtime_error {
public:
    explicit Panic(const std::string& message) : std::runtime_error(message) {}
};

[[noreturn]] inline void panic(const std::string& message) { throw Panic(message); }

}  // namespace tarvo::core

#include "core/terminal/output.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/io_error.hpp"

namespace tarvo::core::term {

void write_all_fd(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw IoError::os(errno);
        }
        if (n == 0) throw IoError::other("failed to write whole buffer");
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

OutputStream::OutputStream(int fd, std::size_t capacity)
    : fd_(fd), capacity_(capacity == 0 ? 1 : capacity), buf_(new char[capacity_]) {}

void OutputStream::drain() {
    if (len_ == 0) return;
    const std::size_t n = len_;
    len_ = 0;  // dropped on failure: see the header
    write_all_fd(fd_, {buf_.get(), n});
}

void OutputStream::write_through(std::string_view bytes) { write_all_fd(fd_, bytes); }

void OutputStream::Locked::write(std::string_view bytes) {
    OutputStream& s = s_;
    if (bytes.empty()) return;
    if (bytes.size() > s.capacity_ - s.len_) {
        s.drain();
        if (bytes.size() >= s.capacity_) {
            s.write_through(bytes);
            return;
        }
    }
    std::memcpy(s.buf_.get() + s.len_, bytes.data(), bytes.size());
    s.len_ += bytes.size();
}

void OutputStream::Locked::flush() { s_.drain(); }

std::size_t OutputStream::Locked::pending() const noexcept { return s_.len_; }

OutputStream& stdout_stream() {
    static OutputStream* stream = new OutputStream(STDOUT_FILENO);  // never destroyed
    return *stream;
}

}  // namespace tarvo::core::term

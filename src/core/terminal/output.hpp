// The terminal's output stream: the process's standard output (descriptor 1, never a language
// runtime's own buffered stream), buffered until flushed and shared by every writer of the
// system.
//
//   auto& out = term::stdout_stream();      // created on first use, never destroyed
//   out.send(term::move_to(3, 4));          // write the whole command, then flush
//   out.send({term::seq::kTitlePrefix, title, term::seq::kTitleSuffix});  // one write, one flush
//
//   {   // many small writes under one lock (a frame): nothing reaches the fd until flush()
//       auto w = out.lock();
//       w.write(term::move_to(0, 0));
//       w.write("text");
//       w.flush();
//   }
//
// Failures throw core::IoError with the system's text ("Broken pipe (os error 32)").
// System calls: EINTR is retried; a short write continues with the rest; EAGAIN, EBADF, EPIPE,
// ENOSPC and every other error is thrown at once (nothing spins or blocks beyond the write
// itself); a write that accepts 0 bytes throws "failed to write whole buffer". SIGPIPE is left
// as the process set it (Python ignores it, so a broken pipe arrives as EPIPE).
//
// When draining fails, the bytes that could not be written are dropped: the caller has the
// error, and a later write never replays stale commands onto a repaired descriptor.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string_view>

namespace tarvo::core::term {

class OutputStream {
public:
    static constexpr std::size_t kDefaultCapacity = 16 * 1024;

    // A stream over `fd` (not owned, never closed).
    explicit OutputStream(int fd, std::size_t capacity = kDefaultCapacity);
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    // Exclusive use of the stream for a run of writes; the lock is held until it is destroyed.
    class Locked {
    public:
        // Appends to the buffer; a full buffer is drained to the descriptor first, and bytes
        // larger than the buffer are written straight through. Throws IoError.
        void write(std::string_view bytes);
        void write(std::initializer_list<std::string_view> pieces) {
            for (std::string_view p : pieces) write(p);
        }
        // Writes every buffered byte to the descriptor. Throws IoError.
        void flush();
        // Buffered bytes not yet written.
        std::size_t pending() const noexcept;

    private:
        friend class OutputStream;
        explicit Locked(OutputStream& s) : s_(s), lock_(s.mutex_) {}
        OutputStream& s_;
        std::unique_lock<std::mutex> lock_;
    };

    Locked lock() { return Locked(*this); }

    // One locked write, and one locked flush (each takes the lock on its own).
    void write(std::string_view bytes) { lock().write(bytes); }
    void write(std::initializer_list<std::string_view> pieces) { lock().write(pieces); }
    void flush() { lock().flush(); }

    // The writer frame of every terminal command: write the whole sequence, then flush; a
    // failed write skips the flush.
    void send(std::string_view bytes) {
        auto w = lock();
        w.write(bytes);
        w.flush();
    }
    void send(std::initializer_list<std::string_view> pieces) {
        auto w = lock();
        w.write(pieces);
        w.flush();
    }

    int fd() const noexcept { return fd_; }

private:
    void drain();                         // buffer → fd; lock held
    void write_through(std::string_view);  // bytes → fd; lock held

    int fd_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buf_;
    std::size_t len_ = 0;
    std::mutex mutex_;
};

// The process's standard output stream (descriptor 1). The first call creates it; other
// threads calling at the same time wait for that.
OutputStream& stdout_stream();

// Writes all of `bytes` to `fd` directly (EINTR retried, short writes continued). Throws IoError.
void write_all_fd(int fd, std::string_view bytes);

}  // namespace tarvo::core::term

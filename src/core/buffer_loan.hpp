// A buffer that its owner lends to writers for a while: the write views handed to draw
// callbacks, which may keep them, or reach back to the owner, while they run.
//
//   LendableBuffer frame(Buffer::empty(area));
//   {
//       LendableBuffer::Loan loan = frame.lend();
//       BufferAccess view = loan.access();   // view.get() is the buffer while the loan is open
//       frame.change();                      // throws InUse: no resize, no replace meanwhile
//   }                                        // the loan ends: view.get() is null from now on
//   frame.change() = Buffer::empty(bigger);  // fine again
#pragma once

#include <memory>
#include <stdexcept>

#include "core/buffer.hpp"

namespace tarvo::core {

// Something is reached for change while it is lent out. Its text is "Already borrowed".
class InUse : public std::runtime_error {
public:
    InUse() : std::runtime_error("Already borrowed") {}
};

namespace detail {
struct LoanState {
    Buffer* buffer = nullptr;
    bool open = true;
};
}  // namespace detail

// What a writer holds: the lent buffer while its loan is open, null afterwards.
class BufferAccess {
public:
    BufferAccess() = default;
    Buffer* get() const noexcept { return state_ && state_->open ? state_->buffer : nullptr; }

private:
    friend class LendableBuffer;
    explicit BufferAccess(std::shared_ptr<detail::LoanState> s) : state_(std::move(s)) {}
    std::shared_ptr<detail::LoanState> state_;
};

class LendableBuffer {
public:
    LendableBuffer() = default;
    explicit LendableBuffer(Buffer buffer) : buffer_(std::move(buffer)) {}
    // The buffer stays where it is for its whole life: writers point into it.
    LendableBuffer(const LendableBuffer&) = delete;
    LendableBuffer& operator=(const LendableBuffer&) = delete;
    ~LendableBuffer() { end_loan(); }

    const Buffer& get() const noexcept { return buffer_; }
    // The buffer to change, resize or replace; throws InUse while it is lent.
    Buffer& change() {
        if (lent()) throw InUse();
        return buffer_;
    }
    bool lent() const noexcept { return loan_ && loan_->open; }

    // One loan: its writers reach the buffer until it ends (or the owner goes, whichever
    // comes first).
    class Loan {
    public:
        Loan(Loan&& other) noexcept = default;
        Loan(const Loan&) = delete;
        Loan& operator=(const Loan&) = delete;
        Loan& operator=(Loan&&) = delete;
        ~Loan() {
            if (state_) state_->open = false;
        }
        // Access for one more writer.
        BufferAccess access() const { return BufferAccess(state_); }

    private:
        friend class LendableBuffer;
        explicit Loan(std::shared_ptr<detail::LoanState> s) : state_(std::move(s)) {}
        std::shared_ptr<detail::LoanState> state_;
    };

    // Opens a loan; throws InUse while another one is open.
    Loan lend() {
        if (lent()) throw InUse();
        loan_ = std::make_shared<detail::LoanState>();
        loan_->buffer = &buffer_;
        return Loan(loan_);
    }

private:
    void end_loan() noexcept {
        if (loan_) loan_->open = false;
        loan_.reset();
    }

    Buffer buffer_;
    std::shared_ptr<detail::LoanState> loan_;
};

}  // namespace tarvo::core

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "core/buffer_loan.hpp"

using namespace tarvo::core;

namespace {
Buffer sized(std::uint16_t w, std::uint16_t h) { return Buffer::empty(Rect{0, 0, w, h}); }
}  // namespace

TEST(BufferLoan, WritersReachTheBufferOnlyWhileTheLoanIsOpen) {
    LendableBuffer frame(sized(4, 2));
    BufferAccess kept;
    EXPECT_EQ(kept.get(), nullptr);
    {
        auto loan = frame.lend();
        BufferAccess a = loan.access(), b = loan.access();
        kept = a;
        ASSERT_EQ(a.get(), &frame.get());
        EXPECT_EQ(b.get(), a.get());
        a.get()->cell_at(1, 1)->set_symbol("x");
        EXPECT_EQ(frame.get().cell_at(1, 1)->symbol.view(), "x");
        EXPECT_TRUE(frame.lent());
    }
    EXPECT_FALSE(frame.lent());
    EXPECT_EQ(kept.get(), nullptr);
}

TEST(BufferLoan, TheOwnerCannotChangeOrLendAgainWhileLent) {
    LendableBuffer frame(sized(3, 3));
    {
        auto loan = frame.lend();
        BufferAccess view = loan.access();
        EXPECT_THROW(frame.change(), InUse);
        EXPECT_THROW((void)frame.lend(), InUse);
        try {
            frame.change() = sized(9, 9);
            FAIL() << "resized while lent";
        } catch (const InUse& e) {
            EXPECT_STREQ(e.what(), "Already borrowed");
        }
        EXPECT_EQ(view.get()->area, (Rect{0, 0, 3, 3}));
        EXPECT_EQ(view.get()->content.size(), 9u);
    }
    frame.change() = sized(5, 1);
    EXPECT_EQ(frame.get().content.size(), 5u);
    auto again = frame.lend();  // a new loan after the last one ended
    EXPECT_EQ(again.access().get()->area.width, 5);
}

TEST(BufferLoan, AMovedLoanEndsOnceAndAGoneOwnerEndsItsLoan) {
    BufferAccess view;
    std::optional<LendableBuffer> frame(std::in_place, sized(2, 2));
    {
        auto first = frame->lend();
        auto moved = std::move(first);
        view = moved.access();
        EXPECT_TRUE(frame->lent());
    }
    EXPECT_EQ(view.get(), nullptr);
    auto loan = frame->lend();
    view = loan.access();
    EXPECT_NE(view.get(), nullptr);
    frame.reset();  // the owner goes first: the loan and its writers end with it
    EXPECT_EQ(view.get(), nullptr);
    EXPECT_EQ(loan.access().get(), nullptr);
}

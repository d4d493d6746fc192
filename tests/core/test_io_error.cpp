#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "core/io_error.hpp"

using namespace tarvo::core;

TEST(IoError, DisplayTextOfErrorNumbers) {
    const std::pair<int, const char*> cases[] = {
        {ENXIO, "No such device or address (os error 6)"},
        {EPIPE, "Broken pipe (os error 32)"},
        {EBADF, "Bad file descriptor (os error 9)"},
        {ENOTTY, "Inappropriate ioctl for device (os error 25)"},
        {4242, "Unknown error 4242 (os error 4242)"},
    };
    for (auto [code, text] : cases) {
        const IoError e = IoError::os(code);
        EXPECT_EQ(e.text(), text) << code;
        EXPECT_STREQ(e.what(), text) << code;
        EXPECT_EQ(e.code(), code);
    }
}

TEST(IoError, LastErrorAndMessages) {
    errno = ENOENT;
    const IoError last = IoError::last_os_error();
    EXPECT_EQ(last.code(), ENOENT);
    EXPECT_EQ(last.text(), std::string(std::strerror(ENOENT)) + " (os error 2)");

    const IoError msg = IoError::other("Failed to initialize input reader");
    EXPECT_EQ(msg.code(), 0);
    EXPECT_EQ(msg.text(), "Failed to initialize input reader");
    EXPECT_EQ(system_error_text(ENXIO), "No such device or address");
}

TEST(IoError, ThrownAsOneType) {
    try {
        throw IoError::os(EIO);
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Input/output error (os error 5)");
    }
}

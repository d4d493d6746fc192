// The push decoder: terminal input bytes in, keys, mouse events, pastes, focus changes and query
// replies out. It keeps the bytes of an unfinished sequence between calls, so a sequence or a
// character split across reads decodes as if it had come in one piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/terminal/event.hpp"

namespace tarvo::core::terminal {

class Decoder {
public:
    // Longest escape sequence kept while waiting for its end; a longer one is dropped.
    static constexpr std::size_t kMaxSequence = 256;
    // A paste longer than this is handed out in pieces of about this size, so an unterminated
    // paste cannot hold memory without bound.
    static constexpr std::size_t kMaxPaste = std::size_t{16} << 20;

    // Decodes `n` bytes and appends what they complete to `out`. `more` says that further input
    // follows right behind these bytes (the read filled its buffer): only then does an ESC at
    // the very end wait for what comes after it instead of being the Esc key. `raw` is whether
    // the terminal is in raw mode (a line feed is then Ctrl+J rather than Enter).
    void feed(const std::uint8_t* data, std::size_t n, bool more, bool raw, std::vector<InputItem>& out);
    void feed(std::string_view bytes, bool more, bool raw, std::vector<InputItem>& out) {
        feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), more, raw, out);
    }

    // Bytes held for an unfinished sequence or paste.
    std::size_t pending() const noexcept { return seq_len_ + paste_.size(); }
    void reset() noexcept;

private:
    void feed_paste(const std::uint8_t* data, std::size_t n, std::size_t& i, std::vector<InputItem>& out);
    void emit_paste(std::size_t len, std::vector<InputItem>& out);

    std::uint8_t seq_[kMaxSequence + 1]{};
    std::size_t seq_len_ = 0;
    bool in_paste_ = false;
    std::string paste_;
};

// Text from bytes that should be UTF-8: each invalid sequence becomes U+FFFD.
std::string utf8_lossy(std::string_view bytes);

}  // namespace tarvo::core::terminal

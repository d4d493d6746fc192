// A small deterministic mutator for the fuzz cases, for machines whose compiler has no libFuzzer:
// each new input is a corpus entry (or a splice of two) changed by a few random edits — flipped
// bits, random bytes, terminal-input fragments inserted, ranges erased or repeated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo_fuzz {

class Mutator {
public:
    Mutator(std::vector<std::string> corpus, std::uint32_t seed) : corpus_(std::move(corpus)), rng_(seed) {
        if (corpus_.empty()) corpus_.emplace_back("\x01");
    }

    std::string next() {
        std::string s = corpus_[pick(corpus_.size())];
        if (pick(8) == 0) {
            const std::string& other = corpus_[pick(corpus_.size())];
            s = s.substr(0, pick(s.size() + 1)) + other.substr(pick(other.size() + 1));
        }
        const std::size_t edits = 1 + pick(6);
        for (std::size_t i = 0; i < edits; ++i) edit(s);
        if (s.size() > kMaxSize) s.resize(kMaxSize);
        return s;
    }

private:
    static constexpr std::size_t kMaxSize = 4096;

    std::size_t pick(std::size_t n) { return n ? static_cast<std::size_t>(rng_() % n) : 0; }

    void edit(std::string& s) {
        static constexpr std::string_view fragments[] = {
            "\x1b", "\x1b[", "\x1bO", "\x1b[1;5", "\x1b[200~", "\x1b[201~", "\x1b[<0;3;4M", "\x1b[M", "~", "u",
            ";", "\x7f", "\r", "\n", "\t", "\xe6\x97\xa5", "\xf0\x9f\x90", "\xc3", "\x1b[27;5;109~", "\x1b[109;5u",
            "\x1b[I", "\x1b[O", "\x1b[?1u", "\x1b[3;7R", "\x1b[?62;c", "\x1b[13;2u", "\x00", "\x1f", "\x1e",
        };
        switch (pick(6)) {
            case 0:
                if (!s.empty()) s[pick(s.size())] ^= static_cast<char>(1u << pick(8));
                break;
            case 1:
                s.insert(s.begin() + static_cast<std::ptrdiff_t>(pick(s.size() + 1)), static_cast<char>(rng_()));
                break;
            case 2: {
                const std::string_view f = fragments[pick(std::size(fragments))];
                s.insert(pick(s.size() + 1), f);
                break;
            }
            case 3:
                if (s.size() > 1) {
                    const std::size_t at = 1 + pick(s.size() - 1);
                    s.erase(at, 1 + pick(16));
                }
                break;
            case 4:
                if (s.size() > 1) {
                    const std::size_t at = 1 + pick(s.size() - 1);
                    const std::string piece = s.substr(at, 1 + pick(32));
                    for (std::size_t k = 1 + pick(8); k > 0; --k) s.insert(at, piece);
                }
                break;
            default:
                if (!s.empty()) s[0] = static_cast<char>(rng_());  // another mode byte
                break;
        }
    }

    std::vector<std::string> corpus_;
    std::mt19937 rng_;
};

}  // namespace tarvo_fuzz

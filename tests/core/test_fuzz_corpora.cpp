// The fuzz targets without libFuzzer: every corpus entry, then a fixed number of mutated inputs
// made from the corpus by a seeded mutator (TARVO_FUZZ_RUNS=<n> runs more of them).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../fuzz/decoder_fuzz.hpp"
#include "../fuzz/editor_fuzz.hpp"
#include "../fuzz/mutate.hpp"

namespace {

std::vector<std::string> read_corpus(const std::filesystem::path& dir) {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        out.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return out;
}

std::size_t runs(std::size_t fallback) {
    const char* env = std::getenv("TARVO_FUZZ_RUNS");
    return env && *env ? std::strtoull(env, nullptr, 10) : fallback;
}

using Target = bool (*)(const std::uint8_t*, std::size_t);

struct Case {
    const char* name;
    const char* corpus;
    Target target;
    std::size_t mutations;
    std::size_t min_entries;
};

class FuzzCorpus : public ::testing::TestWithParam<Case> {};

TEST_P(FuzzCorpus, EntriesAndMutationsKeepTheProperty) {
    const Case& c = GetParam();
    const std::vector<std::string> corpus = read_corpus(c.corpus);
    ASSERT_GE(corpus.size(), c.min_entries);
    for (const std::string& s : corpus)
        ASSERT_TRUE(c.target(reinterpret_cast<const std::uint8_t*>(s.data()), s.size())) << testing::PrintToString(s);
    tarvo_fuzz::Mutator mutator(corpus, 20261207);
    const std::size_t n = runs(c.mutations);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string s = mutator.next();
        ASSERT_TRUE(c.target(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()))
            << "mutation " << i << ": " << testing::PrintToString(s);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus,
                         ::testing::Values(Case{"decoder", TARVO_DECODER_CORPUS, tarvo_fuzz::decode_case, 200000, 6},
                                           Case{"editor", TARVO_EDITOR_CORPUS, tarvo_fuzz::edit_case, 40000, 12}),
                         [](const auto& info) { return std::string(info.param.name); });

// The mutator is deterministic and its inputs stay bounded.
TEST(FuzzMutator, SameSeedSameInputs) {
    tarvo_fuzz::Mutator a({"\x01" "abc", "\x00\x1b[A"}, 7), b({"\x01" "abc", "\x00\x1b[A"}, 7);
    std::size_t changed = 0;
    for (int i = 0; i < 500; ++i) {
        const std::string x = a.next();
        ASSERT_EQ(x, b.next());
        ASSERT_LE(x.size(), 4096u);
        changed += x != "\x01" "abc" && x != std::string("\x00\x1b[A", 4);
    }
    EXPECT_GT(changed, 400u);
}

}  // namespace

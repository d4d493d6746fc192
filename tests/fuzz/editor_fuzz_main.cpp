// libFuzzer entry for the text editor fed through the input decoder (built where the compiler
// offers -fsanitize=fuzzer).
#include "editor_fuzz.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!tarvo_fuzz::edit_case(data, size)) std::abort();
    return 0;
}

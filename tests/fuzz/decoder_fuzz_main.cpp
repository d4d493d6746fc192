// libFuzzer entry for the input decoder (built where the compiler offers -fsanitize=fuzzer).
#include "decoder_fuzz.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!tarvo_fuzz::decode_case(data, size)) std::abort();
    return 0;
}

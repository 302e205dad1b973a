// libFuzzer entry for one kind of network input, chosen when the target is built
// (NETWORK_FUZZ_INPUT); the cases are in network_fuzz_case.h.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "network_fuzz_case.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() /
        ("tarnix-fuzz-" + std::to_string(getpid()) + ".ini");
    const std::string problem = tarnix::fuzz::runNetworkFuzzCase(
        static_cast<tarnix::fuzz::NetworkInput>(NETWORK_FUZZ_INPUT), data, size, scratch);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

// libFuzzer entry for the message datagrams; the case itself is in datagram_fuzz_case.h.
#include <cstdio>
#include <cstdlib>

#include "datagram_fuzz_case.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string problem = tarnix::fuzz::runDatagramFuzzCase(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

// libFuzzer entry for the XML engine; the case itself is in xml_fuzz_case.h.
#include <cstdio>
#include <cstdlib>

#include "xml_fuzz_case.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string problem = tarnix::fuzz::runXmlFuzzCase(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

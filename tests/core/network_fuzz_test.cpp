// A short run of each network-input fuzz case: the kept seeds, then a few thousand inputs
// made from them by the usual mutations (bytes changed, cut, repeated, spliced), with a
// fixed seed so a failure comes back the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "../fuzz/network_fuzz_case.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using fuzz::NetworkInput;

std::vector<std::string> seedsOf(const char* kind) {
    const fs::path folder = fs::path(TARNIX_FUZZ_SEEDS) / kind;
    std::vector<std::string> seeds{""};
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::ifstream in(entry.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return seeds;
}

std::string mutate(std::string bytes, const std::vector<std::string>& seeds, std::mt19937& random) {
    const int steps = 1 + int(random() % 4);
    for (int i = 0; i < steps; ++i) {
        const size_t at = bytes.empty() ? 0 : random() % bytes.size();
        switch (random() % 5) {
            case 0:
                if (!bytes.empty()) bytes[at] = char(random());
                break;
            case 1:
                bytes.resize(at);
                break;
            case 2:
                bytes.insert(at, std::string(1 + random() % 8, char(random())));
                break;
            case 3:
                bytes.insert(at, bytes.substr(at, random() % 64));
                break;
            case 4: {
                const std::string& other = seeds[random() % seeds.size()];
                bytes.insert(at, other.substr(other.empty() ? 0 : random() % other.size(), 32));
                break;
            }
        }
    }
    return bytes;
}

void run(NetworkInput input, const char* kind, int rounds) {
    const fs::path scratch = fs::temp_directory_path() / "tarnix-network-fuzz-test.ini";
    const std::vector<std::string> seeds = seedsOf(kind);
    ASSERT_GT(seeds.size(), 1u) << "no seeds for " << kind;
    std::mt19937 random(20261207);
    for (int i = 0; i < rounds; ++i) {
        const std::string& seed = seeds[size_t(i) % seeds.size()];
        const std::string bytes = i < int(seeds.size()) ? seed : mutate(seed, seeds, random);
        const std::string problem = fuzz::runNetworkFuzzCase(
            input, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), scratch);
        ASSERT_EQ(problem, "") << kind << " input " << i << ": " << ::testing::PrintToString(bytes);
    }
    std::error_code error;
    fs::remove(scratch, error);
}

TEST(NetworkFuzz, EveryParserOfNetworkInputHoldsForAFewThousandInputs) {
    run(NetworkInput::HttpHead, "http_head", 3000);
    run(NetworkInput::MessageList, "message_list", 2000);
    run(NetworkInput::UpdateList, "update_list", 1000);
    run(NetworkInput::Signature, "signature", 2000);
    run(NetworkInput::Address, "address", 3000);
}

}  // namespace
}  // namespace tarnix

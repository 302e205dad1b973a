// A provider's list of 500 new messages merged into a loaded store of 100,000 (its limits
// raised so that none has to make room): the look-up of what is known, the appends and the
// crash-safe save, as the client does after a fetch. Each run starts from the same file on
// a memory file system, loaded before the clock starts. Ends with the median against its
// goal.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "messages/MessageStore.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStored = 100000;
constexpr int kFetched = 500;
constexpr double kGoalMs = 50;

const char kType[] = "\xcf\xb5\xcd\xb3\xcf\xfb\xcf\xa2";  // 系统消息
// 网络维护通知 and a line of 12月8日凌晨网络维护，期间可能短暂断线。 as the content.
const char kTitle[] = "\xcd\xf8\xc2\xe7\xce\xac\xbb\xa4\xcd\xa8\xd6\xaa";
const char kLine[] =
    "12\xd4\xc2" "8\xc8\xd5\xc1\xe8\xb3\xbf\xcd\xf8\xc2\xe7\xce\xac\xbb\xa4\xa3\xac\xc6\xda"
    "\xbc\xe4\xbf\xc9\xc4\xdc\xb6\xcc\xd4\xdd\xb6\xcf\xcf\xdf\xa1\xa3";

tarnix::Message message(int i) {
    char date[16], time[16], url[96];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", 2000 + i / 4000, 1 + i / 300 % 12,
                  1 + i / 10 % 28);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", i % 24, i * 7 % 60, i * 13 % 60);
    std::snprintf(url, sizeof url, "http://www.chengyuan-kd.example/notice/%d.htm", i);
    std::string content;
    for (int k = 0; k < 3; ++k) content += kLine;
    return {kType, kTitle + std::to_string(i), date, time, url, content};
}

fs::path gFolder, gStoreFile, gTemplate;
std::vector<tarnix::Message> gFetched;

// The file as the store writes it, made directly: a store grows to this over years.
void makeStore() {
    fs::create_directories(gFolder);
    std::string text = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<MessageRecord>\r\n";
    for (int i = 0; i < kStored; ++i) {
        const tarnix::Message m = message(i);
        text += "<ITEM MType=\"" + m.type + "\" MTitle=\"" + m.title + "\" MDate=\"" + m.date +
                "\" MTime=\"" + m.time + "\" MUrl=\"" + m.url + "\" MContent=\"" + m.content +
                "\"/>\r\n";
    }
    text += "</MessageRecord>\r\n";
    gTemplate = gFolder / "template.xml";
    std::ofstream(gTemplate, std::ios::binary) << text;
    for (int i = 0; i < kFetched; ++i) gFetched.push_back(message(kStored + i));
}

void mergeIntoStore(benchmark::State& state) {
    size_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(gTemplate, gStoreFile, fs::copy_options::overwrite_existing);
        fs::remove(gFolder / "MessageInfo.xml.unread");
        {
            tarnix::MessageStore store(gFolder);
            store.setLimits({1000000, size_t(1) << 30});
            state.ResumeTiming();
            added = store.merge(gFetched).size();
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.counters["added"] = static_cast<double>(added);
}

class Collector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) {
                times.push_back(run.GetAdjustedRealTime());
                cpu.push_back(run.GetAdjustedCPUTime());
            }
    }
    std::vector<double> times, cpu;  // milliseconds
};

}  // namespace

int main(int argc, char** argv) {
    gFolder = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    gFolder /= "tarnix-merge-bench-" + std::to_string(::getpid());
    gStoreFile = gFolder / "MessageInfo.xml";
    makeStore();
    std::printf("a store of %d messages, %.1f MB, in %s\n", kStored,
                static_cast<double>(fs::file_size(gTemplate)) / (1 << 20), gFolder.c_str());

    benchmark::RegisterBenchmark("merge/500_into_100000", mergeIntoStore)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(false);
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    if (!collector.times.empty()) {
        auto median = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        const double wall = median(collector.times), cpu = median(collector.cpu);
        std::printf("\nmerge 500 into a 100,000-message store: %.1f ms (CPU %.1f ms; median of %zu), "
                    "goal <= %.0f ms of CPU (the machine may be shared): %s\n",
                    wall, cpu, collector.times.size(), kGoalMs, cpu <= kGoalMs ? "met" : "NOT met");
    }
    std::error_code error;
    fs::remove_all(gFolder, error);
    return 0;
}

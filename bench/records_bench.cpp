// The record query over ten years of records (120 month files, 200,000 sessions): every
// filter on "所有" until the rows and the summary line are ready, against reading the same
// files' bytes from the page cache. The query keeps the bytes its rows point into, so the
// fair measure reads into strings that are kept as well (fresh memory, as the query's);
// reading into strings freed at once, or into one reused buffer, shows the least any
// reader can do. Also the account list the page fills when it opens. Ends with the ratios.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "records/RecordFolder.h"
#include "records/RecordQuery.h"
#include "store/SafeFile.h"

namespace fs = std::filesystem;

namespace {

constexpr int kYears = 10;
constexpr int kSessions = 200000;

const char kNormal[] = "\xd5\xfd\xb3\xa3\xb6\xcf\xbf\xaa";    // 正常断开
const char kAbnormal[] = "\xb7\xc7\xb7\xa8\xb6\xcf\xbf\xaa";  // 非法断开
const char* const kNames[] = {"\xd5\xc5\xc8\xfd", "\xc0\xee\xcb\xc4", "wang5", "zhao_liu"};

fs::path gFolder;
std::vector<fs::path> gFiles;
size_t gBytes = 0;

// Month files as the client writes them, newest session first.
void writeRecords() {
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
    const int months = kYears * 12;
    char line[512];
    for (int m = 0; m < months; ++m) {
        const int year = 2015 + m / 12, month = 1 + m % 12;
        const int count = kSessions / months + (m < kSessions % months ? 1 : 0);
        std::string text = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<record>\r\n";
        for (int i = count; i-- > 0;) {
            const unsigned day = 1 + i * 28 / count, hour = next() % 22, minute = next() % 60;
            std::snprintf(line, sizeof line,
                          "<ITEM user=\"%s\" start_time=\"%d-%02d-%02u %02u:%02u:%02u\" "
                          "end_time=\"%d-%02d-%02u %02u:%02u:%02u\" ip=\"10.%u.%u.%u\" "
                          "error_code=\"%s\" send=\"%u\" recv=\"%u\"/>\r\n",
                          kNames[next() % 4], year, month, day, hour, minute, next() % 60, year,
                          month, day, hour + 1 + next() % 2, next() % 60, next() % 60, next() % 256,
                          next() % 256, next() % 256, (i % 5) ? kNormal : kAbnormal, next() * 3,
                          next() * 41);
            text += line;
        }
        text += "</record>\r\n";
        char name[32];
        std::snprintf(name, sizeof name, "%d-%02d.xml", year, month);
        gFiles.push_back(gFolder / name);
        std::ofstream(gFiles.back(), std::ios::binary) << text;
        gBytes += text.size();
    }
}

void readIntoFreshStrings(benchmark::State& state) {
    for (auto _ : state) {
        size_t total = 0;
        for (const fs::path& file : gFiles) {
            std::string bytes, error;
            tarnix::readWholeFile(file, bytes, error);
            total += bytes.size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gBytes));
}

// As a reader that keeps what it read (as the query keeps the files its rows point into).
void readIntoKeptStrings(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> files(gFiles.size());
        for (size_t i = 0; i < gFiles.size(); ++i) {
            std::string error;
            tarnix::readWholeFile(gFiles[i], files[i], error);
        }
        benchmark::DoNotOptimize(files.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gBytes));
}

void readIntoOneBuffer(benchmark::State& state) {
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        size_t total = 0;
        for (const fs::path& file : gFiles) {
            const int fd = ::open(file.c_str(), O_RDONLY);
            for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) total += n;
            ::close(fd);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gBytes));
}

void queryEverything(benchmark::State& state) {
    const tarnix::RecordFolder folder(gFolder);
    const tarnix::RecordQuery query(folder);
    size_t rows = 0;
    for (auto _ : state) {
        const tarnix::RecordTable table = query.run(tarnix::RecordFilter{});
        benchmark::DoNotOptimize(table.summaryLine());
        rows = table.size();
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gBytes));
}

void accountList(benchmark::State& state) {
    const tarnix::RecordFolder folder(gFolder);
    for (auto _ : state) benchmark::DoNotOptimize(folder.accountNames());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gBytes));
}

class Collector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // The median of repetitions when there are some, else the one run.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !cpu.count(run.run_name.str()))
                cpu[run.run_name.str()] = run.GetAdjustedCPUTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.str()] = run.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> cpu, medians;
};

}  // namespace

int main(int argc, char** argv) {
    gFolder = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    gFolder /= "tarnix-records-bench-" + std::to_string(::getpid());
    fs::create_directories(gFolder);
    writeRecords();
    std::printf("%zu record files, %d sessions, %zu bytes in %s\n", gFiles.size(), kSessions,
                gBytes, gFolder.c_str());

    benchmark::RegisterBenchmark("read/fresh_strings", readIntoFreshStrings)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("read/kept_strings", readIntoKeptStrings)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("read/one_buffer", readIntoOneBuffer)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("query/all_filters_all", queryEverything)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("open/account_list", accountList)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    auto cpu = [&](const char* name) {
        if (auto it = collector.medians.find(name); it != collector.medians.end())
            return it->second;
        auto it = collector.cpu.find(name);
        return it == collector.cpu.end() ? 0.0 : it->second;
    };
    const double query = cpu("query/all_filters_all");
    std::printf(
        "\nCPU time of the query over the time to read the same bytes (target 2 or less):\n");
    for (const char* read : {"read/kept_strings", "read/fresh_strings", "read/one_buffer"})
        if (query > 0 && cpu(read) > 0) std::printf("  %-20s %.2f\n", read, query / cpu(read));
    std::error_code error;
    fs::remove_all(gFolder, error);
    return 0;
}

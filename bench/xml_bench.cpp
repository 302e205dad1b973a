// XmlDocument against pugixml and tinyxml2 on generated GB2312 record files of about
// 1 KB, 1 MB and 120,000 ITEMs (about 22 MB): (a) parse, (b) parse and read the seven attributes of every ITEM,
// (c) open a record (load the file, insert an ITEM with seven attributes at the top,
// save), and the memory a loaded document holds. Ends with a table of ratios and the goals
// of the largest file.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <pugixml.hpp>
#include <string>
#include <tinyxml2.h>
#include <vector>

#include "store/XmlDocument.h"

namespace fs = std::filesystem;

// ---- live heap bytes, counted only while measuring memory ----------------------------

namespace {
bool gCounting = false;
long long gLive = 0;

void* countedMalloc(size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (p && gCounting) gLive += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void countedFree(void* p) {
    if (p && gCounting) gLive -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
}  // namespace

void* operator new(size_t n) {
    if (void* p = countedMalloc(n)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, size_t) noexcept { countedFree(p); }
void operator delete[](void* p, size_t) noexcept { countedFree(p); }

namespace {

// ---- the record files ------------------------------------------------------------------

const char* const kAttributes[] = {"user", "start_time", "end_time", "ip",
                                   "error_code", "send", "recv"};
const char kNormal[] = "\xd5\xfd\xb3\xa3\xb6\xcf\xbf\xaa";    // 正常断开
const char kAbnormal[] = "\xb7\xc7\xb7\xa8\xb6\xcf\xbf\xaa";  // 非法断开
const char* const kNames[] = {"\xd5\xc5\xc8\xfd", "\xc0\xee\xcb\xc4", "wang5", "zhao_liu"};

std::string recordFile(size_t targetBytes, size_t items) {
    std::string text = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<record>\r\n";
    const std::string end = "</record>\r\n";
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
    char line[512];
    for (size_t i = 0; i < items && text.size() + end.size() < targetBytes; ++i) {
        const unsigned day = 1 + next() % 28, hour = next() % 24, minute = next() % 60;
        std::snprintf(line, sizeof line,
                      "<ITEM user=\"%s%u\" start_time=\"2009-03-%02u %02u:%02u:%02u\" "
                      "end_time=\"2009-03-%02u %02u:%02u:%02u\" ip=\"10.%u.%u.%u\" "
                      "error_code=\"%s\" send=\"%u\" recv=\"%u\"/>\r\n",
                      kNames[i % 4], next() % 1000, day, hour, minute, next() % 60, day,
                      (hour + 1) % 24, minute, next() % 60, next() % 256, next() % 256,
                      next() % 256, (i % 5) ? kNormal : kAbnormal, next(), next() * 7);
        text += line;
    }
    return text + end;
}

struct Corpus {
    std::string label;
    std::string text;
    fs::path file;
};

fs::path gFolder;
std::vector<Corpus> gCorpora;

// ---- the three libraries ---------------------------------------------------------------

struct Ours {
    static constexpr const char* kName = "XmlDocument";
    tarnix::XmlDocument doc;
    bool parse(const std::string& text) { return doc.SetDocText(text); }
    size_t walk() {
        size_t total = 0;
        std::string scratch;
        doc.ResetMainPosition();
        doc.FindElement("record");
        doc.EnterElement();
        while (doc.FindElement("ITEM"))
            for (const char* name : kAttributes) total += doc.GetAttribute(name, scratch).size();
        return total;
    }
    bool openRecord(const fs::path& in, const fs::path& out) {
        doc.Load(in);
        doc.FindElement("record");
        doc.EnterElement();
        doc.InsertElement("ITEM");
        setSeven([&](const char* n, const char* v) { doc.SetAttribute(n, v); });
        return doc.Save(out);
    }
    template <typename Set>
    static void setSeven(Set set) {
        set("user", "\xd5\xc5\xc8\xfd");
        set("start_time", "2009-03-31 23:59:59");
        set("end_time", "");
        set("ip", "10.1.2.3");
        set("error_code", "");
        set("send", "");
        set("recv", "");
    }
};

struct Pugi {
    static constexpr const char* kName = "pugixml";
    static constexpr unsigned kParse = pugi::parse_default | pugi::parse_declaration;
    pugi::xml_document doc;
    bool parse(const std::string& text) {
        return doc.load_buffer(text.data(), text.size(), kParse, pugi::encoding_utf8);
    }
    size_t walk() {
        size_t total = 0;
        for (pugi::xml_node item : doc.child("record").children("ITEM"))
            for (const char* name : kAttributes) total += std::strlen(item.attribute(name).value());
        return total;
    }
    bool openRecord(const fs::path& in, const fs::path& out) {
        doc.load_file(in.c_str(), kParse, pugi::encoding_utf8);
        pugi::xml_node item = doc.child("record").prepend_child("ITEM");
        Ours::setSeven([&](const char* n, const char* v) { item.append_attribute(n) = v; });
        return doc.save_file(out.c_str(), "\t", pugi::format_default, pugi::encoding_utf8);
    }
};

struct Tiny {
    static constexpr const char* kName = "tinyxml2";
    tinyxml2::XMLDocument doc;
    bool parse(const std::string& text) {
        return doc.Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS;
    }
    size_t walk() {
        size_t total = 0;
        tinyxml2::XMLElement* record = doc.FirstChildElement("record");
        for (auto* item = record ? record->FirstChildElement("ITEM") : nullptr; item;
             item = item->NextSiblingElement("ITEM"))
            for (const char* name : kAttributes) {
                const char* value = item->Attribute(name);
                total += value ? std::strlen(value) : 0;
            }
        return total;
    }
    bool openRecord(const fs::path& in, const fs::path& out) {
        doc.LoadFile(in.c_str());
        tinyxml2::XMLElement* record = doc.FirstChildElement("record");
        tinyxml2::XMLElement* item = doc.NewElement("ITEM");
        record->InsertFirstChild(item);
        Ours::setSeven([&](const char* n, const char* v) { item->SetAttribute(n, v); });
        return doc.SaveFile(out.c_str()) == tinyxml2::XML_SUCCESS;
    }
};

// ---- benchmarks ----------------------------------------------------------------------

template <typename Lib>
void parse(benchmark::State& state, const Corpus* corpus) {
    for (auto _ : state) {
        Lib lib;
        benchmark::DoNotOptimize(lib.parse(corpus->text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus->text.size()));
}

template <typename Lib>
void parseAndWalk(benchmark::State& state, const Corpus* corpus) {
    for (auto _ : state) {
        Lib lib;
        lib.parse(corpus->text);
        benchmark::DoNotOptimize(lib.walk());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus->text.size()));
}

template <typename Lib>
void openRecord(benchmark::State& state, const Corpus* corpus) {
    const fs::path out = gFolder / (std::string(Lib::kName) + "-out.xml");
    for (auto _ : state) {
        Lib lib;
        benchmark::DoNotOptimize(lib.openRecord(corpus->file, out));
    }
}

template <typename Lib>
long long memoryOf(const Corpus& corpus) {
    gLive = 0;
    gCounting = true;
    long long held;
    {
        Lib lib;
        lib.parse(corpus.text);
        held = gLive;
    }
    gCounting = false;
    return held;
}

// ---- the summary -----------------------------------------------------------------------

class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // The median of the repetitions where there are some, else the one run.
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"))
                times[run.run_name.str()] = run.GetAdjustedCPUTime();
    }
    std::map<std::string, double> times;
};

template <typename... Libs>
void registerAll() {
    for (const Corpus& corpus : gCorpora) {
        ((benchmark::RegisterBenchmark(("a_parse/" + std::string(Libs::kName) + "/" + corpus.label).c_str(),
                                       parse<Libs>, &corpus)),
         ...);
    }
    for (const Corpus& corpus : gCorpora) {
        ((benchmark::RegisterBenchmark(("b_walk/" + std::string(Libs::kName) + "/" + corpus.label).c_str(),
                                       parseAndWalk<Libs>, &corpus)),
         ...);
    }
    for (const Corpus& corpus : gCorpora) {
        ((benchmark::RegisterBenchmark(("c_open_record/" + std::string(Libs::kName) + "/" + corpus.label).c_str(),
                                       openRecord<Libs>, &corpus)),
         ...);
    }
}

}  // namespace

int main(int argc, char** argv) {
    pugi::set_memory_management_functions(countedMalloc, countedFree);
    // Files on a memory file system when there is one, so that the disk's flush does not
    // drown the work of the libraries (XmlDocument's save also flushes and renames).
    std::error_code error;
    gFolder = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    gFolder /= "tarnix-bench-" + std::to_string(::getpid());
    fs::create_directories(gFolder);
    const struct {
        const char* label;
        size_t bytes, items;
    } sizes[] = {{"1KB", 1 << 10, SIZE_MAX}, {"1MB", 1 << 20, SIZE_MAX}, {"120k", SIZE_MAX, 120000}};
    gCorpora.reserve(std::size(sizes));
    for (const auto& [label, bytes, items] : sizes) {
        Corpus corpus{label, recordFile(bytes, items), gFolder / (std::string(label) + ".xml")};
        std::ofstream(corpus.file, std::ios::binary) << corpus.text;
        gCorpora.push_back(std::move(corpus));
    }
    std::printf("record files in %s\n", gFolder.c_str());

    registerAll<Ours, Pugi, Tiny>();
    // The machine is often shared: by default each measure is the median of five runs
    // taken in random order with the other libraries', so that a busy moment spreads over
    // all of them instead of one.
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i)
        repetitionsGiven |= std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
    char repetitions[] = "--benchmark_repetitions=5", interleave[] = "--benchmark_enable_random_interleaving=true",
         aggregates[] = "--benchmark_report_aggregates_only=true", minTime[] = "--benchmark_min_time=0.2";
    if (!repetitionsGiven) args.insert(args.begin() + 1, {repetitions, interleave, aggregates, minTime});
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    std::printf("\nRatios of CPU time (or memory): the other library over XmlDocument; above 1 means "
                "XmlDocument is faster (or smaller).\n");
    std::printf("%-14s %-5s %12s %12s %12s %9s %9s\n", "test", "size", "XmlDocument", "pugixml",
                "tinyxml2", "pugi/ours", "tiny/ours");
    for (const char* test : {"a_parse", "b_walk", "c_open_record"}) {
        for (const Corpus& corpus : gCorpora) {
            auto time = [&](const char* lib) {
                auto it = collector.times.find(std::string(test) + "/" + lib + "/" + corpus.label);
                return it == collector.times.end() ? 0.0 : it->second;
            };
            const double ours = time("XmlDocument"), pugi = time("pugixml"), tiny = time("tinyxml2");
            if (ours <= 0) continue;
            std::printf("%-14s %-5s %10.0fns %10.0fns %10.0fns %9.2f %9.2f\n", test,
                        corpus.label.c_str(), ours, pugi, tiny, pugi / ours, tiny / ours);
        }
    }
    for (const Corpus& corpus : gCorpora) {
        const double ours = static_cast<double>(memoryOf<Ours>(corpus));
        const double pugi = static_cast<double>(memoryOf<Pugi>(corpus));
        const double tiny = static_cast<double>(memoryOf<Tiny>(corpus));
        std::printf("%-14s %-5s %11.0fB %11.0fB %11.0fB %9.2f %9.2f\n", "memory",
                    corpus.label.c_str(), ours, pugi, tiny, pugi / ours, tiny / ours);
    }
    const auto ratio = [&](const char* test) {
        const auto time = [&](const char* lib) {
            auto it = collector.times.find(std::string(test) + "/" + lib + "/120k");
            return it == collector.times.end() ? 0.0 : it->second;
        };
        return time("XmlDocument") > 0 ? time("pugixml") / time("XmlDocument") : 0.0;
    };
    const struct {
        const char* test;
        const char* what;
        double goal;
    } goals[] = {{"b_walk", "parse + walk of a 120k-ITEM GB2312 record file", 1.2},
                 {"c_open_record", "open-record edit (load, insert at top, crash-safe save)", 2}};
    std::printf("\nGoals, pugixml's CPU time over XmlDocument's on the 120k-ITEM file (%.1f MB):\n",
                static_cast<double>(gCorpora.back().text.size()) / (1 << 20));
    for (const auto& goal : goals) {
        const double r = ratio(goal.test);
        if (r > 0)
            std::printf("  %-58s %5.2fx  goal >= %.1fx: %s\n", goal.what, r, goal.goal,
                        r >= goal.goal ? "met" : "NOT met");
    }
    fs::remove_all(gFolder, error);
    return 0;
}

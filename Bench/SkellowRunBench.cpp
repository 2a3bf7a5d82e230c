// "Skellow From IFC" on generated projects of 1 000, 10 000 and 100 000 objects whose IFC names fall in
// 1 000 groups, and of 10 000 and 100 000 objects that each have a name of their own, as the IFC exports
// of authoring tools name them ("Type:<id>"); every group is mapped in the table to one replacement part
// and the question is answered OK. The library holds 9 parts, as a small project's does, or 3 000, as a
// real project's does, with the replacement part loaded last. The time is of the whole command (search,
// table, question, replacement and report), without loading the project. Counters: the host calls per
// element, and the peak heap the run adds as a share of the bytes of the project's own element records.
// A linear fit is the peer: the time per element should not grow, and neither should it with the library.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <HostDialogs.h>
#include <HostFiles.h>
#include <SimProject.h>
#include <SimulatedHost.h>

// --- Heap bytes --------------------------------------------------------------------------------------
// Every block of the process (the simulated host's, the add-on's, the C++ library's) is counted as the
// C library hands it out, at its usable size, so the peak is the heap's own and not the resident set's:
// pages that the run takes back from the free lists would not grow the resident set at all.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<std::int64_t> liveHeap{0};
std::atomic<std::int64_t> peakHeap{0};

std::int64_t usableBytes(void* block) {
    return block != nullptr ? static_cast<std::int64_t>(malloc_usable_size(block)) : 0;
}

void* counted(void* block) {
    const std::int64_t bytes = usableBytes(block);
    const std::int64_t now = liveHeap.fetch_add(bytes) + bytes;
    for (auto peak = peakHeap.load(); now > peak && !peakHeap.compare_exchange_weak(peak, now);) {
    }
    return block;
}

}   // namespace

extern "C" {
void* malloc(std::size_t size) noexcept { return counted(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) noexcept { return counted(__libc_calloc(count, size)); }
void* realloc(void* block, std::size_t size) noexcept {
    const std::int64_t before = usableBytes(block);
    void* const moved = __libc_realloc(block, size);
    if (moved == nullptr && size != 0) return nullptr;   // refused: the block stays as it was
    liveHeap.fetch_sub(before);                          // moved, grown in place, or freed by size 0
    return counted(moved);
}
void free(void* block) noexcept {
    liveHeap.fetch_sub(usableBytes(block));
    __libc_free(block);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
    return counted(__libc_memalign(alignment, size));
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept { return memalign(alignment, size); }
int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
    void* const block = memalign(alignment, size);
    if (block == nullptr) return ENOMEM;
    *out = block;
    return 0;
}
void* valloc(std::size_t size) noexcept { return counted(__libc_valloc(size)); }
void* pvalloc(std::size_t size) noexcept { return counted(__libc_pvalloc(size)); }
}

namespace {

constexpr std::int64_t kGroups = 1000;

// How the groups of a project are named: shared names "Item k", or a name for each object of its own.
struct Naming {
    std::int64_t groups;   // 0: one group per object
    const char* prefix;
    std::int64_t count(std::int64_t n) const { return groups == 0 ? n : groups; }
    std::string name(std::int64_t k) const { return prefix + std::to_string(k); }
};
constexpr Naming kShared{kGroups, "Item "};
constexpr Naming kOwn{0, "Type:"};

// The project as the host's project file gives it: `parts` object parts, "Imported" first and the
// replacement "Target" last with filler parts between, the n objects on the first with their IFC name
// (object i in group i modulo groups) and the IFC material parameter.
std::string projectText(std::int64_t n, const Naming& naming, std::int64_t parts) {
    std::ostringstream text;
    text << R"({"format": "skellow-host project", "version": 1, "name": "Bench",
  "library": {"parts": [
    {"type": 4, "name": "Imported", "uniqueId": "{B0000000-0000-4000-8000-000000000001}", "size": [0.5, 0.5],
     "parameters": [{"name": "A", "type": 2, "value": 0.5}, {"name": "B", "type": 2, "value": 0.5}]},)";
    char id[48];
    for (std::int64_t k = 0; k + 2 < parts; ++k) {
        std::snprintf(id, sizeof id, "B2000000-0000-4000-8000-%012llx", static_cast<unsigned long long>(k));
        text << R"(
    {"type": 4, "name": "Filler )"
             << k << R"(", "uniqueId": "{)" << id << R"(}-{)" << id << R"(}", "size": [0.5, 0.5]},)";
    }
    text << R"(
    {"type": 4, "name": "Target", "uniqueId": "{B0000000-0000-4000-8000-000000000002}", "size": [0.6, 0.4],
     "parameters": [{"name": "A", "type": 2, "value": 0.6}, {"name": "B", "type": 2, "value": 0.4}]}]},
  "elements": [)";
    char guid[48];
    const auto guidOf = [&](std::int64_t i) {
        std::snprintf(guid, sizeof guid, "B1000000-0000-4000-8000-%012llx",
                      static_cast<unsigned long long>(i));
        return guid;
    };
    for (std::int64_t i = 0; i < n; ++i) {
        text << (i == 0 ? "" : ",") << R"({"guid": ")" << guidOf(i)
             << R"(", "type": 6, "storey": 0, "layer": 1, "libraryIndex": 1, "position": [)" << (i % 300)
             << ", " << (i / 300) << R"(], "angle": 0.5, "size": [1.0, 1.0], "memo": {"parameters": [)"
             << R"({"name": "A", "type": 2, "value": 0.5}, {"name": "B", "type": 2, "value": 0.5},)"
             << R"({"name": "gs_ifc_buildingmaterial1", "type": 12, "value": "Oak"}]}})";
    }
    text << R"(], "ifc": {"elements": [)";
    for (std::int64_t i = 0; i < n; ++i)
        text << (i == 0 ? "" : ",") << R"({"guid": ")" << guidOf(i)
             << R"(", "attributes": [{"name": "Name", "type": "IfcLabel", "value": ")"
             << naming.name(i % naming.count(n)) << R"("}]})";
    text << "]}}";
    return text.str();
}

// Every group mapped to the replacement part in the IFC kind's "Default" configuration.
std::string tableText(std::int64_t groups, const Naming& naming) {
    std::ostringstream text;
    text << "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<objectMap>\n"
         << "\t<specificationList sourceName=\"Default\" objectType=\"IFC\">\n";
    for (std::int64_t k = 0; k < groups; ++k)
        text << "\t\t<objectSpecification>\n\t\t\t<originalName>" << naming.name(k)
             << "</originalName>\n\t\t\t<mappedName>Target</mappedName>\n"
             << "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n\t\t</objectSpecification>\n";
    text << "\t</specificationList>\n</objectMap>\n";
    return text.str();
}

// The bytes of the project's own element records: each element's record and its memo's parameters.
std::int64_t recordBytes(const host::SimProject& project) {
    std::int64_t bytes = 0;
    for (const host::SimElement& element : project.state.elements) {
        bytes += static_cast<std::int64_t>(element.record.size());
        if (element.memo.parameters)
            for (const host::SimParameter& parameter : *element.memo.parameters)
                bytes += static_cast<std::int64_t>(parameter.record.size() + parameter.arrayBytes.size());
    }
    return bytes;
}

void runSkellowFromIFC(benchmark::State& state, const Naming& naming, std::int64_t parts) {
    const std::int64_t n = state.range(0);
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("skellow-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home / "Application Data" / "Skellowing");
    std::ofstream(home / "Application Data" / "Skellowing" / "ObjectMap.xml")
        << tableText(naming.count(n), naming);
    host::setHomeDirectory(home.string());
    const std::string text = projectText(n, naming, parts);
    double callsPerElement = 0, memoryShare = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::int64_t projectBytes = 0;
        std::unique_ptr<host::SimulatedHost> host;
        {
            host = std::make_unique<host::SimulatedHost>();
            std::string error;
            if (!host->project().loadText(text, error) || !host->startAddon(SKELLOWING_MODULE_PATH, error)) {
                state.SkipWithError(error.c_str());
                break;
            }
            projectBytes = recordBytes(host->project());
        }
        host::clearRecordedAlerts();
        const auto choice = host->findMenuItem("Skellow From IFC");
        host->clearCalls();
        const std::int64_t loaded = liveHeap.load();
        peakHeap.store(loaded);
        state.ResumeTiming();
        host->selectMenuItem(*choice);
        state.PauseTiming();
        const std::string report = host::recordedAlerts().back().largeText;
        if (report != std::to_string(n) + " objects were successfully skellowed\n") {
            state.SkipWithError(report.c_str());
            break;
        }
        callsPerElement = static_cast<double>(host->calls().size()) / static_cast<double>(n);
        memoryShare = static_cast<double>(peakHeap.load() - loaded) / static_cast<double>(projectBytes);
        host.reset();
        state.ResumeTiming();
    }
    state.counters["calls/element"] = callsPerElement;
    state.counters["peak/project"] = memoryShare;
    state.SetItemsProcessed(n * static_cast<std::int64_t>(state.iterations()));
    state.SetComplexityN(n);
    host::setHomeDirectory("");
    std::filesystem::remove_all(home);
}

constexpr std::int64_t kSmallLibrary = 9;
constexpr std::int64_t kRealLibrary = 3000;

void SkellowFromIFC(benchmark::State& state) { runSkellowFromIFC(state, kShared, kSmallLibrary); }
void SkellowFromIFCUniqueNames(benchmark::State& state) { runSkellowFromIFC(state, kOwn, kSmallLibrary); }
void SkellowFromIFCUniqueNamesRealLibrary(benchmark::State& state) {
    runSkellowFromIFC(state, kOwn, kRealLibrary);
}

// Three runs of each size, reported with their mean and their minimum: one run of a size is at the mercy
// of whatever else the machine does meanwhile.
void threeRuns(benchmark::internal::Benchmark* bench) {
    bench->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics(
            "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->Complexity(benchmark::oN);
}
BENCHMARK(SkellowFromIFC)->Arg(1000)->Arg(10000)->Arg(100000)->Apply(threeRuns);
BENCHMARK(SkellowFromIFCUniqueNames)->Arg(10000)->Arg(100000)->Apply(threeRuns);
// Compared with the run above of as many objects: the library's size should not show.
BENCHMARK(SkellowFromIFCUniqueNamesRealLibrary)->Arg(10000)->Arg(100000)->Apply(threeRuns);

}   // namespace

BENCHMARK_MAIN();

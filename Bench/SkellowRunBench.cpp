// "Skellow From IFC" on generated projects of 1 000, 10 000 and 100 000 objects whose IFC names fall in
// 1 000 groups, and of 10 000 and 100 000 objects that each have a name of their own, as the IFC exports
// of authoring tools name them ("Type:<id>"); every group is mapped in the table to one replacement part
// and the question is answered OK. The time
// is of the whole command (search, table, question, replacement and report), without loading the
// project. Counters: the host calls per element, and the peak memory the run adds as a share of the
// memory the loaded project itself takes. A linear fit is the peer: the time per element should not grow.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
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

// The project as the host's project file gives it: two object parts, the n objects on the first with
// their IFC name (object i in group i modulo groups) and the IFC material parameter.
std::string projectText(std::int64_t n, const Naming& naming) {
    std::ostringstream text;
    text << R"({"format": "skellow-host project", "version": 1, "name": "Bench",
  "library": {"parts": [
    {"type": 4, "name": "Imported", "uniqueId": "{B0000000-0000-4000-8000-000000000001}", "size": [0.5, 0.5],
     "parameters": [{"name": "A", "type": 2, "value": 0.5}, {"name": "B", "type": 2, "value": 0.5}]},
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

// The resident set's peak since the last reset, and its reset (Linux: /proc/self/clear_refs).
std::int64_t peakResidentBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return 0;
}
std::int64_t residentBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return 0;
}
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

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

void runSkellowFromIFC(benchmark::State& state, const Naming& naming) {
    const std::int64_t n = state.range(0);
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("skellow-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home / "Application Data" / "Skellowing");
    std::ofstream(home / "Application Data" / "Skellowing" / "ObjectMap.xml")
        << tableText(naming.count(n), naming);
    host::setHomeDirectory(home.string());
    const std::string text = projectText(n, naming);
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
        const std::int64_t loaded = residentBytes();
        resetPeak();
        state.ResumeTiming();
        host->selectMenuItem(*choice);
        state.PauseTiming();
        const std::string report = host::recordedAlerts().back().largeText;
        if (report != std::to_string(n) + " objects were successfully skellowed\n") {
            state.SkipWithError(report.c_str());
            break;
        }
        callsPerElement = static_cast<double>(host->calls().size()) / static_cast<double>(n);
        memoryShare = static_cast<double>(peakResidentBytes() - loaded) / static_cast<double>(projectBytes);
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

void SkellowFromIFC(benchmark::State& state) { runSkellowFromIFC(state, kShared); }
void SkellowFromIFCUniqueNames(benchmark::State& state) { runSkellowFromIFC(state, kOwn); }

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

}   // namespace

BENCHMARK_MAIN();

// Placed objects of a simulated project of 1 000, 10 000 and 100 000 elements: loading each by its guid,
// walking the floor plan, and completing each (switching its library part, carrying its parameters
// across, and writing it back in one undoable command). Counters give the host calls per element, and
// one counter per host call (slot, four-character code) made at least once per element. A linear fit
// is the peer: the time per element should not grow with the project (100 000 within 12 times 10 000).
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <FourCC.h>
#include <HostRecords.h>
#include <HostTable.h>
#include <SimulatedHost.h>

#include "BenchProbe.h"
#include "Elements/Object.h"
#include "Environment/HostApi.h"
#include "Project/Drawing.h"
#include "Project/ElementLinkList.h"
#include "Project/HostProject.h"
#include "Project/Library.h"
#include "Project/Plan.h"
#include "Project/Project.h"

namespace {

// Two object parts that share "legs", and one placed chair that the project repeats n times.
constexpr const char* kProject = R"({
  "storeys": [{"index": 0, "name": "Ground", "level": 0, "height": 3}],
  "library": {"parts": [
    {"type": 4, "name": "Chair", "uniqueId": "{C0000000-0000-4000-8000-000000000001}", "size": [0.5, 0.6],
     "parameters": [{"name": "A", "type": 2, "value": 0.5}, {"name": "B", "type": 2, "value": 0.6},
                    {"name": "ZZYZX", "type": 2, "value": 0.9}, {"name": "legs", "type": 1, "value": 4},
                    {"name": "cushion", "type": 12, "value": "red"}]},
    {"type": 4, "name": "Table", "uniqueId": "{C0000000-0000-4000-8000-000000000002}", "size": [1.2, 0.8],
     "parameters": [{"name": "A", "type": 2, "value": 1.2}, {"name": "B", "type": 2, "value": 0.8},
                    {"name": "ZZYZX", "type": 2, "value": 0.75}, {"name": "legs", "type": 1, "value": 3},
                    {"name": "top", "type": 12, "value": "oak"}]}
  ]},
  "elements": [
    {"type": 6, "guid": "10000000-0000-4000-8000-000000000001", "storey": 0, "layer": 1,
     "libraryIndex": 1, "position": [2.0, 3.0], "angle": 0.5, "elevation": 0.25, "size": [1.0, 1.0],
     "memo": {"parameters": [{"name": "A", "type": 2, "value": 0.5}, {"name": "B", "type": 2, "value": 0.6},
                             {"name": "ZZYZX", "type": 2, "value": 1.1}, {"name": "legs", "type": 1, "value": 5},
                             {"name": "cushion", "type": 12, "value": "blue"}]}}
  ]
})";

// A host whose project holds n placed chairs, with the framework bound to it and the object kind filed.
struct Bound {
    explicit Bound(std::int64_t n) {
        host::SimProject& project = host.project();
        std::string error;
        if (!project.loadText(kProject, error)) throw std::runtime_error(error);
        const host::SimElement chair = project.state.elements[0];
        for (std::int64_t i = 1; i < n; ++i) {
            host::SimElement copy = chair;
            host::ElementHead head = copy.head();
            head.guid = host::toGuidRecord(host::newGuidBytes());
            copy.setHead(head);
            project.state.elements.push_back(copy);
        }
        for (const host::SimElement& element : project.state.elements)
            guids.push_back(tarnwick::Guid(host::toGuidRecord(element.guid())));
        bench::bindToProbe(host);
        tarnwick::Library::registerCreators();
        tarnwick::Drawing::registerCreators();
    }
    ~Bound() {
        tarnwick::Drawing::unregisterCreators();
        tarnwick::Library::unregisterCreators();
        tarnwick::HostProject::destroy();
        tarnwick::hostApi().unbind();
    }
    tarnwick::Plan& plan() { return tarnwick::HostProject::getProject()->getPlan(); }

    host::SimulatedHost host;
    std::vector<tarnwick::Guid> guids;
};

// The host calls of the last pass: in all, and each (slot, code) made at least once per element.
void countCalls(benchmark::State& state, const Bound& bound, std::int64_t n) {
    std::map<std::string, std::size_t> bySlot;
    for (const host::HostCall& call : bound.host.calls()) {
        std::string name = host::hostSlotName(call.slot);
        if (call.code != 0) name += " '" + host::fourccText(call.code) + "'";
        ++bySlot[name];
    }
    const auto perElement = [n](std::size_t count) {
        return static_cast<double>(count) / static_cast<double>(n);
    };
    state.counters["calls/element"] = perElement(bound.host.calls().size());
    for (const auto& [name, count] : bySlot)
        if (count >= static_cast<std::size_t>(n)) state.counters[name] = perElement(count);
    state.SetComplexityN(n);
}

void LoadElements(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    Bound bound(n);
    tarnwick::Plan& plan = bound.plan();
    std::int64_t loaded = 0;
    const auto pass = [&] {
        bound.host.clearCalls();
        for (const tarnwick::Guid& guid : bound.guids) {
            const auto element = plan.getElement(tarnwick::ElementLink(guid, &plan));
            if (dynamic_cast<tarnwick::Object*>(element.get()) != nullptr) ++loaded;
        }
    };
    pass();   // warm: the host's call log and the allocator have the room they need
    loaded = 0;
    for (auto _ : state) pass();
    if (loaded != n * static_cast<std::int64_t>(state.iterations())) state.SkipWithError("elements missed");
    countCalls(state, bound, n);
    state.SetItemsProcessed(loaded);
}

void WalkElements(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    Bound bound(n);
    tarnwick::Plan& plan = bound.plan();
    const tarnwick::Drawing::Filter every(false, false);
    std::int64_t walked = 0;
    const auto pass = [&] {
        bound.host.clearCalls();
        for (auto it = plan.cbegin(every); !it.atEnd(); ++it)
            if (dynamic_cast<const tarnwick::Object*>(&*it) != nullptr) ++walked;
    };
    pass();   // warm, as above
    walked = 0;
    for (auto _ : state) pass();
    if (walked != n * static_cast<std::int64_t>(state.iterations())) state.SkipWithError("elements missed");
    countCalls(state, bound, n);
    state.SetItemsProcessed(walked);
}

// Each pass switches every chair to the other part and writes it back, as a replacement run does.
void CompleteElements(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    Bound bound(n);
    tarnwick::Plan& plan = bound.plan();
    tarnwick::Library& library = *tarnwick::HostProject::getProject()->getLibrary();
    std::int32_t part = 1;
    std::int64_t completed = 0;
    const auto body = [&] {
        for (const tarnwick::Guid& guid : bound.guids) {
            const auto element = plan.getElement(tarnwick::ElementLink(guid, &plan));
            auto* object = dynamic_cast<tarnwick::Object*>(element.get());
            if (object != nullptr &&
                object->setComponent(tarnwick::ComponentLink(part, host::kLibraryObject, &library), false,
                                     true) &&
                plan.storeElement(*object, /*create=*/false, /*withMemo=*/true))
                ++completed;
        }
        return true;
    };
    struct Call {
        decltype(body)* run;
        static std::uint32_t call(void* data) { return (*static_cast<Call*>(data)->run)() ? 0 : 1; }
    } call{&body};
    const auto pass = [&] {
        part = part == 1 ? 2 : 1;
        bound.host.clearCalls();
        tarnwick::hostApi().call<host::HostSlot::undoableCommand>(u"Complete", &Call::call,
                                                                  static_cast<void*>(&call));
    };
    pass();   // warm, as above
    bound.host.project().clearUndo();
    completed = 0;
    for (auto _ : state) {
        pass();
        state.PauseTiming();
        bound.host.project().clearUndo();   // the step holds a whole copy of the project
        state.ResumeTiming();
    }
    if (completed != n * static_cast<std::int64_t>(state.iterations()))
        state.SkipWithError("elements missed");
    countCalls(state, bound, n);
    state.SetItemsProcessed(completed);
}

BENCHMARK(LoadElements)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(WalkElements)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(CompleteElements)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}   // namespace

BENCHMARK_MAIN();

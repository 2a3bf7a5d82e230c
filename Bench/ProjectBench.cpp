// A walk over the floor plan's elements of a simulated project of 1 000 and 100 000 elements: the time
// of a walk and, as counters, the host calls it makes per element, all of them and those the walk
// itself makes (the rest are the element's own reads of its memo and user data). A linear fit is the
// peer: the time per element should not grow with the project.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include <HostRecords.h>
#include <SimulatedHost.h>

#include "BenchProbe.h"
#include "Elements/Element.h"
#include "Environment/HostApi.h"
#include "Project/Drawing.h"
#include "Project/ElementLinkList.h"
#include "Project/ElementMemoStore.h"
#include "Project/HostProject.h"
#include "Project/Plan.h"
#include "Project/Project.h"

namespace {

// The least element there is: the host's record and nothing else.
class PlainElement : public tarnwick::Element {
public:
    PlainElement(const host::ElementRecord& record, const tarnwick::ElementLink& link)
        : Element(link), record_(std::make_unique<host::ElementRecord>(record)) {}
    PlainElement(const PlainElement& other)
        : Element(other), record_(std::make_unique<host::ElementRecord>(*other.record_)) {}
    static std::unique_ptr<tarnwick::Element> create(const host::ElementRecord& record,
                                                     tarnwick::ElementLink& link) {
        return std::make_unique<PlainElement>(record, link);
    }
    std::unique_ptr<tarnwick::Element> clone() const override {
        return std::make_unique<PlainElement>(*this);
    }
    std::unique_ptr<host::ElementRecord> getHostElement() const override {
        return std::make_unique<host::ElementRecord>(*record_);
    }
    std::unique_ptr<tarnwick::ElementMemoStore> getMemo(std::uint64_t& mask) const override {
        mask = 0;
        return nullptr;
    }
    const host::ElementHead& getTypeRecord() const override { return record_->head; }
    host::ElementHead& getMutableTypeRecord() override { return record_->head; }

private:
    std::unique_ptr<host::ElementRecord> record_;
};

// A host whose project holds n objects on two storeys, with the framework bound to it.
struct Bound {
    explicit Bound(std::int64_t n) {
        host::SimProject& project = host.project();
        project.state.storeys = {{0, 0, 0, 0.0, 3.0, "Ground"}, {1, 1, 0, 3.0, 3.0, "First"}};
        for (std::int64_t i = 0; i < n; ++i) {
            host::SimElement element;
            element.databaseType = host::kDatabasePlan;
            host::ElementHead head{};
            head.type = host::kElementObject;
            head.guid = host::toGuidRecord(host::newGuidBytes());
            head.storey = static_cast<std::int16_t>(i % 2);
            head.layer = 1;
            element.setHead(head);
            project.state.elements.push_back(element);
        }
        bench::bindToProbe(host);
        tarnwick::Drawing::registerCreator(host::kElementObject, &PlainElement::create, false);
    }
    ~Bound() {
        tarnwick::Drawing::unregisterCreators();
        tarnwick::HostProject::destroy();
        tarnwick::hostApi().unbind();
    }
    host::SimulatedHost host;
};

void WalkThePlan(benchmark::State& state) {
    const std::int64_t n = state.range(0);
    Bound bound(n);
    tarnwick::Plan& plan = tarnwick::HostProject::getProject()->getPlan();
    const tarnwick::Drawing::Filter every(false, false);
    std::int64_t walked = 0;
    for (auto _ : state) {
        bound.host.clearCalls();
        for (auto it = plan.cbegin(every); !it.atEnd(); ++it) ++walked;
    }
    if (walked != n * static_cast<std::int64_t>(state.iterations())) state.SkipWithError("elements missed");
    // Of one walk (the last): every host call, and those of the walk itself.
    const auto& calls = bound.host.calls();
    const std::set<host::HostSlot> own = {host::HostSlot::getElement,     host::HostSlot::filterElement,
                                          host::HostSlot::getElementList, host::HostSlot::database,
                                          host::HostSlot::environment,    host::HostSlot::getSelection};
    std::size_t walkCalls = 0;
    for (const host::HostCall& call : calls) walkCalls += own.count(call.slot);
    state.counters["calls/element"] = static_cast<double>(calls.size()) / static_cast<double>(n);
    state.counters["walk calls/element"] = static_cast<double>(walkCalls) / static_cast<double>(n);
    state.SetItemsProcessed(walked);
    state.SetComplexityN(n);
}
BENCHMARK(WalkThePlan)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}   // namespace

BENCHMARK_MAIN();

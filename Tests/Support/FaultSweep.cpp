#include "Support/FaultSweep.h"

#include <deque>

#include <gtest/gtest.h>

#include <FourCC.h>
#include <HostDialogs.h>
#include <HostMemory.h>
#include <HostTable.h>

namespace {

// "call 6 of 9: getModuleData" or "call 2 of 9: database 'GDBI'"
std::string describeCall(const host::HostCall& call, std::size_t n, std::size_t count) {
    std::string text =
        "call " + std::to_string(n) + " of " + std::to_string(count) + ": " + host::hostSlotName(call.slot);
    if (call.code != 0) text += " '" + host::fourccText(call.code) + "'";
    return text;
}

// Allocations asked for between two counts: each is made or refused, and the one made to fail is refused,
// so a run that reached the nth has asked for at least n, the last one of the run included.
std::uint64_t allocationsAsked(const host::MemoryStats& from, const host::MemoryStats& to) {
    return to.allocations - from.allocations + (to.refusedAllocations - from.refusedAllocations);
}

}   // namespace

void FaultSweep::putBack(const host::SimProject& project) {
    host_.clearFaults();
    host_.project() = project;
    host::clearRecordedAlerts();
    if (prepare) prepare();
}

FaultSweep::Outcome FaultSweep::runOnce(const std::function<host::Result()>& command) {
    host_.clearCalls();
    Outcome outcome;
    outcome.result = command();
    outcome.reported = outcome.result != host::kNoError;
    for (const host::AlertRecord& alert : host::recordedAlerts()) {
        if (reportsFailure ? reportsFailure(alert)
                           : alert.kind == host::kAlertError || alert.kind == host::kAlertWarning) {
            outcome.reported = true;
            outcome.alerts += " [" + alert.largeText + "]";
        }
    }
    return outcome;
}

std::size_t FaultSweep::run(const std::string& name, const std::function<host::Result()>& command) {
    SCOPED_TRACE("fault sweep of \"" + name + "\"");
    const host::SimProject before = host_.project();
    putBack(before);
    const host::MemoryStats cleanBefore = host::memoryStats();
    const Outcome clean = runOnce(command);
    const std::size_t calls = host_.calls().size();
    const std::uint64_t allocations = allocationsAsked(cleanBefore, host::memoryStats());
    const host::SimProject cleanProject = host_.project();
    if (calls > maxCalls) {
        ADD_FAILURE() << "the clean run made " << calls << " host calls, more than " << maxCalls;
        return 0;
    }

    // Checks one faulted run against the project before and the clean run's.
    const auto check = [&](const Outcome& faulted, const host::MemoryStats& memory, bool outcomeKnown) {
        const host::MemoryStats after = host::memoryStats();
        EXPECT_EQ(after.liveHandles, memory.liveHandles) << "host handles leaked";
        EXPECT_EQ(after.livePtrs, memory.livePtrs) << "host pointer blocks leaked";
        EXPECT_EQ(after.violations, memory.violations) << "disposed, foreign or unknown blocks were used";
        if (std::string why; alwaysHolds && !alwaysHolds(why)) ADD_FAILURE() << why;
        if (!outcomeKnown) return;
        const host::SimProject& project = host_.project();
        std::string why;
        if (consistent) {
            EXPECT_TRUE(consistent(before, cleanProject, project, why)) << why;
        } else {
            EXPECT_TRUE(project.state == before.state || project.state == cleanProject.state)
                << "the project is changed, but not as the run without a fault changed it";
        }
        // Success must mean the work was done: a run that reports nothing leaves the clean run's project.
        if (!clean.reported && !faulted.reported) {
            EXPECT_TRUE(project.state == cleanProject.state)
                << "the failure was reported as success (result " << faulted.result << ", no error alert"
                << faulted.alerts << ") but the project is not as the run without a fault left it";
        }
    };

    std::size_t runs = 0;
    // 1. The nth host call fails, for every n the run still reaches.
    for (std::size_t n = 1; n <= maxCalls; ++n) {
        putBack(before);
        const host::MemoryStats memory = host::memoryStats();
        host_.injectFault({}, n, fault);
        const Outcome faulted = runOnce(command);
        host_.clearFaults();
        const std::deque<host::HostCall> made = host_.calls();
        if (made.size() < n) break;   // the run no longer reaches call n: every call has failed once
        ++runs;
        SCOPED_TRACE(describeCall(made[n - 1], n, calls));
        check(faulted, memory, !(absorbed && absorbed(made[n - 1])));
    }
    // 2. The nth allocation from the host's memory manager fails (kErrMemFull, or bad_alloc).
    for (std::uint64_t n = 1; allocations > 0 && n <= maxCalls; ++n) {
        putBack(before);
        const host::MemoryStats memory = host::memoryStats();
        host::failAllocation(n);
        const Outcome faulted = runOnce(command);
        const bool reached = allocationsAsked(memory, host::memoryStats()) >= n;
        host::failAllocation(0);
        if (!reached) break;
        ++runs;
        SCOPED_TRACE("allocation " + std::to_string(n) + " of " + std::to_string(allocations));
        check(faulted, memory, !allocationsAbsorbed);
    }
    putBack(before);
    return runs;
}

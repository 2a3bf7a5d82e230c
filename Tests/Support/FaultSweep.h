// FaultSweep: runs a command once to count its host calls and allocations, then once per call with that
// call failing, then once per allocation with that allocation failing, and checks each faulted run: nothing
// crashed (the sanitizers watch), the project is unchanged or changed as the clean run changed it, a failure
// was not reported as success, and no host memory block was leaked or misused.
//
// Use it from any suite that drives a command through the simulated host (Tests/Environment for the
// framework's test add-on, Tests/EndToEnd for the product's menu commands):
//
//   FaultSweep sweep(*host_);                        // the host the add-on was started in
//   sweep.prepare = [&] { host::parseUserActions(script, "", error); };   // optional, before each run
//   const auto choice = host_->findMenuItem("Change Data");
//   sweep.run("Change Data", [&] { return host_->selectMenuItem(*choice); });
//
// Each faulted run starts from the project as it was before the clean run (state and view put back, the
// alerts cleared, then `prepare`), so the command must be one that can run again on the same project.
// A finding is a test failure naming the command and the call (its number, slot and four-character code)
// or allocation that failed.
// A run "reports failure" when the command returns non-zero or shows an error or warning alert; a run
// that reports nothing must leave the project as the clean run did. Set `consistent` when a command may
// legitimately leave other states (a partial replacement that its report lists, ...).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <HostDialogs.h>
#include <HostResult.h>
#include <SimProject.h>
#include <SimulatedHost.h>

class FaultSweep {
public:
    explicit FaultSweep(host::SimulatedHost& host) : host_(host) {}

    // What the failing call answers.
    host::Result fault = host::kErrGeneral;
    // Called before each run (the clean one too), after the project is put back: reload a script, ...
    std::function<void()> prepare;
    // Whether a faulted run's project is acceptable; `why` says what is wrong when not. Default: the
    // project is the one before, or the one the clean run left.
    std::function<bool(const host::SimProject& before, const host::SimProject& clean,
                       const host::SimProject& after, std::string& why)>
        consistent;
    // Whether an alert tells the user that something failed; when set it decides instead of the alert's
    // kind (a question shown as a warning is no failure; a notification that counts failures is one).
    std::function<bool(const host::AlertRecord& alert)> reportsFailure;
    // Calls whose failure the code under test is known to absorb into a different outcome: such a run is
    // still checked for crashes, leaks and alwaysHolds, but not for what else it left.
    std::function<bool(const host::HostCall& call)> absorbed;
    bool allocationsAbsorbed = false;   // likewise for every failed allocation
    // What must hold after every faulted run, whatever it reported, absorbed or not (a file that no fault
    // may leave half-written, ...); `why` says what is wrong when it does not.
    std::function<bool(std::string& why)> alwaysHolds;
    std::size_t maxCalls = 20000;   // calls (and allocations) swept at most; more calls are a finding

    // Runs the sweep; the command gives the host's result of one run. Returns the number of faulted
    // runs (0 when the clean run made no host call and no allocation).
    std::size_t run(const std::string& name, const std::function<host::Result()>& command);

private:
    struct Outcome {
        host::Result result = host::kNoError;
        bool reported = false;   // non-zero, or an error or warning alert
        std::string alerts;      // their texts, for messages
    };
    Outcome runOnce(const std::function<host::Result()>& command);
    void putBack(const host::SimProject& project);

    host::SimulatedHost& host_;
};

// How a benchmark reaches the simulated host: the probe module the tests start is started as an add-on,
// and the framework linked into the benchmark is bound to the probe's host context.
#pragma once

#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include <SimulatedHost.h>

#include "Environment/HostApi.h"

namespace bench {

// BENCH_PROBE is the probe module's path, defined for each benchmark that walks a project.
inline void bindToProbe(host::SimulatedHost& host) {
    std::string error;
    if (!host.startAddon(BENCH_PROBE, error)) throw std::runtime_error(error);
    void* module = ::dlopen(BENCH_PROBE, RTLD_NOW | RTLD_NOLOAD);
    const auto contextOf = reinterpret_cast<host::HostContext* (*)()>(::dlsym(module, "DrawingProbeContext"));
    tarnwick::hostApi().bind(&host.table(), contextOf());
    ::dlclose(module);
}

}   // namespace bench

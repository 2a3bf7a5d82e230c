#include "Environment/Framework.h"

#include <exception>
#include <vector>

#include <HostResult.h>

#include "Interface/InterfacePanel.h"
#include "Project/Drawing.h"
#include "Project/Library.h"
#include "Project/Specification.h"

namespace tarnwick {
namespace {

struct State {
    bool started = false;
    std::vector<FrameworkRegistry> made;   // copies, in order of creation
};

State& state() {
    static State instance;
    return instance;
}

void freeMade() {
    auto& made = state().made;
    while (!made.empty()) {
        const FrameworkRegistry registry = made.back();
        made.pop_back();
        if (registry.destroy) registry.destroy();
    }
}

std::uint32_t makeSourceCreators() {
    try {
        Library::registerCreators();
    } catch (const std::exception&) {   // out of memory
        return host::kErrMemFull;
    }
    return 0;
}

std::uint32_t makeAttributeCreators() {
    try {
        Specification::registerCreators();
    } catch (const std::exception&) {   // out of memory
        return host::kErrMemFull;
    }
    return 0;
}

std::uint32_t makeElementCreators() {
    try {
        Drawing::registerCreators();
    } catch (const std::exception&) {   // out of memory
        return host::kErrMemFull;
    }
    return 0;
}

}   // namespace

std::span<const FrameworkRegistry> frameworkRegistries() {
    // The panel registry, then the creator registries of component sources, attributes and elements
    // join here, in that order, with their subsystems.
    static constexpr FrameworkRegistry kRegistries[] = {
        {"panels", &InterfacePanel::createRegistry, &InterfacePanel::destroyRegistry},
        {"component sources", &makeSourceCreators, &Library::unregisterCreators},
        {"attributes", &makeAttributeCreators, &Specification::unregisterCreators},
        {"elements", &makeElementCreators, &Drawing::unregisterCreators},
    };
    return kRegistries;
}

std::uint32_t startFramework(std::span<const FrameworkRegistry> registries) {
    if (state().started) return host::kErrRefusedCommand;
    for (const FrameworkRegistry& registry : registries) {
        const std::uint32_t result = registry.create ? registry.create() : 0;
        if (result != 0) {
            freeMade();
            return result;
        }
        state().made.push_back(registry);
    }
    state().started = true;
    return 0;
}

std::uint32_t stopFramework() {
    freeMade();
    state().started = false;
    return 0;
}

}   // namespace tarnwick

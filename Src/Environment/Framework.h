// Framework: the framework's registries (panels, component sources, attributes, element creators) that
// live around the add-on object: created before it, torn down after it, in reverse order.
#pragma once

#include <cstdint>
#include <span>

namespace tarnwick {

// One registry of the framework: how to make it and how to free it. Each subsystem that brings a
// registry adds its entry to frameworkRegistries().
struct FrameworkRegistry {
    const char* name;            // for messages
    std::uint32_t (*create)();   // 0 = success, else a host error code
    void (*destroy)();
};

// The registries in order of creation.
std::span<const FrameworkRegistry> frameworkRegistries();

// Creates the registries in order. When one fails, those made before it are freed again in reverse
// order and its result is answered; 0 when all were made. A second start before stopFramework fails with
// host::kErrRefusedCommand.
std::uint32_t startFramework(std::span<const FrameworkRegistry> registries = frameworkRegistries());
// Frees what startFramework made, in reverse order; 0 (also when nothing was started).
std::uint32_t stopFramework();

}   // namespace tarnwick

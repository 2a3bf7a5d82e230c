#include "Environment/HostApi.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tarnwick {

HostApi::HostApi() { std::memset(&table_, 0, sizeof table_); }

void HostApi::bind(const host::HostFunctionTable* table, host::HostContext* context) {
    std::memset(&table_, 0, sizeof table_);
    context_ = context;
    bound_ = table != nullptr;
    if (!table) return;
    // An older host hands over a shorter table: the slots it lacks stay null. The header fields are
    // ours to fill, so a host that reports a size too small for them gives no slot at all.
    const std::size_t size = std::min<std::size_t>(table->size, sizeof table_);
    constexpr std::size_t kHeader = offsetof(host::HostFunctionTable, database);
    if (size > kHeader)
        std::memcpy(reinterpret_cast<char*>(&table_) + kHeader,
                    reinterpret_cast<const char*>(table) + kHeader, size - kHeader);
    table_.size = static_cast<std::uint32_t>(size);
    table_.slotCount = table->slotCount;
}

void HostApi::unbind() { bind(nullptr, nullptr); }

std::uint32_t HostApi::database(std::uint32_t code, void* p1, void* p2, void* p3) const {
    return call<host::HostSlot::database>(code, p1, p2, p3);
}

std::uint32_t HostApi::environment(std::uint32_t code, void* p1, void* p2, void* p3) const {
    return call<host::HostSlot::environment>(code, p1, p2, p3);
}

std::uint32_t HostApi::interface(std::uint32_t code, void* p1, void* p2, void* p3, void* p4, void* p5) const {
    return call<host::HostSlot::interface>(code, p1, p2, p3, p4, p5);
}

std::uint32_t HostApi::utilities(std::uint32_t code, void* p1, void* p2, void* p3) const {
    return call<host::HostSlot::utilities>(code, p1, p2, p3);
}

std::uint32_t HostApi::automation(std::uint32_t code, void* p1, void* p2, void* p3) const {
    return call<host::HostSlot::automation>(code, p1, p2, p3);
}

std::uint32_t HostApi::elementTools(std::uint32_t code, void* p1, void* p2, void* p3) const {
    return call<host::HostSlot::elementTools>(code, p1, p2, p3);
}

HostApi& hostApi() {
    static HostApi api;
    return api;
}

}   // namespace tarnwick

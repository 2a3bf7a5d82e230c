// HostApi: the host's function table as the add-on sees it, with the context the host handed over.
#pragma once

#include <cstdint>
#include <utility>

#include <FourCC.h>
#include <HostResult.h>
#include <HostTable.h>

namespace tarnwick {

// The function pointer type of each slot, and how to read it from a table; one specialisation per slot
// of the host's list, so a new slot needs no code here.
template <host::HostSlot S>
struct HostSlotFunction;

#define TARNWICK_SLOT_FUNCTION(slot, result, parameters, scope)                      \
    template <>                                                                      \
    struct HostSlotFunction<host::HostSlot::slot> {                                  \
        using Type = result(*) HOST_WITH_CONTEXT parameters;                         \
        static Type get(const host::HostFunctionTable& table) { return table.slot; } \
    };
HOST_FUNCTION_SLOTS(TARNWICK_SLOT_FUNCTION)
#undef TARNWICK_SLOT_FUNCTION

// One per module (see hostApi()). Until bind() runs every slot is empty. Copyable, so that a caller can
// keep a table of its own; the context stays the host's.
class HostApi {
public:
    HostApi();

    // Copies the table (at most its `size` bytes; slots past them stay empty) and keeps the context.
    // A null table leaves every slot empty.
    void bind(const host::HostFunctionTable* table, host::HostContext* context);
    void unbind();                            // every slot empty again, no context
    bool isBound() const { return bound_; }   // bind() ran with a table
    const host::HostFunctionTable& getTable() const { return table_; }
    host::HostContext* getContext() const { return context_; }

    // Calls the slot's host function with the context first. The only place that looks at a slot: an
    // empty one answers host::kErrMissingFunction without calling anything.
    template <host::HostSlot S, typename... Args>
    std::uint32_t call(Args&&... args) const {
        const auto function = HostSlotFunction<S>::get(table_);
        if (function == nullptr) return host::kErrMissingFunction;
        return function(context_, std::forward<Args>(args)...);
    }

    // --- Dispatchers by four-character code (fourcc("ISSG")); unused parameters are null ----------
    std::uint32_t database(std::uint32_t code, void* p1 = nullptr, void* p2 = nullptr,
                           void* p3 = nullptr) const;
    std::uint32_t environment(std::uint32_t code, void* p1 = nullptr, void* p2 = nullptr,
                              void* p3 = nullptr) const;
    std::uint32_t interface(std::uint32_t code, void* p1 = nullptr, void* p2 = nullptr, void* p3 = nullptr,
                            void* p4 = nullptr, void* p5 = nullptr) const;
    std::uint32_t utilities(std::uint32_t code, void* p1 = nullptr, void* p2 = nullptr,
                            void* p3 = nullptr) const;
    std::uint32_t automation(std::uint32_t code, void* p1 = nullptr, void* p2 = nullptr,
                             void* p3 = nullptr) const;
    std::uint32_t elementTools(std::uint32_t code, void* p1 = nullptr, void* p2 = nullptr,
                               void* p3 = nullptr) const;

private:
    host::HostFunctionTable table_;   // zeroed where the host's table gave nothing
    host::HostContext* context_ = nullptr;
    bool bound_ = false;
};

// The module's one table, bound by SetImportedFuncAddrs.
HostApi& hostApi();

using host::fourcc;

}   // namespace tarnwick

#include "HostMemory.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <unordered_map>

namespace host {
namespace {

constexpr unsigned char kFreshFill = 0xA5;                    // blocks not asked for cleared
constexpr std::size_t kMaxBlockSize = std::size_t{1} << 31;   // larger requests fail as "memory full"
// Disposed master pointers are kept (not freed) this long, so a handle disposed a moment ago is
// still recognised as disposed instead of being mistaken for a new handle at the same address.
constexpr std::size_t kHandleQuarantine = 4096;

struct State {
    std::unordered_map<Handle, std::size_t> handles;   // live handle -> size of its block
    std::unordered_map<Ptr, std::size_t> ptrs;         // live pointer block -> its size
    std::deque<Handle> quarantine;                     // disposed master pointers, oldest first
    std::size_t violations = 0;
    std::uint64_t allocations = 0;
    std::uint64_t failCountdown = 0;   // 0: no single failure pending
    bool failEvery = false;
};

// Never destroyed: add-on modules and the framework's own statics may dispose blocks from their
// static destructors, which can run after this file's statics would have been torn down.
State& state() {
    static State* const instance = new State;
    return *instance;
}

// Every allocation goes through here, so the fault injection sees them all.
bool allocationMayProceed(std::size_t size) {
    State& s = state();
    if (s.failEvery) return false;
    if (s.failCountdown > 0 && --s.failCountdown == 0) return false;
    return size <= kMaxBlockSize;
}

// A fresh block of `size` bytes (at least one, so even an empty pointer block has an address).
char* allocateBlock(std::size_t size, bool clear) {
    char* const block = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
    if (block && size > 0) std::memset(block, clear ? 0 : kFreshFill, size);
    return block;
}

void quarantineHandle(Handle handle) {
    State& s = state();
    s.quarantine.push_back(handle);
    if (s.quarantine.size() > kHandleQuarantine) {
        delete s.quarantine.front();
        s.quarantine.pop_front();
    }
}

Result violation() {
    ++state().violations;
    return kErrBadHandle;
}

}   // namespace

// --- Handles ---------------------------------------------------------------------------------------
Handle newHandle(std::size_t size, bool clear) {
    if (!allocationMayProceed(size)) return nullptr;
    char* block = nullptr;
    if (size > 0 && !(block = allocateBlock(size, clear))) return nullptr;
    Handle const handle = new char*(block);
    State& s = state();
    s.handles.emplace(handle, size);
    ++s.allocations;
    return handle;
}

// The block always moves (even when shrinking), so code that kept *handle across a resize shows up.
Result setHandleSize(Handle handle, std::size_t size) {
    State& s = state();
    const auto found = s.handles.find(handle);
    if (found == s.handles.end()) return violation();
    const std::size_t oldSize = found->second;
    if (size == oldSize) return kNoError;
    char* block = nullptr;
    if (size > 0) {
        if (size > oldSize && !allocationMayProceed(size)) return kErrMemFull;
        if (!(block = allocateBlock(size, /*clear=*/false))) return kErrMemFull;
        if (oldSize > 0) std::memcpy(block, *handle, size < oldSize ? size : oldSize);
    }
    std::free(*handle);
    *handle = block;
    found->second = size;
    if (size > oldSize) ++s.allocations;
    return kNoError;
}

std::size_t getHandleSize(Handle handle) {
    if (!handle) return 0;
    const auto found = state().handles.find(handle);
    if (found == state().handles.end()) {
        violation();
        return 0;
    }
    return found->second;
}

Result disposeHandle(Handle handle) {
    if (!handle) return kNoError;
    State& s = state();
    const auto found = s.handles.find(handle);
    if (found == s.handles.end()) return violation();
    s.handles.erase(found);
    std::free(*handle);
    *handle = nullptr;   // a stale dereference then fails at once instead of reading freed memory
    quarantineHandle(handle);
    return kNoError;
}

bool isLiveHandle(Handle handle) { return handle && state().handles.count(handle) > 0; }

// --- Pointer blocks --------------------------------------------------------------------------------
Ptr newPtr(std::size_t size, bool clear) {
    if (!allocationMayProceed(size)) return nullptr;
    Ptr const block = allocateBlock(size, clear);
    if (!block) return nullptr;
    State& s = state();
    s.ptrs.emplace(block, size);
    ++s.allocations;
    return block;
}

std::size_t getPtrSize(Ptr ptr) {
    if (!ptr) return 0;
    const auto found = state().ptrs.find(ptr);
    if (found == state().ptrs.end()) {
        violation();
        return 0;
    }
    return found->second;
}

Result disposePtr(Ptr ptr) {
    if (!ptr) return kNoError;
    State& s = state();
    const auto found = s.ptrs.find(ptr);
    if (found == s.ptrs.end()) return violation();
    s.ptrs.erase(found);
    std::free(ptr);
    return kNoError;
}

bool isLivePtr(Ptr ptr) { return ptr && state().ptrs.count(ptr) > 0; }

// --- Diagnostics and fault injection ---------------------------------------------------------------
MemoryStats memoryStats() {
    const State& s = state();
    MemoryStats stats;
    stats.liveHandles = s.handles.size();
    stats.livePtrs = s.ptrs.size();
    stats.violations = s.violations;
    stats.allocations = s.allocations;
    return stats;
}

void resetMemoryStats() {
    state().violations = 0;
    state().allocations = 0;
}

void failAllocation(std::uint64_t nth) { state().failCountdown = nth; }

void failEveryAllocation(bool on) { state().failEvery = on; }

}   // namespace host

#include "HostMemory.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
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
    std::unordered_map<Ptr, std::size_t> rawBlocks;    // live block of the add-on's allocator -> its size
    std::deque<Handle> quarantine;                     // disposed master pointers, oldest first
    std::size_t violations = 0;
    std::uint64_t allocations = 0;
    std::uint64_t failCountdown = 0;   // 0: no single failure pending
    bool failEvery = false;
    // The add-on's pool allocates on any thread; everything above is shared, so every call holds this.
    std::mutex mutex;
};

// Never destroyed: add-on modules and the framework's own statics may dispose blocks from their
// static destructors, which can run after this file's statics would have been torn down.
State& state() {
    static State* const instance = new State;
    return *instance;
}

std::unique_lock<std::mutex> locked() { return std::unique_lock<std::mutex>(state().mutex); }

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
    const auto lock = locked();
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
    const auto lock = locked();
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
    const auto lock = locked();
    if (!handle) return 0;
    const auto found = state().handles.find(handle);
    if (found == state().handles.end()) {
        violation();
        return 0;
    }
    return found->second;
}

Result disposeHandle(Handle handle) {
    const auto lock = locked();
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

bool isLiveHandle(Handle handle) {
    const auto lock = locked();
    return handle && state().handles.count(handle) > 0;
}

// --- Pointer blocks --------------------------------------------------------------------------------
Ptr newPtr(std::size_t size, bool clear) {
    const auto lock = locked();
    if (!allocationMayProceed(size)) return nullptr;
    Ptr const block = allocateBlock(size, clear);
    if (!block) return nullptr;
    State& s = state();
    s.ptrs.emplace(block, size);
    ++s.allocations;
    return block;
}

std::size_t getPtrSize(Ptr ptr) {
    const auto lock = locked();
    if (!ptr) return 0;
    const auto found = state().ptrs.find(ptr);
    if (found == state().ptrs.end()) {
        violation();
        return 0;
    }
    return found->second;
}

Result disposePtr(Ptr ptr) {
    const auto lock = locked();
    if (!ptr) return kNoError;
    State& s = state();
    const auto found = s.ptrs.find(ptr);
    if (found == s.ptrs.end()) return violation();
    s.ptrs.erase(found);
    std::free(ptr);
    return kNoError;
}

bool isLivePtr(Ptr ptr) {
    const auto lock = locked();
    return ptr && state().ptrs.count(ptr) > 0;
}

// --- Blocks of the add-on's own allocator ---------------------------------------------------------
Ptr newRawBlock(std::size_t size, std::size_t alignment) {
    const auto lock = locked();
    if (!allocationMayProceed(size)) return nullptr;
    const std::size_t bytes = size == 0 ? 1 : size;
    Ptr const block =
        static_cast<Ptr>(alignment <= alignof(std::max_align_t)
                             ? std::malloc(bytes)
                             : std::aligned_alloc(alignment, (bytes + alignment - 1) & ~(alignment - 1)));
    if (!block) return nullptr;
    State& s = state();
    s.rawBlocks.emplace(block, size);
    ++s.allocations;
    return block;
}

Ptr resizeRawBlock(Ptr block, std::size_t size) {
    const auto lock = locked();
    State& s = state();
    const auto found = s.rawBlocks.find(block);
    if (found == s.rawBlocks.end()) {
        violation();
        return nullptr;
    }
    const bool grows = size > found->second;
    if (grows && !allocationMayProceed(size)) return nullptr;
    Ptr const moved = static_cast<Ptr>(std::realloc(block, size == 0 ? 1 : size));
    if (!moved) return nullptr;
    s.rawBlocks.erase(found);
    s.rawBlocks.emplace(moved, size);
    if (grows) ++s.allocations;
    return moved;
}

Result disposeRawBlock(Ptr block) {
    if (!block) return kNoError;
    const auto lock = locked();
    State& s = state();
    const auto found = s.rawBlocks.find(block);
    if (found == s.rawBlocks.end()) return violation();
    s.rawBlocks.erase(found);
    std::free(block);
    return kNoError;
}

// --- Diagnostics and fault injection ---------------------------------------------------------------
MemoryStats memoryStats() {
    const auto lock = locked();
    const State& s = state();
    MemoryStats stats;
    stats.liveHandles = s.handles.size();
    stats.livePtrs = s.ptrs.size();
    stats.liveRawBlocks = s.rawBlocks.size();
    stats.violations = s.violations;
    stats.allocations = s.allocations;
    return stats;
}

void resetMemoryStats() {
    const auto lock = locked();
    state().violations = 0;
    state().allocations = 0;
}

void failAllocation(std::uint64_t nth) {
    const auto lock = locked();
    state().failCountdown = nth;
}

void failEveryAllocation(bool on) {
    const auto lock = locked();
    state().failEvery = on;
}

}   // namespace host

#include "HostMemory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace host {
namespace {

constexpr unsigned char kFreshFill = 0xA5;                    // blocks not asked for cleared
constexpr std::size_t kMaxBlockSize = std::size_t{1} << 31;   // larger requests fail as "memory full"
// Disposed master pointers wait this long before they are made again, so a handle disposed a moment
// ago is still recognised as disposed instead of being mistaken for a new handle at the same address.
constexpr std::size_t kHandleQuarantine = 4096;
constexpr std::size_t kSlabSlots = 4096;   // master pointers made at a time

// A handle is the address of a slot's `block`. Slots live in slabs that are never freed, so any
// address can be checked against them without being dereferenced.
struct HandleSlot {
    char* block = nullptr;   // first: the handle points here
    std::size_t size = 0;
    bool live = false;
};
static_assert(offsetof(HandleSlot, block) == 0);

struct State {
    std::vector<std::unique_ptr<HandleSlot[]>> slabs;   // in order of address
    std::deque<HandleSlot*> disposed;                   // slots free for reuse, oldest first
    std::size_t liveHandles = 0;
    std::unordered_map<Ptr, std::size_t> ptrs;        // live pointer block -> its size
    std::unordered_map<Ptr, std::size_t> rawBlocks;   // live block of the add-on's allocator -> its size
    std::size_t violations = 0;
    std::uint64_t allocations = 0;
    std::uint64_t refusedAllocations = 0;
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
    const bool refused =
        s.failEvery || (s.failCountdown > 0 && --s.failCountdown == 0) || size > kMaxBlockSize;
    if (refused) ++s.refusedAllocations;
    return !refused;
}

// A fresh block of `size` bytes (at least one, so even an empty pointer block has an address): zeroed,
// filled so that reading before writing shows, or left as it is for the host's own code that writes
// every byte at once.
enum class Fill { zero, fresh, none };
char* allocateBlock(std::size_t size, Fill fill) {
    char* const block = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
    if (block && size > 0 && fill != Fill::none)
        std::memset(block, fill == Fill::zero ? 0 : kFreshFill, size);
    return block;
}
Fill fillOf(bool clear) { return clear ? Fill::zero : Fill::fresh; }

// The live slot of a handle; null for an address that is no slot of ours or a disposed one.
HandleSlot* liveSlot(Handle handle) {
    const auto& slabs = state().slabs;
    const auto address = reinterpret_cast<std::uintptr_t>(handle);
    const auto after = std::upper_bound(
        slabs.begin(), slabs.end(), address,
        [](std::uintptr_t a, const auto& slab) { return a < reinterpret_cast<std::uintptr_t>(slab.get()); });
    if (after == slabs.begin()) return nullptr;
    const auto base = reinterpret_cast<std::uintptr_t>((after - 1)->get());
    const std::uintptr_t offset = address - base;
    if (offset >= kSlabSlots * sizeof(HandleSlot) || offset % sizeof(HandleSlot) != 0) return nullptr;
    HandleSlot* const slot = (after - 1)->get() + offset / sizeof(HandleSlot);
    return slot->live ? slot : nullptr;
}

// A slot for a new handle: the oldest disposed one once enough wait behind it, else a fresh slab's.
HandleSlot* takeSlot() {
    State& s = state();
    if (s.disposed.size() <= kHandleQuarantine) {
        auto slab = std::make_unique<HandleSlot[]>(kSlabSlots);
        for (std::size_t i = 0; i < kSlabSlots; ++i) s.disposed.push_front(&slab[kSlabSlots - 1 - i]);
        const auto at = std::upper_bound(s.slabs.begin(), s.slabs.end(), slab,
                                         [](const auto& a, const auto& b) { return a.get() < b.get(); });
        s.slabs.insert(at, std::move(slab));
    }
    HandleSlot* const slot = s.disposed.front();
    s.disposed.pop_front();
    return slot;
}

Result violation() {
    ++state().violations;
    return kErrBadHandle;
}

Handle makeHandle(std::size_t size, Fill fill) {
    const auto lock = locked();
    if (!allocationMayProceed(size)) return nullptr;
    char* block = nullptr;
    if (size > 0 && !(block = allocateBlock(size, fill))) return nullptr;
    HandleSlot* const slot = takeSlot();
    *slot = {block, size, true};
    State& s = state();
    ++s.liveHandles;
    ++s.allocations;
    return &slot->block;
}

}   // namespace

// --- Handles ---------------------------------------------------------------------------------------
Handle newHandle(std::size_t size, bool clear) { return makeHandle(size, fillOf(clear)); }
Handle newUnfilledHandle(std::size_t size) { return makeHandle(size, Fill::none); }

// The block always moves (even when shrinking), so code that kept *handle across a resize shows up.
Result setHandleSize(Handle handle, std::size_t size) {
    const auto lock = locked();
    State& s = state();
    HandleSlot* const slot = liveSlot(handle);
    if (!slot) return violation();
    const std::size_t oldSize = slot->size;
    if (size == oldSize) return kNoError;
    char* block = nullptr;
    if (size > 0) {
        if (size > oldSize && !allocationMayProceed(size)) return kErrMemFull;
        if (!(block = allocateBlock(size, Fill::fresh))) return kErrMemFull;
        if (oldSize > 0) std::memcpy(block, *handle, size < oldSize ? size : oldSize);
    }
    std::free(*handle);
    *handle = block;
    slot->size = size;
    if (size > oldSize) ++s.allocations;
    return kNoError;
}

std::size_t getHandleSize(Handle handle) {
    if (!handle) return 0;
    const auto lock = locked();
    const HandleSlot* const slot = liveSlot(handle);
    if (!slot) {
        violation();
        return 0;
    }
    return slot->size;
}

Result disposeHandle(Handle handle) {
    if (!handle) return kNoError;
    const auto lock = locked();
    State& s = state();
    HandleSlot* const slot = liveSlot(handle);
    if (!slot) return violation();
    std::free(slot->block);
    *slot = {};   // a stale dereference then fails at once instead of reading freed memory
    s.disposed.push_back(slot);
    --s.liveHandles;
    return kNoError;
}

bool isLiveHandle(Handle handle) {
    if (!handle) return false;
    const auto lock = locked();
    return liveSlot(handle) != nullptr;
}

// --- Pointer blocks --------------------------------------------------------------------------------
Ptr newPtr(std::size_t size, bool clear) {
    const auto lock = locked();
    if (!allocationMayProceed(size)) return nullptr;
    Ptr const block = allocateBlock(size, fillOf(clear));
    if (!block) return nullptr;
    State& s = state();
    s.ptrs.emplace(block, size);
    ++s.allocations;
    return block;
}

std::size_t getPtrSize(Ptr ptr) {
    if (!ptr) return 0;
    const auto lock = locked();
    const auto found = state().ptrs.find(ptr);
    if (found == state().ptrs.end()) {
        violation();
        return 0;
    }
    return found->second;
}

Result disposePtr(Ptr ptr) {
    if (!ptr) return kNoError;
    const auto lock = locked();
    State& s = state();
    const auto found = s.ptrs.find(ptr);
    if (found == s.ptrs.end()) return violation();
    s.ptrs.erase(found);
    std::free(ptr);
    return kNoError;
}

bool isLivePtr(Ptr ptr) {
    if (!ptr) return false;
    const auto lock = locked();
    return state().ptrs.count(ptr) > 0;
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
    stats.liveHandles = s.liveHandles;
    stats.livePtrs = s.ptrs.size();
    stats.liveRawBlocks = s.rawBlocks.size();
    stats.violations = s.violations;
    stats.allocations = s.allocations;
    stats.refusedAllocations = s.refusedAllocations;
    return stats;
}

void resetMemoryStats() {
    const auto lock = locked();
    state().violations = 0;
    state().allocations = 0;
    state().refusedAllocations = 0;
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

#include "Foundation/BlockPool.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include <HostMemory.h>
#include <sanitizer/asan_interface.h>

namespace tarnwick {
namespace {

constexpr std::size_t kSizeClasses = BlockPool::kLargestKept / BlockPool::kGrain;

constexpr std::size_t blockBytes(std::size_t sizeClass) { return (sizeClass + 1) * BlockPool::kGrain; }

// The blocks a size class may keep: its share of kKeptBytes.
constexpr std::uint32_t keptBlocks(std::size_t sizeClass) {
    return static_cast<std::uint32_t>(BlockPool::kKeptBytes / blockBytes(sizeClass));
}

// Blocks are cut one after another from slabs, so that a tree read at once lies in memory in the order
// it is walked, and the host sees a few large blocks instead of a small one per object. A slab is
// aligned to its size, which finds it from any of its blocks; it goes back to the host when the last
// of its blocks comes back to it (a block kept on a free list still counts as in use).
constexpr std::size_t kSlabBytes = 64 * 1024;
constexpr std::uint32_t kCutting = 1u << 30;   // added to the count while a thread still cuts the slab

struct Slab {
    std::atomic<std::uint32_t> inUse;   // blocks not back, plus kCutting while it is being cut
};
static_assert(sizeof(Slab) <= BlockPool::kGrain);

Slab* slabOf(void* block) {
    return reinterpret_cast<Slab*>(reinterpret_cast<std::uintptr_t>(block) & ~(kSlabBytes - 1));
}

void dropFromSlab(Slab* slab, std::uint32_t count) {
    if (slab->inUse.fetch_sub(count, std::memory_order_acq_rel) != count) return;
    slab->~Slab();
    ASAN_UNPOISON_MEMORY_REGION(slab, kSlabBytes);
    host::disposeRawBlock(reinterpret_cast<host::Ptr>(slab));
}

struct FreeBlock {
    FreeBlock* next;
};

// Freed blocks by size class and the slab being cut. Trivially destructible, so it stays usable while
// the thread's other thread_local objects are destroyed; BlockDrain gives everything back at thread exit.
struct BlockCache {
    FreeBlock* heads[kSizeClasses];
    std::uint32_t room[kSizeClasses];   // blocks the class may still keep; 0 once the thread is ending
    char* cut;                          // the next block of the slab being cut; null before the first
    char* cutEnd;
    std::uint32_t cutBlocks;   // blocks cut from it so far
    // Blocks back for good but not yet taken off their slab's count: a tree is freed in the order it
    // was cut, so most blocks in a row share a slab, and one atomic step takes off a whole run.
    Slab* returning;
    std::uint32_t returned;
    bool ready;    // room is set and BlockDrain is made for this thread
    bool ending;   // BlockDrain has run: every further block has a slab of its own
};
thread_local BlockCache cache{};

void finishReturning() {
    if (!cache.returning) return;
    dropFromSlab(cache.returning, cache.returned);
    cache.returning = nullptr;
    cache.returned = 0;
}

// One block goes back to its slab for good (it was poisoned as it came). A run is settled by the next
// block of another slab or by BlockDrain; without a drain to come (none made, or it has run), each
// block is settled at once.
void returnToSlab(void* block, std::size_t sizeClass) {
    ASAN_POISON_MEMORY_REGION(block, blockBytes(sizeClass));
    Slab* const slab = slabOf(block);
    if (slab == cache.returning) {
        ++cache.returned;
        return;
    }
    finishReturning();
    if (!cache.ready || cache.ending) {
        dropFromSlab(slab, 1);
        return;
    }
    cache.returning = slab;
    cache.returned = 1;
}

void finishCutting() {
    if (!cache.cut) return;
    Slab* const slab = slabOf(cache.cut - 1);   // cut - 1: cut may stand at the slab's end
    dropFromSlab(slab, kCutting - cache.cutBlocks);
    cache.cut = cache.cutEnd = nullptr;
}

struct BlockDrain {
    ~BlockDrain() {
        for (std::size_t sizeClass = 0; sizeClass < kSizeClasses; ++sizeClass) {
            while (FreeBlock* const block = cache.heads[sizeClass]) {
                ASAN_UNPOISON_MEMORY_REGION(block, sizeof(FreeBlock));
                cache.heads[sizeClass] = block->next;
                returnToSlab(block, sizeClass);
            }
            cache.room[sizeClass] = 0;   // blocks freed later in this thread's exit go to their slabs
        }
        finishCutting();
        finishReturning();
        cache.ending = true;
    }
    bool registered = true;   // read once to construct the drain in this thread
};
thread_local BlockDrain drain;

// Neither allocate nor release sees a size of 0: it wraps round to a class past the last.
std::size_t sizeClassOf(std::size_t size) { return (size - 1) / BlockPool::kGrain; }

void keep(FreeBlock* block, std::size_t sizeClass) {
    block->next = cache.heads[sizeClass];
    cache.heads[sizeClass] = block;
    --cache.room[sizeClass];
    ASAN_POISON_MEMORY_REGION(block, blockBytes(sizeClass));   // a stale object's use is still caught
}

void makeReady() {
    if (cache.ready || !drain.registered) return;
    for (std::size_t each = 0; each < kSizeClasses; ++each) cache.room[each] = keptBlocks(each);
    cache.ready = true;
}

// The current slab is used up (or there is none): a new one. While the thread ends, a block gets a
// slab of its own, which goes back to the host with the block.
[[gnu::noinline]] void* cutFromNewSlab(std::size_t bytes) {
    makeReady();
    finishCutting();
    char* const memory = host::newRawBlock(kSlabBytes, kSlabBytes);
    if (!memory) throw std::bad_alloc();
    ASAN_POISON_MEMORY_REGION(memory, kSlabBytes);
    ASAN_UNPOISON_MEMORY_REGION(memory, sizeof(Slab));
    char* const block = memory + BlockPool::kGrain;
    ASAN_UNPOISON_MEMORY_REGION(block, bytes);
    if (cache.ending) {
        new (memory) Slab{1};
        return block;
    }
    new (memory) Slab{kCutting};
    cache.cut = block + bytes;
    cache.cutEnd = memory + kSlabBytes;
    cache.cutBlocks = 1;
    return block;
}

// Null, a block too large or beyond the bound, or the thread's first freed block.
[[gnu::noinline]] void releaseRarely(void* block, std::size_t sizeClass) noexcept {
    if (!block) return;
    if (sizeClass >= kSizeClasses) {
        host::disposeRawBlock(static_cast<host::Ptr>(block));
        return;
    }
    makeReady();
    if (cache.room[sizeClass] == 0) {
        returnToSlab(block, sizeClass);
        return;
    }
    keep(static_cast<FreeBlock*>(block), sizeClass);
}

}   // namespace

void* BlockPool::allocate(std::size_t size) {
    const std::size_t sizeClass = sizeClassOf(size);
    if (sizeClass >= kSizeClasses) {
        void* const block = host::newRawBlock(size, kGrain);
        if (!block) throw std::bad_alloc();
        return block;
    }
    if (FreeBlock* const block = cache.heads[sizeClass]) {
        ASAN_UNPOISON_MEMORY_REGION(block, blockBytes(sizeClass));
        cache.heads[sizeClass] = block->next;
        ++cache.room[sizeClass];
        // The next block of the list may be far from this one and cold: its link is fetched now, while
        // the caller fills this block, rather than when the next allocation waits for it.
        __builtin_prefetch(block->next, /*write=*/1);
        return block;
    }
    const std::size_t bytes = blockBytes(sizeClass);
    if (static_cast<std::size_t>(cache.cutEnd - cache.cut) < bytes) return cutFromNewSlab(bytes);
    char* const block = cache.cut;
    ASAN_UNPOISON_MEMORY_REGION(block, bytes);
    cache.cut += bytes;
    ++cache.cutBlocks;
    return block;
}

void BlockPool::releaseIdle() noexcept {
    for (std::size_t sizeClass = 0; sizeClass < kSizeClasses; ++sizeClass) {
        while (FreeBlock* const block = cache.heads[sizeClass]) {
            ASAN_UNPOISON_MEMORY_REGION(block, sizeof(FreeBlock));
            cache.heads[sizeClass] = block->next;
            ++cache.room[sizeClass];
            returnToSlab(block, sizeClass);
        }
    }
    finishCutting();
    finishReturning();
}

void BlockPool::release(void* block, std::size_t size) noexcept {
    const std::size_t sizeClass = sizeClassOf(size);
    // The usual case, a block kept on a thread whose drain is made, needs no saved registers.
    if (block && sizeClass < kSizeClasses && cache.room[sizeClass] != 0) {
        keep(static_cast<FreeBlock*>(block), sizeClass);
        return;
    }
    releaseRarely(block, sizeClass);
}

void* BlockPool::reallocate(void* block, std::size_t size, std::size_t newSize) {
    if (sizeClassOf(size) >= kSizeClasses && sizeClassOf(newSize) >= kSizeClasses) {
        void* const moved = host::resizeRawBlock(static_cast<host::Ptr>(block), newSize);
        if (!moved) throw std::bad_alloc();
        return moved;
    }
    void* const moved = allocate(newSize);
    std::memcpy(moved, block, std::min(size, newSize));
    release(block, size);
    return moved;
}

}   // namespace tarnwick

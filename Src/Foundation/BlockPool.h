// BlockPool: small blocks cut from slabs and kept on per-thread free lists, for the objects a read makes
// by the thousand and drops all at once (XML proxies, one per child, and records, one per element).
#pragma once

#include <cstddef>

namespace tarnwick {

// Blocks of up to kLargestKept bytes are cut one after another from slabs of 64 KiB; larger ones are
// blocks of their own, which can grow in place. Slabs and large blocks come from the host's memory
// manager (its raw blocks), so that its allocation faults reach everything made here. A freed block waits on
// its thread's list for the next block of its size class, up to kKeptBytes a class; past that it goes back to
// its slab, and a slab goes back to the host once all its blocks have. A thread settles a run of such blocks
// from one slab at once: the last slab it gave blocks back to waits for a block of another slab, or for the
// thread's end. A block may be freed on any thread: it then joins that thread's list. What a thread still
// keeps when it ends goes back to the slabs. Idle blocks are poisoned under ASan.
class BlockPool {
public:
    static constexpr std::size_t kGrain = 16;              // block sizes are multiples of this
    static constexpr std::size_t kLargestKept = 512;       // larger blocks are the host's own
    static constexpr std::size_t kKeptBytes = 256 << 10;   // per size class and thread

    static void* allocate(std::size_t size);                       // size > 0; throws std::bad_alloc
    static void release(void* block, std::size_t size) noexcept;   // size as allocated; null is ignored
    // block (size bytes, as allocated) moved to a block of newSize bytes, which it returns, keeping the
    // bytes both hold. A large block grows or shrinks in place where the host can. Throws std::bad_alloc,
    // and block stays as it was, when there is no memory.
    static void* reallocate(void* block, std::size_t size, std::size_t newSize);
    // Gives this thread's idle blocks back to their slabs, and the slab it cuts, so that every slab no
    // block is in use from goes back to the host (tests count the host's blocks after it).
    static void releaseIdle() noexcept;
};

}   // namespace tarnwick

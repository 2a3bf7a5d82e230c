// The host's memory manager: relocatable handles and fixed pointer blocks. Every live block is
// registered, so a disposed, foreign or unknown one is answered with an error and counted as a
// violation instead of crashing; tests read the counters and can make the Nth allocation fail.
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostResult.h"

namespace host {

using Handle = char**;   // *handle is the block; null for a zero-size handle that holds nothing
using Ptr = char*;

// Blocks not asked for cleared are filled with 0xA5, so code that reads before writing shows it.
// A request above 2 GiB fails like an exhausted memory (a negative size cast to size_t lands there).
Handle newHandle(std::size_t size, bool clear);   // null when the allocation fails
// The same, neither cleared nor filled: for the host's own code, which writes every byte at once.
Handle newUnfilledHandle(std::size_t size);
// Keeps the smaller of old and new contents; the handle stays, its block (*handle) moves on every
// change of size. kErrBadHandle for an unknown handle; kErrMemFull (handle unchanged) when growing fails.
Result setHandleSize(Handle handle, std::size_t size);
std::size_t getHandleSize(Handle handle);   // 0 for null or an unknown handle
Result disposeHandle(Handle handle);        // null is allowed and succeeds

Ptr newPtr(std::size_t size, bool clear);   // null when the allocation fails
std::size_t getPtrSize(Ptr ptr);            // 0 for null or an unknown block
Result disposePtr(Ptr ptr);                 // null is allowed and succeeds

bool isLiveHandle(Handle handle);
bool isLivePtr(Ptr ptr);

// --- Blocks of the add-on's own allocator --------------------------------------------------------
// The framework's block pool takes its slabs and large blocks here, so that allocation faults reach the
// strings and records cut from them. They are counted and failed like every other allocation but listed
// apart (MemoryStats::liveRawBlocks), since the pool keeps idle slabs for reuse, and are neither cleared
// nor filled: the pool hands out their pieces. Unlike the rest of the manager, these calls may come
// from any thread. alignment is a power of two.
Ptr newRawBlock(std::size_t size, std::size_t alignment);   // null when the allocation fails
// Grows or shrinks a block made with an alignment of at most 16, in place where it can; keeps the smaller
// of the old and new contents. Null (the block stays as it was) when growing fails or the block is unknown.
Ptr resizeRawBlock(Ptr block, std::size_t size);
Result disposeRawBlock(Ptr block);   // null is allowed and succeeds

// --- Diagnostics and fault injection (tests and the command-line host) ---------------------------
struct MemoryStats {
    std::size_t liveHandles = 0;
    std::size_t livePtrs = 0;
    std::size_t liveRawBlocks = 0;   // of the add-on's own allocator
    std::size_t violations = 0;      // calls with a disposed, foreign or unknown block
    std::uint64_t allocations = 0;   // handles and pointers made, and handles grown, since the last reset
    std::uint64_t refusedAllocations = 0;   // allocations that failed (made to, or too large) likewise
};
MemoryStats memoryStats();
void resetMemoryStats();   // zeroes the violation and both allocation counts, keeps live blocks
// The nth allocation from now fails once; 0 turns it off. Allocations are what `allocations` counts:
// a new handle, pointer or raw block, or a handle or raw block grown (setHandleSize then answers
// kErrMemFull).
void failAllocation(std::uint64_t nth);
void failEveryAllocation(bool on);

}   // namespace host

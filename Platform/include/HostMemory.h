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

// --- Diagnostics and fault injection (tests and the command-line host) ---------------------------
struct MemoryStats {
    std::size_t liveHandles = 0;
    std::size_t livePtrs = 0;
    std::size_t violations = 0;      // calls with a disposed, foreign or unknown block
    std::uint64_t allocations = 0;   // handles and pointers made, and handles grown, since the last reset
};
MemoryStats memoryStats();
void resetMemoryStats();   // zeroes the violation and allocation counts, keeps live blocks
// The nth allocation from now fails once; 0 turns it off. Allocations are what `allocations` counts:
// a new handle or pointer, or a handle grown by setHandleSize (which then answers kErrMemFull).
void failAllocation(std::uint64_t nth);
void failEveryAllocation(bool on);

}   // namespace host

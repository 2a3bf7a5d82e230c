#include "Foundation/XMLProxy.h"

#include <cstdint>
#include <new>

#include <sanitizer/asan_interface.h>

namespace tarnwick {
namespace {

constexpr std::size_t kGrain = 16;          // block sizes are multiples of this
constexpr std::size_t kSizeClasses = 8;     // blocks of up to 128 bytes are kept; larger ones are not
constexpr std::uint16_t kKeptBlocks = 64;   // per size: more than a reader holds open at usual depths

struct FreeBlock {
    FreeBlock* next;
};

// Freed blocks by size class. Trivially destructible, so it stays usable while the thread's other
// thread_local objects are destroyed; BlockDrain returns its blocks to the heap at thread exit.
struct BlockCache {
    FreeBlock* heads[kSizeClasses];
    std::uint16_t counts[kSizeClasses];   // kKeptBlocks once the thread is ending: nothing more is kept
    bool drained;                         // BlockDrain is made for this thread (not looked at on every call)
};
thread_local BlockCache cache{};

struct BlockDrain {
    ~BlockDrain() {
        for (std::size_t sizeClass = 0; sizeClass < kSizeClasses; ++sizeClass) {
            while (FreeBlock* const block = cache.heads[sizeClass]) {
                ASAN_UNPOISON_MEMORY_REGION(block, (sizeClass + 1) * kGrain);
                cache.heads[sizeClass] = block->next;
                ::operator delete(block);
            }
            cache.counts[sizeClass] = kKeptBlocks;
        }
    }
    bool registered = true;   // read once to construct the drain in this thread
};
thread_local BlockDrain drain;

// A class's operator new and delete never see a size of 0: it wraps round to a class past the last.
std::size_t sizeClassOf(std::size_t size) { return (size - 1) / kGrain; }

void keep(FreeBlock* block, std::size_t sizeClass) {
    block->next = cache.heads[sizeClass];
    cache.heads[sizeClass] = block;
    ++cache.counts[sizeClass];
    ASAN_POISON_MEMORY_REGION(block, (sizeClass + 1) * kGrain);   // a stale proxy's use is still caught
}

// Null, a block too large or beyond the count, or the thread's first kept block.
[[gnu::noinline]] void deleteRarely(void* block, std::size_t sizeClass) noexcept {
    if (!block) return;
    if (sizeClass >= kSizeClasses || cache.counts[sizeClass] >= kKeptBlocks) {
        ::operator delete(block);
        return;
    }
    cache.drained = drain.registered;
    keep(static_cast<FreeBlock*>(block), sizeClass);
}

}   // namespace

void* XMLProxy::operator new(std::size_t size) {
    const std::size_t sizeClass = sizeClassOf(size);
    if (sizeClass >= kSizeClasses) return ::operator new(size);
    if (FreeBlock* const block = cache.heads[sizeClass]) {
        ASAN_UNPOISON_MEMORY_REGION(block, (sizeClass + 1) * kGrain);
        cache.heads[sizeClass] = block->next;
        --cache.counts[sizeClass];
        return block;
    }
    return ::operator new((sizeClass + 1) * kGrain);   // the whole class, so any size of it fits later
}

void XMLProxy::operator delete(void* block, std::size_t size) noexcept {
    const std::size_t sizeClass = sizeClassOf(size);
    // The usual case, a block kept on a thread whose drain is made, needs no saved registers.
    if (block && sizeClass < kSizeClasses && cache.counts[sizeClass] < kKeptBlocks && cache.drained) {
        keep(static_cast<FreeBlock*>(block), sizeClass);
        return;
    }
    deleteRarely(block, sizeClass);
}

XMLAssembly* XMLProxy::getRecord() { return nullptr; }

bool XMLProxy::setFromText(std::string_view) { return false; }

bool XMLProxy::getText(std::string&) const { return false; }

}   // namespace tarnwick

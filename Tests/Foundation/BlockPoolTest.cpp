#include "Foundation/BlockPool.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <malloc.h>

#include <HostMemory.h>

using namespace tarnwick;

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();   // the sanitizer's own count
#endif

namespace {

// Heap bytes in use: the sanitizer's count under ASan, glibc's otherwise.
std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

constexpr std::size_t kSlab = 64 * 1024;   // the blocks are cut from slabs of this size

// What one slab costs the heap as the heap counts it: an aligned block may carry its alignment's slack.
std::size_t slabCost() {
    const std::size_t before = heapInUse();
    void* const slab = ::operator new(kSlab, std::align_val_t(kSlab));
    const std::size_t cost = heapInUse() - before;
    ::operator delete(slab, std::align_val_t(kSlab));
    return cost > kSlab ? cost : kSlab;
}

// A block filled with its own mark, so that two blocks sharing bytes show in each other.
struct Marked {
    unsigned char* block;
    std::size_t size;
    unsigned char mark;
};

Marked make(std::size_t size, unsigned char mark) {
    auto* const block = static_cast<unsigned char*>(BlockPool::allocate(size));
    std::memset(block, mark, size);
    return {block, size, mark};
}

void expectIntact(const Marked& marked) {
    for (std::size_t i = 0; i < marked.size; ++i) {
        if (marked.block[i] != marked.mark) {
            ADD_FAILURE() << "block of " << marked.size << " bytes changed at byte " << i;
            return;
        }
    }
}

void release(Marked& marked) {
    BlockPool::release(marked.block, marked.size);
    marked.block = nullptr;
}

}   // namespace

TEST(BlockPool, KeepsEveryLiveBlockApartWhateverItsSizeAndTheOrderBlocksComeAndGo) {
    // Sizes on both sides of every class edge and past the largest kept size, more than one slab of each.
    std::vector<Marked> blocks;
    for (std::size_t i = 0; i < 6000; ++i) {
        const std::size_t size = 1 + (i * 37) % (BlockPool::kLargestKept + 200);
        blocks.push_back(make(size, static_cast<unsigned char>(i)));
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(blocks.back().block) % BlockPool::kGrain, 0u);
    }
    for (std::size_t i = 0; i < blocks.size(); i += 2) release(blocks[i]);
    for (std::size_t i = blocks.size(); i-- > 0;) {
        if (i % 3 == 0 && blocks[i].block) release(blocks[i]);
    }
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (!blocks[i].block) blocks[i] = make(1 + (i * 53) % 600, static_cast<unsigned char>(~i));
    }
    for (const Marked& marked : blocks) expectIntact(marked);
    for (Marked& marked : blocks) release(marked);
}

TEST(BlockPool, ReallocatingKeepsTheBytesBothSizesHoldAcrossEveryKindOfBlock) {
    // Kept to kept, kept to large, large to larger, large to smaller, large to kept, with live
    // neighbours of the same sizes that must not change.
    constexpr std::size_t kLarge = BlockPool::kLargestKept + 1;
    const std::size_t steps[] = {1, 40, 48, BlockPool::kLargestKept, kLarge, 100000, 3 * kLarge, 300, 16};
    Marked moving = make(steps[0], 'm');
    std::vector<Marked> neighbours;
    for (std::size_t i = 1; i < std::size(steps); ++i) {
        neighbours.push_back(make(steps[i], static_cast<unsigned char>('a' + i)));
        auto* const block =
            static_cast<unsigned char*>(BlockPool::reallocate(moving.block, moving.size, steps[i]));
        const std::size_t kept = std::min(moving.size, steps[i]);
        for (std::size_t at = 0; at < kept; ++at) {
            if (block[at] != 'm') {
                ADD_FAILURE() << moving.size << " to " << steps[i] << " bytes: byte " << at << " changed";
                break;
            }
        }
        std::memset(block, 'm', steps[i]);
        moving = {block, steps[i], 'm'};
    }
    for (const Marked& marked : neighbours) expectIntact(marked);
    for (Marked& marked : neighbours) release(marked);
    release(moving);
}

TEST(BlockPool, KeepsAtMostItsBoundPerSizeAndGivesTheRestBackToTheHeap) {
    constexpr std::size_t kSize = BlockPool::kLargestKept;
    constexpr std::size_t kCount = 16 * BlockPool::kKeptBytes / kSize;
    std::vector<Marked> blocks;
    blocks.reserve(kCount);
    // The kept blocks pin the slabs they lie in (a slab holds not quite 128 of them), and one more
    // slab may be part cut.
    const std::size_t kKeptWithSlabs = (BlockPool::kKeptBytes / kSlab + 3) * slabCost();
    const std::size_t before = heapInUse();
    for (std::size_t i = 0; i < kCount; ++i) blocks.push_back(make(kSize, 'b'));
    EXPECT_GE(heapInUse(), before + 15 * BlockPool::kKeptBytes);
    for (Marked& marked : blocks) release(marked);
    EXPECT_LE(heapInUse(), before + kKeptWithSlabs);
    for (std::size_t i = 0; i < BlockPool::kKeptBytes / kSize; ++i) blocks[i] = make(kSize, 'c');   // reused
    EXPECT_LE(heapInUse(), before + kKeptWithSlabs);
    for (std::size_t i = 0; i < BlockPool::kKeptBytes / kSize; ++i) release(blocks[i]);
}

TEST(BlockPool, TakesBlocksFreedOnAnotherThreadIntoThatThreadsLists) {
    // Fresh threads, whose lists start empty.
    std::vector<Marked> blocks;
    std::thread maker([&blocks] {
        for (std::size_t i = 0; i < 3000; ++i) blocks.push_back(make(48 + i % 3 * 100, 'w'));
    });
    maker.join();   // its slabs outlive it: the blocks are still in use
    std::thread taker([&blocks] {
        std::set<unsigned char*> freed;
        for (Marked& marked : blocks) {
            expectIntact(marked);
            freed.insert(marked.block);
            release(marked);
        }
        for (std::size_t i = 0; i < blocks.size(); ++i) {   // the same sizes again: the maker's blocks
            blocks[i] = make(48 + i % 3 * 100, 't');
            EXPECT_TRUE(freed.count(blocks[i].block)) << "block " << i << " is not from this thread's list";
        }
    });
    taker.join();
    for (Marked& marked : blocks) {   // and back on this thread, where the taker's slabs outlive it too
        expectIntact(marked);
        release(marked);
    }
}

TEST(BlockPool, GivesEverythingAThreadKeptBackToTheHostWhenTheThreadEnds) {
    const std::size_t before = host::memoryStats().liveRawBlocks;
    std::thread worker([] {
        std::vector<Marked> blocks;
        for (std::size_t i = 0; i < 20000; ++i) blocks.push_back(make(1 + i % 700, 'k'));
        for (Marked& marked : blocks) release(marked);   // mostly kept on this thread's lists
        for (std::size_t i = 0; i < 50; ++i) blocks[i] = make(16, 'l');   // and some still cut at the end
        for (std::size_t i = 0; i < 50; ++i) release(blocks[i]);
    });
    worker.join();
    EXPECT_EQ(host::memoryStats().liveRawBlocks, before);
}

TEST(BlockPool, TakesItsSlabsAndLargeBlocksFromTheHostsMemoryManager) {
    BlockPool::releaseIdle();   // no slab half cut: the next small block needs a new one
    const std::size_t before = host::memoryStats().liveRawBlocks;
    host::failEveryAllocation(true);
    EXPECT_THROW(BlockPool::allocate(16), std::bad_alloc);
    EXPECT_THROW(BlockPool::allocate(BlockPool::kLargestKept + 1), std::bad_alloc);
    host::failEveryAllocation(false);
    EXPECT_EQ(host::memoryStats().liveRawBlocks, before);

    Marked small = make(16, 's');
    Marked large = make(BlockPool::kLargestKept + 1, 'l');
    EXPECT_EQ(host::memoryStats().liveRawBlocks, before + 2);   // a slab and the large block
    host::failEveryAllocation(true);   // growing a large block fails and keeps it as it was
    EXPECT_THROW(BlockPool::reallocate(large.block, large.size, 4 * large.size), std::bad_alloc);
    host::failEveryAllocation(false);
    expectIntact(large);
    release(small);
    release(large);
    BlockPool::releaseIdle();
    EXPECT_EQ(host::memoryStats().liveRawBlocks, before);
}

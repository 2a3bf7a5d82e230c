#include <HostMemory.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace host;

// Turns fault injection off and forgets the counted violations however the test ends, so the next
// test starts clean. Counts are read as differences: other tests of this binary may hold blocks.
struct MemoryTestGuard {
    ~MemoryTestGuard() {
        failAllocation(0);
        failEveryAllocation(false);
        resetMemoryStats();
    }
};

bool allBytesAre(const char* block, std::size_t size, unsigned char value) {
    for (std::size_t i = 0; i < size; ++i)
        if (static_cast<unsigned char>(block[i]) != value) return false;
    return true;
}

TEST(HostMemory, FillsBlocksWithA5UnlessAskedForCleared) {
    const Handle fresh = newHandle(64, /*clear=*/false);
    const Handle cleared = newHandle(64, /*clear=*/true);
    const Ptr freshPtr = newPtr(64, /*clear=*/false);
    const Ptr clearedPtr = newPtr(64, /*clear=*/true);
    ASSERT_TRUE(fresh && cleared && freshPtr && clearedPtr);
    EXPECT_TRUE(allBytesAre(*fresh, 64, 0xA5));
    EXPECT_TRUE(allBytesAre(*cleared, 64, 0x00));
    EXPECT_TRUE(allBytesAre(freshPtr, 64, 0xA5));
    EXPECT_TRUE(allBytesAre(clearedPtr, 64, 0x00));
    EXPECT_EQ(getHandleSize(fresh), 64u);
    EXPECT_EQ(getPtrSize(clearedPtr), 64u);
    EXPECT_EQ(disposeHandle(fresh), kNoError);
    EXPECT_EQ(disposeHandle(cleared), kNoError);
    EXPECT_EQ(disposePtr(freshPtr), kNoError);
    EXPECT_EQ(disposePtr(clearedPtr), kNoError);
}

TEST(HostMemory, ResizingKeepsTheHandleAndTheSmallerOfOldAndNewContents) {
    const Handle handle = newHandle(8, /*clear=*/false);
    ASSERT_NE(handle, nullptr);
    std::memcpy(*handle, "abcdefgh", 8);

    ASSERT_EQ(setHandleSize(handle, 1000), kNoError);   // grows: old bytes first, the rest fresh
    EXPECT_TRUE(isLiveHandle(handle));
    EXPECT_EQ(getHandleSize(handle), 1000u);
    EXPECT_EQ(std::string(*handle, 8), "abcdefgh");
    EXPECT_TRUE(allBytesAre(*handle + 8, 992, 0xA5));

    ASSERT_EQ(setHandleSize(handle, 3), kNoError);   // shrinks: the first bytes stay
    EXPECT_EQ(getHandleSize(handle), 3u);
    EXPECT_EQ(std::string(*handle, 3), "abc");

    ASSERT_EQ(setHandleSize(handle, 0), kNoError);   // empty: nothing is held
    EXPECT_EQ(getHandleSize(handle), 0u);
    EXPECT_EQ(*handle, nullptr);
    EXPECT_TRUE(isLiveHandle(handle));

    ASSERT_EQ(setHandleSize(handle, 4), kNoError);   // and it can grow again
    EXPECT_EQ(getHandleSize(handle), 4u);
    ASSERT_NE(*handle, nullptr);
    EXPECT_TRUE(allBytesAre(*handle, 4, 0xA5));
    EXPECT_EQ(disposeHandle(handle), kNoError);
}

TEST(HostMemory, ResizingMovesTheBlockSoStaleBlockPointersShowUp) {
    const Handle handle = newHandle(16, /*clear=*/true);
    ASSERT_NE(handle, nullptr);
    const char* const before = *handle;
    ASSERT_EQ(setHandleSize(handle, 8), kNoError);
    EXPECT_NE(*handle, before);
    EXPECT_EQ(disposeHandle(handle), kNoError);
}

TEST(HostMemory, ZeroSizeBlocksAreLiveUntilDisposed) {
    const Handle handle = newHandle(0, /*clear=*/false);
    const Ptr ptr = newPtr(0, /*clear=*/false);
    ASSERT_NE(handle, nullptr);
    ASSERT_NE(ptr, nullptr);
    EXPECT_EQ(*handle, nullptr);
    EXPECT_TRUE(isLiveHandle(handle));
    EXPECT_TRUE(isLivePtr(ptr));
    EXPECT_EQ(getHandleSize(handle), 0u);
    EXPECT_EQ(getPtrSize(ptr), 0u);
    EXPECT_EQ(disposeHandle(handle), kNoError);
    EXPECT_EQ(disposePtr(ptr), kNoError);
    EXPECT_FALSE(isLiveHandle(handle));
    EXPECT_FALSE(isLivePtr(ptr));
}

TEST(HostMemory, NullBlocksAreAcceptedWithoutViolation) {
    MemoryTestGuard guard;
    const MemoryStats before = memoryStats();
    EXPECT_EQ(disposeHandle(nullptr), kNoError);
    EXPECT_EQ(disposePtr(nullptr), kNoError);
    EXPECT_EQ(getHandleSize(nullptr), 0u);
    EXPECT_EQ(getPtrSize(nullptr), 0u);
    EXPECT_FALSE(isLiveHandle(nullptr));
    EXPECT_FALSE(isLivePtr(nullptr));
    EXPECT_EQ(memoryStats().violations, before.violations);
}

TEST(HostMemory, RefusesDisposedForeignAndUnknownBlocksAndCountsEach) {
    MemoryTestGuard guard;
    char* foreignBlock = nullptr;
    char foreignBytes[16] = {};
    const Handle foreign = &foreignBlock;   // looks like a handle, was never made by the host
    const Handle disposed = newHandle(8, /*clear=*/true);
    const Ptr disposedPtr = newPtr(8, /*clear=*/true);
    const Ptr live = newPtr(8, /*clear=*/true);
    const Handle liveHandle = newHandle(8, /*clear=*/true);
    ASSERT_TRUE(disposed && disposedPtr && live && liveHandle);
    ASSERT_EQ(disposeHandle(disposed), kNoError);
    ASSERT_EQ(disposePtr(disposedPtr), kNoError);

    const std::pair<const char*, std::function<Result()>> cases[] = {
        {"dispose a disposed handle", [&] { return disposeHandle(disposed); }},
        {"resize a disposed handle", [&] { return setHandleSize(disposed, 4); }},
        {"dispose a foreign handle", [&] { return disposeHandle(foreign); }},
        {"resize a foreign handle", [&] { return setHandleSize(foreign, 4); }},
        {"resize a null handle", [&] { return setHandleSize(nullptr, 4); }},
        {"dispose a disposed pointer", [&] { return disposePtr(disposedPtr); }},
        {"dispose a foreign pointer", [&] { return disposePtr(foreignBytes); }},
        {"dispose the inside of a pointer block", [&] { return disposePtr(live + 1); }},
        {"dispose the inside of a live handle's master pointer",
         [&] { return disposeHandle(reinterpret_cast<Handle>(reinterpret_cast<char*>(liveHandle) + 1)); }},
    };
    for (const auto& [what, call] : cases) {
        SCOPED_TRACE(what);
        const std::size_t violations = memoryStats().violations;
        EXPECT_EQ(call(), kErrBadHandle);
        EXPECT_EQ(memoryStats().violations, violations + 1);
    }
    const std::size_t violations = memoryStats().violations;
    EXPECT_EQ(getHandleSize(disposed), 0u);
    EXPECT_EQ(getHandleSize(foreign), 0u);
    EXPECT_EQ(getPtrSize(disposedPtr), 0u);
    EXPECT_EQ(memoryStats().violations, violations + 3);
    EXPECT_EQ(foreignBlock, nullptr);   // the foreign "handle" was left alone
    EXPECT_TRUE(isLivePtr(live));
    EXPECT_EQ(disposePtr(live), kNoError);
    EXPECT_EQ(disposeHandle(liveHandle), kNoError);
}

TEST(HostMemory, ADisposedHandleIsNotRevivedByLaterAllocations) {
    MemoryTestGuard guard;
    const Handle disposed = newHandle(8, /*clear=*/true);
    ASSERT_EQ(disposeHandle(disposed), kNoError);
    std::vector<Handle> later;
    for (int i = 0; i < 200; ++i) later.push_back(newHandle(8, /*clear=*/true));
    for (int i = 0; i < 3000; ++i) {   // handles made and disposed in turn do not get its place either
        const Handle passing = newHandle(8, /*clear=*/false);
        EXPECT_NE(passing, disposed);
        EXPECT_EQ(disposeHandle(passing), kNoError);
    }
    for (const Handle handle : later) EXPECT_NE(handle, disposed);
    EXPECT_FALSE(isLiveHandle(disposed));
    EXPECT_EQ(disposeHandle(disposed), kErrBadHandle);
    for (const Handle handle : later) EXPECT_EQ(disposeHandle(handle), kNoError);
}

TEST(HostMemory, FailsTheNthAllocationFromNowOnce) {
    MemoryTestGuard guard;
    const std::uint64_t refusedBefore = memoryStats().refusedAllocations;
    failAllocation(3);
    const Handle first = newHandle(4, /*clear=*/true);
    const Ptr second = newPtr(4, /*clear=*/true);
    const Handle third = newHandle(4, /*clear=*/true);
    const Ptr fourth = newPtr(4, /*clear=*/true);
    const Handle fifth = newHandle(4, /*clear=*/true);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(third, nullptr);
    EXPECT_NE(fourth, nullptr);
    EXPECT_NE(fifth, nullptr);
    EXPECT_EQ(memoryStats().refusedAllocations, refusedBefore + 1) << "the command-line host counts it";
    disposeHandle(first);
    disposePtr(second);
    disposePtr(fourth);
    disposeHandle(fifth);

    failAllocation(1);
    failAllocation(0);   // turned off before it struck
    const Ptr untouched = newPtr(4, /*clear=*/true);
    EXPECT_NE(untouched, nullptr);
    disposePtr(untouched);
}

TEST(HostMemory, AFailedGrowthLeavesTheHandleAsItWas) {
    MemoryTestGuard guard;
    const Handle handle = newHandle(4, /*clear=*/false);
    ASSERT_NE(handle, nullptr);
    std::memcpy(*handle, "wxyz", 4);
    const char* const block = *handle;

    failAllocation(1);
    EXPECT_EQ(setHandleSize(handle, 400), kErrMemFull);
    EXPECT_EQ(*handle, block);
    EXPECT_EQ(getHandleSize(handle), 4u);
    EXPECT_EQ(std::string(*handle, 4), "wxyz");

    failEveryAllocation(true);   // shrinking is no allocation, so it still succeeds
    EXPECT_EQ(setHandleSize(handle, 2), kNoError);
    EXPECT_EQ(std::string(*handle, 2), "wx");
    EXPECT_EQ(disposeHandle(handle), kNoError);
}

TEST(HostMemory, FailsEveryAllocationUntilTurnedOff) {
    MemoryTestGuard guard;
    const MemoryStats before = memoryStats();
    failEveryAllocation(true);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(newHandle(1, /*clear=*/true), nullptr);
        EXPECT_EQ(newHandle(0, /*clear=*/true), nullptr);
        EXPECT_EQ(newPtr(1, /*clear=*/true), nullptr);
    }
    EXPECT_EQ(memoryStats().allocations, before.allocations);
    EXPECT_EQ(memoryStats().liveHandles, before.liveHandles);
    failEveryAllocation(false);
    const Handle handle = newHandle(1, /*clear=*/true);
    EXPECT_NE(handle, nullptr);
    disposeHandle(handle);
}

TEST(HostMemory, AbsurdSizesFailInsteadOfAborting) {
    MemoryTestGuard guard;
    const std::size_t huge = std::numeric_limits<std::size_t>::max();
    EXPECT_EQ(newHandle(huge, /*clear=*/false), nullptr);
    EXPECT_EQ(newPtr(huge, /*clear=*/true), nullptr);
    EXPECT_EQ(newPtr(static_cast<std::size_t>(-8), /*clear=*/false), nullptr);   // a negative size
    const Handle handle = newHandle(2, /*clear=*/true);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(setHandleSize(handle, huge), kErrMemFull);
    EXPECT_EQ(getHandleSize(handle), 2u);
    EXPECT_EQ(disposeHandle(handle), kNoError);
}

TEST(HostMemory, CountsLiveBlocksAndAllocationsAndResetKeepsLiveBlocks) {
    MemoryTestGuard guard;
    const MemoryStats before = memoryStats();
    const Handle handle = newHandle(4, /*clear=*/true);
    const Ptr ptr = newPtr(4, /*clear=*/true);
    ASSERT_EQ(setHandleSize(handle, 40), kNoError);   // growing counts, shrinking does not
    ASSERT_EQ(setHandleSize(handle, 20), kNoError);
    disposeHandle(reinterpret_cast<Handle>(ptr));   // one violation

    MemoryStats now = memoryStats();
    EXPECT_EQ(now.liveHandles, before.liveHandles + 1);
    EXPECT_EQ(now.livePtrs, before.livePtrs + 1);
    EXPECT_EQ(now.allocations, before.allocations + 3);
    EXPECT_EQ(now.violations, before.violations + 1);

    resetMemoryStats();
    now = memoryStats();
    EXPECT_EQ(now.allocations, 0u);
    EXPECT_EQ(now.violations, 0u);
    EXPECT_EQ(now.liveHandles, before.liveHandles + 1);
    EXPECT_TRUE(isLiveHandle(handle));

    disposeHandle(handle);
    disposePtr(ptr);
    EXPECT_EQ(memoryStats().liveHandles, before.liveHandles);
    EXPECT_EQ(memoryStats().livePtrs, before.livePtrs);
}

}   // namespace

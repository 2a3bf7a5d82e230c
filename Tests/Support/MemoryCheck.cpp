#include "Support/MemoryCheck.h"

#include <HostMemory.h>

void MemoryCheck::SetUp() {
    host::resetMemoryStats();
    const host::MemoryStats stats = host::memoryStats();
    liveHandles_ = stats.liveHandles;
    livePtrs_ = stats.livePtrs;
}

void MemoryCheck::TearDown() {
    host::failAllocation(0);
    host::failEveryAllocation(false);
    const host::MemoryStats stats = host::memoryStats();
    EXPECT_EQ(stats.liveHandles, liveHandles_) << "host handles leaked";
    EXPECT_EQ(stats.livePtrs, livePtrs_) << "host pointer blocks leaked";
    EXPECT_EQ(stats.violations, 0u) << "disposed, foreign or unknown blocks were used";
}

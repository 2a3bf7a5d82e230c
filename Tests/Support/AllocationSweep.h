// AllocationSweep: runs one piece of work with the host's nth allocation failing, for n = 1, 2, ...
// until a run no longer reaches n, and checks that every run that reaches it fails cleanly.
#pragma once

#include <cstdint>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include <HostMemory.h>

#include "Foundation/BlockPool.h"
#include "Foundation/TracedException.h"

namespace sweep {

struct LiveBlocks {
    std::size_t handles, ptrs, rawBlocks;
    bool operator==(const LiveBlocks&) const = default;
};

// Counted with the block pool's idle blocks given back, so that only blocks in use remain.
inline LiveBlocks liveBlocks() {
    tarnwick::BlockPool::releaseIdle();
    const host::MemoryStats stats = host::memoryStats();
    return {stats.liveHandles, stats.livePtrs, stats.liveRawBlocks};
}

// make() gives a fresh subject (a std::unique_ptr), act(subject) does the work, which may throw, and
// describe(subject) gives a text of the state the work left. Each run starts with the pool's idle
// blocks given back, so that it allocates as the first did. A run whose failing allocation comes must
// end in std::bad_alloc or TracedException "bad_alloc", leave the subject usable (described, then
// destroyed) and unchanged when keptOnFailure, and leave no host block alive; the first run it does not
// reach must end as a run without failures. Gives the number of allocations of such a run.
template <typename Make, typename Act, typename Describe>
std::uint64_t sweepAllocations(Make make, Act act, Describe describe, bool keptOnFailure) {
    std::string clean;
    std::uint64_t allocations = 0;
    {
        auto subject = make();
        tarnwick::BlockPool::releaseIdle();
        host::resetMemoryStats();
        act(*subject);
        allocations = host::memoryStats().allocations;
        clean = describe(*subject);
    }
    for (std::uint64_t n = 1; n <= allocations + 1; ++n) {
        SCOPED_TRACE(testing::Message() << "allocation " << n << " of " << allocations << " fails");
        const LiveBlocks before = liveBlocks();
        auto subject = make();
        const std::string initial = describe(*subject);
        tarnwick::BlockPool::releaseIdle();
        host::failAllocation(n);
        bool failed = false;
        try {
            act(*subject);
        } catch (const std::bad_alloc&) {
            failed = true;
        } catch (const tarnwick::TracedException& exception) {
            EXPECT_EQ(exception.getKind(), "bad_alloc") << exception.what();
            failed = true;
        }
        host::failAllocation(0);
        EXPECT_EQ(failed, n <= allocations);
        const std::string after = describe(*subject);
        if (!failed) {
            EXPECT_EQ(after, clean);
        } else if (keptOnFailure) {
            EXPECT_EQ(after, initial);
        }
        subject.reset();
        EXPECT_TRUE(liveBlocks() == before) << "host blocks leaked";
    }
    return allocations;
}

}   // namespace sweep

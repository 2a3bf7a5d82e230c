#include "Foundation/MemoryBlock.h"

#include <cstring>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <HostMemory.h>

#include "Foundation/Memory.h"
#include "Foundation/TracedException.h"
#include "Support/MemoryCheck.h"

using tarnwick::MemoryBlock;

namespace {

using MemoryBlockTest = MemoryCheck;

std::string bytesOf(const MemoryBlock& block) {
    return block.holdsBytes() ? std::string(block.getBytes(), block.getSize()) : "";
}

MemoryBlock blockWith(const std::string& bytes) {
    return MemoryBlock(tarnwick::ptrToHandle(bytes.data(), bytes.size()));
}

}   // namespace

TEST_F(MemoryBlockTest, OwnsTheHandleItIsMadeOver) {
    const std::size_t before = host::memoryStats().liveHandles;
    {
        const MemoryBlock block = blockWith("abc");
        EXPECT_EQ(block.getSize(), 3u);
        EXPECT_TRUE(block.holdsBytes());
        EXPECT_EQ(host::getHandleSize(block.getHandle()), 3u);   // readable by host calls
        EXPECT_EQ(host::memoryStats().liveHandles, before + 1);
    }
    EXPECT_EQ(host::memoryStats().liveHandles, before);   // disposed with the block
    const MemoryBlock empty;
    EXPECT_EQ(empty.getSize(), 0u);
    EXPECT_FALSE(empty.holdsBytes());
    EXPECT_EQ(empty.getBytes(), nullptr);
}

TEST_F(MemoryBlockTest, CopiesDeeplyAndMovesByTakingTheHandle) {
    MemoryBlock original = blockWith("abc");
    MemoryBlock copy(original);
    EXPECT_NE(copy.getHandle(), original.getHandle());
    copy.getBytes()[0] = 'X';
    EXPECT_EQ(bytesOf(original), "abc");
    EXPECT_EQ(bytesOf(copy), "Xbc");

    const host::Handle handle = original.getHandle();
    MemoryBlock moved(std::move(original));
    EXPECT_EQ(moved.getHandle(), handle);
    EXPECT_FALSE(original.holdsBytes());   // NOLINT: moved-from is empty by contract

    MemoryBlock taker;
    taker.takeHandle(moved);
    EXPECT_EQ(taker.getHandle(), handle);
    EXPECT_EQ(moved.getHandle(), nullptr);

    MemoryBlock copier = blockWith("old");
    copier.copyHandle(taker);
    EXPECT_EQ(bytesOf(copier), "abc");
    EXPECT_NE(copier.getHandle(), taker.getHandle());
    copier = copy;
    EXPECT_EQ(bytesOf(copier), "Xbc");
    const MemoryBlock& same = copier;
    copier = same;   // self-assignment keeps the bytes
    EXPECT_EQ(bytesOf(copier), "Xbc");
    copier.clear();
    EXPECT_EQ(copier.getSize(), 0u);
}

TEST_F(MemoryBlockTest, GrowsByAppendingAndResizing) {
    MemoryBlock block;
    block.append("ab", 2);
    block.append("cd", 2);
    EXPECT_EQ(bytesOf(block), "abcd");
    block.setSize(3);
    EXPECT_EQ(bytesOf(block), "abc");
    MemoryBlock sized;
    sized.setSize(2);
    EXPECT_EQ(bytesOf(sized), std::string(2, '\0'));
}

TEST_F(MemoryBlockTest, KeepsItsBytesWhenACopyCannotBeMade) {
    MemoryBlock block = blockWith("abc");
    const MemoryBlock other = blockWith("xyz");
    host::failAllocation(1);
    EXPECT_THROW(block.copyHandle(other), tarnwick::TracedException);
    host::failAllocation(0);
    EXPECT_EQ(bytesOf(block), "abc");
}

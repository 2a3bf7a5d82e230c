#include "Foundation/DataBufferOut.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include <HostMemory.h>

#include "Foundation/DataBufferIn.h"
#include "Foundation/DataFile.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"

namespace tarnwick {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// More than two blocks, with every byte value, so block edges and long runs are both crossed.
std::string bigBytes() {
    std::string bytes;
    for (std::size_t i = 0; i < 2 * DataBufferOut::kBlockSize + 17; ++i)
        bytes.push_back(static_cast<char>(i * 7 % 256));
    return bytes;
}

// Writes bytes in pieces of several sizes, some longer than a block.
void writeInPieces(DataBufferOut& out, const std::string& bytes) {
    const std::size_t pieces[] = {1, 1000, DataBufferOut::kBlockSize + 5, 3};
    std::size_t at = 0;
    for (std::size_t i = 0; at < bytes.size(); ++i) {
        const std::size_t n = std::min(pieces[i % 4], bytes.size() - at);
        ASSERT_TRUE(out.write(bytes.data() + at, n));
        at += n;
    }
}

TEST(DataBufferOut, WritesNumbersAndTextsThatReadBackExactly) {
    HostMemoryScope memory;
    String text;
    DataBufferOut out;
    ASSERT_TRUE(out.open(text));
    const double reals[] = {0.1, -2.5, 1e300, 5e-324, 123456789.123456789};
    out.write(std::int32_t{-42});
    out.write(' ');
    out.write(std::uint32_t{4294967295u});
    out.write(" ");
    out.write(std::numeric_limits<std::int64_t>::min());
    out.write(std::string_view(" "));
    out.write(std::uint64_t{18446744073709551615u});
    for (const double r : reals) {
        out.write(' ');
        out.write(r);
    }
    out.write(String(" \"ü\""));
    ASSERT_TRUE(out.close());
    EXPECT_EQ(text.getView().substr(0, 56), "-42 4294967295 -9223372036854775808 18446744073709551615");

    DataBufferIn in(text, 7);
    std::int32_t a = 0;
    std::uint32_t b = 0;
    std::int64_t c = 0;
    std::string d;
    ASSERT_TRUE(in.readInt32(a) && in.readUInt32(b) && in.readInt64(c) && in.readToken(d));
    for (const double r : reals) {
        double back = 0;
        ASSERT_TRUE(in.readReal(back));
        EXPECT_TRUE(sameBits(back, r)) << r;
    }
    String u;
    EXPECT_TRUE(in.readString(u));
    EXPECT_EQ(u, "ü");
}

TEST(DataBufferOut, RefusesANonFiniteRealAndWritesNothing) {
    String text;
    DataBufferOut out;
    out.open(text);
    EXPECT_FALSE(out.write(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(out.write(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(out.getState(), DataStream::kBadData);
    EXPECT_TRUE(out.write("1"));
    out.close();
    EXPECT_EQ(text, "1");
}

TEST(DataBufferOut, DeliversEveryByteToEachKindOfSink) {
    HostMemoryScope memory;
    ScratchFolder folder;
    const std::string bytes = bigBytes();

    MemoryBlock block;
    block.append("old", 3);
    DataBufferOut toBlock;
    ASSERT_TRUE(toBlock.open(block));
    writeInPieces(toBlock, bytes);
    ASSERT_TRUE(toBlock.close());
    EXPECT_EQ(std::string(block.getBytes(), block.getSize()), "old" + bytes);

    host::Handle handle = nullptr;
    {
        DataBufferOut toHandle;
        ASSERT_TRUE(toHandle.open(handle));
        writeInPieces(toHandle, bytes);
    }   // flushed when destroyed
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(std::string(*handle, host::getHandleSize(handle)), bytes);
    host::disposeHandle(handle);

    DataFile file(folder.path() / "out.bin", DataFile::kReadWrite, /*create=*/true);
    {
        DataBufferOut toFile;
        ASSERT_TRUE(toFile.open(file));
        writeInPieces(toFile, bytes);
        EXPECT_TRUE(toFile.close());
        EXPECT_FALSE(file.isOpen()) << "the writer opened it, so close() closes it";
        EXPECT_TRUE(toFile.flush()) << "flushing after close has nothing to do and is no failure";
    }
    EXPECT_EQ(ScratchFolder::contents(file.getLocation()), bytes);
}

TEST(DataBufferOut, KeepsACharacterWholeWhenAFlushSplitsItForAString) {
    String text;
    DataBufferOut out;
    out.open(text);
    const std::string padding(DataBufferOut::kBlockSize - 1, 'a');
    out.write(padding);
    out.write("\xC3");   // the first byte of "é" fills the block, its second byte comes after the flush
    out.write("\xA9€");
    out.write(padding);
    out.write("\xF0\x9F");   // 😀 cut off for good
    ASSERT_TRUE(out.close());
    EXPECT_EQ(text.getView(), padding + "é€" + padding + "\xEF\xBF\xBD");
}

TEST(DataBufferOut, AppendsToAnOpenFileAndLeavesItOpen) {
    ScratchFolder folder;
    DataFile file(folder.write("log.txt", "abc"), DataFile::kReadWrite);
    ASSERT_TRUE(file.open());
    char skip[3];
    ASSERT_TRUE(file.read(skip, 3));
    DataBufferOut out;
    ASSERT_TRUE(out.open(file));
    out.write("def");
    EXPECT_TRUE(out.close());
    EXPECT_TRUE(file.isOpen());
    file.close();
    EXPECT_EQ(ScratchFolder::contents(file.getLocation()), "abcdef");
}

TEST(DataBufferOut, KeepsAFailedWriteInItsStateUntilTheNextOpen) {
    HostMemoryScope memory;
    ScratchFolder folder;

    DataBufferOut loose;   // attached to nothing
    EXPECT_FALSE(loose.write("x"));
    EXPECT_EQ(loose.getState(), DataStream::kFailed);

    DataFile readOnly(folder.write("ro.txt", "keep"), DataFile::kRead);
    DataBufferOut toReadOnly;
    EXPECT_FALSE(toReadOnly.open(readOnly));
    EXPECT_FALSE(toReadOnly.write("x"));
    EXPECT_FALSE(readOnly.isOpen());
    EXPECT_EQ(ScratchFolder::contents(readOnly.getLocation()), "keep");

    // The file is closed behind the writer's back: the flush fails and close() says so.
    DataFile file(folder.path() / "gone.txt", DataFile::kReadWrite, /*create=*/true);
    ASSERT_TRUE(file.open());
    DataBufferOut toFile;
    ASSERT_TRUE(toFile.open(file));
    EXPECT_TRUE(toFile.write("lost"));
    file.close();
    EXPECT_FALSE(toFile.close());
    EXPECT_EQ(toFile.getState(), DataStream::kFailed);
    EXPECT_FALSE(toFile.write("more"));

    // The host runs out of memory while the block grows.
    MemoryBlock block;
    DataBufferOut toBlock;
    ASSERT_TRUE(toBlock.open(block));
    EXPECT_TRUE(toBlock.write("abc"));
    host::failEveryAllocation(true);
    EXPECT_FALSE(toBlock.flush());
    host::failEveryAllocation(false);
    EXPECT_FALSE(toBlock.write("d"));
    EXPECT_FALSE(toBlock.close());
    EXPECT_TRUE(toBlock.open(block)) << "opening again starts with a clean state";
    EXPECT_TRUE(toBlock.write("e"));
    EXPECT_TRUE(toBlock.close());
    EXPECT_EQ(std::string(block.getBytes(), block.getSize()), "e");
}

}   // namespace
}   // namespace tarnwick

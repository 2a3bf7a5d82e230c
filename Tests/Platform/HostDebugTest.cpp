#include <HostDebug.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace host;

struct DebugTestGuard {
    ~DebugTestGuard() {
        setDebugEcho(false);
        clearDebugLines();
    }
};

TEST(HostDebug, RecordsLinesInOrderAndEchoesOnlyWhenAsked) {
    DebugTestGuard guard;
    clearDebugLines();
    testing::internal::CaptureStderr();
    debugOutput("quiet");
    setDebugEcho(true);
    debugOutput("12:00:00\tloud");
    setDebugEcho(false);
    debugOutput("");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "12:00:00\tloud\n");
    EXPECT_EQ(debugLines(), (std::vector<std::string>{"quiet", "12:00:00\tloud", ""}));
    clearDebugLines();
    EXPECT_TRUE(debugLines().empty());
}

// A stream buffer that takes the stack when a character arrives: the caller is then the shared C++
// library's std::ostream::put, a frame whose name the host can look up and must demangle.
class StackTakingBuffer : public std::streambuf {
public:
    std::vector<std::string> stack;

protected:
    int_type overflow(int_type c) override {
        stack = captureStack(8);
        return c;
    }
};

TEST(HostDebug, CapturesTheCallersFramesWithReadableNames) {
    StackTakingBuffer buffer;
    std::ostream stream(&buffer);
    stream.put('x');
    ASSERT_FALSE(buffer.stack.empty());
    EXPECT_LE(buffer.stack.size(), 8u);
    EXPECT_EQ(buffer.stack.front().find("captureStack"), std::string::npos);   // not itself
    bool putFound = false;
    for (const std::string& frame : buffer.stack) {
        putFound = putFound || frame.find("std::ostream::put(char)") != std::string::npos;
        EXPECT_EQ(frame.find("(_Z"), std::string::npos) << frame;   // nothing left mangled
    }
    EXPECT_TRUE(putFound);
}

TEST(HostDebug, CapturesAtMostTheFramesAskedFor) {
    EXPECT_TRUE(captureStack(0).empty());
    EXPECT_TRUE(captureStack(-3).empty());
    EXPECT_EQ(captureStack(1).size(), 1u);
    EXPECT_EQ(captureStack(2).size(), 2u);
}

}   // namespace

// MemoryCheck: a test fixture that fails the test when it leaves host memory blocks alive or misuses one.
#pragma once

#include <cstddef>

#include <gtest/gtest.h>

// Derive a fixture from it (or use it directly with TEST_F). SetUp notes the live blocks; TearDown
// fails the test on any block left alive since then or on any handle violation, and turns off
// allocation faults that the test set.
class MemoryCheck : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::size_t liveHandles_ = 0;
    std::size_t livePtrs_ = 0;
};

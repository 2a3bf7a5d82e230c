#include "Foundation/Memory.h"

#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <HostMemory.h>

#include "Foundation/String.h"
#include "Foundation/TracedException.h"
#include "Support/MemoryCheck.h"

using namespace tarnwick;

namespace {

using MemoryFunctions = MemoryCheck;

std::string bytesOf(host::Handle handle) {
    return handle && *handle ? std::string(*handle, getHandleSize(handle)) : "";
}

host::Handle handleWith(const std::string& bytes) { return ptrToHandle(bytes.data(), bytes.size()); }

// Runs action with the next allocation failing and returns the place of the exception ("" when none).
std::string placeWhenAllocationFails(const std::function<void()>& action) {
    host::failAllocation(1);
    std::string place;
    try {
        action();
    } catch (const TracedException& failed) {
        EXPECT_EQ(failed.getKind(), "bad_alloc");
        place = std::string(failed.getPlace().getView());
    }
    host::failAllocation(0);
    return place;
}

}   // namespace

TEST_F(MemoryFunctions, AllocateClearedBlocks) {
    host::Handle handle = allocateHandle(16);
    EXPECT_EQ(getHandleSize(handle), 16u);
    EXPECT_EQ(bytesOf(handle), std::string(16, '\0'));
    const host::Ptr ptr = allocatePtr(8);
    EXPECT_EQ(getPtrSize(ptr), 8u);
    EXPECT_EQ(std::string(ptr, 8), std::string(8, '\0'));
    disposePtr(ptr);
    disposeHandle(handle);
    EXPECT_EQ(handle, nullptr);   // the caller's reference is nulled
    disposeHandle(handle);        // null is allowed
    disposePtr(nullptr);
    EXPECT_EQ(getHandleSize(nullptr), 0u);
    EXPECT_EQ(getPtrSize(nullptr), 0u);
}

TEST_F(MemoryFunctions, ResizeKeepsTheSmallerContentsAndAllocatesWhenNull) {
    host::Handle handle = nullptr;
    setHandleSize(handle, 4);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(bytesOf(handle), std::string(4, '\0'));
    std::memcpy(*handle, "abcd", 4);
    setHandleSize(handle, 6);
    EXPECT_EQ(bytesOf(handle).substr(0, 4), "abcd");
    setHandleSize(handle, 2);
    EXPECT_EQ(bytesOf(handle), "ab");
    lockHandle(handle);
    unlockHandle(handle);
    EXPECT_EQ(bytesOf(handle), "ab");
    disposeHandle(handle);
}

TEST_F(MemoryFunctions, CopyAndAppendBytesBetweenHandles) {
    host::Handle source = handleWith("abc");
    host::Handle clone = cloneHandle(source);
    EXPECT_NE(clone, source);
    EXPECT_EQ(bytesOf(clone), "abc");
    EXPECT_EQ(cloneHandle(nullptr), nullptr);

    host::Handle target = handleWith("xxxxxxx");
    handleToHandle(source, target);
    EXPECT_EQ(bytesOf(target), "abc");
    host::Handle fresh = nullptr;
    handleToHandle(source, fresh);
    EXPECT_EQ(bytesOf(fresh), "abc");

    handleAndHandle(source, target);
    EXPECT_EQ(bytesOf(target), "abcabc");
    handleAndHandle(target, target);   // onto itself
    EXPECT_EQ(bytesOf(target), "abcabcabcabc");
    ptrAndHandle("de", source, 2);
    EXPECT_EQ(bytesOf(source), "abcde");
    host::Handle appended = nullptr;
    ptrAndHandle("z", appended, 1);
    EXPECT_EQ(bytesOf(appended), "z");

    char buffer[] = "012345";
    copyMemory(buffer + 1, buffer, 4);   // overlapping ranges
    EXPECT_STREQ(buffer, "001235");

    for (host::Handle* handle : {&source, &clone, &target, &fresh, &appended}) disposeHandle(*handle);
}

TEST_F(MemoryFunctions, PutAStringWithItsTerminatorIntoAHandle) {
    host::Handle handle = handleWith("old contents");
    stringToHandle(String("t\xC3\xA9xt"), handle);
    EXPECT_EQ(bytesOf(handle), std::string("t\xC3\xA9xt\0", 6));
    host::Handle empty = nullptr;
    stringToHandle(String(), empty);
    EXPECT_EQ(bytesOf(empty), std::string(1, '\0'));
    disposeHandle(handle);
    disposeHandle(empty);
}

TEST_F(MemoryFunctions, ThrowBadAllocNamingTheFunctionWhenTheHostFails) {
    host::Handle kept = handleWith("keep");
    host::Handle nullHandle = nullptr;
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"tarnwick::allocateHandle", [] { allocateHandle(4); }},
        {"tarnwick::allocatePtr", [] { allocatePtr(4); }},
        {"tarnwick::cloneHandle", [&] { cloneHandle(kept); }},
        {"tarnwick::ptrToHandle", [] { ptrToHandle("ab", 2); }},
        {"tarnwick::setHandleSize", [&] { setHandleSize(kept, 100); }},
        {"tarnwick::setHandleSize", [&] { setHandleSize(nullHandle, 1); }},
        {"tarnwick::stringToHandle", [&] { stringToHandle(String("new"), kept); }},
        {"tarnwick::handleToHandle", [&] { handleToHandle(kept, nullHandle); }},
        {"tarnwick::handleAndHandle", [&] { handleAndHandle(kept, kept); }},
        {"tarnwick::ptrAndHandle", [&] { ptrAndHandle("0123456789", kept, 10); }},
    };
    for (const auto& [place, action] : cases) {
        EXPECT_EQ(placeWhenAllocationFails(action), place);
        EXPECT_EQ(bytesOf(kept), "keep") << place;   // a failed call leaves the handle as it was
        EXPECT_EQ(nullHandle, nullptr) << place;
    }
    disposeHandle(kept);
}

TEST_F(MemoryFunctions, ThrowOnADisposedHandleAndStillNullTheReference) {
    host::Handle handle = allocateHandle(4);
    host::Handle stale = handle;
    disposeHandle(handle);
    try {
        disposeHandle(stale);
        FAIL() << "no exception";
    } catch (const TracedException& failed) {
        EXPECT_STREQ(failed.what(), "bad_alloc in tarnwick::disposeHandle");
    }
    EXPECT_EQ(stale, nullptr);
    host::resetMemoryStats();   // the violation was this test's purpose
}

#include "Foundation/Memory.h"

#include <cstring>

#include "Foundation/String.h"
#include "Foundation/TracedException.h"

namespace tarnwick {
namespace {

[[noreturn]] void fail(const char* function) {
    throw TracedException("bad_alloc", String("tarnwick::") + function);
}

void check(host::Result result, const char* function) {
    if (result != host::kNoError) fail(function);
}

// Grows target by size bytes (allocating when null) and copies bytes to its end.
void appendBytes(const void* bytes, std::size_t size, host::Handle& target, const char* function) {
    if (!target) {
        target = host::newHandle(size, /*clear=*/false);
        if (!target) fail(function);
        if (size > 0) std::memcpy(*target, bytes, size);
        return;
    }
    if (size == 0) return;
    const std::size_t oldSize = host::getHandleSize(target);
    check(host::setHandleSize(target, oldSize + size), function);
    std::memcpy(*target + oldSize, bytes, size);
}

}   // namespace

host::Handle allocateHandle(std::size_t size) {
    const host::Handle handle = host::newHandle(size, /*clear=*/true);
    if (!handle) fail("allocateHandle");
    return handle;
}

host::Handle cloneHandle(host::Handle source) {
    if (!source) return nullptr;
    if (!host::isLiveHandle(source)) fail("cloneHandle");
    const std::size_t size = host::getHandleSize(source);
    const host::Handle copy = host::newHandle(size, /*clear=*/false);
    if (!copy) fail("cloneHandle");
    if (size > 0) std::memcpy(*copy, *source, size);
    return copy;
}

std::size_t getHandleSize(host::Handle handle) { return handle ? host::getHandleSize(handle) : 0; }

void setHandleSize(host::Handle& handle, std::size_t size) {
    if (!handle) {
        handle = host::newHandle(size, /*clear=*/true);
        if (!handle) fail("setHandleSize");
        return;
    }
    check(host::setHandleSize(handle, size), "setHandleSize");
}

void disposeHandle(host::Handle& handle) {
    const host::Handle old = handle;
    handle = nullptr;
    check(host::disposeHandle(old), "disposeHandle");
}

void lockHandle(host::Handle) {}

void unlockHandle(host::Handle) {}

host::Ptr allocatePtr(std::size_t size) {
    const host::Ptr ptr = host::newPtr(size, /*clear=*/true);
    if (!ptr) fail("allocatePtr");
    return ptr;
}

std::size_t getPtrSize(host::Ptr ptr) { return ptr ? host::getPtrSize(ptr) : 0; }

void disposePtr(host::Ptr ptr) { check(host::disposePtr(ptr), "disposePtr"); }

void copyMemory(void* target, const void* source, std::size_t size) {
    if (size > 0) std::memmove(target, source, size);
}

void stringToHandle(const String& text, host::Handle& handle) {
    const std::size_t size = text.getByteLength() + 1;   // with the terminator
    const host::Handle fresh = host::newHandle(size, /*clear=*/false);
    if (!fresh) fail("stringToHandle");
    std::memcpy(*fresh, text.getText(), size);
    if (handle) host::disposeHandle(handle);   // a stale old handle is the host's violation to count
    handle = fresh;
}

host::Handle ptrToHandle(const void* bytes, std::size_t size) {
    const host::Handle handle = host::newHandle(size, /*clear=*/false);
    if (!handle) fail("ptrToHandle");
    if (size > 0) std::memcpy(*handle, bytes, size);
    return handle;
}

void handleToHandle(host::Handle source, host::Handle& target) {
    if (source && !host::isLiveHandle(source)) fail("handleToHandle");
    const std::size_t size = getHandleSize(source);
    if (!target) {
        target = host::newHandle(size, /*clear=*/false);
        if (!target) fail("handleToHandle");
    } else {
        check(host::setHandleSize(target, size), "handleToHandle");
    }
    if (size > 0) std::memcpy(*target, *source, size);
}

void handleAndHandle(host::Handle source, host::Handle& target) {
    if (source && !host::isLiveHandle(source)) fail("handleAndHandle");
    if (source == target && source) {   // onto itself: the block moves when it grows, so copy after
        const std::size_t size = host::getHandleSize(target);
        check(host::setHandleSize(target, 2 * size), "handleAndHandle");
        if (size > 0) std::memcpy(*target + size, *target, size);
        return;
    }
    appendBytes(source ? *source : nullptr, getHandleSize(source), target, "handleAndHandle");
}

void ptrAndHandle(const void* bytes, host::Handle& target, std::size_t size) {
    appendBytes(bytes, size, target, "ptrAndHandle");
}

}   // namespace tarnwick

#include "Foundation/MemoryBlock.h"

#include <utility>

#include "Foundation/Memory.h"

namespace tarnwick {

MemoryBlock::MemoryBlock(host::Handle handle) : handle_(handle) {}

MemoryBlock::MemoryBlock(const MemoryBlock& other) : handle_(cloneHandle(other.handle_)) {}

MemoryBlock::MemoryBlock(MemoryBlock&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

MemoryBlock& MemoryBlock::operator=(const MemoryBlock& other) {
    if (this != &other) copyHandle(other);
    return *this;
}

MemoryBlock& MemoryBlock::operator=(MemoryBlock&& other) noexcept {
    if (this != &other) {
        host::disposeHandle(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

// Destructors must not throw: a failing dispose is left to the host's violation count.
MemoryBlock::~MemoryBlock() { host::disposeHandle(handle_); }

void MemoryBlock::takeHandle(MemoryBlock& other) { *this = std::move(other); }

void MemoryBlock::copyHandle(const MemoryBlock& other) {
    if (this == &other) return;
    host::Handle copy = cloneHandle(other.handle_);   // made first: on failure we keep our bytes
    host::disposeHandle(handle_);
    handle_ = copy;
}

void MemoryBlock::clear() { disposeHandle(handle_); }

std::size_t MemoryBlock::getSize() const { return getHandleSize(handle_); }

char* MemoryBlock::getBytes() const { return handle_ ? *handle_ : nullptr; }

void MemoryBlock::setSize(std::size_t size) { setHandleSize(handle_, size); }

void MemoryBlock::append(const void* bytes, std::size_t size) { ptrAndHandle(bytes, handle_, size); }

}   // namespace tarnwick

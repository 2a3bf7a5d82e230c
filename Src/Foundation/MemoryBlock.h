// MemoryBlock: an owned block of bytes in a host handle (module data, XML text, image bytes).
#pragma once

#include <cstddef>

#include <HostMemory.h>

namespace tarnwick {

// Owns its handle and disposes of it when destroyed or emptied. Copies are deep; a move takes the
// handle over. Memory failures throw TracedException "bad_alloc" (see Memory.h).
class MemoryBlock {
public:
    MemoryBlock() = default;
    explicit MemoryBlock(host::Handle handle);   // takes the handle (null: an empty block)
    MemoryBlock(const MemoryBlock& other);       // deep copy
    MemoryBlock(MemoryBlock&& other) noexcept;   // takes other's handle; other is left empty
    MemoryBlock& operator=(const MemoryBlock& other);
    MemoryBlock& operator=(MemoryBlock&& other) noexcept;
    ~MemoryBlock();

    void takeHandle(MemoryBlock& other);         // disposes ours, takes other's; other is left empty
    void copyHandle(const MemoryBlock& other);   // disposes ours, holds a copy of other's bytes
    void clear();                                // disposes the handle; the block is empty

    bool holdsBytes() const { return getSize() != 0; }
    std::size_t getSize() const;                         // bytes; 0 without a handle
    host::Handle getHandle() const { return handle_; }   // still owned by the block; may be null
    char* getBytes() const;                              // the block's bytes; null when it holds none

    void setSize(std::size_t size);   // keeps the smaller contents; allocates when empty
    void append(const void* bytes, std::size_t size);

private:
    host::Handle handle_ = nullptr;
};

}   // namespace tarnwick

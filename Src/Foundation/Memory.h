// Memory functions: the framework's access to the host's handle and pointer memory.
#pragma once

#include <cstddef>

#include <HostMemory.h>

namespace tarnwick {

class String;

// Each function throws TracedException("bad_alloc", "tarnwick::<function>") when the host's memory
// manager fails (no block, or a non-zero result such as an unknown handle). Sizes are in bytes.

host::Handle allocateHandle(std::size_t size);    // cleared
host::Handle cloneHandle(host::Handle source);    // a new copy; null gives null
std::size_t getHandleSize(host::Handle handle);   // 0 for null
// Resizes keeping the smaller of the old and new contents; allocates (cleared) when handle is null.
void setHandleSize(host::Handle& handle, std::size_t size);
void disposeHandle(host::Handle& handle);   // frees and sets handle to null; null is allowed
void lockHandle(host::Handle handle);       // handles do not move here: no effect
void unlockHandle(host::Handle handle);     // no effect

host::Ptr allocatePtr(std::size_t size);   // cleared
std::size_t getPtrSize(host::Ptr ptr);     // 0 for null
void disposePtr(host::Ptr ptr);            // null is allowed

void copyMemory(void* target, const void* source, std::size_t size);   // the ranges may overlap

// Replaces handle (disposing the old one, if any) by a new one with text's UTF-8 bytes and a terminator.
// On failure the old handle is kept.
void stringToHandle(const String& text, host::Handle& handle);
host::Handle ptrToHandle(const void* bytes, std::size_t size);   // a new handle with these bytes
// Makes target hold a copy of source's bytes (resized, or allocated when null).
void handleToHandle(host::Handle source, host::Handle& target);
void handleAndHandle(host::Handle source, host::Handle& target);                // appends source's bytes
void ptrAndHandle(const void* bytes, host::Handle& target, std::size_t size);   // appends size bytes

}   // namespace tarnwick

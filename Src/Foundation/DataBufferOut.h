// DataBufferOut: buffered writer that stages output in a 61440-byte block and flushes it to a DataFile,
// a MemoryBlock, a String or a host handle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include <HostMemory.h>

#include "Foundation/DataStream.h"

namespace tarnwick {

class DataFile;
class MemoryBlock;
class String;

// Not copyable. The sink is borrowed and must outlive the writer or its close(). Output is appended:
// a file at its current position, a block, a String or a handle after what they already hold. A sink
// that refuses bytes sets kFailed; from then on writes give false and their bytes are dropped, and the
// state keeps the failure until the next open(), so a caller checks once, after close().
class DataBufferOut : public virtual DataStream {
public:
    static constexpr std::size_t kBlockSize = 61440;

    DataBufferOut();             // attached to nothing: writes give false and set kFailed until open()
    ~DataBufferOut() override;   // flushes; a failure there can only show in a file's contents

    DataBufferOut(const DataBufferOut&) = delete;
    DataBufferOut& operator=(const DataBufferOut&) = delete;

    // Each first closes a sink already attached, then attaches and clears the state. A closed file is
    // opened in its own mode, which must allow writing (false and kFailed otherwise), and closed again by
    // close(); a file that was open stays open.
    bool open(DataFile& file);
    bool open(MemoryBlock& block);
    // A String takes whole UTF-8 characters only: the first bytes of one that a flush splits wait for
    // the rest; at close() bytes that never became a character are taken as U+FFFD.
    bool open(String& text);
    bool open(host::Handle& handle);   // a null handle is allocated at the first flush
    bool isOpen() const;

    bool flush();   // hands the staged bytes to the sink; false (kFailed) when it refuses them
    bool close();   // flushes and detaches; false when the sink refused anything since open()

    // Each gives false (and nothing is written) when the writer has failed or is not attached.
    bool write(const char* bytes, std::size_t count);   // a run of bytes, staged or passed on whole
    bool write(std::string_view text);
    bool write(const char* text);   // zero-terminated; null writes nothing
    bool write(const String& text);
    bool write(char byte);
    // Decimal text; a real in its shortest form that reads back to the same value. A non-finite real
    // has no text: false with kBadData, nothing written.
    bool write(std::int32_t value);
    bool write(std::uint32_t value);
    bool write(std::int64_t value);
    bool write(std::uint64_t value);
    bool write(double value);

private:
    class Sink;   // where the bytes go; defined in the .cpp
    struct BlockDeleter {
        void operator()(char* block) const noexcept;
    };

    bool attach(std::unique_ptr<Sink> sink);
    void ensureBlock();   // the staging block is made at the first write

    std::unique_ptr<Sink> sink_;
    std::unique_ptr<char[], BlockDeleter> block_;
    std::size_t staged_ = 0;
};

}   // namespace tarnwick

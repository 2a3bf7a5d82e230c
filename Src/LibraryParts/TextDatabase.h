// TextDatabase: a small table of delimited text (tab- or comma-separated lines) with an optional header
// record: read from a memory block or a file in chunks, written back, searched by column title. The
// value lists of a parametric library part are cached in one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <HostMemory.h>

#include "Foundation/List.h"
#include "Foundation/String.h"
#include "LibraryParts/TextRecord.h"

namespace tarnwick {

class DataFile;
class MemoryBlock;

// Owns its records and its header. A line (with its line end) of more than kChunkBytes bytes is taken
// as records of kChunkBytes bytes each. An empty separator is found once a read: a tab when the text of
// its first chunk holds one, else a comma. An empty set of line ends stands for "\r\n".
class TextDatabase : public List<TextRecord> {
public:
    static constexpr std::size_t kChunkBytes = 16384;

    explicit TextDatabase(std::unique_ptr<TextRecord> header = nullptr);   // the column count: its cells
    TextDatabase(const TextDatabase& other);                               // deep
    TextDatabase& operator=(const TextDatabase&) = delete;

    // Virtual operations, in the order of the interface.
    virtual ~TextDatabase();
    // Appends the block's lines (byteCount 0: the whole block; never more than it holds). With hasHeader
    // the first record of this read becomes the header. True.
    virtual bool read(const MemoryBlock& block, bool hasHeader, std::size_t byteCount,
                      const String& separator, const String& lineEnds);
    // The same from a file, opened and always closed again; false when it cannot be opened or read.
    virtual bool read(DataFile& file, bool hasHeader, const String& separator, const String& lineEnds);
    // A new handle at `handle` (an old one there is disposed) with the header's and the records' lines and
    // one terminating zero byte. True.
    virtual bool write(host::Handle& handle, const String& separator) const;
    virtual bool write(String& text, const String& separator) const;   // appends; true
    // The file's whole content becomes the lines; false when it cannot be opened or written.
    virtual bool write(DataFile& file, const String& separator) const;
    // The first header cell equal to the title (lower-cased first unless caseSensitive); -1 when none.
    virtual std::int32_t findColumn(const String& title, bool caseSensitive) const;
    virtual TextRecord* getHeader() const { return header_.get(); }   // null when none
    virtual std::uint32_t getHeaderFieldCount() const;
    virtual std::unique_ptr<TextRecord> makeRecord() const;   // empty, with room for the column count
    virtual void setColumnCount(std::uint32_t count) { columnCount_ = count; }
    virtual void setHeader(std::unique_ptr<TextRecord> header);

    TextRecord* recordAt(std::size_t position) const;   // null past the end

private:
    // Reads `total` bytes through `take` (false: a read failed) a chunk at a time.
    bool readChunks(std::uint64_t total, const std::function<bool(char*, std::size_t)>& take, bool hasHeader,
                    const String& separator, const String& lineEnds);
    String joined(const String& separator) const;

    std::unique_ptr<TextRecord> header_;
    std::uint32_t columnCount_ = 0;
};

}   // namespace tarnwick

// DataBufferIn: buffered reader over a DataFile, a String or a block of bytes in memory, with raw
// byte reads, a bulk read, whitespace-separated tokens and typed reads of values and lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/DataStream.h"

namespace tarnwick {

class DataFile;
class MemoryBlock;
class String;

// Not copyable. Reads stop once the state holds kEndOfData or kFailed (bits 1 and 4); clearState() lets a
// caller go on after end of data only if the source has grown. A memory source (String, MemoryBlock, bytes)
// is borrowed and must neither change nor die while the reader uses it; a file source is borrowed too.
//
// Text forms of the typed reads. Whitespace is space, tab, CR, LF, VT and FF. A token is a run of other
// bytes, at most kMaxTokenBytes long; the whole token must be the value:
//   integer  optional "-" then decimal digits, within the target type's range;
//   real     decimal or scientific notation ("1.5", "-2e-3"); "inf" and "nan" are refused;
//   boolean  "1", "0", "true" or "false" (lower case);
//   string   a bare token, or text in double quotes in which \" and \\ stand for " and \ (no other
//            escapes); quoted text may hold whitespace and line breaks, up to kMaxTokenBytes bytes;
//   list     a count (unsigned, at most kMaxListItems) followed by that many items of the type.
// A typed read gives true and sets the target only when the whole value was read. With no token left it
// gives false and sets kEndOfData; for text that is not a value it sets kBadData and consumes the token;
// an over-long token or list count sets kBadData and kFailed (nothing sensible can follow it), and so
// does a list whose item fails. A failed read leaves the target unchanged.
class DataBufferIn : public virtual DataStream {
public:
    static constexpr std::size_t kDefaultBufferSize = 16384;
    static constexpr std::size_t kMaxTokenBytes = 65536;
    static constexpr std::size_t kMaxListItems = 1u << 20;

    // Reads the file from its current position. A closed file is opened in its own mode (kFailed when
    // that fails, or when the mode does not allow reading) and closed again when the reader is destroyed;
    // with closeWhenDone an open file is closed then too. A buffer size of 0 is taken as 1.
    explicit DataBufferIn(DataFile& file, std::size_t bufferSize = kDefaultBufferSize,
                          bool closeWhenDone = false);
    // Reads the String's UTF-8 bytes (without the terminator).
    explicit DataBufferIn(const String& text, std::size_t bufferSize = kDefaultBufferSize);
    DataBufferIn(const String&& text, std::size_t bufferSize = kDefaultBufferSize) = delete;   // dangles
    // Reads the block's bytes; an empty block gives end of data at the first read.
    explicit DataBufferIn(const MemoryBlock& block, std::size_t bufferSize = kDefaultBufferSize);
    DataBufferIn(const MemoryBlock&& block, std::size_t bufferSize = kDefaultBufferSize) = delete;
    // Reads a run of bytes in memory (which may hold NUL bytes).
    explicit DataBufferIn(std::string_view bytes, std::size_t bufferSize = kDefaultBufferSize);
    ~DataBufferIn() override;

    DataBufferIn(const DataBufferIn&) = delete;
    DataBufferIn& operator=(const DataBufferIn&) = delete;

    // --- Raw bytes --------------------------------------------------------------------------------
    // One byte, refilling the buffer when it is used up. Does nothing when the state stops reading; at
    // the end of the data it sets kEndOfData and leaves the target unchanged.
    DataBufferIn& operator>>(char& byte);
    DataBufferIn& operator>>(std::uint8_t& byte);
    // Up to count bytes into dest; fewer only at the end of the data (then kEndOfData is set) or when
    // the source fails (kFailed). 0 when nothing is left, on error, or when the state stops reading.
    std::size_t read(char* dest, std::size_t count);
    // What reading to the end would likely give, to size a destination: the buffered bytes and the rest
    // of a memory source, or of a file its whole size (its position is not known here). 0 when unknown.
    std::size_t getSizeHint() const;

    // --- Tokens and typed values (text forms in the class comment) ---------------------------------
    bool readToken(std::string& token);   // false at the end of the data or for an over-long token
    bool readToken(String& token);
    bool readInt32(std::int32_t& value);
    bool readUInt32(std::uint32_t& value);
    bool readInt64(std::int64_t& value);
    bool readReal(double& value);
    bool readBool(bool& value);
    bool readString(String& value);
    bool readList(std::vector<std::int32_t>& values);
    bool readList(std::vector<double>& values);
    bool readList(std::vector<String>& values);

private:
    class Source;   // where the bytes come from; defined in the .cpp
    struct BlockDeleter {
        void operator()(char* block) const noexcept;
    };

    DataBufferIn(std::unique_ptr<Source> source, std::size_t bufferSize);
    bool refill();                        // false when no byte came; sets only kFailed
    bool peekByte(char& byte);            // next byte without taking it; false at end or error
    bool takeByte(char& byte);            // false (kEndOfData or kFailed set) when none came
    bool skipWhitespace();                // false when no byte is left
    bool takeToken(std::string& token);   // bare token; false (state set) on end or overflow
    bool takeQuoted(std::string& text);   // after the opening quote
    bool takeText(std::string& text);     // bare or quoted, as readString reads it
    template <typename T, typename ReadOne>
    bool readListOf(std::vector<T>& values, ReadOne readOne);

    std::unique_ptr<Source> source_;
    std::unique_ptr<char[], BlockDeleter> buffer_;
    std::size_t bufferSize_;
    std::size_t position_ = 0;   // next unread byte of the buffer
    std::size_t filled_ = 0;     // bytes in the buffer
};

}   // namespace tarnwick

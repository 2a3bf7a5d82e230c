// LegacyBinaryIn: reads the values of the legacy binary style file: NUL-terminated 8-bit strings and
// fixed-width numbers in the byte order the file names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Foundation/DataStream.h"

namespace tarnwick {

class DataBufferIn;
class String;

// Borrows its source, which must outlive it. Copies the source's state after every read, so a failed
// read anywhere shows as a stopped state; without a source it starts failed. Numbers are swapped only
// when the file's byte order differs from this machine's.
class LegacyBinaryIn : public virtual DataStream {
public:
    enum Mode : int {
        kBigEndian = 1,      // "Mac" files; every mode other than 2 reads big-endian
        kLittleEndian = 2,   // "Win" and "Mtl" files
    };

    LegacyBinaryIn(DataBufferIn* source, int mode);

    void setMode(int mode) { mode_ = mode; }
    std::uint64_t getOffset() const { return offset_; }   // bytes taken from the source so far

    LegacyBinaryIn& readString(String& text);     // up to a NUL, which is taken; cleared first
    LegacyBinaryIn& readDateText(String& text);   // a string holding a date
    LegacyBinaryIn& readReal(double& value);
    LegacyBinaryIn& readInt32(std::int32_t& value);
    LegacyBinaryIn& readUInt32(std::uint32_t& value);
    LegacyBinaryIn& readInt16(std::int16_t& value);
    LegacyBinaryIn& readUInt16(std::uint16_t& value);
    LegacyBinaryIn& readBool(bool& value);   // non-zero is true; value set only when the read succeeded
    LegacyBinaryIn& readByte(std::uint8_t& value);

private:
    bool readBytes(char* bytes, std::size_t count);   // false when not all came
    template <typename T>
    LegacyBinaryIn& readNumber(T& value);

    DataBufferIn* source_;
    int mode_;
    std::uint64_t offset_ = 0;
};

}   // namespace tarnwick

// Typed values at byte offsets of a host record kept as bytes (element and parameter records). A value
// that would reach past the record's end is read as zero and not written.
#pragma once

#include <cstddef>
#include <cstring>
#include <span>

namespace host {

template <typename T>
T readAt(std::span<const unsigned char> record, std::size_t offset) {
    T value{};
    if (offset + sizeof value <= record.size()) std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

template <typename T>
void writeAt(std::span<unsigned char> record, std::size_t offset, const T& value) {
    if (offset + sizeof value <= record.size()) std::memcpy(record.data() + offset, &value, sizeof value);
}

}   // namespace host

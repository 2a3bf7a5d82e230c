#include "Styles/LegacyBinaryIn.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "Foundation/DataBufferIn.h"
#include "Foundation/String.h"

namespace tarnwick {

LegacyBinaryIn::LegacyBinaryIn(DataBufferIn* source, int mode) : source_(source), mode_(mode) {
    if (source_ == nullptr) setState(kFailed);
}

bool LegacyBinaryIn::readBytes(char* bytes, std::size_t count) {
    if (source_ == nullptr || !canRead()) return false;
    const std::size_t got = source_->read(bytes, count);
    offset_ += got;
    setState(source_->getState());
    if (got != count) addState(kEndOfData);   // a short read stops reading whatever the source says
    return got == count;
}

template <typename T>
LegacyBinaryIn& LegacyBinaryIn::readNumber(T& value) {
    char bytes[sizeof(T)];
    if (!readBytes(bytes, sizeof(T))) return *this;
    const bool fileIsLittle = mode_ == kLittleEndian;
    if (fileIsLittle != (std::endian::native == std::endian::little)) std::reverse(bytes, bytes + sizeof(T));
    std::memcpy(&value, bytes, sizeof(T));
    return *this;
}

LegacyBinaryIn& LegacyBinaryIn::readString(String& text) {
    text.clear();
    std::string bytes;
    char byte = 0;
    while (readBytes(&byte, 1) && byte != '\0') bytes.push_back(byte);
    text = String(std::string_view(bytes));
    return *this;
}

LegacyBinaryIn& LegacyBinaryIn::readDateText(String& text) { return readString(text); }
LegacyBinaryIn& LegacyBinaryIn::readReal(double& value) { return readNumber(value); }
LegacyBinaryIn& LegacyBinaryIn::readInt32(std::int32_t& value) { return readNumber(value); }
LegacyBinaryIn& LegacyBinaryIn::readUInt32(std::uint32_t& value) { return readNumber(value); }
LegacyBinaryIn& LegacyBinaryIn::readInt16(std::int16_t& value) { return readNumber(value); }
LegacyBinaryIn& LegacyBinaryIn::readUInt16(std::uint16_t& value) { return readNumber(value); }

LegacyBinaryIn& LegacyBinaryIn::readBool(bool& value) {
    char byte = 0;
    if (readBytes(&byte, 1)) value = byte != 0;
    return *this;
}

LegacyBinaryIn& LegacyBinaryIn::readByte(std::uint8_t& value) {
    char byte = 0;
    if (readBytes(&byte, 1)) value = static_cast<std::uint8_t>(byte);
    return *this;
}

}   // namespace tarnwick

#include "LibraryParts/TextField.h"

#include <sstream>
#include <string>

namespace tarnwick {
namespace {

template <typename T>
bool readAs(const String& text, T& value) {
    std::istringstream in{std::string(text.getView())};
    T read{};
    if (!(in >> read)) return false;
    value = read;
    return true;
}

}   // namespace

TextField::~TextField() = default;

std::unique_ptr<String> TextField::clone() const { return std::make_unique<TextField>(*this); }

bool TextField::getUInt16(std::uint16_t& value) const { return readAs(*this, value); }

bool TextField::getString(String& value) const {
    value = *this;
    return true;
}

bool TextField::getReal(double& value) const { return readAs(*this, value); }
bool TextField::getUInt32(std::uint32_t& value) const { return readAs(*this, value); }
bool TextField::getInt32(std::int32_t& value) const { return readAs(*this, value); }
bool TextField::getInt16(std::int16_t& value) const { return readAs(*this, value); }
bool TextField::getBool(bool& value) const { return readAs(*this, value); }   // "0" or "1"

void TextField::setString(const String& text) { String::operator=(text); }
void TextField::setReal(double value) { String::operator=(String(value, 0.0)); }   // no digits lost
void TextField::setUInt32(std::uint32_t value) { String::operator=(String(value)); }
void TextField::setInt32(std::int32_t value) { String::operator=(String(value)); }
void TextField::setInt16(std::int16_t value) { String::operator=(String(value)); }
void TextField::setBool(bool value) { String::operator=(String(value ? "1" : "0")); }

}   // namespace tarnwick

// TextField: one cell of a delimited text table, a String read and written as numbers the way a
// default-formatted string stream does.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/String.h"

namespace tarnwick {

// Getters skip leading white space and read decimal digits (booleans as 0 or 1); each gives false and
// leaves `value` alone when the cell does not read as one. Setters replace the text; a real is written
// as the shortest text that reads back as the same value.
class TextField : public String {
public:
    TextField() = default;
    explicit TextField(const String& text) : String(text) {}
    TextField(const TextField&) = default;
    TextField& operator=(const TextField&) = default;
    ~TextField() override;

    // Virtual operations, in the order of the interface.
    std::unique_ptr<String> clone() const override;
    virtual bool getUInt16(std::uint16_t& value) const;
    virtual bool getString(String& value) const;
    virtual bool getReal(double& value) const;
    virtual bool getUInt32(std::uint32_t& value) const;
    virtual bool getInt32(std::int32_t& value) const;
    virtual bool getInt16(std::int16_t& value) const;
    virtual bool getBool(bool& value) const;
    virtual void setString(const String& text);
    virtual void setReal(double value);
    virtual void setUInt32(std::uint32_t value);
    virtual void setInt32(std::int32_t value);
    virtual void setInt16(std::int16_t value);
    virtual void setBool(bool value);
    virtual const String& getText() const { return *this; }
    virtual bool isFieldEmpty() const { return isEmpty(); }
};

}   // namespace tarnwick

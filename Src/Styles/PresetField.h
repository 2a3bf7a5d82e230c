// PresetField: one named field of a style: its values, a one-bit flag, and the exchange of the values
// with a cell run of a library part's parameter (what a style template applies and stores).
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/String.h"

namespace tarnwick {

class Parameter;
class Setting;

// Owned by its style record; copied through clone(). While the flag is set the templates neither
// apply nor store the field's values (a library part shows the flag as 0 or 1).
class PresetField {
public:
    explicit PresetField(const String& name) : name_(name) {}
    virtual ~PresetField();

    const String& getName() const { return name_; }
    bool getFlag() const { return flag_; }
    void setFlag(bool flag) { flag_ = flag; }

    virtual std::unique_ptr<PresetField> clone() const = 0;
    // The values into the parameter's row, the first at column and the others after it (columns the
    // parameter lacks are left out). True when a cell changed.
    virtual bool applyTo(Parameter& parameter, std::uint64_t row, std::uint64_t column) const = 0;
    // As many values as the field holds (at least one) from the parameter's row, from column on.
    virtual void storeFrom(const Parameter& parameter, std::uint64_t row, std::uint64_t column) = 0;
    // A value at an index (values before it are added empty). False when the value has no form of ours.
    virtual bool setValue(const Setting& value, std::uint32_t index) = 0;
    virtual bool isEqual(const PresetField& other) const = 0;

protected:
    PresetField(const PresetField&) = default;
    PresetField& operator=(const PresetField&) = default;

private:
    String name_;
    bool flag_ = false;
};

}   // namespace tarnwick

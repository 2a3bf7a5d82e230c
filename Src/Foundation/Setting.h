// Setting: a typed value that can be read and written as any of the framework's value types, with a kind
// code and a state word. Property values, IFC values, style settings and list cells are Settings.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/DateTime.h"
#include "Foundation/String.h"

namespace tarnwick {

// The kind of a Setting; stored in files and host records, so the numbers are fixed.
enum class SettingKind : std::uint32_t {
    none = 0,      // VoidSetting: no value
    angle = 1,     // AngleSetting
    area = 2,      // AreaSetting
    boolean = 3,   // BooleanSetting
    time = 4,      // TimeSetting
    id = 5,        // IDSetting
    int32 = 6,     // Int32Setting
    int64 = 7,     // Int64Setting
    length = 8,    // LengthSetting
    real = 9,      // RealSetting
    string = 10,   // StringSetting
    volume = 11,   // VolumeSetting
};

// The state word. The host's property value statuses use the same numbers, and property code copies them
// in and out with setState.
enum class SettingState : std::uint32_t {
    notSet = 0,      // never given a value
    undefined = 1,   // the host's user-undefined status
    defined = 2,     // holds a value; every setter stores this
};

// The base of every kind, used as a virtual base. Owned through the base and deleted through the virtual
// destructor; clone gives an owned copy of the same kind.
//
// A getter of another type than the kind's own converts; where no numeric conversion applies it goes
// through the text (a text that does not parse reads as zero). A setter stores the value and state 2 and
// returns true; when the value cannot be held by the kind (a text that does not parse, a number given to
// an identifier) it returns false and changes neither value nor state.
class Setting {
public:
    virtual ~Setting();

    // The operations, in the order of the interface.
    virtual std::unique_ptr<Setting> clone() const = 0;
    // Takes another setting's value and its state word; the receiver keeps its kind. The same kind copies
    // the value as it is, another kind passes it through text. When that text does not parse for this
    // kind: an other without a defined value gives our zero value with its state; a defined one is refused
    // (false, nothing changed).
    virtual bool assign(const Setting& other);
    virtual std::int64_t getInt64() const;
    virtual DateTime getTime() const;
    virtual std::int32_t getInt32() const;
    virtual bool getBool() const;
    virtual double getReal() const;
    virtual String getText() const = 0;
    virtual bool isEqual(const Setting& other) const;   // false for settings of different kinds
    virtual bool isLess(const Setting& other) const;    // by value within a kind; else by kind code
    virtual bool isEmpty() const = 0;                   // zero, false, empty text or null identifier
    virtual SettingKind getKind() const = 0;
    virtual SettingState getState() const;
    virtual void clear();   // the kind's zero value and state 0
    virtual bool setInt64(std::int64_t value);
    virtual bool setTime(const DateTime& value);
    virtual bool setInt32(std::int32_t value);
    virtual bool setBool(bool value);
    virtual bool setReal(double value);
    virtual bool setText(const String& text) = 0;   // parsed by the kind's rules

    void setState(SettingState state) { state_ = state; }   // for property code; the value is untouched

protected:
    explicit Setting(SettingState state = SettingState::notSet) : state_(state) {}
    Setting(const Setting&) = default;
    Setting& operator=(const Setting&) = default;

    // Copies the value of a setting of the same kind as this one; state is handled by the caller.
    virtual void copyValue(const Setting& other) = 0;
    virtual void clearValue() = 0;
    // Whether this kind's value orders before the other's; only called with a setting of the same kind.
    virtual bool isValueLess(const Setting& other) const = 0;
    virtual bool isValueEqual(const Setting& other) const = 0;

    void markDefined() { state_ = SettingState::defined; }

    // The boolean text rules: empty or "false" (any case) is false, "true" (any case) is true, any other
    // text is read as a number, not zero being true. False when it is none of these.
    static bool readBoolText(const String& text, bool& value);
    // Decimal 64-bit integer with an optional sign, blanks around it at most. False and 0 otherwise.
    static bool readInt64Text(const String& text, std::int64_t& value);

private:
    SettingState state_;
};

}   // namespace tarnwick

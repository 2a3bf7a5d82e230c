// Parameter: one named parameter of a library part (a GDL object, door, window, lamp): a name, a
// description, the host's type code and a row-major grid of typed values. Every kind is a small class
// over ParameterForm<T>, which holds the values; parameters are compared, copied and merged cell by cell,
// which is what carries values from one library part to another.
#pragma once

#include <cstdint>
#include <memory>

#include <HostParameters.h>
#include <HostRecords.h>

#include "Foundation/String.h"

namespace tarnwick {

class Setting;

// The host's parameter type codes; stored in host records, so the numbers are fixed.
enum class ParameterType : std::int32_t {
    integer = 1,       // IntegerParameter (and LongParameter for command parameters)
    length = 2,        // LengthParameter
    angle = 3,         // AngleParameter
    real = 4,          // RealParameter
    lightSwitch = 5,   // SwitchParameter
    colour = 6,        // ColourParameter
    intensity = 7,     // IntensityParameter
    lineStyle = 8,     // LineStyleParameter
    finish = 9,        // FinishParameter
    fill = 10,         // FillParameter
    pen = 11,          // PenParameter
    string = 12,       // StringParameter
    boolean = 13,      // BooleanParameter
    separator = 14,    // SeparatorParameter
    title = 15,        // TitleParameter
    material = 16,     // MaterialParameter
};

// The kind of an add-on command parameter record; stored in host records.
enum class CommandParameterKind : std::int32_t {
    string = 1,    // the string field
    integer = 2,   // the integer field
    real = 3,      // the real field
};

// Abstract; owned by its ParameterList (or by the caller of a factory); copied through clone(). Rows and
// columns are 0-based. A stored column count of 0 is a scalar (one value); n >= 1 an array of n columns.
// getColumnCount() is the stored count or 1 for a scalar; getRowCount() is the values / getColumnCount().
//
// The base itself holds no values: its value operations are those of a parameter without values (Title
// and Separator), and ParameterForm<T> overrides them. Cell access outside the grid throws
// TracedException "out_of_range" from Parameter::getValueIndex; only writes grow an array.
class Parameter {
public:
    // From parts: the column count is stored when above 1, else it is 1 with the array flag and 0 without.
    Parameter(const String& name, const String& description, std::uint16_t flags, std::uint64_t columns,
              std::uint16_t index, bool array);
    // Name, description, index and flags of a host record; an array record's second dimension (at least
    // 1) as the column count.
    explicit Parameter(const host::ParameterRecord& record);
    // Name, index and flag of a command record; empty description; a scalar.
    explicit Parameter(const host::CommandParameterRecord& record);
    Parameter(const Parameter& other) = default;
    Parameter& operator=(const Parameter&) = delete;

    // --- Virtual operations, in the order of the interface ---------------------------------------
    virtual ~Parameter();
    virtual std::unique_ptr<Parameter> clone() const = 0;
    virtual String getText(std::uint64_t row, std::uint64_t column) const;   // "" outside the grid
    // A new value object holding the cell; zero, false or "" outside the grid (which it never grows);
    // null for a parameter without values.
    virtual std::unique_ptr<Setting> makeSetting(std::uint64_t row, std::uint64_t column) const;
    virtual std::uint64_t getRowCount() const;   // 1 without values
    virtual std::uint64_t getColumnCount() const { return columnCount_ == 0 ? 1 : columnCount_; }
    virtual ParameterType getType() const = 0;
    virtual CommandParameterKind getCommandKind() const = 0;
    virtual void setArray(bool array);
    virtual bool setRowCount(std::uint64_t rows);         // false: a scalar cannot have other rows
    virtual bool setColumnCount(std::uint64_t columns);   // false: a scalar cannot lose columns
    virtual void setText(const String& text, std::uint64_t row, std::uint64_t column);
    virtual void setCell(const Setting& value, std::uint64_t row, std::uint64_t column);
    // Shape and values of a parameter of the same class; false (nothing changed) for another type or
    // value type, or another row or column count that the flags do not allow.
    virtual bool copyFrom(const Parameter& other, bool resizeRows, bool resizeColumns);
    virtual void reset();   // zero values, same shape
    // The three-way merge of the carry-over: this is the current parameter, newer and older the
    // parameters of the new and old definition. A cell still holding the old value takes the new one; a
    // cell the user changed keeps its value; cells the old definition lacked take the new value.
    virtual void merge(const Parameter& newer, const Parameter& older);
    virtual bool isEqual(const Parameter& other) const;   // same type, shape and (exactly) values
    virtual bool isDifferent(const Parameter& other) const { return !isEqual(other); }
    // Host records: the cell into a change record (an array's row and column 1-based); the first value
    // into an add-on command record; the whole parameter into a parameter record (arrays in a new handle
    // that the record then holds). False when the value cannot go into the record.
    virtual bool toHostChange(host::ParameterChangeRecord& record, std::uint64_t row, std::uint64_t column);
    virtual bool toCommandParameter(host::CommandParameterRecord& record) const;
    virtual bool toHostParameter(host::ParameterRecord& record) const;
    virtual bool store(host::CommandParameterRecord& record) const;   // the first value, by the record's kind
    virtual bool storeCell(host::ParameterChangeRecord& record, std::uint64_t row, std::uint64_t column);
    virtual bool pack(host::ParameterRecord& record) const;            // by the record's type modifier
    virtual bool append(const host::CommandParameterRecord& record);   // one value from the record
    virtual bool unpack(const host::ParameterRecord& record);          // the record's values after ours
    virtual bool addRows(std::uint64_t rows);                          // false for a scalar
    virtual void setColumnCountRaw(std::uint64_t columns) { columnCount_ = columns; }

    // --- Non-virtual ----------------------------------------------------------------------------
    // Whether the cell is in the grid; for an array a row past the end is first appended (zero rows).
    bool isValidIndex(std::uint64_t row, std::uint64_t column);
    // row * getColumnCount() + column once isValidIndex holds; throws TracedException "out_of_range"
    // ("Parameter::getValueIndex") otherwise.
    std::uint64_t getValueIndex(std::uint64_t row, std::uint64_t column);
    // Whether the cell lies in the grid as it is (reads never grow it).
    bool holdsCell(std::uint64_t row, std::uint64_t column) const {
        return column < getColumnCount() && row < getRowCount();
    }
    bool isArray() const { return columnCount_ > 0; }

    const String& getName() const { return name_; }
    void setName(const String& name) { name_ = name; }
    const String& getDescription() const { return description_; }
    void setDescription(const String& description) { description_ = description; }
    std::uint16_t getFlags() const { return flags_; }
    void setFlags(std::uint16_t flags) { flags_ = flags; }
    std::uint16_t getIndex() const { return index_; }
    void setIndex(std::uint16_t index) { index_ = index; }

    // --- Factories (the result is owned by the caller) -------------------------------------------
    // By the record's type code 1 to 16 (code 1 an IntegerParameter); null for any other code.
    static std::unique_ptr<Parameter> create(const host::ParameterRecord& record);
    // By the record's kind: 1 StringParameter, 2 LongParameter, 3 RealParameter; null for any other.
    static std::unique_ptr<Parameter> createFromCommand(const host::CommandParameterRecord& record);

    // A real of a host record or a text as a 32-bit integer: truncated toward zero, the lowest 32-bit
    // value when out of range or not a number.
    static std::int32_t realToInt32(double real);
    // A text as a real: a number as it reads (also an infinite one, which setText then ignores), else 0.
    static double parseReal(const String& text);

protected:
    virtual bool holdsValues() const { return false; }
    // The process-wide buffer of 256 16-bit units that change records point to for a text cell, now
    // holding the text (cut to fit, terminated). A change record must reach the host before the next.
    static const char16_t* changeText(const String& text);
    std::uint64_t getColumnCountRaw() const { return columnCount_; }

private:
    String name_;
    String description_;
    std::uint64_t columnCount_;   // 0: a scalar
    std::uint16_t flags_;         // the host record's flag word, carried
    std::uint16_t index_;         // the host's parameter index, carried
};

}   // namespace tarnwick

// ParameterForm<T>: the parameter kinds that hold values, a row-major grid of T (bool, 16-bit and 32-bit
// integers, double or String). The kind classes over it add only their type code, command kind and
// value object.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Foundation/String.h"
#include "LibraryParts/Parameter.h"

namespace tarnwick {

// Instantiated for bool (one bit a value), std::int16_t, std::int32_t, double and String. The grid
// always holds getRowCount() * getColumnCount() values; a scalar holds one.
template <typename T>
class ParameterForm : public Parameter {
public:
    ParameterForm(const String& name, const String& description, std::uint16_t flags, std::uint64_t columns,
                  std::uint16_t index, bool array);   // one row of zero values
    // Room for the record's values, then unpack (its result is not kept: a bad record leaves no values,
    // which the reader then refuses).
    explicit ParameterForm(const host::ParameterRecord& record);
    explicit ParameterForm(const host::CommandParameterRecord& record);   // one value: append
    ParameterForm(const ParameterForm& other) = default;
    ~ParameterForm() override;

    String getText(std::uint64_t row, std::uint64_t column) const override;
    std::unique_ptr<Setting> makeSetting(std::uint64_t row, std::uint64_t column) const override;
    std::uint64_t getRowCount() const override;
    bool setRowCount(std::uint64_t rows) override;
    bool setColumnCount(std::uint64_t columns) override;
    void setText(const String& text, std::uint64_t row, std::uint64_t column) override;
    void setCell(const Setting& value, std::uint64_t row, std::uint64_t column) override;
    bool copyFrom(const Parameter& other, bool resizeRows, bool resizeColumns) override;
    void reset() override;
    void merge(const Parameter& newer, const Parameter& older) override;   // cells compared directly
    bool isEqual(const Parameter& other) const override;
    bool store(host::CommandParameterRecord& record) const override;
    bool storeCell(host::ParameterChangeRecord& record, std::uint64_t row, std::uint64_t column) override;
    bool pack(host::ParameterRecord& record) const override;
    bool append(const host::CommandParameterRecord& record) override;
    bool unpack(const host::ParameterRecord& record) override;
    bool addRows(std::uint64_t rows) override;

    // The value at the cell; throws TracedException "out_of_range" outside the grid.
    virtual T get(std::uint64_t row, std::uint64_t column) const;
    // Stores the value as it is, growing an array to reach the row.
    virtual void set(T value, std::uint64_t row, std::uint64_t column);
    // The same, except that a real that is infinite or not a number is ignored (the cell keeps its value).
    virtual void setChecked(const T& value, std::uint64_t row, std::uint64_t column);
    virtual void addColumns(
        std::uint64_t columns);   // zero values after each row's; a scalar becomes an array

    const std::vector<T>& getValues() const { return values_; }

protected:
    bool holdsValues() const override { return true; }
    // An empty value object of the kind's own; the form's default by its value type.
    virtual std::unique_ptr<Setting> makeValueObject() const;

private:
    void rebuild(std::uint64_t rows, std::uint64_t columns);                 // keeps each row's first values
    void storeAt(const T& value, std::uint64_t row, std::uint64_t column);   // setCell without a Setting

    std::vector<T> values_;
};

extern template class ParameterForm<bool>;
extern template class ParameterForm<std::int16_t>;
extern template class ParameterForm<std::int32_t>;
extern template class ParameterForm<double>;
extern template class ParameterForm<String>;

}   // namespace tarnwick

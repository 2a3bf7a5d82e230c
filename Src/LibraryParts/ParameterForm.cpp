#include "LibraryParts/ParameterForm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#include "Foundation/BooleanSetting.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/Memory.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TracedException.h"

namespace tarnwick {
namespace {

// Arrays grow only when written, and never past this many cells: a row or column number far beyond
// any part's parameters (such as an "all rows" selector) is outside the grid, not an allocation.
constexpr std::uint64_t kMaxCells = std::uint64_t{1} << 24;

template <typename T>
constexpr bool kIsText = std::is_same_v<T, String>;

template <typename T>
String textOf(const T& value) {
    if constexpr (std::is_same_v<T, bool>)
        return String(value ? "1" : "0");
    else if constexpr (std::is_same_v<T, double>)
        return String(value, 0.0);   // the shortest text that reads back as the same value
    else if constexpr (kIsText<T>)
        return value;
    else
        return String(static_cast<std::int32_t>(value));
}

template <typename T>
T valueOfText(const String& text) {
    if constexpr (std::is_same_v<T, bool>) {
        return !(text == "0");
    } else if constexpr (std::is_same_v<T, double>) {
        return Parameter::parseReal(text);
    } else if constexpr (kIsText<T>) {
        return text;
    } else {
        std::int32_t value = 0;
        parseInt32(text, value);   // 0 when it is no number
        return static_cast<T>(value);
    }
}

// A number of a host record to the value type: integers truncated toward zero (the lowest 32-bit value
// when out of range), 16-bit forms keeping the low 16 bits; booleans true when not 0.
template <typename T>
T fromReal(double real) {
    if constexpr (std::is_same_v<T, bool>)
        return !(real >= 0.0 && real <= 0.0);
    else if constexpr (std::is_same_v<T, double>)
        return real;
    else
        return static_cast<T>(Parameter::realToInt32(real));
}

template <typename T>
double toReal(const T& value) {
    if constexpr (std::is_same_v<T, bool>)
        return value ? 1.0 : 0.0;
    else
        return static_cast<double>(value);
}

template <typename T>
std::int32_t toInt32(const T& value) {
    if constexpr (std::is_same_v<T, double>)
        return Parameter::realToInt32(value);
    else
        return static_cast<std::int32_t>(value);
}

template <typename T>
T valueOf(const Setting& setting) {
    if constexpr (std::is_same_v<T, bool>)
        return setting.getBool();
    else if constexpr (std::is_same_v<T, double>)
        return setting.getReal();
    else if constexpr (kIsText<T>)
        return setting.getText();
    else
        return static_cast<T>(setting.getInt32());
}

// Cell values as their value objects compare them: reals within the real setting's tolerance.
template <typename T>
bool isSameSetting(const T& a, const T& b) {
    if constexpr (std::is_same_v<T, double>)
        return std::abs(a - b) <= RealSetting::kTolerance;
    else
        return a == b;
}

template <typename T>
bool isEqualValue(const T& a, const T& b) {
    if constexpr (std::is_same_v<T, double>)
        return std::equal_to<double>()(a, b);   // exact: a value that is not a number never equals
    else
        return a == b;
}

// The zero-terminated UTF-16 text at units[0...], at most `limit` units; `used` receives the units read
// with the terminator (limit when there is none).
String readUniText(const char16_t* units, std::size_t limit, std::size_t& used) {
    std::size_t length = 0;
    while (length < limit && units[length] != 0) ++length;
    used = length < limit ? length + 1 : limit;
    return String(std::u16string_view(units, length));
}

}   // namespace

// --- Construction ----------------------------------------------------------------------------------
template <typename T>
ParameterForm<T>::ParameterForm(const String& name, const String& description, std::uint16_t flags,
                                std::uint64_t columns, std::uint16_t index, bool array)
    : Parameter(name, description, flags, columns, index, array), values_(getColumnCount(), T{}) {}

template <typename T>
ParameterForm<T>::ParameterForm(const host::ParameterRecord& record) : Parameter(record) {
    if (record.modifier == host::kParameterArray && record.rows > 0 && record.columns > 0)
        values_.reserve(
            std::min<std::uint64_t>(std::uint64_t(record.rows) * std::uint64_t(record.columns), kMaxCells));
    unpack(record);
}

template <typename T>
ParameterForm<T>::ParameterForm(const host::CommandParameterRecord& record) : Parameter(record) {
    append(record);
}

template <typename T>
ParameterForm<T>::~ParameterForm() = default;

// --- Cells -----------------------------------------------------------------------------------------
template <typename T>
String ParameterForm<T>::getText(std::uint64_t row, std::uint64_t column) const {
    if (!holdsCell(row, column)) return String();
    return textOf(values_[row * getColumnCount() + column]);
}

template <typename T>
std::unique_ptr<Setting> ParameterForm<T>::makeSetting(std::uint64_t row, std::uint64_t column) const {
    std::unique_ptr<Setting> setting = makeValueObject();
    const T value = holdsCell(row, column) ? values_[row * getColumnCount() + column] : T{};
    if constexpr (std::is_same_v<T, bool>)
        setting->setBool(value);
    else if constexpr (std::is_same_v<T, double>)
        setting->setReal(value);
    else if constexpr (kIsText<T>)
        setting->setText(value);
    else
        setting->setInt32(value);
    return setting;
}

template <typename T>
std::unique_ptr<Setting> ParameterForm<T>::makeValueObject() const {
    if constexpr (std::is_same_v<T, bool>)
        return std::make_unique<BooleanSetting>();
    else if constexpr (std::is_same_v<T, double>)
        return std::make_unique<RealSetting>();
    else if constexpr (kIsText<T>)
        return std::make_unique<StringSetting>();
    else
        return std::make_unique<Int32Setting>();
}

template <typename T>
T ParameterForm<T>::get(std::uint64_t row, std::uint64_t column) const {
    if (!holdsCell(row, column)) throw TracedException("out_of_range", "Parameter::getValueIndex");
    return values_[row * getColumnCount() + column];
}

template <typename T>
void ParameterForm<T>::set(T value, std::uint64_t row, std::uint64_t column) {
    values_[getValueIndex(row, column)] = std::move(value);
}

template <typename T>
void ParameterForm<T>::setChecked(const T& value, std::uint64_t row, std::uint64_t column) {
    if constexpr (std::is_same_v<T, double>)
        if (!std::isfinite(value)) return;
    values_[getValueIndex(row, column)] = value;
}

template <typename T>
void ParameterForm<T>::setText(const String& text, std::uint64_t row, std::uint64_t column) {
    setChecked(valueOfText<T>(text), row, column);
}

template <typename T>
void ParameterForm<T>::setCell(const Setting& value, std::uint64_t row, std::uint64_t column) {
    storeAt(valueOf<T>(value), row, column);
}

template <typename T>
void ParameterForm<T>::storeAt(const T& value, std::uint64_t row, std::uint64_t column) {
    if (column >= getColumnCount()) setColumnCount(column + 1);
    if (row >= getRowCount()) setRowCount(row + 1);
    setChecked(value, row, column);
}

// The three-way merge of Parameter::merge, taking the values straight from forms of our own kind
// instead of through value objects: a part switch merges every cell of every parameter.
template <typename T>
void ParameterForm<T>::merge(const Parameter& newer, const Parameter& older) {
    const auto* fresh = dynamic_cast<const ParameterForm<T>*>(&newer);
    const auto* old = dynamic_cast<const ParameterForm<T>*>(&older);
    if (fresh == nullptr || old == nullptr || newer.getType() != getType() || older.getType() != getType())
        return Parameter::merge(newer, older);
    if (fresh->isArray() && !isArray()) {
        setColumnCountRaw(1);
    } else if (!fresh->isArray() && isArray()) {
        setRowCount(1);
        setColumnCount(0);
    }
    const std::uint64_t columns = fresh->getColumnCount();
    const std::uint64_t rows = fresh->getRowCount();
    const std::uint64_t oldColumns = old->getColumnCount();
    const std::uint64_t oldRows = old->getRowCount();
    for (std::uint64_t c = 0; c < columns; ++c) {
        if (c >= oldColumns && c >= getColumnCount()) setColumnCount(getColumnCount() + 1);
        for (std::uint64_t r = 0; r < rows; ++r) {
            if (r >= oldRows && r >= getRowCount()) addRows(1);
            const T& value = fresh->values_[r * columns + c];
            if (r >= oldRows || c >= oldColumns || !holdsCell(r, c) ||
                isSameSetting<T>(values_[r * getColumnCount() + c], old->values_[r * oldColumns + c]))
                storeAt(value, r, c);
        }
    }
}

// --- Shape -----------------------------------------------------------------------------------------
template <typename T>
std::uint64_t ParameterForm<T>::getRowCount() const {
    return values_.size() / getColumnCount();
}

template <typename T>
bool ParameterForm<T>::addRows(std::uint64_t rows) {
    if (!isArray()) return false;
    if ((getRowCount() + rows) * getColumnCount() > kMaxCells) return false;
    values_.resize(values_.size() + rows * getColumnCount(), T{});
    return true;
}

template <typename T>
bool ParameterForm<T>::setRowCount(std::uint64_t rows) {
    rows = std::max<std::uint64_t>(rows, 1);
    const std::uint64_t current = getRowCount();
    if (rows == current) return true;
    if (rows > current) return addRows(rows - current);
    if (!isArray()) return false;
    values_.resize(rows * getColumnCount());
    return true;
}

template <typename T>
void ParameterForm<T>::addColumns(std::uint64_t columns) {
    const std::uint64_t total = getColumnCount() + columns;
    rebuild(getRowCount(), total);
    setColumnCountRaw(total);
}

template <typename T>
bool ParameterForm<T>::setColumnCount(std::uint64_t columns) {
    const std::uint64_t current = getColumnCount();
    if (columns == current) return true;
    if (columns > current) {
        if (std::max<std::uint64_t>(getRowCount(), 1) * columns > kMaxCells) return false;
        addColumns(columns - current);
        return true;
    }
    if (!isArray()) return false;
    rebuild(std::max<std::uint64_t>(getRowCount(), 1), std::max<std::uint64_t>(columns, 1));
    setColumnCountRaw(columns);   // 0: a scalar holding the first column of every row
    return true;
}

template <typename T>
void ParameterForm<T>::rebuild(std::uint64_t rows, std::uint64_t columns) {
    const std::uint64_t oldColumns = getColumnCount();
    const std::uint64_t kept = std::min(oldColumns, columns);
    std::vector<T> grid(rows * columns, T{});
    for (std::uint64_t r = 0; r < rows; ++r)
        for (std::uint64_t c = 0; c < kept; ++c)
            if (r * oldColumns + c < values_.size()) grid[r * columns + c] = values_[r * oldColumns + c];
    values_ = std::move(grid);
}

template <typename T>
void ParameterForm<T>::reset() {
    const std::uint64_t count = getRowCount() * getColumnCount();
    values_.assign(count, T{});
}

// --- Copy and comparison ---------------------------------------------------------------------------
template <typename T>
bool ParameterForm<T>::copyFrom(const Parameter& other, bool resizeRows, bool resizeColumns) {
    const auto* form = dynamic_cast<const ParameterForm<T>*>(&other);
    if (form == nullptr || other.getType() != getType()) return false;
    if (!resizeRows && getRowCount() != other.getRowCount()) return false;
    if (!resizeColumns && getColumnCount() != other.getColumnCount()) return false;
    // An array taking a scalar's value stays an array of one column; a scalar taking several values
    // becomes an array, since a scalar holds one value.
    if (isArray() || form->values_.size() > 1) setColumnCountRaw(other.getColumnCount());
    values_ = form->values_;
    return true;
}

template <typename T>
bool ParameterForm<T>::isEqual(const Parameter& other) const {
    const auto* form = dynamic_cast<const ParameterForm<T>*>(&other);
    if (form == nullptr || other.getType() != getType()) return false;
    if (getColumnCount() != other.getColumnCount() || getRowCount() != other.getRowCount()) return false;
    return std::equal(values_.begin(), values_.end(), form->values_.begin(), form->values_.end(),
                      [](const T& a, const T& b) { return isEqualValue(a, b); });
}

// --- Host records ----------------------------------------------------------------------------------
template <typename T>
bool ParameterForm<T>::store(host::CommandParameterRecord& record) const {
    if (values_.empty()) return false;
    if constexpr (kIsText<T>) {
        const std::string_view text = values_.front().getView();
        record.text = allocatePtr(text.size() + 1);
        std::memcpy(record.text, text.data(), text.size());
        return true;
    } else {
        if (record.kind == static_cast<std::int32_t>(CommandParameterKind::integer)) {
            record.integer = toInt32(values_.front());
            return true;
        }
        if (record.kind == static_cast<std::int32_t>(CommandParameterKind::real)) {
            record.real = toReal(values_.front());
            return true;
        }
        return false;
    }
}

template <typename T>
bool ParameterForm<T>::append(const host::CommandParameterRecord& record) {
    if constexpr (kIsText<T>) {
        values_.push_back(record.text != nullptr ? String(static_cast<const char*>(record.text)) : String());
        return true;
    } else {
        const bool integer = record.kind == static_cast<std::int32_t>(CommandParameterKind::integer);
        if (!integer && record.kind != static_cast<std::int32_t>(CommandParameterKind::real)) return false;
        if constexpr (std::is_same_v<T, double>)
            values_.push_back(integer ? static_cast<double>(record.integer) : record.real);
        else if constexpr (std::is_same_v<T, bool>)
            values_.push_back(integer ? record.integer != 0 : fromReal<bool>(record.real));
        else
            values_.push_back(integer ? static_cast<T>(record.integer) : fromReal<T>(record.real));
        return true;
    }
}

template <typename T>
bool ParameterForm<T>::storeCell(host::ParameterChangeRecord& record, std::uint64_t row,
                                 std::uint64_t column) {
    const T value = get(row, column);
    if constexpr (kIsText<T>) {
        record.text = changeText(value);
    } else {
        record.real = toReal(value);
    }
    return true;
}

template <typename T>
bool ParameterForm<T>::pack(host::ParameterRecord& record) const {
    if (values_.empty()) return false;
    if (record.modifier == host::kParameterScalar) {
        if constexpr (kIsText<T>)
            values_.front().copyToUniChars(record.value.text, host::kParameterTextChars);
        else
            record.value.real = toReal(values_.front());
        return true;
    }
    if (record.modifier != host::kParameterArray) return false;
    if constexpr (kIsText<T>) {
        // Each text in UTF-16 code units with its terminator: a character beyond the BMP takes two.
        std::u16string units;
        for (const String& value : values_) {
            units += value.toUniString();
            units.push_back(u'\0');
        }
        record.value.array = allocateHandle(units.size() * sizeof(char16_t));
        std::memcpy(*record.value.array, units.data(), units.size() * sizeof(char16_t));
    } else {
        record.value.array = allocateHandle(values_.size() * sizeof(double));
        for (std::size_t i = 0; i < values_.size(); ++i) {
            const double real = toReal(values_[i]);
            std::memcpy(*record.value.array + i * sizeof(double), &real, sizeof real);
        }
    }
    return true;
}

template <typename T>
bool ParameterForm<T>::unpack(const host::ParameterRecord& record) {
    if (record.modifier == host::kParameterScalar) {
        if constexpr (kIsText<T>) {
            std::size_t used = 0;
            values_.push_back(readUniText(record.value.text, host::kParameterTextChars, used));
        } else {
            values_.push_back(fromReal<T>(record.value.real));
        }
        return true;
    }
    if (record.modifier != host::kParameterArray) return false;
    const host::Handle array = record.value.array;
    const std::size_t start = values_.size();
    const std::size_t size = getHandleSize(array);
    if (size == 0) return false;
    const std::uint64_t count = std::min<std::uint64_t>(
        std::uint64_t(std::max(record.rows, 1)) * std::uint64_t(std::max(record.columns, 1)), kMaxCells);
    if constexpr (kIsText<T>) {
        // The texts found are kept; a handle that holds fewer than the dimensions say is padded.
        const auto* units = reinterpret_cast<const char16_t*>(*array);
        const std::size_t total = size / sizeof(char16_t);
        std::size_t at = 0;
        for (std::uint64_t i = 0; i < count && at < total; ++i) {
            std::size_t used = 0;
            values_.push_back(readUniText(units + at, total - at, used));
            at += used;
        }
    } else {
        // Never past the handle: the values it lacks are zero.
        const std::uint64_t held = std::min<std::uint64_t>(count, size / sizeof(double));
        for (std::uint64_t i = 0; i < held; ++i) {
            double real = 0.0;
            std::memcpy(&real, *array + i * sizeof(double), sizeof real);
            values_.push_back(fromReal<T>(real));
        }
    }
    values_.resize(start + count, T{});
    return true;
}

template class ParameterForm<bool>;
template class ParameterForm<std::int16_t>;
template class ParameterForm<std::int32_t>;
template class ParameterForm<double>;
template class ParameterForm<String>;

}   // namespace tarnwick

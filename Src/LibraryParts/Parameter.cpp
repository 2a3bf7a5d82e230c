#include "LibraryParts/Parameter.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "Foundation/Memory.h"
#include "Foundation/Setting.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/AngleParameter.h"
#include "LibraryParts/BooleanParameter.h"
#include "LibraryParts/ColourParameter.h"
#include "LibraryParts/FillParameter.h"
#include "LibraryParts/FinishParameter.h"
#include "LibraryParts/IntegerParameter.h"
#include "LibraryParts/IntensityParameter.h"
#include "LibraryParts/LengthParameter.h"
#include "LibraryParts/LineStyleParameter.h"
#include "LibraryParts/LongParameter.h"
#include "LibraryParts/MaterialParameter.h"
#include "LibraryParts/PenParameter.h"
#include "LibraryParts/RealParameter.h"
#include "LibraryParts/SeparatorParameter.h"
#include "LibraryParts/StringParameter.h"
#include "LibraryParts/SwitchParameter.h"
#include "LibraryParts/TitleParameter.h"

namespace tarnwick {
namespace {

// A number change carries the empty text: this buffer is zero and never written.
constexpr std::array<char16_t, host::kParameterTextChars> kNoText{};
// The text of the last text cell put into a change record; shared by all of them.
std::array<char16_t, host::kParameterTextChars> changeTextBuffer{};

template <std::size_t N>
String fieldText(const char (&field)[N]) {
    return String(field, static_cast<std::uint32_t>(strnlen(field, N)));
}

template <std::size_t N>
String fieldText(const char16_t (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != 0) ++length;
    return String(std::u16string_view(field, length));
}

}   // namespace

// --- Construction ----------------------------------------------------------------------------------
Parameter::Parameter(const String& name, const String& description, std::uint16_t flags,
                     std::uint64_t columns, std::uint16_t index, bool array)
    : name_(name),
      description_(description),
      columnCount_(columns > 1 ? columns : (array ? 1 : 0)),
      flags_(flags),
      index_(index) {}

Parameter::Parameter(const host::ParameterRecord& record)
    : name_(fieldText(record.name)),
      description_(fieldText(record.description)),
      // An array record always has columns, also when its second dimension says 0.
      columnCount_(record.modifier == host::kParameterArray ? std::uint64_t(std::max(record.columns, 1)) : 0),
      flags_(record.flags),
      index_(static_cast<std::uint16_t>(record.index)) {}

Parameter::Parameter(const host::CommandParameterRecord& record)
    : name_(record.name != nullptr ? String(static_cast<const char*>(record.name)) : String()),
      columnCount_(0),
      flags_(record.flag),
      index_(static_cast<std::uint16_t>(record.index)) {}

Parameter::~Parameter() = default;

// --- A parameter without values (Title, Separator); the forms override these -------------------------
String Parameter::getText(std::uint64_t, std::uint64_t) const { return String(); }
std::unique_ptr<Setting> Parameter::makeSetting(std::uint64_t, std::uint64_t) const { return nullptr; }
std::uint64_t Parameter::getRowCount() const { return 1; }
bool Parameter::setRowCount(std::uint64_t) { return false; }
bool Parameter::setColumnCount(std::uint64_t) { return false; }
void Parameter::setText(const String&, std::uint64_t, std::uint64_t) {}
void Parameter::setCell(const Setting&, std::uint64_t, std::uint64_t) {}
bool Parameter::copyFrom(const Parameter& other, bool, bool) { return other.getType() == getType(); }
void Parameter::reset() {}
bool Parameter::isEqual(const Parameter& other) const { return other.getType() == getType(); }
bool Parameter::store(host::CommandParameterRecord&) const { return true; }
bool Parameter::storeCell(host::ParameterChangeRecord&, std::uint64_t, std::uint64_t) { return true; }
bool Parameter::pack(host::ParameterRecord&) const { return true; }
bool Parameter::append(const host::CommandParameterRecord&) { return true; }
bool Parameter::unpack(const host::ParameterRecord&) { return true; }
bool Parameter::addRows(std::uint64_t) { return false; }

// --- Shape -----------------------------------------------------------------------------------------
void Parameter::setArray(bool array) {
    if (isArray() == array) return;
    if (array) {
        setColumnCount(2);
    } else {
        setRowCount(1);   // while still an array: a scalar may not drop rows
        setColumnCount(0);
    }
}

bool Parameter::isValidIndex(std::uint64_t row, std::uint64_t column) {
    if (column >= getColumnCount()) return false;
    const std::uint64_t rows = getRowCount();
    if (row < rows) return true;
    if (!isArray()) return false;
    return addRows(row - rows + 1);
}

std::uint64_t Parameter::getValueIndex(std::uint64_t row, std::uint64_t column) {
    if (!isValidIndex(row, column)) throw TracedException("out_of_range", "Parameter::getValueIndex");
    return row * getColumnCount() + column;
}

// --- Merge -----------------------------------------------------------------------------------------
void Parameter::merge(const Parameter& newer, const Parameter& older) {
    // 1., 2.
    if (!holdsValues() || newer.getType() != getType()) return;
    if (older.getType() != newer.getType()) {
        copyFrom(newer, true, true);
        return;
    }
    // A parameter that became an array (or a scalar) in the new definition takes that form first, with
    // its first cells, so that rows can be added (or the extra ones go).
    if (newer.isArray() && !isArray()) {
        setColumnCountRaw(1);
    } else if (!newer.isArray() && isArray()) {
        setRowCount(1);
        setColumnCount(0);
    }
    // 3. Cell by cell: a cell still at the old value takes the new one; one the user changed stays.
    const std::uint64_t columns = newer.getColumnCount();
    const std::uint64_t rows = newer.getRowCount();
    const std::uint64_t oldColumns = older.getColumnCount();
    const std::uint64_t oldRows = older.getRowCount();
    for (std::uint64_t c = 0; c < columns; ++c) {
        if (c >= oldColumns && c >= getColumnCount()) setColumnCount(getColumnCount() + 1);
        for (std::uint64_t r = 0; r < rows; ++r) {
            if (r >= oldRows && r >= getRowCount()) addRows(1);
            const std::unique_ptr<Setting> value = newer.makeSetting(r, c);
            if (!value) continue;
            if (r >= oldRows || c >= oldColumns || !holdsCell(r, c)) {
                setCell(*value, r, c);
                continue;
            }
            const std::unique_ptr<Setting> oldValue = older.makeSetting(r, c);
            const std::unique_ptr<Setting> current = makeSetting(r, c);
            if (!oldValue || current->isEqual(*oldValue)) setCell(*value, r, c);
        }
    }
}

// --- Host records ----------------------------------------------------------------------------------
bool Parameter::toHostChange(host::ParameterChangeRecord& record, std::uint64_t row, std::uint64_t column) {
    std::memset(&record, 0, sizeof record);
    record.text = kNoText.data();
    name_.copyTo(record.name, sizeof record.name);   // never splits a character
    record.index = static_cast<std::int16_t>(index_);
    record.row = static_cast<std::int32_t>(row);
    record.column = static_cast<std::int32_t>(column);
    const bool stored = storeCell(record, row, column);
    if (isArray()) {
        ++record.row;
        ++record.column;
    }
    return stored;
}

bool Parameter::toCommandParameter(host::CommandParameterRecord& record) const {
    std::memset(&record, 0, sizeof record);
    record.kind = static_cast<std::int32_t>(getCommandKind());
    record.index = static_cast<std::int16_t>(index_);   // sign-extended
    const std::string_view name = name_.getView();
    record.name = allocatePtr(name.size() + 1);
    std::memcpy(record.name, name.data(), name.size());
    record.flag = flags_ != 0 ? 1 : 0;
    if (store(record)) return true;
    disposePtr(record.name);   // a record that cannot be made holds nothing
    record.name = nullptr;
    return false;
}

bool Parameter::toHostParameter(host::ParameterRecord& record) const {
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    record.type = static_cast<std::int32_t>(getType());
    record.modifier = isArray() ? host::kParameterArray : host::kParameterScalar;
    record.index = static_cast<std::int16_t>(index_);
    name_.copyTo(record.name, sizeof record.name);
    description_.copyToUniChars(record.description, host::kParameterTextChars);
    record.rows = static_cast<std::int32_t>(getRowCount());
    record.columns = static_cast<std::int32_t>(getColumnCount());
    record.flags = flags_;
    return pack(record);
}

// --- Numbers and texts -----------------------------------------------------------------------------
std::int32_t Parameter::realToInt32(double real) {
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kBeyond = 2147483648.0;   // the first value past the highest
    if (!(real >= kLowest && real < kBeyond)) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::trunc(real));
}

double Parameter::parseReal(const String& text) {
    double value = 0.0;
    if (parseDouble(text, value)) return value;
    // A number too large for a double reads as infinite: it is a number, just not one a cell can take.
    String trimmed(text);
    trimmed.trim(" \t");
    const std::string_view view = trimmed.getView();
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), parsed);
    if (end == view.data() + view.size() && !view.empty() && error == std::errc::result_out_of_range)
        return view.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    return 0.0;
}

const char16_t* Parameter::changeText(const String& text) {
    changeTextBuffer.fill(u'\0');
    text.copyToUniChars(changeTextBuffer.data(), host::kParameterTextChars);   // 255 units and the 0
    return changeTextBuffer.data();
}

// --- Factories -------------------------------------------------------------------------------------
std::unique_ptr<Parameter> Parameter::create(const host::ParameterRecord& record) {
    switch (static_cast<ParameterType>(record.type)) {
        case ParameterType::integer:
            return std::make_unique<IntegerParameter>(record);
        case ParameterType::length:
            return std::make_unique<LengthParameter>(record);
        case ParameterType::angle:
            return std::make_unique<AngleParameter>(record);
        case ParameterType::real:
            return std::make_unique<RealParameter>(record);
        case ParameterType::lightSwitch:
            return std::make_unique<SwitchParameter>(record);
        case ParameterType::colour:
            return std::make_unique<ColourParameter>(record);
        case ParameterType::intensity:
            return std::make_unique<IntensityParameter>(record);
        case ParameterType::lineStyle:
            return std::make_unique<LineStyleParameter>(record);
        case ParameterType::finish:
            return std::make_unique<FinishParameter>(record);
        case ParameterType::fill:
            return std::make_unique<FillParameter>(record);
        case ParameterType::pen:
            return std::make_unique<PenParameter>(record);
        case ParameterType::string:
            return std::make_unique<StringParameter>(record);
        case ParameterType::boolean:
            return std::make_unique<BooleanParameter>(record);
        case ParameterType::separator:
            return std::make_unique<SeparatorParameter>(record);
        case ParameterType::title:
            return std::make_unique<TitleParameter>(record);
        case ParameterType::material:
            return std::make_unique<MaterialParameter>(record);
    }
    return nullptr;
}

std::unique_ptr<Parameter> Parameter::createFromCommand(const host::CommandParameterRecord& record) {
    switch (static_cast<CommandParameterKind>(record.kind)) {
        case CommandParameterKind::string:
            return std::make_unique<StringParameter>(record);
        case CommandParameterKind::integer:
            return std::make_unique<LongParameter>(record);
        case CommandParameterKind::real:
            return std::make_unique<RealParameter>(record);
    }
    return nullptr;
}

}   // namespace tarnwick

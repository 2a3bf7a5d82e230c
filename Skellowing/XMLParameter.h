// XMLParameter: the XML form of one custom parameter of a mapping: its name, its type's name, its column
// count and its cells as texts, row by row.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "Foundation/String.h"
#include "Foundation/XMLAssembly.h"
#include "LibraryParts/Parameter.h"

namespace skellow {

// <parameter name="A" type="length" columnCount="2"><value>...</value>...</parameter>. "columnCount" is
// written only when it is not 1. Copyable through clone. Its validity never fails a read: a parameter
// that cannot be built (toParameter) is left out by its list, not the whole file with it, and the list
// keeps it as read so that the user can be told.
class XMLParameter : public tarnwick::XMLAssembly {
public:
    static constexpr std::string_view kTag = "parameter";

    // Why a parameter read cannot be built: the first of its tests that fails, in the order they run.
    enum class Fault {
        none,           // it can be built
        noName,         // an empty "name"
        badColumns,     // a column count below 1, or not a number
        noValue,        // no "value"
        rowsUnfilled,   // the values do not fill whole rows
        unknownType,    // no type, or a name the reader does not know
    };

    XMLParameter();                                                // for reading: empty, one column
    explicit XMLParameter(const tarnwick::Parameter& parameter);   // for writing: its texts
    XMLParameter(const XMLParameter& other);
    ~XMLParameter() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    void clear() override;
    std::size_t getChildCount() const override;
    std::unique_ptr<tarnwick::XMLProxy> findChild(std::string_view name, bool attribute) override;

    // The parameter read: its kind by the type's name, its cells set from the texts row by row. Null when
    // it cannot be built: no name, a type the reader does not know, a column count below 1, no value, or
    // a number of values that does not fill whole rows.
    std::unique_ptr<tarnwick::Parameter> toParameter() const;
    Fault check() const;   // none exactly when toParameter builds it

    const tarnwick::String& getName() const { return name_; }
    const tarnwick::String& getTypeText() const { return typeName_; }   // as read
    std::int32_t getColumnCount() const { return columnCount_; }
    std::size_t getValueCount() const { return values_.size(); }

    // The name a type is written with; none for a type without values (separators and titles), which
    // the file does not keep. A long parameter is written as "short".
    static std::optional<std::string_view> getTypeName(tarnwick::ParameterType type);

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<tarnwick::XMLProxy> makeChildProxy(std::size_t index) override;

private:
    tarnwick::String name_;
    tarnwick::String typeName_;
    std::int32_t columnCount_ = 1;
    std::deque<tarnwick::String> values_;   // a reference to one outlives the next one's reading
};

}   // namespace skellow

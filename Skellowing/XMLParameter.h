// XMLParameter: the XML form of one custom parameter of a mapping: its name, its type's name, its column
// count and its cells as texts, row by row.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/String.h"
#include "Foundation/XMLAssembly.h"

namespace skellow {

// <parameter name="A" type="length" columnCount="2"><value>...</value>...</parameter>. "columnCount" is
// written only when it is not 1. Copyable through clone. isValid never fails the read: a parameter the
// table cannot use (see isUsable) is dropped by its list, not the whole file with it.
class XMLParameter : public tarnwick::XMLAssembly {
public:
    static constexpr std::string_view kTag = "parameter";

    XMLParameter();   // empty, one column
    XMLParameter(const tarnwick::String& name, std::string_view typeName, std::int32_t columnCount,
                 std::deque<tarnwick::String> values);
    XMLParameter(const XMLParameter& other);
    ~XMLParameter() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    void clear() override;
    std::size_t getChildCount() const override;
    std::unique_ptr<tarnwick::XMLProxy> findChild(std::string_view name, bool attribute) override;

    // Whether a parameter can be built from what was read: a name, a type name the reader knows, a column
    // count of at least 1, at least one value and a number of values that fills whole rows.
    bool isUsable() const;
    // The names of the types the reader knows, in the order it looks them up.
    static std::span<const std::string_view> getTypeNames();

    const tarnwick::String& getName() const { return name_; }
    const tarnwick::String& getTypeName() const { return typeName_; }
    std::int32_t getColumnCount() const { return columnCount_; }
    std::int32_t getRowCount() const;   // values / columns; 0 when not usable
    const std::deque<tarnwick::String>& getValues() const { return values_; }   // row by row

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

// ParameterLink: one parameter, or some of its cells, to push to the host through parameter editing.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/String.h"

namespace tarnwick {

// Names the parameter, or (with an empty name) gives its 1-based position in the list. A row or column
// of kAll stands for every row or column. Copied through clone().
class ParameterLink {
public:
    static constexpr std::uint64_t kAll = 4294967295u;

    ParameterLink(const String& name, std::uint64_t row = kAll, std::uint64_t column = kAll,
                  std::uint16_t index = 0)
        : name_(name), row_(row), column_(column), index_(index) {}
    ParameterLink(const ParameterLink&) = default;
    virtual ~ParameterLink();
    virtual std::unique_ptr<ParameterLink> clone() const;

    const String& getName() const { return name_; }
    std::uint64_t getRow() const { return row_; }
    std::uint64_t getColumn() const { return column_; }
    std::uint16_t getIndex() const { return index_; }

private:
    String name_;
    std::uint64_t row_;
    std::uint64_t column_;
    std::uint16_t index_;   // used when the name is empty; 0: no parameter
};

}   // namespace tarnwick

// TextRecord: one line of a delimited text table, a vector of owned cells.
#pragma once

#include <memory>
#include <string_view>

#include "Foundation/String.h"
#include "Foundation/Vector.h"
#include "LibraryParts/TextField.h"

namespace tarnwick {

// There is no quoting: a separator always separates. Copied through clone().
class TextRecord : public Vector<TextField> {
public:
    TextRecord() = default;
    explicit TextRecord(const String& text);   // one cell
    virtual ~TextRecord();

    // Virtual operations, in the order of the interface.
    virtual std::unique_ptr<TextRecord> clone() const;
    // Empties the record, then every separator ends a cell of the text before it; text after the last
    // separator is not taken (readers add one to each line). True when the record has a cell.
    virtual bool split(std::string_view line, std::string_view separator);
    // The cells' texts with the separator between them and "\r\n" after the last; "" for no cells.
    virtual String join(const String& separator) const;
};

}   // namespace tarnwick

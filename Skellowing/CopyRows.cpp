#include "Skellowing/CopyRows.h"

#include <set>
#include <string>
#include <tuple>

#include "Skellowing/ObjectMapMerge.h"
#include "Skellowing/ObjectMapReadCheck.h"

namespace skellow {
namespace {

// A mapping: the kind and name of its configuration, and all it holds, as the file holds it.
using Row = std::tuple<ObjectMapType, std::string, std::string>;

// The rows of text read whole as a table; false when it cannot be, or its read left anything out.
bool rowsOf(std::string_view text, std::set<Row>& rows) {
    TableRead read;
    read.bytes = text;
    read.whole = true;
    parseTable(tarnwick::String(), read);
    if (!read.detail.isEmpty() || !read.leftOut.empty()) return false;
    for (std::size_t i = 0; i < read.table.size(); ++i) {
        const SpecificationList& list = read.table.at(i);
        const std::string name(list.getName().getView());
        for (std::size_t s = 0; s < list.size(); ++s)
            rows.emplace(list.getKind(), name, mappingText(list.at(s)));
    }
    return true;
}

}   // namespace

bool tableHoldsEveryRowOf(std::string_view table, std::string_view copy) {
    if (table.starts_with(copy)) return true;
    std::set<Row> copyRows;
    std::set<Row> tableRows;
    if (!rowsOf(copy, copyRows) || !rowsOf(table, tableRows)) return false;
    for (const Row& row : copyRows)
        if (!tableRows.contains(row)) return false;
    return true;
}

}   // namespace skellow

#include "Skellowing/CopyRows.h"

#include <set>
#include <string>
#include <tuple>

#include "Environment/Host.h"
#include "Foundation/DataFile.h"
#include "Skellowing/ObjectMapMerge.h"
#include "Skellowing/ObjectMapReadCheck.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

// A mapping: the kind and name of its configuration, and all it holds, as the file holds it; a
// configuration itself, which the user named even while it maps nothing, with no text. (The read gives a
// kind the file has no configuration of an empty one under the default name: that one is the read's.)
using Row = std::tuple<ObjectMapType, std::string, std::string>;

// The rows of text read whole as a table; false when it cannot be, or its read left anything out.
bool rowsOf(std::string_view text, std::set<Row>& rows) {
    TableRead read;
    read.bytes = text;
    read.whole = true;
    parseTable(tarnwick::String(), read);
    if (!read.detail.isEmpty() || !read.leftOut.empty()) return false;
    const tarnwick::String defaultName =
        tarnwick::Host::getString(strings::kConfigurations, strings::kDefaultConfiguration);
    for (std::size_t i = 0; i < read.table.size(); ++i) {
        const SpecificationList& list = read.table.at(i);
        const std::string name(list.getName().getView());
        if (list.size() > 0 || list.getName() != defaultName)
            rows.emplace(list.getKind(), name, std::string());
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

bool readsAsWholeTable(std::string_view text) {
    std::set<Row> rows;
    return rowsOf(text, rows);
}

bool tableHoldsEveryRowOfFile(std::string_view table, const tarnwick::FileLocation& copy) {
    std::string held;
    return tarnwick::DataFile(copy, tarnwick::DataFile::kRead).readToEnd(held) &&
           tableHoldsEveryRowOf(table, held);
}

}   // namespace skellow

#include "Support/TableRows.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace {

// The text between <tag> and </tag> inside `within`; nullopt when either is missing.
std::optional<std::string> elementText(std::string_view within, std::string_view tag) {
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    const std::size_t from = within.find(open);
    if (from == std::string_view::npos) return std::nullopt;
    const std::size_t to = within.find(close, from + open.size());
    if (to == std::string_view::npos) return std::nullopt;
    return std::string(within.substr(from + open.size(), to - from - open.size()));
}

std::string attribute(std::string_view tag, std::string_view name) {
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t from = tag.find(key);
    if (from == std::string_view::npos) return {};
    const std::size_t to = tag.find('"', from + key.size());
    return to == std::string_view::npos ? std::string()
                                        : std::string(tag.substr(from + key.size(), to - from - key.size()));
}

}   // namespace

TableRows tableRows(std::string_view text) {
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string_view::npos || !text.substr(0, end + 1).ends_with("</objectMap>")) return {};
    TableRows rows;
    for (std::size_t at = text.find("<specificationList"); at != std::string_view::npos;
         at = text.find("<specificationList", at + 1)) {
        const std::size_t tagEnd = text.find('>', at);
        if (tagEnd == std::string_view::npos) return {};
        const std::string_view tag = text.substr(at, tagEnd - at);
        if (tag.ends_with("/")) continue;   // a list without mappings
        const std::size_t listEnd = text.find("</specificationList>", tagEnd);
        if (listEnd == std::string_view::npos) return {};
        const std::string list = attribute(tag, "objectType") + "/" + attribute(tag, "sourceName");
        const std::string_view body = text.substr(tagEnd, listEnd - tagEnd);
        for (std::size_t row = body.find("<objectSpecification"); row != std::string_view::npos;
             row = body.find("<objectSpecification", row + 1)) {
            const std::size_t rowEnd = body.find("</objectSpecification>", row);
            if (rowEnd == std::string_view::npos) return {};
            const std::string_view spec = body.substr(row, rowEnd - row);
            rows.insert({list, elementText(spec, "originalName").value_or(""),
                         elementText(spec, "mappedName").value_or(""),
                         elementText(spec, "mappedObjectGuid").value_or(""),
                         elementText(spec, "customParameters").value_or("")});
        }
    }
    return rows;
}

TableRows tableRowsAt(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return tableRows(text.str());
}

TableRows rowsMissing(const TableRows& was, const TableRows& now) {
    TableRows missing;
    std::set_difference(was.begin(), was.end(), now.begin(), now.end(),
                        std::inserter(missing, missing.end()));
    return missing;
}

std::string rowNames(const TableRows& rows) {
    std::string names;
    for (const TableRow& row : rows)
        names += (names.empty() ? "" : ", ") + row.original + " (" + row.list + ")";
    return names.empty() ? "none" : names;
}

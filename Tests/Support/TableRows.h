// TableRows: the mappings of an object mapping table file, read as plainly as the tests need: a file that
// a save cut short or emptied holds none, so a lost row shows as a row fewer.
#pragma once

#include <compare>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

struct TableRow {
    std::string list;       // "<objectType>/<sourceName>" of its specificationList
    std::string original;   // originalName, as written (entities not decoded)
    std::string mapped;     // mappedName, likewise
    auto operator<=>(const TableRow&) const = default;
};
using TableRows = std::set<TableRow>;

// Empty for a text that is not a whole table: nothing, a cut one (no closing </objectMap>), or one whose
// elements do not close.
TableRows tableRows(std::string_view text);
TableRows tableRowsAt(const std::filesystem::path& file);   // empty too when it cannot be read
// The rows of `was` with no row of the same list and original name in `now` (mapped anew or not).
TableRows sourcesLost(const TableRows& was, const TableRows& now);
// "Door 01 (GSM/Default), ..." for messages.
std::string rowNames(const TableRows& rows);

// TableRows: the mappings of an object mapping table file, read as plainly as the tests need: a file that
// a save cut short or emptied holds none, so a lost row shows as a row fewer.
#pragma once

#include <compare>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

// A row as a whole: a put-back that keeps every source but loses a mapping, a part's GUID or a parameter
// has lost that row.
struct TableRow {
    std::string list;         // "<objectType>/<sourceName>" of its specificationList
    std::string original;     // originalName, as written (entities not decoded)
    std::string mapped;       // mappedName, likewise
    std::string guid;         // mappedObjectGuid, likewise
    std::string parameters;   // the customParameters element's text as written; empty without one
    auto operator<=>(const TableRow&) const = default;
};
using TableRows = std::set<TableRow>;

// Empty for a text that is not a whole table: nothing, a cut one (no closing </objectMap>), or one whose
// elements do not close.
TableRows tableRows(std::string_view text);
TableRows tableRowsAt(const std::filesystem::path& file);   // empty too when it cannot be read
// The rows of `was` that `now` does not hold as they are.
TableRows rowsMissing(const TableRows& was, const TableRows& now);
// "Door 01 (GSM/Default), ..." for messages.
std::string rowNames(const TableRows& rows);

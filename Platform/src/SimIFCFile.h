// The project file's "ifc" section: the project's property groups and definitions, its classification
// systems with their items, and what each element and tool default carries (IFC data, classifications,
// property values). Format in Platform/README.md.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "SimProject.h"

namespace host {

// The section's "elements" as they are read from the text one at a time, before the rest of the section
// is known: each entry's IFC data, with what needs the section's classification items and property
// definitions (its classifications and property values) kept to be read with the section.
struct SimIFCElementEntries {
    struct Entry {
        GuidBytes guid{};
        SimElementData data;
        nlohmann::ordered_json rest;   // "classifications" and "propertyValues", when given
    };
    std::vector<Entry> entries;   // in the file's order
    std::string error;            // the first entry's fault; the later ones are then not read
    void read(std::size_t index, const nlohmann::ordered_json& entry);
};

// Reads the section into the project's state (its elements and defaults already read), with the
// entries of its "elements" read from the text as it streamed by. The empty text, else what is wrong and
// where; the state is then unchanged.
std::string readIFCSection(const nlohmann::ordered_json& section, ProjectState& state,
                           SimIFCElementEntries streamed);
// Appends the section of the state to `out` as compact JSON, an element's entry at a time; false (and
// nothing appended) when there is nothing to write. Data of elements the project no longer has is
// left out.
bool appendIFCSection(const ProjectState& state, std::string& out);

}   // namespace host

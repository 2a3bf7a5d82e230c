// The project file's "ifc" section: the project's property groups and definitions, its classification
// systems with their items, and what each element and tool default carries (IFC data, classifications,
// property values). Format in Platform/README.md.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "SimProject.h"

namespace host {

// Reads the section into the project's state (its elements and defaults already read). The empty text,
// else what is wrong and where; the state is then unchanged.
std::string readIFCSection(const nlohmann::ordered_json& section, ProjectState& state);
// The section of the state; null when there is nothing to write. Data of elements the project no longer
// has is left out.
nlohmann::ordered_json writeIFCSection(const ProjectState& state);

}   // namespace host

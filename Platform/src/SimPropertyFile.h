// The properties' part of the project file's "ifc" section: the property groups and definitions, and the
// own property values of elements and tool defaults. Format in Platform/README.md. The readers throw
// jsonfields::FormatError, which the section's reader (SimIFCFile.cpp) turns into its message.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "SimIFCState.h"

namespace host {

// "propertyGroups" and "propertyDefinitions" of the section into the state (its classification items
// already read).
void readPropertyDefinitions(const nlohmann::ordered_json& section, const std::string& where,
                             SimIFCState& ifc);
void writePropertyDefinitions(const SimIFCState& ifc, nlohmann::ordered_json& section);
// An element's or tool default's "propertyValues", of definitions the state has.
std::vector<SimPropertyEntry> readPropertyValues(const nlohmann::ordered_json& entry,
                                                 const std::string& where, const SimIFCState& ifc);
nlohmann::ordered_json writePropertyValues(const SimIFCState& ifc,
                                           const std::vector<SimPropertyEntry>& values);

}   // namespace host

// The attribute kinds' own fields in the project file, by name: a pen's colour and width, a fill's kind
// and pattern, a surface material's reflections, colours and texture, a building material's fill, pens
// and surface, a city's place, a profile's flags. The bytes they cover are left out of the base64 "body";
// a file that gives them only in its body reads as before.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "SimProject.h"

namespace host {

// Whether the key is one of the named fields of the attribute type.
bool isAttributeField(std::int32_t type, const std::string& key);
// Writes the kind's fields that are not zero into the entry and zeroes their bytes in `body` (a copy of
// the attribute's body, whose rest the caller writes).
void writeAttributeFields(const SimAttribute& attribute, nlohmann::ordered_json& entry,
                          std::vector<unsigned char>& body);
// Reads the kind's fields the entry names over the attribute's body (after the base64 body). "" when
// read, else why not.
std::string readAttributeFields(const nlohmann::ordered_json& entry, const std::string& where,
                                SimAttribute& attribute);

}   // namespace host

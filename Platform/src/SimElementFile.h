// The project file's element entries: a record's named fields and other bytes, its memo and user data,
// and the parameter lists that memos, attributes and library parts hold (format in Platform/README.md).
// The readers throw LoadError with the place of the fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "SimProjectFields.h"

namespace host::projectfile {

Json writeUserData(const SimUserData& data);
SimUserData readUserData(const Json& entry, const std::string& where);
// Parameters as a list of them; other bytes of the parameter part as base64 under the same name.
Json writeMemo(const SimMemo& memo);
SimMemo readMemo(const Json& entry, const std::string& where);
// Parameters: {"name", "type", "value"}; an array's value is a list of rows.
Json writeParameters(const std::vector<SimParameter>& parameters);
std::vector<SimParameter> readParameters(const Json& list, const std::string& where);
// The record's type, guid (withGuid) and named fields by name, and its other bytes as base64 "bytes".
void writeRecord(Json& entry, std::span<const unsigned char> record, bool withGuid);
ElementBytes readRecord(const Json& entry, const std::string& where, bool withGuid);
// Refuses a key that is neither one of the record's nor one of `extra`.
void refuseUnknownKeys(const Json& entry, std::int32_t type, std::initializer_list<const char*> extra,
                       const std::string& where);
Json writeElement(const SimElement& element);

// The project's "elements" as they are read from the text one at a time: each entry's own content, which
// readProject then checks against the rest of the project (storeys, databases, the other elements).
struct StreamedElements {
    SimElementTable elements;
    std::vector<std::pair<std::size_t, std::string>> databases;   // an entry's place and its "database"
    std::string error;   // the first entry's fault; the later ones are then not read

    void read(std::size_t index, const Json& entry);   // the entry at `index` of the list
};

}   // namespace host::projectfile

// The attribute calls of the simulated host over its project: attributes of every type by type and
// index, their extension parts and user data. The undo-scope rule is the dispatch point's; this class
// only reads and writes the project's state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostRecords.h"
#include "HostResult.h"
#include "SimProject.h"

namespace host {

class SimAttributeTable {
public:
    explicit SimAttributeTable(SimProject& project) : project_(project) {}

    Result count(std::int32_t type, std::int16_t& count) const;
    Result get(AttributeDefinition& definition) const;
    Result getExtension(const AttributeHeader& header, AttributeExtension& extension) const;
    Result search(AttributeHeader& header) const;
    Result create(AttributeDefinition& definition, const AttributeExtension* extension);
    Result change(AttributeDefinition& definition, const AttributeExtension* extension);
    Result remove(const AttributeHeader& header, const std::int16_t* indices, std::int32_t count);
    Result getUserData(const AttributeHeader& header, UserDataRecord& data) const;
    Result setUserData(const AttributeHeader& header, const UserDataRecord& data);
    static Result disposeExtension(AttributeExtension& extension);

    static bool validType(std::int32_t type) { return type >= kAttributePen && type <= kAttributeLastType; }

private:
    // The name of a header: kErrBadName when it has no terminator in its field, is not UTF-8 or is empty.
    static Result nameOf(const AttributeHeader& header, std::string& name);
    // Whether another attribute of the type (not `self`) has the name.
    bool nameTaken(std::int32_t type, const std::string& name, const SimAttribute* self) const;
    static Result takeExtension(const AttributeExtension& extension, SimAttribute& attribute);
    static void putHeader(const SimAttribute& attribute, AttributeHeader& header);
    static Result takeTextureFile(SimAttribute& attribute);
    // The texture location's place in a definition's body.
    static constexpr std::size_t kTextureLocationAt =
        offsetof(SurfaceMaterialRecord, textureLocation) - sizeof(AttributeHeader);

    SimProject& project_;
};

}   // namespace host

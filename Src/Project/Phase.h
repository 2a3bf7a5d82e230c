// Phase: a renovation phase of elements (existing, demolished, proposed), named by the framework's texts.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/Attribute.h"

namespace tarnwick {

// An attribute of type 0 (the host keeps phases in no attribute table): its identity is the link's
// index. Never valid as an attribute and never fetched through a Specification.
class Phase : public Attribute {
public:
    Phase();
    explicit Phase(const AttributeLink& link);
    Phase(const Phase& other);
    Phase& operator=(const Phase& other);
    ~Phase() override;

    // The three phases of the host's renovation statuses, linked in the project's Specification.
    static Phase existing() { return Phase(AttributeLink(std::int16_t{1}, AttributeType::none)); }
    static Phase proposed() { return Phase(AttributeLink(std::int16_t{3}, AttributeType::none)); }
    static Phase demolished() { return Phase(AttributeLink(std::int16_t{2}, AttributeType::none)); }

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::none; }
    // The framework's name of the phase; empty for an index with no name (below 1, above 3).
    String getName() const override;
    std::unique_ptr<host::AttributeDefinition> copyDefinition() const override;   // null: no host table
    AttributeExtensionPtr copyExtendedDefinition() const override;                // null
    const host::AttributeHeader& getRecord() const override { return header_; }
    host::AttributeHeader& getRecord() override { return header_; }

private:
    host::AttributeHeader header_{};
};

}   // namespace tarnwick

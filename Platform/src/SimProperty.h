// The property calls of the simulated host: the project's property groups and definitions, and the
// property values of placed elements and tool defaults. The bodies of their slots; the dispatch point
// (SimulatedHost.cpp) adds the call log, the faults and the undo-scope rule.
#pragma once

#include <cstdint>

#include "HostIFCRecords.h"
#include "HostResult.h"
#include "SimIFCState.h"
#include "SimulatedHost.h"

namespace host {

// Why the project cannot take the definition (an empty or taken name, an unknown group, contradictory
// types, an enumeration without values to choose from, a default that does not fit); kNoError when it can.
Result checkPropertyDefinition(const SimIFCState& ifc, const SimPropertyDefinition& definition);
// The value in the one form the project keeps for its status: an undefined value carries only its types.
SimPropertyValue canonicalValue(const SimPropertyDefinition& definition, SimPropertyValue value);

struct SimPropertySlots {
    using Addon = SimulatedHost::LoadedAddon;

    static Result getPropertyGroups(SimulatedHost& host, Addon&, Array<PropertyGroupRecord>* groups);
    static Result getPropertyGroup(SimulatedHost& host, Addon&, PropertyGroupRecord* group);
    static Result getPropertyDefinitions(SimulatedHost& host, Addon&, const GuidRecord* group,
                                         Array<PropertyDefinitionRecord>* definitions);
    static Result getPropertyDefinition(SimulatedHost& host, Addon&, PropertyDefinitionRecord* definition);
    static Result createPropertyGroup(SimulatedHost& host, Addon&, PropertyGroupRecord* group);
    static Result changePropertyGroup(SimulatedHost& host, Addon&, const PropertyGroupRecord* group);
    static Result createPropertyDefinition(SimulatedHost& host, Addon&, PropertyDefinitionRecord* definition);
    static Result changePropertyDefinition(SimulatedHost& host, Addon&,
                                           const PropertyDefinitionRecord* definition);
    static Result getElementProperties(SimulatedHost& host, Addon&, const GuidRecord* element,
                                       const Array<GuidRecord>* definitions,
                                       Array<PropertyRecord>* properties);
    static Result setElementProperties(SimulatedHost& host, Addon&, const GuidRecord* element,
                                       const Array<PropertyRecord>* properties);
    static Result getDefaultPropertyDefinitions(SimulatedHost& host, Addon&, std::int32_t type,
                                                std::int32_t variation, std::int32_t filter,
                                                Array<PropertyDefinitionRecord>* definitions);
    static Result getDefaultProperties(SimulatedHost& host, Addon&, std::int32_t type, std::int32_t variation,
                                       const Array<PropertyDefinitionRecord>* definitions,
                                       Array<PropertyRecord>* properties);
    static Result setDefaultProperties(SimulatedHost& host, Addon&, std::int32_t type, std::int32_t variation,
                                       const Array<PropertyRecord>* properties);
};

}   // namespace host

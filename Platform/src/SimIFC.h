// The IFC calls of the simulated host: an element's IFC properties, attributes and classification
// references, read, set and removed. The bodies of their slots; the dispatch point (SimulatedHost.cpp)
// adds the call log, the faults and the undo-scope rule.
#pragma once

#include <cstdint>

#include "HostIFCRecords.h"
#include "HostResult.h"
#include "SimIFCState.h"
#include "SimulatedHost.h"

namespace host {

// Conversions between the records and the project's form (texts as UTF-8).
SimIFCValue simIFCValue(const IFCPropertyValueRecord& record);
IFCPropertyValueRecord ifcValueRecord(const SimIFCValue& value);
SimIFCProperty simIFCProperty(const IFCPropertyRecord& record);
IFCPropertyRecord ifcPropertyRecord(const SimIFCProperty& property);

struct SimIFCSlots {
    using Addon = SimulatedHost::LoadedAddon;

    static Result getElementIFCProperties(SimulatedHost& host, Addon&, const GuidRecord* element,
                                          std::uint8_t storedOnly, Array<IFCPropertyRecord>* properties);
    static Result getElementIFCAttributes(SimulatedHost& host, Addon&, const GuidRecord* element,
                                          std::uint8_t storedOnly, Array<IFCAttributeRecord>* attributes);
    static Result getElementIFCReferences(SimulatedHost& host, Addon&, const GuidRecord* element,
                                          std::uint8_t storedOnly,
                                          Array<IFCClassificationReferenceRecord>* references);
    static Result setElementIFCProperty(SimulatedHost& host, Addon&, const GuidRecord* element,
                                        const IFCPropertyRecord* property);
    static Result setElementIFCAttribute(SimulatedHost& host, Addon&, const GuidRecord* element,
                                         const IFCAttributeRecord* attribute);
    static Result removeElementIFCProperty(SimulatedHost& host, Addon&, const GuidRecord* element,
                                           const IFCPropertyRecord* property);
};

}   // namespace host

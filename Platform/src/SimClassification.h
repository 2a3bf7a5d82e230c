// The classification calls of the simulated host: the project's classification systems and their item
// trees, and the items given to placed elements and tool defaults. The bodies of their slots; the dispatch
// point adds the call log, the faults and the undo-scope rule.
#pragma once

#include <cstdint>

#include "HostIFCRecords.h"
#include "HostResult.h"
#include "SimulatedHost.h"

namespace host {

struct SimClassificationSlots {
    using Addon = SimulatedHost::LoadedAddon;

    static Result getClassificationSystems(SimulatedHost& host, Addon&,
                                           Array<ClassificationSystemRecord>* systems);
    static Result getClassificationSystem(SimulatedHost& host, Addon&, ClassificationSystemRecord* system);
    static Result getClassificationItem(SimulatedHost& host, Addon&, ClassificationItemRecord* item);
    static Result getClassificationTopItems(SimulatedHost& host, Addon&, const GuidRecord* system,
                                            Array<ClassificationItemRecord>* items);
    static Result getClassificationChildren(SimulatedHost& host, Addon&, const GuidRecord* item,
                                            Array<ClassificationItemRecord>* items);
    static Result getClassificationItemSystem(SimulatedHost& host, Addon&, const GuidRecord* item,
                                              ClassificationSystemRecord* system);
    static Result getClassificationItemParent(SimulatedHost& host, Addon&, const GuidRecord* item,
                                              ClassificationItemRecord* parent);
    static Result createClassificationSystem(SimulatedHost& host, Addon&, ClassificationSystemRecord* system);
    static Result changeClassificationSystem(SimulatedHost& host, Addon&,
                                             const ClassificationSystemRecord* system);
    static Result createClassificationItem(SimulatedHost& host, Addon&, ClassificationItemRecord* item,
                                           const GuidRecord* system, const GuidRecord* parent,
                                           const GuidRecord* placement);
    static Result changeClassificationItem(SimulatedHost& host, Addon&, const ClassificationItemRecord* item);
    static Result getElementClassifications(SimulatedHost& host, Addon&, const GuidRecord* element,
                                            Array<ClassificationPairRecord>* pairs);
    static Result getDefaultClassifications(SimulatedHost& host, Addon&, std::int32_t type,
                                            std::int32_t variation, Array<ClassificationPairRecord>* pairs);
    static Result addElementClassification(SimulatedHost& host, Addon&, const GuidRecord* element,
                                           const GuidRecord* item);
    static Result removeElementClassification(SimulatedHost& host, Addon&, const GuidRecord* element,
                                              const GuidRecord* item);
    static Result addDefaultClassification(SimulatedHost& host, Addon&, std::int32_t type,
                                           std::int32_t variation, const GuidRecord* item);
    static Result removeDefaultClassification(SimulatedHost& host, Addon&, std::int32_t type,
                                              std::int32_t variation, const GuidRecord* item);
};

}   // namespace host

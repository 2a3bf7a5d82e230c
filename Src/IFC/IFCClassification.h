// IFCClassification: the classification an IFC classification reference refers to: its source, edition
// and name as the host record gives them.
#pragma once

#include <HostIFCRecords.h>

#include "Foundation/String.h"

namespace tarnwick {

class IFCClassification {
public:
    IFCClassification() = default;
    explicit IFCClassification(const host::IFCClassificationReferenceRecord& record);
    IFCClassification(const IFCClassification&) = default;
    IFCClassification& operator=(const IFCClassification&) = default;
    virtual ~IFCClassification();

    void toHost(host::IFCClassificationReferenceRecord& record) const;   // the classification part

    String source;
    String edition;
    String name;
};

}   // namespace tarnwick

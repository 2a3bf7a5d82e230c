#include "IFC/IFCClassification.h"

#include "IFC/HostUniText.h"

namespace tarnwick {

IFCClassification::IFCClassification(const host::IFCClassificationReferenceRecord& record)
    : source(fromUniString(record.source)),
      edition(fromUniString(record.edition)),
      name(fromUniString(record.classificationName)) {}

IFCClassification::~IFCClassification() = default;

void IFCClassification::toHost(host::IFCClassificationReferenceRecord& record) const {
    record.source = toUniString(source);
    record.edition = toUniString(edition);
    record.classificationName = toUniString(name);
}

}   // namespace tarnwick

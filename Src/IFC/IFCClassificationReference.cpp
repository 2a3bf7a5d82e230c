#include "IFC/IFCClassificationReference.h"

#include "IFC/HostUniText.h"

namespace tarnwick {

IFCClassificationReference::IFCClassificationReference(const String& name,
                                                       const IFCClassification& classification)
    : classification_(classification) {
    name_ = shareName(name);
    valueType_ = IFCValueType{nullptr, 0};   // a reference has no value type
}

IFCClassificationReference::IFCClassificationReference(const IFCClassificationReference& other) = default;
IFCClassificationReference::~IFCClassificationReference() = default;

std::unique_ptr<IFCClassificationReference> IFCClassificationReference::create(
    const host::IFCClassificationReferenceRecord& record) {
    auto reference =
        std::make_unique<IFCClassificationReference>(fromUniString(record.name), IFCClassification(record));
    reference->setText(0, fromUniString(record.location), record.locationFlag);
    reference->setText(1, fromUniString(record.identification), record.identificationFlag);
    reference->setText(2, fromUniString(record.referencedName), record.referencedNameFlag);
    return reference;
}

void IFCClassificationReference::setText(std::size_t i, const String& text, std::uint8_t flag) {
    texts_.at(i) = text;
    flags_.at(i) = flag;
}

std::unique_ptr<IFCData> IFCClassificationReference::clone() const {
    return std::make_unique<IFCClassificationReference>(*this);
}

IFCDataKind IFCClassificationReference::getKind() const { return IFCDataKind::classificationReference; }

bool IFCClassificationReference::toHost(host::IFCClassificationReferenceRecord& record) const {
    record.name = toUniString(getName());
    record.location = toUniString(texts_[0]);
    record.locationFlag = flags_[0];
    record.identification = toUniString(texts_[1]);
    record.identificationFlag = flags_[1];
    record.referencedName = toUniString(texts_[2]);
    record.referencedNameFlag = flags_[2];
    classification_.toHost(record);
    return true;
}

}   // namespace tarnwick

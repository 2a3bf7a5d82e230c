// IFCClassificationReference: an element's IFC reference into a classification, with three texts (each
// with a flag byte) and the classification it refers to.
#pragma once

#include <array>
#include <memory>

#include "IFC/IFCClassification.h"
#include "IFC/IFCData.h"

namespace tarnwick {

class IFCClassificationReference : public IFCData {
public:
    static constexpr std::size_t kTextCount = 3;   // location, identification, referenced name

    IFCClassificationReference(const String& name, const IFCClassification& classification);
    IFCClassificationReference(const IFCClassificationReference& other);
    ~IFCClassificationReference() override;

    static std::unique_ptr<IFCClassificationReference> create(
        const host::IFCClassificationReferenceRecord& record);   // never null

    std::unique_ptr<IFCData> clone() const override;
    IFCDataKind getKind() const override;
    virtual bool toHost(host::IFCClassificationReferenceRecord& record) const;   // always true

    const IFCClassification& getClassification() const { return classification_; }
    const String& getText(std::size_t i) const { return texts_.at(i); }
    std::uint8_t getTextFlag(std::size_t i) const { return flags_.at(i); }
    void setText(std::size_t i, const String& text, std::uint8_t flag);

private:
    IFCClassification classification_;
    std::array<String, kTextCount> texts_;
    std::array<std::uint8_t, kTextCount> flags_{};
};

}   // namespace tarnwick

// Door: a placed door (host type 5, library-part type 3).
#pragma once

#include <memory>

#include "Elements/Joinery.h"

namespace tarnwick {

class Library;

class Door : public Joinery {
public:
    static constexpr std::uint16_t kType = host::kElementDoor;
    static constexpr std::uint32_t kPartType = host::kLibraryDoor;

    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);   // type 5

    Door(const host::ElementRecord& record, const ElementLink& link);   // the creator's form
    explicit Door(const ComponentLink& part);                           // a new door of the part
    Door(const String& partName, Library* library);
    // A new door from the host's defaults; with a memo, their parameters and gables.
    explicit Door(bool withMemo);
    Door(const Door& other);
    ~Door() override;

    std::unique_ptr<Element> clone() const override;
    double getQuantityA() override;          // the host's door quantities: field 32 of its part of the mask
    double getQuantityB() override;          // 40
    double getQuantityD() override;          // 120
    double getQuantityE() override;          // 96
    double getQuantityF() override;          // 112
    double getOpeningQuantityB() override;   // 0
    double getOpeningQuantityC() override;   // 16
    // Takes a door part (type 0 counts as one); false, with nothing changed, for any other type.
    bool setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) override;
    virtual void loadDefaults();   // the host's defaults with this door's own part
};

}   // namespace tarnwick

// Lamp: a placed lamp (host type 7, library-part type 5): an Object in every respect but how it is
// made and how it takes the host's default settings.
#pragma once

#include <memory>

#include "Elements/Object.h"

namespace tarnwick {

class Lamp : public Object {
public:
    static constexpr std::uint16_t kType = host::kElementLamp;
    static constexpr std::uint32_t kPartType = host::kLibraryLamp;

    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);   // type 7

    Lamp(const host::ElementRecord& record, const ElementLink& link);   // the creator's form
    Lamp(const ComponentLink& part, std::int32_t variation);
    Lamp(const String& partName, Library* library, std::int32_t variation);
    Lamp(const ElementLink& link, const ComponentLink& part);
    explicit Lamp(bool withMemo);   // a new lamp from the host's defaults
    Lamp(const Lamp& other);
    ~Lamp() override;

    std::unique_ptr<Element> clone() const override;
    // The host's lamp defaults with the lamp's own part; the sizes are left as the defaults give them.
    void loadDefaults() override;
};

}   // namespace tarnwick

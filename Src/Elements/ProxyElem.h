// ProxyElem: a section element (host type 29), what a section or elevation view shows in place of a
// model element; it can give back the model element it stands for.
#pragma once

#include <array>
#include <memory>

#include <HostElementRecords.h>

#include "Elements/Element.h"

namespace tarnwick {

// Keeps the leading 176 bytes of the host record (the head and the shown element's type and guid) and
// writes no memo.
class ProxyElem : public Element {
public:
    static constexpr std::uint16_t kType = host::kElementSectionElement;

    // The creator: a new ProxyElem for a record of type 29, else null.
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);

    ProxyElem();   // a new one from the host's defaults of type 29
    ProxyElem(const host::ElementRecord& record, const ElementLink& link);
    ProxyElem(const ProxyElem& other);
    ~ProxyElem() override;

    std::unique_ptr<Element> clone() const override;
    std::unique_ptr<host::ElementRecord> getHostElement() const override;   // the 176 bytes, head refreshed
    std::unique_ptr<ElementMemoStore> getMemo(std::uint64_t& mask) const override;   // null: no memo
    const host::ElementHead& getTypeRecord() const override;
    host::ElementHead& getMutableTypeRecord() override;

    // The model element it stands for, read from the floor plan; owned by the caller, null when there
    // is no project or the element cannot be read.
    virtual std::unique_ptr<Element> getSourceElement();
    virtual void loadDefaults();   // the host's defaults, byte 76 cleared, at the origin

private:
    union Record {
        host::ElementHead head;
        std::array<unsigned char, host::kProxyRecordSize> bytes;
    };
    Record record_{};
};

}   // namespace tarnwick

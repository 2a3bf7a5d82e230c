#include "Elements/ProxyElem.h"

#include <cstring>

#include "Foundation/Guid.h"
#include "Project/Drawing.h"
#include "Project/ElementMemoStore.h"
#include "Project/HostProject.h"
#include "Project/Plan.h"

namespace tarnwick {

std::unique_ptr<Element> ProxyElem::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<ProxyElem>(record, link);
}

ProxyElem::ProxyElem() : Element(ElementLink(kType, 0)) { loadDefaults(); }

ProxyElem::ProxyElem(const host::ElementRecord& record, const ElementLink& link) : Element(link) {
    std::memcpy(record_.bytes.data(), &record, host::kProxyRecordSize);
}

ProxyElem::ProxyElem(const ProxyElem& other) = default;
ProxyElem::~ProxyElem() = default;

std::unique_ptr<Element> ProxyElem::clone() const { return std::make_unique<ProxyElem>(*this); }

std::unique_ptr<host::ElementRecord> ProxyElem::getHostElement() const {
    auto record = std::make_unique<host::ElementRecord>();   // zeroed
    std::memcpy(static_cast<void*>(record.get()), record_.bytes.data(), host::kProxyRecordSize);
    ElementLink(link_).getElemType(record->head, /*withStorey=*/true);
    return record;
}

std::unique_ptr<ElementMemoStore> ProxyElem::getMemo(std::uint64_t& mask) const {
    mask = 0;
    return nullptr;
}

const host::ElementHead& ProxyElem::getTypeRecord() const { return record_.head; }
host::ElementHead& ProxyElem::getMutableTypeRecord() { return record_.head; }

std::unique_ptr<Element> ProxyElem::getSourceElement() {
    Plan* plan = HostProject::getPlan();
    if (plan == nullptr) return nullptr;   // no project: nothing to read
    host::GuidRecord shown;
    std::memcpy(&shown, record_.bytes.data() + host::kSectionParentGuidOffset, sizeof shown);
    ElementLink link;
    if (!plan->loadElementHead(Guid(shown), &link)) return nullptr;
    return plan->getElement(link);
}

void ProxyElem::loadDefaults() {
    auto defaults = std::make_unique<host::ElementRecord>();
    getHostDefaults(*defaults, nullptr);   // a failed call leaves the zeroed record
    std::memcpy(record_.bytes.data(), defaults.get(), host::kProxyRecordSize);
    record_.head.writeNeedsMemo = 0;
    setPosition(CadPoint());
}

}   // namespace tarnwick

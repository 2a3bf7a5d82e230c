#include "Elements/Door.h"

namespace tarnwick {

std::unique_ptr<Element> Door::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<Door>(record, link);
}

Door::Door(const host::ElementRecord& record, const ElementLink& link)
    : Joinery(record, link, partOf(record, kPartType)) {}

Door::Door(const ComponentLink& part) : Joinery(ElementLink(kType, 0), part) { loadDefaults(); }

Door::Door(const String& partName, Library* library) : Door(partNamed(partName, kPartType, library)) {}

Door::Door(bool withMemo) : Joinery(ElementLink(kType, 0), ComponentLink()) {
    takeHostDefaults(withMemo, kPartType);
}

Door::Door(const Door& other) = default;
Door::~Door() = default;

std::unique_ptr<Element> Door::clone() const { return std::make_unique<Door>(*this); }

double Door::getQuantityA() { return quantity(host::kQuantityMaskDoor, 32); }
double Door::getQuantityB() { return quantity(host::kQuantityMaskDoor, 40); }
double Door::getQuantityD() { return quantity(host::kQuantityMaskDoor, 120); }
double Door::getQuantityE() { return quantity(host::kQuantityMaskDoor, 96); }
double Door::getQuantityF() { return quantity(host::kQuantityMaskDoor, 112); }
double Door::getOpeningQuantityB() { return quantity(host::kQuantityMaskDoor, 0); }
double Door::getOpeningQuantityC() { return quantity(host::kQuantityMaskDoor, 16); }

bool Door::setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) {
    return setPartOfType(link, kPartType, resetSizes, mergeParameters);
}

void Door::loadDefaults() { loadOpeningDefaults(); }

}   // namespace tarnwick

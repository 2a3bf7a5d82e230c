#include "Project/CreatorList.h"

#include <algorithm>

#include "Elements/Element.h"
#include "Project/ElementLink.h"

namespace tarnwick {

bool CreatorList::add(std::uint16_t typeId, ElementCreator creator) {
    if (creator == nullptr) return false;
    const auto typeByte = static_cast<std::uint8_t>(typeId & 0xFF);
    const auto subType = static_cast<std::uint8_t>(typeId >> 8);
    std::vector<Entry>& entries = byType_[typeByte];
    const bool filed = std::any_of(entries.begin(), entries.end(), [&](const Entry& entry) {
        return entry.creator == creator &&
               ElementLink::typesMatch(typeId, static_cast<std::uint16_t>(typeByte | entry.subType << 8));
    });
    if (filed) return false;
    entries.push_back({subType, creator});   // after every creator already filed for the type
    return true;
}

std::unique_ptr<Element> CreatorList::make(const host::ElementRecord& record, ElementLink& link) const {
    // Looked up by (type byte, sub-type 0), which matches every sub-type: all creators of the type.
    const auto found = byType_.find(static_cast<std::uint8_t>(record.head.type & 0xFF));
    if (found == byType_.end()) return nullptr;
    for (const Entry& entry : found->second)
        if (std::unique_ptr<Element> element = entry.creator(record, link)) return element;
    return nullptr;
}

std::size_t CreatorList::count(std::uint8_t typeByte) const {
    const auto found = byType_.find(typeByte);
    return found == byType_.end() ? 0 : found->second.size();
}

}   // namespace tarnwick

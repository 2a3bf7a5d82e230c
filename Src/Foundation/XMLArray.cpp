#include "Foundation/XMLArray.h"

#include "Foundation/TracedException.h"
#include "Foundation/XMLAssemblyProxy.h"

namespace tarnwick {
namespace {
constexpr std::size_t kFirstItems = 4;   // room a list being read makes at its first item
}   // namespace

XMLArray::XMLArray(std::string_view tag, std::string_view itemTag) : XMLAssembly(tag), itemTag_(itemTag) {}

XMLArray::XMLArray(const XMLArray& other) : XMLAssembly(other), itemTag_(other.itemTag_) { copyItems(other); }

XMLArray& XMLArray::operator=(const XMLArray& other) {
    if (this == &other) return *this;
    XMLAssembly::operator=(other);
    itemTag_ = other.itemTag_;
    items_.clear();
    copyItems(other);
    return *this;
}

XMLArray::~XMLArray() = default;

void XMLArray::copyItems(const XMLArray& other) {
    items_.reserve(other.items_.size());
    for (const auto& item : other.items_) items_.push_back(item ? item->clone() : nullptr);
}

XMLAssembly& XMLArray::getItem(std::size_t index) const {
    XMLAssembly* const item = items_.at(index);   // throws past the end
    if (!item) throw TracedException("out_of_range", "XMLArray::getItem");
    return *item;
}

XMLAssembly& XMLArray::addItem(std::unique_ptr<XMLAssembly> item) {
    if (!item) throw TracedException("out_of_range", "XMLArray::addItem");
    return *items_.push_back(std::move(item));
}

std::unique_ptr<XMLAssembly> XMLArray::removeItem(std::size_t index) { return items_.release(index); }

void XMLArray::clear() {
    items_.clear();
    XMLAssembly::clear();
}

std::size_t XMLArray::getChildCount() const { return getChildTags().size() + items_.size(); }

std::unique_ptr<XMLProxy> XMLArray::findChild(std::string_view name, bool attribute) {
    if (!attribute && name == itemTag_) {
        // Most lists hold a few items: room for four at once spares the first regrowths (1, 2, 3).
        if (items_.capacity() == 0) items_.reserve(kFirstItems);
        XMLAssembly& item = addItem(makeItem());
        return std::make_unique<XMLAssemblyProxy>(item, itemTag_);
    }
    return XMLAssembly::findChild(name, attribute);
}

std::unique_ptr<XMLProxy> XMLArray::makeChildProxy(std::size_t index) {
    const std::size_t fixed = getChildTags().size();
    if (index < fixed || index - fixed >= items_.size()) return nullptr;
    XMLAssembly* const item = items_[index - fixed];
    if (!item) return nullptr;
    return std::make_unique<XMLAssemblyProxy>(*item, itemTag_);
}

}   // namespace tarnwick

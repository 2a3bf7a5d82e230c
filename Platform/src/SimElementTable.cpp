#include "SimElementTable.h"

#include <cstring>

#include "SimProject.h"

namespace host {
namespace {

bool isNull(const GuidBytes& guid) {
    for (unsigned char byte : guid)
        if (byte != 0) return false;
    return true;
}

}   // namespace

SimElementTable::SimElementTable() = default;
SimElementTable::SimElementTable(const SimElementTable& other) : items_(other.items_) {}
SimElementTable::SimElementTable(SimElementTable&& other) noexcept = default;
SimElementTable& SimElementTable::operator=(SimElementTable&& other) noexcept = default;
SimElementTable::~SimElementTable() = default;

SimElementTable& SimElementTable::operator=(const SimElementTable& other) {
    if (this == &other) return *this;
    items_ = other.items_;
    index_.clear();
    indexValid_ = false;
    return *this;
}

void SimElementTable::clear() {
    items_.clear();
    index_.clear();
    indexValid_ = false;
}

SimElement& SimElementTable::operator[](std::size_t position) {
    std::shared_ptr<SimElement>& item = items_[position];
    // Shared with another table (an undo step's picture): this one takes a copy before it changes.
    if (item.use_count() > 1) item = std::make_shared<SimElement>(*item);
    return *item;
}

void SimElementTable::push_back(SimElement element) {
    const GuidBytes guid = element.guid();
    items_.push_back(std::make_shared<SimElement>(std::move(element)));
    if (indexValid_ && !isNull(guid)) index_.emplace(guid, items_.size() - 1);   // the first of a guid wins
}

SimElementTable::iterator SimElementTable::erase(const_iterator position) {
    return erase(position, position + 1);
}

SimElementTable::iterator SimElementTable::erase(const_iterator first, const_iterator last) {
    const auto begin = items_.begin() + static_cast<std::ptrdiff_t>(first.position());
    items_.erase(begin, items_.begin() + static_cast<std::ptrdiff_t>(last.position()));
    indexValid_ = false;
    return {this, first.position()};
}

std::size_t SimElementTable::GuidHash::operator()(const GuidBytes& guid) const noexcept {
    std::uint64_t halves[2];
    std::memcpy(halves, guid.data(), sizeof halves);
    return std::hash<std::uint64_t>()(halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15u));
}

void SimElementTable::rebuildIndex() const {
    index_.clear();
    index_.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const GuidBytes guid = items_[i]->guid();
        if (!isNull(guid)) index_.emplace(guid, i);
    }
    indexValid_ = true;
}

std::size_t SimElementTable::positionOf(const GuidBytes& guid) const {
    if (isNull(guid)) return items_.size();
    if (!indexValid_) rebuildIndex();
    const auto found = index_.find(guid);
    if (found != index_.end() && found->second < items_.size() && items_[found->second]->guid() == guid)
        return found->second;
    // A record written with another GUID leaves the index behind: a miss looks at every element, and
    // a hit there makes the index again.
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->guid() == guid) {
            rebuildIndex();
            return i;
        }
    }
    return items_.size();
}

const SimElement* SimElementTable::find(const GuidBytes& guid) const {
    const std::size_t position = positionOf(guid);
    return position < items_.size() ? items_[position].get() : nullptr;
}

SimElement* SimElementTable::find(const GuidBytes& guid) {
    const std::size_t position = positionOf(guid);
    return position < items_.size() ? &(*this)[position] : nullptr;
}

std::size_t SimElementTable::countShared() const {
    std::size_t shared = 0;
    for (const auto& item : items_) shared += item.use_count() > 1 ? 1 : 0;
    return shared;
}

bool SimElementTable::operator==(const SimElementTable& other) const {
    if (items_.size() != other.items_.size()) return false;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] != other.items_[i] && !(*items_[i] == *other.items_[i])) return false;
    return true;
}

}   // namespace host

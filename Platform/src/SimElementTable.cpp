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

// Generated GUIDs differ in any of their bytes (a counter in the last ones, random bits elsewhere):
// both halves are mixed so that every byte moves the low bits the table uses.
std::size_t hashOf(const GuidBytes& guid) {
    std::uint64_t halves[2];
    std::memcpy(halves, guid.data(), sizeof halves);
    std::uint64_t h = halves[0] * 0x9E3779B97F4A7C15u ^ halves[1];
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDu;
    h ^= h >> 33;
    return static_cast<std::size_t>(h);
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
    indexed_ = 0;
    indexValid_ = false;
    return *this;
}

void SimElementTable::clear() {
    items_.clear();
    index_.clear();
    indexed_ = 0;
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
    if (!indexValid_ || isNull(guid)) return;
    if (2 * (indexed_ + 1) > index_.size())
        indexValid_ = false;   // made again, larger, at the next lookup
    else
        addToIndex(guid, items_.size() - 1);
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

void SimElementTable::addToIndex(const GuidBytes& guid, std::size_t position) const {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t at = hashOf(guid) & mask;; at = (at + 1) & mask) {
        if (index_[at].guid == guid) return;
        if (isNull(index_[at].guid)) {
            index_[at] = {guid, position};
            ++indexed_;
            return;
        }
    }
}

void SimElementTable::rebuildIndex() const {
    std::size_t size = 16;
    while (size < 2 * items_.size()) size *= 2;
    index_.assign(size, Slot{});
    indexed_ = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const GuidBytes guid = items_[i]->guid();
        if (!isNull(guid)) addToIndex(guid, i);
    }
    indexValid_ = true;
    last_ = kNoPosition;   // positions may have moved
}

std::size_t SimElementTable::positionOf(const GuidBytes& guid) const {
    if (isNull(guid)) return items_.size();
    if (!indexValid_) rebuildIndex();
    // The host is asked about one element many times in a row: its place is tried before the index.
    if (last_ < items_.size() && lastGuid_ == guid && items_[last_]->guid() == guid) return last_;
    const std::size_t mask = index_.size() - 1;
    for (std::size_t at = hashOf(guid) & mask; !isNull(index_[at].guid); at = (at + 1) & mask) {
        if (index_[at].guid != guid) continue;
        const std::size_t position = index_[at].position;
        if (position < items_.size() && items_[position]->guid() == guid) {
            last_ = position;
            lastGuid_ = guid;
            return position;
        }
        break;
    }
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

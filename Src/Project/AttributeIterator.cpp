#include "Project/AttributeIterator.h"

#include "Project/ElementIterator.h"   // the error places' run-time names

namespace tarnwick {

AttributeIterator::AttributeIterator(std::unique_ptr<Attribute> first, const Specification::Filter& filter,
                                     bool forward, bool writeBack)
    : filter_(filter.clone()), current_(std::move(first)), forward_(forward), writeBack_(writeBack) {}

AttributeIterator& AttributeIterator::operator=(AttributeIterator&& other) noexcept {
    if (this == &other) return *this;
    filter_ = std::move(other.filter_);
    current_ = std::move(other.current_);
    forward_ = other.forward_;
    writeBack_ = other.writeBack_;
    failedWrites_ = other.failedWrites_;
    return *this;
}

AttributeIterator::~AttributeIterator() = default;

void AttributeIterator::release(bool deleteAttribute) {
    if (current_ && writeBack_) {
        Specification* owner = current_->getLink().getOwner();
        if (owner == nullptr || !owner->write(*current_)) ++failedWrites_;
    }
    if (deleteAttribute)
        current_.reset();
    else
        static_cast<void>(current_.release());   // the caller took it with takeAttribute
}

Attribute& AttributeIterator::getReference() const {
    if (!current_) iteration::fail(*this, "out_of_range", "getReference");
    return *current_;
}

void AttributeIterator::moveForward(bool deleteCurrent) {
    if (!current_) iteration::fail(*this, "out_of_range", "moveForward");
    const AttributeLink link = current_->getLink();
    release(deleteCurrent);
    seekNext(link, forward_);
}

void AttributeIterator::seekNext(const AttributeLink& link, bool forward) {
    Specification* owner = link.getOwner();
    if (owner == nullptr || !filter_) iteration::fail(*this, "bad_alloc", "seekNext");
    current_ = owner->seek(link, forward, filter_.get());
}

bool AttributeIterator::operator==(const AttributeIterator& other) const {
    if (!current_ || !other.current_) return !current_ && !other.current_;
    return current_->getLink() == other.current_->getLink();
}

}   // namespace tarnwick

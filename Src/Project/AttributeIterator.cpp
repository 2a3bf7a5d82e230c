#include "Project/AttributeIterator.h"

#include "Project/ElementIterator.h"   // the error places' run-time names

namespace tarnwick {

AttributeIterator::AttributeIterator(std::unique_ptr<Attribute> first, const Specification::Filter& filter,
                                     bool forward, bool writeBack)
    : filter_(filter.clone()), current_(std::move(first)), forward_(forward), writeBack_(writeBack) {}

AttributeIterator::AttributeIterator(std::shared_ptr<const AttrRefList> links,
                                     const Specification::Filter& filter, bool writeBack)
    : filter_(filter.clone()), links_(std::move(links)), writeBack_(writeBack) {
    loadLinkedRecord(/*endAllowed=*/true, /*forward=*/true);
}

AttributeIterator& AttributeIterator::operator=(AttributeIterator&& other) noexcept {
    if (this == &other) return *this;
    filter_ = std::move(other.filter_);
    current_ = std::move(other.current_);
    observer_ = other.observer_;
    links_ = std::move(other.links_);
    position_ = other.position_;
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
    if (links_) {
        release(deleteCurrent);
        position_ += forward_ ? 1 : -1;
        loadLinkedRecord(/*endAllowed=*/true, forward_);
        return;
    }
    const AttributeLink link = current_->getLink();
    release(deleteCurrent);
    seekNext(link, forward_);
}

void AttributeIterator::seekNext(const AttributeLink& link, bool forward) {
    Specification* owner = link.getOwner();
    if (owner == nullptr || !filter_) iteration::fail(*this, "bad_alloc", "seekNext");
    current_ = owner->seek(link, forward, filter_.get());
    if (observer_ != nullptr) observer_->loaded(current_.get());
}

void AttributeIterator::loadLinkedRecord(bool endAllowed, bool forward) {
    const auto inside = [&] {
        return links_ && position_ >= 0 && position_ < static_cast<std::int64_t>(links_->size());
    };
    if (!inside()) {
        if (!endAllowed) iteration::fail(*this, "out_of_range", "loadLinkedRecord");
        links_.reset();
        return;
    }
    while (inside()) {
        const AttributeLink* link = (*links_)[static_cast<std::size_t>(position_)];
        if (link == nullptr || link->getOwner() == nullptr || !filter_)
            iteration::fail(*this, "bad_alloc", "loadLinkedRecord");
        current_ = link->getOwner()->loadAttribute(*link, filter_.get());
        if (observer_ != nullptr) observer_->loaded(current_.get());
        if (current_) return;
        position_ += forward ? 1 : -1;
    }
    links_.reset();   // past the end: the walk is over
}

bool AttributeIterator::operator==(const AttributeIterator& other) const {
    if (!current_ || !other.current_) return !current_ && !other.current_;
    return current_->getLink() == other.current_->getLink();
}

}   // namespace tarnwick

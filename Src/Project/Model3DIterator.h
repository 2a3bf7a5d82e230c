// Model3DIterator: a walk over the elements of the 3D window's host model, forwards or backwards,
// holding one Element3D at a time and making the next only when asked.
#pragma once

#include <memory>

#include "Geometry/Element3D.h"
#include "Project/Drawing.h"
#include "Project/Element3DLink.h"
#include "Project/ElementIterator.h"
#include "Project/ModelProxy.h"

namespace tarnwick {

// Copies hold their own copy of the element and the filter. An iterator without an element is at the
// end; two iterators are equal at the end, or on the same proxy and index. The filter is kept with the
// walk (the Drawing's filters judge placed elements, not 3D elements). Errors throw TracedException
// "out_of_range" with the iterator's run-time class name and "::getReference" or "::moveForward".
template <bool Forward>
class Model3DIterator {
public:
    Model3DIterator() = default;   // the end
    Model3DIterator(std::unique_ptr<Element3D> first, const Element3DLink& link,
                    const Drawing::Filter& filter)
        : current_(std::move(first)), filter_(filter.clone()), link_(link) {}
    Model3DIterator(const Model3DIterator& other)
        : current_(other.current_ ? std::make_unique<Element3D>(*other.current_) : nullptr),
          filter_(other.filter_ ? other.filter_->clone() : nullptr),
          link_(other.link_) {}
    Model3DIterator& operator=(const Model3DIterator& other) {
        if (this != &other) *this = Model3DIterator(other);
        return *this;
    }
    Model3DIterator(Model3DIterator&&) noexcept = default;
    Model3DIterator& operator=(Model3DIterator&&) noexcept = default;
    virtual ~Model3DIterator() = default;   // deletes the element it holds

    const Element3D& getReference() const {
        if (!current_) iteration::fail(*this, "out_of_range", "getReference");
        return *current_;
    }
    const Element3D& operator*() const { return getReference(); }
    const Element3D* operator->() const { return &getReference(); }
    const Element3DLink& getLink() const { return link_; }   // of the current element

    // Steps on through the proxy; past the last (or first) element the iterator is at the end.
    Model3DIterator& operator++() {
        if (!current_ || link_.getProxy() == nullptr) iteration::fail(*this, "out_of_range", "moveForward");
        current_ = link_.getProxy()->seek(link_, Forward);
        return *this;
    }

    bool operator==(const Model3DIterator& other) const {
        if (!current_ || !other.current_) return !current_ && !other.current_;
        return link_.getProxy() == other.link_.getProxy() && link_.getIndex() == other.link_.getIndex();
    }
    bool operator!=(const Model3DIterator& other) const { return !(*this == other); }

private:
    std::unique_ptr<Element3D> current_;
    std::unique_ptr<Drawing::Filter> filter_;
    Element3DLink link_;
};

}   // namespace tarnwick

// Element3DLink: a placed element's link together with its place in the 3D window's host model.
#pragma once

#include <cstdint>

#include "Project/ElementLink.h"

namespace tarnwick {

class ModelProxy;

// A value. The proxy (not owned) is the 3D view's that walks the model; null for a link made alone. An
// assignment copies the link and the index into a link that stays with its own proxy; a move hands the
// proxy over too (a walk's link moves with its iterator).
class Element3DLink {
public:
    Element3DLink() = default;
    Element3DLink(std::int32_t index, ModelProxy* proxy) : proxy_(proxy), index_(index) {}
    Element3DLink(const ElementLink& link, ModelProxy* proxy, std::int32_t index)
        : link_(link), proxy_(proxy), index_(index) {}
    Element3DLink(const Element3DLink&) = default;
    Element3DLink(Element3DLink&&) noexcept = default;
    Element3DLink& operator=(const Element3DLink& other) {
        link_ = other.link_;
        index_ = other.index_;
        return *this;
    }
    Element3DLink& operator=(Element3DLink&&) noexcept = default;
    ~Element3DLink() = default;

    // Equal links at equal indices; the proxies take no part.
    bool operator==(const Element3DLink& other) const {
        return link_ == other.link_ && index_ == other.index_;
    }
    bool operator!=(const Element3DLink& other) const { return !(*this == other); }

    const ElementLink& getLink() const { return link_; }
    void setLink(const ElementLink& link) { link_ = link; }
    ModelProxy* getProxy() const { return proxy_; }
    std::int32_t getIndex() const { return index_; }   // 0-based within the host model
    void setIndex(std::int32_t index) { index_ = index; }

private:
    ElementLink link_;
    ModelProxy* proxy_ = nullptr;
    std::int32_t index_ = 0;
};

}   // namespace tarnwick

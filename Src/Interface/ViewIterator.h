// ViewIterator: the iterator over the rows of a list or the items of a popup: a cursor node it owns and
// a walk mode (0 every row, 2 the selected rows only).
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

#include "Foundation/String.h"
#include "Foundation/TracedException.h"

namespace tarnwick {

// Node (ListControl::Node, PopupMenu::Node) gives: hasOwner(), isValid(), getIndex() (-1 at the end),
// moveForward (mode) and moveBackward (mode), which throw at the end, and the iterator names
// kIteratorName and kConstIteratorName. ViewIterator<const Node> is the constant form and can be made
// from the plain one. The end counts as index -1: it equals every other end and is before every row.
template <typename Node>
class ViewIterator {
public:
    using PlainNode = std::remove_const_t<Node>;

    ViewIterator() = default;
    ViewIterator(std::unique_ptr<PlainNode> node, std::int32_t mode) : node_(std::move(node)), mode_(mode) {}
    ViewIterator(const ViewIterator& other)
        : node_(other.node_ ? std::make_unique<PlainNode>(*other.node_) : nullptr), mode_(other.mode_) {}
    template <typename Other,
              typename = std::enable_if_t<std::is_same_v<const Other, Node> && !std::is_same_v<Other, Node>>>
    ViewIterator(const ViewIterator<Other>& other)   // NOLINT: a plain iterator converts to the constant one
        : node_(other.getNode() ? std::make_unique<PlainNode>(*other.getNode()) : nullptr),
          mode_(other.getMode()) {}
    ViewIterator& operator=(const ViewIterator& other) {
        if (this != &other) {
            node_ = other.node_ ? std::make_unique<PlainNode>(*other.node_) : nullptr;
            mode_ = other.mode_;
        }
        return *this;
    }

    // Virtual operations, in this order.
    virtual ~ViewIterator() = default;
    virtual bool operator==(const ViewIterator& other) const {
        const bool end = atEnd(), otherEnd = other.atEnd();
        if (end || otherEnd) return end && otherEnd;
        return node_->getIndex() == other.node_->getIndex();
    }
    virtual bool operator!=(const ViewIterator& other) const { return !(*this == other); }
    virtual bool operator<(const ViewIterator& other) const {
        if (other.atEnd()) return false;
        if (atEnd()) return true;
        return node_->getIndex() < other.node_->getIndex();
    }

    Node& operator*() const {
        isValid(true);
        return *node_;
    }
    Node* operator->() const {
        isValid(true);
        return node_.get();
    }
    ViewIterator& operator++() {
        isValid(true);
        node_->moveForward(mode_);
        return *this;
    }
    ViewIterator& operator--() {
        isValid(true);
        node_->moveBackward(mode_);
        return *this;
    }

    std::int32_t getMode() const { return mode_; }
    const PlainNode* getNode() const { return node_.get(); }
    // Throws TracedException ("out_of_range", "<iterator>::isValid") without a node or its owner, or, when
    // a row is required, at the end.
    void isValid(bool requireRow) const {
        if (!node_ || !node_->hasOwner() || (requireRow && !node_->isValid()))
            throw TracedException("out_of_range", String(std::is_const_v<Node> ? PlainNode::kConstIteratorName
                                                                               : PlainNode::kIteratorName) +
                                                      String("::isValid"));
    }

private:
    bool atEnd() const { return !node_ || !node_->isValid(); }

    std::unique_ptr<PlainNode> node_;
    std::int32_t mode_ = 0;
};

}   // namespace tarnwick

// ElementIterator: walks the links of a container's elements that pass a filter, making each element
// only when it is reached. Instantiated by Drawing (its iterator, reverse_iterator and const_iterator).
#pragma once

#include <cxxabi.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

#include "Foundation/String.h"
#include "Foundation/TracedException.h"
#include "Project/IterationObserver.h"

namespace tarnwick {

namespace iteration {
// The run-time class name of an object, readable ("tarnwick::ElementIterator<...>"), for error places.
template <typename T>
String runTimeName(const T& object) {
    const char* mangled = typeid(object).name();
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    String name(status == 0 && readable != nullptr ? readable : mangled);
    std::free(readable);
    return name;
}

template <typename T>
[[noreturn]] void fail(const T& object, const char* kind, const char* method) {
    String place = runTimeName(object);
    place += "::";
    place += method;
    throw TracedException(kind, place);
}
}   // namespace iteration

// The list of links is shared by copies of an iterator; each copy owns its own copy of the element. An
// iterator at the end holds neither; the default iterator is the end every walk compares against.
//
// Container needs: loadElement(const Link&, const Filter*) -> std::unique_ptr<Item>, and
// storeElement(Item&, bool create, bool withMemo). Item needs clone() -> std::unique_ptr<Item>. Link needs
// getDrawing() -> Container*.
template <class Container, class Item, class Link, class Filter, class LinkList>
class IteratorBase {
public:
    IteratorBase() = default;
    // answers: the container's token that keeps the host's answers while the walk runs (may be null).
    IteratorBase(std::shared_ptr<LinkList> links, const Filter& filter, std::int64_t position,
                 std::shared_ptr<void> answers = nullptr)
        : filter_(filter.clone()),
          links_(std::move(links)),
          answers_(std::move(answers)),
          position_(position) {}
    IteratorBase(const IteratorBase& other)
        : current_(copyOf(other.current_)),
          filter_(other.filter_ ? other.filter_->clone() : nullptr),
          observer_(other.observer_),
          links_(other.links_),
          answers_(other.answers_),
          position_(other.position_) {}
    IteratorBase& operator=(const IteratorBase& other) {
        if (this == &other) return *this;
        release(true);
        current_ = copyOf(other.current_);
        filter_ = other.filter_ ? other.filter_->clone() : nullptr;
        observer_ = other.observer_;
        links_ = other.links_;
        answers_ = other.answers_;
        position_ = other.position_;
        return *this;
    }
    // Deletes the element it holds without writing it back.
    virtual ~IteratorBase() = default;

    // Lets go of the current element (writing it back first where the kind says so); deletes it when
    // asked, else hands it to nobody (the caller took it with takeElement).
    virtual void release(bool deleteItem) {
        if (deleteItem)
            current_.reset();
        else
            static_cast<void>(current_.release());
    }

    // The current element. Throws TracedException "out_of_range" at the end.
    Item& getReference() const {
        if (!current_) iteration::fail(*this, "out_of_range", "getReference");
        return *current_;
    }
    Item& operator*() const { return getReference(); }
    Item* operator->() const { return &getReference(); }
    std::unique_ptr<Item> takeElement() { return std::move(current_); }   // owned by the caller now

    bool atEnd() const { return !current_ && !links_; }
    // Told after each load from now on (null: nobody); not owned. Copies tell the same one.
    void setObserver(IterationObserver<Item>* observer) { observer_ = observer; }
    // Two iterators are equal at the end, or on the same list and position.
    bool operator==(const IteratorBase& other) const {
        if (atEnd() || other.atEnd()) return atEnd() == other.atEnd();
        return links_ == other.links_ && position_ == other.position_;
    }

protected:
    // A copy holds its own copy of the element, so that it compares equal and can be dereferenced like
    // the original, without asking the host again.
    static std::unique_ptr<Item> copyOf(const std::unique_ptr<Item>& item) {
        if (!item) return nullptr;
        return item->clone();
    }

    // Loads the element at the position, stepping over links whose element cannot be made or that the
    // filter refuses; stepping past either end lets the list go. Without a list, the end is an error
    // unless allowed.
    void loadLinkedRecord(bool endAllowed, bool forward) {
        if (!links_) {
            if (!endAllowed) iteration::fail(*this, "out_of_range", "loadLinkedRecord");
            return;
        }
        while (links_) {
            if (position_ < 0 || position_ >= static_cast<std::int64_t>(links_->size())) {
                endWalk();
                return;
            }
            Link* link = (*links_)[static_cast<std::size_t>(position_)];
            Container* container = link != nullptr ? link->getDrawing() : nullptr;
            if (container == nullptr || !filter_) iteration::fail(*this, "bad_alloc", "loadLinkedRecord");
            current_ = container->loadElement(*link, filter_.get());
            if (observer_ != nullptr) observer_->loaded(current_.get());
            if (current_) return;
            position_ += forward ? 1 : -1;
        }
    }

    // One step on: lets go of the element and loads the next one.
    void step(bool deleteItem, bool forward) {
        if (!links_) {
            if (!current_) iteration::fail(*this, "out_of_range", "moveForward");
            seekNext(deleteItem);
            return;
        }
        release(deleteItem);
        position_ += forward ? 1 : -1;
        if (position_ < 0 || position_ >= static_cast<std::int64_t>(links_->size())) {
            endWalk();
            return;
        }
        loadLinkedRecord(false, forward);
    }

    // An element held without a list (taken over from elsewhere): the container has no next element to
    // give, so the walk ends here.
    void seekNext(bool deleteItem) {
        Container* container = current_ ? current_->getLink().getDrawing() : nullptr;
        if (container == nullptr || !filter_) iteration::fail(*this, "bad_alloc", "seekNext");
        release(deleteItem);
        if (observer_ != nullptr) observer_->loaded(nullptr);
    }

    void endWalk() {   // past either end: the list and the kept answers go
        links_.reset();
        answers_.reset();
    }

    std::unique_ptr<Item> current_;    // null at the end
    std::unique_ptr<Filter> filter_;   // our own copy
    IterationObserver<Item>* observer_ = nullptr;
    std::shared_ptr<LinkList> links_;
    std::shared_ptr<void> answers_;   // shared by copies; gone at the end
    std::int64_t position_ = 0;
};

// Adds the write-back: an element is stored (changed, with its memo) before it is let go.
template <class Container, class Item, class Link, class Filter, class LinkList>
class NonConstIteratorBase : public IteratorBase<Container, Item, Link, Filter, LinkList> {
    using Base = IteratorBase<Container, Item, Link, Filter, LinkList>;

public:
    NonConstIteratorBase() = default;
    NonConstIteratorBase(std::shared_ptr<LinkList> links, const Filter& filter, std::int64_t position,
                         bool writeBack, std::shared_ptr<void> answers = nullptr)
        : Base(std::move(links), filter, position, std::move(answers)), writeBack_(writeBack) {}

    void release(bool deleteItem) override {
        if (this->current_ && writeBack_) {
            if (Container* container = this->current_->getLink().getDrawing())
                container->storeElement(*this->current_, /*create=*/false, /*withMemo=*/true);
        }
        Base::release(deleteItem);
    }
    virtual bool getWriteBack() const { return writeBack_; }
    virtual void setWriteBack(bool on) { writeBack_ = on; }

private:
    bool writeBack_ = true;
};

template <class Container, class Item, class Link, class Filter, class LinkList>
class ConstIteratorBase : public IteratorBase<Container, Item, Link, Filter, LinkList> {
    using Base = IteratorBase<Container, Item, Link, Filter, LinkList>;

public:
    using Base::Base;
};

template <class Container, class Item, class Link, class Filter, class LinkList>
class ElementIterator : public NonConstIteratorBase<Container, Item, Link, Filter, LinkList> {
    using Base = NonConstIteratorBase<Container, Item, Link, Filter, LinkList>;

public:
    ElementIterator() = default;   // the end
    ElementIterator(std::shared_ptr<LinkList> links, const Filter& filter, bool writeBack,
                    std::shared_ptr<void> answers = nullptr)
        : Base(std::move(links), filter, 0, writeBack, std::move(answers)) {
        this->loadLinkedRecord(/*endAllowed=*/true, /*forward=*/true);
    }
    void moveForward(bool deleteItem = true) { this->step(deleteItem, true); }
    ElementIterator& operator++() {
        moveForward();
        return *this;
    }
};

template <class Container, class Item, class Link, class Filter, class LinkList>
class ReverseElementIterator : public NonConstIteratorBase<Container, Item, Link, Filter, LinkList> {
    using Base = NonConstIteratorBase<Container, Item, Link, Filter, LinkList>;

public:
    ReverseElementIterator() = default;   // the end
    ReverseElementIterator(std::shared_ptr<LinkList> links, const Filter& filter, bool writeBack,
                           std::shared_ptr<void> answers = nullptr)
        : Base(links, filter, links && links->size() > 0 ? static_cast<std::int64_t>(links->size()) - 1 : 0,
               writeBack, std::move(answers)) {
        this->loadLinkedRecord(/*endAllowed=*/true, /*forward=*/false);
    }
    void moveForward(bool deleteItem = true) { this->step(deleteItem, false); }
    ReverseElementIterator& operator++() {
        moveForward();
        return *this;
    }
};

// Never writes back.
template <class Container, class Item, class Link, class Filter, class LinkList>
class ConstElementIterator : public ConstIteratorBase<Container, Item, Link, Filter, LinkList> {
    using Base = ConstIteratorBase<Container, Item, Link, Filter, LinkList>;

public:
    ConstElementIterator() = default;   // the end
    ConstElementIterator(std::shared_ptr<LinkList> links, const Filter& filter,
                         std::shared_ptr<void> answers = nullptr)
        : Base(std::move(links), filter, 0, std::move(answers)) {
        this->loadLinkedRecord(/*endAllowed=*/true, /*forward=*/true);
    }
    void moveForward(bool deleteItem = true) { this->step(deleteItem, true); }
    ConstElementIterator& operator++() {
        moveForward();
        return *this;
    }
};

}   // namespace tarnwick

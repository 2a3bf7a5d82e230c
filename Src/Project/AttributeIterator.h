// AttributeIterator: a walk over the attributes of a Specification that pass a filter, holding one
// attribute at a time and finding the next only when asked.
#pragma once

#include <memory>

#include "Project/AttrRefList.h"
#include "Project/Attribute.h"
#include "Project/IterationObserver.h"
#include "Project/Specification.h"

namespace tarnwick {

// Walks either the Specification itself or a list of links (in list order, passing over links whose
// attribute does not load or pass the filter). Move-only. An iterator holding no attribute is at the end; two
// iterators are equal when both are at the end, or both hold attributes with equal links. Errors throw
// TracedException with the iterator's run-time class name and the operation as place: "out_of_range" from
// getReference and moveForward at the end, "bad_alloc" from a step whose link is null or has no
// Specification, or an iterator without filter.
class AttributeIterator {
public:
    AttributeIterator() = default;   // the end
    // Holds `first` (null: at the end) and a copy of the filter; forward or backward.
    AttributeIterator(std::unique_ptr<Attribute> first, const Specification::Filter& filter, bool forward,
                      bool writeBack);
    // Walks the links of the list (shared, not changed) from its first, which it loads now.
    AttributeIterator(std::shared_ptr<const AttrRefList> links, const Specification::Filter& filter,
                      bool writeBack);
    AttributeIterator(AttributeIterator&&) noexcept = default;
    AttributeIterator& operator=(AttributeIterator&& other) noexcept;
    AttributeIterator(const AttributeIterator&) = delete;
    AttributeIterator& operator=(const AttributeIterator&) = delete;

    // Virtual operations, in this order.
    virtual ~AttributeIterator();   // deletes the current attribute without writing it back
    // Lets go of the current attribute: with writeBack it is written back to its link's Specification
    // first; then deleted when asked, else handed to nobody (the caller took it with takeAttribute).
    virtual void release(bool deleteAttribute);
    virtual bool getWriteBack() const { return writeBack_; }
    virtual void setWriteBack(bool writeBack) { writeBack_ = writeBack; }

    Attribute& getReference() const;   // the current attribute
    Attribute& operator*() const { return getReference(); }
    Attribute* operator->() const { return &getReference(); }
    // Steps to the next attribute of the walk (in its direction), releasing the current one.
    void moveForward(bool deleteCurrent = true);
    AttributeIterator& operator++() {
        moveForward(true);
        return *this;
    }
    std::unique_ptr<Attribute> takeAttribute() { return std::move(current_); }   // the caller owns it

    bool operator==(const AttributeIterator& other) const;
    bool operator!=(const AttributeIterator& other) const { return !(*this == other); }

    // Told after each load from now on (null: nobody); not owned.
    void setObserver(IterationObserver<Attribute>* observer) { observer_ = observer; }

    // Bookkeeping of the writes made when leaving attributes: how many failed.
    std::size_t getFailedWrites() const { return failedWrites_; }

private:
    void seekNext(const AttributeLink& link, bool forward);
    // Loads the attribute at the list position, stepping on past links that give none; past the list's
    // end the list is dropped. Without a list (or past its end) that is an error unless allowed.
    void loadLinkedRecord(bool endAllowed, bool forward);

    std::unique_ptr<Specification::Filter> filter_;
    std::unique_ptr<Attribute> current_;
    IterationObserver<Attribute>* observer_ = nullptr;
    std::shared_ptr<const AttrRefList> links_;   // walking a list: null once past its end
    std::int64_t position_ = 0;
    bool forward_ = true;
    bool writeBack_ = false;
    std::size_t failedWrites_ = 0;
};

}   // namespace tarnwick

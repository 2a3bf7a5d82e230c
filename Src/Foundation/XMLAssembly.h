// XMLAssembly: the base of every XML record. A record declares its children by a table of child tags and
// wraps child n in a typed proxy on request; the reader finds children by tag, the writer walks them by
// index, attributes first.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <span>
#include <string_view>

namespace tarnwick {

class XMLProxy;
struct XMLValueChild;

// Copyable only by derived records (for clone). The tag is borrowed: a literal, or text the record
// keeps alive. A record is present by default; the writer leaves an absent one out.
class XMLAssembly {
public:
    explicit XMLAssembly(std::string_view tag);
    virtual ~XMLAssembly();

    // A read makes a record per element and a dropped tree frees them all at once: records of up to
    // BlockPool::kLargestKept bytes come from the thread's free list of their size.
    static void* operator new(std::size_t size);   // throws std::bad_alloc
    static void operator delete(void* block, std::size_t size) noexcept;
    static void* operator new(std::size_t size, std::align_val_t alignment) {   // over-aligned: the heap's
        return ::operator new(size, alignment);
    }
    static void operator delete(void* block, std::align_val_t alignment) noexcept {
        ::operator delete(block, alignment);
    }

    std::string_view getTag() const { return tag_; }
    bool isPresent() const { return present_; }
    void setPresent(bool present) { present_ = present; }

    virtual std::unique_ptr<XMLAssembly> clone() const = 0;   // a deep copy of the same kind
    virtual void clear();                                     // back to the empty record; present again

    // Called by the reader at the record's end tag, after all its children were read. False makes the
    // whole read fail. Records that finish their work here (append, build) do it in this hook.
    virtual bool isValid();

    virtual std::size_t getChildCount() const;   // the size of the child table unless overridden
    // Child index for the writer's attribute pass (true) or element pass (false); null when the record
    // has no such child, the child is null, or it belongs to the other pass.
    std::unique_ptr<XMLProxy> getChildProxy(std::size_t index, bool attributePass);
    // Child index for either pass, as its proxy says; null when the record has no such child or it is null.
    std::unique_ptr<XMLProxy> getChildProxy(std::size_t index);
    // While reading: the child named name ("tag" or "namespace:tag"); null when the record does not know
    // it. attribute says the name came from an attribute (a record that makes items makes none then).
    virtual std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute);

    // While reading: value children the reader sets from their text without a proxy, element or
    // attribute alike. A name found here is not offered to findChild. Entries have bare tags (a prefixed
    // name is never found here) and should also be in the child table, through which they are written.
    // Empty unless overridden.
    virtual std::span<const XMLValueChild> getValueChildren() const;
    // The entry of table whose tag is name; null when there is none.
    static const XMLValueChild* findValueChild(std::span<const XMLValueChild> table, std::string_view name);
    // Whether tag (bare) is in the child table. A value child named there holds one value: a read takes
    // the first element of its name in the record and leaves a later one out. Values made afresh for
    // each element, the items of a list, are named past the table.
    bool hasChildTag(std::string_view tag) const;

protected:
    XMLAssembly(const XMLAssembly&) = default;
    XMLAssembly& operator=(const XMLAssembly&) = default;

    void setTag(std::string_view tag) { tag_ = tag; }   // for a root whose user names it; borrowed

    virtual std::span<const std::string_view> getChildTags() const;        // index n: the tag of child n
    virtual std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index);   // null: no such child

private:
    std::string_view tag_;
    bool present_ = true;
};

}   // namespace tarnwick

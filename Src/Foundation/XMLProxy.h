// XMLProxy: one child of an XML record as the reader and the writer see it: its tag, whether it is
// written as an attribute, a namespace prefix and a present mark. Derived proxies say what is behind it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "Foundation/BlockPool.h"

namespace tarnwick {

class XMLAssembly;

// Made by a record for one read or write step, then thrown away. It borrows its target, its tag and its
// namespace (normally literals of the record's child table); all must outlive it. Not copyable.
class XMLProxy {
public:
    // An empty namespace writes and reads the bare tag; otherwise the name is "namespace:tag".
    XMLProxy(std::string_view tag, bool isAttribute, std::string_view nameSpace = {}, bool present = true)
        : tag_(tag), nameSpace_(nameSpace), isAttribute_(isAttribute), present_(present) {}
    virtual ~XMLProxy() = default;

    XMLProxy(const XMLProxy&) = delete;
    XMLProxy& operator=(const XMLProxy&) = delete;

    // A proxy lives for one step, and a read or write makes one per child: its block comes from the
    // thread's free list of its size rather than from the heap.
    static void* operator new(std::size_t size) { return BlockPool::allocate(size); }   // throws bad_alloc
    static void operator delete(void* block, std::size_t size) noexcept { BlockPool::release(block, size); }

    std::string_view getTag() const { return tag_; }
    std::string_view getNamespace() const { return nameSpace_; }
    bool isAttribute() const { return isAttribute_; }

    virtual bool isPresent() const { return present_; }   // the writer leaves an absent child out
    void setPresent(bool present) { present_ = present; }

    // A record child: the record behind the tag, read into and written from. Null for a value child.
    virtual XMLAssembly* getRecord();
    // A value child: sets the target from its decoded text. False (target unchanged) when the text is
    // no value of the target's type; the base, which has no value, refuses every text.
    virtual bool setFromText(std::string_view text);
    // A value child: replaces text with the target's text. False when the value has no text form; the
    // base has none.
    virtual bool getText(std::string& text) const;

private:
    std::string_view tag_;
    std::string_view nameSpace_;
    bool isAttribute_;
    bool present_;
};

}   // namespace tarnwick

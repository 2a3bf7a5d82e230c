// ElementListMaker: makes a list of element links on request, for the Drawing's selection, delete and
// element tool commands.
#pragma once

#include <memory>

#include <HostMemory.h>

namespace tarnwick {

class ElementLinkList;

class ElementListMaker {
public:
    virtual ~ElementListMaker() = default;
    virtual std::unique_ptr<ElementLinkList> makeList() = 0;   // null when there is nothing to list
    // After an element tool command the host took: the element heads it was given, as the host left
    // them (null for an empty list). Borrowed for the call; the Drawing disposes the handle. Nothing in
    // the base.
    virtual void receiveHeads(host::Handle heads) { static_cast<void>(heads); }
};

}   // namespace tarnwick

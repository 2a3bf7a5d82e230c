// ElementListMaker: makes a list of element links on request, for the Drawing's selection and delete
// commands.
#pragma once

#include <memory>

namespace tarnwick {

class ElementLinkList;

class ElementListMaker {
public:
    virtual ~ElementListMaker() = default;
    virtual std::unique_ptr<ElementLinkList> makeList() = 0;   // null when there is nothing to list
};

}   // namespace tarnwick

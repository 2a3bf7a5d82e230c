// ElementParameterMemo: the parameter memo as a library-part element holds it.
#pragma once

#include "LibraryParts/ComponentParameterMemo.h"

namespace tarnwick {

// An element and its parameter memo both have a width and a depth: the element's are its bounds', the
// memo's the parameters "A" and "B". The memo's are reached here under names of their own, which a
// kind overrides, so that neither meaning replaces the other.
class ElementParameterMemo : public ComponentParameterMemo {
public:
    double getWidth() final { return getParameterWidth(); }
    double getDepth() final { return getParameterDepth(); }

protected:
    virtual double getParameterWidth() { return ComponentParameterMemo::getWidth(); }
    virtual double getParameterDepth() { return ComponentParameterMemo::getDepth(); }
};

}   // namespace tarnwick

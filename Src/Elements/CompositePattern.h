// CompositePattern: the pattern side of a composite structure.
#pragma once

#include "Project/Pattern.h"

namespace tarnwick {

// A composite is an attribute, a pattern and a memo, and all three have an isValid: the pattern's is the
// attribute's, the memo's whether it holds its skins and lines. The pattern's is reached here under a
// name of its own, so that the memo keeps its meaning.
class CompositePattern : public Pattern {
public:
    bool isValid() const final { return isPatternValid(); }

protected:
    virtual bool isPatternValid() const = 0;
};

}   // namespace tarnwick

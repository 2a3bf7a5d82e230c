// Pattern: a fill-like attribute (a fill, a composite) used without knowing its class.
#pragma once

#include <cstdint>

#include "Foundation/String.h"
#include "Project/AttributeLink.h"

namespace tarnwick {

// Implemented by attribute kinds beside Attribute; each operation answers as the Attribute one does.
class Pattern {
public:
    virtual ~Pattern() = default;
    virtual bool isValid() const = 0;
    virtual std::int32_t getIndex() const = 0;
    virtual const AttributeLink& getLink() const = 0;
    virtual String getName() const = 0;
};

}   // namespace tarnwick

// ClassificationName: the name of a classification item together with the name of its system.
#pragma once

#include <memory>

#include "Foundation/String.h"

namespace tarnwick {

class Classification;

// The String is the item's name; the system's name stands beside it (empty when the item has none).
class ClassificationName : public String {
public:
    ClassificationName() = default;
    ClassificationName(const String& name, const String& systemName);
    explicit ClassificationName(const Classification& item);

    std::unique_ptr<String> clone() const override;   // a plain String of the name

    const String& getSystemName() const { return systemName_; }
    bool operator==(const ClassificationName& other) const;   // name and system name

private:
    String systemName_;
};

}   // namespace tarnwick

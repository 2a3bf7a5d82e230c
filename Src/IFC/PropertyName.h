// PropertyName: a property's name with the name of its group, by which a definition is found.
#pragma once

#include <memory>

#include "Foundation/String.h"

namespace tarnwick {

// The text is the property's name; the group name is empty when the group does not matter.
class PropertyName : public String {
public:
    PropertyName() = default;
    explicit PropertyName(const String& name, const String& groupName = String());
    PropertyName(const PropertyName&) = default;
    PropertyName& operator=(const PropertyName&) = default;
    ~PropertyName() override;

    std::unique_ptr<String> clone() const override;
    void clear() override;   // both texts

    const String& getGroupName() const { return groupName_; }
    void setGroupName(const String& name) { groupName_ = name; }

private:
    String groupName_;
};

}   // namespace tarnwick

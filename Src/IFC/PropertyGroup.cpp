#include "IFC/PropertyGroup.h"

#include "Environment/HostApi.h"
#include "IFC/HostUniText.h"
#include "IFC/PropertyDatabase.h"

namespace tarnwick {

PropertyGroup::PropertyGroup(const String& name)
    : name_(name), stamp_(PropertyDatabase::groupGeneration()), loaded_(true), modified_(true) {}

PropertyGroup::PropertyGroup(const Guid& guid) : guid_(guid) {}

PropertyGroup::PropertyGroup(const host::PropertyGroupRecord& record)
    : stamp_(PropertyDatabase::groupGeneration()), loaded_(true) {
    read(record);
}

void PropertyGroup::refresh() const {
    if (loaded_ && stamp_ == PropertyDatabase::groupGeneration()) return;
    if (!guid_.isValid()) {
        stamp_ = PropertyDatabase::groupGeneration();
        loaded_ = true;
        return;
    }
    host::PropertyGroupRecord record{};
    record.guid = guid_.getRecord();
    const std::uint32_t result = hostApi().call<host::HostSlot::getPropertyGroup>(&record);
    if (result == host::kNoError) {
        assign(record);
    } else if (result == host::kErrBadIndex) {
        guid_.clear();   // the host no longer has it
    } else {
        return;   // a passing failure: keep the GUID, ask again next time
    }
    stamp_ = PropertyDatabase::groupGeneration();
    loaded_ = true;
}

String PropertyGroup::getName() const {
    refresh();
    return name_;
}

std::int32_t PropertyGroup::getGroupType() const {
    refresh();
    return groupType_;
}

bool PropertyGroup::isUserDefined() const { return getGroupType() == kUserDefined; }

bool PropertyGroup::setName(const String& name) {
    if (!isUserDefined()) return false;
    name_ = name;
    modified_ = true;
    return true;
}

bool PropertyGroup::setModified(bool modified) {
    if (!isUserDefined()) return false;
    modified_ = modified;
    return true;
}

void PropertyGroup::read(const host::PropertyGroupRecord& record) { assign(record); }

void PropertyGroup::assign(const host::PropertyGroupRecord& record) const {
    guid_ = Guid(record.guid);
    groupType_ = record.groupType;
    name_ = fromUniString(record.name);
    modified_ = false;
}

bool PropertyGroup::write(host::PropertyGroupRecord& record) const {
    if (name_.isEmpty()) return false;
    record.guid = guid_.getRecord();
    record.groupType = groupType_;
    record.name = toUniString(name_);
    return true;
}

}   // namespace tarnwick

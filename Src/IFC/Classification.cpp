#include "IFC/Classification.h"

#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "IFC/ClassificationDatabase.h"
#include "IFC/ClassificationSystem.h"
#include "IFC/HostUniText.h"

namespace tarnwick {
namespace {
std::uint64_t namesChanged = 0;

void takeName(String& field, String value) {
    if (field == value) return;
    field = std::move(value);
    ++namesChanged;
}
}   // namespace

std::uint64_t Classification::nameGeneration() { return namesChanged; }

Classification::Classification(const Guid& guid) : guid_(guid), loaded_(!guid.isValid()) {}

Classification::Classification(const host::ClassificationItemRecord& record) { assignFromHost(record); }

// --- Loading ---------------------------------------------------------------------------------------------
void Classification::refresh() const {
    if (loaded_) return;
    loaded_ = true;   // asked at most once, whatever the answer
    changed_ = false;
    host::ClassificationItemRecord record{};
    record.guid = guid_.getRecord();
    const std::uint32_t result = hostApi().call<host::HostSlot::getClassificationItem>(&record);
    if (result == host::kErrBadIndex)
        guid_.clear();   // the host does not know it: a record of nothing
    else if (result != host::kNoError || !assign(record))
        loadFailed_ = true;   // a passing failure keeps the identity, so a store does not make a duplicate
    changed_ = false;
}

bool Classification::assignFromHost(const host::ClassificationItemRecord& record) {
    guid_ = Guid(record.guid);
    return assign(record);
}

bool Classification::assign(const host::ClassificationItemRecord& record) const {
    // 1. (the GUID is the caller's)
    // 2.
    host::ClassificationSystemRecord system{};
    if (hostApi().call<host::HostSlot::getClassificationItemSystem>(&record.guid, &system) != host::kNoError)
        return false;
    // 3.
    ClassificationDatabase* database = Host::getClassificationDatabase();
    system_ = database != nullptr ? database->getSystem(Guid(system.guid))
                                  : std::make_shared<ClassificationSystem>(system);
    // 4.
    id_ = fromUniString(record.id);
    takeName(name_, fromUniString(record.name));
    description_ = fromUniString(record.description);
    state_ = record.state;
    // 5.
    host::ClassificationItemRecord parent{};
    parentGuid_ =
        hostApi().call<host::HostSlot::getClassificationItemParent>(&record.guid, &parent) == host::kNoError
            ? Guid(parent.guid)
            : Guid();
    // 6.
    loaded_ = true;
    return true;
}

bool Classification::loadFailed() const {
    refresh();
    return loadFailed_;
}

// --- Reading ---------------------------------------------------------------------------------------------
String Classification::getId() const {
    refresh();
    return id_;
}
String Classification::getName() const {
    refresh();
    return name_;
}
String Classification::getDescription() const {
    refresh();
    return description_;
}
std::int32_t Classification::getState() const {
    refresh();
    return state_;
}
Guid Classification::getParentGuid() const {
    refresh();
    return parentGuid_;
}
std::shared_ptr<ClassificationSystem> Classification::getSystem() const {
    refresh();
    return system_;
}
Guid Classification::getSystemGuid() const {
    refresh();
    return system_ ? system_->getGuid() : Guid();
}
String Classification::getSystemName() const {
    refresh();
    return system_ ? system_->getName() : String();
}
bool Classification::isStateA() const { return getState() == 1 || getState() == 3; }
bool Classification::isStateB() const { return getState() == 2 || getState() == 3; }

// --- Changing ---------------------------------------------------------------------------------------------
namespace {
template <typename T>
void change(T& field, const T& value, bool& changed) {
    if (field == value) return;
    field = value;
    changed = true;
}
}   // namespace

void Classification::setId(const String& text) {
    refresh();
    change(id_, text, changed_);
}
void Classification::setName(const String& text) {
    refresh();
    if (name_ == text) return;
    takeName(name_, text);
    changed_ = true;
}
void Classification::setDescription(const String& text) {
    refresh();
    change(description_, text, changed_);
}
void Classification::setState(std::int32_t state) {
    refresh();
    change(state_, state, changed_);
}
void Classification::setParentGuid(const Guid& guid) {
    refresh();
    change(parentGuid_, guid, changed_);
}
void Classification::setSystem(std::shared_ptr<ClassificationSystem> system) {
    refresh();
    system_ = std::move(system);
    changed_ = true;
}

void Classification::markStateA() {
    refresh();
    if (state_ == 1 || state_ == 3) return;
    state_ = state_ == 0 ? 1 : 3;
    changed_ = true;
}

void Classification::markStateB() {
    refresh();
    if (state_ == 2 || state_ == 3) return;
    state_ = state_ == 0 ? 2 : 3;
    changed_ = true;
}

bool Classification::toHost(host::ClassificationItemRecord& record) const {
    // Never loaded, the fields are not the host's: storing them would blank the item there.
    if (!loaded_ || id_.isEmpty() || name_.isEmpty() || !system_) return false;
    record.guid = guid_.getRecord();
    record.id = toUniString(id_);
    record.name = toUniString(name_);
    record.description = toUniString(description_);
    record.state = state_;
    return true;
}

String Classification::getDisplayName(bool withSystem) const {
    String text = withSystem ? getSystemName() : String();
    if (!getId().isEmpty()) {
        if (!text.isEmpty()) text += ":";
        text += id_;
    }
    if (!getName().isEmpty()) {
        if (!text.isEmpty()) text += " ";
        text += name_;
    }
    return text;
}

}   // namespace tarnwick

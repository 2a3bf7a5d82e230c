#include "IFC/ClassificationSystem.h"

#include "Environment/HostApi.h"
#include "IFC/HostUniText.h"

namespace tarnwick {

ClassificationSystem::ClassificationSystem(const Guid& guid) : guid_(guid) {}

ClassificationSystem::ClassificationSystem(const host::ClassificationSystemRecord& record)
    : guid_(record.guid) {
    assign(record);
    loaded_ = true;
}

void ClassificationSystem::assign(const host::ClassificationSystemRecord& record) const {
    name_ = fromUniString(record.name);
    description_ = fromUniString(record.description);
    source_ = fromUniString(record.source);
    edition_ = fromUniString(record.editionVersion);
    editionDate_ = DateTime();
    editionDate_.setDate(record.editionYear, record.editionMonth, record.editionDay);
}

void ClassificationSystem::refresh() const {
    if (loaded_) return;
    loaded_ = true;   // asked at most once, whatever the answer
    if (!guid_.isValid()) return;
    host::ClassificationSystemRecord record{};
    record.guid = guid_.getRecord();
    const std::uint32_t result = hostApi().call<host::HostSlot::getClassificationSystem>(&record);
    if (result == host::kNoError)
        assign(record);
    else if (result == host::kErrBadIndex)
        guid_.clear();   // the host does not know it: a record of nothing
    else
        loadFailed_ = true;   // a passing failure keeps the identity
}

bool ClassificationSystem::loadFailed() const {
    refresh();
    return loadFailed_;
}

String ClassificationSystem::getName() const {
    refresh();
    return name_;
}
String ClassificationSystem::getDescription() const {
    refresh();
    return description_;
}
String ClassificationSystem::getSource() const {
    refresh();
    return source_;
}
String ClassificationSystem::getEdition() const {
    refresh();
    return edition_;
}
DateTime ClassificationSystem::getEditionDate() const {
    refresh();
    return editionDate_;
}

void ClassificationSystem::setName(const String& text) {
    refresh();
    name_ = text;
}
void ClassificationSystem::setDescription(const String& text) {
    refresh();
    description_ = text;
}
void ClassificationSystem::setSource(const String& text) {
    refresh();
    source_ = text;
}
void ClassificationSystem::setEdition(const String& text) {
    refresh();
    edition_ = text;
}
void ClassificationSystem::setEditionDate(const DateTime& date) {
    refresh();
    editionDate_ = date;
}

bool ClassificationSystem::toHost(host::ClassificationSystemRecord& record) const {
    if (name_.isEmpty()) return false;   // also a system never loaded: nothing of it is known here
    record.guid = guid_.getRecord();
    record.name = toUniString(name_);
    record.description = toUniString(description_);
    record.source = toUniString(source_);
    record.editionVersion = toUniString(edition_);
    editionDate_.getDate(record.editionYear, record.editionMonth, record.editionDay);
    return true;
}

}   // namespace tarnwick

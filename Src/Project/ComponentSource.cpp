#include "Project/ComponentSource.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "Foundation/DataFile.h"

namespace tarnwick {
namespace {

// A zero-terminated 16-bit text field, read no further than the field.
String fieldText(const char16_t (&field)[host::kLibraryNameChars]) {
    const char16_t* end = std::find(field, field + host::kLibraryNameChars, u'\0');
    return String(std::u16string_view(field, static_cast<std::size_t>(end - field)));
}

// A zero-terminated byte text field, read no further than the field.
String fieldText(const char (&field)[host::kUniqueIdBytes]) {
    const void* zero = std::memchr(field, 0, host::kUniqueIdBytes);
    const std::size_t length = zero != nullptr
                                   ? static_cast<std::size_t>(static_cast<const char*>(zero) - field)
                                   : host::kUniqueIdBytes;
    return String(std::string_view(field, length));
}

// The location a host record carries, when it is set (not null, not empty).
std::optional<FileLocation> locationOf(const char* hostLocation) {
    if (hostLocation == nullptr || *hostLocation == '\0') return std::nullopt;
    return FileLocation(hostLocation).lexically_normal();
}

}   // namespace

ComponentSource::ComponentSource(const host::LibraryPartRecord& record, const ComponentLink& link)
    : record_(record), location_(locationOf(record.location)), link_(link) {
    record_.location = nullptr;   // the host's block is not ours and may be freed at any time
}

ComponentSource::ComponentSource(const ComponentLink& link) : link_(link) {
    record_.type = static_cast<std::int32_t>(link.getType());
    record_.index = link.getIndex();
    record_.missing = 1;
}

ComponentSource::ComponentSource(const ComponentSource& other)
    : record_(other.record_), location_(other.location_), link_(other.link_) {}

ComponentSource::~ComponentSource() = default;

FamilyGuid ComponentSource::getUniqueId() const { return FamilyGuid(fieldText(record_.uniqueId)); }

FamilyGuid ComponentSource::getParentUniqueId() const {
    return FamilyGuid(fieldText(record_.parentUniqueId));
}

String ComponentSource::getName() const { return fieldText(record_.documentName); }

String ComponentSource::getFileName() const { return fieldText(record_.fileName); }

String ComponentSource::getNameWithoutExtension() const {
    String name = getName();
    const std::uint32_t dot = name.findLastOf(".");
    if (dot != String::npos) name.setLength(dot);
    return name;
}

bool ComponentSource::isOfFamily(const FamilyGuid& family) const { return getUniqueId() == family; }

int ComponentSource::compareFamily(const FamilyGuid& family) const { return getUniqueId().compare(family); }

bool ComponentSource::isValid() const {
    return record_.missing == 0 && link_.isValid() && link_.getLibrary() != nullptr;
}

std::unique_ptr<DataFile> ComponentSource::openFile() const {
    if (!location_) return nullptr;
    return std::make_unique<DataFile>(*location_, DataFile::kReadWrite);
}

void ComponentSource::setFile(const File& file) {
    location_ = file.getLocation().empty() ? std::nullopt : std::optional<FileLocation>(file.getLocation());
    const String name = file.getName();
    // Cut to leave room for the terminator: a full field would run on into the next one.
    name.copyToUniChars(record_.documentName, host::kLibraryNameChars);
    name.copyToUniChars(record_.fileName, host::kLibraryNameChars);
}

void ComponentSource::setLink(const ComponentLink& link) {
    link_ = link;
    record_.index = link.getIndex();
}

void ComponentSource::setUniqueId(const String& text) { text.copyTo(record_.uniqueId, host::kUniqueIdBytes); }

void ComponentSource::setParentUniqueId(const String& text) {
    text.copyTo(record_.parentUniqueId, host::kUniqueIdBytes);
}

void ComponentSource::detach() {
    link_.setIndex(0);
    link_.setLibrary(nullptr);
}

}   // namespace tarnwick

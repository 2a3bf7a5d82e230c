#include "Project/ZoneCategory.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "Foundation/Memory.h"
#include "LibraryParts/FamilyGuid.h"
#include "LibraryParts/ParameterList.h"
#include "Project/AttributeMemoStore.h"
#include "Project/ComponentSource.h"
#include "Project/HostProject.h"
#include "Project/Library.h"
#include "Project/Pen.h"
#include "Project/Project.h"
#include "Project/Specification.h"

namespace tarnwick {

namespace {

constexpr std::uint32_t kStampPartType = host::kLibraryZone;
constexpr std::uint32_t kTextUnits = 256;   // both texts' fields, the terminator included

String textOf(const char16_t (&field)[kTextUnits]) { return String(field, kTextUnits); }

void putText(char16_t (&field)[kTextUnits], const String& text) {
    std::fill(std::begin(field), std::end(field), u'\0');
    text.copyToUniChars(field, kTextUnits);
}

}   // namespace

ZoneCategory::ZoneCategory() : RecordAttribute(AttributeLink(), AttributeType::zoneCategory) {
    static_cast<void>(record());
    stampLinked_ = true;   // a new category names no stamp yet
}

ZoneCategory::ZoneCategory(std::int32_t index)
    : RecordAttribute(AttributeLink(index, AttributeType::zoneCategory), AttributeType::zoneCategory) {}

ZoneCategory::ZoneCategory(const AttributeLink& link) : RecordAttribute(link, AttributeType::zoneCategory) {}

ZoneCategory::ZoneCategory(const String& name)
    : RecordAttribute(AttributeLink(name, AttributeType::zoneCategory), AttributeType::zoneCategory) {
    if (name.isEmpty() || Attribute::isValid()) return;
    // No such category: a new one of that name.
    clearLink();
    resetRecord(record(), /*failed=*/false);
    setLoadFailed(false);
    setName(name);
    stampLinked_ = true;
}

ZoneCategory::ZoneCategory(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::zoneCategory) {}

ZoneCategory::ZoneCategory(const ZoneCategory& other) = default;
ZoneCategory::~ZoneCategory() = default;

std::unique_ptr<Attribute> ZoneCategory::create(const host::AttributeDefinition& definition,
                                                const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::zoneCategory)) return nullptr;
    return std::make_unique<ZoneCategory>(definition, link);
}

std::unique_ptr<Attribute> ZoneCategory::clone() const { return std::make_unique<ZoneCategory>(*this); }

void ZoneCategory::resetRecord(ZoneCategoryRecord& record, bool) const {
    record = ZoneCategoryRecord{};
    record.header.type = toByte(AttributeType::zoneCategory);
}

// --- Code, colour, stamp ------------------------------------------------------------------------------

// Rounded, as the pens are, so that a value read back is the value set.
std::int32_t ZoneCategory::getColourValue() const {
    const ZoneCategoryRecord& r = record();
    return colourValueOf(r.colour[0], r.colour[1], r.colour[2]);
}

void ZoneCategory::setColourValue(std::int32_t value) {
    const Colour colour = colourOfValue(value);
    ZoneCategoryRecord& r = record();
    r.colour[0] = colour.red;
    r.colour[1] = colour.green;
    r.colour[2] = colour.blue;
}

String ZoneCategory::getCode() const { return textOf(record().code); }
void ZoneCategory::setCode(const String& code) { putText(record().code, code); }
String ZoneCategory::getStampName() const { return textOf(record().stampName); }

Library* ZoneCategory::library() const {
    Project* project = nullptr;
    if (Specification* owner = getLink().getOwner())
        project = &owner->getProject();
    else
        project = HostProject::getProject();
    return project != nullptr ? project->getLibrary() : nullptr;
}

const ComponentLink& ZoneCategory::getStampLink() const {
    if (!stampLinked_) {
        const String name = getStampName();   // loads the record first
        stampLink_ = name.isEmpty() ? ComponentLink() : ComponentLink(name, kStampPartType, library());
        stampLinked_ = true;
    }
    return stampLink_;
}

void ZoneCategory::setStampName(const String& name) {
    // 1.
    ZoneCategoryRecord& r = record();
    putText(r.stampName, name);
    // 2.
    Library* stampLibrary = library();
    stampLink_ = stampLibrary != nullptr && !name.isEmpty()
                     ? ComponentLink(name, kStampPartType, stampLibrary)
                     : ComponentLink();
    stampLinked_ = true;
    // 3. A stamp the library does not hold names no part: its GUIDs are cleared, not kept from the last.
    std::fill(std::begin(r.stampMainGuid), std::end(r.stampMainGuid), 0);
    std::fill(std::begin(r.stampRevisionGuid), std::end(r.stampRevisionGuid), 0);
    if (stampLink_.isValid() && stampLink_.getLibrary() != nullptr)
        if (const std::unique_ptr<ComponentSource> source = stampLink_.getLibrary()->getSource(stampLink_)) {
            const FamilyGuid uniqueId = source->getUniqueId();
            if (uniqueId.isValid()) {
                const host::GuidRecord main = uniqueId.getMainGuid().getRecord();
                const host::GuidRecord revision = uniqueId.getRevisionGuid().getRecord();
                std::memcpy(r.stampMainGuid, &main, sizeof r.stampMainGuid);
                std::memcpy(r.stampRevisionGuid, &revision, sizeof r.stampRevisionGuid);
            }
        }
    // 4.
    if (std::unique_ptr<MemoStore> store = defaultParameters()) readParameters(*store);
}

std::unique_ptr<MemoStore> ZoneCategory::defaultParameters() const {
    const ComponentLink& stamp = getStampLink();
    Library* stampLibrary = stamp.getLibrary();
    if (!stamp.isValid() || stampLibrary == nullptr) return nullptr;
    std::int32_t count = -1;   // the host sets it when it answers
    host::Handle parameters = stampLibrary->getParameters(stamp, &count, nullptr, nullptr);
    if (parameters == nullptr && count != 0) return nullptr;
    auto store = std::make_unique<AttributeMemoStore>();
    *store->parameters() = parameters;   // the store's now, released with it
    return store;
}

// --- Memo ---------------------------------------------------------------------------------------------

bool ZoneCategory::load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) {
    static_cast<void>(record());
    const bool wanted = (mask & kPartMask) != 0;
    if (!store) {
        Specification* owner = getLink().getOwner();
        if (owner != nullptr && getLink().isValid())
            if (AttributeExtensionPtr definition = owner->loadDefinition(getLink())) {
                store = std::make_unique<AttributeMemoStore>(definition.get());
                static_cast<void>(definition.release());   // the store's now
            }
        // A category the host keeps no parameters for has its stamp's defaults.
        if (wanted && (!store || std::as_const(*store).parameters() == nullptr)) {
            if (std::unique_ptr<MemoStore> defaults = defaultParameters()) store = std::move(defaults);
        }
    }
    if (!store) {   // nothing to read: loaded, without parameters
        if (wanted) setLoaded(true);
        return false;
    }
    return wanted && readParameters(*store);
}

AttributeExtensionPtr ZoneCategory::copyExtendedDefinition() const {
    static_cast<void>(record());
    auto* self = const_cast<ZoneCategory*>(this);   // the parameters load on demand
    AttributeMemoStore store;                       // releases the parameters too when the write fails
    if (!self->writeParameters(store)) return nullptr;
    return store.release();
}

}   // namespace tarnwick

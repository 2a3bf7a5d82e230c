#include "Project/ElementLink.h"

#include <array>

#include <FourCC.h>
#include <HostResult.h>

#include "Environment/HostApi.h"
#include "LibraryParts/FamilyGuid.h"
#include "Project/Drawing.h"
#include "Project/HostProject.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Project/Storey.h"

namespace tarnwick {
namespace {

constexpr std::int16_t kNoLayer = 32767;   // getLayerIndex of an element the host cannot read

// The host's part-reference id of each element type byte; 0 for types without one.
constexpr std::array<std::uint32_t, 32> kPartReferenceIds = {0,  1,  5,  6,  10, 12, 13, 14, 15, 17, 21,
                                                             27, 28, 29, 31, 32, 33, 34, 38, 40, 0,  44,
                                                             46, 48, 50, 51, 53, 0,  0,  55, 0,  57};

std::uint8_t typeByte(std::uint16_t typeId) { return static_cast<std::uint8_t>(typeId & 0xFF); }
std::uint8_t subTypeByte(std::uint16_t typeId) { return static_cast<std::uint8_t>(typeId >> 8); }

// Equal type bytes and, when both are given, equal sub-type bytes (a sub-type 0 matches any).
bool sameType(std::uint16_t a, std::uint16_t b) {
    if (typeByte(a) != typeByte(b)) return false;
    return subTypeByte(a) == 0 || subTypeByte(b) == 0 || subTypeByte(a) == subTypeByte(b);
}

// 'NTOE': the element type id of a part-reference id; 0 when the host cannot say.
std::uint16_t typeOfPartReference(std::uint32_t partReferenceId) {
    std::int32_t id = static_cast<std::int32_t>(partReferenceId);
    std::int16_t typeId = 0;
    if (hostApi().utilities(fourcc("NTOE"), &id, &typeId) != 0) return 0;
    return static_cast<std::uint16_t>(typeId);
}

// The element's head by guid, from whichever database holds it.
bool readHead(const Guid& guid, host::ElementHead& head) {
    head = host::ElementHead{};
    return hostApi().call<host::HostSlot::getElementHead>(&guid.getRecord(), &head) == 0;
}

Project* currentProject() { return HostProject::getProject(); }

Drawing* drawingOf(const LinkRecord& record) {
    Project* project = currentProject();
    if (project == nullptr) return nullptr;
    return dynamic_cast<Drawing*>(project->getDatabase(record));
}

// The index of the floor plan's storey that a storey-addressed location names; false when there is none.
bool storeyOf(const LinkRecord& location, std::int16_t& index) {
    const Storey* storey = location.getStorey();
    if (storey == nullptr) return false;
    index = static_cast<std::int16_t>(storey->getIndex());
    return true;
}

}   // namespace

ElementLink::ElementLink(std::uint16_t typeId, std::int32_t variation)
    : typeId_(typeId), variation_(variation) {}

ElementLink::ElementLink(std::uint16_t typeId, const Drawing* drawing, std::int32_t variation)
    : typeId_(typeId), variation_(variation) {
    setDrawing(drawing);
}

ElementLink::ElementLink(const Guid& guid, Drawing* drawing) : guid_(guid) {
    if (drawing == nullptr) return;
    setDrawing(drawing);
    drawing->loadElementHead(guid, this);   // the link of the head, or an empty one
}

ElementLink::ElementLink(const host::PartReference& reference, Drawing* drawing)
    : partReference_(true),
      partReferenceId_(static_cast<std::uint32_t>(reference.id)),
      guid_(reference.guid),
      partIndex_(reference.index),
      partSubIndex_(reference.subIndex) {
    if (partReferenceId_ != 0) typeId_ = typeOfPartReference(partReferenceId_);
    if (drawing == nullptr) return;
    location_ = drawing->getId();
    ElementLink headLink;
    if (drawing->loadElementHead(guid_, &headLink)) {
        typeId_ = headLink.typeId_;
        variation_ = headLink.variation_;
        location_.setIndex(headLink.location_.getIndex());
    }
}

ElementLink::ElementLink(const host::ElementHead& head, const Drawing* drawing)
    : typeId_(typeByte(static_cast<std::uint16_t>(head.type))), variation_(head.variation), guid_(head.guid) {
    setDrawing(drawing);
    location_.setIndex(head.storey);
}

ElementLink::~ElementLink() = default;

void ElementLink::refresh(const host::ElementRecord& record) {
    partReference_ = false;
    typeId_ = typeByte(static_cast<std::uint16_t>(record.head.type));
    secondTypeId_ = 0;
    partReferenceId_ = 0;
    guid_ = Guid(record.head.guid);
    secondGuid_.clear();
    partIndex_ = 0;
    partSubIndex_ = 0;
    location_.clear();
    location_.setIndex(record.head.storey);
    source_.clear();
}

std::unique_ptr<ElementLink> ElementLink::clone() const { return std::make_unique<ElementLink>(*this); }

// --- Queries -------------------------------------------------------------------------------------------
std::uint16_t ElementLink::getTypeId() {
    if (typeByte(typeId_) == 0 && partReferenceId_ != 0) typeId_ = typeOfPartReference(partReferenceId_);
    return typeId_;
}

std::uint16_t ElementLink::getTypeId() const {
    if (typeByte(typeId_) == 0 && partReferenceId_ != 0) return typeOfPartReference(partReferenceId_);
    return typeId_;
}

std::uint32_t ElementLink::getPartReferenceId() {
    if (partReferenceId_ == 0 && typeByte(getTypeId()) != 0)
        partReferenceId_ = partReferenceIdOf(typeByte(typeId_));
    return partReferenceId_;
}

Drawing* ElementLink::getDrawing() const { return drawingOf(location_); }

Drawing* ElementLink::getSourceDatabase() const { return drawingOf(source_); }

Library* ElementLink::getLibrary() const {
    Project* project = currentProject();
    return project != nullptr ? project->getLibrary() : nullptr;
}

Specification* ElementLink::getSpecification() const {
    Project* project = currentProject();
    return project != nullptr ? project->getSpecification() : nullptr;
}

void ElementLink::getHead(host::ElementHead& head, bool resolveSection) {
    head = host::ElementHead{};
    if (resolveSection && typeByte(secondTypeId_) == kSectionElementType && getSourceDatabase() != nullptr) {
        head.type = kSectionElementType;
        head.guid = secondGuid_.getRecord();
    } else {
        head.type = typeByte(getTypeId());
        head.variation = variation_;
        head.guid = guid_.getRecord();
    }
    std::int16_t storey = 0;
    if (storeyOf(location_, storey)) head.storey = storey;
}

void ElementLink::getHead(host::ElementHead& head) { getHead(head, /*resolveSection=*/false); }

void ElementLink::getElemType(host::ElementHead& head, bool withStorey) {
    head.type = typeByte(getTypeId());
    head.variation = variation_;
    head.guid = guid_.getRecord();
    std::int16_t storey = 0;
    if (withStorey && storeyOf(location_, storey)) head.storey = storey;
}

void ElementLink::getPartReference(host::PartReference& reference, bool resolveSection, bool recompute) {
    reference = host::PartReference{};
    if (resolveSection && typeByte(secondTypeId_) == kSectionElementType && getSourceDatabase() != nullptr) {
        reference.id = static_cast<std::int32_t>(partReferenceIdOf(kSectionElementType));
        reference.guid = secondGuid_.getRecord();
    } else {
        const std::uint32_t id = recompute ? partReferenceIdOf(typeByte(getTypeId())) : getPartReferenceId();
        reference.id = static_cast<std::int32_t>(id);
        reference.guid = guid_.getRecord();
    }
    reference.index = partIndex_;
    reference.subIndex = partSubIndex_;
}

void ElementLink::getPartReference(host::PartReference& reference) {
    getPartReference(reference, /*resolveSection=*/true, /*recompute=*/false);
}

std::pair<std::int16_t, std::int16_t> ElementLink::getLayerIndex() const {
    host::ElementHead head{};
    if (!readHead(guid_, head)) return {kNoLayer, 0};
    return {head.layer, 0};
}

std::uint64_t ElementLink::getHeadValue() const {
    host::ElementHead head{};
    return readHead(guid_, head) ? head.headValue : 0;
}

// --- Updates -------------------------------------------------------------------------------------------
void ElementLink::setGuid(const Guid& guid, const Drawing* drawing) {
    guid_ = guid;
    if (drawing != nullptr) {
        setDrawing(drawing);
    } else if (location_.getKind() == 0) {
        if (Project* project = currentProject()) setDrawing(&project->getPlan());
    }
}

bool ElementLink::makeSectionElement() {
    if (getTypeByte() == kSectionElementType) return false;
    setTypeId(kSectionElementType);
    setVariation(0);
    setPartReferenceId(0);
    return true;
}

ElementLink ElementLink::resolveSectionElement(const Drawing& view) const {
    ElementLink copy = *this;
    if (source_ == view.getId() && secondTypeId_ != 0 && secondGuid_.isValid()) {
        copy.setTypeId(secondTypeId_);
        copy.setDrawing(&view);
    }
    return copy;
}

void ElementLink::setDrawing(const Drawing* drawing) {
    if (drawing == nullptr) {
        location_.clear();
        return;
    }
    const LinkRecord id = drawing->getId();
    location_.setKind(id.getKind());
    location_.setGuid(id.getGuid());
}

void ElementLink::setSourceDatabase(const Drawing* drawing) {
    if (drawing == nullptr) {
        source_.clear(/*alsoIndex=*/true);
        return;
    }
    source_ = drawing->getId();
}

void ElementLink::setSectionSource(const Drawing* drawing) {
    if (getSourceDatabase() == nullptr) secondTypeId_ = kSectionElementType;
    setSourceDatabase(drawing);
}

void ElementLink::copyPartReference(const ElementLink& other) {
    partReference_ = other.partReference_;
    partReferenceId_ = other.partReferenceId_;
    partIndex_ = other.partIndex_;
    partSubIndex_ = other.partSubIndex_;
}

// --- Comparison ----------------------------------------------------------------------------------------
bool ElementLink::operator==(const ElementLink& other) const {
    // 1.-2. A guid names the element alone.
    if (other.hasGuid()) return guid_ == other.guid_;
    if (hasGuid()) return false;
    // 3. Neither has a guid: the part references, or else the types.
    if (partReference_ && other.partReference_) {
        if (partReferenceId_ != other.partReferenceId_ || partIndex_ != other.partIndex_) return false;
    } else if (!sameType(getTypeId(), other.getTypeId())) {
        return false;
    }
    // 4. The view it is seen in.
    return sameType(secondTypeId_, other.secondTypeId_) && secondGuid_ == other.secondGuid_ &&
           location_ == other.location_ && source_ == other.source_;
}

FamilyGuid ElementLink::getLibPartUniqueId() const {
    host::ElementHead head{};
    ElementLink(*this).getElemType(head, /*withStorey=*/true);
    char text[host::kUniqueIdBytes] = {};
    if (hostApi().utilities(fourcc("GELU"), &head, text) != host::kNoError) return FamilyGuid();
    text[host::kUniqueIdBytes - 1] = '\0';
    return FamilyGuid(text);
}

// Type byte, sub-type byte, guid: lexicographic, so sorting is well defined whatever the sub-types.
bool ElementLink::operator<(const ElementLink& other) const {
    const std::uint16_t mine = getTypeId();
    const std::uint16_t theirs = other.getTypeId();
    if (typeByte(mine) != typeByte(theirs)) return typeByte(mine) < typeByte(theirs);
    if (subTypeByte(mine) != subTypeByte(theirs)) return subTypeByte(mine) < subTypeByte(theirs);
    return guid_ < other.guid_;
}

std::uint32_t ElementLink::partReferenceIdOf(std::uint8_t typeByte) {
    return typeByte < kPartReferenceIds.size() ? kPartReferenceIds[typeByte] : 0;
}

bool ElementLink::typesMatch(std::uint16_t a, std::uint16_t b) { return sameType(a, b); }

}   // namespace tarnwick

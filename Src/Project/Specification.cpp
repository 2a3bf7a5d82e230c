#include "Project/Specification.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include <HostResult.h>

#include "Elements/Composite.h"
#include "Environment/HostApi.h"
#include "Geometry/Tolerance.h"
#include "Project/AttrRefList.h"
#include "Project/AttributeIterator.h"
#include "Project/AttributeMemoStore.h"
#include "Project/City.h"
#include "Project/ComplexProfile.h"
#include "Project/Fill.h"
#include "Project/Finish.h"
#include "Project/Font.h"
#include "Project/Layer.h"
#include "Project/LayerCombination.h"
#include "Project/LineStyle.h"
#include "Project/Material.h"
#include "Project/Pen.h"
#include "Project/RecordAttribute.h"
#include "Project/ZoneCategory.h"

namespace tarnwick {
namespace {

// Creators filed by type, each type's in filing order.
using CreatorList = std::map<std::uint8_t, std::vector<Specification::Creator>>;

struct Registry {
    std::unique_ptr<CreatorList> base;           // made at add-on start; nothing in the add-on files here
    std::unique_ptr<CreatorList> registration;   // made on the first registration
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::unique_ptr<Attribute> askCreators(const CreatorList* list, const host::AttributeDefinition& definition,
                                       const AttributeLink& link) {
    if (list == nullptr) return nullptr;
    const auto found = list->find(static_cast<std::uint8_t>(definition.header.type & 0xFF));
    if (found == list->end()) return nullptr;
    for (const Specification::Creator creator : found->second)
        if (std::unique_ptr<Attribute> attribute = creator(definition, link)) return attribute;
    return nullptr;
}

constexpr double kCityTolerance = 1.0;   // degrees, each coordinate; exactly 1.0 still matches

// The index the host is asked for: a composite may be named by its negated index.
std::int16_t hostIndexOf(const AttributeLink& link, bool& usable) {
    const std::int32_t index = link.getShortIndex();
    usable = index > 0 || (index < 0 && link.getType() == AttributeType::composite);
    return static_cast<std::int16_t>(std::abs(index));
}

}   // namespace

// --- Filter ----------------------------------------------------------------------------------------------
Specification::Filter::Filter(AttributeType type, bool countCache, bool thirdFlag)
    : type_(type), countCache_(countCache), thirdFlag_(thirdFlag) {}

Specification::Filter::~Filter() = default;

std::unique_ptr<Specification::Filter> Specification::Filter::clone() const {
    return std::make_unique<Filter>(*this);
}

bool Specification::Filter::accepts(const Attribute&) const { return true; }

// --- Specification ---------------------------------------------------------------------------------------
Specification::Specification(Project& project) : Database(project) {}

Specification::~Specification() = default;

void Specification::clear() {}

String Specification::typeName() const { return "Specification"; }

std::uint16_t Specification::getCount(AttributeType type) {
    if (type == AttributeType::none) {
        std::uint16_t total = 0;   // wraps at 65536, as a 16-bit count does
        for (std::uint8_t each = kFirstAttributeType; each <= kLastAttributeType; ++each)
            total = static_cast<std::uint16_t>(total + getCount(static_cast<AttributeType>(each)));
        return total;
    }
    std::int16_t count = 0;
    lastResult_ = hostApi().call<host::HostSlot::getAttributeCount>(toByte(type), &count);
    return lastResult_ == 0 && count > 0 ? static_cast<std::uint16_t>(count) : 0;
}

std::unique_ptr<Attribute> Specification::getAttribute(const AttributeLink& link) {
    return loadAttribute(link, nullptr);
}

std::unique_ptr<Attribute> Specification::loadAttribute(const AttributeLink& link, const Filter* filter) {
    // 1. Nothing to load for type none or index 0; negative indices only name composites.
    if (link.getType() == AttributeType::none) return nullptr;
    bool usable = false;
    const std::int16_t index = hostIndexOf(link, usable);
    if (!usable) return nullptr;
    // 2. A filter of one type refuses the others; a filter of every type refuses none.
    if (filter != nullptr && filter->getType() != AttributeType::none && filter->getType() != link.getType())
        return nullptr;
    // 3. The host's definition; deleted attributes fail here and are skipped.
    auto definition = std::make_unique<host::AttributeDefinition>();
    definition->header.type = toByte(link.getType());
    definition->header.index = index;
    lastResult_ = hostApi().call<host::HostSlot::getAttribute>(definition.get());
    if (lastResult_ != 0) return nullptr;
    // 4. The wrapper, linked to this Specification. It copies what the definition points to, which is
    // ours to dispose of.
    struct Filled {
        host::AttributeDefinition& definition;
        ~Filled() { disposeDefinitionParts(definition); }
    } filled{*definition};
    std::unique_ptr<Attribute> attribute =
        makeAttribute(*definition, AttributeLink(index, link.getType(), this));
    // 5. The filter's own test.
    if (attribute && filter != nullptr && !filter->accepts(*attribute)) return nullptr;
    return attribute;
}

std::unique_ptr<Attribute> Specification::seek(const AttributeLink& link, bool forward, Filter* filter) {
    const bool fixedType = filter != nullptr && filter->getType() != AttributeType::none;
    std::uint8_t type = toByte(fixedType ? filter->getType() : link.getType());
    std::int32_t index = link.getShortIndex();
    // 1. The limit: the filter's cached count when it may be used, else the host's.
    std::int32_t limit = 0;
    if (forward && filter != nullptr && filter->usesCountCache() && filter->getCachedCount() >= 1)
        limit = filter->getCachedCount();
    else
        limit = getCount(static_cast<AttributeType>(type));
    for (;;) {
        if (forward) {
            // 2. Next index; past the limit, on into the next type with attributes.
            ++index;
            while (index > limit) {
                if (type == 0 || fixedType || type >= kLastAttributeType) return nullptr;
                ++type;
                index = 1;
                limit = getCount(static_cast<AttributeType>(type));
            }
        } else {
            // 3. Previous index; below 1, on into the previous type from its last index.
            --index;
            while (index < 1) {
                if (type == 0 || fixedType || type <= kFirstAttributeType) return nullptr;
                --type;
                index = limit = getCount(static_cast<AttributeType>(type));
            }
        }
        // 4. The first candidate that loads and passes.
        const AttributeLink candidate(static_cast<std::int16_t>(index), static_cast<AttributeType>(type),
                                      this);
        if (std::unique_ptr<Attribute> attribute = loadAttribute(candidate, filter)) {
            if (filter != nullptr) filter->setCachedCount(limit);
            return attribute;
        }
    }
}

AttributeExtensionPtr Specification::loadDefinition(const AttributeLink& link) {
    host::AttributeHeader header = link.toHeader();
    bool usable = false;
    header.index = hostIndexOf(link, usable);
    AttributeMemoStore store;   // a zeroed record
    lastResult_ = hostApi().call<host::HostSlot::getAttributeExtension>(&header, store.getDefinition());
    if (lastResult_ != 0) return nullptr;   // the store releases whatever the host left
    return store.release();
}

// --- Walks ---------------------------------------------------------------------------------------------
AttributeIterator Specification::begin(const Filter& filter, bool writeBack) {
    std::unique_ptr<Filter> walk = filter.clone();
    const AttributeType type =
        filter.getType() != AttributeType::none ? filter.getType() : AttributeType::pen;
    std::unique_ptr<Attribute> first =
        seek(AttributeLink(std::int32_t{0}, type, this), /*forward=*/true, walk.get());
    return AttributeIterator(std::move(first), *walk, /*forward=*/true, writeBack);
}

AttributeIterator Specification::begin(const AttrRefList& links, const Filter& filter, bool writeBack) {
    return AttributeIterator(std::shared_ptr<const AttrRefList>(links.clone()), filter, writeBack);
}

// Starts at the type's own count: the total over every type would ask the host for thousands of
// indices that do not exist, and once that 16-bit total wrapped it would miss the type's last ones.
AttributeIterator Specification::rbegin(Filter& filter, bool writeBack) {
    filter.setCachedCount(0);
    std::unique_ptr<Filter> walk = filter.clone();
    const auto type = filter.getType() != AttributeType::none
                          ? filter.getType()
                          : static_cast<AttributeType>(kLastAttributeType);
    const std::int32_t start = static_cast<std::int32_t>(getCount(type)) + 1;
    std::unique_ptr<Attribute> first = seek(AttributeLink(start, type, this), /*forward=*/false, walk.get());
    return AttributeIterator(std::move(first), *walk, /*forward=*/false, writeBack);
}

AttributeIterator Specification::end() { return AttributeIterator(); }

// --- Writing -------------------------------------------------------------------------------------------
bool Specification::write(Attribute& attribute) {
    // 1. Both definitions (the record loads first when it has not yet). The extended one first: making
    // it may change the record (a combination's status count).
    AttributeExtensionPtr extension = attribute.copyExtendedDefinition();
    std::unique_ptr<host::AttributeDefinition> definition = attribute.copyDefinition();
    if (!definition) {   // a kind without a host table
        lastResult_ = host::kErrBadParameters;
        return false;
    }
    if (attribute.isLoadFailed()) {   // its record is empty, not the host's
        lastResult_ = host::kErrBadIndex;
        return false;
    }
    // 2. Created here when new or of another project; else changed.
    const bool create = definition->header.index == 0 || attribute.getLink().getOwner() != this;
    lastResult_ = create ? hostApi().call<host::HostSlot::createAttribute>(definition.get(), extension.get())
                         : hostApi().call<host::HostSlot::changeAttribute>(definition.get(), extension.get());
    if (lastResult_ != 0) return false;
    // 3. The host's header, with its index, into the record; the attribute is linked here.
    std::memcpy(&attribute.getRecord(), &definition->header, sizeof(host::AttributeHeader));
    attribute.setLink(AttributeLink(definition->header.index, attribute.getType(), this));
    return true;   // 4. both records are released by their holders
}

bool Specification::remove(const AttributeLink& link) {
    const host::AttributeHeader header = link.toHeader();
    const std::int16_t index = link.getShortIndex();
    lastResult_ = hostApi().call<host::HostSlot::deleteAttributes>(&header, &index, 1);
    return lastResult_ == 0;
}

bool Specification::removeAll(const AttrRefList& links) {
    std::map<std::uint8_t, std::vector<std::int16_t>> byType;   // ascending types
    for (const auto& link : links)
        if (link) byType[toByte(link->getType())].push_back(link->getShortIndex());
    bool all = true;
    for (auto& [type, indices] : byType) {
        std::vector<std::int16_t> reversed(indices.rbegin(), indices.rend());
        host::AttributeHeader header{};
        header.type = type;
        lastResult_ = hostApi().call<host::HostSlot::deleteAttributes>(
            &header, reversed.data(), static_cast<std::int32_t>(reversed.size()));
        all = all && lastResult_ == 0;
    }
    return all;
}

// --- The creator registry -----------------------------------------------------------------------------
void Specification::registerCreator(AttributeType type, Creator creator) {
    if (creator == nullptr) return;
    Registry& r = registry();
    if (!r.registration) r.registration = std::make_unique<CreatorList>();
    (*r.registration)[toByte(type)].push_back(creator);
}

void Specification::registerCreators() {
    Registry& r = registry();
    if (!r.base) r.base = std::make_unique<CreatorList>();
}

void Specification::unregisterCreators() {
    Registry& r = registry();
    r.base.reset();
    r.registration.reset();
}

std::unique_ptr<Attribute> Specification::makeAttribute(const host::AttributeDefinition& definition,
                                                        const AttributeLink& link) {
    const Registry& r = registry();
    if (std::unique_ptr<Attribute> attribute = askCreators(r.registration.get(), definition, link))
        return attribute;
    return askCreators(r.base.get(), definition, link);
}

// --- Look-ups -------------------------------------------------------------------------------------------
std::int16_t Specification::findPen(double red, double green, double blue, double width) {
    std::int16_t best = 0;
    double bestDistance = 0.0;
    double bestWidthDifference = 0.0;
    Filter pens(AttributeType::pen, /*countCache=*/true);
    for (AttributeIterator it = begin(pens, /*writeBack=*/false); it != end(); ++it) {
        const auto* pen = dynamic_cast<const Pen*>(&*it);
        if (pen == nullptr) continue;
        const Colour colour = pen->getColour();
        const double distance = std::sqrt((colour.red - red) * (colour.red - red) +
                                          (colour.green - green) * (colour.green - green) +
                                          (colour.blue - blue) * (colour.blue - blue));
        const double widthDifference = pen->getWidth() - width;
        // Nearest colour; of equal ones the thinner pen (the smaller signed difference).
        if (best == 0 || distance < bestDistance ||
            (exactlyEqual(distance, bestDistance) && widthDifference < bestWidthDifference)) {
            best = pen->getLink().getShortIndex();
            bestDistance = distance;
            bestWidthDifference = widthDifference;
        }
    }
    return best;
}

std::int16_t Specification::findCity(double longitude, double latitude) {
    Filter cities(AttributeType::city, /*countCache=*/true);
    for (AttributeIterator it = begin(cities, /*writeBack=*/false); it != end(); ++it) {
        const auto* city = dynamic_cast<const City*>(&*it);
        if (city == nullptr) continue;
        if (std::abs(city->getLongitude() - longitude) <= kCityTolerance &&
            std::abs(city->getLatitude() - latitude) <= kCityTolerance)
            return city->getLink().getShortIndex();
    }
    return 0;
}

// Every kind with a host table; each type has one creator, so the order decides no lookup.
void registerAttributeCreators() {
    Specification::registerCreator(AttributeType::city, &City::create);
    Specification::registerCreator(AttributeType::composite, &Composite::create);
    Specification::registerCreator(AttributeType::fill, &Fill::create);
    Specification::registerCreator(AttributeType::font, &Font::create);
    Specification::registerCreator(AttributeType::layer, &Layer::create);
    Specification::registerCreator(AttributeType::layerCombination, &LayerCombination::create);
    Specification::registerCreator(AttributeType::lineStyle, &LineStyle::create);
    Specification::registerCreator(AttributeType::finish, &Finish::create);
    Specification::registerCreator(AttributeType::material, &Material::create);
    Specification::registerCreator(AttributeType::pen, &Pen::create);
    Specification::registerCreator(AttributeType::zoneCategory, &ZoneCategory::create);
    Specification::registerCreator(AttributeType::complexProfile, &ComplexProfile::create);
}

}   // namespace tarnwick

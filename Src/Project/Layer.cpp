#include "Project/Layer.h"

#include <cstring>

#include "Environment/Host.h"

namespace tarnwick {
namespace {

constexpr std::int16_t kFrameworkStrings = 32700;
constexpr std::int32_t kFirstLayerNameItem = 19;

String& keptFirstLayerName() {
    static String name;
    return name;
}

}   // namespace

// --- Status ------------------------------------------------------------------------------------------
Layer::Status::~Status() = default;

void Layer::Status::toRecord(host::LayerStatusRecord& record) const {
    record = host::LayerStatusRecord{};
    record.flags = flags_;
    record.group = group_;
}

// --- Layer -------------------------------------------------------------------------------------------
Layer::Layer() : RecordAttribute(AttributeLink(), AttributeType::layer) {
    static_cast<void>(record());   // no owner: a reset record, a new layer
}

Layer::Layer(const AttributeLink& link) : RecordAttribute(link, AttributeType::layer) {}

Layer::Layer(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::layer) {
    if (link.getShortIndex() == 1 && !firstLayerName().isEmpty()) setName(firstLayerName());
}

Layer::Layer(const String& name)
    : RecordAttribute(AttributeLink(name, AttributeType::layer), AttributeType::layer) {
    // Layer 1 goes by the framework's name, which the host's search by name does not know.
    if (!name.isEmpty() && name == firstLayerName()) {
        AttributeLink first = getLink();
        first.setIndex(1);
        if (first.getOwner() == nullptr) first = AttributeLink(std::int16_t{1}, AttributeType::layer);
        setLink(first);
    }
    if (name.isEmpty() || isValid()) return;
    // No such layer: a new one of that name.
    resetRecord(record(), /*failed=*/false);   // also unlinks it
    setLoadFailed(false);
    setName(name);
}

Layer::Layer(const Layer& other) = default;

Layer& Layer::operator=(const Layer& other) = default;

Layer::~Layer() = default;

std::unique_ptr<Attribute> Layer::create(const host::AttributeDefinition& definition,
                                         const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::layer)) return nullptr;
    return std::make_unique<Layer>(definition, link);
}

std::unique_ptr<Attribute> Layer::clone() const { return std::make_unique<Layer>(*this); }

AttributeExtensionPtr Layer::copyExtendedDefinition() const { return nullptr; }

const String& Layer::firstLayerName() {
    String& name = keptFirstLayerName();
    if (name.isEmpty()) name = Host::getString(kFrameworkStrings, kFirstLayerNameItem);
    return name;
}

void Layer::resetRecord(LayerRecord& record, bool failed) const {
    record = LayerRecord{};
    record.header.type = toByte(AttributeType::layer);
    if (!failed) setLinkWhileLoading(AttributeLink());   // from now on a new layer
}

void Layer::setFlag(std::uint16_t flag, bool on) {
    const std::uint16_t flags = getFlags();
    setFlags(on ? static_cast<std::uint16_t>(flags | flag) : static_cast<std::uint16_t>(flags & ~flag));
}

}   // namespace tarnwick

#include "Elements/Composite.h"

#include <cmath>
#include <vector>

#include "Interface/NativeContext.h"
#include "Project/AttributeMemoStore.h"
#include "Project/Fill.h"
#include "Project/Pen.h"
#include "Project/Specification.h"

namespace tarnwick {
namespace {

constexpr double kLineWidth = 0.25;   // the preview's lines

}   // namespace

Composite::Composite() : RecordAttribute(AttributeLink(), AttributeType::composite) {
    static_cast<void>(record());
}

Composite::Composite(const AttributeLink& link) : RecordAttribute(link, AttributeType::composite) {}

Composite::Composite(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::composite) {}

Composite::Composite(const Composite& other) = default;
Composite::~Composite() = default;

std::unique_ptr<Attribute> Composite::create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::composite)) return nullptr;
    return std::make_unique<Composite>(definition, link);
}

std::unique_ptr<Attribute> Composite::clone() const { return std::make_unique<Composite>(*this); }

void Composite::resetRecord(CompositeRecord& record, bool) const {
    record = CompositeRecord{};
    record.header.type = toByte(AttributeType::composite);
}

void Composite::clearDefinition() { resetRecord(record(), /*failed=*/false); }

AttributeExtensionPtr Composite::copyExtendedDefinition() const {
    static_cast<void>(record());
    auto* self = const_cast<Composite*>(this);   // the memo loads on demand
    AttributeMemoStore store;                    // releases the handles too when the write fails
    if (!self->ConstructionMemo::write(store)) return nullptr;
    return store.release();
}

bool Composite::load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) {
    static_cast<void>(record());
    if (!isLoaded() || !hasLists()) mask |= host::kMemoFullMask;
    if (!store) {   // the owner's extended definition, handed back to the caller in a store
        Specification* owner = getLink().getOwner();
        if (owner != nullptr && getLink().isValid())
            if (AttributeExtensionPtr definition = owner->loadDefinition(getLink())) {
                store = std::make_unique<AttributeMemoStore>(definition.get());
                static_cast<void>(definition.release());   // the store's now
            }
    }
    if (!store) {   // nothing in the host: loaded, without skins
        if (mask != 0) setLoaded(true);
        return false;
    }
    if (mask == 0) return false;
    const bool read = ConstructionMemo::read(*store);
    setLoaded(true);   // a definition that does not read stays read: the counts are then 0
    return read;
}

// --- Preview ------------------------------------------------------------------------------------------

void Composite::drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const {
    drawPreview(&context, PixelRect{0, 0, width, height});
}

void Composite::drawPreview(NativeContext* context, const PixelRect& rect) const {
    if (context == nullptr) return;
    auto& self = const_cast<Composite&>(*this);   // the memo loads on demand
    std::vector<const Core*> skins;
    double sum = 0.0;
    for (std::size_t i = 0; i < self.getCoreCount(); ++i) {
        skins.push_back(self.getCore(i));
        sum += std::max(skins.back()->getThickness(), 0.0);
    }
    // The record's total, unless it cannot divide: then the skins' own sum (a composite whose total was
    // never set, or of skins without thickness, draws nothing).
    const double total = getThickness() > 0.0 ? getThickness() : sum;
    if (!(total > 0.0)) return;
    const Colour black(0.0, 0.0, 0.0, 1.0);
    const Colour white(1.0, 1.0, 1.0, 1.0);
    // A skin's pens colour its pattern and its frame; a skin without a pen draws in black.
    const auto colourOf = [&](std::int16_t pen) {
        return pen != 0 ? Pen(AttributeLink(pen, AttributeType::pen)).getColour() : black;
    };
    context->setLineWidth(kLineWidth);
    // Each edge is rounded from the running sum, so the bands meet and the last ends at the bottom.
    double reached = 0.0;
    std::int32_t top = rect.top;
    for (std::size_t i = 0; i < skins.size(); ++i) {
        reached += std::max(skins[i]->getThickness(), 0.0);
        const std::int32_t bottom =
            rect.top + static_cast<std::int32_t>(std::lround(std::min(reached / total, 1.0) * rect.height()));
        if (bottom > top) {
            const Fill fill(AttributeLink(skins[i]->getRecord().fill, AttributeType::fill));
            const host::CompositeSkin& skin = skins[i]->getRecord();
            fill.drawInRect(*context, PixelRect{rect.left, top, rect.right, bottom}, colourOf(skin.fillPen),
                            white, colourOf(skin.framePen));
        }
        top = bottom;
    }
}

}   // namespace tarnwick

#include "Elements/ComponentElem.h"

#include <cstring>

#include <FourCC.h>
#include <HostResult.h>

#include "Elements/ParameterListPopulator.h"
#include "Elements/PolygonConstructor.h"
#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Project/ComponentSource.h"
#include "Project/Drawing.h"
#include "Project/ElementMemoStore.h"
#include "Project/Library.h"

namespace tarnwick {

namespace {

// Clears the suspended switch for an explicit load and gives it back on every way out.
class LoadingAllowed {
public:
    LoadingAllowed() : saved_(Element::memoLoadingSuspended) { Element::memoLoadingSuspended = 0; }
    ~LoadingAllowed() { Element::memoLoadingSuspended = saved_; }
    LoadingAllowed(const LoadingAllowed&) = delete;
    LoadingAllowed& operator=(const LoadingAllowed&) = delete;

private:
    std::uint8_t saved_;
};

}   // namespace

ComponentElem::ComponentElem(const ElementLink& link, const ComponentLink& componentLink)
    : Element(link), componentLink_(componentLink) {}

ComponentElem::ComponentElem(const ComponentElem& other)
    : Element(other), ElementParameterMemo(other), GableMemo(other), componentLink_(other.componentLink_) {}

ComponentElem::~ComponentElem() = default;

// --- Element ------------------------------------------------------------------------------------------

double ComponentElem::getHeight() { return ComponentParameterMemo::getHeight(); }

bool ComponentElem::applyChanges(Element& newer, Element& older) {
    auto* newerPart = dynamic_cast<ComponentElem*>(&newer);
    auto* olderPart = dynamic_cast<ComponentElem*>(&older);
    if (newerPart != nullptr && olderPart != nullptr &&
        !(newerPart->componentLink_ == olderPart->componentLink_))
        setComponent(newerPart->componentLink_, true, true);
    const bool changed = Element::applyChanges(newer, older);
    if (newerPart != nullptr && olderPart != nullptr) {
        ComponentParameterMemo::update(static_cast<ComponentParameterMemo&>(*newerPart),
                                       static_cast<ComponentParameterMemo&>(*olderPart));
        GableMemo::update(static_cast<GableMemo&>(*newerPart), static_cast<GableMemo&>(*olderPart));
    }
    return changed;
}

void ComponentElem::loadMemo(std::uint64_t mask, std::unique_ptr<ElementMemoStore>& store) {
    // 1.
    Element::loadMemo(mask, store);
    // 2.
    if (memoLoadingSuspended == 0) {
        if (!GableMemo::isLoaded()) mask |= kGableBit;
        if (!ParameterMemo::isLoaded()) mask |= kParameterBit;
    }
    // 3.
    if (!store && exists())
        if (Drawing* drawing = getDrawing()) store = drawing->loadMemo(link_, mask);
    // 4. Only a new element takes its part's defaults: a placed one whose memo the host could not give
    // keeps its parameters unloaded rather than have the defaults written over them later. The defaults
    // are asked for again even when the sizes were: the store must hold the parameters themselves.
    if (!store && (mask & kParameterBit) != 0 && !exists()) {
        store = std::make_unique<ElementMemoStore>();
        fetchDefaultSizes(*store, /*onlyOnce=*/false);
    }
    // 5.
    if (!store) {
        if (exists() && memoLoadingSuspended == 0) return;   // the host failed: nothing is loaded
        if ((mask & kGableBit) != 0) GableMemo::setLoaded(true);
        if ((mask & kParameterBit) != 0) ParameterMemo::setLoaded(true);
        return;
    }
    // 6.
    if ((mask & kGableBit) != 0) GableMemo::read(*store);
    if ((mask & kParameterBit) != 0) readParameters(*store);
}

std::unique_ptr<ElementMemoStore> ComponentElem::getMemo(std::uint64_t& mask) const {
    auto& self = const_cast<ComponentElem&>(*this);   // the memos load on demand
    auto store = std::make_unique<ElementMemoStore>();
    mask = 0;
    if (!self.GableMemo::write(*store) || !self.writeParameters(*store)) return nullptr;
    const host::ElementMemo& memo = *store->getMemo();
    if (memo.parameters != nullptr) mask |= kParameterBit;
    if (memo.gables != nullptr) mask |= kGableBit;
    return store;
}

// --- New virtual operations ---------------------------------------------------------------------------

double ComponentElem::getAngle() const { return 0.0; }
bool ComponentElem::isMirrored() const { return false; }
bool ComponentElem::isOptionC() const { return false; }
void ComponentElem::setOptionC(bool) {}
std::int32_t ComponentElem::getLibraryIndex() const { return componentLink_.getIndex(); }

bool ComponentElem::collectShape(PrimitiveList& receiver, std::int16_t partIndex, bool keepHatchLines) {
    PolygonConstructor::beginCollect(receiver, keepHatchLines);
    std::uint32_t result = 0;
    try {
        const host::GuidRecord guid = getTypeRecord().guid;
        result = hostApi().call<host::HostSlot::drawLibraryPartShape>(
            componentLink_.getIndex(), &guid, partIndex, &PolygonConstructor::shapePrimitiveCallback);
    } catch (...) {   // whatever stopped the drawing, the shape is not whole
        result = host::kErrGeneral;
    }
    PolygonConstructor::endCollect();
    return result == 0;
}

bool ComponentElem::setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) {
    // The element's own values are what the merge carries over: without them it would hand the new
    // part's defaults out as the element's.
    if (mergeParameters && exists() && !ParameterMemo::loadOnDemand(kParameterBit)) return false;
    // 1., 2., 3.
    const ComponentLink previous = componentLink_;
    componentLink_ = link;
    source_.reset();
    sourceLookedUp_ = false;
    reset3D();
    // 4. Defaults the host failed to give would leave the old part's values under the new part.
    if (reloadDefaults(/*forget=*/resetSizes, /*merge=*/mergeParameters, /*fromDefaults=*/false)) return true;
    componentLink_ = previous;
    source_.reset();
    sourceLookedUp_ = false;
    return false;
}

bool ComponentElem::populate(bool samePartOnly, bool skipSizes, bool resizeRows, bool resizeColumns) {
    // 1.
    auto record = std::make_unique<host::ElementRecord>();
    ElementMemoStore store;
    if (!getHostDefaults(*record, store.getMemo())) return false;
    // 2.
    std::int32_t defaultIndex = 0;
    std::memcpy(&defaultIndex, reinterpret_cast<const unsigned char*>(record.get()) + libraryIndexOffset(),
                sizeof defaultIndex);
    if (samePartOnly && defaultIndex != componentLink_.getIndex()) return true;
    // 3.
    ParameterListPopulator populator;
    populator.readInto(getParameters(), store, skipSizes, resizeRows, resizeColumns);
    return true;
}

std::size_t ComponentElem::libraryIndexOffset() const { return host::kObjectLibraryIndexOffset; }

// --- Memo side ----------------------------------------------------------------------------------------

bool ComponentElem::load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) {
    // An access that needs the memo loads it, whatever the switch says for the Drawing's own loads.
    const LoadingAllowed allowed;
    std::unique_ptr<ElementMemoStore> elementStore(dynamic_cast<ElementMemoStore*>(store.get()));
    if (elementStore) store.release();
    loadMemo(mask, elementStore);
    store = std::move(elementStore);
    return (mask & kParameterBit) != 0 ? ParameterMemo::isLoaded() : GableMemo::isLoaded();
}

void ComponentElem::prepareWrite() { commit(/*withUserData=*/true); }

void ComponentElem::fillParamOwner(host::ParameterOwnerRecord& record, bool& commit) {
    record.elementType = getTypeId() & 0xFF;
    if (!exists()) {
        commit = true;
        record.variation = getVariation();
    } else if (commit) {
        record.variation = getVariation();
    } else {
        record.guid = getGuid().getRecord();
    }
}

// --- Non-virtual --------------------------------------------------------------------------------------

ComponentSource* ComponentElem::getSource() {
    if (!sourceLookedUp_) {
        sourceLookedUp_ = true;
        if (Library* library = componentLink_.getLibrary())
            source_ = library->getSource(componentLink_, &sourceUnread_);
    }
    return source_.get();
}

FamilyGuid ComponentElem::getSourceName() {
    ComponentSource* source = getSource();
    return source != nullptr ? source->getUniqueId() : FamilyGuid();
}

FamilyGuid ComponentElem::getSourceTitle() {
    ComponentSource* source = getSource();
    return source != nullptr ? source->getParentUniqueId() : FamilyGuid();
}

String ComponentElem::getLinkName(bool* unread) {
    if (unread != nullptr) *unread = false;
    if (ComponentSource* source = getSource()) return source->getName();
    host::GuidRecord guid = getGuid().getRecord();
    host::Handle name = nullptr;
    String text;
    const std::uint32_t result = hostApi().utilities(fourcc("GULN"), &guid, &name);
    const bool named = result == host::kNoError;
    if (named) {
        const std::size_t units = tarnwick::getHandleSize(name) / sizeof(char16_t);
        if (units > 0)
            text = String(reinterpret_cast<const char16_t*>(*name), static_cast<std::uint32_t>(units));
    }
    tarnwick::disposeHandle(name);
    // A host that finds no part the element names has answered: the name is empty, not unread.
    if (unread != nullptr) *unread = (!named && result != host::kErrBadName) || sourceUnread_;
    return text;
}

bool ComponentElem::refreshHost() {
    host::ElementHead head{};
    link_.getHead(head);
    return hostApi().database(fourcc("RFSH"), &head) == host::kNoError;
}

}   // namespace tarnwick

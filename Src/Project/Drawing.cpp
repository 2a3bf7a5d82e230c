#include "Project/Drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <HostResult.h>
#include <HostSystem.h>

#include "Elements/Element.h"
#include "Elements/ElevationReference.h"
#include "Elements/Object.h"
#include "Elements/ProxyElem.h"
#include "Elements/SectionReference.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Foundation/Colour.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/System.h"
#include "Geometry/Cube.h"
#include "Geometry/Transformation.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/PropertyMemo.h"
#include "Project/AttributeLink.h"
#include "Project/CutPlane.h"
#include "Project/ElementLinkList.h"
#include "Project/ElementListMaker.h"
#include "Project/ElementMemoStore.h"
#include "Project/Layer.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Project/Storey.h"

namespace tarnwick {

namespace {

constexpr std::size_t kInitialLinkCapacity = 50;

// The two creator lists: the first, and a second that is asked before it once something is filed there.
std::unique_ptr<CreatorList>& creatorList(bool second) {
    static std::unique_ptr<CreatorList> lists[2];
    return lists[second ? 1 : 0];
}

bool userDataSucceeded(std::uint32_t result) {
    return result == host::kNoError || result == host::kErrNoUserData;
}

// A host text field of 256 16-bit characters, zero-terminated only when shorter.
String fromField(const char16_t (&field)[host::kDatabaseTextChars]) {
    std::size_t length = 0;
    while (length < host::kDatabaseTextChars && field[length] != 0) ++length;
    return String(std::u16string_view(field, length));
}

void toField(const String& text, char16_t (&field)[host::kDatabaseTextChars]) {
    const std::u16string units = text.toUniString();
    std::size_t length = std::min(units.size(), host::kDatabaseTextChars);
    // Never keep half of a surrogate pair.
    if (length < units.size() && length > 0 && units[length - 1] >= 0xD800 && units[length - 1] <= 0xDBFF)
        --length;
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(units.begin(), length, field);
}

std::size_t guidCount(host::Handle guids) {
    return tarnwick::getHandleSize(guids) / sizeof(host::GuidRecord);
}

const host::GuidRecord* guidsOf(host::Handle guids) {
    return guids == nullptr ? nullptr : reinterpret_cast<const host::GuidRecord*>(*guids);
}

// Disposes a handle on every way out, also when a receiver of it throws.
class HandleKeeper {
public:
    explicit HandleKeeper(host::Handle handle) : handle_(handle) {}
    ~HandleKeeper() { tarnwick::disposeHandle(handle_); }
    host::Handle get() const { return handle_; }
    HandleKeeper(const HandleKeeper&) = delete;
    HandleKeeper& operator=(const HandleKeeper&) = delete;

private:
    host::Handle handle_;
};

// The memo carries the element's ID text; an empty name (one the element does not know) leaves it.
void putInfoText(ElementMemoStore& memo, const String& name) {
    if (name.isEmpty()) return;
    host::ElementMemo& raw = *memo.getMemo();
    tarnwick::disposeHandle(raw.elementInfo);
    raw.elementInfo = nullptr;
    const std::u16string units = name.toUniString();
    raw.elementInfo = tarnwick::ptrToHandle(units.data(), units.size() * sizeof(char16_t));
}

// Every byte of a record set: made once, as every write of a whole record hands the host the same one.
const host::ElementRecord& fullMask() {
    static const std::unique_ptr<host::ElementRecord> mask = [] {
        auto made = std::make_unique<host::ElementRecord>();
        std::memset(static_cast<void*>(made.get()), 0xFF, sizeof(host::ElementRecord));
        return made;
    }();
    return *mask;
}

static_assert(static_cast<std::int32_t>(Transformation::Kind::move) == host::kEditMove);
static_assert(static_cast<std::int32_t>(Transformation::Kind::rotate) == host::kEditRotate);
static_assert(static_cast<std::int32_t>(Transformation::Kind::mirror) == host::kEditMirror);
static_assert(static_cast<std::int32_t>(Transformation::Kind::elevate) == host::kEditElevate);

host::EditPoint toEditPoint(const CadPoint& point) { return {point.getX(), point.getY(), point.getZ()}; }

host::EditParameters toEditParameters(const Transformation& transform) {
    host::EditParameters edit{};
    edit.kind = static_cast<std::int32_t>(transform.getKind());
    edit.origin = toEditPoint(transform.getOrigin());
    edit.begin = toEditPoint(transform.getBegin());
    edit.end = toEditPoint(transform.getEnd());
    return edit;
}

// A layer index the host can hold: 32767 is what a failed head read gives.
constexpr std::int16_t kNoLayer = 32767;

}   // namespace

// --- Filter -------------------------------------------------------------------------------------------

Drawing::Filter::Filter(std::uint32_t hostFlags, std::uint16_t typeId, bool selectedOnly,
                        std::uint8_t flagByte1, bool withUserDataOnly)
    : hostFlags_(hostFlags),
      flagByte1_(flagByte1),
      selectedOnly_(selectedOnly),
      withUserDataOnly_(withUserDataOnly) {
    addType(typeId);
}

Drawing::Filter::Filter(std::uint16_t typeId, bool selectedOnly, std::uint8_t flagByte1,
                        bool withUserDataOnly)
    : Filter(0, typeId, selectedOnly, flagByte1, withUserDataOnly) {}

Drawing::Filter::Filter(bool selectedOnly, bool withUserDataOnly)
    : Filter(0, 0, selectedOnly, 0, withUserDataOnly) {}

Drawing::Filter::~Filter() = default;

std::unique_ptr<Drawing::Filter> Drawing::Filter::clone() const { return std::make_unique<Filter>(*this); }

bool Drawing::Filter::accepts(Element&) const { return true; }

void Drawing::Filter::addType(std::uint16_t typeId) {
    if (typeId == 0) {
        types_.clear();
        return;
    }
    if (hasType(typeId)) return;
    types_.push_back(typeId);
}

std::uint16_t Drawing::Filter::typeAt(std::size_t index) const {
    return index < types_.size() ? types_[index] : 0;
}

bool Drawing::Filter::hasType(std::uint16_t typeId) const {
    return std::any_of(types_.begin(), types_.end(),
                       [typeId](std::uint16_t entry) { return ElementLink::typesMatch(entry, typeId); });
}

// --- Drawing ------------------------------------------------------------------------------------------

Drawing::Drawing(Project& project, const Guid& databaseGuid)
    : Database(project), databaseGuid_(databaseGuid) {}

Drawing::~Drawing() = default;

void Drawing::clear() { forgetSelection(); }

LinkRecord Drawing::getId() const { return LinkRecord(getDatabaseType(), getGuid(), 0); }

Guid Drawing::getGuid() const { return databaseGuid_; }

bool Drawing::makeCurrent() { return project().setCurrentDatabase(this); }

bool Drawing::readRecord(host::DatabaseRecord& record) {
    if (!makeCurrent()) return false;
    record = {};
    record.type = getDatabaseType();
    record.guid = databaseGuid_.getRecord();
    return setLastHostResult(hostApi().database(fourcc("GDBI"), &record)) == host::kNoError;
}

bool Drawing::writeRecord(host::DatabaseRecord& record) {
    return setLastHostResult(hostApi().database(fourcc("MDAT"), &record)) == host::kNoError;
}

String Drawing::getName() {
    host::DatabaseRecord record;
    return readRecord(record) ? fromField(record.name) : String();
}

String Drawing::getReference() {
    host::DatabaseRecord record;
    return readRecord(record) ? fromField(record.reference) : String();
}

String Drawing::getTitle() {
    host::DatabaseRecord record;
    return readRecord(record) ? fromField(record.title) : String();
}

bool Drawing::setReference(const String& text) {
    host::DatabaseRecord record;
    if (!readRecord(record)) return false;
    toField(text, record.reference);
    return writeRecord(record);
}

bool Drawing::setName(const String& text) {
    host::DatabaseRecord record;
    if (!readRecord(record)) return false;
    toField(text, record.name);
    return writeRecord(record);
}

// --- Selection ----------------------------------------------------------------------------------------

void Drawing::forgetSelection() {
    selection_.reset();
    emptySelectionEpoch_ = 0;
}

bool Drawing::loadSelection() {
    if (selection_) return true;
    // During a walk an empty selection stays empty unless the add-on changes it (which forgets this).
    const std::uint64_t epoch = project().getAnswerEpoch();
    if (epoch != 0 && emptySelectionEpoch_ == epoch) return false;
    selectionUnread_ = true;
    if (!makeCurrent()) return false;
    host::SelectionRecord record{};
    host::Handle parts = nullptr;
    const std::uint32_t result = setLastHostResult(hostApi().call<host::HostSlot::getSelection>(
        &record, &parts, /*onlyEditable=*/std::uint8_t{0}, /*ignorePartial=*/std::uint8_t{1}));
    if (result != host::kNoError) {
        tarnwick::disposeHandle(parts);
        return false;
    }
    selectionUnread_ = false;
    marquee_ = record.kind >= host::kSelectionMarqueePolygon && record.kind <= host::kSelectionMarqueeRotated;
    const std::size_t count = tarnwick::getHandleSize(parts) / sizeof(host::PartReference);
    if (count >= 1) {
        auto list = std::make_unique<ElementLinkList>(count);
        const auto* references = reinterpret_cast<const host::PartReference*>(*parts);
        for (std::size_t i = 0; i < count; ++i) list->append(ElementLink(references[i], this));
        lastSelected_ = *list->back();
        selection_ = std::move(list);
    }
    tarnwick::disposeHandle(parts);
    if (!selection_) emptySelectionEpoch_ = epoch;
    return selection_ != nullptr;
}

ElementLinkList* Drawing::getSelection() {
    loadSelection();
    return selection_.get();
}

std::unique_ptr<Element> Drawing::getSelectedElement(std::uint16_t typeId, bool keepSectionElements) {
    if (!loadSelection()) return nullptr;
    ElementLink link;
    if (typeId == 0) {
        link = lastSelected_;
    } else {
        bool found = false;
        for (std::size_t i = selection_->size(); i-- > 0 && !found;) {
            const ElementLink* candidate = (*selection_)[i];
            if (candidate != nullptr && ElementLink::typesMatch(candidate->getTypeId(), typeId)) {
                link = *candidate;
                found = true;
            }
        }
        if (!found) return nullptr;
    }
    if (!link.hasGuid()) return nullptr;
    if (!keepSectionElements && !resolveSectionElement(/*toParent=*/true, link)) return nullptr;
    Drawing* holder = link.getDrawing();
    return holder != nullptr ? holder->getElement(link) : nullptr;
}

bool Drawing::sendParts(const ElementLinkList& links, bool add, bool resolve) {
    host::Handle parts = links.makePartReferences(resolve);
    const auto count =
        static_cast<std::int32_t>(tarnwick::getHandleSize(parts) / sizeof(host::PartReference));
    const std::uint32_t result = setLastHostResult(
        hostApi().call<host::HostSlot::selectElements>(parts, count, static_cast<std::uint8_t>(add ? 1 : 0)));
    tarnwick::disposeHandle(parts);
    return result == host::kNoError;
}

const ElementLinkList& Drawing::forSelection(const ElementLinkList& links,
                                             std::unique_ptr<ElementLinkList>& marked) {
    auto* cutPlane = dynamic_cast<CutPlane*>(this);
    if (cutPlane == nullptr) return links;
    marked = links.clone();
    markSectionElements(*marked, *cutPlane);
    return *marked;
}

bool Drawing::select(const ElementLinkList& given) {
    if (!makeCurrent()) return false;
    forgetSelection();
    std::unique_ptr<ElementLinkList> marked;
    const ElementLinkList& links = forSelection(given, marked);
    if (marked && !makeCurrent()) return false;   // marking walks the view and may leave the Plan current
    if (setLastHostResult(hostApi().call<host::HostSlot::selectElements>(nullptr, 0, std::uint8_t{0})) !=
        host::kNoError)
        return false;
    if (!sendParts(links, /*add=*/true, /*resolve=*/marked != nullptr))
        return false;   // the cache stays empty: read again on demand
    if (given.size() > 0) {
        selection_ = given.clone();   // the caller's links, not the section elements they were marked with
        if (const ElementLink* last = selection_->back()) lastSelected_ = *last;
    }
    return true;
}

bool Drawing::select(ElementListMaker& maker) {
    const std::unique_ptr<ElementLinkList> links = maker.makeList();
    if (!links || links->size() == 0) return deselectAll();
    return select(*links);
}

bool Drawing::deselectAll() {
    if (!makeCurrent()) return false;
    forgetSelection();
    return setLastHostResult(hostApi().call<host::HostSlot::selectElements>(nullptr, 0, std::uint8_t{0})) ==
           host::kNoError;
}

bool Drawing::changeSelection(const ElementLinkList& given, bool add, bool alwaysResolve) {
    if (!makeCurrent()) return false;
    forgetSelection();
    std::unique_ptr<ElementLinkList> marked;
    const ElementLinkList& links = forSelection(given, marked);
    if (marked && !makeCurrent()) return false;   // marking walks the view and may leave the Plan current
    return sendParts(links, add, /*resolve=*/alwaysResolve || marked != nullptr);
}

bool Drawing::changeSelection(const ElementLink& link, bool add, bool alwaysResolve) {
    ElementLinkList links(1);
    links.append(link);
    return changeSelection(links, add, alwaysResolve);
}

bool Drawing::addToSelection(const ElementLinkList& links) { return changeSelection(links, true, true); }
bool Drawing::addToSelection(const ElementLink& link) { return changeSelection(link, true, false); }
bool Drawing::addToSelection(ElementListMaker& maker) {
    const std::unique_ptr<ElementLinkList> links = maker.makeList();
    return links ? changeSelection(*links, true, false) : true;
}
bool Drawing::deselect(const ElementLinkList& links) { return changeSelection(links, false, false); }
bool Drawing::deselect(const ElementLink& link) { return changeSelection(link, false, true); }
bool Drawing::deselect(ElementListMaker& maker) {
    const std::unique_ptr<ElementLinkList> links = maker.makeList();
    return links ? changeSelection(*links, false, false) : true;
}

bool Drawing::setSelected(const ElementLink& link, bool on) {
    if (!makeCurrent()) return false;
    forgetSelection();
    host::ElementHead head{};
    ElementLink(link).getHead(head);
    const std::uint32_t result = setLastHostResult(
        hostApi().call<host::HostSlot::selectElement>(&head, static_cast<std::uint8_t>(on ? 1 : 0)));
    return result == host::kNoError || result == (on ? host::kErrAlreadySelected : host::kErrNotSelected);
}

// --- Highlighting -------------------------------------------------------------------------------------

bool Drawing::highlightElements(const ElementLinkList& links, const Colour& colour, bool wireframe) {
    if (highlighted_) clearHighlight();
    std::vector<host::HighlightEntry> entries;
    std::set<Guid> seen;
    for (const auto& link : links) {
        if (!link || !link->hasGuid() || !seen.insert(link->getGuid()).second) continue;
        entries.push_back({link->getGuid().getRecord(), colour.red, colour.green, colour.blue, colour.alpha});
    }
    if (entries.empty()) return true;   // nothing to show
    if (!makeCurrent()) return false;
    const HandleKeeper table(
        tarnwick::ptrToHandle(entries.data(), entries.size() * sizeof(host::HighlightEntry)));
    bool flag = wireframe;
    if (setLastHostResult(hostApi().interface(fourcc("HGEL"), table.get(), &flag)) != host::kNoError)
        return false;
    highlighted_ = true;
    return true;
}

void Drawing::clearHighlight() {
    if (makeCurrent()) setLastHostResult(hostApi().interface(fourcc("HGEL")));
    highlighted_ = false;
}

// --- View commands ------------------------------------------------------------------------------------

void Drawing::zoom(const Cube& box) {
    if (!makeCurrent()) return;
    Cube normal = box;   // the host takes minimum and maximum, whichever corners the box was made from
    normal.normalise();
    const std::array<double, 4> extent = normal.getExtent();
    host::BoxRecord record{extent[0], extent[1], extent[2], extent[3]};
    setLastHostResult(hostApi().automation(fourcc("ZOOM"), &record));
}

void Drawing::zoomBack() {
    if (!makeCurrent()) return;
    setLastHostResult(hostApi().automation(fourcc("DOOM")));
}

std::unique_ptr<Cube> Drawing::getZoom(bool wholeExtent) {
    if (!makeCurrent()) return nullptr;
    host::BoxRecord record{};
    if (setLastHostResult(hostApi().database(fourcc(wholeExtent ? "GEX2" : "GZOM"), &record)) !=
        host::kNoError)
        return nullptr;
    return std::make_unique<Cube>(std::array<double, 4>{record.xMin, record.yMin, record.xMax, record.yMax});
}

double Drawing::getScale() {
    if (!makeCurrent()) return 0.0;
    double scale = 0.0;
    if (setLastHostResult(hostApi().database(fourcc("GSCL"), &scale)) != host::kNoError) return 0.0;
    return scale;
}

std::uint32_t Drawing::setScale(double scale, std::uint8_t flag) {
    if (!makeCurrent()) return getLastHostResult();
    return setLastHostResult(hostApi().database(fourcc("CDRS"), &scale, &flag));
}

void Drawing::redraw() {
    if (makeCurrent()) setLastHostResult(hostApi().database(fourcc("DRDB")));
}

void Drawing::rebuild() {
    if (makeCurrent()) setLastHostResult(hostApi().database(fourcc("RBDB")));
}

void Drawing::regenerate(std::uint8_t flag) {
    if (makeCurrent()) setLastHostResult(hostApi().automation(fourcc("RBLD"), &flag));
}

bool Drawing::drawElements(const ElementLinkList& links) {
    if (!makeCurrent()) return false;
    bool all = true;
    for (const auto& link : links) {
        if (!link) continue;
        host::ElementHead head{};
        ElementLink(*link).getHead(head, /*resolveSection=*/false);
        if (setLastHostResult(hostApi().database(fourcc("DRWE"), &head)) != host::kNoError) all = false;
    }
    return all;
}

double Drawing::getPixelSize() {
    // Two host pixels 100 apart along v; the window's scale is the same on both axes.
    host::PixelPoint top{0, 0};
    host::PixelPoint below{0, 100};
    host::ModelPoint a{};
    host::ModelPoint b{};
    if (setLastHostResult(hostApi().database(fourcc("PTOC"), &top, &a)) != host::kNoError) return 0.0;
    if (setLastHostResult(hostApi().database(fourcc("PTOC"), &below, &b)) != host::kNoError) return 0.0;
    return std::hypot(b.x - a.x, b.y - a.y) / 100.0;
}

CadPoint Drawing::getMousePoint() {
    if (!project().setCurrentWindow(this)) return CadPoint();
    const host::ScreenPosition mouse = System::getMousePosition();
    host::WindowId window = System::findWindowByTitle(getName());
    if (window == 0) window = Host::getMainWindow();
    host::ClientRect client;
    if (!host::windowClientRect(window, client)) return CadPoint();
    // The zoom box's corners in host pixels give the host's width of the window.
    host::BoxRecord zoom{};
    if (setLastHostResult(hostApi().database(fourcc("GZOM"), &zoom)) != host::kNoError) return CadPoint();
    host::ModelPoint corners[2] = {{zoom.xMin, zoom.yMin}, {zoom.xMax, zoom.yMax}};
    host::PixelPoint pixels[2] = {};
    for (int i = 0; i < 2; ++i)
        if (setLastHostResult(hostApi().database(fourcc("CTOP"), &corners[i], &pixels[i])) != host::kNoError)
            return CadPoint();
    // Screen pixels per host pixel, to the nearest quarter (halves up). A window of no host width, or a
    // ratio that rounds to 0, cannot be divided by: no point.
    const int hostWidth = std::abs(pixels[1].h - pixels[0].h);
    if (hostWidth == 0) return CadPoint();
    const double ratio = std::floor(4.0 * client.width / hostWidth + 0.5) / 4.0;
    if (!(ratio > 0.0)) return CadPoint();
    const double h = std::trunc((mouse.x - client.left) / ratio);   // toward zero, whole host pixels
    const double v = std::trunc((mouse.y - client.top) / ratio);
    constexpr double kLow = std::numeric_limits<std::int16_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int16_t>::max();
    if (h < kLow || h > kHigh || v < kLow || v > kHigh) return CadPoint();
    host::PixelPoint pixel{static_cast<std::int16_t>(h), static_cast<std::int16_t>(v)};
    host::ModelPoint point{};
    if (setLastHostResult(hostApi().database(fourcc("PTOC"), &pixel, &point)) != host::kNoError)
        return CadPoint();
    return CadPoint(point.x, point.y, 0.0);
}

// --- Element creators ---------------------------------------------------------------------------------

void Drawing::registerCreator(std::uint16_t typeId, ElementCreator creator, bool secondList) {
    std::unique_ptr<CreatorList>& list = creatorList(secondList);
    if (!list) list = std::make_unique<CreatorList>();
    list->add(typeId, creator);
}

void Drawing::registerCreators() {
    registerCreator(SectionReference::kType, &SectionReference::create, /*secondList=*/false);
    registerCreator(ElevationReference::kType, &ElevationReference::create, /*secondList=*/false);
    registerCreator(ProxyElem::kType, &ProxyElem::create, /*secondList=*/false);
    registerCreator(Object::kType, &Object::create, /*secondList=*/false);
}

void Drawing::unregisterCreators() {
    creatorList(false).reset();
    creatorList(true).reset();
}

std::unique_ptr<Element> Drawing::makeElement(const host::ElementRecord& record, ElementLink& link,
                                              std::unique_ptr<ElementMemoStore>& memo) {
    link.setVariation(record.head.variation);
    std::unique_ptr<Element> element;
    for (const bool second : {true, false}) {
        const std::unique_ptr<CreatorList>& list = creatorList(second);
        if (list && (element = list->make(record, link))) break;
    }
    if (!element || !memo) return element;
    // The element reads the memo it is given; nothing it loads on the way fetches memos of its own.
    const std::uint8_t saved = Element::memoLoadingSuspended;
    Element::memoLoadingSuspended = 1;
    try {
        element->loadMemo(Element::kFullMemoMask, memo);
    } catch (...) {
        Element::memoLoadingSuspended = saved;
        throw;
    }
    Element::memoLoadingSuspended = saved;
    return element;
}

// --- Reading ------------------------------------------------------------------------------------------

namespace {
// Loads the element's memo unless memo loading is suspended; the store it fetched goes right away.
void refreshMemo(Element& element) {
    if (Element::memoLoadingSuspended != 0) return;
    std::unique_ptr<ElementMemoStore> store;
    element.loadMemo(Element::kFullMemoMask, store);
}
}   // namespace

std::unique_ptr<Element> Drawing::getElement(const ElementLink& link) {
    ElementLink copy = link;
    if (resolveSectionElement(/*toParent=*/false, copy) && copy.hasGuid()) {
        auto record = std::make_unique<host::ElementRecord>();   // zeroed
        record->head.guid = copy.getGuid().getRecord();
        if (setLastHostResult(hostApi().database(fourcc("GEFA"), record.get())) == host::kNoError) {
            Drawing* holder = link.getDrawing();
            ElementLink made(record->head, holder != nullptr ? holder : this);
            if (loadSelection()) {
                const std::size_t at = selection_->find(made);
                if (at != ElementLinkList::npos && (*selection_)[at]->getGuid() == made.getGuid())
                    made.copyPartReference(*(*selection_)[at]);
            }
            std::unique_ptr<ElementMemoStore> noMemo;
            if (std::unique_ptr<Element> element = makeElement(*record, made, noMemo)) {
                refreshMemo(*element);
                return element;
            }
        }
    }
    return loadElement(link, nullptr);
}

std::unique_ptr<Element> Drawing::unreadElement() {
    ++readFaults_.elements;
    return nullptr;
}

std::unique_ptr<Element> Drawing::loadElement(const ElementLink& link, const Filter* filter) {
    // 1.
    if (!makeCurrent()) return unreadElement();
    ElementLink copy = link;
    // 2. The selection's own link carries the part reference the host selected.
    const ElementLink* selected = nullptr;
    if (loadSelection()) {
        const std::size_t at = selection_->find(copy);
        if (at != ElementLinkList::npos) selected = (*selection_)[at];
    }
    if (filter != nullptr && filter->isSelectedOnly()) {
        if (selected == nullptr) return nullptr;
        copy = *selected;
    }
    // 3.
    if (!resolveSectionElement(filter != nullptr && filter->resolvesSectionElements(), copy))
        return unreadElement();
    // 4.
    if (filter != nullptr && filter->getTypeCount() > 0 && !filter->hasType(copy.getTypeId())) return nullptr;
    // 5.
    if (filter != nullptr) {
        if (!filter->listedByHost_ && !passesHostFilter(copy, *filter))
            return lastHostResult_ == host::kNoError ? nullptr : unreadElement();
        if (filter->isWithUserDataOnly()) {
            host::ElementHead head{};
            copy.getHead(head);
            host::UserDataRecord data{};
            const std::uint32_t result = hostApi().call<host::HostSlot::getElementUserData>(&head, &data);
            const bool has = result == host::kNoError && data.data != nullptr;
            tarnwick::disposeHandle(data.data);
            if (!has) return nullptr;
        }
    }
    // 6. Read in the Drawing that holds the (resolved) link.
    Drawing* holder = copy.getDrawing();
    if (holder == nullptr) holder = this;
    if (!holder->makeCurrent()) return unreadElement();
    auto record = std::make_unique<host::ElementRecord>();   // zeroed
    record->head.type = copy.getTypeByte();
    record->head.guid = copy.getGuid().getRecord();
    if (setLastHostResult(hostApi().call<host::HostSlot::getElement>(record.get())) != host::kNoError)
        return unreadElement();
    ElementLink made(record->head, holder);
    made.setSecondTypeId(copy.getSecondTypeId());
    made.setSecondGuid(copy.getSecondGuid());
    made.setSource(copy.getSource());
    if (selected != nullptr && selected->getGuid() == made.getGuid()) made.copyPartReference(*selected);
    // 7.
    std::unique_ptr<ElementMemoStore> noMemo;
    std::unique_ptr<Element> element = makeElement(*record, made, noMemo);
    if (!element) return nullptr;
    if (filter != nullptr && !filter->accepts(*element)) return nullptr;
    // 8.
    refreshMemo(*element);
    return element;
}

bool Drawing::loadElementRecord(ElementLink& link, host::ElementHead* head) {
    if (!makeCurrent()) return false;
    auto record = std::make_unique<host::ElementRecord>();   // zeroed
    record->head.type = link.getTypeByte();
    record->head.guid = link.getGuid().getRecord();
    if (setLastHostResult(hostApi().call<host::HostSlot::getElement>(record.get())) != host::kNoError)
        return false;
    link = ElementLink(record->head, this);
    if (head != nullptr) *head = record->head;
    return true;
}

bool Drawing::loadElementHead(const Guid& guid, ElementLink* link, Layer* layer, Storey** storey) {
    host::ElementHead head{};
    const host::GuidRecord record = guid.getRecord();
    const bool read =
        setLastHostResult(hostApi().call<host::HostSlot::getElementHead>(&record, &head)) == host::kNoError;
    if (link != nullptr) *link = read ? ElementLink(head, this) : ElementLink();
    if (layer != nullptr)
        *layer = Layer(AttributeLink(read ? head.layer : std::int16_t{0}, AttributeType::layer));
    if (storey != nullptr) {
        const std::int32_t type = getDatabaseType();
        const bool storeys = type == host::kDatabasePlan || type == host::kDatabaseModel;
        *storey = read && storeys ? project().getPlan().getStorey(head.storey) : nullptr;
    }
    makeCurrent();
    return read;
}

std::unique_ptr<ElementMemoStore> Drawing::loadMemo(const ElementLink& link, std::uint64_t mask) {
    if (!makeCurrent()) return nullptr;
    auto store = std::make_unique<ElementMemoStore>();
    const host::GuidRecord guid = link.getGuid().getRecord();
    if (setLastHostResult(hostApi().call<host::HostSlot::getElementMemo>(
            &guid, store->getMemo(), mask == 0 ? Element::kFullMemoMask : mask)) != host::kNoError)
        return nullptr;   // the store disposes whatever the host left in the memo
    return store;
}

std::unique_ptr<MemoryBlock> Drawing::getUserData(const ElementLink& link, std::uint32_t* flags,
                                                  std::uint16_t* version, std::uint16_t* platform) {
    if (!makeCurrent()) return nullptr;
    host::ElementHead head{};
    ElementLink(link).getHead(head);
    host::UserDataRecord record{};
    const std::uint32_t result =
        setLastHostResult(hostApi().call<host::HostSlot::getElementUserData>(&head, &record));
    if (flags != nullptr) *flags = record.flags;
    if (version != nullptr) *version = record.version;
    if (platform != nullptr) *platform = record.platformSign;
    if (!userDataSucceeded(result)) {
        tarnwick::disposeHandle(record.data);
        return nullptr;
    }
    return std::make_unique<MemoryBlock>(record.data);
}

std::size_t Drawing::getLinkedElements(const ElementLink& link, ElementLinkList& list) {
    if (!makeCurrent()) return 0;
    const host::GuidRecord guid = link.getGuid().getRecord();
    host::Handle guids = nullptr;
    std::int32_t count = 0;
    if (setLastHostResult(hostApi().call<host::HostSlot::getLinkedElements>(&guid, &guids, &count)) !=
        host::kNoError) {
        tarnwick::disposeHandle(guids);
        return 0;
    }
    const std::size_t available = std::min(guidCount(guids), static_cast<std::size_t>(std::max(count, 0)));
    const std::size_t added = list.append(guidsOf(guids), available, *this);
    tarnwick::disposeHandle(guids);
    return added;
}

std::size_t Drawing::countElements(const Filter& filter) { return fillLinkList(filter, nullptr); }

// --- Writing ------------------------------------------------------------------------------------------

bool Drawing::storeElement(Element& element, bool create, bool withMemo) {
    // 1.
    if (!makeCurrent()) return false;
    std::unique_ptr<host::ElementRecord> record = element.getHostElement();
    if (!record) return false;
    // 2. Another database is told apart by kind and guid; the storey index takes no part, so an element
    // on another storey of the plan is changed, not created again.
    const bool isNew = create || !Guid(record->head.guid).isValid() ||
                       !getId().isSameDatabase(element.getLink().getLocation());
    if (isNew) element.setUserDataChanged(true);
    // 3. Memo mask 0 is every part, and the host drops those the memo leaves out: an element holding none
    // of its kind's parts has none, but an ID the host could not give is not the element's to drop.
    std::uint64_t memoMask = 0;
    std::unique_ptr<ElementMemoStore> memo;
    if (withMemo) memo = element.getMemo(memoMask);
    if (memo) {
        putInfoText(*memo, element.getInfoString(false));
        if (memoMask == 0 && !element.isInfoStringKnown()) memoMask = host::kMemoFullMask & ~host::kMemoInfo;
    } else if (record->head.writeNeedsMemo != 0) {
        return false;
    }
    // 4.
    std::uint32_t result = host::kNoError;
    if (isNew) {
        result =
            hostApi().call<host::HostSlot::createElement>(record.get(), memo ? memo->getMemo() : nullptr);
    } else {
        result = hostApi().call<host::HostSlot::changeElement>(record.get(), &fullMask(),
                                                               memo ? memo->getMemo() : nullptr,
                                                               memo ? memoMask : 0, std::uint8_t{1});
    }
    if (setLastHostResult(result) != host::kNoError) return false;
    // 5.
    element.getMutableTypeRecord() = record->head;
    ElementLink stored = element.getLink();
    stored.setGuid(Guid(record->head.guid), this);
    element.setLink(stored);
    // 6.
    const bool userData = storeUserData(element);
    auto* classifications = dynamic_cast<ClassificationMemo*>(&element);
    const bool classified = classifications == nullptr || classifications->store(/*toDefault=*/false, isNew);
    auto* properties = dynamic_cast<PropertyMemo*>(&element);
    const bool propertied = properties == nullptr || properties->store(/*toDefault=*/false, isNew);
    return userData && classified && propertied;
}

bool Drawing::storeUserData(Element& element) {
    if (!element.isUserDataChanged()) return true;
    const std::unique_ptr<MemoryBlock> block = element.getUserData();
    const bool stored =
        setUserData(element.getLink(), block.get(), /*keepEmpty=*/false, element.getUserDataFlags(),
                    static_cast<std::uint16_t>(element.getUserDataVersion()),
                    static_cast<std::uint16_t>(element.getUserDataPlatform()));
    if (stored) element.setUserDataChanged(false);
    return stored;
}

bool Drawing::setUserData(const ElementLink& link, const MemoryBlock* block, bool keepEmpty,
                          std::uint32_t flags, std::uint16_t version, std::uint16_t platform) {
    if (link.hasGuid() && !makeCurrent()) return false;
    host::ElementHead head{};
    ElementLink(link).getHead(head);
    std::uint32_t result = host::kNoError;
    if (block != nullptr && (keepEmpty || block->getSize() > 0)) {
        host::UserDataRecord record{};
        record.version = version;
        record.platformSign = platform;
        record.flags = flags;
        record.data = block->getHandle();
        result = hostApi().call<host::HostSlot::setElementUserData>(&head, &record);
    } else {
        result = hostApi().call<host::HostSlot::clearElementUserData>(&head);
    }
    return userDataSucceeded(setLastHostResult(result));
}

bool Drawing::linkElements(const ElementLink& first, const ElementLinkList& second) {
    if (!makeCurrent()) return false;
    bool all = true;
    const host::GuidRecord from = first.getGuid().getRecord();
    for (const auto& link : second) {
        if (!link) continue;
        const host::GuidRecord to = link->getGuid().getRecord();
        if (setLastHostResult(hostApi().call<host::HostSlot::linkElements>(&from, &to, std::uint32_t{0})) !=
            host::kNoError)
            all = false;
    }
    return all;
}

bool Drawing::linkElements(const ElementLink& first, const ElementLink& second) {
    ElementLinkList list(1);
    list.append(second);
    return linkElements(first, list);
}

bool Drawing::unlinkElements(const ElementLink& first, const ElementLinkList& second) {
    if (!makeCurrent()) return false;
    bool all = true;
    const host::GuidRecord from = first.getGuid().getRecord();
    for (const auto& link : second) {
        if (!link) continue;
        const host::GuidRecord to = link->getGuid().getRecord();
        if (setLastHostResult(hostApi().call<host::HostSlot::unlinkElements>(&from, &to)) != host::kNoError)
            all = false;
    }
    return all;
}

bool Drawing::unlinkElements(const ElementLink& first, const ElementLink& second) {
    ElementLinkList list(1);
    list.append(second);
    return unlinkElements(first, list);
}

bool Drawing::deleteElement(const ElementLink& link) {
    ElementLinkList list(1);
    list.append(link);
    return deleteElements(list);
}

bool Drawing::deleteElements(const ElementLinkList& links) {
    if (!makeCurrent()) return false;
    host::Handle heads = links.makeHeads(/*resolve=*/false);
    const auto count = static_cast<std::int32_t>(tarnwick::getHandleSize(heads) / sizeof(host::ElementHead));
    const std::uint32_t result =
        setLastHostResult(hostApi().call<host::HostSlot::deleteElements>(heads, count));
    tarnwick::disposeHandle(heads);
    return result == host::kNoError;
}

bool Drawing::deleteElements(ElementListMaker& maker) {
    const std::unique_ptr<ElementLinkList> links = maker.makeList();
    return links ? deleteElements(*links) : true;
}

bool Drawing::changeParameters(Element& element, Element* source, Element* mask) {
    if (!makeCurrent()) return false;
    const Element& from = source != nullptr ? *source : element;
    const std::unique_ptr<host::ElementRecord> record = from.getHostElement();
    if (!record) return false;
    std::uint64_t memoMask = 0;
    const std::unique_ptr<ElementMemoStore> memo = from.getMemo(memoMask);
    // Nothing is written, so nothing may be reported as written.
    if (!memo && record->head.writeNeedsMemo != 0) return false;
    const std::unique_ptr<host::ElementRecord> maskOfElement =
        mask != nullptr ? mask->getHostElement() : nullptr;
    if (mask != nullptr && !maskOfElement) return false;
    const host::ElementRecord* const maskRecord = maskOfElement ? maskOfElement.get() : &fullMask();
    if (memo) putInfoText(*memo, element.getInfoString(false));
    // The element is changed, whoever supplies the defaults: its own head names it.
    const host::ElementHead head = element.getTypeRecord();
    if (setLastHostResult(hostApi().call<host::HostSlot::changeParameters>(
            &head, std::int32_t{1}, record.get(), memo ? memo->getMemo() : nullptr, maskRecord)) !=
        host::kNoError)
        return false;
    // The host took only the masked bytes: the head it now holds is read back.
    ElementLink link = element.getLink();
    link.setDrawing(this);
    host::ElementHead stored{};
    if (!loadElementRecord(link, &stored)) return false;
    element.getMutableTypeRecord() = stored;
    element.setLink(link);
    return element.getTransformCount() >= 1 ? applyTransforms(element) : true;
}

bool Drawing::changePlacement(Element& element, const AttributeLink* layer, const AttributeLink* storey,
                              const Guid* headGuid) {
    const LinkRecord& location = element.getLink().getLocation();
    if (location.getKind() != 0 && !getId().isSameDatabase(location)) return false;
    if (layer == nullptr && storey == nullptr && headGuid == nullptr) return true;
    if (!makeCurrent()) return false;
    auto mask = std::make_unique<host::ElementRecord>();   // zeroed: only what is given is written
    if (layer != nullptr) {
        element.setLayer(Layer(*layer));
        mask->head.layer = static_cast<std::int16_t>(0xFFFF);
    }
    if (storey != nullptr) {   // the element's storey-dependent values follow it to the new storey
        element.setStorey(Storey(*storey), /*keepVisibility=*/true);
        mask->head.storey = static_cast<std::int16_t>(0xFFFF);
    }
    if (headGuid != nullptr) {
        element.getMutableTypeRecord().firstIdentifier = headGuid->getRecord();
        std::memset(static_cast<void*>(&mask->head.firstIdentifier), 0xFF, sizeof mask->head.firstIdentifier);
    }
    const std::unique_ptr<host::ElementRecord> record = element.getHostElement();
    if (!record) return false;
    const host::ElementHead target = element.getTypeRecord();
    if (setLastHostResult(hostApi().call<host::HostSlot::changeParameters>(
            &target, std::int32_t{1}, record.get(), nullptr, mask.get())) != host::kNoError)
        return false;
    ElementLink link(element.getGuid(), this);
    host::ElementHead stored{};
    if (!loadElementRecord(link, &stored)) return false;
    element.getMutableTypeRecord() = stored;
    element.setLink(link);
    return true;
}

bool Drawing::storeLayer(Element& element) {
    if (!makeCurrent()) return false;
    const host::ElementHead head = element.getTypeRecord();
    if (head.layer <= 0 || head.layer == kNoLayer) return false;   // no layer to write
    auto record = std::make_unique<host::ElementRecord>();         // zeroed
    record->head.layer = head.layer;
    auto mask = std::make_unique<host::ElementRecord>();   // zeroed: only the layer is written
    mask->head.layer = static_cast<std::int16_t>(0xFFFF);
    return setLastHostResult(hostApi().call<host::HostSlot::changeParameters>(
               &head, std::int32_t{1}, record.get(), nullptr, mask.get())) == host::kNoError;
}

bool Drawing::sendEdit(const ElementLinkList& links, const Transformation& transform) {
    const HandleKeeper parts(links.makePartReferences(/*resolve=*/true));
    const auto count =
        static_cast<std::int32_t>(tarnwick::getHandleSize(parts.get()) / sizeof(host::PartReference));
    const host::EditParameters edit = toEditParameters(transform);
    return setLastHostResult(hostApi().call<host::HostSlot::editElements>(parts.get(), count, &edit)) ==
           host::kNoError;
}

bool Drawing::applyTransform(ElementLink& link, const Transformation& transform) {
    // The 3D window shows the floor plan's elements; they are edited there.
    Drawing& worker =
        getDatabaseType() == host::kDatabaseModel ? static_cast<Drawing&>(project().getPlan()) : *this;
    if (!worker.makeCurrent()) return false;
    ElementLinkList one(1);
    one.append(link);
    if (!sendEdit(one, transform)) return false;
    ElementLink edited(link.getGuid(), this);
    if (edited.hasGuid()) link = edited;   // a head that cannot be read again keeps the old link
    return true;
}

bool Drawing::applyTransforms(Element& element) {
    ElementLink link = element.getLink();
    link.setDrawing(this);
    while (std::unique_ptr<Transformation> transform = element.removeTransform())
        if (!applyTransform(link, *transform)) return false;   // the rest stay pending
    element.setLink(link);
    return true;
}

bool Drawing::applyTransform(Element& element, const Transformation& transform) {
    ElementLink link = element.getLink();
    if (!applyTransform(link, transform)) return false;
    element.setLink(link);
    return true;
}

bool Drawing::editElements(const ElementLinkList& links, const Transformation& transform) {
    if (!makeCurrent()) return false;
    return sendEdit(links, transform);
}

bool Drawing::callRPAS(const ElementLink& link) {
    if (!makeCurrent()) return false;
    host::ElementHead head{};
    ElementLink(link).getHead(head, /*resolveSection=*/false);
    return setLastHostResult(hostApi().utilities(fourcc("RPAS"), &head)) == host::kNoError;
}

bool Drawing::lockElements(const ElementLinkList& links) { return sendTool(fourcc("LOCK"), links, nullptr); }
bool Drawing::unlockElements(const ElementLinkList& links) {
    return sendTool(fourcc("ULCK"), links, nullptr);
}
bool Drawing::lockElements(ElementListMaker& maker) { return toolCommand(fourcc("LOCK"), maker); }
bool Drawing::unlockElements(ElementListMaker& maker) { return toolCommand(fourcc("ULCK"), maker); }

bool Drawing::groupElements(const ElementLinkList& links) { return sendTool(fourcc("GRUP"), links, nullptr); }
bool Drawing::groupElements(ElementListMaker& maker) { return toolCommand(fourcc("GRUP"), maker); }
bool Drawing::ungroupElements(ElementListMaker& maker) { return toolCommand(fourcc("UGRP"), maker); }
bool Drawing::bringToFront(ElementListMaker& maker) { return toolCommand(fourcc("OFR1"), maker); }
bool Drawing::bringForward(ElementListMaker& maker) { return toolCommand(fourcc("OFR0"), maker); }
bool Drawing::sendToBack(ElementListMaker& maker) { return toolCommand(fourcc("OBA1"), maker); }
bool Drawing::sendBackward(ElementListMaker& maker) { return toolCommand(fourcc("OBA0"), maker); }

bool Drawing::toolCommand(std::uint32_t code, ElementListMaker& maker) {
    const std::unique_ptr<ElementLinkList> links = maker.makeList();
    return links ? sendTool(code, *links, &maker) : true;
}

bool Drawing::sendTool(std::uint32_t code, const ElementLinkList& links, ElementListMaker* receiver) {
    if (!makeCurrent()) return false;
    const HandleKeeper heads(links.makeHeads(/*resolve=*/false));
    auto count = static_cast<std::int32_t>(tarnwick::getHandleSize(heads.get()) / sizeof(host::ElementHead));
    const std::uint32_t result = setLastHostResult(hostApi().elementTools(code, heads.get(), &count));
    if (result != host::kNoError) return false;
    if (receiver != nullptr) receiver->receiveHeads(heads.get());
    return true;
}

// --- Iteration ----------------------------------------------------------------------------------------

Drawing::iterator Drawing::begin(bool writeBack, const Filter& filter) {
    std::shared_ptr<void> answers = project().keepHostAnswers();
    auto links = std::make_shared<ElementLinkList>(kInitialLinkCapacity);
    const std::unique_ptr<Filter> walk = walkFilter(filter, writeBack);
    fillLinkList(*walk, links.get());
    return iterator(std::move(links), *walk, writeBack, std::move(answers));
}

Drawing::iterator Drawing::end() { return iterator(); }

std::unique_ptr<Drawing::Filter> Drawing::walkFilter(const Filter& filter, bool writeBack) {
    std::unique_ptr<Filter> walk = filter.clone();
    walk->listedByHost_ = !writeBack && !filter.isSelectedOnly();
    return walk;
}

Drawing::reverse_iterator Drawing::rbegin(bool writeBack, const Filter& filter) {
    std::shared_ptr<void> answers = project().keepHostAnswers();
    auto links = std::make_shared<ElementLinkList>(kInitialLinkCapacity);
    const std::unique_ptr<Filter> walk = walkFilter(filter, writeBack);
    fillLinkList(*walk, links.get());
    return reverse_iterator(std::move(links), *walk, writeBack, std::move(answers));
}

Drawing::const_iterator Drawing::cbegin(const Filter& filter) {
    std::shared_ptr<void> answers = project().keepHostAnswers();
    auto links = std::make_shared<ElementLinkList>(kInitialLinkCapacity);
    const std::unique_ptr<Filter> walk = walkFilter(filter, false);
    fillLinkList(*walk, links.get());
    return const_iterator(std::move(links), *walk, std::move(answers));
}

Guid Drawing::renovationFilterFor(const Filter& filter) {
    if ((filter.getHostFlags() & kRenovationFlag) == 0) return Guid();
    if (filter.getRenovationFilter().isValid()) return filter.getRenovationFilter();
    return Host::getActiveRenovationFilter();
}

std::size_t Drawing::fillLinkList(const Filter& filter, ElementLinkList* list) {
    // 1.
    if (!makeCurrent()) {
        ++readFaults_.lists;
        return 0;
    }
    // 2. A cut plane lists its section elements; the filter's types are those of the elements they show.
    const bool cutPlaneMode = filter.resolvesSectionElements() && dynamic_cast<CutPlane*>(this) != nullptr;
    // Without a list the links are still needed there, to be tested as step 5 does.
    ElementLinkList scratch;
    if (cutPlaneMode && list == nullptr) list = &scratch;
    const std::size_t first = list != nullptr ? list->size() : 0;
    std::size_t count = 0;
    if (!filter.isSelectedOnly()) {
        // 3. One host list per type of the filter; one for every type when it names none or in a cut plane.
        const Guid renovation = renovationFilterFor(filter);
        const std::size_t types = cutPlaneMode ? 1 : std::max<std::size_t>(filter.getTypeCount(), 1);
        for (std::size_t i = 0; i < types; ++i) {
            const std::int32_t type = cutPlaneMode ? 0 : static_cast<std::int32_t>(filter.typeAt(i) & 0xFF);
            host::Handle guids = nullptr;
            const std::uint32_t result = setLastHostResult(hostApi().call<host::HostSlot::getElementList>(
                type, &guids, filter.getHostFlags(), std::int32_t{0}, &renovation.getRecord()));
            if (result != host::kNoError) {
                ++readFaults_.lists;
            } else if (list == nullptr) {
                count += guidCount(guids);
            } else {   // a link is left out when its element's head cannot be read
                const std::size_t added = list->append(guidsOf(guids), guidCount(guids), *this);
                readFaults_.elements += guidCount(guids) - added;
                count += added;
            }
            tarnwick::disposeHandle(guids);
        }
    } else {
        // 4. The selected elements that pass. A selection the host failed to give is no empty one.
        if (!loadSelection()) {
            if (selectionUnread_) ++readFaults_.lists;
            return 0;
        }
        if (list != nullptr) list->reserve(list->size() + selection_->size());
        for (const auto& link : *selection_) {
            if (!link) continue;
            if (!cutPlaneMode) {   // a cut plane's links are tested as the elements they show (step 5)
                if (filter.getTypeCount() > 0 && !filter.hasType(link->getTypeId())) continue;
                if (filter.getHostFlags() != 0 && !passesHostFilter(*link, filter)) {
                    if (lastHostResult_ != host::kNoError) ++readFaults_.elements;   // failed, not refused
                    continue;
                }
            }
            ++count;
            if (list != nullptr) list->append(*link);
        }
    }
    if (!cutPlaneMode) return count;
    // 5. Each new link is tested as the element it shows; the list keeps the link as it was met here
    // (it is resolved again when its element is loaded).
    for (std::size_t i = list->size(); i-- > first;) {
        ElementLink parent = *(*list)[i];
        bool passes = resolveSectionElement(/*toParent=*/true, parent);
        if (!passes) {
            ++readFaults_.elements;
        } else if (filter.getTypeCount() > 0 && !filter.hasType(parent.getTypeId())) {
            passes = false;
        } else if (filter.getHostFlags() != 0 && !passesHostFilter(parent, filter)) {
            if (lastHostResult_ != host::kNoError) ++readFaults_.elements;   // failed, not refused
            passes = false;
        }
        if (!passes) {
            list->erase(i);
            --count;
        }
    }
    makeCurrent();   // resolving made the Plan current
    return count;
}

void Drawing::markSectionElements(ElementLinkList& list, CutPlane& cutPlane) {
    const Filter every(std::uint16_t{0}, /*selectedOnly=*/false, /*flagByte1=*/0, /*withUserDataOnly=*/false);
    for (auto it = cutPlane.cbegin(every); !it.atEnd(); ++it) {
        const ElementLink& shown = it->getLink();
        if (shown.getSecondTypeId() != ElementLink::kSectionElementType) continue;
        for (const auto& link : list) {
            if (!link || link->getGuid() != shown.getGuid()) continue;
            link->setSourceDatabase(&cutPlane);
            link->setSecondGuid(shown.getSecondGuid());
            link->setSecondTypeId(ElementLink::kSectionElementType);
            break;
        }
    }
}

ElementLink Drawing::retypeLink(const ElementLink& link, const Filter& filter) const {
    ElementLink copy = link;
    if (filter.typeAt(0) != 0) copy.setTypeId(filter.typeAt(0));
    return copy;
}

bool Drawing::resolveSectionElement(bool toParent, ElementLink& link) {
    // 1.
    if (link.getLocation().getKind() == 0) link.setDrawing(this);
    // 2.
    if (link.getTypeByte() != ElementLink::kSectionElementType) {
        if (Drawing* holder = link.getDrawing()) holder->makeCurrent();
        link.setSecondTypeId(0);
        link.setSourceDatabase(nullptr);
        return true;
    }
    // 3. The section element's record names the model element it shows.
    if (!makeCurrent()) return false;
    auto record = std::make_unique<host::ElementRecord>();   // zeroed
    record->head.type = ElementLink::kSectionElementType;
    record->head.guid = link.getGuid().getRecord();
    if (setLastHostResult(hostApi().call<host::HostSlot::getElement>(record.get())) != host::kNoError)
        return false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.get());
    const std::uint8_t parentType = bytes[host::kSectionParentTypeOffset];
    host::GuidRecord parentGuid;
    std::memcpy(&parentGuid, bytes + host::kSectionParentGuidOffset, sizeof(parentGuid));
    if (toParent) {
        // 4.
        link.setSecondTypeId(ElementLink::kSectionElementType);
        link.setSecondGuid(link.getGuid());
        link.setSourceDatabase(this);
        link.setTypeId(parentType);
        link.setVariation(0);
        Plan& plan = project().getPlan();
        link.setGuid(Guid(parentGuid), &plan);
        plan.makeCurrent();
    } else {
        // 5.
        link.setSecondTypeId(parentType);
        link.setSecondGuid(Guid(parentGuid));
        link.setSourceDatabase(nullptr);
    }
    return true;
}

bool Drawing::passesHostFilter(const ElementLink& link, const Filter& filter) {
    const Guid renovation = renovationFilterFor(filter);
    const host::GuidRecord guid = link.getGuid().getRecord();
    std::uint8_t passes = 0;
    const std::uint32_t result = setLastHostResult(hostApi().call<host::HostSlot::filterElement>(
        &guid, filter.getHostFlags(), std::int32_t{0}, &renovation.getRecord(), &passes));
    return result == host::kNoError && passes != 0;
}

}   // namespace tarnwick

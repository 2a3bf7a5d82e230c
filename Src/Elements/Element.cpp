#include "Elements/Element.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

#include <HostAddonProtocol.h>
#include <HostResult.h>

#include "Elements/ElementQuantity.h"
#include "Elements/PolygonConstructor.h"
#include "Elements/RelatedZones.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/System.h"
#include "Geometry/Body.h"
#include "Geometry/CadPolygon.h"
#include "Geometry/Cube.h"
#include "Geometry/Edge.h"
#include "Geometry/Element3D.h"
#include "Geometry/Face.h"
#include "Geometry/Tolerance.h"
#include "Geometry/TransformList.h"
#include "Geometry/Vector3.h"
#include "Project/Attribute.h"
#include "Project/ComplexProfile.h"
#include "Project/CurrentDatabaseKeeper.h"
#include "Project/Drawing.h"
#include "Project/ElementLinkList.h"
#include "Project/ElementMemoStore.h"
#include "Project/Finish.h"
#include "Project/HostProject.h"
#include "Project/Layer.h"
#include "Project/LineStyle.h"
#include "Project/Material.h"
#include "Project/Pen.h"
#include "Project/Phase.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Project/Storey.h"
#include "Project/User.h"

namespace tarnwick {

namespace {

constexpr std::size_t kMaxTransforms = std::numeric_limits<std::uint32_t>::max() - 1;

// User-data calls count "no user data" as success.
bool userDataSucceeded(std::uint32_t result) {
    return result == host::kNoError || result == host::kErrNoUserData;
}

// A planar face from its corners, turned into its own plane (x, y in that plane, z 0): a rotation, so
// lengths, areas and tolerances stay as they were. The plane's normal is Newell's (the summed cross
// products), which holds for faces that are not convex; a face without one (fewer than three corners, or
// all on a line) gives an empty polygon.
CadPolygon levelled(const std::vector<CadPoint>& corners) {
    CadPolygon polygon(corners.size());
    if (corners.size() < 3) return polygon;
    double x = 0.0, y = 0.0, z = 0.0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const CadPoint& a = corners[i];
        const CadPoint& b = corners[(i + 1) % corners.size()];
        x += (a.getY() - b.getY()) * (a.getZ() + b.getZ());
        y += (a.getZ() - b.getZ()) * (a.getX() + b.getX());
        z += (a.getX() - b.getX()) * (a.getY() + b.getY());
    }
    const Vector3 normal = Vector3(x, y, z).normalised();
    if (exactlyEqual(normal.length(), 0.0)) return polygon;   // no plane: nothing to measure
    // Two unit axes of the plane, the first across the world axis least along the normal.
    const Vector3 across = std::abs(normal.getX()) < 0.9 ? Vector3(1.0, 0.0, 0.0) : Vector3(0.0, 1.0, 0.0);
    const Vector3 u = across.cross(normal).normalised();
    const Vector3 v = normal.cross(u);
    const Vector3 origin(corners.front());
    for (const CadPoint& corner : corners) {
        const Vector3 offset = Vector3(corner) - origin;
        polygon.append(PolyPoint(CadPoint(offset.dot(u), offset.dot(v))));
    }
    return polygon;
}

// The corners of a face in the order its edges run; empty when an edge or vertex is missing.
std::vector<CadPoint> faceCorners(const Body& body, const Face::Data& face) {
    std::vector<CadPoint> corners;
    for (std::int32_t reference : face.edges) {
        const std::optional<Edge::Data> edge =
            body.getEdge(static_cast<std::size_t>(Face::Data::edgeIndex(reference)));
        if (!edge) return {};
        const std::int32_t from = reference >= 0 ? edge->vertex1 : edge->vertex2;
        const std::optional<CadPoint> corner = body.getVertex(static_cast<std::size_t>(from));
        if (!corner) return {};
        corners.push_back(*corner);
    }
    return corners;
}

// A 16-byte guid of the host's lists.
const host::GuidRecord* guidsIn(host::Handle handle) {
    return handle == nullptr ? nullptr : reinterpret_cast<const host::GuidRecord*>(*handle);
}

struct HandleGuard {
    host::Handle handle = nullptr;
    ~HandleGuard() { tarnwick::disposeHandle(handle); }
};

}   // namespace

std::uint8_t Element::memoLoadingSuspended = 0;

Element::Element(const ElementLink& link) : link_(link), userDataPlatform_(System::getHostCode()) {}

Element::Element(const Element& other)
    : link_(other.link_), model3D_(other.model3D_), userDataPlatform_(other.userDataPlatform_) {
    if (other.transforms_) transforms_ = std::make_unique<TransformList>(*other.transforms_);
    copyUserDataFrom(other);
}

Element& Element::operator=(const Element& other) {
    if (this == &other) return *this;
    link_ = other.link_;
    forgetHostId();
    transforms_.reset();
    if (other.transforms_) transforms_ = std::make_unique<TransformList>(*other.transforms_);
    copyUserDataFrom(other);
    return *this;
}

Element::~Element() = default;

void Element::copyUserDataFrom(const Element& other) {
    userData_ = other.userData_ ? std::make_unique<MemoryBlock>(*other.userData_) : nullptr;
    userDataFlags_ = other.userDataFlags_;
    userDataVersion_ = other.userDataVersion_;
    userDataPlatform_ = other.userDataPlatform_;
    userDataLoaded_ = other.userDataLoaded_;
    userDataChanged_ = other.userDataChanged_;
    userDataPending_ = other.userDataPending_;   // the copy reads the same link's block when needed
}

// --- Identity ------------------------------------------------------------------------------------------

bool Element::exists() const { return link_.hasGuid(); }
Guid Element::getGuid() const { return link_.getGuid(); }
Drawing* Element::getDrawing() const { return link_.getDrawing(); }
std::uint16_t Element::getTypeId() const { return link_.getTypeId(); }
std::int32_t Element::getVariation() const { return link_.getVariation(); }
const ElementLink& Element::getLink() const { return link_; }
ElementLink Element::getOwnerLink() const { return ElementLink(); }
PenLineRecord Element::getPenLineRecord() const { return PenLineRecord(); }
void Element::setPenLineRecord(const PenLineRecord&) {}
std::int32_t Element::getAuxValue() const { return 0; }
bool Element::isSupported() const { return true; }

bool Element::isOnStorey(const Attribute& storey) const {
    const Storey* own = getStorey();
    return own != nullptr && own->getIndex() == storey.getIndex();
}

const ElementLinkList* Element::getRelatedZones() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getRelatedZones().getRelated(link_) : nullptr;
}

// --- Quantities ---------------------------------------------------------------------------------------

double Element::getQuantityA() { return 0.0; }
double Element::getQuantityB() { return 0.0; }
double Element::getQuantityC() { return 0.0; }

double Element::getQuantityD() {
    const std::shared_ptr<Element3D> model = get3D();
    if (!model) return 0.0;
    double area = 0.0;
    for (std::size_t b = 0; b < model->getBodyCount(); ++b) {
        const Body body = model->getBody(b);
        for (std::size_t f = 0; f < body.getPolygonCount(); ++f)
            if (const std::optional<Face::Data> face = body.getFace(f)) {
                const CadPolygon polygon = levelled(faceCorners(body, *face));
                if (polygon.isValid(/*checkSelfIntersection=*/false, Tolerance::plan))
                    area += polygon.getArea(/*absolute=*/true, /*subtractHoles=*/true);
            }
    }
    return area;
}

double Element::getQuantityE() { return 0.0; }
double Element::getQuantityF() { return getQuantityE(); }
double Element::getQuantityG() { return getHeight(); }
double Element::getQuantityH() { return getHeight(); }
std::int32_t Element::getQuantityI() { return 0; }
double Element::getQuantityJ() { return 0.0; }
double Element::getQuantityK() { return 0.0; }
double Element::getQuantityL() { return 0.0; }

// --- Attributes by part -------------------------------------------------------------------------------

Pen Element::getPen(std::int32_t) const { return Pen(AttributeLink(std::int16_t{0}, AttributeType::pen)); }
LineStyle Element::getLineStyle(std::int32_t) const { return LineStyle(AttributeLink()); }
Finish Element::getFinish(std::int32_t) const { return Finish(AttributeLink()); }
std::unique_ptr<Attribute> Element::getFill(std::int32_t) { return nullptr; }
std::unique_ptr<Attribute> Element::getExtraAttributeA() { return nullptr; }
std::unique_ptr<Attribute> Element::getExtraAttributeB() { return nullptr; }
ComplexProfile Element::getComplexProfile() const { return ComplexProfile(AttributeLink()); }
Material Element::getMaterial() const { return Material(AttributeLink()); }
std::int32_t Element::getStructureKind() const { return 0; }
std::int32_t Element::setPen(const AttributeLink&, std::int32_t) { return 0; }
void Element::setFill(const AttributeLink&, std::int32_t) {}
void Element::setLineStyle(const AttributeLink&, std::int32_t) {}
void Element::setFinish(const AttributeLink&, std::int32_t) {}
void Element::setExtraAttributeA(const AttributeLink&) {}
void Element::setExtraAttributeB(const AttributeLink&) {}
void Element::setExtraAttributeC(const AttributeLink&) {}
void Element::setExtraAttributeD(const AttributeLink&) {}
void Element::setExtraAttributeE(const AttributeLink&) {}

double Element::getCompositeVolume(std::int16_t material) {
    switch (getStructureKind()) {
        case 0:
            return getMaterial().getLink().getShortIndex() == material ? getQuantityE() : 0.0;
        case 1: {
            ElementQuantity request;
            request.setCompositeMask(offsetof(host::CompositeQuantity, volume));
            request.setCompositeMask(offsetof(host::CompositeQuantity, material));
            request.request(link_);
            double sum = 0.0;
            for (const host::CompositeQuantity& skin : request.getComposites())
                if (skin.material == material) sum += skin.volume;
            return sum;
        }
        default:
            return 0.0;
    }
}

double Element::getCompositeArea(std::int16_t material) {
    if (getStructureKind() != 1) return 0.0;
    const std::unique_ptr<Attribute> fill = getFill(1);
    if (!fill || fill->getType() != AttributeType::composite) return 0.0;
    ElementQuantity request;
    request.setCompositeMask(offsetof(host::CompositeQuantity, projectedArea));
    request.setCompositeMask(offsetof(host::CompositeQuantity, material));
    request.request(link_);
    double sum = 0.0;
    for (const host::CompositeQuantity& skin : request.getComposites())
        if (skin.material == material) sum += skin.projectedArea;
    return sum;
}

String Element::getInfoString(bool withPrefix) {
    const auto textOf = [](host::Handle handle) {
        const std::size_t units = tarnwick::getHandleSize(handle) / sizeof(char16_t);
        return units == 0
                   ? String()
                   : String(reinterpret_cast<const char16_t*>(*handle), static_cast<std::uint32_t>(units));
    };
    host::GuidRecord guid = link_.getGuid().getRecord();
    String whole;   // the compound text, when the host gave it but not the ID
    if (infoText_.isEmpty() && link_.hasGuid()) {
        // The compound text (prefix and ID) and the ID alone: the prefix is the compound text less as many
        // characters as the ID has. Without the ID there is nothing to cut by: no prefix is kept, and
        // the compound text answers for the whole.
        host::Handle compound = nullptr;
        host::Handle id = nullptr;
        infoPrefix_ = String();
        const bool haveCompound = hostApi().database(fourcc("GCIS"), &guid, &compound) == host::kNoError;
        const bool haveId = hostApi().database(fourcc("GEIS"), &guid, &id) == host::kNoError;
        if (haveId) {
            infoText_ = textOf(id);
            if (haveCompound) {
                const String all = textOf(compound);
                const std::uint32_t idLength = infoText_.getLength();
                infoPrefix_ =
                    all.getLength() > idLength ? all.substring(0, all.getLength() - idLength) : String();
            }
        } else if (haveCompound) {
            whole = textOf(compound);
        }
        infoRead_ = haveId;
        tarnwick::disposeHandle(compound);
        tarnwick::disposeHandle(id);
    }
    if (!withPrefix) return infoText_;
    if (!whole.isEmpty()) return whole;
    String text = infoPrefix_;
    text += infoText_;
    return text;
}

// --- User data ----------------------------------------------------------------------------------------

std::unique_ptr<MemoryBlock> Element::getUserData() {
    loadUserData(false);
    return userData_ ? std::make_unique<MemoryBlock>(*userData_) : nullptr;
}

std::uint32_t Element::getUserDataFlags() const { return userDataFlags_; }
std::uint32_t Element::getUserDataVersion() const { return userDataVersion_; }
std::uint32_t Element::getUserDataPlatform() const { return userDataPlatform_; }
bool Element::isUserDataChanged() const { return userDataChanged_; }
bool Element::isUserDataLoaded() const { return userDataLoaded_; }

std::unique_ptr<MemoryBlock> Element::readUserData(std::uint32_t* version, std::uint32_t* platform) {
    readPendingUserData();
    if (userData_) return std::make_unique<MemoryBlock>(*userData_);
    if (Drawing* drawing = getDrawing()) drawing->makeCurrent();
    host::ElementHead head{};
    link_.getHead(head);
    host::UserDataRecord record{};
    const std::uint32_t result = hostApi().call<host::HostSlot::getElementUserData>(&head, &record);
    if (!userDataSucceeded(result)) {
        if (version != nullptr) *version = 0;
        if (platform != nullptr) *platform = 0;
        return nullptr;
    }
    if (version != nullptr) *version = record.version;
    if (platform != nullptr) *platform = record.platformSign == host::kPlatformSignMac ? 1 : 2;
    return std::make_unique<MemoryBlock>(record.data);
}

void Element::attachUserData(std::unique_ptr<MemoryBlock> block) {
    userDataPending_ = false;   // what it would read goes anyway
    userData_ = std::move(block);
    userDataLoaded_ = true;
    userDataChanged_ = true;
}

void Element::setUserDataFlags(std::uint32_t flags) { userDataFlags_ = flags; }
void Element::setUserDataVersion(std::uint32_t version) { userDataVersion_ = version; }
void Element::setUserDataPlatform(std::uint32_t platform) { userDataPlatform_ = platform; }
void Element::setUserDataChanged(bool changed) {
    readPendingUserData();   // a block read later would clear the flag
    userDataChanged_ = changed;
}

bool Element::storeUserData(const MemoryBlock* block, bool select, std::uint32_t flags) {
    userDataPending_ = false;   // a block it would read is never the one given: it goes anyway
    if (userData_.get() != block) userData_.reset();
    if (block == nullptr || block->getHandle() == nullptr || block->getSize() == 0) {
        // Nothing is attached now; let the next read ask the host again.
        userDataLoaded_ = false;
        return false;
    }
    host::ElementHead head{};
    link_.getHead(head);
    host::UserDataRecord record{};
    record.version = 1;
    record.platformSign = System::getHostCode();
    record.flags = flags;
    record.data = block->getHandle();
    const std::uint32_t result = hostApi().call<host::HostSlot::setElementUserData>(&head, &record);
    if (select) setSelected(true);
    if (!userDataSucceeded(result)) {
        userData_.reset();
        userDataLoaded_ = false;
        return false;
    }
    // The host now holds the block: keep a copy, so that getUserData answers what was stored.
    if (userData_.get() != block) userData_ = std::make_unique<MemoryBlock>(*block);
    userDataLoaded_ = true;
    userDataChanged_ = false;
    return true;
}

void Element::loadUserData(bool force) {
    const bool pending = std::exchange(userDataPending_, false);
    if (userDataLoaded_ && !force && !pending) return;
    if (!link_.hasGuid()) return;
    userDataLoaded_ = true;
    readUserDataBlock();
}

void Element::readPendingUserData() {
    if (userDataPending_) loadUserData(false);
}

void Element::readUserDataBlock() {
    Drawing* drawing = getDrawing();
    if (drawing == nullptr) return;
    if (std::unique_ptr<MemoryBlock> block = drawing->getUserData(link_, nullptr, nullptr, nullptr)) {
        userData_ = std::move(block);
        userDataChanged_ = false;
    }
}

bool Element::hasUserData() {
    loadUserData(false);
    return userData_ != nullptr;
}

// --- Link ---------------------------------------------------------------------------------------------

void Element::setLink(const ElementLink& link) {
    readPendingUserData();   // the block is the old link's
    const std::uint16_t typeId = link_.getTypeId();
    if (!(link.getGuid() == link_.getGuid())) forgetHostId();   // another element's ID is not known
    link_ = link;
    link_.setTypeId(typeId);
    link_.getElemType(getMutableTypeRecord(), /*withStorey=*/true);
}

void Element::resetLink() {
    readPendingUserData();   // the block goes with the element stored as new
    link_.setGuid(Guid(), nullptr);
    link_.setDrawing(nullptr);
    link_.setSecondGuid(Guid());
    link_.setLocation(LinkRecord(0, Guid(), link_.getLocation().getIndex()));
    host::ElementHead& head = getMutableTypeRecord();
    head.firstIdentifier = {};
    head.secondIdentifier = {};
    if (userData_) userDataChanged_ = true;
}

void Element::setVariation(std::int32_t variation) { link_.setVariation(variation); }
void Element::setName(const String& text) {
    infoText_ = text;
    infoRead_ = false;   // given, not the host's: another link keeps it
}

bool Element::setSelected(bool on) {
    host::ElementHead head{};
    link_.getHead(head);
    return hostApi().call<host::HostSlot::selectElement>(&head, static_cast<std::uint8_t>(on ? 1 : 0)) ==
           host::kNoError;
}

// --- Geometry -----------------------------------------------------------------------------------------

CadPoint Element::getPosition() const { return CadPoint(); }
double Element::getElevation(bool) const { return 0.0; }

double Element::getHeight() {
    const std::unique_ptr<Cube> box = getBounds(false);
    return box ? box->getHeight() : 0.0;
}

double Element::getWidth() {
    const std::unique_ptr<Cube> box = getBounds(false);
    return box ? box->getWidth() : 0.0;
}

double Element::getDepth() {
    const std::unique_ptr<Cube> box = getBounds(false);
    return box ? box->getDepth() : 0.0;
}

double Element::getLength() { return getWidth(); }

double Element::getOutlinePerimeter() {
    const std::unique_ptr<CadPolygon> outline = getOutline();
    return outline ? outline->getPlanLength() : 0.0;
}

double Element::getOutlineArea() {
    const std::unique_ptr<CadPolygon> outline = getOutline();
    return outline ? outline->getArea(/*absolute=*/true) : 0.0;
}

std::unique_ptr<CadPolygon> Element::getOutline() { return nullptr; }

std::unique_ptr<Cube> Element::getBounds(bool fromHost) {
    if (!fromHost) {
        if (const std::shared_ptr<Element3D> model = get3D()) {
            if (const std::optional<Cube> bounds = model->getBounds()) return std::make_unique<Cube>(*bounds);
        }
    }
    Drawing* drawing = getDrawing();
    if (drawing == nullptr || !drawing->makeCurrent()) return nullptr;   // a new element has no Drawing
    host::ElementHead head{};
    link_.getHead(head);
    double box[6] = {};   // minimum x, y, z, maximum x, y, z
    if (hostApi().database(fourcc("CABO"), &head, box) != host::kNoError) return nullptr;
    const double elevation = getElevation(true);
    auto cube =
        std::make_unique<Cube>(CadPoint(box[0], box[1], elevation), CadPoint(box[3], box[4], elevation));
    cube->normalise();
    return cube;
}

std::size_t Element::getTransformCount() const { return transforms_ ? transforms_->getSize() : 0; }

std::shared_ptr<Element3D> Element::get3D() {
    if (!model3D_) {
        if (Drawing* drawing = getDrawing()) drawing->makeCurrent();
        model3D_ = build3D();
    }
    return model3D_;
}

bool Element::collectShape(PrimitiveList& receiver, bool keepHatchLines) {
    Plan* plan = HostProject::getPlan();
    if (plan == nullptr || !plan->makeCurrent()) return false;
    PolygonConstructor::beginCollect(receiver, keepHatchLines);
    std::uint32_t result = 0;
    try {
        result = hostApi().call<host::HostSlot::drawElementShape>(
            &getTypeRecord(), &PolygonConstructor::shapePrimitiveCallback);
    } catch (...) {
        PolygonConstructor::endCollect();
        throw;
    }
    PolygonConstructor::endCollect();
    return result == 0;
}

std::shared_ptr<Element3D> Element::build3D() {
    if (!link_.hasGuid()) return nullptr;
    auto model = std::make_shared<Element3D>(link_.getGuid().getRecord());
    return model->hasData() ? model : nullptr;
}

void Element::reset3D() { model3D_.reset(); }
void Element::setPosition(const CadPoint&) {}
void Element::setElevation(double, bool) {}

void Element::addTransform(std::unique_ptr<Transformation> transform) {
    if (!transforms_) transforms_ = std::make_unique<TransformList>();
    if (transforms_->getSize() >= kMaxTransforms) throw std::length_error("list<T> too long");
    transforms_->append(std::move(transform));
}

std::unique_ptr<Transformation> Element::removeTransform() {
    std::unique_ptr<Transformation> first = transforms_ ? transforms_->takeFirst() : nullptr;
    if (!transforms_ || transforms_->isEmpty()) clearTransforms();
    return first;
}

void Element::clearTransforms() { transforms_.reset(); }

bool Element::applyChanges(Element& newer, Element& older) {
    // A move to another storey is taken only between elements placed on storeys.
    if (link_.getLocation().isIndexKind()) {
        const Storey* newStorey = newer.getStorey();
        const Storey* oldStorey = older.getStorey();
        if (newStorey != nullptr && oldStorey != nullptr && newStorey->getIndex() != oldStorey->getIndex())
            setStorey(*newStorey, /*keepVisibility=*/true);
    }
    const host::ElementHead& newHead = newer.getTypeRecord();
    const host::ElementHead& oldHead = older.getTypeRecord();
    host::ElementHead& head = getMutableTypeRecord();
    if (newHead.layer != oldHead.layer) head.layer = newHead.layer;
    if (newHead.phase != oldHead.phase) head.phase = newHead.phase;
    const bool thirdDiffers =
        std::memcmp(&newHead.thirdIdentifier, &oldHead.thirdIdentifier, sizeof(host::GuidRecord)) != 0;
    if (thirdDiffers) head.thirdIdentifier = newHead.thirdIdentifier;
    return thirdDiffers;
}

bool Element::openSettingsDialog() { return Host::openSettingsDialog(getTypeId(), getVariation()); }

// --- Links and relations ------------------------------------------------------------------------------

bool Element::copyLinksFrom(const Element& other) {
    ElementLinkList linked;
    other.getLinkedElements(linked);
    const host::GuidRecord self = link_.getGuid().getRecord();
    const host::GuidRecord from = other.getGuid().getRecord();
    for (const auto& link : linked) {
        if (!link) continue;
        const host::GuidRecord to = link->getGuid().getRecord();
        std::uint32_t flags = fourcc("TRNO");
        if (hostApi().call<host::HostSlot::getLinkFlags>(&from, &to, &flags) != host::kNoError) return false;
        if (flags == fourcc("TRNO")) continue;
        if (hostApi().call<host::HostSlot::linkElements>(&self, &to, flags) != host::kNoError) return false;
    }
    return true;
}

bool Element::copyRelationsFrom(const Element& other, bool replace) {
    const host::GuidRecord self = link_.getGuid().getRecord();
    const host::GuidRecord from = other.getGuid().getRecord();
    HandleGuard theirs, mine;   // both lists go on every way out
    std::int32_t theirCount = 0, myCount = 0;
    if (hostApi().call<host::HostSlot::getRelatedElements>(&from, &theirs.handle, &theirCount) !=
            host::kNoError ||
        hostApi().call<host::HostSlot::getRelatedElements>(&self, &mine.handle, &myCount) != host::kNoError)
        return false;
    theirCount = std::min<std::int32_t>(
        theirCount, static_cast<std::int32_t>(tarnwick::getHandleSize(theirs.handle) / 16));
    myCount =
        std::min<std::int32_t>(myCount, static_cast<std::int32_t>(tarnwick::getHandleSize(mine.handle) / 16));
    if (theirCount < 1) return true;   // nothing to copy, nothing changed
    if (replace)
        for (std::int32_t i = 0; i < myCount; ++i)
            hostApi().call<host::HostSlot::removeRelation>(&self, &guidsIn(mine.handle)[i]);
    bool all = true;
    for (std::int32_t i = 0; i < theirCount; ++i) {
        const host::GuidRecord& related = guidsIn(theirs.handle)[i];
        host::RelationValues values{};
        if (hostApi().call<host::HostSlot::getRelationValues>(&from, &related, &values) != host::kNoError ||
            hostApi().call<host::HostSlot::createRelation>(&self, &related, values.valueA, values.valueB) !=
                host::kNoError)
            all = false;   // the others are still copied; the caller learns that one was not
    }
    return all;
}

bool Element::addRelation(const Element& other, std::int32_t valueA, std::int32_t valueB) {
    const host::GuidRecord self = link_.getGuid().getRecord();
    const host::GuidRecord to = other.getGuid().getRecord();
    return hostApi().call<host::HostSlot::createRelation>(&self, &to, valueA, valueB) == host::kNoError;
}

bool Element::linkTo(const Element& other, std::uint32_t flags) {
    const host::GuidRecord self = link_.getGuid().getRecord();
    const host::GuidRecord to = other.getGuid().getRecord();
    return hostApi().call<host::HostSlot::linkElements>(&self, &to, flags) == host::kNoError;
}

bool Element::unlinkFrom(const Element& other) {
    const host::GuidRecord self = link_.getGuid().getRecord();
    const host::GuidRecord to = other.getGuid().getRecord();
    return hostApi().call<host::HostSlot::unlinkElements>(&self, &to) == host::kNoError;
}

std::uint32_t Element::getLinkFlags(const Element& other) const {
    const host::GuidRecord self = link_.getGuid().getRecord();
    const host::GuidRecord to = other.getGuid().getRecord();
    std::uint32_t flags = 0;
    return hostApi().call<host::HostSlot::getLinkFlags>(&self, &to, &flags) == host::kNoError ? flags : 0;
}

std::size_t Element::getPoints(std::vector<CadPoint>& points, bool fallback) {
    const std::size_t before = points.size();
    const host::GuidRecord guid = link_.getGuid().getRecord();
    std::int32_t cursor = 0;
    host::ModelPoint point{};
    if (link_.hasGuid())
        while (hostApi().utilities(fourcc("NTOC"), const_cast<host::GuidRecord*>(&guid), &point, &cursor) ==
               host::kNoError)
            points.push_back(CadPoint(point.x, point.y, 0.0));
    if (points.size() == before && fallback) {
        if (const std::unique_ptr<CadPolygon> outline = getOutline(); outline && !outline->isEmpty()) {
            for (std::size_t i = 0; i < outline->getSize(); ++i) points.push_back(outline->getPoint(i).point);
        } else {
            points.push_back(getPosition());
        }
    }
    return points.size() - before;
}

// --- Memo and defaults ----------------------------------------------------------------------------------

void Element::loadMemo(std::uint64_t, std::unique_ptr<ElementMemoStore>&) {
    if (memoLoadingSuspended != 0) return;
    if (userDataDeferred_ != 0 && !userDataLoaded_ && !userDataChanged_ && link_.hasGuid()) {
        userDataLoaded_ = true;   // as a read would leave it; the block comes when first needed
        userDataPending_ = true;
        return;
    }
    loadUserData(false);
}

void Element::reloadMemo() {
    const std::uint8_t saved = memoLoadingSuspended;
    memoLoadingSuspended = 0;
    std::unique_ptr<ElementMemoStore> store;
    try {
        loadMemo(0, store);
    } catch (...) {
        memoLoadingSuspended = saved;
        throw;
    }
    memoLoadingSuspended = saved;
}

bool Element::getHostDefaults(host::ElementRecord& record, host::ElementMemo* memo) const {
    record = {};
    ElementLink link = link_;
    link.getElemType(record.head, /*withStorey=*/false);
    record.head.variation = link_.getVariation();
    if (memo != nullptr) *memo = {};
    return hostApi().call<host::HostSlot::getElementDefaults>(&record, memo) == host::kNoError;
}

// --- Head fields --------------------------------------------------------------------------------------

Layer Element::getLayer() const { return Layer(AttributeLink(getTypeRecord().layer, AttributeType::layer)); }

void Element::setLayer(const Layer& layer) { getMutableTypeRecord().layer = layer.getLink().getShortIndex(); }

Storey* Element::getStorey() const {
    const LinkRecord& location = link_.getLocation();
    return location.isIndexKind() ? location.getStorey() : nullptr;
}

void Element::setStorey(const Storey& storey, bool keepVisibility) {
    const auto index = static_cast<std::int16_t>(storey.getIndex());
    link_.setStoreyIndex(index);
    getMutableTypeRecord().storey = index;
    if (!keepVisibility) return;
    PenLineRecord showing = getPenLineRecord();
    showing.clearOffset();
    setPenLineRecord(showing);
}

Phase Element::getPhase() const {
    return Phase(AttributeLink(std::int32_t{getTypeRecord().phase}, AttributeType::none));
}

void Element::setPhase(const Attribute& phase) { getMutableTypeRecord().phase = phase.getIndex(); }

std::uint8_t Element::getDrawIndex() const { return getTypeRecord().drawOrder; }
void Element::setDrawIndex(std::uint8_t index) { getMutableTypeRecord().drawOrder = index; }
bool Element::isLocked() const { return getTypeRecord().locked != 0; }

void Element::setLocked(bool locked) {
    std::uint8_t shared = 0;
    if (hostApi().call<host::HostSlot::isSharedProject>(&shared) == host::kNoError && shared != 0) return;
    getMutableTypeRecord().locked = locked ? 1 : 0;
}

bool Element::isEditable() const { return isEditable(getLayer()); }

bool Element::isEditable(const Layer& layer) const {
    const host::ElementHead& head = getTypeRecord();
    if (Guid(head.secondIdentifier).isValid()) return false;   // the host edits it through its owner
    // The host refuses to change a locked element in a shared project as well.
    if (head.locked != 0) return false;
    std::uint8_t shared = 0;
    if (hostApi().call<host::HostSlot::isSharedProject>(&shared) == host::kNoError && shared != 0) {
        const User* user = Host::getUser();
        if (user == nullptr || head.ownerId != user->getMemberId()) return false;
    }
    return !layer.isLocked() && !layer.isHidden();
}

std::int16_t Element::getOwnerId() const { return getTypeRecord().ownerId; }
void Element::setOwnerId(std::int16_t memberId) { getMutableTypeRecord().ownerId = memberId; }
Guid Element::getFirstIdentifier() const { return Guid(getTypeRecord().firstIdentifier); }
std::unique_ptr<Guid> Element::getFirstIdentifierCopy() const {
    return std::make_unique<Guid>(getFirstIdentifier());
}
void Element::setFirstIdentifier(const Guid& identifier) {
    getMutableTypeRecord().firstIdentifier = identifier.getRecord();
}
void Element::clearFirstIdentifier() { getMutableTypeRecord().firstIdentifier = {}; }
Guid Element::getSecondGuid() const { return Guid(getTypeRecord().secondIdentifier); }
void Element::setSecondIdentifier(const Guid& identifier) {
    getMutableTypeRecord().secondIdentifier = identifier.getRecord();
}
bool Element::isInGroup() const { return getFirstIdentifier().isValid() || getSecondGuid().isValid(); }
std::uint64_t Element::getHeadValue() const { return getTypeRecord().headValue; }
void Element::setHeadValue(std::uint64_t value) { getMutableTypeRecord().headValue = value; }
std::int16_t Element::getHeadWord() const { return getTypeRecord().headWord; }
void Element::setHeadWord(std::int16_t value) { getMutableTypeRecord().headWord = value; }

void Element::forgetHostId() {
    // A name given to the element stays; an ID and a prefix the host gave were that element's.
    if (infoRead_) infoText_ = String();
    infoPrefix_ = String();
    infoRead_ = false;
}

bool Element::isInfoStringKnown() const { return infoRead_ || !infoText_.isEmpty(); }

String Element::getPrefixInfo() {
    getInfoString(true);
    return infoPrefix_;
}

std::size_t Element::getLinkedElements(ElementLinkList& list) const {
    Drawing* drawing = getDrawing();
    return drawing == nullptr ? 0 : drawing->getLinkedElements(link_, list);
}

// --- Write-back ---------------------------------------------------------------------------------------

bool Element::commit(bool withUserData, bool wholeMemo) {
    // 1. The records to write.
    std::unique_ptr<host::ElementRecord> record = getHostElement();
    if (!record) return false;
    std::uint64_t memoMask = 0;
    std::unique_ptr<ElementMemoStore> memo = getMemo(memoMask);
    // 2. The variation is the link's.
    record->head.variation = link_.getVariation();
    // 3. Every field of the record.
    auto mask = std::make_unique<host::ElementRecord>();
    std::memset(static_cast<void*>(mask.get()), 0xFF, sizeof(host::ElementRecord));
    // 4. Only the memo parts the kind filled: a part it did not load is left as the host has it, unless
    // the whole memo is written (mask 0), which removes what it lacks.
    const std::uint32_t result = hostApi().call<host::HostSlot::changeElement>(
        record.get(), mask.get(), memo ? memo->getMemo() : nullptr, memo && !wholeMemo ? memoMask : 0,
        std::uint8_t{wholeMemo});
    // 5. The memo's handles go with the store.
    memo.reset();
    const bool changed = result == host::kNoError;
    // 6. Done unless the user data is to be stored as well.
    Plan* plan = HostProject::getPlan();
    if (!withUserData || !changed || !isUserDataLoaded() || plan == nullptr) return changed;
    // 7. The user data becomes the default of the element's type.
    CurrentDatabaseKeeper keeper;
    const std::unique_ptr<MemoryBlock> block = getUserData();
    const ElementLink typeLink(getTypeId(), getVariation());
    return plan->setUserData(typeLink, block.get(), /*keepEmpty=*/false, getUserDataFlags(),
                             static_cast<std::uint16_t>(getUserDataVersion()),
                             static_cast<std::uint16_t>(getUserDataPlatform()));
}

}   // namespace tarnwick

#include "Elements/Element.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include <HostAddonProtocol.h>
#include <HostResult.h>

#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/System.h"
#include "Geometry/Cube.h"
#include "Geometry/Element3D.h"
#include "Geometry/TransformList.h"
#include "Project/Drawing.h"
#include "Project/ElementLinkList.h"
#include "Project/ElementMemoStore.h"
#include "Project/HostProject.h"
#include "Project/Layer.h"
#include "Project/Plan.h"
#include "Project/Storey.h"
#include "Project/User.h"

namespace tarnwick {

namespace {

constexpr std::size_t kMaxTransforms = std::numeric_limits<std::uint32_t>::max() - 1;

// User-data calls count "no user data" as success.
bool userDataSucceeded(std::uint32_t result) {
    return result == host::kNoError || result == host::kErrNoUserData;
}

// Restores the current database on every way out.
class CurrentDatabaseKeeper {
public:
    CurrentDatabaseKeeper() : saved_(HostProject::getCurrentDatabase()) {}
    ~CurrentDatabaseKeeper() {
        if (saved_ != nullptr) HostProject::setCurrentDatabase(saved_);
    }
    CurrentDatabaseKeeper(const CurrentDatabaseKeeper&) = delete;
    CurrentDatabaseKeeper& operator=(const CurrentDatabaseKeeper&) = delete;

private:
    Database* saved_;
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
}

// --- Identity ------------------------------------------------------------------------------------------

bool Element::exists() const { return link_.hasGuid(); }
Guid Element::getGuid() const { return link_.getGuid(); }
Drawing* Element::getDrawing() const { return link_.getDrawing(); }
std::uint16_t Element::getTypeId() const { return link_.getTypeId(); }
std::int32_t Element::getVariation() const { return link_.getVariation(); }
const ElementLink& Element::getLink() const { return link_; }
ElementLink Element::getOwnerLink() const { return ElementLink(); }
std::int32_t Element::getAuxValue() const { return 0; }
bool Element::isSupported() const { return true; }

String Element::getInfoString(bool withPrefix) {
    if (infoText_.isEmpty() && link_.hasGuid()) {
        // 'GCIS' gives the compound text (prefix and ID), 'GEIS' the ID alone.
        host::GuidRecord guid = link_.getGuid().getRecord();
        host::Handle compound = nullptr;
        host::Handle id = nullptr;
        const bool haveCompound = hostApi().database(fourcc("GCIS"), &guid, &compound) == host::kNoError;
        const bool haveId = hostApi().database(fourcc("GEIS"), &guid, &id) == host::kNoError;
        auto textOf = [](host::Handle handle) {
            const std::size_t units = tarnwick::getHandleSize(handle) / sizeof(char16_t);
            return units == 0 ? String()
                              : String(reinterpret_cast<const char16_t*>(*handle),
                                       static_cast<std::uint32_t>(units));
        };
        if (haveId) infoText_ = textOf(id);
        if (haveCompound && haveId) {
            // The prefix is what stands before the ID, and only when the compound text ends with it.
            const String all = textOf(compound);
            const std::uint32_t allLength = all.getLength();
            const std::uint32_t idLength = infoText_.getLength();
            if (allLength >= idLength && all.substring(allLength - idLength) == infoText_)
                infoPrefix_ = all.substring(0, allLength - idLength);
        }
        tarnwick::disposeHandle(compound);
        tarnwick::disposeHandle(id);
    }
    if (!withPrefix) return infoText_;
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
    userData_ = std::move(block);
    userDataLoaded_ = true;
    userDataChanged_ = true;
}

void Element::setUserDataFlags(std::uint32_t flags) { userDataFlags_ = flags; }
void Element::setUserDataVersion(std::uint32_t version) { userDataVersion_ = version; }
void Element::setUserDataPlatform(std::uint32_t platform) { userDataPlatform_ = platform; }
void Element::setUserDataChanged(bool changed) { userDataChanged_ = changed; }

bool Element::storeUserData(const MemoryBlock* block, bool select, std::uint32_t flags) {
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
    if (userDataLoaded_ && !force) return;
    if (!link_.hasGuid()) return;
    Drawing* drawing = getDrawing();
    if (drawing == nullptr) return;   // nothing can be read: stays unloaded
    userDataLoaded_ = true;
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
    const std::uint16_t typeId = link_.getTypeId();
    link_ = link;
    link_.setTypeId(typeId);
    link_.getElemType(getMutableTypeRecord(), /*withStorey=*/true);
}

void Element::resetLink() {
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
void Element::setName(const String& text) { infoText_ = text; }

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
    // The storey part waits for the storey attribute; the head fields are copied here.
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

// --- Memo and defaults ----------------------------------------------------------------------------------

void Element::loadMemo(std::uint64_t, std::unique_ptr<ElementMemoStore>&) {
    if (memoLoadingSuspended != 0) return;
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

void Element::setStorey(const Storey& storey) {
    const auto index = static_cast<std::int16_t>(storey.getIndex());
    link_.setStoreyIndex(index);
    getMutableTypeRecord().storey = index;
}

std::uint8_t Element::getDrawIndex() const { return getTypeRecord().drawOrder; }
void Element::setDrawIndex(std::uint8_t index) { getMutableTypeRecord().drawOrder = index; }
bool Element::isLocked() const { return getTypeRecord().locked != 0; }

void Element::setLocked(bool locked) {
    std::uint8_t shared = 0;
    if (hostApi().call<host::HostSlot::isSharedProject>(&shared) == host::kNoError && shared != 0) return;
    getMutableTypeRecord().locked = locked ? 1 : 0;
}

bool Element::isEditable() const {
    const host::ElementHead& head = getTypeRecord();
    if (Guid(head.secondIdentifier).isValid()) return false;   // the host edits it through its owner
    // The host refuses to change a locked element in a shared project as well.
    if (head.locked != 0) return false;
    std::uint8_t shared = 0;
    if (hostApi().call<host::HostSlot::isSharedProject>(&shared) == host::kNoError && shared != 0) {
        const User* user = Host::getUser();
        if (user == nullptr || head.ownerId != user->getMemberId()) return false;
    }
    const Layer layer = getLayer();
    return !layer.isLocked() && !layer.isHidden();
}

std::int16_t Element::getOwnerId() const { return getTypeRecord().ownerId; }
void Element::setOwnerId(std::int16_t memberId) { getMutableTypeRecord().ownerId = memberId; }
Guid Element::getFirstIdentifier() const { return Guid(getTypeRecord().firstIdentifier); }
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

String Element::getPrefixInfo() {
    getInfoString(true);
    return infoPrefix_;
}

std::size_t Element::getLinkedElements(ElementLinkList& list) const {
    Drawing* drawing = getDrawing();
    return drawing == nullptr ? 0 : drawing->getLinkedElements(link_, list);
}

// --- Write-back ---------------------------------------------------------------------------------------

bool Element::commit(bool withUserData) {
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
    // 4. Only the memo parts the kind filled: a part it did not load is left as the host has it.
    const std::uint32_t result = hostApi().call<host::HostSlot::changeElement>(
        record.get(), mask.get(), memo ? memo->getMemo() : nullptr, memo ? memoMask : 0, std::uint8_t{0});
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

#include "Project/Project.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <FourCC.h>

#include "Elements/Element.h"
#include "Elements/RelatedZones.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Environment/Package.h"
#include "Foundation/DataFile.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "IFC/ClassificationDatabase.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/IFCData.h"
#include "IFC/PropertyDatabase.h"
#include "IFC/PropertyMemo.h"
#include "Interface/CustomAlert.h"
#include "Project/AttributeLink.h"
#include "Project/City.h"
#include "Project/Detail.h"
#include "Project/Document3D.h"
#include "Project/Drawing.h"
#include "Project/ElementLink.h"
#include "Project/ElementLinkList.h"
#include "Project/ElementMemoStore.h"
#include "Project/Elevation.h"
#include "Project/InteriorElevation.h"
#include "Project/Layer.h"
#include "Project/LayerCombination.h"
#include "Project/LayerMap.h"
#include "Project/Layout.h"
#include "Project/Library.h"
#include "Project/LinkRecord.h"
#include "Project/Model.h"
#include "Project/Navigator.h"
#include "Project/Plan.h"
#include "Project/Section.h"
#include "Project/Specification.h"
#include "Project/Worksheet.h"

namespace tarnwick {
namespace {

// Copies a text into a host field of 256 16-bit characters, cut to fit and zero-terminated.
void toHostText(const String& text, char16_t (&field)[host::kDatabaseTextChars]) {
    text.copyToUniChars(field, host::kDatabaseTextChars);
}

// The handle's guids (16 bytes each); an incomplete tail is ignored.
std::vector<host::GuidRecord> guidsOf(host::Handle handle) {
    std::vector<host::GuidRecord> guids(host::getHandleSize(handle) / sizeof(host::GuidRecord));
    if (!guids.empty()) std::memcpy(guids.data(), *handle, guids.size() * sizeof(host::GuidRecord));
    return guids;
}

// The guids of the list's links, in list order (null links left out).
std::vector<host::GuidRecord> guidsOf(const ElementLinkList& links) {
    std::vector<host::GuidRecord> guids;
    guids.reserve(links.size());
    for (const auto& link : links)
        if (link) guids.push_back(link->getGuid().getRecord());
    return guids;
}

// A head that names the tool default of the link's type and variation (no guid).
host::ElementHead defaultHead(const ElementLink& link) {
    host::ElementHead head{};
    head.type = link.getTypeByte();
    head.variation = link.getVariation();
    return head;
}

bool isUserDataAnswer(std::uint32_t result) { return result == 0 || result == host::kErrNoUserData; }

constexpr double kNorthUp = 1.5707963267948966;   // pi/2: north along the y axis
constexpr char16_t kLayerSettingsLockable[] = u"LayerSettingsDialog";

// The framework's string list and the items the default-layer check shows.
constexpr std::int16_t kFrameworkStrings = 32700;
enum FrameworkItem : std::int32_t {
    kCancelItem = 6,
    kLayerHiddenItem = 11,
    kLayerLockedItem = 12,
    kLayerOutsideItem = 13,
    kLayerMissingItem = 14,
    kShowLayerItem = 15,
    kUnlockLayerItem = 16,
    kEditingItem = 17,
    kChooseLayerItem = 18,
};

// The buttons of the default-layer alert, 1-based as the host numbers them.
enum LayerAnswer : std::int16_t { kChooseLayer = 1, kCancelLayer = 2, kRepairLayer = 3 };

// The guid and status of the lockable that guards an attribute type's shared settings. False for a type
// without one (only layers have it), an unknown lockable, or while teamwork does not take requests.
bool settingsLockable(AttributeType type, host::GuidRecord& lockable, std::int32_t& status) {
    if (type != AttributeType::layer) return false;
    lockable = host::GuidRecord{};
    if (hostApi().call<host::HostSlot::findLockable>(kLayerSettingsLockable, &lockable) != 0) return false;
    if (!Guid(lockable).isValid()) return false;
    std::uint8_t connected = 0;
    std::uint8_t available = 0;
    if (hostApi().call<host::HostSlot::isTeamworkConnected>(&connected) != 0 || connected == 0) return false;
    if (hostApi().call<host::HostSlot::isTeamworkAvailable>(&available) != 0 || available == 0) return false;
    return hostApi().call<host::HostSlot::getLockableStatus>(&lockable, /*flags=*/0, &status) == 0;
}

// A note field: a full field has no terminator, so never read past it.
String noteText(const char (&field)[host::kProjectNoteBytes]) {
    std::uint32_t length = 0;
    while (length < host::kProjectNoteBytes && field[length] != '\0') ++length;
    return String(field, length);
}

// The project notes; false when the host fails.
bool readNotes(host::ProjectNotesRecord& notes) {
    notes = host::ProjectNotesRecord{};
    return hostApi().environment(fourcc("GPRN"), &notes) == 0;
}

// Tells the user why the tool's layer cannot be used and asks what to do. The extra button (show or
// unlock) is offered only for a layer that is there and in the member's workspace.
std::int16_t askAboutLayer(const Layer& layer) {
    std::int32_t item = kLayerMissingItem;
    std::int32_t extra = 0;
    if (layer.isValid()) {
        if (layer.isOutsideWorkspace()) {
            item = kLayerOutsideItem;
        } else if (layer.isLocked()) {
            item = kLayerLockedItem;
            extra = kUnlockLayerItem;
        } else if (layer.isHidden()) {
            item = kLayerHiddenItem;
            extra = kShowLayerItem;
        }
    }
    String message = Host::getString(kFrameworkStrings, item);
    message.replaceAll("$1", layer.getName());
    CustomAlert alert(Host::getString(kFrameworkStrings, kEditingItem),
                      Host::getString(kFrameworkStrings, kChooseLayerItem),
                      Host::getString(kFrameworkStrings, kCancelItem),
                      extra != 0 ? Host::getString(kFrameworkStrings, extra) : String());
    return alert.show(message, String());
}

}   // namespace

Project::Project()
    : model_(std::make_unique<Model>(*this, Guid())),
      plan_(std::make_unique<Plan>(*this, Guid())),
      specification_(std::make_unique<Specification>(*this)),
      library_(std::make_unique<Library>(*this)),
      classifications_(std::make_unique<ClassificationDatabase>(*this)),
      properties_(std::make_unique<PropertyDatabase>(*this)),
      packages_("frameworkPreferenceStore", /*flag=*/true) {}

Project::~Project() = default;

bool Project::loadDefaults(ElementLink& link, host::ElementRecord& record, host::ElementMemo* memo) {
    if (link.getTypeByte() == 0) {
        host::ToolboxRecord tool{};
        if (hostApi().environment(fourcc("GTBX"), &tool) != 0) return false;
        link = ElementLink(static_cast<std::uint16_t>(tool.type & 0xFF), tool.variation);
    }
    record = host::ElementRecord{};
    record.head.type = link.getTypeByte();
    record.head.variation = link.getVariation();
    host::ElementMemo scratch{};
    host::ElementMemo* target = memo != nullptr ? memo : &scratch;
    const std::uint32_t result = hostApi().call<host::HostSlot::getElementDefaults>(&record, target);
    if (memo == nullptr) hostApi().call<host::HostSlot::disposeElementMemo>(&scratch);
    if (result != 0) return false;
    link.refresh(record);
    return true;
}

// --- Databases and views --------------------------------------------------------------------------
Database* Project::getDatabase(const LinkRecord& id) {
    switch (id.getKind()) {
        case host::kDatabasePlan:
            return plan_.get();
        case host::kDatabaseModel:
            return model_.get();
        case host::kDatabaseSection:
            return getSection(id.getGuid());
        case host::kDatabaseDetail:
            return getDetail(id.getGuid());
        case host::kDatabaseLayout:
        case host::kDatabaseMasterLayout:
            return getLayout(id.getGuid());
        case host::kDatabaseElevation:
            return getElevation(id.getGuid());
        case host::kDatabaseInteriorElevation:
            return getInteriorElevation(id.getGuid());
        case host::kDatabaseWorksheet:
            return getWorksheet(id.getGuid());
        case host::kDatabaseDocument3D:
            return getDocument3D(id.getGuid());
        default:
            return nullptr;
    }
}

Database* Project::databaseOfRecord(const host::DatabaseRecord& record) {
    return getDatabase(LinkRecord(record, 0));
}

// The host is asked every time: the user may have switched windows since the last callback, and a
// cached answer would send every later operation to the wrong database.
Database* Project::getCurrentDatabase() {
    const std::uint64_t epoch = getAnswerEpoch();
    if (epoch != 0 && currentDatabaseEpoch_ == epoch) return currentDatabase_;
    host::DatabaseRecord record{};
    currentDatabase_ = hostApi().database(fourcc("GDAT"), &record) == 0 ? databaseOfRecord(record) : nullptr;
    currentDatabaseEpoch_ = currentDatabase_ != nullptr ? epoch : 0;
    return currentDatabase_;
}

Database* Project::getCurrentWindow() {
    const std::uint64_t epoch = getAnswerEpoch();
    if (epoch != 0 && currentWindowEpoch_ == epoch) return currentWindow_;
    host::DatabaseRecord record{};
    currentWindow_ = hostApi().database(fourcc("GWIN"), &record) == 0 ? databaseOfRecord(record) : nullptr;
    currentWindowEpoch_ = currentWindow_ != nullptr ? epoch : 0;
    return currentWindow_;
}

std::shared_ptr<void> Project::keepHostAnswers() {
    if (answers_->keepers++ == 0) ++answers_->epoch;
    std::shared_ptr<KeptAnswers> answers = answers_;
    return std::shared_ptr<void>(nullptr, [answers](void*) { --answers->keepers; });
}

bool Project::setCurrentDatabase(Database* database) { return makeCurrent(database, /*window=*/false); }

bool Project::setCurrentWindow(Database* database) { return makeCurrent(database, /*window=*/true); }

bool Project::makeCurrent(Database* database, bool window) {
    auto* drawing = dynamic_cast<Drawing*>(database);
    if (drawing == nullptr) return false;   // only databases that hold elements have windows
    Database*& cache = window ? currentWindow_ : currentDatabase_;
    if ((window ? getCurrentWindow() : getCurrentDatabase()) == database) return true;
    forgetCurrent();
    host::DatabaseRecord record{};
    record.type = drawing->getDatabaseType();
    record.guid = drawing->getGuid().getRecord();
    const std::uint32_t result =
        window ? hostApi().automation(fourcc("CHWD"), &record) : hostApi().database(fourcc("CDAT"), &record);
    if (result != 0) return false;   // a refused switch caches nothing
    cache = database;
    (window ? currentWindowEpoch_ : currentDatabaseEpoch_) = getAnswerEpoch();
    return true;
}

void Project::forgetCurrent() {
    currentDatabaseEpoch_ = 0;
    currentWindowEpoch_ = 0;
    currentDatabase_ = nullptr;
    currentWindow_ = nullptr;
}

template <typename T>
DatabaseList<T>& Project::loadList(std::unique_ptr<DatabaseList<T>>& list, std::uint32_t code) {
    if (list) return *list;
    list = std::make_unique<DatabaseList<T>>();
    host::Handle guids = nullptr;
    if (hostApi().database(code, &guids) == 0)
        for (const host::GuidRecord& guid : guidsOf(guids))
            list->file(Guid(guid), std::make_unique<T>(*this, Guid(guid)));
    host::disposeHandle(guids);
    return *list;
}

// Layouts, then master layouts, in one list.
LayoutList& Project::loadLayouts() {
    if (layouts_) return *layouts_;
    layouts_ = std::make_unique<LayoutList>();
    for (const bool master : {false, true}) {
        host::Handle guids = nullptr;
        if (hostApi().database(fourcc(master ? "GMDI" : "GLDI"), &guids) == 0)
            for (const host::GuidRecord& guid : guidsOf(guids))
                layouts_->file(Guid(guid), std::make_unique<Layout>(*this, Guid(guid), master));
        host::disposeHandle(guids);
    }
    return *layouts_;
}

#define TARNWICK_VIEW_KIND(Kind, list, code)                                                        \
    std::int32_t Project::get##Kind##Count() {                                                      \
        return static_cast<std::int32_t>(loadList(list, fourcc(code)).size());                      \
    }                                                                                               \
    Kind* Project::get##Kind(std::int32_t index) { return loadList(list, fourcc(code)).at(index); } \
    Kind* Project::get##Kind(const Guid& guid) { return loadList(list, fourcc(code)).find(guid); }
TARNWICK_VIEW_KIND(Detail, details_, "GDDI")
TARNWICK_VIEW_KIND(Document3D, documents3D_, "GD3D")
TARNWICK_VIEW_KIND(Elevation, elevations_, "GEDI")
TARNWICK_VIEW_KIND(InteriorElevation, interiorElevations_, "GIED")
TARNWICK_VIEW_KIND(Section, sections_, "GSDI")
TARNWICK_VIEW_KIND(Worksheet, worksheets_, "GWDI")
#undef TARNWICK_VIEW_KIND

std::int32_t Project::getLayoutCount() { return static_cast<std::int32_t>(loadLayouts().size()); }
Layout* Project::getLayout(std::int32_t index) { return loadLayouts().at(index); }
Layout* Project::getLayout(const Guid& guid) { return loadLayouts().find(guid); }

Layout* Project::newLayout(const String& name, const Guid& masterGuid, const String& layoutName) {
    if (Host::isInsideCommand()) return nullptr;
    LayoutList& layouts = loadLayouts();   // first, so the new layout is not also loaded from the host
    host::DatabaseRecord record{};
    record.type = host::kDatabaseLayout;
    record.masterGuid = masterGuid.getRecord();
    toHostText(name, record.name);
    if (hostApi().database(fourcc("NDAT"), &record) != 0) return nullptr;
    const Guid guid(record.guid);
    Layout* layout = layouts.file(guid, std::make_unique<Layout>(*this, guid, /*master=*/false));
    if (!layoutName.isEmpty()) layout->setLayoutName(layoutName, /*flag=*/false);
    return layout;
}

bool Project::deleteLayout(const Guid& guid) {
    Layout* layout = getLayout(guid);
    if (layout == nullptr) return false;
    host::DatabaseRecord record{};
    record.type = layout->getDatabaseType();
    record.guid = guid.getRecord();
    if (hostApi().database(fourcc("DDAT"), &record) != 0) return false;
    forgetCurrent();   // the host may have made another database current
    layouts_->remove(guid);
    return true;
}

Worksheet* Project::newWorksheet(const String& name, const String& secondText) {
    if (Host::isInsideCommand()) return nullptr;
    WorksheetList& worksheets = loadList(worksheets_, fourcc("GWDI"));
    host::DatabaseRecord record{};
    record.type = host::kDatabaseWorksheet;
    toHostText(name, record.name);
    toHostText(secondText, record.reference);
    if (hostApi().database(fourcc("NDAT"), &record) != 0) return nullptr;
    const Guid guid(record.guid);
    return worksheets.file(guid, std::make_unique<Worksheet>(*this, guid));
}

// --- Members and teamwork -------------------------------------------------------------------------
std::int32_t Project::getUserCount() {
    if (users_) return static_cast<std::int32_t>(users_->size());
    users_ = std::make_unique<UserList>();
    if (!isShared()) return 0;
    host::SharingRecord sharing{};
    if (hostApi().environment(fourcc("SHAR"), &sharing) == 0 && sharing.count > 0) {
        // Never trust the count past what the handle holds.
        const std::size_t held = host::getHandleSize(sharing.users) / sizeof(host::MemberRecord);
        const std::size_t count = std::min(held, static_cast<std::size_t>(sharing.count));
        const auto* members =
            count > 0 ? reinterpret_cast<const host::MemberRecord*>(*sharing.users) : nullptr;
        for (std::size_t i = 0; i < count; ++i) users_->push_back(std::make_unique<User>(members[i]));
    }
    host::disposeHandle(sharing.users);
    return static_cast<std::int32_t>(users_->size());
}

User* Project::getUser(std::int32_t index) {
    if (index < 0 || index >= getUserCount()) return nullptr;
    return (*users_)[static_cast<std::size_t>(index)];
}

bool Project::reserveElements(const ElementLinkList& links) {
    const std::vector<host::GuidRecord> guids = guidsOf(links);
    if (guids.empty()) return true;
    host::Handle conflicts = nullptr;
    const std::uint32_t result = hostApi().call<host::HostSlot::reserveElements>(
        guids.data(), static_cast<std::int32_t>(guids.size()), &conflicts);
    const bool noConflict = host::getHandleSize(conflicts) < sizeof(host::ReservationConflict);
    host::disposeHandle(conflicts);
    return result == 0 && noConflict;
}

bool Project::releaseElements(const ElementLinkList& links) {
    const std::vector<host::GuidRecord> guids = guidsOf(links);
    if (guids.empty()) return true;
    return hostApi().call<host::HostSlot::releaseElements>(guids.data(),
                                                           static_cast<std::int32_t>(guids.size())) == 0;
}

bool Project::isShared() const {
    std::uint8_t shared = 0;
    return hostApi().call<host::HostSlot::isSharedProject>(&shared) == 0 && shared != 0;
}

bool Project::isTeamworkConnected() const {
    std::uint8_t connected = 0;
    return hostApi().call<host::HostSlot::isTeamworkConnected>(&connected) == 0 && connected != 0;
}

bool Project::reserveAttributeSettings(AttributeType type) {
    host::GuidRecord lockable{};
    std::int32_t status = 0;
    if (!settingsLockable(type, lockable, status) || status != host::kLockableFree) return false;
    return hostApi().call<host::HostSlot::acquireLockable>(&lockable, /*flags=*/0) == 0;
}

bool Project::releaseAttributeSettings(AttributeType type) {
    host::GuidRecord lockable{};
    std::int32_t status = 0;
    if (!settingsLockable(type, lockable, status) || status != host::kLockableMine) return false;
    return hostApi().call<host::HostSlot::releaseLockable>(&lockable, /*flags=*/1) == 0;
}

// --- Project settings -----------------------------------------------------------------------------
std::unique_ptr<DataFile> Project::getProjectFile() const {
    host::ProjectInfoRecord info{};
    if (hostApi().environment(fourcc("PROJ"), &info) != 0) return nullptr;
    const std::size_t units = host::getHandleSize(info.location) / sizeof(char16_t);
    String path;
    if (units > 0)
        path = String(std::u16string_view(reinterpret_cast<const char16_t*>(*info.location), units));
    host::disposeHandle(info.location);
    if (path.isEmpty()) return nullptr;
    return std::make_unique<DataFile>(FileLocation(std::string(path.getView())), DataFile::kReadWrite);
}

bool Project::isMetric() const {
    host::UnitPreferencesRecord units{};
    const auto part = reinterpret_cast<void*>(host::kPreferencesUnits);
    return hostApi().environment(fourcc("GPRF"), &units, part) == 0 &&
           units.lengthUnit < host::kLengthUnitFeetInches;
}

double Project::getNorthAngle() const {
    host::LocationRecord location{};
    if (hostApi().environment(fourcc("GPLA"), &location) != 0) return kNorthUp;
    return location.north;
}

bool Project::setNorthAngle(double angle) {
    host::LocationRecord location{};
    if (hostApi().environment(fourcc("GPLA"), &location) != 0) return false;
    location.north = angle;   // the rest goes back as the host gave it
    return hostApi().environment(fourcc("CPLA"), &location) == 0;
}

#define TARNWICK_PROJECT_NOTE(Getter, field)                        \
    String Project::Getter() const {                                \
        host::ProjectNotesRecord notes;                             \
        return readNotes(notes) ? noteText(notes.field) : String(); \
    }
TARNWICK_PROJECT_NOTE(getProjectName, projectName)
TARNWICK_PROJECT_NOTE(getProjectCity, city)
TARNWICK_PROJECT_NOTE(getProjectPostcode, postcode)
TARNWICK_PROJECT_NOTE(getProjectArchitect, architect)
#undef TARNWICK_PROJECT_NOTE

std::unique_ptr<City> Project::getCity() {
    host::LocationRecord location{};
    if (hostApi().environment(fourcc("GPLA"), &location) != 0) return nullptr;
    Specification* specification = getSpecification();
    const std::int16_t found = specification->findCity(location.longitude, location.latitude);
    if (found == 0) {   // a new city, named by the project's city note, not yet in the host
        auto city = std::make_unique<City>();
        city->setName(getProjectCity());
        city->setLongitude(location.longitude);
        city->setLatitude(location.latitude);
        city->setTimeZone(location.timeZone);
        return city;
    }
    auto city = std::make_unique<City>(AttributeLink(found, AttributeType::city, specification));
    city->setLatitude(location.latitude);
    city->setTimeZone(location.timeZone);
    return city;
}

std::unique_ptr<LayerCombination> Project::getLayerCombination() {
    std::int16_t index = 0;
    if (hostApi().environment(fourcc("GCLC"), &index) != 0 || index == 0) return nullptr;
    auto combination = std::make_unique<LayerCombination>(
        AttributeLink(index, AttributeType::layerCombination, getSpecification()));
    if (!combination->Attribute::isValid()) return nullptr;   // an index the host does not know (any more)
    return combination;
}

std::unique_ptr<LayerMap> Project::getLayerMap() {
    std::unique_ptr<LayerCombination> combination = getLayerCombination();
    if (!combination) return std::make_unique<LayerMap>(/*allLayers=*/true);
    const LayerMap* map = combination->getLayerMap();
    return map != nullptr ? std::make_unique<LayerMap>(*map) : nullptr;
}

// --- Packages -----------------------------------------------------------------------------------------
Package* Project::getPackage(std::uint32_t code) const { return packages_.find(code); }

Package& Project::addPackage(const Package& package, bool notify) {
    return packages_.addPackage(package, notify);
}

Package* Project::adoptPackage(std::unique_ptr<Package> package, bool notify) {
    return packages_.adoptPackage(std::move(package), notify);
}

void Project::resetPackages() { packages_.resetPackages(/*skipKept=*/true); }

// --- Tool defaults --------------------------------------------------------------------------------
std::unique_ptr<MemoryBlock> Project::getDefaultUserData(const ElementLink& link, std::uint32_t* flags,
                                                         std::uint16_t* version, std::uint16_t* platform) {
    const host::ElementHead head = defaultHead(link);
    host::UserDataRecord data{};
    const std::uint32_t result = hostApi().call<host::HostSlot::getElementUserData>(&head, &data);
    if (!isUserDataAnswer(result)) {
        host::disposeHandle(data.data);
        return nullptr;
    }
    if (flags) *flags = data.flags;
    if (version) *version = data.version;
    if (platform) *platform = data.platformSign;
    return std::make_unique<MemoryBlock>(result == 0 ? data.data : nullptr);
}

bool Project::setDefaultUserData(const ElementLink& link, const MemoryBlock* block, bool keepEmpty,
                                 std::uint32_t flags, std::uint16_t version, std::uint16_t platform) {
    const host::ElementHead head = defaultHead(link);
    std::uint32_t result = 0;
    if (block != nullptr && (keepEmpty || block->getSize() != 0)) {
        host::UserDataRecord data{};
        data.version = version;
        data.platformSign = platform;
        data.flags = flags;
        data.data = block->getHandle();   // the host copies the bytes; the block keeps its handle
        result = hostApi().call<host::HostSlot::setElementUserData>(&head, &data);
    } else {
        result = hostApi().call<host::HostSlot::clearElementUserData>(&head);
    }
    return isUserDataAnswer(result);
}

std::unique_ptr<Element> Project::makeDefaultElement(std::uint16_t typeId, std::int32_t variation) {
    ElementLink link(typeId, variation);
    auto record = std::make_unique<host::ElementRecord>();
    auto memo = std::make_unique<ElementMemoStore>();
    if (!loadDefaults(link, *record, memo->getMemo())) return nullptr;
    std::unique_ptr<Element> element = Drawing::makeElement(*record, link, memo);
    if (!element) return nullptr;
    // A default has no guid to read these by: they come from the tool default.
    if (auto* properties = dynamic_cast<PropertyMemo*>(element.get())) properties->loadDefaults();
    if (auto* classifications = dynamic_cast<ClassificationMemo*>(element.get()))
        classifications->loadDefaults();
    std::uint32_t flags = 0;
    std::uint16_t version = 0;
    std::uint16_t platform = 0;
    if (std::unique_ptr<MemoryBlock> block = getDefaultUserData(link, &flags, &version, &platform)) {
        element->attachUserData(std::move(block));
        element->setUserDataFlags(flags);
        element->setUserDataVersion(version);
        element->setUserDataPlatform(platform);
    }
    return element;
}

// --- Default layer -------------------------------------------------------------------------------
bool Project::checkDefaultLayer(ElementLink& link, bool silent) {
    std::optional<std::int16_t> judged;   // the layer the user last chose to replace
    int unchanged = 0;                    // times the settings dialog left that layer as it was
    for (;;) {
        // 1. The tool default's record (its memo is read and disposed of).
        auto record = std::make_unique<host::ElementRecord>();
        if (!loadDefaults(link, *record, nullptr)) return false;
        // The settings dialog left the layer as it was: the user is asked once more, but not again, which
        // would ask forever when every question is answered alike (a batch run).
        if (judged && *judged == record->head.layer && ++unchanged > 1) return false;
        // 2. Its layer, judged.
        Layer layer(AttributeLink(record->head.layer, AttributeType::layer, getSpecification()));
        if (layer.isValid() && !layer.isHidden() && !layer.isLocked() && !layer.isOutsideWorkspace())
            return true;
        if (silent) return false;
        switch (askAboutLayer(layer)) {
            case kChooseLayer:   // 3. the tool's settings, then the check again
                judged = record->head.layer;
                if (!Host::openSettingsDialog(link.getTypeId(), link.getVariation())) return false;
                break;
            case kRepairLayer:   // only offered for a layer that is there: shown and unlocked
                layer.setLocked(false);
                layer.setHidden(false);
                return getSpecification()->write(layer);   // a refused write leaves the layer unusable
            default:                                       // Cancel, or the alert closed without a button
                return false;
        }
    }
}

RelatedZones& Project::getRelatedZones() {
    if (!relatedZones_) relatedZones_ = std::make_unique<RelatedZones>();
    return *relatedZones_;
}

Navigator& Project::getNavigator() {
    if (!navigator_) navigator_ = std::make_unique<Navigator>();
    return *navigator_;
}

bool Project::commitElement(Element& element, bool withUserData, bool storeProperties,
                            bool storeClassifications) {
    if (!element.commit(withUserData)) return false;
    const bool isDefault = !element.getGuid().isValid();   // a tool default has no guid to store by
    bool stored = true;
    if (auto* properties = dynamic_cast<PropertyMemo*>(&element); storeProperties && properties != nullptr)
        stored =
            isDefault ? properties->storeToDefault() : properties->store(/*toDefault=*/false, /*force=*/true);
    auto* classifications = dynamic_cast<ClassificationMemo*>(&element);
    if (storeClassifications && classifications != nullptr)
        stored = (isDefault ? classifications->storeToDefault()
                            : classifications->store(/*toDefault=*/false, /*force=*/true)) &&
                 stored;
    return stored;
}

void Project::clear() {
    relatedZones_.reset();
    navigator_.reset();
    model_->clear();
    plan_->clear();
    specification_->clear();
    classifications_->clear();
    properties_->clear();
    IFCData::releaseTypeTables();
    library_->clear();
    users_.reset();
    details_.reset();
    documents3D_.reset();
    elevations_.reset();
    interiorElevations_.reset();
    layouts_.reset();
    sections_.reset();
    worksheets_.reset();
    scratch_.reset();
    forgetCurrent();
}

void*& Project::getScratchCell() {
    if (!scratch_) scratch_ = std::make_unique<void*>(nullptr);
    return *scratch_;
}

}   // namespace tarnwick

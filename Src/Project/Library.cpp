#include "Project/Library.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include <FourCC.h>

#include "Environment/HostApi.h"
#include "Foundation/Directory.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/DoorSource.h"
#include "LibraryParts/FamilyGuid.h"
#include "LibraryParts/LabelSource.h"
#include "LibraryParts/LampSource.h"
#include "LibraryParts/ObjectSource.h"
#include "LibraryParts/ParametricSource.h"
#include "LibraryParts/PropertySource.h"
#include "LibraryParts/SkylightSource.h"
#include "LibraryParts/WindowSource.h"
#include "LibraryParts/ZoneSource.h"
#include "Project/ElementIterator.h"
#include "Project/HostProject.h"
#include "Project/MacroSource.h"
#include "Project/PictureSource.h"
#include "Project/Project.h"

namespace tarnwick {
namespace {

using CreatorMap = std::multimap<std::uint32_t, SourceCreator>;   // equal keys keep filing order

struct Registries {
    std::unique_ptr<CreatorMap> builtIn;   // registerCreators .. unregisterCreators
    std::unique_ptr<CreatorMap> extra;     // made by the first registerSourceCreator
};

Registries& registries() {
    static Registries instance;
    return instance;
}

template <class Kind, std::int32_t kType>
std::unique_ptr<ComponentSource> create(const host::LibraryPartRecord& record, const ComponentLink& link) {
    if (record.type != kType) return nullptr;
    return std::make_unique<Kind>(record, link);
}

// The host library's subtype families, tried in this order; a part of none keeps the host's type.
struct Subtype {
    const char* id;   // main guid, "-", revision guid
    std::uint32_t type;
};
constexpr Subtype kSubtypes[] = {
    {"{11E85B84-8DD1-491B-A2FE-337454A91545}-{9CD857B9-18A7-4F56-80E4-3E80CF98C51C}", host::kLibraryDoor},
    {"{BDB8C3EE-4019-46C8-91D0-7A8DE0A5EC6D}-{1A63DAB2-6C58-40F5-A8CF-66C24221E66B}", host::kLibraryLabel},
    {"{51A838E5-0F40-4F6D-A658-CF2845581749}-{0FEEC221-485B-4E33-AB14-BEF539A03456}", host::kLibraryLamp},
    {"{8F157ABA-E5C9-48B6-9DCE-68F0F02A808E}-{09EA47C2-E2A1-4805-94C8-B19BB097C5D7}", host::kLibraryProperty},
    {"{4ABD0A6E-634B-4931-B3AA-9BEE01F35CDF}-{71F409AA-4D0A-4152-BF03-8E77782C8DD6}", host::kLibraryWindow},
    {"{A73622DE-E40A-4E63-ADB7-52D13422BD06}-{8BAE3C2B-6B64-4F5B-8144-851BE94F4F39}", host::kLibraryZone},
};

int findSubtype(const FamilyGuid& uniqueId) {
    for (std::size_t i = 0; i < std::size(kSubtypes); ++i)
        if (uniqueId == FamilyGuid(kSubtypes[i].id)) return static_cast<int>(i);
    return -1;
}

constexpr std::uint32_t kForwardDefaultType = 1;   // the working link's type of an untyped walk
constexpr std::uint32_t kBackwardDefaultType = 12;

// --- Host records and locations ------------------------------------------------------------------
// A location handed to the host: a pointer block with the path as zero-terminated UTF-8, ours to free.
class HostLocation {
public:
    HostLocation() = default;
    explicit HostLocation(const FileLocation& location) {
        if (location.empty()) return;
        const std::string path = location.string();
        block_ = allocatePtr(path.size() + 1);   // cleared: the terminator is there
        std::memcpy(block_, path.data(), path.size());
    }
    HostLocation(HostLocation&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    HostLocation(const HostLocation&) = delete;
    HostLocation& operator=(const HostLocation&) = delete;
    ~HostLocation() { disposePtr(block_); }
    char* get() const { return block_; }
    char* release() {   // the caller frees the block now
        char* block = block_;
        block_ = nullptr;
        return block;
    }

private:
    char* block_ = nullptr;
};

// A record the host handed out carries a new location that the caller frees.
void disposeLocation(host::LibraryPartRecord& record) {
    disposePtr(record.location);
    record.location = nullptr;
}

// After a host call that fills a record we lent our location: a location the host put in its place is
// new and freed here; ours stays with its HostLocation.
void dropHandedOutLocation(host::LibraryPartRecord& record, const HostLocation& ours) {
    if (record.location != ours.get()) disposePtr(record.location);
    record.location = nullptr;
}

// The folder locations of a handle of library-info records, each freed; the handle too.
std::vector<FileLocation> takeLibraryInfo(host::Handle& handle) {
    std::vector<FileLocation> locations;
    const std::size_t count = getHandleSize(handle) / sizeof(host::LibraryInfoRecord);
    for (std::size_t i = 0; i < count; ++i) {
        host::LibraryInfoRecord info{};
        std::memcpy(&info, *handle + i * sizeof info, sizeof info);
        locations.emplace_back(info.location != nullptr ? FileLocation(info.location) : FileLocation());
        disposePtr(info.location);
    }
    disposeHandle(handle);
    return locations;
}

// A handle of library-info records over locations the caller keeps alive.
MemoryBlock libraryInfoOf(const std::vector<HostLocation>& locations) {
    MemoryBlock block;
    for (const HostLocation& location : locations) {
        host::LibraryInfoRecord info{};
        info.location = location.get();
        block.append(&info, sizeof info);
    }
    return block;
}

// A zero-terminated text field of a record, read no further than the field.
FamilyGuid idText(const char (&field)[host::kUniqueIdBytes]) {
    return FamilyGuid(String(std::string_view(field, strnlen(field, host::kUniqueIdBytes))));
}

String documentNameOf(const host::LibraryPartRecord& record) {
    const char16_t* end =
        std::find(record.documentName, record.documentName + host::kLibraryNameChars, u'\0');
    return String(
        std::u16string_view(record.documentName, static_cast<std::size_t>(end - record.documentName)));
}

std::uint32_t searchPart(host::LibraryPartRecord& record) {
    return hostApi().call<host::HostSlot::searchLibraryPart>(&record, /*createIfMissing=*/std::uint8_t{0},
                                                             /*onlyPlaceable=*/std::uint8_t{0});
}

// A found part's index, and its classified type into `type`; 0 and `type` untouched when not found.
std::int32_t foundIndex(std::uint32_t result, host::LibraryPartRecord& record, std::uint32_t& type) {
    disposeLocation(record);
    if (result != 0) return 0;
    type = Library::classifyPart(idText(record.uniqueId), static_cast<std::uint32_t>(record.type));
    return record.index;
}

// A search's kept answer, into `index` and `type`; false when none is kept.
template <class Searches, class Key>
bool keptAnswer(const Searches* searches, const Key& key, std::int32_t& index, std::uint32_t& type) {
    if (searches == nullptr) return false;
    const auto found = searches->find(key);
    if (found == searches->end()) return false;
    index = found->second.index;
    type = found->second.type;
    return true;
}

// Asks the registry's creators of the type, in filing order; the first source made wins.
std::unique_ptr<ComponentSource> askCreators(const CreatorMap* creators, std::uint32_t type,
                                             const host::LibraryPartRecord& record,
                                             const ComponentLink& link) {
    if (creators == nullptr) return nullptr;
    const auto [first, last] = creators->equal_range(type);
    for (auto entry = first; entry != last; ++entry)
        if (std::unique_ptr<ComponentSource> source = entry->second(record, link)) return source;
    return nullptr;
}

}   // namespace

// --- File vectors ----------------------------------------------------------------------------------
bool contains(const Vector<File>& files, const File& file) {
    return std::any_of(files.begin(), files.end(), [&](const std::unique_ptr<File>& entry) {
        return entry && entry->compareLocation(file);
    });
}

bool operator==(const Vector<File>& first, const Vector<File>& second) {
    if (first.size() != second.size()) return false;
    return std::all_of(first.begin(), first.end(),
                       [&](const std::unique_ptr<File>& entry) { return entry && contains(second, *entry); });
}

// --- Filter ----------------------------------------------------------------------------------------
Library::Filter::Filter(const String& namePattern, std::uint32_t type, bool cacheCount,
                        std::int32_t cachedCount)
    : pattern_(namePattern, String("*")),
      everyName_(namePattern.isEmpty()),
      type_(type),
      cacheCount_(cacheCount),
      cachedCount_(cachedCount) {}

Library::Filter::~Filter() = default;

std::unique_ptr<Library::Filter> Library::Filter::clone() const { return std::make_unique<Filter>(*this); }

bool Library::Filter::accepts(ComponentSource&) const { return true; }

// An empty pattern would compare whole and take only empty names; it means "every part".
bool Library::Filter::matchesName(const String& documentName) const {
    return everyName_ || pattern_.matches(documentName);
}

// --- Iterator --------------------------------------------------------------------------------------
Library::Iterator::Iterator(std::unique_ptr<ComponentSource> source, std::unique_ptr<Filter> filter,
                            bool modify, bool forward)
    : current_(std::move(source)), filter_(std::move(filter)), modify_(modify), forward_(forward) {}

Library::Iterator& Library::Iterator::operator=(Iterator&& other) noexcept {
    if (this == &other) return *this;
    release();
    current_ = std::move(other.current_);
    filter_ = std::move(other.filter_);
    modify_ = other.modify_;
    forward_ = other.forward_;
    return *this;
}

Library::Iterator::~Iterator() { release(); }

ComponentSource& Library::Iterator::getReference() const {
    if (!current_) iteration::fail(*this, "out_of_range", "getReference");
    return *current_;
}

void Library::Iterator::moveForward() {
    if (!current_) iteration::fail(*this, "out_of_range", "moveForward");
    const ComponentLink link = current_->getLink();
    release();
    Library* library = link.getLibrary();
    if (library == nullptr || !filter_) return;
    current_ = library->seek(link, forward_, *filter_);
}

bool Library::Iterator::operator==(const Iterator& other) const {
    if (atEnd() || other.atEnd()) return atEnd() == other.atEnd();
    return current_->getLink() == other.current_->getLink();
}

void Library::Iterator::release() {
    if (!current_) return;
    if (modify_ && current_->isChanged()) {
        if (Library* library = current_->getLink().getLibrary()) {
            try {
                library->savePart(*current_);
            } catch (...) {   // a destructor must not throw; the save is lost with the source
            }
        }
    }
    current_.reset();
}

// --- Library ---------------------------------------------------------------------------------------
Library::Library(Project& project) : Database(project) {}

Library::~Library() = default;

void Library::clear() { dropFileList(); }

void Library::dropFileList() {
    forgetKeptParts();   // the folders change, and with them the loaded parts
    folders_.reset();
    currentFolder_ = -1;
}

void Library::forgetKeptParts() { keeping_->kept = KeptParts(); }

std::shared_ptr<void> Library::keepAnswers() {
    if (keeping_->keepers++ == 0) ++keeping_->epoch;
    std::shared_ptr<Keeping> keeping = keeping_;
    return std::shared_ptr<void>(nullptr, [keeping](void*) {
        if (--keeping->keepers == 0) keeping->kept = KeptParts();
    });
}

Library::KeptParts* Library::keptParts() {
    const AnswerKey key =
        keeping_->keepers > 0 ? AnswerKey(keeping_->epoch, 0) : AnswerKey(0, getProject().getAnswerEpoch());
    if (key == AnswerKey(0, 0)) return nullptr;
    KeptParts& kept = keeping_->kept;
    if (kept.key != key) {
        kept = KeptParts();
        kept.key = key;
    }
    return &kept;
}

// --- Sources ---------------------------------------------------------------------------------------
std::unique_ptr<ComponentSource> Library::getSource(const ComponentLink& link, bool* unread) {
    ComponentLink working = link;
    const std::size_t failedBefore = failedReads_;
    if (unread != nullptr) *unread = false;
    KeptParts* const kept = keptParts();
    const std::pair<std::uint32_t, std::int32_t> key(link.getType(), link.getIndex());
    if (kept != nullptr)
        if (const auto found = kept->sources.find(key); found != kept->sources.end())
            return found->second->clone();
    std::unique_ptr<ComponentSource> source = loadSource(working, nullptr);
    if (source && kept != nullptr) kept->sources.emplace(key, source->clone());   // a failure is asked again
    if (unread != nullptr) *unread = failedReads_ != failedBefore;
    return source;
}

bool Library::contains(const ComponentLink& link) { return getSource(link) != nullptr; }

std::unique_ptr<ComponentSource> Library::loadSource(ComponentLink& link, const Filter* filter) {
    // 1. No part to load.
    if (link.getType() == 0 && link.getIndex() < 1) return nullptr;
    // 2. The host's record of the index.
    host::LibraryPartRecord record{};
    record.type = static_cast<std::int32_t>(link.getType());
    record.index = link.getIndex();
    if (const std::uint32_t result = hostApi().call<host::HostSlot::getLibraryPart>(&record); result != 0) {
        if (result != host::kErrBadIndex) ++failedReads_;   // no part at the index: it is missing
        disposeLocation(record);
        return nullptr;
    }
    // 3. Through a filter: the name, and the part's own (classified) type against the filter's. The link's
    // type cannot stand for the part's: a walk gives every link the filter's type beforehand.
    if (filter != nullptr) {
        const std::uint32_t type =
            classifyPart(idText(record.uniqueId), static_cast<std::uint32_t>(record.type));
        const bool passes = filter->matchesName(documentNameOf(record)) &&
                            (filter->getType() == 0 || type == filter->getType());
        if (!passes) {
            disposeLocation(record);
            return nullptr;
        }
    }
    // 4. The link and the record agree on the type; the link belongs here.
    if (record.type == 0)
        record.type = static_cast<std::int32_t>(link.getType());
    else
        link.setType(static_cast<std::uint32_t>(record.type));
    link.setLibrary(this);
    std::unique_ptr<ComponentSource> source = makeSource(record, link);
    // 5. The filter's own test.
    if (source && filter != nullptr && !filter->accepts(*source)) return nullptr;
    return source;
}

std::unique_ptr<ComponentSource> Library::makeSource(host::LibraryPartRecord& record, ComponentLink& link) {
    const std::uint32_t type = classifyPart(idText(record.uniqueId), static_cast<std::uint32_t>(record.type));
    record.type = static_cast<std::int32_t>(type);
    link.setType(type);
    std::unique_ptr<ComponentSource> source;
    try {
        source = askCreators(registries().extra.get(), type, record, link);
        if (!source) source = askCreators(registries().builtIn.get(), type, record, link);
    } catch (...) {
        disposeLocation(record);
        throw;
    }
    disposeLocation(record);   // the source keeps its own copy
    return source;
}

std::uint32_t Library::classifyPart(const FamilyGuid& uniqueId, std::uint32_t type) {
    Project* const project = HostProject::findProject();
    KeptParts* const kept = project != nullptr ? project->getLibrary()->keptParts() : nullptr;
    int subtype = -1;
    if (kept == nullptr) {
        subtype = findSubtype(uniqueId);
    } else {
        const auto [at, added] = kept->subtypeOf.try_emplace(std::string(uniqueId.getView()), -1);
        if (added) at->second = findSubtype(uniqueId);
        subtype = at->second;
    }
    return subtype >= 0 ? kSubtypes[static_cast<std::size_t>(subtype)].type : type;
}

// --- Walking ---------------------------------------------------------------------------------------
Library::Iterator Library::begin(bool modify, const Filter& filter) {
    std::unique_ptr<Filter> own = filter.clone();
    const ComponentLink start(0, filter.getType() != 0 ? filter.getType() : kForwardDefaultType, this);
    std::unique_ptr<ComponentSource> source = seek(start, /*forward=*/true, *own);
    return Iterator(std::move(source), std::move(own), modify, /*forward=*/true);
}

Library::Iterator Library::rbegin(const Filter& filter) {
    std::unique_ptr<Filter> own = filter.clone();
    const std::int32_t count = getPartCount();
    const ComponentLink start(count + 1, filter.getType() != 0 ? filter.getType() : kBackwardDefaultType,
                              this);
    std::unique_ptr<ComponentSource> source = count > 0 ? seek(start, /*forward=*/false, *own) : nullptr;
    return Iterator(std::move(source), std::move(own), /*modify=*/true, /*forward=*/false);
}

std::unique_ptr<ComponentSource> Library::seek(const ComponentLink& link, bool forward, Filter& filter) {
    const std::uint32_t type =
        filter.getType() != 0 ? filter.getType() : (forward ? kForwardDefaultType : kBackwardDefaultType);
    ComponentLink working(link.getIndex(), type, this);
    if (forward) {
        const bool cached = filter.cachesCount() && filter.getCachedCount() != 0;
        const std::int32_t count = cached ? filter.getCachedCount() : getPartCount();
        if (filter.cachesCount()) filter.setCachedCount(count);
        for (std::int32_t index = std::max(link.getIndex(), 0); index < count;) {
            working = ComponentLink(++index, type, this);
            if (std::unique_ptr<ComponentSource> source = loadSource(working, &filter)) return source;
        }
        return nullptr;
    }
    for (std::int32_t index = link.getIndex(); index > 1;) {
        working = ComponentLink(--index, type, this);
        if (std::unique_ptr<ComponentSource> source = loadSource(working, &filter)) {
            filter.setCachedCount(0);   // counting down says nothing of the count
            return source;
        }
    }
    return nullptr;
}

std::int32_t Library::getPartCount() {
    std::int32_t count = 0;
    if (hostApi().call<host::HostSlot::getLibraryPartCount>(&count) != 0) {
        ++failedReads_;   // a walk that stops here has not seen every part
        return 0;
    }
    return std::max(count, 0);
}

// --- Searching -------------------------------------------------------------------------------------
std::int32_t Library::searchByName(const String& name, std::uint32_t& type) {
    KeptParts* const kept = keptParts();
    SearchKey key(type, std::string(name.getView()));
    std::int32_t index = 0;
    if (keptAnswer(kept != nullptr ? &kept->byName : nullptr, key, index, type)) return index;
    // 1. The document name with the requested type.
    host::LibraryPartRecord record{};
    record.type = static_cast<std::int32_t>(type);
    name.copyToUniChars(record.documentName, host::kLibraryNameChars);
    std::uint32_t result = searchPart(record);
    // 2. The document name of any type.
    if (result != 0) {
        disposeLocation(record);
        record = host::LibraryPartRecord{};
        name.copyToUniChars(record.documentName, host::kLibraryNameChars);
        result = searchPart(record);
    }
    // 3. The file name with the extension of part files, of any type.
    if (result != 0) {
        disposeLocation(record);
        record = host::LibraryPartRecord{};
        (name + ".gsm").copyToUniChars(record.fileName, host::kLibraryNameChars);
        result = searchPart(record);
    }
    index = foundIndex(result, record, type);
    if (kept != nullptr && index != 0) kept->byName.emplace(std::move(key), Found{index, type});
    return index;
}

std::int32_t Library::searchByGuid(const FamilyGuid& uniqueId, std::uint32_t& type) {
    KeptParts* const kept = keptParts();
    SearchKey key(type, std::string(uniqueId.getView()));
    std::int32_t index = 0;
    if (keptAnswer(kept != nullptr ? &kept->byGuid : nullptr, key, index, type)) return index;
    host::LibraryPartRecord record{};
    record.type = static_cast<std::int32_t>(type);
    uniqueId.copyTo(record.uniqueId, host::kUniqueIdBytes);
    const std::uint32_t result = searchPart(record);
    index = foundIndex(result, record, type);
    if (kept != nullptr && index != 0) kept->byGuid.emplace(std::move(key), Found{index, type});
    return index;
}

std::int32_t Library::searchByParentGuid(const FamilyGuid& parentId, std::uint32_t& type,
                                         std::int32_t start) {
    host::LibraryPartRecord record{};
    record.type = static_cast<std::int32_t>(type);
    record.index = start;
    parentId.copyTo(record.parentUniqueId, host::kUniqueIdBytes);
    const std::uint32_t result = searchPart(record);
    return foundIndex(result, record, type);
}

FamilyGuid Library::getUniqueId(std::int16_t index) {
    char text[host::kUniqueIdBytes] = {};
    if (hostApi().utilities(fourcc("GLUI"), &index, text) != 0) return FamilyGuid();
    return FamilyGuid(String(std::string_view(text, strnlen(text, sizeof text))));
}

std::int32_t Library::findByIndexGuid(std::int16_t index) {
    const FamilyGuid uniqueId = getUniqueId(index);
    if (!uniqueId.isValid()) return 0;
    std::uint32_t type = 0;
    return searchByGuid(uniqueId, type);
}

std::size_t Library::collectSubtypes(const ComponentLink& link, Vector<ComponentLink>& links) {
    const std::unique_ptr<ComponentSource> source = getSource(link);
    if (!source) return 0;
    const FamilyGuid parent = source->getUniqueId();
    // Each search starts after the part found last, with the type found last, so the walk ends even when
    // the host's search would find its start again.
    std::int32_t start = 0;
    std::uint32_t type = link.getType();
    for (;;) {
        const std::int32_t found = searchByParentGuid(parent, type, start);
        if (found <= start) break;
        links.push_back(std::make_unique<ComponentLink>(found, 0, this));
        start = found;
    }
    return links.size();
}

// --- Parts -----------------------------------------------------------------------------------------
std::unique_ptr<ComponentSource> Library::registerPart(const File& file, std::uint32_t type,
                                                       std::uint32_t owner) {
    if (!file.exists()) return nullptr;
    host::LibraryPartRecord record{};
    record.type = static_cast<std::int32_t>(type);
    record.ownerCode = owner;
    const HostLocation location(file.getLocation());
    record.location = location.get();
    forgetKeptParts();
    lastResult_ = hostApi().call<host::HostSlot::registerLibraryPart>(&record);
    if (lastResult_ != 0) {
        dropHandedOutLocation(record, location);
        return nullptr;
    }
    // makeSource frees the record's location: when the host left ours there, it gets a copy of its own.
    if (record.location == location.get()) record.location = HostLocation(file.getLocation()).release();
    ComponentLink link(record.index, type, this);
    return makeSource(record, link);
}

host::Handle Library::getParameters(const ComponentLink& link, std::int32_t* count, double* a, double* b) {
    if (count == nullptr) return nullptr;
    double defaultA = 0.0;
    double defaultB = 0.0;
    host::Handle parameters = nullptr;
    const std::uint32_t result = hostApi().call<host::HostSlot::getLibraryPartParameters>(
        link.getIndex(), &defaultA, &defaultB, count, &parameters);
    if (result != 0) {
        if (parameters != nullptr) hostApi().call<host::HostSlot::disposeParameters>(&parameters);
        return nullptr;
    }
    if (a != nullptr) *a = defaultA;
    if (b != nullptr) *b = defaultB;
    return parameters;
}

std::shared_ptr<const Library::PartDefaults> Library::getPartDefaults(const ComponentLink& link) {
    KeptParts* const kept = keptParts();
    if (kept != nullptr)
        if (const auto found = kept->defaults.find(link.getIndex()); found != kept->defaults.end())
            return found->second;
    std::int32_t count = -1;   // the host sets it when it answers
    auto defaults = std::make_shared<PartDefaults>();
    const host::Handle parameters = getParameters(link, &count, &defaults->width, &defaults->depth);
    if (parameters == nullptr && count != 0) return nullptr;   // failed, or records that went missing
    defaults->readable = defaults->parameters.readHandle(parameters);
    host::Handle released = parameters;
    ParameterList::releaseHandle(released);
    if (kept != nullptr) kept->defaults.emplace(link.getIndex(), defaults);
    return defaults;
}

namespace {

// The 'PARD' section (`built`, taken over) goes to the host with the part's details, which must be
// accepted first; null (and the host's result in `result`) when either fails. `part` is the record the
// details are set for.
MemoryBlock prepareParameterSection(ParametricSource& source, const host::LibraryPartRecord& part,
                                    host::Handle built, std::uint32_t& result) {
    MemoryBlock section(built);
    if (section.getHandle() == nullptr) {   // the parameters cannot be written: the save has failed
        result = host::kErrGeneral;
        return section;
    }
    host::Handle parameters = source.getSectionByType(fourcc("PARD"));
    result = hostApi().call<host::HostSlot::setLibraryPartDetails>(&part, parameters, &source.getDetails());
    ParameterList::releaseHandle(parameters);
    if (result != 0) section.clear();
    return section;
}

host::LibrarySectionHeader headerOf(std::uint32_t type) {
    host::LibrarySectionHeader header{};
    header.type = type;
    return header;
}

}   // namespace

bool Library::savePart(ComponentSource& source) {
    forgetKeptParts();
    auto* parametric = dynamic_cast<ParametricSource*>(&source);
    if (parametric == nullptr) return false;
    const HostLocation location(source.getLocation() != nullptr ? *source.getLocation() : FileLocation());
    host::LibraryPartRecord part = *source.getRecord();
    part.location = location.get();
    const std::uint32_t pard = fourcc("PARD");
    const std::uint32_t count = parametric->getSectionCount();

    // A part the host holds (and not one still missing, whose index may name another part): its sections
    // are written one by one.
    if (source.getIndex() != 0 && source.getLink().getLibrary() == this && source.getRecord()->missing == 0) {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t type = 0;
            const host::Handle handle = parametric->getSection(i, type);
            const host::LibrarySectionHeader header = headerOf(type);
            std::uint32_t result = 0;
            if (type == pard) {
                const MemoryBlock section = prepareParameterSection(*parametric, part, handle, result);
                if (result == 0)
                    result = hostApi().call<host::HostSlot::updateLibraryPartSection>(
                        source.getIndex(), &header, section.getHandle(), nullptr, nullptr);
            } else if (handle == nullptr) {
                continue;
            } else if (ComponentResourceMemo::isTextSection(type)) {
                const std::u16string text =
                    String(*handle, static_cast<std::uint32_t>(getHandleSize(handle))).toUniString();
                result = hostApi().call<host::HostSlot::updateLibraryPartSection>(
                    source.getIndex(), &header, nullptr, text.c_str(), nullptr);
            } else {
                result = hostApi().call<host::HostSlot::updateLibraryPartSection>(source.getIndex(), &header,
                                                                                  handle, nullptr, nullptr);
            }
            if (result != 0) {
                lastResult_ = result;
                return false;
            }
        }
        host::LibraryPartRecord fetched{};
        fetched.type = static_cast<std::int32_t>(source.getLink().getType());
        fetched.index = source.getIndex();
        if (hostApi().call<host::HostSlot::getLibraryPart>(&fetched) == 0) {
            source.setSavedCode(fetched.savedCode);
            source.setUniqueId(idText(fetched.uniqueId));
            source.setParentUniqueId(idText(fetched.parentUniqueId));
        }
        disposeLocation(fetched);
        return true;
    }

    // A new part: made of the sections, in order, while the host takes them. The details go to the part
    // being made (index 0), and the part is not missing once it is made.
    part.index = 0;
    part.missing = 0;
    std::int32_t overwrite = 1;
    hostApi().environment(fourcc("OWLP"), &overwrite);
    forgetKeptParts();
    lastResult_ = hostApi().call<host::HostSlot::createLibraryPart>(&part);
    overwrite = 0;
    hostApi().environment(fourcc("OWLP"), &overwrite);   // also when creating failed
    if (lastResult_ != 0) return false;
    bool allAdded = true;
    for (std::uint32_t i = 0; i < count && allAdded; ++i) {
        std::uint32_t type = 0;
        const host::Handle handle = parametric->getSection(i, type);
        const host::LibrarySectionHeader header = headerOf(type);
        std::uint32_t result = 0;
        if (type == pard) {
            const MemoryBlock section = prepareParameterSection(*parametric, part, handle, result);
            if (result == 0)
                result = hostApi().call<host::HostSlot::addLibraryPartSection>(&header, section.getHandle(),
                                                                               nullptr);
        } else {
            result = hostApi().call<host::HostSlot::addLibraryPartSection>(&header, handle, nullptr);
        }
        allAdded = result == 0;
    }
    // Finished also after a failed section, so that the host does not keep the part open.
    lastResult_ = hostApi().call<host::HostSlot::finishLibraryPart>(&part);
    dropHandedOutLocation(part, location);
    if (lastResult_ != 0 || !allAdded) return false;
    source.setLink(ComponentLink(part.index, static_cast<std::uint32_t>(part.type), this));
    source.getRecord()->missing = 0;
    source.setSavedCode(part.savedCode);
    source.setUniqueId(idText(part.uniqueId));
    source.setParentUniqueId(idText(part.parentUniqueId));
    return true;
}

// --- Files and folders -----------------------------------------------------------------------------
bool Library::deleteFile(const File& file) {
    const HostLocation location(file.getLocation());
    forgetKeptParts();
    lastResult_ = hostApi().environment(fourcc("DELI"), location.get(), reinterpret_cast<void*>(1));
    return lastResult_ == 0;
}

bool Library::deleteFiles(const Vector<File>& files) {
    std::vector<HostLocation> locations;
    MemoryBlock list;
    for (const auto& file : files) {
        if (!file) continue;
        locations.emplace_back(file->getLocation());
        char* location = locations.back().get();
        list.append(&location, sizeof location);
    }
    forgetKeptParts();
    lastResult_ = hostApi().environment(fourcc("DELS"), list.getHandle(), reinterpret_cast<void*>(1));
    return lastResult_ == 0;
}

FileList& Library::getFileList() {
    if (folders_) return *folders_;
    folders_ = std::make_unique<FileList>();
    currentFolder_ = -1;
    host::Handle infos = nullptr;
    std::int32_t current = -1;
    const std::uint32_t result = hostApi().environment(fourcc("GLIB"), &infos, &current);
    const std::vector<FileLocation> locations = takeLibraryInfo(infos);
    if (result != 0) return *folders_;   // an empty list
    for (std::size_t i = 0; i < locations.size(); ++i) {
        auto folder = std::make_unique<Directory>(locations[i]);
        if (!folder->exists()) continue;   // only folders are library folders
        if (static_cast<std::int32_t>(i) == current)
            currentFolder_ = static_cast<std::int32_t>(folders_->size());
        folders_->push_back(std::move(folder));
    }
    return *folders_;
}

std::unique_ptr<File> Library::getCurrentFolder() {
    const FileList& folders = getFileList();
    if (currentFolder_ < 0 || static_cast<std::size_t>(currentFolder_) >= folders.size()) return nullptr;
    return std::make_unique<Directory>(folders[static_cast<std::size_t>(currentFolder_)]->getLocation());
}

bool Library::hasFolderWithin(const File& file) {
    const FileLocation& outer = file.getLocation();
    if (outer.empty()) return false;
    for (const auto& entry : getFileList()) {
        if (!entry || !entry->isFolder()) continue;
        const FileLocation& inner = entry->getLocation();
        // A strict ancestor: every part of the outer location starts the inner one, which goes on.
        auto [outerEnd, innerAt] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
        if (outerEnd == outer.end() && innerAt != inner.end()) return true;
    }
    return false;
}

bool Library::setLibraries(const Vector<File>& files) {
    dropFileList();
    std::vector<HostLocation> locations;
    for (const auto& file : files)
        if (file) locations.emplace_back(file->getLocation());
    const MemoryBlock infos = libraryInfoOf(locations);
    return hostApi().environment(fourcc("SLIB"), infos.getHandle()) == 0;
}

bool Library::addLibrary(const File& file) {
    if (!file.exists()) return false;
    dropFileList();
    const HostLocation location(file.getLocation());
    return hostApi().environment(fourcc("ALIB"), location.get()) == 0;
}

bool Library::reload() {
    dropFileList();
    host::Handle infos = nullptr;
    std::int32_t current = -1;
    const std::uint32_t result = hostApi().environment(fourcc("GLIB"), &infos, &current);
    if (result != 0) {
        takeLibraryInfo(infos);
        return false;
    }
    const std::uint32_t reloaded = hostApi().automation(fourcc("LLIB"), infos);
    takeLibraryInfo(infos);
    return reloaded == 0;
}

// --- Source creators -------------------------------------------------------------------------------
void Library::registerSourceCreator(std::uint32_t type, SourceCreator creator) {
    if (creator == nullptr) return;
    auto& extra = registries().extra;
    if (!extra) extra = std::make_unique<CreatorMap>();
    extra->emplace(type, creator);
}

void Library::registerCreators() {
    auto creators = std::make_unique<CreatorMap>();
    creators->emplace(host::kLibraryDoor, &create<DoorSource, host::kLibraryDoor>);
    creators->emplace(host::kLibraryLabel, &create<LabelSource, host::kLibraryLabel>);
    creators->emplace(host::kLibraryLamp, &create<LampSource, host::kLibraryLamp>);
    creators->emplace(host::kLibraryMacro, &create<MacroSource, host::kLibraryMacro>);
    creators->emplace(host::kLibraryPicture, &create<PictureSource, host::kLibraryPicture>);
    creators->emplace(host::kLibraryObject, &create<ObjectSource, host::kLibraryObject>);
    creators->emplace(host::kLibraryProperty, &create<PropertySource, host::kLibraryProperty>);
    creators->emplace(host::kLibraryZone, &create<ZoneSource, host::kLibraryZone>);
    creators->emplace(host::kLibraryWindow, &create<WindowSource, host::kLibraryWindow>);
    creators->emplace(host::kLibrarySkylight, &create<SkylightSource, host::kLibrarySkylight>);
    registries().builtIn = std::move(creators);
}

void Library::unregisterCreators() {
    registries().builtIn.reset();
    registries().extra.reset();
}

}   // namespace tarnwick

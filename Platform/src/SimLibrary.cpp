#include "SimLibrary.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>

#include "FourCC.h"
#include "HostGuid.h"
#include "HostText.h"

namespace host {
namespace {

constexpr std::uint32_t kParameterSection = fourcc("PARD");

// The text of a zero-terminated field of `size` bytes; nullopt when it has no terminator.
std::optional<std::string> fieldText(const char* field, std::size_t size) {
    const std::size_t length = strnlen(field, size);
    if (length == size) return std::nullopt;
    return std::string(field, length);
}

template <std::size_t N>
std::optional<std::string> takeName(const char16_t (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != 0) ++length;
    if (length == N) return std::nullopt;   // no terminator inside the field
    return utf16ToUtf8(std::u16string_view(field, length));
}

template <std::size_t N>
void putName(char16_t (&field)[N], const std::string& utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(text.begin(), std::min(text.size(), N - 1), field);
}

template <std::size_t N>
void putBytes(char (&field)[N], const std::string& text) {
    std::fill(std::begin(field), std::end(field), '\0');
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// A location handed in: a live pointer block holding a zero-terminated path.
Result takeLocation(const char* location, std::string& path) {
    if (!location) return kErrBadParameters;
    Ptr block = const_cast<Ptr>(location);
    if (!isLivePtr(block)) return kErrBadHandle;
    const auto text = fieldText(location, getPtrSize(block));
    if (!text || text->empty()) return kErrBadParameters;
    path = *text;
    return kNoError;
}

Result newLocation(const std::string& path, char*& location) {
    location = newPtr(path.size() + 1, true);
    if (!location) return kErrMemFull;
    std::memcpy(location, path.data(), path.size());
    return kNoError;
}

std::string newUniqueId() {
    return "{" + guidToText(generateGuid()) + "}-{" + guidToText(generateGuid()) + "}";
}

template <typename T>
void append(std::vector<unsigned char>& bytes, const T& value) {
    const auto* raw = reinterpret_cast<const unsigned char*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

// The sizes A and B follow the parameters of those names, when they hold a number.
void takeSizes(const std::vector<SimParameter>& parameters, double& a, double& b) {
    for (const SimParameter& parameter : parameters) {
        const ParameterRecord record = parameter.head();
        if (record.modifier != kParameterScalar || record.type == kParameterString) continue;
        const auto name = fieldText(record.name, sizeof record.name);
        if (name == "A") a = record.value.real;
        if (name == "B") b = record.value.real;
    }
}

}   // namespace

bool SimLibrary::isTextSection(std::uint32_t type) {
    static constexpr std::uint32_t kTexts[] = {fourcc("1DSC"), fourcc("2DSC"), fourcc("3DSC"), fourcc("CTXT"),
                                               fourcc("VLSC"), fourcc("UISC"), fourcc("PRSC"), fourcc("FMSC"),
                                               fourcc("BMSC"), fourcc("CPYR")};
    return std::find(std::begin(kTexts), std::end(kTexts), type) != std::end(kTexts);
}

// --- Records and lookups ---------------------------------------------------------------------------
Result SimLibrary::putRecord(const SimLibraryPart& part, std::int32_t index, LibraryPartRecord& record) {
    char* location = nullptr;
    if (part.location)
        if (Result r = newLocation(*part.location, location)) return r;
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    record.type = part.type;
    record.index = index;
    putName(record.documentName, part.name);
    putName(record.fileName, part.fileName);
    record.missing = 0;
    record.option = part.option;
    record.placeable = part.placeable ? 1 : 0;
    record.ownerCode = part.owner;
    record.savedCode = part.savedCode;
    record.location = location;
    putBytes(record.uniqueId, part.uniqueId);
    putBytes(record.parentUniqueId, part.parentId);
    return kNoError;
}

SimLibraryIndex& SimLibrary::indexed() const { return work_.index; }

std::int32_t SimLibrary::findByUniqueId(const std::string& text, std::int32_t type, std::int32_t after,
                                        bool parent, bool onlyPlaceable) const {
    UniqueId wanted;
    if (!UniqueId::parse(text, wanted)) return 0;
    return indexed().findByUniqueId(project_.state.libraryParts, wanted, type, after, parent, onlyPlaceable);
}

Result SimLibrary::search(LibraryPartRecord& part, bool createIfMissing, bool onlyPlaceable) const {
    if (createIfMissing) return kErrBadParameters;   // this host makes parts only through create and finish
    if (part.type < 0 || part.type > kLibraryLastType) return kErrBadParameters;
    const auto uniqueId = fieldText(part.uniqueId, sizeof part.uniqueId);
    const auto parentId = fieldText(part.parentUniqueId, sizeof part.parentUniqueId);
    const auto documentName = takeName(part.documentName);
    const auto fileName = takeName(part.fileName);
    if (!uniqueId || !parentId || !documentName || !fileName) return kErrBadParameters;
    std::int32_t found = 0;
    if (!uniqueId->empty()) {
        found = findByUniqueId(*uniqueId, part.type, 0, false, onlyPlaceable);
    } else if (!parentId->empty()) {
        found = findByUniqueId(*parentId, part.type, std::max(part.index, 0), true, onlyPlaceable);
    } else if (!documentName->empty() || !fileName->empty()) {
        const bool byFile = documentName->empty();
        found = indexed().findByName(project_.state.libraryParts, byFile ? *fileName : *documentName, byFile,
                                     part.type, onlyPlaceable, /*last=*/false);
    } else {
        return kErrBadParameters;   // nothing to search by
    }
    if (found == 0) return kErrBadName;
    return putRecord(*project_.findLibraryPart(found), found, part);
}

Result SimLibrary::get(LibraryPartRecord& part) const {
    const SimLibraryPart* found = project_.findLibraryPart(part.index);
    if (!found) return kErrBadIndex;
    return putRecord(*found, part.index, part);
}

// --- Making a part ---------------------------------------------------------------------------------
Result SimLibrary::create(const LibraryPartRecord& part) {
    if (work_.making) return kErrRefusedCommand;   // one part at a time
    if (part.type < kLibrarySpecification || part.type > kLibraryLastType) return kErrBadParameters;
    const auto name = takeName(part.documentName);
    const auto fileName = takeName(part.fileName);
    const auto uniqueId = fieldText(part.uniqueId, sizeof part.uniqueId);
    const auto parentId = fieldText(part.parentUniqueId, sizeof part.parentUniqueId);
    if (!name || !fileName || !uniqueId || !parentId) return kErrBadParameters;
    if (name->empty()) return kErrBadName;
    UniqueId parsed;
    if ((!uniqueId->empty() && !UniqueId::parse(*uniqueId, parsed)) ||
        (!parentId->empty() && !UniqueId::parse(*parentId, parsed)))
        return kErrBadParameters;
    const auto& parts = project_.state.libraryParts;
    const std::int32_t replacing = indexed().findByName(parts, *name, /*fileName=*/false, /*type=*/0,
                                                        /*onlyPlaceable=*/false, /*last=*/true);
    if (replacing != 0 && !work_.overwrite) return kErrBadName;
    if (!uniqueId->empty()) {
        const std::int32_t holder = findByUniqueId(*uniqueId, 0, 0, false, false);
        if (holder != 0 && holder != replacing && parts[holder - 1].uniqueId == *uniqueId) return kErrBadName;
    }
    SimLibraryPart made;
    made.type = part.type;
    made.name = *name;
    made.fileName = fileName->empty() ? *name : *fileName;
    if (part.location) {
        std::string path;
        if (Result r = takeLocation(part.location, path)) return r;
        made.location = path;
    }
    made.placeable = part.placeable != 0;
    made.option = part.option;
    made.owner = part.ownerCode;
    made.uniqueId = uniqueId->empty() ? newUniqueId() : *uniqueId;
    made.parentId = *parentId;
    if (replacing != 0) made.savedCode = static_cast<std::int16_t>(parts[replacing - 1].savedCode + 1);
    work_.making = std::move(made);
    work_.replacing = replacing;
    return kNoError;
}

Result SimLibrary::putSection(SimLibraryPart& part, const LibrarySectionHeader& header, Handle bytes,
                              const char16_t* text) {
    if (header.type == 0 || (bytes && text)) return kErrBadParameters;
    SimSection section;
    section.type = header.type;
    section.subIdent = header.subIdent;
    if (text) {
        const std::string utf8 = utf16ToUtf8(text);
        section.bytes.assign(utf8.begin(), utf8.end());
        section.bytes.push_back(0);
    } else if (bytes) {
        if (!isLiveHandle(bytes)) return kErrBadHandle;
        const std::size_t size = getHandleSize(bytes);
        if (size > 0) section.bytes.assign(*bytes, *bytes + size);
    }
    if (header.type == kParameterSection) {
        std::vector<SimParameter> parameters;
        double a = part.a, b = part.b;
        if (!readParameterSection(section.bytes, parameters, a, b)) return kErrBadParameters;
        part.parameters = std::move(parameters);
        part.a = a;
        part.b = b;
    }
    const auto found = std::find_if(part.sections.begin(), part.sections.end(),
                                    [&](const SimSection& s) { return s.type == header.type; });
    if (found != part.sections.end())
        *found = std::move(section);
    else
        part.sections.push_back(std::move(section));
    return kNoError;
}

Result SimLibrary::addSection(const LibrarySectionHeader& header, Handle bytes, const char16_t* text) {
    if (!work_.making) return kErrRefusedCommand;
    return putSection(*work_.making, header, bytes, text);
}

Result SimLibrary::finish(LibraryPartRecord& part) {
    if (!work_.making) return kErrRefusedCommand;
    auto& parts = project_.state.libraryParts;
    std::int32_t index = work_.replacing;
    if (index != 0) {
        parts[index - 1] = std::move(*work_.making);
    } else {
        parts.push_back(std::move(*work_.making));
        index = static_cast<std::int32_t>(parts.size());
    }
    work_.making.reset();
    work_.replacing = 0;
    return putRecord(parts[index - 1], index, part);
}

// --- Sections, details, parameters -----------------------------------------------------------------
Result SimLibrary::sectionList(std::int32_t index, std::int32_t& count, Handle& headers) const {
    count = 0;
    headers = nullptr;
    const SimLibraryPart* part = project_.findLibraryPart(index);
    if (!part) return kErrBadIndex;
    if (part->sections.empty()) return kNoError;
    std::vector<LibrarySectionHeader> list;
    for (const SimSection& section : part->sections) {
        LibrarySectionHeader header{};
        header.type = section.type;
        header.subIdent = section.subIdent;
        header.length = static_cast<std::int32_t>(section.bytes.size());
        list.push_back(header);
    }
    headers = newHandle(list.size() * sizeof(LibrarySectionHeader), false);
    if (!headers) return kErrMemFull;
    std::memcpy(*headers, list.data(), list.size() * sizeof(LibrarySectionHeader));
    count = static_cast<std::int32_t>(list.size());
    return kNoError;
}

Result SimLibrary::section(std::int32_t index, const LibrarySectionHeader& header, Handle& bytes,
                           Handle* text) const {
    bytes = nullptr;
    if (text) *text = nullptr;
    const SimLibraryPart* part = project_.findLibraryPart(index);
    if (!part) return kErrBadIndex;
    const auto found = std::find_if(part->sections.begin(), part->sections.end(),
                                    [&](const SimSection& s) { return s.type == header.type; });
    if (found == part->sections.end()) return kErrBadName;
    Handle made = newHandle(found->bytes.size(), false);
    if (!made) return kErrMemFull;
    if (!found->bytes.empty()) std::memcpy(*made, found->bytes.data(), found->bytes.size());
    if (text && isTextSection(header.type)) {
        const auto* start = reinterpret_cast<const char*>(found->bytes.data());
        const std::u16string units =
            utf8ToUtf16(std::string_view(start, strnlen(start, found->bytes.size())));
        *text = newHandle(units.size() * sizeof(char16_t), false);
        if (!*text) {
            disposeHandle(made);
            return kErrMemFull;
        }
        if (!units.empty()) std::memcpy(**text, units.data(), units.size() * sizeof(char16_t));
    }
    bytes = made;
    return kNoError;
}

Result SimLibrary::updateSection(std::int32_t index, const LibrarySectionHeader& header, Handle bytes,
                                 const char16_t* text) {
    SimLibraryPart* part = project_.findLibraryPart(index);
    if (!part) return kErrBadIndex;
    SimLibraryPart changed = *part;   // a refused section leaves the part as it was
    if (Result r = putSection(changed, header, bytes, text)) return r;
    ++changed.savedCode;
    *part = std::move(changed);
    return kNoError;
}

Result SimLibrary::details(std::int32_t index, LibraryPartDetails& details) const {
    const SimLibraryPart* part = project_.findLibraryPart(index);
    if (!part) return kErrBadIndex;
    std::memset(&details, 0, sizeof details);
    std::copy_n(part->details.begin(), std::min(part->details.size(), sizeof details.bytes), details.bytes);
    return kNoError;
}

Result SimLibrary::setDetails(const LibraryPartRecord& record, Handle parameters,
                              const LibraryPartDetails& details) {
    SimLibraryPart* part = nullptr;
    if (record.index == 0)
        part = work_.making ? &*work_.making : nullptr;
    else
        part = project_.findLibraryPart(record.index);
    if (!part) return record.index == 0 ? kErrRefusedCommand : kErrBadIndex;
    if (parameters) {
        std::vector<SimParameter> taken;
        if (Result r = parametersFromHandle(parameters, taken)) return r;
        takeSizes(taken, part->a, part->b);
        part->parameters = std::move(taken);
    }
    part->details.assign(details.bytes, details.bytes + sizeof details.bytes);
    if (record.index != 0) ++part->savedCode;
    return kNoError;
}

Result SimLibrary::registerPart(LibraryPartRecord& record) {
    if (record.type < kLibrarySpecification || record.type > kLibraryLastType) return kErrBadParameters;
    std::string path;
    if (Result r = takeLocation(record.location, path)) return r;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return kErrFile;
    // The record keeps the caller's location block: a second block would have no owner.
    char* const callers = record.location;
    const auto answer = [&](const SimLibraryPart& part, std::int32_t index) {
        SimLibraryPart withoutLocation = part;
        withoutLocation.location.reset();
        putRecord(withoutLocation, index, record);   // allocates nothing without a location
        record.location = callers;
        return kNoError;
    };
    auto& parts = project_.state.libraryParts;
    for (std::size_t i = 0; i < parts.size(); ++i)   // a file loaded already keeps its part
        if (!parts[i].deleted && parts[i].location == path) return answer(parts[i], std::int32_t(i) + 1);
    SimLibraryPart made;
    const std::filesystem::path file(path);
    made.type = record.type;
    made.name = file.stem().string();
    made.fileName = file.filename().string();
    made.location = path;
    made.placeable = record.placeable != 0;
    made.option = record.option;
    made.owner = record.ownerCode;
    made.uniqueId = newUniqueId();
    parts.push_back(std::move(made));
    return answer(parts.back(), static_cast<std::int32_t>(parts.size()));
}

Result SimLibrary::parameters(std::int32_t index, double* a, double* b, std::int32_t* count,
                              Handle& parameters) const {
    parameters = nullptr;
    const SimLibraryPart* part = project_.findLibraryPart(index);
    if (!part) return kErrBadIndex;
    if (Result r = parametersToHandle(part->parameters, parameters)) return r;
    if (a) *a = part->a;
    if (b) *b = part->b;
    if (count) *count = static_cast<std::int32_t>(part->parameters.size());
    return kNoError;
}

// The bytes of a 'PARD' section (this host's form): A and B as doubles, the 32-bit record count and
// four zero bytes, then per parameter its record (an array's value field zero), the 32-bit size of
// its array bytes, four zero bytes and the array bytes.
Result SimLibrary::makeParameterSection(Handle parameters, double a, double b, Handle& section) {
    section = nullptr;
    std::vector<SimParameter> taken;
    if (Result r = parametersFromHandle(parameters, taken)) return r;
    std::vector<unsigned char> bytes;
    append(bytes, a);
    append(bytes, b);
    append(bytes, static_cast<std::int32_t>(taken.size()));
    append(bytes, std::int32_t{0});
    for (const SimParameter& parameter : taken) {
        const ParameterBytes::Bytes record = parameter.record.bytes();
        bytes.insert(bytes.end(), record.begin(), record.end());
        append(bytes, static_cast<std::uint32_t>(parameter.arrayBytes.size()));
        append(bytes, std::int32_t{0});
        bytes.insert(bytes.end(), parameter.arrayBytes.begin(), parameter.arrayBytes.end());
    }
    section = newHandle(bytes.size(), false);
    if (!section) return kErrMemFull;
    std::memcpy(*section, bytes.data(), bytes.size());
    return kNoError;
}

bool SimLibrary::readParameterSection(const std::vector<unsigned char>& bytes,
                                      std::vector<SimParameter>& parameters, double& a, double& b) {
    std::size_t at = 0;
    const auto take = [&](void* out, std::size_t size) {
        if (bytes.size() - at < size) return false;
        std::memcpy(out, bytes.data() + at, size);
        at += size;
        return true;
    };
    double sizes[2];
    std::int32_t count = 0, zero = 0;
    if (!take(sizes, sizeof sizes) || !take(&count, sizeof count) || !take(&zero, sizeof zero) || count < 0)
        return false;
    std::vector<SimParameter> read;
    for (std::int32_t i = 0; i < count; ++i) {
        SimParameter parameter;
        std::uint32_t arraySize = 0;
        ParameterBytes::Bytes recordBytes;
        if (!take(recordBytes.data(), recordBytes.size()) || !take(&arraySize, sizeof arraySize) ||
            !take(&zero, sizeof zero) || bytes.size() - at < arraySize)
            return false;
        parameter.record.assign(recordBytes.data());
        parameter.arrayBytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(at + arraySize));
        at += arraySize;
        const ParameterRecord record = parameter.head();
        if (record.modifier != kParameterScalar && record.modifier != kParameterArray) return false;
        if (record.modifier == kParameterScalar && arraySize != 0) return false;
        read.push_back(std::move(parameter));
    }
    if (at != bytes.size()) return false;
    parameters = std::move(read);
    a = sizes[0];
    b = sizes[1];
    return true;
}

// --- Unique ids -------------------------------------------------------------------------------------
Result SimLibrary::uniqueIdText(std::int32_t index, char* text) const {
    const SimLibraryPart* part = project_.findLibraryPart(index);
    if (!part) return kErrBadIndex;
    std::memset(text, 0, kUniqueIdBytes);
    std::memcpy(text, part->uniqueId.data(), std::min(part->uniqueId.size(), kUniqueIdBytes - 1));
    return kNoError;
}

Result SimLibrary::family(const char* a, const char* b) const {
    UniqueId first, second;
    if (!UniqueId::parse(a, first) || !UniqueId::parse(b, second)) return kErrBadParameters;
    if (first.sameMain(second)) return kNoError;
    // Up the parents of a's part; a chain that comes back on itself ends.
    SimLibraryIndex& index = indexed();
    const auto& parts = project_.state.libraryParts;
    std::set<std::int32_t> seen;
    for (std::int32_t at = index.findByUniqueId(parts, first, 0, 0, false, false);
         at != 0 && seen.insert(at).second;) {
        const UniqueId* const up = index.idOf(parts, at, /*parent=*/true);
        if (!up) break;
        if (up->sameMain(second)) return kNoError;
        at = index.findByUniqueId(parts, *up, 0, 0, false, false);
    }
    return kErrBadName;
}

Result SimLibrary::compare(const char* a, const char* b) const {
    UniqueId first, second;
    if (!UniqueId::parse(a, first) || !UniqueId::parse(b, second) || !first.sameMain(second))
        return kErrBadParameters;
    if (first.sameText(second)) return kNoError;
    // Loaded order: the index of the first part that carries exactly this text; 0 when none.
    SimLibraryIndex& index = indexed();
    const auto& parts = project_.state.libraryParts;
    const auto loadedAt = [&](const UniqueId& wanted) {
        const std::int32_t at = index.findByUniqueId(parts, wanted, 0, 0, false, false);
        const UniqueId* const id = index.idOf(parts, at, /*parent=*/false);
        return id != nullptr && id->sameText(wanted) ? at : 0;
    };
    const std::int32_t at = loadedAt(first), other = loadedAt(second);
    if (at == 0 && other == 0) return kErrBadParameters;   // neither is loaded: no order to tell
    return at < other ? kErrOlderRevision : kErrNewerRevision;
}

// --- Folders -----------------------------------------------------------------------------------------
Result SimLibrary::folders(Handle& records, std::int32_t& current) const {
    records = nullptr;
    const auto& list = project_.state.libraryFolders;
    std::vector<LibraryInfoRecord> infos(list.size());
    const auto release = [&] {
        for (LibraryInfoRecord& info : infos) disposePtr(info.location);
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::memset(static_cast<void*>(&infos[i]), 0, sizeof infos[i]);
        if (newLocation(list[i], infos[i].location) != kNoError) {
            release();
            return kErrMemFull;
        }
    }
    if (!infos.empty()) {
        records = newHandle(infos.size() * sizeof(LibraryInfoRecord), false);
        if (!records) {
            release();
            return kErrMemFull;
        }
        std::memcpy(*records, infos.data(), infos.size() * sizeof(LibraryInfoRecord));
    }
    current = project_.state.currentLibrary;
    return kNoError;
}

Result SimLibrary::setFolders(Handle records) {
    if (records && !isLiveHandle(records)) return kErrBadHandle;
    const std::size_t size = getHandleSize(records);
    if (size % sizeof(LibraryInfoRecord) != 0) return kErrBadParameters;
    std::vector<std::string> list;
    for (std::size_t i = 0; i < size / sizeof(LibraryInfoRecord); ++i) {
        LibraryInfoRecord info;
        std::memcpy(static_cast<void*>(&info), *records + i * sizeof info, sizeof info);
        std::string path;
        if (Result r = takeLocation(info.location, path)) return r;
        std::error_code error;
        if (!std::filesystem::is_directory(path, error)) return kErrFile;
        if (std::find(list.begin(), list.end(), path) == list.end()) list.push_back(path);
    }
    auto& state = project_.state;
    const std::string current =
        state.currentLibrary >= 0 && std::size_t(state.currentLibrary) < state.libraryFolders.size()
            ? state.libraryFolders[std::size_t(state.currentLibrary)]
            : std::string();
    const auto kept = std::find(list.begin(), list.end(), current);
    state.currentLibrary =
        !current.empty() && kept != list.end() ? static_cast<std::int32_t>(kept - list.begin()) : -1;
    state.libraryFolders = std::move(list);
    return kNoError;
}

Result SimLibrary::addFolder(const char* location) {
    std::string path;
    if (Result r = takeLocation(location, path)) return r;
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) return kErrFile;
    auto& list = project_.state.libraryFolders;
    if (std::find(list.begin(), list.end(), path) == list.end()) list.push_back(path);
    return kNoError;
}

Result SimLibrary::deleteFiles(const std::vector<const char*>& locations, bool fromDisk) {
    std::vector<std::string> paths;
    for (const char* location : locations) {
        std::string path;
        if (Result r = takeLocation(location, path)) return r;
        std::error_code error;
        const bool loaded =
            std::any_of(project_.state.libraryParts.begin(), project_.state.libraryParts.end(),
                        [&](const SimLibraryPart& p) { return !p.deleted && p.location == path; });
        if (!loaded && !std::filesystem::is_regular_file(path, error)) return kErrFile;
        paths.push_back(path);
    }
    for (const std::string& path : paths) {
        for (SimLibraryPart& part : project_.state.libraryParts)
            if (part.location == path) part.deleted = true;
        std::error_code error;
        if (fromDisk) std::filesystem::remove(path, error);
    }
    return kNoError;
}

}   // namespace host

#include "SimulatedHost.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <set>
#include <sstream>
#include <utility>

#include "FourCC.h"
#include "HostDialogLibrary.h"
#include "HostDialogs.h"
#include "HostMemory.h"
#include "HostModel3D.h"
#include "HostText.h"
#include "SimAttributeTable.h"
#include "SimCallRules.h"
#include "SimClassification.h"
#include "SimElementKinds.h"
#include "SimIFC.h"
#include "SimImages.h"
#include "SimLibrary.h"
#include "SimModelView.h"
#include "SimParameters.h"
#include "SimProperty.h"
#include "SimShapes.h"
#include "SimText.h"
#include "SimToolDefaults.h"
#include "SimUserData.h"
#include "SimZoom.h"

namespace host {

// What the module holds as its context: the host and the module's own record. Live contexts are
// registered, so a stale or foreign one is answered with an error instead of being followed.
struct HostContext {
    SimulatedHost* host = nullptr;
    SimulatedHost::LoadedAddon* addon = nullptr;
};

namespace {

enum class Stage { loaded, checking, registering, initializing, running, freeing };

std::set<const HostContext*>& liveContexts() {
    static std::set<const HostContext*> contexts;
    return contexts;
}

// Element type to part-reference id; every other type has none (0).
constexpr std::pair<std::int32_t, std::int32_t> kPartReferenceIds[] = {
    {1, 1},   {2, 5},   {3, 6},   {4, 10},  {5, 12},  {6, 13},  {7, 14},  {8, 15},  {9, 17},
    {10, 21}, {11, 27}, {12, 28}, {13, 29}, {14, 31}, {15, 32}, {16, 33}, {17, 34}, {18, 38},
    {19, 40}, {21, 44}, {22, 46}, {23, 48}, {24, 50}, {25, 51}, {26, 53}, {29, 55}, {31, 57},
};

std::int32_t partReferenceId(std::int32_t type) {
    for (const auto& [t, id] : kPartReferenceIds)
        if (t == type) return id;
    return 0;
}

// Zeroes a record byte for byte (padding too); the records hold guids, whose type is not trivial.
template <typename Record>
void zeroRecord(Record& record) {
    std::memset(static_cast<void*>(&record), 0, sizeof record);
}

// An add-on's name as the call log keeps it: one text per name, for as long as the process runs.
std::string_view loggedName(const std::string& name) {
    static auto* const names = new std::set<std::string>;
    return *names->insert(name).first;
}

// Takes the bytes of `in` that `bits` marks into `to`, eight at a time where it can.
void mergeMasked(unsigned char* to, const void* in, const void* bits, std::size_t size) {
    const auto* from = static_cast<const unsigned char*>(in);
    const auto* mask = static_cast<const unsigned char*>(bits);
    std::size_t at = 0;
    for (std::uint64_t word[3]; at + 8 <= size; at += 8) {   // to, from, mask
        std::memcpy(&word[0], to + at, 8);
        std::memcpy(&word[1], from + at, 8);
        std::memcpy(&word[2], mask + at, 8);
        word[0] = (word[0] & ~word[2]) | (word[1] & word[2]);
        std::memcpy(to + at, &word[0], 8);
    }
    for (; at < size; ++at) to[at] = static_cast<unsigned char>((to[at] & ~mask[at]) | (from[at] & mask[at]));
}

// Copies text into a fixed field of 16-bit characters, cut to leave room for the terminator.
template <std::size_t N>
void putText(char16_t (&field)[N], const std::string& utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    const std::size_t length = std::min(text.size(), N - 1);
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(text.begin(), length, field);
}

// The same for a field that may be filled to its end, without a terminator.
template <std::size_t N>
void putFullText(char16_t (&field)[N], const std::string& utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(text.begin(), std::min(text.size(), N), field);
}

template <std::size_t N>
std::string takeText(const char16_t (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != 0) ++length;
    return utf16ToUtf8(std::u16string_view(field, length));
}

// A project note into its field; the project keeps at most the field's size, so nothing is cut.
void putNote(char (&field)[kProjectNoteBytes], const std::string& utf8) {
    std::fill(std::begin(field), std::end(field), '\0');
    std::copy_n(utf8.begin(), std::min(utf8.size(), kProjectNoteBytes), field);
}

std::string toUtf8(const char16_t* text) { return text ? utf16ToUtf8(text) : std::string(); }

// A new handle holding the bytes; kErrMemFull when the memory manager fails.
Result newHandleWith(const void* bytes, std::size_t size, Handle& handle) {
    handle = newUnfilledHandle(size);
    if (!handle) return kErrMemFull;
    if (size > 0) std::memcpy(*handle, bytes, size);
    return kNoError;
}

Result newTextHandle(const std::u16string& text, Handle& handle) {
    return newHandleWith(text.data(), text.size() * sizeof(char16_t), handle);
}

// Runs an add-on callback; an exception that escapes it must not reach the host's caller.
template <typename Call>
Result guarded(Call&& call) {
    try {
        return call();
    } catch (...) {
        return kErrCommandException;
    }
}

std::string fieldText(const char16_t* field, std::size_t chars) {
    std::size_t length = 0;
    while (length < chars && field[length] != 0) ++length;   // a field without its zero is cut at its end
    return utf16ToUtf8(std::u16string_view(field, length));
}

}   // namespace

struct SimulatedHost::LoadedAddon {
    std::unique_ptr<AddonModule> module;
    HostContext context;
    HostFunctionTable table{};   // the module's copy stays valid while it is loaded
    AddonExports exports{};
    Stage stage = Stage::loaded;
    std::string name;
    std::string_view loggedName;   // the name as the call log keeps it
    std::string description;
    std::vector<MenuRecord> menus;
    std::uint32_t notificationMask = 0;
    HostProjectHandler projectHandler = nullptr;
    HostModuleDataMergeHandler mergeHandler = nullptr;
    struct Service {
        std::uint32_t commandId = 0;
        std::int32_t version = 0;
        HostAddonCommandHandler handler = nullptr;
    };
    std::vector<Service> services;

    LoadedAddon() { liveContexts().insert(&context); }
    ~LoadedAddon() { liveContexts().erase(&context); }
    LoadedAddon(const LoadedAddon&) = delete;
    LoadedAddon& operator=(const LoadedAddon&) = delete;

    MenuRecord* menu(std::int16_t listId) {
        for (auto& m : menus)
            if (m.listId == listId) return &m;
        return nullptr;
    }
};

// --- The slot bodies and the one dispatch point -------------------------------------------------
struct SimulatedHost::Internals : SimIFCSlots, SimClassificationSlots, SimPropertySlots, SimUserDataSlots {
    using Addon = SimulatedHost::LoadedAddon;

    static std::optional<Result> takeFault(SimulatedHost& host, HostSlot slot, std::uint32_t code) {
        std::optional<Result> forced;
        for (auto& fault : host.faults_) {
            if (fault.key.slot && *fault.key.slot != slot) continue;
            if (fault.key.code && *fault.key.code != code) continue;
            if (fault.nth != 0 && fault.seen >= fault.nth) continue;   // spent
            ++fault.seen;
            if (!forced && (fault.nth == 0 || fault.seen == fault.nth)) forced = fault.result;
        }
        return forced;
    }

    // Every slot comes here: the call log, the faults and the rules of SimCallRules live in this one place.
    template <typename Body>
    static Result answer(SimulatedHost& host, Addon& addon, HostSlot slot, std::uint32_t code, Body&& body) {
        host.calls_.push_back({slot, code, kNoError, addon.loggedName});
        // Nested calls log after this one; a log cleared meanwhile (a test may) has no entry for it.
        const std::size_t at = host.calls_.size() - 1;
        const std::uint64_t clears = host.callLogClears_;
        Result result;
        if (auto forced = takeFault(host, slot, code)) {
            result = *forced;
        } else if (!host.projectOpen_ && needsOpenProject(slot, code)) {
            result = kErrNoProject;
        } else if (host.commandDepth_ == 0 && needsUndoScope(slot, code)) {
            result = kErrOutsideUndoScope;
        } else {
            try {
                result = body();
            } catch (const std::bad_alloc&) {
                result = kErrMemFull;
            } catch (...) {
                result = kErrGeneral;
            }
        }
        if (host.callLogClears_ == clears) host.calls_[at].result = result;
        return result;
    }

    // --- Helpers of the project's bodies -----------------------------------------------------------
    static SimProject& project(SimulatedHost& host) { return host.project_; }

    static bool insideCommand(const SimulatedHost& host) { return host.commandDepth_ > 0; }

    // The element of the current database with that guid, or null.
    static SimElement* currentElement(SimulatedHost& host, const GuidBytes& guid) {
        SimElement* element = host.project_.findElement(guid);
        return element && SimProject::inDatabase(*element, host.project_.view.currentDatabase) ? element
                                                                                               : nullptr;
    }

    // In a shared project, an element another member holds.
    static bool heldByOther(const SimProject& p, const ElementHead& head) {
        return p.state.teamwork.shared && head.ownerId != 0 && head.ownerId != p.state.teamwork.memberId;
    }

    static bool editable(const SimProject& p, const ElementHead& head) {
        return !heldByOther(p, head) && head.locked == 0 && isNullGuid(toGuidBytes(head.secondIdentifier));
    }

    // The filter test of the element lists: kErrBadParameters for a renovation filter the project lacks.
    static Result passesFilter(const SimProject& p, const SimElement& element, std::uint32_t flags,
                               std::int32_t variation, const GuidRecord* renovation, bool& passes) {
        const ElementHead head = element.head();
        passes = true;
        if (variation != 0 && head.variation != variation) passes = false;
        if ((flags & kFilterInWorkspace) && heldByOther(p, head)) passes = false;
        if ((flags & kFilterNotHotlinked) && !isNullGuid(toGuidBytes(head.secondIdentifier))) passes = false;
        if ((flags & kFilterShownLayer) && p.layerHidden(head.layer)) passes = false;
        if (flags & kFilterRenovation) {
            GuidBytes chosen = renovation ? toGuidBytes(*renovation) : GuidBytes{};
            if (isNullGuid(chosen)) chosen = p.state.activeRenovationFilter;
            if (!isNullGuid(chosen)) {   // no filter at all shows everything
                const auto& filters = p.state.renovationFilters;
                const auto found =
                    std::find_if(filters.begin(), filters.end(),
                                 [&](const SimRenovationFilter& f) { return f.guid == chosen; });
                if (found == filters.end()) return kErrBadParameters;
                if (std::find(found->shownStatuses.begin(), found->shownStatuses.end(), head.phase) ==
                    found->shownStatuses.end())
                    passes = false;
            }
        }
        return kNoError;
    }

    static Result guidListHandle(const std::vector<GuidBytes>& guids, Handle& handle) {
        handle = nullptr;
        if (guids.empty()) return kNoError;
        return newHandleWith(guids.data(), guids.size() * sizeof(GuidBytes), handle);
    }

    // Heads from a handle: kErrBadParameters when the handle is unknown or holds fewer than `count`.
    static Result headsOf(Handle heads, std::int32_t count, std::vector<ElementHead>& out) {
        if (count < 0) return kErrBadParameters;
        if (count == 0) return kNoError;
        if (!heads || !isLiveHandle(heads)) return kErrBadHandle;
        if (getHandleSize(heads) < static_cast<std::size_t>(count) * sizeof(ElementHead))
            return kErrBadParameters;
        out.resize(static_cast<std::size_t>(count));
        std::memcpy(out.data(), *heads, out.size() * sizeof(ElementHead));
        return kNoError;
    }

    static void putDatabase(const SimDatabase& database, DatabaseRecord& record) {
        zeroRecord(record);
        record.type = database.type;
        record.guid = toGuidRecord(database.guid);
        record.masterGuid = toGuidRecord(database.master);
        putText(record.title, database.title);
        putText(record.name, database.name);
        putText(record.reference, database.reference);
    }

    static const SimDatabase* databaseOf(SimulatedHost& host, const DatabaseRecord& record) {
        return host.project_.findDatabase(record.type, toGuidBytes(record.guid));
    }

    // The project's own entry, found through the const lookup.
    static SimDatabase* mutableDatabase(const SimDatabase* database) {
        return const_cast<SimDatabase*>(database);
    }

    // --- Dispatchers -------------------------------------------------------------------------------
    static Result database(SimulatedHost& host, Addon&, std::uint32_t code, void* p1, void* p2, void*) {
        SimProject& p = host.project_;
        // The index lists of the view kinds.
        static const std::pair<std::uint32_t, std::int32_t> kLists[] = {
            {fourcc("GDDI"), kDatabaseDetail},    {fourcc("GD3D"), kDatabaseDocument3D},
            {fourcc("GEDI"), kDatabaseElevation}, {fourcc("GIED"), kDatabaseInteriorElevation},
            {fourcc("GSDI"), kDatabaseSection},   {fourcc("GWDI"), kDatabaseWorksheet},
            {fourcc("GLDI"), kDatabaseLayout},    {fourcc("GMDI"), kDatabaseMasterLayout},
        };
        for (const auto& [listCode, type] : kLists) {
            if (code != listCode) continue;
            if (!p1) return kErrBadParameters;
            std::vector<GuidBytes> guids;
            for (const SimDatabase& database : p.state.databases)
                if (database.type == type) guids.push_back(database.guid);
            return guidListHandle(guids, *static_cast<Handle*>(p1));
        }
        if (code == fourcc("DRDB") || code == fourcc("RBDB")) return kNoError;
        if (!p1) return kErrBadParameters;
        if (code == fourcc("GDBI")) {
            auto& record = *static_cast<DatabaseRecord*>(p1);
            const SimDatabase* database = databaseOf(host, record);
            if (!database) return kErrBadIndex;
            putDatabase(*database, record);
            return kNoError;
        }
        if (code == fourcc("MDAT")) {
            const auto& record = *static_cast<const DatabaseRecord*>(p1);
            SimDatabase* database = mutableDatabase(databaseOf(host, record));
            if (!database) return kErrBadIndex;
            const GuidBytes master = toGuidBytes(record.masterGuid);
            if (database->type == kDatabaseLayout && !isNullGuid(master) &&
                !p.findDatabase(kDatabaseMasterLayout, master))
                return kErrBadIndex;
            if (database->type == kDatabaseLayout && p.findDatabase(kDatabaseMasterLayout, master) &&
                p.findDatabase(kDatabaseMasterLayout, master)->type != kDatabaseMasterLayout)
                return kErrBadParameters;   // a layout's master must be a master layout
            database->title = takeText(record.title);
            database->name = takeText(record.name);
            database->reference = takeText(record.reference);
            if (database->type == kDatabaseLayout) database->master = master;
            return kNoError;
        }
        if (code == fourcc("GDAT") || code == fourcc("GWIN")) {
            const DatabaseKey& key = code == fourcc("GDAT") ? p.view.currentDatabase : p.view.frontWindow;
            const SimDatabase* database = p.database(key);
            if (!database) return kErrBadIndex;
            putDatabase(*database, *static_cast<DatabaseRecord*>(p1));
            return kNoError;
        }
        if (code == fourcc("CDAT")) {
            const SimDatabase* database = databaseOf(host, *static_cast<const DatabaseRecord*>(p1));
            if (!database) return kErrBadIndex;
            p.view.currentDatabase = SimProject::keyOf(*database);
            return kNoError;
        }
        if (code == fourcc("NDAT")) return newDatabase(host, *static_cast<DatabaseRecord*>(p1));
        if (code == fourcc("DDAT")) return deleteDatabase(host, *static_cast<const DatabaseRecord*>(p1));
        if (code == fourcc("GEFA")) {
            auto& record = *static_cast<ElementRecord*>(p1);
            const SimElement* element = std::as_const(p).findElement(toGuidBytes(record.head.guid));
            if (!element) return kErrBadIndex;
            std::memcpy(&record, element->record.data(), sizeof record);
            return kNoError;
        }
        if (code == fourcc("GCIS") || code == fourcc("GEIS")) return infoText(host, code, p1, p2);
        if (code == fourcc("RFSH")) {   // a redraw: only checks the element
            if (!p1) return kErrBadParameters;
            return currentElement(host, toGuidBytes(static_cast<const ElementHead*>(p1)->guid))
                       ? kNoError
                       : kErrBadIndex;
        }
        if (code == fourcc("CABO")) {
            if (!p2) return kErrBadParameters;
            const SimElement* element =
                currentElement(host, toGuidBytes(static_cast<const ElementHead*>(p1)->guid));
            if (!element) return kErrBadIndex;
            return SimElementKinds::elementBox(p, *element, *static_cast<ElementBoxRecord*>(p2));
        }
        if (code == fourcc("PTOC") || code == fourcc("CTOP")) {
            if (!p2) return kErrBadParameters;
            const SimView& current = p.viewOf(p.view.currentDatabase);
            return code == fourcc("PTOC") ? pixelToModel(current, *static_cast<const PixelPoint*>(p1),
                                                         *static_cast<ModelPoint*>(p2))
                                          : modelToPixel(current, *static_cast<const ModelPoint*>(p1),
                                                         *static_cast<PixelPoint*>(p2));
        }
        if (code == fourcc("DRWE")) {
            const auto& head = *static_cast<const ElementHead*>(p1);
            return currentElement(host, toGuidBytes(head.guid)) ? kNoError : kErrBadIndex;
        }
        SimView& view = p.viewOf(p.view.currentDatabase);
        if (code == fourcc("GZOM") || code == fourcc("GEX2")) {
            const auto& box = code == fourcc("GZOM") ? view.zoom : view.extent;
            *static_cast<BoxRecord*>(p1) = BoxRecord{box[0], box[1], box[2], box[3]};
            return kNoError;
        }
        if (code == fourcc("GSCL")) {
            *static_cast<double*>(p1) = view.scale;
            return kNoError;
        }
        if (code == fourcc("CDRS")) {
            const double scale = *static_cast<const double*>(p1);
            if (!p2 || !(scale > 0) || !std::isfinite(scale)) return kErrBadParameters;
            view.scale = scale;
            return kNoError;
        }
        return kErrBadParameters;
    }

    static Result newDatabase(SimulatedHost& host, DatabaseRecord& record) {
        SimProject& p = host.project_;
        SimDatabase database;
        database.type = record.type;
        database.name = takeText(record.name);
        database.title = database.name;
        if (record.type == kDatabaseLayout) {
            database.master = toGuidBytes(record.masterGuid);
            const SimDatabase* master = p.findDatabase(kDatabaseMasterLayout, database.master);
            if (!isNullGuid(database.master) && (!master || master->type != kDatabaseMasterLayout))
                return kErrBadIndex;
        } else if (record.type == kDatabaseWorksheet) {
            database.reference = takeText(record.reference);
        } else {
            return kErrBadParameters;   // only layouts and worksheets are made this way
        }
        database.guid = newGuidBytes();
        p.state.databases.push_back(database);
        record.guid = toGuidRecord(database.guid);
        return kNoError;
    }

    static Result deleteDatabase(SimulatedHost& host, const DatabaseRecord& record) {
        SimProject& p = host.project_;
        const SimDatabase* found = databaseOf(host, record);
        if (!found) return kErrBadIndex;
        const std::int32_t type = found->type;
        if (type != kDatabaseLayout && type != kDatabaseMasterLayout && type != kDatabaseWorksheet)
            return kErrBadParameters;
        const DatabaseKey key = SimProject::keyOf(*found);
        const GuidBytes guid = found->guid;
        p.state.elements.eraseIf([&](const SimElement& e) { return SimProject::inDatabase(e, key); });
        std::erase_if(p.state.databases, [&](const SimDatabase& d) { return SimProject::keyOf(d) == key; });
        for (SimDatabase& database : p.state.databases)   // layouts of a deleted master keep no master
            if (database.master == guid) database.master = {};
        p.view.views.erase(key);
        if (p.view.currentDatabase == key) p.view.currentDatabase = {kDatabasePlan, {}};
        if (p.view.frontWindow == key) p.view.frontWindow = {kDatabasePlan, {}};
        return kNoError;
    }

    // 'GCIS' (prefix and ID) and 'GEIS' (the ID): the ID is the info text of the element's memo.
    static Result infoText(SimulatedHost& host, std::uint32_t code, void* p1, void* p2) {
        if (!p2) return kErrBadParameters;
        Handle& text = *static_cast<Handle*>(p2);
        text = nullptr;
        const SimElement* element =
            std::as_const(host.project_).findElement(toGuidBytes(*static_cast<const GuidRecord*>(p1)));
        if (!element) return kErrBadIndex;
        std::u16string units = code == fourcc("GCIS") ? utf8ToUtf16(element->infoPrefix) : std::u16string();
        const auto info = element->memo.parts.find(offsetof(ElementMemo, elementInfo));
        if (info != element->memo.parts.end()) {
            const std::size_t count = info->second.size() / sizeof(char16_t);   // an odd last byte is no unit
            const std::size_t start = units.size();
            units.resize(start + count);
            if (count > 0) std::memcpy(units.data() + start, info->second.data(), count * sizeof(char16_t));
        }
        return newTextHandle(units, text);
    }

    // The current database's window: kWindowWidth by kWindowHeight pixels, v downwards. The zoom box
    // fills it as far as its shape allows, centred, at one scale for both axes.
    static constexpr double kWindowWidth = 1000;
    static constexpr double kWindowHeight = 750;

    static double pixelsPerMetre(const SimView& view) {
        return std::min(kWindowWidth / (view.zoom[2] - view.zoom[0]),
                        kWindowHeight / (view.zoom[3] - view.zoom[1]));
    }

    static Result pixelToModel(const SimView& view, const PixelPoint& pixel, ModelPoint& point) {
        const double scale = pixelsPerMetre(view);
        point.x = (view.zoom[0] + view.zoom[2]) / 2 + (pixel.h - kWindowWidth / 2) / scale;
        point.y = (view.zoom[1] + view.zoom[3]) / 2 - (pixel.v - kWindowHeight / 2) / scale;
        return kNoError;
    }

    // kErrBadParameters when the point lies too far outside the window for 16-bit pixels.
    static Result modelToPixel(const SimView& view, const ModelPoint& point, PixelPoint& pixel) {
        const double scale = pixelsPerMetre(view);
        const double h = std::round(kWindowWidth / 2 + (point.x - (view.zoom[0] + view.zoom[2]) / 2) * scale);
        const double v =
            std::round(kWindowHeight / 2 - (point.y - (view.zoom[1] + view.zoom[3]) / 2) * scale);
        constexpr double kLow = std::numeric_limits<std::int16_t>::min();
        constexpr double kHigh = std::numeric_limits<std::int16_t>::max();
        if (!(h >= kLow && h <= kHigh && v >= kLow && v <= kHigh)) return kErrBadParameters;   // NaN too
        pixel.h = static_cast<std::int16_t>(h);
        pixel.v = static_cast<std::int16_t>(v);
        return kNoError;
    }

    static void putLayout(const SimLayout& layout, LayoutRecord& record) {
        zeroRecord(record);
        record.paperWidth = layout.paperWidth;
        record.paperHeight = layout.paperHeight;
        record.leftMargin = layout.margins[0];
        record.topMargin = layout.margins[1];
        record.rightMargin = layout.margins[2];
        record.bottomMargin = layout.margins[3];
        std::memcpy(record.layoutName, layout.layoutName.data(),
                    std::min(layout.layoutName.size(), sizeof record.layoutName));
        record.flag = layout.flag;
        record.value = layout.value;
        record.valueA = layout.valueA;
        record.valueB = layout.valueB;
        putFullText(record.textA, layout.textA);
        putFullText(record.textB, layout.textB);
        record.byteA = layout.byteA;
        record.byteB = layout.byteB;
    }

    // kErrBadParameters (and nothing kept) for paper that is not above 0, a margin below 0, a number
    // that is not finite or a name that is not UTF-8.
    static Result takeLayout(const LayoutRecord& record, SimLayout& layout) {
        const double paper[] = {record.paperWidth, record.paperHeight};
        const double margins[] = {record.leftMargin, record.topMargin, record.rightMargin,
                                  record.bottomMargin};
        for (double value : paper)
            if (!(value > 0) || !std::isfinite(value)) return kErrBadParameters;
        for (double value : margins)
            if (!(value >= 0) || !std::isfinite(value)) return kErrBadParameters;
        const std::string name(record.layoutName, strnlen(record.layoutName, sizeof record.layoutName));
        if (!isPlainUtf8(name)) return kErrBadParameters;
        SimLayout taken;
        taken.paperWidth = paper[0];
        taken.paperHeight = paper[1];
        std::copy(std::begin(margins), std::end(margins), taken.margins.begin());
        taken.layoutName = name;
        taken.flag = record.flag;
        taken.value = record.value;
        taken.valueA = record.valueA;
        taken.valueB = record.valueB;
        taken.textA = takeText(record.textA);
        taken.textB = takeText(record.textB);
        taken.byteA = record.byteA;
        taken.byteB = record.byteB;
        layout = std::move(taken);
        return kNoError;
    }

    static Result environment(SimulatedHost& host, Addon&, std::uint32_t code, void* p1, void* p2, void*) {
        SimProject& p = host.project_;
        if (!p1) return kErrBadParameters;
        if (code == fourcc("ISSG")) {
            *static_cast<std::uint8_t*>(p1) = p.state.suspendGroups ? 1 : 0;
            return kNoError;
        }
        if (code == fourcc("PROJ")) {
            auto& record = *static_cast<ProjectInfoRecord*>(p1);
            zeroRecord(record);
            record.untitled = p.filePath.empty() ? 1 : 0;
            record.shared = p.state.teamwork.shared ? 1 : 0;
            record.memberId = p.state.teamwork.shared ? p.state.teamwork.memberId : 0;
            if (!p.filePath.empty()) return newTextHandle(utf8ToUtf16(p.filePath), record.location);
            return kNoError;
        }
        if (code == fourcc("SHAR")) {
            auto& record = *static_cast<SharingRecord*>(p1);
            zeroRecord(record);
            if (!p.state.teamwork.shared) return kNoError;
            std::vector<MemberRecord> members(p.state.teamwork.members.size());
            for (std::size_t i = 0; i < members.size(); ++i) {
                const SimMember& member = p.state.teamwork.members[i];
                zeroRecord(members[i]);
                putText(members[i].loginName, member.loginName);
                putText(members[i].name, member.name);
                members[i].guid = toGuidRecord(member.guid);
                members[i].memberId = member.id;
                members[i].value = member.value;
            }
            if (!members.empty())
                if (Result r =
                        newHandleWith(members.data(), members.size() * sizeof(MemberRecord), record.users))
                    return r;
            record.count = static_cast<std::int32_t>(members.size());
            return kNoError;
        }
        if (code == fourcc("GSTO")) {
            if (reinterpret_cast<std::uintptr_t>(p2) != static_cast<std::uintptr_t>(kStoreyInfoAll))
                return kErrBadParameters;
            auto& record = *static_cast<StoreyInfoRecord*>(p1);
            zeroRecord(record);
            const auto& storeys = p.state.storeys;
            if (storeys.empty()) return kErrBadIndex;
            // One record per storey and one above the top storey, whose level closes its height.
            std::vector<StoreyRecord> records(storeys.size() + 1);
            for (std::size_t i = 0; i < records.size(); ++i) {
                StoreyRecord& r = records[i];
                zeroRecord(r);
                if (i < storeys.size()) {
                    r.index = storeys[i].index;
                    r.number = storeys[i].number;
                    r.flag = storeys[i].flag;
                    r.level = storeys[i].level;
                    putText(r.name, storeys[i].name);
                } else {
                    r.index = static_cast<std::int16_t>(storeys.back().index + 1);
                    r.level = storeys.back().level + storeys.back().height;
                }
            }
            if (Result r =
                    newHandleWith(records.data(), records.size() * sizeof(StoreyRecord), record.storeys))
                return r;
            record.firstIndex = storeys.front().index;
            record.lastIndex = storeys.back().index;
            record.currentIndex = p.view.currentStorey;
            return kNoError;
        }
        if (code == fourcc("CSTO")) {
            const auto& record = *static_cast<const StoreyCommandRecord*>(p1);
            if (record.command != 0) return kErrBadParameters;
            const auto& storeys = p.state.storeys;
            if (std::none_of(storeys.begin(), storeys.end(),
                             [&](const SimStorey& s) { return s.index == record.index; }))
                return kErrBadIndex;
            p.view.currentStorey = record.index;
            return kNoError;
        }
        if (code == fourcc("GARF")) {
            *static_cast<GuidRecord*>(p1) = toGuidRecord(p.state.activeRenovationFilter);
            return kNoError;
        }
        if (code == fourcc("GLAY") || code == fourcc("CLAY")) {
            if (!p2) return kErrBadParameters;
            // Types 5 and 9 find each other: a master layout has its record too.
            SimDatabase* layout = mutableDatabase(
                p.findDatabase(kDatabaseLayout, toGuidBytes(*static_cast<const GuidRecord*>(p2))));
            if (!layout) return kErrBadIndex;
            if (code == fourcc("GLAY")) {
                auto& record = *static_cast<LayoutRecord*>(p1);
                putLayout(layout->layout, record);
                // This host keeps no guid texts: the caller's table is empty, but its own to free.
                record.customTexts = newHandle(0, /*clear=*/true);
                return record.customTexts != nullptr ? kNoError : kErrMemFull;
            }
            return takeLayout(*static_cast<const LayoutRecord*>(p1), layout->layout);
        }
        if (code == fourcc("OWLP")) {
            const std::int32_t on = *static_cast<const std::int32_t*>(p1);
            if (on != 0 && on != 1) return kErrBadParameters;
            host.libraryWork_->overwrite = on == 1;
            return kNoError;
        }
        if (code == fourcc("GLIB")) {
            if (!p2) return kErrBadParameters;
            return library(host).folders(*static_cast<Handle*>(p1), *static_cast<std::int32_t*>(p2));
        }
        if (code == fourcc("SLIB")) return library(host).setFolders(static_cast<Handle>(p1));
        if (code == fourcc("ALIB")) return library(host).addFolder(static_cast<const char*>(p1));
        if (code == fourcc("DELI") || code == fourcc("DELS")) {
            const auto flag = reinterpret_cast<std::uintptr_t>(p2);
            if (flag > 1) return kErrBadParameters;
            std::vector<const char*> locations;
            if (code == fourcc("DELI")) {
                locations.push_back(static_cast<const char*>(p1));
            } else {
                const auto list = static_cast<Handle>(p1);
                if (!isLiveHandle(list) || getHandleSize(list) % sizeof(char*) != 0) return kErrBadHandle;
                locations.resize(getHandleSize(list) / sizeof(char*));
                if (!locations.empty()) std::memcpy(locations.data(), *list, getHandleSize(list));
            }
            return library(host).deleteFiles(locations, flag == 1);
        }
        if (code == fourcc("GCLC")) {
            *static_cast<std::int16_t*>(p1) = p.state.currentLayerCombination;
            return kNoError;
        }
        if (code == fourcc("GPRF")) {
            if (reinterpret_cast<std::uintptr_t>(p2) != kPreferencesUnits) return kErrBadParameters;
            auto& record = *static_cast<UnitPreferencesRecord*>(p1);
            zeroRecord(record);
            record.lengthUnit = p.state.settings.lengthUnit;
            return kNoError;
        }
        if (code == fourcc("GPLA")) {
            auto& record = *static_cast<LocationRecord*>(p1);
            const SimLocation& location = p.state.settings.location;
            zeroRecord(record);
            record.longitude = location.longitude;
            record.latitude = location.latitude;
            record.north = location.north;
            record.timeZone = location.timeZone;
            return kNoError;
        }
        if (code == fourcc("CPLA")) {
            const auto& record = *static_cast<const LocationRecord*>(p1);
            const SimLocation location{record.longitude, record.latitude, record.north, record.timeZone};
            if (!isValidLocation(location)) return kErrBadParameters;
            p.state.settings.location = location;
            return kNoError;
        }
        if (code == fourcc("GPRN")) {
            auto& record = *static_cast<ProjectNotesRecord*>(p1);
            const SimSettings& settings = p.state.settings;
            zeroRecord(record);
            putNote(record.projectName, settings.projectName);
            putNote(record.city, settings.city);
            putNote(record.postcode, settings.postcode);
            putNote(record.architect, settings.architect);
            return kNoError;
        }
        if (code == fourcc("GTBX")) {
            *static_cast<ToolboxRecord*>(p1) = ToolboxRecord{p.view.toolType, p.view.toolVariation};
            return kNoError;
        }
        if ((code == fourcc("GP3D") || code == fourcc("CP3D")) && !p1) return kErrBadParameters;
        if (code == fourcc("GP3D")) return SimModelView(p).projection(*static_cast<ProjectionRecord*>(p1));
        if (code == fourcc("CP3D"))
            return SimModelView(p).setProjection(*static_cast<const ProjectionRecord*>(p1));
        return kErrBadParameters;
    }

    static Result interface(SimulatedHost& host, Addon&, std::uint32_t code, void* p1, void* p2, void*, void*,
                            void*) {
        if (code == fourcc("SETD")) {   // the tool's settings dialog: the script answers it
            if (!p1 || !p2) return kErrBadParameters;
            return SimToolDefaults(host.project_)
                .settingsDialog(*static_cast<const std::int32_t*>(p1), *static_cast<const std::int32_t*>(p2));
        }
        if (code == fourcc("OBJS")) {   // the object settings dialog: the script answers it
            if (!p1 || !p2) return kErrBadParameters;
            return kinds(host).objectSettings(*static_cast<ElementRecord*>(p1),
                                              *static_cast<const ElementRecord*>(p2));
        }
        if (code == fourcc("HGEL"))
            return highlight(host, static_cast<Handle>(p1), static_cast<const bool*>(p2));
        return processWindow(host, code, p1, p2);
    }

    // 'HGEL': the table replaces the current database's highlight; no table and no flag clear it. Each
    // entry must name a different element of the current database with channels in 0..1.
    static Result highlight(SimulatedHost& host, Handle table, const bool* wireframe) {
        SimView& view = host.project_.viewOf(host.project_.view.currentDatabase);
        if (!table && !wireframe) {
            view.highlight.clear();
            view.highlightWireframe = false;
            return kNoError;
        }
        if (!table || !wireframe) return kErrBadParameters;
        if (!isLiveHandle(table)) return kErrBadHandle;
        const std::size_t size = getHandleSize(table);
        if (size == 0 || size % sizeof(HighlightEntry) != 0) return kErrBadParameters;
        std::vector<HighlightEntry> entries(size / sizeof(HighlightEntry));
        std::memcpy(entries.data(), *table, size);
        std::map<GuidBytes, std::array<double, 4>> colours;
        for (const HighlightEntry& entry : entries) {
            const GuidBytes guid = toGuidBytes(entry.guid);
            if (!currentElement(host, guid)) return kErrBadIndex;
            const std::array<double, 4> colour{entry.red, entry.green, entry.blue, entry.alpha};
            for (double channel : colour)
                if (!(channel >= 0 && channel <= 1)) return kErrBadParameters;     // NaN too
            if (!colours.emplace(guid, colour).second) return kErrBadParameters;   // one entry per element
        }
        view.highlight = std::move(colours);
        view.highlightWireframe = *wireframe;
        return kNoError;
    }

    static Result utilities(SimulatedHost& host, Addon&, std::uint32_t code, void* p1, void* p2, void* p3) {
        if (SimParameters::isParameterCode(code))
            return SimParameters(host.project_, *host.parameterWork_).answer(code, p1, p2);
        if (code == fourcc("CMPI")) return convertPicture(static_cast<ImageConversionRecord*>(p1));
        if (code == fourcc("GTLL"))
            return SimText(host.project_)
                .measure(static_cast<const TextLengthRecord*>(p1), static_cast<double*>(p2));
        if (code == fourcc("GLUI")) {
            if (!p1 || !p2) return kErrBadParameters;
            return library(host).uniqueIdText(*static_cast<const std::int16_t*>(p1), static_cast<char*>(p2));
        }
        if (code == fourcc("CLPS") || code == fourcc("COMP")) {
            if (!p1 || !p2) return kErrBadParameters;
            const auto* a = static_cast<const char*>(p1);
            const auto* b = static_cast<const char*>(p2);
            return code == fourcc("CLPS") ? library(host).family(a, b) : library(host).compare(a, b);
        }
        if (code == fourcc("RPAS")) {   // nothing this host keeps needs recomputing: the element is checked
            if (!p1) return kErrBadParameters;
            return currentElement(host, toGuidBytes(static_cast<const ElementHead*>(p1)->guid))
                       ? kNoError
                       : kErrBadIndex;
        }
        if (code == fourcc("NTOC")) {
            if (!p1 || !p2 || !p3) return kErrBadParameters;
            return kinds(host).nextCoordinate(*static_cast<const GuidRecord*>(p1),
                                              *static_cast<ModelPoint*>(p2), *static_cast<std::int32_t*>(p3));
        }
        if (code == fourcc("GULN")) {
            if (!p1 || !p2) return kErrBadParameters;
            return kinds(host).libraryPartName(*static_cast<const GuidRecord*>(p1),
                                               *static_cast<Handle*>(p2));
        }
        if (code == fourcc("GELU")) {
            if (!p1 || !p2) return kErrBadParameters;
            return kinds(host).libraryPartUniqueId(*static_cast<const ElementHead*>(p1),
                                                   static_cast<char*>(p2));
        }
        if (code == fourcc("NTOE")) {
            if (!p1 || !p2) return kErrBadParameters;
            const std::int32_t id = *static_cast<const std::int32_t*>(p1);
            for (const auto& [type, partId] : kPartReferenceIds) {
                if (partId == id) {
                    *static_cast<std::int16_t*>(p2) = static_cast<std::int16_t>(type);
                    return kNoError;
                }
            }
            return kErrBadParameters;
        }
        return kErrBadParameters;
    }

    static Result automation(SimulatedHost& host, Addon&, std::uint32_t code, void* p1, void*, void*) {
        SimProject& p = host.project_;
        if (code == fourcc("DOOM")) return zoomBack(p.viewOf(p.view.currentDatabase));
        if (!p1) return kErrBadParameters;
        if (code == fourcc("CHWD")) {
            const SimDatabase* database = databaseOf(host, *static_cast<const DatabaseRecord*>(p1));
            if (!database) return kErrBadIndex;
            p.view.frontWindow = SimProject::keyOf(*database);
            return kNoError;
        }
        if (code == fourcc("ZOOM"))
            return zoomTo(p.viewOf(p.view.currentDatabase), *static_cast<const BoxRecord*>(p1));
        if (code == fourcc("RBLD")) return kNoError;
        if (code == fourcc("LLIB")) return library(host).setFolders(static_cast<Handle>(p1));
        return kErrBadParameters;
    }

    static Result elementTools(SimulatedHost& host, Addon&, std::uint32_t code, void* p1, void* p2, void*) {
        if (code == fourcc("SUSP")) {
            host.project_.state.suspendGroups = !host.project_.state.suspendGroups;
            return kNoError;
        }
        if (code == fourcc("LOCK") || code == fourcc("ULCK")) {
            if (!p2) return kErrBadParameters;
            std::vector<ElementHead> heads;
            if (Result r = headsOf(static_cast<Handle>(p1), *static_cast<const std::int32_t*>(p2), heads))
                return r;
            std::vector<SimElement*> elements;   // all or none: every one is checked first
            for (const ElementHead& head : heads) {
                SimElement* element = currentElement(host, toGuidBytes(head.guid));
                if (!element) return kErrBadIndex;
                if (heldByOther(host.project_, element->head())) return kErrRefusedCommand;
                elements.push_back(element);
            }
            for (SimElement* element : elements) {
                ElementHead head = element->head();
                head.locked = code == fourcc("LOCK") ? 1 : 0;
                element->setHead(head);
            }
            return kNoError;
        }
        if (code == fourcc("GRUP") || code == fourcc("UGRP")) return groupTool(host, code, p1, p2);
        if (code == fourcc("OFR1") || code == fourcc("OFR0") || code == fourcc("OBA1") ||
            code == fourcc("OBA0"))
            return orderTool(host, code, p1, p2);
        return kErrBadParameters;
    }

    // The elements of a tool's heads, all or none: kErrBadIndex when one is not in the current database,
    // kErrRefusedCommand when another member holds one.
    static Result toolElements(SimulatedHost& host, void* p1, void* p2, std::vector<SimElement*>& elements) {
        if (!p2) return kErrBadParameters;
        std::vector<ElementHead> heads;
        if (Result r = headsOf(static_cast<Handle>(p1), *static_cast<const std::int32_t*>(p2), heads))
            return r;
        for (const ElementHead& head : heads) {
            SimElement* element = currentElement(host, toGuidBytes(head.guid));
            if (!element) return kErrBadIndex;
            if (heldByOther(host.project_, element->head())) return kErrRefusedCommand;
            elements.push_back(element);
        }
        return kNoError;
    }

    // The tools that change heads hand the new heads back in the caller's handle.
    static void writeBackHeads(void* p1, const std::vector<SimElement*>& elements) {
        auto* heads = elements.empty() ? nullptr : reinterpret_cast<ElementHead*>(*static_cast<Handle>(p1));
        for (std::size_t i = 0; i < elements.size(); ++i) heads[i] = elements[i]->head();
    }

    // A group is the first identifier its members share. Grouping takes whole groups along, so a group
    // of groups is one flat group here; ungrouping frees every member of the groups met.
    static Result groupTool(SimulatedHost& host, std::uint32_t code, void* p1, void* p2) {
        std::vector<SimElement*> elements;
        if (Result r = toolElements(host, p1, p2, elements)) return r;
        const bool grouping = code == fourcc("GRUP");
        std::set<GuidBytes> guids;
        std::set<GuidBytes> groups;
        for (const SimElement* element : elements) {
            guids.insert(element->guid());
            const GuidBytes group = toGuidBytes(element->head().firstIdentifier);
            if (!isNullGuid(group)) groups.insert(group);
        }
        if (grouping && guids.size() < 2) return kErrBadParameters;   // a group needs two elements
        const GuidRecord newGroup = grouping ? toGuidRecord(newGuidBytes()) : GuidRecord{};
        SimElementTable& all = host.project_.state.elements;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const SimElement& element = std::as_const(all)[i];   // read without taking a copy
            ElementHead head = element.head();
            if (guids.count(element.guid()) == 0 && groups.count(toGuidBytes(head.firstIdentifier)) == 0)
                continue;
            head.firstIdentifier = newGroup;
            all[i].setHead(head);
        }
        writeBackHeads(p1, elements);
        return kNoError;
    }

    // The drawing-order byte: higher draws on top.
    static Result orderTool(SimulatedHost& host, std::uint32_t code, void* p1, void* p2) {
        std::vector<SimElement*> elements;
        if (Result r = toolElements(host, p1, p2, elements)) return r;
        for (SimElement* element : elements) {
            ElementHead head = element->head();
            if (code == fourcc("OFR1"))
                head.drawOrder = 255;
            else if (code == fourcc("OBA1"))
                head.drawOrder = 0;
            else if (code == fourcc("OFR0"))
                head.drawOrder = static_cast<std::uint8_t>(std::min(255, head.drawOrder + 1));
            else
                head.drawOrder = static_cast<std::uint8_t>(std::max(0, head.drawOrder - 1));
            element->setHead(head);
        }
        writeBackHeads(p1, elements);
        return kNoError;
    }

    // --- Elements ----------------------------------------------------------------------------------
    static Result getElementDefaults(SimulatedHost& host, Addon&, ElementRecord* element, ElementMemo* memo) {
        if (!element) return kErrBadParameters;
        return SimToolDefaults(host.project_).get(*element, memo);
    }

    static Result getElement(SimulatedHost& host, Addon&, ElementRecord* element) {
        if (!element) return kErrBadParameters;
        const SimElement* found = currentElement(host, toGuidBytes(element->head.guid));
        if (!found || (element->head.type != 0 && found->head().type != element->head.type))
            return kErrBadIndex;
        std::memcpy(element, found->record.data(), sizeof *element);
        return kNoError;
    }

    static Result getElementHead(SimulatedHost& host, Addon&, const GuidRecord* guid, ElementHead* head) {
        if (!guid || !head) return kErrBadParameters;
        const SimElement* found = std::as_const(host.project_).findElement(toGuidBytes(*guid));
        if (!found) return kErrBadIndex;
        *head = found->head();
        return kNoError;
    }

    static Result getElementMemo(SimulatedHost& host, Addon&, const GuidRecord* guid, ElementMemo* memo,
                                 std::uint64_t mask) {
        if (!guid || !memo) return kErrBadParameters;
        const SimElement* found = std::as_const(host.project_).findElement(toGuidBytes(*guid));
        if (!found) return kErrBadIndex;
        return memoToRecord(found->memo, mask == 0 ? kMemoFullMask : mask, *memo);
    }

    static Result createElement(SimulatedHost& host, Addon&, ElementRecord* element,
                                const ElementMemo* memo) {
        if (!element || element->head.type <= 0) return kErrBadParameters;
        SimProject& p = host.project_;
        const DatabaseKey key = p.view.currentDatabase;
        const SimDatabase* database = p.database(key);
        if (!database) return kErrBadIndex;
        SimElement created;
        std::memcpy(created.record.data(), element, sizeof *element);
        ElementHead head = created.head();
        if (database->type == kDatabasePlan || database->type == kDatabaseModel) {
            const auto& storeys = p.state.storeys;
            if (std::none_of(storeys.begin(), storeys.end(),
                             [&](const SimStorey& s) { return s.index == head.storey; }))
                return kErrBadParameters;   // no such storey
        } else {
            created.databaseType = database->type;
            created.databaseGuid = database->guid;
        }
        if (memo)
            if (Result r = memoFromRecord(*memo, kMemoFullMask, true, created.memo)) return r;
        head.guid = toGuidRecord(newGuidBytes());
        head.ownerId = p.state.teamwork.shared ? p.state.teamwork.memberId : 0;
        created.setHead(head);
        p.state.elements.push_back(std::move(created));
        std::memcpy(element, p.state.elements.back().record.data(), sizeof *element);
        return kNoError;
    }

    static Result changeElement(SimulatedHost& host, Addon&, ElementRecord* element,
                                const ElementRecord* mask, const ElementMemo* memo, std::uint64_t memoMask,
                                std::uint8_t withDelete) {
        if (!element || !mask) return kErrBadParameters;
        if (isNullGuid(toGuidBytes(element->head.guid)))
            return SimToolDefaults(host.project_).change(*element, *mask, memo, memoMask, withDelete != 0);
        if (!insideCommand(host)) return kErrOutsideUndoScope;
        SimProject& p = host.project_;
        SimElement* found = currentElement(host, toGuidBytes(element->head.guid));
        if (!found) return kErrBadIndex;
        const ElementHead before = found->head();
        if (element->head.type != before.type) return kErrBadParameters;   // an element keeps its type
        if (heldByOther(p, before)) return kErrRefusedCommand;
        ElementHead after = before;   // the head first: the checks look at it before anything changes
        mergeMasked(reinterpret_cast<unsigned char*>(&after), element, mask, sizeof after);
        // A locked element takes only the change that unlocks it.
        if (before.locked != 0 && after.locked != 0) return kErrRefusedCommand;
        after.type = before.type;
        after.guid = before.guid;
        after.ownerId = before.ownerId;   // reservations change it, not writes
        if (found->databaseType == kDatabasePlan) {
            const auto& storeys = p.state.storeys;
            if (std::none_of(storeys.begin(), storeys.end(),
                             [&](const SimStorey& s) { return s.index == after.storey; }))
                return kErrBadParameters;
        }
        if (memo)   // the last check: the memo stays as it was when it fails
            if (Result r = memoFromRecord(*memo, memoMask == 0 ? kMemoFullMask : memoMask, withDelete != 0,
                                          found->memo))
                return r;
        mergeMasked(found->record.data() + sizeof after, &element->body, &mask->body,
                    found->record.size() - sizeof after);
        found->setHead(after);
        std::memcpy(element, found->record.data(), sizeof *element);
        return kNoError;
    }

    static Result deleteElements(SimulatedHost& host, Addon&, Handle heads, std::int32_t count) {
        std::vector<ElementHead> list;
        if (Result r = headsOf(heads, count, list)) return r;
        SimProject& p = host.project_;
        std::set<GuidBytes> doomed;
        for (const ElementHead& head : list) {   // all or none: check every element first
            const SimElement* element = currentElement(host, toGuidBytes(head.guid));
            if (!element) return kErrBadIndex;
            const ElementHead stored = element->head();
            if (heldByOther(p, stored) || stored.locked != 0) return kErrRefusedCommand;
            doomed.insert(element->guid());
        }
        p.state.elements.eraseIf([&](const SimElement& e) { return doomed.count(e.guid()) > 0; });
        std::erase_if(p.state.links,
                      [&](const SimLink& l) { return doomed.count(l.from) > 0 || doomed.count(l.to) > 0; });
        std::erase_if(p.state.relations, [&](const SimRelation& r) {
            return doomed.count(r.from) > 0 || doomed.count(r.to) > 0;
        });
        for (auto& [key, view] : p.view.views)
            std::erase_if(view.selection.elements, [&](const GuidBytes& g) { return doomed.count(g) > 0; });
        return kNoError;
    }

    // Objects and lamps keep a plan position, an angle and an elevation; an edit changes those. A
    // mirror turns the angle as the mirrored x axis runs (the host keeps no mirrored flag).
    static Result editRecord(const EditParameters& edit, ElementBytes& record) {
        const auto get = [&](std::size_t offset) {
            double value;
            std::memcpy(&value, record.data() + offset, sizeof value);
            return value;
        };
        const auto put = [&](std::size_t offset, double value) {
            std::memcpy(record.data() + offset, &value, sizeof value);
        };
        double x = get(kObjectPositionOffset), y = get(kObjectPositionOffset + 8);
        double angle = get(kObjectAngleOffset), elevation = get(kObjectElevationOffset);
        const EditPoint& o = edit.origin;
        const EditPoint& b = edit.begin;
        const EditPoint& e = edit.end;
        switch (edit.kind) {
            case kEditMove:
                x += e.x - b.x;
                y += e.y - b.y;
                elevation += e.z - b.z;
                break;
            case kEditElevate:
                elevation += e.z - b.z;
                break;
            case kEditRotate: {
                // A leg of zero length has no direction (only the very point is refused).
                if (!(std::hypot(b.x - o.x, b.y - o.y) > 0) || !(std::hypot(e.x - o.x, e.y - o.y) > 0))
                    return kErrBadParameters;
                const double turn = std::atan2(e.y - o.y, e.x - o.x) - std::atan2(b.y - o.y, b.x - o.x);
                const double c = std::cos(turn), s = std::sin(turn);
                const double dx = x - o.x, dy = y - o.y;
                x = o.x + dx * c - dy * s;
                y = o.y + dx * s + dy * c;
                angle += turn;
                break;
            }
            case kEditMirror: {
                const double lx = e.x - b.x, ly = e.y - b.y;
                const double length2 = lx * lx + ly * ly;
                if (!(length2 > 0)) return kErrBadParameters;   // no line to mirror across
                // p' = b + 2 ((p - b) . l / |l|^2) l - (p - b); a direction at angle a becomes 2 * line - a.
                const double t = ((x - b.x) * lx + (y - b.y) * ly) / length2;
                x = 2 * (b.x + t * lx) - x;
                y = 2 * (b.y + t * ly) - y;
                angle = 2 * std::atan2(ly, lx) - angle;
                break;
            }
            default:
                return kErrBadParameters;
        }
        for (double value : {x, y, angle, elevation})
            if (!std::isfinite(value)) return kErrBadParameters;
        put(kObjectPositionOffset, x);
        put(kObjectPositionOffset + 8, y);
        put(kObjectAngleOffset, angle);
        put(kObjectElevationOffset, elevation);
        return kNoError;
    }

    static Result editElements(SimulatedHost& host, Addon&, Handle parts, std::int32_t count,
                               const EditParameters* edit) {
        if (!edit || count <= 0) return kErrBadParameters;
        if (!parts || !isLiveHandle(parts)) return kErrBadHandle;
        if (getHandleSize(parts) < static_cast<std::size_t>(count) * sizeof(PartReference))
            return kErrBadParameters;
        std::vector<PartReference> references(static_cast<std::size_t>(count));
        std::memcpy(references.data(), *parts, references.size() * sizeof(PartReference));
        // All or none: the records are edited as copies first.
        std::vector<std::pair<SimElement*, ElementBytes>> edited;
        for (const PartReference& reference : references) {
            SimElement* element = currentElement(host, toGuidBytes(reference.guid));
            if (!element) return kErrBadIndex;
            const ElementHead head = element->head();
            if (!editable(host.project_, head)) return kErrRefusedCommand;
            if (head.type != kElementObject && head.type != kElementLamp) return kErrBadParameters;
            const auto named = [&](const auto& done) { return done.first == element; };
            if (std::any_of(edited.begin(), edited.end(), named)) continue;   // named twice: moved once
            ElementBytes record = element->record;
            if (Result r = editRecord(*edit, record)) return r;
            edited.emplace_back(element, std::move(record));
        }
        for (auto& [element, record] : edited) element->record = std::move(record);
        return kNoError;
    }

    static Result changeParameters(SimulatedHost& host, Addon&, const ElementHead* heads, std::int32_t count,
                                   const ElementRecord* defaults, const ElementMemo* memo,
                                   const ElementRecord* mask) {
        if (!heads || count <= 0 || !defaults || !mask) return kErrBadParameters;
        SimProject& p = host.project_;
        std::vector<std::pair<SimElement*, SimElement>> changed;   // all or none: changed copies first
        for (std::int32_t i = 0; i < count; ++i) {
            SimElement* found = currentElement(host, toGuidBytes(heads[i].guid));
            if (!found) return kErrBadIndex;
            const ElementHead before = found->head();
            if (heldByOther(p, before)) return kErrRefusedCommand;
            SimElement copy = *found;
            // Another type's body means nothing to this element: only the head is taken from it.
            const std::size_t end =
                defaults->head.type == before.type ? copy.record.size() : sizeof(ElementHead);
            mergeMasked(copy.record.data(), defaults, mask, end);
            ElementHead after = copy.head();
            if (before.locked != 0 && after.locked != 0) return kErrRefusedCommand;
            after.type = before.type;
            after.guid = before.guid;
            after.ownerId = before.ownerId;
            if (copy.databaseType == kDatabasePlan &&
                std::none_of(p.state.storeys.begin(), p.state.storeys.end(),
                             [&](const SimStorey& s) { return s.index == after.storey; }))
                return kErrBadParameters;
            copy.setHead(after);
            if (memo)   // the parameters and the info text the memo carries; a null part stays as it was
                if (Result r = memoFromRecord(*memo, kMemoParameters | kMemoInfo, false, copy.memo)) return r;
            changed.emplace_back(found, std::move(copy));
        }
        for (auto& [element, copy] : changed) *element = std::move(copy);
        return kNoError;
    }

    static Result disposeElementMemo(SimulatedHost&, Addon&, ElementMemo* memo) {
        if (!memo) return kErrBadParameters;
        return disposeMemoRecord(*memo);
    }

    // --- Selection ---------------------------------------------------------------------------------
    static void settleSelectionKind(SimSelection& selection) {
        if (selection.elements.empty())
            selection.kind = kSelectionNone;
        else if (selection.kind == kSelectionNone)
            selection.kind = kSelectionElements;
    }

    static Result selectElements(SimulatedHost& host, Addon&, Handle parts, std::int32_t count,
                                 std::uint8_t add) {
        if (count < 0) return kErrBadParameters;
        SimProject& p = host.project_;
        SimSelection& selection = p.viewOf(p.view.currentDatabase).selection;
        if (count == 0) {   // no parts: nothing is selected any more
            selection = SimSelection{};
            return kNoError;
        }
        if (!parts || !isLiveHandle(parts)) return kErrBadHandle;
        if (getHandleSize(parts) < static_cast<std::size_t>(count) * sizeof(PartReference))
            return kErrBadParameters;
        std::vector<PartReference> references(static_cast<std::size_t>(count));
        std::memcpy(references.data(), *parts, references.size() * sizeof(PartReference));
        std::vector<GuidBytes> guids;
        for (const PartReference& reference : references) {
            const GuidBytes guid = toGuidBytes(reference.guid);
            if (!currentElement(host, guid)) return kErrBadIndex;   // all or none
            guids.push_back(guid);
        }
        auto& selected = selection.elements;
        for (const GuidBytes& guid : guids) {
            const auto at = std::find(selected.begin(), selected.end(), guid);
            if (add && at == selected.end()) {
                selected.push_back(guid);
                selection.kind = kSelectionElements;   // picking elements ends a marquee
            } else if (!add && at != selected.end()) {
                selected.erase(at);
            }
        }
        settleSelectionKind(selection);
        return kNoError;
    }

    static Result selectElement(SimulatedHost& host, Addon&, const ElementHead* head, std::uint8_t select) {
        if (!head) return kErrBadParameters;
        SimProject& p = host.project_;
        const GuidBytes guid = toGuidBytes(head->guid);
        if (!currentElement(host, guid)) return kErrBadIndex;
        SimSelection& selection = p.viewOf(p.view.currentDatabase).selection;
        auto& selected = selection.elements;
        const auto at = std::find(selected.begin(), selected.end(), guid);
        if (select) {
            if (at != selected.end()) return kErrAlreadySelected;
            selected.push_back(guid);
            selection.kind = kSelectionElements;
        } else {
            if (at == selected.end()) return kErrNotSelected;
            selected.erase(at);
        }
        settleSelectionKind(selection);
        return kNoError;
    }

    static Result getSelection(SimulatedHost& host, Addon&, SelectionRecord* info, Handle* parts,
                               std::uint8_t onlyEditable, std::uint8_t) {
        if (!info || !parts) return kErrBadParameters;
        SimProject& p = host.project_;
        *parts = nullptr;
        const SimSelection& selection = p.viewOf(p.view.currentDatabase).selection;
        std::vector<PartReference> references;
        for (const GuidBytes& guid : selection.elements) {
            const SimElement* element = currentElement(host, guid);
            if (!element) continue;   // removed since it was selected
            const ElementHead head = element->head();
            if (onlyEditable && !editable(p, head)) continue;
            PartReference reference{};
            reference.id = partReferenceId(head.type);
            reference.guid = head.guid;
            reference.index = 1;
            references.push_back(reference);
        }
        zeroRecord(*info);
        info->kind = references.empty() ? kSelectionNone : selection.kind;
        info->count = static_cast<std::int32_t>(references.size());
        if (references.empty()) return kNoError;
        return newHandleWith(references.data(), references.size() * sizeof(PartReference), *parts);
    }

    // --- Element lists -----------------------------------------------------------------------------
    static Result getElementList(SimulatedHost& host, Addon&, std::int32_t type, Handle* guids,
                                 std::uint32_t filterFlags, std::int32_t variation,
                                 const GuidRecord* renovation) {
        if (!guids) return kErrBadParameters;
        *guids = nullptr;
        const SimProject& p = host.project_;
        std::vector<GuidBytes> found;
        for (const SimElement& element : p.state.elements) {
            if (!SimProject::inDatabase(element, p.view.currentDatabase)) continue;
            if (type != 0 && element.head().type != type) continue;
            bool passes = true;
            if (Result r = passesFilter(p, element, filterFlags, variation, renovation, passes)) return r;
            if (passes) found.push_back(element.guid());
        }
        return guidListHandle(found, *guids);
    }

    static Result filterElement(SimulatedHost& host, Addon&, const GuidRecord* guid,
                                std::uint32_t filterFlags, std::int32_t variation,
                                const GuidRecord* renovation, std::uint8_t* passes) {
        if (!guid || !passes) return kErrBadParameters;
        const SimElement* element = std::as_const(host.project_).findElement(toGuidBytes(*guid));
        if (!element) return kErrBadIndex;
        bool result = true;
        if (Result r = passesFilter(host.project_, *element, filterFlags, variation, renovation, result))
            return r;
        *passes = result ? 1 : 0;
        return kNoError;
    }

    // --- Links ---------------------------------------------------------------------------------------
    static Result getLinkedElements(SimulatedHost& host, Addon&, const GuidRecord* guid, Handle* guids,
                                    std::int32_t* count) {
        if (!guid || !guids || !count) return kErrBadParameters;
        *guids = nullptr;
        *count = 0;
        const SimProject& p = host.project_;
        const GuidBytes from = toGuidBytes(*guid);
        if (!p.findElement(from)) return kErrBadIndex;
        std::vector<GuidBytes> linked;
        for (const SimLink& link : p.state.links)
            if (link.from == from) linked.push_back(link.to);
        if (Result r = guidListHandle(linked, *guids)) return r;
        *count = static_cast<std::int32_t>(linked.size());
        return kNoError;
    }

    static Result linkElements(SimulatedHost& host, Addon&, const GuidRecord* first, const GuidRecord* second,
                               std::uint32_t flags) {
        if (!first || !second) return kErrBadParameters;
        SimProject& p = host.project_;
        const GuidBytes from = toGuidBytes(*first), to = toGuidBytes(*second);
        if (!p.findElement(from) || !p.findElement(to)) return kErrBadIndex;
        if (from == to) return kErrBadParameters;
        for (SimLink& link : p.state.links) {
            if (link.from == from && link.to == to) {
                link.flags = flags;
                return kNoError;
            }
        }
        p.state.links.push_back({from, to, flags});
        return kNoError;
    }

    static Result unlinkElements(SimulatedHost& host, Addon&, const GuidRecord* first,
                                 const GuidRecord* second) {
        if (!first || !second) return kErrBadParameters;
        const GuidBytes from = toGuidBytes(*first), to = toGuidBytes(*second);
        const auto removed = std::erase_if(host.project_.state.links,
                                           [&](const SimLink& l) { return l.from == from && l.to == to; });
        return removed ? kNoError : kErrBadIndex;
    }

    // --- Teamwork ----------------------------------------------------------------------------------
    static Result isSharedProject(SimulatedHost& host, Addon&, std::uint8_t* shared) {
        if (!shared) return kErrBadParameters;
        *shared = host.project_.state.teamwork.shared ? 1 : 0;
        return kNoError;
    }

    static Result isTeamworkConnected(SimulatedHost& host, Addon&, std::uint8_t* connected) {
        if (!connected) return kErrBadParameters;
        const SimTeamwork& teamwork = host.project_.state.teamwork;
        *connected = teamwork.shared && teamwork.connected ? 1 : 0;
        return kNoError;
    }

    // The elements named by a guid array: kErrBadIndex (and nothing) when one is missing.
    static Result elementsOf(SimulatedHost& host, const GuidRecord* guids, std::int32_t count,
                             std::vector<SimElement*>& out) {
        if (count < 0 || (count > 0 && !guids)) return kErrBadParameters;
        const SimTeamwork& teamwork = host.project_.state.teamwork;
        if (!teamwork.shared || !teamwork.connected) return kErrRefusedCommand;
        for (std::int32_t i = 0; i < count; ++i) {
            SimElement* element = host.project_.findElement(toGuidBytes(guids[i]));
            if (!element) return kErrBadIndex;
            out.push_back(element);
        }
        return kNoError;
    }

    static Result reserveElements(SimulatedHost& host, Addon&, const GuidRecord* guids, std::int32_t count,
                                  Handle* conflicts) {
        if (!conflicts) return kErrBadParameters;
        *conflicts = nullptr;
        std::vector<SimElement*> elements;
        if (Result r = elementsOf(host, guids, count, elements)) return r;
        const std::int16_t me = host.project_.state.teamwork.memberId;
        std::vector<ReservationConflict> others;
        for (const SimElement* element : elements) {
            const ElementHead head = element->head();
            if (head.ownerId != 0 && head.ownerId != me) {
                ReservationConflict conflict{};
                conflict.guid = head.guid;
                conflict.memberId = head.ownerId;
                others.push_back(conflict);
            }
        }
        if (!others.empty())
            if (Result r =
                    newHandleWith(others.data(), others.size() * sizeof(ReservationConflict), *conflicts))
                return r;
        for (SimElement* element : elements) {   // what nobody else holds is the member's now
            ElementHead head = element->head();
            if (head.ownerId == 0) {
                head.ownerId = me;
                element->setHead(head);
            }
        }
        return kNoError;
    }

    static Result releaseElements(SimulatedHost& host, Addon&, const GuidRecord* guids, std::int32_t count) {
        std::vector<SimElement*> elements;
        if (Result r = elementsOf(host, guids, count, elements)) return r;
        const std::int16_t me = host.project_.state.teamwork.memberId;
        for (SimElement* element : elements) {   // another member's elements are not the member's to give
            ElementHead head = element->head();
            if (head.ownerId == me) {
                head.ownerId = 0;
                element->setHead(head);
            }
        }
        return kNoError;
    }

    // --- The process window ('IPWD' ... 'CANC' of the interface dispatcher) ------------------------
    static void progressEvent(SimulatedHost& host, ProgressEvent::Kind kind, std::string text, int number) {
        ProgressEvent event{kind, host.window_.windowNumber, std::move(text), number};
        host.progress_.push_back(event);
        if (host.progressObserver_) host.progressObserver_(event, host.window_);
    }

    static Result processWindow(SimulatedHost& host, std::uint32_t code, void* p1, void* p2) {
        ProcessWindowState& window = host.window_;
        if (code == fourcc("IPWD")) {
            if (!p1 || !p2 || *static_cast<std::int32_t*>(p2) < 0) return kErrBadParameters;
            if (window.open) return kErrRefusedCommand;   // the host has one process window
            window = ProcessWindowState{};
            window.open = true;
            window.windowNumber = ++host.windowsOpened_;
            window.title = toUtf8(static_cast<const char16_t*>(p1));
            window.phaseCount = *static_cast<std::int32_t*>(p2);
            window.cancelAtStep = takeProgressCancel(window.windowNumber);
            progressEvent(host, ProgressEvent::open, window.title, window.phaseCount);
            return kNoError;
        }
        const bool known = code == fourcc("CPWD") || code == fourcc("SPRV") || code == fourcc("IPRV") ||
                           code == fourcc("SPRP") || code == fourcc("CANC");
        if (!known) return kErrBadParameters;
        if (code == fourcc("CANC")) {
            if (!window.open) return kNoError;
            const bool stopped = scriptRunStopped();   // a stopped script run cancels too
            if (!window.cancelled &&
                (stopped || (window.cancelAtStep && window.steps >= *window.cancelAtStep))) {
                window.cancelled = true;   // the user pressed Cancel; it stays pressed
                progressEvent(host, ProgressEvent::cancelled, {}, window.steps);
            }
            return window.cancelled ? kErrCancel : kNoError;
        }
        if (!window.open) return kErrRefusedCommand;
        if (code == fourcc("CPWD")) {
            progressEvent(host, ProgressEvent::close, {}, window.value);
            window.open = false;
            return kNoError;
        }
        if (!p1) return kErrBadParameters;
        if (code == fourcc("SPRP")) {
            if (!p2) return kErrBadParameters;
            ++window.phase;
            window.phaseText = toUtf8(static_cast<const char16_t*>(p1));
            window.phaseLimit = *static_cast<std::int32_t*>(p2);
            window.value = 0;   // each phase counts from 0 to its own count
            progressEvent(host, ProgressEvent::phase, window.phaseText, window.phaseLimit);
            return kNoError;
        }
        const std::int32_t number = *static_cast<std::int32_t*>(p1);
        window.value = code == fourcc("SPRV") ? number : window.value + number;
        ++window.steps;
        progressEvent(host, ProgressEvent::value, {}, window.value);
        return kNoError;
    }

    // --- Menus -------------------------------------------------------------------------------------
    static Result registerMenu(SimulatedHost&, Addon& addon, std::int16_t menuListId,
                               std::int16_t promptListId, std::int32_t position, std::int32_t flags) {
        if (addon.stage != Stage::registering) return kErrRefusedCommand;
        const StringListResource* list = addon.module->resources().stringList(menuListId);
        if (!list || list->items.size() < 2) return kErrBadParameters;   // a title and one command at least
        for (const auto& item : list->items)
            if (!item) return kErrBadParameters;   // a menu has no holes
        if (addon.menu(menuListId)) return kErrRefusedCommand;
        MenuRecord menu;
        menu.listId = menuListId;
        menu.promptListId = promptListId;
        menu.position = position;
        menu.flags = flags;
        menu.title = *list->items[0];
        // The prompts' list by its id, or, for a value that names none, counted from the menu's list (1
        // is the next one).
        const ModuleResources& resources = addon.module->resources();
        const StringListResource* prompts = resources.stringList(promptListId);
        if (!prompts) prompts = resources.stringListAfter(menuListId, promptListId);
        if (prompts && !prompts->items.empty()) menu.titlePrompt = prompts->items[0].value_or("");
        for (std::size_t i = 1; i < list->items.size(); ++i) {
            const std::string* prompt =
                prompts ? resources.string(prompts->id, static_cast<int>(i) + 1) : nullptr;
            menu.items.push_back({*list->items[i], prompt ? *prompt : std::string()});
        }
        addon.menus.push_back(std::move(menu));
        return kNoError;
    }

    static Result installMenuHandler(SimulatedHost&, Addon& addon, std::int16_t menuListId,
                                     HostMenuHandler handler) {
        MenuRecord* menu = addon.menu(menuListId);
        if (!menu || !handler) return kErrBadParameters;
        menu->handler = handler;
        return kNoError;
    }

    static Result catchProjectNotifications(SimulatedHost&, Addon& addon, std::uint32_t mask,
                                            HostProjectHandler handler) {
        addon.notificationMask = handler ? mask : 0;
        addon.projectHandler = mask ? handler : nullptr;
        return kNoError;
    }

    // --- Module data -------------------------------------------------------------------------------
    // Module data is kept under the add-on's name, which check environment gives.
    static bool named(const Addon& addon) {
        return addon.stage != Stage::loaded && addon.stage != Stage::checking;
    }

    static Result getModuleData(SimulatedHost& host, Addon& addon, const char16_t* name,
                                HostModuleData* data) {
        if (!name || !data) return kErrBadParameters;
        if (!named(addon)) return kErrRefusedCommand;
        const auto& store = host.project_.state.moduleData;
        const auto found = store.find({addon.name, toUtf8(name)});
        if (found == store.end()) return kErrNoModuleData;
        Handle bytes = nullptr;
        if (Result r = newHandleWith(found->second.bytes.data(), found->second.bytes.size(), bytes)) return r;
        *data = HostModuleData{found->second.version, found->second.platformSign, 0, bytes};
        return kNoError;
    }

    static Result putModuleData(SimulatedHost& host, Addon& addon, const char16_t* name,
                                const HostModuleData* data) {
        if (!name || !data) return kErrBadParameters;
        if (!named(addon)) return kErrRefusedCommand;
        if (data->data && !isLiveHandle(data->data)) return kErrBadHandle;
        ModuleDataEntry entry;
        entry.version = data->version;
        entry.platformSign = data->platformSign;
        if (data->data && *data->data) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(*data->data);
            entry.bytes.assign(bytes, bytes + getHandleSize(data->data));
        }
        host.project_.state.moduleData[{addon.name, toUtf8(name)}] = std::move(entry);
        return kNoError;
    }

    static Result deleteModuleData(SimulatedHost& host, Addon& addon, const char16_t* name) {
        if (!name) return kErrBadParameters;
        if (!named(addon)) return kErrRefusedCommand;
        return host.project_.state.moduleData.erase({addon.name, toUtf8(name)}) ? kNoError : kErrNoModuleData;
    }

    static Result listModuleData(SimulatedHost& host, Addon& addon, Handle* names) {
        if (!names) return kErrBadParameters;
        if (!named(addon)) return kErrRefusedCommand;
        std::u16string all;
        for (const auto& [key, entry] : host.project_.state.moduleData) {
            if (key.first != addon.name) continue;
            all += utf8ToUtf16(key.second);
            all += u'\0';
        }
        return newTextHandle(all, *names);
    }

    static Result installModuleDataMergeHandler(SimulatedHost&, Addon& addon,
                                                HostModuleDataMergeHandler handler) {
        addon.mergeHandler = handler;
        return kNoError;
    }

    // --- Commands ----------------------------------------------------------------------------------
    static Result undoableCommand(SimulatedHost& host, Addon&, const char16_t* undoName, HostCommandBody body,
                                  void* userData) {
        if (!undoName || !body) return kErrBadParameters;
        if (host.commandDepth_ > 0) return kErrRefusedCommand;   // one undo step at a time
        ProjectState before = host.project_.state;
        ++host.commandDepth_;
        const Result result = guarded([&] { return body(userData); });
        --host.commandDepth_;
        host.libraryWork_->making.reset();   // a part left unfinished dies with its command
        host.libraryWork_->replacing = 0;
        if (result != kNoError) {
            host.project_.state = std::move(before);   // an error inside leaves the project as it was
            host.project_.settleView();
        } else
            host.project_.pushUndoStep(toUtf8(undoName), std::move(before));
        return result;
    }

    static Result isInsideCommand(SimulatedHost& host, Addon&, std::uint8_t* inside) {
        if (!inside) return kErrBadParameters;
        *inside = host.commandDepth_ > 0 ? 1 : 0;
        return kNoError;
    }

    static Result registerCommandService(SimulatedHost&, Addon& addon, std::uint32_t commandId,
                                         std::int32_t version) {
        if (addon.stage != Stage::registering) return kErrRefusedCommand;
        for (const auto& service : addon.services)
            if (service.commandId == commandId) return kErrRefusedCommand;
        addon.services.push_back({commandId, version, nullptr});
        return kNoError;
    }

    static Result installCommandHandler(SimulatedHost&, Addon& addon, std::uint32_t commandId,
                                        std::int32_t version, HostAddonCommandHandler handler) {
        if (!handler) return kErrBadParameters;
        for (auto& service : addon.services) {
            if (service.commandId == commandId && service.version == version) {
                service.handler = handler;
                return kNoError;
            }
        }
        return kErrBadParameters;
    }

    // The target serves a command when it registered it with the same or a newer version.
    static Result callAddonCommand(SimulatedHost& host, Addon&, const char16_t* addonName,
                                   std::uint32_t commandId, std::int32_t version, Handle parameters,
                                   void* resultData) {
        if (!addonName) return kErrBadParameters;
        const std::string target = toUtf8(addonName);
        for (auto& other : host.addons_) {
            if (other->name != target || other->stage != Stage::running) continue;
            for (const auto& service : other->services) {
                if (service.commandId == commandId && service.version >= version && service.handler)
                    return guarded([&] { return service.handler(parameters, resultData); });
            }
        }
        return kErrNoSuchCommand;
    }

    // --- Teamwork lockables, attributes, library parts ---------------------------------------------
    static Result isTeamworkAvailable(SimulatedHost& host, Addon&, std::uint8_t* available) {
        if (!available) return kErrBadParameters;
        const SimTeamwork& teamwork = host.project_.state.teamwork;
        *available = teamwork.shared && teamwork.connected && teamwork.available ? 1 : 0;
        return kNoError;
    }

    static SimLockable* lockable(SimulatedHost& host, const GuidRecord* guid) {
        if (!guid) return nullptr;
        const GuidBytes wanted = toGuidBytes(*guid);
        for (SimLockable& candidate : host.project_.state.teamwork.lockables)
            if (candidate.guid == wanted) return &candidate;
        return nullptr;
    }

    static Result findLockable(SimulatedHost& host, Addon&, const char16_t* name, GuidRecord* guid) {
        if (!name || !guid) return kErrBadParameters;
        zeroRecord(*guid);
        const std::string wanted = toUtf8(name);
        for (const SimLockable& candidate : host.project_.state.teamwork.lockables) {
            if (candidate.name == wanted) {
                *guid = toGuidRecord(candidate.guid);
                return kNoError;
            }
        }
        return kErrBadName;
    }

    static Result getLockableStatus(SimulatedHost& host, Addon&, const GuidRecord* guid, std::int32_t flags,
                                    std::int32_t* status) {
        if (!status || flags != 0) return kErrBadParameters;
        const SimLockable* found = lockable(host, guid);
        if (!found) return kErrBadIndex;
        const SimTeamwork& teamwork = host.project_.state.teamwork;
        if (!teamwork.shared)
            *status = kLockableNotShared;
        else if (found->holder == 0)
            *status = kLockableFree;
        else
            *status = found->holder == teamwork.memberId ? kLockableMine : kLockableOthers;
        return kNoError;
    }

    static Result acquireLockable(SimulatedHost& host, Addon&, const GuidRecord* guid, std::int32_t flags) {
        if (flags != 0) return kErrBadParameters;
        SimLockable* found = lockable(host, guid);
        if (!found) return kErrBadIndex;
        const SimTeamwork& teamwork = host.project_.state.teamwork;
        if (!teamwork.shared || !teamwork.connected || !teamwork.available) return kErrRefusedCommand;
        if (found->holder != 0 && found->holder != teamwork.memberId) return kErrRefusedCommand;
        found->holder = teamwork.memberId;
        return kNoError;
    }

    static Result releaseLockable(SimulatedHost& host, Addon&, const GuidRecord* guid, std::int32_t flags) {
        if (flags != 0 && flags != 1) return kErrBadParameters;
        SimLockable* found = lockable(host, guid);
        if (!found) return kErrBadIndex;
        const SimTeamwork& teamwork = host.project_.state.teamwork;
        if (!teamwork.shared || !teamwork.connected) return kErrRefusedCommand;
        if (found->holder != teamwork.memberId) return kErrRefusedCommand;
        found->holder = 0;
        return kNoError;
    }

    // --- Attributes ----------------------------------------------------------------------------------
    static SimAttributeTable attributes(SimulatedHost& host) { return SimAttributeTable(host.project_); }

    static Result getAttributeCount(SimulatedHost& host, Addon&, std::int32_t type, std::int16_t* count) {
        if (!count) return kErrBadParameters;
        return attributes(host).count(type, *count);
    }
    static Result getAttribute(SimulatedHost& host, Addon&, AttributeDefinition* definition) {
        return definition ? attributes(host).get(*definition) : kErrBadParameters;
    }
    static Result getAttributeExtension(SimulatedHost& host, Addon&, const AttributeHeader* header,
                                        AttributeExtension* extension) {
        return header && extension ? attributes(host).getExtension(*header, *extension) : kErrBadParameters;
    }
    static Result searchAttributeByName(SimulatedHost& host, Addon&, AttributeHeader* header) {
        return header ? attributes(host).search(*header) : kErrBadParameters;
    }
    static Result createAttribute(SimulatedHost& host, Addon&, AttributeDefinition* definition,
                                  const AttributeExtension* extension) {
        return definition ? attributes(host).create(*definition, extension) : kErrBadParameters;
    }
    static Result changeAttribute(SimulatedHost& host, Addon&, AttributeDefinition* definition,
                                  const AttributeExtension* extension) {
        return definition ? attributes(host).change(*definition, extension) : kErrBadParameters;
    }
    static Result deleteAttributes(SimulatedHost& host, Addon&, const AttributeHeader* header,
                                   const std::int16_t* indices, std::int32_t count) {
        return header ? attributes(host).remove(*header, indices, count) : kErrBadParameters;
    }
    static Result getAttributeUserData(SimulatedHost& host, Addon&, const AttributeHeader* header,
                                       UserDataRecord* data) {
        return header && data ? attributes(host).getUserData(*header, *data) : kErrBadParameters;
    }
    static Result setAttributeUserData(SimulatedHost& host, Addon&, const AttributeHeader* header,
                                       const UserDataRecord* data) {
        return header && data ? attributes(host).setUserData(*header, *data) : kErrBadParameters;
    }
    static Result disposeAttributeExtension(SimulatedHost&, Addon&, AttributeExtension* extension) {
        return extension ? SimAttributeTable::disposeExtension(*extension) : kErrBadParameters;
    }

    // --- Element kinds (SimElementKinds) ------------------------------------------------------------
    static SimElementKinds kinds(SimulatedHost& host) { return SimElementKinds(host.project_); }

    static Result getElementQuantities(SimulatedHost& host, Addon&, const GuidRecord* guid,
                                       const QuantityParameters* parameters, QuantityTargets* targets,
                                       const std::uint8_t* mask) {
        if (!guid || !parameters || !targets) return kErrBadParameters;
        return kinds(host).quantities(*guid, *targets, mask);
    }
    static Result getElementRelations(SimulatedHost& host, Addon&, const GuidRecord* guid, std::int32_t type,
                                      void* relation, std::int32_t subtype) {
        if (!guid || subtype != 0) return kErrBadParameters;
        return kinds(host).relations(*guid, type, relation);
    }
    static Result disposeZoneRelation(SimulatedHost&, Addon&, ZoneRelation* relation) {
        return relation ? SimElementKinds::disposeZoneRelation(*relation) : kErrBadParameters;
    }
    static Result getRelatedElements(SimulatedHost& host, Addon&, const GuidRecord* guid, Handle* guids,
                                     std::int32_t* count) {
        return guid && guids && count ? kinds(host).relatedElements(*guid, *guids, *count)
                                      : kErrBadParameters;
    }
    static Result getRelationValues(SimulatedHost& host, Addon&, const GuidRecord* first,
                                    const GuidRecord* second, RelationValues* values) {
        return first && second && values ? kinds(host).relationValues(*first, *second, *values)
                                         : kErrBadParameters;
    }
    static Result createRelation(SimulatedHost& host, Addon&, const GuidRecord* first,
                                 const GuidRecord* second, std::int32_t a, std::int32_t b) {
        return first && second ? kinds(host).createRelation(*first, *second, a, b) : kErrBadParameters;
    }
    static Result removeRelation(SimulatedHost& host, Addon&, const GuidRecord* first,
                                 const GuidRecord* second) {
        return first && second ? kinds(host).removeRelation(*first, *second) : kErrBadParameters;
    }
    static Result getLinkFlags(SimulatedHost& host, Addon&, const GuidRecord* first, const GuidRecord* second,
                               std::uint32_t* flags) {
        return first && second && flags ? kinds(host).linkFlags(*first, *second, *flags) : kErrBadParameters;
    }

    // --- Library parts ---------------------------------------------------------------------------------
    static SimLibrary library(SimulatedHost& host) { return SimLibrary(host.project_, *host.libraryWork_); }

    static Result searchLibraryPart(SimulatedHost& host, Addon&, LibraryPartRecord* part,
                                    std::uint8_t createIfMissing, std::uint8_t onlyPlaceable) {
        return part ? library(host).search(*part, createIfMissing != 0, onlyPlaceable != 0)
                    : kErrBadParameters;
    }
    static Result getLibraryPart(SimulatedHost& host, Addon&, LibraryPartRecord* part) {
        return part ? library(host).get(*part) : kErrBadParameters;
    }
    static Result getLibraryPartCount(SimulatedHost& host, Addon&, std::int32_t* count) {
        if (!count) return kErrBadParameters;
        *count = library(host).count();
        return kNoError;
    }
    static Result createLibraryPart(SimulatedHost& host, Addon&, const LibraryPartRecord* part) {
        return part ? library(host).create(*part) : kErrBadParameters;
    }
    static Result addLibraryPartSection(SimulatedHost& host, Addon&, const LibrarySectionHeader* header,
                                        Handle bytes, const char16_t* text) {
        return header ? library(host).addSection(*header, bytes, text) : kErrBadParameters;
    }
    static Result finishLibraryPart(SimulatedHost& host, Addon&, LibraryPartRecord* part) {
        return part ? library(host).finish(*part) : kErrBadParameters;
    }
    static Result getLibraryPartSectionList(SimulatedHost& host, Addon&, std::int32_t index,
                                            std::int32_t* count, Handle* headers) {
        return count && headers ? library(host).sectionList(index, *count, *headers) : kErrBadParameters;
    }
    static Result getLibraryPartSection(SimulatedHost& host, Addon&, std::int32_t index,
                                        const LibrarySectionHeader* header, Handle* bytes, Handle* text,
                                        void* reserved) {
        if (!header || !bytes || reserved) return kErrBadParameters;
        return library(host).section(index, *header, *bytes, text);
    }
    static Result updateLibraryPartSection(SimulatedHost& host, Addon&, std::int32_t index,
                                           const LibrarySectionHeader* header, Handle bytes,
                                           const char16_t* text, void* reserved) {
        if (!header || reserved) return kErrBadParameters;
        return library(host).updateSection(index, *header, bytes, text);
    }
    static Result getLibraryPartDetails(SimulatedHost& host, Addon&, std::int32_t index,
                                        LibraryPartDetails* details) {
        return details ? library(host).details(index, *details) : kErrBadParameters;
    }
    static Result setLibraryPartDetails(SimulatedHost& host, Addon&, const LibraryPartRecord* part,
                                        Handle parameters, const LibraryPartDetails* details) {
        return part && details ? library(host).setDetails(*part, parameters, *details) : kErrBadParameters;
    }
    static Result registerLibraryPart(SimulatedHost& host, Addon&, LibraryPartRecord* part) {
        return part ? library(host).registerPart(*part) : kErrBadParameters;
    }
    static Result getLibraryPartParameters(SimulatedHost& host, Addon&, std::int32_t index, double* a,
                                           double* b, std::int32_t* count, Handle* parameters) {
        return parameters ? library(host).parameters(index, a, b, count, *parameters) : kErrBadParameters;
    }
    static Result makeParameterSection(SimulatedHost&, Addon&, const LibraryPartRecord* part,
                                       Handle parameters, double a, double b, std::int32_t flags,
                                       Handle* section, void* reserved) {
        if (!part || !section || flags != 0 || reserved) return kErrBadParameters;
        return SimLibrary::makeParameterSection(parameters, a, b, *section);
    }
    static Result disposeParameters(SimulatedHost&, Addon&, Handle* parameters) {
        if (!parameters) return kErrBadParameters;
        const Result result = disposeParameterHandle(*parameters);
        *parameters = nullptr;
        return result;
    }

    // --- Plan shapes -----------------------------------------------------------------------------------
    static Result drawElementShape(SimulatedHost& host, Addon&, const ElementHead* head,
                                   HostShapeCallback callback) {
        return head ? SimShapes(host.project_).drawElement(*head, callback) : kErrBadParameters;
    }
    static Result drawLibraryPartShape(SimulatedHost& host, Addon&, std::int32_t libraryIndex,
                                       const GuidRecord* element, std::int16_t partIndex,
                                       HostShapeCallback callback) {
        return SimShapes(host.project_).drawLibraryPart(libraryIndex, element, partIndex, callback);
    }

    static Result getString(SimulatedHost&, Addon& addon, std::int16_t listId, std::int32_t item,
                            Handle* text) {
        if (!text) return kErrBadParameters;
        *text = nullptr;
        const std::string* found = addon.module->resources().string(listId, item);
        if (!found) return kErrBadIndex;
        return newTextHandle(utf8ToUtf16(*found), *text);
    }
    static Result getCurrentWindowSight(SimulatedHost& host, Addon&, ModelerSight** sight) {
        return SimModelView(host.project_).sight(host.modelerSource_, sight);
    }
    static Result get3DComponent(SimulatedHost& host, Addon&, Component3DRecord* component) {
        if (!component) return kErrBadParameters;
        return SimModelView(host.project_).component(*component);
    }
    static Result getResourceModule(SimulatedHost&, Addon& addon, std::int32_t* module) {
        if (!module) return kErrBadParameters;
        *module = addon.module->resourceModule();
        return kNoError;
    }
};

// --- Thunks: the C functions in the table ---------------------------------------------------------
namespace {

using Internals = SimulatedHost::Internals;
using Addon = SimulatedHost::LoadedAddon;

template <HostSlot slot, auto body>
struct Thunk;

template <HostSlot slot, typename... Args, Result (*body)(SimulatedHost&, Addon&, Args...)>
struct Thunk<slot, body> {
    static Result call(HostContext* context, Args... args) {
        if (!context || !liveContexts().count(context)) return kErrBadParameters;   // stale or foreign
        std::uint32_t code = 0;
        if constexpr (hostSlotScope(slot) == kScopeByCode) code = std::get<0>(std::tuple<Args...>(args...));
        return Internals::answer(*context->host, *context->addon, slot, code,
                                 [&] { return body(*context->host, *context->addon, args...); });
    }
};

const HostFunctionTable& fullTable() {
    static const HostFunctionTable table = [] {
        HostFunctionTable t{};
        t.size = sizeof(HostFunctionTable);
        t.slotCount = static_cast<std::uint32_t>(kHostSlotCount);
#define HOST_FILL_SLOT(name, result, parameters, scope) \
    t.name = &Thunk<HostSlot::name, &Internals::name>::call;
        HOST_FUNCTION_SLOTS(HOST_FILL_SLOT)
#undef HOST_FILL_SLOT
        return t;
    }();
    return table;
}

}   // namespace

// --- The host --------------------------------------------------------------------------------------
namespace {
const SimulatedHost* modelOwner = nullptr;   // the host whose project answers the 3D model's requests
}   // namespace

SimulatedHost::SimulatedHost()
    : libraryWork_(std::make_unique<SimLibraryWork>()), parameterWork_(std::make_unique<SimParameterWork>()) {
    // Every placed element has a 3D model: a box body of what 'CABO' says it places.
    modelOwner = this;
    setModel3DProvider([this](const GuidRecord& guid) -> std::shared_ptr<const Model3DElement> {
        const SimElement* element = std::as_const(project_).findElement(toGuidBytes(guid));
        ElementBoxRecord box{};
        if (!element || SimElementKinds::elementBox(project_, *element, box) != kNoError) return nullptr;
        auto model = std::make_shared<Model3DElement>();
        model->bodies.push_back(makeBoxBody(box.xMax - box.xMin, box.yMax - box.yMin, box.zMax - box.zMin,
                                            box.xMin, box.yMin, box.zMin, /*angle=*/0.0));
        return model;
    });
    // Sights ask the project through this source; they fail once the host is gone.
    modelerSource_ = std::make_shared<const ModelerSource>(
        [this](ModelerContent& content) { return SimModelView(project_).fill(content); });
}

SimulatedHost::~SimulatedHost() {
    stopAddons();
    if (modelOwner == this) {
        setModel3DProvider(nullptr);
        modelOwner = nullptr;
    }
}

const HostFunctionTable& SimulatedHost::table() const { return fullTable(); }

bool SimulatedHost::startAddon(const std::string& path, std::string& error) {
    return startAddon(path, fullTable(), error);
}

bool SimulatedHost::startAddon(const std::string& path, const HostFunctionTable& table, std::string& error) {
    auto addon = std::make_unique<LoadedAddon>();
    addon->module = AddonModule::load(path, error);
    if (!addon->module) return false;
    addon->context.host = this;
    addon->context.addon = addon.get();
    addon->table = table;
    const auto fail = [&](const std::string& why) {
        error = shownPath(path) + ": " + why;
        return false;
    };

    // 1. The exports and the protocol version.
    Result r = guarded([&] { return addon->module->getExportedFuncAddrs()(&addon->exports); });
    if (r != kNoError) return fail("GetExportedFuncAddrs failed: " + describeResult(r));
    const AddonExports& exports = addon->exports;
    if (exports.interfaceVersion != kAddonInterfaceVersion || exports.hostVersion != kAddonHostVersion) {
        std::ostringstream why;
        why << "built for interface version 0x" << std::hex << exports.interfaceVersion << std::dec << " ("
            << exports.hostVersion << "); this host speaks 0x" << std::hex << kAddonInterfaceVersion
            << std::dec << " (" << kAddonHostVersion << ")";
        return fail(why.str());
    }
    std::string missing;
    const std::pair<bool, const char*> entries[] = {
        {exports.checkEnvironment != nullptr, "check environment"},
        {exports.registerInterface != nullptr, "register interface"},
        {exports.initialize != nullptr, "initialize"},
        {exports.freeData != nullptr, "free data"}};
    for (const auto& [present, name] : entries)
        if (!present) missing += std::string(missing.empty() ? "" : ", ") + name;
    if (!missing.empty()) return fail("GetExportedFuncAddrs left entry points empty: " + missing);

    // 2. The table.
    r = guarded([&] { return addon->module->setImportedFuncAddrs()(&addon->table, &addon->context); });
    if (r != kNoError) return fail("SetImportedFuncAddrs failed: " + describeResult(r));

    // 3. Check environment. From here on free data runs whatever happens.
    const auto freeAndFail = [&](const std::string& why) {
        addon->stage = Stage::freeing;
        const Result freed = guarded([&] { return addon->exports.freeData(); });
        error = shownPath(path) + ": " + why;
        if (freed != kNoError) error += "; free data then failed: " + describeResult(freed);
        return false;
    };
    addon->stage = Stage::checking;
    auto environment = std::make_unique<AddonEnvironment>();   // zeroed; 2.5 KB stays off the stack
    std::int32_t type = kAddonDoNotRegister;
    try {
        type = exports.checkEnvironment(environment.get());
    } catch (...) {
        return freeAndFail("check environment threw an exception");
    }
    addon->name = fieldText(environment->name, kAddonNameChars);
    addon->loggedName = loggedName(addon->name);
    addon->description = fieldText(environment->description, kAddonDescriptionChars);
    if (type != kAddonNormal)
        return freeAndFail("the add-on declined to run here (check environment answered " +
                           std::to_string(type) + ")");
    if (addon->name.empty()) return freeAndFail("check environment gave no add-on name");

    // 4. Register interface, 5. initialize.
    addon->stage = Stage::registering;
    r = guarded([&] { return exports.registerInterface(); });
    if (r != kNoError) return freeAndFail("register interface failed: " + describeResult(r));
    addon->stage = Stage::initializing;
    r = guarded([&] { return exports.initialize(); });
    if (r != kNoError) return freeAndFail("initialize failed: " + describeResult(r));
    addon->stage = Stage::running;
    addons_.push_back(std::move(addon));
    return true;
}

void SimulatedHost::stopAddons() {
    while (!addons_.empty()) {
        LoadedAddon& addon = *addons_.back();
        addon.stage = Stage::freeing;
        const Result r = guarded([&] { return addon.exports.freeData(); });
        stopResults_.push_back(addon.name + ": free data " +
                               (r == kNoError ? "done" : "failed: " + describeResult(r)));
        addons_.pop_back();   // unloads the module
    }
}

std::vector<SimulatedHost::AddonInfo> SimulatedHost::addons() const {
    std::vector<AddonInfo> infos;
    for (const auto& addon : addons_)
        infos.push_back({addon->module->path(), addon->name, addon->description, addon->menus});
    return infos;
}

std::optional<SimulatedHost::MenuChoice> SimulatedHost::findMenuItem(std::string_view text) const {
    for (std::size_t a = 0; a < addons_.size(); ++a) {
        for (const auto& menu : addons_[a]->menus) {
            for (std::size_t i = 0; i < menu.items.size(); ++i) {
                if (menuDisplayText(menu.items[i].text) == text || menu.items[i].text == text)
                    return MenuChoice{a, menu.listId, static_cast<std::int16_t>(i + 1)};
            }
        }
    }
    return std::nullopt;
}

Result SimulatedHost::selectMenuItem(const MenuChoice& choice) {
    if (choice.addon >= addons_.size()) return kErrBadParameters;
    const MenuRecord* menu = addons_[choice.addon]->menu(choice.listId);
    if (!menu || !menu->handler || choice.item < 1 ||
        static_cast<std::size_t>(choice.item) > menu->items.size())
        return kErrBadParameters;
    const HostMenuParams params{choice.listId, choice.item, 0};
    return guarded([&] { return menu->handler(&params); });
}

void SimulatedHost::notifyProject(ProjectNotification notification, std::int32_t parameter) {
    for (const auto& addon : addons_) {
        if (addon->stage == Stage::running && addon->projectHandler &&
            (addon->notificationMask & notification))
            guarded([&] { return addon->projectHandler(notification, parameter); });
    }
}

Result SimulatedHost::mergeModuleData(const std::string& addonName, const std::string& dataName,
                                      const ModuleDataEntry& incoming) {
    LoadedAddon* owner = nullptr;
    for (const auto& addon : addons_)
        if (addon->name == addonName) owner = addon.get();
    if (!owner) return kErrBadName;
    auto& store = project_.state.moduleData;
    const std::pair<std::string, std::string> key{addonName, dataName};
    if (!owner->mergeHandler) {
        store[key] = incoming;
        return kNoError;
    }
    // The handler sees both as host records; the handles are the host's and are freed here.
    struct Owned {
        HostModuleData record{};
        ~Owned() { disposeHandle(record.data); }
    } current, arriving, merged;
    const auto found = store.find(key);
    if (found != store.end()) {
        current.record = {found->second.version, found->second.platformSign, 0, nullptr};
        if (Result r =
                newHandleWith(found->second.bytes.data(), found->second.bytes.size(), current.record.data))
            return r;
    }
    arriving.record = {incoming.version, incoming.platformSign, 0, nullptr};
    if (Result r = newHandleWith(incoming.bytes.data(), incoming.bytes.size(), arriving.record.data))
        return r;
    const std::u16string name = utf8ToUtf16(dataName);
    const Result r = guarded([&] {
        return owner->mergeHandler(name.c_str(), found != store.end() ? &current.record : nullptr,
                                   &arriving.record, &merged.record);
    });
    if (r != kNoError) return r;
    if (merged.record.data) {   // no merged bytes: the project keeps what it had
        if (!isLiveHandle(merged.record.data)) {
            merged.record.data = nullptr;   // not ours to dispose
            return kErrBadHandle;
        }
        ModuleDataEntry entry;
        entry.version = merged.record.version;
        entry.platformSign = merged.record.platformSign;
        if (*merged.record.data) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(*merged.record.data);
            entry.bytes.assign(bytes, bytes + getHandleSize(merged.record.data));
        }
        store[key] = std::move(entry);
    }
    return kNoError;
}

void SimulatedHost::injectFault(const FaultKey& key, std::uint64_t nth, Result result) {
    faults_.push_back({key, nth, 0, result});
}

void SimulatedHost::clearFaults() { faults_.clear(); }

std::size_t SimulatedHost::countCalls(HostSlot slot, std::optional<std::uint32_t> code) const {
    std::size_t count = 0;
    for (const auto& call : calls_)
        if (call.slot == slot && (!code || call.code == *code)) ++count;
    return count;
}

void SimulatedHost::setProgressObserver(
    std::function<void(const ProgressEvent&, const ProcessWindowState&)> observer) {
    progressObserver_ = std::move(observer);
}

}   // namespace host

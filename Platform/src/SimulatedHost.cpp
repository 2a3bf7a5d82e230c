#include "SimulatedHost.h"

#include <cstring>
#include <new>
#include <set>
#include <sstream>

#include "FourCC.h"
#include "HostDialogs.h"
#include "HostMemory.h"
#include "HostText.h"

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

// Dispatcher codes that change the project and so need an undoable command; code 0 stands for every
// code of the slot.
struct ChangingCode {
    HostSlot slot;
    std::uint32_t code;
};
constexpr ChangingCode kProjectChangingCodes[] = {
    {HostSlot::elementTools, 0},   // locking, grouping, suspending groups: all change the project
};

bool needsUndoScope(HostSlot slot, std::uint32_t code) {
    switch (hostSlotScope(slot)) {
        case kScopeNone:
            return false;
        case kScopeUndo:
            return true;
        case kScopeByCode:
            break;
    }
    for (const auto& changing : kProjectChangingCodes)
        if (changing.slot == slot && (changing.code == 0 || changing.code == code)) return true;
    return false;
}

std::string toUtf8(const char16_t* text) { return text ? utf16ToUtf8(text) : std::string(); }

// A new handle holding the bytes; kErrMemFull when the memory manager fails.
Result newHandleWith(const void* bytes, std::size_t size, Handle& handle) {
    handle = newHandle(size, /*clear=*/false);
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
struct SimulatedHost::Internals {
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

    // Every slot comes here: the call log, the faults and the undo-scope rule live in this one place.
    template <typename Body>
    static Result answer(SimulatedHost& host, Addon& addon, HostSlot slot, std::uint32_t code, Body&& body) {
        host.calls_.push_back({slot, code, kNoError, addon.name});
        const std::size_t logged = host.calls_.size() - 1;   // the body may log nested calls
        Result result;
        if (auto forced = takeFault(host, slot, code)) {
            result = *forced;
        } else if (needsUndoScope(slot, code) && host.commandDepth_ == 0) {
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
        host.calls_[logged].result = result;
        return result;
    }

    // --- Dispatchers -------------------------------------------------------------------------------
    static Result database(SimulatedHost&, Addon&, std::uint32_t, void*, void*, void*) {
        return kErrBadParameters;   // the simulated project has no databases yet
    }

    static Result environment(SimulatedHost& host, Addon&, std::uint32_t code, void* p1, void*, void*) {
        if (code == fourcc("ISSG")) {
            if (!p1) return kErrBadParameters;
            *static_cast<std::uint8_t*>(p1) = host.project_.state.suspendGroups ? 1 : 0;
            return kNoError;
        }
        return kErrBadParameters;
    }

    static Result interface(SimulatedHost& host, Addon&, std::uint32_t code, void* p1, void* p2, void*, void*,
                            void*) {
        if (code == fourcc("SETD")) {   // the tool's settings dialog: the script says OK or Cancel
            if (!p1 || !p2) return kErrBadParameters;
            return takeSettingsDialogAnswer().value_or(true) ? kNoError : kErrCancel;
        }
        return processWindow(host, code, p1, p2);
    }

    static Result utilities(SimulatedHost&, Addon&, std::uint32_t, void*, void*, void*) {
        return kErrBadParameters;   // no utility code is served yet
    }

    static Result automation(SimulatedHost&, Addon&, std::uint32_t, void*, void*, void*) {
        return kErrBadParameters;   // no automation code is served yet
    }

    static Result elementTools(SimulatedHost& host, Addon&, std::uint32_t code, void*, void*, void*) {
        if (code == fourcc("SUSP")) {
            host.project_.state.suspendGroups = !host.project_.state.suspendGroups;
            return kNoError;
        }
        return kErrBadParameters;
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
            if (!window.cancelled && window.cancelAtStep && window.steps >= *window.cancelAtStep) {
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
        if (addon.menu(menuListId)) return kErrRefusedCommand;
        MenuRecord menu;
        menu.listId = menuListId;
        menu.promptListId = promptListId;
        menu.position = position;
        menu.flags = flags;
        menu.title = list->items[0];
        const StringListResource* prompts = addon.module->resources().stringList(promptListId);
        if (prompts && !prompts->items.empty()) menu.titlePrompt = prompts->items[0];
        for (std::size_t i = 1; i < list->items.size(); ++i) {
            const std::string* prompt =
                prompts ? addon.module->resources().string(promptListId, static_cast<int>(i) + 1) : nullptr;
            menu.items.push_back({list->items[i], prompt ? *prompt : std::string()});
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
        if (result != kNoError)
            host.project_.state = std::move(before);   // an error inside leaves the project as it was
        else
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

    static Result getString(SimulatedHost&, Addon& addon, std::int16_t listId, std::int32_t item,
                            Handle* text) {
        if (!text) return kErrBadParameters;
        *text = nullptr;
        const std::string* found = addon.module->resources().string(listId, item);
        if (!found) return kErrBadIndex;
        return newTextHandle(utf8ToUtf16(*found), *text);
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

// --- Messages ------------------------------------------------------------------------------------
std::string describeResult(Result result) {
    static const std::pair<Result, const char*> kNames[] = {
        {kNoError, "no error"},
        {kErrGeneral, "general failure"},
        {kErrMemFull, "out of memory"},
        {kErrCancel, "cancelled"},
        {kErrNotReady, "not ready"},
        {kErrBadIndex, "bad index"},
        {kErrBadName, "bad name"},
        {kErrBadParameters, "bad parameters"},
        {kErrNoUserData, "no user data"},
        {kErrAlreadySelected, "already selected"},
        {kErrNotSelected, "not selected"},
        {kErrMissingFunction, "missing function"},
        {kErrCommandException, "exception in a command"},
        {kErrOutsideUndoScope, "outside an undoable command"},
        {kErrBadHandle, "bad handle"},
        {kErrFile, "file error"},
        {kErrNoModuleData, "no module data"},
        {kErrRefusedCommand, "refused"},
        {kErrNoSuchCommand, "no such add-on command"},
    };
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << result;
    for (const auto& [code, name] : kNames)
        if (code == result) text << " (" << name << ")";
    return text.str();
}

std::string menuDisplayText(std::string_view text) { return std::string(text.substr(0, text.find('^'))); }

// --- The host --------------------------------------------------------------------------------------
SimulatedHost::SimulatedHost() = default;

SimulatedHost::~SimulatedHost() { stopAddons(); }

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
        error = path + ": " + why;
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
        error = path + ": " + why;
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

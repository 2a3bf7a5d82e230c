#include "Environment/AddonFactory.h"

#include <HostAddonProtocol.h>
#include <HostDebug.h>
#include <HostResult.h>
#include <HostTable.h>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Foundation/String.h"
#include "Foundation/TracedException.h"
#include "Project/HostProject.h"

namespace tarnwick {
namespace {

// What the module knows of its own start-up, for the entry points and the unload hook.
struct ModuleState {
    AddonFactory::Create create = nullptr;
    AddonFactory::Destroy destroy = nullptr;
    bool ready = false;     // SetImportedFuncAddrs ran
    bool checked = false;   // check environment ran: free data is owed
    bool freed = false;     // free data ran
    String name;            // the add-on's display name, once known
    String abnormalText;    // read while the host still answers; the unload hook writes it
};

ModuleState moduleState;

// Destroyed before moduleState (reverse order of definition): the module's last words when the host
// unloads it without free data.
struct UnloadHook {
    UnloadHook() = default;
    UnloadHook(const UnloadHook&) = delete;
    UnloadHook& operator=(const UnloadHook&) = delete;
    ~UnloadHook() {
        if (!moduleState.checked || moduleState.freed) return;
        std::string line(moduleState.abnormalText.isEmpty() ? std::string_view("Abnormal add-on termination")
                                                            : moduleState.abnormalText.getView());
        line += ": ";
        line += moduleState.name.getView();
        host::debugOutput(line);
    }
};

UnloadHook unloadHook;

// The entry point's failure alert: its sentence with the add-on's name, then the request to report it.
void showFailure(std::int32_t item) {
    String message = Host::getString(Addon::kEnvironmentStrings, item);
    // Check environment can fail before it learnt the name: the add-on made last still knows it.
    message.replaceAll("$1", moduleState.name.isEmpty() ? Addon::getNameOfLastMade() : moduleState.name);
    Addon::showAlert(message, Host::getString(Addon::kEnvironmentStrings, Addon::kSupportRequest));
}

// Copies the text into a host field of `size` 16-bit units, cut so that it ends in a zero.
void copyField(const String& text, char16_t* field, std::uint32_t size) { text.copyToUniChars(field, size); }

// --- The four entry points -----------------------------------------------------------------------
std::int32_t checkEnvironment(host::AddonEnvironment* environment) {
    if (!moduleState.ready) return static_cast<std::int32_t>(host::kErrNotReady);
    moduleState.checked = true;
    moduleState.abnormalText = Host::getString(Addon::kEnvironmentStrings, Addon::kAbnormalTermination);
    try {
        if (!moduleState.create) throw TracedException("unknown", "tarnwick::checkEnvironment-A");
        if (moduleState.create() != 0) return host::kAddonDoNotRegister;
        Addon* addon = Addon::getInstance();
        if (!addon) throw TracedException("unknown", "tarnwick::checkEnvironment-B");
        moduleState.name = addon->getName();
        if (environment) {
            copyField(moduleState.name, environment->name, host::kAddonNameChars);
            copyField(addon->getDescription(), environment->description, host::kAddonDescriptionChars);
        }
        if (addon->Publisher::checkEnvironment() != 0) return host::kAddonDoNotRegister;
        return host::kAddonNormal;
    } catch (...) {
        Addon::reportCurrentException("tarnwick::checkEnvironment");
        showFailure(Addon::kCheckEnvironmentFailed);
        return host::kAddonDoNotRegister;
    }
}

std::uint32_t registerInterface() {
    if (!moduleState.ready) return host::kErrNotReady;
    try {
        Addon* addon = Addon::getInstance();
        if (!addon) throw TracedException("unknown", "tarnwick::registerInterface");
        // Every subscriber registers, stopping at the first failure; the add-on runs anyway.
        if (addon->registerServices() == 0) addon->Publisher::registerInterface();
    } catch (...) {
        Addon::reportCurrentException("tarnwick::registerInterface");
        showFailure(Addon::kRegisterInterfaceFailed);
    }
    return 0;
}

std::uint32_t initialize() {
    if (!moduleState.ready) return host::kErrNotReady;
    try {
        Addon* addon = Addon::getInstance();
        if (!addon) throw TracedException("unknown", "tarnwick::initialize");
        std::uint32_t result = addon->installHandlers();
        if (result == 0) result = addon->Publisher::initialize();
        addon->loadPreferences(Addon::kFileLocation);
        addon->loadPreferences(Addon::kProjectLocation);
        return result;
    } catch (...) {
        Addon::reportCurrentException("tarnwick::initialize");
        showFailure(Addon::kInitializeFailed);
        return host::kErrGeneral;
    }
}

std::uint32_t freeData() {
    if (!moduleState.ready) return host::kErrNotReady;
    moduleState.freed = true;
    std::uint32_t result = 0;
    try {
        // The preference file is written as the add-on leaves, unless it held what could not be read.
        if (Addon* addon = Addon::getInstance(); addon && !addon->isStoreUnread(Addon::kFileLocation))
            addon->savePreferences(Addon::kFileLocation);
        result = moduleState.destroy ? moduleState.destroy() : 0;
    } catch (...) {
        Addon::reportCurrentException("tarnwick::freeData");
        showFailure(Addon::kFreeDataFailed);
        result = host::kErrGeneral;
    }
    // The project's wrappers go with the add-on: they hold host data that must be freed while the
    // host is still there.
    HostProject::destroy();
    // The host's last call: the table may be gone once it returns, and a module that stays mapped
    // waits for the next SetImportedFuncAddrs.
    moduleState.ready = false;
    hostApi().unbind();
    return result;
}

}   // namespace

AddonFactory::AddonFactory(Create create, Destroy destroy) {
    moduleState.create = create;
    moduleState.destroy = destroy;
}

}   // namespace tarnwick

// --- The module's exports ---------------------------------------------------------------------------
HOST_ADDON_EXPORT std::uint32_t GetExportedFuncAddrs(host::AddonExports* exports) {
    if (!exports) return host::kErrBadParameters;
    exports->interfaceVersion = host::kAddonInterfaceVersion;
    exports->hostVersion = host::kAddonHostVersion;
    exports->checkEnvironment = &tarnwick::checkEnvironment;
    exports->registerInterface = &tarnwick::registerInterface;
    exports->initialize = &tarnwick::initialize;
    exports->freeData = &tarnwick::freeData;
    return 0;
}

HOST_ADDON_EXPORT std::uint32_t SetImportedFuncAddrs(const host::HostFunctionTable* table,
                                                     host::HostContext* context) {
    if (!table) return host::kErrBadParameters;
    tarnwick::hostApi().bind(table, context);
    // A module that stays mapped between two loads starts each with a clean slate.
    tarnwick::moduleState.ready = true;
    tarnwick::moduleState.checked = false;
    tarnwick::moduleState.freed = false;
    tarnwick::moduleState.name.clear();
    return 0;
}

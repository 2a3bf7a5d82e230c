// A minimal add-on module written straight on the host protocol, without the framework, so that the
// host's loader, table and entry points can be tested on their own.
#include "RawAddon.h"

#include <algorithm>
#include <iterator>

#include <HostDialogLibrary.h>
#include <HostDialogs.h>

namespace {

RawAddonControls controls = {host::kAddonInterfaceVersion, host::kAddonNormal, 0, 0, 0, 0, nullptr, nullptr};
host::HostFunctionTable table{};
host::HostContext* context = nullptr;

constexpr std::int16_t kNamesList = 100;
constexpr std::int16_t kMenuList = 200;
constexpr std::int16_t kPromptList = 210;
constexpr std::int32_t kDialog = 300;   // "Raw Dialog"

// Item 1 of a string list into a zero-terminated field; false when the host gives none.
bool copyString(std::int16_t list, std::int32_t item, char16_t* field, std::size_t chars) {
    host::Handle text = nullptr;
    if (!table.getString || table.getString(context, list, item, &text) != 0) return false;
    const std::size_t length = std::min(host::getHandleSize(text) / sizeof(char16_t), chars - 1);
    for (std::size_t i = 0; i < length; ++i) field[i] = reinterpret_cast<const char16_t*>(*text)[i];
    host::disposeHandle(text);
    return true;
}

std::uint32_t toggleGroups(void*) {
    controls.lastResult = table.elementTools(context, host::fourcc("SUSP"), nullptr, nullptr, nullptr);
    return controls.lastResult != 0 ? controls.lastResult : controls.bodyResult;
}

// Its OK button closes the dialog.
class OkCloses : public host::ItemObserver {
public:
    void itemClicked(std::int16_t panel, std::int16_t) override { host::DGPostCloseRequest(panel, 1); }
};

// The module's dialog, shown until its OK; as any add-on may show one while its progress window is open.
void showDialog() {
    std::int32_t module = 0;
    if (table.getResourceModule(context, &module) != 0) return;
    if (const std::int16_t panel = host::DGCreateModalDialog(module, kDialog)) {
        OkCloses ok;
        host::DGAttachItemObserver(panel, 1, &ok);
        host::DGInvokeModal(panel);
        host::DGDestroyDialog(panel);
    }
}

// A progress window of two phases of five steps, with the module's dialog between them, stopped by the
// user's cancel.
std::uint32_t countProgress() {
    std::int32_t phases = 2, count = 5, one = 1;
    if (table.interface(context, host::fourcc("IPWD"), (void*)u"Counting", &phases, nullptr, nullptr,
                        nullptr))
        return 1;
    std::uint32_t result = 0;
    for (int phase = 0; phase < phases && result == 0; ++phase) {
        if (phase > 0) showDialog();
        table.interface(context, host::fourcc("SPRP"), (void*)u"Phase", &count, nullptr, nullptr, nullptr);
        for (int step = 0; step < count && result == 0; ++step) {
            table.interface(context, host::fourcc("IPRV"), &one, nullptr, nullptr, nullptr, nullptr);
            result =
                table.interface(context, host::fourcc("CANC"), nullptr, nullptr, nullptr, nullptr, nullptr);
        }
    }
    table.interface(context, host::fourcc("CPWD"), nullptr, nullptr, nullptr, nullptr, nullptr);
    return result;
}

std::uint32_t menuHandler(const host::HostMenuParams* params) {
    switch (params->item) {
        case 1:
            return controls.lastResult = table.undoableCommand(context, u"Toggle", toggleGroups, nullptr);
        case 2:
            return static_cast<std::uint32_t>(
                host::alert(host::kAlertWarning, "Raw", "Go on?", "", "Yes", "No", ""));
        case 3:
            return controls.lastResult = countProgress();
        case 4:
            return toggleGroups(nullptr);
        default:
            return host::kErrBadParameters;
    }
}

std::uint32_t projectHandler(std::uint32_t notification, std::int32_t) {
    controls.notifications |= notification;
    return 0;
}

std::int32_t checkEnvironment(host::AddonEnvironment* environment) {
    copyString(kNamesList, 1, environment->name, host::kAddonNameChars);
    copyString(kNamesList, 2, environment->description, host::kAddonDescriptionChars);
    return controls.addonType;
}

std::uint32_t registerInterface() {
    if (!table.registerMenu) return host::kErrMissingFunction;
    return table.registerMenu(context, kMenuList, kPromptList, 13, 0);
}

// The project's module data "textAtStart" names an item of the names list that the module reads as it
// starts, as a module reads its texts there; an item the list lacks is refused, and the start goes on.
void readTextAtStart() {
    host::HostModuleData data{};
    if (!table.getModuleData || table.getModuleData(context, u"textAtStart", &data) != 0) return;
    std::int32_t item = 0;
    const char* const digits = data.data ? *data.data : nullptr;
    for (std::size_t i = 0; digits && i < host::getHandleSize(data.data) && item < 100000; ++i)
        item = item * 10 + (digits[i] - '0');   // a test's few digits
    host::disposeHandle(data.data);
    char16_t text[64] = {};
    copyString(kNamesList, item, text, std::size(text));
}

std::uint32_t initialize() {
    if (!table.installMenuHandler || !table.catchProjectNotifications) return host::kErrMissingFunction;
    readTextAtStart();
    if (std::uint32_t r = table.installMenuHandler(context, kMenuList, menuHandler)) return r;
    return table.catchProjectNotifications(context, host::kProjectPreSave | host::kProjectQuit,
                                           projectHandler);
}

std::uint32_t freeData() {
    ++controls.freeDataCalls;
    return 0;
}

}   // namespace

HOST_ADDON_EXPORT std::uint32_t GetExportedFuncAddrs(host::AddonExports* exports) {
    *exports = {controls.interfaceVersion,
                host::kAddonHostVersion,
                checkEnvironment,
                registerInterface,
                initialize,
                freeData};
    return 0;
}

HOST_ADDON_EXPORT std::uint32_t SetImportedFuncAddrs(const host::HostFunctionTable* hostTable,
                                                     host::HostContext* hostContext) {
    table = *hostTable;
    context = hostContext;
    controls.table = &table;
    controls.context = context;
    return 0;
}

HOST_ADDON_EXPORT RawAddonControls* RawAddonControlsOf() { return &controls; }

// A module that only lets the host start it, so that the dialog tests can borrow the table and context the
// host handed over (and with them the module's dialog resources) and run the framework in their own process.
#include <cstdint>

#include <HostAddonProtocol.h>
#include <HostTable.h>

namespace {

const host::HostFunctionTable* table = nullptr;
host::HostContext* context = nullptr;

std::int32_t checkEnvironment(host::AddonEnvironment* environment) {
    const char16_t name[] = u"InterfaceProbe";
    for (std::size_t i = 0; i < sizeof(name) / sizeof(name[0]); ++i) environment->name[i] = name[i];
    return host::kAddonNormal;
}
std::uint32_t nothing() { return 0; }

}   // namespace

HOST_ADDON_EXPORT std::uint32_t GetExportedFuncAddrs(host::AddonExports* exports) {
    *exports = {
        host::kAddonInterfaceVersion, host::kAddonHostVersion, checkEnvironment, nothing, nothing, nothing};
    return 0;
}

HOST_ADDON_EXPORT std::uint32_t SetImportedFuncAddrs(const host::HostFunctionTable* hostTable,
                                                     host::HostContext* hostContext) {
    table = hostTable;
    context = hostContext;
    return 0;
}

HOST_ADDON_EXPORT host::HostContext* InterfaceProbeContext() { return context; }

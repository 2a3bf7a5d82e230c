// How an add-on module and the host meet: the two exports the host looks up in the module, the
// four entry points the module hands back, and the records that cross between them. Both sides
// compile this header; every record has a fixed layout, checked below.
//
// Start-up, as the host runs it:
//   1. GetExportedFuncAddrs(&exports): the module fills the record with the interface version
//      (kAddonInterfaceVersion, kAddonHostVersion beside it) and its four entry points.
//   2. SetImportedFuncAddrs(&table, context): the module copies the host function table and keeps
//      the context; every host function takes that context first.
//   3. checkEnvironment(&environment): the module fills in its name and description and says
//      whether it wants to be registered (kAddonNormal) or not (kAddonDoNotRegister).
//   4. registerInterface(): menus and add-on command services are registered.
//   5. initialize(): handlers are installed (menus, notifications, module data, commands).
//   ... the host calls the installed handlers ...
//   6. freeData(): always the last call before the module is unloaded, once check environment ran.
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostMemory.h"
#include "HostResult.h"

namespace host {

struct HostFunctionTable;   // HostTable.h
struct HostContext;         // opaque to the add-on; the host's per-module state

inline constexpr std::uint32_t kAddonInterfaceVersion = 0x160001;   // the protocol this host speaks
inline constexpr std::uint32_t kAddonHostVersion = 22000;           // the host release beside it

// What check environment answers.
enum AddonType : std::int32_t {
    kAddonDoNotRegister = 0,   // the module declines; the host runs free data and unloads it
    kAddonNormal = 1,          // the module stays loaded and is registered
};

inline constexpr std::size_t kAddonNameChars = 256;           // 16-bit characters, zero-terminated
inline constexpr std::size_t kAddonDescriptionChars = 1024;   // 16-bit characters, zero-terminated

extern "C" {

// Filled by check environment. The host zeroes it first; text longer than a field is cut by the
// add-on so that the field still ends in a zero.
struct AddonEnvironment {
    char16_t name[kAddonNameChars];                 // the add-on's display name
    char16_t description[kAddonDescriptionChars];   // several lines separated by '\n'
};
static_assert(sizeof(AddonEnvironment) == 2560);
static_assert(offsetof(AddonEnvironment, description) == 512);

// The four entry points. Each catches everything: no exception may cross into the host.
typedef std::int32_t (*AddonCheckEnvironmentProc)(AddonEnvironment* environment);   // an AddonType
typedef std::uint32_t (*AddonRegisterInterfaceProc)(void);   // 0 = success, else a host error code
typedef std::uint32_t (*AddonInitializeProc)(void);          // 0 = success, else a host error code
typedef std::uint32_t (*AddonFreeDataProc)(void);            // 0 = success, else a host error code

// Filled by GetExportedFuncAddrs. The host zeroes it first and refuses a module that leaves a
// version different from the host's or an entry point null.
struct AddonExports {
    std::uint32_t interfaceVersion;   // kAddonInterfaceVersion
    std::uint32_t hostVersion;        // kAddonHostVersion
    AddonCheckEnvironmentProc checkEnvironment;
    AddonRegisterInterfaceProc registerInterface;
    AddonInitializeProc initialize;
    AddonFreeDataProc freeData;
};
static_assert(sizeof(AddonExports) == 40);
static_assert(offsetof(AddonExports, checkEnvironment) == 8);
static_assert(offsetof(AddonExports, freeData) == 32);

// The two exports, as the host finds them with dlsym.
typedef std::uint32_t (*GetExportedFuncAddrsProc)(AddonExports* exports);
typedef std::uint32_t (*SetImportedFuncAddrsProc)(const HostFunctionTable* table, HostContext* context);

// --- Records and callbacks of the host functions (slots in HostTable.h) ---------------------------

// A menu command chosen by the user: the menu's string-list id and the command's number, 1 for the
// list's second item (the first item is the menu title).
struct HostMenuParams {
    std::int16_t listId;
    std::int16_t item;
    std::uint32_t reserved;   // 0
};
static_assert(sizeof(HostMenuParams) == 8);

// A project's module data: a block of bytes stored in the project under the add-on and a name.
// `data` is a host handle; a record handed to the add-on holds a new handle that the add-on disposes.
struct HostModuleData {
    std::int32_t version;         // the add-on's format version of the bytes
    std::uint16_t platformSign;   // kPlatformSignWindows or kPlatformSignMac: who wrote the bytes
    std::uint16_t reserved;       // 0
    Handle data;                  // the bytes; may be null for no bytes
};
static_assert(sizeof(HostModuleData) == 16);
static_assert(offsetof(HostModuleData, data) == 8);

inline constexpr std::uint16_t kPlatformSignWindows = 0x5757;   // "WW"
inline constexpr std::uint16_t kPlatformSignMac = 0x4D4D;       // "MM"

// Project notifications, one bit each, so that an add-on can catch a set of them by a mask.
enum ProjectNotification : std::uint32_t {
    kProjectNew = 0x1,           // a new, empty project
    kProjectNewAndReset = 0x2,   // a new project that also resets the settings
    kProjectOpen = 0x4,          // a project file was opened
    kProjectPreSave = 0x8,       // the project is about to be saved: store what belongs in it now
    kProjectSave = 0x10,         // the project was saved
    kProjectClose = 0x20,        // the project is closing
    kProjectQuit = 0x40,         // the host is quitting
};

// Callbacks the add-on installs. Each returns 0 or a host error code and must not throw.
typedef std::uint32_t (*HostMenuHandler)(const HostMenuParams* params);
typedef std::uint32_t (*HostProjectHandler)(std::uint32_t notification, std::int32_t parameter);
// Merges `incoming` (another project's data of the same name) into `current` (null when this project
// has none). On success the add-on may put a new handle into merged->data; the host takes it over.
typedef std::uint32_t (*HostModuleDataMergeHandler)(const char16_t* name, const HostModuleData* current,
                                                    const HostModuleData* incoming, HostModuleData* merged);
// The body of an undoable command. A non-zero result rolls the project back to where it was.
typedef std::uint32_t (*HostCommandBody)(void* userData);
// An add-on command service. `parameters` is the caller's handle (may be null; the caller keeps it),
// `resultData` the caller's buffer or null.
typedef std::uint32_t (*HostAddonCommandHandler)(Handle parameters, void* resultData);

// --- Resources built into the module --------------------------------------------------------------

// The module's resource files (string lists, dialogs) as built in by addon_resources() in CMake.
struct AddonResourceFile {
    const char* name;             // the file's name, for messages
    const unsigned char* bytes;   // its text, not zero-terminated
    std::size_t size;
};
struct AddonResourceTable {
    std::uint32_t count;
    const AddonResourceFile* files;
};
typedef const AddonResourceTable* (*GetModuleResourcesProc)(void);

}   // extern "C"

// The names the host looks up in a module.
inline constexpr const char* kGetExportedFuncAddrsSymbol = "GetExportedFuncAddrs";
inline constexpr const char* kSetImportedFuncAddrsSymbol = "SetImportedFuncAddrs";
inline constexpr const char* kGetModuleResourcesSymbol = "GetModuleResources";   // optional

}   // namespace host

// A module defines the exports with this mark, so they are visible to dlsym:
//   HOST_ADDON_EXPORT std::uint32_t GetExportedFuncAddrs(host::AddonExports* exports) { ... }
#define HOST_ADDON_EXPORT extern "C" __attribute__((visibility("default")))

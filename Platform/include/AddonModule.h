// A loaded add-on module file: the dlopen'ed library, its two exports and its built-in resources.
// For the host, its program and tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "HostAddonProtocol.h"
#include "ModuleResources.h"

namespace host {

// Not copyable; the library is unloaded when the object goes. Loading checks everything the host
// relies on before any code of the module runs apart from its static constructors.
class AddonModule {
public:
    // Null, with a message that names the file and what is wrong, when the file cannot be loaded, lacks
    // one of the two exports, or carries resources that do not parse.
    static std::unique_ptr<AddonModule> load(const std::string& path, std::string& error);
    // Loads the file in a child process first, for a program that must not die or wait for ever on a
    // damaged module: a file whose headers look whole can still send the loader astray. False, with a
    // message naming the file, when the checks of load refuse it (a pipe or socket among them, before
    // any process is made), or the trial ends in a crash or has not ended within patience (the child is
    // then killed); a file the loader merely refuses passes, for load to say why. Patience counts the
    // time this process runs, not a time it is stopped in (Ctrl-Z); the child dies with this process.
    static bool loadsApart(const std::string& path, std::string& error,
                           std::chrono::milliseconds patience = kTrialPatience);
    static constexpr std::chrono::milliseconds kTrialPatience{30000};
    ~AddonModule();
    AddonModule(const AddonModule&) = delete;
    AddonModule& operator=(const AddonModule&) = delete;

    const std::string& path() const { return path_; }
    GetExportedFuncAddrsProc getExportedFuncAddrs() const { return getExports_; }
    SetImportedFuncAddrsProc setImportedFuncAddrs() const { return setImports_; }
    const ModuleResources& resources() const { return resources_; }
    // The number the dialog library knows the resources by (HostDialogLibrary.h), while loaded.
    std::int32_t resourceModule() const { return resourceModule_; }

private:
    AddonModule() = default;

    std::string path_;
    void* library_ = nullptr;   // the dlopen handle, closed by the destructor
    GetExportedFuncAddrsProc getExports_ = nullptr;
    SetImportedFuncAddrsProc setImports_ = nullptr;
    ModuleResources resources_;
    std::int32_t resourceModule_ = 0;
};

}   // namespace host

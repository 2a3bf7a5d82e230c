#include "AddonModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <string_view>

#include "HostDialogLibrary.h"

namespace host {
namespace {

std::string dlerrorText() {
    const char* text = dlerror();
    return text ? text : "unknown reason";
}

}   // namespace

std::unique_ptr<AddonModule> AddonModule::load(const std::string& path, std::string& error) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        error = path + ": no such module file";
        return nullptr;
    }
    if (std::filesystem::is_directory(status)) {
        error = path + ": is a folder, not a module file";
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = path + ": is not a regular file, so not a module file";
        return nullptr;
    }
    std::unique_ptr<AddonModule> module(new AddonModule);   // private constructor: no make_unique
    module->path_ = path;
    dlerror();
    // The path is a path: dlopen searches the library folders for a name without a '/', so the file
    // given is named by its absolute path.
    const std::string file = std::filesystem::absolute(path, ec).string();
    // RTLD_NOW: a module with unresolved symbols fails here, not in the middle of a command.
    // RTLD_LOCAL: two add-ons may define the same names.
    module->library_ = dlopen(ec ? path.c_str() : file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module->library_) {
        error = path + ": cannot be loaded as a module: " + dlerrorText();
        return nullptr;
    }
    module->getExports_ =
        reinterpret_cast<GetExportedFuncAddrsProc>(dlsym(module->library_, kGetExportedFuncAddrsSymbol));
    module->setImports_ =
        reinterpret_cast<SetImportedFuncAddrsProc>(dlsym(module->library_, kSetImportedFuncAddrsSymbol));
    if (!module->getExports_ || !module->setImports_) {
        std::string missing;
        if (!module->getExports_) missing = kGetExportedFuncAddrsSymbol;
        if (!module->setImports_)
            missing += std::string(missing.empty() ? "" : " and ") + kSetImportedFuncAddrsSymbol;
        error = path + ": not an add-on module: it does not export " + missing;
        return nullptr;
    }
    // Resources are optional: a module without them has no strings or dialogs to offer.
    const auto getResources =
        reinterpret_cast<GetModuleResourcesProc>(dlsym(module->library_, kGetModuleResourcesSymbol));
    if (getResources) {
        const AddonResourceTable* table = getResources();
        if (table && table->count > 0 && !table->files) {
            error = path + ": its resource table lists files it does not hold";
            return nullptr;
        }
        for (std::uint32_t i = 0; table && i < table->count; ++i) {
            const AddonResourceFile& file = table->files[i];
            const std::string name = file.name ? file.name : "resource " + std::to_string(i + 1);
            if (!file.bytes && file.size > 0) {
                error = path + ": resource " + name + " has no bytes";
                return nullptr;
            }
            std::string why;
            const std::string_view text(reinterpret_cast<const char*>(file.bytes), file.size);
            if (!module->resources_.addFile(text, name, why)) {
                error = path + ": bad resources: " + why;
                return nullptr;
            }
        }
    }
    module->resourceModule_ = DGRegisterResourceModule(&module->resources_);
    return module;
}

AddonModule::~AddonModule() {
    if (resourceModule_ != 0) DGUnregisterResourceModule(resourceModule_);
    if (library_) dlclose(library_);
}

}   // namespace host

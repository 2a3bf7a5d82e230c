#include "Styles/TarnwickLibrary.h"

#include <string>

#include <HostSystem.h>

#include "Environment/Host.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataFile.h"
#include "Foundation/XMLArrayProxy.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Project/ComponentLink.h"
#include "Project/ComponentSource.h"
#include "Project/Library.h"
#include "Project/Project.h"
#include "Styles/PresetDatabase.h"
#include "Styles/UserDatabaseCollection.h"

namespace tarnwick {
namespace {

constexpr std::string_view kChildTags[] = {"presetList"};
constexpr const char* kStarterInfix = " Starter Presets-";
constexpr const char* kInternational = "INT";

// The file of the starter part for the language; null when the library has no such part or it has no file.
std::unique_ptr<DataFile> starterFile(Library& library, const String& addonName, const String& language) {
    const ComponentLink link(addonName + kStarterInfix + language, 0, &library);
    if (link.getIndex() == 0) return nullptr;
    const std::unique_ptr<ComponentSource> source = library.getSource(link);
    return source ? source->openFile() : nullptr;
}

}   // namespace

TarnwickLibrary::TarnwickLibrary() : Package(kTag) {}

TarnwickLibrary::~TarnwickLibrary() = default;

std::unique_ptr<XMLAssembly> TarnwickLibrary::clone() const {
    return std::make_unique<TarnwickLibrary>(*this);
}

void TarnwickLibrary::clear() {
    presets_.clear();
    Package::clear();
}

bool TarnwickLibrary::readStarterData(const String& addonName, String& error) {
    error.clear();
    Library* const library = Host::getLibrary();
    if (!library) return true;
    const String language{std::string_view(host::languageCode())};
    std::unique_ptr<DataFile> file = starterFile(*library, addonName, language);
    if (!file && language != kInternational) file = starterFile(*library, addonName, String(kInternational));
    if (!file) return true;
    // The file is read into copies: only a file read whole changes anything.
    TarnwickLibrary read;
    UserDatabaseCollection collection;
    PresetDatabase().createProxy(collection, /*copy=*/true);
    collection.add(std::make_unique<XMLAssemblyProxy>(read), nullptr);
    DataBufferIn in(*file, DataBufferIn::kDefaultBufferSize, /*closeWhenDone=*/true);
    if (!collection.read(in, error)) return false;
    presets_ = read.presets_;
    const std::unique_ptr<Package> starter = collection.takePackage(PresetDatabase::kCode);
    Project* const project = Host::getProject();
    if (Package* styles = project ? project->getPackage(PresetDatabase::kCode) : nullptr; styles && starter)
        styles->merge(*starter);
    return true;
}

std::span<const std::string_view> TarnwickLibrary::getChildTags() const { return kChildTags; }

std::unique_ptr<XMLProxy> TarnwickLibrary::makeChildProxy(std::size_t index) {
    return index == 0 ? std::make_unique<XMLArrayProxy>(presets_, kChildTags[0]) : nullptr;
}

}   // namespace tarnwick

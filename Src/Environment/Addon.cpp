#include "Environment/Addon.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include <FourCC.h>
#include <HostDebug.h>
#include <HostDialogs.h>
#include <HostResult.h>
#include <HostTable.h>

#include "Environment/Event.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Environment/ModuleEvent.h"
#include "Environment/Package.h"
#include "Environment/PackageStore.h"
#include "Environment/ProjectEvent.h"
#include "Environment/Supervisor.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/DataFile.h"
#include "Foundation/DateTime.h"
#include "Foundation/Directory.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/System.h"
#include "Foundation/TracedException.h"
#include "Project/HostProject.h"
#include "Project/Project.h"
#include "Styles/TarnwickLibrary.h"

namespace tarnwick {
namespace {

constexpr const char* kPreferencesFolderName = "Tarnwick";
constexpr const char* kReportFolderName = "Tarnwick Tools";
constexpr const char* kPreferenceFilePrefix = "com.tarnwickgroup.";
constexpr int kMostReports = 1000;   // names tried for one second's exception report
constexpr std::int32_t kModuleDataVersion = 1;
constexpr std::uint32_t kHostSource = host::fourcc("HOST");
constexpr std::uint32_t kAllProjectNotifications =
    host::kProjectNew | host::kProjectNewAndReset | host::kProjectOpen | host::kProjectPreSave |
    host::kProjectSave | host::kProjectClose | host::kProjectQuit;

// Never destroyed with the module's statics: free data destroys the add-on while the host is there. A
// module unloaded without free data leaves it alone, since its destructor would call a host that is gone.
std::unique_ptr<Addon>& instanceSlot() {
    static auto* const instance = new std::unique_ptr<Addon>;
    return *instance;
}

// The info list of the add-on made last: the name is known even when making it failed part way.
std::int16_t lastInfoListId = 0;

std::u16string projectStoreName() { return String(Addon::kProjectStoreName).toUniString(); }

// The store's XML in a new host handle; null when it cannot be written.
host::Handle writeStore(PackageStore& store) {
    host::Handle handle = nullptr;
    DataBufferOut out;
    const bool written = out.open(handle) && store.write(out);
    if (!out.close() || !written) {
        host::disposeHandle(handle);
        return nullptr;
    }
    return handle;
}

// Holds a flag up for as long as it lives, and down after.
class FlagRaised {
public:
    explicit FlagRaised(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagRaised() { flag_ = false; }
    FlagRaised(const FlagRaised&) = delete;
    FlagRaised& operator=(const FlagRaised&) = delete;

private:
    bool& flag_;
};

}   // namespace

// --- Life ------------------------------------------------------------------------------------------
Addon::Addon(std::int16_t infoListId)
    : infoListId_(infoListId),
      eventLog_(kEventLogSize),
      fileStore_(std::make_unique<PackageStore>(kProjectStoreName, false)),
      projectKinds_(std::make_unique<PackageStore>(kProjectStoreName, true)),
      supervisor_(std::make_unique<Supervisor>(*this)) {
    lastInfoListId = infoListId;
    TracedException::setReportLogs(&Host::getTransactionLog(), &eventLog_);
}

Addon::~Addon() {
    try {
        supervisor_->disconnect();
    } catch (...) {
        reportText(describeCurrentException("tarnwick::Addon::~Addon"));
    }
    for (const auto& [code, package] : *fileStore_) package->shutDown();
    if (Project* project = HostProject::findProject())
        for (const auto& [code, package] : project->getPackageStore()) package->shutDown();
    TracedException::setReportLogs(&Host::getTransactionLog(), nullptr);
}

String Addon::getVersion() const { return {}; }

String Addon::getBuild() const { return {}; }

std::unique_ptr<Directory> Addon::getPreferencesFolder() const {
    const std::unique_ptr<Directory> applicationData = System::getSpecialFolder5();
    if (!applicationData) return nullptr;
    host::Result error = 0;
    return applicationData->makeSubdirectory(kPreferencesFolderName, error);
}

void Addon::installTools() {}

Addon* Addon::getInstance() { return instanceSlot().get(); }

void Addon::setInstance(std::unique_ptr<Addon> addon) {
    destroyInstance();
    instanceSlot() = std::move(addon);
}

void Addon::destroyInstance() {
    // Out of the global first: while it is destroyed nothing reaches it as the add-on.
    std::unique_ptr<Addon> old = std::move(instanceSlot());
    old.reset();
}

String Addon::getName() const { return Host::getString(infoListId_, 1); }

String Addon::getNameOfLastMade() {
    return lastInfoListId != 0 ? Host::getString(lastInfoListId, 1) : String();
}

String Addon::getDescription() const {
    String text = Host::getString(kEnvironmentStrings, kVersionWord);
    text += " ";
    text += getVersion();
    text += " ";
    text += Host::getString(kEnvironmentStrings, kBuildWord);
    text += " ";
    text += getBuild();
    text += "\n";
    text += Host::getString(infoListId_, 2);
    return text;
}

// --- Events ----------------------------------------------------------------------------------------
bool Addon::publishExternalEvent(const Event& event) {
    logEvent(event);
    const bool fromHost = event.getSource() == kHostSource;
    // A project the subscribers asked for while it was closing is forgotten however the event ends.
    const auto* const projectEvent = dynamic_cast<const ProjectEvent*>(&event);
    struct ForgetClosedProject {
        bool closing;
        ~ForgetClosedProject() {
            if (!closing) return;
            try {
                HostProject::reset();
            } catch (...) {
                reportCurrentException("tarnwick::Addon::publishExternalEvent");
            }
        }
    } const forget{fromHost && projectEvent && projectEvent->getCode() == host::kProjectClose};
    try {
        if (fromHost) forgetProject(event);
        if (fromHost && preHandle(event)) return true;
        bool handled = publish(event);
        if (fromHost)
            postHandle(event);
        else if (!handled)
            handled = supervisor_->offerEvent(event);
        return handled;
    } catch (...) {
        reportCurrentException("tarnwick::Addon::publishExternalEvent");
        return false;
    }
}

void Addon::logEvent(const Event& event) { eventLog_.add("event", event.describe()); }

bool Addon::enterExternalCall(bool outermost) {
    externalCallDepth_ = outermost ? 1 : externalCallDepth_ + 1;
    if (externalCallDepth_ != 1) return true;
    try {
        supervisor_->keepAlive();
        return true;
    } catch (...) {
        reportCurrentException("tarnwick::Addon::enterExternalCall");
        return false;
    }
}

void Addon::leaveExternalCall() {
    if (externalCallDepth_ > 0) --externalCallDepth_;
}

void Addon::forgetProject(const Event& event) {
    const auto* project = dynamic_cast<const ProjectEvent*>(&event);
    if (!project) return;
    switch (project->getCode()) {
        case host::kProjectNew:
        case host::kProjectNewAndReset:
        case host::kProjectOpen:
        case host::kProjectClose:
            // Nothing cached of the project before holds, and the subscribers must not find it.
            Host::reset();
            break;
        default:
            break;
    }
}

bool Addon::preHandle(const Event&) { return false; }

void Addon::postHandle(const Event& event) {
    if (const auto* project = dynamic_cast<const ProjectEvent*>(&event)) {
        switch (project->getCode()) {
            case host::kProjectPreSave:
                // Stored data that could not be read stays as it is until a setting is changed.
                if (!projectStoreUnread_) savePreferences(kProjectLocation);
                break;
            case host::kProjectNew:
            case host::kProjectNewAndReset:
            case host::kProjectOpen:
                // Another project: finding it files and reads its packages (fileProjectPackages), unless
                // a subscriber found it already.
                Host::getProject();
                break;
            default:
                break;
        }
    } else if (const auto* module = dynamic_cast<const ModuleEvent*>(&event)) {
        if (module->getName() != kProjectStoreName) return;
        // The incoming packages are read into fresh ones of our kinds, then merged into ours.
        PackageStore incoming(kProjectStoreName, true);
        PackageStore* const ours = getPackageStore(kProjectLocation);
        if (!ours) return;
        for (const auto& [code, package] : *ours) incoming.adoptPackage(package->makeEmpty(), false);
        DataBufferIn in(module->getData());
        if (!incoming.read(in)) return;
        for (const auto& [code, package] : incoming)
            if (Package* mine = ours->find(code)) mine->merge(*package);
    }
}

// --- Packages --------------------------------------------------------------------------------------
PackageStore* Addon::getPackageStore(std::int32_t location) const {
    switch (location) {
        case kProjectLocation:
            if (Project* project = Host::getProject()) return &project->getPackageStore();
            return nullptr;
        case kFileLocation:
            return fileStore_.get();
        default:
            return nullptr;
    }
}

bool Addon::registerPackage(const Package& package, std::int32_t location) {
    PackageStore* store = getPackageStore(location);
    if (location == kProjectLocation) {
        projectKinds_->addPackage(package, false);
        if (!store) return true;   // filed when the project is found
    }
    if (!store) return false;
    store->addPackage(package, false);
    return true;
}

void Addon::fileProjectPackages() {
    try {
        PackageStore* const store = getPackageStore(kProjectLocation);
        if (!store) return;
        // Its own stored packages apply, or the defaults where it has none; every kind registered has
        // one, also those registered while the host gave no project.
        for (const auto& [code, package] : *projectKinds_)
            if (!store->find(code)) store->addPackage(*package, false);
        store->resetPackages(false);
        if (!projectReadComing_) loadPreferences(kProjectLocation);
    } catch (...) {
        reportCurrentException("tarnwick::Addon::fileProjectPackages");
    }
}

bool Addon::hasPackage(std::uint32_t code, std::int32_t location) const {
    const PackageStore* store = getPackageStore(location);
    return store && store->find(code) != nullptr;
}

bool Addon::savePreferences(std::int32_t location) {
    PackageStore* store = getPackageStore(location);
    if (!store) return false;
    if (store->empty()) return true;
    if (location == kProjectLocation) {
        host::HostModuleData data{};
        data.version = kModuleDataVersion;
        data.platformSign = System::getHostCode();
        data.data = writeStore(*store);
        if (!data.data) return false;
        const std::u16string name = projectStoreName();
        const std::uint32_t result = hostApi().call<host::HostSlot::putModuleData>(name.c_str(), &data);
        host::disposeHandle(data.data);
        if (result != 0) return false;
        projectStoreUnread_ = false;   // what is stored now is ours
        return true;
    }
    const std::unique_ptr<Directory> folder = getPreferencesFolder();
    if (!folder) return false;
    host::Result error = 0;
    const bool saved = folder->replaceFile(
        kPreferenceFilePrefix + getName(), "xml",
        [store](DataFile& file) {
            DataBufferOut out;
            const bool written = out.open(file) && store->write(out);
            return out.close() && written;
        },
        error);
    if (!saved) return false;
    fileStoreUnread_ = false;
    return true;
}

bool Addon::isStoreUnread(std::int32_t location) const {
    return location == kProjectLocation ? projectStoreUnread_ : location == kFileLocation && fileStoreUnread_;
}

bool Addon::loadPreferences(std::int32_t location) {
    PackageStore* store = nullptr;
    if (location == kProjectLocation) {
        // A project found only now files its packages, and they are read here, once.
        const FlagRaised reading(projectReadComing_);
        store = getPackageStore(location);
    } else {
        store = getPackageStore(location);
    }
    if (!store) return false;
    if (store->empty()) return true;
    if (location == kProjectLocation) {
        host::HostModuleData data{};
        const std::u16string name = projectStoreName();
        const std::uint32_t result = hostApi().call<host::HostSlot::getModuleData>(name.c_str(), &data);
        const MemoryBlock block(result == 0 ? data.data : nullptr);   // owns the host's new handle
        projectStoreUnread_ = false;
        if (result == host::kErrNoModuleData) return true;
        DataBufferIn in(block);
        if (result == 0 && store->read(in)) return true;
        // Whatever the project holds is not known now, so nothing may be written over it.
        projectStoreUnread_ = true;
        String message = Host::getString(kEnvironmentStrings, kStoredSettingsUnreadable);
        message.replaceAll("$1", getName());
        String where;   // what the reader found wrong, when it was the reading that failed
        if (const PackageStore::ReadError& why = store->getReadError(); result == 0 && why.line > 0) {
            where = Host::getString(kEnvironmentStrings, kWhereInStoredData);
            where.replaceAll("$1", String(static_cast<std::uint32_t>(why.line)));
            where.replaceAll("$2", String(static_cast<std::uint32_t>(why.column)));
            where.replaceAll("$3", String(why.text));
        }
        showWarning(message, where);
        return false;
    }
    const std::unique_ptr<Directory> folder = getPreferencesFolder();
    if (!folder) return false;
    DataFile file(*folder, kPreferenceFilePrefix + getName() + ".xml", DataFile::kRead);
    fileStoreUnread_ = false;
    if (!file.exists()) return true;
    DataBufferIn in(file);
    if (store->read(in)) return true;
    fileStoreUnread_ = true;
    return false;
}

// --- Exceptions ------------------------------------------------------------------------------------
String Addon::reportException(const String& report) {
    String path;
    String fileName;
    String folderPath;
    if (const std::unique_ptr<Directory> applicationData = System::getSpecialFolder5()) {
        host::Result error = 0;
        if (const std::unique_ptr<Directory> folder =
                applicationData->makeSubdirectory(kReportFolderName, error)) {
            DateTime now;
            now.setToNow();
            const String base = getName() + " " + now.formatForFileName();
            // Two reports within a second each keep their own file; a report never replaces an entry.
            std::unique_ptr<DataFile> file = DataFile::createNew(
                *folder,
                [&base](int n) {
                    return (n == 1 ? base : base + " (" + String(static_cast<std::int32_t>(n)) + ")") +
                           ".txt";
                },
                kMostReports);
            if (file && file->write(report) && file->close()) {
                fileName = file->getName();
                folderPath = folder->getPath();
                path = file->getPath();
            } else if (file) {
                file->remove();   // half a report would mislead whoever reads it
            }
        }
    }
    if (path.isEmpty()) {
        showAlert(Host::getString(kEnvironmentStrings, kReportNotSaved), String());
    } else {
        String message = Host::getString(kEnvironmentStrings, kReportSaved);
        message.replaceAll("$1", fileName);
        message.replaceAll("$2", folderPath);
        showAlert(message, Host::getString(kEnvironmentStrings, kSupportRequest));
    }
    return path;
}

String Addon::describeCurrentException(const char* place) {
    try {
        throw;
    } catch (const TracedException& exception) {
        return exception.getReport();
    } catch (const std::bad_alloc&) {
        return TracedException("bad_alloc", place).getReport();
    } catch (const std::out_of_range&) {
        return TracedException("out_of_range", place).getReport();
    } catch (...) {
        return TracedException("unknown", place).getReport();
    }
}

void Addon::reportCurrentException(const char* place) { reportText(describeCurrentException(place)); }

void Addon::reportText(const String& report) {
    if (Addon* addon = getInstance())
        addon->reportException(report);
    else
        host::debugOutput(report.getView());
}

void Addon::showAlert(const String& message, const String& detail) {
    const String title = Host::getString(kFrameworkStrings, 3);
    const String ok = Host::getString(kFrameworkStrings, 5);
    host::alert(host::kAlertError, title.getView(), message.getView(), detail.getView(), ok.getView(), "",
                "");
}

void Addon::showWarning(const String& message, const String& detail) {
    const String title = Host::getString(kFrameworkStrings, 2);
    const String ok = Host::getString(kFrameworkStrings, 5);
    host::alert(host::kAlertWarning, title.getView(), message.getView(), detail.getView(), ok.getView(), "",
                "");
}

// --- Host callbacks --------------------------------------------------------------------------------
std::uint32_t Addon::registerServices() {
    return hostApi().call<host::HostSlot::registerCommandService>(Supervisor::kCommandId,
                                                                  Supervisor::kVersion);
}

std::uint32_t Addon::installHandlers() {
    std::uint32_t result = hostApi().call<host::HostSlot::catchProjectNotifications>(kAllProjectNotifications,
                                                                                     &onProjectNotification);
    if (result == 0)
        result = hostApi().call<host::HostSlot::installModuleDataMergeHandler>(&onModuleDataMerge);
    if (result == 0)
        result = hostApi().call<host::HostSlot::installCommandHandler>(
            Supervisor::kCommandId, Supervisor::kVersion, &onSupervisorCommand);
    if (result == 0) supervisor_->connect(getName(), getPreferencesFolder());
    if (result == 0) readStarterStyles();
    return result;
}

Subscriber& Addon::adoptTool(std::unique_ptr<Subscriber> tool) {
    Subscriber& kept = *tools_.emplace_back(std::move(tool));
    subscribe(kept);
    return kept;
}

TarnwickLibrary& Addon::getTarnwickLibrary() {
    if (!library_) library_ = std::make_unique<TarnwickLibrary>();
    return *library_;
}

bool Addon::readStarterStyles() {
    String error;
    if (getTarnwickLibrary().readStarterData(getName(), error)) return true;
    String message = Host::getString(kEnvironmentStrings, kStarterStylesUnreadable);
    message.replaceAll("$1", getName());
    message.replaceAll("$2", error);
    showWarning(message, String());
    return false;
}

std::uint32_t Addon::onProjectNotification(std::uint32_t notification, std::int32_t) {
    Addon* addon = getInstance();
    if (!addon) return host::kErrNotReady;
    const Host::ProjectNotificationScope scope;
    addon->publishExternalEvent(ProjectEvent(notification));
    return 0;
}

std::uint32_t Addon::onModuleDataMerge(const char16_t* name, const host::HostModuleData*,
                                       const host::HostModuleData* incoming, host::HostModuleData* merged) {
    Addon* addon = getInstance();
    if (!addon) return host::kErrNotReady;
    if (!name || !incoming || !merged) return host::kErrBadParameters;
    try {
        const std::string_view bytes =
            incoming->data && *incoming->data
                ? std::string_view(*incoming->data, host::getHandleSize(incoming->data))
                : std::string_view();
        const String dataName{std::u16string_view(name)};
        addon->publishExternalEvent(ModuleEvent(dataName, bytes));
        if (dataName != kProjectStoreName) return 0;
        // The merged packages are what the project keeps from now on.
        merged->version = kModuleDataVersion;
        merged->platformSign = System::getHostCode();
        PackageStore* const store = addon->getPackageStore(kProjectLocation);
        if (!store) return host::kErrGeneral;
        merged->data = writeStore(*store);
        return merged->data ? 0 : host::kErrMemFull;
    } catch (...) {
        reportCurrentException("tarnwick::Addon::onModuleDataMerge");
        return host::kErrGeneral;
    }
}

std::uint32_t Addon::onSupervisorCommand(host::Handle parameters, void* resultData) {
    Addon* addon = getInstance();
    if (!addon) return host::kErrNotReady;
    try {
        addon->logEvent(Event(kHostSource, host::fourcc("CMND")));
        return addon->supervisor_->serve(parameters, resultData);
    } catch (...) {
        reportCurrentException("tarnwick::Addon::onSupervisorCommand");
        return host::kErrGeneral;
    }
}

}   // namespace tarnwick

// Addon: the framework's root of the add-on: the one object the entry points forward to. It publishes
// the host's callbacks as events, keeps the event log, the preference packages (the project's, kept as
// module data, and the file store) and the link to the add-ons that share its supervisor.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <HostAddonProtocol.h>
#include <HostMemory.h>

#include "Environment/Publisher.h"
#include "Environment/Subscriber.h"
#include "Foundation/ActivityLog.h"
#include "Foundation/String.h"

namespace tarnwick {

class Directory;
class Event;
class Package;
class PackageStore;
class Supervisor;
class TarnwickLibrary;

// Exactly one exists while the module runs: the product derives its add-on class from it, makes it in its
// create function and hands it to setInstance. Not copyable.
class Addon : public Publisher {
public:
    static constexpr std::size_t kEventLogSize = 100;

    // The framework's string lists: general texts, and those of the add-on environment with their items.
    static constexpr std::int16_t kFrameworkStrings = 32700;   // 3 "Error", 5 "OK"
    static constexpr std::int16_t kEnvironmentStrings = 32701;
    enum EnvironmentString : std::int32_t {
        kVersionWord = 1,
        kBuildWord = 2,
        kCheckEnvironmentFailed = 3,
        kRegisterInterfaceFailed = 4,
        kInitializeFailed = 5,
        kFreeDataFailed = 6,
        kSupportRequest = 7,
        kAbnormalTermination = 8,
        kReportSaved = 9,   // "$1": the report file's name, "$2": its folder
        kReportNotSaved = 10,
        kStoredSettingsUnreadable = 11,   // "$1": the add-on's name
        kWhereInStoredData = 12,          // "$1" line, "$2" column, "$3" what is wrong there
        kStarterStylesUnreadable = 13,    // "$1": the add-on's name, "$2": where and why
        kProjectUnavailable = 14,         // "$1": the add-on's name
    };
    static constexpr const char* kProjectStoreName = "frameworkPreferenceStore";

    // Where a package is kept.
    enum Location : std::int32_t {
        kProjectLocation = 0,   // the open project's module data "frameworkPreferenceStore"
        kFileLocation = 1,      // the preference file in the add-on's preferences folder
    };

    // infoListId: the product's string list whose item 1 is the add-on's name, item 2 its description.
    explicit Addon(std::int16_t infoListId);
    Addon(const Addon&) = delete;
    Addon& operator=(const Addon&) = delete;

    // --- Virtual operations the product overrides, in this order --------------------------------------
    ~Addon() override;
    virtual String getVersion() const;   // "" unless overridden
    virtual String getBuild() const;     // "" unless overridden
    // The folder of the preference file, owned by the caller: "Tarnwick" under the host's special folder
    // 5, made when missing. Null when there is none and it cannot be made.
    virtual std::unique_ptr<Directory> getPreferencesFolder() const;
    virtual void installTools();   // the product's subscribers and packages; nothing by default

    // --- The one instance -------------------------------------------------------------------------------
    static Addon* getInstance();                             // null before creation and after destruction
    static void setInstance(std::unique_ptr<Addon> addon);   // replaces (and deletes) any former one
    static void destroyInstance();

    String getName() const;   // the display name from the product's string list
    // The display name of the add-on made last, also when making it failed after the base was built (a
    // product's constructor or installTools threw); empty before any was made. The entry points' alerts
    // name the add-on with it.
    static String getNameOfLastMade();
    String getDescription() const;   // "Version <version> build <build>" line, then the product's text

    // --- Events -----------------------------------------------------------------------------------------
    // Logs and publishes a host callback's event: the pre-handler, the subscribers, then the post-handler
    // (saving packages, merging module data). An event from elsewhere that no subscriber handles is offered
    // to the other add-ons of the supervisor. Exceptions are reported, never passed on; they count as not
    // handled.
    bool publishExternalEvent(const Event& event);
    void logEvent(const Event& event);   // its description into the event log
    ActivityLog& getEventLog() { return eventLog_; }

    // Raises the external call depth (to 1 when outermost) and at depth 1 checks the supervisor link. False
    // when that work threw (the exception is reported).
    bool enterExternalCall(bool outermost);
    void leaveExternalCall();   // lowers the depth by one, never below 0
    int getExternalCallDepth() const { return externalCallDepth_; }

    // --- Packages ---------------------------------------------------------------------------------------
    // Files a clone of the package in the store of the location (replacing one of its type); for the
    // project, also in every project found later, so one that the host does not give yet (none is open,
    // or 'PROJ' was refused) gets it when it is found. False for an unknown location.
    bool registerPackage(const Package& package, std::int32_t location);
    // The project was found, the first time since it changed (HostProject::getProject calls it): every
    // kind registered for the project gets a package in it, each at its defaults, then the project's
    // stored packages are read over them (loadPreferences). Exceptions are reported, never passed on.
    void fileProjectPackages();
    bool hasPackage(std::uint32_t code, std::int32_t location) const;
    PackageStore* getPackageStore(std::int32_t location) const;   // null for an unknown location
    // Location 0 writes the project's packages as the module data "frameworkPreferenceStore"; the file
    // location writes "com.tarnwickgroup.<name>.xml" in getPreferencesFolder(), whole, as a new file that
    // then takes the name (Directory::replaceFile). An empty store writes nothing. False when the data
    // cannot be made or stored, or for an unknown location.
    bool savePreferences(std::int32_t location);
    // Reads them back. Nothing stored yet is no error; the packages keep their values where the stored
    // data lacks them or cannot be read (false then). Stored data that is there but cannot be read (or
    // that the host fails to hand over) is left as it is: the saves the framework makes by itself (before
    // the project is saved, the file at free data) skip it until savePreferences is called for its
    // location, as when the user changes a setting. Unread project data is reported in a warning.
    bool loadPreferences(std::int32_t location);
    bool isStoreUnread(std::int32_t location) const;   // the stored data of the location was not read

    // Subscribers the framework makes for itself (the style updater): subscribed to the add-on and
    // deleted with it. The tool as kept.
    Subscriber& adoptTool(std::unique_ptr<Subscriber> tool);
    template <typename Tool>
    Tool* findTool() const {   // the first tool of the kind; null when none
        for (const auto& tool : tools_)
            if (auto* found = dynamic_cast<Tool*>(tool.get())) return found;
        return nullptr;
    }

    // The companion library: the style templates of the add-on's starter data. Made empty on first use;
    // initialize reads the starter data into it.
    TarnwickLibrary& getTarnwickLibrary();
    // Reads the starter styles and templates (TarnwickLibrary::readStarterData); a starter file that
    // cannot be read is named in a warning and nothing of it is used. False then.
    bool readStarterStyles();

    // --- Exceptions -------------------------------------------------------------------------------------
    // Writes the report as "<name> <date time>.txt" (" (2)", ... added when that is taken: a report is
    // always a new file) in "Tarnwick Tools" under the host's special folder 5 and names the file in an
    // alert; when no file can be written the alert asks for the steps by e-mail.
    // Returns the file's path, or "" when none was written.
    String reportException(const String& report);

    // For a catch handler at a boundary: the report of the exception being handled. A TracedException
    // reports itself; any other becomes one of kind "bad_alloc", "out_of_range" or "unknown" at `place`.
    static String describeCurrentException(const char* place);
    static void reportCurrentException(const char* place);   // describes it and reports it (reportText)
    // Through the add-on's reportException; without an add-on, to the host's debug output.
    static void reportText(const String& report);
    // The framework's error alert: a message and a second text below it.
    static void showAlert(const String& message, const String& detail);
    static void showWarning(const String& message, const String& detail);   // the same as a warning

    // --- Host callbacks ---------------------------------------------------------------------------------
    std::uint32_t registerServices();   // at register interface: the 'GSUP' service
    // At initialize: handlers for project notifications, module-data merges and 'GSUP', then the link to
    // the supervisor. The first failing host result, or 0.
    std::uint32_t installHandlers();
    Supervisor& getSupervisor() { return *supervisor_; }

protected:
    // Whether the add-on consumes a host event before its subscribers see it (default: no).
    virtual bool preHandle(const Event& event);
    // After the subscribers: saves the project's packages before a save and loads them when a project
    // is opened or made; merges incoming module data into the project's packages.
    virtual void postHandle(const Event& event);

private:
    // Before anyone sees a notification that another project comes (or this one goes): Host::reset.
    void forgetProject(const Event& event);
    static std::uint32_t onProjectNotification(std::uint32_t notification, std::int32_t parameter);
    static std::uint32_t onModuleDataMerge(const char16_t* name, const host::HostModuleData* current,
                                           const host::HostModuleData* incoming,
                                           host::HostModuleData* merged);
    static std::uint32_t onSupervisorCommand(host::Handle parameters, void* resultData);

    std::int16_t infoListId_;
    ActivityLog eventLog_;
    std::unique_ptr<PackageStore> fileStore_;
    // A package of each kind registered for the project, so that a project opened after the add-on
    // started (or after none was open) gets them too.
    std::unique_ptr<PackageStore> projectKinds_;
    std::unique_ptr<Supervisor> supervisor_;
    std::unique_ptr<TarnwickLibrary> library_;         // made on first use
    std::vector<std::unique_ptr<Subscriber>> tools_;   // gone before the publisher base; each leaves it
    int externalCallDepth_ = 0;
    bool projectStoreUnread_ = false;   // the project's stored packages are there but were not read
    bool fileStoreUnread_ = false;      // so is the preference file
    // A read of the project's packages is to come (the start's, or one under way): a project found
    // meanwhile files its packages but leaves the reading to it.
    bool projectReadComing_ = true;
};

}   // namespace tarnwick

// Host: the add-on's facade over the host application: the open project, transactions and their log,
// string resources and environment queries.
#pragma once

#include <cstdint>
#include <memory>

#include <HostSystem.h>

#include "Foundation/ActivityLog.h"
#include "Foundation/Guid.h"
#include "Foundation/String.h"

namespace tarnwick {

class ClassificationDatabase;
class PropertyDatabase;
class Database;
class ElementLink;
class Library;
class Plan;
class Project;
class Specification;
class Transaction;
class User;

// Not instantiated: all state is static and lives while the module is loaded. Every host call goes
// through hostApi(); a failing call gives the documented empty or false answer.
class Host {
public:
    Host() = delete;

    static constexpr std::size_t kTransactionLogSize = 25;
    static constexpr std::uint32_t kHandled = 1;   // low byte of makeTransaction's result

    // --- Transactions ------------------------------------------------------------------------------
    // Runs the transaction: log its name; refused inside a project notification ("BLOCKED: "); prepare
    // outside the undo step (declined: "FAILED INIT: ", handled; declined or thrown, the edit manager puts
    // back what prepare changed and gives its reservations back); number the outermost; run the body in
    // the host's undoable command named by the transaction (directly when it has no name or a host
    // command is already running); finish with the outcome; log "RUN ERROR: " on a non-zero result.
    // Exceptions are reported, never passed on. The low byte of the result is the handled flag: set
    // when the body succeeded or prepare declined, clear when refused or failed. An outermost one that
    // ends before its body (refused, declined, or its prepare threw) is told to the host as such
    // (host::tellStepEnd), which cannot tell these apart by the handled flag.
    static std::uint32_t makeTransaction(Transaction& transaction);

    // The result of the first outermost transaction that failed (its body's non-zero result) since the
    // last call, and forgets it; 0 when none failed. The menu callback hands it back to the host, so
    // that a command whose transaction was rolled back is seen to have failed.
    static std::uint32_t takeFailure();
    // Work of the command that failed outside a transaction's body, with nothing to roll back (a file the
    // user's changes were to be kept in): result is taken as above, unless a failure is already held.
    static void noteFailure(std::uint32_t result);

    static ActivityLog& getTransactionLog();
    static std::uint32_t getTransactionCount();       // transactions numbered since the last reset
    static std::uint32_t getCurrentTransactionId();   // the outermost one's number; 0 after reset
    // Zeroes the transaction counter and the current id, forgets the current User and clears the
    // project's cached state.
    static void reset();

    // --- The project ----------------------------------------------------------------------------------
    // Made on first request; null when no project is open or it cannot be made.
    static Project* getProject();
    static Plan* getPlan();                     // null without a project
    static Specification* getSpecification();   // the project's attributes; null without a project
    static Library* getLibrary();               // the project's library parts; null without a project
    static ClassificationDatabase* getClassificationDatabase();   // null without a project
    static PropertyDatabase* getPropertyDatabase();               // null without a project
    static Database* getCurrentDatabase();                  // null without a project or when the host fails
    static bool setCurrentDatabase(Database* database);     // false on failure
    static bool setCurrentWindow(Database* database);       // false on failure
    static std::unique_ptr<ElementLink> getCurrentTool();   // 'GTBX'; null when the host fails
    static host::WindowId getMainWindow();                  // the host application's main window
    static Guid getActiveRenovationFilter();                // 'GARF'; empty when the host fails
    // The current member ('PROJ'; id 0 in a project that is not shared), with the name the project's
    // member list gives it. Read once until reset; null when the host cannot say (asked again next time).
    static const User* getUser();

    // Set while a project notification is being handled; transactions are refused then. Nests.
    class ProjectNotificationScope {
    public:
        ProjectNotificationScope();
        ~ProjectNotificationScope();
        ProjectNotificationScope(const ProjectNotificationScope&) = delete;
        ProjectNotificationScope& operator=(const ProjectNotificationScope&) = delete;
    };
    static bool isInsideProjectNotification();

    // --- Resources and environment ----------------------------------------------------------------
    // Item (1-based) of one of the module's string lists; empty when the list or item is missing.
    static String getString(std::int16_t listId, std::int32_t item);
    // True while a host command (undoable or not) is running; false also when the host cannot say.
    static bool isInsideCommand();
    // 'ISSG': true when the host reports the suspend-groups mode off; false when on or unanswered.
    static bool isSuspendGroupsOff();
    // Reads 'ISSG' and toggles with 'SUSP' only when the mode differs from the one asked for. False
    // when either call fails: an unanswered 'ISSG' leaves the mode untouched.
    static bool setSuspendGroups(bool off);
    // The host's settings dialog of a tool ('SETD'); true when the user accepted it.
    static bool openSettingsDialog(std::int32_t elementTypeId, std::int32_t variation);
};

}   // namespace tarnwick

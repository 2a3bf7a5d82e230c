#include "Environment/Host.h"

#include <cstdio>
#include <string>
#include <utility>

#include <HostAddonProtocol.h>
#include <HostDebug.h>
#include <HostMemory.h>
#include <HostResult.h>

#include "Environment/Addon.h"
#include "Environment/HostApi.h"
#include "Environment/Transaction.h"
#include "Foundation/TracedException.h"
#include "Project/EditManager.h"
#include "Project/ElementLink.h"
#include "Project/HostProject.h"
#include "Project/Project.h"
#include "Project/User.h"

namespace tarnwick {
namespace {

constexpr const char* kPlace = "tarnwick::Host::makeTransaction";

struct State {
    ActivityLog log{Host::kTransactionLogSize};
    std::uint32_t counter = 0;     // transactions numbered since the last reset
    std::uint32_t currentId = 0;   // the outermost one's number
    int depth = 0;                 // makeTransaction calls running, nested ones included
    int notificationDepth = 0;     // project notifications being handled
    std::uint32_t failure = 0;     // the first failed outermost transaction's result, until taken
    std::unique_ptr<User> user;    // the current member; null until asked
};

State& state() {
    static State instance;
    return instance;
}

void logTransaction(const String& text) { state().log.add("transaction", text); }

String codeText(std::uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return String(text);
}

// What the undoable command's body needs; an exception leaves its report here, to be shown once the
// command has rolled the project back.
struct Running {
    Transaction& transaction;
    String report;
    bool threw = false;
};

// Relocks the elements and restores the layers the body's edits changed. It runs inside the undo step,
// whatever the body's outcome: the host refuses layer writes outside one, and a step rolled back then
// takes these writes with it.
void putBackEdits(Running& running) {
    EditManager* edits = running.transaction.findEditManager();
    if (edits == nullptr) return;
    try {
        edits->relockElements();
        edits->restoreLayers();
    } catch (...) {
        if (!running.threw) running.report = Addon::describeCurrentException(kPlace), running.threw = true;
    }
}

std::uint32_t runBody(Running& running) {
    std::uint32_t result = 0;
    try {
        result = running.transaction.run();
    } catch (...) {
        running.report = Addon::describeCurrentException(kPlace);
        running.threw = true;
        result = host::kErrCommandException;   // non-zero: the host rolls the project back
    }
    putBackEdits(running);
    return result;
}

// Gives the edit manager's reservations back (no undo step needed) once the transaction has ended.
void releaseEdits(Transaction& transaction) {
    EditManager* edits = transaction.findEditManager();
    if (edits == nullptr) return;
    try {
        edits->releaseElements();
    } catch (...) {
        Addon::reportCurrentException(kPlace);
    }
}

// A transaction that ends in its prepare puts back what prepare changed: no body will run to do it.
void putBackPrepared(Transaction& transaction) {
    EditManager* edits = transaction.findEditManager();
    if (edits == nullptr) return;
    try {
        edits->relockElements();
        edits->restoreLayers();
    } catch (...) {
        Addon::reportCurrentException(kPlace);
    }
    releaseEdits(transaction);
}

std::uint32_t commandBody(void* userData) { return runBody(*static_cast<Running*>(userData)); }

// Keeps the nesting depth right on every way out.
class DepthGuard {
public:
    DepthGuard() { ++state().depth; }
    ~DepthGuard() { --state().depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

}   // namespace

// --- Transactions ----------------------------------------------------------------------------------
std::uint32_t Host::makeTransaction(Transaction& transaction) {
    const String& name = transaction.getName();
    // 1. Every transaction is logged, also the refused ones.
    logTransaction(name);
    // 2. A project notification is no place to change the project.
    if (isInsideProjectNotification()) {
        logTransaction("BLOCKED: " + name);
        if (state().depth == 0) host::tellStepEnd(host::StepEnd::blocked, name.getView());
        return 0;
    }
    const DepthGuard guard;
    // 3. Prepare, outside the undo step; declining is an answer, not a failure.
    bool prepared = false;
    try {
        prepared = transaction.prepare();
    } catch (...) {
        Addon::reportCurrentException(kPlace);
        putBackPrepared(transaction);
        logTransaction("FAILED INIT: " + name);
        if (state().depth == 1) host::tellStepEnd(host::StepEnd::preparationFailed, name.getView());
        return 0;
    }
    if (!prepared) {
        putBackPrepared(transaction);
        logTransaction("FAILED INIT: " + name);
        // Only the outermost step's answer is the command's; a nested one is its caller's to weigh.
        if (state().depth == 1) host::tellStepEnd(host::StepEnd::declined, name.getView());
        return kHandled;
    }
    // 4. Only the outermost transaction is numbered; nested ones belong to it.
    if (state().depth == 1) {
        state().currentId = ++state().counter;
        transaction.setId(state().currentId);
    }
    // 5. The body: one undo step, unless there is no undo name or a host command already runs (a nested
    // undoable command would be refused).
    Running running{transaction, String(), false};
    std::uint32_t result = 0;
    if (!name.isEmpty() && !isInsideCommand()) {
        const std::u16string undoName = name.toUniString();
        result = hostApi().call<host::HostSlot::undoableCommand>(undoName.c_str(), &commandBody,
                                                                 static_cast<void*>(&running));
        if (result == host::kErrCommandException && !running.threw)   // escaped past our own catch
            running.report = TracedException("unknown", kPlace).getReport(), running.threw = true;
    } else {
        result = runBody(running);
    }
    if (running.threw) Addon::reportText(running.report);
    // 6. The edit lists: relocking and layers were put back inside the step; reservations go now.
    releaseEdits(transaction);
    // 7. Finish with the outcome.
    const bool succeeded = result == 0;
    try {
        transaction.finish(succeeded);
    } catch (...) {
        Addon::reportCurrentException(kPlace);
    }
    // 8. Failures are logged with their code.
    if (!succeeded) {
        logTransaction("RUN ERROR: " + codeText(result) + " in " + name);
        if (state().depth == 1 && state().failure == 0) state().failure = result;   // the outer one decides
        return 0;
    }
    return kHandled;
}

std::uint32_t Host::takeFailure() { return std::exchange(state().failure, 0); }

void Host::noteFailure(std::uint32_t result) {
    if (state().failure == 0) state().failure = result;
}

ActivityLog& Host::getTransactionLog() { return state().log; }

std::uint32_t Host::getTransactionCount() { return state().counter; }

std::uint32_t Host::getCurrentTransactionId() { return state().currentId; }

void Host::reset() {
    state().counter = 0;
    state().currentId = 0;
    state().user.reset();
    HostProject::reset();
}

// --- The project -----------------------------------------------------------------------------------
Project* Host::getProject() { return HostProject::getProject(); }

Plan* Host::getPlan() { return HostProject::getPlan(); }

host::WindowId Host::getMainWindow() { return host::mainWindow(); }

Guid Host::getActiveRenovationFilter() {
    Guid active;
    if (hostApi().environment(fourcc("GARF"), &active.getRecord()) != host::kNoError) return Guid();
    return active;
}

Specification* Host::getSpecification() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getSpecification() : nullptr;
}

Library* Host::getLibrary() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getLibrary() : nullptr;
}

PropertyDatabase* Host::getPropertyDatabase() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getPropertyDatabase() : nullptr;
}

ClassificationDatabase* Host::getClassificationDatabase() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getClassificationDatabase() : nullptr;
}

Database* Host::getCurrentDatabase() { return HostProject::getCurrentDatabase(); }

bool Host::setCurrentDatabase(Database* database) { return HostProject::setCurrentDatabase(database); }

bool Host::setCurrentWindow(Database* database) { return HostProject::setCurrentWindow(database); }

std::unique_ptr<ElementLink> Host::getCurrentTool() { return HostProject::getCurrentTool(); }

const User* Host::getUser() {
    std::unique_ptr<User>& user = state().user;
    if (user) return user.get();
    host::ProjectInfoRecord info{};
    const std::uint32_t result = hostApi().environment(fourcc("PROJ"), &info);
    host::disposeHandle(info.location);   // only the member id is wanted here
    if (result != 0) return nullptr;
    // The member list knows the member's names; without it (or in a project that is not shared) the id
    // is all there is.
    if (Project* project = HostProject::getProject()) {
        const std::int32_t count = project->getUserCount();
        for (std::int32_t i = 0; i < count; ++i) {
            const User* member = project->getUser(i);
            if (member != nullptr && member->getMemberId() == info.memberId) {
                user = std::make_unique<User>(*member);
                return user.get();
            }
        }
    }
    user = std::make_unique<User>(String(), info.memberId);
    return user.get();
}

Host::ProjectNotificationScope::ProjectNotificationScope() { ++state().notificationDepth; }

Host::ProjectNotificationScope::~ProjectNotificationScope() { --state().notificationDepth; }

bool Host::isInsideProjectNotification() { return state().notificationDepth > 0; }

// --- Resources and environment -------------------------------------------------------------------
String Host::getString(std::int16_t listId, std::int32_t item) {
    host::Handle text = nullptr;
    const std::uint32_t result = hostApi().call<host::HostSlot::getString>(listId, item, &text);
    String value;
    if (result == 0 && text != nullptr && *text != nullptr) {
        const std::size_t units = host::getHandleSize(text) / sizeof(char16_t);
        value = String(std::u16string_view(reinterpret_cast<const char16_t*>(*text), units));
    }
    host::disposeHandle(text);
    return value;
}

bool Host::isInsideCommand() {
    std::uint8_t inside = 0;
    if (hostApi().call<host::HostSlot::isInsideCommand>(&inside) != 0) return false;
    return inside != 0;
}

bool Host::isSuspendGroupsOff() {
    std::uint8_t on = 0;
    return hostApi().environment(fourcc("ISSG"), &on) == 0 && on == 0;
}

bool Host::setSuspendGroups(bool off) {
    std::uint8_t on = 0;
    if (hostApi().environment(fourcc("ISSG"), &on) != 0) return false;   // unknown state: leave it alone
    if ((on == 0) == off) return true;
    return hostApi().elementTools(fourcc("SUSP")) == 0;
}

bool Host::openSettingsDialog(std::int32_t elementTypeId, std::int32_t variation) {
    return hostApi().interface(fourcc("SETD"), &elementTypeId, &variation) == 0;
}

}   // namespace tarnwick

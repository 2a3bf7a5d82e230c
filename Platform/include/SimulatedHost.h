// The simulated host: it holds the open project, loads add-on modules and hands each the host
// function table with a context of its own, answers every host function through one dispatch point
// (call log, fault injection, undo-scope rule), keeps the menus, notifications, command services and
// the process window, and sends menu choices and project notifications to the add-ons.
//
// For the command-line host and tests only: add-on code reaches the host through the table
// (HostTable.h) and the plain host libraries, never through this header.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AddonModule.h"
#include "HostAddonProtocol.h"
#include "HostResult.h"
#include "HostTable.h"
#include "SimProject.h"

namespace host {

struct SimLibraryWork;     // the library part being made (SimLibrary.h)
struct SimParameterWork;   // the parameter editing session (SimParameters.h)

struct HostCall {
    HostSlot slot;
    std::uint32_t code = 0;   // the four-character code of a dispatcher call, else 0
    Result result = kNoError;
    // The calling add-on's name ("" before check environment named it); the host keeps the text for as
    // long as the process runs, so a kept log stays readable.
    std::string_view addon;
};

// Which calls a fault hits: a slot, a slot and a dispatcher code, or (both empty) every call.
struct FaultKey {
    std::optional<HostSlot> slot;
    std::optional<std::uint32_t> code;
};

struct MenuItemRecord {
    std::string text;     // as in the string list, with the host's control suffix ("^E3...^T")
    std::string prompt;   // the status-line prompt; "" when the prompt list lacks it
};

struct MenuRecord {
    std::int16_t listId = 0;
    std::int16_t promptListId = 0;
    std::int32_t position = 0;   // passed on unchanged by the add-on; only recorded
    std::int32_t flags = 0;
    std::string title;                   // item 1 of the list
    std::string titlePrompt;             // item 1 of the prompt list; "" when missing
    std::vector<MenuItemRecord> items;   // host item n is items[n - 1]
    HostMenuHandler handler = nullptr;
};

// A result code for messages: "0x81060387 (missing function)"; unknown codes in hex alone.
std::string describeResult(Result result);

// A menu text as the host shows it: without the control suffix that starts at the first '^'.
std::string menuDisplayText(std::string_view text);

// The host's single process window.
struct ProcessWindowState {
    bool open = false;
    int windowNumber = 0;   // 1 for the first window opened since the host started
    std::string title;
    int phaseCount = 0;
    int phase = 0;   // phases begun so far
    std::string phaseText;
    int phaseLimit = 0;   // the count given with the phase
    int value = 0;
    int steps = 0;                     // value changes ('SPRV' and 'IPRV') since the window opened
    std::optional<int> cancelAtStep;   // from the script
    bool cancelled = false;            // the user pressed Cancel ('CANC' now answers kErrCancel)
};

struct ProgressEvent {
    enum Kind { open, phase, value, cancelled, close } kind = open;
    int windowNumber = 0;
    std::string text;   // open: title; phase: phase text
    int number = 0;     // open: phase count; phase: count; value: the new value
};

class SimulatedHost {
public:
    SimulatedHost();
    ~SimulatedHost();   // stops every add-on still loaded
    SimulatedHost(const SimulatedHost&) = delete;
    SimulatedHost& operator=(const SimulatedHost&) = delete;

    SimProject& project() { return project_; }
    const SimProject& project() const { return project_; }

    // The full table this host hands over; every slot is filled.
    const HostFunctionTable& table() const;

    // --- Add-ons ---------------------------------------------------------------------------------
    struct LoadedAddon;   // one per started module; defined in the source
    struct AddonInfo {
        std::string path;
        std::string name;   // from check environment
        std::string description;
        std::vector<MenuRecord> menus;
    };

    // Loads the module and starts it: GetExportedFuncAddrs (the version must match), SetImportedFuncAddrs
    // with `table` (default: table()), check environment, register interface, initialize. False with a
    // message naming the module and the step on any failure or decline; free data has then run when
    // check environment did, and the module is unloaded again.
    bool startAddon(const std::string& path, std::string& error);
    bool startAddon(const std::string& path, const HostFunctionTable& table, std::string& error);
    // Free data of every add-on, last started first, then unloads them. The results are recorded in
    // stopResults().
    void stopAddons();
    std::vector<AddonInfo> addons() const;
    const std::vector<std::string>& stopResults() const { return stopResults_; }

    // --- What the user and the application do ---------------------------------------------------
    struct MenuChoice {
        std::size_t addon = 0;   // index into addons()
        std::int16_t listId = 0;
        std::int16_t item = 0;   // 1-based command number
    };
    // The command whose shown text (menuDisplayText) or full text equals `text`; nullopt when none.
    std::optional<MenuChoice> findMenuItem(std::string_view text) const;
    // Calls the menu's handler as the host does when the user picks the command; its result, or
    // kErrBadParameters when the choice names no registered command with a handler.
    Result selectMenuItem(const MenuChoice& choice);

    // Sends the notification to every started add-on that catches it; as in the host, their results
    // change nothing.
    void notifyProject(ProjectNotification notification, std::int32_t parameter = 0);
    // Another project's module data arrives (as in a merge of projects): the owner's merge handler
    // combines it with this project's data of that name, which the merged bytes then replace. Without
    // a handler, the incoming data replaces it. The handler's result, or kErrBadName for no such add-on.
    Result mergeModuleData(const std::string& addonName, const std::string& dataName,
                           const ModuleDataEntry& incoming);

    // The user closes the project: the add-ons hear of it while it is still open, and from then on
    // every call that reads or writes the project, 'PROJ' included, is answered with kErrNoProject.
    // Opening brings the same project back, as a file opened again, and tells the add-ons. Neither
    // does anything when the project already is so.
    void closeProject();
    void openProject();
    bool isProjectOpen() const { return projectOpen_; }

    bool undo() { return project_.undo(); }   // the user's Undo of the last undoable command
    bool insideUndoableCommand() const { return commandDepth_ > 0; }

    // --- Fault injection and the call log ---------------------------------------------------------
    // From now, the nth call (1 = the next) that matches the key returns `result` instead of running;
    // nth 0: every matching call does. Faults stay until cleared; a spent nth fault does nothing.
    void injectFault(const FaultKey& key, std::uint64_t nth, Result result);
    void clearFaults();
    const std::deque<HostCall>& calls() const { return calls_; }
    std::size_t countCalls(HostSlot slot, std::optional<std::uint32_t> code = std::nullopt) const;
    void clearCalls() {
        calls_.clear();
        ++callLogClears_;
    }

    // --- Process window ---------------------------------------------------------------------------
    const ProcessWindowState& processWindow() const { return window_; }
    const std::vector<ProgressEvent>& progressEvents() const { return progress_; }
    void setProgressObserver(std::function<void(const ProgressEvent&, const ProcessWindowState&)> observer);

    // The host's slot bodies and its dispatch point (used by the source's thunks).
    struct Internals;

private:
    friend struct Internals;

    SimProject project_;
    bool projectOpen_ = true;
    std::vector<std::unique_ptr<LoadedAddon>> addons_;
    std::vector<std::string> stopResults_;

    struct Fault {
        FaultKey key;
        std::uint64_t nth = 0;
        std::uint64_t seen = 0;
        Result result = kNoError;
    };
    std::vector<Fault> faults_;
    std::deque<HostCall> calls_;   // grows without moving what it holds: a long run logs millions
    std::uint64_t callLogClears_ = 0;

    int commandDepth_ = 0;                          // undoable commands running (at most one)
    std::unique_ptr<SimLibraryWork> libraryWork_;   // a part is made within one command
    std::unique_ptr<SimParameterWork> parameterWork_;
    std::shared_ptr<const ModelerSource> modelerSource_;   // what the 3D window's sights show

    ProcessWindowState window_;
    int windowsOpened_ = 0;
    std::vector<ProgressEvent> progress_;
    std::function<void(const ProgressEvent&, const ProcessWindowState&)> progressObserver_;
};

}   // namespace host

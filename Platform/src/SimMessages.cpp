// The texts the simulated host gives for its result codes and menu commands.
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "HostResult.h"
#include "SimulatedHost.h"

namespace host {

// --- Messages ------------------------------------------------------------------------------------
std::string describeResult(Result result) {
    static const std::pair<Result, const char*> kNames[] = {
        {kNoError, "no error"},
        {kErrGeneral, "general failure"},
        {kErrMemFull, "out of memory"},
        {kErrCancel, "cancelled"},
        {kErrNotReady, "not ready"},
        {kErrBadIndex, "bad index"},
        {kErrBadName, "bad name"},
        {kErrBadParameters, "bad parameters"},
        {kErrNoUserData, "no user data"},
        {kErrAlreadySelected, "already selected"},
        {kErrNotSelected, "not selected"},
        {kErrMissingFunction, "missing function"},
        {kErrNoReceiver, "no receiver"},
        {kErrCommandException, "exception in a command"},
        {kErrOutsideUndoScope, "outside an undoable command"},
        {kErrBadHandle, "bad handle"},
        {kErrFile, "file error"},
        {kErrNoModuleData, "no module data"},
        {kErrRefusedCommand, "refused"},
        {kErrNoSuchCommand, "no such add-on command"},
        {kErrNoProject, "no open project"},
    };
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << result;
    for (const auto& [code, name] : kNames)
        if (code == result) text << " (" << name << ")";
    return text.str();
}

std::string menuDisplayText(std::string_view text) { return std::string(text.substr(0, text.find('^'))); }

}   // namespace host

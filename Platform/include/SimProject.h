// The simulated host's open project: its name, its state that commands change, the module data of
// the add-ons and the undo stack. Loaded from and saved to JSON (format in Platform/README.md); load,
// save, load gives the same project. For the host, its program and tests.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace host {

struct ModuleDataEntry {
    std::int32_t version = 0;
    std::uint16_t platformSign = 0;
    std::vector<unsigned char> bytes;
    bool operator==(const ModuleDataEntry&) const = default;
};

// Everything an undoable command can change and the undo step restores. Later kinds of project
// content join this struct, so that a snapshot keeps them too.
struct ProjectState {
    bool suspendGroups = false;   // the host's suspend-groups mode (element-tools 'SUSP')
    // Module data by (add-on name, data name); part of the project, so an undo step covers it.
    std::map<std::pair<std::string, std::string>, ModuleDataEntry> moduleData;
    bool operator==(const ProjectState&) const = default;
};

class SimProject {
public:
    // The JSON form. False with a message (what is missing or malformed, where) in `error`; the project
    // is then unchanged.
    bool loadFile(const std::string& path, std::string& error);
    bool loadText(const std::string& json, std::string& error);
    std::string saveText() const;
    bool saveFile(const std::string& path, std::string& error) const;   // writes a temporary, then renames

    std::string name;   // the project's name ("" for an untitled project)
    ProjectState state;

    // --- Undo: one step per undoable command ----------------------------------------------------
    struct UndoStep {
        std::string name;      // the command's undo name
        ProjectState before;   // the state before the command ran
    };
    const std::vector<UndoStep>& undoSteps() const { return undo_; }
    void pushUndoStep(std::string stepName, ProjectState before);
    bool undo();   // restores the last step's state; false when there is none
    void clearUndo() { undo_.clear(); }

private:
    std::vector<UndoStep> undo_;
};

}   // namespace host

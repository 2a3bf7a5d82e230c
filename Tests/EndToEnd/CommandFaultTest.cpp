// Every host call and allocation of each command fails in turn (Support/FaultSweep.h): nothing crashes,
// no failure passes for success, each element is left as it was or as the command leaves it, and the
// mapping table file is as it was or as the command writes it, never half-written (or, where a choice the
// user made in the dialog failed with an error, as the dialog then showed it).
#include <algorithm>
#include <filesystem>
#include <fstream>

#include <FourCC.h>
#include <HostDialogLibrary.h>

#include "EndToEndFixture.h"
#include "Support/FaultSweep.h"
#include "Support/TableRows.h"

namespace {

// A run may stop part-way (an element whose write failed, a cancelled walk): every element must then be
// as it was or as the run without a fault left it, and the rest of the project one or the other as a whole.
bool eachElementConsistent(const host::SimProject& before, const host::SimProject& clean,
                           const host::SimProject& after, std::string& why) {
    host::ProjectState rest = after.state;
    for (host::SimElement& element : rest.elements) {
        const host::SimElement* const was = before.state.elements.find(element.guid());
        const host::SimElement* const done = clean.state.elements.find(element.guid());
        if (was != nullptr && done != nullptr && element == *done) element = *was;
    }
    if (rest == before.state) return true;
    rest.moduleData = before.state.moduleData;   // the preferences are saved before the question
    if (rest == before.state && after.state.moduleData == clean.state.moduleData) return true;
    why = "an element or the rest of the project is neither as it was nor as the command leaves it";
    return false;
}

class CommandFaults : public EndToEndFixture {
protected:
    // Whether the run just made, playing the user's actions, showed an error alert.
    static bool errorShown(const std::string& actions) {
        if (actions.empty()) return false;
        const auto& alerts = host::recordedAlerts();
        return std::any_of(alerts.begin(), alerts.end(),
                           [](const host::AlertRecord& alert) { return alert.kind == host::kAlertError; });
    }

    // Sweeps each command on the house as it stands, the table and the user's actions put back before
    // every run. sharedName: a second name of the table file (a hard link). Such a table is written into
    // the file itself, so after every faulted run, an allocation's too and whatever was told, both names
    // must name one file holding the table as it was or as the clean run wrote it.
    void sweepCommands(std::initializer_list<const char*> commands, const std::string& actions = "",
                       const std::filesystem::path& sharedName = {}) {
        const std::string table = readFile(tableFile());
        for (const char* command : commands) {
            SCOPED_TRACE(command);
            // Accepting the mapping dialog writes the table (an inherited mapping becomes the
            // configuration's own): every run starts from the table as it was and leaves it so or as the
            // clean run writes it.
            const auto putTableBack = [&] {
                std::ofstream(tableFile(), std::ios::binary) << table;
                host::clearUserActions();
                if (!actions.empty()) script(actions);
            };
            putTableBack();
            const host::SimProject saved = host_->project();
            run(command);
            const std::string written = readFile(tableFile());
            // What a faulted run may leave is measured against it: an emptied table must not pass as written.
            EXPECT_EQ(rowNames(rowsMissing(tableRows(table), tableRows(written))), "none")
                << "the run without a fault lost rows of the table";
            host_->project() = saved;
            putTableBack();
            FaultSweep sweep(*host_);
            sweep.prepare = putTableBack;
            if (!sharedName.empty()) {
                sweep.alwaysHolds = [&](std::string& why) {
                    if (!std::filesystem::equivalent(tableFile(), sharedName)) {
                        why = "the mapping table file no longer has its second name";
                        return false;
                    }
                    const std::string now = readFile(tableFile());
                    if (now == table || now == written) return true;
                    // A choice in the dialog that failed was told at once, and the user accepted the
                    // table as the dialog then showed it: a whole table still, with every row it had.
                    if (errorShown(actions) && rowsMissing(tableRows(table), tableRows(now)).empty())
                        return true;
                    why = "the hard-linked mapping table holds " + std::to_string(now.size()) +
                          " bytes, neither the " + std::to_string(table.size()) + " it held nor the " +
                          std::to_string(written.size()) +
                          " the command writes; its rows: " + rowNames(tableRows(now));
                    return false;
                };
            }
            sweep.consistent = [&](const host::SimProject& before, const host::SimProject& clean,
                                   const host::SimProject& after, std::string& why) {
                const std::string now = readFile(tableFile());
                // A choice in the dialog that the host let fail was said so at once, and the user accepted
                // the table as the dialog then showed it: the file then holds that table. (Not for the
                // hard-linked table, whose sweep checks its bytes in alwaysHolds.)
                if (sharedName.empty() && now != table && now != written && !errorShown(actions)) {
                    why = "the mapping table file is neither as it was nor as the command writes it";
                    return false;
                }
                return eachElementConsistent(before, clean, after, why);
            };
            sweep.reportsFailure = toldAsFailure;
            // A text the host cannot give is empty, and no other text could say so: without the table
            // file's name the command stops before it touches anything (every allocation the sweep fails
            // is that text's).
            sweep.absorbed = [](const host::HostCall& call) {
                return call.slot == host::HostSlot::getString;
            };
            sweep.allocationsAbsorbed = true;
            // A dialog that differs from the one the script was written for (a row fewer) stops the
            // script, which the user would have seen: that run tells of its failure.
            EXPECT_GT(sweep.run(command,
                                [&] {
                                    const host::Result result = run(command);
                                    return host::scriptStopMessage().empty() ? result : host::kErrCancel;
                                }),
                      0u);
        }
    }
};

TEST_F(CommandFaults, NoFailingHostCallLosesTheProjectOrTheMappingTable) {
    start("house.json", "house-table.xml");
    sweepCommands({"Skellow From IFC", "Skellow From DXF/DWG", "Skellow From ArchiCAD",
                   "Skellow Missing Parts", "Skellow Legacy Parts"});
}

// A table with a second name is written into the file itself: a failure anywhere, the table's own
// save included, leaves it whole under both names.
TEST_F(CommandFaults, NoFailingHostCallLosesAHardLinkedTable) {
    start("house.json", "house-table.xml");
    const std::filesystem::path shared = home() / "shared" / "ObjectMap.xml";
    std::filesystem::create_directories(shared.parent_path());
    std::filesystem::create_hard_link(tableFile(), shared);
    sweepCommands({"Skellow From ArchiCAD"}, "", shared);
    sweepCommands({"Skellow From ArchiCAD"}, kUsersMapping, shared);
}

// With a selection, a read that fails must not widen the search to the whole drawing.
TEST_F(CommandFaults, NoFailingHostCallWidensASelectionsCommand) {
    start("house.json", "house-table.xml");
    host::GuidRecord chair, desk;
    ASSERT_TRUE(host::guidFromText("0B1E0000-0000-4000-8000-000000000002", chair));
    ASSERT_TRUE(host::guidFromText("DE5C0000-0000-4000-8000-000000000001", desk));
    host::SimSelection& selection = host_->project().viewOf({host::kDatabasePlan, {}}).selection;
    selection.kind = host::kSelectionElements;
    selection.elements = {host::toGuidBytes(chair), host::toGuidBytes(desk)};
    sweepCommands({"Skellow From ArchiCAD"});
}

// The user's choices in the mapping dialog go through more host calls: parts searched by name, the
// "Object Selection" dialog, configurations.
TEST_F(CommandFaults, NoFailingHostCallTurnsTheUsersMappingIntoAnother) {
    start("house.json", "house-table.xml");
    sweepCommands({"Skellow From ArchiCAD"}, kUsersMapping);
}

}   // namespace

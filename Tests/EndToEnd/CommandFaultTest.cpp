// Every host call and allocation of each command fails in turn (Support/FaultSweep.h): nothing crashes,
// no failure passes for success, the project is left as it was or as the command leaves it, and the
// mapping table file stays whole.
#include "EndToEndFixture.h"
#include "Support/FaultSweep.h"

namespace {

using CommandFaults = EndToEndFixture;

TEST_F(CommandFaults, NoFailingHostCallLosesTheProjectOrTheMappingTable) {
    start("house.json", "house-table.xml");
    const std::string table = readFile(tableFile());
    for (const char* command : {"Skellow From IFC", "Skellow From DXF/DWG", "Skellow From ArchiCAD",
                                "Skellow Missing Parts", "Skellow Legacy Parts"}) {
        SCOPED_TRACE(command);
        FaultSweep sweep(*host_);
        sweep.consistent = [&](const host::SimProject& before, const host::SimProject& clean,
                               const host::SimProject& after, std::string& why) {
            if (readFile(tableFile()) != table) {
                why = "the mapping table file changed";
                return false;
            }
            if (after.state == before.state || after.state == clean.state) return true;
            why = "the project is neither as it was nor as the command leaves it";
            return false;
        };
        EXPECT_GT(sweep.run(command, [&] { return run(command); }), 0u);
    }
}

}   // namespace

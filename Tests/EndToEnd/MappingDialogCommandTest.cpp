// The "Object Mapping Table" dialog inside a command, played from a script through the command-line
// host: what the user chooses there is what the run replaces, and what the table and the project keep.
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "EndToEndFixture.h"
#include "PlacementCheck.h"

namespace {

using nlohmann::json;

class MappingDialogCommand : public EndToEndFixture {
protected:
    void SetUp() override {
        EndToEndFixture::SetUp();
        std::filesystem::create_directories(tableFile().parent_path());
        std::filesystem::copy_file(fixture("house-table.xml"), tableFile());
    }
    ProgramRun runWith(const std::string& actions) {
        const std::filesystem::path script = scratch_ / "answers.json";
        std::ofstream(script) << actions;
        return skellowHost({"run", fixture("house.json").string(), "--command", "Skellow From ArchiCAD",
                            "--answers", script.string(), "--home", home().string(), "--out", out()});
    }
    // In "Showroom" the user types "glaz" for the second row, then clicks button.
    static std::string glazInShowroomThenClick(int button) {
        return R"([
        {"do": "selectPopup", "item": 4, "text": "Showroom"},
        {"do": "selectRows", "item": 9, "rows": [2]}, {"do": "setText", "item": 8, "text": "glaz", "commit": true},
        {"do": "click", "item": )" +
               std::to_string(button) + "}]";
    }
    std::string out() const { return (scratch_ / "out.json").string(); }
};

TEST_F(MappingDialogCommand, TheRunReplacesWhatTheUserMappedInTheChosenConfiguration) {
    // In the empty "Showroom": the door typed as "glaz" (one part fits), the table as "chair" (two fit:
    // the second of the sorted list is picked). The rows inherited from "Default" and from the DXF/DWG
    // kind's "Default" come along on "Skellow".
    const ProgramRun program = runWith(R"([
        {"do": "selectPopup", "item": 4, "text": "Showroom"},
        {"do": "selectRows", "item": 9, "rows": [2]}, {"do": "setText", "item": 8, "text": "glaz", "commit": true},
        {"do": "selectRows", "item": 9, "rows": [6]}, {"do": "setText", "item": 8, "text": "chair", "commit": true},
        {"do": "selectRows", "item": 4, "rows": [2], "dialog": 32511}, {"do": "click", "item": 1, "dialog": 32511},
        {"do": "click", "item": 1}])");
    ASSERT_EQ(program.status, 0) << program.out << program.err;
    // The DXF/DWG kind's mapping shows as inherited; "chair" offers both chairs.
    EXPECT_NE(program.out.find("      5  Desk Block | Table 01  (#00ff00)\n"), std::string::npos)
        << program.out;
    EXPECT_NE(program.out.find("    * 1  Chair 01\n      2  Chair Modern\n"), std::string::npos)
        << program.out;
    const json after = json::parse(readFile(out()));
    placement::expectKept(placement::savedForm(fixture("house.json")), after,
                          {{"0B1E0000-0000-4000-8000-000000000001", {2}},   // Chair Modern
                           {"0B1E0000-0000-4000-8000-000000000002", {2}},
                           {"0B1E0000-0000-4000-8000-000000000003", {2}},
                           {"D0020000-0000-4000-8000-000000000001", {7}},    // Door Glazed
                           {"A1D00000-0000-4000-8000-000000000001", {11}},   // Window Casement
                           {"A1D00000-0000-4000-8000-000000000002", {11}},
                           {"DE5C0000-0000-4000-8000-000000000001", {3}}},   // Table 01
                          placement::reportIn(program.out));
    // The configuration is the project's choice from now on, and the table keeps it whole.
    EXPECT_NE(after.dump().find("<gsmSource>Showroom</gsmSource>"), std::string::npos);
    const std::string table = readFile(tableFile());
    const std::size_t showroom = table.find("sourceName=\"Showroom\"");
    ASSERT_NE(showroom, std::string::npos);
    for (const char* source : {"Door 01", "Table 01", "Chair 01", "Window 01", "Desk Block"})
        EXPECT_NE(table.find(std::string("<originalName>") + source + "</originalName>", showroom),
                  std::string::npos)
            << source;
}

TEST_F(MappingDialogCommand, CancellingTheDialogChangesNothing) {
    const std::string table = readFile(tableFile());
    const ProgramRun program = runWith(glazInShowroomThenClick(2));
    ASSERT_EQ(program.status, 0) << program.out << program.err;
    EXPECT_EQ(program.out.find("[Confirmation]"), std::string::npos) << program.out;
    EXPECT_EQ(readFile(tableFile()), table);
    placement::expectKept(placement::savedForm(fixture("house.json")), json::parse(readFile(out())), {}, "");
}

// The user's edits that cannot be kept (a read-only table) are told, the run goes on with them, and the
// run ends with 1: it did not do all the user asked. The project is written all the same.
TEST_F(MappingDialogCommand, AFailedSaveOfTheUsersEditsEndsTheRunWithOne) {
    const std::string table = readFile(tableFile());
    std::filesystem::permissions(tableFile(), std::filesystem::perms::owner_read);
    const ProgramRun program = runWith(glazInShowroomThenClick(1));
    EXPECT_EQ(program.status, 1) << program.out << program.err;
    EXPECT_NE(program.out.find("\"ObjectMap.xml\" is read-only."), std::string::npos) << program.out;
    EXPECT_NE(program.err.find("\"Skellow From ArchiCAD\" ended with"), std::string::npos) << program.err;
    EXPECT_EQ(readFile(tableFile()), table);
    EXPECT_NE(program.out.find("successfully skellowed"), std::string::npos) << program.out;
    EXPECT_TRUE(std::filesystem::exists(out()));

    // So does a run whose new table could not be written as the command loaded it, though the user then
    // cancels the dialog and nothing else is saved.
    std::filesystem::remove(tableFile());
    std::filesystem::create_directory(tableFile().string() + ".lock");
    const ProgramRun cancelled = runWith(R"([{"do": "click", "item": 2}])");
    EXPECT_EQ(cancelled.status, 1) << cancelled.out << cancelled.err;
    EXPECT_NE(cancelled.out.find("The lock file"), std::string::npos) << cancelled.out;
    EXPECT_FALSE(std::filesystem::exists(tableFile()));
}

}   // namespace

// The answers a load takes by default, over the states a table's files can be left in: one name or two
// (hard links in two homes), written in place or renamed over, with user attributes or without, a record or
// note of a copy that is none, the stopped save's own, stale (the table written since) or out of reach, and
// copies beside. Each state is laid by saves stopped through the file-operation seam; each load with the
// default answers must leave every row that a whole file held before it in some file after it.
#include <sys/xattr.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapFile.h"
#include "Skellowing/ObjectSpecification.h"
#include "SkellowingFixture.h"
#include "Support/TableRows.h"

namespace {

namespace fs = std::filesystem;
using skellow::ObjectMap;
using skellow::ObjectMapType;
using tarnwick::String;

// What another program writes into the table, in place: none of the rows the table had.
constexpr const char* kOtherTable =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
    "<objectMap>\n"
    "\t<specificationList sourceName=\"Elsewhere\" objectType=\"DWG\">\n"
    "\t\t<objectSpecification>\n"
    "\t\t\t<originalName>Kiosk</originalName>\n"
    "\t\t\t<mappedName>Desk 2</mappedName>\n"
    "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n"
    "\t\t</objectSpecification>\n"
    "\t</specificationList>\n"
    "</objectMap>\n";

// A whole table of its own rows, left beside home 1's name long before.
constexpr const char* kOlderCopy =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
    "<objectMap>\n"
    "\t<specificationList sourceName=\"Older\" objectType=\"GSM\">\n"
    "\t\t<objectSpecification>\n"
    "\t\t\t<originalName>Lamp</originalName>\n"
    "\t\t\t<mappedName>Lamp 3</mappedName>\n"
    "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n"
    "\t\t</objectSpecification>\n"
    "\t</specificationList>\n"
    "</objectMap>\n";

enum class Step {
    saved,       // a save through the home that ends, adding a row of its own
    untidied,    // a save through the home that writes the table whole, but whatever it made stays (a kill
                 // then)
    cut,         // a save through the home stopped once the table is emptied (its write and put-back fail)
    rewritten,   // the table written in place by another program
    halved,      // the table cut to half its length by a disk fault
    olderCopy,   // a whole table of other rows beside home 1's name
    newTable,    // loaded through the home with New Table chosen
    loaded,      // loaded through the home with the default answers: checked
    refused,     // likewise while home 1's folder refuses the run (another user's): checked
};

struct Action {
    Step step;
    int home = 1;
};

struct Case {
    const char* state;
    bool twoNames;
    std::vector<Action> actions;
};

class UnreadableTable : public SkellowingFixture {
protected:
    fs::path homeAt(int home) const { return home_ / (home == 1 ? "one" : "two"); }
    fs::path tableAt(int home) const {
        return homeAt(home) / "Application Data" / "Skellowing" / "ObjectMap.xml";
    }

    // A lone name carries an attribute of its own where the file system keeps one, so that a save writes
    // into it in place, as into a shared file; elsewhere it is renamed over.
    void lay(bool twoNames, bool attributes) {
        fs::remove_all(homeAt(1));
        fs::remove_all(homeAt(2));
        writeFile(tableAt(1), kUserTable);
        if (attributes) ::setxattr(tableAt(1).c_str(), "user.origin", "kept", 4, 0);
        if (!twoNames) return;
        fs::create_directories(tableAt(2).parent_path());
        fs::create_hard_link(tableAt(1), tableAt(2));
    }

    // The seam answers as a file system without user attributes would, and fails what the step fails.
    void watch(bool attributes, Step step, int home) {
        const std::string table = tableAt(home).string();
        const std::string closed = tableAt(1).parent_path().string() + "/";
        auto written = std::make_shared<bool>(false);
        host::watchFileOperations([=](host::FileOperation operation, const std::string& path) {
            using host::FileOperation;
            if (!attributes && operation == FileOperation::attribute) return ENOTSUP;
            if (step == Step::refused && path.starts_with(closed)) return EACCES;
            if (step == Step::cut && operation == FileOperation::write && path == table) return ENOSPC;
            if (step != Step::untidied) return 0;
            if (operation == FileOperation::write && path == table) *written = true;
            return *written && (operation == FileOperation::unlink || operation == FileOperation::attribute)
                       ? EIO
                       : 0;
        });
    }

    // Every row of every whole table among the files of both homes.
    TableRows rowsOnDisk() const {
        TableRows rows;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(home_))
            if (entry.is_regular_file() && !entry.is_symlink()) rows.merge(tableRowsAt(entry.path()));
        return rows;
    }

    // The action through the seam; a load with the default answers checked.
    void act(const Action& action, bool attributes, int n) {
        host::setHomeDirectory(homeAt(action.home).string());
        host::clearRecordedAlerts();
        host::clearUserActions();
        const fs::path table = tableAt(action.home);
        switch (action.step) {
            case Step::rewritten:
                std::ofstream(table, std::ios::binary | std::ios::trunc) << kOtherTable;
                return;
            case Step::halved:
                fs::resize_file(table, fs::file_size(table) / 2);
                return;
            case Step::olderCopy:
                writeFile(table.parent_path() / "ObjectMap backup.xml", kOlderCopy);
                return;
            case Step::saved:
            case Step::untidied:
            case Step::cut: {
                watch(attributes, Step::loaded, action.home);
                ObjectMap map;
                if (!skellow::loadObjectMap(map)) {
                    host::watchFileOperations(nullptr);
                    ADD_FAILURE() << "the table to save into cannot be loaded";
                    return;
                }
                const String name("Row " + std::to_string(n));
                map.addList(name, ObjectMapType::dwg)
                    .add(std::make_unique<skellow::ObjectSpecification>(skellow::SourceKey{4, name}, false))
                    .setTypedName(String("Desk 1"));
                watch(attributes, action.step, action.home);
                skellow::saveObjectMap(map);
                break;
            }
            case Step::newTable:
            case Step::loaded:
            case Step::refused: {
                if (action.step == Step::newTable) script(R"([{"do": "answerAlert", "button": 2}])");
                const TableRows before = rowsOnDisk();
                watch(attributes, action.step, action.home);
                ObjectMap map;
                skellow::loadObjectMap(map);
                host::watchFileOperations(nullptr);
                if (action.step != Step::newTable) {
                    EXPECT_EQ(rowNames(rowsMissing(before, rowsOnDisk())), "none")
                        << "a load through home " << action.home << " with the default answers";
                }
                break;
            }
        }
        host::watchFileOperations(nullptr);
    }
};

TEST_F(UnreadableTable, NoDefaultLosesARowThatAWholeFileHeld) {
    constexpr Step saved = Step::saved, untidied = Step::untidied, cut = Step::cut,
                   rewritten = Step::rewritten, halved = Step::halved, olderCopy = Step::olderCopy,
                   newTable = Step::newTable, loaded = Step::loaded, refused = Step::refused;
    const Case cases[] = {
        {"one name, no record, cut by a disk fault", false, {{halved}, {loaded}}},
        {"one name, no record, cut by a disk fault, an older copy beside",
         false,
         {{olderCopy}, {halved}, {loaded}}},
        {"one name, the record of the save that cut it (none where it is renamed over)",
         false,
         {{cut}, {loaded}}},
        {"one name, the record of the save that cut it, an older copy beside",
         false,
         {{olderCopy}, {cut}, {loaded}}},
        {"one name, the record of a save that wrote it whole", false, {{untidied}, {loaded}}},
        {"one name, a stale record: the table written since by another program",
         false,
         {{untidied}, {rewritten}, {loaded}}},
        {"one name, a stale record, the table written since and then cut",
         false,
         {{untidied}, {rewritten}, {halved}, {loaded}}},
        {"two names, the record of the save that cut it, through either name",
         true,
         {{cut}, {loaded, 2}, {loaded, 1}}},
        {"two names, the record of the save that cut it, an older copy beside",
         true,
         {{olderCopy}, {cut}, {loaded, 2}}},
        {"two names, the record out of the other name's reach", true, {{cut}, {refused, 2}}},
        {"two names, the record of a save that wrote it whole", true, {{untidied}, {loaded, 2}, {loaded, 1}}},
        {"two names, a stale record: saved through the other name, then cut through it",
         true,
         {{untidied}, {saved, 2}, {cut, 2}, {loaded, 1}, {loaded, 2}}},
        {"two names, the record of the save that cut it, New Table chosen through the other name",
         true,
         {{cut}, {newTable, 2}, {loaded, 1}}},
    };
    for (const bool attributes : {true, false})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.state) + (attributes ? "" : ", without user attributes"));
            lay(c.twoNames, attributes);
            int n = 0;
            for (const Action& action : c.actions) act(action, attributes, ++n);
        }
}

}   // namespace

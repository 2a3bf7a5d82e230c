// The user-data dialog and the style manager, driven by scripted user actions: inserting, renaming,
// deleting (marking, then removing for good), restoring, importing and exporting records, and what OK and
// Cancel leave in the project.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostDialogs.h>
#include <HostFiles.h>

#include "Environment/Addon.h"
#include "Environment/Event.h"
#include "Environment/Host.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/DataFile.h"
#include "Interface/DialogFixture.h"
#include "Project/HostProject.h"
#include "Project/Project.h"
#include "Styles/DeletedDatabase.h"
#include "Styles/LegacyWriter.h"
#include "Styles/PresetDialog.h"
#include "Styles/PresetEditor.h"
#include "Styles/TestPresets.h"
#include "Styles/UserDataListDialog.h"
#include "Styles/UserDatabaseCollection.h"

using tarnwick::DeletedDatabase;
using tarnwick::Guid;
using tarnwick::PresetDatabase;
using tarnwick::PresetDialog;

namespace {

// The generic dialog on the style manager's resource, with a deleted-records database.
class RecordDialog : public tarnwick::UserDataListDialog<PresetDatabase> {
public:
    RecordDialog() : UserDataListDialog(PresetDialog::kDialogId, "Style", 0, 1, /*withDeletedRecords=*/true) {
        setViewItem(PresetDialog::kListItem);
    }
    std::int16_t getStringListId() const override { return 32707; }
    std::int16_t getFileTypeIndex() const override { return 4; }
    tarnwick::String getFileExtension() const override { return "presets"; }
};

// "name" for a current record, "name*" for a deleted one, sorted.
std::vector<std::string> names(const PresetDatabase* database) {
    std::vector<std::string> listed;
    if (database == nullptr) return listed;
    for (const auto& [key, record] : database->entries())
        listed.push_back(std::string(record->getName().getView()) + (record->isDeleted() ? "*" : ""));
    std::sort(listed.begin(), listed.end());
    return listed;
}

std::string text(const char* path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}   // namespace

class UserDataDialogTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        folder_ =
            std::filesystem::temp_directory_path() / ("tarnwick-user-data-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        registerTestTypes();
        host::clearFileDialogRequests();
    }
    void TearDown() override {
        for (const std::string& error : host::scriptErrors()) ADD_FAILURE() << "script: " << error;
        EXPECT_EQ(host::pendingDialogActions(), 0u) << "actions the dialogs never played";
        tarnwick::Addon::destroyInstance();
        PresetDatabase::clearTypes();
        tarnwick::HostProject::destroy();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        DialogFixture::TearDown();
    }

    tarnwick::Project& project() { return *tarnwick::Host::getProject(); }
    const PresetDatabase* filed() {
        return dynamic_cast<const PresetDatabase*>(project().getPackage(PresetDatabase::kCode));
    }
    Guid file(const char* name, bool deleted = false, std::string_view type = "wallStyle",
              const Guid& wantedKey = Guid()) {
        PresetDatabase database;
        if (const PresetDatabase* before = filed()) database.merge(*before);
        const Guid key = wantedKey.isValid() ? wantedKey : Guid::generate();
        database.put({key, preset(name, type, deleted)});
        project().addPackage(database, false);
        return key;
    }
    std::string path(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(UserDataDialogTest, InsertCopiesTheSelectedRecordUnderTheNextFreeNameAndRenamesOnAChange) {
    file("Wall 07");
    file("Wall 09");
    // Rows: Wall 07, Wall 09. Insert from Wall 07 gives Wall 10; a name held by a current record is
    // refused and blanks only quietly, so the copy keeps its own. Then Untitled with nothing selected,
    // and the rows are Untitled, Wall 07, Wall 09, Wall 10: Wall 07 takes a name surrounded by blanks
    // trimmed as soon as the text changes.
    script(R"([{"do": "selectRows", "item": 14, "rows": [1]}, {"do": "click", "item": 4},
               {"do": "setText", "item": 11, "text": "Wall 09", "commit": true},
               {"do": "setText", "item": 11, "text": "   ", "commit": true},
               {"do": "selectRows", "item": 14, "rows": []}, {"do": "click", "item": 4},
               {"do": "selectRows", "item": 14, "rows": [2]}, {"do": "setText", "item": 11, "text": "  Lobby "},
               {"do": "click", "item": 1}])");
    RecordDialog dialog;
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(names(filed()), (std::vector<std::string>{"Lobby", "Untitled", "Wall 09", "Wall 10"}));
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].largeText, "The name 'Wall 09' has already been used - please choose a unique name");
}

TEST_F(UserDataDialogTest, RenamingToADeletedRecordsNameRenamesThatRecordByItsTypesRule) {
    // A deleted wall holds "Oak" and a door is called "Oak1"; the current wall Elm is renamed to "Oak".
    // The deleted wall takes its variant among walls, among all styles, or keeps the name.
    const struct {
        std::uint32_t wallFlags;
        std::vector<std::string> expected;
    } cases[] = {
        {PresetDatabase::kUniqueInType, {"Oak", "Oak1", "Oak1*"}},
        {PresetDatabase::kUniqueInDatabase, {"Oak", "Oak1", "Oak2*"}},
        {0, {"Oak", "Oak*", "Oak1"}},
    };
    for (const auto& [wallFlags, expected] : cases) {
        SCOPED_TRACE(wallFlags);
        PresetDatabase::clearTypes();
        registerTestTypes(wallFlags);
        tarnwick::HostProject::destroy();
        file("Oak", /*deleted=*/true);
        file("Elm");
        file("Oak1", /*deleted=*/false, "doorStyle");
        script(R"([{"do": "selectRows", "item": 14, "rows": [1]},
                   {"do": "setText", "item": 11, "text": "Oak", "commit": true}, {"do": "click", "item": 1}])");
        RecordDialog dialog;
        ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        EXPECT_EQ(names(filed()), expected);
        EXPECT_TRUE(host::recordedAlerts().empty());
    }
}

TEST_F(UserDataDialogTest, ARenamedRowShowsTheNewNameNotTheRecordsListName) {
    file("Oak");   // listed as "(unnamed)" until a name is set on its row
    class Probe : public RecordDialog {
    public:
        std::string shown;
        void close(const tarnwick::ActionEvent& event) override {
            if (const auto row = getView()->begin(2); row != getView()->end())
                shown = std::string(getView()->getCellText(row->getRow(), 0).getView());
            RecordDialog::close(event);
        }
    } dialog;
    script(R"([{"do": "selectRows", "item": 14, "rows": [1]}, {"do": "setText", "item": 11, "text": "Elm"},
               {"do": "click", "item": 1}])");
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(dialog.shown, "Elm");
}

TEST_F(UserDataDialogTest, ANameACurrentRecordOfAnotherTypeHoldsIsRefusedWhateverTheKeyOrder) {
    const Guid low("00000000-0000-4000-8000-000000000001");
    const Guid high("FFFFFFFF-0000-4000-8000-000000000001");
    ASSERT_TRUE(low < high);
    for (const bool deletedFirst : {true, false}) {
        SCOPED_TRACE(deletedFirst ? "deleted holder first" : "current holder first");
        tarnwick::HostProject::destroy();
        host::clearRecordedAlerts();
        file("Oak");
        file("Elm", /*deleted=*/true, "wallStyle", deletedFirst ? low : high);
        file("Elm", /*deleted=*/false, "doorStyle", deletedFirst ? high : low);
        script(
            R"([{"do": "selectPopup", "item": 9, "text": "All"}, {"do": "selectRows", "item": 14, "rows": [3]},
                   {"do": "setText", "item": 11, "text": "Elm", "commit": true}, {"do": "click", "item": 1}])");
        RecordDialog dialog;
        ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        EXPECT_EQ(names(filed()), (std::vector<std::string>{"Elm", "Elm*", "Oak"}));
        EXPECT_EQ(host::recordedAlerts().size(), 1u);
    }
}

TEST_F(UserDataDialogTest, ACopyOfADeletedRecordIsCurrent) {
    file("Ash", /*deleted=*/true);
    script(R"([{"do": "selectPopup", "item": 9, "text": "All"}, {"do": "selectRows", "item": 14, "rows": [1]},
               {"do": "click", "item": 4}, {"do": "click", "item": 1}])");
    RecordDialog dialog;
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    // The copy is current; the deleted record gives its name up to it.
    EXPECT_EQ(names(filed()), (std::vector<std::string>{"Ash", "Ash1*"}));
}

TEST_F(UserDataDialogTest, DeleteMarksCurrentRecordsAndRemovesDeletedOnesOnlyWhenConfirmed) {
    for (int answer : {1, 2}) {
        SCOPED_TRACE(answer);
        tarnwick::HostProject::destroy();   // a fresh project, with a deleted-records database
        project().addPackage(DeletedDatabase(), /*notify=*/false);
        const Guid ash = file("Ash");
        const Guid beech = file("Beech", /*deleted=*/true);
        const std::string exported = path("before.presets");   // a file that still holds Beech
        script(R"([{"do": "click", "item": 8}, {"do": "fileDialog", "path": ")" + exported + R"("},
                   {"do": "selectPopup", "item": 9, "text": "All"}, {"do": "selectRows", "item": 14, "rows": [1, 2]},
                   {"do": "click", "item": 5}, {"do": "answerAlert", "button": )" +
               std::to_string(answer) + R"(}, {"do": "click", "item": 1}])");
        host::clearRecordedAlerts();
        RecordDialog dialog;
        ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        ASSERT_EQ(host::recordedAlerts().size(), 1u);
        EXPECT_EQ(host::recordedAlerts()[0].title, "Style");
        EXPECT_EQ(host::recordedAlerts()[0].largeText,
                  "Permanently deleted records cannot be recovered\\r\\nAre you sure you want to continue ?");
        EXPECT_TRUE(filed()->findRecord(ash)->isDeleted());
        const auto* removed =
            dynamic_cast<const DeletedDatabase*>(project().getPackage(DeletedDatabase::kCode));
        if (answer == 1) {
            EXPECT_EQ(filed()->findRecord(beech), nullptr);
            ASSERT_NE(removed, nullptr);
            const auto record = removed->findRecord(beech);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->getPackageCode(), PresetDatabase::kCode);
            EXPECT_FALSE(record->isDeleted());
            // Importing Beech again brings it back, and its entry among the removed records says so.
            script(R"([{"do": "click", "item": 7}, {"do": "fileDialog", "path": ")" + exported +
                   R"(", "type": 1}, {"do": "click", "item": 1}])");
            RecordDialog importing;
            ASSERT_EQ(importing.open(), tarnwick::kDialogAccepted);
            EXPECT_NE(filed()->findRecord(beech), nullptr);
            removed = dynamic_cast<const DeletedDatabase*>(project().getPackage(DeletedDatabase::kCode));
            ASSERT_NE(removed, nullptr);
            ASSERT_NE(removed->findRecord(beech), nullptr);
            EXPECT_TRUE(removed->findRecord(beech)->isDeleted());
        } else {
            EXPECT_NE(filed()->findRecord(beech), nullptr);
            EXPECT_TRUE(removed == nullptr || removed->findRecord(beech) == nullptr);
        }
    }
}

TEST_F(UserDataDialogTest, RestoreMakesTheSelectedRecordsCurrentAndCancelKeepsTheProject) {
    file("Ash", /*deleted=*/true);
    file("Beech");
    script(
        R"([{"do": "selectPopup", "item": 9, "text": "Deleted"}, {"do": "selectRows", "item": 14, "rows": [1]},
               {"do": "click", "item": 6}, {"do": "click", "item": 2}])");
    {
        RecordDialog dialog;
        EXPECT_EQ(dialog.open(), tarnwick::kDialogCancelled);
    }
    EXPECT_EQ(names(filed()), (std::vector<std::string>{"Ash*", "Beech"}));
    script(
        R"([{"do": "selectPopup", "item": 9, "text": "Deleted"}, {"do": "selectRows", "item": 14, "rows": [1]},
               {"do": "click", "item": 6}, {"do": "click", "item": 1}])");
    RecordDialog dialog;
    EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(names(filed()), (std::vector<std::string>{"Ash", "Beech"}));
}

TEST_F(UserDataDialogTest, ExportWritesEveryRecordAndImportPutsTheFilesRecords) {
    const Guid oak = file("Oak");
    file("Pine", /*deleted=*/true);
    const std::string exported = path("styles.presets");
    script(R"([{"do": "selectRows", "item": 14, "rows": [1]}, {"do": "click", "item": 8},
               {"do": "fileDialog", "path": ")" +
           exported + R"("}, {"do": "click", "item": 1}])");
    {
        RecordDialog dialog;
        ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    }
    ASSERT_EQ(host::fileDialogRequests().size(), 1u);
    EXPECT_EQ(host::fileDialogRequests()[0].title, "Style Export");
    EXPECT_EQ(host::fileDialogRequests()[0].typeNames, std::vector<std::string>{"Styles File"});
    const std::string written = text(exported.c_str());
    EXPECT_NE(written.find("<tarnwickPresets>"), std::string::npos) << written;
    EXPECT_NE(written.find("Pine"), std::string::npos);

    // Meanwhile Oak is renumbered and Birch added. A broken file changes nothing and says so; the
    // exported file puts Oak back as it was and leaves Birch.
    PresetDatabase changed;
    changed.merge(*filed());
    std::static_pointer_cast<TestPreset>(changed.findRecord(oak))->number = 5;
    changed.put({Guid::generate(), preset("Birch")});
    project().addPackage(changed, false);
    const std::string broken = path("broken.presets");
    std::ofstream(broken) << "<tarnwickPresets><presetDatabase><records>";
    script(R"([{"do": "click", "item": 7}, {"do": "fileDialog", "path": ")" + broken + R"("},
               {"do": "click", "item": 7}, {"do": "fileDialog", "path": ")" +
           exported + R"(", "type": 1},
               {"do": "click", "item": 1}])");
    host::clearRecordedAlerts();
    RecordDialog dialog;
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].kind, host::kAlertError);
    EXPECT_EQ(alerts[0].largeText.rfind("The data file couldn't be read.", 0), 0u);
    EXPECT_EQ(std::static_pointer_cast<TestPreset>(filed()->findRecord(oak))->number, 0);
    EXPECT_EQ(names(filed()), (std::vector<std::string>{"Birch", "Oak", "Pine*"}));
}

TEST_F(UserDataDialogTest, ADialogWithoutAStyleDatabaseOpensEmpty) {
    std::int16_t rows = -1;
    script(R"([{"do": "click", "item": 1}])");
    class Probe : public RecordDialog {
    public:
        std::int16_t* rows = nullptr;
        void opened() override { *rows = getView()->getRowCount(); }
    } dialog;
    dialog.rows = &rows;
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(rows, 0);
    ASSERT_NE(filed(), nullptr);
    EXPECT_EQ(filed()->size(), 0u);
}

TEST_F(UserDataDialogTest, TheStyleManagerListsTheChosenTypeAndImportsLegacyFiles) {
    file("Wall A");
    file("Door A", false, "doorStyle");
    file("Door B", false, "doorStyle");
    std::vector<std::int16_t> listed;
    class Manager : public PresetDialog {
    public:
        std::vector<std::int16_t>* listed = nullptr;
        void update() override { listed->push_back(getView()->getRowCount()); }
    } dialog;
    dialog.listed = &listed;
    script(R"([{"do": "selectPopup", "item": 12, "text": "Door"}, {"do": "click", "item": 7},
               {"do": "fileDialog", "cancel": true}, {"do": "click", "item": 8}, {"do": "fileDialog", "cancel": true},
               {"do": "click", "item": 1}])");
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.front(), 2);   // after the choice of Door: its two styles
    const auto requests = host::fileDialogRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].typeNames, (std::vector<std::string>{"Styles File", "Legacy Style File"}));
    EXPECT_EQ(requests[1].typeNames, std::vector<std::string>{"Styles File"});
}

TEST_F(UserDataDialogTest, ResizingMovesTheButtonsAndGrowsTheList) {
    using tarnwick::ScreenPoint;
    struct Place {
        ScreenPoint ok, insert, status, listSize;
    };
    class Probe : public RecordDialog {
    public:
        Place before, after;
        Place measure() {
            return {findControl(1)->getPosition(), findControl(kInsertItem)->getPosition(),
                    findControl(kStatusItem)->getPosition(), getView()->getSize()};
        }
        void opened() override { before = measure(); }
        void close(const tarnwick::ActionEvent& event) override {
            after = measure();
            RecordDialog::close(event);
        }
    } dialog;
    script(R"([{"do": "resize", "width": 568, "height": 413}, {"do": "click", "item": 1}])");
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(dialog.after.ok.x - dialog.before.ok.x, 100);
    EXPECT_EQ(dialog.after.ok.y - dialog.before.ok.y, 50);
    EXPECT_EQ(dialog.after.status.y - dialog.before.status.y, 50);
    EXPECT_EQ(dialog.after.insert.x - dialog.before.insert.x, 100);
    EXPECT_EQ(dialog.after.insert.y, dialog.before.insert.y);
    EXPECT_EQ(dialog.after.listSize.x - dialog.before.listSize.x, 100);
    EXPECT_EQ(dialog.after.listSize.y - dialog.before.listSize.y, 50);
}

TEST_F(UserDataDialogTest, TheStyleManagerTellsHowManyStylesAFileBroughtOrReplaced) {
    const Guid kept = file("Wall A");
    const Guid changed = file("Wall C");
    PresetDatabase written;
    written.merge(*filed());
    written.put({Guid::generate(), preset("Wall B")});
    written.put({changed, preset("Wall C", "wallStyle", false, /*number=*/7)});
    const std::string styles = path("two.presets");
    {
        tarnwick::UserDatabaseCollection collection;
        written.createProxy(collection, /*copy=*/false);
        tarnwick::DataFile out(styles, tarnwick::DataFile::kWrite, /*create=*/true);
        tarnwick::DataBufferOut buffer;
        ASSERT_TRUE(buffer.open(out) && collection.write(buffer) && buffer.close());
    }
    // The file as a legacy file is refused; as a styles file it brings one style and replaces one that
    // differs; the one alike stays as it was.
    script(R"([{"do": "click", "item": 7}, {"do": "fileDialog", "path": ")" + styles + R"(", "type": 2},
               {"do": "click", "item": 7}, {"do": "fileDialog", "path": ")" +
           styles + R"("},
               {"do": "click", "item": 1}])");
    PresetDialog dialog;
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].kind, host::kAlertError);
    EXPECT_EQ(alerts[1].kind, host::kAlertInformation);
    EXPECT_EQ(alerts[1].largeText, "2 styles were imported from the selected file.");
    EXPECT_EQ(names(filed()), (std::vector<std::string>{"Wall A", "Wall B", "Wall C"}));
    EXPECT_EQ(static_cast<const TestPreset&>(*filed()->findRecord(changed)).number, 7);
    EXPECT_NE(filed()->findRecord(kept), nullptr);
}

TEST_F(UserDataDialogTest, OkWithNothingSelectedKeepsTheCurrentStyle) {
    file("Wall A");
    const Guid current = file("Wall B");
    {
        PresetDatabase database;
        database.merge(*filed());
        database.setCurrentKey(current);
        project().addPackage(database, false);
    }
    script(R"([{"do": "selectRows", "item": 14, "rows": []}, {"do": "click", "item": 1}])");
    PresetDialog dialog;
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    ASSERT_NE(filed(), nullptr);
    EXPECT_EQ(filed()->getCurrentKey(), current);
}

TEST_F(UserDataDialogTest, ALegacyImportCountsEachStyleItReplacedOnceByItsKey) {
    const Guid held = file("Wall A");
    // One wall group whose two styles share the held key: the second replaces what the first put.
    LegacyWriter w(/*bigEndian=*/false);
    w.header("Styles:3", 1).str("WL").str("x").i32(0).i32(2);
    const std::string key = std::string(held.toString().getView());
    w.str("Wall B").str(key).i32(1000).i32(7).str("").i32(0).i32(0);   // no values, no arrays
    w.str("Wall C").str(key).i32(1000).i32(8).str("").i32(0).i32(0);
    const std::string styles = path("old.dat");
    std::ofstream(styles, std::ios::binary) << w.bytes;

    script(R"([{"do": "click", "item": 7}, {"do": "fileDialog", "path": ")" + styles + R"(", "type": 2},
               {"do": "click", "item": 1}])");
    PresetDialog dialog;
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].kind, host::kAlertInformation);
    EXPECT_EQ(alerts[0].largeText, "1 styles were imported from the selected file.");
    EXPECT_EQ(names(filed()), (std::vector<std::string>{"Wall C"}));
}

TEST_F(UserDataDialogTest, TheFirstRegistrationLetsTheHostOpenTheStyleManager) {
    class StyleAddon : public tarnwick::Addon {
    public:
        StyleAddon() : Addon(32701) {}
    };
    PresetDatabase::clearTypes();
    tarnwick::Addon::setInstance(std::make_unique<StyleAddon>());
    registerTestTypes();
    tarnwick::Addon* addon = tarnwick::Addon::getInstance();
    ASSERT_NE(addon->findTool<tarnwick::PresetEditor>(), nullptr);
    script(R"([{"do": "click", "item": 1}])");
    EXPECT_TRUE(addon->publish(tarnwick::Event(host::fourcc("HOST"), host::fourcc("EPDB"))));
    EXPECT_EQ(host::pendingDialogActions(), 0u);   // the style manager opened and took the click
    EXPECT_NE(filed(), nullptr);                   // and filed its copy
}

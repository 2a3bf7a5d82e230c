// The "Object Mapping Table" and "Object Selection" dialogs driven by scripted user actions on a small
// project (dialog.json): the rows and their colours, typing a replacement, configurations, clearing,
// resizing, the pre-fill, and what accepting and cancelling leave in the table, the preferences and the
// table file.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <HostDialogLibrary.h>
#include <HostDialogs.h>
#include <HostRecords.h>
#include <HostResult.h>
#include <SimProject.h>

#include "Elements/Object.h"
#include "Environment/FocusEvent.h"
#include "Environment/Host.h"
#include "Environment/ItemEvent.h"
#include "Environment/MenuEvent.h"
#include "Interface/ActionEvent.h"
#include "Interface/EditText.h"
#include "Interface/InterfacePanel.h"
#include "Interface/ListControl.h"
#include "Project/Drawing.h"
#include "Project/HostProject.h"
#include "Project/Library.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Project/Section.h"
#include "Project/Specification.h"
#include "Skellowing/MappingDialog.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapTransaction.h"
#include "Skellowing/ObjectSelectionDialog.h"
#include "Skellowing/SkellowingPrefs.h"
#include "SkellowingFixture.h"

namespace {

using skellow::LibraryPartList;
using skellow::ObjectMap;
using skellow::ObjectMapType;
using skellow::SourceGroupMap;
using skellow::SourceKey;
using tarnwick::String;

constexpr std::int16_t kPopupItem = 4;
constexpr std::int16_t kListItem = 9;

struct Row {
    std::string source, mapped, colour;
    bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << row.source << " -> \"" << row.mapped << "\" " << row.colour;
}

std::string colourName(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
    if (red == 0 && green == 0 && blue == 0) return "black";
    if (red == 0 && green == 65535 && blue == 0) return "green";
    if (red == 65535 && green == 0 && blue == 0) return "red";
    if (red == 65535 && green == 34952 && blue == 0) return "orange";
    return "other";
}

// The mapping dialog with what it showed when it closed, and a hook once it has opened.
class ProbeDialog : public skellow::MappingDialog {
public:
    using MappingDialog::MappingDialog;

    std::function<void(ProbeDialog&)> onOpened;
    std::vector<Row> rows;
    std::vector<std::string> popup;   // "*" before the chosen item
    std::int32_t width = 0, height = 0;
    std::int16_t listWidth = 0, listHeight = 0, buttonTop = 0;

    void opened() override {
        MappingDialog::opened();
        if (onOpened) onOpened(*this);
    }
    void close(const tarnwick::ActionEvent& event) override {
        snapshot();
        MappingDialog::close(event);
    }
    void cancel(const tarnwick::ActionEvent& event) override {
        snapshot();
        MappingDialog::cancel(event);
    }

    void snapshot() {
        const std::int16_t panel = getPanelId();
        rows.clear();
        popup.clear();
        const int count = host::DGListGetItemCount(panel, kListItem);   // up to 32767: no int16 counter
        for (int index = 1; index <= count; ++index) {
            const auto r = static_cast<std::int16_t>(index);
            std::uint16_t red = 0, green = 0, blue = 0;
            host::DGListGetItemColor(panel, kListItem, r, red, green, blue);
            rows.push_back({host::DGListGetTabItemText(panel, kListItem, r, 1),
                            host::DGListGetTabItemText(panel, kListItem, r, 2),
                            colourName(red, green, blue)});
        }
        const std::int16_t chosen = host::DGPopUpGetSelected(panel, kPopupItem);
        const int items = host::DGPopUpGetItemCount(panel, kPopupItem);   // up to 32767 as well
        for (int index = 1; index <= items; ++index) {
            const auto i = static_cast<std::int16_t>(index);
            popup.push_back((i == chosen ? "*" : "") + host::DGPopUpGetItemText(panel, kPopupItem, i));
        }
        host::DGGetDialogClientSize(panel, 0, width, height);
        std::int16_t left = 0, top = 0, right = 0, bottom = 0;
        host::DGGetItemRect(panel, kListItem, left, top, right, bottom);
        listWidth = static_cast<std::int16_t>(right - left);
        listHeight = static_cast<std::int16_t>(bottom - top);
        host::DGGetItemRect(panel, 1, left, buttonTop, right, bottom);
    }
};

class MappingDialogTest : public SkellowingFixture {
protected:
    void SetUp() override {
        SkellowingFixture::SetUp();
        std::ifstream file(std::string(TEST_SOURCE_DIR) + "/dialog.json");
        std::stringstream text;
        text << file.rdbuf();
        std::string error;
        ASSERT_TRUE(host_->project().loadText(text.str(), error)) << error;
        tarnwick::Library::registerCreators();
        tarnwick::Specification::registerCreators();
        tarnwick::Drawing::unregisterCreators();
        tarnwick::Drawing::registerCreators();
        tarnwick::Addon::getInstance()->installTools();
        tarnwick::Library* library = tarnwick::Host::getLibrary();
        ASSERT_NE(library, nullptr);
        const std::pair<const char*, std::uint32_t> parts[] = {
            {"Chair", host::kLibraryObject},    {"Table", host::kLibraryObject},
            {"Sofa 22", host::kLibraryObject},  {"garage Door", host::kLibraryDoor},
            {"Front door", host::kLibraryDoor}, {"Back Door", host::kLibraryDoor}};
        for (std::size_t i = 0; i < std::size(parts); ++i)
            parts_.push_back(
                {String(parts[i].first),
                 tarnwick::ComponentLink(static_cast<std::int32_t>(i + 1), parts[i].second, library)});
        table_.ensureDefaults();
        tarnwick::InterfacePanel::createRegistry();
        host::setDialogTranscript([this](const std::string& line) { transcript_.push_back(line); });
    }
    void TearDown() override {
        host::setDialogTranscript(nullptr);
        tarnwick::InterfacePanel::destroyRegistry();
        tarnwick::Drawing::unregisterCreators();
        tarnwick::Specification::unregisterCreators();
        tarnwick::Library::unregisterCreators();
        SkellowingFixture::TearDown();
    }

    skellow::SkellowingPrefs& prefs() {
        return dynamic_cast<skellow::SkellowingPrefs&>(
            *tarnwick::Host::getProject()->getPackage(skellow::SkellowingPrefs::kCode));
    }
    // Maps the key in the configuration, made when missing, to a loaded part or to a typed name.
    void map(ObjectMap& table, const char* configuration, ObjectMapType kind, SourceKey key,
             const char* part) {
        if (!table.findList(String(configuration), kind)) table.addList(String(configuration), kind);
        String name(configuration);
        skellow::ObjectSpecification* made = table.findSpecification(key, name, kind, true);
        ASSERT_NE(made, nullptr);
        made->setTypedName(String(part));
    }
    static SourceKey object(const char* name) { return {host::kLibraryObject, String(name)}; }
    static SourceKey door(const char* name) { return {host::kLibraryDoor, String(name)}; }

    std::vector<std::string> alerts() const {
        std::vector<std::string> texts;
        for (const host::AlertRecord& alert : host::recordedAlerts()) texts.push_back(alert.largeText);
        return texts;
    }
    static std::string message(std::int32_t item) {
        return std::string(tarnwick::Host::getString(32522, item).getView());
    }
    std::string mappedName(const ObjectMap& table, const char* configuration, ObjectMapType kind,
                           const SourceKey& key) const {
        const skellow::ObjectSpecification* found =
            table.findOwnSpecification(key, String(configuration), kind);
        return found ? std::string(found->getMappedName().getView()) : "(none)";
    }

    bool transcribed(const std::string& text) const {
        return std::any_of(transcript_.begin(), transcript_.end(),
                           [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }

    // The rows of the dialog on a copy of the table after the script's actions, with what an earlier
    // play showed forgotten.
    std::vector<Row> playRows(const std::string& actions) {
        host::clearUserActions();
        host::clearRecordedAlerts();
        transcript_.clear();
        script(actions);
        ObjectMap table(table_);
        ProbeDialog dialog(table, ObjectMapType::gsm, groups_, parts_);
        EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        return dialog.rows;
    }
    // How often the last play read a tool's defaults before it opened the tool's settings dialog.
    std::uint64_t defaultsReadBeforeSettings() const {
        std::uint64_t reads = 0;
        for (const host::HostCall& call : host_->calls()) {
            if (call.slot == host::HostSlot::interface && call.code == host::fourcc("SETD")) break;
            if (call.slot == host::HostSlot::getElementDefaults) ++reads;
        }
        return reads;
    }

    ObjectMap table_;
    std::vector<std::string> transcript_;
    SourceGroupMap groups_;
    LibraryPartList parts_;
};

}   // namespace

TEST_F(MappingDialogTest, ShowsEachRowsMappingInItsColourAndOnlyAcceptingWritesTheTable) {
    // Chair is the shown configuration's own; Stool is inherited from another configuration of the kind
    // and Bench from the IFC kind's "Default", which is not the shown "Default" either.
    map(table_, "Default", ObjectMapType::gsm, object("Chair"), "Table");
    map(table_, "Site", ObjectMapType::gsm, object("Stool"), "Chair");
    map(table_, "Default", ObjectMapType::ifc, object("Bench"), "Sofa 22");
    map(table_, "Default", ObjectMapType::gsm, object("Ghost"), "Nothing");
    for (const char* name : {"Bench", "Chair", "Ghost", "Stool"}) groups_[object(name)];
    groups_[{host::kLibraryLamp, String("Lamp")}];
    const std::vector<Row> shown{{"Bench", "Sofa 22", "green"},
                                 {"Chair", "Table", "black"},
                                 {"Ghost", "Nothing", "red"},
                                 {"Stool", "Chair", "green"},
                                 {"Lamp", "", "orange"}};
    for (const bool accept : {false, true}) {
        SCOPED_TRACE(accept ? "accepted" : "cancelled");
        host::clearUserActions();
        script(accept ? R"([{"do":"click","item":1}])" : R"([{"do":"click","item":2}])");
        ObjectMap table(table_);
        ProbeDialog dialog(table, ObjectMapType::gsm, groups_, parts_);
        EXPECT_EQ(dialog.open(), accept ? tarnwick::kDialogAccepted : tarnwick::kDialogCancelled);
        EXPECT_EQ(dialog.rows, shown);
        EXPECT_EQ(dialog.popup,
                  (std::vector<std::string>{"Add new configuration...", "Rename  \"Default\"...",
                                            "Delete  \"Default\"...", "", "*Default", "Site"}));
        // Accepting copies the inherited mappings of the listed rows into the shown configuration.
        EXPECT_EQ(mappedName(table, "Default", ObjectMapType::gsm, object("Stool")),
                  accept ? "Chair" : "(none)");
        EXPECT_EQ(mappedName(table, "Default", ObjectMapType::gsm, object("Bench")),
                  accept ? "Sofa 22" : "(none)");
        EXPECT_EQ(mappedName(table, "Default", ObjectMapType::gsm, object("Lamp")), "(none)");
        EXPECT_EQ(std::filesystem::exists(tableFile()), accept);
    }
    EXPECT_NE(readFile(tableFile()).find("<originalName>Stool</originalName>"), std::string::npos);
    // The host shows each row's colour.
    EXPECT_TRUE(transcribed("5  Lamp |   (#ff8800)"));
    EXPECT_TRUE(transcribed("4  Stool | Chair  (#00ff00)"));
}

// Accepting saves the table; a save that fails is told, and the command learns that not all the user
// asked for is kept. A table the user left as it was needs no save, so a read-only one is no failure.
TEST_F(MappingDialogTest, AcceptingWithATableThatCannotBeSavedFailsTheCommand) {
    groups_[object("Chair")];
    tarnwick::Host::takeFailure();
    struct Case {
        const char* what;
        bool readOnly;
        bool edited;
    };
    for (const Case& c : {Case{"writable", false, true}, Case{"read-only, as it was", true, false},
                          Case{"read-only, edited", true, true}}) {
        SCOPED_TRACE(c.what);
        if (c.readOnly) std::filesystem::permissions(tableFile(), std::filesystem::perms::owner_read);
        if (c.edited)
            map(table_, "Default", ObjectMapType::gsm, object("Chair"), c.readOnly ? "Table" : "Chair");
        host::clearUserActions();
        host::clearRecordedAlerts();
        script(R"([{"do":"click","item":1}])");
        ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
        EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        const bool fails = c.readOnly && c.edited;
        EXPECT_EQ(alerts().size(), fails ? 1u : 0u);
        EXPECT_EQ(tarnwick::Host::takeFailure(), fails ? host::kErrFile : host::kNoError);
    }
    EXPECT_NE(readFile(tableFile()).find("<mappedName>Chair</mappedName>"), std::string::npos);
}

TEST_F(MappingDialogTest, LooksATypedNameUpWhenTheEntryIsOverNotWhileTyping) {
    map(table_, "Default", ObjectMapType::gsm, object("Chair"), "Table");
    groups_[object("Chair")];
    script(R"([{"do":"click","item":1}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    std::vector<std::string> whileTyping;
    dialog.onOpened = [&](ProbeDialog& d) {
        auto& list = dynamic_cast<tarnwick::ListControl&>(*d.findControl(kListItem));
        auto& field = dynamic_cast<tarnwick::EditText&>(*d.findControl(8));
        list.select(true, 0);
        EXPECT_EQ(field.getText(), String("Table"));   // the field edits the selected row
        // Each keystroke is a change of the text: nothing is looked up, nothing is shown.
        for (const char* text : {"z", "zz"}) {
            field.setText(String(text));
            d.broadcastEvent(tarnwick::ItemEvent(tarnwick::ControlLink(8, &d)));
        }
        whileTyping = alerts();
        whileTyping.push_back(mappedName(d.getWorkingCopy(), "Default", ObjectMapType::gsm, object("Chair")));
        // Leaving the field ends the entry.
        d.broadcastEvent(tarnwick::FocusEvent(tarnwick::ControlLink(8, &d), 0));
    };
    EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(whileTyping, (std::vector<std::string>{"Table"}));
    EXPECT_EQ(alerts(), (std::vector<std::string>{message(11)}));
    EXPECT_EQ(dialog.rows, (std::vector<Row>{{"Chair", "zz", "red"}}));
    // The part chosen before no longer answers for the typed name.
    String name("Default");
    skellow::ObjectSpecification* chair =
        table_.findSpecification(object("Chair"), name, ObjectMapType::gsm, false);
    ASSERT_NE(chair, nullptr);
    EXPECT_EQ(chair->findMappedPart(), nullptr);
}

TEST_F(MappingDialogTest, MapsATypedNameToTheOnePartItFitsOrTheOneTheUserPicks) {
    struct Case {
        const char* name;
        const char* actions;
        std::vector<Row> rows;
        std::size_t alerts;
    };
    const Case cases[] = {
        {"one match",
         R"([{"do":"selectRows","item":9,"rows":[2]},{"do":"setText","item":8,"text":"CHAI","commit":true}])",
         {{"Gate", "", "orange"}, {"Seat", "Chair", "black"}},
         0},
        {"no match",
         R"([{"do":"selectRows","item":9,"rows":[2]},{"do":"setText","item":8,"text":"door","commit":true}])",
         {{"Gate", "", "orange"}, {"Seat", "door", "red"}},
         1},
        {"picked",
         R"([{"do":"selectRows","item":9,"rows":[1]},{"do":"setText","item":8,"text":"door","commit":true},
                      {"do":"selectRows","item":4,"rows":[3],"dialog":32511},{"do":"click","item":1,"dialog":32511}])",
         {{"Gate", "garage Door", "black"}, {"Seat", "Table", "black"}},
         0},
        {"not picked",
         R"([{"do":"selectRows","item":9,"rows":[1]},{"do":"setText","item":8,"text":"door","commit":true},
                          {"do":"click","item":2,"dialog":32511}])",
         {{"Gate", "", "orange"}, {"Seat", "Table", "black"}},
         0},
    };
    map(table_, "Default", ObjectMapType::gsm, object("Seat"), "Table");
    groups_[door("Gate")];
    groups_[object("Seat")];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host::clearUserActions();
        host::clearRecordedAlerts();
        transcript_.clear();
        script(c.actions);
        ObjectMap table(table_);
        ProbeDialog dialog(table, ObjectMapType::gsm, groups_, parts_);
        EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        EXPECT_EQ(host::scriptStopMessage(), "");
        EXPECT_EQ(dialog.rows, c.rows);
        EXPECT_EQ(alerts().size(), c.alerts);
    }
    // The candidates were offered sorted in any letter case.
    EXPECT_TRUE(transcribed("1  Back Door"));
    EXPECT_TRUE(transcribed("3  garage Door"));
}

TEST_F(MappingDialogTest, AddsRenamesAndDeletesConfigurationsWithUniqueNames) {
    groups_[object("Chair")];
    // Deleting the only configuration is refused; a new one may not repeat a shown name exactly, but may
    // differ in letter case; a rename may keep the name; deleting the shown one shows the first left.
    script(R"([{"do":"selectPopup","item":4,"index":3},
               {"do":"selectPopup","item":4,"index":1},
               {"do":"setText","item":4,"text":"Default","dialog":32600},{"do":"click","item":1,"dialog":32600},
               {"do":"setText","item":4,"text":"default","dialog":32600},{"do":"click","item":1,"dialog":32600},
               {"do":"selectPopup","item":4,"index":2},
               {"do":"setText","item":4,"text":"default","dialog":32600},{"do":"click","item":1,"dialog":32600},
               {"do":"selectPopup","item":4,"index":2},{"do":"click","item":2,"dialog":32600},
               {"do":"selectPopup","item":4,"index":1},
               {"do":"setText","item":4,"text":"Site\u0000B","dialog":32600},{"do":"click","item":1,"dialog":32600},
               {"do":"setText","item":4,"text":"Site\tB","dialog":32600},{"do":"click","item":1,"dialog":32600},
               {"do":"setText","item":4,"text":"Site\u007fB","dialog":32600},{"do":"click","item":1,"dialog":32600},
               {"do":"setText","item":4,"text":"Site\u009bB","dialog":32600},{"do":"click","item":1,"dialog":32600},
               {"do":"setText","item":4,"text":"Site\uFFFEB","dialog":32600},{"do":"click","item":1,"dialog":32600},
               {"do":"click","item":2,"dialog":32600},
               {"do":"click","item":1}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    const std::string control =
        "A configuration name cannot hold control characters (such as a tab or a line break) - please enter "
        "another name";
    EXPECT_EQ(alerts(),
              (std::vector<std::string>{message(10), message(7),
                                        "A name cannot hold a NUL character - please enter another name",
                                        control, control, control,
                                        "A configuration name cannot hold characters that an XML "
                                        "file cannot carry (such as U+FFFE or U+FFFF) - please enter "
                                        "another name"}));
    EXPECT_EQ(dialog.popup, (std::vector<std::string>{"Add new configuration...", "Rename  \"default\"...",
                                                      "Delete  \"default\"...", "", "Default", "*default"}));
    EXPECT_TRUE(transcribed("IFC source name"));
    EXPECT_TRUE(transcribed("Enter a replacement name for the IFC source"));
    EXPECT_EQ(prefs().getSource(ObjectMapType::gsm), String("default"));

    // Deleting the shown one of two makes the first in sorted order shown.
    host::clearUserActions();
    script(R"([{"do":"selectPopup","item":4,"index":3},{"do":"click","item":1}])");
    ProbeDialog again(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(again.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(again.popup.back(), "*Default");
    EXPECT_EQ(table_.findList(String("default"), ObjectMapType::gsm), nullptr);
    EXPECT_EQ(prefs().getSource(ObjectMapType::gsm), String("Default"));
}

TEST_F(MappingDialogTest, ClearingRemovesOnlyTheShownConfigurationsMappings) {
    map(table_, "Default", ObjectMapType::gsm, object("Chair"), "Table");
    map(table_, "Site", ObjectMapType::gsm, object("Stool"), "Chair");
    groups_[object("Chair")];
    groups_[object("Stool")];
    script(R"([{"do":"selectRows","item":9,"rows":[1,2]},{"do":"click","item":12},{"do":"click","item":1}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(dialog.rows, (std::vector<Row>{{"Chair", "", "orange"}, {"Stool", "", "orange"}}));
    EXPECT_EQ(mappedName(table_, "Default", ObjectMapType::gsm, object("Chair")), "(none)");
    EXPECT_EQ(mappedName(table_, "Default", ObjectMapType::gsm, object("Stool")), "(none)");   // not copied
    EXPECT_EQ(mappedName(table_, "Site", ObjectMapType::gsm, object("Stool")), "Chair");
}

// A list holds at most 32767 rows; the keys past them keep what their rows would have done on accepting,
// and the user is told once how many names, not elements, have no row.
TEST_F(MappingDialogTest, ListsAsManyRowsAsTheListHoldsAndAcceptsTheKeysPastThem) {
    constexpr int kRows = tarnwick::ListControl::kMaxRows;
    char name[16];
    for (int k = 0; k < kRows + 2; ++k) {
        std::snprintf(name, sizeof name, "Item %05d", k);
        groups_[object(name)].resize(2);   // two elements of each name
    }
    map(table_, "Site", ObjectMapType::gsm, object("Item 00000"), "Chair");   // inherited, on a row
    map(table_, "Site", ObjectMapType::gsm, object("Item 32768"), "Table");   // inherited, past the rows
    map(table_, "Site", ObjectMapType::gsm, object("Item 32767"), "");        // names nothing
    // Choosing the shown configuration again fills the rows again.
    script(R"([{"do":"selectPopup","item":4,"index":5},{"do":"click","item":1}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    ASSERT_EQ(dialog.rows.size(), static_cast<std::size_t>(kRows));
    EXPECT_EQ(dialog.rows.back().source, "Item 32766");
    EXPECT_EQ(alerts(), std::vector<std::string>{"2 names are not listed because the list cannot hold any "
                                                 "more. Their mappings are kept and used, but cannot be "
                                                 "seen or changed here."});
    EXPECT_EQ(mappedName(table_, "Default", ObjectMapType::gsm, object("Item 00000")), "Chair");
    EXPECT_EQ(mappedName(table_, "Default", ObjectMapType::gsm, object("Item 32768")), "Table");
    EXPECT_EQ(mappedName(table_, "Default", ObjectMapType::gsm, object("Item 32767")), "(none)");
}

// One name past the rows is told as one, also when the host does not give the text.
TEST_F(MappingDialogTest, TellsOfOneNameWithoutARowInTheSingular) {
    char name[16];
    for (int k = 0; k <= tarnwick::ListControl::kMaxRows; ++k) {
        std::snprintf(name, sizeof name, "Item %05d", k);
        groups_[object(name)].resize(1);
    }
    for (const bool given : {true, false}) {
        SCOPED_TRACE(given ? "the text given" : "the text refused");
        host::clearUserActions();
        host::clearRecordedAlerts();
        script(R"([{"do":"click","item":1}])");
        if (!given) refuseString(32522, 23);
        ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
        EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        // Never blank: which message, and the count it would have told.
        EXPECT_EQ(alerts(), std::vector<std::string>{given ? "1 name is not listed because the list cannot "
                                                             "hold any more. Its mapping is kept and used, "
                                                             "but cannot be seen or changed here."
                                                           : "Skellowing: message 23 of string list 32522 "
                                                             "cannot be read\n1"});
    }
}

TEST_F(MappingDialogTest, ResizesInWholeRowsNeverBelowItsSmallestSize) {
    struct Case {
        int width, height, keptWidth, keptHeight;
    };
    const Case cases[] = {{600, 400, 439, 392}, {439, 350, 439, 358}};
    groups_[object("Chair")];
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        host::clearUserActions();
        script(R"([{"do":"resize","width":)" + std::to_string(c.width) + R"(,"height":)" +
               std::to_string(c.height) + R"(},{"do":"click","item":1}])");
        ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
        EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        EXPECT_EQ(dialog.width, c.keptWidth);
        EXPECT_EQ(dialog.height, c.keptHeight);
        EXPECT_EQ(dialog.listWidth, c.keptWidth - 40);
        EXPECT_EQ(dialog.listHeight, c.keptHeight - 171);
        EXPECT_EQ(dialog.buttonTop, c.keptHeight - 40);
    }
}

TEST_F(MappingDialogTest, PrefillsALegacyNameOnlyWhereNothingMapsIt) {
    // "Sofa" has its current part "Sofa 22"; a mapping the user made, here or in another configuration,
    // stays as it is.
    struct Case {
        const char* mappedIn;   // the configuration that maps Sofa to Table; null: none
        Row sofa;
        std::string shown;   // the shown configuration's own mapping once accepted
    };
    const Case cases[] = {{nullptr, {"Sofa", "Sofa 22", "green"}, "Sofa 22"},
                          {"Default", {"Sofa", "Table", "black"}, "Table"},
                          {"Old", {"Sofa", "Table", "green"}, "Table"}};
    groups_[object("Chair")];
    groups_[object("Sofa")];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mappedIn ? c.mappedIn : "none");
        ObjectMap table(table_);
        if (c.mappedIn) map(table, c.mappedIn, ObjectMapType::legacy, object("Sofa"), "Table");
        host::clearUserActions();
        script(R"([{"do":"click","item":1}])");
        ProbeDialog dialog(table, ObjectMapType::legacy, groups_, parts_);
        EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        EXPECT_EQ(dialog.rows, (std::vector<Row>{{"Chair", "", "orange"}, c.sofa}));
        EXPECT_EQ(mappedName(table, "Default", ObjectMapType::legacy, object("Sofa")), c.shown);
        if (c.mappedIn) {
            EXPECT_EQ(mappedName(table, c.mappedIn, ObjectMapType::legacy, object("Sofa")), "Table");
        }
    }
}

TEST_F(MappingDialogTest, ObjectSelectionOffersTheCandidatesSortedAndNeedsARowToAccept) {
    struct Case {
        const char* actions;
        tarnwick::DialogResult result;
        const char* chosen;
    };
    const Case cases[] = {
        {R"([{"do":"click","item":1}])", tarnwick::kDialogAccepted, "A"},
        {R"([{"do":"selectRows","item":4,"rows":[3]},{"do":"click","item":1}])", tarnwick::kDialogAccepted,
         "Banana"},
        {R"([{"do":"selectRows","item":4,"rows":[3]},{"do":"click","item":2}])", tarnwick::kDialogCancelled,
         "A"},
        // Without a row, OK cannot be clicked: the script stops there.
        {R"([{"do":"selectRows","item":4,"rows":[]},{"do":"click","item":1}])", tarnwick::kDialogCancelled,
         "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.actions);
        host::clearUserActions();
        script(c.actions);
        LibraryPartList candidates{
            {String("Banana"), {}}, {String("A"), {}}, {String("c"), {}}, {String("apple"), {}}};
        skellow::ObjectSelectionDialog dialog(candidates);
        EXPECT_EQ(dialog.open(), c.result);
        ASSERT_NE(dialog.getResult(), nullptr);
        EXPECT_EQ(dialog.getResult()->name, String(c.chosen));
        std::vector<std::string> order;
        for (const auto& candidate : candidates) order.emplace_back(candidate.name.getView());
        EXPECT_EQ(order, (std::vector<std::string>{"A", "apple", "Banana", "c"}));   // letter case aside
    }
    EXPECT_TRUE(transcribed("item 1 is disabled"));
}

TEST_F(MappingDialogTest, SettingsMapTheSelectedRowsToThePartTheToolDefaultsName) {
    // The settings dialog opens on the first selected row's part; accepted, every selected row without a
    // part of its own takes that part. Cancelled, nothing changes. No row selected: no button to click.
    map(table_, "Default", ObjectMapType::gsm, object("Seat"), "Table");
    groups_[object("Seat")];
    groups_[object("Stool")];
    struct Case {
        bool accept;
        std::vector<Row> rows;
    };
    const Case cases[] = {{true, {{"Seat", "Table", "black"}, {"Stool", "Table", "black"}}},
                          {false, {{"Seat", "Table", "black"}, {"Stool", "", "orange"}}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.accept ? "accepted" : "cancelled");
        host::clearUserActions();
        script(std::string(R"([{"do":"selectRows","item":9,"rows":[1,2]},{"do":"click","item":10},
                               {"do":"settingsDialog","accept":)") +
               (c.accept ? "true" : "false") + R"(},{"do":"click","item":1}])");
        ObjectMap table(table_);
        ProbeDialog dialog(table, ObjectMapType::gsm, groups_, parts_);
        EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        EXPECT_EQ(host::scriptStopMessage(), "");
        EXPECT_EQ(dialog.rows, c.rows);
    }
    host::clearUserActions();
    script(R"([{"do":"click","item":10}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(dialog.open(), tarnwick::kDialogCancelled);
    EXPECT_NE(host::scriptStopMessage().find("item 10 is disabled"), std::string::npos);
}

TEST_F(MappingDialogTest, SettingsChangedInTheToolsDialogBecomeTheRowsPartAndCustomValues) {
    // The row's part with its values is the tool's default while the dialog shows it; the user there
    // picks another part and sets a value: both selected rows take that part, and only the value that
    // differs from the part's own defaults is kept as theirs.
    map(table_, "Default", ObjectMapType::gsm, object("Seat"), "Table");
    groups_[object("Seat")];
    groups_[object("Stool")];
    script(R"([{"do":"selectRows","item":9,"rows":[1,2]},{"do":"click","item":10},
               {"do":"settingsDialog","accept":true,"part":"Chair","set":{"legs":5,"A":0.5}},
               {"do":"click","item":1}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    EXPECT_TRUE(host::scriptErrors().empty());
    EXPECT_EQ(dialog.rows, (std::vector<Row>{{"Seat", "Chair", "black"}, {"Stool", "Chair", "black"}}));
    for (const char* source : {"Seat", "Stool"}) {
        SCOPED_TRACE(source);
        String name("Default");
        const skellow::ObjectSpecification* specification =
            table_.findSpecification(object(source), name, ObjectMapType::gsm, false);
        ASSERT_NE(specification, nullptr);
        ASSERT_TRUE(specification->getCustomParameters());
        ASSERT_EQ(specification->getCustomParameters()->size(), 1u);
        EXPECT_EQ(specification->getCustomParameters()->at(0)->getName(), "legs");
        EXPECT_EQ(specification->getCustomParameters()->at(0)->getText(0, 0), "5");
    }

    // The tool's settings cannot be read back: the user is told, and the rows stay as they were.
    const std::string readBackUnread =
        "The settings could not be read back from the tool - the mapping is unchanged";
    const std::vector<Row> before = dialog.rows;
    const auto played = [&] {
        return playRows(R"([{"do":"selectRows","item":9,"rows":[2]},{"do":"click","item":10},
            {"do":"settingsDialog","accept":true,"part":"Table","set":{"legs":7}},{"do":"click","item":1}])");
    };
    host_->clearCalls();
    const std::vector<Row> taken = played();
    ASSERT_NE(taken, before);
    const std::uint64_t readBefore = defaultsReadBeforeSettings();
    const std::size_t detailsReads = host_->countCalls(host::HostSlot::getLibraryPartDetails);
    host_->injectFault({host::HostSlot::getElementDefaults, std::nullopt}, readBefore + 1, host::kErrGeneral);
    EXPECT_EQ(played(), before);
    host_->clearFaults();
    EXPECT_EQ(alerts(), std::vector<std::string>{readBackUnread});
    // Each read of a part's details refused in turn: the part the user chose is taken, or the user is told
    // and the rows stay as they were; the part is never dropped without a word, not even when the tool,
    // read back after its dialog, could not take it.
    bool toldReadBack = false;
    for (std::size_t n = 1; n <= detailsReads; ++n) {
        SCOPED_TRACE(n);
        host_->injectFault({host::HostSlot::getLibraryPartDetails, std::nullopt}, n, host::kErrGeneral);
        const std::vector<Row> rows = played();
        host_->clearFaults();
        if (rows == taken) {
            EXPECT_EQ(alerts(), std::vector<std::string>{});
            continue;
        }
        EXPECT_EQ(rows, before);
        const std::vector<std::string> told = alerts();   // the tool unread, before or after its dialog
        const bool readBack = told == std::vector<std::string>{readBackUnread};
        EXPECT_TRUE(readBack || told == std::vector<std::string>{message(21)})
            << testing::PrintToString(told);
        toldReadBack = toldReadBack || readBack;
    }
    EXPECT_TRUE(toldReadBack);
}

TEST_F(MappingDialogTest, CancellingPutsBackTheToolSettingsTheSettingsButtonChanged) {
    map(table_, "Default", ObjectMapType::gsm, object("Seat"), "Table");
    groups_[object("Seat")];
    const auto toolSettings = [] {
        tarnwick::Object tool(/*withMemo=*/true, 0);
        const tarnwick::Parameter* legs = tool.parameters().getParameters().find(String("legs"));
        return std::pair(tool.getComponentLink().getIndex(),
                         legs ? std::string(legs->getText(0, 0).getView()) : "(none)");
    };
    auto& defaults = host_->project().state.defaults;
    const host::SimToolDefault stored = defaults.at({6, 0});   // Table, legs 3
    struct Case {
        const char* name;
        bool accept;
        bool ownValues;   // the tool keeps values of its own; else it shows its part's
        std::pair<std::int32_t, std::string> after;
        bool hasPart = true;   // else the tool has no default of its own at all
    };
    const Case cases[] = {{"cancelled", false, true, {2, "3"}},
                          {"accepted: the tool keeps what the user chose", true, true, {1, "5"}},
                          {"cancelled, no values of its own: its part's", false, false, {2, "3"}},
                          {"cancelled, no part: none again", false, false, {0, "(none)"}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        defaults[{6, 0}] = stored;
        if (!c.ownValues) defaults[{6, 0}].memo = {};
        if (!c.hasPart) defaults.erase({6, 0});
        host::clearUserActions();
        script(std::string(R"([{"do":"selectRows","item":9,"rows":[1]},{"do":"click","item":10},
                               {"do":"settingsDialog","accept":true,"part":"Chair","set":{"legs":5}},
                               {"do":"click","item":)") +
               (c.accept ? "1" : "2") + "}]");
        ObjectMap table(table_);
        ProbeDialog dialog(table, ObjectMapType::gsm, groups_, parts_);
        dialog.open();
        EXPECT_EQ(host::scriptStopMessage(), "");
        EXPECT_EQ(toolSettings(), c.after);
        if (!c.accept && c.ownValues) {
            EXPECT_TRUE(defaults.at({6, 0}) == stored);
        }
    }
}

TEST_F(MappingDialogTest, SettingsOfAToolTheHostDoesNotGiveAreNeitherShownNorWritten) {
    // Each read of the tool's settings before its settings dialog fails in turn: the user is told, the
    // dialog does not open, and the tool and the rows stay as they were.
    map(table_, "Default", ObjectMapType::gsm, object("Seat"), "Table");
    groups_[object("Seat")];
    const auto& defaults = host_->project().state.defaults;
    const host::SimToolDefault stored = defaults.at({6, 0});
    const auto played = [&] {
        return playRows(
            R"([{"do":"selectRows","item":9,"rows":[1]},{"do":"click","item":10},{"do":"click","item":1}])");
    };
    host_->clearCalls();
    played();
    ASSERT_TRUE(transcribed("Tool settings dialog of element type 6 opens"));
    const std::uint64_t reads = defaultsReadBeforeSettings();
    ASSERT_GE(reads, 3u);   // the tool's own, the part's, the tool's for its type
    for (std::uint64_t n = 1; n <= reads; ++n) {
        SCOPED_TRACE(n);
        host_->project().state.defaults[{6, 0}] = stored;
        host_->injectFault({host::HostSlot::getElementDefaults, std::nullopt}, n, host::kErrGeneral);
        EXPECT_EQ(played(), (std::vector<Row>{{"Seat", "Table", "black"}}));
        host_->clearFaults();
        EXPECT_FALSE(transcribed("Tool settings dialog"));
        EXPECT_EQ(alerts(), std::vector<std::string>{message(21)});
        EXPECT_TRUE(defaults.at({6, 0}) == stored);
        EXPECT_EQ(defaults.size(), 1u);
    }
    // The stand-in's settings dialog has no tool of no type to show.
    for (const std::int32_t type : {0, -1}) EXPECT_FALSE(tarnwick::Host::openSettingsDialog(type, 0));
    EXPECT_EQ(defaults.size(), 1u);
}

// A popup counts its items in 16 bits: configurations past what it holds are not offered, but the one
// chosen still is.
TEST_F(MappingDialogTest, OffersNoMoreConfigurationsThanThePopupHolds) {
    char name[24];
    for (int k = 0; k < 32770; ++k) {
        std::snprintf(name, sizeof name, "Site %05d", k);
        table_.addList(String(name), ObjectMapType::gsm);
    }
    prefs().setSource(String("Site 32769"), ObjectMapType::gsm);
    script(R"([{"do":"click","item":2}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(dialog.open(), tarnwick::kDialogCancelled);
    ASSERT_EQ(dialog.popup.size(), 32767u);
    EXPECT_EQ(dialog.popup[4], "Default");
    EXPECT_EQ(dialog.popup[32765], "Site 32760");
    EXPECT_EQ(dialog.popup.back(), "*Site 32769");
}

TEST_F(MappingDialogTest, ZoomShowsAndSelectsTheRowsFirstElement) {
    const host::SimElement& seat = std::as_const(host_->project()).state.elements[0];
    tarnwick::Plan& plan = tarnwick::HostProject::getProject()->getPlan();
    groups_[object("Seat")].push_back(
        tarnwick::ElementLink(tarnwick::Guid(host::toGuidRecord(seat.guid())), &plan));
    script(R"([{"do":"selectRows","item":9,"rows":[1]},{"do":"click","item":11},{"do":"click","item":2}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(dialog.open(), tarnwick::kDialogCancelled);
    EXPECT_EQ(host::scriptStopMessage(), "");
    const host::SimView& view = host_->project().viewOf({host::kDatabasePlan, {}});
    EXPECT_EQ(view.selection.elements, (std::vector<host::GuidBytes>{seat.guid()}));
    // The element at (2, 3) with half a metre around it.
    EXPECT_LT(view.zoom[0], 1.6);
    EXPECT_LT(view.zoom[1], 2.6);
    EXPECT_GT(view.zoom[2], 2.4);
    EXPECT_GT(view.zoom[3], 3.4);
}

TEST_F(MappingDialogTest, ZoomSelectsInThePlanAnElementFoundInASection) {
    // A section showing the seat, walked as the search walks it when the section is current.
    host::SimProject& sim = host_->project();
    const host::GuidBytes seat = sim.state.elements[0].guid();
    host::SimDatabase view;
    view.type = host::kDatabaseSection;
    view.guid = host::newGuidBytes();
    view.name = "Section A";
    sim.state.databases.push_back(view);
    host::SimElement shown;
    shown.databaseType = host::kDatabaseSection;
    shown.databaseGuid = view.guid;
    host::ElementHead head{};
    head.type = host::kElementSectionElement;
    head.guid = host::toGuidRecord(host::newGuidBytes());
    head.layer = 1;
    shown.setHead(head);
    shown.record[host::kSectionParentTypeOffset] = static_cast<unsigned char>(host::kElementObject);
    const host::GuidRecord parent = host::toGuidRecord(seat);
    std::memcpy(shown.record.data() + host::kSectionParentGuidOffset, &parent, sizeof parent);
    sim.state.elements.push_back(shown);
    tarnwick::Project* project = tarnwick::HostProject::getProject();
    project->clear();   // the views are listed again
    tarnwick::Drawing* section = project->getSection(tarnwick::Guid(host::toGuidRecord(view.guid)));
    ASSERT_NE(section, nullptr);
    {
        auto it = section->begin(false, tarnwick::Drawing::Filter(host::kElementObject, false, 1, false));
        ASSERT_FALSE(it.atEnd());
        groups_[object("Seat")].push_back(it->getLink());
    }
    script(R"([{"do":"selectRows","item":9,"rows":[1]},{"do":"click","item":11},{"do":"click","item":2}])");
    ProbeDialog dialog(table_, ObjectMapType::gsm, groups_, parts_);
    EXPECT_EQ(dialog.open(), tarnwick::kDialogCancelled);
    EXPECT_EQ(host::scriptStopMessage(), "");
    EXPECT_EQ(sim.viewOf({host::kDatabasePlan, {}}).selection.elements, std::vector<host::GuidBytes>{seat});
}

TEST_F(MappingDialogTest, AnEntryLeftByChoosingAnotherRowOrAcceptingIsLookedUpToo) {
    groups_[door("Gate")];
    groups_[object("Seat")];
    struct Case {
        const char* actions;
        std::vector<Row> rows;   // as the dialog shows them when it is accepted
    };
    const Case cases[] = {
        {R"([{"do":"selectRows","item":9,"rows":[2]},{"do":"setText","item":8,"text":"CHAI"},
             {"do":"selectRows","item":9,"rows":[1]},{"do":"click","item":1}])",
         {{"Gate", "", "orange"}, {"Seat", "Chair", "black"}}},
        {R"([{"do":"selectRows","item":9,"rows":[2]},{"do":"setText","item":8,"text":"CHAI"},
             {"do":"click","item":1}])",
         {{"Gate", "", "orange"}, {"Seat", "", "orange"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.actions);
        host::clearUserActions();
        script(c.actions);
        ObjectMap table(table_);
        ProbeDialog dialog(table, ObjectMapType::gsm, groups_, parts_);
        EXPECT_EQ(dialog.open(), tarnwick::kDialogAccepted);
        EXPECT_EQ(dialog.rows, c.rows);
        EXPECT_EQ(mappedName(table, "Default", ObjectMapType::gsm, object("Seat")), "Chair");
    }
}

// The run's question is where the user accepts the risk of the replacement: asked blank, its default
// would accept it unread. Not asked, nothing is replaced; the user, who has just accepted the mapping, is
// told so once, and the host sees the command fail.
TEST_F(MappingDialogTest, TheRunsQuestionIsNeverAskedBlank) {
    refuseString(32523, 2);
    tarnwick::Host::takeFailure();
    skellow::ObjectMapTransaction transaction(tarnwick::MenuEvent(32500, 3));   // "Skellow From DXF/DWG"
    EXPECT_FALSE(transaction.prepare());
    EXPECT_EQ(alerts(),
              std::vector<std::string>{"Skellowing: message 2 of string list 32523 cannot be read - "
                                       "nothing was skellowed"});
    EXPECT_NE(tarnwick::Host::takeFailure(), 0u);
}

// The mapping table file: what is written, what is read back, and that the user's table is never lost.
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Environment/Host.h"
#include "Foundation/Directory.h"
#include "Foundation/FileLock.h"
#include "Foundation/SafeFile.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapFile.h"
#include "Skellowing/ObjectMapWrite.h"
#include "Skellowing/TableTurn.h"
#include "SkellowingFixture.h"
#include "Support/AccessList.h"
#include "Support/FileClock.h"

namespace {

using skellow::ObjectMap;
using skellow::ObjectMapType;
using tarnwick::String;

// From now on the file operation `failed` on the file at `at` fails with error, until the watch ends.
void failOn(host::FileOperation failed, const std::filesystem::path& at, int error) {
    host::watchFileOperations(
        [failed, path = at.string(), error](host::FileOperation operation, const std::string& on) {
            return operation == failed && on == path ? error : 0;
        });
}

// The table saved with one more configuration (none when list is null) under the watch set before, which
// then ends: what its one alert said below the heading; "saved" or the number of alerts otherwise.
std::string toldOnSave(ObjectMap& table, const char* list) {
    host::clearRecordedAlerts();
    if (list) table.addList(String(list), ObjectMapType::dwg);
    const bool saved = skellow::saveObjectMap(table);
    host::watchFileOperations(nullptr);
    if (saved) return "saved";
    if (host::recordedAlerts().size() != 1) return std::to_string(host::recordedAlerts().size()) + " alerts";
    return host::recordedAlerts()[0].smallText;
}

constexpr const char* kDefaults =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
    "<objectMap>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"IFC\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"DWG\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"GSM\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"missing\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"legacy\"/>\n"
    "</objectMap>\n";

using ObjectMapFile = SkellowingFixture;

TEST_F(ObjectMapFile, MissingFileGivesTheDefaultTableWrittenAtOnce) {
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    EXPECT_EQ(readFile(tableFile()), kDefaults);
    EXPECT_EQ(table.size(), 5u);
    EXPECT_TRUE(host::recordedAlerts().empty());
}

TEST_F(ObjectMapFile, ReadsAndWritesBackATableUnchanged) {
    writeFile(tableFile(), kUserTable);
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    ASSERT_EQ(table.size(), 6u);
    const skellow::SpecificationList& list = table.at(0);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(1).getMappedType(), host::kLibraryDoor);
    EXPECT_EQ(list.at(1).getOriginalName(), "IfcDoor D1 & frame <x>");
    const auto& parameters = list.at(0).getCustomParameters();
    ASSERT_TRUE(parameters);
    ASSERT_EQ(parameters->size(), 2u);
    EXPECT_EQ(parameters->at(1)->getType(), tarnwick::ParameterType::finish);
    EXPECT_EQ(parameters->at(1)->getRowCount(), 2u);
    EXPECT_EQ(parameters->at(1)->getText(1, 0), "14");
    EXPECT_EQ(table.at(1).getName(), "Site \"B\"");

    std::filesystem::remove(tableFile());
    ASSERT_TRUE(skellow::saveObjectMap(table));
    EXPECT_EQ(readFile(tableFile()), kUserTable);
    EXPECT_FALSE(std::filesystem::exists(dataFolder() / "ObjectMap.xml.partial"));
}

// Whatever a read leaves out or changes stays in a copy of the file made before any save, and the user is
// told what; a clean table, in any encoding the reader converts faithfully, is read without a word.
TEST_F(ObjectMapFile, AReadThatLeavesAnythingOutKeepsTheFileAsItWasAndSaysWhat) {
    const std::string kept =
        "Some of the object mapping table could not be read and is left out of it. The file as it was is "
        "kept as \"ObjectMap backup.xml\" in the same folder.";
    struct Case {
        std::string text;
        std::vector<std::string> lines;   // what the user is told; none: no alert, no copy
    };
    const Case cases[] = {
        {"<objectMap><specificationList sourceName='Site' objectType='GSM'><objectSpecification>"
         "<originalName>Chair</originalName><customParameters>"
         "<parameter name='odd' type='length' "
         "columnCount='2'><value>1</value><value>2</value><value>3</value>"
         "</parameter>"
         "<parameter name='unknown' type='Unknown'><value>1</value></parameter>"
         "<parameter name='' type='length'><value>1</value></parameter>"
         "<parameter name='none' type='length'/>"
         "<parameter name='zero' type='pen' columnCount='x'><value>1</value></parameter>"
         "<parameter name='cells' type='pen' columnCount='2abc'><value>1</value><value>2</value></parameter>"
         "<parameter name='mat' type='buildingmaterial'><value>7</value></parameter>"
         "</customParameters></objectSpecification></specificationList></objectMap>",
         {"\"Chair\" in the configuration \"Site\": the parameter \"odd\" has 3 values, which do not fill "
          "rows "
          "of 2 columns.",
          "\"Chair\" in the configuration \"Site\": the parameter \"unknown\" has the type \"Unknown\", "
          "which "
          "the table does not know.",
          "\"Chair\" in the configuration \"Site\": the parameter \"\" has no name.",
          "\"Chair\" in the configuration \"Site\": the parameter \"none\" has no value.",
          "\"Chair\" in the configuration \"Site\": the parameter \"zero\" has a column count that is not a "
          "number of 1 or more."}},
        {"<objectMap><specificationList sourceName='Default' objectType='IFC'/>"
         "<specificationList sourceName='Default' objectType='GSM'/>"
         "<specificationList sourceName='Default' objectType='IFC'><objectSpecification>"
         "<originalName>Lost</originalName></objectSpecification></specificationList></objectMap>",
         {"The configuration \"Default\" (IFC) appears more than once: only the first is kept."}},
        {"<objectMap><specificationList sourceName='Office \xFF\xFE Chair' objectType='IFC'/></objectMap>",
         {"Some bytes of the file are not UTF-8 text and are read as other characters."}},
        {"<objectMap xmlns:x='urn:x'><specificationList sourceName='Showroom' sourceName='Other' "
         "objectType='IFC' colour='red'/>\n<xi:include href='more.xml'/><x:specificationList sourceName='N' "
         "objectType='GSM'/><specificationList sourceName='Site' objectType='GSM'><objectSpecification>"
         "<originalName lang='en'>Chair</originalName></objectSpecification></specificationList></objectMap>",
         {"Line 1: the attribute \"xmlns:x\" of <objectMap>, which the table does not know.",
          "Line 1: the attribute \"sourceName\" of <specificationList> is given again; only the first is "
          "read.",
          "Line 1: the attribute \"colour\" of <specificationList>, which the table does not know.",
          "Line 2: the element <xi:include> in <objectMap>, which the table does not know.",
          "Line 2: the element <x:specificationList> in <objectMap>, which the table does not know.",
          "Line 2: the attribute \"lang\" of <originalName>, which the table does not know."}},
        {"<objectMap><specificationList sourceName='Caf\xC3\xA9' objectType='IFC'/></objectMap>", {}},
        {"<?xml version='1.0' encoding='ISO-8859-1'?><objectMap><specificationList sourceName='Caf\xE9' "
         "objectType='IFC'/></objectMap>",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::filesystem::remove_all(dataFolder());
        writeFile(tableFile(), c.text);
        for (int time = 0; time < 2; ++time) {   // a second read names the same copy
            host::clearRecordedAlerts();
            ObjectMap table;
            ASSERT_TRUE(skellow::loadObjectMap(table));
            const auto alerts = host::recordedAlerts();
            if (c.lines.empty()) {
                EXPECT_TRUE(alerts.empty());
                continue;
            }
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts[0].largeText, kept);
            std::string lines;
            for (const std::string& line : c.lines) lines += (lines.empty() ? "" : "\n") + line;
            EXPECT_EQ(alerts[0].smallText, lines);
            EXPECT_EQ(readFile(tableFile()), c.text);
            EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), c.text);
            EXPECT_FALSE(std::filesystem::exists(dataFolder() / "ObjectMap backup 2.xml"));
            if (time == 1) {   // what could be read is used, and written back as read with a change
                table.addList(String("Changed"), ObjectMapType::dwg);
                ASSERT_TRUE(skellow::saveObjectMap(table));
                EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), c.text);
                if (&c == &cases[0]) {   // a building material keeps its own name, never "Unknown"
                    EXPECT_NE(
                        readFile(tableFile()).find("<parameter name=\"mat\" type=\"buildingmaterial\">"),
                        std::string::npos);
                }
            }
        }
    }
    // The parameters that could be read are kept; one configuration of each name and kind is left.
    ObjectMap table;
    writeFile(tableFile(), cases[0].text);
    ASSERT_TRUE(skellow::loadObjectMap(table));
    const auto& parameters = table.at(0).at(0).getCustomParameters();
    ASSERT_TRUE(parameters);
    ASSERT_EQ(parameters->size(), 2u);
    EXPECT_EQ(parameters->at(0)->getName(), "cells");
    EXPECT_EQ(parameters->at(1)->getType(), tarnwick::ParameterType::material);
    writeFile(tableFile(), cases[1].text);
    ASSERT_TRUE(skellow::loadObjectMap(table));
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table.at(0).size(), 0u);
    writeFile(tableFile(), cases[3].text);   // a repeated attribute: the first is read
    ObjectMap repeated;
    ASSERT_TRUE(skellow::loadObjectMap(repeated));
    EXPECT_EQ(repeated.at(0).getName(), "Showroom");

    // Told at length, the lines stop after fifty; the copy keeps all.
    std::string many = "<objectMap>";
    for (int i = 0; i < 60; ++i) many += "<x" + std::to_string(i) + "/>";
    many += "</objectMap>";
    std::filesystem::remove_all(dataFolder());
    writeFile(tableFile(), many);
    host::clearRecordedAlerts();
    ASSERT_TRUE(skellow::loadObjectMap(table));
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(
        alerts[0].smallText.ends_with("<x49> in <objectMap>, which the table does not know.\n"
                                      "...and 10 more, all kept in the copy."))
        << alerts[0].smallText;
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), many);

    // A copy that cannot be kept stops the command before any save could lose what was left out, and says
    // why.
    std::filesystem::remove_all(dataFolder());
    writeFile(tableFile(), many);
    host::watchFileOperations([](host::FileOperation operation, const std::string&) {
        return operation == host::FileOperation::write ? ENOSPC : 0;
    });
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::loadObjectMap(table));
    host::watchFileOperations(nullptr);
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(host::recordedAlerts()[0].kind, host::kAlertError);
    EXPECT_EQ(
        host::recordedAlerts()[0].largeText,
        "Some of the object mapping table could not be read, and the file as it was could not be kept in "
        "the folder \"" +
            dataFolder().string() +
            "\" - nothing was skellowed, so that no save can lose the rows that could not be read.\n"
            "The system said: No space left on device.");
    EXPECT_EQ(readFile(tableFile()), many);
    EXPECT_FALSE(std::filesystem::exists(dataFolder() / "ObjectMap backup.xml"));
}

TEST_F(ObjectMapFile, AddsTheMissingDefaultsAfterTheFilesOwnConfigurations) {
    writeFile(tableFile(),
              "<objectMap><specificationList sourceName='Site' objectType='IFC'/>"
              "<specificationList sourceName='Default' objectType='GSM'/></objectMap>");
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    std::vector<std::pair<std::string, ObjectMapType>> lists;
    for (std::size_t i = 0; i < table.size(); ++i)
        lists.emplace_back(std::string(table.at(i).getName().getView()), table.at(i).getKind());
    const std::vector<std::pair<std::string, ObjectMapType>> expected = {{"Site", ObjectMapType::ifc},
                                                                         {"Default", ObjectMapType::gsm},
                                                                         {"Default", ObjectMapType::dwg},
                                                                         {"Default", ObjectMapType::missing},
                                                                         {"Default", ObjectMapType::legacy}};
    EXPECT_EQ(lists, expected);
}

// Malformed, truncated and hostile files: the user is told why, and the file stays as it was unless the
// user asks for a new table, which then takes its place while the old one is kept beside it.
TEST_F(ObjectMapFile, AnUnreadableFileIsNamedWithItsReasonAndNeverLost) {
    struct Case {
        std::string text;
        std::string reason;
    };
    const Case cases[] = {
        {"<objectMap><specificationList sourceName='A' "
         "objectType='IFC'><objectSpecification><originalName>&bogus;"
         "</originalName></objectSpecification></specificationList></objectMap>",
         "\"ObjectMap.xml\", line 1, column 98: an entity is not one of &amp; &lt; &gt; &quot; &apos;."},
        {"<objectMap>\n<specificationList sourceName='A' objectType='ifc'/>\n</objectMap>",
         "\"ObjectMap.xml\", line 2, column 35: a value is not one the table allows"},
        {"<objectMap>\n<specificationList sourceName='A' objectType='IFC'>\n<objectSpecification "
         "mappedType='sofa'/>",
         "\"ObjectMap.xml\", line 3, column 22: a value is not one the table allows"},
        {"<objectMap>\n\n<specificationList objectType='IFC'/></objectMap>",
         "\"ObjectMap.xml\", line 3, column 2: a configuration has no name."},
        {std::string("<objectMap>\0</objectMap>", 24),
         "\"ObjectMap.xml\", line 1, column 12: it holds a NUL byte."},
        {"<objectMap>\n<specificationList sourceName='A' objectType='IFC'>",
         "the file ends inside an element."},
        {"<objectMap></objectMa>", "an end tag does not match its start tag."},
        {"<mappings/>", "its root element is not \"objectMap\"."},
        {"", "it holds no mapping table."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        for (const int answer : {2, 1}) {
            std::filesystem::remove_all(dataFolder());
            writeFile(tableFile(), c.text);
            host::clearRecordedAlerts();
            script("[{\"do\": \"answerAlert\", \"button\": " + std::to_string(answer) + "}]");
            ObjectMap table;
            table.addList("Mine", ObjectMapType::gsm);
            const bool loaded = skellow::loadObjectMap(table);
            const auto alerts = host::recordedAlerts();
            ASSERT_FALSE(alerts.empty());
            EXPECT_EQ(alerts[0].largeText,
                      "The file containing the object mapping table cannot be read - do you "
                      "wish to continue with a new mapping table?");
            EXPECT_NE(alerts[0].smallText.find(c.reason), std::string::npos) << alerts[0].smallText;
            // An empty file holds nothing worth keeping.
            EXPECT_EQ(alerts[0].smallText.find("kept as \"ObjectMap backup.xml\"") != std::string::npos,
                      !c.text.empty());
            if (answer == 2) {
                EXPECT_FALSE(loaded);
                EXPECT_EQ(readFile(tableFile()), c.text);
                ASSERT_EQ(table.size(), 1u);   // nothing half-read was taken
                ASSERT_EQ(alerts.size(), 2u);
                EXPECT_EQ(alerts[1].largeText,
                          "Please replace or reinstall the file containing the object mapping "
                          "table (in the Skellowing add-on folder)");
            } else {
                EXPECT_TRUE(loaded);
                EXPECT_EQ(std::filesystem::exists(dataFolder() / "ObjectMap backup.xml"), !c.text.empty());
                EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), c.text);
                EXPECT_EQ(readFile(tableFile()), kDefaults);
                EXPECT_EQ(table.size(), 5u);
            }
        }
    }
    // A file this user may not open (nor, then, read its attributes): the system's reason, and no word of
    // a copy or record that nothing names; nothing is written by default.
    std::filesystem::remove_all(dataFolder());
    writeFile(tableFile(), kUserTable);
    host::watchFileOperations([this](host::FileOperation operation, const std::string& path) {
        using host::FileOperation;
        const bool opening = operation == FileOperation::open || operation == FileOperation::attribute;
        return opening && path == tableFile().string() ? EACCES : 0;
    });
    host::clearRecordedAlerts();
    ObjectMap closed;
    EXPECT_FALSE(skellow::loadObjectMap(closed));   // the default answer: Cancel
    host::watchFileOperations(nullptr);
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_EQ(host::recordedAlerts()[0].largeText,
              "The file containing the object mapping table cannot be read - do you wish to continue with a "
              "new mapping table?");
    EXPECT_NE(host::recordedAlerts()[0].smallText.find("The system said: Permission denied."),
              std::string::npos);
    EXPECT_EQ(host::recordedAlerts()[0].smallText.find("record"), std::string::npos);
    EXPECT_EQ(readFile(tableFile()), kUserTable);

    // Where the host gives none of the texts, no alert is shown blank.
    std::filesystem::remove_all(dataFolder());
    writeFile(tableFile(), "unreadable");
    host::clearRecordedAlerts();
    host_->injectFault({host::HostSlot::getString, std::nullopt}, 0, host::kErrGeneral);
    ObjectMap unread;
    EXPECT_FALSE(skellow::loadObjectMap(unread));
    host_->clearFaults();
    ASSERT_FALSE(host::recordedAlerts().empty());
    for (const auto& alert : host::recordedAlerts()) EXPECT_FALSE(alert.largeText.empty());
    EXPECT_EQ(readFile(tableFile()), "unreadable");
    // Nor is the notice after a Cancel, when the host gives no more texts once the question is answered.
    host::clearRecordedAlerts();
    host::setAlertObserver([this](const host::AlertRecord&) {
        host_->injectFault({host::HostSlot::getString, std::nullopt}, 0, host::kErrGeneral);
    });
    script("[{\"do\": \"answerAlert\", \"button\": 2}]");
    EXPECT_FALSE(skellow::loadObjectMap(unread));
    host::setAlertObserver(nullptr);
    host_->clearFaults();
    ASSERT_EQ(host::recordedAlerts().size(), 2u);
    EXPECT_EQ(host::recordedAlerts()[1].largeText,
              "Skellowing: message 6 of string list 32522 cannot be read");
    EXPECT_EQ(readFile(tableFile()), "unreadable");

    // A new table that cannot take the file's place is told, and the command, which goes on with it, ends
    // as one that did not keep what it was to keep; the unreadable file stays kept aside.
    host::clearRecordedAlerts();
    tarnwick::Host::takeFailure();
    host::watchFileOperations([](host::FileOperation operation, const std::string&) {
        return operation == host::FileOperation::exchange ? EIO : 0;
    });
    ObjectMap anew;
    EXPECT_TRUE(skellow::loadObjectMap(anew));   // the default answer: a new table
    host::watchFileOperations(nullptr);
    EXPECT_EQ(tarnwick::Host::takeFailure(), host::kErrFile);
    ASSERT_EQ(host::recordedAlerts().size(), 2u);
    EXPECT_EQ(host::recordedAlerts()[1].largeText,
              "The file containing the object mapping table cannot be written");
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), "unreadable");
}

// Any entry at a backup name takes it, an earlier backup or a link that leads nowhere: the unreadable table
// is kept under the next name, which the question names, and the entry stays as it was.
TEST_F(ObjectMapFile, AnUnreadableFileIsKeptUnderTheFirstBackupNameNoEntryHas) {
    const std::filesystem::path first = dataFolder() / "ObjectMap backup.xml";
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "a link at the backup name" : "an earlier backup");
        std::filesystem::remove(first);
        std::filesystem::remove(dataFolder() / "ObjectMap backup 2.xml");
        if (link)
            std::filesystem::create_symlink(home_ / "nowhere.xml", first);
        else
            writeFile(first, "first");
        writeFile(tableFile(), "unreadable");
        host::clearRecordedAlerts();
        ObjectMap table;
        ASSERT_TRUE(skellow::loadObjectMap(table));   // the default answer: a new table
        ASSERT_FALSE(host::recordedAlerts().empty());
        EXPECT_NE(host::recordedAlerts()[0].smallText.find("kept as \"ObjectMap backup 2.xml\""),
                  std::string::npos);
        EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup 2.xml"), "unreadable");
        EXPECT_EQ(readFile(tableFile()), kDefaults);
        if (link)
            EXPECT_FALSE(std::filesystem::exists(home_ / "nowhere.xml"));
        else
            EXPECT_EQ(readFile(first), "first");
    }
}

// The new file is the save's own, made beside the table: a link planted where it goes is never written
// through. A save that fails leaves the old file and nothing else, and says why.
TEST_F(ObjectMapFile, ASaveWritesOnlyAFileOfItsOwnAndAFailedOneSaysWhy) {
    writeFile(tableFile(), kUserTable);
    writeFile(home_ / "victim.txt", "mine");
    std::filesystem::create_symlink(home_ / "victim.txt", dataFolder() / "ObjectMap.xml.partial");
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    ASSERT_TRUE(skellow::saveObjectMap(table));
    EXPECT_EQ(readFile(tableFile()), kUserTable);
    EXPECT_EQ(readFile(home_ / "victim.txt"), "mine");
    std::filesystem::remove(dataFolder() / "ObjectMap.xml.partial");

    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::string why;
        std::string heading;   // the permissions are named only where they may be the cause
    };
    const std::string cannotWrite = "The file containing the object mapping table cannot be written";
    const Case cases[] = {
        {"a text the file cannot hold", [&] { table.at(0).at(0).setTypedName(String("Chair\x01")); },
         "The table holds a text that the file cannot hold, such as a control character.", cannotWrite},
        {"a read-only table",
         [&] {
             table.at(0).at(0).setTypedName(String("Chair 2"));
             std::filesystem::permissions(tableFile(), std::filesystem::perms::owner_read);
         },
         "\"ObjectMap.xml\" is read-only.",
         cannotWrite + " - please check the permissions of the Skellowing add-on folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host::clearRecordedAlerts();
        c.spoil();
        EXPECT_FALSE(skellow::saveObjectMap(table));
        EXPECT_EQ(readFile(tableFile()), kUserTable);
        std::vector<std::string> entries;
        for (const auto& entry : std::filesystem::directory_iterator(dataFolder()))
            entries.push_back(entry.path().filename().string());
        EXPECT_EQ(entries, (std::vector<std::string>{"ObjectMap.xml"}));
        const auto alerts = host::recordedAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].largeText, c.heading);
        EXPECT_EQ(
            alerts[0].smallText,
            c.why + "\nThe changes made now are used for this run, but they are not kept for the next one.");
    }
    // Read-only, it is still read.
    host::clearRecordedAlerts();
    ObjectMap again;
    ASSERT_TRUE(skellow::loadObjectMap(again));
    EXPECT_TRUE(host::recordedAlerts().empty());
    EXPECT_EQ(again.at(0).size(), 2u);
}

TEST_F(ObjectMapFile, ADataFolderThatCannotBeMadeOrWrittenStopsTheCommandNamingIt) {
    const std::string said = "The Skellowing add-on folder \"" + dataFolder().string() +
                             "\" cannot be found, made or written to - nothing was skellowed.";
    writeFile(dataFolder(), "not a folder");
    ObjectMap table;
    EXPECT_FALSE(skellow::loadObjectMap(table));
    auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].kind, host::kAlertError);
    EXPECT_EQ(alerts[0].largeText, said + "\nThe system said: Not a directory.");

    // The load with one kind of file operation refused with EIO: what it said.
    const auto refusing = [&](host::FileOperation refused) {
        host::watchFileOperations([refused](host::FileOperation operation, const std::string&) {
            return operation == refused ? EIO : 0;
        });
        host::clearRecordedAlerts();
        EXPECT_FALSE(skellow::loadObjectMap(table));
        host::watchFileOperations(nullptr);
        return host::recordedAlerts();
    };
    // One the system could not make gives the reason it could not, not that it is not there.
    std::filesystem::remove(dataFolder());
    alerts = refusing(host::FileOperation::makeFolder);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].largeText, said + "\nThe system said: Input/output error.");

    // A folder that takes no new file stops it too, touching nothing there, with the system's reason.
    std::filesystem::create_directories(dataFolder());
    writeFile(dataFolder() / "ObjectMap.xml", kUserTable);
    alerts = refusing(host::FileOperation::openUnnamed);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].largeText, said + "\nThe system said: Input/output error.");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dataFolder()), {}), 1);

    // Whole tables that runs which ended left under every passing name do not make it one.
    for (int n = 1; n <= 100; ++n)
        writeFile(dataFolder() / ("ObjectMap.xml.partial" + (n > 1 ? " " + std::to_string(n) : "")),
                  kDefaults);
    host::clearRecordedAlerts();
    EXPECT_TRUE(skellow::loadObjectMap(table));
    EXPECT_TRUE(host::recordedAlerts().empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dataFolder()), {}), 101);
}

// A table that is a link stays one: the file it names takes each save, made beside that file, and keeps
// its permissions, as a plain table does. A link that leads to no file yet is saved where it points.
TEST_F(ObjectMapFile, ATableThatIsALinkIsSavedInTheFileItNamesKeepingItsPermissions) {
    namespace fs = std::filesystem;
    const fs::path shared = home_ / "shared";
    const fs::perms ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    writeFile(shared / "ObjectMap.xml", kUserTable);
    fs::permissions(shared / "ObjectMap.xml", ownerOnly);
    fs::create_directories(dataFolder());
    fs::create_symlink("../../shared/ObjectMap.xml", tableFile());
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    ASSERT_EQ(table.size(), 6u);
    table.addList(String("Mine"), ObjectMapType::dwg);
    ASSERT_TRUE(skellow::saveObjectMap(table));
    EXPECT_TRUE(fs::is_symlink(tableFile()));
    EXPECT_NE(readFile(shared / "ObjectMap.xml").find("sourceName=\"Mine\""), std::string::npos);
    EXPECT_EQ(fs::status(shared / "ObjectMap.xml").permissions(), ownerOnly);
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), {}), 1);

    const std::string whole = readFile(shared / "ObjectMap.xml");

    // Any other whole table found beside a cut file, in the backup series or in a passing file a run that
    // ended left, may be older than the file's last save, or someone's only rows: it is offered with both
    // times, and by default nothing is written. A live run's passing file is not offered at all.
    for (const char* name : {"ObjectMap backup.xml", "ObjectMap.xml.partial", "ObjectMap.xml.partial 77-2"}) {
        SCOPED_TRACE(name);
        writeFile(shared / name, whole);
        writeFile(shared / "ObjectMap.xml", whole.substr(0, 40));
        host::clearRecordedAlerts();
        ObjectMap older;
        EXPECT_FALSE(skellow::loadObjectMap(older));   // the default answer: Cancel
        ASSERT_FALSE(host::recordedAlerts().empty());
        EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(
            "The file containing the object mapping table cannot be read. \"" + (shared / name).string() +
            "\" holds a whole table, last changed "));
        EXPECT_EQ(readFile(shared / name), whole);
        EXPECT_EQ(readFile(shared / "ObjectMap.xml"), whole.substr(0, 40));
        EXPECT_FALSE(fs::exists(dataFolder() / "ObjectMap backup.xml"));
        fs::remove(shared / name);
    }
    writeFile(shared / "ObjectMap.xml.partial", whole);
    {
        const int live = ::open((shared / "ObjectMap.xml.partial").c_str(), O_RDONLY);
        ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
        host::clearRecordedAlerts();
        ObjectMap unoffered;
        EXPECT_TRUE(skellow::loadObjectMap(unoffered));   // a lone file with nothing beside: a new table
        ::close(live);
        ASSERT_FALSE(host::recordedAlerts().empty());
        EXPECT_EQ(
            host::recordedAlerts()[0].largeText,
            "The file containing the object mapping table cannot be read - do you wish to continue with a "
            "new mapping table?");
        EXPECT_EQ(readFile(shared / "ObjectMap.xml.partial"), whole);
        fs::remove(shared / "ObjectMap.xml.partial");
        fs::remove(dataFolder() / "ObjectMap backup.xml");
        writeFile(shared / "ObjectMap.xml", whole);
    }

    fs::remove(tableFile());
    writeFile(tableFile(), kUserTable);
    const fs::perms groupReads = ownerOnly | fs::perms::group_read;
    fs::permissions(tableFile(), groupReads);
    ObjectMap plain;
    ASSERT_TRUE(skellow::loadObjectMap(plain));
    plain.addList(String("Mine"), ObjectMapType::dwg);
    ASSERT_TRUE(skellow::saveObjectMap(plain));
    EXPECT_NE(readFile(tableFile()).find("sourceName=\"Mine\""), std::string::npos);
    EXPECT_EQ(fs::status(tableFile()).permissions(), groupReads);

    fs::remove(tableFile());
    fs::create_symlink(shared / "New.xml", tableFile());
    ObjectMap fresh;
    ASSERT_TRUE(skellow::loadObjectMap(fresh));
    EXPECT_TRUE(fs::is_symlink(tableFile()));
    EXPECT_EQ(readFile(shared / "New.xml"), kDefaults);

    // Unreadable, it is copied aside, and the new table goes where the link leads.
    writeFile(shared / "New.xml", "unreadable");
    ObjectMap anew;
    ASSERT_TRUE(skellow::loadObjectMap(anew));   // the default answer: a new table
    EXPECT_TRUE(fs::is_symlink(tableFile()));
    EXPECT_EQ(readFile(shared / "New.xml"), kDefaults);
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), "unreadable");

    // A link in a circle names no file: the save says so and changes nothing.
    fs::remove(tableFile());
    fs::create_symlink("ObjectMap.xml", tableFile());
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::saveObjectMap(fresh));
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].smallText,
              "\"ObjectMap.xml\" is a link that leads to no file the table can be saved in.\n"
              "The changes made now are used for this run, but they are not kept for the next one.");
    EXPECT_TRUE(fs::is_symlink(tableFile()));
}

// With every backup name taken, nothing is asked and nothing touched: the command stops with an error
// that says why, whether the file could not be read or only in part.
TEST_F(ObjectMapFile, WithEveryBackupNameTakenTheCommandStopsSayingSo) {
    for (int n = 1; n <= 100; ++n)
        writeFile(dataFolder() / ("ObjectMap backup" + (n > 1 ? " " + std::to_string(n) : "") + ".xml"),
                  "other");
    for (const std::string text : {"unreadable", "<objectMap><unknown/></objectMap>"}) {
        SCOPED_TRACE(text);
        writeFile(tableFile(), text);
        host::clearRecordedAlerts();
        ObjectMap table;
        EXPECT_FALSE(skellow::loadObjectMap(table));
        const auto alerts = host::recordedAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].kind, host::kAlertError);
        EXPECT_EQ(alerts[0].largeText,
                  "All the names a backup of \"ObjectMap.xml\" could take, \"ObjectMap backup.xml\" to "
                  "\"ObjectMap backup 100.xml\", are taken in the folder \"" +
                      dataFolder().string() +
                      "\" - please remove or move some of them. Nothing was skellowed.");
        EXPECT_EQ(readFile(tableFile()), text);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dataFolder()), {}), 101);
    }
}

// Two runs that read the table before either saved: each save keeps what the other saved. Where both
// changed one mapping, or one deleted a configuration the other mapped in, the file keeps the first
// save and the second run's table is kept beside it, and the user is told which mappings.
TEST_F(ObjectMapFile, TwoRunsOnOneTableLoseNoChange) {
    const auto name = [](const ObjectMap& table, const char* list, ObjectMapType kind, std::size_t at) {
        const skellow::SpecificationList* found = table.findList(String(list), kind);
        return found && at < found->size() ? std::string(found->at(at).getMappedName().getView()) : "";
    };
    writeFile(tableFile(), kUserTable);
    ObjectMap first, second;
    ASSERT_TRUE(skellow::loadObjectMap(first));
    ASSERT_TRUE(skellow::loadObjectMap(second));
    first.addList(String("A1"), ObjectMapType::ifc);
    first.at(0).at(0).setTypedName(String("Chair 23"));
    second.addList(String("B1"), ObjectMapType::gsm);
    second.at(0).at(1).setTypedName(String("Door 23"));
    ASSERT_TRUE(second.removeList(String("Site \"B\""), ObjectMapType::ifc));
    ASSERT_TRUE(skellow::saveObjectMap(first));
    ASSERT_TRUE(skellow::saveObjectMap(second));
    first.addList(String("A2"), ObjectMapType::ifc);   // a later save of the first run keeps them too
    ASSERT_TRUE(skellow::saveObjectMap(first));
    EXPECT_TRUE(host::recordedAlerts().empty());
    ObjectMap both;
    ASSERT_TRUE(skellow::loadObjectMap(both));
    EXPECT_TRUE(both.findList(String("A1"), ObjectMapType::ifc));
    EXPECT_TRUE(both.findList(String("B1"), ObjectMapType::gsm));
    EXPECT_FALSE(both.findList(String("Site \"B\""), ObjectMapType::ifc));
    EXPECT_EQ(name(both, "Default", ObjectMapType::ifc, 0), "Chair 23");
    EXPECT_EQ(name(both, "Default", ObjectMapType::ifc, 1), "Door 23");
    EXPECT_TRUE(both.findList(String("A2"), ObjectMapType::ifc));
    ASSERT_TRUE(both.at(0).at(0).getCustomParameters());
    EXPECT_EQ(both.at(0).at(0).getCustomParameters()->size(), 2u);

    struct Case {
        const char* what;
        std::function<void(ObjectMap&)> earlier, later;
        std::string line;
    };
    const Case cases[] = {
        {"one mapping changed by both", [](ObjectMap& t) { t.at(0).at(0).setTypedName(String("Chair 24")); },
         [](ObjectMap& t) { t.at(0).at(0).setTypedName(String("Chair 25")); },
         "\"Office Chair\" in the configuration \"Default\" (IFC)."},
        {"a configuration deleted, a mapping changed in it",
         [](ObjectMap& t) { t.removeList(String("A1"), ObjectMapType::ifc); },
         [](ObjectMap& t) {
             t.findList(String("A1"), ObjectMapType::ifc)
                 ->add(std::make_unique<skellow::ObjectSpecification>(skellow::SourceKey{4, String("Lamp")},
                                                                      false));
         },
         "\"Lamp\" in the configuration \"A1\" (IFC)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dataFolder());
        ObjectMap common;   // the table both runs read
        writeFile(tableFile(), kUserTable);
        ASSERT_TRUE(skellow::loadObjectMap(common));
        common.addList(String("A1"), ObjectMapType::ifc);
        ASSERT_TRUE(skellow::saveObjectMap(common));
        ObjectMap earlier, later;
        ASSERT_TRUE(skellow::loadObjectMap(earlier));
        ASSERT_TRUE(skellow::loadObjectMap(later));
        c.earlier(earlier);
        c.later(later);
        later.addList(String("C1"), ObjectMapType::dwg);
        ASSERT_TRUE(skellow::saveObjectMap(earlier));
        const std::string saved = readFile(tableFile());
        host::clearRecordedAlerts();
        EXPECT_FALSE(skellow::saveObjectMap(later));
        EXPECT_EQ(readFile(tableFile()), saved);
        const std::string beside = readFile(dataFolder() / "ObjectMap conflict.xml");
        EXPECT_NE(beside.find("sourceName=\"C1\""), std::string::npos);
        const auto alerts = host::recordedAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].largeText,
                  "Another run changed the object mapping table since this one read it, and both changed the "
                  "same mappings. \"ObjectMap.xml\" keeps the other run's table; this run's table is kept as "
                  "\"ObjectMap conflict.xml\" in the same folder.");
        EXPECT_EQ(alerts[0].smallText, c.line);
    }

    // Two runs asked about one unreadable file: the second reads the new table the first saved meanwhile,
    // instead of setting that aside too.
    std::filesystem::remove_all(dataFolder());
    writeFile(tableFile(), "unreadable");
    host::setAlertObserver([this](const host::AlertRecord&) {
        if (readFile(tableFile()) != "unreadable") return;
        std::filesystem::rename(tableFile(), dataFolder() / "ObjectMap backup.xml");
        writeFile(tableFile(), kUserTable);
    });
    ObjectMap asked;
    const bool loaded = skellow::loadObjectMap(asked);
    host::setAlertObserver(nullptr);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(asked.size(), 6u);
    EXPECT_EQ(readFile(tableFile()), kUserTable);
    EXPECT_FALSE(std::filesystem::exists(dataFolder() / "ObjectMap backup 2.xml"));

    // What another run left that cannot be read is not replaced either.
    ObjectMap last;
    ASSERT_TRUE(skellow::loadObjectMap(last));
    last.addList(String("Last"), ObjectMapType::ifc);
    writeFile(tableFile(), "<objectMap>");
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::saveObjectMap(last));
    EXPECT_EQ(readFile(tableFile()), "<objectMap>");
    EXPECT_NE(readFile(dataFolder() / "ObjectMap conflict.xml").find("<objectMap>"), std::string::npos);
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_NE(host::recordedAlerts()[0].smallText.find("the file ends inside an element."),
              std::string::npos);
}

// A table shared under a second name (a hard link), by an access list, or owned by another user, stays
// that one file after a save: each name sees the new table, and the owner, group and attributes stay. A write
// into it that fails puts back what it held and leaves nothing beside it.
TEST_F(ObjectMapFile, ASavedTableStaysTheFileThatOthersShare) {
    namespace fs = std::filesystem;
    const fs::path other = home_ / "other" / "ObjectMap.xml";
    writeFile(tableFile(), kUserTable);
    fs::create_directories(other.parent_path());
    fs::create_hard_link(tableFile(), other);
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    table.addList(String("Mine"), ObjectMapType::dwg);
    ASSERT_TRUE(skellow::saveObjectMap(table));
    EXPECT_TRUE(host::recordedAlerts().empty());
    EXPECT_NE(readFile(other).find("sourceName=\"Mine\""), std::string::npos);
    EXPECT_TRUE(fs::equivalent(tableFile(), other));
    EXPECT_EQ(fs::hard_link_count(other), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);

    const std::string saved = readFile(other);
    table.at(0).at(0).setTypedName(String("Chair\x01"));
    EXPECT_FALSE(skellow::saveObjectMap(table));
    EXPECT_EQ(readFile(other), saved);
    EXPECT_TRUE(fs::equivalent(tableFile(), other));
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(host::recordedAlerts()[0].smallText,
              "The table holds a text that the file cannot hold, such as a control character.\n"
              "The changes made now are used for this run, but they are not kept for the next one.");

    // A run that saves it under the other name has its turn first.
    skellow::setTableLockPatience(std::chrono::milliseconds(0));
    {
        const auto otherRun = tarnwick::FileLock::acquireFile(other, std::chrono::milliseconds(0));
        ASSERT_TRUE(otherRun);
        host::clearRecordedAlerts();
        table.at(0).at(0).setTypedName(String("Chair 23"));
        EXPECT_FALSE(skellow::saveObjectMap(table));
        ASSERT_EQ(host::recordedAlerts().size(), 1u);
        EXPECT_NE(host::recordedAlerts()[0].smallText.find(
                      "Another run is still saving \"ObjectMap.xml\" - this run waited for it in vain."),
                  std::string::npos);
        EXPECT_EQ(readFile(other), saved);
    }
    skellow::setTableLockPatience(std::chrono::seconds(30));
    EXPECT_TRUE(skellow::saveObjectMap(table));
    EXPECT_NE(readFile(other).find("Chair 23"), std::string::npos);

    // A look at it that fails says nothing of it, not even that it is there: the load stops and the save
    // writes nothing, each with the system's reason, and the names stay one file.
    const std::string chair = readFile(other);
    table.at(0).at(0).setTypedName(String("Chair 24"));
    failOn(host::FileOperation::look, tableFile(), EIO);
    host::clearRecordedAlerts();
    ObjectMap unseen;
    EXPECT_FALSE(skellow::loadObjectMap(unseen));
    EXPECT_FALSE(skellow::saveObjectMap(table));
    host::watchFileOperations(nullptr);
    const std::string what = "The system could not tell what \"" + tableFile().string() + "\" is, so the ";
    const std::string said = "\nThe system said: Input/output error.";
    ASSERT_EQ(host::recordedAlerts().size(), 2u);
    EXPECT_EQ(host::recordedAlerts()[0].kind, host::kAlertError);
    EXPECT_EQ(host::recordedAlerts()[0].largeText,
              what +
                  "object mapping table is neither read from it nor saved over it. Nothing was skellowed." +
                  said);
    EXPECT_EQ(host::recordedAlerts()[1].smallText,
              what + "table is not saved over it." + said +
                  "\nThe changes made now are used for this run, but they are not kept for the next one.");
    EXPECT_EQ(readFile(other), chair);
    EXPECT_TRUE(fs::equivalent(tableFile(), other));
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);

    // An access list (user:nobody:rw, group::r, mask::rw) and an attribute of the user's.
    fs::remove(other);
    if (::setxattr(tableFile().c_str(), "user.note", "shared", 6, 0) != 0 || !testaccess::give(tableFile()))
        GTEST_SKIP() << "this file system keeps no extended attributes or access lists";
    struct stat before {};
    ASSERT_EQ(::stat(tableFile().c_str(), &before), 0);
    table.addList(String("Listed"), ObjectMapType::gsm);
    ASSERT_TRUE(skellow::saveObjectMap(table));
    struct stat now {};
    ASSERT_EQ(::stat(tableFile().c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, before.st_ino);
    EXPECT_EQ(now.st_mode, before.st_mode);
    EXPECT_NE(readFile(tableFile()).find("sourceName=\"Listed\""), std::string::npos);
    char note[16] = {};
    EXPECT_EQ(::getxattr(tableFile().c_str(), "user.note", note, sizeof note), 6);
    EXPECT_EQ(std::string(note), "shared");
    EXPECT_TRUE(testaccess::has(tableFile()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);

    // Another user's table, which this user may write: the administrator gives the new file to its owner,
    // and a user who cannot writes into the file itself.
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs the administrator";
    const uid_t nobody = 65534, someone = 1234;
    fs::remove(other);
    ::removexattr(tableFile().c_str(), "user.note");
    ::removexattr(tableFile().c_str(), "system.posix_acl_access");
    ASSERT_EQ(::chown(tableFile().c_str(), nobody, nobody), 0);
    ObjectMap theirs;
    ASSERT_TRUE(skellow::loadObjectMap(theirs));
    theirs.addList(String("Theirs"), ObjectMapType::gsm);
    ASSERT_TRUE(skellow::saveObjectMap(theirs));
    struct stat info {};
    ASSERT_EQ(::stat(tableFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, nobody);
    EXPECT_EQ(info.st_gid, nobody);
    EXPECT_NE(readFile(tableFile()).find("sourceName=\"Theirs\""), std::string::npos);

    ASSERT_EQ(::chown(tableFile().c_str(), someone, someone), 0);
    ASSERT_EQ(::chmod(tableFile().c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dataFolder().c_str(), 01777), 0);   // where anyone may make the lock and the copy
    ASSERT_EQ(::stat(tableFile().c_str(), &before), 0);
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {   // the user nobody, who can neither give a file away nor take it
        ObjectMap mine;
        const bool saved = ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0 &&
                           skellow::loadObjectMap(mine) &&
                           (mine.addList(String("Nobody's"), ObjectMapType::gsm), true) &&
                           skellow::saveObjectMap(mine);
        ::_exit(saved ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(saver, &status, 0), saver);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(::stat(tableFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_ino, before.st_ino);
    EXPECT_EQ(info.st_uid, someone);
    EXPECT_EQ(info.st_gid, someone);
    EXPECT_NE(readFile(tableFile()).find("sourceName=\"Nobody&apos;s\""), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);
}

// A save that stops half-way loses nothing, through any of the table's names. What the table held is on
// the disk before the file is emptied, and a new file before it takes the table's name, its folder after.
// Where a write into the table fails and so does putting it back, or the run is stopped, the copy stays,
// recorded on the file: a run through any home that shares it offers the copy by default.
TEST_F(ObjectMapFile, ASaveStoppedHalfWayLosesNothingThroughAnyName) {
    namespace fs = std::filesystem;
    writeFile(tableFile(), kUserTable);
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    std::string held = kUserTable;
    std::vector<std::string> flushed;   // what was flushed, and whether the table then held the old text
    host::watchFlushes([&](const std::string& path) {
        if (fs::path(path).filename().string().starts_with("ObjectMap.xml.lock")) return;   // the turn's
        flushed.push_back(fs::path(path).filename().string() +
                          (readFile(tableFile()) == held ? " (old)" : " (new)"));
    });
    table.addList(String("Renamed"), ObjectMapType::dwg);
    ASSERT_TRUE(skellow::saveObjectMap(table));
    EXPECT_EQ(flushed, (std::vector<std::string>{"ObjectMap.xml.partial (old)", "Skellowing (new)"}));

    // Written into the file itself, which a second home shares.
    const fs::path home2 = home_ / "second";
    const fs::path other = home2 / "Application Data" / "Skellowing" / "ObjectMap.xml";
    const fs::path copy = dataFolder() / "ObjectMap backup.xml";
    fs::create_directories(other.parent_path());
    fs::create_hard_link(tableFile(), other);
    held = readFile(tableFile());
    flushed.clear();
    table.addList(String("Linked"), ObjectMapType::dwg);
    ASSERT_TRUE(skellow::saveObjectMap(table));
    host::watchFlushes(nullptr);
    // Recorded on the file, flushed with it, or in a note beside the name, flushed before it takes that name.
    const bool records = tarnwick::SafeFile::recordsCopies(tableFile());
    const std::vector<std::string> recordFlushed = {"ObjectMap.xml.partial (old)", "Skellowing (old)",
                                                    "ObjectMap.xml (old)", "ObjectMap.xml (new)"};
    const std::vector<std::string> noteFlushed = {"ObjectMap.xml.partial (old)",
                                                  "ObjectMap.xml.copy.partial (old)", "Skellowing (old)",
                                                  "ObjectMap.xml (new)"};
    EXPECT_EQ(flushed, records ? recordFlushed : noteFlushed);
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);

    // Where records are kept on files:
    if (records) {
        // The disk is full: the write fails, and so does putting the table back.
        held = readFile(tableFile());
        failOn(host::FileOperation::write, tableFile(), ENOSPC);
        table.addList(String("Cut"), ObjectMapType::dwg);
        EXPECT_FALSE(skellow::saveObjectMap(table));
        host::watchFileOperations(nullptr);
        ASSERT_EQ(host::recordedAlerts().size(), 1u);
        EXPECT_EQ(host::recordedAlerts()[0].largeText,
                  "The file containing the object mapping table cannot be written");
        EXPECT_EQ(
            host::recordedAlerts()[0].smallText,
            "\"ObjectMap.xml\" could not be written to its end - the disk may be full.\n"
            "The table could not be written into \"ObjectMap.xml\", nor what it held put back: that is kept "
            "as \"" +
                copy.string() +
                "\".\nThe system said: No space left on device.\n"
                "The changes made now are used for this run, but they are not kept for the next one.");
        EXPECT_EQ(readFile(copy), held);
        ASSERT_EQ(readFile(other), "");

        // Through the home that saved, Cancel leaves both as they are.
        host::clearRecordedAlerts();
        script(R"([{"do": "answerAlert", "button": 3}])");
        ObjectMap declined;
        EXPECT_FALSE(skellow::loadObjectMap(declined));
        ASSERT_FALSE(host::recordedAlerts().empty());
        EXPECT_EQ(host::recordedAlerts()[0].largeText,
                  "The file containing the object mapping table cannot be read, but the copy \"ObjectMap "
                  "backup.xml\" beside it holds a whole table - do you wish to put the copy back?");
        EXPECT_EQ(readFile(copy), held);

        // Through the other home the copy is offered by default; a put-back that fails in turn (the disk is
        // still full) leaves it the copy recorded, and the next run puts it back into the file both share.
        host::setHomeDirectory(home2.string());
        failOn(host::FileOperation::write, other, ENOSPC);
        ObjectMap failed;
        EXPECT_TRUE(skellow::loadObjectMap(failed));
        host::watchFileOperations(nullptr);
        ASSERT_EQ(readFile(other), "");
        host::clearRecordedAlerts();
        ObjectMap second;
        ASSERT_TRUE(skellow::loadObjectMap(second));
        ASSERT_FALSE(host::recordedAlerts().empty());
        EXPECT_EQ(
            host::recordedAlerts()[0].largeText,
            "The file containing the object mapping table cannot be read: a save into it stopped half-way, "
            "and what it held before is kept whole as \"" +
                copy.string() + "\" - do you wish to put that back?");
        // The cut file, empty, holds nothing worth keeping.
        EXPECT_EQ(host::recordedAlerts()[0].smallText.find("the unreadable file is kept"), std::string::npos);
        EXPECT_EQ(std::distance(fs::directory_iterator(other.parent_path()), {}), 1);
        EXPECT_NE(second.findList(String("Linked"), ObjectMapType::dwg), nullptr);
        EXPECT_EQ(second.findList(String("Cut"), ObjectMapType::dwg), nullptr);
        EXPECT_EQ(readFile(tableFile()), held);
        EXPECT_TRUE(fs::equivalent(tableFile(), other));
        EXPECT_FALSE(fs::exists(copy));
    }

    // On a file system that keeps no record, a run through another name cannot know where a stopped save
    // kept its copy: it never writes a new table over the file by default.
    host::setHomeDirectory(home_.string());
    ObjectMap unrecorded;
    ASSERT_TRUE(skellow::loadObjectMap(unrecorded));
    held = readFile(tableFile());
    const auto noRecords = [](host::FileOperation operation, const std::string&) {
        return operation == host::FileOperation::attribute ? ENOTSUP : 0;
    };
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (const int fault = noRecords(operation, path)) return fault;
        return operation == host::FileOperation::write && path == tableFile().string() ? ENOSPC : 0;
    });
    unrecorded.addList(String("Unrecorded"), ObjectMapType::dwg);
    EXPECT_FALSE(skellow::saveObjectMap(unrecorded));
    ASSERT_EQ(readFile(other), "");
    host::setHomeDirectory(home2.string());
    host::clearRecordedAlerts();
    host::watchFileOperations(noRecords);
    ObjectMap unsure;
    EXPECT_FALSE(skellow::loadObjectMap(unsure));   // the default answer: Cancel
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(
        "The file containing the object mapping table cannot be read. It has other names (hard links)"));
    EXPECT_EQ(readFile(other), "");
    EXPECT_EQ(readFile(copy), held);
    // Nor when the system cannot tell whether the file system keeps records: that is no answer.
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        return operation == host::FileOperation::attribute ? (path == other.string() ? EIO : ENOTSUP) : 0;
    });
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::loadObjectMap(unsure));
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_NE(host::recordedAlerts()[0].smallText.find("The file has other names (hard links)"),
              std::string::npos);
    EXPECT_EQ(readFile(other), "");

    // Nor when a whole table lies beside that name, which may be older than the one the save cut.
    const fs::path older = other.parent_path() / "ObjectMap backup.xml";
    writeFile(older, kDefaults);
    host::watchFileOperations(noRecords);
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::loadObjectMap(unsure));
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(
        "The file containing the object mapping table cannot be read. \"ObjectMap backup.xml\" holds a whole "
        "table"));
    EXPECT_NE(host::recordedAlerts()[0].smallText.find("The file has other names (hard links)"),
              std::string::npos);
    EXPECT_EQ(readFile(other), "");
    fs::remove(older);

    // Through the name that saved, a note cannot tell whose the cut is either: one of the release before
    // has no time, and the time its save left is the time another save's emptying in the same tick of the
    // system's clock would leave. The copy is offered with its time and the other names, never by default.
    host::setHomeDirectory(home_.string());
    const fs::path noteFile = dataFolder() / "ObjectMap.xml.copy";
    const std::string laid = readFile(noteFile);
    const std::size_t at = laid.find(' ') + 1;
    const std::string unlaid =
        laid.substr(0, at) + std::string(laid.find(' ', at) - at, '-') + laid.substr(laid.find(' ', at));
    for (const std::string& note : {unlaid, laid}) {
        SCOPED_TRACE(note);
        writeFile(noteFile, note);
        host::clearRecordedAlerts();
        ObjectMap undecided;
        EXPECT_FALSE(skellow::loadObjectMap(undecided));   // the default answer: Cancel
        ASSERT_FALSE(host::recordedAlerts().empty());
        EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(
            "The file containing the object mapping table cannot be read. \"ObjectMap backup.xml\" holds a "
            "whole table, last changed "));
        EXPECT_NE(host::recordedAlerts()[0].smallText.find("The file has other names (hard links)"),
                  std::string::npos);
        EXPECT_EQ(readFile(other), "");
    }

    // Put back by choice, the copy goes into the file both names share, and the note and the copy go.
    script(R"([{"do": "answerAlert", "button": 2}])");   // Put Back
    ObjectMap noted;
    EXPECT_TRUE(skellow::loadObjectMap(noted));
    host::watchFileOperations(nullptr);
    EXPECT_EQ(readFile(other), held);
    EXPECT_TRUE(fs::equivalent(tableFile(), other));
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);   // nor is the empty cut file kept
}

// One more mapping, of source in a configuration of its own.
void addRow(ObjectMap& table, const char* list, const char* source) {
    table.addList(String(list), ObjectMapType::dwg);
    table.findList(String(list), ObjectMapType::dwg)
        ->add(std::make_unique<skellow::ObjectSpecification>(skellow::SourceKey{4, String(source)}, false));
}

// A save into a table that two homes share, stopped once the table is emptied (its write and the put-back
// fail: the disk is full), on a file system that keeps records or not. The table is left cut, and what it
// held lies beside the name that saved.
void cutBySave(const std::filesystem::path& table, bool records) {
    host::watchFileOperations(
        [table = table.string(), records](host::FileOperation operation, const std::string& path) {
            if (!records && operation == host::FileOperation::attribute) return ENOTSUP;
            return operation == host::FileOperation::write && path == table ? ENOSPC : 0;
        });
    ObjectMap cut;
    EXPECT_TRUE(skellow::loadObjectMap(cut));
    cut.addList(String("Cut"), ObjectMapType::dwg);
    EXPECT_FALSE(skellow::saveObjectMap(cut));
    host::watchFileOperations(nullptr);
    EXPECT_EQ(std::filesystem::file_size(table), 0u);
}

// Where the file system keeps no record on files, the note beside the name that saved names the save it
// belongs to, and is followed only while the table is that save's state. Whatever a note says, no run
// removes a copy that holds a row the table lacks: it stays, and the user is told where, once.
TEST_F(ObjectMapFile, ANoteIsFollowedOnlyToItsSaveAndNoCopyOfRowsTheTableLacksIsRemoved) {
    namespace fs = std::filesystem;
    const fs::path home2 = home_ / "second";
    const fs::path other = home2 / "Application Data" / "Skellowing" / "ObjectMap.xml";
    const fs::path copy1 = dataFolder() / "ObjectMap backup.xml";
    const fs::path copy2 = other.parent_path() / "ObjectMap backup.xml";
    writeFile(tableFile(), kUserTable);
    fs::create_directories(other.parent_path());
    fs::create_hard_link(tableFile(), other);
    const auto noRecords = [](host::FileOperation operation, const std::string&) {
        return operation == host::FileOperation::attribute ? ENOTSUP : 0;
    };
    const auto load = [&](const fs::path& home) {
        host::setHomeDirectory(home.string());
        host::watchFileOperations(noRecords);
        host::clearRecordedAlerts();
        ObjectMap table;
        const bool loaded = skellow::loadObjectMap(table);
        host::watchFileOperations(nullptr);
        return loaded;
    };
    const std::string kept = " holds rows that the table lacks, so it is kept.";

    // A save through home 1 that wrote its table whole, stopped before it removed its copy and note.
    const std::string folder1 = dataFolder().string() + "/";
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (const int fault = noRecords(operation, path)) return fault;
        return operation == host::FileOperation::unlink && path.starts_with(folder1) ? EIO : 0;
    });
    ObjectMap first;
    ASSERT_TRUE(skellow::loadObjectMap(first));
    addRow(first, "First", "Lamp");
    skellow::saveObjectMap(first);
    host::watchFileOperations(nullptr);
    ASSERT_EQ(readFile(copy1), kUserTable);
    ASSERT_TRUE(fs::exists(dataFolder() / "ObjectMap.xml.copy"));
    // A save through home 2 that ends, adding rows; then a disk fault cuts the table past what home 1's save
    // wrote. Home 1's note is no longer the table's: its copy is offered with its time, never by default.
    host::setHomeDirectory(home2.string());
    host::watchFileOperations(noRecords);
    ObjectMap second;
    ASSERT_TRUE(skellow::loadObjectMap(second));
    addRow(second, "Newer", "Desk");
    ASSERT_TRUE(skellow::saveObjectMap(second));
    host::watchFileOperations(nullptr);
    const std::string newer = readFile(other);
    std::ofstream(other, std::ios::binary | std::ios::trunc) << newer.substr(0, newer.size() - 13);
    EXPECT_FALSE(load(home_));   // the default answer: Cancel
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(
        "The file containing the object mapping table cannot be read. \"ObjectMap backup.xml\" holds a whole "
        "table, last changed "));
    EXPECT_EQ(readFile(other), newer.substr(0, newer.size() - 13));

    // A later save through home 2, cut once it emptied the table. Home 1's note knows the table changed
    // since its save left it, though no block of an empty table can say so: its copy is offered with its
    // time and the other names, never by default. Through home 2 the note of the save that cut it is
    // followed by default.
    std::ofstream(other, std::ios::binary | std::ios::trunc) << newer;
    pastTheLastChangeOf(other, home_ / "clock");
    host::setHomeDirectory(home2.string());
    cutBySave(other, /*records=*/false);
    ASSERT_EQ(readFile(copy2), newer);
    const std::string otherNames = "The file has other names (hard links)";
    EXPECT_FALSE(load(home_));   // the default answer: Cancel
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(
        "The file containing the object mapping table cannot be read. \"ObjectMap backup.xml\" holds a whole "
        "table, last changed "));
    EXPECT_NE(host::recordedAlerts()[0].smallText.find(otherNames), std::string::npos);
    EXPECT_EQ(readFile(other), "");
    EXPECT_FALSE(load(home2));   // nor through home 2, whose note cannot tell either: Cancel
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_NE(host::recordedAlerts()[0].smallText.find(otherNames), std::string::npos);
    EXPECT_EQ(readFile(other), "");
    script(R"([{"do": "answerAlert", "button": 2}])");   // Put Back
    EXPECT_TRUE(load(home2));
    EXPECT_EQ(readFile(other), newer);
    // Home 1's copy put back by choice: home 2's copy, which holds rows the table then lacks, stays, and
    // is told once.
    cutBySave(other, /*records=*/false);
    script(R"([{"do": "answerAlert", "button": 2}])");   // Put Back
    EXPECT_TRUE(load(home_));
    EXPECT_TRUE(load(home2));
    EXPECT_EQ(readFile(copy2), newer);
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(
        "\"" + copy2.string() + "\", a copy of the object mapping table last changed "));
    EXPECT_TRUE(host::recordedAlerts()[0].largeText.find(kept) != std::string::npos);
    EXPECT_TRUE(load(home2));
    EXPECT_TRUE(host::recordedAlerts().empty());
    EXPECT_EQ(readFile(copy2), newer);
    // Should the table be unreadable, the copy is offered, never by default.
    std::ofstream(other, std::ios::binary | std::ios::trunc) << "<objectMap>";
    EXPECT_FALSE(load(home2));   // the default answer: Cancel
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(
        "The file containing the object mapping table cannot be read. \"ObjectMap backup.xml\" holds a whole "
        "table, last changed "));
    EXPECT_EQ(readFile(other), "<objectMap>");

    // A save through home 1 cut, and a new table asked for through home 2: the copy home 1's run then
    // finds holds the only rows.
    fs::remove(copy2);
    writeFile(tableFile(), kUserTable);
    host::setHomeDirectory(home_.string());
    cutBySave(tableFile(), /*records=*/false);
    ASSERT_EQ(readFile(copy1), kUserTable);
    script(R"([{"do": "answerAlert", "button": 2}])");   // New Table
    EXPECT_TRUE(load(home2));
    EXPECT_EQ(readFile(other), kDefaults);
    EXPECT_TRUE(load(home_));
    EXPECT_EQ(readFile(copy1), kUserTable);
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with("\"" + copy1.string() + "\", a copy"));

    // A save through home 1 that wrote whole and left its note: the next load reads the table once and
    // judges the note by what it read, then its turn reads it once and judges the note and the copy by what
    // it read; the copy, whose rows the table holds, goes.
    fs::remove(copy1);
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (const int fault = noRecords(operation, path)) return fault;
        return operation == host::FileOperation::unlink && path.starts_with(folder1) ? EIO : 0;
    });
    ObjectMap untidied;
    ASSERT_TRUE(skellow::loadObjectMap(untidied));
    addRow(untidied, "Untidied", "Stool");
    skellow::saveObjectMap(untidied);
    ASSERT_TRUE(fs::exists(copy1));
    int opens = 0;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::open && path == tableFile().string()) ++opens;
        return noRecords(operation, path);
    });
    ObjectMap loaded;
    EXPECT_TRUE(skellow::loadObjectMap(loaded));
    host::watchFileOperations(nullptr);
    EXPECT_EQ(opens,
              4);   // the load's read; the turn's lock in itself, its read, its flush before the copy goes
    EXPECT_FALSE(fs::exists(copy1));
    EXPECT_FALSE(fs::exists(dataFolder() / "ObjectMap.xml.copy"));
}

// A record whose copy a run cannot reach (a read error, another user's folder, a home moved) is named
// with its path and why, and nothing is written by default; the record stays, and a
// run that reaches the copy, also through a home that moved, puts it back.
TEST_F(ObjectMapFile, ARecordWhoseCopyCannotBeReachedIsToldAndNothingIsWritten) {
    namespace fs = std::filesystem;
    const fs::path first = home_ / "first";
    const fs::path second = home_ / "second";
    const fs::path name1 = first / "Application Data" / "Skellowing" / "ObjectMap.xml";
    const fs::path name2 = second / "Application Data" / "Skellowing" / "ObjectMap.xml";
    writeFile(name1, kUserTable);
    fs::create_directories(name2.parent_path());
    fs::create_hard_link(name1, name2);
    host::setHomeDirectory(first.string());
    cutBySave(name1, /*records=*/true);
    const fs::path copy = name1.parent_path() / "ObjectMap backup.xml";
    ASSERT_EQ(readFile(copy), kUserTable);

    // A copy that cannot be read is told with the system's reason, also through the name that saved.
    failOn(host::FileOperation::read, copy, EIO);
    host::clearRecordedAlerts();
    ObjectMap unread;
    EXPECT_FALSE(skellow::loadObjectMap(unread));   // the default answer: Cancel
    host::watchFileOperations(nullptr);
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_EQ(
        host::recordedAlerts()[0].largeText,
        "The file containing the object mapping table cannot be read: a save into it stopped half-way, "
        "and what it held before is kept as \"ObjectMap backup.xml\", which this run cannot read: "
        "Input/output error. Please put that back by hand before you continue with a new mapping table.");
    EXPECT_EQ(readFile(name1), "");
    EXPECT_EQ(readFile(copy), kUserTable);

    // Where a folder keeps no record on files, no run through another name sees a record at all (see
    // ASaveStoppedHalfWayLosesNothingThroughAnyName).
    if (!tarnwick::SafeFile::recordsCopies(name1))
        GTEST_SKIP() << "this file system keeps no records on files";

    // The copy's folder refuses this user.
    host::setHomeDirectory(second.string());
    const std::string closed = name1.parent_path().string() + "/";
    host::watchFileOperations(
        [&](host::FileOperation, const std::string& path) { return path.starts_with(closed) ? EACCES : 0; });
    host::clearRecordedAlerts();
    ObjectMap refused;
    EXPECT_FALSE(skellow::loadObjectMap(refused));   // the default answer: Cancel
    host::watchFileOperations(nullptr);
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_EQ(
        host::recordedAlerts()[0].largeText,
        "The file containing the object mapping table cannot be read: a save into it stopped half-way, "
        "and what it held before is kept as \"" +
            copy.string() +
            "\", which this run cannot read: Permission denied. Please put that back by hand before you "
            "continue with a new mapping table.");
    EXPECT_EQ(readFile(name2), "");
    EXPECT_GT(::getxattr(name2.c_str(), "user.tarnwick.copy", nullptr, 0), 0);

    // The saving home moved: the copy moved with it, and is found beside the name it moved with.
    const fs::path moved = home_ / "moved";
    fs::rename(first, moved);
    host::clearRecordedAlerts();
    ObjectMap lost;
    EXPECT_FALSE(skellow::loadObjectMap(lost));
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_NE(host::recordedAlerts()[0].largeText.find("No such file or directory"), std::string::npos);
    host::setHomeDirectory(moved.string());
    ObjectMap found;
    EXPECT_TRUE(skellow::loadObjectMap(found));
    EXPECT_EQ(readFile(name2), kUserTable);
    EXPECT_FALSE(fs::exists(moved / "Application Data" / "Skellowing" / "ObjectMap backup.xml"));
    EXPECT_LE(::getxattr(name2.c_str(), "user.tarnwick.copy", nullptr, 0), 0);
}

// What runs that ended left under passing names goes with the next turn only where it holds no row the
// table lacks, even where it is what this save is about to write: that save may fail.
TEST_F(ObjectMapFile, ATurnRemovesWhatEndedRunsLeftOnlyWhereItHoldsNoRowTheTableLacks) {
    namespace fs = std::filesystem;
    writeFile(tableFile(), kDefaults);
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    table.addList(String("Mine"), ObjectMapType::dwg);
    ASSERT_TRUE(skellow::saveObjectMap(table));
    const std::string written = readFile(tableFile());
    writeFile(tableFile(), kDefaults);
    ObjectMap again;
    ASSERT_TRUE(skellow::loadObjectMap(again));
    again.addList(String("Mine"), ObjectMapType::dwg);
    const fs::path partial = dataFolder() / "ObjectMap.xml.partial";
    writeFile(partial, "");
    writeFile(dataFolder() / "ObjectMap.xml.partial 2", std::string(kDefaults).substr(0, 90));
    writeFile(dataFolder() / "ObjectMap.xml.partial 3",   // the table's rows, written otherwise
              "<objectMap><specificationList sourceName='Default' objectType='DWG'/></objectMap>");
    writeFile(dataFolder() / "ObjectMap.xml.partial 4", written);   // what the save below writes
    writeFile(dataFolder() / "ObjectMap.xml.partial 5", kUserTable);
    // The new file cannot take the table's name.
    host::watchFileOperations([this](host::FileOperation operation, const std::string& path) {
        using host::FileOperation;
        const bool naming = operation == FileOperation::exchange || operation == FileOperation::rename ||
                            operation == FileOperation::renameNoReplace;
        return naming && path == tableFile().string() ? EIO : 0;
    });
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::saveObjectMap(again));
    host::watchFileOperations(nullptr);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dataFolder()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    // A whole table of rows the table lacks is kept as a backup, where a table that cannot be read offers
    // it, and told once, with its path and time.
    EXPECT_EQ(left,
              (std::vector<std::string>{"ObjectMap backup 2.xml", "ObjectMap backup.xml", "ObjectMap.xml"}));
    std::vector<std::string> kept = {readFile(dataFolder() / "ObjectMap backup.xml"),
                                     readFile(dataFolder() / "ObjectMap backup 2.xml")};
    std::sort(kept.begin(), kept.end());
    std::vector<std::string> held = {kUserTable, written};
    std::sort(held.begin(), held.end());
    EXPECT_EQ(kept, held);
    ASSERT_EQ(host::recordedAlerts().size(), 3u);   // two kept, and the failed save
    for (const char* backup : {"ObjectMap backup.xml", "ObjectMap backup 2.xml"}) {
        const std::string told = "\"" + (dataFolder() / backup).string() +
                                 "\", a copy of the object mapping "
                                 "table last changed ";
        EXPECT_TRUE(host::recordedAlerts()[0].largeText.starts_with(told) ||
                    host::recordedAlerts()[1].largeText.starts_with(told));
    }
    host::clearRecordedAlerts();
    ASSERT_TRUE(skellow::saveObjectMap(again));
    EXPECT_TRUE(host::recordedAlerts().empty());

    // A lock file that a run which ended while saving left (empty after a power cut) goes with the next
    // run, even one that saves nothing; one that a live run holds stays.
    const fs::path lock = dataFolder() / "ObjectMap.xml.lock";
    for (const bool live : {true, false}) {
        SCOPED_TRACE(live ? "live" : "left");
        writeFile(lock, "");
        const int holder = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
        if (live) {
            ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
        }
        ObjectMap loaded;
        EXPECT_TRUE(skellow::loadObjectMap(loaded));
        ::close(holder);
        EXPECT_EQ(fs::exists(lock), live);
    }
    // A power cut while a run saved can leave the lock cut, or empty, under a table already loaded: the
    // save has its turn all the same.
    ObjectMap loaded;
    ASSERT_TRUE(skellow::loadObjectMap(loaded));
    writeFile(lock, "A run holds");
    loaded.addList(String("After the cut"), ObjectMapType::dwg);
    EXPECT_TRUE(skellow::saveObjectMap(loaded));
    EXPECT_NE(readFile(tableFile()).find("After the cut"), std::string::npos);
    EXPECT_FALSE(fs::exists(lock));
}

// A copy put back is removed once the table holds it, only while it is still the file offered: another
// run's file that took its name meanwhile stays.
TEST_F(ObjectMapFile, ACopyPutBackGoesOnlyWhileItIsTheFileOffered) {
    namespace fs = std::filesystem;
    const fs::path partial = dataFolder() / "ObjectMap.xml.partial";
    writeFile(tableFile(), std::string(kUserTable).substr(0, 60));
    writeFile(partial, kUserTable);
    script(R"([{"do": "answerAlert", "button": 2}])");   // Put Back
    bool came = false;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (operation == host::FileOperation::flush && path == dataFolder().string() && !came) {
            came = true;
            writeFile(dataFolder() / "another", "another run's");
            fs::rename(dataFolder() / "another", partial);
        }
        return 0;
    });
    ObjectMap table;
    EXPECT_TRUE(skellow::loadObjectMap(table));
    host::watchFileOperations(nullptr);
    ASSERT_TRUE(came);
    EXPECT_NE(table.findList(String("Site \"B\""), ObjectMapType::ifc), nullptr);
    EXPECT_NE(readFile(tableFile()).find("Office Chair"), std::string::npos);
    EXPECT_EQ(readFile(partial), "another run's");
}

// A shared table that cannot be read to its end is never moved aside, which would take one name off the
// file the others share: nothing changes, and the next run puts the copy back into the one file. (Where
// the record is a note beside one name, which cannot tell whose the cut is, the copy is put back by choice.)
TEST_F(ObjectMapFile, ASharedFileThatCannotBeReadWholeIsNeverSplit) {
    namespace fs = std::filesystem;
    const std::string leftAsItIs =
        "\"ObjectMap.xml\" could not be read to its end, so no whole copy of it can be kept before a table "
        "takes its place, and it is shared (another name, a link to it, or the record of a copy), so it "
        "cannot "
        "be moved aside: it is left as it is. Nothing was skellowed.";
    const fs::path other = home_ / "second" / "Application Data" / "Skellowing" / "ObjectMap.xml";
    writeFile(tableFile(), kUserTable);
    fs::create_directories(other.parent_path());
    fs::create_hard_link(tableFile(), other);
    cutBySave(tableFile(), /*records=*/true);
    const bool records = tarnwick::SafeFile::recordsCopies(tableFile());
    const auto putBack = [&] {
        if (!records) script(R"([{"do": "answerAlert", "button": 2}])");
    };
    failOn(host::FileOperation::read, tableFile(), EIO);
    host::clearRecordedAlerts();
    putBack();
    ObjectMap unread;
    EXPECT_FALSE(skellow::loadObjectMap(unread));
    host::watchFileOperations(nullptr);
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_EQ(host::recordedAlerts().back().largeText, leftAsItIs);
    EXPECT_TRUE(fs::equivalent(tableFile(), other));
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), kUserTable);
    putBack();
    ObjectMap next;
    EXPECT_TRUE(skellow::loadObjectMap(next));
    EXPECT_TRUE(fs::equivalent(tableFile(), other));
    EXPECT_EQ(readFile(other), kUserTable);
    EXPECT_FALSE(fs::exists(dataFolder() / "ObjectMap backup.xml"));

    // Without a record, even when the user asks for a new table; nor a link, whose name would be moved
    // aside, not the file it leads to.
    host::setHomeDirectory((home_ / "second").string());
    writeFile(other, "unreadable");
    failOn(host::FileOperation::read, other, EIO);
    script(R"([{"do": "answerAlert", "button": 2}])");   // New Table
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::loadObjectMap(next));
    host::watchFileOperations(nullptr);
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_EQ(host::recordedAlerts().back().largeText, leftAsItIs);
    EXPECT_TRUE(fs::equivalent(tableFile(), other));
    fs::remove(tableFile());
    fs::create_symlink(other, tableFile());
    fs::remove(other.parent_path() / "ObjectMap backup.xml");
    host::setHomeDirectory(home_.string());
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        return operation == host::FileOperation::read && (path == tableFile() || path == other) ? EIO : 0;
    });
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::loadObjectMap(next));   // the default answer: a new table, which cannot be had
    host::watchFileOperations(nullptr);
    ASSERT_FALSE(host::recordedAlerts().empty());
    EXPECT_EQ(host::recordedAlerts().back().largeText, leftAsItIs);
    EXPECT_TRUE(fs::is_symlink(tableFile()));
    EXPECT_EQ(readFile(other), "unreadable");
}

// A copy put back is removed only once the file holds it as it is: not when another run's table, written
// meanwhile, took its place; not when the write fails (nor may a clean-up have taken it meanwhile); not
// when its read left anything out, which the user is told; nor when it holds a row the table lacks. (Where
// the record is a note beside one name, which cannot tell whose the cut is, the copy is put back by choice.)
TEST_F(ObjectMapFile, ACopyPutBackGoesOnlyOnceTheFileHoldsItWhole) {
    namespace fs = std::filesystem;
    const fs::path other = home_ / "second" / "Application Data" / "Skellowing" / "ObjectMap.xml";
    const fs::path copy = dataFolder() / "ObjectMap backup.xml";
    writeFile(tableFile(), kUserTable);
    fs::create_directories(other.parent_path());
    fs::create_hard_link(tableFile(), other);
    cutBySave(tableFile(), /*records=*/true);
    ASSERT_EQ(readFile(copy), kUserTable);
    const bool records = tarnwick::SafeFile::recordsCopies(tableFile());
    const auto putBack = [&] {
        if (!records) script(R"([{"do": "answerAlert", "button": 2}])");
    };
    std::ofstream(tableFile(), std::ios::binary | std::ios::trunc) << std::string(kUserTable).substr(0, 60);
    // Once the cut file is set aside, another run, whose user asked for a new table, writes its own.
    bool came = false;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (!came && operation == host::FileOperation::flush && path == dataFolder().string() &&
            fs::exists(dataFolder() / "ObjectMap backup 2.xml")) {
            came = true;
            std::ofstream(other, std::ios::binary | std::ios::trunc) << kDefaults;
            ::removexattr(other.c_str(), "user.tarnwick.copy");
        }
        return 0;
    });
    putBack();
    ObjectMap merged;
    EXPECT_TRUE(skellow::loadObjectMap(merged));   // Put Back, the default where records are kept
    host::watchFileOperations(nullptr);
    ASSERT_TRUE(came);
    EXPECT_EQ(readFile(copy), kUserTable);

    // A dead run's whole passing file, put back into a file the disk has no room for.
    fs::remove(copy);
    fs::remove(dataFolder() / "ObjectMap backup 2.xml");
    const fs::path partial = dataFolder() / "ObjectMap.xml.partial";
    writeFile(tableFile(), kUserTable);
    ObjectMap written;   // the passing file holds what the put-back writes, byte for byte
    ASSERT_TRUE(skellow::loadObjectMap(written));
    written.addList(String("Mine"), ObjectMapType::dwg);
    ASSERT_TRUE(skellow::saveObjectMap(written));
    const std::string whole = readFile(tableFile());
    writeFile(partial, whole);
    writeFile(tableFile(), whole.substr(0, 60));
    script(R"([{"do": "answerAlert", "button": 2}])");   // Put Back
    failOn(host::FileOperation::write, tableFile(), ENOSPC);
    ObjectMap full;
    EXPECT_TRUE(skellow::loadObjectMap(full));
    host::watchFileOperations(nullptr);
    EXPECT_EQ(readFile(partial), whole);

    // The stopped save's own copy, of a file whose read leaves a second value out.
    for (const auto& entry : fs::directory_iterator(dataFolder()))
        if (entry.path() != tableFile()) fs::remove(entry.path());
    std::string twice = kUserTable;
    const std::string mapped = "\t\t\t<mappedName>Chair 22</mappedName>\n";
    twice.insert(twice.find(mapped) + mapped.size(), "\t\t\t<mappedName>Again</mappedName>\n");
    writeFile(tableFile(), twice);
    cutBySave(tableFile(), /*records=*/true);
    const fs::path kept = dataFolder() / "ObjectMap backup 2.xml";   // the first holds the file as it was
    ASSERT_EQ(readFile(kept), twice);
    // Offered among the copies by their times, the save's own is the newer one, made after the first also
    // within one tick of the clock.
    if (!records)
        fs::last_write_time(dataFolder() / "ObjectMap backup.xml",
                            fs::last_write_time(kept) - std::chrono::seconds(1));
    host::clearRecordedAlerts();
    putBack();
    ObjectMap leftOut;
    EXPECT_TRUE(skellow::loadObjectMap(leftOut));   // Put Back, the default where records are kept
    ASSERT_GE(host::recordedAlerts().size(), 2u);
    EXPECT_TRUE(records ? host::recordedAlerts()[0].largeText.ends_with("do you wish to put the copy back?")
                        : host::recordedAlerts()[0].largeText.starts_with(
                              "The file containing the object mapping table cannot be read. \"ObjectMap "
                              "backup 2.xml\" holds a whole table"));
    EXPECT_EQ(
        host::recordedAlerts()[1].largeText,
        "Some of the object mapping table could not be read and is left out of it. The file as it was is "
        "kept as \"ObjectMap backup 2.xml\" in the same folder.");
    EXPECT_NE(readFile(other).find("Chair 22"), std::string::npos);
    EXPECT_EQ(readFile(kept), twice);

    // Nor a copy that another hand changed while the user was asked: it holds a row the table lacks.
    for (const auto& entry : fs::directory_iterator(dataFolder()))
        if (entry.path() != tableFile()) fs::remove(entry.path());
    writeFile(tableFile(), kUserTable);
    cutBySave(tableFile(), /*records=*/true);
    std::string changed = kUserTable;
    changed.replace(changed.find("Door 22"), 7, "Door 23");
    host::setAlertObserver([&](const host::AlertRecord&) {
        if (readFile(copy) == kUserTable) writeFile(copy, changed);
    });
    putBack();
    ObjectMap asked;
    EXPECT_TRUE(skellow::loadObjectMap(asked));   // Put Back, the default where records are kept
    host::setAlertObserver(nullptr);
    EXPECT_EQ(readFile(other), kUserTable);
    EXPECT_EQ(readFile(copy), changed);
}

// Each failure is told as what it is: a folder the system cannot flush, a write into the table that fails
// (with its put-back, or with a whole write that cannot be flushed), a file the save cannot read back.
TEST_F(ObjectMapFile, EachFailureIsToldAsWhatItIs) {
    namespace fs = std::filesystem;
    const std::string after =
        "\nThe changes made now are used for this run, but they are not kept for the next one.";
    writeFile(tableFile(), kUserTable);
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    // The new file has the table's name, but the folder's record of it may not be on the disk.
    failOn(host::FileOperation::flush, dataFolder(), EIO);
    EXPECT_EQ(toldOnSave(table, "Flushed"),
              "\"ObjectMap.xml\" holds the new table, but the folder's record of it could not be put on the "
              "disk: a power cut may still take the change back.\nThe system said: Input/output error.");
    EXPECT_EQ(host::recordedAlerts()[0].largeText,
              "The file containing the object mapping table holds the changes made now, but their save could "
              "not be finished");
    EXPECT_NE(readFile(tableFile()).find("\"Flushed\""), std::string::npos);
    // So does a copy kept beside it: it is made, and named, all the same.
    failOn(host::FileOperation::flush, dataFolder(), EIO);
    const String kept = skellow::copyBeside(
        tarnwick::Directory(dataFolder()), String("ObjectMap.xml"),
        [](int n) { return String("Kept " + std::to_string(n) + ".xml"); }, 3, tableFile(), "kept rows");
    host::watchFileOperations(nullptr);
    EXPECT_EQ(std::string(kept.getView()), "Kept 1.xml");
    EXPECT_EQ(readFile(dataFolder() / "Kept 1.xml"), "kept rows");
    fs::remove(dataFolder() / "Kept 1.xml");

    // The new file cannot be put on the disk: not a full disk, and said as it is.
    failOn(host::FileOperation::flush, dataFolder() / "ObjectMap.xml.partial", EIO);
    EXPECT_EQ(toldOnSave(table, "Unflushed"),
              "\"ObjectMap.xml\" could not be written to its end.\nThe system said: Input/output error.\n"
              "The changes made now are used for this run, but they are not kept for the next one.");
    EXPECT_EQ(readFile(tableFile()).find("\"Unflushed\""), std::string::npos);

    // A table that cannot be looked at may be anything: it is never written over, and the reason is told.
    failOn(host::FileOperation::look, tableFile(), EIO);
    EXPECT_EQ(toldOnSave(table, "Unseen"),
              "The system could not tell what \"" + tableFile().string() +
                  "\" is, so the table is not saved over it.\nThe system said: Input/output error.\n"
                  "The changes made now are used for this run, but they are not kept for the next one.");
    EXPECT_EQ(readFile(tableFile()).find("\"Unseen\""), std::string::npos);

    // Written into itself (it has a second name), it is not emptied before its copy's name is on the disk.
    fs::create_hard_link(tableFile(), home_ / "other.xml");
    const std::string held = readFile(tableFile());
    failOn(host::FileOperation::flush, dataFolder(), EIO);
    const std::string untouched = toldOnSave(table, "Untouched");
    EXPECT_EQ(readFile(tableFile()), held);
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);
    EXPECT_TRUE(untouched.starts_with(
        "\"ObjectMap.xml\" is left as it is: what it holds could not first be kept whole on the disk beside "
        "it.\nThe system said: Input/output error."));

    // The write into it fails once: what it held is put back, and its copy removed.
    int writes = 0;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        return operation == host::FileOperation::write && path == tableFile().string() && ++writes == 1
                   ? ENOSPC
                   : 0;
    });
    const std::string putBack = toldOnSave(table, nullptr);
    EXPECT_EQ(readFile(tableFile()), held);
    EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);
    EXPECT_TRUE(
        putBack.starts_with("\"ObjectMap.xml\" could not be written to its end - "
                            "the disk may be full.\nThe system said: No space"));

    // Written whole, it cannot be flushed, nor emptied again to put back what it held: it holds the new
    // table, which the next run reads, and is told so.
    int truncates = 0;
    host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
        if (path != tableFile().string()) return 0;
        return (operation == host::FileOperation::flush &&
                readFile(tableFile()).find("\"Untouched\"") != std::string::npos) ||
                       (operation == host::FileOperation::truncate && ++truncates == 2)
                   ? EIO
                   : 0;
    });
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::saveObjectMap(table));
    host::watchFileOperations(nullptr);
    EXPECT_NE(readFile(tableFile()).find("\"Untouched\""), std::string::npos);
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(
        host::recordedAlerts()[0].smallText,
        "\"ObjectMap.xml\" holds the new table, but it could not be put on the disk, nor what it held before "
        "put back: that is kept as \"" +
            (dataFolder() / "ObjectMap backup.xml").string() +
            "\" until a run finds the table whole again.\nThe system said: Input/output error.");
    EXPECT_EQ(readFile(dataFolder() / "ObjectMap backup.xml"), held);
    // The next run finds it whole, and the copy, no longer needed, goes: never to be put back over it.
    ObjectMap next;
    ASSERT_TRUE(skellow::loadObjectMap(next));
    EXPECT_NE(next.findList(String("Untouched"), ObjectMapType::dwg), nullptr);
    EXPECT_FALSE(fs::exists(dataFolder() / "ObjectMap backup.xml"));

    // The save cannot read the file back to see whether another run changed it: no other run is blamed.
    const std::string saved = readFile(tableFile());
    failOn(host::FileOperation::read, tableFile(), EIO);
    host::clearRecordedAlerts();
    next.addList(String("Beside"), ObjectMapType::dwg);
    EXPECT_FALSE(skellow::saveObjectMap(next));
    host::watchFileOperations(nullptr);
    EXPECT_EQ(readFile(tableFile()), saved);
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(
        host::recordedAlerts()[0].largeText,
        "\"ObjectMap.xml\" could not be read to see whether another run changed the table since this one "
        "read it, so it is left as it is; this run's table is kept as \"ObjectMap conflict.xml\" in the "
        "same folder.");
    EXPECT_NE(readFile(dataFolder() / "ObjectMap conflict.xml").find("\"Beside\""), std::string::npos);

    // A file that held nothing gets no copy, and the words name none: not written into, then written but
    // not flushed, and neither emptied again.
    ObjectMap fresh;   // as no file held it: written at once
    for (const bool written : {false, true}) {
        SCOPED_TRACE(written ? "written" : "not written");
        fs::resize_file(tableFile(), 0);
        int cuts = 0;
        host::watchFileOperations([&](host::FileOperation operation, const std::string& path) {
            if (path != tableFile().string()) return 0;
            if (operation == host::FileOperation::truncate) return ++cuts == 2 ? EIO : 0;
            return operation == (written ? host::FileOperation::flush : host::FileOperation::write) ? EIO : 0;
        });
        const std::string nothing =
            "nor the file emptied again as it was: it held nothing before, so nothing it held is lost.\n"
            "The system said: Input/output error.";
        EXPECT_EQ(
            toldOnSave(fresh, nullptr),
            written ? "\"ObjectMap.xml\" holds the new table, but it could not be put on the disk, " + nothing
                    : "\"ObjectMap.xml\" could not be written to its end.\nThe table could not be written "
                      "into \"ObjectMap.xml\", " +
                          nothing + after);
    }
}

// A run that reads the table while another writes into it waits for that run's turn and reads the table it
// leaves, instead of calling it unreadable; a turn that does not come in time is told as such.
TEST_F(ObjectMapFile, AReadDuringAnotherRunsWriteWaitsForItsTurn) {
    namespace fs = std::filesystem;
    // The other run, in the middle of its write: it has the table's turn, and the file is cut short.
    writeFile(tableFile(), std::string(kUserTable).substr(0, 100));
    auto writing = tarnwick::FileLock::acquire(tarnwick::Directory(dataFolder()),
                                               String("ObjectMap.xml.lock"), std::chrono::milliseconds(0));
    ASSERT_TRUE(writing);
    std::atomic<bool> loaded{false};
    std::thread other([&] {
        // It ends its write once this run waits for the turn, with a lock file of its own beside the lock.
        const auto waiting = [&] {
            for (const auto& entry : fs::directory_iterator(dataFolder()))
                if (entry.path().filename().string().starts_with("ObjectMap.xml.lock.")) return true;
            return false;
        };
        while (!loaded && !waiting()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        writeFile(tableFile(), kUserTable);
        writing.reset();
    });
    ObjectMap table;
    const bool read = skellow::loadObjectMap(table);
    loaded = true;
    other.join();
    EXPECT_TRUE(read);
    EXPECT_TRUE(host::recordedAlerts().empty());
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table.at(0).size(), 2u);
    EXPECT_EQ(readFile(tableFile()), kUserTable);

    // A writer that outlasts the wait: said, and the command stops, asking nothing.
    fs::resize_file(tableFile(), 40);
    writing = tarnwick::FileLock::acquire(tarnwick::Directory(dataFolder()), String("ObjectMap.xml.lock"),
                                          std::chrono::milliseconds(0));
    ASSERT_TRUE(writing);
    skellow::setTableLockPatience(std::chrono::milliseconds(0));
    ObjectMap waited;
    EXPECT_FALSE(skellow::loadObjectMap(waited));
    skellow::setTableLockPatience(std::chrono::seconds(30));
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(host::recordedAlerts()[0].largeText,
              "Another run is still saving \"ObjectMap.xml\" - this run waited for it in vain.");
    EXPECT_EQ(fs::file_size(tableFile()), 40u);
}

// Only a regular file is a table: a folder, a pipe or a device at its name, or where its link leads, is told
// with its path as the command loads the table, which stops it, and a save never replaces it.
TEST_F(ObjectMapFile, NothingButARegularFileIsTakenForTheTable) {
    namespace fs = std::filesystem;
    const fs::path outside = home_ / "outside";
    fs::create_directories(outside);
    struct Case {
        const char* what;
        std::function<void()> make;
        fs::path at;   // what is there
        bool folder;
    };
    std::vector<Case> cases = {
        {"a folder", [&] { fs::create_directories(tableFile() / "inside"); }, tableFile(), true},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(tableFile().c_str(), 0600), 0); }, tableFile(), false},
        {"a link to a pipe",
         [&] {
             ASSERT_EQ(::mkfifo((outside / "pipe").c_str(), 0600), 0);
             fs::create_symlink(outside / "pipe", tableFile());
         },
         outside / "pipe", false},
        {"a link to a folder", [&] { fs::create_symlink(outside, tableFile()); }, outside, true},
    };
    if (::geteuid() == 0)
        cases.push_back({"a link to a device",
                         [&] {
                             ASSERT_EQ(::mknod((outside / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
                             fs::create_symlink(outside / "null", tableFile());
                         },
                         outside / "null", false});
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(tableFile());
        c.make();
        const fs::file_type type = fs::symlink_status(c.at).type();
        host::clearRecordedAlerts();
        ObjectMap read;
        EXPECT_FALSE(skellow::loadObjectMap(read));
        ASSERT_EQ(host::recordedAlerts().size(), 1u);
        const std::string what =
            c.folder
                ? "a folder, where the file of the object mapping table should be: the table can be neither "
                  "read from it nor saved in it - please "
                : "not a regular file but a pipe, socket or device: the object mapping table is never read "
                  "from it or saved over it - please ";
        EXPECT_EQ(host::recordedAlerts()[0].largeText,
                  c.at == tableFile()
                      ? "\"" + c.at.string() + "\" is " + what + (c.folder ? "move the folder" : "move it") +
                            " out of the way. Nothing was skellowed."
                      : "\"" + tableFile().string() + "\" is a link to \"" + c.at.string() + "\"" +
                            (c.folder ? ", " : ", which is ") + what +
                            "make the link lead to a file. Nothing was skellowed.");
        host::clearRecordedAlerts();
        table.addList(String(c.what), ObjectMapType::dwg);
        EXPECT_FALSE(skellow::saveObjectMap(table));
        ASSERT_EQ(host::recordedAlerts().size(), 1u);
        EXPECT_EQ(
            host::recordedAlerts()[0].smallText,
            "\"" + c.at.string() +
                (c.folder ? "\" is a folder, not a file the table can be saved in."
                          : "\" is not a regular file but a pipe, socket or device: the table is never "
                            "saved over it.") +
                "\nThe changes made now are used for this run, but they are not kept for the next one.");
        EXPECT_EQ(fs::symlink_status(c.at).type(), type);
        if (c.folder) fs::remove_all(tableFile() / "inside");
        fs::remove(outside / "pipe");
        fs::remove(outside / "null");
    }

    // Nor one larger than any table: refused by its size before it is read, and kept as it is, neither
    // copied nor set aside nor written over, as the command loads and as a save finds it so.
    fs::remove(tableFile());
    ASSERT_TRUE(skellow::loadObjectMap(table));
    const std::uintmax_t size = (std::uintmax_t{256} << 20) + 1;
    fs::resize_file(tableFile(), size);   // sparse: nothing is written
    const std::string larger =
        "\"ObjectMap.xml\" holds 268435457 bytes, more than the 256 MiB an object mapping table may take, so "
        "it is not read.";
    host::clearRecordedAlerts();
    failOn(host::FileOperation::read, tableFile(), EIO);   // a read of it would be told otherwise
    ObjectMap large;
    EXPECT_FALSE(skellow::loadObjectMap(large));
    table.addList(String("Larger"), ObjectMapType::dwg);
    EXPECT_FALSE(skellow::saveObjectMap(table));
    host::watchFileOperations(nullptr);
    ASSERT_EQ(host::recordedAlerts().size(), 2u);
    EXPECT_EQ(host::recordedAlerts()[0].kind, host::kAlertError);
    EXPECT_EQ(host::recordedAlerts()[0].largeText,
              larger +
                  "\nIt is left as it is - please move it out of the way or replace it. Nothing was "
                  "skellowed.");
    EXPECT_NE(host::recordedAlerts()[1].smallText.find(larger), std::string::npos);
    EXPECT_EQ(fs::file_size(tableFile()), size);
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(dataFolder()))
        if (entry.path().filename() != "ObjectMap conflict.xml") entries.push_back(entry.path().filename());
    EXPECT_EQ(entries, (std::vector<std::string>{"ObjectMap.xml"}));
}

// The lock beside the table: what is at its name and is no lock of a run is never taken over, changed
// or deleted, and the save says at once why it could not lock; only a lock another run holds is waited
// for, and then blamed on that run. A lock a run left behind is taken over.
TEST_F(ObjectMapFile, ALockThatCannotBeHadIsToldWithItsReason) {
    namespace fs = std::filesystem;
    const fs::path lock = dataFolder() / "ObjectMap.xml.lock";
    const std::string after =
        "\nThe changes made now are used for this run, but they are not kept for the next one.";
    const std::string cannotWrite = "The file containing the object mapping table cannot be written";
    const std::string notMade = "The lock file \"" + lock.string() +
                                "\", which lets one run at a time save the table, could not be made: ";
    writeFile(tableFile(), kUserTable);
    writeFile(home_ / "victim.txt", "mine");
    ObjectMap table;
    ASSERT_TRUE(skellow::loadObjectMap(table));
    struct Case {
        const char* what;
        std::function<void()> make;
        std::string why;
    };
    const Case cases[] = {
        {"a folder", [&] { fs::create_directories(lock); }, notMade + "a folder has its name."},
        {"a link", [&] { fs::create_symlink(home_ / "victim.txt", lock); }, notMade + "a link has its name."},
        {"a dangling link", [&] { fs::create_symlink(home_ / "made.txt", lock); },
         notMade + "a link has its name."},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0); },
         notMade + "something that is not a file has its name."},
        {"someone's file", [&] { writeFile(lock, "mine"); },
         notMade + "a file that is not a lock has its name - remove or rename it."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ObjectMap read;   // of its own: a failure already told for a table is not told again
        ASSERT_TRUE(skellow::loadObjectMap(read));
        read.addList(String("Mine"), ObjectMapType::dwg);
        host::clearRecordedAlerts();
        c.make();
        const auto before = fs::symlink_status(lock).type();
        EXPECT_FALSE(skellow::saveObjectMap(read));
        ASSERT_EQ(host::recordedAlerts().size(), 1u);
        EXPECT_EQ(host::recordedAlerts()[0].largeText, cannotWrite);   // not the permissions
        EXPECT_EQ(host::recordedAlerts()[0].smallText, c.why + after);
        EXPECT_EQ(fs::symlink_status(lock).type(), before);
        if (fs::is_regular_file(fs::symlink_status(lock))) {
            EXPECT_EQ(readFile(lock), "mine");
        }
        EXPECT_EQ(readFile(home_ / "victim.txt"), "mine");
        EXPECT_FALSE(fs::exists(fs::symlink_status(home_ / "made.txt")));
        EXPECT_EQ(readFile(tableFile()), kUserTable);
        fs::remove(lock);
        EXPECT_EQ(std::distance(fs::directory_iterator(dataFolder()), {}), 1);
    }

    // Another run holds it past the wait.
    skellow::setTableLockPatience(std::chrono::milliseconds(0));
    {
        const auto held = tarnwick::FileLock::acquire(
            tarnwick::Directory(dataFolder()), String("ObjectMap.xml.lock"), std::chrono::milliseconds(0));
        ASSERT_TRUE(held);
        host::clearRecordedAlerts();
        table.addList(String("Held"), ObjectMapType::dwg);
        EXPECT_FALSE(skellow::saveObjectMap(table));
        ASSERT_EQ(host::recordedAlerts().size(), 1u);
        EXPECT_EQ(host::recordedAlerts()[0].largeText, cannotWrite);
        EXPECT_EQ(host::recordedAlerts()[0].smallText,
                  "Another run is still saving \"ObjectMap.xml\" - this run waited for it in vain." + after);
    }
    // A load that finds a copy recorded on a table that reads whole, while another run has the turn, does
    // not wait for that run, which is saving: the record is its own.
    skellow::setTableLockPatience(std::chrono::minutes(10));
    {
        const auto held = tarnwick::FileLock::acquire(
            tarnwick::Directory(dataFolder()), String("ObjectMap.xml.lock"), std::chrono::milliseconds(0));
        ASSERT_TRUE(held);
        // On the file, or in the note beside its name where its folder keeps no record on files.
        const std::string record = "1 " + (dataFolder() / "ObjectMap backup.xml").string();
        const fs::path note = dataFolder() / "ObjectMap.xml.copy";
        struct stat info {};
        ASSERT_EQ(::stat(tableFile().c_str(), &info), 0);
        if (tarnwick::SafeFile::recordsCopies(tableFile()))
            ASSERT_EQ(::setxattr(tableFile().c_str(), "user.tarnwick.copy", record.data(), record.size(), 0),
                      0);
        else
            writeFile(note, std::to_string(info.st_ino) + " " + record);
        const auto start = std::chrono::steady_clock::now();
        ObjectMap read;
        EXPECT_TRUE(skellow::loadObjectMap(read));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(5));
        EXPECT_NE(tarnwick::SafeFile::recordedCopy(tableFile()).state,
                  tarnwick::SafeFile::RecordedCopy::State::none);
        ::removexattr(tableFile().c_str(), "user.tarnwick.copy");
        fs::remove(note);
    }
    skellow::setTableLockPatience(std::chrono::seconds(30));
    EXPECT_FALSE(fs::exists(fs::symlink_status(lock)));

    // Left behind by a run that ended while saving: taken over, and gone after the save, with the new files
    // and the passing lock files of runs that ended before they were done. A run still waiting keeps its
    // own, and nothing else of those names is touched.
    const std::string lockLine = "A run holds this lock while it writes the file beside it.\n";
    writeFile(lock, lockLine);
    writeFile(dataFolder() / "ObjectMap.xml.partial", "<objectMap>cut short");
    writeFile(dataFolder() / "ObjectMap.xml.partial 4",
              "<?xml version=\"1.0\"");   // the start of the new table
    writeFile(dataFolder() / "ObjectMap.xml.partial 3", "");
    writeFile(dataFolder() / "ObjectMap.xml.partial 5", readFile(tableFile()));   // a copy not yet named
    writeFile(dataFolder() / "ObjectMap.xml.lock.4194305-1", lockLine);
    writeFile(dataFolder() / "ObjectMap.xml.lock.4194305-2", "mine");
    writeFile(dataFolder() / "ObjectMap.xml.lock.4194305-3", lockLine.substr(0, 10));   // ended as it wrote
    fs::create_hard_link(lock, dataFolder() / "ObjectMap.xml.lock.4194306-1");   // ended as it took the name
    writeFile(dataFolder() / "ObjectMap.xml.lock.12-1", lockLine);
    fs::create_symlink(home_ / "victim.txt", dataFolder() / "ObjectMap.xml.partial 2");
    const int waiting = ::open((dataFolder() / "ObjectMap.xml.lock.12-1").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(waiting, LOCK_EX | LOCK_NB), 0);
    table.addList(String("Mine"), ObjectMapType::dwg);
    EXPECT_TRUE(skellow::saveObjectMap(table));
    ::close(waiting);
    EXPECT_NE(readFile(tableFile()).find("sourceName=\"Mine\""), std::string::npos);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dataFolder())) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    // A passing file that holds what this run does not write may be a whole table or the user's: it stays.
    EXPECT_EQ(left, (std::vector<std::string>{"ObjectMap.xml", "ObjectMap.xml.lock.12-1",
                                              "ObjectMap.xml.lock.4194305-2", "ObjectMap.xml.partial",
                                              "ObjectMap.xml.partial 2"}));
    EXPECT_EQ(readFile(home_ / "victim.txt"), "mine");
}

// Every failed save is told: also one the host gave no table name for, and the conflict file's with all
// its names taken, which names them. A failure already told for the table is not told again.
TEST_F(ObjectMapFile, EveryFailedSaveIsToldOnce) {
    namespace fs = std::filesystem;
    const std::string after =
        "\nThe changes made now are used for this run, but they are not kept for the next one.";
    const std::string noName =
        "The host could not give the Skellowing add-on folder or the table file's name.";
    ObjectMap table;
    // A load without the table's name is told as a save without it is.
    host_->injectFault({host::HostSlot::getString, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_FALSE(skellow::loadObjectMap(table));
    host_->clearFaults();
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(host::recordedAlerts()[0].kind, host::kAlertError);
    EXPECT_EQ(host::recordedAlerts()[0].largeText, noName);
    host::clearRecordedAlerts();
    ASSERT_TRUE(skellow::loadObjectMap(table));
    host_->injectFault({host::HostSlot::getString, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_FALSE(skellow::saveObjectMap(table));
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(host::recordedAlerts()[0].largeText,
              "The file containing the object mapping table cannot be written - please check the "
              "permissions of the Skellowing add-on folder");
    EXPECT_EQ(host::recordedAlerts()[0].smallText, noName + after);

    // Two runs changed one mapping, and every name the later one's table could take is taken.
    ObjectMap earlier, later;
    ASSERT_TRUE(skellow::loadObjectMap(earlier));
    ASSERT_TRUE(skellow::loadObjectMap(later));
    earlier.addList(String("A"), ObjectMapType::ifc);
    later.addList(String("A"), ObjectMapType::ifc);
    earlier.findList(String("A"), ObjectMapType::ifc)
        ->add(std::make_unique<skellow::ObjectSpecification>(skellow::SourceKey{4, String("Lamp")}, false));
    later.findList(String("A"), ObjectMapType::ifc)
        ->add(std::make_unique<skellow::ObjectSpecification>(skellow::SourceKey{4, String("Lamp")}, false));
    later.findList(String("A"), ObjectMapType::ifc)->at(0).setTypedName(String("Lamp 2"));
    ASSERT_TRUE(skellow::saveObjectMap(earlier));
    fs::create_symlink("nowhere", dataFolder() / "ObjectMap conflict.xml");
    for (int n = 2; n <= 100; ++n)
        writeFile(dataFolder() / ("ObjectMap conflict " + std::to_string(n) + ".xml"), "other");
    host::clearRecordedAlerts();
    EXPECT_FALSE(skellow::saveObjectMap(later));
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(host::recordedAlerts()[0].smallText,
              "All the names this run's table could be kept under beside \"ObjectMap.xml\", \"ObjectMap "
              "conflict.xml\" to \"ObjectMap conflict 100.xml\", are taken in the folder \"" +
                  dataFolder().string() + "\" - please remove or move some of them." + after);

    // No table, and a folder where the lock goes: told as the command loads, not again as it saves, and
    // the command, which goes on, ends as one that did not keep what it was to keep.
    fs::remove_all(dataFolder());
    fs::create_directories(dataFolder() / "ObjectMap.xml.lock");
    host::clearRecordedAlerts();
    tarnwick::Host::takeFailure();
    ObjectMap unlocked;
    ASSERT_TRUE(skellow::loadObjectMap(unlocked));
    EXPECT_EQ(tarnwick::Host::takeFailure(), host::kErrFile);
    EXPECT_FALSE(skellow::saveObjectMap(unlocked));
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_NE(host::recordedAlerts()[0].smallText.find("a folder has its name."), std::string::npos);

    // A table link in a circle is no table yet, nor one: told as the command loads the table, which stops.
    fs::remove_all(dataFolder());
    fs::create_directories(dataFolder());
    fs::create_symlink("ObjectMap.xml", tableFile());
    host::clearRecordedAlerts();
    ObjectMap circle;
    EXPECT_FALSE(skellow::loadObjectMap(circle));
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(
        host::recordedAlerts()[0].largeText,
        "\"" + tableFile().string() +
            "\" is a link that leads round in a circle, or through too many links, to no file: the object "
            "mapping table is never read from it or saved over it - please make the link lead to a file. "
            "Nothing was skellowed.");
    EXPECT_TRUE(fs::is_symlink(tableFile()));
}

}   // namespace

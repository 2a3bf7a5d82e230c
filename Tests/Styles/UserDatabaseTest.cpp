#include "Styles/UserDatabase.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/TracedException.h"
#include "Foundation/XMLReader.h"
#include "Styles/UniqueName.h"
#include "Styles/UserDatabaseCollection.h"
#include "Support/DrawingFixture.h"
#include "TestStyles.h"

using tarnwick::DataBufferIn;
using tarnwick::DataBufferOut;
using tarnwick::Guid;
using tarnwick::String;
using tarnwick::UniqueName;

namespace {

std::shared_ptr<TestStyle> style(const char* name, int number = 0, bool deleted = false,
                                 std::string_view type = "wallStyle") {
    auto record = std::make_shared<TestStyle>(type);
    record->name = name;
    record->number = number;
    record->deleted = deleted;
    return record;
}

std::string nameOf(const TestStyleDatabase& database, const Guid& key) {
    const auto record = database.findRecord(key);
    return record ? std::string(record->getName().getView()) : std::string("<none>");
}

// A file of the database's own, written and read through a collection as the dialogs do.
std::string written(TestStyleDatabase& database, const TestStyleDatabase::FilterList& filters = {}) {
    String text;
    DataBufferOut out;
    out.open(text);
    tarnwick::UserDatabaseCollection collection;
    database.createProxy(collection, /*copy=*/false, filters);
    EXPECT_TRUE(collection.write(out));
    out.close();
    return std::string(text.getView());
}

// Reads into a copy and takes its records only when the whole file was read.
bool readFile(TestStyleDatabase& database, DataBufferIn& in, String& error,
              const TestStyleDatabase::FilterList& filters = {}) {
    tarnwick::UserDatabaseCollection collection;
    database.createProxy(collection, /*copy=*/true, filters);
    if (!collection.read(in, error)) return false;
    const auto read = collection.takePackage(database.getPackageCode());
    database.merge(*read);
    database.setCurrentKey(static_cast<const TestStyleDatabase&>(*read).getCurrentKey());
    return true;
}

class RejectAll : public TestStyleDatabase::Filter {
public:
    bool passes(const Guid&, const TestStyle&) const override { return false; }
};

class KeepNumbered : public TestStyleDatabase::Filter {
public:
    bool passes(const Guid&, const TestStyle& record) const override { return record.number != 0; }
};

}   // namespace

TEST(UniqueName, TakesTheNextFreeNumberAfterTheLargestAndNeverClashes) {
    struct Case {
        const char* wanted;
        std::vector<const char*> names;
        const char* expected;
    };
    const Case cases[] = {
        {"Door Style", {"Door Style"}, "Door Style1"},
        {"Wall 07", {"Wall 07"}, "Wall 08"},   // at the wanted name's width
        {"Wall 07", {"Wall 07", "Wall 09"}, "Wall 10"},
        {"Wall 07", {"Wall 07", "Wall 9"}, "Wall 10"},   // the rest is padded to the width first
        {"Untitled", {"Untitled", "Untitled3"}, "Untitled4"},
        {"Untitled", {"Untitled"}, "Untitled1"},
        {"007", {"007", "12", "abc"}, "13"},
        {"Free", {"Taken"}, "Free"},
        {"door style", {"Door Style"}, "door style"},     // names compare exactly
        {"A", {"A", "A4294967295"}, "A4294967296"},       // past 32 bits
        {"A", {"A", "A99999999999999999999999"}, "A1"},   // past 64 bits: not a number
        {"A", {"A", "A18446744073709551615"}, "A1"},      // the next number would wrap
        {"A", {"A", "A18446744073709551615", "A1", "A2"}, "A3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wanted);
        UniqueName search{String(c.wanted)};
        for (const char* name : c.names) search.add(String(name));
        EXPECT_EQ(std::string(search.result().getView()), c.expected);
    }
}

class UserDatabaseTest : public DrawingFixture {
protected:
    TestStyleDatabase database;
};

TEST_F(UserDatabaseTest, PutFollowsTheRuleForNewChangedAndUnchangedRecords) {
    const Guid first = Guid::generate(), second = Guid::generate();
    database.put({first, style("Brick", 1)});
    database.put({second, style("Brick", 2)});   // a new key under a held name is renamed
    EXPECT_EQ(nameOf(database, first), "Brick");
    EXPECT_EQ(nameOf(database, second), "Brick1");

    const auto kept = database.findRecord(first);
    database.put({first, style("Brick", 1)});   // does not differ: the stored record stays
    EXPECT_EQ(database.findRecord(first), kept);

    database.put({first, style("Brick1", 5)});   // differs: replaced, the incoming name kept as it is
    EXPECT_EQ(database.findRecord(first)->number, 5);
    EXPECT_EQ(nameOf(database, first), "Brick1");
    EXPECT_EQ(nameOf(database, second), "Brick1");

    database.put({Guid(), style("Ignored")});   // an invalid key and an empty record are ignored
    database.put({Guid::generate(), nullptr});
    EXPECT_EQ(database.size(), 2u);

    const Guid empty = Guid::generate();   // an empty entry counts as absent
    database.insert({empty, style("Stone")});
    database.replaceAt(database.find(empty), nullptr);
    database.put({empty, style("Stone", 3)});
    EXPECT_EQ(database.findRecord(empty)->number, 3);
}

TEST_F(UserDatabaseTest, CreatedRecordsGetUniqueNamesAndADeletedHolderGivesItsNameUp) {
    const Guid untitled = database.createRecord(Guid(), String(), Guid());
    database.createRecord(Guid(), "Untitled3", Guid());
    const Guid next = database.createRecord(Guid(), String(), Guid());
    EXPECT_EQ(nameOf(database, untitled), "Untitled");
    EXPECT_EQ(nameOf(database, next), "Untitled4");

    const Guid copy = database.createRecord(untitled, "ignored", Guid());   // named after its source
    EXPECT_EQ(nameOf(database, copy), "Untitled5");

    const Guid old = database.createRecord(Guid(), "Render", Guid());
    database.markRecord(old, true);
    const Guid fresh = database.createRecord(Guid(), "Render", Guid());
    EXPECT_EQ(nameOf(database, fresh), "Render");
    EXPECT_EQ(nameOf(database, old), "Render1");

    // A stored record checked again keeps its name; a live holder keeps it too.
    database.ensureUniqueName(database.findRecord(fresh));
    EXPECT_EQ(nameOf(database, fresh), "Render");
    const Guid live = database.createRecord(Guid(), "Render", Guid());
    EXPECT_EQ(nameOf(database, live), "Render2");
    EXPECT_EQ(nameOf(database, fresh), "Render");

    // Stored data holding a name twice, a deleted holder first in key order: the live one keeps it.
    const Guid low(String("{00000000-0000-0000-0000-000000000001}"));
    const Guid high(String("{FFFFFFFF-0000-0000-0000-000000000001}"));
    database.put({low, style("Oak", 0, /*deleted=*/true)});
    database.put({high, style("Elm")});
    database.findRecord(high)->name = "Oak";
    const Guid oak = database.createRecord(Guid(), "Oak", Guid());
    EXPECT_EQ(nameOf(database, oak), "Oak1");
    EXPECT_EQ(nameOf(database, low), "Oak");
    EXPECT_EQ(nameOf(database, high), "Oak");

    // Created under a key that holds a record: that record still counts when the name is chosen.
    EXPECT_EQ(database.createRecord(Guid(), "Oak1", oak), oak);
    EXPECT_EQ(nameOf(database, oak), "Oak2");
}

TEST_F(UserDatabaseTest, OnlyTheCreatingLookupMakesAMissingPlaceholder) {
    const Guid key = Guid::generate();
    EXPECT_EQ(database.findRecord(key), nullptr);
    EXPECT_EQ(database.size(), 0u);

    const auto placeholder = database.findOrCreateRecord(key);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(std::string(placeholder->getName().getView()), "Missing ");
    EXPECT_TRUE(placeholder->deleted);
    EXPECT_TRUE(placeholder->modifiedSet);
    EXPECT_EQ(database.findRecord(key, /*skipDeleted=*/true), nullptr);
    EXPECT_EQ(database.findOrCreateRecord(Guid()), nullptr);
}

TEST_F(UserDatabaseTest, CreatingWithoutARegisteredTypeThrowsAndChangesNothing) {
    TestStyleDatabase::typesRegistered = false;
    try {
        database.createRecord(Guid(), "Any", Guid());
        ADD_FAILURE() << "no exception";
    } catch (const tarnwick::TracedException& error) {
        EXPECT_EQ(std::string(error.getKind().getView()), "bad_alloc");
        const std::string place(error.getPlace().getView());
        EXPECT_TRUE(place.ends_with("TestStyleDatabase::RecordList::newEmptyRecord")) << place;
    }
    TestStyleDatabase::typesRegistered = true;
    EXPECT_EQ(database.size(), 0u);
}

TEST_F(UserDatabaseTest, EntriesAreSortedByNameIgnoringCaseAndCopiesShareOrCloneRecords) {
    database.put({Guid::generate(), style("beta")});
    database.put({Guid::generate(), style("Alpha")});
    database.put({Guid::generate(), style("Gamma", 7)});
    std::vector<std::string> names;
    for (const auto& [key, record] : database.entries()) names.emplace_back(record->getName().getView());
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Gamma"}));

    const auto shared = std::unique_ptr<tarnwick::XMLAssembly>(database.clone());
    auto& sharing = static_cast<TestStyleDatabase&>(*shared);
    EXPECT_EQ(sharing.findRecord(database.begin()->first), database.begin()->second);

    const auto filtered = database.copyFiltered(std::make_shared<KeepNumbered>());
    ASSERT_EQ(filtered->size(), 1u);
    EXPECT_EQ(filtered->begin()->second->number, 7);
    EXPECT_NE(filtered->begin()->second, database.findRecord(filtered->begin()->first));
}

TEST_F(UserDatabaseTest, MergeTakesTheOtherDatabasesRecordsByThePutRule) {
    const Guid key = Guid::generate();
    database.put({key, style("Oak", 1)});
    TestStyleDatabase other;
    other.put({key, style("Oak", 2)});
    other.put({Guid::generate(), style("Oak", 3)});
    database.merge(other);
    EXPECT_EQ(database.size(), 2u);
    EXPECT_EQ(database.findRecord(key)->number, 2);
    std::vector<std::string> all;
    for (const auto& [k, record] : database.entries()) all.emplace_back(record->getName().getView());
    EXPECT_EQ(all, (std::vector<std::string>{"Oak", "Oak1"}));
}

TEST_F(UserDatabaseTest, AFileIsReadBackExactlyAsWritten) {
    const Guid current = database.createRecord(Guid(), "Plaster & <Lime>", Guid());
    database.put({Guid::generate(), style("Glass", 4, true, "doorStyle")});
    database.setCurrentKey(current);
    const std::string text = written(database);
    EXPECT_NE(text.find("<tarnwickPresets>"), std::string::npos);
    EXPECT_NE(text.find("<default>" + std::string(current.toString().getView()) + "</default>"),
              std::string::npos);

    TestStyleDatabase read;
    DataBufferIn in(std::string_view(text), 7);
    String error;
    ASSERT_TRUE(readFile(read, in, error)) << error;
    EXPECT_EQ(read.getCurrentKey(), current);
    EXPECT_EQ(written(read), text);
}

TEST_F(UserDatabaseTest, FiltersDecideWhatIsWrittenAndWhatIsRead) {
    database.put({Guid::generate(), style("Plain")});
    database.put({Guid::generate(), style("Numbered", 2)});
    const std::string none = written(database, {std::make_shared<RejectAll>()});
    EXPECT_NE(none.find("<records/>"), std::string::npos);
    EXPECT_EQ(none.find("Plain"), std::string::npos);

    const std::string all = written(database);
    TestStyleDatabase read;
    DataBufferIn in{std::string_view(all)};
    String error;
    ASSERT_TRUE(readFile(read, in, error, {std::make_shared<KeepNumbered>()}));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(std::string(read.begin()->second->getName().getView()), "Numbered");
}

TEST_F(UserDatabaseTest, APackageKeepsTheFirstRecordOfAKeyAndSkipsUnknownTypes) {
    const std::string key = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    const std::string xml =
        "<presetDatabase><records>"
        "<wallStyle key=\"" +
        key +
        "\" name=\"First\"/>"
        "<wallStyle key=\"" +
        key +
        "\" name=\"Second\"/>"
        "<roofStyle key=\"{00000000-0000-0000-0000-000000000001}\" name=\"Roof\"><x/></roofStyle>"
        "</records></presetDatabase>";
    DataBufferIn in{std::string_view(xml)};
    tarnwick::XMLReader reader(in);
    ASSERT_TRUE(reader.read(database));
    ASSERT_EQ(database.size(), 1u);
    EXPECT_EQ(nameOf(database, Guid(String(key.c_str()))), "First");
}

TEST_F(UserDatabaseTest, AMalformedFileIsRefusedWithWhereItBrokeAndChangesNothing) {
    const Guid key = Guid::generate();
    database.put({key, style("Kept", 1)});
    const std::string inputs[] = {
        "<tarnwickPresets>\n<presetDatabase><records>\n<wallStyle "
        "key=\"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}\" "
        "name=\"New\"/>\n<wallStyle key=\"nonsense\" "
        "name=\"Bad\"/></records></presetDatabase></tarnwickPresets>",
        "<tarnwickPresets>\n<presetDatabase><records>\n<wallStyle "
        "key=\"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}\" "
        "name=\"New\"><number>3</numbr></wallStyle>\n</records></presetDatabase></tarnwickPresets>",
        "<tarnwickPresets>\n<presetDatabase><records>\n<wallStyle "
        "key=\"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}\" "
        "name=\"New\"/>\n",
    };
    for (const std::string& text : inputs) {
        SCOPED_TRACE(text);
        DataBufferIn in{std::string_view(text)};
        String error;
        EXPECT_FALSE(readFile(database, in, error));
        EXPECT_TRUE(error.getView().starts_with("line ")) << error;
        EXPECT_NE(error.getView().find(", column "), std::string_view::npos) << error;
        EXPECT_EQ(database.size(), 1u);
        EXPECT_EQ(nameOf(database, key), "Kept");
    }
}

#include "Styles/PresetDatabase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Environment/Addon.h"
#include "Environment/PackageStore.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/StringParameter.h"
#include "Styles/DeletedDatabase.h"
#include "Styles/UserDatabaseCollection.h"
#include "Support/DrawingFixture.h"
#include "TestPresets.h"

using tarnwick::DataBufferIn;
using tarnwick::DataBufferOut;
using tarnwick::DeletedDatabase;
using tarnwick::Guid;
using tarnwick::PresetDatabase;
using tarnwick::String;
using tarnwick::UserDatabaseCollection;

namespace {

class TestAddon : public tarnwick::Addon {
public:
    TestAddon() : Addon(32701) {}
};

std::string nameOf(const PresetDatabase& database, const Guid& key) {
    const auto record = database.findRecord(key);
    return record ? std::string(record->getName().getView()) : std::string("<none>");
}

std::vector<std::string> values(const tarnwick::Parameter& parameter) {
    std::vector<std::string> texts;
    for (std::uint64_t row = 0; row < parameter.getRowCount(); ++row)
        texts.emplace_back(parameter.getText(row, 0).getView());
    return texts;
}

class OnlyNumbered : public PresetDatabase::Filter {
public:
    bool passes(const Guid&, const tarnwick::PresetRecord& record) const override {
        return static_cast<const TestPreset&>(record).number != 0;
    }
};

}   // namespace

class PresetDatabaseTest : public DrawingFixture {
protected:
    void TearDown() override {
        tarnwick::Addon::destroyInstance();
        PresetDatabase::clearTypes();
        DrawingFixture::TearDown();
    }
    PresetDatabase database;
};

TEST_F(PresetDatabaseTest, TheRegistryKeepsTheFirstRegistrationAndMakesRecordsOfTheCurrentType) {
    EXPECT_FALSE(PresetDatabase::findType("wallStyle", true));   // nothing registered
    EXPECT_EQ(PresetDatabase::newRecordOfType(String()), nullptr);
    EXPECT_EQ(PresetDatabase::getTypeFlags(String()), 0u);

    PresetDatabase::registerType(std::make_unique<TestPreset>("roofStyle"), String(), "RF", 1);   // no name
    PresetDatabase::registerType(nullptr, "Nothing", "NO", 1);
    EXPECT_FALSE(PresetDatabase::hasTypes());

    // Doors before walls: the first by type name is current until one is chosen.
    PresetDatabase::registerType(std::make_unique<TestPreset>("wallStyle"), "Wall", "WL", 2);
    PresetDatabase::registerType(std::make_unique<TestPreset>("doorStyle"), "Door", "DR", 1);
    PresetDatabase::registerType(std::make_unique<TestPreset>("doorStyle"), "Portal", "PO", 0);   // ignored
    EXPECT_EQ(std::string(PresetDatabase::newRecordOfType(String())->getTypeName().getView()), "doorStyle");
    EXPECT_EQ(PresetDatabase::getTypeFlags("doorStyle"), 1u);
    EXPECT_EQ(std::string(PresetDatabase::getDisplayNames().at("doorStyle").getView()), "Door");
    EXPECT_TRUE(PresetDatabase::findTypeOfKey("PO").isEmpty());

    EXPECT_TRUE(PresetDatabase::findType("Wall", /*byTypeName=*/false));
    EXPECT_EQ(PresetDatabase::getTypeFlags(String()), 2u);
    EXPECT_FALSE(PresetDatabase::findType("wallStyle", false));   // a type name is no display name
    EXPECT_FALSE(PresetDatabase::findType("Roof", false));
    EXPECT_EQ(std::string(PresetDatabase::getCurrentType().getView()), "wallStyle");

    const auto made = database.makeRecord("DR", "Oak");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(std::string(made->getTypeName().getView()), "doorStyle");
    EXPECT_EQ(std::string(made->getName().getView()), "Oak");
    EXPECT_EQ(database.size(), 0u);   // not stored
    EXPECT_EQ(database.makeRecord("XX", "Oak"), nullptr);

    // After the shut-down nothing of the old registration is used again.
    database.shutDown();
    EXPECT_EQ(PresetDatabase::newRecordOfType(String()), nullptr);
    EXPECT_TRUE(PresetDatabase::getCurrentType().isEmpty());
    EXPECT_TRUE(PresetDatabase::findTypeOfKey("WL").isEmpty());
}

TEST_F(PresetDatabaseTest, ATypesFlagsDecideWhereNamesAreUnique) {
    PresetDatabase::registerType(std::make_unique<TestPreset>("wallStyle"), "Wall", "WL", 1);
    PresetDatabase::registerType(std::make_unique<TestPreset>("doorStyle"), "Door", "DR", 2);
    PresetDatabase::registerType(std::make_unique<TestPreset>("roofStyle"), "Roof", "RF", 0);
    const Guid wall = Guid::generate(), door = Guid::generate(), secondWall = Guid::generate();
    database.put({wall, preset("Oak", "wallStyle")});
    database.put({door, preset("Oak", "doorStyle")});         // unique among all: Oak is a wall's
    database.put({secondWall, preset("Oak", "wallStyle")});   // unique among walls only
    EXPECT_EQ(nameOf(database, wall), "Oak");
    EXPECT_EQ(nameOf(database, door), "Oak1");
    EXPECT_EQ(nameOf(database, secondWall), "Oak1");

    const Guid roof = Guid::generate(), secondRoof = Guid::generate();
    database.put({roof, preset("Oak", "roofStyle")});
    database.put({secondRoof, preset("Oak", "roofStyle")});
    EXPECT_EQ(nameOf(database, roof), "Oak");   // names of this type may repeat
    EXPECT_EQ(nameOf(database, secondRoof), "Oak");
    // A put names by the record's own type, not the current one, whose names could repeat.
    PresetDatabase::findType("roofStyle", true);
    const Guid thirdWall = Guid::generate();
    database.put({thirdWall, preset("Oak", "wallStyle")});
    EXPECT_EQ(nameOf(database, thirdWall), "Oak2");

    // A deleted holder in the scope gives its name up; one outside it is no holder.
    PresetDatabase other;
    const Guid deletedWall = Guid::generate();
    other.put({deletedWall, preset("Pine", "wallStyle", /*deleted=*/true)});
    PresetDatabase::findType("wallStyle", true);
    const Guid freshWall = other.createRecord(Guid(), "Pine", Guid());
    EXPECT_EQ(nameOf(other, freshWall), "Pine");
    EXPECT_EQ(nameOf(other, deletedWall), "Pine1");
    PresetDatabase::findType("doorStyle", true);
    const Guid freshDoor = other.createRecord(Guid(), "Pine", Guid());   // unique among all: Pine is held
    EXPECT_EQ(nameOf(other, freshDoor), "Pine2");
}

TEST_F(PresetDatabaseTest, WithoutARegisteredTypeAPutOrMergeStoresTheRecordsAndOnlyCreatingThrows) {
    // After the shut-down (or before any registration) a merge still takes good records: a put makes
    // no record of its own, and a type that is not registered keeps no naming rule.
    const Guid first = Guid::generate(), second = Guid::generate(), merged = Guid::generate();
    ASSERT_FALSE(PresetDatabase::hasTypes());
    PresetDatabase other;
    EXPECT_NO_THROW(other.put({merged, preset("Oak", "wallStyle")}));
    EXPECT_NO_THROW(database.put({first, preset("Oak", "wallStyle")}));
    EXPECT_NO_THROW(database.insert({second, preset("Oak", "wallStyle")}));
    EXPECT_NO_THROW(database.merge(other));
    EXPECT_EQ(nameOf(database, first), "Oak");
    EXPECT_EQ(nameOf(database, second), "Oak");
    EXPECT_EQ(nameOf(database, merged), "Oak");
    EXPECT_THROW(database.createRecord(Guid(), "Elm", Guid()), tarnwick::TracedException);
    EXPECT_EQ(database.size(), 3u);
}

TEST_F(PresetDatabaseTest, ListNamesFillsAMenuParameterWithTheLiveStylesOfAType) {
    registerTestTypes();
    tarnwick::StringParameter menu("menu", "", 0, 1, 0, /*array=*/true);
    EXPECT_FALSE(database.listNames(menu, "wallStyle", nullptr));   // one empty value stays
    EXPECT_EQ(values(menu), std::vector<std::string>{""});

    database.put({Guid::generate(), preset("Pine", "wallStyle", false, 1)});
    database.put({Guid::generate(), preset("Beech", "wallStyle")});
    database.put({Guid::generate(), preset("Ash", "wallStyle", /*deleted=*/true)});
    database.put({Guid::generate(), preset("Door", "doorStyle")});
    EXPECT_TRUE(database.listNames(menu, "wallStyle", nullptr));
    EXPECT_EQ(values(menu), (std::vector<std::string>{"Beech", "Pine"}));
    EXPECT_FALSE(database.listNames(menu, "wallStyle", nullptr));   // nothing left to change

    const OnlyNumbered numbered;
    EXPECT_TRUE(database.listNames(menu, "wallStyle", &numbered));
    EXPECT_EQ(values(menu), std::vector<std::string>{"Pine"});

    // No names left: one empty value, not none at all.
    EXPECT_TRUE(database.listNames(menu, "roofStyle", nullptr));
    EXPECT_EQ(values(menu), std::vector<std::string>{""});
    tarnwick::StringParameter scalar("single", "", 0, 0, 0, /*array=*/false);
    scalar.setText("Old", 0, 0);
    EXPECT_TRUE(database.listNames(scalar, "roofStyle", nullptr));
    EXPECT_EQ(values(scalar), std::vector<std::string>{""});
}

TEST_F(PresetDatabaseTest, AStyleFileIsWrittenAndReadThroughACollection) {
    registerTestTypes();
    const Guid oak = Guid::generate();
    database.put({oak, preset("Oak", "wallStyle", false, 3)});
    database.put({Guid::generate(), preset("Glass", "doorStyle", true)});
    database.setCurrentKey(oak);

    String text;
    {
        UserDatabaseCollection collection;
        database.createProxy(collection, /*copy=*/false);
        EXPECT_EQ(collection.findPackage(PresetDatabase::kCode), nullptr);   // the database stays ours
        DataBufferOut out;
        out.open(text);
        ASSERT_TRUE(collection.write(out));
        out.close();
    }
    EXPECT_TRUE(text.getView().starts_with("<?xml")) << text;
    EXPECT_NE(text.getView().find("<tarnwickPresets>"), std::string::npos) << text;

    // Read into a copy of another database: the copy takes the file's records by the put rule.
    PresetDatabase target;
    target.put({Guid::generate(), preset("Oak", "wallStyle")});
    UserDatabaseCollection collection;
    target.createProxy(collection, /*copy=*/true);
    DataBufferIn in(text.getView(), 7);
    String error;
    ASSERT_TRUE(collection.read(in, error)) << error;
    EXPECT_EQ(target.size(), 1u);   // untouched
    const auto copy = collection.takePackage(PresetDatabase::kCode);
    ASSERT_NE(copy, nullptr);
    const auto& read = static_cast<const PresetDatabase&>(*copy);
    EXPECT_EQ(read.size(), 3u);
    EXPECT_EQ(nameOf(read, oak), "Oak1");
    EXPECT_EQ(read.getCurrentKey(), oak);

    const std::string broken = "<tarnwickPresets>\n<presetDatabase><records><wallStyle key=\"x\"/>";
    UserDatabaseCollection second;
    PresetDatabase().createProxy(second, true);
    DataBufferIn bad{std::string_view(broken)};
    EXPECT_FALSE(second.read(bad, error));
    EXPECT_TRUE(error.getView().starts_with("line 2, column ")) << error;
}

TEST_F(PresetDatabaseTest, ACollectionHandsItsPackagesToTheProject) {
    registerTestTypes();
    {
        UserDatabaseCollection collection;
        database.put({Guid::generate(), preset("Oak")});
        database.createProxy(collection, /*copy=*/true);
        DeletedDatabase().createProxy(collection, true);
        EXPECT_TRUE(collection.moveToProject());
        EXPECT_EQ(collection.findPackage(PresetDatabase::kCode), nullptr);
    }
    const auto* moved = dynamic_cast<PresetDatabase*>(project().getPackage(PresetDatabase::kCode));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->size(), 1u);
    EXPECT_NE(project().getPackage(DeletedDatabase::kCode), nullptr);
}

TEST_F(PresetDatabaseTest, TheFirstRegistrationFilesOneStyleDatabaseInTheProject) {
    tarnwick::Addon::setInstance(std::make_unique<TestAddon>());
    EXPECT_EQ(project().getPackage(PresetDatabase::kCode), nullptr);
    registerTestTypes();
    auto* filed = dynamic_cast<PresetDatabase*>(project().getPackage(PresetDatabase::kCode));
    ASSERT_NE(filed, nullptr);
    filed->put({Guid::generate(), preset("Kept")});
    PresetDatabase::registerType(std::make_unique<TestPreset>("roofStyle"), "Roof", "RF", 1);
    EXPECT_EQ(project().getPackage(PresetDatabase::kCode), filed);
    EXPECT_EQ(filed->size(), 1u);
}

TEST_F(PresetDatabaseTest, DeletedRecordsStayDeletedRecordsWhateverTypesAreRegistered) {
    DeletedDatabase deleted;
    const Guid first = deleted.createDeletedRecord(Guid(), Guid());
    const Guid second = deleted.createDeletedRecord(first, Guid());   // a copy is renamed too
    deleted.findRecord(first)->setPackageCode(PresetDatabase::kCode);
    deleted.findRecord(second)->setPackageCode(PresetDatabase::kCode);
    const Guid other = deleted.createRecord(Guid(), "apple", Guid());
    deleted.findRecord(other)->setPackageCode(host::fourcc("OTHR"));
    EXPECT_EQ(std::string(deleted.findRecord(second)->getName().getView()), "Deleted1");

    deleted.findRecord(first)->setName("beta");
    deleted.findRecord(second)->setName("Alpha");
    std::vector<std::string> names;
    for (const auto& [key, record] : deleted.recordsOfPackage(PresetDatabase::kCode))
        names.emplace_back(record->getName().getView());
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta"}));
    EXPECT_TRUE(deleted.recordsOfPackage(host::fourcc("NONE")).empty());

    String text;
    {
        UserDatabaseCollection collection;
        deleted.createProxy(collection, false);
        DataBufferOut out;
        out.open(text);
        ASSERT_TRUE(collection.write(out));
        out.close();
    }
    EXPECT_NE(text.getView().find("<deletedRecords>"), std::string::npos) << text;
    EXPECT_NE(text.getView().find("package=\"PSET\""), std::string::npos) << text;
    UserDatabaseCollection collection;
    DeletedDatabase().createProxy(collection, true);
    DataBufferIn in(text.getView());
    String error;
    ASSERT_TRUE(collection.read(in, error)) << error;   // no style type is registered
    const auto read = collection.takePackage(DeletedDatabase::kCode);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(static_cast<DeletedDatabase&>(*read).recordsOfPackage(PresetDatabase::kCode).size(), 2u);
}

TEST_F(PresetDatabaseTest, ADatabaseHeldByTheTemplateReachesTheVisitorAsItsOwnKind) {
    struct Seen final : PresetDatabase::Visitor, DeletedDatabase::Visitor {
        void visit(PresetDatabase& database) override { styles = &database; }
        void visit(DeletedDatabase& database) override { deleted = &database; }
        PresetDatabase* styles = nullptr;
        DeletedDatabase* deleted = nullptr;
    } seen;
    DeletedDatabase removed;
    tarnwick::UserDatabase<tarnwick::PresetRecord, PresetDatabase>& asStyles = database;
    tarnwick::UserDatabase<tarnwick::DeletedRecord, DeletedDatabase>& asDeleted = removed;
    asStyles.dispatchTo(seen);
    asDeleted.dispatchTo(seen);
    EXPECT_EQ(seen.styles, &database);
    EXPECT_EQ(seen.deleted, &removed);
}

// The style databases while the host has no project open.
#include <gtest/gtest.h>

#include "Environment/Host.h"
#include "Styles/DeletedDatabase.h"
#include "Styles/PresetDatabase.h"
#include "Styles/UserDatabaseCollection.h"
#include "Support/DrawingFixture.h"
#include "TestPresets.h"

namespace {

using tarnwick::DeletedDatabase;
using tarnwick::PresetDatabase;
using tarnwick::UserDatabaseCollection;

class NoOpenProjectTest : public DrawingFixture {
protected:
    void TearDown() override {
        PresetDatabase::clearTypes();
        DrawingFixture::TearDown();
    }
};

TEST_F(NoOpenProjectTest, ACollectionOnlyLetsGoOfItsPackages) {
    registerTestTypes();
    UserDatabaseCollection collection;
    PresetDatabase styles;
    styles.put({tarnwick::Guid::generate(), preset("Oak")});
    styles.createProxy(collection, /*copy=*/true);
    DeletedDatabase().createProxy(collection, true);
    host_->closeProject();
    tarnwick::Host::reset();   // what the add-on does when it hears of the closing
    EXPECT_FALSE(collection.moveToProject());
    EXPECT_EQ(collection.findPackage(PresetDatabase::kCode), nullptr);
    EXPECT_EQ(collection.findPackage(DeletedDatabase::kCode), nullptr);

    host_->openProject();
    tarnwick::Host::reset();
    EXPECT_EQ(project().getPackage(PresetDatabase::kCode), nullptr) << "nothing was kept for later";
    EXPECT_EQ(project().getPackage(DeletedDatabase::kCode), nullptr);
}

}   // namespace

// The project's settings in the simulated host: working units, location and notes, through the
// environment codes and the project file.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "Host/SimProjectFixture.h"

namespace {

constexpr const char* kProject = R"({
  "settings": {"lengthUnit": 5,
               "location": {"longitude": -0.1275, "latitude": 51.5072, "north": 0.5, "timeZone": -300},
               "notes": {"projectName": "Tower", "city": "London", "architect": "Ada \u00e9"}}
})";

class SimSettingsTest : public SimProjectFixture {
protected:
    void SetUp() override {
        SimProjectFixture::SetUp();
        open(kProject);
    }
    host::Result changeLocation(const host::LocationRecord& record) {
        return environment("CPLA", const_cast<host::LocationRecord*>(&record));
    }
};

TEST_F(SimSettingsTest, GivesTheUnitsLocationAndNotesOfTheProjectFile) {
    host::UnitPreferencesRecord units{};
    units.lengthUnit = -1;
    ASSERT_EQ(environment("GPRF", &units, reinterpret_cast<void*>(host::kPreferencesUnits)), host::kNoError);
    EXPECT_EQ(units.lengthUnit, host::kLengthUnitFeetDecimalInches);
    EXPECT_EQ(environment("GPRF", &units, reinterpret_cast<void*>(std::uintptr_t{1})),
              host::kErrBadParameters)
        << "the host has the working units only";

    host::LocationRecord location;
    std::memset(&location, 0x5A, sizeof location);
    ASSERT_EQ(environment("GPLA", &location), host::kNoError);
    EXPECT_DOUBLE_EQ(location.longitude, -0.1275);
    EXPECT_DOUBLE_EQ(location.latitude, 51.5072);
    EXPECT_DOUBLE_EQ(location.north, 0.5);
    EXPECT_EQ(location.timeZone, -300);
    EXPECT_EQ(location.reserved32[0], 0) << "the record is zeroed first";

    auto notes = std::make_unique<host::ProjectNotesRecord>();
    std::memset(notes.get(), 0x5A, sizeof *notes);
    ASSERT_EQ(environment("GPRN", notes.get()), host::kNoError);
    EXPECT_STREQ(notes->projectName, "Tower");
    EXPECT_STREQ(notes->city, "London");
    EXPECT_STREQ(notes->postcode, "");
    EXPECT_STREQ(notes->architect, "Ada \xC3\xA9");
    EXPECT_EQ(notes->reserved2048[0], 0);
}

TEST_F(SimSettingsTest, ChangesTheLocationOnlyInsideACommandAndUndoesIt) {
    host::LocationRecord location{};
    ASSERT_EQ(environment("GPLA", &location), host::kNoError);
    location.north = 2.0;
    location.timeZone = 60;
    EXPECT_EQ(changeLocation(location), host::kErrOutsideUndoScope);
    EXPECT_DOUBLE_EQ(project().state.settings.location.north, 0.5);

    ASSERT_EQ(inCommand([&] { return changeLocation(location); }), host::kNoError);
    EXPECT_EQ(project().state.settings.location, (host::SimLocation{-0.1275, 51.5072, 2.0, 60}));
    ASSERT_TRUE(host_->undo());
    EXPECT_DOUBLE_EQ(project().state.settings.location.north, 0.5);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, double> refused[] = {{181, 0}, {-180.5, 0}, {0, 90.01}, {0, -91}, {nan, 0}};
    for (const auto& [longitude, latitude] : refused) {
        SCOPED_TRACE(longitude);
        SCOPED_TRACE(latitude);
        host::LocationRecord bad = location;
        bad.longitude = longitude;
        bad.latitude = latitude;
        EXPECT_EQ(inCommand([&] { return changeLocation(bad); }), host::kErrBadParameters);
    }
    location.north = std::numeric_limits<double>::infinity();
    EXPECT_EQ(inCommand([&] { return changeLocation(location); }), host::kErrBadParameters);
    EXPECT_DOUBLE_EQ(project().state.settings.location.north, 0.5);
}

TEST(SimSettings, RoundTripsThroughTheProjectFileAndLeavesDefaultsOut) {
    host::SimProject plain;
    EXPECT_EQ(plain.saveText().find("\"settings\""), std::string::npos) << "older files save as they were";

    host::SimProject project;
    project.state.settings.lengthUnit = host::kLengthUnitDecimalInches;
    project.state.settings.location = {179.5, -89.25, -1.25, 330};
    project.state.settings.city = std::string(host::kProjectNoteBytes, 'c');   // a full field
    project.state.settings.postcode = "1011";
    host::SimProject loaded;
    std::string error;
    ASSERT_TRUE(loaded.loadText(project.saveText(), error)) << error;
    EXPECT_EQ(loaded.state.settings, project.state.settings);
    EXPECT_EQ(loaded.saveText(), project.saveText());
}

TEST(SimSettings, RefusesBadSettingsInTheProjectFile) {
    const std::string tooLong(host::kProjectNoteBytes + 1, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {R"({"settings": []})", "settings: not an object"},
        {R"({"settings": {"units": 1}})", "settings: unknown key \"units\""},
        {R"({"settings": {"lengthUnit": 9}})", "settings: \"lengthUnit\" must be 0 to 8"},
        {R"({"settings": {"lengthUnit": -1}})", "settings: \"lengthUnit\" must be 0 to 8"},
        {R"({"settings": {"location": {"latitude": 90.5}}})",
         "settings.location: the longitude must be -180 to 180 and the latitude -90 to 90"},
        {R"({"settings": {"location": {"timeZone": 40000}}})",
         "settings.location: \"timeZone\" must be a whole number that fits its field"},
        {R"({"settings": {"location": {"north": "up"}}})", "settings.location: \"north\" has the wrong type"},
        {R"({"settings": {"notes": {"client": "x"}}})", "settings.notes: unknown key \"client\""},
        {R"({"settings": {"notes": {"city": "a\u0000b"}}})",
         "settings.notes: \"city\" holds a NUL character"},
        {R"({"settings": {"notes": {"city": ")" + tooLong + R"("}}})",
         "settings.notes: \"city\" is longer than 256 bytes"},
    };
    for (const auto& [json, message] : cases) {
        SCOPED_TRACE(json);
        host::SimProject project;
        project.state.settings.city = "Kept";
        std::string error;
        EXPECT_FALSE(project.loadText(json, error));
        EXPECT_EQ(error, message);
        EXPECT_EQ(project.state.settings.city, "Kept");
    }
}

}   // namespace

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <SimProject.h>

namespace {

TEST(SimModelView, KeepsTheThreeDProjectionInTheProjectFile) {
    host::SimProject plain;
    EXPECT_EQ(plain.saveText().find("\"view3D\""), std::string::npos) << "the default is left out";

    host::SimProject project;
    project.view.projection3D.perspective = false;
    project.view.projection3D.matrix[3] = 2.5;
    project.view.projection3D.camera[6] = 0.75;
    host::SimProject loaded;
    std::string error;
    ASSERT_TRUE(loaded.loadText(project.saveText(), error)) << error;
    EXPECT_EQ(loaded.view.projection3D, project.view.projection3D);
    EXPECT_EQ(loaded.saveText(), project.saveText());
}

TEST(SimModelView, RefusesABadProjectionInTheProjectFile) {
    const std::string bad =
        "view3D: the camera must look from a point to another with a view angle between 0 "
        "and pi, and every value must be finite";
    const std::pair<std::string, std::string> cases[] = {
        {R"({"view3D": []})", "view3D: not an object"},
        {R"({"view3D": {"zoom": 1}})", "view3D: unknown key \"zoom\""},
        {R"({"view3D": {"perspective": 1}})", "view3D: \"perspective\" must be true or false"},
        {R"({"view3D": {"camera": [0, 0, 0]}})", "view3D: \"camera\" must be a list of 8 numbers"},
        {R"({"view3D": {"matrix": [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "x"]}})",
         "view3D: \"matrix\" must hold numbers only"},
        {R"({"view3D": {"camera": [1, 1, 1, 1, 1, 1, 1, 0]}})", bad},
        {R"({"view3D": {"camera": [0, 0, 0, 1, 1, 1, 3.5, 0]}})", bad},
    };
    for (const auto& [json, message] : cases) {
        SCOPED_TRACE(json);
        host::SimProject project;
        project.view.projection3D.perspective = false;
        std::string error;
        EXPECT_FALSE(project.loadText(json, error));
        EXPECT_EQ(error, message);
        EXPECT_FALSE(project.view.projection3D.perspective);
    }
}

}   // namespace

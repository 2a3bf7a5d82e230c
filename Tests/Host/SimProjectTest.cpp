#include <SimProject.h>

#include "Host/HostTestSupport.h"

namespace {

host::SimProject sampleProject() {
    host::SimProject project;
    project.name = "Villa Ünter";
    project.state.suspendGroups = true;
    project.state.moduleData[{"Skellowing", "prefs"}] = {
        3, host::kPlatformSignWindows, {'<', 'a', '>', 0xC3, 0xA9, '<', '/', 'a', '>'}};
    project.state.moduleData[{"Other", ""}] = {
        1, host::kPlatformSignMac, {0x00, 0xFF, 0x10, 0x80}};   // binary
    project.state.moduleData[{"Other", "empty"}] = {0, 0, {}};
    return project;
}

// Loading `json` over the sample project fails and changes nothing; the error message is returned.
std::string refusedOverSample(const std::string& json) {
    host::SimProject project = sampleProject();
    std::string error;
    EXPECT_FALSE(project.loadText(json, error));
    EXPECT_EQ(project.state, sampleProject().state);
    return error;
}

TEST(SimProject, RoundTripsThroughItsJsonFile) {
    HostScratch scratch;
    const host::SimProject original = sampleProject();
    std::string error;
    ASSERT_TRUE(original.saveFile(scratch.file("p.json"), error)) << error;

    host::SimProject loaded;
    ASSERT_TRUE(loaded.loadFile(scratch.file("p.json"), error)) << error;
    EXPECT_EQ(loaded.name, original.name);
    EXPECT_EQ(loaded.state, original.state);
    EXPECT_EQ(loaded.saveText(), readFile(scratch.file("p.json")));   // load, save, load gives the same

    // Text that is plain UTF-8 stays readable in the file; other bytes go as base64.
    const std::string text = loaded.saveText();
    EXPECT_NE(text.find("\"text\":\"<a>\xC3\xA9</a>\""), std::string::npos);
    EXPECT_NE(text.find("\"base64\":\"AP8QgA==\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(scratch.file("p.json.partial")));
}

TEST(SimProject, WritesAProjectLargerThanItReadsAndSaysThatItCannotBeOpenedAgain) {
    HostScratch scratch;
    const host::SimProject project = sampleProject();
    const std::string text = project.saveText();
    const std::string path = scratch.file("p.json");
    std::string error;
    std::string tooLarge = "stale";
    ASSERT_TRUE(project.saveFile(path, error, tooLarge, text.size())) << error;
    EXPECT_EQ(tooLarge, "");   // as large as it may be
    ASSERT_TRUE(project.saveFile(path, error, tooLarge, text.size() - 1)) << error;
    EXPECT_EQ(tooLarge, path + ": is written, but its " + std::to_string(text.size()) +
                            " bytes are more than the " + std::to_string(text.size() - 1) +
                            " bytes this host reads: it cannot be opened again");
    EXPECT_EQ(readFile(path), text);   // the run's result is kept whole
    EXPECT_EQ(host::sizeLimitText(host::kMaxInputFileBytes), "1 GiB");
    EXPECT_EQ(host::sizeLimitText(std::uintmax_t{256} << 20), "256 MiB");
}

TEST(SimProject, DecodesEveryBase64Length) {
    for (std::size_t size = 0; size < 8; ++size) {
        SCOPED_TRACE(size);
        host::SimProject project;
        std::vector<unsigned char> bytes;
        for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<unsigned char>(0xF0 + i));
        project.state.moduleData[{"A", "b"}] = {1, 2, bytes};
        host::SimProject loaded;
        std::string error;
        ASSERT_TRUE(loaded.loadText(project.saveText(), error)) << error;
        EXPECT_EQ(loaded.state.moduleData.at({"A", "b"}).bytes, bytes);
    }
}

TEST(SimProject, RejectsBadProjectsAndKeepsWhatItHad) {
    const std::pair<const char*, const char*> cases[] = {
        {"{",
         "not valid JSON at line 1, column 2: syntax error while parsing object key - unexpected end of "
         "input; expected string literal"},
        {"{\n  \"name\": \"a\",\n  \"x\" 1\n}",
         "not valid JSON at line 3, column 7: syntax error while parsing "
         "object separator - unexpected number literal; expected ':'"},
        {"[]", "the project must be a JSON object"},
        {R"({"nmae": "x"})", "project: unknown key \"nmae\""},
        {R"({"format": "other"})", "project: \"format\" must be \"skellow-host project\""},
        {R"({"version": 2})", "project: version 2 is not known; this host reads 1"},
        {R"({"name": 5})", "project: \"name\" has the wrong type"},
        {R"({"suspendGroups": "yes"})", "project: \"suspendGroups\" has the wrong type"},
        {R"({"moduleData": {}})", "project: \"moduleData\" must be a list"},
        {R"({"moduleData": [{"addon": "A", "name": "b", "version": 1, "platformSign": 1}]})",
         "moduleData[0]: needs either \"text\" or \"base64\""},
        {R"({"moduleData": [{"addon": "A", "name": "b", "version": 1, "platformSign": 70000, "text": ""}]})",
         "moduleData[0]: \"platformSign\" must be 0 to 65535"},
        {R"({"moduleData": [{"addon": "A", "name": "b", "version": 1, "platformSign": 1, "base64": "abc"}]})",
         "moduleData[0]: \"base64\" is not base64 (length)"},
        {R"({"moduleData": [{"addon": "A", "name": "b", "version": 1, "platformSign": 1, "base64": "a=bc"}]})",
         "moduleData[0]: \"base64\" is not base64"},
        {R"({"moduleData": [{"addon": "A", "name": "b", "version": 1, "platformSign": 1, "text": ""},
                            {"addon": "A", "name": "b", "version": 1, "platformSign": 1, "text": ""}]})",
         "moduleData[1]: \"A\" already has module data named \"b\""},
        {R"({"moduleData": [{"name": "b", "version": 1, "platformSign": 1, "text": ""}]})",
         "moduleData[0]: needs \"addon\""},
        // A key given twice, and two things the host finds by one id.
        {R"({"name": "a", "suspendGroups": true, "name": "b"})", "duplicate key \"name\" at the top level"},
        {R"({"library": {"parts": [{"type": 1, "name": "A", "name": "B"}]}})",
         "duplicate key \"name\" in library.parts[0] (the part of library index 1)"},
        {R"({"library": {"parts": [
            {"type": 1, "name": "A", "uniqueId": "{D0010000-0000-4000-8000-000000000001}"},
            {"type": 1, "name": "B", "uniqueId": "{D0020000-0000-4000-8000-000000000001}", "deleted": true},
            {"type": 1, "name": "C", "uniqueId": "{d0010000-0000-4000-8000-000000000001}"}]}})",
         "library.parts[2] (library index 3): \"uniqueId\" {d0010000-0000-4000-8000-000000000001} is that of "
         "parts[0] (library index 1)"},
        {R"({"teamwork": {"lockables": [{"name": "A", "guid": "AE000000-0000-4000-8000-000000000001"},
                                        {"name": "B", "guid": "AE000000-0000-4000-8000-000000000001"}]}})",
         "teamwork.lockables[1]: \"guid\" AE000000-0000-4000-8000-000000000001 is that of lockables[0]"},
        {R"({"renovation": {"filters": [{"guid": "BE000000-0000-4000-8000-000000000001"},
                                        {"guid": "BE000000-0000-4000-8000-000000000001"}]}})",
         "renovation.filters[1]: \"guid\" BE000000-0000-4000-8000-000000000001 is that of filters[0]"},
    };
    for (const auto& [json, message] : cases) {
        SCOPED_TRACE(json);
        EXPECT_EQ(refusedOverSample(json), message);
    }
    // A NUL byte, after the project or between its values, is no end of the text.
    using namespace std::string_literals;
    EXPECT_EQ(refusedOverSample("{\"name\": \"a\"}\n\0garbage{["s),
              "not valid JSON at line 2, column 1: a NUL byte outside a string");
    EXPECT_EQ(refusedOverSample("{\"name\": \"a\"}\0{\"name\": \"a\"}"s),
              "not valid JSON at line 1, column 14: a NUL byte outside a string");
    EXPECT_EQ(refusedOverSample("{\n  \"version\": 1,\0\n  \"name\": \"a\"\n}"s),
              "not valid JSON at line 2, column 16: a NUL byte outside a string");
    host::SimProject project;
    std::string error;
    EXPECT_FALSE(project.loadFile("/nonexistent/p.json", error));
    EXPECT_EQ(error, "/nonexistent/p.json: cannot be read: No such file or directory");
    EXPECT_FALSE(project.saveFile("/nonexistent/p.json", error));
    EXPECT_EQ(error, "/nonexistent/p.json: cannot be written: No such file or directory");
}

TEST(SimProject, RefusesANumberTooLargeForADoubleInsteadOfThrowing) {
    for (const char* json :
         {R"({"storeys": [{"index": 0, "level": 1e400, "height": 3}]})", R"({"x": -8E77782})"}) {
        SCOPED_TRACE(json);
        const std::string error = refusedOverSample(json);
        EXPECT_EQ(error.rfind("not valid JSON at line 1, column ", 0), 0u) << error;
        EXPECT_NE(error.find(": number overflow parsing '"), std::string::npos) << error;
    }
}

TEST(SimProject, RefusesWholeNumberListsThatDoNotFitTheirField) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"hiddenLayers": [70000]})",
         "project: \"hiddenLayers\" must hold whole numbers that fit their field"},
        {R"({"hiddenLayers": [2, 1.5]})",
         "project: \"hiddenLayers\" must hold whole numbers that fit their field"},
        {R"({"renovation": {"filters": [{"guid": "BE000000-0000-4000-8000-000000000001", "shows": [1e10]}]}})",
         "renovation.filters[0]: \"shows\" must hold whole numbers that fit their field"},
        {R"({"renovation": {"filters": [{"guid": "BE000000-0000-4000-8000-000000000001", "shows": [-2147483649]}]}})",
         "renovation.filters[0]: \"shows\" must hold whole numbers that fit their field"},
    };
    for (const auto& [json, message] : cases) {
        SCOPED_TRACE(json);
        EXPECT_EQ(refusedOverSample(json), message);
    }
    host::SimProject project;
    std::string error;
    ASSERT_TRUE(project.loadText(R"({"hiddenLayers": [32767]})", error)) << error;
    EXPECT_TRUE(project.layerHidden(32767));
}

TEST(SimProject, RefusesAHiddenLayerWhoseMadeNameAnotherLayerHas) {
    host::SimProject project = sampleProject();
    std::string error;
    EXPECT_FALSE(
        project.loadText(R"({"layers": [{"index": 2, "name": "Layer 7"}], "hiddenLayers": [7]})", error));
    EXPECT_EQ(error,
              "project: \"hiddenLayers\": layer 7 would be made as \"Layer 7\", a name another layer has");
    EXPECT_EQ(project.state, sampleProject().state);

    // Without the clash the made layer saves to a file that loads again.
    ASSERT_TRUE(
        project.loadText(R"({"layers": [{"index": 2, "name": "Layer 3"}], "hiddenLayers": [7]})", error))
        << error;
    host::SimProject again;
    ASSERT_TRUE(again.loadText(project.saveText(), error)) << error;
    EXPECT_EQ(again.state, project.state);
    EXPECT_TRUE(again.layerHidden(7));
}

TEST(SimProject, RefusesParameterTextsHoldingU0000) {
    const char* const parameters[] = {
        R"({"name": "a\u0000b", "type": 2, "value": 1})",
        R"({"name": "t", "type": 2, "description": "x\u0000y", "value": 1})",
        R"({"name": "t", "type": 12, "value": "a\u0000b"})",
        R"({"name": "t", "type": 12, "value": [["a\u0000b", "c"]]})",
    };
    for (const char* parameter : parameters) {
        SCOPED_TRACE(parameter);
        const std::string json = R"({"library": {"parts": [{"type": 4, "name": "C",
            "uniqueId": "{C4A10000-0000-4000-8000-000000000001}", "parameters": [)" +
                                 std::string(parameter) + "]}]}}";
        EXPECT_EQ(refusedOverSample(json),
                  "library.parts[0].parameters[0] (library index 1): a text must not hold U+0000");
    }
}

TEST(SimProject, UndoesStepsLastFirst) {
    host::SimProject project;
    const host::ProjectState empty = project.state;
    project.pushUndoStep("one", project.state);
    project.state.suspendGroups = true;
    const host::ProjectState afterOne = project.state;
    project.pushUndoStep("two", project.state);
    project.state.moduleData[{"A", "b"}] = {};
    EXPECT_TRUE(project.undo());
    EXPECT_EQ(project.state, afterOne);
    EXPECT_TRUE(project.undo());
    EXPECT_EQ(project.state, empty);
    EXPECT_FALSE(project.undo());
}

}   // namespace

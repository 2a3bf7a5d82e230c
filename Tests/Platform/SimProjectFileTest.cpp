// The project file as large projects use it: element lists read as the text streams by, in any order of
// the sections; the compact form the host writes; the parameter records kept without their zeros.
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

// A round trip must give the same numbers, so the exact comparison of the records' doubles is meant.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"
#include <SimProject.h>
#pragma GCC diagnostic pop

namespace {

constexpr const char* kElement = R"({"guid": "1FC00000-0000-4000-8000-00000000000%d", "type": 6, "storey": %d,
    "libraryIndex": 1, "position": [1.5, 2], "memo": {"info": "%s", "parameters": [
    {"name": "A", "type": 2, "value": 0.5}, {"name": "mat", "type": 12, "value": "Oak"}]}})";

std::string element(int n, int storey = 1, const char* info = "i") {
    char text[512];
    std::snprintf(text, sizeof text, kElement, n, storey, info);
    return text;
}

std::string loadError(const std::string& json) {
    host::SimProject project;
    std::string error;
    EXPECT_FALSE(project.loadText(json, error));
    return error;
}

TEST(SimProjectFile, RefusesANameTwiceInOneAttributeTypeWhereverTheTwoStand) {
    EXPECT_EQ(loadError(R"({"layers": [{"index": 2, "name": "Furniture"}, {"index": 5, "name": "Walls"},
                                       {"index": 9, "name": "Furniture"}]})"),
              "attributes: two of type 2 named \"Furniture\"");
    EXPECT_EQ(loadError(R"({"attributes": [{"type": 1, "index": 1, "name": "Pen"},
                                           {"type": 1, "index": 2, "name": "Other"},
                                           {"type": 1, "index": 7, "name": "Pen"}]})"),
              "attributes: two of type 1 named \"Pen\"");
    // The layer the host makes for every project counts too.
    EXPECT_EQ(loadError(R"({"layers": [{"index": 4, "name": "ArchiCAD Layer"}]})"),
              "attributes: two of type 2 named \"ArchiCAD Layer\"");
    // One name in two types is no clash.
    host::SimProject project;
    std::string error;
    EXPECT_TRUE(project.loadText(R"({"layers": [{"index": 2, "name": "Furniture"}],
        "attributes": [{"type": 1, "index": 1, "name": "Furniture"}]})",
                                 error))
        << error;
}

// The element lists are read before the sections they refer to may have been: the storeys, databases
// and IFC definitions can come after them in the file, and an entry's fault is still told in the order
// the sections are checked, with the entry's place.
TEST(SimProjectFile, ReadsElementListsBeforeTheSectionsTheyNeed) {
    const std::string tail = R"(,
        "ifc": {"elements": [{"guid": "1FC00000-0000-4000-8000-000000000002",
                              "attributes": [{"name": "Name", "type": "IfcLabel", "value": "Chair"}],
                              "classifications": ["C1000000-0000-4000-8000-000000000001"]}],
                "classificationSystems": [{"guid": "C0000000-0000-4000-8000-000000000001", "name": "U",
                    "items": [{"guid": "C1000000-0000-4000-8000-000000000001", "id": "Ss"}]}]},
        "storeys": [{"index": 0, "level": 0, "height": 3}, {"index": 1, "level": 3, "height": 3}],
        "databases": [{"type": 3, "guid": "DB000000-0000-4000-8000-000000000001", "name": "S"}]})";
    const std::string inSection = R"({"guid": "1FC00000-0000-4000-8000-000000000003", "type": 6,
        "storey": 9, "database": "DB000000-0000-4000-8000-000000000001"})";
    const std::string json =
        "{\"elements\": [" + element(1) + ", " + element(2, 0) + ", " + inSection + "]" + tail;
    host::SimProject project;
    std::string error;
    ASSERT_TRUE(project.loadText(json, error)) << error;
    ASSERT_EQ(project.state.elements.size(), 3u);
    EXPECT_EQ(project.state.elements[1].head().storey, 0);
    EXPECT_NE(project.state.elements[2].databaseType, host::kDatabasePlan);
    ASSERT_EQ(project.state.ifc.elements.size(), 1u);

    // Faults of entries, each named by its place.
    const std::string bad = "{\"elements\": [" + element(1) + ", " + element(2, 7) + "]" + tail;
    EXPECT_EQ(loadError(bad), "elements[1]: no storey 7");
    const std::string twice = "{\"elements\": [" + element(1) + ", " + element(1) + "]" + tail;
    EXPECT_EQ(loadError(twice), "elements[1]: a second element with this guid");
    const std::string unknown =
        "{\"elements\": [" + element(1) +
        ", {\"guid\": \"1FC00000-0000-4000-8000-000000000002\", \"type\": 6, \"colour\": 1}]" + tail;
    EXPECT_EQ(loadError(unknown), "elements[1]: unknown key \"colour\"");
    // An element fault comes after a fault of the layers, as the sections are checked.
    EXPECT_EQ(loadError(R"({"elements": [7], "layers": [{"index": 0, "name": "L"}]})"),
              "layers[0]: \"index\" must be above 0");
    EXPECT_EQ(loadError(R"({"elements": [{"type": 6}, 7]})"), "elements[0]: needs \"guid\"");
    EXPECT_EQ(loadError(R"({"elements": {"a": 1}})"), "project: \"elements\" must be a list");
    // The IFC entries are checked against the elements and the section's items once both are read.
    const std::string noItem = "{\"elements\": [" + element(1, 0) + ", " + element(2, 0) + "]" +
                               R"(, "ifc": {"elements": [{"guid": "1FC00000-0000-4000-8000-000000000002",
                                   "classifications": ["C1000000-0000-4000-8000-000000000009"]}]}})";
    EXPECT_EQ(
        loadError(noItem),
        "ifc.elements[0].classifications[0]: no classification item C1000000-0000-4000-8000-000000000009");
    EXPECT_EQ(loadError(R"({"ifc": {"elements": [{"guid": "1FC00000-0000-4000-8000-000000000004"}]}})"),
              "ifc.elements[0]: the project has no element 1FC00000-0000-4000-8000-000000000004");
    // A list named "elements" elsewhere is read as part of its own section.
    EXPECT_EQ(loadError(R"({"teamwork": {"elements": []}})"), "teamwork: unknown key \"elements\"");
}

TEST(SimProjectFile, WritesCompactlyWithPropertiesUnderTheirSets) {
    // The second element's ID text is empty.
    const std::string json = "{\"elements\": [" + element(1) + ", " + element(2, 1, "") + R"(],
        "storeys": [{"index": 1, "level": 0, "height": 3}],
        "ifc": {"elements": [{"guid": "1FC00000-0000-4000-8000-000000000001", "properties": [
            {"set": "Pset_A", "name": "One", "value": {"type": "IfcLabel", "text": "x"}},
            {"set": "Pset_A", "name": "Two", "kind": "single", "value": {"type": "IfcReal", "primitive": 1, "real": 2.5}},
            {"set": "Pset_B", "name": "Three", "kind": "list", "values": [{"type": "IfcLabel", "text": "y"}]},
            {"set": "Pset_A", "name": "Four"}]}]}})";
    host::SimProject project;
    std::string error;
    ASSERT_TRUE(project.loadText(json, error)) << error;
    const std::string saved = project.saveText();
    EXPECT_EQ(saved.find('\n'), saved.size() - 1) << "one line";
    EXPECT_EQ(saved.find(": "), std::string::npos);
    // Runs of one set go under it, in the order the element holds them; a single value names no kind.
    EXPECT_NE(
        saved.find(
            R"("propertySets":[{"set":"Pset_A","properties":[{"name":"One","value":{"type":"IfcLabel","text":"x"}},{"name":"Two",)"),
        std::string::npos)
        << saved;
    EXPECT_NE(saved.find(R"({"set":"Pset_B","properties":[{"name":"Three","kind":"list",)"),
              std::string::npos);
    EXPECT_NE(saved.find(R"({"set":"Pset_A","properties":[{"name":"Four"}]})"), std::string::npos);

    host::SimProject again;
    ASSERT_TRUE(again.loadText(saved, error)) << error;
    EXPECT_EQ(again.state, project.state);
    EXPECT_EQ(again.saveText(), saved);
    EXPECT_NE(saved.find(R"("info":"")"), std::string::npos);

    // The grouped form holds each property once: not both forms, not a set of its own inside a group.
    const std::string guid = R"({"guid": "1FC00000-0000-4000-8000-000000000001", )";
    const std::string head =
        "{\"elements\": [" + element(1) +
        R"(], "storeys": [{"index": 1, "level": 0, "height": 3}], "ifc": {"elements": [)";
    EXPECT_EQ(
        loadError(
            head + guid +
            R"("properties": [{"set": "S", "name": "N"}], "propertySets": [{"set": "T", "properties": [{"name": "M"}]}]}]}})"),
        "ifc.elements[0]: needs either \"properties\" or \"propertySets\"");
    EXPECT_EQ(loadError(head + guid +
                        R"("propertySets": [{"set": "T", "properties": [{"set": "U", "name": "M"}]}]}]}})"),
              "ifc.elements[0].propertySets[0].properties[0]: takes the set it is listed under");
    EXPECT_EQ(loadError(head + guid + R"("propertySets": [{"properties": []}]}]}})"),
              "ifc.elements[0].propertySets[0]: needs \"set\"");
}

TEST(SimProjectFile, KeepsEveryByteOfAParameterRecord) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        host::ParameterBytes::Bytes bytes{};
        // Sparse bytes, runs of them, and zero gaps of every length around the four that split a run.
        const int filled = round % 5 == 0 ? int(bytes.size()) : round % 40;
        for (int i = 0; i < filled; ++i) {
            const std::size_t at = random() % bytes.size();
            const std::size_t length = 1 + random() % 9;
            for (std::size_t k = at; k < std::min(bytes.size(), at + length); ++k)
                bytes[k] = static_cast<unsigned char>(1 + random() % 255);
        }
        if (round == 1) bytes.back() = 1;
        host::ParameterBytes kept;
        kept.assign(bytes.data());
        EXPECT_EQ(kept.bytes(), bytes);
        host::ParameterBytes other;
        other.assign(bytes.data());
        EXPECT_EQ(kept, other);
        bytes[random() % bytes.size()] ^= 0x40;
        other.assign(bytes.data());
        EXPECT_FALSE(kept == other);
    }
    EXPECT_EQ(host::ParameterBytes().bytes(), host::ParameterBytes::Bytes{});
}

}   // namespace

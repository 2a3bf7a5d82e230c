// The README's example, played as scripts/main.sh plays it: the five commands through the command-line
// host on examples/, each on the project the one before wrote, with examples/answers/. What they print
// is held against the transcripts the README shows, and what they replace against what it says.
#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>

#include "EndToEndFixture.h"

namespace {

using nlohmann::json;

const std::filesystem::path kTop = std::filesystem::path(TEST_SOURCE_DIR) / ".." / "..";

constexpr const char* kCommands[] = {"Skellow From IFC", "Skellow From DXF/DWG", "Skellow From ArchiCAD",
                                     "Skellow Missing Parts", "Skellow Legacy Parts"};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The README's transcripts: its indented blocks that end with the report, without the indent.
std::vector<std::vector<std::string>> readmeTranscripts(const std::string& readme) {
    std::vector<std::vector<std::string>> transcripts;
    std::vector<std::string> block;
    const auto close = [&] {
        if (!block.empty() && block.back().starts_with("[Notification]")) transcripts.push_back(block);
        block.clear();
    };
    for (const std::string& line : linesOf(readme)) {
        if (line.starts_with("    "))
            block.push_back(line.substr(4));
        else if (!line.empty())
            close();
    }
    close();
    return transcripts;
}

// The transcript's lines follow one another in the output: "..." stands for any lines, and a line that
// ends in " ..." for a line that begins with the rest of it.
testing::AssertionResult shows(const std::string& output, const std::vector<std::string>& transcript) {
    const std::vector<std::string> out = linesOf(output);
    const auto matches = [](const std::string& line, const std::string& shown) {
        if (!shown.ends_with(" ...")) return line == shown;
        return line.starts_with(shown.substr(0, shown.size() - 4));
    };
    for (std::size_t start = 0; start < out.size(); ++start) {
        std::size_t at = start;
        bool skipping = false;
        std::size_t shown = 0;
        for (; shown < transcript.size(); ++shown) {
            const std::string& line = transcript[shown];
            if (const std::size_t text = line.find_first_not_of(' ');
                text != std::string::npos && line.compare(text, std::string::npos, "...") == 0) {
                skipping = true;
                continue;
            }
            while (skipping && at < out.size() && !matches(out[at], line)) ++at;
            if (at >= out.size() || !matches(out[at], line)) break;
            ++at;
            skipping = false;
        }
        if (shown == transcript.size()) return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "the transcript beginning \"" << transcript.front() << "\" is not what was printed:\n"
           << output;
}

// A project's placed elements by their memo's info ("Chair 1").
struct Placed {
    std::string part;
    json entry;
};

std::map<std::string, Placed> placed(const json& project) {
    std::map<std::string, Placed> elements;
    for (const json& entry : project["elements"]) {
        if (!entry.contains("libraryIndex") || !entry.contains("memo")) continue;
        const std::size_t index = entry["libraryIndex"].get<std::size_t>();
        const json& parts = project["library"]["parts"];
        elements[entry["memo"]["info"].get<std::string>()] = Placed{
            index >= 1 && index <= parts.size() ? parts[index - 1]["name"].get<std::string>() : "", entry};
    }
    return elements;
}

json parameter(const json& entry, const std::string& name) {
    for (const json& item : entry["memo"].value("parameters", json::array()))
        if (item["name"] == name) return item["value"];
    return nullptr;
}

}   // namespace

class ExampleTranscript : public EndToEndFixture {};

TEST_F(ExampleTranscript, TheFiveCommandsPrintAndReplaceWhatTheReadmeSays) {
    std::filesystem::create_directories(tableFile().parent_path());
    std::filesystem::copy_file(kTop / "examples" / "ObjectMap.xml", tableFile());
    // What each command replaces, by element, and the part it then stands on.
    const std::map<std::string, std::string> replaced[] = {
        {{"Chair 1", "Chair Modern"}, {"D-01", "Door Glazed"}},
        {{"Desk 1", "Table 01"}, {"Chair 2", "Chair Modern"}},
        {{"Table 1", "Desk Block"},
         {"Desk 1", "Desk Block"},
         {"Chair 1", "Chair 01"},
         {"Chair 2", "Chair 01"},
         {"W-01", "Window Casement"},
         {"W-02", "Window Casement"}},
        {{"Sofa 1", "Chair Modern"}},
        {{"Armchair 1", "Chair Modern"}},
    };
    std::filesystem::path project = kTop / "examples" / "project.json";
    std::map<std::string, Placed> before = placed(json::parse(readFile(project)));
    std::vector<std::string> printed;
    std::vector<json> written;
    std::vector<std::map<std::string, Placed>> after;
    for (std::size_t step = 0; step < std::size(kCommands); ++step) {
        SCOPED_TRACE(kCommands[step]);
        std::vector<std::string> arguments = {"run", project.string(), "--command", kCommands[step]};
        arguments.insert(arguments.end(), {"--home", home().string()});
        const std::filesystem::path answers =
            kTop / "examples" / "answers" / (std::to_string(step + 1) + ".json");
        if (std::filesystem::exists(answers))
            arguments.insert(arguments.end(), {"--answers", answers.string()});
        project = scratch_ / ("project-" + std::to_string(step + 1) + ".json");
        arguments.insert(arguments.end(), {"--out", project.string()});
        const ProgramRun run = skellowHost(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        // The second and third add rows to the table (a part found by name, the dialog's mapping).
        EXPECT_EQ(run.err, step == 1 || step == 2 ? "skellow-host: the add-on saved in " + home().string() +
                                                        ": Application Data/Skellowing/ObjectMap.xml\n"
                                                  : "");
        EXPECT_NE(run.out.find("[Notification] " + std::to_string(replaced[step].size()) +
                               " objects were successfully skellowed\n"),
                  std::string::npos)
            << run.out;
        printed.push_back(run.out);
        written.push_back(json::parse(readFile(project)));
        after.push_back(placed(written.back()));
        std::map<std::string, std::string> changed;
        for (const auto& [info, element] : after.back())
            if (element.part != before[info].part) changed[info] = element.part;
        EXPECT_EQ(changed, replaced[step]);
        before = after.back();
    }

    // The transcripts the README shows are of the first and the third command.
    const auto transcripts = readmeTranscripts(readFile(kTop / "README.md"));
    ASSERT_EQ(transcripts.size(), 2u);
    EXPECT_TRUE(shows(printed[0], transcripts[0]));
    EXPECT_TRUE(shows(printed[2], transcripts[1]));

    // The sizes the README gives: ratios kept between two parts that size by ratio, metres kept to and
    // from a part of fixed size, a door's opening kept with "A" and "ZZYZX".
    struct Size {
        std::size_t step;
        const char* element;
        double a, b;
    };
    for (const Size& size : {Size{0, "Chair 1", 0.6, 0.55}, Size{1, "Desk 1", 1.4, 0.7},
                             Size{2, "Table 1", 1.8, 0.9}, Size{2, "Chair 1", 0.54, 0.5}}) {
        SCOPED_TRACE(size.element);
        const json& entry = after[size.step].at(size.element).entry;
        EXPECT_NEAR(parameter(entry, "A").get<double>(), size.a, 1e-9);
        EXPECT_NEAR(parameter(entry, "B").get<double>(), size.b, 1e-9);
    }
    const json& door = after[0].at("D-01").entry;
    EXPECT_DOUBLE_EQ(door["width"].get<double>(), 1.0);
    EXPECT_DOUBLE_EQ(door["height"].get<double>(), 2.2);
    EXPECT_EQ(parameter(door, "A"), 1.0);
    EXPECT_EQ(parameter(door, "ZZYZX"), 2.2);
    const json& layers = written[0]["layers"];
    const auto openings = std::find_if(layers.begin(), layers.end(),
                                       [](const json& layer) { return layer["name"] == "Openings"; });
    ASSERT_TRUE(openings != layers.end());
    EXPECT_TRUE(openings->value("locked", false));
    EXPECT_EQ(parameter(after[0].at("Chair 1").entry, "mat"), "Walnut");
    EXPECT_EQ(parameter(after[2].at("Chair 1").entry, "mat"), "Ash");
}

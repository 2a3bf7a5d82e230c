#include "PlacementCheck.h"

#include <cmath>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>

#include <SimProject.h>

namespace placement {
namespace {

using nlohmann::json;

constexpr double kTolerance = 1e-9;   // the host writes lengths through a few sums and ratios

const json* findPart(const json& project, int index) {
    const json& parts = project["library"]["parts"];
    if (index < 1 || static_cast<std::size_t>(index) > parts.size()) return nullptr;
    const json& part = parts[static_cast<std::size_t>(index) - 1];
    return part.value("deleted", false) ? nullptr : &part;
}

double storeyLevel(const json& project, int storey) {
    for (const json& entry : project["storeys"])
        if (entry["index"] == storey) return entry["level"];
    return 0.0;
}

std::optional<double> parameter(const json& element, const char* name) {
    if (!element.contains("memo") || !element["memo"].contains("parameters")) return std::nullopt;
    for (const json& item : element["memo"]["parameters"])
        if (item["name"] == name) return item["value"].get<double>();
    return std::nullopt;
}

// The size parameter, when the element has it, says the size it has.
void expectSays(const json& element, const char* name, double size) {
    if (const std::optional<double> value = parameter(element, name)) {
        EXPECT_NEAR(*value, size, kTolerance) << name;
    }
}

// An object's width and depth in metres: its sizes, as lengths or as ratios of its part's.
std::pair<double, double> sizeOf(const json& project, const json& element) {
    const json size = element.value("size", json::array({0.0, 0.0}));
    if (element.value("fixedSize", 0) != 0) return {size[0], size[1]};
    const json* const part = findPart(project, element["libraryIndex"]);
    const json scale = part ? part->value("size", json::array({0.0, 0.0})) : json::array({1.0, 1.0});
    return {size[0].get<double>() * scale[0].get<double>(), size[1].get<double>() * scale[1].get<double>()};
}

// The midpoint of the front edge of the object's unturned box, turned with it. A mirrored object keeps its
// angle turned by pi, so its unturned box lies behind its position: the point is (w/2, d) in its frame.
std::pair<double, double> frontMidpoint(const json& project, const json& element) {
    const auto [width, depth] = sizeOf(project, element);
    const double angle = element.value("angle", 0.0);
    const double u = width / 2, v = element.value("mirrored", 0) != 0 ? depth : 0.0;
    return {element["position"][0].get<double>() + u * std::cos(angle) - v * std::sin(angle),
            element["position"][1].get<double>() + u * std::sin(angle) + v * std::cos(angle)};
}

void expectReplaced(const json& before, const json& after, const json& was, const json& now,
                    const Replacement& replacement) {
    EXPECT_EQ(now["libraryIndex"], replacement.part);
    for (const char* kept : {"storey", "layer", "mirrored", "locked", "wallPosition", "wallElevation"})
        EXPECT_EQ(now.value(kept, json(0)), was.value(kept, json(0))) << kept;
    if (!now.contains("position")) {
        // A door or window keeps its opening in its wall unless the mapping sets it; one of no size yet
        // takes its new part's. "A" and "ZZYZX" say the opening.
        const double width = now.value("width", 0.0), height = now.value("height", 0.0);
        if (const double opening = was.value("width", 0.0); opening > 0.0) {
            EXPECT_NEAR(width, replacement.width.value_or(opening), kTolerance);
        }
        if (const double opening = was.value("height", 0.0); opening > 0.0) {
            EXPECT_NEAR(height, replacement.depth.value_or(opening), kTolerance);
        }
        expectSays(now, "A", width);
        expectSays(now, "ZZYZX", height);
        return;
    }
    EXPECT_NEAR(now.value("angle", 0.0), was.value("angle", 0.0), kTolerance);
    EXPECT_NEAR(now.value("elevation", 0.0) + storeyLevel(after, now.value("storey", 0)),
                was.value("elevation", 0.0) + storeyLevel(before, was.value("storey", 0)), kTolerance);
    const auto [width, depth] = sizeOf(after, now);
    expectSays(now, "A", width);
    expectSays(now, "B", depth);
    if (!findPart(before, was["libraryIndex"])) {
        // Its part was missing: no box to measure, so it stays where it was, its ratios the new part's.
        EXPECT_EQ(now["position"], was["position"]);
        if (now.value("fixedSize", 0) == 0) {
            EXPECT_EQ(now.value("size", json()), was.value("size", json()));
        }
        return;
    }
    // From a part sized by ratio to another, the ratios stay: it takes the new part's size at them.
    // Otherwise it keeps its width and depth in metres.
    const bool byRatio = was.value("fixedSize", 0) == 0 && now.value("fixedSize", 0) == 0;
    const auto [oldWidth, oldDepth] = sizeOf(before, was);
    const json* const part = findPart(after, now["libraryIndex"]);
    const json partSize = part ? part->value("size", json::array({1.0, 1.0})) : json::array({1.0, 1.0});
    const json ratios = was.value("size", json::array({0.0, 0.0}));
    const double keptWidth = byRatio ? ratios[0].get<double>() * partSize[0].get<double>() : oldWidth;
    const double keptDepth = byRatio ? ratios[1].get<double>() * partSize[1].get<double>() : oldDepth;
    EXPECT_NEAR(width, replacement.width.value_or(keptWidth), kTolerance);
    EXPECT_NEAR(depth, replacement.depth.value_or(keptDepth), kTolerance);
    const auto [x0, y0] = frontMidpoint(before, was);
    const auto [x1, y1] = frontMidpoint(after, now);
    EXPECT_NEAR(x1, x0, kTolerance);
    EXPECT_NEAR(y1, y0, kTolerance);
}

// The report's counts, read line by line from the texts' own words.
Counts reported(const std::string& report, unsigned& replaced) {
    static const std::pair<const char*, unsigned Counts::*> kLines[] = {
        {"objects named a library part that could not be found", &Counts::missing},
        {"objects could not be skellowed", &Counts::failed},
        {"cannot be placed for them", &Counts::refused},
        {"has no name they could be mapped by", &Counts::unnamed}};
    Counts counts;
    replaced = 0;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line == "No relevant objects were found to be skellowed") continue;
        const unsigned count = static_cast<unsigned>(std::stoul(line));
        bool known = line.find("objects were successfully skellowed") != std::string::npos;
        if (known) replaced = count;
        for (const auto& [words, field] : kLines)
            if (line.find(words) != std::string::npos) {
                counts.*field = count;
                known = true;
            }
        EXPECT_TRUE(known) << line;
    }
    return counts;
}

}   // namespace

json savedForm(const std::filesystem::path& project) {
    host::SimProject loaded;
    std::string error;
    EXPECT_TRUE(loaded.loadFile(project.string(), error)) << error;
    return json::parse(loaded.saveText());
}

std::string reportIn(const std::string& output) {
    const std::string marker = "[Notification] ";
    const std::size_t start = output.rfind(marker);
    if (start == std::string::npos) return {};
    const std::size_t from = start + marker.size();
    return output.substr(from, output.find("\n\n", from) - from);
}

void expectKept(const json& before, const json& after, const std::map<std::string, Replacement>& replaced,
                const std::string& report, const Counts& counts) {
    EXPECT_EQ(after["layers"], before["layers"]);   // a layer unlocked for the run is locked again
    EXPECT_EQ(after.value("ifc", json()), before.value("ifc", json()));
    ASSERT_EQ(after["elements"].size(), before["elements"].size());
    for (std::size_t i = 0; i < before["elements"].size(); ++i) {
        const json& was = before["elements"][i];
        const json& now = after["elements"][i];
        const std::string guid = was["guid"];
        SCOPED_TRACE(guid);
        ASSERT_EQ(now["guid"], was["guid"]);
        if (const auto replacement = replaced.find(guid); replacement != replaced.end())
            expectReplaced(before, after, was, now, replacement->second);
        else
            EXPECT_EQ(now, was);
    }
    unsigned replacedCount = 0;
    const Counts shown = reported(report, replacedCount);
    EXPECT_EQ(replacedCount, replaced.size()) << report;   // one mapped to its own part too
    EXPECT_EQ(shown.missing, counts.missing) << report;
    EXPECT_EQ(shown.failed, counts.failed) << report;
    EXPECT_EQ(shown.refused, counts.refused) << report;
    EXPECT_EQ(shown.unnamed, counts.unnamed) << report;
}

}   // namespace placement

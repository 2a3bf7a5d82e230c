// PlacementCheck: what every command run must keep, checked on the project before and after the run: each
// replaced element on its new part, placed where it was, sized by the rule and its size parameters saying
// that size, every other element as it was, and a report whose counts are what changed.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace placement {

struct Replacement {
    Replacement(int takes, std::optional<double> mappedWidth = std::nullopt,
                std::optional<double> mappedDepth = std::nullopt)
        : part(takes), width(mappedWidth), depth(mappedDepth) {}
    int part;   // the library index it takes
    // The mapping's own sizes: an object's width and depth, a door's or window's width and height.
    // Else an object keeps its ratios between parts sized by ratio and its metres otherwise, and an
    // opening its width and height.
    std::optional<double> width;
    std::optional<double> depth;
};

// The report's lines other than the replaced one.
struct Counts {
    unsigned missing = 0;
    unsigned failed = 0;    // with no reason of their own
    unsigned refused = 0;   // mapped to a part that cannot be placed for them
    unsigned unnamed = 0;   // their part has no name
};

// The project file as the host writes it back unchanged: the form a run's output is compared with.
nlohmann::json savedForm(const std::filesystem::path& project);

// The text of the last notification in the command-line host's output.
std::string reportIn(const std::string& output);

// Records a test failure for every element, layer or count that breaks the rule.
void expectKept(const nlohmann::json& before, const nlohmann::json& after,
                const std::map<std::string, Replacement>& replaced, const std::string& report,
                const Counts& counts = {});

}   // namespace placement

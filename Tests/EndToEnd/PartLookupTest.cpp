// A command looks up the parts its mappings name once, for the dialog's rows and the run alike, and the
// next command sees the library as it is then.
#include <algorithm>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "EndToEndFixture.h"

namespace {

constexpr const char* kChair = "0B1E0000-0000-4000-8000-000000000001";   // IFC "Office Chair"
constexpr const char* kSecondChair = "0B1E0000-0000-4000-8000-000000000002";
constexpr int kChairModern = 2;

class PartLookup : public EndToEndFixture {
protected:
    std::size_t partsFound() const {
        return static_cast<std::size_t>(
            std::count_if(host_->calls().begin(), host_->calls().end(), [](const host::HostCall& call) {
                return call.slot == host::HostSlot::searchLibraryPart && call.result == host::kNoError;
            }));
    }
    int libraryIndexOf(const std::string& guid) const {
        const nlohmann::json project = nlohmann::json::parse(host_->project().saveText());
        for (const nlohmann::json& element : project["elements"])
            if (element["guid"] == guid) return element["libraryIndex"].get<int>();
        return 0;
    }
};

TEST_F(PartLookup, ACommandFindsEachMappedPartOnceAndTheNextSeesThePartsLoadedMeanwhile) {
    // The second chair imported from IFC too, as "Chair 01", which the table also maps to "Chair Modern".
    nlohmann::json project = nlohmann::json::parse(readFile(fixture("house.json")));
    for (nlohmann::json& element : project["elements"])
        if (element["guid"] == kSecondChair)
            element["memo"]["parameters"].push_back(
                {{"name", "gs_ifc_buildingmaterial1"}, {"type", 12}, {"value", "Timber"}});
    for (nlohmann::json& element : project["ifc"]["elements"])
        if (element["guid"] == kSecondChair) element["attributes"][0]["value"] = "Chair 01";
    std::ofstream(scratch_ / "house.json") << project.dump();
    start((scratch_ / "house.json").string(), "house-table.xml");
    script(R"([{"do": "answerAlert", "button": 2}])");   // the rows are shown, the run declined
    run("Skellow From IFC");
    ASSERT_EQ(libraryIndexOf(kChair), 1);
    // Another "Chair Modern" takes the place of the first before the next command, which takes it.
    auto& parts = host_->project().state.libraryParts;
    host::SimLibraryPart newer = parts.at(kChairModern - 1);
    newer.uniqueId = "{0B1E0000-0000-4000-8000-0000000000F1}-{0B1E0000-0000-4000-8000-0000000000F2}";
    parts.at(kChairModern - 1).deleted = true;
    parts.push_back(newer);
    host_->clearCalls();
    ASSERT_EQ(run("Skellow From IFC"), host::kNoError);
    EXPECT_EQ(libraryIndexOf(kChair), static_cast<int>(parts.size()));
    EXPECT_EQ(libraryIndexOf(kSecondChair), static_cast<int>(parts.size()));
    // Three rows and their groups in the run, two of them on one part: two parts found.
    EXPECT_EQ(partsFound(), 2u);
}

}   // namespace

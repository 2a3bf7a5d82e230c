#include <stdexcept>
#include <string>
#include <vector>

#include <HostMemory.h>
#include <HostResult.h>

#include "Geometry/Cube.h"
#include "Project/Detail.h"
#include "Project/Document3D.h"
#include "Project/Layout.h"
#include "Project/Model.h"
#include "Project/Section.h"
#include "Project/Worksheet.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::Drawing;
using tarnwick::ElementLink;

class Views : public DrawingFixture {};

TEST_F(Views, ListWithTheirNamesAndTypeCodes) {
    struct Row {
        std::string typeName;
        std::int32_t database;
        std::int32_t navigator;
        std::string name;
    };
    std::vector<Row> rows;
    const auto add = [&](Drawing* view) {
        ASSERT_NE(view, nullptr);
        rows.push_back({view->typeName().getText(), view->getDatabaseType(), view->getNavigatorType(),
                        view->getName().getText()});
    };
    add(&project().getModel());
    add(project().getSection(0));
    add(project().getDetail(0));
    add(project().getWorksheet(0));
    ASSERT_EQ(project().getLayoutCount(), 2);
    add(project().getLayout(0));
    add(project().getLayout(1));
    std::sort(rows.end() - 2, rows.end(), [](const Row& a, const Row& b) { return a.typeName < b.typeName; });
    const std::vector<Row> expected = {
        {"3D Window", 4, 6, "3D Window"}, {"Section", 2, 3, "Section A"}, {"Detail", 3, 4, "Detail 1"},
        {"Worksheet", 12, 22, "Sheet"},   {"Layout", 5, 14, "Sheet 01"},  {"Master Layout", 5, 14, "Master"},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].typeName);
        EXPECT_EQ(rows[i].typeName, expected[i].typeName);
        EXPECT_EQ(rows[i].database, expected[i].database);
        EXPECT_EQ(rows[i].navigator, expected[i].navigator);
        EXPECT_EQ(rows[i].name, expected[i].name);
    }
}

TEST_F(Views, NameTheFloorPlanByFileAndCurrentStorey) {
    EXPECT_EQ(std::string(plan().typeName().getText()), "Floor Plan");
    EXPECT_EQ(std::string(plan().getName().getText()), " / 0. Ground");
    EXPECT_EQ(plan().getId().getIndex(), 0);
    host_->project().view.currentStorey = 1;   // the user went upstairs
    EXPECT_EQ(std::string(plan().getName().getText()), " / 1. First");
    EXPECT_EQ(plan().getId().getIndex(), 1);
    host_->project().filePath = (folder_ / "Tower.json").string();   // the project now has a file
    EXPECT_EQ(std::string(plan().getName().getText()), "Tower.json / 1. First");
    host_->injectFault({host::HostSlot::environment, host::fourcc("GSTO")}, 0, host::kErrGeneral);
    EXPECT_EQ(std::string(plan().getName().getText()), "Tower.json / ");   // no current storey
    EXPECT_EQ(plan().getId().getIndex(), 0);
}

TEST_F(Views, KeepAMasterLayoutWithoutAMasterOfItsOwn) {
    tarnwick::Layout* master = nullptr;
    tarnwick::Layout* layout = nullptr;
    for (int i = 0; i < project().getLayoutCount(); ++i)
        (project().getLayout(i)->isMaster() ? master : layout) = project().getLayout(i);
    ASSERT_NE(master, nullptr);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(master->getMasterId().getKind(), 0);
    EXPECT_FALSE(master->setMaster(master->getId()));
    ASSERT_TRUE(layout->setMaster(tarnwick::LinkRecord(host::kDatabaseMasterLayout, master->getGuid())));
    EXPECT_EQ(layout->getMasterId().getGuid(), master->getGuid());
    EXPECT_EQ(layout->getMasterId().getKind(), host::kDatabaseMasterLayout);
}

TEST_F(Views, ALayoutGivesItsPrintableBoxAndCopiesAnothersPage) {
    host::SimDatabase second;
    second.type = host::kDatabaseLayout;
    second.guid = host::newGuidBytes();
    second.name = "Sheet 02";
    host_->project().state.databases.push_back(second);
    const auto sim = [&](const char* name) -> host::SimDatabase& {
        for (host::SimDatabase& database : host_->project().state.databases)
            if (database.name == name) return database;
        throw std::out_of_range(name);
    };
    host::SimLayout& page = sim("Sheet 01").layout;
    page.paperWidth = 297;
    page.paperHeight = 210;
    page.margins = {10, 20, 30, 40};
    page.textA = "Notes";
    page.valueB = 9;
    tarnwick::Layout* source = nullptr;
    tarnwick::Layout* target = nullptr;
    for (int i = 0; i < project().getLayoutCount(); ++i) {
        tarnwick::Layout* layout = project().getLayout(i);
        if (layout->getName() == "Sheet 01") source = layout;
        if (layout->getName() == "Sheet 02") target = layout;
    }
    ASSERT_TRUE(source && target);
    const tarnwick::Cube printable = source->getPrintableBox();
    const tarnwick::CadPoint corners[][2] = {{printable.getMinimum(), tarnwick::CadPoint(10, 40, 0)},
                                             {printable.getMaximum(), tarnwick::CadPoint(267, 190, 0)}};
    for (const auto& [is, shouldBe] : corners) {
        EXPECT_DOUBLE_EQ(is.getX(), shouldBe.getX());
        EXPECT_DOUBLE_EQ(is.getY(), shouldBe.getY());
        EXPECT_DOUBLE_EQ(is.getZ(), 0.0);
    }
    ASSERT_TRUE(target->copyFrom(*source));
    EXPECT_EQ(sim("Sheet 02").layout, page);
}

TEST_F(Views, ALayoutFreesTheTextTableOfEachRecordItDrops) {
    tarnwick::Layout* master = nullptr;
    tarnwick::Layout* listed = nullptr;
    for (int i = 0; i < project().getLayoutCount(); ++i)
        (project().getLayout(i)->isMaster() ? master : listed) = project().getLayout(i);
    ASSERT_TRUE(master && listed);
    const std::size_t before = host::memoryStats().liveHandles;
    {
        tarnwick::Layout layout(project(), listed->getGuid(), /*master=*/false);
        ASSERT_TRUE(layout.loadRecord());
        EXPECT_EQ(host::memoryStats().liveHandles, before + 1);   // the table came with the record
        ASSERT_TRUE(layout.setMaster(master->getId()));
        EXPECT_EQ(host::memoryStats().liveHandles, before);
        ASSERT_TRUE(layout.loadRecord());
    }
    EXPECT_EQ(host::memoryStats().liveHandles, before);
    EXPECT_EQ(host::memoryStats().violations, 0u);
}

TEST_F(Views, WriteNoLayoutRecordTheHostDidNotGive) {
    tarnwick::Layout* layout = project().getLayout(0);
    ASSERT_NE(layout, nullptr);
    host_->injectFault({host::HostSlot::environment, host::fourcc("GLAY")}, 0, host::kErrGeneral);
    EXPECT_FALSE(layout->loadRecord());
    EXPECT_DOUBLE_EQ(layout->getPaperBox().getWidth(), 0.0);   // zeroed
    host_->clearCalls();
    EXPECT_FALSE(layout->setLayoutName("A1", true));
    EXPECT_FALSE(layout->setTextA("x"));
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("CLAY")), 0u);
}

TEST_F(Views, RenameAWorksheetAndReportTheHostsCode) {
    tarnwick::Worksheet* sheet = project().getWorksheet(0);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->setName("Notes"), host::kNoError);
    EXPECT_EQ(std::string(sheet->getName().getText()), "Notes");
    host_->injectFault({host::HostSlot::database, host::fourcc("MDAT")}, 1, host::kErrBadIndex);
    EXPECT_EQ(sheet->setName("Other"), host::kErrBadIndex);
    EXPECT_EQ(std::string(sheet->getName().getText()), "Notes");
}

TEST_F(Views, ConvertLinksToAndFromSectionElementsOnce) {
    const auto check = [&](const auto& view) {
        ElementLink link(6, 12);
        EXPECT_TRUE(view.toSectionElementLink(link));
        EXPECT_EQ(link.getTypeByte(), ElementLink::kSectionElementType);
        EXPECT_EQ(link.getVariation(), 0);
        EXPECT_FALSE(view.toSectionElementLink(link));

        ElementLink seen(ElementLink::kSectionElementType, 0);
        seen.setSource(view.getId());
        seen.setSecondTypeId(6);
        seen.setSecondGuid(tarnwickGuid(0));
        const ElementLink model = view.fromSectionElementLink(seen);
        EXPECT_EQ(model.getTypeByte(), 6);
        EXPECT_EQ(model.getLocation(), view.getId());
        seen.setSecondGuid(tarnwick::Guid());   // no model element: unchanged
        EXPECT_EQ(view.fromSectionElementLink(seen).getTypeByte(), ElementLink::kSectionElementType);
    };
    check(tarnwick::Document3D(project(), tarnwick::Guid::generate()));
    check(tarnwick::Section(project(), tarnwick::Guid::generate()));
}

}   // namespace

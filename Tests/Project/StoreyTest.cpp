#include "Project/Storey.h"

#include <map>
#include <string>

#include <HostResult.h>

#include "Project/ElementLinkList.h"
#include "Project/LinkRecord.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::Drawing;
using tarnwick::Storey;
using tarnwick::String;

class StoreyTest : public DrawingFixture {
protected:
    // Three storeys, the host's current the middle one.
    void SetUp() override {
        DrawingFixture::SetUp();
        host_->project().state.storeys.push_back({2, 7, 1, 6.0, 4.0, "Roof"});
        host_->project().view.currentStorey = 1;
    }
};

TEST_F(StoreyTest, ThePlanListsEveryStoreyWithItsLevelHeightAndNumbers) {
    tarnwick::Plan& floor = plan();
    ASSERT_TRUE(floor.loadStoreys());
    ASSERT_EQ(floor.getStoreyCount(), 3);   // the host's last record only closes the top height
    EXPECT_EQ(floor.getFirstStoreyIndex(), 0);
    EXPECT_EQ(floor.getLastStoreyIndex(), 2);
    const Storey* roof = floor.getStorey(2);
    ASSERT_NE(roof, nullptr);
    EXPECT_EQ(roof->getName(), "Roof");
    EXPECT_DOUBLE_EQ(roof->getLevel(), 6.0);
    EXPECT_DOUBLE_EQ(roof->getHeight(), 4.0);
    EXPECT_EQ(roof->getFlag(), 0);   // the negation of the host's flag byte
    EXPECT_EQ(floor.getStoreyByNumber(7), roof);
    EXPECT_EQ(floor.getStoreyByName("First"), floor.getStorey(1));
    EXPECT_EQ(floor.getStoreyByName("Cellar"), nullptr);
    EXPECT_EQ(floor.getStorey(5), nullptr);
    EXPECT_FALSE(roof->isValid());   // no attribute table: never a valid attribute
    // Read once: the list stays until the plan is cleared.
    host_->clearCalls();
    floor.getStorey(0);
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("GSTO")), 0u);
    floor.clear();
    host_->injectFault({host::HostSlot::environment, host::fourcc("GSTO")}, 0, host::kErrGeneral);
    EXPECT_FALSE(floor.loadStoreys());
    EXPECT_EQ(floor.getStoreyCount(), 0);
    EXPECT_EQ(floor.getCurrentStorey(), nullptr);
}

TEST_F(StoreyTest, ChangesTheCurrentStoreyAndFollowsTheUsersChange) {
    tarnwick::Plan& floor = plan();
    ASSERT_NE(floor.getCurrentStorey(), nullptr);
    EXPECT_EQ(floor.getCurrentStorey()->getName(), "First");
    ASSERT_TRUE(floor.changeStorey(*floor.getStorey(2), /*rebuild=*/false));
    EXPECT_EQ(host_->project().view.currentStorey, 2);
    EXPECT_EQ(floor.getCurrentStorey()->getName(), "Roof");
    EXPECT_EQ(floor.getId().getIndex(), 2);
    EXPECT_EQ(std::string(floor.getName().getText()), " / 2. Roof");
    host_->project().view.currentStorey = 0;   // the user went down
    EXPECT_EQ(floor.getCurrentStorey()->getName(), "Ground");
    // A storey the host does not know: refused and reported, the current one stays.
    const Storey cellar(&floor, "Cellar", -1, -3.0, 3.0);
    EXPECT_FALSE(floor.changeStorey(cellar, true));
    EXPECT_EQ(floor.getLastHostResult(), host::kErrBadIndex);
    EXPECT_EQ(floor.getCurrentStorey()->getName(), "Ground");
}

TEST_F(StoreyTest, ElementsAndLinksFindTheirStorey) {
    registerRecordElements();
    std::map<std::string, int> byStorey;
    for (auto it = plan().cbegin(Drawing::Filter(false, false)); !it.atEnd(); ++it) {
        const Storey* storey = it->getStorey();
        ASSERT_NE(storey, nullptr);
        ++byStorey[std::string(storey->getName().getView())];
        EXPECT_EQ(it->getLink().getLocation().getStorey(), storey);
    }
    EXPECT_EQ(byStorey, (std::map<std::string, int>{{"First", 2}, {"Ground", 3}}));
    // Guid-addressed locations have no storey.
    EXPECT_EQ(tarnwick::LinkRecord(host::kDatabaseSection, tarnwickGuid(0)).getStorey(), nullptr);
    tarnwick::LinkRecord onRoof(host::kDatabasePlan, tarnwick::Guid());
    onRoof.setIndex(*plan().getStorey(2));
    EXPECT_EQ(onRoof.getStorey(), plan().getStorey(2));
    // Moving an element to another storey: its location and head carry the new index, and storing it
    // puts it there.
    std::unique_ptr<tarnwick::Element> object =
        plan().getElement(tarnwick::ElementLink(tarnwickGuid(0), &plan()));
    ASSERT_NE(object, nullptr);
    object->setStorey(*plan().getStorey(2));
    EXPECT_EQ(object->getStorey()->getName(), "Roof");
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*object, false, false); }), host::kNoError);
    EXPECT_EQ(simElement(0).head().storey, 2);
}

TEST(Storey, LocatesAHeightAgainstItsLevelAndTop) {
    const Storey storey(nullptr, String("S"), 1, 3.0, 3.0);
    const std::pair<double, Storey::Location> cases[] = {
        {3.005, Storey::atLevel}, {6.0, Storey::atTop},     {2.0, Storey::below},   {7.0, Storey::above},
        {4.5, Storey::inside},    {2.995, Storey::atLevel}, {6.005, Storey::atTop}, {5.995, Storey::atTop}};
    for (const auto& [z, expected] : cases) {
        SCOPED_TRACE(z);
        EXPECT_EQ(storey.locate(z, 0.01), expected);
    }
}

}   // namespace

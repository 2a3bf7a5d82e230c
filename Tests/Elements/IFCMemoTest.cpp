// An element's IFC data: read from the host once, looked up by name, and changed item by item on both
// the element and the host.
#include <gtest/gtest.h>

#include "Elements/IFCMemo.h"
#include "Foundation/StringSetting.h"
#include "IFC/IFCAttribute.h"
#include "IFC/IFCNameIndex.h"
#include "IFC/IFCProperty.h"
#include "IFC/IFCSingleValue.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::IFCMemo;

// A placed element that carries IFC data.
class IFCElement : public RecordElement, public IFCMemo {
public:
    using RecordElement::RecordElement;
    static std::unique_ptr<tarnwick::Element> create(const host::ElementRecord& record,
                                                     tarnwick::ElementLink& link) {
        return std::make_unique<IFCElement>(record, link);
    }
};

host::SimIFCProperty property(const char* set, const char* name, const char* text) {
    host::SimIFCProperty made;
    made.set = set;
    made.name = name;
    made.single = {0, 0, 0, false, text, "IfcLabel"};
    return made;
}

class IFCMemoTest : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        host::SimElementData data;
        data.attributes = {{"Name", "IfcLabel", "Office Chair", true, 0}};
        data.properties = {property("Pset_A", "Colour", "Red"), property("Pset_B", "Colour", "Blue"),
                           property("Pset_B", "Maker", "Acme")};
        host_->project().state.ifc.elements[guidOf(0)] = data;
        tarnwick::Drawing::registerCreator(host::kElementObject, &IFCElement::create, false);
    }

    std::unique_ptr<IFCElement> element(int index) {
        auto made = plan().getElement(tarnwick::ElementLink(tarnwickGuid(index), &plan()));
        return std::unique_ptr<IFCElement>(dynamic_cast<IFCElement*>(made.release()));
    }
    std::size_t ifcReads() const {
        return host_->countCalls(host::HostSlot::getElementIFCAttributes) +
               host_->countCalls(host::HostSlot::getElementIFCProperties) +
               host_->countCalls(host::HostSlot::getElementIFCReferences);
    }
    const host::SimElementData& stored() {
        const host::SimElementData* data = host_->project().state.ifc.elements.find(guidOf(0));
        EXPECT_NE(data, nullptr);
        return *data;
    }
};

TEST_F(IFCMemoTest, ReadsOnceAndGivesOnlyWhatTheElementCarries) {
    auto chair = element(0);
    ASSERT_NE(chair, nullptr);
    ASSERT_NE(chair->findAttribute("Name"), nullptr);
    EXPECT_EQ(chair->findAttribute("Name")->getValue().getText(), "Office Chair");
    EXPECT_EQ(ifcReads(), 3u);   // all three parts at once
    EXPECT_EQ(chair->findProperty("Pset_B", "Colour")->getSetName(), "Pset_B");
    EXPECT_EQ(chair->findProperty("Pset_C", "Colour"), nullptr);
    EXPECT_EQ(chair->getGlobalId(), "");   // stored data only: the host derives none
    EXPECT_EQ(ifcReads(), 3u);

    chair->setAllData(true);   // the derived data too: read again
    EXPECT_NE(chair->getGlobalId(), "");
    EXPECT_NE(chair->findProperty("Pset_A", "Colour"), nullptr);
    EXPECT_EQ(ifcReads(), 6u);

    // A new element has nothing to read.
    const std::size_t before = ifcReads();
    IFCElement fresh(*chair);
    IFCElement unplaced(host::ElementRecord{}, tarnwick::ElementLink());
    EXPECT_EQ(unplaced.findAttribute("Name"), nullptr);
    EXPECT_EQ(fresh.findAttribute("Name")->getValue().getText(), "Office Chair");   // the copy's own list
    EXPECT_EQ(ifcReads(), before);

    // What is added to a new element stays in its list; the host does not know the element yet.
    const std::size_t elements = host_->project().state.ifc.elements.size();
    unplaced.addAttribute(
        std::make_unique<tarnwick::IFCAttribute>(tarnwick::StringSetting("C-01"), "Tag", "IfcIdentifier", 0));
    unplaced.addProperty(std::make_unique<tarnwick::IFCSingleValue>("Maker", "Pset_B", "IfcLabel", "",
                                                                    tarnwick::StringSetting("Acme")));
    ASSERT_NE(unplaced.findAttribute("Tag"), nullptr);
    EXPECT_EQ(unplaced.findAttribute("Tag")->getValue().getText(), "C-01");
    EXPECT_NE(unplaced.findProperty("Pset_B", "Maker"), nullptr);
    unplaced.removeProperty("Pset_B", "Maker");   // and can be taken out again
    EXPECT_EQ(unplaced.findProperty("Pset_B", "Maker"), nullptr);
    EXPECT_EQ(host_->countCalls(host::HostSlot::removeElementIFCProperty), 0u);
    EXPECT_EQ(host_->project().state.ifc.elements.size(), elements);
}

TEST_F(IFCMemoTest, ChangesReachTheHostAndRemovingFromAllSetsKeepsOtherNames) {
    auto chair = element(0);
    ASSERT_NE(chair, nullptr);
    ASSERT_EQ(inCommand([&] {
                  chair->addAttribute(std::make_unique<tarnwick::IFCAttribute>(
                      tarnwick::StringSetting("C-01"), "Tag", "IfcIdentifier", 0));
                  chair->removePropertyFromAllSets("Nothing");   // held by no set: no change
                  chair->removePropertyFromAllSets("Colour");
                  return true;
              }),
              0u);
    EXPECT_EQ(chair->findProperty("Pset_A", "Colour"), nullptr);
    EXPECT_EQ(chair->findProperty("Pset_B", "Colour"), nullptr);
    EXPECT_NE(chair->findProperty("Pset_B", "Maker"), nullptr);
    EXPECT_EQ(chair->getPropertyIndex()->find("Pset_A"), nullptr);
    ASSERT_EQ(stored().properties.size(), 1u);
    EXPECT_EQ(stored().properties[0].name, "Maker");
    ASSERT_EQ(stored().attributes.size(), 2u);
    EXPECT_EQ(stored().attributes[1].name, "Tag");
}

}   // namespace

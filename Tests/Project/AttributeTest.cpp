#include "Project/Attribute.h"

#include <cstring>
#include <string>

#include "Foundation/MemoryBlock.h"
#include "Project/AttributeFixture.h"
#include "Project/AttributeType.h"
#include "Project/Layer.h"

namespace {

using tarnwick::AttributeLink;
using tarnwick::AttributeType;
using tarnwick::Layer;

class AttributeTest : public AttributeFixture {};

TEST(AttributeType, StepsThroughEveryValueAndWrapsAtBothEnds) {
    AttributeType type = AttributeType::material;   // 17
    EXPECT_EQ(type++, AttributeType::material);
    EXPECT_EQ(type, AttributeType::none);
    EXPECT_EQ(--type, AttributeType::material);
    type = AttributeType::complexProfile;
    EXPECT_EQ(toByte(++type), 12);   // unnamed values are stepped through too
    type = AttributeType::pen;
    EXPECT_EQ(--type, AttributeType::none);
}

TEST_F(AttributeTest, LinksAreValidWithTypeAndIndexAndBelongToTheProjectByDefault) {
    const AttributeLink walls(kWalls, AttributeType::layer);
    EXPECT_TRUE(walls.isValid());
    EXPECT_EQ(walls.getOwner(), &specification());
    const AttributeLink none(std::int16_t{0}, AttributeType::layer);
    EXPECT_FALSE(none.isValid());
    EXPECT_EQ(none.getOwner(), nullptr);
    EXPECT_FALSE(AttributeLink(std::int16_t{3}, AttributeType::none).isValid());
    // The high half of the index stays zero; a negative 16-bit index keeps its low half.
    EXPECT_EQ(AttributeLink(std::int32_t{0x12345}, AttributeType::layer).getIndex(), 0x2345);
    EXPECT_EQ(AttributeLink(std::int16_t{-3}, AttributeType::composite).getIndex(), 0xFFFD);
    // Equality takes index, type and owner.
    tarnwick::Specification other(project());
    EXPECT_EQ(walls, AttributeLink(kWalls, AttributeType::layer));
    EXPECT_NE(walls, AttributeLink(kWalls, AttributeType::layer, &other));
    EXPECT_NE(walls, AttributeLink(kWalls, AttributeType::pen));
    // By name: the host's index, or 0 when it has none.
    EXPECT_EQ(AttributeLink(tarnwick::String("Doors"), AttributeType::layer).getShortIndex(), kDoors);
    EXPECT_EQ(AttributeLink(tarnwick::String("Doors"), AttributeType::pen).getShortIndex(), 0);
    EXPECT_EQ(AttributeLink(tarnwick::String("Nowhere"), AttributeType::layer).getShortIndex(), 0);
}

TEST_F(AttributeTest, AnAttributeWithoutHostIndexIsInvalidEvenWithAValidLink) {
    Layer layer;   // a new layer: record index 0
    layer.setLink(AttributeLink(kWalls, AttributeType::pen));
    EXPECT_TRUE(layer.getLink().isValid());
    EXPECT_EQ(layer.getLink().getType(), AttributeType::layer);   // setLink keeps the object's type
    EXPECT_FALSE(layer.isValid());
    layer.clearLink();
    EXPECT_EQ(layer.getLink().getShortIndex(), 0);
    EXPECT_EQ(layer.getLink().getOwner(), nullptr);
    EXPECT_EQ(layer.getLink().getType(), AttributeType::layer);
}

TEST_F(AttributeTest, NamesAreCutOnACharacterBoundaryAndReadWithinTheirField) {
    Layer layer;
    const std::string longName = std::string(254, 'a') + "\xC3\xA9" + "b";   // é would straddle byte 255
    layer.setName(tarnwick::String(longName.c_str()));
    EXPECT_EQ(std::string(layer.getName().getText()), std::string(254, 'a'));
    // A host header whose name fills the whole field has no terminator.
    std::memset(layer.getRecord().name, 'z', host::kAttributeNameBytes);
    EXPECT_EQ(layer.getName().getByteLength(), host::kAttributeNameBytes);
}

TEST_F(AttributeTest, UserDataComesWithVersionAndPlatformOrNotAtAll) {
    host::SimAttribute* walls = host_->project().findAttribute(host::kAttributeLayer, kWalls);
    walls->userData = host::SimUserData{static_cast<std::uint16_t>(-2), 0x4D4D, 0, {'x', 'y'}};
    std::int32_t version = 7, platform = 7;
    std::unique_ptr<tarnwick::MemoryBlock> block =
        Layer(AttributeLink(kWalls, AttributeType::layer)).getUserData(&version, &platform);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->getSize(), 2u);
    EXPECT_EQ(version, -2);
    EXPECT_EQ(platform, 1);
    // No user data: still a block, with the record's values.
    block = Layer(AttributeLink(kRoof, AttributeType::layer)).getUserData(&version, &platform);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->getSize(), 0u);
    EXPECT_EQ(platform, 2);
    // A host error: null and zeros.
    host_->injectFault({host::HostSlot::getAttributeUserData, std::nullopt}, 0, host::kErrGeneral);
    version = platform = 7;
    EXPECT_EQ(Layer(AttributeLink(kRoof, AttributeType::layer)).getUserData(&version, &platform), nullptr);
    EXPECT_EQ(version, 0);
    EXPECT_EQ(platform, 0);
    // An invalid attribute: null, the out-values untouched.
    version = platform = 7;
    EXPECT_EQ(Layer().getUserData(&version, &platform), nullptr);
    EXPECT_EQ(version, 7);
}

}   // namespace

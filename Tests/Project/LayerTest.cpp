#include "Project/Layer.h"

#include <cstring>
#include <vector>

#include "Foundation/Memory.h"
#include "Project/AttributeFixture.h"
#include "Project/AttributeIterator.h"
#include "Project/LayerCombination.h"
#include "Project/LayerMap.h"

namespace {

using tarnwick::AttributeLink;
using tarnwick::AttributeType;
using tarnwick::Layer;
using tarnwick::LayerCombination;
using tarnwick::LayerMap;

// A handle holding the bytes of the records, cut or padded to `bytes`.
host::Handle statusHandle(const std::vector<host::LayerStatusRecord>& records, std::size_t bytes) {
    host::Handle handle = tarnwick::allocateHandle(bytes);
    std::memcpy(*handle, records.data(), std::min(bytes, records.size() * sizeof(host::LayerStatusRecord)));
    return handle;
}

class LayerTest : public AttributeFixture {};

TEST(LayerStatus, SettersChangeOnlyTheirFlag) {
    const struct {
        void (Layer::Status::*set)(bool);
        std::uint16_t flag;
    } cases[] = {{&Layer::Status::setHidden, 0x1},
                 {&Layer::Status::setLocked, 0x2},
                 {&Layer::Status::setOutsideWorkspace, 0x4},
                 {&Layer::Status::setCarried, 0x10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag);
        Layer::Status status(0x8000, 7);
        (status.*c.set)(true);
        EXPECT_EQ(status.getFlags(), 0x8000 | c.flag);
        (status.*c.set)(false);
        EXPECT_EQ(status.getFlags(), 0x8000);
        EXPECT_EQ(status.getGroup(), 7);
    }
    host::LayerStatusRecord record{};
    record.layer = 9;
    Layer::Status(0x12, 44).toRecord(record);
    EXPECT_EQ(record.layer, 0);   // the combination's writer puts the index in
    EXPECT_EQ(record.flags, 0x12);
    EXPECT_EQ(record.group, 44);
}

TEST_F(LayerTest, LayerMapFromAHandleTakesWholeRecordsAndTheLaterOfTwoEqualIndices) {
    const std::vector<host::LayerStatusRecord> records = {{2, 0x2, 5}, {3, 0x1, 6}, {2, 0x10, 8}};
    struct Case {
        std::size_t bytes;
        std::size_t count;
    };
    for (const Case c : {Case{7, 0}, Case{8, 1}, Case{12, 1}, Case{24, 2}}) {
        SCOPED_TRACE(c.bytes);
        host::Handle handle = statusHandle(records, c.bytes);
        const LayerMap map(handle);
        EXPECT_EQ(map.getCount(), c.count);
        EXPECT_EQ(map.hasMap(), c.count > 0);
        if (c.bytes == 24) {
            EXPECT_EQ(map.getStatus(std::int16_t{2}), Layer::Status(0x10, 8));
        }
        tarnwick::disposeHandle(handle);
    }
}

TEST_F(LayerTest, LayerMapGivesHiddenForAbsentLayersAndAddsThemWithFlagsZeroBeforeASetter) {
    LayerMap map(false);
    const Layer roof(AttributeLink(kRoof, AttributeType::layer));
    EXPECT_EQ(map.getStatus(roof), Layer::Status(host::kLayerHidden, 0));
    map.setLocked(roof, true);
    EXPECT_EQ(map.getStatus(roof), Layer::Status(host::kLayerLocked, 0));   // not hidden
    map.setGroup(roof, 12);
    EXPECT_EQ(map.getStatus(roof), Layer::Status(host::kLayerLocked, 12));
    const LayerMap copy(map);
    map.setLocked(roof, false);
    EXPECT_EQ(copy.getStatus(roof).getFlags(), host::kLayerLocked);   // deep copy
}

TEST_F(LayerTest, ReadsFlagsNameAndGroupFromTheHostOnFirstUse) {
    const Layer site(AttributeLink(kSite, AttributeType::layer));
    EXPECT_EQ(callsOf(host::HostSlot::getAttribute), 0u);
    EXPECT_TRUE(site.isHidden());
    EXPECT_TRUE(site.isLocked());
    EXPECT_EQ(site.getName(), "Site");
    EXPECT_EQ(site.getGroup(), kSite * 10);
    EXPECT_TRUE(site.isValid());
    EXPECT_EQ(callsOf(host::HostSlot::getAttribute), 1u);   // loaded once

    const Layer byName(tarnwick::String("Roof"));
    EXPECT_EQ(byName.getLink().getShortIndex(), kRoof);
    EXPECT_TRUE(byName.isLocked());
    EXPECT_EQ(byName.getStatus(), Layer::Status(host::kLayerLocked | 0x10, kRoof * 10));

    const Layer fresh(tarnwick::String("Annotations"));   // unknown: a new layer of that name
    EXPECT_FALSE(fresh.isValid());
    EXPECT_EQ(fresh.getName(), "Annotations");
    EXPECT_EQ(fresh.getLink().getOwner(), nullptr);
}

TEST_F(LayerTest, LayerMapOfTheProjectReadsEveryLayerWithoutWritingAny) {
    const LayerMap map(true);
    EXPECT_EQ(map.getCount(), 6u);   // 1, 2, 3, 4, 5, 7
    EXPECT_EQ(map.getStatus(std::int16_t{kSite}),
              Layer::Status(host::kLayerHidden | host::kLayerLocked, kSite * 10));
    EXPECT_EQ(map.getStatus(std::int16_t{kWalls}).getFlags(), 0);
    EXPECT_EQ(callsOf(host::HostSlot::changeAttribute), 0u);
}

TEST_F(LayerTest, CombinationIndexIsNegativeAndItsDefinitionCarriesEveryProjectLayer) {
    const LayerCombination five(AttributeLink(std::int16_t{5}, AttributeType::layerCombination));
    EXPECT_EQ(five.getIndex(), 0xFFFB);                         // -5 in the low half, the high half 0
    EXPECT_LT(static_cast<std::int16_t>(five.getIndex()), 0);   // told apart from layers by that sign

    LayerCombination combination;   // new: only some layers in its map
    auto map = std::make_unique<LayerMap>(false);
    map->setLocked(Layer(AttributeLink(kWalls, AttributeType::layer)), true);
    combination.setLayerMap(std::move(map));
    combination.setName("Working");
    tarnwick::AttributeExtensionPtr extension = combination.copyExtendedDefinition();
    ASSERT_NE(extension, nullptr);
    const std::size_t bytes = tarnwick::getHandleSize(extension->layerStatuses);
    ASSERT_EQ(bytes, 6 * sizeof(host::LayerStatusRecord));
    std::vector<host::LayerStatusRecord> records(6);
    std::memcpy(records.data(), *extension->layerStatuses, bytes);
    const std::vector<std::int16_t> order = {1, kWalls, kDoors, kRoof, kSite, kGrid};
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].layer, order[i]);
        EXPECT_EQ(records[i].flags, order[i] == kWalls ? host::kLayerLocked : host::kLayerHidden);
    }
    EXPECT_EQ(combination.getRecord().index, 0);
}

TEST_F(LayerTest, CombinationWrittenAndReadBackKeepsItsMap) {
    LayerCombination combination;
    auto map = std::make_unique<LayerMap>(false);
    map->setGroup(Layer(AttributeLink(kGrid, AttributeType::layer)), 3);
    combination.setLayerMap(std::move(map));
    combination.setName("Print");
    ASSERT_EQ(inCommand([&] { return specification().write(combination); }), 0u);
    ASSERT_GT(combination.getLink().getShortIndex(), 0);

    LayerCombination again(combination.getLink());
    tarnwick::LayerMap* read = again.getLayerMap();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getCount(), 6u);
    EXPECT_EQ(read->getStatus(std::int16_t{kGrid}), Layer::Status(0, 3));
    EXPECT_EQ(read->getStatus(std::int16_t{kWalls}).getFlags(), host::kLayerHidden);
    EXPECT_EQ(again.getName(), "Print");
}

}   // namespace

#include "Project/ElementMemoStore.h"

#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostMemory.h>
#include <HostRecords.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/TracedException.h"
#include "Project/AttributeFixture.h"
#include "Project/AttributeMemoStore.h"
#include "Project/Layer.h"
#include "Project/LayerCombination.h"
#include "Project/LayerMap.h"
#include "Project/Memo.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::AttributeLink;
using tarnwick::AttributeType;
using tarnwick::ElementMemoStore;
using tarnwick::Layer;
using tarnwick::LayerCombination;
using tarnwick::MemoStore;

// Blocks alive now, to compare with after a test body.
std::pair<std::size_t, std::size_t> liveBlocks() {
    const host::MemoryStats stats = host::memoryStats();
    return {stats.liveHandles, stats.livePtrs};
}

// The store runs with the host bound: its destructor gives the memo's handles to the host's disposal.
class ElementMemoStoreTest : public DrawingFixture {};

// Every handle field of the store's interface, with both accessors.
struct Field {
    std::string name;
    std::function<host::Handle(const MemoStore&)> get;
    std::function<host::Handle*(MemoStore&)> address;
};
std::vector<Field> everyHandleField() {
    std::vector<Field> fields;
#define TARNWICK_FIELD(field)                                                       \
    fields.push_back({#field, [](const MemoStore& store) { return store.field(); }, \
                      [](MemoStore& store) { return store.field(); }});
    TARNWICK_MEMO_HANDLES_A(TARNWICK_FIELD)
    TARNWICK_MEMO_HANDLES_B(TARNWICK_FIELD)
    TARNWICK_MEMO_HANDLES_C(TARNWICK_FIELD)
    TARNWICK_MEMO_HANDLES_D(TARNWICK_FIELD)
#undef TARNWICK_FIELD
    return fields;
}

bool isAttributeField(const std::string& name) {
    return name.rfind("ltype_", 0) == 0 || name.rfind("fill_", 0) == 0 || name.rfind("cwall_", 0) == 0 ||
           name == "layer_statItems";
}

TEST_F(ElementMemoStoreTest, StartsEmptyAndRefusesTheFieldsOfAnAttributeDefinition) {
    ElementMemoStore store;
    const std::vector<Field> fields = everyHandleField();
    EXPECT_EQ(fields.size(), 47u);
    int refused = 0;
    for (const Field& field : fields) {
        SCOPED_TRACE(field.name);
        if (!isAttributeField(field.name)) {
            EXPECT_EQ(field.get(store), nullptr);
            host::Handle* address = field.address(store);
            EXPECT_EQ(*address, nullptr);
            // The address is inside the record: what is put there reads back.
            *address = tarnwick::allocateHandle(4);
            EXPECT_EQ(field.get(store), *address);
            continue;
        }
        ++refused;
        for (int accessor = 0; accessor < 2; ++accessor) {
            try {
                if (accessor == 0)
                    field.get(store);
                else
                    field.address(store);
                ADD_FAILURE() << "no exception";
            } catch (const tarnwick::TracedException& e) {
                EXPECT_EQ(e.getKind(), "bad_alloc");
                EXPECT_EQ(e.getPlace(), ("ElementMemoStore::" + field.name).c_str());
            }
        }
    }
    EXPECT_EQ(refused, 7);
    EXPECT_EQ(static_cast<const ElementMemoStore&>(store).cWSegContour(), nullptr);
    for (unsigned char byte : static_cast<const ElementMemoStore&>(store).cWSegPrimaryPattern())
        EXPECT_EQ(byte, 0);
}

TEST_F(ElementMemoStoreTest, AllocatesTheContourBlockOnceAndFreesItWithTheMemo) {
    const auto before = liveBlocks();
    {
        ElementMemoStore store;
        host::Ptr* block = store.cWSegContour();
        ASSERT_NE(*block, nullptr);
        EXPECT_EQ(host::getPtrSize(*block), 56u);
        EXPECT_EQ(std::string(*block, 56), std::string(56, '\0'));
        const host::Ptr first = *block;
        EXPECT_EQ(*store.cWSegContour(), first) << "a second call gives the same block";
        EXPECT_EQ(static_cast<const ElementMemoStore&>(store).cWSegContour(), first);
    }
    EXPECT_EQ(liveBlocks(), before);
    EXPECT_EQ(host::memoryStats().violations, 0u);
}

TEST_F(ElementMemoStoreTest, GivesBackWhatWasWrittenThroughTheMutableAccessor) {
    const auto before = liveBlocks();
    {
        ElementMemoStore store;
        const ElementMemoStore& constant = store;
        *store.coords() = tarnwick::allocateHandle(32);
        *store.parameters() = tarnwick::allocateHandle(8);
        *store.morphBody() = tarnwick::allocateHandle(4);
        EXPECT_EQ(constant.coords(), store.getMemo()->coords);
        EXPECT_EQ(constant.parameters(), store.getMemo()->parameters);
        EXPECT_EQ(constant.morphBody(), store.getMemo()->morphBody);
        (*store.cWSegSecondaryPattern())[47] = 9;
        EXPECT_EQ(constant.cWSegSecondaryPattern()[47], 9);
        EXPECT_EQ(store.getMemo()->cWSegSecondaryPattern[47], 9);
        (*store.shellShapes())[0] = 3;
        EXPECT_EQ(store.getMemo()->shellShapes[0], 3);
    }
    EXPECT_EQ(liveBlocks(), before) << "the store releases the handles it holds";
}

TEST_F(ElementMemoStoreTest, LeavesAMemoItGaveUpOrWasToldToKeep) {
    const auto before = liveBlocks();
    host::ElementMemo* memo = nullptr;
    {
        ElementMemoStore store;
        *store.gables() = tarnwick::allocateHandle(16);
        memo = store.release();
        EXPECT_TRUE(store.getKeep());
    }
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(host::isLiveHandle(memo->gables)) << "handed on, not released";
    {
        ElementMemoStore borrowed(memo, /*keep=*/true);
        EXPECT_EQ(static_cast<const ElementMemoStore&>(borrowed).gables(), memo->gables);
    }
    EXPECT_TRUE(host::isLiveHandle(memo->gables));
    { ElementMemoStore owner(memo); }   // takes it and releases it
    EXPECT_EQ(liveBlocks(), before);
    EXPECT_EQ(host::memoryStats().violations, 0u);
}

TEST_F(ElementMemoStoreTest, HoldsAMemoReadFromTheHostAndReleasesAllOfIt) {
    const auto before = liveBlocks();
    {
        ElementMemoStore store;
        const host::GuidRecord guid = tarnwickGuid(0).getRecord();
        ASSERT_EQ(tarnwick::hostApi().call<host::HostSlot::getElementMemo>(&guid, store.getMemo(),
                                                                           host::kMemoFullMask),
                  0u);
        const host::Handle parameters = static_cast<const ElementMemoStore&>(store).parameters();
        ASSERT_EQ(host::getHandleSize(parameters), 2u);
        EXPECT_EQ(std::string(*parameters, 2), "p1");
    }
    EXPECT_EQ(liveBlocks(), before);
}

// --- AttributeMemoStore ------------------------------------------------------------------------------------
using tarnwick::AttributeMemoStore;

class AttributeMemoStoreTest : public AttributeFixture {
protected:
    static constexpr std::int16_t kPlot = 1;   // the combination put into the host below

    // A combination whose statuses only the host wrote: Walls locked in group 7, Grid shown in group 3.
    void addPlotCombination() {
        host::SimAttribute plot = attribute(host::kAttributeLayerCombination, kPlot, "Plot");
        const host::LayerStatusRecord records[] = {{kWalls, host::kLayerLocked, 7}, {kGrid, 0, 3}};
        const auto* bytes = reinterpret_cast<const unsigned char*>(records);
        plot.extension[offsetof(host::AttributeExtension, layerStatuses)].assign(bytes,
                                                                                 bytes + sizeof records);
        plot.body[0] = 2;   // the status count, carried
        host_->project().state.attributes.push_back(plot);
        host::sortAttributes(host_->project().state.attributes);
    }
    tarnwick::AttributeLink plotLink() {
        return tarnwick::AttributeLink(kPlot, tarnwick::AttributeType::layerCombination, &specification());
    }
};

// The fields an extended definition holds, at their byte offsets in the 224-byte record.
std::optional<std::size_t> definitionOffset(const std::string& field) {
    static const std::map<std::string, std::size_t> offsets = {
        {"ltype_dashItems", 0},  {"ltype_lineItems", 8},   {"fill_lineItems", 16},   {"fill_lineLength", 24},
        {"cwall_compItems", 88}, {"cwall_compLItems", 96}, {"layer_statItems", 104}, {"parameters", 112}};
    const auto found = offsets.find(field);
    return found != offsets.end() ? std::optional<std::size_t>(found->second) : std::nullopt;
}

template <typename Call>
void expectRefused(Call call, const std::string& field) {
    SCOPED_TRACE(field);
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const tarnwick::TracedException& e) {
        EXPECT_EQ(e.getKind(), "bad_alloc");
        EXPECT_EQ(e.getPlace(), ("AttributeMemoStore::" + field).c_str());
    }
}

TEST_F(AttributeMemoStoreTest, HoldsTheDefinitionsFieldsAtTheirOffsetsAndRefusesEveryElementField) {
    AttributeMemoStore store;
    const AttributeMemoStore& constant = store;
    const auto* record = reinterpret_cast<const unsigned char*>(store.getDefinition());
    int held = 0;
    for (const Field& field : everyHandleField()) {
        SCOPED_TRACE(field.name);
        if (const std::optional<std::size_t> offset = definitionOffset(field.name)) {
            ++held;
            EXPECT_EQ(field.get(store), nullptr);
            host::Handle* address = field.address(store);
            EXPECT_EQ(reinterpret_cast<const unsigned char*>(address), record + *offset);
            *address = tarnwick::allocateHandle(4);   // released with the store
            EXPECT_EQ(field.get(store), *address);
            continue;
        }
        expectRefused([&] { field.get(store); }, field.name);
        expectRefused([&] { field.address(store); }, field.name);
    }
    EXPECT_EQ(held, 8);
    // The element memo's fields that are not handles.
    expectRefused([&] { constant.cWSegContour(); }, "cWSegContour");
    expectRefused([&] { store.cWSegContour(); }, "cWSegContour");
    expectRefused([&] { constant.cWSegPrimaryPattern(); }, "cWSegPrimaryPattern");
    expectRefused([&] { store.cWSegPrimaryPattern(); }, "cWSegPrimaryPattern");
    expectRefused([&] { constant.cWSegSecondaryPattern(); }, "cWSegSecondaryPattern");
    expectRefused([&] { store.cWSegSecondaryPattern(); }, "cWSegSecondaryPattern");
    expectRefused([&] { store.shellShapes(); }, "shellShapes");
    EXPECT_EQ(host::getPtrSize(reinterpret_cast<host::Ptr>(store.getDefinition())), 224u);
}

TEST_F(AttributeMemoStoreTest, ReleasesItsHandlesThroughTheHostAndFreesTheRecord) {
    const auto before = liveBlocks();
    const std::size_t disposals = callsOf(host::HostSlot::disposeAttributeExtension);
    {
        AttributeMemoStore store;
        *store.ltype_dashItems() = tarnwick::allocateHandle(8);
        *store.cwall_compLItems() = tarnwick::allocateHandle(8);
        *store.layer_statItems() = tarnwick::allocateHandle(16);
        *store.parameters() = tarnwick::allocateHandle(4);
    }
    EXPECT_EQ(liveBlocks(), before);
    EXPECT_EQ(callsOf(host::HostSlot::disposeAttributeExtension), disposals + 1);
    EXPECT_EQ(host::memoryStats().violations, 0u);
}

TEST_F(AttributeMemoStoreTest, LeavesADefinitionItGaveUpOrWasToldToKeep) {
    const auto before = liveBlocks();
    tarnwick::AttributeExtensionPtr definition;
    {
        AttributeMemoStore store;
        *store.fill_lineItems() = tarnwick::allocateHandle(16);
        definition = store.release();
        EXPECT_TRUE(store.getKeep());
        EXPECT_EQ(store.release(), nullptr) << "given up once";
    }
    ASSERT_NE(definition, nullptr);
    EXPECT_TRUE(host::isLiveHandle(definition->fillLines)) << "handed on with its handles";
    {
        AttributeMemoStore borrowed(definition.get(), /*keep=*/true);
        EXPECT_EQ(static_cast<const AttributeMemoStore&>(borrowed).fill_lineItems(), definition->fillLines);
        EXPECT_EQ(borrowed.release(), nullptr) << "not the store's to give";
    }
    EXPECT_TRUE(host::isLiveHandle(definition->fillLines));
    { AttributeMemoStore owner(definition.release()); }   // takes it and releases it
    EXPECT_EQ(liveBlocks(), before);
    {
        AttributeMemoStore own(nullptr, /*keep=*/true);   // a record it made is always its own
        EXPECT_FALSE(own.getKeep());
    }
    EXPECT_EQ(liveBlocks(), before);
    EXPECT_EQ(host::memoryStats().violations, 0u);
}

TEST_F(AttributeMemoStoreTest, CarriesACombinationsStatusesFromTheHostAndBack) {
    addPlotCombination();
    const auto before = liveBlocks();
    LayerCombination combination(plotLink());
    std::unique_ptr<MemoStore> store;
    EXPECT_TRUE(combination.load(tarnwick::LayerMapMemo::kPartMask, store));
    const auto* given = dynamic_cast<const AttributeMemoStore*>(store.get());
    ASSERT_NE(given, nullptr) << "the host's definition comes back in a store the caller owns";
    EXPECT_EQ(tarnwick::getHandleSize(given->layer_statItems()), 2 * sizeof(host::LayerStatusRecord));
    store.reset();

    tarnwick::LayerMap* map = combination.getLayerMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(callsOf(host::HostSlot::getAttributeExtension), 1u) << "loaded once";
    EXPECT_EQ(map->getStatus(kWalls), Layer::Status(host::kLayerLocked, 7));
    EXPECT_EQ(map->getStatus(kGrid), Layer::Status(0, 3));
    EXPECT_EQ(map->getStatus(kDoors), Layer::Status(host::kLayerHidden, 0)) << "absent: hidden";

    map->setHidden(Layer(AttributeLink(kGrid, AttributeType::layer)), true);
    ASSERT_EQ(inCommand([&] { return specification().write(combination); }), 0u);
    const host::SimAttribute* stored =
        host_->project().findAttribute(host::kAttributeLayerCombination, kPlot);
    ASSERT_NE(stored, nullptr);
    const auto& bytes = stored->extension.at(offsetof(host::AttributeExtension, layerStatuses));
    std::vector<host::LayerStatusRecord> records(6);
    ASSERT_EQ(bytes.size(), records.size() * sizeof(host::LayerStatusRecord));
    std::memcpy(records.data(), bytes.data(), bytes.size());
    const struct {
        std::int16_t layer;
        std::uint16_t flags;
        std::int32_t group;
    } expected[] = {{1, host::kLayerHidden, 0},      {kWalls, host::kLayerLocked, 7},
                    {kDoors, host::kLayerHidden, 0}, {kRoof, host::kLayerHidden, 0},
                    {kSite, host::kLayerHidden, 0},  {kGrid, host::kLayerHidden, 3}};
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].layer, expected[i].layer);
        EXPECT_EQ(records[i].flags, expected[i].flags);
        EXPECT_EQ(records[i].group, expected[i].group);
    }
    std::int16_t count = 0;
    std::memcpy(&count, stored->body.data(), sizeof count);
    EXPECT_EQ(count, 6) << "the count follows the statuses written";
    EXPECT_EQ(liveBlocks(), before);
}

TEST_F(AttributeMemoStoreTest, CombinationLoadReadsNothingWithoutAHostDefinitionOrItsPartInTheMask) {
    addPlotCombination();
    const auto before = liveBlocks();
    {   // the definition is handed back, but the mask does not ask for the statuses
        LayerCombination combination(plotLink());
        std::unique_ptr<MemoStore> store;
        EXPECT_FALSE(combination.load(0x40000000, store));
        EXPECT_NE(dynamic_cast<AttributeMemoStore*>(store.get()), nullptr);
        EXPECT_FALSE(combination.isLoaded());
    }
    {   // an index the host does not have
        LayerCombination combination(
            AttributeLink(std::int16_t{9}, AttributeType::layerCombination, &specification()));
        std::unique_ptr<MemoStore> store;
        EXPECT_FALSE(combination.load(tarnwick::LayerMapMemo::kPartMask, store));
        EXPECT_EQ(store, nullptr);
        EXPECT_TRUE(combination.isLoaded());
        EXPECT_EQ(combination.getLayerMap(), nullptr);
    }
    {   // the host failing the read
        host_->injectFault({host::HostSlot::getAttributeExtension, std::nullopt}, 0, host::kErrGeneral);
        LayerCombination combination(plotLink());
        std::unique_ptr<MemoStore> store;
        EXPECT_FALSE(combination.load(tarnwick::LayerMapMemo::kPartMask, store));
        EXPECT_EQ(store, nullptr);
        EXPECT_EQ(combination.getLayerMap(), nullptr);
        host_->clearFaults();
    }
    EXPECT_EQ(liveBlocks(), before);
}

// Whichever allocation fails, reading and writing a combination's statuses leaks nothing.
TEST_F(AttributeMemoStoreTest, LeaksNothingWhenAnAllocationFails) {
    addPlotCombination();
    const auto before = liveBlocks();
    const auto run = [&] {
        try {
            LayerCombination combination(plotLink());
            if (combination.getLayerMap() != nullptr) static_cast<void>(combination.copyExtendedDefinition());
        } catch (const tarnwick::TracedException& e) {
            EXPECT_EQ(e.getKind(), "bad_alloc");
        }
    };
    const std::uint64_t start = host::memoryStats().allocations;
    run();
    const std::uint64_t total = host::memoryStats().allocations - start;
    ASSERT_GT(total, 2u);
    for (std::uint64_t nth = 1; nth <= total; ++nth) {
        SCOPED_TRACE(nth);
        host::failAllocation(nth);
        run();
        host::failAllocation(0);
        EXPECT_EQ(liveBlocks(), before);
    }
}

// --- Memo ------------------------------------------------------------------------------------------------
// A memo of the element's parameter bytes; counts its loads. A load without a store asks the host for
// the memo of `guid` in a store of its own.
class ParameterBytes : public tarnwick::Memo {
public:
    explicit ParameterBytes(const host::GuidRecord& guid) : guid_(guid) {}
    bool isValid() const override { return !bytes.empty(); }
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override {
        ++loads;
        if (!store) {
            auto own = std::make_unique<ElementMemoStore>();
            if (tarnwick::hostApi().call<host::HostSlot::getElementMemo>(&guid_, own->getMemo(), mask) != 0)
                return false;
            store = std::move(own);
        }
        if (!read(*store)) return false;
        setLoaded(true);
        return true;
    }
    bool write(MemoStore&) override { return false; }
    bool read(MemoStore& store) override {
        const host::Handle handle = static_cast<const MemoStore&>(store).parameters();
        const std::size_t size = host::getHandleSize(handle);
        bytes.assign(size ? *handle : nullptr, size ? *handle + size : nullptr);
        return true;
    }

    std::string bytes;
    int loads = 0;

private:
    host::GuidRecord guid_;
};

using MemoTest = DrawingFixture;

TEST_F(MemoTest, LoadsOnDemandOnceAndDropsTheStoreItMade) {
    const auto before = liveBlocks();
    ParameterBytes memo(tarnwickGuid(0).getRecord());
    EXPECT_TRUE(memo.loadOnDemand(host::kMemoParameters));
    EXPECT_EQ(memo.bytes, "p1");
    EXPECT_EQ(liveBlocks(), before) << "the store the load made is gone";
    EXPECT_TRUE(memo.loadOnDemand(host::kMemoParameters));
    EXPECT_EQ(memo.loads, 1) << "loaded and valid: no second load";

    ParameterBytes copy(memo);
    EXPECT_TRUE(copy.isLoaded()) << "a copy keeps the loaded flag";
    memo.update(copy, memo);
    EXPECT_EQ(memo.bytes, "p1") << "the base update changes nothing";

    // An element without parameters loads but stays invalid, so it is asked again.
    ParameterBytes empty(tarnwickGuid(1).getRecord());
    EXPECT_FALSE(empty.loadOnDemand(host::kMemoParameters));
    EXPECT_FALSE(empty.loadOnDemand(host::kMemoParameters));
    EXPECT_EQ(empty.loads, 2);
    // A failing host leaves it unloaded.
    ParameterBytes missing(host::GuidRecord{7, 0, 0, {}});
    EXPECT_FALSE(missing.loadOnDemand(host::kMemoParameters));
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(liveBlocks(), before);
}

}   // namespace

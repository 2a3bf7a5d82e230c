#include "Project/ElementMemoStore.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostMemory.h>
#include <HostRecords.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/TracedException.h"
#include "Project/Memo.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::ElementMemoStore;
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

#include "Project/EditManager.h"

#include <functional>
#include <stdexcept>

#include "Elements/Element.h"
#include "Environment/Host.h"
#include "Project/AttrRefList.h"
#include "Project/AttributeFixture.h"
#include "Project/ElementLinkList.h"
#include "Project/Section.h"

namespace {

using tarnwick::EditManager;
using tarnwick::ElementLink;
using tarnwick::Host;
using tarnwick::Transaction;

class EditManagerTest : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        registerRecordElements();
        tarnwick::Host::reset();
    }

    void setHead(int index, std::int16_t layer, std::int16_t locked = 0, std::int16_t owner = 0) {
        host::SimElement& element = *host_->project().findElement(guidOf(index));
        host::ElementHead head = element.head();
        head.layer = layer;
        head.locked = locked;
        head.ownerId = owner;
        element.setHead(head);
    }
    std::unique_ptr<tarnwick::Element> element(int index) {
        return plan().getElement(ElementLink(tarnwickGuid(index), &plan()));
    }
    // Prepares the first element for an edit inside a command, remembering its layers.
    bool prepareFirst(EditManager& edits) {
        return inCommand([&] {
                   auto object = element(0);
                   return object && edits.prepare(*object, true, true, false);
               }) == 0;
    }
    void shareProject() {
        host::SimTeamwork& teamwork = host_->project().state.teamwork;
        teamwork.shared = true;
        teamwork.connected = true;
        teamwork.memberId = 1;
        teamwork.members = {host::SimMember{1, 0, "Me", "me", {}},
                            host::SimMember{2, 0, "Other", "other", {}}};
    }
};

TEST_F(EditManagerTest, ShowsAndUnlocksTheLayerForTheEditAndRestoresItAfterwards) {
    setHead(0, kSite);   // hidden and locked
    std::uint16_t flagsDuringEdit = 0xFFFF;
    auto body = [&](Transaction& transaction) -> std::uint32_t {
        std::unique_ptr<tarnwick::Element> object = element(0);
        if (!object || !transaction.getEditManager().prepare(*object, true, true, false)) return 1;
        flagsDuringEdit = layerFlags(kSite);
        static_cast<RecordElement&>(*object).setX(9.5);
        return plan().storeElement(*object, false, false) ? 0 : 2;
    };
    LambdaTransaction<decltype(body)> transaction("Move", body);
    EXPECT_EQ(Host::makeTransaction(transaction) & 0xFF, Host::kHandled);
    EXPECT_EQ(flagsDuringEdit, 0);
    EXPECT_EQ(layerFlags(kSite), host::kLayerHidden | host::kLayerLocked);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 9.5);      // the edit itself stays
    EXPECT_EQ(host_->project().undoSteps().size(), 1u);   // restoring was part of the one step
    const EditManager* edits = transaction.findEditManager();
    ASSERT_NE(edits, nullptr);
    EXPECT_EQ(edits->getUnlockedLayers(), nullptr);
    EXPECT_EQ(edits->getShownLayers(), nullptr);
}

TEST_F(EditManagerTest, RestoresTheLayerWhenTheBodyThrows) {
    setHead(1, kRoof);   // locked, with a carried flag
    std::uint16_t flagsDuringEdit = 0xFFFF;
    auto body = [&](Transaction& transaction) -> std::uint32_t {
        std::unique_ptr<tarnwick::Element> object = element(1);
        if (object && transaction.getEditManager().prepare(*object, true, true, false))
            flagsDuringEdit = layerFlags(kRoof);
        throw std::runtime_error("broken edit");
    };
    LambdaTransaction<decltype(body)> transaction("Broken", body);
    EXPECT_EQ(Host::makeTransaction(transaction) & 0xFF, 0u);
    EXPECT_EQ(flagsDuringEdit, 0x10);
    EXPECT_EQ(layerFlags(kRoof), host::kLayerLocked | 0x10);
    EXPECT_EQ(transaction.findEditManager()->getUnlockedLayers(), nullptr);
}

TEST_F(EditManagerTest, PutsBackWhatAPrepareThatDeclinedOrThrewHadChanged) {
    // Its prepare makes element 0 editable, then declines or throws.
    struct Declining : Transaction {
        Declining(std::function<void(EditManager&)> edit, bool throws)
            : Transaction("Declined"), edit(std::move(edit)), throws(throws) {}
        bool prepare() override {
            edit(getEditManager());
            if (throws) throw std::runtime_error("broken prepare");
            return false;
        }
        std::uint32_t run() override { return 0; }
        std::function<void(EditManager&)> edit;
        bool throws;
    };
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws);
        setHead(0, kSite);   // hidden and locked
        std::uint16_t flagsWhilePrepared = 0xFFFF;
        Declining transaction(
            [&](EditManager& edits) {
                auto object = element(0);
                if (object && edits.prepare(*object, true, true, false))
                    flagsWhilePrepared = layerFlags(kSite);
            },
            throws);
        ASSERT_EQ(inCommand([&] {   // the host takes layer writes only inside a command
                      Host::makeTransaction(transaction);
                      return true;
                  }),
                  0u);
        EXPECT_EQ(flagsWhilePrepared, 0);
        EXPECT_EQ(layerFlags(kSite), host::kLayerHidden | host::kLayerLocked);
        EXPECT_EQ(transaction.findEditManager()->getUnlockedLayers(), nullptr);
    }
}

TEST_F(EditManagerTest, RemembersALockedAndHiddenLayerInBothListsAndRestoreSetsBothFlags) {
    setHead(0, kSite);
    EditManager edits(false, false);
    ASSERT_TRUE(prepareFirst(edits));
    ASSERT_NE(edits.getUnlockedLayers(), nullptr);
    ASSERT_NE(edits.getShownLayers(), nullptr);
    EXPECT_EQ(edits.getUnlockedLayers()->size(), 1u);
    EXPECT_EQ(edits.getShownLayers()->size(), 1u);
    EXPECT_EQ(layerFlags(kSite), 0);
    EXPECT_EQ(inCommand([&] { return edits.restoreLayers(); }), 0u);
    EXPECT_EQ(layerFlags(kSite), host::kLayerHidden | host::kLayerLocked);
    // Outside an undo step the host refuses the writes: restoreLayers says so.
    ASSERT_TRUE(prepareFirst(edits));
    EXPECT_FALSE(edits.restoreLayers());
    EXPECT_EQ(layerFlags(kSite), 0);
}

TEST_F(EditManagerTest, PutsBackWhatIsStillRememberedWhenDestroyedAndNothingOnceRestored) {
    setHead(0, kSite);
    std::size_t writesAtDestruction = 0;
    auto object = element(0);
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(inCommand([&] {
                  {
                      EditManager edits(false, false);
                      if (!edits.prepare(*object, true, true, false) || layerFlags(kSite) != 0) return false;
                  }   // left early: put back here
                  if (layerFlags(kSite) != (host::kLayerHidden | host::kLayerLocked)) return false;
                  auto edits = std::make_unique<EditManager>(false, false);
                  if (!edits->prepare(*object, true, true, false) || !edits->restoreLayers()) return false;
                  host_->clearCalls();
                  edits.reset();
                  writesAtDestruction = callsOf(host::HostSlot::changeAttribute);
                  return true;
              }),
              0u);
    EXPECT_EQ(writesAtDestruction, 0u);
    EXPECT_EQ(layerFlags(kSite), host::kLayerHidden | host::kLayerLocked);
}

TEST_F(EditManagerTest, ACopyAndItsOriginalPutEachChangeBackOnce) {
    setHead(0, kSite, /*locked=*/1);   // a locked element on a hidden and locked layer
    auto object = element(0);
    ASSERT_NE(object, nullptr);
    std::size_t callsByCopies = 1;
    ASSERT_EQ(inCommand([&] {
                  auto edits = std::make_unique<EditManager>(false, false);
                  if (!edits->prepare(*object, true, true, false)) return false;
                  const EditManager copy(*edits);
                  edits.reset();   // puts everything back
                  if (layerFlags(kSite) != (host::kLayerHidden | host::kLayerLocked) ||
                      simElement(0).head().locked == 0)
                      return false;
                  // Changed again since (by the user): the copy must not undo that.
                  host_->project().findAttribute(host::kAttributeLayer, kSite)->flags = 0;
                  setHead(0, kSite, /*locked=*/0);
                  host_->clearCalls();
                  EditManager(copy).restore(false);   // a copy of the copy shares the marks too
                  callsByCopies = host_->calls().size();
                  return true;
              }),
              0u);   // and the copy goes here
    EXPECT_EQ(callsByCopies, 0u);
    EXPECT_EQ(layerFlags(kSite), 0);
    EXPECT_EQ(simElement(0).head().locked, 0);
}

TEST_F(EditManagerTest, ALayerTheHostWillNotGiveBackFailsTheRestore) {
    // It cannot be locked again, so it must not pass for restored.
    setHead(0, kSite);
    EditManager edits(false, false);
    ASSERT_TRUE(prepareFirst(edits));
    host_->injectFault({host::HostSlot::getAttribute, std::nullopt}, 0, host::kErrGeneral);
    EXPECT_NE(inCommand([&] { return edits.restoreLayers(); }), 0u);
}

TEST_F(EditManagerTest, AnElementAlreadyEditableChangesNothing) {
    setHead(0, kWalls);
    EditManager edits(true, false);
    auto object = element(0);
    host_->clearCalls();
    EXPECT_TRUE(edits.prepare(*object, true, true, true));
    EXPECT_EQ(edits.getUnlockedLayers(), nullptr);
    EXPECT_EQ(edits.getShownLayers(), nullptr);
    EXPECT_EQ(edits.getUnlockedElements(), nullptr);
    EXPECT_EQ(edits.getReservedElements(), nullptr);
    EXPECT_EQ(callsOf(host::HostSlot::changeAttribute), 0u);
}

TEST_F(EditManagerTest, ALayerThatCannotBeReadMakesPrepareFailAndChangesNothing) {
    setHead(0, kSite);   // hidden and locked
    EditManager edits(false, false);
    auto object = element(0);
    ASSERT_NE(object, nullptr);
    host_->injectFault({host::HostSlot::getAttribute, std::nullopt}, 0, host::kErrGeneral);
    EXPECT_NE(inCommand([&] { return edits.prepare(*object, true, true, false); }), 0u);
    host_->clearFaults();
    EXPECT_EQ(layerFlags(kSite), host::kLayerHidden | host::kLayerLocked);
    EXPECT_EQ(edits.getUnlockedLayers(), nullptr);
    EXPECT_EQ(edits.getShownLayers(), nullptr);
}

TEST_F(EditManagerTest, RefusesAnElementHeldByAnotherMemberAndRemembersItsLayerChanges) {
    shareProject();
    setHead(1, kRoof, 0, /*owner=*/2);
    EditManager edits(true, false);
    ASSERT_TRUE(edits.isTeamwork());
    bool prepared = true;
    inCommand([&] {
        auto object = element(1);
        prepared = object && edits.prepare(*object, true, true, true);
        return true;
    });
    EXPECT_FALSE(prepared);
    EXPECT_EQ(layerFlags(kRoof), 0x10);   // unlocked before the reservation was asked
    ASSERT_NE(edits.getUnlockedLayers(), nullptr);
    EXPECT_EQ(edits.getReservedElements(), nullptr);
    EXPECT_EQ(simElement(1).head().ownerId, 2);
    EXPECT_EQ(inCommand([&] { return edits.restoreLayers(); }), 0u);
    EXPECT_EQ(layerFlags(kRoof), host::kLayerLocked | 0x10);
}

TEST_F(EditManagerTest, ReservesAFreeElementAndGivesItBackWhenTheTransactionEnds) {
    shareProject();
    setHead(0, kDoors);   // hidden layer, held by nobody
    std::int16_t ownerDuringEdit = -1;
    auto body = [&](Transaction& transaction) -> std::uint32_t {
        auto object = element(0);
        if (!object || !transaction.getEditManager().prepare(*object, true, true, true)) return 1;
        ownerDuringEdit = simElement(0).head().ownerId;
        return 0;
    };
    LambdaTransaction<decltype(body)> transaction("Reserve", body);
    EXPECT_EQ(Host::makeTransaction(transaction) & 0xFF, Host::kHandled);
    EXPECT_EQ(ownerDuringEdit, 1);
    EXPECT_EQ(simElement(0).head().ownerId, 0);
    EXPECT_EQ(layerFlags(kDoors), host::kLayerHidden);
    EXPECT_EQ(transaction.findEditManager()->getReservedElements(), nullptr);
}

TEST_F(EditManagerTest, UnlocksALockedElementTheCurrentMemberHoldsInASharedProject) {
    shareProject();
    setHead(0, kWalls, /*locked=*/1, /*owner=*/1);
    EditManager edits(true, false);
    auto object = element(0);
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(inCommand([&] { return edits.prepare(*object, true, true, true); }), 0u);
    EXPECT_EQ(simElement(0).head().locked, 0);
    EXPECT_EQ(edits.getReservedElements(), nullptr);   // it was this member's already
    ASSERT_NE(edits.getUnlockedElements(), nullptr);
    EXPECT_EQ(inCommand([&] { return edits.relockElements(); }), 0u);
    EXPECT_NE(simElement(0).head().locked, 0);
}

TEST_F(EditManagerTest, ALockedElementOutsideTheCurrentDatabaseStaysLockedAndIsReported) {
    setHead(0, kWalls, /*locked=*/1);
    auto object = element(0);
    ASSERT_NE(object, nullptr);
    ASSERT_TRUE(project().setCurrentDatabase(project().getSection(0)));
    EditManager edits(false, false);
    bool prepared = true;
    inCommand([&] {
        prepared = edits.prepare(*object, true, true, false);
        return true;
    });
    EXPECT_FALSE(prepared);
    EXPECT_NE(simElement(0).head().locked, 0);
    EXPECT_EQ(edits.getUnlockedElements(), nullptr);
}

TEST_F(EditManagerTest, UnlocksALockedElementAndRelocksItInItsOwnDrawing) {
    setHead(0, kWalls, /*locked=*/1);
    auto object = element(0);
    ASSERT_TRUE(project().setCurrentDatabase(project().getSection(0)));
    EditManager edits(false, /*allowOtherDatabases=*/true);
    ASSERT_EQ(inCommand([&] { return edits.prepare(*object, true, true, false); }), 0u);
    EXPECT_EQ(simElement(0).head().locked, 0);
    EXPECT_FALSE(object->isLocked());
    ASSERT_NE(edits.getUnlockedElements(), nullptr);
    const EditManager copy(edits);   // the copy keeps the unlocked elements, not the reservations
    EXPECT_EQ(copy.getUnlockedElements()->size(), 1u);
    EXPECT_EQ(inCommand([&] { return edits.relockElements(); }), 0u);
    EXPECT_NE(simElement(0).head().locked, 0);
    EXPECT_EQ(edits.getUnlockedElements(), nullptr);
    EXPECT_EQ(project().getCurrentDatabase(), project().getSection(0));   // the user's database stays
}

TEST_F(EditManagerTest, WhileAnswersAreKeptReadsEachLayerOnceAndReadsItAgainAfterPuttingItBack) {
    setHead(0, kSite);   // hidden and locked, under both elements
    setHead(1, kSite);
    EditManager edits(false, false);
    const std::shared_ptr<void> answers = project().keepHostAnswers();
    auto first = element(0);
    auto second = element(1);
    ASSERT_TRUE(first && second);
    host_->clearCalls();
    ASSERT_EQ(inCommand([&] {
                  return edits.prepare(*first, true, true, false) &&
                         edits.prepare(*second, true, true, false);
              }),
              0u);
    EXPECT_EQ(layerFlags(kSite), 0);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getAttribute), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::changeAttribute), 2u);   // unlocked and shown once
    // Put back, the layer is hidden and locked again: the next element finds it so.
    ASSERT_EQ(inCommand([&] { return edits.restoreLayers(); }), 0u);
    EXPECT_EQ(layerFlags(kSite), host::kLayerHidden | host::kLayerLocked);
    ASSERT_EQ(inCommand([&] { return edits.prepare(*second, true, true, false); }), 0u);
    EXPECT_EQ(layerFlags(kSite), 0);
    ASSERT_EQ(inCommand([&] { return edits.restoreLayers(); }), 0u);
}

TEST_F(EditManagerTest, ShowElementLayersCountsTheLinksItCouldNotShow) {
    setHead(0, kDoors);
    setHead(1, kWalls);
    tarnwick::ElementLinkList links;
    links.append(ElementLink(tarnwickGuid(0), &plan()));
    links.append(ElementLink(tarnwickGuid(1), &plan()));
    links.append(ElementLink(std::uint16_t{host::kElementObject}, 0));   // no guid: no head
    EditManager edits(false, false);
    std::size_t failed = 0;
    inCommand([&] {
        failed = edits.showElementLayers(links);
        return true;
    });
    EXPECT_EQ(failed, 1u);
    EXPECT_EQ(layerFlags(kDoors), 0);   // shown, not remembered
    EXPECT_EQ(edits.getShownLayers(), nullptr);
}

}   // namespace

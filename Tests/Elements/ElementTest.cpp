#include "Elements/Element.h"

#include <cmath>
#include <cstddef>
#include <string>

#include <HostModel3D.h>
#include <HostResult.h>

#include "Environment/Host.h"
#include "Foundation/MemoryBlock.h"
#include "Geometry/Cube.h"
#include "Geometry/Transformation.h"
#include "Project/AttributeFixture.h"
#include "Project/Layer.h"
#include "Project/Storey.h"

namespace {

using tarnwick::Drawing;
using tarnwick::Element;
using tarnwick::ElementLink;
using tarnwick::MemoryBlock;

std::unique_ptr<MemoryBlock> blockOf(const std::string& bytes) {
    return std::make_unique<MemoryBlock>(tarnwick::ptrToHandle(bytes.data(), bytes.size()));
}

std::string textOf(const MemoryBlock* block) {
    return block == nullptr ? "<null>"
                            : std::string(block->getBytes() ? block->getBytes() : "", block->getSize());
}

class ElementBase : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        tarnwick::Host::reset();   // no member of an earlier test's project
    }
    void TearDown() override {
        tarnwick::Host::reset();
        AttributeFixture::TearDown();
    }
    void shareProject(std::int16_t currentMember) {
        host::SimTeamwork& teamwork = host_->project().state.teamwork;
        teamwork.shared = true;
        teamwork.connected = true;
        teamwork.memberId = currentMember;
        teamwork.members = {host::SimMember{1, 0, "Me", "me", {}},
                            host::SimMember{2, 0, "Other", "other", {}}};
    }

    // The host's ID of an element, and the prefix it puts before it.
    void giveElementId(std::size_t index, const char* prefix, const std::u16string& id) {
        host::SimElement& stored = host_->project().state.elements[index];
        stored.infoPrefix = prefix;
        stored.memo.parts[offsetof(host::ElementMemo, elementInfo)] =
            std::vector<unsigned char>(reinterpret_cast<const unsigned char*>(id.data()),
                                       reinterpret_cast<const unsigned char*>(id.data() + id.size()));
    }

    std::unique_ptr<RecordElement> placed(int index) {
        registerRecordElements();
        auto element = plan().getElement(ElementLink(tarnwickGuid(index), &plan()));
        return std::unique_ptr<RecordElement>(static_cast<RecordElement*>(element.release()));
    }
    static std::unique_ptr<RecordElement> unplaced() {
        host::ElementRecord record{};
        record.head.type = host::kElementObject;
        record.head.variation = 7;
        return std::make_unique<RecordElement>(record, ElementLink(host::kElementObject, 7));
    }
};

TEST_F(ElementBase, StartsWithTheUserDataDefaultsAndNothingPlaced) {
    const auto element = unplaced();
    EXPECT_EQ(element->getUserDataFlags(), 12u);
    EXPECT_EQ(element->getUserDataVersion(), 1u);
    EXPECT_EQ(element->getUserDataPlatform(), 0x5757u);
    EXPECT_FALSE(element->exists());
    EXPECT_EQ(element->build3D(), nullptr);
    element->loadUserData(true);   // no guid: nothing to read
    EXPECT_FALSE(element->isUserDataLoaded());
    EXPECT_EQ(element->getBounds(true), nullptr);   // no Drawing to ask
}

TEST_F(ElementBase, CopiesTheUserDataBlockDeeplyButNotTheTexts) {
    auto element = unplaced();
    element->attachUserData(blockOf("data"));
    element->setName("A-1");
    const RecordElement copy(*element);
    element->attachUserData(blockOf("changed"));
    EXPECT_EQ(textOf(const_cast<RecordElement&>(copy).getUserData().get()), "data");
    EXPECT_TRUE(copy.isUserDataChanged());
    EXPECT_EQ(const_cast<RecordElement&>(copy).getInfoString(false), "");
}

TEST_F(ElementBase, LoadsUserDataOnceUnlessForced) {
    auto element = placed(0);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(textOf(element->getUserData().get()), "abc");
    element->attachUserData(blockOf("mine"));
    element->loadUserData(false);
    EXPECT_EQ(textOf(element->getUserData().get()), "mine");   // not read again
    element->loadUserData(true);
    EXPECT_EQ(textOf(element->getUserData().get()), "abc");   // the host's replaces it
    EXPECT_FALSE(element->isUserDataChanged());
}

TEST_F(ElementBase, ReadsTheHostsUserDataWithItsPlatform) {
    host_->project().state.elements[1].userData = host::SimUserData{5, host::kPlatformSignMac, 0, {'m'}};
    const struct {
        int index;
        std::string bytes;
        std::uint32_t version, platform;
    } cases[] = {{0, "abc", 3, 2}, {1, "m", 5, 1}, {kDoorIndex, "", 0, 2}};
    for (const auto& c : cases) {
        Element::memoLoadingSuspended = 1;   // nothing attached: the host is asked
        auto element = placed(c.index);
        Element::memoLoadingSuspended = 0;
        ASSERT_NE(element, nullptr);
        std::uint32_t version = 99;
        std::uint32_t platform = 99;
        const auto block = element->readUserData(&version, &platform);
        EXPECT_EQ(textOf(block.get()), c.bytes) << c.index;
        EXPECT_EQ(platform, c.platform) << c.index;
        if (c.index != kDoorIndex) {
            EXPECT_EQ(version, c.version) << c.index;
        }
        Drawing::unregisterCreators();
    }
    Element::memoLoadingSuspended = 1;
    auto element = placed(0);
    Element::memoLoadingSuspended = 0;
    host_->injectFault({host::HostSlot::getElementUserData, std::nullopt}, 0, host::kErrBadIndex);
    std::uint32_t version = 9;
    std::uint32_t platform = 9;
    EXPECT_EQ(element->readUserData(&version, &platform), nullptr);
    EXPECT_EQ(version, 0u);
    EXPECT_EQ(platform, 0u);
    EXPECT_EQ(element->readUserData(nullptr, nullptr), nullptr);
}

TEST_F(ElementBase, StoresUserDataAndKeepsWhatItStored) {
    auto element = placed(1);
    ASSERT_NE(element, nullptr);
    const auto block = blockOf("kept");
    ASSERT_EQ(inCommand([&] { return element->storeUserData(block.get(), false, 4); }), host::kNoError);
    ASSERT_TRUE(simElement(1).userData.has_value());
    EXPECT_EQ(simElement(1).userData->flags, 4u);
    EXPECT_EQ(simElement(1).userData->version, 1);
    EXPECT_EQ(textOf(element->getUserData().get()), "kept");

    element->attachUserData(blockOf("dropped"));
    const MemoryBlock empty;
    EXPECT_FALSE(element->storeUserData(&empty, false, 0));
    EXPECT_FALSE(element->isUserDataLoaded());
    EXPECT_EQ(textOf(element->getUserData().get()), "kept");   // read again from the host
}

TEST_F(ElementBase, RemovesTransformsFirstInAndDropsTheEmptyList) {
    auto element = unplaced();
    EXPECT_EQ(element->removeTransform(), nullptr);
    element->addTransform(
        std::make_unique<tarnwick::Transformation>(tarnwick::Transformation::Kind::move, tarnwick::CadPoint(),
                                                   tarnwick::CadPoint(), tarnwick::CadPoint(1, 0, 0)));
    element->addTransform(std::make_unique<tarnwick::Transformation>(
        tarnwick::Transformation::Kind::elevate, tarnwick::CadPoint(), tarnwick::CadPoint(),
        tarnwick::CadPoint(0, 0, 1)));
    const RecordElement copy(*element);
    EXPECT_EQ(element->removeTransform()->getKind(), tarnwick::Transformation::Kind::move);
    EXPECT_EQ(element->removeTransform()->getKind(), tarnwick::Transformation::Kind::elevate);
    EXPECT_EQ(element->getTransformCount(), 0u);
    EXPECT_EQ(copy.getTransformCount(), 2u);   // the copy has its own
}

TEST_F(ElementBase, CommitsTheWholeRecordAndStoresUserDataAsTheTypesDefault) {
    auto element = placed(1);
    ASSERT_NE(element, nullptr);
    element->setX(9.5);
    element->setVariation(321);
    element->attachUserData(blockOf("default"));
    ASSERT_EQ(inCommand([&] { return element->commit(true); }), host::kNoError);
    EXPECT_DOUBLE_EQ(positionX(simElement(1)), 9.5);
    EXPECT_EQ(simElement(1).head().variation, 321);
    const auto found = host_->project().state.defaults.find({host::kElementObject, 321});
    ASSERT_NE(found, host_->project().state.defaults.end());
    ASSERT_TRUE(found->second.userData.has_value());
    EXPECT_EQ(found->second.userData->bytes, (std::vector<unsigned char>{'d', 'e', 'f', 'a', 'u', 'l', 't'}));
    EXPECT_FALSE(simElement(1).userData.has_value());   // the element's own stays as it was

    // Without user data loaded, only the element is written.
    Element::memoLoadingSuspended = 1;
    auto fresh = placed(2);
    Element::memoLoadingSuspended = 0;
    ASSERT_FALSE(fresh->isUserDataLoaded());
    host_->clearCalls();
    ASSERT_EQ(inCommand([&] { return fresh->commit(true); }), host::kNoError);
    EXPECT_EQ(host_->countCalls(host::HostSlot::setElementUserData), 0u);
}

TEST_F(ElementBase, CommitLeavesMemoPartsItDidNotLoad) {
    Element::memoLoadingSuspended = 1;
    auto element = placed(0);
    Element::memoLoadingSuspended = 0;
    ASSERT_FALSE(element->memoLoaded());
    ASSERT_EQ(inCommand([&] { return element->commit(false); }), host::kNoError);
    EXPECT_EQ(simElement(0).memo.parts.at(offsetof(host::ElementMemo, parameters)),
              (std::vector<unsigned char>{'p', '1'}));
}

TEST_F(ElementBase, ReloadsItsMemoAndLeavesTheSuspendedSwitchAsItWas) {
    Element::memoLoadingSuspended = 1;
    auto element = placed(0);
    EXPECT_FALSE(element->memoLoaded());
    element->reloadMemo();
    EXPECT_EQ(element->parameters(), "p1");
    EXPECT_TRUE(element->isUserDataLoaded());
    EXPECT_EQ(Element::memoLoadingSuspended, 1);
    Element::memoLoadingSuspended = 0;
}

TEST_F(ElementBase, AnswersTheSameAboutUserDataWhenItsReadIsDeferred) {
    // What a caller sees of the user data of elements made while memos load.
    const auto observe = [&] {
        std::string seen;
        const auto note = [&](const std::string& what) { seen += what + ";"; };
        auto element = placed(0);
        note(std::to_string(element->isUserDataLoaded()) + std::to_string(element->isUserDataChanged()));
        const auto copy = element->clone();
        std::uint32_t version = 0, platform = 0;
        note(textOf(element->readUserData(&version, &platform).get()) + std::to_string(version));
        note(textOf(copy->getUserData().get()));
        auto moved = placed(0);
        moved->resetLink();
        note(std::to_string(moved->isUserDataChanged()) + textOf(moved->getUserData().get()));
        auto flagged = placed(0);
        flagged->setUserDataChanged(true);
        note(std::to_string(flagged->hasUserData()) + std::to_string(flagged->isUserDataChanged()));
        auto other = placed(1);
        other->setLink(element->getLink());   // keeps what it read for the element it was made for
        note(textOf(other->getUserData().get()));
        auto committed = placed(0);
        host_->project().state.defaults.clear();
        EXPECT_EQ(inCommand([&] { return committed->commit(true); }), host::kNoError);
        const auto found =
            host_->project().state.defaults.find({host::kElementObject, committed->getVariation()});
        note(found != host_->project().state.defaults.end() && found->second.userData ? "default" : "none");
        return seen;
    };
    const std::string direct = observe();
    std::string deferred;
    {
        const Element::UserDataDeferral deferral;
        deferred = observe();
        host_->clearCalls();
        auto unread = placed(0);
        EXPECT_EQ(unread->parameters(), "p1");   // the rest of the memo loads as ever
        const auto copy = unread->clone();
        EXPECT_EQ(host_->countCalls(host::HostSlot::getElementUserData), 0u);   // not needed: not read
    }
    EXPECT_EQ(deferred, direct);
    EXPECT_EQ(direct, "10;abc0;abc;1abc;11;;default;");
}

TEST_F(ElementBase, TakesOverLayerPhaseAndThirdIdentifierThatChanged) {
    auto element = unplaced();
    auto older = unplaced();
    auto newer = unplaced();
    newer->getMutableTypeRecord().layer = 5;
    newer->getMutableTypeRecord().phase = 2;
    element->getMutableTypeRecord().layer = 9;
    EXPECT_FALSE(element->applyChanges(*newer, *older));
    EXPECT_EQ(element->getTypeRecord().layer, 5);
    EXPECT_EQ(element->getTypeRecord().phase, 2);
    newer->getMutableTypeRecord().thirdIdentifier = tarnwick::Guid::generate().getRecord();
    element->getMutableTypeRecord().layer = 9;
    older->getMutableTypeRecord().layer = 5;
    EXPECT_TRUE(element->applyChanges(*newer, *older));
    EXPECT_EQ(element->getTypeRecord().layer, 9);   // the same in both: left alone
    EXPECT_EQ(tarnwick::Guid(element->getTypeRecord().thirdIdentifier),
              tarnwick::Guid(newer->getTypeRecord().thirdIdentifier));
}

TEST_F(ElementBase, TakesTheStoreyTheNewerElementMovedTo) {
    auto element = placed(2);   // storey 1
    const auto older = placed(2);
    const auto newer = placed(0);   // storey 0
    ASSERT_NE(element->getStorey(), nullptr);
    element->applyChanges(*newer, *older);
    ASSERT_NE(element->getStorey(), nullptr);
    EXPECT_EQ(element->getStorey()->getIndex(), 0);
    EXPECT_EQ(element->getHostElement()->head.storey, 0);
    auto unmoved = placed(2);
    unmoved->applyChanges(*newer, *placed(1));   // both on storey 0: no move to take
    EXPECT_EQ(unmoved->getStorey()->getIndex(), 1);
}

TEST_F(ElementBase, LocksOnlyOutsideASharedProject) {
    auto element = unplaced();
    element->setLocked(true);
    EXPECT_TRUE(element->isLocked());
    host_->project().state.teamwork.shared = true;
    element->setLocked(false);
    EXPECT_TRUE(element->isLocked());
}

TEST_F(ElementBase, GivesTheLayerOfItsHeadAndTakesAnother) {
    auto element = placed(0);
    EXPECT_EQ(element->getLayer().getIndex(), 1);
    element->setLayer(tarnwick::Layer(tarnwick::String("Roof")));
    EXPECT_EQ(element->getTypeRecord().layer, kRoof);
    EXPECT_TRUE(element->getLayer().isLocked());
    EXPECT_EQ(element->getLayer().getName(), "Roof");
}

TEST_F(ElementBase, IsEditableOnlyWhenNeitherItNorItsLayerStopsTheEdit) {
    struct Case {
        const char* what;
        std::int16_t layer;
        std::int16_t locked;
        bool partOfAnother;
        bool editable;
    };
    const Case cases[] = {
        {"shown, unlocked layer", kWalls, 0, false, true},   {"the host's first layer", 1, 0, false, true},
        {"hidden layer", kDoors, 0, false, false},           {"locked layer", kRoof, 0, false, false},
        {"hidden and locked layer", kSite, 0, false, false}, {"locked element", kWalls, 1, false, false},
        {"part of another element", kWalls, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto element = placed(0);
        host::ElementHead& head = element->getMutableTypeRecord();
        head.layer = c.layer;
        head.locked = c.locked;
        if (c.partOfAnother) element->setSecondIdentifier(tarnwick::Guid::generate());
        EXPECT_EQ(element->isEditable(), c.editable);
    }
}

TEST_F(ElementBase, InASharedProjectIsEditableOnlyWhileTheCurrentMemberHoldsIt) {
    shareProject(/*currentMember=*/1);
    struct Case {
        const char* what;
        std::int16_t owner;
        std::int16_t locked;
        std::int16_t layer;
        bool editable;
    };
    const Case cases[] = {
        {"held by the current member", 1, 0, kWalls, true},
        {"held by another member", 2, 0, kWalls, false},
        {"held by nobody", 0, 0, kWalls, false},
        {"held by the current member but locked", 1, 1, kWalls, false},
        {"held by the current member on a locked layer", 1, 0, kRoof, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto element = placed(0);
        host::ElementHead& head = element->getMutableTypeRecord();
        head.ownerId = c.owner;
        head.locked = c.locked;
        head.layer = c.layer;
        EXPECT_EQ(element->isEditable(), c.editable);
    }
}

TEST_F(ElementBase, InASharedProjectIsNotEditableWhenTheCurrentMemberIsUnknown) {
    shareProject(/*currentMember=*/1);
    auto element = placed(0);
    element->getMutableTypeRecord().ownerId = 1;
    host_->injectFault({host::HostSlot::environment, host::fourcc("PROJ")}, 0, host::kErrGeneral);
    EXPECT_FALSE(element->isEditable());
}

TEST_F(ElementBase, ForgetsItsPlaceWhenItsLinkIsReset) {
    auto element = placed(0);
    const tarnwick::Guid group = tarnwick::Guid::generate();
    element->setFirstIdentifier(group);
    element->setSecondIdentifier(tarnwick::Guid::generate());
    EXPECT_TRUE(element->isInGroup());
    EXPECT_EQ(*element->getFirstIdentifierCopy(), group);
    element->getUserData();
    element->resetLink();
    EXPECT_FALSE(element->exists());
    EXPECT_FALSE(element->isInGroup());
    EXPECT_FALSE(element->getFirstIdentifierCopy()->isValid());
    EXPECT_TRUE(element->isUserDataChanged());   // a block is attached: stored with the new element
}

TEST_F(ElementBase, HasNoIdTextWhenTheHostGivesNoneAndAsksAgainWhileItHasNone) {
    auto element = placed(0);
    const auto other = placed(1);
    ASSERT_NE(other, nullptr);
    const auto asked = [&] { return host_->countCalls(host::HostSlot::database, host::fourcc("GEIS")); };
    EXPECT_EQ(element->getInfoString(true), "");
    const std::size_t once = asked();
    EXPECT_EQ(element->getInfoString(false), "");   // the host may have given it one since
    EXPECT_EQ(asked(), once + 1);
    element->setLink(other->getLink());
    element->getInfoString(false);
    EXPECT_EQ(asked(), once + 2);
    element->setName("B-7");   // a text: nothing more to ask
    EXPECT_EQ(element->getInfoString(false), "B-7");
    EXPECT_EQ(asked(), once + 2);
}

TEST_F(ElementBase, ReadsTheIdWithItsPrefixAndKeepsThePrefixForAGivenName) {
    giveElementId(0, "W-", u"12");
    auto element = placed(0);
    host_->clearCalls();
    const auto asked = [&](std::uint32_t code) { return host_->countCalls(host::HostSlot::database, code); };
    EXPECT_EQ(element->getInfoString(false), "12");
    EXPECT_EQ(asked(host::fourcc("GEIS")), 1u);
    EXPECT_EQ(asked(host::fourcc("GCIS")), 1u);
    element->setName("13");   // the prefix is still the one the host puts before its own ID
    EXPECT_EQ(element->getInfoString(true), "W-13");
    EXPECT_EQ(element->getPrefixInfo(), "W-");
    EXPECT_EQ(asked(host::fourcc("GEIS")), 1u);
    EXPECT_EQ(asked(host::fourcc("GCIS")), 1u);
}

TEST_F(ElementBase, GivesTheWholeTextButNoPrefixWhenTheHostGivesNoId) {
    giveElementId(0, "W-", u"12");
    auto element = placed(0);
    host_->injectFault({host::HostSlot::database, host::fourcc("GEIS")}, 0, host::kErrGeneral);
    EXPECT_EQ(element->getInfoString(true), "W-12");
    EXPECT_EQ(element->getInfoString(false), "");
    EXPECT_EQ(element->getPrefixInfo(), "");   // the ID is not part of the prefix
    host_->clearFaults();
    EXPECT_EQ(element->getInfoString(false), "12");   // asked again once the host gives the ID
    EXPECT_EQ(element->getPrefixInfo(), "W-");

    // Linked to another element, nothing of the first one's ID or prefix stays.
    giveElementId(1, "D-", u"5");
    host_->injectFault({host::HostSlot::database, host::fourcc("GEIS")}, 0, host::kErrGeneral);
    element->setLink(ElementLink(tarnwickGuid(1), &plan()));
    EXPECT_EQ(element->getInfoString(true), "D-5");
    EXPECT_EQ(element->getInfoString(false), "");
    EXPECT_EQ(element->getPrefixInfo(), "");

    // A name given after the host's ID was read is the element's own: another link keeps it, but not the
    // prefix the host put before the other element's ID.
    host_->clearFaults();
    EXPECT_EQ(element->getInfoString(false), "5");
    element->setName("13");
    element->setLink(ElementLink(tarnwickGuid(0), &plan()));
    EXPECT_EQ(element->getInfoString(true), "13");
    EXPECT_EQ(element->getPrefixInfo(), "");

    // Assigned another element, it forgets the ID the host gave for the one before; a given name stays.
    auto read = placed(0);
    EXPECT_EQ(read->getInfoString(true), "W-12");
    static_cast<Element&>(*read) = *placed(1);
    EXPECT_EQ(read->getInfoString(true), "D-5");
    static_cast<Element&>(*element) = *placed(1);
    EXPECT_EQ(element->getInfoString(true), "13");
}

TEST_F(ElementBase, MeasuresItsSizesAndFacesFromIts3DModel) {
    auto element = placed(1);
    host::Model3DElement model;
    model.bodies.push_back(host::makeBoxBody(2, 3, 4, 10, 20, 1, 0.0));
    model.bodies.push_back(host::makeBoxBody(1, 1, 1, 10, 20, 5, 0.0));   // on top: 5 high in all
    host::setElementModel3D(tarnwickGuid(1).getRecord(), std::move(model));
    EXPECT_DOUBLE_EQ(element->getQuantityD(), 2 * (6 + 8 + 12) + 6);   // every face of both bodies
    EXPECT_DOUBLE_EQ(element->getWidth(), 2.0);
    EXPECT_DOUBLE_EQ(element->getDepth(), 3.0);
    EXPECT_DOUBLE_EQ(element->getHeight(), 5.0);
    EXPECT_DOUBLE_EQ(element->getLength(), 2.0);

    // Faces are measured in their own planes and count only when valid there: a tilted 2 x 2 square
    // counts, a square with a corner doubled 1e-6 away does not.
    host::Model3DBody faces;
    const double s = std::sqrt(2.0);
    faces.vertices = {{0, 0, 0}, {s, 0, s},    {s, 2, s}, {0, 2, 0}, {0, 5, 0},
                      {1, 5, 0}, {1, 5, 1e-6}, {1, 5, 1}, {0, 5, 1}};
    const auto ring = [&](std::int32_t first, std::int32_t count) {
        host::Model3DPolygon polygon;
        for (std::int32_t i = 0; i < count; ++i) {
            polygon.edges.push_back(static_cast<std::int32_t>(faces.edges.size()));
            faces.edges.push_back({first + i, first + (i + 1) % count, 0});
        }
        faces.polygons.push_back(polygon);
    };
    ring(0, 4);
    ring(4, 5);
    model.bodies = {faces};
    host::setElementModel3D(tarnwickGuid(1).getRecord(), std::move(model));
    EXPECT_NEAR(placed(1)->getQuantityD(), 4.0, 1e-12);
    host::clearModel3D();
    EXPECT_DOUBLE_EQ(unplaced()->getQuantityD(), 0.0);   // no model
}

}   // namespace

#include <gtest/gtest.h>

#include "Environment/Host.h"
#include "Foundation/AngleSetting.h"
#include "Foundation/AreaSetting.h"
#include "Foundation/IDSetting.h"
#include "Foundation/Int64Setting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TracedException.h"
#include "Foundation/VoidSetting.h"
#include "IFC/BooleanPropertySetting.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/Property.h"
#include "IFC/PropertyDatabase.h"
#include "IFC/PropertyGroup.h"
#include "IFC/PropertyMemo.h"
#include "IFC/PropertyTemplate.h"
#include "Support/DrawingFixture.h"

using namespace tarnwick;

namespace {

// An object that carries classifications and properties, as the element kinds do.
class PropertiedElement : public RecordElement, public ClassificationMemo, public PropertyMemo {
public:
    using RecordElement::RecordElement;
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link) {
        return std::make_unique<PropertiedElement>(record, link);
    }
    std::unique_ptr<Element> clone() const override { return std::make_unique<PropertiedElement>(*this); }
};

Guid g(const host::GuidBytes& bytes) { return Guid(host::toGuidRecord(bytes)); }
std::string guidText(const host::GuidBytes& bytes) { return host::guidToText(host::toGuidRecord(bytes)); }

host::SimVariant text(const char* value) {
    host::SimVariant variant;
    variant.type = host::kVariantString;
    variant.text = value;
    return variant;
}

}   // namespace

TEST(SettingPair, ConvertsNumbersAsNumbersAndMatchesListsOneToOne) {
    // Kinds change without passing through the display text: radians stay radians.
    SettingPair angle{RealSetting(1.5)};
    angle.convertTo(SettingKind::angle);
    EXPECT_EQ(angle.getKind(), SettingKind::angle);
    EXPECT_DOUBLE_EQ(angle.value().getReal(), 1.5);
    EXPECT_EQ(angle.getState(), SettingState::defined);
    SettingPair real{AngleSetting(0.25)};
    real.convertTo(SettingKind::real);
    EXPECT_DOUBLE_EQ(real.value().getReal(), 0.25);

    // What the host cannot hold is not written as something else.
    host::VariantRecord variant{};
    EXPECT_EQ(SettingPair(Int64Setting(5'000'000'000)).toHost(SettingKind::int64, variant),
              SettingState::undefined);
    EXPECT_EQ(SettingPair(Int64Setting(-7)).toHost(SettingKind::int64, variant), SettingState::defined);
    EXPECT_EQ(variant.intValue, -7);
    EXPECT_EQ(MakePropertySetting().make(SettingKind::time)->getKind(), SettingKind::time);
    SettingPair(StringSetting("x")).toHost(SettingKind::time, variant);
    EXPECT_EQ(variant.type, host::kVariantNone);

    const SettingPair none{VoidSetting(), VoidSetting()};
    EXPECT_FALSE(none.hasValue());
    EXPECT_EQ(none.getState(), SettingState::undefined);
    const SettingPair keyed{StringSetting("A"), IDSetting(Guid::generate())};
    const SettingPair plain{StringSetting("A")};
    EXPECT_FALSE(keyed.isEqual(plain));
    EXPECT_FALSE(plain.isEqual(keyed));
    EXPECT_FALSE(SettingPair(StringSetting("A"), IDSetting(Guid())).isValid(/*checkKey=*/true));
    EXPECT_TRUE(keyed.isValid(/*checkKey=*/true));
    for (const auto kind : {SettingKind::angle, SettingKind::area, SettingKind::volume})
        EXPECT_TRUE(SettingPair(*MakePropertySetting().make(kind)).isValid(false));   // a defined zero

    BooleanPropertySetting yes;
    EXPECT_TRUE(yes.setText("TRUE"));
    EXPECT_TRUE(yes.getBool());
    EXPECT_EQ(yes.getText(), "True");

    const auto list = [](std::initializer_list<const char*> texts) {
        SettingPairList pairs;
        for (const char* t : texts) pairs.push_back(SettingPair(StringSetting(t)));
        return pairs;
    };
    EXPECT_FALSE(list({"A", "A"}).isEqual(list({"A", "B"})));
    EXPECT_FALSE(list({"A", "B"}).isEqual(list({"A", "A"})));
    EXPECT_TRUE(list({"A", "B"}).isEqual(list({"B", "A"})));
}

TEST(PropertyLink, ListsMergeFilterAndDifferInOrder) {
    const PropertyLink a(Guid::generate()), b(Guid::generate()), c(Guid::generate());
    PropertyLinks target{a, b};
    PropertyLinks changes;
    merge(target, {b, c}, &changes);
    EXPECT_EQ(target, (PropertyLinks{a, b, c}));
    EXPECT_EQ(changes, (PropertyLinks{a, c}));   // the old one the source lacks, then the one added
    PropertyLinks empty;
    merge(empty, {c, a});
    EXPECT_EQ(empty, (PropertyLinks{c, a}));
    filter(target, {c, a});
    EXPECT_EQ(target, (PropertyLinks{a, c}));   // the list's own order
    PropertyLinks onlyFirst, onlySecond;
    EXPECT_TRUE(difference({a, b}, {b, c}, onlyFirst, onlySecond));
    EXPECT_EQ(onlyFirst, PropertyLinks{a});
    EXPECT_EQ(onlySecond, PropertyLinks{c});
    onlyFirst.clear();
    onlySecond.clear();
    EXPECT_FALSE(difference({a, b}, {b, a}, onlyFirst, onlySecond));
}

// Uniclass with a door item and another item; the group "Pset" with five definitions, four of them
// available for doors. The door (element 3) is classified as a door.
class PropertyTest : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        host::SimIFCState& ifc = host_->project().state.ifc;
        host::SimClassificationSystem system;
        system.guid = host::newGuidBytes();
        system.name = "Uniclass";
        door_ = host::newGuidBytes();
        other_ = host::newGuidBytes();
        system.topItems = {door_, other_};
        ifc.classificationItems[door_] = {system.guid, {}, "Ss_25_30", "Doors", "", 3, {}};
        ifc.classificationItems[other_] = {system.guid, {}, "Pr", "Products", "", 3, {}};
        ifc.classificationSystems.edit().push_back(system);
        group_ = host::newGuidBytes();
        ifc.propertyGroups.edit().push_back({group_, host::kPropertyUserDefined, "Pset"});

        fire_ = addDefinition("FireRating", host::kPropertySingle, host::kVariantString, door_);
        auto& fire = definition(fire_);
        fire.defaultValue.single = text("EI30");
        area_ = addDefinition("LeafArea", host::kPropertySingle, host::kVariantReal, door_);
        definition(area_).measure = host::kMeasureArea;
        definition(area_).defaultValue.single = {host::kVariantReal, 0, 1.89, false, "", {}};
        tags_ = addDefinition("Tags", host::kPropertyList, host::kVariantString, door_);
        kind_ = addDefinition("Operation", host::kPropertySingleChoice, host::kVariantString, door_);
        swing_ = {{host::kVariantGuid, 0, 0, false, "", host::newGuidBytes()}, text("Swing")};
        sliding_ = {{host::kVariantGuid, 0, 0, false, "", host::newGuidBytes()}, text("Sliding")};
        definition(kind_).allowed = {swing_, sliding_};
        definition(kind_).defaultValue.choice = swing_;
        hidden_ = addDefinition("Colour", host::kPropertySingle, host::kVariantString, other_);
        definition(hidden_).defaultValue.single = text("white");

        ifc.elements[guidOf(kDoorIndex)].classifications = {door_};
        Drawing::registerCreator(host::kElementObject, &PropertiedElement::create, false);
        Drawing::registerCreator(host::kElementDoor, &PropertiedElement::create, false);
    }

    host::GuidBytes addDefinition(const char* name, std::int32_t collection, std::int32_t type,
                                  const host::GuidBytes& item) {
        host::SimPropertyDefinition definition;
        definition.guid = host::newGuidBytes();
        definition.group = group_;
        definition.name = name;
        definition.collection = collection;
        definition.valueType = type;
        definition.availability = {item};
        host_->project().state.ifc.propertyDefinitions.edit().push_back(definition);
        return definition.guid;
    }
    host::SimPropertyDefinition& definition(const host::GuidBytes& guid) {
        for (auto& d : host_->project().state.ifc.propertyDefinitions.edit())
            if (d.guid == guid) return d;
        throw std::out_of_range("no definition");
    }
    PropertyDatabase& database() { return *Host::getPropertyDatabase(); }
    std::shared_ptr<PropertyTemplate> definitionOf(const host::GuidBytes& guid) {
        return database().getDefinition(g(guid));
    }
    std::unique_ptr<Element> element(int index) {
        return plan().getElement(ElementLink(tarnwickGuid(index), &plan()));
    }
    const host::SimElementData& held(int index) { return host_->project().state.ifc.elements[guidOf(index)]; }
    // The element's own value of the definition; null when it shows the default.
    const host::SimPropertyValue* ownValue(int index, const host::GuidBytes& definition) {
        for (const auto& entry : held(index).propertyValues)
            if (entry.definition == definition) return &entry.value;
        return nullptr;
    }

    host::GuidBytes door_, other_, group_, fire_, area_, tags_, kind_, hidden_;
    host::SimEnumValue swing_, sliding_;
};

TEST_F(PropertyTest, TemplatesReadKindsDefaultsAndAllowedValuesAndWriteThemBack) {
    const auto area = definitionOf(area_);
    EXPECT_EQ(area->getKind(), SettingKind::area);
    ASSERT_EQ(area->getDefaultValueCount(), 1u);
    EXPECT_NE(dynamic_cast<const AreaSetting*>(&area->getDefaultValue(0).value()), nullptr);
    host::PropertyDefinitionRecord record{};
    ASSERT_TRUE(area->write(record));
    EXPECT_EQ(record.valueType, host::kVariantReal);
    EXPECT_EQ(record.measureType, host::kMeasureArea);
    EXPECT_DOUBLE_EQ(record.defaultValue.basicValue.singleVariant.doubleValue, 1.89);

    // A list default the host gives empty reads as one undefined text.
    definition(tags_).defaultValue.status = host::kVariantStatusNormal;
    const auto tags = definitionOf(tags_);
    ASSERT_EQ(tags->getDefaultValueCount(), 1u);
    EXPECT_EQ(tags->getDefaultValue(0).getState(), SettingState::undefined);
    EXPECT_EQ(tags->getDefaultValue(0).getKind(), SettingKind::string);
    EXPECT_THROW(tags->getDefaultValue(1), TracedException);
    host::PropertyDefinitionRecord back{};
    ASSERT_TRUE(tags->write(back));   // goes back as it came: normal, and empty
    EXPECT_EQ(back.defaultValue.basicValue.variantStatus, host::kVariantStatusNormal);
    EXPECT_TRUE(back.defaultValue.basicValue.listVariant.empty());

    const auto kind = definitionOf(kind_);
    EXPECT_EQ(kind->getAllowedValueCount(), 2u);
    EXPECT_TRUE(kind->setDefaultCount(5));   // a single choice keeps one
    EXPECT_EQ(kind->getDefaultValueCount(), 1u);

    // A single value takes no second value; a list grows to it with void values between.
    Property single(definitionOf(fire_));
    EXPECT_FALSE(single.setValue(SettingPair(StringSetting("EI60")), 3));
    Property list(tags);
    EXPECT_TRUE(list.setValue(SettingPair(StringSetting("a")), 0));
    EXPECT_TRUE(list.setValue(SettingPair(StringSetting("d")), 3));
    ASSERT_EQ(list.getValueCount(), 4u);
    EXPECT_FALSE(list.getValue(1).hasValue());
    EXPECT_EQ(list.getValue(3).value().getText(), "d");

    // A choice is taken by its shown value and becomes the allowed pair, key and all.
    Property choice(kind);
    EXPECT_TRUE(choice.setValue(SettingPair(StringSetting("Sliding")), 0));
    EXPECT_TRUE(choice.getValue(0).hasGuidKey());
    EXPECT_FALSE(choice.setValue(SettingPair(StringSetting("Folding")), 0));

    // Without defaults a single choice sends none (its first allowed value standing in); a choice that
    // stops being undefined keeps its own allowed value.
    const host::GuidBytes leaf =
        addDefinition("Leaf", host::kPropertySingleChoice, host::kVariantString, door_);
    definition(leaf).allowed = {swing_, sliding_};
    definition(leaf).defaultValue.status = host::kVariantStatusUserUndefined;
    ASSERT_TRUE(definitionOf(leaf)->write(record));
    EXPECT_EQ(record.defaultValue.basicValue.variantStatus, host::kVariantStatusUserUndefined);
    SettingPair chosen = choice.getValue(0);
    chosen.setState(SettingState::undefined);
    kind->fixDefault(chosen);
    EXPECT_EQ(chosen.value().getText(), "Sliding");
    EXPECT_EQ(chosen.getState(), SettingState::defined);
}

TEST_F(PropertyTest, TemplatesLoseTheirDefinitionOnlyWhenTheHostNoLongerHasIt) {
    const auto fire = definitionOf(fire_);
    EXPECT_EQ(fire->getName(), "FireRating");

    // A passing failure keeps the link, and the next access reads the renamed definition.
    definition(fire_).name = "FireResistance";
    database().clear();
    host_->injectFault({host::HostSlot::getPropertyDefinition, {}}, 1, host::kErrGeneral);
    EXPECT_EQ(fire->getLink(), PropertyLink(g(fire_)));
    EXPECT_EQ(fire->getName(), "FireResistance");
    EXPECT_EQ(definitionOf(fire_), fire);   // the same shared instance
    const auto group = fire->getGroup();
    database().clear();
    host_->injectFault({host::HostSlot::getPropertyGroup, {}}, 1, host::kErrGeneral);
    EXPECT_EQ(group->getName(), "");   // not read this time
    EXPECT_EQ(group->getGuid(), g(group_));
    EXPECT_EQ(group->getName(), "Pset");

    // Gone from the host: a null link, and its default is no longer there to read.
    std::erase_if(host_->project().state.ifc.propertyDefinitions.edit(),
                  [&](const auto& d) { return d.guid == fire_; });
    database().clear();
    EXPECT_FALSE(fire->getLink().isValid());
    Property onDefault(fire);
    onDefault.setUsesDefault(true);
    try {
        onDefault.getValue(0);
        FAIL() << "no exception";
    } catch (const TracedException& e) {
        EXPECT_EQ(e.getKind(), "out_of_range");
        EXPECT_EQ(e.getPlace(), "PropertyTemplate::getDefaultValue");
    }
}

TEST_F(PropertyTest, PropertyEqualityIsSymmetric) {
    const auto fire = definitionOf(fire_);
    Property none(fire);   // no list at all
    Property empty(fire, SettingPair(StringSetting("x")));
    empty.removeValue(0);   // an empty list
    EXPECT_TRUE(none.isEqual(empty));
    EXPECT_TRUE(empty.isEqual(none));

    Property a(fire, SettingPair(StringSetting("EI60")));
    Property b(fire, SettingPair(StringSetting("EI90")));
    EXPECT_FALSE(a.isEqual(b));
    a.setUndefined(true);
    b.setUndefined(true);
    EXPECT_TRUE(a.isEqual(b));   // both undefined: their lists do not matter
    EXPECT_TRUE(b.isEqual(a));
    EXPECT_FALSE(a.isEqual(Property(definitionOf(hidden_))));   // another definition
}

TEST_F(PropertyTest, DatabaseSharesOneTemplatePerDefinitionAndCreatesInTheHost) {
    EXPECT_EQ(database().typeName(), "PropertyDatabase");
    const auto fire = database().findDefinition(PropertyName("FireRating", "Pset"));
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire, definitionOf(fire_));
    EXPECT_EQ(database().findDefinition(PropertyName("FireRating", "Other group")), nullptr);

    host_->clearCalls();
    EXPECT_EQ(database().createDefinition(PropertyName("FireRating", "Pset"), SettingKind::string, 1), fire);
    EXPECT_EQ(host_->countCalls(host::HostSlot::createPropertyDefinition), 0u);

    // A new definition in a new group: both made in the host; what comes back is the shared one.
    std::shared_ptr<PropertyTemplate> width;
    EXPECT_EQ(inCommand([&] {
                  width =
                      database().createDefinition(PropertyName("Width", "Dimensions"), SettingKind::length,
                                                  PropertyTemplate::kSingle, g(door_));
                  return width != nullptr;
              }),
              0u);
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(database().getDefinition(width->getLink()), width);
    const auto& ifc = host_->project().state.ifc;
    EXPECT_EQ(ifc.propertyGroups->size(), 2u);
    EXPECT_EQ(ifc.propertyDefinitions->back().name, "Width");
    EXPECT_EQ(ifc.propertyDefinitions->back().measure, host::kMeasureLength);
    PropertyLinks links;
    EXPECT_TRUE(database().findForClassifications({g(door_)}, links));
    EXPECT_EQ(links.size(), 5u);
    // A changed template of the caller's own is stored as a copy, which every finder shares from then on.
    const auto own = std::make_shared<PropertyTemplate>(*width);
    ASSERT_TRUE(own->setName("Depth"));
    EXPECT_EQ(inCommand([&] { return database().storeDefinition(own); }), 0u);
    const auto shared = database().getDefinition(width->getLink());
    EXPECT_NE(shared, own);
    EXPECT_NE(shared, width);
    EXPECT_EQ(shared->getName(), "Depth");
    EXPECT_EQ(ifc.propertyDefinitions->back().name, "Depth");

    // Built into the host: not cached by a load, but one asked for by GUID stays.
    const host::GuidBytes builtIn = addDefinition("Builtin", 1, host::kVariantString, door_);
    definition(builtIn).definitionType = host::kPropertyBuiltIn;
    const host::GuidBytes builtIn2 = addDefinition("Builtin2", 1, host::kVariantString, door_);
    definition(builtIn2).definitionType = host::kPropertyBuiltIn;
    const auto kept = definitionOf(builtIn);
    database().clear();
    const std::size_t count = database().getDefinitionCount();
    EXPECT_EQ(count, 7u);   // six user-defined and the one asked for
    EXPECT_EQ(definitionOf(builtIn), kept);
    EXPECT_EQ(database().getDefinitionAt(count), nullptr);

    // A template of the same definition held apart is exchanged for the shared one.
    auto apart = std::make_shared<PropertyTemplate>();
    apart->setLink(g(fire_));
    EXPECT_TRUE(database().resolve(apart));
    EXPECT_EQ(apart, fire);
    std::shared_ptr<PropertyTemplate> none;
    EXPECT_FALSE(database().resolve(none));
    host_->clearCalls();
    EXPECT_EQ(database().createGroup("Pset"), database().findGroup("Pset"));
    EXPECT_EQ(database().createGroup(""), nullptr);
    EXPECT_EQ(host_->countCalls(host::HostSlot::createPropertyGroup), 0u);
}

TEST_F(PropertyTest, MemoShowsWhatClassificationsMakeAvailableAndStoresThroughTheDrawing) {
    const auto door = element(kDoorIndex);
    auto& memo = dynamic_cast<PropertyMemo&>(*door);
    EXPECT_EQ(memo.getList().size(), 4u);   // not the one for the other item
    EXPECT_EQ(memo.getValue(PropertyLink(g(fire_)), 0)->getText(), "EI30");
    EXPECT_TRUE(memo.find(PropertyLink(g(fire_)))->usesDefault());
    EXPECT_FALSE(memo.isChanged());

    EXPECT_TRUE(memo.setValue(StringSetting("EI60"), PropertyName("FireRating", "Pset"), 0));
    EXPECT_TRUE(memo.setValue(StringSetting("Sliding"), PropertyLink(g(kind_)), 0));
    EXPECT_EQ(inCommand([&] { return plan().storeElement(*door, false, true); }), 0u);
    ASSERT_EQ(held(kDoorIndex).propertyValues.size(), 2u);
    EXPECT_EQ(ownValue(kDoorIndex, fire_)->single.text, "EI60");
    EXPECT_EQ(ownValue(kDoorIndex, kind_)->choice, sliding_);
    EXPECT_FALSE(memo.isChanged());
    host_->clearCalls();
    EXPECT_EQ(inCommand([&] { return plan().storeElement(*door, false, true); }), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::setElementProperties), 0u);

    // A removed value reaches the host: the element shows the default again.
    EXPECT_TRUE(memo.remove(PropertyLink(g(fire_))));
    EXPECT_TRUE(memo.isChanged());
    EXPECT_EQ(inCommand([&] { return memo.store(false, false); }), 0u);
    EXPECT_EQ(held(kDoorIndex).propertyValues.size(), 1u);
    EXPECT_EQ(ownValue(kDoorIndex, fire_), nullptr);
    EXPECT_FALSE(memo.isChanged());

    // A refused store says so and stays changed for the next one.
    EXPECT_TRUE(memo.setValue(StringSetting("Swing"), PropertyLink(g(kind_)), 0));
    host_->injectFault({host::HostSlot::setElementProperties, {}}, 1, host::kErrGeneral);
    EXPECT_NE(inCommand([&] { return plan().storeElement(*door, false, true); }), 0u);
    EXPECT_TRUE(memo.isChanged());
    EXPECT_EQ(ownValue(kDoorIndex, kind_)->choice, sliding_);

    // An element without classifications shows nothing and stores without asking the host.
    const auto object = element(0);
    host_->clearCalls();
    EXPECT_TRUE(dynamic_cast<PropertyMemo&>(*object).getList().isEmpty());
    EXPECT_EQ(inCommand([&] { return plan().storeElement(*object, false, true); }), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementProperties), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::setElementProperties), 0u);
}

TEST_F(PropertyTest, ProjectFileKeepsDefinitionsAndValuesUndoTakesThemBackAndBadDataIsRefused) {
    const auto door = element(kDoorIndex);
    auto& memo = dynamic_cast<PropertyMemo&>(*door);
    memo.setValue(StringSetting("Sliding"), PropertyLink(g(kind_)), 0);
    memo.setValue(StringSetting("north"), PropertyLink(g(tags_)), 0);
    memo.setValue(AreaSetting(2.5), PropertyLink(g(area_)), 0);
    EXPECT_EQ(inCommand([&] { return memo.store(false, false); }), 0u);
    EXPECT_EQ(held(kDoorIndex).propertyValues.size(), 3u);

    host::SimProject copy;
    std::string error;
    const std::string saved = host_->project().saveText();
    ASSERT_TRUE(copy.loadText(saved, error)) << error;
    EXPECT_EQ(copy.state.ifc, host_->project().state.ifc);

    ASSERT_TRUE(host_->undo());
    EXPECT_TRUE(held(kDoorIndex).propertyValues.empty());

    const std::pair<std::string, std::string> broken[] = {
        {guidText(kind_), guidText(host::newGuidBytes())},               // no such definition
        {guidText(sliding_.key.guid), guidText(host::newGuidBytes())},   // a choice that is not allowed
        {"\"north\"", "17"},                                             // a number in a text list
    };
    for (const auto& [from, to] : broken) {
        SCOPED_TRACE(to);
        std::string text = saved;
        const auto at = text.find(from, text.find("\"propertyValues\""));
        ASSERT_NE(at, std::string::npos);
        text.replace(at, from.size(), to);
        const host::SimIFCState before = copy.state.ifc;
        EXPECT_FALSE(copy.loadText(text, error));
        EXPECT_NE(error.find("propertyValues"), std::string::npos) << error;
        EXPECT_EQ(copy.state.ifc, before);
    }
}

TEST_F(PropertyTest, AnUndoStepKeepsOnlyTheIFCDataItsCommandChangedAndAFailedCommandLeavesNoTrace) {
    host::SimIFCState& ifc = host_->project().state.ifc;
    for (int i = 0; i < kObjects; ++i) ifc.elements[guidOf(i)].classifications = {other_};
    const auto door = element(kDoorIndex);
    auto& memo = dynamic_cast<PropertyMemo&>(*door);
    EXPECT_TRUE(memo.setValue(StringSetting("EI60"), PropertyLink(g(fire_)), 0));
    EXPECT_EQ(inCommand([&] { return plan().storeElement(*door, false, true); }), 0u);

    const host::SimIFCState& before = host_->project().undoSteps().back().before.ifc;
    EXPECT_EQ(ifc.elements.countShared(), 3u);   // the objects' data; the door's was copied to change it
    EXPECT_TRUE(ifc.classificationItems.isSharedWith(before.classificationItems));
    EXPECT_TRUE(ifc.propertyDefinitions.isSharedWith(before.propertyDefinitions));
    EXPECT_EQ(before.elements.find(guidOf(kDoorIndex))->propertyValues.size(), 0u);
    EXPECT_EQ(ownValue(kDoorIndex, fire_)->single.text, "EI60");

    // A command that changes the data and then fails gives back exactly what was there.
    const host::SimIFCState kept = ifc;
    EXPECT_TRUE(memo.setValue(StringSetting("EI90"), PropertyLink(g(fire_)), 0));
    EXPECT_NE(inCommand([&] {
                  memo.store(false, false);
                  return false;
              }),
              0u);
    EXPECT_EQ(ifc, kept);
    EXPECT_EQ(ownValue(kDoorIndex, fire_)->single.text, "EI60");

    ASSERT_TRUE(host_->undo());
    EXPECT_EQ(ownValue(kDoorIndex, fire_), nullptr);
}

TEST_F(PropertyTest, MemoStoresEveryPropertyWithForceAndNeverReportsAnUnwritableChangeAsStored) {
    const auto door = element(kDoorIndex);
    auto& memo = dynamic_cast<PropertyMemo&>(*door);
    EXPECT_TRUE(memo.setValue(StringSetting("EI60"), PropertyLink(g(fire_)), 0));
    ASSERT_TRUE(definitionOf(fire_)->setName(""));   // can no longer be written
    host_->clearCalls();
    EXPECT_FALSE(memo.store(false, false));
    EXPECT_EQ(host_->countCalls(host::HostSlot::setElementProperties), 0u);
    EXPECT_TRUE(memo.isChanged());
    ASSERT_TRUE(definitionOf(fire_)->setName("FireRating"));

    EXPECT_EQ(inCommand([&] { return memo.store(false, /*force=*/true); }), 0u);
    EXPECT_EQ(held(kDoorIndex).propertyValues.size(), 1u);   // the others keep using their defaults
    EXPECT_EQ(ownValue(kDoorIndex, fire_)->single.text, "EI60");
    EXPECT_FALSE(memo.find(PropertyLink(g(area_)))->isChanged());
    EXPECT_FALSE(memo.isChanged());

    // A filtered memo loads only what its filter names; a group goes whole.
    const auto other = element(kDoorIndex);
    auto& filtered = dynamic_cast<PropertyMemo&>(*other);
    filtered.setFilter(std::make_shared<const PropertyLinks>(PropertyLinks{PropertyLink(g(fire_))}));
    ASSERT_EQ(filtered.getList().size(), 1u);
    EXPECT_EQ(filtered.getValue(PropertyLink(g(fire_)), 0)->getText(), "EI60");
    EXPECT_TRUE(memo.removeGroup(String("Pset")));
    EXPECT_TRUE(memo.getList().isEmpty());
}

TEST_F(PropertyTest, AToolDefaultLoadsAndStoresItsOwnPropertiesAndClassifications) {
    host::SimIFCState& ifc = host_->project().state.ifc;
    ifc.defaults[{host::kElementDoor, 0}].classifications = {door_};
    host::ElementRecord record{};
    record.head.type = host::kElementDoor;
    PropertiedElement tool(record, ElementLink(host::kElementDoor, 0));
    auto& classifications = static_cast<ClassificationMemo&>(tool);
    auto& properties = static_cast<PropertyMemo&>(tool);
    ASSERT_TRUE(classifications.loadDefaults());
    EXPECT_TRUE(classifications.hasItem(g(door_)));
    EXPECT_TRUE(classifications.isChanged());
    ASSERT_TRUE(properties.loadDefaults());
    EXPECT_EQ(properties.getList().size(), 4u);   // what the door item makes available
    EXPECT_FALSE(properties.isChanged());

    EXPECT_TRUE(properties.setValue(StringSetting("EI90"), PropertyLink(g(fire_)), 0));
    EXPECT_TRUE(properties.storeToDefault());
    EXPECT_TRUE(properties.isChanged());   // a default store leaves the flags
    const host::SimElementData* stored = ifc.defaults.find({host::kElementDoor, 0});
    ASSERT_NE(stored, nullptr);
    ASSERT_EQ(stored->propertyValues.size(), 1u);
    EXPECT_EQ(stored->propertyValues[0].value.single.text, "EI90");

    EXPECT_TRUE(classifications.add(g(other_)));   // replaces the door item, of the same system
    EXPECT_TRUE(classifications.storeToDefault());
    EXPECT_EQ(ifc.defaults.find({host::kElementDoor, 0})->classifications,
              std::vector<host::GuidBytes>{other_});
    EXPECT_TRUE(classifications.isChanged());

    // A type without defaults loads empty, and changed.
    PropertiedElement bare(record, ElementLink(host::kElementObject, 3));
    ASSERT_TRUE(static_cast<ClassificationMemo&>(bare).loadDefaults());
    EXPECT_TRUE(static_cast<ClassificationMemo&>(bare).isChanged());
    std::vector<Guid> items;
    EXPECT_FALSE(static_cast<ClassificationMemo&>(bare).getItemGuids(items));
    host_->injectFault({host::HostSlot::getDefaultProperties, {}}, 1, host::kErrGeneral);
    EXPECT_FALSE(static_cast<PropertyMemo&>(bare).loadDefaults());
}

TEST_F(PropertyTest, TemplateSettersKeepTheShapeOfTheCollectionAndExpressionsStandForTheDefault) {
    const auto fire = definitionOf(fire_);
    const std::pair<bool (PropertyTemplate::*)(bool), std::int32_t> steps[] = {
        {&PropertyTemplate::setEnumeration, 3},
        {&PropertyTemplate::setList, 4},
        {&PropertyTemplate::setEnumeration, 2},
        {&PropertyTemplate::setList, 1}};
    bool on = true;
    for (const auto& [step, collection] : steps) {
        EXPECT_TRUE(((*fire).*step)(on));
        EXPECT_EQ(fire->getCollectionType(), collection);
        on = collection == 3;   // on, on, off, off
    }
    EXPECT_TRUE(fire->setExpression("A*2", 2));
    EXPECT_EQ(fire->getExpressionCount(), 3u);
    EXPECT_EQ(fire->getExpression(7), "");
    EXPECT_FALSE(fire->setDefaultCount(3));
    EXPECT_TRUE(fire->setExpressionCount(0));
    EXPECT_FALSE(fire->hasExpressions());

    // A new kind converts the default values as numbers.
    const auto area = definitionOf(area_);
    EXPECT_TRUE(area->setKind(SettingKind::real));
    EXPECT_EQ(area->getDefaultValue(0).getKind(), SettingKind::real);
    EXPECT_DOUBLE_EQ(area->getDefaultValue(0).value().getReal(), 1.89);

    // Only a definition the host keeps from editing can be made writable here.
    definition(tags_).editable = false;
    const auto tags = definitionOf(tags_);
    EXPECT_FALSE(tags->setName("Labels"));
    EXPECT_TRUE(tags->makeWritable());
    EXPECT_TRUE(tags->setName("Labels"));
    EXPECT_FALSE(fire->makeWritable());

    Property none;
    none.setUsesDefault(true);
    try {
        none.getValue(0);
        ADD_FAILURE() << "a default without a definition was read";
    } catch (const TracedException& e) {
        EXPECT_EQ(e.getKind(), "bad_access");
    }
}

TEST_F(PropertyTest, ValuesComeBackDefinedAndNormalizeToWhatTheirDefinitionNowAllows) {
    // Leaving undefined takes the default, else the first allowed value, else a fresh value of the kind.
    Property fire(definitionOf(fire_));
    fire.setUsesDefault(true);
    EXPECT_TRUE(fire.setUndefined(false));
    EXPECT_FALSE(fire.usesDefault());
    ASSERT_EQ(fire.getValueCount(), 1u);
    EXPECT_EQ(fire.getValue(0).value().getText(), "EI30");
    EXPECT_EQ(fire.getValue(0).getState(), SettingState::defined);
    EXPECT_TRUE(fire.isChanged());
    const host::GuidBytes leaf =
        addDefinition("Leaf", host::kPropertySingleChoice, host::kVariantString, door_);
    definition(leaf).allowed = {sliding_, swing_};
    definition(leaf).defaultValue.status = host::kVariantStatusUserUndefined;
    Property choice(definitionOf(leaf));
    EXPECT_TRUE(choice.setUndefined(false));
    EXPECT_EQ(choice.getValue(0).value().getText(), "Sliding");
    EXPECT_TRUE(choice.getValue(0).hasGuidKey());
    const host::GuidBytes width = addDefinition("Width", host::kPropertySingle, host::kVariantReal, door_);
    definition(width).defaultValue.status = host::kVariantStatusUserUndefined;
    Property fresh(definitionOf(width));
    EXPECT_TRUE(fresh.setUndefined(false));
    EXPECT_EQ(fresh.getValue(0).getKind(), SettingKind::real);
    EXPECT_FALSE(fresh.isUndefined(false));

    // A choice the definition no longer offers is dropped; what stays takes the definition's own pair.
    const host::GuidBytes colours =
        addDefinition("Colours", host::kPropertyMultipleChoice, host::kVariantString, door_);
    definition(colours).allowed = {swing_, sliding_};
    Property both(definitionOf(colours));
    SettingPair unset{StringSetting("Swing")};
    unset.setState(SettingState::undefined);
    ASSERT_TRUE(both.setValue(unset, 0));
    ASSERT_TRUE(both.setValue(SettingPair(StringSetting("Sliding")), 1));
    ASSERT_TRUE(both.setValue(SettingPair(StringSetting("Swing")), 2));
    host::SimEnumValue renamed = swing_;
    renamed.display = text("Pivot");
    definition(colours).allowed = {renamed};
    database().clear();
    ASSERT_TRUE(both.normalize(database()));
    EXPECT_EQ(both.getTemplate(), definitionOf(colours));
    ASSERT_EQ(both.getValueCount(), 1u);   // the undefined first goes too, once others stay
    EXPECT_EQ(both.getValue(0).value().getText(), "Pivot");
    EXPECT_EQ(both.getValue(0).getState(), SettingState::defined);

    // An undefined one, or one on its default, is left as it is.
    Property undefinedChoice(definitionOf(colours), unset);
    ASSERT_TRUE(undefinedChoice.normalize(database()));
    EXPECT_EQ(undefinedChoice.getValue(0).value().getText(), "Swing");
    EXPECT_FALSE(Property().normalize(database()));
}

TEST_F(PropertyTest, MemoReloadsWhatItHoldsFromTheHostAndMarksWhatItReplaced) {
    const auto door = element(kDoorIndex);
    auto& memo = dynamic_cast<PropertyMemo&>(*door);
    const auto writer = element(kDoorIndex);
    auto& written = dynamic_cast<PropertyMemo&>(*writer);
    EXPECT_TRUE(written.setValue(StringSetting("EI60"), PropertyLink(g(fire_)), 0));
    EXPECT_TRUE(written.setValue(AreaSetting(2.5), PropertyLink(g(area_)), 0));
    EXPECT_EQ(inCommand([&] { return written.store(false, false); }), 0u);

    // Not loaded yet: a reload is a first load, and nothing is changed.
    EXPECT_TRUE(memo.reload());
    EXPECT_EQ(memo.getValue(PropertyLink(g(fire_)), 0)->getText(), "EI60");
    EXPECT_FALSE(memo.isChanged());

    EXPECT_TRUE(written.setValue(StringSetting("EI90"), PropertyLink(g(fire_)), 0));
    EXPECT_TRUE(written.setValue(AreaSetting(3.5), PropertyLink(g(area_)), 0));
    EXPECT_EQ(inCommand([&] { return written.store(false, false); }), 0u);
    const PropertyLinks onlyFire{PropertyLink(g(fire_)), PropertyLink(g(hidden_))};
    host_->clearCalls();
    EXPECT_TRUE(memo.reload(&onlyFire));
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementProperties), 1u);
    EXPECT_EQ(memo.getValue(PropertyLink(g(fire_)), 0)->getText(), "EI90");
    EXPECT_DOUBLE_EQ(memo.getValue(PropertyLink(g(area_)), 0)->getReal(), 2.5);   // not asked for
    EXPECT_TRUE(memo.find(PropertyLink(g(fire_)))->isChanged());
    EXPECT_FALSE(memo.find(PropertyLink(g(area_)))->isChanged());
    EXPECT_TRUE(memo.reload());
    EXPECT_DOUBLE_EQ(memo.getValue(PropertyLink(g(area_)), 0)->getReal(), 3.5);

    EXPECT_FALSE(memo.update(&written, &written));
    EXPECT_DOUBLE_EQ(memo.getValue(PropertyLink(g(area_)), 0)->getReal(), 3.5);
    host_->injectFault({host::HostSlot::getElementProperties, {}}, 1, host::kErrGeneral);
    EXPECT_FALSE(memo.reload());
}

#include <gtest/gtest.h>

#include "Foundation/IDSetting.h"
#include "Foundation/Int64Setting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TimeSetting.h"
#include "IFC/IFCAttribute.h"
#include "IFC/IFCBoundedValue.h"
#include "IFC/IFCCalendarDate.h"
#include "IFC/IFCClassificationReference.h"
#include "IFC/IFCDataList.h"
#include "IFC/IFCEnumeratedValue.h"
#include "IFC/IFCListValue.h"
#include "IFC/IFCSingleValue.h"
#include "IFC/IFCTableValue.h"
#include "IFCRecords.h"

using namespace tarnwick;

namespace {

host::IFCPropertyValueRecord ifcNumber(std::int64_t value, const std::string& type) {
    host::IFCPropertyValueRecord record{};
    record.intValue = value;
    record.valueType = uni(type);
    return record;
}

std::vector<std::string> texts(const host::Array<host::IFCPropertyValueRecord>& values) {
    std::vector<std::string> out;
    for (const auto& value : values) out.push_back(utf8(value.stringValue));
    return out;
}

}   // namespace

TEST(IFCData, LooksUpValueTypesAndMakesTheirKindOfSetting) {
    const struct {
        const char* type;
        std::uint32_t code;
        SettingKind made;   // none: no Setting
    } cases[] = {
        {"IfcLogical", 3, SettingKind::boolean},      {"IfcBoolean", 3, SettingKind::boolean},
        {"IfcInteger", 7, SettingKind::int64},        {"IfcCountMeasure", 7, SettingKind::int64},
        {"IfcLengthMeasure", 8, SettingKind::length}, {"IfcAreaMeasure", 9, SettingKind::real},
        {"IfcGloballyUniqueId", 5, SettingKind::id},  {"IfcCalendarDate", 4, SettingKind::none},
        {"IfcDoorStyle", 10, SettingKind::string},    {"", 10, SettingKind::string},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const IFCValueType type = IFCData::lookupValueType(c.type);
        EXPECT_EQ(type.code, c.code);
        EXPECT_EQ(type.hasName(), *c.type != '\0');
        const IFCSingleValue datum("n", "s", c.type, "", StringSetting("x"));
        const auto made = datum.makeSetting();
        EXPECT_EQ(made ? made->getKind() : SettingKind::none, c.made);
    }
}

TEST(IFCData, ReadsEmptyTextsFromTheirPrimitiveFieldAndWritesGuidsAsText) {
    IFCSingleValue label("n", "s", "IfcLabel", "", StringSetting());
    host::IFCPropertyValueRecord real = ifcText("");
    real.primitiveType = host::kIFCPrimitiveReal;
    real.realValue = 1234.5678;
    StringSetting read;
    EXPECT_TRUE(label.readValue(read, real));
    EXPECT_EQ(read.getText(), "1234.5678");   // not cut to six significant digits
    host::IFCPropertyValueRecord boolean = ifcText("");
    boolean.primitiveType = host::kIFCPrimitiveBoolean;
    boolean.boolValue = 1;
    EXPECT_TRUE(label.readValue(read, boolean));
    EXPECT_EQ(read.getText(), "1");

    // A GUID value reads as a GUID and writes back as its text, reporting success.
    auto property = ifcProperty(host::kIFCSingleValue, "Pset", "Id");
    property.singleValue = ifcText("0A1B2C3D-0000-4000-8000-00000000000F", "IfcGloballyUniqueId");
    const auto datum = IFCProperty::create(property);
    ASSERT_TRUE(datum);
    EXPECT_EQ(static_cast<IFCSingleValue&>(*datum).getValue().getKind(), SettingKind::id);
    host::IFCPropertyRecord written{};
    EXPECT_TRUE(datum->toHost(written));
    EXPECT_EQ(utf8(written.singleValue.stringValue), "0A1B2C3D-0000-4000-8000-00000000000F");

    // A boolean written false clears the byte the record had.
    IFCSingleValue flag("n", "s", "IfcBoolean", "", StringSetting("false"));
    host::IFCPropertyValueRecord set{};
    set.boolValue = 1;
    EXPECT_TRUE(flag.writeValue(set, flag.getValue()));
    EXPECT_EQ(set.boolValue, 0);
}

TEST(IFCProperty, FactoriesRefuseRecordsThatLackWhatTheirKindNeeds) {
    auto single = ifcProperty(host::kIFCSingleValue, "Pset_DoorCommon", "FireRating");
    single.singleValue = ifcText("EI30");
    auto noSet = single;
    noSet.propertySetName = uni("");
    auto noType = single;
    noType.singleValue.valueType = uni("");
    auto emptyList = ifcProperty(host::kIFCListValue, "P", "L");
    auto list = emptyList;
    list.listValues.push_back(ifcText("a"));
    list.listValues.push_back(ifcText("b"));
    auto unknownKind = single;
    unknownKind.kind = 9;
    const struct {
        const char* what;
        const host::IFCPropertyRecord* record;
        bool made;
    } cases[] = {{"single", &single, true},
                 {"no set name", &noSet, false},
                 {"no type name", &noType, false},
                 {"empty list", &emptyList, false},
                 {"list", &list, true},
                 {"unknown kind", &unknownKind, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IFCProperty::create(*c.record) != nullptr, c.made);
    }
}

TEST(IFCEnumeratedValue, FlagsTheChosenValuesAndWritesThemBackWithoutDuplicates) {
    auto record = ifcProperty(host::kIFCEnumeratedValue, "Pset_DoorCommon", "OperationType");
    for (const char* v : {"C", "A", "B", "A"}) record.enumerationValues.push_back(ifcText(v));
    for (const char* v : {"B", "C"}) record.enumerationReferenceValues.push_back(ifcText(v));
    const auto datum = IFCProperty::create(record);
    ASSERT_TRUE(datum);
    const auto& values = static_cast<IFCEnumeratedValue&>(*datum).getValues();
    std::vector<std::pair<std::string, bool>> seen;
    for (const auto& [value, chosen] : values) seen.emplace_back(value->getText().getText(), chosen);
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{"A", false}, {"B", true}, {"C", true}}));

    // The writers append to what the record holds.
    record.enumerationValues.clear();
    record.enumerationValues.push_back(ifcText("X"));
    record.enumerationReferenceValues.clear();
    EXPECT_TRUE(datum->toHost(record));
    EXPECT_EQ(texts(record.enumerationValues), (std::vector<std::string>{"X", "A", "B", "C"}));
    EXPECT_EQ(texts(record.enumerationReferenceValues), (std::vector<std::string>{"B", "C"}));
    auto list = ifcProperty(host::kIFCListValue, "P", "L");
    for (const char* v : {"a", "b"}) list.listValues.push_back(ifcText(v));
    EXPECT_TRUE(IFCProperty::create(list)->toHost(list));
    EXPECT_EQ(texts(list.listValues), (std::vector<std::string>{"a", "b", "a", "b"}));

    // Nothing chosen gives no type, so no datum.
    record.enumerationReferenceValues.clear();
    EXPECT_FALSE(IFCProperty::create(record));
}

TEST(IFCTableValue, KeepsTheCommonRowsAndTheLaterOfEqualKeys) {
    auto record = ifcProperty(host::kIFCTableValue, "P", "T");
    for (std::int64_t key : {2, 1, 2}) record.tableDefiningValues.push_back(ifcNumber(key, "IfcInteger"));
    for (const char* v : {"two", "one", "TWO", "extra"}) record.tableDefinedValues.push_back(ifcText(v));
    const auto datum = IFCProperty::create(record);
    ASSERT_TRUE(datum);
    const auto& table = static_cast<IFCTableValue&>(*datum);
    std::vector<std::pair<std::int64_t, std::string>> rows;
    for (const auto& [key, value] : table.getRows())
        rows.emplace_back(key->getInt64(), value->getText().getText());
    EXPECT_EQ(rows, (std::vector<std::pair<std::int64_t, std::string>>{{1, "one"}, {2, "TWO"}}));
    EXPECT_EQ(table.getKeyType().code, 7u);
    host::IFCPropertyRecord written{};
    EXPECT_TRUE(datum->toHost(written));
    EXPECT_EQ(written.tableDefiningValues.size(), 2u);
    EXPECT_EQ(written.tableDefiningValues[1].intValue, 2);

    // The keys' type is that of the first defining value that names one.
    auto unnamed = ifcProperty(host::kIFCTableValue, "P", "T");
    unnamed.tableDefiningValues.push_back(ifcNumber(3, ""));
    unnamed.tableDefiningValues.push_back(ifcNumber(4, "IfcInteger"));
    for (const char* v : {"three", "four"}) unnamed.tableDefinedValues.push_back(ifcText(v));
    const auto later = IFCProperty::create(unnamed);
    ASSERT_TRUE(later);
    const auto& keyed = static_cast<IFCTableValue&>(*later);
    EXPECT_EQ(keyed.getKeyType().code, 7u);
    bool four = false;
    for (const auto& [key, value] : keyed.getRows())
        four = four || (key->getKind() == SettingKind::int64 && key->getInt64() == 4);
    EXPECT_TRUE(four);
    host::IFCPropertyRecord back{};
    EXPECT_TRUE(later->toHost(back)) << "every row goes back";
    EXPECT_EQ(back.tableDefiningValues.size(), 2u);
}

TEST(IFCData, CopiesOwnTheirValuesAndShareOnlyPooledOnes) {
    const IFCBoundedValue bounded("Range", "P", "IfcReal", "", RealSetting(1.0), RealSetting(2.0));
    auto copy = bounded.clone();
    static_cast<IFCBoundedValue&>(*copy).setLower(RealSetting(5.0));
    EXPECT_DOUBLE_EQ(bounded.getLower().getReal(), 1.0);
    copy.reset();   // the original keeps working bounds
    EXPECT_DOUBLE_EQ(bounded.getUpper().getReal(), 2.0);

    EXPECT_EQ(IFCData::shareName("Door"), IFCData::shareName("Door"));
    EXPECT_EQ(IFCData::shareName(""), nullptr);
    const SharedValue one = IFCData::shareValue(std::make_shared<Int64Setting>(1));
    EXPECT_EQ(IFCData::shareValue(std::make_shared<Int64Setting>(1)), one);
    EXPECT_NE(IFCData::shareValue(std::make_shared<StringSetting>("1")), one);   // another kind
    const SharedValue real = IFCData::shareValue(std::make_shared<RealSetting>(1.0));
    EXPECT_NE(IFCData::shareValue(std::make_shared<RealSetting>(1.000001)), real);   // exact, not close
    IFCData::releaseTypeTables();
}

TEST(IFCData, DatesAndIdsTheirKindCannotHoldAreKeptNotInvented) {
    // A date property from the record's bit fields; one without a date writes no date back.
    auto record = ifcProperty(host::kIFCReferenceValue, "Pset_ManufacturerOccurrence", "AcquisitionDate");
    record.year = 2021 | 0x8000;   // bits above the 15 of the year are not part of it
    record.month = 3;
    record.day = 14;
    const auto dated = IFCProperty::create(record);
    ASSERT_TRUE(dated);
    EXPECT_EQ(static_cast<IFCCalendarDate&>(*dated).getValue().getText(), "2021-03-14 00:00:00");
    record.referenceKind = 1;
    const auto undated = IFCProperty::create(record);
    ASSERT_TRUE(undated);
    host::IFCPropertyRecord written{};
    written.year = 1999;
    EXPECT_FALSE(undated->toHost(written));
    EXPECT_EQ(written.year, 1999);

    // Attributes keep texts that their type cannot read.
    const auto globalId =
        IFCAttribute::create(ifcAttribute("GlobalId", "IfcGloballyUniqueId", "2O2Fr$t4X7Zf8NOew3FLOH"));
    ASSERT_TRUE(globalId);
    EXPECT_EQ(globalId->getValue().getText(), "2O2Fr$t4X7Zf8NOew3FLOH");
    host::IFCAttributeRecord back{};
    EXPECT_TRUE(globalId->toHost(back));
    EXPECT_EQ(utf8(back.value), "2O2Fr$t4X7Zf8NOew3FLOH");
    const auto date = IFCAttribute::create(ifcAttribute("Installed", "IfcCalendarDate", "2020-01-02"));
    ASSERT_TRUE(date);
    EXPECT_EQ(date->getValue().getText(), "2020-01-02");
    EXPECT_FALSE(IFCAttribute::create(ifcAttribute("", "IfcLabel", "x")));
}

// --- The list
// --------------------------------------------------------------------------------------------------
namespace {

std::unique_ptr<IFCProperty> label(const char* set, const char* name, const char* value) {
    return std::make_unique<IFCSingleValue>(name, set, "IfcLabel", "", StringSetting(value));
}

std::string valueOf(const IFCProperty* property) {
    return property ? static_cast<const IFCSingleValue*>(property)->getValue().getText().getText() : "(none)";
}

}   // namespace

TEST(IFCDataList, FindsInListOrderAndReplacesByNameAndSet) {
    IFCDataList list;
    list.addProperty(label("A", "Width", "a"));
    list.addProperty(label("B", "Width", "b"));
    EXPECT_EQ(valueOf(list.findProperty("Width", "")), "a");
    EXPECT_EQ(valueOf(list.findProperty("Width", "B")), "b");
    EXPECT_EQ(list.findProperty("Width", "C"), nullptr);

    list.addProperty(label("A", "Width", "a2"));   // replaces A's and goes to the end
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(valueOf(list.findProperty("Width", "")), "b");
    list.removeProperty(*label("", "Width", ""));   // an empty set matches only an empty one
    EXPECT_EQ(list.size(), 2u);

    // A datum the list already holds moves to the end instead of being deleted first, in the index too.
    list.addProperty(label("B", "Height", "h"));
    const IFCNameIndex* index = list.propertyIndex();
    IFCProperty* held = list.findProperty("Width", "B");
    list.addProperty(std::unique_ptr<IFCProperty>(held));
    EXPECT_EQ(list.back(), held);
    EXPECT_EQ(valueOf(list.findProperty("Width", "B")), "b");
    EXPECT_EQ(*index->find("B"), (std::vector<String>{"Height", "Width"}));
}

TEST(IFCDataList, AppendsHostArraysAndKeepsBuiltIndexesCurrent) {
    IFCDataList list;
    const IFCNameIndex* attributes = list.attributeIndex();   // asked for before anything is there
    EXPECT_TRUE(attributes->empty());
    const IFCNameIndex* properties = list.propertyIndex();

    host::Array<host::IFCAttributeRecord> records;
    records.push_back(ifcAttribute("Name", "IfcLabel", "Door 01"));
    records.push_back(ifcAttribute("", "IfcLabel", "lost"));
    records.push_back(ifcAttribute("Tag", "IfcIdentifier", "D-01"));
    EXPECT_FALSE(list.appendAttributes(records));
    EXPECT_EQ(list.size(), 2u);
    ASSERT_EQ(attributes->size(), 1u);
    EXPECT_EQ(*attributes->find(""), (std::vector<String>{"Name", "Tag"}));

    host::Array<host::IFCPropertyRecord> psets;
    auto rating = ifcProperty(host::kIFCSingleValue, "Pset_DoorCommon", "FireRating");
    rating.singleValue = ifcText("EI30");
    psets.push_back(rating);
    EXPECT_TRUE(list.appendProperties(psets));
    EXPECT_EQ(*properties->find("Pset_DoorCommon"), (std::vector<String>{"FireRating"}));
    list.removeProperty(*list.findProperty("FireRating", "Pset_DoorCommon"));
    EXPECT_EQ(properties->find("Pset_DoorCommon"), nullptr);

    // A copy carries copies of the data.
    const IFCDataList copy(list);
    ASSERT_EQ(copy.size(), 2u);
    EXPECT_NE(copy.findAttribute("Tag"), list.findAttribute("Tag"));
    EXPECT_EQ(copy.findAttribute("Tag")->getValue().getText(), "D-01");
}

TEST(IFCClassificationReference, WritesBackWhatItReadAndIsFoundAndIndexedByName) {
    host::IFCClassificationReferenceRecord record{};
    record.name = uni("Uniclass");
    record.location = uni("https://example.org/ss");
    record.locationFlag = 1;
    record.identification = uni("Ss_25_30");
    record.referencedName = uni("Door systems");
    record.referencedNameFlag = 1;
    record.source = uni("NBS");
    record.edition = uni("2015");
    record.classificationName = uni("Uniclass 2015");
    host::Array<host::IFCClassificationReferenceRecord> records;
    records.push_back(record);
    IFCDataList list;
    EXPECT_TRUE(list.appendReferences(records));
    const IFCClassificationReference* reference = list.findReference("Uniclass");
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(*list.referenceIndex()->find(""), std::vector<String>{"Uniclass"});

    const auto copy = reference->clone();
    host::IFCClassificationReferenceRecord written{};
    EXPECT_TRUE(static_cast<const IFCClassificationReference&>(*copy).toHost(written));
    EXPECT_EQ(utf8(written.name), "Uniclass");
    EXPECT_EQ(utf8(written.location), "https://example.org/ss");
    EXPECT_EQ(utf8(written.identification), "Ss_25_30");
    EXPECT_EQ(utf8(written.referencedName), "Door systems");
    EXPECT_EQ(
        (std::vector<int>{written.locationFlag, written.identificationFlag, written.referencedNameFlag}),
        (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(utf8(written.source), "NBS");
    EXPECT_EQ(utf8(written.edition), "2015");
    EXPECT_EQ(utf8(written.classificationName), "Uniclass 2015");

    // A property's identifier that is no GUID is written as it stands, not as a null GUID.
    host::IFCPropertyRecord property{};
    EXPECT_TRUE(IFCSingleValue("Id", "P", "IfcGloballyUniqueId", "", StringSetting("2O2Fr$t4X7Zf8NOew3FLOH"))
                    .toHost(property));
    EXPECT_EQ(utf8(property.singleValue.stringValue), "2O2Fr$t4X7Zf8NOew3FLOH");
}

TEST(IFCBoundedValue, ReadsBothBoundsInTheLowerBoundsTypeAndWritesThemBack) {
    auto record = ifcProperty(host::kIFCBoundedValue, "Pset_Range", "Span");
    record.lowerBound = ifcText("", "IfcReal");
    record.lowerBound.realValue = 1.5;
    record.upperBound = ifcText("", "IfcReal");
    record.upperBound.realValue = 4.0;
    const auto datum = IFCProperty::create(record);
    ASSERT_TRUE(datum);
    const auto& bounded = static_cast<const IFCBoundedValue&>(*datum);
    EXPECT_DOUBLE_EQ(bounded.getLower().getReal(), 1.5);
    EXPECT_DOUBLE_EQ(bounded.getUpper().getReal(), 4.0);
    host::IFCPropertyRecord written{};
    EXPECT_TRUE(datum->toHost(written));
    EXPECT_DOUBLE_EQ(written.lowerBound.realValue, 1.5);
    EXPECT_DOUBLE_EQ(written.upperBound.realValue, 4.0);
    EXPECT_EQ(utf8(written.upperBound.valueType), "IfcReal");

    record.lowerBound.valueType = uni("");   // the type comes from the lower bound
    EXPECT_FALSE(IFCProperty::create(record));
}

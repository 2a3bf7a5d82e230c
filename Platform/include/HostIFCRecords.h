// The records of the host's IFC, property and classification services, and the two host containers
// they are built of: UniString (the host's Unicode text) and Array<T> (the host's growable array).
// Unlike the plain records of HostRecords.h these own memory: a record is copied deeply and frees what
// it holds when it goes, on either side of the table (both sides link this library's allocator). The
// offsets the add-on relies on are checked below; where no offset is fixed by the add-on, the layout is
// this host's choice and the field comment says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "HostGuid.h"

namespace host {

// --- Containers --------------------------------------------------------------------------------------

// The host's Unicode text: UTF-16 code units, 16 bytes. An empty text holds no block.
class UniString {
public:
    UniString() noexcept = default;
    explicit UniString(std::u16string_view text) { assign(text); }
    UniString(const UniString& other) { assign(other.view()); }
    UniString(UniString&& other) noexcept { swap(other); }
    UniString& operator=(const UniString& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    UniString& operator=(UniString&& other) noexcept {
        UniString taken(std::move(other));
        swap(taken);
        return *this;
    }
    ~UniString() { delete[] chars_; }

    std::u16string_view view() const { return {chars_ == nullptr ? u"" : chars_, length_}; }
    bool empty() const { return length_ == 0; }
    std::uint32_t size() const { return length_; }
    void assign(std::u16string_view text) {
        char16_t* chars = nullptr;
        if (!text.empty()) {
            chars = new char16_t[text.size() + 1];
            std::memcpy(chars, text.data(), text.size() * sizeof(char16_t));
            chars[text.size()] = u'\0';
        }
        delete[] chars_;
        chars_ = chars;
        length_ = static_cast<std::uint32_t>(text.size());
    }
    void clear() { assign({}); }
    bool operator==(const UniString& other) const { return view() == other.view(); }

private:
    void swap(UniString& other) noexcept {
        std::swap(chars_, other.chars_);
        std::swap(length_, other.length_);
    }

    char16_t* chars_ = nullptr;                     // zero-terminated; null when empty
    std::uint32_t length_ = 0;                      // code units
    [[maybe_unused]] std::uint32_t reserved_ = 0;   // pads the record to the host's 16 bytes
};
static_assert(sizeof(UniString) == 16);

// The host's growable array, 24 bytes with the count at byte 20. Appending is push_back.
template <typename T>
class Array {
public:
    Array() noexcept = default;
    Array(const Array& other) {
        reserve(other.count_);
        for (const T& item : other) push_back(item);
    }
    Array(Array&& other) noexcept { swap(other); }
    Array& operator=(const Array& other) {
        if (this != &other) {
            Array copy(other);
            swap(copy);
        }
        return *this;
    }
    Array& operator=(Array&& other) noexcept {
        Array taken(std::move(other));
        swap(taken);
        return *this;
    }
    ~Array() {
        clear();
        std::allocator<T>().deallocate(items_, capacity_);
    }

    std::uint32_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    T& operator[](std::uint32_t i) { return items_[i]; }
    const T& operator[](std::uint32_t i) const { return items_[i]; }
    T* begin() { return items_; }
    T* end() { return items_ + count_; }
    const T* begin() const { return items_; }
    const T* end() const { return items_ + count_; }

    void push_back(const T& item) { emplace(item); }
    void push_back(T&& item) { emplace(std::move(item)); }
    void clear() {
        for (std::uint32_t i = 0; i < count_; ++i) items_[i].~T();
        count_ = 0;
    }
    void reserve(std::uint32_t capacity) {
        if (capacity <= capacity_) return;
        T* items = std::allocator<T>().allocate(capacity);
        for (std::uint32_t i = 0; i < count_; ++i) {
            new (items + i) T(std::move(items_[i]));
            items_[i].~T();
        }
        std::allocator<T>().deallocate(items_, capacity_);
        items_ = items;
        capacity_ = capacity;
    }

private:
    template <typename U>
    void emplace(U&& item) {
        if (count_ == capacity_) {
            T copy(std::forward<U>(item));   // the item may live in this array
            reserve(capacity_ == 0 ? 4 : capacity_ * 2);
            new (items_ + count_) T(std::move(copy));
        } else {
            new (items_ + count_) T(std::forward<U>(item));
        }
        ++count_;
    }
    void swap(Array& other) noexcept {
        std::swap(items_, other.items_);
        std::swap(capacity_, other.capacity_);
        std::swap(count_, other.count_);
    }

    T* items_ = nullptr;
    std::uint32_t capacity_ = 0;
    std::uint8_t reserved_[8]{};
    std::uint32_t count_ = 0;
};
static_assert(sizeof(Array<int>) == 24);

// --- IFC data of an element --------------------------------------------------------------------------

// The primitive type of an IFC value (its first word): which field holds the value when the text is empty.
enum IFCPrimitiveType : std::int32_t {
    kIFCPrimitiveInteger = 0,
    kIFCPrimitiveReal = 1,
    kIFCPrimitiveBoolean = 2,
    kIFCPrimitiveOther = 3,   // read like an integer
};

// One IFC value: the stored value in the field its value type names, and the IFC type name ("IfcLabel").
struct IFCPropertyValueRecord {
    std::int32_t primitiveType;   // IFCPrimitiveType
    std::uint8_t reserved4[4];
    double realValue;
    std::int64_t intValue;
    std::uint8_t boolValue;
    std::uint8_t reserved25[7];
    UniString stringValue;
    UniString valueType;
};
static_assert(sizeof(IFCPropertyValueRecord) == 64);
static_assert(offsetof(IFCPropertyValueRecord, realValue) == 8);
static_assert(offsetof(IFCPropertyValueRecord, intValue) == 16);
static_assert(offsetof(IFCPropertyValueRecord, boolValue) == 24);
static_assert(offsetof(IFCPropertyValueRecord, stringValue) == 32);
static_assert(offsetof(IFCPropertyValueRecord, valueType) == 48);

// The kinds of IFC property (a property record's kind word).
enum IFCPropertyKind : std::int32_t {
    kIFCSingleValue = 0,
    kIFCListValue = 1,
    kIFCBoundedValue = 2,
    kIFCEnumeratedValue = 3,
    kIFCTableValue = 4,
    kIFCReferenceValue = 5,   // a calendar date when the reference kind is 0
};

// One IFC property of an element, in one property set.
struct IFCPropertyRecord {
    UniString propertySetName;
    UniString propertyName;
    UniString description;
    std::int32_t kind;   // IFCPropertyKind
    std::uint8_t flag;   // carried for the add-on
    std::uint8_t reserved53[3];
    IFCPropertyValueRecord singleValue;
    IFCPropertyValueRecord lowerBound;
    IFCPropertyValueRecord upperBound;
    Array<IFCPropertyValueRecord> listValues;
    Array<IFCPropertyValueRecord> enumerationValues;
    Array<IFCPropertyValueRecord> enumerationReferenceValues;   // the chosen ones among the values
    Array<IFCPropertyValueRecord> tableDefiningValues;
    Array<IFCPropertyValueRecord> tableDefinedValues;
    std::uint8_t reserved368[16];
    std::int32_t referenceKind;   // 0: a calendar date
    std::uint16_t day;
    std::uint16_t month;
    std::uint16_t year;
    std::uint8_t reserved394[6];
};
static_assert(offsetof(IFCPropertyRecord, propertyName) == 16);
static_assert(offsetof(IFCPropertyRecord, description) == 32);
static_assert(offsetof(IFCPropertyRecord, kind) == 48);
static_assert(offsetof(IFCPropertyRecord, flag) == 52);
static_assert(offsetof(IFCPropertyRecord, singleValue) == 56);
static_assert(offsetof(IFCPropertyRecord, lowerBound) == 120);
static_assert(offsetof(IFCPropertyRecord, upperBound) == 184);
static_assert(offsetof(IFCPropertyRecord, listValues) == 248);
static_assert(offsetof(IFCPropertyRecord, enumerationValues) == 272);
static_assert(offsetof(IFCPropertyRecord, enumerationReferenceValues) == 296);
static_assert(offsetof(IFCPropertyRecord, tableDefiningValues) == 320);
static_assert(offsetof(IFCPropertyRecord, tableDefinedValues) == 344);
static_assert(offsetof(IFCPropertyRecord, referenceKind) == 384);
static_assert(offsetof(IFCPropertyRecord, day) == 388);
static_assert(offsetof(IFCPropertyRecord, month) == 390);
static_assert(offsetof(IFCPropertyRecord, year) == 392);

// One IFC attribute of an element ("Name", "GlobalId", ...): its value as text.
struct IFCAttributeRecord {
    UniString name;
    UniString valueType;
    UniString value;
    std::uint8_t hasValue;
    std::uint8_t flag;   // carried for the add-on
    std::uint8_t reserved50[6];
};
static_assert(sizeof(IFCAttributeRecord) == 56);
static_assert(offsetof(IFCAttributeRecord, valueType) == 16);
static_assert(offsetof(IFCAttributeRecord, value) == 32);
static_assert(offsetof(IFCAttributeRecord, hasValue) == 48);
static_assert(offsetof(IFCAttributeRecord, flag) == 49);

// One IFC classification reference of an element, with the classification it refers to. The three
// reference texts each carry a flag byte for the add-on (host's choice of names).
struct IFCClassificationReferenceRecord {
    UniString name;
    UniString location;
    std::uint8_t locationFlag;
    std::uint8_t reserved33[7];
    UniString identification;
    std::uint8_t identificationFlag;
    std::uint8_t reserved57[7];
    UniString referencedName;
    std::uint8_t referencedNameFlag;
    std::uint8_t reserved81[7];
    UniString source;   // the classification part
    UniString edition;
    std::uint8_t reserved120[8];
    UniString classificationName;
};
static_assert(sizeof(IFCClassificationReferenceRecord) == 144);
static_assert(offsetof(IFCClassificationReferenceRecord, location) == 16);
static_assert(offsetof(IFCClassificationReferenceRecord, locationFlag) == 32);
static_assert(offsetof(IFCClassificationReferenceRecord, identification) == 40);
static_assert(offsetof(IFCClassificationReferenceRecord, identificationFlag) == 56);
static_assert(offsetof(IFCClassificationReferenceRecord, referencedName) == 64);
static_assert(offsetof(IFCClassificationReferenceRecord, referencedNameFlag) == 80);
static_assert(offsetof(IFCClassificationReferenceRecord, source) == 88);
static_assert(offsetof(IFCClassificationReferenceRecord, edition) == 104);
static_assert(offsetof(IFCClassificationReferenceRecord, classificationName) == 128);

// --- Properties (layouts host's choice) ----------------------------------------------------------------

enum VariantType : std::int32_t {
    kVariantNone = 0,
    kVariantInteger = 1,
    kVariantReal = 2,
    kVariantString = 3,
    kVariantBoolean = 4,
    kVariantGuid = 5,
};

// One typed value; only the field of its type has meaning.
struct VariantRecord {
    std::int32_t type;   // VariantType
    std::int32_t intValue;
    double doubleValue;
    std::uint8_t boolValue;
    std::uint8_t reserved17[7];
    UniString uniStringValue;
    GuidRecord guidValue;
};
static_assert(sizeof(VariantRecord) == 56);
static_assert(offsetof(VariantRecord, uniStringValue) == 24);
static_assert(offsetof(VariantRecord, guidValue) == 40);

// One value of an enumeration: its key (a guid variant) and the value shown.
struct EnumerationVariantRecord {
    VariantRecord keyVariant;
    VariantRecord displayVariant;
};
static_assert(sizeof(EnumerationVariantRecord) == 112);

// The status of a property value.
enum VariantStatus : std::int32_t {
    kVariantStatusNull = 0,
    kVariantStatusUserUndefined = 1,
    kVariantStatusNormal = 2,
};

// A property value: the field its definition's collection type names holds it.
struct PropertyValueRecord {
    std::int32_t variantStatus;   // VariantStatus
    std::uint8_t reserved4[4];
    VariantRecord singleVariant;                           // collection 1
    Array<VariantRecord> listVariant;                      // collection 2
    EnumerationVariantRecord singleEnumVariant;            // collection 3
    Array<EnumerationVariantRecord> multipleEnumVariant;   // collection 4
};
static_assert(sizeof(PropertyValueRecord) == 224);

// A definition's default: a value, or expressions (a default with expressions is read as expressions
// and its value ignored).
struct PropertyDefaultRecord {
    PropertyValueRecord basicValue;
    Array<UniString> expressions;
};
static_assert(sizeof(PropertyDefaultRecord) == 248);

enum PropertyCollectionType : std::int32_t {
    kPropertyCollectionUndefined = 0,
    kPropertySingle = 1,
    kPropertyList = 2,
    kPropertySingleChoice = 3,
    kPropertyMultipleChoice = 4,
};

enum PropertyMeasureType : std::int32_t {
    kMeasureUndefined = 0,
    kMeasureDefault = 1,
    kMeasureLength = 2,
    kMeasureArea = 3,
    kMeasureVolume = 4,
    kMeasureAngle = 5,
};

// A group or definition's type: built into the host, or made by a user (or an add-on).
enum PropertyDefinitionType : std::int32_t {
    kPropertyBuiltIn = 1,
    kPropertyUserDefined = 2,
};

struct PropertyGroupRecord {
    GuidRecord guid;
    std::int32_t groupType;   // PropertyDefinitionType
    std::uint8_t reserved20[4];
    UniString name;
};
static_assert(sizeof(PropertyGroupRecord) == 40);

struct PropertyDefinitionRecord {
    GuidRecord guid;
    GuidRecord groupGuid;
    UniString name;
    UniString description;
    std::int32_t collectionType;   // PropertyCollectionType
    std::int32_t valueType;        // VariantType
    std::int32_t measureType;      // PropertyMeasureType
    std::int32_t definitionType;   // PropertyDefinitionType
    std::uint8_t canValueBeEditable;
    std::uint8_t reserved81[7];
    PropertyDefaultRecord defaultValue;
    Array<EnumerationVariantRecord> possibleEnumValues;
    Array<GuidRecord> availability;   // the classification items the property is available for
};
static_assert(sizeof(PropertyDefinitionRecord) == 384);

// One element's value of one property.
struct PropertyRecord {
    PropertyDefinitionRecord definition;
    std::uint8_t isDefault;   // the element shows the definition's default
    std::uint8_t reserved385[7];
    PropertyValueRecord value;
};
static_assert(sizeof(PropertyRecord) == 616);

// --- Classification ------------------------------------------------------------------------------------

struct ClassificationSystemRecord {
    GuidRecord guid;
    UniString name;
    UniString description;
    UniString source;
    UniString editionVersion;
    std::uint16_t editionYear;
    std::uint16_t editionMonth;
    std::uint16_t editionDay;
    std::uint8_t reserved86[2];
};
static_assert(sizeof(ClassificationSystemRecord) == 88);
static_assert(offsetof(ClassificationSystemRecord, editionYear) == 80);

// Who an item may be given to: the state word's two flags (host's names).
inline constexpr std::int32_t kClassificationForElements = 1;   // elements other than zones
inline constexpr std::int32_t kClassificationForZones = 2;

struct ClassificationItemRecord {
    GuidRecord guid;
    UniString id;
    UniString name;
    UniString description;
    std::int32_t state;   // kClassificationFor... flags
    std::uint8_t reserved68[4];
};
static_assert(sizeof(ClassificationItemRecord) == 72);
static_assert(offsetof(ClassificationItemRecord, state) == 64);

// One classification of an element: the system and the item of it.
struct ClassificationPairRecord {
    GuidRecord system;
    GuidRecord item;
};
static_assert(sizeof(ClassificationPairRecord) == 32);

}   // namespace host

#include "IFC/IFCData.h"

#include <map>
#include <set>

#include "Foundation/BooleanSetting.h"
#include "Foundation/IDSetting.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/Int64Setting.h"
#include "Foundation/LengthSetting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "IFC/HostUniText.h"

namespace tarnwick {
namespace {

constexpr std::uint32_t kCodeBoolean = 3;
constexpr std::uint32_t kCodeTime = 4;
constexpr std::uint32_t kCodeId = 5;
constexpr std::uint32_t kCodeInt32 = 6;
constexpr std::uint32_t kCodeInt64 = 7;
constexpr std::uint32_t kCodeLength = 8;
constexpr std::uint32_t kCodeReal = 9;
constexpr std::uint32_t kCodeString = 10;

bool isRealKind(SettingKind kind) {
    return kind == SettingKind::angle || kind == SettingKind::area || kind == SettingKind::length ||
           kind == SettingKind::real || kind == SettingKind::volume;
}

const std::map<String, std::uint32_t>& typeTable() {
    static const std::map<String, std::uint32_t> table = {
        {"IfcAreaMeasure", kCodeReal},     {"IfcBoolean", kCodeBoolean},
        {"IfcCalendarDate", kCodeTime},    {"IfcCountMeasure", kCodeInt64},
        {"IfcGloballyUniqueId", kCodeId},  {"IfcIdentifier", kCodeString},
        {"IfcInteger", kCodeInt64},        {"IfcLabel", kCodeString},
        {"IfcLengthMeasure", kCodeLength}, {"IfcLogical", kCodeBoolean},
        {"IfcMassMeasure", kCodeReal},     {"IfcMassPerLengthMeasure", kCodeReal},
        {"IfcParameterValue", kCodeReal},  {"IfcReal", kCodeReal},
        {"IfcText", kCodeString},          {"IfcVolumeMeasure", kCodeReal},
    };
    return table;
}

std::map<String, SharedName>& namePool() {
    static std::map<String, SharedName> pool;
    return pool;
}

std::set<SharedValue, SettingOrder>& valuePool() {
    static std::set<SharedValue, SettingOrder> pool;
    return pool;
}

}   // namespace

// --- Order of values -------------------------------------------------------------------------------------
bool SettingOrder::operator()(const Setting& a, const Setting& b) const {
    if (a.getKind() != b.getKind()) return a.getKind() < b.getKind();
    if (isRealKind(a.getKind())) return a.getReal() < b.getReal();   // exact on purpose
    return a.isLess(b);
}

bool SettingOrder::operator()(const SharedValue& a, const SharedValue& b) const {
    if (!a || !b) return !a && b;
    return (*this)(*a, *b);
}

// --- IFCData ---------------------------------------------------------------------------------------------
IFCData::IFCData(const String& name, const String& typeName, std::uint8_t flag)
    : name_(shareName(name)), valueType_(lookupValueType(typeName)), flag_(flag) {}

IFCData::~IFCData() = default;

String IFCData::getName() const { return name_ ? *name_ : String(); }
String IFCData::getTypeName() const { return valueType_.name ? *valueType_.name : String(); }

IFCValueType IFCData::lookupValueType(const String& typeName) {
    IFCValueType type;
    type.name = shareName(typeName);   // kept as given, whatever its code
    const auto found = typeTable().find(typeName);
    type.code = found == typeTable().end() ? kCodeString : found->second;
    return type;
}

SharedName IFCData::shareName(const String& text) {
    if (text.isEmpty()) return nullptr;
    SharedName& pooled = namePool()[text];
    if (!pooled) pooled = std::make_shared<const String>(text);
    return pooled;
}

SharedValue IFCData::shareValue(SharedValue value) {
    if (!value) return value;
    return *valuePool().insert(std::move(value)).first;
}

void IFCData::releaseTypeTables() {
    namePool().clear();
    valuePool().clear();
}

std::unique_ptr<Setting> IFCData::makeSetting(const Setting* initial, const IFCValueType* type) const {
    std::unique_ptr<Setting> setting;
    switch ((type ? *type : valueType_).code) {
        case kCodeBoolean:
            setting = std::make_unique<BooleanSetting>();
            break;
        case kCodeId:
            setting = std::make_unique<IDSetting>();
            break;
        case kCodeInt32:
            setting = std::make_unique<Int32Setting>();
            break;
        case kCodeInt64:
            setting = std::make_unique<Int64Setting>();
            break;
        case kCodeLength:
            setting = std::make_unique<LengthSetting>();
            break;
        case kCodeReal:
            setting = std::make_unique<RealSetting>();
            break;
        case kCodeString:
            setting = std::make_unique<StringSetting>();
            break;
        default:   // 4 (dates) and codes of no kind
            return nullptr;
    }
    if (initial != nullptr) setting->assign(*initial);
    return setting;
}

bool IFCData::readValue(Setting& setting, const host::IFCPropertyValueRecord& value,
                        const IFCValueType* type) const {
    switch ((type ? *type : valueType_).code) {
        case kCodeBoolean:
            setting.setInt32(value.boolValue != 0 ? 1 : 0);
            return true;
        case kCodeId:
            setting.setText(fromUniString(value.stringValue));
            return true;
        case kCodeInt32:
        case kCodeInt64:
            setting.setInt64(value.intValue);
            return true;
        case kCodeLength:
        case kCodeReal:
            setting.setReal(value.realValue);
            return true;
        case kCodeString: {
            String text = fromUniString(value.stringValue);
            if (text.isEmpty()) {   // the value is held in the field of its primitive type
                switch (value.primitiveType) {
                    case host::kIFCPrimitiveInteger:
                    case host::kIFCPrimitiveOther:
                        text = String(value.intValue);
                        break;
                    case host::kIFCPrimitiveReal:
                        // Every digit it has: six significant ones would lose part of the value.
                        text = String(value.realValue, /*step=*/0.0);
                        break;
                    case host::kIFCPrimitiveBoolean:
                        text = value.boolValue != 0 ? "1" : "0";
                        break;
                    default:
                        break;
                }
            }
            setting.setText(text);
            return true;
        }
        default:
            return false;
    }
}

bool IFCData::writeValue(host::IFCPropertyValueRecord& value, const Setting& setting,
                         const IFCValueType* type) const {
    const IFCValueType& valueType = type ? *type : valueType_;
    if (valueType.name) value.valueType = toUniString(*valueType.name);
    switch (valueType.code) {
        case kCodeBoolean:
            value.boolValue = setting.getBool() ? 1 : 0;   // false clears it
            break;
        case kCodeId: {
            // A GUID in its text form; a value that is no GUID (an IFC compressed id) keeps its own text.
            IDSetting guid;
            value.stringValue = toUniString(guid.assign(setting) ? guid.getText() : setting.getText());
            break;
        }
        case kCodeInt32:
            value.intValue = setting.getInt32();
            break;
        case kCodeInt64:
            value.intValue = setting.getInt64();
            break;
        case kCodeLength:
        case kCodeReal:
            value.realValue = setting.getReal();
            break;
        case kCodeString:
            value.stringValue = toUniString(setting.getText());
            break;
        default:
            return false;
    }
    return valueType.hasName();
}

}   // namespace tarnwick

#include "Foundation/Setting.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "Foundation/AngleSetting.h"
#include "Foundation/AreaSetting.h"
#include "Foundation/BooleanSetting.h"
#include "Foundation/IDSetting.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/Int64Setting.h"
#include "Foundation/LengthSetting.h"
#include "Foundation/MakeSetting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TimeSetting.h"
#include "Foundation/VoidSetting.h"
#include "Foundation/VolumeSetting.h"

namespace tarnwick {
namespace {

constexpr const char* kGuidText = "0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7B";
constexpr SettingKind kAllKinds[] = {SettingKind::angle,  SettingKind::area,   SettingKind::boolean,
                                     SettingKind::time,   SettingKind::id,     SettingKind::int32,
                                     SettingKind::int64,  SettingKind::length, SettingKind::real,
                                     SettingKind::string, SettingKind::volume};

std::unique_ptr<Setting> make(SettingKind kind) {
    auto setting = makeEmptySetting(kind);
    EXPECT_NE(setting, nullptr);
    return setting;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

DateTime makeDate(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    DateTime date;
    EXPECT_TRUE(date.setDate(year, month, day));
    return date;
}

TEST(Setting, TheFactoryMakesEveryKindEmptyAndNotSet) {
    for (const SettingKind kind : kAllKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto setting = make(kind);
        ASSERT_NE(setting, nullptr);
        EXPECT_EQ(setting->getKind(), kind);
        EXPECT_EQ(setting->getState(), SettingState::notSet);
        EXPECT_TRUE(setting->isEmpty());
        EXPECT_EQ(setting->clone()->getKind(), kind);
    }
    EXPECT_EQ(makeEmptySetting(SettingKind::none), nullptr);
    EXPECT_EQ(makeEmptySetting(static_cast<SettingKind>(12)), nullptr);
    EXPECT_EQ(makeEmptySetting(static_cast<SettingKind>(0xFFFFFFFF)), nullptr);
}

TEST(Setting, EverySetterThatTakesTheValueStoresStateDefined) {
    using Setter = std::function<bool(Setting&)>;
    const std::pair<const char*, Setter> setters[] = {
        {"setInt64", [](Setting& s) { return s.setInt64(1); }},
        {"setInt32", [](Setting& s) { return s.setInt32(1); }},
        {"setBool", [](Setting& s) { return s.setBool(true); }},
        {"setReal", [](Setting& s) { return s.setReal(1.0); }},
        {"setTime", [](Setting& s) { return s.setTime(makeDate(2024, 5, 7)); }},
        {"setText", [](Setting& s) {
             return s.setText(s.getKind() == SettingKind::id     ? kGuidText
                              : s.getKind() == SettingKind::time ? "2024-05-07"
                                                                 : "1");
         }}};
    for (const SettingKind kind : kAllKinds)
        for (const auto& [name, set] : setters) {
            SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(kind) << ' ' << name);
            const auto setting = make(kind);
            // Identifiers and times take no numbers; only times and texts take a time.
            const std::string_view setter = name;
            const bool takesNumbers = kind != SettingKind::id && kind != SettingKind::time;
            const bool takes = setter == "setText" ||
                               (setter == "setTime" ? kind == SettingKind::time || kind == SettingKind::string
                                                    : takesNumbers);
            const bool refused = !takes;
            EXPECT_EQ(set(*setting), !refused);
            EXPECT_EQ(setting->getState(), refused ? SettingState::notSet : SettingState::defined);
            if (takes) {
                EXPECT_FALSE(setting->isEmpty());
            }
        }
}

TEST(Setting, BooleanTextRules) {
    const std::pair<const char*, bool> cases[] = {
        {"", false},    {"false", false}, {"FALSE", false}, {"False", false}, {"true", true},
        {"TRUE", true}, {"tRuE", true},   {"1", true},      {"0", false},     {"2.5", true},
        {"-1", true},   {"-0", false},    {"0.0", false},   {" 1 ", true}};
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        BooleanSetting setting(!value);
        EXPECT_TRUE(setting.setText(text));
        EXPECT_EQ(setting.getBool(), value);
        EXPECT_EQ(setting.getText(), value ? "1" : "0");
        EXPECT_EQ(setting.getState(), SettingState::defined);
        // Every kind reads a boolean from its text by the same rules.
        EXPECT_EQ(StringSetting(text).getBool(), value);
    }
    for (const char* text : {"yes", "no", "truee", "1x", "nan", "inf"}) {
        SCOPED_TRACE(text);
        BooleanSetting setting(true);
        setting.setState(SettingState::undefined);
        EXPECT_FALSE(setting.setText(text));
        EXPECT_TRUE(setting.getBool());
        EXPECT_EQ(setting.getState(), SettingState::undefined);
        EXPECT_FALSE(StringSetting(text).getBool());
    }
}

// A typo must not become a defined zero: a refused text leaves value and state as they were.
TEST(Setting, RefusedTextLeavesValueAndStateAlone) {
    struct Case {
        SettingKind kind;
        const char* good;
        const char* bad;
    };
    const Case cases[] = {{SettingKind::int32, "12", "12x"},
                          {SettingKind::int32, "-7", "3000000000"},
                          {SettingKind::int64, "9000000000", "9e9"},
                          {SettingKind::int64, "-9223372036854775808", "9223372036854775808"},
                          {SettingKind::real, "1.5", "1,5"},
                          {SettingKind::real, "2e3", "nan"},
                          {SettingKind::length, "2.5", "2.5m"},
                          {SettingKind::length, "0.25", ""},
                          {SettingKind::angle, "90", "ninety"},
                          {SettingKind::area, "3", "3 m2"},
                          {SettingKind::volume, "4.5", "--4.5"},
                          {SettingKind::boolean, "true", "maybe"},
                          {SettingKind::time, "2024-05-07", "2024-02-30"},
                          {SettingKind::id, kGuidText, "0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(c.kind) << " '" << c.good << "' / '" << c.bad << "'");
        const auto fresh = make(c.kind);
        EXPECT_FALSE(fresh->setText(c.bad));
        EXPECT_EQ(fresh->getState(), SettingState::notSet);
        EXPECT_TRUE(fresh->isEmpty());

        const auto setting = make(c.kind);
        ASSERT_TRUE(setting->setText(c.good));
        const String before = setting->getText();
        setting->setState(SettingState::undefined);
        EXPECT_FALSE(setting->setText(c.bad));
        EXPECT_EQ(setting->getText(), before);
        EXPECT_EQ(setting->getState(), SettingState::undefined);
    }
}

TEST(Setting, RealsSurviveTheTripThroughText) {
    const double values[] = {1234.5678,
                             1234567.0,
                             0.1 + 0.2,
                             1.0 / 3.0,
                             -2.5e-300,
                             6.02214076e23,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min()};
    for (const double value : values) {
        SCOPED_TRACE(value);
        const RealSetting real(value);
        StringSetting text;
        ASSERT_TRUE(text.assign(real));
        LengthSetting length;
        ASSERT_TRUE(length.assign(text));
        EXPECT_TRUE(sameBits(length.getReal(), value)) << length.getText();
        RealSetting back;
        ASSERT_TRUE(back.assign(length));
        EXPECT_TRUE(sameBits(back.getReal(), value));
        StringSetting set;
        ASSERT_TRUE(set.setReal(value));
        EXPECT_EQ(set.getText(), text.getText());
    }
    EXPECT_EQ(RealSetting(1234.5678).getText(), "1234.5678");
    EXPECT_EQ(RealSetting(1234567.0).getText(), "1234567");
}

TEST(Setting, AssignCopiesTheStateWordAndKeepsTheReceiversKind) {
    for (const SettingState state : {SettingState::undefined, SettingState::defined}) {
        SCOPED_TRACE(static_cast<int>(state));
        Int32Setting source(42);
        source.setState(state);
        RealSetting real;
        ASSERT_TRUE(real.assign(source));   // another kind: through text
        EXPECT_EQ(real.getKind(), SettingKind::real);
        EXPECT_EQ(real.getReal(), 42.0);
        EXPECT_EQ(real.getState(), state);
        Int32Setting same;
        ASSERT_TRUE(same.assign(source));   // the same kind: directly
        EXPECT_EQ(same.getInt32(), 42);
        EXPECT_EQ(same.getState(), state);
    }
}

TEST(Setting, AssignOfTheSameKindCopiesExactly) {
    const double radians = 1.0 / 7.0;
    AngleSetting angle;
    ASSERT_TRUE(angle.assign(AngleSetting(radians)));
    EXPECT_TRUE(sameBits(angle.getReal(), radians));

    const Guid guid = Guid::generate();
    IDSetting id;
    ASSERT_TRUE(id.assign(IDSetting(guid)));
    EXPECT_EQ(id.getGuid(), guid);

    DateTime time;
    ASSERT_TRUE(time.set(2024, 5, 5, 7, 9, 3, 4, 999));
    TimeSetting copy;
    ASSERT_TRUE(copy.assign(TimeSetting(time)));
    EXPECT_EQ(copy.getTime().compare(time), 0);   // the milliseconds, which the text does not carry
}

TEST(Setting, AssignOfAnUnreadableDefinedValueIsRefused) {
    Int32Setting target(7);
    EXPECT_FALSE(target.assign(StringSetting("seven")));
    EXPECT_EQ(target.getInt32(), 7);
    EXPECT_EQ(target.getState(), SettingState::defined);

    IDSetting id;
    EXPECT_FALSE(id.assign(Int32Setting(5)));
    EXPECT_EQ(id.getState(), SettingState::notSet);
}

TEST(Setting, AssignOfAnUnsetValueClearsTheReceiver) {
    Int32Setting target(7);
    ASSERT_TRUE(target.assign(StringSetting()));   // not set: its empty text is no number
    EXPECT_EQ(target.getInt32(), 0);
    EXPECT_EQ(target.getState(), SettingState::notSet);

    RealSetting real(2.5);
    ASSERT_TRUE(real.assign(VoidSetting(SettingState::undefined)));
    EXPECT_TRUE(real.isEmpty());
    EXPECT_EQ(real.getState(), SettingState::undefined);
}

TEST(Setting, AngleTextIsInDegrees) {
    const AngleSetting right(std::numbers::pi / 2);
    EXPECT_EQ(right.getText(), "90");
    AngleSetting angle;
    ASSERT_TRUE(angle.setText("180"));
    EXPECT_NEAR(angle.getReal(), std::numbers::pi, 1e-15);
    ASSERT_TRUE(angle.setText("-45.5"));
    EXPECT_NEAR(angle.getReal(), -45.5 * std::numbers::pi / 180, 1e-15);
    // Through text into a plain real the number is the degrees.
    RealSetting real;
    ASSERT_TRUE(real.assign(right));
    EXPECT_NEAR(real.getReal(), 90.0, 1e-12);
}

TEST(Setting, MeasuresKeepTheirValueInTheirUnits) {
    const std::pair<std::unique_ptr<Setting>, const char*> cases[] = {
        {std::make_unique<AreaSetting>(12.5), "12.5"},
        {std::make_unique<VolumeSetting>(0.125), "0.125"},
        {std::make_unique<LengthSetting>(3.75), "3.75"}};
    for (const auto& [setting, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(setting->getText(), text);
        const auto empty = make(setting->getKind());
        ASSERT_TRUE(empty->setText(text));
        EXPECT_TRUE(empty->isEqual(*setting));
    }
}

TEST(Setting, RealsCompareWithinTheTolerance) {
    const RealSetting base(1.0);
    const std::pair<double, bool> cases[] = {{1.0, true},
                                             {1.0 + 0.9e-5, true},
                                             {1.0 - 0.9e-5, true},
                                             {1.0 + 1.1e-5, false},
                                             {1.0 - 1.1e-5, false}};
    for (const auto& [value, equal] : cases) {
        SCOPED_TRACE(value);
        const RealSetting other(value);
        EXPECT_EQ(base.isEqual(other), equal);
        EXPECT_EQ(other.isEqual(base), equal);
        // Equal exactly when neither orders before the other.
        EXPECT_EQ(!base.isLess(other) && !other.isLess(base), equal);
    }
    EXPECT_TRUE(RealSetting(0.9e-5).isEmpty());
    EXPECT_FALSE(RealSetting(1.1e-5).isEmpty());
}

TEST(Setting, ValuesOfDifferentKindsAreNeverEqualAndOrderByKind) {
    const Int32Setting int32(5);
    const Int64Setting int64(5);
    const RealSetting real(5.0);
    EXPECT_FALSE(int32.isEqual(int64));
    EXPECT_FALSE(real.isEqual(int32));
    EXPECT_FALSE(RealSetting(1.0).isEqual(LengthSetting(1.0)));
    EXPECT_TRUE(int32.isLess(int64));   // kind 6 before kind 7
    EXPECT_FALSE(int64.isLess(int32));
    EXPECT_TRUE(int64.isLess(RealSetting(-100.0)));
}

TEST(Setting, OrdersValuesWithinAKind) {
    const std::pair<std::unique_ptr<Setting>, std::unique_ptr<Setting>> lessThan[] = {
        {std::make_unique<Int32Setting>(-3), std::make_unique<Int32Setting>(2)},
        {std::make_unique<Int64Setting>(4000000000), std::make_unique<Int64Setting>(4000000001)},
        {std::make_unique<BooleanSetting>(false), std::make_unique<BooleanSetting>(true)},
        {std::make_unique<StringSetting>("Apple"), std::make_unique<StringSetting>("apple")},
        {std::make_unique<StringSetting>(""), std::make_unique<StringSetting>("a")},
        {std::make_unique<TimeSetting>(makeDate(1999, 12, 31)),
         std::make_unique<TimeSetting>(makeDate(2000, 1, 1))},
        {std::make_unique<IDSetting>(Guid(String("00000000-0000-0000-0000-000000000001"))),
         std::make_unique<IDSetting>(Guid(String("00000001-0000-0000-0000-000000000000")))}};
    for (const auto& [low, high] : lessThan) {
        SCOPED_TRACE(testing::Message() << low->getText() << " < " << high->getText());
        EXPECT_TRUE(low->isLess(*high));
        EXPECT_FALSE(high->isLess(*low));
        EXPECT_FALSE(low->isLess(*low));
        EXPECT_FALSE(low->isEqual(*high));
        EXPECT_TRUE(low->isEqual(*low->clone()));
    }
}

TEST(Setting, IntegersRefuseWhatTheyCannotHoldAndGiveRealsRounded) {
    Int32Setting int32(1);
    EXPECT_FALSE(int32.setInt64(std::int64_t{1} << 31));
    EXPECT_FALSE(int32.setReal(3e9));
    EXPECT_FALSE(int32.setReal(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(int32.getInt32(), 1);
    EXPECT_TRUE(int32.setInt64(-(std::int64_t{1} << 31)));
    EXPECT_EQ(int32.getInt32(), std::numeric_limits<std::int32_t>::min());
    EXPECT_TRUE(int32.setReal(2.5));
    EXPECT_EQ(int32.getInt32(), 3);
    EXPECT_TRUE(int32.setReal(-2.5));
    EXPECT_EQ(int32.getInt32(), -3);

    Int64Setting int64(1);
    EXPECT_FALSE(int64.setReal(9.3e18));
    EXPECT_FALSE(int64.setReal(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(int64.getInt64(), 1);
    ASSERT_TRUE(int64.setInt64(5000000000));
    EXPECT_EQ(int64.getInt32(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(int64.getText(), "5000000000");

    RealSetting real(-1e30);
    EXPECT_EQ(real.getInt32(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(real.getInt64(), std::numeric_limits<std::int64_t>::min());
    ASSERT_TRUE(real.setReal(1e30));
    EXPECT_EQ(real.getInt64(), std::numeric_limits<std::int64_t>::max());
    EXPECT_FALSE(real.setReal(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(real.setReal(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ(real.getReal(), 1e30);
}

TEST(Setting, TextReadsAsEveryOtherType) {
    EXPECT_EQ(StringSetting("42").getInt32(), 42);
    EXPECT_EQ(StringSetting(" -42 ").getInt64(), -42);
    EXPECT_EQ(StringSetting("9000000000").getInt64(), 9000000000);
    EXPECT_EQ(StringSetting("+17").getInt64(), 17);
    EXPECT_EQ(StringSetting("2.5").getReal(), 2.5);
    EXPECT_EQ(StringSetting("2024-05-07").getTime().compare(makeDate(2024, 5, 7)), 0);
    // Text that is no number reads as zero.
    EXPECT_EQ(StringSetting("abc").getInt32(), 0);
    EXPECT_EQ(StringSetting("+-1").getInt64(), 0);
    EXPECT_EQ(StringSetting("12abc").getInt64(), 0);
    EXPECT_EQ(StringSetting("abc").getReal(), 0.0);
    EXPECT_EQ(StringSetting("abc").getTime().compare(DateTime()), 0);
    EXPECT_EQ(IDSetting(Guid(String(kGuidText))).getInt32(), 0);
}

TEST(Setting, TextTakesEveryOtherType) {
    StringSetting text;
    ASSERT_TRUE(text.setInt64(-9000000000));
    EXPECT_EQ(text.getText(), "-9000000000");
    ASSERT_TRUE(text.setInt32(-5));
    EXPECT_EQ(text.getText(), "-5");
    ASSERT_TRUE(text.setBool(true));
    EXPECT_EQ(text.getText(), "1");
    ASSERT_TRUE(text.setReal(0.1));
    EXPECT_EQ(text.getText(), "0.1");
    ASSERT_TRUE(text.setTime(makeDate(2024, 5, 7)));
    EXPECT_EQ(text.getText(), "2024-05-07 00:00:00");
    EXPECT_FALSE(text.setReal(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(text.getText(), "2024-05-07 00:00:00");
}

TEST(Setting, IdentifierReadsAGuidText) {
    IDSetting id;
    ASSERT_TRUE(id.setText(String("{") + kGuidText + "}"));
    EXPECT_EQ(id.getGuid(), Guid(String(kGuidText)));
    EXPECT_EQ(id.getText(), kGuidText);
    EXPECT_FALSE(id.isEmpty());
    ASSERT_TRUE(id.setText("00000000-0000-0000-0000-000000000000"));
    EXPECT_TRUE(id.isEmpty());
    EXPECT_EQ(id.getState(), SettingState::defined);
    EXPECT_FALSE(id.setInt32(5));
    EXPECT_FALSE(id.setReal(5.0));
}

TEST(Setting, ClearGivesTheZeroValueNotSet) {
    for (const SettingKind kind : kAllKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto setting = make(kind);
        ASSERT_TRUE(setting->setText(kind == SettingKind::id     ? kGuidText
                                     : kind == SettingKind::time ? "2024-05-07"
                                                                 : "1"));
        setting->clear();
        EXPECT_TRUE(setting->isEmpty());
        EXPECT_EQ(setting->getState(), SettingState::notSet);
        EXPECT_TRUE(setting->isEqual(*make(kind)));
    }
}

TEST(Setting, CloneIsAnIndependentCopyOfKindValueAndState) {
    StringSetting original("first");
    original.setState(SettingState::undefined);
    const auto copy = original.clone();
    ASSERT_TRUE(original.setText("second"));
    EXPECT_EQ(copy->getKind(), SettingKind::string);
    EXPECT_EQ(copy->getText(), "first");
    EXPECT_EQ(copy->getState(), SettingState::undefined);

    const AngleSetting angle(0.5);
    const auto angleCopy = angle.clone();
    EXPECT_EQ(angleCopy->getKind(), SettingKind::angle);
    EXPECT_NE(dynamic_cast<AngleSetting*>(angleCopy.get()), nullptr);
    EXPECT_TRUE(angleCopy->isEqual(angle));
}

TEST(VoidSetting, HoldsNothingAndEqualsNothing) {
    VoidSetting none(SettingState::undefined);
    EXPECT_EQ(none.getKind(), SettingKind::none);
    EXPECT_TRUE(none.isEmpty());
    EXPECT_FALSE(none.isEqual(none));
    EXPECT_FALSE(none.isEqual(VoidSetting()));
    EXPECT_FALSE(none.isLess(Int32Setting(1)));
    EXPECT_FALSE(Int32Setting(1).isEqual(none));
    EXPECT_FALSE(none.setInt64(1));
    EXPECT_FALSE(none.setInt32(1));
    EXPECT_FALSE(none.setBool(true));
    EXPECT_FALSE(none.setReal(1.0));
    EXPECT_FALSE(none.setTime(DateTime()));
    EXPECT_FALSE(none.setText("1"));
    EXPECT_FALSE(none.assign(Int32Setting(1)));
    none.clear();
    EXPECT_EQ(none.getState(), SettingState::undefined);
    EXPECT_EQ(none.getText(), "");
    EXPECT_EQ(none.getInt64(), 0);
    EXPECT_FALSE(none.getBool());
    EXPECT_EQ(none.clone()->getState(), SettingState::undefined);
    EXPECT_EQ(VoidSetting().getState(), SettingState::notSet);
}

}   // namespace
}   // namespace tarnwick

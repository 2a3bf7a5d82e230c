#include "Foundation/Setting.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace tarnwick {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}   // namespace

Setting::~Setting() = default;

// --- Copying -------------------------------------------------------------------------------------
bool Setting::assign(const Setting& other) {
    if (&other == this) return true;
    if (other.getKind() == getKind()) {   // nothing to convert: no loss through text
        copyValue(other);
        state_ = other.getState();
        return true;
    }
    if (setText(other.getText())) {
        state_ = other.getState();
        return true;
    }
    // A value that is not defined has nothing worth keeping (an unset setting's empty text does not parse
    // as a number): take its state with our zero value. A defined value that we cannot read is refused.
    if (other.getState() == SettingState::defined) return false;
    clearValue();
    state_ = other.getState();
    return true;
}

// --- Reading through text ------------------------------------------------------------------------
std::int64_t Setting::getInt64() const {
    std::int64_t value = 0;
    readInt64Text(getText(), value);
    return value;
}

DateTime Setting::getTime() const {
    DateTime value;
    value.parse(getText());   // unchanged (the zero date) when the text is not a date
    return value;
}

std::int32_t Setting::getInt32() const {
    std::int32_t value = 0;
    parseInt32(getText(), value);
    return value;
}

bool Setting::getBool() const {
    bool value = false;
    return readBoolText(getText(), value) && value;
}

double Setting::getReal() const {
    double value = 0.0;
    parseDouble(getText(), value);
    return value;
}

// --- Comparing -----------------------------------------------------------------------------------
bool Setting::isEqual(const Setting& other) const {
    return getKind() == other.getKind() && isValueEqual(other);
}

bool Setting::isLess(const Setting& other) const {
    if (getKind() != other.getKind())
        return getKind() < other.getKind();   // keeps pools of mixed kinds ordered
    return isValueLess(other);
}

SettingState Setting::getState() const { return state_; }

void Setting::clear() {
    clearValue();
    state_ = SettingState::notSet;
}

// --- Writing through text ------------------------------------------------------------------------
bool Setting::setInt64(std::int64_t value) { return setText(String(value)); }
bool Setting::setTime(const DateTime& value) { return setText(value.format()); }
bool Setting::setInt32(std::int32_t value) { return setText(String(value)); }
bool Setting::setBool(bool value) { return setText(value ? "1" : "0"); }
bool Setting::setReal(double value) {
    if (!std::isfinite(value)) return false;
    return setText(String(value, /*step=*/0.0));   // the shortest text that reads back exactly
}

// --- Text rules ----------------------------------------------------------------------------------
bool Setting::readBoolText(const String& text, bool& value) {
    const String lower = text.toLower();
    if (lower.isEmpty() || lower == "false") {
        value = false;
        return true;
    }
    if (lower == "true") {
        value = true;
        return true;
    }
    double number = 0.0;
    if (!parseDouble(text, number)) return false;
    value = std::fpclassify(number) != FP_ZERO;
    return true;
}

bool Setting::readInt64Text(const String& text, std::int64_t& value) {
    value = 0;
    std::string_view digits = text.getView();
    while (!digits.empty() && isBlank(digits.front())) digits.remove_prefix(1);
    while (!digits.empty() && isBlank(digits.back())) digits.remove_suffix(1);
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-') digits.remove_prefix(1);
    if (digits.empty()) return false;
    std::int64_t parsed = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
    if (error != std::errc() || end != digits.data() + digits.size()) return false;
    value = parsed;
    return true;
}

}   // namespace tarnwick

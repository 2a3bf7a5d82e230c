#include "Foundation/XMLTypeProxy.h"

#include <charconv>
#include <cmath>

#include "Foundation/Guid.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The leading number after blanks, as stream extraction reads it; 0 when there is none or it overflows.
template <typename Integer>
Integer leadingInteger(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    Integer value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0;
}

template <typename Number>
void appendNumber(std::string& text, Number value) {
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;   // 32 bytes hold every int and the shortest form of every double
    text.assign(digits, end);
}

}   // namespace

template <>
bool XMLTypeProxy<String>::setFromText(std::string_view text) {
    target_.String::assign(text.data(), static_cast<std::uint32_t>(text.size()));   // into its own storage
    return true;
}

template <>
bool XMLTypeProxy<String>::getText(std::string& text) const {
    text.assign(target_.getView());
    return true;
}

template <>
bool XMLTypeProxy<int>::setFromText(std::string_view text) {
    target_ = leadingInteger<int>(text);
    return true;
}

template <>
bool XMLTypeProxy<int>::getText(std::string& text) const {
    appendNumber(text, target_);
    return true;
}

template <>
bool XMLTypeProxy<unsigned int>::setFromText(std::string_view text) {
    target_ = leadingInteger<unsigned int>(text);
    return true;
}

template <>
bool XMLTypeProxy<unsigned int>::getText(std::string& text) const {
    appendNumber(text, target_);
    return true;
}

template <>
bool XMLTypeProxy<unsigned long long>::setFromText(std::string_view text) {
    text = trimmed(text);
    unsigned long long value = 0;
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    target_ = value;
    return true;
}

template <>
bool XMLTypeProxy<unsigned long long>::getText(std::string& text) const {
    appendNumber(text, target_);
    return true;
}

template <>
bool XMLTypeProxy<Guid>::setFromText(std::string_view text) {
    Guid value;
    if (!value.fromString(String(text))) return false;
    target_ = value;
    return true;
}

template <>
bool XMLTypeProxy<Guid>::getText(std::string& text) const {
    text.assign(target_.toString().getView());
    return true;
}

template <>
bool XMLTypeProxy<bool>::setFromText(std::string_view text) {
    text = trimmed(text);
    if (text == "true" || text == "1") {
        target_ = true;
    } else if (text == "false" || text == "0") {
        target_ = false;
    } else {
        return false;
    }
    return true;
}

template <>
bool XMLTypeProxy<bool>::getText(std::string& text) const {
    text.assign(target_ ? "true" : "false");
    return true;
}

template <>
bool XMLTypeProxy<double>::setFromText(std::string_view text) {
    text = trimmed(text);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return false;
    target_ = value;
    return true;
}

template <>
bool XMLTypeProxy<double>::getText(std::string& text) const {
    if (!std::isfinite(target_)) return false;
    appendNumber(text, target_);
    return true;
}

}   // namespace tarnwick

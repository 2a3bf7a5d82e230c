// XMLTypeProxy<T>: a value child of an XML record, over a member of type T, written as element text or as
// an attribute value.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "Foundation/XMLProxy.h"

namespace tarnwick {

class Guid;
class String;

// Borrows the member. Present by default. Text forms:
//   String        the text itself;
//   int           decimal; reading takes the leading number after blanks, and text without one (or out of
//                 range) gives 0, so an int never refuses its text;
//   unsigned int  the same, without a sign;
//   unsigned long long  decimal; reading refuses anything but one unsigned number (blanks around it
//                 allowed) that fits, so a row or count that does not parse fails the read;
//   Guid          the host's text form; a text that is no GUID is refused;
//   bool          "true" or "false"; reading also takes "1" and "0" and refuses anything else;
//   double        the shortest text that reads back to the same value; reading refuses text that is not
//                 one finite number, and a non-finite value has no text;
//   enumerations  the texts of enumTexts(), compared exactly; other texts are refused, and a value
//                 missing from the table has no text.
template <typename T>
class XMLTypeProxy : public XMLProxy {
public:
    XMLTypeProxy(T& target, std::string_view tag, bool isAttribute = false, std::string_view nameSpace = {},
                 bool present = true)
        : XMLProxy(tag, isAttribute, nameSpace, present), target_(target) {}

    bool setFromText(std::string_view text) override;
    bool getText(std::string& text) const override;

    // For an enumeration, each value with its text, in the order reading compares them. Every enumeration
    // that is read or written defines it by specialisation, declared beside the enumeration:
    //     template <> std::span<const XMLTypeProxy<Kind>::EnumText> XMLTypeProxy<Kind>::enumTexts();
    struct EnumText {
        T value;
        std::string_view text;
    };
    static std::span<const EnumText> enumTexts();

private:
    T& target_;
};

template <typename T>
bool XMLTypeProxy<T>::setFromText(std::string_view text) {
    static_assert(std::is_enum_v<T>, "XMLTypeProxy: this type has no text form");
    for (const EnumText& entry : enumTexts()) {
        if (entry.text == text) {
            target_ = entry.value;
            return true;
        }
    }
    return false;
}

template <typename T>
bool XMLTypeProxy<T>::getText(std::string& text) const {
    static_assert(std::is_enum_v<T>, "XMLTypeProxy: this type has no text form");
    for (const EnumText& entry : enumTexts()) {
        if (entry.value == target_) {
            text.assign(entry.text);
            return true;
        }
    }
    return false;
}

template <>
bool XMLTypeProxy<String>::setFromText(std::string_view text);
template <>
bool XMLTypeProxy<String>::getText(std::string& text) const;
template <>
bool XMLTypeProxy<int>::setFromText(std::string_view text);
template <>
bool XMLTypeProxy<int>::getText(std::string& text) const;
template <>
bool XMLTypeProxy<unsigned int>::setFromText(std::string_view text);
template <>
bool XMLTypeProxy<unsigned int>::getText(std::string& text) const;
template <>
bool XMLTypeProxy<unsigned long long>::setFromText(std::string_view text);
template <>
bool XMLTypeProxy<unsigned long long>::getText(std::string& text) const;
template <>
bool XMLTypeProxy<Guid>::setFromText(std::string_view text);
template <>
bool XMLTypeProxy<Guid>::getText(std::string& text) const;
template <>
bool XMLTypeProxy<bool>::setFromText(std::string_view text);
template <>
bool XMLTypeProxy<bool>::getText(std::string& text) const;
template <>
bool XMLTypeProxy<double>::setFromText(std::string_view text);
template <>
bool XMLTypeProxy<double>::getText(std::string& text) const;

}   // namespace tarnwick

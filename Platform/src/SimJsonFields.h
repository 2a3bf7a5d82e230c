// The field readers of the project file's sections that read themselves (IFC data, properties): each
// checks the field's JSON type and range and, when wrong, throws a FormatError that names the key and
// where it sits ("ifc.elements[2]: \"guid\" must be a text").
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <type_traits>

#include <nlohmann/json.hpp>

#include "HostGuid.h"
#include "HostText.h"
#include "SimProject.h"

namespace host::jsonfields {

using Json = nlohmann::ordered_json;

struct FormatError {
    std::string what;
};

// --- Reading helpers -----------------------------------------------------------------------------------
inline void onlyKeys(const Json& object, std::initializer_list<const char*> keys, const std::string& where) {
    if (!object.is_object()) throw FormatError{where + ": not an object"};
    for (const auto& item : object.items()) {
        const std::string& key = item.key();
        if (std::none_of(keys.begin(), keys.end(), [&](const char* k) { return key == k; }))
            throw FormatError{where + ": unknown key " + quotedInput(key)};
    }
}

inline const Json& list(const Json& object, const char* key, const std::string& where) {
    static const Json kEmpty = Json::array();
    const auto found = object.find(key);
    if (found == object.end()) return kEmpty;
    if (!found->is_array()) throw FormatError{where + ": \"" + key + "\" must be a list"};
    return *found;
}

inline std::string at(const std::string& where, const char* key, std::size_t i) {
    return where + "." + key + "[" + std::to_string(i) + "]";
}

template <typename T>
T value(const Json& object, const char* key, const std::string& where, T fallback) {
    const auto found = object.find(key);
    if (found == object.end()) return fallback;
    if constexpr (std::is_same_v<T, bool>) {
        if (!found->is_boolean()) throw FormatError{where + ": \"" + key + "\" must be true or false"};
    } else if constexpr (std::is_integral_v<T>) {
        if (!found->is_number_integer() ||
            (found->is_number_unsigned()
                 ? found->get<std::uint64_t>() > std::uint64_t(std::numeric_limits<T>::max())
                 : found->get<std::int64_t>() < std::int64_t(std::numeric_limits<T>::min()) ||
                       found->get<std::int64_t>() > std::int64_t(std::numeric_limits<T>::max())))
            throw FormatError{where + ": \"" + key + "\" must be a whole number that fits its field"};
    } else if constexpr (std::is_same_v<T, double>) {
        if (!found->is_number()) throw FormatError{where + ": \"" + key + "\" must be a number"};
    } else {
        if (!found->is_string()) throw FormatError{where + ": \"" + key + "\" must be a text"};
    }
    return found->get<T>();
}

inline std::string text(const Json& object, const char* key, const std::string& where) {
    return value<std::string>(object, key, where, "");
}

inline std::string needText(const Json& object, const char* key, const std::string& where) {
    if (!object.contains(key)) throw FormatError{where + ": needs \"" + key + "\""};
    std::string result = text(object, key, where);
    if (result.empty()) throw FormatError{where + ": \"" + key + "\" must not be empty"};
    return result;
}

inline GuidBytes guidOf(const std::string& textForm, const std::string& where) {
    GuidRecord guid;
    if (!guidFromText(textForm, guid) || isNullGuid(toGuidBytes(guid)))
        throw FormatError{where + ": " + quotedInput(textForm) + " is not a guid"};
    return toGuidBytes(guid);
}

inline GuidBytes needGuid(const Json& object, const char* key, const std::string& where) {
    if (!object.contains(key)) throw FormatError{where + ": needs \"" + key + "\""};
    return guidOf(text(object, key, where), where);
}

inline std::string guidText(const GuidBytes& guid) { return guidToText(toGuidRecord(guid)); }

// A name of a code from a table, or the code itself.
template <std::size_t N>
std::int32_t codeOf(const Json& object, const char* key, const std::string& where,
                    const char* const (&names)[N], std::int32_t first, std::int32_t fallback) {
    if (!object.contains(key)) return fallback;
    const std::string name = text(object, key, where);
    for (std::size_t i = 0; i < N; ++i)
        if (name == names[i]) return first + static_cast<std::int32_t>(i);
    std::string known;
    for (const char* n : names) known += std::string(known.empty() ? "" : ", ") + "\"" + n + "\"";
    throw FormatError{where + ": \"" + key + "\" must be one of " + known};
}

template <std::size_t N>
const char* nameOf(std::int32_t code, const char* const (&names)[N], std::int32_t first) {
    const auto i = static_cast<std::size_t>(code - first);
    return code >= first && i < N ? names[i] : "?";
}

}   // namespace host::jsonfields

// The field readers of the project file's own sections: each checks the field's JSON type and range
// and, when wrong, throws a LoadError that names the key and where it sits ("elements[2]: \"type\"
// must be 1 to 255"). For SimProject.cpp and SimElementFile.cpp.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>

#include "ByteText.h"
#include "HostGuid.h"
#include "HostText.h"
#include "SimProject.h"

namespace host::projectfile {

using Json = nlohmann::ordered_json;

struct LoadError {
    std::string what;
};

// --- Module data bytes: kept as text when they are UTF-8 without NULs, else as base64 (ByteText.h) --
inline std::vector<unsigned char> fromBase64(const std::string& text) {
    std::vector<unsigned char> bytes;
    std::string why;
    if (!decodeBase64(text, bytes, why)) throw LoadError{why};
    return bytes;
}

// --- Reading helpers ---------------------------------------------------------------------------
inline void onlyKeys(const Json& object, std::initializer_list<const char*> keys, const std::string& where) {
    for (const auto& [key, value] : object.items()) {
        bool known = false;
        for (const char* k : keys) known = known || key == k;
        if (!known) throw LoadError{where + ": unknown key " + quotedInput(key)};
    }
}

// Whether the value is a whole number in T's range. A number outside the field's range is refused, not cut.
template <typename T>
bool fitsField(const Json& value) {
    return value.is_number_unsigned()
               ? value.get<std::uint64_t>() <= std::uint64_t(std::numeric_limits<T>::max())
           : value.is_number_integer()
               ? value.get<std::int64_t>() >= std::int64_t(std::numeric_limits<T>::min()) &&
                     (std::numeric_limits<T>::max() > std::numeric_limits<std::int64_t>::max() ||
                      value.get<std::int64_t>() <= std::int64_t(std::numeric_limits<T>::max()))
               : false;
}

template <typename T>
struct IsWholeNumberList : std::false_type {};
template <typename T>
struct IsWholeNumberList<std::vector<T>>
    : std::bool_constant<std::is_integral_v<T> && !std::is_same_v<T, bool>> {};

template <typename T>
T required(const Json& object, const char* key, const std::string& where) {
    const auto found = object.find(key);
    if (found == object.end()) throw LoadError{where + ": needs \"" + key + "\""};
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
        if (!fitsField<T>(*found))
            throw LoadError{where + ": \"" + key + "\" must be a whole number that fits its field"};
    } else if constexpr (IsWholeNumberList<T>::value) {
        // The list's own conversion would cut each number, or for a large float be undefined.
        if (found->is_array() &&
            !std::all_of(found->begin(), found->end(), fitsField<typename T::value_type>))
            throw LoadError{where + ": \"" + key + "\" must hold whole numbers that fit their field"};
    }
    try {
        return found->get<T>();
    } catch (const nlohmann::json::exception&) {
        throw LoadError{where + ": \"" + key + "\" has the wrong type"};
    }
}

template <typename T>
T optionalValue(const Json& object, const char* key, const std::string& where, T fallback) {
    return object.contains(key) ? required<T>(object, key, where) : fallback;
}

inline GuidBytes readGuid(const Json& object, const char* key, const std::string& where) {
    const auto text = required<std::string>(object, key, where);
    GuidRecord guid;
    if (!guidFromText(text, guid))
        throw LoadError{where + ": \"" + key + "\" is not a guid: " + quotedInput(text)};
    return toGuidBytes(guid);
}

inline std::string guidText(const GuidBytes& guid) { return guidToText(toGuidRecord(guid)); }

// Bytes as module data keeps them: "text" when plain UTF-8, else "base64".
inline void writeBytes(Json& entry, const std::vector<unsigned char>& bytes) {
    if (plainUtf8(bytes))
        entry["text"] = std::string(bytes.begin(), bytes.end());
    else
        entry["base64"] = toBase64(bytes);
}

inline std::vector<unsigned char> readBase64(const std::string& text, const std::string& where) {
    try {
        return fromBase64(text);
    } catch (const LoadError& e) {
        throw LoadError{where + ": " + e.what};
    }
}

inline std::vector<unsigned char> readBytes(const Json& entry, const std::string& where) {
    if (entry.contains("text") == entry.contains("base64"))
        throw LoadError{where + ": needs either \"text\" or \"base64\""};
    if (entry.contains("text")) {
        const auto text = required<std::string>(entry, "text", where);
        return std::vector<unsigned char>(text.begin(), text.end());
    }
    return readBase64(required<std::string>(entry, "base64", where), where);
}

}   // namespace host::projectfile

#include "SimElementFile.h"

#include <cmath>
#include <cstring>

#include "HostText.h"
#include "SimBytes.h"
#include "SimElementKinds.h"
#include "SimStyledText.h"

namespace host::projectfile {

// --- User data ----------------------------------------------------------------------------------
Json writeUserData(const SimUserData& data) {
    Json entry;
    entry["version"] = data.version;
    entry["platformSign"] = data.platformSign;
    entry["flags"] = data.flags;
    writeBytes(entry, data.bytes);
    return entry;
}

SimUserData readUserData(const Json& entry, const std::string& where) {
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry, {"version", "platformSign", "flags", "text", "base64"}, where);
    SimUserData data;
    const auto version = required<std::int64_t>(entry, "version", where);
    const auto sign = required<std::int64_t>(entry, "platformSign", where);
    if (version < 0 || version > 0xFFFF || sign < 0 || sign > 0xFFFF)
        throw LoadError{where + ": \"version\" and \"platformSign\" must be 0 to 65535"};
    data.version = static_cast<std::uint16_t>(version);
    data.platformSign = static_cast<std::uint16_t>(sign);
    data.flags = required<std::uint32_t>(entry, "flags", where);
    data.bytes = readBytes(entry, where);
    return data;
}

// --- Memos: a part by its name; bytes as base64, the info text as text ----------------------------
namespace {

bool infoAsText(const std::vector<unsigned char>& bytes, std::string& text) {
    if (bytes.size() % 2 != 0) return false;
    std::u16string units(bytes.size() / 2, u'\0');
    if (!bytes.empty()) std::memcpy(units.data(), bytes.data(), bytes.size());   // an empty one has no data
    text = utf16ToUtf8(units);
    return utf8ToUtf16(text) == units;   // lone surrogates would not come back
}

}   // namespace

// Parameters as a list of them; other bytes of the parameter part as base64 under the same name.
Json writeMemo(const SimMemo& memo) {
    Json entry = Json::object();
    if (memo.parameters) entry["parameters"] = writeParameters(*memo.parameters);
    for (const MemoPartInfo& part : memoParts()) {
        const auto found = memo.parts.find(part.offset);
        if (found == memo.parts.end()) continue;
        std::string text;
        if (part.offset == offsetof(ElementMemo, elementInfo) && infoAsText(found->second, text))
            entry["info"] = text;
        else if (part.offset == offsetof(ElementMemo, elementInfo))
            entry["infoBase64"] = toBase64(found->second);
        else
            entry[part.name] = toBase64(found->second);
    }
    return entry;
}

SimMemo readMemo(const Json& entry, const std::string& where) {
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    SimMemo memo;
    for (const auto& [key, value] : entry.items()) {
        const std::string at = where + "." + key;
        if (key == "info" || key == "infoBase64") {
            if (memo.parts.count(offsetof(ElementMemo, elementInfo)))
                throw LoadError{where + ": needs either \"info\" or \"infoBase64\""};
            std::vector<unsigned char> bytes;
            if (key == "info") {
                if (!value.is_string()) throw LoadError{at + ": must be a text"};
                const std::u16string units = utf8ToUtf16(value.get<std::string>());
                bytes.resize(units.size() * 2);
                if (!units.empty()) std::memcpy(bytes.data(), units.data(), bytes.size());
            } else {
                if (!value.is_string()) throw LoadError{at + ": must be base64 text"};
                bytes = readBase64(value.get<std::string>(), at);
            }
            memo.parts[offsetof(ElementMemo, elementInfo)] = std::move(bytes);
            continue;
        }
        const auto& parts = memoParts();
        const auto part = std::find_if(parts.begin(), parts.end(), [&key = key](const MemoPartInfo& p) {
            return key == p.name && p.offset != offsetof(ElementMemo, elementInfo);
        });
        if (part == parts.end()) throw LoadError{where + ": unknown memo part " + quotedInput(key)};
        if (part->bit == kMemoParameters && value.is_array()) {
            memo.parameters = readParameters(value, at);
            continue;
        }
        if (!value.is_string()) throw LoadError{at + ": must be base64 text"};
        std::vector<unsigned char> bytes = readBase64(value.get<std::string>(), at);
        if (std::string why; !checkMemoPart(part->offset, bytes, why)) throw LoadError{at + ": " + why};
        if (part->kind != MemoPartInfo::handle) {
            if (bytes.size() > part->size)
                throw LoadError{at + ": holds " + std::to_string(bytes.size()) + " bytes; the part has " +
                                std::to_string(part->size)};
            bytes.resize(part->size, 0);
            if (part->kind == MemoPartInfo::inlineBlock &&
                std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; }))
                continue;   // an all-zero inline block is no part
        }
        memo.parts[part->offset] = std::move(bytes);
    }
    return memo;
}

// --- Element records: the named fields, then whatever bytes they leave ----------------------------
namespace {

// The named fields (SimElementKinds.h): the head's, then each kind's.
const std::span<const RecordField> kRecordFields = recordFields();

// Calls `use` with a value of the type a number field is stored as; false for guids and points.
template <typename Use>
bool withNumberType(RecordField::Kind kind, Use&& use) {
    switch (kind) {
        case RecordField::int8u:
            use(std::uint8_t{});
            return true;
        case RecordField::int16:
            use(std::int16_t{});
            return true;
        case RecordField::int32:
            use(std::int32_t{});
            return true;
        case RecordField::uint64:
            use(std::uint64_t{});
            return true;
        case RecordField::real:
            use(double{});
            return true;
        case RecordField::guid:
        case RecordField::point:
            return false;
    }
    return false;
}

}   // namespace

// Writes the record's type, guid (withGuid) and named fields into `entry`, and its other bytes as base64.
void writeRecord(Json& entry, std::span<const unsigned char> record, bool withGuid) {
    std::vector<unsigned char> rest(record.begin(), record.end());
    const auto type = readAt<std::int32_t>(record, 0);
    entry["type"] = type;
    std::memset(rest.data(), 0, 4);
    if (withGuid) {
        GuidBytes guid;
        std::memcpy(guid.data(), record.data() + offsetof(ElementHead, guid), 16);
        entry["guid"] = guidText(guid);
        std::memset(rest.data() + offsetof(ElementHead, guid), 0, 16);
    }
    for (const RecordField& field : kRecordFields) {
        if (field.forType != kAnyType && field.forType != type) continue;
        const std::size_t size = fieldSize(field.kind);
        const bool zero = std::all_of(record.begin() + field.offset, record.begin() + field.offset + size,
                                      [](unsigned char b) { return b == 0; });
        // JSON has no infinity or NaN: such a double stays in "bytes".
        if ((field.kind == RecordField::real || field.kind == RecordField::point) &&
            (!std::isfinite(readAt<double>(record, field.offset)) ||
             (field.kind == RecordField::point && !std::isfinite(readAt<double>(record, field.offset + 8)))))
            continue;
        std::memset(rest.data() + field.offset, 0, size);
        if (zero && !field.always) continue;
        if (withNumberType(field.kind,
                           [&]<typename T>(T) { entry[field.name] = readAt<T>(record, field.offset); }))
            continue;
        if (field.kind == RecordField::guid) {
            GuidBytes guid;
            std::memcpy(guid.data(), record.data() + field.offset, 16);
            entry[field.name] = guidText(guid);
        } else {
            entry[field.name] =
                Json::array({readAt<double>(record, field.offset), readAt<double>(record, field.offset + 8)});
        }
    }
    std::size_t used = rest.size();
    while (used > 0 && rest[used - 1] == 0) --used;
    if (used > 0) entry["bytes"] = toBase64(std::vector<unsigned char>(rest.begin(), rest.begin() + used));
}

namespace {

// The keys of a record entry besides the named fields.
bool isRecordKey(const std::string& key, std::int32_t type) {
    if (key == "type" || key == "bytes") return true;
    for (const RecordField& field : kRecordFields)
        if (key == field.name && (field.forType == kAnyType || field.forType == type)) return true;
    return false;
}

}   // namespace

ElementBytes readRecord(const Json& entry, const std::string& where, bool withGuid) {
    ElementBytes record{};
    if (entry.contains("bytes")) {
        const auto bytes = readBase64(required<std::string>(entry, "bytes", where), where + ".bytes");
        if (bytes.size() > record.size())
            throw LoadError{where + ": \"bytes\" holds more than a record (" + std::to_string(bytes.size()) +
                            ")"};
        std::copy(bytes.begin(), bytes.end(), record.begin());
    }
    const auto type = required<std::int32_t>(entry, "type", where);
    if (type <= 0 || type > 255) throw LoadError{where + ": \"type\" must be 1 to 255"};
    writeAt(record, 0, type);
    if (withGuid) {
        const GuidBytes guid = readGuid(entry, "guid", where);
        if (isNullGuid(guid)) throw LoadError{where + ": \"guid\" must not be empty"};
        std::memcpy(record.data() + offsetof(ElementHead, guid), guid.data(), 16);
    }
    for (const RecordField& field : kRecordFields) {
        if (field.forType != kAnyType && field.forType != type) continue;
        if (!entry.contains(field.name)) continue;
        if (withNumberType(field.kind, [&]<typename T>(T) {
                writeAt(record, field.offset, required<T>(entry, field.name, where));
            }))
            continue;
        if (field.kind == RecordField::guid) {
            const GuidBytes guid = readGuid(entry, field.name, where);
            std::memcpy(record.data() + field.offset, guid.data(), 16);
        } else {
            const auto point = required<std::vector<double>>(entry, field.name, where);
            if (point.size() != 2) throw LoadError{where + ": \"" + field.name + "\" must be [x, y]"};
            writeAt(record, field.offset, point[0]);
            writeAt(record, field.offset + 8, point[1]);
        }
    }
    return record;
}

void refuseUnknownKeys(const Json& entry, std::int32_t type, std::initializer_list<const char*> extra,
                       const std::string& where) {
    for (const auto& [key, value] : entry.items()) {
        if (isRecordKey(key, type)) continue;
        if (std::none_of(extra.begin(), extra.end(), [&key = key](const char* k) { return key == k; }))
            throw LoadError{where + ": unknown key " + quotedInput(key)};
    }
}

// --- Parameters: {"name", "type", "value"}; an array's value is a list of rows ----------------------
namespace {

Json writeParameter(const SimParameter& parameter) {
    const ParameterRecord record = parameter.head();
    Json entry;
    entry["name"] = std::string(record.name, strnlen(record.name, sizeof record.name));
    entry["type"] = record.type;
    if (record.index != 0) entry["index"] = record.index;
    if (record.flags != 0) entry["flags"] = record.flags;
    std::size_t length = 0;
    while (length < 256 && record.description[length] != 0) ++length;
    if (length > 0) entry["description"] = utf16ToUtf8(std::u16string_view(record.description, length));
    const bool text = record.type == kParameterString;
    if (record.modifier == kParameterArray) {
        Json rows = Json::array();
        std::size_t at = 0;   // byte position in the array bytes
        const auto& bytes = parameter.arrayBytes;
        for (std::int32_t r = 0; r < record.rows; ++r) {
            Json row = Json::array();
            for (std::int32_t c = 0; c < record.columns; ++c) {
                if (text) {
                    std::u16string value;
                    for (char16_t unit; at + 1 < bytes.size(); at += 2) {
                        std::memcpy(&unit, bytes.data() + at, 2);
                        if (unit == 0) break;
                        value += unit;
                    }
                    at += 2;
                    row.push_back(utf16ToUtf8(value));
                } else {
                    double value = 0;
                    std::memcpy(&value, bytes.data() + at, sizeof value);
                    at += sizeof value;
                    row.push_back(value);
                }
            }
            rows.push_back(std::move(row));
        }
        entry["value"] = std::move(rows);
    } else if (text) {
        std::size_t n = 0;
        while (n < 256 && record.value.text[n] != 0) ++n;
        entry["value"] = utf16ToUtf8(std::u16string_view(record.value.text, n));
    } else {
        entry["value"] = record.value.real;
    }
    return entry;
}

SimParameter readParameter(const Json& entry, const std::string& where) {
    if (!entry.is_object()) throw LoadError{where + ": not an object"};
    onlyKeys(entry, {"name", "type", "index", "flags", "description", "value"}, where);
    ParameterRecord record;
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    // The record's texts end at their first zero, so a U+0000 would cut them (and shift an array's cells).
    const auto noZero = [&](const std::string& text) {
        if (text.find('\0') != std::string::npos) throw LoadError{where + ": a text must not hold U+0000"};
        return text;
    };
    const auto name = noZero(required<std::string>(entry, "name", where));
    if (name.empty() || name.size() >= sizeof record.name)
        throw LoadError{where + ": \"name\" must be 1 to 31 bytes"};
    std::memcpy(record.name, name.data(), name.size());
    record.type = required<std::int32_t>(entry, "type", where);
    if (record.type < 1 || record.type > 16) throw LoadError{where + ": \"type\" must be 1 to 16"};
    record.index = optionalValue<std::int16_t>(entry, "index", where, 0);
    record.flags = optionalValue<std::uint16_t>(entry, "flags", where, 0);
    const std::u16string description =
        utf8ToUtf16(noZero(optionalValue<std::string>(entry, "description", where, "")));
    if (description.size() >= 256) throw LoadError{where + ": \"description\" is too long"};
    std::copy(description.begin(), description.end(), record.description);
    const bool text = record.type == kParameterString;
    SimParameter parameter;
    if (entry.contains("value") && entry["value"].is_array()) {
        record.modifier = kParameterArray;
        const Json& rows = entry["value"];
        record.rows = static_cast<std::int32_t>(rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!rows[r].is_array() || (r > 0 && rows[r].size() != rows[0].size()))
                throw LoadError{where + ": an array \"value\" must be rows of one length"};
            record.columns = static_cast<std::int32_t>(rows[r].size());
            for (const Json& cell : rows[r]) {
                if (text != cell.is_string() || (!text && !cell.is_number()))
                    throw LoadError{where + ": a value does not suit the type"};
                if (text) {
                    const std::u16string value = utf8ToUtf16(noZero(cell.get<std::string>()));
                    const auto* raw = reinterpret_cast<const unsigned char*>(value.c_str());
                    parameter.arrayBytes.insert(parameter.arrayBytes.end(), raw,
                                                raw + (value.size() + 1) * 2);
                } else {
                    const double value = cell.get<double>();
                    const auto* raw = reinterpret_cast<const unsigned char*>(&value);
                    parameter.arrayBytes.insert(parameter.arrayBytes.end(), raw, raw + sizeof value);
                }
            }
        }
    } else if (entry.contains("value")) {
        if (text) {
            const std::u16string value = utf8ToUtf16(noZero(required<std::string>(entry, "value", where)));
            if (value.size() >= 256) throw LoadError{where + ": \"value\" is too long"};
            std::copy(value.begin(), value.end(), record.value.text);
        } else {
            record.value.real = required<double>(entry, "value", where);
        }
    }
    parameter.record.assign(&record);
    return parameter;
}

}   // namespace

std::vector<SimParameter> readParameters(const Json& list, const std::string& where) {
    if (!list.is_array()) throw LoadError{where + ": must be a list"};
    std::vector<SimParameter> parameters;
    parameters.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
        parameters.push_back(readParameter(list[i], where + "[" + std::to_string(i) + "]"));
    return parameters;
}

Json writeParameters(const std::vector<SimParameter>& parameters) {
    Json list = Json::array();
    for (const SimParameter& parameter : parameters) list.push_back(writeParameter(parameter));
    return list;
}

Json writeElement(const SimElement& element) {
    Json entry;
    writeRecord(entry, element.record, /*withGuid=*/true);
    if (element.databaseType != kDatabasePlan) entry["database"] = guidText(element.databaseGuid);
    if (!element.memo.parts.empty() || element.memo.parameters) entry["memo"] = writeMemo(element.memo);
    if (element.userData) entry["userData"] = writeUserData(*element.userData);
    if (!element.infoPrefix.empty()) entry["infoPrefix"] = element.infoPrefix;
    return entry;
}

void StreamedElements::read(std::size_t index, const Json& entry) {
    if (!error.empty()) return;
    const std::string where = "elements[" + std::to_string(index) + "]";
    try {
        if (!entry.is_object()) throw LoadError{where + ": not an object"};
        SimElement element;
        element.record = readRecord(entry, where, /*withGuid=*/true);
        refuseUnknownKeys(entry, element.head().type, {"guid", "database", "memo", "userData", "infoPrefix"},
                          where);
        if (entry.contains("database"))
            databases.emplace_back(index, required<std::string>(entry, "database", where));
        if (entry.contains("memo")) element.memo = readMemo(entry["memo"], where + ".memo");
        if (entry.contains("userData"))
            element.userData = readUserData(entry["userData"], where + ".userData");
        element.infoPrefix = optionalValue<std::string>(entry, "infoPrefix", where, "");
        elements.push_back(std::move(element));
    } catch (const LoadError& e) {
        error = e.what;
    }
}

}   // namespace host::projectfile

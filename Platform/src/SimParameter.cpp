// Library-part parameters between the project's form (arrays as bytes) and the host's records (arrays
// as handles).
#include <cstddef>
#include <cstring>
#include <span>

#include "HostMemory.h"
#include "SimBytes.h"
#include "SimProject.h"
#include "SimStyledText.h"

namespace host {
namespace {

// The number of values an array's bytes hold: doubles, or for a text parameter zero-terminated
// 16-bit texts. nullopt when the bytes do not split into whole values.
std::optional<std::size_t> arrayValueCount(std::int32_t type, const unsigned char* bytes, std::size_t size) {
    if (type != kParameterString) {
        if (size % sizeof(double) != 0) return std::nullopt;
        return size / sizeof(double);
    }
    if (size % sizeof(char16_t) != 0) return std::nullopt;
    std::size_t count = 0;
    bool open = false;   // inside a text that has not met its terminator
    for (std::size_t i = 0; i < size; i += sizeof(char16_t)) {
        char16_t unit;
        std::memcpy(&unit, bytes + i, sizeof unit);
        if (unit == 0) {
            ++count;
            open = false;
        } else {
            open = true;
        }
    }
    if (open) return std::nullopt;
    return count;
}

constexpr std::size_t kModifierAt = offsetof(ParameterRecord, modifier);
constexpr std::size_t kRowsAt = offsetof(ParameterRecord, rows);
constexpr std::size_t kColumnsAt = offsetof(ParameterRecord, columns);
constexpr std::size_t kAfterSizesAt = kColumnsAt + sizeof(std::int32_t);

// Whether the live handle holds records that parametersFromHandle would turn into exactly `kept`:
// the same scalar records (arrays are never taken as the same). Read in place: a record given back
// unchanged is the common case.
bool sameParameters(Handle handle, const std::vector<SimParameter>& kept) {
    const std::size_t size = getHandleSize(handle);
    if (size == 0 || size != kept.size() * sizeof(ParameterRecord)) return false;
    const auto* records = reinterpret_cast<const unsigned char*>(*handle);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const std::span<const unsigned char> given(records + i * sizeof(ParameterRecord),
                                                   sizeof(ParameterRecord));
        const ParameterBytes::Bytes keptBytes = kept[i].record.bytes();
        const std::span<const unsigned char> mine(keptBytes);
        if (readAt<std::int16_t>(given, kModifierAt) != kParameterScalar || !kept[i].arrayBytes.empty())
            return false;
        // A simple value keeps no dimensions, as parametersFromHandle keeps it.
        if (readAt<std::int32_t>(mine, kRowsAt) != 0 || readAt<std::int32_t>(mine, kColumnsAt) != 0 ||
            std::memcmp(given.data(), mine.data(), kRowsAt) != 0 ||
            std::memcmp(given.data() + kAfterSizesAt, mine.data() + kAfterSizesAt,
                        sizeof(ParameterRecord) - kAfterSizesAt) != 0)
            return false;
    }
    return true;
}

}   // namespace

ParameterRecord SimParameter::head() const {
    ParameterRecord result;
    record.copyTo(&result);
    if (result.modifier == kParameterArray) result.value.array = nullptr;
    return result;
}

Result disposeParameterHandle(Handle handle) {
    if (!handle) return kNoError;
    if (!isLiveHandle(handle)) return kErrBadHandle;
    Result result = kNoError;
    const std::size_t count = getHandleSize(handle) / sizeof(ParameterRecord);
    for (std::size_t i = 0; i < count; ++i) {
        const std::span<const unsigned char> record(
            reinterpret_cast<const unsigned char*>(*handle + i * sizeof(ParameterRecord)),
            sizeof(ParameterRecord));
        if (readAt<std::int16_t>(record, kModifierAt) != kParameterArray) continue;
        if (const auto array = readAt<Handle>(record, offsetof(ParameterRecord, value)))
            if (disposeHandle(array) != kNoError) result = kErrBadHandle;
    }
    disposeHandle(handle);
    return result;
}

Result parametersToHandle(const std::vector<SimParameter>& parameters, Handle& handle) {
    handle = nullptr;
    if (parameters.empty()) return kNoError;
    Handle made = newUnfilledHandle(parameters.size() * sizeof(ParameterRecord));   // every byte is set below
    if (!made) return kErrMemFull;
    for (std::size_t i = 0; i < parameters.size(); ++i) {   // each record as kept, its array handle null
        auto* const record = reinterpret_cast<ParameterRecord*>(*made + i * sizeof(ParameterRecord));
        parameters[i].record.copyTo(record);
        if (record->modifier == kParameterArray) record->value.array = nullptr;
    }
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        auto* const record = reinterpret_cast<ParameterRecord*>(*made + i * sizeof(ParameterRecord));
        if (record->modifier != kParameterArray || parameters[i].arrayBytes.empty()) continue;
        const Handle array = newUnfilledHandle(parameters[i].arrayBytes.size());
        if (!array) {
            disposeParameterHandle(made);   // the records so far hold their arrays, the others none
            return kErrMemFull;
        }
        std::memcpy(*array, parameters[i].arrayBytes.data(), parameters[i].arrayBytes.size());
        record->value.array = array;
    }
    handle = made;
    return kNoError;
}

Result parametersFromHandle(Handle handle, std::vector<SimParameter>& parameters) {
    if (!handle) {
        parameters.clear();
        return kNoError;
    }
    if (!isLiveHandle(handle)) return kErrBadHandle;
    const std::size_t size = getHandleSize(handle);
    if (size % sizeof(ParameterRecord) != 0) return kErrBadParameters;
    const std::size_t count = size / sizeof(ParameterRecord);
    const auto recordAt = [&](std::size_t i) {
        return std::span<const unsigned char>(
            reinterpret_cast<const unsigned char*>(*handle) + i * sizeof(ParameterRecord),
            sizeof(ParameterRecord));
    };
    // Every record is checked before anything is taken, so that a failure leaves `parameters` as it was.
    bool arrays = false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::span<const unsigned char> record = recordAt(i);
        const auto modifier = readAt<std::int16_t>(record, kModifierAt);
        if (modifier == kParameterScalar) continue;
        if (modifier != kParameterArray) return kErrBadParameters;
        arrays = true;
        const auto array = readAt<Handle>(record, offsetof(ParameterRecord, value));
        const auto rows = readAt<std::int32_t>(record, kRowsAt);
        const auto columns = readAt<std::int32_t>(record, kColumnsAt);
        if (array && !isLiveHandle(array)) return kErrBadHandle;
        if (rows < 0 || columns < 0) return kErrBadParameters;
        const auto* bytes = array ? reinterpret_cast<const unsigned char*>(*array) : nullptr;
        const auto values = arrayValueCount(readAt<std::int32_t>(record, offsetof(ParameterRecord, type)),
                                            bytes, getHandleSize(array));
        if (!values || *values != static_cast<std::size_t>(rows) * std::size_t(columns))
            return kErrBadParameters;
    }
    // Each record is copied once and mended in its place: a simple value keeps no dimensions (senders
    // may give 1 x 1), an array keeps its values as bytes and no handle. Records of simple values
    // replacing as many others are written over them, without making the list again.
    const auto take = [&](std::size_t i, SimParameter& kept) {
        ParameterBytes::Bytes given;
        std::memcpy(given.data(), recordAt(i).data(), sizeof(ParameterRecord));
        const std::span<unsigned char> record(given);
        if (readAt<std::int16_t>(record, kModifierAt) == kParameterScalar) {
            writeAt<std::int32_t>(record, kRowsAt, 0);
            writeAt<std::int32_t>(record, kColumnsAt, 0);
            kept.record.assign(given.data());
            kept.arrayBytes.clear();
            return;
        }
        const auto array = readAt<Handle>(record, offsetof(ParameterRecord, value));
        const std::size_t arraySize = getHandleSize(array);
        const auto* bytes = array ? reinterpret_cast<const unsigned char*>(*array) : nullptr;
        kept.arrayBytes.assign(bytes, bytes + arraySize);
        std::memset(record.data() + offsetof(ParameterRecord, value), 0, sizeof(ParameterRecord::value));
        kept.record.assign(given.data());
    };
    if (!arrays && parameters.size() == count) {
        for (std::size_t i = 0; i < count; ++i) take(i, parameters[i]);
        return kNoError;
    }
    std::vector<SimParameter> taken(count);
    for (std::size_t i = 0; i < count; ++i) take(i, taken[i]);
    parameters = std::move(taken);
    return kNoError;
}

}   // namespace host

namespace host {

Result parametersToMemo(const SimMemo& parts, MemoMask mask, ElementMemo& memo) {
    if (!(mask & kMemoParameters) || !parts.parameters) return kNoError;
    Handle handle = nullptr;
    if (Result r = parametersToHandle(*parts.parameters, handle)) return r;
    if (!handle) handle = newHandle(0, false);   // present and empty: a handle without records
    if (!handle && !parts.parameters->empty()) return kErrMemFull;
    disposeHandle(memo.parameters);   // a plain part never stands beside the parameters, but be sure
    memo.parameters = handle;
    return kNoError;
}

Result parametersFromMemo(const ElementMemo& memo, MemoMask mask, bool removeMissing, SimMemo& parts) {
    if (!(mask & kMemoParameters)) return kNoError;
    const std::uint16_t offset = offsetof(ElementMemo, parameters);
    if (!memo.parameters) {
        if (removeMissing) {
            parts.parameters.reset();
            parts.parts.erase(offset);
        }
        return kNoError;
    }
    if (!isLiveHandle(memo.parameters)) return kErrBadHandle;
    // Whole records become parameters (those given back unchanged stay as they are); any other bytes
    // are kept as a plain part.
    if (!parts.parameters || !sameParameters(memo.parameters, *parts.parameters)) {
        // Taken over the kept list, which parametersFromHandle leaves as it was when it fails.
        std::vector<SimParameter> fresh;
        std::vector<SimParameter>& parameters = parts.parameters ? *parts.parameters : fresh;
        if (getHandleSize(memo.parameters) == 0 ||
            parametersFromHandle(memo.parameters, parameters) != kNoError) {
            if (Result r = memoPartFromHandle(offset, memo.parameters, parts.parts[offset])) return r;
            parts.parameters.reset();
            return kNoError;
        }
        if (!parts.parameters) parts.parameters = std::move(fresh);
    }
    parts.parts.erase(offset);
    return kNoError;
}

}   // namespace host

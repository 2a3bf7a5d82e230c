// Library-part parameters between the project's form (arrays as bytes) and the host's records (arrays
// as handles).
#include <cstring>

#include "HostMemory.h"
#include "SimProject.h"

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

}   // namespace

ParameterRecord SimParameter::head() const {
    ParameterRecord result;
    std::memcpy(&result, record.data(), sizeof result);
    if (result.modifier == kParameterArray) result.value.array = nullptr;
    return result;
}

Result disposeParameterHandle(Handle handle) {
    if (!handle) return kNoError;
    if (!isLiveHandle(handle)) return kErrBadHandle;
    Result result = kNoError;
    const std::size_t count = getHandleSize(handle) / sizeof(ParameterRecord);
    for (std::size_t i = 0; i < count; ++i) {
        ParameterRecord parameter;
        std::memcpy(&parameter, *handle + i * sizeof(ParameterRecord), sizeof parameter);
        if (parameter.modifier == kParameterArray && parameter.value.array)
            if (disposeHandle(parameter.value.array) != kNoError) result = kErrBadHandle;
    }
    disposeHandle(handle);
    return result;
}

Result parametersToHandle(const std::vector<SimParameter>& parameters, Handle& handle) {
    handle = nullptr;
    if (parameters.empty()) return kNoError;
    Handle made = newHandle(parameters.size() * sizeof(ParameterRecord), true);
    if (!made) return kErrMemFull;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        ParameterRecord parameter = parameters[i].head();
        if (parameter.modifier == kParameterArray && !parameters[i].arrayBytes.empty()) {
            parameter.value.array = newHandle(parameters[i].arrayBytes.size(), false);
            if (!parameter.value.array) {
                disposeParameterHandle(made);   // the records so far hold their arrays
                return kErrMemFull;
            }
            std::memcpy(*parameter.value.array, parameters[i].arrayBytes.data(),
                        parameters[i].arrayBytes.size());
        }
        std::memcpy(*made + i * sizeof(ParameterRecord), &parameter, sizeof parameter);
    }
    handle = made;
    return kNoError;
}

Result parametersFromHandle(Handle handle, std::vector<SimParameter>& parameters) {
    std::vector<SimParameter> taken;
    if (handle) {
        if (!isLiveHandle(handle)) return kErrBadHandle;
        const std::size_t size = getHandleSize(handle);
        if (size % sizeof(ParameterRecord) != 0) return kErrBadParameters;
        for (std::size_t i = 0; i < size / sizeof(ParameterRecord); ++i) {
            ParameterRecord parameter;
            std::memcpy(&parameter, *handle + i * sizeof(ParameterRecord), sizeof parameter);
            SimParameter kept;
            if (parameter.modifier == kParameterArray) {
                const Handle array = parameter.value.array;
                if (array && !isLiveHandle(array)) return kErrBadHandle;
                if (parameter.rows < 0 || parameter.columns < 0) return kErrBadParameters;
                const std::size_t arraySize = getHandleSize(array);
                const auto* bytes = array ? reinterpret_cast<const unsigned char*>(*array) : nullptr;
                const auto count = arrayValueCount(parameter.type, bytes, arraySize);
                if (!count ||
                    *count != static_cast<std::size_t>(parameter.rows) * std::size_t(parameter.columns))
                    return kErrBadParameters;
                if (arraySize > 0) kept.arrayBytes.assign(bytes, bytes + arraySize);
                std::memset(&parameter.value, 0, sizeof parameter.value);
            } else if (parameter.modifier != kParameterScalar) {
                return kErrBadParameters;
            }
            std::memcpy(kept.record.data(), &parameter, sizeof parameter);
            taken.push_back(std::move(kept));
        }
    }
    parameters = std::move(taken);
    return kNoError;
}

}   // namespace host

#include "SimProject.h"

#include <cstring>

namespace host {
namespace {

constexpr std::size_t kRecordSize = sizeof(ParameterRecord);
// A stretch of zeros shorter than this stays inside the bytes kept: a count costs four bytes.
constexpr std::size_t kShortestGap = 4;

void putCount(std::vector<unsigned char>& runs, std::size_t count) {
    runs.push_back(static_cast<unsigned char>(count & 0xFF));
    runs.push_back(static_cast<unsigned char>(count >> 8));
}

std::size_t countAt(const std::vector<unsigned char>& runs, std::size_t at) {
    return std::size_t(runs[at]) | std::size_t(runs[at + 1]) << 8;
}

}   // namespace

void ParameterBytes::assign(const void* record) {
    const auto* bytes = static_cast<const unsigned char*>(record);
    std::vector<unsigned char> runs;
    std::size_t at = 0;
    while (at < kRecordSize) {
        std::size_t start = at;
        while (start < kRecordSize && bytes[start] == 0) ++start;
        if (start == kRecordSize) break;   // the zeros up to the end are implied
        std::size_t end = start;
        while (end < kRecordSize) {
            if (bytes[end] != 0) {
                ++end;
                continue;
            }
            std::size_t gap = end;
            while (gap < kRecordSize && bytes[gap] == 0 && gap - end < kShortestGap) ++gap;
            if (gap == kRecordSize || gap - end >= kShortestGap) break;
            end = gap;
        }
        putCount(runs, start - at);
        putCount(runs, end - start);
        runs.insert(runs.end(), bytes + start, bytes + end);
        at = end;
    }
    runs.shrink_to_fit();
    runs_ = std::move(runs);
}

void ParameterBytes::copyTo(void* record) const {
    auto* bytes = static_cast<unsigned char*>(record);
    std::memset(bytes, 0, kRecordSize);
    std::size_t at = 0;
    for (std::size_t run = 0; run < runs_.size();) {
        at += countAt(runs_, run);
        const std::size_t length = countAt(runs_, run + 2);
        std::memcpy(bytes + at, runs_.data() + run + 4, length);
        at += length;
        run += 4 + length;
    }
}

ParameterBytes::Bytes ParameterBytes::bytes() const {
    Bytes bytes;
    copyTo(bytes.data());
    return bytes;
}

}   // namespace host

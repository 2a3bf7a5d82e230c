// The host's 128-bit GUID: generation, comparison and the text form
// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" (upper-case hex; braces accepted when parsing).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

struct GuidRecord {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
};
static_assert(sizeof(GuidRecord) == 16);

GuidRecord generateGuid();                                    // random (version 4), never all zero
int compareGuids(const GuidRecord& a, const GuidRecord& b);   // three-way, field by field
std::string guidToText(const GuidRecord& guid);
bool guidFromText(std::string_view text, GuidRecord& guid);   // false and all zero on malformed text

}   // namespace host

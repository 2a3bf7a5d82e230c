#include "LibraryParts/FamilyGuid.h"

#include <regex>
#include <string>

#include <FourCC.h>
#include <HostRecords.h>

#include "Environment/HostApi.h"

namespace tarnwick {
namespace {

// A GUID in 8-4-4-4-12 hexadecimal digits, braces optional.
const std::regex& guidPattern() {
    static const std::regex pattern(
        R"re((\{){0,1}[0-9a-fA-F]{8}\-[0-9a-fA-F]{4}\-[0-9a-fA-F]{4}\-[0-9a-fA-F]{4}\-[0-9a-fA-F]{12}(\}){0,1})re",
        std::regex::ECMAScript);
    return pattern;
}

// The host takes the two unique-id texts as zero-terminated UTF-8.
std::uint32_t familyCall(std::uint32_t code, const FamilyGuid& first, const FamilyGuid& second) {
    return hostApi().utilities(code, const_cast<char*>(first.getText()), const_cast<char*>(second.getText()));
}

}   // namespace

FamilyGuid::FamilyGuid(const Guid& guid) : String(guid.toString()) {}

FamilyGuid::~FamilyGuid() = default;

std::unique_ptr<String> FamilyGuid::clone() const { return std::make_unique<FamilyGuid>(*this); }

std::size_t FamilyGuid::findGuids(std::vector<String>& guids) const {
    const std::string_view text = getView();
    std::size_t added = 0;
    using Iterator = std::regex_iterator<std::string_view::const_iterator>;
    // Each search continues after the previous match, so matches never overlap.
    for (Iterator match(text.begin(), text.end(), guidPattern()), end; match != end; ++match, ++added)
        guids.emplace_back(std::string_view(text.data() + match->position(), match->length()));
    return added;
}

Guid FamilyGuid::getMainGuid() const {
    std::vector<String> guids;
    if (findGuids(guids) == 0) return Guid();
    return Guid(guids.front());
}

Guid FamilyGuid::getRevisionGuid() const {
    std::vector<String> guids;
    if (findGuids(guids) < 2) return Guid();
    return Guid(guids.back());
}

bool FamilyGuid::operator==(const FamilyGuid& other) const {
    return familyCall(fourcc("CLPS"), *this, other) == 0;
}

int FamilyGuid::compare(const FamilyGuid& other) const {
    switch (familyCall(fourcc("COMP"), *this, other)) {
        case 0:
            return kCompareSame;
        case host::kErrOlderRevision:
            return kCompareOlder;
        case host::kErrNewerRevision:
            return kCompareNewer;
        default:
            return kCompareUnrelated;
    }
}

}   // namespace tarnwick

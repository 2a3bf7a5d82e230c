#include "Skellowing/ElementSearch.h"

#include <charconv>

#include "Environment/Host.h"
#include "Foundation/FileNamePattern.h"
#include "Interface/ProgressWindow.h"
#include "Interface/WarnAlert.h"
#include "Project/ComponentSource.h"
#include "Project/Library.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

using tarnwick::Host;
using tarnwick::String;

constexpr std::uint32_t kFirstVersion = 8;
constexpr std::uint32_t kLastVersion = 99;
constexpr std::uint32_t kFirstTenthVersion = 40;   // 40 to 99 are written for 4.0 to 9.9
constexpr std::uint32_t kFirstNonVersion = 22;     // 22 and above (after the division) are no versions

}   // namespace

bool gatherLibraryParts(LibraryPartList& parts, tarnwick::ProgressWindow& progress) {
    // 1. The project's library.
    tarnwick::Library* const library = Host::getLibrary();
    if (!library) return false;
    // 2. The phase, counting every loaded part.
    progress.setPhase(Host::getString(strings::kMessages, strings::kGatheringParts), library->getPartCount());
    // 3. Every part; the placeable ones are kept. The walk never saves a part back.
    const tarnwick::Library::Filter everyPart(String(), 0, /*cacheCount=*/false, 0);
    for (auto part = library->begin(/*modify=*/false, everyPart); !part.atEnd(); ++part) {
        if (progress.isCancelled()) break;
        if (part->isPlaceable()) parts.push_back({part->getName(), part->getLink()});
        progress.step();
    }
    // 4. Something to map to, and not cancelled.
    return !parts.empty() && !progress.isCancelled();
}

std::size_t findPartsByName(std::int32_t type, const String& text, const LibraryPartList& parts,
                            LibraryPartList& found) {
    found.clear();
    String pattern = "*";
    (pattern += text.toLower()) += "*";
    const tarnwick::FileNamePattern contains(pattern);
    for (const LibraryPartEntry& part : parts)
        if (part.link.getType() == static_cast<std::uint32_t>(type) && contains.matches(part.name.toLower()))
            found.push_back(part);
    return found.size();
}

std::uint16_t stripLegacyVersion(String& name) {
    // 1. The digits after the last other character.
    const std::string_view text = name.getView();
    const std::size_t last = text.find_last_not_of("0123456789");
    if (last == std::string_view::npos || last + 1 == text.size()) return 0;
    // 2. As a number; a run too long for one is no version.
    std::uint32_t value = 0;
    const std::string_view digits = text.substr(last + 1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return 0;
    // 3. and 4. The range of versions.
    if (value < kFirstVersion || value > kLastVersion) return 0;
    if (value >= kFirstTenthVersion) value /= 10;
    if (value >= kFirstNonVersion) return 0;
    // 5. The name without it, and without the blanks before it.
    name = String(text.substr(0, last + 1));
    name.trim(" \t\r\n", String::kTrimTrailing);
    return static_cast<std::uint16_t>(value);
}

void warnNotAvailable() {
    tarnwick::WarnAlert().show(Host::getString(strings::kQuestions, strings::kNotAvailable));
}

}   // namespace skellow

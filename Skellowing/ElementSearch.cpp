#include "Skellowing/ElementSearch.h"

#include <array>
#include <charconv>
#include <stdexcept>

#include "Elements/ComponentElem.h"
#include "Elements/Door.h"
#include "Elements/IFCMemo.h"
#include "Elements/Lamp.h"
#include "Elements/Object.h"
#include "Elements/Window.h"
#include "Environment/Host.h"
#include "Foundation/FileNamePattern.h"
#include "Foundation/Setting.h"
#include "IFC/IFCAttribute.h"
#include "Interface/ErrorAlert.h"
#include "Interface/NotifyAlert.h"
#include "Interface/ProgressWindow.h"
#include "Interface/WarnAlert.h"
#include "LibraryParts/ParameterList.h"
#include "LibraryParts/StringParameter.h"
#include "Project/ComponentSource.h"
#include "Project/Drawing.h"
#include "Project/ElementLinkList.h"
#include "Project/Library.h"
#include "Skellowing/MessageText.h"
#include "Skellowing/SkellowReport.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

using tarnwick::ComponentElem;
using tarnwick::Host;
using tarnwick::String;

constexpr std::uint32_t kFirstVersion = 8;
constexpr std::uint32_t kLastVersion = 99;
constexpr std::uint32_t kFirstTenthVersion = 40;   // 40 to 99 are written for 4.0 to 9.9
constexpr std::uint32_t kFirstNonVersion = 22;     // 22 and above (after the division) are no versions

constexpr std::int32_t kGatherPhases = 3;
constexpr std::uint32_t kWalkHostFlags = 530;   // the host's filter of visible, editable placed elements

// Searched in this order; DXF/DWG imports are objects only.
constexpr std::array<std::uint16_t, 4> kSearchedTypes = {host::kElementObject, host::kElementDoor,
                                                         host::kElementLamp, host::kElementWindow};
std::size_t searchedTypeCount(ObjectMapType kind) {
    return kind == ObjectMapType::dwg ? 1 : kSearchedTypes.size();
}

SourceMatch matchIf(bool matches) { return matches ? SourceMatch::yes : SourceMatch::no; }

// The element's source name when it belongs to the kind.
SourceMatch sourceName(ObjectMapType kind, ComponentElem& element, String& name) {
    switch (kind) {
        case ObjectMapType::ifc:
            return getIfcSourceName(element, name);
        case ObjectMapType::dwg:
            return getDwgSourceName(element, name);
        case ObjectMapType::gsm:
        case ObjectMapType::missing:
        case ObjectMapType::legacy: {
            // A part the host failed to give could be loaded or missing: the element belongs to no kind.
            const tarnwick::ComponentSource* const source = element.getSource();
            if (element.isSourceUnread()) return SourceMatch::unread;
            const bool loaded = source != nullptr && source->isValid();
            if (loaded == (kind == ObjectMapType::missing)) return SourceMatch::no;
            bool unread = false;
            name = element.getLinkName(&unread);
            if (unread) return SourceMatch::unread;
            if (name.isEmpty()) return SourceMatch::unnamed;
            return matchIf(kind != ObjectMapType::legacy || stripLegacyVersion(name) != 0);
        }
        case ObjectMapType::none:
            break;
    }
    throw std::out_of_range("skellow::findSourceElements");
}

// The parameters decide the imported kinds: parameters the host failed to give leave the element unread.
SourceMatch withParameters(ComponentElem& element, bool matches) {
    if (!matches && !element.parameters().isLoaded()) return SourceMatch::unread;
    return matchIf(matches);
}

// One pass over the searched types; false when the user cancelled.
bool searchPass(ObjectMapType kind, tarnwick::Drawing& drawing, bool selectedOnly, SourceSearch& found,
                tarnwick::ProgressWindow& progress) {
    // The names and parameters are all the grouping reads of an element.
    const tarnwick::Element::UserDataDeferral userData;
    const std::size_t unreadBefore = drawing.getReadFaults().elements;
    std::size_t unreadHere = 0;   // elements read whose own data the host failed to give
    std::size_t unnamed = 0;
    for (std::size_t t = 0; t < searchedTypeCount(kind); ++t) {
        const tarnwick::Drawing::Filter filter(kWalkHostFlags, kSearchedTypes[t], selectedOnly, 1, false);
        // The walk only reads: nothing it visits is written back.
        for (auto element = drawing.begin(/*writeBack=*/false, filter); !element.atEnd(); ++element) {
            if (progress.isCancelled()) return false;
            if (auto* const component = dynamic_cast<ComponentElem*>(&*element)) {
                String name;
                const SourceMatch match = sourceName(kind, *component, name);
                // An element without a source name could not be shown in the table nor mapped from it:
                // only one whose part has no name is told of.
                if (match == SourceMatch::unread) {
                    ++unreadHere;
                } else if (match == SourceMatch::unnamed) {
                    ++unnamed;
                } else if (match == SourceMatch::yes && !name.isEmpty()) {
                    const SourceKey key(static_cast<std::int32_t>(component->getComponentLink().getType()),
                                        name);
                    found.groups[key].push_back(component->getLink());
                }
            }
            progress.step();
        }
    }
    found.unread = static_cast<std::uint32_t>(drawing.getReadFaults().elements - unreadBefore + unreadHere);
    found.unnamed = static_cast<std::uint32_t>(unnamed);
    return !progress.isCancelled();
}

std::size_t countSearched(ObjectMapType kind, tarnwick::Drawing& drawing, bool selectedOnly) {
    std::size_t count = 0;
    for (std::size_t t = 0; t < searchedTypeCount(kind); ++t)
        count += drawing.countElements(tarnwick::Drawing::Filter(kSearchedTypes[t], selectedOnly, 1, false));
    return count;
}

}   // namespace

bool gatherElements(ObjectMapType kind, tarnwick::Drawing& drawing, LibraryPartList& parts,
                    SourceSearch& found) {
    // 1. The progress window of the three phases.
    const auto progress = tarnwick::ProgressWindow::open(
        Host::getString(strings::kTitles, strings::kInitialisingTitle), kGatherPhases);
    if (!progress) return false;
    const auto unreadProject = [] {
        tarnwick::ErrorAlert().show(messageText(strings::kMessages, strings::kProjectUnread));
        return false;
    };
    // 2. The parts that can replace. A part the host failed to give might be the one a row needs.
    tarnwick::Library* const library = Host::getLibrary();
    const std::size_t partsUnread = library ? library->getFailedReads() : 0;
    if (!gatherLibraryParts(parts, *progress)) {
        if (library && library->getFailedReads() != partsUnread) return unreadProject();
        if (!progress->isCancelled())
            tarnwick::WarnAlert().show(messageText(strings::kQuestions, strings::kNoLibraryParts));
        return false;
    }
    // 3. The elements to replace. A list the host failed to give lacks elements nobody can count.
    const bool searched = findSourceElements(kind, drawing, found, *progress);
    if (progress->isCancelled()) return false;
    if (found.listUnread) return unreadProject();
    if (searched) return true;
    // Nothing to map: the elements that could not be read are the whole report.
    SkellowReport report;
    report.countUntaken(found);
    tarnwick::NotifyAlert().show(report.getText());
    return false;
}

bool gatherLibraryParts(LibraryPartList& parts, tarnwick::ProgressWindow& progress) {
    // 1. The project's library.
    tarnwick::Library* const library = Host::getLibrary();
    if (!library) return false;
    // 2. The phase, counting every loaded part.
    progress.setPhase(Host::getString(strings::kMessages, strings::kGatheringParts), library->getPartCount());
    // 3. Every part; the placeable ones are kept. The walk never saves a part back.
    const std::size_t unreadBefore = library->getFailedReads();
    const tarnwick::Library::Filter everyPart(String(), 0, /*cacheCount=*/false, 0);
    for (auto part = library->begin(/*modify=*/false, everyPart); !part.atEnd(); ++part) {
        if (progress.isCancelled()) break;
        if (part->isPlaceable()) parts.push_back({part->getName(), part->getLink()});
        progress.step();
    }
    // 4. Something to map to, every part read, and not cancelled.
    return !parts.empty() && library->getFailedReads() == unreadBefore && !progress.isCancelled();
}

bool findSourceElements(ObjectMapType kind, tarnwick::Drawing& drawing, SourceSearch& found,
                        tarnwick::ProgressWindow& progress) {
    if (kind == ObjectMapType::none) throw std::out_of_range("skellow::findSourceElements");
    // The selection first; the whole drawing only when none of it qualifies, or could.
    struct Pass {
        bool selectedOnly;
        std::int32_t phase;
    };
    for (const Pass pass : {Pass{true, strings::kGettingSelected}, Pass{false, strings::kSearching}}) {
        if (!found.groups.empty() || found.unread != 0 || found.unnamed != 0 || progress.isCancelled()) break;
        progress.setPhase(Host::getString(strings::kMessages, pass.phase),
                          static_cast<std::int32_t>(countSearched(kind, drawing, pass.selectedOnly)));
        const std::size_t listsBefore = drawing.getReadFaults().lists;
        const bool walked = searchPass(kind, drawing, pass.selectedOnly, found, progress);
        found.listUnread = found.listUnread || drawing.getReadFaults().lists != listsBefore;
        if (!walked || found.listUnread) break;
    }
    return !found.groups.empty() && !found.listUnread && !progress.isCancelled();
}

SourceMatch getIfcSourceName(ComponentElem& element, String& name) {
    name = String();
    auto* const ifc = dynamic_cast<tarnwick::IFCMemo*>(&element);
    if (ifc == nullptr) return SourceMatch::no;
    const tarnwick::IFCAttribute* const attribute = ifc->findAttribute("Name");
    if (attribute == nullptr) return ifc->hasUnreadParts() ? SourceMatch::unread : SourceMatch::no;
    name = attribute->getValue().getText();
    if (name.isEmpty()) return SourceMatch::no;
    return withParameters(element, element.getParameters().find("gs_ifc_buildingmaterial1") != nullptr);
}

SourceMatch getDwgSourceName(ComponentElem& element, String& name) {
    bool unread = false;
    name = element.getLinkName(&unread);
    if (unread) return SourceMatch::unread;
    const SourceMatch match =
        withParameters(element, dynamic_cast<const tarnwick::StringParameter*>(
                                    element.getParameters().find("Derived_from_AutoCad")) != nullptr);
    return match == SourceMatch::yes && name.isEmpty() ? SourceMatch::unnamed : match;
}

std::shared_ptr<ComponentElem> makeElementWrapper(const SourceKey& key, const tarnwick::ComponentLink& part) {
    switch (key.first) {
        case host::kLibraryWindow:
            return std::make_shared<tarnwick::Window>(part);
        case host::kLibraryDoor:
            return std::make_shared<tarnwick::Door>(part);
        case host::kLibraryObject:
            return std::make_shared<tarnwick::Object>(part, 0);
        case host::kLibraryLamp:
            return std::make_shared<tarnwick::Lamp>(part, 0);
        default:
            return nullptr;
    }
}

std::shared_ptr<ComponentElem> makeNewElementWrapper(const SourceKey& key, bool withMemo) {
    switch (key.first) {
        case host::kLibraryWindow:
            return std::make_shared<tarnwick::Window>(withMemo);
        case host::kLibraryDoor:
            return std::make_shared<tarnwick::Door>(withMemo);
        case host::kLibraryObject:
            return std::make_shared<tarnwick::Object>(withMemo, 0);
        case host::kLibraryLamp:
            return std::make_shared<tarnwick::Lamp>(withMemo);
        default:
            return nullptr;
    }
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
    tarnwick::WarnAlert().show(messageText(strings::kQuestions, strings::kNotAvailable));
}

}   // namespace skellow

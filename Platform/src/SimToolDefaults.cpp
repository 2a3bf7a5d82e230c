#include "SimToolDefaults.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <span>
#include <string>

#include "HostDialogLibrary.h"
#include "HostDialogs.h"
#include "HostText.h"
#include "SimBytes.h"
#include "SimElementKinds.h"

namespace host {

namespace {

// The library-part type a tool places; kLibraryNone for tools that place no part.
std::int32_t partTypeOf(std::int32_t elementType) {
    switch (elementType) {
        case kElementObject:
            return kLibraryObject;
        case kElementLamp:
            return kLibraryLamp;
        case kElementDoor:
            return kLibraryDoor;
        case kElementWindow:
            return kLibraryWindow;
        case kElementZone:
            return kLibraryZone;
        default:
            return kLibraryNone;
    }
}

std::string numberText(double value) {
    char text[32];
    return std::string(text, std::to_chars(std::begin(text), std::end(text), value).ptr);
}

// The new sizes of a tool that takes another part: the part's own, as the settings dialog shows them.
void putSizes(std::span<unsigned char> record, std::int32_t type, const SimLibraryPart& part) {
    if (type == kElementObject || type == kElementLamp) {
        writeAt(record, kObjectSizeOffset, part.a);
        writeAt(record, kObjectSizeOffset + 8, part.b);
    } else if (type == kElementDoor || type == kElementWindow) {
        writeAt(record, kOpeningWidthOffset, part.a);
        writeAt(record, kOpeningHeightOffset, part.b);
    }
}

// One value the user set in the dialog; false (nothing changed) when it does not suit the parameter.
bool setValue(SimParameter& parameter, const std::variant<double, std::string>& value) {
    ParameterRecord record = parameter.head();
    if (record.modifier != kParameterScalar) return false;
    if (record.type == kParameterString) {
        const std::string* text = std::get_if<std::string>(&value);
        if (!text || text->find('\0') != std::string::npos) return false;
        const std::u16string units = utf8ToUtf16(*text);
        if (units.size() >= std::size(record.value.text)) return false;
        std::fill(std::begin(record.value.text), std::end(record.value.text), u'\0');
        std::copy(units.begin(), units.end(), record.value.text);
    } else {
        const double* number = std::get_if<double>(&value);
        if (!number) return false;
        record.value.real = *number;
    }
    parameter.record.assign(&record);
    return true;
}

}   // namespace

SimToolDefault SimToolDefaults::fresh(std::int32_t type, std::int32_t variation) const {
    SimToolDefault tool;
    ElementHead head{};
    head.type = type;
    head.variation = variation;
    head.storey = project_.view.currentStorey;
    head.layer = 1;
    std::memcpy(tool.record.data(), &head, sizeof head);
    return tool;
}

Result SimToolDefaults::get(ElementRecord& element, ElementMemo* memo) const {
    if (element.head.type <= 0) return kErrBadParameters;
    const std::int32_t type = element.head.type;
    const std::int32_t variation = element.head.variation;
    const auto found = project_.state.defaults.find({type, variation});
    const bool known = found != project_.state.defaults.end();
    const SimToolDefault empty = known ? SimToolDefault() : fresh(type, variation);
    const SimToolDefault& tool = known ? found->second : empty;   // read in place: no copy of its memo
    std::memcpy(&element, tool.record.data(), sizeof element);
    element.head.type = type;
    element.head.variation = variation;
    element.head.guid = GuidRecord{};
    if (!memo) return kNoError;
    std::memset(static_cast<void*>(memo), 0, sizeof *memo);
    return known ? memoToRecord(tool.memo, kMemoFullMask, *memo) : kNoError;
}

Result SimToolDefaults::change(ElementRecord& element, const ElementRecord& mask, const ElementMemo* memo,
                               MemoMask memoMask, bool withDelete) {
    const std::int32_t type = element.head.type;
    const std::int32_t variation = element.head.variation;
    if (type <= 0) return kErrBadParameters;
    auto& defaults = project_.state.defaults;
    const auto found = defaults.find({type, variation});
    SimToolDefault tool = found != defaults.end() ? found->second : fresh(type, variation);
    const auto* in = reinterpret_cast<const unsigned char*>(&element);
    const auto* bits = reinterpret_cast<const unsigned char*>(&mask);
    for (std::size_t i = 0; i < tool.record.size(); ++i)
        tool.record[i] = static_cast<unsigned char>((tool.record[i] & ~bits[i]) | (in[i] & bits[i]));
    ElementHead head;
    std::memcpy(&head, tool.record.data(), sizeof head);
    head.type = type;
    head.variation = variation;
    head.guid = GuidRecord{};
    head.ownerId = 0;
    std::memcpy(tool.record.data(), &head, sizeof head);
    if (memo)
        if (Result r = memoFromRecord(*memo, memoMask == 0 ? kMemoFullMask : memoMask, withDelete, tool.memo))
            return r;
    std::memcpy(&element, tool.record.data(), sizeof element);
    defaults.insert_or_assign({type, variation}, std::move(tool));
    return kNoError;
}

Result SimToolDefaults::settingsDialog(std::int32_t type, std::int32_t variation) {
    if (type <= 0) return kErrBadParameters;   // no tool: nothing opens, nothing is written
    const std::optional<SettingsDialogAnswer> answer = takeSettingsDialogAnswer();
    writeDialogTranscript("Tool settings dialog of element type " + std::to_string(type) + " opens");
    const auto closes = [](const char* how) {
        writeDialogTranscript(std::string("tool settings dialog closes (") + how + ")");
    };
    if (!answer || (answer->accept && answer->part.empty() && answer->values.empty())) {
        closes("OK");   // nothing scripted: OK with nothing changed
        return kNoError;
    }
    if (!answer->accept) {
        closes("Cancel");
        return kErrCancel;
    }
    auto& defaults = project_.state.defaults;
    const auto found = defaults.find({type, variation});
    SimToolDefault tool = found != defaults.end() ? found->second : fresh(type, variation);
    if (!answer->part.empty()) {
        writeDialogTranscript("  > part " + quotedInput(answer->part));
        const std::int32_t partType = partTypeOf(type);
        const auto& parts = project_.state.libraryParts;
        const auto part = std::find_if(parts.begin(), parts.end(), [&](const SimLibraryPart& p) {
            return p.type == partType && !p.deleted && p.placeable && p.name == answer->part;
        });
        if (part == parts.end()) {
            noteScriptError("settingsDialog: the tool has no part " + quotedInput(answer->part) +
                            " to choose");
        } else {
            writeAt(tool.record, SimElementKinds::libraryIndexOffset(type),
                    static_cast<std::int32_t>(part - parts.begin() + 1));
            putSizes(tool.record, type, *part);
            tool.memo.parameters = part->parameters;
        }
    }
    for (const auto& [name, value] : answer->values) {
        writeDialogTranscript("  > set " + shortenedInput(name) + " " +
                              (std::holds_alternative<double>(value)
                                   ? numberText(std::get<double>(value))
                                   : quotedInput(std::get<std::string>(value))));
        const std::string key = toLowerText(name);
        auto* parameters = tool.memo.parameters ? &*tool.memo.parameters : nullptr;
        const auto parameter =
            parameters
                ? std::find_if(parameters->begin(), parameters->end(),
                               [&](const SimParameter& p) { return toLowerText(p.head().name) == key; })
                : std::vector<SimParameter>::iterator{};
        if (!parameters || parameter == parameters->end())
            noteScriptError("settingsDialog: the tool's part has no parameter " + quotedInput(name));
        else if (!setValue(*parameter, value))
            noteScriptError("settingsDialog: " + quotedInput(name) + " does not take that value");
    }
    if (scriptRunStopped()) {   // an answer that could not be played: nothing of it is kept
        closes("Cancel");
        return kErrCancel;
    }
    defaults.insert_or_assign({type, variation}, std::move(tool));
    closes("OK");
    return kNoError;
}

}   // namespace host

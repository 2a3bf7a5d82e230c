#include "LibraryParts/ParametricSource.h"

#include <cstring>
#include <string_view>

#include <FourCC.h>
#include <HostImages.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Interface/Image.h"
#include "LibraryParts/LengthParameter.h"
#include "Project/ElementMemoStore.h"
#include "Project/Library.h"

namespace tarnwick {
namespace {

// The value of a size parameter when the part has it as a length; else the fallback.
double sizeOr(const ParameterList& parameters, const char* name, double fallback) {
    const auto* length = dynamic_cast<const LengthParameter*>(parameters.find(name));
    return length != nullptr && length->holdsCell(0, 0) ? length->get(0, 0) : fallback;
}

// Where "VALUES" next stands in the script, in any case; npos when nowhere.
std::size_t findValues(std::string_view script, std::size_t from) {
    constexpr std::string_view kValues = "VALUES";
    for (std::size_t at = from; at + kValues.size() <= script.size(); ++at) {
        std::size_t i = 0;
        while (i < kValues.size() && (script[at + i] & ~0x20) == kValues[i]) ++i;   // ASCII letters only
        if (i == kValues.size()) return at;
    }
    return std::string_view::npos;
}

constexpr std::string_view kQuotes = "\"'";
constexpr std::string_view kLineEnds = "\r\n";
constexpr std::string_view kBlanks = " \t";

// The value lists of a parameter script: a header of the parameter names of its VALUES statements and a
// record of quoted values for each, in the order of the statements. A statement's values follow its
// quoted name: quoted texts separated by commas, going on to the next line after a comma that ends a
// line. They end at a value not followed by a comma, at an unquoted value or a quote left open, and at
// the next VALUES. Byte positions throughout: the keyword and the quotes are ASCII.
std::unique_ptr<TextDatabase> readValueLists(std::string_view script) {
    auto header = std::make_unique<TextRecord>();
    auto lists = std::make_unique<TextDatabase>();
    for (std::size_t p = findValues(script, 0); p != std::string_view::npos;) {
        const std::size_t open = script.find_first_of(kQuotes, p + 6);
        if (open == std::string_view::npos) break;
        const std::size_t close = script.find(script[open], open + 1);
        if (close == std::string_view::npos) break;
        if (close == open + 1) {   // an empty name names nothing
            p = findValues(script, open + 1);
            continue;
        }
        header->push_back(std::make_unique<TextField>(String(script.substr(open + 1, close - open - 1))));
        auto record = std::make_unique<TextRecord>();
        std::size_t line = close + 1;   // the first line starts just after the name
        for (bool more = true; more;) {
            std::size_t lineEnd = script.find_first_of(kLineEnds, line);
            if (lineEnd == std::string_view::npos) lineEnd = script.size();
            std::string_view rest = script.substr(line, lineEnd - line);
            const std::size_t next = findValues(rest, 0);
            const bool nextStatement = next != std::string_view::npos;
            if (nextStatement) rest = rest.substr(0, next);
            bool ended = false;
            for (std::size_t i = rest.find_first_not_of(kBlanks); i != std::string_view::npos && !ended;
                 i = rest.find_first_not_of(kBlanks, i)) {
                const std::size_t end = kQuotes.find(rest[i]) != std::string_view::npos
                                            ? rest.find(rest[i], i + 1)
                                            : std::string_view::npos;
                if (end == std::string_view::npos) {   // unquoted, or a quote left open
                    ended = true;
                    break;
                }
                record->push_back(std::make_unique<TextField>(String(rest.substr(i + 1, end - i - 1))));
                i = rest.find_first_not_of(kBlanks, end + 1);
                if (i == std::string_view::npos) {   // no comma after it on its line
                    ended = true;
                } else if (rest[i] != ',') {
                    ended = true;
                } else {
                    ++i;
                    if (rest.find_first_not_of(kBlanks, i) == std::string_view::npos)
                        break;   // on to the next line
                }
            }
            more = !ended && !nextStatement && lineEnd < script.size();
            if (more) line = lineEnd + 1;
        }
        lists->push_back(std::move(record));
        p = findValues(script, line);   // from the start of the last line examined
    }
    lists->setHeader(std::move(header));
    return lists;
}

}   // namespace

ParametricSource::ParametricSource(const host::LibraryPartRecord& record, const ComponentLink& link)
    : ComponentSource(record, link) {}

ParametricSource::ParametricSource(const ComponentLink& link) : ComponentSource(link) {}

ParametricSource::ParametricSource(const ParametricSource& other)
    : ComponentSource(other),
      ComponentParameterMemo(other),
      ComponentResourceMemo(other),
      details_(other.details_ ? std::make_unique<host::LibraryPartDetails>(*other.details_) : nullptr),
      detailsUnread_(other.detailsUnread_) {}

ParametricSource::~ParametricSource() = default;

host::LibraryPartDetails& ParametricSource::getDetails() {
    if (!details_) {
        details_ = std::make_unique<host::LibraryPartDetails>();
        if (isValid() &&
            hostApi().call<host::HostSlot::getLibraryPartDetails>(getIndex(), details_.get()) != 0) {
            *details_ = host::LibraryPartDetails{};   // what a failed call left is not the part's
            detailsUnread_ = true;
        }
    }
    return *details_;
}

// --- Scripts and texts ----------------------------------------------------------------------------
String ParametricSource::getText(std::uint32_t type) {
    const host::Handle handle = getSectionByType(type);
    const std::size_t size = getHandleSize(handle);
    if (size == 0) return String();
    return String(std::string_view(*handle, strnlen(*handle, size)));   // up to the terminator
}

void ParametricSource::setText(std::uint32_t type, const String& text) {
    host::Handle handle = nullptr;
    stringToHandle(text, handle);
    setSection(type, handle);
}

String ParametricSource::getMasterScript() { return getText(fourcc("1DSC")); }
String ParametricSource::get2DScript() { return getText(fourcc("2DSC")); }
String ParametricSource::get3DScript() { return getText(fourcc("3DSC")); }
String ParametricSource::getComment() { return getText(fourcc("CTXT")); }
String ParametricSource::getParameterScript() { return getText(fourcc("VLSC")); }
String ParametricSource::getInterfaceScript() { return getText(fourcc("UISC")); }
void ParametricSource::setMasterScript(const String& text) { setText(fourcc("1DSC"), text); }
void ParametricSource::set2DScript(const String& text) { setText(fourcc("2DSC"), text); }
void ParametricSource::set3DScript(const String& text) { setText(fourcc("3DSC"), text); }
void ParametricSource::setComment(const String& text) { setText(fourcc("CTXT"), text); }
void ParametricSource::setInterfaceScript(const String& text) { setText(fourcc("UISC"), text); }

void ParametricSource::setParameterScript(const String& text) {
    setText(fourcc("VLSC"), text);
    valueLists_.reset();   // the lists were read from the script that was
}

// --- Pictures -------------------------------------------------------------------------------------
std::unique_ptr<Image> ParametricSource::getPreview() {
    const host::Handle preview = getSectionByType(fourcc("GIFF"));
    if (!preview) return nullptr;
    host::ImageConversionRecord record{};
    record.input = preview;
    record.mime = "image/png";
    record.flag = 1;
    record.mode = 7;
    if (hostApi().utilities(fourcc("CMPI"), &record) != host::kNoError) {
        disposeHandle(record.output);
        return nullptr;
    }
    if (!record.output) return nullptr;
    MemoryBlock converted(record.output);   // taken over: disposed with the block
    return std::make_unique<Image>(converted, /*takeOver=*/true);
}

std::unique_ptr<Image> ParametricSource::getPicture() {
    const host::Handle picture = getSectionByType(fourcc("PICT"));
    return picture ? std::make_unique<Image>(picture) : nullptr;
}

void ParametricSource::setPreview(const Image& image) {
    const MemoryBlock& encoded = image.getEncodedDataAs(host::FTMSearchForMime("image/jpeg"));
    setSection(fourcc("GIFF"), cloneHandle(encoded.getHandle()));   // throws when memory fails
}

const TextRecord* ParametricSource::getValueLists(const String& name) {
    if (!valueLists_) valueLists_ = readValueLists(getParameterScript().getView());
    const std::int32_t column = valueLists_->findColumn(name, /*caseSensitive=*/false);
    if (column < 0) return nullptr;
    return valueLists_->recordAt(static_cast<std::size_t>(column));
}

// --- Parameters ------------------------------------------------------------------------------------
bool ParametricSource::load(std::uint64_t, std::unique_ptr<MemoStore>& store) {
    if (!store) {
        if (getIndex() == 0) {   // a new part has no parameters yet
            setLoaded(true);
            return true;
        }
        auto made = std::make_unique<ElementMemoStore>();
        if (!fetchDefaultSizes(*made, /*onlyOnce=*/false)) {
            // Defaults the host cannot give leave the memo unloaded: the part is neither written back
            // empty nor taken as having no parameters.
            return false;
        }
        store = std::move(made);
    }
    if (isLoaded()) return true;
    return readParameters(*store);
}

double ParametricSource::getSectionWidth() { return sizeOr(getParameters(), "A", getDefaultWidth()); }
double ParametricSource::getSectionDepth() { return sizeOr(getParameters(), "B", getDefaultDepth()); }

void ParametricSource::setWidth(double width) {
    setDefaultWidth(width);
    ComponentParameterMemo::setWidth(width);
}

void ParametricSource::setDepth(double depth) {
    setDefaultDepth(depth);
    ComponentParameterMemo::setDepth(depth);
}

void ParametricSource::fillParamOwner(host::ParameterOwnerRecord& record, bool& commit) {
    commit = true;
    record.libraryIndex = getIndex();
}

bool ParametricSource::writeParameterHandle(host::Handle& handle) {
    handle = nullptr;
    const tarnwick::ParameterList& parameters = getParameters();   // loads first
    if (getIndex() != 0 && !isLoaded()) return false;
    return parameters.writeHandle(handle);
}

}   // namespace tarnwick

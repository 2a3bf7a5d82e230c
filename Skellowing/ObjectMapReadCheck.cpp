#include "Skellowing/ObjectMapReadCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include <HostText.h>

#include "Foundation/DataBufferIn.h"
#include "Foundation/XMLReader.h"
#include "Skellowing/ObjectMapTexts.h"
#include "Skellowing/SkellowingStrings.h"
#include "Skellowing/XMLParameter.h"

namespace skellow {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::String;

namespace {

// --- What a read left out ----------------------------------------------------------------------------
String whyLeftOut(const XMLParameter& parameter) {
    switch (parameter.check()) {
        case XMLParameter::Fault::noName:
            return text(strings::kTableFile, strings::kNoParameterName);
        case XMLParameter::Fault::badColumns:
            return text(strings::kTableFile, strings::kBadColumnCount);
        case XMLParameter::Fault::noValue:
            return text(strings::kTableFile, strings::kNoParameterValue);
        case XMLParameter::Fault::rowsUnfilled:
            return filled(strings::kRowsUnfilled,
                          {String(static_cast<std::uint64_t>(parameter.getValueCount())),
                           String(parameter.getColumnCount())});
        case XMLParameter::Fault::unknownType:
        case XMLParameter::Fault::none:
            break;
    }
    return filled(strings::kUnknownParameterType, {shownName(parameter.getTypeText())});
}

// Bytes the reader takes as UTF-8 but that are not: each becomes another character. A byte-order mark
// of UTF-16 or a declared single-byte encoding makes every byte a character of its own.
bool changesBytes(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return false;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (bytes.starts_with("<?xml")) {
        const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
        if (const std::size_t at = declaration.find("encoding"); at != std::string_view::npos) {
            std::string value(declaration.substr(at));
            const std::size_t open = value.find_first_of("\"'");
            const std::size_t close = open == std::string::npos ? open : value.find(value[open], open + 1);
            if (close != std::string::npos) {
                value = host::toLowerText(value.substr(open + 1, close - open - 1));
                if (value != "utf-8" && value != "utf8" && value != "us-ascii" && value != "ascii")
                    return false;
            }
        }
    }
    if (std::none_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; })) return false;
    return host::utf16ToUtf8(host::utf8ToUtf16(bytes)) != bytes;
}

String leftOutLine(const tarnwick::XMLLeftOut& item) {
    using Kind = tarnwick::XMLLeftOut::Kind;
    std::int32_t item_ = strings::kUnknownElement;
    switch (item.kind) {
        case Kind::element:
            break;
        case Kind::attribute:
            item_ = strings::kUnknownAttribute;
            break;
        case Kind::repeatedAttribute:
            item_ = strings::kRepeatedAttribute;
            break;
        case Kind::repeatedElement:
            item_ = strings::kRepeatedElement;
            break;
    }
    // The element is one the table knows: only the name left out can be of any length.
    return filled(item_, {count(item.line), shownName(String(std::string_view(item.name))),
                          String(std::string_view(item.element))});
}

// One line for each thing the read left out or changed. A configuration whose name and kind an earlier
// one has is dropped here: every lookup finds the first, so it could only mislead.
std::vector<String> whatWasLeftOut(ObjectMap& read, std::string_view bytes,
                                   const std::vector<tarnwick::XMLLeftOut>& passedOver) {
    std::vector<String> lines;
    for (const tarnwick::XMLLeftOut& item : passedOver) lines.push_back(leftOutLine(item));
    for (std::size_t i = 0; i < read.size(); ++i) {
        const SpecificationList& list = read.at(i);
        for (std::size_t s = 0; s < list.size(); ++s)
            for (const XMLParameter& parameter : list.at(s).getSkippedParameters())
                lines.push_back(filled(strings::kParameterLeftOut,
                                       {list.at(s).getOriginalName(), list.getName(),
                                        shownName(parameter.getName()), whyLeftOut(parameter)}));
    }
    std::set<std::pair<ObjectMapType, std::string>> seen;
    for (std::size_t i = 0; i < read.size();) {
        const SpecificationList& list = read.at(i);
        if (!seen.emplace(list.getKind(), std::string(list.getName().getView())).second) {
            lines.push_back(
                filled(strings::kDuplicateConfiguration, {list.getName(), kindText(list.getKind())}));
            read.removeItem(i);
        } else {
            ++i;
        }
    }
    if (changesBytes(bytes)) lines.push_back(text(strings::kTableFile, strings::kNotUtf8));
    return lines;
}

}   // namespace

void readTableBytes(const Directory& folder, const String& name, TableRead& read) {
    DataFile file(folder, name, DataFile::kRead);
    const auto unread = [&] {
        read.systemError = errno != 0 ? errno : EIO;
        read.detail = unreadFault(name);
    };
    if (!file.open()) return unread();
    const std::optional<std::uint64_t> size = file.getSize();
    if (!size) return unread();
    // A file that grew while it was read is as large as what was read of it.
    const auto refuse = [&](std::uint64_t bytes) {
        read.bytes.clear();
        read.tooLarge = bytes;
        read.detail = filled(strings::kTableTooLarge, {name, count(bytes), count(kMostTableBytes >> 20)});
    };
    if (*size > kMostTableBytes) return refuse(*size);
    read.whole = file.readToEnd(read.bytes);
    if (!read.whole) return unread();
    if (read.bytes.size() > kMostTableBytes) {
        read.whole = false;
        refuse(read.bytes.size());
    }
}

void readTableFile(const Directory& folder, const String& name, TableRead& read) {
    readTableBytes(folder, name, read);
    if (read.whole) parseTable(name, read);
}

void parseTable(const String& name, TableRead& read) {
    tarnwick::DataBufferIn in{std::string_view(read.bytes)};
    tarnwick::XMLReader reader(in);
    if (!reader.read(read.table))
        read.detail = readFault(name, reader);
    else
        read.leftOut = whatWasLeftOut(read.table, read.bytes, reader.leftOut());
}

}   // namespace skellow

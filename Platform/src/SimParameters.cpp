#include "SimParameters.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "FourCC.h"
#include "HostText.h"

namespace host {
namespace {

std::string_view fieldView(const char* field, std::size_t size) { return {field, strnlen(field, size)}; }

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The texts of a string array's bytes, one after another.
std::vector<std::u16string> textsOf(const std::vector<unsigned char>& bytes) {
    std::vector<std::u16string> texts(1);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += sizeof(char16_t)) {
        char16_t unit;
        std::memcpy(&unit, bytes.data() + at, sizeof unit);
        if (unit == 0)
            texts.emplace_back();
        else
            texts.back() += unit;
    }
    texts.pop_back();   // what follows the last terminator
    return texts;
}

std::vector<unsigned char> bytesOf(const std::vector<std::u16string>& texts) {
    std::vector<unsigned char> bytes;
    for (const std::u16string& text : texts) {
        const auto* raw = reinterpret_cast<const unsigned char*>(text.c_str());
        bytes.insert(bytes.end(), raw, raw + (text.size() + 1) * sizeof(char16_t));
    }
    return bytes;
}

// A copy of a zero-terminated text in a new block; null for null. kErrMemFull leaves `copy` null.
Result copyBlock(Ptr source, Ptr& copy) {
    copy = nullptr;
    if (!source) return kNoError;
    const std::size_t size = strnlen(source, getPtrSize(source)) + 1;
    copy = newPtr(size, /*clear=*/true);
    if (!copy) return kErrMemFull;
    std::memcpy(copy, source, size - 1);
    return kNoError;
}

CommandParameterRecord recordAt(Handle list, std::size_t i) {
    CommandParameterRecord record;
    std::memcpy(&record, *list + i * sizeof record, sizeof record);
    return record;
}

constexpr std::uint32_t kCodes[] = {fourcc("OPAR"), fourcc("CHGP"), fourcc("GPAR"),
                                    fourcc("CPAR"), fourcc("NCLP"), fourcc("GCLP"),
                                    fourcc("ICLP"), fourcc("ACLP"), fourcc("FCLP")};

}   // namespace

bool SimParameters::isParameterCode(std::uint32_t code) {
    return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes);
}

Result SimParameters::answer(std::uint32_t code, void* p1, void* p2) {
    if (code == fourcc("CPAR")) return close();
    if (!p1) return kErrBadParameters;
    if (code == fourcc("OPAR")) return open(*static_cast<const ParameterOwnerRecord*>(p1));
    if (code == fourcc("CHGP")) return change(*static_cast<const ParameterChangeRecord*>(p1));
    if (code == fourcc("GPAR")) return result(*static_cast<ParameterResultRecord*>(p1));
    if (code == fourcc("ICLP")) return newList(*static_cast<Handle*>(p1));
    if (code == fourcc("FCLP")) return freeList(*static_cast<Handle*>(p1));
    if (!p2) return kErrBadParameters;
    const auto list = static_cast<Handle>(p1);
    if (code == fourcc("NCLP")) return count(list, *static_cast<std::int32_t*>(p2));
    if (code == fourcc("GCLP")) return get(list, *static_cast<CommandParameterRecord*>(p2));
    if (code == fourcc("ACLP")) return append(list, *static_cast<const CommandParameterRecord*>(p2));
    return kErrBadParameters;
}

// --- Editing sessions ------------------------------------------------------------------------------
Result SimParameters::open(const ParameterOwnerRecord& owner) {
    SimParameterWork session;   // replaces one left open (its close failed)
    const GuidBytes guid = toGuidBytes(owner.guid);
    if (!isNullGuid(guid)) {
        const SimElement* element = std::as_const(project_).findElement(guid);
        if (!element) return kErrBadIndex;
        if (element->memo.parameters) session.parameters = *element->memo.parameters;
    } else {
        const SimLibraryPart* part = project_.findLibraryPart(owner.libraryIndex);
        if (!part || part->deleted) return kErrBadIndex;
        session.parameters = part->parameters;
        session.a = part->a;
        session.b = part->b;
    }
    session.open = true;
    work_ = std::move(session);
    return kNoError;
}

Result SimParameters::change(const ParameterChangeRecord& change) {
    if (!work_.open) return kErrRefusedCommand;
    const std::string_view name = fieldView(change.name, sizeof change.name);
    const auto found =
        std::find_if(work_.parameters.begin(), work_.parameters.end(), [&](const SimParameter& p) {
            const ParameterRecord record = p.head();
            return name.empty() ? record.index == change.index
                                : sameNameIgnoringCase(fieldView(record.name, sizeof record.name), name);
        });
    if (found == work_.parameters.end()) return kErrBadName;
    ParameterRecord record = found->head();
    const bool text = record.type == kParameterString;
    if (record.type == 14 || record.type == 15)
        return kErrBadParameters;   // separators and titles hold nothing
    if (text && !change.text) return kErrBadParameters;
    const std::u16string value =
        text ? std::u16string(change.text, std::find(change.text, change.text + kParameterTextChars, u'\0'))
             : std::u16string();
    if (record.modifier == kParameterScalar) {
        if (text) {
            std::fill(std::begin(record.value.text), std::end(record.value.text), u'\0');
            std::copy_n(value.begin(), std::min<std::size_t>(value.size(), kParameterTextChars - 1),
                        record.value.text);
        } else {
            record.value.real = change.real;
        }
        found->record.assign(&record);
        return kNoError;
    }
    if (change.row < 1 || change.row > record.rows || change.column < 1 || change.column > record.columns)
        return kErrBadIndex;
    const std::size_t cell =
        std::size_t(change.row - 1) * std::size_t(record.columns) + std::size_t(change.column - 1);
    if (text) {
        std::vector<std::u16string> texts = textsOf(found->arrayBytes);
        if (cell >= texts.size()) return kErrBadIndex;
        texts[cell] = value;
        found->arrayBytes = bytesOf(texts);
    } else {
        if ((cell + 1) * sizeof(double) > found->arrayBytes.size()) return kErrBadIndex;
        std::memcpy(found->arrayBytes.data() + cell * sizeof(double), &change.real, sizeof change.real);
    }
    return kNoError;
}

Result SimParameters::result(ParameterResultRecord& result) const {
    if (!work_.open) return kErrRefusedCommand;
    std::memset(&result, 0, sizeof result);
    result.a = work_.a;
    result.b = work_.b;
    return parametersToHandle(work_.parameters, result.parameters);
}

Result SimParameters::close() {
    if (!work_.open) return kErrRefusedCommand;
    work_ = SimParameterWork{};
    return kNoError;
}

// --- Command parameter lists -----------------------------------------------------------------------
Result SimParameters::newList(Handle& list) {
    list = newHandle(0, /*clear=*/true);
    return list ? kNoError : kErrMemFull;
}

Result SimParameters::count(Handle list, std::int32_t& count) {
    if (!isLiveHandle(list)) return kErrBadHandle;
    count = static_cast<std::int32_t>(getHandleSize(list) / sizeof(CommandParameterRecord));
    return kNoError;
}

Result SimParameters::get(Handle list, CommandParameterRecord& record) {
    std::int32_t total = 0;
    if (Result r = count(list, total)) return r;
    if (record.index < 1 || record.index > total) return kErrBadIndex;
    CommandParameterRecord copy = recordAt(list, std::size_t(record.index - 1));
    Ptr name = nullptr;
    Ptr text = nullptr;
    if (copyBlock(copy.name, name) != kNoError || copyBlock(copy.text, text) != kNoError) {
        disposePtr(name);
        return kErrMemFull;
    }
    copy.name = name;
    copy.text = text;
    record = copy;
    return kNoError;
}

Result SimParameters::append(Handle list, const CommandParameterRecord& record) {
    if (!isLiveHandle(list)) return kErrBadHandle;
    if (record.kind < 1 || record.kind > 3 || !record.name || !isLivePtr(record.name))
        return kErrBadParameters;
    if (record.text && !isLivePtr(record.text)) return kErrBadParameters;
    CommandParameterRecord copy = record;
    if (copyBlock(record.name, copy.name) != kNoError) return kErrMemFull;
    if (copyBlock(record.text, copy.text) != kNoError) {
        disposePtr(copy.name);
        return kErrMemFull;
    }
    const std::size_t size = getHandleSize(list);
    copy.index = static_cast<std::int32_t>(size / sizeof copy) + 1;
    if (setHandleSize(list, size + sizeof copy) != kNoError) {
        disposePtr(copy.name);
        disposePtr(copy.text);
        return kErrMemFull;
    }
    std::memcpy(*list + size, &copy, sizeof copy);
    return kNoError;
}

Result SimParameters::freeList(Handle& list) {
    if (!list) return kNoError;
    if (!isLiveHandle(list)) return kErrBadHandle;
    const std::size_t total = getHandleSize(list) / sizeof(CommandParameterRecord);
    for (std::size_t i = 0; i < total; ++i) {
        const CommandParameterRecord record = recordAt(list, i);
        disposePtr(record.name);
        disposePtr(record.text);
    }
    disposeHandle(list);
    list = nullptr;
    return kNoError;
}

}   // namespace host

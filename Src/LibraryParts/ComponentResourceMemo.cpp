#include "LibraryParts/ComponentResourceMemo.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

#include <FourCC.h>
#include <HostRecords.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/String.h"
#include "LibraryParts/ParameterList.h"

namespace tarnwick {
namespace {

// A new handle of the host's UTF-16 text handle as UTF-8 with a terminator (just the terminator for an
// empty text).
host::Handle utf8Of(host::Handle text) {
    const std::size_t units = getHandleSize(text) / sizeof(char16_t);
    const String converted =
        units == 0 ? String() : String(std::u16string_view(reinterpret_cast<const char16_t*>(*text), units));
    host::Handle handle = nullptr;
    stringToHandle(converted, handle);
    return handle;
}

}   // namespace

ComponentResourceMemo::~ComponentResourceMemo() = default;

std::uint32_t ComponentResourceMemo::getSectionCount() {
    if (!loaded_) loadSections();
    return static_cast<std::uint32_t>(sections_.size());
}

host::Handle ComponentResourceMemo::getSection(std::uint32_t i, std::uint32_t& type) {
    if (i >= getSectionCount()) return nullptr;
    const auto entry = std::next(sections_.begin(), static_cast<std::ptrdiff_t>(i));
    type = entry->first;
    if (type == fourcc("PARD") && keepsParameterSection())
        if (const host::Handle built = buildParameterSection()) return built;
    return entry->second.getHandle();
}

host::Handle ComponentResourceMemo::getSectionByType(std::uint32_t type) {
    if (!loaded_) loadSections();
    if (type == fourcc("PARD") && keepsParameterSection()) {
        host::Handle parameters = nullptr;
        return writeParameterHandle(parameters) ? parameters : nullptr;
    }
    const auto entry = sections_.find(type);
    return entry == sections_.end() ? nullptr : entry->second.getHandle();
}

bool ComponentResourceMemo::removeSection(std::uint32_t type) {
    if (!loaded_) loadSections();
    return sections_.erase(type) != 0;   // the block disposes its handle
}

void ComponentResourceMemo::setSection(std::uint32_t type, host::Handle handle) {
    MemoryBlock block(handle);   // ours from here on, also when loading throws
    if (!loaded_) loadSections();
    store(type, std::move(block));
    changed_ = true;
}

bool ComponentResourceMemo::isTextSection(std::uint32_t type) {
    static constexpr std::uint32_t kTextSections[] = {
        fourcc("1DSC"), fourcc("2DSC"), fourcc("3DSC"), fourcc("CTXT"), fourcc("VLSC"),
        fourcc("UISC"), fourcc("PRSC"), fourcc("FMSC"), fourcc("BMSC"), fourcc("CPYR")};
    return std::find(std::begin(kTextSections), std::end(kTextSections), type) != std::end(kTextSections);
}

bool ComponentResourceMemo::writeParameterHandle(host::Handle& handle) {
    handle = nullptr;
    return false;
}

host::Handle ComponentResourceMemo::buildParameterSection() {
    host::Handle parameters = nullptr;
    if (!writeParameterHandle(parameters)) return nullptr;
    host::Handle section = nullptr;
    const std::uint32_t result = hostApi().call<host::HostSlot::makeParameterSection>(
        getRecord(), parameters, getSectionWidth(), getSectionDepth(), /*flags=*/0, &section,
        /*reserved=*/nullptr);
    ParameterList::releaseHandle(parameters);
    if (result == 0) return section;
    disposeHandle(section);   // whatever a refusal left in it
    return nullptr;
}

void ComponentResourceMemo::store(std::uint32_t type, MemoryBlock block) {
    if (type == fourcc("PARD") && keepsParameterSection()) {
        loadParameterSection();
        sections_[type];   // an entry without bytes: the parameters stand for them
        return;            // the given bytes are disposed with `block`
    }
    const auto entry = sections_.find(type);
    if (entry == sections_.end()) {
        if (block.getHandle() != nullptr) sections_.emplace(type, std::move(block));
    } else if (block.getHandle() == nullptr) {
        sections_.erase(entry);
    } else {
        entry->second = std::move(block);
    }
}

void ComponentResourceMemo::loadSections() {
    loaded_ = true;
    // 1. A part that is not in the host has nothing to load.
    const std::int32_t index = getIndex();
    if (index == 0) return;
    // 2. The part's section headers.
    std::int32_t count = 0;
    host::Handle headersHandle = nullptr;
    if (hostApi().call<host::HostSlot::getLibraryPartSectionList>(index, &count, &headersHandle) != 0) {
        disposeHandle(headersHandle);
        return;
    }
    const MemoryBlock headers(headersHandle);   // 5. disposed on every way out
    const std::size_t listed = headers.getSize() / sizeof(host::LibrarySectionHeader);
    const std::size_t total = count < 0 ? 0 : std::min(listed, static_cast<std::size_t>(count));
    // 3. Each section in host order; a text section as UTF-8 unless the host gave bytes but no text.
    for (std::size_t i = 0; i < total; ++i) {
        host::LibrarySectionHeader header{};
        std::memcpy(&header, headers.getBytes() + i * sizeof header, sizeof header);
        const bool text = isTextSection(header.type);
        host::Handle bytes = nullptr;
        host::Handle unicode = nullptr;
        const std::uint32_t result = hostApi().call<host::HostSlot::getLibraryPartSection>(
            index, &header, &bytes, text ? &unicode : nullptr, nullptr);
        MemoryBlock block(bytes);   // ours, whatever the answer
        const MemoryBlock unicodeText(unicode);
        if (result == host::kErrSectionUnreadable) {   // 4. skipped, and loading goes on
            store(header.type, MemoryBlock());
            continue;
        }
        if (result != 0) return;   // 4. any other error ends loading
        if (text && !(unicodeText.getSize() == 0 && block.getSize() != 0))
            block = MemoryBlock(utf8Of(unicodeText.getHandle()));   // the text stands for the bytes
        store(header.type, std::move(block));
    }
}

}   // namespace tarnwick

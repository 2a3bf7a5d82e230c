#include "LibraryParts/TextDatabase.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "Foundation/DataFile.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"

namespace tarnwick {

TextDatabase::TextDatabase(std::unique_ptr<TextRecord> header)
    : header_(std::move(header)), columnCount_(header_ ? static_cast<std::uint32_t>(header_->size()) : 0) {}

TextDatabase::TextDatabase(const TextDatabase& other)
    : header_(other.header_ ? other.header_->clone() : nullptr), columnCount_(other.columnCount_) {
    for (const auto& record : other) push_back(record ? record->clone() : nullptr);
}

TextDatabase::~TextDatabase() = default;

TextRecord* TextDatabase::recordAt(std::size_t position) const {
    if (position >= size()) return nullptr;
    return std::next(begin(), static_cast<std::ptrdiff_t>(position))->get();
}

// --- Reading ---------------------------------------------------------------------------------------
bool TextDatabase::readChunks(std::uint64_t total, const std::function<bool(char*, std::size_t)>& take,
                              bool hasHeader, const String& separatorText, const String& lineEndText) {
    const std::string_view lineEnds =
        lineEndText.isEmpty() ? std::string_view("\r\n") : lineEndText.getView();
    std::string separator(separatorText.getView());
    const std::size_t before = size();
    std::string text;   // the carried, unfinished line first; counted in bytes, so no character is split
    text.reserve(kChunkBytes + lineEnds.size());
    std::uint64_t remaining = total;
    for (;;) {
        if (text.size() >= kChunkBytes) {   // a line that fills the chunk: taken as it is, so reading goes on
            auto record = makeRecord();
            if (record->split(text + separator, separator)) push_back(std::move(record));
            text.clear();
        }
        // 2., 3.
        const std::size_t room = kChunkBytes - text.size();
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, room));
        const std::size_t at = text.size();
        text.resize(at + count);
        if (count > 0 && !take(text.data() + at, count)) {
            while (size() > before) erase(std::prev(end()));   // a read that fails adds nothing
            return false;
        }
        remaining -= count;
        const bool last = remaining == 0;
        if (last) text.append(lineEnds);
        // The separator, when not given, is found once for the whole read.
        if (separator.empty()) separator = text.find('\t') != std::string::npos ? "\t" : ",";
        // 4. Lines; empty ones give no record.
        std::size_t position = 0;
        for (;;) {
            position = text.find_first_not_of(lineEnds, position);
            if (position == std::string::npos) {
                position = text.size();
                break;
            }
            const std::size_t end = text.find_first_of(lineEnds, position);
            if (end == std::string::npos) break;
            auto record = makeRecord();
            std::string line = text.substr(position, end - position);
            line += separator;
            if (record->split(line, separator)) push_back(std::move(record));
            position = end;
        }
        text.erase(0, position);
        if (last) break;
    }
    // 5. The header is the first record of this read, not one held before.
    if (hasHeader && size() > before) {
        auto first = std::next(begin(), static_cast<std::ptrdiff_t>(before));
        setHeader(release(first));
    }
    return true;
}

bool TextDatabase::read(const MemoryBlock& block, bool hasHeader, std::size_t byteCount,
                        const String& separator, const String& lineEnds) {
    const std::size_t total = byteCount == 0 ? block.getSize() : std::min(byteCount, block.getSize());
    std::size_t offset = 0;
    const char* bytes = block.getBytes();
    return readChunks(
        total,
        [&](char* dest, std::size_t count) {
            std::memcpy(dest, bytes + offset, count);
            offset += count;
            return true;
        },
        hasHeader, separator, lineEnds);
}

bool TextDatabase::read(DataFile& file, bool hasHeader, const String& separator, const String& lineEnds) {
    if (!file.open()) return false;
    const auto total = file.getSize();
    const bool read =
        total && readChunks(
                     *total, [&](char* dest, std::size_t count) { return file.read(dest, count); }, hasHeader,
                     separator, lineEnds);
    file.close();   // on every path
    return read;
}

// --- Writing ---------------------------------------------------------------------------------------
String TextDatabase::joined(const String& separator) const {
    String text;
    if (header_) text += header_->join(separator);
    for (const auto& record : *this)
        if (record) text += record->join(separator);
    return text;
}

bool TextDatabase::write(host::Handle& handle, const String& separator) const {
    stringToHandle(joined(separator), handle);   // one terminator, after the last line
    return true;
}

bool TextDatabase::write(String& text, const String& separator) const {
    text += joined(separator);
    return true;
}

bool TextDatabase::write(DataFile& file, const String& separator) const {
    if (!file.open()) return false;
    const bool written = file.setDataLength(0) && file.write(joined(separator));
    const bool closed = file.close();
    return written && closed;
}

// --- Columns and records ---------------------------------------------------------------------------
std::int32_t TextDatabase::findColumn(const String& title, bool caseSensitive) const {
    if (!header_) return -1;
    const String wanted = caseSensitive ? title : title.toLower();
    std::int32_t column = 0;
    for (const auto& field : *header_) {
        if (field && (caseSensitive ? String(*field) : field->toLower()) == wanted) return column;
        ++column;
    }
    return -1;
}

std::uint32_t TextDatabase::getHeaderFieldCount() const {
    return header_ ? static_cast<std::uint32_t>(header_->size()) : 0;
}

std::unique_ptr<TextRecord> TextDatabase::makeRecord() const {
    auto record = std::make_unique<TextRecord>();
    record->reserve(columnCount_);
    return record;
}

void TextDatabase::setHeader(std::unique_ptr<TextRecord> header) { header_ = std::move(header); }

}   // namespace tarnwick

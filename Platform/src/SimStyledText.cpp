#include "SimStyledText.h"

#include <cstddef>
#include <cstring>
#include <optional>

namespace host {
namespace {

constexpr std::uint32_t kNoHandle = 0xFFFFFFFF;   // the flat form's count of a null handle

// The three handles of a paragraph, in the order of the flat form.
Handle* handleField(ParagraphRecord& paragraph, int index) {
    return index == 0 ? &paragraph.tabs : index == 1 ? &paragraph.runs : &paragraph.lineEnds;
}
constexpr std::size_t kEntryBytes[3] = {sizeof(TabRecord), kRunRecordBytes, sizeof(std::int32_t)};

// Reads one piece of the flat form, keeping within its bounds.
class FlatReader {
public:
    explicit FlatReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
    bool atEnd() const { return at_ == bytes_.size(); }
    bool take(void* dest, std::size_t count) {
        if (bytes_.size() - at_ < count) return false;
        if (count != 0) std::memcpy(dest, bytes_.data() + at_, count);
        at_ += count;
        return true;
    }
    const unsigned char* skip(std::size_t count) {   // null when fewer bytes are left
        if (bytes_.size() - at_ < count) return nullptr;
        const unsigned char* start = bytes_.data() + at_;
        at_ += count;
        return start;
    }

private:
    const std::vector<unsigned char>& bytes_;
    std::size_t at_ = 0;
};

void append(std::vector<unsigned char>& out, const void* bytes, std::size_t count) {
    const auto* start = static_cast<const unsigned char*>(bytes);
    out.insert(out.end(), start, start + count);
}

// Walks the flat form; for each paragraph, `visit` gets the record (handles zeroed) and, per handle, the
// bytes or nullopt for none. False with a message when the form is malformed.
template <typename Visit>
bool walkFlat(const std::vector<unsigned char>& flat, std::string& error, Visit visit) {
    FlatReader in(flat);
    std::size_t index = 0;
    while (!in.atEnd()) {
        ParagraphRecord paragraph{};
        if (!in.take(&paragraph, sizeof paragraph)) {
            error = "paragraph " + std::to_string(index) + " is cut short";
            return false;
        }
        paragraph.tabs = paragraph.runs = paragraph.lineEnds = nullptr;
        std::optional<std::vector<unsigned char>> blocks[3];
        for (int k = 0; k < 3; ++k) {
            std::uint32_t count = 0;
            if (!in.take(&count, sizeof count)) {
                error = "paragraph " + std::to_string(index) + " is cut short";
                return false;
            }
            if (count == kNoHandle) continue;
            const unsigned char* bytes = in.skip(count);
            if (bytes == nullptr || count % kEntryBytes[k] != 0) {
                error = "paragraph " + std::to_string(index) + " has a block of " + std::to_string(count) +
                        " bytes that does not fit";
                return false;
            }
            blocks[k].emplace(bytes, bytes + count);
        }
        if (!visit(paragraph, blocks)) return false;
        ++index;
    }
    return true;
}

}   // namespace

Result disposeParagraphs(Handle paragraphs) {
    if (paragraphs == nullptr) return kNoError;
    if (!isLiveHandle(paragraphs)) return kErrBadHandle;
    Result result = kNoError;
    const std::size_t count = getHandleSize(paragraphs) / sizeof(ParagraphRecord);
    for (std::size_t i = 0; i < count; ++i) {
        ParagraphRecord paragraph;
        std::memcpy(&paragraph, *paragraphs + i * sizeof paragraph, sizeof paragraph);
        for (int k = 0; k < 3; ++k)
            if (Result r = disposeHandle(*handleField(paragraph, k)); r != kNoError && result == kNoError)
                result = r;
    }
    if (Result r = disposeHandle(paragraphs); r != kNoError && result == kNoError) result = r;
    return result;
}

bool checkFlatParagraphs(const std::vector<unsigned char>& flat, std::string& error) {
    return walkFlat(flat, error, [](const ParagraphRecord&, const auto&) { return true; });
}

Result paragraphsToHandle(const std::vector<unsigned char>& flat, Handle& paragraphs) {
    std::vector<ParagraphRecord> records;
    Result failure = kNoError;
    std::string error;
    const bool read = walkFlat(flat, error, [&](ParagraphRecord paragraph, const auto& blocks) {
        records.push_back(paragraph);   // handles null until made, so a failure releases only those made
        for (int k = 0; k < 3; ++k) {
            if (!blocks[k]) continue;
            Handle handle = newHandle(blocks[k]->size(), /*clear=*/false);
            if (handle == nullptr) {
                failure = kErrMemFull;
                return false;
            }
            if (!blocks[k]->empty()) std::memcpy(*handle, blocks[k]->data(), blocks[k]->size());
            *handleField(records.back(), k) = handle;
        }
        return true;
    });
    Handle made = read ? newHandle(records.size() * sizeof(ParagraphRecord), /*clear=*/false) : nullptr;
    if (made == nullptr) {
        for (ParagraphRecord& paragraph : records)
            for (int k = 0; k < 3; ++k) disposeHandle(*handleField(paragraph, k));
        return read ? kErrMemFull : failure != kNoError ? failure : kErrBadParameters;
    }
    if (!records.empty()) std::memcpy(*made, records.data(), records.size() * sizeof(ParagraphRecord));
    paragraphs = made;
    return kNoError;
}

Result paragraphsFromHandle(Handle paragraphs, std::vector<unsigned char>& flat) {
    if (!isLiveHandle(paragraphs)) return kErrBadHandle;
    const std::size_t size = getHandleSize(paragraphs);
    if (size % sizeof(ParagraphRecord) != 0) return kErrBadParameters;
    std::vector<unsigned char> result;
    for (std::size_t i = 0; i < size / sizeof(ParagraphRecord); ++i) {
        ParagraphRecord paragraph;
        std::memcpy(&paragraph, *paragraphs + i * sizeof paragraph, sizeof paragraph);
        ParagraphRecord bare = paragraph;
        bare.tabs = bare.runs = bare.lineEnds = nullptr;
        append(result, &bare, sizeof bare);
        for (int k = 0; k < 3; ++k) {
            const Handle handle = *handleField(paragraph, k);
            if (handle == nullptr) {
                append(result, &kNoHandle, sizeof kNoHandle);
                continue;
            }
            if (!isLiveHandle(handle)) return kErrBadHandle;
            const std::size_t bytes = getHandleSize(handle);
            if (bytes % kEntryBytes[k] != 0 || bytes >= kNoHandle) return kErrBadParameters;
            const auto count = static_cast<std::uint32_t>(bytes);
            append(result, &count, sizeof count);
            if (bytes != 0) append(result, *handle, bytes);
        }
    }
    flat = std::move(result);
    return kNoError;
}

// --- Memo parts -----------------------------------------------------------------------------------------
namespace {
constexpr std::uint16_t kParagraphsOffset = offsetof(ElementMemo, paragraphs);
}

Result memoPartToHandle(std::uint16_t offset, const std::vector<unsigned char>& bytes, Handle& handle) {
    if (offset == kParagraphsOffset) return paragraphsToHandle(bytes, handle);
    handle = newUnfilledHandle(bytes.size());
    if (handle == nullptr) return kErrMemFull;
    if (!bytes.empty()) std::memcpy(*handle, bytes.data(), bytes.size());
    return kNoError;
}

Result memoPartFromHandle(std::uint16_t offset, Handle handle, std::vector<unsigned char>& bytes) {
    if (offset == kParagraphsOffset) return paragraphsFromHandle(handle, bytes);
    if (!isLiveHandle(handle)) return kErrBadHandle;
    const std::size_t size = getHandleSize(handle);
    const auto* start = reinterpret_cast<const unsigned char*>(*handle);
    bytes = size ? std::vector<unsigned char>(start, start + size) : std::vector<unsigned char>();
    return kNoError;
}

Result disposeMemoPart(std::uint16_t offset, Handle handle) {
    return offset == kParagraphsOffset ? disposeParagraphs(handle) : disposeHandle(handle);
}

bool checkMemoPart(std::uint16_t offset, const std::vector<unsigned char>& bytes, std::string& error) {
    return offset != kParagraphsOffset || checkFlatParagraphs(bytes, error);
}

}   // namespace host

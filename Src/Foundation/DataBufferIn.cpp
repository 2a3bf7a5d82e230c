#include "Foundation/DataBufferIn.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <system_error>

#include "Foundation/DataFile.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Integers by std::from_chars: "-" only for signed types, no "+", no blanks; the whole token counts.
template <typename T>
bool parseWhole(const std::string& token, T& value) {
    T parsed{};
    const char* const end = token.data() + token.size();
    const auto [stop, error] = std::from_chars(token.data(), end, parsed);
    if (error != std::errc() || stop != end) return false;
    value = parsed;
    return true;
}

template <typename T>
bool readInteger(DataBufferIn& in, T& value) {
    std::string token;
    if (!in.readToken(token)) return false;
    if (parseWhole(token, value)) return true;
    in.addState(DataStream::kBadData);
    return false;
}

bool parseRealToken(const std::string& token, double& value) {
    double parsed = 0.0;
    const char* const end = token.data() + token.size();
    const auto [stop, error] = std::from_chars(token.data(), end, parsed, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

}   // namespace

// --- Sources -----------------------------------------------------------------------------------------
// A borrowed file or run of bytes. fetch gives up to count bytes, 0 at the end, nullopt on failure.
class DataBufferIn::Source {
public:
    Source(DataFile& file, bool closeWhenDone) : file_(&file), closeWhenDone_(closeWhenDone) {
        // Opening a write-only file would empty it, and it could not be read anyway.
        if (!file.isOpen() && file.getMode() != DataFile::kWrite && file.open()) closeWhenDone_ = true;
        usable_ = file.canRead();
    }
    explicit Source(std::string_view bytes) : bytes_(bytes) {}
    ~Source() {
        if (file_ && closeWhenDone_) file_->close();
    }

    bool isUsable() const { return usable_; }

    std::size_t sizeHint() const {
        if (!usable_) return 0;
        if (!file_) return bytes_.size() - offset_;
        const std::optional<std::uint64_t> size = file_->getSize();
        return size && *size <= std::numeric_limits<std::size_t>::max() ? static_cast<std::size_t>(*size) : 0;
    }

    std::optional<std::size_t> fetch(char* dest, std::size_t count) {
        if (!usable_) return std::nullopt;
        if (file_) return file_->readSome(dest, count);
        const std::size_t n = std::min(count, bytes_.size() - offset_);
        if (n != 0) std::memcpy(dest, bytes_.data() + offset_, n);
        offset_ += n;
        return n;
    }

private:
    DataFile* file_ = nullptr;
    bool closeWhenDone_ = false;
    bool usable_ = true;
    std::string_view bytes_;
    std::size_t offset_ = 0;
};

void DataBufferIn::BlockDeleter::operator()(char* block) const noexcept { host::disposePtr(block); }

// --- Construction ------------------------------------------------------------------------------------
DataBufferIn::DataBufferIn(std::unique_ptr<Source> source, std::size_t bufferSize)
    : source_(std::move(source)), bufferSize_(std::max<std::size_t>(bufferSize, 1)) {
    buffer_.reset(allocatePtr(bufferSize_));   // throws "bad_alloc" when the host has no memory
    if (!source_->isUsable()) addState(kFailed);
}

DataBufferIn::DataBufferIn(DataFile& file, std::size_t bufferSize, bool closeWhenDone)
    : DataBufferIn(std::make_unique<Source>(file, closeWhenDone), bufferSize) {}

DataBufferIn::DataBufferIn(const String& text, std::size_t bufferSize)
    : DataBufferIn(std::make_unique<Source>(text.getView()), bufferSize) {}

DataBufferIn::DataBufferIn(const MemoryBlock& block, std::size_t bufferSize)
    : DataBufferIn(std::make_unique<Source>(std::string_view(block.getBytes(), block.getSize())),
                   bufferSize) {}

DataBufferIn::DataBufferIn(std::string_view bytes, std::size_t bufferSize)
    : DataBufferIn(std::make_unique<Source>(bytes), bufferSize) {}

DataBufferIn::~DataBufferIn() = default;

// --- Raw bytes ---------------------------------------------------------------------------------------
// End of data is noted only by the reads that needed a byte; a token that ends with the data is whole.
bool DataBufferIn::refill() {
    position_ = 0;
    filled_ = 0;
    const std::optional<std::size_t> got = source_->fetch(buffer_.get(), bufferSize_);
    if (!got) {
        addState(kFailed);
        return false;
    }
    filled_ = *got;
    return filled_ != 0;
}

bool DataBufferIn::peekByte(char& byte) {
    if (!canRead()) return false;
    if (position_ == filled_ && !refill()) return false;
    byte = buffer_[position_];
    return true;
}

bool DataBufferIn::takeByte(char& byte) {
    if (!peekByte(byte)) {
        if (canRead()) addState(kEndOfData);
        return false;
    }
    ++position_;
    return true;
}

DataBufferIn& DataBufferIn::operator>>(char& byte) {
    char next = 0;
    if (takeByte(next)) byte = next;
    return *this;
}

DataBufferIn& DataBufferIn::operator>>(std::uint8_t& byte) {
    char next = 0;
    if (takeByte(next)) byte = static_cast<std::uint8_t>(next);
    return *this;
}

std::size_t DataBufferIn::getSizeHint() const {
    const std::size_t rest = source_->sizeHint();
    const std::size_t buffered = filled_ - position_;
    return rest > std::numeric_limits<std::size_t>::max() - buffered ? buffered : buffered + rest;
}

std::size_t DataBufferIn::read(char* dest, std::size_t count) {
    if (!canRead() || count == 0) return 0;
    std::size_t done = std::min(count, filled_ - position_);
    if (done != 0) std::memcpy(dest, buffer_.get() + position_, done);
    position_ += done;
    // Long runs go straight from the source; the buffer takes only what is left over.
    while (done < count) {
        if (count - done >= bufferSize_) {
            const std::optional<std::size_t> got = source_->fetch(dest + done, count - done);
            if (!got) {
                addState(kFailed);
                break;
            }
            if (*got == 0) {
                addState(kEndOfData);
                break;
            }
            done += *got;
            continue;
        }
        if (!refill()) {
            if (!hasFailed()) addState(kEndOfData);
            break;
        }
        const std::size_t n = std::min(count - done, filled_);
        std::memcpy(dest + done, buffer_.get(), n);
        position_ = n;
        done += n;
    }
    return done;
}

// --- Tokens ------------------------------------------------------------------------------------------
bool DataBufferIn::skipWhitespace() {
    for (;;) {
        if (!canRead()) return false;
        if (position_ == filled_ && !refill()) {
            if (!hasFailed()) addState(kEndOfData);
            return false;
        }
        while (position_ < filled_ && isSpace(buffer_[position_])) ++position_;
        if (position_ < filled_) return true;
    }
}

bool DataBufferIn::takeToken(std::string& token) {
    token.clear();
    if (!skipWhitespace()) return false;
    for (;;) {
        if (position_ == filled_ && !refill()) return !hasFailed();   // the data ends the token
        const std::size_t start = position_;
        while (position_ < filled_ && !isSpace(buffer_[position_])) ++position_;
        if (token.size() + (position_ - start) > kMaxTokenBytes) {
            addState(kBadData | kFailed);   // hostile or broken: nothing after it can be trusted
            return false;
        }
        token.append(buffer_.get() + start, position_ - start);
        if (position_ < filled_) return true;   // stopped at whitespace
    }
}

bool DataBufferIn::takeQuoted(std::string& text) {
    text.clear();
    bool escaped = false;
    bool malformed = false;
    for (;;) {
        char c = 0;
        if (!peekByte(c)) {   // the text is cut off before its closing quote
            if (!hasFailed()) addState(kEndOfData);
            addState(kBadData);
            return false;
        }
        ++position_;
        if (escaped) {
            if (c != '"' && c != '\\') malformed = true;   // keep scanning to the closing quote
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
            continue;
        } else if (c == '"') {
            break;
        }
        if (text.size() == kMaxTokenBytes) {
            addState(kBadData | kFailed);
            return false;
        }
        text.push_back(c);
    }
    // The closing quote must end the token: "ab"cd is one malformed token, consumed whole.
    char next = 0;
    if (peekByte(next) && !isSpace(next)) {
        std::string rest;
        if (!takeToken(rest)) return false;
        malformed = true;
    } else if (hasFailed()) {
        return false;
    }
    if (malformed) {
        addState(kBadData);
        return false;
    }
    return true;
}

bool DataBufferIn::takeText(std::string& text) {
    if (!skipWhitespace()) return false;
    if (buffer_[position_] != '"') return takeToken(text);
    ++position_;
    return takeQuoted(text);
}

// --- Typed values ------------------------------------------------------------------------------------
bool DataBufferIn::readToken(std::string& token) {
    std::string next;
    if (!takeToken(next)) return false;
    token.swap(next);
    return true;
}

bool DataBufferIn::readToken(String& token) {
    std::string next;
    if (!takeToken(next)) return false;
    if (next.find('\0') != std::string::npos) {   // a String cannot hold it
        addState(kBadData);
        return false;
    }
    token = String(std::string_view(next));
    return true;
}

bool DataBufferIn::readInt32(std::int32_t& value) { return readInteger(*this, value); }
bool DataBufferIn::readUInt32(std::uint32_t& value) { return readInteger(*this, value); }
bool DataBufferIn::readInt64(std::int64_t& value) { return readInteger(*this, value); }

bool DataBufferIn::readReal(double& value) {
    std::string token;
    if (!takeToken(token)) return false;
    if (parseRealToken(token, value)) return true;
    addState(kBadData);
    return false;
}

bool DataBufferIn::readBool(bool& value) {
    std::string token;
    if (!takeToken(token)) return false;
    if (token == "1" || token == "true") {
        value = true;
    } else if (token == "0" || token == "false") {
        value = false;
    } else {
        addState(kBadData);
        return false;
    }
    return true;
}

bool DataBufferIn::readString(String& value) {
    std::string text;
    if (!takeText(text)) return false;
    if (text.find('\0') != std::string::npos) {
        addState(kBadData);
        return false;
    }
    value = String(std::string_view(text));
    return true;
}

// --- Lists -------------------------------------------------------------------------------------------
// The items are collected apart and handed over only when all were read. A broken list leaves the
// stream somewhere inside it, so it also stops reading.
template <typename T, typename ReadOne>
bool DataBufferIn::readListOf(std::vector<T>& values, ReadOne readOne) {
    std::uint32_t count = 0;
    if (!readUInt32(count)) {
        if (canRead()) addState(kFailed);   // a malformed count, not the end of the data
        return false;
    }
    if (count > kMaxListItems) {
        addState(kBadData | kFailed);
        return false;
    }
    std::vector<T> items;
    items.reserve(std::min<std::size_t>(count, 1024));   // the count alone never sizes memory
    for (std::uint32_t i = 0; i < count; ++i) {
        T item{};
        if (!readOne(item)) {
            addState(kBadData | kFailed);
            return false;
        }
        items.push_back(std::move(item));
    }
    values.swap(items);
    return true;
}

bool DataBufferIn::readList(std::vector<std::int32_t>& values) {
    return readListOf(values, [this](std::int32_t& item) { return readInt32(item); });
}

bool DataBufferIn::readList(std::vector<double>& values) {
    return readListOf(values, [this](double& item) { return readReal(item); });
}

bool DataBufferIn::readList(std::vector<String>& values) {
    return readListOf(values, [this](String& item) { return readString(item); });
}

}   // namespace tarnwick

#include "Foundation/DataBufferOut.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "Foundation/DataFile.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/String.h"
#include "Foundation/TracedException.h"

namespace tarnwick {
namespace {

// Bytes at the end of text that start a UTF-8 character whose remaining bytes are still to come.
std::size_t incompleteTail(std::string_view text) {
    const std::size_t look = std::min<std::size_t>(text.size(), 3);
    for (std::size_t back = 1; back <= look; ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;   // a continuation byte: keep looking for the lead
        std::size_t length = 1;
        if ((byte & 0xE0) == 0xC0)
            length = 2;
        else if ((byte & 0xF0) == 0xE0)
            length = 3;
        else if ((byte & 0xF8) == 0xF0)
            length = 4;
        return length > back ? back : 0;
    }
    return 0;
}

template <typename T>
std::string_view integerText(char (&text)[32], T value) {
    const auto result = std::to_chars(text, text + sizeof text, value);
    return {text, static_cast<std::size_t>(result.ptr - text)};
}

}   // namespace

// --- Sinks -------------------------------------------------------------------------------------------
// A borrowed destination. put gives false when the destination refused the bytes; memory failures are
// answered the same way, so a failed flush is always a state, never an exception escaping a destructor.
class DataBufferOut::Sink {
public:
    Sink(DataFile& file, bool closeWhenDone) : file_(&file), closeFile_(closeWhenDone) {}
    explicit Sink(MemoryBlock& block) : block_(&block) {}
    explicit Sink(String& text) : text_(&text) {}
    explicit Sink(host::Handle& handle) : handle_(&handle) {}

    bool put(const char* bytes, std::size_t count) {
        if (file_) return file_->write(bytes, count);
        if (text_) return putText(std::string_view(bytes, count));
        if (block_) {
            try {
                block_->append(bytes, count);
            } catch (const TracedException&) {
                return false;
            }
            return true;
        }
        return putHandle(bytes, count);
    }

    // Ends the output: a String takes the bytes held back (malformed now, they become U+FFFD); a file
    // the writer opened itself is closed.
    bool finish() {
        bool ok = true;
        if (text_ && !pending_.empty()) ok = appendText(pending_);
        pending_.clear();
        if (file_ && closeFile_) ok = file_->close() && ok;
        return ok;
    }

private:
    // A String keeps only whole UTF-8 characters, and a flush may split one: its first bytes wait for
    // the rest.
    bool putText(std::string_view bytes) {
        // The usual case: the bytes go on as they stand, but for a cut last character.
        if (pending_.empty()) {
            const std::size_t keep = incompleteTail(bytes);
            pending_.assign(bytes.substr(bytes.size() - keep));
            return appendText(bytes.substr(0, bytes.size() - keep));
        }
        std::string joined = pending_;
        joined.append(bytes);
        const std::size_t keep = incompleteTail(joined);
        pending_.assign(joined, joined.size() - keep, keep);
        joined.resize(joined.size() - keep);
        return appendText(joined);
    }

    bool appendText(std::string_view bytes) {
        try {
            text_->append(bytes);
        } catch (const std::exception&) {
            return false;
        }
        return true;
    }

    bool putHandle(const char* bytes, std::size_t count) {
        host::Handle& handle = *handle_;
        if (!handle) {
            handle = host::newHandle(count, /*clear=*/false);
            if (!handle) return false;
            std::memcpy(*handle, bytes, count);
            return true;
        }
        const std::size_t old = host::getHandleSize(handle);
        if (count > std::numeric_limits<std::size_t>::max() - old) return false;
        if (host::setHandleSize(handle, old + count) != host::kNoError) return false;
        std::memcpy(*handle + old, bytes, count);
        return true;
    }

    DataFile* file_ = nullptr;
    bool closeFile_ = false;
    MemoryBlock* block_ = nullptr;
    String* text_ = nullptr;
    host::Handle* handle_ = nullptr;
    std::string pending_;   // a String's incomplete last character
};

void DataBufferOut::BlockDeleter::operator()(char* block) const noexcept { host::disposePtr(block); }

// --- Attaching ---------------------------------------------------------------------------------------
DataBufferOut::DataBufferOut() = default;

DataBufferOut::~DataBufferOut() {
    try {
        close();
    } catch (...) {   // nothing may leave a destructor; the bytes are lost either way
    }
}

bool DataBufferOut::attach(std::unique_ptr<Sink> sink) {
    sink_ = std::move(sink);
    staged_ = 0;
    clearState();
    return true;
}

bool DataBufferOut::open(DataFile& file) {
    close();
    bool openedHere = false;
    if (!file.isOpen()) {
        if (!file.open()) {
            setState(kFailed);
            return false;
        }
        openedHere = true;
    }
    if (!file.canWrite()) {
        if (openedHere) file.close();
        setState(kFailed);
        return false;
    }
    return attach(std::make_unique<Sink>(file, openedHere));
}

bool DataBufferOut::open(MemoryBlock& block) {
    close();
    return attach(std::make_unique<Sink>(block));
}

bool DataBufferOut::open(String& text) {
    close();
    return attach(std::make_unique<Sink>(text));
}

bool DataBufferOut::open(host::Handle& handle) {
    close();
    return attach(std::make_unique<Sink>(handle));
}

bool DataBufferOut::isOpen() const { return sink_ != nullptr; }

bool DataBufferOut::flush() {
    if (hasFailed()) return false;
    if (!sink_ || staged_ == 0) return true;   // after close() there is nothing left to flush
    const bool ok = sink_->put(block_.get(), staged_);
    staged_ = 0;
    if (!ok) addState(kFailed);
    return ok;
}

bool DataBufferOut::close() {
    if (!sink_) return !hasFailed();
    flush();
    if (!sink_->finish()) addState(kFailed);
    sink_.reset();
    staged_ = 0;
    return !hasFailed();
}

// --- Writing -----------------------------------------------------------------------------------------
void DataBufferOut::ensureBlock() {
    if (!block_) block_.reset(allocatePtr(kBlockSize));   // throws "bad_alloc" when the host has none
}

bool DataBufferOut::write(const char* bytes, std::size_t count) {
    if (!sink_) addState(kFailed);
    if (hasFailed()) return false;
    if (count == 0) return true;
    ensureBlock();
    if (count <= kBlockSize - staged_) {
        std::memcpy(block_.get() + staged_, bytes, count);
        staged_ += count;
        return true;
    }
    if (!flush()) return false;
    if (count >= kBlockSize) {   // a long run is passed on whole rather than copied in pieces
        if (sink_->put(bytes, count)) return true;
        addState(kFailed);
        return false;
    }
    std::memcpy(block_.get(), bytes, count);
    staged_ = count;
    return true;
}

bool DataBufferOut::write(std::string_view text) { return write(text.data(), text.size()); }

bool DataBufferOut::write(const char* text) {
    return write(text ? std::string_view(text) : std::string_view());
}

bool DataBufferOut::write(const String& text) { return write(text.getView()); }

bool DataBufferOut::write(char byte) { return write(&byte, 1); }

bool DataBufferOut::write(std::int32_t value) {
    char text[32];
    return write(integerText(text, value));
}

bool DataBufferOut::write(std::uint32_t value) {
    char text[32];
    return write(integerText(text, value));
}

bool DataBufferOut::write(std::int64_t value) {
    char text[32];
    return write(integerText(text, value));
}

bool DataBufferOut::write(std::uint64_t value) {
    char text[32];
    return write(integerText(text, value));
}

bool DataBufferOut::write(double value) {
    if (!std::isfinite(value)) {
        addState(kBadData);
        return false;
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);   // shortest round-trip form
    return write(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

}   // namespace tarnwick

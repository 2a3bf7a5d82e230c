#include "Foundation/XMLWriter.h"

#include <cstdint>
#include <cstring>

#include "Foundation/DataBufferOut.h"
#include "Foundation/XMLAssembly.h"
#include "Foundation/XMLByteClass.h"
#include "Foundation/XMLProxy.h"
#include "Foundation/XMLReader.h"

namespace tarnwick {
namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";
constexpr std::size_t kStageBytes = 64 * 1024;   // more than the DataBufferOut's block: passed on whole
constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";

// The escaped form of a byte the writer may not copy; empty for a control character XML cannot carry.
std::string_view escapeOf(char byte) {
    switch (byte) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return "&quot;";
        case '\'':
            return "&apos;";
        case '\r':
            return "&#13;";   // a raw CR would read back as LF
        case '\n':
            return "&#10;";   // raw tab and LF read back as spaces in attribute values
        case '\t':
            return "&#9;";
        default:
            return {};
    }
}

// Most pieces are a tag, a bracket or an indent: up to 16 bytes are copied without a memcpy call, by
// two loads and stores that overlap as far as they must.
constexpr std::size_t kShortPiece = 16;

void copyShort(char* to, const char* from, std::size_t count) {
    if (count >= 8) {
        std::uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + count - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + count - 8, &tail, 8);
    } else if (count >= 4) {
        std::uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + count - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + count - 4, &tail, 4);
    } else if (count != 0) {
        to[0] = from[0];
        to[count / 2] = from[count / 2];
        to[count - 1] = from[count - 1];
    }
}

}   // namespace

XMLWriter::XMLWriter(DataBufferOut& out) : out_(out) {}

XMLWriter::~XMLWriter() = default;

bool XMLWriter::write(XMLAssembly& root, bool declaration, bool lineBreaks, bool indentation, bool all) {
    lineBreaks_ = lineBreaks;
    indentation_ = indentation;
    all_ = all;
    failed_ = false;
    badText_ = false;
    if (!stage_) stage_ = std::make_unique<char[]>(kStageBytes);
    staged_ = 0;
    if (declaration) {
        put(kDeclaration);
        putLineBreak();
    }
    const bool written = writeRecord(root, root.getTag(), {}, 0);
    flushStage();   // also after a failure: what was written stays in the DataBufferOut
    return written && !failed_;
}

// Called for every tag, name and bracket, so defined first to be inlined: the sizes of literals are then
// known where they are copied.
inline void XMLWriter::put(std::string_view bytes) {
    if (bytes.size() <= kShortPiece && kStageBytes - staged_ >= kShortPiece) {
        copyShort(stage_.get() + staged_, bytes.data(), bytes.size());
        staged_ += bytes.size();
        return;
    }
    putLong(bytes);
}

inline void XMLWriter::putByte(char byte) {
    if (staged_ == kStageBytes) flushStage();
    stage_[staged_++] = byte;
}

inline void XMLWriter::putName(std::string_view nameSpace, std::string_view tag) {
    if (!nameSpace.empty()) {
        put(nameSpace);
        putByte(':');
    }
    put(tag);
}

inline void XMLWriter::putIndent(std::size_t depth) {
    if (!indentation_) return;
    for (; depth > kTabs.size(); depth -= kTabs.size()) put(kTabs);
    put(kTabs.substr(0, depth));
}

inline void XMLWriter::putLineBreak() {
    if (lineBreaks_) putByte('\n');
}

bool XMLWriter::writeRecord(XMLAssembly& record, std::string_view name, std::string_view nameSpace,
                            std::size_t depth) {
    // Deeper than the reader goes could never be read back (and a record that holds itself never ends).
    if (depth >= XMLReader::kMaxDepth) return false;
    putIndent(depth);
    putByte('<');
    putName(nameSpace, name);

    // One proxy serves both passes for the first children: the attribute pass keeps the element
    // children's proxies here; later children are made again in the element pass.
    constexpr std::size_t kHeld = 8;
    std::unique_ptr<XMLProxy> held[kHeld];
    const std::size_t count = record.getChildCount();
    for (std::size_t index = 0; index < count; ++index) {
        std::unique_ptr<XMLProxy> child = record.getChildProxy(index);
        if (!child) continue;
        if (!child->isAttribute()) {
            if (index < kHeld) held[index] = std::move(child);
            continue;
        }
        if (!(all_ || child->isPresent())) continue;
        text_.clear();
        if (child->getRecord() || !child->getText(text_)) return false;   // a record has no attribute text
        putByte(' ');
        putName(child->getNamespace(), child->getTag());
        put("=\"");
        if (!putEscaped<XMLByteClass::kEscapeAttribute, '<', '&', '>', '"', '\'', '\xEF'>(text_))
            return stopAtText();
        putByte('"');
    }
    bool hasElements = false;
    for (std::size_t index = 0; index < count; ++index) {
        const std::unique_ptr<XMLProxy> child =
            index < kHeld ? std::move(held[index]) : record.getChildProxy(index, /*attributePass=*/false);
        if (!child || !(all_ || child->isPresent())) continue;
        if (!hasElements) {
            putByte('>');
            putLineBreak();
            hasElements = true;
        }
        if (XMLAssembly* const childRecord = child->getRecord()) {
            if (!writeRecord(*childRecord, child->getTag(), child->getNamespace(), depth + 1)) return false;
            continue;
        }
        text_.clear();
        if (!child->getText(text_)) return false;
        putIndent(depth + 1);
        putByte('<');
        putName(child->getNamespace(), child->getTag());
        putByte('>');
        if (!putEscaped<XMLByteClass::kEscapeText, '<', '&', '>', '"', '\'', '\xEF'>(text_))
            return stopAtText();
        put("</");
        putName(child->getNamespace(), child->getTag());
        putByte('>');
        putLineBreak();
    }
    if (hasElements) {
        putIndent(depth);
        put("</");
        putName(nameSpace, name);
        putByte('>');
    } else {
        put("/>");
    }
    putLineBreak();
    return !failed_;
}

void XMLWriter::putLong(std::string_view bytes) {
    if (bytes.size() > kStageBytes - staged_) {
        flushStage();
        if (bytes.size() >= kStageBytes) {   // a long text goes out as it stands
            if (!out_.write(bytes.data(), bytes.size())) failed_ = true;
            return;
        }
    }
    std::memcpy(stage_.get() + staged_, bytes.data(), bytes.size());
    staged_ += bytes.size();
}

void XMLWriter::flushStage() {
    if (staged_ != 0 && !out_.write(stage_.get(), staged_)) failed_ = true;
    staged_ = 0;
}

// Runs of plain bytes go out in one call each; only the bytes of escapeClass are looked at one by one.
// listed are its bytes other than control bytes, 0xEF among them.
template <std::uint8_t escapeClass, char... listed>
bool XMLWriter::putEscaped(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
        const char* const run = p;
        p = XMLByteClass::findInRun<escapeClass, listed...>(p, end);
        if (p != run) put({run, static_cast<std::size_t>(p - run)});
        if (p == end) break;
        if (*p == '\xEF') {   // the lead byte of U+FFFE and U+FFFF
            if (XMLByteClass::outsideXml(p, end)) return false;
            putByte(*p++);
            continue;
        }
        const std::string_view escaped = escapeOf(*p);
        if (escaped.empty()) return false;
        put(escaped);
        ++p;
    }
    return true;
}

}   // namespace tarnwick

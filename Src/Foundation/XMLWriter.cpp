#include "Foundation/XMLWriter.h"

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

}   // namespace

XMLWriter::XMLWriter(DataBufferOut& out) : out_(out) {}

XMLWriter::~XMLWriter() = default;

bool XMLWriter::write(XMLAssembly& root, bool declaration, bool lineBreaks, bool indentation, bool all) {
    lineBreaks_ = lineBreaks;
    indentation_ = indentation;
    all_ = all;
    failed_ = false;
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

bool XMLWriter::writeRecord(XMLAssembly& record, std::string_view name, std::string_view nameSpace,
                            std::size_t depth) {
    // Deeper than the reader goes could never be read back (and a record that holds itself never ends).
    if (depth >= XMLReader::kMaxDepth) return false;
    putIndent(depth);
    put("<");
    putName(nameSpace, name);
    const std::size_t count = record.getChildCount();
    for (std::size_t index = 0; index < count; ++index) {
        const std::unique_ptr<XMLProxy> child = record.getChildProxy(index, /*attributePass=*/true);
        if (!child || !(all_ || child->isPresent())) continue;
        text_.clear();
        if (child->getRecord() || !child->getText(text_)) return false;   // a record has no attribute text
        put(" ");
        putName(child->getNamespace(), child->getTag());
        put("=\"");
        if (!putEscaped(text_, XMLByteClass::kEscapeAttribute)) return false;
        put("\"");
    }
    bool hasElements = false;
    for (std::size_t index = 0; index < count; ++index) {
        const std::unique_ptr<XMLProxy> child = record.getChildProxy(index, /*attributePass=*/false);
        if (!child || !(all_ || child->isPresent())) continue;
        if (!hasElements) {
            put(">");
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
        put("<");
        putName(child->getNamespace(), child->getTag());
        put(">");
        if (!putEscaped(text_, XMLByteClass::kEscapeText)) return false;
        put("</");
        putName(child->getNamespace(), child->getTag());
        put(">");
        putLineBreak();
    }
    if (hasElements) {
        putIndent(depth);
        put("</");
        putName(nameSpace, name);
        put(">");
    } else {
        put("/>");
    }
    putLineBreak();
    return !failed_;
}

void XMLWriter::put(std::string_view bytes) {
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

void XMLWriter::putName(std::string_view nameSpace, std::string_view tag) {
    if (!nameSpace.empty()) {
        put(nameSpace);
        put(":");
    }
    put(tag);
}

// Runs of plain bytes go out in one call each; only the bytes of escapeClass are looked at one by one.
bool XMLWriter::putEscaped(std::string_view text, std::uint8_t escapeClass) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
        const char* const run = p;
        while (p != end && !XMLByteClass::is(*p, escapeClass)) ++p;
        if (p != run) put({run, static_cast<std::size_t>(p - run)});
        if (p == end) break;
        const std::string_view escaped = escapeOf(*p);
        if (escaped.empty()) return false;
        put(escaped);
        ++p;
    }
    return true;
}

void XMLWriter::putIndent(std::size_t depth) {
    if (!indentation_) return;
    for (; depth > kTabs.size(); depth -= kTabs.size()) put(kTabs);
    put(kTabs.substr(0, depth));
}

void XMLWriter::putLineBreak() {
    if (lineBreaks_) put("\n");
}

}   // namespace tarnwick

#include "Interface/StyledTextHolder.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include <HostFonts.h>
#include <HostStyledText.h>

#include "Foundation/Memory.h"

namespace tarnwick {
namespace {

constexpr std::uint32_t kMaxLineStart = 65535;   // line starts are 16-bit at the host

// The three text handles of a memo while they are built; released unless handed over.
struct TextHandles {
    host::Handle text = nullptr;
    host::Handle paragraphs = nullptr;
    host::Handle lineStarts = nullptr;
    ~TextHandles() {
        host::disposeParagraphs(paragraphs);
        disposeHandle(text);
        disposeHandle(lineStarts);
    }
};

void releaseText(host::ElementMemo& memo) {
    host::disposeParagraphs(memo.paragraphs);
    memo.paragraphs = nullptr;
    disposeHandle(memo.textContent);
    disposeHandle(memo.textLineStarts);
}

// The end of the line break at `at` (CR LF and LF CR count as one), within length.
std::uint32_t breakEnd(const String& text, std::uint32_t at, std::uint32_t length) {
    const String::LineBreak found = text.findLineBreak(at, std::min(at + 2, length));
    return found.next == String::npos ? length : found.next;
}

// Appends the paragraph's record, with its runs and line ends, to the paragraph handle.
void writeParagraph(const StyledString& text, const TextRuler& ruler, std::uint32_t start, std::uint32_t end,
                    host::Handle& paragraphs, bool& styleMissing) {
    host::ParagraphRecord record{};
    record.start = static_cast<std::int32_t>(start);
    record.length = static_cast<std::int32_t>(end - start);
    struct Guard {   // the record's own handles until it is in the paragraph handle
        host::ParagraphRecord& record;
        bool kept = false;
        ~Guard() {
            if (kept) return;
            disposeHandle(record.tabs);
            disposeHandle(record.runs);
            disposeHandle(record.lineEnds);
        }
    } guard{record};
    ruler.writeParagraph(record);
    std::vector<host::TextRecord> runs;
    for (std::uint32_t i = 0; i < text.getStyleRunCount(); ++i) {
        const StyledString::StyleRun run = text.getStyleRun(i);
        const std::uint32_t from = std::max(run.start, start), to = std::min(run.start + run.count, end);
        if (from >= to) continue;
        if (run.object == nullptr) {
            styleMissing = true;
            return;
        }
        runs.push_back(run.object->toHostRecord(static_cast<std::int32_t>(from - start),
                                                static_cast<std::int32_t>(to - from)));
    }
    record.runs = ptrToHandle(runs.data(), runs.size() * sizeof(host::TextRecord));
    std::vector<std::int32_t> lineEnds;
    for (std::uint32_t at = start; at < end;) {
        const String::LineBreak found = text.findLineBreak(at, end);
        const std::uint32_t lineEnd = found.at == String::npos ? end : breakEnd(text, found.at, end);
        lineEnds.push_back(static_cast<std::int32_t>(lineEnd - 1 - start));
        at = lineEnd;
    }
    record.lineEnds = ptrToHandle(lineEnds.data(), lineEnds.size() * sizeof(std::int32_t));
    ptrAndHandle(&record, paragraphs, sizeof record);
    guard.kept = true;
}

}   // namespace

StyledTextHolder::~StyledTextHolder() = default;

const StyledString& StyledTextHolder::get() {
    StyledString loaded;
    if (fetchRecord() && loadText(loaded)) text_ = loaded;
    return text_;
}

void StyledTextHolder::set(const StyledString& text, bool keepFormatting) {
    const StyledString old = get();
    text_ = text;
    if (!keepFormatting) return;
    if (const StyledString::RulerRun first = old.getRulerRun(0); first.object)
        text_.setRuler(*first.object, 0, String::npos);
    TextStyle working(0, StyledString::kDefaultSize);
    std::uint64_t covered = 0;
    for (std::uint32_t i = 0; i < old.getStyleRunCount(); ++i) {
        const StyledString::StyleRun run = old.getStyleRun(i);
        if (run.count == 0 || run.object == nullptr) continue;
        working = *run.object;
        text_.setStyle(working, run.start, run.count);
        covered += run.count;
    }
    if (covered < text_.getLength())
        text_.setStyle(working, static_cast<std::uint32_t>(covered), String::npos);
}

bool StyledTextHolder::writeRecords(const StyledString& text, host::ElementMemo& memo) {
    releaseText(memo);
    const std::uint32_t length = text.getLength();
    if (length == 0 || text.getStyleRunCount() == 0 || text.getRulerRunCount() == 0) return false;
    TextHandles made;
    made.text = allocateHandle(text.getByteLength() + std::size_t{1});   // cleared: the terminator is there
    std::memcpy(*made.text, text.getText(), text.getByteLength());
    // Paragraphs: a ruler run each. A ruler that starts inside a line splits it rather than letting two
    // paragraphs overlap; rulers set per line end with their line's break.
    bool styleMissing = false;
    for (std::uint32_t i = 0; i < text.getRulerRunCount() && !styleMissing; ++i) {
        const StyledString::RulerRun run = text.getRulerRun(i);
        if (run.count == 0) continue;
        if (run.object == nullptr) return false;
        writeParagraph(text, *run.object, run.start, run.start + run.count, made.paragraphs, styleMissing);
    }
    if (styleMissing) return false;
    std::vector<std::uint16_t> lineStarts{0};
    for (std::uint32_t at = 0;;) {
        const String::LineBreak found = text.findLineBreak(at);
        if (found.at == String::npos || found.next == String::npos) break;
        if (found.next > kMaxLineStart) return false;   // would wrap
        lineStarts.push_back(static_cast<std::uint16_t>(found.next));
        at = found.next;
    }
    made.lineStarts = ptrToHandle(lineStarts.data(), lineStarts.size() * sizeof(std::uint16_t));
    memo.textContent = std::exchange(made.text, nullptr);
    memo.paragraphs = std::exchange(made.paragraphs, nullptr);
    memo.textLineStarts = std::exchange(made.lineStarts, nullptr);
    return true;
}

bool StyledTextHolder::readRecords(const host::ElementMemo& memo, StyledString& text) {
    const std::size_t bytes = getHandleSize(memo.textContent);
    if (bytes == 0) return false;
    StyledString read;
    read.setText(*memo.textContent, static_cast<std::uint32_t>(strnlen(*memo.textContent, bytes)));
    const std::uint64_t length = read.getLength();
    const std::size_t count = getHandleSize(memo.paragraphs) / sizeof(host::ParagraphRecord);
    std::vector<host::ParagraphRecord> paragraphs(count);
    if (count != 0) std::memcpy(paragraphs.data(), *memo.paragraphs, count * sizeof(host::ParagraphRecord));
    for (std::size_t i = 0; i < count; ++i) {
        const host::ParagraphRecord& paragraph = paragraphs[i];
        if (paragraph.start < 0 || static_cast<std::uint64_t>(paragraph.start) >= length) continue;
        const auto start = static_cast<std::uint32_t>(paragraph.start);
        const std::uint64_t next = i + 1 < count && paragraphs[i + 1].start > paragraph.start
                                       ? static_cast<std::uint64_t>(paragraphs[i + 1].start)
                                       : length;
        read.setRuler(TextRuler(paragraph), start,
                      static_cast<std::uint32_t>(std::min(next, length) - start));
        // Runs stay inside their paragraph; the last one reaches its end.
        const std::uint64_t end = std::min<std::uint64_t>(start + std::max(paragraph.length, 0), length);
        const std::size_t runCount = getHandleSize(paragraph.runs) / sizeof(host::TextRecord);
        for (std::size_t r = 0; r < runCount; ++r) {
            host::TextRecord run;
            std::memcpy(&run, *paragraph.runs + r * sizeof run, sizeof run);
            if (run.word0 < 0) continue;
            const std::uint64_t from = start + static_cast<std::uint64_t>(run.word0);
            const std::uint64_t to =
                r + 1 == runCount ? end : std::min<std::uint64_t>(from + std::max(run.word1, 0), end);
            if (from >= to) continue;
            read.setStyle(TextStyle(run), static_cast<std::uint32_t>(from),
                          static_cast<std::uint32_t>(to - from));
        }
    }
    text = read;
    return true;
}

}   // namespace tarnwick

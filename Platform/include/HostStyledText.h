// The host's records of a multi-style text, as an element's memo carries them (textContent, paragraphs,
// textLineStarts): the text's UTF-8 bytes with a terminator, one paragraph record per paragraph with
// its tab stops, its runs of one text style (TextRecord, HostFonts.h) and its line ends, and the start
// of every line of the whole text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostMemory.h"

namespace host {

// One tab stop of a paragraph. The kind and position are the host's paragraph values, carried.
struct TabRecord {
    std::int32_t kind;
    std::uint8_t reserved4[4];
    double position;
    std::uint8_t reserved16[24];
};
static_assert(sizeof(TabRecord) == 40);
static_assert(offsetof(TabRecord, kind) == 0);
static_assert(offsetof(TabRecord, position) == 8);

// One paragraph of a multi-style text. Positions count characters; a run's start and length are
// relative to its paragraph. The values A to G are the host's paragraph formatting, carried unchanged.
struct ParagraphRecord {
    std::int32_t start;    // the paragraph's first character in the whole text
    std::int32_t length;   // up to and including its line break
    std::int64_t valueA;
    double realC;
    double realB;
    double realD;
    double realE;
    Handle tabs;       // TabRecords; may be null
    Handle runs;       // TextRecords (48 bytes) with word0 the run's start and word1 its length
    Handle lineEnds;   // int32_t: the relative position of the last character of each line
    std::uint8_t reserved72[8];
    std::int64_t valueF;
    std::int64_t valueG;
    std::uint8_t reserved96[16];
};
static_assert(sizeof(ParagraphRecord) == 112);
static_assert(offsetof(ParagraphRecord, start) == 0);
static_assert(offsetof(ParagraphRecord, length) == 4);
static_assert(offsetof(ParagraphRecord, valueA) == 8);
static_assert(offsetof(ParagraphRecord, realC) == 16);
static_assert(offsetof(ParagraphRecord, realB) == 24);
static_assert(offsetof(ParagraphRecord, realD) == 32);
static_assert(offsetof(ParagraphRecord, realE) == 40);
static_assert(offsetof(ParagraphRecord, tabs) == 48);
static_assert(offsetof(ParagraphRecord, runs) == 56);
static_assert(offsetof(ParagraphRecord, lineEnds) == 64);
static_assert(offsetof(ParagraphRecord, valueF) == 80);
static_assert(offsetof(ParagraphRecord, valueG) == 88);

inline constexpr std::size_t kRunRecordBytes = 48;   // a TextRecord

// Releases the paragraphs' handles of tabs, runs and line ends, then the paragraph handle itself. Null is
// allowed. kErrBadHandle when one of them was unknown (the others are released all the same).
Result disposeParagraphs(Handle paragraphs);

}   // namespace host

// Styled text: runs that follow the text through edits, the paragraph ruler's record, and the exchange
// with the host's records of a multi-style text, through the stand-in project file and back.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostMemory.h>
#include <HostStyledText.h>
#include <SimProject.h>

#include "Interface/StyledString.h"
#include "Interface/StyledTextHolder.h"
#include "Interface/TextRuler.h"

using tarnwick::String;
using tarnwick::StyledString;
using tarnwick::StyledTextHolder;
using tarnwick::TextRuler;
using tarnwick::TextStyle;

namespace {

const TextStyle kBold(host::kTextBold, 3.0);
const TextStyle kDefault(0, StyledString::kDefaultSize);

// "start:count:B" per style run, B for bold, D for the default style, ? for another.
std::string styleRuns(const StyledString& text) {
    std::string out;
    for (std::uint32_t i = 0; i < text.getStyleRunCount(); ++i) {
        const auto run = text.getStyleRun(i);
        const char kind = !run.object               ? '-'
                          : *run.object == kBold    ? 'B'
                          : *run.object == kDefault ? 'D'
                                                    : '?';
        out += (out.empty() ? "" : " ") + std::to_string(run.start) + ":" + std::to_string(run.count) + ":" +
               kind;
    }
    return out;
}

TextRuler rulerWithTabs(std::int64_t a, std::initializer_list<double> positions) {
    TextRuler ruler;
    ruler.valueA = a;
    ruler.realB = 1.5;
    ruler.realC = 2.5;
    ruler.realD = -3.25;
    ruler.realE = 0.01;
    ruler.valueF = 7;
    ruler.valueG = -9;
    std::int64_t kind = 1;
    for (double position : positions)
        ruler.addTab(TextRuler::Tab(host::TabRecord{static_cast<std::int32_t>(kind++), {}, position, {}}));
    return ruler;
}

}   // namespace

TEST(StyledStringTest, RunsFollowEditsOfTheText) {
    struct Case {
        const char* name;
        StyledString (*make)();
        const char* runs;
    };
    const Case cases[] = {
        {"new text", [] { return StyledString("abc"); }, "0:3:D"},
        {"middle character",
         [] {
             StyledString s("abcd");
             s.setStyle(kBold, 1, 1);
             return s;
         },
         "0:1:D 1:1:B 2:2:D"},
        {"whole text",
         [] {
             StyledString s("abcd");
             s.setStyle(kBold, 0, String::npos);
             return s;
         },
         "0:4:B"},
        {"count 0 changes nothing",
         [] {
             StyledString s("abcd");
             s.setStyle(kBold, 1, 0);
             return s;
         },
         "0:4:D"},
        {"append shifts the runs",
         [] {
             StyledString s("abc");
             StyledString t("de");
             t.setStyle(kBold, 0, String::npos);
             s.append(t);
             return s;
         },
         "0:3:D 3:2:B"},
        {"substring rebases",
         [] {
             StyledString s("abcdefg");
             s.setStyle(kBold, 3, 2);
             return s.substring(2, 3);
         },
         "0:1:D 1:2:B"},
        {"replace keeps the outer formatting",
         [] {
             StyledString s("abcd");
             s.setStyle(kBold, 0, String::npos);
             s.replace(1, 2, String("XY"));
             return s;
         },
         "0:1:B 1:2:D 3:1:B"},
        {"setLength cuts runs, counting characters",
         [] {
             StyledString s(
                 "\xC3\xA9\xC3\xA9"
                 "cd");
             s.setStyle(kBold, 3, 1);
             s.setLength(2);
             return s;
         },
         "0:2:D"},
        {"a shorter assigned text keeps no run past its end",
         [] {
             StyledString s("abcdef");
             s.setStyle(kBold, 4, 2);
             s.assign("ab");
             return s;
         },
         "0:2:D"},
        {"setLength (0) empties the maps; a style set then does nothing",
         [] {
             StyledString s("abcd");
             s.setStyle(kBold, 0, 2);
             s.setLength(0);
             s.setStyle(kBold, 0, String::npos);
             return s;
         },
         ""},
        {"appending to a text cut to nothing takes the appended maps",
         [] {
             StyledString s("abcd");
             s.setLength(0);
             StyledString tail("xyz");
             tail.setStyle(kBold, 1, 1);
             s.append(tail);
             return s;
         },
         "0:1:D 1:1:B 2:1:D"},
        {"text assigned after setLength (0) takes the default style",
         [] {
             StyledString s("abcd");
             s.setStyle(kBold, 0, String::npos);
             s.setLength(0);
             s.assign("xyz");
             return s;
         },
         "0:3:D"},
        {"a copy of a part keeps no run past its end for an append to bring back",
         [] {
             StyledString s("abcdef");
             s.setStyle(kBold, 4, 2);
             StyledString part(s, 0, 3);
             part.append(StyledString("xyz"));
             return part;
         },
         "0:3:D 3:3:D"},
        {"upper case keeps the runs",
         [] {
             StyledString s("abcd");
             s.setStyle(kBold, 2, 2);
             return s.toUpper();
         },
         "0:2:D 2:2:B"},
    };
    for (const Case& c : cases) EXPECT_EQ(styleRuns(c.make()), c.runs) << c.name;

    const StyledString text("abc");
    EXPECT_EQ(text.getStyleAt(3).object, nullptr);
    EXPECT_EQ(text.getStyleAt(2).start, 0u);
    EXPECT_EQ(text.getRulerRun(0).count, 3u);
    EXPECT_EQ(text.toUpper(), String("ABC"));
}

TEST(StyledStringTest, AppendCarriesTheRulerOfTheFirstNewParagraph) {
    const TextRuler wide = rulerWithTabs(5, {});
    StyledString first("ab\r\n");
    StyledString second("cd\nef");
    second.setRuler(wide, 0, String::npos);
    first.append(second);
    ASSERT_EQ(first.getRulerRunCount(), 2u);
    EXPECT_EQ(first.getRulerRun(1).start, 4u);
    EXPECT_EQ(first.getRulerRun(1).object->valueA, 5);

    StyledString noBreak("ab");   // no paragraph begins after the join
    StyledString oneLine("cd");
    oneLine.setRuler(wide, 0, String::npos);
    noBreak.append(oneLine);
    EXPECT_EQ(noBreak.getRulerRunCount(), 1u);
    EXPECT_EQ(noBreak.getRulerRun(0).object->valueA, 0);
}

TEST(StyledStringTest, RulerReadsAndWritesItsParagraphRecord) {
    const host::MemoryStats before = host::memoryStats();
    host::ParagraphRecord record{};
    TextRuler().writeParagraph(record);
    EXPECT_EQ(record.valueA, 0);
    EXPECT_DOUBLE_EQ(record.realB, 0.0);
    EXPECT_DOUBLE_EQ(record.realE, 0.003);
    ASSERT_NE(record.tabs, nullptr);
    EXPECT_EQ(host::getHandleSize(record.tabs), 0u);

    // Written over a record that holds a tab block: the block is reused, none is left behind.
    const TextRuler ruler = rulerWithTabs(3, {10.0, 20.5});
    ruler.writeParagraph(record);
    EXPECT_EQ(host::getHandleSize(record.tabs), 80u);
    const TextRuler read(record);
    EXPECT_TRUE(read == ruler);
    ASSERT_NE(read.getTabs(), nullptr);
    EXPECT_EQ((*read.getTabs())[1]->kind, 2);
    EXPECT_DOUBLE_EQ((*read.getTabs())[1]->position, 20.5);

    host::ParagraphRecord bare{};
    const TextRuler untabbed(bare);
    EXPECT_EQ(untabbed.getTabs(), nullptr);
    host::disposeHandle(record.tabs);
    EXPECT_EQ(host::memoryStats().liveHandles, before.liveHandles);
}

TEST(StyledStringTest, HostRecordsRoundTripThroughTheProjectFile) {
    StyledString text("Title\r\nBody one\nBody two");
    text.setStyle(kBold, 0, 5);
    text.setStyle(TextStyle(host::kTextItalic, 2.0), 12, 3);
    text.setRuler(rulerWithTabs(1, {5.0}), 0, 7);
    text.setRuler(rulerWithTabs(2, {1.0, 2.0, 3.0}), 7, String::npos);

    host::ElementMemo memo{};
    ASSERT_TRUE(StyledTextHolder::writeRecords(text, memo));
    ASSERT_EQ(host::getHandleSize(memo.paragraphs), 2 * sizeof(host::ParagraphRecord));
    host::ParagraphRecord second;
    std::memcpy(&second, *memo.paragraphs + sizeof second, sizeof second);
    EXPECT_EQ(second.start, 7);
    EXPECT_EQ(second.length, 17);
    ASSERT_EQ(host::getHandleSize(second.lineEnds), 2 * sizeof(std::int32_t));
    std::int32_t lineEnds[2];
    std::memcpy(lineEnds, *second.lineEnds, sizeof lineEnds);
    EXPECT_EQ(lineEnds[0], 8);   // the line feed ending "Body one"
    EXPECT_EQ(lineEnds[1], 16);
    std::uint16_t lineStarts[3];
    ASSERT_EQ(host::getHandleSize(memo.textLineStarts), sizeof lineStarts);
    std::memcpy(lineStarts, *memo.textLineStarts, sizeof lineStarts);
    EXPECT_EQ(lineStarts[1], 7);
    EXPECT_EQ(lineStarts[2], 16);

    // Into the stand-in's project, saved, loaded and handed out again.
    host::SimProject project;
    std::string error;
    ASSERT_TRUE(project.loadText(R"({"elements": [{"guid": "7E470000-0000-4000-8000-000000000001", "type": 8,
        "variation": 0, "storey": 0, "layer": 1}]})",
                                 error))
        << error;
    host::SimElement& element = project.state.elements[0];
    ASSERT_EQ(host::memoFromRecord(memo, host::kMemoText, true, element.memo), host::kNoError);
    EXPECT_EQ(host::disposeMemoRecord(memo), host::kNoError);
    host::SimProject reloaded;
    ASSERT_TRUE(reloaded.loadText(project.saveText(), error)) << error;
    EXPECT_TRUE(reloaded.state.elements[0].memo == element.memo);
    host::ElementMemo back{};
    ASSERT_EQ(host::memoToRecord(reloaded.state.elements[0].memo, host::kMemoText, back), host::kNoError);
    StyledString read;
    ASSERT_TRUE(StyledTextHolder::readRecords(back, read));
    EXPECT_EQ(read, text);
    EXPECT_EQ(styleRuns(read), "0:5:B 5:2:D 7:5:D 12:3:? 15:9:D");
    ASSERT_EQ(read.getRulerRunCount(), 2u);
    EXPECT_TRUE(*read.getRulerRun(0).object == rulerWithTabs(1, {5.0}));
    EXPECT_TRUE(*read.getRulerRun(1).object == rulerWithTabs(2, {1.0, 2.0, 3.0}));
    EXPECT_EQ(host::disposeMemoRecord(back), host::kNoError);

    // A paragraph part cut short in the file is refused with where it broke.
    const std::string saved = project.saveText();
    const auto at = saved.find("\"paragraphs\":\"");
    ASSERT_NE(at, std::string::npos);
    std::string cut = saved;
    cut.replace(at + 14, 8, "");
    EXPECT_FALSE(reloaded.loadText(cut, error));
    EXPECT_NE(error.find("paragraphs"), std::string::npos) << error;
}

TEST(StyledStringTest, HostRecordsAreWrittenOnlyForTextsTheyCanHold) {
    host::ElementMemo memo{};
    EXPECT_FALSE(StyledTextHolder::writeRecords(StyledString(), memo));
    EXPECT_EQ(memo.textContent, nullptr);
    // A line starting past 65535 characters cannot be given as a 16-bit line start.
    StyledString longText(70000, 'x');
    longText.append(StyledString("\ny"));
    EXPECT_FALSE(StyledTextHolder::writeRecords(longText, memo));
    EXPECT_EQ(memo.paragraphs, nullptr);

    // A run reaching past its paragraph is kept inside it.
    StyledString text("ab\ncd");
    text.setRuler(TextRuler(), 3, String::npos);
    ASSERT_TRUE(StyledTextHolder::writeRecords(text, memo));
    host::ParagraphRecord first;
    std::memcpy(&first, *memo.paragraphs, sizeof first);
    const host::TextRecord run = kBold.toHostRecord(0, 50);
    std::memcpy(*first.runs, &run, sizeof run);
    StyledString read;
    ASSERT_TRUE(StyledTextHolder::readRecords(memo, read));
    EXPECT_EQ(styleRuns(read), "0:3:B 3:2:D");
    EXPECT_EQ(host::disposeMemoRecord(memo), host::kNoError);

    // A ruler starting inside a line splits the line rather than letting two paragraphs overlap.
    StyledString split("abcdef");
    split.setRuler(rulerWithTabs(2, {1.0}), 4, String::npos);
    host::ElementMemo splitMemo{};
    ASSERT_TRUE(StyledTextHolder::writeRecords(split, splitMemo));
    ASSERT_EQ(host::getHandleSize(splitMemo.paragraphs), 2 * sizeof(host::ParagraphRecord));
    host::ParagraphRecord paragraphs[2];
    std::memcpy(paragraphs, *splitMemo.paragraphs, sizeof paragraphs);
    EXPECT_EQ(paragraphs[0].start, 0);
    EXPECT_EQ(paragraphs[0].length, 4);
    EXPECT_EQ(paragraphs[1].start, 4);
    EXPECT_EQ(paragraphs[1].length, 2);
    EXPECT_EQ(host::disposeMemoRecord(splitMemo), host::kNoError);
}

namespace {

// A holder over a text the test hands it, as a text element's holder is over its host records.
class HeldText : public StyledTextHolder {
public:
    bool available = true;
    StyledString host;

protected:
    bool fetchRecord() override { return available; }
    bool loadText(StyledString& text) override {
        text = host;
        return true;
    }
};

}   // namespace

TEST(StyledStringTest, AHolderKeepsItsTextWhenTheHostHasNoneAndLaysTheOldFormattingOverANewText) {
    HeldText holder;
    holder.host = StyledString("abcd");
    holder.host.setStyle(kBold, 0, 2);
    holder.host.setRuler(rulerWithTabs(3, {10.0}), 0, String::npos);
    EXPECT_EQ(styleRuns(holder.get()), "0:2:B 2:2:D");
    holder.available = false;
    EXPECT_EQ(holder.get(), String("abcd"));   // what was held stays

    holder.available = true;
    holder.set(StyledString("wxyz1234"), /*keepFormatting=*/true);
    EXPECT_EQ(styleRuns(holder.getHeld()), "0:2:B 2:2:D 4:4:D");   // the last old run goes on to the end
    EXPECT_EQ(*holder.getHeld().getRulerRun(0).object, rulerWithTabs(3, {10.0}));
    EXPECT_EQ(holder.getHeld().getRulerRun(0).count, 8u);

    StyledString plain("pq");
    holder.set(plain, /*keepFormatting=*/false);
    EXPECT_EQ(styleRuns(holder.getHeld()), "0:2:D");
    EXPECT_EQ(holder.getHeld(), String("pq"));
}

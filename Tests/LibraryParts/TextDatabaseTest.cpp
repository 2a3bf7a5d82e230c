#include "LibraryParts/TextDatabase.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Foundation/DataFile.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Support/MemoryCheck.h"

using namespace tarnwick;

namespace {

MemoryBlock blockOf(const std::string& text) { return MemoryBlock(ptrToHandle(text.data(), text.size())); }

// Every record as its cells joined by '|', records by '/'; the header first in brackets.
std::string describe(const TextDatabase& table) {
    std::string out;
    const auto cells = [](const TextRecord& record) {
        std::string line;
        for (const auto& field : record) line += (line.empty() ? "" : "|") + std::string(field->getView());
        return line;
    };
    if (table.getHeader()) out += "[" + cells(*table.getHeader()) + "]";
    for (const auto& record : table) out += "/" + cells(*record);
    return out;
}

}   // namespace

class TextTables : public MemoryCheck {};

TEST_F(TextTables, ReadLinesIntoCellsAtTheSeparator) {
    struct Case {
        const char* what;
        std::string text;
        bool header;
        const char* separator;
        std::string expected;
    };
    const Case cases[] = {
        {"tabs found, CR LF", "a\tb\r\nc\td\r\n", false, "", "/a|b/c|d"},
        {"header", "a\tb\r\nc\td\r\n", true, "", "[a|b]/c|d"},
        {"a trailing comma is an empty cell", "x,y,", false, ",", "/x|y|"},
        {"commas when no tab", "1,2\n\n\n3,4", false, "", "/1|2/3|4"},
        {"no quoting", "\"a,b\",c", false, ",", "/\"a|b\"|c"},
        {"a last line without its end", "só\tñ", false, "", "/só|ñ"},
        {"nothing", "", true, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextDatabase table;
        EXPECT_TRUE(table.read(blockOf(c.text), c.header, 0, c.separator, "\r\n"));
        EXPECT_EQ(describe(table), c.expected);
    }
}

TEST_F(TextTables, ReadsLongInputInChunksWithoutSplittingOrLooping) {
    // A separator found in the first chunk holds for the whole read: a tab table whose cells hold commas,
    // also in a later chunk that holds no tab.
    std::string text;
    for (int i = 0; text.size() < 3 * TextDatabase::kChunkBytes; ++i)
        text += "é" + std::to_string(i) + ",x\tz\n";
    const auto tabbed = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    while (text.size() < 5 * TextDatabase::kChunkBytes) text += "c,d\n";
    TextDatabase table;
    ASSERT_TRUE(table.read(blockOf(text), false, 0, "", "\n"));
    std::size_t lines = 0;
    for (const auto& record : table) {
        ASSERT_EQ(record->size(), lines < tabbed ? 2u : 1u) << "line " << lines;
        EXPECT_EQ(std::string((*record)[0]->getView()),
                  lines < tabbed ? "é" + std::to_string(lines) + ",x" : "c,d");
        ++lines;
    }
    EXPECT_EQ(lines, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));

    // A line longer than a chunk neither loops nor reads past its block; a count past the block is cut.
    TextDatabase longLine;
    const std::string wide(TextDatabase::kChunkBytes + 100, 'w');
    ASSERT_TRUE(longLine.read(blockOf(wide), false, 10 * wide.size(), ",", ""));
    std::size_t bytes = 0;
    for (const auto& record : longLine) bytes += (*record)[0]->getByteLength();
    EXPECT_EQ(bytes, wide.size());

    // Appended records stay; the header comes from this read.
    TextDatabase twice;
    twice.read(blockOf("old\n"), false, 0, ",", "\n");
    twice.read(blockOf("h1,h2\nv1,v2\n"), true, 0, ",", "\n");
    EXPECT_EQ(describe(twice), "[h1|h2]/old/v1|v2");
}

TEST_F(TextTables, WritesAndFindsColumnsAndConvertsCells) {
    TextDatabase table(std::make_unique<TextRecord>("Name"));
    table.getHeader()->push_back(std::make_unique<TextField>(String("Wïdth")));
    auto record = table.makeRecord();
    record->push_back(std::make_unique<TextField>(String("1")));
    record->push_back(std::make_unique<TextField>(String("2")));
    table.push_back(std::move(record));
    EXPECT_EQ(table.findColumn("NAME", false), 0);
    EXPECT_EQ(table.findColumn("NAME", true), -1);
    EXPECT_EQ(table.findColumn("wïdth", false), 1);
    EXPECT_EQ(table.getHeaderFieldCount(), 2u);

    String text;
    ASSERT_TRUE(table.write(text, ","));
    EXPECT_EQ(text, "Name,Wïdth\r\n1,2\r\n");
    host::Handle handle = nullptr;
    ASSERT_TRUE(table.write(handle, "\t"));
    EXPECT_EQ(std::string(*handle, getHandleSize(handle)), std::string("Name\tWïdth\r\n1\t2\r\n\0", 18 + 1));
    disposeHandle(handle);
    EXPECT_EQ(TextRecord().join(","), "");

    const auto path =
        std::filesystem::temp_directory_path() / ("text-table-" + std::to_string(::getpid()) + ".txt");
    {
        std::ofstream stale(path);
        stale << std::string(200, 's');   // longer than what is written
    }
    DataFile file(FileLocation(path.string()));
    ASSERT_TRUE(table.write(file, ","));
    TextDatabase back;
    ASSERT_TRUE(back.read(file, true, "", "\r\n"));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(describe(back), "[Name|Wïdth]/1|2");
    std::filesystem::remove(path);
    DataFile missing(FileLocation(path.string()));
    EXPECT_FALSE(back.read(missing, false, "", "\n"));

    TextField cell(String(" 42"));
    std::int32_t number = 0;
    EXPECT_TRUE(cell.getInt32(number));
    EXPECT_EQ(number, 42);
    bool flag = false;
    EXPECT_TRUE(TextField(String("1")).getBool(flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(TextField(String("x")).getInt32(number));
    EXPECT_EQ(number, 42);
    cell.setReal(0.1);
    EXPECT_EQ(cell, "0.1");
    cell.setReal(1234567.89);
    EXPECT_EQ(cell, "1234567.89");
}

// Delimited text tables and the value lists of a parameter script on any bytes. The first byte picks the
// separator (found, "," or a tab) and whether the first line is a header; the rest is the table's text.
// A table reads without going past its input or taking more bytes than it has, and one whose lines are
// all short (and no NUL) writes a text that reads back to the same cells. The same bytes as a library part's
// parameter script give value lists whose every value lies in the script.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "LibraryParts/ObjectSource.h"
#include "LibraryParts/TextDatabase.h"

namespace {
using namespace tarnwick;

std::string cellsOf(const TextDatabase& table) {
    std::string out;
    const auto add = [&out](const TextRecord& record) {
        for (const auto& field : record) out += std::string(field->getView()) + '\x1f';
        out += '\x1e';
    };
    if (table.getHeader()) add(*table.getHeader());
    for (const auto& record : table) add(*record);
    return out;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char* separators[] = {"", ",", "\t"};
    const char* separator = separators[data[0] % 3];
    const bool header = (data[0] & 4) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    TextDatabase table;
    const MemoryBlock block(text.empty() ? nullptr : ptrToHandle(text.data(), text.size()));
    if (!table.read(block, header, 0, separator, "\r\n")) std::abort();   // a block never fails
    std::size_t bytes = 0;
    const auto count = [&bytes](const TextRecord& record) {
        for (const auto& field : record) bytes += field->getByteLength();
    };
    if (table.getHeader()) count(*table.getHeader());
    for (const auto& record : table) count(*record);
    if (bytes > text.size() * 3) std::abort();   // a malformed byte may become U+FFFD, no more

    bool shortLines = true;
    std::size_t line = 0;
    for (char c : text) {
        line = (c == '\r' || c == '\n') ? 0 : line + 1;
        if (line > 4000) shortLines = false;
    }
    // A NUL ends a cell's text, so a line of NULs comes back as an empty line: no round trip then.
    if (shortLines && *separator != '\0' && text.find('\0') == std::string_view::npos) {
        String written;
        table.write(written, separator);
        TextDatabase back;
        const MemoryBlock again(written.isEmpty() ? nullptr
                                                  : ptrToHandle(written.getText(), written.getByteLength()));
        back.read(again, header, 0, separator, "\r\n");
        if (cellsOf(back) != cellsOf(table)) std::abort();
    }

    ObjectSource part;
    part.setParameterScript(String(text));
    const String script = part.getParameterScript();
    for (const char* name : {"a", "x", "mat", ""}) {
        if (const TextRecord* values = part.getValueLists(name)) {
            for (const auto& value : *values)
                if (script.find(*value) == String::npos) std::abort();
        }
    }
    return 0;
}

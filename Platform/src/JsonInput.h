// The checks every JSON file the host reads goes through before it is taken apart: syntax errors are
// told with their line and column, nesting deeper than the host takes is refused (taking such a text
// apart would exhaust the stack), and an object that names one key twice is refused (a JSON reader
// would keep only one of the two values, silently).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host {

// Arrays and objects nest at most this deep in a file the host reads, and so in one it writes.
constexpr std::size_t kMaxJsonDepth = 512;

// The offset of the first '[' or '{' that opens a level deeper than kMaxJsonDepth in a well-formed
// text (text.size() when there is none). Quotes and escapes are followed, so brackets in strings
// do not count.
std::size_t firstTooDeep(std::string_view text);

// True when the text is one well-formed JSON value whose objects name each key once. Otherwise false,
// with the reason in `error`: "not valid JSON at line 3, column 5: <what the parser saw>", or
// "nested deeper than 512 levels at line 1, column 513", or "duplicate key \"name\" in
// library.parts[1]" (the path from the top; "at the top level" there).
bool checkJsonInput(std::string_view text, std::string& error);

}   // namespace host

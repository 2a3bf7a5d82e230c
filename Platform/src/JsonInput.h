// The checks every JSON file the host reads goes through before it is taken apart: syntax errors are
// told with their line and column, and an object that names one key twice is refused (a JSON reader
// would keep only one of the two values, silently).
#pragma once

#include <string>
#include <string_view>

namespace host {

// True when the text is one well-formed JSON value whose objects name each key once. Otherwise false,
// with the reason in `error`: "not valid JSON at line 3, column 5: <what the parser saw>", or
// "duplicate key \"name\" in library.parts[1]" (the path from the top; "at the top level" there).
bool checkJsonInput(std::string_view text, std::string& error);

}   // namespace host

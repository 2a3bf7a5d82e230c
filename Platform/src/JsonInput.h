// The checks every JSON file the host reads goes through before it is taken apart: syntax errors are
// told with their line and column, nesting deeper than the host takes is refused (taking such a text
// apart would exhaust the stack), and an object that names one key twice is refused (a JSON reader
// would keep only one of the two values, silently).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

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

// Builds a document as its text streams by, handing each item of the lists it is told of to a taker as
// soon as the item is complete: those lists stay empty in the document, so the largest parts of a file
// are never held whole as a tree. For a text that checkJsonInput has passed.
class JsonStreamReader {
public:
    using Json = nlohmann::ordered_json;
    // The item's place in its list, and the item.
    using Taker = std::function<void(std::size_t index, Json&& item)>;

    // The list under these keys from the top (objects all the way down) goes to `taker`.
    void takeItems(std::vector<std::string> keys, Taker taker);
    // False with the parser's reason in `error` when the text is not one JSON value.
    bool read(std::string_view text, Json& document, std::string& error);

private:
    struct TakenList {
        std::vector<std::string> keys;
        Taker taker;
    };
    std::vector<TakenList> taken_;
};

}   // namespace host

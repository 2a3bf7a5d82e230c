#include "JsonInput.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <set>
#include <vector>

#include <nlohmann/json.hpp>

#include "HostText.h"

namespace host {
namespace {

using Json = nlohmann::json;

// Line and column (both from 1) of the byte before `position`, the last one the parser read.
std::string placeOf(std::string_view text, std::size_t position) {
    const std::size_t at = std::min(position > 0 ? position - 1 : 0, text.size());
    const std::size_t lineStart = text.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + at, '\n'));
    const std::size_t column = lineStart == std::string_view::npos || at == 0 ? at + 1 : at - lineStart;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The offset of the first byte outside a string that `stops` is true of (text.size() when there is none).
// Quotes and escapes are followed, so that a quote, a bracket or a NUL inside a string does not count.
template <typename Stops>
std::size_t firstOutsideStrings(std::string_view text, Stops stops) {
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;   // the escaped character, a quote included
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (stops(c)) {
            return i;
        }
    }
    return text.size();
}

// The offset of the first NUL byte outside a string (text.size() when there is none). Nearly every text
// holds no NUL at all, which one search at memory speed tells; only one that does is walked.
std::size_t firstNulOutsideStrings(std::string_view text) {
    if (std::memchr(text.data(), '\0', text.size()) == nullptr) return text.size();
    return firstOutsideStrings(text, [](char c) { return c == '\0'; });
}

// The parser's message without its "[json.exception...] " tag and its own "parse error at ...: " place.
std::string reasonOf(const nlohmann::detail::exception& exception) {
    std::string what = exception.what();
    if (const std::size_t tagEnd = what.find("] "); tagEnd != std::string::npos) what.erase(0, tagEnd + 2);
    if (what.rfind("parse error", 0) == 0)
        if (const std::size_t colon = what.find(": "); colon != std::string::npos) what.erase(0, colon + 2);
    // What it read last, in single quotes, may be a whole number of a million digits.
    const std::size_t open = what.find('\''), close = what.rfind('\'');
    if (open != std::string::npos && close > open)
        what = what.substr(0, open) +
               quotedInput(std::string_view(what).substr(open + 1, close - open - 1), '\'') +
               what.substr(close + 1);
    return what;
}

// Walks the text as events, keeping where it is, so that a duplicate key can be named with its path.
class Checker : public nlohmann::json_sax<Json> {
public:
    explicit Checker(std::string_view text) : text_(text) {}

    bool null() override { return value(); }
    bool boolean(bool) override { return value(); }
    bool number_integer(number_integer_t) override { return value(); }
    bool number_unsigned(number_unsigned_t) override { return value(); }
    bool number_float(number_float_t, const string_t&) override { return value(); }
    bool string(string_t&) override { return value(); }
    bool binary(binary_t&) override { return value(); }
    bool start_object(std::size_t) override { return open(true); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }

    bool key(string_t& key) override {
        Frame& object = frames_.back();
        // Noted, not stopped at: a syntax error further on is what the text has first to answer for.
        if (!object.keys.insert(key).second && duplicate_.empty()) {
            const std::string path = pathText();
            duplicate_ = "duplicate key " + quotedInput(key) + " " +
                         (path.empty() ? "at the top level" : "in " + path) + libraryIndexNote();
        }
        object.key = key;
        return true;
    }

    // Stops before a level too deep is opened: the parser keeps one bit a level, a reader of the
    // document one stack frame.
    bool tooDeep() const { return tooDeep_; }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& exception) override {
        error_ = "not valid JSON at " + placeOf(text_, position) + ": " + reasonOf(exception);
        errorAt_ = position;
        return false;
    }

    const std::string& error() const { return error_; }
    std::size_t errorAt() const { return errorAt_; }   // bytes read when the parser stopped
    const std::string& duplicate() const { return duplicate_; }

private:
    struct Frame {
        bool object = false;
        std::set<std::string> keys;
        std::string key;        // an object's key being read
        std::size_t next = 0;   // an array's next index
    };

    bool value() {
        if (!frames_.empty() && !frames_.back().object) ++frames_.back().next;
        return true;
    }
    bool open(bool object) {
        if (frames_.size() >= kMaxJsonDepth) return tooDeep_ = true, false;
        value();   // an array counts the container as its element
        frames_.push_back({object, {}, {}, 0});
        return true;
    }
    bool close() {
        frames_.pop_back();
        return true;
    }

    // The path to the innermost object: keys joined by '.', array indices as [i].
    std::string pathText() const {
        std::string path;
        for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
            const Frame& frame = frames_[i];
            if (frame.object)
                path += (path.empty() ? "" : ".") + shortenedInput(frame.key);
            else
                path += "[" + std::to_string(frame.next - 1) + "]";
        }
        return path;
    }

    // A project's library part is known by its library index, which counts from 1 where the path's
    // array index counts from 0: " (the part of library index 1)", or "" outside library.parts.
    std::string libraryIndexNote() const {
        if (frames_.size() < 4 || !frames_[0].object || frames_[0].key != "library" || !frames_[1].object ||
            frames_[1].key != "parts" || frames_[2].object)
            return "";
        return " (the part of library index " + std::to_string(frames_[2].next) + ")";
    }

    std::string_view text_;
    std::vector<Frame> frames_;
    std::string error_;         // the syntax error
    std::size_t errorAt_ = 0;   // where the parser found it, in bytes read
    std::string duplicate_;     // the first key given twice
    bool tooDeep_ = false;
};

// The document's builder: one level a container being read, each knowing the key it sits under and
// whether its items are taken as they complete.
class StreamBuilder : public nlohmann::json_sax<nlohmann::ordered_json> {
public:
    using Document = nlohmann::ordered_json;

    StreamBuilder(Document& document, const std::vector<std::vector<std::string>>& lists,
                  const std::vector<JsonStreamReader::Taker*>& takers)
        : document_(document), lists_(lists), takers_(takers) {}

    bool null() override { return add(nullptr); }
    bool boolean(bool value) override { return add(value); }
    bool number_integer(number_integer_t value) override { return add(value); }
    bool number_unsigned(number_unsigned_t value) override { return add(value); }
    bool number_float(number_float_t value, const string_t&) override { return add(value); }
    bool string(string_t& value) override { return add(std::move(value)); }
    bool binary(binary_t& value) override { return add(Document::binary(std::move(value))); }
    bool start_object(std::size_t) override { return open(Document::object()); }
    bool start_array(std::size_t) override { return open(Document::array()); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool key(string_t& key) override {
        key_ = std::move(key);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& exception) override {
        error_ = reasonOf(exception);
        return false;
    }

    const std::string& error() const { return error_; }

private:
    struct Level {
        Document* value;
        std::string key;                            // the key it sits under in its object
        JsonStreamReader::Taker* taker = nullptr;   // an array whose items are taken
        std::size_t taken = 0;                      // how many so far
    };

    // Places a value in the container being read (a taken list hands it over once it is complete).
    Document* place(Document&& value) {
        if (levels_.empty()) {
            document_ = std::move(value);
            return &document_;
        }
        Document& parent = *levels_.back().value;
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        Document& slot = parent[key_];
        slot = std::move(value);
        return &slot;
    }
    bool add(Document&& value) {
        place(std::move(value));
        settle();
        return true;
    }
    // After an item of the innermost container is complete: a taken list hands it over.
    void settle() {
        if (levels_.empty() || !levels_.back().taker) return;
        Level& list = levels_.back();
        auto& items = list.value->get_ref<Document::array_t&>();
        Document item = std::move(items.back());
        items.pop_back();
        (*list.taker)(list.taken++, std::move(item));
    }
    bool open(Document&& container) {
        const bool array = container.is_array();
        const bool inObject = !levels_.empty() && levels_.back().value->is_object();
        Level level{place(std::move(container)), inObject ? key_ : std::string()};
        if (array) level.taker = takerOf(level.key);
        levels_.push_back(std::move(level));
        return true;
    }
    bool close() {
        levels_.pop_back();
        settle();
        return true;
    }
    // The taker of a list opened under `key`, when the keys from the top lead to one.
    JsonStreamReader::Taker* takerOf(const std::string& key) const {
        for (std::size_t i = 0; i < lists_.size(); ++i) {
            const auto& keys = lists_[i];
            if (keys.size() != levels_.size()) continue;
            bool same = keys.back() == key;
            for (std::size_t k = 0; same && k + 1 < keys.size(); ++k)
                same = levels_[k + 1].value->is_object() && levels_[k + 1].key == keys[k];
            if (same && (levels_.empty() || levels_.front().value->is_object())) return takers_[i];
        }
        return nullptr;
    }

    Document& document_;
    const std::vector<std::vector<std::string>>& lists_;
    const std::vector<JsonStreamReader::Taker*>& takers_;
    std::vector<Level> levels_;
    std::string key_;
    std::string error_;
};

}   // namespace

void JsonStreamReader::takeItems(std::vector<std::string> keys, Taker taker) {
    taken_.push_back({std::move(keys), std::move(taker)});
}

bool JsonStreamReader::read(std::string_view text, Json& document, std::string& error) {
    std::vector<std::vector<std::string>> lists;
    std::vector<Taker*> takers;
    for (TakenList& list : taken_) {
        lists.push_back(list.keys);
        takers.push_back(&list.taker);
    }
    StreamBuilder builder(document, lists, takers);
    if (Json::sax_parse(text.begin(), text.end(), &builder)) return true;
    error = builder.error().empty() ? "not valid JSON" : builder.error();
    return false;
}

std::size_t firstTooDeep(std::string_view text) {
    std::size_t depth = 0;
    return firstOutsideStrings(text, [&depth](char c) {
        if (c == '[' || c == '{') return ++depth > kMaxJsonDepth;
        if ((c == ']' || c == '}') && depth > 0) --depth;
        return false;
    });
}

bool checkJsonInput(std::string_view text, std::string& error) {
    // The parser takes a NUL for the end of the text: a document followed by one would pass, cut short,
    // and one inside it would be told as the text ending there.
    const std::size_t nul = firstNulOutsideStrings(text);
    const auto nulError = [&] {
        return "not valid JSON at " + placeOf(text, nul + 1) + ": a NUL byte outside a string";
    };
    Checker checker(text);
    if (!Json::sax_parse(text.begin(), text.end(), &checker)) {
        if (checker.tooDeep()) {
            error = "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels at " +
                    placeOf(text, firstTooDeep(text) + 1);
            return false;
        }
        // The parser stopped on the NUL (an error before it is told as it is).
        error = nul < text.size() && checker.errorAt() > nul ? nulError()
                : checker.error().empty()                    ? "not valid JSON"
                                                             : checker.error();
        return false;
    }
    if (nul < text.size()) {   // a document ends before the NUL: what follows was never read
        error = nulError();
        return false;
    }
    if (!checker.duplicate().empty()) {
        error = checker.duplicate();
        return false;
    }
    return true;
}

}   // namespace host

#include "ModuleResources.h"

#include <charconv>
#include <utility>

#include "HostText.h"

namespace host {
namespace {

constexpr int kMaxResourceId = 32767;   // ids are the host's 16-bit resource numbers

struct Token {
    enum Kind { word, integer, text } kind = word;
    std::string value;   // word and text (decoded)
    long number = 0;     // integer
};

// One line split into tokens; false with the reason in `error`. '#' outside quotes starts a comment.
bool tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error) {
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token token{Token::text, {}, 0};
            ++i;
            for (;;) {
                if (i >= line.size()) {
                    error = "text without its closing quote";
                    return false;
                }
                const char d = line[i++];
                if (d == '"') break;
                if (d != '\\') {
                    token.value += d;
                    continue;
                }
                if (i >= line.size()) {
                    error = "text ends in a lone backslash";
                    return false;
                }
                switch (const char e = line[i++]) {
                    case '"':
                        token.value += '"';
                        break;
                    case '\\':
                        token.value += '\\';
                        break;
                    case 'n':
                        token.value += '\n';
                        break;
                    case 't':
                        token.value += '\t';
                        break;
                    default:
                        error = std::string("unknown escape \\") + e;
                        return false;
                }
            }
            tokens.push_back(std::move(token));
        } else {
            const std::size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '"' && line[i] != '#')
                ++i;
            const std::string_view word = line.substr(start, i - start);
            long value = 0;
            const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
            if (ec == std::errc() && end == word.data() + word.size())
                tokens.push_back({Token::integer, std::string(word), value});
            else if (ec == std::errc::result_out_of_range)
                return error = "number out of range: " + std::string(word), false;
            else
                tokens.push_back({Token::word, std::string(word), 0});
        }
    }
    return true;
}

struct Parser {
    explicit Parser(const std::vector<Token>& t) : tokens(t) {}

    const std::vector<Token>& tokens;
    std::size_t at = 0;
    std::string error;

    bool more() const { return at < tokens.size(); }
    bool number(long low, long high, long& value, const char* what) {
        if (!more() || tokens[at].kind != Token::integer || tokens[at].number < low ||
            tokens[at].number > high) {
            error = std::string("expected ") + what + " (a number from " + std::to_string(low) + " to " +
                    std::to_string(high) + ")";
            return false;
        }
        value = tokens[at++].number;
        return true;
    }
    bool text(std::string& value, const char* what) {
        if (!more() || tokens[at].kind != Token::text) {
            error = std::string("expected ") + what + " in double quotes";
            return false;
        }
        value = tokens[at++].value;
        return true;
    }
    bool word(std::string& value, const char* what) {
        if (!more() || tokens[at].kind != Token::word) {
            error = std::string("expected ") + what;
            return false;
        }
        value = tokens[at++].value;
        return true;
    }
    bool done() {
        if (more()) {
            error = "unexpected " + quotedInput(tokens[at].value) + " at the end of the line";
            return false;
        }
        return true;
    }
};

bool itemKind(const std::string& word, DialogItemKind& kind) {
    static const std::pair<const char*, DialogItemKind> kKinds[] = {
        {"button", DialogItemKind::button},           {"lefttext", DialogItemKind::leftText},
        {"centertext", DialogItemKind::centerText},   {"righttext", DialogItemKind::rightText},
        {"edittext", DialogItemKind::editText},       {"popup", DialogItemKind::popup},
        {"singlelist", DialogItemKind::singleList},   {"multilist", DialogItemKind::multiList},
        {"usercontrol", DialogItemKind::userControl}, {"icon", DialogItemKind::icon},
        {"separator", DialogItemKind::separator}};
    for (const auto& [name, value] : kKinds) {
        if (word == name) {
            kind = value;
            return true;
        }
    }
    return false;
}

// `strings ID "name"`
bool stringsHeader(Parser& p, StringListResource& list) {
    long id = 0;
    if (!p.number(1, kMaxResourceId, id, "the string list's id")) return false;
    list.id = static_cast<int>(id);
    return p.text(list.name, "the list's name") && p.done();
}

// `N "text"`, numbered upwards from 1; a number may be skipped (that item is missing)
bool stringItem(Parser& p, StringListResource& list) {
    long number = 0;
    if (!p.number(1, 65535, number, "the item's number")) return false;
    if (number <= static_cast<long>(list.items.size())) {
        p.error = "item " + std::to_string(number) + " after item " + std::to_string(list.items.size()) +
                  ": items come in ascending order";
        return false;
    }
    std::string text;
    if (!p.text(text, "the item's text") || !p.done()) return false;
    list.items.resize(static_cast<std::size_t>(number) - 1);
    list.items.emplace_back(std::move(text));
    return true;
}

// `dialog ID "title" modal|palette WIDTH HEIGHT [grow none|h|v|hv]`
bool dialogHeader(Parser& p, DialogResource& dialog) {
    long id = 0, width = 0, height = 0;
    std::string kind;
    if (!p.number(1, kMaxResourceId, id, "the dialog's id") || !p.text(dialog.title, "the dialog's title") ||
        !p.word(kind, "modal or palette"))
        return false;
    if (kind != "modal" && kind != "palette") return p.error = "expected modal or palette", false;
    if (!p.number(1, 32767, width, "the width") || !p.number(1, 32767, height, "the height")) return false;
    dialog.id = static_cast<int>(id);
    dialog.palette = kind == "palette";
    dialog.width = static_cast<int>(width);
    dialog.height = static_cast<int>(height);
    if (p.more()) {
        std::string grow, how;
        if (!p.word(grow, "grow") || grow != "grow" || !p.word(how, "none, h, v or hv"))
            return p.error = "expected grow none, h, v or hv", false;
        if (how == "none")
            dialog.grow = DialogGrow::none;
        else if (how == "h")
            dialog.grow = DialogGrow::horizontal;
        else if (how == "v")
            dialog.grow = DialogGrow::vertical;
        else if (how == "hv")
            dialog.grow = DialogGrow::both;
        else
            return p.error = "expected grow none, h, v or hv", false;
    }
    return p.done();
}

// `N KIND X Y WIDTH HEIGHT "text" [maxlength N] [rowheight N] [help "text"]`
bool dialogItem(Parser& p, DialogResource& dialog) {
    DialogItemResource item;
    long number = 0, x = 0, y = 0, width = 0, height = 0;
    std::string kind;
    if (!p.number(1, 32767, number, "the item's number")) return false;
    if (number != static_cast<long>(dialog.items.size()) + 1) {
        p.error = "item " + std::to_string(number) + " where item " +
                  std::to_string(dialog.items.size() + 1) + " comes next";
        return false;
    }
    if (!p.word(kind, "the item's kind")) return false;
    if (!itemKind(kind, item.kind)) return p.error = "unknown item kind " + quotedInput(kind), false;
    if (!p.number(-32768, 32767, x, "x") || !p.number(-32768, 32767, y, "y") ||
        !p.number(0, 32767, width, "the width") || !p.number(0, 32767, height, "the height") ||
        !p.text(item.text, "the item's text"))
        return false;
    item.id = static_cast<int>(number);
    item.x = static_cast<int>(x);
    item.y = static_cast<int>(y);
    item.width = static_cast<int>(width);
    item.height = static_cast<int>(height);
    while (p.more()) {
        std::string option;
        long value = 0;
        if (!p.word(option, "maxlength, rowheight or help")) return false;
        if (option == "maxlength") {
            if (!p.number(0, 32767, value, "the maximum length")) return false;
            item.maxLength = static_cast<int>(value);
        } else if (option == "rowheight") {
            if (!p.number(0, 32767, value, "the row height")) return false;
            item.rowHeight = static_cast<int>(value);
        } else if (option == "help") {
            if (!p.text(item.help, "the help text")) return false;
        } else {
            return p.error = "unknown option " + quotedInput(option), false;
        }
    }
    dialog.items.push_back(std::move(item));
    return true;
}

}   // namespace

bool ModuleResources::addFile(std::string_view text, const std::string& fileName, std::string& error) {
    std::map<int, StringListResource> lists;
    std::map<int, DialogResource> dialogs;
    enum { outside, inStrings, inDialog } where = outside;
    StringListResource list;
    DialogResource dialog;
    int lineNumber = 0;
    int openedAt = 0;
    const auto fail = [&](const std::string& why) {
        error = fileName + ":" + std::to_string(lineNumber) + ": " + why;
        return false;
    };

    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;

        std::vector<Token> tokens;
        std::string why;
        if (!tokenize(line, tokens, why)) return fail(why);
        if (tokens.empty()) continue;
        Parser p(tokens);
        const bool isEnd = tokens[0].kind == Token::word && tokens[0].value == "end";
        if (where == outside) {
            std::string keyword;
            if (!p.word(keyword, "strings or dialog")) return fail(p.error);
            openedAt = lineNumber;
            if (keyword == "strings") {
                list = {};
                if (!stringsHeader(p, list)) return fail(p.error);
                if (lists.count(list.id) || stringLists_.count(list.id))
                    return fail("string list " + std::to_string(list.id) + " is defined twice");
                where = inStrings;
            } else if (keyword == "dialog") {
                dialog = {};
                if (!dialogHeader(p, dialog)) return fail(p.error);
                if (dialogs.count(dialog.id) || dialogs_.count(dialog.id))
                    return fail("dialog " + std::to_string(dialog.id) + " is defined twice");
                where = inDialog;
            } else {
                return fail("expected strings or dialog, not " + quotedInput(keyword));
            }
        } else if (isEnd) {
            if (tokens.size() != 1) return fail("unexpected text after end");
            if (where == inStrings)
                lists.emplace(list.id, std::move(list));
            else
                dialogs.emplace(dialog.id, std::move(dialog));
            where = outside;
        } else if (where == inStrings) {
            if (!stringItem(p, list)) return fail(p.error);
        } else {
            if (!dialogItem(p, dialog)) return fail(p.error);
        }
    }
    if (where != outside) {
        lineNumber = openedAt;
        return fail(where == inStrings ? "string list without its end" : "dialog without its end");
    }
    stringLists_.merge(lists);
    dialogs_.merge(dialogs);
    return true;
}

const StringListResource* ModuleResources::stringList(int id) const {
    const auto found = stringLists_.find(id);
    return found == stringLists_.end() ? nullptr : &found->second;
}

const StringListResource* ModuleResources::stringListAfter(int id, int count) const {
    auto found = stringLists_.upper_bound(id);
    for (; found != stringLists_.end() && count > 1; --count) ++found;
    return count < 1 || found == stringLists_.end() ? nullptr : &found->second;
}

const std::string* ModuleResources::string(int listId, int item) const {
    const StringListResource* list = stringList(listId);
    if (!list || item < 1 || static_cast<std::size_t>(item) > list->items.size()) return nullptr;
    const std::optional<std::string>& text = list->items[static_cast<std::size_t>(item) - 1];
    return text ? &*text : nullptr;
}

const DialogResource* ModuleResources::dialog(int id) const {
    const auto found = dialogs_.find(id);
    return found == dialogs_.end() ? nullptr : &found->second;
}

}   // namespace host

// The user-action script on any bytes. An accepted script hands out exactly the actions it holds, each to
// its own consumer and in range; a refused one names why and keeps the script that was there before.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include <HostDialogs.h>
#include <HostFiles.h>

namespace {

using Json = nlohmann::json;

// One action of each kind; a refused script must leave exactly these.
constexpr std::string_view kBaseScript = R"([
    {"do": "answerAlert", "button": 2},
    {"do": "cancelProgressAt", "step": 5, "window": 1},
    {"do": "fileDialog", "path": "a.json"},
    {"do": "settingsDialog", "accept": false},
    {"do": "objectSettings", "accept": true, "set": {"angle": 1.5}},
    {"do": "setText", "item": 3, "text": "x", "dialog": 7}
])";

void checkBaseScriptKept() {
    if (host::takeAlertAnswer() != 2 || host::takeAlertAnswer()) std::abort();
    if (host::takeProgressCancel(1) != 5 || host::takeProgressCancel(1)) std::abort();
    if (host::browseForFile(host::FileDialogKind::open, "", "") != "/base/a.json") std::abort();
    const auto settings = host::takeSettingsDialogAnswer();
    if (!settings || settings->accept || host::takeSettingsDialogAnswer()) std::abort();
    const auto object = host::takeObjectSettingsAnswer();
    if (!object || !object->accept || object->changes.size() != 1 || host::takeObjectSettingsAnswer())
        std::abort();
    const auto action = host::takeDialogAction();
    if (!action || action->kind != host::DialogActionKind::setText || action->item != 3 ||
        action->text != "x" || action->dialogId != 7 || host::takeDialogAction())
        std::abort();
}

bool inRange(int value, int lowest) { return value >= lowest && value <= 32767; }

bool dialogActionInRange(const host::DialogAction& action) {
    using Kind = host::DialogActionKind;
    if (action.dialogId && !inRange(*action.dialogId, 1)) return false;
    // A right-drag menu's choice is one effect, and only of a drag with the right button.
    if (action.choose != 0 &&
        (!action.rightButton || (action.choose != 1 && action.choose != 2 && action.choose != 4)))
        return false;
    if (action.rightButton && action.kind != Kind::drop && action.kind != Kind::dragRows) return false;
    if (action.index && !inRange(*action.index, 1)) return false;
    // Row 0 is a click below a list's last row; a column, the keys held, only where a row is clicked.
    for (const int row : action.rows)
        if (!inRange(row, action.kind == Kind::clickRow ? 0 : 1)) return false;
    const bool rowClicked =
        (action.kind == Kind::clickRow || action.kind == Kind::doubleClick) && action.rows.size() == 1;
    if ((action.column != 0 || action.command || action.option || action.shift) &&
        (!rowClicked || !inRange(action.column, 0)))
        return false;
    switch (action.kind) {
        case Kind::resize:
            return inRange(action.width, 0) && inRange(action.height, 0);
        case Kind::closeBox:
            return true;
        case Kind::hotKey:   // the dialog's, not an item's
            return action.item == 0 && inRange(action.key, 1);
        case Kind::drop:   // on a list before a row (0: its end), or with item 0 on the panel at x, y
            return action.item == 0 ? inRange(action.x, 0) && inRange(action.y, 0) && action.row == 0
                                    : inRange(action.item, 1) && inRange(action.row, 0);
        case Kind::clickRow:
            return inRange(action.item, 1) && action.rows.size() == 1;
        case Kind::clickHeader:
        case Kind::resizeHeader:
        case Kind::dragHeader:
            return inRange(action.item, 1) && inRange(action.header, 1) &&
                   (action.kind != Kind::resizeHeader || inRange(action.change, -32767)) &&
                   (action.kind != Kind::dragHeader || inRange(action.to, 1));
        case Kind::dragRows:   // onto a list before a row, or onto the dialog at x, y
            return inRange(action.item, 1) && !action.rows.empty() && inRange(action.to, 0) &&
                   inRange(action.row, 0) && (action.to != 0 || action.row == 0) &&
                   (!action.onPanel || (action.to == 0 && inRange(action.x, 0) && inRange(action.y, 0)));
        case Kind::scroll:
            return inRange(action.item, 1) && action.rows.size() == 1;
        default:
            return inRange(action.item, 1);
    }
}

// The column and row a dialog action was written with are the ones it holds: a column is at least 1, a
// row at least 1 except below a list's last row, and one not written is 0 (no row for a list click).
// What depends on the dialog (a double click's row on a text, leaving a field without the focus) is
// refused only when the action is played.
bool asWritten(const host::DialogAction& action, const Json& written) {
    using Kind = host::DialogActionKind;
    const auto number = [&](const char* key) {
        return written.contains(key) ? written.at(key).get<int>() : 0;
    };
    if (written.contains("column") ? number("column") < 1 || action.column != number("column")
                                   : action.column != 0)
        return false;
    const bool hasRow = written.contains("row");
    switch (action.kind) {
        case Kind::clickRow:
        case Kind::doubleClick:
        case Kind::scroll:
            if (hasRow && number("row") < (action.kind == Kind::clickRow ? 0 : 1)) return false;
            return hasRow ? action.rows == std::vector<int>{number("row")} : action.rows.empty();
        case Kind::drop:
        case Kind::dragRows:
            return hasRow ? number("row") >= 1 && action.row == number("row") : action.row == 0;
        default:
            return !hasRow;
    }
}

// Takes every action of an accepted script, checking it against the script's own list.
void checkAccepted(const Json& actions) {
    std::vector<const Json*> dialogActions;
    for (const Json& action : actions) {
        const std::string kind = action.at("do").get<std::string>();
        if (kind == "answerAlert") {
            const auto answer = host::takeAlertAnswer();
            if (!answer || *answer != action.at("button").get<int>()) std::abort();
        } else if (kind == "cancelProgressAt") {
            // In script order each call takes exactly this action: every earlier one has been taken.
            const int window = action.contains("window") ? action.at("window").get<int>() : 1;
            const auto step = host::takeProgressCancel(window);
            if (!step || *step != action.at("step").get<int>()) std::abort();
        } else if (kind == "fileDialog") {
            const auto answer = host::browseForFile(host::FileDialogKind::save, "", "");
            if (answer.has_value() != action.contains("path") || (answer && answer->empty())) std::abort();
        } else if (kind == "settingsDialog") {
            const auto answer = host::takeSettingsDialogAnswer();
            if (!answer || answer->accept != action.at("accept").get<bool>()) std::abort();
        } else if (kind == "objectSettings") {
            const auto answer = host::takeObjectSettingsAnswer();
            if (!answer || answer->accept != action.at("accept").get<bool>() ||
                answer->changes.size() != (action.contains("set") ? action.at("set").size() : 0))
                std::abort();
        } else {
            dialogActions.push_back(&action);
        }
    }
    if (host::pendingDialogActions() != dialogActions.size()) std::abort();
    for (const Json* written : dialogActions) {
        const auto action = host::takeDialogAction();
        if (!action || !dialogActionInRange(*action) || !asWritten(*action, *written)) std::abort();
    }
    if (host::takeAlertAnswer() || host::takeSettingsDialogAnswer() || host::takeObjectSettingsAnswer() ||
        host::takeDialogAction() || host::takeProgressCancel(1))
        std::abort();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    host::clearUserActions();
    host::clearFileDialogRequests();
    if (!host::parseUserActions(kBaseScript, "/base", error)) std::abort();

    error.clear();
    const bool accepted = host::parseUserActions(text, "/fuzz", error);
    const Json root = Json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    // The parser takes a NUL for the end of the text, so a text holding one is never valid: one inside a
    // string must be escaped, and the first outside a string ends what the parser reads.
    const bool invalid = root.is_discarded() || text.find('\0') != std::string_view::npos;
    if (!accepted) {
        // A text nested deeper than the host reads is refused for that before it is parsed; otherwise
        // "not valid JSON at line L, column C: ..." exactly when the text is not valid.
        const bool tooDeep = error.rfind("nested deeper than ", 0) == 0;
        if (error.empty() || (!tooDeep && (error.rfind("not valid JSON at line ", 0) == 0) != invalid))
            std::abort();
        checkBaseScriptKept();
        return 0;
    }
    if (invalid) std::abort();
    checkAccepted(root.is_object() ? root.at("actions") : root);
    return 0;
}

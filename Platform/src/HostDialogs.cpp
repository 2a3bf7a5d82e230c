#include "HostDialogs.h"

#include <deque>
#include <filesystem>
#include <initializer_list>
#include <mutex>

#include <nlohmann/json.hpp>

#include "HostDialogLibrary.h"
#include "HostFiles.h"
#include "HostText.h"
#include "JsonInput.h"

namespace host {
namespace {

using Json = nlohmann::json;

struct ProgressCancel {
    std::optional<int> window;   // nullopt: the next window that opens
    int step = 0;
};

struct Script {
    std::deque<int> alertAnswers;
    std::deque<DialogAction> dialogActions;
    std::deque<SettingsDialogAnswer> settingsAnswers;
    std::deque<ObjectSettingsAnswer> objectSettingsAnswers;
    std::deque<ProgressCancel> progressCancels;
    std::vector<std::pair<std::optional<std::string>, int>> fileAnswers;   // to the file library on load
};

struct State {
    std::mutex mutex;
    Script script;
    std::vector<AlertRecord> alerts;
    std::vector<std::string> scriptErrors;
    std::function<void(const AlertRecord&)> observer;
};

State& state() {
    static State instance;
    return instance;
}

// --- Reading one action ------------------------------------------------------------------------
// Each reader throws ScriptError with the reason; parseUserActions adds where.
struct ScriptError {
    std::string what;
};

int wholeNumber(const Json& action, const char* key, int lowest) {
    const auto found = action.find(key);
    if (found == action.end()) throw ScriptError{std::string("needs \"") + key + "\""};
    if (!found->is_number_integer() || found->get<long long>() < lowest || found->get<long long>() > 32767)
        throw ScriptError{std::string("\"") + key + "\" must be a whole number from " +
                          std::to_string(lowest) + " to 32767"};
    return found->get<int>();
}

std::string text(const Json& action, const char* key) {
    const auto found = action.find(key);
    if (found == action.end() || !found->is_string())
        throw ScriptError{std::string("needs \"") + key + "\" as a text"};
    return found->get<std::string>();
}

std::optional<int> dialogId(const Json& action) {
    if (!action.contains("dialog")) return std::nullopt;
    return wholeNumber(action, "dialog", 1);
}

bool flag(const Json& action, const char* key) {
    const auto found = action.find(key);
    if (found == action.end()) return false;
    if (!found->is_boolean()) throw ScriptError{std::string("\"") + key + "\" must be true or false"};
    return found->get<bool>();
}

std::vector<int> rowList(const Json& action) {
    const auto rows = action.find("rows");
    if (rows == action.end() || !rows->is_array()) throw ScriptError{"needs \"rows\" as a list"};
    std::vector<int> result;
    for (const auto& row : *rows) {
        if (!row.is_number_integer() || row.get<long long>() < 1 || row.get<long long>() > 32767)
            throw ScriptError{"\"rows\" must hold row numbers from 1"};
        result.push_back(row.get<int>());
    }
    return result;
}

// A drag with the right mouse button, and the effect the user picks in the host's right-drag menu.
void rightDrag(const Json& action, DialogAction& result) {
    result.rightButton = flag(action, "rightButton");
    if (!action.contains("choose")) return;
    if (!result.rightButton) throw ScriptError{"\"choose\" needs \"rightButton\": true"};
    const std::string effect = text(action, "choose");
    static const std::pair<const char*, int> kEffects[] = {{"copy", 1}, {"move", 2}, {"link", 4}};
    for (const auto& [name, bit] : kEffects)
        if (effect == name) result.choose = bit;
    if (result.choose == 0) throw ScriptError{"\"choose\" must be \"copy\", \"move\" or \"link\""};
}

// The keys held during a click, and the column clicked in; both only where a list row is clicked.
void listClick(const Json& action, DialogAction& result) {
    result.command = flag(action, "command");
    result.option = flag(action, "option");
    result.shift = flag(action, "shift");
    if (action.contains("column")) result.column = wholeNumber(action, "column", 1);
    if ((result.command || result.option || result.shift) && result.rows.empty())
        throw ScriptError{"keys held need a list \"row\""};
    if (result.column != 0 && result.rows.empty()) throw ScriptError{"\"column\" needs a list \"row\""};
}

DialogAction dialogAction(DialogActionKind kind, const Json& action) {
    DialogAction result;
    result.kind = kind;
    result.dialogId = dialogId(action);
    switch (kind) {
        case DialogActionKind::click:
            result.item = wholeNumber(action, "item", 1);
            break;
        case DialogActionKind::doubleClick:
            result.item = wholeNumber(action, "item", 1);
            if (action.contains("row")) result.rows.push_back(wholeNumber(action, "row", 1));
            listClick(action, result);
            break;
        case DialogActionKind::setText:
            result.item = wholeNumber(action, "item", 1);
            result.text = text(action, "text");
            if (const auto commit = action.find("commit"); commit != action.end()) {
                if (!commit->is_boolean()) throw ScriptError{"\"commit\" must be true or false"};
                result.commit = commit->get<bool>();
            }
            break;
        case DialogActionKind::leaveField:
            result.item = wholeNumber(action, "item", 1);
            break;
        case DialogActionKind::selectPopup:
            result.item = wholeNumber(action, "item", 1);
            if (action.contains("index") == action.contains("text"))
                throw ScriptError{"needs either \"index\" or \"text\""};
            if (action.contains("index"))
                result.index = wholeNumber(action, "index", 1);
            else
                result.text = text(action, "text");
            break;
        case DialogActionKind::selectRows:
            result.item = wholeNumber(action, "item", 1);
            result.rows = rowList(action);
            break;
        case DialogActionKind::resize:
            result.width = wholeNumber(action, "width", 0);
            result.height = wholeNumber(action, "height", 0);
            break;
        case DialogActionKind::closeBox:
            break;
        case DialogActionKind::clickRow:   // row 0: below the last row
            result.item = wholeNumber(action, "item", 1);
            result.rows.push_back(wholeNumber(action, "row", 0));
            listClick(action, result);
            break;
        case DialogActionKind::clickHeader:
            result.item = wholeNumber(action, "item", 1);
            result.header = wholeNumber(action, "header", 1);
            break;
        case DialogActionKind::resizeHeader:
            result.item = wholeNumber(action, "item", 1);
            result.header = wholeNumber(action, "header", 1);
            result.change = wholeNumber(action, "change", -32767);
            break;
        case DialogActionKind::dragHeader:
            result.item = wholeNumber(action, "item", 1);
            result.header = wholeNumber(action, "header", 1);
            result.to = wholeNumber(action, "to", 1);
            break;
        case DialogActionKind::hotKey:
            result.key = wholeNumber(action, "key", 1);
            break;
        case DialogActionKind::drop:
            if (action.contains("item") == (action.contains("x") || action.contains("y")))
                throw ScriptError{"needs either \"item\" (a list) or \"x\" and \"y\" (the panel)"};
            if (action.contains("item")) {
                result.item = wholeNumber(action, "item", 1);
                if (action.contains("row")) result.row = wholeNumber(action, "row", 1);
            } else {
                if (action.contains("row")) throw ScriptError{"\"row\" needs a list \"item\""};
                result.x = wholeNumber(action, "x", 0);
                result.y = wholeNumber(action, "y", 0);
            }
            rightDrag(action, result);
            break;
        case DialogActionKind::dragRows:
            result.item = wholeNumber(action, "item", 1);
            result.rows = rowList(action);
            if (result.rows.empty()) throw ScriptError{"needs at least one row to drag"};
            if (action.contains("to") && (action.contains("x") || action.contains("y")))
                throw ScriptError{"needs either \"to\" (a list) or \"x\" and \"y\" (the dialog)"};
            if (action.contains("to")) result.to = wholeNumber(action, "to", 1);
            if (action.contains("row")) {
                if (result.to == 0) throw ScriptError{"\"row\" needs the list \"to\""};
                result.row = wholeNumber(action, "row", 1);
            }
            if (action.contains("x") || action.contains("y")) {
                result.onPanel = true;
                result.x = wholeNumber(action, "x", 0);
                result.y = wholeNumber(action, "y", 0);
            }
            rightDrag(action, result);
            break;
        case DialogActionKind::scroll:
            result.item = wholeNumber(action, "item", 1);
            result.rows.push_back(wholeNumber(action, "row", 1));
            break;
    }
    return result;
}

// The keys each action takes besides "do"; dialog actions also take "dialog".
struct ActionKeys {
    const char* kind;
    std::initializer_list<const char*> keys;
};
const ActionKeys kActionKeys[] = {
    {"answerAlert", {"button"}},
    {"cancelProgressAt", {"step", "window"}},
    {"fileDialog", {"path", "cancel", "type"}},
    {"settingsDialog", {"accept", "part", "set"}},
    {"objectSettings", {"accept", "set"}},
    {"click", {"dialog", "item"}},
    {"doubleClick", {"dialog", "item", "row", "column", "command", "option", "shift"}},
    {"setText", {"dialog", "item", "text", "commit"}},
    {"leaveField", {"dialog", "item"}},
    {"selectPopup", {"dialog", "item", "index", "text"}},
    {"selectRows", {"dialog", "item", "rows"}},
    {"resize", {"dialog", "width", "height"}},
    {"closeBox", {"dialog"}},
    {"clickRow", {"dialog", "item", "row", "column", "command", "option", "shift"}},
    {"clickHeader", {"dialog", "item", "header"}},
    {"resizeHeader", {"dialog", "item", "header", "change"}},
    {"dragHeader", {"dialog", "item", "header", "to"}},
    {"hotKey", {"dialog", "key"}},
    {"drop", {"dialog", "item", "row", "x", "y", "rightButton", "choose"}},
    {"dragRows", {"dialog", "item", "rows", "to", "row", "x", "y", "rightButton", "choose"}},
    {"scroll", {"dialog", "item", "row"}},
};

// A misspelt key would otherwise be dropped without a word, and the action played without it.
void refuseUnknownKeys(const Json& action, const std::string& kind) {
    for (const ActionKeys& known : kActionKeys) {
        if (kind != known.kind) continue;
        for (const auto& [key, value] : action.items()) {
            if (key == "do") continue;
            bool found = false;
            for (const char* allowed : known.keys) found = found || key == allowed;
            if (!found)
                throw ScriptError{"(" + quotedInput(kind) + ") has an unknown key " + quotedInput(key)};
        }
    }
}

void readAction(const Json& action, const std::string& baseDirectory, Script& script) {
    if (!action.is_object()) throw ScriptError{"is not an object"};
    const std::string kind = text(action, "do");
    refuseUnknownKeys(action, kind);
    if (kind == "answerAlert") {
        script.alertAnswers.push_back(wholeNumber(action, "button", 1));
    } else if (kind == "cancelProgressAt") {
        ProgressCancel cancel;
        cancel.step = wholeNumber(action, "step", 0);
        if (action.contains("window")) cancel.window = wholeNumber(action, "window", 1);
        script.progressCancels.push_back(cancel);
    } else if (kind == "fileDialog") {
        const auto cancelKey = action.find("cancel");
        if (cancelKey != action.end() && !cancelKey->is_boolean())
            throw ScriptError{"\"cancel\" must be true or false"};
        const bool cancel = cancelKey != action.end() && cancelKey->get<bool>();
        if (cancel == action.contains("path")) throw ScriptError{"needs either \"path\" or \"cancel\": true"};
        const int type = action.contains("type") ? wholeNumber(action, "type", 1) : 1;
        if (cancel) {
            script.fileAnswers.emplace_back(std::nullopt, type);
        } else {
            std::filesystem::path path = text(action, "path");
            if (path.is_relative() && !baseDirectory.empty())
                path = std::filesystem::path(baseDirectory) / path;
            script.fileAnswers.emplace_back(path.lexically_normal().string(), type);
        }
    } else if (kind == "settingsDialog") {
        const auto accept = action.find("accept");
        if (accept == action.end() || !accept->is_boolean())
            throw ScriptError{"needs \"accept\": true or false"};
        SettingsDialogAnswer answer;
        answer.accept = accept->get<bool>();
        if (const auto part = action.find("part"); part != action.end()) {
            if (!part->is_string() || part->get<std::string>().empty())
                throw ScriptError{"\"part\" must be a library part's name"};
            answer.part = part->get<std::string>();
        }
        if (const auto set = action.find("set"); set != action.end()) {
            if (!set->is_object()) throw ScriptError{"\"set\" must map parameter names to values"};
            for (const auto& [name, value] : set->items()) {
                if (value.is_number())
                    answer.values.emplace_back(name, value.get<double>());
                else if (value.is_string())
                    answer.values.emplace_back(name, value.get<std::string>());
                else
                    throw ScriptError{"\"set\": " + quotedInput(name) + " must be a number or a text"};
            }
        }
        script.settingsAnswers.push_back(std::move(answer));
    } else if (kind == "objectSettings") {
        const auto accept = action.find("accept");
        if (accept == action.end() || !accept->is_boolean())
            throw ScriptError{"needs \"accept\": true or false"};
        ObjectSettingsAnswer answer;
        answer.accept = accept->get<bool>();
        if (const auto set = action.find("set"); set != action.end()) {
            if (!set->is_object()) throw ScriptError{"\"set\" must map field names to numbers"};
            for (const auto& [name, value] : set->items()) {
                if (!value.is_number())
                    throw ScriptError{"\"set\": " + quotedInput(name) + " must be a number"};
                answer.changes.emplace_back(name, value.get<double>());
            }
        }
        script.objectSettingsAnswers.push_back(std::move(answer));
    } else {
        static const std::pair<const char*, DialogActionKind> kDialogKinds[] = {
            {"click", DialogActionKind::click},
            {"doubleClick", DialogActionKind::doubleClick},
            {"setText", DialogActionKind::setText},
            {"leaveField", DialogActionKind::leaveField},
            {"selectPopup", DialogActionKind::selectPopup},
            {"selectRows", DialogActionKind::selectRows},
            {"resize", DialogActionKind::resize},
            {"closeBox", DialogActionKind::closeBox},
            {"clickRow", DialogActionKind::clickRow},
            {"clickHeader", DialogActionKind::clickHeader},
            {"resizeHeader", DialogActionKind::resizeHeader},
            {"dragHeader", DialogActionKind::dragHeader},
            {"hotKey", DialogActionKind::hotKey},
            {"drop", DialogActionKind::drop},
            {"dragRows", DialogActionKind::dragRows},
            {"scroll", DialogActionKind::scroll}};
        for (const auto& [name, dialogKind] : kDialogKinds) {
            if (kind == name) {
                script.dialogActions.push_back(dialogAction(dialogKind, action));
                return;
            }
        }
        throw ScriptError{"unknown action " + quotedInput(kind)};
    }
}

}   // namespace

// --- Alerts ------------------------------------------------------------------------------------
int alert(int kind, std::string_view title, std::string_view largeText, std::string_view smallText,
          std::string_view button1, std::string_view button2, std::string_view button3) {
    AlertRecord record;
    record.kind = kind;
    record.title = title;
    record.largeText = largeText;
    record.smallText = smallText;
    record.buttons[0] = button1;
    record.buttons[1] = button2;
    record.buttons[2] = button3;
    // A stopped run, or an answer that cannot be played, takes the way out: the last button.
    const int lastButton = !record.buttons[2].empty() ? 3 : !record.buttons[1].empty() ? 2 : 1;
    std::function<void(const AlertRecord&)> observer;
    std::string unplayable;
    {
        State& s = state();
        std::lock_guard lock(s.mutex);
        if (scriptRunStopped()) {
            record.answer = lastButton;
        } else if (!s.script.alertAnswers.empty()) {
            const int answer = s.script.alertAnswers.front();
            s.script.alertAnswers.pop_front();
            // Button 1 is always there; a later one only with a label.
            if (answer == 1 || (answer <= 3 && !record.buttons[answer - 1].empty())) {
                record.answer = answer;
            } else {
                record.answer = lastButton;
                unplayable = "answerAlert " + std::to_string(answer) + ": the alert \"" +
                             std::string(largeText) + "\" has no such button";
            }
        }
        s.alerts.push_back(record);
        observer = s.observer;
    }
    // The alert is shown before the stop it caused, which names it.
    if (observer) observer(record);
    if (!unplayable.empty()) noteScriptError(std::move(unplayable));
    return record.answer;
}

std::vector<AlertRecord> recordedAlerts() {
    std::lock_guard lock(state().mutex);
    return state().alerts;
}

void clearRecordedAlerts() {
    std::lock_guard lock(state().mutex);
    state().alerts.clear();
}

void setAlertObserver(std::function<void(const AlertRecord&)> observer) {
    std::lock_guard lock(state().mutex);
    state().observer = std::move(observer);
}

// --- The user-action script --------------------------------------------------------------------
bool loadUserActions(const std::string& path, std::string& error) {
    std::string text;
    if (!readWholeFile(path, text, error)) return false;
    const std::string base = std::filesystem::path(path).parent_path().string();
    if (!parseUserActions(text, base, error)) {
        error = shownPath(path) + ": " + error;
        return false;
    }
    return true;
}

bool parseUserActions(std::string_view json, const std::string& baseDirectory, std::string& error) {
    if (!checkJsonInput(json, error)) return false;   // says where, or which key is doubled
    const Json root = Json::parse(json.begin(), json.end(), nullptr, /*allow_exceptions=*/false);
    const Json* actions = &root;
    if (root.is_object()) {
        // A misspelt key would otherwise be dropped without a word.
        for (const auto& [key, value] : root.items()) {
            if (key != "actions") {
                error = "unknown key " + quotedInput(key) + " (the script holds only \"actions\")";
                return false;
            }
        }
        const auto found = root.find("actions");
        if (found == root.end()) {
            error = "needs \"actions\": a list of actions";
            return false;
        }
        actions = &*found;
    }
    if (!actions->is_array()) {
        error = "the actions must be a list";
        return false;
    }
    Script script;
    std::size_t number = 0;
    for (const auto& action : *actions) {
        ++number;
        try {
            readAction(action, baseDirectory, script);
        } catch (const ScriptError& e) {
            error = "action " + std::to_string(number) + " " + e.what;
            return false;
        }
    }
    clearFileDialogAnswers();
    for (const auto& [path, type] : script.fileAnswers) queueFileDialogAnswer(path, type);
    std::lock_guard lock(state().mutex);
    state().script = std::move(script);
    state().scriptErrors.clear();
    return true;
}

void clearUserActions() {
    clearFileDialogAnswers();
    resetDialogLibrary();
    std::lock_guard lock(state().mutex);
    state().script = Script{};
    state().scriptErrors.clear();
}

std::optional<int> takeAlertAnswer() {
    std::lock_guard lock(state().mutex);
    auto& answers = state().script.alertAnswers;
    if (answers.empty()) return std::nullopt;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<DialogAction> takeDialogAction() {
    std::lock_guard lock(state().mutex);
    auto& actions = state().script.dialogActions;
    if (actions.empty()) return std::nullopt;
    DialogAction action = std::move(actions.front());
    actions.pop_front();
    return action;
}

std::optional<DialogAction> peekDialogAction() {
    std::lock_guard lock(state().mutex);
    const auto& actions = state().script.dialogActions;
    if (actions.empty()) return std::nullopt;
    return actions.front();
}

std::size_t pendingDialogActions() {
    std::lock_guard lock(state().mutex);
    return state().script.dialogActions.size();
}

std::optional<SettingsDialogAnswer> takeSettingsDialogAnswer() {
    std::lock_guard lock(state().mutex);
    auto& answers = state().script.settingsAnswers;
    if (answers.empty()) return std::nullopt;
    SettingsDialogAnswer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

std::optional<ObjectSettingsAnswer> takeObjectSettingsAnswer() {
    std::lock_guard lock(state().mutex);
    auto& answers = state().script.objectSettingsAnswers;
    if (answers.empty()) return std::nullopt;
    ObjectSettingsAnswer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

std::optional<int> takeProgressCancel(int windowNumber) {
    std::lock_guard lock(state().mutex);
    auto& cancels = state().script.progressCancels;
    for (auto it = cancels.begin(); it != cancels.end(); ++it) {
        if (!it->window || *it->window == windowNumber) {
            const int step = it->step;
            cancels.erase(it);
            return step;
        }
    }
    return std::nullopt;
}

std::vector<std::string> unplayedActions() {
    std::vector<std::string> left;
    {
        std::lock_guard lock(state().mutex);
        const Script& script = state().script;
        for (const int button : script.alertAnswers) left.push_back("answerAlert " + std::to_string(button));
        for (const SettingsDialogAnswer& answer : script.settingsAnswers)
            left.push_back(std::string("settingsDialog ") + (answer.accept ? "accept" : "cancel"));
        for (const ObjectSettingsAnswer& answer : script.objectSettingsAnswers)
            left.push_back(std::string("objectSettings ") + (answer.accept ? "accept" : "cancel"));
        for (const ProgressCancel& cancel : script.progressCancels)
            left.push_back("cancelProgressAt step " + std::to_string(cancel.step) +
                           (cancel.window ? " window " + std::to_string(*cancel.window) : ""));
    }
    for (const std::string& path : pendingFileDialogAnswers()) left.push_back("fileDialog " + path);
    return left;
}

void noteScriptError(std::string message) {
    {
        std::lock_guard lock(state().mutex);
        state().scriptErrors.push_back(message);
    }
    stopScriptRun(message);   // outside the lock: the stop cancels dialogs, whose callbacks may ask us
}

std::vector<std::string> scriptErrors() {
    std::lock_guard lock(state().mutex);
    return state().scriptErrors;
}

}   // namespace host

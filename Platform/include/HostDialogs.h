// The host's dialog library, headless: the alert box and the user-action script that stands in for
// the user. Every alert is recorded with all it showed and answered from the script; with nothing
// scripted the default button (1) is pressed, so batch runs need no script. The script also holds
// the answers of the file dialogs, the settings dialog, the process window's cancel button and the
// dialog actions that the modal dialogs play; Platform/README.md describes its JSON form.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace host {

// --- Alerts ------------------------------------------------------------------------------------
enum AlertKind : int {
    kAlertInformation = -3,
    kAlertWarning = -2,
    kAlertError = -1,
};

struct AlertRecord {
    int kind = kAlertInformation;
    std::string title;
    std::string largeText;
    std::string smallText;
    std::string buttons[3];   // an empty label: no such button (the first button is always there)
    int answer = 1;           // the button pressed, 1-based
};

// Shows an alert (texts in UTF-8) and returns the 1-based button the script presses: its next
// answerAlert, else 1. An answer naming a button the alert lacks is a script error (see
// noteScriptError), and the alert takes its last button, as in any stopped run.
int alert(int kind, std::string_view title, std::string_view largeText, std::string_view smallText,
          std::string_view button1, std::string_view button2, std::string_view button3);

std::vector<AlertRecord> recordedAlerts();
void clearRecordedAlerts();
// Called with each alert as it is answered (the command-line host prints it); empty: none.
void setAlertObserver(std::function<void(const AlertRecord&)> observer);

// --- The user-action script --------------------------------------------------------------------
// What the user does inside a modal dialog. The dialog library plays these in order, each addressed
// to the innermost open dialog (or to `dialogId` when it is given).
enum class DialogActionKind {
    click,          // item: a button or static text is clicked
    doubleClick,    // item: a static text or list row is double-clicked (row: rows[0], if any), a row in
                    // its column, with the keys held (command, option, shift)
    setText,        // item, text: the user types the whole text into an edit field; with commit, then
                    // leaves it (Tab or Enter), so the field loses the focus
    leaveField,     // item: the user leaves an edit field without typing: it loses the focus
    selectPopup,    // item, index (1-based) or text: the user picks a popup item
    selectRows,     // item, rows (1-based): the user selects these list rows (empty: none)
    resize,         // width, height: the user drags the dialog to this client size
    closeBox,       // the user clicks the window's close box
    clickRow,       // item, rows[0]: one click on a list row (0: below the last row) in its column, with
                    // the keys held (command, option, shift)
    clickHeader,    // item, header: a click on a list's header item
    resizeHeader,   // item, header, change: the user drags the header item's edge by change
    dragHeader,     // item, header, to: the user drags the header item to position `to`
    hotKey,         // key: the user presses the dialog's hot key of this id
    drop,           // something dragged from elsewhere is dropped: on list `item` before `row`, or with
                    // item 0 on the panel at x, y
    dragRows,       // item, rows: the user drags these list rows; with `to`, onto that list before `row`;
                    // with onPanel, onto the dialog at x, y
    scroll,         // item, row: the user scrolls the list until its row `row` is the first in sight
};

struct DialogAction {
    DialogActionKind kind = DialogActionKind::click;
    std::optional<int> dialogId;   // the dialog resource id it is meant for; nullopt: the innermost
    int item = 0;
    std::string text;           // setText; selectPopup by text
    bool commit = false;        // setText: the field loses the focus after the typing
    std::optional<int> index;   // selectPopup by 1-based index
    std::vector<int> rows;      // selectRows, doubleClick, clickRow, dragRows, scroll
    int column = 0;             // clickRow, doubleClick: the 1-based column clicked in (0: the first)
    int width = 0;              // resize
    int height = 0;
    bool command = false;   // clickRow, doubleClick: the keys held
    bool option = false;
    bool shift = false;
    int header = 0;   // clickHeader, resizeHeader, dragHeader: the 1-based header item
    int change = 0;   // resizeHeader
    int to = 0;       // dragHeader: the new position; dragRows: the list dropped on (0: none)
    int row = 0;      // drop, dragRows: the 1-based row the drop goes before (0: the end)
    int key = 0;      // hotKey
    int x = 0;        // drop, dragRows: on the panel at x, y
    int y = 0;
    bool onPanel = false;       // dragRows: dropped on the dialog at x, y
    bool rightButton = false;   // drop, dragRows: dragged with the right mouse button
    int choose = 0;             // the effect chosen in the right-drag menu (1 copy, 2 move, 4 link; 0: the
                                // one the target took)
};

// Replaces the whole script by the one in the file or text. False, with a message naming the file, the
// action's number and what is wrong, for unreadable or malformed input; the old script is then kept.
// Relative file-dialog paths are taken relative to `baseDirectory` (loadUserActions: the file's folder).
bool loadUserActions(const std::string& path, std::string& error);
bool parseUserActions(std::string_view json, const std::string& baseDirectory, std::string& error);
void clearUserActions();   // also clears the recorded alerts' answers still pending and script errors

// Consumers. Each takes the first pending action of its kind, so the kinds need not interleave in the
// order the program happens to ask for them.
std::optional<int> takeAlertAnswer();
std::optional<DialogAction> takeDialogAction();
std::optional<DialogAction> peekDialogAction();   // the next one, left in place
std::size_t pendingDialogActions();
// The tool settings dialog ('SETD'): accepted or not, the library part the user chose there (by name;
// empty: the tool's part is kept) and the parameter values the user set, numbers or texts, by name.
struct SettingsDialogAnswer {
    bool accept = true;
    std::string part;
    std::vector<std::pair<std::string, std::variant<double, std::string>>> values;
};
std::optional<SettingsDialogAnswer> takeSettingsDialogAnswer();
// The object settings dialog ('OBJS'): accepted or not, and the record fields the user changed, by their
// names in the project file (numbers only).
struct ObjectSettingsAnswer {
    bool accept = true;
    std::vector<std::pair<std::string, double>> changes;
};
std::optional<ObjectSettingsAnswer> takeObjectSettingsAnswer();
// The step at which the process window with this number (1 for the first window the program opens)
// reports a cancel; an action without a window number serves the next window that opens.
std::optional<int> takeProgressCancel(int windowNumber);

// What of the script was never used when the command ends, one line each ("answerAlert 2", ...):
// answers no alert, dialog or process window asked for, and file dialog answers left over.
std::vector<std::string> unplayedActions();

// Script answers that could not be played as written (a missing button, a value a parameter refuses),
// one message each. The first stops the run as stopScriptRun does (HostDialogLibrary.h): the caller
// then takes the way out, as the other answers of a stopped run do.
void noteScriptError(std::string message);
std::vector<std::string> scriptErrors();

}   // namespace host

// skellow-host: the command-line stand-in for the CAD host. It loads an add-on module into a simulated
// host, lists the menus the add-on registers, or opens a project and runs one menu command on it.
//
//   skellow-host menus [--module PATH]
//   skellow-host run PROJECT.json --command "ITEM TEXT" [--answers SCRIPT.json] [--home DIR]
//                    [--out OUT.json] [--module PATH]
//
// Exit status: 0 done, or declined before its work (said on stderr); 1 not all done (an error, a rollback, a
// refused read or change the command needed, a failed allocation, an error alert that ended its work, a
// step that failed in its preparation, a project written larger than the host reads, or one
// that could not be written to --out); 2 bad arguments or unreadable input (nothing is written), or a
// script that cannot be played (the project is not written). Every run names the files it saved in the home.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <AddonModule.h>
#include <FourCC.h>
#include <HostDebug.h>
#include <HostDialogLibrary.h>
#include <HostDialogs.h>
#include <HostFiles.h>
#include <HostMemory.h>
#include <HostRefusals.h>
#include <HostTable.h>
#include <HostText.h>
#include <SimulatedHost.h>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailures = 1;
constexpr int kExitBadInput = 2;

// One line on stderr. Parts of it come from outside (paths, names, the module's words): shown so that
// none can drive the terminal or break the line.
void tell(const std::string& message) { std::cerr << "skellow-host: " << host::visibleText(message) << "\n"; }

constexpr const char* kUsage =
    "usage: skellow-host menus [--module PATH]\n"
    "       skellow-host run PROJECT.json --command \"ITEM TEXT\" [--answers SCRIPT.json] [--home DIR]\n"
    "                        [--out OUT.json] [--module PATH]\n"
    "       skellow-host --help\n";

constexpr const char* kHelpIntro =
    "skellow-host: the command-line stand-in for the CAD host. It loads an add-on module, lists the\n"
    "menus it registers, or opens a project file and runs one of its menu commands on it.\n"
    "\n";

constexpr const char* kHelp =
    "\n"
    "Commands:\n"
    "  menus                  print the add-on's name and description and each of its menus with their\n"
    "                         commands and prompts; it changes nothing on disk\n"
    "  run PROJECT.json       open the project file (format in Platform/README.md), start the module,\n"
    "                         run the menu command, print its progress and every alert it shows\n"
    "\n"
    "Options:\n"
    "  --command \"ITEM TEXT\"  run: the menu command, by the text the menu shows (required)\n"
    "  --answers SCRIPT.json  run: the user-action script, the answers to alerts, dialogs, file dialogs\n"
    "                         and the progress window's Cancel button (below); without it each alert and\n"
    "                         dialog takes its default button (OK) and file dialogs are cancelled.\n"
    "                         Answers to alerts, file and settings dialogs and the progress window that\n"
    "                         nothing asked for are named on stderr and give exit status 1; a dialog\n"
    "                         action never played stops the run with 2 (below)\n"
    "  --home DIR             run: the host's home folder, under which its special folders lie (the\n"
    "                         add-on's preferences, data folder and exception reports); made when\n"
    "                         missing, once the inputs are accepted. Default: $SKELLOW_HOME, else\n"
    "                         $XDG_DATA_HOME/skellow-host, else ~/.local/share/skellow-host\n"
    "  --out OUT.json         run: where to write the project as the command left it: a regular file\n"
    "                         or a new name in a folder that takes new files; without it the project\n"
    "                         is not written, while the add-on's own files in the home (its mapping\n"
    "                         table, preferences) are saved all the same\n"
    "  --module PATH          the add-on module file; default: the Skellowing module built beside this\n"
    "                         program\n"
    "  --help, -h             this page\n"
    "\n"
    "Exit status:\n"
    "  0  done: the command ran to its end, the host refused it none of the reads and changes it\n"
    "     needed, and no error alert told otherwise. A command that declined before its work (its\n"
    "     dialog or question cancelled, nothing found to work on, a mapping table it cannot read)\n"
    "     ends 0 too, and a line on stderr says that it declined (and what it had saved before)\n"
    "  1  not all done: the command returned an error (as it does when the user's changes to the\n"
    "     mapping table could not be saved); it was cancelled in the progress window; an\n"
    "     undoable step of it was rolled back; the host refused it a read it needed (an element, its\n"
    "     layer or other attribute, its library part, the part's parameters, details or name, its\n"
    "     bounds, or a text of its string lists) or a change, or an allocation failed (so there are\n"
    "     elements it could not change, whatever its report says); it showed an error alert while none\n"
    "     of its dialogs was open, or in a dialog that then closed before the user did anything more\n"
    "     (one answered inside a dialog that stays open, such as a refused name then corrected, does\n"
    "     not count); or an error alert came as the project was saved or closed; or the project\n"
    "     written to --out is larger than the 1 GiB this host reads, so that it cannot be opened\n"
    "     again; or a step of the command failed in its preparation. A line on stderr says which.\n"
    "     With --out the project is written all the same. The write to --out failing at its end (a\n"
    "     full disk) gives 1 too: the project is then not written, and a file --out named stays as\n"
    "     it was. A dialog action left unplayed because the command gave up before its dialog (a\n"
    "     refused read, or an error alert shown outside the dialogs) gives 1, not 2: both are named\n"
    "  2  bad arguments or unreadable input (an empty argument; a project, script or module that is\n"
    "     missing or unreadable, with the system's reason, no regular file, too large, nested too\n"
    "     deep, damaged or malformed; a module built for another machine, or whose trial load in a\n"
    "     child process does not end within 30 seconds; a menu command the module does not offer; an\n"
    "     --out that is no regular file or whose folder takes no new file): a message on stderr says\n"
    "     what is wrong, and nothing is written or made. A script action or answer that cannot be\n"
    "     played as written (a missing item or button, a value a parameter refuses, a part a tool\n"
    "     does not have), or a dialog action still unplayed when the command ends (the dialog it\n"
    "     waits for never opened, and the command did not give up before it), stops the run with 2\n"
    "     too: the project is not written\n"
    "Whatever the status, stderr names a step of the add-on refused because it was asked for while\n"
    "the host told of a project event (the project saved or closed), and at its end the files this\n"
    "run saved in the home (the add-on's mapping table, its preferences); another run's saves in the\n"
    "same home are not among them\n"
    "\n"
    "Example: a home whose data folder holds the example mapping table, then the command (without\n"
    "--home the table is read from and saved to the default home above, made empty when missing):\n"
    "  mkdir -p \"/tmp/home/Application Data/Skellowing\"\n"
    "  cp examples/ObjectMap.xml \"/tmp/home/Application Data/Skellowing/\"\n"
    "  skellow-host run examples/project.json --command \"Skellow From IFC\" --home /tmp/home \\\n"
    "      --out /tmp/changed.json\n";

// Where the script's actions are told, for --help.
constexpr const char* kDialogActionsHelp =
    "\nThe --answers script is a JSON list of actions, or {\"actions\": [...]}. For example, for\n"
    "\"Skellow From IFC\" on examples/project.json: select the second row, type \"chair\" as its part,\n"
    "take the first of the parts this offers, accept, then answer the question with its second button\n"
    "(Cancel):\n"
    "  [{\"do\": \"selectRows\", \"item\": 9, \"rows\": [2]},\n"
    "   {\"do\": \"setText\", \"item\": 8, \"text\": \"chair\", \"commit\": true},\n"
    "   {\"do\": \"click\", \"item\": 1, \"dialog\": 32511}, {\"do\": \"click\", \"item\": 1},\n"
    "   {\"do\": \"answerAlert\", \"button\": 2}]\n"
    "Accepting the dialog saves the mapping table at once (\"Office Chair\" then maps to the part\n"
    "taken); the Cancel at the end spares only the drawing. Without --home that is the table of the\n"
    "default home: try the example with a --home of its own, as above.\n"
    "Every action and its fields (alerts, the progress window, file, settings and object settings\n"
    "dialogs, and each dialog action) are listed in Platform/README.md, \"The user-action script\";\n"
    "examples/answers/3.json plays the mapping dialog of the example. Every dialog is shown as it opens,\n"
    "with each action played. An action that cannot be played as written, or a dialog action still\n"
    "unplayed when the command ends, stops the run with exit status 2, and the project is not written;\n"
    "answers to alerts, file and settings dialogs and the progress window still unused then give 1.\n";

struct Arguments {
    bool help = false;
    std::string mode;
    std::string project;
    std::map<std::string, std::string> options;
};

// False with a message for an unknown option, an option without its value or a missing operand.
bool parseArguments(int argc, char** argv, Arguments& arguments, std::string& error) {
    const auto isHelp = [](const std::string& word) { return word == "--help" || word == "-h"; };
    if (argc >= 2 && isHelp(argv[1])) return arguments.help = true;
    if (argc < 2) return error = "no command given", false;
    arguments.mode = argv[1];
    if (arguments.mode.empty()) return error = "the command (menus or run) is empty", false;
    std::vector<std::string> allowed;
    bool project = false;   // the project's operand was given
    if (arguments.mode == "menus")
        allowed = {"--module"};
    else if (arguments.mode == "run")
        allowed = {"--command", "--answers", "--home", "--out", "--module"};
    else
        return error = "unknown command " + host::quotedInput(arguments.mode), false;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (isHelp(word)) return arguments.help = true;
        if (word.rfind("--", 0) == 0) {
            bool known = false;
            for (const auto& option : allowed) known = known || option == word;
            if (!known)
                return error = "unknown option " + host::shortenedInput(word) + " for " + arguments.mode,
                       false;
            if (i + 1 >= argc) return error = word + " needs a value", false;
            if (!arguments.options.emplace(word, argv[++i]).second)
                return error = word + " is given twice", false;
            if (arguments.options[word].empty()) return error = word + " is empty", false;
        } else if (arguments.mode == "run" && !project) {
            if (word.empty()) return error = "the project file's name is empty", false;
            project = true;
            arguments.project = word;
        } else {
            return error = word.empty() ? "unexpected empty argument"
                                        : "unexpected argument " + host::quotedInput(word),
                   false;
        }
    }
    if (arguments.mode == "run") {
        if (arguments.project.empty()) return error = "run needs a project file", false;
        if (!arguments.options.count("--command")) return error = "run needs --command \"ITEM TEXT\"", false;
    }
    return true;
}

std::optional<std::string> option(const Arguments& arguments, const std::string& name) {
    const auto found = arguments.options.find(name);
    if (found == arguments.options.end()) return std::nullopt;
    return found->second;
}

// The module to load: --module, else the Skellowing module of the build tree this program belongs to.
std::optional<std::string> modulePath(const Arguments& arguments, std::string& error) {
    if (auto given = option(arguments, "--module")) return given;
#ifdef SKELLOW_DEFAULT_MODULE
    std::error_code ec;
    if (std::filesystem::exists(SKELLOW_DEFAULT_MODULE, ec)) return std::string(SKELLOW_DEFAULT_MODULE);
    if (ec) {   // not "no such file": a folder of the path unreadable, a disk error
        error = host::shownPath(SKELLOW_DEFAULT_MODULE) +
                ": the module built beside this program cannot be looked at: " + ec.message();
        return std::nullopt;
    }
#endif
    error = "no --module given, and no Skellowing module was built beside this program";
    return std::nullopt;
}

bool startModule(host::SimulatedHost& host, const std::string& path) {
    std::string error;
    if (!host.startAddon(path, error)) {
        tell(error);
        return false;
    }
    return true;
}

// A home folder of its own for a run that must leave nothing behind: made empty, removed with all the
// add-on put there.
class TemporaryHome {
public:
    TemporaryHome() {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "skellow-host-XXXXXX").string();
        if (!ec && mkdtemp(pattern.data())) path_ = pattern;
        if (!path_.empty()) host::setHomeDirectory(path_);
    }
    ~TemporaryHome() {
        if (path_.empty()) return;
        host::setHomeDirectory("");
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;
    bool made() const { return !path_.empty(); }

private:
    std::string path_;
};

// Each add-on's name and description, and its menus with their commands and prompts: the module's own
// words, shown as any outside text.
void printMenus(const host::SimulatedHost& host) {
    for (const auto& addon : host.addons()) {
        std::cout << host::visibleText(addon.name) << "\n";
        std::size_t start = 0;
        while (start < addon.description.size()) {   // each line of the description, indented
            const std::size_t end = std::min(addon.description.find('\n', start), addon.description.size());
            std::cout << "  " << host::visibleText(addon.description.substr(start, end - start)) << "\n";
            start = end + 1;
        }
        for (const auto& menu : addon.menus) {
            std::cout << "Menu \"" << host::visibleText(host::menuDisplayText(menu.title))
                      << "\" (string list " << menu.listId << ", position " << menu.position << ", flags "
                      << menu.flags << ")";
            if (!menu.titlePrompt.empty()) std::cout << ": " << host::visibleText(menu.titlePrompt);
            std::cout << "\n";
            for (std::size_t i = 0; i < menu.items.size(); ++i) {
                std::cout << "  " << i + 1 << ". "
                          << host::visibleText(host::menuDisplayText(menu.items[i].text));
                if (!menu.items[i].prompt.empty())
                    std::cout << " - " << host::visibleText(menu.items[i].prompt);
                std::cout << "\n";
            }
        }
    }
}

// Runs `look` on a host with the module started in a home of its own, removed afterwards: what the
// add-on makes at start (its preference folder, ...) is not left behind. kExitBadInput when the module
// cannot be started there, with the message on stderr; else what `look` returns.
int withModuleApart(const std::string& path, const std::function<int(host::SimulatedHost&)>& look) {
    // Declared before the host, so it outlives the add-on's free data.
    const TemporaryHome home;
    if (!home.made()) {
        tell("no temporary folder can be made for the add-on");
        return kExitBadInput;
    }
    host::SimulatedHost host;
    if (!startModule(host, path)) return kExitBadInput;
    const int status = look(host);
    host.stopAddons();
    for (const auto& line : host.stopResults())
        if (line.find("failed") != std::string::npos) tell(line);
    return status;
}

int listMenus(const Arguments& arguments) {
    std::string error;
    const auto path = modulePath(arguments, error);
    if (!path) {
        tell(error);
        return kExitBadInput;
    }
    if (!host::AddonModule::loadsApart(*path, error)) {   // before the home, which a crash would leave
        tell(error);
        return kExitBadInput;
    }
    return withModuleApart(*path, [](host::SimulatedHost& host) {
        printMenus(host);
        return kExitDone;
    });
}

// Whether the module offers the menu command; else stderr lists what it offers. Asked in a home of its
// own, so that a run refused for a command the module lacks makes nothing.
int checkCommand(const std::string& path, const std::string& command) {
    return withModuleApart(path, [&command](host::SimulatedHost& host) {
        if (host.findMenuItem(command)) return kExitDone;
        tell("no menu command " + host::quotedInput(command) + "; the add-ons offer:");
        for (const auto& addon : host.addons())
            for (const auto& menu : addon.menus)
                for (const auto& item : menu.items)
                    std::cerr << "  " << host::visibleText(host::menuDisplayText(item.text)) << "\n";
        return kExitBadInput;
    });
}

const char* alertKindName(int kind) {
    switch (kind) {
        case host::kAlertError:
            return "error";
        case host::kAlertWarning:
            return "warning";
        default:
            return "information";
    }
}

// An alert's text with each of its own lines shown by visibleText: a line break the add-on wrote stays.
std::string alertText(std::string_view text) {
    std::string shown;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        shown += host::visibleText(text.substr(start, end - start));
        if (end == text.size()) return shown;
        shown += '\n';
        start = end + 1;
    }
}

void printAlert(const host::AlertRecord& alert) {
    std::cout << "[" << alertText(alert.title.empty() ? alertKindName(alert.kind) : alert.title) << "] "
              << alertText(alert.largeText) << "\n";
    if (!alert.smallText.empty()) std::cout << "  " << alertText(alert.smallText) << "\n";
    if (!alert.buttons[1].empty() || !alert.buttons[2].empty()) {
        const std::string& chosen = alert.buttons[alert.answer - 1];
        std::cout << "  -> " << (chosen.empty() ? "OK" : host::visibleText(chosen)) << "\n";
    }
    std::cout.flush();
}

// A bar redrawn in place on a terminal; otherwise one line per window and phase.
class ProgressPrinter {
public:
    explicit ProgressPrinter(bool terminal) : terminal_(terminal) {}

    void show(const host::ProgressEvent& event, const host::ProcessWindowState& window) {
        using Kind = host::ProgressEvent::Kind;
        if (!terminal_) {
            if (event.kind == Kind::open) std::cout << "Progress: " << host::visibleText(event.text) << "\n";
            if (event.kind == Kind::phase)
                std::cout << "  " << host::visibleText(event.text) << " (" << event.number << ")\n";
            if (event.kind == Kind::cancelled) std::cout << "  cancelled\n";
            std::cout.flush();
            return;
        }
        endBar();
        if (event.kind == Kind::cancelled) std::cout << host::visibleText(window.title) << ": cancelled\n";
        if (event.kind == Kind::close || event.kind == Kind::cancelled) {
            std::cout.flush();
            return;
        }
        std::cout << host::visibleText(window.title);
        if (!window.phaseText.empty()) std::cout << " - " << host::visibleText(window.phaseText);
        if (window.phaseLimit > 0) {   // before its phase has steps there is nothing to fill
            constexpr int kWidth = 30;
            const int filled = std::clamp(window.value, 0, window.phaseLimit) * kWidth / window.phaseLimit;
            std::cout << " [" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
                      << window.value << "/" << window.phaseLimit;
        }
        barShown_ = true;
        std::cout.flush();
    }

    // Wipes a bar drawn on the terminal's line, so that the next line (an alert, a dialog's, the run's
    // last words) starts at the line's beginning; the next step draws the bar again.
    void endBar() {
        if (!barShown_) return;
        barShown_ = false;
        std::cout << "\r\033[K";
        std::cout.flush();
    }

private:
    bool terminal_;
    bool barShown_ = false;   // the terminal's line holds the bar, without its line end
};

// What tells a change of a file: the file (a save by rename makes a new one), its size and its times of
// change to the nanosecond.
struct FileStamp {
    dev_t device;
    ino_t file;
    off_t size;
    timespec modified;
    timespec changed;
    bool operator==(const FileStamp& other) const {
        const auto same = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == other.device && file == other.file && size == other.size &&
               same(modified, other.modified) && same(changed, other.changed);
    }
};

std::optional<FileStamp> stampOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

// The files under the home that this process writes while it lives, as its file operations show them:
// each name a write, truncate, rename, exchange or link goes to, with what stood there just before the
// first of them. Another run's save in the same home is no operation of this process, so it is not
// among them.
class HomeWrites {
public:
    explicit HomeWrites(const std::string& home) : home_(absoluteName(home)) {
        if (home_.size() > 1 && home_.back() == '/') home_.pop_back();
        host::watchFileOperations([this](host::FileOperation operation, const std::string& path) {
            using Operation = host::FileOperation;
            switch (operation) {
                case Operation::write:
                case Operation::truncate:
                case Operation::rename:
                case Operation::renameNoReplace:
                case Operation::exchange:
                case Operation::link:
                    note(path);
                    break;
                default:
                    break;
            }
            return 0;
        });
    }
    ~HomeWrites() { host::watchFileOperations(nullptr); }
    HomeWrites(const HomeWrites&) = delete;
    HomeWrites& operator=(const HomeWrites&) = delete;

    // Those that hold a file changed by the run now, by their path under the home, in the order first
    // written; a file made and removed again (a passing file, a lock) is not among them.
    std::vector<std::string> files() const {
        std::vector<std::string> written;
        for (const auto& [path, before] : targets_) {
            const std::optional<FileStamp> now = stampOf(path);
            if (now && (!before || *before != *now)) written.push_back(path.substr(home_.size() + 1));
        }
        return written;
    }

private:
    static std::string absoluteName(const std::string& path) {
        std::error_code ec;
        return std::filesystem::absolute(path, ec).lexically_normal().string();
    }

    void note(const std::string& path) {
        const std::string name = absoluteName(path);
        if (name.size() <= home_.size() + 1 || !name.starts_with(home_) || name[home_.size()] != '/') return;
        for (const auto& target : targets_)
            if (target.first == name) return;
        targets_.emplace_back(name, stampOf(name));
    }

    std::string home_;
    std::vector<std::pair<std::string, std::optional<FileStamp>>> targets_;
};

// The home folder given with --home: made (with its parents) once every input is accepted.
bool makeHome(const std::string& home) {
    std::error_code ec;
    std::filesystem::create_directories(home, ec);
    if (!std::filesystem::is_directory(home, ec)) {
        tell(host::shownPath(home) + ": cannot be used as the host's home directory");
        return false;
    }
    host::setHomeDirectory(std::filesystem::absolute(home).string());
    return true;
}

// The transcript's mark of a user action played in a dialog (the script's, or Enter or Escape).
constexpr std::string_view kActionMark = "  > ";

// Prints and judges every alert for as long as it lives: also those of the notifications that follow
// the command (the project saved, the add-ons leaving).
class AlertPrinter {
public:
    explicit AlertPrinter(std::function<void(const host::AlertRecord&)> observer) {
        host::setAlertObserver(std::move(observer));
    }
    ~AlertPrinter() { host::setAlertObserver(nullptr); }
    AlertPrinter(const AlertPrinter&) = delete;
    AlertPrinter& operator=(const AlertPrinter&) = delete;
};

// "in HOME: a, b": files named by their path under the home.
std::string filesIn(const std::string& home, const std::vector<std::string>& files) {
    std::string named = "in " + host::shownPath(home) + ":";
    for (std::size_t i = 0; i < files.size(); ++i) named += (i == 0 ? " " : ", ") + files[i];
    return named;
}

// " 'GULN'" for a call of a dispatcher with a four-character code; "" for others.
std::string codeText(std::uint32_t code) { return code == 0 ? "" : " '" + host::fourccText(code) + "'"; }

int runCommand(const Arguments& arguments) {
    // Everything is read and checked before the add-on runs in the home or any folder is made, so bad
    // input changes nothing.
    host::SimProject project;
    std::string error;
    if (!project.loadFile(arguments.project, error)) {
        tell(error);
        return kExitBadInput;
    }
    if (auto answers = option(arguments, "--answers")) {
        if (!host::loadUserActions(*answers, error)) {
            tell(error);
            return kExitBadInput;
        }
    }
    const auto out = option(arguments, "--out");
    if (out) {
        // A run whose result cannot be written is refused at once, not found out after the work.
        if (!host::canReplaceFile(*out, error)) {
            tell(error);
            return kExitBadInput;
        }
    }
    const auto home = option(arguments, "--home");
    if (home) {
        std::error_code ec;
        if (std::filesystem::exists(*home, ec) && !std::filesystem::is_directory(*home, ec)) {
            tell(host::shownPath(*home) + ": is not a folder; it cannot be the host's home");
            return kExitBadInput;
        }
    }
    const auto path = modulePath(arguments, error);
    if (!path || !host::AddonModule::loadsApart(*path, error)) {
        tell(error);
        return kExitBadInput;
    }
    const std::string command = *option(arguments, "--command");
    // The module is loaded and its menus read apart (before the host below: one host at a time answers
    // the 3D model's requests).
    if (checkCommand(*path, command) != kExitDone) return kExitBadInput;
    if (home && !makeHome(*home)) return kExitBadInput;
    host::SimulatedHost host;
    host.project() = std::move(project);
    if (!startModule(host, *path)) return kExitBadInput;
    const auto choice = host.findMenuItem(command);
    if (!choice) {   // it offered the command a moment ago
        tell("the module no longer offers " + host::quotedInput(command));
        host.stopAddons();
        return kExitFailures;
    }

    // An error alert outside every dialog tells that the command gave up. One inside a dialog is answered
    // there, and counts only when the user does nothing more in a dialog after it: the dialog closed on
    // its own (a handler failed and it closed as cancelled). A name refused, then corrected, does not.
    bool errorShown = false;
    bool errorInDialog = false;     // an error alert in a dialog, the user's last word so far
    bool errorAfterwards = false;   // an error alert as the project is saved or closed
    bool commandRunning = true;
    ProgressPrinter progress(isatty(STDOUT_FILENO) != 0);
    const AlertPrinter alerts([&](const host::AlertRecord& alert) {
        progress.endBar();
        printAlert(alert);
        if (alert.kind != host::kAlertError) return;
        if (!commandRunning)
            errorAfterwards = true;
        else if (host::modalDialogRunning())
            errorInDialog = true;
        else
            errorShown = true;
    });
    const std::string homeFolder = host::homeDirectory();
    const HomeWrites writes(homeFolder);
    const std::uint64_t refusedAllocationsBefore = host::memoryStats().refusedAllocations;
    bool cancelled = false;   // the user stopped the work in the progress window
    host.setProgressObserver([&](const host::ProgressEvent& event, const host::ProcessWindowState& window) {
        progress.show(event, window);
        cancelled = cancelled || event.kind == host::ProgressEvent::cancelled;
    });
    host::setDialogTranscript([&](const std::string& line) {
        progress.endBar();
        std::cout << host::visibleText(line) << "\n";
        if (line.starts_with(kActionMark)) errorInDialog = false;   // the user went on
    });
    // The add-on's framework tells how each of its steps ended before its work: also those of the
    // notifications that follow the command.
    std::vector<std::string> declined;
    std::vector<std::string> failedPreparations;
    std::vector<std::string> blocked;
    host::watchStepEnds([&](host::StepEnd end, std::string_view step) {
        if (end == host::StepEnd::blocked)
            blocked.emplace_back(step);
        else if (!commandRunning)   // a step of a notification is no answer of the command
            return;
        else if (end == host::StepEnd::declined)
            declined.emplace_back(step);
        else
            failedPreparations.emplace_back(step);
    });
    const host::Result result = host.selectMenuItem(*choice);
    host::setDialogTranscript(nullptr);
    host.setProgressObserver(nullptr);
    progress.endBar();
    commandRunning = false;
    std::size_t refused = 0;
    const host::HostCall* firstRefused = nullptr;
    // From the module's start: a text refused as it starts leaves the command as short of it as one
    // refused inside the command.
    for (std::size_t i = 0; i < host.calls().size(); ++i) {
        if (!host::refusedWork(host.calls()[i])) continue;
        if (refused++ == 0) firstRefused = &host.calls()[i];
    }
    const std::uint64_t refusedAllocations =
        host::memoryStats().refusedAllocations - refusedAllocationsBefore;
    // An action that could not be played as written stopped the run: nothing of it is kept. So do dialog
    // actions left unplayed, unless the command gave up on a failed read or an error before the dialog
    // they wait for could open: that is the command's failure, not the script's.
    const bool unplayable = host::scriptRunStopped();
    const bool unplayed = host::stopOnUnplayedDialogActions();
    const bool gaveUp = refused > 0 || refusedAllocations > 0 || errorShown;
    if (unplayable || (unplayed && !gaveUp)) {
        host.stopAddons();
        host::watchStepEnds(nullptr);
        // The add-on may have stored its own files before the stop (a dialog accepted earlier).
        const std::vector<std::string> written = writes.files();
        tell("script: " + host::scriptStopMessage() + "; the project was not saved" +
             (written.empty() ? ", nor anything else"
                              : ", but the add-on had saved " + filesIn(homeFolder, written)));
        return kExitBadInput;
    }
    if (result != host::kNoError)
        tell(host::quotedInput(command) + " ended with " + host::describeResult(result));
    if (firstRefused)
        tell(std::to_string(refused) + " of the host calls the command needed failed (reads, project " +
             "changes, undoable steps), the first: " + host::hostSlotName(firstRefused->slot) +
             codeText(firstRefused->code) + " with " + host::describeResult(firstRefused->result));
    if (refusedAllocations > 0)
        tell(std::to_string(refusedAllocations) + " of the command's memory allocations failed");
    if (errorShown) tell(host::quotedInput(command) + " showed an error outside its dialogs");
    if (errorInDialog)
        tell(host::quotedInput(command) +
             " showed an error in a dialog, which then closed before the user did anything more");
    if (cancelled) tell(host::quotedInput(command) + " was cancelled before its end");
    if (unplayed) tell("script: " + host::scriptStopMessage() + ", as the command had given up before");
    for (const std::string& step : failedPreparations)
        tell(host::quotedInput(command) + " failed: the add-on's step " + host::quotedInput(step) +
             " failed in its preparation, before the step's work began");

    int status = (result != host::kNoError || refused > 0 || refusedAllocations > 0 || errorShown ||
                  errorInDialog || cancelled || !failedPreparations.empty())
                     ? kExitFailures
                     : kExitDone;
    for (const auto& left : host::unplayedActions()) {   // scripted answers nothing asked for
        tell("script: never played: " + left);
        status = kExitFailures;
    }
    if (out) {
        // The host tells the add-ons before and after it saves, so they can store their module data.
        host.notifyProject(host::kProjectPreSave);
        std::string tooLarge;
        if (!host.project().saveFile(*out, error, tooLarge)) {
            tell(error);
            status = kExitFailures;
        } else {
            host.notifyProject(host::kProjectSave);
            if (!tooLarge.empty()) {   // written, but no run of this host can take it up again
                tell(tooLarge);
                status = kExitFailures;
            }
        }
    }
    host.notifyProject(host::kProjectQuit);
    host.stopAddons();
    host::watchStepEnds(nullptr);
    for (const auto& line : host.stopResults())
        if (line.find("failed") != std::string::npos) tell(line);
    if (errorAfterwards) {
        tell("an add-on showed an error as the project was saved or closed");
        status = kExitFailures;
    }
    for (const std::string& step : blocked)
        tell("the add-on's step " + host::quotedInput(step) +
             " was refused: it was asked for while the host told of a project event");
    // Last, what the run wrote in the home: said with the command's decline, when it declined.
    const std::vector<std::string> written = writes.files();
    const std::string saved = written.empty() ? "" : filesIn(homeFolder, written);
    for (std::size_t i = 0; i < declined.size(); ++i)
        tell(host::quotedInput(command) + " declined: the add-on stopped its step " +
             host::quotedInput(declined[i]) + " before the step's work began" +
             (i + 1 == declined.size() && !saved.empty() ? "; the add-on saved " + saved : ""));
    if (declined.empty() && !saved.empty()) tell("the add-on saved " + saved);
    return status;
}

}   // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    std::string error;
    if (!parseArguments(argc, argv, arguments, error)) {
        tell(error);
        std::cerr << kUsage << "(skellow-host --help tells more)\n";
        return kExitBadInput;
    }
    if (arguments.help) {
        std::cout << kHelpIntro << kUsage << kHelp << kDialogActionsHelp;
        return kExitDone;
    }
    const int status = arguments.mode == "menus" ? listMenus(arguments) : runCommand(arguments);
    // A file made to try --out's folder, or to write it, that could not be removed then.
    for (const std::string& left : host::removeLeftFiles()) tell(left);
    return status;
}

// skellow-host: the command-line stand-in for the CAD host. It loads an add-on module into a simulated
// host, lists the menus the add-on registers, or opens a project and runs one menu command on it.
//
//   skellow-host menus [--module PATH]
//   skellow-host run PROJECT.json --command "ITEM TEXT" [--answers SCRIPT.json] [--home DIR]
//                    [--out OUT.json] [--module PATH]
//
// Exit status: 0 done; 1 the command reported failures (a non-zero result or an error alert);
// 2 bad arguments or unreadable input (nothing is written).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <HostDialogs.h>
#include <HostFiles.h>
#include <SimulatedHost.h>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailures = 1;
constexpr int kExitBadInput = 2;

constexpr const char* kUsage =
    "usage: skellow-host menus [--module PATH]\n"
    "       skellow-host run PROJECT.json --command \"ITEM TEXT\" [--answers SCRIPT.json] [--home DIR]\n"
    "                        [--out OUT.json] [--module PATH]\n";

struct Arguments {
    std::string mode;
    std::string project;
    std::map<std::string, std::string> options;
};

// False with a message for an unknown option, an option without its value or a missing operand.
bool parseArguments(int argc, char** argv, Arguments& arguments, std::string& error) {
    if (argc < 2) return error = "no command given", false;
    arguments.mode = argv[1];
    std::vector<std::string> allowed;
    if (arguments.mode == "menus")
        allowed = {"--module"};
    else if (arguments.mode == "run")
        allowed = {"--command", "--answers", "--home", "--out", "--module"};
    else
        return error = "unknown command \"" + arguments.mode + "\"", false;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.rfind("--", 0) == 0) {
            bool known = false;
            for (const auto& option : allowed) known = known || option == word;
            if (!known) return error = "unknown option " + word + " for " + arguments.mode, false;
            if (i + 1 >= argc) return error = word + " needs a value", false;
            if (!arguments.options.emplace(word, argv[++i]).second)
                return error = word + " is given twice", false;
        } else if (arguments.mode == "run" && arguments.project.empty()) {
            arguments.project = word;
        } else {
            return error = "unexpected argument \"" + word + "\"", false;
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
    if (std::filesystem::exists(SKELLOW_DEFAULT_MODULE)) return std::string(SKELLOW_DEFAULT_MODULE);
#endif
    error = "no --module given, and no Skellowing module was built beside this program";
    return std::nullopt;
}

bool startModule(host::SimulatedHost& host, const Arguments& arguments) {
    std::string error;
    const auto path = modulePath(arguments, error);
    if (!path || !host.startAddon(*path, error)) {
        std::cerr << "skellow-host: " << error << "\n";
        return false;
    }
    return true;
}

int listMenus(const Arguments& arguments) {
    host::SimulatedHost host;
    if (!startModule(host, arguments)) return kExitBadInput;
    for (const auto& addon : host.addons()) {
        std::cout << addon.name << "\n";
        std::size_t start = 0;
        while (start < addon.description.size()) {   // each line of the description, indented
            const std::size_t end = std::min(addon.description.find('\n', start), addon.description.size());
            std::cout << "  " << addon.description.substr(start, end - start) << "\n";
            start = end + 1;
        }
        for (const auto& menu : addon.menus) {
            std::cout << "Menu \"" << host::menuDisplayText(menu.title) << "\" (string list " << menu.listId
                      << ", position " << menu.position << ", flags " << menu.flags << ")";
            if (!menu.titlePrompt.empty()) std::cout << ": " << menu.titlePrompt;
            std::cout << "\n";
            for (std::size_t i = 0; i < menu.items.size(); ++i) {
                std::cout << "  " << i + 1 << ". " << host::menuDisplayText(menu.items[i].text);
                if (!menu.items[i].prompt.empty()) std::cout << " - " << menu.items[i].prompt;
                std::cout << "\n";
            }
        }
    }
    host.stopAddons();
    for (const auto& line : host.stopResults())
        if (line.find("failed") != std::string::npos) std::cerr << "skellow-host: " << line << "\n";
    return kExitDone;
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

void printAlert(const host::AlertRecord& alert) {
    std::cout << "[" << (alert.title.empty() ? alertKindName(alert.kind) : alert.title) << "] "
              << alert.largeText << "\n";
    if (!alert.smallText.empty()) std::cout << "  " << alert.smallText << "\n";
    if (!alert.buttons[1].empty() || !alert.buttons[2].empty()) {
        const std::string& chosen = alert.buttons[alert.answer - 1];
        std::cout << "  -> " << (chosen.empty() ? "OK" : chosen) << "\n";
    }
    std::cout.flush();
}

// A bar redrawn in place on a terminal; otherwise one line per window and phase.
class ProgressPrinter {
public:
    explicit ProgressPrinter(bool terminal) : terminal_(terminal) {}

    void operator()(const host::ProgressEvent& event, const host::ProcessWindowState& window) {
        using Kind = host::ProgressEvent::Kind;
        if (!terminal_) {
            if (event.kind == Kind::open) std::cout << "Progress: " << event.text << "\n";
            if (event.kind == Kind::phase) std::cout << "  " << event.text << " (" << event.number << ")\n";
            if (event.kind == Kind::cancelled) std::cout << "  cancelled\n";
            std::cout.flush();
            return;
        }
        if (event.kind == Kind::close || event.kind == Kind::cancelled) {
            std::cout << "\r\033[K";
            if (event.kind == Kind::cancelled) std::cout << window.title << ": cancelled\n";
            std::cout.flush();
            return;
        }
        constexpr int kWidth = 30;
        const int limit = window.phaseLimit > 0 ? window.phaseLimit : 1;
        const int filled = std::clamp(window.value, 0, limit) * kWidth / limit;
        std::cout << "\r\033[K" << window.title;
        if (!window.phaseText.empty()) std::cout << " - " << window.phaseText;
        std::cout << " [" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
                  << window.value << "/" << window.phaseLimit;
        std::cout.flush();
    }

private:
    bool terminal_;
};

int runCommand(const Arguments& arguments) {
    // Everything is read and checked before the add-on runs, so bad input changes nothing.
    if (auto home = option(arguments, "--home")) {
        std::error_code ec;
        std::filesystem::create_directories(*home, ec);
        if (!std::filesystem::is_directory(*home, ec)) {
            std::cerr << "skellow-host: " << *home << ": cannot be used as the host's home directory\n";
            return kExitBadInput;
        }
        host::setHomeDirectory(std::filesystem::absolute(*home).string());
    }
    host::SimulatedHost host;
    std::string error;
    if (!host.project().loadFile(arguments.project, error)) {
        std::cerr << "skellow-host: " << error << "\n";
        return kExitBadInput;
    }
    if (auto answers = option(arguments, "--answers")) {
        if (!host::loadUserActions(*answers, error)) {
            std::cerr << "skellow-host: " << error << "\n";
            return kExitBadInput;
        }
    }
    const auto out = option(arguments, "--out");
    if (out && std::filesystem::is_directory(*out)) {
        std::cerr << "skellow-host: " << *out << ": is a folder, not a project file\n";
        return kExitBadInput;
    }
    if (!startModule(host, arguments)) return kExitBadInput;
    const std::string command = *option(arguments, "--command");
    const auto choice = host.findMenuItem(command);
    if (!choice) {
        std::cerr << "skellow-host: no menu command \"" << command << "\"; the add-ons offer:\n";
        for (const auto& addon : host.addons())
            for (const auto& menu : addon.menus)
                for (const auto& item : menu.items)
                    std::cerr << "  " << host::menuDisplayText(item.text) << "\n";
        host.stopAddons();
        return kExitBadInput;
    }

    bool errorShown = false;
    host::setAlertObserver([&](const host::AlertRecord& alert) {
        printAlert(alert);
        errorShown = errorShown || alert.kind == host::kAlertError;
    });
    host.setProgressObserver(ProgressPrinter(isatty(STDOUT_FILENO) != 0));
    const host::Result result = host.selectMenuItem(*choice);
    host.setProgressObserver(nullptr);
    host::setAlertObserver(nullptr);
    for (const auto& message : host::scriptErrors()) std::cerr << "skellow-host: script: " << message << "\n";
    if (result != host::kNoError)
        std::cerr << "skellow-host: \"" << command << "\" ended with " << host::describeResult(result)
                  << "\n";

    int status = (result != host::kNoError || errorShown) ? kExitFailures : kExitDone;
    if (out) {
        // The host tells the add-ons before and after it saves, so they can store their module data.
        host.notifyProject(host::kProjectPreSave);
        if (!host.project().saveFile(*out, error)) {
            std::cerr << "skellow-host: " << error << "\n";
            status = kExitFailures;
        } else {
            host.notifyProject(host::kProjectSave);
        }
    }
    host.notifyProject(host::kProjectQuit);
    host.stopAddons();
    for (const auto& line : host.stopResults())
        if (line.find("failed") != std::string::npos) std::cerr << "skellow-host: " << line << "\n";
    return status;
}

}   // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    std::string error;
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << kUsage;
        return kExitDone;
    }
    if (!parseArguments(argc, argv, arguments, error)) {
        std::cerr << "skellow-host: " << error << "\n" << kUsage;
        return kExitBadInput;
    }
    return arguments.mode == "menus" ? listMenus(arguments) : runCommand(arguments);
}

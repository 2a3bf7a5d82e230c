#include "HostSystem.h"

#include <sys/utsname.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <string_view>

namespace host {
namespace {

struct State {
    ScreenPosition mouse;
    std::map<WindowId, std::string> windows;   // open windows by id; ids grow, so oldest first
    WindowId nextWindow = 1;                   // 0 means "no window"
    std::string language = "INT";
};

// Never destroyed, like the host's other services, so static destructors may still use it.
State& state() {
    static State* const instance = new State;
    return *instance;
}

// The program's locale when it chose one; else what the environment asks for, as the host would.
std::string localeName() {
    const char* const current = std::setlocale(LC_ALL, nullptr);
    if (current && std::string_view(current) != "C" && std::string_view(current) != "POSIX") return current;
    for (const char* variable : {"LC_ALL", "LANG"}) {
        const char* const value = std::getenv(variable);
        if (value && *value) return value;
    }
    return current ? current : "C";
}

}   // namespace

// --- Mouse -----------------------------------------------------------------------------------------
ScreenPosition mousePosition() { return state().mouse; }

void setMousePosition(ScreenPosition position) { state().mouse = position; }

// --- Windows ---------------------------------------------------------------------------------------
WindowId findWindowByTitle(const std::string& title) {
    for (const auto& [id, windowTitle] : state().windows)
        if (windowTitle == title) return id;   // several alike: the one opened first
    return 0;
}

WindowId openWindow(const std::string& title) {
    State& s = state();
    const WindowId id = s.nextWindow++;
    s.windows.emplace(id, title);
    return id;
}

void closeWindow(WindowId window) { state().windows.erase(window); }   // unknown ids are ignored

// --- Descriptions ----------------------------------------------------------------------------------
std::string languageCode() { return state().language; }

void setLanguageCode(const std::string& code) { state().language = code; }

std::string hostDescription() { return "skellow-host 22.0 (stand-in for the host, version 22)"; }

// For example "Linux 6.1.0-18-amd64 x86_64, locale en_US.UTF-8".
std::string platformDescription() {
    std::string system = "unknown system";
    if (utsname name{}; uname(&name) == 0)
        system = std::string(name.sysname) + " " + name.release + " " + name.machine;
    return system + ", locale " + localeName();
}

}   // namespace host

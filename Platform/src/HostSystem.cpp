#include "HostSystem.h"

#include <sys/utsname.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <string_view>

namespace host {
namespace {

struct Window {
    std::string title;
    ClientRect client;
};

constexpr WindowId kMainWindow = 1;

struct State {
    ScreenPosition mouse;
    std::map<WindowId, Window> windows{
        {kMainWindow, {"skellow-host", {}}}};   // by id; ids grow: oldest first
    WindowId nextWindow = kMainWindow + 1;      // 0 means "no window"
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
    for (const auto& [id, window] : state().windows)
        if (window.title == title) return id;   // several alike: the one opened first
    return 0;
}

WindowId openWindow(const std::string& title, ClientRect client) {
    State& s = state();
    const WindowId id = s.nextWindow++;
    s.windows.emplace(id, Window{title, client});
    return id;
}

void closeWindow(WindowId window) {
    if (window != kMainWindow) state().windows.erase(window);   // unknown ids are ignored
}

WindowId mainWindow() { return kMainWindow; }

bool windowClientRect(WindowId window, ClientRect& client) {
    const auto found = state().windows.find(window);
    if (found == state().windows.end()) return false;
    client = found->second.client;
    return true;
}

void setWindowClientRect(WindowId window, ClientRect client) {
    const auto found = state().windows.find(window);
    if (found != state().windows.end()) found->second.client = client;
}

// --- Time values -----------------------------------------------------------------------------------
bool timeRecord(std::int32_t time, TimeRecord& record) {
    if (time < 0) return false;
    const std::int32_t days = time / 86400;
    const std::int32_t seconds = time % 86400;
    // Days since the epoch to a civil date, counting in 400-year eras from 1 March 0000.
    const std::int32_t shifted = days + 719468;
    const std::int32_t era = shifted / 146097;
    const std::int32_t dayOfEra = shifted - era * 146097;
    const std::int32_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int32_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const std::int32_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    record.year = static_cast<std::uint16_t>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    record.month = static_cast<std::uint16_t>(month);
    record.day = static_cast<std::uint16_t>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    record.hour = static_cast<std::uint16_t>(seconds / 3600);
    record.minute = static_cast<std::uint16_t>(seconds / 60 % 60);
    record.second = static_cast<std::uint16_t>(seconds % 60);
    record.weekday = static_cast<std::uint16_t>((days + 4) % 7);
    return true;
}

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

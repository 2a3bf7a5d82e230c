// The host machine's desktop: the mouse and the top-level windows. Headless, so both are simulated:
// the host program and tests place the mouse and open windows by title.
#pragma once

#include <cstdint>
#include <string>

namespace host {

struct ScreenPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

ScreenPosition mousePosition();
void setMousePosition(ScreenPosition position);

using WindowId = std::uintptr_t;   // 0: no window
// A window's client area on the screen: its top left corner and size, in screen pixels.
struct ClientRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 1000;
    std::int32_t height = 750;
};
// Exact title; the one opened first when several share it; 0 when none is open.
WindowId findWindowByTitle(const std::string& title);
WindowId openWindow(const std::string& title, ClientRect client = {});   // the desktop gains a window
void closeWindow(WindowId window);   // an unknown id, and the host's main window, are ignored
// The host application's main window, always open ("skellow-host", its client area at the screen's
// top left, 1000 by 750 pixels, which the project's views fill).
WindowId mainWindow();
bool windowClientRect(WindowId window, ClientRect& client);     // false for a window that is not open
void setWindowClientRect(WindowId window, ClientRect client);   // an unknown id is ignored

// The host's language code ("INT", "GER", ...), which names localised library parts; "INT" until a test
// or the host program sets another.
std::string languageCode();
void setLanguageCode(const std::string& code);

// The host's time values: seconds since 1 January 1970 00:00:00 UTC, as the host's files keep them, and
// the calendar record the host's time library converts them to (UTC; weekday 0 is Sunday).
struct TimeRecord {
    std::uint16_t year = 1970;
    std::uint16_t month = 1;   // 1..12
    std::uint16_t day = 1;     // 1..31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t weekday = 4;   // 1 January 1970 was a Thursday
};
// False, record unchanged, for a value the host cannot convert: one before its epoch (negative).
bool timeRecord(std::int32_t time, TimeRecord& record);

// Host and platform descriptions for exception reports.
std::string hostDescription();       // the host application and its version
std::string platformDescription();   // operating system, locale and version

}   // namespace host

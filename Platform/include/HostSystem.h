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

// Host and platform descriptions for exception reports.
std::string hostDescription();       // the host application and its version
std::string platformDescription();   // operating system, locale and version

}   // namespace host

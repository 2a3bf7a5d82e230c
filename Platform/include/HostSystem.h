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
// Exact title; the one opened first when several share it; 0 when none is open.
WindowId findWindowByTitle(const std::string& title);
WindowId openWindow(const std::string& title);   // the simulated desktop gains a window
void closeWindow(WindowId window);               // an unknown id is ignored

// The host's language code ("INT", "GER", ...), which names localised library parts; "INT" until a test
// or the host program sets another.
std::string languageCode();
void setLanguageCode(const std::string& code);

// Host and platform descriptions for exception reports.
std::string hostDescription();       // the host application and its version
std::string platformDescription();   // operating system, locale and version

}   // namespace host

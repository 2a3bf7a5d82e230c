// System: services of the machine the host runs on: the platform code, the host's special folders, the
// mouse and the top-level windows.
#pragma once

#include <cstdint>
#include <memory>

#include <HostSystem.h>

namespace tarnwick {

class Directory;
class String;

// Not instantiated: every service is a static function.
class System {
public:
    System() = delete;

    static constexpr std::uint16_t kHostCode = 0x5757;   // "WW": the platform sign of user-data blocks

    static std::uint16_t getHostCode() { return kHostCode; }
    // The host's special folder number 5 (application data), owned by the caller; null when the host has
    // none.
    static std::unique_ptr<Directory> getSpecialFolder5();
    static host::ScreenPosition getMousePosition();                 // in screen pixels
    static host::WindowId findWindowByTitle(const String& title);   // the exact title; 0 when none is open
};

}   // namespace tarnwick

// ProjectEvent: a host project notification (new, open, save, close, quit ...).
#pragma once

#include <cstdint>

#include <FourCC.h>

#include "Environment/Event.h"

namespace tarnwick {

// Key 'HOST', 'PRJT'. The code is the host's 32-bit notification code, one bit per notification
// (HostAddonProtocol.h: 32 the project is closing, 64 the host is quitting).
class ProjectEvent : public Event {
public:
    static constexpr std::uint32_t kSource = host::fourcc("HOST");
    static constexpr std::uint32_t kType = host::fourcc("PRJT");

    explicit ProjectEvent(std::uint32_t code);

    std::uint32_t getCode() const { return code_; }

    String describe() const override;   // "HOST/PRJT code 32"

private:
    std::uint32_t code_;
};

}   // namespace tarnwick

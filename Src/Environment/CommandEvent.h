// CommandEvent: another add-on called one of this add-on's command services.
#pragma once

#include <cstdint>

#include <FourCC.h>
#include <HostMemory.h>

#include "Environment/Event.h"

namespace tarnwick {

// Key 'HOST', 'CMND'. Carries the command id (a four-character code), its version and the caller's
// parameter handle, which the caller keeps (may be null). Reading the parameters out of the handle as
// a parameter list belongs to the library-part parameter classes; until they join, subscribers get the
// handle as the host gave it.
class CommandEvent : public Event {
public:
    static constexpr std::uint32_t kSource = host::fourcc("HOST");
    static constexpr std::uint32_t kType = host::fourcc("CMND");

    CommandEvent(std::uint32_t commandId, std::int32_t version, host::Handle parameters);

    std::uint32_t getCommandId() const { return commandId_; }
    std::int32_t getVersion() const { return version_; }
    host::Handle getParameters() const { return parameters_; }   // borrowed; null: none

    String describe() const override;   // "HOST/CMND GSUP version 1"

private:
    std::uint32_t commandId_;
    std::int32_t version_;
    host::Handle parameters_;
};

}   // namespace tarnwick

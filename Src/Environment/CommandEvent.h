// CommandEvent: another add-on called one of this add-on's command services. The event is also the
// call's parameter list.
#pragma once

#include <cstdint>

#include <FourCC.h>
#include <HostMemory.h>

#include "Environment/Event.h"
#include "LibraryParts/ParameterList.h"

namespace tarnwick {

// Key 'HOST', 'CMND'. Made from the caller's command parameter list, which the caller keeps (may be
// null): the parameters are read from it, the host's last first, and the command id and version are
// those of the parameters "command_id" and "command_version" (0 when missing). The result data is the
// caller's, for the subscriber that serves the command to fill.
class CommandEvent : public Event, public ParameterList {
public:
    static constexpr std::uint32_t kSource = host::fourcc("HOST");
    static constexpr std::uint32_t kType = host::fourcc("CMND");

    // Reads the parameters; a list the host cannot give leaves the event without them (isRead false).
    explicit CommandEvent(host::Handle parameters, void* resultData = nullptr);
    // A call whose id and version are known apart from its parameters (which are read all the same).
    CommandEvent(std::uint32_t commandId, std::int32_t version, host::Handle parameters);
    CommandEvent(const CommandEvent&) = default;

    std::uint32_t getCommandId() const { return commandId_; }
    std::int32_t getVersion() const { return version_; }
    host::Handle getParameters() const { return parameters_; }   // borrowed; null: none
    void* getResultData() const { return resultData_; }
    bool isRead() const { return read_; }   // whether the parameters could be read

    String describe() const override;   // "HOST/CMND GSUP version 1"

private:
    std::uint32_t commandId_ = 0;
    std::int32_t version_ = 0;
    host::Handle parameters_;
    void* resultData_ = nullptr;
    bool read_ = false;
};

}   // namespace tarnwick

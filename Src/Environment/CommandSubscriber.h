// CommandSubscriber: serves one add-on command service (a four-character command id and a version) that
// other add-ons call: it registers the service with the host, installs the handler, and receives the
// calls as CommandEvents.
#pragma once

#include <cstdint>

#include "Environment/Subscriber.h"

namespace tarnwick {

class CommandEvent;

// The host hands a call over without naming the command: the event takes it from the parameters
// ("command_id"), and a call that names none goes to the first command subscriber that serves it.
class CommandSubscriber : public Subscriber {
public:
    CommandSubscriber(std::uint32_t commandId, std::int32_t version, std::uint16_t priority = 0);

    std::uint32_t getCommandId() const { return commandId_; }

    void subscribe(EventKeyList& keys) const override;
    // A CommandEvent of this command (or of none): doCommand's answer. False for other events.
    bool receive(const Event& event) override;

protected:
    // Serves the call: true when it was handled (its result data, when there is any, filled).
    virtual bool doCommand(const CommandEvent& event) = 0;

    std::uint32_t registerInterface() override;   // the host's result of 'registerCommandService'
    std::uint32_t initialize() override;          // the host's result of 'installCommandHandler'

private:
    std::uint32_t commandId_;
    std::int32_t version_;
};

}   // namespace tarnwick

#include "Environment/Subscriber.h"

#include "Environment/EventKeyList.h"
#include "Environment/Publisher.h"

namespace tarnwick {

Subscriber::Subscriber(std::uint16_t priority) : priority_(priority) {}

Subscriber::~Subscriber() {
    // Each publisher removes itself from publishers_ while it lets go of us.
    while (!publishers_.empty()) publishers_.back()->forget(*this);
}

std::uint32_t Subscriber::runStage(Stage stage) {
    const auto bit = static_cast<std::uint8_t>(1u << static_cast<unsigned>(stage));
    if (stagesRun_ & bit) return 0;
    stagesRun_ |= bit;   // before the hook: a hook that throws has still had its one run
    switch (stage) {
        case Stage::checkEnvironment:
            return checkEnvironment();
        case Stage::registerInterface:
            return registerInterface();
        case Stage::initialize:
            return initialize();
    }
    return 0;
}

void Subscriber::subscribe(EventKeyList&) const {}

std::uint32_t Subscriber::checkEnvironment() { return 0; }

std::uint32_t Subscriber::registerInterface() { return 0; }

std::uint32_t Subscriber::initialize() { return 0; }

}   // namespace tarnwick

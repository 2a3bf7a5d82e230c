#include "Environment/ProjectSubscriber.h"

#include "Environment/EventKeyList.h"
#include "Environment/ProjectEvent.h"

namespace tarnwick {

ProjectSubscriber::ProjectSubscriber(std::uint16_t priority) : Subscriber(priority) {}

void ProjectSubscriber::subscribe(EventKeyList& keys) const {
    keys.append(ProjectEvent::kSource, ProjectEvent::kType);
}

bool ProjectSubscriber::receive(const Event& event) {
    const auto* project = dynamic_cast<const ProjectEvent*>(&event);
    return project ? receive(*project) : false;
}

}   // namespace tarnwick

#include "Interface/ResizeSubscriber.h"

#include <HostDialogLibrary.h>

#include "Environment/ControlLink.h"
#include "Environment/EventKeyList.h"
#include "Environment/ResizeEvent.h"
#include "Interface/InterfacePanel.h"

namespace tarnwick {
namespace {

class MoveGrowScope {
public:
    explicit MoveGrowScope(std::int16_t dialog) : dialog_(dialog) { host::DGBeginMoveGrowItems(dialog_); }
    ~MoveGrowScope() { host::DGEndMoveGrowItems(dialog_); }
    MoveGrowScope(const MoveGrowScope&) = delete;
    MoveGrowScope& operator=(const MoveGrowScope&) = delete;

private:
    std::int16_t dialog_;
};

}   // namespace

ResizeSubscriber::ResizeSubscriber(std::uint16_t priority) : Subscriber(priority) {}

void ResizeSubscriber::subscribe(EventKeyList& keys) const {
    keys.append(InterfaceEvent::kSource, ResizeEvent::kType);
}

bool ResizeSubscriber::receive(const Event& event) {
    const auto* resize = dynamic_cast<const ResizeEvent*>(&event);
    if (!resize) return false;
    const InterfacePanel* panel = resize->getLink().getPanel();
    const MoveGrowScope scope(panel ? panel->getPanelId() : 0);
    return handle(*resize);
}

}   // namespace tarnwick

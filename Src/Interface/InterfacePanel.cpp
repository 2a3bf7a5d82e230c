#include "Interface/InterfacePanel.h"

#include <algorithm>
#include <cmath>

#include <HostDialogLibrary.h>

#include "Environment/Addon.h"
#include "Environment/InterfaceEvent.h"
#include "Environment/ItemEvent.h"
#include "Environment/ProjectEvent.h"
#include "Environment/ProjectSubscriber.h"
#include "Interface/ActionEvent.h"
#include "Interface/ControlObserver.h"
#include "Interface/DialogControl.h"
#include "Interface/DialogEvent.h"
#include "Interface/GenericObserver.h"
#include "Interface/InterfacePanelObserver.h"

namespace tarnwick {
namespace {

constexpr const char* kDispatchPlace = "InterfacePanel::broadcastEvent (fall-through to last catch)";

std::map<std::int32_t, InterfacePanel*>* registry = nullptr;   // serial -> panel, not owning
std::int32_t serialCounter = 0;

// Closes the windows of every panel when the host closes or replaces the project.
class Projector : public ProjectSubscriber {
public:
    bool receive(const ProjectEvent& event) override {
        if (event.getCode() != 32 && event.getCode() != 64) return false;
        if (!registry) return false;
        std::vector<std::int32_t> serials;
        for (const auto& [serial, panel] : *registry) serials.push_back(serial);
        for (std::int32_t serial : serials)
            if (InterfacePanel* panel = InterfacePanel::findBySerial(serial)) panel->closeWindow();
        return false;   // others see the event too
    }
    using ProjectSubscriber::receive;
};

Projector projector;
bool projectorSubscribed = false;

// Reports the exception being handled; reporting itself never throws out of a boundary.
void reportHere(const char* place) {
    try {
        Addon::reportCurrentException(place);
    } catch (...) {
    }
}

}   // namespace

InterfacePanel::InterfacePanel(std::uint16_t resourceId, bool resizeOnOpen)
    : resourceId_(resourceId), resizeOnOpen_(resizeOnOpen) {
    if (!projectorSubscribed) {
        if (Addon* addon = Addon::getInstance())
            projectorSubscribed = addon->subscribe(projector) || addon->isSubscribed(projector);
    }
    serial_ = ++serialCounter;
    if (registry) (*registry)[serial_] = this;
}

InterfacePanel::~InterfacePanel() {
    if (registry) registry->erase(serial_);
    releaseJoined();
    controls_.clear();
    observers_.clear();
}

std::int16_t InterfacePanel::getPanelId() const { return panelId_; }

InterfacePanel* InterfacePanel::getParent() const { return nullptr; }

ScreenPoint InterfacePanel::getClientSize(std::int16_t sizeType) const {
    std::int32_t width = 0, height = 0;
    host::DGGetDialogClientSize(panelId_, sizeType, width, height);
    return ScreenPoint(static_cast<std::int16_t>(width), static_cast<std::int16_t>(height), 0);
}

ScreenPoint InterfacePanel::getMinimumSize(std::int32_t kind) const {
    std::int32_t width = 0, height = 0;
    if (ScreenPoint::isClientKind(kind)) {
        host::DGGetDialogClientMinSize(panelId_, width, height);
        return ScreenPoint(static_cast<std::int16_t>(width), static_cast<std::int16_t>(height), kind);
    }
    host::DGGetDialogFrameMinSize(panelId_, width, height);
    return ScreenPoint(toLogical(width), toLogical(height), kind);
}

ScreenPoint InterfacePanel::getPosition(std::int32_t) const { return ScreenPoint(0, 0, 0); }

void InterfacePanel::setClientSize(const ScreenPoint& size, std::int16_t anchor) {
    if (!isOpen()) return;
    if (size.isClientKind())
        host::DGSetDialogClientSize(panelId_, size.x, size.y, anchor, 0);
    else
        host::DGSetDialogFrameSize(panelId_, toNative(size.x), toNative(size.y), anchor);
}

void InterfacePanel::enableDragAndDrop() {
    if (const std::int16_t panel = getPanel()) host::DGEnableDragAndDrop(panel);
}

void InterfacePanel::closeWindow() {}

bool InterfacePanel::broadcastEvent(const Event& event) {
    bool handled = false;
    try {
        // 1. The event log.
        if (Addon* addon = Addon::getInstance()) addon->logEvent(event);
        const auto* interfaceEvent = dynamic_cast<const InterfaceEvent*>(&event);
        if (interfaceEvent) {
            const std::int16_t item = interfaceEvent->getItemId();
            if (item >= 1) {
                // 3. The control that owns the item.
                if (DialogControl* control = findControl(static_cast<std::uint16_t>(item)))
                    handled = control->publish(event);
            } else if (interfaceEvent->getMethod() == DialogEvent::kOpened) {
                // 4. The opening event reaches every control, in the order they came. A handler may add
                // controls, which come last and hear it too, or remove one, its own included.
                for (DialogControl* control = controlAfter(0); control;) {
                    const std::uint64_t order = control->panelOrder_;
                    if (control->publish(event)) handled = true;
                    control = controlAfter(order);
                }
            }
        }
        // 5. The panel's own subscribers.
        if (!handled) handled = publish(event);
        // 6.
        if (dynamic_cast<const ActionEvent*>(&event) || dynamic_cast<const ItemEvent*>(&event)) update();
    } catch (...) {
        reportHere(kDispatchPlace);
    }
    return handled;
}

void InterfacePanel::initialise() {}
void InterfacePanel::opened() {}
void InterfacePanel::update() {}
void InterfacePanel::close(const ActionEvent&) {}
void InterfacePanel::cancel(const ActionEvent&) {}
void InterfacePanel::closed() {}

void InterfacePanel::detach() {
    releaseJoined();
    controls_.clear();
    panelId_ = 0;
    observers_.clear();
    attached_.clear();
}

void InterfacePanel::attachObservers() {
    const std::int16_t panel = getPanel();
    if (panel == 0) return;
    if (!observers_.count(GenericObserver::kKey))
        observers_[GenericObserver::kKey] = std::make_unique<GenericObserver>();
    // In the order the controls came; a control's observer might add controls, which come last.
    for (DialogControl* next = controlAfter(0); next; next = controlAfter(next->panelOrder_)) {
        DialogControl& control = *next;
        const std::uint16_t item = control.getItemId(0);
        if (!attached_.insert(item).second) continue;
        control.createItem(panel);
        observers_[GenericObserver::kKey]->attach(panel, control);
        const std::uint32_t type = control.getControlType();
        auto found = observers_.find(type);
        if (found == observers_.end()) {
            if (std::unique_ptr<ControlObserver> made = control.makeObserver())
                found = observers_.emplace(type, std::move(made)).first;
        }
        if (found != observers_.end()) found->second->attach(panel, control);
    }
}

// --- The registry ----------------------------------------------------------------------------------
std::uint32_t InterfacePanel::createRegistry() {
    if (!registry) registry = new std::map<std::int32_t, InterfacePanel*>();   // freed by destroyRegistry
    return 0;
}

void InterfacePanel::destroyRegistry() {
    delete registry;
    registry = nullptr;
    projectorSubscribed = false;
}

InterfacePanel* InterfacePanel::findPanel(std::int16_t panelId) {
    if (!registry) return nullptr;
    for (const auto& [serial, panel] : *registry)
        if (panel->getPanelId() == panelId) return panel;
    return nullptr;
}

InterfacePanel* InterfacePanel::findBySerial(std::int32_t serial) {
    if (!registry) return nullptr;
    const auto found = registry->find(serial);
    return found == registry->end() ? nullptr : found->second;
}

double InterfacePanel::getScaleFactor() const {
    const std::int16_t panel = getPanel();
    return panel == 0 ? 1.0 : host::DGGetScaleFactor(panel);
}

std::int16_t InterfacePanel::toLogical(double value) const {
    return static_cast<std::int16_t>(std::floor(value / getScaleFactor() + 0.5));
}

std::int32_t InterfacePanel::toNative(double value) const {
    return static_cast<std::int32_t>(std::floor(value * getScaleFactor() + 0.5));
}

void InterfacePanel::setMinimumSize(const ScreenPoint& size) {
    if (size.isClientKind())
        host::DGSetDialogClientMinSize(panelId_, size.x, size.y);
    else
        host::DGSetDialogFrameMinSize(panelId_, toNative(size.x), toNative(size.y));
}

ScreenRect InterfacePanel::getMonitorRect() const {
    const std::int32_t zero[4] = {0, 0, 0, 0};
    std::int32_t monitor[4] = {};
    host::DGGetMonitorRectFromRect(zero, monitor);
    return ScreenRect(ScreenPoint(toLogical(monitor[0]), toLogical(monitor[1])),
                      ScreenPoint(toLogical(monitor[2]), toLogical(monitor[3])));
}

void InterfacePanel::redraw() {
    if (isOpen()) host::DGRedrawDialog(panelId_);
}

void InterfacePanel::setFocus() { host::DGSetFocus(panelId_, -1); }

// --- Controls ----------------------------------------------------------------------------------------
// The first control of the item to come, whether the panel owns or borrows it.
DialogControl* InterfacePanel::findControl(std::uint16_t itemId) const {
    DialogControl* found = nullptr;
    const auto consider = [&](DialogControl* control) {
        if (control->ownsItem(itemId) && (!found || control->panelOrder_ < found->panelOrder_))
            found = control;
    };
    for (const auto& control : controls_) consider(control.get());
    for (DialogControl* control : joined_) consider(control);
    return found;
}

// The owned and the borrowed controls each keep the order they came in; asked afresh each step, so that a
// control added or gone meanwhile is taken into account.
DialogControl* InterfacePanel::controlAfter(std::uint64_t order) const {
    DialogControl* next = nullptr;
    const auto consider = [&](DialogControl* control) {
        if (control->panelOrder_ > order && (!next || control->panelOrder_ < next->panelOrder_))
            next = control;
    };
    for (const auto& control : controls_) consider(control.get());
    for (DialogControl* control : joined_) consider(control);
    return next;
}

void InterfacePanel::addControl(std::unique_ptr<DialogControl> control) {
    if (!control) return;
    control->panelOrder_ = ++controlsCome_;
    controls_.push_back(std::move(control));
}

void InterfacePanel::joinControl(DialogControl& control) {
    for (const auto& own : controls_)
        if (own.get() == &control) return;
    if (std::find(joined_.begin(), joined_.end(), &control) != joined_.end()) return;
    joined_.push_back(&control);   // its host item comes with the others' (attachObservers)
    control.joined_ = true;
    control.panelOrder_ = ++controlsCome_;
}

void InterfacePanel::leaveControl(DialogControl& control) {
    if (std::erase(joined_, &control) != 0) control.joined_ = false;
}

void InterfacePanel::releaseJoined() {
    // Without the panel in its link the control neither reaches a closed or deleted panel nor stays bound:
    // binding it at the next opening joins it again.
    for (DialogControl* control : joined_) {
        control->joined_ = false;
        control->link_ = ControlLink(control->link_.getItemId(), nullptr);
    }
    joined_.clear();
}

void InterfacePanel::removeControl(std::uint16_t itemId) {
    for (auto it = controls_.begin(); it != controls_.end(); ++it) {
        if ((*it)->ownsItem(itemId)) {
            controls_.erase(it);
            return;
        }
    }
}

bool InterfacePanel::collectChildren(std::vector<InterfacePanel*>& children) const {
    bool any = false;
    if (!registry) return false;
    for (const auto& [serial, panel] : *registry) {
        if (panel->getParent() == this) {
            children.push_back(panel);
            any = true;
        }
    }
    return any;
}

}   // namespace tarnwick

#include "Interface/DialogObserver.h"

#include <memory>
#include <vector>

#include <HostDialogLibrary.h>

#include "Environment/Addon.h"
#include "Environment/ItemReceiver.h"
#include "Interface/ActionEvent.h"
#include "Interface/Dialog.h"
#include "Interface/DialogEvent.h"

namespace tarnwick {
namespace {

void reportHere(const char* place) {
    try {
        Addon::reportCurrentException(place);
    } catch (...) {
    }
}

// Raises the add-on's external call depth for a palette, for the length of a callback.
class PaletteCall {
public:
    explicit PaletteCall(const Dialog& dialog) : addon_(dialog.isModal() ? nullptr : Addon::getInstance()) {
        if (addon_) addon_->enterExternalCall(false);
    }
    ~PaletteCall() {
        if (addon_) addon_->leaveExternalCall();
    }
    PaletteCall(const PaletteCall&) = delete;
    PaletteCall& operator=(const PaletteCall&) = delete;

private:
    Addon* addon_;
};

}   // namespace

Dialog* DialogObserver::findDialog() const { return dynamic_cast<Dialog*>(findOwner()); }

void DialogObserver::panelOpened(std::int16_t) {
    Dialog* dialog = findDialog();
    if (!dialog) return;
    try {
        // 1. and 2. Size and position, applied again as client values.
        if (dialog->resizesOnOpen()) {
            ScreenPoint size = dialog->getClientSize(2);
            size.kind = 0;
            dialog->setClientSize(size, 1);
        }
        if (dialog->remembersPosition()) {
            ScreenPoint position = dialog->getPosition(2);
            position.kind = 0;
            dialog->setPosition(position);
        }
        // 3. The controls and their host items.
        dialog->initialise();
        dialog->attachObservers();
        // 4. Child panels (tab panels, the one child kind) make theirs.
        std::vector<InterfacePanel*> children;
        dialog->collectChildren(children);
        for (InterfacePanel* child : children) {
            child->initialise();
            child->attachObservers();
        }
        // 5. and 6. The opening event, then the opened hooks.
        dialog->broadcastEvent(DialogEvent(ControlLink(0, dialog), DialogEvent::kOpened, 0));
        dialog->opened();
        for (InterfacePanel* child : children) {
            child->broadcastEvent(DialogEvent(ControlLink(0, child), DialogEvent::kOpened, 0));
            child->opened();
        }
    } catch (...) {
        reportHere("DialogObserver::PanelOpened");
        dialog->postCloseRequest(false);   // a half-made dialog is not left for the user
    }
}

void DialogObserver::panelCloseRequested(std::int16_t panel, bool accepted, bool& allow) {
    Dialog* dialog = findDialog();
    if (!dialog) return;
    const PaletteCall call(*dialog);
    // Kept alive: a palette's close releases the host dialog, and with it this observer's owner.
    const std::shared_ptr<InterfacePanelObserver> keep = dialog->getPanelObserver();
    std::vector<InterfacePanel*> children;
    dialog->collectChildren(children);
    ItemReceiver receiver(1);
    const ActionEvent event(ControlLink(accepted ? 1 : 2, dialog), ActionEvent::kClick, std::nullopt,
                            &receiver);
    try {
        for (InterfacePanel* child : children) accepted ? child->close(event) : child->cancel(event);
        accepted ? dialog->close(event) : dialog->cancel(event);
    } catch (...) {
        reportHere(accepted ? "DialogObserver::PanelCloseRequested-A"
                            : "DialogObserver::PanelCloseRequested-B");
        if (accepted) {   // what OK was to do failed: the dialog closes as cancelled instead
            allow = false;
            if (dialog->isModal()) host::DGPostCloseRequest(panel, 2);
            return;
        }
    }
    allow = receiver.getValue() != 0;
    if (allow && !dialog->isModal()) dialog->closeWindow();
}

void DialogObserver::panelClosed(std::int16_t) {
    Dialog* dialog = findDialog();
    if (!dialog) return;
    // Detaching drops the dialog's reference to this observer, whose callback is still running.
    const std::shared_ptr<InterfacePanelObserver> keep = dialog->getPanelObserver();
    std::vector<InterfacePanel*> children;
    dialog->collectChildren(children);
    try {
        for (InterfacePanel* child : children) child->closed();
        dialog->closed();
    } catch (...) {
        reportHere("DialogObserver::PanelClosed");
    }
    dialog->detach();
}

}   // namespace tarnwick

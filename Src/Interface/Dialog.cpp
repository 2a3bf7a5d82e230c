#include "Interface/Dialog.h"

#include <cmath>
#include <memory>

#include <HostDialogLibrary.h>

#include "Environment/Addon.h"
#include "Environment/HostApi.h"
#include "Foundation/Guid.h"
#include "Interface/ActionEvent.h"
#include "Interface/Button.h"
#include "Interface/DialogObserver.h"

namespace tarnwick {
namespace {

constexpr std::int16_t kTop = -32768;   // show and z-position: in front of everything

std::int32_t resourceModule() {
    std::int32_t module = 0;
    hostApi().call<host::HostSlot::getResourceModule>(&module);
    return module;
}

// Raises the add-on's external call depth for a palette's event, for as long as it is handled.
class ExternalCall {
public:
    explicit ExternalCall(bool enter) : addon_(enter ? Addon::getInstance() : nullptr) {
        if (addon_) addon_->enterExternalCall(false);
    }
    ~ExternalCall() {
        if (addon_) addon_->leaveExternalCall();
    }
    ExternalCall(const ExternalCall&) = delete;
    ExternalCall& operator=(const ExternalCall&) = delete;

private:
    Addon* addon_;
};

}   // namespace

Dialog::Dialog(std::uint16_t resourceId, bool modal, bool resizeOnOpen, bool rememberPosition)
    : InterfacePanel(resourceId, resizeOnOpen), modal_(modal), rememberPosition_(rememberPosition) {}

Dialog::~Dialog() {
    closeWindow();
    detach();
    releaseHostDialog();
}

void Dialog::releaseHostDialog() {
    if (hostDialog_ != 0) host::DGDestroyDialog(hostDialog_);
    hostDialog_ = 0;
}

ScreenPoint Dialog::getPosition(std::int32_t kind) const {
    if (!isOpen() || kind >= 6 || kind < 0) return ScreenPoint(0, 0, 0);
    std::int32_t x = 0, y = 0;
    if (ScreenPoint::isClientKind(kind))
        host::DGGetClientPosition(getPanelId(), x, y);
    else
        host::DGGetFramePosition(getPanelId(), x, y);
    return ScreenPoint(toLogical(x), toLogical(y), kind);
}

void Dialog::closeWindow() {
    if (!isOpen()) return;
    if (modal_) {
        host::DGAbortModal(hostDialog_);
        return;
    }
    // A palette closes (its closed hooks run and it detaches), then its host dialog goes.
    host::DGEndEventProcessing(hostDialog_);
    detach();
    releaseHostDialog();
}

bool Dialog::broadcastEvent(const Event& event) {
    const auto* action = dynamic_cast<const ActionEvent*>(&event);
    const ExternalCall call(!modal_ && action != nullptr);
    const bool handled = InterfacePanel::broadcastEvent(event);
    if (modal_ && action) {
        const std::int16_t item = action->getItemId();
        if ((item == 1 || item == 2) && dynamic_cast<Button*>(findControl(static_cast<std::uint16_t>(item))))
            postCloseRequest(item == 1);
    }
    return handled;
}

void Dialog::detach() {
    InterfacePanel::detach();
    if (const auto observer = getPanelObserver()) {   // a second detach finds none and does nothing
        if (hostDialog_ != 0) host::DGDetachPanelObserver(hostDialog_, observer.get());
        setPanelObserver(nullptr);
    }
}

void Dialog::attachObservers() {
    InterfacePanel::attachObservers();
    if (!modal_) return;
    bool made = false;
    for (std::uint16_t item : {std::uint16_t{1}, std::uint16_t{2}}) {
        if (!findControl(item)) {
            DialogControl::make<Button>(ControlLink(item, this), 1, 1);
            made = true;
        }
    }
    if (made) InterfacePanel::attachObservers();
}

void Dialog::postCloseRequest(bool accept) {
    if (modal_)
        host::DGPostCloseRequest(hostDialog_, accept ? 1 : 2);
    else
        closeWindow();
}

DialogResult Dialog::open(bool activate) {
    // 1. Already open: show a palette again.
    if (!(isOpen() && hostDialog_ != 0)) {
        // 2. The host dialog.
        if (hostDialog_ == 0) {
            const std::int32_t module = resourceModule();
            if (modal_)
                hostDialog_ = host::DGCreateModalDialog(module, getResourceId());
            else
                hostDialog_ = host::DGCreatePalette(
                    module, getResourceId(),
                    host::compareGuids(paletteGuid_, host::GuidRecord{}) != 0 ? &paletteGuid_ : nullptr);
            if (hostDialog_ == 0) return kDialogNoResult;   // 5. no such dialog of this kind
        }
        // 3. The observer, then run it.
        auto observer = std::make_shared<DialogObserver>(getSerial());
        setPanelObserver(observer);
        host::DGAttachPanelObserver(hostDialog_, observer.get());
        setPanelId(hostDialog_);
        if (modal_) {
            const bool accepted = host::DGInvokeModal(hostDialog_);
            detach();
            releaseHostDialog();
            return accepted ? kDialogAccepted : kDialogCancelled;
        }
        host::DGBeginEventProcessing(hostDialog_);
        host::DGShowPalette(hostDialog_, kTop);
        if (activate) host::DGActivatePalette(hostDialog_);
        return kDialogNoResult;
    }
    // 4.
    if (modal_) return kDialogNoResult;
    host::DGShowPalette(hostDialog_, kTop);
    if (activate) host::DGActivatePalette(hostDialog_);
    return kDialogNoResult;
}

String Dialog::getTitle() const { return isOpen() ? String(host::DGGetTitle(hostDialog_)) : String(); }

void Dialog::setTitle(const String& title) {
    if (isOpen()) host::DGSetTitle(hostDialog_, title.getView());
}

void Dialog::setPosition(const ScreenPoint& point) {
    if (!isOpen() || point.kind < 0 || point.kind >= 6) return;
    if (point.isClientKind())
        host::DGSetClientPosition(hostDialog_, toNative(point.x), toNative(point.y));
    else
        host::DGSetFramePosition(hostDialog_, toNative(point.x), toNative(point.y));
}

bool Dialog::isVisible() const { return !modal_ && host::DGIsPaletteVisible(hostDialog_); }

void Dialog::hide() {
    if (!modal_ && isOpen()) host::DGHidePalette(hostDialog_);
}

void Dialog::bringToFront() { host::DGSetDialogZPosition(getPanelId(), kTop); }

void Dialog::setGuid(const Guid& guid) { paletteGuid_ = guid.getRecord(); }

}   // namespace tarnwick

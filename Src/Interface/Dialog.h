// Dialog: the panel of one host dialog made from a dialog resource of the add-on: a modal dialog or a
// modeless palette. It opens the host dialog and turns its open, close-request and closed notifications
// into its hooks and framework events; in a modal dialog buttons 1 (OK) and 2 (Cancel) close it.
#pragma once

#include <cstdint>

#include <HostGuid.h>

#include "Foundation/String.h"
#include "Interface/InterfacePanel.h"

namespace tarnwick {

class Guid;

// How a modal dialog ended.
enum DialogResult : std::int16_t {
    kDialogNoResult = 0,    // a palette, or the dialog could not be opened
    kDialogAccepted = 1,    // OK
    kDialogCancelled = 2,   // Cancel, the close box or an abort
};

// A concrete dialog overrides initialise (make its controls) and close (act on OK). The Dialog object
// lives before and after its host dialog; its controls exist only while it is open. Exceptions from the
// hooks are reported like those of event dispatch: one from initialise or opened ends the dialog as
// cancelled, one from close turns the close into a cancel, and one from cancel or closed lets it close.
class Dialog : public InterfacePanel {
public:
    Dialog(std::uint16_t resourceId, bool modal, bool resizeOnOpen = false, bool rememberPosition = false);

    ~Dialog() override;   // closes the window first
    ScreenPoint getPosition(std::int32_t kind) const override;
    void closeWindow() override;   // a modal dialog is aborted, a palette closed
    bool broadcastEvent(const Event& event) override;
    void detach() override;
    std::int16_t getPanel() const override { return hostDialog_; }
    void attachObservers() override;   // also gives a modal dialog Buttons 1 and 2
    // Added: asks the host to close, as OK when `accept`, else as Cancel (a palette just closes).
    virtual void postCloseRequest(bool accept);

    // Opens the dialog: a modal one runs until it closes and answers how; a palette answers 0.
    DialogResult open(bool activate = true);
    String getTitle() const;   // empty when not open
    void setTitle(const String& title);
    void setPosition(const ScreenPoint& point);   // kinds 0 to 5, while open
    bool isVisible() const;                       // a shown palette
    void hide();
    void bringToFront();
    void setGuid(const Guid& guid);   // the palette's identity for the next open
    bool isModal() const { return modal_; }
    bool remembersPosition() const { return rememberPosition_; }

private:
    void releaseHostDialog();

    host::GuidRecord paletteGuid_{};
    bool modal_;
    bool rememberPosition_;
    std::int16_t hostDialog_ = 0;   // the host dialog while it exists; 0: none
};

}   // namespace tarnwick

// DialogObserver: the host panel observer of an open Dialog: it runs the dialog's hooks when the host
// dialog opens, is asked to close and has closed.
#pragma once

#include <cstdint>

#include "Interface/InterfacePanelObserver.h"

namespace tarnwick {

class Dialog;

// Finds its dialog by serial at every callback and does nothing when it is gone or not a Dialog. No
// exception leaves a callback: each is reported as panel dispatch reports them.
class DialogObserver : public InterfacePanelObserver {
public:
    explicit DialogObserver(std::int32_t serial) : InterfacePanelObserver(serial) {}

    void panelOpened(std::int16_t panel) override;
    void panelCloseRequested(std::int16_t panel, bool accepted, bool& allow) override;
    void panelClosed(std::int16_t panel) override;

private:
    Dialog* findDialog() const;
};

}   // namespace tarnwick

// InterfacePanelObserver: the host panel observer that turns resizes, drops and hot keys of a panel into
// framework events.
#pragma once

#include <cstdint>

#include <HostDialogLibrary.h>

namespace tarnwick {

class InterfacePanel;

// Holds the serial of its panel and looks the panel up at every callback; a callback for a panel that
// is gone does nothing. Shared by the panel (its panel observer) while the host panel is open.
class InterfacePanelObserver : public host::PanelObserver {
public:
    explicit InterfacePanelObserver(std::int32_t serial) : serial_(serial) {}

    std::int32_t getSerial() const { return serial_; }

    void panelResizeEntered(std::int16_t panel) override;                               // ResizeEvent phase 0
    void panelResized(std::int16_t panel, std::int32_t dx, std::int32_t dy) override;   // phase 1
    void panelResizeExited(std::int16_t panel) override;                                // phase 2
    void panelHotKey(std::int16_t panel, std::int32_t keyId, bool& handled) override;
    // A drop that no handler took is answered as not handled, with no effect, so a drag source never
    // reads an unhandled drop as a move.
    void panelDragEntered(std::int16_t panel, std::int32_t x, std::int32_t y, std::int16_t& effect,
                          bool& handled) override;
    void panelDragMoved(std::int16_t panel, std::int32_t x, std::int32_t y, std::int16_t& effect,
                        bool& handled) override;
    void panelDropped(std::int16_t panel, std::int32_t x, std::int32_t y, std::int16_t& effect,
                      bool& handled) override;

protected:
    InterfacePanel* findOwner() const;   // null when the panel is gone

private:
    void drop(std::int16_t phase, std::int32_t x, std::int32_t y, std::int16_t& effect, bool& handled);

    std::int32_t serial_;
};

}   // namespace tarnwick

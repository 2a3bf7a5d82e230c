// ControlObserver: the base of the host item observers that turn a control's host callbacks into
// framework events on its panel.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <HostDialogLibrary.h>

namespace tarnwick {

class DialogControl;

// Owned by its panel (one per control type, shared by the controls of that type). It remembers every
// host item it watches and stops watching them all when it is deleted. Not copyable.
class ControlObserver : public host::ItemObserver {
public:
    ControlObserver() = default;
    ControlObserver(const ControlObserver&) = delete;
    ControlObserver& operator=(const ControlObserver&) = delete;

    // Virtual operations, in this order.
    ~ControlObserver() override;
    // Starts watching the control's host item on the host panel (when the control has one).
    virtual void attach(std::int16_t hostPanel, DialogControl& control) = 0;

protected:
    void watch(std::int16_t hostPanel, std::int16_t item);   // attaches this observer to the host item

private:
    std::vector<std::pair<std::int16_t, std::int16_t>> watched_;   // (host panel, item)
};

}   // namespace tarnwick

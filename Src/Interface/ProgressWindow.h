// ProgressWindow: long work shown in the host's process window: a title, phases each with a text and a
// count, a value that advances, and the user's cancel button.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/String.h"
#include "Interface/ProgressMonitor.h"

namespace tarnwick {

// The host has one process window. The first ProgressWindow opened while none of ours is open owns it;
// windows opened meanwhile are silent (nested work can each open its own without fighting over it):
// they show nothing, and ask the owner's window for a cancel. The owner closes the host window when it is
// destroyed, that is when the last shared pointer from open() goes. Results of the host's value and phase
// calls are ignored: progress is never worth failing the work for.
class ProgressWindow : public ProgressMonitor {
public:
    // Opens the host window ('IPWD') unless one of ours is open; never null (a failing allocation
    // throws). When the host refuses, the window is silent and never reports a cancel.
    static std::shared_ptr<ProgressWindow> open(const String& title, std::int32_t phaseCount);

    // Virtual operations, in this order.
    ~ProgressWindow() override;                           // the owner closes the host window ('CPWD')
    void step() override;                                 // increaseValue(1)
    virtual void setValue(std::int32_t value);            // 'SPRV'
    virtual void increaseValue(std::int32_t increment);   // 'IPRV'
    virtual bool isOwner() const;                         // this object opened the host window
    // 'CANC' answered the host's cancel code. A silent window asks too while an owner's window is open,
    // so that nested work stops when the user cancels; without one it is never cancelled.
    virtual bool isCancelled() const;
    virtual void setPhase(const String& text, std::int32_t count);   // 'SPRP'; the value restarts at 0
    virtual void skipPhases(std::int16_t count);   // that many empty phases of count 1; none for count <= 0

private:
    ProgressWindow() = default;

    bool owner_ = false;
};

}   // namespace tarnwick

#include "Interface/ProgressWindow.h"

#include <string>

#include <FourCC.h>
#include <HostResult.h>

#include "Environment/HostApi.h"

namespace tarnwick {
namespace {

bool windowOpen = false;   // a host process window opened by one of our ProgressWindows is open
bool closeOwed = false;    // the host refused to close our window: it may still stand open

}   // namespace

std::shared_ptr<ProgressWindow> ProgressWindow::open(const String& title, std::int32_t phaseCount) {
    // Made and shared before the host window opens, so a failing allocation leaves no window open.
    std::shared_ptr<ProgressWindow> window(new ProgressWindow());
    if (!windowOpen) {
        // Our window left standing would keep every later one from opening, and Cancel with it.
        if (closeOwed && hostApi().interface(host::fourcc("CPWD")) == host::kNoError) closeOwed = false;
        std::u16string hostTitle = title.toUniString();
        if (hostApi().interface(host::fourcc("IPWD"), hostTitle.data(), &phaseCount) == host::kNoError) {
            window->owner_ = true;
            windowOpen = true;
            closeOwed = false;
        }
    }
    return window;
}

ProgressWindow::~ProgressWindow() {
    if (!owner_) return;   // a silent window must not close, or mark closed, the owner's window
    closeOwed = hostApi().interface(host::fourcc("CPWD")) != host::kNoError;
    windowOpen = false;
}

void ProgressWindow::step() { increaseValue(1); }

void ProgressWindow::setValue(std::int32_t value) {
    if (owner_) hostApi().interface(host::fourcc("SPRV"), &value);
}

void ProgressWindow::increaseValue(std::int32_t increment) {
    if (owner_) hostApi().interface(host::fourcc("IPRV"), &increment);
}

bool ProgressWindow::isOwner() const { return owner_; }

bool ProgressWindow::isCancelled() const {
    if (!owner_ && !windowOpen) return false;
    return hostApi().interface(host::fourcc("CANC")) == host::kErrCancel;
}

void ProgressWindow::setPhase(const String& text, std::int32_t count) {
    if (!owner_) return;
    std::u16string hostText = text.toUniString();
    hostApi().interface(host::fourcc("SPRP"), hostText.data(), &count);
}

void ProgressWindow::skipPhases(std::int16_t count) {
    for (std::int16_t i = 0; i < count; ++i) setPhase(String(), 1);
}

}   // namespace tarnwick

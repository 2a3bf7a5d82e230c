// InterfacePanel: the base of every dialog panel: the registry of live panels, the panel's controls and
// their host item observers, and the dispatch of the host's dialog callbacks as framework events, first
// to the control that owns the item, then to the panel's own subscribers.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "Environment/Publisher.h"
#include "Interface/ScreenPoint.h"
#include "Interface/ScreenRect.h"

namespace tarnwick {

class ActionEvent;
class ControlObserver;
class DialogControl;
class Event;
class InterfacePanelObserver;

// Registered from construction to destruction under a serial (1, 2, ... never reused). Owns its controls
// (they join it when they are made) and its item observers; not copyable. The host panel is addressed
// by its 16-bit id, 0 while the panel is not open. broadcastEvent is an exception boundary: nothing
// thrown by a handler leaves it.
class InterfacePanel : public Publisher {
public:
    InterfacePanel(std::uint16_t resourceId, bool resizeOnOpen);

    // Virtual operations, in this order (after those of Publisher).
    ~InterfacePanel() override;
    virtual std::int16_t getPanelId() const;
    virtual InterfacePanel* getParent() const;                        // null: a top-level panel
    virtual ScreenPoint getClientSize(std::int16_t sizeType) const;   // (width, height), kind 0
    virtual ScreenPoint getMinimumSize(std::int32_t kind) const;
    virtual ScreenPoint getPosition(std::int32_t kind) const;                   // (0, 0) for a plain panel
    virtual void setClientSize(const ScreenPoint& size, std::int16_t anchor);   // only while open
    virtual void enableDragAndDrop();
    virtual void closeWindow();                        // nothing; a Dialog closes its window
    virtual bool broadcastEvent(const Event& event);   // true when handled
    // The hooks a concrete dialog overrides; each does nothing here.
    virtual void initialise();                       // makes the controls
    virtual void opened();                           // after the opening DialogEvent
    virtual void update();                           // after every ActionEvent and ItemEvent, handled or not
    virtual void close(const ActionEvent& event);    // the accepting close request (item 1)
    virtual void cancel(const ActionEvent& event);   // the cancelling one (item 2)
    virtual void closed();                           // the host panel has closed
    virtual void detach();   // deletes the controls and observers; the panel is no longer open
    virtual std::int16_t getPanel() const = 0;   // the host panel; 0 when there is none
    virtual void attachObservers();              // host items and observers for the controls

    // --- The registry -------------------------------------------------------------------------------
    static std::uint32_t createRegistry();   // 0; a framework registry (Framework.cpp)
    static void destroyRegistry();           // frees the map only; live panels stay
    // The registered panel with the lowest serial whose host panel id is `panelId`; null when none.
    static InterfacePanel* findPanel(std::int16_t panelId);
    static InterfacePanel* findBySerial(std::int32_t serial);   // null when none

    std::int32_t getSerial() const { return serial_; }
    std::uint16_t getResourceId() const { return resourceId_; }
    bool isOpen() const { return panelId_ != 0; }
    bool resizesOnOpen() const { return resizeOnOpen_; }
    double getScaleFactor() const;   // 1.0 without a host panel
    void setMinimumSize(const ScreenPoint& size);
    ScreenRect getMonitorRect() const;
    void redraw();
    void setFocus();

    // --- Controls -----------------------------------------------------------------------------------
    DialogControl* findControl(std::uint16_t itemId) const;    // the first that owns the item; null: none
    void addControl(std::unique_ptr<DialogControl> control);   // the panel owns it from now on
    void removeControl(std::uint16_t itemId);                  // deletes the first that owns the item
    // A control owned elsewhere that was bound to this panel: found, dispatched to and given its host item
    // as an own one, but not deleted. Nothing for a control already here.
    void joinControl(DialogControl& control);
    void leaveControl(DialogControl& control);   // the joined control goes; nothing when it is not here
    std::size_t getControlCount() const { return controls_.size(); }   // the owned ones
    DialogControl& getControl(std::size_t index) const { return *controls_[index]; }
    // Appends every registered panel whose parent is this one, in registry order; true when any.
    bool collectChildren(std::vector<InterfacePanel*>& children) const;

    void setPanelObserver(std::shared_ptr<InterfacePanelObserver> observer) {
        panelObserver_ = std::move(observer);
    }
    const std::shared_ptr<InterfacePanelObserver>& getPanelObserver() const { return panelObserver_; }

protected:
    void setPanelId(std::int16_t panelId) { panelId_ = panelId; }
    std::int16_t toLogical(double value) const;   // floor(v / scale + 0.5)
    std::int32_t toNative(double value) const;    // floor(v * scale + 0.5)

private:
    std::shared_ptr<InterfacePanelObserver> panelObserver_;
    void releaseJoined();                                     // every joined control leaves
    DialogControl* controlAfter(std::uint64_t order) const;   // the next to have come; null: none

    std::vector<std::unique_ptr<DialogControl>> controls_;
    std::vector<DialogControl*> joined_;   // borrowed, in the order they joined
    std::uint64_t controlsCome_ = 0;       // counts the controls as they come, owned or borrowed
    std::map<std::uint32_t, std::unique_ptr<ControlObserver>> observers_;
    std::set<std::uint16_t> attached_;
    std::int32_t serial_;
    std::uint16_t resourceId_;
    std::int16_t panelId_ = 0;
    bool resizeOnOpen_;
};

}   // namespace tarnwick

// PresetUpdater: brings placed library-part elements up to date with the styles. On the host event
// ('HOST', 'UEPR') it runs the undoable transaction "Update Styles" over the selected elements of the
// current drawing, or over all of them once the user agrees.
#pragma once

#include <cstdint>
#include <functional>

#include "Environment/Subscriber.h"

namespace tarnwick {

class EditManager;
class Element;
class Event;
class EventKeyList;
class TarnwickLibrary;

// Made and subscribed by the first style-type registration; owned by the add-on. No state of its own.
class PresetUpdater : public Subscriber {
public:
    PresetUpdater() : Subscriber(0) {}
    ~PresetUpdater() override;

    void subscribe(EventKeyList& keys) const override;   // ('HOST', 'UEPR')
    bool receive(const Event& event) override;           // runs the transaction; always handled

    // Applies the templates to every element of the current drawing (the selected ones when there is a
    // selection) and writes back those that changed; one that cannot be made editable is left as it is,
    // and so are the styles: what its update made or changed in them is taken back.
    // Unless quiet, asks before updating all elements. 0 when done; kErrCancel when nothing was done
    // (declined, or no drawing); a write the host refuses gives its result and ends the walk, so that
    // the transaction takes the whole update back.
    static std::uint32_t applyToDrawing(const TarnwickLibrary& library, EditManager& editor, bool quiet);
    // The templates of the element's subtype applied to its parameters; true when it changed. False for
    // an element not placed from a library part, one without parameters, or without a style database.
    // beforeStore, when given, runs before each template whose rows ask to store their values as styles,
    // the only step that makes or changes styles.
    static bool updateElement(const TarnwickLibrary& library, Element& element,
                              const std::function<void()>& beforeStore = {});
};

}   // namespace tarnwick

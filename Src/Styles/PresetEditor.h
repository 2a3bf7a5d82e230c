// PresetEditor: opens the style manager when the host asks for the style editor ('HOST', 'EPDB').
#pragma once

#include "Environment/Subscriber.h"

namespace tarnwick {

// Subscribed to the add-on by the first registration of a style type; owned by the add-on.
class PresetEditor : public Subscriber {
public:
    PresetEditor();
    void subscribe(EventKeyList& keys) const override;
    bool receive(const Event& event) override;   // runs the dialog; always handled
};

}   // namespace tarnwick

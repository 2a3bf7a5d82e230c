#include "Styles/PresetEditor.h"

#include <FourCC.h>

#include "Environment/EventKeyList.h"
#include "Styles/PresetDialog.h"

namespace tarnwick {

PresetEditor::PresetEditor() : Subscriber(0) {}

void PresetEditor::subscribe(EventKeyList& keys) const {
    keys.append(host::fourcc("HOST"), host::fourcc("EPDB"));
}

bool PresetEditor::receive(const Event&) {
    PresetDialog dialog;
    dialog.open(/*activate=*/true);
    return true;
}

}   // namespace tarnwick

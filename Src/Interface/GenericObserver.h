// GenericObserver: the panel-wide host item observer: typed characters and lost focus of every control.
#pragma once

#include <cstdint>

#include "Interface/ControlObserver.h"

namespace tarnwick {

// One per panel, filed under 'ALLC'. A typed character becomes a KeyEvent whose receiver starts as the
// item id: a handler that sets it to 0 keeps the character out. Losing the focus becomes a FocusEvent.
class GenericObserver : public ControlObserver {
public:
    static constexpr std::uint32_t kKey = 0x414C4C43;   // 'ALLC'

    void attach(std::int16_t hostPanel, DialogControl& control) override;

    void itemCharEntered(std::int16_t panel, std::int16_t item, char32_t character, bool& deny) override;
    void itemFocusLost(std::int16_t panel, std::int16_t item) override;
};

}   // namespace tarnwick

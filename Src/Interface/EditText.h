// EditText: an edit field of a dialog; each change of its text by the user becomes an ItemEvent.
#pragma once

#include <cstdint>
#include <memory>

#include "Interface/ControlObserver.h"
#include "Interface/SingleText.h"

namespace tarnwick {

// Read and write the field's text with getText () and setText (text) (see SingleText).
class EditText : public SingleText {
public:
    class Observer : public ControlObserver {
    public:
        void attach(std::int16_t hostPanel, DialogControl& control) override;
        void itemChanged(std::int16_t panel, std::int16_t item) override;
    };

    explicit EditText(const ControlLink& link, std::int16_t rows = 1, std::uint16_t columns = 1);

    std::unique_ptr<DialogControl> clone() const override;
    std::uint32_t getControlType() const override { return kEditTextControl; }
    std::unique_ptr<ControlObserver> makeObserver() const override;
    void createItem(std::int16_t hostPanel) override;
    void releaseItem() override;

private:
    std::int16_t hostItem_ = 0;   // the host panel of the item made for it; 0: none
};

}   // namespace tarnwick

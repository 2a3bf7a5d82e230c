// Button: a push button of a dialog; a click becomes an ActionEvent (method 0) for its item.
#pragma once

#include <cstdint>
#include <memory>

#include "Interface/ControlObserver.h"
#include "Interface/DialogControl.h"

namespace tarnwick {

// One cell. In a modal dialog buttons 1 and 2 are OK and Cancel (Dialog closes on them).
class Button : public DialogControl {
public:
    // The host item observer of every button of a panel.
    class Observer : public ControlObserver {
    public:
        void attach(std::int16_t hostPanel, DialogControl& control) override;
        void itemClicked(std::int16_t panel, std::int16_t item) override;
    };

    explicit Button(const ControlLink& link, std::int16_t rows = 1, std::uint16_t columns = 1);

    std::unique_ptr<DialogControl> clone() const override;   // shares the host item
    std::unique_ptr<Setting> getSetting(std::int16_t row = 0,
                                        std::int16_t column = 0) const override;    // empty
    String getText(std::int16_t row = 0, std::int16_t column = 0) const override;   // the button's title
    Image getImage(std::int16_t row = 0, std::int16_t column = 0) const override;
    void setCell(const Setting& setting, std::int16_t row = 0, std::int16_t column = 0) override;   // nothing
    void setText(const String& text, std::int16_t row = 0, std::int16_t column = 0) override;
    void setImage(const Image& image, std::int16_t row = 0, std::int16_t column = 0) override;
    std::uint32_t getControlType() const override { return kButtonControl; }
    std::unique_ptr<ControlObserver> makeObserver() const override;
    void createItem(std::int16_t hostPanel) override;
    void releaseItem() override;

private:
    std::int16_t hostItem_ = 0;   // the host panel of the item made for it; 0: none
};

}   // namespace tarnwick

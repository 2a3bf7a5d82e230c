// StaticText: a text shown in a dialog, left, centred or right aligned; clicks and double clicks on it
// become ActionEvents (method 0 and 5).
#pragma once

#include <cstdint>
#include <memory>

#include "Interface/ControlObserver.h"
#include "Interface/SingleText.h"

namespace tarnwick {

class Colour;

// An alignment other than left, centre or right makes no host item: the text then gets no clicks.
class StaticText : public SingleText {
public:
    enum Alignment : std::int32_t {
        kLeft = 0,
        kCentre = 256,
        kRight = 512,
    };

    class Observer : public ControlObserver {
    public:
        void attach(std::int16_t hostPanel, DialogControl& control) override;
        void itemClicked(std::int16_t panel, std::int16_t item) override;
        void itemDoubleClicked(std::int16_t panel, std::int16_t item) override;
    };

    explicit StaticText(const ControlLink& link, std::int32_t alignment = kLeft, std::int16_t rows = 1,
                        std::uint16_t columns = 1);

    std::unique_ptr<DialogControl> clone() const override;
    std::uint32_t getControlType() const override { return kStaticTextControl; }
    std::unique_ptr<ControlObserver> makeObserver() const override;
    void createItem(std::int16_t hostPanel) override;
    void releaseItem() override;
    void setFont(const TextStyle& style, std::int16_t row = 0,
                 std::int16_t column = 0) override;   // and its colour

    // Colours as 16-bit channels, each floor(x * 65535 + 0.5); for a valid cell.
    virtual void setTextColor(const Colour& colour, std::int16_t row = 0, std::int16_t column = 0);
    virtual void setBackgroundColor(const Colour& colour, std::int16_t row = 0, std::int16_t column = 0);

    std::int32_t getAlignment() const { return alignment_; }
    bool hasItem() const { return hostItem_ != 0; }

private:
    std::int32_t alignment_;
    std::int16_t hostItem_ = 0;   // the host panel of the item made for it; 0: none
};

}   // namespace tarnwick

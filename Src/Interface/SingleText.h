// SingleText: the base of the one-text controls (static and edit texts).
#pragma once

#include <cstdint>
#include <memory>

#include "Interface/DialogControl.h"

namespace tarnwick {

// Mind the two text operations: the cell forms getText (row, column) and setText (text, row, column)
// stay those of DialogControl (empty text, nothing done); the item's text is read and written with the
// forms without a cell, getText () and setText (text), which reach the host.
class SingleText : public DialogControl {
public:
    SingleText(const ControlLink& link, std::int16_t rows = 1, std::uint16_t columns = 1);

    // A StringSetting of the item's text for a valid cell; else empty.
    std::unique_ptr<Setting> getSetting(std::int16_t row = 0, std::int16_t column = 0) const override;
    void setCell(const Setting& setting, std::int16_t row = 0, std::int16_t column = 0) override;

    // The cell forms, without their default cell, so that a call without one is never ambiguous.
    String getText(std::int16_t row, std::int16_t column) const override {
        return DialogControl::getText(row, column);
    }
    void setText(const String& text, std::int16_t row, std::int16_t column) override {
        DialogControl::setText(text, row, column);
    }

    // Added operations, in this order.
    virtual String getText() const;
    virtual void setText(const String& text);
};

}   // namespace tarnwick

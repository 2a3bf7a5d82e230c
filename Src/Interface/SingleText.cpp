#include "Interface/SingleText.h"

#include <HostDialogLibrary.h>

#include "Foundation/StringSetting.h"

namespace tarnwick {

SingleText::SingleText(const ControlLink& link, std::int16_t rows, std::uint16_t columns)
    : DialogControl(link, rows, columns) {}

std::unique_ptr<Setting> SingleText::getSetting(std::int16_t row, std::int16_t column) const {
    if (!isValidCell(row, column)) return nullptr;
    return std::make_unique<StringSetting>(getText());
}

void SingleText::setCell(const Setting& setting, std::int16_t row, std::int16_t column) {
    if (isValidCell(row, column)) setText(setting.getText());
}

String SingleText::getText() const {
    return String(host::DGGetItemText(getDialogId(), static_cast<std::int16_t>(getItemId(0))));
}

void SingleText::setText(const String& text) {
    host::DGSetItemText(getDialogId(), static_cast<std::int16_t>(getItemId(0)), text.getView());
}

}   // namespace tarnwick

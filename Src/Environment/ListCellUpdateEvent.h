// ListCellUpdateEvent: the host asks a list to draw one of its owner-drawn cells.
#pragma once

#include <cstdint>

#include <FourCC.h>
#include <HostGraphics.h>

#include "Environment/InterfaceEvent.h"

namespace tarnwick {

// Type 'LCUE', method 16. Made from the host's 1-based list item and tab field; rows and columns are
// 0-based here. The cell's size is in pixels; the handler draws the cell into the host's drawing context,
// (0, 0) the cell's top left corner (null: nothing can be drawn).
class ListCellUpdateEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("LCUE");
    static constexpr std::uint32_t kMethod = 16;

    ListCellUpdateEvent(const ControlLink& link, std::int16_t hostItem, std::int16_t hostField,
                        std::int16_t width, std::int16_t height, host::PictureContext* context = nullptr);

    std::int16_t getRow() const { return static_cast<std::int16_t>(hostItem_ - 1); }
    std::int16_t getColumn() const { return static_cast<std::int16_t>(hostField_ - 1); }
    std::int16_t getWidth() const { return width_; }
    std::int16_t getHeight() const { return height_; }
    host::PictureContext* getDrawContext() const { return context_; }   // not owned

private:
    std::int16_t hostItem_;
    std::int16_t hostField_;
    std::int16_t width_;
    std::int16_t height_;
    host::PictureContext* context_;
};

}   // namespace tarnwick

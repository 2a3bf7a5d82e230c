// NativeCanvas: a plan preview of drawing primitives on the host's drawing surface: a preview rectangle,
// the scale and turn that fit the primitives into it, and the pen in force.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/Colour.h"
#include "Geometry/CadPoint.h"
#include "Geometry/ZRotater.h"
#include "Interface/ScreenRect.h"

namespace tarnwick {

class Cube;
class NativeContext;
class PrimitiveArc;
class PrimitiveLine;
class PrimitivePolygon;
class PrimitiveText;

// Lives for one preview: fit it to the primitives' bounds, then let each primitive draw itself. Model to
// screen: (point + offset) x scale, y negated (the screen's y runs down), turned by the canvas rotation,
// then moved to the centre. Without a context every call draws nothing. Host errors do not exist here;
// nothing throws but allocation.
class NativeCanvas {
public:
    struct Position {   // screen coordinates before rounding
        double x = 0.0;
        double y = 0.0;
    };

    // An empty rectangle becomes the context's dirty rectangle.
    NativeCanvas(std::shared_ptr<NativeContext> context, const ScreenRect& rect);
    ~NativeCanvas();
    NativeCanvas(const NativeCanvas&) = delete;
    NativeCanvas& operator=(const NativeCanvas&) = delete;

    // The scale and centre that show the bounds whole and centred in the rectangle; nothing for bounds of
    // no size or an empty rectangle.
    void fit(const Cube& bounds);
    void setRotation(double angle);   // radians; turns the whole preview

    Position toScreen(const CadPoint& point, const CadPoint& offset) const;
    ScreenPoint toScreenPoint(const CadPoint& point, const CadPoint& offset) const;   // truncated
    CadPoint toModel(const ScreenPoint& point) const;

    // The pen's colour and width (points on the screen), only when it changes; a kept colour or width
    // stays instead.
    void setPen(std::uint16_t index);
    void setColour(const Colour& colour, bool keep);
    void setLineWidth(double width, bool keep);   // screen units; kept widths within 1e-5 of 0 count as none
    void setLineType(std::uint16_t index);        // kept, not drawn

    bool drawLine(const PrimitiveLine& line, const CadPoint& offset);
    bool drawArc(const PrimitiveArc& arc, const CadPoint& offset);
    bool drawPolygon(const PrimitivePolygon& polygon, const CadPoint& offset);
    bool drawText(const PrimitiveText& text, const CadPoint& offset);
    void fillRect(const Colour& colour);   // the preview rectangle

    double getScale() const { return scale_; }
    Position getCentre() const { return centre_; }
    const ScreenRect& getRect() const { return rect_; }

private:
    std::shared_ptr<NativeContext> context_;   // may be empty
    ZRotater rotation_;
    ScreenRect rect_;
    Position centre_;   // where the model origin is drawn; kept unrounded, as it may lie far outside
    std::uint16_t lineType_ = 0;
    double scale_ = 1.0;
    std::uint16_t pen_ = 0;
    std::unique_ptr<Colour> forcedColour_;   // kept by setColour; null when none
    double forcedWidth_ = 0.0;               // kept by setLineWidth; 0 when none
};

}   // namespace tarnwick

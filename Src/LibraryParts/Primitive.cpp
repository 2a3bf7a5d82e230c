#include "LibraryParts/Primitive.h"

#include "Elements/Element.h"
#include "Project/LineStyle.h"
#include "Project/Pen.h"

namespace tarnwick {

Primitive::Primitive(const Element& element, bool in2D, bool in3D)
    : drawingOrder_(element.getDrawIndex()),
      pen_(static_cast<std::uint32_t>(element.getPen(0).getIndex())),
      lineType_(static_cast<std::uint32_t>(element.getLineStyle(0).getIndex())),
      in2D_(in2D),
      in3D_(in3D) {}

Primitive::~Primitive() = default;

}   // namespace tarnwick

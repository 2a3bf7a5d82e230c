// PrimitiveDistortedHatch: a hatch whose fill pattern is placed by an origin and a transformation.
#pragma once

#include <array>

#include "LibraryParts/PrimitiveHatch.h"

namespace tarnwick {

// The fill control is always 8 (the pattern follows the given origin and transformation). Written with
// "poly2_b{5}" when it has a fill and the writer a tracker; otherwise as a plain hatch.
class PrimitiveDistortedHatch : public PrimitiveHatch {
public:
    static constexpr std::uint32_t kFillControl = 8;

    PrimitiveDistortedHatch(const PrimitiveHatch& hatch, const CadPoint& fillOrigin,
                            const std::array<double, 5>& fillTransformation)
        : PrimitiveHatch(hatch), fillOrigin_(fillOrigin), fillTransformation_(fillTransformation) {}

    std::uint32_t getFillControl() const { return kFillControl; }
    CadPoint getFillOrigin() const { return fillOrigin_; }
    const std::array<double, 5>& getFillTransformation() const { return fillTransformation_; }

    bool write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                 int indentation) const override;

private:
    CadPoint fillOrigin_;
    std::array<double, 5> fillTransformation_{};
};

}   // namespace tarnwick

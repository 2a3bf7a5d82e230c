// Opening: a library-part element placed in a wall (doors and windows), with the zones on its sides.
#pragma once

#include "Elements/ComponentElem.h"
#include "Elements/IFCMemo.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/PropertyMemo.h"

namespace tarnwick {

// It carries its IFC data, property values and classifications; a copy keeps all three.
class Opening : public ComponentElem, public IFCMemo, public PropertyMemo, public ClassificationMemo {
public:
    Opening(const ElementLink& link, const ComponentLink& part) : ComponentElem(link, part) {}
    Opening(const Opening&) = default;
    ~Opening() override;

    double getHeight() override;   // getOpeningHeight

    // The zone on the first (second) side of its wall, without a Drawing; empty on a host error.
    virtual ElementLink getFirstZone() const;
    virtual ElementLink getSecondZone() const;
    virtual double getOpeningWidth() const = 0;
    virtual double getOpeningHeight() const = 0;
    virtual double getOpeningQuantityA();   // getQuantityA
    virtual double getOpeningQuantityB();   // 0.0 here
    virtual double getOpeningQuantityC();   // 0.0 here
    virtual void setOpeningWidth(double value) = 0;
    virtual void setOpeningHeight(double value) = 0;

private:
    ElementLink zone(bool second) const;
};

}   // namespace tarnwick

// AttributeTracker: the attribute defaults of one library-part script being written: which pens, line
// types, fills, surface materials and building materials the script has in force, and under which names
// the generated part exposes them as parameters, so that the writer sets an attribute only when it
// changes and turns each attribute it uses into a parameter of the part.
#pragma once

#include <array>
#include <cstdint>

#include "Foundation/String.h"
#include "Project/AttributeType.h"

namespace tarnwick {

class Attribute;
class Parameter;
class ParameterList;

// Kinds are given by their attribute type: pen, lineStyle, fill, finish (surface material) and material
// (building material); any other type is ignored. Pens have four slots: 0 contour pens of 2D primitives,
// 1 edge pens of bodies, 2 fill pens and pens of hatch lines, 3 background pens; a slot outside 0-3 is
// ignored.
//
// Naming modes (per kind, per pen slot):
//   -4  the attribute is never written;  -3  written by index, never exposed;
//   -2  a parameter of exactly the name, when the list has one;
//   -1  that parameter, made as a scalar when missing;
//    0  an array parameter of the name (any case), one row per attribute used;
//   other  numbered scalars: the name followed by a number (of as many digits as a mode above 0 says).
// Never makes a second parameter of a name the list already holds (in any case): the script's names
// ignore case, so such an attribute is not exposed.
//
// Not copyable in intent but harmless to copy; the owner list is borrowed and may be null (then no
// parameters are made).
class AttributeTracker {
public:
    static constexpr std::uint32_t kNone = 65532;             // no line type, fill or material applied yet
    static constexpr std::uint32_t kLinearGradient = 32767;   // the current fill is the linear gradient
    static constexpr std::uint32_t kRadialGradient = 32766;   // the current fill is the radial gradient
    static constexpr int kPenSlots = 4;

    explicit AttributeTracker(ParameterList* owner = nullptr);

    // A fresh record for a new script: the owner, modes 0, nothing current, no gradient defined.
    void reset(ParameterList* owner);
    ParameterList* getOwner() const { return owner_; }

    void setNames(AttributeType kind, const String& name, const String& description, std::int32_t mode,
                  int penSlot = 0);
    std::int32_t getMode(AttributeType kind, int penSlot = 0) const;   // 0 for another type
    // The current index of the kind; for pens the pen last applied in any slot. 0 for another type.
    std::uint32_t getCurrent(AttributeType kind) const;
    void setCurrent(AttributeType kind, std::uint32_t index, int penSlot = 0);
    bool isSet(AttributeType kind, int penSlot = 0) const;   // something was applied to the kind (slot)
    // Whether writing the attribute would change what is in force (see the class comment for -4 and -3).
    bool isChanged(const Attribute& attribute, int penSlot = 0) const;
    // The parameter that now carries the attribute, found or made in the owner list, with the row of
    // its value in outRow; null when nothing is to be written (unchanged with onlyWhenChanged) or the
    // attribute is not exposed. The attribute becomes current either way, unless its type or slot is
    // not one this record keeps.
    Parameter* apply(const Attribute& attribute, std::uint64_t& outRow, bool onlyWhenChanged,
                     int penSlot = 0);

    // The names under which the script defined its gradient fills; empty until defined.
    const String& getLinearGradientName() const { return linearGradientName_; }
    const String& getRadialGradientName() const { return radialGradientName_; }
    void setLinearGradientName(const String& name) { linearGradientName_ = name; }
    void setRadialGradientName(const String& name) { radialGradientName_ = name; }

private:
    struct Naming {
        String name;
        String description;
        std::int32_t mode = 0;
    };

    const Naming* namingOf(AttributeType kind, int penSlot) const;
    Naming* namingOf(AttributeType kind, int penSlot);
    // The parameter of the kind for the naming, found or made (see the class comment); the index is stored
    // at (outRow, 0). Null when the kind is not exposed.
    Parameter* findOrCreate(AttributeType kind, const Naming& naming, std::int16_t index,
                            std::uint64_t& outRow);

    ParameterList* owner_ = nullptr;
    Naming lineType_;
    Naming finish_;
    Naming fill_;
    String linearGradientName_;
    String radialGradientName_;
    std::array<Naming, kPenSlots> pens_;
    Naming material_;
    std::uint32_t currentLineType_ = kNone;
    std::uint32_t currentFinish_ = kNone;
    std::uint32_t currentFill_ = kNone;   // also kLinearGradient or kRadialGradient
    std::uint32_t currentPen_ = 0;
    std::array<std::uint32_t, kPenSlots> currentPens_{};
    std::int32_t currentPenSlot_ = -1;
    std::uint32_t currentMaterial_ = kNone;
};

}   // namespace tarnwick

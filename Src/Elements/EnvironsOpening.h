// EnvironsOpening: an opening that keeps the host's opening record: the attributes of its parts, its
// width and height, and its flags.
#pragma once

#include <cstdint>
#include <memory>

#include "Elements/Opening.h"
#include "Elements/PartAttributes.h"

namespace tarnwick {

// The opening record is the run of the host element record from offset 112; the kind that keeps the
// record gives it. Setters change that record only.
class EnvironsOpening : public Opening {
public:
    EnvironsOpening(const ElementLink& link, const ComponentLink& part) : Opening(link, part) {}
    EnvironsOpening(const EnvironsOpening&) = default;
    ~EnvironsOpening() override;

    // --- Element, ComponentElem, Opening ------------------------------------------------------------
    // The attributes of the parts, from the opening record (PartAttributes).
    Pen getPen(std::int32_t part) const override;
    LineStyle getLineStyle(std::int32_t part) const override;
    Finish getFinish(std::int32_t part) const override;
    std::unique_ptr<Attribute> getFill(std::int32_t part) override;
    std::int32_t setPen(const AttributeLink& pen, std::int32_t part) override;
    void setFill(const AttributeLink& fill, std::int32_t part) override;
    void setLineStyle(const AttributeLink& lineStyle, std::int32_t part) override;
    void setFinish(const AttributeLink& finish, std::int32_t part) override;
    void setPosition(const CadPoint&) override {}   // the wall places it
    void setElevation(double, bool) override {}     // the same
    bool isOptionC() const override;
    void setOptionC(bool flag) override;
    double getOpeningWidth() const override;
    double getOpeningHeight() const override;
    void setOpeningWidth(double value) override;
    void setOpeningHeight(double value) override;

    // --- Its own ------------------------------------------------------------------------------------
    virtual ElementLink getEnvironsLink() const;   // empty
    virtual bool isOpeningFlagA() const;
    virtual bool isOpeningFlagB() const;
    virtual void setOpeningFlagC(bool flag);   // nothing: the record keeps no such flag
    virtual void setOpeningFlagA(bool flag);
    virtual void setOpeningFlagB(bool flag);
    virtual bool isOpeningFlagD() const;
    virtual void setOpeningFlagD(bool flag);
    // The record from host offset 112 (an offset in it is the host offset minus 112).
    virtual const unsigned char* getOpeningRecord() const = 0;
    virtual unsigned char* getMutableOpeningRecord() = 0;

private:
    PartAttributes parts() const;   // over the opening record (a const element only reads through it)
    template <typename T>
    T get(std::size_t offset) const;
    template <typename T>
    void put(std::size_t offset, const T& value);
};

}   // namespace tarnwick

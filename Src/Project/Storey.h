// Storey: one floor of the project's floor plan (its index, name, level and height), kept by the plan's
// storey list; StoreyList: that list.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Foundation/List.h"
#include "Foundation/String.h"
#include "Project/Attribute.h"

namespace tarnwick {

class Plan;

// An attribute of type 0: the host keeps storeys in no attribute table, so a storey is never valid as
// an attribute and never fetched through a Specification. Made by the Plan from the host's storey
// records (or by callers from values); the Plan it names must outlive it.
class Storey : public Attribute {
public:
    // Where a height lies against the storey (locate).
    enum Location : std::int32_t {
        above = 1,     // above the top of the storey
        atLevel = 2,   // at its level
        inside = 4,    // between its level and its top
        atTop = 8,     // at its top (the level of the storey above)
        below = 16,    // below its level
    };

    Storey(Plan* plan, const String& name, std::int16_t index, double level, double height);
    // From the host's storey record: index, second number, level, name; the flag is the negation of the
    // record's flag byte.
    Storey(Plan* plan, const host::StoreyRecord& record, double height);
    explicit Storey(const AttributeLink& link);   // the project's plan, the link's index, no name
    Storey(const Storey& other);
    Storey& operator=(const Storey& other);
    ~Storey() override;

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::none; }
    std::int32_t getIndex() const override { return index_; }
    String getName() const override { return name_; }
    void setName(const String& name) override { name_ = name; }
    std::unique_ptr<host::AttributeDefinition> copyDefinition() const override;   // null: no host table
    AttributeExtensionPtr copyExtendedDefinition() const override;                // null
    const host::AttributeHeader& getRecord() const override { return header_; }
    host::AttributeHeader& getRecord() override { return header_; }
    virtual void setIndex(std::int32_t index);   // the signed 16-bit host index

    Plan* getPlan() const { return plan_; }
    std::int16_t getNumber() const { return number_; }   // the host record's second number, carried
    double getLevel() const { return level_; }           // model metres
    double getHeight() const { return height_; }         // up to the next storey
    std::uint8_t getFlag() const { return flag_; }       // carried

    // Where the height z lies, each comparison within `tolerance` (a length): atLevel, atTop, below,
    // above, else inside, in that order of precedence.
    Location locate(double z, double tolerance) const;

    bool operator==(const Storey& other) const { return plan_ == other.plan_ && index_ == other.index_; }

private:
    host::AttributeHeader header_{};   // what getRecord answers; zero
    Plan* plan_ = nullptr;             // not owned
    String name_;
    std::int32_t index_ = 0;   // the signed 16-bit host index
    std::int16_t number_ = 0;
    double level_ = 0.0;
    double height_ = 0.0;
    std::uint8_t flag_ = 1;
};

// The plan's storeys, bottom up; owns them. Copy with clone.
class StoreyList : public List<Storey> {
public:
    StoreyList() = default;
    virtual ~StoreyList();
    virtual std::unique_ptr<StoreyList> clone() const;   // a deep copy
};

}   // namespace tarnwick

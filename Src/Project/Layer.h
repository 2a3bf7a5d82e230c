// Layer: the wrapper of one host layer, whose hidden and locked state decides whether the host shows
// and lets the user edit the elements on it; Layer::Status: one layer's state inside a combination.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Foundation/String.h"
#include "Project/AttributeLink.h"
#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host layer record as a layer keeps it: the header (flags, name) and the group number.
struct LayerRecord {
    host::AttributeHeader header;
    std::int32_t group;   // carried, not interpreted
    std::uint8_t reserved300[4];
};
static_assert(sizeof(LayerRecord) == 304);
static_assert(offsetof(LayerRecord, group) == host::kLayerGroupOffset);

// Layer flags (the header's 16-bit flags). Setting one ors it in, clearing ands it out; no other bit
// changes. 0x4 and 0x10 are carried, not interpreted.
inline constexpr std::uint16_t kLayerHidden = host::kLayerHidden;                       // 0x1
inline constexpr std::uint16_t kLayerLocked = host::kLayerLocked;                       // 0x2
inline constexpr std::uint16_t kLayerOutsideWorkspace = host::kLayerOutsideWorkspace;   // 0x4
inline constexpr std::uint16_t kLayerCarried = 0x10;

// An attribute of type 2; copy with clone. Every operation loads the record first. The host's layer 1
// is shown under the framework's own name for it ("ArchiCAD Layer", string 19 of list 32700).
class Layer : public RecordAttribute<LayerRecord> {
public:
    // One layer's flags and group inside a layer combination. A value.
    class Status {
    public:
        Status(std::uint16_t flags, std::int32_t group) : flags_(flags), group_(group) {}
        explicit Status(const host::LayerStatusRecord& record) : flags_(record.flags), group_(record.group) {}
        virtual ~Status();
        Status(const Status&) = default;
        Status& operator=(const Status&) = default;

        // Zero-fills the record and writes flags and group; the combination's writer puts the index in.
        virtual void toRecord(host::LayerStatusRecord& record) const;

        std::uint16_t getFlags() const { return flags_; }
        std::int32_t getGroup() const { return group_; }
        bool isHidden() const { return (flags_ & kLayerHidden) != 0; }
        bool isLocked() const { return (flags_ & kLayerLocked) != 0; }
        void setHidden(bool on) { setFlag(kLayerHidden, on); }
        void setLocked(bool on) { setFlag(kLayerLocked, on); }
        void setOutsideWorkspace(bool on) { setFlag(kLayerOutsideWorkspace, on); }
        void setCarried(bool on) { setFlag(kLayerCarried, on); }
        void setGroup(std::int32_t group) { group_ = group; }
        bool operator==(const Status& other) const {
            return flags_ == other.flags_ && group_ == other.group_;
        }

    private:
        void setFlag(std::uint16_t flag, bool on) {
            flags_ =
                on ? static_cast<std::uint16_t>(flags_ | flag) : static_cast<std::uint16_t>(flags_ & ~flag);
        }
        std::uint16_t flags_;
        std::int32_t group_;
    };

    Layer();                                     // a new layer: reset record, empty link
    explicit Layer(const AttributeLink& link);   // the record loads on first use
    // The creator's: the record copied from the definition; layer 1 gets the framework's name for it.
    Layer(const host::AttributeDefinition& definition, const AttributeLink& link);
    // The project's layer of that name (the framework's name for layer 1 names layer 1); when there is
    // none and the name is not empty, a new layer of that name that the host does not know yet.
    explicit Layer(const String& name);
    Layer(const Layer& other);
    Layer& operator=(const Layer& other);
    ~Layer() override;

    // The attribute creator for type 2: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::layer; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null: layers have none

    bool isHidden() const { return hasFlag(kLayerHidden); }
    bool isLocked() const { return hasFlag(kLayerLocked); }
    bool isOutsideWorkspace() const { return hasFlag(kLayerOutsideWorkspace); }   // shared project
    bool isCarried() const { return hasFlag(kLayerCarried); }
    void setHidden(bool on) { setFlag(kLayerHidden, on); }
    void setLocked(bool on) { setFlag(kLayerLocked, on); }
    void setCarried(bool on) { setFlag(kLayerCarried, on); }
    std::int32_t getGroup() const { return record().group; }
    void setGroup(std::int32_t group) { record().group = group; }
    Status getStatus() const { return Status(getFlags(), getGroup()); }

    // The framework's name of the host's layer 1, fetched while the kept copy is empty.
    static const String& firstLayerName();

protected:
    void resetRecord(LayerRecord& record, bool failed) const override;

private:
    bool hasFlag(std::uint16_t flag) const { return (getFlags() & flag) != 0; }
    void setFlag(std::uint16_t flag, bool on);
};

}   // namespace tarnwick

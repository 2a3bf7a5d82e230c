// TextRuler: the paragraph formatting of a run of a styled text: the host's paragraph values and a list
// of tab stops, exchanged one to one with the host's 112-byte paragraph record.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>
#include <HostStyledText.h>

#include "Foundation/Vector.h"
#include "Project/Attribute.h"

namespace tarnwick {

// An attribute with a default link (it names no attribute of the project; the base gives only its
// interface). The values are the host's, carried without interpretation. A value; copies copy the tabs.
class TextRuler : public Attribute {
public:
    // One tab stop: its kind (32-bit at the host, widened) and position.
    class Tab {
    public:
        Tab() = default;
        explicit Tab(const host::TabRecord& record) : kind(record.kind), position(record.position) {}
        Tab(const Tab& other) = default;
        Tab& operator=(const Tab& other) = default;
        virtual ~Tab() = default;

        std::int64_t kind = 0;
        double position = 0.0;
    };

    // Owned tabs in order; a copy copies each tab.
    class TabList : public Vector<Tab> {
    public:
        TabList() = default;
        TabList(const TabList& other);
    };

    TextRuler();
    // Values A to G from the record; a tab list when its tab block holds at least one entry, else none.
    explicit TextRuler(const host::ParagraphRecord& record);
    TextRuler(const TextRuler& other);
    TextRuler& operator=(const TextRuler& other);
    ~TextRuler() override;

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::none; }
    std::unique_ptr<host::AttributeDefinition> copyDefinition() const override;   // null: no host table
    AttributeExtensionPtr copyExtendedDefinition() const override;                // null
    const host::AttributeHeader& getRecord() const override { return header_; }
    host::AttributeHeader& getRecord() override { return header_; }

    // Writes values A to G and a tab block of 40 bytes per tab (0 bytes without tabs). A tab block the
    // record already holds is resized and reused, not left behind. Throws TracedException ("bad_alloc")
    // when the block cannot be had; the record's other fields are then written.
    void writeParagraph(host::ParagraphRecord& record) const;

    const TabList* getTabs() const { return tabs_.get(); }   // null: no tab list
    void addTab(const Tab& tab);
    bool operator==(const TextRuler& other) const;   // values and tabs, exactly

    std::int64_t valueA = 0;
    double realB = 0.0;
    double realC = 0.0;
    double realD = 0.0;
    double realE = 0.003;
    std::int64_t valueF = 0;
    std::int64_t valueG = 0;

private:
    host::AttributeHeader header_{};
    std::unique_ptr<TabList> tabs_;
};

}   // namespace tarnwick

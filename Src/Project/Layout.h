// Layout: a layout sheet of the project (or a master layout), with its host layout record.
#pragma once

#include <memory>

#include <HostRecords.h>

#include "Geometry/Cube.h"
#include "Project/Drawing.h"

namespace tarnwick {

// Owned by the Project, made from (Project&, database Guid, master). The layout record is read once and
// read again after the master changes. A record the host could not give is kept zeroed, and nothing is
// written from it: a write would set the paper and margins to 0.
class Layout : public Drawing {
public:
    Layout(Project& project, const Guid& databaseGuid, bool master);
    ~Layout() override;

    String typeName() const override;                // "Layout", or "Master Layout"
    std::int32_t getDatabaseType() const override;   // 5 for both
    std::int32_t getNavigatorType() const override;
    virtual const host::LayoutRecord& getRecord();   // loads it first (zeroed when the host failed)

    bool isMaster() const { return master_; }
    bool loadRecord();   // 'GLAY' once; false when the host failed
    // The master layout (kind 9 with its guid); an empty record for a master layout or on failure.
    LinkRecord getMasterId();
    bool setMaster(const LinkRecord& master);   // false for a master layout or on failure
    String getLayoutName();
    std::int32_t getFlag();
    String getTextA();
    String getTextB();
    bool setLayoutName(const String& name, bool flag);   // at most 256 bytes
    bool setTextA(const String& text);                   // at most 256 characters
    bool setTextB(const String& text);
    Cube getPaperBox();
    Cube getPrintableBox();
    bool copyFrom(Layout& other);

private:
    bool writeLayout();   // 'CLAY'; refused while the record did not load
    void dropRecord();    // frees the record with the guid-to-text table the host gave with it

    bool master_;
    std::unique_ptr<host::LayoutRecord> record_;   // null until loaded; its text table is ours
    bool recordLoaded_ = false;                    // the host gave the record
};

}   // namespace tarnwick

// ClassificationSystem: the framework's record of one of the host's classification systems, loaded from
// the host on first access when it was made from a GUID alone.
#pragma once

#include <HostIFCRecords.h>

#include "Foundation/DateTime.h"
#include "Foundation/Guid.h"
#include "Foundation/String.h"

namespace tarnwick {

// Held through shared pointers (the classification database, its tree, items and callers). Getters load
// the record first; the host is asked at most once. A load the host answers with "no such system" clears
// the GUID; any other failed load keeps it (so that a later store changes this system rather than making
// another). Either way the fields stay empty.
class ClassificationSystem {
public:
    explicit ClassificationSystem(const Guid& guid);                                 // not loaded
    explicit ClassificationSystem(const host::ClassificationSystemRecord& record);   // loaded

    const Guid& getGuid() const { return guid_; }
    void setGuid(const Guid& guid) { guid_ = guid; }   // the host's GUID after a store
    bool loadFailed() const;                           // the host could not give the record

    String getName() const;
    String getDescription() const;
    String getSource() const;
    String getEdition() const;
    DateTime getEditionDate() const;   // only the date is used
    void setName(const String& text);
    void setDescription(const String& text);
    void setSource(const String& text);
    void setEdition(const String& text);
    void setEditionDate(const DateTime& date);

    // Fills the record (GUID, texts, date); false, writing nothing, when the name is empty.
    bool toHost(host::ClassificationSystemRecord& record) const;

private:
    void refresh() const;
    void assign(const host::ClassificationSystemRecord& record) const;

    mutable Guid guid_;   // cleared by a load the host answers with "no such system"
    mutable String name_;
    mutable String description_;
    mutable String source_;
    mutable String edition_;
    mutable DateTime editionDate_;
    mutable bool loaded_ = false;
    mutable bool loadFailed_ = false;
};

}   // namespace tarnwick

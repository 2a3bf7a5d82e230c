// AttributeMemoStore: the memo store over a host attribute's extended definition (224 bytes): line-type
// dashes and lines, fill lines, composite skins and lines, layer statuses, zone-category parameters.
#pragma once

#include <HostRecords.h>

#include "Project/Attribute.h"
#include "Project/MemoStore.h"

namespace tarnwick {

// Owns its definition unless the keep flag is set: the destructor then leaves the record and its handles
// to whoever holds them. Otherwise it releases the handles with the host's extended-definition disposal
// and frees the record. A caller that hands the record on takes it with release(). Not copyable.
//
// A definition passed in without keep becomes the store's: the caller must not release it as well.
//
// Only the attribute fields (ltype_..., fill_..., cwall_..., layer_statItems and parameters) are held;
// every element field throws TracedException "bad_alloc" with the place "AttributeMemoStore::<field>".
class AttributeMemoStore : public MemoStore {
public:
    // Takes the definition (a record from the host memory manager, as an AttributeExtensionPtr holds;
    // null: a new zeroed one). With keep set the caller keeps ownership. Throws TracedException
    // "bad_alloc" when the record cannot be allocated.
    explicit AttributeMemoStore(host::AttributeExtension* definition = nullptr, bool keep = false);
    ~AttributeMemoStore() override;
    AttributeMemoStore(const AttributeMemoStore&) = delete;
    AttributeMemoStore& operator=(const AttributeMemoStore&) = delete;

    host::AttributeExtension* getDefinition() const { return definition_; }   // ours unless keep is set
    // Gives the record up with its handles: sets the keep flag; the caller now owns the record. Null
    // while the keep flag is set (the record was given up already, or is not the store's).
    AttributeExtensionPtr release();
    bool getKeep() const { return keep_; }
    void setKeep(bool keep) { keep_ = keep; }

#define TARNWICK_MEMO_ACCESSORS(field)   \
    host::Handle field() const override; \
    host::Handle* field() override;
    TARNWICK_MEMO_HANDLES_A(TARNWICK_MEMO_ACCESSORS)
    host::Ptr cWSegContour() const override;   // element fields from here on: they all throw
    host::Ptr* cWSegContour() override;
    TARNWICK_MEMO_HANDLES_B(TARNWICK_MEMO_ACCESSORS)
    PatternRecord cWSegPrimaryPattern() const override;
    PatternRecord* cWSegPrimaryPattern() override;
    PatternRecord cWSegSecondaryPattern() const override;
    PatternRecord* cWSegSecondaryPattern() override;
    TARNWICK_MEMO_HANDLES_C(TARNWICK_MEMO_ACCESSORS)
    ShellShapeBlock* shellShapes() override;
    TARNWICK_MEMO_HANDLES_D(TARNWICK_MEMO_ACCESSORS)
#undef TARNWICK_MEMO_ACCESSORS

private:
    host::AttributeExtension* definition_;
    bool keep_;   // set: the record is not ours to release
};

}   // namespace tarnwick

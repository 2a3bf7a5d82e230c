// ElementMemoStore: the memo store over a host element memo (1192 bytes).
#pragma once

#include <HostRecords.h>

#include "Project/MemoStore.h"

namespace tarnwick {

// Owns its memo unless the keep flag is set: the destructor then leaves the record and its handles to
// whoever holds them. Otherwise it releases the memo's handles with the host's memo disposal and frees
// the record. A caller that hands the record on takes it with release(). Not copyable.
//
// Only element fields are held; the attribute fields (ltype_..., fill_..., cwall_..., layer_statItems)
// throw TracedException "bad_alloc" with the place "ElementMemoStore::<field>".
class ElementMemoStore : public MemoStore {
public:
    // Takes the memo (a record from the host memory manager; null: a new zeroed one). With keep set the
    // caller keeps ownership. Throws TracedException "bad_alloc" when the record cannot be allocated.
    explicit ElementMemoStore(host::ElementMemo* memo = nullptr, bool keep = false);
    ~ElementMemoStore() override;
    ElementMemoStore(const ElementMemoStore&) = delete;
    ElementMemoStore& operator=(const ElementMemoStore&) = delete;

    host::ElementMemo* getMemo() const { return memo_; }   // still ours unless keep is set
    // Gives the record up: sets the keep flag and returns it; the caller now releases it.
    host::ElementMemo* release();
    bool getKeep() const { return keep_; }
    void setKeep(bool keep) { keep_ = keep; }

#define TARNWICK_MEMO_ACCESSORS(field)   \
    host::Handle field() const override; \
    host::Handle* field() override;
    TARNWICK_MEMO_HANDLES_A(TARNWICK_MEMO_ACCESSORS)
    host::Ptr cWSegContour() const override;
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
    static void releaseHandles(host::ElementMemo& memo);   // what the host's disposal would have freed

    host::ElementMemo* memo_;
    bool keep_;   // set: the record is not ours to release
};

}   // namespace tarnwick

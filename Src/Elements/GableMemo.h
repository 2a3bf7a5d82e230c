// GableMemo: the gables of an element, read from and written to the gable part of its host memo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Elements/GableList.h"
#include "Project/Memo.h"

namespace tarnwick {

// The base of ComponentElem, which supplies load (its own memo load). Every list operation first
// loads the memo on demand; when that fails it does nothing and gives 0 or null. A gable handed in
// is taken over, also when the operation does nothing (it is then deleted).
class GableMemo : public Memo {
public:
    static constexpr std::uint64_t kMemoKind = 2;   // the gable part of the memo mask

    GableMemo();
    GableMemo(const GableMemo& other);   // the gables copied
    GableMemo& operator=(const GableMemo& other);
    ~GableMemo() override;

    // --- Memo ----------------------------------------------------------------------------------------
    void update(Memo& newMemo, Memo& oldMemo) override;   // nothing
    bool isValid() const override;                        // true
    // Writes the gables as one handle of 96-byte records. An element whose gables were all deleted
    // writes an empty handle, so that the host drops them too; one that never had any writes nothing.
    // False when the memo cannot be loaded.
    bool write(MemoStore& store) override;
    bool read(MemoStore& store) override;   // always true: a missing or short handle reads as no gables
    virtual std::uint64_t getMemoKind() const;

    // --- The gables ----------------------------------------------------------------------------------
    std::size_t getCount();
    // Still owned by the list. Throws TracedException "out_of_range" ("GableMemo::getGable") at or
    // past the count; null when the memo cannot be loaded.
    Gable* getGable(std::size_t index);
    // Nothing at the count; throws "out_of_range" ("GableMemo::deleteGable") past it.
    void deleteGable(std::size_t index);
    void setGable(std::unique_ptr<Gable> gable, std::size_t index);      // appends at or past the count
    void insertGable(std::unique_ptr<Gable> gable, std::size_t index);   // appends at or past the count
    void addGable(std::unique_ptr<Gable> gable);
    void clearValues();   // every record zeroed; the count stays

private:
    bool ready() { return loadOnDemand(getMemoKind()) && gables_; }

    std::unique_ptr<GableList> gables_;
    bool hadGables_ = false;   // the host held gables when the memo was read
};

}   // namespace tarnwick

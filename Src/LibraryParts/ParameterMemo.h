// ParameterMemo: a parameter list bound to the parameter part of a host element memo (a handle of
// parameter records): read from it when first needed, written back to it.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/String.h"
#include "LibraryParts/ParameterList.h"
#include "Project/Memo.h"

namespace tarnwick {

class MemoStore;

// The list is part of the memo and reached through getParameters(); every list operation loads the
// memo first, so a change made before the first load is never lost to it. Copies are deep. The concrete
// memo (a library-part element, a parametric source) supplies load().
class ParameterMemo : public Memo, private ParameterList {
public:
    static constexpr std::uint64_t kPartMask = 4;   // the memo part that holds library-part parameters

    ParameterMemo() = default;
    ParameterMemo(const ParameterMemo& other);
    ParameterMemo& operator=(const ParameterMemo& other);

    // --- Memo side, in the order of the interface ------------------------------------------------
    ~ParameterMemo() override;
    // With two parameter memos: ParameterList::update of this list with theirs (all three loaded first).
    void update(Memo& newMemo, Memo& oldMemo) override;
    bool isValid() const override { return true; }
    bool write(MemoStore& store) override { return writeParameters(store); }
    bool read(MemoStore& store) override { return readParameters(store); }
    // The list into the store's parameter handle (loaded first); true for an empty list, else whether
    // the store now holds a handle.
    virtual bool writeParameters(MemoStore& store);
    // The list from the store's parameter handle; loaded on success. False (nothing read) on a bad record.
    virtual bool readParameters(MemoStore& store);
    virtual std::uint64_t getParameterCount();
    virtual ParameterList& getParameters();   // loaded first
    virtual ParameterList& getParameterList() { return getParameters(); }
    virtual void setParameters(const ParameterList& list);   // a deep copy; the memo counts as loaded
    virtual void mergeParameters(ParameterMemo& other, bool skipSizes, bool resizeRows, bool resizeColumns);
    virtual void mergeParameterList(const ParameterList& other, bool skipSizes, bool resizeRows,
                                    bool resizeColumns);
    // ParameterList::copyParameter from the other memo, both resize flags set.
    virtual void copyParameterFrom(ParameterMemo& other, const String& name, std::uint64_t rows,
                                   std::uint64_t columns);
    virtual void resetParameters();
    virtual void resetParameterValues() { resetParameters(); }
    virtual std::uint64_t getPartMask() const { return kPartMask; }

    // --- Non-virtual ----------------------------------------------------------------------------
    // Resets this list, reads it from the store and, when that works, merges it into the receiver with
    // the flags (readInto) or gives the receiver a copy (readCopy). The read's result.
    bool readInto(ParameterList& receiver, MemoStore& store, bool skipSizes, bool resizeRows,
                  bool resizeColumns);
    bool readCopy(ParameterList& receiver, MemoStore& store);

protected:
    // The list side: every operation loads the memo first.
    std::uint64_t size() const override;
    std::uint64_t indexOf(const String& name) const override;
    Parameter* at(std::uint64_t position) override;
    const Parameter* at(std::uint64_t position) const override;
    Parameter* find(const String& name) override;
    const Parameter* find(const String& name) const override;
    Parameter& front() const override;
    Parameter& back() const override;
    std::unique_ptr<Setting> getValue(const String& name, std::uint64_t row, std::uint64_t column) override;
    void erase(std::uint64_t position) override;
    void clear() override;
    void set(std::unique_ptr<Parameter> parameter, std::uint64_t position) override;
    void insert(std::unique_ptr<Parameter> parameter, std::uint64_t position) override;
    void push_back(std::unique_ptr<Parameter> parameter) override;
    bool setValue(const Setting& value, const String& name, std::uint64_t row, std::uint64_t column) override;
    void copyParameter(const ParameterList& other, const String& name, std::uint64_t rows,
                       std::uint64_t columns, bool resizeRows, bool resizeColumns) override;
    void merge(const ParameterList& other, bool skipSizes, bool resizeRows, bool resizeColumns) override;
    void resetAll() override;
    void resetAllValues() override;
    void update(const ParameterList& newer, const ParameterList& older) override;

    // Loads once (the memo's own load with its part mask); nothing while a load is running.
    void ensureLoaded() const;
    ParameterList& list() { return *this; }   // the list as it is, without loading
    const ParameterList& list() const { return *this; }

private:
    mutable bool loading_ = false;
};

}   // namespace tarnwick

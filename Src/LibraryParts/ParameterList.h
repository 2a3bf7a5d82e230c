// ParameterList: the ordered parameters of a library part or of a placed library-part element, as the
// host gives them and as the add-on writes them back. Besides the container operations it merges
// same-named parameters of another list and brings a list up to date three-way when the part it was
// made from changes (the carry-over of values when an element switches its library part).
#pragma once

#include <cstdint>
#include <memory>

#include <HostMemory.h>

#include "Foundation/String.h"
#include "Foundation/Vector.h"
#include "LibraryParts/Parameter.h"

namespace tarnwick {

class Setting;

// The vector of owned parameters behind a list; a position may be empty.
class ParameterVector : public Vector<Parameter> {
public:
    ParameterVector() = default;
    virtual ~ParameterVector();
    // A new vector with a clone of every parameter in the same order; an empty position stays empty.
    virtual std::unique_ptr<ParameterVector> clone() const;
};

// Owns its vector and so every parameter; copies are deep. Positions are 0-based; kNotFound (the low
// 32 bits set) is the position of no parameter. Lookups by name (indexOf, find, getValue, setValue,
// copyParameter) ignore case; merge and update match names exactly.
class ParameterList {
public:
    static constexpr std::uint64_t kNotFound = 4294967295u;
    static constexpr std::uint64_t kAll = 4294967295u;   // a row or column selector: every row or column

    explicit ParameterList(std::uint64_t capacity = 0);
    ParameterList(const ParameterList& other);
    ParameterList& operator=(const ParameterList& other);   // clones first: a failure changes nothing

    // --- Virtual operations, in the order of the interface ---------------------------------------
    virtual ~ParameterList();
    virtual std::uint64_t size() const;
    virtual std::uint64_t indexOf(const String& name) const;   // kNotFound when no parameter has the name
    virtual Parameter* at(std::uint64_t position);             // null when position >= size
    virtual const Parameter* at(std::uint64_t position) const;
    virtual Parameter* find(const String& name);   // the first of that name; null when none
    virtual const Parameter* find(const String& name) const;
    virtual Parameter& front() const;   // throws TracedException "out_of_range" when empty
    virtual Parameter& back() const;    // the same
    // A new value object of the cell; null when no parameter has the name.
    virtual std::unique_ptr<Setting> getValue(const String& name, std::uint64_t row, std::uint64_t column);
    virtual void erase(std::uint64_t position);   // nothing when position >= size
    virtual void clear();
    // Replaces the parameter at the position (appends when position >= size); the list takes it over.
    virtual void set(std::unique_ptr<Parameter> parameter, std::uint64_t position);
    // Inserts before the position (appends when position >= size); the list takes it over.
    virtual void insert(std::unique_ptr<Parameter> parameter, std::uint64_t position);
    virtual void push_back(std::unique_ptr<Parameter> parameter);
    // The named parameter's setCell; false when no parameter has the name.
    virtual bool setValue(const Setting& value, const String& name, std::uint64_t row, std::uint64_t column);
    // The named parameter of other into ours: the shape, then every cell of the selected rows (all, or
    // a count of rows) of every column. Nothing unless both flags are set and both lists hold the name.
    virtual void copyParameter(const ParameterList& other, const String& name, std::uint64_t rows,
                               std::uint64_t columns, bool resizeRows, bool resizeColumns);
    // Every parameter takes the values of the first same-named parameter of other (copyFrom with the
    // flags); nothing is added or removed. With skipSizes, A, B and ZZYZX (any case) keep theirs.
    virtual void merge(const ParameterList& other, bool skipSizes, bool resizeRows, bool resizeColumns);
    virtual void resetAll();
    virtual void resetAllValues();   // the same as resetAll
    // Brings this list, made from the definition `older`, up to the definition `newer`: parameters that
    // went are erased, those that came are appended, those that stayed are merged cell by cell (a value
    // still at the old default takes the new one, one the user changed stays); a parameter whose type
    // changed is replaced by the new one. Never two parameters of one name where there was one.
    virtual void update(const ParameterList& newer, const ParameterList& older);

    // --- Non-virtual ----------------------------------------------------------------------------
    // The stored pointer; throws TracedException "out_of_range" when position >= size.
    std::unique_ptr<Parameter>& operator[](std::uint64_t position);
    const std::unique_ptr<Parameter>& operator[](std::uint64_t position) const;

    // Host formats. readHandle: the parameters of a handle of host parameter records (null or no whole
    // record: an empty list, true); an unknown type code empties the list and gives false.
    bool readHandle(host::Handle handle);
    // A new handle of host parameter records at `handle` (an old one there is released first); on
    // failure nothing is left behind (null, false).
    bool writeHandle(host::Handle& handle) const;
    // The parameters of an add-on command call, the host's last first; null: empty, true. False (and an
    // empty list) when the host refuses the count or a kind is unknown.
    bool readCommandParameters(host::Handle handle);
    // Appends every parameter to the command list at `handle` (a new list there when create is set), then
    // "command_id" and "command_version" when the id is not 0. On failure the list is freed, a caller's
    // own too (handle null).
    bool writeCommandParameters(host::Handle& handle, bool create, std::uint32_t commandId,
                                std::int32_t commandVersion) const;

    // Releases a handle of host parameter records with the host's disposal; should the host refuse, the
    // array handles and the handle go back to the memory manager all the same. Null afterwards.
    static void releaseHandle(host::Handle& handle) noexcept;

private:
    friend class ParameterNameIndex;   // walks the parameters without the checks of operator[]

    std::unique_ptr<ParameterVector> parameters_;   // never null
};

}   // namespace tarnwick

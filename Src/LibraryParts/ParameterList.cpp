#include "LibraryParts/ParameterList.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include <HostParameters.h>
#include <HostRecords.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/Setting.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/LongParameter.h"
#include "LibraryParts/ParameterNameIndex.h"

namespace tarnwick {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Two ASCII names equal once lower-cased, compared in place.
bool equalFolded(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

bool isSizeName(const String& name) {
    const std::string lower = ParameterNameIndex::lowerCased(name);
    return lower == "a" || lower == "b" || lower == "zzyzx";
}

// Frees the blocks a command record owns and clears the references.
void releaseCommandRecord(host::CommandParameterRecord& record) {
    disposePtr(record.name);
    disposePtr(record.text);
    record.name = nullptr;
    record.text = nullptr;
}

}   // namespace

// --- ParameterVector -------------------------------------------------------------------------------
ParameterVector::~ParameterVector() = default;

std::unique_ptr<ParameterVector> ParameterVector::clone() const {
    auto copy = std::make_unique<ParameterVector>();
    copy->reserve(size());
    for (const auto& parameter : *this) copy->push_back(parameter ? parameter->clone() : nullptr);
    return copy;
}

// --- Construction ----------------------------------------------------------------------------------
ParameterList::ParameterList(std::uint64_t capacity) : parameters_(std::make_unique<ParameterVector>()) {
    parameters_->reserve(capacity);
}

ParameterList::ParameterList(const ParameterList& other) : parameters_(other.parameters_->clone()) {}

ParameterList& ParameterList::operator=(const ParameterList& other) {
    if (this != &other) parameters_ = other.parameters_->clone();
    return *this;
}

ParameterList::~ParameterList() = default;

// --- Container -------------------------------------------------------------------------------------
std::uint64_t ParameterList::size() const { return parameters_->size(); }

std::uint64_t ParameterList::indexOf(const String& name) const {
    // Names of ASCII alone (nearly all) are compared in place; any other goes through the host's
    // lower case, as a character outside ASCII may lower to one inside it.
    const std::string_view wanted = name.getView();
    const bool asciiWanted = isAscii(wanted);
    String wantedLower;
    bool lowered = false;
    for (std::uint64_t i = 0; i < size(); ++i) {
        const Parameter* parameter = (*parameters_)[i];
        if (parameter == nullptr) continue;
        const std::string_view have = parameter->getName().getView();
        if (asciiWanted && isAscii(have)) {
            if (equalFolded(have, wanted)) return i;
            continue;
        }
        if (!lowered) {
            wantedLower = name.toLower();
            lowered = true;
        }
        if (parameter->getName().toLower() == wantedLower) return i;
    }
    return kNotFound;
}

Parameter* ParameterList::at(std::uint64_t position) {
    return position < size() ? (*parameters_)[position] : nullptr;
}

const Parameter* ParameterList::at(std::uint64_t position) const {
    return position < size() ? (*parameters_)[position] : nullptr;
}

Parameter* ParameterList::find(const String& name) { return at(indexOf(name)); }

const Parameter* ParameterList::find(const String& name) const { return at(indexOf(name)); }

Parameter& ParameterList::front() const {
    if (size() == 0 || (*parameters_)[0] == nullptr)
        throw TracedException("out_of_range", "ParameterList::front");
    return *(*parameters_)[0];
}

Parameter& ParameterList::back() const {
    if (size() == 0 || parameters_->back() == nullptr)
        throw TracedException("out_of_range", "ParameterList::back");
    return *parameters_->back();
}

std::unique_ptr<Setting> ParameterList::getValue(const String& name, std::uint64_t row,
                                                 std::uint64_t column) {
    const Parameter* parameter = find(name);
    return parameter != nullptr ? parameter->makeSetting(row, column) : nullptr;
}

void ParameterList::erase(std::uint64_t position) {
    if (position < size()) parameters_->erase(position);
}

void ParameterList::clear() { parameters_->clear(); }

void ParameterList::set(std::unique_ptr<Parameter> parameter, std::uint64_t position) {
    if (position >= size()) return push_back(std::move(parameter));
    auto& slot = *(parameters_->begin() + static_cast<std::ptrdiff_t>(position));
    if (slot.get() == parameter.get()) {   // already there: it must not be deleted under its owner
        (void)parameter.release();
        return;
    }
    slot = std::move(parameter);
}

void ParameterList::insert(std::unique_ptr<Parameter> parameter, std::uint64_t position) {
    if (position >= size()) return push_back(std::move(parameter));
    parameters_->insert(position, std::move(parameter));
}

void ParameterList::push_back(std::unique_ptr<Parameter> parameter) {
    parameters_->push_back(std::move(parameter));
}

bool ParameterList::setValue(const Setting& value, const String& name, std::uint64_t row,
                             std::uint64_t column) {
    Parameter* parameter = find(name);
    if (parameter == nullptr) return false;
    parameter->setCell(value, row, column);
    return true;
}

std::unique_ptr<Parameter>& ParameterList::operator[](std::uint64_t position) {
    if (position >= size()) throw TracedException("out_of_range", "ParameterList::operator[]");
    return *(parameters_->begin() + static_cast<std::ptrdiff_t>(position));
}

const std::unique_ptr<Parameter>& ParameterList::operator[](std::uint64_t position) const {
    if (position >= size()) throw TracedException("out_of_range", "ParameterList::operator[] const");
    return *(std::as_const(*parameters_).begin() + static_cast<std::ptrdiff_t>(position));
}

void ParameterList::resetAll() {
    for (auto& parameter : *parameters_)
        if (parameter) parameter->reset();
}

void ParameterList::resetAllValues() { resetAll(); }

// --- Copy, merge and update ------------------------------------------------------------------------
void ParameterList::copyParameter(const ParameterList& other, const String& name, std::uint64_t rows,
                                  std::uint64_t columns, bool resizeRows, bool resizeColumns) {
    // 1.
    Parameter* target = find(name);
    const Parameter* source = other.find(name);
    if (target == nullptr || source == nullptr || !resizeRows || !resizeColumns) return;
    // 2.
    target->setColumnCount(source->getColumnCount());
    target->setRowCount(source->getRowCount());
    // 3. Only all columns are copied.
    if (columns != kAll) return;
    // 4. Everything.
    if (rows == kAll) {
        target->copyFrom(*source, resizeRows, resizeColumns);
        return;
    }
    // 5. A count of rows; rows the source lacks are cleared, and the source stays as it is (reading a cell
    // never grows it).
    for (std::uint64_t r = 0; r < rows; ++r) {
        for (std::uint64_t c = 0; c < source->getColumnCount(); ++c) {
            const std::unique_ptr<Setting> value = source->makeSetting(r, c);
            if (!value) continue;
            if (r >= source->getRowCount()) value->clear();
            target->setCell(*value, r, c);
        }
    }
}

void ParameterList::merge(const ParameterList& other, bool skipSizes, bool resizeRows, bool resizeColumns) {
    const ParameterNameIndex table(other, /*ignoreCase=*/false);   // 1.
    std::uint64_t found = other.size();
    for (std::uint64_t i = size(); i-- > 0;) {   // 2.
        ParameterNameIndex::prefetch(*this, i - ParameterNameIndex::kPrefetchDistance);
        ParameterNameIndex::prefetch(other, found - 1 - ParameterNameIndex::kPrefetchDistance);
        Parameter* parameter = (*parameters_)[i];
        if (parameter == nullptr) continue;
        if (skipSizes && isSizeName(parameter->getName())) continue;   // 3.
        // 4. Lists merged into one another mostly share their order: the same place or the one before
        // the last match is tried first.
        const std::uint64_t at = table.first(parameter->getName(), i, found - 1);
        if (at == kNotFound) continue;
        found = at;
        parameter->copyFrom(*other[found], resizeRows, resizeColumns);   // a refusal keeps ours
    }
}

void ParameterList::update(const ParameterList& newer, const ParameterList& older) {
    // 1. Names are found through indexes, so the update grows with the lists, not with their product. The
    // three lists mostly hold the same names in the same order: each lookup tries the place before its
    // previous match first, so the lists are read in order rather than at random.
    ParameterNameIndex newTable(newer, /*ignoreCase=*/false);
    ParameterNameIndex here(*this, /*ignoreCase=*/true);
    // 2. What the old definition had: merged, replaced, or erased. A new parameter whose name the old
    // definition had is marked.
    std::uint64_t lastHere = size();
    std::uint64_t lastNew = newer.size();
    constexpr std::uint64_t ahead = ParameterNameIndex::kPrefetchDistance;
    for (std::uint64_t i = older.size(); i-- > 0;) {
        ParameterNameIndex::prefetch(older, i - ahead);
        ParameterNameIndex::prefetch(*this, lastHere - 1 - ahead);
        ParameterNameIndex::prefetch(newer, lastNew - 1 - ahead);
        const Parameter* old = older[i].get();
        if (old == nullptr) continue;
        const String& name = old->getName();
        const std::uint64_t p = here.first(name, lastHere - 1, i);
        const std::uint64_t found = newTable.first(name, lastNew - 1, lastNew - 2);
        if (p != kNotFound) lastHere = p;
        if (found != kNotFound) {
            lastNew = found;
            newTable.mark(found);
            const Parameter* fresh = newer[found].get();
            if (p == kNotFound) {
                here.add(name, size());
                push_back(fresh->clone());
            } else if ((*this)[p]->getType() == fresh->getType()) {
                (*this)[p]->merge(*fresh, *old);
            } else {
                (*this)[p] = fresh->clone();
            }
        } else if (p != kNotFound) {
            here.eraseFirst(p);
        }
    }
    // 3. What only the new definition has. A parameter of that name that this list already holds is kept
    // (its value is the only one known) or, of another type, replaced: never a second one of the name.
    for (std::uint64_t i = newer.size(); i-- > 0;) {
        if (i >= ahead && !newTable.isMarked(i - ahead)) ParameterNameIndex::prefetch(newer, i - ahead);
        const Parameter* fresh = newer[i].get();
        if (fresh == nullptr || newTable.isMarked(i)) continue;
        const std::uint64_t p = here.first(fresh->getName());
        if (p == kNotFound) {
            here.add(fresh->getName(), size());
            push_back(fresh->clone());
        } else if ((*this)[p]->getType() != fresh->getType()) {
            (*this)[p] = fresh->clone();
        }
    }
    // The erasures close their gaps last, in place, keeping the order of what stays.
    if (!here.anyErased()) return;
    std::uint64_t kept = 0;
    for (std::uint64_t i = 0; i < size(); ++i)
        if (!here.isErased(i)) std::swap((*this)[kept++], (*this)[i]);
    while (size() > kept) parameters_->erase(size() - 1);
}

// --- Host parameter records ------------------------------------------------------------------------
bool ParameterList::readHandle(host::Handle handle) {
    clear();
    const std::size_t count = getHandleSize(handle) / sizeof(host::ParameterRecord);
    parameters_->reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        host::ParameterRecord record;
        std::memcpy(static_cast<void*>(&record), *handle + i * sizeof record, sizeof record);
        std::unique_ptr<Parameter> parameter = Parameter::create(record);
        if (!parameter) {
            clear();
            return false;
        }
        push_back(std::move(parameter));
    }
    return true;
}

void ParameterList::releaseHandle(host::Handle& handle) noexcept {
    if (handle == nullptr) return;
    if (hostApi().call<host::HostSlot::disposeParameters>(&handle) == 0) return;
    const std::size_t count = getHandleSize(handle) / sizeof(host::ParameterRecord);
    for (std::size_t i = 0; i < count; ++i) {
        host::ParameterRecord record;
        std::memcpy(static_cast<void*>(&record), *handle + i * sizeof record, sizeof record);
        if (record.modifier == host::kParameterArray) host::disposeHandle(record.value.array);
    }
    host::disposeHandle(handle);   // never throws: this runs in destructors too
    handle = nullptr;
}

bool ParameterList::writeHandle(host::Handle& handle) const {
    releaseHandle(handle);
    handle = nullptr;
    if (size() == 0) return true;
    host::Handle made = allocateHandle(size() * sizeof(host::ParameterRecord));
    bool written = true;
    try {
        for (std::uint64_t i = 0; i < size() && written; ++i) {
            host::ParameterRecord record{};
            written = (*parameters_)[i] != nullptr && (*parameters_)[i]->toHostParameter(record);
            // Also a failed record goes in: an array handle it already holds is released with the rest.
            std::memcpy(*made + i * sizeof record, static_cast<const void*>(&record), sizeof record);
        }
    } catch (...) {
        releaseHandle(made);
        throw;
    }
    if (!written) {
        releaseHandle(made);
        return false;
    }
    handle = made;
    return true;
}

// --- Add-on command parameters ---------------------------------------------------------------------
bool ParameterList::readCommandParameters(host::Handle handle) {
    clear();
    if (handle == nullptr) return true;
    std::int32_t count = 0;
    if (hostApi().utilities(fourcc("NCLP"), handle, &count) != 0) return false;
    for (std::int32_t index = count; index >= 1; --index) {
        host::CommandParameterRecord record{};
        record.index = index;
        if (hostApi().utilities(fourcc("GCLP"), handle, &record) != 0) {
            releaseCommandRecord(record);   // whatever a refusal left in it
            continue;
        }
        std::unique_ptr<Parameter> parameter;
        try {
            parameter = Parameter::createFromCommand(record);
        } catch (...) {
            releaseCommandRecord(record);
            throw;
        }
        releaseCommandRecord(record);
        if (!parameter) {
            clear();
            return false;
        }
        push_back(std::move(parameter));
    }
    return true;
}

bool ParameterList::writeCommandParameters(host::Handle& handle, bool create, std::uint32_t commandId,
                                           std::int32_t commandVersion) const {
    // 1.
    if (create && hostApi().utilities(fourcc("ICLP"), &handle) != 0) return false;
    // 2., 3. One record after another; the host keeps copies, ours are released at once.
    const auto freeList = [&handle] {
        hostApi().utilities(fourcc("FCLP"), &handle);
        handle = nullptr;
    };
    const auto add = [&handle](const Parameter& parameter) {
        host::CommandParameterRecord record{};
        if (!parameter.toCommandParameter(record)) return false;
        const bool added = hostApi().utilities(fourcc("ACLP"), handle, &record) == 0;
        releaseCommandRecord(record);
        return added;
    };
    bool written = true;
    try {
        for (std::uint64_t i = 0; i < size() && written; ++i)
            written = (*parameters_)[i] != nullptr && add(*(*parameters_)[i]);
        if (written && commandId != 0) {
            LongParameter id("command_id", String(), 0, 0, 0, false);
            id.set(static_cast<std::int32_t>(commandId), 0, 0);
            LongParameter version("command_version", String(), 0, 0, 0, false);
            version.set(commandVersion, 0, 0);
            written = add(id) && add(version);
        }
    } catch (...) {
        freeList();
        throw;
    }
    // 4. A list written in part is of no use to anyone: nothing is left behind.
    if (!written) freeList();
    return written;
}

}   // namespace tarnwick

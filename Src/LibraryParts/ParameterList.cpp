#include "LibraryParts/ParameterList.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <HostParameters.h>
#include <HostRecords.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/Setting.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/LongParameter.h"

namespace tarnwick {
namespace {

// A name as lookups by name see it: lower-cased, directly for ASCII (most names), else by the host.
std::string lowerName(const String& name) {
    const std::string_view text = name.getView();
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string lower(text);
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return lower;
    }
    return std::string(name.toLower().getView());
}

bool isSizeName(const String& name) {
    const std::string lower = lowerName(name);
    return lower == "a" || lower == "b" || lower == "zzyzx";
}

// The positions of a list's parameters by name in a few flat blocks (open addressing over the names'
// hashes, the positions of one name chained in ascending order), so that merging and updating long
// lists costs a lookup per parameter, not a walk of the list. Positions may be added past the end
// (appended parameters) and the first one of a name erased; erased positions keep their place until the
// caller closes the gaps.
class NameIndex {
public:
    // By the names as they are, or lower-cased (as indexOf compares them).
    NameIndex(const ParameterList& list, bool lowerCase) : lowerCase_(lowerCase), storage_(takeStorage()) {
        storage_.entries.reserve(list.size());
        storage_.slots.assign(capacityFor(list.size()), 0);
        storage_.next.reserve(list.size());
        for (std::uint64_t i = 0; i < list.size(); ++i) {
            storage_.next.push_back(ParameterList::kNotFound);
            storage_.erased.push_back(false);
            if (const Parameter* parameter = list[i].get()) add(keyOf(*parameter), i);
        }
    }

    ~NameIndex() { giveBack(std::move(storage_)); }
    NameIndex(const NameIndex&) = delete;
    NameIndex& operator=(const NameIndex&) = delete;

    std::string keyOf(const Parameter& parameter) const {
        return lowerCase_ ? lowerName(parameter.getName()) : std::string(parameter.getName().getView());
    }

    // The lowest position of the name that is not erased; kNotFound when none.
    std::uint64_t first(const std::string& key) const {
        const std::size_t slot = find(key, std::hash<std::string>()(key));
        return storage_.slots[slot] == 0 ? ParameterList::kNotFound
                                         : storage_.entries[storage_.slots[slot] - 1].first;
    }

    // A position above every one held so far.
    void add(const std::string& key, std::uint64_t position) {
        if (position >= storage_.next.size()) {
            storage_.next.resize(position + 1, ParameterList::kNotFound);
            storage_.erased.resize(position + 1, false);
        }
        if ((storage_.entries.size() + 1) * 2 > storage_.slots.size()) rehash(storage_.slots.size() * 2);
        const std::size_t hash = std::hash<std::string>()(key);
        const std::size_t slot = find(key, hash);
        if (storage_.slots[slot] == 0) {
            storage_.entries.push_back({key, hash, position, position});
            storage_.slots[slot] = static_cast<std::uint32_t>(storage_.entries.size());
            return;
        }
        Entry& entry = storage_.entries[storage_.slots[slot] - 1];
        if (entry.first == ParameterList::kNotFound)
            entry.first = position;
        else
            storage_.next[entry.last] = position;
        entry.last = position;
    }

    void eraseFirst(const std::string& key) {   // the position first() gave
        Entry& entry = storage_.entries[storage_.slots[find(key, std::hash<std::string>()(key))] - 1];
        storage_.erased[entry.first] = true;
        if (entry.first == entry.last) entry.last = ParameterList::kNotFound;
        entry.first = storage_.next[entry.first];
    }

    bool isErased(std::uint64_t position) const {
        return position < storage_.erased.size() && storage_.erased[position];
    }

private:
    struct Entry {
        std::string key;
        std::size_t hash;
        std::uint64_t first;   // kNotFound when every position of the name was erased
        std::uint64_t last;
    };

    struct Storage {
        std::vector<Entry> entries;
        std::vector<std::uint32_t> slots;   // an entry's number + 1; 0: empty
        std::vector<std::uint64_t> next;    // per position: the next position of its name, or kNotFound
        std::vector<bool> erased;
    };

    // An update builds three indexes. Their blocks are kept for the thread's next update: for long lists
    // they are large enough for the allocator to map fresh pages each time, and faulting those in cost
    // more than the update's own work.
    static constexpr std::size_t kSpareStorages = 3;
    static constexpr std::size_t kLargestKeptEntries = std::size_t{1} << 18;
    static std::vector<Storage>& spares() {
        thread_local std::vector<Storage> kept;
        return kept;
    }
    static Storage takeStorage() {
        std::vector<Storage>& kept = spares();
        if (kept.empty()) return {};
        Storage storage = std::move(kept.back());
        kept.pop_back();
        return storage;
    }
    static void giveBack(Storage&& storage) noexcept {
        std::vector<Storage>& kept = spares();
        if (kept.size() >= kSpareStorages || storage.entries.capacity() > kLargestKeptEntries) return;
        storage.entries.clear();
        storage.next.clear();
        storage.erased.clear();
        try {
            kept.push_back(std::move(storage));
        } catch (...) {   // no room to keep it: it is freed
        }
    }

    static std::size_t capacityFor(std::size_t count) {
        std::size_t capacity = 16;
        while (capacity < count * 2) capacity *= 2;
        return capacity;
    }

    std::size_t find(const std::string& key, std::size_t hash) const {   // the entry's slot, or an empty one
        const std::size_t mask = storage_.slots.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const std::uint32_t held = storage_.slots[slot];
            if (held == 0) return slot;
            const Entry& entry = storage_.entries[held - 1];
            if (entry.hash == hash && entry.key == key) return slot;
        }
    }

    void rehash(std::size_t capacity) {
        storage_.slots.assign(capacity, 0);
        for (std::size_t i = 0; i < storage_.entries.size(); ++i) {
            std::size_t slot = storage_.entries[i].hash & (capacity - 1);
            while (storage_.slots[slot] != 0) slot = (slot + 1) & (capacity - 1);
            storage_.slots[slot] = static_cast<std::uint32_t>(i + 1);
        }
    }

    bool lowerCase_;
    Storage storage_;
};

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
    const String wanted = name.toLower();
    for (std::uint64_t i = 0; i < size(); ++i) {
        const Parameter* parameter = (*parameters_)[i];
        if (parameter != nullptr && parameter->getName().toLower() == wanted) return i;
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
    // 4. Everything.
    if (rows == kAll && columns == kAll) {
        target->copyFrom(*source, resizeRows, resizeColumns);
        return;
    }
    // 5. A count of rows (and of columns); rows the source lacks are cleared, and the source stays as it
    // is (reading a cell never grows it).
    const std::uint64_t rowCount = rows == kAll ? source->getRowCount() : rows;
    const std::uint64_t columnCount = columns == kAll ? source->getColumnCount() : columns;
    for (std::uint64_t r = 0; r < rowCount; ++r) {
        for (std::uint64_t c = 0; c < columnCount && c < source->getColumnCount(); ++c) {
            const std::unique_ptr<Setting> value = source->makeSetting(r, c);
            if (!value) continue;
            if (r >= source->getRowCount()) value->clear();
            target->setCell(*value, r, c);
        }
    }
}

void ParameterList::merge(const ParameterList& other, bool skipSizes, bool resizeRows, bool resizeColumns) {
    const NameIndex table(other, /*lowerCase=*/false);   // 1.
    for (std::uint64_t i = size(); i-- > 0;) {           // 2.
        Parameter* parameter = (*parameters_)[i];
        if (parameter == nullptr) continue;
        if (skipSizes && isSizeName(parameter->getName())) continue;        // 3.
        const std::uint64_t found = table.first(table.keyOf(*parameter));   // 4.
        if (found == kNotFound) continue;
        parameter->copyFrom(*other[found], resizeRows, resizeColumns);   // a refusal keeps ours
    }
}

void ParameterList::update(const ParameterList& newer, const ParameterList& older) {
    // 1. Names are found through tables, so the update grows with the lists, not with their product.
    const NameIndex newTable(newer, /*lowerCase=*/false);
    NameIndex here(*this, /*lowerCase=*/true);
    // 2. What the old definition had: merged, replaced, or erased.
    for (std::uint64_t i = older.size(); i-- > 0;) {
        const Parameter* old = older[i].get();
        if (old == nullptr) continue;
        const std::string key = here.keyOf(*old);
        const std::uint64_t p = here.first(key);
        const std::uint64_t found = newTable.first(newTable.keyOf(*old));
        if (found != kNotFound) {
            const Parameter* fresh = newer[found].get();
            if (fresh == nullptr) continue;
            if (p == kNotFound) {
                here.add(key, size());
                push_back(fresh->clone());
            } else if ((*this)[p]->getType() == fresh->getType()) {
                (*this)[p]->merge(*fresh, *old);
            } else {
                (*this)[p] = fresh->clone();
            }
        } else if (p != kNotFound) {
            here.eraseFirst(key);
        }
    }
    // 3. What only the new definition has. A parameter of that name that this list already holds is kept
    // (its value is the only one known) or, of another type, replaced: never a second one of the name.
    const NameIndex oldTable(older, /*lowerCase=*/false);
    for (std::uint64_t i = newer.size(); i-- > 0;) {
        const Parameter* fresh = newer[i].get();
        if (fresh == nullptr || oldTable.first(oldTable.keyOf(*fresh)) != kNotFound) continue;
        const std::string key = here.keyOf(*fresh);
        const std::uint64_t p = here.first(key);
        if (p == kNotFound) {
            here.add(key, size());
            push_back(fresh->clone());
        } else if ((*this)[p]->getType() != fresh->getType()) {
            (*this)[p] = fresh->clone();
        }
    }
    // The erasures close their gaps last, keeping the order of what stays.
    auto kept = std::make_unique<ParameterVector>();
    kept->reserve(size());
    for (std::uint64_t i = 0; i < size(); ++i)
        if (!here.isErased(i)) kept->push_back(std::move((*this)[i]));
    parameters_ = std::move(kept);
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
        if (create) {
            hostApi().utilities(fourcc("FCLP"), &handle);
            handle = nullptr;
        }
        throw;
    }
    // 4. Only a list this call made is freed: a caller's own list stays the caller's.
    if (!written && create) {
        hostApi().utilities(fourcc("FCLP"), &handle);
        handle = nullptr;
    }
    return written;
}

}   // namespace tarnwick

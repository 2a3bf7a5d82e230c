#include "LibraryParts/ParameterMemo.h"

#include "Foundation/Setting.h"
#include "Project/MemoStore.h"

namespace tarnwick {
namespace {

// Sets a flag for the life of a scope and puts the old value back, also when an exception passes.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};

}   // namespace

ParameterMemo::ParameterMemo(const ParameterMemo& other) : Memo(other), ParameterList(other.list()) {}

ParameterMemo& ParameterMemo::operator=(const ParameterMemo& other) {
    if (this != &other) {
        ParameterList::operator=(other.list());
        Memo::operator=(other);
    }
    return *this;
}

ParameterMemo::~ParameterMemo() = default;

void ParameterMemo::ensureLoaded() const {
    if (isLoaded() || loading_) return;
    const FlagScope loading(loading_);
    const_cast<ParameterMemo*>(this)->loadOnDemand(getPartMask());
}

// --- Memo side -------------------------------------------------------------------------------------
void ParameterMemo::update(Memo& newMemo, Memo& oldMemo) {
    auto* newer = dynamic_cast<ParameterMemo*>(&newMemo);
    auto* older = dynamic_cast<ParameterMemo*>(&oldMemo);
    if (newer == nullptr || older == nullptr) return;
    newer->ensureLoaded();
    older->ensureLoaded();
    update(newer->list(), older->list());
}

bool ParameterMemo::writeParameters(MemoStore& store) {
    ensureLoaded();
    if (ParameterList::size() == 0) return true;
    ParameterList::writeHandle(*store.parameters());
    return store.parameters() != nullptr && *store.parameters() != nullptr;
}

bool ParameterMemo::readParameters(MemoStore& store) {
    const FlagScope loading(loading_);
    setLoaded(false);
    const bool read = ParameterList::readHandle(std::as_const(store).parameters());
    if (read) setLoaded(true);
    return read;
}

std::uint64_t ParameterMemo::getParameterCount() { return size(); }

ParameterList& ParameterMemo::getParameters() {
    ensureLoaded();
    return list();
}

void ParameterMemo::setParameters(const ParameterList& other) {
    ParameterList::operator=(other);
    setLoaded(true);   // what a later load would read must not replace it
}

void ParameterMemo::mergeParameters(ParameterMemo& other, bool skipSizes, bool resizeRows,
                                    bool resizeColumns) {
    merge(other.getParameters(), skipSizes, resizeRows, resizeColumns);
}

void ParameterMemo::mergeParameterList(const ParameterList& other, bool skipSizes, bool resizeRows,
                                       bool resizeColumns) {
    merge(other, skipSizes, resizeRows, resizeColumns);
}

void ParameterMemo::copyParameterFrom(ParameterMemo& other, const String& name, std::uint64_t rows,
                                      std::uint64_t columns) {
    copyParameter(other.getParameters(), name, rows, columns, true, true);
}

void ParameterMemo::resetParameters() { resetAll(); }

bool ParameterMemo::readInto(ParameterList& receiver, MemoStore& store, bool skipSizes, bool resizeRows,
                             bool resizeColumns) {
    resetAll();
    if (!readParameters(store)) return false;
    receiver.merge(list(), skipSizes, resizeRows, resizeColumns);
    return true;
}

bool ParameterMemo::readCopy(ParameterList& receiver, MemoStore& store) {
    resetAll();
    if (!readParameters(store)) return false;
    receiver = list();
    return true;
}

// --- List side: loaded first -----------------------------------------------------------------------
std::uint64_t ParameterMemo::size() const {
    ensureLoaded();
    return ParameterList::size();
}

std::uint64_t ParameterMemo::indexOf(const String& name) const {
    ensureLoaded();
    return ParameterList::indexOf(name);
}

Parameter* ParameterMemo::at(std::uint64_t position) {
    ensureLoaded();
    return ParameterList::at(position);
}

const Parameter* ParameterMemo::at(std::uint64_t position) const {
    ensureLoaded();
    return ParameterList::at(position);
}

Parameter* ParameterMemo::find(const String& name) {
    ensureLoaded();
    return ParameterList::find(name);
}

const Parameter* ParameterMemo::find(const String& name) const {
    ensureLoaded();
    return ParameterList::find(name);
}

Parameter& ParameterMemo::front() const {
    ensureLoaded();
    return ParameterList::front();
}

Parameter& ParameterMemo::back() const {
    ensureLoaded();
    return ParameterList::back();
}

std::unique_ptr<Setting> ParameterMemo::getValue(const String& name, std::uint64_t row,
                                                 std::uint64_t column) {
    ensureLoaded();
    return ParameterList::getValue(name, row, column);
}

void ParameterMemo::erase(std::uint64_t position) {
    ensureLoaded();
    ParameterList::erase(position);
}

void ParameterMemo::clear() {
    ensureLoaded();
    ParameterList::clear();
}

void ParameterMemo::set(std::unique_ptr<Parameter> parameter, std::uint64_t position) {
    ensureLoaded();
    ParameterList::set(std::move(parameter), position);
}

void ParameterMemo::insert(std::unique_ptr<Parameter> parameter, std::uint64_t position) {
    ensureLoaded();
    ParameterList::insert(std::move(parameter), position);
}

void ParameterMemo::push_back(std::unique_ptr<Parameter> parameter) {
    ensureLoaded();
    ParameterList::push_back(std::move(parameter));
}

bool ParameterMemo::setValue(const Setting& value, const String& name, std::uint64_t row,
                             std::uint64_t column) {
    ensureLoaded();
    return ParameterList::setValue(value, name, row, column);
}

void ParameterMemo::copyParameter(const ParameterList& other, const String& name, std::uint64_t rows,
                                  std::uint64_t columns, bool resizeRows, bool resizeColumns) {
    ensureLoaded();
    ParameterList::copyParameter(other, name, rows, columns, resizeRows, resizeColumns);
}

void ParameterMemo::merge(const ParameterList& other, bool skipSizes, bool resizeRows, bool resizeColumns) {
    ensureLoaded();
    ParameterList::merge(other, skipSizes, resizeRows, resizeColumns);
}

void ParameterMemo::resetAll() {
    ensureLoaded();
    ParameterList::resetAll();
}

void ParameterMemo::resetAllValues() { resetAll(); }

void ParameterMemo::update(const ParameterList& newer, const ParameterList& older) {
    ensureLoaded();
    ParameterList::update(newer, older);
}

}   // namespace tarnwick

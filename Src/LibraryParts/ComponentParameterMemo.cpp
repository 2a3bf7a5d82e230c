#include "LibraryParts/ComponentParameterMemo.h"

#include <cstring>

#include <HostTable.h>

#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/LengthParameter.h"
#include "Project/ElementMemoStore.h"
#include "Project/Library.h"

namespace tarnwick {
namespace {

// Closes the host's parameter editing on every way out of writeParameters; close() reports the result.
class EditingScope {
public:
    EditingScope() = default;
    ~EditingScope() {
        if (open_) hostApi().utilities(fourcc("CPAR"));
    }
    EditingScope(const EditingScope&) = delete;
    EditingScope& operator=(const EditingScope&) = delete;
    bool open(host::ParameterOwnerRecord& owner) {
        return open_ = hostApi().utilities(fourcc("OPAR"), &owner) == 0;
    }
    bool close() {
        open_ = false;
        return hostApi().utilities(fourcc("CPAR")) == 0;
    }

private:
    bool open_ = false;
};

Library* libraryOf(const ComponentLink& link) {
    return link.getLibrary() != nullptr ? link.getLibrary() : Host::getLibrary();
}

// The rows (or columns) a link names: one, or every one below the count.
std::uint64_t firstOf(std::uint64_t selector) { return selector == ParameterLink::kAll ? 0 : selector; }
std::uint64_t endOf(std::uint64_t selector, std::uint64_t count) {
    return selector == ParameterLink::kAll ? count : selector + 1;
}

}   // namespace

ComponentParameterMemo::~ComponentParameterMemo() = default;

// --- Memo side -------------------------------------------------------------------------------------
void ComponentParameterMemo::update(Memo& newMemo, Memo& oldMemo) {
    auto* newer = dynamic_cast<ComponentParameterMemo*>(&newMemo);
    auto* older = dynamic_cast<ComponentParameterMemo*>(&oldMemo);
    if (newer != nullptr && older != nullptr) {
        if (!std::equal_to<double>()(newer->defaultDepth_, older->defaultDepth_))
            defaultDepth_ = newer->defaultDepth_;
        if (!std::equal_to<double>()(newer->defaultWidth_, older->defaultWidth_))
            defaultWidth_ = newer->defaultWidth_;
    }
    ParameterMemo::update(newMemo, oldMemo);
}

void ComponentParameterMemo::mergeParameters(ParameterMemo& other, bool skipSizes, bool resizeRows,
                                             bool resizeColumns) {
    ParameterMemo::mergeParameters(other, skipSizes, resizeRows, resizeColumns);
    auto* component = dynamic_cast<ComponentParameterMemo*>(&other);
    if (skipSizes || component == nullptr) return;
    setWidth(component->getWidth());
    setDepth(component->getDepth());
    setHeight(component->getHeight());
}

// --- Defaults and sizes ----------------------------------------------------------------------------
bool ComponentParameterMemo::fetchDefaultSizes(MemoStore& store, bool onlyOnce) {
    if (onlyOnce && defaultsFetched_) return true;
    const ComponentLink link = getComponentLink();
    Library* library = libraryOf(link);
    if (link.getIndex() == 0 || library == nullptr) return false;
    std::int32_t count = -1;   // the host sets it when it answers
    double width = 0.0;
    double depth = 0.0;
    const host::Handle parameters = library->getParameters(link, &count, &width, &depth);
    if (parameters == nullptr && count != 0) return false;   // failed, or records that went missing
    host::Handle* kept = store.parameters();
    if (*kept != nullptr) tarnwick::ParameterList::releaseHandle(*kept);
    *kept = parameters;
    defaultWidth_ = width;
    defaultDepth_ = depth;
    defaultsFetched_ = true;
    return true;
}

std::shared_ptr<const Library::PartDefaults> ComponentParameterMemo::fetchDefaults() {
    const ComponentLink link = getComponentLink();
    Library* library = libraryOf(link);
    if (link.getIndex() == 0 || library == nullptr) return nullptr;
    std::shared_ptr<const Library::PartDefaults> defaults = library->getPartDefaults(link);
    if (!defaults) return nullptr;
    defaultWidth_ = defaults->width;
    defaultDepth_ = defaults->depth;
    defaultsFetched_ = true;
    return defaults;
}

double ComponentParameterMemo::getDefaultWidth() {
    if (!defaultsFetched_) fetchDefaults();
    return defaultsFetched_ ? defaultWidth_ : 0.0;
}

double ComponentParameterMemo::getDefaultDepth() {
    if (!defaultsFetched_) fetchDefaults();
    return defaultsFetched_ ? defaultDepth_ : 0.0;
}

double ComponentParameterMemo::sizeOf(const char* name) {
    const auto* length = dynamic_cast<const LengthParameter*>(getParameters().find(name));
    return length != nullptr && length->holdsCell(0, 0) ? length->get(0, 0) : 0.0;
}

void ComponentParameterMemo::setSize(const char* name, double value) {
    if (auto* length = dynamic_cast<LengthParameter*>(getParameters().find(name)))
        length->setChecked(value, 0, 0);
}

double ComponentParameterMemo::getWidth() { return sizeOf("A"); }
double ComponentParameterMemo::getDepth() { return sizeOf("B"); }
double ComponentParameterMemo::getHeight() { return sizeOf("ZZYZX"); }
void ComponentParameterMemo::setWidth(double width) { setSize("A", width); }
void ComponentParameterMemo::setDepth(double depth) { setSize("B", depth); }
void ComponentParameterMemo::setHeight(double height) { setSize("ZZYZX", height); }

// --- Writing to the host ---------------------------------------------------------------------------
bool ComponentParameterMemo::writeParameter(const ParameterLink& link, bool commit, bool prepare) {
    Vector<ParameterLink> links;
    links.push_back(link.clone());
    return writeParameters(links, commit, prepare);
}

bool ComponentParameterMemo::writeParameters(const Vector<ParameterLink>& links, bool commit, bool prepare) {
    // 1.
    if (links.empty()) return true;
    tarnwick::ParameterList& parameters = getParameters();
    // 2.
    host::ParameterOwnerRecord owner{};
    fillParamOwner(owner, commit);
    if (commit && prepare) prepareWrite();
    // 3. The editing is closed on every way out from here.
    EditingScope editing;
    if (!editing.open(owner)) return false;
    // 4. Every linked cell; a failed one still lets the rest go.
    bool allChanged = true;
    for (const auto& link : links) {
        if (!link) continue;
        Parameter* parameter = !link->getName().isEmpty() ? parameters.find(link->getName())
                               : link->getIndex() == 0    ? nullptr
                                                          : parameters.at(link->getIndex() - 1u);
        if (parameter == nullptr) continue;
        const std::uint64_t rowEnd = endOf(link->getRow(), parameter->getRowCount());
        const std::uint64_t columnEnd = endOf(link->getColumn(), parameter->getColumnCount());
        for (std::uint64_t r = firstOf(link->getRow()); r < rowEnd; ++r) {
            for (std::uint64_t c = firstOf(link->getColumn()); c < columnEnd; ++c) {
                host::ParameterChangeRecord change;
                bool made = false;
                try {
                    made = parameter->toHostChange(change, r, c);
                } catch (const TracedException&) {   // a cell the parameter does not have
                    made = false;
                }
                if (!made || hostApi().utilities(fourcc("CHGP"), &change) != 0) allChanged = false;
            }
        }
    }
    // 5. What the host made of them.
    host::ParameterResultRecord result{};
    if (hostApi().utilities(fourcc("GPAR"), &result) != 0) {
        if (result.parameters != nullptr) tarnwick::ParameterList::releaseHandle(result.parameters);
        return false;
    }
    // 6.
    tarnwick::ParameterList changed;
    const bool read = changed.readHandle(result.parameters);
    tarnwick::ParameterList::releaseHandle(result.parameters);
    if (read) parameters.merge(changed, /*skipSizes=*/false, /*resizeRows=*/true, /*resizeColumns=*/true);
    // 7.
    return editing.close() && allChanged && read;
}

bool ComponentParameterMemo::reloadDefaults(bool forget, bool merge, bool fromDefaults) {
    // 1., 2.
    if (!forget && !merge) return true;
    if (forget) defaultsFetched_ = false;
    // 3.
    if (getComponentLink().getIndex() == 0) return true;   // no part: nothing to take
    const std::shared_ptr<const Library::PartDefaults> defaults = fetchDefaults();
    if (!defaults) return false;
    if (!merge) return true;
    // 4. Unless forget, the sizes are not merged. Defaults that cannot be read leave the parameters.
    if (!defaults->readable) return false;
    const bool skipSizes = !forget;
    tarnwick::ParameterList& parameters = getParameters();
    if (fromDefaults) {
        parameters.merge(defaults->parameters, skipSizes, /*resizeRows=*/true, /*resizeColumns=*/false);
        return true;
    }
    const tarnwick::ParameterList kept(parameters);   // loaded above: the element's own values
    setParameters(defaults->parameters);
    getParameters().merge(kept, skipSizes, /*resizeRows=*/true, /*resizeColumns=*/false);
    return true;
}

}   // namespace tarnwick

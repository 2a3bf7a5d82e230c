#include "Elements/GableMemo.h"

#include <cstring>

#include "Foundation/Memory.h"
#include "Foundation/TracedException.h"
#include "Project/MemoStore.h"

namespace tarnwick {

GableMemo::GableMemo() : gables_(std::make_unique<GableList>()) {}

GableMemo::GableMemo(const GableMemo& other)
    : Memo(other),
      gables_(other.gables_ ? other.gables_->clone() : std::make_unique<GableList>()),
      hadGables_(other.hadGables_) {}

GableMemo& GableMemo::operator=(const GableMemo& other) {
    if (this == &other) return *this;
    Memo::operator=(other);
    gables_ = other.gables_ ? other.gables_->clone() : std::make_unique<GableList>();
    hadGables_ = other.hadGables_;
    return *this;
}

GableMemo::~GableMemo() = default;

void GableMemo::update(Memo&, Memo&) {}
bool GableMemo::isValid() const { return true; }
std::uint64_t GableMemo::getMemoKind() const { return kMemoKind; }

bool GableMemo::read(MemoStore& store) {
    setLoaded(false);
    const host::Handle handle = static_cast<const MemoStore&>(store).gables();
    if (!gables_) gables_ = std::make_unique<GableList>();
    gables_->clear();
    const std::size_t count = tarnwick::getHandleSize(handle) / Gable::kRecordSize;
    if (count > 0) {
        tarnwick::lockHandle(handle);
        const auto* bytes = reinterpret_cast<const unsigned char*>(*handle);
        gables_->reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            gables_->push_back(std::make_unique<Gable>(bytes + i * Gable::kRecordSize));
        tarnwick::unlockHandle(handle);
    }
    hadGables_ = count > 0;
    setLoaded(true);   // no handle is an empty list, loaded all the same
    return true;
}

bool GableMemo::write(MemoStore& store) {
    if (!ready()) return false;
    if (gables_->empty() && !hadGables_) return true;   // nothing to say to the host
    host::Handle handle = tarnwick::allocateHandle(gables_->size() * Gable::kRecordSize);
    auto* bytes = reinterpret_cast<unsigned char*>(*handle);
    for (std::size_t i = 0; i < gables_->size(); ++i)
        if (const Gable* gable = (*gables_)[i].get())
            std::memcpy(bytes + i * Gable::kRecordSize, gable->getRecord().data(), Gable::kRecordSize);
    host::Handle* target = store.gables();
    tarnwick::disposeHandle(*target);   // a handle the store already held is replaced, not leaked
    *target = handle;
    return *target != nullptr;
}

std::size_t GableMemo::getCount() { return ready() ? gables_->size() : 0; }

Gable* GableMemo::getGable(std::size_t index) {
    if (!ready()) return nullptr;
    if (index >= gables_->size()) throw TracedException("out_of_range", "GableMemo::getGable");
    return (*gables_)[index].get();
}

void GableMemo::deleteGable(std::size_t index) {
    if (!ready()) return;
    if (index == gables_->size()) return;
    if (index > gables_->size()) throw TracedException("out_of_range", "GableMemo::deleteGable");
    gables_->erase(gables_->begin() + static_cast<std::ptrdiff_t>(index));
}

void GableMemo::setGable(std::unique_ptr<Gable> gable, std::size_t index) {
    if (!ready()) return;
    if (index < gables_->size())
        (*gables_)[index] = std::move(gable);
    else
        gables_->push_back(std::move(gable));
}

void GableMemo::insertGable(std::unique_ptr<Gable> gable, std::size_t index) {
    if (!ready()) return;
    if (index < gables_->size())
        gables_->insert(gables_->begin() + static_cast<std::ptrdiff_t>(index), std::move(gable));
    else
        gables_->push_back(std::move(gable));
}

void GableMemo::addGable(std::unique_ptr<Gable> gable) {
    if (!ready()) return;
    gables_->push_back(std::move(gable));
}

void GableMemo::clearValues() {
    if (!ready()) return;
    for (auto& gable : *gables_)
        if (gable) gable->getRecord().fill(0);
}

}   // namespace tarnwick

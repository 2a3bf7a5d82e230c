#include "Elements/ConstructionMemo.h"

#include <cstring>

#include "Foundation/Memory.h"
#include "Project/MemoStore.h"

namespace tarnwick {

namespace {

template <typename T>
std::unique_ptr<std::vector<std::unique_ptr<T>>> deepCopy(
    const std::unique_ptr<std::vector<std::unique_ptr<T>>>& list) {
    if (!list) return nullptr;
    auto copy = std::make_unique<std::vector<std::unique_ptr<T>>>();
    copy->reserve(list->size());
    for (const auto& item : *list) copy->push_back(std::make_unique<T>(*item));
    return copy;
}

// A handle of the records, the store's old one released first.
template <typename Record, typename Item>
void writeHandle(host::Handle* handle, const std::vector<const Item*>& items) {
    if (*handle != nullptr) tarnwick::disposeHandle(*handle);
    *handle = nullptr;
    *handle = tarnwick::allocateHandle(items.size() * sizeof(Record));
    for (std::size_t i = 0; i < items.size(); ++i)
        std::memcpy(**handle + i * sizeof(Record), &items[i]->getRecord(), sizeof(Record));
}

}   // namespace

ConstructionMemo::ConstructionMemo() = default;

ConstructionMemo::ConstructionMemo(const ConstructionMemo& other)
    : Memo(other), cores_(deepCopy(other.cores_)), edges_(deepCopy(other.edges_)) {}

ConstructionMemo& ConstructionMemo::operator=(const ConstructionMemo& other) {
    if (this == &other) return *this;
    Memo::operator=(other);
    cores_ = deepCopy(other.cores_);
    edges_ = deepCopy(other.edges_);
    return *this;
}

ConstructionMemo::~ConstructionMemo() = default;

bool ConstructionMemo::read(MemoStore& store) {
    const MemoStore& source = store;
    // 1.
    cores_.reset();
    const host::Handle skins = source.cwall_compItems();
    const std::size_t count = tarnwick::getHandleSize(skins) / sizeof(host::CompositeSkin);
    // 2.
    edges_.reset();
    const host::Handle lines = source.cwall_compLItems();
    if (count == 0 || tarnwick::getHandleSize(lines) != (count + 1) * sizeof(host::CompositeLine))
        return false;
    // 3. Line i, skin i, ..., then the last line.
    auto cores = std::make_unique<CoreList>();
    auto edges = std::make_unique<EdgeList>();
    for (std::size_t i = 0; i <= count; ++i) {
        host::CompositeLine line;
        std::memcpy(&line, *lines + i * sizeof line, sizeof line);
        edges->push_back(std::make_unique<Edge>(line));
        if (i == count) break;
        host::CompositeSkin skin;
        std::memcpy(&skin, *skins + i * sizeof skin, sizeof skin);
        cores->push_back(std::make_unique<Core>(skin));
    }
    cores_ = std::move(cores);
    edges_ = std::move(edges);
    setLoaded(true);
    return true;
}

bool ConstructionMemo::write(MemoStore& store) {
    ensureLoaded();
    if (!hasLists()) return false;
    std::vector<const Core*> cores;
    for (const auto& core : *cores_) cores.push_back(core.get());
    std::vector<const Edge*> edges;
    for (const auto& edge : *edges_) edges.push_back(edge.get());
    writeHandle<host::CompositeSkin>(store.cwall_compItems(), cores);
    writeHandle<host::CompositeLine>(store.cwall_compLItems(), edges);
    return true;
}

std::size_t ConstructionMemo::getCoreCount() {
    ensureLoaded();
    return cores_ ? cores_->size() : 0;
}

const ConstructionMemo::Core* ConstructionMemo::getCore(std::size_t index) {
    ensureLoaded();
    return cores_ && index < cores_->size() ? (*cores_)[index].get() : nullptr;
}

std::size_t ConstructionMemo::getEdgeCount() {
    ensureLoaded();
    return edges_ ? edges_->size() : 0;
}

const ConstructionMemo::Edge* ConstructionMemo::getEdge(std::size_t index) {
    ensureLoaded();
    return edges_ && index < edges_->size() ? (*edges_)[index].get() : nullptr;
}

void ConstructionMemo::setCore(std::unique_ptr<Core> core, std::size_t index) {
    ensureLoaded();
    if (!cores_ || index >= cores_->size() || !core) return;
    (*cores_)[index] = std::move(core);
}

}   // namespace tarnwick

#include "Project/EditManager.h"

#include <algorithm>
#include <map>
#include <vector>

#include "Elements/Element.h"
#include "Environment/Host.h"
#include "Project/AttrRefList.h"
#include "Project/AttributeIterator.h"
#include "Project/Drawing.h"
#include "Project/ElementLinkList.h"
#include "Project/Layer.h"
#include "Project/Project.h"
#include "Project/Specification.h"
#include "Project/User.h"

namespace tarnwick {
namespace {

constexpr std::size_t kListRoom = 50;
constexpr std::int16_t kNoLayer = 32767;   // ElementLink::getLayerIndex: the head could not be read

// 'LOCK' or 'ULCK' in the Drawing that holds the links; the Drawing makes itself current for it, so the
// user's current database is made current again afterwards.
bool lockInDrawing(Project& project, Drawing& drawing, const ElementLinkList& links, bool lock) {
    Database* current = project.getCurrentDatabase();
    const bool done = lock ? drawing.lockElements(links) : drawing.unlockElements(links);
    if (current != nullptr && current != &drawing) project.setCurrentDatabase(current);
    return done;
}

template <typename List>
List& made(std::unique_ptr<List>& list) {
    if (!list) list = std::make_unique<List>();
    return *list;
}

ElementLinkList& madeLinks(std::unique_ptr<ElementLinkList>& list) {
    if (!list) list = std::make_unique<ElementLinkList>(kListRoom);
    return *list;
}

// Appends the link to the list and a fresh mark beside it, both or neither. The mark goes first, so
// that the vector keeps its doubling growth instead of reserving one more entry each time.
template <typename List, typename Link>
void remember(List& list, std::vector<std::shared_ptr<bool>>& marks, const Link& link) {
    marks.push_back(std::make_shared<bool>(false));
    try {
        list.append(link);
    } catch (...) {
        marks.pop_back();
        throw;
    }
}

}   // namespace

EditManager::EditManager(bool teamwork, bool allowOtherDatabases)
    : allowOtherDatabases_(allowOtherDatabases) {
    Project* project = Host::getProject();
    if (project == nullptr) return;
    if (auto* drawing = dynamic_cast<Drawing*>(project->getCurrentDatabase()))
        rememberedDatabase_ = drawing->getId();
    teamwork_ = teamwork && project->isShared() && project->isTeamworkConnected();
}

EditManager::EditManager(const EditManager& other)
    : unlockedLayers_(other.unlockedLayers_ ? other.unlockedLayers_->clone() : nullptr),
      shownLayers_(other.shownLayers_ ? other.shownLayers_->clone() : nullptr),
      unlockedElements_(other.unlockedElements_ ? other.unlockedElements_->clone() : nullptr),
      unlockedLayersPutBack_(other.unlockedLayersPutBack_),
      shownLayersPutBack_(other.shownLayersPutBack_),
      unlockedElementsPutBack_(other.unlockedElementsPutBack_),
      rememberedDatabase_(other.rememberedDatabase_),
      teamwork_(other.teamwork_),
      allowOtherDatabases_(other.allowOtherDatabases_) {}

EditManager::~EditManager() {
    try {
        restore(/*reactivateDatabase=*/false);
    } catch (...) {   // a destructor must not throw; what could not be undone stays as it is
    }
}

// --- Making an element editable ------------------------------------------------------------------------
bool EditManager::prepare(Element& element, bool rememberLayers, bool rememberUnlocked,
                          bool rememberReserved) {
    // 1. A project to edit.
    Project* project = Host::getProject();
    if (project == nullptr) return false;
    // 2. Part of another element: the host edits it through that one.
    if (element.getSecondGuid().isValid()) return false;
    // 3. A layer the host would not give us cannot be judged: its reset record would say it is neither
    // hidden nor locked, and the element would pass as editable on a layer we know nothing of.
    std::unique_ptr<Layer> uncached;
    Layer& layer = layerOf(element, *project, uncached);
    if (layer.isLoadFailed()) return false;
    // Editable already: nothing to change.
    if (element.isEditable(layer)) return true;
    // 4. Layers are changed through the Specification.
    Specification* specification = project->getSpecification();
    if (specification == nullptr) return false;
    bool editable = true;
    // 5. Unlock its layer.
    if (layer.isLocked()) {
        layer.setLocked(false);
        if (specification->write(layer)) {
            if (rememberLayers) remember(made(unlockedLayers_), unlockedLayersPutBack_, layer.getLink());
        } else {
            layer.setLocked(true);   // as the host still has it
            editable = false;
        }
    }
    // 6. Show its layer.
    if (!showLayer(layer, rememberLayers)) editable = false;
    // 7. In a shared project the element must be this member's. When it cannot be reserved, the layer
    // changes stay remembered: they are put back with the others.
    if (teamwork_) {
        const User* user = Host::getUser();
        if (user == nullptr) return false;   // whose it is cannot be told
        if (element.getOwnerId() != user->getMemberId()) {
            ElementLinkList one(1);
            one.append(element.getLink());
            if (!project->reserveElements(one)) return false;
            if (rememberReserved) madeLinks(reservedElements_).append(element.getLink());
            element.setOwnerId(user->getMemberId());
        }
    }
    // 8. Unlock the element, in the current database (or any, when allowed).
    Drawing* drawing = element.getDrawing();
    if (element.isLocked() && drawing != nullptr) {
        if (!allowOtherDatabases_ && drawing != project->getCurrentDatabase()) return false;   // stays locked
        ElementLinkList one(1);
        one.append(element.getLink());
        if (lockInDrawing(*project, *drawing, one, /*lock=*/false)) {
            element.setLocked(false);
            if (rememberUnlocked)
                remember(madeLinks(unlockedElements_), unlockedElementsPutBack_, element.getLink());
        } else {
            editable = false;
        }
    }
    return editable;
}

Layer& EditManager::layerOf(const Element& element, Project& project, std::unique_ptr<Layer>& uncached) {
    const std::uint64_t epoch = project.getAnswerEpoch();
    if (epoch != layersEpoch_) {
        layers_.clear();
        layersEpoch_ = epoch;
    }
    const std::int16_t index = element.getTypeRecord().layer;
    if (epoch != 0)
        if (const auto found = layers_.find(index); found != layers_.end()) return *found->second;
    auto layer = std::make_unique<Layer>(element.getLayer());
    static_cast<void>(layer->getFlags());   // loads the record
    if (epoch == 0 || layer->isLoadFailed()) {
        uncached = std::move(layer);
        return *uncached;
    }
    return *layers_.emplace(index, std::move(layer)).first->second;
}

void EditManager::forgetLayers() {
    layers_.clear();
    layersEpoch_ = 0;
}

bool EditManager::showLayer(Layer& layer, bool rememberLayers) {
    if (!layer.isHidden()) return true;
    Specification* specification = Host::getSpecification();
    if (specification == nullptr) return false;
    layer.setHidden(false);
    if (!specification->write(layer)) {
        layer.setHidden(true);   // as the host still has it
        return false;
    }
    if (rememberLayers) remember(made(shownLayers_), shownLayersPutBack_, layer.getLink());
    return true;
}

// --- Putting things back -------------------------------------------------------------------------------
bool EditManager::relockElements() {
    if (!unlockedElements_) return true;
    Project* project = Host::getProject();
    if (project == nullptr) return false;
    // Each element goes back in its own Drawing; those the host refuses stay listed. One that a copy of
    // this manager locked already is passed over.
    std::map<Drawing*, std::vector<std::size_t>> byDrawing;
    std::vector<std::size_t> left;
    for (std::size_t i = 0; i < unlockedElements_->size(); ++i) {
        const ElementLink* link = (*unlockedElements_)[i];
        if (link == nullptr || *unlockedElementsPutBack_[i]) continue;
        if (Drawing* drawing = link->getDrawing())
            byDrawing[drawing].push_back(i);
        else
            left.push_back(i);
    }
    for (const auto& [drawing, entries] : byDrawing) {
        ElementLinkList links(entries.size());
        for (const std::size_t i : entries) links.append(*(*unlockedElements_)[i]);
        if (lockInDrawing(*project, *drawing, links, /*lock=*/true)) {
            for (const std::size_t i : entries) *unlockedElementsPutBack_[i] = true;
        } else {
            left.insert(left.end(), entries.begin(), entries.end());
        }
    }
    std::sort(left.begin(), left.end());   // in the order they were unlocked
    auto kept = std::make_unique<ElementLinkList>(kListRoom);
    PutBack keptMarks;
    keptMarks.reserve(left.size());
    for (const std::size_t i : left) {
        kept->append(*(*unlockedElements_)[i]);
        keptMarks.push_back(unlockedElementsPutBack_[i]);
    }
    unlockedElements_ = left.empty() ? nullptr : std::move(kept);
    unlockedElementsPutBack_ = std::move(keptMarks);
    return unlockedElements_ == nullptr;
}

bool EditManager::restoreLayers() {
    if (!unlockedLayers_ && !shownLayers_) return true;
    forgetLayers();
    Specification* specification = Host::getSpecification();
    if (specification == nullptr) return false;   // both lists stay
    bool all = true;
    // Each layer still there is written back as the walk leaves it. The walk steps over a layer the host
    // would not give: that one stays unlocked (or shown), which is a failure all the same. One that a
    // copy of this manager put back already is passed over.
    const auto putBack = [&](const AttrRefList* links, const PutBack& marks, bool locked) {
        if (links == nullptr) return;
        AttrRefList pending;
        for (std::size_t i = 0; i < links->size(); ++i)
            if ((*links)[i] != nullptr && !*marks[i]) pending.append(*(*links)[i]);
        for (const auto& mark : marks) *mark = true;   // this manager's to put back now, nobody else's
        if (pending.empty()) return;
        const Specification::Filter layers(AttributeType::layer, /*countCache=*/false);
        std::size_t visited = 0;
        auto it = Specification::begin(pending, layers, /*writeBack=*/true);
        for (; it != Specification::end(); ++it, ++visited) {
            auto* layer = dynamic_cast<Layer*>(&*it);
            if (layer == nullptr) continue;   // a creator of another class: nothing to put back
            if (locked)
                layer->setLocked(true);
            else
                layer->setHidden(true);
        }
        all = it.getFailedWrites() == 0 && visited == pending.size() && all;
    };
    putBack(unlockedLayers_.get(), unlockedLayersPutBack_, /*locked=*/true);
    putBack(shownLayers_.get(), shownLayersPutBack_, /*locked=*/false);
    unlockedLayers_.reset();
    shownLayers_.reset();
    unlockedLayersPutBack_.clear();
    shownLayersPutBack_.clear();
    return all;
}

void EditManager::reactivate() {
    if (!rememberedDatabase_.isValid()) return;
    Project* project = Host::getProject();
    if (project == nullptr) return;
    Database* database = project->getDatabase(rememberedDatabase_);
    if (database == nullptr) return;   // gone since
    Host::setCurrentWindow(database);
    Host::setCurrentDatabase(database);
}

bool EditManager::releaseElements() {
    if (!reservedElements_) return true;
    Project* project = Host::getProject();
    const bool released = project == nullptr || project->releaseElements(*reservedElements_);
    reservedElements_.reset();
    return released;
}

void EditManager::restore(bool reactivateDatabase) {
    relockElements();
    restoreLayers();
    if (reactivateDatabase) reactivate();
    releaseElements();
}

// --- Showing element layers ------------------------------------------------------------------------------
bool EditManager::showElementLayer(const ElementLink& link) {
    const std::int16_t index = link.getLayerIndex().first;
    if (index == kNoLayer) return false;
    Specification* specification = Host::getSpecification();
    if (specification == nullptr) return false;
    Layer layer(AttributeLink(index, AttributeType::layer, specification));
    if (!layer.isHidden()) return true;
    layer.setHidden(false);
    forgetLayers();
    return specification->write(layer);
}

std::size_t EditManager::showElementLayers(const ElementLinkList& links) {
    std::size_t failed = 0;
    for (const auto& link : links)
        if (!link || !showElementLayer(*link)) ++failed;
    return failed;
}

}   // namespace tarnwick

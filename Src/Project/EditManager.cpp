#include "Project/EditManager.h"

#include <map>

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
            if (rememberLayers) made(unlockedLayers_).append(layer.getLink());
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
            if (rememberUnlocked) madeLinks(unlockedElements_).append(element.getLink());
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
    if (rememberLayers) made(shownLayers_).append(layer.getLink());
    return true;
}

// --- Putting things back -------------------------------------------------------------------------------
bool EditManager::relockElements() {
    if (!unlockedElements_) return true;
    Project* project = Host::getProject();
    if (project == nullptr) return false;
    // Each element goes back in its own Drawing; those the host refuses stay listed.
    std::map<Drawing*, ElementLinkList> byDrawing;
    auto left = std::make_unique<ElementLinkList>(kListRoom);
    for (const auto& link : *unlockedElements_) {
        if (!link) continue;
        if (Drawing* drawing = link->getDrawing())
            byDrawing[drawing].append(*link);
        else
            left->append(*link);
    }
    for (auto& [drawing, links] : byDrawing)
        if (!lockInDrawing(*project, *drawing, links, /*lock=*/true)) left->appendCopies(links);
    unlockedElements_ = left->empty() ? nullptr : std::move(left);
    return unlockedElements_ == nullptr;
}

bool EditManager::restoreLayers() {
    if (!unlockedLayers_ && !shownLayers_) return true;
    forgetLayers();
    Specification* specification = Host::getSpecification();
    if (specification == nullptr) return false;   // both lists stay
    bool all = true;
    // Each layer still there is written back as the walk leaves it. The walk steps over a layer the host
    // would not give: that one stays unlocked (or shown), which is a failure all the same.
    const auto putBack = [&](const AttrRefList* links, bool locked) {
        if (links == nullptr) return;
        const Specification::Filter layers(AttributeType::layer, /*countCache=*/false);
        std::size_t visited = 0;
        auto it = Specification::begin(*links, layers, /*writeBack=*/true);
        for (; it != Specification::end(); ++it, ++visited) {
            auto* layer = dynamic_cast<Layer*>(&*it);
            if (layer == nullptr) continue;   // a creator of another class: nothing to put back
            if (locked)
                layer->setLocked(true);
            else
                layer->setHidden(true);
        }
        all = it.getFailedWrites() == 0 && visited == links->size() && all;
    };
    putBack(unlockedLayers_.get(), /*locked=*/true);
    putBack(shownLayers_.get(), /*locked=*/false);
    unlockedLayers_.reset();
    shownLayers_.reset();
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

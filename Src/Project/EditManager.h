// EditManager: an editing scope over host elements. Before the add-on changes an element it makes the
// element editable (its layer shown and unlocked, the element reserved in a shared project and
// unlocked) and remembers each change, so that afterwards it can put everything back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "Project/LinkRecord.h"

namespace tarnwick {

class AttrRefList;
class Element;
class ElementLink;
class ElementLinkList;
class Layer;
class Project;

// Each Transaction owns one; other runs make their own. Copies take the layer lists, the unlocked
// elements, the remembered database and both flags, but no reservations (giving them back twice would
// fail). A change a copy shares with its original is put back by whichever of them comes first; the
// other passes over it, so a layer shown or an element unlocked again since is not undone by mistake.
// Host failures never throw here; allocation failures do.
//
// The database current at construction is remembered by its id, not by pointer: the project's views
// are deleted and made again when the project is cleared, and a kept pointer would then dangle.
class EditManager {
public:
    // teamwork: reserve elements held by other members (only in a shared, connected project).
    // allowOtherDatabases: unlock locked elements also when they lie outside the current database.
    EditManager(bool teamwork, bool allowOtherDatabases);
    EditManager(const EditManager& other);
    EditManager& operator=(const EditManager&) = delete;
    // Does what restore(false) does with whatever is still remembered, so that a scope left early (an
    // exception) leaves no layer shown or unlocked, no element unlocked and no reservation held. After
    // a restore there is nothing left to do.
    virtual ~EditManager();

    // Makes the element editable: its layer unlocked and shown, then (in a shared project) the element
    // reserved, then the element unlocked. True only when it is (now) editable. False without a project
    // or a Specification, for an element that is part of another one (second identifier), when its layer
    // cannot be read, shown or unlocked, when another member holds it and it cannot be reserved or the
    // current member is not known, and when it stays locked (outside the current database without
    // allowOtherDatabases, or refused by the host). What was changed is remembered as asked, also when
    // one of the steps after it fails.
    bool prepare(Element& element, bool rememberLayers, bool rememberUnlocked, bool rememberReserved);
    // Shows a hidden layer (written back); remembered when asked. True when it was not hidden or the
    // write succeeded; false without a Specification or when the write fails.
    bool showLayer(Layer& layer, bool rememberLayers);

    // Locks the unlocked elements again, each in its own Drawing. Those the host refused stay listed for
    // a later try. True when nothing is left to relock.
    bool relockElements();
    // Locks the unlocked layers and hides the shown layers again (each still a layer, written back) and
    // forgets both lists. Without a Specification both lists stay. True when every write succeeded: the
    // writes need the host's undo step, so call it inside the step that made the changes.
    bool restoreLayers();
    void reactivate();   // the remembered database becomes the current window and the current database
    // Gives the reservations back and forgets them (also without a project). True when the host took them.
    bool releaseElements();
    // For runs outside a transaction: relock, restore the layers, reactivate when asked, release.
    void restore(bool reactivateDatabase);

    // Shows the layer of the element (by its head); false when the head cannot be read or the write
    // fails. Nothing is remembered.
    bool showElementLayer(const ElementLink& link);
    std::size_t showElementLayers(const ElementLinkList& links);   // how many failed

    // What is remembered (null when nothing is).
    const AttrRefList* getUnlockedLayers() const { return unlockedLayers_.get(); }
    const AttrRefList* getShownLayers() const { return shownLayers_.get(); }
    const ElementLinkList* getUnlockedElements() const { return unlockedElements_.get(); }
    const ElementLinkList* getReservedElements() const { return reservedElements_.get(); }
    bool isTeamwork() const { return teamwork_; }

private:
    // The element's layer, read once per layer while the project keeps the host's answers (only the
    // add-on changes layers meanwhile, and what this manager writes it writes into the kept layer).
    // A layer that could not be read is not kept.
    Layer& layerOf(const Element& element, Project& project, std::unique_ptr<Layer>& uncached);
    void forgetLayers();   // the layers are written back by other means

    // One for each entry of a list, shared with the copies: set once the change is put back.
    using PutBack = std::vector<std::shared_ptr<bool>>;

    std::unique_ptr<AttrRefList> unlockedLayers_;
    std::unique_ptr<AttrRefList> shownLayers_;
    std::unique_ptr<ElementLinkList> unlockedElements_;   // made with room for 50
    std::unique_ptr<ElementLinkList> reservedElements_;   // made with room for 50
    PutBack unlockedLayersPutBack_;
    PutBack shownLayersPutBack_;
    PutBack unlockedElementsPutBack_;
    LinkRecord rememberedDatabase_;   // kind 0: none
    bool teamwork_ = false;
    bool allowOtherDatabases_ = false;
    std::map<std::int16_t, std::unique_ptr<Layer>> layers_;   // see layerOf
    std::uint64_t layersEpoch_ = 0;                           // the answers' epoch they were read in
};

}   // namespace tarnwick

// Drawing: the add-on's object for one host database that holds placed elements (the floor plan, the 3D
// window and every view). All element work goes through a Drawing: reading and writing elements, walking
// them through a Filter, the host selection, highlighting, the database's texts and the view commands.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <HostRecords.h>

#include "Foundation/Guid.h"
#include "Foundation/String.h"
#include "Geometry/CadPoint.h"
#include "Project/CreatorList.h"
#include "Project/Database.h"
#include "Project/ElementIterator.h"
#include "Project/ElementLink.h"
#include "Project/LinkRecord.h"

namespace tarnwick {

class AttributeLink;
class Colour;
class Cube;
class CutPlane;
class Element;
class ElementLinkList;
class ElementListMaker;
class ElementMemoStore;
class Layer;
class MemoryBlock;
class Project;
class Storey;
class Transformation;

// Owned by its Project; not copyable. Every host operation first makes this Drawing the host's current
// database and gives up at once (false, null or 0) when that fails; the code of the last host call is
// kept (getLastHostResult). Nothing is thrown but allocation failures and the iterator's errors.
class Drawing : public Database {
public:
    // Selects elements for a walk or a count: host-side filter flags, element types, the renovation
    // filter, and the add-on's own conditions. Copy freely; kinds override clone and accepts.
    class Filter {
    public:
        // Host flags, one element type (0: every type), selected only, flag byte 1, with user data only.
        Filter(std::uint32_t hostFlags, std::uint16_t typeId, bool selectedOnly, std::uint8_t flagByte1,
               bool withUserDataOnly);
        Filter(std::uint16_t typeId, bool selectedOnly, std::uint8_t flagByte1, bool withUserDataOnly);
        Filter(bool selectedOnly, bool withUserDataOnly);   // every type, no host flags, flag byte 1 = 0
        Filter(const Filter&) = default;
        Filter& operator=(const Filter&) = default;

        virtual ~Filter();
        virtual std::unique_ptr<Filter> clone() const;
        virtual bool accepts(Element& element) const;   // after the host-side tests; every element here

        // Type 0 empties the list (every type passes); a type that already matches an entry is not added.
        void addType(std::uint16_t typeId);
        std::uint16_t typeAt(std::size_t index) const;   // type 0 past the end
        bool hasType(std::uint16_t typeId) const;        // false for an empty list
        std::size_t getTypeCount() const { return types_.size(); }

        std::uint32_t getHostFlags() const { return hostFlags_; }
        const Guid& getRenovationFilter() const { return renovationFilter_; }
        void setRenovationFilter(const Guid& guid) { renovationFilter_ = guid; }
        std::uint8_t getFlagByte1() const { return flagByte1_; }
        bool isSelectedOnly() const { return selectedOnly_; }
        bool isWithUserDataOnly() const { return withUserDataOnly_; }
        // In views that show section elements, take them as the model elements they show.
        bool resolvesSectionElements() const { return resolveSectionElements_; }
        void setResolveSectionElements(bool on) { resolveSectionElements_ = on; }

    private:
        std::uint32_t hostFlags_ = 0;        // passed to the host's list and filter calls unchanged
        std::vector<std::uint16_t> types_;   // empty: every type
        Guid renovationFilter_;              // used only with the host flag 0x400
        std::uint8_t flagByte1_ = 0;         // carried and copied
        bool selectedOnly_ = false;
        bool withUserDataOnly_ = false;
        bool resolveSectionElements_ = true;
        // The walk's own copy: its links are the host's list under these flags, and the walk only reads,
        // so an element met there is not asked about the flags again.
        bool listedByHost_ = false;
        friend class Drawing;
    };

    using iterator = ElementIterator<Drawing, Element, ElementLink, Filter, ElementLinkList>;
    using reverse_iterator = ReverseElementIterator<Drawing, Element, ElementLink, Filter, ElementLinkList>;
    using const_iterator = ConstElementIterator<Drawing, Element, ElementLink, Filter, ElementLinkList>;

    static constexpr std::uint32_t kRenovationFlag = host::kFilterRenovation;

    Drawing(Project& project, const Guid& databaseGuid);
    ~Drawing() override;

    // --- Virtual operations, in the order of the interface -------------------------------------------
    void clear() override;   // drops the selection
    // The element of the link, owned by the caller: read again from the host by guid and made by the
    // creators; null when nothing can be made.
    virtual std::unique_ptr<Element> getElement(const ElementLink& link);
    virtual LinkRecord getId() const;   // (database type, guid, index 0)
    virtual String getName();           // the host's texts of the database; empty on failure
    virtual String getReference();
    virtual String getTitle();
    virtual std::int32_t getDatabaseType() const = 0;
    virtual std::int32_t getNavigatorType() const = 0;
    virtual Guid getGuid() const;
    virtual bool setReference(const String& text);   // false when 'GDBI' or 'MDAT' fails

    std::uint32_t getLastHostResult() const { return lastHostResult_; }
    bool makeCurrent();   // the host's current database becomes this one

    // What the host failed to give to the lists and walks made here, counted since the Drawing was made:
    // a caller compares the counts before and after a walk to tell a short walk from a failed one.
    struct ReadFaults {
        std::size_t lists = 0;      // lists of elements, each lacking an unknown number of them
        std::size_t elements = 0;   // listed elements whose head or record could not be read
    };
    const ReadFaults& getReadFaults() const { return readFaults_; }

    // --- Selection ----------------------------------------------------------------------------------
    // Loads the host selection once (until a change made here or clear). False when nothing is selected
    // or the host fails (a walk of the selection counts that among the read faults); asked again next
    // time.
    bool loadSelection();
    ElementLinkList* getSelection();   // owned by the Drawing; null when nothing is selected
    bool isMarqueeSelection() const { return marquee_; }
    // The last selected element (type 0) or the last selected one of the type; owned by the caller.
    std::unique_ptr<Element> getSelectedElement(std::uint16_t typeId, bool keepSectionElements);
    // The host is given the parts of the links. A cut plane gives a link of a model element it shows as
    // the section element showing it; any other Drawing gives the element itself, so that a link found by
    // walking a section selects its model element in the plan. addToSelection of a list and deselect of
    // one link give a link marked with a section element as that section element everywhere.
    // Makes the list the host selection; the cached selection is the list when the host took it.
    bool select(const ElementLinkList& links);
    bool select(ElementListMaker& maker);   // an empty or missing list deselects all
    bool deselectAll();
    bool addToSelection(const ElementLinkList& links);
    bool addToSelection(const ElementLink& link);
    bool addToSelection(ElementListMaker& maker);
    bool deselect(const ElementLinkList& links);
    bool deselect(const ElementLink& link);
    bool deselect(ElementListMaker& maker);
    bool setSelected(const ElementLink& link, bool on);   // by the element's head

    // --- Highlighting -------------------------------------------------------------------------------
    // Clears a highlight shown by this Drawing, then shows the list's elements (each once; links without
    // a guid are left out) in the colour. True for an empty list; false when the host refuses.
    bool highlightElements(const ElementLinkList& links, const Colour& colour, bool wireframe);
    void clearHighlight();   // the highlight flag goes off whatever the host says
    bool isHighlighted() const { return highlighted_; }

    // --- Texts and names ----------------------------------------------------------------------------
    bool setName(const String& text);   // at most 256 characters; false when 'GDBI' or 'MDAT' fails

    // --- View commands ------------------------------------------------------------------------------
    void zoom(const Cube& box);                                // 'ZOOM' to the box's plan extent
    void zoomBack();                                           // 'DOOM'
    std::unique_ptr<Cube> getZoom(bool wholeExtent);           // 'GZOM' or 'GEX2'; null on failure
    double getScale();                                         // 'GSCL'; 0.0 on failure
    std::uint32_t setScale(double scale, std::uint8_t flag);   // 'CDRS'; the host's result
    void redraw();                                             // 'DRDB'
    void rebuild();                                            // 'RBDB'
    void regenerate(std::uint8_t flag);                        // 'RBLD'
    bool drawElements(const ElementLinkList& links);           // 'DRWE' per link; true when all succeeded
    // Model metres per host pixel of the current window ('PTOC' of two pixels 100 apart); 0.0 on failure.
    double getPixelSize();
    // The model point under the mouse in this Drawing's window (the window titled with its name, else the
    // host's main window), z 0. The origin when a step fails, or when the window's screen pixels and the
    // host's pixels of the zoom box cannot be matched.
    CadPoint getMousePoint();

    // --- Element creators ---------------------------------------------------------------------------
    // Files the creator for the type (0 sub-type: every sub-type) in the first or the second list; a
    // creator already filed under a matching type is not filed again; others go after those filed.
    static void registerCreator(std::uint16_t typeId, ElementCreator creator, bool secondList);
    static void unregisterCreators();   // forgets both lists
    // The built-in creators, at add-on start, in the first list: section elements (29) and objects (6).
    static void registerCreators();
    // The element of a host record, owned by the caller; null when no creator answers. The record's
    // variation goes into the link. With a memo, the element loads from it (full mask) while the
    // Drawing's own memo loading is suspended.
    static std::unique_ptr<Element> makeElement(const host::ElementRecord& record, ElementLink& link,
                                                std::unique_ptr<ElementMemoStore>& memo);

    // --- Reading ------------------------------------------------------------------------------------
    // The element of a link met in this Drawing, through the filter (null: no filter); null when it
    // cannot be read (counted among the read faults) or made, or the filter refuses it.
    std::unique_ptr<Element> loadElement(const ElementLink& link, const Filter* filter);
    bool loadElementRecord(ElementLink& link, host::ElementHead* head);   // the link rebuilt from the record
    // The element head by guid: the link of the head (empty on failure), the layer of its index (index
    // 0 on failure) and, in the plan and the 3D window, the Plan's storey of its index (else null; owned
    // by the Plan). Any out pointer may be null.
    bool loadElementHead(const Guid& guid, ElementLink* link, Layer* layer = nullptr,
                         Storey** storey = nullptr);
    // A new memo of the parts in the mask (0: every part), null on failure.
    std::unique_ptr<ElementMemoStore> loadMemo(const ElementLink& link, std::uint64_t mask);
    // The element's user data: a block (over a null handle when it has none), or null on failure.
    std::unique_ptr<MemoryBlock> getUserData(const ElementLink& link, std::uint32_t* flags,
                                             std::uint16_t* version, std::uint16_t* platform);
    std::size_t getLinkedElements(const ElementLink& link, ElementLinkList& list);   // number added
    std::size_t countElements(const Filter& filter);

    // --- Writing ------------------------------------------------------------------------------------
    // Writes the element: created when asked, when it has no guid yet or when its link names another
    // database; else changed. Then its user data, its classifications and its property values (all of
    // them when created). True when everything was written.
    bool storeElement(Element& element, bool create, bool withMemo);
    bool storeUserData(Element& element);   // true at once when its user data did not change
    // The element's user data, or (null block, or an empty one without keepEmpty) none.
    bool setUserData(const ElementLink& link, const MemoryBlock* block, bool keepEmpty, std::uint32_t flags,
                     std::uint16_t version, std::uint16_t platform);
    bool linkElements(const ElementLink& first, const ElementLinkList& second);
    bool linkElements(const ElementLink& first, const ElementLink& second);
    bool unlinkElements(const ElementLink& first, const ElementLinkList& second);
    bool unlinkElements(const ElementLink& first, const ElementLink& second);
    bool deleteElement(const ElementLink& link);
    bool deleteElements(const ElementLinkList& links);
    bool deleteElements(ElementListMaker& maker);
    // The host's element tools ('LOCK', 'ULCK') on the elements' heads; false when the host refuses.
    bool lockElements(const ElementLinkList& links);
    bool unlockElements(const ElementLinkList& links);
    bool lockElements(ElementListMaker& maker);
    bool unlockElements(ElementListMaker& maker);
    // Any element tool on the maker's list; true without a host call when it makes none. On success the
    // maker receives the heads the host was given.
    bool toolCommand(std::uint32_t code, ElementListMaker& maker);
    // The grouping and drawing-order tools ('GRUP', 'UGRP', 'OFR1', 'OFR0', 'OBA1', 'OBA0').
    bool groupElements(const ElementLinkList& links);
    bool groupElements(ElementListMaker& maker);
    bool ungroupElements(ElementListMaker& maker);
    bool bringToFront(ElementListMaker& maker);
    bool bringForward(ElementListMaker& maker);
    bool sendToBack(ElementListMaker& maker);
    bool sendBackward(ElementListMaker& maker);

    // Gives the element the defaults' record and memo (the source's, else its own) under the mask (the
    // mask element's record, else every byte), then its pending transforms. False, with no host call,
    // when the record cannot be written without a memo that is missing.
    bool changeParameters(Element& element, Element* source, Element* mask);
    // Gives the element the layer, the storey and the group (first identifier) that are not null, in
    // one host change that writes only those fields; the element then takes its link and head as the
    // host keeps them. False when the element lies in another Drawing or the host refuses; true at once
    // when all three are null.
    bool changePlacement(Element& element, const AttributeLink* layer, const AttributeLink* storey,
                         const Guid* headGuid);
    // Writes the layer of the element's head to the host; false for a head without a valid layer.
    bool storeLayer(Element& element);
    // Edits one element by the transform (the 3D window edits in the Plan); on success the link is
    // read again in this Drawing.
    bool applyTransform(ElementLink& link, const Transformation& transform);
    // Applies and deletes the element's pending transforms in order; the first failure stops, leaving
    // the rest pending. The element takes the new link when all succeeded.
    bool applyTransforms(Element& element);
    bool applyTransform(Element& element, const Transformation& transform);   // the one given, likewise
    bool editElements(const ElementLinkList& links, const Transformation& transform);   // one host call
    bool callRPAS(const ElementLink& link);   // utilities 'RPAS' with the element's head

    // --- Iteration ----------------------------------------------------------------------------------
    // A walk that only reads the host's list (not the selection) does not ask the host's filter again
    // for each element: the list was made under the same flags.
    iterator begin(bool writeBack, const Filter& filter);
    reverse_iterator rbegin(bool writeBack, const Filter& filter);
    const_iterator cbegin(const Filter& filter);
    static iterator end();   // the end of every walk
    // Appends the links of the elements that pass (only counts them without a list); the count. In a cut
    // plane (when the filter resolves section elements) the section elements are listed and tested as
    // the model elements they show, and stay section-element links in the list.
    std::size_t fillLinkList(const Filter& filter, ElementLinkList* list);
    ElementLink retypeLink(const ElementLink& link, const Filter& filter) const;   // the filter's first type
    // A section element (type 29) met here: to parent, the link becomes the model element it shows (in
    // the Plan), with the section element as its second; else it stays and carries the model element as
    // second. False when the section element cannot be read.
    bool resolveSectionElement(bool toParent, ElementLink& link);
    bool passesHostFilter(const ElementLink& link, const Filter& filter);
    // Before a cut plane's selection changes: each list link of a model element the cut plane shows
    // (the first with its guid) is marked with the section element that shows it, so that the host is
    // given that section element.
    void markSectionElements(ElementLinkList& list, CutPlane& cutPlane);

protected:
    Project& project() const { return getProject(); }
    std::uint32_t setLastHostResult(std::uint32_t result) { return lastHostResult_ = result; }
    bool readRecord(host::DatabaseRecord& record);    // makes us current, then 'GDBI'
    bool writeRecord(host::DatabaseRecord& record);   // 'MDAT'

private:
    // alwaysResolve: the links are given as the section elements they are marked with also outside a
    // cut plane (elsewhere only a cut plane gives them so, Plan links stand for the model elements).
    bool changeSelection(const ElementLinkList& links, bool add, bool alwaysResolve);
    bool changeSelection(const ElementLink& link, bool add, bool alwaysResolve);
    bool sendParts(const ElementLinkList& links, bool add, bool resolve);
    // The links as this Drawing selects them: in a cut plane a copy marked with its section elements.
    const ElementLinkList& forSelection(const ElementLinkList& links,
                                        std::unique_ptr<ElementLinkList>& marked);
    bool sendTool(std::uint32_t code, const ElementLinkList& links, ElementListMaker* receiver);
    bool sendEdit(const ElementLinkList& links, const Transformation& transform);
    Guid renovationFilterFor(const Filter& filter);
    void forgetSelection();   // the next question asks the host
    // The filter a walk keeps: a walk that only reads the host's list takes the list's word for the flags.
    static std::unique_ptr<Filter> walkFilter(const Filter& filter, bool writeBack);
    std::unique_ptr<Element> unreadElement();   // counts a listed element the host failed to give: null

    Guid databaseGuid_;
    ElementLink lastSelected_;                     // the last link of the loaded selection
    std::unique_ptr<ElementLinkList> selection_;   // null until loaded
    std::uint32_t lastHostResult_ = 0;             // 0 = success
    bool marquee_ = false;                         // the loaded selection is a marquee
    bool highlighted_ = false;                     // a highlight made here is shown
    std::uint64_t emptySelectionEpoch_ = 0;        // the project's answer epoch of an empty selection
    ReadFaults readFaults_;
    bool selectionUnread_ = false;   // the last selection the host was asked for, it failed to give
};

}   // namespace tarnwick

// ComponentElem: an element placed from a library part: its part's link, the part's parameters as the
// element holds them (a parameter memo), its gables, and the switch to another part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostParameters.h>

#include "Elements/Element.h"
#include "Elements/ElementParameterMemo.h"
#include "Elements/GableMemo.h"
#include "LibraryParts/FamilyGuid.h"
#include "Project/ComponentLink.h"

namespace tarnwick {

class ComponentSource;
class ElementMemoStore;

// The base of objects, lamps, doors, windows and zones, which keep the host record. The parameters and
// gables load with the element's memo (mask bits 4 and 2) unless memo loading is suspended; a memo the
// host cannot give leaves them unloaded. The cached source is looked up on first use and dropped when
// the part changes. Host errors give false, null or empty texts.
class ComponentElem : public Element, public ElementParameterMemo, public GableMemo {
public:
    static constexpr std::uint64_t kGableBit = GableMemo::kMemoKind;           // 2
    static constexpr std::uint64_t kParameterBit = ParameterMemo::kPartMask;   // 4

    ComponentElem(const ElementLink& link, const ComponentLink& componentLink);
    ComponentElem(const ComponentElem& other);   // the element, both memos and the link; no source
    ~ComponentElem() override;

    // --- Element ------------------------------------------------------------------------------------
    // The parameter "ZZYZX". The element's width and depth stay its bounds' (Element's); the
    // parameters "A" and "B" are the parameter memo's getWidth and getDepth.
    double getHeight() override;
    using Element::getDepth;
    using Element::getWidth;
    bool applyChanges(Element& newer, Element& older) override;
    void loadMemo(std::uint64_t mask, std::unique_ptr<ElementMemoStore>& store) override;
    // A new memo with the gables and the parameters, and the mask of the parts it holds; null when one
    // of them cannot be written (nothing is then left allocated).
    std::unique_ptr<ElementMemoStore> getMemo(std::uint64_t& mask) const override;

    // --- New virtual operations, in the order of the interface ---------------------------------------
    virtual double getAngle() const;   // 0.0 here
    virtual bool isMirrored() const;   // false here
    virtual bool isOptionC() const;    // false here
    // Takes the part: with resetSizes the part's default sizes are fetched again, with mergeParameters
    // the new part's parameters take the element's values where both parts have them ("A", "B" and
    // "ZZYZX" only with resetSizes). False when the kind refuses the part (a kind tests its type); a
    // part the host cannot give defaults for keeps the element's parameters as they were.
    virtual bool setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters);
    virtual void setOptionC(bool flag);   // nothing here
    // The host's default parameters of the element's type read into its own (the three flags of the
    // merge); with samePartOnly nothing changes when the defaults name another part. False when the
    // defaults cannot be had.
    virtual bool populate(bool samePartOnly, bool skipSizes, bool resizeRows, bool resizeColumns);
    virtual std::int32_t getLibraryIndex() const;   // of the record: where the kind keeps it
    // The plan shape of the element's library part (one part of it by index, 0 the whole) as the host
    // draws it for this element, appended to the receiver. True when the host drew it; false on a host
    // error or an exception on the way (the receiver keeps what came before).
    virtual bool collectShape(PrimitiveList& receiver, std::int16_t partIndex, bool keepHatchLines);
    using Element::collectShape;

    // --- The parameter memo's and the gable memo's side ----------------------------------------------
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;   // loadMemo
    ComponentLink getComponentLink() const override { return componentLink_; }
    void prepareWrite() override;   // commits the element with its user data
    void fillParamOwner(host::ParameterOwnerRecord& record, bool& commit) override;

    // --- Non-virtual --------------------------------------------------------------------------------
    ComponentSource* getSource();   // still ours; null when the part is not loaded or could not be read
    bool hasSource() { return getSource() != nullptr; }
    // The host failed to give the element's part: it may be loaded or missing, and hasSource cannot say.
    bool isSourceUnread() {
        getSource();
        return sourceUnread_;
    }
    FamilyGuid getSourceName();    // the part's unique id; empty without a source
    FamilyGuid getSourceTitle();   // the unique id of the part it derives from; empty without
    // The part's name; without a source the host's ('GULN'), else empty. `unread` is set when the host
    // failed to give the part or the name; a part the host cannot name at all gives an empty name.
    String getLinkName(bool* unread = nullptr);
    bool refreshHost();   // 'RFSH' with the element's head

    // The memo parts, by name (both bases are memos).
    GableMemo& gables() { return *this; }
    ComponentParameterMemo& parameters() { return *this; }

protected:
    // Where the kind's record keeps its library index (the defaults record is read there).
    virtual std::size_t libraryIndexOffset() const;

    ComponentLink componentLink_;

private:
    std::unique_ptr<ComponentSource> source_;   // null until looked up, or not loaded
    bool sourceLookedUp_ = false;
    bool sourceUnread_ = false;   // the last look-up failed on the host's side
};

}   // namespace tarnwick

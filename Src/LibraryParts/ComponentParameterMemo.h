// ComponentParameterMemo: the parameter memo of a library-part element or of a library part. It knows
// the part's default width and depth (the host's A and B), gives typed access to the size parameters
// "A", "B" and "ZZYZX", reloads the part's defaults, and pushes changed values to the host so that the
// part's parameter script runs on them.
#pragma once

#include <cstdint>
#include <memory>

#include <HostParameters.h>

#include "Foundation/Vector.h"
#include "LibraryParts/ParameterLink.h"
#include "LibraryParts/ParameterMemo.h"
#include "Project/ComponentLink.h"
#include "Project/Library.h"

namespace tarnwick {

class MemoStore;

// Abstract: the concrete memo (a library-part element, a parametric source) gives the part's link, how
// the host's parameter-owner record is filled and what runs before a write. Host failures give false
// or 0.0; size parameters that are missing or not lengths read as 0.0 and are left alone.
class ComponentParameterMemo : public ParameterMemo {
public:
    ComponentParameterMemo() = default;
    ComponentParameterMemo(const ComponentParameterMemo&) = default;
    ComponentParameterMemo& operator=(const ComponentParameterMemo&) = default;
    ~ComponentParameterMemo() override;

    // Memo side: the default sizes come from the new memo where new and old differ, then the lists.
    void update(Memo& newMemo, Memo& oldMemo) override;
    using ParameterMemo::writeParameters;
    // The parent's merge, then (unless skipSizes) the other's width, depth and height.
    void mergeParameters(ParameterMemo& other, bool skipSizes, bool resizeRows, bool resizeColumns) override;

    // --- Virtual operations, in the order of the interface ---------------------------------------
    virtual double getDefaultWidth();   // fetched once; 0.0 when the defaults cannot be had
    virtual double getDefaultDepth();
    virtual double getWidth();                            // value (0, 0) of "A" when it is a length, else 0.0
    virtual double getDepth();                            // "B"
    virtual double getHeight();                           // "ZZYZX"
    virtual ComponentLink getComponentLink() const = 0;   // index 0: the part is unknown
    virtual void prepareWrite() = 0;                      // before a write with both flags set
    virtual void setDefaultWidth(double width) { defaultWidth_ = width; }
    virtual void setDefaultDepth(double depth) { defaultDepth_ = depth; }
    virtual void setWidth(double width);   // "A" when it is a length; nothing otherwise
    virtual void setDepth(double depth);
    virtual void setHeight(double height);
    virtual bool writeParameter(const ParameterLink& link, bool commit, bool prepare);
    // Pushes the linked cells to the host ('OPAR', a 'CHGP' a cell, 'GPAR', 'CPAR') and merges back
    // what its parameter script made of them. True when there was nothing to push; false when editing
    // could not be opened or closed, or a change failed (the others still go and the result is merged).
    virtual bool writeParameters(const Vector<ParameterLink>& links, bool commit, bool prepare);
    // Fetches the part's defaults again (forget: also the default sizes) and, with merge, either takes
    // the default values into the current parameters (fromDefaults) or makes the defaults the parameters
    // with the current values carried over. Unless forget, A, B and ZZYZX are not merged. False when the
    // defaults could not be read or understood: the parameters are then as they were.
    virtual bool reloadDefaults(bool forget, bool merge, bool fromDefaults);
    // Fills the host's 32-byte owner record for parameter editing; may change the flag.
    virtual void fillParamOwner(host::ParameterOwnerRecord& record, bool& commit) = 0;

    // --- Non-virtual ----------------------------------------------------------------------------
    // The part's default parameters into the store's parameter handle (an old one there is released) and
    // the default sizes; with onlyOnce nothing is asked once they were fetched. Whether they are at hand.
    bool fetchDefaultSizes(MemoStore& store, bool onlyOnce);
    bool areDefaultsFetched() const { return defaultsFetched_; }

private:
    // The part's defaults from the library, its sizes taken as the default sizes; null when none.
    std::shared_ptr<const Library::PartDefaults> fetchDefaults();
    double sizeOf(const char* name);
    void setSize(const char* name, double value);

    double defaultWidth_ = 1.0;   // the host's A
    double defaultDepth_ = 1.0;   // the host's B
    bool defaultsFetched_ = false;
};

}   // namespace tarnwick

// ParametricSource: a parametric (GDL) library part in memory: the ComponentSource (record, location,
// link), the part's sections, its parameters and the host's details block of the part. The Library
// makes its kinds through the source creators and writes changed or new parts back (Library::savePart).
#pragma once

#include <cstdint>
#include <memory>

#include <HostMemory.h>
#include <HostRecords.h>

#include "Foundation/MemoryBlock.h"
#include "LibraryParts/ComponentParameterMemo.h"
#include "LibraryParts/ComponentResourceMemo.h"
#include "LibraryParts/TextDatabase.h"
#include "Project/ComponentSource.h"

namespace tarnwick {

class Image;

// Owned by the caller; copy through clone(). Sections, parameters and details load on first use and
// changes live in memory until the Library saves the part. The 'PARD' section is never kept as bytes:
// it is built from the parameters when the part is written.
//
// The parameters are the part's default parameters (read through Library::getParameters on first use)
// as a parameter memo, with the part's A and B sizes.
class ParametricSource : public ComponentSource, public ComponentParameterMemo, public ComponentResourceMemo {
public:
    ParametricSource(const host::LibraryPartRecord& record, const ComponentLink& link);
    explicit ParametricSource(const ComponentLink& link);   // a part not yet in the host
    // Copies the source, the parameters with their default sizes, the sections and the details.
    ParametricSource(const ParametricSource& other);
    ~ParametricSource() override;

    using ComponentSource::getRecord;
    using ComponentSource::isValid;   // the source's validity; the memo is always valid
    std::int32_t getIndex() const override { return ComponentSource::getIndex(); }
    const host::LibraryPartRecord* getRecord() const override { return ComponentSource::getRecord(); }
    double getWidth() override { return ComponentParameterMemo::getWidth(); }   // "A"; 0.0 without it
    double getDepth() override { return ComponentParameterMemo::getDepth(); }   // "B"
    // A section was set, or the parameters were loaded (the list is handed out for change in place).
    bool isChanged() const override { return hasChangedSections() || isLoaded(); }

    // The parameter memo's side.
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;
    ComponentLink getComponentLink() const override { return getLink(); }
    void prepareWrite() override {}
    void setWidth(double width) override;   // the stored default too, then "A"
    void setDepth(double depth) override;
    // Editing the part's own parameters: the flag set, the library index in the record.
    void fillParamOwner(host::ParameterOwnerRecord& record, bool& commit) override;

    // Scripts and texts: a section's text (up to its first zero byte); "" when the part lacks it. A
    // setter stores the text with a terminator as that section.
    virtual String getMasterScript();      // '1DSC'
    virtual String get2DScript();          // '2DSC'
    virtual String get3DScript();          // '3DSC'
    virtual String getComment();           // 'CTXT'
    virtual String getParameterScript();   // 'VLSC'
    virtual String getInterfaceScript();   // 'UISC'
    // The quoted values the parameter script offers for a parameter (a VALUES statement naming it; the
    // name in any case), owned by the source; null when it offers none. The lists are read once, and again
    // after the parameter script changed.
    virtual const TextRecord* getValueLists(const String& name);
    // The preview ('GIFF') converted to PNG by the host, or the picture ('PICT') as it is: a new image
    // owned by the caller, or null when the part has none (or the host cannot convert it).
    virtual std::unique_ptr<Image> getPreview();
    virtual std::unique_ptr<Image> getPicture();
    virtual void setMasterScript(const String& text);
    virtual void set2DScript(const String& text);
    virtual void set3DScript(const String& text);
    virtual void setComment(const String& text);
    virtual void setParameterScript(const String& text);
    virtual void setInterfaceScript(const String& text);
    // Stores the image, encoded as JPEG (or in the encoding it already holds), as the preview.
    virtual void setPreview(const Image& image);
    virtual std::int32_t getExtra() const { return 0; }

    // The 3200-byte details block: zero, and filled by the host when the source is valid, on the first
    // call; later calls give the same block. A block the host refused to fill stays zero, which is not
    // what the part says: areDetailsUnread tells.
    host::LibraryPartDetails& getDetails();
    bool areDetailsUnread() {
        getDetails();
        return detailsUnread_;
    }
    bool getDetailFlag() { return getDetails().bytes[0] != 0; }
    void setDetailFlag(bool flag) { getDetails().bytes[0] = flag ? 1 : 0; }
    bool getSecondDetailFlag() { return getDetails().bytes[2] != 0; }
    void setSecondDetailFlag(bool flag) { getDetails().bytes[2] = flag ? 1 : 0; }

protected:
    bool keepsParameterSection() const override { return true; }
    void loadParameterSection() override { ensureLoaded(); }
    // Fails for a part in the host whose parameters could not be read: its section must not be emptied.
    bool writeParameterHandle(host::Handle& handle) override;
    // "A" and "B"; the part's stored default size without such a length, so that writing the part does
    // not set its size to 0.
    double getSectionWidth() override;
    double getSectionDepth() override;

private:
    String getText(std::uint32_t type);
    void setText(std::uint32_t type, const String& text);

    std::unique_ptr<host::LibraryPartDetails> details_;   // none until first asked for
    bool detailsUnread_ = false;                          // the host refused them
    std::unique_ptr<TextDatabase> valueLists_;            // none until first asked for; not copied
};

}   // namespace tarnwick

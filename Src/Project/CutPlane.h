// CutPlane: the common base of the section and elevation views. Such a view shows section elements that
// stand for model elements of the floor plan, and is made by a marker placed in the plan: a CutPlane
// finds its marker and finds its own links of given model elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Project/Drawing.h"
#include "Project/ElementLink.h"

namespace tarnwick {

class CutPlaneReference;
class ElementLinkList;

// Owned by the Project like every view. Walks here never write elements back.
class CutPlane : public Drawing {
public:
    // Takes the markers (CutPlaneReference) of one view.
    class IsCutPlaneRef : public Filter {
    public:
        IsCutPlaneRef(std::uint16_t markerType, const Guid& viewGuid);
        std::unique_ptr<Filter> clone() const override;
        bool accepts(Element& element) const override;

    private:
        Guid viewGuid_;
    };
    // Takes the elements whose link has the guid of a given link.
    class IsElementProxy : public Filter {
    public:
        explicit IsElementProxy(const ElementLink& link);
        std::unique_ptr<Filter> clone() const override;
        bool accepts(Element& element) const override;

    private:
        ElementLink link_;
    };

    CutPlane(Project& project, const Guid& databaseGuid);
    ~CutPlane() override;

    virtual std::uint16_t getMarkerType() const = 0;   // 25 for a section, 33 for an elevation
    // The link becomes a section-element link (type 29, variation 0, part-reference id 0); false when it
    // already is one.
    virtual bool toSectionElementLink(ElementLink& link) const;
    // A link seen here as a section element (source this view, a second type and a valid second guid)
    // becomes a link of that second type located here; any other link is copied unchanged.
    virtual ElementLink fromSectionElementLink(const ElementLink& link) const;

    // A link seen here whose element lies in another Drawing is read there; otherwise as every Drawing.
    std::unique_ptr<Element> getElement(const ElementLink& link) override;

    // The plan's marker that makes this view; null when there is none. Owned by the caller.
    std::unique_ptr<CutPlaneReference> findMarker();
    // The link of this view's element for the model element of the link; an empty link when none.
    ElementLink findInView(const ElementLink& link);
    // For each link of `in` (each counted once, also when given twice) this view's element's link is
    // appended to `out`; the count appended.
    std::size_t findInView(const ElementLinkList& in, ElementLinkList& out);
};

}   // namespace tarnwick

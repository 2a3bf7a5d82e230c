#include "Project/CutPlane.h"

#include <vector>

#include "Elements/Element.h"
#include "Project/CutPlaneReference.h"
#include "Project/ElementLinkList.h"
#include "Project/Plan.h"
#include "Project/Project.h"

namespace tarnwick {

// --- Filters ---------------------------------------------------------------------------------------------
CutPlane::IsCutPlaneRef::IsCutPlaneRef(std::uint16_t markerType, const Guid& viewGuid)
    : Filter(markerType, /*selectedOnly=*/false, /*flagByte1=*/0, /*withUserDataOnly=*/false),
      viewGuid_(viewGuid) {}

std::unique_ptr<Drawing::Filter> CutPlane::IsCutPlaneRef::clone() const {
    return std::make_unique<IsCutPlaneRef>(*this);
}

bool CutPlane::IsCutPlaneRef::accepts(Element& element) const {
    const auto* marker = dynamic_cast<const CutPlaneReference*>(&element);
    return marker != nullptr && marker->getViewGuid() == viewGuid_;
}

CutPlane::IsElementProxy::IsElementProxy(const ElementLink& link)
    : Filter(std::uint16_t{0}, /*selectedOnly=*/false, /*flagByte1=*/0, /*withUserDataOnly=*/false),
      link_(link) {}

std::unique_ptr<Drawing::Filter> CutPlane::IsElementProxy::clone() const {
    return std::make_unique<IsElementProxy>(*this);
}

bool CutPlane::IsElementProxy::accepts(Element& element) const {
    return element.getLink().getGuid() == link_.getGuid();
}

// --- CutPlane --------------------------------------------------------------------------------------------
CutPlane::CutPlane(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}
CutPlane::~CutPlane() = default;

bool CutPlane::toSectionElementLink(ElementLink& link) const { return link.makeSectionElement(); }

ElementLink CutPlane::fromSectionElementLink(const ElementLink& link) const {
    return link.resolveSectionElement(*this);
}

// A link whose location is this view itself is read here: asking the location again would never end.
std::unique_ptr<Element> CutPlane::getElement(const ElementLink& link) {
    Drawing* location = link.getDrawing();
    if (location != nullptr && location != this && link.getSourceDatabase() == this)
        return location->getElement(link);
    return Drawing::getElement(link);
}

std::unique_ptr<CutPlaneReference> CutPlane::findMarker() {
    const IsCutPlaneRef markers(getMarkerType(), getGuid());
    for (auto it = project().getPlan().cbegin(markers); !it.atEnd(); ++it) {
        std::unique_ptr<Element> element = it.takeElement();
        if (auto* marker = dynamic_cast<CutPlaneReference*>(element.get())) {
            static_cast<void>(element.release());
            return std::unique_ptr<CutPlaneReference>(marker);
        }
        return nullptr;
    }
    return nullptr;
}

ElementLink CutPlane::findInView(const ElementLink& link) {
    const IsElementProxy proxy(link);
    auto it = cbegin(proxy);
    return it.atEnd() ? ElementLink() : it->getLink();
}

// A look-up: the walk writes nothing back (storing every element of the view would rewrite it).
std::size_t CutPlane::findInView(const ElementLinkList& in, ElementLinkList& out) {
    const std::size_t before = out.size();
    std::vector<bool> matched(in.size(), false);
    std::size_t found = 0;
    const Filter every(std::uint16_t{0}, /*selectedOnly=*/false, /*flagByte1=*/0, /*withUserDataOnly=*/false);
    for (auto it = cbegin(every); !it.atEnd() && found < in.size(); ++it) {
        const ElementLink& seen = it->getLink();
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (matched[i] || in[i] == nullptr || in[i]->getGuid() != seen.getGuid()) continue;
            matched[i] = true;
            out.append(seen);
            ++found;
        }
    }
    return out.size() - before;
}

}   // namespace tarnwick

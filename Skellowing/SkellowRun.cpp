#include "Skellowing/SkellowRun.h"

#include <memory>
#include <vector>

#include "Elements/ComponentElem.h"
#include "Elements/Element.h"
#include "Elements/Object.h"
#include "Environment/Host.h"
#include "Geometry/Cube.h"
#include "Interface/NotifyAlert.h"
#include "Interface/ProgressWindow.h"
#include "Project/ComponentSource.h"
#include "Project/Drawing.h"
#include "Project/EditManager.h"
#include "Project/Library.h"
#include "Project/Project.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

using tarnwick::ComponentElem;
using tarnwick::ComponentLink;
using tarnwick::ElementLink;
using tarnwick::Host;
using tarnwick::String;

constexpr std::int32_t kRunPhases = 1;

// Every write reloads the element's memos, so loading is allowed for the run; the saved state comes back
// however the run ends.
class MemoLoadingAllowed {
public:
    MemoLoadingAllowed() : saved_(tarnwick::Element::memoLoadingSuspended) {
        tarnwick::Element::memoLoadingSuspended = 0;
    }
    ~MemoLoadingAllowed() { tarnwick::Element::memoLoadingSuspended = saved_; }
    MemoLoadingAllowed(const MemoLoadingAllowed&) = delete;
    MemoLoadingAllowed& operator=(const MemoLoadingAllowed&) = delete;

private:
    std::uint8_t saved_;
};

// The group's mapping when the active configuration holds it itself: a mapping found elsewhere (another
// configuration, or another kind's "Default") is not the user's choice for this run.
ObjectSpecification* activeSpecification(const ObjectMap& table, const SourceKey& key, ObjectMapType kind,
                                         const String& configuration) {
    String name = configuration;
    SpecificationList* where = nullptr;
    ObjectSpecification* const found = table.findSpecification(key, name, kind, false, false, &where);
    if (!found || name != configuration || where != table.findList(configuration, kind)) return nullptr;
    return found;
}

// A part the host fails to give is left to the switch, which then fails.
bool isPlaceable(const ComponentLink& part) {
    tarnwick::Library* const library = part.getLibrary() ? part.getLibrary() : Host::getLibrary();
    const std::unique_ptr<tarnwick::ComponentSource> source = library ? library->getSource(part) : nullptr;
    return !source || source->isPlaceable();
}

class Replacer {
public:
    Replacer(ObjectMapType kind, tarnwick::Drawing& drawing, tarnwick::EditManager& editor)
        : kind_(kind), drawing_(drawing), editor_(editor) {}

    // True when the element now stands on the part, placed as before. Otherwise it is written back as it
    // was: a replacement that stops between its writes leaves nothing half-done.
    bool replace(const ElementLink& link, const ObjectSpecification& specification,
                 const ComponentLink& part) {
        const std::unique_ptr<tarnwick::Element> element = drawing_.getElement(link);
        auto* const component = dynamic_cast<ComponentElem*>(element.get());
        if (!component || !editor_.prepare(*component, true, true, false)) return false;
        const std::unique_ptr<tarnwick::Element> original = component->clone();
        if (switchPart(*component, specification, part)) return true;
        if (written_) store(*original);
        return false;
    }

private:
    bool importedKind() const { return kind_ == ObjectMapType::ifc || kind_ == ObjectMapType::dwg; }
    bool store(tarnwick::Element& element) {
        if (!drawing_.storeElement(element, /*create=*/false, /*withMemo=*/true)) return false;
        written_ = true;
        return true;
    }

    bool switchPart(ComponentElem& component, const ObjectSpecification& specification,
                    const ComponentLink& part) {
        written_ = false;
        // Whether the old part is missing decides how the element is switched: it must be known.
        if (component.isSourceUnread()) return false;
        if (!component.hasSource()) return takePart(component, specification, part) && store(component);
        auto* const object = dynamic_cast<tarnwick::Object*>(&component);
        if (!object) {
            if (importedKind()) component.setOptionC(true);
            return takePart(component, specification, part) && store(component);
        }
        return replaceObject(*object, specification, part);
    }

    // A part the element's kind refuses leaves it on its old part, which must not pass for a replacement.
    static bool takePart(ComponentElem& element, const ObjectSpecification& specification,
                         const ComponentLink& part) {
        if (!element.setComponent(part, false, true) || !(element.getComponentLink() == part)) return false;
        specification.apply(element);
        element.setVariation(0);
        return true;
    }

    // The sizes are taken from the box of the unrotated object, which the new part keeps in its own terms,
    // and the midpoint of its front edge is kept: turned to 0, switched, then turned back and moved by the
    // change of that midpoint.
    bool replaceObject(tarnwick::Object& object, const ObjectSpecification& specification,
                       const ComponentLink& part) {
        const double angle = object.getAngle();
        const double elevation = object.getElevation(true);
        object.setAngle(0.0);
        if (!store(object)) return false;   // nothing changed
        const std::unique_ptr<tarnwick::Cube> before = object.getBounds(false);
        if (!before) return false;
        // The object keeps its sizes as ratios of its part's default sizes, which must be at hand.
        object.getDefaultWidth();
        if (!object.parameters().areDefaultsFetched()) return false;
        object.setWidth(before->getWidth());
        object.setDepth(before->getDepth());
        if (kind_ != ObjectMapType::dwg) object.setHeight(before->getHeight());
        if (importedKind()) object.setOptionC(true);
        if (!takePart(object, specification, part) || !store(object)) return false;
        const std::unique_ptr<tarnwick::Cube> after = object.getBounds(false);
        const tarnwick::CadPoint offset =
            after ? frontEdgeOffset(*before, *after, angle) : tarnwick::CadPoint(0.0, 0.0, 0.0);
        object.setAngle(angle);
        object.setPosition(object.getPosition() + offset);
        object.setElevation(elevation, true);
        return store(object) && after != nullptr;
    }

    ObjectMapType kind_;
    tarnwick::Drawing& drawing_;
    tarnwick::EditManager& editor_;
    bool written_ = false;   // the element being replaced was written at least once
};

}   // namespace

SkellowReport skellowElements(ObjectMapType kind, tarnwick::Drawing& drawing, const tarnwick::Specification&,
                              const SourceSearch& found, const ObjectMap& table,
                              const String& configuration) {
    const SourceGroupMap& groups = found.groups;
    SkellowReport report;
    report.countUntaken(found);   // nobody can tell what they are or map them: none is replaced
    const auto progress = tarnwick::ProgressWindow::open(
        Host::getString(strings::kTitles, strings::kSkellowingTitle), kRunPhases);
    if (!progress) return report;
    // 1. The total: the elements of the groups the active configuration maps, each group's mapping
    // found once for both passes.
    std::vector<ObjectSpecification*> mapped;
    mapped.reserve(groups.size());
    for (const auto& [key, links] : groups) {
        mapped.push_back(activeSpecification(table, key, kind, configuration));
        if (mapped.back()) report.total += static_cast<std::uint32_t>(links.size());
        progress->step();
    }
    {
        // Only the run itself changes the current database and storey while it lasts, so the host's
        // answers are kept rather than asked again at every write.
        const std::shared_ptr<void> answers = drawing.getProject().keepHostAnswers();
        const MemoLoadingAllowed loading;
        // Each element is changed in place: its user data stays with it on the host unread.
        const tarnwick::Element::UserDataDeferral userData;
        tarnwick::EditManager editor(true, true);
        progress->setPhase(Host::getString(strings::kMessages, strings::kSkellowingPhase),
                           static_cast<std::int32_t>(report.total));
        Replacer replacer(kind, drawing, editor);
        // 2. Each mapped group in key order, until cancelled.
        auto mapping = mapped.begin();
        for (const auto& [key, links] : groups) {
            if (progress->isCancelled()) break;
            ObjectSpecification* const specification = *mapping++;
            if (!specification) continue;
            const ComponentLink* const part = specification->findMappedPart();
            const auto count = static_cast<std::uint32_t>(links.size());
            // A loaded part of another kind, or one that is not placed by itself, cannot take the
            // elements' place: they fail for that reason, which is not a part missing.
            if (!part && !specification->findNamedPart()) {
                report.missing += count;
                continue;
            }
            if (!part || !isPlaceable(*part)) {
                report.attempted += count;
                report.refused += count;
                continue;
            }
            for (const ElementLink& link : links) {
                if (progress->isCancelled()) break;
                ++report.attempted;
                if (replacer.replace(link, *specification, *part)) ++report.success;
                progress->step();
            }
        }
        // Locks and layers go back inside the undo step; the run fails when they cannot.
        const bool relocked = editor.relockElements();
        const bool layersBack = editor.restoreLayers();
        report.editsPutBack = relocked && layersBack;
        editor.restore(false);
    }
    // 3. The report, also after a cancel.
    tarnwick::NotifyAlert().show(report.getText());
    return report;
}

}   // namespace skellow

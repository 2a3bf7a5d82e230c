#include "Styles/PresetUpdater.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

#include <FourCC.h>
#include <HostAddonProtocol.h>
#include <HostResult.h>
#include <HostTable.h>

#include "Elements/ComponentElem.h"
#include "Environment/Addon.h"
#include "Environment/Event.h"
#include "Environment/EventKeyList.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Environment/PackageStore.h"
#include "Environment/Transaction.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/Guid.h"
#include "Foundation/MemoryBlock.h"
#include "Interface/ConfirmAlert.h"
#include "LibraryParts/ParameterList.h"
#include "Project/Drawing.h"
#include "Project/EditManager.h"
#include "Project/ElementLinkList.h"
#include "Project/Project.h"
#include "Styles/Preset.h"
#include "Styles/PresetDatabase.h"
#include "Styles/PresetList.h"
#include "Styles/TarnwickLibrary.h"

namespace tarnwick {
namespace {

constexpr std::uint32_t kHostSource = host::fourcc("HOST");
constexpr std::uint32_t kUpdateEvent = host::fourcc("UEPR");
constexpr std::int16_t kStyleStrings = 32707;
constexpr std::int32_t kUpdateName = 12;
constexpr std::int32_t kUpdateAllQuestion = 13;

PresetDatabase* projectStyles() {
    Project* const project = Host::getProject();
    return project ? dynamic_cast<PresetDatabase*>(project->getPackage(PresetDatabase::kCode)) : nullptr;
}

// The drawing the update works in: the current database, when it is one.
Drawing* currentDrawing() { return dynamic_cast<Drawing*>(Host::getCurrentDatabase()); }

bool hasSelection(Drawing& drawing) {
    const ElementLinkList* const selection = drawing.getSelection();
    return selection && selection->size() > 0;
}

// The host's Undo of an update gives the project's module data back as it was before; the styles go on
// from there, not from what the undone update left in memory. Ours stay when nothing is stored.
void takeStoredStyles(Project& project, const PresetDatabase& ours) {
    host::HostModuleData data{};
    const std::u16string name = String(Addon::kProjectStoreName).toUniString();
    if (hostApi().call<host::HostSlot::getModuleData>(name.c_str(), &data) != 0) return;
    const MemoryBlock block(data.data);
    PackageStore stored(String(Addon::kProjectStoreName), true);
    stored.adoptPackage(ours.copyFiltered(nullptr), false);   // kept as it is when the data holds none
    DataBufferIn in(block);
    if (!stored.read(in)) return;
    project.adoptPackage(stored.removePackage(PresetDatabase::kCode), /*notify=*/false);
}

// One update, undone as one step with the style changes it made.
class PresetUpdateTransaction final : public Transaction {
public:
    PresetUpdateTransaction()
        : Transaction(Host::getString(kStyleStrings, kUpdateName), /*teamwork=*/true,
                      /*allowOtherDatabases=*/true) {}

    // Runs whenever the add-on is there. The styles as stored come first (an undone update gave them
    // back), then are stored as they are now, so that the undo step of this update starts from them: a
    // store that fails declines, since an Undo could no longer give the styles back.
    bool prepare() override {
        Addon* const addon = Addon::getInstance();
        if (!addon) return false;
        Project* const project = Host::getProject();
        PresetDatabase* const styles = projectStyles();
        if (project && styles) {
            takeStoredStyles(*project, *styles);
            if (!addon->savePreferences(Addon::kProjectLocation)) return false;
        }
        return true;
    }

    // Inside the undo step: the question when nothing is selected, the elements, then the styles as the
    // project keeps them, so that the host's Undo of this step takes back both. A declined question or
    // a missing drawing is a success that changed nothing; a write the host refused gives its error, so
    // that the host takes the whole update back.
    std::uint32_t run() override {
        Addon* const addon = Addon::getInstance();
        if (!addon) return 0;
        EditManager& editor = getEditManager();
        const std::uint32_t result =
            PresetUpdater::applyToDrawing(addon->getTarnwickLibrary(), editor, /*quiet=*/false);
        editor.restore(/*reactivateDatabase=*/true);
        if (result == host::kErrCancel) return 0;
        if (result != 0) return result;
        if (projectStyles() && !addon->savePreferences(Addon::kProjectLocation)) return host::kErrGeneral;
        return 0;
    }

    // A body the host took back may have made styles first: they go too.
    void finish(bool succeeded) override {
        Project* const project = Host::getProject();
        PresetDatabase* const styles = projectStyles();
        if (!succeeded && project && styles) takeStoredStyles(*project, *styles);
    }
};

}   // namespace

PresetUpdater::~PresetUpdater() = default;

void PresetUpdater::subscribe(EventKeyList& keys) const { keys.append(kHostSource, kUpdateEvent); }

bool PresetUpdater::receive(const Event&) {
    PresetUpdateTransaction transaction;
    Host::makeTransaction(transaction);
    return true;
}

std::uint32_t PresetUpdater::applyToDrawing(const TarnwickLibrary& library, EditManager& editor, bool quiet) {
    // 1.-3. The drawing, its selection, and the question when there is none.
    Drawing* const drawing = currentDrawing();
    if (!drawing) return host::kErrCancel;
    const bool selected = hasSelection(*drawing);
    if (!quiet && !selected && ConfirmAlert().ask(Host::getString(kStyleStrings, kUpdateAllQuestion)) != 1)
        return host::kErrCancel;
    // 4.-5. Every element (the selected ones), written back when it changed and can be edited. Whether
    // it can is known only after its update, which may already have made or changed styles: an element
    // that is not written takes those back, or every run would leave another copy of its style. Only a
    // store makes or changes styles, so the styles are copied just before an element's first store; any
    // other step moves only the current style, which is kept aside.
    const Drawing::Filter filter(/*selectedOnly=*/selected, /*withUserDataOnly=*/false);
    for (auto element = drawing->begin(/*writeBack=*/false, filter); !element.atEnd(); ++element) {
        const PresetDatabase* const styles = projectStyles();
        const Guid current = styles ? styles->getCurrentKey() : Guid();
        std::unique_ptr<PresetDatabase> before;   // the styles before the element's first store
        const auto keepStyles = [&before, styles] {
            if (styles && !before) before = styles->copyFiltered(nullptr);
        };
        if (!updateElement(library, *element, keepStyles)) continue;
        if (!editor.prepare(*element, true, true, true)) {
            if (Project* const project = Host::getProject(); project && before)
                project->adoptPackage(std::move(before), /*notify=*/false);
            if (PresetDatabase* const after = projectStyles()) after->setCurrentKey(current);
            continue;
        }
        if (!drawing->storeElement(*element, false, true))
            return drawing->getLastHostResult() != 0 ? drawing->getLastHostResult() : host::kErrGeneral;
    }
    return 0;
}

bool PresetUpdater::updateElement(const TarnwickLibrary& library, Element& element,
                                  const std::function<void()>& beforeStore) {
    // 1. A library-part element with parameters, in a project with styles.
    auto* const component = dynamic_cast<ComponentElem*>(&element);
    PresetDatabase* const styles = projectStyles();
    if (!component || !styles || component->parameters().getParameterCount() == 0) return false;
    // 2. The templates of its subtype (the variation code of its link) by key parameter; a later
    // template of the same key parameter replaces an earlier one.
    const auto subtype = static_cast<std::uint32_t>(element.getLink().getVariation());
    std::map<String, const Preset*> templates;
    const PresetList& presets = library.getPresets();
    for (std::size_t index = 0; index < presets.size(); ++index)
        if (presets.at(index).acceptsSubtype(subtype))
            templates[presets.at(index).keyParameter.name] = &presets.at(index);
    if (templates.empty()) return false;
    // 3. Each parameter that is a template's key parameter.
    ParameterList& parameters = component->parameters().getParameters();
    bool changed = false;
    for (std::uint64_t position = 0; position < parameters.size(); ++position) {
        const auto found = templates.find(parameters.at(position)->getName());
        if (found == templates.end()) continue;
        if (beforeStore && found->second->asksToStore(parameters)) beforeStore();
        changed = found->second->apply(parameters, *styles) || changed;
    }
    return changed;
}

}   // namespace tarnwick

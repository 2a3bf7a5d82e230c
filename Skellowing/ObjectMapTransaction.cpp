#include "Skellowing/ObjectMapTransaction.h"

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Environment/MenuEvent.h"
#include "Interface/ProgressWindow.h"
#include "Interface/WarnAlert.h"
#include "Project/Drawing.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Skellowing/ElementSearch.h"
#include "Skellowing/ObjectMapFile.h"
#include "Skellowing/SkellowingPrefs.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

using tarnwick::Host;

constexpr std::int32_t kGatherPhases = 3;

}   // namespace

ObjectMapTransaction::ObjectMapTransaction(const tarnwick::MenuEvent& event)
    : Transaction(Host::getString(strings::kUndo, 1)) {
    if (event.getListId() != strings::kMenu) return;
    if (event.getItem() >= 1 && static_cast<std::size_t>(event.getItem()) <= kSourceKinds)
        kind_ = kindAt(static_cast<std::size_t>(event.getItem() - 1));
    else
        warnNotAvailable();
}

ObjectMapTransaction::~ObjectMapTransaction() = default;

bool ObjectMapTransaction::prepare() {
    // 1. A command of no kind does nothing.
    if (kind_ == ObjectMapType::none) return false;
    // 2. The drawing, the attributes and the preferences.
    drawing_ = dynamic_cast<tarnwick::Drawing*>(Host::getCurrentDatabase());
    if (!drawing_) drawing_ = Host::getPlan();
    specification_ = Host::getSpecification();
    tarnwick::Project* const project = Host::getProject();
    prefs_ = project ? dynamic_cast<SkellowingPrefs*>(project->getPackage(SkellowingPrefs::kCode)) : nullptr;
    if (!drawing_ || !specification_ || !prefs_) return false;
    // 3. The parts that can replace.
    LibraryPartList parts;
    {
        const auto progress = tarnwick::ProgressWindow::open(
            Host::getString(strings::kTitles, strings::kInitialisingTitle), kGatherPhases);
        if (!gatherLibraryParts(parts, *progress)) {
            if (!progress->isCancelled())
                tarnwick::WarnAlert().show(Host::getString(strings::kQuestions, strings::kNoLibraryParts));
            return false;
        }
    }
    // 4. The mapping table.
    if (!loadObjectMap(table_)) return false;
    // 5. to 7. The search, the mapping dialog and the confirmation come with the element kinds and the
    // dialogs; until then the command ends once the table is read.
    return false;
}

std::uint32_t ObjectMapTransaction::run() { return 0; }

void ObjectMapTransaction::finish(bool succeeded) {
    if (succeeded && drawing_) drawing_->rebuild();
}

}   // namespace skellow

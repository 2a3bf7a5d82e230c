#include "Skellowing/ObjectMapTransaction.h"

#include <HostResult.h>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Environment/MenuEvent.h"
#include "Foundation/TracedException.h"
#include "Interface/ConfirmAlert.h"
#include "Interface/ErrorAlert.h"
#include "Interface/WarnAlert.h"
#include "Project/Drawing.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Skellowing/ElementSearch.h"
#include "Skellowing/MappingDialog.h"
#include "Skellowing/MessageText.h"
#include "Skellowing/ObjectMapFile.h"
#include "Skellowing/SkellowRun.h"
#include "Skellowing/SkellowingPrefs.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

using tarnwick::Host;

// The host's suspend-groups mode is on while the run changes grouped elements, and goes back to off
// however the run ends, exceptions included.
class GroupsSuspended {
public:
    GroupsSuspended() : wasOff_(Host::isSuspendGroupsOff()) {
        if (wasOff_) Host::setSuspendGroups(/*off=*/false);
    }
    ~GroupsSuspended() {
        if (wasOff_) Host::setSuspendGroups(/*off=*/true);
    }
    GroupsSuspended(const GroupsSuspended&) = delete;
    GroupsSuspended& operator=(const GroupsSuspended&) = delete;

    // Puts the mode back now; false when the host would not.
    bool restore() {
        if (!wasOff_) return true;
        wasOff_ = false;
        return Host::setSuspendGroups(/*off=*/true);
    }

private:
    bool wasOff_;
};

// Without the project or its preferences the command cannot run: the user is told, and the host sees
// the command fail rather than a silent end.
void tellProjectUnavailable() {
    const tarnwick::Addon* const addon = tarnwick::Addon::getInstance();
    tarnwick::String message =
        messageText(tarnwick::Addon::kEnvironmentStrings, tarnwick::Addon::kProjectUnavailable);
    message.replaceAll("$1", addon ? addon->getName() : tarnwick::String());
    tarnwick::Addon::showAlert(message, tarnwick::String());
    Host::noteFailure(host::kErrGeneral);
}

// The user accepted the mapping and is owed a word on why nothing follows; the host sees the command
// fail, not declined by the user.
void tellQuestionUnread() {
    tarnwick::String message = unreadMessage(strings::kQuestions, strings::kConfirmRun);
    message += " - nothing was skellowed";
    tarnwick::ErrorAlert().show(message);
    Host::noteFailure(host::kErrGeneral);
}

}   // namespace

ObjectMapTransaction::ObjectMapTransaction(const tarnwick::MenuEvent& event)
    : Transaction(Host::getString(strings::kUndo, 1), /*teamwork=*/true, /*allowOtherDatabases=*/true) {
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
    if (!drawing_ || !specification_ || !prefs_) {
        tellProjectUnavailable();
        return false;
    }
    // 3. The parts that can replace and the elements to replace; the part list ends with this step.
    LibraryPartList parts;
    if (!gatherElements(kind_, *drawing_, parts, found_)) return false;
    // 4. The mapping table.
    if (!loadObjectMap(table_)) return false;
    // 5. The user maps the source names; only an accepted dialog goes on. A dialog the host cannot show
    // is a failure to report, not the user's choice.
    MappingDialog dialog(table_, kind_, found_.groups, parts);
    const tarnwick::DialogResult answer = dialog.open();
    if (answer == tarnwick::kDialogNoResult)
        throw tarnwick::TracedException("bad_access", "ObjectMapTransaction::prepare");
    if (answer != tarnwick::kDialogAccepted) return false;
    // 6. The configuration chosen is stored with the project; the run uses it even when it cannot be.
    tarnwick::Addon* const addon = tarnwick::Addon::getInstance();
    if (addon && !addon->savePreferences(tarnwick::Addon::kProjectLocation))
        tarnwick::WarnAlert().show(messageText(strings::kMessages, strings::kChoiceNotStored));
    // 7. The user takes responsibility for the result. A question the host cannot give is never asked
    // blank, where its default would accept the risk unread: nothing is replaced.
    const tarnwick::String question = Host::getString(strings::kQuestions, strings::kConfirmRun);
    if (question.isEmpty()) {
        tellQuestionUnread();
        return false;
    }
    return tarnwick::ConfirmAlert().ask(question) == 1;
}

std::uint32_t ObjectMapTransaction::run() {
    // 1. and 2. Groups suspended; 4. put back as they were, also when the run throws.
    GroupsSuspended suspended;
    // 3. The replacement, under the kind's active configuration.
    const SkellowReport report =
        skellowElements(kind_, *drawing_, *specification_, found_, table_, prefs_->getSource(kind_));
    // A mode, layer or lock the host would not put back fails the step, which the host then rolls back
    // whole rather than leave the project half-restored.
    const bool groupsBack = suspended.restore();
    return report.editsPutBack && groupsBack ? 0 : host::kErrGeneral;
}

void ObjectMapTransaction::finish(bool succeeded) {
    if (succeeded && drawing_) drawing_->rebuild();
}

}   // namespace skellow

// ObjectMapTransaction: one menu command: find the elements of its source kind, let the user map them in
// the mapping table, then replace their library parts in one undoable step.
#pragma once

#include <cstdint>

#include "Environment/Transaction.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapType.h"
#include "Skellowing/SourceGroups.h"

namespace tarnwick {
class Drawing;
class MenuEvent;
class Specification;
}   // namespace tarnwick

namespace skellow {

class SkellowingPrefs;

// Run once by Host::makeTransaction, named (and undone as) "Skellowing". The table and the groups live as
// long as the transaction.
class ObjectMapTransaction : public tarnwick::Transaction {
public:
    // Items 1 to 5 of the menu give the kinds IFC to legacy; another item of the menu warns that it is not
    // available, and an event of another menu is ignored: both leave no kind, and prepare declines.
    explicit ObjectMapTransaction(const tarnwick::MenuEvent& event);
    ~ObjectMapTransaction() override;

    // Outside the undo step: the search, the table, the dialog and the confirmation. False declines;
    // without the project or its preferences it also tells the user and notes a failure for the host.
    bool prepare() override;
    // The replacement, inside the undo step: 0, or kErrGeneral (the step is rolled back) when the host
    // would not put back the suspend-groups mode or a layer or lock that the run changed.
    std::uint32_t run() override;
    void finish(bool succeeded) override;

    ObjectMapType getKind() const { return kind_; }

private:
    ObjectMap table_;
    SourceSearch found_;
    tarnwick::Drawing* drawing_ = nullptr;               // the drawing searched
    tarnwick::Specification* specification_ = nullptr;   // the project's attributes
    SkellowingPrefs* prefs_ = nullptr;                   // the project's package
    ObjectMapType kind_ = ObjectMapType::none;
};

}   // namespace skellow

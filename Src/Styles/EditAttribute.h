// EditAttribute: the handler of an edit field of a user-data dialog that edits the selected records: when
// the field's text changes, each selected record in turn (only the first, as made here) takes the edit.
#pragma once

#include <cstdint>
#include <memory>

#include "Environment/ItemEvent.h"
#include "Environment/ItemMessage.h"
#include "Interface/InterfacePanel.h"
#include "Interface/ItemSubscriber.h"

namespace tarnwick {

// Dialog gives Entry, getView() (a list with begin (mode) and end) and getSelectedEntry (row). The edit
// is taken on the field's item events: the host raises one when the user has changed its text.
template <typename Dialog>
class EditAttribute : public ItemSubscriber {
public:
    using Entry = typename Dialog::Entry;

    // firstOnly: the walk ends after the first selected record. lookInParent: the dialog may be the parent
    // of the panel the field is on.
    EditAttribute(bool firstOnly, bool lookInParent) : firstOnly_(firstOnly), lookInParent_(lookInParent) {}

    // Virtual operations, in this order.
    // Walks the selected records while the edit is accepted; whether the last edit was.
    bool handle(const ItemEvent& event) override {
        InterfacePanel* panel = event.getLink().getPanel();
        if (lookInParent_ && checkParent() && panel != nullptr) {
            if (InterfacePanel* parent = panel->getParent())
                panel = parent;
            else
                lookInParent_ = false;   // a panel of its own: no need to look again
        }
        auto* dialog = dynamic_cast<Dialog*>(panel);
        if (dialog == nullptr) return false;
        sendItemMessage(event, std::make_shared<ItemMessage>());
        if (!acceptsEvent(event) || dialog->getView() == nullptr) return false;
        bool accepted = false;
        for (auto row = dialog->getView()->begin(0);;) {
            const Entry entry = dialog->getSelectedEntry(row);
            if (!entry.first.isValid()) break;
            accepted = applyEdit(*dialog, entry);
            if (!accepted || firstOnly_) break;
            row = dialog->getView()->findRow(entry.first, entry.first);
            if (row == dialog->getView()->end()) break;
            ++row;
        }
        return accepted;
    }
    virtual bool applyEdit(Dialog& dialog, const Entry& entry) = 0;
    virtual bool checkParent() const { return true; }
    virtual bool acceptsEvent(const ItemEvent&) const { return true; }

private:
    bool firstOnly_;
    bool lookInParent_;
};

}   // namespace tarnwick

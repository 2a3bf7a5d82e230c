// PresetTypeFilter: the style dialog's type picker as a record filter: it fills the type popup with the
// display names of the registered style types and lets through only the styles of the type chosen there.
#pragma once

#include <map>
#include <set>

#include "Foundation/String.h"
#include "Styles/PresetDatabase.h"

namespace tarnwick {

class PopupMenu;

// Held by the dialog's list view through a shared pointer; borrows the popup, which must outlive it.
class PresetTypeFilter : public PresetDatabase::Filter {
public:
    // Fills the popup with the sorted display names of the registered types (only the admitted ones,
    // when a set is given), makes the first of those types by type name the current type and selects
    // its display name. With no type left the popup stays empty and every record is refused.
    explicit PresetTypeFilter(PopupMenu& popup, const std::set<String>* admitted = nullptr);
    ~PresetTypeFilter() override;

    bool passes(const Guid& key, const PresetRecord& record) const override;

private:
    PopupMenu& popup_;
    std::map<String, String> types_;   // type name to display name, the admitted ones
};

}   // namespace tarnwick
